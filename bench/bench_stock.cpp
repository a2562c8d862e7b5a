// The stock report's search rebuilds the balance of every goods item from
// every audited bill line; the report then shows its first page. Measured on
// 100,000 goods items and 1,000,000 audited lines (plus unaudited bills and
// bills of a tag not listed, which the rebuild must pass over), against the
// same aggregate run as bare SQL on the same connection.
#include "BareSql.h"
#include "BenchData.h"
#include "dal_rpt_stock.h"
#include "sqlHelper.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <memory>
#include <random>

namespace
{

constexpr int kGoods = 100000;
constexpr int kAuditedLines = 1000000;
constexpr int kInboundShare = 60; // percent of the audited lines
constexpr int kLinesPerBill = 25;
const QString kAccounts = QStringLiteral("2,5,0");

// Bills of one direction: audited ones of the listed tags, then unaudited
// ones and audited ones of tag 7 (10 % more lines each).
void addBills(BenchData& db, const QString& dir, int auditedLines, std::mt19937& rng)
{
    std::uniform_int_distribution<int> goods(1, kGoods);
    std::uniform_int_distribution<int> qty(1, 50);
    std::uniform_int_distribution<int> pick(0, 9);
    db.Fill([&] {
        int headId = db.NextId(QStringLiteral("tb_%1_head").arg(dir));
        int lineId = db.NextId(QStringLiteral("tb_%1_detail").arg(dir));
        BenchData::Inserter head(
            QStringLiteral("insert into tb_%1_head (id,accountId,billNo,ispass,createTime)"
                           " values (?,?,?,?,'2024-03-01')")
                .arg(dir));
        BenchData::Inserter line(
            QStringLiteral("insert into tb_%1_detail (id,headId,rowNo,goodsId,goodsCode,"
                           "goodsName,unit,packQty,weight,qty) values (?,?,?,?,?,?,?,?,?,?)")
                .arg(dir));
        const int extra = auditedLines / 10;
        const int total = auditedLines + 2 * extra;
        for (int n = 0; n < total; n += kLinesPerBill) {
            const bool audited = n < auditedLines || n >= auditedLines + extra;
            const int account = n < auditedLines ? (headId % 2 ? 2 : 5) : 7;
            head.Row({headId, account,
                      QStringLiteral("%1-2403-%2").arg(dir).arg(headId, 5, 10, QLatin1Char('0')),
                      audited ? 1 : 0});
            for (int k = 0; k < kLinesPerBill && n + k < total; ++k) {
                const int g = goods(rng);
                const bool box = pick(rng) < 4; // the unit of 6 pieces, else the single piece
                double q = qty(rng);
                if (pick(rng) == 0)
                    q += 0.25; // now and then a part of a unit
                line.Row({lineId++, headId, k + 1, g, BenchData::GoodsCode(g), QStringLiteral("n"),
                          box ? QStringLiteral("箱") : QStringLiteral("个"), box ? 6.0 : 1.0, box ? 3.0 : 0.5,
                          q});
            }
            ++headId;
        }
    });
}

BenchData& store()
{
    static std::unique_ptr<BenchData> db;
    return BenchData::Once(db, [](BenchData& d) {
        BenchData::GoodsPlan setup;
        setup.goodsCount = kGoods;
        setup.unitsPerGoods = 2;
        d.AddGoods(setup);
        std::mt19937 rng(7);
        addBills(d, QStringLiteral("rk"), kAuditedLines * kInboundShare / 100, rng);
        addBills(d, QStringLiteral("ck"), kAuditedLines * (100 - kInboundShare) / 100, rng);
        ExecuteSql(QStringLiteral("analyze"));
    });
}

// The same aggregate as bare SQL on the same connection: the audited heads of
// the listed tags first, their lines through the line index, the grouped sums
// of both directions per default unit, each sum written in its fixed number
// of places (printf standing in for the program's number forms).
const char* const kBareColumns =
    "id INTEGER, goodsTypeId INTEGER, goodsTypeName TEXT, goodsCode TEXT, goodsName TEXT, goodsDesc TEXT, "
    "pinyin TEXT, upqty REAL, downqty REAL, status TEXT, isDefault INTEGER, unit TEXT, inQty TEXT, "
    "inDefault TEXT, inWeight TEXT, outQty TEXT, outDefault TEXT, outWeight TEXT, balanceQty TEXT, "
    "balanceDefault TEXT, balanceWeight TEXT";
const char* const kBareAggregate = R"SQL(
INSERT INTO bare_stock
SELECT b.id, b.goodsTypeId, COALESCE((SELECT uname FROM tb_dictionary WHERE id = b.goodsTypeId), '') AS goodsTypeName,
       b.goodsCode, b.goodsName, b.goodsDesc, b.pinyin, b.upqty, b.downqty, b.status, a.isDefault, a.unit,
       printf('%.3f', COALESCE(i.pieces, 0)) AS inQty,
       printf('%.3f', CASE WHEN a.packQty = 0 THEN 0 ELSE COALESCE(i.pieces, 0) / a.packQty END) AS inDefault,
       printf('%.2f', COALESCE(i.weight, 0)) AS inWeight,
       printf('%.3f', COALESCE(o.pieces, 0)) AS outQty,
       printf('%.3f', CASE WHEN a.packQty = 0 THEN 0 ELSE COALESCE(o.pieces, 0) / a.packQty END) AS outDefault,
       printf('%.2f', COALESCE(o.weight, 0)) AS outWeight,
       printf('%.3f', COALESCE(i.pieces, 0) - COALESCE(o.pieces, 0)) AS balanceQty,
       printf('%.3f', CASE WHEN a.packQty = 0 THEN 0 ELSE (COALESCE(i.pieces, 0) - COALESCE(o.pieces, 0)) / a.packQty END) AS balanceDefault,
       printf('%.2f', COALESCE(i.weight, 0) - COALESCE(o.weight, 0)) AS balanceWeight
FROM tb_goods_detail AS a JOIN tb_goods_head AS b ON b.id = a.headId
LEFT JOIN (SELECT d.goodsId, SUM(d.qty * d.packQty) AS pieces, SUM(d.qty * d.weight) AS weight
           FROM (SELECT id FROM tb_rk_head WHERE ispass = 1 AND accountId IN (2,5,0)) AS h
           CROSS JOIN tb_rk_detail AS d ON d.headId = h.id GROUP BY d.goodsId) AS i ON i.goodsId = b.id
LEFT JOIN (SELECT d.goodsId, SUM(d.qty * d.packQty) AS pieces, SUM(d.qty * d.weight) AS weight
           FROM (SELECT id FROM tb_ck_head WHERE ispass = 1 AND accountId IN (2,5,0)) AS h
           CROSS JOIN tb_ck_detail AS d ON d.headId = h.id GROUP BY d.goodsId) AS o ON o.goodsId = b.id
WHERE a.isDefault = 1
)SQL";

void BM_StockRebuild(benchmark::State& state)
{
    store();
    dal_rpt_stock dal;
    for (auto _ : state) {
        const m_DBresult r = dal.insert_temp_rpt_stock(kAccounts);
        if (!r.isResult)
            state.SkipWithError(r.str_MsgBox.toStdString().c_str());
    }
    state.counters["goods"] = kGoods;
    state.counters["lines"] = kAuditedLines;
}
BENCHMARK(BM_StockRebuild)->Unit(benchmark::kMillisecond)->Iterations(3);

// The bare twin: the same transaction (empty the table, fill it) with the
// statements prepared once.
void BM_StockRebuildBare(benchmark::State& state)
{
    store();
    BareStatement::ExecPlain(
        (std::string("CREATE TEMP TABLE IF NOT EXISTS bare_stock (") + kBareColumns + ")").c_str());
    BareStatement begin(QStringLiteral("BEGIN IMMEDIATE"));
    BareStatement empty(QStringLiteral("DELETE FROM bare_stock"));
    BareStatement fill(QString::fromUtf8(kBareAggregate));
    BareStatement commit(QStringLiteral("COMMIT"));
    for (auto _ : state) {
        begin.Exec();
        empty.Exec();
        fill.Exec();
        commit.Exec();
    }
}
BENCHMARK(BM_StockRebuildBare)->Unit(benchmark::kMillisecond)->Iterations(3);

// After a search (the rebuild, the count and the keys of its rows in the
// report's first order, goodsCode descending), with and without a keyword
// and the zero-balance filter: the first page of 20 rows read again.
void BM_FirstPageAfterSearch(benchmark::State& state)
{
    store();
    dal_rpt_stock dal;
    m_conditions conds;
    if (state.range(0) == 1)
        conds.append(
            m_condition(dal_rpt_stock::KeywordField(), QStringLiteral("like"), QStringLiteral("可乐")));
    if (state.range(0) == 2)
        conds.append(m_condition(dal_rpt_stock::BalanceField(), QStringLiteral("<>"), 0));
    m_PageInfor page;
    page.str_orderBy = QStringLiteral("goodsCode");
    page.isDesc = true;
    page.int_currentPageIndex = 1;
    page.int_PageSize = 20;
    const m_recordSet searched = dal.GetListForCondition(conds, kAccounts, page);
    if (!searched.str_MsgBox.isEmpty()) {
        state.SkipWithError("search failed");
        return;
    }
    for (auto _ : state) {
        const RecordSetPtr rs = dal.GetPage(searched.str_condition, page);
        benchmark::DoNotOptimize(rs);
    }
    state.counters["rows"] = searched.recordCount;
}
BENCHMARK(BM_FirstPageAfterSearch)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// A later page ordered by a total (numeric order over the text column),
// after the search's rows were sorted by it once.
void BM_PageByBalance(benchmark::State& state)
{
    store();
    dal_rpt_stock dal;
    m_PageInfor page;
    page.str_orderBy = QStringLiteral("goodsCode");
    page.isDesc = true;
    page.int_currentPageIndex = 1;
    page.int_PageSize = 20;
    if (!dal.GetListForCondition({}, kAccounts, page).str_MsgBox.isEmpty()) {
        state.SkipWithError("search failed");
        return;
    }
    page.str_orderBy = dal_rpt_stock::OrderExpression(QStringLiteral("totalBlanceQty"));
    page.isDesc = false;
    page.recordCount = dal.Reorder(page);
    page.int_currentPageIndex = 2000;
    for (auto _ : state) {
        const RecordSetPtr rs = dal.GetPage({}, page);
        benchmark::DoNotOptimize(rs);
    }
}
BENCHMARK(BM_PageByBalance)->Unit(benchmark::kMillisecond);

} // namespace
