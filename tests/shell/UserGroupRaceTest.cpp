// Two workstations on one database file: staff join a user group while it is
// being deleted. The delete checks for staff inside its own write, so the
// group and its grants stay, and the window names the refusal as it names the
// one it finds before asking.

#include "TestEnv.h"
#include "WriteRace.h"

#include "dal_usergrp.h"
#include "frm_funlimited.h"

#include <QLineEdit>
#include <memory>

namespace
{

const QString kInUse = QStringLiteral("用户组名[仓管]已经在[用户表]引用建帐,不能删除!");

class UserGroupRaceTest : public RaceTest
{
  protected:
    void resetGroup()
    {
        exec(QStringLiteral("DELETE FROM tb_Staff"));
        exec(QStringLiteral("DELETE FROM tb_Usergrp"));
        exec(QStringLiteral("DELETE FROM tb_sysuserfun WHERE usergrpid=5"));
        exec(QStringLiteral("INSERT INTO tb_Usergrp (id, uname, uremark) VALUES (5, '仓管', '')"));
        exec(QStringLiteral("INSERT INTO tb_sysuserfun (nodecode, usergrpid) VALUES ('sys', 5)"));
    }
    const QStringList staffJoins{QStringLiteral("INSERT INTO tb_Staff (id, ugrpid) VALUES (7, 5)")};
};

TEST_F(UserGroupRaceTest, StaffJoiningDuringTheDeleteKeepTheGroupAndItsGrants)
{
    for (int nth = 1; nth <= kRaceTransactions; ++nth) {
        SCOPED_TRACE("before write " + std::to_string(nth));
        resetGroup();
        m_DBresult result;
        bool came = false;
        {
            WriteBeforeTransaction between(*other, staffJoins, nth);
            result = dal_usergrp().Delete(5, kInUse);
            came = between.wrote();
        }
        if (came) {
            EXPECT_FALSE(result.isResult);
            EXPECT_EQ(result.str_MsgBox, kInUse);
            EXPECT_EQ(result.int_Count, 1);
            EXPECT_EQ(count(QStringLiteral("tb_Usergrp"), QStringLiteral("id=5")), 1);
            EXPECT_EQ(count(QStringLiteral("tb_sysuserfun"), QStringLiteral("usergrpid=5")), 1);
        } else {
            EXPECT_TRUE(result.isResult) << result.str_MsgBox.toStdString();
            EXPECT_EQ(count(QStringLiteral("tb_Usergrp"), QStringLiteral("id=5")), 0);
            EXPECT_EQ(count(QStringLiteral("tb_sysuserfun"), QStringLiteral("usergrpid=5")), 0);
        }
    }
}

TEST_F(UserGroupRaceTest, TheWindowNamesARefusalThatCameAfterItsQuestion)
{
    for (const char* code : {"usergrp_delete", "usergrp_save"})
        exec(QStringLiteral("INSERT INTO tb_sysuserfun (nodecode, usergrpid) VALUES ('%1', 0)")
                 .arg(QString::fromLatin1(code)));
    resetGroup();
    auto window = std::make_unique<frm_funlimited>();
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->show();
    window->findChild<QLineEdit*>(QStringLiteral("txt_id"))->setText(QStringLiteral("5"));
    window->findChild<QLineEdit*>(QStringLiteral("txt_name"))->setText(QStringLiteral("仓管"));

    // No staff when the window looks, so it asks; staff join before the write.
    WriteBeforeTransaction between(*other, staffJoins, 1);
    answer(MsgAnswer::Yes);
    window->Toolbar_ButtonClick(QStringLiteral("del_usergrp"));
    ASSERT_TRUE(between.wrote());
    ASSERT_FALSE(MsgBox::Shown().isEmpty());
    EXPECT_EQ(MsgBox::Shown().last().text, kInUse);
    EXPECT_EQ(MsgBox::Shown().last().icon, MsgIcon::Information);
    EXPECT_EQ(MsgBox::Shown().last().title, QStringLiteral("权限设置"));
    EXPECT_EQ(count(QStringLiteral("tb_Usergrp"), QStringLiteral("id=5")), 1);
    EXPECT_EQ(count(QStringLiteral("tb_sysuserfun"), QStringLiteral("usergrpid=5")), 1);
    EXPECT_EQ(window->findChild<QLineEdit*>(QStringLiteral("txt_id"))->text(), QStringLiteral("5"));
}

} // namespace
