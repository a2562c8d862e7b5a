#include "CMoney.h"

#include "Decimal.h"
#include "OutputText.h"

#include <optional>

namespace
{

const QString kZero = QStringLiteral("零");

// The words of one group of up to four digits, read from the right: one 零
// stands for a run of zeros inside the group, none at its end.
QString GroupWords(const QString& digits)
{
    static const QString positions[] = {QString(), QStringLiteral("拾"), QStringLiteral("佰"),
                                        QStringLiteral("仟")};
    QString words;
    int position = 0;
    for (qsizetype i = digits.size() - 1; i >= 0; --i, ++position) {
        const QChar d = digits.at(i);
        if (position == 0) {
            words = GetChineseDigit(QString(d));
        } else if (d != QLatin1Char('0')) {
            words = GetChineseDigit(QString(d)) + positions[position] + words;
        } else if (!words.startsWith(kZero)) {
            words = kZero + words;
        }
    }
    if (words.endsWith(kZero))
        words.chop(kZero.size());
    return words;
}

// The name of the g-th group of four digits from the right: none, 万, 亿,
// 万亿, 亿亿, 万亿亿 ...
QString GroupName(int g)
{
    QString name = g % 2 == 1 ? QStringLiteral("万") : QString();
    for (int k = 0; k < g / 2; ++k)
        name += QStringLiteral("亿");
    return name;
}

// The words of a positive amount written as plain decimal text.
QString MoneyWords(const QString& plain)
{
    QString t = plain;
    if (t.startsWith(QLatin1String("0.")))
        t.remove(0, 1); // an amount below 1 has no integer digits: ".5"
    QString integerDigits = t;
    QString fractionWords = QStringLiteral("整");
    const qsizetype point = t.indexOf(QLatin1Char('.'));
    if (point >= 0) {
        integerDigits = t.left(point);
        const QChar d1 = t.at(point + 1);
        const QString r = t.mid(point + 2);
        fractionWords.clear();
        if (d1 != QLatin1Char('0') && !r.isEmpty())
            fractionWords += GetChineseDigit(QString(d1)) + QStringLiteral("角");
        if (d1 != QLatin1Char('0') && r.isEmpty())
            fractionWords += GetChineseDigit(QString(d1)) + QStringLiteral("角整");
        if (d1 == QLatin1Char('0') && !r.isEmpty())
            fractionWords += kZero;
        if (!r.isEmpty())
            fractionWords += GetChineseDigit(QString(r.at(0))) + QStringLiteral("分");
    }

    QString integerWords;
    for (int g = 0;; ++g) {
        const qsizetype end = integerDigits.size() - 4 * g;
        if (end <= 0)
            break;
        const qsizetype start = qMax<qsizetype>(0, end - 4);
        const QString words = GroupWords(integerDigits.mid(start, end - start));
        if (!words.isEmpty())
            integerWords.prepend(words + GroupName(g));
    }
    if (integerWords.isEmpty())
        return fractionWords;
    return integerWords + QStringLiteral("元") + fractionWords;
}

} // namespace

QString GetChineseMoney(const QVariant& amount)
{
    if (!IsNumberValue(amount) && amount.toString().trimmed().isEmpty())
        return QStringLiteral(" ");
    const std::optional<Decimal> read = NumberOf(amount);
    if (!read)
        return QString();
    // The words go down to 分: a further decimal rounds half away from zero first.
    const std::optional<Decimal> value = read->rounded(2);
    if (value->isZero())
        return QStringLiteral(" ");
    const QString words = MoneyWords(value->abs().toString());
    return value->isNegative() ? QStringLiteral("负") + words : words;
}

QString GetChineseDigit(const QVariant& digit)
{
    static const QString words[] = {
        QStringLiteral("零"), QStringLiteral("壹"), QStringLiteral("贰"), QStringLiteral("叁"),
        QStringLiteral("肆"), QStringLiteral("伍"), QStringLiteral("陆"), QStringLiteral("柒"),
        QStringLiteral("捌"), QStringLiteral("玖"),
    };
    const std::optional<Decimal> value = NumberOf(digit);
    if (!value || (!IsNumberValue(digit) && digit.toString().trimmed().isEmpty()))
        return QString();
    for (int i = 0; i < 10; ++i) {
        if (*value == Decimal(i))
            return words[i];
    }
    return QString();
}
