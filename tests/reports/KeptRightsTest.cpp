// A kept search shows only bills the clerk's department may see, and the
// actions on its rows act only on bills the clerk may act on: a bill moved
// at another workstation to an account tag the department may not see (16)
// leaves the kept rows and is refused at audit, un-audit and delete. So is
// a bill saved again at another workstation since the page was read.
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

TEST_P(KeptRightsTest, ActionsOnABillSavedElsewhereSinceThePageWasReadAreRefused)
{
    const struct {
        const char* what;
        bool detail;
        const char* menu;
        int audited; // the bills stored audited and unaudited once the act is done
        int unaudited;
    } cases[] = {
        {"list audit", false, "menu_pass", 1, 0},
        {"list delete", false, "menu_DeleteBill", 0, 0},
        {"detail delete", true, "menu_DeleteBill", 0, 0},
    };
    const QString changed = BillStore::PassRefusal(BillStore::PassOutcome::Changed);
    int id = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ++id;
        addBill(id, 12, 0, QStringLiteral("2024-05-0%1").arg(id));
        addLine(id, id, 1, 1, 2);
        ReportFrame* w = c.detail ? openDetail() : openHead();
        const QString billNo = QStringLiteral("%1-2405-%2").arg(code()).arg(id, 5, 10, QLatin1Char('0'));
        const QString bill = QStringLiteral("id = %1").arg(id);
        clickRowWith(w, billNo, ColumnOf(w, QStringLiteral("billNo")));
        {
            // Saved again there: the bill's change stamp moves on.
            OtherWorkstation other(appDir() + QStringLiteral("wms.db"));
            other.exec(
                QStringLiteral("update %1 set remark = 'there', rowVersion = rowVersion + 1 where id = %2")
                    .arg(t().headTable)
                    .arg(id));
        }
        MsgBox::ClearShown();
        answer(MsgAnswer::Yes);
        menu(w, c.menu);
        EXPECT_EQ(MsgBox::LastText(), changed);
        EXPECT_EQ(count(t().headTable, bill + QStringLiteral(" and ispass = 0 and remark = 'there'")), 1);
        EXPECT_EQ(count(t().lineTable, QStringLiteral("headId = %1").arg(id)), 1);

        // Read again, the bill is the one the clerk sees: the act is done.
        ui::click(w, "btn_search");
        clickRowWith(w, billNo, ColumnOf(w, QStringLiteral("billNo")));
        MsgBox::ClearShown();
        answer(MsgAnswer::Yes);
        menu(w, c.menu);
        EXPECT_NE(MsgBox::LastText(), changed);
        EXPECT_EQ(count(t().headTable, bill + QStringLiteral(" and ispass = 1")), c.audited);
        EXPECT_EQ(count(t().headTable, bill + QStringLiteral(" and ispass = 0")), c.unaudited);
        w->close();
    }
}

INSTANTIATE_TEST_SUITE_P(Directions, KeptRightsTest, ::testing::Values(BillDirection::In, BillDirection::Out),
                         DirectionName);
