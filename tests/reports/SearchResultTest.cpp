// A search fixes its rows and their order: pages, header clicks, the export
// and the print show exactly those rows, whatever is written meanwhile by
// this window or by another workstation. Totals are exact decimal sums.
#include "ReportFixture.h"

#include "StockSums.h"

#include <QDateEdit>
#include <QSet>

using SearchResultTest = ReportTest;

namespace
{

// Every page from the first to the last, as a user walks them with
// 首页 and 下一页: the texts of one column, page after page.
QStringList Walk(ReportFrame* w, const QString& field)
{
    if (ui::child<QWidget>(w, "btn_FirstPage")->isEnabled())
        ui::click(w, "btn_FirstPage");
    return WalkOn(w, field);
}

QStringList Range(int from, int to, const QSet<int>& without = {})
{
    QStringList out;
    for (int i = from; i <= to; ++i)
        if (!without.contains(i))
            out << QString::number(i);
    return out;
}

} // namespace

// 85 bills over five pages; bill 23 is audited from the list, which moves it
// into the audited group of the stored order. Every bill still shows once.
TEST_P(SearchResultTest, AuditFromTheListKeepsEveryBillOnce)
{
    {
        TransactionGuard tx;
        for (int id = 1; id <= 85; ++id) {
            addBill(id, 12, id % 4 == 0 ? 1 : 0,
                    QStringLiteral("2024-05-%1").arg(1 + id % 19, 2, 10, QLatin1Char('0')));
            addLine(id, id, 1, 1, id);
        }
        tx.commit();
    }
    ReportFrame* w = openHead();
    ASSERT_EQ(pagerText(w), QStringLiteral("记录数:85 条"));
    const QStringList before = Walk(w, QStringLiteral("id"));
    ASSERT_EQ(SortedNumbers(before), Range(1, 85));

    // Find bill 23 page by page and audit it.
    const QString no23 = QStringLiteral("%1-2405-00023").arg(code());
    ui::click(w, "btn_FirstPage");
    while (!ui::clickRow(w->grid(), no23, 5))
        ui::click(w, "btn_NextPage");
    answer(MsgAnswer::Yes);
    menu(w, "menu_pass");
    ASSERT_EQ(MsgBox::LastText(), QStringLiteral("审核成功!"));

    const QStringList after = Walk(w, QStringLiteral("id"));
    EXPECT_EQ(after, before); // the same bills in the same places
    EXPECT_EQ(pagerText(w), QStringLiteral("记录数:85 条"));
    EXPECT_EQ(ui::child<QLineEdit>(w, "txt_MaxPageIndex")->text(), QStringLiteral("5"));
}

// Changes made by another workstation after the search, in the list and the
// line detail: no row shows twice, none takes another's place, the count stays.
TEST_P(SearchResultTest, ChangesElsewhereNeverRepeatOrReplaceRows)
{
    enum Change { BillSaved, LineDeleted };
    const struct {
        bool detail;
        Change change;
    } cases[] = {{false, BillSaved}, {false, LineDeleted}, {true, BillSaved}, {true, LineDeleted}};
    {
        TransactionGuard tx;
        for (int id = 1; id <= 30; ++id) {
            addBill(id, 12, id % 3 == 0 ? 1 : 0,
                    QStringLiteral("2024-05-%1").arg(1 + id % 7, 2, 10, QLatin1Char('0')));
            for (int l = 1; l <= 3; ++l)
                addLine(id * 10 + l, id, 1 + l % 3, l, 1.5);
        }
        tx.commit();
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.detail ? "detail" : "list") +
                     (c.change == BillSaved ? ", bill saved" : ", line deleted"));
        ReportFrame* w = c.detail ? openDetail() : openHead();
        const QString count = pagerText(w);
        const QStringList before = Walk(w, QStringLiteral("id"));
        ASSERT_EQ(before.size(), c.detail ? 90 : 30);
        ui::click(w, "btn_FirstPage");
        // The first row's bill date, for a bill that sorts beside it.
        const QString firstDay = cell(w, 0, ColumnOf(w, QStringLiteral("createTime")));

        OtherWorkstation other(appDir() + QStringLiteral("wms.db"));
        QSet<int> gone;
        if (c.change == BillSaved) {
            other.exec(
                QStringLiteral("INSERT INTO %1 (id, accountId, billNo, utypeId, %2, %3, ispass, creator, "
                               "createTime, userId) VALUES (900, 12, 'X-900', 3, 1, '别处', 0, 'admin', "
                               "'%4 09:30:00', 1)")
                    .arg(t().headTable, t().partnerIdCol, t().partnerNameCol, firstDay));
            for (int l = 1; l <= 5; ++l)
                other.exec(
                    QStringLiteral("INSERT INTO %1 (id, headId, rowNo, goodsId, goodsCode, goodsName, qty, "
                                   "packQty) VALUES (%2, 900, %3, 1, 'G001', '可乐', 1, 1)")
                        .arg(t().lineTable)
                        .arg(9000 + l)
                        .arg(l));
        } else {
            other.exec(QStringLiteral("DELETE FROM %1 WHERE id = 152").arg(t().lineTable));
            if (c.detail)
                gone.insert(152);
        }

        const QStringList after = Walk(w, QStringLiteral("id"));
        QStringList expected = before;
        if (!gone.isEmpty())
            expected.removeAll(QStringLiteral("152"));
        EXPECT_EQ(after, expected);
        EXPECT_EQ(QSet<QString>(after.begin(), after.end()).size(), after.size());
        EXPECT_EQ(pagerText(w), count);

        if (c.change == BillSaved) {
            // The export holds the rows of the search, not the bill saved since.
            ui::clickToolbar(w, "export");
            EXPECT_EQ(ReadWorkbook(lastExport()).size(), 2 + before.size());
            MsgBox::ClearShown();
            other.exec(QStringLiteral("DELETE FROM %1 WHERE headId = 900").arg(t().lineTable));
            other.exec(QStringLiteral("DELETE FROM %1 WHERE id = 900").arg(t().headTable));
        } else {
            other.exec(
                QStringLiteral("INSERT INTO %1 (id, headId, rowNo, goodsId, goodsCode, goodsName, qty, "
                               "packQty) VALUES (152, 15, 2, 1, 'G001', '可乐', 2, 1)")
                    .arg(t().lineTable));
        }
        w->close();
        QApplication::processEvents();
    }
}

// The export after a search and after a header click: the rows of the
// search in the order the grid shows, with a bill saved in between.
TEST_P(SearchResultTest, ExportEqualsTheSearchInEveryOrder)
{
    {
        TransactionGuard tx;
        for (int id = 1; id <= 12; ++id) {
            addBill(id, 12, 0, QStringLiteral("2024-05-%1").arg(1 + id % 4, 2, 10, QLatin1Char('0')));
            for (int l = 1; l <= 4; ++l)
                addLine(id * 10 + l, id, 1 + (id + l) % 3, l, 2);
        }
        tx.commit();
    }
    for (const bool detail : {false, true}) {
        SCOPED_TRACE(detail ? "detail" : "list");
        ReportFrame* w = detail ? openDetail() : openHead();
        const int billCol = ColumnOf(w, QStringLiteral("billNo"));
        const int sortCol = ColumnOf(w, detail ? QStringLiteral("goodsName") : QStringLiteral("billNo"));
        const int searched = w->keptCount();
        ASSERT_EQ(searched, detail ? 50 : 12); // the detail also finds the two bills saved before it opened
        for (const bool clicked : {false, true}) {
            if (clicked)
                clickHeader(w, sortCol);
            addBill(50 + int(clicked) + (detail ? 10 : 0), 12, 0, QStringLiteral("2024-05-03"));
            addLine(500 + int(clicked) + (detail ? 10 : 0), 50 + int(clicked) + (detail ? 10 : 0), 1, 1, 1);
            QStringList shownBills;
            const QStringList ids = Walk(w, QStringLiteral("id"));
            ui::click(w, "btn_FirstPage");
            for (;;) {
                for (int r = 0; r < dataRows(w); ++r)
                    shownBills << cell(w, r, billCol);
                if (!enabled(w, "btn_NextPage"))
                    break;
                ui::click(w, "btn_NextPage");
            }
            ASSERT_EQ(ids.size(), searched); // not the bill saved since
            ui::clickToolbar(w, "export");
            const QList<QStringList> sheet = ReadWorkbook(lastExport());
            QStringList exportedBills;
            for (int r = 2; r < sheet.size(); ++r)
                exportedBills << sheet.at(r).value(2); // 单据号码
            EXPECT_EQ(exportedBills, shownBills) << (clicked ? "after the click" : "in the first order");
            MsgBox::ClearShown();
        }
        w->close();
        QApplication::processEvents();
    }
}

// Amounts that are exactly half-way round away from zero, in the list, its
// export and the line detail: the digits the bill window shows.
TEST_P(SearchResultTest, HalfWayTotalsRoundAwayFromZero)
{
    const struct {
        QList<std::pair<double, double>> lines; // qty, price
        const char* amount;
    } cases[] = {
        {{{22, 69.072}, {17, 91.053}}, "3067.49"}, // 3067.485
        {{{23, 11.165}}, "256.8"},                 // 256.795
        {{{3, 0.1}, {3, 0.2}, {-1, 0.9}}, "0"},    // 0.9 - 0.9: never "-0"
        {{{1, 0.125}}, "0.13"},
    };
    int id = 0;
    for (const auto& c : cases) {
        ++id;
        addBill(id, 12, 0, QStringLiteral("2024-05-%1").arg(id, 2, 10, QLatin1Char('0')));
        int row = 0;
        for (const auto& [qty, price] : c.lines)
            addLine(id * 10 + ++row, id, 1, qty, price);
    }
    ReportFrame* w = openHead();
    clickHeader(w, ColumnOf(w, QStringLiteral("billNo"))); // by bill number, ascending
    const int amountCol = ColumnOf(w, QStringLiteral("totalAmount"));
    ui::clickToolbar(w, "export");
    const QList<QStringList> sheet = ReadWorkbook(lastExport());
    for (int k = 0; k < int(std::size(cases)); ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(cell(w, k, amountCol), QString::fromLatin1(cases[k].amount));
        EXPECT_EQ(sheet.value(2 + k).value(7), cell(w, k, amountCol));
    }
    MsgBox::ClearShown();
    // The line amounts of the first bill as the bill window shows them.
    const QStringList amounts = Walk(openDetail(), QStringLiteral("totalAmount"));
    EXPECT_TRUE(amounts.contains(QStringLiteral("1519.584")));
    EXPECT_TRUE(amounts.contains(QStringLiteral("1547.901")));
    EXPECT_TRUE(amounts.contains(QStringLiteral("256.795")));
}

// The goods sums: pieces, weights and default units summed exactly.
TEST_P(SearchResultTest, GoodsSumsAreExactAndRoundHalfAway)
{
    addBill(1, 12, 1, QStringLiteral("2024-05-02"));
    // Goods 1's default unit holds 6 pieces: 3067.485 pieces are 511.2475 units.
    addLine(1, 1, 1, 22, 1, 69.072, 69.072);
    addLine(2, 1, 1, 17, 1, 91.053, 91.053);
    ReportFrame* w = openSum();
    ASSERT_TRUE(ui::clickRow(w->grid(), QStringLiteral("G001"), 5));
    const int row = w->grid()->Row() - w->layout().headerRows;
    const QString word = t().sumWord;
    EXPECT_EQ(cell(w, row, ColumnOf(w, QStringLiteral("total%1Qty").arg(word))), QStringLiteral("3067.485"));
    EXPECT_EQ(cell(w, row, ColumnOf(w, QStringLiteral("total%1Weight").arg(word))),
              QStringLiteral("3067.49"));
    EXPECT_EQ(cell(w, row, ColumnOf(w, QStringLiteral("total%1DefaultQty").arg(word))),
              QStringLiteral("511.248"));
    ui::clickToolbar(w, "export");
    const QList<QStringList> sheet = ReadWorkbook(lastExport());
    bool found = false;
    for (const QStringList& r : sheet) {
        if (r.value(2) != QLatin1String("G001"))
            continue;
        found = true;
        EXPECT_EQ(r.mid(8, 3), (QStringList{QStringLiteral("3067.485"), QStringLiteral("3067.49"),
                                            QStringLiteral("511.248")}));
    }
    EXPECT_TRUE(found);
}

// goodsCode sorts without regard to case, ties by id, in every report of goods codes.
TEST_P(SearchResultTest, GoodsCodesSortWithoutCase)
{
    exec(QStringLiteral(
        "INSERT INTO tb_goods_head (id, goodsTypeId, goodsCode, goodsName, status) VALUES "
        "(5, 7, 'G005', '五', '启用'), (6, 7, 'g006', '六', '启用'), (7, 7, 'G007', '七', '启用'), "
        "(10, 7, 'G010', '十', '启用')"));
    exec(QStringLiteral(
        "INSERT INTO tb_goods_detail (id, headId, isDefault, unit, packQty) VALUES "
        "(50, 5, 1, '个', 1), (60, 6, 1, '个', 1), (70, 7, 1, '个', 1), (100, 10, 1, '个', 1)"));
    addBill(1, 12, 1, QStringLiteral("2024-05-02"));
    int line = 0;
    for (int goods : {10, 7, 6, 5})
        addLine(++line, 1, goods, 1, 1);
    const QStringList ascending = {QStringLiteral("G005"), QStringLiteral("g006"), QStringLiteral("G007"),
                                   QStringLiteral("G010")};
    const auto codes = [](ReportFrame* w) {
        QStringList out;
        for (const QString& c : Walk(w, QStringLiteral("goodsCode")))
            if (c.compare(QLatin1String("G005"), Qt::CaseInsensitive) >= 0)
                out << c;
        return out;
    };
    ReportFrame* detail = openDetail();
    clickHeader(detail, ColumnOf(detail, QStringLiteral("goodsCode"))); // ascending
    EXPECT_EQ(codes(detail), ascending);
    ReportFrame* sums = openSum(); // goodsCode, descending
    QStringList descending = ascending;
    std::reverse(descending.begin(), descending.end());
    EXPECT_EQ(codes(sums), descending);
    clickHeader(sums, ColumnOf(sums, QStringLiteral("goodsCode")));
    EXPECT_EQ(codes(sums), ascending);
}

// Rows whose order field is equal keep the order of their ids, in the
// order's direction: bills stored out of id order, and goods whose sums are
// all the same, sorted by the default order and by a header click either way.
TEST_P(SearchResultTest, EqualValuesSortByIdInTheOrdersDirection)
{
    for (int id : {3, 1, 4, 2}) {
        addBill(id, 12, 1, QStringLiteral("2024-05-02"));
        addLine(id, id, id % 3 + 1, 1, 1);
    }
    const auto ids = [](ReportFrame* w) { return Walk(w, QStringLiteral("id")).join(QLatin1Char(',')); };

    ReportFrame* bills = openHead(); // passName, then createTime descending: all equal
    EXPECT_EQ(ids(bills), QStringLiteral("4,3,2,1"));
    clickHeader(bills, ColumnOf(bills, QStringLiteral("creator"))); // ascending
    EXPECT_EQ(ids(bills), QStringLiteral("1,2,3,4"));
    clickHeader(bills, ColumnOf(bills, QStringLiteral("creator")));
    EXPECT_EQ(ids(bills), QStringLiteral("4,3,2,1"));

    // The goods sums come in goodsCode order, descending; their weights are all 0.
    ReportFrame* sums = openSum();
    const int weight = ColumnOf(sums, StockSums::SumColumns::Of(t()).weight);
    EXPECT_EQ(ids(sums), QStringLiteral("3,2,1"));
    clickHeader(sums, weight);
    EXPECT_EQ(ids(sums), QStringLiteral("1,2,3"));
    clickHeader(sums, weight);
    EXPECT_EQ(ids(sums), QStringLiteral("3,2,1"));
}

// The date range holds its first and its last day, in every bill report.
TEST_P(SearchResultTest, TheRangeHoldsItsLastDay)
{
    addBill(1, 12, 1, QStringLiteral("2024-04-30"));
    addBill(2, 12, 1, QStringLiteral("2024-05-01"));
    addBill(3, 12, 1, QStringLiteral("2024-05-15"));
    exec(QStringLiteral("UPDATE %1 SET createTime = '2024-05-15 23:59:59' WHERE id = 3").arg(t().headTable));
    addBill(4, 12, 1, QStringLiteral("2024-05-16"));
    for (int id = 1; id <= 4; ++id)
        addLine(id, id, id < 4 ? id : 1, 1, 1);
    for (int kind = 0; kind < 3; ++kind) {
        SCOPED_TRACE(kind);
        ReportFrame* w = kind == 0 ? openHead() : kind == 1 ? openDetail() : openSum();
        ui::child<QDateEdit>(w, "dt_createDateFrom")->setDate(QDate(2024, 5, 1));
        ui::child<QDateEdit>(w, "dt_createDateTo")->setDate(QDate(2024, 5, 15));
        ui::click(w, "btn_search");
        if (kind < 2) {
            EXPECT_EQ(SortedNumbers(Walk(w, kind == 0 ? QStringLiteral("id") : QStringLiteral("headId"))),
                      (QStringList{QStringLiteral("2"), QStringLiteral("3")}));
        } else {
            // Goods 2 and 3 count one piece each; goods 1 (bills 1 and 4) none.
            const QStringList codes = Walk(w, QStringLiteral("goodsCode"));
            const QStringList qty = Walk(w, QStringLiteral("total%1Qty").arg(t().sumWord));
            QStringList counted;
            for (int i = 0; i < codes.size(); ++i)
                if (qty.at(i) != QLatin1String("0"))
                    counted << codes.at(i);
            EXPECT_EQ(counted, (QStringList{QStringLiteral("G003"), QStringLiteral("G002")}));
        }
        w->close();
        QApplication::processEvents();
    }
}

INSTANTIATE_TEST_SUITE_P(Directions, SearchResultTest,
                         ::testing::Values(BillDirection::In, BillDirection::Out), DirectionName);
