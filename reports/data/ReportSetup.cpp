#include "ReportSetup.h"

#include "BillSetup.h"
#include "DbError.h"
#include "StockSums.h"
#include "sqlHelper.h"

#include <QRegularExpression>
#include <vector>

const BillSetup& Setup(BillDirection dir)
{
    return BillSetup::Of(dir == BillDirection::In ? BillSetup::Inbound : BillSetup::Outbound);
}

const BillTables& Tables(BillDirection dir)
{
    // The facts are the bill store's own; the reports name them as they use them.
    const auto of = [](BillDirection d) {
        const BillSetup& s = Setup(d);
        return BillTables{d,           s.numberKind,   s.headTable,
                          s.lineTable, s.partnerIdCol, s.partnerNameCol,
                          s.priceCol,  s.sumWord};
    };
    static const BillTables in = of(BillDirection::In);
    static const BillTables out = of(BillDirection::Out);
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

// The bill date as the reports show it: the first ten characters.
const QString kDay = QStringLiteral("substr(a.createTime, 1, 10)");

using RowsStatement = std::function<ConditionSql(const ReportFill&)>;

// The fill of a work table from the SELECT of its rows.
std::function<ConditionSql(const ReportFill&)> FillFrom(const ReportSetup& s, RowsStatement rows)
{
    const QString insert = QStringLiteral("INSERT INTO ") + s.workTable + QStringLiteral("(") +
                           s.fullColumns + QStringLiteral(") ");
    return [insert, rows](const ReportFill& fill) {
        ConditionSql out = rows(fill);
        out.sql.prepend(insert);
        return out;
    };
}

// The directions of the order's columns as OrderText writes them: a column
// with its own direction keeps it, the last one takes the page's, any other
// is ascending.
QStringList OrderDirections(const QString& order, bool isDesc)
{
    QStringList dirs;
    const QStringList parts = order.split(QLatin1Char(','));
    for (int i = 0; i < parts.size(); ++i) {
        const QString p = parts.at(i).trimmed().toLower();
        if (p.endsWith(QLatin1String(" desc")))
            dirs << QStringLiteral("desc");
        else if (p.endsWith(QLatin1String(" asc")))
            dirs << QStringLiteral("asc");
        else
            dirs << (i == parts.size() - 1 && isDesc ? QStringLiteral("desc") : QStringLiteral("asc"));
    }
    return dirs;
}

// Reports of bill heads or lines in an order that is a function of the head
// (its audit state, its day) and then the row id. The chosen heads are
// counted per key of that order, which the head date index answers without
// reading a line; a page then reads only the heads of the keys it spans.
class HeadGroupPages : public DirectPages
{
  public:
    HeadGroupPages(BillTables t, QString order, QStringList keyColumns, QStringList keyExpressions,
                   QString rowsPerHead, RowsStatement rows)
        : m_t(std::move(t)), m_order(std::move(order)), m_keyColumns(std::move(keyColumns)),
          m_keyExpressions(std::move(keyExpressions)), m_rowsPerHead(std::move(rowsPerHead)),
          m_rows(std::move(rows))
    {
    }

    QString order() const override { return m_order; }

    int Count(const ReportFill& fill, bool isDesc) override
    {
        const ConditionSql sql = CountStatement(fill, isDesc);
        const QString key = countKey(fill, isDesc);
        m_countedFor.clear();
        m_groups.clear();
        m_total = 0;
        const RecordSetPtr rs = ExecuteSql(sql.sql, sql.params);
        const int keys = int(m_keyColumns.size());
        for (int r = 0; rs && r < rs->RecordCount(); ++r) {
            Group g;
            for (int k = 0; k < keys; ++k)
                g.keys << rs->value(r, k);
            g.rows = rs->value(r, keys).toLongLong();
            g.low = rs->value(r, keys + 1).toString();
            g.high = rs->value(r, keys + 2).toString();
            m_total += g.rows;
            m_groups.push_back(g);
        }
        m_countedFor = key;
        return int(m_total);
    }

    ConditionSql Page(const ReportFill& fill, bool isDesc, const QString& orderText, int offset,
                      int size) override
    {
        if (countKey(fill, isDesc) != m_countedFor)
            Count(fill, isDesc);
        // The keys the page spans, and where it starts in the first of them.
        qint64 before = 0;
        int first = -1, last = -1;
        qint64 start = 0;
        for (int i = 0; i < int(m_groups.size()); ++i) {
            const qint64 n = m_groups[size_t(i)].rows;
            if (first < 0 && before + n > offset) {
                first = i;
                start = offset - before;
            }
            before += n;
            if (first >= 0) {
                last = i;
                if (before >= qint64(offset) + size)
                    break;
            }
        }
        ReportFill narrowed = fill;
        ConditionSql keyFilter;
        if (first < 0) {
            keyFilter.sql = QStringLiteral("0");
        } else {
            QString low = m_groups[size_t(first)].low, high = m_groups[size_t(first)].high;
            QStringList values;
            for (int i = first; i <= last; ++i) {
                const Group& g = m_groups[size_t(i)];
                low = qMin(low, g.low);
                high = qMax(high, g.high);
                QStringList names;
                for (int k = 0; k < g.keys.size(); ++k) {
                    const QString name = QStringLiteral("@pk%1_%2").arg(i - first).arg(k);
                    keyFilter.params.Add(name, g.keys.at(k));
                    names << name;
                }
                values << QStringLiteral("(") + names.join(QLatin1Char(',')) + QStringLiteral(")");
            }
            keyFilter.sql = QStringLiteral("(") + m_keyColumns.join(QLatin1Char(',')) +
                            QStringLiteral(") IN (VALUES ") + values.join(QLatin1Char(',')) +
                            QStringLiteral(")");
            // The heads of those keys only: their dates lie between the
            // lowest and the highest of the keys' dates.
            narrowed.conditions.append(
                m_condition(QStringLiteral("a.createTime"), QStringLiteral(">="), low));
            narrowed.conditions.append(
                m_condition(QStringLiteral("a.createTime"), QStringLiteral("<="), high));
        }
        ConditionSql out = m_rows(narrowed);
        out.sql = QStringLiteral("SELECT * FROM (") + out.sql + QStringLiteral(") AS r WHERE ") +
                  keyFilter.sql + orderText + QStringLiteral(" LIMIT %1 OFFSET %2").arg(size).arg(start);
        out.params.Merge(keyFilter.params);
        return out;
    }

  private:
    struct Group {
        QVariantList keys;
        qint64 rows = 0;
        QString low, high; // the lowest and highest createTime of its heads
    };

    // What a count was made for: its statement and values.
    QString countKey(const ReportFill& fill, bool isDesc) const
    {
        const ConditionSql sql = CountStatement(fill, isDesc);
        QString key = sql.sql;
        for (const auto& [name, value] : sql.params.items())
            key += QLatin1Char('\n') + name + QLatin1Char('=') + FormatParaValue(value);
        return key;
    }

    // The rows per key in the order of the keys, with the keys' date range.
    ConditionSql CountStatement(const ReportFill& fill, bool isDesc) const override
    {
        const ConditionSql where = ReportConditionSql(fill.conditions, QStringLiteral("@f"));
        const QStringList dirs = OrderDirections(m_order, isDesc);
        QStringList keys, inner, order;
        for (int k = 0; k < m_keyExpressions.size(); ++k) {
            keys << QStringLiteral("k%1").arg(k);
            inner << m_keyExpressions.at(k) + QStringLiteral(" AS k%1").arg(k);
            order << QStringLiteral("k%1 ").arg(k) + dirs.value(k);
        }
        ConditionSql out;
        out.params = where.params;
        out.sql = QStringLiteral("SELECT ") + keys.join(QLatin1Char(',')) +
                  QStringLiteral(", SUM(n), MIN(raw), MAX(raw) FROM (SELECT ") +
                  inner.join(QLatin1Char(',')) + QStringLiteral(", a.createTime AS raw, ") + m_rowsPerHead +
                  QStringLiteral(" AS n FROM ") + m_t.head + QStringLiteral(" AS a WHERE 1=1") + where.sql +
                  QStringLiteral(") GROUP BY ") + keys.join(QLatin1Char(',')) + QStringLiteral(" ORDER BY ") +
                  order.join(QLatin1Char(','));
        return out;
    }

    BillTables m_t;
    QString m_order;
    QStringList m_keyColumns, m_keyExpressions;
    QString m_rowsPerHead;
    RowsStatement m_rows;
    std::vector<Group> m_groups;
    qint64 m_total = 0;
    QString m_countedFor;
};

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
    const auto rows = [t](const ReportFill& fill) {
        ConditionSql out = HeadsCte(t, fill);
        // The line totals of all chosen bills in one pass over their lines.
        out.sql = QStringLiteral("WITH ") + out.sql +
                  QStringLiteral(", s AS MATERIALIZED (SELECT d.headId, COUNT(*) AS n, SUM(d.qty) AS q, "
                                 "SUM(d.qty * d.%1) AS amount FROM h CROSS JOIN %2 AS d ON d.headId = h.id "
                                 "GROUP BY d.headId) ")
                      .arg(t.price, t.detail) +
                  QStringLiteral("SELECT h.id, h.accountId, ") + Dict(QStringLiteral("h.accountId")) +
                  QStringLiteral(" AS accountName, h.billNo, h.ubillNo, h.utypeId, ") +
                  Dict(QStringLiteral("h.utypeId")) +
                  QStringLiteral(" AS utype, h.%1, h.ispass, ").arg(t.partnerId) +
                  PassName(QStringLiteral("h")) +
                  QStringLiteral(
                      " AS passName, h.%1, h.remark, h.creator, substr(h.createTime, 1, 10) AS createTime, "
                      "h.updateLastUser, h.updateLastTime, h.userId, '1单' || COALESCE(s.n, 0) || '项' AS "
                      "totalItemRow, COALESCE(s.n, 0) AS rowsCount, COALESCE(s.q, 0) AS totalQty, "
                      "rpt_num(COALESCE(s.amount, 0), '#0.0#', '0') AS totalAmount "
                      "FROM h LEFT JOIN s ON s.headId = h.id")
                      .arg(t.partnerName);
        return out;
    };
    s.fillStatement = FillFrom(s, rows);
    // One row per bill: audited bills first (passName ascending), then by day.
    s.direct = std::make_shared<HeadGroupPages>(
        t, QStringLiteral("passName asc,createTime"),
        QStringList{QStringLiteral("passName"), QStringLiteral("createTime")},
        QStringList{PassName(QStringLiteral("a")), kDay}, QStringLiteral("1"), rows);
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
    const auto rows = [t, out](const ReportFill& fill) {
        ConditionSql sql = HeadsCte(t, fill);
        // The pieces of a goods item's default unit, when it has exactly one
        // default unit holding more than 0 pieces; otherwise no value.
        sql.sql =
            QStringLiteral("WITH ") + sql.sql +
            QStringLiteral(", u AS MATERIALIZED (SELECT headId, CASE WHEN COUNT(*) = 1 AND MAX(packQty) > 0 "
                           "THEN MAX(packQty) END AS pack FROM tb_goods_detail WHERE isDefault = 1 "
                           "GROUP BY headId) ") +
            QStringLiteral("SELECT a.id, a.headId, b.accountId, ") + Dict(QStringLiteral("b.accountId")) +
            QStringLiteral(" AS accountName, b.ispass, ") + PassName(QStringLiteral("b")) +
            QStringLiteral(" AS passName, b.billNo, b.ubillNo, b.utypeId, ") +
            Dict(QStringLiteral("b.utypeId")) +
            QStringLiteral(
                " AS utype, b.%1, b.%2, b.userId, a.rowNo, a.goodsTypeId, a.goodsTypeName, a.goodsId, "
                "a.goodsCode, a.goodsDetailCode, a.goodsName, g.pinyin AS pinyin, a.goodsDesc, a.unit, "
                "rpt_num(a.inPrice, '#0.0##') AS inPrice, ")
                .arg(t.partnerId, t.partnerName) +
            (out ? QStringLiteral("rpt_num(a.salePrice, '#0.0##') AS salePrice, ") : QString()) +
            QStringLiteral(
                "a.packQty, a.weight, a.qty, a.packQty * a.qty AS totalQty, "
                "rpt_num(CAST(a.packQty * a.qty AS REAL) / u.pack, '#0.0##', '0') AS totalDefaultQty, "
                "a.weight * a.qty AS totalWeight, rpt_num(a.%1 * a.qty, '#0.0##', '0') AS totalAmount, "
                "a.locationId, (SELECT locationCode FROM tb_location WHERE id = a.locationId) AS "
                "locationCode, "
                "a.lotNo, a.remark, b.creator, substr(b.createTime, 1, 10) AS createTime "
                "FROM h AS b JOIN %2 AS a ON a.headId = b.id "
                "LEFT JOIN tb_goods_head AS g ON g.id = a.goodsId "
                "LEFT JOIN u ON u.headId = a.goodsId")
                .arg(t.price, t.detail);
        return sql;
    };
    s.fillStatement = FillFrom(s, rows);
    // One row per line, by the day of its bill.
    s.direct = std::make_shared<HeadGroupPages>(
        t, QStringLiteral("createTime"), QStringList{QStringLiteral("createTime")}, QStringList{kDay},
        QStringLiteral("(SELECT COUNT(*) FROM %1 AS d WHERE d.headId = a.id)").arg(t.detail), rows);
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
ConditionSql GoodsSumRows(const BillTables& t, const ReportFill& fill)
{
    using namespace StockSums;
    const ConditionSql where = ReportConditionSql(fill.conditions, QStringLiteral("@f"));
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
               PiecesText(QStringLiteral("c.pieces")) + QStringLiteral(" AS total%1Qty, ").arg(t.sumWord) +
               DefaultUnitsText(DefaultUnitRule::NoValueForEmptyUnit, QStringLiteral("c.pieces"),
                                QStringLiteral("a.packQty"), QStringLiteral("u.n")) +
               QStringLiteral(" AS total%1DefaultQty, ").arg(t.sumWord) +
               WeightText(QStringLiteral("c.weight")) +
               QStringLiteral(" AS total%1Weight FROM ").arg(t.sumWord) + kGoodsRows +
               QStringLiteral(" LEFT JOIN c ON c.goodsId = b.id");
    return sql;
}

} // namespace

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
    // The sums are always filled whole: a sum of a page's items read on
    // its own could add its lines in another order and differ in its last
    // digit from the same sum in the table.
    s.fillStatement = FillFrom(s, [t](const ReportFill& fill) { return GoodsSumRows(t, fill); });
    return s;
}
