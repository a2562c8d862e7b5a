#include "Guarded.h"

#include "DbError.h"
#include "WorkProgress.h"
#include "m_DBresult.h"
#include "sqlHelper.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <exception>

bool Guarded(QWidget* window, const std::function<void()>& work)
{
    return Guarded(window, GuardStyle{}, work);
}

namespace
{
int g_busyDepth = 0;

// A wait for another workstation's lock that comes outside any handler (a
// handler already shows the busy cursor) shows it for as long as it lasts.
void showLockWait(bool waiting)
{
    static bool shown = false;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    if (waiting && !shown && !BusyCursor::Active()) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        shown = true;
    } else if (!waiting && shown) {
        QGuiApplication::restoreOverrideCursor();
        shown = false;
    }
}

// While a statement waits for that lock, the windows keep drawing: what the
// window system asks to be drawn again (a closed question box's place) and
// the busy cursor reach the screen. Only drawing and window events are
// handled: no key, mouse or other input, no timer and no socket, so nothing
// starts work of its own while the statement waits.
void keepDrawn()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers |
                                    QEventLoop::X11ExcludeTimers);
}
} // namespace

void InstallBusySigns()
{
    static const bool installed = [] {
        WorkProgress::Install();
        SetLockWaitHook(showLockWait);
        SetLockWaitPoll(keepDrawn);
        return true;
    }();
    Q_UNUSED(installed);
}

BusyCursor::BusyCursor()
{
    InstallBusySigns();
    ++g_busyDepth;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        m_shown = true;
    }
}

BusyCursor::~BusyCursor()
{
    --g_busyDepth;
    if (m_shown)
        QGuiApplication::restoreOverrideCursor();
}

bool BusyCursor::Active()
{
    return g_busyDepth > 0;
}

DialogCursor::DialogCursor()
{
    if (QGuiApplication::overrideCursor() && qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
        m_shown = true;
    }
}

DialogCursor::~DialogCursor()
{
    if (m_shown)
        QGuiApplication::restoreOverrideCursor();
}

bool Guarded(QWidget* window, const GuardStyle& style, const std::function<void()>& work)
{
    QString failure;
    QString details;
    {
        const BusyCursor busy;
        try {
            work();
            return true;
        } catch (const DbError& e) {
            failure = e.message();
            details = e.details();
        } catch (const std::exception& e) {
            failure = QString::fromUtf8(e.what());
        } catch (...) {
            failure = QStringLiteral("未知错误");
        }
    }
    MsgBox::ShowWithDetails(style.prefix + failure, details, style.icon, style.title, window);
    return false;
}

bool ShowIfFailed(QWidget* window, const m_DBresult& result)
{
    if (result.isResult)
        return true;
    MsgBox::SystemError(result.str_MsgBox, window, result.str_Details);
    return false;
}
