#pragma once

#include "RecordSet.h"

#include <QList>
#include <QString>
#include <QStringList>

// The rows of a result as texts, ready for ExportToExcel.
struct ExportData {
    QList<QStringList> data; // rows by fields; empty when hasData is false
    bool hasData = false;
    int rowCount = 0;
};

// Copies every row of rs from the first on, each value as text (a Null as the
// empty text), and leaves the cursor after the last row. A result already at
// its end (no rows, or read through) gives hasData false.
ExportData RecordSetToArray(RecordSet& rs);
ExportData RecordSetToArray(const RecordSetPtr& rs);

// Writes a workbook "qvPrint/generateXls/<yyyyMMdd-HHmmss>.xlsx" below the
// program folder: the title in A1, the comma list of headers in row 2, the
// rows from row 3, every cell in font size 10; then says "导出完成！" and
// opens it with the desktop's spreadsheet program. Without data it says
// "无记录导出!" and writes nothing. A failed export leaves no file behind and
// is reported under the title "Error".
void ExportToExcel(const ExportData& exportData, const QString& title, const QString& headers);
