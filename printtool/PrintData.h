#pragma once

// The print job: the command text the print tool is started with, and what it
// reads of the template and of the print data file the program wrote. The
// pages are laid out from it (PrintPages.h).

#include <QList>
#include <QString>
#include <QStringList>
#include <Qt>
#include <utility>

// The print tool's side of printing: the command text the program starts it
// with, the print data file the program wrote and the template it came from.
//
// A template (templeteXml/<BillCode>.xml) is the file the program fills: the
// root "Content" with "DataGroupHead" (bill head) and "DataDetail" (lines or
// report rows), each with its columns in "DataCols" and a placeholder
// "DataRecord". What only the print tool reads:
//   Content:     Title (the heading of the page), Orientation ("Portrait" or
//                "Landscape"), FontSize (points), HeadColumns (head fields
//                per line)
//   a column:    Caption (the heading; the element name when missing),
//                Width (a relative share of the table width), Align ("left",
//                "center" or "right"), Span (head fields: cells taken),
//                Sum ("true": a detail column totalled in the closing 合计 row),
//                TotalFrom (a summed column: the head field whose value its
//                合计 shows when the data carry it, the bill's own amount)
//   DataDetail:  TotalWords (the head field holding the amount in money
//                words, printed under the totals when the data carry it)
//   Signatures:  one "Sign" per signature line, Caption the role and From an
//                optional head field already known (the bill's creator)

// "ulmPrint:TypeId=1003&BillCode=qv_import_bill&FileName=<name>.xml".
struct PrintCommand {
    static constexpr int Report = 1002;
    static constexpr int Bill = 1003;

    int typeId = 0;
    QString billCode;
    QString fileName;
};

// False, with the reason in error, for a text that is not a print command
// naming a known type, a template and a bare file name.
bool ParsePrintCommand(const QString& text, PrintCommand& command, QString& error);

struct PrintColumn {
    QString name;
    QString caption;
    double width = 1;
    Qt::Alignment align = Qt::AlignLeft;
    int span = 1;
    bool sum = false;
    QString totalFrom; // the head field of its total (TotalFrom)
    QString total;     // that field's value, when the data carry it
};

struct PrintSection {
    QList<PrintColumn> columns;
    QList<QStringList> rows; // one text per column
};

struct PrintJob {
    bool isBill = true;
    QString title;
    bool landscape = false;
    double fontSize = 9;
    int headColumns = 3;
    PrintSection head;
    // The detail's columns; its rows are those of dataFile, read as the pages
    // are made, or, without a data file, the rows the job holds itself.
    PrintSection detail;
    QString dataFile;
    QString totalWords;                            // the amount in money words, empty when not carried
    QList<std::pair<QString, QString>> signatures; // role, name already known
};

// Reads the template toolDir/templeteXml/<BillCode>.xml and, of the print
// data file toolDir/generateXml/<FileName>, the bill head; the detail rows
// stay in the file until the pages read them. False with the reason in error.
bool LoadPrintJob(const QString& toolDir, const PrintCommand& command, PrintJob& job, QString& error);

// Every detail row of a job, read whole; false with the reason in error.
bool ReadDetailRows(const PrintJob& job, QList<QStringList>& rows, QString& error);
