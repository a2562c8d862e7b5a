#pragma once

#include "BillDirection.h"
#include "RecordSet.h"
#include "m_condition.h"

#include <QString>
#include <functional>
#include <memory>

// Inbound and outbound reports are one set of classes configured by the
// direction; only what differs on purpose is told apart through BillTables.

// The tables and names of one direction's bills, as the reports use them;
// taken from the bills' own direction setup (BillSetup), never written twice.
struct BillTables {
    BillDirection dir;
    QString code;        // "rk" / "ck"
    QString head;        // "tb_rk_head"
    QString detail;      // "tb_rk_detail"
    QString partnerId;   // "supplierId" / "customerId"
    QString partnerName; // "supplierName" / "customerName"
    QString price;       // the price behind the amounts: "inPrice" / "salePrice"
    QString sumWord;     // "Import" / "Export": the sum columns are total<Word>Qty ...
};
const BillTables& Tables(BillDirection dir);

struct BillSetup;
// The bills' own setup of a direction: its window's and its reports' names and texts.
const BillSetup& Setup(BillDirection dir);

// What a search puts into the work table: conditions on the bill head (its
// alias is "a" in every report) and, for the sums, the account-tag id list.
struct ReportFill {
    m_conditions conditions;
    QString accountList; // "12,15,0"; only the goods sums read it
};

// A report whose first order can be read straight from the bills: a search
// in that order counts its rows and reads each page without filling the
// work table, which is filled only when something reads it (another order,
// a list condition, the export, the print). The rows, their order and the
// count are those the filled table would give.
class DirectPages
{
  public:
    virtual ~DirectPages() = default;
    // The order served (m_PageInfor::str_orderBy), in either direction.
    virtual QString order() const = 0;
    // The number of rows the fill would write; what the pages need of it is
    // kept for them.
    virtual int Count(const ReportFill& fill, bool isDesc) = 0;
    // The statement Count runs.
    virtual ConditionSql CountStatement(const ReportFill& fill, bool isDesc) const = 0;
    // The SELECT (of the full column list) that gives the rows offset ..
    // offset + size - 1 of that order, after Count with the same fill and
    // direction; orderText is the order clause of the work table's reads.
    virtual ConditionSql Page(const ReportFill& fill, bool isDesc, const QString& orderText, int offset,
                              int size) = 0;
};

// The work table of one report and the statement that fills it.
struct ReportSetup {
    QString workTable;     // a TEMP table of the connection, e.g. "temp_rpt_rkHead"
    QString columnDefs;    // its columns with their types, in insert order
    QString fullColumns;   // the insert order
    QString exportColumns; // the export order
    // The INSERT ... SELECT that refills the emptied work table.
    std::function<ConditionSql(const ReportFill&)> fillStatement;
    // Set for the reports whose first order is read from the bills.
    std::shared_ptr<DirectPages> direct;
};

// The SQL of the three report kinds, per direction.
ReportSetup BillListSetup(BillDirection dir);
ReportSetup BillDetailSetup(BillDirection dir);
ReportSetup GoodsSumSetup(BillDirection dir);

// Conditions as SQL text with bound values, like GetConditionSql, except that
// a "like" value is matched as typed: its "%", "_" and "\" are literal.
ConditionSql ReportConditionSql(const m_conditions& conditions, const QString& prefix);

// A program-made id list ("12,15,0"): digits and commas only; throws DbError otherwise.
QString CheckIdList(const QString& list);
