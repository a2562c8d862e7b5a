#include "FrmModifypwd.h"

#include "DbError.h"
#include "FormHelpers.h"
#include "GetvalueFunction.h"
#include "Guarded.h"
#include "MsgBox.h"
#include "ProcessFuntionValues.h"
#include "WindowChrome.h"
#include "dal_user.h"
#include "m_funCode.h"
#include "mod_public.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

const QString kCaption = QStringLiteral("修改密码");

QLineEdit* passwordBox(const QString& name, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    MakePasswordBox(box);
    box->setMaxLength(20);
    return box;
}

} // namespace

FrmModifypwd::FrmModifypwd(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmModifypwd"));
    setWindowTitle(kCaption);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    utxtuser = new QLineEdit(this);
    utxtuser->setObjectName(QStringLiteral("utxtuser"));
    utxtuser->setReadOnly(true);
    utxtuser->setFocusPolicy(Qt::ClickFocus);
    QPalette tinted = utxtuser->palette();
    tinted.setColor(QPalette::Base, QColor(236, 233, 216));
    utxtuser->setPalette(tinted);
    utxtoldpwd = passwordBox(QStringLiteral("utxtoldpwd"), this);
    utxtnewpwd = passwordBox(QStringLiteral("utxtnewpwd"), this);
    utxtrepwd = passwordBox(QStringLiteral("utxtrepwd"), this);

    Label4 = new QLabel(QStringLiteral("用户名:"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label2 = new QLabel(QStringLiteral("旧密码:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label1 = new QLabel(QStringLiteral("新密码:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label5 = new QLabel(QStringLiteral("确认密码:"), this);
    Label5->setObjectName(QStringLiteral("Label5"));

    B_OK = new QPushButton(QStringLiteral("确定"), this);
    B_OK->setObjectName(QStringLiteral("B_OK"));
    B_OK->setAutoDefault(false);
    B_Back = new QPushButton(QStringLiteral("取消"), this);
    B_Back->setObjectName(QStringLiteral("B_Back"));
    B_Back->setAutoDefault(false);

    LayOutFieldDialog(this,
                      {{Label4, utxtuser}, {Label2, utxtoldpwd}, {Label1, utxtnewpwd}, {Label5, utxtrepwd}},
                      180, {B_OK, B_Back});

    setTabOrder(utxtoldpwd, utxtnewpwd);
    setTabOrder(utxtnewpwd, utxtrepwd);
    setTabOrder(utxtrepwd, B_OK);
    setTabOrder(B_OK, B_Back);
    setTabOrder(B_Back, utxtuser);

    // Enter moves from box to box, as in every entry window; 确定 is pressed on purpose.
    InstallEnterToTab(this);

    connect(B_OK, &QPushButton::clicked, this, &FrmModifypwd::B_OK_Click);
    connect(B_Back, &QPushButton::clicked, this, &QDialog::reject);

    utxtuser->setText(CurrentUser.user);
}

void FrmModifypwd::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    utxtoldpwd->setFocus();
}

void FrmModifypwd::B_OK_Click()
{
    if (!check_FunRight(FunCodeTable.modifyPW(), true))
        return;
    const auto refuse = [this](const QString& text, QLineEdit* box) {
        MsgBox::Info(text, kCaption, this);
        box->setFocus();
    };
    if (IsNullOrEmpty(utxtoldpwd->text())) {
        refuse(QStringLiteral("旧密码不能为空!"), utxtoldpwd);
        return;
    }
    if (IsNullOrEmpty(utxtnewpwd->text())) {
        refuse(QStringLiteral("新密码不能为空!"), utxtnewpwd);
        return;
    }
    if (utxtnewpwd->text() != utxtrepwd->text()) {
        refuse(QStringLiteral("密码不一致,请重新输入!"), utxtnewpwd);
        return;
    }
    bool changed = false;
    Guarded(this, [&] {
        dal_user users;
        m_user model = users.GetModelForPw(utxtuser->text(), utxtoldpwd->text());
        if (model.id == 0) {
            refuse(QStringLiteral("旧密码输入错误,请重新输入!"), utxtoldpwd);
            return;
        }
        if (!MsgBox::Ask(QStringLiteral("确认修改密码!"), kCaption, this))
            return;
        model.id = CurrentUser.id;
        model.pw = utxtnewpwd->text();
        // Fails when the user's row is gone: the change is then not reported as done.
        users.UpdatePw(model);
        changed = true;
    });
    if (!changed)
        return;
    MsgBox::Info(QStringLiteral("密码修改完成,请记住新密码!"), kCaption, this);
    accept();
}
