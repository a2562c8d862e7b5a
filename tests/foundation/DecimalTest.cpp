#include "Decimal.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

namespace
{

std::string Zeros(int n)
{
    return std::string(size_t(n), '0');
}

Decimal D(const std::string& text)
{
    const std::optional<Decimal> d = Decimal::FromText(text);
    EXPECT_TRUE(d.has_value()) << text;
    return d.value_or(Decimal());
}

std::string OfDouble(double v)
{
    const std::optional<Decimal> d = Decimal::FromDouble(v);
    return d ? d->toStdString() : "none";
}

} // namespace

// A stored double is read from its shortest digits, whatever was read before
// it: exponent forms (1e+05, 1e-07) right after longer values, whole numbers
// beyond 10^15, and every finite double down to 5e-324 and up to 1.8e308.
TEST(Decimal, DoublesReadAsTheirShortestDigits)
{
    const struct {
        double value;
        std::string text;
    } cases[] = {
        {1234567.125, "1234567.125"},
        {100000, "100000"},
        {12.345678901234, "12.345678901234"},
        {1000000, "1000000"},
        {123456.789, "123456.789"},
        {200000.25, "200000.25"},
        {0.123456789012345, "0.123456789012345"},
        {1e-05, "0.00001"},
        {12.3456, "12.3456"},
        {1e-7, "0.0000001"},
        {2e15, "2000000000000000"},
        {99999999999999900.0, "99999999999999900"},
        {0.1 + 0.2, "0.30000000000000004"},
        {-0.0, "0"},
        {-1e-05, "-0.00001"},
        {1e308, "1" + Zeros(308)},
        {-1e308, "-1" + Zeros(308)},
        {5e-324, "0." + Zeros(323) + "5"},
        {std::numeric_limits<double>::max(), "17976931348623157" + Zeros(292)},
    };
    for (int round = 0; round < 2; ++round) {
        for (const auto& c : cases)
            EXPECT_EQ(OfDouble(c.value), c.text) << c.text;
    }
    EXPECT_EQ(OfDouble(std::numeric_limits<double>::infinity()), "none");
    EXPECT_EQ(OfDouble(-std::numeric_limits<double>::infinity()), "none");
    EXPECT_EQ(OfDouble(std::nan("")), "none");
}

// However a double is read, quickly for a few decimals or through its
// written digits, it is the value of the shortest digits std::to_chars
// writes: random values of up to 15 digits and random bit patterns.
TEST(Decimal, EveryDoubleReadsAsItsShortestDigits)
{
    std::mt19937_64 rng(29);
    const auto shortest = [](double v) {
        char buf[40];
        const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
        return Decimal::FromText(std::string_view(buf, size_t(r.ptr - buf)));
    };
    for (int i = 0; i < 200000; ++i) {
        double v = 0;
        if (i % 2) {
            const std::uint64_t bits = rng();
            std::memcpy(&v, &bits, sizeof v);
            if (!std::isfinite(v))
                continue;
        } else {
            const std::int64_t whole = std::int64_t(rng() % 1000000000000000ULL) >> (rng() % 50);
            v = double(whole) / std::pow(10.0, double(rng() % 10));
        }
        const std::optional<Decimal> read = Decimal::FromDouble(v);
        ASSERT_TRUE(read.has_value());
        ASSERT_EQ(read->toStdString(), shortest(v)->toStdString()) << v;
        ASSERT_EQ(read->toDouble(), v);
    }
}

TEST(Decimal, TextsHoldOneNumberOrNone)
{
    const struct {
        const char* text;
        const char* value; // nullptr: none
    } cases[] = {
        {"12.50", "12.5"},   {".5", "0.5"},         {"-.5", "-0.5"},    {"+7", "7"},     {" 3 ", "3"},
        {"1e+05", "100000"}, {"2E-7", "0.0000002"}, {"-0.000", "0"},    {"007", "7"},    {"1.2.3", nullptr},
        {"abc", nullptr},    {"", nullptr},         {"1e", nullptr},    {"e5", nullptr}, {"12kg", nullptr},
        {"1e1001", nullptr}, {"1e--5", nullptr},    {"1e+-5", nullptr},
    };
    for (const auto& c : cases) {
        const std::optional<Decimal> d = Decimal::FromText(std::string_view(c.text));
        EXPECT_EQ(d ? d->toStdString() : std::string("none"), c.value ? c.value : "none") << c.text;
    }
    EXPECT_EQ(D("1e1000").toStdString(), "1" + Zeros(1000));
    EXPECT_EQ(D("-1e-1000").toStdString(), "-0." + Zeros(999) + "1");
    EXPECT_FALSE(Decimal::FromText(std::string(1001, '7')).has_value());
    EXPECT_EQ(Decimal::Leading(std::string_view("1e1001")).toStdString(), "0");
    // As the boxes read: the leading number, reading stops at the first other character.
    const struct {
        const char* text;
        std::string value;
    } leading[] = {{"12.5kg", "12.5"}, {"abc", "0"},     {"2e", "2"},         {"3e+", "3"},
                   {"2e--5", "2"},     {"-.5x", "-0.5"}, {"5E-3kg", "0.005"}, {"  1.0e+40", "1" + Zeros(40)}};
    for (const auto& c : leading)
        EXPECT_EQ(Decimal::Leading(std::string_view(c.text)).toStdString(), c.value) << c.text;
}

// Sums carry on past the machine word without wrapping or losing a digit.
TEST(Decimal, SumsAreExactAtAnySize)
{
    const std::string nines39(39, '9');
    const struct {
        std::string a, b, sum;
    } cases[] = {
        {"0.1", "0.2", "0.3"},
        {"12.345", "100000", "100012.345"},
        {"12.3456", "0.00001", "12.34561"},
        {"9e50", "9e50", "18" + Zeros(50)},
        {nines39, "1", "1" + Zeros(39)},
        {"99999999999999999999999999999999999999", "0.5", "99999999999999999999999999999999999999.5"},
        // Both fit the machine word, their sum does not.
        {"3e38", "99999999999999999999999999999999999999", "3" + std::string(38, '9')},
        {"-3e38", "-99999999999999999999999999999999999999", "-3" + std::string(38, '9')},
        {"-" + nines39, "-1", "-1" + Zeros(39)},
        {"1" + Zeros(39), "-1", nines39},
        {"1e308", "5e-324", "1" + Zeros(308) + "." + Zeros(323) + "5"},
        {"1e308", "-1e308", "0"},
        {"-2.5", "0.75", "-1.75"},
        {"0." + Zeros(200) + "1", "12.345", "12.345" + Zeros(197) + "1"},
        {"999999999999998000000000000001", "0.123456789012", "999999999999998000000000000001.123456789012"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.a + " + " + c.b);
        EXPECT_EQ((D(c.a) + D(c.b)).toStdString(), c.sum);
        EXPECT_EQ((D(c.b) + D(c.a)).toStdString(), c.sum);
        EXPECT_EQ((D(c.sum) - D(c.b)).toStdString(), D(c.a).toStdString());
    }
    // A carry out of the top digit in the digit path: 9e50 + 9e50 + 0.001.
    Decimal sum = D("9e50");
    sum += D("9e50");
    sum += D("0.001");
    EXPECT_EQ(sum.toStdString(), "18" + Zeros(50) + ".001");
}

// Products of any two values a box takes, and of any two doubles, exactly.
TEST(Decimal, ProductsAreExact)
{
    const struct {
        std::string a, b, product;
    } cases[] = {
        {"999999999999999", "999999999999999", "999999999999998000000000000001"},
        {"123456789012345", "0.123456789012345", "15241578753238.669120562399025"},
        {"0.000000005", "100000000", "0.5"},
        {"1.5", "0.003", "0.0045"},
        {"-2.5", "0.3", "-0.75"},
        {"-2.5", "-0.3", "0.75"},
        {"1e308", "1e308", "1" + Zeros(616)},
        {"5e-324", "5e-324", "0." + Zeros(646) + "25"},
        {"99999999999999999999999999999999999999", "99999999999999999999999999999999999999",
         std::string(37, '9') + "8" + Zeros(37) + "1"},
        {"0", "1e308", "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.a + " x " + c.b);
        EXPECT_EQ((D(c.a) * D(c.b)).toStdString(), c.product);
    }
}

// Rounding is half away from zero, decided by the first dropped digit only.
TEST(Decimal, RoundingIsHalfAwayFromZero)
{
    const struct {
        std::string value;
        int places;
        std::string rounded;
        std::string fixed;
    } cases[] = {
        {"0.0045", 3, "0.005", "0.005"},
        {"-0.0045", 3, "-0.005", "-0.005"},
        {"0.0025", 3, "0.003", "0.003"},
        {"0.0035", 3, "0.004", "0.004"},
        {"0.00449999", 3, "0.004", "0.004"},
        {"0.00225", 3, "0.002", "0.002"},
        {"2.675", 2, "2.68", "2.68"},
        {"999.9995", 3, "1000", "1000.000"},
        {"-0.0004", 3, "0", "0.000"},
        {"12.5", 0, "13", "13"},
        {"-12.5", 0, "-13", "-13"},
        {"12.5", 3, "12.5", "12.500"},
        {"0.5", 2, "0.5", "0.50"},
        {"1" + Zeros(40) + ".5", 0, "1" + Zeros(39) + "1", "1" + Zeros(39) + "1"},
        {"0." + Zeros(200) + "1", 3, "0", "0.000"},
        {"0." + Zeros(323) + "5", 3, "0", "0.000"},
        {"1e308", 2, "1" + Zeros(308), "1" + Zeros(308) + ".00"},
        {"1234.5678", -2, "1200", "1235"}, // fixed writes no fewer than 0 decimals
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value + " to " + std::to_string(c.places));
        EXPECT_EQ(D(c.value).rounded(c.places).toStdString(), c.rounded);
        EXPECT_EQ(D(c.value).fixed(c.places), c.fixed);
    }
    EXPECT_EQ(D("0.333333333333333333").roundedSignificant(15).toStdString(), "0.333333333333333");
    EXPECT_EQ(D("8.199999999999999").roundedSignificant(15).toStdString(), "8.2");
    EXPECT_EQ(D("99999999999999950").roundedSignificant(15).toStdString(), "100000000000000000");
}

TEST(Decimal, QuotientsAreRoundedAndNeverDivideByZero)
{
    const struct {
        std::string a, b;
        int places;
        const char* quotient; // nullptr: none
    } cases[] = {
        {"1", "3", 3, "0.333"},
        {"2", "3", 3, "0.667"},
        {"-2", "3", 3, "-0.667"},
        {"2", "-3", 3, "-0.667"},
        {"0.5", "1", 0, "1"},
        {"-0.5", "1", 0, "-1"},
        {"100012.345", "6", 3, "16668.724"},
        {"0", "7", 3, "0"},
        {"1", "0", 3, nullptr},
        {"0", "0", 3, nullptr},
        {"999999999999998000000000000001", "999999999999999", 3, "999999999999999"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.a + " / " + c.b);
        const std::optional<Decimal> q = Decimal::Divide(D(c.a), D(c.b), c.places);
        EXPECT_EQ(q ? q->toStdString() : std::string("none"), c.quotient ? c.quotient : "none");
    }
    EXPECT_EQ(Decimal::Divide(D("1e308"), D("5e-324"), 0)->toStdString(), "2" + Zeros(631));
}

TEST(Decimal, ComparesAndConvertsBack)
{
    EXPECT_TRUE(D("0.1") == D("0.10"));
    EXPECT_TRUE(D("1e308") > D("5e-324"));
    EXPECT_TRUE(D("5e-324") > D("0"));
    EXPECT_TRUE(D("-5e-324") < D("0"));
    EXPECT_TRUE(D("-1e308") < D("-5e-324"));
    EXPECT_TRUE(D("1" + Zeros(40)) > D(std::string(40, '9')));
    EXPECT_TRUE(D("1" + Zeros(40)) < D(std::string(41, '9')));
    EXPECT_TRUE(D("12.345") < D("12.3451"));
    for (double v : {0.1, 100000.0, 1e-05, 2.675, 5e-324, 1e308, -123456.789, 99999999999999900.0})
        EXPECT_EQ(Decimal::FromDouble(v)->toDouble(), v) << v;
    EXPECT_EQ((D("1e308") * D("10")).toDouble(), std::numeric_limits<double>::infinity());
    EXPECT_EQ(D("1e-400").toDouble(), 0.0);
    EXPECT_EQ(D("12.500").places(), 1);
    EXPECT_EQ(D("1e5").places(), 0);
    EXPECT_EQ(D("0." + Zeros(200) + "1").places(), 201);
    EXPECT_EQ(Decimal(qint64(std::numeric_limits<qint64>::min())).toStdString(), "-9223372036854775808");
}
