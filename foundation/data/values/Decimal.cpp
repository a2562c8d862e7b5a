#include "Decimal.h"

#include "WordPowers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

struct Decimal::Digits {
    bool negative = false;
    std::string digits; // most significant first, no leading zero; "0" for zero
    int scale = 0;
};

namespace
{

using U128 = unsigned __int128;

using WordPowers::kPow10;
using WordPowers::kWordDigits;
// A text holds a number only up to these bounds, far beyond any double
// (5e-324 to 1.8e308), so that no text makes a figure take unbounded time.
constexpr long long kMaxExponent = 1000;
constexpr int kMaxDigits = 1000;

// v × 10^n; false when the product does not fit the word.
bool TimesPow10(U128 v, long long n, U128& out)
{
    if (v == 0 || n == 0) {
        out = v;
        return true;
    }
    if (n < 0 || n > kWordDigits)
        return false;
    return !__builtin_mul_overflow(v, kPow10[size_t(n)], &out);
}

void AppendNumber(std::string& out, std::uint64_t v, int width)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    const int n = int(r.ptr - buf);
    if (width > n)
        out.append(size_t(width - n), '0');
    out.append(buf, size_t(n));
}

// The decimal digits of v ("0" for 0), in chunks of 19 digits so that only
// one 128-bit division is made per chunk.
std::string DigitsOf(U128 v)
{
    constexpr std::uint64_t kChunk = 10000000000000000000ULL; // 10^19
    std::uint64_t low[2];
    int n = 0;
    while (v > std::numeric_limits<std::uint64_t>::max()) {
        low[n++] = std::uint64_t(v % kChunk);
        v /= kChunk;
    }
    std::string out;
    AppendNumber(out, std::uint64_t(v), 0);
    while (n > 0)
        AppendNumber(out, low[--n], 19);
    return out;
}

// The number of digits of v > 0.
int DigitCount(U128 v)
{
    int n = 1;
    while (n <= kWordDigits && v >= kPow10[size_t(n)])
        ++n;
    return n;
}

// The word a digit string of at most 38 digits holds.
U128 WordOf(std::string_view digits)
{
    U128 v = 0;
    for (const char c : digits)
        v = v * 10 + unsigned(c - '0');
    return v;
}

void StripLeadingZeros(std::string& d)
{
    size_t i = 0;
    while (i + 1 < d.size() && d[i] == '0')
        ++i;
    d.erase(0, i);
    if (d.empty())
        d = "0";
}

int CompareDigits(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::string AddDigits(std::string_view a, std::string_view b)
{
    if (a.size() < b.size())
        std::swap(a, b);
    std::string out(a.size(), '0');
    int carry = 0;
    for (size_t k = 0; k < a.size(); ++k) {
        const size_t ia = a.size() - 1 - k;
        int d = (a[ia] - '0') + carry + (k < b.size() ? b[b.size() - 1 - k] - '0' : 0);
        carry = d >= 10 ? 1 : 0;
        if (carry)
            d -= 10;
        out[ia] = char('0' + d);
    }
    if (carry)
        out.insert(out.begin(), '1');
    return out;
}

// a - b for a >= b.
std::string SubtractDigits(std::string_view a, std::string_view b)
{
    std::string out(a);
    int borrow = 0;
    for (size_t k = 0; k < out.size(); ++k) {
        const size_t i = out.size() - 1 - k;
        int d = (out[i] - '0') - borrow - (k < b.size() ? b[b.size() - 1 - k] - '0' : 0);
        borrow = d < 0 ? 1 : 0;
        if (borrow)
            d += 10;
        out[i] = char('0' + d);
    }
    StripLeadingZeros(out);
    return out;
}

std::string MultiplyDigits(std::string_view a, std::string_view b)
{
    std::vector<std::uint64_t> acc(a.size() + b.size(), 0);
    for (size_t i = 0; i < a.size(); ++i) {
        const unsigned da = unsigned(a[a.size() - 1 - i] - '0');
        if (da == 0)
            continue;
        for (size_t j = 0; j < b.size(); ++j)
            acc[i + j] += da * unsigned(b[b.size() - 1 - j] - '0');
    }
    std::string out(acc.size(), '0');
    std::uint64_t carry = 0;
    for (size_t k = 0; k < acc.size(); ++k) {
        const std::uint64_t v = acc[k] + carry;
        out[out.size() - 1 - k] = char('0' + int(v % 10));
        carry = v / 10;
    }
    StripLeadingZeros(out);
    return out;
}

// The quotient and remainder of n / d (d not zero), digit by digit.
void DivideDigits(std::string_view n, std::string_view d, std::string& quotient, std::string& remainder)
{
    quotient.clear();
    remainder = "0";
    for (const char c : n) {
        if (remainder == "0")
            remainder.assign(1, c);
        else
            remainder.push_back(c);
        int digit = 0;
        while (CompareDigits(remainder, d) >= 0) {
            remainder = SubtractDigits(remainder, d);
            ++digit;
        }
        quotient.push_back(char('0' + digit));
    }
    StripLeadingZeros(quotient);
}

// A number read from text: its sign, its digits without leading zeros (as a
// word while they fit) and its scale.
struct Scanned {
    bool number = false; // any digit at all
    bool negative = false;
    U128 word = 0;
    std::string digits; // used once the digits no longer fit the word
    int wordDigits = 0;
    long long scale = 0;
    size_t end = 0; // the first character not read
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Reads the number at the start of text (after blanks). An exponent is taken
// only with digits after it. The exponent's digits are read with
// std::from_chars over exactly the characters written.
Scanned Scan(std::string_view text)
{
    Scanned s;
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && IsBlank(text[i]))
        ++i;
    if (i < n && (text[i] == '-' || text[i] == '+')) {
        s.negative = text[i] == '-';
        ++i;
    }
    bool point = false;
    long long fraction = 0;
    for (; i < n; ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            s.number = true;
            if (point)
                ++fraction;
            if (s.wordDigits == 0 && c == '0')
                continue; // a leading zero holds no digit of the value
            if (s.digits.empty() && s.wordDigits < kWordDigits) {
                s.word = s.word * 10 + unsigned(c - '0');
            } else {
                if (s.digits.empty())
                    s.digits = DigitsOf(s.word);
                s.digits.push_back(c);
            }
            ++s.wordDigits;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!s.number)
        return s;
    long long exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        bool negativeExponent = false;
        if (j < n && (text[j] == '-' || text[j] == '+')) {
            negativeExponent = text[j] == '-';
            ++j;
        }
        const char* first = text.data() + j;
        const char* last = text.data() + n;
        long long value = 0;
        std::from_chars_result r{first, std::errc()};
        // Digits only: from_chars would take a second sign ("1e--5").
        if (j < n && text[j] >= '0' && text[j] <= '9')
            r = std::from_chars(first, last, value);
        if (r.ptr != first) {
            if (r.ec == std::errc::result_out_of_range || value > kMaxExponent)
                value = kMaxExponent + 1;
            exponent = negativeExponent ? -value : value;
            i = size_t(r.ptr - text.data());
        }
    }
    s.scale = fraction - exponent;
    s.end = i;
    if (s.wordDigits > kMaxDigits)
        s.number = false;
    return s;
}

} // namespace

std::string NumberAscii(QStringView text)
{
    std::string out(size_t(text.size()), '\0');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        char a = '\x7f';
        if (c < 128)
            a = char(c);
        else if (c >= u'\uFF01' && c <= u'\uFF5E')
            a = char(c - u'\uFF01' + u'!'); // a full-width form: the character it widens
        else if (c == u'\u3000')
            a = ' '; // the ideographic space
        out[size_t(i)] = a;
    }
    return out;
}

Decimal::Decimal(qint64 whole)
{
    const bool negative = whole < 0;
    const U128 magnitude = negative ? U128(-(whole + 1)) + 1 : U128(whole);
    setSmall(negative, magnitude, 0);
}

Decimal Decimal::FromScaled(bool negative, U128 magnitude, int scale)
{
    Decimal d;
    d.setSmall(negative, magnitude, scale);
    return d;
}

void Decimal::setSmall(bool negative, U128 magnitude, int scale)
{
    m_big = false;
    m_digits.clear();
    m_mag = magnitude;
    m_scale = magnitude == 0 ? 0 : scale;
    m_neg = negative && magnitude != 0;
}

// Takes any magnitude: leading zeros go, trailing zeros move into the
// scale, and what fits the word goes back into it.
void Decimal::assign(bool negative, std::string digits, int scale)
{
    StripLeadingZeros(digits);
    if (digits == "0") {
        setSmall(false, 0, 0);
        return;
    }
    size_t trailing = 0;
    while (trailing + 1 < digits.size() && digits[digits.size() - 1 - trailing] == '0')
        ++trailing;
    digits.resize(digits.size() - trailing);
    scale -= int(trailing);
    if (digits.size() <= size_t(kWordDigits)) {
        setSmall(negative, WordOf(digits), scale);
        return;
    }
    m_big = true;
    m_mag = 0;
    m_neg = negative;
    m_scale = scale;
    m_digits = std::move(digits);
}

Decimal::Digits Decimal::digits() const
{
    return {m_neg, m_big ? m_digits : DigitsOf(m_mag), m_scale};
}

std::optional<Decimal> Decimal::ReadStart(std::string_view text, size_t& end)
{
    const Scanned s = Scan(text);
    end = s.end;
    if (!s.number || s.scale > kMaxExponent || s.scale < -kMaxExponent)
        return std::nullopt;
    Decimal d;
    if (s.digits.empty())
        d.setSmall(s.negative, s.word, int(s.scale));
    else
        d.assign(s.negative, s.digits, int(s.scale));
    return d;
}

std::optional<Decimal> Decimal::FromText(std::string_view text)
{
    size_t end = 0;
    std::optional<Decimal> d = ReadStart(text, end);
    while (end < text.size() && IsBlank(text[end]))
        ++end;
    if (end != text.size())
        return std::nullopt;
    return d;
}

std::optional<Decimal> Decimal::FromText(QStringView text)
{
    return FromText(std::string_view(NumberAscii(text)));
}

Decimal Decimal::Leading(std::string_view text)
{
    size_t end = 0;
    return ReadStart(text, end).value_or(Decimal());
}

Decimal Decimal::Leading(QStringView text)
{
    return Leading(std::string_view(NumberAscii(text)));
}

std::optional<Decimal> Decimal::Start(std::string_view text, size_t& end)
{
    return ReadStart(text, end);
}

std::optional<Decimal> Decimal::FromDouble(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    Decimal d;
    if (value == 0)
        return d;
    const bool negative = value < 0;
    const double magnitude = std::fabs(value);
    // A value with a few decimals: when n / 10^k (n below 10^15, so at most
    // 15 digits) gives exactly this double, n × 10^-k is its shortest form,
    // as no other decimal of at most 15 digits gives the same double.
    static constexpr double kScale[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
    for (int k = 0; k < 7; ++k) {
        const double scaled = magnitude * kScale[k];
        if (scaled >= 1e15)
            break;
        if (scaled == std::floor(scaled) && scaled / kScale[k] == magnitude) {
            d.setSmall(negative, U128(std::uint64_t(scaled)), k);
            return d;
        }
    }
    // The shortest digits that read back as the same double, in exponent
    // form: the plain form would write a large whole number with all the
    // digits of its binary value (99999999999999904 for 99999999999999900).
    char buf[40];
    const auto written = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific);
    const Scanned s = Scan(std::string_view(buf, size_t(written.ptr - buf)));
    d.setSmall(negative, s.word, int(s.scale)); // at most 17 digits
    return d;
}

Decimal Decimal::operator-() const
{
    Decimal d = *this;
    d.m_neg = !isZero() && !m_neg;
    return d;
}

Decimal Decimal::abs() const
{
    Decimal d = *this;
    d.m_neg = false;
    return d;
}

Decimal& Decimal::operator+=(const Decimal& other)
{
    if (other.isZero())
        return *this;
    if (isZero()) {
        *this = other;
        return *this;
    }
    if (!m_big && !other.m_big) {
        const int s = std::max(m_scale, other.m_scale);
        U128 a = 0;
        U128 b = 0;
        if (TimesPow10(m_mag, s - m_scale, a) && TimesPow10(other.m_mag, s - other.m_scale, b)) {
            if (m_neg == other.m_neg) {
                U128 sum = 0;
                if (!__builtin_add_overflow(a, b, &sum)) {
                    setSmall(m_neg, sum, s);
                    return *this;
                }
            } else {
                if (a >= b)
                    setSmall(m_neg, a - b, s);
                else
                    setSmall(other.m_neg, b - a, s);
                return *this;
            }
        }
    }
    Digits x = digits();
    Digits y = other.digits();
    const int s = std::max(x.scale, y.scale);
    x.digits.append(size_t(s - x.scale), '0');
    y.digits.append(size_t(s - y.scale), '0');
    if (x.negative == y.negative) {
        assign(x.negative, AddDigits(x.digits, y.digits), s);
    } else if (CompareDigits(x.digits, y.digits) >= 0) {
        assign(x.negative, SubtractDigits(x.digits, y.digits), s);
    } else {
        assign(y.negative, SubtractDigits(y.digits, x.digits), s);
    }
    return *this;
}

Decimal& Decimal::operator-=(const Decimal& other)
{
    return *this += -other;
}

Decimal operator*(const Decimal& a, const Decimal& b)
{
    Decimal out;
    if (a.isZero() || b.isZero())
        return out;
    const bool negative = a.m_neg != b.m_neg;
    const int scale = a.m_scale + b.m_scale;
    if (!a.m_big && !b.m_big) {
        Decimal::U128 product = 0;
        if (!__builtin_mul_overflow(a.m_mag, b.m_mag, &product)) {
            out.setSmall(negative, product, scale);
            return out;
        }
    }
    out.assign(negative, MultiplyDigits(a.digits().digits, b.digits().digits), scale);
    return out;
}

int Decimal::compare(const Decimal& other) const
{
    if (sign() != other.sign())
        return sign() < other.sign() ? -1 : 1;
    if (isZero())
        return 0;
    int magnitude = 0;
    bool done = false;
    if (!m_big && !other.m_big) {
        const int s = std::max(m_scale, other.m_scale);
        U128 a = 0;
        U128 b = 0;
        if (TimesPow10(m_mag, s - m_scale, a) && TimesPow10(other.m_mag, s - other.m_scale, b)) {
            magnitude = a == b ? 0 : (a < b ? -1 : 1);
            done = true;
        }
    }
    if (!done) {
        Digits x = digits();
        Digits y = other.digits();
        // The place of the first digit decides, then the digits.
        const long long px = (long long)x.digits.size() - x.scale;
        const long long py = (long long)y.digits.size() - y.scale;
        if (px != py) {
            magnitude = px < py ? -1 : 1;
        } else {
            const int s = std::max(x.scale, y.scale);
            x.digits.append(size_t(s - x.scale), '0');
            y.digits.append(size_t(s - y.scale), '0');
            magnitude = CompareDigits(x.digits, y.digits);
        }
    }
    return m_neg ? -magnitude : magnitude;
}

Decimal Decimal::rounded(int places) const
{
    if (m_scale <= places)
        return *this;
    const long long drop = (long long)m_scale - places;
    Decimal out;
    if (!m_big) {
        if (drop > kWordDigits)
            return out; // below half a unit of the place kept
        const U128 unit = kPow10[size_t(drop)];
        U128 kept = m_mag / unit;
        const U128 rest = m_mag % unit;
        if (rest >= unit - rest)
            ++kept;
        out.setSmall(m_neg, kept, places);
        return out;
    }
    const long long cut = (long long)m_digits.size() - drop;
    if (cut < 0)
        return out;
    std::string kept = cut == 0 ? std::string("0") : m_digits.substr(0, size_t(cut));
    if (m_digits[size_t(cut)] >= '5')
        kept = AddDigits(kept, "1");
    out.assign(m_neg, std::move(kept), places);
    return out;
}

Decimal Decimal::roundedSignificant(int digits) const
{
    if (isZero())
        return *this;
    digits = std::max(1, digits);
    const int count = m_big ? int(m_digits.size()) : DigitCount(m_mag);
    if (count <= digits)
        return *this;
    return rounded(m_scale - (count - digits));
}

std::optional<Decimal> Decimal::Divide(const Decimal& a, const Decimal& b, int places)
{
    if (b.isZero())
        return std::nullopt;
    Decimal out;
    if (a.isZero())
        return out;
    const bool negative = a.m_neg != b.m_neg;
    // a / b at places = a.mag × 10^(b.scale - a.scale + places) / b.mag.
    const long long shift = (long long)b.m_scale - a.m_scale + places;
    if (!a.m_big && !b.m_big) {
        U128 n = a.m_mag;
        U128 d = b.m_mag;
        if (shift >= 0 ? TimesPow10(n, shift, n) : TimesPow10(d, -shift, d)) {
            U128 q = n / d;
            const U128 r = n % d;
            if (r >= d - r)
                ++q;
            out.setSmall(negative, q, places);
            return out;
        }
    }
    std::string n = a.digits().digits;
    std::string d = b.digits().digits;
    if (shift >= 0)
        n.append(size_t(shift), '0');
    else
        d.append(size_t(-shift), '0');
    std::string q;
    std::string r;
    DivideDigits(n, d, q, r);
    if (CompareDigits(r, SubtractDigits(d, r)) >= 0)
        q = AddDigits(q, "1");
    out.assign(negative, std::move(q), places);
    return out;
}

int Decimal::places() const
{
    if (isZero() || m_scale <= 0)
        return 0;
    int trailing = 0;
    if (m_big) {
        while (trailing < m_scale && m_digits[m_digits.size() - 1 - size_t(trailing)] == '0')
            ++trailing;
    } else {
        U128 v = m_mag;
        while (trailing < m_scale && v % 10 == 0) {
            v /= 10;
            ++trailing;
        }
    }
    return m_scale - trailing;
}

std::string Decimal::toStdString() const
{
    if (isZero())
        return "0";
    std::string d = m_big ? m_digits : DigitsOf(m_mag);
    long long s = m_scale;
    while (s > 0 && d.size() > 1 && d.back() == '0') {
        d.pop_back();
        --s;
    }
    std::string out = m_neg ? "-" : "";
    if (s <= 0) {
        out += d;
        out.append(size_t(-s), '0');
    } else if ((long long)d.size() > s) {
        out.append(d, 0, d.size() - size_t(s));
        out += '.';
        out.append(d, d.size() - size_t(s), std::string::npos);
    } else {
        out += "0.";
        out.append(size_t(s) - d.size(), '0');
        out += d;
    }
    return out;
}

std::string Decimal::fixed(int places) const
{
    places = std::max(0, places);
    const Decimal r = rounded(places);
    std::string d = r.m_big ? r.m_digits : DigitsOf(r.m_mag);
    if (r.m_scale < places)
        d.append(size_t(places - r.m_scale), '0');
    if (d.size() <= size_t(places))
        d.insert(0, size_t(places) + 1 - d.size(), '0');
    std::string out = r.m_neg ? "-" : "";
    out.append(d, 0, d.size() - size_t(places));
    if (places > 0) {
        out += '.';
        out.append(d, d.size() - size_t(places), std::string::npos);
    }
    return out;
}

double Decimal::toDouble() const
{
    if (isZero())
        return 0.0;
    std::string text = m_big ? m_digits : DigitsOf(m_mag);
    const size_t digitCount = text.size();
    text += 'e';
    text += std::to_string(-(long long)m_scale);
    double v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        const bool huge = (long long)digitCount - m_scale > 0;
        v = huge ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return m_neg ? -v : v;
}

Decimal ReadDecimal(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::Bool:
        return Decimal(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::ULong:
        return Decimal::Leading(std::string_view(std::to_string(value.toULongLong())));
    case QMetaType::Double:
    case QMetaType::Float:
        return Decimal::FromDouble(value.toDouble()).value_or(Decimal());
    default:
        return Decimal::Leading(QStringView(value.toString()));
    }
}
