#include "FlexGrid.h"
#include "GridDriver.h"
#include "RecordSet.h"
#include "UiDriver.h"
#include "uvg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QStyle>
#include <QVBoxLayout>
#include <memory>

namespace
{

// A form as the windows build them: a box, an entry grid of three number
// columns (with the line helper, or without it), another box. The number
// columns refuse what would make a cell hold two numbers.
struct EntryForm {
    explicit EntryForm(bool withHelper)
    {
        form = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(form.get());
        before = new QLineEdit(form.get());
        before->setObjectName(QStringLiteral("before"));
        grid = new FlexGrid(form.get());
        grid->setObjectName(QStringLiteral("grid"));
        grid->setFormatString(QStringLiteral("^序号|>重量   |>进价   |>数量   "));
        grid->setRows(3);
        grid->setEditable(FlexGrid::flexEDKbdMouse);
        after = new QLineEdit(form.get());
        after->setObjectName(QStringLiteral("after"));
        layout->addWidget(before);
        layout->addWidget(grid);
        layout->addWidget(after);
        QObject::connect(grid, &FlexGrid::KeyPressEdit, grid, [this](int, int, int& ascii) {
            const bool figure = (ascii >= '0' && ascii <= '9') || ascii == '.' || ascii == '-';
            if (ascii != 8 && ascii != 13 && !(figure && grid->EditKeepsOneNumber(ascii)))
                ascii = 0;
        });
        if (withHelper) {
            helper.uInit(grid, 0);
            helper.IsCheckEnterToTab = true;
        }
        form->resize(600, 300);
    }
    std::unique_ptr<QWidget> form;
    QLineEdit* before = nullptr;
    FlexGrid* grid = nullptr;
    QLineEdit* after = nullptr;
    uvg helper;
};

// Opens the cell's editor as a clerk does: the cell clicked, then typing.
void startTyping(FlexGrid* grid, int row, int col, const QString& text)
{
    ui::clickCell(grid, row, col);
    ui::type(text);
    ASSERT_TRUE(grid->IsEditing());
}

// Tab in an editor ends the edit and moves on as Enter does: two values typed
// with a Tab between them land in two cells, never in one.
TEST(GridEntryTest, TabInAnEditorCommitsAndMovesOnAsEnterDoes)
{
    const struct {
        Qt::Key key;
        const char* name;
    } keys[] = {{Qt::Key_Tab, "Tab"}, {Qt::Key_Return, "Enter"}};
    for (const auto& k : keys) {
        SCOPED_TRACE(k.name);
        EntryForm f(true);
        f.form->show();
        ui::activate(f.form.get());
        startTyping(f.grid, 1, 2, QStringLiteral("8.125"));
        ui::press(k.key);
        EXPECT_EQ(f.grid->Col(), 3);
        EXPECT_TRUE(f.grid->IsEditing());
        ui::type(QStringLiteral("3.5"));
        ui::press(Qt::Key_Return);
        EXPECT_EQ(f.grid->TextMatrix(1, 2), QStringLiteral("8.125"));
        EXPECT_EQ(f.grid->TextMatrix(1, 3), QStringLiteral("3.5"));
        // From the last column both go down to the first editable column of the next row.
        EXPECT_EQ(f.grid->Row(), 2);
        EXPECT_EQ(f.grid->Col(), 1);
    }
}

// Where Enter moves nowhere (no line helper), Tab in an editor ends the edit
// and leaves the grid by the tab order, as Tab on the grid does; Shift+Tab
// leaves it backwards.
TEST(GridEntryTest, TabWhereEnterStaysLeavesTheGridByTheTabOrder)
{
    EntryForm f(false);
    f.form->show();
    ui::activate(f.form.get());
    startTyping(f.grid, 1, 2, QStringLiteral("4"));
    ui::press(Qt::Key_Tab);
    EXPECT_FALSE(f.grid->IsEditing());
    EXPECT_EQ(f.grid->TextMatrix(1, 2), QStringLiteral("4"));
    EXPECT_EQ(ui::focused(), f.after);

    startTyping(f.grid, 2, 3, QStringLiteral("7"));
    ui::press(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(f.grid->TextMatrix(2, 3), QStringLiteral("7"));
    EXPECT_EQ(ui::focused(), f.before);
}

// The keys still reach the grid when no window is active (the window system
// hands them to the window's focus widget): Tab and Enter go on as usual.
TEST(GridEntryTest, TabAndEnterWorkWithNoActiveWindow)
{
    EntryForm f(true);
    f.form->show();
    ui::activate(f.form.get());
    ui::clickCell(f.grid, 2, 1);
    QApplication::setActiveWindow(nullptr);
    ui::type(QStringLiteral("1"));
    ui::press(Qt::Key_Tab);
    ui::type(QStringLiteral("2"));
    ui::press(Qt::Key_Tab);
    ui::type(QStringLiteral("3"));
    ui::press(Qt::Key_Tab); // the last column: down to the next row, appended
    ui::type(QStringLiteral("4"));
    ui::press(Qt::Key_Return);
    EXPECT_EQ(f.grid->TextMatrix(2, 1), QStringLiteral("1"));
    EXPECT_EQ(f.grid->TextMatrix(2, 2), QStringLiteral("2"));
    EXPECT_EQ(f.grid->TextMatrix(2, 3), QStringLiteral("3"));
    EXPECT_EQ(f.grid->TextMatrix(3, 1), QStringLiteral("4"));
    EXPECT_TRUE(f.grid->isAncestorOf(f.form->focusWidget())) << "the keys still reach the grid's editor";
    EXPECT_EQ(f.grid->Col(), 2);
}

// The number filter keeps a cell one number: a second point, or a minus
// after the first character, is refused; over a selection the typed
// character replaces it. Delete is no typing and reaches the editor.
TEST(GridEntryTest, ANumberCellNeverHoldsTwoNumbers)
{
    const struct {
        const char* typed;
        const char* kept;
    } cases[] = {
        {"8.125.5", "8.1255"}, {"-3-2", "-32"}, {"1.-5", "1.5"}, {"..5", ".5"}, {"12.", "12."},
    };
    EntryForm f(true);
    f.form->show();
    ui::activate(f.form.get());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        startTyping(f.grid, 1, 1, QString::fromLatin1(c.typed));
        EXPECT_EQ(f.grid->EditText(), QString::fromLatin1(c.kept));
        ui::press(Qt::Key_Escape);
    }
    // A point typed over the whole text (selected when the editor opens) is one number again.
    f.grid->setTextMatrix(1, 2, QStringLiteral("2.5"));
    f.grid->Select(1, 2);
    f.grid->EditCell();
    ui::type(QStringLiteral(".7"));
    EXPECT_EQ(f.grid->EditText(), QStringLiteral(".7"));
    ui::press(Qt::Key_Home);
    ui::press(Qt::Key_Delete);
    EXPECT_EQ(f.grid->EditText(), QStringLiteral("7"));
    ui::press(Qt::Key_Return);
    EXPECT_EQ(f.grid->TextMatrix(1, 2), QStringLiteral("7"));
}

// An editor open when the clerk switches to another sub-window of the frame
// is committed; back in its window, the focus is on the grid's cell again and
// the keys reach it, whichever way the window is entered, also with no window
// active afterwards.
TEST(GridEntryTest, LeavingASubWindowWithAnEditorOpenComesBackToTheCell)
{
    enum class Back { TitleClick, Activation, NextWindow, ClickOnABox };
    for (const Back back : {Back::TitleClick, Back::Activation, Back::NextWindow, Back::ClickOnABox}) {
        SCOPED_TRACE(int(back));
        QMainWindow frame;
        auto* area = new QMdiArea(&frame);
        frame.setCentralWidget(area);
        frame.resize(1300, 500);
        EntryForm first(true);
        EntryForm second(true);
        QMdiSubWindow* subs[2] = {area->addSubWindow(first.form.release()),
                                  area->addSubWindow(second.form.release())};
        for (int i = 0; i < 2; ++i) {
            subs[i]->setGeometry(i * 640, 0, 620, 400);
            subs[i]->show();
        }
        frame.show();
        ui::activate(&frame);
        area->setActiveSubWindow(subs[0]);
        startTyping(first.grid, 1, 2, QStringLiteral("9"));

        QTest::mouseClick(subs[1], Qt::LeftButton, {}, QPoint(60, 8)); // the other window's title
        EXPECT_EQ(area->activeSubWindow(), subs[1]);
        EXPECT_EQ(first.grid->TextMatrix(1, 2), QStringLiteral("9")) << "the edit is committed";
        ui::type(QStringLiteral("x"));
        EXPECT_EQ(second.before->text(), QStringLiteral("x")) << "the other window takes the keys";

        switch (back) {
        case Back::TitleClick:
            QTest::mouseClick(subs[0], Qt::LeftButton, {}, QPoint(60, 8));
            break;
        case Back::Activation:
            area->setActiveSubWindow(subs[0]);
            break;
        case Back::NextWindow:
            area->activateNextSubWindow();
            break;
        case Back::ClickOnABox:
            QTest::mouseClick(first.after, Qt::LeftButton);
            break;
        }
        QApplication::processEvents();
        EXPECT_EQ(area->activeSubWindow(), subs[0]);
        EXPECT_FALSE(first.grid->IsEditing());
        if (back == Back::ClickOnABox) {
            EXPECT_EQ(ui::focused(), first.after) << "the box clicked keeps the focus";
            continue;
        }
        EXPECT_EQ(ui::focused(), first.grid);
        EXPECT_EQ(first.grid->Row(), 1);
        EXPECT_EQ(first.grid->Col(), 2);
        QApplication::setActiveWindow(nullptr);
        ui::type(QStringLiteral("7"));
        ui::press(Qt::Key_Tab);
        EXPECT_EQ(first.grid->TextMatrix(1, 2), QStringLiteral("7"));
        EXPECT_EQ(first.grid->Col(), 3);
    }
}

// A right press on a row outside the selected rows takes that row first (the
// menu it opens acts on it); inside the selected rows the block stays.
TEST(GridEntryTest, ARightPressTakesTheRowUnderThePointer)
{
    EntryForm f(false);
    f.grid->setRows(7);
    f.form->show();
    ui::activate(f.form.get());
    QSignalSpy down(f.grid, &FlexGrid::MouseDown);
    int rowAtMenu = -1;
    QObject::connect(f.grid, &FlexGrid::MouseDown, f.grid, [&] { rowAtMenu = f.grid->Row(); });
    f.grid->Select(2, 1, 4, 2);
    const auto rightPress = [&](int row, int col) {
        const QModelIndex index = f.grid->model()->index(row - f.grid->FixedRows(), col);
        QTest::mouseClick(f.grid->viewport(), Qt::RightButton, {}, f.grid->visualRect(index).center());
    };
    rightPress(3, 3);
    EXPECT_EQ(f.grid->Row(), 2);
    EXPECT_EQ(f.grid->RowSel(), 4);
    rightPress(6, 2);
    EXPECT_EQ(rowAtMenu, 6) << "the row is taken before the menu opens";
    EXPECT_EQ(f.grid->Row(), 6);
    EXPECT_EQ(f.grid->Col(), 2);
    EXPECT_EQ(f.grid->RowSel(), 6);
    EXPECT_EQ(down.count(), 2);
    // A refused move keeps the cursor where it is.
    QObject::connect(f.grid, &FlexGrid::BeforeRowColChange, f.grid,
                     [](int, int, int, int, bool& cancel) { cancel = true; });
    rightPress(1, 1);
    EXPECT_EQ(f.grid->Row(), 6);
}

// The room a cell gives its text: the cell less the style's margins.
int textRoom(FlexGrid* grid, int row, int col)
{
    const QModelIndex index = grid->model()->index(row - grid->FixedRows(), col);
    const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
    return grid->visualRect(index).width() - 2 * margin;
}

// A figure wider than its column widens the column, whether it is typed,
// written or loaded; emptied rows give the column its own width back.
TEST(GridEntryTest, AColumnIsAsWideAsItsWidestFigure)
{
    EntryForm f(true);
    f.form->show();
    ui::activate(f.form.get());
    const int narrow = f.grid->columnWidth(3);
    const QFontMetrics fm(f.grid->font());
    const QString figures[] = {QStringLiteral("125000.5"), QStringLiteral("154313117.25"),
                               QStringLiteral("-1234567890123.5"), QStringLiteral("1e+15")};
    for (const QString& figure : figures) {
        SCOPED_TRACE(figure.toStdString());
        f.grid->setTextMatrix(2, 3, figure);
        EXPECT_LE(fm.horizontalAdvance(figure), textRoom(f.grid, 2, 3));
    }
    // A width set afterwards does not cut it either.
    f.grid->setColWidth(3, 300);
    EXPECT_LE(fm.horizontalAdvance(figures[3]), textRoom(f.grid, 2, 3));
    // Typed.
    ui::typeCell(f.grid, 1, 2, QStringLiteral("99999999999.125"));
    EXPECT_LE(fm.horizontalAdvance(QStringLiteral("99999999999.125")), textRoom(f.grid, 1, 2));
    // Words never widen a column.
    const int words = f.grid->columnWidth(1);
    f.grid->setTextMatrix(1, 1, QStringLiteral("一个很长很长很长很长的名称"));
    EXPECT_EQ(f.grid->columnWidth(1), words);
    // Emptied, the column has its own width again.
    f.grid->setRows(1);
    f.grid->setRows(3);
    EXPECT_EQ(f.grid->columnWidth(3), f.grid->TwipsToPixels(300));
    EXPECT_LE(f.grid->columnWidth(2), narrow + 1);
    // Loaded rows, bold ones measured in bold.
    auto rs = std::make_shared<RecordSet>(
        QStringList{QStringLiteral("w"), QStringLiteral("p"), QStringLiteral("q")},
        QList<QVariantList>{{1, 2.5, 3}, {4, 5, 123456789.5}});
    f.grid->LoadRecordSet(*rs);
    EXPECT_LE(fm.horizontalAdvance(QStringLiteral("123456789.5")), textRoom(f.grid, 2, 3));
    f.grid->setCellFontBold(2, 3, 2, 3, true);
    QFont bold = f.grid->font();
    bold.setBold(true);
    EXPECT_LE(QFontMetrics(bold).horizontalAdvance(QStringLiteral("123456789.5")), textRoom(f.grid, 2, 3));
}

// A figure column dragged narrower than its figure shows the figure cut with
// a mark at its end, never its last digits alone.
TEST(GridEntryTest, AFigureCutByHandEndsInAMark)
{
    EntryForm f(false);
    f.form->show();
    ui::activate(f.form.get());
    f.grid->setTextMatrix(1, 3, QStringLiteral("888888888888"));
    f.grid->horizontalHeader()->resizeSection(3, 40); // as a drag of the column's edge
    QApplication::processEvents();
    const QModelIndex index = f.grid->model()->index(0, 3);
    const QImage image = f.grid->viewport()->grab().toImage();
    // The cell's first text pixels hold ink (the leading digits are drawn, on
    // the left), and its right end has the mark's dots: ink below the middle only.
    const QRect cell = f.grid->visualRect(index);
    int upper = 0;
    int lower = 0;
    for (int x = cell.right() - 8; x < cell.right() - 2; ++x) {
        for (int y = cell.top() + 2; y < cell.bottom() - 1; ++y) {
            if (qGray(image.pixel(x, y)) < 128)
                (y < cell.center().y() - 1 ? upper : lower) += 1;
        }
    }
    EXPECT_GT(lower, 0);
    EXPECT_EQ(upper, 0) << "dots, not digits, end the cut figure";
    int digits = 0;
    for (int x = cell.left() + 1; x < cell.right() - 8; ++x) {
        for (int y = cell.top() + 2; y < cell.center().y() - 1; ++y)
            digits += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    }
    EXPECT_GT(digits, 0) << "the leading digits show before the mark";
}

} // namespace
