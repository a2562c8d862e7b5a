// A window source that hands a report an order of its own text.
#include "dal_rpt_Reports.h"

int SortByItsOwnText()
{
    dal_rpt_rkHead report;
    m_PageInfor page;
    page.sortKey = SortKey(QStringLiteral("1; drop table tb_rk_head"), false);
    return report.Reorder(page);
}
