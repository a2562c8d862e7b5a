#pragma once

// Works windows the way a user does. Keys go where a user's keys go: to the
// window system's window, which hands them to the focus widget of the active
// window, so shortcuts, focus proxies, event filters and default buttons all
// take part. A test never sends a key straight to an inner child.

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QToolBar>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

namespace ui
{

template <class T> T* child(const QObject* parent, const QString& name)
{
    T* w = parent->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
}
template <class T> T* child(const QObject* parent, const char* name)
{
    return child<T>(parent, QString::fromUtf8(name));
}

// The window the window system gives the keys to: the one last activated.
// On an X display nothing may hand the activation back after a dialog closes
// (QApplication::setActiveWindow(nullptr) stands for that), yet the keys still
// reach that window, which hands them to its own focus widget.
inline QPointer<QWidget>& keyboardWindow()
{
    static QPointer<QWidget> window;
    return window;
}

// Shows the window (when hidden) and makes it the active one, as a click on
// its title bar would.
inline void activate(QWidget* window)
{
    window = window->window();
    keyboardWindow() = window;
    if (!window->isVisible())
        window->show();
    window->raise();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    QApplication::processEvents();
}

// Gives the focus to a control as a click into it would (the window is activated first).
inline void focusOn(QWidget* control)
{
    activate(control);
    control->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
}

// The widget a key typed now would reach.
inline QWidget* focused()
{
    return QApplication::focusWidget();
}

// Presses one key on the active window: it reaches the focus widget through
// the window system, with shortcut handling first.
inline void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget* target = QApplication::activePopupWidget();
    if (!target)
        target = QApplication::activeModalWidget();
    if (!target)
        target = QApplication::activeWindow();
    if (!target && keyboardWindow() && keyboardWindow()->isVisible())
        target = keyboardWindow();
    if (!target) {
        ADD_FAILURE() << "no window to press a key in";
        return;
    }
    QWindow* handle = target->window()->windowHandle();
    if (!handle) {
        ADD_FAILURE() << "the active window has no window handle";
        return;
    }
    // The text an X server gives the editing keys; a filter that judges
    // typed characters sees these too.
    QString text;
    switch (key) {
    case Qt::Key_Tab:
        text = QStringLiteral("\t");
        break;
    case Qt::Key_Backtab:
        // Shift+Tab: X gives the back-tab key with Shift held, and a tab as text.
        mods |= Qt::ShiftModifier;
        text = QStringLiteral("\t");
        break;
    case Qt::Key_Delete:
        text = QStringLiteral("\x7f");
        break;
    case Qt::Key_Backspace:
        text = QStringLiteral("\b");
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        text = QStringLiteral("\r");
        break;
    case Qt::Key_Escape:
        text = QStringLiteral("\x1b");
        break;
    default:
        QTest::keyClick(handle, key, mods);
        QApplication::processEvents();
        return;
    }
    if (mods & Qt::ControlModifier)
        text.clear();
    QTest::sendKeyEvent(QTest::Press, handle, key, text, mods);
    QTest::sendKeyEvent(QTest::Release, handle, key, text, mods);
    QApplication::processEvents();
}

// Types text at the focus widget of the active window, key by key (Chinese too).
// Each key carries the key code a keyboard gives it (Chinese, from an input
// method, an unknown key), since some editors take no key without one.
inline void type(const QString& text)
{
    for (const QChar c : text) {
        QWidget* target = QApplication::focusWidget();
        if (!target && keyboardWindow() && keyboardWindow()->isVisible())
            target = keyboardWindow()->focusWidget();
        if (!target) {
            ADD_FAILURE() << "no focus widget to type into";
            return;
        }
        const int key = c.unicode() < 128 ? c.toUpper().unicode() : int(Qt::Key_unknown);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
    }
    QApplication::processEvents();
}

// Replaces a text box's text as a user does: click into it, select all, type.
inline void typeInto(QWidget* window, const char* name, const QString& text)
{
    auto* box = child<QWidget>(window, name);
    if (!box)
        return;
    focusOn(box);
    press(Qt::Key_A, Qt::ControlModifier);
    press(Qt::Key_Delete);
    type(text);
}

inline void click(QWidget* window, const char* name)
{
    if (auto* w = child<QWidget>(window, name))
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    QApplication::processEvents();
}

// Clicks the toolbar button of the action with that object name.
inline void clickToolbar(QWidget* window, const char* key)
{
    auto* action = child<QAction>(window, key);
    if (!action)
        return;
    for (QToolBar* bar : window->findChildren<QToolBar*>()) {
        if (QWidget* button = bar->widgetForAction(action)) {
            EXPECT_TRUE(button->isEnabled()) << key;
            QTest::mouseClick(button, Qt::LeftButton);
            QApplication::processEvents();
            return;
        }
    }
    ADD_FAILURE() << "no button for " << key;
}

// Clicks the row of a list or tree view whose text in column is text.
inline bool clickRow(QAbstractItemView* view, const QString& text, int column = 0)
{
    QAbstractItemModel* model = view->model();
    const QModelIndexList hits = model->match(model->index(0, column), Qt::DisplayRole, text, 1,
                                              Qt::MatchExactly | Qt::MatchRecursive);
    if (hits.isEmpty())
        return false;
    QApplication::processEvents();
    view->doItemsLayout();
    view->scrollTo(hits.first());
    const QRect rect = view->visualRect(hits.first());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    QApplication::processEvents();
    return true;
}

} // namespace ui
