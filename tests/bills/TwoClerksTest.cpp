// Two clerks have the same stored bill open, each in a bill window of their
// own. The later save finds the bill changed since its window loaded it and
// is refused in the window's words, with nothing written: the earlier save's
// values stay, and the refused window, opened anew, saves.
#include "TestEnv.h"

#include "BillStore.h"
#include "DataAccess.h"
#include "FlexGrid.h"
#include "GridDriver.h"
#include "UiDriver.h"
#include "frmBill.h"

namespace
{

class TwoClerksTest : public DbTest, public ::testing::WithParamInterface<BillDirection>
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(QStringLiteral(
            "insert into tb_dictionary (id,utype,uname,isstart) values (5,'goodsType','饮料',1)"));
        exec(QStringLiteral("insert into tb_goods_head (id,goodsTypeId,goodsCode,goodsName) values "
                            "(1,5,'G001','可口可乐')"));
        exec(QStringLiteral("insert into tb_goods_detail (id,headId,isDefault,rowNo,goodsDetailCode,unit,"
                            "packQty) values (1,1,1,1,'6901','瓶',1)"));
        exec(QStringLiteral(
            "insert into tb_location (id,locationCode,uname,state) values (1,'A-01','一号',1)"));
        exec(QStringLiteral("insert into tb_location_fun (locationId,departmentId) values (1,1)"));
        exec(QStringLiteral("insert into tb_customer (id,utype,customerCode,uname,status) values "
                            "(7,2,'ct-2403-00001','华联超市',1)"));
        loginAs(1);
        frmBill::SetStockProbe([](int) { return std::optional<Decimal>(); });
        // One stored, unaudited bill: one line, 数量 1, price 7.8.
        BillHead h;
        h.accountId = 2;
        h.utypeId = dir().direction == BillDirection::In ? 3 : 4;
        h.partnerId = 7;
        h.partnerName = QStringLiteral("华联超市");
        h.creator = QStringLiteral("admin");
        h.createTime = QStringLiteral("2024-03-15");
        h.userId = 1;
        BillLine l;
        l.rowNo = 1;
        l.goodsId = 1;
        l.goodsTypeId = 5;
        l.goodsTypeName = QStringLiteral("饮料");
        l.goodsCode = QStringLiteral("G001");
        l.goodsName = QStringLiteral("可口可乐");
        l.unit = QStringLiteral("瓶");
        l.packQty = 1;
        l.qty = 1;
        l.inPrice = 7.8;
        l.salePrice = 7.8;
        l.locationId = 1;
        QList<BillLine> ls = {l};
        ASSERT_TRUE(store.Add(h, ls).isResult);
        billId = h.id;
        lineId = ls.at(0).id;
    }
    void TearDown() override
    {
        frmBill::SetStockProbe({});
        DbTest::TearDown();
    }

    const BillSetup& dir() const { return BillSetup::Of(GetParam()); }
    QString priceKey() const { return QString::fromLatin1(dir().hasSalePrice ? "salePrice" : "inPrice"); }
    frmBill* openBill()
    {
        frmBill* w = GetParam() == BillDirection::In ? static_cast<frmBill*>(new frmImport)
                                                     : static_cast<frmBill*>(new frmExport);
        w->show();
        ui::activate(w);
        w->LoadBill(billId);
        return w;
    }
    // Types into the bill's one line and saves with the toolbar's 保存, as a clerk does.
    static void editAndSave(frmBill* w, const QString& key, const QString& value)
    {
        ui::activate(w);
        ui::typeCell(w->vs_bill, 1, w->vs_bill->ColIndex(key), value);
        MsgBox::QueueAnswer(MsgAnswer::Yes);
        ui::clickToolbar(w, "save");
    }
    double stored(const QString& column)
    {
        return scalar(
                   QStringLiteral("select %1 from %2 where id=%3").arg(column, dir().lineTable).arg(lineId))
            .toDouble();
    }

    BillStore store{BillSetup::Of(GetParam())};
    int billId = 0;
    int lineId = 0;
};

TEST_P(TwoClerksTest, TheLaterSaveOfTheSameBillIsRefused)
{
    frmBill* a = openBill();
    frmBill* b = openBill();

    editAndSave(b, QStringLiteral("qty"), QStringLiteral("5"));
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!"));

    editAndSave(a, priceKey(), QStringLiteral("3"));
    EXPECT_EQ(MsgBox::LastText(), kRecordChangedText);
    EXPECT_DOUBLE_EQ(stored(QStringLiteral("qty")), 5);
    EXPECT_DOUBLE_EQ(stored(dir().priceCol), 7.8);
    EXPECT_EQ(count(dir().lineTable), 1);

    // B's window holds what it saved: a second save of it goes through and
    // keeps the line (its id) in place.
    editAndSave(b, QStringLiteral("qty"), QStringLiteral("6"));
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!"));
    EXPECT_DOUBLE_EQ(stored(QStringLiteral("qty")), 6);

    // A opens the bill anew, letting its refused change go, and saves its
    // price over B's quantity.
    MsgBox::QueueAnswer(MsgAnswer::Yes);
    a->LoadBill(billId);
    EXPECT_EQ(a->vs_bill->TextMatrix(1, a->vs_bill->ColIndex(QStringLiteral("qty"))), QStringLiteral("6"));
    editAndSave(a, priceKey(), QStringLiteral("3"));
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!"));
    EXPECT_DOUBLE_EQ(stored(QStringLiteral("qty")), 6);
    EXPECT_DOUBLE_EQ(stored(dir().priceCol), 3);
    EXPECT_EQ(count(dir().lineTable), 1);
}

INSTANTIATE_TEST_SUITE_P(BothDirections, TwoClerksTest, ::testing::ValuesIn(kBillDirections),
                         [](const auto& info) {
                             return std::string(info.param == BillDirection::In ? "Inbound" : "Outbound");
                         });

} // namespace
