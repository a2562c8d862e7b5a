#pragma once

#include "KeyValue.h"

#include <QDate>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

// The month calendar's arithmetic and queries, apart from its window.

constexpr int CalendarMinYear = 1998;
constexpr int CalendarMaxYear = 2101;

bool IsLeapYearB(int uyear);
// The number of days of the month of a date text ("yyyy-MM-dd" or "yyyy-M-d"); 0 when unreadable.
int uGetDays(const QString& uDateStr);

// The six weeks of a month, Sunday first: cells[row][col] holds the day
// number as text or "".
using MonthCells = QList<QStringList>;
MonthCells MonthLayout(int year, int month);

// The year box's text after the check: the text's leading number, kept
// within CalendarMinYear..CalendarMaxYear ("abc" gives "1998", "20125"
// gives "2101", "2012年" gives "2012").
QString CheckedYearText(const QString& text);

// The marked days of a month "yyyy-MM": one "d,count,labels" text per day
// with entries, the labels joined by "^" in start-time order.
QStringList MonthDayRecords(const QString& monthKey);
// The importance labels of one day "yyyy-MM-dd" joined by "^", in the
// order of start time, then id.
QString GetJoinFlgType(const QString& strDate);

// One coloured box of a day mark, in twips on the 1060 x 780 mark surface.
struct MarkBox {
    QRect rect;
    int oleColor = 0; // 0xBBGGRR
};
// The boxes of a day's mark: one per label in columns of seven; past 56
// labels the 56th place shows the "more" dots instead and the rest is left out.
QList<MarkBox> MarkLayout(const QString& joinFlgType);

#ifndef WMS_WINDOW_LAYER
// The schedule list's query for its filters, with its bound values.
struct EventListQuery {
    QString sql;
    ParamMap params;
};
EventListQuery GetStrSql(bool byDate, const QDate& date, const QString& keyword);
#endif
