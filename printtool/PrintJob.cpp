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
#include <QGlyphRun>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QRawFont>
#include <QRegularExpression>
#include <QScrollArea>
#include <QTemporaryFile>
#include <QTextLayout>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <deque>
#include <optional>
#include <vector>

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

// Reads a print data file forward: the rows of DataGroupHead (kept, when its
// columns are given) and of DataDetail (handed out one at a time), each row
// one text per column of its section (the first element of the column's name
// in the row, trimmed). A detail text longer than cellLimit characters is
// kept to that length (0: whole).
class DataReader
{
  public:
    DataReader(const QList<PrintColumn>* headColumns, const QList<PrintColumn>& detailColumns,
               int cellLimit = 0)
        : m_headColumns(headColumns), m_detailColumns(detailColumns), m_cellLimit(cellLimit)
    {
    }

    bool open(const QString& path)
    {
        m_path = path;
        m_file.setFileName(path);
        if (!m_file.open(QIODevice::ReadOnly)) {
            m_error = what() + QStringLiteral("不存在: ") + QDir::toNativeSeparators(path);
            return false;
        }
        m_xml.setDevice(&m_file);
        return true;
    }

    // The next detail row; false at the end of the file or when it cannot be
    // read on (error() then says why).
    bool next(QStringList& row)
    {
        while (!m_done && !m_xml.atEnd()) {
            const QXmlStreamReader::TokenType token = m_xml.readNext();
            if (token == QXmlStreamReader::EndElement) {
                --m_depth;
                if (m_depth < 2)
                    m_section = None;
                continue;
            }
            if (token != QXmlStreamReader::StartElement)
                continue;
            ++m_depth;
            const QStringView name = m_xml.name();
            if (m_depth == 1) {
                if (name != QLatin1String("Content")) {
                    m_error = what() + QStringLiteral("缺少Content元素: ") + QDir::toNativeSeparators(m_path);
                    m_done = true;
                    return false;
                }
                m_root = true;
            } else if (m_depth == 2) {
                m_section = name == QLatin1String("DataDetail")                       ? Detail
                            : name == QLatin1String("DataGroupHead") && m_headColumns ? Head
                                                                                      : None;
                if (m_section == None)
                    skip();
                else
                    index(m_section == Head ? *m_headColumns : m_detailColumns);
            } else if (m_depth == 3) {
                if (name != QLatin1String("DataRecord"))
                    skip();
            } else if (m_depth == 4) {
                if (name != QLatin1String("DataRow")) {
                    skip();
                    continue;
                }
                const bool head = m_section == Head;
                readRow(head ? *m_headColumns : m_detailColumns, head ? 0 : m_cellLimit, row);
                --m_depth; // the row's end was read
                if (!head)
                    return true;
                m_headRows.append(row);
            }
        }
        if (!m_done) {
            m_done = true;
            if (m_xml.hasError() || !m_root) {
                m_error = QStringLiteral("%1格式错误: %2 (第%3行: %4)")
                              .arg(what(), QDir::toNativeSeparators(m_path))
                              .arg(m_xml.lineNumber())
                              .arg(m_xml.hasError() ? m_xml.errorString() : QStringLiteral("空文件"));
            }
        }
        return false;
    }

    const QList<QStringList>& headRows() const { return m_headRows; }
    const QString& error() const { return m_error; }

  private:
    enum Section { None, Head, Detail };

    static QString what() { return QStringLiteral("打印数据文件"); }

    void skip()
    {
        m_xml.skipCurrentElement();
        --m_depth;
    }

    void index(const QList<PrintColumn>& columns)
    {
        m_index.clear();
        for (int c = 0; c < columns.size(); ++c)
            m_index.insert(columns.at(c).name, c);
    }

    // The cells of a row, read to the row's end; the columns usually come in
    // the template's order, so the next one is tried before the index.
    void readRow(const QList<PrintColumn>& columns, int limit, QStringList& row)
    {
        const int n = int(columns.size());
        row = QStringList(n);
        m_seen.assign(size_t(n), false);
        int expected = 0;
        while (m_xml.readNextStartElement()) {
            const QStringView name = m_xml.name();
            int c = expected < n && name == columns.at(expected).name ? expected : -1;
            if (c < 0)
                c = m_index.value(name.toString(), -1);
            QString text = m_xml.readElementText(QXmlStreamReader::IncludeChildElements);
            if (c >= 0 && !m_seen[size_t(c)]) {
                text = text.trimmed();
                if (limit > 0 && text.size() > limit)
                    text.truncate(limit);
                row[c] = std::move(text);
                m_seen[size_t(c)] = true;
            }
            expected = c + 1;
        }
    }

    const QList<PrintColumn>* m_headColumns;
    const QList<PrintColumn>& m_detailColumns;
    const int m_cellLimit;
    QString m_path;
    QFile m_file;
    QXmlStreamReader m_xml;
    QHash<QString, int> m_index;
    std::vector<bool> m_seen;
    QList<QStringList> m_headRows;
    QString m_error;
    Section m_section = None;
    int m_depth = 0;
    bool m_root = false;
    bool m_done = false;
};

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
    job.dataFile = dir + QStringLiteral("generateXml/") + command.fileName;
    // The head comes before the lines in the files the program writes; the
    // lines are read on only in a file that puts it after them.
    DataReader data(job.isBill ? &job.head.columns : nullptr, job.detail.columns);
    if (!data.open(job.dataFile)) {
        error = data.error();
        return false;
    }
    QStringList row;
    while (data.next(row) && job.isBill && data.headRows().isEmpty()) {
    }
    if (!data.error().isEmpty()) {
        error = data.error();
        return false;
    }
    job.head.rows = data.headRows();
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

bool ReadDetailRows(const PrintJob& job, QList<QStringList>& rows, QString& error)
{
    if (job.dataFile.isEmpty()) {
        rows = job.detail.rows;
        return true;
    }
    rows.clear();
    DataReader data(nullptr, job.detail.columns);
    if (!data.open(job.dataFile)) {
        error = data.error();
        return false;
    }
    QStringList row;
    while (data.next(row))
        rows.append(row);
    error = data.error();
    return error.isEmpty();
}

// ------------------------------------------------------------------ pages

namespace
{

bool IsDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// A number as the program writes it: these never wrap. A sign, a digit, then
// digits and commas, an optional fraction and an optional percent sign.
bool IsNumberText(const QString& text)
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

// The detail rows read so far: the job's own rows, or those read from the
// data file, kept in a temporary file in the order read. Every 64th row's
// place is noted, so a page's rows are found with one seek.
class RowStore
{
  public:
    explicit RowStore(const QList<QStringList>* held) : m_held(held) {}

    int count() const { return m_count; }

    // Keeps the next row (of the data file; the job's own are only counted).
    bool append(const QStringList& row)
    {
        if (m_held) {
            ++m_count;
            return true;
        }
        if (!m_file.isOpen() && !m_file.open())
            return false;
        m_buffer.resize(sizeof(quint32) * (2 + row.size()));
        auto* sizes = reinterpret_cast<quint32*>(m_buffer.data());
        sizes[1] = quint32(row.size());
        for (int c = 0; c < row.size(); ++c) {
            sizes = reinterpret_cast<quint32*>(m_buffer.data());
            sizes[2 + c] = quint32(row.at(c).size());
            m_buffer.append(reinterpret_cast<const char*>(row.at(c).utf16()),
                            row.at(c).size() * qsizetype(sizeof(char16_t)));
        }
        sizes = reinterpret_cast<quint32*>(m_buffer.data());
        sizes[0] = quint32(m_buffer.size());
        if (m_count % kMarkEvery == 0)
            m_marks.push_back(m_end);
        if ((m_file.pos() != m_end && !m_file.seek(m_end)) || m_file.write(m_buffer) != m_buffer.size())
            return false;
        m_end += m_buffer.size();
        ++m_count;
        return true;
    }

    // Row r (< count()); false when the temporary file cannot be read.
    bool read(int r, QStringList& row)
    {
        if (m_held) {
            row = m_held->at(r);
            return true;
        }
        if (r != m_nextRow) {
            m_nextRow = r - r % kMarkEvery;
            m_readAt = m_marks[size_t(r / kMarkEvery)];
            for (; m_nextRow < r; ++m_nextRow) {
                if (!readSize())
                    return false;
                m_readAt += m_size;
            }
        }
        if (!readSize())
            return false;
        m_buffer.resize(m_size);
        const qint64 rest = qint64(m_size - sizeof m_size);
        if (m_file.read(m_buffer.data() + sizeof m_size, rest) != rest)
            return false;
        const auto* sizes = reinterpret_cast<const quint32*>(m_buffer.constData());
        const int cells = int(sizes[1]);
        const auto* chars = reinterpret_cast<const char16_t*>(sizes + 2 + cells);
        row = QStringList(cells);
        for (int c = 0; c < cells; ++c) {
            row[c] = QString::fromUtf16(chars, qsizetype(sizes[2 + c]));
            chars += sizes[2 + c];
        }
        m_readAt += m_size;
        ++m_nextRow;
        return true;
    }

  private:
    static constexpr int kMarkEvery = 64;

    bool readSize()
    {
        if ((m_file.pos() != m_readAt && !m_file.seek(m_readAt)) ||
            m_file.read(reinterpret_cast<char*>(&m_size), sizeof m_size) != qint64(sizeof m_size)) {
            return false;
        }
        return m_size >= 2 * sizeof(quint32);
    }

    const QList<QStringList>* m_held;
    QTemporaryFile m_file;
    QByteArray m_buffer;
    std::vector<qint64> m_marks;
    int m_count = 0;
    qint64 m_end = 0;
    int m_nextRow = -1;
    qint64 m_readAt = 0;
    quint32 m_size = 0;
};

// What the column widths and the totals row need of every row of a column.
struct ColumnFacts {
    double widest = 0; // the widest number, in the device's pixels
    bool seen = false;
    int decimals = 0; // of the most precise value, at most 6
    // The column's exact sum at each number of places from `decimals` on
    // (the places only grow, so the one finally used has every row).
    std::vector<DecimalSum> sums;
};

constexpr int kMostDecimals = 6;

} // namespace

struct PrintPages::Impl {
    const PrintJob job;
    const int n; // columns

    // The rows, read as they are needed.
    RowStore store;
    std::unique_ptr<DataReader> reader; // none for the job's own rows
    bool complete = false;              // every row read (or the file failed: error)
    QString error;
    std::vector<ColumnFacts> facts;
    bool totalled = false; // a column is marked Sum

    // laid out for
    QPaintDevice* device = nullptr;
    QRectF page;
    bool laidOut = false;

    QFont font, bold, titleFont;
    double lineH = 0, padX = 0, padY = 0, pen = 1;
    double titleH = 0, headH = 0, captionH = 0, closingH = 0, footH = 0;
    QList<double> widths;
    QStringList totals;
    bool widthsSet = false;   // from the rows read when the first page was asked for
    bool widthsFinal = false; // from every row
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
        std::optional<MeasuredRow> carried; // row r, measured, did not fit the last page
    } cursor;
    // The rows of the pages made or painted last.
    std::deque<std::pair<int, std::vector<MeasuredRow>>> recent;
    double fullWidth = 1;
    double narrowest = 0; // the narrowest printable ASCII character
    double advance[128] = {};
    // Single-line cell texts shaped once each (a bounded number kept); the
    // characters of numbers placed by their advances when the font does not
    // kern them, which is what shaping would give.
    QHash<QString, ShapedText> shaped;
    QHash<QString, ShapedText> shapedBold; // the captions
    bool plainNumbers = false;
    QRawFont numberFont;
    quint32 numberGlyph[128] = {};
    double numberAscent = 0, numberHeight = 0, numberExactHeight = 0;
    double factsAdvance[128] = {}; // the advances the facts' widths were measured with

    explicit Impl(const PrintJob& j)
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

    void fail(const QString& why)
    {
        if (error.isEmpty())
            error = why;
        complete = true;
    }

    // ---- reading

    void note(const QStringList& row)
    {
        for (int c = 0; c < n; ++c) {
            const QString& t = row.at(c);
            ColumnFacts& f = facts[size_t(c)];
            if (IsNumberText(t))
                f.widest = std::max(f.widest, numberWidth(t));
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

    // Reads up to count more rows.
    void readMore(int count)
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

    bool readAll()
    {
        while (!complete)
            readMore(256);
        return error.isEmpty();
    }

    // Whether row r exists, reading on as far as it.
    bool haveRow(int r)
    {
        while (r >= store.count() && !complete)
            readMore(64);
        return r < store.count();
    }

    QStringList rowAt(int r)
    {
        QStringList row;
        if (!store.read(r, row)) {
            fail(QStringLiteral("无法读取临时文件: ") + QDir::toNativeSeparators(QDir::tempPath()));
            row = QStringList(n);
        }
        return row;
    }

    // The numbers' widths again, after the advances changed (another device).
    void remeasureNumbers()
    {
        for (ColumnFacts& f : facts)
            f.widest = 0;
        for (int r = 0; r < store.count(); ++r) {
            const QStringList row = rowAt(r);
            for (int c = 0; c < n; ++c) {
                if (IsNumberText(row.at(c)))
                    facts[size_t(c)].widest = std::max(facts[size_t(c)].widest, numberWidth(row.at(c)));
            }
        }
        std::copy(std::begin(advance), std::end(advance), std::begin(factsAdvance));
    }

    // The totals of the columns marked Sum, each with as many decimals as its
    // most precise value; empty when no column is totalled.
    QStringList columnTotals() const
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

    // ---- laying out

    // The lines a text takes in width: one when it fits; at most maxLines,
    // the last elided; a number always one, smaller when it must be.
    CellLines lay(QString text, double width, const QFont& f, bool number, int maxLines = kCellLines,
                  bool wider = false) const
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

    // The last line is shown trimmed, its elided form too.
    static void dropLeadingSpaces(QString& text)
    {
        qsizetype n = 0;
        while (n < text.size() && text.at(n).isSpace())
            ++n;
        text.remove(0, n);
    }

    // Breaks text into at most maxLines lines of width (at word boundaries,
    // or anywhere in a word too long for a line), appended to lines trimmed;
    // answers where the last of them ends in text, and sets lastStart to
    // where it starts (its spaces included).
    int wrap(const QString& text, double width, const QFont& f, int maxLines, QStringList& lines,
             int& lastStart) const
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

    // The lines of a text much longer than they can hold, laid out from its
    // start only: the lines end where they end in the whole text when they
    // stop well before the cut, and text flowing left to right breaks and
    // shapes the same there. Nothing when that is not sure (the whole text is
    // laid out then).
    std::optional<CellLines> layStart(const QString& text, double width, const QFont& f,
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

    // A number's width from its characters' advances (digits, sign, point,
    // comma), without shaping it; a hair wider than measured, never narrower.
    // For any text, a bound as sure as a full width per character: its
    // ASCII characters at their own advances.
    double numberWidth(const QString& t) const
    {
        double w = 0;
        for (const QChar ch : t)
            w += ch.unicode() < 128 ? advance[ch.unicode()] : fullWidth;
        return w * 1.01;
    }

    void layoutColumns()
    {
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
            double widest = facts[size_t(c)].widest;
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
        narrowest = *std::min_element(std::begin(advance) + 32, std::begin(advance) + 127);
        fullWidth = std::max(fm.horizontalAdvance(QChar(0x6C49)), fm.horizontalAdvance(QLatin1Char('W')));
        if (!std::equal(std::begin(advance), std::end(advance), std::begin(factsAdvance)))
            remeasureNumbers();
        shaped.clear();
        shapedBold.clear();
        learnNumberGlyphs();
        padX = lineH * 0.25;
        padY = lineH * 0.15;
        pen = std::max(1.0, device->logicalDpiY() / 144.0); // half a point
        titleH = QFontMetricsF(titleFont, device).height() * 1.6;
        headH = headBlockHeight();
        footH = lineH * 1.5;
        closingH =
            (job.totalWords.isEmpty() ? 0 : lineH * 1.8) + (job.signatures.isEmpty() ? 0 : lineH * 2.5);
        widthsSet = widthsFinal = false;
        pages.clear();
        recent.clear();
        cursor = Cursor();
        laidOut = true;
    }

    // The layout's text shaped as one line that never wraps.
    static QTextLine layOneLine(QTextLayout& layout)
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

    // Every pair of a number's characters shaped once: when each glyph sits
    // at the sum of the advances before it, numbers need no shaping.
    void learnNumberGlyphs()
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

    const ShapedText& shape(const QString& text, bool inBold = false)
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

    // A line of a data cell in the font (or a caption's in bold), placed in
    // box as drawText with the cell's alignment, vertically centred and on one
    // line places it; false (nothing placed) for a text that overflows the
    // box, which drawText clips.
    bool placeLine(GlyphBatch& batch, const QRectF& box, const QString& text, Qt::Alignment align,
                   bool inBold = false)
    {
        if (text.isEmpty())
            return true;
        if (!inBold && plainNumbers && text.size() <= kNumberChars && IsNumberText(text))
            return placeNumber(batch, box, text, align);
        const ShapedText& t = shape(text, inBold);
        const std::optional<QPointF> at =
            lineOrigin(box, align, t.advance, t.natural, t.height, t.exactHeight);
        if (!at)
            return false;
        batch.add(t, *at);
        return true;
    }

    // The top left of a line in box, by the alignment: centred on its rounded
    // height, or, when only its exact height fits, on that, as drawText centres
    // it; nothing when drawText would clip it.
    static std::optional<QPointF> lineOrigin(const QRectF& box, Qt::Alignment align, double advance,
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

    static constexpr int kNumberChars = 64; // the longest number placed from the table

    // A number placed as placeLine places it, its glyphs straight from the
    // font's table (numbers are mostly each their own: none is kept).
    bool placeNumber(GlyphBatch& batch, const QRectF& box, const QString& text, Qt::Alignment align)
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

    // A column caption as drawCell draws it in bold: its lines in the batch,
    // a line that overflows with drawText.
    void placeCaption(QPainter& painter, GlyphBatch& batch, const QRectF& rect, const CellLines& lines)
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

    // A data cell: its one line or its lines in the batch, a number printed
    // smaller (or a line that overflows) with drawText.
    void placeCell(QPainter& painter, GlyphBatch& batch, const QRectF& rect, const CellLines* lines,
                   const QString& text, Qt::Alignment align)
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

    // The widths, captions and totals from the facts of the rows read so far.
    void layoutTable()
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

    void restartPages()
    {
        pages.clear();
        recent.clear();
        cursor = Cursor();
        cursor.y = page.top() + titleH + headH + captionH;
        cursor.p.top = true;
        cursor.totalsPlaced = totals.isEmpty();
    }

    // The table laid out for the first page: from every row when the file is
    // short, otherwise from the rows read in a moment.
    void ensureTable()
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

    // Once every row is read, the table from all of them; the pages made
    // before start again when it differs. True when they did.
    bool settle()
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

    MeasuredRow measure(QStringList texts) const
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

    void keepRecent(int index, std::vector<MeasuredRow> rows)
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

    const std::vector<MeasuredRow>& pageRows(int index)
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

    // Pagination, a page at a time: the rows as they fit, then the totals
    // row, then the closing lines; each on the next page when it no longer
    // fits. False once the last page is made.
    bool nextPage()
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

    // A little more of the work: a batch of rows read, or the next page made.
    bool morePages()
    {
        ensureTable();
        if (!complete) {
            readMore(256);
            settle();
            return true;
        }
        return nextPage();
    }

    void finish()
    {
        while (nextPage()) {
        }
    }

    static constexpr int kFirstRows = 1000;
    static constexpr int kFirstMilliseconds = 40;

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

    void paint(QPainter& painter, int index)
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
                    placeCell(painter, batch, QRectF(cx, y, widths[c], row.height), row.cell(c),
                              row.texts.at(c), job.detail.columns.at(c).align);
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
    QString failure; // why the last print or PDF read no whole data file
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
        if (DialogRunner::Exec(&dialog) == QDialog::Accepted && !printTo(d->printer) && !d->failure.isEmpty())
            MsgBox::SystemError(d->failure, this);
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
            MsgBox::SystemError(d->failure.isEmpty()
                                    ? QStringLiteral("无法写入PDF文件: ") +
                                          QDir::toNativeSeparators(dialog.selectedFiles().first())
                                    : d->failure,
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
        if (!d->pages.error().isEmpty()) {
            d->more.stop();
            MsgBox::SystemError(d->pages.error(), this);
            reject();
            return;
        }
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
    d->pages.pageReady(page);
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
    if (&printer == &d->printer) {
        const bool done = PrintWithProgress(d->pages, printer, d->job.title, this);
        d->failure = d->pages.error();
        return done;
    }
    // Another device: the rows already read are laid out for it and then
    // again for the preview, so the data file is not read a second time
    // (the program may have cleared it away meanwhile).
    d->more.stop();
    d->view->setUpdatesEnabled(false);
    const bool done = PrintWithProgress(d->pages, printer, d->job.title, this);
    d->failure = d->pages.error();
    d->pages.layout(&d->printer, PageRect(d->printer));
    d->view->setUpdatesEnabled(true);
    if (d->failure.isEmpty())
        d->more.start();
    showPage(currentPage());
    return done;
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
