#include "ProcessFuntionValues.h"

namespace
{
bool isNull(const QVariant& value)
{
    return !value.isValid() || value.isNull();
}
} // namespace

bool IsNullOrEmpty(const QVariant& value)
{
    if (isNull(value))
        return true;
    const QString text = value.toString();
    for (const QChar c : text) {
        if (c != QLatin1Char(' '))
            return false;
    }
    return true;
}

QString NullToValue(const QVariant& value, const QString& defaultText)
{
    return isNull(value) ? defaultText : value.toString();
}

int GetPageCount(int total, int pageSize)
{
    if (pageSize < 1)
        pageSize = 1;
    int pages = total / pageSize;
    if (total % pageSize != 0)
        ++pages;
    return pages;
}

QDate GetMonthFirstDay(const QDate& d)
{
    return d.isValid() ? QDate(d.year(), d.month(), 1) : d;
}

QDateTime GetMonthFirstDay(const QDateTime& d)
{
    QDateTime first = d;
    if (d.isValid())
        first.setDate(GetMonthFirstDay(d.date()));
    return first;
}
