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

// Selects a block as a user does: a click on one corner cell, a
// Shift+click on the other.
inline void selectCells(FlexGrid* grid, int row1, int col1, int row2, int col2)
{
    clickCell(grid, row1, col1);
    const QModelIndex index = grid->model()->index(row2 - grid->FixedRows(), col2);
    grid->scrollTo(index);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ShiftModifier, grid->visualRect(index).center());
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
