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

void ExecuteChangingRow(const QString& sql, const ParamMap& params, const QString& missingText)
{
    if (ExecuteParaSql(sql, params) <= 0)
        throw DbError(missingText);
}

int ScalarInt(const QString& sql, const ParamMap& params)
{
    const RecordSetPtr rs = ExecuteSql(sql, params);
    return rs && !rs->isEmpty() ? rs->value(0, 0).toInt() : 0;
}
