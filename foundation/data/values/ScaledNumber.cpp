#include "ScaledNumber.h"

#include "WordPowers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <sqlite3.h>

namespace
{

using U128 = ScaledNumber::U128;

using WordPowers::kPow10;
using WordPowers::kWordDigits;

// The powers of ten a double holds exactly, for the scales tried.
constexpr double kDoublePow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
// A shortest form of at most 15 digits is the only decimal of that many
// digits that gives its double (a double holds 15.9 digits).
constexpr double kMaxCoefficient = 1e15;

} // namespace

std::optional<ScaledNumber> ScaledNumber::FromDouble(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    ScaledNumber out;
    if (value == 0)
        return out; // -0 too
    const double magnitude = std::fabs(value);
    // When n / 10^k (n below 10^15) gives exactly this double, n × 10^-k is
    // the one decimal of at most 15 digits that does, so its shortest form.
    for (int k = 0; k < int(std::size(kDoublePow10)); ++k) {
        const double scaled = magnitude * kDoublePow10[k];
        if (scaled >= kMaxCoefficient)
            break;
        const double n = std::nearbyint(scaled);
        if (n != 0 && n / kDoublePow10[k] == magnitude) {
            out.magnitude = U128(std::uint64_t(n));
            out.scale = k;
            out.negative = value < 0;
            return out;
        }
    }
    return std::nullopt;
}

ScaledNumber ScaledNumber::FromInteger(long long value)
{
    ScaledNumber out;
    out.negative = value < 0;
    out.magnitude = out.negative ? U128(-(value + 1)) + 1 : U128(value);
    return out;
}

std::optional<ScaledNumber> ScaledNumber::Multiply(const ScaledNumber& a, const ScaledNumber& b)
{
    ScaledNumber out;
    if (__builtin_mul_overflow(a.magnitude, b.magnitude, &out.magnitude))
        return std::nullopt;
    out.scale = a.scale + b.scale;
    out.negative = out.magnitude != 0 && a.negative != b.negative;
    return out;
}

ScaledNumber ScaledNumber::rounded(int places) const
{
    if (scale <= places)
        return *this;
    const int drop = scale - places;
    ScaledNumber out;
    out.scale = places;
    if (drop > kWordDigits)
        return out; // below half a unit of the place kept
    const U128 unit = kPow10[size_t(drop)];
    out.magnitude = magnitude / unit;
    const U128 rest = magnitude % unit;
    if (rest >= unit - rest)
        ++out.magnitude;
    out.negative = negative && out.magnitude != 0;
    return out;
}

std::optional<ScaledNumber> ScaledNumber::atScale(int newScale) const
{
    if (newScale < scale)
        return std::nullopt;
    ScaledNumber out = *this;
    out.scale = newScale;
    if (magnitude == 0)
        return out;
    if (newScale - scale > kWordDigits ||
        __builtin_mul_overflow(magnitude, kPow10[size_t(newScale - scale)], &out.magnitude))
        return std::nullopt;
    return out;
}

Decimal ScaledNumber::toDecimal() const
{
    return Decimal::FromScaled(negative, magnitude, scale);
}

std::string ScaledNumber::amountText() const
{
    // The digits from the last: three decimals (zeros past the scale), the
    // point, the whole part.
    char buf[48];
    char* p = buf + sizeof buf;
    U128 v = magnitude;
    for (int i = 3; i > 0; --i) {
        if (i > scale) {
            *--p = '0';
            continue;
        }
        *--p = char('0' + int(v % 10));
        v /= 10;
    }
    *--p = '.';
    do {
        *--p = char('0' + int(v % 10));
        v /= 10;
    } while (v != 0);
    if (negative)
        *--p = '-';
    // "#0.0##": trailing zeros go down to one decimal.
    char* end = buf + sizeof buf;
    while (end[-1] == '0' && end[-2] != '.')
        --end;
    return std::string(p, size_t(end - p));
}

SqlNumberKind SqlScaled(sqlite3_value* value, ScaledNumber& out)
{
    switch (sqlite3_value_type(value)) {
    case SQLITE_NULL:
        return SqlNumberKind::Null;
    case SQLITE_INTEGER:
        out = ScaledNumber::FromInteger(sqlite3_value_int64(value));
        return SqlNumberKind::Scaled;
    case SQLITE_FLOAT:
        if (const std::optional<ScaledNumber> s = ScaledNumber::FromDouble(sqlite3_value_double(value))) {
            out = *s;
            return SqlNumberKind::Scaled;
        }
        return SqlNumberKind::Other;
    default:
        return SqlNumberKind::Other;
    }
}

void ExactSum::add(const ScaledNumber& term)
{
    if (m_inDigits) {
        m_digits += term.toDecimal();
        return;
    }
    const int scale = std::max(m_scaled.scale, term.scale);
    const std::optional<ScaledNumber> a = m_scaled.atScale(scale);
    const std::optional<ScaledNumber> b = term.atScale(scale);
    if (a && b) {
        ScaledNumber sum;
        sum.scale = scale;
        if (a->negative == b->negative) {
            if (!__builtin_add_overflow(a->magnitude, b->magnitude, &sum.magnitude)) {
                sum.negative = a->negative && sum.magnitude != 0;
                m_scaled = sum;
                return;
            }
        } else {
            const bool aLarger = a->magnitude >= b->magnitude;
            sum.magnitude = aLarger ? a->magnitude - b->magnitude : b->magnitude - a->magnitude;
            sum.negative = sum.magnitude != 0 && (aLarger ? a->negative : b->negative);
            m_scaled = sum;
            return;
        }
    }
    spill();
    m_digits += term.toDecimal();
}

void ExactSum::add(const Decimal& term)
{
    spill();
    m_digits += term;
}

void ExactSum::spill()
{
    if (m_inDigits)
        return;
    m_digits = m_scaled.toDecimal();
    m_inDigits = true;
}

Decimal ExactSum::total() const
{
    return m_inDigits ? m_digits : m_scaled.toDecimal();
}
