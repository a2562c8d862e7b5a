#pragma once

#include "m_DBresult.h"
#include "m_events.h"
#include "m_recordSet.h"

#include <QDate>
#include <QDateTime>
#include <QString>

// The schedule entries. Every user sees and changes every entry.
class dal_events
{
  public:
    // Stores a new entry under the next free id, taken in the inserting
    // transaction; obj_Model.id holds it afterwards.
    m_DBresult Add(m_events& obj_Model);
    // The entry with that id; an empty record (id 0) when there is none.
    m_events GetModel(int int_Id);
    // Changes time, subject, importance and the enabled flag; the creator stays.
    // An entry that is gone is a failure ("当前记录不存在!").
    m_DBresult Update(const m_events& obj_Model);
    m_DBresult Delete(int int_Id);
    // str_idJoin: a comma list of ids ("3,7,12").
    m_DBresult DeleteMore(const QString& str_idJoin);
    // One page of the schedule list: the entries of date (when byDate) whose
    // subject holds keyword as typed (when it is not blank), pageSize rows
    // ordered by the list's column orderColumn (0 the id, 1 the importance,
    // 2 the subject, 3 the time; another number counts as the nearest) and
    // then by id. pageIndex (from 1) is brought into 1..pages and written
    // back (0 when there are none); recordCount counts the whole list.
    m_recordSet ListPage(bool byDate, const QDate& date, const QString& keyword, int& pageIndex, int pageSize,
                         int orderColumn, bool isDesc);
};

// The stored text of a start time.
QString EventTimeText(const QDateTime& time);
// A stored start time read back; older texts in other common forms are
// accepted ("yyyy-MM-dd HH:mm", "yyyy/M/d H:mm:ss", a bare date).
QDateTime ParseEventTime(const QString& text);
