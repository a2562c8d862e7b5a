// The stock rebuild, the live balance and the goods sums read their lines
// through the counted heads and write their figures with the report
// formatter. Here they are held against reference statements that read the
// bill tables directly, written out below with the number functions they
// call, on a seeded database of many goods items and bills: every row and
// every text must be the same.
#include "StockFixture.h"

#include "Numbers.h"
#include "ReportSetup.h"
#include "dal_rpt_Reports.h"
#include "sqlHelper.h"

#include <QSqlDriver>
#include <random>
#include <sqlite3.h>

namespace
{

// ---- the reference number functions of the stock figures ----

void referenceStockSum(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    QByteArray text("0");
    if (sqlite3_value_type(argv[0]) != SQLITE_NULL) {
        const int places = qBound(0, sqlite3_value_int(argv[1]), 3);
        const QString t = FormatNumber(sqlite3_value_double(argv[0]),
                                       places >= 3 ? QStringLiteral("#0.0##") : QStringLiteral("#0.0#"));
        text = ReadNumber(t) == 0.0 ? QByteArray("0") : t.toLatin1();
    }
    sqlite3_result_text(ctx, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

void referenceStockDiff(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const QByteArray text = PlainNumber(sqlite3_value_double(argv[0]) - sqlite3_value_double(argv[1]),
                                        qBound(0, sqlite3_value_int(argv[2]), 3))
                                .toLatin1();
    sqlite3_result_text(ctx, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

void registerReferenceFunctions()
{
    sqlite3* db = *static_cast<sqlite3* const*>(SharedConn().driver()->handle().constData());
    ASSERT_EQ(sqlite3_create_function_v2(db, "ref_stock_sum", 2, SQLITE_UTF8, nullptr, referenceStockSum,
                                         nullptr, nullptr, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_create_function_v2(db, "ref_stock_diff", 3, SQLITE_UTF8, nullptr, referenceStockDiff,
                                         nullptr, nullptr, nullptr),
              SQLITE_OK);
}

// ---- the reference statements ----

QString referenceDirectionSums(const QString& name, const QString& dir, const QString& acc)
{
    return QStringLiteral("%1 AS MATERIALIZED (SELECT d.goodsId, SUM(d.qty * d.packQty) AS pieces,"
                          " SUM(d.qty * d.weight) AS weight"
                          " FROM tb_%2_detail AS d JOIN tb_%2_head AS h ON h.id = d.headId"
                          " WHERE h.ispass = 1 AND h.accountId IN (%3)"
                          " GROUP BY d.goodsId)")
        .arg(name, dir, acc);
}

QString referenceStockRows(const QString& acc)
{
    const auto units = [](const QString& pieces) {
        return QStringLiteral("CASE WHEN a.packQty = 0 THEN 0 ELSE %1 / a.packQty END").arg(pieces);
    };
    return QStringLiteral("WITH ") + referenceDirectionSums(QStringLiteral("i"), QStringLiteral("rk"), acc) +
           QStringLiteral(", ") + referenceDirectionSums(QStringLiteral("o"), QStringLiteral("ck"), acc) +
           QStringLiteral(
               ", s AS MATERIALIZED (SELECT b.id, b.goodsTypeId,"
               " COALESCE((SELECT uname FROM tb_dictionary WHERE id = b.goodsTypeId), '') AS goodsTypeName,"
               " b.goodsCode, b.goodsName, b.goodsDesc, b.pinyin, b.upqty, b.downqty, b.status,"
               " a.isDefault, a.unit,"
               " ref_stock_sum(i.pieces, 3) AS inQty, ref_stock_sum(%1, 3) AS inDefault,"
               " ref_stock_sum(i.weight, 2) AS inWeight,"
               " ref_stock_sum(o.pieces, 3) AS outQty, ref_stock_sum(%2, 3) AS outDefault,"
               " ref_stock_sum(o.weight, 2) AS outWeight"
               " FROM tb_goods_detail AS a JOIN tb_goods_head AS b ON b.id = a.headId"
               " LEFT JOIN i ON i.goodsId = b.id LEFT JOIN o ON o.goodsId = b.id"
               " WHERE a.isDefault = 1) "
               "SELECT id, goodsTypeId, goodsTypeName, goodsCode, goodsName, goodsDesc, pinyin, upqty,"
               " downqty, status, isDefault, unit, inQty, inDefault, inWeight, outQty, outDefault,"
               " outWeight, ref_stock_diff(inQty, outQty, 3), ref_stock_diff(inDefault, outDefault, 3),"
               " ref_stock_diff(inWeight, outWeight, 2) FROM s")
               .arg(units(QStringLiteral("i.pieces")), units(QStringLiteral("o.pieces")));
}

QString referenceLivePieces(const QString& acc)
{
    return QStringLiteral(
               "SELECT (SELECT SUM(d.qty * d.packQty) FROM tb_rk_detail AS d JOIN tb_rk_head AS h ON h.id = "
               "d.headId WHERE d.goodsId = b.id AND h.ispass = 1 AND h.accountId IN (%1)) AS inQty,"
               " (SELECT SUM(d.qty * d.packQty) FROM tb_ck_detail AS d JOIN tb_ck_head AS h ON h.id = "
               "d.headId WHERE d.goodsId = b.id AND h.ispass = 1 AND h.accountId IN (%1)) AS outQty"
               " FROM tb_goods_detail AS a JOIN tb_goods_head AS b ON b.id = a.headId"
               " WHERE a.isDefault = 1 AND b.id = @goodsId LIMIT 1")
        .arg(acc);
}

QString referenceGoodsSums(const BillSetup& t, const QString& acc, const QString& headWhere)
{
    return QStringLiteral("WITH h AS MATERIALIZED (SELECT a.id FROM %1 AS a "
                          "WHERE a.ispass = 1 AND a.accountId IN (%2)")
               .arg(t.headTable, acc) +
           headWhere +
           QStringLiteral("), c AS MATERIALIZED (SELECT d.goodsId, SUM(d.qty * d.packQty) AS q, "
                          "SUM(d.qty * d.weight) AS w FROM h CROSS JOIN %1 AS d ON d.headId = h.id "
                          "GROUP BY d.goodsId), ")
               .arg(t.lineTable) +
           QStringLiteral(
               "u AS MATERIALIZED (SELECT headId, MIN(id) AS unitId, COUNT(*) AS n "
               "FROM tb_goods_detail WHERE isDefault = 1 GROUP BY headId) "
               "SELECT b.id, b.goodsTypeId, (SELECT uname FROM tb_dictionary WHERE id = "
               "b.goodsTypeId), b.goodsCode, b.goodsName, b.goodsDesc, b.pinyin, b.upqty, b.downqty, "
               "b.status, 1, a.unit, rpt_num(COALESCE(c.q, 0), '#0.0##', '0'), "
               "CASE WHEN u.n = 1 AND a.packQty > 0 "
               "THEN rpt_num(CAST(COALESCE(c.q, 0) AS REAL) / a.packQty, '#0.0##', '0') END, "
               "rpt_num(COALESCE(c.w, 0), '#0.0#', '0') "
               "FROM u JOIN tb_goods_detail AS a ON a.id = u.unitId "
               "JOIN tb_goods_head AS b ON b.id = u.headId "
               "LEFT JOIN c ON c.goodsId = b.id ORDER BY b.id");
}

// Every row of a query as texts (Null as "<null>"), in its order.
QStringList rowsOf(const QString& sql, const ParamMap& params = {})
{
    const RecordSetPtr rs = ExecuteSql(sql, params);
    QStringList rows;
    for (int r = 0; rs && r < rs->RecordCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < rs->fieldCount(); ++c) {
            const QVariant v = rs->value(r, c);
            cells << (v.isNull() ? QStringLiteral("<null>") : v.toString());
        }
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

} // namespace

// Goods items of every kind (one default unit, a default unit of 0 pieces, two
// default units, none) and bills of both directions over three account tags,
// audited or not, with whole and part quantities.
class StockSameRowsTest : public StockTest
{
  protected:
    void SetUp() override
    {
        StockTest::SetUp();
        std::mt19937 rng(20240520);
        std::uniform_int_distribution<int> pick(0, 99);
        exec(QStringLiteral("BEGIN"));
        // Lines of items that are not stored, as a file of the layout before
        // the declared references may hold.
        exec(QStringLiteral("drop trigger tr_rk_detail_refs_insert"));
        exec(QStringLiteral("drop trigger tr_ck_detail_refs_insert"));
        for (int g = 1; g <= 60; ++g) {
            const int kind = g % 10;
            const double pack = kind == 3 ? 0 : (kind == 5 ? -6 : 1 + g % 4 * 6);
            addGoods(g, QStringLiteral("C%1").arg(g, 3, 10, QLatin1Char('0')), QStringLiteral("货%1").arg(g),
                     pack, g % 7 ? QStringLiteral("饮料") : QStringLiteral("零食"), kind != 7);
            if (kind == 9) // a second default unit
                exec(QStringLiteral("insert into tb_goods_detail(id,headId,isDefault,unit,packQty,weight)"
                                    " values(%1,%2,1,'托',48,30)")
                         .arg(g * 10 + 2)
                         .arg(g));
        }
        const int accounts[] = {2, 5, 9};
        int bill = 0;
        for (const QString& dir : {QStringLiteral("rk"), QStringLiteral("ck")}) {
            for (int b = 0; b < 120; ++b) {
                QList<Line> lines;
                const int n = 1 + pick(rng) % 8;
                for (int k = 0; k < n; ++k) {
                    const int goods = 1 + pick(rng) % 64; // now and then an item that is not listed
                    const bool box = pick(rng) < 40;
                    double qty = 1 + pick(rng) % 30;
                    if (pick(rng) < 15)
                        qty += (1 + pick(rng) % 99) / 100.0;
                    lines.append({goods, qty, box ? 6.0 : 1.0, box ? 2.35 : 0.4});
                }
                addBill(dir, ++bill, accounts[pick(rng) % 3], pick(rng) < 80, lines);
            }
        }
        for (const char* head : {"tb_rk_head", "tb_ck_head"})
            exec(QStringLiteral("update %1 set createTime = '2024-0' || (1 + id % 5) || '-1' || (id % 10) "
                                "|| ' 10:00:00'")
                     .arg(QLatin1String(head)));
        exec(QStringLiteral("COMMIT"));
        RegisterReportFunctions();
        registerReferenceFunctions();
    }
};

TEST_F(StockSameRowsTest, RebuildAndLiveBalanceGiveTheReferenceFigures)
{
    dal_rpt_stock dal;
    for (const QString& acc :
         {QStringLiteral("2,0"), QStringLiteral("2,5,0"), QStringLiteral("0"), QStringLiteral("2,5,9,0")}) {
        ASSERT_TRUE(dal.insert_temp_rpt_stock(acc).isResult);
        const QStringList now = rowsOf(QStringLiteral("select ") + dal_rpt_stock::Columns().join(',') +
                                       QStringLiteral(" from temp_rpt_stock order by id, unit"));
        const QStringList expected = rowsOf(QStringLiteral("select * from (") + referenceStockRows(acc) +
                                            QStringLiteral(") order by id, unit"));
        ASSERT_GT(expected.size(), 50) << acc.toStdString();
        EXPECT_EQ(now, expected) << acc.toStdString();

        for (int g = 1; g <= 64; ++g) {
            const QStringList pieces =
                rowsOf(referenceLivePieces(acc), ParamMap{{QStringLiteral("@goodsId"), g}});
            const std::optional<double> live = LiveQty(dal, acc, g);
            ASSERT_EQ(live.has_value(), !pieces.isEmpty()) << g;
            if (!live)
                continue;
            const QStringList inOut = pieces.first().split('|');
            const double in = RoundHalfAway(ReadNumber(inOut.at(0) == "<null>" ? QString() : inOut.at(0)), 3);
            const double out =
                RoundHalfAway(ReadNumber(inOut.at(1) == "<null>" ? QString() : inOut.at(1)), 3);
            EXPECT_EQ(*live, RoundHalfAway(in - out, 3)) << g;
        }
    }
}

TEST_F(StockSameRowsTest, GoodsSumsGiveTheReferenceRows)
{
    for (const BillDirection dir : {BillDirection::In, BillDirection::Out}) {
        const BillSetup& t = BillSetup::Of(dir);
        std::unique_ptr<dal_rpt_Report> dal;
        if (dir == BillDirection::In)
            dal = std::make_unique<dal_rpt_rkSum>();
        else
            dal = std::make_unique<dal_rpt_ckSum>();
        for (const bool month : {false, true}) {
            ReportFill fill;
            fill.accountList = QStringLiteral("2,5,0");
            QString headWhere;
            if (month) {
                fill.conditions.append(
                    m_condition(SearchKey::CreateTime, QStringLiteral(">="), QStringLiteral("2024-03-01")));
                fill.conditions.append(
                    m_condition(SearchKey::CreateTime, QStringLiteral("<"), QStringLiteral("2024-04-01")));
                headWhere =
                    QStringLiteral(" and (a.createTime >= '2024-03-01') and (a.createTime < '2024-04-01')");
            }
            ASSERT_TRUE(dal->insert_temp(fill).isResult);
            const QStringList now =
                rowsOf(QStringLiteral("select ") + dal->setup().fullColumns + QStringLiteral(" from ") +
                       dal->setup().workTable + QStringLiteral(" order by id"));
            const QStringList expected = rowsOf(referenceGoodsSums(t, fill.accountList, headWhere));
            ASSERT_GT(expected.size(), 50);
            EXPECT_EQ(now, expected) << t.numberKind.toStdString() << month;
        }
    }
}
