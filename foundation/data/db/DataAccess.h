#pragma once

#include "BillDirection.h"
#include "KeyValue.h"
#include "RecordSet.h"
#include "m_condition.h"
#include "m_recordSet.h"
#include "sqlHelper.h"

#include <QList>
#include <QSet>
#include <QString>
#include <functional>
#include <type_traits>

// Query patterns the data classes share. The runners among them are hidden
// from the window libraries, as in sqlHelper.h.

#ifndef WMS_WINDOW_LAYER
// The rows of selectFrom (a select list with its from clause) that meet the
// conditions (their keys read from fields), with the condition kept for
// totals, export and printing; tail follows the conditions (an order by).
// Database errors pass to the caller.
m_recordSet SelectForConditions(const QString& selectFrom, const m_conditions& conditions,
                                const SearchFields& fields, const QString& tail = {});

// The first column of the first row as a whole number; 0 when there is no row.
int ScalarInt(const QString& sql, const ParamMap& params = {});

// Whether every id of ids names a row of table (an id below 1 names none),
// asked in one statement however many ids there are.
bool AllStored(const QString& table, const QSet<int>& ids);

// The rows of a tree source (a table name or a derived table, the program's
// own text) whose parentid is parentId, in their orderBy order.
RecordSetPtr ReadTreeLevel(const QString& source, int parentId);
#endif

// Reads one level of a tree for the tree helper: the rows whose parentid is
// parentId, in their order. The data class of the tree's records gives it.
using TreeLevelReader = std::function<RecordSetPtr(int parentId)>;

// The refusal of a save whose record another workstation has changed (or
// deleted and stored anew) since the window loaded it: nothing is written,
// and the window's copy is to be opened again.
inline const QString kRecordChangedText = QStringLiteral("当前记录已被其他用户修改,请重新打开后再保存!");

#ifndef WMS_WINDOW_LAYER
// Runs a statement that must change a row; none changed (the record is gone)
// throws DbError(missingText).
void ExecuteChangingRow(const QString& sql, const ParamMap& params,
                        const QString& missingText = QStringLiteral("当前记录不存在!"));

// Takes count new ids of table inside the current write transaction and
// answers the first; the others follow it. A table with a sequence
// (tb_sequence) never hands out an id twice, not even that of a row deleted
// since: the sequence moves past every id taken and every id stored. A table
// whose sequence row is missing gets one, started at its largest stored id.
int TakeIds(const QString& table, int count = 1);

// The change stamp of a record (its rowVersion) as stored; -1 when the row is gone.
int StoredVersion(const QString& table, int id);
// For a write inside its transaction: throws DbError(missingText) when the row
// id of table is gone and DbError(kRecordChangedText) when its change stamp is
// no longer version, the one the window loaded.
void RequireUnchanged(const QString& table, int id, int version,
                      const QString& missingText = QStringLiteral("当前记录不存在!"));
// For a write inside its transaction: sets the columns of assignments
// ("a=@a,b=@b") on the row @id of table, refused as RequireUnchanged refuses
// when the row is gone or its stamp is no longer @rowVersion, and moves the
// stamp on. params hold @id, @rowVersion and the assignments' values.
void UpdateUnchanged(const QString& table, const QString& assignments, const ParamMap& params,
                     const QString& missingText = QStringLiteral("当前记录不存在!"));
// The write of UpdateUnchanged alone, for a save whose checks compared the
// stamp earlier in the same write transaction: sets the assignments on the
// row @id and moves the stamp on; DbError(missingText) when the row is gone.
void UpdateStamped(const QString& table, const QString& assignments, const ParamMap& params,
                   const QString& missingText = QStringLiteral("当前记录不存在!"));

// Writes a new record under the next id of table (TakeIds), taken in one
// write transaction with write(copy), so that two writers never take the
// same id. The record takes the written copy only when the write holds; a
// failure is thrown as DbError and rolls the write back.
template <class Model, class Write> void InsertWithNextId(const QString& table, Model& record, Write write)
{
    Model added = record;
    TransactionGuard guard;
    added.id = TakeIds(table);
    write(added);
    guard.commit();
    record = added;
}

// The same for a write that answers with its result (RunTrans).
template <class Model, class Write> m_DBresult AddWithNextId(const QString& table, Model& record, Write write)
{
    return RunTrans([&] { InsertWithNextId(table, record, write); });
}

// The first row of a query as a record (read turns the row into one), read
// through the shared record set, which is left closed; a default record when
// no row matches.
template <class Read> auto ReadFirstShared(const QString& sql, const ParamMap& params, Read read)
{
    using Model = std::decay_t<std::invoke_result_t<Read, const RecordSet&>>;
    CloseRs();
    SharedRs = ExecuteSql(sql, params);
    Model m;
    if (SharedRs && !SharedRs->isEmpty())
        m = read(*SharedRs);
    CloseRs();
    return m;
}
#endif

#ifndef WMS_WINDOW_LAYER
// One reference check of a delete: while countSql (a query whose first column
// counts the rows that still use the record) counts a row, the delete is
// refused with the text refusal.
struct RefCheck {
    QString refusal;
    QString countSql;
    ParamMap params;

    // The common check: rows of table whose column holds value.
    static RefCheck Uses(const QString& refusal, const QString& table, const QString& column,
                         const QVariant& value);
    // The check while a bill of direction bills names the record in column
    // of table (one of that direction's tables), refusing with the windows'
    // text "当前" + subject + "在入库表已经建账,不能删除!" (出库表 outbound).
    static RefCheck BillUses(const BillDirectionFacts& bills, const QString& subject, const QString& table,
                             const QString& column, const QVariant& value);
};

// A delete that other rows may forbid. Runs the checks in their order and,
// when none counts a row, deleteRows, all in one write transaction (so nothing
// can take up the record between the check and the delete). The first check
// that counts a row refuses: a failed result with its text and int_Count its
// count, nothing deleted. Any failure of deleteRows (a DbError such as
// "当前记录不存在!") rolls back and answers a failed result with its text and
// int_Count 0. Inside an outer transaction both are thrown on as DbError, as
// RunTrans does, so that the outer work fails as a whole.
m_DBresult DeleteWithRefChecks(const QList<RefCheck>& checks, const std::function<void()>& deleteRows);

// Saves a record as the maintenance windows do: a stored one (id above 0)
// through update(copy), a new one under the next free id of table through
// add(copy). check(copy) runs first in the same write transaction (writers are
// serialised, so no other workstation can store a clashing row between the
// check and the write) and answers the refusal text, or an empty text to go
// on; a refusal writes nothing and is answered. The record takes the written
// copy only when the write holds. Database errors roll back and are thrown as
// DbError.
template <class Model, class Check, class Update, class Add>
QString SaveChecked(const QString& table, Model& record, Check check, Update update, Add add)
{
    Model m = record;
    TransactionGuard guard;
    const QString refusal = check(m);
    if (!refusal.isEmpty())
        return refusal;
    if (m.id > 0)
        update(m);
    else
        InsertWithNextId(table, m, add);
    guard.commit();
    record = m;
    return {};
}

// The first of checks that counts a row (isOK true when none does). A delete
// runs them inside its write (DeleteWithRefChecks); a data class may also ask
// them beforehand to name the refusal before the user is asked to confirm.
RefCheckResult FirstRefusal(const QList<RefCheck>& checks);
#endif

// True when parentId is the record itself or lies below it (parentOf reads a
// record's parent, 0 at the top). Stored parent links that already loop
// without passing through the record count as a cycle too, so the walk ends.
bool IsParentCycle(int id, int parentId, const std::function<int(int)>& parentOf);
