#pragma once

#include <QString>

// The answer of a write or maintenance operation.
class m_DBresult
{
  public:
    int int_Count = 0;
    QString str_MsgBox;  // empty on success, the error text on failure
    QString str_Details; // on a database failure, the database's own text (DbError::details)
    bool isResult = false;
};
