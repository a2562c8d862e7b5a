#include "ReportSetup.h"

#include "DbError.h"
#include "ReportColumns.h"
#include "StockSums.h"
#include "sqlHelper.h"

#include <QRegularExpression>

QString CheckIdList(const QString& list)
{
    static const QRegularExpression ids(QStringLiteral("^\\d+(,\\d+)*$"));
    if (!ids.match(list).hasMatch())
        throw DbError(QStringLiteral("无效的编号列表: ") + list);
    return list;
}

QMap<QString, QString> SortColumns(const QString& columns, const QStringList& numbers)
{
    QMap<QString, QString> sorts;
    for (const QString& c : columns.split(QLatin1Char(',')))
        sorts.insert(c, numbers.contains(c) ? ReportColumns::AsNumber(c) : c);
    return sorts;
}

SearchFields GoodsListFields(const QString& balance)
{
    return {{SearchKey::GoodsTypeName, QStringLiteral("goodsTypeName")},
            {SearchKey::Keyword,
             JoinedText({QStringLiteral("goodsCode"), QStringLiteral("goodsName"), QStringLiteral("pinyin"),
                         QStringLiteral("goodsDesc"), QStringLiteral("goodsTypeName")})},
            {SearchKey::Balance, balance}};
}

ConditionSql ReportConditionSql(const m_conditions& conditions, const SearchFields& fields,
                                const QString& prefix)
{
    ConditionSql out;
    int k = 0;
    for (const m_condition& c : conditions) {
        const QString name = prefix + QString::number(++k);
        const QString field = SearchField(fields, c.uField);
        if (c.uLinkType.simplified().toLower() != QLatin1String("like")) {
            out += GetConditionItem(field, c, name);
            continue;
        }
        QString text = c.uValue.toString();
        text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
            .replace(QLatin1Char('%'), QStringLiteral("\\%"))
            .replace(QLatin1Char('_'), QStringLiteral("\\_"));
        ConditionSql one;
        one.sql = QStringLiteral(" and (") + field + QStringLiteral(" like ") + name +
                  QStringLiteral(" escape '\\')");
        one.params.Add(name, QStringLiteral("%") + text + QStringLiteral("%"));
        out += one;
    }
    return out;
}

namespace
{

// The fill's conditions on the bill head (alias "a"): its date, account tag,
// audit state, type and partner.
ConditionSql FillConditionSql(const BillSetup& t, const ReportFill& fill)
{
    const SearchFields head{{SearchKey::CreateTime, QStringLiteral("a.createTime")},
                            {SearchKey::Account, QStringLiteral("a.accountId")},
                            {SearchKey::Audit, QStringLiteral("a.ispass")},
                            {SearchKey::TypeId, QStringLiteral("a.utypeId")},
                            {SearchKey::Partner, QStringLiteral("a.") + t.partnerNameCol}};
    return ReportConditionSql(fill.conditions, head, QStringLiteral("@f"));
}

QString Dict(const QString& idExpr)
{
    return QStringLiteral("(SELECT uname FROM tb_dictionary WHERE id = ") + idExpr + QStringLiteral(")");
}

QString PassName(const QString& alias)
{
    return QStringLiteral("CASE WHEN ") + alias +
           QStringLiteral(".ispass = 0 THEN '未审核' ELSE '已审核' END");
}

// The fill of a work table from the SELECT of its rows.
std::function<ConditionSql(const ReportFill&)> FillFrom(const ReportSetup& s,
                                                        std::function<ConditionSql(const ReportFill&)> rows)
{
    const QString insert = QStringLiteral("INSERT INTO ") + s.workTable + QStringLiteral("(") +
                           s.fullColumns + QStringLiteral(") ");
    return [insert, rows](const ReportFill& fill) {
        ConditionSql out = rows(fill);
        out.sql.prepend(insert);
        return out;
    };
}

// The rows of the bills the fill chooses: the columns, then the heads (alias
// "a", which the fill's conditions name) and what joins them.
std::function<ConditionSql(const ReportFill&)> SearchRows(const BillSetup& t, const QString& columns,
                                                          const QString& from)
{
    return [&t, columns, from](const ReportFill& fill) {
        const ConditionSql where = FillConditionSql(t, fill);
        ConditionSql out;
        out.sql = QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM ") + from +
                  QStringLiteral(" WHERE 1=1") + where.sql;
        out.params = where.params;
        return out;
    };
}

} // namespace

// ---------------------------------------------------------------- bill list

ReportSetup BillListSetup(BillDirection dir)
{
    const BillSetup& t = BillSetup::Of(dir);
    ReportSetup s;
    s.workTable = QStringLiteral("temp_rpt_") + t.numberKind + QStringLiteral("Head");
    s.columnDefs =
        QStringLiteral("id INTEGER, accountId INTEGER, accountName TEXT, billNo TEXT, ubillNo TEXT, "
                       "utypeId INTEGER, utype TEXT, %1 INTEGER, ispass INTEGER, passName TEXT, %2 TEXT, "
                       "remark TEXT, creator TEXT, createTime TEXT, updateLastUser TEXT, "
                       "updateLastTime TEXT, userId INTEGER, totalItemRow TEXT, rowsCount INTEGER, "
                       "totalQty REAL, totalAmount TEXT")
            .arg(t.partnerIdCol, t.partnerNameCol);
    s.fullColumns =
        QStringLiteral("id,accountId,accountName,billNo,ubillNo,utypeId,utype,%1,ispass,passName,%2,"
                       "remark,creator,createTime,updateLastUser,updateLastTime,userId,totalItemRow,"
                       "rowsCount,totalQty,totalAmount")
            .arg(t.partnerIdCol, t.partnerNameCol);
    s.exportColumns =
        QStringLiteral("accountName,passName,billNo,ubillNo,utype,%1,totalItemRow,totalAmount,remark,"
                       "creator,createTime")
            .arg(t.partnerNameCol);
    s.gridSelect = ReportColumns::BillListRow(dir);
    // The item text "1单12项" orders by its line count.
    s.sortColumns = SortColumns(s.fullColumns, {QStringLiteral("totalAmount")});
    s.sortColumns.insert(QStringLiteral("totalItemRow"), QStringLiteral("rowsCount"));
    s.defaultOrder = QStringLiteral("passName asc,createTime");
    // A list search names the type, the partner and a keyword in the bill
    // number, the partner's own number or the partner.
    s.listFields = {{SearchKey::Type, QStringLiteral("utype")},
                    {SearchKey::Partner, t.partnerNameCol},
                    {SearchKey::Keyword,
                     JoinedText({QStringLiteral("billNo"), QStringLiteral("ubillNo"), t.partnerNameCol})}};
    // A bill's line figures are read through the lines' head index, for the
    // bills a page or an order needs only. The amount is the bill's amount of
    // the bill window, the views and the prints (bill_amount: the exact sum
    // of the line amounts as the bill shows them, then two places).
    const QString lines = QStringLiteral(" FROM %1 AS d WHERE d.headId = a.id)").arg(t.lineTable);
    const QString count = QStringLiteral("(SELECT COUNT(*)") + lines;
    const QString columns =
        QStringLiteral("a.id, a.accountId, ") + Dict(QStringLiteral("a.accountId")) +
        QStringLiteral(" AS accountName, a.billNo, a.ubillNo, a.utypeId, ") +
        Dict(QStringLiteral("a.utypeId")) +
        QStringLiteral(" AS utype, a.%1, a.ispass, ").arg(t.partnerIdCol) + PassName(QStringLiteral("a")) +
        QStringLiteral(" AS passName, a.%1, a.remark, a.creator, substr(a.createTime, 1, 10) AS createTime, "
                       "a.updateLastUser, a.updateLastTime, a.userId, '1单' || ")
            .arg(t.partnerNameCol) +
        count + QStringLiteral(" || '项' AS totalItemRow, ") + count +
        QStringLiteral(" AS rowsCount, CAST(COALESCE((SELECT dec_sum(d.qty)") + lines +
        QStringLiteral(", 0.0) AS REAL) AS totalQty, rpt_num((SELECT bill_amount(d.qty, d.%1)")
            .arg(t.priceCol) +
        lines + QStringLiteral(", '#0.0#', '0') AS totalAmount");
    // The rows read also carry the bill's change stamp as it is stored when
    // the page is read: what the list's actions compare with the bill.
    const QString stamped = columns + QStringLiteral(", a.rowVersion");
    s.searchRows = SearchRows(t, stamped, t.headTable + QStringLiteral(" AS a"));
    s.keptRows = [stamped, t](const QString& keys, const QString& join) {
        return QStringLiteral("SELECT k.pos AS rpt_pos, k.id AS rpt_key, ") + stamped +
               QStringLiteral(" FROM ") + keys + QStringLiteral(" AS k ") + join + QStringLiteral(" ") +
               t.headTable + QStringLiteral(" AS a ON a.id = k.id");
    };
    s.keyAccount = QStringLiteral("(SELECT h.accountId FROM %1 AS h WHERE h.id = k0.id)").arg(t.headTable);
    s.fillStatement = FillFrom(s, SearchRows(t, columns, t.headTable + QStringLiteral(" AS a")));
    return s;
}

// ---------------------------------------------------------------- line detail

ReportSetup BillDetailSetup(BillDirection dir)
{
    const BillSetup& t = BillSetup::Of(dir);
    const bool sale = t.hasSalePrice;
    ReportSetup s;
    s.workTable = QStringLiteral("temp_rpt_") + t.numberKind + QStringLiteral("Detail");
    s.columnDefs =
        QStringLiteral("id INTEGER, headId INTEGER, accountId INTEGER, accountName TEXT, ispass INTEGER, "
                       "passName TEXT, billNo TEXT, ubillNo TEXT, utypeId INTEGER, utype TEXT, "
                       "%1 INTEGER, %2 TEXT, userId INTEGER, rowNo INTEGER, goodsTypeId INTEGER, "
                       "goodsTypeName TEXT, goodsId INTEGER, goodsCode TEXT COLLATE NOCASE, "
                       "goodsDetailCode TEXT, goodsName TEXT, pinyin TEXT, goodsDesc TEXT, unit TEXT, "
                       "inPrice TEXT, %3packQty REAL, weight REAL, qty REAL, totalQty TEXT, "
                       "totalDefaultQty TEXT, totalWeight TEXT, totalAmount TEXT, locationId INTEGER, "
                       "locationCode TEXT, lotNo TEXT, remark TEXT, creator TEXT, createTime TEXT")
            .arg(t.partnerIdCol, t.partnerNameCol, sale ? QStringLiteral("salePrice TEXT, ") : QString());
    s.fullColumns =
        QStringLiteral("id,headId,accountId,accountName,ispass,passName,billNo,ubillNo,utypeId,utype,%1,%2,"
                       "userId,rowNo,goodsTypeId,goodsTypeName,goodsId,goodsCode,goodsDetailCode,"
                       "goodsName,pinyin,goodsDesc,unit,inPrice,%3packQty,weight,qty,totalQty,"
                       "totalDefaultQty,totalWeight,totalAmount,locationId,locationCode,lotNo,remark,"
                       "creator,createTime")
            .arg(t.partnerIdCol, t.partnerNameCol, sale ? QStringLiteral("salePrice,") : QString());
    s.exportColumns =
        QStringLiteral("accountName,passName,billNo,ubillNo,utype,%1,goodsTypeName,goodsCode,goodsName,"
                       "goodsDesc,unit,packQty,weight,%2,qty,totalAmount,totalQty,totalDefaultQty,"
                       "totalWeight,locationCode,lotNo,remark,creator,createTime")
            .arg(t.partnerNameCol, t.priceCol);
    s.gridSelect = ReportColumns::BillDetailRow(dir);
    s.sortColumns =
        SortColumns(s.fullColumns, {QStringLiteral("inPrice"), QStringLiteral("salePrice"),
                                    QStringLiteral("totalAmount"), QStringLiteral("totalQty"),
                                    QStringLiteral("totalDefaultQty"), QStringLiteral("totalWeight")});
    s.defaultOrder = QStringLiteral("createTime");
    // A line search names the goods type, the bill type, the partner, the
    // goods code and a keyword in the bill's and the goods item's texts.
    s.listFields = {
        {SearchKey::GoodsTypeName, QStringLiteral("goodsTypeName")},
        {SearchKey::Type, QStringLiteral("utype")},
        {SearchKey::Partner, t.partnerNameCol},
        {SearchKey::Code, QStringLiteral("goodsCode")},
        {SearchKey::Keyword,
         JoinedText({QStringLiteral("billNo"), QStringLiteral("ubillNo"), t.partnerNameCol,
                     QStringLiteral("goodsCode"), QStringLiteral("goodsName"), QStringLiteral("pinyin"),
                     QStringLiteral("goodsDesc"), QStringLiteral("goodsTypeName"),
                     QStringLiteral("locationCode"), QStringLiteral("lotNo")})}};
    // The pieces of the line's goods item's default unit, when it has exactly
    // one default unit holding more than 0 pieces; otherwise no value. Read
    // per line through the units' goods index, for the lines a page needs.
    const QString pack =
        QStringLiteral("(SELECT CASE WHEN COUNT(*) = 1 AND MAX(u.packQty) > 0 THEN MAX(u.packQty) END "
                       "FROM tb_goods_detail AS u WHERE u.headId = l.goodsId AND u.isDefault = 1)");
    // The line is "l", its bill "a". A kept line reads its bill through a
    // left join, which an order of line fields leaves out (a line never
    // outlives its bill: both go in one delete).
    const QString columns =
        QStringLiteral("l.id, l.headId, a.accountId, ") + Dict(QStringLiteral("a.accountId")) +
        QStringLiteral(" AS accountName, a.ispass, ") + PassName(QStringLiteral("a")) +
        QStringLiteral(" AS passName, a.billNo, a.ubillNo, a.utypeId, ") + Dict(QStringLiteral("a.utypeId")) +
        QStringLiteral(
            " AS utype, a.%1, a.%2, a.userId, l.rowNo, l.goodsTypeId, l.goodsTypeName, l.goodsId, "
            "l.goodsCode, l.goodsDetailCode, l.goodsName, (SELECT g.pinyin FROM tb_goods_head AS g "
            "WHERE g.id = l.goodsId) AS pinyin, l.goodsDesc, l.unit, "
            "rpt_num(l.inPrice, '#0.0##') AS inPrice, ")
            .arg(t.partnerIdCol, t.partnerNameCol) +
        (sale ? QStringLiteral("rpt_num(l.salePrice, '#0.0##') AS salePrice, ") : QString()) +
        QStringLiteral("l.packQty, l.weight, l.qty, dec_mul(l.packQty, l.qty) AS totalQty, "
                       "rpt_num(dec_div(dec_mul(l.packQty, l.qty), ") +
        pack +
        QStringLiteral(
            ", 3), '#0.0##', '0') AS totalDefaultQty, dec_mul(l.weight, l.qty) AS totalWeight, "
            "rpt_num(line_amount(l.qty, l.%1), '#0.0##', '0') AS totalAmount, l.locationId, "
            "(SELECT c.locationCode FROM tb_location AS c WHERE c.id = l.locationId) AS locationCode, "
            "l.lotNo, l.remark, a.creator, substr(a.createTime, 1, 10) AS createTime")
            .arg(t.priceCol);
    const QString lines = t.headTable + QStringLiteral(" AS a CROSS JOIN ") + t.lineTable +
                          QStringLiteral(" AS l ON l.headId = a.id");
    // The amount orders as the number of its text (ReportColumns::AsNumber),
    // read from the line's amount without the display form around it.
    const QString amountKey = QStringLiteral("rpt_amountKey");
    s.sortKeys = {{ReportColumns::AsNumber(QStringLiteral("totalAmount")), amountKey}};
    // The rows read carry the line's bill's change stamp as well.
    const QString keyed = columns +
                          QStringLiteral(", CAST(line_amount(l.qty, l.%1) AS REAL) AS ").arg(t.priceCol) +
                          amountKey + QStringLiteral(", a.rowVersion");
    s.searchRows = SearchRows(t, keyed, lines);
    s.keptRows = [keyed, t](const QString& keys, const QString& join) {
        return QStringLiteral("SELECT k.pos AS rpt_pos, k.id AS rpt_key, ") + keyed +
               QStringLiteral(" FROM ") + keys + QStringLiteral(" AS k ") + join + QStringLiteral(" ") +
               t.lineTable + QStringLiteral(" AS l ON l.id = k.id LEFT JOIN ") + t.headTable +
               QStringLiteral(" AS a ON a.id = l.headId");
    };
    s.keyAccount = QStringLiteral("(SELECT h.accountId FROM %1 AS x CROSS JOIN %2 AS h ON h.id = x.headId "
                                  "WHERE x.id = k0.id)")
                       .arg(t.lineTable, t.headTable);
    s.fillStatement = FillFrom(s, SearchRows(t, columns, lines));
    return s;
}

// ---------------------------------------------------------------- goods sums

namespace
{

// The goods items that have a default unit, with the first of their
// default units: one report row each.
const QString kGoodsRows = QStringLiteral(
    "(SELECT headId, MIN(id) AS unitId, COUNT(*) AS n FROM tb_goods_detail WHERE isDefault = 1 "
    "GROUP BY headId) AS u JOIN tb_goods_detail AS a ON a.id = u.unitId "
    "JOIN tb_goods_head AS b ON b.id = u.headId");

// The rows of the goods sums: every goods item with a default unit.
ConditionSql GoodsSumRows(const BillSetup& t, const ReportFill& fill)
{
    using namespace StockSums;
    const SumColumns sums = SumColumns::Of(t);
    const ConditionSql where = FillConditionSql(t, fill);
    const Scope scope{fill.accountList, where.sql};
    ConditionSql sql;
    sql.params = where.params;
    // Audited lines of the chosen account tags, summed per goods item once;
    // every goods item with a default unit gets its row, with 0 when nothing
    // counts. A second default unit, or one of 0 pieces, leaves the
    // default-unit count without a value.
    sql.sql = QStringLiteral("WITH c AS MATERIALIZED (") + PerGoods(t, scope) + QStringLiteral(") ");
    sql.sql += QStringLiteral("SELECT b.id, b.goodsTypeId, ") + Dict(QStringLiteral("b.goodsTypeId")) +
               QStringLiteral(" AS goodsTypeName, b.goodsCode, b.goodsName, b.goodsDesc, b.pinyin, b.upqty, "
                              "b.downqty, b.status, 1 AS isDefault, a.unit, ") +
               PiecesText(QStringLiteral("c.pieces")) + QStringLiteral(" AS ") + sums.qty +
               QStringLiteral(", ") +
               DefaultUnitsText(DefaultUnitRule::NoValueForEmptyUnit, QStringLiteral("c.pieces"),
                                QStringLiteral("a.packQty"), QStringLiteral("u.n")) +
               QStringLiteral(" AS ") + sums.defaultQty + QStringLiteral(", ") +
               WeightText(QStringLiteral("c.weight")) + QStringLiteral(" AS ") + sums.weight +
               QStringLiteral(" FROM ") + kGoodsRows + QStringLiteral(" LEFT JOIN c ON c.goodsId = b.id");
    return sql;
}

// A subquery over the default units of a goods item (its id an SQL
// expression), read through the units' goods index: its first default unit,
// their number, whether it has one. A goods item without one is no row.
QString OverDefaultUnits(const QString& what, const QString& goodsId)
{
    return QStringLiteral("(SELECT ") + what +
           QStringLiteral(" FROM tb_goods_detail AS x WHERE x.headId = ") + goodsId +
           QStringLiteral(" AND x.isDefault = 1)");
}

QString DefaultUnitOf(const QString& goodsId)
{
    return OverDefaultUnits(QStringLiteral("MIN(x.id)"), goodsId);
}

QString DefaultUnitCount(const QString& goodsId)
{
    return OverDefaultUnits(QStringLiteral("COUNT(*)"), goodsId);
}

QString HasDefaultUnit(const QString& goodsId)
{
    return QStringLiteral("EXISTS ") + OverDefaultUnits(QStringLiteral("1"), goodsId);
}

// A field of the first default unit of the goods item "b".
QString DefaultUnitField(const QString& field)
{
    return QStringLiteral("(SELECT a.") + field + QStringLiteral(" FROM tb_goods_detail AS a WHERE a.id = ") +
           DefaultUnitOf(QStringLiteral("b.id")) + QStringLiteral(")");
}

// The sums of every row of a fill, for the goods items with counted lines
// only: their three sums in their stored forms, written as the whole fill
// writes them (GoodsSumRows).
ConditionSql GoodsSumsFill(const BillSetup& t, const QString& table, const ReportFill& fill)
{
    using namespace StockSums;
    const ConditionSql where = FillConditionSql(t, fill);
    const Scope scope{fill.accountList, where.sql};
    ConditionSql sql;
    sql.params = where.params;
    sql.sql = QStringLiteral("INSERT INTO ") + table +
              QStringLiteral(" (id, qty, defaultQty, weight) SELECT "
                             "c.goodsId, ") +
              PiecesText(QStringLiteral("c.pieces")) + QStringLiteral(", ") +
              DefaultUnitsText(DefaultUnitRule::NoValueForEmptyUnit, QStringLiteral("c.pieces"),
                               QStringLiteral("a.packQty"), DefaultUnitCount(QStringLiteral("c.goodsId"))) +
              QStringLiteral(", ") + WeightText(QStringLiteral("c.weight")) + QStringLiteral(" FROM (") +
              PerGoods(t, scope) + QStringLiteral(") AS c CROSS JOIN tb_goods_detail AS a ON a.id = ") +
              DefaultUnitOf(QStringLiteral("c.goodsId"));
    return sql;
}

// The columns of a goods sums row before its sums, from the goods "b". The
// unit's fields are read only where a statement reads them (a page, an order
// by them), so that choosing the keys walks the goods alone.
QString GoodsColumns()
{
    return QStringLiteral("b.id, b.goodsTypeId, ") + Dict(QStringLiteral("b.goodsTypeId")) +
           QStringLiteral(" AS goodsTypeName, b.goodsCode, b.goodsName, b.goodsDesc, b.pinyin, b.upqty, "
                          "b.downqty, b.status, 1 AS isDefault, ") +
           DefaultUnitField(QStringLiteral("unit")) + QStringLiteral(" AS unit");
}

// The full columns of a goods sums row from the goods "b" and the sums table
// "s". A goods item without counted lines has no sums row: its sums read as
// the stored form of no lines, "0" (PiecesText, WeightText), and its default
// units "0" where the whole fill gives them a value at all.
QString GoodsSumColumns(const StockSums::SumColumns& sums)
{
    return GoodsColumns() + QStringLiteral(", COALESCE(s.qty, '0') AS ") + sums.qty +
           QStringLiteral(", CASE WHEN s.id IS NOT NULL THEN s.defaultQty WHEN ") +
           DefaultUnitCount(QStringLiteral("b.id")) + QStringLiteral(" = 1 AND ") +
           DefaultUnitField(QStringLiteral("packQty")) + QStringLiteral(" > 0 THEN '0' END AS ") +
           sums.defaultQty + QStringLiteral(", COALESCE(s.weight, '0') AS ") + sums.weight;
}

// The full columns of a goods sums row from the goods "b", its sums read
// from its own counted lines through the lines' goods index, in the forms
// GoodsSumsFill writes (no lines: the forms of no lines, as above).
ConditionSql GoodsPageColumns(const BillSetup& t, const StockSums::SumColumns& sums, const ReportFill& fill)
{
    using namespace StockSums;
    const ConditionSql where = FillConditionSql(t, fill);
    const Scope scope{fill.accountList, where.sql};
    const QString pieces = PiecesOf(t, scope, QStringLiteral("b.id"));
    ConditionSql out;
    out.sql = GoodsColumns() + QStringLiteral(", ") + PiecesText(pieces) + QStringLiteral(" AS ") + sums.qty +
              QStringLiteral(", ") +
              DefaultUnitsText(DefaultUnitRule::NoValueForEmptyUnit, pieces,
                               DefaultUnitField(QStringLiteral("packQty")),
                               DefaultUnitCount(QStringLiteral("b.id"))) +
              QStringLiteral(" AS ") + sums.defaultQty + QStringLiteral(", ") +
              WeightText(WeightOf(t, scope, QStringLiteral("b.id"))) + QStringLiteral(" AS ") + sums.weight;
    out.params = where.params;
    return out;
}

} // namespace

ReportSetup GoodsSumSetup(BillDirection dir)
{
    const BillSetup& t = BillSetup::Of(dir);
    const StockSums::SumColumns sums = StockSums::SumColumns::Of(t);
    ReportSetup s;
    s.workTable = QStringLiteral("temp_rpt_") + t.numberKind + QStringLiteral("Sum");
    s.columnDefs =
        QStringLiteral("id INTEGER, goodsTypeId INTEGER, goodsTypeName TEXT, goodsCode TEXT COLLATE NOCASE, "
                       "goodsName TEXT, "
                       "goodsDesc TEXT, pinyin TEXT, upqty REAL, downqty REAL, status TEXT, "
                       "isDefault INTEGER, unit TEXT, %1 TEXT, %2 TEXT, %3 TEXT")
            .arg(sums.qty, sums.defaultQty, sums.weight);
    s.fullColumns =
        QStringLiteral("id,goodsTypeId,goodsTypeName,goodsCode,goodsName,goodsDesc,pinyin,upqty,downqty,"
                       "status,isDefault,unit,%1,%2,%3")
            .arg(sums.qty, sums.defaultQty, sums.weight);
    s.exportColumns = QStringLiteral("status,goodsTypeName,goodsCode,goodsName,goodsDesc,upqty,downqty,unit,"
                                     "%1,%2,%3")
                          .arg(sums.qty, sums.weight, sums.defaultQty);
    s.gridSelect = ReportColumns::GoodsSumRow(dir);
    s.sortColumns = SortColumns(s.fullColumns, {sums.qty, sums.weight, sums.defaultQty});
    s.defaultOrder = QStringLiteral("goodsCode");
    s.listFields = GoodsListFields(ReportColumns::AsNumber(sums.qty));
    // The whole work table in one statement (insert_temp).
    s.fillStatement = FillFrom(s, [t](const ReportFill& fill) { return GoodsSumRows(t, fill); });
    // A search keeps every goods item with a default unit as a row, walking
    // the goods in the order of their code through its index; a page sums
    // the lines of its own goods items only. The sums of every row are
    // written, for the goods items with counted lines only, when the rows
    // are chosen or ordered by a sum or read all at once.
    s.sumsTable = s.workTable + QStringLiteral("_sums");
    s.sumsColumnDefs = QStringLiteral("id INTEGER PRIMARY KEY, qty TEXT, defaultQty TEXT, weight TEXT");
    s.sumsFields = {sums.qty, sums.defaultQty, sums.weight};
    const QString table = s.sumsTable;
    s.sumsFill = [t, table](const ReportFill& fill) { return GoodsSumsFill(t, table, fill); };
    const QString columns = GoodsSumColumns(sums);
    const QString sumsOf = QStringLiteral(" LEFT JOIN ") + table + QStringLiteral(" AS s ON s.id = b.id");
    s.searchRows = [columns, sumsOf](const ReportFill&) {
        ConditionSql out;
        out.sql = QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM tb_goods_head AS b") + sumsOf +
                  QStringLiteral(" WHERE ") + HasDefaultUnit(QStringLiteral("b.id"));
        return out;
    };
    const auto goodsOfKeys = [](const QString& keys, const QString& join) {
        return QStringLiteral(" FROM ") + keys + QStringLiteral(" AS k ") + join +
               QStringLiteral(" tb_goods_head AS b ON b.id = k.id AND ") +
               HasDefaultUnit(QStringLiteral("b.id"));
    };
    s.keptRows = [columns, sumsOf, goodsOfKeys](const QString& keys, const QString& join) {
        return QStringLiteral("SELECT k.pos AS rpt_pos, k.id AS rpt_key, ") + columns +
               goodsOfKeys(keys, join) + sumsOf;
    };
    s.pageRows = [t, sums, goodsOfKeys](const QString& keys, const ReportFill& fill) {
        ConditionSql out = GoodsPageColumns(t, sums, fill);
        out.sql = QStringLiteral("SELECT k.pos AS rpt_pos, k.id AS rpt_key, ") + out.sql +
                  goodsOfKeys(keys, QStringLiteral("CROSS JOIN"));
        return out;
    };
    return s;
}
