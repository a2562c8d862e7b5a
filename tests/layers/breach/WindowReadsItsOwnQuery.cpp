// A window source that gives a reader SQL text of its own.
#include "RowReader.h"

int CountGoods()
{
    RowReader reader(QStringLiteral("select id from tb_goods_head"));
    int rows = 0;
    while (reader.next())
        ++rows;
    return rows;
}
