#include "CatalogueFixture.h"

#include "dal_goods_head.h"

namespace
{

class GoodsHeadTest : public CatalogueTest
{
  protected:
    // The goods type the items below name.
    void SetUp() override
    {
        CatalogueTest::SetUp();
        exec(QStringLiteral("insert into tb_dictionary (id,utype,uname) values (7,'goodsType','饮料')"));
    }
    static m_goods_head head(int id, const QString& code)
    {
        m_goods_head h;
        h.id = id;
        h.goodsTypeId = 7;
        h.goodsCode = code;
        h.goodsName = QStringLiteral("可乐's 大瓶");
        h.goodsDesc = QStringLiteral("500ml'x");
        h.pinyin = QStringLiteral("KLDP");
        h.upqty = 100.5;
        h.downqty = 2;
        h.status = QStringLiteral("启用");
        h.creator = QStringLiteral("admin");
        h.createTime = QStringLiteral("2024-01-02 03:04:05");
        h.updateLastUser = QStringLiteral("admin");
        h.updateLastTime = QStringLiteral("2024-01-02 03:04:05");
        return h;
    }
    dal_goods_head dal;
};

TEST_F(GoodsHeadTest, AddWritesItemAndDefaultUnitTogether)
{
    const m_DBresult r =
        dal.Add(head(1, QStringLiteral("K1")), unit(5, 1, 1, 0, QStringLiteral("瓶"), "6900"));
    ASSERT_TRUE(r.isResult) << r.str_MsgBox.toStdString();
    EXPECT_EQ(count(QStringLiteral("tb_goods_head")), 1);
    EXPECT_EQ(unitsOf(1), (QStringList{"5:瓶:1"}));

    const m_goods_head m = dal.GetModel(1);
    EXPECT_EQ(m.goodsTypeName, QStringLiteral("饮料"));
    EXPECT_EQ(m.goodsName, QStringLiteral("可乐's 大瓶"));
    EXPECT_EQ(m.goodsDesc, QStringLiteral("500ml'x"));
    EXPECT_DOUBLE_EQ(m.upqty, 100.5);
    EXPECT_EQ(m.createTime, QStringLiteral("2024-01-02 03:04:05"));
    // The unit written with the item takes the column's row number.
    EXPECT_EQ(scalar(QStringLiteral("select rowNo from tb_goods_detail where id=5")).toInt(), 0);
}

TEST_F(GoodsHeadTest, AddIsAllOrNothing)
{
    addGoods(3, QStringLiteral("X"), {QStringLiteral("个")}); // holds unit id 31
    const struct {
        const char* name;
        m_goods_head head;
        m_goods_detail unit;
    } cases[] = {
        {"unit id already taken", head(1, QStringLiteral("K1")), unit(31, 1, 1, 0, QStringLiteral("瓶"))},
        {"item id already taken", head(3, QStringLiteral("K1")), unit(40, 3, 1, 0, QStringLiteral("瓶"))},
        {"unit is not the default", head(1, QStringLiteral("K1")), unit(40, 1, 0, 0, QStringLiteral("瓶"))},
        {"unit of another item", head(1, QStringLiteral("K1")), unit(40, 3, 1, 0, QStringLiteral("瓶"))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const m_DBresult r = dal.Add(c.head, c.unit);
        EXPECT_FALSE(r.isResult);
        EXPECT_FALSE(r.str_MsgBox.isEmpty());
        EXPECT_EQ(count(QStringLiteral("tb_goods_head")), 1);
        EXPECT_EQ(count(QStringLiteral("tb_goods_detail")), 1);
    }
}

TEST_F(GoodsHeadTest, UpdateKeepsCreatorAndRewritesTheDefaultUnit)
{
    addGoods(1, QStringLiteral("K1"), {QStringLiteral("瓶:6901"), QStringLiteral("箱")});
    exec(QStringLiteral("update tb_goods_detail set rowNo=4 where id=11"));
    m_goods_head h = head(1, QStringLiteral("K1-NEW"));
    h.creator = QStringLiteral("someone else");
    h.createTime = QStringLiteral("2030-01-01 00:00:00");
    h.updateLastUser = QStringLiteral("editor");
    const m_DBresult r = dal.Update(h, unit(11, 1, 1, 0, QStringLiteral("罐"), QStringLiteral("6999")));
    ASSERT_TRUE(r.isResult) << r.str_MsgBox.toStdString();

    const m_goods_head m = dal.GetModel(1);
    EXPECT_EQ(m.goodsCode, QStringLiteral("K1-NEW"));
    EXPECT_EQ(m.creator, QStringLiteral("admin"));
    EXPECT_EQ(m.createTime, QStringLiteral("2024-01-01 08:00:00"));
    EXPECT_EQ(m.updateLastUser, QStringLiteral("editor"));
    EXPECT_EQ(unitsOf(1), (QStringList{"11:罐:1", "12:箱:0"}));
    EXPECT_EQ(scalar(QStringLiteral("select rowNo from tb_goods_detail where id=11")).toInt(), 4);
    EXPECT_EQ(scalar(QStringLiteral("select goodsDetailCode from tb_goods_detail where id=11")).toString(),
              QStringLiteral("6999"));
}

TEST_F(GoodsHeadTest, UpdateWritesAMissingDefaultUnit)
{
    addGoods(1, QStringLiteral("K1"), {});
    addGoods(2, QStringLiteral("K2"), {QStringLiteral("个")}); // unit 21
    // The goods window found no default unit, so the record's id is 0.
    const m_DBresult r = dal.Update(head(1, QStringLiteral("K1")), unit(0, 1, 0, 0, QStringLiteral("瓶")));
    ASSERT_TRUE(r.isResult) << r.str_MsgBox.toStdString();
    EXPECT_EQ(unitsOf(1), (QStringList{"22:瓶:1"}));
    EXPECT_EQ(unitsOf(2), (QStringList{"21:个:1"}));
}

TEST_F(GoodsHeadTest, UpdateOfAUnitIdGoneMeanwhileRewritesTheDefaultUnit)
{
    addGoods(1, QStringLiteral("K1"), {QStringLiteral("瓶"), QStringLiteral("箱")});
    addGoods(2, QStringLiteral("K2"), {QStringLiteral("个")});
    // 21 belongs to another item: it must be neither moved nor changed.
    for (const int staleId : {99, 21}) {
        SCOPED_TRACE(staleId);
        // The item as it is stored now: each update raises its stamp.
        m_goods_head h = head(1, QStringLiteral("K1"));
        h.rowVersion = dal.GetModel(1).rowVersion;
        const m_DBresult r = dal.Update(h, unit(staleId, 1, 1, 0, QStringLiteral("罐")));
        ASSERT_TRUE(r.isResult) << r.str_MsgBox.toStdString();
        EXPECT_EQ(unitsOf(1), (QStringList{"11:罐:1", "12:箱:0"}));
        EXPECT_EQ(unitsOf(2), (QStringList{"21:个:1"}));
    }
}

TEST_F(GoodsHeadTest, UpdateThatReachesNoRowFails)
{
    addGoods(1, QStringLiteral("K1"), {QStringLiteral("瓶"), QStringLiteral("箱")});
    const struct {
        const char* name;
        m_goods_head head;
        m_goods_detail unit;
        const char* message;
    } cases[] = {
        {"item deleted elsewhere", head(9, QStringLiteral("K9")), unit(11, 9, 1, 0, QStringLiteral("罐")),
         "当前货品信息不存在!"},
        {"default unit cleared", head(1, QStringLiteral("NEW")), unit(11, 1, 0, 0, QStringLiteral("罐")),
         "货品必须有且只有一个默认包装单位!"},
        {"second default", head(1, QStringLiteral("NEW")), unit(12, 1, 1, 0, QStringLiteral("罐")),
         "货品必须有且只有一个默认包装单位!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const m_DBresult r = dal.Update(c.head, c.unit);
        EXPECT_FALSE(r.isResult);
        EXPECT_EQ(r.str_MsgBox, QString::fromUtf8(c.message));
        EXPECT_EQ(dal.GetModel(1).goodsCode, QStringLiteral("K1"));
        EXPECT_EQ(unitsOf(1), (QStringList{"11:瓶:1", "12:箱:0"}));
        EXPECT_EQ(count(QStringLiteral("tb_goods_head")), 1);
    }
}

TEST_F(GoodsHeadTest, DeleteRemovesItemWithItsUnits)
{
    addGoods(1, QStringLiteral("K1"), {QStringLiteral("瓶"), QStringLiteral("箱")});
    addGoods(2, QStringLiteral("K2"), {QStringLiteral("个")});
    EXPECT_TRUE(dal.Delete(1).isResult);
    EXPECT_EQ(dal.GetModel(1).id, 0);
    EXPECT_TRUE(unitsOf(1).isEmpty());
    EXPECT_EQ(unitsOf(2), (QStringList{"21:个:1"}));

    const m_DBresult again = dal.Delete(1);
    EXPECT_FALSE(again.isResult);
    EXPECT_EQ(again.str_MsgBox, QStringLiteral("当前货品信息不存在!"));
}

TEST_F(GoodsHeadTest, GetModelOfMissingItemIsEmpty)
{
    const m_goods_head m = dal.GetModel(42);
    EXPECT_EQ(m.id, 0);
    EXPECT_TRUE(m.goodsCode.isEmpty());
    EXPECT_EQ(m.upqty, 0);
}

} // namespace
