#pragma once

#include <sqlite3.h>
#include <string>

// The twins' own exact figures, apart from the program's: SQL functions in
// plain C++ over numbers scaled to whole counts of 10^-k. A value of more
// than 15 significant digits or beyond the scales below is not guessed at:
// it sets the error count (BareExactErrors), and the twin's result is void.
//
//   bare_amount(qty, price): the line amount (the exact product rounded half
//     away from zero to 3 places) as the double nearest to it.
//   bare_amount_text(qty, price): the same amount in the form "#0.0##", "0"
//     when it is 0.
//   bare_prod(x, y): the exact product as a count of 10^-6; Null when a
//     value is Null.
//   bare_sum(x, y [, places]) (aggregate): the exact sum of the products
//     (each rounded half away from zero to places first when given), as a
//     count of 10^-6; rows with a Null add nothing; Null when none adds.
//   bare_div(s, d): s (a count of 10^-6) / d rounded half away from zero to
//     3 places, as a count of 10^-3; 0 when d is 0.
//   bare_round(s, from, to): a count of 10^-from rounded half away from zero
//     to a count of 10^-to.
//   bare_text(s, scale, maxDecimals, minDecimals [, zeroText]): a count of
//     10^-scale rounded half away from zero to maxDecimals and written with
//     at least minDecimals; 0 written in the form, or as zeroText when given.
void RegisterBareExact(sqlite3* db);

// A stored number as the grids show it: the shortest decimal that reads
// back as the same double, every digit written out (no exponent), "0" for
// zero.
std::string BarePlainNumber(double v);
long long BareExactErrors();
