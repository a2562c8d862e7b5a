#include "uvg.h"

#include "MsgBox.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUuid>
#include <cmath>

namespace
{

// Whole rows copied in this program keep their row data here; the clipboard
// carries the copy's mark under a format of the program's own, so a paste
// takes the rows' data only while the clipboard still holds that copy. Text
// from elsewhere carries none.
const QString kRowsFormat = QStringLiteral("application/x-wms-grid-rows");

struct CopiedRows {
    QByteArray mark;
    QVariantList data;
};

CopiedRows& copiedRows()
{
    static CopiedRows rows;
    return rows;
}

// The row data the clipboard's block carries: none when it is not this program's copy of whole rows.
QVariantList carriedRowData(const QClipboard* clipboard)
{
    const QMimeData* mime = clipboard->mimeData();
    const CopiedRows& rows = copiedRows();
    if (!mime || rows.mark.isEmpty() || !mime->hasFormat(kRowsFormat) || mime->data(kRowsFormat) != rows.mark)
        return {};
    return rows.data;
}

} // namespace

uvg::~uvg()
{
    if (m_grid && m_grid->helper() == this)
        m_grid->setHelper(nullptr);
}

void uvg::uInit(FlexGrid* grid, int maxRows)
{
    IsResetRowNum = true;
    if (m_grid && m_grid->helper() == this)
        m_grid->setHelper(nullptr);
    m_grid = grid;
    m_maxRows = maxRows;
    if (!grid)
        return;
    uHeightRow = grid->RowHeightMin();
    grid->setHelper(this);
}

bool uvg::refusedByLimit() const
{
    if (m_maxRows <= 0 || m_grid->Rows() - m_grid->FixedRows() < m_maxRows)
        return false;
    MsgBox::Info(QStringLiteral("最大行为") + QString::number(m_maxRows) + QStringLiteral("行,请新建单据!"),
                 QStringLiteral("System"), m_grid);
    return true;
}

void uvg::uAddRow()
{
    if (!m_grid || refusedByLimit())
        return;
    FlexGrid* g = m_grid;
    g->setRow(g->Rows() - 1);
    g->setRows(g->Rows() + 1);
    const int added = g->Rows() - 1;
    if (uHeightRow > 0)
        g->setRowHeight(added, uHeightRow);
    g->setTextMatrix(added, 0, QString::number(added));
    g->Select(added, uGetFirstCol());
    g->setTopRow(added);
}

void uvg::uInsertRow()
{
    if (!m_grid || refusedByLimit())
        return;
    FlexGrid* g = m_grid;
    const int r = g->Row();
    if (r < 1 || r < g->FixedRows())
        return;
    // The new row is empty: the line that was current moves down with its texts.
    g->AddItem(QString(), r);
    if (uHeightRow > 0)
        g->setRowHeight(r, uHeightRow);
    uSetRowNo(g, 1, g->Rows() - 1, 0, uHeightRow);
    g->Select(r + 1, g->Col() >= 0 ? g->Col() : uGetFirstCol());
    g->setTopRow(r + 1);
}

void uvg::uDeleteRow()
{
    if (!m_grid)
        return;
    FlexGrid* g = m_grid;
    const int fixed = g->FixedRows();
    if (g->RowSel() < fixed || g->Row() < fixed)
        return;
    const int lo = std::min(g->Row(), g->RowSel());
    const int hi = std::max(g->Row(), g->RowSel());
    const int col = g->Col();
    for (int r = hi; r >= lo; --r)
        g->RemoveItem(r);
    if (g->Rows() <= fixed)
        g->setRows(fixed + 1);
    // The cursor stays where the block began (the first data row at least), in its column.
    g->Select(std::clamp(lo, fixed, g->Rows() - 1), col);
    uSetRowNo(g, 1, g->Rows() - 1, 0, uHeightRow);
}

void uvg::uCopy()
{
    if (!m_grid)
        return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    clipboard->clear();
    auto* mime = new QMimeData;
    // Other programs expect CR LF between the rows.
    mime->setText(m_grid->Clip().replace(QLatin1Char('\r'), QLatin1String("\r\n")));
    if (m_grid->ClipSpansRows()) {
        CopiedRows& rows = copiedRows();
        rows.mark = QUuid::createUuid().toByteArray();
        rows.data = m_grid->ClipRowData();
        mime->setData(kRowsFormat, rows.mark);
    }
    clipboard->setMimeData(mime);
}

void uvg::uCut()
{
    // Never into the header: the block must start in the data rows.
    if (!m_grid || m_grid->Rows() == 1 || m_grid->Row() < m_grid->FixedRows() || m_grid->Col() < 0)
        return;
    uCopy();
    FlexGrid* g = m_grid;
    const int r1 = std::min(g->Row(), g->RowSel());
    const int r2 = std::max(g->Row(), g->RowSel());
    const int c1 = std::min(g->Col(), g->ColSel());
    const int c2 = std::max(g->Col(), g->ColSel());
    for (int r = r1; r <= r2; ++r) {
        for (int c = c1; c <= c2; ++c)
            g->setTextMatrix(r, c, QString());
    }
    // Whole rows cut leave their data with the copy.
    g->setClipRowData({});
}

void uvg::uPaste()
{
    if (!m_grid || m_grid->Rows() == 1 || m_grid->Row() < m_grid->FixedRows() || m_grid->Col() < 0)
        return;
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    QString text = clipboard->text();
    // Spreadsheets end the copied block with a line break; it starts no further row.
    if (text.endsWith(QLatin1String("\r\n")))
        text.chop(2);
    else if (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    if (text.isEmpty())
        return;
    FlexGrid* g = m_grid;
    const int tabs = int(text.count(QLatin1Char('\t')));
    const int breaks = int(text.count(QLatin1String("\r\n")) + text.count(QLatin1Char('\r')) +
                           text.count(QLatin1Char('\n')) - 2 * text.count(QLatin1String("\r\n")));
    const double x = g->Col() + double(tabs) / (breaks + 1);
    const int endCol = x > g->Cols() - 1 ? g->Cols() - 1 : int(std::nearbyint(x)); // halves to even
    const int endRow = std::min(g->Row() + breaks, g->Rows() - 1);
    g->Select(g->Row(), g->Col(), endRow, endCol);
    g->setClip(text);
    // Whole rows pasted take the data of the rows copied, or none.
    g->setClipRowData(carriedRowData(clipboard));
}

int uvg::uGetFirstCol() const
{
    if (!m_grid)
        return 0;
    for (int c = m_grid->FixedCols(); c < m_grid->Cols(); ++c) {
        if (!m_grid->ColHidden(c))
            return c;
    }
    return 0;
}

int uvg::firstEditableCol() const
{
    for (int c = m_grid->FixedCols(); c < m_grid->Cols(); ++c) {
        if (!m_grid->ColHidden(c) && m_grid->ColEditable(c))
            return c;
    }
    return uGetFirstCol();
}

int uvg::lastVisibleCol() const
{
    for (int c = m_grid->Cols() - 1; c >= m_grid->FixedCols(); --c) {
        if (!m_grid->ColHidden(c))
            return c;
    }
    return -1;
}

void uvg::uSetRowNo(FlexGrid* grid, int startRow, int endRow, int col, int height)
{
    if (!grid)
        return;
    for (int i = startRow; i <= endRow; ++i)
        grid->setTextMatrix(i, col, QString::number(i));
    if (height != -1)
        grid->setRowHeightMin(height);
}

void uvg::uSetRow(FlexGrid* grid, int& row)
{
    if (!grid)
        return;
    row = std::min(row, grid->Rows() - 1);
    grid->setRow(row <= 1 ? 1 : row);
}

void uvg::uSetRowCell(FlexGrid* grid, int row1, int col1, int row2)
{
    if (grid)
        grid->setCellAlignment(row1, col1, row2, grid->Cols() - 1, FlexGrid::flexAlignCenterCenter);
}

bool uvg::gridKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers != Qt::ControlModifier)
        return false;
    switch (key) {
    case Qt::Key_C:
        uCopy();
        return true;
    case Qt::Key_D:
        uDeleteRow();
        return true;
    case Qt::Key_A:
        uAddRow();
        return true;
    case Qt::Key_I:
        uInsertRow();
        return true;
    default:
        return false;
    }
}

bool uvg::gridKeyPress(int keyAscii)
{
    if (keyAscii != 13 || !IsCheckEnterToTab || !m_grid)
        return false;
    enterKey();
    return true;
}

void uvg::enterKey()
{
    FlexGrid* g = m_grid;
    const int row = g->Row();
    const int col = g->Col();
    const int last = lastVisibleCol();
    if (row < g->FixedRows() || last < 0)
        return;
    if (col < last) {
        int next = col + 1;
        while (next < g->Cols() && g->ColHidden(next))
            ++next;
        g->setCol(next);
        g->EditCell();
        return;
    }
    if (row == g->Rows() - 1) {
        // The limit holds here too: Enter never makes more rows than Ctrl+A could.
        if (refusedByLimit())
            return;
        g->setRows(g->Rows() + 1);
        if (uHeightRow > 0)
            g->setRowHeight(g->Rows() - 1, uHeightRow);
        if (IsResetRowNum)
            uSetRowNo(g, 1, g->Rows() - 1, 0, uHeightRow);
    }
    g->Select(row + 1, firstEditableCol());
}

bool uvg::gridKeyBack()
{
    if (!IsCheckEnterToTab || !m_grid)
        return false;
    // Back along the way Enter goes: the previous shown cell of the line, the
    // last one of the line above; the first cell of the first line stays.
    FlexGrid* g = m_grid;
    int row = g->Row();
    int col = g->Col();
    if (row < g->FixedRows())
        return true;
    do {
        if (--col < g->FixedCols()) {
            if (--row < g->FixedRows())
                return true;
            col = lastVisibleCol();
        }
    } while (col >= 0 && g->ColHidden(col));
    if (col < 0)
        return true;
    g->Select(row, col);
    g->EditCell();
    return true;
}

void uvg::gridMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, const QPoint&)
{
    // The row under the mouse is the one the user takes hold of.
    if (IsMoveRow && button == Qt::LeftButton && m_grid) {
        const int row = m_grid->MouseRow();
        m_grid->DragRow(row >= m_grid->FixedRows() ? row : m_grid->RowSel());
    }
}

void SetGridRowNo(FlexGrid* grid, int startRow, int endRow, int col, int height, int firstNumber)
{
    if (!grid)
        return;
    int number = firstNumber;
    for (int i = startRow; i <= endRow; ++i)
        grid->setTextMatrix(i, col, QString::number(number++));
    if (height != -1)
        grid->setRowHeightMin(height);
}
