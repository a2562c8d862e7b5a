#pragma once

#include "dal_rpt_Report.h"

// The six report data classes: the one report data class with each report's
// own statement.
class dal_rpt_rkHead : public dal_rpt_Report
{
  public:
    dal_rpt_rkHead() : dal_rpt_Report(BillListSetup(BillDirection::In)) {}
};
class dal_rpt_ckHead : public dal_rpt_Report
{
  public:
    dal_rpt_ckHead() : dal_rpt_Report(BillListSetup(BillDirection::Out)) {}
};
class dal_rpt_rkDetail : public dal_rpt_Report
{
  public:
    dal_rpt_rkDetail() : dal_rpt_Report(BillDetailSetup(BillDirection::In)) {}
};
class dal_rpt_ckDetail : public dal_rpt_Report
{
  public:
    dal_rpt_ckDetail() : dal_rpt_Report(BillDetailSetup(BillDirection::Out)) {}
};
class dal_rpt_rkSum : public dal_rpt_Report
{
  public:
    dal_rpt_rkSum() : dal_rpt_Report(GoodsSumSetup(BillDirection::In)) {}
};
class dal_rpt_ckSum : public dal_rpt_Report
{
  public:
    dal_rpt_ckSum() : dal_rpt_Report(GoodsSumSetup(BillDirection::Out)) {}
};
