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

// The edge between a window and everything below it. Every handler of a
// window (a click, a key, a menu entry) runs its work through Guarded: any
// failure that comes up (a DbError, any other exception) is shown over the
// window with the title "System", and the window stays usable. Answers
// whether the work ran through.
bool Guarded(QWidget* window, const std::function<void()>& work);
// The same for the few handlers whose failure message looks otherwise.
bool Guarded(QWidget* window, const GuardStyle& style, const std::function<void()>& work);

// Shows a failed write's text (title "System") over the window; answers
// whether the write succeeded.
bool ShowIfFailed(QWidget* window, const m_DBresult& result);
