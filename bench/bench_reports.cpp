// The inbound reports on the line store (LineStore: 60,000 inbound bills,
// 600,000 of the 1,000,000 lines, 20,000 and then 500,000 goods items): a
// search as the window runs it (the count, the result kept in its order and
// the first page of 20) of the month a report opens with and of the whole
// year, a header-click sort of the year's line detail and a page move after
// it. Each beside its bare twin on SQLite's C API, interleaved (Paired.h):
// the same rows in the same order, the same cells in the same forms, the
// result kept in a table of keys as the program keeps it, each statement
// prepared once on the same connection and file.
#include "BareSql.h"
#include "LineStore.h"
#include "Paired.h"
#include "dal_rpt_Reports.h"
#include "sqlHelper.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace
{

using LineStore::kFewGoods;
using LineStore::kManyGoods;

enum Kind { List, Detail, Sums };
enum Range { Month, Year };

const char* const kKindNames[] = {"bill list", "line detail", "goods sums"};
const QString kAccounts = QStringLiteral("2,5,0");

QString From(Range range)
{
    return LineStore::MonthStart(range == Month ? 11 : 0);
}
const QString kTo = LineStore::MonthStart(12);

ReportFill FillFor(Kind kind, Range range)
{
    ReportFill fill;
    fill.accountList = kAccounts;
    fill.conditions.append(m_condition(SearchKey::CreateTime, QStringLiteral(">="), From(range)));
    fill.conditions.append(m_condition(SearchKey::CreateTime, QStringLiteral("<"), kTo));
    if (kind != Sums) {
        fill.conditions.append(
            m_condition(SearchKey::Account, QStringLiteral("in"), NList(fill.accountList)));
        fill.conditions.append(
            m_condition(SearchKey::Audit, QStringLiteral("in"), NList(QStringLiteral("1,0,3"))));
    }
    return fill;
}

struct Report {
    std::unique_ptr<dal_rpt_Report> data;
};

Report Make(Kind kind)
{
    switch (kind) {
    case List:
        return {std::make_unique<dal_rpt_rkHead>()};
    case Detail:
        return {std::make_unique<dal_rpt_rkDetail>()};
    default:
        return {std::make_unique<dal_rpt_rkSum>()};
    }
}

// The first page in the report's own first order.
m_PageInfor FirstPage(const dal_rpt_Report& data)
{
    m_PageInfor page;
    page.int_PageSize = 20;
    page.int_currentPageIndex = 1;
    page.sortKey = data.DefaultSort();
    page.isDesc = true;
    return page;
}

std::string Label(Kind kind, Range range, int goods)
{
    return std::string(kKindNames[kind]) + (range == Month ? ", May 2024, " : ", whole year, ") +
           std::to_string(goods) + " goods";
}

// The ids of a page, in its order.
std::vector<qint64> PageIds(const RecordSetPtr& rows)
{
    std::vector<qint64> ids;
    for (int r = 0; rows && r < rows->RecordCount(); ++r)
        ids.push_back(rows->value(r, 1).toLongLong());
    return ids;
}

// ---- the bare twins

// The cells of a bill list row, a line detail row and a goods sums row, in
// the columns the program's page reads, from heads "h", lines "d", goods
// "g" with their unit "u" and sums "s"; "k" is the table of kept keys.
const QString kPassName = QStringLiteral("CASE WHEN h.ispass = 0 THEN '未审核' ELSE '已审核' END");

QString ListCells()
{
    const QString lines = QStringLiteral(" FROM tb_rk_detail AS d WHERE d.headId = h.id)");
    return QStringLiteral("h.id, ") + kPassName +
           QStringLiteral(", (SELECT uname FROM tb_dictionary WHERE id = h.accountId), h.billNo, h.ubillNo, "
                          "(SELECT uname FROM tb_dictionary WHERE id = h.utypeId), h.supplierName, "
                          "'1单' || (SELECT COUNT(*)") +
           lines + QStringLiteral(" || '项', ") +
           BareNumberText(QStringLiteral("(SELECT COALESCE(SUM(round(d.qty * d.inPrice, 3)), 0)") + lines, 1,
                          2, QStringLiteral("0")) +
           QStringLiteral(", h.remark, h.creator, substr(h.createTime, 1, 10)");
}

QString DetailCells()
{
    return QStringLiteral("d.id, ") + kPassName +
           QStringLiteral(
               ", d.headId, (SELECT uname FROM tb_dictionary WHERE id = h.accountId), h.billNo, h.ubillNo, "
               "(SELECT uname FROM tb_dictionary WHERE id = h.utypeId), h.supplierName, d.goodsTypeName, "
               "d.goodsCode, d.goodsDetailCode, d.goodsName, d.goodsDesc, d.unit, d.packQty, d.weight, ") +
           BareNumberText(QStringLiteral("d.inPrice"), 1, 3) + QStringLiteral(", d.qty, ") +
           BareNumberText(QStringLiteral("d.qty * d.inPrice"), 1, 3, QStringLiteral("0")) +
           QStringLiteral(", d.qty * d.packQty, ") +
           BareNumberText(
               QStringLiteral("d.qty * d.packQty / (SELECT CASE WHEN COUNT(*) = 1 AND MAX(u.packQty) > 0 "
                              "THEN MAX(u.packQty) END FROM tb_goods_detail AS u "
                              "WHERE u.headId = d.goodsId AND u.isDefault = 1)"),
               1, 3, QStringLiteral("0")) +
           QStringLiteral(
               ", d.qty * d.weight, (SELECT locationCode FROM tb_location WHERE id = d.locationId), "
               "d.lotNo, d.remark, h.creator, substr(h.createTime, 1, 10)");
}

// The goods sums of a page of kept goods keys: each goods item's default
// unit and its audited lines of the chosen months, read through the lines'
// goods index.
QString SumsPage()
{
    const QString unit = QStringLiteral("(SELECT %1 FROM tb_goods_detail AS u WHERE u.headId = g.id "
                                        "AND u.isDefault = 1 ORDER BY u.id LIMIT 1)");
    const QString lines = QStringLiteral(
        "(SELECT SUM(%1) FROM tb_rk_detail AS d INDEXED BY ix_rk_detail_goods CROSS JOIN tb_rk_head AS h "
        "ON h.id = d.headId WHERE d.goodsId = g.id AND h.ispass = 1 AND h.accountId IN (2,5,0) "
        "AND h.createTime >= ?1 AND h.createTime < ?2)");
    return QStringLiteral(
               "SELECT id, status, goodsTypeName, goodsCode, goodsName, goodsDesc, upqty, downqty, unit, ") +
           BareNumberText(QStringLiteral("COALESCE(pieces, 0)"), 1, 3, QStringLiteral("0")) +
           QStringLiteral(", ") +
           BareNumberText(QStringLiteral("COALESCE(weight, 0)"), 1, 2, QStringLiteral("0")) +
           QStringLiteral(", CASE WHEN n = 1 AND pack > 0 THEN ") +
           BareNumberText(QStringLiteral("COALESCE(pieces, 0) / pack"), 1, 3, QStringLiteral("0")) +
           QStringLiteral(
               " END FROM (SELECT k.pos, g.id, g.status, (SELECT uname FROM tb_dictionary WHERE id = "
               "g.goodsTypeId) AS goodsTypeName, g.goodsCode, g.goodsName, g.goodsDesc, g.upqty, "
               "g.downqty, ") +
           unit.arg(QStringLiteral("u.unit")) + QStringLiteral(" AS unit, ") +
           unit.arg(QStringLiteral("u.packQty")) +
           QStringLiteral(" AS pack, (SELECT COUNT(*) FROM tb_goods_detail AS u WHERE u.headId = g.id AND "
                          "u.isDefault = 1) AS n, ") +
           lines.arg(QStringLiteral("d.qty * d.packQty")) + QStringLiteral(" AS pieces, ") +
           lines.arg(QStringLiteral("d.qty * d.weight")) +
           QStringLiteral(" AS weight FROM bare_keys AS k CROSS JOIN tb_goods_head AS g ON g.id = k.id "
                          "WHERE k.pos BETWEEN 1 AND 20) ORDER BY pos");
}

// A search bare: the result's keys written in order into bare_keys, their
// count, and the first page read through the keys (the goods sums of its
// goods items only: the other rows' sums are read when their page is).
class BareSearch
{
  public:
    explicit BareSearch(Kind kind) : m_kind(kind)
    {
        BareStatement::ExecPlain(
            "CREATE TEMP TABLE IF NOT EXISTS bare_keys (pos INTEGER PRIMARY KEY, id INTEGER)");
        m_clear = std::make_unique<BareStatement>(QStringLiteral("DELETE FROM bare_keys"));
        m_count =
            std::make_unique<BareStatement>(QStringLiteral("SELECT COALESCE(MAX(pos), 0) FROM bare_keys"));
        const QString heads = QStringLiteral(
            " FROM tb_rk_head AS h INDEXED BY ix_rk_head_time WHERE h.createTime >= ? AND h.createTime < ? "
            "AND h.accountId IN (2,5,0) AND h.ispass IN (1,0,3)");
        const QString page = QStringLiteral(" FROM bare_keys AS k CROSS JOIN ");
        const QString firstPage = QStringLiteral(" WHERE k.pos BETWEEN 1 AND 20 ORDER BY k.pos");
        switch (kind) {
        case List:
            m_keep = std::make_unique<BareStatement>(
                QStringLiteral("INSERT INTO bare_keys (id) SELECT h.id") + heads +
                QStringLiteral(" ORDER BY h.ispass DESC, substr(h.createTime, 1, 10) DESC, h.id DESC"));
            m_page =
                std::make_unique<BareStatement>(QStringLiteral("SELECT ") + ListCells() + page +
                                                QStringLiteral("tb_rk_head AS h ON h.id = k.id") + firstPage);
            break;
        case Detail:
            m_keep = std::make_unique<BareStatement>(
                QStringLiteral("INSERT INTO bare_keys (id) SELECT d.id FROM tb_rk_head AS h INDEXED BY "
                               "ix_rk_head_time CROSS JOIN tb_rk_detail AS d INDEXED BY ix_rk_detail_head "
                               "ON d.headId = h.id WHERE h.createTime >= ? AND h.createTime < ? "
                               "AND h.accountId IN (2,5,0) AND h.ispass IN (1,0,3) "
                               "ORDER BY substr(h.createTime, 1, 10) DESC, d.id DESC"));
            m_page = std::make_unique<BareStatement>(
                QStringLiteral("SELECT ") + DetailCells() + page +
                QStringLiteral(
                    "tb_rk_detail AS d ON d.id = k.id CROSS JOIN tb_rk_head AS h ON h.id = d.headId") +
                firstPage);
            break;
        case Sums:
            // Every goods item with a default unit is a row, in code order.
            m_keep = std::make_unique<BareStatement>(QStringLiteral(
                "INSERT INTO bare_keys (id) SELECT g.id FROM tb_goods_head AS g WHERE EXISTS (SELECT 1 FROM "
                "tb_goods_detail AS u WHERE u.headId = g.id AND u.isDefault = 1) "
                "ORDER BY g.goodsCode COLLATE NOCASE DESC, g.id DESC"));
            m_page = std::make_unique<BareStatement>(SumsPage());
            break;
        }
    }

    // The count; the first page's ids in ids.
    qint64 Run(const std::vector<QVariant>& range, std::vector<qint64>& ids)
    {
        qint64 count = 0;
        m_transaction.Run([&] {
            m_clear->Exec();
            m_keep->Exec(m_kind == Sums ? std::vector<QVariant>() : range);
            count = m_count->Integer();
        });
        ids = m_page->Keys(m_kind == Sums ? range : std::vector<QVariant>());
        return count;
    }

  private:
    Kind m_kind;
    BareTransaction m_transaction;
    std::unique_ptr<BareStatement> m_clear, m_count, m_keep, m_page;
};

// The search as the window runs it (the count, the kept rows, the first page
// of 20) beside the bare search.
void BM_ReportFirstPage(benchmark::State& state)
{
    const Kind kind = Kind(state.range(0));
    const Range range = Range(state.range(1));
    const int goods = int(state.range(2));
    LineStore::Open(goods);
    Report r = Make(kind);
    const ReportFill fill = FillFor(kind, range);
    BareSearch bare(kind);
    const std::vector<QVariant> bareRange = {From(range), kTo};
    Paired pair(1e3);
    int rows = 0;
    for (auto _ : state) {
        m_recordSet result;
        std::vector<qint64> bareIds;
        qint64 bareCount = 0;
        pair.Run(
            state,
            [&] {
                m_PageInfor page = FirstPage(*r.data);
                result = r.data->GetListForCondition(fill, {}, page, ReportRows::Grid);
            },
            [&] { bareCount = bare.Run(bareRange, bareIds); });
        if (!result.str_MsgBox.isEmpty()) {
            state.SkipWithError(result.str_MsgBox.toUtf8().constData());
            break;
        }
        if (!result.recordSet || result.recordSet->RecordCount() != 20 || result.recordCount != bareCount ||
            PageIds(result.recordSet) != bareIds) {
            state.SkipWithError("the searches found different rows");
            break;
        }
        rows = result.recordCount;
    }
    pair.Report(state);
    state.counters["rows"] = rows;
    state.SetLabel(Label(kind, range, goods));
}

// The year's line detail, searched, then sorted by goods name.
struct SortedYear {
    Report r = Make(Detail);
    m_PageInfor page = FirstPage(*r.data);
    int rows = 0;
};

SortedYear& Searched(int goods)
{
    static std::unique_ptr<SortedYear> year;
    static int searchedWith = 0;
    LineStore::Open(goods);
    if (!year || searchedWith != goods) {
        year = std::make_unique<SortedYear>();
        const m_recordSet result =
            year->r.data->GetListForCondition(FillFor(Detail, Year), {}, year->page, ReportRows::Grid);
        year->rows = result.recordCount;
        searchedWith = goods;
    }
    return *year;
}

// The year's line detail kept bare: its keys in two tables, the sort writing
// the keys of one anew into the other in the goods-name order.
struct BareSortedYear {
    BareSortedYear()
    {
        for (const char* t : {"bare_sorted_a", "bare_sorted_b"}) {
            BareStatement::ExecPlain((std::string("DROP TABLE IF EXISTS temp.") + t).c_str());
            BareStatement::ExecPlain(
                (std::string("CREATE TEMP TABLE ") + t + " (pos INTEGER PRIMARY KEY, id INTEGER)").c_str());
        }
        BareStatement fill(QStringLiteral(
            "INSERT INTO bare_sorted_a (id) SELECT d.id FROM tb_rk_head AS h INDEXED BY ix_rk_head_time "
            "CROSS JOIN tb_rk_detail AS d INDEXED BY ix_rk_detail_head ON d.headId = h.id "
            "WHERE h.createTime >= ? AND h.createTime < ? AND h.accountId IN (2,5,0) AND h.ispass IN (1,0,3) "
            "ORDER BY substr(h.createTime, 1, 10) DESC, d.id DESC"));
        rows = fill.Exec({From(Year), kTo});
        for (int into = 0; into < 2; ++into) {
            const QString from = into ? QStringLiteral("bare_sorted_a") : QStringLiteral("bare_sorted_b");
            const QString to = into ? QStringLiteral("bare_sorted_b") : QStringLiteral("bare_sorted_a");
            clear[into] = std::make_unique<BareStatement>(QStringLiteral("DELETE FROM ") + to);
            for (int desc = 0; desc < 2; ++desc) {
                sort[into][desc] = std::make_unique<BareStatement>(
                    QStringLiteral("INSERT INTO ") + to + QStringLiteral(" (id) SELECT d.id FROM ") + from +
                    QStringLiteral(" AS k CROSS JOIN tb_rk_detail AS d ON d.id = k.id ORDER BY d.goodsName") +
                    (desc ? QStringLiteral(" DESC, d.id DESC") : QStringLiteral(" ASC, d.id ASC")));
            }
            page[into] = std::make_unique<BareStatement>(
                QStringLiteral("SELECT ") + DetailCells() + QStringLiteral(" FROM ") + to +
                QStringLiteral(" AS k CROSS JOIN tb_rk_detail AS d ON d.id = k.id CROSS JOIN tb_rk_head AS h "
                               "ON h.id = d.headId WHERE k.pos BETWEEN ? AND ? ORDER BY k.pos"));
        }
    }
    // Sorts the kept keys; the table now holding them is `current`.
    void Sort(bool desc)
    {
        const int into = current == 0 ? 1 : 0;
        transaction.Run([&] {
            clear[into]->Exec();
            sort[into][desc ? 1 : 0]->Exec();
        });
        current = into;
    }
    std::vector<qint64> Page(int p) { return page[current]->Keys({(p - 1) * 20 + 1, p * 20}); }

    int rows = 0;
    int current = 0; // 0: bare_sorted_a
    BareTransaction transaction;
    std::unique_ptr<BareStatement> clear[2], sort[2][2], page[2];
};

// A header click on 货品名称: the year's rows sorted anew (each click turns
// the direction), beside the same sort bare.
void BM_HeaderSortYear(benchmark::State& state)
{
    const int goods = int(state.range(0));
    SortedYear& y = Searched(goods);
    y.page.sortKey = y.r.data->SortBy(QStringLiteral("goodsName"));
    BareSortedYear bare;
    Paired pair(1e3);
    for (auto _ : state) {
        y.page.isDesc = !y.page.isDesc;
        pair.Run(
            state, [&] { y.page.recordCount = y.r.data->Reorder(y.page); },
            [&] { bare.Sort(y.page.isDesc); });
        if (y.page.recordCount != bare.rows) {
            state.SkipWithError("the sorts kept different rows");
            break;
        }
    }
    pair.Report(state);
    state.counters["rows"] = y.page.recordCount;
    state.SetLabel("line detail, whole year by goods name, " + std::to_string(goods) + " goods");
}

// A page move after the header click (pages far apart in the goods-name
// order), beside the page read bare by the positions of the sorted keys.
void BM_PageAfterHeaderSort(benchmark::State& state)
{
    const int goods = int(state.range(0));
    SortedYear& y = Searched(goods);
    y.page.sortKey = y.r.data->SortBy(QStringLiteral("goodsName"));
    y.page.isDesc = false;
    y.page.recordCount = y.r.data->Reorder(y.page);
    BareSortedYear bare;
    bare.Sort(false);
    const int pages = (y.page.recordCount + 19) / 20;
    const int visits[] = {2, pages / 2, pages - 1, pages / 3, pages};
    Paired pair(1e3);
    int i = 0;
    for (auto _ : state) {
        const int p = visits[i++ % 5];
        y.page.int_currentPageIndex = p;
        RecordSetPtr rows;
        std::vector<qint64> bareIds;
        pair.Run(
            state, [&] { rows = y.r.data->GetPage(y.page, ReportRows::Grid); },
            [&] { bareIds = bare.Page(p); });
        if (!rows || rows->RecordCount() != 20 || PageIds(rows) != bareIds) {
            state.SkipWithError("the pages hold different rows");
            break;
        }
    }
    pair.Report(state);
    state.SetLabel("line detail, whole year by goods name, " + std::to_string(goods) + " goods");
}

void FirstPages(benchmark::internal::Benchmark* b, int goods)
{
    for (int kind : {List, Detail, Sums})
        for (int range : {Month, Year})
            b->Args({kind, range, goods});
}

} // namespace

// The 20,000 goods items first, then 500,000.
BENCHMARK(BM_ReportFirstPage)
    ->Apply([](benchmark::internal::Benchmark* b) { FirstPages(b, kFewGoods); })
    ->Unit(benchmark::kMillisecond)
    ->Iterations(6)
    ->UseManualTime();
BENCHMARK(BM_HeaderSortYear)->Arg(kFewGoods)->Unit(benchmark::kMillisecond)->Iterations(4)->UseManualTime();
BENCHMARK(BM_PageAfterHeaderSort)
    ->Arg(kFewGoods)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(50)
    ->UseManualTime();
BENCHMARK(BM_ReportFirstPage)
    ->Apply([](benchmark::internal::Benchmark* b) { FirstPages(b, kManyGoods); })
    ->Unit(benchmark::kMillisecond)
    ->Iterations(6)
    ->UseManualTime();
BENCHMARK(BM_HeaderSortYear)->Arg(kManyGoods)->Unit(benchmark::kMillisecond)->Iterations(4)->UseManualTime();
BENCHMARK(BM_PageAfterHeaderSort)
    ->Arg(kManyGoods)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(50)
    ->UseManualTime();
