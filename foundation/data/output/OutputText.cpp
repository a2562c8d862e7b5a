#include "OutputText.h"

#include <QMetaType>
#include <cmath>

namespace
{

// A double with up to 15 significant digits, the digits a double holds.
Decimal FifteenDigits(double value)
{
    const std::optional<Decimal> d = Decimal::FromDouble(value);
    return d ? d->roundedSignificant(15) : Decimal();
}

} // namespace

QString DecimalText(double value, bool leadingZero)
{
    if (!std::isfinite(value))
        return QString::number(value);
    QString text = FifteenDigits(value).toString();
    if (!leadingZero) {
        const qsizetype zero = text.startsWith(QLatin1Char('-')) ? 1 : 0;
        if (text.mid(zero, 2) == QLatin1String("0."))
            text.remove(zero, 1);
    }
    return text;
}

QString FixedText(double value, int minDecimals, int maxDecimals)
{
    if (!std::isfinite(value))
        return QString::number(value);
    // Rounded from the decimal digits, not the binary value, so that 2.675
    // gives 2.68 as written, and ties go away from zero.
    QString text = QString::fromStdString(FifteenDigits(value).fixed(maxDecimals));
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point >= 0) {
        qsizetype keep = text.size();
        while (keep - point - 1 > minDecimals && text.at(keep - 1) == QLatin1Char('0'))
            --keep;
        if (keep - point - 1 == 0)
            --keep;
        text.truncate(keep);
    }
    return text;
}

std::optional<Decimal> NumberOf(const QVariant& value)
{
    if (!IsNumberValue(value))
        return Decimal::FromText(QStringView(value.toString()));
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
        if (!std::isfinite(value.toDouble()))
            return std::nullopt;
        return FifteenDigits(value.toDouble());
    }
    return ReadDecimal(value);
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
