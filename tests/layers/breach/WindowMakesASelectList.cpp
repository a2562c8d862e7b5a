// A window source that asks for a select list to hand a data class.
#include "dal_goods_head.h"

int ListGoods()
{
    return dal_goods_head().GetListForCondition({}, SelectListOf(QStringLiteral("select id "))).recordCount;
}
