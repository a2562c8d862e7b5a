// A whole report exported to a workbook, end to end: the inbound line detail
// of February to May 2024 in the line store (LineStore, 20,000 goods:
// 200,000 lines), searched once, then read in its kept order with its 24
// export columns and written to .xlsx as the report window exports it (each
// value as stored to the cell its text gives: numbers as numbers with their
// decimals, codes and names as texts).
//
// Beside it, interleaved (Paired.h), the bare twin reads the same rows in
// the same order from the same file through a kept table of keys (the C API,
// the statement prepared once) and writes the same cells with libxlsxwriter
// in its constant-memory mode: the same title, headings, texts and blanks,
// and every number as a number with the same display format, typed by
// column, its value written with the 15 significant digits shown. peak_growth_MB is how far the process's
// peak memory rose above what it held before the program's export.
#include "BareSql.h"
#include "ExcelExport.h"
#include "LineStore.h"
#include "Paired.h"
#include "RowReader.h"
#include "dal_rpt_Reports.h"
#include "sqlHelper.h"

#include <QFile>
#include <QFileInfo>
#include <array>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
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

// The line detail of February to May 2024, kept by a search as the window
// runs it.
dal_rpt_Report& Searched()
{
    static std::unique_ptr<dal_rpt_Report> report;
    LineStore::Open(LineStore::kFewGoods);
    if (!report) {
        report = std::make_unique<dal_rpt_rkDetail>();
        ReportFill fill;
        fill.accountList = QStringLiteral("2,5,0");
        fill.conditions.append(
            m_condition(SearchKey::CreateTime, QStringLiteral(">="), LineStore::MonthStart(8)));
        fill.conditions.append(
            m_condition(SearchKey::CreateTime, QStringLiteral("<"), LineStore::MonthStart(12)));
        fill.conditions.append(
            m_condition(SearchKey::Account, QStringLiteral("in"), NList(fill.accountList)));
        m_PageInfor page;
        page.int_PageSize = 20;
        page.int_currentPageIndex = 1;
        page.sortKey = report->SortBy(QStringLiteral("createTime"));
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

// How a column is written: a text (blank for Null), a number in its
// shortest form (as the program's value text has it), or a number rounded to
// 3 places shown with 1 to 3 (a "#0.0##" figure; 0 shown as "0" where the
// program writes "0").
enum Cell { Text, Plain, Fixed3, Fixed3Zero };

const Cell kCells[24] = {Text,  Text,       Text,  Text,  Text,  Text,   Text,  Text,
                         Text,  Text,       Text,  Plain, Plain, Fixed3, Plain, Fixed3Zero,
                         Plain, Fixed3Zero, Plain, Text,  Text,  Text,   Text,  Text};

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

class BareExport
{
  public:
    BareExport()
    {
        BareStatement::ExecPlain(
            "CREATE TEMP TABLE IF NOT EXISTS bare_export_keys (pos INTEGER PRIMARY KEY, id INTEGER)");
        BareStatement::ExecPlain("DELETE FROM bare_export_keys");
        BareStatement keep(QStringLiteral(
            "INSERT INTO bare_export_keys (id) SELECT d.id FROM tb_rk_head AS h INDEXED BY ix_rk_head_time "
            "CROSS JOIN tb_rk_detail AS d INDEXED BY ix_rk_detail_head ON d.headId = h.id "
            "WHERE h.createTime >= ? AND h.createTime < ? AND h.accountId IN (2,5,0) "
            "ORDER BY substr(h.createTime, 1, 10) DESC, d.id DESC"));
        rows = keep.Exec({LineStore::MonthStart(8), LineStore::MonthStart(12)});
        const QByteArray sql =
            "SELECT (SELECT uname FROM tb_dictionary WHERE id = h.accountId), "
            "CASE WHEN h.ispass = 0 THEN '未审核' ELSE '已审核' END, h.billNo, h.ubillNo, "
            "(SELECT uname FROM tb_dictionary WHERE id = h.utypeId), h.supplierName, d.goodsTypeName, "
            "d.goodsCode, "
            "d.goodsName, d.goodsDesc, d.unit, d.packQty, d.weight, d.inPrice, d.qty, d.qty * d.inPrice, "
            "d.qty * d.packQty, d.qty * d.packQty / (SELECT CASE WHEN COUNT(*) = 1 AND MAX(u.packQty) > 0 "
            "THEN "
            "MAX(u.packQty) END FROM tb_goods_detail AS u WHERE u.headId = d.goodsId AND u.isDefault = 1), "
            "d.qty * d.weight, (SELECT locationCode FROM tb_location WHERE id = d.locationId), d.lotNo, "
            "d.remark, "
            "h.creator, substr(h.createTime, 1, 10) FROM bare_export_keys AS k CROSS JOIN tb_rk_detail AS d "
            "ON d.id = k.id CROSS JOIN tb_rk_head AS h ON h.id = d.headId ORDER BY k.pos";
        if (sqlite3_prepare_v2(BareStatement::Handle(), sql.constData(), int(sql.size()), &m_stmt, nullptr) !=
            SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(BareStatement::Handle()));
    }
    ~BareExport() { sqlite3_finalize(m_stmt); }
    BareExport(const BareExport&) = delete;
    BareExport& operator=(const BareExport&) = delete;

    // Writes the workbook; the rows written, or -1 when it failed.
    int Write(const QString& path)
    {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        lxw_workbook* book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
        lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
        FifteenDigitValues::Install(sheet);
        lxw_format* text = workbook_add_format(book);
        format_set_font_size(text, 10);
        std::array<lxw_format*, 16> numbers{};
        for (int d = 0; d < int(numbers.size()); ++d) {
            numbers[size_t(d)] = workbook_add_format(book);
            format_set_font_size(numbers[size_t(d)], 10);
            const QByteArray pattern = d > 0 ? "0." + QByteArray(d, '0') : QByteArray("0");
            format_set_num_format(numbers[size_t(d)], pattern.constData());
        }
        worksheet_set_column(sheet, 0, LXW_COL_MAX - 1, LXW_DEF_COL_WIDTH, text);
        worksheet_write_string(sheet, 0, 0, kTitle.toUtf8().constData(), text);
        for (int c = 0; c < kHeadings.size(); ++c)
            worksheet_write_string(sheet, 1, lxw_col_t(c), kHeadings.at(c).toUtf8().constData(), text);
        int r = 0;
        int rc;
        while ((rc = sqlite3_step(m_stmt)) == SQLITE_ROW) {
            const lxw_row_t at = lxw_row_t(r + 2);
            for (int c = 0; c < 24; ++c) {
                const lxw_col_t col = lxw_col_t(c);
                if (sqlite3_column_type(m_stmt, c) == SQLITE_NULL) {
                    worksheet_write_blank(sheet, at, col, text);
                    continue;
                }
                if (kCells[c] == Text) {
                    worksheet_write_string(
                        sheet, at, col, reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, c)), text);
                    continue;
                }
                double value = sqlite3_column_double(m_stmt, c);
                int decimals = 0;
                if (kCells[c] == Plain) {
                    decimals = PlainDecimals(value);
                } else {
                    const double thousandths = std::round(value * 1000);
                    value = thousandths / 1000;
                    decimals = kCells[c] == Fixed3Zero && thousandths == 0 ? 0 : Fixed3Decimals(thousandths);
                }
                worksheet_write_number(sheet, at, col, value, numbers[size_t(decimals)]);
            }
            ++r;
        }
        sqlite3_reset(m_stmt);
        const bool closed = workbook_close(book) == LXW_NO_ERROR;
        return rc == SQLITE_DONE && closed ? r : -1;
    }

    int rows = 0;

  private:
    // The places of a value's shortest form (at most 15 significant digits).
    static int PlainDecimals(double value)
    {
        const double thousandths = std::round(value * 1000);
        if (std::fabs(value * 1000 - thousandths) < 1e-6) {
            int d = 3;
            for (qint64 m = qint64(thousandths); d > 0 && m % 10 == 0; m /= 10)
                --d;
            return d;
        }
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.15g", value);
        const char* point = std::strchr(buffer, '.');
        return point ? int(std::strlen(point + 1)) : 0;
    }
    // 1 to 3 places of a count of thousandths.
    static int Fixed3Decimals(double thousandths)
    {
        int d = 3;
        for (qint64 m = qint64(thousandths); d > 1 && m % 10 == 0; m /= 10)
            --d;
        return d;
    }

    sqlite3_stmt* m_stmt = nullptr;
};

void BM_ExportLineDetail(benchmark::State& state)
{
    dal_rpt_Report& report = Searched();
    BareExport bare;
    const QString folder = LineStore::Open(LineStore::kFewGoods).folder();
    const QString ours = folder + QStringLiteral("ours.xlsx");
    const QString plain = folder + QStringLiteral("bare.xlsx");
    Paired pair(1e3);
    double peakGrowth = 0;
    int rows = 0;
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
            break;
        }
        if (rows != bareRows || rows != bare.rows) {
            state.SkipWithError("the workbooks hold different rows");
            break;
        }
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

BENCHMARK(BM_ExportLineDetail)->Unit(benchmark::kMillisecond)->Iterations(4)->UseManualTime();
