#pragma once

#include "KeyValue.h"
#include "RecordSet.h"
#include "ReportFill.h"
#include "ReportFunctions.h"
#include "RowReader.h"
#include "m_DBresult.h"
#include "m_PageInfor.h"
#include "m_recordSet.h"

#include <QDomElement>
#include <QString>
#include <memory>
#include <optional>

// Which columns a page of a report gives: every column of its work table in
// the insert order, or the row of the report's grid (ReportSetup::gridSelect).
enum class ReportRows { Full, Grid };

// The data class of every report. A search fixes its result: the keys of its
// rows in its order go into a TEMP table of the program's connection (so
// another copy of the program never sees or changes them), one position
// each. A page reads the rows of its positions, a re-order sorts the same
// keys anew, and the export and the print read every kept row in the kept
// order; none of them chooses rows again. Reports of bill rows read the rows
// of the kept keys from the bills (a row deleted since the search, or one
// whose bill the logged-in user's department may no longer see, is left out,
// never replaced); the goods sums read them likewise from the goods, a
// page with the sums of its own goods items, a read of every row or an
// order by a sum with the sums of every row written first (ReportSetup); the
// stock report fills its work table at the search and keeps its rows. Each report has its own statements; the
// classes dal_rpt_rkHead ... are this class with their report's setup. A
// report is made from the setup of its kind (BillListSetup, BillDetailSetup,
// GoodsSumSetup, StockSetup), never from SQL of its caller, and keeps the
// conditions of its search itself.
class dal_rpt_Report
{
  public:
    // The report of kind makeSetup for the direction dir.
    dal_rpt_Report(ReportSetup (*makeSetup)(BillDirection), BillDirection dir);
    virtual ~dal_rpt_Report() = default;

    const ReportSetup& setup() const { return *m_setup; }

    // Empties the work table and refills it with every row of the fill, in
    // one transaction; a failure leaves the previous rows and comes back as
    // the result's text. The kept result of the last search stays.
    m_DBresult insert_temp(const ReportFill& fill);

    // The search: chooses the rows of fill that pass the list conditions and
    // keeps them in the page's order, in one transaction. recordCount is
    // their number, recordSet the page page.int_currentPageIndex (brought
    // into 1..pages and written back) of page.int_PageSize rows, str_condition
    // the text of the list conditions (kept with their values for
    // GetDataTable). A failure: recordCount 0, no rows, str_MsgBox the
    // error text, and the previous search's result stays. rows chooses the
    // page's columns.
    m_recordSet GetListForCondition(const ReportFill& fill, const m_conditions& list, m_PageInfor& page,
                                    ReportRows rows = ReportRows::Full);
    // The kept rows sorted anew by the page's order (ties by id), keeping the
    // rows; gives their number, which is the search's: the keys of rows
    // deleted since the search stay, after the others in their kept order,
    // and are left out where the rows are read, as before the re-order.
    int Reorder(const m_PageInfor& page);
    // One page of the kept result in the page's order (re-ordered first when
    // the order is not the kept one); the index is brought into range and
    // written back. The search's conditions are not applied again.
    RecordSetPtr GetPage(m_PageInfor& page, ReportRows rows = ReportRows::Full);
    // Every kept row in the kept order: the export columns or the full list.
    RecordSetPtr GetKeptRows(bool isExportExcel);
    // The same rows read forward one at a time, for an export of any size.
    std::unique_ptr<RowReader> ReadKeptRows(bool isExportExcel);
    // The kept rows that pass the kept search's list conditions as they read
    // now, in orderText (OrderText), or in the kept order when it is empty.
    RecordSetPtr GetDataTable(const QString& orderText, bool isExportExcel);
    // The print rows: every kept row in the kept order, as a "DataRecord"
    // node for the template's detail columns, or a null node without rows.
    QDomElement GetDetailRowNode(const QString& str_templeteName);
    // The number of kept rows; 0 before the first search.
    int KeptCount() const { return m_keptCount; }

    // " order by <str_orderBy> desc, id desc" (asc when not isDesc); ties
    // break by the row id in the same direction; empty without an order.
    static QString OrderText(const m_PageInfor& page);

  protected:
    // The report of setup (the stock report's: dal_rpt_stock).
    explicit dal_rpt_Report(ReportSetup setup);

  private:
    void ensureTable() const;
    // Whether an order or condition text names a column of the sums (ReportSetup::sumsFields).
    bool namesSums(const QString& text) const;
    // Refills the sums table from fill (inside the caller's transaction).
    void fillSums(const ReportFill& fill) const;
    // The sums of every kept row, written once per search before a read of all rows.
    void fixSums();
    QString keysTable() const;
    // The SELECT of the kept rows (rpt_pos, rpt_key and the full columns);
    // with withGone every kept key, a row deleted since with Null columns.
    QString keptRows(bool withGone = false) const;
    // OrderText with the field replaced by its sort key (ReportSetup::sortKeys).
    QString sortOrder(const m_PageInfor& page) const;
    QString keptSql(const QString& select, const QString& tail) const;
    // Fills a new keys table from a SELECT of keys in order and puts it in
    // place of the kept one; gives the number of keys.
    int keepKeys(const QString& keys, const ParamMap& params);

    std::shared_ptr<const ReportSetup> m_setup;
    QString m_keptOrder; // the order text of the kept keys
    int m_keptCount = 0;
    // The list conditions of the kept search, with their values.
    QString m_keptWhere;
    ParamMap m_keptWhereParams;
    // Reports with sums: the fill of the kept search, the rows of its pages
    // with their own sums (ReportSetup::pageRows) with their values, and
    // whether the sums table holds the sums of every row of it.
    std::optional<ReportFill> m_keptFill;
    QString m_keptPageRows;
    ParamMap m_keptPageRowsParams;
    bool m_sumsFixed = false;
};
