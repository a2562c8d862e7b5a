#include "uvg.h"
#include "FlexGrid.h"
#include "MsgBox.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

// A shown bill-like grid: column 0 the row numbers, column 1 hidden, columns 2
// to 4 visible, lines "a1".."aN" in column 2, bound to a helper with a limit.
class UvgTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        MsgBox::BeginTest();
        grid.setFormatString(QStringLiteral("^序号|<ID|<编码|<名称|<备注"));
        grid.setColHidden(1, true);
        grid.setEditable(FlexGrid::flexEDKbdMouse);
        grid.setRowHeightMin(350);
        grid.resize(600, 500);
    }
    void TearDown() override
    {
        MsgBox::EndTest();
        EXPECT_TRUE(MsgBox::Failures().isEmpty()) << MsgBox::Failures().join('\n').toStdString();
    }

    void fill(int lines, int limit = 0)
    {
        grid.setRows(lines + 1);
        for (int r = 1; r <= lines; ++r) {
            grid.setTextMatrix(r, 2, QStringLiteral("a%1").arg(r));
            grid.setTextMatrix(r, 3, QStringLiteral("b%1").arg(r));
        }
        SetGridRowNo(&grid, 1, lines, 0, 350, 1);
        helper.uInit(&grid, limit);
        grid.show();
        grid.activateWindow();
        grid.setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    }

    void key(int k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(&grid, Qt::Key(k), m); }

    QStringList column(int col) const
    {
        QStringList out;
        for (int r = 1; r < grid.Rows(); ++r)
            out << grid.TextMatrix(r, col);
        return out;
    }

    FlexGrid grid;
    uvg helper;
};

TEST_F(UvgTest, RowLimitRefusesTheSixthRowWithTheMessage)
{
    fill(4, 5);
    grid.Select(2, 2);
    key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(grid.Rows(), 6);
    EXPECT_EQ(grid.TextMatrix(5, 0), QStringLiteral("5"));
    EXPECT_EQ(grid.Row(), 5);
    EXPECT_EQ(grid.Col(), 2) << "the first visible data column";
    EXPECT_TRUE(MsgBox::Shown().isEmpty());

    key(Qt::Key_A, Qt::ControlModifier);
    key(Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(grid.Rows(), 6);
    ASSERT_EQ(MsgBox::Shown().size(), 2);
    EXPECT_EQ(MsgBox::Shown().at(0).text, QStringLiteral("最大行为5行,请新建单据!"));
    EXPECT_EQ(MsgBox::Shown().at(0).title, QStringLiteral("System"));
    EXPECT_EQ(MsgBox::Shown().at(0).icon, MsgIcon::Information);

    // Enter in the last cell does not go past the limit either.
    helper.IsCheckEnterToTab = true;
    grid.Select(5, 4);
    key(Qt::Key_Return);
    EXPECT_EQ(grid.Rows(), 6);
    EXPECT_EQ(MsgBox::Shown().size(), 3);
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("最大行为5行,请新建单据!"));
}

TEST_F(UvgTest, NoLimitNeverRefuses)
{
    fill(1, 0);
    for (int i = 0; i < 30; ++i)
        helper.uAddRow();
    EXPECT_EQ(grid.Rows(), 32);
    EXPECT_EQ(grid.TextMatrix(31, 0), QStringLiteral("31"));
    EXPECT_TRUE(MsgBox::Shown().isEmpty());
}

TEST_F(UvgTest, DeletingEveryRowLeavesOneEmptyRowNumberedOne)
{
    fill(4);
    grid.Select(1, 2, 4, 3);
    key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(grid.Rows(), 2);
    EXPECT_EQ(grid.TextMatrix(1, 0), QStringLiteral("1"));
    EXPECT_EQ(grid.TextMatrix(1, 2), QString());
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(grid.Col(), 2);
    EXPECT_TRUE(MsgBox::Shown().isEmpty()) << "no question, no message";
}

TEST_F(UvgTest, AReversedSelectionDeletesAndCutsTheRightRows)
{
    fill(7);
    // The cursor on row 5, the block reaching up to row 2 (selected upwards).
    grid.Select(5, 3, 2, 3);
    ASSERT_EQ(grid.Row(), 5);
    ASSERT_EQ(grid.RowSel(), 2);
    helper.uCut();
    EXPECT_EQ(column(3), (QStringList{"b1", "", "", "", "", "b6", "b7"}));
    EXPECT_EQ(column(2).at(1), QStringLiteral("a2")) << "only the selected columns are cut";

    // The same block chosen with Shift+Up from row 5.
    grid.Select(5, 2);
    for (int i = 0; i < 3; ++i)
        key(Qt::Key_Up, Qt::ShiftModifier);
    key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(column(2), (QStringList{"a1", "a6", "a7"}));
    EXPECT_EQ(column(0), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(grid.Row(), 2);

    // With the cursor in the header nothing is deleted.
    grid.setRow(0);
    helper.uDeleteRow();
    EXPECT_EQ(grid.Rows(), 4);
}

TEST_F(UvgTest, OnlyExactlyCtrlActsAndCtrlCCopiesTheBlock)
{
    fill(3);
    grid.setEditable(FlexGrid::flexEDNone);
    QGuiApplication::clipboard()->setText(QStringLiteral("untouched"));
    grid.Select(1, 2, 2, 3);
    key(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("untouched"));
    key(Qt::Key_D, Qt::ControlModifier | Qt::AltModifier);
    key(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    key(Qt::Key_D);
    key(Qt::Key_A);
    EXPECT_EQ(grid.Rows(), 4);
    EXPECT_EQ(column(2), (QStringList{"a1", "a2", "a3"}));

    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("a1\tb1\r\na2\tb2"));
}

TEST_F(UvgTest, PasteFillsFromTheCurrentCellAndStopsAtTheLastRow)
{
    fill(4);
    QGuiApplication::clipboard()->setText(QStringLiteral("x1\ty1\r\nx2\ty2\r\nx3\ty3\r\n"));
    grid.Select(3, 2);
    helper.uPaste();
    EXPECT_EQ(grid.Rows(), 5) << "paste adds no rows";
    EXPECT_EQ(column(2), (QStringList{"a1", "a2", "x1", "x2"}));
    EXPECT_EQ(column(3), (QStringList{"b1", "b2", "y1", "y2"}));
    EXPECT_EQ(grid.Row(), 3);
    EXPECT_EQ(grid.RowSel(), 4);

    // One tab over two rows: the end column is Col + 0.5, a half rounding to even.
    QGuiApplication::clipboard()->setText(QStringLiteral("p\tq\rr"));
    grid.Select(1, 2);
    helper.uPaste();
    EXPECT_EQ(grid.ColSel(), 2);
    EXPECT_EQ(grid.TextMatrix(1, 2), QStringLiteral("p"));
    EXPECT_EQ(grid.TextMatrix(1, 3), QStringLiteral("b1"));
    EXPECT_EQ(grid.TextMatrix(2, 2), QStringLiteral("r"));
    grid.Select(1, 3);
    helper.uPaste();
    EXPECT_EQ(grid.ColSel(), 4);
    EXPECT_EQ(grid.TextMatrix(1, 3), QStringLiteral("p"));
    EXPECT_EQ(grid.TextMatrix(1, 4), QStringLiteral("q"));

    // Nothing lands in the header.
    grid.setRow(0);
    helper.uPaste();
    EXPECT_EQ(grid.TextMatrix(0, 2), QStringLiteral("编码"));
}

// Whole lines copied and pasted in the program take their row data along;
// a block of some columns leaves the rows' data alone, and text from
// elsewhere (the same text too, once the copy has left the clipboard) brings none.
TEST_F(UvgTest, WholeRowsCarryTheirRowDataWithinTheProgram)
{
    fill(5);
    for (int r = 1; r <= 5; ++r)
        grid.setRowData(r, r * 10);
    const auto rowData = [&] {
        QList<int> out; // -1: none
        for (int r = 1; r < grid.Rows(); ++r)
            out << (grid.RowData(r).isValid() ? grid.RowData(r).toInt() : -1);
        return out;
    };

    grid.Select(1, 2, 2, 4); // the shown columns of lines 1 and 2
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("a1\tb1\t\r\na2\tb2\t"));
    grid.Select(4, 2);
    helper.uPaste();
    EXPECT_EQ(column(2), (QStringList{"a1", "a2", "a3", "a1", "a2"}));
    EXPECT_EQ(rowData(), (QList<int>{10, 20, 30, 10, 20}));

    grid.Select(3, 2, 3, 3); // two of the three shown columns
    key(Qt::Key_C, Qt::ControlModifier);
    grid.Select(1, 2);
    helper.uPaste();
    EXPECT_EQ(column(2), (QStringList{"a3", "a2", "a3", "a1", "a2"}));
    EXPECT_EQ(rowData(), (QList<int>{10, 20, 30, 10, 20})) << "some columns: the row keeps its data";

    grid.Select(3, 2, 3, 4);
    key(Qt::Key_C, Qt::ControlModifier);
    grid.Select(2, 3);
    helper.uPaste(); // whole-row text one column off: some columns only
    EXPECT_EQ(rowData(), (QList<int>{10, 20, 30, 10, 20}));

    const QString same = QGuiApplication::clipboard()->text();
    QGuiApplication::clipboard()->setText(same); // the same text, put there by another program
    grid.Select(5, 2);
    helper.uPaste();
    EXPECT_EQ(grid.TextMatrix(5, 2), QStringLiteral("a3"));
    EXPECT_EQ(rowData(), (QList<int>{10, 20, 30, 10, -1})) << "text from elsewhere carries none";

    grid.Select(3, 2, 3, 4);
    helper.uCut();
    EXPECT_EQ(rowData(), (QList<int>{10, 20, -1, 10, -1})) << "a cut line's data leaves with it";
    grid.Select(1, 2);
    helper.uPaste();
    EXPECT_EQ(grid.TextMatrix(1, 2), QStringLiteral("a3"));
    EXPECT_EQ(rowData(), (QList<int>{30, 20, -1, 10, -1}));
}

TEST_F(UvgTest, InsertPutsAnEmptyRowAtTheCursor)
{
    fill(3);
    grid.Select(2, 3);
    key(Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(column(2), (QStringList{"a1", "", "a2", "a3"}));
    EXPECT_EQ(column(3), (QStringList{"b1", "", "b2", "b3"})) << "the current line is never duplicated";
    EXPECT_EQ(column(0), (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(grid.Row(), 3) << "the cursor stays on its line";
    EXPECT_EQ(grid.Col(), 3);

    grid.setRow(0);
    helper.uInsertRow();
    EXPECT_EQ(grid.Rows(), 5);
}

TEST_F(UvgTest, EnterMovesRightThenWrapsToTheFirstEditableColumnAndAppends)
{
    fill(2);
    grid.setColEditable(2, false); // 编码 comes only from the code
    helper.IsCheckEnterToTab = true;
    grid.Select(1, 3);
    key(Qt::Key_Return);
    EXPECT_EQ(grid.Col(), 4);
    ASSERT_TRUE(grid.IsEditing()) << "the reached cell opens for editing";
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("note"));
    // The same Enter that ends the edit goes on: from the last column down to
    // the next row, first editable visible column.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(grid.IsEditing());
    EXPECT_EQ(grid.TextMatrix(1, 4), QStringLiteral("note"));
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_EQ(grid.Col(), 3);
    EXPECT_EQ(grid.Rows(), 3);

    // From the last column without an editor the same.
    grid.Select(1, 4);
    key(Qt::Key_Return);
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_EQ(grid.Col(), 3);
    EXPECT_EQ(grid.Rows(), 3);

    // From the last cell of the last row: a new row, numbered, becomes current.
    grid.Select(2, 4);
    key(Qt::Key_Return);
    EXPECT_EQ(grid.Rows(), 4);
    EXPECT_EQ(grid.Row(), 3);
    EXPECT_EQ(grid.Col(), 3);
    EXPECT_EQ(column(0), (QStringList{"1", "2", "3"}));

    // Without the flag Enter is left alone.
    helper.IsCheckEnterToTab = false;
    key(Qt::Key_Return);
    EXPECT_EQ(grid.Row(), 3);
    EXPECT_EQ(grid.Col(), 3);
}

TEST_F(UvgTest, TheWindowSeesTheKeyBeforeTheHelper)
{
    fill(2);
    helper.IsCheckEnterToTab = true;
    // A window that jumps to column 3 first: the helper then moves one further.
    QObject::connect(&grid, &FlexGrid::KeyPress, &grid, [this](int& k) {
        if (k == 13 && grid.Col() == 2)
            grid.setCol(3);
    });
    grid.Select(1, 2);
    key(Qt::Key_Return);
    EXPECT_EQ(grid.Col(), 4);
}

TEST_F(UvgTest, NumberingAndFirstColumnHelpers)
{
    fill(3);
    SetGridRowNo(&grid, 1, 3, 0, 380, 1);
    EXPECT_EQ(column(0), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(grid.RowHeightMin(), 380);
    SetGridRowNo(&grid, 1, 3, 0, -1, 21);
    EXPECT_EQ(column(0), (QStringList{"21", "22", "23"}));
    EXPECT_EQ(grid.RowHeightMin(), 380);
    SetGridRowNo(&grid, 3, 1, 0, 350, 1);
    EXPECT_EQ(column(0).first(), QStringLiteral("21"));
    EXPECT_EQ(grid.RowHeightMin(), 350);

    EXPECT_EQ(helper.uGetFirstCol(), 2);
    EXPECT_EQ(helper.uHeightRow, 350);
    EXPECT_TRUE(helper.IsResetRowNum);
    int row = 9;
    helper.uSetRow(&grid, row);
    EXPECT_EQ(row, 3);
    EXPECT_EQ(grid.Row(), 3);
    row = 0;
    helper.uSetRow(&grid, row);
    EXPECT_EQ(grid.Row(), 1);
    helper.uSetRowCell(&grid, 0, 0, 0);
    EXPECT_EQ(grid.Cell(FlexGrid::flexcpAlignment, 0, 4).toInt(), FlexGrid::flexAlignCenterCenter);
}

TEST_F(UvgTest, RowDragMovesTheRow)
{
    fill(3);
    helper.IsMoveRow = true;
    QWidget* vp = grid.viewport();
    const QPoint from = grid.visualRect(grid.model()->index(0, 2)).center();
    const QPoint to = grid.visualRect(grid.model()->index(2, 2)).center();
    QTest::mousePress(vp, Qt::LeftButton, {}, from);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, to);
    EXPECT_EQ(column(2), (QStringList{"a2", "a3", "a1"}));
}

} // namespace
