#include "GetvalueFunction.h"
#include "TestEnv.h"
#include "TreeDriver.h"
#include "UiDriver.h"
#include "frm_department_fun.h"
#include "mod_public.h"
#include "sqlHelper.h"
#include "uTreeView.h"

#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

using namespace ui;

namespace
{

// Departments 7 仓库部 > 8 一组; user 2 in 仓库部, which may run the rights editor.
// Locations 50 A区 > 51 A1, 52 B区 (locked) > 53 B1, 54 C区 (disabled); account tags 2, 60 (disabled).
class RightsEditorTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec("INSERT INTO tb_dictionary (id, utype, uname, parentId, isstart) VALUES "
             "(7, 'department', '仓库部', 0, 1), (8, 'department', '一组', 7, 1), (60, 'accountType', "
             "'旧账套', 0, 0)");
        exec("INSERT INTO tb_user (id, [user], pw, usex, isStart, dictionaryId) VALUES (2, 'lisi', 'x', "
             "'女', 1, 7)");
        exec("INSERT INTO tb_user_group_fun (funCode, departmentId) VALUES ('limited', 7)");
        exec("INSERT INTO tb_location (id, locationCode, uname, parentId, orderby, isLock, state) VALUES "
             "(50, 'A', 'A区', 0, 1, 0, 1), (51, 'A1', 'A1', 50, 1, 0, 1), (52, 'B', 'B区', 0, 2, 1, 1),"
             "(53, 'B1', 'B1', 52, 1, 0, 1), (54, 'C', 'C区', 0, 3, 0, 0)");
        exec("INSERT INTO tb_account_fun (accountId, departmentId) VALUES (2, 7)");
        loginAs(2);
        window = std::make_unique<frm_department_fun>();
        window->show();
    }
    void TearDown() override
    {
        window.reset();
        DbTest::TearDown();
    }

    QTreeWidgetItem* department(int id)
    {
        for (QTreeWidgetItemIterator it(window->departmentTree()); *it; ++it) {
            if (frm_department_fun::nodeKey(*it) == QStringLiteral("key_%1").arg(id))
                return *it;
        }
        return nullptr;
    }
    void clickDepartment(int id)
    {
        SCOPED_TRACE(id);
        ui::clickNode(window->departmentTree(), department(id));
    }
    QTreeWidgetItem* right(const QString& tag)
    {
        for (QTreeWidgetItemIterator it(window->rightsTree()); *it; ++it) {
            if (uTreeView::NodeTag(*it).toString() == tag)
                return *it;
        }
        return nullptr;
    }
    // Toggles a node's check box with the space bar, as a user does.
    void toggle(const QString& tag)
    {
        QTreeWidget* tv = window->rightsTree();
        QTreeWidgetItem* n = right(tag);
        ASSERT_NE(n, nullptr) << tag.toStdString();
        tv->setCurrentItem(n);
        ui::focusOn(tv);
        ui::press(Qt::Key_Space);
    }
    QStringList checkedTags()
    {
        QStringList out;
        for (QTreeWidgetItemIterator it(window->rightsTree()); *it; ++it) {
            if ((*it)->checkState(0) == Qt::Checked)
                out << uTreeView::NodeTag(*it).toString();
        }
        return out;
    }
    QStringList shownTags()
    {
        QStringList out;
        for (QTreeWidgetItemIterator it(window->rightsTree()); *it; ++it)
            out << uTreeView::NodeTag(*it).toString();
        return out;
    }
    QStringList stored(const QString& sql)
    {
        QStringList out;
        const RecordSetPtr rs = ExecuteSql(sql);
        for (int r = 0; rs && r < rs->RecordCount(); ++r)
            out << rs->value(r, 0).toString();
        return out;
    }
    QStringList subtreeOf(const QString& code)
    {
        return stored("WITH RECURSIVE t(id) AS (SELECT id FROM tb_sys_fun WHERE funCode='" + code +
                      "' UNION ALL SELECT f.id FROM tb_sys_fun f JOIN t ON f.parentid=t.id) "
                      "SELECT funCode FROM tb_sys_fun WHERE id IN (SELECT id FROM t) ORDER BY funCode");
    }
    void save(MsgAnswer a = MsgAnswer::Yes)
    {
        answer(a);
        clickToolbar(window.get(), "save");
    }

    std::unique_ptr<frm_department_fun> window;
};

TEST_F(RightsEditorTest, OpensOnTheRootWithTheFunctionTree)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("权限设置"));
    QTreeWidgetItem* root = window->departmentTree()->topLevelItem(0);
    EXPECT_EQ(root->text(0), QStringLiteral("部门信息"));
    EXPECT_EQ(frm_department_fun::nodeImage(root), QStringLiteral("location"));
    EXPECT_EQ(window->departmentTree()->currentItem(), root);
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_EQ(root->child(0)->text(0), QStringLiteral("系统管理"));
    EXPECT_EQ(root->child(1)->text(0), QStringLiteral("仓库部"));
    EXPECT_EQ(frm_department_fun::nodeImage(root->child(1)), QStringLiteral("close"));
    EXPECT_TRUE(window->typeButton(0)->font().bold());
    EXPECT_EQ(window->typeButton(1)->font().pointSize(), 9);

    // Every visible function, nothing granted to department 0, fully expanded.
    EXPECT_EQ(shownTags().size(), count("tb_sys_fun", "type<>-1"));
    EXPECT_TRUE(checkedTags().isEmpty());
    for (QTreeWidgetItemIterator it(window->rightsTree()); *it; ++it) {
        if ((*it)->childCount() > 0) {
            EXPECT_TRUE((*it)->isExpanded());
        }
    }
}

TEST_F(RightsEditorTest, ADepartmentClickShowsItsRightsAndItsChildren)
{
    clickDepartment(7);
    EXPECT_EQ(department(7)->childCount(), 1);
    EXPECT_EQ(frm_department_fun::nodeImage(department(7)), QStringLiteral("open"));
    EXPECT_EQ(checkedTags(), QStringList{QStringLiteral("limited")});

    QTest::mouseClick(window->typeButton(2), Qt::LeftButton);
    EXPECT_EQ(shownTags(), (QStringList{QStringLiteral("2"), QStringLiteral("60")})); // enabled or not
    EXPECT_EQ(checkedTags(), QStringList{QStringLiteral("2")});
    EXPECT_TRUE(window->typeButton(2)->font().bold());

    // Another department keeps the chosen kind.
    clickDepartment(8);
    EXPECT_TRUE(checkedTags().isEmpty());
    EXPECT_EQ(shownTags().size(), 2);
}

TEST_F(RightsEditorTest, CheckingANodeChecksItsSubtreeAndUncheckingLeavesIt)
{
    clickDepartment(7);
    toggle(QStringLiteral("import"));
    EXPECT_EQ(right(QStringLiteral("import"))->checkState(0), Qt::Checked);
    for (int i = 0; i < right(QStringLiteral("import"))->childCount(); ++i)
        EXPECT_EQ(right(QStringLiteral("import"))->child(i)->checkState(0), Qt::Checked);
    toggle(QStringLiteral("import"));
    EXPECT_EQ(right(QStringLiteral("import"))->checkState(0), Qt::Unchecked);
    EXPECT_EQ(right(QStringLiteral("import_save"))->checkState(0), Qt::Checked);

    // Collapsing and opening a node is no check.
    toggle(QStringLiteral("import_save"));
    right(QStringLiteral("import"))->setExpanded(false);
    right(QStringLiteral("import"))->setExpanded(true);
    EXPECT_EQ(right(QStringLiteral("import_save"))->checkState(0), Qt::Unchecked);
}

TEST_F(RightsEditorTest, SavesExactlyTheCheckedRowsAndTheRefreshHandsThemOn)
{
    const int otherDepartment = count("tb_user_group_fun", "departmentId=1");
    clickDepartment(7);
    toggle(QStringLiteral("import"));
    save();
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("是否保存权限?"), QStringLiteral("权限保存成功!")}));
    QStringList expected = subtreeOf(QStringLiteral("import"));
    expected << QStringLiteral("limited");
    expected.sort();
    EXPECT_EQ(stored("SELECT funCode FROM tb_user_group_fun WHERE departmentId=7 ORDER BY funCode"),
              expected);
    EXPECT_EQ(count("tb_user_group_fun", "departmentId=1"), otherDepartment);
    EXPECT_EQ(count("tb_account_fun", "departmentId=7"), 1);

    // The logged-in user of that department gets them at the refresh.
    EXPECT_FALSE(check_FunRight(QStringLiteral("import_save"), false));
    MsgBox::ClearShown();
    answer(MsgAnswer::Yes);
    clickToolbar(window.get(), "funRefresh");
    EXPECT_EQ(shown(), QStringList{QStringLiteral("刷新权限会关闭全部的窗口,是否继续?")});
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(check_FunRight(QStringLiteral("import_save"), false));
    EXPECT_TRUE(check_FunRight(QStringLiteral("limited"), false));
    EXPECT_FALSE(check_FunRight(QStringLiteral("export"), false));
}

TEST_F(RightsEditorTest, NoAtTheRefreshKeepsEverything)
{
    answer(MsgAnswer::No);
    clickToolbar(window.get(), "funRefresh");
    EXPECT_TRUE(window->isVisible());
}

TEST_F(RightsEditorTest, LocationsOfferOnlyOpenOnesAndSaveTheirIds)
{
    exec("INSERT INTO tb_location_fun (locationId, departmentId) VALUES (53, 7), (53, 7), (51, 1)");
    clickDepartment(7);
    QTest::mouseClick(window->typeButton(1), Qt::LeftButton);
    EXPECT_EQ(shownTags(), (QStringList{QStringLiteral("50"), QStringLiteral("51")}));
    toggle(QStringLiteral("50"));
    save();
    EXPECT_EQ(stored("SELECT locationId FROM tb_location_fun WHERE departmentId=7 ORDER BY locationId"),
              (QStringList{QStringLiteral("50"), QStringLiteral("51")}));
    EXPECT_EQ(count("tb_location_fun", "departmentId=1"), 1);
}

TEST_F(RightsEditorTest, SavingNothingCheckedClearsTheKindForTheDepartment)
{
    clickDepartment(7);
    QTest::mouseClick(window->typeButton(2), Qt::LeftButton);
    toggle(QStringLiteral("2"));
    save();
    EXPECT_EQ(count("tb_account_fun", "departmentId=7"), 0);
    EXPECT_EQ(count("tb_account_fun", "departmentId=1"), 1);
}

TEST_F(RightsEditorTest, TheRootSavesForDepartmentZero)
{
    QTest::mouseClick(window->typeButton(2), Qt::LeftButton);
    toggle(QStringLiteral("60"));
    save();
    EXPECT_EQ(stored("SELECT accountId FROM tb_account_fun WHERE departmentId=0"),
              QStringList{QStringLiteral("60")});
}

TEST_F(RightsEditorTest, SelectAllAndNone)
{
    clickDepartment(7);
    window->rightsTree()->setCurrentItem(right(QStringLiteral("ckmg")));
    window->nodeMenu()->findChild<QAction*>(QStringLiteral("menu_all_select"))->trigger();
    QStringList expected = subtreeOf(QStringLiteral("ckmg"));
    expected << QStringLiteral("limited");
    expected.sort();
    QStringList checked = checkedTags();
    checked.sort();
    EXPECT_EQ(checked, expected);
    window->nodeMenu()->findChild<QAction*>(QStringLiteral("menu_none_select"))->trigger();
    EXPECT_EQ(checkedTags(), QStringList{QStringLiteral("limited")});

    // A kind that offers nothing has no node to act on.
    exec("DELETE FROM tb_location");
    QTest::mouseClick(window->typeButton(1), Qt::LeftButton);
    window->nodeMenu()->findChild<QAction*>(QStringLiteral("menu_all_select"))->trigger();
    EXPECT_EQ(shown(), QStringList{QStringLiteral("请选择节点!")});
}

// A right press on a node that is not the current one takes it first, so
// 全选 from the menu it opens checks that node's subtree.
TEST_F(RightsEditorTest, TheRightButtonTakesItsNodeAndTheMenuActsOnIt)
{
    clickDepartment(7);
    QTreeWidget* tv = window->rightsTree();
    QTreeWidgetItem* other = right(QStringLiteral("limited"));
    ASSERT_NE(other, nullptr);
    tv->setCurrentItem(other);
    ASSERT_NO_FATAL_FAILURE(ui::rightClickNode(tv, right(QStringLiteral("ckmg"))));
    QApplication::processEvents();
    EXPECT_EQ(tv->currentItem(), right(QStringLiteral("ckmg")));
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    window->nodeMenu()->findChild<QAction*>(QStringLiteral("menu_all_select"))->trigger();
    QStringList expected = subtreeOf(QStringLiteral("ckmg"));
    expected << QStringLiteral("limited");
    expected.sort();
    expected.removeDuplicates();
    QStringList checked = checkedTags();
    checked.sort();
    EXPECT_EQ(checked, expected);
}

TEST_F(RightsEditorTest, WithoutTheRightNothingIsSaved)
{
    exec("DELETE FROM tb_user_group_fun WHERE departmentId=7");
    init_SysVar();
    clickDepartment(7);
    toggle(QStringLiteral("import"));
    clickToolbar(window.get(), "save");
    EXPECT_EQ(shown(), QStringList{QStringLiteral("功能受限,请与系统管理联系!")});
    EXPECT_EQ(count("tb_user_group_fun", "departmentId=7"), 0);
}

} // namespace
