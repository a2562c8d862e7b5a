#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

// The value helpers of the windows and data classes: null and blank tests,
// page counts and month starts.

// True for Null (an invalid value or a database Null) and for a text that is
// empty once leading and trailing spaces are removed (a tab is not a space).
bool IsNullOrEmpty(const QVariant& value);
// The default for Null, else the value as text.
QString NullToValue(const QVariant& value, const QString& defaultText);
// The pages of pageSize rows needed for total rows; a page size below 1 counts as 1.
int GetPageCount(int total, int pageSize);
// The first day of the month of d (a date-time keeps its time of day).
QDate GetMonthFirstDay(const QDate& d);
QDateTime GetMonthFirstDay(const QDateTime& d);
