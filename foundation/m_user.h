#pragma once

#include <QString>

// A user of the program; the logged-in one is held as the global CurrentUser.
class m_user
{
public:
    int id = 0;
    QString user;       // login name
    QString pw;         // password form (GetMD5)
    QString usex;       // "男" or "女"
    bool isStart = false;
    int dictionaryId = 0; // department
    QString department;   // department name
};
