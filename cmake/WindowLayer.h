// Read first by every source of a window library (the <subsystem>_ui targets
// and the picker): the compiler is given it with -include.
//
// Windows hand records to data classes and show what those read. They hold no
// connection and run no statement or transaction: the statement runners are
// hidden from them (the "#ifndef WMS_WINDOW_LAYER" parts of sqlHelper.h,
// DataAccess.h and RowReader.h), and their names are poisoned here, so that a
// window source naming one does not compile, whatever it includes or declares
// itself. A window walks the rows a data class reads for it (a RowReader it is
// handed) but cannot open a reader on a query of its own.
#pragma once

#define WMS_WINDOW_LAYER 1

// The connection, queries and the shared record sets.
#pragma GCC poison QSqlDatabase QSqlQuery QSqlQueryModel QSqlTableModel QSqlDriver sqlite3_exec
#pragma GCC poison SharedConn SharedRs CalendarRs
// Statements, readers of a query's rows and transactions.
#pragma GCC poison ExecuteSql ExecuteParaSql OpenForwardQuery OpenRowReader RepeatedWrite ExecuteTrans       \
    RunTrans
#pragma GCC poison RunWorkTableTrans
#pragma GCC poison TransactionGuard InTransaction SetBeforeWriteTransactionHook
// Lookups, ids and the checks of a write.
#pragma GCC poison GetFieldValue GetMaxValue GetCountValue GetRecordCount CheckDeleteRef ScalarInt AllStored
#pragma GCC poison SelectForConditions ExecuteChangingRow InsertWithNextId AddWithNextId ReadFirstShared
#pragma GCC poison DeleteWithRefChecks SaveChecked FirstRefusal RefCheck TakeIds StoredVersion               \
    RequireUnchanged UpdateUnchanged
// The condition builders: their SQL pieces are the data classes' own.
#pragma GCC poison GetConditionSql GetConditionItem ReportConditionSql
// (SelectListOf, which makes the select list a data class may be given in
// place of its own, and ConditionSql, a condition's SQL with its values, are
// poisoned where they are declared: m_condition.h.)
// Pages, tree levels and subtrees, read by the data classes for the windows.
#pragma GCC poison GetRecordSetInfo GetPageSql GetRecordCount ReadTreeLevel GetStrSql GetChildIds
