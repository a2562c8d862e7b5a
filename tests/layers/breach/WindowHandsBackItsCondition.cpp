// A window source that hands a report data class the condition of its search again.
#include "dal_rpt_Reports.h"

int SecondPage()
{
    dal_rpt_rkHead report;
    m_PageInfor page;
    const m_recordSet found = report.GetListForCondition(ReportFill(), {}, page);
    page.int_currentPageIndex = 2;
    return report.GetPage(found.str_condition, page)->RecordCount();
}
