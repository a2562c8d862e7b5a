#include "OutputText.h"

#include <QMetaType>
#include <cmath>

namespace
{

// Splits |value| into its significant digits (at most 15, no trailing zeros)
// and the decimal exponent of the first one: 12.5 gives "125" and 1.
void SignificantDigits(double value, QString& digits, int& exponent)
{
    const QString sci = QString::number(std::fabs(value), 'e', 14); // d.dddddddddddddde+XX
    const qsizetype e = sci.indexOf(QLatin1Char('e'));
    digits = sci.left(e);
    digits.remove(QLatin1Char('.'));
    exponent = sci.mid(e + 1).toInt();
    while (digits.size() > 1 && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
}

// The whole and fractional digits of |value| at 15 significant digits.
void FixedParts(double value, QString& whole, QString& fraction)
{
    QString digits;
    int exponent = 0;
    SignificantDigits(value, digits, exponent);
    if (digits == QLatin1String("0")) {
        whole = QStringLiteral("0");
        fraction.clear();
        return;
    }
    if (exponent >= 0) {
        whole = digits.left(exponent + 1);
        while (whole.size() < exponent + 1)
            whole.append(QLatin1Char('0'));
        fraction = digits.mid(exponent + 1);
    } else {
        whole = QStringLiteral("0");
        fraction = QString(-exponent - 1, QLatin1Char('0')) + digits;
    }
}

bool AllZero(const QString& digits)
{
    for (QChar c : digits) {
        if (c != QLatin1Char('0'))
            return false;
    }
    return true;
}

} // namespace

QString DecimalText(double value, bool leadingZero)
{
    if (!std::isfinite(value))
        return QString::number(value);
    QString whole;
    QString fraction;
    FixedParts(value, whole, fraction);
    if (whole == QLatin1String("0") && fraction.isEmpty())
        return QStringLiteral("0");
    QString text = (value < 0) ? QStringLiteral("-") : QString();
    if (leadingZero || whole != QLatin1String("0") || fraction.isEmpty())
        text += whole;
    if (!fraction.isEmpty())
        text += QLatin1Char('.') + fraction;
    return text;
}

QString FixedText(double value, int minDecimals, int maxDecimals)
{
    if (!std::isfinite(value))
        return QString::number(value);
    QString whole;
    QString fraction;
    FixedParts(value, whole, fraction);
    // Round the decimal digits, not the binary value, so that 2.675 gives 2.68
    // as written, and ties go away from zero.
    if (fraction.size() > maxDecimals) {
        const bool up = fraction.at(maxDecimals) >= QLatin1Char('5');
        fraction.truncate(maxDecimals);
        if (up) {
            QString all = whole + fraction;
            qsizetype i = all.size() - 1;
            while (i >= 0 && all.at(i) == QLatin1Char('9')) {
                all[i] = QLatin1Char('0');
                --i;
            }
            if (i < 0)
                all.prepend(QLatin1Char('1'));
            else
                all[i] = QChar(all.at(i).unicode() + 1);
            whole = all.left(all.size() - maxDecimals);
            fraction = all.right(maxDecimals);
        }
    }
    while (fraction.size() > minDecimals && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    while (fraction.size() < minDecimals)
        fraction.append(QLatin1Char('0'));
    const bool negative = value < 0 && !(AllZero(whole) && AllZero(fraction));
    QString text = negative ? QStringLiteral("-") : QString();
    text += whole;
    if (!fraction.isEmpty())
        text += QLatin1Char('.') + fraction;
    return text;
}

bool IsNumberValue(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

QString ValueText(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    const int type = value.metaType().id();
    if (type == QMetaType::Double || type == QMetaType::Float)
        return DecimalText(value.toDouble());
    return value.toString();
}
