#pragma once

#include "Decimal.h"
#include "RecordSet.h"
#include "dal_rpt_Report.h"
#include "m_DBresult.h"
#include "m_PageInfor.h"
#include "m_condition.h"
#include "m_recordSet.h"

#include <QString>
#include <QStringList>
#include <optional>

// The stock balance of every goods item, computed from the lines of audited
// inbound and outbound bills of a list of account tags ("3,7,0"), one row per
// goods item with a default packing unit, kept in the work table
// temp_rpt_stock, the report data class of the stock report. The table is a TEMP table of the program's
// connection, so two copies of the program on one database never see or empty each other's rows; it lives
// until the connection closes and is made again on first use.
//
// Stored forms: the six sums are texts "#0.0##" (pieces, default units) and
// "#0.0#" (weights), a sum over no line or one that rounds to zero is "0";
// the three balances are the plain differences of the stored sums, rounded to
// 3 (pieces, default units) or 2 (weights) places ("90", "9.75", "-0.5", "0").
// A default unit holding 0 pieces gives 0 default units.
class dal_rpt_stock : public dal_rpt_Report
{
  public:
    dal_rpt_stock();

    // The 21 columns of the work table, in the order the rebuild fills them.
    static const QStringList& Columns();
    // The 17 columns of the Excel export, in the export's own order.
    static const QStringList& ExportColumns();
    // What a column sorts by: the totals, kept as text, sort as numbers.
    // Throws DbError for a field that is no column of the table.
    static QString OrderExpression(const QString& field);
    // Its list conditions name the goods type's name, a keyword in code,
    // name, pinyin initials, description and goods type, and the pieces
    // balance (GoodsListFields).

    // Rebuilds the table for the account list in one transaction: every row
    // or, on failure, the previous rows untouched and the error text.
    m_DBresult insert_temp_rpt_stock(const QString& str_JoinAccountTypeId);

    // Rebuilds, then lists (dal_rpt_Report::GetListForCondition): the count of
    // the rows the conditions keep and the page objM_PageInfor points at.
    using dal_rpt_Report::GetListForCondition;
    m_recordSet GetListForCondition(const m_conditions& ilstPara, const QString& JoinAccountTypeId,
                                    m_PageInfor& objM_PageInfor, ReportRows rows = ReportRows::Full);
    // The number of rows of the last rebuild the conditions keep.
    int GetCount(const m_conditions& ilstPara = {});

    // The row of one goods item as the last rebuild left it, or no row.
    RecordSetPtr GetStockQtyForGoodCode(const QString& str_JoinAccountTypeId, int int_goodsId);

    // The live balance in pieces of one goods item (what totalBlanceQty of a
    // rebuild would hold now): audited lines of the account list only, each
    // direction's exact sum rounded to 3 places, then their difference; none
    // when the goods item has no default packing unit (it would have no
    // row). Reads the bills, not the work table.
    std::optional<Decimal> GetLiveStock(const QString& str_JoinAccountTypeId, int int_goodsId);
};

// The work table of the stock report and the statement that rebuilds it.
ReportSetup StockSetup();
