#pragma once

#include <QString>
#include <QVariant>

// An amount in Chinese capital money words, the form used on printed bills
// (1234.5 gives 壹仟贰佰叁拾肆元伍角整). amount is a number or a numeric
// text; zero and the empty text give a single space, a text that holds no
// number gives the empty text. Up to twelve integer digits and two decimals
// are written; further decimals are cut, higher digits dropped.
QString GetChineseMoney(const QVariant& amount);

// The capital word of a digit 0 to 9 (a number or a numeric text); any other
// value gives the empty text.
QString GetChineseDigit(const QVariant& digit);
