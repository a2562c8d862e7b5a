// What a window source may do: search a report and walk the rows its data class reads.
#include "dal_rpt_Reports.h"

int ExportInbound()
{
    dal_rpt_rkHead report;
    m_PageInfor page;
    report.GetListForCondition(ReportFill(), {}, page, ReportRows::Grid);
    const std::unique_ptr<RowReader> rows = report.ReadKeptRows(true);
    int count = 0;
    while (rows->next())
        count += rows->fieldCount() > 0 ? 1 : 0;
    return count;
}
