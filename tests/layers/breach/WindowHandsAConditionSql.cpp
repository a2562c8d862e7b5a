// A window source that hands a report data class a condition of its own SQL text.
#include "dal_rpt_Reports.h"

int ExportInbound()
{
    dal_rpt_rkHead report;
    return report.GetDataTable(ConditionSql{QStringLiteral(" and 1=1")}, {}, true)->RecordCount();
}
