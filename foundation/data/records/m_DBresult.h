#pragma once

#include <QString>

// The answer of a write or maintenance operation.
class m_DBresult
{
  public:
    int int_Count = 0;
    QString str_MsgBox; // empty on success, the error text on failure
    bool isResult = false;
};
