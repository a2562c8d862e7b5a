// The inbound reports on the line store (LineStore: 60,000 inbound bills,
// 600,000 of the 1,000,000 lines, 20,000 and then 500,000 goods items): a
// search as the window runs it (the count, the result kept in its order and
// the first page of 20) of the month a report opens with and of the whole
// year, a header-click sort of the line detail of two months (100,000 lines)
// and of the year (600,000) by goods name and by amount, and a page move
// after it. Each beside its bare twin on SQLite's C API, interleaved
// (Paired.h): the same rows in the same order, the same cells in the same
// forms and the same exact figures (the twin's own, BareExact.h), the result
// kept in a table of keys as the program keeps it, each statement prepared
// once on the same connection and file. Each run compares the two results:
// the count, the first page's cells, every kept key in its order.
#include "BareExact.h"
#include "BareSql.h"
#include "LineStore.h"
#include "Paired.h"
#include "ReportColumns.h"
#include "dal_rpt_Reports.h"
#include "sqlHelper.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <vector>

namespace
{

using LineStore::kFewGoods;
using LineStore::kManyGoods;

enum Kind { List, Detail, Sums };
enum Range { Month, Year, TwoMonths };
const char* const kRangeNames[] = {"May 2024", "whole year", "April and May 2024"};

const char* const kKindNames[] = {"bill list", "line detail", "goods sums"};
const QString kAccounts = QStringLiteral("2,5,0");

QString From(Range range)
{
    return LineStore::MonthStart(range == Month ? 11 : range == TwoMonths ? 10 : 0);
}
const QString kTo = LineStore::MonthStart(12);

ReportFill FillFor(Kind kind, Range range)
{
    ReportFill fill;
    fill.accountList = kAccounts;
    fill.conditions.append(m_condition(QStringLiteral("a.createTime"), QStringLiteral(">="), From(range)));
    fill.conditions.append(m_condition(QStringLiteral("a.createTime"), QStringLiteral("<"), kTo));
    if (kind != Sums) {
        fill.conditions.append(
            m_condition(QStringLiteral("a.accountId"), QStringLiteral("in"), NList(fill.accountList)));
        fill.conditions.append(
            m_condition(QStringLiteral("a.ispass"), QStringLiteral("in"), NList(QStringLiteral("1,0,3"))));
    }
    return fill;
}

struct Report {
    std::unique_ptr<dal_rpt_Report> data;
    QString order;
};

Report Make(Kind kind)
{
    switch (kind) {
    case List:
        return {std::make_unique<dal_rpt_rkHead>(), QStringLiteral("passName asc,createTime")};
    case Detail:
        return {std::make_unique<dal_rpt_rkDetail>(), QStringLiteral("createTime")};
    default:
        return {std::make_unique<dal_rpt_rkSum>(), QStringLiteral("goodsCode")};
    }
}

m_PageInfor FirstPage(const QString& order)
{
    m_PageInfor page;
    page.int_PageSize = 20;
    page.int_currentPageIndex = 1;
    page.str_orderBy = order;
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

// A cell as text for comparing the two sides: numbers by their value.
std::string CellText(const QVariant& v)
{
    if (v.isNull())
        return "<null>";
    if (v.typeId() == QMetaType::Double) {
        char b[32];
        std::snprintf(b, sizeof b, "%.17g", v.toDouble());
        return b;
    }
    return v.toString().toStdString();
}

std::string CellText(const BareValue& v)
{
    if (std::holds_alternative<std::monostate>(v))
        return "<null>";
    if (const auto* i = std::get_if<sqlite3_int64>(&v))
        return std::to_string(*i);
    if (const auto* d = std::get_if<double>(&v)) {
        char b[32];
        std::snprintf(b, sizeof b, "%.17g", *d);
        return b;
    }
    return std::get<std::string>(v);
}

// Whether a page of the program's grid rows (a leading 0, then the cells)
// holds the cells of the twin's rows.
bool SameCells(const RecordSetPtr& ours, const std::vector<BareRow>& bare)
{
    if (!ours || ours->RecordCount() != int(bare.size()))
        return false;
    for (int r = 0; r < ours->RecordCount(); ++r) {
        const BareRow& row = bare[size_t(r)];
        if (ours->fieldCount() != int(row.size()) + 1)
            return false;
        for (int c = 0; c < int(row.size()); ++c)
            if (CellText(ours->value(r, c + 1)) != CellText(row[size_t(c)]))
                return false;
    }
    return true;
}

// ---- the bare twins

// The cells of a bill list row, a line detail row and a goods sums row, in
// the columns the program's page reads, from heads "h", lines "d", goods
// "g" with their unit "u" and sums "s"; "k" is the table of kept keys.
const QString kPassName = QStringLiteral("CASE WHEN h.ispass = 0 THEN '未审核' ELSE '已审核' END");

// The figures exact, by the twin's own functions (BareExact.h): the bill's
// amount the sum of its line amounts rounded to 3 places, then to 2.
QString ListCells()
{
    const QString lines = QStringLiteral(" FROM tb_rk_detail AS d WHERE d.headId = h.id)");
    return QStringLiteral("h.id, ") + kPassName +
           QStringLiteral(", (SELECT uname FROM tb_dictionary WHERE id = h.accountId), h.billNo, h.ubillNo, "
                          "(SELECT uname FROM tb_dictionary WHERE id = h.utypeId), h.supplierName, "
                          "'1单' || (SELECT COUNT(*)") +
           lines + QStringLiteral(" || '项', bare_text(COALESCE((SELECT bare_sum(d.qty, d.inPrice, 3)") +
           lines + QStringLiteral(", 0), 6, 2, 1, '0'), h.remark, h.creator, substr(h.createTime, 1, 10)");
}

QString DetailCells()
{
    return QStringLiteral("d.id, ") + kPassName +
           QStringLiteral(
               ", d.headId, (SELECT uname FROM tb_dictionary WHERE id = h.accountId), h.billNo, h.ubillNo, "
               "(SELECT uname FROM tb_dictionary WHERE id = h.utypeId), h.supplierName, d.goodsTypeName, "
               "d.goodsCode, d.goodsDetailCode, d.goodsName, d.goodsDesc, d.unit, d.packQty, d.weight, "
               "bare_text(bare_prod(d.inPrice, 1), 6, 3, 1), d.qty, bare_amount_text(d.qty, d.inPrice), "
               "bare_text(bare_prod(d.qty, d.packQty), 6, 6, 0), "
               "bare_text(bare_div(bare_prod(d.qty, d.packQty), (SELECT CASE WHEN COUNT(*) = 1 AND "
               "MAX(u.packQty) > 0 THEN MAX(u.packQty) END FROM tb_goods_detail AS u "
               "WHERE u.headId = d.goodsId AND u.isDefault = 1)), 3, 3, 1, '0'), "
               "bare_text(bare_prod(d.qty, d.weight), 6, 6, 0), "
               "(SELECT locationCode FROM tb_location WHERE id = d.locationId), "
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
        "(SELECT bare_sum(%1) FROM tb_rk_detail AS d INDEXED BY ix_rk_detail_goods CROSS JOIN tb_rk_head AS "
        "h "
        "ON h.id = d.headId WHERE d.goodsId = g.id AND h.ispass = 1 AND h.accountId IN (2,5,0) "
        "AND h.createTime >= ?1 AND h.createTime < ?2)");
    return QStringLiteral(
               "SELECT id, status, goodsTypeName, goodsCode, goodsName, goodsDesc, upqty, downqty, unit, "
               "bare_text(COALESCE(pieces, 0), 6, 3, 1, '0'), bare_text(COALESCE(weight, 0), 6, 2, 1, '0'), "
               "CASE WHEN n = 1 AND pack > 0 THEN bare_text(bare_div(COALESCE(pieces, 0), pack), 3, 3, 1, "
               "'0') "
               "END FROM (SELECT k.pos, g.id, g.status, (SELECT uname FROM tb_dictionary WHERE id = "
               "g.goodsTypeId) AS goodsTypeName, g.goodsCode, g.goodsName, g.goodsDesc, g.upqty, "
               "g.downqty, ") +
           unit.arg(QStringLiteral("u.unit")) + QStringLiteral(" AS unit, ") +
           unit.arg(QStringLiteral("u.packQty")) +
           QStringLiteral(" AS pack, (SELECT COUNT(*) FROM tb_goods_detail AS u WHERE u.headId = g.id AND "
                          "u.isDefault = 1) AS n, ") +
           lines.arg(QStringLiteral("d.qty, d.packQty")) + QStringLiteral(" AS pieces, ") +
           lines.arg(QStringLiteral("d.qty, d.weight")) +
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
        RegisterBareExact(BareStatement::Handle());
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
    // The first page's cells, read again (not timed).
    std::vector<BareRow> FirstPageCells(const std::vector<QVariant>& range)
    {
        return m_page->Rows(m_kind == Sums ? range : std::vector<QVariant>());
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
                m_PageInfor page = FirstPage(r.order);
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
        if (BareExactErrors() > 0 || !SameCells(result.recordSet, bare.FirstPageCells(bareRange))) {
            state.SkipWithError("the first pages hold different cells");
            break;
        }
        rows = result.recordCount;
    }
    pair.Report(state);
    state.counters["rows"] = rows;
    state.SetLabel(Label(kind, range, goods));
}

// The line detail of a range, searched once per range.
enum SortKey { ByName, ByAmount };
const char* const kSortKeyNames[] = {"goods name", "amount"};
const QString kSortFields[] = {QStringLiteral("goodsName"),
                               ReportColumns::AsNumber(QStringLiteral("totalAmount"))};

struct SortedRange {
    Report r = Make(Detail);
    m_PageInfor page = FirstPage(QStringLiteral("createTime"));
    int rows = 0;
};

SortedRange& Searched(Range range)
{
    static std::unique_ptr<SortedRange> kept;
    static int searchedWith = -1;
    LineStore::Open(kFewGoods);
    if (!kept || searchedWith != range) {
        kept = std::make_unique<SortedRange>();
        const m_recordSet result =
            kept->r.data->GetListForCondition(FillFor(Detail, range), {}, kept->page, ReportRows::Grid);
        kept->rows = result.recordCount;
        searchedWith = range;
    }
    return *kept;
}

// The line detail of a range kept bare: its keys in two tables, a sort
// writing the keys of one anew into the other by the goods name or by the
// exact line amount (the twin's own, bare_amount), ties by the line id.
struct BareSorted {
    explicit BareSorted(Range range)
    {
        RegisterBareExact(BareStatement::Handle());
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
        rows = fill.Exec({From(range), kTo});
        const QString keys[] = {QStringLiteral("d.goodsName"),
                                QStringLiteral("bare_amount(d.qty, d.inPrice)")};
        for (int into = 0; into < 2; ++into) {
            const QString from = into ? QStringLiteral("bare_sorted_a") : QStringLiteral("bare_sorted_b");
            const QString to = into ? QStringLiteral("bare_sorted_b") : QStringLiteral("bare_sorted_a");
            clear[into] = std::make_unique<BareStatement>(QStringLiteral("DELETE FROM ") + to);
            for (int key = 0; key < 2; ++key)
                for (int desc = 0; desc < 2; ++desc) {
                    sort[into][key][desc] = std::make_unique<BareStatement>(
                        QStringLiteral("INSERT INTO ") + to + QStringLiteral(" (id) SELECT d.id FROM ") +
                        from + QStringLiteral(" AS k CROSS JOIN tb_rk_detail AS d ON d.id = k.id ORDER BY ") +
                        keys[key] +
                        (desc ? QStringLiteral(" DESC, d.id DESC") : QStringLiteral(" ASC, d.id ASC")));
                }
            page[into] = std::make_unique<BareStatement>(
                QStringLiteral("SELECT ") + DetailCells() + QStringLiteral(" FROM ") + to +
                QStringLiteral(" AS k CROSS JOIN tb_rk_detail AS d ON d.id = k.id CROSS JOIN tb_rk_head AS h "
                               "ON h.id = d.headId WHERE k.pos BETWEEN ? AND ? ORDER BY k.pos"));
            order[into] = std::make_unique<BareStatement>(QStringLiteral("SELECT id FROM ") + to +
                                                          QStringLiteral(" ORDER BY pos"));
        }
    }
    // Sorts the kept keys; the table now holding them is `current`.
    void Sort(SortKey key, bool desc)
    {
        const int into = current == 0 ? 1 : 0;
        transaction.Run([&] {
            clear[into]->Exec();
            sort[into][key][desc ? 1 : 0]->Exec();
        });
        current = into;
    }
    std::vector<qint64> Page(int p) { return page[current]->Keys({(p - 1) * 20 + 1, p * 20}); }
    std::vector<qint64> Order() { return order[current]->Keys(); }

    int rows = 0;
    int current = 0; // 0: bare_sorted_a
    BareTransaction transaction;
    std::unique_ptr<BareStatement> clear[2], sort[2][2][2], page[2], order[2];
};

// Every kept key of the program's line detail in its order.
std::vector<qint64> KeptOrder()
{
    return BareStatement(QStringLiteral("SELECT id FROM temp.temp_rpt_rkDetail_keys ORDER BY pos")).Keys();
}

// A header click on 货品名称 or 金额: the rows of the range sorted anew (each
// click turns the direction), beside the same sort bare; both give every key
// in the same order.
void BM_HeaderSort(benchmark::State& state)
{
    const Range range = Range(state.range(0));
    const SortKey key = SortKey(state.range(1));
    SortedRange& y = Searched(range);
    y.page.str_orderBy = kSortFields[key];
    BareSorted bare(range);
    Paired pair(1e3);
    for (auto _ : state) {
        y.page.isDesc = !y.page.isDesc;
        pair.Run(
            state, [&] { y.page.recordCount = y.r.data->Reorder(y.page); },
            [&] { bare.Sort(key, y.page.isDesc); });
        if (y.page.recordCount != bare.rows || BareExactErrors() > 0 || KeptOrder() != bare.Order()) {
            state.SkipWithError("the sorts kept different rows or orders");
            break;
        }
    }
    pair.Report(state);
    state.counters["rows"] = y.page.recordCount;
    state.SetLabel(std::string("line detail, ") + kRangeNames[range] + " by " + kSortKeyNames[key]);
}

// A page move after the header click (pages far apart in the goods-name
// order), beside the page read bare by the positions of the sorted keys.
void BM_PageAfterHeaderSort(benchmark::State& state)
{
    SortedRange& y = Searched(Year);
    y.page.str_orderBy = kSortFields[ByName];
    y.page.isDesc = false;
    y.page.recordCount = y.r.data->Reorder(y.page);
    BareSorted bare(Year);
    bare.Sort(ByName, false);
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
    state.SetLabel("line detail, whole year by goods name");
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
BENCHMARK(BM_HeaderSort)
    ->ArgsProduct({{TwoMonths, Year}, {ByName, ByAmount}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(6)
    ->UseManualTime();
BENCHMARK(BM_PageAfterHeaderSort)->Unit(benchmark::kMillisecond)->Iterations(50)->UseManualTime();
BENCHMARK(BM_ReportFirstPage)
    ->Apply([](benchmark::internal::Benchmark* b) { FirstPages(b, kManyGoods); })
    ->Unit(benchmark::kMillisecond)
    ->Iterations(6)
    ->UseManualTime();
