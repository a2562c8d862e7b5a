// Export of a whole report to a workbook: 600,000 bill lines with their
// heads, read from the database and written to .xlsx. "Streamed" reads the
// rows forward one at a time into a constant-memory workbook; "Copied" copies
// the result into a RecordSet and an ExportData first (all rows in memory at once).
// peak_growth_MB is how far the process's peak memory rose above what it held
// before the export.
#include "BenchData.h"
#include "ExcelExport.h"
#include "RecordSet.h"
#include "RowReader.h"
#include "sqlHelper.h"

#include <QFile>
#include <QFileInfo>
#include <benchmark/benchmark.h>

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
        RowReader reader(kReport, kParams);
        int rows = 0;
        const ExportRows source = ExportRowsOf(reader);
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

} // namespace

BENCHMARK(BM_ExportStreamed)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_ExportCopied)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
