#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>
#include <Qt>
#include <functional>
#include <memory>
#include <utility>

class QPainter;
class QPaintDevice;
class QPrinter;
class QRectF;

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

// The pages of a job, laid out by the tool itself and painted with QPainter:
// the title and, for a bill, its head fields on the first page; the table of
// lines with its column captions repeated on every page; after the last line
// the totals row (合计), the amount in words and the signature lines; the page
// number at the foot. The rows are read from the data file as they are
// needed and kept on disk, never all in memory: the work grows with the rows,
// the memory does not. A cell prints at most kCellLines lines (the last one
// elided when the text goes on), reading at most kCellChars characters of it,
// so even a cell of a whole book takes bounded time. Numbers (amounts,
// quantities, the totals) never wrap: their column is widened to the widest
// number it holds, taken from the text columns beside it, and a number wider
// than the whole table is printed smaller rather than cut.
//
// The widths need every row, so the pages wait for the whole file to be read,
// except the first ones asked for before that: they are laid out with the
// widths of the rows read so far and laid out again, should the rest of the
// file change the widths.
class PrintPages
{
  public:
    static constexpr int kCellLines = 2;
    static constexpr int kCaptionLines = 4; // a column caption
    static constexpr int kCellChars = 2000;

    explicit PrintPages(const PrintJob& job);
    ~PrintPages();
    PrintPages(const PrintPages&) = delete;
    PrintPages& operator=(const PrintPages&) = delete;

    // Lays the pages out for the device's page: paper the device paints on,
    // page the painting area in device pixels. Done again only when they change.
    // The pages themselves are made as they are asked for, so the first page
    // is ready long before the last of many thousand rows is measured.
    void layout(QPaintDevice* device, const QRectF& page);
    // All pages (lays out what is left).
    int pageCount();
    // The pages made so far; morePages does a little more of the work (reads
    // a batch of rows or makes a page), false once every page is made.
    int pagesMade() const;
    bool morePages();
    // Makes the pages as far as page (from 0); false when there are fewer.
    bool pageReady(int page);
    // Why the data file could not be read to its end; empty when it could.
    QString error() const;
    // Paints one page (from 0) with the device coordinates of the layout.
    void paintPage(QPainter& painter, int page);
    // Prints every page to printer (set up with SetUpPrinter first), telling
    // progress (pages done, pages) after each page; false when it could not
    // start. The whole data file is read first: a file that cannot be read
    // to its end prints nothing (error() says why).
    bool print(QPrinter& printer, const std::function<void(int, int)>& progress = {});

    // The widths of the table's columns and the lines each cell of a row
    // prints (for checks: a total never takes two lines).
    QList<double> columnWidths();
    QStringList cellLines(int row, int col); // row -1: the totals row
    // Everything the pages print, in reading order: a cell's lines run on
    // as one text, cells by tabs, rows by line breaks (laid out on A4 when not yet laid out).
    QString toPlainText();

  private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

std::unique_ptr<PrintPages> BuildPrintDocument(const PrintJob& job);

// A4 in the job's orientation, 15 mm margins.
void SetUpPrinter(const PrintJob& job, QPrinter& printer);

// Writes the job as a PDF file; false with the reason in error (a data file
// that cannot be read to its end writes no file).
bool WritePdf(const PrintJob& job, const QString& pdfFile, QString& error);

// The print preview: one page at a time, fitted to the window's width, with
// 打印, 导出PDF and the page moves (also PageUp, PageDown, Home, End). The
// first page shows as soon as it is laid out; the rest are laid out while
// the window waits for the user, the page count following. Printing and the
// PDF show the busy cursor and, past a couple of seconds, their progress. A
// data file found unreadable on the way is said in a message, and the
// preview closes.
class PrintPreview : public QDialog
{
  public:
    explicit PrintPreview(const PrintJob& job, QWidget* parent = nullptr);
    ~PrintPreview() override;

    int currentPage() const; // from 0
    void showPage(int page);
    // All pages (lays out what is left).
    int pageCount();
    // Prints to printer (already set up) or writes a PDF file; false when it failed.
    bool printTo(QPrinter& printer);
    bool savePdf(const QString& file);

  private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Shows the print preview, from which the user prints or saves a PDF; returns
// the dialog's result.
int ShowPrintPreview(const PrintJob& job);
