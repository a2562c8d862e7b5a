#include "FrmModifypwd.h"
#include "TestEnv.h"
#include "ToMd5.h"
#include "UiDriver.h"
#include "mod_public.h"

#include <QPushButton>

using namespace ui;

namespace
{

class ModifyPwdTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        loginAs(1);
        dialog = std::make_unique<FrmModifypwd>();
        dialog->show();
    }
    void TearDown() override
    {
        dialog.reset();
        DbTest::TearDown();
    }

    void fill(const QString& oldPw, const QString& newPw, const QString& repeat)
    {
        typeInto(dialog.get(), "utxtoldpwd", oldPw);
        typeInto(dialog.get(), "utxtnewpwd", newPw);
        typeInto(dialog.get(), "utxtrepwd", repeat);
    }
    void pressOk() { QTest::mouseClick(child<QPushButton>(dialog.get(), "B_OK"), Qt::LeftButton); }
    QString storedHash() { return scalar("SELECT pw FROM tb_user WHERE id=1").toString(); }

    std::unique_ptr<FrmModifypwd> dialog;
};

TEST_F(ModifyPwdTest, ShowsTheLoggedInUserAndStartsInTheOldPassword)
{
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("修改密码"));
    EXPECT_EQ(child<QLineEdit>(dialog.get(), "utxtuser")->text(), QStringLiteral("admin"));
    EXPECT_TRUE(child<QLineEdit>(dialog.get(), "utxtuser")->isReadOnly());
    for (const char* box : {"utxtoldpwd", "utxtnewpwd", "utxtrepwd"}) {
        EXPECT_EQ(child<QLineEdit>(dialog.get(), box)->echoMode(), QLineEdit::Password) << box;
        EXPECT_EQ(child<QLineEdit>(dialog.get(), box)->maxLength(), 20) << box;
        // Typed characters show as "*".
        child<QLineEdit>(dialog.get(), box)->setText(QStringLiteral("7é4"));
        EXPECT_EQ(child<QLineEdit>(dialog.get(), box)->displayText(), QStringLiteral("***")) << box;
    }
}

TEST_F(ModifyPwdTest, TheRightOldPasswordChangesTheHash)
{
    fill("740", " new Pw ", " new Pw ");
    answer(MsgAnswer::Yes);
    pressOk();
    EXPECT_EQ(shown(),
              (QStringList{QStringLiteral("确认修改密码!"), QStringLiteral("密码修改完成,请记住新密码!")}));
    EXPECT_EQ(storedHash(), GetMD5(" new Pw "));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

struct Refusal {
    const char* name;
    const char* oldPw;
    const char* newPw;
    const char* repeat;
    const char16_t* message;
    const char* focus;
};

void PrintTo(const Refusal& c, std::ostream* os)
{
    *os << c.name;
}

class ModifyPwdRefusalTest : public ModifyPwdTest, public ::testing::WithParamInterface<Refusal>
{
};

TEST_P(ModifyPwdRefusalTest, RefusesAndKeepsTheEntries)
{
    const Refusal& c = GetParam();
    fill(QString::fromUtf8(c.oldPw), QString::fromUtf8(c.newPw), QString::fromUtf8(c.repeat));
    pressOk();
    EXPECT_EQ(shown(), QStringList{QString::fromUtf16(c.message)});
    EXPECT_EQ(MsgBox::Shown().last().title, QStringLiteral("修改密码"));
    EXPECT_EQ(MsgBox::Shown().last().icon, MsgIcon::Information);
    EXPECT_EQ(storedHash(), GetMD5("740"));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(child<QLineEdit>(dialog.get(), "utxtoldpwd")->text(), QString::fromUtf8(c.oldPw));
    EXPECT_EQ(dialog->focusWidget(), child<QLineEdit>(dialog.get(), c.focus));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ModifyPwdRefusalTest,
    ::testing::Values(
        Refusal{"WrongOld", "741", "abc", "abc", u"旧密码输入错误,请重新输入!", "utxtoldpwd"},
        Refusal{"BlankOld", "", "abc", "abc", u"旧密码不能为空!", "utxtoldpwd"},
        Refusal{"BlankNew", "740", "   ", "   ", u"新密码不能为空!", "utxtnewpwd"},
        Refusal{"RepeatInOtherCase", "740", "abc", "ABC", u"密码不一致,请重新输入!", "utxtnewpwd"},
        Refusal{"EmptyRepeat", "740", "abc", "", u"密码不一致,请重新输入!", "utxtnewpwd"},
        Refusal{"RepeatWithTrailingSpace", "740", "abc", "abc ", u"密码不一致,请重新输入!", "utxtnewpwd"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

TEST_F(ModifyPwdTest, NoAtTheQuestionChangesNothing)
{
    fill("740", "abc", "abc");
    answer(MsgAnswer::No);
    pressOk();
    EXPECT_EQ(shown(), QStringList{QStringLiteral("确认修改密码!")});
    EXPECT_EQ(storedHash(), GetMD5("740"));
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(ModifyPwdTest, WithoutTheRightNothingIsAsked)
{
    exec("DELETE FROM tb_user_group_fun WHERE funCode='modifyPW'");
    init_SysVar();
    fill("740", "abc", "abc");
    pressOk();
    EXPECT_EQ(shown(), QStringList{QStringLiteral("功能受限,请与系统管理联系!")});
    EXPECT_EQ(storedHash(), GetMD5("740"));
}

// The session's user row was removed meanwhile: the change must not be reported as done.
TEST_F(ModifyPwdTest, AChangeThatReachesNoRowIsNotReportedAsDone)
{
    CurrentUser.id = 77;
    fill("740", "abc", "abc");
    answer(MsgAnswer::Yes);
    pressOk();
    ASSERT_EQ(shown().size(), 2);
    EXPECT_EQ(shown().at(1), QStringLiteral("当前记录不存在!"));
    EXPECT_FALSE(shown().contains(QStringLiteral("密码修改完成,请记住新密码!")));
    EXPECT_EQ(storedHash(), GetMD5("740"));
    EXPECT_TRUE(dialog->isVisible());
}

} // namespace

namespace
{
// The clerk tabs from the last box onto 确定 and presses Enter on it.
TEST_F(ModifyPwdTest, EnterOnTheFocusedOkButtonPressesIt)
{
    fill("740", "abc", "abc");
    focusOn(child<QPushButton>(dialog.get(), "B_OK"));
    ASSERT_EQ(focused(), child<QPushButton>(dialog.get(), "B_OK"));
    answer(MsgAnswer::No);
    press(Qt::Key_Return);
    EXPECT_EQ(shown(), QStringList{QStringLiteral("确认修改密码!")});
}
} // namespace
