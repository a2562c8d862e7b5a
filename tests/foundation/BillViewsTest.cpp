// The bill views give a bill's amount by the bill rule: each line's exact
// product rounded once to three places, their exact sum, then two places. A
// file of the layout before is brought to the views of a fresh file.

#include "TestEnv.h"

#include "DbCreator.h"
#include "OlderDatabase.h"
#include "SchemaVersion.h"
#include "sqlHelper.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <map>
#include <string>
#include <vector>

namespace
{

// Runs statements on a database file through a connection of its own, as
// another program would, without the program's functions.
void onFile(const QString& file, const QStringList& statements)
{
    const QString conn = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(file);
        EXPECT_TRUE(db.open());
        QSqlQuery q(db);
        for (const QString& sql : statements)
            EXPECT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(conn);
}

// The views of a file by name: their SQL text.
std::map<QString, QString> viewsOf(const QString& file)
{
    const QString conn = QUuid::createUuid().toString();
    std::map<QString, QString> out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(file);
        EXPECT_TRUE(db.open());
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'view'")));
        while (q.next())
            out[q.value(0).toString()] = q.value(1).toString();
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(conn);
    return out;
}

using BillViewsTest = DbTest;

} // namespace

// The views of version 2 summed the binary products; whatever they were, the
// step to version 3 leaves the views of a fresh file, word for word.
TEST_F(BillViewsTest, AVersionTwoFileGetsTheViewsOfAFreshFile)
{
    CloseConn();
    const QString older = appDir() + QStringLiteral("older/wms.db");
    const QString fresh = appDir() + QStringLiteral("fresh/wms.db");
    QDir().mkpath(appDir() + QStringLiteral("older"));
    QDir().mkpath(appDir() + QStringLiteral("fresh"));
    ASSERT_TRUE(CreateDatabase(older, 2).isEmpty());
    ASSERT_TRUE(CreateFreshDatabase(fresh).isEmpty());
    QStringList older2;
    for (const char* view : {"v_rk_head", "v_ck_head", "v_rk_detail", "v_ck_detail"})
        older2 << QStringLiteral("DROP VIEW IF EXISTS %1").arg(QLatin1String(view))
               << QStringLiteral("CREATE VIEW %1 AS SELECT id, 0.0 AS totalAmount FROM tb_rk_head")
                      .arg(QLatin1String(view));
    onFile(older, older2);
    ASSERT_NE(viewsOf(older), viewsOf(fresh));

    SetAppPathOverride(appDir() + QStringLiteral("older"));
    EXPECT_EQ(ExecuteSql(QStringLiteral("PRAGMA user_version"))->value(0, 0).toInt(), kSchemaVersion);
    EXPECT_EQ(scalar(QStringLiteral("SELECT totalAmount FROM v_rk_head")), QVariant());
    CloseConn();
    SetAppPathOverride(appDir());

    EXPECT_EQ(viewsOf(older), viewsOf(fresh));
    EXPECT_TRUE(shown().isEmpty());
}

// The head views give the bill's amount ("#0.0#"), the line views each line's
// amount as the bill window shows it ("#0.0##"), in both directions.
TEST_F(BillViewsTest, HeadAndLineViewsGiveTheAmountsByTheBillRule)
{
    exec(QStringLiteral("INSERT INTO tb_dictionary (id, utype, uname) VALUES (5, 'goodsType', '饮料')"));
    exec(QStringLiteral("INSERT INTO tb_customer (id, uname) VALUES (7, '甲')"));
    exec(QStringLiteral("INSERT INTO tb_location (id, locationCode) VALUES (1, 'A')"));
    exec(QStringLiteral("INSERT INTO tb_goods_head (id, goodsTypeId, goodsCode) VALUES (11, 5, 'G11')"));
    const struct {
        std::vector<std::pair<const char*, const char*>> lines; // qty, price as SQL literals
        std::vector<std::string> lineAmounts;
        std::string amount;
    } cases[] = {
        {{}, {}, "0.0"},
        {{{"1", "1.0045"}, {"0.3", "3"}}, {"1.005", "0.9"}, "1.91"},
        {{{"1.5", "0.003"}}, {"0.005"}, "0.01"},
        {{{"1.5", "0.0015"}, {"1.5", "0.0015"}}, {"0.002", "0.002"}, "0.0"},
        {{{"100000", "12.345"}, {"1e-05", "1"}}, {"1234500.0", "0.0"}, "1234500.0"},
        {{{"999999999999999", "999999999999999"}, {"0.123456789012", "1"}},
         {"999999999999998000000000000001.0", "0.123"},
         "999999999999998000000000000001.12"},
        {{{"-2.5", "0.3"}, {"1", "0.005"}}, {"-0.75", "0.005"}, "-0.75"},
        {{{"0.000000005", "100000000"}}, {"0.5"}, "0.5"},
        {{{"1e308", "2"}}, {"2" + std::string(308, '0') + ".0"}, "2" + std::string(308, '0') + ".0"},
    };
    for (const char* kind : {"rk", "ck"}) {
        const QString price = QLatin1String(kind) == QLatin1String("rk") ? QStringLiteral("inPrice")
                                                                         : QStringLiteral("salePrice");
        const QString partner = QLatin1String(kind) == QLatin1String("rk") ? QStringLiteral("supplierId")
                                                                           : QStringLiteral("customerId");
        int line = 0;
        for (size_t b = 0; b < std::size(cases); ++b) {
            const auto& c = cases[b];
            const int head = int(b) + 1;
            SCOPED_TRACE(std::string(kind) + " bill " + std::to_string(head));
            exec(QStringLiteral("INSERT INTO tb_%1_head (id, %2) VALUES (%3, 7)")
                     .arg(kind, partner)
                     .arg(head));
            for (const auto& [qty, p] : c.lines)
                exec(QStringLiteral("INSERT INTO tb_%1_detail (id, headId, goodsId, locationId, qty, %2) "
                                    "VALUES (%3, %4, 11, 1, %5, %6)")
                         .arg(kind, price)
                         .arg(++line)
                         .arg(head)
                         .arg(QLatin1String(qty), QLatin1String(p)));
            EXPECT_EQ(
                scalar(QStringLiteral("SELECT totalAmount FROM v_%1_head WHERE id = %2").arg(kind).arg(head))
                    .toString()
                    .toStdString(),
                c.amount);
            const RecordSetPtr rs =
                ExecuteSql(QStringLiteral("SELECT totalAmount FROM v_%1_detail WHERE headId = %2 ORDER BY id")
                               .arg(kind)
                               .arg(head));
            std::vector<std::string> amounts;
            for (int r = 0; r < rs->RecordCount(); ++r)
                amounts.push_back(rs->value(r, 0).toString().toStdString());
            EXPECT_EQ(amounts, c.lineAmounts);
        }
    }
}
