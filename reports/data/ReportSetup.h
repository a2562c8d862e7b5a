#pragma once

#include "BillSetup.h"
#include "RecordSet.h"
#include "ReportFill.h"
#include "m_condition.h"

#include <QList>
#include <QPair>
#include <QString>
#include <functional>
#include <memory>

// Inbound and outbound reports are one set of classes configured by the
// direction; what differs on purpose is read from the bills' own direction
// setup (BillSetup).

// The work table of one report and the statements of its rows.
//
// A search fixes its result: the keys of its rows in its order, kept in a
// TEMP table (pos, id). Pages, a re-order, the export and the print read the
// rows of those keys. A report of bill rows (searchRows set) reads them from
// the bills, so a row shows its stored values of the moment and a row
// deleted since the search is left out. The goods sums are read the same way
// from the goods: a page reads the sums of its own goods items from their
// lines when it is read (pageRows); what needs the sums of every row (a
// list condition or an order on a sum, the export, the print) has them
// written into the sums table first (sumsFill), once per search, and reads
// them there, as do the pages after it. The stock report fills its work
// table at the search and keys that table's rows, so it shows the balances
// of the search.
struct ReportSetup {
    QString workTable;     // a TEMP table of the connection, e.g. "temp_rpt_rkHead"
    QString columnDefs;    // its columns with their types, in insert order
    QString fullColumns;   // the insert order
    QString exportColumns; // the export order
    QString gridSelect;    // "select 0,id,...": the report grid's row (ReportColumns)
    // The INSERT ... SELECT that refills the emptied work table.
    std::function<ConditionSql(const ReportFill&)> fillStatement;
    // Reports of bill rows: the SELECT of every row (fullColumns, named so)
    // of the bills the fill chooses.
    std::function<ConditionSql(const ReportFill&)> searchRows;
    // Reports of bill rows: "SELECT k.pos AS rpt_pos, k.id AS rpt_key, <fullColumns>
    // FROM <keys> AS k <join> ...": the rows of the kept keys, without a
    // WHERE; join is "CROSS JOIN" (the rows still stored) or "LEFT JOIN"
    // (every key, a row deleted since with Null columns).
    std::function<QString(const QString& keys, const QString& join)> keptRows;
    // Orders a window gives (str_orderBy, as it writes them) and the column
    // of searchRows and keptRows that orders the rows the same way at less
    // cost.
    QList<QPair<QString, QString>> sortKeys;
    // Reports of bill rows: the account tag of the bill of a kept key (the
    // key "k0.id"). A kept row whose bill the user's department may no
    // longer see (moved to another tag since the search) is left out.
    QString keyAccount;
    // Reports of rows read with their sums (searchRows and keptRows set as
    // well): the TEMP table of the sums of every row, its columns, and the
    // INSERT ... SELECT that refills it from a search's fill: only the rows
    // with counted lines are written, keptRows reads the others' sums as no
    // lines. The columns the sums give (sumsFields): a list condition or an
    // order that names one reads the sums table.
    QString sumsTable;
    QString sumsColumnDefs;
    std::function<ConditionSql(const ReportFill&)> sumsFill;
    QStringList sumsFields;
    // keptRows with each row's sums read from its own lines for the fill, for
    // the few rows of a page (written in the fill's form, without the sums table).
    std::function<ConditionSql(const QString& keys, const ReportFill&)> pageRows;
};

// Conditions as SQL text with bound values, like GetConditionSql, except that
// a "like" value is matched as typed: its "%", "_" and "\" are literal.
ConditionSql ReportConditionSql(const m_conditions& conditions, const QString& prefix);
