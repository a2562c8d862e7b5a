#include "ProcessFuntion.h"

#include "BillDirection.h"
#include "DbError.h"
#include "sqlHelper.h"

#include <QDate>
#include <QDateTime>

namespace
{

struct NumberSeries {
    QString kind;
    QString table;
    QString column;
};

// The bill numbers of each direction and the partner codes.
const QList<NumberSeries>& numberSeries()
{
    static const QList<NumberSeries> series = [] {
        QList<NumberSeries> l;
        for (BillDirection d : kBillDirections) {
            const BillDirectionFacts& f = BillDirectionFacts::Of(d);
            l.append({f.numberKind, f.headTable, QStringLiteral("billNo")});
        }
        l.append({QStringLiteral("ct"), QStringLiteral("tb_customer"), QStringLiteral("customerCode")});
        return l;
    }();
    return series;
}

// The date forms the windows hand over: ISO dates with or without a time, and
// the slashed and dotted forms a typed date takes.
QDate readDate(const QString& text)
{
    const QString t = text.trimmed();
    const QDateTime dt = QDateTime::fromString(t, Qt::ISODate);
    if (dt.isValid())
        return dt.date();
    static const char* const formats[] = {"yyyy-M-d",       "yyyy/M/d",     "yyyy.M.d",     "yyyy-M-d H:m:s",
                                          "yyyy/M/d H:m:s", "yyyy-M-d H:m", "yyyy/M/d H:m", "yyyyMMdd"};
    for (const char* f : formats) {
        const QDate d = QDateTime::fromString(t, QString::fromLatin1(f)).date();
        if (d.isValid())
            return d;
        const QDate d2 = QDate::fromString(t, QString::fromLatin1(f));
        if (d2.isValid())
            return d2;
    }
    return {};
}

} // namespace

QString GetNewBillNo(const QString& kind, const QString& dateText)
{
    const QString k = kind.toLower();
    const NumberSeries* series = nullptr;
    for (const NumberSeries& s : numberSeries()) {
        if (k == s.kind)
            series = &s;
    }
    if (!series)
        return {};

    const QDate date = readDate(dateText);
    if (!date.isValid())
        throw DbError(QStringLiteral("日期格式错误: ") + dateText);
    const QString yymm = date.toString(QStringLiteral("yyMM"));
    const QString prefix = k + QLatin1Char('-');

    // The serial is compared as a number: text order would put 100000 below
    // 99999 and hand out 100000 again. The serial index of each table orders
    // the numbers by their "kk-YYMM-" part (without letter case), then by the
    // serial as a number, and leaves out empty numbers: with the same
    // expressions and condition here, the month's largest serial is one probe
    // of it, however many numbers the month holds. The expressions are
    // spelled letter for letter as in the index: SQLite matches the type name
    // of a CAST by its exact letters.
    const QString& column = series->column;
    const QVariant max =
        GetMaxValue(QStringLiteral("CAST(substr(%1,9) AS INTEGER)").arg(column), series->table,
                    QStringLiteral(" and %1<>'' and substr(%1,1,8)=@month collate nocase").arg(column),
                    ParamMap{{QStringLiteral("@month"), prefix + yymm + QLatin1Char('-')}});
    // SQLite caps a longer serial at the largest 64-bit integer, so the next
    // one would wrap or repeat: numbering stops at 18 digits with a message.
    constexpr qint64 kLastSerial = 999'999'999'999'999'999;
    const qint64 last = std::max<qint64>(0, max.toLongLong());
    if (last >= kLastSerial)
        throw DbError(QStringLiteral("%1月的单据流水号已达上限,无法生成新的单据号,请检查单据号后再保存!")
                          .arg(date.toString(QStringLiteral("yyyy年M"))));
    return prefix + yymm + QLatin1Char('-') + QString::number(last + 1).rightJustified(5, QLatin1Char('0'));
}
