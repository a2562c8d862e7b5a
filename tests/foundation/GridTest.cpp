#include "BindGrid.h"
#include "FlexGrid.h"
#include "GridCellHelpers.h"
#include "MsgBox.h"
#include "RecordSet.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

// A shown grid with one header row, one row-number column and editable cells.
class GridTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        grid = std::make_unique<FlexGrid>();
        grid->resize(700, 400);
        grid->setFormatString(QStringLiteral("^序号|<名称  |>数量|<备注"));
        grid->setRows(4);
        for (int r = 1; r < 4; ++r)
            grid->setTextMatrix(r, 0, QString::number(r));
        grid->setEditable(FlexGrid::flexEDKbdMouse);
    }

    void show()
    {
        grid->show();
        grid->activateWindow();
        grid->setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.get()));
    }

    QModelIndex index(int row, int col) const { return grid->model()->index(row - grid->FixedRows(), col); }

    std::unique_ptr<FlexGrid> grid;
};

TEST_F(GridTest, HeaderRowIsRowZeroAndFormatSetsCaptionsAlignmentAndWidths)
{
    EXPECT_EQ(grid->Rows(), 4);
    EXPECT_EQ(grid->Cols(), 4);
    EXPECT_EQ(grid->FixedRows(), 1);
    EXPECT_EQ(grid->FixedCols(), 1);
    EXPECT_EQ(grid->model()->rowCount(), 3);
    EXPECT_EQ(grid->TextMatrix(0, 0), QStringLiteral("序号"));
    EXPECT_EQ(grid->TextMatrix(0, 1), QStringLiteral("名称  ")); // trailing blanks are part of the caption
    EXPECT_EQ(grid->ColAlignment(0), FlexGrid::flexAlignCenterCenter);
    EXPECT_EQ(grid->ColAlignment(1), FlexGrid::flexAlignLeftCenter);
    EXPECT_EQ(grid->ColAlignment(2), FlexGrid::flexAlignRightCenter);
    EXPECT_EQ(grid->FormatString(), QStringLiteral("^序号|<名称  |>数量|<备注"));
    // Trailing blanks widen a column.
    grid->setFormatString(QStringLiteral("<名称|<名称      "));
    EXPECT_EQ(grid->Cols(), 2);
    EXPECT_GT(grid->ColWidth(1), grid->ColWidth(0));
    // Data cells take the column alignment; a cell may override it.
    grid->setTextMatrix(1, 1, QStringLiteral("x"));
    EXPECT_EQ(index(1, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
              Qt::AlignLeft);
    grid->setCellAlignment(1, 1, 1, 1, FlexGrid::flexAlignRightCenter);
    EXPECT_EQ(index(1, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
              Qt::AlignRight);
    EXPECT_EQ(grid->Cell(FlexGrid::flexcpAlignment, 1, 1).toInt(), FlexGrid::flexAlignRightCenter);
}

TEST_F(GridTest, ShapeChangesKeepTextsAndOutOfRangeIsHarmless)
{
    grid->setTextMatrix(3, 1, QStringLiteral("c"));
    grid->setRows(6);
    EXPECT_EQ(grid->TextMatrix(3, 1), QStringLiteral("c"));
    EXPECT_EQ(grid->TextMatrix(5, 1), QString());
    grid->setRows(3);
    EXPECT_EQ(grid->TextMatrix(3, 1), QString());
    grid->setRows(4);
    EXPECT_EQ(grid->TextMatrix(3, 1), QString()) << "a row dropped and grown again is empty";
    grid->setTextMatrix(99, 1, QStringLiteral("x"));
    grid->setTextMatrix(1, 99, QStringLiteral("x"));
    EXPECT_EQ(grid->TextMatrix(99, 1), QString());
    EXPECT_EQ(grid->TextMatrix(-1, 0), QString());

    grid->setTextMatrix(1, 1, QStringLiteral("a"));
    grid->setTextMatrix(2, 1, QStringLiteral("b"));
    grid->AddItem(QStringLiteral("\tnew\t5"), 2);
    EXPECT_EQ(grid->Rows(), 5);
    EXPECT_EQ(grid->TextMatrix(2, 1), QStringLiteral("new"));
    EXPECT_EQ(grid->TextMatrix(2, 2), QStringLiteral("5"));
    EXPECT_EQ(grid->TextMatrix(3, 1), QStringLiteral("b"));
    grid->RemoveItem(2);
    EXPECT_EQ(grid->TextMatrix(2, 1), QStringLiteral("b"));
    grid->RemoveItem(0); // the header is not a data row
    EXPECT_EQ(grid->TextMatrix(0, 0), QStringLiteral("序号"));

    grid->setRowPosition(1, 3);
    EXPECT_EQ(grid->TextMatrix(1, 1), QStringLiteral("b"));
    EXPECT_EQ(grid->TextMatrix(3, 1), QStringLiteral("a"));

    // Two header rows: row 1 becomes a header row and the data starts at row 2.
    grid->setFixedRows(2);
    EXPECT_EQ(grid->model()->rowCount(), grid->Rows() - 2);
    EXPECT_EQ(grid->TextMatrix(1, 1), QStringLiteral("b"));
}

// Each row keeps its own value through every change of the rows' order or
// number; rows that are new, grown again or loaded have none.
TEST_F(GridTest, RowDataFollowsItsRowAndNewRowsHaveNone)
{
    const auto rowData = [&] {
        QList<int> out; // -1: none
        for (int r = 1; r < grid->Rows(); ++r)
            out << (grid->RowData(r).isValid() ? grid->RowData(r).toInt() : -1);
        return out;
    };
    const auto names = [&] {
        QStringList out;
        for (int r = 1; r < grid->Rows(); ++r)
            out << grid->TextMatrix(r, 1);
        return out;
    };
    EXPECT_EQ(rowData(), (QList<int>{-1, -1, -1}));
    const char* const texts[] = {"c", "a", "b"};
    for (int r = 1; r <= 3; ++r) {
        grid->setTextMatrix(r, 1, QLatin1String(texts[r - 1]));
        grid->setRowData(r, r * 10);
    }
    grid->setRowData(0, 99); // the header row keeps one too, out of the data rows' way
    grid->Sort(1, Qt::AscendingOrder);
    EXPECT_EQ(names(), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(rowData(), (QList<int>{20, 30, 10}));
    grid->Sort(1, Qt::DescendingOrder);
    EXPECT_EQ(rowData(), (QList<int>{10, 30, 20}));
    grid->setRowPosition(1, 3);
    EXPECT_EQ(names(), (QStringList{"b", "a", "c"}));
    EXPECT_EQ(rowData(), (QList<int>{30, 20, 10}));
    grid->setRowPosition(3, 1);
    EXPECT_EQ(rowData(), (QList<int>{10, 30, 20}));
    grid->AddItem(QStringLiteral("\tnew"), 2);
    grid->AddItem(QStringLiteral("\tlast"));
    EXPECT_EQ(names(), (QStringList{"c", "new", "b", "a", "last"}));
    EXPECT_EQ(rowData(), (QList<int>{10, -1, 30, 20, -1}));
    grid->RemoveItem(1);
    EXPECT_EQ(rowData(), (QList<int>{-1, 30, 20, -1}));
    grid->Clear(FlexGrid::flexClearScrollable);
    EXPECT_EQ(rowData(), (QList<int>{-1, 30, 20, -1})) << "clearing cells keeps the rows' data";
    grid->setRows(3);
    grid->setRows(5);
    EXPECT_EQ(rowData(), (QList<int>{-1, 30, -1, -1})) << "a row dropped and grown again has none";
    EXPECT_EQ(grid->RowData(0).toInt(), 99);

    grid->setRowData(99, 1);
    grid->setRowData(-1, 1);
    EXPECT_FALSE(grid->RowData(99).isValid());
    EXPECT_FALSE(grid->RowData(-1).isValid());

    RecordSet rs({QStringLiteral("name")}, {{QStringLiteral("x")}, {QStringLiteral("y")}});
    grid->LoadRecordSet(rs);
    EXPECT_EQ(rowData(), (QList<int>{-1, -1}));
    grid->setRowData(2, 5);
    grid->AppendRecordSet(rs);
    EXPECT_EQ(rowData(), (QList<int>{-1, 5, -1, -1}));
}

// A block holds whole rows when it covers every shown data column; only
// such a block gives its rows data.
TEST_F(GridTest, RowDataOfABlockGoesWithWholeRowsOnly)
{
    for (int r = 1; r <= 3; ++r)
        grid->setRowData(r, r);
    const struct {
        int row1, col1, row2, col2;
        bool hideLast;
        bool whole;
    } cases[] = {
        {1, 1, 2, 3, false, true},  {2, 3, 1, 1, false, true}, // either corner first
        {1, 1, 2, 2, false, false}, {1, 2, 2, 3, false, false},
        {1, 1, 2, 2, true, true}, // the last column hidden: the shown ones are covered
        {3, 1, 3, 3, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.row1 << "," << c.col1 << " - " << c.row2 << "," << c.col2);
        grid->setColHidden(3, c.hideLast);
        grid->Select(c.row1, c.col1, c.row2, c.col2);
        EXPECT_EQ(grid->ClipSpansRows(), c.whole);
        const int top = std::min(c.row1, c.row2);
        const int bottom = std::max(c.row1, c.row2);
        QVariantList expected;
        for (int r = top; r <= bottom; ++r)
            expected << r;
        EXPECT_EQ(grid->ClipRowData(), expected);
        grid->setClipRowData({QStringLiteral("x")});
        EXPECT_EQ(grid->RowData(top).toString(), c.whole ? QStringLiteral("x") : QString::number(top));
        if (bottom > top) {
            EXPECT_EQ(grid->RowData(bottom).isValid(), !c.whole) << "a row past the values gets none";
        }
        for (int r = 1; r <= 3; ++r)
            grid->setRowData(r, r);
    }
    grid->setColHidden(3, false);
    EXPECT_EQ(grid->TextMatrix(1, 1), QString()) << "row data writes no cell";
}

TEST_F(GridTest, KeysAndIndexesOfColumns)
{
    grid->setColKey(2, QStringLiteral("qty"));
    EXPECT_EQ(grid->ColIndex(QStringLiteral("qty")), 2);
    EXPECT_EQ(grid->ColIndex(QStringLiteral("none")), -1);
    grid->setTextMatrix(1, QStringLiteral("qty"), QStringLiteral("7"));
    EXPECT_EQ(grid->TextMatrix(1, 2), QStringLiteral("7"));
    EXPECT_EQ(grid->TextMatrix(1, QStringLiteral("qty")), QStringLiteral("7"));
}

TEST_F(GridTest, WidthsAreTwipsAndHiddenColumnsKeepTheirWidth)
{
    ASSERT_EQ(grid->logicalDpiX(), 96);
    grid->setColWidth(1, 1500);
    EXPECT_EQ(grid->columnWidth(1), 100); // 15 twips a pixel at 96 DPI
    EXPECT_EQ(grid->ColWidth(1), 1500);
    grid->setColWidth(2, 1000); // not a whole number of pixels: the twips stay as set
    EXPECT_EQ(grid->ColWidth(2), 1000);
    grid->setColHidden(1, true);
    EXPECT_TRUE(grid->isColumnHidden(1));
    EXPECT_TRUE(grid->ColHidden(1));
    EXPECT_EQ(grid->ColWidth(1), 1500);
    grid->setColHidden(1, false);
    EXPECT_EQ(grid->columnWidth(1), 100);

    grid->setRowHeightMin(350);
    EXPECT_EQ(grid->RowHeightMin(), 350);
    EXPECT_GE(grid->rowHeight(0), 23); // 350 twips
    grid->setRowHeight(2, 780);
    EXPECT_EQ(grid->rowHeight(1), 52);
    EXPECT_EQ(grid->RowHeight(2), 780);

    // A larger font makes the rows that keep the default height higher.
    const int before = grid->rowHeight(0);
    QFont big = grid->font();
    big.setPointSize(30);
    grid->setFont(big);
    EXPECT_GT(grid->rowHeight(0), before);
    EXPECT_EQ(grid->rowHeight(1), 52);
}

TEST_F(GridTest, ColoursAreBgrIntegersAndCellsKeepTheirFormat)
{
    grid->setCellBackColor(1, 1, 3, 2, 12640511);
    EXPECT_EQ(index(2, 2).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 224, 192));
    EXPECT_EQ(grid->CellBackColor(3, 1), 12640511);
    EXPECT_EQ(grid->CellBackColor(1, 3), -1);
    EXPECT_EQ(FlexGrid::ToOleColor(QColor(0, 128, 128)), 0x808000);
    EXPECT_EQ(FlexGrid::OleColor(0xFFFFFF), QColor(Qt::white));

    grid->setCellFontBold(0, 0, 0, 3, true);
    EXPECT_TRUE(grid->Cell(FlexGrid::flexcpFontBold, 0, 2).toBool());
    grid->setCellForeColor(1, 1, 1, 1, 0x0000FF);
    EXPECT_EQ(index(1, 1).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    QPixmap pic(8, 8);
    pic.fill(Qt::green);
    grid->setCellPicture(2, 1, pic);
    EXPECT_FALSE(grid->CellPicture(2, 1).isNull());
    EXPECT_TRUE(grid->CellPicture(1, 1).isNull());

    // A moved or sorted row takes its format with it.
    grid->setTextMatrix(1, 3, QStringLiteral("b"));
    grid->setTextMatrix(2, 3, QStringLiteral("a"));
    grid->setTextMatrix(3, 3, QStringLiteral("c"));
    grid->Sort(3, Qt::AscendingOrder);
    EXPECT_FALSE(grid->CellPicture(1, 1).isNull());

    grid->Clear(FlexGrid::flexClearScrollable, FlexGrid::flexClearFormatting);
    EXPECT_EQ(grid->CellBackColor(2, 2), -1);
    EXPECT_EQ(grid->TextMatrix(1, 3), QStringLiteral("a"));
    grid->Clear(FlexGrid::flexClearScrollable, FlexGrid::flexClearText);
    EXPECT_EQ(grid->TextMatrix(1, 3), QString());
    EXPECT_EQ(grid->TextMatrix(0, 1), QStringLiteral("名称  ")) << "the header is not scrollable";
}

TEST_F(GridTest, SortPutsNumbersInNumericOrderAndHeaderClicksToggle)
{
    grid->setRows(7);
    const QStringList texts = {QStringLiteral("10"),  QStringLiteral("9"), QStringLiteral("苹果"), QString(),
                               QStringLiteral("2.5"), QStringLiteral("-3")};
    for (int i = 0; i < texts.size(); ++i) {
        grid->setTextMatrix(i + 1, 2, texts[i]);
        grid->setTextMatrix(i + 1, 1, QString::number(i));
    }
    auto column = [&](int col) {
        QStringList out;
        for (int r = 1; r < grid->Rows(); ++r)
            out << grid->TextMatrix(r, col);
        return out;
    };
    grid->Sort(2, Qt::AscendingOrder);
    EXPECT_EQ(column(2), (QStringList{QString(), QStringLiteral("-3"), QStringLiteral("2.5"),
                                      QStringLiteral("9"), QStringLiteral("10"), QStringLiteral("苹果")}));
    EXPECT_EQ(column(1).at(4), QStringLiteral("0")) << "rows move whole";
    grid->Sort(2, Qt::DescendingOrder);
    EXPECT_EQ(column(2).first(), QStringLiteral("苹果"));
    EXPECT_EQ(column(2).last(), QString());
    EXPECT_EQ(grid->TextMatrix(0, 2), QStringLiteral("数量")) << "the header row stays";

    // Header clicks sort only when asked for, ascending first, then toggling.
    show();
    QSignalSpy after(grid.get(), &FlexGrid::AfterSort);
    const QPoint onHeader(grid->horizontalHeader()->sectionViewportPosition(1) + 5, 5);
    QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, onHeader);
    EXPECT_EQ(after.count(), 0);
    grid->setExplorerBar(FlexGrid::flexExSortShow);
    QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, onHeader);
    ASSERT_EQ(after.count(), 1);
    EXPECT_EQ(after.at(0).at(0).toInt(), 1);
    EXPECT_EQ(after.at(0).at(1).value<Qt::SortOrder>(), Qt::AscendingOrder);
    EXPECT_EQ(column(1), (QStringList{"0", "1", "2", "3", "4", "5"}));
    QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, onHeader);
    EXPECT_EQ(after.at(1).at(1).value<Qt::SortOrder>(), Qt::DescendingOrder);
    EXPECT_EQ(column(1).first(), QStringLiteral("5"));
}

// Collects what the model tester finds; it reports through warnings.
class ModelTesterFindings
{
  public:
    ModelTesterFindings() { s_found.clear(), m_previous = qInstallMessageHandler(&handler); }
    ~ModelTesterFindings() { qInstallMessageHandler(m_previous); }
    static QStringList found() { return s_found; }

  private:
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (type != QtDebugMsg && qstrcmp(context.category, "qt.modeltest") == 0)
            s_found.append(text);
    }
    static inline QStringList s_found;
    QtMessageHandler m_previous = nullptr;
};

// Sorting keeps every kept index (the current cell, the selection) on its
// row, and the model keeps Qt's contract through every change of shape.
TEST_F(GridTest, SortKeepsTheCurrentCellOnItsRowAndTheModelKeepsQtsContract)
{
    const ModelTesterFindings findings;
    QAbstractItemModelTester tester(grid->model(), QAbstractItemModelTester::FailureReportingMode::Warning);
    grid->setRows(6);
    const QStringList names = {QStringLiteral("丙"), QStringLiteral("10"), QStringLiteral("甲"), QString(),
                               QStringLiteral("2")};
    for (int i = 0; i < names.size(); ++i)
        grid->setTextMatrix(i + 1, 1, names[i]);
    grid->setCurrentIndex(index(3, 1));            // "甲"
    const QPersistentModelIndex kept(index(2, 2)); // the row of "10"
    grid->Sort(1, Qt::AscendingOrder);
    EXPECT_EQ(grid->TextMatrix(grid->currentIndex().row() + 1, 1), QStringLiteral("甲"));
    ASSERT_TRUE(kept.isValid());
    EXPECT_EQ(kept.column(), 2);
    EXPECT_EQ(grid->TextMatrix(kept.row() + 1, 1), QStringLiteral("10"));
    grid->Sort(1, Qt::DescendingOrder);
    EXPECT_EQ(grid->TextMatrix(grid->currentIndex().row() + 1, 1), QStringLiteral("甲"));
    EXPECT_EQ(grid->TextMatrix(kept.row() + 1, 1), QStringLiteral("10"));

    grid->AddItem(QStringLiteral("\t新"), 2);
    grid->RemoveItem(4);
    grid->setRowPosition(1, 4);
    grid->setCols(6);
    grid->setFixedRows(2);
    grid->Sort(1, Qt::AscendingOrder);
    grid->LoadRecordSet(
        RecordSet({QStringLiteral("a"), QStringLiteral("b")}, {{1, QStringLiteral("x")}, {2, QString()}}));
    grid->Clear();
    grid->setRows(1);
    EXPECT_EQ(findings.found(), QStringList());
}

TEST_F(GridTest, LoadRecordSetCopiesRowsFromTheFirstDataColumn)
{
    RecordSet rs({QStringLiteral("id"), QStringLiteral("name"), QStringLiteral("amount")},
                 {{1, QStringLiteral("螺丝"), 37.5},
                  {2, QVariant(), 1234567.0},
                  {3, QStringLiteral("c"), -0.0},
                  {4, QStringLiteral("d"), 0.1 + 0.2}});
    grid->setTextMatrix(1, 0, QStringLiteral("1"));
    grid->LoadRecordSet(rs);
    EXPECT_EQ(grid->Rows(), 5);
    EXPECT_EQ(grid->Cols(), 4) << "a format keeps its columns";
    EXPECT_EQ(grid->TextMatrix(0, 1), QStringLiteral("名称  ")) << "and its captions";
    EXPECT_EQ(grid->TextMatrix(1, 1), QStringLiteral("1"));
    EXPECT_EQ(grid->TextMatrix(1, 2), QStringLiteral("螺丝"));
    EXPECT_EQ(grid->TextMatrix(1, 3), QStringLiteral("37.5"));
    EXPECT_EQ(grid->TextMatrix(2, 2), QString());
    EXPECT_EQ(grid->TextMatrix(2, 3), QStringLiteral("1234567"));
    EXPECT_EQ(grid->TextMatrix(3, 3), QStringLiteral("0"));
    EXPECT_EQ(grid->TextMatrix(4, 3), QStringLiteral("0.30000000000000004")) << "a stored figure shows whole";
    EXPECT_EQ(grid->TextMatrix(1, 0), QString()) << "bound rows are new rows";

    // Without a format the grid takes the field names and exactly the columns it needs.
    FlexGrid plain;
    plain.setCols(9);
    plain.LoadRecordSet(rs);
    EXPECT_EQ(plain.Cols(), 4);
    EXPECT_EQ(plain.TextMatrix(0, 1), QStringLiteral("id"));
    EXPECT_EQ(plain.TextMatrix(0, 3), QStringLiteral("amount"));
    EXPECT_EQ(plain.Rows(), 5);
}

TEST_F(GridTest, MergedHeaderRowsJoinEqualNeighbours)
{
    grid->setFormatString(QStringLiteral("^序号|^货品|>入库|>出库|>库存"));
    grid->setFixedRows(2);
    grid->setRows(3);
    for (int c = 0; c < grid->Cols(); ++c) {
        grid->setTextMatrix(1, c, grid->TextMatrix(0, c));
        grid->setMergeCol(c, true);
    }
    for (int c = 2; c <= 4; ++c)
        grid->setTextMatrix(0, c, QStringLiteral("小件汇总"));
    grid->setMergeRow(0, true);
    EXPECT_EQ(grid->MergedRange(0, 1), QRect(1, 0, 1, 1)) << "no merging until it is switched on";
    grid->setMergeCells(FlexGrid::flexMergeFree);
    EXPECT_EQ(grid->MergedRange(0, 1), QRect(QPoint(1, 0), QPoint(1, 1))); // both header rows
    EXPECT_EQ(grid->MergedRange(1, 1), QRect(QPoint(1, 0), QPoint(1, 1)));
    EXPECT_EQ(grid->MergedRange(0, 3), QRect(QPoint(2, 0), QPoint(4, 0))); // the group caption
    EXPECT_EQ(grid->MergedRange(1, 3), QRect(3, 1, 1, 1));
    EXPECT_EQ(grid->MergedRange(2, 1), QRect(1, 2, 1, 1)) << "data rows never merge";
    EXPECT_EQ(grid->TextMatrix(2, 1), QString());
    // The header is as high as its two rows.
    show();
    EXPECT_GE(grid->horizontalHeader()->height(), 2 * grid->fontMetrics().height());
    grid->grab(); // paints the merged header without trouble
}

TEST_F(GridTest, CurrentCellSelectionAndClipText)
{
    grid->setTextMatrix(1, 1, QStringLiteral("a"));
    grid->setTextMatrix(1, 2, QStringLiteral("1"));
    grid->setTextMatrix(2, 1, QStringLiteral("b"));
    grid->setTextMatrix(2, 2, QStringLiteral("2"));
    QSignalSpy moved(grid.get(), &FlexGrid::AfterRowColChange);
    grid->Select(2, 2, 1, 1);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->RowSel(), 1);
    EXPECT_EQ(grid->ColSel(), 1);
    EXPECT_EQ(grid->Clip(), QStringLiteral("a\t1\rb\t2"));
    EXPECT_EQ(moved.count(), 1);

    grid->setRow(3); // a move drops the block
    EXPECT_EQ(grid->RowSel(), 3);
    EXPECT_EQ(grid->ColSel(), 2);
    grid->setColSel(3);
    grid->setRowSel(3);
    grid->setClip(QStringLiteral("x\ty\tz\r\nnot used")); // more than the block: the rest is dropped
    EXPECT_EQ(grid->TextMatrix(3, 2), QStringLiteral("x"));
    EXPECT_EQ(grid->TextMatrix(3, 3), QStringLiteral("y"));
    EXPECT_EQ(grid->Cols(), 4);

    // A header row can be the cursor row too.
    grid->setRow(0);
    EXPECT_EQ(grid->Row(), 0);
    grid->setRow(1);
    EXPECT_EQ(grid->Row(), 1);

    bool refuse = true;
    QObject::connect(grid.get(), &FlexGrid::BeforeRowColChange, grid.get(),
                     [&](int, int, int, int, bool& cancel) { cancel = refuse; });
    grid->setRow(2);
    EXPECT_EQ(grid->Row(), 1);
    refuse = false;
    grid->setRow(2);
    EXPECT_EQ(grid->Row(), 2);
}

TEST_F(GridTest, KeyboardSkipsHiddenAndFixedColumnsAndCanBeRefused)
{
    show();
    grid->setColHidden(2, true);
    grid->Select(1, 1);
    QTest::keyClick(grid.get(), Qt::Key_Right);
    EXPECT_EQ(grid->Col(), 3);
    QTest::keyClick(grid.get(), Qt::Key_Left);
    EXPECT_EQ(grid->Col(), 1);
    QTest::keyClick(grid.get(), Qt::Key_Left);
    EXPECT_EQ(grid->Col(), 1) << "the row-number column is not a place for the cursor";
    QTest::keyClick(grid.get(), Qt::Key_Down);
    EXPECT_EQ(grid->Row(), 2);

    QObject::connect(
        grid.get(), &FlexGrid::BeforeRowColChange, grid.get(),
        [&](int, int, int newRow, int, bool& cancel) { cancel = grid->TextMatrix(newRow, 1).isEmpty(); });
    grid->setTextMatrix(2, 1, QStringLiteral("day"));
    QTest::keyClick(grid.get(), Qt::Key_Down);
    EXPECT_EQ(grid->Row(), 2);
    const QRect empty = grid->visualRect(index(3, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, empty.center());
    EXPECT_EQ(grid->Row(), 2);
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index(2, 1)).center());
    QTest::mouseMove(grid->viewport(), empty.center());
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, empty.center());
    EXPECT_EQ(grid->Row(), 2) << "nor by dragging onto it";

    // Typing in a read-only grid does not jump to a row that starts with the letter.
    grid->setTextMatrix(1, 1, QStringLiteral("q"));
    QTest::keyClick(grid.get(), Qt::Key_Q);
    EXPECT_EQ(grid->Row(), 2);
}

TEST_F(GridTest, ADoubleClickIsOneClickAndOneDoubleClick)
{
    show();
    QSignalSpy clicks(grid.get(), &FlexGrid::Click);
    QSignalSpy doubles(grid.get(), &FlexGrid::DblClick);
    const QPoint cell = grid->visualRect(index(2, 2)).center();
    // What the window system sends for a double click: press, release, double click, release.
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, cell);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, cell, grid->viewport()->mapToGlobal(cell), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid->viewport(), &dbl);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, cell);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(doubles.count(), 1);
    EXPECT_EQ(grid->Row(), 2);
}

TEST_F(GridTest, RightClickReportsTheMouseAndKeepsTheSelection)
{
    show();
    grid->Select(1, 1, 3, 2);
    QSignalSpy down(grid.get(), &FlexGrid::MouseDown);
    const QPoint at = grid->visualRect(index(2, 3)).center();
    QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, at);
    ASSERT_EQ(down.count(), 1);
    EXPECT_EQ(down.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(QPoint(down.at(0).at(2).toInt(), down.at(0).at(3).toInt()), at); // pixels of the cells' area
    EXPECT_EQ(grid->MouseRow(), 2);
    EXPECT_EQ(grid->MouseCol(), 3);
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(grid->RowSel(), 3);
    // The header too.
    QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::RightButton, {}, QPoint(5, 5));
    ASSERT_EQ(down.count(), 2);
    const QPoint header =
        grid->viewport()->mapFromGlobal(grid->horizontalHeader()->viewport()->mapToGlobal(QPoint(5, 5)));
    EXPECT_EQ(QPoint(down.at(1).at(2).toInt(), down.at(1).at(3).toInt()), header);
    EXPECT_LT(header.y(), 0);
    EXPECT_EQ(grid->MouseRow(), 0);
}

TEST_F(GridTest, EditEventsVetoFilterValidateAndReport)
{
    show();
    QStringList events;
    QObject::connect(grid.get(), &FlexGrid::BeforeEdit, grid.get(), [&](int row, int col, bool& cancel) {
        events << QStringLiteral("before %1,%2").arg(row).arg(col);
        cancel = col == 1;
    });
    QObject::connect(grid.get(), &FlexGrid::KeyPressEdit, grid.get(), [&](int, int col, int& key) {
        if (col == 2 && !(key >= '0' && key <= '9') && key != '.' && key != 8 && key != 13)
            key = 0;
    });
    bool refuse = false;
    QObject::connect(grid.get(), &FlexGrid::ValidateEdit, grid.get(), [&](int, int, bool& cancel) {
        events << QStringLiteral("validate ") + grid->EditText();
        cancel = refuse;
    });
    QObject::connect(grid.get(), &FlexGrid::AfterEdit, grid.get(),
                     [&](int row, int col) { events << QStringLiteral("after %1,%2").arg(row).arg(col); });

    // A vetoed column opens no editor.
    grid->Select(1, 1);
    QTest::keyClicks(grid.get(), QStringLiteral("x"));
    EXPECT_FALSE(grid->IsEditing());
    EXPECT_EQ(grid->TextMatrix(1, 1), QString());

    // Typing opens the editor; the filter drops letters; Enter ends the edit on the same cell.
    grid->Select(1, 2);
    QTest::keyClick(grid.get(), Qt::Key_1);
    ASSERT_TRUE(grid->IsEditing());
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("2a.5"));
    refuse = true;
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_TRUE(grid->IsEditing()) << "a refused validation keeps the editor open";
    refuse = false;
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_FALSE(grid->IsEditing());
    EXPECT_EQ(grid->TextMatrix(1, 2), QStringLiteral("12.5"));
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(events,
              (QStringList{"before 1,1", "before 1,2", "validate 12.5", "validate 12.5", "after 1,2"}));

    // Escape drops the edit without AfterEdit.
    events.clear();
    QTest::keyClick(grid.get(), Qt::Key_9);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(grid->TextMatrix(1, 2), QStringLiteral("12.5"));
    EXPECT_EQ(events, QStringList{"before 1,2"});

    // The grid's own key events come before the editor's.
    int seen = 0;
    QObject::connect(grid.get(), &FlexGrid::KeyPress, grid.get(), [&](int& key) {
        seen = key;
        if (key == 'z')
            key = 0;
    });
    QTest::keyClick(grid.get(), Qt::Key_Z);
    EXPECT_EQ(seen, 'z');
    EXPECT_FALSE(grid->IsEditing()) << "a swallowed key opens no editor";

    // A column can be closed to editing for good; so can the grid.
    grid->setColEditable(3, false);
    grid->Select(1, 3);
    grid->EditCell();
    EXPECT_FALSE(grid->IsEditing());
    grid->setEditable(FlexGrid::flexEDNone);
    grid->Select(1, 2);
    QTest::keyClick(grid.get(), Qt::Key_5);
    EXPECT_FALSE(grid->IsEditing());
}

TEST_F(GridTest, ComboListsAndCheckBoxColumns)
{
    grid->setColComboList(3, QStringLiteral("#1;启用|#2;禁用"));
    EXPECT_EQ(grid->ColComboData(3, QStringLiteral("禁用")), QStringLiteral("2"));
    EXPECT_EQ(grid->ColComboData(3, QStringLiteral("x")), QString());
    show();
    grid->Select(1, 3);
    grid->EditCell();
    auto* combo = qobject_cast<QComboBox*>(QApplication::focusWidget());
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 2);
    EXPECT_FALSE(combo->isEditable());
    combo->setCurrentIndex(1);
    QTest::keyClick(combo, Qt::Key_Return);
    EXPECT_EQ(grid->TextMatrix(1, 3), QStringLiteral("禁用"));

    grid->setColComboList(1, QStringLiteral("|甲|乙"));
    grid->Select(1, 1);
    grid->EditCell();
    combo = nullptr;
    for (QComboBox* open : grid->viewport()->findChildren<QComboBox*>()) {
        if (open->isVisible())
            combo = open;
    }
    ASSERT_NE(combo, nullptr);
    EXPECT_TRUE(combo->isEditable());
    EXPECT_EQ(combo->itemText(1), QStringLiteral("乙"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

    // A Boolean column shows a check box: "-1" checked, "0" not; a click toggles it when editable.
    grid->setColDataType(2, FlexGrid::flexDTBoolean);
    grid->setTextMatrix(2, 2, QStringLiteral("-1"));
    EXPECT_EQ(index(2, 2).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(index(1, 2).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_FALSE(index(2, 2).data(Qt::DisplayRole).isValid());
    QSignalSpy after(grid.get(), &FlexGrid::AfterEdit);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index(2, 2)).center());
    EXPECT_EQ(grid->TextMatrix(2, 2), QStringLiteral("0"));
    EXPECT_EQ(after.count(), 1);
    grid->setEditable(FlexGrid::flexEDNone);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index(2, 2)).center());
    EXPECT_EQ(grid->TextMatrix(2, 2), QStringLiteral("0")) << "a read-only grid keeps its marks";
}

TEST_F(GridTest, RedrawOffDefersRepaintsButNotData)
{
    grid->setRedraw(false);
    for (int r = 1; r < grid->Rows(); ++r)
        grid->setTextMatrix(r, 1, QStringLiteral("t%1").arg(r));
    EXPECT_EQ(grid->TextMatrix(3, 1), QStringLiteral("t3"));
    QSignalSpy changed(grid->model(), &QAbstractItemModel::dataChanged);
    grid->setRedraw(true);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(grid->Redraw());
}

TEST_F(GridTest, DraggedRowLandsWhereTheButtonIsReleased)
{
    show();
    for (int r = 1; r < 4; ++r)
        grid->setTextMatrix(r, 1, QStringLiteral("r%1").arg(r));
    grid->DragRow(1);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index(3, 1)).center());
    EXPECT_EQ(grid->TextMatrix(1, 1), QStringLiteral("r2"));
    EXPECT_EQ(grid->TextMatrix(3, 1), QStringLiteral("r1"));
    EXPECT_EQ(grid->Row(), 3);
}

} // namespace

namespace
{

class BindGridTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        MsgBox::BeginTest();
        grid.setFormatString(QStringLiteral("^序号|<ID|<名称|>数量"));
        grid.setRows(2);
        grid.setTextMatrix(1, 2, QStringLiteral("kept"));
    }
    void TearDown() override
    {
        MsgBox::EndTest();
        EXPECT_TRUE(MsgBox::Failures().isEmpty());
    }
    FlexGrid grid;
};

TEST_F(BindGridTest, RowsFillFromColumnOneAndTheCallersResultIsReleased)
{
    RecordSetPtr rs = std::make_shared<RecordSet>(
        QStringList{QStringLiteral("id"), QStringLiteral("uname"), QStringLiteral("qty")},
        QList<QVariantList>{{7, QStringLiteral("螺丝"), 2.5}, {8, QStringLiteral("螺母"), 10}});
    const std::weak_ptr<RecordSet> watch = rs;
    BindGrid(&grid, rs);
    EXPECT_EQ(rs, nullptr);
    EXPECT_TRUE(watch.expired()) << "the grid keeps no hold on the result";
    EXPECT_EQ(grid.Rows(), 3);
    EXPECT_EQ(grid.TextMatrix(1, 1), QStringLiteral("7"));
    EXPECT_EQ(grid.TextMatrix(2, 2), QStringLiteral("螺母"));
    EXPECT_EQ(grid.TextMatrix(2, 3), QStringLiteral("10"));
    EXPECT_EQ(grid.TextMatrix(0, 2), QStringLiteral("名称"));
    EXPECT_TRUE(MsgBox::Shown().isEmpty());
}

TEST_F(BindGridTest, AnEmptyResultLeavesTheRowsAsTheyWere)
{
    RecordSetPtr rs = std::make_shared<RecordSet>(QStringList{QStringLiteral("id")}, QList<QVariantList>{});
    BindGrid(&grid, rs);
    EXPECT_EQ(rs, nullptr);
    EXPECT_EQ(grid.Rows(), 2);
    EXPECT_EQ(grid.TextMatrix(1, 2), QStringLiteral("kept"));
    RecordSetPtr none;
    BindGrid(&grid, none);
    EXPECT_EQ(grid.TextMatrix(1, 2), QStringLiteral("kept"));
    EXPECT_TRUE(MsgBox::Shown().isEmpty());
}

TEST_F(BindGridTest, AnErrorIsShownTitledSystem)
{
    RecordSetPtr rs =
        std::make_shared<RecordSet>(QStringList{QStringLiteral("id")}, QList<QVariantList>{{1}});
    BindGrid(nullptr, rs);
    EXPECT_EQ(rs, nullptr);
    ASSERT_EQ(MsgBox::Shown().size(), 1);
    EXPECT_EQ(MsgBox::Shown().at(0).title, QStringLiteral("System"));
    EXPECT_EQ(MsgBox::Shown().at(0).icon, MsgIcon::Exclamation);
}

TEST_F(BindGridTest, CellHelpersCentreRowsAndMeasureVisibleColumns)
{
    SetGridRowCell(&grid, 0, 0, 0);
    for (int c = 0; c < grid.Cols(); ++c)
        EXPECT_EQ(grid.Cell(FlexGrid::flexcpAlignment, 0, c).toInt(), FlexGrid::flexAlignCenterCenter);
    EXPECT_EQ(grid.Cell(FlexGrid::flexcpAlignment, 1, 1).toInt(), FlexGrid::flexAlignLeftCenter);

    for (int c = 0; c < grid.Cols(); ++c)
        grid.setColWidth(c, 1000 + c);
    grid.setColHidden(1, true);
    EXPECT_EQ(GetGridWidth(&grid), 1000 + 1002 + 1003 + 400);
    for (int c = 0; c < grid.Cols(); ++c)
        grid.setColHidden(c, true);
    EXPECT_EQ(GetGridWidth(&grid), 400);
}

} // namespace

namespace
{

// The columns of the cell's rectangle in image that hold pixels of colour.
QPair<int, int> colourSpan(const QImage& image, const QRect& cell, QRgb colour)
{
    int left = -1;
    int right = -1;
    for (int x = cell.left(); x <= cell.right(); ++x) {
        for (int y = cell.top(); y <= cell.bottom(); ++y) {
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) {
                if (left < 0)
                    left = x;
                right = x;
                break;
            }
        }
    }
    return {left, right};
}

// The grid draws a cell picture where its picture alignment puts it.
TEST_F(GridTest, CellPicturesFollowTheirAlignment)
{
    grid->setColWidth(1, 1800);
    QPixmap pic(10, 10);
    pic.fill(QColor(255, 0, 0));
    const struct {
        int align;
        const char* name;
    } cases[] = {
        {FlexGrid::flexAlignLeftCenter, "left"},
        {FlexGrid::flexAlignCenterCenter, "centre"},
        {FlexGrid::flexAlignRightCenter, "right"},
    };
    show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        grid->setCellPicture(2, 1, pic);
        grid->setCell(FlexGrid::flexcpPictureAlignment, 2, 1, 2, 1, c.align);
        const QRect cell = grid->visualRect(grid->model()->index(1, 1));
        const QImage image = grid->viewport()->grab().toImage();
        const auto [left, right] = colourSpan(image, cell, qRgb(255, 0, 0));
        ASSERT_GE(left, 0);
        EXPECT_EQ(right - left + 1, 10);
        const int middle = (left + right) / 2;
        if (c.align == FlexGrid::flexAlignLeftCenter)
            EXPECT_LT(middle, cell.left() + 15);
        else if (c.align == FlexGrid::flexAlignCenterCenter)
            EXPECT_NEAR(middle, cell.center().x(), 2);
        else
            EXPECT_GT(middle, cell.right() - 15);
    }
}

// A text wider than its column is cut at the cell's edge, never replaced by "...".
TEST_F(GridTest, NarrowColumnsShowTheirTextUnshortened)
{
    grid->setColWidth(2, 300);
    grid->setCell(FlexGrid::flexcpAlignment, 1, 2, 1, 2, int(FlexGrid::flexAlignLeftCenter));
    grid->setTextMatrix(1, 2, QStringLiteral("WWWWWWWWWWWW"));
    show();
    const QRect cell = grid->visualRect(grid->model()->index(0, 2));
    const QImage image = grid->viewport()->grab().toImage();
    // Ink in the upper half of the cell's last few columns: letters, not the dots of "...".
    int ink = 0;
    for (int x = cell.right() - 6; x < cell.right() - 1; ++x) {
        for (int y = cell.top() + 1; y < cell.center().y() - 1; ++y) {
            if (qGray(image.pixel(x, y)) < 128)
                ++ink;
        }
    }
    EXPECT_GT(ink, 0);
}

} // namespace
