#pragma once

#include <QString>
#include <QVariant>
#include <QtGlobal>

// The one way the program reads numbers from texts and writes them back.

// The leading number of a text, as number boxes and grid cells read it:
// leading blanks, an optional sign, digits with at most one decimal point and
// an optional exponent ("1.0e+40", as the database writes large values);
// reading stops at the first other character. "12.5kg" is 12.5, "abc" and ""
// are 0, "-.5" is -0.5, "2e" is 2.
double ReadNumber(const QString& text);

// The most significant digits a number keeps exactly (a double holds 15).
constexpr int kExactDigits = 15;
// The significant digits of the number a text starts with, as typed: leading
// zeros and the fraction's trailing zeros do not count ("0012.50" has 3,
// "100" has 3); 0 for a text without a number.
int SignificantDigits(const QString& text);
// A value from a database row: Null, empty or unreadable text gives 0.
double ReadNumber(const QVariant& value);

// value rounded half away from zero to decimals places, taken from its
// shortest decimal form so that 2.675 rounds to 2.68 and 1.005 to 1.01.
double RoundHalfAway(double value, int decimals);

// value written in a format text of the program: "#0.0##" (one to three
// decimals), "#0.0#", "#0.00", "0", "#,##0.0#" (thousands grouped), with any
// prefix before the first '#' or '0' kept ("￥#,##0.0#"). Rounds half away
// from zero at the last place the format allows; never writes "-0".
QString FormatNumber(double value, const QString& format);

// The plain stored form of a value: at most decimals places, no trailing
// zeros, no grouping ("12.5", "3", "-0.125"); never "-0".
QString PlainNumber(double value, int decimals = 3);

// A stored number as a list shows it as text: every digit a double holds (15
// significant), no trailing zeros, no exponent, never "-0" ("0.08325",
// "0.333333333333333", "24").
QString NumberText(double value);

// Exact decimal sums and products: values are held as whole counts of
// 10^-places, so a thousand lines of 0.1 add up to exactly 100.
class DecimalSum
{
  public:
    explicit DecimalSum(int places = 3) : m_places(places) {}
    void add(double value);
    double value() const;
    qint64 units() const { return m_units; }

  private:
    int m_places;
    qint64 m_units = 0;
};

// a × b rounded half away from zero to decimals places (an amount from a
// quantity and a price).
double MultiplyRounded(double a, double b, int decimals);
