#pragma once

// How a job's pages are made, shared by the two files that make them:
// Pagination.cpp reads the rows, sets the column widths, measures the rows
// and breaks them into pages; PagePainter.cpp shapes the texts and paints a
// page. Only those files and the preview's own see this header.

#include "DataReader.h"
#include "Numbers.h"
#include "PrintPages.h"
#include "RowStore.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QRawFont>
#include <QTextLayout>
#include <deque>
#include <optional>
#include <vector>

namespace printtool
{

// A number as the program writes it: these never wrap. A sign, a digit, then
// digits and commas, an optional fraction and an optional percent sign.
bool IsNumberText(const QString& text);

// One cell as it prints: its lines, and the scale of its font when a number
// had to be printed smaller to stay on one line.
struct CellLines {
    QStringList lines;
    double scale = 1;
};

// A text laid out on one line: its glyphs placed from the line's top left,
// its advance, its width without trailing spaces, and its height as
// QTextLine gives it (rounded up to a pixel) and exact, as QPainter::drawText
// places them.
struct ShapedText {
    QList<QGlyphRun> runs;
    double advance = 0;
    double natural = 0;
    double height = 0;
    double exactHeight = 0;
};

// The glyphs of one row's cells, drawn as one run per font: one text object
// per row in a PDF, where a drawText per cell makes one each.
class GlyphBatch;

// A detail row as it prints: its texts, its height and the cells that take
// more than one line or print smaller (by column).
struct MeasuredRow {
    QStringList texts;
    double height = 0;
    std::vector<std::pair<int, CellLines>> cells;

    const CellLines* cell(int col) const
    {
        for (const auto& [c, lines] : cells) {
            if (c == col)
                return &lines;
        }
        return nullptr;
    }
};

// What the column widths and the totals row need of every row of a column.
struct ColumnFacts {
    double widest = 0;     // the widest number, in the device's pixels
    double widestWord = 0; // the widest word kept whole (wordWidth)
    bool seen = false;
    int decimals = 0; // of the most precise value, at most 6
    // The column's exact sum at each number of places from `decimals` on
    // (the places only grow, so the one finally used has every row).
    std::vector<DecimalSum> sums;
};

constexpr int kMostDecimals = 6;

} // namespace printtool

// The state of a job's pages and the steps that make them: reading and
// laying out in Pagination.cpp, shaping and painting in PagePainter.cpp.
struct PrintPages::Impl {
    const PrintJob job;
    const int n; // columns

    // The rows, read as they are needed.
    printtool::RowStore store;
    std::unique_ptr<printtool::DataReader> reader; // none for the job's own rows
    bool complete = false;                         // every row read (or the file failed: error)
    QString error;
    std::vector<printtool::ColumnFacts> facts;
    bool totalled = false; // a column is marked Sum

    // laid out for
    QPaintDevice* device = nullptr;
    QRectF page;
    bool laidOut = false;

    QFont font, bold, titleFont;
    double lineH = 0, padX = 0, padY = 0, pen = 1;
    double titleH = 0, headH = 0, captionH = 0, closingH = 0, footH = 0;
    QList<double> widths;
    // A head field as it prints: its place below the title and its lines.
    struct HeadField {
        QRectF rect;
        QStringList lines;
    };
    QList<HeadField> headFields;
    QStringList totals;
    bool widthsSet = false;   // from the rows read when the first page was asked for
    bool widthsFinal = false; // from every row
    QList<printtool::CellLines> captionCells, totalCells;
    struct Page {
        int first = 0, end = 0; // data rows [first, end)
        bool top = false;       // title and head
        bool totals = false;
        bool closing = false;
    };
    QList<Page> pages;
    struct Cursor {
        Page p;
        double y = 0;
        int r = 0;
        bool totalsPlaced = false;
        bool done = false;
        std::optional<printtool::MeasuredRow> carried; // row r, measured, did not fit the last page
    } cursor;
    // The rows of the pages made or painted last.
    std::deque<std::pair<int, std::vector<printtool::MeasuredRow>>> recent;
    double fullWidth = 1;
    double narrowest = 0; // the narrowest printable ASCII character
    double advance[128] = {};
    // Single-line cell texts shaped once each (a bounded number kept); the
    // characters of numbers placed by their advances when the font does not
    // kern them, which is what shaping would give.
    QHash<QString, printtool::ShapedText> shaped;
    QHash<QString, printtool::ShapedText> shapedBold; // the captions
    bool plainNumbers = false;
    QRawFont numberFont;
    quint32 numberGlyph[128] = {};
    double numberAscent = 0, numberHeight = 0, numberExactHeight = 0;
    double factsAdvance[128] = {}; // the advances the facts' widths were measured with

    explicit Impl(const PrintJob& j);

    void fail(const QString& why);

    // ---- reading (Pagination.cpp)

    void note(const QStringList& row);

    // Reads up to count more rows.
    void readMore(int count);

    bool readAll();

    // Whether row r exists, reading on as far as it.
    bool haveRow(int r);

    QStringList rowAt(int r);

    // The widths of a cell's number or words noted in its column's facts.
    void noteWidths(printtool::ColumnFacts& f, const QString& text) const;
    // The numbers' and words' widths again, after the advances changed
    // (another device).
    void remeasureWidths();

    // The totals of the columns marked Sum, each with as many decimals as its
    // most precise value; empty when no column is totalled.
    QStringList columnTotals() const;

    // ---- laying out and making pages (Pagination.cpp)

    // The lines a text takes in width: one when it fits; at most maxLines,
    // the last elided; a number always one, smaller when it must be.
    printtool::CellLines lay(QString text, double width, const QFont& f, bool number,
                             int maxLines = kCellLines, bool wider = false) const;

    // The last line is shown trimmed, its elided form too.
    static void dropLeadingSpaces(QString& text);

    // Breaks text into at most maxLines lines of width (at word boundaries,
    // or anywhere in a word too long for a line), appended to lines trimmed;
    // answers where the last of them ends in text, and sets lastStart to
    // where it starts (its spaces included).
    int wrap(const QString& text, double width, const QFont& f, int maxLines, QStringList& lines,
             int& lastStart) const;

    // The lines of a text much longer than they can hold, laid out from its
    // start only: the lines end where they end in the whole text when they
    // stop well before the cut, and text flowing left to right breaks and
    // shapes the same there. Nothing when that is not sure (the whole text is
    // laid out then).
    std::optional<printtool::CellLines> layStart(const QString& text, double width, const QFont& f,
                                                 const QFontMetricsF& fm, int maxLines) const;

    // A number's width from its characters' advances (digits, sign, point,
    // comma), without shaping it; a hair wider than measured, never narrower.
    // For any text, a bound as sure as a full width per character: its
    // ASCII characters at their own advances.
    double numberWidth(const QString& t) const;
    // The widest word of a text that its column keeps whole: a run of ASCII
    // characters without a space (a goods code, a lot number), of at most
    // kWordChars characters, among the first kWordScan characters.
    double wordWidth(const QString& t) const;
    static constexpr int kWordChars = 20;
    static constexpr int kWordScan = 64;

    void layoutColumns();

    // The bill head's fields laid out from the top of the head block; its
    // height.
    double layoutHead();

    void layoutAll(QPaintDevice* dev, const QRectF& pageRect);

    // The widths, captions and totals from the facts of the rows read so far.
    void layoutTable();

    void restartPages();

    // The table laid out for the first page: from every row when the file is
    // short, otherwise from the rows read in a moment.
    void ensureTable();

    // Once every row is read, the table from all of them; the pages made
    // before start again when it differs. True when they did.
    bool settle();

    printtool::MeasuredRow measure(QStringList texts) const;

    void keepRecent(int index, std::vector<printtool::MeasuredRow> rows);

    const std::vector<printtool::MeasuredRow>& pageRows(int index);

    // Pagination, a page at a time: the rows as they fit, then the totals
    // row, then the closing lines; each on the next page when it no longer
    // fits. False once the last page is made.
    bool nextPage();

    // A little more of the work: a batch of rows read, or the next page made.
    bool morePages();

    void finish();

    static constexpr int kFirstRows = 1000;
    static constexpr int kFirstMilliseconds = 40;

    // ---- shaping and painting (PagePainter.cpp)

    // The layout's text shaped as one line that never wraps.
    static QTextLine layOneLine(QTextLayout& layout);

    // Every pair of a number's characters shaped once: when each glyph sits
    // at the sum of the advances before it, numbers need no shaping.
    void learnNumberGlyphs();

    const printtool::ShapedText& shape(const QString& text, bool inBold = false);

    // A line of a data cell in the font (or a caption's in bold), placed in
    // box as drawText with the cell's alignment, vertically centred and on one
    // line places it; false (nothing placed) for a text that overflows the
    // box, which drawText clips.
    bool placeLine(printtool::GlyphBatch& batch, const QRectF& box, const QString& text, Qt::Alignment align,
                   bool inBold = false);

    // The top left of a line in box, by the alignment: centred on its rounded
    // height, or, when only its exact height fits, on that, as drawText centres
    // it; nothing when drawText would clip it.
    static std::optional<QPointF> lineOrigin(const QRectF& box, Qt::Alignment align, double advance,
                                             double natural, double height, double exactHeight);

    static constexpr int kNumberChars = 64; // the longest number placed from the table

    // A number placed as placeLine places it, its glyphs straight from the
    // font's table (numbers are mostly each their own: none is kept).
    bool placeNumber(printtool::GlyphBatch& batch, const QRectF& box, const QString& text,
                     Qt::Alignment align);

    // A column caption as drawCell draws it in bold: its lines in the batch,
    // a line that overflows with drawText.
    void placeCaption(QPainter& painter, printtool::GlyphBatch& batch, const QRectF& rect,
                      const printtool::CellLines& lines);

    // A data cell: its one line or its lines in the batch, a number printed
    // smaller (or a line that overflows) with drawText.
    void placeCell(QPainter& painter, printtool::GlyphBatch& batch, const QRectF& rect,
                   const printtool::CellLines* lines, const QString& text, Qt::Alignment align);

    void drawCell(QPainter& painter, const QRectF& rect, const printtool::CellLines* lines,
                  const QString& text, Qt::Alignment align, const QFont& f) const;

    void paint(QPainter& painter, int index);
};
