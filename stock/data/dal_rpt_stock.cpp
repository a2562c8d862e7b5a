#include "dal_rpt_stock.h"

#include "DbError.h"
#include "Numbers.h"
#include "PrintXml.h"
#include "ProcessFuntionValues.h"
#include "StringBulider.h"
#include "sqlHelper.h"

#include <QSqlDriver>
#include <bit>
#include <cstdint>
#include <sqlite3.h>
#include <unordered_map>

namespace
{

const QStringList kTotals = {
    QStringLiteral("totalImportQty"),        QStringLiteral("totalImportDefaultQty"),
    QStringLiteral("totalImportWeight"),     QStringLiteral("totalExportQty"),
    QStringLiteral("totalExportDefaultQty"), QStringLiteral("totalExportWeight"),
    QStringLiteral("totalBlanceQty"),        QStringLiteral("totalBlanceDefaultQty"),
    QStringLiteral("totalBlanceWeight"),
};

// The totals are text columns holding the stored forms; the figures of the
// goods item are copied as the catalogue holds them.
const QString kColumnDefs =
    QStringLiteral("id INTEGER, goodsTypeId INTEGER, goodsTypeName TEXT, goodsCode TEXT COLLATE NOCASE,"
                   " goodsName TEXT, goodsDesc TEXT, pinyin TEXT, upqty REAL, downqty REAL, status TEXT,"
                   " isDefault INTEGER, unit TEXT,"
                   " totalImportQty TEXT, totalImportDefaultQty TEXT, totalImportWeight TEXT,"
                   " totalExportQty TEXT, totalExportDefaultQty TEXT, totalExportWeight TEXT,"
                   " totalBlanceQty TEXT, totalBlanceDefaultQty TEXT, totalBlanceWeight TEXT");

// ---- the number forms, as SQL functions of the connection ----
//
// The rebuild writes every row in one INSERT ... SELECT; the stored forms come
// from the program's own number formatter, called from inside that statement
// so that no row makes a round trip through the program. Each distinct value
// is formatted once per rebuild: stock figures repeat a lot (whole pieces,
// boxes of the same size).

struct FormCache {
    std::unordered_map<std::uint64_t, QByteArray> sums[4];
    std::unordered_map<std::uint64_t, QByteArray> diffs[4];
    void clear()
    {
        for (auto& m : sums)
            m.clear();
        for (auto& m : diffs)
            m.clear();
    }
};

FormCache& formCache()
{
    static FormCache cache;
    return cache;
}

int placesOf(sqlite3_value* v)
{
    return qBound(0, sqlite3_value_int(v), 3);
}

void resultText(sqlite3_context* ctx, const QByteArray& text)
{
    sqlite3_result_text(ctx, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

// stock_sum(sum, places): the stored form of a sum, "#0.0##" (3 places) or
// "#0.0#" (2 places); "0" for no lines (Null) and for a sum that rounds to zero.
void stockSum(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    static const QByteArray zero("0");
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        resultText(ctx, zero);
        return;
    }
    const double value = sqlite3_value_double(argv[0]);
    const int places = placesOf(argv[1]);
    auto& map = formCache().sums[places];
    const std::uint64_t key = std::bit_cast<std::uint64_t>(value);
    auto it = map.find(key);
    if (it == map.end()) {
        const QString format = places >= 3 ? QStringLiteral("#0.0##") : QStringLiteral("#0.0#");
        QString text = FormatNumber(value, format);
        if (ReadNumber(text) == 0.0)
            text = QStringLiteral("0");
        it = map.emplace(key, text.toLatin1()).first;
    }
    resultText(ctx, it->second);
}

// stock_diff(in, out, places): the balance of two stored sums in its plain
// form, rounded to places so that the zero-balance filter is exact.
void stockDiff(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const double in = sqlite3_value_double(argv[0]);
    const double out = sqlite3_value_double(argv[1]);
    const int places = placesOf(argv[2]);
    const double diff = in - out;
    auto& map = formCache().diffs[places];
    const std::uint64_t key = std::bit_cast<std::uint64_t>(diff);
    auto it = map.find(key);
    if (it == map.end())
        it = map.emplace(key, PlainNumber(diff, places).toLatin1()).first;
    resultText(ctx, it->second);
}

void registerFunctions()
{
    OpenConn();
    const QVariant handle = SharedConn().driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw DbError(QStringLiteral("库存计算需要 SQLite 数据库连接"));
    sqlite3* db = *static_cast<sqlite3* const*>(handle.constData());
    if (!db)
        throw DbError(QStringLiteral("数据库连接未打开"));
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    if (sqlite3_create_function_v2(db, "stock_sum", 2, flags, nullptr, stockSum, nullptr, nullptr, nullptr) !=
            SQLITE_OK ||
        sqlite3_create_function_v2(db, "stock_diff", 3, flags, nullptr, stockDiff, nullptr, nullptr,
                                   nullptr) != SQLITE_OK)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(db)));
}

// The grouped sums of one direction: pieces and weight per goods item over
// the lines of audited bills of the listed account tags.
QString directionSums(const QString& name, const QString& lines, const QString& heads)
{
    return QStringLiteral("%1 AS MATERIALIZED (SELECT d.goodsId, SUM(d.qty * d.packQty) AS pieces,"
                          " SUM(d.qty * d.weight) AS weight"
                          " FROM %2 AS d JOIN %3 AS h ON h.id = d.headId"
                          " WHERE h.ispass = 1 AND h.accountId IN (@acc)"
                          " GROUP BY d.goodsId)")
        .arg(name, lines, heads);
}

QString defaultUnits(const QString& pieces)
{
    return QStringLiteral("CASE WHEN a.packQty = 0 THEN 0 ELSE %1 / a.packQty END").arg(pieces);
}

ParamMap withAccounts(const QString& accounts)
{
    ParamMap params;
    params.Add(QStringLiteral("@acc"), NList(accounts));
    return params;
}

// The rebuild, one statement: the sums of both directions once per goods
// item, the stored forms of the six sums, then the balances of those forms.
ConditionSql rebuildStatement(const ReportFill& fill)
{
    registerFunctions();
    formCache().clear();
    const QString columns = dal_rpt_stock::Columns().join(QLatin1Char(','));
    ConditionSql out;
    out.params = withAccounts(fill.accountList);
    out.sql =
        QStringLiteral("WITH ") +
        directionSums(QStringLiteral("i"), QStringLiteral("tb_rk_detail"), QStringLiteral("tb_rk_head")) +
        QStringLiteral(", ") +
        directionSums(QStringLiteral("o"), QStringLiteral("tb_ck_detail"), QStringLiteral("tb_ck_head")) +
        QStringLiteral(
            ", s AS MATERIALIZED (SELECT b.id, b.goodsTypeId,"
            " COALESCE((SELECT uname FROM tb_dictionary WHERE id = b.goodsTypeId), '') AS goodsTypeName,"
            " b.goodsCode, b.goodsName, b.goodsDesc, b.pinyin, b.upqty, b.downqty, b.status,"
            " a.isDefault, a.unit,"
            " stock_sum(i.pieces, 3) AS inQty, stock_sum(%1, 3) AS inDefault,"
            " stock_sum(i.weight, 2) AS inWeight,"
            " stock_sum(o.pieces, 3) AS outQty, stock_sum(%2, 3) AS outDefault,"
            " stock_sum(o.weight, 2) AS outWeight"
            " FROM tb_goods_detail AS a JOIN tb_goods_head AS b ON b.id = a.headId"
            " LEFT JOIN i ON i.goodsId = b.id LEFT JOIN o ON o.goodsId = b.id"
            " WHERE a.isDefault = 1) ")
            .arg(defaultUnits(QStringLiteral("i.pieces")), defaultUnits(QStringLiteral("o.pieces"))) +
        QStringLiteral("INSERT INTO temp_rpt_stock (") + columns + QStringLiteral(") ") +
        QStringLiteral(
            "SELECT id, goodsTypeId, goodsTypeName, goodsCode, goodsName, goodsDesc, pinyin, upqty,"
            " downqty, status, isDefault, unit, inQty, inDefault, inWeight, outQty, outDefault,"
            " outWeight, stock_diff(inQty, outQty, 3), stock_diff(inDefault, outDefault, 3),"
            " stock_diff(inWeight, outWeight, 2) FROM s");
    return out;
}

} // namespace

const QStringList& dal_rpt_stock::Columns()
{
    static const QStringList columns = {
        QStringLiteral("id"),
        QStringLiteral("goodsTypeId"),
        QStringLiteral("goodsTypeName"),
        QStringLiteral("goodsCode"),
        QStringLiteral("goodsName"),
        QStringLiteral("goodsDesc"),
        QStringLiteral("pinyin"),
        QStringLiteral("upqty"),
        QStringLiteral("downqty"),
        QStringLiteral("status"),
        QStringLiteral("isDefault"),
        QStringLiteral("unit"),
        QStringLiteral("totalImportQty"),
        QStringLiteral("totalImportDefaultQty"),
        QStringLiteral("totalImportWeight"),
        QStringLiteral("totalExportQty"),
        QStringLiteral("totalExportDefaultQty"),
        QStringLiteral("totalExportWeight"),
        QStringLiteral("totalBlanceQty"),
        QStringLiteral("totalBlanceDefaultQty"),
        QStringLiteral("totalBlanceWeight"),
    };
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
        QStringLiteral("totalImportQty"),
        QStringLiteral("totalExportQty"),
        QStringLiteral("totalBlanceQty"),
        QStringLiteral("totalImportWeight"),
        QStringLiteral("totalExportWeight"),
        QStringLiteral("totalBlanceWeight"),
        QStringLiteral("totalImportDefaultQty"),
        QStringLiteral("totalExportDefaultQty"),
        QStringLiteral("totalBlanceDefaultQty"),
    };
    return columns;
}

QString dal_rpt_stock::OrderExpression(const QString& field)
{
    const QString f = field.trimmed();
    for (const QString& c : Columns()) {
        if (c.compare(f, Qt::CaseInsensitive) != 0)
            continue;
        return kTotals.contains(c) ? QStringLiteral("CAST(%1 AS REAL)").arg(c) : c;
    }
    throw DbError(QStringLiteral("无效的排序字段: ") + field);
}

QString dal_rpt_stock::KeywordField()
{
    return QStringLiteral("COALESCE(goodsCode,'')||COALESCE(goodsName,'')||COALESCE(pinyin,'')||"
                          "COALESCE(goodsDesc,'')||COALESCE(goodsTypeName,'')");
}

QString dal_rpt_stock::BalanceField()
{
    return QStringLiteral("CAST(totalBlanceQty AS REAL)");
}

ReportSetup StockSetup()
{
    ReportSetup s;
    s.workTable = QStringLiteral("temp_rpt_stock");
    s.columnDefs = kColumnDefs;
    s.fullColumns = dal_rpt_stock::Columns().join(QLatin1Char(','));
    s.exportColumns = dal_rpt_stock::ExportColumns().join(QLatin1Char(','));
    s.fillStatement = rebuildStatement;
    return s;
}

dal_rpt_stock::dal_rpt_stock() : dal_rpt_Report(StockSetup()) {}

m_DBresult dal_rpt_stock::insert_temp_rpt_stock(const QString& str_JoinAccountTypeId)
{
    ReportFill fill;
    fill.accountList = str_JoinAccountTypeId;
    const m_DBresult result = insert_temp(fill);
    formCache().clear();
    return result;
}

m_recordSet dal_rpt_stock::GetListForCondition(const m_conditions& ilstPara, const QString& JoinAccountTypeId,
                                               m_PageInfor& objM_PageInfor, const QString& str_sql)
{
    ReportFill fill;
    fill.accountList = JoinAccountTypeId;
    const m_recordSet out = dal_rpt_Report::GetListForCondition(fill, ilstPara, objM_PageInfor, str_sql);
    formCache().clear();
    return out;
}

int dal_rpt_stock::GetCount(const ConditionSql& str_condition)
{
    // Before the first rebuild of this connection the table is empty.
    ExecuteSql(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS temp_rpt_stock (") + kColumnDefs +
               QStringLiteral(")"));
    const RecordSetPtr rs =
        ExecuteSql(QStringLiteral("select count(*) from temp_rpt_stock where 1=1 ") + str_condition.sql,
                   str_condition.params);
    return rs && !rs->isEmpty() ? rs->value(0, 0).toInt() : 0;
}

RecordSetPtr dal_rpt_stock::GetStockQtyForGoodCode(const QString&, int int_goodsId)
{
    // The account list is not applied: the row is the last rebuild's.
    ConditionSql condition;
    condition.sql = QStringLiteral(" and (id=@goodsId)");
    condition.params.Add(QStringLiteral("@goodsId"), int_goodsId);
    return GetDataTable(condition, {}, false);
}

std::optional<double> dal_rpt_stock::GetLiveStockQty(const QString& str_JoinAccountTypeId, int int_goodsId)
{
    // The rebuild's figures for one goods item: the same lines, the same
    // rounding of each sum, the same rounded difference.
    StringBulider m_sql;
    m_sql.Append(QStringLiteral("SELECT"));
    m_sql.Append(
        QStringLiteral(" (SELECT SUM(d.qty * d.packQty) FROM tb_rk_detail AS d"
                       " JOIN tb_rk_head AS h ON h.id = d.headId"
                       " WHERE d.goodsId = b.id AND h.ispass = 1 AND h.accountId IN (@acc)) AS inQty,"));
    m_sql.Append(
        QStringLiteral(" (SELECT SUM(d.qty * d.packQty) FROM tb_ck_detail AS d"
                       " JOIN tb_ck_head AS h ON h.id = d.headId"
                       " WHERE d.goodsId = b.id AND h.ispass = 1 AND h.accountId IN (@acc)) AS outQty"));
    m_sql.Append(QStringLiteral(" FROM tb_goods_detail AS a JOIN tb_goods_head AS b ON b.id = a.headId"
                                " WHERE a.isDefault = 1 AND b.id = @goodsId LIMIT 1"));
    ParamMap params = withAccounts(str_JoinAccountTypeId);
    params.Add(QStringLiteral("@goodsId"), int_goodsId);
    const RecordSetPtr rs = ExecuteSql(m_sql.ToString(), params);
    if (!rs || rs->isEmpty())
        return std::nullopt;
    const double in = RoundHalfAway(ReadNumber(rs->value(0, 0)), 3);
    const double out = RoundHalfAway(ReadNumber(rs->value(0, 1)), 3);
    return RoundHalfAway(in - out, 3);
}
