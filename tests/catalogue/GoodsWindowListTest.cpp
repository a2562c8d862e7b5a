#include "GoodsWindowFixture.h"
#include "TreeDriver.h"

#include "WindowRegistry.h"
#include "XlsxSheet.h"
#include "frm_dictionary.h"

#include <QDir>
#include <QHeaderView>
#include <QMenu>

using namespace ui;

namespace
{

class GoodsListTest : public GoodsWindowTest
{
  protected:
    void SetUp() override
    {
        GoodsWindowTest::SetUp();
        // 五金 > 紧固件 > 螺丝类, and 日用 beside them.
        addType(11, QStringLiteral("五金"));
        addType(12, QStringLiteral("紧固件"), 11);
        addType(13, QStringLiteral("螺丝类"), 12);
        addType(14, QStringLiteral("日用"));
        addType(15, QStringLiteral("停用类"), 0, 0);
        addGoods(1, 11, QStringLiteral("HW01"), QStringLiteral("锤子"), {QStringLiteral("把")},
                 QStringLiteral("CZ"));
        addGoods(2, 12, QStringLiteral("FX02"), QStringLiteral("垫片"), {QStringLiteral("包")},
                 QStringLiteral("DP"));
        addGoods(3, 13, QStringLiteral("SC03"), QStringLiteral("螺丝"), {QStringLiteral("盒")},
                 QStringLiteral("LS"));
        addGoods(4, 14, QStringLiteral("DY04"), QStringLiteral("毛巾"), {QStringLiteral("条")});
        exec("update tb_goods_head set status='禁用', upqty=12.5 where id=4");
    }

    QTreeWidget* tree() const { return window->typeTree(); }
    QTreeWidgetItem* node(int id) const
    {
        const QString key = QStringLiteral("key_%1").arg(id);
        for (QTreeWidgetItemIterator it(tree()); *it; ++it)
            if (frmGoods::nodeKey(*it) == key)
                return *it;
        return nullptr;
    }
    void clickNode(int id)
    {
        QTreeWidgetItem* n = node(id);
        ASSERT_NE(n, nullptr) << id;
        tree()->scrollToItem(n);
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualItemRect(n).center());
        QApplication::processEvents();
    }
    void search(const QString& keyword)
    {
        typeInto(window.get(), "txt_KeyWord", keyword);
        press(Qt::Key_Return);
    }
    QString found() const { return child<QLabel>(window.get(), "lb_rowCount")->text(); }
};

TEST_F(GoodsListTest, TheListShowsEveryItemWithStatusAndNumbers)
{
    open();
    EXPECT_EQ(listedCodes(), (QStringList{"HW01", "FX02", "SC03", "DY04"}));
    EXPECT_EQ(found(), QStringLiteral("找到[4]条信息"));
    EXPECT_EQ(list()->TextMatrix(4, frmGoods::lcStatus), QStringLiteral("禁用"));
    EXPECT_FALSE(list()->CellPicture(4, frmGoods::lcStatus).isNull());
    EXPECT_EQ(list()->TextMatrix(4, frmGoods::lcUpqty), QStringLiteral("12.5"));
    EXPECT_EQ(list()->TextMatrix(4, frmGoods::lcCreateTime), QStringLiteral("2024-01-02"));
    EXPECT_EQ(list()->TextMatrix(2, frmGoods::lcType), QStringLiteral("紧固件"));
    EXPECT_TRUE(list()->ColHidden(frmGoods::lcId));

    // A header click sorts, and the row numbers follow the new order.
    QHeaderView* header = list()->horizontalHeader();
    QTest::mouseClick(
        header->viewport(), Qt::LeftButton, {},
        QPoint(header->sectionViewportPosition(frmGoods::lcCode) + header->sectionSize(frmGoods::lcCode) / 2,
               header->height() / 2));
    QApplication::processEvents();
    EXPECT_EQ(listedCodes(), (QStringList{"DY04", "FX02", "HW01", "SC03"}));
    EXPECT_EQ(list()->TextMatrix(1, frmGoods::lcNo), QStringLiteral("1"));
    EXPECT_EQ(list()->TextMatrix(4, frmGoods::lcNo), QStringLiteral("4"));
    EXPECT_EQ(found(), QStringLiteral("找到[4]条信息"));

    // Backspace in the list goes to the keyword, Enter to the goods code.
    focusOn(list());
    press(Qt::Key_Backspace);
    EXPECT_EQ(focused(), child<QWidget>(window.get(), "txt_KeyWord"));
    focusOn(list());
    press(Qt::Key_Return);
    EXPECT_EQ(focused(), child<QWidget>(window.get(), "txt_goodsCode"));
}

TEST_F(GoodsListTest, ATypeListsItsWholeSubtree)
{
    open();
    EXPECT_EQ(tree()->topLevelItemCount(), 1);
    EXPECT_EQ(frmGoods::nodeImage(node(0)), QStringLiteral("book"));
    EXPECT_EQ(node(0)->childCount(), 3) << "the top level comes with the tree, disabled types too";
    EXPECT_EQ(frmGoods::nodeImage(node(11)), QStringLiteral("close"));
    EXPECT_EQ(frmGoods::nodeImage(node(14)), QStringLiteral("open"));
    EXPECT_EQ(node(12), nullptr) << "lower levels load on their first click";

    clickNode(11);
    EXPECT_EQ(listedCodes(), (QStringList{"HW01", "FX02", "SC03"}));
    EXPECT_EQ(found(), QStringLiteral("找到[3]条信息"));
    ASSERT_NE(node(12), nullptr);
    EXPECT_EQ(frmGoods::nodeImage(node(11)), QStringLiteral("open"));

    clickNode(12);
    EXPECT_EQ(listedCodes(), (QStringList{"FX02", "SC03"}));
    clickNode(13);
    EXPECT_EQ(listedCodes(), QStringList{"SC03"});
    clickNode(15);
    EXPECT_EQ(listedCodes(), QStringList{QString()});
    EXPECT_EQ(found(), QStringLiteral("找到[0]条信息"));
    EXPECT_TRUE(text("txt_id").isEmpty()) << "the empty row leaves the form empty";
    EXPECT_TRUE(shown().isEmpty());
    clickNode(0);
    EXPECT_EQ(listedCodes().size(), 4);
}

TEST_F(GoodsListTest, TheKeywordMatchesAcrossCodeNameAndPinyin)
{
    exec("update tb_goods_head set pinyin='' where id=1");
    open();
    struct Case {
        QString keyword;
        QStringList codes;
    };
    const QList<Case> cases = {
        {QStringLiteral("01锤"), {"HW01"}},   // the end of the code and the start of the name
        {QStringLiteral("螺丝LS"), {"SC03"}}, // the name and the pinyin
        {QStringLiteral("dp"), {"FX02"}},     // pinyin in any letter case
        {QStringLiteral("0"), {"HW01", "FX02", "SC03", "DY04"}},
        {QStringLiteral("O'Brien"), {QString()}},
        {QStringLiteral("  "), {"HW01", "FX02", "SC03", "DY04"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keyword.toStdString());
        search(c.keyword);
        EXPECT_EQ(listedCodes(), c.codes);
    }
    // The keyword and the type work together.
    clickNode(11);
    search(QStringLiteral("螺"));
    EXPECT_EQ(listedCodes(), QStringList{"SC03"});
}

TEST_F(GoodsListTest, MovingInTheListLoadsTheItem)
{
    open();
    ASSERT_TRUE(clickGoods(QStringLiteral("DY04")));
    EXPECT_EQ(text("txt_goodsCode"), QStringLiteral("DY04"));
    EXPECT_EQ(text("txt_upqty"), QStringLiteral("12.5"));
    EXPECT_EQ(combo("cobo_status")->currentText(), QStringLiteral("禁用"));
    EXPECT_EQ(child<QLabel>(window.get(), "lab_status")->palette().color(QPalette::WindowText),
              QColor(255, 0, 0));
    EXPECT_EQ(text("txt_unit"), QStringLiteral("条"));

    // Another column of the same row loads it again: unsaved edits are dropped.
    typeInto(window.get(), "txt_goodsName", QStringLiteral("草稿"));
    ui::clickCell(list(), list()->Row(), frmGoods::lcDesc);
    EXPECT_EQ(text("txt_goodsName"), QStringLiteral("毛巾"));
}

TEST_F(GoodsListTest, TheExportWritesTheLastSearch)
{
    open();
    clickNode(11);
    search(QStringLiteral("螺"));
    clickToolbar(window.get(), "export");
    EXPECT_EQ(shown(), QStringList{QStringLiteral("导出完成！")});
    const QStringList files = QDir(appDir() + QStringLiteral("qvPrint/generateXls/"))
                                  .entryList({QStringLiteral("*.xlsx")}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    const QMap<QString, QString> cells =
        ReadXlsxSheet(appDir() + QStringLiteral("qvPrint/generateXls/") + files.first()).cells;
    EXPECT_EQ(cells.value("A1"), QStringLiteral("货品信息"));
    QStringList headers;
    for (const char* col : {"A2", "B2", "C2", "D2", "E2", "F2", "G2", "H2", "I2"})
        headers << cells.value(col);
    EXPECT_EQ(headers.join(','),
              QStringLiteral("货品类别,货品编码,货品名称,规格,库存上限,库存下限,状态,创建人,创建时间"));
    EXPECT_EQ(cells.value("A3"), QStringLiteral("螺丝类"));
    EXPECT_EQ(cells.value("B3"), QStringLiteral("SC03"));
    EXPECT_EQ(cells.value("I3"), QStringLiteral("2024-01-02 08:00:00"));
    EXPECT_FALSE(cells.contains("B4"));

    // Without the right nothing is written.
    MsgBox::ClearShown();
    takeRight(QStringLiteral("goodsInfor_export"));
    clickToolbar(window.get(), "export");
    EXPECT_EQ(shown(), QStringList{QStringLiteral("功能受限,请与系统管理联系!")});
}

TEST_F(GoodsListTest, ANewTypeIsAddedUnderTheSelectedNode)
{
    open();
    clickNode(11);
    // A name taken by any goods type, disabled ones too, is asked for again.
    InputBox::QueueAnswer(QStringLiteral("停用类"));
    InputBox::QueueAnswer(QStringLiteral(" 工具 "));
    window->nodeMenu()->findChild<QAction*>(QStringLiteral("addnew_type"))->trigger();
    EXPECT_EQ(shown(), QStringList{QStringLiteral("货品类别[停用类]存在,请重新输入!")});
    EXPECT_EQ(InputBox::Prompts(),
              (QStringList{QStringLiteral("请输入货品类别名称:"), QStringLiteral("请输入货品类别名称:")}));
    EXPECT_EQ(scalar("select uname from tb_dictionary where id=16").toString(), QStringLiteral(" 工具 "));
    EXPECT_EQ(scalar("select parentId from tb_dictionary where id=16").toInt(), 11);
    EXPECT_EQ(scalar("select utype from tb_dictionary where id=16").toString(), QStringLiteral("goodsType"));
    ASSERT_NE(node(16), nullptr);
    EXPECT_EQ(node(16)->parent(), node(11));
    EXPECT_EQ(combo("cobo_goodsTypeName")->currentText(), QStringLiteral(" 工具 "));

    // Blanks only end it without a word.
    MsgBox::ClearShown();
    InputBox::QueueAnswer(QStringLiteral("   "));
    window->nodeMenu()->findChild<QAction*>(QStringLiteral("addnew_type"))->trigger();
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_EQ(count("tb_dictionary", "utype='goodsType'"), 6);

    // 刷新 reloads the tree and the box from the database.
    exec("update tb_dictionary set uname='五金工具' where id=11");
    window->nodeMenu()->findChild<QAction*>(QStringLiteral("refresh"))->trigger();
    EXPECT_EQ(node(11)->text(0), QStringLiteral("五金工具"));
    EXPECT_EQ(tree()->currentItem(), node(0));
    EXPECT_EQ(combo("cobo_goodsTypeName")->findText(QStringLiteral("五金工具")), 0);

    // The right button takes the node under the pointer first, as a click
    // does: a new type is added under that node.
    ui::rightClickNode(tree(), node(14));
    EXPECT_TRUE(window->nodeMenu()->isVisible());
    EXPECT_EQ(tree()->currentItem(), node(14));
    window->nodeMenu()->close();
    InputBox::QueueAnswer(QStringLiteral("小家电"));
    window->nodeMenu()->findChild<QAction*>(QStringLiteral("addnew_type"))->trigger();
    EXPECT_EQ(scalar("select parentId from tb_dictionary where uname='小家电'").toInt(), 14);
}

// The type chosen as parent was deleted on another workstation after the tree
// was loaded: the window says so in its own words and stores nothing.
TEST_F(GoodsListTest, ANewTypeUnderATypeDeletedElsewhereIsRefused)
{
    open();
    clickNode(15);
    exec("delete from tb_dictionary where id=15");
    InputBox::QueueAnswer(QStringLiteral("工具"));
    window->nodeMenu()->findChild<QAction*>(QStringLiteral("addnew_type"))->trigger();
    EXPECT_EQ(shown(), QStringList{QStringLiteral("请选择父节点!")});
    EXPECT_EQ(MsgBox::Shown().last().title, QStringLiteral("货品信息"));
    EXPECT_EQ(count("tb_dictionary", "uname='工具'"), 0);
    EXPECT_EQ(node(15)->childCount(), 0);
    EXPECT_EQ(combo("cobo_goodsTypeName")->findText(QStringLiteral("工具")), -1);
}

TEST_F(GoodsListTest, TypeManagementOpensTheDictionaryOnGoodsTypes)
{
    WindowRegistry::add("frm_dictionary", [] { return new frm_dictionary; });
    open();
    click(window.get(), "btn_goodsTypeMg");
    QWidget* editor = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("frm_dictionary") && w->isVisible())
            editor = w;
    ASSERT_NE(editor, nullptr);
    auto* tv = editor->findChild<QTreeWidget*>(QStringLiteral("tv_dictionary"));
    ASSERT_NE(tv, nullptr);
    ASSERT_EQ(tv->topLevelItemCount(), 1);
    EXPECT_EQ(tv->topLevelItem(0)->text(0), QStringLiteral("货品类别"));
    EXPECT_EQ(tv->topLevelItem(0)->childCount(), 3);

    // A second click brings up the same editor.
    click(window.get(), "btn_goodsTypeMg");
    int editors = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        editors += w->objectName() == QLatin1String("frm_dictionary") ? 1 : 0;
    EXPECT_EQ(editors, 1);
    WindowRegistry::remove("frm_dictionary");
}

} // namespace
