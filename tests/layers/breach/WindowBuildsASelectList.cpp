// A window source that builds a select list itself to hand a data class.
#include "dal_goods_head.h"

int ListGoods()
{
    const SelectList columns(QStringLiteral("select id "));
    return dal_goods_head().GetListForCondition({}, columns).recordCount;
}
