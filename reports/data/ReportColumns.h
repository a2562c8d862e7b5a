#pragma once

#include "BillDirection.h"

#include <QString>
#include <QStringList>

// What the report grids read from their work tables: the row of each report
// (field k lands in grid column k, after the row number) and the expressions
// a column sorts or a keyword searches by.
namespace ReportColumns
{

// A text column ordered as the number it holds.
QString AsNumber(const QString& field);

// The rows of the bill list, the line detail and the goods sums of a direction.
QString BillListRow(BillDirection dir);
QString BillDetailRow(BillDirection dir);
QString GoodsSumRow(BillDirection dir);
// The rows of the goods ledger (stock report).
QString StockRow();

} // namespace ReportColumns
