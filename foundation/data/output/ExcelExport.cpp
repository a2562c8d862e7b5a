#include "ExcelExport.h"

#include "Clock.h"
#include "Decimal.h"
#include "Launcher.h"
#include "MsgBox.h"
#include "OutputText.h"
#include "RowReader.h"
#include "sqlHelper.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QUrl>
#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <xlsxwriter.h>

namespace
{

// A numeric text goes into the sheet as a number, so that the spreadsheet can
// sum it, with the display format that shows it as the window did ("3.0",
// "12.50", "0.333333333333333"): as many decimals as the text has. Codes stay
// texts: a leading zero ("007", but not "0.5"), more integer digits than an
// amount has (barcodes, more than 11), more significant digits than a double
// holds (15), more than 30 decimals, or any other shape. A single line break
// at the very end is let pass ("12\n" is 12).
constexpr int kMaxDecimals = 30;

inline char32_t CodeOf(QChar c)
{
    return c.unicode();
}
inline char32_t CodeOf(char c)
{
    return static_cast<unsigned char>(c);
}

// The shape test on the characters p[0..n) (UTF-16 or UTF-8: only ASCII
// characters count); the value is read by the caller from the first n
// characters, the last line break left out.
template <class Char> bool NumericShape(const Char* p, qsizetype& n, int& decimals)
{
    if (n > 0 && CodeOf(p[n - 1]) == '\n')
        --n;
    const auto digit = [p](qsizetype i) { return CodeOf(p[i]) >= '0' && CodeOf(p[i]) <= '9'; };
    qsizetype i = 0;
    if (i < n && CodeOf(p[i]) == '-')
        ++i;
    const qsizetype intStart = i;
    if (i >= n || !digit(i))
        return false;
    if (CodeOf(p[i]) == '0') {
        ++i;
    } else {
        while (i < n && digit(i))
            ++i;
        if (i - intStart > 11)
            return false;
    }
    const qsizetype intEnd = i;
    qsizetype fracStart = i;
    if (i < n) {
        if (CodeOf(p[i]) != '.')
            return false;
        fracStart = ++i;
        while (i < n && digit(i))
            ++i;
        if (i == fracStart || i - fracStart > kMaxDecimals || i != n)
            return false;
    }
    decimals = int(i - fracStart);
    // The zeros before the first significant digit hold no digit of the value.
    qsizetype significant = (intEnd - intStart) + decimals;
    for (qsizetype k = intStart; significant > 1 && k < n; ++k) {
        if (k == intEnd)
            continue; // the point
        if (CodeOf(p[k]) != '0')
            break;
        --significant;
    }
    return significant <= 15;
}

bool ReadNumericText(const QString& text, double& number, int& decimals)
{
    qsizetype n = text.size();
    if (!NumericShape(text.constData(), n, decimals))
        return false;
    bool ok = false;
    number = QStringView(text.constData(), n).toDouble(&ok);
    return ok;
}

bool ReadNumericText(std::string_view text, double& number, int& decimals)
{
    qsizetype n = qsizetype(text.size());
    if (!NumericShape(text.data(), n, decimals))
        return false;
    // The digits of the shape read to the nearest double, as toDouble reads them.
    const char* const end = text.data() + n;
    const std::from_chars_result read = std::from_chars(text.data(), end, number);
    return read.ec == std::errc() && read.ptr == end;
}

// Whether a text that is no number cell is still written in digits (an
// optional '-', digits, at most one point followed by digits, a last line
// break let pass): a code with a leading zero, a barcode, a figure of more
// digits than a number cell holds. A column that holds one is all texts.
template <class Char> bool DigitText(const Char* p, qsizetype n)
{
    if (n > 0 && CodeOf(p[n - 1]) == '\n')
        --n;
    qsizetype i = n > 0 && CodeOf(p[0]) == '-' ? 1 : 0;
    const auto digits = [p, n, &i] {
        const qsizetype from = i;
        while (i < n && CodeOf(p[i]) >= '0' && CodeOf(p[i]) <= '9')
            ++i;
        return i > from;
    };
    if (!digits())
        return false;
    if (i < n && CodeOf(p[i]) == '.') {
        ++i;
        if (!digits())
            return false;
    }
    return i == n;
}

// Whether the bytes are UTF-8 that comes back unchanged through the text's
// UTF-16 form (as the Qt values are made): well formed, and none of the two
// characters SQLite reads as U+FFFD (U+FFFE, U+FFFF).
bool KeepsItsUtf8(std::string_view text)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t more = 0;
        char32_t code = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (n - i <= more)
            return false;
        for (size_t k = 1; k <= more; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i + k] & 0x3F);
        }
        const char32_t least = more == 1 ? 0x80 : more == 2 ? 0x800 : 0x10000;
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE ||
            code == 0xFFFF)
            return false;
        i += more + 1;
    }
    return true;
}

// A name in the export folder no earlier export has taken, so two exports in
// the same second keep both workbooks.
QString FreeExportName(const QString& folder)
{
    const QString stamp = Clock::Now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = folder + stamp + QStringLiteral(".xlsx");
    for (int n = 2; QFile::exists(path); ++n)
        path = folder + stamp + QStringLiteral("_%1.xlsx").arg(n);
    return path;
}

ExportProgress& ExportProgressReceiver()
{
    static ExportProgress receiver;
    return receiver;
}

void ShowExportError(const QString& description, const QString& details = {})
{
    MsgBox::ShowWithDetails(QStringLiteral("导出失败: ") + description, details, MsgIcon::Critical,
                            QStringLiteral("Error"));
}

// The cell formats of one workbook. Every cell of the sheet is in font size
// 10: the workbook's own default format (the style of every cell, written
// or empty, that names no other) is given that size, so texts and blanks
// need no format of their own and the sheet sets none on its columns. A
// number has a display format per number of decimals, made as first needed.
class CellFormats
{
  public:
    explicit CellFormats(lxw_workbook* book) : m_book(book), m_default(STAILQ_FIRST(book->formats))
    {
        if (m_default)
            format_set_font_size(m_default, 10);
    }
    // The default format: null when the workbook has none.
    lxw_format* text() const { return m_default; }
    lxw_format* number(int decimals)
    {
        lxw_format*& format = m_formats[size_t(decimals)];
        if (!format) {
            format = workbook_add_format(m_book);
            if (format) {
                format_set_font_size(format, 10);
                const QByteArray pattern = decimals > 0 ? "0." + QByteArray(decimals, '0') : QByteArray("0");
                format_set_num_format(format, pattern.constData());
            }
        }
        return format;
    }

    // The decimals of each number format used, by its style index.
    std::unordered_map<int, int> placesByStyle() const
    {
        std::unordered_map<int, int> places;
        for (size_t d = 0; d < m_formats.size(); ++d) {
            if (m_formats[d] && m_formats[d]->xf_index != LXW_PROPERTY_UNSET)
                places.emplace(int(m_formats[d]->xf_index), int(d));
        }
        return places;
    }

  private:
    lxw_workbook* m_book;
    lxw_format* m_default;
    std::array<lxw_format*, kMaxDecimals + 1> m_formats{}; // by decimals
};

// Writes the cells of one sheet: a text's UTF-8 form is made in one buffer
// that every cell reuses. A stored value gives the cell its text gives (its
// ValueText), without the text being made where it need not be.
class CellWriter
{
  public:
    CellWriter(lxw_worksheet* sheet, CellFormats& formats) : m_sheet(sheet), m_formats(formats) {}

    // From here on the cells are data: their kinds are kept per column.
    void StartData() { m_data = true; }
    // The columns whose data hold numbers and texts in digits alike: their
    // number cells are to be texts too.
    std::vector<bool> MixedColumns() const
    {
        std::vector<bool> mixed(m_kinds.size());
        for (size_t c = 0; c < m_kinds.size(); ++c)
            mixed[c] = m_kinds[c] == (kNumber | kDigitText);
        return mixed;
    }

    lxw_error Write(int row, int col, const QString& text)
    {
        const auto r = lxw_row_t(row);
        const auto c = lxw_col_t(col);
        if (text.isEmpty())
            return worksheet_write_blank(m_sheet, r, c, m_formats.text());
        double number = 0;
        int decimals = 0;
        if (ReadNumericText(text, number, decimals))
            return writeNumber(r, c, number, decimals);
        const qsizetype need = m_encoder.requiredSpace(text.size()) + 1;
        if (m_utf8.size() < need)
            m_utf8.resize(need);
        char* const end = m_encoder.appendToBuffer(m_utf8.data(), text);
        *end = '\0';
        return writeText(r, c, m_utf8.constData(), DigitText(text.constData(), text.size()));
    }

    // The cell of column column of the reader's current row.
    lxw_error Write(int row, int col, const RowReader& reader, int column)
    {
        const StoredValue v = reader.stored(column);
        const auto r = lxw_row_t(row);
        const auto c = lxw_col_t(col);
        switch (v.type) {
        case StoredValue::Type::Null:
            return worksheet_write_blank(m_sheet, r, c, m_formats.text());
        case StoredValue::Type::Integer:
            return writeInteger(r, c, v.integer);
        case StoredValue::Type::Real:
            return writeReal(r, c, v.real);
        case StoredValue::Type::Text:
            if (KeepsItsUtf8(v.bytes))
                return writeUtf8(r, c, v.bytes);
            break;
        case StoredValue::Type::Blob:
            break;
        }
        return Write(row, col, ValueText(reader.value(column)));
    }

  private:
    enum Kind : std::uint8_t { kNumber = 1, kDigitText = 2 };

    void mark(lxw_col_t c, Kind kind)
    {
        if (!m_data)
            return;
        if (m_kinds.size() <= c)
            m_kinds.resize(size_t(c) + 1);
        m_kinds[c] |= kind;
    }
    lxw_error writeNumber(lxw_row_t r, lxw_col_t c, double number, int decimals)
    {
        mark(c, kNumber);
        return worksheet_write_number(m_sheet, r, c, number, m_formats.number(decimals));
    }
    lxw_error writeText(lxw_row_t r, lxw_col_t c, const char* utf8, bool digits)
    {
        if (digits)
            mark(c, kDigitText);
        return worksheet_write_string(m_sheet, r, c, utf8, m_formats.text());
    }

    // An integer's text has no more than 11 digits for a number.
    lxw_error writeInteger(lxw_row_t r, lxw_col_t c, qint64 value)
    {
        constexpr qint64 kLargest = 99999999999;
        if (value >= -kLargest && value <= kLargest)
            return writeNumber(r, c, double(value), 0);
        char digits[24];
        std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(value));
        return writeText(r, c, digits, true);
    }

    // A double's text (DecimalText) read as any text is; kept per value, as
    // report figures repeat.
    lxw_error writeReal(lxw_row_t r, lxw_col_t c, double value)
    {
        const std::uint64_t key = std::bit_cast<std::uint64_t>(value);
        auto it = m_reals.find(key);
        if (it == m_reals.end()) {
            if (m_reals.size() >= kKeptReals)
                m_reals.clear();
            RealCell cell;
            if (std::isfinite(value)) {
                cell.text = DecimalUtf8(value);
                cell.isNumber = ReadNumericText(cell.text, cell.number, cell.decimals);
            } else {
                cell.text = ValueText(value).toStdString();
            }
            it = m_reals.emplace(key, std::move(cell)).first;
        }
        const RealCell& cell = it->second;
        if (cell.isNumber)
            return writeNumber(r, c, cell.number, cell.decimals);
        return writeText(r, c, cell.text.c_str(), std::isfinite(value));
    }

    // A text stored as UTF-8 that its Qt form would write unchanged.
    lxw_error writeUtf8(lxw_row_t r, lxw_col_t c, std::string_view text)
    {
        if (text.empty())
            return worksheet_write_blank(m_sheet, r, c, m_formats.text());
        double number = 0;
        int decimals = 0;
        if (ReadNumericText(text, number, decimals))
            return writeNumber(r, c, number, decimals);
        // The stored text is followed by a 0 byte.
        return writeText(r, c, text.data(), DigitText(text.data(), qsizetype(text.size())));
    }

    struct RealCell {
        std::string text;
        bool isNumber = false;
        double number = 0;
        int decimals = 0;
    };
    static constexpr size_t kKeptReals = 100000;

    lxw_worksheet* m_sheet;
    CellFormats& m_formats;
    QStringEncoder m_encoder{QStringEncoder::Utf8};
    QByteArray m_utf8;
    std::unordered_map<std::uint64_t, RealCell> m_reals;
    bool m_data = false;
    std::vector<std::uint8_t> m_kinds; // by column: the Kind bits seen
};

// The sheet's rows on their way to libxlsxwriter's temporary file. The
// library writes a number cell's value with 16 significant digits of its
// double ("%.16G": 8.2 becomes 8.199999999999999); every number cell here
// comes from a text of at most 15 significant digits, so the value is
// written back as those digits (the 15-digit rounding of the 16 recovers
// them): the cell holds the decimal the window showed. Only number cells
// hold a <v> element in a sheet without formulas; texts are inline and
// escaped.
//
// When the rows are read back (as the workbook closes), the number cells of
// the columns given to TextColumns become texts: the value written with the
// decimals of its display format, as the window showed it.
class NumberCellText
{
  public:
    // A stream over target that rewrites the values of number cells; null
    // when the system cannot make one (the rows then go unchanged). filter:
    // the stream's own object, which lives as long as the stream.
    static FILE* Open(FILE* target, NumberCellText*& filter)
    {
        filter = new NumberCellText(target);
        const cookie_io_functions_t io{&NumberCellText::read, &NumberCellText::write, &NumberCellText::seek,
                                       &NumberCellText::close};
        FILE* stream = fopencookie(filter, "w+", io);
        if (!stream) {
            delete filter;
            filter = nullptr;
        }
        return stream;
    }

    // columns: by column, whether its number cells become texts; places: the
    // decimals of each number style.
    void TextColumns(std::vector<bool> columns, std::unordered_map<int, int> places)
    {
        m_textColumns = std::move(columns);
        m_places = std::move(places);
        if (std::find(m_textColumns.begin(), m_textColumns.end(), true) == m_textColumns.end())
            m_textColumns.clear();
    }

  private:
    explicit NumberCellText(FILE* target) : m_target(target) {}

    static ssize_t write(void* cookie, const char* data, size_t size)
    {
        auto* f = static_cast<NumberCellText*>(cookie);
        return f->pass(data, size) ? ssize_t(size) : -1;
    }
    static ssize_t read(void* cookie, char* data, size_t size)
    {
        auto* f = static_cast<NumberCellText*>(cookie);
        if (f->m_textColumns.empty()) {
            const size_t n = fread(data, 1, size, f->m_target);
            return n == 0 && ferror(f->m_target) ? -1 : ssize_t(n);
        }
        while (f->m_out.size() - f->m_outAt < size && !f->m_readAll) {
            if (!f->readMore())
                return -1;
        }
        const size_t n = std::min(size, f->m_out.size() - f->m_outAt);
        std::memcpy(data, f->m_out.data() + f->m_outAt, n);
        f->m_outAt += n;
        return ssize_t(n);
    }
    static int seek(void* cookie, off64_t* offset, int whence)
    {
        auto* f = static_cast<NumberCellText*>(cookie);
        if (!f->finish() || fflush(f->m_target) != 0 || fseeko(f->m_target, *offset, whence) != 0)
            return -1;
        *offset = ftello(f->m_target);
        f->m_in.clear();
        f->m_out.clear();
        f->m_outAt = 0;
        f->m_readAll = false;
        return 0;
    }

    // Reads the next part of the rows and passes on its whole rows
    // rewritten; false on a read error.
    bool readMore()
    {
        m_out.erase(0, m_outAt);
        m_outAt = 0;
        char buffer[65536];
        const size_t n = fread(buffer, 1, sizeof buffer, m_target);
        if (n == 0) {
            if (ferror(m_target))
                return false;
            m_readAll = true;
            rewriteRows(m_in);
            m_in.clear();
            return true;
        }
        m_in.append(buffer, n);
        const size_t rowsEnd = m_in.rfind("</row>");
        if (rowsEnd != std::string::npos) {
            const size_t end = rowsEnd + 6;
            rewriteRows(std::string_view(m_in).substr(0, end));
            m_in.erase(0, end);
        }
        return true;
    }

    // Appends whole rows to the output, the number cells of the text
    // columns made texts: <c r="B3" s="2"><v>12.5</v></c> becomes
    // <c r="B3" t="inlineStr"><is><t>12.50</t></is></c>.
    void rewriteRows(std::string_view rows)
    {
        static constexpr std::string_view kCell = "<c r=\"";
        size_t i = 0;
        for (;;) {
            const size_t at = rows.find(kCell, i);
            const size_t tagEnd = at == std::string_view::npos ? at : rows.find('>', at);
            if (tagEnd == std::string_view::npos) {
                m_out.append(rows.substr(i));
                return;
            }
            m_out.append(rows.substr(i, at - i));
            const std::string_view tag = rows.substr(at, tagEnd + 1 - at);
            size_t k = kCell.size();
            size_t column = 0;
            for (; k < tag.size() && tag[k] >= 'A' && tag[k] <= 'Z'; ++k)
                column = column * 26 + size_t(tag[k] - 'A' + 1);
            const size_t refEnd = tag.find('"', kCell.size());
            const size_t valueEnd = rows.find("</v></c>", tagEnd);
            const bool numberCell = column > 0 && column <= m_textColumns.size() &&
                                    m_textColumns[column - 1] && tag[tag.size() - 2] != '/' &&
                                    tag.find(" t=\"") == std::string_view::npos &&
                                    rows.substr(tagEnd + 1, 3) == "<v>" && valueEnd != std::string_view::npos;
            if (!numberCell) {
                m_out.append(tag);
                i = tagEnd + 1;
                continue;
            }
            int places = 0;
            const size_t style = tag.find(" s=\"");
            if (style != std::string_view::npos) {
                int index = 0;
                std::from_chars(tag.data() + style + 4, tag.data() + tag.size(), index);
                const auto found = m_places.find(index);
                places = found == m_places.end() ? 0 : found->second;
            }
            const std::string_view value = rows.substr(tagEnd + 4, valueEnd - tagEnd - 4);
            m_out.append(kCell).append(tag.substr(kCell.size(), refEnd - kCell.size()));
            m_out.append("\" t=\"inlineStr\"><is><t>").append(value);
            const size_t point = value.find('.');
            const int has = point == std::string_view::npos ? 0 : int(value.size() - point - 1);
            if (places > has) {
                if (has == 0)
                    m_out.push_back('.');
                m_out.append(size_t(places - has), '0');
            }
            m_out.append("</t></is></c>");
            i = valueEnd + 8;
        }
    }
    static int close(void* cookie)
    {
        auto* f = static_cast<NumberCellText*>(cookie);
        const bool written = f->finish();
        const int closed = fclose(f->m_target);
        delete f;
        return written && closed == 0 ? 0 : -1;
    }

    bool put(const char* data, size_t size) { return size == 0 || fwrite(data, 1, size, m_target) == size; }

    // Passes the text on, a value between "<v>" and "</v>" rewritten. A tag
    // or a value may be split between two calls: how far a "<v>" was seen
    // and the value read so far are kept.
    bool pass(const char* data, size_t size)
    {
        size_t from = 0; // the start of the text not yet passed on
        size_t i = 0;
        while (i < size) {
            if (m_inValue) {
                const auto* lt = static_cast<const char*>(std::memchr(data + i, '<', size - i));
                const size_t end = lt ? size_t(lt - data) : size;
                m_value.append(data + i, end - i);
                i = from = end;
                if (!lt)
                    break;
                m_inValue = false;
                if (!putValue())
                    return false;
                continue;
            }
            if (m_seen == 0) {
                const auto* lt = static_cast<const char*>(std::memchr(data + i, '<', size - i));
                if (!lt)
                    break;
                i = size_t(lt - data) + 1;
                m_seen = 1;
                continue;
            }
            const char c = data[i++];
            if (m_seen == 1) {
                m_seen = c == 'v' ? 2 : c == '<' ? 1 : 0;
            } else if (c == '>') {
                m_seen = 0;
                m_inValue = true;
                if (!put(data + from, i - from))
                    return false;
                from = i;
            } else {
                m_seen = c == '<' ? 1 : 0;
            }
        }
        return m_inValue || put(data + from, size - from);
    }

    // The end of the text: a value left open goes as it is.
    bool finish()
    {
        if (!m_inValue)
            return true;
        m_inValue = false;
        const bool written = put(m_value.data(), m_value.size());
        m_value.clear();
        return written;
    }

    // Writes the value read as its 15 significant digits.
    bool putValue()
    {
        bool written = false;
        if (IsShortest15(m_value)) {
            written = put(m_value.data(), m_value.size());
        } else {
            const std::optional<Decimal> number = Decimal::FromText(m_value);
            const std::string digits = number ? number->roundedSignificant(15).toStdString() : m_value;
            written = put(digits.data(), digits.size());
        }
        m_value.clear();
        return written;
    }

    // Whether a value is written already as its 15 significant digits
    // would be: plain, no more than 15 digits from the first that is not 0,
    // no zero at the end of its decimals or before its integer digits.
    static bool IsShortest15(std::string_view v)
    {
        size_t i = 0;
        if (i < v.size() && v[i] == '-')
            ++i;
        const size_t start = i;
        if (i >= v.size() || v[i] < '0' || v[i] > '9')
            return false;
        if (v[i] == '0' && (i + 1 >= v.size() || v[i + 1] != '.'))
            return false; // "0" and "-0" are rewritten; so is "01"
        int significant = 0;
        bool leading = true;
        for (; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i) {
            leading = leading && v[i] == '0';
            if (!leading)
                ++significant;
        }
        if (i < v.size()) {
            if (v[i] != '.' || i + 1 >= v.size() || v.back() == '0')
                return false;
            for (++i; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i) {
                leading = leading && v[i] == '0';
                if (!leading)
                    ++significant;
            }
        }
        return i == v.size() && i > start && significant >= 1 && significant <= 15;
    }

    FILE* m_target;
    int m_seen = 0; // how much of a "<v>" was seen (0 to 2)
    bool m_inValue = false;
    std::string m_value;
    // Reading back.
    std::vector<bool> m_textColumns;
    std::unordered_map<int, int> m_places;
    std::string m_in;  // read, not yet a whole row
    std::string m_out; // rewritten, from m_outAt not yet given
    size_t m_outAt = 0;
    bool m_readAll = false;
};

// The rows of an export as they are written: each call writes the next
// row's cells at row (error: the first write that failed) and answers true,
// or answers false after the last row. May throw DbError.
using RowWriter = std::function<bool(CellWriter& cells, int row, lxw_error& error)>;

// The rows of texts.
RowWriter TextRows(const ExportRows& rows)
{
    return [&rows, row = QStringList()](CellWriter& cells, int r, lxw_error& error) mutable {
        if (!rows(row))
            return false;
        for (int c = 0; !error && c < row.size(); ++c)
            error = cells.Write(r, c, row.at(c));
        return true;
    };
}

// The rows of a reader; with onFirst, its current row is the first.
RowWriter StoredRows(RowReader& reader, bool onFirst = false)
{
    return [&reader, onFirst](CellWriter& cells, int r, lxw_error& error) mutable {
        if (onFirst)
            onFirst = false;
        else if (!reader.next())
            return false;
        for (int c = 0; !error && c < reader.fieldCount(); ++c)
            error = cells.Write(r, c, reader, c);
        return true;
    };
}

// Writes the workbook; the error of the first step that failed.
lxw_error WriteWorkbook(const QString& path, const RowWriter& rows, const QString& title,
                        const QStringList& headings)
{
    // Constant memory: each row goes to the file as soon as the next begins,
    // so a whole report never sits in memory (the texts are stored inline).
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (!book)
        return LXW_ERROR_MEMORY_MALLOC_FAILED;
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    // In constant-memory mode the rows go to one temporary file, read back
    // when the workbook closes: the number cells pass through NumberCellText.
    NumberCellText* filter = nullptr;
    if (sheet && sheet->optimize_tmpfile && sheet->file == sheet->optimize_tmpfile) {
        if (FILE* rows = NumberCellText::Open(sheet->optimize_tmpfile, filter)) {
            sheet->file = rows;
            sheet->optimize_tmpfile = rows;
        }
    }
    CellFormats formats(book);
    lxw_format* format = formats.text();
    lxw_error error = sheet && format ? LXW_NO_ERROR : LXW_ERROR_MEMORY_MALLOC_FAILED;
    if (!error)
        error = worksheet_write_string(sheet, 0, 0, title.toUtf8().constData(), format);
    CellWriter cells(sheet, formats);
    for (int c = 0; !error && c < headings.size(); ++c)
        error = cells.Write(1, c, headings.at(c));
    cells.StartData();
    try {
        for (int r = 2; !error && rows(cells, r, error); ++r) {
        }
    } catch (...) {
        workbook_close(book);
        throw;
    }
    // A column is one kind: where figures and texts in digits meet (a code
    // "007" beside "123", an amount of more digits than a number cell holds
    // beside short ones), every cell is a text, so that a spreadsheet's sum
    // never leaves some of them out unseen.
    if (filter)
        filter->TextColumns(cells.MixedColumns(), formats.placesByStyle());
    // Closing frees the workbook whatever happened; it writes the file.
    const lxw_error closeError = workbook_close(book);
    return error ? error : closeError;
}

// WriteExcelWorkbook for any rows: a row that cannot be read (a query
// failing half-way) fails the export with the database's message.
QString WriteRows(const QString& path, const RowWriter& rows, const QString& title,
                  const QStringList& headings)
{
    QString failure;
    lxw_error error = LXW_NO_ERROR;
    try {
        error = WriteWorkbook(path, rows, title, headings);
    } catch (const DbError& e) {
        failure = e.message();
    }
    if (!failure.isEmpty())
        return failure;
    return error ? QString::fromUtf8(lxw_strerror(error)) : QString();
}

// Writes the export into a new workbook, then says so and opens it.
void ExportRowsToExcel(const RowWriter& rows, const QString& title, const QString& headers)
{
    const QStringList headings = headers.isEmpty() ? QStringList() : headers.split(QLatin1Char(','));

    const QString folder = GetAppPath() + QStringLiteral("qvPrint/generateXls/");
    if (!QDir().mkpath(folder)) {
        ShowExportError(QStringLiteral("无法创建文件夹 ") + QDir::toNativeSeparators(folder));
        return;
    }
    const QString path = FreeExportName(folder);
    // The rows are counted as they are read, for the progress display.
    const ExportProgress& progress = ExportProgressReceiver();
    qint64 written = 0;
    QString details; // the database's own text of a row that failed
    const RowWriter counted = [&](CellWriter& cells, int row, lxw_error& error) {
        bool more = false;
        try {
            more = rows(cells, row, error);
        } catch (const DbError& e) {
            details = e.details();
            throw;
        }
        if (more && ++written % kExportProgressRows == 0 && progress)
            progress(written, false);
        return more;
    };
    if (progress)
        progress(0, false);
    const QString error = WriteRows(path, counted, title, headings);
    if (progress)
        progress(written, true);
    if (!error.isEmpty()) {
        QFile::remove(path);
        ShowExportError(QDir::toNativeSeparators(path) + QStringLiteral("\n") + error, details);
        return;
    }

    // The desktop's opener starts detached (or is refused at once), so one
    // message says both that the export is done and, when nothing could open
    // the workbook, where it is.
    if (Launcher::OpenUrl(QUrl::fromLocalFile(path)))
        MsgBox::Info(QStringLiteral("导出完成！"), QStringLiteral("System"));
    else
        MsgBox::Info(QStringLiteral("导出完成！\n无法打开导出的文件,文件已保存为: ") +
                         QDir::toNativeSeparators(path),
                     QStringLiteral("System"));
}

void SayNothingToExport()
{
    MsgBox::Show(QStringLiteral("无记录导出!"), MsgIcon::Exclamation, QStringLiteral("System"));
}

} // namespace

void SetExportProgress(ExportProgress progress)
{
    ExportProgressReceiver() = std::move(progress);
}

ExportData RecordSetToArray(RecordSet& rs)
{
    ExportData result;
    if (rs.eof())
        return result;
    rs.MoveFirst();
    while (!rs.eof()) {
        QStringList row;
        row.reserve(rs.fieldCount());
        for (int j = 0; j < rs.fieldCount(); ++j)
            row.append(ValueText(rs.Fields(j)));
        result.data.append(row);
        rs.MoveNext();
    }
    result.hasData = true;
    result.rowCount = int(result.data.size());
    return result;
}

ExportData RecordSetToArray(const RecordSetPtr& rs)
{
    if (!rs)
        return {};
    return RecordSetToArray(*rs);
}

QString WriteExcelWorkbook(const QString& path, const ExportRows& rows, const QString& title,
                           const QStringList& headings)
{
    return WriteRows(path, TextRows(rows), title, headings);
}

QString WriteExcelWorkbook(const QString& path, RowReader& rows, const QString& title,
                           const QStringList& headings)
{
    return WriteRows(path, StoredRows(rows), title, headings);
}

ExportRows ExportRowsOf(const ExportData& exportData)
{
    return [&exportData, next = qsizetype(0)](QStringList& row) mutable {
        if (next >= exportData.data.size())
            return false;
        row = exportData.data.at(next++);
        return true;
    };
}

ExportRows ExportRowsOf(RowReader& reader)
{
    return [&reader](QStringList& row) {
        if (!reader.next())
            return false;
        row.clear();
        row.reserve(reader.fieldCount());
        for (int c = 0; c < reader.fieldCount(); ++c)
            row.append(reader.text(c));
        return true;
    };
}

void ExportToExcel(const ExportData& exportData, const QString& title, const QString& headers)
{
    if (!exportData.hasData) {
        SayNothingToExport();
        return;
    }
    ExportRowsToExcel(TextRows(ExportRowsOf(exportData)), title, headers);
}

namespace
{

// The first row is read before anything is written: without one there is
// nothing to export and no file is made. Answers whether read gave a row;
// otherwise the clerk is told why nothing is exported.
bool ReadFirstRow(const std::function<bool()>& read)
{
    try {
        if (read())
            return true;
    } catch (const DbError& e) {
        ShowExportError(e.message(), e.details());
        return false;
    }
    SayNothingToExport();
    return false;
}

} // namespace

void ExportToExcel(const ExportRows& rows, const QString& title, const QString& headers)
{
    QStringList first;
    if (!ReadFirstRow([&] { return rows(first); }))
        return;
    bool firstTaken = false;
    const ExportRows all = [&](QStringList& row) {
        if (!firstTaken) {
            firstTaken = true;
            row = first;
            return true;
        }
        return rows(row);
    };
    ExportRowsToExcel(TextRows(all), title, headers);
}

void ExportToExcel(RowReader& rows, const QString& title, const QString& headers)
{
    if (!ReadFirstRow([&] { return rows.next(); }))
        return;
    ExportRowsToExcel(StoredRows(rows, true), title, headers);
}
