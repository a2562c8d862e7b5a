#pragma once

#include <QMetaType>
#include <QString>

// One packing unit with the columns of its goods item. It is also what bill
// entry hands around: the code the unit was entered with, how many units that
// code matched, and the line's quantity and storage location.
class m_goods_detail
{
  public:
    int id = 0;
    int headId = 0;
    int rowNo = 0;
    int isDefault = 0;
    QString goodsDetailCode; // barcode, may be empty
    QString unit;
    double packQty = 0;
    double weight = 0;
    double inPrice = 0;
    double salePrice = 0;
    int goodsTypeId = 0;
    QString goodsTypeName;
    QString goodsCode;
    QString goodsName;
    QString goodsDesc;
    QString pinyin;
    QString status;
    double upqty = 0;
    double downqty = 0;
    QString utype;          // which entry code matched ("goodsCode" or "barcode")
    QString inputGoodsCode; // the code as typed
    int irowsCount = 0;     // how many enabled units the code matched
    double qty = 0;
    QString locationCode;
    int locationId = 0;
};
Q_DECLARE_METATYPE(m_goods_detail)
