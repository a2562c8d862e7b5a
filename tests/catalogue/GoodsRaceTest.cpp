// Two workstations on one database file: what one checks before its write
// may change before the write. The checks that guard a goods or unit write
// run inside its transaction, so the second save is refused, never stored.

#include "TestEnv.h"
#include "WriteRace.h"
#include "check_GoodsCode.h"
#include "dal_dictionary.h"
#include "dal_goods_detail.h"
#include "dal_goods_head.h"

namespace
{

class GoodsRaceTest : public RaceTest
{
  protected:
    void SetUp() override
    {
        RaceTest::SetUp();
        exec(QStringLiteral(
            "insert into tb_dictionary (id,utype,uname,isstart) values (5,'goodsType','饮料',1)"));
    }
    static m_goods_head item(const QString& code)
    {
        m_goods_head g;
        g.goodsTypeId = 5;
        g.goodsCode = code;
        g.goodsName = QStringLiteral("可乐");
        g.status = QStringLiteral("启用");
        return g;
    }
    static m_goods_detail unit(const QString& barcode)
    {
        m_goods_detail u;
        u.isDefault = 1;
        u.unit = QStringLiteral("瓶");
        u.packQty = 1;
        u.goodsDetailCode = barcode;
        return u;
    }
    // The other workstation stores item 50 with its default unit.
    void otherStores(const QString& code, const QString& barcode)
    {
        other->exec(QStringLiteral("insert into tb_goods_head (id,goodsTypeId,goodsCode,goodsName) values "
                                   "(50,5,'%1','雪碧')")
                        .arg(code));
        other->exec(
            QStringLiteral("insert into tb_goods_detail (id,headId,isDefault,rowNo,goodsDetailCode,unit,"
                           "packQty) values (50,50,1,1,'%1','瓶',1)")
                .arg(barcode));
    }
};

// Each case: this workstation checks (and finds the value free), the other
// stores it, then this workstation saves.
TEST_F(GoodsRaceTest, TheSecondSaveOfACodeOrBarcodeIsRefused)
{
    const struct {
        const char* name;
        QString code, barcode, otherCode, otherBarcode, refusal;
    } cases[] = {
        {"same goods code", "G1", "111", "g1", "222", QStringLiteral("货品编码[G1]存在,请重新输入!")},
        {"same barcode", "G1", "111", "G2", "111", QStringLiteral("有以下条码重复:\r\n111,\r\n请重新设置!")},
        {"code taken as a barcode", "G1", "111", "G2", "g1",
         QStringLiteral("有以下条码重复:\r\ng1,\r\n请重新设置!")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        exec(QStringLiteral("delete from tb_goods_detail"));
        exec(QStringLiteral("delete from tb_goods_head"));
        ASSERT_TRUE(dal_goods_head::CodeTakenText(0, c.code).isEmpty());
        ASSERT_TRUE(check_GoodsCode(dal_goods_head::AddedCodes(0, c.code, c.barcode)).isResult);
        otherStores(c.otherCode, c.otherBarcode);

        m_goods_head g = item(c.code);
        m_goods_detail u = unit(c.barcode);
        const m_DBresult r = dal_goods_head().Save(g, u);
        EXPECT_FALSE(r.isResult);
        EXPECT_EQ(r.str_MsgBox, c.refusal);
        EXPECT_TRUE(dal_goods_head::IsSaveRefusal(r.str_MsgBox));
        EXPECT_EQ(count(QStringLiteral("tb_goods_head")), 1);
        EXPECT_EQ(count(QStringLiteral("tb_goods_detail")), 1);
    }
}

TEST_F(GoodsRaceTest, UnitsOfAnItemDeletedElsewhereAreRefusedAndNothingIsWritten)
{
    m_goods_head g = item(QStringLiteral("G1"));
    m_goods_detail u = unit(QStringLiteral("111"));
    ASSERT_TRUE(dal_goods_head().Save(g, u).isResult);
    other->exec(QStringLiteral("delete from tb_goods_detail"));
    other->exec(QStringLiteral("delete from tb_goods_head"));

    QList<m_goods_detail> units{unit(QStringLiteral("111")), unit(QStringLiteral("112"))};
    units[1].isDefault = 0;
    const m_DBresult r = dal_goods_detail().SaveUnits(g.id, g.rowVersion, units, {QStringLiteral("112")},
                                                      {{u.id, QStringLiteral("111")}});
    EXPECT_FALSE(r.isResult);
    EXPECT_EQ(r.str_MsgBox, QStringLiteral("当前货品信息不存在!"));
    EXPECT_EQ(count(QStringLiteral("tb_goods_detail")), 0);

    // The same through the older batch entry point.
    KeyValue batch;
    batch.AddItem(QStringLiteral("1|insert into tb_goods_detail (id,headId,isDefault,unit,packQty) "
                                 "values (@id,@headId,@isDefault,@unit,@packQty)"),
                  QVariant::fromValue(units[0]));
    EXPECT_FALSE(dal_goods_detail().Batch_Update(g.id, batch).isResult);
    EXPECT_EQ(count(QStringLiteral("tb_goods_detail")), 0);
}

TEST_F(GoodsRaceTest, AUnitBarcodeStoredElsewhereMeanwhileIsRefused)
{
    m_goods_head g = item(QStringLiteral("G1"));
    m_goods_detail u = unit(QStringLiteral("111"));
    ASSERT_TRUE(dal_goods_head().Save(g, u).isResult);
    ASSERT_TRUE(check_GoodsCode({QStringLiteral("333")}).isResult);
    otherStores(QStringLiteral("G2"), QStringLiteral("333"));

    QList<m_goods_detail> units{unit(QStringLiteral("111")), unit(QStringLiteral("333"))};
    units[1].isDefault = 0;
    const m_DBresult r = dal_goods_detail().SaveUnits(g.id, g.rowVersion, units, {QStringLiteral("333")},
                                                      {{u.id, QStringLiteral("111")}});
    EXPECT_FALSE(r.isResult);
    EXPECT_EQ(r.str_MsgBox, QStringLiteral("有以下条码重复:\r\n333,\r\n请重新设置!"));
    EXPECT_EQ(count(QStringLiteral("tb_goods_detail"), QStringLiteral("headId=") + QString::number(g.id)), 1);
}

TEST_F(GoodsRaceTest, ADictionaryNameStoredElsewhereMeanwhileIsRefused)
{
    dal_dictionary dal;
    ASSERT_TRUE(dal.NameTakenText(0, QStringLiteral("goodsType"), QStringLiteral("果汁")).isEmpty());
    other->exec(
        QStringLiteral("insert into tb_dictionary (id,utype,uname,isstart) values (9,'goodsType','果汁',1)"));

    m_dictionary item;
    item.utype = QStringLiteral("goodsType");
    item.uname = QStringLiteral("果汁");
    item.isstart = 1;
    EXPECT_EQ(dal.Save(item), QStringLiteral("名称[果汁]重复,请重新输入!"));
    EXPECT_EQ(item.id, 0);
    EXPECT_EQ(count(QStringLiteral("tb_dictionary"), QStringLiteral("uname='果汁'")), 1);

    // The same name in another type is no clash.
    item.utype = QStringLiteral("unit");
    EXPECT_TRUE(dal.Save(item).isEmpty());
    EXPECT_GT(item.id, 9);
}

} // namespace
