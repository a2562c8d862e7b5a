#include "ReportFixture.h"

#include "GridDriver.h"

#include <QStyle>

using ReportScreenTest = ReportTest;

namespace
{

// The figures of the visible cells that do not fit the room their cell gives
// them, as "field row: text".
QStringList cutFigures(ReportFrame* w)
{
    FlexGrid* g = w->grid();
    const QFontMetrics fm(g->font());
    const int margin = g->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, g) + 1;
    QStringList cut;
    for (int r = g->FixedRows(); r < g->Rows(); ++r) {
        for (int c = 0; c < g->Cols(); ++c) {
            const QString text = g->TextMatrix(r, c);
            bool number = false;
            text.toDouble(&number);
            if (g->ColHidden(c) || !number)
                continue;
            const int room = g->visualRect(g->model()->index(r - g->FixedRows(), c)).width() - 2 * margin;
            if (fm.horizontalAdvance(text) > room)
                cut << QStringLiteral("%1 %2: %3").arg(g->ColKey(c)).arg(r).arg(text);
        }
    }
    return cut;
}

} // namespace

// Each number of the line detail and the bill list is shown whole, in the
// window's sizes from a 1024x768 screen up: 数量 125000.5 at 1234.5, and a
// 13-digit amount.
TEST_P(ReportScreenTest, EveryNumberCellShowsItsWholeFigure)
{
    addBill(1, 12, 0, QStringLiteral("2024-05-02"));
    addLine(1, 1, 1, 125000.5, 1234.5);
    addLine(2, 1, 2, 8000000000.0, 1234.5, 12, 123456.75);
    for (ReportFrame* w : {openDetail(), openHead()}) {
        SCOPED_TRACE(w->objectName().toStdString());
        ASSERT_GE(dataRows(w), 1);
        for (const QSize size : {QSize(1000, 560), QSize(1400, 800)}) {
            w->resize(size);
            QApplication::processEvents();
            EXPECT_EQ(cutFigures(w), QStringList()) << size.width() << "x" << size.height();
        }
        delete w;
    }
}

// After 尾页 or 首页 the focus stays on the pager, on the nearest button that
// still leads somewhere; the account-tag box is neither focused nor selected.
TEST_P(ReportScreenTest, AfterTheLastOrFirstPageTheFocusStaysOnThePager)
{
    add97Bills();
    ReportFrame* w = openHead();
    ui::activate(w);
    auto* tags = ui::child<QLineEdit>(w, "txt_accountType");
    const struct {
        const char* button;
        const char* focus;
    } steps[] = {{"btn_LastPage", "btn_PrevPage"},
                 {"btn_FirstPage", "btn_NextPage"},
                 {"btn_NextPage", "btn_NextPage"}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.button);
        ui::click(w, s.button);
        EXPECT_EQ(w->focusWidget(), ui::child<QWidget>(w, s.focus));
        EXPECT_FALSE(tags->hasSelectedText());
    }
    // Keys go on from there: Space on 上一页 after 尾页 goes back a page.
    ui::click(w, "btn_LastPage");
    ui::press(Qt::Key_Space);
    EXPECT_EQ(ui::child<QLineEdit>(w, "txt_PageIndex")->text(), QStringLiteral("4"));
    delete w;
}

// A right click on a row that is not selected takes that row first: the
// menu's 删除 names that row's bill and deletes it, not the one selected before.
TEST_P(ReportScreenTest, ARightClickDeletesTheBillUnderThePointer)
{
    addBill(1, 12, 0, QStringLiteral("2024-05-02"));
    addLine(1, 1, 1, 1, 1);
    addBill(2, 12, 0, QStringLiteral("2024-05-03"));
    addLine(2, 2, 1, 1, 1);
    ReportFrame* w = openHead();
    ui::activate(w);
    const int billNo = ColumnOf(w, QStringLiteral("billNo"));
    const QString first = QStringLiteral("%1-2405-00001").arg(code());
    const QString second = QStringLiteral("%1-2405-00002").arg(code());
    clickRowWith(w, first, billNo);
    const int row = w->grid()->FindRow(second, w->layout().headerRows, billNo);
    ASSERT_GT(row, 0);
    ui::rightClickCell(w->grid(), row, billNo);
    EXPECT_EQ(w->grid()->Row(), row);
    for (QWidget* popup = QApplication::activePopupWidget(); popup; popup = QApplication::activePopupWidget())
        popup->close();
    answer(MsgAnswer::Yes);
    menu(w, "menu_DeleteBill");
    EXPECT_EQ(shown().first(), QStringLiteral("是否删除当前单据[%1]?").arg(second));
    EXPECT_EQ(count(t().headTable, QStringLiteral("id=2")), 0);
    EXPECT_EQ(count(t().headTable, QStringLiteral("id=1")), 1);
    delete w;
}

INSTANTIATE_TEST_SUITE_P(Directions, ReportScreenTest,
                         ::testing::Values(BillDirection::In, BillDirection::Out), DirectionName);
