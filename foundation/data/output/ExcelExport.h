#pragma once

#include "RecordSet.h"

class RowReader;

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

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

// The rows of an export read one at a time: each call fills row with the next
// row's texts and answers true, or answers false after the last row.
using ExportRows = std::function<bool(QStringList& row)>;
ExportRows ExportRowsOf(const ExportData& exportData);
// The rows of a query, read forward without holding them (values as text, as
// RecordSetToArray gives them). reader must outlive the answer.
ExportRows ExportRowsOf(RowReader& reader);

// The same export from rows read one at a time: a whole report goes to the
// workbook without being held in memory. Without a row it says "无记录导出!".
void ExportToExcel(const ExportRows& rows, const QString& title, const QString& headers);
// The same for the rows of a reader, from its next row on. Each value goes
// to its cell as stored, without being made a text first; the cells are
// those its text (ValueText) gives.
void ExportToExcel(RowReader& rows, const QString& title, const QString& headers);

// Writes the workbook at path (title in A1, headings in row 2, the rows from
// row 3) in libxlsxwriter's constant-memory mode, row by row. An empty answer
// when it was written; otherwise what failed, and the file may be incomplete.
QString WriteExcelWorkbook(const QString& path, const ExportRows& rows, const QString& title,
                           const QStringList& headings);
QString WriteExcelWorkbook(const QString& path, RowReader& rows, const QString& title,
                           const QStringList& headings);

// How far an export has come: the rows written so far, then done once the
// workbook is closed (written or failed). Told at the start, every
// kExportProgressRows rows and at the end.
using ExportProgress = std::function<void(qint64 rows, bool done)>;
constexpr int kExportProgressRows = 1000;
// The one receiver of every export's progress (the windows' progress
// display installs itself here); none by default.
void SetExportProgress(ExportProgress progress);
