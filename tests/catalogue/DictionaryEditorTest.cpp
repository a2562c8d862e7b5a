#include "DialogRunner.h"
#include "FlexGrid.h"
#include "TestEnv.h"
#include "TreeDriver.h"
#include "UiDriver.h"
#include "frm_dictionary.h"
#include "frm_select.h"
#include "mod_public.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

namespace
{

using ui::child;

// Goods types 10 食品 > 11 饮料 > 12 果汁, 13 日用 (14 停用 disabled); partner categories 20, 21.
class DictionaryEditorTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec("INSERT INTO tb_dictionary (id, utype, uname, parentId, isstart) VALUES "
             "(10, 'goodsType', '食品', 0, 1), (11, 'goodsType', '饮料', 10, 1), (12, 'goodsType', '果汁', "
             "11, 1),"
             "(13, 'goodsType', '日用', 0, 1), (14, 'goodsType', '停用', 0, 0),"
             "(20, 'customerType', '批发客户', 0, 1), (21, 'customerType', '零售客户', 0, 1)");
        loginAs(1);
        window = std::make_unique<frm_dictionary>();
        window->show();
        window->init(0);
    }
    void TearDown() override
    {
        window.reset();
        DbTest::TearDown();
    }

    QTreeWidget* tree() { return window->tree(); }
    QTreeWidgetItem* node(int id)
    {
        return frm_dictionary::findNode(tree(), QStringLiteral("key_%1").arg(id));
    }
    QStringList childrenOf(QTreeWidgetItem* n) { return ui::childTexts(n); }
    void clickNode(int id)
    {
        SCOPED_TRACE(id);
        ui::clickNode(tree(), node(id));
    }
    void clickToolbar(const char* key) { ui::clickToolbar(window.get(), key); }
    void typeName(const QString& text) { ui::typeInto(window.get(), "txt_Name", text); }
    QString field(const char* name) { return child<QLineEdit>(window.get(), name)->text(); }
    // Answers the next parent picker with the row named name (an empty name closes it without a pick).
    void pickParent(const QString& name, int* offered = nullptr)
    {
        DialogRunner::QueueHandler([name, offered](QDialog* d) {
            auto* p = static_cast<frm_select*>(d);
            if (offered)
                *offered = p->vgInput->Rows() - p->vgInput->FixedRows();
            if (name.isEmpty())
                return int(QDialog::Rejected);
            for (int r = p->vgInput->FixedRows(); r < p->vgInput->Rows(); ++r) {
                if (p->vgInput->TextMatrix(r, 3) == name)
                    p->vgInput->setRow(r);
            }
            QTest::mouseClick(p->B_SelectInput, Qt::LeftButton);
            return p->result();
        });
        QTest::mouseClick(child<QPushButton>(window.get(), "btn_setParent"), Qt::LeftButton);
    }
    void save(MsgAnswer a = MsgAnswer::Yes)
    {
        answer(a);
        clickToolbar("save");
    }

    std::unique_ptr<frm_dictionary> window;
};

TEST_F(DictionaryEditorTest, EachTypeButtonShowsItsTree)
{
    exec("INSERT INTO tb_dictionary (id, utype, uname, parentId) VALUES (30, 'department', '仓库部', 0)");
    const struct {
        const char16_t* caption;
        QStringList top;
    } expected[] = {
        {u"货品类别", {"食品", "日用", "停用"}},
        {u"部门信息", {"系统管理", "仓库部"}},
        {u"入库类别", {"采购入库"}},
        {u"出库类别", {"销售出库"}},
        {u"账目标识", {"默认账套"}},
        {u"往来单位分类", {"批发客户", "零售客户"}},
    };
    for (int i = 0; i < 6; ++i) {
        QTest::mouseClick(window->typeButton(i), Qt::LeftButton);
        ASSERT_EQ(tree()->topLevelItemCount(), 1);
        QTreeWidgetItem* root = tree()->topLevelItem(0);
        EXPECT_EQ(root->text(0), QString::fromUtf16(expected[i].caption));
        EXPECT_EQ(frm_dictionary::nodeKey(root), QStringLiteral("key_0"));
        EXPECT_EQ(frm_dictionary::nodeImage(root), QStringLiteral("All"));
        EXPECT_TRUE(root->isExpanded());
        EXPECT_EQ(tree()->currentItem(), root);
        EXPECT_EQ(childrenOf(root), expected[i].top) << i;
        for (int b = 0; b < 6; ++b) {
            EXPECT_EQ(window->typeButton(b)->font().bold(), b == i);
            EXPECT_EQ(window->typeButton(b)->font().pointSize(), b == i ? 11 : 9);
        }
    }
    EXPECT_EQ(field("txt_selectType"), QStringLiteral("customerType"));
    EXPECT_TRUE(field("txt_id").isEmpty());
}

TEST_F(DictionaryEditorTest, ChildrenAreReadOnceOnTheFirstClick)
{
    EXPECT_EQ(frm_dictionary::nodeImage(node(10)), QStringLiteral("close"));
    EXPECT_EQ(frm_dictionary::nodeImage(node(13)), QStringLiteral("open"));
    EXPECT_EQ(node(10)->childCount(), 0);

    clickNode(10);
    EXPECT_EQ(childrenOf(node(10)), QStringList{QStringLiteral("饮料")});
    EXPECT_TRUE(node(10)->isExpanded());
    EXPECT_EQ(frm_dictionary::nodeImage(node(10)), QStringLiteral("open"));
    EXPECT_EQ(field("txt_id"), QStringLiteral("10"));
    EXPECT_EQ(field("txt_Name"), QStringLiteral("食品"));

    // Added elsewhere after the first read: not shown until the type is chosen again.
    exec("INSERT INTO tb_dictionary (id, utype, uname, parentId) VALUES (15, 'goodsType', '零食', 10)");
    clickNode(10);
    EXPECT_EQ(childrenOf(node(10)), QStringList{QStringLiteral("饮料")});
    node(10)->setExpanded(false);
    EXPECT_EQ(frm_dictionary::nodeImage(node(10)), QStringLiteral("close"));
    window->init(0);
    clickNode(10);
    EXPECT_EQ(childrenOf(node(10)), (QStringList{QStringLiteral("饮料"), QStringLiteral("零食")}));

    clickNode(0);
    EXPECT_TRUE(field("txt_id").isEmpty());
    EXPECT_TRUE(child<QCheckBox>(window.get(), "chk_start")->isChecked());
}

TEST_F(DictionaryEditorTest, SavesANewTopLevelItemAndAChild)
{
    clickToolbar("add");
    typeName(QStringLiteral("文具"));
    ui::focusOn(child<QPlainTextEdit>(window.get(), "txt_remark"));
    ui::type(QStringLiteral("办公"));
    save();
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("确认保存当前项目!"), QStringLiteral("保存成功!")}));
    EXPECT_EQ(
        scalar("SELECT uname || '|' || utype || '|' || parentId || '|' || remark || '|' || isstart || '|' || "
               "isSystemSet FROM tb_dictionary WHERE id=22")
            .toString(),
        QStringLiteral("文具|goodsType|0|办公|1|0"));
    EXPECT_EQ(field("txt_id"), QStringLiteral("22"));
    EXPECT_EQ(childrenOf(tree()->topLevelItem(0)).last(), QStringLiteral("文具"));

    // 新建子项目 under 日用, whose children were never read: the node loads and opens.
    MsgBox::ClearShown();
    clickNode(13);
    window->nodeMenu()->findChild<QAction*>(QStringLiteral("menu_add"))->trigger();
    EXPECT_EQ(field("txt_parentName"), QStringLiteral("日用"));
    EXPECT_EQ(field("txt_parentId"), QStringLiteral("13"));
    EXPECT_TRUE(field("txt_id").isEmpty());
    typeName(QStringLiteral("纸巾"));
    save();
    EXPECT_EQ(scalar("SELECT parentId FROM tb_dictionary WHERE id=23").toInt(), 13);
    EXPECT_EQ(childrenOf(node(13)), QStringList{QStringLiteral("纸巾")});
    EXPECT_TRUE(node(13)->isExpanded());

    // A second save of the same panel updates it.
    typeName(QStringLiteral("湿纸巾"));
    save();
    EXPECT_EQ(count("tb_dictionary", "parentId=13"), 1);
    EXPECT_EQ(node(23)->text(0), QStringLiteral("湿纸巾"));
}

// The right button takes the node under the pointer, as a click does, and
// pops the menu up on it: 删除 deletes that node's item and names it,
// 新建子项目 puts the new item under it.
TEST_F(DictionaryEditorTest, TheRightButtonTakesItsNodeAndTheMenuActsOnIt)
{
    exec("INSERT INTO tb_dictionary (id, utype, uname, parentId, isstart) VALUES (15, 'goodsType', '临时', "
         "0, 1)");
    window->init(0);
    clickNode(15);
    ui::rightClickNode(tree(), node(13));
    EXPECT_TRUE(window->nodeMenu()->isVisible());
    EXPECT_EQ(tree()->currentItem(), node(13));
    EXPECT_EQ(field("txt_Name"), QStringLiteral("日用"));
    window->nodeMenu()->close();
    answer(MsgAnswer::Yes);
    window->nodeMenu()->findChild<QAction*>(QStringLiteral("menu_delete"))->trigger();
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("是否删除当前项目[日用]?"), QStringLiteral("删除成功!")}));
    EXPECT_EQ(count("tb_dictionary", "id=13"), 0);
    EXPECT_EQ(count("tb_dictionary", "id=15"), 1);

    ui::rightClickNode(tree(), node(10));
    window->nodeMenu()->close();
    window->nodeMenu()->findChild<QAction*>(QStringLiteral("menu_add"))->trigger();
    EXPECT_EQ(field("txt_parentName"), QStringLiteral("食品"));
    typeName(QStringLiteral("糕点"));
    answer(MsgAnswer::Yes);
    clickToolbar("save");
    EXPECT_EQ(scalar("SELECT parentId FROM tb_dictionary WHERE uname='糕点'").toInt(), 10);
    // After the save the tree shows the saved item as the chosen node, as the panel does.
    const int saved = scalar("SELECT id FROM tb_dictionary WHERE uname='糕点'").toInt();
    EXPECT_EQ(tree()->currentItem(), node(saved));
    EXPECT_EQ(field("txt_id"), QString::number(saved));

    // Enter in the name box moves on instead of typing.
    auto* name = child<QLineEdit>(window.get(), "txt_Name");
    ui::focusOn(name);
    ui::press(Qt::Key_Return);
    EXPECT_NE(window->focusWidget(), name);
    EXPECT_EQ(name->text(), QStringLiteral("糕点"));
}

TEST_F(DictionaryEditorTest, NewChildOfTheRootTakesTheTypeCaption)
{
    window->init(5);
    clickNode(0);
    window->nodeMenu()->findChild<QAction*>(QStringLiteral("menu_add"))->trigger();
    EXPECT_EQ(field("txt_parentName"), QStringLiteral("往来单位分类"));
    EXPECT_EQ(field("txt_parentId"), QStringLiteral("0"));
    QTest::mouseClick(child<QPushButton>(window.get(), "btn_clearParent"), Qt::LeftButton);
    EXPECT_TRUE(field("txt_parentName").isEmpty());
    EXPECT_TRUE(field("txt_parentId").isEmpty());
}

TEST_F(DictionaryEditorTest, AParentIsChosenThroughThePickerAndTheNodeMoves)
{
    clickNode(10);
    clickNode(13);
    int offered = 0;
    pickParent(QStringLiteral("食品"), &offered);
    EXPECT_EQ(offered, 4); // the enabled goods types
    EXPECT_EQ(field("txt_parentName"), QStringLiteral("食品"));
    EXPECT_EQ(field("txt_parentId"), QStringLiteral("10"));
    save();
    EXPECT_EQ(scalar("SELECT parentId FROM tb_dictionary WHERE id=13").toInt(), 10);
    EXPECT_EQ(childrenOf(tree()->topLevelItem(0)),
              (QStringList{QStringLiteral("食品"), QStringLiteral("停用")}));
    EXPECT_EQ(childrenOf(node(10)), (QStringList{QStringLiteral("饮料"), QStringLiteral("日用")}));

    // Closing the picker without a pick changes nothing.
    pickParent(QString());
    EXPECT_EQ(field("txt_parentId"), QStringLiteral("10"));
}

TEST_F(DictionaryEditorTest, TheParentIsPickedWithTheKeys)
{
    clickNode(13);
    QString third;
    DialogRunner::QueueHandler([&third](QDialog* d) {
        auto* p = static_cast<frm_select*>(d);
        third = p->vgInput->TextMatrix(3, 3);
        ui::focusOn(p->utxtkeyword);
        for (int i = 0; i < 3; ++i)
            ui::press(Qt::Key_Down);
        ui::press(Qt::Key_Return);
        return p->result();
    });
    QTest::mouseClick(child<QPushButton>(window.get(), "btn_setParent"), Qt::LeftButton);
    ASSERT_FALSE(third.isEmpty());
    EXPECT_EQ(field("txt_parentName"), third);
}

TEST_F(DictionaryEditorTest, RefusesTheItemItselfOrADescendantAsParent)
{
    clickNode(10);
    for (const QString& parent : {QStringLiteral("果汁"), QStringLiteral("食品")}) {
        MsgBox::ClearShown();
        pickParent(parent);
        save();
        EXPECT_EQ(shown(), (QStringList{QStringLiteral("确认保存当前项目!"),
                                        QStringLiteral("不能设置该项目为父节点,请重新选择!")}))
            << parent.toStdString();
        EXPECT_EQ(scalar("SELECT parentId FROM tb_dictionary WHERE id=10").toInt(), 0);
    }
}

// Stored parent links that already loop (not through the item) end the walk.
TEST_F(DictionaryEditorTest, AStoredLoopEndsTheParentWalk)
{
    // The database takes a parent only once it is stored: the loop is closed last.
    exec("INSERT INTO tb_dictionary (id, utype, uname, parentId, isstart) VALUES "
         "(41, 'goodsType', '乙', 0, 1), (42, 'goodsType', '丙', 41, 1)");
    exec("UPDATE tb_dictionary SET parentId = 42 WHERE id = 41");
    clickNode(13);
    pickParent(QStringLiteral("乙"));
    save();
    EXPECT_EQ(shown().last(), QStringLiteral("不能设置该项目为父节点,请重新选择!"));
    EXPECT_EQ(scalar("SELECT parentId FROM tb_dictionary WHERE id=13").toInt(), 0);
}

TEST_F(DictionaryEditorTest, AnItemAboveId32767CanBeAParent)
{
    exec("INSERT INTO tb_dictionary (id, utype, uname, parentId, isstart) VALUES (70000, 'goodsType', "
         "'大号', 0, 1)");
    window->init(0);
    clickNode(70000);
    window->nodeMenu()->findChild<QAction*>(QStringLiteral("menu_add"))->trigger();
    typeName(QStringLiteral("小号"));
    save();
    EXPECT_EQ(scalar("SELECT parentId FROM tb_dictionary WHERE id=70001").toInt(), 70000);
    EXPECT_EQ(childrenOf(node(70000)), QStringList{QStringLiteral("小号")});
}

TEST_F(DictionaryEditorTest, NameChecks)
{
    clickToolbar("add");
    typeName(QStringLiteral("   "));
    clickToolbar("save");
    EXPECT_EQ(shown(), QStringList{QStringLiteral("名称不能为空!")});

    // The same name in the same type, in any letter case, is refused; in another type it is fine.
    MsgBox::ClearShown();
    exec("INSERT INTO tb_dictionary (id, utype, uname, parentId, isstart) VALUES (16, 'goodsType', 'Pen', 0, "
         "1)");
    typeName(QStringLiteral("PEN"));
    save();
    EXPECT_EQ(shown().last(), QStringLiteral("名称[PEN]重复,请重新输入!"));
    window->init(5);
    typeName(QStringLiteral("PEN"));
    save();
    EXPECT_EQ(shown().last(), QStringLiteral("保存成功!"));
    EXPECT_EQ(count("tb_dictionary", "uname='PEN' AND utype='customerType'"), 1);

    // A stored item keeps its own name; a system item cannot be changed.
    window->init(0);
    clickNode(10);
    save();
    EXPECT_EQ(shown().last(), QStringLiteral("保存成功!"));
    window->init(4);
    clickNode(2);
    typeName(QStringLiteral("新账套"));
    save();
    EXPECT_EQ(shown().last(), QStringLiteral("当前项目为系统默认项目,不能修改!"));
    EXPECT_EQ(scalar("SELECT uname FROM tb_dictionary WHERE id=2").toString(), QStringLiteral("默认账套"));

    // No at the question stores nothing.
    window->init(0);
    typeName(QStringLiteral("家电"));
    save(MsgAnswer::No);
    EXPECT_EQ(count("tb_dictionary", "uname='家电'"), 0);
}

struct DeleteRefusal {
    const char* name;
    int typeIndex;
    int id;
    const char* setup[2];
    const char16_t* message;
};

void PrintTo(const DeleteRefusal& c, std::ostream* os)
{
    *os << c.name;
}

class DictionaryEditorDeleteTest : public DictionaryEditorTest,
                                   public ::testing::WithParamInterface<DeleteRefusal>
{
};

TEST_P(DictionaryEditorDeleteTest, AnItemInUseIsKept)
{
    const DeleteRefusal& c = GetParam();
    for (const char* sql : c.setup) {
        if (sql)
            exec(QString::fromUtf8(sql));
    }
    window->init(c.typeIndex);
    clickNode(c.id);
    ASSERT_EQ(field("txt_id"), QString::number(c.id));
    answer(MsgAnswer::Yes);
    clickToolbar("delete");
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("是否删除当前项目[%1]?").arg(node(c.id)->text(0)),
                                    QString::fromUtf16(c.message)}));
    EXPECT_EQ(count("tb_dictionary", QStringLiteral("id=%1").arg(c.id)), 1);
    EXPECT_NE(node(c.id), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, DictionaryEditorDeleteTest,
    ::testing::Values(
        DeleteRefusal{"SystemItem", 4, 2, {}, u"当前项目为系统默认项目,不能删除!"},
        DeleteRefusal{"HasChildren", 0, 10, {}, u"当前项目存在子项目,不能删除!"},
        DeleteRefusal{"GoodsType",
                      0,
                      13,
                      {"INSERT INTO tb_goods_head (id, goodsTypeId, goodsCode) VALUES (1, 13, 'A1')"},
                      u"当前货品类别在货品信息表已经建账,不能删除!"},
        DeleteRefusal{"Department",
                      1,
                      30,
                      {"INSERT INTO tb_dictionary (id, utype, uname) VALUES (30, 'department', '仓库部')",
                       "INSERT INTO tb_user (id, [user], dictionaryId) VALUES (5, 'u5', 30)"},
                      u"当前部门在用户信息表已经建账,不能删除!"},
        DeleteRefusal{"InboundType",
                      2,
                      31,
                      {"INSERT INTO tb_dictionary (id, utype, uname) VALUES (31, 'importType', '退货入库')",
                       "INSERT INTO tb_rk_head (id, BillNo, utypeId) VALUES (1, 'rk-2401-00001', 31)"},
                      u"当前入库类别在入库表已经建账,不能删除!"},
        DeleteRefusal{"OutboundType",
                      3,
                      32,
                      {"INSERT INTO tb_dictionary (id, utype, uname) VALUES (32, 'exportType', '退货出库')",
                       "INSERT INTO tb_ck_head (id, BillNo, utypeId) VALUES (1, 'ck-2401-00001', 32)"},
                      u"当前出库类别在出库表已经建账,不能删除!"},
        DeleteRefusal{"AccountTagOnInbound",
                      4,
                      33,
                      {"INSERT INTO tb_dictionary (id, utype, uname) VALUES (33, 'accountType', '二号账套')",
                       "INSERT INTO tb_rk_head (id, BillNo, accountId) VALUES (1, 'rk-2401-00001', 33)"},
                      u"当前账目标识在入库表已经建账,不能删除!"},
        DeleteRefusal{"AccountTagOnOutbound",
                      4,
                      33,
                      {"INSERT INTO tb_dictionary (id, utype, uname) VALUES (33, 'accountType', '二号账套')",
                       "INSERT INTO tb_ck_head (id, BillNo, accountId) VALUES (1, 'ck-2401-00001', 33)"},
                      u"当前账目标识在出库表已经建账,不能删除!"},
        DeleteRefusal{
            "PartnerCategory",
            5,
            20,
            {"INSERT INTO tb_customer (id, customerCode, customType) VALUES (1, 'ct-2401-00001', 20)"},
            u"当前往来单位分类在往来单位表已经建账,不能删除!"}),
    [](const ::testing::TestParamInfo<DeleteRefusal>& info) { return std::string(info.param.name); });

TEST_F(DictionaryEditorTest, DeletesAFreeItemAndItsRights)
{
    exec("INSERT INTO tb_dictionary (id, utype, uname) VALUES (33, 'accountType', '二号账套')");
    exec("INSERT INTO tb_account_fun (accountId, departmentId) VALUES (33, 1), (33, 7)");
    window->init(4);
    clickNode(33);
    answer(MsgAnswer::Yes);
    window->nodeMenu()->findChild<QAction*>(QStringLiteral("menu_delete"))->trigger();
    EXPECT_EQ(shown(),
              (QStringList{QStringLiteral("是否删除当前项目[二号账套]?"), QStringLiteral("删除成功!")}));
    EXPECT_EQ(count("tb_dictionary", "id=33"), 0);
    EXPECT_EQ(count("tb_account_fun", "accountId=33"), 0);
    EXPECT_EQ(count("tb_account_fun", "accountId=2"), 1);
    EXPECT_EQ(node(33), nullptr);
    EXPECT_TRUE(field("txt_id").isEmpty());
    EXPECT_EQ(field("txt_selectType"), QStringLiteral("accountType"));

    MsgBox::ClearShown();
    clickToolbar("delete");
    EXPECT_EQ(shown(), QStringList{QStringLiteral("当前记录不存在!")});
}

TEST_F(DictionaryEditorTest, WithoutTheRightsNothingIsStored)
{
    exec("DELETE FROM tb_user_group_fun WHERE funCode IN "
         "('dictionary_save','dictionary_update','dictionary_delete')");
    init_SysVar();
    clickNode(13);
    clickToolbar("save");
    clickToolbar("delete");
    clickToolbar("add");
    typeName(QStringLiteral("家电"));
    clickToolbar("save");
    EXPECT_EQ(shown(), QStringList(3, QStringLiteral("功能受限,请与系统管理联系!")));
    EXPECT_EQ(count("tb_dictionary", "uname='家电'"), 0);
}

} // namespace
