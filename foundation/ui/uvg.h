#pragma once

#include "FlexGrid.h"

#include <QPointer>

// The keyboard and row handling of a line-entry grid (the goods units and the
// bill lines): row numbers in column 0, Ctrl+A adds a row, Ctrl+I inserts an
// empty row at the cursor, Ctrl+D deletes the selected rows, Ctrl+C copies the
// selected cells. A block of whole rows (every shown column) copied, cut or
// pasted takes the rows' data with it (FlexGrid::RowData) within this
// program; whole rows pasted from another program's text get none, and a
// block of some columns leaves the rows' data as it is. With
// IsCheckEnterToTab, Enter moves one cell to the right and opens it for
// editing, and from the last column goes down to the first editable column of
// the next row, appending a row after the last. An optional row limit refuses
// more rows with "最大行为" + N + "行,请新建单据!".
//
// The window creates one helper per grid, calls uInit, then sets the flags.
// The helper sees the grid's keys after the window's own handlers.
class uvg : public FlexGridHelper
{
  public:
    uvg() = default;
    ~uvg() override;
    uvg(const uvg&) = delete;
    uvg& operator=(const uvg&) = delete;

    bool IsMoveRow = false;         // a left press starts a row drag
    bool IsCheckEnterToTab = false; // Enter moves to the next cell
    bool IsResetRowNum = false;     // rows are renumbered when Enter appends one
    int uHeightRow = 0;             // twips: height of added rows, minimum height of the renumbering

    // Binds the grid (its key and mouse events reach the helper from now on) and
    // keeps the row limit (0 or less: no limit). The grid itself is not changed.
    void uInit(FlexGrid* grid, int maxRows);
    FlexGrid* grid() const { return m_grid; }
    int maxRows() const { return m_maxRows; }

    void uAddRow();
    void uInsertRow();
    void uDeleteRow();
    void uCopy();
    void uCut();
    void uPaste();
    // The first visible data column; 0 when there is none.
    int uGetFirstCol() const;
    void uSetRowNo(FlexGrid* grid, int startRow, int endRow, int col, int height);
    // row is clamped to the last row in place; the cursor goes to it (row 1 at least).
    void uSetRow(FlexGrid* grid, int& row);
    void uSetRowCell(FlexGrid* grid, int row1, int col1, int row2);

    bool gridKeyDown(int key, Qt::KeyboardModifiers modifiers) override;
    bool gridKeyPress(int keyAscii) override;
    void gridMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& pos) override;
    bool gridKeyBack() override;

  private:
    // Shows the limit message and answers true when no row may be added.
    bool refusedByLimit() const;
    void enterKey();
    int firstEditableCol() const;
    int lastVisibleCol() const;

    QPointer<FlexGrid> m_grid;
    int m_maxRows = 0;
};

// Writes firstNumber, firstNumber + 1, ... into column col of rows startRow to
// endRow (nothing when startRow > endRow), then sets the grid's minimum row
// height to height (twips) unless it is -1.
void SetGridRowNo(FlexGrid* grid, int startRow, int endRow, int col, int height, int firstNumber);
