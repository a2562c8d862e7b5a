#include "GoodsWindowFixture.h"

using namespace ui;

namespace
{

const QString kQuestion = QStringLiteral("确定保存当前货品包装单位?");
const QString kSaved = QStringLiteral("保存成功!");

class GoodsUnitsTest : public GoodsWindowTest
{
  protected:
    void SetUp() override
    {
        GoodsWindowTest::SetUp();
        addType(11, QStringLiteral("五金"));
        addGoods(1, 11, QStringLiteral("A1"), QStringLiteral("螺丝"),
                 {QStringLiteral("盒:111"), QStringLiteral("箱:222")});
        addGoods(2, 11, QStringLiteral("B2"), QStringLiteral("螺母"), {QStringLiteral("个:333")});
        open();
        EXPECT_TRUE(clickGoods(QStringLiteral("A1")));
    }

    void addRow() { click(window.get(), "btn_addBarCode"); }
};

TEST_F(GoodsUnitsTest, TheGridShowsTheDefaultUnitFirstWithItsMark)
{
    EXPECT_EQ(units()->Rows(), 3);
    EXPECT_EQ(units()->TextMatrix(1, frmGoods::dcUnit), QStringLiteral("盒"));
    EXPECT_FALSE(units()->CellPicture(1, frmGoods::dcDefaultMark).isNull());
    EXPECT_TRUE(units()->CellPicture(2, frmGoods::dcDefaultMark).isNull());
    EXPECT_TRUE(units()->TextMatrix(1, frmGoods::dcDefaultMark).isEmpty());
    EXPECT_EQ(units()->CellBackColor(2, frmGoods::dcPackQty), 12640511);
    EXPECT_TRUE(units()->ColHidden(frmGoods::dcId));
    EXPECT_EQ(units()->TextMatrix(0, frmGoods::dcSalePrice).trimmed(), QStringLiteral("销售价"));

    // New leaves one empty row numbered 1.
    click(window.get(), "btn_GoodsAdd");
    EXPECT_EQ(units()->Rows(), 2);
    EXPECT_EQ(units()->TextMatrix(1, frmGoods::dcNo), QStringLiteral("1"));
    EXPECT_EQ(units()->CellBackColor(1, frmGoods::dcUnit), 12640511);
}

TEST_F(GoodsUnitsTest, EmptyRowsAreSkippedAndPartlyFilledOnesStopTheSave)
{
    addRow(); // row 3: left empty
    addRow(); // row 4: a barcode only
    typeCell(4, frmGoods::dcBarcode, QStringLiteral("444"));
    saveUnits();
    EXPECT_EQ(shown(), (QStringList{kQuestion, QStringLiteral("第4行包装单位不完整,请填写单位和内装数!")}));
    EXPECT_EQ(unitsOf(1), (QStringList{QStringLiteral("盒:111:1"), QStringLiteral("箱:222:0")}));

    // Completed, it is saved; the empty row is left out without a word.
    MsgBox::ClearShown();
    typeCell(4, frmGoods::dcUnit, QStringLiteral("袋"));
    typeCell(4, frmGoods::dcPackQty, QStringLiteral("-3"));
    saveUnits();
    EXPECT_EQ(shown(), (QStringList{kQuestion, QStringLiteral("第4行包装单位不完整,请填写单位和内装数!")}))
        << "a pack quantity of 0 or less is incomplete";
    MsgBox::ClearShown();
    typeCell(4, frmGoods::dcPackQty, QStringLiteral("2x4"));
    EXPECT_EQ(units()->TextMatrix(4, frmGoods::dcPackQty), QStringLiteral("24")) << "letters are refused";
    saveUnits();
    EXPECT_EQ(shown(), (QStringList{kQuestion, kSaved}));
    EXPECT_EQ(unitsOf(1), (QStringList{QStringLiteral("盒:111:1"), QStringLiteral("箱:222:0"),
                                       QStringLiteral("袋:444:0")}));
    EXPECT_EQ(scalar("select rowNo from tb_goods_detail where unit='袋'").toInt(), 4);
    EXPECT_EQ(units()->Rows(), 4) << "the grid shows the stored units again";

    // A stored unit whose unit was emptied is not dropped silently.
    MsgBox::ClearShown();
    typeCell(2, frmGoods::dcUnit, QString());
    saveUnits();
    EXPECT_EQ(shown(), (QStringList{kQuestion, QStringLiteral("第2行包装单位不完整,请填写单位和内装数!")}));
    EXPECT_EQ(count("tb_goods_detail", "headId=1"), 3);
}

// A unit typed value by value, one Enter after each, fills one row: each
// Enter commits the cell and opens the next; after the last cell the cursor
// goes down to a new row.
TEST_F(GoodsUnitsTest, ValuesWithOneEnterEachFillOneRow)
{
    addRow(); // row 3
    clickCell(units(), 3, frmGoods::dcBarcode);
    for (const char* value : {"444", "袋", "6", "1.5", "20", "30"}) {
        type(QString::fromUtf8(value));
        press(Qt::Key_Return);
    }
    const struct {
        int col;
        const char* text;
    } cells[] = {{frmGoods::dcBarcode, "444"}, {frmGoods::dcUnit, "袋"},    {frmGoods::dcPackQty, "6"},
                 {frmGoods::dcWeight, "1.5"},  {frmGoods::dcInPrice, "20"}, {frmGoods::dcSalePrice, "30"}};
    for (const auto& c : cells)
        EXPECT_EQ(units()->TextMatrix(3, c.col), QString::fromUtf8(c.text)) << c.col;
    EXPECT_EQ(units()->Rows(), 5) << "the last Enter went on to a new row";
    EXPECT_EQ(units()->Row(), 4);
    saveUnits();
    EXPECT_EQ(shown(), (QStringList{kQuestion, kSaved}));
    EXPECT_EQ(unitsOf(1), (QStringList{QStringLiteral("盒:111:1"), QStringLiteral("箱:222:0"),
                                       QStringLiteral("袋:444:0")}));
}

// Tab between two values puts them in two cells, as Enter does, also with no
// window active; a number cell refuses a second point.
TEST_F(GoodsUnitsTest, TabBetweenTwoValuesPutsThemInTwoCells)
{
    for (const bool activeWindow : {true, false}) {
        SCOPED_TRACE(activeWindow ? "active" : "no window active");
        clickCell(units(), 2, frmGoods::dcWeight);
        if (!activeWindow)
            QApplication::setActiveWindow(nullptr);
        type(QStringLiteral("3"));
        press(Qt::Key_Tab);
        type(QStringLiteral("4"));
        press(Qt::Key_Tab);
        type(QStringLiteral("8.1.25"));
        press(Qt::Key_Return);
        EXPECT_EQ(units()->TextMatrix(2, frmGoods::dcWeight), QStringLiteral("3"));
        EXPECT_EQ(units()->TextMatrix(2, frmGoods::dcInPrice), QStringLiteral("4"));
        EXPECT_EQ(units()->TextMatrix(2, frmGoods::dcSalePrice), QStringLiteral("8.125"));
        press(Qt::Key_Escape);
    }
}

TEST_F(GoodsUnitsTest, APriceWithMoreDigitsThanAreKeptStopsTheSave)
{
    typeCell(2, frmGoods::dcInPrice, QStringLiteral("1234567890.123456"));
    saveUnits();
    EXPECT_EQ(shown(), (QStringList{kQuestion, QStringLiteral("第2行进价位数过多,最多15位有效数字!")}));
    EXPECT_EQ(units()->Col(), frmGoods::dcInPrice);
    EXPECT_EQ(scalar("select inPrice from tb_goods_detail where unit='箱'").toDouble(), 0);
}

// A value with more decimals than the grid shows of a stored unit would read
// back as another number: the save stops at it.
TEST_F(GoodsUnitsTest, AValueWithMoreDecimalsThanShownStopsTheSave)
{
    const struct {
        int col;
        const char* typed;
        const char* refusal;
    } cases[] = {
        {frmGoods::dcWeight, "0.0000000001", "第2行重量小数位数过多,最多9位小数!"},
        {frmGoods::dcPackQty, "1.0000000005", "第2行内装数小数位数过多,最多9位小数!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        MsgBox::ClearShown();
        typeCell(2, c.col, QString::fromUtf8(c.typed));
        saveUnits();
        EXPECT_EQ(shown(), (QStringList{kQuestion, QString::fromUtf8(c.refusal)}));
        EXPECT_EQ(units()->Col(), c.col);
        typeCell(2, c.col, QStringLiteral("2"));
    }
    EXPECT_EQ(scalar("select weight from tb_goods_detail where unit='箱'").toDouble(), 0);
}

TEST_F(GoodsUnitsTest, AtMostThirtyUnitsAreSaved)
{
    while (units()->Rows() < 32)
        addRow();
    for (int r = 3; r < units()->Rows(); ++r) {
        units()->setTextMatrix(r, frmGoods::dcUnit, QStringLiteral("件"));
        units()->setTextMatrix(r, frmGoods::dcPackQty, QString::number(r));
    }
    saveUnits();
    EXPECT_EQ(shown(),
              (QStringList{kQuestion, QStringLiteral("最多只能保存30个包装单位,请适当调整到30个包装单位!")}));
    EXPECT_EQ(count("tb_goods_detail", "headId=1"), 2);

    MsgBox::ClearShown();
    units()->setTextMatrix(31, frmGoods::dcUnit, QString());
    units()->setTextMatrix(31, frmGoods::dcPackQty, QString());
    saveUnits();
    EXPECT_EQ(shown(), (QStringList{kQuestion, kSaved}));
    EXPECT_EQ(count("tb_goods_detail", "headId=1"), 30);
    EXPECT_EQ(count("tb_goods_detail", "headId=1 and isDefault=1"), 1);
}

TEST_F(GoodsUnitsTest, BarcodesMayNotCollide)
{
    struct Case {
        const char* what;
        int row;
        QString barcode;
        QString refusal; // empty: saved
    };
    const QList<Case> cases = {
        {"a new unit with another item's barcode", 3, QStringLiteral("333"),
         QStringLiteral("有以下条码重复:\r\n333,\r\n请重新设置!")},
        {"a new unit with a goods code", 3, QStringLiteral("b2"), QStringLiteral("b2")},
        {"a stored unit changed to its sibling's barcode", 2, QStringLiteral("111"),
         QStringLiteral("有以下条码重复:\r\n111,\r\n请重新设置!")},
        {"a stored unit kept unchanged", 2, QStringLiteral("222"), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(clickGoods(QStringLiteral("B2")));
        ASSERT_TRUE(clickGoods(QStringLiteral("A1")));
        MsgBox::ClearShown();
        if (c.row > 2) {
            addRow();
            typeCell(c.row, frmGoods::dcUnit, QStringLiteral("包"));
            typeCell(c.row, frmGoods::dcPackQty, QStringLiteral("10"));
        }
        typeCell(c.row, frmGoods::dcBarcode, c.barcode);
        saveUnits();
        ASSERT_EQ(shown().size(), 2);
        if (c.refusal.isEmpty()) {
            EXPECT_EQ(shown().at(1), kSaved);
        } else if (c.refusal.startsWith(QStringLiteral("有"))) {
            EXPECT_EQ(shown().at(1), c.refusal);
        } else {
            EXPECT_TRUE(shown().at(1).contains(c.refusal, Qt::CaseInsensitive))
                << shown().at(1).toStdString();
        }
        if (!c.refusal.isEmpty()) {
            EXPECT_EQ(unitsOf(1), (QStringList{QStringLiteral("盒:111:1"), QStringLiteral("箱:222:0")}));
        }
    }

    // Swapping the two barcodes in one save counts the stored ones too.
    MsgBox::ClearShown();
    ASSERT_TRUE(clickGoods(QStringLiteral("B2")));
    ASSERT_TRUE(clickGoods(QStringLiteral("A1")));
    typeCell(1, frmGoods::dcBarcode, QStringLiteral("222"));
    typeCell(2, frmGoods::dcBarcode, QStringLiteral("111"));
    saveUnits();
    EXPECT_EQ(shown(),
              (QStringList{kQuestion, QStringLiteral("有以下条码重复:\r\n111,222,\r\n请重新设置!")}));
    EXPECT_EQ(unitsOf(1), (QStringList{QStringLiteral("盒:111:1"), QStringLiteral("箱:222:0")}));
}

TEST_F(GoodsUnitsTest, EverySaveLeavesExactlyOneDefaultUnit)
{
    // The default row taken out with the grid's own key: refused, nothing changes.
    ui::clickCell(units(), 1, frmGoods::dcBarcode);
    focusOn(units());
    units()->Select(1, frmGoods::dcBarcode);
    press(Qt::Key_D, Qt::ControlModifier);
    ASSERT_EQ(units()->Rows(), 2);
    saveUnits();
    ASSERT_EQ(shown().size(), 2);
    EXPECT_EQ(shown().at(1), QStringLiteral("货品必须有且只有一个默认包装单位!"));
    EXPECT_EQ(unitsOf(1), (QStringList{QStringLiteral("盒:111:1"), QStringLiteral("箱:222:0")}));

    // 默认 moves the mark; a row not yet saved cannot take it; the default cannot be deleted.
    ASSERT_TRUE(clickGoods(QStringLiteral("B2")));
    ASSERT_TRUE(clickGoods(QStringLiteral("A1")));
    MsgBox::ClearShown();
    ui::clickCell(units(), 2, frmGoods::dcBarcode);
    click(window.get(), "btn_setDefault");
    EXPECT_EQ(shown(), QStringList{QStringLiteral("设置成功!")});
    EXPECT_EQ(unitsOf(1), (QStringList{QStringLiteral("盒:111:0"), QStringLiteral("箱:222:1")}));
    EXPECT_EQ(text("txt_unit"), QStringLiteral("箱")) << "the form shows the new default unit";
    EXPECT_EQ(units()->TextMatrix(1, frmGoods::dcUnit), QStringLiteral("箱"));

    MsgBox::ClearShown();
    addRow();
    ui::clickCell(units(), 3, frmGoods::dcBarcode);
    click(window.get(), "btn_setDefault");
    click(window.get(), "btn_DetailDelete");
    ui::clickCell(units(), 1, frmGoods::dcBarcode);
    click(window.get(), "btn_DetailDelete");
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("请先保存该包装单位后,才能设置默认单位!"),
                                    QStringLiteral("删除成功!"), QStringLiteral("默认包装单位,不能删除!")}));
    EXPECT_EQ(units()->Rows(), 3);

    // Deleting the other unit removes it at once.
    MsgBox::ClearShown();
    ui::clickCell(units(), 2, frmGoods::dcBarcode);
    click(window.get(), "btn_DetailDelete");
    EXPECT_EQ(shown(), QStringList{QStringLiteral("删除成功!")});
    EXPECT_EQ(unitsOf(1), QStringList{QStringLiteral("箱:222:1")});
}

TEST_F(GoodsUnitsTest, UnitsOfAnUnsavedItemAreRefused)
{
    click(window.get(), "btn_GoodsAdd");
    click(window.get(), "btn_DetailSave");
    click(window.get(), "btn_setDefault");
    click(window.get(), "btn_DetailDelete");
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("当前货品信息未保存,不能保存包装单位!"),
                                    QStringLiteral("当前货品信息未保存,不能设置默认单位!"),
                                    QStringLiteral("当前货品信息未保存,不能删除包装单位!")}));
    // The form's number boxes take no "-", the grid's number cells do.
    typeInto(window.get(), "txt_weight", QStringLiteral("-1.5kg"));
    EXPECT_EQ(text("txt_weight"), QStringLiteral("1.5"));
}

} // namespace
