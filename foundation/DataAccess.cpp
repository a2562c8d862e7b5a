#include "DataAccess.h"

m_recordSet SelectForConditions(const QString& selectFrom, const m_conditions& conditions,
                                const QString& tail)
{
    m_recordSet result;
    result.str_condition = GetConditionSql(conditions);
    result.recordSet =
        ExecuteSql(selectFrom + QStringLiteral(" where 1=1 ") + result.str_condition.sql + tail,
                   result.str_condition.params);
    result.recordCount = result.recordSet ? result.recordSet->RecordCount() : 0;
    return result;
}
