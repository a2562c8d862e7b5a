#pragma once

// The pages of a print job: laid out, painted, printed and written as a PDF.
// How they are made is in PageLayout.h (Pagination.cpp lays them out,
// PagePainter.cpp paints them).

#include "PrintData.h"

#include <QRectF>
#include <functional>
#include <memory>

class QPainter;
class QPaintDevice;
class QPrinter;

// The pages of a job, laid out by the tool itself and painted with QPainter:
// the title and, for a bill, its head fields on the first page (a field too
// wide for its cells takes more cells of its line, or a line of its own and
// wraps there, up to kHeadLines lines); the table of lines with its column
// captions repeated on every page; after the last line
// the totals row (合计), the amount in words and the signature lines; the page
// number at the foot. The rows are read from the data file as they are
// needed and kept on disk, never all in memory: the work grows with the rows,
// the memory does not. A cell prints at most kCellLines lines (the last one
// elided when the text goes on), reading at most kCellChars characters of it,
// so even a cell of a whole book takes bounded time. Numbers (amounts,
// quantities, the totals) never wrap: their column is widened to the widest
// number it holds, taken from the text columns beside it, and a number wider
// than the whole table is printed smaller rather than cut. A word of a text
// column that should not break (a goods code) widens its column too, before
// the numbers do: on a page too narrow for both, the numbers print smaller.
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
    static constexpr int kHeadLines = 3;    // a bill head's field
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

// The printer's painting area in the coordinates its painter uses.
QRectF PageRect(QPrinter& printer);
