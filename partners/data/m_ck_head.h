#pragma once

#include <QMetaType>
#include <QString>

// The head of an outbound bill (出库单). The last seven fields come from the
// view v_ck_head. The picker answers these records in its bill mode, so the
// record lives beside it; the outbound bills use the same class.
class m_ck_head
{
  public:
    int id = 0;
    int accountId = 0;
    QString billNo;
    QString ubillNo;
    int utypeId = 0;
    int customerId = 0;
    QString customerName;
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
Q_DECLARE_METATYPE(m_ck_head)
