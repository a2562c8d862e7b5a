// A kept search shows only bills the clerk's department may see, and the
// actions on its rows act only on bills the clerk may act on: a bill moved
// at another workstation to an account tag the department may not see (16)
// leaves the kept rows and is refused at audit, un-audit and delete.
#include "ReportFixture.h"

#include <QComboBox>

using KeptRightsTest = ReportTest;

namespace
{

const QString kForbidden = QStringLiteral("功能受限,请与系统管理联系!");

// The texts of one column on every page, read anew from the first page.
QStringList Reread(ReportFrame* w, const QString& field)
{
    auto* size = ui::child<QComboBox>(w, "comb_pageSize");
    emit size->activated(size->currentIndex());
    QApplication::processEvents();
    return WalkOn(w, field);
}

} // namespace

TEST_P(KeptRightsTest, ABillMovedToATagTheClerkMayNotSeeLeavesTheKeptSearch)
{
    for (int id = 1; id <= 3; ++id) {
        addBill(id, 12, 0, QStringLiteral("2024-05-0%1").arg(id));
        addLine(id, id, 1, id, 2);
    }
    ReportFrame* list = openHead();
    ReportFrame* detail = openDetail();
    ASSERT_EQ(SortedNumbers(Reread(list, QStringLiteral("id"))), (QStringList{"1", "2", "3"}));
    ASSERT_EQ(SortedNumbers(Reread(detail, QStringLiteral("headId"))), (QStringList{"1", "2", "3"}));

    OtherWorkstation other(appDir() + QStringLiteral("wms.db"));
    other.exec(QStringLiteral("update %1 set accountId = 16 where id = 2").arg(t().headTable));
    other.exec(QStringLiteral("update %1 set accountId = 15 where id = 3").arg(t().headTable));
    for (ReportFrame* w : {list, detail}) {
        SCOPED_TRACE(w == list ? "list" : "detail");
        const QString field = w == list ? QStringLiteral("id") : QStringLiteral("headId");
        EXPECT_EQ(SortedNumbers(Reread(w, field)), (QStringList{"1", "3"}));
        EXPECT_FALSE(Reread(w, QStringLiteral("accountName")).contains(QStringLiteral("外账")));
        clickHeader(w, ColumnOf(w, QStringLiteral("billNo")));
        EXPECT_EQ(SortedNumbers(Reread(w, field)), (QStringList{"1", "3"}));
    }
    EXPECT_TRUE(shown().isEmpty());
}

TEST_P(KeptRightsTest, ActionsOnABillMovedToATagTheClerkMayNotSeeAreRefused)
{
    const struct {
        const char* what;
        const char* menu;
        int ispass;
    } cases[] = {
        {"audit", "menu_pass", 0},
        {"un-audit", "menu_nopass", 1},
        {"delete", "menu_DeleteBill", 0},
    };
    int id = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ++id;
        addBill(id, 12, c.ispass, QStringLiteral("2024-05-0%1").arg(id));
        addLine(id, id, 1, 1, 2);
        ReportFrame* w = openHead();
        clickRowWith(w, QStringLiteral("%1-2405-%2").arg(code()).arg(id, 5, 10, QLatin1Char('0')), 5);
        {
            OtherWorkstation other(appDir() + QStringLiteral("wms.db"));
            other.exec(
                QStringLiteral("update %1 set accountId = 16 where id = %2").arg(t().headTable).arg(id));
        }
        MsgBox::ClearShown();
        answer(MsgAnswer::Yes);
        menu(w, c.menu);
        EXPECT_EQ(MsgBox::LastText(), kForbidden);
        EXPECT_EQ(count(t().headTable, QStringLiteral("id = %1 and ispass = %2").arg(id).arg(c.ispass)), 1);
        EXPECT_EQ(count(t().lineTable, QStringLiteral("headId = %1").arg(id)), 1);
        w->close();
    }
}

INSTANTIATE_TEST_SUITE_P(Directions, KeptRightsTest, ::testing::Values(BillDirection::In, BillDirection::Out),
                         DirectionName);
