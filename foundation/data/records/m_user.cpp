#include "m_user.h"

#include "RecordSet.h"

m_user ReadUserRow(const RecordSet& rs, int row)
{
    m_user u;
    u.id = rs.integer(row, QStringLiteral("id"));
    u.user = rs.text(row, QStringLiteral("user"));
    u.pw = rs.text(row, QStringLiteral("pw"));
    u.usex = rs.text(row, QStringLiteral("usex"));
    u.isStart = rs.integer(row, QStringLiteral("isStart")) != 0;
    u.dictionaryId = rs.integer(row, QStringLiteral("dictionaryId"));
    u.department = rs.text(row, QStringLiteral("department"));
    return u;
}
