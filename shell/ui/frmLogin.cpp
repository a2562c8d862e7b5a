#include "frmLogin.h"

#include "Cp936.h"
#include "DbError.h"
#include "Guarded.h"
#include "MsgBox.h"
#include "WindowChrome.h"
#include "dal_user.h"
#include "frm_Main.h"
#include "mod_public.h"
#include "sqlHelper.h"

#include "FormHelpers.h"

#include <QCloseEvent>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

namespace
{

const QString kCaption = QStringLiteral("登录");

// Empty, or nothing but spaces.
bool isBlank(const QString& text)
{
    for (QChar ch : text) {
        if (ch != QLatin1Char(' '))
            return false;
    }
    return true;
}

} // namespace

frmLogin::frmLogin(frm_Main* mainFrame) : QDialog(mainFrame), m_main(mainFrame)
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(kCaption);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    lblUser = new QLabel(QStringLiteral("用户名称(&U):"), this);
    lblUser->setObjectName(QStringLiteral("lblLabels_0"));
    lblPassword = new QLabel(QStringLiteral("密码(&P):"), this);
    lblPassword->setObjectName(QStringLiteral("lblLabels_1"));

    txtUserName = new QLineEdit(this);
    txtUserName->setObjectName(QStringLiteral("txtUserName"));
    txtUserName->setMaxLength(20);
    lblUser->setBuddy(txtUserName);
    txtUserName->installEventFilter(this);

    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setMaxLength(50);
    MakePasswordBox(txtPassword);
    lblPassword->setBuddy(txtPassword);

    cmdOK = new QPushButton(QStringLiteral("确定"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("取消"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);

    LayOutFieldDialog(this, {{lblUser, txtUserName}, {lblPassword, txtPassword}}, 200, {cmdOK, cmdCancel});

    setTabOrder(txtUserName, txtPassword);
    setTabOrder(txtPassword, cmdOK);
    setTabOrder(cmdOK, cmdCancel);

    connect(cmdOK, &QPushButton::clicked, this, &frmLogin::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmLogin::cmdCancel_Click);

    loadRememberedUser();
}

QString frmLogin::RememberFile()
{
    return GetAppPath() + QStringLiteral("remeber_lastuser.INI");
}

// The file holds one name per line; the last line is the last user. A file
// that cannot be read leaves the box empty.
void frmLogin::loadRememberedUser()
{
    QFile file(RememberFile());
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QString text = Cp936::decode(file.readAll());
    if (text.isEmpty())
        return;
    QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    txtUserName->setText(lines.last());
}

// Remembering the name is a convenience: a folder that cannot be written
// must not keep the user from logging in.
void frmLogin::rememberUser(const QString& name)
{
    QFile file(RememberFile());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    file.write(Cp936::encode(name) + QByteArray("\r\n"));
}

void frmLogin::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    txtUserName->setFocus();
    txtUserName->selectAll();
}

bool frmLogin::eventFilter(QObject* watched, QEvent* event)
{
    // Enter while typing the name only moves on to the password.
    if (watched == txtUserName && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            txtPassword->setFocus();
            txtPassword->selectAll();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmLogin::cmdOK_Click()
{
    const QString name = txtUserName->text();
    const QString password = txtPassword->text();
    if (isBlank(name)) {
        MsgBox::Show(QStringLiteral("用户不能为空"), MsgIcon::Exclamation, kCaption, MsgButtons::Ok, this);
        txtUserName->setFocus();
        return;
    }
    if (isBlank(password)) {
        MsgBox::Show(QStringLiteral("密码不能为空"), MsgIcon::Exclamation, kCaption, MsgButtons::Ok, this);
        txtPassword->setFocus();
        return;
    }

    const m_user previousUser = CurrentUser;
    const m_SysVar previousVars = SysVar;
    bool loggedIn = false;
    const bool ran = Guarded(this, [&] {
        const m_user found = dal_user().GetModelForPw(name, password);
        // A disabled user is refused like an unknown one.
        if (found.id == 0 || !found.isStart) {
            MsgBox::Show(QStringLiteral("无效用户或密码,请重试!"), MsgIcon::Critical, kCaption,
                         MsgButtons::Ok, this);
            txtPassword->setFocus();
            txtPassword->selectAll();
            return;
        }
        CurrentUser = found;
        init_SysVar();
        loggedIn = true;
    });
    if (!ran) {
        // Nothing of a failed login stays.
        CurrentUser = previousUser;
        SysVar = previousVars;
    }
    if (!loggedIn)
        return;
    LoginSucceeded = true;
    rememberUser(name);
    accept();
    if (m_main)
        m_main->SetUserInfor(QStringLiteral("当前用户:") + name);
}

void frmLogin::cmdCancel_Click()
{
    LoginSucceeded = false;
    // The frame asks whether to end the program; on Yes it ends this dialog too.
    if (m_main)
        m_main->close();
}

void frmLogin::reject()
{
    if (LoginSucceeded || m_ending) {
        QDialog::reject();
        return;
    }
    cmdCancel_Click();
}

void frmLogin::EndWithoutLogin()
{
    m_ending = true;
    LoginSucceeded = false;
    done(QDialog::Rejected);
}

void frmLogin::closeEvent(QCloseEvent* event)
{
    if (!LoginSucceeded && !m_ending) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
