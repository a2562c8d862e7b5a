#include "MsgBox.h"

#include <QQueue>

#include <utility>

namespace
{

struct TestState {
    bool active = false;
    QQueue<MsgAnswer> answers;
    QList<ShownMessage> shown;
    QStringList failures;
    MsgBox::Presenter presenter;
    std::function<QWidget*()> ownerFinder;
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

namespace
{

MsgAnswer present(ShownMessage message)
{
    if (message.title.isEmpty())
        message.title = MsgBox::DefaultTitle();
    TestState& s = state();
    if (!message.parent && s.ownerFinder)
        message.parent = s.ownerFinder();
    if (s.active) {
        s.shown.append(message);
        if (message.buttons == MsgButtons::Ok)
            return MsgAnswer::Ok;
        if (s.answers.isEmpty()) {
            s.failures.append(QStringLiteral("unexpected question: ") + message.text);
            return defaultAnswer(message.buttons);
        }
        return s.answers.dequeue();
    }

    if (s.presenter)
        return s.presenter(message, message.parent);
    // A program without windows (a command-line tool) has no one to ask.
    if (message.details.isEmpty())
        qWarning("%s: %s", qPrintable(message.title), qPrintable(message.text));
    else
        qWarning("%s: %s (%s)", qPrintable(message.title), qPrintable(message.text),
                 qPrintable(message.details));
    return defaultAnswer(message.buttons);
}

} // namespace

MsgAnswer MsgBox::Show(const QString& text, MsgIcon icon, const QString& title, MsgButtons buttons,
                       QWidget* parent, MsgDefault defaultButton)
{
    return present(ShownMessage{icon, title, text, buttons, defaultButton, parent, {}});
}

void MsgBox::ShowWithDetails(const QString& text, const QString& details, MsgIcon icon, const QString& title,
                             QWidget* parent)
{
    present(ShownMessage{icon, title, text, MsgButtons::Ok, MsgDefault::First, parent, details});
}

void MsgBox::SetOwnerFinder(std::function<QWidget*()> finder)
{
    state().ownerFinder = std::move(finder);
}

void MsgBox::SetPresenter(Presenter presenter)
{
    state().presenter = std::move(presenter);
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

void MsgBox::SystemError(const QString& text, QWidget* parent, const QString& details)
{
    ShowWithDetails(text, details, MsgIcon::Exclamation, QStringLiteral("System"), parent);
}

void MsgBox::BeginTest()
{
    MsgBox::Presenter presenter = std::move(state().presenter);
    std::function<QWidget*()> ownerFinder = std::move(state().ownerFinder);
    state() = TestState{};
    state().presenter = std::move(presenter);
    state().ownerFinder = std::move(ownerFinder);
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
