#pragma once

#include "BenchData.h"

#include <QString>

// The store the report, stock and export benchmarks read: goods items (two
// packing units each: 瓶 of 1 piece, the default, and 盒 of 6), 300
// partners, location 1, and 1,000,000 bill lines over the twelve months from
// June 2023 to May 2024:
//   inbound   60,000 bills of 10 lines, 5,000 bills (50,000 lines) a month;
//   outbound  40,000 bills of 10 lines;
// account tags 2 and 5 by turns (every tenth outbound bill tag 7, which no
// benchmark lists), three bills in four audited. The lines name the first
// 20,000 goods items whatever the goods count, so the stores of 20,000 and
// of 500,000 goods hold the same lines. Made once per goods count and kept
// (BenchData::Kept).
namespace LineStore
{

constexpr int kFewGoods = 20000;
constexpr int kManyGoods = 500000;
constexpr int kInBills = 60000;
constexpr int kOutBills = 40000;
constexpr int kLinesPerBill = 10;
constexpr int kLineGoods = 20000;

BenchData& Open(int goods);

// The first day of month m (0: June 2023 ... 11: May 2024; 12: June 2024),
// "yyyy-MM-dd".
QString MonthStart(int m);

} // namespace LineStore
