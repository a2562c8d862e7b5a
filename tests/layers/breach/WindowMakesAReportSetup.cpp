// A window source that makes a report of a setup of its own.
#include "dal_rpt_Reports.h"

int ListInbound()
{
    ReportSetup setup = BillListSetup(BillDirection::In);
    setup.gridSelect = QStringLiteral("select 0,id,billNo ");
    return dal_rpt_rkHead().KeptCount() + setup.gridSelect.size();
}
