#pragma once

#include "MsgBox.h"

#include <QString>
#include <functional>
#include <utility>

class QWidget;
class m_DBresult;

// How a guarded handler shows its failure: the icon, the title and a text put
// before the failure's own text. The default is the system's error message
// (exclamation icon, title "System").
struct GuardStyle {
    explicit GuardStyle(MsgIcon icon = MsgIcon::Exclamation, QString title = QStringLiteral("System"),
                        QString prefix = {})
        : icon(icon), title(std::move(title)), prefix(std::move(prefix))
    {
    }
    MsgIcon icon;
    QString title;
    QString prefix;
};

// The busy cursor of the program. While a window's handler runs (every
// handler passes through Guarded, which holds one BusyCursor) the mouse shows
// the busy cursor, so long work (an export, a sort of a year, a report over
// everything, a backup) never looks like a hang; it is restored when the
// handler ends, also when it fails. A dialog or message box shown from a
// handler lifts it while it is open (DialogCursor), so the user works the
// dialog with the ordinary arrow. Scopes nest.
class BusyCursor
{
  public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

    // Whether a handler is running now (a long wait reported from below, a
    // locked database for one, can be shown against it).
    static bool Active();

  private:
    bool m_shown = false;
};

// Installs the busy signs that come from below the windows: the progress of a
// long export, and the busy cursor while a statement waits for another
// workstation's lock. Called at start; the first handler calls it too.
void InstallBusySigns();

// Lifts the busy cursor for as long as a dialog is open.
class DialogCursor
{
  public:
    DialogCursor();
    ~DialogCursor();
    DialogCursor(const DialogCursor&) = delete;
    DialogCursor& operator=(const DialogCursor&) = delete;

  private:
    bool m_shown = false;
};

// The edge between a window and everything below it. Every handler of a
// window (a click, a key, a menu entry) runs its work through Guarded: the
// busy cursor shows while it runs; any failure that comes up (a DbError, any
// other exception) is shown over the window with the title "System", and the
// window stays usable. Answers whether the work ran through.
bool Guarded(QWidget* window, const std::function<void()>& work);
// The same for the few handlers whose failure message looks otherwise.
bool Guarded(QWidget* window, const GuardStyle& style, const std::function<void()>& work);

// Shows a failed write's text (title "System") over the window; answers
// whether the write succeeded.
bool ShowIfFailed(QWidget* window, const m_DBresult& result);
