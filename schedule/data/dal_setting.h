#pragma once

#include "m_DBresult.h"
#include "m_setting.h"

#include <QString>

class dal_setting
{
  public:
    // The row of that key; an empty record when there is none.
    m_setting GetModel(const QString& strKey);
    // Stores the value under the record's key, adding the row when it is missing.
    m_DBresult Update(const m_setting& obj_Model);
};
