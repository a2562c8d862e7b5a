#pragma once

#include "DataAccess.h"
#include "RecordSet.h"
#include "m_DBresult.h"

#include <QList>
#include <QString>
#include <QStringList>

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
    // The id of the group of that name; 0 when there is none.
    static int IdOfName(const QString& str_Name);
    // The menu nodes (tb_sysmenu, stopped ones left out) as a tree source for
    // the tree helper (columns funCode, displaytext, icon, parentid, type,
    // orderBy), ucheck 1 where the group is granted the node; a grant stored
    // twice still makes one node.
    static QString GrantTreeSource(int int_Id);
    // Every group (id, uname, uremark), by id.
    static RecordSetPtr List();
    // Stores a new group (int_Id 0 or below) under the next free id, written
    // back into int_Id, or renames a stored one, in one write transaction. A
    // group that is gone is "当前记录不存在!".
    m_DBresult Save(int& int_Id, const QString& str_Name, const QString& str_Remark);
    // Replaces the group's grants by the menu nodes nodeCodes, all or none.
    m_DBresult SaveGrants(int int_Id, const QStringList& nodeCodes);
};
