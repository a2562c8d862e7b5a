#include "m_user.h"

#include "RecordSet.h"

m_user ReadUserRow(const RecordSet& rs, int row)
{
    m_user u;
    u.id = rs.value(row, QStringLiteral("id")).toInt();
    u.user = rs.text(row, QStringLiteral("user"));
    u.pw = rs.text(row, QStringLiteral("pw"));
    u.usex = rs.text(row, QStringLiteral("usex"));
    u.isStart = rs.value(row, QStringLiteral("isStart")).toInt() != 0;
    u.dictionaryId = rs.value(row, QStringLiteral("dictionaryId")).toInt();
    u.department = rs.text(row, QStringLiteral("department"));
    return u;
}
