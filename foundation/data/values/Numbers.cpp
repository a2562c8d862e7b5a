#include "Numbers.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <utility>

namespace
{

// The value's shortest decimal text ("2.675", "1e-07" written out), without sign.
QString shortestDigits(double magnitude)
{
    return QString::number(magnitude, 'f', QLocale::FloatingPointShortest);
}

// A decimal text's whole part and its fraction (empty without a point).
std::pair<QString, QString> splitAtPoint(const QString& text)
{
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return {text, QString()};
    return {text.left(dot), text.mid(dot + 1)};
}

// Rounds the unsigned decimal text half away from zero to decimals places;
// the answer has exactly decimals places (none when decimals is 0).
QString roundDecimalText(const QString& text, int decimals)
{
    auto [intPart, fracPart] = splitAtPoint(text);
    if (intPart.isEmpty())
        intPart = QStringLiteral("0");
    const bool roundUp = fracPart.size() > decimals && fracPart.at(decimals) >= QLatin1Char('5');
    fracPart = fracPart.left(decimals).leftJustified(decimals, QLatin1Char('0'));
    QString digits = intPart + fracPart;
    if (roundUp) {
        qsizetype i = digits.size() - 1;
        while (i >= 0) {
            if (digits[i] == QLatin1Char('9')) {
                digits[i] = QLatin1Char('0');
                --i;
            } else {
                digits[i] = QChar(digits[i].unicode() + 1);
                break;
            }
        }
        if (i < 0)
            digits.prepend(QLatin1Char('1'));
    }
    if (decimals == 0)
        return digits;
    return digits.left(digits.size() - decimals) + QLatin1Char('.') + digits.right(decimals);
}

bool isZeroText(const QString& text)
{
    for (const QChar c : text)
        if (c != QLatin1Char('0') && c != QLatin1Char('.'))
            return false;
    return true;
}

} // namespace

double ReadNumber(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    const qsizetype start = i;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        ++i;
    bool digits = false;
    bool point = false;
    while (i < n) {
        const QChar c = text[i];
        if (c.isDigit() && c.unicode() < 128) {
            digits = true;
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
        } else {
            break;
        }
        ++i;
    }
    if (!digits)
        return 0.0;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == QLatin1Char('-') || text[j] == QLatin1Char('+')))
            ++j;
        const qsizetype exponentDigits = j;
        while (j < n && text[j].isDigit() && text[j].unicode() < 128)
            ++j;
        if (j > exponentDigits)
            i = j;
    }
    bool ok = false;
    const double v = text.mid(start, i - start).toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

int SignificantDigits(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        ++i;
    QString whole;
    QString fraction;
    bool point = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c.isDigit() && c.unicode() < 128)
            (point ? fraction : whole).append(c);
        else if (c == QLatin1Char('.') && !point)
            point = true;
        else
            break;
    }
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    QString digits = whole + fraction;
    qsizetype first = 0;
    while (first < digits.size() && digits[first] == QLatin1Char('0'))
        ++first;
    return int(digits.size() - first);
}

double ReadNumber(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return 0.0;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return value.toDouble();
    default:
        return ReadNumber(value.toString());
    }
}

double RoundHalfAway(double value, int decimals)
{
    if (!std::isfinite(value))
        return 0.0;
    const QString rounded = roundDecimalText(shortestDigits(std::fabs(value)), qMax(0, decimals));
    const double v = rounded.toDouble();
    return (value < 0 && v != 0.0) ? -v : v;
}

int FormatDecimals(const QString& format)
{
    const qsizetype dot = format.indexOf(QLatin1Char('.'));
    int places = 0;
    for (qsizetype i = dot + 1; dot >= 0 && i < format.size(); ++i) {
        if (format[i] != QLatin1Char('0') && format[i] != QLatin1Char('#'))
            break;
        ++places;
    }
    return places;
}

QString FormatNumber(double value, const QString& format)
{
    if (!std::isfinite(value))
        value = 0.0;
    // Prefix up to the first digit placeholder.
    qsizetype first = 0;
    while (first < format.size() && format[first] != QLatin1Char('#') && format[first] != QLatin1Char('0'))
        ++first;
    const QString prefix = format.left(first);
    const QString pattern = format.mid(first);
    const qsizetype dot = pattern.indexOf(QLatin1Char('.'));
    const QString intPattern = dot < 0 ? pattern : pattern.left(dot);
    const QString fracPattern = dot < 0 ? QString() : pattern.mid(dot + 1);
    const bool grouped = intPattern.contains(QLatin1Char(','));
    int minDecimals = 0;
    int maxDecimals = 0;
    for (const QChar c : fracPattern) {
        if (c == QLatin1Char('0')) {
            ++minDecimals;
            ++maxDecimals;
        } else if (c == QLatin1Char('#')) {
            ++maxDecimals;
        } else {
            break;
        }
    }
    const int minIntDigits = int(intPattern.count(QLatin1Char('0')));

    QString text = roundDecimalText(shortestDigits(std::fabs(value)), maxDecimals);
    const bool negative = value < 0 && !isZeroText(text);
    auto [intPart, fracPart] = splitAtPoint(text);
    while (fracPart.size() > minDecimals && fracPart.endsWith(QLatin1Char('0')))
        fracPart.chop(1);
    while (intPart.size() > 1 && intPart.startsWith(QLatin1Char('0')) && intPart.size() > minIntDigits)
        intPart.remove(0, 1);
    if (minIntDigits == 0 && intPart == QLatin1String("0") && !fracPart.isEmpty())
        intPart.clear();
    if (grouped) {
        for (qsizetype i = intPart.size() - 3; i > 0; i -= 3)
            intPart.insert(i, QLatin1Char(','));
    }
    QString out = prefix;
    if (negative)
        out = QLatin1Char('-') + prefix;
    out += intPart;
    if (!fracPart.isEmpty())
        out += QLatin1Char('.') + fracPart;
    return out;
}

QString PlainNumber(double value, int decimals)
{
    QString f = QStringLiteral("0");
    if (decimals > 0)
        f += QLatin1Char('.') + QString(decimals, QLatin1Char('#'));
    QString out = FormatNumber(value, f);
    if (out.endsWith(QLatin1Char('.')))
        out.chop(1);
    return out;
}

QString NumberText(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    // Rounded to the 15 significant digits first, then written in its
    // shortest plain form, so that no binary noise shows (0.1 × 3 reads 0.3).
    const double rounded = QString::number(value, 'g', 15).toDouble();
    if (rounded == 0.0)
        return QStringLiteral("0");
    return QString::number(rounded, 'f', QLocale::FloatingPointShortest);
}

namespace
{

using Limbs = std::vector<quint64>;
constexpr quint64 kLimbBase = 1000000000000000000ULL; // 10^18 per limb
constexpr int kLimbDigits = 18;

void trim(Limbs& limbs)
{
    while (!limbs.empty() && limbs.back() == 0)
        limbs.pop_back();
}

void addInto(Limbs& acc, const Limbs& v)
{
    if (acc.size() < v.size())
        acc.resize(v.size(), 0);
    quint64 carry = 0;
    for (size_t i = 0; i < acc.size(); ++i) {
        quint64 x = acc[i] + carry + (i < v.size() ? v[i] : 0);
        carry = x >= kLimbBase ? 1 : 0;
        if (carry)
            x -= kLimbBase;
        acc[i] = x;
    }
    if (carry)
        acc.push_back(carry);
}

Limbs limbsOfDigits(const QString& digits)
{
    Limbs out;
    for (qsizetype end = digits.size(); end > 0; end -= kLimbDigits) {
        const qsizetype begin = std::max<qsizetype>(0, end - kLimbDigits);
        quint64 limb = 0;
        for (qsizetype i = begin; i < end; ++i)
            limb = limb * 10 + quint64(digits[i].unicode() - '0');
        out.push_back(limb);
    }
    trim(out);
    return out;
}

Limbs limbsOf(unsigned __int128 v)
{
    Limbs out;
    while (v != 0) {
        out.push_back(quint64(v % kLimbBase));
        v /= kLimbBase;
    }
    return out;
}

int compareLimbs(const Limbs& a, const Limbs& b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    for (size_t i = a.size(); i-- > 0;) {
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    }
    return 0;
}

// a - b for a >= b.
Limbs subtractLimbs(Limbs a, const Limbs& b)
{
    quint64 borrow = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        const quint64 sub = (i < b.size() ? b[i] : 0) + borrow;
        if (a[i] >= sub) {
            a[i] -= sub;
            borrow = 0;
        } else {
            a[i] = a[i] + kLimbBase - sub;
            borrow = 1;
        }
    }
    trim(a);
    return a;
}

QString digitsOfLimbs(const Limbs& limbs)
{
    if (limbs.empty())
        return QStringLiteral("0");
    QString out = QString::number(limbs.back());
    for (size_t i = limbs.size() - 1; i-- > 0;)
        out += QString::number(limbs[i]).rightJustified(kLimbDigits, QLatin1Char('0'));
    return out;
}

} // namespace

void DecimalSum::add(double value)
{
    if (!std::isfinite(value) || value == 0.0)
        return;
    QString digits = roundDecimalText(shortestDigits(std::fabs(value)), m_places);
    digits.remove(QLatin1Char('.'));
    const bool negative = value < 0;
    // 36 decimal digits always fit the 128-bit fast count.
    if (digits.size() <= 36) {
        unsigned __int128 magnitude = 0;
        for (const QChar c : digits)
            magnitude = magnitude * 10 + unsigned(c.unicode() - '0');
        const __int128 signedValue = negative ? -__int128(magnitude) : __int128(magnitude);
        __int128 sum = 0;
        if (!__builtin_add_overflow(m_units, signedValue, &sum)) {
            m_units = sum;
            return;
        }
    }
    spill(digits, negative);
}

void DecimalSum::spill(const QString& digits, bool negative)
{
    addInto(negative ? m_negative : m_positive, limbsOfDigits(digits));
}

QString DecimalSum::text() const
{
    Limbs positive = m_positive;
    Limbs negative = m_negative;
    if (m_units >= 0)
        addInto(positive, limbsOf((unsigned __int128)m_units));
    else
        addInto(negative, limbsOf(-(unsigned __int128)m_units));
    const int order = compareLimbs(positive, negative);
    const Limbs magnitude =
        order >= 0 ? subtractLimbs(positive, negative) : subtractLimbs(negative, positive);
    QString digits = digitsOfLimbs(magnitude).rightJustified(m_places + 1, QLatin1Char('0'));
    if (m_places > 0)
        digits.insert(digits.size() - m_places, QLatin1Char('.'));
    if (order < 0 && !magnitude.empty())
        digits.prepend(QLatin1Char('-'));
    return digits;
}

double DecimalSum::value() const
{
    const double v = text().toDouble();
    return v == 0.0 ? 0.0 : v;
}

__int128 DecimalSum::units() const
{
    if (m_positive.empty() && m_negative.empty())
        return m_units;
    QString digits = text();
    const bool negative = digits.startsWith(QLatin1Char('-'));
    digits.remove(QLatin1Char('-'));
    digits.remove(QLatin1Char('.'));
    constexpr __int128 kMax = ~(__int128(1) << 127);
    __int128 count = 0;
    for (const QChar c : digits) {
        const int d = c.unicode() - '0';
        if (count > (kMax - d) / 10)
            return negative ? -kMax : kMax;
        count = count * 10 + d;
    }
    return negative ? -count : count;
}

double MultiplyRounded(double a, double b, int decimals)
{
    // Multiply the exact decimal forms: both as whole numbers of their own places.
    // Each factor as a whole count of its own places; false when its digits
    // do not fit 18 (a value no box accepts).
    auto split = [](double v, qint64& units, int& places) {
        QString t = shortestDigits(std::fabs(v));
        const qsizetype dot = t.indexOf(QLatin1Char('.'));
        places = dot < 0 ? 0 : int(t.size() - dot - 1);
        if (places > 9) { // more places than a product can hold exactly: round first
            t = roundDecimalText(t, 9);
            places = 9;
        }
        t.remove(QLatin1Char('.'));
        bool ok = false;
        units = t.toLongLong(&ok);
        if (v < 0)
            units = -units;
        return ok && t.size() <= 18;
    };
    qint64 ua = 0;
    qint64 ub = 0;
    int pa = 0;
    int pb = 0;
    if (!std::isfinite(a) || !std::isfinite(b))
        return 0.0;
    if (!split(a, ua, pa) || !split(b, ub, pb))
        return RoundHalfAway(a * b, decimals);
    __int128 product = __int128(ua) * ub;
    const bool negative = product < 0;
    if (negative)
        product = -product;
    int places = pa + pb;
    // Reduce to decimals places, half away from zero.
    while (places > decimals) {
        const int last = int(product % 10);
        product /= 10;
        --places;
        // Only the first dropped digit decides: half away from zero.
        if (places == decimals && last >= 5)
            product += 1;
    }
    double v = double(product);
    for (int i = 0; i < places; ++i)
        v /= 10.0;
    v = RoundHalfAway(v, places);
    return negative && v != 0.0 ? -v : v;
}
