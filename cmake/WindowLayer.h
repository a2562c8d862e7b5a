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
#pragma GCC poison QSqlDatabase QSqlQuery QSqlQueryModel QSqlTableModel QSqlDriver
// The SQLite C interface: its handles and the calls that open a database, run
// a statement or hook into one, so that a window source declaring them itself
// (extern "C" int sqlite3_exec(...)) does not compile either.
#pragma GCC poison sqlite3 sqlite3_stmt sqlite3_value sqlite3_context sqlite3_blob sqlite3_backup
#pragma GCC poison sqlite3_open sqlite3_open16 sqlite3_open_v2 sqlite3_close sqlite3_close_v2                \
    sqlite3_db_handle
#pragma GCC poison sqlite3_exec sqlite3_get_table sqlite3_prepare sqlite3_prepare_v2 sqlite3_prepare_v3      \
    sqlite3_prepare16 sqlite3_prepare16_v2 sqlite3_prepare16_v3
#pragma GCC poison sqlite3_step sqlite3_reset sqlite3_finalize sqlite3_clear_bindings sqlite3_next_stmt
#pragma GCC poison sqlite3_bind_blob sqlite3_bind_blob64 sqlite3_bind_double sqlite3_bind_int                \
    sqlite3_bind_int64 sqlite3_bind_null sqlite3_bind_text sqlite3_bind_text16 sqlite3_bind_text64           \
        sqlite3_bind_value sqlite3_bind_pointer sqlite3_bind_zeroblob sqlite3_bind_zeroblob64
#pragma GCC poison sqlite3_column_blob sqlite3_column_double sqlite3_column_int sqlite3_column_int64         \
    sqlite3_column_text sqlite3_column_text16 sqlite3_column_value sqlite3_column_bytes sqlite3_column_count
#pragma GCC poison sqlite3_blob_open sqlite3_blob_write sqlite3_backup_init sqlite3_backup_step
#pragma GCC poison sqlite3_create_function sqlite3_create_function_v2 sqlite3_create_window_function         \
    sqlite3_create_collation sqlite3_create_collation_v2 sqlite3_create_module sqlite3_create_module_v2
#pragma GCC poison sqlite3_set_authorizer sqlite3_commit_hook sqlite3_rollback_hook sqlite3_update_hook      \
    sqlite3_preupdate_hook sqlite3_trace_v2 sqlite3_progress_handler sqlite3_busy_handler
#pragma GCC poison sqlite3_load_extension sqlite3_enable_load_extension sqlite3_db_config                    \
    sqlite3_deserialize sqlite3_serialize sqlite3_wal_checkpoint sqlite3_wal_checkpoint_v2 sqlite3_interrupt
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
