#pragma once

#include <QString>
#include <functional>

class QWidget;
class m_DBresult;

// The edge between a window and everything below it. Every handler of a
// window (a click, a key, a menu entry) runs its work through Guarded: any
// failure that comes up (a DbError, any other exception) is shown over the
// window with the title "System", and the window stays usable. Answers
// whether the work ran through.
bool Guarded(QWidget* window, const std::function<void()>& work);

// Shows a failed write's text (title "System") over the window; answers
// whether the write succeeded.
bool ShowIfFailed(QWidget* window, const m_DBresult& result);
