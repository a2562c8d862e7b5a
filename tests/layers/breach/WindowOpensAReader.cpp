// A window source that declares the reader's opener itself.
#include "RowReader.h"

std::unique_ptr<RowReader> OpenRowReader(const QString& sql, const ParamMap& params);

int CountGoods()
{
    const std::unique_ptr<RowReader> reader =
        OpenRowReader(QStringLiteral("select id from tb_goods_head"), {});
    int rows = 0;
    while (reader->next())
        ++rows;
    return rows;
}
