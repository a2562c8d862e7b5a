#pragma once

#include <QString>
#include <QVariant>

// An amount in Chinese capital money words, the form used on printed bills
// (1234.5 gives 壹仟贰佰叁拾肆元伍角整). amount is a number or a numeric
// text; zero and the empty text give a single space, a text that holds no
// number gives the empty text. A number is read with up to 15 significant
// digits, a text exactly, whatever its size: the integer digits are read in
// groups of four from the right, named 万, 亿, 万亿, 亿亿, 万亿亿 ... upwards;
// two decimals are written, further decimals are cut.
QString GetChineseMoney(const QVariant& amount);

// The capital word of a digit 0 to 9 (a number or a numeric text); any other
// value gives the empty text.
QString GetChineseDigit(const QVariant& digit);
