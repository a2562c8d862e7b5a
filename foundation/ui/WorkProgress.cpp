#include "WorkProgress.h"

#include "ExcelExport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>

namespace
{

struct State {
    int delay = 2000;
    QElapsedTimer running;
    QPointer<QProgressDialog> window;
};

State& state()
{
    static State s;
    return s;
}

void ExportReport(qint64 rows, bool done)
{
    State& s = state();
    if (done) {
        delete s.window;
        s.running.invalidate();
        return;
    }
    if (!s.running.isValid())
        s.running.start();
    if (!s.window && s.running.elapsed() >= s.delay) {
        s.window =
            new QProgressDialog(QStringLiteral("正在导出..."), QString(), 0, 0, QApplication::activeWindow());
        s.window->setObjectName(QStringLiteral("workProgress"));
        s.window->setWindowTitle(QStringLiteral("导出"));
        s.window->setWindowModality(Qt::ApplicationModal);
        s.window->setMinimumDuration(0);
        s.window->setAutoClose(false);
        s.window->show();
    }
    if (s.window) {
        s.window->setLabelText(QStringLiteral("正在导出, 已写入 %1 行...").arg(rows));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

} // namespace

void WorkProgress::Install()
{
    SetExportProgress(ExportReport);
}

void WorkProgress::SetDelay(int milliseconds)
{
    state().delay = milliseconds;
}

QProgressDialog* WorkProgress::Current()
{
    return state().window;
}
