#pragma once

#include "KeyValue.h"
#include "RecordSet.h"
#include "m_condition.h"
#include "m_recordSet.h"
#include "sqlHelper.h"

#include <QString>

// Query patterns the data classes share.

// The rows of selectFrom (a select list with its from clause) that meet the
// conditions, with the condition kept for totals, export and printing; tail
// follows the conditions (an order by). Database errors pass to the caller.
m_recordSet SelectForConditions(const QString& selectFrom, const m_conditions& conditions,
                                const QString& tail = {});

// The first row of a query as a record, read through the shared record set,
// which is left closed; a default record when no row matches.
template <class Model>
Model ReadFirstShared(const QString& sql, const ParamMap& params, Model (*read)(const RecordSet&))
{
    CloseRs();
    SharedRs = ExecuteSql(sql, params);
    Model m;
    if (SharedRs && !SharedRs->isEmpty())
        m = read(*SharedRs);
    CloseRs();
    return m;
}
