#pragma once

#include "DataAccess.h"
#include "m_DBresult.h"

#include <QList>
#include <QString>

// Data class of the user groups (tb_Usergrp) and their grants (tb_sysuserfun).
class dal_usergrp
{
  public:
    // What refuses deleting the group: staff (tb_Staff) that still belong to
    // it; inUseText is the refusal's text.
    static QList<RefCheck> DeleteChecks(int int_Id, const QString& inUseText);
    // Removes the group and its grants in one transaction. Refused (failed
    // result with inUseText) while staff belong to it; a group that is gone
    // is "当前记录不存在!".
    m_DBresult Delete(int int_Id, const QString& inUseText);
};
