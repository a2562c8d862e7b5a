#include "Numbers.h"

#include <QLocale>
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

void DecimalSum::add(double value)
{
    const double scaled = RoundHalfAway(value, m_places) * std::pow(10.0, m_places);
    m_units += qint64(std::llround(scaled));
}

double DecimalSum::value() const
{
    const double v = double(m_units) / std::pow(10.0, m_places);
    return RoundHalfAway(v, m_places);
}

double MultiplyRounded(double a, double b, int decimals)
{
    // Multiply the exact decimal forms: both as whole numbers of their own places.
    auto split = [](double v, qint64& units, int& places) {
        QString t = shortestDigits(std::fabs(v));
        const qsizetype dot = t.indexOf(QLatin1Char('.'));
        places = dot < 0 ? 0 : int(t.size() - dot - 1);
        if (places > 9) { // more places than a product can hold exactly: round first
            t = roundDecimalText(t, 9);
            places = 9;
        }
        t.remove(QLatin1Char('.'));
        units = t.toLongLong();
        if (v < 0)
            units = -units;
    };
    qint64 ua = 0;
    qint64 ub = 0;
    int pa = 0;
    int pb = 0;
    split(a, ua, pa);
    split(b, ub, pb);
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
