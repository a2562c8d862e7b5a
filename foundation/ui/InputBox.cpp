#include "InputBox.h"

#include <QInputDialog>
#include <QQueue>

namespace
{

struct TestState {
    bool active = false;
    QQueue<QString> answers;
    QStringList prompts;
    QStringList failures;
};

TestState& state()
{
    static TestState s;
    return s;
}

} // namespace

QString InputBox::Ask(const QString& prompt, const QString& title, const QString& defaultText,
                      QWidget* parent)
{
    TestState& s = state();
    if (s.active) {
        s.prompts.append(prompt);
        if (s.answers.isEmpty()) {
            s.failures.append(QStringLiteral("unexpected input box: ") + prompt);
            return {};
        }
        return s.answers.dequeue();
    }
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

void InputBox::BeginTest()
{
    state() = TestState();
    state().active = true;
}

void InputBox::EndTest()
{
    TestState& s = state();
    if (!s.answers.isEmpty())
        s.failures.append(QStringLiteral("input box answers left over: %1").arg(s.answers.size()));
    s.answers.clear();
    s.active = false;
}

void InputBox::QueueAnswer(const QString& text)
{
    state().answers.enqueue(text);
}

int InputBox::PendingAnswers()
{
    return int(state().answers.size());
}

QStringList InputBox::Prompts()
{
    return state().prompts;
}

QStringList InputBox::Failures()
{
    return state().failures;
}
