#pragma once

#include <QString>

// One goods item as v_goods_head shows it.
class m_goods_head
{
  public:
    int id = 0;
    int goodsTypeId = 0;
    QString goodsTypeName; // view only
    QString goodsCode;
    QString goodsName;
    QString goodsDesc;
    QString pinyin;
    double upqty = 0;
    double downqty = 0;
    QString status; // "启用", "替代" or "禁用"
    QString imageUrl;
    QString creator;
    QString createTime;
    QString updateLastUser;
    QString updateLastTime;
    // The change stamp the item was read with (tb_goods_head.rowVersion); it
    // covers the item's packing units too.
    int rowVersion = 0;
};
