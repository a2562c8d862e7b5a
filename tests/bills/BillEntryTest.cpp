#include "TestEnv.h"

#include "DialogRunner.h"
#include "FlexGrid.h"
#include "GridDriver.h"
#include "MsgBox.h"
#include "UiDriver.h"
#include "frmBill.h"
#include "frm_select.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTest>

namespace
{

// Two goods of type 饮料 and one stored without a type, a location and a
// partner; the bill windows are worked from the keyboard as a clerk does.
class BillEntryTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(QStringLiteral(
            "insert into tb_dictionary (id,utype,uname,isstart) values (5,'goodsType','饮料',1)"));
        exec(QStringLiteral(
            "insert into tb_goods_head (id,goodsTypeId,goodsCode,goodsName,goodsDesc,pinyin) values "
            "(1,5,'G001','可口可乐','330ml','KKKL'),(2,5,'G002','雪碧','500ml','XB'),"
            "(3,0,'G003','散装饼干','','SZBG')"));
        exec(QStringLiteral(
            "insert into tb_goods_detail (id,headId,isDefault,rowNo,goodsDetailCode,unit,packQty,"
            "weight,inPrice,salePrice) values (1,1,1,1,'6901','瓶',1,0.35,2.5,3.5),"
            "(2,1,0,2,'6902','箱',12,4.2,28,40),(3,2,1,1,'6903','瓶',1,0.5,2,3),"
            "(4,3,1,1,'6904','袋',1,1,5,6)"));
        exec(QStringLiteral(
            "insert into tb_location (id,locationCode,uname,state) values (1,'A-01','一号',1)"));
        exec(QStringLiteral("insert into tb_location_fun (locationId,departmentId) values (1,1)"));
        exec(QStringLiteral("insert into tb_customer (id,utype,customerCode,uname,status) values "
                            "(7,2,'ct-2403-00001','华联超市',1)"));
        loginAs(1);
    }
    void TearDown() override
    {
        frmBill::SetStockProbe({});
        DbTest::TearDown();
    }

    static frmBill* openBill(bool outbound)
    {
        frmBill* w = outbound ? static_cast<frmBill*>(new frmExport) : static_cast<frmBill*>(new frmImport);
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->show();
        ui::activate(w);
        w->NewBillFor(7, QStringLiteral("华联超市"));
        return w;
    }
    // A scan: the code typed at the focused control, then Enter.
    static void scan(const QString& code)
    {
        ui::type(code);
        ui::press(Qt::Key_Return);
    }
    static void enterGoods(frmBill* w, const QString& code, const QString& qty = {},
                           const QString& price = {})
    {
        if (!qty.isEmpty()) {
            ui::press(Qt::Key_F3);
            ui::type(qty);
        }
        if (!price.isEmpty()) {
            ui::press(Qt::Key_F5);
            ui::type(price);
        }
        ui::focusOn(w->txt_GoodsCode);
        scan(code);
    }
    static QString cell(frmBill* w, int row, const char* key)
    {
        return w->vs_bill->TextMatrix(row, QLatin1String(key));
    }
    static int lines(frmBill* w)
    {
        int n = 0;
        for (int r = 1; r < w->vs_bill->Rows(); ++r)
            n += w->lineIds(r).goodsId != 0 ? 1 : 0;
        return n;
    }
};

// "8.125" Tab "3.5" Enter in the price cell (reached by Ctrl+Z) gives the
// price 8.125 and the quantity 3.5, in both bill windows, also when no window
// is active; the price cell refuses a second point.
TEST_F(BillEntryTest, TabBetweenTwoValuesPutsThemInTwoCells)
{
    for (const bool outbound : {false, true}) {
        for (const bool activeWindow : {true, false}) {
            SCOPED_TRACE(std::string(outbound ? "outbound" : "inbound") +
                         (activeWindow ? "" : ", no window"));
            frmBill* w = openBill(outbound);
            enterGoods(w, QStringLiteral("6903"));
            if (!activeWindow)
                QApplication::setActiveWindow(nullptr);
            ui::press(Qt::Key_Z, Qt::ControlModifier);
            const char* price = outbound ? "salePrice" : "inPrice";
            EXPECT_EQ(w->vs_bill->Col(), w->vs_bill->ColIndex(QLatin1String(price)));
            ui::type(QStringLiteral("8.125"));
            ui::press(Qt::Key_Tab);
            ui::type(QStringLiteral("3.5"));
            ui::press(Qt::Key_Return);
            EXPECT_EQ(cell(w, 1, price), QStringLiteral("8.125"));
            EXPECT_EQ(cell(w, 1, "qty"), QStringLiteral("3.5"));
            EXPECT_EQ(cell(w, 1, "totalAmount"), QStringLiteral("28.438"));
            EXPECT_EQ(w->txt_BillAmount->text(), QStringLiteral("￥28.44"));
            // A second point is refused, not added.
            ui::press(Qt::Key_Escape);
            ui::clickCell(w->vs_bill, 1, w->vs_bill->ColIndex(QStringLiteral("qty")));
            if (!activeWindow)
                QApplication::setActiveWindow(nullptr);
            ui::type(QStringLiteral("2.5.5"));
            ui::press(Qt::Key_Return);
            EXPECT_EQ(cell(w, 1, "qty"), QStringLiteral("2.55"));
            delete w; // gone without the question about its lines
        }
    }
}

// A code kept in 货品信息 (the negative-stock question answered No, or the
// picker of several matches left without a pick) stays selected, so the next
// scan replaces it and becomes a line, also after a switch to another window.
TEST_F(BillEntryTest, AKeptCodeIsReplacedByTheNextScan)
{
    std::optional<Decimal> stock = Decimal(1);
    frmBill::SetStockProbe([&](int goodsId) { return goodsId == 1 ? stock : std::nullopt; });
    enum class Kept { StockNo, PickerLeft };
    for (const Kept kept : {Kept::StockNo, Kept::PickerLeft}) {
        SCOPED_TRACE(int(kept));
        frmBill* w = openBill(true);
        if (kept == Kept::StockNo) {
            answer(MsgAnswer::No);
            enterGoods(w, QStringLiteral("6902"), QStringLiteral("2"));
            EXPECT_TRUE(MsgBox::LastText().endsWith(QStringLiteral("出现负数,是否继续出库?")));
        } else {
            exec(QStringLiteral("update tb_goods_detail set goodsDetailCode='6901' where id=3"));
            DialogRunner::QueueHandler([](QDialog*) { return int(QDialog::Rejected); });
            enterGoods(w, QStringLiteral("6901"));
            EXPECT_EQ(DialogRunner::PendingHandlers(), 0);
            exec(QStringLiteral("update tb_goods_detail set goodsDetailCode='6903' where id=3"));
        }
        EXPECT_EQ(lines(w), 0);
        EXPECT_EQ(w->focusWidget(), w->txt_GoodsCode);
        EXPECT_EQ(w->txt_GoodsCode->selectedText(), w->txt_GoodsCode->text());
        EXPECT_FALSE(w->txt_GoodsCode->text().isEmpty());
        QApplication::setActiveWindow(nullptr);
        scan(QStringLiteral("6903"));
        EXPECT_TRUE(w->lb_NoGoods->isHidden());
        ASSERT_EQ(lines(w), 1);
        EXPECT_EQ(cell(w, 1, "goodsDetailCode"), QStringLiteral("6903"));
        EXPECT_EQ(w->txt_GoodsCode->text(), QString());
        delete w; // gone without the question about its lines
    }
}

// The two bill windows inside one frame, as the program shows them.
class TwoBillWindows
{
  public:
    TwoBillWindows()
    {
        area = new QMdiArea(&frame);
        frame.setCentralWidget(area);
        frame.resize(1400, 860);
        in = new frmImport;
        out = new frmExport;
        subIn = area->addSubWindow(in);
        subOut = area->addSubWindow(out);
        subIn->setGeometry(0, 0, 1000, 600);
        subOut->setGeometry(380, 220, 1000, 600);
        subIn->show();
        subOut->show();
        frame.show();
        ui::activate(&frame);
        in->NewBillFor(7, QStringLiteral("华联超市"));
        out->NewBillFor(7, QStringLiteral("华联超市"));
    }
    // A click on a sub-window's title bar.
    static void clickTitle(QMdiSubWindow* sub)
    {
        QTest::mouseClick(sub, Qt::LeftButton, {}, QPoint(sub->width() / 2, 8));
        QApplication::processEvents();
    }

    QMainWindow frame;
    QMdiArea* area = nullptr;
    frmImport* in = nullptr;
    frmExport* out = nullptr;
    QMdiSubWindow* subIn = nullptr;
    QMdiSubWindow* subOut = nullptr;
};

// Switching to the other bill window with a cell editor open, and back: the
// edit is committed, the focus is in 货品信息 and the keys reach the window
// (also with no window active): the scan becomes a line, the cell keeps the
// edit. With the focus left in 货品信息, the scan goes there directly.
TEST_F(BillEntryTest, KeysReachTheBillWindowAfterASwitchToTheOtherOne)
{
    for (const bool inGrid : {true, false}) {
        SCOPED_TRACE(inGrid ? "cell editor open" : "in 货品信息");
        TwoBillWindows frame;
        frmImport* in = frame.in;
        frame.clickTitle(frame.subOut);
        ui::focusOn(frame.out->txt_GoodsCode);
        frame.clickTitle(frame.subIn);
        ui::focusOn(in->txt_GoodsCode);
        scan(QStringLiteral("6903"));
        ASSERT_EQ(lines(in), 1);
        const int price = in->vs_bill->ColIndex(QStringLiteral("inPrice"));
        if (inGrid) {
            ui::press(Qt::Key_Z, Qt::ControlModifier);
            ui::type(QStringLiteral("9"));
            ASSERT_TRUE(in->vs_bill->IsEditing());
        }
        frame.clickTitle(frame.subOut);
        EXPECT_EQ(frame.area->activeSubWindow(), frame.subOut);
        ui::type(QStringLiteral("6903"));
        EXPECT_EQ(frame.out->txt_GoodsCode->text(), QStringLiteral("6903")) << "the other window's keys";
        frame.out->txt_GoodsCode->clear();
        if (inGrid) {
            EXPECT_EQ(cell(in, 1, "inPrice"), QStringLiteral("9.0")) << "the edit is committed";
        }

        frame.clickTitle(frame.subIn);
        QApplication::setActiveWindow(nullptr);
        EXPECT_FALSE(in->vs_bill->IsEditing());
        EXPECT_EQ(in->window()->focusWidget(), in->txt_GoodsCode);
        scan(QStringLiteral("6901"));
        EXPECT_EQ(lines(in), 2) << "the scan became a line";
        EXPECT_EQ(cell(in, 2, "goodsDetailCode"), QStringLiteral("6901"));
        if (inGrid) {
            EXPECT_EQ(cell(in, 1, "inPrice"), QStringLiteral("9.0"));
            // Ctrl+Z still takes the clerk to the grid's price cell.
            ui::press(Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(in->window()->focusWidget(), in->vs_bill);
            EXPECT_EQ(in->vs_bill->Col(), price);
        }
        EXPECT_EQ(lines(frame.out), 0);
    }
}

// A new bill (Ctrl+A outside the grid, 新增, another bill opened in the same
// window, or a new bill for a partner) over unsaved changes asks first, No
// being the default; No keeps everything. Without unsaved changes nothing is
// asked (an unexpected question fails the test).
TEST_F(BillEntryTest, ANewBillOverUnsavedChangesAsksFirst)
{
    frmBill* w = openBill(false);
    enterGoods(w, QStringLiteral("6903"));
    answer(MsgAnswer::Yes);
    ui::press(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!"));
    const int stored = w->txt_id->text().toInt();

    const struct {
        const char* name;
        std::function<void()> start;
    } starts[] = {
        {"Ctrl+A in 建单日期",
         [&] {
             ui::focusOn(w->dt_createDate);
             ui::press(Qt::Key_A, Qt::ControlModifier);
         }},
        {"新增", [&] { ui::clickToolbar(w, "add"); }},
        {"another bill", [&] { static_cast<frmImport*>(w)->GetRK_Infor(stored); }},
        {"a new bill for a partner",
         [&] { static_cast<frmImport*>(w)->Import_Add(7, QStringLiteral("华联超市")); }},
    };
    for (const auto& s : starts) {
        SCOPED_TRACE(s.name);
        // No unsaved change: nothing is asked.
        w->NewBillFor(7, QStringLiteral("华联超市"));
        MsgBox::ClearShown();
        s.start();
        EXPECT_TRUE(shown().isEmpty());
        // A typed line: asked, No keeps the line and the head.
        w->NewBillFor(7, QStringLiteral("华联超市"));
        enterGoods(w, QStringLiteral("6901"), QStringLiteral("3"));
        ui::focusOn(w->txt_ubillNo);
        ui::type(QStringLiteral("PO-17"));
        answer(MsgAnswer::No);
        s.start();
        ASSERT_FALSE(MsgBox::Shown().isEmpty());
        const ShownMessage& asked = MsgBox::Shown().last();
        EXPECT_EQ(asked.text, QStringLiteral("当前单据尚未保存,是否放弃修改?"));
        EXPECT_EQ(asked.title, w->windowTitle());
        EXPECT_EQ(asked.icon, MsgIcon::Question);
        EXPECT_EQ(asked.buttons, MsgButtons::YesNo);
        EXPECT_EQ(asked.defaultButton, MsgDefault::Second) << "No is the default";
        EXPECT_EQ(lines(w), 1);
        EXPECT_EQ(w->txt_ubillNo->text(), QStringLiteral("PO-17"));
        EXPECT_EQ(w->txt_id->text(), QString());
        // Yes discards them.
        answer(MsgAnswer::Yes);
        s.start();
        EXPECT_EQ(w->txt_ubillNo->text(), QString());
        EXPECT_NE(cell(w, 1, "goodsDetailCode"), QStringLiteral("6901"));
    }
    // A stored bill opened, its quantity changed: asked as well; a price shown
    // again in its format (the cursor visiting the line) is no change.
    w->LoadBill(stored);
    ui::clickCell(w->vs_bill, 1, w->vs_bill->ColIndex(QStringLiteral("remark")));
    MsgBox::ClearShown();
    ui::clickToolbar(w, "add");
    EXPECT_TRUE(shown().isEmpty());
    w->LoadBill(stored);
    ui::typeCell(w->vs_bill, 1, w->vs_bill->ColIndex(QStringLiteral("qty")), QStringLiteral("4"));
    answer(MsgAnswer::No);
    ui::clickToolbar(w, "refresh");
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("当前单据尚未保存,是否放弃修改?"));
    EXPECT_EQ(cell(w, 1, "qty"), QStringLiteral("4"));
    delete w; // gone without the question about its lines
}

// A line whose goods item has no type (goods type 0: the store accepts it,
// upgraded files hold them) is saved, shown when the bill opens and saved
// again; only rows that name no goods item are dropped.
TEST_F(BillEntryTest, ALineOfAGoodsItemWithoutTypeIsKept)
{
    frmBill* w = openBill(false);
    enterGoods(w, QStringLiteral("6904"));
    enterGoods(w, QStringLiteral("6903"));
    ui::click(w, "btn_addRow"); // an empty row, and a row with a name only: no goods item
    ui::typeCell(w->vs_bill, 3, w->vs_bill->ColIndex(QStringLiteral("goodsName")), QStringLiteral("手写"));
    ASSERT_EQ(w->lineIds(1).goodsTypeId, 0);
    ASSERT_GT(w->lineIds(1).goodsId, 0);
    answer(MsgAnswer::Yes);
    ui::clickToolbar(w, "save");
    ASSERT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!"));
    EXPECT_EQ(count(QStringLiteral("tb_rk_detail")), 2);
    EXPECT_EQ(w->vs_bill->Rows(), 3) << "the row without goods is dropped";

    // A stored line of type 0 whose goods item has a type (as upgraded files hold).
    exec(QStringLiteral("update tb_rk_detail set goodsTypeId=0, goodsTypeName='' where goodsId=2"));
    const int id = w->txt_id->text().toInt();
    w->LoadBill(id);
    ASSERT_EQ(lines(w), 2);
    ui::clickCell(w->vs_bill, 2, w->vs_bill->ColIndex(QStringLiteral("remark")));
    ui::type(QStringLiteral("再存"));
    ui::press(Qt::Key_Return);
    MsgBox::ClearShown();
    answer(MsgAnswer::Yes);
    ui::clickToolbar(w, "save");
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("确定保存当前单据吗?"), QStringLiteral("保存成功!")}));
    EXPECT_EQ(count(QStringLiteral("tb_rk_detail")), 2);
    EXPECT_EQ(count(QStringLiteral("tb_rk_detail"), QStringLiteral("goodsTypeId=0")), 2);
    EXPECT_EQ(scalar(QStringLiteral("select remark from tb_rk_detail where goodsId=2")).toString(),
              QStringLiteral("再存"));
    delete w; // gone without the question about its lines
}

// The room a line edit gives its text.
int textRoom(QLineEdit* box)
{
    QStyleOptionFrame option;
    option.initFrom(box);
    option.rect = box->rect();
    option.lineWidth =
        box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box) : 0;
    const QRect contents = box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box);
    const QMargins margins = box->textMargins();
    return contents.width() - margins.left() - margins.right() - 2 * 2;
}

// Every figure of the bill window is shown whole at 1024x768, as entered and
// as loaded again: each number cell's text fits the cell it is drawn in, and
// the total box its box.
TEST_F(BillEntryTest, EveryFigureOfTheBillWindowIsShownWhole)
{
    frmBill* w = openBill(true);
    w->resize(1024, 690); // the window filling a frame on a screen of 1024x768
    enterGoods(w, QStringLiteral("6901"), QStringLiteral("125000.5"), QStringLiteral("1234.5"));
    enterGoods(w, QStringLiteral("6903"), QStringLiteral("8000000000"), QStringLiteral("1234.5"));
    ASSERT_EQ(cell(w, 1, "totalAmount"), QStringLiteral("154313117.25"));
    const auto checkFigures = [&] {
        QApplication::processEvents();
        ASSERT_EQ(w->txt_BillAmount->text(), QStringLiteral("￥9,876,154,313,117.25"));
        FlexGrid* g = w->vs_bill;
        const QFontMetrics fm(g->font());
        const int margin = g->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, g) + 1;
        int figures = 0;
        for (int r = 1; r < g->Rows(); ++r) {
            for (int c = 0; c < g->Cols(); ++c) {
                const QString text = g->TextMatrix(r, c);
                bool number = false;
                text.toDouble(&number);
                if (g->ColHidden(c) || !number)
                    continue;
                ++figures;
                const int room = g->visualRect(g->model()->index(r - 1, c)).width() - 2 * margin;
                EXPECT_LE(fm.horizontalAdvance(text), room)
                    << g->ColKey(c).toStdString() << " " << text.toStdString();
            }
        }
        EXPECT_GE(figures, 12);
        const QFontMetrics boxFont(w->txt_BillAmount->font());
        EXPECT_LE(boxFont.horizontalAdvance(w->txt_BillAmount->text()), textRoom(w->txt_BillAmount));
    };
    checkFigures();
    answer(MsgAnswer::Yes);
    ui::clickToolbar(w, "save");
    ASSERT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!"));
    const int id = w->txt_id->text().toInt();
    w->NewBillFor(7, QStringLiteral("华联超市"));
    w->LoadBill(id);
    ASSERT_EQ(lines(w), 2);
    checkFigures();
    delete w; // gone without the question about its lines
}

} // namespace
