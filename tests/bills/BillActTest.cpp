// Two workstations on one file: an audit or delete acts on the bill the
// clerk saw or on none, and a bill's id is never handed out twice, whatever
// is done to its sequence by hand.
#include "WriteRace.h"

#include "BillStore.h"
#include "DataAccess.h"
#include "OlderDatabase.h"

namespace
{

class BillActTest : public RaceTest, public ::testing::WithParamInterface<BillDirection>
{
  protected:
    void SetUp() override
    {
        RaceTest::SetUp();
        exec(QStringLiteral("insert into tb_customer (id, uname) values (7, '甲')"));
        exec(QStringLiteral(
            "insert into tb_goods_head (id, goodsCode, goodsName) values (11, 'G11', '可乐')"));
        exec(QStringLiteral("insert into tb_location (id, locationCode) values (1, 'A')"));
    }
    const BillSetup& dir() const { return BillSetup::Of(GetParam()); }
    BillHead addBill()
    {
        BillHead h;
        h.accountId = 2;
        h.utypeId = GetParam() == BillDirection::In ? 3 : 4;
        h.partnerId = 7;
        h.partnerName = QStringLiteral("甲");
        h.createTime = QStringLiteral("2024-05-02");
        BillLine l;
        l.goodsId = 11;
        l.goodsCode = QStringLiteral("G11");
        l.qty = 1;
        l.packQty = 1;
        l.locationId = 1;
        QList<BillLine> ls{l};
        EXPECT_TRUE(store.Add(h, ls).isResult);
        return h;
    }

    BillStore store{BillSetup::Of(GetParam())};
};

} // namespace

// A bill saved at the other workstation after the clerk read it is neither
// audited nor deleted: the clerk is told it changed, and nothing is written.
TEST_P(BillActTest, AStaleAuditOrDeleteIsRefused)
{
    const struct {
        const char* what;
        std::function<QString(const BillHead& seen)> act;
    } cases[] = {
        {"audit",
         [&](const BillHead& seen) {
             const BillStore::PassOutcome done =
                 store.SetPass(seen.id, true, QStringLiteral("clerk"), QStringLiteral("2024-05-03 08:00:00"),
                               {seen.rowVersion, dir().rights.pass});
             return done == BillStore::PassOutcome::Done ? QString() : BillStore::PassRefusal(done);
         }},
        {"delete",
         [&](const BillHead& seen) {
             return store.Delete(seen.id, {seen.rowVersion, dir().rights.remove}).str_MsgBox;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const BillHead seen = store.GetModel(addBill().id);
        other->exec(
            QStringLiteral("update %1 set remark = 'elsewhere', rowVersion = rowVersion + 1 where id = %2")
                .arg(dir().headTable)
                .arg(seen.id));
        EXPECT_EQ(c.act(seen), kRecordChangedText);
        EXPECT_EQ(count(dir().headTable,
                        QStringLiteral("id = %1 and ispass = 0 and updateLastUser <> 'clerk'").arg(seen.id)),
                  1);
        EXPECT_EQ(count(dir().lineTable, QStringLiteral("headId = %1").arg(seen.id)), 1);

        // The bill as it is now is acted on.
        const BillHead now = store.GetModel(seen.id);
        EXPECT_EQ(c.act(now), QString());
    }
}

// A sequence lowered, dropped or written lower by hand never hands out the
// id of a bill deleted since; one missing altogether is written anew above
// every stored id.
TEST_P(BillActTest, ASequenceSetBackByHandGivesNoIdTwice)
{
    const QString table = dir().headTable;
    const struct {
        const char* what;
        QStringList byHand;
        int above; // the deleted bill's id, or the largest stored one
    } cases[] = {
        {"lowered",
         {QStringLiteral("update tb_sequence set lastId = 1 where tableName = '%1'").arg(table)},
         3},
        {"deleted", {QStringLiteral("delete from tb_sequence where tableName = '%1'").arg(table)}, 3},
        {"written lower in its place",
         {QStringLiteral("insert or replace into tb_sequence (tableName, lastId) values ('%1', 1)")
              .arg(table)},
         3},
        {"missing",
         {QStringLiteral("drop trigger tr_sequence_keep_delete"),
          QStringLiteral("delete from tb_sequence where tableName = '%1'").arg(table)},
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        exec(QStringLiteral("delete from %1").arg(dir().lineTable));
        exec(QStringLiteral("delete from %1").arg(table));
        // The guards keep the row at its highest: it starts again from 0 with
        // them out of the way, and they are back when the file is opened.
        CloseConn();
        other.reset();
        ASSERT_EQ(
            RunOnFile(
                appDir() + QStringLiteral("wms.db"),
                {QStringLiteral("drop trigger tr_sequence_keep_update"),
                 QStringLiteral("update tb_sequence set lastId = 0 where tableName = '%1'").arg(table)}),
            QString());
        other = std::make_unique<OtherWorkstation>(appDir() + QStringLiteral("wms.db"));
        ASSERT_EQ(count(QStringLiteral("sqlite_master"), QStringLiteral("name = 'tr_sequence_keep_update'")),
                  1);

        for (int k = 1; k <= 3; ++k)
            ASSERT_EQ(addBill().id, k);
        ASSERT_TRUE(store.Delete(3).isResult);
        for (const QString& sql : c.byHand)
            other->exec(sql);
        const BillHead next = addBill();
        EXPECT_GT(next.id, c.above);
        EXPECT_EQ(scalar(QStringLiteral("select lastId from tb_sequence where tableName = '%1'").arg(table))
                      .toInt(),
                  next.id);
    }
}

INSTANTIATE_TEST_SUITE_P(Directions, BillActTest, ::testing::Values(BillDirection::In, BillDirection::Out));
