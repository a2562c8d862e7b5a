#pragma once

#include <QString>
#include <functional>

class QDialog;

// Runs modal dialogs. A program dialog is shown with Exec() instead of
// QDialog::exec(), so a test can take the place of the user: it queues a
// handler that receives the dialog (already loaded), works it like a user and
// returns the dialog's result, without a nested event loop.
class DialogRunner
{
  public:
    using Handler = std::function<int(QDialog*)>;

    static int Exec(QDialog* dialog);
    // After a dialog closes: activates the window it was shown over, so the
    // keys typed next reach that window's focus control even where nothing
    // else hands the activation back.
    static void ReturnToOwner(QDialog* dialog);

    // ---- test mode ----
    static void BeginTest();
    static void EndTest();
    static void QueueHandler(Handler handler);
    static int PendingHandlers();
    // Dialogs that came without a handler queued (by object name or title).
    static QStringList Failures();
};
