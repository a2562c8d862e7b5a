#pragma once

#include <QString>

// The six kinds of dictionary item (tb_dictionary.utype); each is a tree of its own.
namespace DictionaryType
{
inline const QString goodsType = QStringLiteral("goodsType");
inline const QString department = QStringLiteral("department");
inline const QString importType = QStringLiteral("importType");
inline const QString exportType = QStringLiteral("exportType");
inline const QString accountType = QStringLiteral("accountType");
inline const QString customerType = QStringLiteral("customerType");
} // namespace DictionaryType

// One dictionary item as v_dictionary shows it.
class m_dictionary
{
  public:
    int id = 0;
    QString utype;
    QString uname;
    // Kept 32 bits wide, so that items above id 32767 can be parents too.
    int parentId = 0;
    QString parentName; // view only
    int orderby = 0;
    QString remark;
    int isSystemSet = 0;
    int isstart = 0;
    // The change stamp the record was read with (tb_dictionary.rowVersion).
    int rowVersion = 0;
    int iCount = 0;    // view only: the number of children
    QString startName; // view only
};
