#pragma once

#include <QMetaType>
#include <QString>

// One storage location (库位) of the location tree. The last six fields come
// from the view v_location and are never written to the table.
class m_location
{
  public:
    int id = 0;
    QString locationCode;
    QString uname;
    double capacity = 0;
    int parentId = 0; // 0 at the top of the tree
    int orderby = 0;
    int isLock = 0;
    int isVirtual = 0;
    int state = 0; // 1 enabled
    QString remark;
    // The change stamp the record was read with (tb_location.rowVersion).
    int rowVersion = 0;
    QString parentlocationCode;
    QString parentName;
    QString lockName;
    QString VirtualName;
    QString stateName;
    int iCount = 0; // number of child locations
};
Q_DECLARE_METATYPE(m_location)
