#pragma once

#include <QMetaType>
#include <QString>

// One line of an inbound bill (入库单); the fields after remark come from the
// view v_rk_detail.
class m_rk_detail
{
  public:
    int id = 0;
    int headId = 0;
    int rowNo = 0;
    int goodsTypeId = 0;
    QString goodsTypeName;
    int goodsId = 0;
    QString goodsCode;
    QString goodsDetailCode;
    QString goodsName;
    QString goodsDesc;
    QString unit;
    double inPrice = 0;
    double packQty = 0;
    double weight = 0;
    double qty = 0;
    int locationId = 0;
    QString lotNo;
    QString remark;
    int accountId = 0;
    QString accountName;
    QString billNo;
    QString ubillNo;
    QString utype;
    int utypeId = 0;
    int supplierId = 0;
    QString supplierName;
    int userId = 0;
    double totalQty = 0;
    double totalDefaultQty = 0;
    double totalWeight = 0;
    double totalAmount = 0;
    QString locationCode;
    int ispass = 0;
    QString passName;
};
Q_DECLARE_METATYPE(m_rk_detail)
