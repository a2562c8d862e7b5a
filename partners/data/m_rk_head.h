#pragma once

#include <QMetaType>
#include <QString>

// The head of an inbound bill (入库单). The last seven fields come from the
// view v_rk_head. The picker answers these records in its bill mode, so the
// record lives beside it; the inbound bills use the same class.
class m_rk_head
{
  public:
    int id = 0;
    int accountId = 0;
    QString billNo;
    QString ubillNo;
    int utypeId = 0;
    int supplierId = 0;
    QString supplierName;
    QString remark;
    QString creator;
    QString createTime; // the bill date "yyyy-MM-dd"
    QString updateLastUser;
    QString updateLastTime;
    int userId = 0;
    int ispass = 0; // 1 audited
    QString accountName;
    QString totalItemRow;
    QString utype;
    double totalQty = 0;
    double totalAmount = 0;
    int rowsCount = 0;
    QString passName;
};
Q_DECLARE_METATYPE(m_rk_head)
