#include "CMoney.h"

#include <QVariant>
#include <gtest/gtest.h>

namespace
{

struct MoneyCase {
    QVariant amount;
    const char* words;
};

TEST(MoneyWordsTest, AmountsReadAsOnAFinancialDocument)
{
    const MoneyCase cases[] = {
        {0, " "},
        {0.5, "伍角整"},
        {0.05, "零伍分"},
        {1.05, "壹元零伍分"},
        {10, "壹拾元整"},
        {20.3, "贰拾元叁角整"},
        {101, "壹佰零壹元整"},
        {1010, "壹仟零壹拾元整"},
        {10000, "壹万元整"},
        {10001, "壹万零壹元整"},
        {10100, "壹万零壹佰元整"},
        {1000000, "壹佰万元整"},
        {100010000, "壹亿零壹万元整"},
        {100001000, "壹亿壹仟元整"},
        {2000000001LL, "贰拾亿零壹元整"},
        {-12.5, "负壹拾贰元伍角整"},
        {1234.56, "壹仟贰佰叁拾肆元伍角陆分"},
        {1234.5, "壹仟贰佰叁拾肆元伍角整"},
        // A third decimal rounds half away from zero to 分 first.
        {12.345, "壹拾贰元叁角伍分"},
        {12.344, "壹拾贰元叁角肆分"},
        {0.999, "壹元整"},
        {1.005, "壹元零壹分"},
        {QStringLiteral("1.005"), "壹元零壹分"},
        {QStringLiteral("0.005"), "零壹分"},
        {QStringLiteral("0.004"), " "},
        {QStringLiteral("-0.005"), "负零壹分"},
        {QStringLiteral("2.0951"), "贰元壹角整"},
        // Above the twelfth digit the groups go on: 万亿, 亿亿, 万亿亿 ...
        {9876543210987.0, "玖万亿捌仟柒佰陆拾伍亿肆仟叁佰贰拾壹万零玖佰捌拾柒元整"},
        {999999999999.99, "玖仟玖佰玖拾玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖元玖角玖分"},
        {QStringLiteral("6098171613347.01"), "陆万亿零玖佰捌拾壹亿柒仟壹佰陆拾壹万叁仟叁佰肆拾柒元零壹分"},
        {QStringLiteral("1000000000000"), "壹万亿元整"},
        {QStringLiteral("10000000000001"), "壹拾万亿零壹元整"},
        {QStringLiteral("100000000000000000"), "壹拾亿亿元整"},
        {QStringLiteral("1000000000000000000000000.5"), "壹亿亿亿元伍角整"},
        // A text is read whole, a number with the 15 digits a double holds.
        {QStringLiteral("999999999999998000000000000001.12"),
         "玖拾玖万亿亿亿玖仟玖佰玖拾玖亿亿亿玖仟玖佰玖拾玖万亿亿玖仟玖佰玖拾玖亿亿捌仟万亿零壹元壹角贰分"},
        {0.1 + 0.2, "叁角整"},
        // Numeric texts are read as numbers, as the print data passes them.
        {QStringLiteral("12.0"), "壹拾贰元整"},
        {QStringLiteral("0.0"), " "},
        {QStringLiteral("1234.5"), "壹仟贰佰叁拾肆元伍角整"},
        {QStringLiteral("-0.05"), "负零伍分"},
        {QString(), " "},
        {QVariant(), " "},
        {QStringLiteral("abc"), ""},
    };
    for (const MoneyCase& c : cases) {
        EXPECT_EQ(GetChineseMoney(c.amount).toStdString(), std::string(c.words))
            << c.amount.toString().toStdString();
    }
}

TEST(MoneyWordsTest, DigitWords)
{
    const char* words[] = {"零", "壹", "贰", "叁", "肆", "伍", "陆", "柒", "捌", "玖"};
    for (int d = 0; d < 10; ++d) {
        EXPECT_EQ(GetChineseDigit(d).toStdString(), words[d]);
        EXPECT_EQ(GetChineseDigit(QString::number(d)).toStdString(), words[d]);
    }
    for (const QVariant& other : {QVariant(10), QVariant(-1), QVariant(1.5), QVariant(QStringLiteral("x")),
                                  QVariant(QString()), QVariant()})
        EXPECT_TRUE(GetChineseDigit(other).isEmpty()) << other.toString().toStdString();
}

} // namespace
