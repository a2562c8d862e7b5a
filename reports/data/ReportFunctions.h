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
//   dec_sum(x [, y [, places]]) (aggregate), dec_mul(x, y), dec_div(x, y,
//     places): exact decimal sums, products and quotients of the values'
//     shortest decimal forms (69.072 is 69.072, not its binary neighbour);
//     dec_sum of two values sums their products, with places each product
//     rounded half away from zero first; dec_div rounds its quotient half
//     away from zero. The results are the doubles nearest to the exact
//     values, so rpt_num rounds them as decimals (3067.485 gives 3067.49).
//
// rpt_num and rpt_diff keep the texts they made per value and form: report figures repeat a
// lot (whole pieces, boxes of the same size, the same prices).
void RegisterReportFunctions();
