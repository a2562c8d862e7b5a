#pragma once

#include "UiDriver.h"

// Small helpers that work the shell's windows the way a user does.

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QToolBar>
#include <QWidget>
#include <gtest/gtest.h>

namespace shelltest
{

template <class T> T* child(const QObject* parent, const char* name)
{
    T* w = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// Replaces a text box's text by typing, as a user who selects all first.
inline void typeInto(QWidget* window, const char* name, const QString& text)
{
    auto* box = child<QLineEdit>(window, name);
    if (!box)
        return;
    ui::focusOn(box);
    ui::press(Qt::Key_A, Qt::ControlModifier);
    ui::press(Qt::Key_Delete);
    ui::type(text);
}

// Clicks the toolbar button of the action with that object name.
inline void clickToolbar(QWidget* window, const char* key)
{
    auto* action = child<QAction>(window, key);
    if (!action)
        return;
    for (QToolBar* bar : window->findChildren<QToolBar*>()) {
        if (QWidget* button = bar->widgetForAction(action)) {
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
    }
    ADD_FAILURE() << "no button for " << key;
}

// Clicks the row of a list or tree view whose column-0 text is text.
inline bool clickRow(QAbstractItemView* view, const QString& text)
{
    const QModelIndexList hits =
        view->model()->match(view->model()->index(0, 0), Qt::DisplayRole, text, 1, Qt::MatchExactly);
    if (hits.isEmpty())
        return false;
    QApplication::processEvents();
    view->doItemsLayout();
    view->scrollTo(hits.first());
    const QRect rect = view->visualRect(hits.first());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    return true;
}

} // namespace shelltest
