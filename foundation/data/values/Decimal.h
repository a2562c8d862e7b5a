#pragma once

#include <QString>
#include <QStringView>
#include <QVariant>
#include <QtGlobal>

#include <compare>
#include <optional>
#include <string>
#include <string_view>

// An exact decimal number: sign × coefficient × 10^-scale. Every figure of
// the program is computed with it: bill amounts and totals, the sums of the
// reports and the stock, exports and prints.
//
// The coefficient is held in a 128-bit machine word while it fits; every step
// checks for overflow and then goes on with decimal digits, without a bound.
// So no sum or product wraps or loses a digit, nothing divides by zero, and
// any value a database REAL can hold (5e-324 to 1.8e308) is read exactly.
class Decimal
{
  public:
    Decimal() = default;
    explicit Decimal(qint64 whole);
    explicit Decimal(int whole) : Decimal(qint64(whole)) {}
    // A double has no one decimal value; FromDouble says which it takes.
    Decimal(double) = delete;

    // The exact value of the shortest decimal form of value, the digits
    // std::to_chars writes for it in exponent form (the fewest that read back
    // as the same double): 0.1 is one tenth, 1e-05 one hundred thousandth,
    // 100000.0 a hundred thousand. None for an infinity or NaN.
    static std::optional<Decimal> FromDouble(double value);
    // A text that holds one number and nothing else: blanks around it, an
    // optional sign, digits with at most one point, an optional exponent
    // ("-12.50", ".5", "1e+05", "2E-7"). None for any other text, and for a
    // number of more than 1000 significant digits or beyond 10^±1000.
    static std::optional<Decimal> FromText(std::string_view text);
    static std::optional<Decimal> FromText(QStringView text);
    // The number a text starts with, as number boxes read it: leading
    // blanks, an optional sign, digits with at most one point and an
    // exponent when digits follow it. Reading stops at the first other
    // character; no number, or one beyond the bounds of FromText, reads 0
    // ("12.5kg" is 12.5, "abc" 0, "2e" 2).
    static Decimal Leading(QStringView text);
    static Decimal Leading(std::string_view text);
    // sign × magnitude × 10^-scale (ScaledNumber).
    static Decimal FromScaled(bool negative, unsigned __int128 magnitude, int scale);
    // The number text starts with as Leading reads it, and end the first
    // character after it; none for a text without one or beyond the bounds.
    static std::optional<Decimal> Start(std::string_view text, size_t& end);

    bool isZero() const { return !m_big && m_mag == 0; }
    bool isNegative() const { return m_neg; }
    int sign() const { return isZero() ? 0 : (m_neg ? -1 : 1); }

    Decimal operator-() const;
    Decimal abs() const;
    Decimal& operator+=(const Decimal& other);
    Decimal& operator-=(const Decimal& other);
    friend Decimal operator+(Decimal a, const Decimal& b) { return a += b; }
    friend Decimal operator-(Decimal a, const Decimal& b) { return a -= b; }
    friend Decimal operator*(const Decimal& a, const Decimal& b);

    int compare(const Decimal& other) const;
    friend bool operator==(const Decimal& a, const Decimal& b) { return a.compare(b) == 0; }
    friend std::strong_ordering operator<=>(const Decimal& a, const Decimal& b) { return a.compare(b) <=> 0; }

    // Rounded half away from zero to places decimals (a negative places
    // rounds to tens, hundreds ...). Only the first dropped digit decides.
    Decimal rounded(int places) const;
    // Rounded half away from zero to digits significant digits (at least 1).
    Decimal roundedSignificant(int digits) const;
    // a / b rounded half away from zero to places decimals; none when b is 0.
    static std::optional<Decimal> Divide(const Decimal& a, const Decimal& b, int places);

    // The decimals of the plain form: 1.50 has 1, 100 has 0.
    int places() const;

    // The plain form: no exponent, no trailing zeros after the point, no
    // point for a whole number, never "-0" ("-12.5", "100", "0.00001").
    std::string toStdString() const;
    QString toString() const { return QString::fromStdString(toStdString()); }
    // Rounded half away from zero to places and written with exactly that
    // many decimals ("12.500", "-0.010", "3"); never "-0".
    std::string fixed(int places) const;
    // The double nearest to the value (an infinity beyond a double's range).
    double toDouble() const;

  private:
    using U128 = unsigned __int128;
    struct Digits; // the magnitude as decimal digits, for any size

    Digits digits() const;
    // The number text starts with, end set to the first character after it;
    // none without a digit or beyond 10^±1000.
    static std::optional<Decimal> ReadStart(std::string_view text, size_t& end);
    void assign(bool negative, std::string digits, int scale);
    void setSmall(bool negative, U128 magnitude, int scale);

    // value = (m_neg ? -1 : 1) × magnitude × 10^-m_scale, the magnitude being
    // m_mag, or m_digits when m_big.
    U128 m_mag = 0;
    int m_scale = 0;
    bool m_neg = false;
    bool m_big = false;
    std::string m_digits; // most significant first, no leading zero
};

// A text's characters as a number is read from them, one for one: ASCII as
// it is, a full-width form (what a Chinese input method gives: "１２．５")
// as the character it widens, the ideographic space as a space, anything
// else as a character no number holds (DEL).
std::string NumberAscii(QStringView text);

// A stored value as an exact decimal: an integer as itself, a double by its
// shortest form, a text by the number it starts with. Null, an empty text and
// a value that is no finite number read 0.
Decimal ReadDecimal(const QVariant& value);
