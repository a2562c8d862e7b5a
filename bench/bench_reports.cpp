// The reports on 100,000 inbound bills with 1,000,000 lines over twelve
// months, first with 20,000 goods items and then with 500,000: a search (the
// count, the kept rows and the first page) of the month a report opens with
// and of the whole year, a header-click sort of the year's line detail and a
// page move after it. Each has a bare twin written here on SQLite's C API:
// the heads read through their date index, the lines through their head
// index, each statement prepared once on the same connection and file.
#include "BareSql.h"
#include "BenchData.h"
#include "dal_rpt_Reports.h"
#include "sqlHelper.h"

#include <QCoreApplication>
#include <QDate>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace
{

constexpr int kBills = 100000;
constexpr int kLinesPerBill = 10;
constexpr int kFewGoods = 20000;
constexpr int kManyGoods = 500000;

// The bills, their lines on the first 20,000 goods items, and as many goods
// items as asked (they only grow: ask for the fewer first).
BenchData& bills(int goods)
{
    static std::unique_ptr<BenchData> db;
    BenchData& d = BenchData::Once(db, [](BenchData& data) {
        BenchData::GoodsPlan setup;
        setup.goodsCount = kFewGoods;
        setup.unitsPerGoods = 2;
        setup.barcodes = false;
        data.AddGoods(setup);
        data.Fill([&data] {
            data.AddBillReferences(300);
            BenchData::Inserter head(
                QStringLiteral("insert into tb_rk_head "
                               "(id,accountId,billNo,ubillNo,utypeId,supplierId,supplierName,remark,ispass,"
                               "creator,createTime,userId) values (?,2,?,?,3,?,?,'',?,'admin',?,1)"));
            BenchData::Inserter line(
                QStringLiteral("insert into tb_rk_detail "
                               "(id,headId,rowNo,goodsTypeId,goodsTypeName,goodsId,goodsCode,goodsName,"
                               "goodsDesc,unit,inPrice,packQty,weight,qty,locationId,lotNo) values "
                               "(?,?,?,1,'类别',?,?,?,'',?,?,?,?,?,1,NULL)"));
            int lineId = 0;
            for (int id = 1; id <= kBills; ++id) {
                // Twelve months up to May 2024, about 8,300 bills a month.
                const int month = (id - 1) * 12 / kBills; // 0..11
                const QDate day = QDate(2023, 6, 1).addMonths(month).addDays(id % 28);
                head.Row({id,
                          QStringLiteral("rk-%1-%2")
                              .arg(day.toString(QStringLiteral("yyMM")))
                              .arg(id, 5, 10, QLatin1Char('0')),
                          id % 7 ? QVariant() : QVariant(QStringLiteral("U%1").arg(id)), 1 + id % 300,
                          QStringLiteral("供应商%1").arg(1 + id % 300), id % 4 ? 1 : 0,
                          day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 10:00:00")});
                for (int l = 1; l <= kLinesPerBill; ++l) {
                    const int g = 1 + (id * 7 + l * 13) % kFewGoods;
                    line.Row({++lineId, id, l, g, BenchData::GoodsCode(g), BenchData::GoodsName(g),
                              QStringLiteral("瓶"), 1.25 + l, l % 3 ? 1 : 12, 0.5, 1 + (id + l) % 9});
                }
            }
        });
        ExecuteSql(QStringLiteral("analyze"));
    });
    if (d.goodsCount() < goods) {
        BenchData::GoodsPlan more;
        more.goodsCount = goods - d.goodsCount();
        more.unitsPerGoods = 2;
        more.barcodes = false;
        d.AddGoods(more);
        ExecuteSql(QStringLiteral("analyze"));
    }
    return d;
}

enum Kind { List, Detail, Sums };
enum Range { Month, Year };

const char* const kKindNames[] = {"bill list", "line detail", "goods sums"};

QString From(Range range)
{
    return range == Month ? QStringLiteral("2024-05-01") : QStringLiteral("2023-06-01");
}
const QString kTo = QStringLiteral("2024-06-01");

ReportFill FillFor(Kind kind, Range range)
{
    ReportFill fill;
    fill.accountList = QStringLiteral("2,0");
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

// The search as the window runs it: the count, the kept rows, the first page of 20.
void BM_ReportFirstPage(benchmark::State& state)
{
    const Kind kind = Kind(state.range(0));
    const Range range = Range(state.range(1));
    const int goods = int(state.range(2));
    if (bills(goods).goodsCount() != goods) {
        state.SkipWithError("the database holds more goods items than asked");
        return;
    }
    Report r = Make(kind);
    const ReportFill fill = FillFor(kind, range);
    int rows = 0;
    for (auto _ : state) {
        m_PageInfor page = FirstPage(r.order);
        const m_recordSet result = r.data->GetListForCondition(fill, {}, page, ReportRows::Grid);
        if (!result.str_MsgBox.isEmpty())
            state.SkipWithError(result.str_MsgBox.toUtf8().constData());
        if (!result.recordSet || result.recordSet->RecordCount() != 20)
            state.SkipWithError("not a whole page");
        rows = result.recordCount;
    }
    state.counters["rows"] = rows;
    state.SetLabel(Label(kind, range, goods));
}

// The bare twin: the count and the first page of 20, as one would write them.
void BM_BareFirstPage(benchmark::State& state)
{
    const Kind kind = Kind(state.range(0));
    const Range range = Range(state.range(1));
    const int goods = int(state.range(2));
    if (bills(goods).goodsCount() != goods) {
        state.SkipWithError("the database holds more goods items than asked");
        return;
    }
    const QString heads = QStringLiteral(
        " FROM tb_rk_head AS h INDEXED BY ix_rk_head_time WHERE h.createTime >= ? AND h.createTime < ?");
    const QString lines = QStringLiteral(" CROSS JOIN tb_rk_detail AS d INDEXED BY ix_rk_detail_head"
                                         " ON d.headId = h.id");
    const QString chosen = QStringLiteral(" AND h.accountId IN (2,0) AND h.ispass IN (1,0,3)");
    // The page's keys are chosen first; the columns are read for them only.
    QString count, first;
    switch (kind) {
    case List: {
        const QString order =
            QStringLiteral(" ORDER BY h.ispass DESC, substr(h.createTime, 1, 10) DESC, h.id DESC");
        count = QStringLiteral("SELECT COUNT(*)") + heads + chosen;
        first =
            QStringLiteral("SELECT h.id, CASE WHEN h.ispass = 0 THEN '未审核' ELSE '已审核' END, "
                           "(SELECT uname FROM tb_dictionary WHERE id = h.accountId), h.billNo, h.ubillNo, "
                           "(SELECT uname FROM tb_dictionary WHERE id = h.utypeId), h.supplierName, "
                           "(SELECT COUNT(*) FROM tb_rk_detail AS d WHERE d.headId = h.id), "
                           "(SELECT printf('%.2f', SUM(d.qty * d.inPrice)) FROM tb_rk_detail AS d "
                           "WHERE d.headId = h.id), h.remark, h.creator, substr(h.createTime, 1, 10) "
                           "FROM (SELECT h.id") +
            heads + chosen + order +
            QStringLiteral(" LIMIT 20) AS k CROSS JOIN tb_rk_head AS h ON h.id = k.id") + order;
        break;
    }
    case Detail: {
        const QString order = QStringLiteral(" ORDER BY substr(h.createTime, 1, 10) DESC, d.id DESC");
        count = QStringLiteral("SELECT COUNT(*) FROM tb_rk_head AS h INDEXED BY ix_rk_head_time") + lines +
                QStringLiteral(" WHERE h.createTime >= ? AND h.createTime < ?") + chosen;
        first =
            QStringLiteral(
                "SELECT d.id, CASE WHEN h.ispass = 0 THEN '未审核' ELSE '已审核' END, d.headId, "
                "(SELECT uname FROM tb_dictionary WHERE id = h.accountId), h.billNo, h.ubillNo, "
                "(SELECT uname FROM tb_dictionary WHERE id = h.utypeId), h.supplierName, d.goodsTypeName, "
                "d.goodsCode, d.goodsDetailCode, d.goodsName, d.goodsDesc, d.unit, d.packQty, d.weight, "
                "d.inPrice, d.qty, d.qty * d.inPrice, d.qty * d.packQty, "
                "d.qty * d.packQty / (SELECT u.packQty FROM tb_goods_detail AS u "
                "WHERE u.headId = d.goodsId AND u.isDefault = 1), d.qty * d.weight, "
                "(SELECT locationCode FROM tb_location WHERE id = d.locationId), d.lotNo, d.remark, "
                "h.creator, substr(h.createTime, 1, 10) FROM (SELECT d.id FROM tb_rk_head AS h "
                "INDEXED BY ix_rk_head_time") +
            lines + QStringLiteral(" WHERE h.createTime >= ? AND h.createTime < ?") + chosen + order +
            QStringLiteral(" LIMIT 20) AS k CROSS JOIN tb_rk_detail AS d ON d.id = k.id "
                           "CROSS JOIN tb_rk_head AS h ON h.id = d.headId") +
            order;
        break;
    }
    case Sums:
        count = QStringLiteral("SELECT COUNT(DISTINCT headId) FROM tb_goods_detail WHERE isDefault = 1 "
                               "AND ? <> ?");
        first = QStringLiteral(
                    "WITH s AS (SELECT d.goodsId, SUM(d.qty * d.packQty) AS pieces, SUM(d.qty * d.weight) "
                    "AS weight FROM tb_rk_head AS h INDEXED BY ix_rk_head_time") +
                lines +
                QStringLiteral(" WHERE h.createTime >= ? AND h.createTime < ? AND h.ispass = 1 "
                               "AND h.accountId IN (2,0) GROUP BY d.goodsId) "
                               "SELECT g.id, g.status, g.goodsCode, g.goodsName, g.goodsDesc, g.upqty, "
                               "g.downqty, u.unit, printf('%.3f', COALESCE(s.pieces, 0)), "
                               "printf('%.2f', COALESCE(s.weight, 0)), "
                               "printf('%.3f', COALESCE(s.pieces, 0) / u.packQty) "
                               "FROM tb_goods_head AS g JOIN tb_goods_detail AS u ON u.headId = g.id "
                               "AND u.isDefault = 1 LEFT JOIN s ON s.goodsId = g.id "
                               "ORDER BY g.goodsCode COLLATE NOCASE DESC, g.id DESC LIMIT 20");
        break;
    }
    BareStatement counter(count), rows(first);
    const std::vector<QVariant> range2 = {From(range), kTo};
    for (auto _ : state) {
        benchmark::DoNotOptimize(counter.Run(range2));
        if (rows.Run(range2) != 20)
            state.SkipWithError("not a whole page");
    }
    state.SetLabel(Label(kind, range, goods));
}

// The year's line detail, searched, then sorted by goods name.
struct SortedYear {
    Report r = Make(Detail);
    m_PageInfor page = FirstPage(QStringLiteral("createTime"));
    int rows = 0;
};

SortedYear& Searched(int goods)
{
    static std::unique_ptr<SortedYear> year;
    static int searchedWith = 0;
    if (!year || searchedWith != goods) {
        year = std::make_unique<SortedYear>();
        const m_recordSet result =
            year->r.data->GetListForCondition(FillFor(Detail, Year), {}, year->page, ReportRows::Grid);
        year->rows = result.recordCount;
        searchedWith = goods;
    }
    return *year;
}

// A header click on 货品名称: the year's rows sorted anew (each click turns the direction).
void BM_HeaderSortYear(benchmark::State& state)
{
    const int goods = int(state.range(0));
    bills(goods);
    SortedYear& y = Searched(goods);
    y.page.str_orderBy = QStringLiteral("goodsName");
    for (auto _ : state) {
        y.page.isDesc = !y.page.isDesc;
        y.page.recordCount = y.r.data->Reorder(y.page);
    }
    state.counters["rows"] = y.page.recordCount;
    state.SetLabel("line detail, whole year by goods name, " + std::to_string(goods) + " goods");
}

// The bare twin: the same keys written anew in the new order.
void BM_BareHeaderSortYear(benchmark::State& state)
{
    const int goods = int(state.range(0));
    bills(goods);
    BareStatement::ExecPlain("DROP TABLE IF EXISTS temp.bare_keys");
    BareStatement::ExecPlain("CREATE TEMP TABLE bare_keys (pos INTEGER PRIMARY KEY, id INTEGER)");
    BareStatement fill(QStringLiteral(
        "INSERT INTO bare_keys (id) SELECT d.id FROM tb_rk_head AS h INDEXED BY ix_rk_head_time "
        "CROSS JOIN tb_rk_detail AS d INDEXED BY ix_rk_detail_head ON d.headId = h.id "
        "WHERE h.createTime >= ? AND h.createTime < ? AND h.accountId IN (2,0) AND h.ispass IN (1,0,3) "
        "ORDER BY substr(h.createTime, 1, 10) DESC, d.id DESC"));
    fill.Exec({From(Year), kTo});
    BareStatement begin(QStringLiteral("BEGIN")), commit(QStringLiteral("COMMIT"));
    bool desc = true;
    for (auto _ : state) {
        desc = !desc;
        begin.Exec();
        BareStatement::ExecPlain("CREATE TEMP TABLE bare_next (pos INTEGER PRIMARY KEY, id INTEGER)");
        BareStatement sort(
            QStringLiteral("INSERT INTO bare_next (id) SELECT d.id FROM bare_keys AS k "
                           "CROSS JOIN tb_rk_detail AS d ON d.id = k.id ORDER BY d.goodsName") +
            (desc ? QStringLiteral(" DESC, d.id DESC") : QStringLiteral(" ASC, d.id ASC")));
        sort.Exec();
        BareStatement::ExecPlain("DROP TABLE bare_keys");
        BareStatement::ExecPlain("ALTER TABLE bare_next RENAME TO bare_keys");
        commit.Exec();
    }
    state.SetLabel("line detail, whole year by goods name, " + std::to_string(goods) + " goods");
}

// A page move after the header click: pages far apart in the goods-name order.
void BM_PageAfterHeaderSort(benchmark::State& state)
{
    const int goods = int(state.range(0));
    bills(goods);
    SortedYear& y = Searched(goods);
    y.page.str_orderBy = QStringLiteral("goodsName");
    y.page.isDesc = false;
    y.page.recordCount = y.r.data->Reorder(y.page);
    const int pages = (y.page.recordCount + 19) / 20;
    const int visits[] = {2, pages / 2, pages - 1, pages / 3, pages};
    int i = 0;
    for (auto _ : state) {
        y.page.int_currentPageIndex = visits[i++ % 5];
        const RecordSetPtr rows = y.r.data->GetPage({}, y.page, ReportRows::Grid);
        if (rows->RecordCount() != 20)
            state.SkipWithError("not a whole page");
    }
    state.SetLabel("line detail, whole year by goods name, " + std::to_string(goods) + " goods");
}

// The bare twin: the page's positions of the sorted keys, with their lines and heads.
void BM_BarePageAfterHeaderSort(benchmark::State& state)
{
    const int goods = int(state.range(0));
    bills(goods);
    BareStatement::ExecPlain("DROP TABLE IF EXISTS temp.bare_sorted");
    BareStatement::ExecPlain("CREATE TEMP TABLE bare_sorted (pos INTEGER PRIMARY KEY, id INTEGER)");
    BareStatement fill(QStringLiteral(
        "INSERT INTO bare_sorted (id) SELECT d.id FROM tb_rk_head AS h INDEXED BY ix_rk_head_time "
        "CROSS JOIN tb_rk_detail AS d INDEXED BY ix_rk_detail_head ON d.headId = h.id "
        "WHERE h.createTime >= ? AND h.createTime < ? AND h.accountId IN (2,0) AND h.ispass IN (1,0,3) "
        "ORDER BY d.goodsName, d.id"));
    const int rows = fill.Exec({From(Year), kTo});
    BareStatement page(QStringLiteral(
        "SELECT d.id, CASE WHEN h.ispass = 0 THEN '未审核' ELSE '已审核' END, d.headId, "
        "(SELECT uname FROM tb_dictionary WHERE id = h.accountId), h.billNo, h.ubillNo, "
        "(SELECT uname FROM tb_dictionary WHERE id = h.utypeId), h.supplierName, d.goodsTypeName, "
        "d.goodsCode, d.goodsDetailCode, d.goodsName, d.goodsDesc, d.unit, d.packQty, d.weight, "
        "d.inPrice, d.qty, d.qty * d.inPrice, d.qty * d.packQty, "
        "d.qty * d.packQty / (SELECT u.packQty FROM tb_goods_detail AS u "
        "WHERE u.headId = d.goodsId AND u.isDefault = 1), d.qty * d.weight, "
        "(SELECT locationCode FROM tb_location WHERE id = d.locationId), d.lotNo, d.remark, "
        "h.creator, substr(h.createTime, 1, 10) FROM bare_sorted AS k CROSS JOIN tb_rk_detail AS d "
        "ON d.id = k.id CROSS JOIN tb_rk_head AS h ON h.id = d.headId WHERE k.pos BETWEEN ? AND ? "
        "ORDER BY k.pos"));
    const int pages = (rows + 19) / 20;
    const int visits[] = {2, pages / 2, pages - 1, pages / 3, pages};
    int i = 0;
    for (auto _ : state) {
        const int p = visits[i++ % 5];
        if (page.Run({(p - 1) * 20 + 1, p * 20}) != 20)
            state.SkipWithError("not a whole page");
    }
    state.SetLabel("line detail, whole year by goods name, " + std::to_string(goods) + " goods");
}

double MinOf(const std::vector<double>& v)
{
    return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}

void FirstPages(benchmark::internal::Benchmark* b, int goods)
{
    for (int kind : {List, Detail, Sums})
        for (int range : {Month, Year})
            b->Args({kind, range, goods});
}

} // namespace

// Each is repeated; the minimum and the median of the repetitions are reported.
#define WMS_REPORT_BENCH(fn, ...)                                                                            \
    BENCHMARK(fn)                                                                                            \
        ->__VA_ARGS__->Unit(benchmark::kMillisecond)                                                         \
        ->Repetitions(5)                                                                                     \
        ->ComputeStatistics("min", MinOf)                                                                    \
        ->ReportAggregatesOnly(true)

// The 20,000 goods items first: the database then grows to 500,000.
WMS_REPORT_BENCH(BM_ReportFirstPage,
                 Apply([](benchmark::internal::Benchmark* b) { FirstPages(b, kFewGoods); }));
WMS_REPORT_BENCH(BM_BareFirstPage,
                 Apply([](benchmark::internal::Benchmark* b) { FirstPages(b, kFewGoods); }));
WMS_REPORT_BENCH(BM_HeaderSortYear, Arg(kFewGoods)->Iterations(2));
WMS_REPORT_BENCH(BM_BareHeaderSortYear, Arg(kFewGoods)->Iterations(2));
WMS_REPORT_BENCH(BM_PageAfterHeaderSort, Arg(kFewGoods));
WMS_REPORT_BENCH(BM_BarePageAfterHeaderSort, Arg(kFewGoods));
WMS_REPORT_BENCH(BM_ReportFirstPage,
                 Apply([](benchmark::internal::Benchmark* b) { FirstPages(b, kManyGoods); }));
WMS_REPORT_BENCH(BM_BareFirstPage,
                 Apply([](benchmark::internal::Benchmark* b) { FirstPages(b, kManyGoods); }));
WMS_REPORT_BENCH(BM_HeaderSortYear, Arg(kManyGoods)->Iterations(2));
WMS_REPORT_BENCH(BM_BareHeaderSortYear, Arg(kManyGoods)->Iterations(2));
WMS_REPORT_BENCH(BM_PageAfterHeaderSort, Arg(kManyGoods));
WMS_REPORT_BENCH(BM_BarePageAfterHeaderSort, Arg(kManyGoods));
