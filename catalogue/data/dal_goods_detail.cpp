#include "dal_goods_detail.h"

#include "DataAccess.h"
#include "DbError.h"
#include "Numbers.h"
#include "ProcessFuntionValues.h"
#include "dal_goods_head.h"
#include "sqlHelper.h"

#include <QSqlError>
#include <QSqlResult>
#include <iterator>
#include <sqlite3.h>

const QString dal_goods_detail::kNoDefaultUnitText = QStringLiteral("货品必须有且只有一个默认包装单位!");
// keyText holds inputGoodsCode||goodsName||pinyin||goodsDetailCode ready joined.
const QString dal_goods_detail::kInputKeywordField = QStringLiteral("COALESCE(keyText,'')");
const QString dal_goods_detail::kInputKeywordFieldShort =
    QStringLiteral("COALESCE(inputGoodsCode,'')||COALESCE(goodsName,'')||COALESCE(pinyin,'')");
const QString dal_goods_detail::kNoUnitText = QStringLiteral("至少需要保存1个包装单位!");

namespace
{

const QString kInputSelect = QStringLiteral(
    "select "
    "utype,id,headId,rowNo,goodsTypeId,goodsTypeName,goodsCode,goodsDetailCode,inputGoodsCode,isDefault,"
    "goodsName,goodsDesc,pinyin,status,upqty,downqty,unit,packQty,weight,inPrice,salePrice  ");

const QString kDetailSelect = QStringLiteral(
    "select "
    "id,headId,rowNo,goodsTypeId,goodsTypeName,goodsCode,goodsName,goodsDesc,pinyin,status,upqty,downqty,"
    "isDefault,goodsDetailCode,unit,packQty,weight,inPrice,salePrice  ");

// The columns both views share.
void readUnit(const RecordSet& rs, m_goods_detail& m)
{
    m.id = rs.integer(0, QStringLiteral("id"));
    m.headId = rs.integer(0, QStringLiteral("headId"));
    m.rowNo = rs.integer(0, QStringLiteral("rowNo"));
    m.goodsTypeId = rs.integer(0, QStringLiteral("goodsTypeId"));
    m.isDefault = rs.integer(0, QStringLiteral("isDefault"));
    m.status = rs.text(0, QStringLiteral("status"));
    m.upqty = rs.number(0, QStringLiteral("upqty"));
    m.downqty = rs.number(0, QStringLiteral("downqty"));
    m.packQty = rs.number(0, QStringLiteral("packQty"));
    m.weight = rs.number(0, QStringLiteral("weight"));
    m.inPrice = rs.number(0, QStringLiteral("inPrice"));
    m.salePrice = rs.number(0, QStringLiteral("salePrice"));
    m.goodsTypeName = rs.text(0, QStringLiteral("goodsTypeName"));
    m.goodsCode = rs.text(0, QStringLiteral("goodsCode"));
    m.goodsName = rs.text(0, QStringLiteral("goodsName"));
    m.goodsDesc = rs.text(0, QStringLiteral("goodsDesc"));
    m.pinyin = rs.text(0, QStringLiteral("pinyin"));
    m.goodsDetailCode = rs.text(0, QStringLiteral("goodsDetailCode"));
    m.unit = rs.text(0, QStringLiteral("unit"));
}

// After a single unit's change the item has units, so only the default rule
// can be broken; one text for none and for two.
void requireOneDefaultUnitAfterChange(int headId)
{
    if (ScalarInt(QStringLiteral("select count(*) from tb_goods_detail where headId=@headId and isDefault=1"),
                  ParamMap{{QStringLiteral("@headId"), headId}}) != 1)
        throw DbError(dal_goods_detail::kNoDefaultUnitText);
}

// A change of an item's units is a change of the item: its stamp is raised,
// so a window holding the item as it was is refused when it saves.
void touchGoods(int headId)
{
    ExecuteParaSql(QStringLiteral("update tb_goods_head set rowVersion=rowVersion+1 where id=@id"),
                   ParamMap{{QStringLiteral("@id"), headId}});
}

const QString kInsertUnit =
    QStringLiteral("insert into tb_goods_detail "
                   "(id,headId,isDefault,rowNo,goodsDetailCode,unit,packQty,weight,inPrice,salePrice ) "
                   " values ("
                   "@id,@headId,@isDefault,@rowNo,@goodsDetailCode,@unit,@packQty,@weight,@inPrice,"
                   "@salePrice "
                   ") ");

// Replaces every unit of goods item headId by what writeUnits writes, inside
// one transaction: the item must still exist, check (when given) must pass
// against the units as stored, and the item must be left with exactly one
// default unit; otherwise nothing is written.
m_DBresult replaceUnits(int headId, const std::function<void()>& check,
                        const std::function<void()>& writeUnits)
{
    return RunTrans([&] {
        if (ScalarInt(QStringLiteral("select count(*) from tb_goods_head where id=@id"),
                      ParamMap{{QStringLiteral("@id"), headId}}) < 1)
            throw DbError(dal_goods_head::kGoodsMissingText);
        if (check)
            check();
        ExecuteParaSql(QStringLiteral("delete from tb_goods_detail where headId=@headId"),
                       ParamMap{{QStringLiteral("@headId"), headId}});
        writeUnits();
        dal_goods_detail::RequireOneDefaultUnit(headId);
        touchGoods(headId);
    });
}

// A query prepared once on the shared connection whose rows are read through
// the SQLite C API. The query object owns the statement: closing the
// connection finalizes it, and the next use prepares it again on the
// connection then open. The columns a reader asks for are named; where each
// stands in the result is looked up once, when the statement is prepared.
class NativeLookup
{
  public:
    NativeLookup(QString sql, QList<QByteArray> columns)
        : m_sql(std::move(sql)), m_columns(std::move(columns))
    {
    }

    // The statement, reset and ready to bind. Throws DbError when it cannot
    // be prepared or its result lacks a named column.
    sqlite3_stmt* Start()
    {
        // A statement still prepared means its connection is open: closing
        // the connection finalizes it.
        sqlite3_stmt* stmt = statement();
        if (!stmt) {
            OpenConn();
            m_query = QSqlQuery(SharedConn());
            if (!m_query.prepare(m_sql))
                throw SqlFailure(m_query.lastError());
            stmt = statement();
            if (!stmt)
                throw DbError(QStringLiteral("货品查询需要 SQLite 数据库连接"));
            mapColumns(stmt);
        }
        return stmt;
    }
    // The position in the result of the k-th named column.
    int column(qsizetype k) const { return m_positions.at(k); }
    // The failure of the last step, as the database reported it.
    DbError Failure() const
    {
        sqlite3_stmt* stmt = statement();
        if (!stmt)
            return SqlFailure(0, QString());
        sqlite3* db = sqlite3_db_handle(stmt);
        return SqlFailure(sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db)));
    }

  private:
    void mapColumns(sqlite3_stmt* stmt)
    {
        m_positions.clear();
        const int count = sqlite3_column_count(stmt);
        for (const QByteArray& name : m_columns) {
            int found = -1;
            for (int c = 0; c < count && found < 0; ++c) {
                if (qstricmp(sqlite3_column_name(stmt, c), name.constData()) == 0)
                    found = c;
            }
            if (found < 0) {
                m_query = QSqlQuery();
                throw DbError(QStringLiteral("货品查询没有列 ") + QString::fromLatin1(name));
            }
            m_positions.append(found);
        }
    }

    sqlite3_stmt* statement() const
    {
        const QSqlResult* result = m_query.result();
        if (!result)
            return nullptr;
        const QVariant handle = result->handle();
        if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3_stmt*") != 0)
            return nullptr;
        return *static_cast<sqlite3_stmt* const*>(handle.constData());
    }

    QString m_sql;
    QList<QByteArray> m_columns;
    QList<int> m_positions;
    QSqlQuery m_query;
};

// Leaves the statement reset (no read lock held) and its values cleared.
struct StatementReset {
    sqlite3_stmt* stmt;
    ~StatementReset()
    {
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
    }
};

// The current row's columns read as the record sets read them: a Null text
// as the empty text, a Null or unreadable number as 0 (ReadNumber), an
// integer column as the whole part of its number.
struct NativeRow {
    sqlite3_stmt* stmt;

    QString text(int col) const
    {
        switch (sqlite3_column_type(stmt, col)) {
        case SQLITE_NULL:
            return {};
        case SQLITE_INTEGER:
            return QString::number(qlonglong(sqlite3_column_int64(stmt, col)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(stmt, col)).toString();
        default: {
            // The stored UTF-8 as it is: asking SQLite for UTF-16 would
            // convert it into a buffer of its own first.
            const auto* chars = reinterpret_cast<const char*>(sqlite3_column_text(stmt, col));
            return QString::fromUtf8(chars, sqlite3_column_bytes(stmt, col));
        }
        }
    }
    double number(int col) const
    {
        switch (sqlite3_column_type(stmt, col)) {
        case SQLITE_NULL:
            return 0.0;
        case SQLITE_INTEGER:
            return double(sqlite3_column_int64(stmt, col));
        case SQLITE_FLOAT:
            return sqlite3_column_double(stmt, col);
        default:
            return ReadNumber(text(col));
        }
    }
    int integer(int col) const { return int(number(col)); }
};

// What bill entry's lookup fills from a matching unit: each column by name,
// with the member it fills.
struct InputField {
    const char* column;
    void (*read)(const NativeRow& row, int col, m_goods_detail& m);
};

const InputField kInputFields[] = {
    {"utype", [](const NativeRow& r, int c, m_goods_detail& m) { m.utype = r.text(c); }},
    {"id", [](const NativeRow& r, int c, m_goods_detail& m) { m.id = r.integer(c); }},
    {"headId", [](const NativeRow& r, int c, m_goods_detail& m) { m.headId = r.integer(c); }},
    {"rowNo", [](const NativeRow& r, int c, m_goods_detail& m) { m.rowNo = r.integer(c); }},
    {"goodsTypeId", [](const NativeRow& r, int c, m_goods_detail& m) { m.goodsTypeId = r.integer(c); }},
    {"goodsTypeName", [](const NativeRow& r, int c, m_goods_detail& m) { m.goodsTypeName = r.text(c); }},
    {"goodsCode", [](const NativeRow& r, int c, m_goods_detail& m) { m.goodsCode = r.text(c); }},
    {"goodsDetailCode", [](const NativeRow& r, int c, m_goods_detail& m) { m.goodsDetailCode = r.text(c); }},
    {"isDefault", [](const NativeRow& r, int c, m_goods_detail& m) { m.isDefault = r.integer(c); }},
    {"goodsName", [](const NativeRow& r, int c, m_goods_detail& m) { m.goodsName = r.text(c); }},
    {"goodsDesc", [](const NativeRow& r, int c, m_goods_detail& m) { m.goodsDesc = r.text(c); }},
    {"pinyin", [](const NativeRow& r, int c, m_goods_detail& m) { m.pinyin = r.text(c); }},
    {"status", [](const NativeRow& r, int c, m_goods_detail& m) { m.status = r.text(c); }},
    {"upqty", [](const NativeRow& r, int c, m_goods_detail& m) { m.upqty = r.number(c); }},
    {"downqty", [](const NativeRow& r, int c, m_goods_detail& m) { m.downqty = r.number(c); }},
    {"unit", [](const NativeRow& r, int c, m_goods_detail& m) { m.unit = r.text(c); }},
    {"packQty", [](const NativeRow& r, int c, m_goods_detail& m) { m.packQty = r.number(c); }},
    {"weight", [](const NativeRow& r, int c, m_goods_detail& m) { m.weight = r.number(c); }},
    {"inPrice", [](const NativeRow& r, int c, m_goods_detail& m) { m.inPrice = r.number(c); }},
    {"salePrice", [](const NativeRow& r, int c, m_goods_detail& m) { m.salePrice = r.number(c); }},
};

QList<QByteArray> InputColumns()
{
    QList<QByteArray> names;
    for (const InputField& f : kInputFields)
        names.append(QByteArray(f.column));
    return names;
}

} // namespace

ParamMap dal_goods_detail::UnitParams(const m_goods_detail& m)
{
    return ParamMap{{QStringLiteral("@id"), m.id},
                    {QStringLiteral("@headId"), m.headId},
                    {QStringLiteral("@isDefault"), m.isDefault},
                    {QStringLiteral("@rowNo"), m.rowNo},
                    {QStringLiteral("@goodsDetailCode"), m.goodsDetailCode},
                    {QStringLiteral("@unit"), m.unit},
                    {QStringLiteral("@packQty"), m.packQty},
                    {QStringLiteral("@weight"), m.weight},
                    {QStringLiteral("@inPrice"), m.inPrice},
                    {QStringLiteral("@salePrice"), m.salePrice}};
}

void dal_goods_detail::RequireOneDefaultUnit(int headId)
{
    const ParamMap p{{QStringLiteral("@headId"), headId}};
    if (ScalarInt(QStringLiteral("select count(*) from tb_goods_detail where headId=@headId"), p) == 0)
        throw DbError(kNoUnitText);
    if (ScalarInt(QStringLiteral("select count(*) from tb_goods_detail where headId=@headId and isDefault=1"),
                  p) != 1)
        throw DbError(kNoDefaultUnitText);
}

void dal_goods_detail::Add(const m_goods_detail& obj_Model)
{
    TransactionGuard trans;
    ExecuteParaSql(kInsertUnit, UnitParams(obj_Model));
    requireOneDefaultUnitAfterChange(obj_Model.headId);
    touchGoods(obj_Model.headId);
    trans.commit();
}

m_goods_detail dal_goods_detail::GetModelForInput(const QString& inputGoodsCode, int goodsId)
{
    // A scanner looks up every item it reads: the statements are prepared
    // once and their rows read natively.
    static const QString byCode = kInputSelect + QStringLiteral(" from v_goods_detail_input ") +
                                  QStringLiteral(" where status='启用' ") +
                                  QStringLiteral(" and (inputGoodsCode=?) ");
    static NativeLookup anyUnit(byCode, InputColumns());
    static NativeLookup oneUnit(byCode + QStringLiteral(" and id=?"), InputColumns());
    NativeLookup& lookup = goodsId > 0 ? oneUnit : anyUnit;
    const QByteArray code = inputGoodsCode.toUtf8();
    sqlite3_stmt* stmt = lookup.Start();
    const StatementReset reset{stmt};
    sqlite3_bind_text(stmt, 1, code.constData(), int(code.size()), SQLITE_STATIC);
    if (goodsId > 0)
        sqlite3_bind_int64(stmt, 2, goodsId);

    m_goods_detail m;
    int rc = sqlite3_step(stmt);
    if (rc == SQLITE_DONE)
        return m;
    if (rc != SQLITE_ROW)
        throw lookup.Failure();
    const NativeRow row{stmt};
    for (qsizetype k = 0; k < qsizetype(std::size(kInputFields)); ++k)
        kInputFields[k].read(row, lookup.column(k), m);
    int rows = 1;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        ++rows;
    if (rc != SQLITE_DONE)
        throw lookup.Failure();
    m.irowsCount = rows;
    m.inputGoodsCode = inputGoodsCode;
    return m;
}

const SearchFields& dal_goods_detail::searchFields()
{
    static const SearchFields fields{{SearchKey::Id, QStringLiteral("id")},
                                     {SearchKey::HeadId, QStringLiteral("headId")},
                                     {SearchKey::Status, QStringLiteral("status")},
                                     {SearchKey::Keyword, kInputKeywordField},
                                     {SearchKey::ShortKeyword, kInputKeywordFieldShort}};
    return fields;
}

m_recordSet dal_goods_detail::GetListForInputAndCondition(const m_conditions& ilstPara)
{
    return GetListForInputAndCondition(ilstPara, SelectListOf({}));
}

m_recordSet dal_goods_detail::GetListForInputAndCondition(const m_conditions& ilstPara,
                                                          const SelectList& columns)
{
    const QString& str_sql = columns.text();
    return SelectForConditions((IsNullOrEmpty(str_sql) ? kInputSelect : str_sql) +
                                   QStringLiteral(" from v_goods_detail_input "),
                               ilstPara, searchFields());
}

m_recordSet dal_goods_detail::GetListForCondition(const m_conditions& ilstPara)
{
    return GetListForCondition(ilstPara, SelectListOf({}));
}

m_recordSet dal_goods_detail::GetListForCondition(const m_conditions& ilstPara, const SelectList& columns)
{
    const QString& str_sql = columns.text();
    return SelectForConditions(
        (IsNullOrEmpty(str_sql) ? kDetailSelect : str_sql) + QStringLiteral(" from v_goods_detail "),
        ilstPara, searchFields(), QStringLiteral(" order by isDefault desc,rowNo asc,id"));
}

m_goods_detail dal_goods_detail::GetModel(int int_Id)
{
    const RecordSetPtr rs =
        ExecuteSql(kDetailSelect + QStringLiteral(" from v_goods_detail ") + QStringLiteral(" where id=@id"),
                   ParamMap{{QStringLiteral("@id"), int_Id}});
    m_goods_detail m;
    if (!rs->isEmpty())
        readUnit(*rs, m);
    return m;
}

m_goods_detail dal_goods_detail::GetModelForDefault(int int_headId)
{
    const RecordSetPtr rs = ExecuteSql(kDetailSelect + QStringLiteral(" from v_goods_detail ") +
                                           QStringLiteral(" where isDefault=1 ") +
                                           QStringLiteral(" and headId=@headId order by rowNo,id limit 1"),
                                       ParamMap{{QStringLiteral("@headId"), int_headId}});
    m_goods_detail m;
    if (!rs->isEmpty())
        readUnit(*rs, m);
    return m;
}

m_DBresult dal_goods_detail::Delete(int int_Id)
{
    return deleteUnit(int_Id, nullptr);
}

m_DBresult dal_goods_detail::Delete(int int_Id, int& goodsVersion)
{
    return deleteUnit(int_Id, &goodsVersion);
}

m_DBresult dal_goods_detail::deleteUnit(int int_Id, int* goodsVersion)
{
    int version = goodsVersion ? *goodsVersion : 0;
    const m_DBresult result = RunTrans([&] {
        const ParamMap p{{QStringLiteral("@id"), int_Id}};
        const RecordSetPtr rs =
            ExecuteSql(QStringLiteral("select isDefault,headId from tb_goods_detail where id=@id"), p);
        if (rs->isEmpty())
            throw DbError(goodsVersion ? kRecordChangedText : QStringLiteral("当前记录不存在!"));
        const int headId = rs->integer(0, QStringLiteral("headId"));
        if (goodsVersion)
            RequireUnchanged(QStringLiteral("tb_goods_head"), headId, version,
                             dal_goods_head::kGoodsMissingText);
        if (rs->integer(0, QStringLiteral("isDefault")) == 1)
            throw DbError(QStringLiteral("默认包装单位,不能删除!"));
        ExecuteParaSql(QStringLiteral("Delete From tb_goods_detail where id=@id"), p);
        touchGoods(headId);
        ++version;
    });
    if (result.isResult && goodsVersion)
        *goodsVersion = version;
    return result;
}

void dal_goods_detail::Update(const m_goods_detail& obj_Model)
{
    TransactionGuard trans;
    // A unit moved to another item leaves its old item to be checked too.
    const int oldHeadId = ScalarInt(QStringLiteral("select headId from tb_goods_detail where id=@id"),
                                    ParamMap{{QStringLiteral("@id"), obj_Model.id}});
    ExecuteChangingRow(QStringLiteral("update tb_goods_detail "
                                      " set headId=@headId,"
                                      " isDefault=@isDefault,"
                                      " rowNo=@rowNo,"
                                      " goodsDetailCode=@goodsDetailCode,"
                                      " unit=@unit,"
                                      " packQty=@packQty,"
                                      " weight=@weight,"
                                      " inPrice=@inPrice,"
                                      " salePrice=@salePrice"
                                      " where id=@id"),
                       UnitParams(obj_Model));
    requireOneDefaultUnitAfterChange(obj_Model.headId);
    touchGoods(obj_Model.headId);
    if (oldHeadId != obj_Model.headId) {
        requireOneDefaultUnitAfterChange(oldHeadId);
        touchGoods(oldHeadId);
    }
    trans.commit();
}

m_DBresult dal_goods_detail::Update_Default(int int_Id, int int_headId)
{
    return setDefault(int_Id, int_headId, nullptr);
}

m_DBresult dal_goods_detail::Update_Default(int int_Id, int int_headId, int& goodsVersion)
{
    return setDefault(int_Id, int_headId, &goodsVersion);
}

m_DBresult dal_goods_detail::setDefault(int int_Id, int int_headId, int* goodsVersion)
{
    int version = goodsVersion ? *goodsVersion : 0;
    const m_DBresult result = RunTrans([&] {
        if (goodsVersion)
            RequireUnchanged(QStringLiteral("tb_goods_head"), int_headId, version,
                             dal_goods_head::kGoodsMissingText);
        const ParamMap params{{QStringLiteral("@headId"), int_headId}, {QStringLiteral("@id"), int_Id}};
        // The mark must land on a unit of this very item before the others lose theirs.
        ExecuteChangingRow(
            QStringLiteral("update tb_goods_detail  set isDefault=1 where headId=@headId and id=@id"),
            params);
        ExecuteParaSql(
            QStringLiteral("update tb_goods_detail  set isDefault=0 where headId=@headId  and id<>@id"),
            params);
        touchGoods(int_headId);
        ++version;
    });
    if (result.isResult && goodsVersion)
        *goodsVersion = version;
    return result;
}

m_DBresult dal_goods_detail::SaveUnits(int headId, int& goodsVersion, QList<m_goods_detail>& units,
                                       const QStringList& newBarcodes,
                                       const QList<GoodsBarcode>& storedBarcodes)
{
    QList<m_goods_detail> written = units;
    // A grid loaded before another workstation's save names units that are
    // gone: the item's stamp tells so before its barcodes are judged.
    const auto unchangedAndFree = [&] {
        RequireUnchanged(QStringLiteral("tb_goods_head"), headId, goodsVersion,
                         dal_goods_head::kGoodsMissingText);
        const m_DBresult unique = check_GoodsCode(newBarcodes, storedBarcodes);
        if (!unique.isResult)
            throw DbError(unique.str_MsgBox);
    };
    const m_DBresult result = replaceUnits(headId, unchangedAndFree, [&] {
        int nextId = TakeIds(QStringLiteral("tb_goods_detail"), int(written.size()));
        for (m_goods_detail& m : written) {
            m.id = nextId++;
            m.headId = headId;
            ExecuteParaSql(kInsertUnit, UnitParams(m));
        }
    });
    if (result.isResult) {
        units = written;
        ++goodsVersion;
    }
    return result;
}

m_DBresult dal_goods_detail::Batch_Update(int int_headId, const KeyValue& ilstSqlAndModel)
{
    return replaceUnits(int_headId, {}, [&] {
        for (const auto& [key, value] : ilstSqlAndModel.Items()) {
            if (!value.canConvert<m_goods_detail>() || value.typeId() != qMetaTypeId<m_goods_detail>())
                throw DbError(QStringLiteral("包装单位数据无效: ") + key);
            ExecuteParaSql(GetSqlFromKey(key), UnitParams(value.value<m_goods_detail>()));
        }
    });
}

m_recordSet dal_goods_detail::GetUnitRows(int headId)
{
    return GetListForCondition(
        {m_condition(SearchKey::HeadId, QStringLiteral("="), headId)},
        SelectListOf(QStringLiteral("select 0,id,isDefault,isDefault as "
                                    "flgIco,goodsDetailCode,unit,packQty,weight,inPrice,salePrice  ")));
}
