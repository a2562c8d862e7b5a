#include "dal_dictionary.h"

#include "DataAccess.h"
#include "FieldRead.h"
#include "ProcessFuntionValues.h"
#include "sqlHelper.h"

namespace
{

const QString kSelect = QStringLiteral(
    "SELECT id,utype,uname,parentId,parentName,orderBy,remark,isSystemSet,isstart,startName,iCount "
    " from v_dictionary ");

ParamMap recordParams(const m_dictionary& m)
{
    return ParamMap{{QStringLiteral("@id"), m.id},           {QStringLiteral("@utype"), m.utype},
                    {QStringLiteral("@uname"), m.uname},     {QStringLiteral("@parentId"), m.parentId},
                    {QStringLiteral("@orderBy"), m.orderby}, {QStringLiteral("@remark"), m.remark},
                    {QStringLiteral("@isstart"), m.isstart}, {QStringLiteral("@isSystemSet"), m.isSystemSet}};
}

} // namespace

void dal_dictionary::Add(const m_dictionary& obj_Model)
{
    ExecuteParaSql(QStringLiteral("insert into tb_dictionary "
                                  "(id,utype,uname,parentId,orderBy,remark,isstart,isSystemSet) "
                                  " values ("
                                  "@id,@utype,@uname,@parentId,@orderBy,@remark,@isstart,@isSystemSet"
                                  ") "),
                   recordParams(obj_Model));
}

m_dictionary dal_dictionary::readModel(const RecordSet& rs)
{
    m_dictionary m;
    if (rs.isEmpty())
        return m;
    using namespace FieldRead;
    m.id = Int(rs, 0, QStringLiteral("id"));
    m.utype = Text(rs, 0, QStringLiteral("utype"));
    m.uname = Text(rs, 0, QStringLiteral("uname"));
    m.parentId = Int(rs, 0, QStringLiteral("parentId"));
    m.parentName = TextOrEmpty(rs, 0, QStringLiteral("parentName"));
    m.orderby = Int(rs, 0, QStringLiteral("orderBy"));
    m.remark = TextOrEmpty(rs, 0, QStringLiteral("remark"));
    m.isSystemSet = Int(rs, 0, QStringLiteral("isSystemSet"));
    m.isstart = Int(rs, 0, QStringLiteral("isstart"));
    m.startName = Text(rs, 0, QStringLiteral("startName"));
    m.iCount = Int(rs, 0, QStringLiteral("iCount"));
    return m;
}

m_dictionary dal_dictionary::GetModel(int int_Id)
{
    const RecordSetPtr rs =
        ExecuteSql(kSelect + QStringLiteral(" where id=@id"), ParamMap{{QStringLiteral("@id"), int_Id}});
    return readModel(*rs);
}

m_dictionary dal_dictionary::GetModelForName(const QString& str_Type, const QString& str_Name)
{
    const RecordSetPtr rs =
        ExecuteSql(kSelect + QStringLiteral(" where utype=@utype and uname=@uname order by id"),
                   ParamMap{{QStringLiteral("@utype"), str_Type}, {QStringLiteral("@uname"), str_Name}});
    return readModel(*rs);
}

RecordSetPtr dal_dictionary::GetList(const QString& str_Type, int parentId)
{
    // Every writer stores orderBy 0, so the trees show items in the order they were made.
    return ExecuteSql(
        kSelect + QStringLiteral(" where 1=1  and utype=@utype and parentId=@parentId order by orderBy,id"),
        ParamMap{{QStringLiteral("@utype"), str_Type}, {QStringLiteral("@parentId"), parentId}});
}

m_recordSet dal_dictionary::GetListForCondition(const m_conditions& ilstPara, const QString& str_sql)
{
    return SelectForConditions(
        IsNullOrEmpty(str_sql) ? kSelect : str_sql + QStringLiteral(" from v_dictionary "), ilstPara);
}

m_DBresult dal_dictionary::Delete(int int_Id)
{
    const QVariant id = QVariant::fromValue(ParamMap{{QStringLiteral("@id"), int_Id}});
    KeyValue batch;
    batch.AddItem(QStringLiteral("Delete From tb_user_group_fun where departmentId=@id"), id);
    batch.AddItem(QStringLiteral("Delete From tb_location_fun where departmentId=@id"), id);
    batch.AddItem(QStringLiteral("Delete From tb_account_fun where departmentId=@id"), id);
    // An account tag's grants go with it: a later item taking over the id must not inherit them.
    batch.AddItem(QStringLiteral("Delete From tb_account_fun where accountId=@id"), id);
    batch.AddItem(QStringLiteral("Delete From tb_dictionary where id=@id"),
                  QVariant::fromValue(ParamMap{{QStringLiteral("@id"), int_Id}}.RequireRow()));
    return ExecuteTrans(batch);
}

void dal_dictionary::Update(const m_dictionary& obj_Model)
{
    ExecuteChangingRow(QStringLiteral("update tb_dictionary "
                                      "set utype=@utype,"
                                      "uname=@uname,"
                                      "parentId=@parentId,"
                                      "remark=@remark,"
                                      "isstart=@isstart"
                                      " where id=@id"),
                       recordParams(obj_Model));
}
