#pragma once

#include <QMetaType>
#include <QString>

// A bill head and a bill line as the store handles them for both directions;
// the partner is the supplier of an inbound bill or the customer of an
// outbound one. The records of the two directions (m_rk_head, m_ck_detail,
// ...) carry the same values under their own names.
struct BillHead {
    int id = 0;
    int accountId = 0;
    QString billNo;
    QString ubillNo;
    int utypeId = 0;
    int partnerId = 0;
    QString partnerName;
    QString remark;
    QString creator;
    QString createTime; // the bill date "yyyy-MM-dd"
    QString updateLastUser;
    QString updateLastTime;
    int userId = 0;
    int ispass = 0;
    // read from the view
    QString accountName;
    QString totalItemRow;
    QString utype;
    double totalQty = 0;
    double totalAmount = 0;
    int rowsCount = 0;
    QString passName;
};

struct BillLine {
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
    double salePrice = 0; // outbound lines only
    double packQty = 0;
    double weight = 0;
    double qty = 0;
    int locationId = 0;
    QString lotNo;
    QString remark;
    // read from the view
    int accountId = 0;
    QString accountName;
    QString billNo;
    QString ubillNo;
    QString utype;
    int utypeId = 0;
    int partnerId = 0;
    QString partnerName;
    int userId = 0;
    double totalQty = 0;
    double totalDefaultQty = 0;
    double totalWeight = 0;
    double totalAmount = 0;
    QString locationCode;
    int ispass = 0;
    QString passName;
};
Q_DECLARE_METATYPE(BillHead)
Q_DECLARE_METATYPE(BillLine)
