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

// The first column of the first row as a whole number; 0 when there is no row.
int ScalarInt(const QString& sql, const ParamMap& params = {});

// Runs a statement that must change a row; none changed (the record is gone)
// throws DbError(missingText).
void ExecuteChangingRow(const QString& sql, const ParamMap& params,
                        const QString& missingText = QStringLiteral("当前记录不存在!"));

// Writes a new record under the next free id of table (max(id)+1), taken in
// one write transaction with write(copy), so that two writers never take the
// same id. The record takes the written copy only when the transaction holds.
template <class Model, class Write> m_DBresult AddWithNextId(const QString& table, Model& record, Write write)
{
    Model added = record;
    const m_DBresult result = RunTrans([&] {
        added.id = GetMaxValue(QStringLiteral("id"), table).toInt() + 1;
        write(added);
    });
    if (result.isResult)
        record = added;
    return result;
}

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
