#pragma once

// Registers the number formatters of the reports on the program's
// connection (again after it was opened anew); a registration SQLite refuses
// throws DbError with its text.
//
//   rpt_num(value, format [, zeroText]): Null stays Null; a value whose
//     FormatNumber(value, format) reads 0 gives zeroText when given; any
//     other value that text.
//   rpt_diff(a, b, places): the plain form (PlainNumber) of a - b rounded to
//     places (0 to 3), a and b read as numbers.
//
// Both keep the texts they made per value and form: report figures repeat a
// lot (whole pieces, boxes of the same size, the same prices).
void RegisterReportFunctions();
