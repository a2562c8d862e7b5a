#pragma once

// FlexGrid: the one grid control of the program. Every list, bill and report
// window works it through the same members, with the names and the indexing
// described here.
//
// Indexing: rows and columns count from 0 and the fixed (header) rows and
// columns are real rows and columns of the grid. With FixedRows = 1, row 0 is
// the header and TextMatrix(0, c) its caption; data rows are FixedRows ..
// Rows() - 1. Widths and heights are in twips (1440 a logical inch, so 15 a
// pixel at 96 DPI); colours are 0xBBGGRR integers (12640511 = RGB(255,224,192)).
//
// Members:
//   shape        Rows/setRows, Cols/setCols, FixedRows/setFixedRows, FixedCols/setFixedCols,
//                AddItem(text, index), RemoveItem(index), Clear(where, what), setRowPosition
//   cells        TextMatrix/setTextMatrix (also by column key), Cell/setCell(property, r1, c1, r2, c2)
//                with flexcpText, flexcpAlignment, flexcpPicture, flexcpChecked, flexcpBackColor,
//                flexcpForeColor, flexcpFontBold, flexcpFontItalic, flexcpFontSize; typed shortcuts
//                setCellBackColor, setCellForeColor, setCellAlignment, setCellFontBold,
//                CellPicture/setCellPicture, CellBackColor; FindRow; LoadRecordSet (copy rows)
//   columns      ColKey/setColKey, ColIndex(key), ColWidth/setColWidth, ColHidden/setColHidden,
//                ColAlignment/setColAlignment, ColDataType/setColDataType (flexDTBoolean = check
//                box cells, "-1" checked, "0" not), ColComboList/setColComboList ("a|b",
//                "#1;a|#2;b", a leading "|" lets the user type too), ColComboData,
//                ColEditable/setColEditable, AutoSize, FormatString/setFormatString
//                ("^序号|<名称 |>数量": "<" left, "^" centre, ">" right, trailing blanks widen)
//   rows         RowHeight/setRowHeight, RowHeightMin/setRowHeightMin, RowHidden/setRowHidden,
//                RowData/setRowData: a value of the window's own kept with a row (see below)
//   merging      MergeCells/setMergeCells, MergeRow/setMergeRow, MergeCol/setMergeCol: equal
//                neighbouring captions of the fixed rows are drawn as one cell
//   cursor       Row/setRow, Col/setCol, RowSel/setRowSel, ColSel/setColSel, Select,
//                TopRow/setTopRow, LeftCol/setLeftCol, ShowCell, MouseRow, MouseCol,
//                SelectionMode/setSelectionMode
//   editing      Editable/setEditable (flexEDNone, flexEDKbd, flexEDKbdMouse), EditCell,
//                IsEditing, EditText/setEditText, Clip/setClip (tab between cells, CR between rows),
//                ClipSpansRows, ClipRowData/setClipRowData
//   sorting      ExplorerBar/setExplorerBar (flexExSort, flexExSortShow: header click sorts),
//                Sort(col, order): numbers as numbers, texts in Chinese collation
//   look         Redraw/setRedraw, BackColorFixed, ForeColorFixed, BackColorAlternate,
//                GridColor (setters), OleColor/ToOleColor, TwipsToPixels/PixelsToTwips
//   row drag     DragRow(row): the user drops the row on another place
//   events       AfterRowColChange, BeforeRowColChange (cancel), SelChange, BeforeEdit (cancel),
//                StartEdit (cancel), ValidateEdit (cancel), AfterEdit, KeyDown (key code 0
//                swallows it), KeyPress (character 0 swallows it), KeyDownEdit, KeyPressEdit,
//                Click, DblClick, MouseDown (also on the header; x, y in pixels of the
//                cells' area, viewport(), so a header click has a negative y), BeforeSort
//                (cancel), AfterSort
//
// Row/Col is the cursor cell, RowSel/ColSel the far corner of the selected
// block; moving the cursor drops the block. A right press on a row outside the
// selected rows first makes its cell the cursor (as a left click would), so a
// right-click menu acts on the row under the pointer; inside the selected rows
// it keeps the block the menu acts on. Enter in an
// editor ends the edit (ValidateEdit may refuse and keep the editor open;
// leaving the cell otherwise drops a refused text) and then goes on as Enter
// on the grid: KeyDown, KeyPress and the helper see it, so a grid that moves
// on Enter moves on with the same press; Enter is the grid's own and never
// reaches a dialog's default button. Tab, in an editor or on the grid, does
// what Enter does, and Shift+Tab moves back as Tab moves on; where Enter moves
// nowhere they leave the grid by the tab order (after ending the edit). An
// editor left for another sub-window of the same frame is committed and kept
// until its window is entered again, so the focus comes back to the grid's
// cell. KeyPressEdit sees typed characters, Backspace and Enter; Tab and
// Delete are no typing.
// A column is shown at least as wide as its widest figure (FlexTextIsFigure),
// so a number is read whole; a column made narrower by hand shows a cut
// figure with a mark ("…") at its end, never as other digits.
// Key codes are Qt key codes; KeyPress and KeyPressEdit carry the typed
// character's code (13 for Enter, 8 for Backspace), as the windows test them.
// A helper such as the bill grid helper attaches itself with setHelper and sees
// keys and mouse presses after the window's own handlers.
//
// Row data: each row holds one value besides its cells, never shown, for
// what a window keeps per row (a bill line's ids). It belongs to the row: it
// moves with it when rows are inserted, removed, sorted or moved, and is gone
// with it. A new row, an added or inserted one and every row a record set
// loads, has none (an invalid QVariant). Clearing cells leaves it. The copy
// and paste of the line-entry helper (uvg) carry it with whole rows.
//
// Out-of-range cells read as "" and writes to them are ignored; out-of-range
// row data reads as none and writes to it are ignored.

#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <QTableView>
#include <array>
#include <memory>

class RecordSet;
class FlexGridModel;
class FlexGridHeader;
class FlexGridDelegate;

// What a helper bound to the grid receives. Returning true swallows the key.
class FlexGridHelper
{
  public:
    virtual ~FlexGridHelper() = default;
    virtual bool gridKeyDown(int key, Qt::KeyboardModifiers modifiers) = 0;
    virtual bool gridKeyPress(int keyAscii) = 0;
    virtual void gridMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                               const QPoint& pos) = 0;
    // Shift+Tab: moves back one cell as Enter moves on; false where Enter moves nowhere.
    virtual bool gridKeyBack() { return false; }
};

class FlexGrid : public QTableView
{
    Q_OBJECT

  public:
    enum CellProperty {
        flexcpText = 0,
        flexcpAlignment = 2,
        flexcpPicture = 3,
        flexcpPictureAlignment = 4,
        flexcpChecked = 5,
        flexcpBackColor = 6,
        flexcpForeColor = 7,
        flexcpFontSize = 12,
        flexcpFontBold = 13,
        flexcpFontItalic = 14,
    };
    enum AlignmentSettings {
        flexAlignLeftTop = 0,
        flexAlignLeftCenter = 1,
        flexAlignLeftBottom = 2,
        flexAlignCenterTop = 3,
        flexAlignCenterCenter = 4,
        flexAlignCenterBottom = 5,
        flexAlignRightTop = 6,
        flexAlignRightCenter = 7,
        flexAlignRightBottom = 8,
        flexAlignGeneral = 9, // text left, numbers right
    };
    enum EditableSettings { flexEDNone = 0, flexEDKbd = 1, flexEDKbdMouse = 2 };
    enum ExplorerBarSettings { flexExNone = 0, flexExSort = 1, flexExSortShow = 5 };
    enum MergeSettings { flexMergeNever = 0, flexMergeFree = 1, flexMergeFixedOnly = 5 };
    enum DataTypeSettings { flexDTEmpty = 0, flexDTString = 8, flexDTBoolean = 11 };
    enum SelectionModeSettings { flexSelectionFree = 0, flexSelectionByRow = 1, flexSelectionListBox = 3 };
    enum ClearWhere { flexClearEverywhere = 0, flexClearScrollable = 1, flexClearSelection = 2 };
    enum ClearWhat { flexClearEverything = 0, flexClearText = 1, flexClearFormatting = 2 };

    explicit FlexGrid(QWidget* parent = nullptr);
    ~FlexGrid() override;

    // ---- shape ----
    int Rows() const;
    void setRows(int rows);
    int Cols() const;
    void setCols(int cols);
    int FixedRows() const;
    void setFixedRows(int rows);
    int FixedCols() const;
    void setFixedCols(int cols);
    // Inserts a row at index (appends when index < 0); the item's tab-separated
    // texts fill the row from column 0.
    void AddItem(const QString& item, int index = -1);
    void RemoveItem(int index);
    void Clear(int where = flexClearEverywhere, int what = flexClearEverything);
    // Moves a data row to another data row position.
    void setRowPosition(int row, int position);

    // ---- cells ----
    QString TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);
    QString TextMatrix(int row, const QString& colKey) const;
    void setTextMatrix(int row, const QString& colKey, const QString& text);
    QVariant Cell(int property, int row, int col) const;
    // Sets a property over the block (row1, col1) - (row2, col2); -1 for row2/col2 means the same as
    // row1/col1.
    void setCell(int property, int row1, int col1, int row2, int col2, const QVariant& value);
    void setCellBackColor(int row1, int col1, int row2, int col2, int oleColor);
    void setCellForeColor(int row1, int col1, int row2, int col2, int oleColor);
    void setCellAlignment(int row1, int col1, int row2, int col2, int alignment);
    void setCellFontBold(int row1, int col1, int row2, int col2, bool bold);
    // -1 when the cell has no colour of its own.
    int CellBackColor(int row, int col) const;
    QPixmap CellPicture(int row, int col) const;
    void setCellPicture(int row, int col, const QPixmap& picture);
    // The first row from startRow (the first data row when < 0) whose cell in col
    // equals text; -1 when none.
    int FindRow(const QString& text, int startRow, int col, bool caseSensitive = true,
                bool fullMatch = true) const;
    // Replaces the data rows by the rows of rs, field k in column FixedCols + k.
    // A grid without a format string takes the field names as captions and
    // exactly the columns it needs; otherwise it keeps its captions and only grows.
    void LoadRecordSet(const RecordSet& rs);
    // Adds the rows of rs after the last data row (a list read page by page),
    // field k in column FixedCols + k; the cursor stays where it is.
    void AppendRecordSet(const RecordSet& rs);

    // ---- columns ----
    QString ColKey(int col) const;
    void setColKey(int col, const QString& key);
    int ColIndex(const QString& key) const; // -1 when no column has the key
    int ColWidth(int col) const;
    void setColWidth(int col, int twips);
    bool ColHidden(int col) const;
    void setColHidden(int col, bool hidden);
    int ColAlignment(int col) const;
    void setColAlignment(int col, int alignment);
    int ColDataType(int col) const;
    void setColDataType(int col, int dataType);
    QString ColComboList(int col) const;
    void setColComboList(int col, const QString& list);
    // The "#n" data of an item text of the column's combo list; empty when none.
    QString ColComboData(int col, const QString& itemText) const;
    bool ColEditable(int col) const;
    void setColEditable(int col, bool editable);
    // Widens (or narrows) the columns to their longest text.
    void AutoSize(int col1, int col2 = -1);
    QString FormatString() const;
    void setFormatString(const QString& format);

    // ---- rows ----
    int RowHeight(int row) const;
    void setRowHeight(int row, int twips);
    int RowHeightMin() const;
    void setRowHeightMin(int twips);
    bool RowHidden(int row) const;
    void setRowHidden(int row, bool hidden);
    QVariant RowData(int row) const;
    void setRowData(int row, const QVariant& value);

    // ---- merging ----
    int MergeCells() const;
    void setMergeCells(int mode);
    bool MergeRow(int row) const;
    void setMergeRow(int row, bool merge);
    bool MergeCol(int col) const;
    void setMergeCol(int col, bool merge);
    // The block of fixed cells drawn together with (row, col): first and last row and column.
    QRect MergedRange(int row, int col) const;

    // ---- cursor and selection ----
    int Row() const;
    void setRow(int row);
    int Col() const;
    void setCol(int col);
    int RowSel() const;
    void setRowSel(int row);
    int ColSel() const;
    void setColSel(int col);
    void Select(int row1, int col1, int row2 = -1, int col2 = -1);
    int TopRow() const;
    void setTopRow(int row);
    int LeftCol() const;
    void setLeftCol(int col);
    void ShowCell(int row, int col);
    int MouseRow() const { return m_mouseRow; }
    int MouseCol() const { return m_mouseCol; }
    int SelectionMode() const { return m_selectionMode; }
    void setSelectionMode(int mode);

    // ---- editing ----
    int Editable() const { return m_editable; }
    void setEditable(int mode);
    // Opens the current cell's editor (BeforeEdit may still refuse).
    void EditCell();
    // Ends an open edit as leaving the cell does: the text is committed (a
    // text ValidateEdit refuses is dropped) and the editor closed; an editor
    // kept for its window's return is closed too.
    void FinishEdit();
    bool IsEditing() const;
    QString EditText() const;
    void setEditText(const QString& text);
    // Whether typing the character into the open editor, over its selected
    // text, leaves it one number: an optional leading "-", digits and at most
    // one ".". Backspace and Enter keep it so.
    bool EditKeepsOneNumber(int keyAscii) const;
    QString Clip() const;
    void setClip(const QString& text);
    // Whether the selected block holds whole data rows: it lies in the data
    // rows and covers every shown data column.
    bool ClipSpansRows() const;
    // The row data of the selected block's rows, top down.
    QVariantList ClipRowData() const;
    // Gives the selected block's rows, top down, the values as their row data
    // (none to a row past the list's end), when the block holds whole rows;
    // otherwise does nothing.
    void setClipRowData(const QVariantList& values);
    // Does nothing: typed keys never move the cursor to a matching row.
    void keyboardSearch(const QString& search) override;

    // ---- sorting ----
    int ExplorerBar() const { return m_explorerBar; }
    void setExplorerBar(int setting);
    void Sort(int col, Qt::SortOrder order);
    // Shows col as sorted in order without moving rows: for a list sorted
    // where it was read (col -1: none).
    void setSortIndicator(int col, Qt::SortOrder order);

    // ---- look ----
    bool Redraw() const { return m_redraw; }
    void setRedraw(bool on);
    void setBackColorFixed(int oleColor);
    void setForeColorFixed(int oleColor);
    void setBackColorAlternate(int oleColor);
    void setGridColor(int oleColor);
    static QColor OleColor(int bgr);
    static int ToOleColor(const QColor& color);
    int TwipsToPixels(int twips) const;
    int PixelsToTwips(int pixels) const;

    // ---- row drag ----
    void DragRow(int row);

    // ---- helper ----
    void setHelper(FlexGridHelper* helper) { m_helper = helper; }
    FlexGridHelper* helper() const { return m_helper; }

  signals:
    void AfterRowColChange(int oldRow, int oldCol, int newRow, int newCol);
    void BeforeRowColChange(int oldRow, int oldCol, int newRow, int newCol, bool& cancel);
    void SelChange();
    void BeforeEdit(int row, int col, bool& cancel);
    void StartEdit(int row, int col, bool& cancel);
    void ValidateEdit(int row, int col, bool& cancel);
    void AfterEdit(int row, int col);
    void KeyDown(int& keyCode, Qt::KeyboardModifiers shift);
    void KeyPress(int& keyAscii);
    void KeyDownEdit(int row, int col, int& keyCode, Qt::KeyboardModifiers shift);
    void KeyPressEdit(int row, int col, int& keyAscii);
    void Click();
    void DblClick();
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void BeforeSort(int col, Qt::SortOrder order, bool& cancel);
    void AfterSort(int col, Qt::SortOrder order);

  protected:
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

  private:
    friend class FlexGridModel;
    friend class FlexGridHeader;
    friend class FlexGridDelegate;

    struct ComboItem {
        QString data;
        QString text;
    };
    static QList<ComboItem> parseComboList(const QString& list, bool* userMayType = nullptr);

    bool validRow(int row) const { return row >= 0 && row < Rows(); }
    bool validCol(int col) const { return col >= 0 && col < Cols(); }
    // The column the cursor rests in for col: col itself when shown, else the
    // nearest shown data column (to the right first).
    int shownCol(int col) const;
    bool isDataRow(int row) const { return row >= FixedRows() && row < Rows(); }
    QModelIndex modelIndex(int row, int col) const;
    void setCurrentCell(int row, int col);
    void reportRowColChange();
    void updateHeaderGeometry();
    void applyColumn(int col);
    void applyRowHeights();
    void onHeaderClicked(int col);
    void toggleCheck(int row, int col);
    bool canEditCell(int row, int col) const;
    void editorKey(QWidget* editor, QKeyEvent* event, bool& swallow);
    void editorTab(QWidget* editor, bool forward);
    // Tab and Shift+Tab on the grid: on to the next cell as Enter, back to the
    // previous; true when the grid moved.
    bool tabMove(bool forward);
    // An editor that lost the focus to another sub-window of this frame is
    // committed and kept (true); any other loss is the delegate's to handle.
    bool keepEditorOnFocusOut(QWidget* editor);
    void focusMoved(QWidget* now);
    // Figures and the room they need.
    void noteCellText(int row, int col, const QString& text, bool remeasure = false);
    void refitColumns(int fromRow);
    int figureEstimate(const QString& text) const;
    int figurePixels(int row, int col, const QString& text) const;
    int textMargin() const;
    int shownWidth(int col) const;
    int defaultRowPixels() const;
    int fixedRowPixels(int row) const;
    void emitMouseDown(QMouseEvent* event, const QPoint& gridPos);

    FlexGridModel* m_model = nullptr;
    FlexGridHeader* m_header = nullptr;
    FlexGridDelegate* m_delegate = nullptr;
    QPointer<QWidget> m_editor;
    QPointer<QWidget> m_keptEditor; // committed, waiting for its window to be entered again
    FlexGridHelper* m_helper = nullptr;

    int m_virtualRow = -1; // Row() when the cursor stands outside the data cells
    int m_virtualCol = -1;
    int m_lastRow = -1; // the cell AfterRowColChange last reported
    int m_lastCol = -1;
    int m_mouseRow = -1;
    int m_mouseCol = -1;
    int m_pressRow = -1;
    int m_pressCol = -1;
    int m_dragRow = -1;
    int m_editable = flexEDNone;
    int m_explorerBar = flexExNone;
    int m_selectionMode = flexSelectionFree;
    int m_mergeCells = flexMergeNever;
    int m_rowHeightMin = 0;
    int m_sortCol = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_redraw = true;
    bool m_settingWidth = false;
    bool m_validateRefused = false;
    bool m_quiet = false;
    bool m_afterEditPending = false;
    bool m_keyUsed = false; // the last key reaching keyPressEvent was taken by a handler
    mutable std::array<int, 128> m_asciiAdvances{}; // the font's advances, 0 until measured
    mutable QHash<char16_t, int> m_advances;
    int m_editRow = -1;
    int m_editCol = -1;
    QString m_formatString;
};
