#include "PrintJob.h"

#include "DialogRunner.h"
#include "Numbers.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QPainter>
#include <QProgressDialog>
#include <QTextLayout>
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
        columns.append(column);
    }
    return columns;
}

QList<QStringList> ReadRows(const QDomElement& section, const QList<PrintColumn>& columns)
{
    QList<QStringList> rows;
    const QDomElement record = section.firstChildElement(QStringLiteral("DataRecord"));
    for (QDomElement r = record.firstChildElement(QStringLiteral("DataRow")); !r.isNull();
         r = r.nextSiblingElement(QStringLiteral("DataRow"))) {
        QStringList row;
        for (const PrintColumn& column : columns)
            row.append(r.firstChildElement(column.name).text().trimmed());
        rows.append(row);
    }
    return rows;
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

// The totals of the columns marked Sum, each with as many decimals as its
// most precise value; empty when no column is totalled.
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
            sum.add(ReadNumber(row.value(c)));
        const QString format =
            decimals > 0 ? QStringLiteral("#0.") + QString(decimals, QLatin1Char('0')) : QStringLiteral("#0");
        totals.append(seen ? FormatNumber(sum.value(), format) : QString());
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
    QDomDocument data;
    if (!LoadXml(dir + QStringLiteral("templeteXml/") + command.billCode + QStringLiteral(".xml"),
                 QStringLiteral("打印模板"), templ, error) ||
        !LoadXml(dir + QStringLiteral("generateXml/") + command.fileName, QStringLiteral("打印数据文件"),
                 data, error))
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

    const QDomElement content = data.documentElement();
    if (job.isBill) {
        const QString section = QStringLiteral("DataGroupHead");
        job.head.columns = ReadColumns(layout.firstChildElement(section));
        job.head.rows = ReadRows(content.firstChildElement(section), job.head.columns);
    }
    const QString section = QStringLiteral("DataDetail");
    job.detail.columns = ReadColumns(layout.firstChildElement(section));
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
    const QDomElement signs = layout.firstChildElement(QStringLiteral("Signatures"));
    for (QDomElement sign = signs.firstChildElement(QStringLiteral("Sign")); !sign.isNull();
         sign = sign.nextSiblingElement(QStringLiteral("Sign"))) {
        const QString from = sign.attribute(QStringLiteral("From"));
        job.signatures.append(
            {sign.attribute(QStringLiteral("Caption")), from.isEmpty() ? QString() : headValue(from)});
    }
    job.detail.rows = ReadRows(content.firstChildElement(section), job.detail.columns);
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
    QList<double> rowH;                // per data row
    QHash<qint64, CellLines> wrapped;  // cells of more than one line, or printed smaller (row * cols + col)
    QList<CellLines> captionCells, totalCells;
    struct Page {
        int first = 0, end = 0; // data rows [first, end)
        bool top = false;       // title and head
        bool totals = false;
        bool closing = false;
    };
    QList<Page> pages;

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
            const QString rest = text.mid(std::max(0, lastStart)).replace(QChar::LineSeparator, QLatin1Char(' '));
            out.lines.last() = fm.elidedText(rest.left(1000), Qt::ElideRight, width);
        }
        return out;
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
                    widest = std::max(widest, fm.horizontalAdvance(t));
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
        font = QFont(ChineseFamily());
        font.setPointSizeF(job.fontSize);
        bold = font;
        bold.setBold(true);
        titleFont = bold;
        titleFont.setPointSizeF(job.fontSize * 2);
        const QFontMetricsF fm(font, device);
        lineH = fm.height();
        padX = lineH * 0.25;
        padY = lineH * 0.15;
        pen = std::max(1.0, device->logicalDpiY() / 144.0); // half a point
        titleH = QFontMetricsF(titleFont, device).height() * 1.6;
        headH = headBlockHeight();
        footH = lineH * 1.5;
        closingH = (job.totalWords.isEmpty() ? 0 : lineH * 1.8) + (job.signatures.isEmpty() ? 0 : lineH * 2.5);
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
            totalCells << lay(label ? QStringLiteral("合计") : totals.value(c), widths[c] - 2 * padX, bold, !label);
        }

        wrapped.clear();
        rowH.clear();
        rowH.reserve(job.detail.rows.size());
        for (int r = 0; r < job.detail.rows.size(); ++r) {
            int lines = 1;
            for (int c = 0; c < n; ++c) {
                const QString& t = job.detail.rows.at(r).at(c);
                const double w = widths[c] - 2 * padX;
                const bool number = IsNumberText(t);
                // The quick test first: most cells fit on one line.
                if (t.size() < 200 && !t.contains(QLatin1Char('\n')) &&
                    (number ? fm.horizontalAdvance(t) <= w : fm.horizontalAdvance(t) <= w))
                    continue;
                CellLines cl = lay(t, w, font, number);
                lines = std::max(lines, int(cl.lines.size()));
                if (cl.lines.size() != 1 || cl.scale != 1 || cl.lines.first() != t)
                    wrapped.insert(qint64(r) * n + c, std::move(cl));
            }
            rowH << lines * lineH + 2 * padY;
        }

        // Pagination: the rows as they fit, then the totals row, then the
        // closing lines; each on the next page when it no longer fits.
        pages.clear();
        const double bottom = page.bottom() - footH;
        const double totalsH = lineH + 2 * padY;
        const int rows = int(rowH.size());
        bool totalsPlaced = totals.isEmpty();
        Page p;
        p.top = true;
        double y = page.top() + titleH + headH + captionH;
        int r = 0;
        while (true) {
            p.first = r;
            while (r < rows && (y + rowH[r] <= bottom || r == p.first)) {
                y += rowH[r];
                ++r;
            }
            p.end = r;
            if (r == rows) {
                if (!totalsPlaced && (y + totalsH <= bottom || p.end == p.first)) {
                    p.totals = true;
                    totalsPlaced = true;
                    y += totalsH;
                }
                const bool empty = p.end == p.first && !p.totals;
                if (totalsPlaced && (y + closingH <= bottom || empty))
                    p.closing = true;
            }
            pages << p;
            if (p.closing)
                break;
            const bool closingOnly = r == rows && totalsPlaced;
            p = Page();
            y = page.top() + (closingOnly ? 0 : captionH);
        }
        laidOut = true;
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
            small.setPointSizeF(f.pointSizeF() * lines->scale * 0.98);
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
                             cl.lines.value(0), label ? Qt::AlignHCenter : job.detail.columns.at(c).align, bold);
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

int PrintPages::pageCount() const
{
    return int(d->pages.size());
}

void PrintPages::paintPage(QPainter& painter, int page) const
{
    if (page >= 0 && page < d->pages.size())
        d->paint(painter, page);
}

bool PrintPages::print(QPrinter& printer, const std::function<void(int, int)>& progress)
{
    layout(&printer, printer.pageLayout().paintRectPixels(printer.resolution()).translated(
                         -printer.pageLayout().paintRectPixels(printer.resolution()).topLeft()));
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

QStringList PrintPages::cellLines(int row, int col) const
{
    if (row < 0)
        return d->totalCells.value(col).lines;
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
        layout(measure, measure->pageLayout().paintRectPixels(measure->resolution()).translated(
                            -measure->pageLayout().paintRectPixels(measure->resolution()).topLeft()));
    }
    QStringList out;
    out << d->job.title;
    if (d->job.isBill && !d->job.head.rows.isEmpty()) {
        for (int i = 0; i < d->job.head.columns.size(); ++i)
            out << d->job.head.columns.at(i).caption + QStringLiteral("：") + d->job.head.rows.first().value(i);
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

int ShowPrintPreview(const PrintJob& job)
{
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(job, printer);
    PrintPages pages(job);
    QPrintPreviewDialog preview(&printer);
    preview.setObjectName(QStringLiteral("qvPrintPreview"));
    preview.setWindowTitle(QStringLiteral("打印预览 - ") + job.title);
    preview.resize(1000, 760);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&](QPrinter* target) {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        // Pages that take more than a moment show how far they are.
        QProgressDialog progress(QStringLiteral("正在生成打印页..."), QString(), 0, 1, &preview);
        progress.setWindowTitle(job.title);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(1500);
        progress.setValue(0);
        pages.print(*target, [&](int done, int total) {
            progress.setMaximum(total);
            progress.setValue(done);
        });
        QApplication::restoreOverrideCursor();
    });
    return DialogRunner::Exec(&preview);
}
