#include "MsgBox.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QQueue>

namespace {

struct TestState
{
    bool active = false;
    QQueue<MsgAnswer> answers;
    QList<ShownMessage> shown;
    QStringList failures;
};

TestState& state()
{
    static TestState s;
    return s;
}

MsgAnswer defaultAnswer(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgAnswer::Ok;
    case MsgButtons::OkCancel:
        return MsgAnswer::Cancel;
    case MsgButtons::YesNo:
        return MsgAnswer::No;
    case MsgButtons::YesNoCancel:
        return MsgAnswer::Cancel;
    }
    return MsgAnswer::Ok;
}

} // namespace

QString MsgBox::DefaultTitle()
{
    return QStringLiteral("朗岱仓库管理系统");
}

MsgAnswer MsgBox::Show(const QString& text, MsgIcon icon, const QString& title, MsgButtons buttons,
                       QWidget* parent)
{
    const QString caption = title.isEmpty() ? DefaultTitle() : title;
    TestState& s = state();
    if (s.active) {
        s.shown.append({icon, caption, text, buttons});
        if (buttons == MsgButtons::Ok)
            return MsgAnswer::Ok;
        if (s.answers.isEmpty()) {
            s.failures.append(QStringLiteral("unexpected question: ") + text);
            return defaultAnswer(buttons);
        }
        return s.answers.dequeue();
    }

    QMessageBox box(parent);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
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
    const std::pair<QMessageBox::StandardButton, const char*> captions[] = {
        {QMessageBox::Yes, "是(&Y)"}, {QMessageBox::No, "否(&N)"}, {QMessageBox::Ok, "确定"},
        {QMessageBox::Cancel, "取消"}};
    for (const auto& [which, caption] : captions) {
        if (QAbstractButton* b = box.button(which))
            b->setText(QString::fromUtf8(caption));
    }
    switch (box.exec()) {
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

void MsgBox::Info(const QString& text, const QString& title, QWidget* parent)
{
    Show(text, MsgIcon::Information, title, MsgButtons::Ok, parent);
}

void MsgBox::Warn(const QString& text, const QString& title, QWidget* parent)
{
    Show(text, MsgIcon::Exclamation, title, MsgButtons::Ok, parent);
}

bool MsgBox::Ask(const QString& text, const QString& title, QWidget* parent)
{
    return Show(text, MsgIcon::Question, title, MsgButtons::YesNo, parent) == MsgAnswer::Yes;
}

void MsgBox::SystemError(const QString& text, QWidget* parent)
{
    Show(text, MsgIcon::Exclamation, QStringLiteral("System"), MsgButtons::Ok, parent);
}

void MsgBox::BeginTest()
{
    state() = TestState{};
    state().active = true;
}

void MsgBox::EndTest()
{
    TestState& s = state();
    while (!s.answers.isEmpty()) {
        s.answers.dequeue();
        s.failures.append(QStringLiteral("answer left over"));
    }
    s.active = false;
}

bool MsgBox::InTest()
{
    return state().active;
}

void MsgBox::QueueAnswer(MsgAnswer answer)
{
    state().answers.enqueue(answer);
}

int MsgBox::PendingAnswers()
{
    return int(state().answers.size());
}

const QList<ShownMessage>& MsgBox::Shown()
{
    return state().shown;
}

QStringList MsgBox::ShownTexts()
{
    QStringList texts;
    for (const ShownMessage& m : state().shown)
        texts.append(m.text);
    return texts;
}

QString MsgBox::LastText()
{
    return state().shown.isEmpty() ? QString() : state().shown.last().text;
}

void MsgBox::ClearShown()
{
    state().shown.clear();
}

QStringList MsgBox::Failures()
{
    return state().failures;
}
