#include "CMoney.h"

#include "OutputText.h"

#include <cmath>

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

QString MoneyWords(double amount)
{
    const QString t = DecimalText(amount, false);
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

    // Units, 万 and 亿 groups from the right; digits above the twelfth are dropped.
    static const QString groupWords[] = {QString(), QStringLiteral("万"), QStringLiteral("亿")};
    QString integerWords;
    for (int g = 0; g < 3; ++g) {
        const qsizetype end = integerDigits.size() - 4 * g;
        if (end <= 0)
            break;
        const qsizetype start = qMax<qsizetype>(0, end - 4);
        const QString words = GroupWords(integerDigits.mid(start, end - start));
        if (!words.isEmpty())
            integerWords.prepend(words + groupWords[g]);
    }
    if (integerWords.isEmpty())
        return fractionWords;
    return integerWords + QStringLiteral("元") + fractionWords;
}

// The number an amount holds; false for a text that holds none.
bool AmountValue(const QVariant& amount, double& value)
{
    if (IsNumberValue(amount)) {
        value = amount.toDouble();
        return std::isfinite(value);
    }
    bool ok = false;
    value = amount.toString().trimmed().toDouble(&ok);
    return ok && std::isfinite(value);
}

} // namespace

QString GetChineseMoney(const QVariant& amount)
{
    if (!IsNumberValue(amount) && amount.toString().trimmed().isEmpty())
        return QStringLiteral(" ");
    double value = 0;
    if (!AmountValue(amount, value))
        return QString();
    if (value == 0)
        return QStringLiteral(" ");
    if (value < 0)
        return QStringLiteral("负") + MoneyWords(-value);
    return MoneyWords(value);
}

QString GetChineseDigit(const QVariant& digit)
{
    static const QString words[] = {
        QStringLiteral("零"), QStringLiteral("壹"), QStringLiteral("贰"), QStringLiteral("叁"),
        QStringLiteral("肆"), QStringLiteral("伍"), QStringLiteral("陆"), QStringLiteral("柒"),
        QStringLiteral("捌"), QStringLiteral("玖"),
    };
    double value = 0;
    if (!AmountValue(digit, value) || (!IsNumberValue(digit) && digit.toString().trimmed().isEmpty()))
        return QString();
    for (int i = 0; i < 10; ++i) {
        if (value == i)
            return words[i];
    }
    return QString();
}
