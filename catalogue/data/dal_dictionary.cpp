#include "dal_dictionary.h"

#include "BillDirection.h"
#include "DataAccess.h"
#include "ProcessFuntionValues.h"
#include "sqlHelper.h"

namespace
{

const QString kSelect = QStringLiteral(
    "SELECT id,utype,uname,parentId,parentName,orderBy,remark,isSystemSet,isstart,startName,iCount "
    " from v_dictionary ");

// What a save rewrites: the order and the system mark stay as stored.
const QString kAssignments =
    QStringLiteral("utype=@utype,uname=@uname,parentId=@parentId,remark=@remark,isstart=@isstart");

ParamMap recordParams(const m_dictionary& m)
{
    return ParamMap{{QStringLiteral("@id"), m.id},
                    {QStringLiteral("@utype"), m.utype},
                    {QStringLiteral("@uname"), m.uname},
                    {QStringLiteral("@parentId"), m.parentId},
                    {QStringLiteral("@orderBy"), m.orderby},
                    {QStringLiteral("@remark"), m.remark},
                    {QStringLiteral("@isstart"), m.isstart},
                    {QStringLiteral("@isSystemSet"), m.isSystemSet},
                    {QStringLiteral("@rowVersion"), m.rowVersion}};
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
    m.id = rs.integer(0, QStringLiteral("id"));
    m.utype = rs.text(0, QStringLiteral("utype"));
    m.uname = rs.text(0, QStringLiteral("uname"));
    m.parentId = rs.integer(0, QStringLiteral("parentId"));
    m.parentName = rs.text(0, QStringLiteral("parentName"));
    m.orderby = rs.integer(0, QStringLiteral("orderBy"));
    m.remark = rs.text(0, QStringLiteral("remark"));
    m.isSystemSet = rs.integer(0, QStringLiteral("isSystemSet"));
    m.isstart = rs.integer(0, QStringLiteral("isstart"));
    m.startName = rs.text(0, QStringLiteral("startName"));
    m.iCount = rs.integer(0, QStringLiteral("iCount"));
    m.rowVersion = rs.integer(0, QStringLiteral("rowVersion"));
    return m;
}

m_dictionary dal_dictionary::GetModel(int int_Id)
{
    // The stamp is read in the same statement as the item, so the two agree.
    const RecordSetPtr rs = ExecuteSql(
        QStringLiteral(
            "SELECT id,utype,uname,parentId,parentName,orderBy,remark,isSystemSet,isstart,startName,"
            "iCount,(select t.rowVersion from tb_dictionary t where t.id=v_dictionary.id) as "
            "rowVersion from v_dictionary where id=@id"),
        ParamMap{{QStringLiteral("@id"), int_Id}});
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

namespace
{
// What a dictionary search may name, in v_dictionary.
const SearchFields& searchFields()
{
    static const SearchFields fields{{SearchKey::Id, QStringLiteral("id")},
                                     {SearchKey::Name, QStringLiteral("uname")},
                                     {SearchKey::Type, QStringLiteral("utype")},
                                     {SearchKey::Started, QStringLiteral("isstart")}};
    return fields;
}
} // namespace

m_recordSet dal_dictionary::GetListForCondition(const m_conditions& ilstPara)
{
    return GetListForCondition(ilstPara, SelectListOf({}));
}

m_recordSet dal_dictionary::GetListForCondition(const m_conditions& ilstPara, const SelectList& columns)
{
    const QString& str_sql = columns.text();
    return SelectForConditions(IsNullOrEmpty(str_sql) ? kSelect
                                                      : str_sql + QStringLiteral(" from v_dictionary "),
                               ilstPara, searchFields());
}

m_DBresult dal_dictionary::Delete(int int_Id)
{
    const auto uses = [int_Id](const QString& refusal, const QString& table, const char* column) {
        return RefCheck::Uses(refusal, table, QLatin1String(column), int_Id);
    };
    QList<RefCheck> checks = {
        {QStringLiteral("当前项目为系统默认项目,不能删除!"),
         QStringLiteral("select count(*) from tb_dictionary where isSystemSet=1 and id=@id"),
         ParamMap{{QStringLiteral("@id"), int_Id}}},
        uses(QStringLiteral("当前项目存在子项目,不能删除!"), QStringLiteral("tb_dictionary"), "parentId"),
    };
    for (const BillDirection d : kBillDirections) {
        const BillDirectionFacts& bills = BillDirectionFacts::Of(d);
        checks << RefCheck::BillUses(bills, QStringLiteral("账目标识"), bills.headTable,
                                     QStringLiteral("accountId"), int_Id)
               << RefCheck::BillUses(bills, bills.billWord + QStringLiteral("类别"), bills.headTable,
                                     QStringLiteral("utypeId"), int_Id);
    }
    checks += {
        uses(QStringLiteral("当前货品类别在货品信息表已经建账,不能删除!"), QStringLiteral("tb_goods_head"),
             "goodsTypeId"),
        uses(QStringLiteral("当前部门在用户信息表已经建账,不能删除!"), QStringLiteral("tb_user"),
             "dictionaryId"),
        // Partners keep their category by id: a category in use stays.
        uses(QStringLiteral("当前往来单位分类在往来单位表已经建账,不能删除!"), QStringLiteral("tb_customer"),
             "customType"),
    };
    return DeleteWithRefChecks(checks, [int_Id] {
        const ParamMap id{{QStringLiteral("@id"), int_Id}};
        ExecuteParaSql(QStringLiteral("Delete From tb_user_group_fun where departmentId=@id"), id);
        ExecuteParaSql(QStringLiteral("Delete From tb_location_fun where departmentId=@id"), id);
        ExecuteParaSql(QStringLiteral("Delete From tb_account_fun where departmentId=@id"), id);
        // An account tag's grants go with it: a later item taking over the id must not inherit them.
        ExecuteParaSql(QStringLiteral("Delete From tb_account_fun where accountId=@id"), id);
        ExecuteChangingRow(QStringLiteral("Delete From tb_dictionary where id=@id"), id);
    });
}

void dal_dictionary::Update(const m_dictionary& obj_Model)
{
    TransactionGuard guard;
    UpdateUnchanged(QStringLiteral("tb_dictionary"), kAssignments, recordParams(obj_Model));
    guard.commit();
}

RecordSetPtr dal_dictionary::OfType(const QString& str_Type)
{
    return ExecuteSql(QStringLiteral("select id,uname from tb_dictionary where utype=@type order by id"),
                      ParamMap{{QStringLiteral("@type"), str_Type}});
}

RecordSetPtr dal_dictionary::EnabledOfType(const QString& str_Type)
{
    return ExecuteSql(QStringLiteral("select id,uname from tb_dictionary where (utype=@type) and (isstart=1) "
                                     "order by id,orderby"),
                      ParamMap{{QStringLiteral("@type"), str_Type}});
}

RecordSetPtr dal_dictionary::PermittedAccountTags(const QString& idList)
{
    return ExecuteSql(QStringLiteral("select id,uname from tb_dictionary where (utype='accountType') "
                                     "and (isstart=1) and (id in (@ids)) order by id,orderby"),
                      ParamMap{{QStringLiteral("@ids"), NList(idList)}});
}

const QString dal_dictionary::kParentCycleText = QStringLiteral("不能设置该项目为父节点,请重新选择!");

bool dal_dictionary::Exists(int int_Id, const QString& str_Type)
{
    return int_Id > 0 &&
           ScalarInt(QStringLiteral("select count(*) from tb_dictionary where id=@id and utype=@utype"),
                     ParamMap{{QStringLiteral("@id"), int_Id}, {QStringLiteral("@utype"), str_Type}}) > 0;
}

QString dal_dictionary::SystemItemText(int int_Id)
{
    const int count =
        ScalarInt(QStringLiteral("select Count(*) from tb_dictionary where isSystemSet=1 and id=@Id"),
                  ParamMap{{QStringLiteral("@Id"), int_Id}});
    return count > 0 ? QStringLiteral("当前项目为系统默认项目,不能修改!") : QString();
}

QString dal_dictionary::NameTakenText(int int_Id, const QString& str_Type, const QString& str_Name)
{
    const m_conditions sameName = {m_condition(SearchKey::Id, QStringLiteral("<>"), int_Id),
                                   m_condition(SearchKey::Name, QStringLiteral("="), str_Name),
                                   m_condition(SearchKey::Type, QStringLiteral("="), str_Type)};
    if (GetListForCondition(sameName).recordCount < 1)
        return {};
    return QStringLiteral("名称[") + str_Name + QStringLiteral("]重复,请重新输入!");
}

dal_dictionary::AddOutcome dal_dictionary::AddNamed(m_dictionary& obj_Model)
{
    m_dictionary m = obj_Model;
    TransactionGuard guard;
    if (!NameTakenText(0, m.utype, m.uname).isEmpty())
        return AddOutcome::NameTaken;
    if (m.parentId != 0 && !Exists(m.parentId, m.utype))
        return AddOutcome::ParentMissing;
    InsertWithNextId(QStringLiteral("tb_dictionary"), m, [this](m_dictionary& item) {
        item.rowVersion = 0;
        Add(item);
    });
    guard.commit();
    obj_Model = m;
    return AddOutcome::Added;
}

QString dal_dictionary::Save(m_dictionary& obj_Model)
{
    return SaveChecked(
        QStringLiteral("tb_dictionary"), obj_Model,
        [this](const m_dictionary& m) {
            QString text = SystemItemText(m.id);
            if (text.isEmpty() && m.id > 0) {
                const int stored = StoredVersion(QStringLiteral("tb_dictionary"), m.id);
                if (stored >= 0 && stored != m.rowVersion)
                    text = kRecordChangedText;
            }
            if (text.isEmpty())
                text = NameTakenText(m.id, m.utype, m.uname);
            if (text.isEmpty() && m.id > 0 &&
                IsParentCycle(m.id, m.parentId, [this](int id) { return GetModel(id).parentId; }))
                text = kParentCycleText;
            // The tree shows an item under a parent of its own type only.
            if (text.isEmpty() && m.parentId != 0 && !Exists(m.parentId, m.utype))
                text = kParentCycleText;
            return text;
        },
        [](m_dictionary& m) {
            // The checks compared the stamp in this same write.
            UpdateStamped(QStringLiteral("tb_dictionary"), kAssignments, recordParams(m));
            ++m.rowVersion;
        },
        [this](m_dictionary& m) {
            m.rowVersion = 0;
            Add(m);
        });
}
