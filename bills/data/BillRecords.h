#pragma once

#include <QMetaType>
#include <QString>

// A bill head and a bill line as the store handles them for both directions;
// the partner is the supplier of an inbound bill or the customer of an
// outbound one (the tables' supplierId and supplierName, or customerId and
// customerName). The records of the two directions (m_rk_head, m_ck_detail,
// ...) are these records under their own names.
// What a head and each of its lines both carry: the record's own id and
// remark, and the head's account, numbers, type, partner, user and audit
// (a line reads the head's from its view; accountName, utype and passName
// are the views' own).
struct BillCommon {
    int id = 0;
    int accountId = 0;
    QString accountName;
    QString billNo;
    QString ubillNo;
    QString utype;
    int utypeId = 0;
    int partnerId = 0;
    QString partnerName;
    QString remark;
    int userId = 0;
    int ispass = 0; // 1 audited
    QString passName;
};

struct BillHead : BillCommon {
    QString creator;
    QString createTime; // the bill date "yyyy-MM-dd"
    QString updateLastUser;
    QString updateLastTime;
    // The change stamp the bill was read with; a save of a bill changed
    // elsewhere since is refused.
    int rowVersion = 0;
    // read from the view
    QString totalItemRow;
    double totalQty = 0;
    double totalAmount = 0;
    int rowsCount = 0;
};

struct BillLine : BillCommon {
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
    // read from the view
    double totalQty = 0;
    double totalDefaultQty = 0;
    double totalWeight = 0;
    double totalAmount = 0;
    QString locationCode;
};
Q_DECLARE_METATYPE(BillHead)
Q_DECLARE_METATYPE(BillLine)
