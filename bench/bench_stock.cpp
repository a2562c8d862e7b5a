// The stock report on the line store (LineStore: 1,000,000 lines of both
// directions, a quarter unaudited and a tenth of the outbound bills of a tag
// not listed, which the sums pass over; 20,000 and then 500,000 goods
// items). Its search rebuilds the balance of every goods item from every
// audited line of the listed tags, keeps the result in its order and reads
// the first page. Each measure beside its bare twin on SQLite's C API,
// interleaved (Paired.h): the same table of every goods item with its nine
// figures exact (the twin's own sums over scaled integers, BareExact.h) in
// the program's forms, the same kept keys, the same pages, each statement
// prepared once on the same connection and file. Each run compares the two
// tables cell by cell.
#include "BareExact.h"
#include "BareSql.h"
#include "LineStore.h"
#include "Paired.h"
#include "dal_rpt_stock.h"
#include "sqlHelper.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <memory>

namespace
{

using LineStore::kFewGoods;
using LineStore::kManyGoods;

const QString kAccounts = QStringLiteral("2,5,0");

enum Filter { None, Keyword, NonZero };
const char* const kFilterNames[] = {"no filter", "keyword 可乐", "balance not 0"};

m_conditions Conditions(Filter filter)
{
    m_conditions conds;
    if (filter == Keyword)
        conds.append(
            m_condition(dal_rpt_stock::KeywordField(), QStringLiteral("like"), QStringLiteral("可乐")));
    if (filter == NonZero)
        conds.append(m_condition(dal_rpt_stock::BalanceField(), QStringLiteral("<>"), 0));
    return conds;
}

m_PageInfor FirstPage()
{
    m_PageInfor page;
    page.str_orderBy = QStringLiteral("goodsCode");
    page.isDesc = true;
    page.int_currentPageIndex = 1;
    page.int_PageSize = 20;
    return page;
}

std::string Label(int goods, Filter filter = None)
{
    return std::to_string(goods) + " goods, " + kFilterNames[filter];
}

std::vector<qint64> PageIds(const RecordSetPtr& rows)
{
    std::vector<qint64> ids;
    for (int r = 0; rows && r < rows->RecordCount(); ++r)
        ids.push_back(rows->integer(r, QStringLiteral("id")));
    return ids;
}

// ---- the bare twin

// Every goods item's default unit with the sums of both directions: the
// audited heads of the listed tags first, their lines through the line
// index, grouped per goods item; the figures in the program's forms.
const char* const kBareColumns =
    "id INTEGER, goodsTypeId INTEGER, goodsTypeName TEXT, goodsCode TEXT COLLATE NOCASE, goodsName TEXT, "
    "goodsDesc TEXT, pinyin TEXT, upqty REAL, downqty REAL, status TEXT, isDefault INTEGER, unit TEXT, "
    "inQty TEXT, inDefault TEXT, inWeight TEXT, outQty TEXT, outDefault TEXT, outWeight TEXT, "
    "balanceQty TEXT, balanceDefault TEXT, balanceWeight TEXT";

// The sums exact (bare_sum, counts of 10^-6), written in the program's
// forms: pieces and default units "#0.0##", weights "#0.0#", each "0" when it
// rounds to 0; the balances the plain differences of the rounded sums.
QString BareRebuild()
{
    const auto pieces = [](const QString& s) { return QStringLiteral("bare_text(%1, 6, 3, 1, '0')").arg(s); };
    const auto weight = [](const QString& s) { return QStringLiteral("bare_text(%1, 6, 2, 1, '0')").arg(s); };
    // Default units as a count of 10^-3.
    const auto units = [](const QString& s) {
        return QStringLiteral("CASE WHEN packQty = 0 THEN 0 ELSE bare_div(%1, packQty) END").arg(s);
    };
    const QString perGoods = QStringLiteral(
        "SELECT d.goodsId, bare_sum(d.qty, d.packQty) AS pieces, bare_sum(d.qty, d.weight) AS "
        "weight FROM (SELECT id FROM tb_%1_head WHERE ispass = 1 AND accountId IN (2,5,0)) AS h "
        "CROSS JOIN tb_%1_detail AS d ON d.headId = h.id GROUP BY d.goodsId");
    return QStringLiteral("INSERT INTO bare_stock WITH i AS MATERIALIZED (") +
           perGoods.arg(QStringLiteral("rk")) + QStringLiteral("), o AS MATERIALIZED (") +
           perGoods.arg(QStringLiteral("ck")) +
           QStringLiteral(
               "), s AS (SELECT b.id, b.goodsTypeId, COALESCE((SELECT uname FROM tb_dictionary WHERE id = "
               "b.goodsTypeId), '') AS goodsTypeName, b.goodsCode, b.goodsName, b.goodsDesc, b.pinyin, "
               "b.upqty, b.downqty, b.status, a.isDefault, a.unit, a.packQty, COALESCE(i.pieces, 0) AS "
               "inPieces, COALESCE(i.weight, 0) AS inWeight, COALESCE(o.pieces, 0) AS outPieces, "
               "COALESCE(o.weight, 0) AS outWeight FROM tb_goods_detail AS a JOIN tb_goods_head AS b ON "
               "b.id = a.headId LEFT JOIN i ON i.goodsId = b.id LEFT JOIN o ON o.goodsId = b.id WHERE "
               "a.isDefault = 1) "
               "SELECT id, goodsTypeId, goodsTypeName, goodsCode, goodsName, goodsDesc, pinyin, upqty, "
               "downqty, status, isDefault, unit, ") +
           pieces(QStringLiteral("inPieces")) + QStringLiteral(", bare_text(") +
           units(QStringLiteral("inPieces")) + QStringLiteral(", 3, 3, 1, '0'), ") +
           weight(QStringLiteral("inWeight")) + QStringLiteral(", ") + pieces(QStringLiteral("outPieces")) +
           QStringLiteral(", bare_text(") + units(QStringLiteral("outPieces")) +
           QStringLiteral(", 3, 3, 1, '0'), ") + weight(QStringLiteral("outWeight")) +
           QStringLiteral(", bare_text(bare_round(inPieces, 6, 3) - bare_round(outPieces, 6, 3), 3, 3, 0)"
                          ", bare_text(") +
           units(QStringLiteral("inPieces")) + QStringLiteral(" - ") + units(QStringLiteral("outPieces")) +
           QStringLiteral(
               ", 3, 3, 0), bare_text(bare_round(inWeight, 6, 2) - bare_round(outWeight, 6, 2), 2, "
               "2, 0) FROM s");
}

class BareStock
{
  public:
    BareStock()
    {
        BareStatement::ExecPlain(
            (std::string("CREATE TEMP TABLE IF NOT EXISTS bare_stock (") + kBareColumns + ")").c_str());
        BareStatement::ExecPlain(
            "CREATE TEMP TABLE IF NOT EXISTS bare_stock_keys (pos INTEGER PRIMARY KEY, id INTEGER)");
        RegisterBareExact(BareStatement::Handle());
        m_empty = std::make_unique<BareStatement>(QStringLiteral("DELETE FROM bare_stock"));
        m_fill = std::make_unique<BareStatement>(BareRebuild());
        m_clearKeys = std::make_unique<BareStatement>(QStringLiteral("DELETE FROM bare_stock_keys"));
        const QString keys = QStringLiteral("INSERT INTO bare_stock_keys (id) SELECT rowid FROM bare_stock%1 "
                                            "ORDER BY goodsCode DESC, id DESC");
        m_keep[None] = std::make_unique<BareStatement>(keys.arg(QString()));
        m_keep[Keyword] = std::make_unique<BareStatement>(keys.arg(
            QStringLiteral(" WHERE (COALESCE(goodsCode,'')||COALESCE(goodsName,'')||COALESCE(pinyin,'')||"
                           "COALESCE(goodsDesc,'')||COALESCE(goodsTypeName,'')) LIKE '%可乐%' ESCAPE '\\'")));
        m_keep[NonZero] =
            std::make_unique<BareStatement>(keys.arg(QStringLiteral(" WHERE CAST(balanceQty AS REAL) <> 0")));
        m_byBalance = std::make_unique<BareStatement>(
            QStringLiteral("INSERT INTO bare_stock_keys (id) SELECT rowid FROM bare_stock "
                           "ORDER BY CAST(balanceQty AS REAL) ASC, id ASC"));
        m_count = std::make_unique<BareStatement>(
            QStringLiteral("SELECT COALESCE(MAX(pos), 0) FROM bare_stock_keys"));
        m_page = std::make_unique<BareStatement>(QStringLiteral(
            "SELECT w.* FROM bare_stock_keys AS k CROSS JOIN bare_stock AS w ON w.rowid = k.id "
            "WHERE k.pos BETWEEN ? AND ? ORDER BY k.pos"));
        m_rows = std::make_unique<BareStatement>(QStringLiteral("SELECT COUNT(*) FROM bare_stock"));
    }

    void Rebuild()
    {
        m_transaction.Run([&] {
            m_empty->Exec();
            m_fill->Exec();
        });
    }
    // Rebuilds, keeps the filter's rows in code order, reads the first page.
    qint64 Search(Filter filter, std::vector<qint64>& ids)
    {
        qint64 count = 0;
        m_transaction.Run([&] {
            m_empty->Exec();
            m_fill->Exec();
            m_clearKeys->Exec();
            m_keep[filter]->Exec();
            count = m_count->Integer();
        });
        ids = Page(1);
        return count;
    }
    void KeepByBalance()
    {
        m_transaction.Run([&] {
            m_clearKeys->Exec();
            m_byBalance->Exec();
        });
    }
    std::vector<qint64> Page(int p) { return m_page->Keys({(p - 1) * 20 + 1, p * 20}); }
    qint64 Rows() { return m_rows->Integer(); }

  private:
    BareTransaction m_transaction;
    std::unique_ptr<BareStatement> m_empty, m_fill, m_clearKeys, m_keep[3], m_byBalance, m_count, m_page,
        m_rows;
};

// The first difference between the program's table and the twin's, row by
// row in goods order and cell by cell; empty when they hold the same.
std::string Differences()
{
    if (BareExactErrors() > 0)
        return "the twin met a value it cannot hold exactly";
    const std::vector<BareRow> ours =
        BareStatement(QStringLiteral("SELECT * FROM temp_rpt_stock ORDER BY id")).Rows();
    const std::vector<BareRow> bare =
        BareStatement(QStringLiteral("SELECT * FROM bare_stock ORDER BY id")).Rows();
    if (ours.size() != bare.size())
        return "the rebuilds wrote different numbers of rows";
    for (size_t r = 0; r < ours.size(); ++r) {
        if (ours[r] != bare[r])
            return "the rebuilds differ in row " + std::to_string(r + 1);
    }
    return {};
}

// The rebuild alone (the table of every goods item with its figures).
void BM_StockRebuild(benchmark::State& state)
{
    const int goods = int(state.range(0));
    LineStore::Open(goods);
    dal_rpt_stock dal;
    BareStock bare;
    Paired pair(1e3);
    for (auto _ : state) {
        m_DBresult r;
        pair.Run(
            state, [&] { r = dal.insert_temp_rpt_stock(kAccounts); }, [&] { bare.Rebuild(); });
        if (!r.isResult) {
            state.SkipWithError(r.str_MsgBox.toStdString().c_str());
            break;
        }
        if (const std::string d = Differences(); !d.empty()) {
            state.SkipWithError(d.c_str());
            break;
        }
    }
    pair.Report(state);
    state.counters["rows"] = double(bare.Rows());
    state.SetLabel(Label(goods));
}

// The search as the window runs it: the rebuild, the rows kept in the
// report's first order (goods code descending) and the first page of 20.
void BM_StockSearch(benchmark::State& state)
{
    const int goods = int(state.range(0));
    const Filter filter = Filter(state.range(1));
    LineStore::Open(goods);
    dal_rpt_stock dal;
    BareStock bare;
    const m_conditions conds = Conditions(filter);
    Paired pair(1e3);
    int rows = 0;
    for (auto _ : state) {
        m_recordSet result;
        std::vector<qint64> bareIds;
        qint64 bareCount = 0;
        pair.Run(
            state,
            [&] {
                m_PageInfor page = FirstPage();
                result = dal.GetListForCondition(conds, kAccounts, page);
            },
            [&] { bareCount = bare.Search(filter, bareIds); });
        if (!result.str_MsgBox.isEmpty()) {
            state.SkipWithError(result.str_MsgBox.toUtf8().constData());
            break;
        }
        if (result.recordCount != bareCount || PageIds(result.recordSet) != bareIds) {
            state.SkipWithError("the searches found different rows");
            break;
        }
        if (const std::string d = Differences(); !d.empty()) {
            state.SkipWithError(d.c_str());
            break;
        }
        rows = result.recordCount;
    }
    pair.Report(state);
    state.counters["rows"] = rows;
    state.SetLabel(Label(goods, filter));
}

// After a search: its first page read again.
void BM_StockFirstPageAfterSearch(benchmark::State& state)
{
    const int goods = int(state.range(0));
    const Filter filter = Filter(state.range(1));
    LineStore::Open(goods);
    dal_rpt_stock dal;
    BareStock bare;
    m_PageInfor page = FirstPage();
    const m_recordSet searched = dal.GetListForCondition(Conditions(filter), kAccounts, page);
    std::vector<qint64> first;
    bare.Search(filter, first);
    if (!searched.str_MsgBox.isEmpty()) {
        state.SkipWithError("search failed");
        return;
    }
    Paired pair(1e3);
    for (auto _ : state) {
        RecordSetPtr rs;
        std::vector<qint64> ids;
        pair.Run(
            state, [&] { rs = dal.GetPage(page); }, [&] { ids = bare.Page(1); });
        if (PageIds(rs) != ids) {
            state.SkipWithError("the pages hold different rows");
            break;
        }
    }
    pair.Report(state);
    state.counters["rows"] = searched.recordCount;
    state.SetLabel(Label(goods, filter));
}

// A later page ordered by a total (numeric order over the text column),
// after the search's rows were sorted by it once.
void BM_StockPageByBalance(benchmark::State& state)
{
    const int goods = int(state.range(0));
    LineStore::Open(goods);
    dal_rpt_stock dal;
    BareStock bare;
    m_PageInfor page = FirstPage();
    std::vector<qint64> first;
    if (!dal.GetListForCondition({}, kAccounts, page).str_MsgBox.isEmpty()) {
        state.SkipWithError("search failed");
        return;
    }
    bare.Search(None, first);
    page.str_orderBy = dal_rpt_stock::OrderExpression(QStringLiteral("totalBlanceQty"));
    page.isDesc = false;
    page.recordCount = dal.Reorder(page);
    bare.KeepByBalance();
    const int far = page.recordCount / 20 / 2;
    page.int_currentPageIndex = far;
    Paired pair(1e3);
    for (auto _ : state) {
        RecordSetPtr rs;
        std::vector<qint64> ids;
        pair.Run(
            state, [&] { rs = dal.GetPage(page); }, [&] { ids = bare.Page(far); });
        if (PageIds(rs) != ids) {
            state.SkipWithError("the pages hold different rows");
            break;
        }
    }
    pair.Report(state);
    state.SetLabel(Label(goods) + ", by balance, page " + std::to_string(far));
}

void Searches(benchmark::internal::Benchmark* b, int goods)
{
    for (int filter : {None, Keyword, NonZero})
        b->Args({goods, filter});
}

} // namespace

// The 20,000 goods items first, then 500,000.
BENCHMARK(BM_StockRebuild)->Arg(kFewGoods)->Unit(benchmark::kMillisecond)->Iterations(6)->UseManualTime();
BENCHMARK(BM_StockSearch)
    ->Apply([](benchmark::internal::Benchmark* b) { Searches(b, kFewGoods); })
    ->Unit(benchmark::kMillisecond)
    ->Iterations(6)
    ->UseManualTime();
BENCHMARK(BM_StockFirstPageAfterSearch)
    ->Apply([](benchmark::internal::Benchmark* b) { Searches(b, kFewGoods); })
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK(BM_StockPageByBalance)->Arg(kFewGoods)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_StockRebuild)->Arg(kManyGoods)->Unit(benchmark::kMillisecond)->Iterations(6)->UseManualTime();
BENCHMARK(BM_StockSearch)
    ->Apply([](benchmark::internal::Benchmark* b) { Searches(b, kManyGoods); })
    ->Unit(benchmark::kMillisecond)
    ->Iterations(6)
    ->UseManualTime();
BENCHMARK(BM_StockFirstPageAfterSearch)
    ->Apply([](benchmark::internal::Benchmark* b) { Searches(b, kManyGoods); })
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK(BM_StockPageByBalance)->Arg(kManyGoods)->Unit(benchmark::kMillisecond)->UseManualTime();
