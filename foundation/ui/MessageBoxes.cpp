#include "MessageBoxes.h"

#include "DialogRunner.h"
#include "Guarded.h"
#include "MsgBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <utility>

namespace
{

MsgAnswer showBox(const ShownMessage& message, QWidget* parent)
{
    QMessageBox box(parent);
    box.setWindowTitle(message.title);
    box.setText(message.text);
    if (!message.details.isEmpty())
        box.setDetailedText(message.details);
    switch (message.icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    const MsgButtons buttons = message.buttons;
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    const std::pair<QMessageBox::StandardButton, const char*> captions[] = {{QMessageBox::Yes, "是(&Y)"},
                                                                            {QMessageBox::No, "否(&N)"},
                                                                            {QMessageBox::Ok, "确定"},
                                                                            {QMessageBox::Cancel, "取消"}};
    for (const auto& [which, caption] : captions) {
        if (QAbstractButton* b = box.button(which))
            b->setText(QString::fromUtf8(caption));
    }
    // Enter presses the default button: the first one unless the question names another.
    const QList<QMessageBox::StandardButton> order = {QMessageBox::Yes, QMessageBox::Ok, QMessageBox::No,
                                                      QMessageBox::Cancel};
    QList<QAbstractButton*> present;
    for (QMessageBox::StandardButton which : order) {
        if (QAbstractButton* b = box.button(which))
            present.append(b);
    }
    const int wanted = int(message.defaultButton);
    if (wanted < present.size())
        box.setDefaultButton(qobject_cast<QPushButton*>(present.at(wanted)));
    const DialogCursor arrow;
    const int pressed = box.exec();
    DialogRunner::ReturnToOwner(&box);
    switch (pressed) {
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    case QMessageBox::Ok:
        return MsgAnswer::Ok;
    default:
        return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
    }
}

} // namespace

void InstallMessageBoxes()
{
    MsgBox::SetPresenter(showBox);
    MsgBox::SetOwnerFinder([]() -> QWidget* {
        if (QWidget* modal = QApplication::activeModalWidget())
            return modal;
        return QApplication::activeWindow();
    });
}
