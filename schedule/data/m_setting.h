#pragma once

#include <QString>

// One key/value row of tb_setting.
class m_setting
{
  public:
    int id = 0;
    QString setKey;
    QString setValue;
};
