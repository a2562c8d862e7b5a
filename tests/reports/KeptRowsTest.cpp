// A kept search holds its rows by their ids. An id is never given to another
// row, and a bill saved again keeps its lines' ids, so the rows of a search
// stay those it chose: a bill saved after it on an account tag the user may
// not see never shows in a deleted bill's place, and an edited bill's lines
// stay, with their new values. The count is the search's, before and after a
// header click.
#include "ReportFixture.h"

#include "BillStore.h"
#include "GridDriver.h"
#include "frmBill.h"

#include <QComboBox>

using KeptRowsTest = ReportTest;

namespace
{

// The texts of one column on every page, walked from the first page (the
// page size picked again, which reads it anew) with 下一页.
QStringList Walk(ReportFrame* w, const QString& field)
{
    auto* size = ui::child<QComboBox>(w, "comb_pageSize");
    emit size->activated(size->currentIndex());
    QApplication::processEvents();
    return WalkOn(w, field);
}

} // namespace

// Bills 1 to 25 on tag 12, two pages, are searched in the list and the line
// detail. The newest, bill 25, is deleted (unaudited, so legitimately) and a
// bill dated before the search's range is saved on tag 16, which the user
// may not see, with a line of 777: no page, re-order or export shows it, in
// bill 25's place or any other.
TEST_P(KeptRowsTest, ABillSavedAfterTheSearchNeverTakesADeletedBillsPlace)
{
    QStringList all;
    for (int id = 1; id <= 25; ++id) {
        addBill(id, 12, 0, QStringLiteral("2024-05-%1").arg(1 + id % 19, 2, 10, QLatin1Char('0')));
        addLine(id, id, 1, id, 2);
        all << QString::number(id);
    }
    ReportFrame* list = openHead();
    ReportFrame* detail = openDetail();
    ASSERT_EQ(SortedNumbers(Walk(list, QStringLiteral("id"))), all);
    ASSERT_EQ(SortedNumbers(Walk(detail, QStringLiteral("id"))), all);

    BillStore store(t());
    ASSERT_TRUE(store.Delete(25).isResult);
    BillHead h;
    h.accountId = 16;
    h.utypeId = in() ? 3 : 4;
    h.partnerId = 1;
    h.partnerName = QStringLiteral("华东五金");
    h.createTime = QStringLiteral("2023-01-15");
    BillLine l;
    l.goodsId = 1;
    l.goodsCode = QStringLiteral("G001");
    l.goodsName = QStringLiteral("可乐");
    l.qty = 777;
    l.packQty = 1;
    l.locationId = 1;
    QList<BillLine> ls = {l};
    ASSERT_TRUE(store.Add(h, ls).isResult);
    EXPECT_GT(h.id, 25);
    EXPECT_GT(ls.at(0).id, 25);

    const QStringList kept = all.mid(0, 24);
    for (ReportFrame* w : {list, detail}) {
        SCOPED_TRACE(w == list ? "list" : "detail");
        for (const bool clicked : {false, true}) {
            SCOPED_TRACE(clicked ? "after a header click" : "as searched");
            if (clicked)
                clickHeader(w, ColumnOf(w, QStringLiteral("billNo")));
            EXPECT_EQ(SortedNumbers(Walk(w, QStringLiteral("id"))), kept);
            EXPECT_FALSE(Walk(w, QStringLiteral("accountName")).contains(QStringLiteral("外账")));
            EXPECT_FALSE(Walk(w, QStringLiteral("billNo")).contains(h.billNo));
            if (w == detail) {
                EXPECT_FALSE(Walk(w, QStringLiteral("qty")).contains(QStringLiteral("777")));
            }
            EXPECT_EQ(pagerText(w), QStringLiteral("记录数:25 条"));

            ui::clickToolbar(w, "export");
            const QList<QStringList> sheet = ReadWorkbook(lastExport());
            ASSERT_EQ(sheet.size(), 2 + 24);
            for (const QStringList& row : sheet.mid(2)) {
                EXPECT_FALSE(row.contains(QStringLiteral("外账")));
                EXPECT_FALSE(row.contains(h.billNo));
                EXPECT_FALSE(row.contains(QStringLiteral("777")));
            }
            MsgBox::ClearShown();
        }
    }
}

// Three bills of two lines each in the line detail (记录数:6 条). Bill 3 is
// saved from the bill window with its first line's quantity changed to 4:
// both its lines stay in the kept result, the first with its new quantity,
// in every page, re-order and export, and the count stays 6.
TEST_P(KeptRowsTest, AnEditedBillsLinesStayInTheKeptDetail)
{
    WindowRegistry::add("frmImport", [] { return new frmImport; });
    WindowRegistry::add("frmExport", [] { return new frmExport; });
    frmBill::SetStockProbe([](int) { return std::optional<Decimal>(); });
    for (int id = 1; id <= 3; ++id) {
        addBill(id, 12, 0, QStringLiteral("2024-05-0%1").arg(id));
        exec(QStringLiteral("update %1 set createTime='2024-05-0%2' where id=%2").arg(t().headTable).arg(id));
        addLine(id * 10 + 1, id, 1, 1, 2);
        addLine(id * 10 + 2, id, 2, 2, 2);
    }
    ReportFrame* w = openDetail();
    ASSERT_EQ(pagerText(w), QStringLiteral("记录数:6 条"));
    const QStringList before = Walk(w, QStringLiteral("id"));
    ASSERT_EQ(SortedNumbers(before), (QStringList{"11", "12", "21", "22", "31", "32"}));

    // The clerk opens bill 3 from the detail and changes its first line.
    clickRowWith(w, QStringLiteral("31"), ColumnOf(w, QStringLiteral("id")));
    menu(w, "menu_BrowseBill");
    auto* bill = qobject_cast<frmBill*>(WindowRegistry::instance(billWindow()));
    ASSERT_NE(bill, nullptr);
    ASSERT_EQ(bill->txt_id->text(), QStringLiteral("3"));
    ui::activate(bill);
    ui::typeCell(bill->vs_bill, 1, bill->vs_bill->ColIndex(QStringLiteral("qty")), QStringLiteral("4"));
    answer(MsgAnswer::Yes);
    ui::clickToolbar(bill, "save");
    ASSERT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!"));
    EXPECT_EQ(count(t().lineTable, QStringLiteral("id in (31, 32) and headId=3")), 2);

    ui::activate(w);
    for (const bool clicked : {false, true}) {
        SCOPED_TRACE(clicked ? "after a header click" : "as searched");
        if (clicked)
            clickHeader(w, ColumnOf(w, QStringLiteral("goodsCode")));
        const QStringList ids = Walk(w, QStringLiteral("id"));
        EXPECT_EQ(SortedNumbers(ids), SortedNumbers(before));
        const QStringList qty = Walk(w, QStringLiteral("qty"));
        EXPECT_EQ(qty.value(ids.indexOf(QStringLiteral("31"))), QStringLiteral("4"));
        EXPECT_EQ(pagerText(w), QStringLiteral("记录数:6 条"));
        ui::clickToolbar(w, "export");
        EXPECT_EQ(ReadWorkbook(lastExport()).size(), 2 + 6);
        MsgBox::ClearShown();
    }
    frmBill::SetStockProbe({});
}

// 45 bills over three pages of 20; five are deleted on another workstation.
// The count and the pages stay those of the search before a header click and
// after it: the rows still stored show once each, the deleted ones nowhere.
TEST_P(KeptRowsTest, TheCountIsTheSearchsBeforeAndAfterAClick)
{
    for (const bool detail : {false, true}) {
        SCOPED_TRACE(detail ? "detail" : "list");
        {
            TransactionGuard tx;
            exec(QStringLiteral("DELETE FROM %1").arg(t().lineTable));
            exec(QStringLiteral("DELETE FROM %1").arg(t().headTable));
            for (int id = 1; id <= 45; ++id) {
                addBill(id, 12, 0, QStringLiteral("2024-05-%1").arg(1 + id % 19, 2, 10, QLatin1Char('0')));
                addLine(id, id, 1, 1, id);
            }
            tx.commit();
        }
        ReportFrame* w = detail ? openDetail() : openHead();
        ASSERT_EQ(pagerText(w), QStringLiteral("记录数:45 条"));
        ASSERT_EQ(ui::child<QLineEdit>(w, "txt_MaxPageIndex")->text(), QStringLiteral("3"));
        {
            OtherWorkstation other(appDir() + QStringLiteral("wms.db"));
            other.exec(
                QStringLiteral("DELETE FROM %1 WHERE headId IN (2, 9, 20, 33, 41)").arg(t().lineTable));
            other.exec(QStringLiteral("DELETE FROM %1 WHERE id IN (2, 9, 20, 33, 41)").arg(t().headTable));
        }
        QStringList stored;
        for (int id = 1; id <= 45; ++id)
            if (id != 2 && id != 9 && id != 20 && id != 33 && id != 41)
                stored << QString::number(id);
        for (const bool clicked : {false, true}) {
            SCOPED_TRACE(clicked ? "after a header click" : "as searched");
            if (clicked)
                clickHeader(w, ColumnOf(w, QStringLiteral("billNo")));
            const QStringList ids = Walk(w, QStringLiteral("id"));
            EXPECT_EQ(SortedNumbers(ids), stored);
            EXPECT_EQ(pagerText(w), QStringLiteral("记录数:45 条"));
            EXPECT_EQ(ui::child<QLineEdit>(w, "txt_MaxPageIndex")->text(), QStringLiteral("3"));
        }
        w->close();
        QApplication::processEvents();
    }
}

INSTANTIATE_TEST_SUITE_P(Directions, KeptRowsTest, ::testing::Values(BillDirection::In, BillDirection::Out),
                         DirectionName);
