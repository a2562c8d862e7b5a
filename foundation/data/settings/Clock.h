#pragma once

#include <QDateTime>

// The one source of the present time, so that tests can fix it.
class Clock
{
  public:
    static QDateTime Now();
    static QDate Today() { return Now().date(); }
    // Fixes the time until Reset(); an invalid value resets.
    static void SetFixed(const QDateTime& when);
    static void Reset();
};
