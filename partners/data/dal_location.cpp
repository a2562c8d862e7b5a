#include "dal_location.h"

#include "BillDirection.h"
#include "DataAccess.h"
#include "ProcessFuntionValues.h"
#include "RecordColumns.h"
#include "sqlHelper.h"

const QString dal_location::kMissingText = QStringLiteral("当前记录不存在!");
const QString dal_location::kParentCycleText = QStringLiteral("不能设置该项目为父节点,请重新选择!");

namespace
{

// The location's columns in the view's order.
const RecordColumns<m_location>& locationColumns()
{
    using L = m_location;
    static const RecordColumns<L> all{
        {"id", &L::id, Listed | Inserted},
        {"locationCode", &L::locationCode, Listed | Inserted | Updated},
        {"uname", &L::uname, Listed | Inserted | Updated},
        {"capacity", &L::capacity, Listed | Inserted | Updated},
        {"parentId", &L::parentId, Listed | Inserted | Updated},
        {"parentlocationCode", &L::parentlocationCode, Listed},
        {"parentName", &L::parentName, Listed},
        {"orderby", &L::orderby, Listed | Inserted},
        {"isLock", &L::isLock, Listed | Inserted | Updated},
        {"lockName", &L::lockName, Listed},
        {"isVirtual", &L::isVirtual, Listed | Inserted | Updated},
        {"VirtualName", &L::VirtualName, Listed},
        {"state", &L::state, Listed | Inserted | Updated},
        {"stateName", &L::stateName, Listed},
        {"remark", &L::remark, Listed | Inserted | Updated},
        {"iCount", &L::iCount, Listed},
        {"rowVersion", &L::rowVersion, Stamp},
    };
    return all;
}

} // namespace

const QString dal_location::kColumns =
    QStringLiteral("select ") + locationColumns().names(Listed) + QLatin1Char(' ');

void dal_location::Add(const m_location& obj_Model)
{
    ExecuteParaSql(locationColumns().insertSql(QStringLiteral("tb_location")),
                   locationColumns().params(obj_Model));
}

void dal_location::AddNew(m_location& obj_Model)
{
    InsertWithNextId(QStringLiteral("tb_location"), obj_Model, [this](m_location& m) {
        m.rowVersion = 0;
        Add(m);
    });
}

m_location dal_location::readModel(const RecordSet& rs)
{
    // Every column is read Null-tolerantly: a damaged row still loads.
    return locationColumns().read(rs);
}

m_location dal_location::readFirst(const QString& sql, const ParamMap& params)
{
    return ReadFirstShared(sql, params, &readModel);
}

m_location dal_location::GetModel(int int_Id)
{
    // The stamp is read in the same statement as the record, so the two agree.
    return readFirst(kColumns +
                         QStringLiteral(",(select t.rowVersion from tb_location t where t.id=v_location.id) "
                                        "as rowVersion from v_location where id=@id"),
                     ParamMap{{QStringLiteral("@id"), int_Id}});
}

m_location dal_location::GetModelForLocationCode(int int_Id, const QString& str_locationCode)
{
    return readFirst(
        kColumns + QStringLiteral(" from v_location  where id<>@id and locationCode=@locationCode"),
        ParamMap{{QStringLiteral("@id"), int_Id}, {QStringLiteral("@locationCode"), str_locationCode}});
}

m_location dal_location::ResolveLocationCode(const QString& typedText)
{
    if (typedText.trimmed().isEmpty())
        return {};
    return GetModelForLocationCode(0, typedText);
}

RecordSetPtr dal_location::GetList(int parentId)
{
    return ExecuteSql(kColumns + QStringLiteral(" from v_location  where 1=1  and parentId=@parentId"),
                      ParamMap{{QStringLiteral("@parentId"), parentId}});
}

namespace
{
// What a location search may name, in v_location: the keyword looks into the
// code and the name as one text, so a keyword may span both.
const SearchFields& searchFields()
{
    static const SearchFields fields{
        {SearchKey::Id, QStringLiteral("id")},
        {SearchKey::ParentId, QStringLiteral("parentId")},
        {SearchKey::State, QStringLiteral("state")},
        {SearchKey::Keyword, JoinedText({QStringLiteral("locationCode"), QStringLiteral("uname")})}};
    return fields;
}
} // namespace

m_recordSet dal_location::GetListForCondition(const m_conditions& ilstPara)
{
    return GetListForCondition(ilstPara, SelectListOf({}));
}

m_recordSet dal_location::GetListForCondition(const m_conditions& ilstPara, const SelectList& columns)
{
    const QString& str_sql = columns.text();
    const QString select = IsNullOrEmpty(str_sql) ? kColumns : str_sql;
    return SelectForConditions(select + QStringLiteral(" from v_location "), ilstPara, searchFields());
}

m_DBresult dal_location::Delete(int int_Id)
{
    QList<RefCheck> checks = {
        RefCheck::Uses(QStringLiteral("当前库位存在子项目,不能删除!"), QStringLiteral("tb_location"),
                       QStringLiteral("parentId"), int_Id),
    };
    for (const BillDirection d : kBillDirections) {
        const BillDirectionFacts& bills = BillDirectionFacts::Of(d);
        checks << RefCheck::BillUses(bills, QStringLiteral("库位"), bills.lineTable,
                                     QStringLiteral("locationId"), int_Id);
    }
    return DeleteWithRefChecks(checks, [int_Id] {
        const ParamMap id{{QStringLiteral("@id"), int_Id}};
        ExecuteParaSql(QStringLiteral("Delete From tb_location_fun where locationId=@id"), id);
        ExecuteChangingRow(QStringLiteral("Delete From tb_location where id=@id"), id);
    });
}

void dal_location::Update(const m_location& obj_Model)
{
    // The order stays as stored: the statement does not name it.
    TransactionGuard guard;
    UpdateUnchanged(QStringLiteral("tb_location"), locationColumns().assignments(),
                    locationColumns().params(obj_Model), kMissingText);
    guard.commit();
}

RecordSetPtr dal_location::PermittedLocations(const QString& idList)
{
    return ExecuteSql(
        QStringLiteral("select id,locationCode from tb_location where (state=1) and (id in (@ids)) "
                       "order by id,orderby"),
        ParamMap{{QStringLiteral("@ids"), NList(idList)}});
}

bool dal_location::Exists(int int_Id)
{
    return int_Id > 0 && ScalarInt(QStringLiteral("select count(*) from tb_location where id=@id"),
                                   ParamMap{{QStringLiteral("@id"), int_Id}}) > 0;
}

bool dal_location::AllExist(const QSet<int>& ids)
{
    return AllStored(QStringLiteral("tb_location"), ids);
}

QString dal_location::CodeTakenText(int int_Id, const QString& str_locationCode)
{
    if (GetModelForLocationCode(int_Id, str_locationCode).id < 1)
        return {};
    return QStringLiteral("库位编号[") + str_locationCode + QStringLiteral("]重复!");
}

QString dal_location::Save(m_location& obj_Model)
{
    return SaveChecked(
        QStringLiteral("tb_location"), obj_Model,
        [this](const m_location& m) -> QString {
            // A location changed elsewhere since it was loaded is refused for
            // that first: its code or parent may clash only with what the
            // other save changed.
            if (m.id > 0) {
                const int stored = StoredVersion(QStringLiteral("tb_location"), m.id);
                if (stored < 0)
                    return kMissingText;
                if (stored != m.rowVersion)
                    return kRecordChangedText;
            }
            const QString taken = CodeTakenText(m.id, m.locationCode);
            if (!taken.isEmpty())
                return taken;
            if (m.id > 0 && IsParentCycle(m.id, m.parentId, [this](int id) { return GetModel(id).parentId; }))
                return kParentCycleText;
            // A parent deleted elsewhere would hide the location from the tree for good.
            if (m.parentId != 0 && !Exists(m.parentId))
                return kParentCycleText;
            return {};
        },
        [this](m_location& m) {
            Update(m);
            ++m.rowVersion;
        },
        [this](m_location& m) {
            m.rowVersion = 0;
            Add(m);
        });
}
