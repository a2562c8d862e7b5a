// Laying a job's pages out: the rows read from the data file as they are
// needed, the column widths and totals from what the rows hold, each row
// measured into its lines, and the rows broken into pages with the totals and
// the closing lines after the last. Also the PrintPages calls built on it:
// printing, the PDF and the plain text of the pages.

#include "PageLayout.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <cmath>

using namespace printtool;

namespace
{

bool IsDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// A family that holds Chinese glyphs, so that the PDF shows them whatever the
// system's default font is.
QString ChineseFamily()
{
    const QStringList families = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    for (const char* preferred : {"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Noto Sans SC",
                                  "Source Han Sans SC", "Microsoft YaHei", "SimSun"}) {
        if (families.contains(QLatin1String(preferred)))
            return QLatin1String(preferred);
    }
    return families.isEmpty() ? QString() : families.first();
}

// Columns narrower than they need grow by taking width from those wider than
// they keep, in proportion to what each lacks and each can spare.
void TakeWidth(QList<double>& widths, const QList<double>& need, const QList<double>& keep)
{
    double missing = 0;
    double spare = 0;
    for (int c = 0; c < widths.size(); ++c) {
        missing += std::max(0.0, need[c] - widths[c]);
        spare += std::max(0.0, widths[c] - std::max(need[c], keep[c]));
    }
    const double give = std::min(missing, spare);
    if (give <= 0)
        return;
    const double grow = give / missing;
    const double shrink = give / spare;
    for (int c = 0; c < widths.size(); ++c) {
        if (need[c] > widths[c])
            widths[c] += (need[c] - widths[c]) * grow;
        else
            widths[c] -= std::max(0.0, widths[c] - std::max(need[c], keep[c])) * shrink;
    }
}

} // namespace

// A number as the program writes it: these never wrap. A sign, a digit, then
// digits and commas, an optional fraction and an optional percent sign.
bool printtool::IsNumberText(const QString& text)
{
    const qsizetype n = text.size();
    if (n == 0 || n > 64)
        return false;
    qsizetype i = text.at(0) == QLatin1Char('-') || text.at(0) == QLatin1Char('+') ? 1 : 0;
    if (i >= n || !IsDigit(text.at(i)))
        return false;
    while (i < n && (IsDigit(text.at(i)) || text.at(i) == QLatin1Char(',')))
        ++i;
    if (i < n && text.at(i) == QLatin1Char('.')) {
        ++i;
        while (i < n && IsDigit(text.at(i)))
            ++i;
    }
    if (i < n && text.at(i) == QLatin1Char('%'))
        ++i;
    return i == n;
}

// The printer's painting area in the coordinates its painter uses.
QRectF PageRect(QPrinter& printer)
{
    const QRect paint = printer.pageLayout().paintRectPixels(printer.resolution());
    return QRectF(0, 0, paint.width(), paint.height());
}

PrintPages::Impl::Impl(const PrintJob& j)
    : job(j), n(int(j.detail.columns.size())), store(j.dataFile.isEmpty() ? &job.detail.rows : nullptr)
{
    facts.resize(size_t(n));
    for (int c = 0; c < n; ++c) {
        if (job.detail.columns.at(c).sum) {
            totalled = true;
            for (int places = 0; places <= kMostDecimals; ++places)
                facts[size_t(c)].sums.emplace_back(places);
        }
    }
    if (!job.dataFile.isEmpty()) {
        reader = std::make_unique<DataReader>(nullptr, job.detail.columns, kCellChars + 1);
        if (!reader->open(job.dataFile))
            fail(reader->error());
    }
}

void PrintPages::Impl::fail(const QString& why)
{
    if (error.isEmpty())
        error = why;
    complete = true;
}

void PrintPages::Impl::note(const QStringList& row)
{
    for (int c = 0; c < n; ++c) {
        const QString& t = row.at(c);
        ColumnFacts& f = facts[size_t(c)];
        noteWidths(f, t);
        if (f.sums.empty())
            continue;
        if (!t.isEmpty())
            f.seen = true;
        const qsizetype point = t.indexOf(QLatin1Char('.'));
        if (point >= 0)
            f.decimals = std::min(kMostDecimals, std::max(f.decimals, int(t.size() - point - 1)));
        const Decimal value = Decimal::Leading(QStringView(t));
        for (int places = f.decimals; places <= kMostDecimals; ++places)
            f.sums[size_t(places)].add(value);
    }
}

void PrintPages::Impl::readMore(int count)
{
    QStringList row;
    for (int i = 0; i < count && !complete; ++i) {
        if (!reader) {
            if (store.count() == job.detail.rows.size()) {
                complete = true;
                break;
            }
            note(job.detail.rows.at(store.count()));
            store.append({});
            continue;
        }
        if (!reader->next(row)) {
            if (!reader->error().isEmpty())
                fail(reader->error());
            complete = true;
            reader.reset(); // the file is closed
            break;
        }
        note(row);
        if (!store.append(row))
            fail(QStringLiteral("无法写入临时文件: ") + QDir::toNativeSeparators(QDir::tempPath()));
    }
}

bool PrintPages::Impl::readAll()
{
    while (!complete)
        readMore(256);
    return error.isEmpty();
}

bool PrintPages::Impl::haveRow(int r)
{
    while (r >= store.count() && !complete)
        readMore(64);
    return r < store.count();
}

QStringList PrintPages::Impl::rowAt(int r)
{
    QStringList row;
    if (!store.read(r, row)) {
        fail(QStringLiteral("无法读取临时文件: ") + QDir::toNativeSeparators(QDir::tempPath()));
        row = QStringList(n);
    }
    return row;
}

void PrintPages::Impl::noteWidths(ColumnFacts& f, const QString& text) const
{
    if (IsNumberText(text))
        f.widest = std::max(f.widest, numberWidth(text));
    else
        f.widestWord = std::max(f.widestWord, wordWidth(text));
}

void PrintPages::Impl::remeasureWidths()
{
    for (ColumnFacts& f : facts)
        f.widest = f.widestWord = 0;
    for (int r = 0; r < store.count(); ++r) {
        const QStringList row = rowAt(r);
        for (int c = 0; c < n; ++c)
            noteWidths(facts[size_t(c)], row.at(c));
    }
    std::copy(std::begin(advance), std::end(advance), std::begin(factsAdvance));
}

QStringList PrintPages::Impl::columnTotals() const
{
    if (!totalled)
        return {};
    // A column that takes its total from the head (a bill's own amount)
    // shows that value; the others their exact sums.
    QStringList out;
    for (int c = 0; c < n; ++c) {
        const ColumnFacts& f = facts[size_t(c)];
        const QString& fromHead = job.detail.columns.at(c).total;
        if (!fromHead.isEmpty())
            out.append(fromHead);
        else
            out.append(f.seen ? f.sums[size_t(f.decimals)].text() : QString());
    }
    return out;
}

CellLines PrintPages::Impl::lay(QString text, double width, const QFont& f, bool number, int maxLines,
                                bool wider) const
{
    CellLines out;
    const QFontMetricsF fm(f, device);
    width = std::max(width, 1.0);
    if (number) {
        const double w = fm.horizontalAdvance(text);
        if (w > width)
            out.scale = width / w;
        out.lines << text;
        return out;
    }
    if (text.size() > kCellChars)
        text.truncate(kCellChars);
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    if (std::optional<CellLines> early = layStart(text, width, f, fm, maxLines))
        return *early;
    if (!wider && !text.contains(QLatin1Char('\n')) && fm.horizontalAdvance(text) <= width) {
        out.lines << text;
        return out;
    }
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    int lastStart = 0;
    const int used = wrap(text, width, f, maxLines, out.lines, lastStart);
    if (used < text.size() && !out.lines.isEmpty()) {
        // The rest is cut: the last line ends in "…".
        QString rest = text.mid(lastStart).replace(QChar::LineSeparator, QLatin1Char(' '));
        dropLeadingSpaces(rest);
        out.lines.last() = fm.elidedText(rest.left(1000), Qt::ElideRight, width);
    }
    return out;
}

void PrintPages::Impl::dropLeadingSpaces(QString& text)
{
    qsizetype n = 0;
    while (n < text.size() && text.at(n).isSpace())
        ++n;
    text.remove(0, n);
}

int PrintPages::Impl::wrap(const QString& text, double width, const QFont& f, int maxLines,
                           QStringList& lines, int& lastStart) const
{
    QTextLayout layout(text, f, device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    int used = 0;
    while (lines.size() < maxLines) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
        lastStart = line.textStart();
        used = line.textStart() + line.textLength();
    }
    layout.endLayout();
    return used;
}

std::optional<CellLines> PrintPages::Impl::layStart(const QString& text, double width, const QFont& f,
                                                    const QFontMetricsF& fm, int maxLines) const
{
    constexpr int kMargin = 64; // characters kept past the last one that counts
    if (maxLines < 2 || narrowest <= 0)
        return std::nullopt;
    const double perLine = width / narrowest + 2;
    if (perLine * (maxLines + 1) + 2 * kMargin >= text.size())
        return std::nullopt;
    const int cut = int(perLine * maxLines) + kMargin;
    const int elideCut = std::min(1000, int(perLine) + kMargin);
    for (const QChar ch : text) {
        if (ch.isSurrogate() || ch.unicode() == 0x9C)
            return std::nullopt;
        switch (ch.direction()) {
        case QChar::DirL:
        case QChar::DirEN:
        case QChar::DirES:
        case QChar::DirET:
        case QChar::DirCS:
        case QChar::DirNSM:
        case QChar::DirBN:
        case QChar::DirB:
        case QChar::DirS:
        case QChar::DirWS:
        case QChar::DirON:
            break;
        default:
            return std::nullopt;
        }
    }
    QString start = text.left(cut);
    start.replace(QLatin1Char('\n'), QChar::LineSeparator);
    CellLines out;
    int lastStart = 0;
    const int used = wrap(start, width, f, maxLines, out.lines, lastStart);
    if (out.lines.size() < maxLines || used + kMargin > cut)
        return std::nullopt;
    // The rest is cut: the last line ends in "…", found within as much of
    // the rest as a line can hold.
    QString rest = text.mid(lastStart, elideCut);
    rest.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QChar::LineSeparator, QLatin1Char(' '));
    dropLeadingSpaces(rest);
    const QString elided = fm.elidedText(rest, Qt::ElideRight, width);
    if (elided == rest || elided.size() + kMargin > rest.size())
        return std::nullopt;
    out.lines.last() = elided;
    return out;
}

double PrintPages::Impl::numberWidth(const QString& t) const
{
    double w = 0;
    for (const QChar ch : t)
        w += ch.unicode() < 128 ? advance[ch.unicode()] : fullWidth;
    return w * 1.01;
}

double PrintPages::Impl::wordWidth(const QString& t) const
{
    double widest = 0;
    double width = 0;
    int chars = 0;
    bool ascii = true;
    const qsizetype end = std::min<qsizetype>(t.size(), kWordScan);
    for (qsizetype i = 0; i <= end; ++i) {
        const QChar ch = i < end ? t.at(i) : QLatin1Char(' ');
        if (ch.isSpace()) {
            if (ascii && chars <= kWordChars)
                widest = std::max(widest, width);
            width = 0;
            chars = 0;
            ascii = true;
        } else if (ch.unicode() < 128) {
            width += advance[ch.unicode()];
            ++chars;
        } else {
            ascii = false;
        }
    }
    return widest * 1.01;
}

void PrintPages::Impl::layoutColumns()
{
    const double avail = page.width();
    double share = 0;
    for (const PrintColumn& c : job.detail.columns)
        share += c.width;
    widths.clear();
    QList<double> number(n, 0); // what a column's numbers need on one line
    QList<double> word(n, 0);   // what its widest word needs
    const QFontMetricsF fm(font, device);
    const QFontMetricsF fmBold(bold, device);
    for (int c = 0; c < n; ++c) {
        widths << avail * job.detail.columns.at(c).width / share;
        double widest = facts[size_t(c)].widest;
        if (c < totals.size() && !totals.at(c).isEmpty())
            widest = std::max(widest, fmBold.horizontalAdvance(totals.at(c)));
        if (widest > 0)
            number[c] = widest + 2 * padX + 1;
        if (facts[size_t(c)].widestWord > 0)
            word[c] = facts[size_t(c)].widestWord + 2 * padX + 1;
    }
    const double twoChars = fm.horizontalAdvance(QStringLiteral("汉字")) + 2 * padX;
    // What a column keeps when it gives width to others: its numbers and
    // words, or two characters.
    const auto keeps = [&] {
        QList<double> keep(n);
        for (int c = 0; c < n; ++c)
            keep[c] = std::max(number[c], std::min(widths[c], std::max(twoChars, word[c])));
        return keep;
    };
    // Columns narrower than their widest word take the room first: a code
    // broken in two misreads, a number printed a little smaller does not.
    // Then columns short of their numbers' width take what is left.
    TakeWidth(widths, word, keeps());
    TakeWidth(widths, number, keeps());
}

double PrintPages::Impl::layoutHead()
{
    headFields.clear();
    if (!job.isBill || job.head.rows.isEmpty())
        return 0;
    // The fields flow along lines of headColumns cells, each over its Span.
    // A field whose text is wider than its cells takes as many more as it
    // needs (on the next line when this one has too few left); one wider
    // than a whole line takes the line and wraps.
    const QFontMetricsF fm(font, device);
    const int perLine = std::max(1, job.headColumns);
    const double unit = page.width() / perLine;
    const QStringList& values = job.head.rows.first();
    int used = 0;
    double top = 0;
    int lines = 1; // of the fields on the current line
    const auto newLine = [&] {
        top += lines * lineH + padY;
        used = 0;
        lines = 1;
    };
    for (int i = 0; i < job.head.columns.size(); ++i) {
        const PrintColumn& c = job.head.columns.at(i);
        const QString text = c.caption + QStringLiteral("：") + values.value(i);
        const double need = fm.horizontalAdvance(text);
        int span = std::min(c.span, perLine);
        while (span < perLine && need > span * unit - padX)
            ++span;
        if (used > 0 && used + span > perLine)
            newLine();
        const double width = span * unit - padX;
        HeadField field;
        field.lines = need <= width ? QStringList{text} : lay(text, width, font, false, kHeadLines).lines;
        field.rect = QRectF(page.left() + used * unit, top, width, field.lines.size() * lineH);
        lines = std::max(lines, int(field.lines.size()));
        headFields.append(field);
        used += span;
    }
    return top + lines * lineH + padY + lineH;
}

void PrintPages::Impl::layoutAll(QPaintDevice* dev, const QRectF& pageRect)
{
    device = dev;
    page = pageRect;
    // Sizes in the device's own pixels: the page paints the same on
    // paper and, scaled, in the preview.
    const double px = device->logicalDpiY() / 72.0;
    font = QFont(ChineseFamily());
    font.setPixelSize(std::max(1, int(std::lround(job.fontSize * px))));
    bold = font;
    bold.setBold(true);
    titleFont = bold;
    titleFont.setPixelSize(std::max(1, int(std::lround(job.fontSize * 2 * px))));
    const QFontMetricsF fm(font, device);
    lineH = fm.height();
    for (int ch = 32; ch < 128; ++ch)
        advance[ch] = fm.horizontalAdvance(QChar(ch));
    narrowest = *std::min_element(std::begin(advance) + 32, std::begin(advance) + 127);
    fullWidth = std::max(fm.horizontalAdvance(QChar(0x6C49)), fm.horizontalAdvance(QLatin1Char('W')));
    if (!std::equal(std::begin(advance), std::end(advance), std::begin(factsAdvance)))
        remeasureWidths();
    shaped.clear();
    shapedBold.clear();
    learnNumberGlyphs();
    padX = lineH * 0.25;
    padY = lineH * 0.15;
    pen = std::max(1.0, device->logicalDpiY() / 144.0); // half a point
    titleH = QFontMetricsF(titleFont, device).height() * 1.6;
    headH = layoutHead();
    footH = lineH * 1.5;
    closingH = (job.totalWords.isEmpty() ? 0 : lineH * 1.8) + (job.signatures.isEmpty() ? 0 : lineH * 2.5);
    widthsSet = widthsFinal = false;
    pages.clear();
    recent.clear();
    cursor = Cursor();
    laidOut = true;
}

void PrintPages::Impl::layoutTable()
{
    totals = columnTotals();
    layoutColumns();
    captionCells.clear();
    captionH = lineH + 2 * padY;
    for (int c = 0; c < n; ++c) {
        captionCells << lay(job.detail.columns.at(c).caption, widths[c] - 2 * padX, bold, false,
                            kCaptionLines);
        captionH = std::max(captionH, captionCells.last().lines.size() * lineH + 2 * padY);
    }
    totalCells.clear();
    for (int c = 0; c < n && !totals.isEmpty(); ++c) {
        const bool label = c == 0 && !job.detail.columns.at(c).sum;
        totalCells << lay(label ? QStringLiteral("合计") : totals.value(c), widths[c] - 2 * padX, bold,
                          !label);
    }
}

void PrintPages::Impl::restartPages()
{
    pages.clear();
    recent.clear();
    cursor = Cursor();
    cursor.y = page.top() + titleH + headH + captionH;
    cursor.p.top = true;
    cursor.totalsPlaced = totals.isEmpty();
}

void PrintPages::Impl::ensureTable()
{
    if (widthsSet)
        return;
    QElapsedTimer clock;
    clock.start();
    while (!complete && store.count() < kFirstRows && clock.elapsed() < kFirstMilliseconds)
        readMore(64);
    layoutTable();
    widthsSet = true;
    widthsFinal = complete;
    restartPages();
}

bool PrintPages::Impl::settle()
{
    if (!complete || !widthsSet || widthsFinal)
        return false;
    const QList<double> before = widths;
    const QStringList totalsBefore = totals;
    layoutTable();
    widthsFinal = true;
    if (widths == before && totals == totalsBefore)
        return false;
    restartPages();
    return true;
}

MeasuredRow PrintPages::Impl::measure(QStringList texts) const
{
    const QFontMetricsF fm(font, device);
    MeasuredRow m;
    int lines = 1;
    for (int c = 0; c < n; ++c) {
        const QString& t = texts.at(c);
        const double w = widths[c] - 2 * padX;
        // The quick tests first: most cells fit on one line.
        if (!t.contains(QLatin1Char('\n')) && (t.size() * fullWidth <= w || numberWidth(t) <= w))
            continue;
        const bool number = IsNumberText(t);
        const bool measured = !number && t.size() < 200 && !t.contains(QLatin1Char('\n'));
        if (number ? numberWidth(t) <= w : measured && fm.horizontalAdvance(t) <= w)
            continue;
        CellLines cl = lay(t, w, font, number, kCellLines, measured);
        lines = std::max(lines, int(cl.lines.size()));
        if (cl.lines.size() != 1 || cl.scale != 1 || cl.lines.first() != t)
            m.cells.emplace_back(c, std::move(cl));
    }
    m.texts = std::move(texts);
    m.height = lines * lineH + 2 * padY;
    return m;
}

void PrintPages::Impl::keepRecent(int index, std::vector<MeasuredRow> rows)
{
    for (auto it = recent.begin(); it != recent.end(); ++it) {
        if (it->first == index) {
            recent.erase(it);
            break;
        }
    }
    recent.emplace_front(index, std::move(rows));
    if (recent.size() > 4)
        recent.pop_back();
}

const std::vector<MeasuredRow>& PrintPages::Impl::pageRows(int index)
{
    if (recent.empty() || recent.front().first != index) {
        const Page& p = pages.at(index);
        std::vector<MeasuredRow> rows;
        for (auto it = recent.begin(); it != recent.end(); ++it) {
            if (it->first == index) {
                rows = std::move(it->second);
                break;
            }
        }
        if (rows.empty() && p.end > p.first) {
            for (int r = p.first; r < p.end; ++r)
                rows.push_back(measure(rowAt(r)));
        }
        keepRecent(index, std::move(rows));
    }
    return recent.front().second;
}

bool PrintPages::Impl::nextPage()
{
    ensureTable();
    settle();
    if (cursor.done)
        return false;
    const double bottom = page.bottom() - footH;
    const double totalsH = lineH + 2 * padY;
    Page& p = cursor.p;
    double& y = cursor.y;
    int& r = cursor.r;
    p.first = r;
    std::vector<MeasuredRow> rows;
    while (cursor.carried || haveRow(r)) {
        MeasuredRow m = cursor.carried ? std::move(*cursor.carried) : measure(rowAt(r));
        cursor.carried.reset();
        if (y + m.height > bottom && r != p.first) {
            cursor.carried = std::move(m);
            break;
        }
        y += m.height;
        rows.push_back(std::move(m));
        ++r;
    }
    p.end = r;
    if (!cursor.carried && !haveRow(r)) {
        if (!cursor.totalsPlaced && (y + totalsH <= bottom || p.end == p.first)) {
            p.totals = true;
            cursor.totalsPlaced = true;
            y += totalsH;
        }
        const bool empty = p.end == p.first && !p.totals;
        if (cursor.totalsPlaced && (y + closingH <= bottom || empty))
            p.closing = true;
    }
    pages << p;
    keepRecent(int(pages.size()) - 1, std::move(rows));
    // The rows read for this page may have been the last: the pages made
    // with the first widths start again when every row changes them.
    if (settle())
        return true;
    if (p.closing) {
        cursor.done = true;
        return false;
    }
    const bool closingOnly = !cursor.carried && !haveRow(r) && cursor.totalsPlaced;
    p = Page();
    y = page.top() + (closingOnly ? 0 : captionH);
    return true;
}

bool PrintPages::Impl::morePages()
{
    ensureTable();
    if (!complete) {
        readMore(256);
        settle();
        return true;
    }
    return nextPage();
}

void PrintPages::Impl::finish()
{
    while (nextPage()) {
    }
}

PrintPages::PrintPages(const PrintJob& job) : d(std::make_unique<Impl>(job)) {}

PrintPages::~PrintPages() = default;

void PrintPages::layout(QPaintDevice* device, const QRectF& page)
{
    if (d->laidOut && d->device == device && d->page == page)
        return;
    d->layoutAll(device, page);
}

int PrintPages::pageCount()
{
    d->finish();
    return int(d->pages.size());
}

int PrintPages::pagesMade() const
{
    return int(d->pages.size());
}

bool PrintPages::morePages()
{
    return d->morePages();
}

QString PrintPages::error() const
{
    return d->error;
}

bool PrintPages::pageReady(int page)
{
    while (d->pages.size() <= page && d->nextPage()) {
    }
    return page >= 0 && page < d->pages.size();
}

void PrintPages::paintPage(QPainter& painter, int page)
{
    if (pageReady(page))
        d->paint(painter, page);
}

bool PrintPages::print(QPrinter& printer, const std::function<void(int, int)>& progress)
{
    layout(&printer, PageRect(printer));
    // Every row is read before the first page is painted: a file that fails
    // half way leaves no half print.
    if (!d->readAll())
        return false;
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const int pages = progress ? pageCount() : 0;
    for (int i = 0;; ++i) {
        while (d->pages.size() <= i && d->nextPage()) {
        }
        if (i >= d->pages.size())
            break;
        if (i > 0)
            printer.newPage();
        d->paint(painter, i);
        if (progress)
            progress(i + 1, pages);
    }
    return painter.end() && d->error.isEmpty();
}

namespace
{

// The device the pages are measured on when no other was given: A4 in the
// job's orientation, as a PDF prints it.
QPrinter& MeasuringPrinter(const PrintJob& job)
{
    static QPrinter* measure = nullptr;
    if (!measure)
        measure = new QPrinter(QPrinter::HighResolution);
    SetUpPrinter(job, *measure);
    return *measure;
}

} // namespace

QList<double> PrintPages::columnWidths()
{
    if (!d->laidOut)
        layout(&MeasuringPrinter(d->job), PageRect(MeasuringPrinter(d->job)));
    d->readAll();
    d->ensureTable();
    d->settle();
    return d->widths;
}

QStringList PrintPages::cellLines(int row, int col)
{
    columnWidths();
    if (row < 0)
        return d->totalCells.value(col).lines;
    if (row >= d->store.count())
        return {};
    const MeasuredRow m = d->measure(d->rowAt(row));
    const CellLines* lines = m.cell(col);
    return lines ? lines->lines : QStringList{m.texts.value(col)};
}

QString PrintPages::toPlainText()
{
    columnWidths();
    d->finish();
    QStringList out;
    out << d->job.title;
    if (d->job.isBill && !d->job.head.rows.isEmpty()) {
        for (int i = 0; i < d->job.head.columns.size(); ++i)
            out << d->job.head.columns.at(i).caption + QStringLiteral("：") +
                       d->job.head.rows.first().value(i);
    }
    const int n = d->n;
    QStringList line;
    for (int c = 0; c < n; ++c)
        line << d->captionCells.value(c).lines.join(QString());
    out << line.join(QLatin1Char('\t'));
    for (int r = 0; r < d->store.count(); ++r) {
        line.clear();
        const MeasuredRow m = d->measure(d->rowAt(r));
        for (int c = 0; c < n; ++c) {
            const CellLines* lines = m.cell(c);
            line << (lines ? lines->lines.join(QString()) : m.texts.at(c));
        }
        out << line.join(QLatin1Char('\t'));
    }
    if (!d->totalCells.isEmpty()) {
        line.clear();
        for (const CellLines& cl : d->totalCells)
            line << cl.lines.join(QString());
        out << line.join(QLatin1Char('\t'));
    }
    if (!d->job.totalWords.isEmpty())
        out << QStringLiteral("合计金额(大写)：") + d->job.totalWords;
    line.clear();
    for (const auto& [role, name] : d->job.signatures)
        line << role + QStringLiteral("：") + name;
    if (!line.isEmpty())
        out << line.join(QLatin1Char('\t'));
    return out.join(QLatin1Char('\n'));
}

std::unique_ptr<PrintPages> BuildPrintDocument(const PrintJob& job)
{
    return std::make_unique<PrintPages>(job);
}

void SetUpPrinter(const PrintJob& job, QPrinter& printer)
{
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                      job.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                      QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
    printer.setDocName(job.title);
}

bool WritePdf(const PrintJob& job, const QString& pdfFile, QString& error)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfFile);
    SetUpPrinter(job, printer);
    PrintPages pages(job);
    if (!pages.print(printer) || !QFileInfo(pdfFile).isFile() || QFileInfo(pdfFile).size() == 0) {
        error = pages.error().isEmpty()
                    ? QStringLiteral("无法写入PDF文件: ") + QDir::toNativeSeparators(pdfFile)
                    : pages.error();
        return false;
    }
    return true;
}
