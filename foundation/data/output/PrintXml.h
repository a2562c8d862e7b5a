#pragma once

#include "KeyValue.h"
#include "RecordSet.h"

#include <QDomElement>
#include <QString>

// Print data files for the print tool, and starting the tool.
//
// A print template "qvPrint/templeteXml/<code>.xml" below the program folder
// has the root "Content" with the sections "DataGroupHead" (bill head) and
// "DataDetail" (lines or report rows); each section lists its output columns
// in "DataCols" (element name = output name, attribute "BindField" = source
// column, "$CMoneyToWord$:" before it for money words) and holds a
// placeholder "DataRecord" that the rows replace.

// Makes the record node of a section: "DataRecord" with one "DataRow" per row
// of rows, each holding one element per column of the template's colsPath
// ("Content/DataGroupHead/DataCols" or "Content/DataDetail/DataCols"). A null
// element when rows has no row (the template is then not read). Throws
// DbError for a template that cannot be read, a missing column list, a column
// without "BindField" or one that names no field of rows.
QDomElement BuildDataRecordNode(const RecordSet& rows, const QString& str_templeteName,
                                const QString& colsPath);
QDomElement BuildDataRecordNode(const RecordSetPtr& rows, const QString& str_templeteName,
                                const QString& colsPath);

// Writes a print data file from the template and the record nodes (keys:
// paths such as "Content/DataDetail/DataRecord", values: QDomElement) and
// returns its bare file name: "yyyyMMdd-HHmmss" + GetGuidStr() + ".xml" in
// "qvPrint/generateXml/". Print data files of earlier days are deleted first.
// Throws DbError when the template, a path or a node is missing, or the file
// cannot be written; no file is left then.
QString CreatePrintXml(const QString& templateName, const KeyValue& nodes);

// Deletes the files of folder matching pattern (a wildcard such as "*.xml")
// whose names, of 13 characters or more, begin with a date (yyyyMMdd) at
// least days days before today; days -1 deletes every matching file. A file
// that cannot be deleted (held open by the print tool) is left for next time.
void DeleteOldFiles(const QString& folder, const QString& pattern, int days);

// A new GUID as 32 upper-case hexadecimal digits; the empty text if none can be made.
QString GetGuidStr();

// The print tool's two kinds of job: a bill (head and lines) and a list of rows.
enum class PrintKind { List = 1002, Bill = 1003 };
// The template (and bill code) of the goods ledger's print, a list.
inline const QString kStockPrintTemplate = QStringLiteral("qv_stock_bill");
// The command text before the data file's name that prints with the template
// billCode: "ulmPrint:TypeId=<kind>&BillCode=<billCode>&FileName=". The data
// file must be made with the same template (CreatePrintXml).
QString PrintToolCommand(PrintKind kind, const QString& billCode);

// Starts the print tool "qvPrint/qvPrint" of the program folder with the
// command text (prefix + print data file name) and returns at once; when the
// tool cannot be started the user is told.
void RunPrint(const QString& command);
