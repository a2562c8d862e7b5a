#pragma once

#include "Decimal.h"

#include <QString>
#include <optional>

struct sqlite3;
struct sqlite3_value;
struct sqlite3_context;

// The number functions every connection of the program carries, registered
// when it opens (the bill views use them):
//
//   line_amount(qty, price): the amount of a bill line (LineAmount) in the
//     form "#0.0##" ("1.005", "12.0"); Null when a value is Null.
//   bill_amount(qty, price) (aggregate): the amount of a bill (BillAmount)
//     over its lines, in the form "#0.0#" ("1.91", "12.0"); "0.0" for a bill
//     without lines. Lines with a Null value count nothing.
//
// Answers an empty text, or SQLite's text when it refuses a registration.
QString RegisterNumberFunctions(sqlite3* db);

// An SQL value as an exact decimal: an INTEGER as itself, a REAL by its
// shortest form, a text by the number it starts with. None for Null and for
// a REAL that is no finite number (an infinity): it counts as no value.
std::optional<Decimal> SqlDecimal(sqlite3_value* value);

// Sets a decimal as the function's result, in its plain form ("-12.5").
void SqlResult(sqlite3_context* ctx, const Decimal& value);
// Sets a text as the function's result.
void SqlResult(sqlite3_context* ctx, const std::string& text);
