// A whole report exported to a workbook, end to end: the inbound line detail
// of the store (LineStore, 20,000 goods) over a span of months (the last 4:
// 200,000 lines; the whole year: 600,000, all the store's inbound lines),
// searched once, then read in its kept order with its 24 export columns and
// written to .xlsx as the report window exports it (each value as stored to
// the cell its text gives: numbers as numbers with their decimals, codes and
// names as texts).
//
// Beside it, interleaved (Paired.h), the bare twin reads the same lines in
// the same order from the same file through a kept table of keys (the C API,
// the statement prepared once), works out the same exact figures in scaled
// integers (the products and their 3-place roundings, half away from zero)
// and writes the same cells with libxlsxwriter in its constant-memory mode:
// the same title, headings, texts and blanks, every number as a number with
// the same display format and the 15 significant digits shown, font size 10
// through the workbook's default format. After the loop the two workbooks
// are read back cell by cell (reference, kind, text or value, display format
// and font size, and the sheet's range) and must agree. peak_growth_MB is
// how far the process's peak memory rose above what it held before the
// program's export.
#include "BareSql.h"
#include "ExcelExport.h"
#include "LineStore.h"
#include "Paired.h"
#include "RowReader.h"
#include "dal_rpt_Reports.h"
#include "sqlHelper.h"

#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <array>
#include <benchmark/benchmark.h>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <xlsxwriter.h>

namespace
{

const QStringList kHeadings =
    QStringLiteral("账目,审核,单号,原始单号,类型,供应商,货品类别,货品编码,货品名称,描述,"
                   "单位,内装数,重量,进价,数量,金额,小件数量,默认件数,总重量,库位,"
                   "批次号,备注,制单人,日期")
        .split(QLatin1Char(','));
const QString kTitle = QStringLiteral("入库明细");

qint64 statusKb(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray wanted = QByteArray(key) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(wanted))
            return line.mid(wanted.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

// Sets the peak back to what the process holds now; false where the system
// does not allow it (the growth is then measured against the earlier peak).
bool resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

// The line detail of the last months of the store (to May 2024), kept by
// a search as the window runs it.
dal_rpt_Report& Searched(int months)
{
    static std::map<int, std::unique_ptr<dal_rpt_Report>> reports;
    LineStore::Open(LineStore::kFewGoods);
    std::unique_ptr<dal_rpt_Report>& report = reports[months];
    if (!report) {
        report = std::make_unique<dal_rpt_rkDetail>();
        ReportFill fill;
        fill.accountList = QStringLiteral("2,5,0");
        fill.conditions.append(m_condition(QStringLiteral("a.createTime"), QStringLiteral(">="),
                                           LineStore::MonthStart(12 - months)));
        fill.conditions.append(
            m_condition(QStringLiteral("a.createTime"), QStringLiteral("<"), LineStore::MonthStart(12)));
        fill.conditions.append(
            m_condition(QStringLiteral("a.accountId"), QStringLiteral("in"), NList(fill.accountList)));
        m_PageInfor page;
        page.int_PageSize = 20;
        page.int_currentPageIndex = 1;
        page.str_orderBy = QStringLiteral("createTime");
        page.isDesc = true;
        report->GetListForCondition(fill, {}, page, {});
    }
    return *report;
}

// The rows of a reader, counted as they are read.
class CountedRows final : public RowReader
{
  public:
    explicit CountedRows(RowReader& rows) : RowReader(rows.fields()), m_rows(rows) {}
    bool next() override
    {
        const bool more = m_rows.next();
        count += more ? 1 : 0;
        return more;
    }
    QVariant value(int column) const override { return m_rows.value(column); }
    StoredValue stored(int column) const override { return m_rows.stored(column); }

    int count = 0;

  private:
    RowReader& m_rows;
};

// The program's export as the report window runs it; the rows written.
QString ExportAsTheWindow(dal_rpt_Report& report, const QString& path, int& rows)
{
    const std::unique_ptr<RowReader> reader = report.ReadKeptRows(true);
    CountedRows counted(*reader);
    const QString error = WriteExcelWorkbook(path, counted, kTitle, kHeadings);
    rows = counted.count;
    return error;
}

// ---- the bare twin

// libxlsxwriter writes a number cell's value with 16 significant digits
// ("%.16G": 8.2 becomes 8.199999999999999); a cell is to hold the 15 digits
// shown, so the sheet's rows pass this stream on their way to the library's
// temporary file, and every <v> value of more than 15 digits is written
// again with 15 (a plain decimal, no exponent).
class FifteenDigitValues
{
  public:
    static void Install(lxw_worksheet* sheet)
    {
        if (!sheet || !sheet->optimize_tmpfile || sheet->file != sheet->optimize_tmpfile)
            return;
        auto* f = new FifteenDigitValues{sheet->optimize_tmpfile};
        const cookie_io_functions_t io{&FifteenDigitValues::read, &FifteenDigitValues::write,
                                       &FifteenDigitValues::seek, &FifteenDigitValues::close};
        if (FILE* stream = fopencookie(f, "w+", io)) {
            sheet->file = stream;
            sheet->optimize_tmpfile = stream;
        } else {
            delete f;
        }
    }

  private:
    explicit FifteenDigitValues(FILE* target) : m_target(target) {}

    static ssize_t write(void* cookie, const char* data, size_t size)
    {
        auto* f = static_cast<FifteenDigitValues*>(cookie);
        static constexpr char kOpen[] = "<v>";
        size_t from = 0;
        for (size_t i = 0; i < size;) {
            if (f->m_inValue) {
                const auto* lt = static_cast<const char*>(std::memchr(data + i, '<', size - i));
                const size_t end = lt ? size_t(lt - data) : size;
                f->m_value.append(data + i, end - i);
                i = from = end;
                if (lt) {
                    f->m_inValue = false;
                    f->putValue();
                }
                continue;
            }
            if (f->m_matched == 0) {
                const auto* lt = static_cast<const char*>(std::memchr(data + i, '<', size - i));
                if (!lt)
                    break;
                i = size_t(lt - data);
            }
            // A "<v>" may be split between two writes: how much of it was seen.
            if (data[i] == kOpen[f->m_matched]) {
                ++i;
                if (++f->m_matched == 3) {
                    f->m_matched = 0;
                    f->m_inValue = true;
                    fwrite(data + from, 1, i - from, f->m_target);
                    from = i;
                }
            } else {
                f->m_matched = 0;
                if (data[i] != '<')
                    ++i;
            }
        }
        if (!f->m_inValue)
            fwrite(data + from, 1, size - from, f->m_target);
        return ferror(f->m_target) ? -1 : ssize_t(size);
    }
    static ssize_t read(void* cookie, char* data, size_t size)
    {
        auto* f = static_cast<FifteenDigitValues*>(cookie);
        const size_t n = fread(data, 1, size, f->m_target);
        return n == 0 && ferror(f->m_target) ? -1 : ssize_t(n);
    }
    static int seek(void* cookie, off64_t* offset, int whence)
    {
        auto* f = static_cast<FifteenDigitValues*>(cookie);
        if (fflush(f->m_target) != 0 || fseeko(f->m_target, *offset, whence) != 0)
            return -1;
        *offset = ftello(f->m_target);
        return 0;
    }
    static int close(void* cookie)
    {
        auto* f = static_cast<FifteenDigitValues*>(cookie);
        const int closed = fclose(f->m_target);
        delete f;
        return closed;
    }

    void putValue()
    {
        int digits = 0;
        bool plain = true;
        for (const char c : m_value) {
            if (c >= '1' && c <= '9')
                ++digits;
            else if (c == '0' && digits > 0)
                ++digits;
            else if (c == 'E' || c == 'e')
                plain = false;
        }
        if (plain && digits <= 15) {
            fwrite(m_value.data(), 1, m_value.size(), m_target);
        } else {
            const double value = std::strtod(m_value.c_str(), nullptr);
            const int exponent = value == 0 ? 0 : int(std::floor(std::log10(std::fabs(value))));
            char text[400];
            int n = std::snprintf(text, sizeof text, "%.*f", std::max(0, 14 - exponent), value);
            if (std::strchr(text, '.')) {
                while (n > 0 && text[n - 1] == '0')
                    --n;
                if (n > 0 && text[n - 1] == '.')
                    --n;
            }
            fwrite(text, 1, size_t(n), m_target);
        }
        m_value.clear();
    }

    FILE* m_target;
    int m_matched = 0; // the characters of a "<v>" seen
    bool m_inValue = false;
    std::string m_value;
};

// An exact decimal, units / 10^scale, while it fits in 63 bits; no trailing
// zero in its places.
struct Scaled {
    std::int64_t units = 0;
    int scale = 0;
};

constexpr std::int64_t kPow10[19] = {1,
                                     10,
                                     100,
                                     1000,
                                     10000,
                                     100000,
                                     1000000,
                                     10000000,
                                     100000000,
                                     1000000000,
                                     10000000000,
                                     100000000000,
                                     1000000000000,
                                     10000000000000,
                                     100000000000000,
                                     1000000000000000,
                                     10000000000000000,
                                     100000000000000000,
                                     1000000000000000000};

bool Normal(std::int64_t units, int scale, Scaled& out)
{
    for (; scale < 0; ++scale) {
        if (__builtin_mul_overflow(units, 10, &units))
            return false;
    }
    for (; scale > 0 && units % 10 == 0; --scale)
        units /= 10;
    if (scale > 18)
        return false;
    out = {units, scale};
    return true;
}

// A stored double by the digits of its shortest form.
bool ScaledOf(double value, Scaled& out)
{
    char text[40];
    const auto written = std::to_chars(text, text + sizeof text, value);
    const char* p = text;
    const bool negative = *p == '-';
    p += negative ? 1 : 0;
    std::int64_t units = 0;
    int scale = 0;
    bool point = false;
    for (; p < written.ptr && *p != 'e'; ++p) {
        if (*p == '.') {
            point = true;
            continue;
        }
        if (__builtin_mul_overflow(units, 10, &units) || __builtin_add_overflow(units, *p - '0', &units))
            return false;
        scale += point ? 1 : 0;
    }
    if (p < written.ptr) {
        int exponent = 0;
        std::from_chars(p + (p[1] == '+' ? 2 : 1), written.ptr, exponent);
        scale -= exponent;
    }
    return Normal(negative ? -units : units, scale, out);
}

bool ScaledOf(sqlite3_stmt* stmt, int column, Scaled& out)
{
    if (sqlite3_column_type(stmt, column) == SQLITE_INTEGER)
        return Normal(sqlite3_column_int64(stmt, column), 0, out);
    return ScaledOf(sqlite3_column_double(stmt, column), out);
}

bool Product(const Scaled& a, const Scaled& b, Scaled& out)
{
    std::int64_t units = 0;
    return !__builtin_mul_overflow(a.units, b.units, &units) && Normal(units, a.scale + b.scale, out);
}

// n / d rounded half away from zero.
std::int64_t RoundedQuotient(std::int64_t n, std::int64_t d)
{
    const std::int64_t q = n / d;
    const std::int64_t r = n % d;
    const bool up = (r < 0 ? -r : r) * 2 >= (d < 0 ? -d : d);
    return up ? q + ((n < 0) != (d < 0) ? -1 : 1) : q;
}

bool RoundedTo3(const Scaled& a, Scaled& out)
{
    if (a.scale <= 3) {
        out = a;
        return true;
    }
    return Normal(RoundedQuotient(a.units, kPow10[a.scale - 3]), 3, out);
}

// a / b rounded to 3 places; false for b = 0 or past 63 bits.
bool QuotientTo3(const Scaled& a, const Scaled& b, Scaled& out)
{
    if (b.units == 0 || 3 + b.scale > 18)
        return false;
    std::int64_t n = 0;
    if (__builtin_mul_overflow(a.units, kPow10[3 + b.scale], &n))
        return false;
    std::int64_t d = 0;
    if (__builtin_mul_overflow(b.units, kPow10[a.scale], &d))
        return false;
    return Normal(RoundedQuotient(n, d), 3, out);
}

// The text of a decimal with at least minPlaces places; zero written zero
// when given.
std::string_view TextOf(const Scaled& a, int minPlaces, char* buffer, const char* zero = nullptr)
{
    if (zero && a.units == 0)
        return zero;
    const int places = std::max(a.scale, minPlaces);
    const std::uint64_t magnitude =
        a.units < 0 ? std::uint64_t(0) - std::uint64_t(a.units) : std::uint64_t(a.units);
    char digits[24];
    const int n = int(std::to_chars(digits, digits + sizeof digits, magnitude).ptr - digits);
    const int shift = places - a.scale; // zeros after the digits
    char* p = buffer;
    if (a.units < 0)
        *p++ = '-';
    const int whole = n - a.scale;
    if (whole <= 0) {
        *p++ = '0';
    } else {
        std::memcpy(p, digits, size_t(whole));
        p += whole;
    }
    if (places > 0) {
        *p++ = '.';
        for (int i = whole; i < 0; ++i)
            *p++ = '0';
        const int from = std::max(whole, 0);
        std::memcpy(p, digits + from, size_t(n - from));
        p += n - from;
        for (int i = 0; i < shift; ++i)
            *p++ = '0';
    }
    return {buffer, size_t(p - buffer)};
}

// Whether a text is a number the sheet holds as shown: an optional '-', an
// integer part of "0" or of at most 11 digits without a leading zero, at
// most 30 places, at most 15 significant digits, one line break at the very
// end let pass. places: its decimals.
bool NumberShown(std::string_view text, int& places)
{
    if (!text.empty() && text.back() == '\n')
        text.remove_suffix(1);
    size_t i = text.starts_with('-') ? 1 : 0;
    const size_t first = i;
    const auto digit = [&text](size_t k) { return k < text.size() && text[k] >= '0' && text[k] <= '9'; };
    if (!digit(i))
        return false;
    if (text[i] == '0')
        ++i;
    else
        while (digit(i))
            ++i;
    const size_t wholeDigits = i - first;
    if (wholeDigits > 11)
        return false;
    places = 0;
    if (i < text.size()) {
        if (text[i] != '.')
            return false;
        const size_t start = ++i;
        while (digit(i))
            ++i;
        places = int(i - start);
        if (places == 0 || places > 30 || i != text.size())
            return false;
    }
    int significant = 0;
    for (size_t k = first; k < text.size(); ++k) {
        if (text[k] == '.')
            continue;
        if (significant > 0 || text[k] != '0')
            ++significant;
    }
    return significant <= 15;
}

// How a column's value becomes its text: as stored (a text, or a stored
// number's shortest digits), shown "#0.0##" (1 to 3 places, "0" for zero
// where the report writes it so) or a product.
enum class Column { Text, Stored, Price, Amount, Product, PerDefault };

constexpr Column kColumns[24] = {
    Column::Text,    Column::Text,  Column::Text,   Column::Text,   Column::Text,    Column::Text,
    Column::Text,    Column::Text,  Column::Text,   Column::Text,   Column::Text,    Column::Stored,
    Column::Stored,  Column::Price, Column::Stored, Column::Amount, Column::Product, Column::PerDefault,
    Column::Product, Column::Text,  Column::Text,   Column::Text,   Column::Text,    Column::Text};

class BareExport
{
  public:
    explicit BareExport(int months)
    {
        BareStatement::ExecPlain(
            "CREATE TEMP TABLE IF NOT EXISTS bare_export_keys (pos INTEGER PRIMARY KEY, id INTEGER)");
        BareStatement::ExecPlain("DELETE FROM bare_export_keys");
        BareStatement keep(QStringLiteral(
            "INSERT INTO bare_export_keys (id) SELECT d.id FROM tb_rk_head AS h INDEXED BY ix_rk_head_time "
            "CROSS JOIN tb_rk_detail AS d INDEXED BY ix_rk_detail_head ON d.headId = h.id "
            "WHERE h.createTime >= ? AND h.createTime < ? AND h.accountId IN (2,5,0) "
            "ORDER BY substr(h.createTime, 1, 10) DESC, d.id DESC"));
        rows = keep.Exec({LineStore::MonthStart(12 - months), LineStore::MonthStart(12)});
        // The figures come raw: the quantity, the price, the pieces and the
        // weight of the line and the pieces of its goods item's one default
        // unit (Null unless exactly one holds more than 0).
        const QByteArray sql =
            "SELECT (SELECT uname FROM tb_dictionary WHERE id = h.accountId), "
            "CASE WHEN h.ispass = 0 THEN '未审核' ELSE '已审核' END, h.billNo, h.ubillNo, "
            "(SELECT uname FROM tb_dictionary WHERE id = h.utypeId), h.supplierName, d.goodsTypeName, "
            "d.goodsCode, d.goodsName, d.goodsDesc, d.unit, d.packQty, d.weight, d.inPrice, d.qty, "
            "(SELECT CASE WHEN COUNT(*) = 1 AND MAX(u.packQty) > 0 THEN MAX(u.packQty) END "
            "FROM tb_goods_detail AS u WHERE u.headId = d.goodsId AND u.isDefault = 1), "
            "(SELECT locationCode FROM tb_location WHERE id = d.locationId), d.lotNo, d.remark, "
            "h.creator, substr(h.createTime, 1, 10) FROM bare_export_keys AS k CROSS JOIN tb_rk_detail AS d "
            "ON d.id = k.id CROSS JOIN tb_rk_head AS h ON h.id = d.headId ORDER BY k.pos";
        if (sqlite3_prepare_v2(BareStatement::Handle(), sql.constData(), int(sql.size()), &m_stmt, nullptr) !=
            SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(BareStatement::Handle()));
    }
    ~BareExport() { sqlite3_finalize(m_stmt); }
    BareExport(const BareExport&) = delete;
    BareExport& operator=(const BareExport&) = delete;

    // Writes the workbook; the rows written, or -1 when it failed (a figure
    // past 63 bits included: the twin does not go on inexactly).
    int Write(const QString& path)
    {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        m_book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
        m_sheet = workbook_add_worksheet(m_book, nullptr);
        FifteenDigitValues::Install(m_sheet);
        m_default = STAILQ_FIRST(m_book->formats);
        format_set_font_size(m_default, 10);
        m_numbers.fill(nullptr);
        worksheet_write_string(m_sheet, 0, 0, kTitle.toUtf8().constData(), nullptr);
        for (int c = 0; c < kHeadings.size(); ++c)
            worksheet_write_string(m_sheet, 1, lxw_col_t(c), kHeadings.at(c).toUtf8().constData(), nullptr);
        int r = 0;
        int rc;
        bool exact = true;
        while (exact && (rc = sqlite3_step(m_stmt)) == SQLITE_ROW) {
            exact = writeRow(lxw_row_t(r + 2));
            ++r;
        }
        sqlite3_reset(m_stmt);
        const bool closed = workbook_close(m_book) == LXW_NO_ERROR;
        return exact && rc == SQLITE_DONE && closed ? r : -1;
    }

    int rows = 0;

  private:
    // The result's columns: 0-10 texts, 11 pieces, 12 weight, 13 price,
    // 14 quantity, 15 default pieces, 16-20 texts.
    static constexpr int kPack = 11, kWeight = 12, kPrice = 13, kQty = 14, kDefault = 15;

    bool writeRow(lxw_row_t at)
    {
        char buffer[64];
        const auto isNull = [this](int k) { return sqlite3_column_type(m_stmt, k) == SQLITE_NULL; };
        for (int c = 0; c < 24; ++c) {
            const auto col = lxw_col_t(c);
            const int source = c < 15 ? c : c > 18 ? c - 3 : -1;
            if (kColumns[c] == Column::Text) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, source));
                writeText(at, col,
                          text ? std::string_view(text, size_t(sqlite3_column_bytes(m_stmt, source)))
                               : std::string_view());
                continue;
            }
            // The factors of the column's figure: none may be Null.
            const int factor = kColumns[c] == Column::Stored   ? source
                               : kColumns[c] == Column::Price  ? kPrice
                               : kColumns[c] == Column::Amount ? kPrice
                               : c == 18                       ? kWeight
                                                               : kPack;
            const bool timesQty = kColumns[c] != Column::Stored && kColumns[c] != Column::Price;
            if (isNull(factor) || (timesQty && isNull(kQty)) ||
                (kColumns[c] == Column::PerDefault && isNull(kDefault))) {
                worksheet_write_blank(m_sheet, at, col, m_default);
                continue;
            }
            Scaled value;
            Scaled qty;
            if (!ScaledOf(m_stmt, factor, value) || (timesQty && !ScaledOf(m_stmt, kQty, qty)))
                return false;
            std::string_view text;
            switch (kColumns[c]) {
            case Column::Stored:
                text = TextOf(value, 0, buffer);
                break;
            case Column::Price: {
                // A price too small for 3 places is written whole.
                Scaled rounded;
                if (!RoundedTo3(value, rounded))
                    return false;
                text = rounded.units == 0 && value.units != 0 ? TextOf(value, 0, buffer)
                                                              : TextOf(rounded, 1, buffer);
                break;
            }
            case Column::Amount:
                if (!Product(qty, value, value) || !RoundedTo3(value, value))
                    return false;
                text = TextOf(value, 1, buffer, "0");
                break;
            case Column::Product:
                if (!Product(value, qty, value))
                    return false;
                text = TextOf(value, 0, buffer);
                break;
            case Column::PerDefault: {
                Scaled perUnit;
                if (!Product(value, qty, value) || !ScaledOf(m_stmt, kDefault, perUnit))
                    return false;
                if (perUnit.units == 0) {
                    worksheet_write_blank(m_sheet, at, col, m_default);
                    continue;
                }
                if (!QuotientTo3(value, perUnit, value))
                    return false;
                text = TextOf(value, 1, buffer, "0");
                break;
            }
            case Column::Text:
                break;
            }
            writeText(at, col, text);
        }
        return true;
    }

    // A text's cell: a number when it reads as one, else the text.
    void writeText(lxw_row_t at, lxw_col_t col, std::string_view text)
    {
        if (text.empty()) {
            worksheet_write_blank(m_sheet, at, col, m_default);
            return;
        }
        int places = 0;
        if (NumberShown(text, places)) {
            double value = 0;
            std::from_chars(text.data(), text.data() + text.size() - (text.back() == '\n' ? 1 : 0), value);
            worksheet_write_number(m_sheet, at, col, value, number(places));
            return;
        }
        m_text.assign(text.data(), text.size());
        worksheet_write_string(m_sheet, at, col, m_text.c_str(), nullptr);
    }

    lxw_format* number(int places)
    {
        lxw_format*& format = m_numbers[size_t(places)];
        if (!format) {
            format = workbook_add_format(m_book);
            format_set_font_size(format, 10);
            const std::string pattern =
                places > 0 ? "0." + std::string(size_t(places), '0') : std::string("0");
            format_set_num_format(format, pattern.c_str());
        }
        return format;
    }

    sqlite3_stmt* m_stmt = nullptr;
    lxw_workbook* m_book = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    lxw_format* m_default = nullptr;
    std::array<lxw_format*, 31> m_numbers{};
    std::string m_text;
};

// ---- the cells of a workbook, read back

// One cell: its reference, kind (n number, s text, b blank), text or value
// as stored, display format and font size.
struct SheetCell {
    QString ref;
    char kind = 'b';
    QString text;
    QString format;
    double fontSize = 0;
    bool operator==(const SheetCell&) const = default;
};

class SheetCells
{
  public:
    explicit SheetCells(const QString& book)
    {
        readStyles(unzipped(book, QStringLiteral("xl/styles.xml")));
        m_sheet.setFileName(m_dir.filePath(QStringLiteral("sheet.xml")));
        QProcess unzip;
        unzip.setStandardOutputFile(m_sheet.fileName());
        unzip.start(QStringLiteral("unzip"),
                    {QStringLiteral("-p"), book, QStringLiteral("xl/worksheets/sheet1.xml")});
        unzip.waitForFinished(-1);
        m_sheet.open(QIODevice::ReadOnly);
        m_xml.setDevice(&m_sheet);
    }

    QString dimension;

    // The next cell; false after the last.
    bool next(SheetCell& cell)
    {
        while (!m_xml.atEnd()) {
            if (m_xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (m_xml.name() == QLatin1String("dimension"))
                dimension = m_xml.attributes().value(QLatin1String("ref")).toString();
            if (m_xml.name() != QLatin1String("c"))
                continue;
            const QXmlStreamAttributes a = m_xml.attributes();
            cell.ref = a.value(QLatin1String("r")).toString();
            const int style = a.value(QLatin1String("s")).toInt();
            cell.format = m_formats.value(style);
            cell.fontSize = m_sizes.value(style);
            cell.kind = 'b';
            cell.text.clear();
            const bool inlineText = a.value(QLatin1String("t")) == QLatin1String("inlineStr");
            while (m_xml.readNext() != QXmlStreamReader::EndElement || m_xml.name() != QLatin1String("c")) {
                if (m_xml.atEnd())
                    return false;
                if (m_xml.tokenType() != QXmlStreamReader::StartElement)
                    continue;
                if (m_xml.name() == QLatin1String("v")) {
                    cell.kind = inlineText ? 's' : 'n';
                    cell.text = m_xml.readElementText();
                } else if (m_xml.name() == QLatin1String("t")) {
                    cell.kind = 's';
                    cell.text = m_xml.readElementText();
                }
            }
            return true;
        }
        return false;
    }

  private:
    QByteArray unzipped(const QString& book, const QString& part)
    {
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), book, part});
        unzip.waitForFinished(-1);
        return unzip.readAllStandardOutput();
    }
    void readStyles(const QByteArray& xml)
    {
        QDomDocument doc;
        doc.setContent(xml);
        QMap<int, QString> codes = {{0, QStringLiteral("General")}};
        const QDomNodeList fmts = doc.elementsByTagName(QStringLiteral("numFmt"));
        for (int i = 0; i < fmts.size(); ++i) {
            const QDomElement f = fmts.at(i).toElement();
            codes.insert(f.attribute(QStringLiteral("numFmtId")).toInt(),
                         f.attribute(QStringLiteral("formatCode")));
        }
        QList<double> sizes;
        const QDomNodeList fonts =
            doc.documentElement().firstChildElement(QStringLiteral("fonts")).childNodes();
        for (int i = 0; i < fonts.size(); ++i)
            sizes.append(fonts.at(i)
                             .firstChildElement(QStringLiteral("sz"))
                             .attribute(QStringLiteral("val"))
                             .toDouble());
        const QDomNodeList xfs =
            doc.documentElement().firstChildElement(QStringLiteral("cellXfs")).childNodes();
        for (int i = 0; i < xfs.size(); ++i) {
            const QDomElement xf = xfs.at(i).toElement();
            m_formats.append(codes.value(xf.attribute(QStringLiteral("numFmtId")).toInt()));
            m_sizes.append(sizes.value(xf.attribute(QStringLiteral("fontId")).toInt()));
        }
    }

    QTemporaryDir m_dir;
    QFile m_sheet;
    QXmlStreamReader m_xml;
    QStringList m_formats;
    QList<double> m_sizes;
};

// The first difference between two workbooks' cells; empty when they agree.
// cells: how many were compared.
QString FirstDifference(const QString& ours, const QString& bare, qint64& cells)
{
    SheetCells a(ours);
    SheetCells b(bare);
    SheetCell x;
    SheetCell y;
    cells = 0;
    for (;;) {
        const bool moreA = a.next(x);
        const bool moreB = b.next(y);
        if (!moreA && !moreB)
            break;
        if (moreA != moreB || !(x == y))
            return QStringLiteral("%1 %2 %3 %4 %5 / %6 %7 %8 %9 %10")
                .arg(x.ref, QString(QLatin1Char(x.kind)), x.text, x.format)
                .arg(x.fontSize)
                .arg(y.ref, QString(QLatin1Char(y.kind)), y.text, y.format)
                .arg(y.fontSize);
        ++cells;
    }
    if (a.dimension != b.dimension)
        return QStringLiteral("dimension %1 / %2").arg(a.dimension, b.dimension);
    return {};
}

void BM_ExportLineDetail(benchmark::State& state)
{
    const int months = int(state.range(0));
    dal_rpt_Report& report = Searched(months);
    BareExport bare(months);
    const QString folder = LineStore::Open(LineStore::kFewGoods).folder();
    const QString ours = folder + QStringLiteral("ours.xlsx");
    const QString plain = folder + QStringLiteral("bare.xlsx");
    Paired pair(1e3);
    double peakGrowth = 0;
    int rows = 0;
    bool written = true;
    for (auto _ : state) {
        QString error;
        int bareRows = 0;
        pair.Run(
            state,
            [&] {
                const bool reset = resetPeak();
                const qint64 before = reset ? statusKb("VmRSS") : statusKb("VmHWM");
                error = ExportAsTheWindow(report, ours, rows);
                peakGrowth = std::max(peakGrowth, double(statusKb("VmHWM") - before) / 1024.0);
            },
            [&] { bareRows = bare.Write(plain); });
        if (!error.isEmpty() || bareRows < 0) {
            state.SkipWithError("a workbook was not written");
            written = false;
            break;
        }
        if (rows != bareRows || rows != bare.rows) {
            state.SkipWithError("the workbooks hold different rows");
            written = false;
            break;
        }
    }
    if (written) {
        qint64 cells = 0;
        const QString difference = FirstDifference(ours, plain, cells);
        if (!difference.isEmpty())
            state.SkipWithError(("the workbooks' cells differ: " + difference.toStdString()).c_str());
        state.counters["cells_compared"] = double(cells);
    }
    pair.Report(state);
    state.counters["rows"] = rows;
    state.counters["columns"] = double(kHeadings.size());
    state.counters["peak_growth_MB"] = peakGrowth;
    state.counters["ours_MB"] = double(QFileInfo(ours).size()) / (1024.0 * 1024.0);
    state.counters["bare_MB"] = double(QFileInfo(plain).size()) / (1024.0 * 1024.0);
    QFile::remove(ours);
    QFile::remove(plain);
}

} // namespace

// 4 months (200,000 lines) and the whole year (600,000).
BENCHMARK(BM_ExportLineDetail)
    ->Arg(4)
    ->Arg(12)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4)
    ->UseManualTime();
