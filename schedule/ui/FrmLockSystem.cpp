#include "FrmLockSystem.h"

#include "FormHelpers.h"
#include "Guarded.h"
#include "MsgBox.h"
#include "ScheduleHelpers.h"
#include "dal_user.h"
#include "mod_public.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace ScheduleUi;

FrmLockSystem::FrmLockSystem(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("FrmLockSystem"));
    setWindowTitle(QString());
    setFixedSize(px(this, 4560), px(this, 1800));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(40, 80, 140));
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);
    auto* caption = new QLabel(u"系统已锁定,请输入当前用户的密码"_qs, this);
    caption->setGeometry(20, 16, width() - 40, 24);
    utxtPassword = new QLineEdit(this);
    utxtPassword->setObjectName(QStringLiteral("utxtPassword"));
    MakePasswordBox(utxtPassword); // echoes "*"
    utxtPassword->setGeometry(20, 56, width() - 40, 28);
    utxtPassword->installEventFilter(this);
    utxtuser = new QComboBox(this);
    utxtuser->setObjectName(QStringLiteral("utxtuser"));
    utxtuser->setEditable(true);
    utxtuser->hide();
    utxtuser->setEditText(CurrentUser.user);
    utxtuser->installEventFilter(this);
    B_OK = makeButton(this, "B_OK", QStringLiteral("Enter"));
    B_OK->setGeometry(width() + 10, 0, 60, 24); // outside the face, as the Exit button
    auto* exitButton = makeButton(this, "B_Exit", QStringLiteral("Exit"));
    exitButton->setGeometry(width() + 80, 0, 60, 24);
    connect(B_OK, &QPushButton::clicked, this, [this] { Guarded(this, [this] { unlock(); }); });
    utxtPassword->setFocus();
}

void FrmLockSystem::unlock()
{
    if (utxtPassword->text().trimmed().isEmpty()) {
        MsgBox::Warn(u"密码不能为空!"_qs, u"系统锁定"_qs, this);
        utxtPassword->setFocus();
        return;
    }
    const m_user u = dal_user().GetModelForPw(utxtuser->currentText(), utxtPassword->text());
    if (u.id == 0)
        return;
    // A user disabled since the login is refused here as the login refuses one.
    if (!u.isStart) {
        MsgBox::Show(u"无效用户或密码,请重试!"_qs, MsgIcon::Critical, u"系统锁定"_qs, MsgButtons::Ok, this);
        utxtPassword->setFocus();
        utxtPassword->selectAll();
        return;
    }
    accept();
}

bool FrmLockSystem::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn && watched == utxtPassword)
        QMetaObject::invokeMethod(utxtPassword, &QLineEdit::selectAll, Qt::QueuedConnection);
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            EndScheduleProgram();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == utxtPassword)
                Guarded(this, [this] { unlock(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmLockSystem::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        EndScheduleProgram();
        return;
    }
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        return;
    QDialog::keyPressEvent(e);
}

void FrmLockSystem::reject()
{
    // No way past the lock but the password; closing it ends the program.
    EndScheduleProgram();
}
