#include "GoodsWindowFixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <functional>

using namespace ui;

namespace
{

const QString kQuestion = QStringLiteral("确定保存当前货品?");
const QString kSaved = QStringLiteral("保存成功!");

QString dupText(const QStringList& values)
{
    return QStringLiteral("有以下条码重复:\r\n") + values.join(',') + QStringLiteral(",\r\n请重新设置!");
}

class GoodsSaveTest : public GoodsWindowTest
{
  protected:
    void SetUp() override
    {
        GoodsWindowTest::SetUp();
        addType(11, QStringLiteral("五金"));
        addType(12, QStringLiteral("日用"));
        addGoods(1, 11, QStringLiteral("A1"), QStringLiteral("螺丝"), {QStringLiteral("盒:690001")});
        addGoods(2, 12, QStringLiteral("C3"), QStringLiteral("毛巾"),
                 {QStringLiteral("条:111"), QStringLiteral("包:222")});
    }
    // Pastes text over the whole of a box, as a clerk does.
    void pasteInto(const char* box, const QString& text)
    {
        QGuiApplication::clipboard()->setText(text);
        ui::focusOn(window->findChild<QWidget*>(QLatin1String(box)));
        ui::press(Qt::Key_A, Qt::ControlModifier);
        ui::press(Qt::Key_V, Qt::ControlModifier);
    }
};

TEST_F(GoodsSaveTest, ANewItemIsStoredWithItsDefaultUnitAndShown)
{
    open();
    EXPECT_EQ(listedCodes(), (QStringList{"A1", "C3"}));
    EXPECT_EQ(text("txt_goodsCode"), QStringLiteral("A1")) << "the first row fills the form";

    fillNew(QStringLiteral("N'9"), QStringLiteral("扳手"), QStringLiteral("日用"), QStringLiteral("把"),
            QStringLiteral("770'1"));
    typeInto(window.get(), "txt_packQty", QStringLiteral("12a.5"));
    EXPECT_EQ(text("txt_packQty"), QStringLiteral("12.5")) << "a number box takes no letters";
    saveGoods();

    EXPECT_EQ(shown(), (QStringList{kQuestion, kSaved}));
    EXPECT_EQ(scalar("select goodsTypeId from tb_goods_head where goodsCode='N''9'").toInt(), 12);
    EXPECT_EQ(scalar("select id from tb_goods_head where goodsCode='N''9'").toInt(), 3);
    EXPECT_EQ(scalar("select pinyin from tb_goods_head where id=3").toString(), QStringLiteral("BS"));
    EXPECT_EQ(scalar("select creator from tb_goods_head where id=3").toString(), QStringLiteral("admin"));
    EXPECT_EQ(unitsOf(3), QStringList{QStringLiteral("把:770'1:1")});
    EXPECT_EQ(scalar("select id from tb_goods_detail where headId=3").toInt(), 23);
    EXPECT_EQ(scalar("select packQty from tb_goods_detail where headId=3").toDouble(), 12.5);
    // The list is searched again and the new item is the current row, shown in the form.
    EXPECT_EQ(listedCodes().size(), 3);
    EXPECT_EQ(list()->TextMatrix(list()->Row(), frmGoods::lcCode), QStringLiteral("N'9"));
    EXPECT_EQ(text("txt_id"), QStringLiteral("3"));
    EXPECT_EQ(units()->TextMatrix(1, frmGoods::dcUnit), QStringLiteral("把"));
}

TEST_F(GoodsSaveTest, EachRefusalStopsWithItsMessageAndWritesNothing)
{
    struct Case {
        const char* what;
        std::function<void()> fill;
        QStringList messages;
        const char* focus;
    };
    const QList<Case> cases = {
        {"blank code",
         [this] {
             fillNew(QStringLiteral("  "), QStringLiteral("x"), QStringLiteral("五金"), QStringLiteral("个"));
         },
         {QStringLiteral("货品编码不能为空!")},
         "txt_goodsCode"},
        {"no name",
         [this] { fillNew(QStringLiteral("Z1"), QString(), QStringLiteral("五金"), QStringLiteral("个")); },
         {QStringLiteral("货品名称不能为空!")},
         "txt_goodsName"},
        {"no unit",
         [this] {
             fillNew(QStringLiteral("Z1"), QStringLiteral("x"), QStringLiteral("五金"), QStringLiteral(" "));
         },
         {QStringLiteral("单位不能为空!")},
         "txt_unit"},
        {"pack below 1",
         [this] {
             fillNew(QStringLiteral("Z1"), QStringLiteral("x"), QStringLiteral("五金"), QStringLiteral("个"));
             typeInto(window.get(), "txt_packQty", QStringLiteral(".5"));
         },
         {QStringLiteral("内装数不能小于1!")},
         "txt_packQty"},
        {"weight pasted beyond the places kept",
         [this] {
             fillNew(QStringLiteral("Z1"), QStringLiteral("x"), QStringLiteral("五金"), QStringLiteral("个"));
             QGuiApplication::clipboard()->setText(QStringLiteral("1e-20"));
             ui::focusOn(window->findChild<QWidget*>(QStringLiteral("txt_weight")));
             ui::press(Qt::Key_A, Qt::ControlModifier);
             ui::press(Qt::Key_V, Qt::ControlModifier);
         },
         {QStringLiteral("重量小数位数过多,最多9位小数!")},
         "txt_weight"},
        {"price pasted beyond what a text holds",
         [this] {
             fillNew(QStringLiteral("Z1"), QStringLiteral("x"), QStringLiteral("五金"), QStringLiteral("个"));
             QGuiApplication::clipboard()->setText(QStringLiteral("1e1001"));
             ui::focusOn(window->findChild<QWidget*>(QStringLiteral("txt_salePrice")));
             ui::press(Qt::Key_A, Qt::ControlModifier);
             ui::press(Qt::Key_V, Qt::ControlModifier);
         },
         {QStringLiteral("销售价位数过多,最多15位有效数字!")},
         "txt_salePrice"},
        {"a paste is never cut: 20 digits are refused whole",
         [this] {
             fillNew(QStringLiteral("Z1"), QStringLiteral("x"), QStringLiteral("五金"), QStringLiteral("个"));
             pasteInto("txt_packQty", QStringLiteral("12345678901234567890"));
         },
         {QStringLiteral("内装数位数过多,最多15位有效数字!")},
         "txt_packQty"},
        {"price pasted spelling no number",
         [this] {
             fillNew(QStringLiteral("Z1"), QStringLiteral("x"), QStringLiteral("五金"), QStringLiteral("个"));
             pasteInto("txt_inPrice", QStringLiteral("1,5"));
         },
         {QStringLiteral("进货价必须是数字!")},
         "txt_inPrice"},
        {"limit pasted spelling no number",
         [this] {
             fillNew(QStringLiteral("Z1"), QStringLiteral("x"), QStringLiteral("五金"), QStringLiteral("个"));
             pasteInto("txt_upqty", QStringLiteral("NaN"));
         },
         {QStringLiteral("库存上限必须是数字!")},
         "txt_upqty"},
        {"code of another item, other letter case",
         [this] {
             fillNew(QStringLiteral("c3"), QStringLiteral("x"), QStringLiteral("五金"), QStringLiteral("个"));
         },
         {QStringLiteral("货品编码[c3]存在,请重新输入!")},
         "txt_goodsCode"},
        {"answered No",
         [this] {
             fillNew(QStringLiteral("Z1"), QStringLiteral("x"), QStringLiteral("五金"), QStringLiteral("个"));
             answer(MsgAnswer::No);
         },
         {kQuestion},
         nullptr},
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MsgBox::ClearShown();
        c.fill();
        click(window.get(), "btn_GoodsSave");
        EXPECT_EQ(shown(), c.messages);
        EXPECT_EQ(count("tb_goods_head"), 2);
        if (c.focus) {
            EXPECT_EQ(window->focusWidget(), child<QWidget>(window.get(), c.focus));
        }
    }
}

TEST_F(GoodsSaveTest, WithoutEnabledTypesTheSaveAsksForOne)
{
    exec("update tb_dictionary set isstart=0");
    open();
    fillNew(QStringLiteral("Z1"), QStringLiteral("x"), QString(), QStringLiteral("个"));
    click(window.get(), "btn_GoodsSave");
    EXPECT_EQ(shown(), QStringList{QStringLiteral("货品类别不能为空!")});
    EXPECT_EQ(count("tb_goods_head"), 2);
}

TEST_F(GoodsSaveTest, CodesAndBarcodesStayUniqueAcrossTheCatalogue)
{
    struct Case {
        const char* what;
        std::function<void()> act;
        QString refusal; // empty: the save goes through
    };
    const QList<Case> cases = {
        {"code equal to another item's barcode",
         [this] {
             fillNew(QStringLiteral("690001"), QStringLiteral("x"), QStringLiteral("五金"),
                     QStringLiteral("个"));
             saveGoods();
         },
         dupText({QStringLiteral("690001")})},
        {"code equal to its own barcode",
         [this] {
             fillNew(QStringLiteral("B7"), QStringLiteral("x"), QStringLiteral("五金"), QStringLiteral("个"),
                     QStringLiteral("B7"));
             saveGoods();
         },
         dupText({QStringLiteral("B7")})},
        {"barcode equal to a stored code in other letter case",
         [this] {
             fillNew(QStringLiteral("Z1"), QStringLiteral("x"), QStringLiteral("五金"), QStringLiteral("个"),
                     QStringLiteral("c3"));
             saveGoods();
         },
         QStringLiteral("c3")},
        {"copy keeps the barcode, which is then taken",
         [this] {
             ASSERT_TRUE(clickGoods(QStringLiteral("A1")));
             click(window.get(), "btn_GoodsCopy");
             typeInto(window.get(), "txt_goodsCode", QStringLiteral("A2"));
             saveGoods();
         },
         dupText({QStringLiteral("690001")})},
        {"a stored item saved unchanged in code and barcode",
         [this] {
             ASSERT_TRUE(clickGoods(QStringLiteral("A1")));
             typeInto(window.get(), "txt_goodsName", QStringLiteral("六角螺丝"));
             saveGoods();
         },
         {}},
        {"a stored code changed in letter case only",
         [this] {
             ASSERT_TRUE(clickGoods(QStringLiteral("A1")));
             typeInto(window.get(), "txt_goodsCode", QStringLiteral("a1"));
             saveGoods();
         },
         {}},
        {"an apostrophe is just a character",
         [this] {
             fillNew(QStringLiteral("O'Brien"), QStringLiteral("x"), QStringLiteral("五金"),
                     QStringLiteral("个"), QStringLiteral("O''Brien"));
             saveGoods();
         },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        open();
        MsgBox::ClearShown();
        const int before = count("tb_goods_head");
        const QString stateBefore =
            scalar("select group_concat(goodsCode||goodsName) from tb_goods_head").toString();
        c.act();
        if (c.refusal.isEmpty()) {
            EXPECT_EQ(shown(), (QStringList{kQuestion, kSaved}));
        } else {
            ASSERT_EQ(shown().size(), 2);
            EXPECT_EQ(shown().at(0), kQuestion);
            if (c.refusal.startsWith(QStringLiteral("有以下"))) {
                EXPECT_EQ(shown().at(1), c.refusal);
            } else {
                EXPECT_TRUE(shown().at(1).startsWith(QStringLiteral("有以下条码重复:\r\n")) &&
                            shown().at(1).contains(c.refusal, Qt::CaseInsensitive))
                    << shown().at(1).toStdString();
            }
            EXPECT_EQ(count("tb_goods_head"), before);
            EXPECT_EQ(scalar("select group_concat(goodsCode||goodsName) from tb_goods_head").toString(),
                      stateBefore);
        }
        window.reset();
    }
    EXPECT_EQ(scalar("select goodsCode from tb_goods_head where id=1").toString(), QStringLiteral("a1"));
    EXPECT_EQ(
        scalar("select goodsDetailCode from tb_goods_detail where goodsDetailCode like 'O%'").toString(),
        QStringLiteral("O''Brien"));
}

TEST_F(GoodsSaveTest, ADuplicateAlreadyStoredBlocksEverySaveThatAddsAValue)
{
    addGoods(5, 11, QStringLiteral("DUP"), QStringLiteral("甲"));
    addGoods(6, 11, QStringLiteral("dup"), QStringLiteral("乙"));
    open();
    fillNew(QStringLiteral("NEW1"), QStringLiteral("x"), QStringLiteral("五金"), QStringLiteral("个"));
    saveGoods();
    ASSERT_EQ(shown().size(), 2);
    EXPECT_TRUE(shown().at(1).contains(QStringLiteral("DUP"), Qt::CaseInsensitive))
        << shown().at(1).toStdString();
    EXPECT_EQ(count("tb_goods_head"), 4);

    // Only the name changes: nothing is added, nothing is checked.
    MsgBox::ClearShown();
    ASSERT_TRUE(clickGoods(QStringLiteral("C3")));
    typeInto(window.get(), "txt_goodsName", QStringLiteral("浴巾"));
    saveGoods();
    EXPECT_EQ(shown(), (QStringList{kQuestion, kSaved}));
}

TEST_F(GoodsSaveTest, TheRightIsCheckedAfterTheQuestionAndTheUniquenessCheck)
{
    takeRight(QStringLiteral("goodsInfor_save"));
    open();
    fillNew(QStringLiteral("B7"), QStringLiteral("x"), QStringLiteral("五金"), QStringLiteral("个"),
            QStringLiteral("B7"));
    saveGoods();
    EXPECT_EQ(shown(), (QStringList{kQuestion, dupText({QStringLiteral("B7")})}));

    MsgBox::ClearShown();
    typeInto(window.get(), "txt_goodsDetailCode", QStringLiteral("B8"));
    saveGoods();
    EXPECT_EQ(shown(), (QStringList{kQuestion, QStringLiteral("功能受限,请与系统管理联系!")}));
    EXPECT_EQ(count("tb_goods_head"), 2);
    EXPECT_EQ(count("tb_goods_detail"), 3);

    // Updating needs its own right.
    MsgBox::ClearShown();
    takeRight(QStringLiteral("goodsInfor_update"));
    ASSERT_TRUE(clickGoods(QStringLiteral("A1")));
    typeInto(window.get(), "txt_goodsName", QStringLiteral("改名"));
    saveGoods();
    EXPECT_EQ(shown(), (QStringList{kQuestion, QStringLiteral("功能受限,请与系统管理联系!")}));
    EXPECT_EQ(scalar("select goodsName from tb_goods_head where id=1").toString(), QStringLiteral("螺丝"));
}

TEST_F(GoodsSaveTest, UpdatingRewritesTheItemAndItsDefaultUnitOnly)
{
    open();
    ASSERT_TRUE(clickGoods(QStringLiteral("C3")));
    EXPECT_EQ(text("txt_unit"), QStringLiteral("条"));
    EXPECT_EQ(combo("cobo_goodsTypeName")->currentText(), QStringLiteral("日用"));
    const QString odd = QStringLiteral("%@|'") + QString(251, QChar(u'名'));
    typeInto(window.get(), "txt_goodsName", odd);
    typeInto(window.get(), "txt_goodsDesc", QStringLiteral("@id 'x' |50%|"));
    typeInto(window.get(), "txt_unit", QStringLiteral("卷"));
    typeInto(window.get(), "txt_inPrice", QStringLiteral("3.25"));
    chooseType(QStringLiteral("五金"));
    saveGoods();
    EXPECT_EQ(shown(), (QStringList{kQuestion, kSaved}));
    EXPECT_EQ(scalar("select goodsName from tb_goods_head where id=2").toString(), odd);
    EXPECT_EQ(scalar("select goodsDesc from tb_goods_head where id=2").toString(),
              QStringLiteral("@id 'x' |50%|"));
    EXPECT_EQ(scalar("select goodsTypeId from tb_goods_head where id=2").toInt(), 11);
    EXPECT_EQ(scalar("select createTime from tb_goods_head where id=2").toString(),
              QStringLiteral("2024-01-02 08:00:00"));
    EXPECT_EQ(unitsOf(2), (QStringList{QStringLiteral("卷:111:1"), QStringLiteral("包:222:0")}));
    EXPECT_EQ(scalar("select inPrice from tb_goods_detail where id=21").toDouble(), 3.25);
    EXPECT_EQ(text("txt_inPrice"), QStringLiteral("3.25"));
}

TEST_F(GoodsSaveTest, AnItemDeletedElsewhereIsNeverSavedAsSuccess)
{
    open();
    ASSERT_TRUE(clickGoods(QStringLiteral("C3")));
    exec("delete from tb_goods_detail where headId=2");
    exec("delete from tb_goods_head where id=2");
    typeInto(window.get(), "txt_goodsName", QStringLiteral("浴巾"));
    saveGoods();
    EXPECT_EQ(shown(), (QStringList{kQuestion, QStringLiteral("当前货品信息不存在!")}));
    EXPECT_EQ(count("tb_goods_head"), 1);
    EXPECT_EQ(count("tb_goods_detail"), 1);

    // A click on its stale row says so and leaves the form empty.
    MsgBox::ClearShown();
    ASSERT_TRUE(clickGoods(QStringLiteral("C3")));
    EXPECT_EQ(shown(), QStringList{QStringLiteral("当前货品信息不存在!")});
    EXPECT_TRUE(text("txt_goodsCode").isEmpty());
}

TEST_F(GoodsSaveTest, AnItemOfADisabledTypeKeepsItsType)
{
    exec("update tb_dictionary set isstart=0 where id=12");
    open();
    EXPECT_EQ(combo("cobo_goodsTypeName")->count(), 1);
    ASSERT_TRUE(clickGoods(QStringLiteral("C3")));
    EXPECT_EQ(combo("cobo_goodsTypeName")->currentText(), QStringLiteral("日用"));
    typeInto(window.get(), "txt_goodsName", QStringLiteral("浴巾"));
    saveGoods();
    EXPECT_EQ(shown(), (QStringList{kQuestion, kSaved}));
    EXPECT_EQ(scalar("select goodsTypeId from tb_goods_head where id=2").toInt(), 12);

    // Another item brings the box back to the enabled types.
    ASSERT_TRUE(clickGoods(QStringLiteral("A1")));
    EXPECT_EQ(combo("cobo_goodsTypeName")->count(), 1);
    EXPECT_EQ(combo("cobo_goodsTypeName")->currentText(), QStringLiteral("五金"));

    // A type deleted outright leaves the box empty: the save asks for a type.
    // The database now refuses that delete; a file of the older layout may
    // still hold such an item.
    exec("drop trigger tr_dictionary_refs_delete");
    exec("delete from tb_dictionary where id=12");
    ASSERT_TRUE(clickGoods(QStringLiteral("C3")));
    EXPECT_TRUE(combo("cobo_goodsTypeName")->currentText().isEmpty());
    MsgBox::ClearShown();
    click(window.get(), "btn_GoodsSave");
    EXPECT_EQ(shown(), QStringList{QStringLiteral("货品类别不能为空!")});
}

TEST_F(GoodsSaveTest, EnterMovesThroughTheFormAndTheStatusColoursItsLabel)
{
    open();
    focusOn(child<QWidget>(window.get(), "txt_goodsCode"));
    press(Qt::Key_Return);
    EXPECT_EQ(focused(), child<QWidget>(window.get(), "cobo_status"));
    press(Qt::Key_Down);
    EXPECT_EQ(combo("cobo_status")->currentText(), QStringLiteral("替代"));
    EXPECT_EQ(child<QLabel>(window.get(), "lab_status")->palette().color(QPalette::WindowText),
              QColor(0, 0, 192));
    press(Qt::Key_Return);
    EXPECT_EQ(focused(), child<QWidget>(window.get(), "txt_goodsName"));
    EXPECT_EQ(child<QLineEdit>(window.get(), "txt_goodsCode")->palette().color(QPalette::Base),
              QColor(255, 224, 192));

    clickToolbar(window.get(), "print");
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("请连接条码打印机!"));
}

TEST_F(GoodsSaveTest, DeleteIsRefusedWhileBillLinesUseTheItem)
{
    exec("insert into tb_rk_head (id) values (1)");
    exec("insert into tb_ck_head (id) values (1)");
    exec("insert into tb_rk_detail (id, headId, goodsId) values (1, 1, 1)");
    exec("insert into tb_ck_detail (id, headId, goodsId) values (1, 1, 2)");
    addGoods(3, 11, QStringLiteral("D4"), QStringLiteral("锤子"));
    open();
    struct Case {
        QString code;
        QString refusal;
    };
    for (const Case& c : {Case{QStringLiteral("A1"), QStringLiteral("当前货品在入库表已经建账,不能删除!")},
                          Case{QStringLiteral("C3"), QStringLiteral("当前货品在出库表已经建账,不能删除!")}}) {
        MsgBox::ClearShown();
        ASSERT_TRUE(clickGoods(c.code));
        answer(MsgAnswer::Yes);
        click(window.get(), "btn_GoodsDelete");
        EXPECT_EQ(shown(), (QStringList{QStringLiteral("删除后将不能恢复,确定删除当前货品?"), c.refusal}));
    }
    EXPECT_EQ(count("tb_goods_head"), 3);
    EXPECT_EQ(count("tb_goods_detail"), 4);

    MsgBox::ClearShown();
    ASSERT_TRUE(clickGoods(QStringLiteral("D4")));
    answer(MsgAnswer::Yes);
    click(window.get(), "btn_GoodsDeleteList");
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("删除后将不能恢复,确定删除当前货品?"),
                                    QStringLiteral("删除成功!")}));
    EXPECT_EQ(count("tb_goods_head", "id=3"), 0);
    EXPECT_EQ(count("tb_goods_detail", "headId=3"), 0);
    EXPECT_EQ(listedCodes(), (QStringList{"A1", "C3"}));

    // Without an item in the form nothing happens; without the right it is refused.
    MsgBox::ClearShown();
    click(window.get(), "btn_GoodsAdd");
    click(window.get(), "btn_GoodsDelete");
    EXPECT_TRUE(shown().isEmpty());
    takeRight(QStringLiteral("goodsInfor_delete"));
    ASSERT_TRUE(clickGoods(QStringLiteral("A1")));
    clickToolbar(window.get(), "delete");
    EXPECT_EQ(shown(), QStringList{QStringLiteral("功能受限,请与系统管理联系!")});
}

} // namespace

namespace
{

TEST_F(GoodsSaveTest, AFailedWriteIsShownAndTheWindowStaysUsable)
{
    exec(
        "CREATE TRIGGER tr_full BEFORE INSERT ON tb_goods_detail BEGIN SELECT RAISE(ABORT, '磁盘已满'); END");
    open();
    fillNew(QStringLiteral("Z1"), QStringLiteral("x"), QStringLiteral("五金"), QStringLiteral("个"));
    saveGoods();
    ASSERT_EQ(shown().size(), 2);
    EXPECT_TRUE(shown().at(1).contains(QStringLiteral("磁盘已满"))) << shown().at(1).toStdString();
    EXPECT_EQ(MsgBox::Shown().at(1).title, QStringLiteral("System"));
    EXPECT_EQ(count("tb_goods_head"), 2) << "the item is not left without its unit";
    EXPECT_EQ(text("txt_goodsCode"), QStringLiteral("Z1")) << "the form keeps what was typed";

    MsgBox::ClearShown();
    exec("DROP TRIGGER tr_full");
    saveGoods();
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("确定保存当前货品?"), QStringLiteral("保存成功!")}));
    EXPECT_EQ(count("tb_goods_head"), 3);
}

} // namespace
