// Export of a whole report to a workbook: 600,000 bill lines with their
// heads, read from the database and written to .xlsx. "Streamed" reads the
// rows forward one at a time into a constant-memory workbook; "Copied" copies
// the result into a RecordSet and an ExportData first (all rows in memory at once).
// peak_growth_MB is how far the process's peak memory rose above what it held
// before the export. "WriteWide" measures the writing alone: 24 columns of
// bill-line texts written by the export beside a plain libxlsxwriter loop that
// writes the same cells with the same formats, interleaved in the same run.
#include "BenchData.h"
#include "ExcelExport.h"
#include "Paired.h"
#include "RecordSet.h"
#include "RowReader.h"
#include "sqlHelper.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <benchmark/benchmark.h>
#include <vector>
#include <xlsxwriter.h>

namespace
{

constexpr int kHeads = 20000;
constexpr int kLinesPerHead = 30; // 600,000 lines

BenchData& data()
{
    static BenchData* d = [] {
        auto* bench = new BenchData;
        bench->Fill([bench] {
            // The export reads lines whatever goods they name; no goods item is stored here.
            bench->AddBillReferences(500);
            ExecuteSql(QStringLiteral("DROP TRIGGER tr_rk_detail_refs_insert"));
            ExecuteSql(QStringLiteral(
                           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                           "INSERT INTO tb_rk_head (id, billNo, utypeId, supplierId, supplierName, creator, "
                           "createTime) "
                           "SELECT i, 'RK' || printf('%08d', i), i % 3, i % 500, '供应商' || (i % 500) || "
                           "'有限公司', "
                           "'admin', date('2024-01-01', '+' || (i % 365) || ' days') || ' 08:00:00' FROM n")
                           .arg(kHeads));
            ExecuteSql(
                QStringLiteral(
                    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                    "INSERT INTO tb_rk_detail (id, headId, rowNo, goodsId, goodsCode, goodsName, unit, "
                    "inPrice, packQty, qty, remark) "
                    "SELECT i, (i - 1) / %2 + 1, (i - 1) % %2 + 1, i % 25000, 'G' || printf('%07d', i % "
                    "25000), "
                    "'康师傅绿茶' || (i % 997) || 'ml', '箱', (i % 1000) / 10.0 + 0.5, 12, i % 37 + 1, "
                    "CASE WHEN i % 4 = 0 THEN NULL ELSE '备注' || i END FROM n")
                    .arg(kHeads * kLinesPerHead)
                    .arg(kLinesPerHead));
        });
        return bench;
    }();
    return *d;
}

const QString kReport = QStringLiteral(
    "SELECT h.billNo, h.createTime, h.supplierName, d.rowNo, d.goodsCode, d.goodsName, d.unit, d.qty, "
    "d.inPrice, d.qty * d.inPrice AS amount, d.remark "
    "FROM tb_rk_head h JOIN tb_rk_detail d ON d.headId = h.id "
    "WHERE h.createTime >= @from ORDER BY h.createTime, h.id, d.rowNo");
const QStringList kHeadings =
    QStringLiteral("单号,日期,供应商,行,编码,名称,单位,数量,单价,金额,备注").split(',');

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

void report(benchmark::State& state, qint64 beforeKb, const QString& path, int rows)
{
    state.counters["peak_growth_MB"] = double(statusKb("VmHWM") - beforeKb) / 1024.0;
    state.counters["rows"] = rows;
    state.counters["file_MB"] = double(QFileInfo(path).size()) / (1024.0 * 1024.0);
}

const ParamMap kParams{{QStringLiteral("@from"), QStringLiteral("2024-01-01")}};

void BM_ExportStreamed(benchmark::State& state)
{
    data().Use();
    const QString path = data().folder() + QStringLiteral("streamed.xlsx");
    for (auto _ : state) {
        QFile::remove(path);
        const bool reset = resetPeak();
        const qint64 before = reset ? statusKb("VmRSS") : statusKb("VmHWM");
        const std::unique_ptr<RowReader> reader = OpenRowReader(kReport, kParams);
        int rows = 0;
        const ExportRows source = ExportRowsOf(*reader);
        const QString error = WriteExcelWorkbook(
            path, [&](QStringList& row) { return source(row) && ++rows; }, QStringLiteral("入库明细"),
            kHeadings);
        if (!error.isEmpty())
            state.SkipWithError(error.toUtf8().constData());
        report(state, before, path, rows);
    }
}

void BM_ExportCopied(benchmark::State& state)
{
    data().Use();
    const QString path = data().folder() + QStringLiteral("copied.xlsx");
    for (auto _ : state) {
        QFile::remove(path);
        const bool reset = resetPeak();
        const qint64 before = reset ? statusKb("VmRSS") : statusKb("VmHWM");
        const ExportData rows = RecordSetToArray(ExecuteSql(kReport, kParams));
        const QString error =
            WriteExcelWorkbook(path, ExportRowsOf(rows), QStringLiteral("入库明细"), kHeadings);
        if (!error.isEmpty())
            state.SkipWithError(error.toUtf8().constData());
        report(state, before, path, rows.rowCount);
    }
}

// ---- writing alone: the program's writer beside a plain libxlsxwriter loop ----

constexpr int kColumns = 24;
constexpr int kPoolRows = 997;

// A row of a wide bill-line report as the export gets it (texts), in the
// shapes such a report holds: codes, names, dates, barcodes, counts, amounts
// of two and three decimals, empty remarks.
QStringList poolRow(int i)
{
    const auto money = [](int cents) {
        return QString::number(cents / 100) + QStringLiteral(".%1").arg(cents % 100, 2, 10, QLatin1Char('0'));
    };
    return {
        QStringLiteral("rk-24%1-%2").arg(1 + i % 12, 2, 10, QLatin1Char('0')).arg(i, 5, 10, QLatin1Char('0')),
        QStringLiteral("2024-%1-15 08:30:00").arg(1 + i % 12, 2, 10, QLatin1Char('0')),
        QStringLiteral("供应商%1有限公司").arg(i % 500),
        QString::number(1 + i % 30),
        QStringLiteral("G%1").arg(i % 25000, 7, 10, QLatin1Char('0')),
        QStringLiteral("康师傅绿茶%1ml").arg(i % 997),
        QStringLiteral("500ml×%1").arg(1 + i % 24),
        QStringLiteral("饮料"),
        QStringLiteral("69%1%2").arg(i, 9, 10, QLatin1Char('0')).arg(1 + i % 4, 2, 10, QLatin1Char('0')),
        QStringLiteral("箱"),
        QString::number(12),
        QString::number(1 + i % 37),
        QString::number((1 + i % 37) * 12),
        money(50 + i * 7 % 100000),
        money((50 + i * 7 % 100000) * (1 + i % 37)),
        QStringLiteral("%1.%2").arg(i % 40).arg(i % 1000, 3, 10, QLatin1Char('0')),
        QStringLiteral("A-%1-%2").arg(i % 20, 2, 10, QLatin1Char('0')).arg(i % 7, 2, 10, QLatin1Char('0')),
        i % 3 == 0 ? QString() : QStringLiteral("L%1").arg(20240000 + i),
        i % 4 == 0 ? QString() : QStringLiteral("备注%1").arg(i),
        QStringLiteral("admin"),
        QStringLiteral("默认账套"),
        QStringLiteral("采购入库"),
        i % 3 == 0 ? QStringLiteral("已审核") : QStringLiteral("未审核"),
        i % 5 == 0 ? QStringLiteral("0.333333333333333") : QStringLiteral("007")};
}

const QList<QStringList>& textPool()
{
    static const QList<QStringList> pool = [] {
        QList<QStringList> rows;
        for (int i = 0; i < kPoolRows; ++i)
            rows.append(poolRow(i));
        return rows;
    }();
    return pool;
}

// The same cells typed once, for the plain loop: each one blank, a number
// with its count of decimals, or a text, as the sheet must hold it.
struct TypedCell {
    enum Kind { Blank, Number, Text } kind = Blank;
    double number = 0;
    int decimals = -1;
    QByteArray text;
};

const std::vector<std::vector<TypedCell>>& typedPool()
{
    static const std::vector<std::vector<TypedCell>> pool = [] {
        // Which columns hold numbers, and with how many decimals.
        const QMap<int, int> numeric{{3, 0}, {10, 0}, {11, 0}, {12, 0}, {13, 2}, {14, 2}, {15, 3}};
        std::vector<std::vector<TypedCell>> rows;
        for (const QStringList& texts : textPool()) {
            std::vector<TypedCell> row(kColumns);
            for (int c = 0; c < kColumns; ++c) {
                const QString& t = texts.at(c);
                TypedCell& cell = row[size_t(c)];
                if (t.isEmpty()) {
                    cell.kind = TypedCell::Blank;
                } else if (numeric.contains(c) || t == QLatin1String("0.333333333333333")) {
                    cell.kind = TypedCell::Number;
                    cell.number = t.toDouble();
                    cell.decimals = numeric.value(c, 15);
                } else {
                    cell.kind = TypedCell::Text;
                    cell.text = t.toUtf8();
                }
            }
            rows.push_back(std::move(row));
        }
        return rows;
    }();
    return pool;
}

const QStringList& wideHeadings()
{
    static const QStringList h =
        QStringLiteral("单号,日期,供应商,行,编码,名称,规格,类别,条码,单位,内装数,数量,总数,单价,金额,重量,"
                       "库位,批号,备注,制单,账套,类型,状态,比例")
            .split(QLatin1Char(','));
    return h;
}

// The plain loop: a constant-memory workbook (as the program writes one),
// font size 10 for every cell and the sheet's columns, a display format per
// count of decimals made up front, each cell written as what it is.
bool writePlain(const QString& path, int rows)
{
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    lxw_format* text = workbook_add_format(book);
    format_set_font_size(text, 10);
    lxw_format* numbers[16] = {};
    for (int d = 0; d < 16; ++d) {
        numbers[d] = workbook_add_format(book);
        format_set_font_size(numbers[d], 10);
        const QByteArray pattern = d > 0 ? "0." + QByteArray(d, '0') : QByteArray("0");
        format_set_num_format(numbers[d], pattern.constData());
    }
    worksheet_set_column(sheet, 0, LXW_COL_MAX - 1, LXW_DEF_COL_WIDTH, text);
    worksheet_write_string(sheet, 0, 0, "宽表", text);
    for (int c = 0; c < kColumns; ++c)
        worksheet_write_string(sheet, 1, lxw_col_t(c), wideHeadings().at(c).toUtf8().constData(), text);
    const auto& pool = typedPool();
    for (int r = 0; r < rows; ++r) {
        const std::vector<TypedCell>& row = pool[size_t(r % kPoolRows)];
        for (int c = 0; c < kColumns; ++c) {
            const TypedCell& cell = row[size_t(c)];
            const lxw_row_t at = lxw_row_t(r + 2);
            switch (cell.kind) {
            case TypedCell::Blank:
                worksheet_write_blank(sheet, at, lxw_col_t(c), text);
                break;
            case TypedCell::Number:
                worksheet_write_number(sheet, at, lxw_col_t(c), cell.number, numbers[cell.decimals]);
                break;
            case TypedCell::Text:
                worksheet_write_string(sheet, at, lxw_col_t(c), cell.text.constData(), text);
                break;
            }
        }
    }
    return workbook_close(book) == LXW_NO_ERROR;
}

// The export's writer on the same rows (as texts) beside the plain loop.
void BM_ExportWriteWide(benchmark::State& state)
{
    const int rows = int(state.range(0));
    data(); // the temporary folder
    const QString ours = data().folder() + QStringLiteral("ours.xlsx");
    const QString plain = data().folder() + QStringLiteral("plain.xlsx");
    textPool();
    typedPool();
    Paired pair(1e3);
    for (auto _ : state) {
        QString error;
        bool plainOk = false;
        pair.Run(
            state,
            [&] {
                int next = 0;
                error = WriteExcelWorkbook(
                    ours,
                    [&](QStringList& row) {
                        if (next >= rows)
                            return false;
                        row = textPool().at(next++ % kPoolRows);
                        return true;
                    },
                    QStringLiteral("宽表"), wideHeadings());
            },
            [&] { plainOk = writePlain(plain, rows); });
        if (!error.isEmpty() || !plainOk)
            state.SkipWithError("a workbook was not written");
    }
    pair.Report(state);
    state.counters["ours_MB"] = double(QFileInfo(ours).size()) / (1024.0 * 1024.0);
    state.counters["bare_MB"] = double(QFileInfo(plain).size()) / (1024.0 * 1024.0);
    QFile::remove(ours);
    QFile::remove(plain);
}

} // namespace

BENCHMARK(BM_ExportWriteWide)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseManualTime();
BENCHMARK(BM_ExportStreamed)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_ExportCopied)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
