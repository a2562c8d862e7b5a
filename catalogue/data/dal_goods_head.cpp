#include "dal_goods_head.h"

#include "BillDirection.h"
#include "DataAccess.h"
#include "DbError.h"
#include "ProcessFuntionValues.h"
#include "check_GoodsCode.h"
#include "dal_dictionary.h"
#include "dal_goods_detail.h"
#include "sqlHelper.h"

namespace
{
// What a goods search may name, in v_goods_head: the keyword looks into code,
// name and pinyin initials joined (a missing one counts as empty).
const SearchFields& searchFields()
{
    static const SearchFields fields{
        {SearchKey::Id, QStringLiteral("id")},
        {SearchKey::Code, QStringLiteral("goodsCode")},
        {SearchKey::GoodsType, QStringLiteral("goodsTypeId")},
        {SearchKey::Keyword,
         QStringLiteral("COALESCE(goodsCode,'')||COALESCE(goodsName,'')||COALESCE(pinyin,'')")}};
    return fields;
}
} // namespace

const QString dal_goods_head::kGoodsMissingText = QStringLiteral("当前货品信息不存在!");
const QString dal_goods_head::kGoodsTypeMissingText = QStringLiteral("货品类别不能为空!");

namespace
{

ParamMap headParams(const m_goods_head& m, bool withCreator)
{
    ParamMap p{{QStringLiteral("@id"), m.id},
               {QStringLiteral("@goodsTypeId"), m.goodsTypeId},
               {QStringLiteral("@goodsCode"), m.goodsCode},
               {QStringLiteral("@goodsName"), m.goodsName},
               {QStringLiteral("@goodsDesc"), m.goodsDesc},
               {QStringLiteral("@pinyin"), m.pinyin},
               {QStringLiteral("@upqty"), m.upqty},
               {QStringLiteral("@downqty"), m.downqty},
               {QStringLiteral("@status"), m.status},
               {QStringLiteral("@imageUrl"), m.imageUrl}};
    if (withCreator) {
        p.Add(QStringLiteral("@creator"), m.creator);
        p.Add(QStringLiteral("@createTime"), m.createTime);
    }
    p.Add(QStringLiteral("@updateLastUser"), m.updateLastUser);
    p.Add(QStringLiteral("@updateLastTime"), m.updateLastTime);
    p.Add(QStringLiteral("@rowVersion"), m.rowVersion);
    return p;
}

// The unit written with its item leaves the row number alone (the unit list
// sets it): the statements do not name @rowNo.
const QString kInsertUnit =
    QStringLiteral("insert into tb_goods_detail "
                   "(id,headId,isDefault,goodsDetailCode,unit,packQty,weight,inPrice,salePrice ) "
                   " values ("
                   "@id,@headId,@isDefault,@goodsDetailCode,@unit,@packQty,@weight,@inPrice,@salePrice "
                   ") ");

const QString kUpdateUnit = QStringLiteral("update tb_goods_detail "
                                           " set headId=@headId,"
                                           " isDefault=@isDefault,"
                                           " goodsDetailCode=@goodsDetailCode,"
                                           " unit=@unit,"
                                           " packQty=@packQty,"
                                           " weight=@weight,"
                                           " inPrice=@inPrice,"
                                           " salePrice=@salePrice"
                                           " where id=@id");

} // namespace

m_DBresult dal_goods_head::Add(const m_goods_head& obj_Model, const m_goods_detail& obj_ModelDetail)
{
    return RunTrans([&] {
        ExecuteParaSql(
            QStringLiteral("insert into tb_goods_head "
                           "(id,goodsTypeId,goodsCode,goodsName,goodsDesc,pinyin,upqty,downqty,status,"
                           "imageUrl,creator,createTime,updateLastUser,updateLastTime ) "
                           " values ("
                           "@id,@goodsTypeId,@goodsCode,@goodsName,@goodsDesc,@pinyin,@upqty,@downqty,"
                           "@status,@imageUrl,@creator,@createTime,@updateLastUser,@updateLastTime "
                           ") "),
            headParams(obj_Model, true));
        ExecuteParaSql(kInsertUnit, dal_goods_detail::UnitParams(obj_ModelDetail));
        dal_goods_detail::RequireOneDefaultUnit(obj_Model.id);
    });
}

m_goods_head dal_goods_head::GetModel(int int_Id)
{
    const RecordSetPtr rs = ExecuteSql(
        QStringLiteral("SELECT id,goodsTypeId,goodsTypeName,goodsCode,goodsName,goodsDesc,pinyin,upqty,"
                       "downqty,status,imageUrl,creator,createTime,updateLastUser,updateLastTime,"
                       "(select t.rowVersion from tb_goods_head t where t.id=v_goods_head.id) as rowVersion "
                       " from v_goods_head "
                       " where id=@id"),
        ParamMap{{QStringLiteral("@id"), int_Id}});
    m_goods_head m;
    if (rs->isEmpty())
        return m;
    m.id = rs->integer(0, QStringLiteral("id"));
    m.goodsTypeId = rs->integer(0, QStringLiteral("goodsTypeId"));
    m.goodsTypeName = rs->text(0, QStringLiteral("goodsTypeName"));
    m.goodsCode = rs->text(0, QStringLiteral("goodsCode"));
    m.goodsName = rs->text(0, QStringLiteral("goodsName"));
    m.goodsDesc = rs->text(0, QStringLiteral("goodsDesc"));
    m.pinyin = rs->text(0, QStringLiteral("pinyin"));
    m.upqty = rs->number(0, QStringLiteral("upqty"));
    m.downqty = rs->number(0, QStringLiteral("downqty"));
    m.status = rs->text(0, QStringLiteral("status"));
    m.imageUrl = rs->text(0, QStringLiteral("imageUrl"));
    m.creator = rs->text(0, QStringLiteral("creator"));
    m.createTime = rs->text(0, QStringLiteral("createTime"));
    m.updateLastUser = rs->text(0, QStringLiteral("updateLastUser"));
    m.updateLastTime = rs->text(0, QStringLiteral("updateLastTime"));
    m.rowVersion = rs->integer(0, QStringLiteral("rowVersion"));
    return m;
}

RecordSetPtr dal_goods_head::GetDataTable(const m_conditions& ilstPara, bool isExportExcel)
{
    const QString select =
        isExportExcel
            ? QStringLiteral(
                  "select "
                  "goodsTypeName,goodsCode,goodsName,goodsDesc,upqty,downqty,status,creator,createTime")
            : QStringLiteral(
                  "select id,goodsTypeId,goodsTypeName,goodsCode,goodsName,goodsDesc,pinyin,upqty,downqty,"
                  "status,creator,createTime,updateLastUser,updateLastTime ");
    const ConditionSql where = GetConditionSql(ilstPara, searchFields());
    return ExecuteSql(select + QStringLiteral(" from v_goods_head ") + QStringLiteral(" where 1=1 ") +
                          where.sql,
                      where.params);
}

m_recordSet dal_goods_head::GetListForCondition(const m_conditions& ilstPara)
{
    return GetListForCondition(ilstPara, SelectListOf({}));
}

m_recordSet dal_goods_head::GetListForCondition(const m_conditions& ilstPara, const SelectList& columns)
{
    const QString& str_sql = columns.text();
    const QString select =
        IsNullOrEmpty(str_sql)
            ? QStringLiteral(
                  "select id,goodsTypeId,goodsTypeName,goodsCode,goodsName,goodsDesc,pinyin,upqty,downqty,"
                  "status,imageUrl,creator,createTime,updateLastUser,updateLastTime ")
            : str_sql;
    return SelectForConditions(select + QStringLiteral(" from v_goods_head "), ilstPara, searchFields());
}

m_DBresult dal_goods_head::Delete(int int_Id)
{
    // The checks and the delete share one transaction, so no bill line can
    // come in between.
    QList<RefCheck> checks;
    for (const BillDirection d : kBillDirections) {
        const BillDirectionFacts& bills = BillDirectionFacts::Of(d);
        checks << RefCheck::BillUses(bills, QStringLiteral("货品"), bills.lineTable,
                                     QStringLiteral("goodsId"), int_Id);
    }
    return DeleteWithRefChecks(checks, [int_Id] {
        ExecuteParaSql(QStringLiteral("Delete From tb_goods_detail where headId=@headId"),
                       ParamMap{{QStringLiteral("@headId"), int_Id}});
        ExecuteChangingRow(QStringLiteral("Delete From tb_goods_head where id=@id"),
                           ParamMap{{QStringLiteral("@id"), int_Id}}, kGoodsMissingText);
    });
}

m_DBresult dal_goods_head::Update(const m_goods_head& obj_Model, const m_goods_detail& obj_ModelDetail)
{
    return RunTrans([&] {
        UpdateUnchanged(QStringLiteral("tb_goods_head"),
                        QStringLiteral("goodsTypeId=@goodsTypeId,"
                                       " goodsCode=@goodsCode,"
                                       " goodsName=@goodsName,"
                                       " goodsDesc=@goodsDesc,"
                                       " pinyin=@pinyin,"
                                       " upqty=@upqty,"
                                       " downqty=@downqty,"
                                       " status=@status,"
                                       " imageUrl=@imageUrl,"
                                       " updateLastUser=@updateLastUser,"
                                       " updateLastTime=@updateLastTime"),
                        headParams(obj_Model, false), kGoodsMissingText);

        // The unit being rewritten must belong to this item; when it is gone
        // (the unit list was saved meanwhile) the item's default unit takes the
        // typed values, and an item without one gets it written.
        m_goods_detail unit = obj_ModelDetail;
        unit.headId = obj_Model.id;
        const ParamMap owner{{QStringLiteral("@id"), unit.id}, {QStringLiteral("@headId"), unit.headId}};
        if (ScalarInt(QStringLiteral("select count(*) from tb_goods_detail where id=@id and headId=@headId"),
                      owner) == 0) {
            const RecordSetPtr def = ExecuteSql(
                QStringLiteral(
                    "select id from tb_goods_detail where headId=@headId and isDefault=1 order by id"),
                ParamMap{{QStringLiteral("@headId"), unit.headId}});
            if (!def->isEmpty()) {
                unit.id = def->value(0, 0).toInt();
            } else {
                unit.id = TakeIds(QStringLiteral("tb_goods_detail"));
                unit.isDefault = 1;
                ExecuteParaSql(kInsertUnit, dal_goods_detail::UnitParams(unit));
                dal_goods_detail::RequireOneDefaultUnit(unit.headId);
                return;
            }
        }
        ExecuteParaSql(kUpdateUnit, dal_goods_detail::UnitParams(unit));
        dal_goods_detail::RequireOneDefaultUnit(unit.headId);
    });
}

bool dal_goods_head::Exists(int int_Id)
{
    return int_Id > 0 && ScalarInt(QStringLiteral("select count(*) from tb_goods_head where id=@id"),
                                   ParamMap{{QStringLiteral("@id"), int_Id}}) > 0;
}

bool dal_goods_head::AllExist(const QSet<int>& ids)
{
    return AllStored(QStringLiteral("tb_goods_head"), ids);
}

QString dal_goods_head::CodeTakenText(int id, const QString& code)
{
    m_conditions taken;
    taken.append(m_condition(SearchKey::Code, QStringLiteral("="), code));
    taken.append(m_condition(SearchKey::Id, QStringLiteral("<>"), id));
    if (dal_goods_head().GetListForCondition(taken).recordCount > 0)
        return QStringLiteral("货品编码[") + code + QStringLiteral("]存在,请重新输入!");
    return {};
}

QStringList dal_goods_head::AddedCodes(int id, const QString& code, const QString& barcode, bool* missing)
{
    const auto differs = [](const QString& a, const QString& b) {
        return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) != 0;
    };
    if (missing)
        *missing = false;
    QStringList values;
    if (id > 0) {
        const m_goods_head before = dal_goods_head().GetModel(id);
        if (before.id < 1) {
            if (missing)
                *missing = true;
            return {};
        }
        if (differs(code, before.goodsCode))
            values << code;
        if (differs(barcode, dal_goods_detail().GetModelForDefault(id).goodsDetailCode))
            values << barcode;
    } else {
        values << code;
        if (!barcode.trimmed().isEmpty())
            values << barcode;
    }
    return values;
}

m_DBresult dal_goods_head::Save(m_goods_head& goods, m_goods_detail& defaultUnit)
{
    m_goods_head g = goods;
    m_goods_detail unit = defaultUnit;
    const bool stored = g.id > 0;
    const m_DBresult result = RunTrans([&] {
        bool missing = false;
        const QStringList added = AddedCodes(g.id, g.goodsCode, unit.goodsDetailCode, &missing);
        if (missing)
            throw DbError(kGoodsMissingText);
        // A form loaded before another workstation's save would put back what
        // that save changed: it is refused before anything else is judged.
        if (stored)
            RequireUnchanged(QStringLiteral("tb_goods_head"), g.id, g.rowVersion, kGoodsMissingText);
        if (!dal_dictionary::Exists(g.goodsTypeId, DictionaryType::goodsType))
            throw DbError(kGoodsTypeMissingText);
        const QString taken = CodeTakenText(g.id, g.goodsCode);
        if (!taken.isEmpty())
            throw DbError(taken);
        const m_DBresult unique = check_GoodsCode(added);
        if (!unique.isResult)
            throw DbError(unique.str_MsgBox);
        if (!stored) {
            g.id = TakeIds(QStringLiteral("tb_goods_head"));
            g.rowVersion = 0;
        }
        unit.headId = g.id;
        unit.id = stored ? dal_goods_detail().GetModelForDefault(g.id).id : 0;
        if (unit.id < 1)
            unit.id = TakeIds(QStringLiteral("tb_goods_detail"));
        const m_DBresult written = stored ? Update(g, unit) : Add(g, unit);
        if (!written.isResult)
            throw DbError(written.str_MsgBox);
        if (stored)
            ++g.rowVersion;
    });
    if (result.isResult) {
        goods = g;
        defaultUnit = unit;
    }
    return result;
}

bool dal_goods_head::IsSaveRefusal(const QString& text)
{
    return text == kGoodsMissingText || text == kGoodsTypeMissingText || text == kRecordChangedText ||
           text.startsWith(QStringLiteral("有以下条码重复:")) ||
           (text.startsWith(QStringLiteral("货品编码[")) &&
            text.endsWith(QStringLiteral("]存在,请重新输入!")));
}

m_recordSet dal_goods_head::GetListRows(const m_conditions& ilstPara)
{
    return GetListForCondition(ilstPara, SelectListOf(QStringLiteral(
                                             "select 0,id,status,goodsCode,goodsName,goodsDesc,goodsTypeName,"
                                             "upqty,downqty,creator,substr(createTime,1,10) ")));
}
