#pragma once

#include <QString>

class RecordSet;

// A user of the program; the logged-in one is held as the global CurrentUser.
class m_user
{
  public:
    int id = 0;
    QString user; // login name
    QString pw;   // password form (GetMD5)
    QString usex; // "男" or "女"
    bool isStart = false;
    int dictionaryId = 0; // department
    QString department;   // department name
};

// The user of one row of v_user (or a query with its columns).
m_user ReadUserRow(const RecordSet& rs, int row = 0);
