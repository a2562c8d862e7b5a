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

std::string DecimalUtf8(double value)
{
    return FifteenDigits(value).toStdString();
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
