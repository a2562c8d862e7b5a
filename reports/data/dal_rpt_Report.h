#pragma once

#include "RecordSet.h"
#include "ReportFunctions.h"
#include "ReportSetup.h"
#include "RowReader.h"
#include "m_DBresult.h"
#include "m_PageInfor.h"
#include "m_recordSet.h"

#include <QDomElement>
#include <QString>
#include <memory>
#include <optional>

// The data class of every report: it owns the report's work table, a TEMP
// table of the program's connection (so another copy of the program never
// empties or changes it), and reads it page by page. Each report fills it
// with its own statement (ReportSetup); the classes dal_rpt_rkHead ... are
// this class with their report's statement.
//
// A search rebuilds the work table and counts its selected rows once; pages,
// the export and the print then read the table as that search left it. A
// search of a report with direct pages (ReportSetup::direct), in their order
// and without list conditions, counts and pages from the bills instead and
// leaves the filling of the table to the first read that needs it (a page in
// another order, the export, the print), which fills it with that search's
// conditions.
class dal_rpt_Report
{
  public:
    explicit dal_rpt_Report(ReportSetup setup);
    virtual ~dal_rpt_Report() = default;

    const ReportSetup& setup() const { return m_setup; }

    // Empties the work table and refills it from the bills, in one transaction;
    // a failure leaves the previous rows and comes back as the result's text.
    m_DBresult insert_temp(const ReportFill& fill);

    // Rebuilds with fill, then selects with the list conditions: recordCount is
    // the number of selected rows, recordSet the page page.int_currentPageIndex
    // (brought into 1..pages and written back) of page.int_PageSize rows in the
    // page's order, str_condition the list conditions for the later reads.
    // A failed rebuild: recordCount 0, no rows, str_MsgBox the error text.
    // str_sql is the select list ("select 0,id,..."); empty: the full list.
    m_recordSet GetListForCondition(const ReportFill& fill, const m_conditions& list, m_PageInfor& page,
                                    const QString& str_sql = {});
    // One page of the last rebuild's rows (the index brought into range and written back).
    RecordSetPtr GetPage(const ConditionSql& condition, m_PageInfor& page, const QString& str_sql = {});
    // Every selected row of the last rebuild in the given order text
    // (OrderText), the export columns or the full list.
    RecordSetPtr GetDataTable(const ConditionSql& condition, const QString& orderText, bool isExportExcel);
    // The same rows read forward one at a time, for an export of any size.
    std::unique_ptr<RowReader> ReadDataTable(const ConditionSql& condition, const QString& orderText,
                                             bool isExportExcel);
    // The print rows of the last rebuild in the page's order: a "DataRecord"
    // node for the template's detail columns, or a null node when no row is selected.
    QDomElement GetDetailRowNode(const ConditionSql& condition, const m_PageInfor* page,
                                 const QString& str_templeteName);

    // " order by <str_orderBy> desc, id desc" (asc when not isDesc); ties
    // break by the row id in the same direction; empty without an order.
    static QString OrderText(const m_PageInfor& page);

  private:
    void ensureTable() const;
    // Fills the table for the last search when it was left unfilled; a
    // failure throws DbError with its text.
    void ensureFilled();
    bool readsDirect(const ConditionSql& condition, const m_PageInfor& page) const;
    RecordSetPtr directPage(m_PageInfor& page, const QString& str_sql, int size);
    QString selectFrom(const QString& str_sql) const;
    QString dataTableSql(const ConditionSql& condition, const QString& orderText, bool isExportExcel) const;

    ReportSetup m_setup;
    std::optional<ReportFill> m_unfilled; // the last search, when its rows are not in the table yet
};
