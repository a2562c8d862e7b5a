// Two clerks have the same goods item open, each in a goods window of their
// own. Whatever the later one saves from the item as it was loaded (the form
// with the default unit, the unit grid, a unit's delete) is refused in the
// window's words with nothing written: the earlier save's values stay. The
// unit grid's save gets that reason, not its own barcodes called duplicates.
#include "GoodsWindowFixture.h"

#include "DataAccess.h"

namespace
{

class GoodsTwoClerksTest : public GoodsWindowTest
{
  protected:
    void SetUp() override
    {
        GoodsWindowTest::SetUp();
        addType(5, QStringLiteral("饮料"));
        addGoods(1, 5, QStringLiteral("G001"), QStringLiteral("可乐"),
                 {QStringLiteral("瓶:6901"), QStringLiteral("箱:6902"), QStringLiteral("托:6903")});
        exec(QStringLiteral("update tb_goods_detail set inPrice=7.8 where id=11"));
    }
    void TearDown() override
    {
        other.reset();
        GoodsWindowTest::TearDown();
    }
    // Opens a window for each clerk with the item loaded; A's is the current one.
    void openBoth()
    {
        open();
        ASSERT_TRUE(clickGoods(QStringLiteral("G001")));
        std::swap(window, other);
        open();
        ASSERT_TRUE(clickGoods(QStringLiteral("G001")));
        std::swap(window, other);
    }
    // The other clerk's window becomes the one worked.
    void turnTo()
    {
        std::swap(window, other);
        ui::activate(window.get());
    }
    QVariant stored(const QString& sql) { return scalar(sql); }

    std::unique_ptr<frmGoods> other;
};

TEST_F(GoodsTwoClerksTest, TheLaterSaveOfTheSameItemIsRefused)
{
    openBoth();

    // B renames the item and its default unit and saves.
    turnTo();
    ui::typeInto(window.get(), "txt_goodsName", QStringLiteral("百事可乐"));
    ui::typeInto(window.get(), "txt_unit", QStringLiteral("罐"));
    saveGoods();
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!"));

    // A, still showing 可乐 in 瓶, changes the price and saves: refused.
    turnTo();
    ui::typeInto(window.get(), "txt_inPrice", QStringLiteral("3"));
    saveGoods();
    EXPECT_EQ(MsgBox::LastText(), kRecordChangedText);
    EXPECT_EQ(stored(QStringLiteral("select goodsName from tb_goods_head where id=1")).toString(),
              QStringLiteral("百事可乐"));
    EXPECT_EQ(unitsOf(1), (QStringList{"罐:6901:1", "箱:6902:0", "托:6903:0"}));
    EXPECT_DOUBLE_EQ(stored(QStringLiteral("select inPrice from tb_goods_detail where id=11")).toDouble(),
                     7.8);

    // B saves its unit grid with the 箱 holding 24.
    turnTo();
    typeCell(2, frmGoods::dcPackQty, QStringLiteral("24"));
    saveUnits();
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!"));

    // A's grid names the units as they were: its save and its delete of a
    // unit are refused for what they are, and B's units stay.
    turnTo();
    typeCell(2, frmGoods::dcWeight, QStringLiteral("9"));
    saveUnits();
    EXPECT_EQ(MsgBox::LastText(), kRecordChangedText);
    ui::clickCell(units(), 3, frmGoods::dcUnit);
    ui::click(window.get(), "btn_DetailDelete");
    EXPECT_EQ(MsgBox::LastText(), kRecordChangedText);
    ui::clickCell(units(), 2, frmGoods::dcUnit);
    ui::click(window.get(), "btn_setDefault");
    EXPECT_EQ(MsgBox::LastText(), kRecordChangedText);
    EXPECT_EQ(unitsOf(1), (QStringList{"罐:6901:1", "箱:6902:0", "托:6903:0"}));
    EXPECT_DOUBLE_EQ(stored(QStringLiteral("select packQty from tb_goods_detail where unit='箱'")).toDouble(),
                     24);
    EXPECT_DOUBLE_EQ(stored(QStringLiteral("select weight from tb_goods_detail where unit='箱'")).toDouble(),
                     0);

    // Opened anew, A's price goes in over B's item.
    ASSERT_TRUE(clickGoods(QStringLiteral("G001")));
    EXPECT_EQ(text("txt_goodsName"), QStringLiteral("百事可乐"));
    ui::typeInto(window.get(), "txt_inPrice", QStringLiteral("3"));
    saveGoods();
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!"));
    EXPECT_DOUBLE_EQ(
        stored(QStringLiteral("select inPrice from tb_goods_detail where isDefault=1")).toDouble(), 3);
    EXPECT_EQ(stored(QStringLiteral("select goodsName from tb_goods_head where id=1")).toString(),
              QStringLiteral("百事可乐"));
    EXPECT_DOUBLE_EQ(stored(QStringLiteral("select packQty from tb_goods_detail where unit='箱'")).toDouble(),
                     24);
}

} // namespace
