#include "TestEnv.h"

#include "DataAccess.h"
#include "DialogRunner.h"
#include "FlexGrid.h"
#include "GridDriver.h"
#include "Launcher.h"
#include "MsgBox.h"
#include "UiDriver.h"
#include "frmBill.h"
#include "frm_select.h"
#include "sqlHelper.h"
#include "uvg.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QToolBar>

namespace
{

// A catalogue of two goods, a location, a supplier and a customer; the bill
// windows are then worked from the keyboard as a clerk does.
class BillWindowTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(QStringLiteral(
            "insert into tb_dictionary (id,utype,uname,isstart) values (5,'goodsType','饮料',1)"));
        exec(QStringLiteral(
            "insert into tb_goods_head (id,goodsTypeId,goodsCode,goodsName,goodsDesc,pinyin) values "
            "(1,5,'G001','可口可乐','330ml','KKKL'),(2,5,'G002','雪碧','500ml','XB')"));
        exec(QStringLiteral(
            "insert into tb_goods_detail (id,headId,isDefault,rowNo,goodsDetailCode,unit,packQty,"
            "weight,inPrice,salePrice) values (1,1,1,1,'6901','瓶',1,0.35,2.5,3.5),"
            "(2,1,0,2,'6902','箱',12,4.2,28,40),(3,2,1,1,'6903','瓶',1,0.5,2,3)"));
        exec(QStringLiteral(
            "insert into tb_location (id,locationCode,uname,state) values (1,'A-01','一号',1)"));
        exec(QStringLiteral("insert into tb_location_fun (locationId,departmentId) values (1,1)"));
        exec(QStringLiteral("insert into tb_customer (id,utype,customerCode,uname,status) values "
                            "(7,2,'ct-2403-00001','华联超市',1)"));
        loginAs(1);
    }

    template <class W> W* open()
    {
        auto* w = new W;
        w->show();
        ui::activate(w);
        return w;
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
        ui::type(code);
        ui::press(Qt::Key_Return);
    }
};

TEST_F(BillWindowTest, AClerkEntersTwoLinesByBarcodeAndOneByCodeAndSaves)
{
    auto* w = open<frmImport>();
    w->Import_Add(7, QStringLiteral("华联超市"));
    enterGoods(w, QStringLiteral("6902"), QStringLiteral("3"), QStringLiteral("12.5"));
    enterGoods(w, QStringLiteral("6903"), QStringLiteral("2"));
    enterGoods(w, QStringLiteral("G002")); // G002 matches one unit: the goods code of item 2
    EXPECT_EQ(w->txt_GoodsCode->text(), QString());
    EXPECT_EQ(w->txt_Qty->text(), QStringLiteral("1"));
    EXPECT_EQ(w->vs_bill->Rows(), 4);
    EXPECT_EQ(w->vs_bill->TextMatrix(1, QStringLiteral("totalAmount")), QStringLiteral("37.5"));
    EXPECT_EQ(w->txt_BillAmount->text(), QStringLiteral("￥43.5"));

    answer(MsgAnswer::Yes);
    ui::press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!"));
    EXPECT_EQ(w->txt_billNo->text().left(3), QStringLiteral("rk-"));
    EXPECT_EQ(count(QStringLiteral("tb_rk_detail"), QStringLiteral("headId=1")), 3);
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("select inPrice from tb_rk_detail where rowNo=1")).toDouble(),
                     12.5);
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("select qty from tb_rk_detail where rowNo=2")).toDouble(), 2);
    EXPECT_EQ(scalar(QStringLiteral("select goodsCode from tb_rk_detail where rowNo=3")).toString(),
              QStringLiteral("G002"));
    EXPECT_EQ(scalar(QStringLiteral("select locationId from tb_rk_detail where rowNo=3")).toInt(), 1);
    EXPECT_EQ(scalar(QStringLiteral("select supplierName from tb_rk_head")).toString(),
              QStringLiteral("华联超市"));

    // The supplier's last price wins over the catalogue; a typed 0 beats both.
    w->Import_Add(7, QStringLiteral("华联超市"));
    enterGoods(w, QStringLiteral("6902"));
    EXPECT_EQ(w->vs_bill->TextMatrix(1, QStringLiteral("inPrice")), QStringLiteral("12.5"));
    enterGoods(w, QStringLiteral("6902"), {}, QStringLiteral("0"));
    EXPECT_EQ(w->vs_bill->TextMatrix(2, QStringLiteral("inPrice")), QStringLiteral("0.0"));
}

TEST_F(BillWindowTest, LookupPathsLeaveTheEntryStripAsTheClerkExpects)
{
    auto* w = open<frmImport>();
    // several matches: the message, then the picker (cancelled): the code stays
    exec(QStringLiteral("update tb_goods_detail set goodsDetailCode='6901' where id=3"));
    DialogRunner::QueueHandler([](QDialog*) { return 0; });
    enterGoods(w, QStringLiteral("6901"));
    EXPECT_TRUE(MsgBox::LastText().startsWith(QStringLiteral("找到2个条码相同货品信息")));
    EXPECT_EQ(w->txt_GoodsCode->text(), QStringLiteral("6901"));
    // partial: the box is emptied before the picker
    DialogRunner::QueueHandler([](QDialog*) { return 0; });
    ui::focusOn(w->txt_GoodsCode);
    w->txt_GoodsCode->clear();
    enterGoods(w, QStringLiteral("可乐"));
    EXPECT_EQ(w->txt_GoodsCode->text(), QString());
    EXPECT_TRUE(w->lb_NoGoods->isHidden());
    // none: the label shows and the box is emptied
    enterGoods(w, QStringLiteral("nothing"));
    EXPECT_FALSE(w->lb_NoGoods->isHidden());
    EXPECT_EQ(w->txt_GoodsCode->text(), QString());
    EXPECT_EQ(w->lineIds(1).goodsId, 0);
}

// Cell values typed with one Enter each land in the cells one after another:
// Enter commits the cell and moves on to the next one, open for typing.
TEST_F(BillWindowTest, OneEnterInACellCommitsAndMovesOn)
{
    auto* w = open<frmImport>();
    w->Import_Add(7, QStringLiteral("华联超市"));
    enterGoods(w, QStringLiteral("6902"));
    FlexGrid* grid = w->vs_bill;
    ui::clickCell(grid, 1, grid->ColIndex(QStringLiteral("inPrice")));
    ui::type(QStringLiteral("2.5"));
    ui::press(Qt::Key_Return);
    EXPECT_EQ(grid->Col(), grid->ColIndex(QStringLiteral("qty"))) << "Enter moved on to 数量";
    EXPECT_TRUE(grid->IsEditing());
    ui::type(QStringLiteral("4"));
    ui::press(Qt::Key_Return);
    EXPECT_EQ(grid->TextMatrix(1, grid->ColIndex(QStringLiteral("inPrice"))), QStringLiteral("2.5"));
    EXPECT_EQ(grid->TextMatrix(1, grid->ColIndex(QStringLiteral("qty"))), QStringLiteral("4"));
    EXPECT_EQ(grid->TextMatrix(1, grid->ColIndex(QStringLiteral("totalAmount"))), QStringLiteral("10.0"));
    EXPECT_EQ(w->txt_BillAmount->text(), QStringLiteral("￥10.0"));
}

// A line's amount is its quantity times its price rounded once, half away
// from zero, to the amount's places: the digits the reports give the line.
TEST_F(BillWindowTest, ALineAmountIsTheExactProductRoundedOnce)
{
    const struct {
        const char* qty;
        const char* price;
        const char* amount;
    } cases[] = {
        {"0.0999", "0.005", "0.0"}, // 0.0004995: not 0.0005 first, then 0.001
        {"0.1", "0.005", "0.001"},  // 0.0005: half away from zero
        {"22", "69.072", "1519.584"},
        {"23", "11.165", "256.795"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.qty);
        auto* w = open<frmImport>();
        w->Import_Add(7, QStringLiteral("华联超市"));
        enterGoods(w, QStringLiteral("G002"));
        FlexGrid* grid = w->vs_bill;
        ui::typeCell(grid, 1, grid->ColIndex(QStringLiteral("qty")), QString::fromLatin1(c.qty));
        ui::typeCell(grid, 1, grid->ColIndex(QStringLiteral("inPrice")), QString::fromLatin1(c.price));
        EXPECT_EQ(grid->TextMatrix(1, grid->ColIndex(QStringLiteral("totalAmount"))),
                  QString::fromLatin1(c.amount));
        w->close();
        delete w;
    }
}

// A catalogue figure goes into the line with every decimal the goods window
// took (up to 9), is stored so, and a loaded line changed and saved again
// keeps it; the price is rounded once, to the price format.
TEST_F(BillWindowTest, CatalogueFiguresKeepEveryDecimalOnTheLine)
{
    exec(QStringLiteral(
        "update tb_goods_detail set packQty=0.0000001, weight=0.333333333, inPrice=1.0004995 where id=3"));
    auto* w = open<frmImport>();
    w->Import_Add(7, QStringLiteral("华联超市"));
    enterGoods(w, QStringLiteral("G002"));
    FlexGrid* grid = w->vs_bill;
    const auto shown = [grid] {
        return (QStringList{grid->TextMatrix(1, grid->ColIndex(QStringLiteral("packQty"))),
                            grid->TextMatrix(1, grid->ColIndex(QStringLiteral("weight"))),
                            grid->TextMatrix(1, grid->ColIndex(QStringLiteral("inPrice")))})
            .join(QLatin1Char(' '))
            .toStdString();
    };
    const auto stored = [this] {
        return scalar(QStringLiteral("select packQty || ' ' || weight || ' ' || inPrice from tb_rk_detail"))
            .toString()
            .toStdString();
    };
    EXPECT_EQ(shown(), "0.0000001 0.333333333 1.0");
    answer(MsgAnswer::Yes);
    ui::press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!"));
    EXPECT_EQ(stored(), "1.0e-07 0.333333333 1.0");

    const int id = scalar(QStringLiteral("select id from tb_rk_head")).toInt();
    w->LoadBill(id);
    EXPECT_EQ(shown(), "0.0000001 0.333333333 1.0");
    ui::typeCell(grid, 1, grid->ColIndex(QStringLiteral("qty")), QStringLiteral("2"));
    MsgBox::ClearShown();
    answer(MsgAnswer::Yes);
    ui::clickToolbar(w, "save");
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!"));
    EXPECT_EQ(stored(), "1.0e-07 0.333333333 1.0");
    EXPECT_EQ(scalar(QStringLiteral("select qty from tb_rk_detail")).toDouble(), 2);
    delete w;
}

// The key map holds where the system hands no activation back after a dialog
// (no active window, the keys still reach the bill window): Enter in 数量
// returns to the code box and the next scan becomes a line.
TEST_F(BillWindowTest, TheKeyMapHoldsAfterADialogWithNoActiveWindow)
{
    std::optional<Decimal> stock = Decimal(10);
    frmBill::SetStockProbe([&](int) { return stock; });
    const struct {
        const char* dialog;
        bool outbound;
    } cases[] = {{"picker", false}, {"negative-stock question", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dialog);
        frmBill* w = c.outbound ? static_cast<frmBill*>(open<frmExport>()) : open<frmImport>();
        if (c.outbound) {
            static_cast<frmExport*>(w)->Export_Add(7, QStringLiteral("华联超市"));
            answer(MsgAnswer::Yes);
            enterGoods(w, QStringLiteral("6902"), QStringLiteral("2")); // 24 bottles of 10: asked
            EXPECT_TRUE(MsgBox::LastText().endsWith(QStringLiteral("出现负数,是否继续出库?")));
        } else {
            static_cast<frmImport*>(w)->Import_Add(7, QStringLiteral("华联超市"));
            DialogRunner::QueueHandler([](QDialog* d) {
                auto* p = qobject_cast<frm_select*>(d);
                EXPECT_NE(p, nullptr);
                if (!p)
                    return int(QDialog::Rejected);
                p->vgInput->setRow(1);
                QTest::mouseClick(p->B_SelectInput, Qt::LeftButton);
                return d->result();
            });
            enterGoods(w, QStringLiteral("可乐")); // partial: the picker
            EXPECT_EQ(DialogRunner::PendingHandlers(), 0);
        }
        ASSERT_NE(w->vs_bill->TextMatrix(1, w->vs_bill->ColIndex(QStringLiteral("goodsCode"))), QString());
        QApplication::setActiveWindow(nullptr);

        ui::press(Qt::Key_F3);
        ui::type(QStringLiteral("3"));
        ui::press(Qt::Key_Return);
        EXPECT_EQ(w->window()->focusWidget(), w->txt_GoodsCode) << "Enter in 数量 returns to 货品信息";
        EXPECT_EQ(w->txt_price->text(), QString());
        stock = Decimal(1000);
        ui::type(QStringLiteral("6903"));
        ui::press(Qt::Key_Return);
        EXPECT_EQ(w->vs_bill->TextMatrix(2, w->vs_bill->ColIndex(QStringLiteral("goodsDetailCode"))),
                  QStringLiteral("6903"))
            << "the scan added a line";
        EXPECT_EQ(w->vs_bill->TextMatrix(2, w->vs_bill->ColIndex(QStringLiteral("qty"))),
                  QStringLiteral("3"));
        EXPECT_EQ(w->txt_GoodsCode->text(), QString());
        stock = Decimal(10);
        w->close();
        delete w;
    }
    frmBill::SetStockProbe({});
}

TEST_F(BillWindowTest, SaveRefusesWhatItMustAndAuditDeleteFollowTheState)
{
    auto* w = open<frmImport>();
    w->Import_Add(7, QStringLiteral("华联超市"));
    enterGoods(w, QStringLiteral("G002"));
    w->vs_bill->setTextMatrix(1, QStringLiteral("locationCode"), QString()); // the location emptied
    ui::clickToolbar(w, "save");
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("存放库位不能为空,可以单击【鼠标右键】去批量预设!"));
    EXPECT_EQ(w->vs_bill->Col(), w->vs_bill->ColIndex(QStringLiteral("locationCode")));
    w->vs_bill->setTextMatrix(1, QStringLiteral("locationCode"), QStringLiteral("A-01"));
    answer(MsgAnswer::No);
    ui::clickToolbar(w, "save");
    EXPECT_EQ(count(QStringLiteral("tb_rk_head")), 0);
    answer(MsgAnswer::Yes);
    ui::clickToolbar(w, "save");
    ASSERT_EQ(count(QStringLiteral("tb_rk_head")), 1);

    // A bill date stored with a time of day (imported data) still loads.
    exec(QStringLiteral("update tb_rk_head set createTime = createTime || ' 08:30:00'"));
    const QDate saved = w->dt_createDate->date();
    w->GetRK_Infor(1);
    EXPECT_EQ(w->txt_id->text(), QStringLiteral("1"));
    EXPECT_EQ(w->dt_createDate->date(), saved);

    answer(MsgAnswer::Yes);
    ui::clickToolbar(w, "pass");
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("审核成功!"));
    EXPECT_EQ(w->passAction->text(), QStringLiteral("反审"));
    ui::clickToolbar(w, "delete");
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("当前单据已审核,不能删除!"));
    ui::clickToolbar(w, "save");
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("当前单据已审核,不能保存!"));

    // Un-audited behind the window's back, then audited again elsewhere: the
    // store's check answers.
    answer(MsgAnswer::Yes);
    ui::clickToolbar(w, "pass");
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("反审成功!"));
    exec(QStringLiteral("update tb_rk_head set ispass=1"));
    answer(MsgAnswer::Yes);
    ui::clickToolbar(w, "delete");
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("当前单据已审核,不能删除!"));
    exec(QStringLiteral("update tb_rk_head set ispass=0"));
    answer(MsgAnswer::Yes);
    ui::clickToolbar(w, "delete");
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("删除成功!"));
    EXPECT_EQ(count(QStringLiteral("tb_rk_head")), 0);
    EXPECT_EQ(w->txt_id->text(), QString());

    // Loading the deleted bill shows the error and leaves a new bill.
    w->GetRK_Infor(1);
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("当前记录不存在!"));
    EXPECT_EQ(w->txt_id->text(), QString());
    EXPECT_TRUE(w->dt_createDate->isEnabled());
}

TEST_F(BillWindowTest, AQuantityOrPriceWithMoreDigitsThanAreKeptIsRefused)
{
    auto* w = open<frmImport>();
    w->Import_Add(7, QStringLiteral("华联超市"));
    enterGoods(w, QStringLiteral("G002"));
    // The entry strip takes 15 characters; the grid's cell takes more.
    w->vs_bill->setTextMatrix(1, QStringLiteral("qty"), QStringLiteral("99999999999999999999"));
    ui::clickToolbar(w, "save");
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("数量位数过多,最多15位有效数字!"));
    EXPECT_EQ(w->vs_bill->Col(), w->vs_bill->ColIndex(QStringLiteral("qty")));
    EXPECT_EQ(count(QStringLiteral("tb_rk_head")), 0);

    w->vs_bill->setTextMatrix(1, QStringLiteral("qty"), QStringLiteral("999999999999999"));
    w->vs_bill->setTextMatrix(1, QStringLiteral("inPrice"), QStringLiteral("0.1234567890123456"));
    ui::clickToolbar(w, "save");
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("价格位数过多,最多15位有效数字!"));
    EXPECT_EQ(count(QStringLiteral("tb_rk_head")), 0);

    w->vs_bill->setTextMatrix(1, QStringLiteral("inPrice"), QStringLiteral("0.5"));
    answer(MsgAnswer::Yes);
    ui::clickToolbar(w, "save");
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!"));
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("select qty from tb_rk_detail")).toDouble(), 999999999999999.0);
}

// A quantity or price with more decimals than the grid shows of a stored
// line would read back as another number: the entry strip refuses it, and so
// does the save, with nothing written.
TEST_F(BillWindowTest, NumbersWithMoreDecimalsThanTheGridShowsAreRefused)
{
    const QString tiny = QStringLiteral("0.") + QString(200, QLatin1Char('0')) + QStringLiteral("1");
    const struct {
        bool outbound;
        const char* key;
        QString value;
        bool typed; // typed into the cell; else set as a stored line brings it
        const char* refusal;
    } cases[] = {
        {false, "qty", tiny, true, "数量小数位数过多,最多6位小数!"},
        {false, "qty", QStringLiteral("1.0000001"), true, "数量小数位数过多,最多6位小数!"},
        {false, "inPrice", QStringLiteral("1.1234567"), false, "价格小数位数过多,最多6位小数!"},
        {true, "salePrice", QStringLiteral("1.1234567"), false, "售价小数位数过多,最多6位小数!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refusal);
        frmBill* w = c.outbound ? static_cast<frmBill*>(open<frmExport>()) : open<frmImport>();
        w->NewBillFor(7, QStringLiteral("华联超市"));
        std::optional<Decimal> stock = Decimal(1000);
        frmBill::SetStockProbe([&](int) { return stock; });
        enterGoods(w, QStringLiteral("G002"));
        const int col = w->vs_bill->ColIndex(QLatin1String(c.key));
        if (c.typed)
            ui::typeCell(w->vs_bill, 1, col, c.value);
        else
            w->vs_bill->setTextMatrix(1, col, c.value);
        MsgBox::ClearShown();
        ui::clickToolbar(w, "save");
        EXPECT_EQ(shown(), QStringList{QString::fromUtf8(c.refusal)});
        EXPECT_EQ(w->vs_bill->Col(), col);
        EXPECT_EQ(count(c.outbound ? QStringLiteral("tb_ck_head") : QStringLiteral("tb_rk_head")), 0);
        frmBill::SetStockProbe({});
        w->close();
        delete w;
    }

    // The entry strip's quantity: the line is not added, the clerk corrects the box.
    auto* w = open<frmImport>();
    w->Import_Add(7, QStringLiteral("华联超市"));
    MsgBox::ClearShown();
    enterGoods(w, QStringLiteral("G002"), QStringLiteral("0.0000001"));
    EXPECT_EQ(shown(), QStringList{QStringLiteral("数量小数位数过多,最多6位小数!")});
    EXPECT_EQ(w->lineIds(1).goodsId, 0);
    EXPECT_EQ(w->window()->focusWidget(), w->txt_Qty);
    EXPECT_EQ(w->txt_GoodsCode->text(), QStringLiteral("G002"));
    // A pasted number beyond what a stored number holds is refused too.
    QGuiApplication::clipboard()->setText(QStringLiteral("1e400"));
    ui::press(Qt::Key_F3);
    ui::press(Qt::Key_V, Qt::ControlModifier);
    MsgBox::ClearShown();
    ui::focusOn(w->txt_GoodsCode);
    ui::press(Qt::Key_Return);
    EXPECT_EQ(shown(), QStringList{QStringLiteral("数量位数过多,最多15位有效数字!")});
    EXPECT_EQ(w->lineIds(1).goodsId, 0);
    ui::press(Qt::Key_F3);
    ui::type(QStringLiteral("0.000001"));
    ui::focusOn(w->txt_GoodsCode);
    ui::press(Qt::Key_Return);
    EXPECT_EQ(w->vs_bill->TextMatrix(1, QStringLiteral("qty")), QStringLiteral("0.000001"));
    answer(MsgAnswer::Yes);
    ui::clickToolbar(w, "save");
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!"));
    EXPECT_EQ(scalar(QStringLiteral("select qty from tb_rk_detail")).toDouble(), 0.000001);
}

TEST_F(BillWindowTest, OutboundAsksBeforeTheStockGoesNegative)
{
    std::optional<Decimal> stock = Decimal(10);
    frmBill::SetStockProbe([&](int) { return stock; });
    auto* w = open<frmExport>();
    w->Export_Add(7, QStringLiteral("华联超市"));
    EXPECT_TRUE(w->vs_bill->ColHidden(w->vs_bill->ColIndex(QStringLiteral("inPrice"))));    // 进价 hidden
    EXPECT_FALSE(w->vs_bill->ColHidden(w->vs_bill->ColIndex(QStringLiteral("salePrice")))); // 售价 shown
    answer(MsgAnswer::No);
    enterGoods(w, QStringLiteral("6902"), QStringLiteral("2"));
    EXPECT_EQ(MsgBox::LastText(),
              QStringLiteral("货品[可口可乐]的库存总数(10)-出库数(24) = -14 出现负数,是否继续出库?"));
    EXPECT_EQ(w->txt_GoodsCode->text(), QStringLiteral("6902"));
    EXPECT_EQ(w->lineIds(1).goodsId, 0);
    answer(MsgAnswer::Yes);
    ui::focusOn(w->txt_GoodsCode);
    ui::press(Qt::Key_Return);
    EXPECT_EQ(w->lineIds(1).goodsId, 1);
    EXPECT_EQ(w->vs_bill->TextMatrix(1, QStringLiteral("salePrice")), QStringLiteral("40.0"));
    EXPECT_EQ(w->vs_bill->TextMatrix(1, QStringLiteral("inPrice")), QStringLiteral("28"));
    stock = Decimal(24);
    MsgBox::ClearShown();
    enterGoods(w, QStringLiteral("6902"), QStringLiteral("2"), QStringLiteral("12.5"));
    EXPECT_TRUE(MsgBox::ShownTexts().isEmpty());
    EXPECT_EQ(w->vs_bill->TextMatrix(2, QStringLiteral("totalAmount")), QStringLiteral("25.0"));

    exec(QStringLiteral("insert into tb_rk_head (id,billNo,createTime) values (1,'rk-' || "
                        "substr(strftime('%Y%m','now'),3) || "
                        "'-00001',date('now'))"));
    answer(MsgAnswer::Yes);
    ui::press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!"));
    EXPECT_TRUE(w->txt_billNo->text().startsWith(QStringLiteral("ck-")));
    EXPECT_TRUE(w->txt_billNo->text().endsWith(QStringLiteral("-00001")));
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("select inPrice from tb_ck_detail where rowNo=1")).toDouble(), 28);
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("select salePrice from tb_ck_detail where rowNo=2")).toDouble(),
                     12.5);
    frmBill::SetStockProbe({});
}

// Each direction prints with its own template: the data file and the print
// command name the same one, so the tool finds every field it binds (the
// supplier inbound, the customer outbound).
TEST_F(BillWindowTest, PrintingWritesTheDataFileAndTheToolRendersIt)
{
    const QString templates = appDir() + QStringLiteral("qvPrint/templeteXml/");
    QDir().mkpath(templates);
    for (const char* name : {"qv_import_bill.xml", "qv_export_bill.xml"})
        QFile::copy(QStringLiteral(WMS_SOURCE_DIR "/resources/qvPrint/templeteXml/") + QLatin1String(name),
                    templates + QLatin1String(name));
    QDir().mkpath(appDir() + QStringLiteral("qvPrint/generateXml"));
    struct Case {
        BillDirection direction;
        const char* command;
        const char* partner;
    };
    const Case cases[] = {
        {BillDirection::In, "ulmPrint:TypeId=1003&BillCode=qv_import_bill&FileName=", "华联超市"},
        {BillDirection::Out, "ulmPrint:TypeId=1003&BillCode=qv_export_bill&FileName=", "华联超市"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        frmBill* w = c.direction == BillDirection::In ? static_cast<frmBill*>(open<frmImport>())
                                                      : static_cast<frmBill*>(open<frmExport>());
        w->NewBillFor(7, QString::fromUtf8(c.partner));
        enterGoods(w, QStringLiteral("6902"), QStringLiteral("3"), QStringLiteral("12.5"));
        answer(MsgAnswer::Yes);
        ui::clickToolbar(w, "save");
        ASSERT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!"));
        const QString billNo = w->txt_billNo->text();
        const qsizetype before = Launcher::Launches().size();
        ui::press(Qt::Key_P, Qt::ControlModifier);
        ASSERT_EQ(Launcher::Launches().size(), before + 1);
        const QString command = Launcher::Launches().last().arguments.join(QLatin1Char(' '));
        EXPECT_TRUE(command.startsWith(QString::fromUtf8(c.command))) << command.toStdString();

        // Our print tool renders the data file into a PDF.
        const QString pdf = appDir() + QStringLiteral("bill.pdf");
        QFile::remove(pdf);
        QProcess tool;
        tool.start(QStringLiteral(WMS_QVPRINT), {QStringLiteral("--pdf"), pdf, QStringLiteral("--dir"),
                                                 appDir() + QStringLiteral("qvPrint"), command});
        ASSERT_TRUE(tool.waitForFinished(60000));
        const QString error = QString::fromLocal8Bit(tool.readAllStandardError());
        EXPECT_FALSE(error.contains(QStringLiteral("打印数据中没有字段"))) << error.toStdString();
        ASSERT_EQ(tool.exitCode(), 0) << error.toStdString();
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        ASSERT_TRUE(text.waitForFinished(30000));
        const QString out = QString::fromUtf8(text.readAllStandardOutput());
        EXPECT_TRUE(out.contains(billNo)) << out.toStdString();
        EXPECT_TRUE(out.contains(QString::fromUtf8(c.partner))) << out.toStdString();
        EXPECT_TRUE(out.contains(QStringLiteral("可口可乐")));
        EXPECT_TRUE(out.contains(QStringLiteral("叁拾柒元伍角整"))) << out.toStdString();
    }
}

// A line whose sale price differs from its purchase price: the stored bill
// loads each field into the column of its name, and the partner's next line
// of the same goods takes the direction's own last price.
TEST_F(BillWindowTest, StoredLinesLoadByColumnAndTheLastPriceIsTheDirectionsOwn)
{
    struct Case {
        BillDirection direction;
        const char* location; // the location column's caption
        const char* inPrice;  // the stored purchase price: the catalogue's outbound
    };
    const Case cases[] = {
        {BillDirection::In, "存放库位", "33.3"},
        {BillDirection::Out, "取货库位", "28"},
    };
    for (const Case& c : cases) {
        const BillSetup& setup = BillSetup::Of(c.direction);
        SCOPED_TRACE(setup.billWindow.toStdString());
        frmBill* w = c.direction == BillDirection::In ? static_cast<frmBill*>(open<frmImport>())
                                                      : static_cast<frmBill*>(open<frmExport>());
        FlexGrid* g = w->vs_bill;
        const auto cell = [&](int row, const char* key) { return g->TextMatrix(row, QLatin1String(key)); };
        EXPECT_EQ(cell(0, "locationCode").trimmed(), QString::fromUtf8(c.location));
        EXPECT_EQ(g->ColIndex(QStringLiteral("salePrice")) >= 0, setup.hasSalePrice);
        EXPECT_EQ(g->ColHidden(g->ColIndex(QStringLiteral("inPrice"))), setup.hasSalePrice);

        w->NewBillFor(7, QStringLiteral("华联超市"));
        enterGoods(w, QStringLiteral("6902"), QStringLiteral("2"), QStringLiteral("33.3"));
        answer(MsgAnswer::Yes);
        ui::clickToolbar(w, "save");
        ASSERT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!"));
        const int id = w->txt_id->text().toInt();
        w->NewBillFor(0, {});
        w->LoadBill(id);
        ASSERT_EQ(w->txt_id->text().toInt(), id);
        ASSERT_EQ(g->Rows(), 2);
        EXPECT_EQ(w->lineIds(1).goodsId, 1);
        EXPECT_EQ(cell(1, "goodsCode"), QStringLiteral("6902"));
        EXPECT_EQ(cell(1, "goodsName"), QStringLiteral("可口可乐"));
        EXPECT_EQ(cell(1, "unit"), QStringLiteral("箱"));
        EXPECT_EQ(cell(1, "packQty"), QStringLiteral("12"));
        EXPECT_EQ(cell(1, "inPrice"), QString::fromUtf8(c.inPrice));
        EXPECT_EQ(cell(1, setup.priceCol.toLatin1().constData()), QStringLiteral("33.3"));
        EXPECT_EQ(cell(1, "qty"), QStringLiteral("2"));
        EXPECT_EQ(cell(1, "totalAmount"), QStringLiteral("66.6"));
        EXPECT_EQ(w->lineIds(1).locationId, 1);
        EXPECT_EQ(cell(1, "locationCode"), QStringLiteral("A-01"));
        EXPECT_EQ(w->txt_BillAmount->text(), QStringLiteral("￥66.6"));

        w->NewBillFor(7, QStringLiteral("华联超市"));
        enterGoods(w, QStringLiteral("6902"));
        EXPECT_EQ(cell(1, setup.priceCol.toLatin1().constData()), QStringLiteral("33.3"));
        if (setup.hasSalePrice) {
            EXPECT_EQ(cell(1, "inPrice"), QStringLiteral("28")); // the catalogue's purchase price stays
        }
    }
}

} // namespace

namespace
{
// Audited or un-audited at another workstation while this window shows the
// bill: the window's 审核/反审 is refused with the stored state's message,
// stamps nothing, and shows the bill as stored.
TEST_F(BillWindowTest, AuditFollowsTheStoredStateNotTheShownOne)
{
    auto* w = open<frmImport>();
    w->Import_Add(7, QStringLiteral("华联超市"));
    enterGoods(w, QStringLiteral("G002"));
    answer(MsgAnswer::Yes);
    ui::clickToolbar(w, "save");
    ASSERT_EQ(count(QStringLiteral("tb_rk_head")), 1);
    ASSERT_EQ(w->passAction->text(), QStringLiteral("审核"));

    exec(QStringLiteral(
        "update tb_rk_head set ispass=1, updateLastUser='other', updateLastTime='2020-01-01'"));
    answer(MsgAnswer::Yes);
    ui::clickToolbar(w, "pass");
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("当前单据已经审核,不能再审核!"));
    EXPECT_EQ(scalar(QStringLiteral("select updateLastUser from tb_rk_head")).toString(),
              QStringLiteral("other"));
    EXPECT_EQ(w->passAction->text(), QStringLiteral("反审"));

    exec(QStringLiteral("update tb_rk_head set ispass=0"));
    answer(MsgAnswer::Yes);
    ui::clickToolbar(w, "pass");
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("当前单据未审核,不能再反审!"));
    EXPECT_EQ(scalar(QStringLiteral("select updateLastUser from tb_rk_head")).toString(),
              QStringLiteral("other"));
    EXPECT_EQ(w->passAction->text(), QStringLiteral("审核"));

    exec(QStringLiteral("delete from tb_rk_detail"));
    exec(QStringLiteral("delete from tb_rk_head"));
    answer(MsgAnswer::Yes);
    ui::clickToolbar(w, "pass");
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("当前记录不存在!"));
}

// A bill saved at another workstation since the window loaded it is neither
// audited nor deleted from the window: the clerk is told it changed, and
// after a reload it is acted on.
TEST_F(BillWindowTest, AuditAndDeleteActOnTheBillTheWindowShows)
{
    for (const char* action : {"pass", "delete"}) {
        SCOPED_TRACE(action);
        auto* w = open<frmImport>();
        w->Import_Add(7, QStringLiteral("华联超市"));
        enterGoods(w, QStringLiteral("G002"));
        answer(MsgAnswer::Yes);
        ui::clickToolbar(w, "save");
        const int id = w->txt_id->text().toInt();
        ASSERT_GT(id, 0);
        {
            OtherWorkstation other(appDir() + QStringLiteral("wms.db"));
            other.exec(
                QStringLiteral("update tb_rk_head set remark = 'elsewhere', rowVersion = rowVersion + 1 "
                               "where id = %1")
                    .arg(id));
        }
        MsgBox::ClearShown();
        answer(MsgAnswer::Yes);
        ui::clickToolbar(w, action);
        EXPECT_EQ(MsgBox::LastText(), kRecordChangedText);
        EXPECT_EQ(count(QStringLiteral("tb_rk_head"), QStringLiteral("id = %1 and ispass = 0").arg(id)), 1);

        ui::clickToolbar(w, "refresh");
        answer(MsgAnswer::Yes);
        ui::clickToolbar(w, action);
        EXPECT_EQ(count(QStringLiteral("tb_rk_head"), QStringLiteral("id = %1 and ispass = 0").arg(id)), 0);
        MsgBox::ClearShown();
        w->close();
    }
}
} // namespace

namespace
{
// A clerk whose department holds every bill right of one direction and none
// of the other: each action of the bill window checks its own direction's right.
class OneDirectionRightsTest : public BillWindowTest
{
  protected:
    void SetUp() override
    {
        BillWindowTest::SetUp();
        for (const char* table : {"tb_rk_head", "tb_ck_head"})
            exec(QStringLiteral("insert into %1 (id,accountId,billNo,createTime,creator) values "
                                "(1,2,'%2-2403-00001','2024-03-01','admin')")
                     .arg(QLatin1String(table), QLatin1String(table).mid(3, 2)));
        exec(QStringLiteral(
            "insert into tb_dictionary (id,utype,uname,isstart) values (9,'department','一组',1)"));
        exec(QStringLiteral("insert into tb_user (id,[user],pw,usex,isStart,dictionaryId) values "
                            "(2,'clerk','cf9246bb0d40eb4d','女',1,9)"));
        exec(QStringLiteral("insert into tb_account_fun (accountId,departmentId) values (2,9)"));
    }
    void grant(const QStringList& codes)
    {
        for (const QString& code : codes)
            exec(QStringLiteral("insert into tb_user_group_fun (funCode,departmentId) values ('%1',9)")
                     .arg(code));
        loginAs(2);
    }
    // Works one toolbar action on stored bill 1 and answers the last message;
    // an action whose right is held asks first (answered No) or goes on.
    template <class W> QString tryAction(const char* action, bool granted)
    {
        auto* w = open<W>();
        w->LoadBill(1);
        const bool asks = QByteArray(action) == "pass" || QByteArray(action) == "delete";
        if (granted && asks)
            answer(MsgAnswer::No);
        MsgBox::ClearShown();
        ui::clickToolbar(w, action);
        const QString last = MsgBox::LastText();
        delete w;
        return last;
    }
};

const char* const kActions[] = {"pass", "delete", "print", "seachBill"};
const QString kLimited = QStringLiteral("功能受限,请与系统管理联系!");

TEST_F(OneDirectionRightsTest, InboundRightsOpenInboundActionsOnly)
{
    grant({QStringLiteral("import_save"), QStringLiteral("import_update"), QStringLiteral("import_delete"),
           QStringLiteral("import_pass"), QStringLiteral("import_nopass"), QStringLiteral("import_print"),
           QStringLiteral("rpt_rkbill")});
    for (const char* action : kActions) {
        SCOPED_TRACE(action);
        EXPECT_NE(tryAction<frmImport>(action, true), kLimited);
        EXPECT_EQ(tryAction<frmExport>(action, false), kLimited);
    }
}

TEST_F(OneDirectionRightsTest, OutboundRightsOpenOutboundActionsOnly)
{
    grant({QStringLiteral("export_save"), QStringLiteral("export_update"), QStringLiteral("export_delete"),
           QStringLiteral("export_pass"), QStringLiteral("export_nopass"), QStringLiteral("export_print"),
           QStringLiteral("export_searchBill")});
    for (const char* action : kActions) {
        SCOPED_TRACE(action);
        EXPECT_NE(tryAction<frmExport>(action, true), kLimited);
        EXPECT_EQ(tryAction<frmImport>(action, false), kLimited);
    }
}
} // namespace

// Lines far beyond 64 bits of thousandths: the bill total is the exact sum,
// never wrapped to a negative or a zero, on screen and in the saved bill.
TEST_F(BillWindowTest, HugeLinesGiveTheirWholeTotal)
{
    const struct {
        QStringList qtys, prices;
        const char* total;
    } cases[] = {
        {{QStringLiteral("999999999999999")}, {QStringLiteral("100")}, "￥99,999,999,999,999,900.0"},
        {{QStringLiteral("10000000")}, {QStringLiteral("1000000000")}, "￥10,000,000,000,000,000.0"},
        {{QStringLiteral("930000000000000"), QStringLiteral("930000000000000")},
         {QStringLiteral("10"), QStringLiteral("10")},
         "￥18,600,000,000,000,000.0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.total);
        exec(QStringLiteral("delete from tb_rk_detail"));
        exec(QStringLiteral("delete from tb_rk_head"));
        auto* w = open<frmImport>();
        w->Import_Add(7, QStringLiteral("华联超市"));
        for (int i = 0; i < c.qtys.size(); ++i) {
            enterGoods(w, QStringLiteral("G002"));
            ui::typeCell(w->vs_bill, i + 1, w->vs_bill->ColIndex(QStringLiteral("qty")), c.qtys[i]);
            ui::typeCell(w->vs_bill, i + 1, w->vs_bill->ColIndex(QStringLiteral("inPrice")), c.prices[i]);
        }
        EXPECT_EQ(w->txt_BillAmount->text(), QString::fromUtf8(c.total));
        answer(MsgAnswer::Yes);
        ui::clickToolbar(w, "save");
        EXPECT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!"));
        w->GetRK_Infor(int(scalar(QStringLiteral("select max(id) from tb_rk_head")).toInt()));
        EXPECT_EQ(w->txt_BillAmount->text(), QString::fromUtf8(c.total));
        w->close();
        delete w;
    }
}

// A number typed with more digits than are kept is shown as typed (its
// amount too, never 0) and refused by the save with nothing written.
TEST_F(BillWindowTest, TypedNumbersBeyondFifteenDigitsAreRefused)
{
    const QString huge = QStringLiteral("1") + QString(20, QLatin1Char('0'));
    const struct {
        const char* key;
        const char* amount;
        const char* refusal;
    } cases[] = {
        {"qty", "￥200,000,000,000,000,000,000.0", "数量位数过多,最多15位有效数字!"},
        {"inPrice", "￥100,000,000,000,000,000,000.0", "价格位数过多,最多15位有效数字!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refusal);
        auto* w = open<frmImport>();
        w->Import_Add(7, QStringLiteral("华联超市"));
        enterGoods(w, QStringLiteral("G002"));
        const int col = w->vs_bill->ColIndex(QLatin1String(c.key));
        ui::typeCell(w->vs_bill, 1, col, huge);
        EXPECT_EQ(w->txt_BillAmount->text(), QString::fromUtf8(c.amount));
        MsgBox::ClearShown();
        ui::clickToolbar(w, "save");
        EXPECT_EQ(shown(), QStringList{QString::fromUtf8(c.refusal)});
        EXPECT_EQ(w->vs_bill->Col(), col);
        EXPECT_EQ(count(QStringLiteral("tb_rk_head")), 0);
        w->close();
        delete w;
    }
}

namespace
{
// A line's ids (its stored line, goods item, goods type and location) go
// with its grid row: into the save, back from a load, through a copy and
// paste, a batch location, a sort and rows inserted and removed.
class BillLineIdsTest : public BillWindowTest
{
  protected:
    void SetUp() override
    {
        BillWindowTest::SetUp();
        exec(QStringLiteral(
            "insert into tb_location (id,locationCode,uname,state) values (2,'A-02','二号',1)"));
        exec(QStringLiteral("insert into tb_location_fun (locationId,departmentId) values (2,1)"));
        loginAs(1); // the department's locations are read at the login
    }
    static int col(frmBill* w, const char* key) { return w->vs_bill->ColIndex(QLatin1String(key)); }
    // The next goods line takes the entry strip's second location.
    static void secondLocation()
    {
        ui::press(Qt::Key_F6);
        ui::press(Qt::Key_Down);
    }
    // Each row as "goodsCode:goodsId:goodsTypeId:locationId:locationCode".
    static std::vector<std::string> rows(frmBill* w)
    {
        std::vector<std::string> out;
        for (int r = 1; r < w->vs_bill->Rows(); ++r) {
            const BillLineIds ids = w->lineIds(r);
            out.push_back(QStringLiteral("%1:%2:%3:%4:%5")
                              .arg(w->vs_bill->TextMatrix(r, col(w, "goodsCode")))
                              .arg(ids.goodsId)
                              .arg(ids.goodsTypeId)
                              .arg(ids.locationId)
                              .arg(w->vs_bill->TextMatrix(r, col(w, "locationCode")))
                              .toStdString());
        }
        return out;
    }
    // The stored lines as "id:goodsCode:goodsId:goodsTypeId:locationId", by id.
    std::string stored(const BillSetup& setup)
    {
        return scalar(QStringLiteral("select group_concat(x, ' ') from (select id||':'||goodsCode||':'||"
                                     "goodsId||':'||goodsTypeId||':'||locationId as x from %1 where "
                                     "headId<>99 order by id)")
                          .arg(setup.lineTable))
            .toString()
            .toStdString();
    }
    // The whole line as the clerk sees it, copied with Ctrl+C.
    static void copyLine(frmBill* w, int row)
    {
        ui::selectCells(w->vs_bill, row, col(w, "goodsCode"), row, col(w, "remark"));
        ASSERT_TRUE(w->vs_bill->ClipSpansRows());
        ui::press(Qt::Key_C, Qt::ControlModifier);
    }
    // A new row by Ctrl+A in the grid, and the clipboard pasted into it by
    // the grid's line helper (the bill window gives its paste no key).
    static void pasteIntoNewRow(frmBill* w)
    {
        ui::focusOn(w->vs_bill);
        ui::press(Qt::Key_A, Qt::ControlModifier);
        ASSERT_EQ(w->vs_bill->Row(), w->vs_bill->Rows() - 1);
        auto* helper = dynamic_cast<uvg*>(w->vs_bill->helper());
        ASSERT_NE(helper, nullptr);
        helper->uPaste();
    }
    void save(frmBill* w)
    {
        answer(MsgAnswer::Yes);
        ui::clickToolbar(w, "save");
        ASSERT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!"));
    }
};

TEST_F(BillLineIdsTest, ALoadedBillSavedBackKeepsItsLinesAndTheirLocations)
{
    for (const BillDirection direction : {BillDirection::In, BillDirection::Out}) {
        const BillSetup& setup = BillSetup::Of(direction);
        SCOPED_TRACE(setup.billWindow.toStdString());
        frmBill* w = direction == BillDirection::In ? static_cast<frmBill*>(open<frmImport>())
                                                    : static_cast<frmBill*>(open<frmExport>());
        w->NewBillFor(7, QStringLiteral("华联超市"));
        enterGoods(w, QStringLiteral("6902"));
        secondLocation();
        enterGoods(w, QStringLiteral("6903"));
        EXPECT_EQ(rows(w), (std::vector<std::string>{"6902:1:5:1:A-01", "6903:2:5:2:A-02"}));
        save(w);
        EXPECT_EQ(stored(setup), "1:6902:1:5:1 2:6903:2:5:2");
        EXPECT_EQ(w->lineIds(2).id, 2) << "a saved line knows its stored id";
        // A line of another bill above them: a line saved anew would take a new id.
        exec(QStringLiteral("insert into %1 (id,billNo,createTime) values (99,'other','2024-03-01')")
                 .arg(setup.headTable));
        exec(QStringLiteral("insert into %1 (id,headId) values (40,99)").arg(setup.lineTable));

        const int bill = w->txt_id->text().toInt();
        w->NewBillFor(0, {});
        EXPECT_EQ(rows(w), std::vector<std::string>{":0:0:0:"}) << "a new bill's row has no ids";
        w->LoadBill(bill);
        ASSERT_EQ(w->txt_id->text().toInt(), bill);
        EXPECT_EQ(rows(w), (std::vector<std::string>{"6902:1:5:1:A-01", "6903:2:5:2:A-02"}));
        EXPECT_EQ(w->lineIds(1).id, 1);
        EXPECT_EQ(w->lineIds(2).id, 2);
        ui::typeCell(w->vs_bill, 2, col(w, "qty"), QStringLiteral("7"));
        save(w);
        EXPECT_EQ(stored(setup), "1:6902:1:5:1 2:6903:2:5:2");
        EXPECT_EQ(scalar(QStringLiteral("select qty from %1 where id=2").arg(setup.lineTable)).toDouble(), 7);
        w->close();
        delete w;
    }
}

TEST_F(BillLineIdsTest, BatchLocationAndLinesCopiedAndPastedCarryTheIds)
{
    auto* w = open<frmImport>();
    w->Import_Add(7, QStringLiteral("华联超市"));
    enterGoods(w, QStringLiteral("6902"));
    enterGoods(w, QStringLiteral("6903"));
    enterGoods(w, QStringLiteral("G002"));
    FlexGrid* grid = w->vs_bill;

    // The batch location of lines 2 and 3, from the grid's menu.
    ui::selectCells(grid, 2, col(w, "goodsName"), 3, col(w, "goodsName"));
    ui::rightClickCell(grid, 3, col(w, "goodsName"));
    for (QWidget* popup = QApplication::activePopupWidget(); popup; popup = QApplication::activePopupWidget())
        popup->close();
    DialogRunner::QueueHandler([](QDialog* d) {
        auto* picker = qobject_cast<frm_select*>(d);
        EXPECT_NE(picker, nullptr);
        if (!picker)
            return int(QDialog::Rejected);
        const int row = picker->vgInput->FindRow(QStringLiteral("A-02"), -1,
                                                 picker->vgInput->ColIndex(QStringLiteral("locationCode")));
        EXPECT_GE(row, 1);
        picker->vgInput->setRow(row);
        QTest::mouseClick(picker->B_SelectInput, Qt::LeftButton);
        return picker->result();
    });
    ui::child<QAction>(w, "menu_Batch_setLocation")->trigger();
    EXPECT_EQ(DialogRunner::PendingHandlers(), 0);
    EXPECT_EQ(rows(w), (std::vector<std::string>{"6902:1:5:1:A-01", "6903:2:5:2:A-02", "G002:2:5:2:A-02"}));

    // Line 2 copied and pasted into a new row: the same goods and location, a new line.
    copyLine(w, 2);
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(copied.startsWith(QStringLiteral("6903\t6903\t雪碧"))) << copied.toStdString();
    pasteIntoNewRow(w);
    EXPECT_EQ(rows(w).at(3), "6903:2:5:2:A-02");
    // The same text from another program: the row shows it but names no goods item.
    QGuiApplication::clipboard()->setText(copied);
    pasteIntoNewRow(w);
    EXPECT_EQ(rows(w).at(4), "6903:0:0:0:A-02");
    save(w);
    EXPECT_EQ(grid->Rows(), 5) << "the row without goods is dropped";
    EXPECT_EQ(stored(BillSetup::Of(BillDirection::In)),
              "1:6902:1:5:1 2:6903:2:5:2 3:G002:2:5:2 4:6903:2:5:2");

    // A stored line pasted again is one more line; the stored one stays itself.
    copyLine(w, 1);
    pasteIntoNewRow(w);
    EXPECT_EQ(w->lineIds(5).id, 1) << "the row data came with the copy";
    save(w);
    EXPECT_EQ(stored(BillSetup::Of(BillDirection::In)),
              "1:6902:1:5:1 2:6903:2:5:2 3:G002:2:5:2 4:6903:2:5:2 5:6902:1:5:1");
    EXPECT_EQ(w->lineIds(5).id, 5);
}

TEST_F(BillLineIdsTest, SortedInsertedAndRemovedRowsKeepTheirLinesIds)
{
    auto* w = open<frmImport>();
    w->Import_Add(7, QStringLiteral("华联超市"));
    enterGoods(w, QStringLiteral("6902"));
    secondLocation();
    enterGoods(w, QStringLiteral("6903"));
    enterGoods(w, QStringLiteral("6901"));
    save(w);
    const BillSetup& setup = BillSetup::Of(BillDirection::In);
    EXPECT_EQ(stored(setup), "1:6902:1:5:1 2:6903:2:5:2 3:6901:1:5:2");

    FlexGrid* grid = w->vs_bill;
    grid->Sort(col(w, "goodsCode"), Qt::DescendingOrder);
    EXPECT_EQ(rows(w), (std::vector<std::string>{"6903:2:5:2:A-02", "6902:1:5:1:A-01", "6901:1:5:2:A-02"}));
    EXPECT_EQ(w->lineIds(1).id, 2);
    ui::clickCell(grid, 2, col(w, "goodsName"));
    ui::press(Qt::Key_I, Qt::ControlModifier); // an empty row before 6902
    ui::clickCell(grid, 4, col(w, "goodsName"));
    ui::press(Qt::Key_D, Qt::ControlModifier); // 6901 deleted
    EXPECT_EQ(rows(w), (std::vector<std::string>{"6903:2:5:2:A-02", ":0:0:0:", "6902:1:5:1:A-01"}));
    save(w);
    EXPECT_EQ(stored(setup), "1:6902:1:5:1 2:6903:2:5:2");
}
} // namespace
