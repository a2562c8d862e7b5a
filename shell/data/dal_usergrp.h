#pragma once

#include "DataAccess.h"
#include "RecordSet.h"
#include "m_DBresult.h"

#include <QString>
#include <QStringList>

// Data class of the user groups (tb_Usergrp) and their grants (tb_sysuserfun).
class dal_usergrp
{
  public:
    // Why the group cannot be deleted now: inUseText while staff (tb_Staff)
    // still belong to it, else an empty text. For naming the refusal before
    // the user confirms; Delete checks again inside its write.
    static QString DeleteRefusal(int int_Id, const QString& inUseText);
    // Removes the group and its grants in one transaction, which first checks
    // that no staff belong to it: while some do, a failed result with
    // inUseText and int_Count the staff counted, nothing deleted. A group that
    // is gone is "当前记录不存在!" (int_Count 0).
    m_DBresult Delete(int int_Id, const QString& inUseText);
    // The id of the group of that name; 0 when there is none.
    static int IdOfName(const QString& str_Name);
    // The menu nodes (tb_sysmenu, stopped ones left out) level by level for
    // the tree helper (columns id, funCode, displaytext, icon, parentid, type,
    // orderBy), ucheck 1 where the group is granted the node; a grant stored
    // twice still makes one node.
    static TreeLevelReader GrantTree(int int_Id);
    // Every group (id, uname, uremark), by id.
    static RecordSetPtr List();
    // Stores a new group (int_Id 0 or below) under the next free id, written
    // back into int_Id, or renames a stored one, in one write transaction. A
    // group that is gone is "当前记录不存在!".
    m_DBresult Save(int& int_Id, const QString& str_Name, const QString& str_Remark);
    // Replaces the group's grants by the menu nodes nodeCodes, all or none.
    m_DBresult SaveGrants(int int_Id, const QStringList& nodeCodes);
};
