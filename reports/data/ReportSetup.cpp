#include "ReportSetup.h"

#include "DbError.h"
#include "StockSums.h"
#include "sqlHelper.h"

#include <QRegularExpression>

const BillTables& Tables(BillDirection dir)
{
    static const BillTables in{BillDirection::In,
                               QStringLiteral("rk"),
                               QStringLiteral("tb_rk_head"),
                               QStringLiteral("tb_rk_detail"),
                               QStringLiteral("supplierId"),
                               QStringLiteral("supplierName"),
                               QStringLiteral("inPrice"),
                               QStringLiteral("Import")};
    static const BillTables out{BillDirection::Out,           QStringLiteral("ck"),
                                QStringLiteral("tb_ck_head"), QStringLiteral("tb_ck_detail"),
                                QStringLiteral("customerId"), QStringLiteral("customerName"),
                                QStringLiteral("salePrice"),  QStringLiteral("Export")};
    return dir == BillDirection::In ? in : out;
}

QString CheckIdList(const QString& list)
{
    static const QRegularExpression ids(QStringLiteral("^\\d+(,\\d+)*$"));
    if (!ids.match(list).hasMatch())
        throw DbError(QStringLiteral("无效的编号列表: ") + list);
    return list;
}

ConditionSql ReportConditionSql(const m_conditions& conditions, const QString& prefix)
{
    ConditionSql out;
    int k = 0;
    for (const m_condition& c : conditions) {
        const QString name = prefix + QString::number(++k);
        if (c.uLinkType.simplified().toLower() != QLatin1String("like")) {
            out += GetConditionItem(c, name);
            continue;
        }
        CheckSqlExpression(c.uField);
        QString text = c.uValue.toString();
        text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
            .replace(QLatin1Char('%'), QStringLiteral("\\%"))
            .replace(QLatin1Char('_'), QStringLiteral("\\_"));
        ConditionSql one;
        one.sql = QStringLiteral(" and (") + c.uField + QStringLiteral(" like ") + name +
                  QStringLiteral(" escape '\\')");
        one.params.Add(name, QStringLiteral("%") + text + QStringLiteral("%"));
        out += one;
    }
    return out;
}

namespace
{

// The bill heads that pass the fill conditions, read once per rebuild.
ConditionSql HeadsCte(const BillTables& t, const ReportFill& fill)
{
    const ConditionSql where = ReportConditionSql(fill.conditions, QStringLiteral("@f"));
    ConditionSql out;
    out.sql = QStringLiteral("h AS MATERIALIZED (SELECT a.* FROM ") + t.head +
              QStringLiteral(" AS a WHERE 1=1") + where.sql + QStringLiteral(")");
    out.params = where.params;
    return out;
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

} // namespace

// ---------------------------------------------------------------- bill list

ReportSetup BillListSetup(BillDirection dir)
{
    const BillTables& t = Tables(dir);
    ReportSetup s;
    s.workTable = QStringLiteral("temp_rpt_") + t.code + QStringLiteral("Head");
    s.columnDefs =
        QStringLiteral("id INTEGER, accountId INTEGER, accountName TEXT, billNo TEXT, ubillNo TEXT, "
                       "utypeId INTEGER, utype TEXT, %1 INTEGER, ispass INTEGER, passName TEXT, %2 TEXT, "
                       "remark TEXT, creator TEXT, createTime TEXT, updateLastUser TEXT, "
                       "updateLastTime TEXT, userId INTEGER, totalItemRow TEXT, rowsCount INTEGER, "
                       "totalQty REAL, totalAmount TEXT")
            .arg(t.partnerId, t.partnerName);
    s.fullColumns =
        QStringLiteral("id,accountId,accountName,billNo,ubillNo,utypeId,utype,%1,ispass,passName,%2,"
                       "remark,creator,createTime,updateLastUser,updateLastTime,userId,totalItemRow,"
                       "rowsCount,totalQty,totalAmount")
            .arg(t.partnerId, t.partnerName);
    s.exportColumns =
        QStringLiteral("accountName,passName,billNo,ubillNo,utype,%1,totalItemRow,totalAmount,remark,"
                       "creator,createTime")
            .arg(t.partnerName);
    const QString table = s.workTable, columns = s.fullColumns;
    s.fillStatement = [t, table, columns](const ReportFill& fill) {
        ConditionSql out = HeadsCte(t, fill);
        // The line totals of all chosen bills in one pass over their lines.
        out.sql =
            QStringLiteral("WITH ") + out.sql +
            QStringLiteral(", s AS MATERIALIZED (SELECT d.headId, COUNT(*) AS n, SUM(d.qty) AS q, "
                           "SUM(d.qty * d.%1) AS amount FROM h CROSS JOIN %2 AS d ON d.headId = h.id "
                           "GROUP BY d.headId) ")
                .arg(t.price, t.detail) +
            QStringLiteral("INSERT INTO ") + table + QStringLiteral("(") + columns + QStringLiteral(") ") +
            QStringLiteral("SELECT h.id, h.accountId, ") + Dict(QStringLiteral("h.accountId")) +
            QStringLiteral(", h.billNo, h.ubillNo, h.utypeId, ") + Dict(QStringLiteral("h.utypeId")) +
            QStringLiteral(", h.%1, h.ispass, ").arg(t.partnerId) + PassName(QStringLiteral("h")) +
            QStringLiteral(", h.%1, h.remark, h.creator, substr(h.createTime, 1, 10), h.updateLastUser, "
                           "h.updateLastTime, h.userId, '1单' || COALESCE(s.n, 0) || '项', COALESCE(s.n, 0), "
                           "COALESCE(s.q, 0), rpt_num(COALESCE(s.amount, 0), '#0.0#', '0') "
                           "FROM h LEFT JOIN s ON s.headId = h.id")
                .arg(t.partnerName);
        return out;
    };
    return s;
}

// ---------------------------------------------------------------- line detail

ReportSetup BillDetailSetup(BillDirection dir)
{
    const BillTables& t = Tables(dir);
    const bool out = dir == BillDirection::Out;
    ReportSetup s;
    s.workTable = QStringLiteral("temp_rpt_") + t.code + QStringLiteral("Detail");
    s.columnDefs =
        QStringLiteral("id INTEGER, headId INTEGER, accountId INTEGER, accountName TEXT, ispass INTEGER, "
                       "passName TEXT, billNo TEXT, ubillNo TEXT, utypeId INTEGER, utype TEXT, "
                       "%1 INTEGER, %2 TEXT, userId INTEGER, rowNo INTEGER, goodsTypeId INTEGER, "
                       "goodsTypeName TEXT, goodsId INTEGER, goodsCode TEXT, goodsDetailCode TEXT, "
                       "goodsName TEXT, pinyin TEXT, goodsDesc TEXT, unit TEXT, inPrice TEXT, %3"
                       "packQty REAL, weight REAL, qty REAL, totalQty REAL, totalDefaultQty TEXT, "
                       "totalWeight REAL, totalAmount TEXT, locationId INTEGER, locationCode TEXT, "
                       "lotNo TEXT, remark TEXT, creator TEXT, createTime TEXT")
            .arg(t.partnerId, t.partnerName, out ? QStringLiteral("salePrice TEXT, ") : QString());
    s.fullColumns =
        QStringLiteral("id,headId,accountId,accountName,ispass,passName,billNo,ubillNo,utypeId,utype,%1,%2,"
                       "userId,rowNo,goodsTypeId,goodsTypeName,goodsId,goodsCode,goodsDetailCode,"
                       "goodsName,pinyin,goodsDesc,unit,inPrice,%3packQty,weight,qty,totalQty,"
                       "totalDefaultQty,totalWeight,totalAmount,locationId,locationCode,lotNo,remark,"
                       "creator,createTime")
            .arg(t.partnerId, t.partnerName, out ? QStringLiteral("salePrice,") : QString());
    s.exportColumns =
        QStringLiteral("accountName,passName,billNo,ubillNo,utype,%1,goodsTypeName,goodsCode,goodsName,"
                       "goodsDesc,unit,packQty,weight,%2,qty,totalAmount,totalQty,totalDefaultQty,"
                       "totalWeight,locationCode,lotNo,remark,creator,createTime")
            .arg(t.partnerName, t.price);
    const QString table = s.workTable, columns = s.fullColumns;
    s.fillStatement = [t, out, table, columns](const ReportFill& fill) {
        ConditionSql sql = HeadsCte(t, fill);
        // The pieces of a goods item's default unit, when it has exactly one
        // default unit holding more than 0 pieces; otherwise no value.
        sql.sql =
            QStringLiteral("WITH ") + sql.sql +
            QStringLiteral(", u AS MATERIALIZED (SELECT headId, CASE WHEN COUNT(*) = 1 AND MAX(packQty) > 0 "
                           "THEN MAX(packQty) END AS pack FROM tb_goods_detail WHERE isDefault = 1 "
                           "GROUP BY headId) ") +
            QStringLiteral("INSERT INTO ") + table + QStringLiteral("(") + columns + QStringLiteral(") ") +
            QStringLiteral("SELECT a.id, a.headId, b.accountId, ") + Dict(QStringLiteral("b.accountId")) +
            QStringLiteral(", b.ispass, ") + PassName(QStringLiteral("b")) +
            QStringLiteral(", b.billNo, b.ubillNo, b.utypeId, ") + Dict(QStringLiteral("b.utypeId")) +
            QStringLiteral(", b.%1, b.%2, b.userId, a.rowNo, a.goodsTypeId, a.goodsTypeName, a.goodsId, "
                           "a.goodsCode, a.goodsDetailCode, a.goodsName, g.pinyin, a.goodsDesc, a.unit, "
                           "rpt_num(a.inPrice, '#0.0##'), ")
                .arg(t.partnerId, t.partnerName) +
            (out ? QStringLiteral("rpt_num(a.salePrice, '#0.0##'), ") : QString()) +
            QStringLiteral(
                "a.packQty, a.weight, a.qty, a.packQty * a.qty, "
                "rpt_num(CAST(a.packQty * a.qty AS REAL) / u.pack, '#0.0##', '0'), "
                "a.weight * a.qty, rpt_num(a.%1 * a.qty, '#0.0##', '0'), a.locationId, "
                "(SELECT locationCode FROM tb_location WHERE id = a.locationId), a.lotNo, a.remark, "
                "b.creator, substr(b.createTime, 1, 10) "
                "FROM h AS b JOIN %2 AS a ON a.headId = b.id "
                "LEFT JOIN tb_goods_head AS g ON g.id = a.goodsId "
                "LEFT JOIN u ON u.headId = a.goodsId")
                .arg(t.price, t.detail);
        return sql;
    };
    return s;
}

// ---------------------------------------------------------------- goods sums

ReportSetup GoodsSumSetup(BillDirection dir)
{
    const BillTables& t = Tables(dir);
    const QString w = t.sumWord;
    ReportSetup s;
    s.workTable = QStringLiteral("temp_rpt_") + t.code + QStringLiteral("Sum");
    s.columnDefs =
        QStringLiteral("id INTEGER, goodsTypeId INTEGER, goodsTypeName TEXT, goodsCode TEXT, goodsName TEXT, "
                       "goodsDesc TEXT, pinyin TEXT, upqty REAL, downqty REAL, status TEXT, "
                       "isDefault INTEGER, unit TEXT, total%1Qty TEXT, total%1DefaultQty TEXT, "
                       "total%1Weight TEXT")
            .arg(w);
    s.fullColumns =
        QStringLiteral("id,goodsTypeId,goodsTypeName,goodsCode,goodsName,goodsDesc,pinyin,upqty,downqty,"
                       "status,isDefault,unit,total%1Qty,total%1DefaultQty,total%1Weight")
            .arg(w);
    s.exportColumns = QStringLiteral("status,goodsTypeName,goodsCode,goodsName,goodsDesc,upqty,downqty,unit,"
                                     "total%1Qty,total%1Weight,total%1DefaultQty")
                          .arg(w);
    const QString table = s.workTable, columns = s.fullColumns;
    s.fillStatement = [t, table, columns](const ReportFill& fill) {
        const ConditionSql where = ReportConditionSql(fill.conditions, QStringLiteral("@f"));
        ConditionSql sql;
        sql.params = where.params;
        // Audited lines of the chosen account tags, summed per goods item once;
        // every goods item with a default unit gets its row, with 0 when
        // nothing counts. A second default unit, or one of 0 pieces, leaves
        // the default-unit count without a value.
        // The chosen bills are read first and their lines through the line
        // index, so a month's sums read that month's lines only.
        using namespace StockSums;
        sql.sql =
            QStringLiteral("WITH c AS MATERIALIZED (") + PerGoods(t, Scope{fill.accountList, where.sql}) +
            QStringLiteral("), u AS MATERIALIZED (SELECT headId, MIN(id) AS unitId, COUNT(*) AS n "
                           "FROM tb_goods_detail WHERE isDefault = 1 GROUP BY headId) ") +
            QStringLiteral("INSERT INTO ") + table + QStringLiteral("(") + columns + QStringLiteral(") ") +
            QStringLiteral("SELECT b.id, b.goodsTypeId, ") + Dict(QStringLiteral("b.goodsTypeId")) +
            QStringLiteral(", b.goodsCode, b.goodsName, b.goodsDesc, b.pinyin, b.upqty, b.downqty, b.status, "
                           "1, a.unit, ") +
            PiecesText(QStringLiteral("c.pieces")) + QStringLiteral(", ") +
            DefaultUnitsText(DefaultUnitRule::NoValueForEmptyUnit, QStringLiteral("c.pieces"),
                             QStringLiteral("a.packQty"), QStringLiteral("u.n")) +
            QStringLiteral(", ") + WeightText(QStringLiteral("c.weight")) +
            QStringLiteral(" FROM u JOIN tb_goods_detail AS a ON a.id = u.unitId "
                           "JOIN tb_goods_head AS b ON b.id = u.headId "
                           "LEFT JOIN c ON c.goodsId = b.id");
        return sql;
    };
    return s;
}
