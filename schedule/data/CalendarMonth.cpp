#include "CalendarMonth.h"

#include "Numbers.h"
#include "sqlHelper.h"

#include <algorithm>

bool IsLeapYearB(int uyear)
{
    return QDate(uyear, 2, 29).isValid();
}

int uGetDays(const QString& uDateStr)
{
    QDate d = QDate::fromString(uDateStr.trimmed(), QStringLiteral("yyyy-MM-dd"));
    if (!d.isValid())
        d = QDate::fromString(uDateStr.trimmed(), QStringLiteral("yyyy-M-d"));
    if (!d.isValid())
        return 0;
    switch (d.month()) {
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    case 2:
        return IsLeapYearB(d.year()) ? 29 : 28;
    default:
        return 31;
    }
}

MonthCells MonthLayout(int year, int month)
{
    MonthCells cells(6, QStringList(7, QString()));
    const QDate first(year, month, 1);
    if (!first.isValid())
        return cells;
    const int days = uGetDays(first.toString(QStringLiteral("yyyy-MM-dd")));
    int col = first.dayOfWeek() % 7; // Qt: Monday 1 .. Sunday 7
    int row = 0;
    for (int day = 1; day <= days; ++day) {
        cells[row][col] = QString::number(day);
        if (++col == 7) {
            col = 0;
            ++row;
        }
    }
    return cells;
}

QString CheckedYearText(const QString& text)
{
    const double lead = ReadNumber(text);
    const int year = int(std::clamp(lead, double(CalendarMinYear), double(CalendarMaxYear)));
    return QString::number(year);
}

QStringList MonthDayRecords(const QString& monthKey)
{
    ParamMap p;
    p.Add(QStringLiteral("@month"), monthKey);
    const RecordSetPtr rs =
        ExecuteSql(QStringLiteral("SELECT substr(a.createTime,1,10) as iDate,count(*) as iCount "
                                  " from tb_events a where substr(a.createTime,1,7)=@month "
                                  " group by substr(a.createTime,1,10) order by iDate"),
                   p);
    QStringList records;
    if (!rs)
        return records;
    for (int r = 0; r < rs->RecordCount(); ++r) {
        const QString date = rs->text(r, QStringLiteral("iDate"));
        const QDate d = QDate::fromString(date, QStringLiteral("yyyy-MM-dd"));
        if (!d.isValid())
            continue;
        records << QStringLiteral("%1,%2,%3")
                       .arg(d.day())
                       .arg(rs->text(r, QStringLiteral("iCount")), GetJoinFlgType(date));
    }
    return records;
}

QString GetJoinFlgType(const QString& strDate)
{
    ParamMap p;
    p.Add(QStringLiteral("@day"), strDate);
    const RecordSetPtr rs =
        ExecuteSql(QStringLiteral("select flgType  from tb_events  where substr(createTime,1,10)=@day "
                                  " order by createTime asc, id asc"),
                   p);
    QStringList labels;
    if (rs)
        for (int r = 0; r < rs->RecordCount(); ++r)
            labels << rs->text(r, QStringLiteral("flgType"));
    return labels.join(QLatin1Char('^'));
}

QList<MarkBox> MarkLayout(const QString& joinFlgType)
{
    QList<MarkBox> boxes;
    if (joinFlgType.isEmpty())
        return boxes;
    const QStringList labels = joinFlgType.split(QLatin1Char('^'));
    const int n = int(labels.size());
    int color = 0;
    for (int i = 1; i <= n; ++i) {
        const int c = (i - 1) / 7;
        const int r = (i - 1) % 7;
        const int x1 = 40 + 120 * c;
        const int y1 = 35 + 100 * r;
        if (i == 56 && n > 56) {
            constexpr int more = 0x40C0;
            for (int k = 0; k < 4; ++k) {
                const int x = x1 + 30 * k;
                boxes.append({QRect(QPoint(x, y1 + 9), QPoint(x + 10, y1 + 17)), more});
                boxes.append({QRect(QPoint(x, y1 + 35), QPoint(x + 10, y1 + 40)), more});
                boxes.append({QRect(QPoint(x, y1 + 70), QPoint(x + 10, y1 + 78)), more});
            }
            break;
        }
        const QString label = labels.at(i - 1).trimmed();
        if (label == QStringLiteral("一般"))
            color = 0x8000;
        else if (label == QStringLiteral("重要"))
            color = 0xC00000;
        else if (label == QStringLiteral("非常重要"))
            color = 0xC0;
        boxes.append({QRect(QPoint(x1, y1), QPoint(x1 + 80, y1 + 70)), color});
    }
    return boxes;
}

EventListQuery GetStrSql(bool byDate, const QDate& date, const QString& keyword)
{
    EventListQuery q;
    q.sql = QStringLiteral(
        "SELECT id,eventContent,createTime,createUserId,flgType,isStart  FROM tb_events where 1=1 ");
    if (byDate) {
        q.sql += QStringLiteral(" and substr(createTime,1,10)=@day");
        q.params.Add(QStringLiteral("@day"), date.toString(QStringLiteral("yyyy-MM-dd")));
    }
    if (!keyword.trimmed().isEmpty()) {
        // The keyword is matched as typed: % and _ in it are ordinary characters.
        QString escaped = keyword;
        escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
            .replace(QLatin1Char('%'), QStringLiteral("\\%"))
            .replace(QLatin1Char('_'), QStringLiteral("\\_"));
        q.sql += QStringLiteral(" and eventContent like @keyword escape '\\'");
        q.params.Add(QStringLiteral("@keyword"), QLatin1Char('%') + escaped + QLatin1Char('%'));
    }
    return q;
}
