#pragma once

#include "DataAccess.h"
#include "m_DBresult.h"

#include <QList>
#include <QString>
#include <QVariant>

// The rights a department holds, of three kinds (kind tags "funType": the
// functions of tb_sys_fun; "locationType": the usable locations;
// "accountType": the account tags of the dictionary).
namespace DepartmentRights
{

// The rows offered for a kind, level by level for the tree helper (columns
// id, funCode, displaytext, parentid, icon, orderby), ucheck 1 where
// department departmentId holds the right. A right held twice still shows once.
TreeLevelReader Tree(const QString& kind, int departmentId);

// Whether a kind's codes are texts (function codes) rather than ids.
bool HasTextCodes(const QString& kind);

// Replaces what the department holds of one kind by codes, in one write
// transaction: all of it, or nothing.
m_DBresult Save(const QString& kind, int departmentId, const QList<QVariant>& codes);

} // namespace DepartmentRights
