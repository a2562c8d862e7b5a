#pragma once

#include "Decimal.h"

#include <QString>
#include <QVariant>
#include <optional>
#include <string>

// Text forms of values shared by the print data and the Excel export.

// A number as plain decimal text with up to 15 significant digits: no
// exponent, no trailing zeros, no point for a whole number (3, 12.5, 0.3).
// leadingZero false writes amounts below 1 without the zero before the point
// (".5"), as the money words read them.
QString DecimalText(double value, bool leadingZero = true);
// The same text (with its leading zero) in UTF-8, for a finite value.
std::string DecimalUtf8(double value);

// A stored value as text: numbers in their shortest decimal form, a Null as
// the empty text, everything else as stored.
QString ValueText(const QVariant& value);

// Whether the value is a number type (not a numeric text).
bool IsNumberValue(const QVariant& value);

// The exact number a value holds: a double with up to 15 significant digits
// (as DecimalText writes it), an integer as itself, a text that holds one
// number as written ("12.50", "1e+05"); none for anything else.
std::optional<Decimal> NumberOf(const QVariant& value);
