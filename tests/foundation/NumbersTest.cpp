#include "Numbers.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

TEST(Numbers, ReadNumberTakesTheLeadingNumber)
{
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"12.5kg", 12.5},
        {"abc", 0},
        {"", 0},
        {"  -3", -3},
        {"-.5", -0.5},
        {"1.2.3", 1.2},
        {"+7x", 7},
        {".", 0},
        // The database writes large values in exponent form.
        {"1.0e+40", 1e40},
        {"1.23456789012346e+15", 1.23456789012346e+15},
        {"5E-3kg", 0.005},
        {"2e", 2},
        {"3e+", 3},
        {"e5", 0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(ReadNumber(QString::fromUtf8(c.text)), c.value) << c.text;
    EXPECT_DOUBLE_EQ(ReadNumber(QVariant()), 0);
    EXPECT_DOUBLE_EQ(ReadNumber(QVariant(QStringLiteral("3.25"))), 3.25);
}

TEST(Numbers, SignificantDigitsAreCountedAsTyped)
{
    const struct {
        const char* text;
        int digits;
    } cases[] = {
        {"0012.50", 3}, {"100", 3}, {"-0.000123", 3}, {"999999999999999", 15},   {"99999999999999999999", 20},
        {"0.0", 0},     {"abc", 0}, {" 1.5x", 2},     {"123456789.1234567", 16},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SignificantDigits(QString::fromUtf8(c.text)), c.digits) << c.text;
}

TEST(Numbers, FormatRoundsHalfAwayFromZeroAndNeverShowsMinusZero)
{
    const struct {
        double value;
        const char* format;
        const char* text;
    } cases[] = {
        {3, "#0.0##", "3.0"},
        {12.5, "#0.0##", "12.5"},
        {2.675, "#0.0#", "2.68"},
        {1.0005, "#0.0##", "1.001"},
        {-1.0005, "#0.0##", "-1.001"},
        {-0.0001, "#0.0##", "0.0"},
        {1234567.5, "￥#,##0.0#", "￥1,234,567.5"},
        {-1234.5, "￥#,##0.0#", "-￥1,234.5"},
        {0.5, "0", "1"},
        {1.005, "#0.00", "1.01"},
        {999.9999, "#0.0##", "1000.0"},
        {0.125, "#0.0##", "0.125"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatNumber(c.value, QString::fromUtf8(c.format)), QString::fromUtf8(c.text))
            << c.value << " " << c.format;
    EXPECT_EQ(PlainNumber(12.50), QStringLiteral("12.5"));
    EXPECT_EQ(PlainNumber(3.0), QStringLiteral("3"));
    EXPECT_EQ(PlainNumber(-0.0004), QStringLiteral("0"));
}

// A stored number shown as it is: every digit a double holds, no noise.
TEST(Numbers, FormatDecimalsAreTheMostAFormatShows)
{
    const struct {
        const char* format;
        int places;
    } cases[] = {{"#0.0##", 3}, {"#0", 0}, {"0.00", 2}, {"￥#,##0.0#", 2}, {"#0.0## 元", 3}};
    for (const auto& c : cases)
        EXPECT_EQ(FormatDecimals(QString::fromUtf8(c.format)), c.places) << c.format;
}

TEST(Numbers, NumberTextShowsTheWholeValue)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.333 * 0.25, "0.08325"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {0.1 * 3, "0.3"},
        {24.0, "24"},
        {0.5, "0.5"},
        {-0.0, "0"},
        {-1.0 / 3, "-0.333333333333333"},
        {0.00001, "0.00001"},
        {123456.789 * 2, "246913.578"},
        {1e15, "1000000000000000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NumberText(c.value), QString::fromUtf8(c.text)) << c.text;
}

TEST(Numbers, SumsAndProductsCarryNoBinaryNoise)
{
    DecimalSum sum(3);
    for (int i = 0; i < 1000; ++i)
        sum.add(0.1);
    EXPECT_EQ(sum.value(), 100.0);
}

// Each value counts rounded half away from zero at the sum's places, and the
// count never wraps: bill totals far beyond 64 bits of thousandths stay exact.
TEST(Numbers, DecimalSumsRoundEachValueAndNeverWrap)
{
    const struct {
        int places;
        std::vector<double> values;
        std::string text;
        double value;
    } cases[] = {
        {2, {1.005}, "1.01", 1.01},
        {3, {1.0005}, "1.001", 1.001},
        {2, {-1.005}, "-1.01", -1.01},
        {2, {2.675, 0.005}, "2.69", 2.69},
        {0, {2.5, -0.5}, "2", 2},
        {2, {0.004, -0.004}, "0.00", 0},
        {2, {-0.001}, "0.00", 0},
        {3, {99999999999999900.0}, "99999999999999900.000", 99999999999999900.0},
        {3, {1e16, 1e16}, "20000000000000000.000", 2e16},
        {3, {9.3e15, 9.3e15}, "18600000000000000.000", 1.86e16},
        {3, {-9.3e15, -9.3e15}, "-18600000000000000.000", -1.86e16},
        {6, {1e30, 1e30}, "2000000000000000000000000000000.000000", 2e30},
        {6, {1e35, 1e35, -1e35}, "100000000000000000000000000000000000.000000", 1e35},
        {3, {1e300, -1e300, 0.5}, "0.500", 0.5},
        {2, {1e200, 1e200}, "2" + std::string(200, '0') + ".00", 2e200},
        {3, {9e50, 9e50}, "18" + std::string(50, '0') + ".000", 1.8e51},
        // Past the machine word, with a carry out of the top digit.
        {3, {0.001, 9e50, 9e50}, "18" + std::string(50, '0') + ".001", 1.8e51},
        {3, {12.345, 1e-201}, "12.345", 12.345},
    };
    for (const auto& c : cases) {
        DecimalSum sum(c.places);
        for (double v : c.values)
            sum.add(v);
        EXPECT_EQ(sum.text(), QString::fromStdString(c.text)) << c.text;
        EXPECT_EQ(sum.value(), c.value) << c.text;
    }
}

TEST(Numbers, DecimalSumUnitsAreTheExactCount)
{
    DecimalSum sum(3);
    for (int i = 0; i < 20; ++i)
        sum.add(999999999999999.0 * 100);
    EXPECT_TRUE(sum.units() == __int128(99999999999999900) * 20 * 1000);
    EXPECT_GT(sum.value(), 0);
    EXPECT_EQ(FormatNumber(sum.value(), QStringLiteral("#,##0.00")),
              QStringLiteral("1,999,999,999,999,998,000.00"));
}

// A product is rounded once, by its first dropped digit: the digits after it
// never carry into it (1.0449 to 2 places is 1.04, not 1.045 then 1.05).
TEST(Numbers, ProductsRoundOnceByTheFirstDroppedDigit)
{
    const struct {
        double a, b;
        int decimals;
        double product;
    } cases[] = {
        {3, 12.5, 3, 37.5},
        {0.1, 0.2, 3, 0.02},
        {1.005, 1, 2, 1.01},
        {-2.5, 0.3, 0, -1.0},
        {1.0449, 1, 2, 1.04},
        {-1.0449, 1, 2, -1.04},
        {1.23, 1.15, 2, 1.41},
        {9.9949, 1, 2, 9.99},
        {2.4449, 1, 0, 2.0},
        {0.995, 1, 2, 1.0},
        {1.2345, 2, 2, 2.47},
        {0.0449, 0.5, 2, 0.02},
        // Every place of a factor counts: the ninth and beyond.
        {0.000000005, 100000000, 2, 0.5},
        {0.0000000005, 1000000000, 2, 0.5},
        {1.5, 0.003, 3, 0.005},
        {-1.5, 0.003, 3, -0.005},
        {100000, 1e-05, 3, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MultiplyRounded(c.a, c.b, c.decimals), c.product)
            << c.a << " x " << c.b << " to " << c.decimals;
}

// A number box keeps a number when a stored double gives it back as typed
// and it has no more places than the box shows; a text that spells no one
// number is refused, and so is anything else.
TEST(Numbers, ABoxKeepsOnlyWhatAStoredNumberGivesBack)
{
    const std::string tiny = "0." + std::string(200, '0') + "1";
    const struct {
        std::string text;
        NumberFit fit;
    } cases[] = {
        {"123456789012345", NumberFit::Kept},
        {"0.000001", NumberFit::Kept},
        {"-12.5", NumberFit::Kept},
        {"1e5", NumberFit::Kept},
        {"0", NumberFit::Kept},
        {" 12.5 ", NumberFit::Kept},
        {"12.5kg", NumberFit::Kept},
        {"2e", NumberFit::Kept},
        {"１２", NumberFit::Kept},
        {"－１２．５", NumberFit::Kept},
        {"\u3000１２\u3000", NumberFit::Kept},
        {"", NumberFit::NotANumber},
        {"   ", NumberFit::NotANumber},
        {"NaN", NumberFit::NotANumber},
        {"inf", NumberFit::NotANumber},
        {"-inf", NumberFit::NotANumber},
        {"abc1", NumberFit::NotANumber},
        {"-", NumberFit::NotANumber},
        {".", NumberFit::NotANumber},
        {"0x10", NumberFit::NotANumber},
        {"1,5", NumberFit::NotANumber},
        {"1，5", NumberFit::NotANumber},
        {"1.2.3", NumberFit::NotANumber},
        {"1-2", NumberFit::NotANumber},
        {"1e+", NumberFit::NotANumber},
        {"12 34", NumberFit::NotANumber},
        {"12.5kg3", NumberFit::NotANumber},
        {"1e309", NumberFit::TooManyDigits},
        {"1234567890123456", NumberFit::TooManyDigits},
        {"12345678901234567890", NumberFit::TooManyDigits},
        {"1e400", NumberFit::TooManyDigits},
        {"1e-400", NumberFit::TooManyDigits},
        {"1e1001", NumberFit::TooManyDigits},
        {"-1e-1001", NumberFit::TooManyDigits},
        {"0.0000001", NumberFit::TooManyPlaces},
        {tiny, NumberFit::TooManyPlaces},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FitOfNumber(QString::fromStdString(c.text), 6), c.fit) << c.text;
    // Full-width digits read as the digits they are.
    EXPECT_EQ(ReadNumber(QStringLiteral("－１２．５")), -12.5);
    EXPECT_EQ(ReadNumber(QStringLiteral("１２３ｋｇ")), 123);
}
