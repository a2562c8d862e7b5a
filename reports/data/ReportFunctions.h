#pragma once

// Registers the number functions of the reports and the stock on the
// program's connection (again after it was opened anew); a registration
// SQLite refuses throws DbError with its text. Each is a thin wrapper over
// the exact decimals of Decimal: values are read exactly (an INTEGER as
// itself, a REAL by its shortest form, a text by the number it starts with),
// and the exact results are texts in plain form ("100012.345").
//
//   rpt_num(value, format [, zeroText]): Null stays Null; a value that
//     FormatNumber(value, format) rounds to 0 gives zeroText when given; any
//     other value that text.
//   rpt_diff(a, b, places): the plain form (PlainNumber) of a - b rounded to
//     places (0 to 3).
//   dec_sum(x [, y [, places]]) (aggregate): the exact sum of x, or of the
//     products x * y, each product rounded half away from zero to places
//     first when places is given. A row where a value is Null (or a REAL is
//     no finite number) adds nothing; when no row adds, Null.
//   dec_mul(x, y): the exact product; Null when a value is Null.
//   dec_div(x, y, places): x / y rounded half away from zero to places; Null
//     when a value is Null or y is 0.
//
// rpt_num keeps the texts it made per stored number and form: report
// figures repeat a lot (whole pieces, boxes of the same size, the same
// prices).
void RegisterReportFunctions();
