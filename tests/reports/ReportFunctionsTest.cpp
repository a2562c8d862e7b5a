#include "TestEnv.h"

#include "ReportFunctions.h"
#include "sqlHelper.h"

#include <string>
#include <vector>

using ReportFunctionsTest = DbTest;

// The formatters write the report forms; a registration SQLite refuses (here:
// replacing a function while a statement of the connection is running) is
// reported, not passed over.
TEST_F(ReportFunctionsTest, FormsAndARefusedRegistration)
{
    RegisterReportFunctions();
    const struct {
        const char* sql;
        const char* text;
    } cases[] = {
        {"select rpt_num(12, '#0.0##')", "12.0"},
        {"select rpt_num(1.23456, '#0.0##')", "1.235"},
        {"select rpt_num(0.0001, '#0.0##', '0')", "0.0001"},
        {"select rpt_num(0.0001, '#0.0##')", "0.0001"},
        {"select rpt_num(0, '#0.0##', '0')", "0"},
        {"select rpt_num(0.0, '#0.0##')", "0.0"},
        {"select rpt_diff('0.00001', '0', 3)", "0.00001"},
        {"select rpt_diff('0.1', '0.10001', 3)", "-0.00001"},
        {"select rpt_num(2.255, '#0.0#', '0')", "2.26"},
        {"select rpt_diff('12.5', '2.25', 3)", "10.25"},
        {"select rpt_diff('1', '1.0', 3)", "0"},
        {"select rpt_diff(0.3, 0.1, 2)", "0.2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scalar(QString::fromUtf8(c.sql)).toString(), QString::fromUtf8(c.text)) << c.sql;
    EXPECT_TRUE(scalar(QStringLiteral("select rpt_num(NULL, '#0.0##', '0') is null")).toBool());

    QSqlQuery running = OpenForwardQuery(QStringLiteral("select rpt_num(id, '#0.0#') from tb_dictionary"));
    ASSERT_TRUE(running.next());
    EXPECT_THROW(RegisterReportFunctions(), DbError);
    running.finish();
    EXPECT_NO_THROW(RegisterReportFunctions());
}

namespace
{

std::string Zeros(int n)
{
    return std::string(size_t(n), '0');
}

// The rows a sum reads, as SQL literals; nullptr stands for Null.
struct Row {
    const char* x;
    const char* y = "1";
};

class DecimalFunctionsTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        RegisterReportFunctions();
    }
    // The rows in a table of REAL columns (as bill lines keep them), then the
    // select over it; Null as the text "<null>".
    std::string over(const std::vector<Row>& rows, const QString& select)
    {
        exec(QStringLiteral("DROP TABLE IF EXISTS temp.t"));
        exec(QStringLiteral("CREATE TEMP TABLE t (k INTEGER PRIMARY KEY, x REAL, y REAL)"));
        for (const Row& r : rows)
            exec(QStringLiteral("INSERT INTO t (x, y) VALUES (%1, %2)")
                     .arg(r.x ? QLatin1String(r.x) : QLatin1String("NULL"),
                          r.y ? QLatin1String(r.y) : QLatin1String("NULL")));
        const QVariant v = scalar(QStringLiteral("SELECT ") + select + QStringLiteral(" FROM t"));
        return v.isNull() ? std::string("<null>") : v.toString().toStdString();
    }
};

} // namespace

// dec_sum reads every stored REAL by its own shortest digits, whatever came
// before it, and sums exactly: values whose shortest form has an exponent
// after longer ones, 15 × 15 digits, 200 places, negatives, ties, Nulls, the
// largest and smallest doubles.
TEST_F(DecimalFunctionsTest, SumsOfStoredValues)
{
    const struct {
        std::vector<Row> rows;
        const char* select;
        std::string sum;
    } cases[] = {
        {{{"12.345"}, {"100000"}}, "dec_sum(x)", "100012.345"},
        {{{"1234567.5"}, {"1000000.0"}}, "dec_sum(x)", "2234567.5"},
        {{{"123456.789"}, {"200000.25"}}, "dec_sum(x)", "323457.039"},
        {{{"12.3456"}, {"0.00001"}}, "dec_sum(x)", "12.34561"},
        {{{"0.1234567"}, {"1e-7"}}, "dec_sum(x)", "0.1234568"},
        {{{"12.34567891"}, {"1000000"}, {"1e-05"}}, "dec_sum(x)", "1000012.34568891"},
        {{{"0.1"}, {"0.2"}}, "dec_sum(x)", "0.3"},
        {{{"9e50"}, {"9e50"}}, "dec_sum(x)", "18" + Zeros(50)},
        {{{"1e308"}, {"1e308"}}, "dec_sum(x)", "2" + Zeros(308)},
        {{{"1e308"}, {"-1e308"}, {"5e-324"}}, "dec_sum(x)", "0." + Zeros(323) + "5"},
        {{{"1e-201"}, {"12.345"}}, "dec_sum(x)", "12.345" + Zeros(197) + "1"},
        {{{"-2.5", "0.3"}, {"1", "0.005"}}, "dec_sum(x, y)", "-0.745"},
        {{{"999999999999999", "999999999999999"}, {"0.123456789012", "1"}},
         "dec_sum(x, y)",
         "999999999999998000000000000001.123456789012"},
        {{{"999999999999999", "999999999999999"}, {"0.123456789012", "1"}},
         "dec_sum(x, y, 3)",
         "999999999999998000000000000001.123"},
        // Each product is rounded half away from zero first, then summed.
        {{{"1.5", "0.003"}}, "dec_sum(x, y, 3)", "0.005"},
        {{{"-1.5", "0.003"}}, "dec_sum(x, y, 3)", "-0.005"},
        {{{"1.5", "0.0015"}, {"1.5", "0.0015"}}, "dec_sum(x, y, 3)", "0.004"},
        {{{"1.5", "0.0015"}, {"1.5", "0.0015"}}, "dec_sum(x, y)", "0.0045"},
        {{{"0.000000005", "100000000"}}, "dec_sum(x, y, 2)", "0.5"},
        {{{"0.0025", "1"}}, "dec_sum(x, y, 3)", "0.003"},
        // A row with a Null value adds nothing; no row that adds gives Null.
        {{{"2", nullptr}, {"3", "4"}}, "dec_sum(x, y)", "12"},
        {{{"2", nullptr}, {nullptr, "4"}}, "dec_sum(x, y)", "<null>"},
        {{{nullptr}}, "dec_sum(x)", "<null>"},
        {{}, "dec_sum(x)", "<null>"},
        {{{"2", nullptr}}, "dec_sum(x, y, 3)", "<null>"},
        // The bill rule: each line rounded once to 3 places, the sum to 2; a
        // line without a value adds nothing, a bill without lines is 0.0.
        {{{"1", "1.0045"}, {"0.3", "3"}}, "bill_amount(x, y)", "1.91"},
        {{{"2", nullptr}, {"3", "4"}, {nullptr, "5"}}, "bill_amount(x, y)", "12.0"},
        {{{"2", nullptr}}, "bill_amount(x, y)", "0.0"},
        {{{"2", nullptr}}, "line_amount(x, y)", "<null>"},
        // An infinity is no value either.
        {{{"9e999"}, {"1.5"}, {"-9e999"}}, "dec_sum(x)", "1.5"},
        {{{"0.5"}}, "typeof(dec_sum(x))", "text"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.select);
        EXPECT_EQ(over(c.rows, QString::fromLatin1(c.select)), c.sum) << c.rows.size();
    }
}

TEST_F(DecimalFunctionsTest, ProductsAndQuotients)
{
    const std::string tiny = "'0." + Zeros(200) + "1'";
    const struct {
        std::string sql;
        std::string result;
    } cases[] = {
        {"dec_mul(999999999999999.0, 999999999999999.0)", "999999999999998000000000000001"},
        {"dec_mul(999999999999999, 999999999999999)", "999999999999998000000000000001"},
        {"dec_mul(0.000000005, 100000000.0)", "0.5"},
        {"dec_mul(1e-05, 100000.0)", "1"},
        {"dec_mul(-2.5, 0.3)", "-0.75"},
        {"dec_mul(1e308, 1e308)", "1" + Zeros(616)},
        {"dec_mul(" + tiny + ", 10)", "0." + Zeros(199) + "1"},
        {"dec_mul(9007199254740993, 1)", "9007199254740993"},
        {"dec_mul(NULL, 2)", "<null>"},
        {"dec_mul(2, NULL)", "<null>"},
        {"dec_mul(9e999, 2)", "<null>"},
        {"dec_div(10, 3, 3)", "3.333"},
        {"dec_div(-2, 3, 3)", "-0.667"},
        {"dec_div(0.5, 1, 0)", "1"},
        {"dec_div(0.0001, 1, 3)", "0.0001"},
        {"dec_div(1, 30000, 3)", "0.0000" + std::string(26, '3')},
        {"dec_div(0, 7, 3)", "0"},
        {"dec_div(100012.345, 6.0, 3)", "16668.724"},
        {"dec_div(12.3456, 1e-05, 3)", "1234560"},
        {"dec_div(1e308, 5e-324, 0)", "2" + Zeros(631)},
        {"dec_div(1, 0, 3)", "<null>"},
        {"dec_div(1, 0.0, 3)", "<null>"},
        {"dec_div(0, 0, 3)", "<null>"},
        {"dec_div(NULL, 2, 3)", "<null>"},
        {"dec_div(1, NULL, 3)", "<null>"},
        {"rpt_num(dec_mul(0.000000005, 100000000.0), '#0.00')", "0.50"},
        {"rpt_num('100012.345', '#0.0##')", "100012.345"},
        {"rpt_num('12.34561', '#0.0##')", "12.346"},
        {"rpt_num(" + tiny + ", '#0.0##', '0')", "0." + Zeros(200) + "1"},
        {"rpt_num('999999999999998000000000000001.123456', '#0.0#')", "999999999999998000000000000001.12"},
        {"rpt_num(1e308, '#0.0#')", "1" + Zeros(308) + ".0"},
        {"rpt_num(9e999, '#0.0#', '0')", "0"},
        {"rpt_num(-0.0004, '#0.0##')", "-0.0004"},
        {"rpt_diff('100012.345', '0.00001', 3)", "100012.345"},
        {"rpt_diff('999999999999998000000000000001.5', '0.25', 3)", "999999999999998000000000000001.25"},
        {"rpt_diff(0.1, 0.3, 3)", "-0.2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        const QVariant v = scalar(QStringLiteral("SELECT ") + QString::fromStdString(c.sql));
        EXPECT_EQ(v.isNull() ? std::string("<null>") : v.toString().toStdString(), c.result);
    }
}
