#pragma once

// The declarations behind "#ifndef WMS_WINDOW_LAYER" run statements and
// transactions or hand out the connection: the window libraries do not see
// them (cmake/WindowLayer.h), since windows go through the data classes.

#include "DbError.h"
#include "KeyValue.h"
#include "RecordSet.h"
#include "RefCheckResult.h"
#include "m_DBresult.h"
#include "m_condition.h"
#include "m_recordSet.h"

#ifndef WMS_WINDOW_LAYER
#include <QSqlDatabase>
#include <QSqlQuery>
struct sqlite3_stmt;
#endif
#include <QString>
#include <functional>

// ---- program folder, configuration and the shared connection ----

// The program folder (the executable's folder), ending with "/".
QString GetAppPath();
// Tests (and the database tool) point the program folder elsewhere; empty restores it.
void SetAppPathOverride(const QString& folder);

// One value of an INI file ("" when the key or the file is missing): section
// and key compare case-insensitively, the value is trimmed, the file is read
// in code page 936 and at most 126 characters are returned.
QString ReadIniValue(const QString& section, const QString& key, const QString& fileName);

// The database folder from "linkDB.ini". When no database file is found there
// at start, the program says so and ends; later in the session the opening
// fails with a DbError instead, and the program goes on. A missing file is
// never created.
QString GetDBPath();
// The full file name of the database the shared connection uses (or would use).
QString CurrentDbFile();
// Start phase: a missing database ends the program. Set before the first
// read; it lasts until the database has been opened once.
void SetEndProgramOnMissingDb(bool on);
// What "end the program" does; tests replace it. The default calls std::exit(0).
void SetEndProgramHook(std::function<void()> hook);

// How long a statement waits for another workstation's lock before it fails
// (in milliseconds; 30 s by default). Takes effect when the connection opens.
void SetBusyTimeout(int milliseconds);
int BusyTimeout();
// Called with true when a statement has waited for another workstation's
// lock longer than a moment, and with false once that wait is over (the
// statement ran or failed). The window layer shows its busy cursor there.
void SetLockWaitHook(std::function<void(bool waiting)> hook);
// Called about every 50 ms during such a long wait, from inside the waiting
// statement: the window layer keeps its windows drawn there. It must run no
// statement and take no user input.
void SetLockWaitPoll(std::function<void()> poll);

void SetConnString();
QString ConnString();
// Opens the shared connection when it is closed; the arguments are ignored.
// An older database is brought up to the program's schema version first; a
// newer one is refused untouched (at start the program says so and ends,
// later a DbError).
void OpenConn(const QString& userName = {}, const QString& password = {});
void CloseConn();
void CloseRs();
void CloseRs2();
bool IsConnOpen();
#ifndef WMS_WINDOW_LAYER
QSqlDatabase SharedConn();

// The shared recordset slots of the data classes and the calendar windows.
extern RecordSetPtr SharedRs;
extern RecordSetPtr CalendarRs;
#endif

#ifndef WMS_WINDOW_LAYER
// ---- statements ----

// A statement that yields rows (a query, a PRAGMA that answers) gives them;
// any other statement runs and gives nullptr. Throws DbError on failure.
RecordSetPtr ExecuteSql(const QString& sql);
// The same with "@name" placeholders bound to params.
RecordSetPtr ExecuteSql(const QString& sql, const ParamMap& params);
// Runs a query and gives the driver's forward-only cursor over its rows, so a
// whole report is read one row at a time and never held (RowReader wraps it).
// Throws DbError on failure and for a statement that is not a query.
QSqlQuery OpenForwardQuery(const QString& sql, const ParamMap& params = {});
// Runs one statement with its placeholders bound; answers the rows changed.
int ExecuteParaSql(const QString& sql, const ParamMap& params);
// The "@name" placeholders of a statement in text order (quoted text aside).
QStringList PlaceholderNames(const QString& sql);
// One write statement run many times inside the current transaction (a
// bill's lines): its text is read and prepared once, each run binds the
// values in the order of the "@name" placeholders (names()). Values are
// bound as ExecuteParaSql binds them. Throws DbError on failure.
class RepeatedWrite
{
  public:
    explicit RepeatedWrite(const QString& sql);
    ~RepeatedWrite();
    RepeatedWrite(const RepeatedWrite&) = delete;
    RepeatedWrite& operator=(const RepeatedWrite&) = delete;
    const QStringList& names() const { return m_names; }
    // Answers the rows changed.
    int Run(const QVariantList& values);

    // The same run with its values given one by one, by position (from 0)
    // in the order of names(), without a value list; Run() then writes them.
    // A text is never Null: a null text is bound as the empty text. A text
    // is read where it lies, at Run(): it must live until then.
    void Bind(int position, int value);
    void Bind(int position, double value);
    void Bind(int position, const QString& value);
    int Run();

  private:
    void bind(int position, const QVariant& value);
    void bound(int rc);
    QString m_sql;
    QSqlQuery m_query;
    quint64 m_connection = 0;
    sqlite3_stmt* m_stmt = nullptr;
    QStringList m_names;
    int m_bindFailure = 0;
};
// Runs a batch of statements in one transaction: every statement or none.
m_DBresult ExecuteTrans(const KeyValue& batch);
// A write transaction for the scope it lives in: begins one (or a savepoint
// inside an outer one), commits on commit(), rolls back when the scope is left
// without it, whatever ends the scope (an exception included).
class TransactionGuard
{
  public:
    // Writes: the database file's write lock is taken at once, so the
    // transaction never has to upgrade a read lock while another workstation
    // writes. WorkTables: reads of the database and writes of this
    // connection's TEMP tables only; no write lock is taken on the file, so
    // other workstations' saves go on meanwhile.
    enum class Kind { Writes, WorkTables };
    explicit TransactionGuard(Kind kind = Kind::Writes);
    ~TransactionGuard();
    TransactionGuard(const TransactionGuard&) = delete;
    TransactionGuard& operator=(const TransactionGuard&) = delete;
    void commit();

  private:
    int m_depth = 0;
    bool m_done = false;
};

// Runs body inside one write transaction (ids and serials taken inside it are
// safe). Any exception rolls everything back and becomes the failed result
// with its text. Nested calls join the outer transaction; there a failure is
// thrown on as DbError, so that the outer transaction fails as a whole.
m_DBresult RunTrans(const std::function<void()>& body);
// RunTrans for a body that reads the database and writes TEMP tables only (a
// report's work table): one consistent read, no write lock on the file.
m_DBresult RunWorkTableTrans(const std::function<void()>& body);
bool InTransaction();
// Runs hook each time this connection is about to begin a write transaction
// (an outer one, not a savepoint inside it), before it holds the write lock:
// the last moment another connection can still write before the work inside
// sees the database. Tests put the other workstation's writes there; an
// empty hook removes it.
void SetBeforeWriteTransactionHook(std::function<void()> hook);
#endif

// The SQL text of a statement key ("prefix|sql" or "sql").
QString GetSqlFromKey(const QString& key);
// The text with each placeholder written as a literal; for display and logs
// only: the runners bind values instead.
QString ReplacePara(const QString& sql, const ParamMap* params);
QString FormatParaValue(const QVariant& value);
QString ReplaceQuote(const QString& text);

// ---- program-made SQL pieces ----

// A table, view or column name ("tb_user", "a.goodsCode"); throws DbError otherwise.
void CheckSqlName(const QString& name);
// One text of the named columns, for a keyword that may span them: a missing
// value counts as empty ("COALESCE(a,'')||COALESCE(b,'')").
QString JoinedText(const QStringList& columns);

// ---- search conditions, lookups and reference checks ----

#ifndef WMS_WINDOW_LAYER
// " and (field op value)" for each condition in order, the field being the
// column fields gives for the condition's key; empty for no condition. A key
// fields does not map is refused (DbError). The bound values are named
// prefix + 1, prefix + 2, ... ("@c1", "@c2"); give another prefix when two
// condition sets meet in one statement.
ConditionSql GetConditionSql(const m_conditions& conditions, const SearchFields& fields,
                             const QString& prefix = QStringLiteral("@c"));
// The column fields gives for key; throws DbError when it gives none.
QString SearchField(const SearchFields& fields, SearchKey key);
// One condition on field (the data class's own column); its value (if bound) is named paramName.
ConditionSql GetConditionItem(const QString& field, const m_condition& condition, const QString& paramName);

// The field of the first row of "select field from table where 1=1 " + where;
// the empty text when there is no row or the value is Null or blank.
QVariant GetFieldValue(const QString& field, const QString& table, const QString& where = {},
                       const ParamMap& params = {});
QVariant GetFieldValue(const QString& field, const QString& table, const ConditionSql& where);
// The largest value of field; the empty text for no row (so toInt() + 1 gives 1).
// Inside RunTrans when the value becomes a new id or serial.
QVariant GetMaxValue(const QString& field, const QString& table, const QString& where = {},
                     const ParamMap& params = {});
QVariant GetMaxValue(const QString& field, const QString& table, const ConditionSql& where);
// The number of rows whose field (a plain column name) is not Null.
double GetCountValue(const QString& field, const QString& table, const QString& where = {},
                     const ParamMap& params = {});
double GetCountValue(const QString& field, const QString& table, const ConditionSql& where);

// Runs the reference checks of a delete. Each entry is one check: key the
// check's SQL ("prefix|sql" or "sql"), value its ParamMap; a check selects
// the refusal text as strMsg and Count(*) as fkCount. The first check in the
// batch's order that counts a row decides the answer.
RefCheckResult CheckDeleteRef(const KeyValue& batch);
#endif

// ---- result sets and paging ----

#ifndef WMS_WINDOW_LAYER
// Runs a query with the row count of countSql (normally the same query, or
// the unpaged one of a page). A text that is not a query is not run: the
// answer is then empty.
m_recordSet GetRecordSetInfo(const QString& sql, const QString& countSql, const ParamMap& params = {});
// The number of rows sql yields (COUNT(*) over it); 0 for a text that is not a query.
int GetRecordCount(const QString& sql, const ParamMap& params = {});
#endif
// " order by column dir, id dir" (SysVar.acc_OrderBy breaks ties in the same
// direction); empty when orderField is empty.
QString GetOrderBySql(const QString& orderField, bool isDesc);
// The same with the tie-break key given: one column or several separated by
// ","; the columns of the key that are the order field itself are left out.
// An empty key breaks ties as above. orderField is a column, or a column of
// numbers kept as text read as numbers ("CAST(totalQty AS REAL)"); anything
// else throws DbError.
QString GetOrderBySql(const QString& orderField, bool isDesc, const QString& tieBreak);

// One page of a query: which page, how it is ordered, and the number of rows
// of the whole. A search counts its rows once; the pages after it pass the
// count back so the whole is not counted again.
struct PageRequest {
    int pageIndex = 1;  // from 1; brought into 1..pages (0 when there are no rows)
    int pageSize = 20;  // below 1 counts as 1
    QString orderField; // a column or an expression; empty: the tie-break key
    bool isDesc = false;
    // The key that makes the order total, for a query without a unique "id"
    // column (a grouped or joined query): its columns, separated by ",".
    // Empty: "id" (or SysVar.acc_OrderBy).
    QString tieBreak;
    int recordCount = -1; // the rows of the whole; below 0: counted and written back
};

#ifndef WMS_WINDOW_LAYER
// SQL that delivers the page of sql that page asks for; page.pageIndex and,
// when it was not known, page.recordCount are written back. params are those
// of sql; run the answer with them.
QString GetPageSql(const QString& sql, PageRequest& page, const ParamMap& params = {});
// SQL that delivers page pageIndex (from 1) of sql with pageSize rows, ordered
// by orderField and then by id, counting the whole. pageIndex is brought into
// 1..pages and written back (0 when there are no rows); a page size below 1
// counts as 1. params are those of sql; run the answer with them.
QString GetPageSql(const QString& sql, int& pageIndex, int pageSize, const QString& orderField, bool isDesc,
                   const ParamMap& params = {});
#endif
