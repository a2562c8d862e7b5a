#include "DayFixture.h"

#include "frmGoods.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QToolBar>
#include <functional>

namespace
{

// Two goods, a location and a partner, and the pictures the program carries
// beside itself; the program started and logged in as admin.
class BillEntryFrameTest : public DayTest
{
  protected:
    void SetUp() override
    {
        DayTest::SetUp();
        exec(QStringLiteral(
            "insert into tb_dictionary (id,utype,uname,isstart) values (5,'goodsType','饮料',1)"));
        exec(
            QStringLiteral("insert into tb_goods_head (id,goodsTypeId,goodsCode,goodsName,goodsDesc,pinyin) "
                           "values (1,5,'G001','可口可乐','330ml','KKKL'),(2,5,'G002','雪碧','500ml','XB')"));
        exec(QStringLiteral(
            "insert into tb_goods_detail (id,headId,isDefault,rowNo,goodsDetailCode,unit,packQty,"
            "weight,inPrice,salePrice) values (1,1,1,1,'6901','瓶',1,0.35,2.5,3.5),"
            "(2,2,1,1,'6903','瓶',1,0.5,2,3)"));
        exec(QStringLiteral(
            "insert into tb_location (id,locationCode,uname,state) values (1,'A-01','一号',1)"));
        exec(QStringLiteral("insert into tb_location_fun (locationId,departmentId) values (1,1)"));
        exec(QStringLiteral("insert into tb_customer (id,utype,customerCode,uname,status) values "
                            "(7,2,'ct-2403-00001','华联超市',1)"));
        QDir().mkpath(appDir() + QStringLiteral("Ico"));
        const QDir icons(QStringLiteral(WMS_SOURCE_DIR "/resources/Ico"));
        for (const QString& name : icons.entryList(QDir::Files))
            QFile::copy(icons.filePath(name), appDir() + QStringLiteral("Ico/") + name);
        ASSERT_TRUE(start(QStringLiteral("admin"), QStringLiteral("740")));
        frame().setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
        ui::activate(&frame());
    }
    // A click on the title bar of the sub-window holding form.
    static void clickTitle(QWidget* form)
    {
        QWidget* sub = form->parentWidget();
        QTest::mouseClick(sub, Qt::LeftButton, {}, QPoint(sub->width() / 2, 8));
        QApplication::processEvents();
    }
};

// Both bill windows opened from the menu; in 入库业务 Ctrl+Z and "9" open the
// price cell; a click on 出库业务's title and back on 入库业务's: the price is
// committed and the keys reach 入库业务's code box (also with no window
// active); the grid takes values again after a click, and a scan after
// Ctrl+Z becomes a line there.
TEST_F(BillEntryFrameTest, KeysComeBackWithTheBillWindow)
{
    menu("menu_rk");
    auto* in = window<frmImport>("frmImport");
    menu("menu_ck");
    auto* out = window<frmExport>("frmExport");
    ASSERT_TRUE(in && out);
    clickTitle(in);
    in->Import_Add(7, QStringLiteral("华联超市"));
    enterGoods(in, QStringLiteral("6903"));
    ui::press(Qt::Key_Z, Qt::ControlModifier);
    ui::type(QStringLiteral("9"));
    ASSERT_TRUE(in->vs_bill->IsEditing());

    clickTitle(out);
    clickTitle(in);
    QApplication::setActiveWindow(nullptr);
    EXPECT_EQ(in->vs_bill->TextMatrix(1, QStringLiteral("inPrice")), QStringLiteral("9.0"));
    EXPECT_FALSE(in->vs_bill->IsEditing());
    EXPECT_EQ(frame().focusWidget(), in->txt_GoodsCode);
    // Back on the price cell: "8.125" Tab "3.5" lands in two cells.
    ui::clickCell(in->vs_bill, 1, in->vs_bill->ColIndex(QStringLiteral("inPrice")));
    QApplication::setActiveWindow(nullptr);
    ui::type(QStringLiteral("8.125"));
    ui::press(Qt::Key_Tab);
    ui::type(QStringLiteral("3.5"));
    ui::press(Qt::Key_Return);
    EXPECT_EQ(in->vs_bill->TextMatrix(1, QStringLiteral("inPrice")), QStringLiteral("8.125"));
    EXPECT_EQ(in->vs_bill->TextMatrix(1, QStringLiteral("qty")), QStringLiteral("3.5"));
    ui::press(Qt::Key_Escape);
    ui::press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(frame().focusWidget(), in->txt_GoodsCode);
    ui::type(QStringLiteral("6901"));
    ui::press(Qt::Key_Return);
    EXPECT_EQ(in->vs_bill->TextMatrix(2, QStringLiteral("goodsDetailCode")), QStringLiteral("6901"));
    EXPECT_EQ(out->vs_bill->TextMatrix(1, QStringLiteral("goodsDetailCode")), QString());
}

// The goods window's unit grid left for 入库业务 with 重量 open, and entered
// again: the value is kept, the keys reach the grid (no window active), and
// "8.125" Tab "3.5" lands in 重量 and 进价.
TEST_F(BillEntryFrameTest, TheUnitGridTakesTheKeysAfterAWindowSwitch)
{
    menu("menu_goods");
    auto* goods = window<frmGoods>("frmGoods");
    menu("menu_rk");
    auto* in = window<frmImport>("frmImport");
    ASSERT_TRUE(goods && in);
    clickTitle(goods);
    FlexGrid* units = goods->unitGrid();
    ASSERT_GE(units->Rows(), 2);
    ui::clickCell(units, 1, frmGoods::dcWeight);
    ui::type(QStringLiteral("9"));
    ASSERT_TRUE(units->IsEditing());

    clickTitle(in);
    clickTitle(goods);
    QApplication::setActiveWindow(nullptr);
    EXPECT_EQ(units->TextMatrix(1, frmGoods::dcWeight), QStringLiteral("9"));
    EXPECT_EQ(frame().focusWidget(), units);
    ui::type(QStringLiteral("8.125"));
    ui::press(Qt::Key_Tab);
    ui::type(QStringLiteral("3.5"));
    ui::press(Qt::Key_Return);
    EXPECT_EQ(units->TextMatrix(1, frmGoods::dcWeight), QStringLiteral("8.125"));
    EXPECT_EQ(units->TextMatrix(1, frmGoods::dcInPrice), QStringLiteral("3.5"));
}

// Every cell of a grid, row by row, cells joined by "|".
QStringList gridTexts(FlexGrid* g)
{
    QStringList rows;
    for (int r = 1; r < g->Rows(); ++r) {
        QStringList cells;
        for (int c = 0; c < g->Cols(); ++c)
            cells << g->TextMatrix(r, c);
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

// The bill grid's rows that hold a goods line.
QStringList billLines(frmBill* w)
{
    QStringList out;
    const QStringList rows = gridTexts(w->vs_bill);
    for (int r = 0; r < rows.size(); ++r)
        if (w->lineIds(r + 1).goodsId != 0)
            out << rows.at(r);
    return out;
}

// 入库业务 holds a line of 6901 with its 数量 cell open at "8", 出库业务 is open
// beside it; after each move a scan (no window active) adds a line of 6903 to
// the bill named and changes no other cell: the open quantity is committed
// as typed, never replaced by the scan.
TEST_F(BillEntryFrameTest, AScanAfterEachMoveLandsInTheBillsCodeBox)
{
    using Move = std::function<void(frmBill * in, frmBill * out)>;
    const auto closePicker = [] {
        DialogRunner::QueueHandler([](QDialog*) { return int(QDialog::Rejected); });
    };
    const struct {
        const char* name;
        bool toOutbound;
        Move move;
    } cases[] = {
        {"title of the other bill", true, [](frmBill*, frmBill* out) { clickTitle(out); }},
        {"title away and back", false,
         [](frmBill* in, frmBill* out) {
             clickTitle(out);
             clickTitle(in);
         }},
        {"menu away and back", false,
         [this](frmBill*, frmBill*) {
             menu("menu_ck");
             menu("menu_rk");
         }},
        {"a report closed over the outbound bill", true,
         [this](frmBill*, frmBill* out) {
             clickTitle(out);
             menu("menu_rk_bill");
             QWidget* report = WindowRegistry::instance(QStringLiteral("frm_rpt_rkHead"));
             ASSERT_NE(report, nullptr);
             report->parentWidget()->close();
             settle();
         }},
        {"a click on the window's hint", false, [](frmBill* in, frmBill*) { ui::click(in, "lab_vs_Desc"); }},
        {"a click on the title band, no editor", false,
         [](frmBill* in, frmBill*) {
             ui::press(Qt::Key_Return);
             ui::click(in, "pic_title");
         }},
        {"a save warning", false,
         [](frmBill* in, frmBill*) {
             in->txt_partnerName->clear(); // no supplier: the save refuses with a message
             ui::clickToolbar(in, "save");
         }},
        {"the supplier picker closed", false,
         [closePicker](frmBill* in, frmBill*) {
             closePicker();
             ui::click(in, "btn_searchSupplier");
         }},
        {"the goods picker closed", false,
         [closePicker](frmBill* in, frmBill*) {
             closePicker();
             ui::click(in, "btn_searchGoods");
         }},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        menu("menu_rk");
        auto* in = window<frmImport>("frmImport");
        menu("menu_ck");
        auto* out = window<frmExport>("frmExport");
        ASSERT_TRUE(in && out);
        clickTitle(in);
        in->Import_Add(7, QStringLiteral("华联超市"));
        enterGoods(in, QStringLiteral("6901"));
        const int qty = in->vs_bill->ColIndex(QStringLiteral("qty"));
        ui::clickCell(in->vs_bill, 1, qty);
        ui::type(QStringLiteral("8"));
        ASSERT_TRUE(in->vs_bill->IsEditing());

        k.move(in, out);
        QApplication::setActiveWindow(nullptr);
        frmBill* target = k.toOutbound ? static_cast<frmBill*>(out) : in;
        frmBill* other = k.toOutbound ? static_cast<frmBill*>(in) : out;
        EXPECT_EQ(frame().focusWidget(), target->txt_GoodsCode);
        EXPECT_EQ(in->vs_bill->TextMatrix(1, qty), QStringLiteral("8"));
        const QStringList targetBefore = billLines(target);
        const QStringList otherBefore = gridTexts(other->vs_bill);
        if (k.toOutbound)
            answer(MsgAnswer::Yes); // no stock: the negative-stock question
        ui::type(QStringLiteral("6903"));
        ui::press(Qt::Key_Return);

        const QStringList targetAfter = billLines(target);
        ASSERT_EQ(targetAfter.size(), targetBefore.size() + 1);
        EXPECT_EQ(targetAfter.mid(0, targetBefore.size()), targetBefore);
        EXPECT_TRUE(targetAfter.last().contains(QStringLiteral("|6903|")))
            << targetAfter.last().toStdString();
        EXPECT_EQ(gridTexts(other->vs_bill), otherBefore);
        EXPECT_EQ(faults(), QStringList());

        // Both windows go, their lines given up, for the next case.
        answer(MsgAnswer::Yes);
        in->parentWidget()->close();
        if (k.toOutbound)
            answer(MsgAnswer::Yes);
        out->parentWidget()->close();
        settle();
        MsgBox::ClearShown();
    }
}

// A bill window opened from the menu takes the first scan in its code box,
// with no window active too.
TEST_F(BillEntryFrameTest, TheFirstScanOfAWindowOpenedFromTheMenuMakesALine)
{
    menu("menu_rk");
    auto* in = qobject_cast<frmImport*>(WindowRegistry::instance(QStringLiteral("frmImport")));
    ASSERT_NE(in, nullptr);
    QApplication::setActiveWindow(nullptr);
    EXPECT_EQ(frame().focusWidget(), in->txt_GoodsCode);
    ui::type(QStringLiteral("6903"));
    ui::press(Qt::Key_Return);
    EXPECT_EQ(in->vs_bill->TextMatrix(1, QStringLiteral("goodsDetailCode")), QStringLiteral("6903"));
}

// Closing a window brings back the one the clerk came from, not the one
// opened first: 出库业务 comes back after a report opened over it.
TEST_F(BillEntryFrameTest, ClosingAWindowBringsBackTheOneWorkedInBefore)
{
    menu("menu_rk");
    menu("menu_ck");
    menu("menu_user");
    auto* out = window<frmExport>("frmExport");
    ASSERT_NE(out, nullptr);
    clickTitle(out);
    menu("menu_rk_bill");
    QWidget* report = WindowRegistry::instance(QStringLiteral("frm_rpt_rkHead"));
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(frame().Area()->activeSubWindow(), report->parentWidget());
    report->parentWidget()->close();
    settle();
    EXPECT_EQ(frame().Area()->activeSubWindow(), out->parentWidget());
    EXPECT_EQ(frame().focusWidget(), out->txt_GoodsCode);
}

// Each way of closing a bill window: without unsaved lines it closes at
// once; with them it asks, 否 keeps the window and its lines, 是 closes.
TEST_F(BillEntryFrameTest, ClosingABillWithUnsavedLinesAsks)
{
    const QString discard = QStringLiteral("当前单据尚未保存,是否放弃修改?");
    const QString exitQuestion = QStringLiteral("是否退出系统?");
    const QString refreshQuestion = QStringLiteral("刷新权限会关闭全部的窗口,是否继续?");
    const struct {
        const char* name;
        std::function<void(frmBill*)> close;
        QString frameQuestion; // empty: the window's own close
    } ways[] = {
        {"the window's ✕", [](frmBill* w) { w->parentWidget()->close(); }, {}},
        {"关闭", [](frmBill* w) { ui::clickToolbar(w, "close"); }, {}},
        {"退出系统", [this](frmBill*) { frame().ToolbarClick(QStringLiteral("menu_SystemExit")); },
         exitQuestion},
        {"权限刷新", [this](frmBill*) { frame().ToolbarClick(QStringLiteral("menu_funRefresh")); },
         refreshQuestion},
    };
    for (const auto& way : ways) {
        for (const bool unsaved : {false, true}) {
            for (const MsgAnswer reply : {MsgAnswer::No, MsgAnswer::Yes}) {
                if (!unsaved && reply == MsgAnswer::No)
                    continue;
                SCOPED_TRACE(std::string(way.name) + (unsaved ? ", unsaved, " : ", saved") +
                             (unsaved ? (reply == MsgAnswer::Yes ? "是" : "否") : ""));
                ASSERT_TRUE(start(QStringLiteral("admin"), QStringLiteral("740")));
                menu("menu_rk");
                QPointer<frmImport> in = window<frmImport>("frmImport");
                ASSERT_TRUE(in);
                in->Import_Add(7, QStringLiteral("华联超市"));
                if (unsaved)
                    enterGoods(in, QStringLiteral("6901"));
                MsgBox::ClearShown();
                QStringList asked;
                if (!way.frameQuestion.isEmpty()) {
                    answer(MsgAnswer::Yes);
                    asked << way.frameQuestion;
                }
                if (unsaved) {
                    answer(reply);
                    asked << discard;
                }
                way.close(in);
                settle();
                EXPECT_EQ(shown(), asked);
                const bool kept = unsaved && reply == MsgAnswer::No;
                // The program's end closes no window one by one.
                if (way.frameQuestion != exitQuestion) {
                    EXPECT_EQ(!in.isNull(), kept);
                }
                if (kept) {
                    EXPECT_EQ(in->vs_bill->TextMatrix(1, QStringLiteral("goodsDetailCode")),
                              QStringLiteral("6901"));
                }
                if (way.frameQuestion == exitQuestion) {
                    EXPECT_EQ(frame().isVisible(), kept);
                }
            }
        }
    }
}

// Shift+Tab in the bill grids and the goods window's unit grid moves back a
// cell, with an editor open or not, as Tab moves on: the figures typed next
// go into that cell, never into a field outside the grid.
TEST_F(BillEntryFrameTest, ShiftTabMovesBackACellInEachGrid)
{
    menu("menu_rk");
    auto* in = window<frmImport>("frmImport");
    menu("menu_ck");
    auto* out = window<frmExport>("frmExport");
    ASSERT_TRUE(in && out);
    for (frmBill* w : {static_cast<frmBill*>(in), static_cast<frmBill*>(out)}) {
        SCOPED_TRACE(w->objectName().toStdString());
        clickTitle(w);
        if (w == out)
            answer(MsgAnswer::Yes); // no stock: the negative-stock question
        enterGoods(w, QStringLiteral("6903"));
        const int qty = w->vs_bill->ColIndex(QStringLiteral("qty"));
        const QString priceKey = w == out ? QStringLiteral("salePrice") : QStringLiteral("inPrice");
        const int price = w->vs_bill->ColIndex(priceKey);
        ui::clickCell(w->vs_bill, 1, qty);
        QApplication::setActiveWindow(nullptr);
        ui::type(QStringLiteral("4"));
        ui::press(Qt::Key_Backtab);
        EXPECT_EQ(w->vs_bill->Col(), price);
        ui::type(QStringLiteral("2.5"));
        ui::press(Qt::Key_Return);
        EXPECT_EQ(w->vs_bill->TextMatrix(1, qty), QStringLiteral("4"));
        EXPECT_EQ(w->vs_bill->TextMatrix(1, priceKey), QStringLiteral("2.5"));
        EXPECT_EQ(w->txt_remark->toPlainText(), QString());
        // No editor open: back again from 数量.
        ui::press(Qt::Key_Escape);
        ui::clickCell(w->vs_bill, 1, qty);
        ui::press(Qt::Key_Escape);
        ui::press(Qt::Key_Backtab);
        EXPECT_EQ(w->vs_bill->Col(), price);
        EXPECT_TRUE(frame().focusWidget() == w->vs_bill || w->vs_bill->isAncestorOf(frame().focusWidget()));
    }

    menu("menu_goods");
    auto* goods = window<frmGoods>("frmGoods");
    ASSERT_NE(goods, nullptr);
    FlexGrid* units = goods->unitGrid();
    ASSERT_GE(units->Rows(), 2);
    ui::clickCell(units, 1, frmGoods::dcInPrice);
    QApplication::setActiveWindow(nullptr);
    ui::type(QStringLiteral("3"));
    ui::press(Qt::Key_Backtab);
    EXPECT_EQ(units->Col(), frmGoods::dcWeight);
    ui::type(QStringLiteral("0.75"));
    ui::press(Qt::Key_Return);
    EXPECT_EQ(units->TextMatrix(1, frmGoods::dcInPrice), QStringLiteral("3"));
    EXPECT_EQ(units->TextMatrix(1, frmGoods::dcWeight), QStringLiteral("0.75"));
}

// Pictures for a person to look at, taken on the screen the tests run on
// (an X display under xvfb-run at the size to be seen): the outbound bill
// window opened from the frame's menu with a line of 125000.5 at 1234.5 and
// a 13-digit total, and the goods window with its toolbar. WMS_SCREENSHOT_DIR
// names the folder; the test does nothing without it.
TEST_F(BillEntryFrameTest, Screenshots)
{
    const QString dir = qEnvironmentVariable("WMS_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "WMS_SCREENSHOT_DIR not set";
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const QString size = QStringLiteral("%1x%2").arg(screen.width()).arg(screen.height());
    const auto shot = [&](QWidget* w, const char* name) {
        QApplication::processEvents();
        QTest::qWait(150);
        EXPECT_TRUE(w->grab().save(dir + QLatin1Char('/') + QLatin1String(name) + QLatin1Char('-') + size +
                                   QStringLiteral(".png")));
    };
    menu("menu_ck");
    auto* out = window<frmExport>("frmExport");
    ASSERT_NE(out, nullptr);
    out->Export_Add(7, QStringLiteral("华联超市"));
    answer(MsgAnswer::Yes); // the stock is 0: the negative-stock question, answered Yes
    enterGoods(out, QStringLiteral("6901"), QStringLiteral("125000.5"), QStringLiteral("1234.5"));
    answer(MsgAnswer::Yes);
    enterGoods(out, QStringLiteral("6903"), QStringLiteral("8000000000"), QStringLiteral("1234.5"));
    EXPECT_EQ(out->txt_BillAmount->text(), QStringLiteral("￥9,876,154,313,117.25"));
    shot(&frame(), "outbound-bill-figures");

    // 入库业务 after a few moves: a line with 数量 open, the other bill's
    // title and back, a closed picker; the focus stands in 货品信息. Then the
    // row button reached by the keyboard, with its focus mark.
    menu("menu_rk");
    auto* in = window<frmImport>("frmImport");
    ASSERT_NE(in, nullptr);
    in->Import_Add(7, QStringLiteral("华联超市"));
    enterGoods(in, QStringLiteral("6903"));
    ui::clickCell(in->vs_bill, 1, in->vs_bill->ColIndex(QStringLiteral("qty")));
    ui::type(QStringLiteral("8"));
    clickTitle(out);
    clickTitle(in);
    DialogRunner::QueueHandler([](QDialog*) { return int(QDialog::Rejected); });
    ui::click(in, "btn_searchSupplier");
    EXPECT_EQ(frame().focusWidget(), in->txt_GoodsCode);
    shot(&frame(), "inbound-bill-after-moves");
    in->btn_addRow->setFocus(Qt::TabFocusReason);
    shot(&frame(), "inbound-bill-focused-button");

    menu("menu_goods");
    auto* goods = window<frmGoods>("frmGoods");
    ASSERT_NE(goods, nullptr);
    shot(&frame(), "goods-window");
    shot(ui::child<QToolBar>(goods, "utoolbar"), "goods-toolbar");
}

} // namespace
