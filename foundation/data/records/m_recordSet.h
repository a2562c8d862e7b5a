#pragma once

#include "RecordSet.h"

#include <QString>

// One query result with its row count and the condition it was made with.
class m_recordSet
{
  public:
    int recordCount = 0;
    RecordSetPtr recordSet;
    // The text of the condition the data class built for the query
    // (GetConditionSql; its values are bound, not in the text). Empty without
    // a condition. The data class keeps what it reads again itself.
    QString str_condition;
    QString str_MsgBox;  // empty when the search succeeded
    QString str_Details; // on a database failure, the database's own text (DbError::details)
};
