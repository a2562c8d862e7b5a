// A window source that hands a goods data class a select list of its own text.
#include "dal_goods_head.h"

int ListGoods()
{
    return dal_goods_head().GetListForCondition({}, QStringLiteral("select id,goodsCode ")).recordCount;
}
