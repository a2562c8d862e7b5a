#pragma once

#include "Decimal.h"

#include <QString>
#include <QVariant>
#include <QtGlobal>

#include <string>

// The one way the program reads numbers from texts and writes them back,
// all of it computed with the exact decimals of Decimal.

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
QString FormatNumber(const Decimal& value, const QString& format);

// A number format read once, for writing many values in it (FormatNumber).
class NumberFormat
{
  public:
    explicit NumberFormat(const QString& format);
    // The value in the format, as UTF-8 text.
    std::string write(const Decimal& value) const;
    // The most decimals the format shows.
    int decimals() const { return m_maxDecimals; }

  private:
    std::string m_prefix; // before the first '#' or '0'
    int m_minDecimals = 0;
    int m_maxDecimals = 0;
    int m_minIntDigits = 0;
    bool m_grouped = false;
};
// The most decimals a number format shows ("#0.0##" shows 3).
int FormatDecimals(const QString& format);

// The plain stored form of a value: at most decimals places, no trailing
// zeros, no grouping ("12.5", "3", "-0.125"); never "-0".
QString PlainNumber(double value, int decimals = 3);
QString PlainNumber(const Decimal& value, int decimals = 3);

// A stored figure as every window and grid shows it: the core's plain form
// of its shortest decimal form, whole ("0.0000001", "12",
// "1234567890123.456", never an exponent and never "-0"); read back it is
// the same double. An infinity or NaN shows as "inf", "-inf" or "nan".
QString WholeNumber(double value);

// A stored number as a list shows it as text: every digit a double holds (15
// significant), no trailing zeros, no exponent, never "-0" ("0.08325",
// "0.333333333333333", "24").
QString NumberText(double value);

// Exact decimal sums: each value is rounded half away from zero to places
// decimals (from its shortest decimal form, so 1.005 counts as 1.01 at two
// places) and added exactly (Decimal); a thousand lines of 0.1 add up to
// exactly 100. The sum has no upper limit: no sum of finite values wraps or
// loses a digit.
class DecimalSum
{
  public:
    explicit DecimalSum(int places = 3) : m_places(places < 0 ? 0 : places) {}
    void add(double value);
    void add(const Decimal& value);
    // The sum as the nearest double.
    double value() const;
    // The exact sum in plain decimal form with exactly places decimals
    // ("-12.500", "0.000"); never "-0".
    QString text() const;
    // The sum as a whole count of 10^-places; exact while it fits in 127 bits
    // (more than 10^38), held at the nearest end of that range beyond it.
    __int128 units() const;

  private:
    int m_places;
    Decimal m_sum;
};

// a × b rounded half away from zero to decimals places (an amount from a
// quantity and a price): the exact product of the two values' shortest
// forms, rounded once.
double MultiplyRounded(double a, double b, int decimals);

// A bill's amount, the one rule every window, report, view and print
// follows: each line's amount is the exact product of its quantity and price
// rounded half away from zero once to kLineAmountPlaces (as the bill window
// shows it); the bill's amount is the exact sum of those line amounts rounded
// half away from zero to kBillAmountPlaces.
constexpr int kLineAmountPlaces = 3;
constexpr int kBillAmountPlaces = 2;
Decimal LineAmount(const Decimal& qty, const Decimal& price);
class BillAmount
{
  public:
    void addLine(const Decimal& qty, const Decimal& price) { m_lines += LineAmount(qty, price); }
    // A line amount as the window shows it (kLineAmountPlaces at most).
    void addLineAmount(const Decimal& amount) { m_lines += amount.rounded(kLineAmountPlaces); }
    Decimal total() const { return m_lines.rounded(kBillAmountPlaces); }

  private:
    Decimal m_lines;
};

// Whether a number box can keep the number a text holds, the one gate of
// every number box and number cell. The text must spell one number: blanks,
// an optional sign, digits with at most one point, an optional exponent,
// and after it at most a unit of letters ("12.5kg" keeps 12.5); full-width
// digits read as the digits they are. A text without a number ("", "NaN",
// "inf"), or with a second number, point, comma or sign ("1,5", "1.2.3",
// "1-2", "0x10") spells none. A stored number (a database REAL) holds at
// most kExactDigits significant digits as typed and only values a double
// can carry back exactly, and the box shows at most places decimals when the
// value is read again.
enum class NumberFit { Kept, TooManyDigits, TooManyPlaces, NotANumber };
NumberFit FitOfNumber(const QString& text, int places);
// The refusal of a text a box cannot keep, in the box's word ("数量"):
// "数量位数过多,最多15位有效数字!", "数量小数位数过多,最多6位小数!" (places),
// "数量必须是数字!"; empty for a kept text.
QString NumberRefusal(const QString& word, NumberFit fit, int places);
