#pragma once

#include "RecordSet.h"
#include "m_condition.h"

#include <QString>

// One query result with its row count and the condition it was made with.
class m_recordSet
{
  public:
    int recordCount = 0;
    RecordSetPtr recordSet;
    // The condition the data class built for the query (GetConditionSql), with
    // its values, so that the window can reuse it for totals, export or printing.
    ConditionSql str_condition;
    QString str_MsgBox;  // empty when the search succeeded
    QString str_Details; // on a database failure, the database's own text (DbError::details)
};
