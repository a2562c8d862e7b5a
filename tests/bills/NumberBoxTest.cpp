#include "TestEnv.h"

#include "FlexGrid.h"
#include "GridDriver.h"
#include "MsgBox.h"
#include "UiDriver.h"
#include "frmBill.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>

#include <optional>

namespace
{

// What a clerk may paste into a number box, and what the box makes of it:
// the number the text spells, or the refusal (after the box's word).
struct BoxText {
    QString text;
    std::optional<double> value;
    const char* refusal = "";
};

const BoxText kTexts[] = {
    {QStringLiteral("１２"), 12},
    {QStringLiteral("－１２．５"), -12.5},
    {QStringLiteral(" 12.5 "), 12.5},
    {QStringLiteral("12.5kg"), 12.5},
    {QStringLiteral("123456789012345"), 123456789012345.0},
    {QStringLiteral("0.000001"), 0.000001},
    {QStringLiteral("NaN"), std::nullopt, "必须是数字!"},
    {QStringLiteral("inf"), std::nullopt, "必须是数字!"},
    {QStringLiteral("1,5"), std::nullopt, "必须是数字!"},
    {QStringLiteral("1.2.3"), std::nullopt, "必须是数字!"},
    {QStringLiteral("1-2"), std::nullopt, "必须是数字!"},
    {QStringLiteral("0x10"), std::nullopt, "必须是数字!"},
    {QStringLiteral("   "), std::nullopt, "必须是数字!"},
    {QStringLiteral("1234567890123456"), std::nullopt, "位数过多,最多15位有效数字!"},
    {QStringLiteral("12345678901234567890"), std::nullopt, "位数过多,最多15位有效数字!"},
    {QStringLiteral("1e309"), std::nullopt, "位数过多,最多15位有效数字!"},
    {QStringLiteral("0.0000001"), std::nullopt, "小数位数过多,最多6位小数!"},
};

// The number boxes of a bill: the entry strip's quantity and price, and the
// grid's quantity and price cells.
enum class Box { StripQty, StripPrice, CellQty, CellPrice };

class NumberBoxTest : public DbTest, public ::testing::WithParamInterface<BillDirection>
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(QStringLiteral(
            "insert into tb_dictionary (id,utype,uname,isstart) values (5,'goodsType','饮料',1)"));
        exec(QStringLiteral("insert into tb_goods_head (id,goodsTypeId,goodsCode,goodsName,goodsDesc,pinyin) "
                            "values (2,5,'G002','雪碧','500ml','XB')"));
        exec(QStringLiteral("insert into tb_goods_detail (id,headId,isDefault,rowNo,goodsDetailCode,unit,"
                            "packQty,weight,inPrice,salePrice) values (3,2,1,1,'6903','瓶',1,0.5,2,3)"));
        exec(QStringLiteral(
            "insert into tb_location (id,locationCode,uname,state) values (1,'A-01','一号',1)"));
        exec(QStringLiteral("insert into tb_location_fun (locationId,departmentId) values (1,1)"));
        exec(QStringLiteral("insert into tb_customer (id,utype,customerCode,uname,status) values "
                            "(7,2,'ct-2403-00001','华联超市',1)"));
        loginAs(1);
    }
    const BillSetup& setup() const { return BillSetup::Of(GetParam()); }

    // Pastes text over the whole of the focused box.
    static void paste(const QString& text)
    {
        QGuiApplication::clipboard()->setText(text);
        ui::press(Qt::Key_V, Qt::ControlModifier);
    }
    // Pastes text into a cell's editor and ends the edit with Enter.
    static void pasteCell(FlexGrid* grid, int row, int col, const QString& text)
    {
        ui::clickCell(grid, row, col);
        ui::focusOn(grid);
        grid->Select(row, col);
        grid->EditCell();
        ASSERT_TRUE(grid->IsEditing());
        ui::press(Qt::Key_End);
        ui::press(Qt::Key_Home, Qt::ShiftModifier);
        paste(text);
        ui::press(Qt::Key_Return);
    }
};

TEST_P(NumberBoxTest, EveryBoxKeepsTheNumberATextSpellsOrRefusesIt)
{
    const QString price = setup().reports.priceWord;
    const struct {
        Box box;
        QString word;
        QString column;
    } boxes[] = {
        {Box::StripQty, QStringLiteral("数量"), QStringLiteral("qty")},
        {Box::StripPrice, price, setup().priceCol},
        {Box::CellQty, QStringLiteral("数量"), QStringLiteral("qty")},
        {Box::CellPrice, price, setup().priceCol},
    };
    for (const auto& b : boxes) {
        for (const BoxText& c : kTexts) {
            SCOPED_TRACE(b.word.toStdString() + " " + std::to_string(int(b.box)) + " [" +
                         c.text.toStdString() + "]");
            const int linesBefore = count(setup().lineTable);
            frmBill* w = GetParam() == BillDirection::In ? static_cast<frmBill*>(new frmImport)
                                                         : static_cast<frmBill*>(new frmExport);
            w->show();
            ui::activate(w);
            w->NewBillFor(7, QStringLiteral("华联超市"));
            FlexGrid* g = w->vs_bill;
            const int col = g->ColIndex(b.column);
            MsgBox::ClearShown();
            if (b.box == Box::StripQty || b.box == Box::StripPrice) {
                ui::press(b.box == Box::StripQty ? Qt::Key_F3 : Qt::Key_F5);
                paste(c.text);
            }
            ui::focusOn(w->txt_GoodsCode);
            ui::type(QStringLiteral("G002"));
            ui::press(Qt::Key_Return);
            const bool inStrip = b.box == Box::StripQty || b.box == Box::StripPrice;
            if (inStrip && !c.value) {
                EXPECT_EQ(shown(), QStringList{b.word + QString::fromUtf8(c.refusal)});
                EXPECT_EQ(w->lineIds(1).goodsId, 0) << "no line is added";
                // The refusal closes and the next scan lands in the code box,
                // the refused text still in its box to mend.
                EXPECT_EQ(ui::focused(), w->txt_GoodsCode);
                EXPECT_EQ(
                    (b.box == Box::StripQty ? w->txt_Qty : w->findChild<QLineEdit*>(setup().window.priceBox))
                        ->text(),
                    c.text);
            } else {
                ASSERT_EQ(w->lineIds(1).goodsId, 2) << shown().join(QLatin1Char('|')).toStdString();
                if (!inStrip)
                    pasteCell(g, 1, col, c.text);
                MsgBox::ClearShown();
                if (c.value)
                    answer(MsgAnswer::Yes);
                ui::clickToolbar(w, "save");
                if (c.value) {
                    EXPECT_EQ(shown().last(), QStringLiteral("保存成功!"));
                    EXPECT_EQ(scalar(QStringLiteral("select %1 from %2 order by id desc limit 1")
                                         .arg(b.column, setup().lineTable))
                                  .toDouble(),
                              *c.value);
                } else {
                    EXPECT_EQ(shown(), QStringList{b.word + QString::fromUtf8(c.refusal)});
                    EXPECT_EQ(g->Col(), col);
                }
            }
            EXPECT_EQ(count(setup().lineTable), linesBefore + (c.value ? 1 : 0));
            delete w;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothDirections, NumberBoxTest,
                         ::testing::Values(BillDirection::In, BillDirection::Out));

} // namespace
