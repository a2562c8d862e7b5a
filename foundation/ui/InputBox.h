#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The one way the program asks the user for a line of text. In test mode
// nothing is shown: every prompt is recorded, and the answers come from a
// queue the test fills beforehand (an empty text stands for Cancel). A prompt
// with no answer queued is a failure (and answered as Cancel), as is an
// answer left over at the end.
class InputBox
{
  public:
    // The typed text; the empty text when the user cancels.
    static QString Ask(const QString& prompt, const QString& title, const QString& defaultText = {},
                       QWidget* parent = nullptr);

    // ---- test mode ----
    static void BeginTest();
    static void EndTest();
    static void QueueAnswer(const QString& text);
    static int PendingAnswers();
    // The prompts asked so far, oldest first.
    static QStringList Prompts();
    static QStringList Failures();
};
