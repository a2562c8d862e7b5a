// Painting a job's pages: the texts shaped once and placed as glyph runs, a
// row's glyphs drawn together, and a page painted from its laid-out rows
// (title, head fields, captions, rows, totals, the closing lines, the page
// number).

#include "PageLayout.h"

#include <QFontMetricsF>
#include <QPainter>

using namespace printtool;

namespace
{

Qt::Alignment HAlign(Qt::Alignment a)
{
    return a & (Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter);
}
} // namespace

namespace printtool
{

// The glyphs of one row's cells, drawn as one run per font: one text object
// per row in a PDF, where a drawText per cell makes one each.
class GlyphBatch
{
  public:
    void add(const ShapedText& text, const QPointF& at)
    {
        for (const QGlyphRun& run : text.runs) {
            Glyphs& g = of(run.rawFont());
            g.indexes += run.glyphIndexes();
            for (const QPointF& p : run.positions())
                g.positions.append(p + at);
        }
    }

    // Glyphs of one font at positions from at.
    void add(const QRawFont& font, const quint32* indexes, const double* xs, int count, const QPointF& at)
    {
        Glyphs& g = of(font);
        for (int i = 0; i < count; ++i) {
            g.indexes.append(indexes[i]);
            g.positions.append(QPointF(at.x() + xs[i], at.y()));
        }
    }

    void flush(QPainter& painter)
    {
        for (Glyphs& g : m_fonts) {
            if (g.indexes.isEmpty())
                continue;
            QGlyphRun run;
            run.setRawFont(g.font);
            run.setGlyphIndexes(g.indexes);
            run.setPositions(g.positions);
            painter.drawGlyphRun(QPointF(0, 0), run);
            g.indexes.clear();
            g.positions.clear();
        }
    }

  private:
    struct Glyphs {
        QRawFont font;
        QList<quint32> indexes;
        QList<QPointF> positions;
    };
    Glyphs& of(const QRawFont& font)
    {
        for (Glyphs& g : m_fonts) {
            if (g.font == font)
                return g;
        }
        m_fonts.push_back({font, {}, {}});
        return m_fonts.back();
    }
    std::vector<Glyphs> m_fonts;
};

} // namespace printtool

QTextLine PrintPages::Impl::layOneLine(QTextLayout& layout)
{
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e6);
    layout.endLayout();
    return line;
}

void PrintPages::Impl::learnNumberGlyphs()
{
    plainNumbers = false;
    const QString chars = QStringLiteral("0123456789.,-+%");
    QString pairs;
    for (const QChar a : chars) {
        for (const QChar b : chars)
            pairs.append(a).append(b);
    }
    QTextLayout layout(pairs, font, device);
    const QTextLine line = layOneLine(layout);
    const QList<QGlyphRun> runs = line.glyphRuns();
    if (runs.size() != 1 || runs.first().glyphIndexes().size() != pairs.size())
        return;
    const QList<quint32> indexes = runs.first().glyphIndexes();
    const QList<QPointF> positions = runs.first().positions();
    double x = 0;
    for (int i = 0; i < pairs.size(); ++i) {
        if (positions.at(i).x() != x || positions.at(i).y() != line.ascent())
            return;
        numberGlyph[pairs.at(i).unicode()] = indexes.at(i);
        x += advance[pairs.at(i).unicode()];
    }
    numberFont = runs.first().rawFont();
    numberAscent = line.ascent();
    numberHeight = line.height();
    numberExactHeight = line.ascent() + line.descent();
    plainNumbers = true;
}

const ShapedText& PrintPages::Impl::shape(const QString& text, bool inBold)
{
    QHash<QString, ShapedText>& kept = inBold ? shapedBold : shaped;
    const auto found = kept.constFind(text);
    if (found != kept.constEnd())
        return found.value();
    if (kept.size() >= 8192)
        kept.clear();
    QTextLayout layout(text, inBold ? bold : font, device);
    const QTextLine line = layOneLine(layout);
    ShapedText out;
    out.runs = line.glyphRuns();
    out.advance = line.horizontalAdvance();
    out.natural = line.naturalTextWidth();
    out.height = line.height();
    out.exactHeight = line.ascent() + line.descent();
    return kept.insert(text, out).value();
}

bool PrintPages::Impl::placeLine(GlyphBatch& batch, const QRectF& box, const QString& text,
                                 Qt::Alignment align, bool inBold)
{
    if (text.isEmpty())
        return true;
    if (!inBold && plainNumbers && text.size() <= kNumberChars && IsNumberText(text))
        return placeNumber(batch, box, text, align);
    const ShapedText& t = shape(text, inBold);
    const std::optional<QPointF> at = lineOrigin(box, align, t.advance, t.natural, t.height, t.exactHeight);
    if (!at)
        return false;
    batch.add(t, *at);
    return true;
}

std::optional<QPointF> PrintPages::Impl::lineOrigin(const QRectF& box, Qt::Alignment align, double advance,
                                                    double natural, double height, double exactHeight)
{
    double h = height;
    if (advance > box.width() || height > box.height()) {
        if (natural > box.width() || exactHeight > box.height())
            return std::nullopt;
        h = exactHeight;
    }
    const Qt::Alignment a = HAlign(align);
    const double x = a & Qt::AlignRight     ? box.width() - advance
                     : a & Qt::AlignHCenter ? (box.width() - advance) / 2
                                            : 0;
    return QPointF(box.left() + x, box.top() + (box.height() - h) / 2);
}

bool PrintPages::Impl::placeNumber(GlyphBatch& batch, const QRectF& box, const QString& text,
                                   Qt::Alignment align)
{
    const int n = int(text.size());
    quint32 indexes[kNumberChars];
    double xs[kNumberChars];
    double advanceSum = 0;
    for (int i = 0; i < n; ++i) {
        const ushort ch = text.at(i).unicode();
        indexes[i] = numberGlyph[ch];
        xs[i] = advanceSum;
        advanceSum += advance[ch];
    }
    const std::optional<QPointF> at =
        lineOrigin(box, align, advanceSum, advanceSum, numberHeight, numberExactHeight);
    if (!at)
        return false;
    batch.add(numberFont, indexes, xs, n, *at + QPointF(0, numberAscent));
    return true;
}

void PrintPages::Impl::placeCaption(QPainter& painter, GlyphBatch& batch, const QRectF& rect,
                                    const CellLines& lines)
{
    const QRectF inner = rect.adjusted(padX, padY, -padX, -padY);
    const int flags = int(Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine);
    double y = inner.top() + (inner.height() - lines.lines.size() * lineH) / 2;
    for (const QString& line : lines.lines) {
        const QRectF box(inner.left(), y, inner.width(), lineH);
        if (!placeLine(batch, box, line, Qt::AlignHCenter, true))
            painter.drawText(box, flags, line);
        y += lineH;
    }
}

void PrintPages::Impl::placeCell(QPainter& painter, GlyphBatch& batch, const QRectF& rect,
                                 const CellLines* lines, const QString& text, Qt::Alignment align)
{
    const QRectF inner = rect.adjusted(padX, padY, -padX, -padY);
    const int flags = int(HAlign(align) | Qt::AlignVCenter | Qt::TextSingleLine);
    if (!lines) {
        if (!placeLine(batch, inner, text, align))
            painter.drawText(inner, flags, text);
        return;
    }
    if (lines->scale != 1) {
        drawCell(painter, rect, lines, text, align, font);
        return;
    }
    double y = inner.top() + (inner.height() - lines->lines.size() * lineH) / 2;
    for (const QString& line : lines->lines) {
        const QRectF box(inner.left(), y, inner.width(), lineH);
        if (!placeLine(batch, box, line, align))
            painter.drawText(box, flags, line);
        y += lineH;
    }
}

void PrintPages::Impl::drawCell(QPainter& painter, const QRectF& rect, const CellLines* lines,
                                const QString& text, Qt::Alignment align, const QFont& f) const
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

void PrintPages::Impl::paint(QPainter& painter, int index)
{
    const std::vector<MeasuredRow>& rows = pageRows(index);
    const Page& p = pages.at(index);
    painter.save();
    painter.setPen(QPen(Qt::black, pen));
    double y = page.top();
    if (p.top) {
        painter.setFont(titleFont);
        painter.drawText(QRectF(page.left(), y, page.width(), titleH), int(Qt::AlignCenter), job.title);
        y += titleH;
        if (headH > 0) {
            painter.setFont(font);
            for (const HeadField& field : headFields) {
                double ly = y + field.rect.top();
                for (const QString& line : field.lines) {
                    painter.drawText(QRectF(field.rect.left(), ly, field.rect.width(), lineH),
                                     int(Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine), line);
                    ly += lineH;
                }
            }
            y += headH;
        }
    }
    const double tableTop = y;
    if (p.end > p.first || p.totals || p.top) {
        // captions
        painter.setFont(bold);
        GlyphBatch batch;
        double x = page.left();
        for (int c = 0; c < n; ++c) {
            placeCaption(painter, batch, QRectF(x, y, widths[c], captionH), captionCells.at(c));
            x += widths[c];
        }
        batch.flush(painter);
        painter.drawLine(QLineF(page.left(), y, x, y));
        y += captionH;
        painter.drawLine(QLineF(page.left(), y, x, y));
        painter.setFont(font);
        for (const MeasuredRow& row : rows) {
            double cx = page.left();
            for (int c = 0; c < n; ++c) {
                placeCell(painter, batch, QRectF(cx, y, widths[c], row.height), row.cell(c), row.texts.at(c),
                          job.detail.columns.at(c).align);
                cx += widths[c];
            }
            batch.flush(painter);
            y += row.height;
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
                painter.drawText(
                    QRectF(x, y, w, lineH), int(Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine),
                    role + QStringLiteral("：") + (name.isEmpty() ? QStringLiteral("____________") : name));
                x += w;
            }
        }
    }
    painter.setFont(font);
    painter.drawText(QRectF(page.left(), page.bottom() - lineH, page.width(), lineH),
                     int(Qt::AlignRight | Qt::AlignVCenter), QString::number(index + 1));
    painter.restore();
}
