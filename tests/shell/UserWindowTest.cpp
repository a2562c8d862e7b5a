#include "TestEnv.h"
#include "ToMd5.h"
#include "UiDriver.h"
#include "frmLogin.h"
#include "frm_user.h"
#include "mod_public.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>

using namespace ui;

namespace
{

class UserWindowTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec("INSERT INTO tb_dictionary (id, utype, uname, parentId, isstart) VALUES (7, 'department', "
             "'仓库部', 0, 1)");
        exec("INSERT INTO tb_user (id, [user], pw, usex, isStart, dictionaryId) VALUES "
             "(2, 'lisi', 'x', '女', 1, 7)");
        loginAs(1);
        open();
    }
    void TearDown() override
    {
        window.reset();
        DbTest::TearDown();
    }
    void open()
    {
        window = std::make_unique<frm_user>();
        window->show();
    }

    // Chooses a combo entry with the keyboard.
    void choose(const char* combo, const QString& text)
    {
        auto* box = child<QComboBox>(window.get(), combo);
        ui::focusOn(box);
        const int target = box->findText(text);
        ASSERT_GE(target, 0) << text.toStdString();
        for (int guard = 0; box->currentIndex() < target && guard < 50; ++guard)
            ui::press(Qt::Key_Down);
        for (int guard = 0; box->currentIndex() > target && guard < 50; ++guard)
            ui::press(Qt::Key_Up);
        EXPECT_EQ(box->currentIndex(), target);
    }
    void newUser(const QString& name, const QString& sex, const QString& department)
    {
        clickToolbar(window.get(), "add_user");
        typeInto(window.get(), "txt_Name", name);
        choose("cobo_sex", sex);
        choose("cobo_usergrp", department);
    }
    QStringList listed()
    {
        QStringList names;
        QAbstractItemModel* m = window->reportView()->model();
        for (int r = 0; r < m->rowCount(); ++r)
            names << m->index(r, 0).data().toString() + "|" + m->index(r, 1).data().toString() + "|" +
                         m->index(r, 2).data().toString() + "|" + m->index(r, 3).data().toString();
        return names;
    }
    QString panelId() { return child<QLineEdit>(window.get(), "txt_id")->text(); }

    std::unique_ptr<frm_user> window;
};

TEST_F(UserWindowTest, OpensWithEveryUserInReportStyle)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("用户信息"));
    EXPECT_EQ(listed(),
              (QStringList{QStringLiteral("admin|男|系统管理|True"), QStringLiteral("lisi|女|仓库部|True")}));
    EXPECT_EQ(child<QComboBox>(window.get(), "cobo_sex")->currentText(), QStringLiteral("男"));
    EXPECT_EQ(child<QComboBox>(window.get(), "cobo_usergrp")->count(), 2);
    EXPECT_TRUE(child<QCheckBox>(window.get(), "chk_start")->isChecked());
    EXPECT_EQ(child<QLabel>(window.get(), "Label2")->text(), QStringLiteral("新建用户密码默认为: 740"));
    auto* menu = child<QMenu>(window.get(), "view_menu");
    QStringList texts;
    for (QAction* a : menu->actions())
        texts << a->text();
    EXPECT_EQ(texts, (QStringList{QStringLiteral("● 详细信息"), QStringLiteral("   缩略图"),
                                  QStringLiteral("   列表"), QStringLiteral("   图标")}));
}

TEST_F(UserWindowTest, ANewUserGetsTheInitialPasswordAndCanLogIn)
{
    newUser(QStringLiteral("zhangsan"), QStringLiteral("女"), QStringLiteral("仓库部"));
    answer(MsgAnswer::Yes);
    clickToolbar(window.get(), "save_user");
    EXPECT_EQ(shown(), QStringList{QStringLiteral("确认保存用户!")});
    EXPECT_EQ(scalar("SELECT pw FROM tb_user WHERE [user]='zhangsan'").toString(),
              QStringLiteral("cf9246bb0d40eb4d"));
    EXPECT_EQ(scalar("SELECT id FROM tb_user WHERE [user]='zhangsan'").toInt(), 3);
    EXPECT_EQ(scalar("SELECT dictionaryId FROM tb_user WHERE id=3").toInt(), 7);
    EXPECT_EQ(scalar("SELECT usex FROM tb_user WHERE id=3").toString(), QStringLiteral("女"));
    EXPECT_EQ(panelId(), QStringLiteral("3"));
    EXPECT_TRUE(listed().contains(QStringLiteral("zhangsan|女|仓库部|True")));

    // The new user logs in with 740.
    CurrentUser = m_user();
    frmLogin login;
    login.show();
    typeInto(&login, "txtUserName", QStringLiteral("zhangsan"));
    typeInto(&login, "txtPassword", QStringLiteral("740"));
    QTest::mouseClick(child<QPushButton>(&login, "cmdOK"), Qt::LeftButton);
    EXPECT_TRUE(login.LoginSucceeded);
    EXPECT_EQ(CurrentUser.id, 3);
}

TEST_F(UserWindowTest, SavingTwiceAddsOnceThenUpdates)
{
    newUser(QStringLiteral(" wang "), QStringLiteral("男"), QStringLiteral("系统管理"));
    answer(MsgAnswer::Yes);
    clickToolbar(window.get(), "save_user");
    typeInto(window.get(), "txt_Name", QStringLiteral("wangwu"));
    ui::focusOn(child<QCheckBox>(window.get(), "chk_start"));
    ui::press(Qt::Key_Space);
    answer(MsgAnswer::Yes);
    clickToolbar(window.get(), "save_user");
    EXPECT_EQ(count("tb_user"), 3);
    EXPECT_EQ(scalar("SELECT [user] FROM tb_user WHERE id=3").toString(), QStringLiteral("wangwu"));
    EXPECT_EQ(scalar("SELECT isStart FROM tb_user WHERE id=3").toInt(), 0);
    EXPECT_TRUE(listed().contains(QStringLiteral("wangwu|男|系统管理|False")));
}

TEST_F(UserWindowTest, NamesAreStoredAsTyped)
{
    newUser(QStringLiteral(" O'Hara "), QStringLiteral("男"), QStringLiteral("系统管理"));
    answer(MsgAnswer::Yes);
    clickToolbar(window.get(), "save_user");
    EXPECT_EQ(scalar("SELECT [user] FROM tb_user WHERE id=3").toString(), QStringLiteral(" O'Hara "));
}

TEST_F(UserWindowTest, ANameInOtherLetterCaseIsADuplicate)
{
    newUser(QStringLiteral("ADMIN"), QStringLiteral("男"), QStringLiteral("系统管理"));
    answer(MsgAnswer::Yes);
    clickToolbar(window.get(), "save_user");
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("确认保存用户!"), QStringLiteral("用户名[ADMIN]重复!")}));
    EXPECT_EQ(count("tb_user"), 2);
    EXPECT_TRUE(panelId().isEmpty());

    // A stored user keeps its own name in another case.
    ASSERT_TRUE(clickRow(window->reportView(), QStringLiteral("lisi")));
    typeInto(window.get(), "txt_Name", QStringLiteral("LISI"));
    answer(MsgAnswer::Yes);
    clickToolbar(window.get(), "save_user");
    EXPECT_EQ(scalar("SELECT [user] FROM tb_user WHERE id=2").toString(), QStringLiteral("LISI"));
}

TEST_F(UserWindowTest, BlankFieldsAreRefusedBeforeTheQuestion)
{
    clickToolbar(window.get(), "add_user");
    typeInto(window.get(), "txt_Name", QStringLiteral("   "));
    clickToolbar(window.get(), "save_user");
    EXPECT_EQ(shown(), QStringList{QStringLiteral("用户名称不能为空!")});

    MsgBox::ClearShown();
    typeInto(window.get(), "txt_Name", QStringLiteral("zhao"));
    clickToolbar(window.get(), "save_user"); // no department chosen yet
    EXPECT_EQ(shown(), QStringList{QStringLiteral("部门权限不能为空!")});
    EXPECT_EQ(MsgBox::Shown().last().icon, MsgIcon::Information);

    MsgBox::ClearShown();
    choose("cobo_usergrp", QStringLiteral("系统管理"));
    answer(MsgAnswer::No);
    clickToolbar(window.get(), "save_user");
    EXPECT_EQ(shown(), QStringList{QStringLiteral("确认保存用户!")});
    EXPECT_EQ(count("tb_user"), 2);
    EXPECT_TRUE(panelId().isEmpty());
}

TEST_F(UserWindowTest, AClickShowsTheUserInThePanel)
{
    ASSERT_TRUE(clickRow(window->reportView(), QStringLiteral("lisi")));
    EXPECT_EQ(panelId(), QStringLiteral("2"));
    EXPECT_EQ(child<QLineEdit>(window.get(), "txt_Name")->text(), QStringLiteral("lisi"));
    EXPECT_EQ(child<QComboBox>(window.get(), "cobo_sex")->currentText(), QStringLiteral("女"));
    EXPECT_EQ(child<QComboBox>(window.get(), "cobo_usergrp")->currentText(), QStringLiteral("仓库部"));

    // A department made after the window opened is kept by a save.
    exec("INSERT INTO tb_dictionary (id, utype, uname, parentId, isstart) VALUES (9, 'department', '新部门', "
         "0, 1)");
    exec("UPDATE tb_user SET dictionaryId=9 WHERE id=2");
    ASSERT_TRUE(clickRow(window->reportView(), QStringLiteral("admin")));
    ASSERT_TRUE(clickRow(window->reportView(), QStringLiteral("lisi")));
    EXPECT_EQ(child<QComboBox>(window.get(), "cobo_usergrp")->currentText(), QStringLiteral("新部门"));
    answer(MsgAnswer::Yes);
    clickToolbar(window.get(), "save_user");
    EXPECT_EQ(scalar("SELECT dictionaryId FROM tb_user WHERE id=2").toInt(), 9);

    // The same in the icon views.
    clickToolbar(window.get(), "add_user");
    window->utoolbar_ButtonClick(QStringLiteral("ico_view"));
    EXPECT_EQ(window->iconView()->viewMode(), QListView::IconMode);
    ASSERT_TRUE(clickRow(window->iconView(), QStringLiteral("admin")));
    EXPECT_EQ(panelId(), QStringLiteral("1"));
}

TEST_F(UserWindowTest, AHeaderClickSortsDescendingFirstThenFlips)
{
    exec("INSERT INTO tb_user (id, [user], pw, usex, isStart, dictionaryId) VALUES (3, 'bob', 'x', '男', 1, "
         "1)");
    clickToolbar(window.get(), "refresh");
    QHeaderView* header = window->reportView()->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 5, 5));
    EXPECT_EQ(listed().first().section('|', 0, 0), QStringLiteral("lisi"));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 5, 5));
    EXPECT_EQ(listed().first().section('|', 0, 0), QStringLiteral("admin"));
    // The order holds for a refill.
    exec("INSERT INTO tb_user (id, [user], pw, usex, isStart, dictionaryId) VALUES (4, 'aaron', 'x', '男', "
         "1, 1)");
    clickToolbar(window.get(), "refresh");
    EXPECT_EQ(listed().first().section('|', 0, 0), QStringLiteral("aaron"));
}

struct Owner {
    const char* name;
    const char* insert;
    const char16_t* message;
};

void PrintTo(const Owner& c, std::ostream* os)
{
    *os << c.name;
}

class UserDeleteRefusalTest : public UserWindowTest, public ::testing::WithParamInterface<Owner>
{
};

TEST_P(UserDeleteRefusalTest, AUserWhoOwnsRowsIsKept)
{
    exec(QString::fromLatin1(GetParam().insert));
    ASSERT_TRUE(clickRow(window->reportView(), QStringLiteral("lisi")));
    answer(MsgAnswer::Yes);
    clickToolbar(window.get(), "delete_user");
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("是否删除当前用户[lisi]?"),
                                    QString::fromUtf16(GetParam().message)}));
    EXPECT_EQ(count("tb_user", "id=2"), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Owners, UserDeleteRefusalTest,
    ::testing::Values(
        Owner{"InboundBill", "INSERT INTO tb_rk_head (id, BillNo, userId) VALUES (1, 'rk-2401-00001', 2)",
              u"当前用户在入库表已经建账,不能删除!"},
        Owner{"OutboundBill", "INSERT INTO tb_ck_head (id, BillNo, userId) VALUES (1, 'ck-2401-00001', 2)",
              u"当前用户在出库表已经建账,不能删除!"},
        Owner{"Partner", "INSERT INTO tb_customer (id, customerCode, userId) VALUES (1, 'ct-2401-00001', 2)",
              u"当前用户在往来单位表已经建账,不能删除!"},
        Owner{"ScheduleEntry", "INSERT INTO tb_events (id, createUserId) VALUES (1, 2)",
              u"当前用户在日程管理已经建账,不能删除!"}),
    [](const ::testing::TestParamInfo<Owner>& info) { return std::string(info.param.name); });

TEST_F(UserWindowTest, AFreeUserIsDeleted)
{
    ASSERT_TRUE(clickRow(window->reportView(), QStringLiteral("lisi")));
    answer(MsgAnswer::Yes);
    clickToolbar(window.get(), "delete_user");
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("是否删除当前用户[lisi]?"), QStringLiteral("删除成功!")}));
    EXPECT_EQ(count("tb_user", "id=2"), 0);
    EXPECT_TRUE(panelId().isEmpty());
    EXPECT_EQ(listed().size(), 1);
}

TEST_F(UserWindowTest, NeitherAnEmptyPanelNorOnesOwnAccountIsDeleted)
{
    clickToolbar(window.get(), "delete_user");
    EXPECT_EQ(shown(), QStringList{QStringLiteral("当前记录不存在!")});

    MsgBox::ClearShown();
    ASSERT_TRUE(clickRow(window->reportView(), QStringLiteral("admin")));
    clickToolbar(window.get(), "delete_user");
    EXPECT_EQ(shown(), QStringList{QStringLiteral("当前用户正在使用,不能删除!")});
    EXPECT_EQ(count("tb_user", "id=1"), 1);
}

} // namespace

// A right-click on a row loads it as a left click does: after admin is
// clicked and lisi right-clicked, the panel shows lisi and 删除 names and
// deletes lisi, in the report view and in the icon view.
TEST_F(UserWindowTest, ARightClickedUserIsTheOneDeleted)
{
    for (const char* view : {"detail_view", "ico_view"}) {
        SCOPED_TRACE(view);
        exec("DELETE FROM tb_user WHERE id=2");
        exec("INSERT INTO tb_user (id, [user], pw, usex, isStart, dictionaryId) VALUES "
             "(2, 'lisi', '', '男', 1, 7)");
        clickToolbar(window.get(), "refresh");
        window->utoolbar_ButtonClick(QString::fromLatin1(view));
        QAbstractItemView* list = view == std::string("detail_view")
                                      ? static_cast<QAbstractItemView*>(window->reportView())
                                      : window->iconView();
        ASSERT_TRUE(clickRow(list, QStringLiteral("admin")));
        const QModelIndexList hits = list->model()->match(list->model()->index(0, 0), Qt::DisplayRole,
                                                          QStringLiteral("lisi"), 1, Qt::MatchExactly);
        ASSERT_EQ(hits.size(), 1);
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, list->visualRect(hits.first()).center());
        EXPECT_EQ(panelId(), QStringLiteral("2"));
        MsgBox::ClearShown();
        answer(MsgAnswer::Yes);
        clickToolbar(window.get(), "delete_user");
        EXPECT_EQ(shown(),
                  (QStringList{QStringLiteral("是否删除当前用户[lisi]?"), QStringLiteral("删除成功!")}));
        EXPECT_EQ(count("tb_user", "id=2"), 0);
        EXPECT_EQ(count("tb_user", "id=1"), 1);
    }
}
