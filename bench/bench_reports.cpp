// A report search shows the count and the first page. Measured on 100,000
// inbound bills with 1,000,000 lines over twelve months, for the month a
// report opens with and for the whole year, each against the same
// statements run bare on the connection.
#include "BareSql.h"
#include "BenchData.h"
#include "dal_rpt_Reports.h"
#include "sqlHelper.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <benchmark/benchmark.h>
#include <memory>

namespace
{

constexpr int kBills = 100000;
constexpr int kLinesPerBill = 10;
constexpr int kGoods = 5000;

BenchData& bills()
{
    static std::unique_ptr<BenchData> db;
    return BenchData::Once(db, [](BenchData& d) {
        BenchData::GoodsPlan setup;
        setup.goodsCount = kGoods;
        setup.unitsPerGoods = 2;
        setup.barcodes = false;
        d.AddGoods(setup);
        d.Fill([&d] {
            d.AddBillReferences(300);
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
                    const int goods = 1 + (id * 7 + l * 13) % kGoods;
                    line.Row({++lineId, id, l, goods, BenchData::GoodsCode(goods),
                              BenchData::GoodsName(goods), QStringLiteral("瓶"), 1.25 + l, l % 3 ? 1 : 12,
                              0.5, 1 + (id + l) % 9});
                }
            }
        });
        ExecuteSql(QStringLiteral("analyze"));
    });
}

enum Range { Month, Year };

ReportFill FillFor(Range range, bool withAuditStates)
{
    ReportFill fill;
    fill.accountList = QStringLiteral("2,0");
    fill.conditions.append(
        m_condition(QStringLiteral("a.createTime"), QStringLiteral(">="),
                    range == Month ? QStringLiteral("2024-05-01") : QStringLiteral("2023-06-01")));
    fill.conditions.append(
        m_condition(QStringLiteral("a.createTime"), QStringLiteral("<"), QStringLiteral("2024-06-01")));
    if (withAuditStates) {
        fill.conditions.append(
            m_condition(QStringLiteral("a.accountId"), QStringLiteral("in"), NList(fill.accountList)));
        fill.conditions.append(
            m_condition(QStringLiteral("a.ispass"), QStringLiteral("in"), NList(QStringLiteral("1,0,3"))));
    }
    return fill;
}

struct Report {
    std::unique_ptr<dal_rpt_Report> data;
    QString selectText;
    QString order;
    bool auditStates;
};

Report Make(int kind)
{
    switch (kind) {
    case 0:
        return {
            std::make_unique<dal_rpt_rkHead>(),
            QStringLiteral("select 0,id,passName,accountName,billNo,ubillNo,utype,supplierName,totalItemRow,"
                           "totalAmount,remark,creator,createTime "),
            QStringLiteral("passName asc,createTime"), true};
    case 1:
        return {
            std::make_unique<dal_rpt_rkDetail>(),
            QStringLiteral("select 0,id,passName,headId,accountName,billNo,ubillNo,utype,supplierName,"
                           "goodsTypeName,goodsCode,goodsDetailCode,goodsName,goodsDesc,unit,packQty,weight,"
                           "inPrice,qty,totalAmount,totalQty,totalDefaultQty,totalWeight,locationCode,lotNo,"
                           "remark,creator,createTime "),
            QStringLiteral("createTime"), true};
    default:
        return {std::make_unique<dal_rpt_rkSum>(),
                QStringLiteral(
                    "select 0,id,status,goodsTypeName,goodsCode,goodsName,goodsDesc,upqty,downqty,unit,"
                    "totalImportQty,totalImportWeight,totalImportDefaultQty "),
                QStringLiteral("goodsCode"), false};
    }
}

const char* kNames[] = {"bill list", "line detail", "goods sums"};

// The search as the window runs it: rebuild, count, first page of 20.
void BM_ReportFirstPage(benchmark::State& state)
{
    bills();
    const int kind = int(state.range(0));
    const Range range = Range(state.range(1));
    Report r = Make(kind);
    const ReportFill fill = FillFor(range, r.auditStates);
    int rows = 0;
    for (auto _ : state) {
        m_PageInfor page;
        page.int_PageSize = 20;
        page.int_currentPageIndex = 1;
        page.str_orderBy = r.order;
        page.isDesc = true;
        const m_recordSet result = r.data->GetListForCondition(fill, {}, page, r.selectText);
        if (!result.str_MsgBox.isEmpty())
            state.SkipWithError(result.str_MsgBox.toUtf8().constData());
        rows = result.recordCount;
        benchmark::DoNotOptimize(result.recordSet);
    }
    state.counters["rows"] = rows;
    state.SetLabel(std::string(kNames[kind]) + (range == Month ? ", May 2024" : ", whole year"));
}

// A statement of ours with its "@name" values in text order, as SQLite's
// own "?" placeholders.
BareStatement* Bare(const ConditionSql& sql, std::vector<QVariant>& values)
{
    static const QRegularExpression name(QStringLiteral("@[A-Za-z0-9_]+"));
    QString text;
    qsizetype done = 0;
    for (auto it = name.globalMatch(sql.sql); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        text += sql.sql.mid(done, m.capturedStart() - done);
        done = m.capturedEnd();
        const QVariant v = sql.params.value(m.captured());
        if (v.typeId() == qMetaTypeId<SqlRaw>()) {
            text += v.value<SqlRaw>().text;
        } else {
            text += QLatin1Char('?');
            values.push_back(v);
        }
    }
    text += sql.sql.mid(done);
    return new BareStatement(text);
}

// The same search bare: the count and the first page of 20 (after the fill,
// for a report filled at every search), each statement the one our search
// runs, prepared once on the connection and run with nothing around it.
void BM_BareSql(benchmark::State& state)
{
    bills();
    const int kind = int(state.range(0));
    const Range range = Range(state.range(1));
    Report r = Make(kind);
    const ReportFill fill = FillFor(range, r.auditStates);
    r.data->insert_temp(fill); // the table and the formatter exist
    m_PageInfor page;
    page.str_orderBy = r.order;
    page.isDesc = true;
    const QString table = r.data->setup().workTable;
    if (!r.data->setup().direct) {
        // A report filled whole at every search: the fill, the count and
        // the first page of the table.
        std::vector<QVariant> fillValues;
        std::unique_ptr<BareStatement> insert(Bare(r.data->setup().fillStatement(fill), fillValues));
        BareStatement begin(QStringLiteral("BEGIN IMMEDIATE")), commit(QStringLiteral("COMMIT"));
        BareStatement empty(QStringLiteral("DELETE FROM ") + table);
        BareStatement count(QStringLiteral("SELECT COUNT(*) FROM ") + table);
        BareStatement rows(r.selectText + QStringLiteral(" FROM ") + table + dal_rpt_Report::OrderText(page) +
                           QStringLiteral(" LIMIT 20"));
        for (auto _ : state) {
            begin.Exec();
            empty.Exec();
            insert->Exec(fillValues);
            commit.Exec();
            benchmark::DoNotOptimize(count.Run());
            if (rows.Run() != 20)
                state.SkipWithError("not a whole page");
        }
        state.SetLabel(std::string(kNames[kind]) + (range == Month ? ", May 2024" : ", whole year"));
        return;
    }
    DirectPages& direct = *r.data->setup().direct;
    direct.Count(fill, true);
    ConditionSql first = direct.Page(fill, true, dal_rpt_Report::OrderText(page), 0, 20);
    first.sql = r.selectText + QStringLiteral(" FROM (") + first.sql + QStringLiteral(")");
    std::vector<QVariant> countValues, pageValues;
    std::unique_ptr<BareStatement> count(Bare(direct.CountStatement(fill, true), countValues));
    std::unique_ptr<BareStatement> rows(Bare(first, pageValues));
    for (auto _ : state) {
        benchmark::DoNotOptimize(count->Run(countValues));
        if (rows->Run(pageValues) != 20)
            state.SkipWithError("not a whole page");
    }
    state.SetLabel(std::string(kNames[kind]) + (range == Month ? ", May 2024" : ", whole year"));
}

} // namespace

BENCHMARK(BM_ReportFirstPage)
    ->ArgsProduct({{0, 1, 2}, {Month, Year}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);
BENCHMARK(BM_BareSql)->ArgsProduct({{0, 1, 2}, {Month, Year}})->Unit(benchmark::kMillisecond)->MinTime(1.0);
