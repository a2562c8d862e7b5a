#include "TestEnv.h"

#include "DialogRunner.h"
#include "FlexGrid.h"
#include "TreeDriver.h"
#include "UiDriver.h"
#include "frmLocation.h"
#include "frm_select.h"

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

namespace
{

// Locations: A (1) > A-01 (2) > A-01-1 (5); A > A-02 (3); B (4) top level, no children.
class LocationWindowTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(
            "insert into tb_location (id,locationCode,uname,capacity,parentId,isLock,isVirtual,state,remark) "
            "values (1,'A','一区',100,0,0,0,1,NULL),(2,'A-01','一区一号',10,1,0,0,1,'近门'),"
            "(3,'A-02','一区二号',9,1,1,1,0,NULL),(4,'B','二区',0,0,0,0,1,NULL),"
            "(5,'A-01-1','一号一格',0,2,0,0,1,NULL)");
        // Department 1 may use every location, so the parent picker offers them all.
        exec("insert into tb_location_fun (locationId, departmentId) values (1,1),(2,1),(3,1),(4,1),(5,1)");
        loginAs(1);
        openWindow();
    }
    void TearDown() override
    {
        window.reset();
        DbTest::TearDown();
    }

    void openWindow()
    {
        window = std::make_unique<frmLocation>();
        ui::activate(window.get());
    }
    QTreeWidget* tree() { return window->tree(); }
    QTreeWidgetItem* node(int id) { return frmLocation::findNode(tree(), QStringLiteral("key_%1").arg(id)); }
    QStringList childrenOf(QTreeWidgetItem* n) { return ui::childTexts(n); }
    void clickNode(int id)
    {
        SCOPED_TRACE(id);
        ui::clickNode(tree(), node(id));
    }
    // The listed names (item texts), in the list's order.
    QStringList listed()
    {
        QStringList out;
        for (int r = 0; r < window->listModel()->rowCount(); ++r)
            out << window->listModel()->item(r, 0)->text();
        return out;
    }
    QString field(const char* name) { return ui::child<QLineEdit>(window.get(), name)->text(); }
    void save(MsgAnswer a = MsgAnswer::Yes)
    {
        answer(a);
        ui::clickToolbar(window.get(), "save_location");
    }
    void deleteShown(MsgAnswer a = MsgAnswer::Yes)
    {
        answer(a);
        ui::clickToolbar(window.get(), "delete_location");
    }
    // Answers the next parent picker with the location of that code.
    void pickParent(const QString& code)
    {
        DialogRunner::QueueHandler([code](QDialog* d) {
            auto* p = static_cast<frm_select*>(d);
            const int row = p->vgInput->FindRow(code, -1, 3);
            EXPECT_GE(row, 1) << code.toStdString();
            p->vgInput->setRow(row);
            QTest::mouseClick(p->B_SelectInput, Qt::LeftButton);
            return p->result();
        });
        ui::click(window.get(), "btn_setParent");
    }
    int parentOf(int id)
    {
        return scalar(QStringLiteral("select parentId from tb_location where id=%1").arg(id)).toInt();
    }

    std::unique_ptr<frmLocation> window;
};

TEST_F(LocationWindowTest, OpensOnTheRootWithTheTopLevelListed)
{
    QTreeWidgetItem* root = tree()->topLevelItem(0);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->text(0), "库位信息");
    EXPECT_EQ(frmLocation::nodeKey(root), "key_0");
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(tree()->currentItem(), root);
    // Nodes show codes; a location with children shows "close" until it is opened.
    EXPECT_EQ(childrenOf(root), (QStringList{"A", "B"}));
    EXPECT_EQ(frmLocation::nodeImage(node(1)), "close");
    EXPECT_EQ(frmLocation::nodeImage(node(4)), "open");
    EXPECT_EQ(listed(), (QStringList{"一区", "二区"}));
    EXPECT_EQ(ui::child<QLabel>(window.get(), "lb_rowCount")->text(), "找到[2]条信息");
    EXPECT_EQ(field("txt_capacity"), "0");
    EXPECT_TRUE(ui::child<QCheckBox>(window.get(), "chk_start")->isChecked());
}

TEST_F(LocationWindowTest, ANodeLoadsItsChildrenOnceAndShowsItself)
{
    clickNode(1);
    EXPECT_EQ(childrenOf(node(1)), (QStringList{"A-01", "A-02"}));
    EXPECT_EQ(frmLocation::nodeImage(node(1)), "open");
    EXPECT_EQ(listed(), (QStringList{"一区一号", "一区二号"}));
    EXPECT_EQ(field("txt_id"), "1");
    EXPECT_EQ(field("txt_Name"), "一区");
    EXPECT_EQ(field("txt_capacity"), "100");
    EXPECT_EQ(field("txt_parentId"), "0");

    // A loaded node is not read again for the tree; the list still follows the database.
    exec("insert into tb_location (id,locationCode,uname,parentId) values (9,'A-03','一区三号',1)");
    clickNode(2);
    clickNode(1);
    EXPECT_EQ(childrenOf(node(1)), (QStringList{"A-01", "A-02"}));
    EXPECT_EQ(listed().size(), 3);

    // Collapsing and expanding swap the pictures; the root keeps its own.
    node(1)->setExpanded(false);
    EXPECT_EQ(frmLocation::nodeImage(node(1)), "close");
    node(1)->setExpanded(true);
    EXPECT_EQ(frmLocation::nodeImage(node(1)), "open");
    tree()->topLevelItem(0)->setExpanded(false);
    EXPECT_EQ(frmLocation::nodeImage(tree()->topLevelItem(0)), "location");

    // The panel of a stored child: its parent's code, its flags and remark.
    clickNode(3);
    EXPECT_EQ(field("txt_parentLocationCode"), "A");
    EXPECT_FALSE(ui::child<QCheckBox>(window.get(), "chk_start")->isChecked());
    EXPECT_TRUE(ui::child<QCheckBox>(window.get(), "chk_lock")->isChecked());
    EXPECT_TRUE(ui::child<QCheckBox>(window.get(), "chk_virtual")->isChecked());
    // The root clears the panel.
    clickNode(0);
    EXPECT_EQ(field("txt_id"), "");
    EXPECT_EQ(field("txt_capacity"), "0");
}

TEST_F(LocationWindowTest, KeywordSearchesTheNodesChildrenAcrossCodeAndName)
{
    exec("insert into tb_location (id,locationCode,uname,parentId) values (6,'X-A','1号仓',0),"
         "(7,'O''K','50%库',0)");
    struct Case {
        int node;
        const char16_t* keyword;
        QStringList names;
    } cases[] = {
        {1, u"02", {"一区二号"}}, {1, u"", {"一区一号", "一区二号"}},
        {0, u"A1", {"1号仓"}},  // the end of the code and the start of the name
        {0, u"A-01", {}},       // deeper locations are not top level
        {0, u"O'K", {"50%库"}}, // an apostrophe is just text
        {0, u"一区", {"一区"}},
    };
    for (const Case& c : cases) {
        const QString keyword = QString::fromUtf16(c.keyword);
        SCOPED_TRACE(keyword.toStdString());
        clickNode(c.node);
        ui::typeInto(window.get(), "txt_KeyWord", keyword);
        ui::press(Qt::Key_Return);
        EXPECT_EQ(listed(), c.names);
        EXPECT_EQ(ui::child<QLabel>(window.get(), "lb_rowCount")->text(),
                  QStringLiteral("找到[%1]条信息").arg(c.names.size()));
    }
}

TEST_F(LocationWindowTest, ViewMenuSwitchesTheListAndMarksTheEntry)
{
    const auto texts = [&] {
        QStringList out;
        for (QAction* a : window->viewMenu()->actions())
            out << a->text();
        return out;
    };
    EXPECT_EQ(texts(), (QStringList{"   详细信息", "   缩略图", "● 列表", "   图标"}));
    EXPECT_EQ(window->currentListView()->objectName(), "lstView_icons");
    EXPECT_EQ(ui::child<QListView>(window.get(), "lstView_icons")->viewMode(), QListView::ListMode);

    ui::child<QAction>(window.get(), "detail_view")->trigger();
    EXPECT_EQ(texts(), (QStringList{"● 详细信息", "   缩略图", "   列表", "   图标"}));
    EXPECT_EQ(window->currentListView()->objectName(), "lstView_report");

    ui::child<QAction>(window.get(), "ico_view")->trigger();
    EXPECT_EQ(texts(), (QStringList{"   详细信息", "● 缩略图", "   列表", "   图标"}));
    EXPECT_EQ(ui::child<QListView>(window.get(), "lstView_icons")->viewMode(), QListView::IconMode);
}

TEST_F(LocationWindowTest, EveryHeaderClickTurnsTheOrderRound)
{
    exec("update tb_location set capacity=10 where id=4");
    ui::child<QAction>(window.get(), "detail_view")->trigger();
    auto* report = ui::child<QTreeView>(window.get(), "lstView_report");
    // The first click sorts descending, the next ascending, whatever column it names.
    report->header()->sectionClicked(0);
    EXPECT_EQ(listed(), (QStringList{"二区", "一区"}));
    report->header()->sectionClicked(2); // 库容量 compared as text: "10" before "100"
    EXPECT_EQ(listed(), (QStringList{"二区", "一区"}));
    report->header()->sectionClicked(2);
    EXPECT_EQ(listed(), (QStringList{"一区", "二区"}));
    // Sorting stays on for later fills.
    clickNode(0);
    EXPECT_EQ(listed(), (QStringList{"一区", "二区"}));
}

TEST_F(LocationWindowTest, KeysMoveThroughThePanel)
{
    ui::focusOn(ui::child<QWidget>(window.get(), "txt_Name"));
    ui::press(Qt::Key_Return);
    EXPECT_EQ(ui::focused()->objectName(), "txt_locationCode");
    ui::press(Qt::Key_Down);
    EXPECT_EQ(ui::focused()->objectName(), "txt_capacity");
    ui::press(Qt::Key_Up);
    EXPECT_EQ(ui::focused()->objectName(), "txt_locationCode");
    // The remark takes no Enter.
    ui::focusOn(ui::child<QWidget>(window.get(), "txt_remark"));
    ui::type("a");
    ui::press(Qt::Key_Return);
    EXPECT_EQ(ui::child<QPlainTextEdit>(window.get(), "txt_remark")->toPlainText(), "a");
    EXPECT_EQ(ui::focused()->objectName(), "chk_start");
}

TEST_F(LocationWindowTest, NewLocationSavesUnderTheNextIdAndJoinsTheTree)
{
    clickNode(4);
    ui::clickToolbar(window.get(), "add_location");
    EXPECT_EQ(ui::focused()->objectName(), "txt_Name");
    ui::typeInto(window.get(), "txt_Name", "三区");
    ui::typeInto(window.get(), "txt_locationCode", "C");
    ui::typeInto(window.get(), "txt_capacity", "12.5kg");
    save();
    EXPECT_EQ(shown().last(), "保存成功!");
    EXPECT_EQ(field("txt_id"), "6");
    EXPECT_EQ(scalar("select capacity from tb_location where id=6").toDouble(), 12.5);
    EXPECT_EQ(parentOf(6), 0);
    EXPECT_EQ(childrenOf(tree()->topLevelItem(0)), (QStringList{"A", "B", "C"}));
    // The list is not refilled by a save.
    EXPECT_EQ(listed(), QStringList());

    // A second save updates the location it now shows.
    ui::typeInto(window.get(), "txt_locationCode", "C1");
    save();
    EXPECT_EQ(count("tb_location"), 6);
    EXPECT_EQ(scalar("select locationCode from tb_location where id=6").toString(), "C1");
    EXPECT_EQ(node(6)->text(0), "C1");

    // 新建 from the pop-up menu presets the selected node as the parent, and
    // its first click loaded its children, so the new child is shown once.
    clickNode(1);
    ui::child<QAction>(window.get(), "menu_add")->trigger();
    EXPECT_EQ(field("txt_parentLocationCode"), "A");
    ui::typeInto(window.get(), "txt_Name", "一区三号");
    ui::typeInto(window.get(), "txt_locationCode", "A-03");
    save();
    EXPECT_EQ(parentOf(7), 1);
    EXPECT_EQ(childrenOf(node(1)), (QStringList{"A-01", "A-02", "A-03"}));
}

TEST_F(LocationWindowTest, SaveRefusals)
{
    clickNode(1);
    clickNode(2);
    struct Case {
        const char* name;
        const char* code;
        const char16_t* message;
        bool asked;
    } cases[] = {
        {"  ", "Z", u"库位名称不能为空!", false},
        {"某处", " ", u"库位编码不能为空!", false},
        {"某处", "a-02", u"库位编号[a-02]重复!", true}, // another location's code in other letter case
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        ui::typeInto(window.get(), "txt_Name", QString::fromUtf8(c.name));
        ui::typeInto(window.get(), "txt_locationCode", QString::fromUtf8(c.code));
        if (c.asked)
            save();
        else
            ui::clickToolbar(window.get(), "save_location");
        EXPECT_EQ(shown().last(), QString::fromUtf16(c.message));
    }
    EXPECT_EQ(scalar("select uname from tb_location where id=2").toString(), "一区一号");

    // Its own code is no duplicate; No to the question writes nothing.
    ui::typeInto(window.get(), "txt_locationCode", "A-01");
    save(MsgAnswer::No);
    EXPECT_EQ(scalar("select uname from tb_location where id=2").toString(), "一区一号");
    save();
    EXPECT_EQ(shown().last(), "保存成功!");
    EXPECT_EQ(scalar("select uname from tb_location where id=2").toString(), "某处");
}

// The capacity is stored as typed and reads back the same, or the save
// refuses it in the window's words with the cursor in the box.
TEST_F(LocationWindowTest, ACapacityIsKeptAsTypedOrRefused)
{
    clickNode(1);
    clickNode(2);
    const struct {
        QString typed;
        const char* refusal;
    } refused[] = {
        {QStringLiteral("12345678901234567890"), "库容量位数过多,最多15位有效数字!"},
        {QStringLiteral("1234567890123456"), "库容量位数过多,最多15位有效数字!"},
        {QStringLiteral("1e1001"), "库容量位数过多,最多15位有效数字!"},
        {QStringLiteral("0.1234567"), "库容量小数位数过多,最多6位小数!"},
        {QStringLiteral("0.00000000000000001"), "库容量小数位数过多,最多6位小数!"},
        {QStringLiteral("1e309"), "库容量位数过多,最多15位有效数字!"},
        {QStringLiteral("NaN"), "库容量必须是数字!"},
        {QStringLiteral("inf"), "库容量必须是数字!"},
        {QStringLiteral("1,5"), "库容量必须是数字!"},
        {QStringLiteral("1.2.3"), "库容量必须是数字!"},
        {QStringLiteral("1-2"), "库容量必须是数字!"},
        {QStringLiteral("0x10"), "库容量必须是数字!"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.typed.toStdString());
        ui::typeInto(window.get(), "txt_capacity", c.typed);
        ui::clickToolbar(window.get(), "save_location");
        EXPECT_EQ(shown().last().toStdString(), c.refusal);
        EXPECT_EQ(ui::focused()->objectName(), "txt_capacity");
        EXPECT_EQ(scalar("select capacity from tb_location where id=2").toDouble(), 10);
    }
    for (const char* kept : {"123456789012345", "0.123456", "99999999.999999"}) {
        SCOPED_TRACE(kept);
        ui::typeInto(window.get(), "txt_capacity", QString::fromUtf8(kept));
        save();
        EXPECT_EQ(shown().last(), "保存成功!");
        clickNode(1);
        clickNode(2);
        EXPECT_EQ(field("txt_capacity").toStdString(), kept);
    }
    // Full-width digits are the digits they are; blanks around a number go.
    for (const auto& [typed, stored] : {std::pair{"１２．５", "12.5"}, std::pair{" 7 ", "7"}}) {
        SCOPED_TRACE(typed);
        ui::typeInto(window.get(), "txt_capacity", QString::fromUtf8(typed));
        save();
        EXPECT_EQ(shown().last(), "保存成功!");
        EXPECT_EQ(scalar("select capacity from tb_location where id=2").toString().toStdString(), stored);
    }
}

TEST_F(LocationWindowTest, MovingUnderASiblingWorksUnderADescendantIsRefused)
{
    clickNode(1);
    clickNode(2);
    clickNode(3);
    pickParent("A-01");
    EXPECT_EQ(field("txt_parentId"), "2");
    save();
    EXPECT_EQ(shown().last(), "保存成功!");
    EXPECT_EQ(parentOf(3), 2);
    // The node moved under A-01, whose children were loaded, so it is shown there.
    EXPECT_EQ(childrenOf(node(1)), (QStringList{"A-01"}));
    EXPECT_EQ(childrenOf(node(2)), (QStringList{"A-01-1", "A-02"}));

    const char* parents[] = {"A", "A-01", "A-01-1"}; // itself, its child, its grandchild
    for (const char* p : parents) {
        SCOPED_TRACE(p);
        clickNode(1);
        pickParent(QString::fromLatin1(p));
        save();
        EXPECT_EQ(shown().last(), "不能设置该项目为父节点,请重新选择!");
        EXPECT_EQ(parentOf(1), 0);
    }

    // 清空 puts the location back at the top level.
    clickNode(3);
    ui::click(window.get(), "btn_clearParent");
    save();
    EXPECT_EQ(parentOf(3), 0);
    EXPECT_EQ(childrenOf(tree()->topLevelItem(0)), (QStringList{"A", "B", "A-02"}));
}

TEST_F(LocationWindowTest, AStoredLoopEndsTheParentWalk)
{
    // Another writer left 8 and 9 pointing at each other (the database takes a
    // parent only once it is stored: the loop is closed last).
    exec("insert into tb_location (id,locationCode,uname,parentId) values "
         "(8,'L1','环一',0),(9,'L2','环二',8)");
    exec("update tb_location set parentId=9 where id=8");
    exec("insert into tb_location_fun (locationId, departmentId) values (8,1),(9,1)");
    loginAs(1);
    clickNode(4);
    pickParent("L1");
    save();
    EXPECT_EQ(shown().last(), "不能设置该项目为父节点,请重新选择!");
    EXPECT_EQ(parentOf(4), 0);
}

TEST_F(LocationWindowTest, SavingALocationDeletedElsewhereWritesNothing)
{
    clickNode(4);
    exec("delete from tb_location where id=4");
    ui::typeInto(window.get(), "txt_Name", "新名");
    save();
    EXPECT_EQ(shown().last(), "当前记录不存在!");
    EXPECT_EQ(MsgBox::Shown().last().title, "库位信息");
    EXPECT_EQ(count("tb_location"), 4);
}

TEST_F(LocationWindowTest, DeletingALocationDeletedElsewhereIsNoSuccess)
{
    clickNode(4);
    exec("delete from tb_location where id=4");
    deleteShown();
    EXPECT_EQ(shown().last(), "当前记录不存在!");
    EXPECT_FALSE(shown().contains("删除成功!"));
    EXPECT_EQ(field("txt_id"), "4");
    EXPECT_NE(node(4), nullptr);
}

TEST_F(LocationWindowTest, DeleteChecksAndRemovesTheNode)
{
    exec("insert into tb_rk_head (id) values (1)");
    exec("insert into tb_ck_head (id) values (1)");
    exec("insert into tb_rk_detail (id, headId, locationId) values (1, 1, 4)");
    exec("insert into tb_location (id,locationCode,uname,parentId) values (6,'E','出库区',0)");
    exec("insert into tb_ck_detail (id, headId, locationId) values (1, 1, 6)");
    ui::child<QAction>(window.get(), "menu_refresh")->trigger();
    const struct {
        int id;
        const char16_t* message;
    } refusals[] = {
        {1, u"当前库位存在子项目,不能删除!"},
        {4, u"当前库位在入库表已经建账,不能删除!"},
        {6, u"当前库位在出库表已经建账,不能删除!"},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.id);
        clickNode(r.id);
        deleteShown();
        EXPECT_EQ(shown().last(), QString::fromUtf16(r.message));
        EXPECT_EQ(count("tb_location", QStringLiteral("id=%1").arg(r.id)), 1);
        EXPECT_NE(node(r.id), nullptr);
    }

    // A No keeps it; Yes deletes the location in the panel, not the node under the mouse.
    clickNode(1);
    auto* view = static_cast<QAbstractItemView*>(window->currentListView());
    ASSERT_TRUE(ui::clickRow(view, "一区二号"));
    EXPECT_EQ(field("txt_id"), "3");
    deleteShown(MsgAnswer::No);
    EXPECT_EQ(shown().last(), "是否删除当前库位[A-02]?");
    EXPECT_EQ(count("tb_location", "id=3"), 1);
    deleteShown();
    EXPECT_EQ(shown().last(), "删除成功!");
    EXPECT_EQ(count("tb_location", "id=3"), 0);
    EXPECT_EQ(node(3), nullptr);
    EXPECT_EQ(field("txt_id"), "");
    EXPECT_EQ(field("txt_capacity"), "0");
    EXPECT_TRUE(ui::child<QCheckBox>(window.get(), "chk_start")->isChecked());
    // The list keeps the deleted location until the next search.
    EXPECT_TRUE(listed().contains("一区二号"));

    // An empty panel has nothing to delete.
    clickNode(0);
    ui::clickToolbar(window.get(), "delete_location");
    EXPECT_EQ(shown().last(), "当前记录不存在!");
}

// A right press on a node that is not the current one takes it first, as a
// click does: the menu's 删除 names that node's location and deletes it, not
// the one chosen before.
TEST_F(LocationWindowTest, ARightClickDeletesTheLocationUnderThePointer)
{
    clickNode(1);
    ui::rightClickNode(tree(), node(4));
    EXPECT_EQ(tree()->currentItem(), node(4));
    EXPECT_EQ(field("txt_id"), "4");
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    answer(MsgAnswer::Yes);
    ui::child<QAction>(window.get(), "menu_delete")->trigger();
    EXPECT_EQ(shown(), (QStringList{"是否删除当前库位[B]?", "删除成功!"}));
    EXPECT_EQ(count("tb_location", "id=4"), 0);
    EXPECT_EQ(count("tb_location", "id=1"), 1);
}

TEST_F(LocationWindowTest, NewChildNeedsASelectedNodeAndPrintOnlyNotifies)
{
    tree()->setCurrentItem(nullptr);
    ui::child<QAction>(window.get(), "menu_add")->trigger();
    EXPECT_EQ(shown().last(), "请选择父节点!");
    ui::clickToolbar(window.get(), "print_location");
    EXPECT_EQ(shown().last(), "请连接条码打印机!");
    EXPECT_EQ(MsgBox::Shown().last().icon, MsgIcon::Information);

    // 新建 on the root presets the top level.
    clickNode(0);
    ui::child<QAction>(window.get(), "menu_add")->trigger();
    EXPECT_EQ(field("txt_parentLocationCode"), "库位信息");
    EXPECT_EQ(field("txt_parentId"), "0");
}

} // namespace
