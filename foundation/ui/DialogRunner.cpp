#include "DialogRunner.h"

#include <QDialog>
#include <QQueue>
#include <QStringList>

namespace
{

struct TestState {
    bool active = false;
    QQueue<DialogRunner::Handler> handlers;
    QStringList failures;
};

TestState& state()
{
    static TestState s;
    return s;
}

} // namespace

int DialogRunner::Exec(QDialog* dialog)
{
    TestState& s = state();
    if (!s.active)
        return dialog->exec();
    if (s.handlers.isEmpty()) {
        s.failures.append(QStringLiteral("unexpected dialog: ") +
                          (dialog->objectName().isEmpty() ? dialog->windowTitle() : dialog->objectName()));
        return QDialog::Rejected;
    }
    Handler handler = s.handlers.dequeue();
    dialog->setModal(true);
    dialog->show();
    const int result = handler(dialog);
    dialog->setResult(result);
    dialog->hide();
    return result;
}

void DialogRunner::BeginTest()
{
    state() = TestState{};
    state().active = true;
}

void DialogRunner::EndTest()
{
    TestState& s = state();
    while (!s.handlers.isEmpty()) {
        s.handlers.dequeue();
        s.failures.append(QStringLiteral("dialog handler left over"));
    }
    s.active = false;
}

void DialogRunner::QueueHandler(Handler handler)
{
    state().handlers.enqueue(std::move(handler));
}

int DialogRunner::PendingHandlers()
{
    return int(state().handlers.size());
}

QStringList DialogRunner::Failures()
{
    return state().failures;
}
