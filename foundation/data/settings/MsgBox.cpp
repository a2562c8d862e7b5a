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

MsgAnswer MsgBox::Show(const QString& text, MsgIcon icon, const QString& title, MsgButtons buttons,
                       QWidget* parent, MsgDefault defaultButton)
{
    const QString caption = title.isEmpty() ? DefaultTitle() : title;
    TestState& s = state();
    if (!parent && s.ownerFinder)
        parent = s.ownerFinder();
    if (s.active) {
        s.shown.append({icon, caption, text, buttons, defaultButton, parent});
        if (buttons == MsgButtons::Ok)
            return MsgAnswer::Ok;
        if (s.answers.isEmpty()) {
            s.failures.append(QStringLiteral("unexpected question: ") + text);
            return defaultAnswer(buttons);
        }
        return s.answers.dequeue();
    }

    if (s.presenter)
        return s.presenter(ShownMessage{icon, caption, text, buttons, defaultButton, parent}, parent);
    // A program without windows (a command-line tool) has no one to ask.
    qWarning("%s: %s", qPrintable(caption), qPrintable(text));
    return defaultAnswer(buttons);
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

void MsgBox::SystemError(const QString& text, QWidget* parent)
{
    Show(text, MsgIcon::Exclamation, QStringLiteral("System"), MsgButtons::Ok, parent);
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
