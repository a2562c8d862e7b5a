// A header click on 金额 or 货品名称 sorts the kept lines of a search anew.
#include "ReportFixture.h"

#include "Numbers.h"
#include "dal_rpt_Reports.h"

#include <algorithm>
#include <functional>

namespace
{

using HeaderSortTest = ReportTest;

// A line of one bill: its goods name, quantity and price as stored (an SQL
// literal: a REAL, or a text in the number column).
struct Line {
    int id;
    const char* name;
    const char* qty;
    const char* price;
};

} // namespace

// The amount orders as the number of the amount the line shows (its exact
// product rounded to 3 places, values of any length or form, text in a number
// column read by its leading number), the name by its text; ties by the line
// id in the same direction. The lines deleted since the search follow the
// others in their kept order, and the count stays the search's.
TEST_P(HeaderSortTest, AmountAndNameOrderTheKeptLinesTiesById)
{
    const Line lines[] = {
        {1, "可乐", "2", "1.5"},
        {2, "b", "3", "1"},
        {3, "可乐", "0.1", "0.30000000000000004"},
        {4, "B", "1e-7", "1e7"},
        {5, "a", "-2", "1.25"},
        {6, "可乐", "1", "'2.5kg'"},
        {7, "雪碧", "1234567890123.5", "1"},
        {8, "b", "12345678901234567", "1"},
        {9, "a", "0.0005", "1"},
        {10, "B", "0.0004", "1"},
        {11, "雪碧", "-0.0", "5"},
        {12, "可乐", "10", "0.25"},
        {13, "a", "-0.0005", "1"},
        {14, "b", "1.0045", "-3"},
    };
    {
        TransactionGuard tx;
        addBill(1, 12, 1, QStringLiteral("2024-05-10"));
        for (const Line& l : lines) {
            addLine(l.id, 1, 1, 1, 1);
            exec(QStringLiteral("UPDATE %1 SET goodsName = '%2', qty = %3, %4 = %5 WHERE id = %6")
                     .arg(t().lineTable, QString::fromUtf8(l.name), QLatin1String(l.qty), t().priceCol,
                          QLatin1String(l.price))
                     .arg(l.id));
        }
        tx.commit();
    }
    // What each line's amount shows, read with the digit core.
    QMap<int, double> amount;
    QMap<int, QByteArray> name;
    for (const Line& l : lines) {
        const RecordSetPtr v = ExecuteSql(QStringLiteral("SELECT qty, %1 FROM %2 WHERE id = %3")
                                              .arg(t().priceCol, t().lineTable)
                                              .arg(l.id));
        const Decimal shown = LineAmount(ReadDecimal(v->value(0, 0)), ReadDecimal(v->value(0, 1)));
        amount[l.id] = FormatNumber(shown, QStringLiteral("#0.0##")).toDouble();
        name[l.id] = QByteArray(l.name);
    }

    dal_rpt_Report data(BillDetailSetup, dir());
    ReportFill fill;
    fill.conditions.append(
        m_condition(QStringLiteral("a.accountId"), QStringLiteral("in"), NList(QStringLiteral("12,0"))));
    m_PageInfor page;
    page.int_PageSize = 5;
    page.str_orderBy = QStringLiteral("createTime");
    page.isDesc = true;
    const m_recordSet r = data.GetListForCondition(fill, {}, page);
    ASSERT_TRUE(r.str_MsgBox.isEmpty()) << r.str_MsgBox.toStdString();
    ASSERT_EQ(r.recordCount, 14);
    // As searched: one bill date, so by id descending. Two lines go.
    {
        OtherWorkstation other(appDir() + QStringLiteral("wms.db"));
        other.exec(QStringLiteral("DELETE FROM %1 WHERE id IN (2, 9)").arg(t().lineTable));
    }
    const QList<int> gone = {9, 2};

    const auto kept = [&] {
        QList<int> ids;
        const RecordSetPtr keys =
            ExecuteSql(QStringLiteral("SELECT id FROM temp.temp_rpt_%1Detail_keys ORDER BY pos").arg(code()));
        for (int i = 0; i < keys->RecordCount(); ++i)
            ids << keys->value(i, 0).toInt();
        return ids;
    };
    const struct {
        const char* field;
        std::function<bool(int, int)> less; // ascending, ties by id
    } sorts[] = {
        {"CAST(totalAmount AS REAL)",
         [&](int a, int b) { return amount[a] != amount[b] ? amount[a] < amount[b] : a < b; }},
        {"goodsName", [&](int a, int b) { return name[a] != name[b] ? name[a] < name[b] : a < b; }},
    };
    for (const auto& s : sorts) {
        for (const bool desc : {false, true}) {
            SCOPED_TRACE(std::string(s.field) + (desc ? " desc" : " asc"));
            page.str_orderBy = QString::fromLatin1(s.field);
            page.isDesc = desc;
            EXPECT_EQ(data.Reorder(page), 14);
            QList<int> expected;
            for (const Line& l : lines)
                if (!gone.contains(l.id))
                    expected << l.id;
            std::sort(expected.begin(), expected.end(), s.less);
            if (desc)
                std::reverse(expected.begin(), expected.end());
            EXPECT_EQ(kept(), expected + gone);
            // The pages read the stored lines in that order.
            QList<int> shown;
            for (int p = 1; p <= 3; ++p) {
                page.int_currentPageIndex = p;
                const RecordSetPtr rows = data.GetPage(page);
                for (int i = 0; i < rows->RecordCount(); ++i)
                    shown << rows->value(i, QStringLiteral("id")).toInt();
            }
            page.int_currentPageIndex = 1;
            EXPECT_EQ(shown, expected);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Directions, HeaderSortTest, ::testing::Values(BillDirection::In, BillDirection::Out),
                         DirectionName);
