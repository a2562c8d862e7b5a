#pragma once

#include <QString>

#include <functional>

class QAction;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QWidget;

// Helpers that the edit panels and pop-up menus of the maintenance windows
// share, so each window builds them alike and tests find them by name.

// An entry of a pop-up menu, named name; choosing it runs onChoose (guarded
// over window).
QAction* AddMenuEntry(QMenu* menu, const QString& caption, const QString& name, QWidget* window,
                      const std::function<void()>& onChoose);

// The parent row's buttons 清空 (btn_clearParent) and 选择 (btn_setParent);
// neither is a default button, and a click runs its handler (guarded).
struct ParentButtons {
    QPushButton* clear = nullptr;
    QPushButton* choose = nullptr;
};
ParentButtons MakeParentButtons(QWidget* window, QWidget* panel, const std::function<void()>& onClear,
                                const std::function<void()>& onChoose);

// The panel's remark box txt_remark: always a scroll bar, and it takes no
// Enter: Tab, Enter, Down and Up move on as in every other box.
QPlainTextEdit* MakeRemarkBox(QWidget* panel);
