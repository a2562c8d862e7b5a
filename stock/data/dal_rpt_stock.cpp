#include "dal_rpt_stock.h"

#include "BillSetup.h"
#include "DbError.h"
#include "Numbers.h"
#include "PrintXml.h"
#include "ProcessFuntionValues.h"
#include "ReportColumns.h"
#include "ReportSetup.h"
#include "StockSums.h"
#include "sqlHelper.h"

namespace
{

// The sum columns: inbound, outbound and their balance.
const StockSums::SumColumns& InSums()
{
    static const StockSums::SumColumns c = StockSums::SumColumns::Of(BillSetup::Of(BillDirection::In));
    return c;
}
const StockSums::SumColumns& OutSums()
{
    static const StockSums::SumColumns c = StockSums::SumColumns::Of(BillSetup::Of(BillDirection::Out));
    return c;
}
const StockSums::SumColumns& BalanceSums()
{
    static const StockSums::SumColumns c = StockSums::SumColumns::Balance();
    return c;
}

const QStringList& Totals()
{
    static const QStringList totals = {
        InSums().qty,      InSums().defaultQty,      InSums().weight,
        OutSums().qty,     OutSums().defaultQty,     OutSums().weight,
        BalanceSums().qty, BalanceSums().defaultQty, BalanceSums().weight,
    };
    return totals;
}

// The totals are text columns holding the stored forms; the figures of the
// goods item are copied as the catalogue holds them.
QString ColumnDefs()
{
    QString defs =
        QStringLiteral("id INTEGER, goodsTypeId INTEGER, goodsTypeName TEXT, goodsCode TEXT COLLATE NOCASE,"
                       " goodsName TEXT, goodsDesc TEXT, pinyin TEXT, upqty REAL, downqty REAL, status TEXT,"
                       " isDefault INTEGER, unit TEXT");
    for (const QString& c : Totals())
        defs += QStringLiteral(", ") + c + QStringLiteral(" TEXT");
    return defs;
}

// The rebuild, one statement: the sums of both directions once per goods
// item, the stored forms of the six sums, then the balances of those forms.
// Every figure is written inside the statement (rpt_num, rpt_diff), so that
// no row makes a round trip through the program.
ConditionSql rebuildStatement(const ReportFill& fill)
{
    using namespace StockSums;
    RegisterReportFunctions();
    const Scope scope{fill.accountList, {}};
    const QString columns = dal_rpt_stock::Columns().join(QLatin1Char(','));
    const auto units = [](const QString& pieces) {
        return DefaultUnitsText(DefaultUnitRule::ZeroForEmptyUnit, pieces, QStringLiteral("a.packQty"));
    };
    ConditionSql out;
    out.sql =
        QStringLiteral("WITH i AS MATERIALIZED (") + PerGoods(BillSetup::Of(BillDirection::In), scope) +
        QStringLiteral("), o AS MATERIALIZED (") + PerGoods(BillSetup::Of(BillDirection::Out), scope) +
        QStringLiteral(
            "), s AS MATERIALIZED (SELECT b.id, b.goodsTypeId,"
            " COALESCE((SELECT uname FROM tb_dictionary WHERE id = b.goodsTypeId), '') AS goodsTypeName,"
            " b.goodsCode, b.goodsName, b.goodsDesc, b.pinyin, b.upqty, b.downqty, b.status,"
            " a.isDefault, a.unit, ") +
        PiecesText(QStringLiteral("i.pieces")) + QStringLiteral(" AS inQty, ") +
        units(QStringLiteral("i.pieces")) + QStringLiteral(" AS inDefault, ") +
        WeightText(QStringLiteral("i.weight")) + QStringLiteral(" AS inWeight, ") +
        PiecesText(QStringLiteral("o.pieces")) + QStringLiteral(" AS outQty, ") +
        units(QStringLiteral("o.pieces")) + QStringLiteral(" AS outDefault, ") +
        WeightText(QStringLiteral("o.weight")) +
        QStringLiteral(" AS outWeight"
                       " FROM tb_goods_detail AS a JOIN tb_goods_head AS b ON b.id = a.headId"
                       " LEFT JOIN i ON i.goodsId = b.id LEFT JOIN o ON o.goodsId = b.id"
                       " WHERE a.isDefault = 1) ") +
        QStringLiteral("INSERT INTO temp_rpt_stock (") + columns + QStringLiteral(") ") +
        QStringLiteral(
            "SELECT id, goodsTypeId, goodsTypeName, goodsCode, goodsName, goodsDesc, pinyin, upqty,"
            " downqty, status, isDefault, unit, inQty, inDefault, inWeight, outQty, outDefault,"
            " outWeight, rpt_diff(inQty, outQty, 3), rpt_diff(inDefault, outDefault, 3),"
            " rpt_diff(inWeight, outWeight, 2) FROM s");
    return out;
}

} // namespace

const QStringList& dal_rpt_stock::Columns()
{
    static const QStringList named = {
        QStringLiteral("id"),        QStringLiteral("goodsTypeId"), QStringLiteral("goodsTypeName"),
        QStringLiteral("goodsCode"), QStringLiteral("goodsName"),   QStringLiteral("goodsDesc"),
        QStringLiteral("pinyin"),    QStringLiteral("upqty"),       QStringLiteral("downqty"),
        QStringLiteral("status"),    QStringLiteral("isDefault"),   QStringLiteral("unit"),
    };
    static const QStringList columns = named + Totals();
    return columns;
}

const QStringList& dal_rpt_stock::ExportColumns()
{
    static const QStringList columns = {
        QStringLiteral("status"),
        QStringLiteral("goodsTypeName"),
        QStringLiteral("goodsCode"),
        QStringLiteral("goodsName"),
        QStringLiteral("goodsDesc"),
        QStringLiteral("upqty"),
        QStringLiteral("downqty"),
        QStringLiteral("unit"),
        InSums().qty,
        OutSums().qty,
        BalanceSums().qty,
        InSums().weight,
        OutSums().weight,
        BalanceSums().weight,
        InSums().defaultQty,
        OutSums().defaultQty,
        BalanceSums().defaultQty,
    };
    return columns;
}

QString dal_rpt_stock::OrderExpression(const QString& field)
{
    const QString f = field.trimmed();
    for (const QString& c : Columns()) {
        if (c.compare(f, Qt::CaseInsensitive) != 0)
            continue;
        return Totals().contains(c) ? QStringLiteral("CAST(%1 AS REAL)").arg(c) : c;
    }
    throw DbError(QStringLiteral("无效的排序字段: ") + field);
}

ReportSetup StockSetup()
{
    ReportSetup s;
    s.workTable = QStringLiteral("temp_rpt_stock");
    s.columnDefs = ColumnDefs();
    s.fullColumns = dal_rpt_stock::Columns().join(QLatin1Char(','));
    s.exportColumns = dal_rpt_stock::ExportColumns().join(QLatin1Char(','));
    s.gridSelect = ReportColumns::StockRow();
    for (const QString& c : dal_rpt_stock::Columns())
        s.sortColumns.insert(c, dal_rpt_stock::OrderExpression(c));
    s.defaultOrder = QStringLiteral("goodsCode");
    // The zero filter reads the pieces balance as a number.
    s.listFields = GoodsListFields(ReportColumns::AsNumber(BalanceSums().qty));
    s.fillStatement = rebuildStatement;
    return s;
}

dal_rpt_stock::dal_rpt_stock() : dal_rpt_Report(StockSetup()) {}

m_DBresult dal_rpt_stock::insert_temp_rpt_stock(const QString& str_JoinAccountTypeId)
{
    ReportFill fill;
    fill.accountList = str_JoinAccountTypeId;
    return insert_temp(fill);
}

m_recordSet dal_rpt_stock::GetListForCondition(const m_conditions& ilstPara, const QString& JoinAccountTypeId,
                                               m_PageInfor& objM_PageInfor, ReportRows rows)
{
    ReportFill fill;
    fill.accountList = JoinAccountTypeId;
    return dal_rpt_Report::GetListForCondition(fill, ilstPara, objM_PageInfor, rows);
}

int dal_rpt_stock::GetCount(const m_conditions& ilstPara)
{
    const ConditionSql where = GetConditionSql(ilstPara, setup().listFields);
    // Before the first rebuild of this connection the table is empty.
    ExecuteSql(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS temp_rpt_stock (") + ColumnDefs() +
               QStringLiteral(")"));
    const RecordSetPtr rs = ExecuteSql(
        QStringLiteral("select count(*) from temp_rpt_stock where 1=1 ") + where.sql, where.params);
    return rs && !rs->isEmpty() ? rs->value(0, 0).toInt() : 0;
}

RecordSetPtr dal_rpt_stock::GetStockQtyForGoodCode(const QString&, int int_goodsId)
{
    // The account list is not applied: the row is the last rebuild's.
    ParamMap params;
    params.Add(QStringLiteral("@goodsId"), int_goodsId);
    GetCount(); // the table exists
    return ExecuteSql(QStringLiteral("select ") + Columns().join(QLatin1Char(',')) +
                          QStringLiteral(" from temp_rpt_stock where id=@goodsId"),
                      params);
}

std::optional<Decimal> dal_rpt_stock::GetLiveStock(const QString& str_JoinAccountTypeId, int int_goodsId)
{
    // The rebuild's figures for one goods item: the same lines, the same
    // rounding of each sum, the same difference.
    RegisterReportFunctions();
    const StockSums::Scope scope{str_JoinAccountTypeId, {}};
    const QString inQty = QStringLiteral("inQty");
    const QString outQty = QStringLiteral("outQty");
    const QString sql =
        QStringLiteral("SELECT ") +
        StockSums::PiecesOf(BillSetup::Of(BillDirection::In), scope, QStringLiteral("b.id")) +
        QStringLiteral(" AS ") + inQty + QStringLiteral(", ") +
        StockSums::PiecesOf(BillSetup::Of(BillDirection::Out), scope, QStringLiteral("b.id")) +
        QStringLiteral(" AS ") + outQty +
        QStringLiteral(" FROM tb_goods_detail AS a JOIN tb_goods_head AS b ON b.id = "
                       "a.headId WHERE a.isDefault = 1 AND b.id = @goodsId LIMIT 1");
    ParamMap params;
    params.Add(QStringLiteral("@goodsId"), int_goodsId);
    const RecordSetPtr rs = ExecuteSql(sql, params);
    if (!rs || rs->isEmpty())
        return std::nullopt;
    const Decimal in = ReadDecimal(rs->value(0, inQty)).rounded(3);
    const Decimal out = ReadDecimal(rs->value(0, outQty)).rounded(3);
    return in - out;
}
