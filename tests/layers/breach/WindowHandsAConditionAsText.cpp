// A window source that hands a data class a condition on a field of its own text.
#include "dal_goods_head.h"

int WidenTheSearch()
{
    return dal_goods_head()
        .GetListRows({m_condition(QStringLiteral("1=1 OR id"), QStringLiteral("="), 1)})
        .recordCount;
}
