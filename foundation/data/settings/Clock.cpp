#include "Clock.h"

namespace
{
QDateTime& fixedTime()
{
    static QDateTime t;
    return t;
}
} // namespace

QDateTime Clock::Now()
{
    return fixedTime().isValid() ? fixedTime() : QDateTime::currentDateTime();
}

void Clock::SetFixed(const QDateTime& when)
{
    fixedTime() = when;
}

void Clock::Reset()
{
    fixedTime() = QDateTime();
}
