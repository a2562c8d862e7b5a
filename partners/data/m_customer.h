#pragma once

#include <QMetaType>
#include <QString>

// One supplier or customer (往来单位). The last three fields come from the view
// v_customer and are never written to the table.
class m_customer
{
  public:
    int id = 0;
    int utype = 0; // 0 供应商, 1 客户, 2 两者都是
    QString customerCode;
    QString uname;
    QString pinyin;
    QString contact;
    QString companyName;
    QString taxNumber;
    QString bankName;
    QString bankAccount;
    QString address;
    QString tel;
    QString email;
    QString fax;
    int status = 0; // 1 启用, 0 禁用
    QString imageUrl;
    QString creator;
    QString createTime;
    QString updateLastUser;
    QString updateLastTime;
    int userId = 0;
    int customType = 0; // a tb_dictionary item of type "customerType"
    // The change stamp the record was read with (tb_customer.rowVersion).
    int rowVersion = 0;
    QString utypeName;
    QString statusName;
    QString customTypeName;
};
Q_DECLARE_METATYPE(m_customer)
