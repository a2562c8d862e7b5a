#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

enum class MsgIcon { None, Information, Exclamation, Critical, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };
// The button Enter presses: the first (Yes, Ok) unless a question names another.
enum class MsgDefault { First, Second, Third };

struct ShownMessage {
    MsgIcon icon;
    QString title;
    QString text;
    MsgButtons buttons;
    MsgDefault defaultButton = MsgDefault::First;
    // The window the message is shown over: the one given, else the owner
    // finder's (the active window); null when there is none.
    QWidget* parent = nullptr;
    // What the box shows only on request, below the text: a failure's own
    // technical words (the database's English text); empty for none.
    QString details;
};

// Every message and question of the program goes through here. In test mode
// nothing is shown: every message is recorded, and questions take their answers
// from a queue the test fills beforehand. A question with no answer queued is
// recorded as a failure (and answered No/Cancel), as is an answer left over.
class MsgBox
{
  public:
    // The default title of a message box: the program's title.
    static QString DefaultTitle();

    static MsgAnswer Show(const QString& text, MsgIcon icon = MsgIcon::Information, const QString& title = {},
                          MsgButtons buttons = MsgButtons::Ok, QWidget* parent = nullptr,
                          MsgDefault defaultButton = MsgDefault::First);
    // A message (Ok only) whose box holds details, shown on request.
    static void ShowWithDetails(const QString& text, const QString& details, MsgIcon icon,
                                const QString& title = {}, QWidget* parent = nullptr);

    static void Info(const QString& text, const QString& title = {}, QWidget* parent = nullptr);
    static void Warn(const QString& text, const QString& title = {}, QWidget* parent = nullptr);
    // A Yes/No question with the question icon; true for Yes.
    static bool Ask(const QString& text, const QString& title = {}, QWidget* parent = nullptr);
    // A database or runtime error: exclamation icon, title "System"; the
    // database's own words, if any, in the box's details.
    static void SystemError(const QString& text, QWidget* parent = nullptr, const QString& details = {});

    // Shows a message and returns the answer. The facade itself shows no
    // window, so that data code may report through it: a program with windows
    // installs the message boxes (InstallMessageBoxes, MessageBoxes.h) at start.
    using Presenter = std::function<MsgAnswer(const ShownMessage&, QWidget* parent)>;
    // Finds the window a message without a parent belongs to, so that it
    // appears over the window that raised it rather than in the screen's middle.
    static void SetOwnerFinder(std::function<QWidget*()> finder);
    static void SetPresenter(Presenter presenter);

    // ---- test mode ----
    static void BeginTest();
    static void EndTest();
    static bool InTest();
    static void QueueAnswer(MsgAnswer answer);
    static int PendingAnswers();
    static const QList<ShownMessage>& Shown();
    static QStringList ShownTexts();
    static QString LastText();
    static void ClearShown();
    // Problems found so far (unexpected questions); EndTest adds left-over answers.
    static QStringList Failures();
};
