#pragma once

#include "BillDirection.h"

#include <QString>

// The one place that sums a goods item's stock from the bill lines: the
// stock report's rebuild, the live balance of a goods item and the goods
// sums of the reports all take their SQL from here, so that they count the
// same lines the same way.
//
// A line counts when its bill is audited (ispass = 1) and carries one of the
// listed account tags; it adds qty * packQty pieces and qty * weight weight,
// summed exactly as decimals (dec_sum, RegisterReportFunctions).
namespace StockSums
{

// Which bills count beside the audit flag and the account tags.
struct Scope {
    QString accountList;    // "2,5,0"; a list of other than numbers throws DbError
    QString headConditions; // more conditions on the head (alias "a"), " and (...)" pieces, or empty
};

// "SELECT d.goodsId, SUM(...) AS pieces, SUM(...) AS weight FROM ... GROUP BY
// d.goodsId": the sums of every goods item that has a counted line. The
// counted heads are read first and their lines through the line index, so a
// narrow choice of bills reads only their lines.
QString PerGoods(const BillDirectionFacts& t, const Scope& scope);

// A scalar subquery: the pieces of the goods item whose id is the SQL
// expression goodsId, read through the lines' goods index (Null when no line
// counts).
QString PiecesOf(const BillDirectionFacts& t, const Scope& scope, const QString& goodsId);
// The same for the weight.
QString WeightOf(const BillDirectionFacts& t, const Scope& scope, const QString& goodsId);

// The stored forms of the sums, written by the report number formatter
// (rpt_num, RegisterReportFunctions): "#0.0##" for pieces, "#0.0#" for
// weights; no lines (Null) and a sum that rounds to zero give "0".
QString PiecesText(const QString& sum);
QString WeightText(const QString& sum);

// The quantity in default units as stored: pieces (an SQL expression, Null
// for no line) divided by the pieces of the default unit (packQty), in the
// form of PiecesText. The reports differ where the default unit holds 0
// pieces:
enum class DefaultUnitRule {
    // The stock report: 0 default units.
    ZeroForEmptyUnit,
    // The goods sums: no value (Null); none either when the goods item has
    // more than one default unit (defaultUnits is their number).
    NoValueForEmptyUnit,
};
QString DefaultUnitsText(DefaultUnitRule rule, const QString& pieces, const QString& packQty,
                         const QString& defaultUnits = {});

// The names of the three sum columns of a direction's goods sums and of the
// stock report: total<word>Qty, total<word>DefaultQty and total<word>Weight,
// where the word is the direction's sumWord, or "Blance" for the stock
// report's balances.
struct SumColumns {
    QString qty;
    QString defaultQty;
    QString weight;

    static SumColumns Of(const QString& word);
    static SumColumns Of(const BillDirectionFacts& direction) { return Of(direction.sumWord); }
    static SumColumns Balance() { return Of(QStringLiteral("Blance")); }
};

} // namespace StockSums
