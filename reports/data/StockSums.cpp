#include "StockSums.h"

#include "ReportSetup.h"

namespace StockSums
{

namespace
{
const QString kSums =
    QStringLiteral("dec_sum(d.qty, d.packQty) AS pieces, dec_sum(d.qty, d.weight) AS weight");

// The account list is program-made ("2,5,0"); it is checked and written
// into the text.
QString countedHeads(const Scope& scope)
{
    return QStringLiteral("a.ispass = 1 AND a.accountId IN (") + CheckIdList(scope.accountList) +
           QStringLiteral(")") + scope.headConditions;
}
} // namespace

QString PerGoods(const BillDirectionFacts& t, const Scope& scope)
{
    return QStringLiteral("SELECT d.goodsId, ") + kSums + QStringLiteral(" FROM (SELECT a.id FROM ") +
           t.headTable + QStringLiteral(" AS a WHERE ") + countedHeads(scope) +
           QStringLiteral(") AS h CROSS JOIN ") + t.lineTable +
           QStringLiteral(" AS d ON d.headId = h.id GROUP BY d.goodsId");
}

namespace
{
// One sum of the counted lines of a goods item, read through the lines' goods index.
QString sumOf(const QString& sum, const BillDirectionFacts& t, const Scope& scope, const QString& goodsId)
{
    return QStringLiteral("(SELECT ") + sum + QStringLiteral(" FROM ") + t.lineTable +
           QStringLiteral(" AS d CROSS JOIN ") + t.headTable +
           QStringLiteral(" AS a ON a.id = d.headId WHERE d.goodsId = ") + goodsId + QStringLiteral(" AND ") +
           countedHeads(scope) + QStringLiteral(")");
}
} // namespace

QString PiecesOf(const BillDirectionFacts& t, const Scope& scope, const QString& goodsId)
{
    return sumOf(QStringLiteral("dec_sum(d.qty, d.packQty)"), t, scope, goodsId);
}

QString WeightOf(const BillDirectionFacts& t, const Scope& scope, const QString& goodsId)
{
    return sumOf(QStringLiteral("dec_sum(d.qty, d.weight)"), t, scope, goodsId);
}

QString PiecesText(const QString& sum)
{
    return QStringLiteral("rpt_num(COALESCE(%1, 0), '#0.0##', '0')").arg(sum);
}

QString WeightText(const QString& sum)
{
    return QStringLiteral("rpt_num(COALESCE(%1, 0), '#0.0#', '0')").arg(sum);
}

QString DefaultUnitsText(DefaultUnitRule rule, const QString& pieces, const QString& packQty,
                         const QString& defaultUnits)
{
    // Divided exactly and rounded half away from zero to the 3 places shown.
    const QString divided = QStringLiteral("dec_div(COALESCE(%1, 0), %2, 3)").arg(pieces, packQty);
    if (rule == DefaultUnitRule::ZeroForEmptyUnit)
        return PiecesText(QStringLiteral("CASE WHEN %1 = 0 THEN 0 ELSE %2 END").arg(packQty, divided));
    return QStringLiteral("CASE WHEN %1 = 1 AND %2 > 0 THEN %3 END")
        .arg(defaultUnits, packQty, PiecesText(divided));
}

SumColumns SumColumns::Of(const QString& word)
{
    const QString total = QStringLiteral("total") + word;
    return {total + QStringLiteral("Qty"), total + QStringLiteral("DefaultQty"),
            total + QStringLiteral("Weight")};
}

} // namespace StockSums
