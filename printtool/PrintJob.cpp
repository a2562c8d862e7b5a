#include "PrintJob.h"

#include "DialogRunner.h"
#include "Guarded.h"
#include "MsgBox.h"
#include "Numbers.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QScrollArea>
#include <QTextLayout>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>

namespace
{

// A template code or a file name given to the tool must stay inside its folder.
bool IsBareName(const QString& name)
{
    static const QRegularExpression bare(QStringLiteral(R"(^[^/\\:*?"<>|]+$)"));
    return bare.match(name).hasMatch() && name != QLatin1String(".") && name != QLatin1String("..");
}

bool LoadXml(const QString& path, const QString& what, QDomDocument& doc, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = what + QStringLiteral("不存在: ") + QDir::toNativeSeparators(path);
        return false;
    }
    QString parseError;
    int line = 0;
    if (!doc.setContent(&file, &parseError, &line)) {
        error = QStringLiteral("%1格式错误: %2 (第%3行: %4)")
                    .arg(what, QDir::toNativeSeparators(path))
                    .arg(line)
                    .arg(parseError);
        return false;
    }
    if (doc.documentElement().tagName() != QLatin1String("Content")) {
        error = what + QStringLiteral("缺少Content元素: ") + QDir::toNativeSeparators(path);
        return false;
    }
    return true;
}

QList<PrintColumn> ReadColumns(const QDomElement& section)
{
    QList<PrintColumn> columns;
    const QDomElement cols = section.firstChildElement(QStringLiteral("DataCols"));
    for (QDomElement c = cols.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) {
        PrintColumn column;
        column.name = c.tagName();
        column.caption = c.attribute(QStringLiteral("Caption"), column.name);
        column.width = qMax(0.1, c.attribute(QStringLiteral("Width"), QStringLiteral("1")).toDouble());
        const QString align = c.attribute(QStringLiteral("Align")).toLower();
        column.align = align == QLatin1String("right")    ? Qt::AlignRight
                       : align == QLatin1String("center") ? Qt::AlignHCenter
                                                          : Qt::AlignLeft;
        column.span = qMax(1, c.attribute(QStringLiteral("Span"), QStringLiteral("1")).toInt());
        column.sum =
            c.attribute(QStringLiteral("Sum")).compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
        column.totalFrom = c.attribute(QStringLiteral("TotalFrom"));
        columns.append(column);
    }
    return columns;
}

// Reads the print data file in one pass: the rows of DataGroupHead (into
// head, when given) and of DataDetail, each row one text per column of its
// section (the first element of the column's name in the row, trimmed).
bool ReadData(const QString& path, PrintSection* head, PrintSection& detail, QString& error)
{
    const QString what = QStringLiteral("打印数据文件");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = what + QStringLiteral("不存在: ") + QDir::toNativeSeparators(path);
        return false;
    }
    QXmlStreamReader xml(&file);
    PrintSection* section = nullptr;
    QHash<QString, int> index;
    int depth = 0;
    bool root = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
            if (depth < 2)
                section = nullptr;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        ++depth;
        const QStringView name = xml.name();
        if (depth == 1) {
            if (name != QLatin1String("Content")) {
                error = what + QStringLiteral("缺少Content元素: ") + QDir::toNativeSeparators(path);
                return false;
            }
            root = true;
        } else if (depth == 2) {
            section = name == QLatin1String("DataDetail")              ? &detail
                      : name == QLatin1String("DataGroupHead") && head ? head
                                                                       : nullptr;
            index.clear();
            if (section) {
                for (int c = 0; c < section->columns.size(); ++c)
                    index.insert(section->columns.at(c).name, c);
            }
            if (!section)
                xml.skipCurrentElement(), --depth;
        } else if (depth == 3) {
            if (name != QLatin1String("DataRecord"))
                xml.skipCurrentElement(), --depth;
        } else if (depth == 4) {
            if (name != QLatin1String("DataRow")) {
                xml.skipCurrentElement();
                --depth;
                continue;
            }
            QStringList row;
            row.resize(section->columns.size());
            QList<bool> seen(section->columns.size(), false);
            while (xml.readNextStartElement()) {
                const int c = index.value(xml.name().toString(), -1);
                const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                if (c >= 0 && !seen[c]) {
                    row[c] = text.trimmed();
                    seen[c] = true;
                }
            }
            --depth; // the row's end was read
            section->rows.append(row);
        }
    }
    if (xml.hasError() || !root) {
        error = QStringLiteral("%1格式错误: %2 (第%3行: %4)")
                    .arg(what, QDir::toNativeSeparators(path))
                    .arg(xml.lineNumber())
                    .arg(xml.hasError() ? xml.errorString() : QStringLiteral("空文件"));
        return false;
    }
    return true;
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

// The totals of the columns marked Sum, each the exact sum of the column's
// numbers with as many decimals as its most precise value, or the head's
// value the column takes its total from; empty when no column is totalled.
QStringList ColumnTotals(const PrintSection& section)
{
    bool any = false;
    QStringList totals;
    for (int c = 0; c < section.columns.size(); ++c) {
        if (!section.columns.at(c).sum) {
            totals.append(QString());
            continue;
        }
        any = true;
        if (!section.columns.at(c).total.isEmpty()) {
            totals.append(section.columns.at(c).total);
            continue;
        }
        int decimals = 0;
        bool seen = false;
        for (const QStringList& row : section.rows) {
            const QString text = row.value(c);
            const qsizetype point = text.indexOf(QLatin1Char('.'));
            if (!text.isEmpty())
                seen = true;
            if (point >= 0)
                decimals = std::max(decimals, int(text.size() - point - 1));
        }
        decimals = std::min(decimals, 6);
        DecimalSum sum(decimals);
        for (const QStringList& row : section.rows)
            sum.add(Decimal::Leading(QStringView(row.value(c))));
        totals.append(seen ? sum.text() : QString());
    }
    return any ? totals : QStringList();
}

} // namespace

bool ParsePrintCommand(const QString& text, PrintCommand& command, QString& error)
{
    const QString scheme = QStringLiteral("ulmPrint:");
    const QString invalid = QStringLiteral("打印命令格式错误: ") + text;
    command = PrintCommand();
    if (!text.startsWith(scheme, Qt::CaseInsensitive)) {
        error = invalid;
        return false;
    }
    QString typeId;
    for (const QString& pair : text.mid(scheme.size()).split(QLatin1Char('&'))) {
        const qsizetype eq = pair.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = pair.left(eq).trimmed();
        const QString value = pair.mid(eq + 1).trimmed();
        if (key.compare(QLatin1String("TypeId"), Qt::CaseInsensitive) == 0)
            typeId = value;
        else if (key.compare(QLatin1String("BillCode"), Qt::CaseInsensitive) == 0)
            command.billCode = value;
        else if (key.compare(QLatin1String("FileName"), Qt::CaseInsensitive) == 0)
            command.fileName = value;
    }
    command.typeId = typeId.toInt();
    if ((command.typeId != PrintCommand::Bill && command.typeId != PrintCommand::Report) ||
        !IsBareName(command.billCode) || !IsBareName(command.fileName)) {
        error = invalid;
        return false;
    }
    return true;
}

bool LoadPrintJob(const QString& toolDir, const PrintCommand& command, PrintJob& job, QString& error)
{
    const QString dir = toolDir.endsWith(QLatin1Char('/')) ? toolDir : toolDir + QLatin1Char('/');
    QDomDocument templ;
    if (!LoadXml(dir + QStringLiteral("templeteXml/") + command.billCode + QStringLiteral(".xml"),
                 QStringLiteral("打印模板"), templ, error))
        return false;

    const QDomElement layout = templ.documentElement();
    job = PrintJob();
    job.isBill = command.typeId == PrintCommand::Bill;
    job.title = layout.attribute(QStringLiteral("Title"), command.billCode);
    job.landscape = layout.attribute(QStringLiteral("Orientation"))
                        .compare(QLatin1String("Landscape"), Qt::CaseInsensitive) == 0;
    job.fontSize =
        qBound(5.0, layout.attribute(QStringLiteral("FontSize"), QStringLiteral("9")).toDouble(), 30.0);
    job.headColumns =
        qBound(1, layout.attribute(QStringLiteral("HeadColumns"), QStringLiteral("3")).toInt(), 8);

    if (job.isBill)
        job.head.columns = ReadColumns(layout.firstChildElement(QStringLiteral("DataGroupHead")));
    const QString section = QStringLiteral("DataDetail");
    job.detail.columns = ReadColumns(layout.firstChildElement(section));
    if (!ReadData(dir + QStringLiteral("generateXml/") + command.fileName, job.isBill ? &job.head : nullptr,
                  job.detail, error))
        return false;
    // What closes a printed bill: the amount in words (a head field) and the signature lines.
    const auto headValue = [&job](const QString& name) {
        for (int i = 0; i < job.head.columns.size(); ++i) {
            if (job.head.columns.at(i).name == name)
                return job.head.rows.isEmpty() ? QString() : job.head.rows.first().value(i);
        }
        return QString();
    };
    const QString wordsField = layout.firstChildElement(section).attribute(QStringLiteral("TotalWords"));
    if (!wordsField.isEmpty())
        job.totalWords = headValue(wordsField);
    // A bill's amount is the head's: the 合计 shows the same digits as the
    // head and the words.
    for (PrintColumn& c : job.detail.columns) {
        if (!c.totalFrom.isEmpty())
            c.total = headValue(c.totalFrom);
    }
    const QDomElement signs = layout.firstChildElement(QStringLiteral("Signatures"));
    for (QDomElement sign = signs.firstChildElement(QStringLiteral("Sign")); !sign.isNull();
         sign = sign.nextSiblingElement(QStringLiteral("Sign"))) {
        const QString from = sign.attribute(QStringLiteral("From"));
        job.signatures.append(
            {sign.attribute(QStringLiteral("Caption")), from.isEmpty() ? QString() : headValue(from)});
    }
    if (job.detail.columns.isEmpty()) {
        error = QStringLiteral("打印模板没有明细列: ") + command.billCode;
        return false;
    }
    return true;
}

// ------------------------------------------------------------------ pages

namespace
{

// A number as the program writes it: these never wrap.
bool IsNumberText(const QString& text)
{
    static const QRegularExpression number(QStringLiteral(R"(^[-+]?[0-9][0-9,]*(\.[0-9]*)?%?$)"));
    return !text.isEmpty() && text.size() <= 64 && number.match(text).hasMatch();
}

// The printer's painting area in the coordinates its painter uses.
QRectF PageRect(QPrinter& printer)
{
    const QRect paint = printer.pageLayout().paintRectPixels(printer.resolution());
    return QRectF(0, 0, paint.width(), paint.height());
}

Qt::Alignment HAlign(Qt::Alignment a)
{
    return a & (Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter);
}

// One cell as it prints: its lines, and the scale of its font when a number
// had to be printed smaller to stay on one line.
struct CellLines {
    QStringList lines;
    double scale = 1;
};

} // namespace

struct PrintPages::Impl {
    const PrintJob job;
    QStringList totals;

    // laid out for
    QPaintDevice* device = nullptr;
    QRectF page;
    bool laidOut = false;

    QFont font, bold, titleFont;
    double lineH = 0, padX = 0, padY = 0, pen = 1;
    double titleH = 0, headH = 0, captionH = 0, closingH = 0, footH = 0;
    QList<double> widths;
    QList<double> rowH;               // per data row
    QHash<qint64, CellLines> wrapped; // cells of more than one line, or printed smaller (row * cols + col)
    QList<CellLines> captionCells, totalCells;
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
    } cursor;
    double fullWidth = 1;
    double advance[128] = {};

    explicit Impl(const PrintJob& j) : job(j), totals(ColumnTotals(j.detail)) {}

    int cols() const { return int(job.detail.columns.size()); }
    QString cell(int row, int col) const { return job.detail.rows.at(row).value(col); }

    // The lines a text takes in width: one when it fits; at most kCellLines,
    // the last elided; a number always one, smaller when it must be.
    CellLines lay(QString text, double width, const QFont& f, bool number) const
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
        if (!text.contains(QLatin1Char('\n')) && fm.horizontalAdvance(text) <= width) {
            out.lines << text;
            return out;
        }
        text.replace(QLatin1Char('\n'), QChar::LineSeparator);
        QTextLayout layout(text, f, device);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        int used = 0;
        while (out.lines.size() < kCellLines) {
            QTextLine line = layout.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(width);
            out.lines << text.mid(line.textStart(), line.textLength()).trimmed();
            used = line.textStart() + line.textLength();
        }
        layout.endLayout();
        if (used < text.size() && !out.lines.isEmpty()) {
            // The rest is cut: the last line ends in "…".
            const int lastStart = int(used - out.lines.last().size());
            const QString rest =
                text.mid(std::max(0, lastStart)).replace(QChar::LineSeparator, QLatin1Char(' '));
            out.lines.last() = fm.elidedText(rest.left(1000), Qt::ElideRight, width);
        }
        return out;
    }

    // A number's width from its characters' advances (digits, sign, point,
    // comma), without shaping it; a hair wider than measured, never narrower.
    double numberWidth(const QString& t) const
    {
        double w = 0;
        for (const QChar ch : t)
            w += ch.unicode() < 128 ? advance[ch.unicode()] : fullWidth;
        return w * 1.01;
    }

    void layoutColumns()
    {
        const int n = cols();
        const double avail = page.width();
        double share = 0;
        for (const PrintColumn& c : job.detail.columns)
            share += c.width;
        widths.clear();
        QList<double> need(n, 0); // what a column's numbers need on one line
        const QFontMetricsF fm(font, device);
        const QFontMetricsF fmBold(bold, device);
        for (int c = 0; c < n; ++c) {
            widths << avail * job.detail.columns.at(c).width / share;
            double widest = 0;
            for (const QStringList& row : job.detail.rows) {
                const QString& t = row.at(c);
                if (IsNumberText(t))
                    widest = std::max(widest, numberWidth(t));
            }
            if (c < totals.size() && !totals.at(c).isEmpty())
                widest = std::max(widest, fmBold.horizontalAdvance(totals.at(c)));
            if (widest > 0)
                need[c] = widest + 2 * padX + 1;
        }
        // Columns short of their numbers' width take it from the others, down
        // to those columns' own numbers or two characters.
        double missing = 0;
        for (int c = 0; c < n; ++c)
            missing += std::max(0.0, need[c] - widths[c]);
        if (missing <= 0)
            return;
        const double floorText = fm.horizontalAdvance(QStringLiteral("汉字")) + 2 * padX;
        double spare = 0;
        QList<double> floor(n);
        for (int c = 0; c < n; ++c) {
            floor[c] = std::max(need[c], std::min(widths[c], floorText));
            spare += std::max(0.0, widths[c] - floor[c]);
        }
        const double give = std::min(missing, spare);
        const double grow = missing > 0 ? give / missing : 0;
        const double shrink = spare > 0 ? give / spare : 0;
        for (int c = 0; c < n; ++c) {
            if (need[c] > widths[c])
                widths[c] += (need[c] - widths[c]) * grow;
            else
                widths[c] -= std::max(0.0, widths[c] - floor[c]) * shrink;
        }
    }

    double headBlockHeight() const
    {
        if (!job.isBill || job.head.rows.isEmpty())
            return 0;
        const int perLine = std::max(1, job.headColumns);
        int lines = 0;
        int used = 0;
        for (const PrintColumn& c : job.head.columns) {
            const int span = std::min(c.span, perLine);
            if (used == 0 || used + span > perLine) {
                ++lines;
                used = 0;
            }
            used += span;
        }
        return lines * (lineH + padY) + lineH;
    }

    void layoutAll(QPaintDevice* dev, const QRectF& pageRect)
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
        fullWidth = std::max(fm.horizontalAdvance(QChar(0x6C49)), fm.horizontalAdvance(QLatin1Char('W')));
        padX = lineH * 0.25;
        padY = lineH * 0.15;
        pen = std::max(1.0, device->logicalDpiY() / 144.0); // half a point
        titleH = QFontMetricsF(titleFont, device).height() * 1.6;
        headH = headBlockHeight();
        footH = lineH * 1.5;
        closingH =
            (job.totalWords.isEmpty() ? 0 : lineH * 1.8) + (job.signatures.isEmpty() ? 0 : lineH * 2.5);
        layoutColumns();

        const int n = cols();
        captionCells.clear();
        captionH = lineH + 2 * padY;
        for (int c = 0; c < n; ++c) {
            captionCells << lay(job.detail.columns.at(c).caption, widths[c] - 2 * padX, bold, false);
            captionH = std::max(captionH, captionCells.last().lines.size() * lineH + 2 * padY);
        }
        totalCells.clear();
        for (int c = 0; c < n && !totals.isEmpty(); ++c) {
            const bool label = c == 0 && !job.detail.columns.at(c).sum;
            totalCells << lay(label ? QStringLiteral("合计") : totals.value(c), widths[c] - 2 * padX, bold,
                              !label);
        }

        wrapped.clear();
        rowH.clear();
        rowH.reserve(job.detail.rows.size());
        pages.clear();
        cursor = Cursor();
        cursor.y = page.top() + titleH + headH + captionH;
        cursor.p.top = true;
        cursor.totalsPlaced = totals.isEmpty();
        laidOut = true;
    }

    // The height of data row r, measured once.
    double rowHeight(int r)
    {
        while (rowH.size() <= r)
            measureRow(int(rowH.size()));
        return rowH.at(r);
    }

    void measureRow(int r)
    {
        const QFontMetricsF fm(font, device);
        const int n = cols();
        int lines = 1;
        for (int c = 0; c < n; ++c) {
            const QString& t = job.detail.rows.at(r).at(c);
            const double w = widths[c] - 2 * padX;
            // The quick tests first: most cells fit on one line.
            if (t.size() * fullWidth <= w && !t.contains(QLatin1Char('\n')))
                continue;
            const bool number = IsNumberText(t);
            if (number ? numberWidth(t) <= w
                       : t.size() < 200 && !t.contains(QLatin1Char('\n')) && fm.horizontalAdvance(t) <= w)
                continue;
            CellLines cl = lay(t, w, font, number);
            lines = std::max(lines, int(cl.lines.size()));
            if (cl.lines.size() != 1 || cl.scale != 1 || cl.lines.first() != t)
                wrapped.insert(qint64(r) * n + c, std::move(cl));
        }
        rowH << lines * lineH + 2 * padY;
    }

    // Pagination, a page at a time: the rows as they fit, then the totals
    // row, then the closing lines; each on the next page when it no longer
    // fits. False once the last page is made.
    bool nextPage()
    {
        if (cursor.done)
            return false;
        const double bottom = page.bottom() - footH;
        const double totalsH = lineH + 2 * padY;
        const int rows = int(job.detail.rows.size());
        Page& p = cursor.p;
        double& y = cursor.y;
        int& r = cursor.r;
        p.first = r;
        while (r < rows && (y + rowHeight(r) <= bottom || r == p.first)) {
            y += rowH[r];
            ++r;
        }
        p.end = r;
        if (r == rows) {
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
        if (p.closing) {
            cursor.done = true;
            return false;
        }
        const bool closingOnly = r == rows && cursor.totalsPlaced;
        p = Page();
        y = page.top() + (closingOnly ? 0 : captionH);
        return true;
    }

    void finish()
    {
        while (nextPage()) {
        }
    }

    void drawCell(QPainter& painter, const QRectF& rect, const CellLines* lines, const QString& text,
                  Qt::Alignment align, const QFont& f) const
    {
        const QRectF inner = rect.adjusted(padX, padY, -padX, -padY);
        if (!lines) {
            painter.drawText(inner, int(HAlign(align) | Qt::AlignVCenter | Qt::TextSingleLine), text);
            return;
        }
        if (lines->scale != 1) {
            QFont small = f;
            small.setPixelSize(std::max(1, int(f.pixelSize() * lines->scale * 0.98)));
            painter.setFont(small);
            painter.drawText(inner, int(HAlign(align) | Qt::AlignVCenter | Qt::TextSingleLine),
                             lines->lines.value(0));
            painter.setFont(f);
            return;
        }
        double y = inner.top() + (inner.height() - lines->lines.size() * lineH) / 2;
        for (const QString& line : lines->lines) {
            painter.drawText(QRectF(inner.left(), y, inner.width(), lineH),
                             int(HAlign(align) | Qt::AlignVCenter | Qt::TextSingleLine), line);
            y += lineH;
        }
    }

    void paint(QPainter& painter, int index) const
    {
        const Page& p = pages.at(index);
        const int n = cols();
        painter.save();
        painter.setPen(QPen(Qt::black, pen));
        double y = page.top();
        if (p.top) {
            painter.setFont(titleFont);
            painter.drawText(QRectF(page.left(), y, page.width(), titleH), int(Qt::AlignCenter), job.title);
            y += titleH;
            if (headH > 0) {
                painter.setFont(font);
                const QStringList& values = job.head.rows.first();
                const int perLine = std::max(1, job.headColumns);
                const double unit = page.width() / perLine;
                int used = 0;
                double hy = y;
                for (int i = 0; i < job.head.columns.size(); ++i) {
                    const PrintColumn& c = job.head.columns.at(i);
                    const int span = std::min(c.span, perLine);
                    if (used > 0 && used + span > perLine) {
                        used = 0;
                        hy += lineH + padY;
                    }
                    const QRectF r(page.left() + used * unit, hy, span * unit - padX, lineH);
                    const QString text = c.caption + QStringLiteral("：") + values.value(i);
                    painter.drawText(r, int(Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine),
                                     QFontMetricsF(font, device).elidedText(text, Qt::ElideRight, r.width()));
                    used += span;
                }
                y += headH;
            }
        }
        const double tableTop = y;
        if (p.end > p.first || p.totals || p.top) {
            // captions
            painter.setFont(bold);
            double x = page.left();
            for (int c = 0; c < n; ++c) {
                drawCell(painter, QRectF(x, y, widths[c], captionH), &captionCells.at(c), QString(),
                         Qt::AlignHCenter, bold);
                x += widths[c];
            }
            painter.drawLine(QLineF(page.left(), y, x, y));
            y += captionH;
            painter.drawLine(QLineF(page.left(), y, x, y));
            painter.setFont(font);
            for (int r = p.first; r < p.end; ++r) {
                double cx = page.left();
                const QStringList& row = job.detail.rows.at(r);
                for (int c = 0; c < n; ++c) {
                    const auto it = wrapped.constFind(qint64(r) * n + c);
                    drawCell(painter, QRectF(cx, y, widths[c], rowH[r]),
                             it == wrapped.constEnd() ? nullptr : &it.value(), row.at(c),
                             job.detail.columns.at(c).align, font);
                    cx += widths[c];
                }
                y += rowH[r];
                painter.drawLine(QLineF(page.left(), y, cx, y));
            }
            if (p.totals) {
                painter.setFont(bold);
                double cx = page.left();
                const double h = lineH + 2 * padY;
                for (int c = 0; c < n; ++c) {
                    const bool label = c == 0 && !job.detail.columns.at(c).sum;
                    const CellLines& cl = totalCells.at(c);
                    drawCell(painter, QRectF(cx, y, widths[c], h), cl.scale != 1 ? &cl : nullptr,
                             cl.lines.value(0), label ? Qt::AlignHCenter : job.detail.columns.at(c).align,
                             bold);
                    cx += widths[c];
                }
                y += h;
                painter.drawLine(QLineF(page.left(), y, cx, y));
                painter.setFont(font);
            }
            double vx = page.left();
            painter.drawLine(QLineF(vx, tableTop, vx, y));
            for (int c = 0; c < n; ++c) {
                vx += widths[c];
                painter.drawLine(QLineF(vx, tableTop, vx, y));
            }
        }
        if (p.closing) {
            painter.setFont(font);
            y += lineH * 0.5;
            if (!job.totalWords.isEmpty()) {
                painter.drawText(QRectF(page.left(), y, page.width(), lineH),
                                 int(Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine),
                                 QStringLiteral("合计金额(大写)：") + job.totalWords);
                y += lineH * 1.3;
            }
            if (!job.signatures.isEmpty()) {
                y += lineH;
                const double w = page.width() / job.signatures.size();
                double x = page.left();
                for (const auto& [role, name] : job.signatures) {
                    painter.drawText(QRectF(x, y, w, lineH),
                                     int(Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine),
                                     role + QStringLiteral("：") +
                                         (name.isEmpty() ? QStringLiteral("____________") : name));
                    x += w;
                }
            }
        }
        painter.setFont(font);
        painter.drawText(QRectF(page.left(), page.bottom() - lineH, page.width(), lineH),
                         int(Qt::AlignRight | Qt::AlignVCenter), QString::number(index + 1));
        painter.restore();
    }
};

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
    return d->nextPage();
}

void PrintPages::paintPage(QPainter& painter, int page)
{
    while (d->pages.size() <= page && d->nextPage()) {
    }
    if (page >= 0 && page < d->pages.size())
        d->paint(painter, page);
}

bool PrintPages::print(QPrinter& printer, const std::function<void(int, int)>& progress)
{
    layout(&printer, PageRect(printer));
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const int pages = pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            printer.newPage();
        paintPage(painter, i);
        if (progress)
            progress(i + 1, pages);
    }
    return painter.end();
}

QList<double> PrintPages::columnWidths() const
{
    return d->widths;
}

QStringList PrintPages::cellLines(int row, int col)
{
    if (row < 0)
        return d->totalCells.value(col).lines;
    d->rowHeight(row);
    const auto it = d->wrapped.constFind(qint64(row) * d->cols() + col);
    if (it != d->wrapped.constEnd())
        return it.value().lines;
    return {d->cell(row, col)};
}

QString PrintPages::toPlainText()
{
    if (!d->laidOut) {
        static QPrinter* measure = nullptr;
        if (!measure)
            measure = new QPrinter(QPrinter::HighResolution);
        SetUpPrinter(d->job, *measure);
        layout(measure,
               measure->pageLayout()
                   .paintRectPixels(measure->resolution())
                   .translated(-measure->pageLayout().paintRectPixels(measure->resolution()).topLeft()));
    }
    d->finish();
    QStringList out;
    out << d->job.title;
    if (d->job.isBill && !d->job.head.rows.isEmpty()) {
        for (int i = 0; i < d->job.head.columns.size(); ++i)
            out << d->job.head.columns.at(i).caption + QStringLiteral("：") +
                       d->job.head.rows.first().value(i);
    }
    const int n = d->cols();
    QStringList line;
    for (int c = 0; c < n; ++c)
        line << d->captionCells.value(c).lines.join(QString());
    out << line.join(QLatin1Char('\t'));
    for (int r = 0; r < d->job.detail.rows.size(); ++r) {
        line.clear();
        for (int c = 0; c < n; ++c)
            line << cellLines(r, c).join(QString());
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
        error = QStringLiteral("无法写入PDF文件: ") + QDir::toNativeSeparators(pdfFile);
        return false;
    }
    return true;
}

namespace
{

// One page of the preview, painted scaled to the widget from the layout.
class PageView : public QWidget
{
  public:
    PageView(PrintPages& pages, QPrinter& printer, QWidget* parent)
        : QWidget(parent), m_pages(pages), m_printer(printer)
    {
        setAutoFillBackground(false);
    }
    int page = 0;

    QSizeF paper() const { return m_printer.pageLayout().fullRectPixels(m_printer.resolution()).size(); }
    int heightForWidth(int w) const override
    {
        const QSizeF p = paper();
        return int(w * p.height() / std::max(1.0, p.width()));
    }

  protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(128, 128, 128));
        const QSizeF p = paper();
        const double s = std::min(width() / p.width(), height() / p.height());
        const QRectF sheet(0, 0, p.width() * s, p.height() * s);
        painter.translate((width() - sheet.width()) / 2, 0);
        painter.fillRect(sheet, Qt::white);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(s, s);
        painter.translate(m_printer.pageLayout().paintRectPixels(m_printer.resolution()).topLeft());
        m_pages.paintPage(painter, page);
    }

  private:
    PrintPages& m_pages;
    QPrinter& m_printer;
};

// Prints pages to printer with the busy cursor, and past a moment a progress window.
bool PrintWithProgress(PrintPages& pages, QPrinter& printer, const QString& title, QWidget* parent)
{
    const BusyCursor busy;
    pages.layout(&printer, PageRect(printer));
    QProgressDialog progress(QStringLiteral("正在打印..."), QString(), 0, 1, parent);
    progress.setWindowTitle(title);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(1500);
    progress.setValue(0);
    return pages.print(printer, [&](int done, int total) {
        progress.setMaximum(total);
        progress.setLabelText(QStringLiteral("正在打印第 %1 页, 共 %2 页...").arg(done).arg(total));
        progress.setValue(done);
    });
}

} // namespace

struct PrintPreview::Impl {
    explicit Impl(const PrintJob& j) : job(j), pages(j) {}
    PrintJob job;
    QPrinter printer{QPrinter::HighResolution};
    PrintPages pages;
    PageView* view = nullptr;
    QScrollArea* area = nullptr;
    QLabel* label = nullptr;
    QTimer more;
};

PrintPreview::PrintPreview(const PrintJob& job, QWidget* parent)
    : QDialog(parent), d(std::make_unique<Impl>(job))
{
    setObjectName(QStringLiteral("qvPrintPreview"));
    setWindowTitle(QStringLiteral("打印预览 - ") + job.title);
    SetUpPrinter(job, d->printer);
    d->pages.layout(&d->printer, PageRect(d->printer));

    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("previewBar"));
    const auto add = [&](const QString& name, const QString& text, auto slot, QKeySequence key = {}) {
        QAction* a = bar->addAction(text);
        a->setObjectName(name);
        a->setShortcut(key);
        connect(a, &QAction::triggered, this, slot);
    };
    add(QStringLiteral("print"), QStringLiteral("打印"), [this] {
        QPrintDialog dialog(&d->printer, this);
        if (DialogRunner::Exec(&dialog) == QDialog::Accepted)
            printTo(d->printer);
        showPage(currentPage());
    });
    add(QStringLiteral("pdf"), QStringLiteral("导出PDF"), [this] {
        QFileDialog dialog(this, QStringLiteral("导出PDF"),
                           QDir::homePath() + QLatin1Char('/') + d->job.title + QStringLiteral(".pdf"),
                           QStringLiteral("PDF (*.pdf)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("pdf"));
        if (DialogRunner::Exec(&dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty() &&
            !savePdf(dialog.selectedFiles().first()))
            MsgBox::SystemError(QStringLiteral("无法写入PDF文件: ") +
                                    QDir::toNativeSeparators(dialog.selectedFiles().first()),
                                this);
    });
    bar->addSeparator();
    add(
        QStringLiteral("first"), QStringLiteral("首页"), [this] { showPage(0); }, QKeySequence(Qt::Key_Home));
    add(
        QStringLiteral("previous"), QStringLiteral("上一页"), [this] { showPage(currentPage() - 1); },
        QKeySequence(Qt::Key_PageUp));
    add(
        QStringLiteral("next"), QStringLiteral("下一页"), [this] { showPage(currentPage() + 1); },
        QKeySequence(Qt::Key_PageDown));
    add(
        QStringLiteral("last"), QStringLiteral("末页"), [this] { showPage(pageCount() - 1); },
        QKeySequence(Qt::Key_End));
    bar->addSeparator();
    d->label = new QLabel(bar);
    d->label->setObjectName(QStringLiteral("pageLabel"));
    bar->addWidget(d->label);
    add(QStringLiteral("close"), QStringLiteral("关闭"), [this] { accept(); });

    d->area = new QScrollArea(this);
    d->area->setWidgetResizable(true);
    d->area->setBackgroundRole(QPalette::Dark);
    d->view = new PageView(d->pages, d->printer, d->area);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    d->view->setSizePolicy(policy);
    d->area->setWidget(d->view);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(d->area, 1);

    // The pages after the first are laid out while the window waits.
    d->more.setInterval(0);
    connect(&d->more, &QTimer::timeout, this, [this] {
        QElapsedTimer slice;
        slice.start();
        bool going = true;
        while (going && slice.elapsed() < 30)
            going = d->pages.morePages();
        if (!going)
            d->more.stop();
        showPage(currentPage());
    });
    d->more.start();
    showPage(0);
}

PrintPreview::~PrintPreview() = default;

int PrintPreview::currentPage() const
{
    return d->view->page;
}

void PrintPreview::showPage(int page)
{
    if (page >= d->pages.pagesMade()) {
        while (d->pages.pagesMade() <= page && d->pages.morePages()) {
        }
    }
    page = std::clamp(page, 0, std::max(0, d->pages.pagesMade() - 1));
    d->view->page = page;
    const bool all = !d->more.isActive();
    d->label->setText(
        all ? QStringLiteral(" 第 %1 页 / 共 %2 页 ").arg(page + 1).arg(d->pages.pagesMade())
            : QStringLiteral(" 第 %1 页 / 已排 %2 页... ").arg(page + 1).arg(d->pages.pagesMade()));
    d->view->update();
}

int PrintPreview::pageCount()
{
    const int n = d->pages.pageCount();
    d->more.stop();
    showPage(currentPage());
    return n;
}

bool PrintPreview::printTo(QPrinter& printer)
{
    if (&printer == &d->printer)
        return PrintWithProgress(d->pages, printer, d->job.title, this);
    PrintPages pages(d->job);
    return PrintWithProgress(pages, printer, d->job.title, this);
}

bool PrintPreview::savePdf(const QString& file)
{
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(file);
    SetUpPrinter(d->job, pdf);
    return printTo(pdf) && QFileInfo(file).size() > 0;
}

int ShowPrintPreview(const PrintJob& job)
{
    PrintPreview preview(job);
    preview.resize(1000, 760);
    return DialogRunner::Exec(&preview);
}
