#pragma once

#include <QString>

// One schedule entry (a row of tb_events).
class m_events
{
  public:
    int id = 0;
    QString eventContent;
    QString createTime; // the entry's start, "yyyy-MM-dd HH:mm:ss"
    int createUserId = 0;
    bool isstart = false;
    QString flgType; // "一般", "重要" or "非常重要"
};
