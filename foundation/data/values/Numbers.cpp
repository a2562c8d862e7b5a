#include "Numbers.h"

#include <algorithm>
#include <cmath>

namespace
{

double FiniteOrZero(double v)
{
    return std::isfinite(v) && v != 0.0 ? v : 0.0;
}

Decimal DecimalOf(double value)
{
    return Decimal::FromDouble(value).value_or(Decimal());
}

} // namespace

double ReadNumber(const QString& text)
{
    return FiniteOrZero(Decimal::Leading(QStringView(text)).toDouble());
}

int SignificantDigits(const QString& text)
{
    const std::string t = NumberAscii(text);
    size_t i = 0;
    const size_t n = t.size();
    while (i < n && (t[i] == ' ' || t[i] == '\t'))
        ++i;
    if (i < n && (t[i] == '-' || t[i] == '+'))
        ++i;
    std::string whole;
    std::string fraction;
    bool point = false;
    for (; i < n; ++i) {
        const char c = t[i];
        if (c >= '0' && c <= '9')
            (point ? fraction : whole).push_back(c);
        else if (c == '.' && !point)
            point = true;
        else
            break;
    }
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    const std::string digits = whole + fraction;
    const size_t first = std::min(digits.find_first_not_of('0'), digits.size());
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
        return FiniteOrZero(value.toDouble());
    default:
        return ReadNumber(value.toString());
    }
}

double RoundHalfAway(double value, int decimals)
{
    return FiniteOrZero(DecimalOf(value).rounded(qMax(0, decimals)).toDouble());
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
    return FormatNumber(DecimalOf(value), format);
}

QString FormatNumber(const Decimal& value, const QString& format)
{
    return QString::fromStdString(NumberFormat(format).write(value));
}

NumberFormat::NumberFormat(const QString& format)
{
    // Prefix up to the first digit placeholder.
    qsizetype first = 0;
    while (first < format.size() && format[first] != QLatin1Char('#') && format[first] != QLatin1Char('0'))
        ++first;
    m_prefix = format.left(first).toStdString();
    const QString pattern = format.mid(first);
    const qsizetype dot = pattern.indexOf(QLatin1Char('.'));
    const QString intPattern = dot < 0 ? pattern : pattern.left(dot);
    const QString fracPattern = dot < 0 ? QString() : pattern.mid(dot + 1);
    m_grouped = intPattern.contains(QLatin1Char(','));
    for (const QChar c : fracPattern) {
        if (c == QLatin1Char('0')) {
            ++m_minDecimals;
            ++m_maxDecimals;
        } else if (c == QLatin1Char('#')) {
            ++m_maxDecimals;
        } else {
            break;
        }
    }
    m_minIntDigits = int(intPattern.count(QLatin1Char('0')));
}

std::string NumberFormat::write(const Decimal& value) const
{
    const Decimal rounded = value.rounded(m_maxDecimals);
    const std::string text = rounded.abs().fixed(m_maxDecimals);
    const size_t point = text.find('.');
    const size_t intEnd = point == std::string::npos ? text.size() : point;
    size_t fracEnd = text.size();
    // Trailing zeros down to the least decimals, leading zeros down to the
    // least whole digits (one stays unless there are decimals to show).
    while (point != std::string::npos && fracEnd - point - 1 > size_t(m_minDecimals) &&
           text[fracEnd - 1] == '0')
        --fracEnd;
    size_t intStart = 0;
    while (intEnd - intStart > 1 && text[intStart] == '0' && intEnd - intStart > size_t(m_minIntDigits))
        ++intStart;
    const bool fraction = point != std::string::npos && fracEnd > point + 1;
    if (m_minIntDigits == 0 && intEnd - intStart == 1 && text[intStart] == '0' && fraction)
        ++intStart;
    std::string out;
    out.reserve(text.size() + m_prefix.size() + text.size() / 3 + 2);
    if (rounded.isNegative())
        out += '-';
    out += m_prefix;
    for (size_t i = intStart; i < intEnd; ++i) {
        out += text[i];
        const size_t left = intEnd - i - 1;
        if (m_grouped && left > 0 && left % 3 == 0)
            out += ',';
    }
    if (fraction)
        out.append(text, point, fracEnd - point);
    return out;
}

QString PlainNumber(double value, int decimals)
{
    return PlainNumber(DecimalOf(value), decimals);
}

QString PlainNumber(const Decimal& value, int decimals)
{
    return value.rounded(qMax(0, decimals)).toString();
}

QString WholeNumber(double value)
{
    if (const std::optional<Decimal> d = Decimal::FromDouble(value))
        return d->toString();
    return QString::number(value);
}

QString NumberText(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    // The 15 significant digits a double holds, so that no binary noise shows
    // (0.1 × 3 reads 0.3).
    return DecimalOf(value).roundedSignificant(kExactDigits).toString();
}

void DecimalSum::add(double value)
{
    if (const std::optional<Decimal> d = Decimal::FromDouble(value))
        add(*d);
}

void DecimalSum::add(const Decimal& value)
{
    m_sum += value.rounded(m_places);
}

QString DecimalSum::text() const
{
    return QString::fromStdString(m_sum.fixed(m_places));
}

double DecimalSum::value() const
{
    return m_sum.toDouble() + 0.0;
}

__int128 DecimalSum::units() const
{
    constexpr __int128 kMax = ~(__int128(1) << 127);
    const std::string digits = m_sum.abs().fixed(m_places);
    __int128 count = 0;
    for (const char c : digits) {
        if (c == '.')
            continue;
        const int d = c - '0';
        if (count > (kMax - d) / 10)
            return m_sum.isNegative() ? -kMax : kMax;
        count = count * 10 + d;
    }
    return m_sum.isNegative() ? -count : count;
}

double MultiplyRounded(double a, double b, int decimals)
{
    return FiniteOrZero((DecimalOf(a) * DecimalOf(b)).rounded(qMax(0, decimals)).toDouble());
}

Decimal LineAmount(const Decimal& qty, const Decimal& price)
{
    return (qty * price).rounded(kLineAmountPlaces);
}

NumberFit FitOfNumber(const QString& text, int places)
{
    // The number the text starts with; what follows may be a unit ("12.5kg")
    // but no further digit, point, comma or sign: "1,5", "1.2.3", "1-2" and
    // "0x10" spell no one number.
    const std::string t = NumberAscii(text);
    size_t end = 0;
    const std::optional<Decimal> start = Decimal::Start(t, end);
    if (!start) {
        // Digits past what a text holds (10^±1000) are a number too long.
        size_t i = t.find_first_not_of(" \t");
        if (i != std::string::npos && (t[i] == '-' || t[i] == '+'))
            ++i;
        if (i < t.size() && t[i] == '.')
            ++i;
        const bool digits = i < t.size() && t[i] >= '0' && t[i] <= '9';
        return digits ? NumberFit::TooManyDigits : NumberFit::NotANumber;
    }
    if (t.find_first_of("0123456789.,+-", end) != std::string::npos)
        return NumberFit::NotANumber;
    if (SignificantDigits(text) > kExactDigits)
        return NumberFit::TooManyDigits;
    const Decimal& typed = *start;
    // What a REAL column stores is the double nearest the value; read back
    // through its shortest form it must be the value typed.
    const std::optional<Decimal> stored = Decimal::FromDouble(typed.toDouble());
    if (!stored || *stored != typed)
        return NumberFit::TooManyDigits;
    return typed.places() > places ? NumberFit::TooManyPlaces : NumberFit::Kept;
}

QString NumberRefusal(const QString& word, NumberFit fit, int places)
{
    switch (fit) {
    case NumberFit::TooManyDigits:
        return word + QStringLiteral("位数过多,最多15位有效数字!");
    case NumberFit::TooManyPlaces:
        return word + QStringLiteral("小数位数过多,最多%1位小数!").arg(places);
    case NumberFit::NotANumber:
        return word + QStringLiteral("必须是数字!");
    case NumberFit::Kept:
        break;
    }
    return {};
}
