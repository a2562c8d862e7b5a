#include "TestEnv.h"
#include "UserGroupRights.h"
#include "frm_funlimited.h"
#include "sqlHelper.h"
#include "uTreeView.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <memory>

namespace
{

class UserGroupTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        // A small menu tree: 系统 with 用户组 (two actions, one with a child)
        // and a stopped node that is never offered.
        exec(QStringLiteral("INSERT INTO tb_sysmenu (id, menucode, displaytext, icon, parentid, type, "
                            "orderid, isstop) VALUES "
                            "(1, 'sys', '系统', 'close', 0, 0, 1, 0),"
                            "(2, 'usergrp_add', '新增', 'open', 1, 1, 2, 0),"
                            "(3, 'usergrp_save', '保存', 'open', 1, 1, 1, 0),"
                            "(4, 'old_menu', '停用', 'open', 1, 1, 3, 1),"
                            "(5, 'usergrp_limited', '应用', 'open', 3, 1, 1, 0)"));
        exec(QStringLiteral(
            "INSERT INTO tb_Usergrp (id, uname, uremark) VALUES (1, '仓管', 'r1'), (2, '财务', 'r2')"));
        exec(QStringLiteral("INSERT INTO tb_sysuserfun (nodecode, usergrpid) VALUES ('usergrp_save', 1), "
                            "('usergrp_save', 1), ('usergrp_limited', 2)"));
    }
    // The actions of the window are checked against group 0.
    void grantGroupZero()
    {
        for (const char* code :
             {"usergrp_add", "usergrp_save", "usergrp_update", "usergrp_delete", "usergrp_limited"})
            exec(QStringLiteral("INSERT INTO tb_sysuserfun (nodecode, usergrpid) VALUES ('%1', 0)")
                     .arg(QString::fromLatin1(code)));
    }
    QTreeWidget* tree() const { return m_window->findChild<QTreeWidget*>(QStringLiteral("tv_limited")); }
    QStringList checkedCodes() const
    {
        QStringList codes;
        for (QTreeWidgetItemIterator it(tree()); *it; ++it) {
            if ((*it)->checkState(0) == Qt::Checked)
                codes.append(uTreeView::NodeTag(*it).toString());
        }
        return codes;
    }
    QStringList grants(int group)
    {
        QStringList codes;
        const RecordSetPtr rs =
            ExecuteSql(QStringLiteral("SELECT nodecode FROM tb_sysuserfun WHERE usergrpid=@g ORDER BY rowid"),
                       ParamMap{{QStringLiteral("@g"), group}});
        for (int r = 0; r < rs->RecordCount(); ++r)
            codes.append(rs->text(r, QStringLiteral("nodecode")));
        return codes;
    }
    QLineEdit* field(const char* name) const
    {
        return m_window->findChild<QLineEdit*>(QString::fromLatin1(name));
    }
    void open()
    {
        m_window = std::make_unique<frm_funlimited>();
        m_window->setAttribute(Qt::WA_DeleteOnClose, false);
        m_window->show();
    }

    std::unique_ptr<frm_funlimited> m_window;
};

TEST_F(UserGroupTest, MessageTextsAreFoundByTheirExactCode)
{
    exec(QStringLiteral("INSERT INTO tb_Messagebox (Code, CDESC) VALUES ('  Padded ', ' 有空格 ')"));
    const struct {
        const char* code;
        const char* text;
    } cases[] = {
        {"AskSave", "是否保存当前记录?"},
        {" AskSave ", "是否保存当前记录?"},
        {"asksave", ""},
        {"Missing", ""},
        {"Padded", "有空格"},
        {"x' OR '1'='1", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetMessageBox(QString::fromUtf8(c.code)), QString::fromUtf8(c.text)) << c.code;
    EXPECT_TRUE(shown().isEmpty());
}

TEST_F(UserGroupTest, LimitedUserCheckAnswersFromTheGrants)
{
    EXPECT_FALSE(check_LimitedUser(QStringLiteral("usergrp_save"), 1, true));
    EXPECT_TRUE(check_LimitedUser(QStringLiteral("usergrp_add"), 1, false));
    EXPECT_TRUE(shown().isEmpty());
    // Another group's grant does not count.
    EXPECT_TRUE(check_LimitedUser(QStringLiteral("usergrp_save"), 2, true));
    EXPECT_TRUE(check_LimitedUser(QStringLiteral("USERGRP_SAVE"), 1, true));
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("功能受限,请与系统管理联系!"),
                                    QStringLiteral("功能受限,请与系统管理联系!")}));
    EXPECT_EQ(MsgBox::Shown().first().title, QStringLiteral("System"));
    EXPECT_EQ(MsgBox::Shown().first().icon, MsgIcon::Information);
}

TEST_F(UserGroupTest, OpensWithTheGroupsListedAndTheTreeCovered)
{
    open();
    auto* list = m_window->findChild<QTreeWidget*>(QStringLiteral("listview_usergrp"));
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(1)->text(0), QStringLiteral("财务"));
    EXPECT_EQ(list->topLevelItem(1)->text(1), QStringLiteral("r2"));
    EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("用户组名称"));
    EXPECT_EQ(m_window->findChild<QComboBox*>(QStringLiteral("cobo_usergrp"))->count(), 2);
    EXPECT_EQ(m_window->chosenGroupId(), -1);
    EXPECT_TRUE(m_window->findChild<QLabel*>(QStringLiteral("lbl_notice"))->isVisible());

    m_window->listview_DblClick(list->topLevelItem(1));
    EXPECT_EQ(field("txt_id")->text(), QStringLiteral("2"));
    EXPECT_EQ(field("txt_name")->text(), QStringLiteral("财务"));
    EXPECT_EQ(field("txt_remark")->text(), QStringLiteral("r2"));
}

TEST_F(UserGroupTest, TheGroupTreeLoadsWithItsGrants)
{
    open();
    m_window->chooseGroup(QStringLiteral("仓管"));
    EXPECT_EQ(m_window->chosenGroupId(), 1);
    EXPECT_FALSE(m_window->findChild<QLabel*>(QStringLiteral("lbl_notice"))->isVisible());
    ASSERT_EQ(tree()->topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree()->topLevelItem(0);
    EXPECT_EQ(root->text(0), QStringLiteral("系统"));
    // Siblings in menu order; the stopped node is not offered.
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_EQ(root->child(0)->text(0), QStringLiteral("保存"));
    EXPECT_EQ(root->child(1)->text(0), QStringLiteral("新增"));
    EXPECT_EQ(uTreeView::NodeTag(root->child(0)->child(0)).toString(), QStringLiteral("usergrp_limited"));
    EXPECT_TRUE(root->child(0)->child(0)->isHidden() == false && root->child(0)->isExpanded());
    // The first node is always checked (its children are not); the grant stored twice is one node.
    EXPECT_EQ(checkedCodes(), (QStringList{QStringLiteral("sys"), QStringLiteral("usergrp_save")}));
    EXPECT_EQ(tree()->currentItem(), root);
    EXPECT_TRUE(shown().isEmpty());

    m_window->chooseGroup(QStringLiteral("财务"));
    EXPECT_EQ(checkedCodes(), (QStringList{QStringLiteral("sys"), QStringLiteral("usergrp_limited")}));
    // A name that is no group's shows the grants of group 0.
    m_window->chooseGroup(QStringLiteral("没有"));
    EXPECT_EQ(m_window->chosenGroupId(), 0);
    EXPECT_EQ(checkedCodes(), QStringList{QStringLiteral("sys")});
}

TEST_F(UserGroupTest, CheckingANodeChecksItsSubtreeAndTheGrantsAreSaved)
{
    grantGroupZero();
    open();
    m_window->chooseGroup(QStringLiteral("财务"));
    QTreeWidgetItem* root = tree()->topLevelItem(0);
    root->child(0)->setCheckState(0, Qt::Checked); // 保存 with its child
    EXPECT_EQ(checkedCodes(), (QStringList{QStringLiteral("sys"), QStringLiteral("usergrp_save"),
                                           QStringLiteral("usergrp_limited")}));
    root->child(0)->setCheckState(0, Qt::Unchecked); // leaves the child checked
    root->setCheckState(0, Qt::Unchecked);
    root->child(0)->child(0)->setCheckState(0, Qt::Checked);
    tree()->collapseItem(root->child(0)); // a changed picture is no check
    EXPECT_EQ(checkedCodes(), QStringList{QStringLiteral("usergrp_limited")});
    root->child(1)->setCheckState(0, Qt::Checked);

    answer(MsgAnswer::Yes);
    m_window->Toolbar_ButtonClick(QStringLiteral("save_limited"));
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("是否保存当前记录?"), QStringLiteral("保存成功!")}));
    EXPECT_EQ(grants(2), (QStringList{QStringLiteral("usergrp_limited"), QStringLiteral("usergrp_add")}));
    EXPECT_EQ(grants(1).size(), 2);
}

TEST_F(UserGroupTest, ActionsNeedTheGrantsOfTheCurrentGroup)
{
    open();
    m_window->Toolbar_ButtonClick(QStringLiteral("save_limited"));
    m_window->Toolbar_ButtonClick(QStringLiteral("del_usergrp"));
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("功能受限,请与系统管理联系!"),
                                    QStringLiteral("功能受限,请与系统管理联系!")}));
    EXPECT_EQ(count(QStringLiteral("tb_Usergrp")), 2);
}

TEST_F(UserGroupTest, GroupsAreSavedUpdatedAndDeletedWithTheirGrants)
{
    grantGroupZero();
    exec(QStringLiteral("DELETE FROM tb_Usergrp"));
    open();
    m_window->Toolbar_ButtonClick(QStringLiteral("add_usergrp"));
    m_window->Toolbar_ButtonClick(QStringLiteral("save_usergrp"));
    EXPECT_EQ(shown(), QStringList{QStringLiteral("用户组名称不能为空!")});

    field("txt_name")->setText(QStringLiteral("O'Brien 组"));
    field("txt_remark")->setText(QStringLiteral("备注'1"));
    answer(MsgAnswer::Yes);
    m_window->Toolbar_ButtonClick(QStringLiteral("save_usergrp"));
    EXPECT_EQ(shown().last(), QStringLiteral("保存成功!"));
    EXPECT_EQ(field("txt_id")->text(), QStringLiteral("1"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT uname || '|' || uremark FROM tb_Usergrp WHERE id=1")).toString(),
              QStringLiteral("O'Brien 组|备注'1"));

    field("txt_name")->setText(QStringLiteral("改名"));
    answer(MsgAnswer::Cancel);
    m_window->Toolbar_ButtonClick(QStringLiteral("save_usergrp"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT uname FROM tb_Usergrp WHERE id=1")).toString(),
              QStringLiteral("O'Brien 组"));
    answer(MsgAnswer::Yes);
    m_window->Toolbar_ButtonClick(QStringLiteral("save_usergrp"));
    EXPECT_EQ(MsgBox::Shown().at(MsgBox::Shown().size() - 2).icon, MsgIcon::Exclamation);
    EXPECT_EQ(scalar(QStringLiteral("SELECT uname FROM tb_Usergrp WHERE id=1")).toString(),
              QStringLiteral("改名"));

    // Referred to by a staff row: refused.
    exec(QStringLiteral("INSERT INTO tb_Staff (id, ugrpid) VALUES (1, 1)"));
    m_window->Toolbar_ButtonClick(QStringLiteral("del_usergrp"));
    EXPECT_EQ(shown().last(), QStringLiteral("用户组名[改名]已经在[用户表]引用建帐,不能删除!"));
    exec(QStringLiteral("DELETE FROM tb_Staff"));

    exec(QStringLiteral("INSERT INTO tb_sysuserfun (nodecode, usergrpid) VALUES ('sys', 1)"));
    answer(MsgAnswer::Yes);
    m_window->Toolbar_ButtonClick(QStringLiteral("del_usergrp"));
    EXPECT_EQ(shown().last(), QStringLiteral("删除成功!"));
    EXPECT_EQ(count(QStringLiteral("tb_Usergrp")), 0);
    EXPECT_EQ(count(QStringLiteral("tb_sysuserfun"), QStringLiteral("usergrpid=1")), 0);
    EXPECT_TRUE(field("txt_id")->text().isEmpty());

    m_window->Toolbar_ButtonClick(QStringLiteral("del_usergrp"));
    EXPECT_EQ(shown().last(), QStringLiteral("当前记录不存在,不能删除!"));
    m_window->Toolbar_ButtonClick(QStringLiteral("save_limited"));
    EXPECT_EQ(shown().last(), QStringLiteral("用户组名称不能为空!"));
}

} // namespace
