#include "DialogRunner.h"

#include "Guarded.h"

#include <QDialog>
#include <QQueue>
#include <QStringList>
#include <QWidget>

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
    const DialogCursor arrow;
    if (!s.active) {
        const int result = dialog->exec();
        ReturnToOwner(dialog);
        return result;
    }
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
    ReturnToOwner(dialog);
    return result;
}

void DialogRunner::ReturnToOwner(QDialog* dialog)
{
    QWidget* owner = dialog->parentWidget();
    if (!owner)
        return;
    owner = owner->window();
    if (owner->isVisible() && !owner->isActiveWindow())
        owner->activateWindow();
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
