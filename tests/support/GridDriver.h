#pragma once

// Works a FlexGrid the way a user does: a click on a cell, and typing into a
// cell's editor through the focus path.

#include "FlexGrid.h"
#include "UiDriver.h"

namespace ui
{

inline void clickCell(FlexGrid* grid, int row, int col)
{
    const QModelIndex index = grid->model()->index(row - grid->FixedRows(), col);
    grid->scrollTo(index);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
    QApplication::processEvents();
}

// Presses the right button on a cell, as a user opening the grid's menu does.
inline void rightClickCell(FlexGrid* grid, int row, int col)
{
    const QModelIndex index = grid->model()->index(row - grid->FixedRows(), col);
    grid->scrollTo(index);
    QTest::mousePress(grid->viewport(), Qt::RightButton, {}, grid->visualRect(index).center());
    QApplication::processEvents();
}

// Replaces a cell's text: click the cell, open its editor, clear it, type,
// and end the edit with Enter.
inline void typeCell(FlexGrid* grid, int row, int col, const QString& value)
{
    clickCell(grid, row, col);
    focusOn(grid);
    grid->Select(row, col);
    grid->EditCell();
    ASSERT_TRUE(grid->IsEditing()) << row << "," << col;
    press(Qt::Key_End);
    press(Qt::Key_Home, Qt::ShiftModifier);
    press(Qt::Key_Delete);
    type(value);
    press(Qt::Key_Return);
}

} // namespace ui
