#include "m_condition.h"

ConditionSql& ConditionSql::operator+=(const ConditionSql& other)
{
    params.Merge(other.params);
    sql += other.sql;
    return *this;
}
