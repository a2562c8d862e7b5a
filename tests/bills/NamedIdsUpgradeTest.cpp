// Files of the first layouts (made from the base schema, as the program of
// that time left them) holding every kind of reference to a row deleted
// before the references were declared. Brought up by this program, no new
// row takes an id such a reference names, new records of every kind save,
// and the old lines read what they stored.
#include "TestEnv.h"

#include "BillStore.h"
#include "DbCreator.h"
#include "OlderDatabase.h"
#include "SchemaVersion.h"
#include "dal_customer.h"
#include "dal_dictionary.h"
#include "dal_goods_head.h"
#include "dal_location.h"
#include "sqlHelper.h"

#include <QFile>
#include <QSet>

namespace
{

class NamedIdsUpgradeTest : public DbTest, public ::testing::WithParamInterface<int>
{
  protected:
    // The rows of the older file. Deleted before the upgrade and still named:
    // goods item 60 (by lines, and by its units 600 and 601), location 70 (by
    // lines) and 73 (by a department's locations), account tag 80 and bill
    // type 81 (by bills), account tag 82 (by a department's tags), department
    // 85 (by a user), customer category 86 (by a partner), goods type 87 (by
    // a goods item) and 88 (by lines), partner 90 (by bills), bill 20 (by a
    // line) and user 9 (by bills and a note).
    QStringList olderRows() const
    {
        QStringList out{
            QStringLiteral("INSERT INTO tb_dictionary (id, utype, uname) VALUES (40, 'goodsType', '饮料'), "
                           "(44, 'accountType', '内账'), (45, 'customerType', '批发')"),
            QStringLiteral("INSERT INTO tb_account_fun (accountId, departmentId) VALUES (44, 1), (82, 1)"),
            QStringLiteral("INSERT INTO tb_location_fun (locationId, departmentId) VALUES (1, 1), (73, 1)"),
            QStringLiteral("INSERT INTO tb_user (id, [user], dictionaryId) VALUES (5, 'clerk', 85)"),
            QStringLiteral("INSERT INTO tb_customer (id, uname, customType) VALUES (7, '华联', 45), "
                           "(8, '旧类', 86)"),
            QStringLiteral("INSERT INTO tb_location (id, locationCode, uname) VALUES (1, 'A', '一区')"),
            QStringLiteral("INSERT INTO tb_goods_head (id, goodsTypeId, goodsCode, goodsName) VALUES "
                           "(11, 40, 'G11', '可乐'), (12, 87, 'G12', '旧类货')"),
            QStringLiteral("INSERT INTO tb_goods_detail (id, headId, isDefault, unit, packQty) VALUES "
                           "(111, 11, 1, '瓶', 1), (600, 60, 1, '箱', 12), (601, 60, 0, '瓶', 1)"),
            QStringLiteral("INSERT INTO tb_events (id, eventContent, createUserId) VALUES (1, '盘点', 9)"),
        };
        for (const BillDirection d : kBillDirections) {
            const BillSetup& s = BillSetup::Of(d);
            out << QStringLiteral(
                       "INSERT INTO %1 (id, accountId, billNo, utypeId, %2, %3, createTime, userId) "
                       "VALUES (1, 80, 'X-1', 81, 90, '旧伙伴', '2024-05-02', 9)")
                       .arg(s.headTable, s.partnerIdCol, s.partnerNameCol)
                << QStringLiteral("INSERT INTO %1 (id, headId, rowNo, goodsTypeId, goodsTypeName, goodsId, "
                                  "goodsCode, goodsName, unit, qty, packQty, locationId) VALUES "
                                  "(1, 1, 1, 88, '旧类', 60, 'G60', '旧货', '箱', 4, 12, 70), "
                                  "(2, 1, 2, 40, '饮料', 11, 'G11', '可乐', '瓶', 3, 1, 1), "
                                  "(3, 20, 1, 40, '饮料', 11, 'G11', '可乐', '瓶', 1, 1, 1)")
                       .arg(s.lineTable);
        }
        return out;
    }
};

TEST_P(NamedIdsUpgradeTest, NoNewRowTakesAnIdAnOldRowNames)
{
    CloseConn();
    const QString file = appDir() + QStringLiteral("wms.db");
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(CreateDatabase(file, GetParam()).isEmpty());
    ASSERT_EQ(RunOnFile(file, olderRows()), QString());

    ASSERT_EQ(scalar(QStringLiteral("PRAGMA user_version")).toInt(), kSchemaVersion);

    // A new goods item saves with its default unit: the units of the deleted
    // item are not counted as its own.
    m_goods_head goods;
    goods.goodsTypeId = 40;
    goods.goodsCode = QStringLiteral("N1");
    goods.goodsName = QStringLiteral("新货");
    m_goods_detail unit;
    unit.isDefault = 1;
    unit.unit = QStringLiteral("瓶");
    unit.packQty = 1;
    const m_DBresult savedGoods = dal_goods_head().Save(goods, unit);
    ASSERT_TRUE(savedGoods.isResult) << savedGoods.str_MsgBox.toStdString();

    m_location location;
    location.locationCode = QStringLiteral("B");
    location.uname = QStringLiteral("二区");
    dal_location().AddNew(location);

    m_customer partner;
    partner.uname = QStringLiteral("新伙伴");
    partner.customType = 45;
    partner.createTime = QStringLiteral("2024-06-01");
    dal_customer().AddNew(partner);

    struct Added {
        const char* what;
        int id;
        QSet<int> named;
    };
    QList<Added> added{
        {"goods item", goods.id, {60}},
        {"unit", unit.id, {600, 601}},
        {"location", location.id, {70, 73}},
        {"partner", partner.id, {90}},
    };
    const QSet<int> namedDictionary{80, 81, 82, 85, 86, 87, 88};
    for (const char* kind :
         {"goodsType", "department", "accountType", "importType", "exportType", "customerType"}) {
        m_dictionary item;
        item.utype = QString::fromLatin1(kind);
        item.uname = QStringLiteral("新") + item.utype;
        ASSERT_EQ(dal_dictionary().AddNamed(item), dal_dictionary::AddOutcome::Added) << kind;
        added.append({kind, item.id, namedDictionary});
    }
    for (const BillDirection d : kBillDirections) {
        BillStore store(BillSetup::Of(d));
        BillHead h;
        h.accountId = 44;
        h.utypeId = d == BillDirection::In ? 3 : 4;
        h.partnerId = 7;
        h.createTime = QStringLiteral("2024-06-01");
        BillLine l;
        l.goodsId = goods.id;
        l.goodsCode = goods.goodsCode;
        l.qty = 1;
        l.packQty = 1;
        l.locationId = location.id;
        QList<BillLine> ls{l};
        const m_DBresult r = store.Add(h, ls);
        ASSERT_TRUE(r.isResult) << r.str_MsgBox.toStdString();
        added.append({"bill", h.id, {20}});
        added.append({"line", ls.at(0).id, {}});
    }
    for (const Added& a : added) {
        SCOPED_TRACE(a.what);
        EXPECT_GT(a.id, 0);
        EXPECT_FALSE(a.named.contains(a.id)) << a.id;
        for (const int named : a.named)
            EXPECT_GT(a.id, named);
    }
    // Users and notes take their ids above those their bills and notes name.
    EXPECT_GT(scalar(QStringLiteral("select lastId from tb_sequence where tableName = 'tb_user'")).toInt(),
              8);

    // The old lines read the codes and names they stored, and name no new row.
    for (const BillDirection d : kBillDirections) {
        SCOPED_TRACE(d == BillDirection::In ? "inbound" : "outbound");
        BillStore store(BillSetup::Of(d));
        const BillLine old = store.GetLineModel(1);
        EXPECT_EQ(old.goodsCode, QStringLiteral("G60"));
        EXPECT_EQ(old.goodsName, QStringLiteral("旧货"));
        EXPECT_EQ(old.goodsTypeName, QStringLiteral("旧类"));
        EXPECT_TRUE(old.locationCode.isEmpty());
        const BillHead head = store.GetModel(1);
        EXPECT_EQ(head.billNo, QStringLiteral("X-1"));
        EXPECT_EQ(head.partnerName, QStringLiteral("旧伙伴"));
        EXPECT_TRUE(head.accountName.isEmpty());
        EXPECT_TRUE(head.utype.isEmpty());
    }
    EXPECT_EQ(count(QStringLiteral("tb_goods_detail"), QStringLiteral("headId = %1").arg(goods.id)), 1);
    EXPECT_TRUE(shown().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Layouts, NamedIdsUpgradeTest, ::testing::Values(0, 1));

} // namespace
