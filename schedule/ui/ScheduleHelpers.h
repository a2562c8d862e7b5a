#pragma once

#include <QString>
#include <functional>

class QPushButton;
class QWidget;

// Ends the program at once and in order: the shared record sets and the
// connection are closed, then every event loop is left. Tests replace the
// last step.
void EndScheduleProgram();
void SetScheduleQuitHook(std::function<void()> hook);

// What the schedule windows share in building their controls.
namespace ScheduleUi
{
// twips in pixels on w's screen.
int px(const QWidget* w, int twips);
// A push button named name that never takes Enter as default.
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption);
// Places a control of the calendar strip: left and width in twips, 300 high.
void place(QWidget* w, int left, int top, int width);
// The stored view of the calendar ("列表显示" when none is stored).
QString readStoredViewType();
} // namespace ScheduleUi
