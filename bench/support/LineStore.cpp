#include "LineStore.h"

#include "sqlHelper.h"

#include <QDate>
#include <map>
#include <memory>

namespace LineStore
{

namespace
{

// Heads of one direction: bill i of month (i - 1) * 12 / bills, on day i % 28.
void addHeads(const QString& dir, const QString& partner, const QString& partnerWord, int bills,
              bool someNotListed)
{
    ExecuteParaSql(
        QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < @bills), "
            "b AS (SELECT i, date('2023-06-01', '+' || ((i - 1) * 12 / @bills) || ' months', "
            "'+' || (i % 28) || ' days') AS day FROM n) "
            "INSERT INTO tb_%1_head (id, accountId, billNo, ubillNo, utypeId, %2Id, %2Name, remark, ispass, "
            "creator, createTime, updateLastUser, updateLastTime, userId) "
            "SELECT i, CASE WHEN @other AND i % 10 = 0 THEN 7 WHEN i % 2 THEN 2 ELSE 5 END, "
            "'%1-' || substr(strftime('%Y%m', day), 3) || '-' || printf('%05d', i), "
            "CASE WHEN i % 7 = 0 THEN 'U' || i END, 3, 1 + i % 300, '%3' || (1 + i % 300), '', "
            "CASE WHEN i % 4 THEN 1 ELSE 0 END, 'admin', day || ' 10:00:00', 'admin', day || ' 10:00:00', 1 "
            "FROM b")
            .arg(dir, partner, partnerWord),
        ParamMap{{QStringLiteral("@bills"), bills}, {QStringLiteral("@other"), someNotListed ? 1 : 0}});
}

// Ten lines a bill; each names a goods item of the first kLineGoods and
// copies its code, name, description and type as a saved bill does.
void addLines(const QString& dir, int bills, int step, bool salePrice)
{
    ExecuteParaSql(
        QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < @lines - 1), "
            "l AS (SELECT i + 1 AS id, i / @per + 1 AS bill, i % @per + 1 AS rowNo FROM n), "
            "g AS (SELECT id, bill, rowNo, 1 + (bill * @step + rowNo * 13) % @goods AS goods FROM l) "
            "INSERT INTO tb_%1_detail (id, headId, rowNo, goodsTypeId, goodsTypeName, goodsId, goodsCode, "
            "goodsDetailCode, goodsName, goodsDesc, unit, inPrice, %2packQty, weight, qty, locationId, "
            "lotNo, "
            "remark) "
            "SELECT g.id, g.bill, g.rowNo, h.goodsTypeId, COALESCE(t.uname, ''), g.goods, h.goodsCode, '', "
            "h.goodsName, h.goodsDesc, CASE WHEN g.rowNo % 3 THEN '瓶' ELSE '盒' END, 1.25 + g.rowNo, %3"
            "CASE WHEN g.rowNo % 3 THEN 1 ELSE 6 END, CASE WHEN g.rowNo % 3 THEN 0.5 ELSE 3 END, "
            "1 + (g.bill + g.rowNo) % 9 + CASE WHEN g.rowNo = 5 THEN 0.25 ELSE 0 END, 1, "
            "CASE WHEN g.id % 3 = 0 THEN 'L' || (20240000 + g.bill) END, "
            "CASE WHEN g.id % 4 THEN '备注' || g.id END "
            "FROM g JOIN tb_goods_head AS h ON h.id = g.goods LEFT JOIN tb_dictionary AS t ON t.id = "
            "h.goodsTypeId")
            .arg(dir, salePrice ? QStringLiteral("salePrice, ") : QString(),
                 salePrice ? QStringLiteral("2.5 + g.rowNo, ") : QString()),
        ParamMap{{QStringLiteral("@lines"), bills * kLinesPerBill},
                 {QStringLiteral("@per"), kLinesPerBill},
                 {QStringLiteral("@step"), step},
                 {QStringLiteral("@goods"), kLineGoods}});
}

void build(BenchData& data, int goods)
{
    BenchData::GoodsPlan plan;
    plan.goodsCount = goods;
    plan.unitsPerGoods = 2;
    plan.barcodes = false;
    data.AddGoods(plan);
    data.Fill([&data] {
        data.AddBillReferences(300);
        addHeads(QStringLiteral("rk"), QStringLiteral("supplier"), QStringLiteral("供应商"), kInBills, false);
        addLines(QStringLiteral("rk"), kInBills, 7, false);
        addHeads(QStringLiteral("ck"), QStringLiteral("customer"), QStringLiteral("客户"), kOutBills, true);
        addLines(QStringLiteral("ck"), kOutBills, 11, true);
    });
    ExecuteSql(QStringLiteral("analyze"));
}

} // namespace

BenchData& Open(int goods)
{
    static std::map<int, std::unique_ptr<BenchData>> stores;
    BenchData& store = BenchData::Kept(stores[goods], QStringLiteral("lines-%1-goods-v1").arg(goods),
                                       [goods](BenchData& data) { build(data, goods); });
    store.UseIfElsewhere();
    return store;
}

QString MonthStart(int m)
{
    return QDate(2023, 6, 1).addMonths(m).toString(QStringLiteral("yyyy-MM-dd"));
}

} // namespace LineStore
