#include "ShellFixture.h"
#include "UiDriver.h"

#include "Cp936.h"
#include "GetvalueFunction.h"
#include "mod_public.h"
#include "sqlHelper.h"

#include "UiDriver.h"
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>

namespace
{

class LoginTest : public ShellTest
{
  protected:
    QString rememberFile() const { return appDir() + QStringLiteral("remeber_lastuser.INI"); }

    QByteArray remembered() const
    {
        QFile f(rememberFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void writeRemembered(const QByteArray& bytes)
    {
        QFile f(rememberFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    static QString nameBox(frmLogin& d)
    {
        return d.findChild<QLineEdit*>(QStringLiteral("txtUserName"))->text();
    }

    QString userPanel() { return frame().Panel(QStringLiteral("cur_userinfor"))->text(); }
};

TEST_F(LoginTest, AdminLogsInAndIsRemembered)
{
    EXPECT_TRUE(startWith([](frmLogin* d) { logIn(d, QStringLiteral("admin"), QStringLiteral("740")); }));
    EXPECT_TRUE(frame().isVisible());
    EXPECT_EQ(CurrentUser.id, 1);
    EXPECT_EQ(CurrentUser.department, QStringLiteral("系统管理"));
    EXPECT_TRUE(check_FunRight(QStringLiteral("import"), false)); // the department's rights are loaded
    EXPECT_EQ(userPanel(), QStringLiteral("当前用户:admin"));
    EXPECT_EQ(remembered(), QByteArray("admin\r\n"));
    EXPECT_TRUE(shown().isEmpty()) << shown().join(QLatin1Char('|')).toStdString();

    frmLogin next;
    EXPECT_EQ(nameBox(next), QStringLiteral("admin"));
}

// The name is found without letter case; the frame and the file keep it as typed.
TEST_F(LoginTest, NameInOtherLetterCase)
{
    EXPECT_TRUE(startWith([](frmLogin* d) { logIn(d, QStringLiteral("ADMIN"), QStringLiteral("740")); }));
    EXPECT_EQ(CurrentUser.user, QStringLiteral("admin"));
    EXPECT_EQ(userPanel(), QStringLiteral("当前用户:ADMIN"));
    EXPECT_EQ(remembered(), QByteArray("ADMIN\r\n"));
}

TEST_F(LoginTest, ChineseNameIsRememberedInCodePage936)
{
    addDepartmentUser(5, 2, QStringLiteral("张三"), {QStringLiteral("export")});
    EXPECT_TRUE(startWith([](frmLogin* d) { logIn(d, QStringLiteral("张三"), QStringLiteral("740")); }));
    EXPECT_EQ(CurrentUser.id, 2);
    EXPECT_EQ(remembered(), QByteArray("\xD5\xC5\xC8\xFD\r\n"));
    EXPECT_EQ(userPanel(), QStringLiteral("当前用户:张三"));
    // The rights are those of the user's own department.
    EXPECT_TRUE(check_FunRight(QStringLiteral("export"), false));
    EXPECT_FALSE(check_FunRight(QStringLiteral("import"), false));

    frmLogin next;
    EXPECT_EQ(nameBox(next), QStringLiteral("张三"));
}

// Every refusal keeps the dialog open, changes nothing and never shows an SQL error.
TEST_F(LoginTest, RefusedAttempts)
{
    addDepartmentUser(5, 2, QStringLiteral("disabled"), {QStringLiteral("import")}, false);
    writeRemembered("before\r\n");
    const m_SysVar varsBefore = SysVar;
    const struct {
        QString name;
        QString pw;
        const char* message;
    } cases[] = {
        {QStringLiteral("admin"), QStringLiteral("741"), "无效用户或密码,请重试!"},
        {QStringLiteral("nobody"), QStringLiteral("740"), "无效用户或密码,请重试!"},
        {QStringLiteral("disabled"), QStringLiteral("740"), "无效用户或密码,请重试!"},
        {QStringLiteral("a'dmin"), QStringLiteral("740"), "无效用户或密码,请重试!"},
        {QStringLiteral("' or ''='"), QStringLiteral("' or ''='"), "无效用户或密码,请重试!"},
        {QStringLiteral("%"), QStringLiteral("%"), "无效用户或密码,请重试!"},
        {QStringLiteral("管理员"), QStringLiteral("740"), "无效用户或密码,请重试!"},
        {QString(), QStringLiteral("740"), "用户不能为空"},
        {QStringLiteral("   "), QStringLiteral("740"), "用户不能为空"},
        {QStringLiteral("admin"), QString(), "密码不能为空"},
        {QStringLiteral("admin"), QStringLiteral("  "), "密码不能为空"},
    };
    const bool started = startWith([&](frmLogin* d) {
        auto* password = d->findChild<QLineEdit*>(QStringLiteral("txtPassword"));
        for (const auto& c : cases) {
            MsgBox::ClearShown();
            logIn(d, c.name, c.pw);
            ASSERT_EQ(MsgBox::Shown().size(), 1) << c.name.toStdString();
            const ShownMessage m = MsgBox::Shown().first();
            EXPECT_EQ(m.text, QString::fromUtf8(c.message)) << c.name.toStdString();
            EXPECT_EQ(m.title, QStringLiteral("登录"));
            EXPECT_TRUE(d->isVisible());
            EXPECT_FALSE(d->LoginSucceeded);
            EXPECT_EQ(nameBox(*d), c.name.left(20)); // the name stays as typed
            if (QString::fromUtf8(c.message) == QStringLiteral("无效用户或密码,请重试!")) {
                EXPECT_EQ(m.icon, MsgIcon::Critical);
                EXPECT_EQ(d->focusWidget(), password);
                EXPECT_EQ(password->selectedText(), password->text());
            } else {
                EXPECT_EQ(m.icon, MsgIcon::Exclamation);
            }
        }
    });
    EXPECT_FALSE(started);
    EXPECT_EQ(CurrentUser.id, 0);
    EXPECT_EQ(SysVar.Sys_funJoinCode, varsBefore.Sys_funJoinCode);
    EXPECT_EQ(remembered(), QByteArray("before\r\n"));
    EXPECT_EQ(userPanel(), QStringLiteral("当前用户:"));
}

TEST_F(LoginTest, RememberedNameIsTheLastLine)
{
    const struct {
        QByteArray file;
        const char* name;
    } cases[] = {
        {QByteArray("first\r\nsecond\r\nthird\r\n"), "third"},
        {QByteArray("only"), "only"},
        {QByteArray("a\nb"), "b"},
        {QByteArray(), ""},
        {QByteArray("\xC0\xEE\xCB\xC4\r\n"), "李四"},
    };
    for (const auto& c : cases) {
        writeRemembered(c.file);
        frmLogin d;
        EXPECT_EQ(nameBox(d), QString::fromUtf8(c.name)) << c.file.toStdString();
    }
}

// An unreadable or unwritable remembered-user file neither shows an error
// nor keeps anyone from logging in.
TEST_F(LoginTest, RememberedFileThatCannotBeUsed)
{
    {
        frmLogin d;
        EXPECT_EQ(nameBox(d), QString());
    }
    ASSERT_TRUE(QDir(appDir()).mkdir(QStringLiteral("remeber_lastuser.INI")));
    {
        frmLogin d;
        EXPECT_EQ(nameBox(d), QString());
    }
    EXPECT_TRUE(startWith([](frmLogin* d) { logIn(d, QStringLiteral("admin"), QStringLiteral("740")); }));
    EXPECT_EQ(CurrentUser.id, 1);
    EXPECT_TRUE(shown().isEmpty());
}

TEST_F(LoginTest, EnterInTheNameBoxOnlyMovesOn)
{
    EXPECT_TRUE(startWith([](frmLogin* d) {
        auto* name = d->findChild<QLineEdit*>(QStringLiteral("txtUserName"));
        auto* password = d->findChild<QLineEdit*>(QStringLiteral("txtPassword"));
        EXPECT_EQ(d->focusWidget(), name);
        password->setText(QStringLiteral("old"));
        EXPECT_EQ(password->displayText(), QStringLiteral("***"));
        ui::focusOn(name);
        ui::press(Qt::Key_Return);
        EXPECT_EQ(d->focusWidget(), password);
        EXPECT_EQ(password->selectedText(), QStringLiteral("old"));
        EXPECT_TRUE(MsgBox::Shown().isEmpty()); // not even "用户不能为空"
        EXPECT_TRUE(d->isVisible());

        name->setText(QStringLiteral("admin"));
        password->setText(QStringLiteral("740"));
        ui::focusOn(password);
        ui::press(Qt::Key_Return); // the default button
    }));
    EXPECT_EQ(CurrentUser.id, 1);
}

TEST_F(LoginTest, CancelAsksTheExitQuestion)
{
    EXPECT_TRUE(startWith([this](frmLogin* d) {
        // The close box does nothing before a login.
        d->close();
        EXPECT_TRUE(d->isVisible());
        EXPECT_TRUE(MsgBox::Shown().isEmpty());

        answer(MsgAnswer::No);
        click(d, "cmdCancel");
        ASSERT_EQ(MsgBox::Shown().size(), 1);
        EXPECT_EQ(MsgBox::Shown().first().text, QStringLiteral("是否退出系统?"));
        EXPECT_EQ(MsgBox::Shown().first().title, QStringLiteral("朗岱仓库管理系统"));
        EXPECT_EQ(MsgBox::Shown().first().buttons, MsgButtons::YesNo);
        EXPECT_TRUE(d->isVisible());
        EXPECT_TRUE(frame().isVisible());

        answer(MsgAnswer::No);
        ui::activate(d);
        ui::press(Qt::Key_Escape);
        EXPECT_EQ(MsgBox::Shown().size(), 2);
        EXPECT_TRUE(d->isVisible());

        logIn(d, QStringLiteral("admin"), QStringLiteral("740"));
    }));
    EXPECT_EQ(CurrentUser.id, 1);
}

TEST_F(LoginTest, CancelAndYesEndsTheProgram)
{
    EXPECT_FALSE(startWith([this](frmLogin* d) {
        answer(MsgAnswer::Yes);
        click(d, "cmdCancel");
        EXPECT_FALSE(d->isVisible());
    }));
    EXPECT_FALSE(IsConnOpen());
    EXPECT_FALSE(frame().isVisible());
    EXPECT_EQ(CurrentUser.id, 0);
    EXPECT_FALSE(QFile::exists(rememberFile()));
}

} // namespace
