// A window source that hands a report data class its own select list.
#include "dal_rpt_Reports.h"

int SearchInbound()
{
    dal_rpt_rkHead report;
    m_PageInfor page;
    return report.GetListForCondition(ReportFill(), {}, page, QStringLiteral("select 0,id,billNo "))
        .recordCount;
}
