#pragma once

#include "dal_rpt_Report.h"

// The report data class of one report kind and direction: the one report
// data class with that report's setup. The six report data classes are its
// instances.
template <ReportSetup (*MakeSetup)(BillDirection), BillDirection Direction>
class DirectionReport : public dal_rpt_Report
{
  public:
    DirectionReport() : dal_rpt_Report(MakeSetup, Direction) {}
};

using dal_rpt_rkHead = DirectionReport<BillListSetup, BillDirection::In>;
using dal_rpt_ckHead = DirectionReport<BillListSetup, BillDirection::Out>;
using dal_rpt_rkDetail = DirectionReport<BillDetailSetup, BillDirection::In>;
using dal_rpt_ckDetail = DirectionReport<BillDetailSetup, BillDirection::Out>;
using dal_rpt_rkSum = DirectionReport<GoodsSumSetup, BillDirection::In>;
using dal_rpt_ckSum = DirectionReport<GoodsSumSetup, BillDirection::Out>;
