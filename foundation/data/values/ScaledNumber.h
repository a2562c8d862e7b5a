#pragma once

#include "Decimal.h"

#include <optional>
#include <string>

struct sqlite3_value;

// The fast form of the exact figures: a number held as sign × magnitude ×
// 10^-scale in one 128-bit word. A stored value takes it when its shortest
// decimal form has at most 15 significant digits (every double a user can
// type does); any other value, and any step that would not fit the word,
// goes on in the digit core (Decimal). Both give the same digits.
struct ScaledNumber {
    using U128 = unsigned __int128;

    U128 magnitude = 0;
    int scale = 0;
    bool negative = false;

    // The shortest form of a finite double when it has at most 15
    // significant digits; none otherwise (an infinity, 0.1 + 0.2, 1e-16).
    static std::optional<ScaledNumber> FromDouble(double value);
    static ScaledNumber FromInteger(long long value);

    bool isZero() const { return magnitude == 0; }
    // a × b; none when the product does not fit.
    static std::optional<ScaledNumber> Multiply(const ScaledNumber& a, const ScaledNumber& b);
    // Rounded half away from zero to places decimals (0 or more).
    ScaledNumber rounded(int places) const;
    // The same number at a larger scale; none when it does not fit.
    std::optional<ScaledNumber> atScale(int newScale) const;

    Decimal toDecimal() const;
    // The number written as NumberFormat writes it in "#0.0##" ("12.5",
    // "3.0", "-0.125", "0.0"), when its scale is 3 or less.
    std::string amountText() const;
};

// How an SQL value reads for the exact figures.
enum class SqlNumberKind {
    Null,   // Null: no value
    Scaled, // read into the scaled form
    Other,  // a text, a blob, a REAL beyond the scaled form: read it with SqlDecimal
};
SqlNumberKind SqlScaled(sqlite3_value* value, ScaledNumber& out);

// An exact running sum: in the scaled form while every term and the sum fit,
// in the digit core from the first one that does not.
class ExactSum
{
  public:
    void add(const ScaledNumber& term);
    void add(const Decimal& term);
    Decimal total() const;

  private:
    void spill();

    ScaledNumber m_scaled;
    bool m_inDigits = false;
    Decimal m_digits;
};
