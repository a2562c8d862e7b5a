// The report functions in the scaled form give the digits of the digit core,
// and leave every value it cannot hold to it.
#include "TestEnv.h"

#include "Numbers.h"
#include "ReportFunctions.h"
#include "sqlHelper.h"

#include <optional>
#include <string>
#include <vector>

namespace
{

// A table t (x, y) without column types, so that every value keeps its
// form: REAL, INTEGER, text.
class ScaledSqlTest : public DbTest
{
  protected:
    void fill(const std::vector<std::pair<const char*, const char*>>& rows)
    {
        exec(QStringLiteral("DROP TABLE IF EXISTS temp.t"));
        exec(QStringLiteral("CREATE TEMP TABLE t (k INTEGER PRIMARY KEY, x, y)"));
        for (const auto& [x, y] : rows)
            exec(QStringLiteral("INSERT INTO t (x, y) VALUES (%1, %2)")
                     .arg(QLatin1String(x), QLatin1String(y)));
    }
    // The rows as the digit core reads them (a Null as none).
    std::vector<std::pair<std::optional<Decimal>, std::optional<Decimal>>> read()
    {
        std::vector<std::pair<std::optional<Decimal>, std::optional<Decimal>>> out;
        const RecordSetPtr rs = ExecuteSql(QStringLiteral("SELECT x, y FROM t ORDER BY k"));
        for (int r = 0; r < rs->RecordCount(); ++r) {
            const auto one = [&](int c) -> std::optional<Decimal> {
                const QVariant v = rs->value(r, c);
                if (v.isNull())
                    return std::nullopt;
                return ReadDecimal(v);
            };
            out.emplace_back(one(0), one(1));
        }
        return out;
    }
};

// Values of every form side by side: the scaled ones, the ones that do not
// fit (17 digits, 0.1 + 0.2, 1e-16, exponent forms, the largest integers),
// negatives, -0, 1e-7, text in a number column, Null.
const std::vector<std::pair<const char*, const char*>> kRows = {
    {"2", "1.5"},
    {"-2", "1.25"},
    {"1e-7", "10000000"},
    {"-0.0", "5"},
    {"0.0005", "1"},
    {"-0.0005", "1"},
    {"1.0045", "-3"},
    {"0.1 + 0.2", "3"},
    {"12345678901234567", "1"},
    {"1e-16", "1e16"},
    {"2.5e3", "1.5E-2"},
    {"'12.5kg'", "2"},
    {"'abc'", "2"},
    {"' 1e2'", "'0.5'"},
    {"99999999999999.9", "99999999999999.9"},
    {"9223372036854775807", "9223372036854775807"},
    {"-9223372036854775807", "9223372036854775807"},
    {"123456789012345", "0.000000000000001"},
    {"NULL", "2"},
    {"3", "NULL"},
};

} // namespace

// line_amount, bill_amount and dec_sum over those rows: the digits of the digit core,
// row by row and summed, also where the sum outgrows the 128-bit word and
// where a small term comes after a large sum.
TEST_F(ScaledSqlTest, AmountsAndSumsAreTheDigitCores)
{
    fill(kRows);
    RegisterReportFunctions();
    const auto rows = read();
    const RecordSetPtr amounts = ExecuteSql(QStringLiteral("SELECT line_amount(x, y) FROM t ORDER BY k"));
    ASSERT_EQ(amounts->RecordCount(), int(rows.size()));
    Decimal sum, sumRounded, sumX;
    BillAmount bill;
    bool anyX = false;
    for (int r = 0; r < int(rows.size()); ++r) {
        SCOPED_TRACE(std::string(kRows[size_t(r)].first) + " × " + kRows[size_t(r)].second);
        const auto& [x, y] = rows[size_t(r)];
        if (x) {
            sumX += *x;
            anyX = true;
        }
        if (!x || !y) {
            EXPECT_TRUE(amounts->value(r, 0).isNull());
            continue;
        }
        EXPECT_EQ(amounts->value(r, 0).toString(),
                  FormatNumber(LineAmount(*x, *y), QStringLiteral("#0.0##")));
        sum += *x * *y;
        sumRounded += (*x * *y).rounded(3);
        bill.addLine(*x, *y);
    }
    ASSERT_TRUE(anyX);
    const auto scalarText = [&](const char* sql) { return scalar(QString::fromLatin1(sql)).toString(); };
    EXPECT_EQ(scalarText("SELECT dec_sum(x, y) FROM t"), sum.toString());
    EXPECT_EQ(scalarText("SELECT dec_sum(x, y, 3) FROM t"), sumRounded.toString());
    EXPECT_EQ(scalarText("SELECT dec_sum(x) FROM t"), sumX.toString());
    EXPECT_EQ(scalarText("SELECT bill_amount(x, y) FROM t"),
              FormatNumber(bill.total(), QStringLiteral("#0.0#")));
    // Each row alone, and the rows in the other order.
    for (int r = 0; r < int(rows.size()); ++r) {
        const auto& [x, y] = rows[size_t(r)];
        const QVariant one = scalar(QStringLiteral("SELECT dec_sum(x, y) FROM t WHERE k = %1").arg(r + 1));
        EXPECT_EQ(one.isNull() ? QStringLiteral("<null>") : one.toString(),
                  x && y ? (*x * *y).toString() : QStringLiteral("<null>"))
            << kRows[size_t(r)].first;
    }
    EXPECT_EQ(
        scalar(QStringLiteral("SELECT dec_sum(x, y) FROM (SELECT x, y FROM t ORDER BY k DESC)")).toString(),
        sum.toString());
}

// A sum that leaves the scaled form on the way keeps every digit: three
// products near 10^38, then a term of 10^-7.
TEST_F(ScaledSqlTest, ASumOutgrowingTheWordGoesOnInTheDigitCore)
{
    fill({{"9223372036854775807", "9223372036854775807"},
          {"9223372036854775807", "9223372036854775807"},
          {"9223372036854775807", "9223372036854775807"},
          {"1e-7", "1"},
          {"-9223372036854775807", "9223372036854775807"}});
    RegisterReportFunctions();
    Decimal expected;
    for (const auto& [x, y] : read())
        expected += *x * *y;
    EXPECT_EQ(scalar(QStringLiteral("SELECT dec_sum(x, y) FROM t")).toString(), expected.toString());
    EXPECT_EQ(expected.toString(), QStringLiteral("170141183460469231694793815568465002498.0000001"));
}
