// A file made by the program of layout 3, holding what such a
// file may hold: children whose parent was deleted (and a loop of parents),
// an item under a parent of another kind, bills that name an account tag,
// bill type, partner, goods item or location no longer stored, a unit of an
// item gone. Opened by this program it keeps every row, its children stand
// at the top of their trees, new ids come above every id it held, it holds
// exactly the objects of a fresh file, and its bills open in the bill window
// with their stored codes and names.
#include "TestEnv.h"

#include "BillStore.h"
#include "DbCreator.h"
#include "FlexGrid.h"
#include "OlderDatabase.h"
#include "SchemaVersion.h"
#include "UiDriver.h"
#include "dal_customer.h"
#include "dal_dictionary.h"
#include "dal_location.h"
#include "frmBill.h"
#include "sqlHelper.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

namespace
{

// The statements of step 2 that create the named triggers, as the step has them.
QStringList stepTwoTriggers(const QStringList& names)
{
    QStringList out;
    for (const QString& statement : SchemaStepStatements(2))
        for (const QString& name : names)
            if (statement.contains(QStringLiteral(" ") + name + QStringLiteral(" ")))
                out << statement;
    return out;
}

class UpgradeTest : public DbTest
{
  protected:
    // Every table of this program's own with its row count.
    QMap<QString, int> rowCounts(const QString& file)
    {
        QMap<QString, int> out;
        for (const auto& [name, text] : SchemaObjects(file)) {
            if (!text.startsWith(QLatin1String("table|")) || name == QLatin1String("tb_sequence"))
                continue;
            const QString conn = QStringLiteral("count_") + name;
            out[name] = -1;
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
                db.setDatabaseName(file);
                if (db.open()) {
                    QSqlQuery q(db);
                    if (q.exec(QStringLiteral("select count(*) from ") + name) && q.next())
                        out[name] = q.value(0).toInt();
                    q.finish();
                    db.close();
                }
            }
            QSqlDatabase::removeDatabase(conn);
        }
        return out;
    }
};

TEST_F(UpgradeTest, AnOlderFileKeepsEveryRowAndShowsItsOrphans)
{
    CloseConn();
    const QString file = appDir() + QStringLiteral("wms.db");
    ASSERT_TRUE(QFile::remove(file));
    // The layout before units and bill tags were declared references.
    ASSERT_TRUE(CreateDatabase(file, 3).isEmpty());

    // The rows of a file that came through the steps before: lines and bills
    // naming rows deleted before the references were declared are written
    // with the guards of the time out of the way, then the guards come back.
    const QStringList guards = {
        QStringLiteral("tr_rk_detail_refs_insert"), QStringLiteral("tr_ck_detail_refs_insert"),
        QStringLiteral("tr_rk_head_refs_insert"), QStringLiteral("tr_ck_head_refs_insert")};
    QStringList fill;
    for (const QString& name : guards)
        fill << QStringLiteral("DROP TRIGGER ") + name;
    fill << QStringLiteral(
                "INSERT INTO tb_location (id, locationCode, uname, parentId) VALUES (1, 'A', '一区', 0), "
                "(2, 'A-1', '一排', 1), (98, 'X', '已删', 0), (3, 'B-1', '二排', 98), (4, 'B-1-1', '二排一', "
                "3), "
                "(5, 'L-5', '环五', 0), (6, 'L-6', '环六', 5), (7, 'L-7', '环七', 5)")
         << QStringLiteral("DELETE FROM tb_location WHERE id = 98")
         << QStringLiteral("UPDATE tb_location SET parentId = 6 WHERE id = 5")
         << QStringLiteral(
                "INSERT INTO tb_dictionary (id, utype, uname, parentId) VALUES (40, 'goodsType', '饮料', 0), "
                "(42, 'goodsType', '已删', 0), (41, 'goodsType', '果汁', 42), "
                "(43, 'accountType', '外账', 40), (44, 'accountType', '内账', 0)")
         << QStringLiteral("DELETE FROM tb_dictionary WHERE id = 42")
         << QStringLiteral("INSERT INTO tb_goods_head (id, goodsTypeId, goodsCode, goodsName) VALUES "
                           "(11, 40, 'G11', '可乐'), (30, 40, 'G30', '雪碧')")
         << QStringLiteral("INSERT INTO tb_goods_detail (id, headId, isDefault, unit, packQty) VALUES "
                           "(111, 11, 1, '瓶', 1), (300, 30, 1, '瓶', 1), (190, 19, 1, '箱', 12)")
         << QStringLiteral("INSERT INTO tb_customer (id, uname) VALUES (7, '华联')");
    for (const QString& head : {QStringLiteral("tb_rk_head"), QStringLiteral("tb_ck_head")}) {
        const QString partner =
            head == QLatin1String("tb_rk_head") ? QStringLiteral("supplier") : QStringLiteral("customer");
        const QString lines = QString(head).replace(QLatin1String("head"), QLatin1String("detail"));
        fill << QStringLiteral(
                    "INSERT INTO %1 (id, accountId, billNo, utypeId, %2Id, %2Name, createTime) VALUES "
                    "(1, 77, 'X-1', 78, 9, '旧伙伴', '2024-05-02'), "
                    "(50, 44, 'X-50', 3, 7, '华联', '2024-05-03')")
                    .arg(head, partner)
             << QStringLiteral(
                    "INSERT INTO %1 (id, headId, rowNo, goodsId, goodsCode, goodsName, unit, qty, "
                    "packQty, locationId) VALUES (1, 1, 1, 19, 'G19', '旧货', '箱', 2, 12, 97), "
                    "(2, 1, 2, 11, 'G11', '可乐', '瓶', 3, 1, 1), (80, 50, 1, 30, 'G30', '雪碧', '瓶', "
                    "1, 1, 1)")
                    .arg(lines);
    }
    fill << stepTwoTriggers(guards);
    ASSERT_EQ(RunOnFile(file, fill), QString());
    ASSERT_EQ(stepTwoTriggers(guards).size(), guards.size());
    const QMap<QString, int> before = rowCounts(file);

    // Opened: brought up to the program's layout.
    EXPECT_EQ(scalar(QStringLiteral("PRAGMA user_version")).toInt(), kSchemaVersion);
    CloseConn();
    EXPECT_EQ(rowCounts(file), before);

    // The same objects as a fresh file, word for word.
    QDir().mkpath(appDir() + QStringLiteral("fresh"));
    const QString fresh = appDir() + QStringLiteral("fresh/wms.db");
    ASSERT_TRUE(CreateFreshDatabase(fresh).isEmpty());
    EXPECT_EQ(SchemaObjects(file), SchemaObjects(fresh));

    // The children no tree showed stand at the top, with what hangs below them.
    const auto parents = [this](const QString& table) {
        QStringList out;
        const RecordSetPtr rs =
            ExecuteSql(QStringLiteral("select id, parentId from %1 order by id").arg(table));
        for (int r = 0; r < rs->RecordCount(); ++r)
            out << rs->value(r, 0).toString() + QLatin1Char('>') + rs->value(r, 1).toString();
        return out;
    };
    EXPECT_EQ(parents(QStringLiteral("tb_location")),
              (QStringList{"1>0", "2>1", "3>0", "4>3", "5>0", "6>5", "7>5"}));
    QStringList tops;
    const RecordSetPtr top = dal_location().GetList(0);
    for (int r = 0; r < top->RecordCount(); ++r)
        tops << top->value(r, QStringLiteral("locationCode")).toString();
    tops.sort();
    EXPECT_EQ(tops, (QStringList{"A", "B-1", "L-5"}));
    EXPECT_EQ(scalar(QStringLiteral("select parentId from tb_dictionary where id = 41")).toInt(), 0);
    EXPECT_EQ(scalar(QStringLiteral("select parentId from tb_dictionary where id = 43")).toInt(), 0);
    EXPECT_EQ(dal_dictionary().GetList(QStringLiteral("goodsType"), 0)->RecordCount(), 2);
    EXPECT_EQ(dal_dictionary().GetList(QStringLiteral("accountType"), 0)->RecordCount(), 3);

    // New ids come above every id the file holds.
    const struct {
        const char* table;
        int above;
    } tables[] = {{"tb_rk_head", 50},   {"tb_rk_detail", 80},  {"tb_ck_head", 50},
                  {"tb_ck_detail", 80}, {"tb_goods_head", 30}, {"tb_goods_detail", 300},
                  {"tb_customer", 7},   {"tb_location", 7},    {"tb_dictionary", 44}};
    for (const auto& t : tables) {
        SCOPED_TRACE(t.table);
        EXPECT_GE(scalar(QStringLiteral("select lastId from tb_sequence where tableName = '%1'")
                             .arg(QLatin1String(t.table)))
                      .toInt(),
                  t.above);
    }
    m_location added;
    added.locationCode = QStringLiteral("C");
    dal_location().AddNew(added);
    EXPECT_GT(added.id, 7);

    // The bills that name rows no longer stored open with their stored codes
    // and names, the account tag and bill type left to be chosen again.
    loginAs(1);
    for (const BillDirection d : kBillDirections) {
        SCOPED_TRACE(d == BillDirection::In ? "inbound" : "outbound");
        frmBill* w = d == BillDirection::In ? static_cast<frmBill*>(new frmImport)
                                            : static_cast<frmBill*>(new frmExport);
        w->show();
        w->LoadBill(1);
        EXPECT_TRUE(shown().isEmpty()) << shown().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(w->txt_id->text(), QStringLiteral("1"));
        EXPECT_EQ(w->txt_billNo->text(), QStringLiteral("X-1"));
        EXPECT_EQ(w->txt_partnerName->text(), QStringLiteral("旧伙伴"));
        EXPECT_TRUE(w->cobo_accountType->currentText().isEmpty());
        EXPECT_TRUE(w->cobo_billType->currentText().isEmpty());
        EXPECT_EQ(w->vs_bill->TextMatrix(1, w->vs_bill->ColIndex(QStringLiteral("goodsCode"))),
                  QStringLiteral("G19"));
        EXPECT_EQ(w->vs_bill->TextMatrix(1, w->vs_bill->ColIndex(QStringLiteral("goodsName"))),
                  QStringLiteral("旧货"));
        EXPECT_EQ(w->vs_bill->TextMatrix(2, w->vs_bill->ColIndex(QStringLiteral("goodsCode"))),
                  QStringLiteral("G11"));
        MsgBox::ClearShown();
        w->close();
        delete w;

        BillStore store(BillSetup::Of(d));
        BillHead h = store.GetModel(1);
        h.accountId = 2;
        h.utypeId = d == BillDirection::In ? 3 : 4;
        h.partnerId = 7;
        BillLine l;
        l.goodsId = 11;
        l.locationId = 1;
        QList<BillLine> ls = {l};
        ASSERT_TRUE(store.Add(h, ls).isResult);
        EXPECT_GT(h.id, 50);
        EXPECT_GT(ls.at(0).id, 80);
    }
}

} // namespace
