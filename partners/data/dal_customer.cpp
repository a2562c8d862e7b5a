#include "dal_customer.h"

#include "BillDirection.h"
#include "DataAccess.h"
#include "DbError.h"
#include "ProcessFuntion.h"
#include "ProcessFuntionValues.h"
#include "RecordColumns.h"
#include "mod_public.h"
#include "sqlHelper.h"

namespace
{

// The partner's columns in the view's order.
const RecordColumns<m_customer>& customerColumns()
{
    using C = m_customer;
    static const RecordColumns<C> all{
        {"id", &C::id, Listed | Inserted},
        {"utype", &C::utype, Listed | Inserted | Updated},
        {"utypeName", &C::utypeName, Listed},
        {"customType", &C::customType, Listed | Inserted | Updated},
        {"customTypeName", &C::customTypeName, Listed},
        {"customerCode", &C::customerCode, Listed | Inserted},
        {"uname", &C::uname, Listed | Inserted | Updated},
        {"pinyin", &C::pinyin, Listed | Inserted | Updated},
        {"contact", &C::contact, Listed | Inserted | Updated},
        {"companyName", &C::companyName, Listed | Inserted | Updated},
        {"taxNumber", &C::taxNumber, Listed | Inserted | Updated},
        {"bankName", &C::bankName, Listed | Inserted | Updated},
        {"bankAccount", &C::bankAccount, Listed | Inserted | Updated},
        {"address", &C::address, Listed | Inserted | Updated},
        {"tel", &C::tel, Listed | Inserted | Updated},
        {"email", &C::email, Listed | Inserted | Updated},
        {"fax", &C::fax, Listed | Inserted | Updated},
        {"status", &C::status, Listed | Inserted | Updated},
        {"statusName", &C::statusName, Listed},
        {"imageUrl", &C::imageUrl, Listed | Inserted | Updated},
        {"creator", &C::creator, Listed | Inserted},
        {"createTime", &C::createTime, Listed | Inserted},
        {"updateLastUser", &C::updateLastUser, Listed | Inserted | Updated},
        {"updateLastTime", &C::updateLastTime, Listed | Inserted | Updated},
        {"userId", &C::userId, Listed | Inserted},
        {"rowVersion", &C::rowVersion, Stamp},
    };
    return all;
}

const QString kColumns = QLatin1Char(' ') + customerColumns().names(Listed) + QLatin1Char(' ');

// Whether id names a customer category (a tb_dictionary item of that type,
// enabled or not). 0 names none: a partner always has a category.
bool categoryExists(int id)
{
    return id > 0 &&
           ScalarInt(QStringLiteral("select count(*) from tb_dictionary where id=@id and utype=@utype"),
                     ParamMap{{QStringLiteral("@id"), id},
                              {QStringLiteral("@utype"), QStringLiteral("customerType")}}) > 0;
}

} // namespace

const QString dal_customer::kMissingText = QStringLiteral("当前往业单位信息不存在!");
const QString dal_customer::kCategoryMissingText = QStringLiteral("自定义类别不能为空!");

QString dal_customer::GetSqlSearch(const QString& utype) const
{
    if (utype == QLatin1String("a"))
        return QStringLiteral("select ") + kColumns + QStringLiteral(" from v_customer");
    if (utype == QLatin1String("f"))
        return kColumns;
    return {};
}

void dal_customer::Add(const m_customer& obj_Model)
{
    ExecuteParaSql(customerColumns().insertSql(QStringLiteral("tb_customer")),
                   customerColumns().params(obj_Model));
}

void dal_customer::AddNew(m_customer& obj_Model)
{
    InsertWithNextId(QStringLiteral("tb_customer"), obj_Model, [this](m_customer& m) {
        m.rowVersion = 0;
        // The code follows the creation date; a record without one is numbered today.
        const QString date =
            IsNullOrEmpty(m.createTime) ? GetNowStr(QStringLiteral("yyyy-MM-dd")) : m.createTime;
        m.customerCode = GetNewBillNo(QStringLiteral("ct"), date);
        Add(m);
    });
}

m_customer dal_customer::readModel(const RecordSet& rs)
{
    // Every column is read Null-tolerantly: a damaged row still loads.
    return customerColumns().read(rs);
}

m_customer dal_customer::readFirst(const QString& sql, const ParamMap& params)
{
    return ReadFirstShared(sql, params, &readModel);
}

m_customer dal_customer::GetModel(int int_Id)
{
    // The stamp is read in the same statement as the record, so the two agree.
    return readFirst(
        QStringLiteral("select ") + kColumns +
            QStringLiteral(",(select t.rowVersion from tb_customer t where t.id=v_customer.id) as "
                           "rowVersion from v_customer where id=@id"),
        ParamMap{{QStringLiteral("@id"), int_Id}});
}

m_customer dal_customer::GetModelForCustomerName(int int_Id, const QString& str_customerName)
{
    return readFirst(GetSqlSearch(QStringLiteral("a")) + QStringLiteral(" where id<>@id and uname=@uname"),
                     ParamMap{{QStringLiteral("@id"), int_Id}, {QStringLiteral("@uname"), str_customerName}});
}

RecordSetPtr dal_customer::GetDataTable(const m_conditions& ilstPara, bool isExportExcel)
{
    QString sql =
        isExportExcel
            ? QStringLiteral("select utypeName,customTypeName,customerCode,uname,contact,companyName,"
                             "taxNumber,bankName,bankAccount,address,tel,email,fax,statusName,creator,"
                             "createTime  from v_customer")
            : GetSqlSearch(QStringLiteral("a"));
    const ConditionSql where = GetConditionSql(ilstPara, searchFields());
    sql += QStringLiteral(" where 1=1 ") + where.sql;
    return ExecuteSql(sql, where.params);
}

m_recordSet dal_customer::GetListForCondition(const m_conditions& ilstPara)
{
    return GetListForCondition(ilstPara, SelectListOf({}));
}

m_recordSet dal_customer::GetListForCondition(const m_conditions& ilstPara, const SelectList& columns)
{
    const QString& str_sql = columns.text();
    const QString select =
        IsNullOrEmpty(str_sql) ? QStringLiteral("select ") + GetSqlSearch(QStringLiteral("f")) : str_sql;
    return SelectForConditions(select + QStringLiteral(" from v_customer "), ilstPara, searchFields());
}

m_DBresult dal_customer::Delete(int int_Id)
{
    QList<RefCheck> checks;
    for (const BillDirection d : kBillDirections) {
        const BillDirectionFacts& bills = BillDirectionFacts::Of(d);
        checks << RefCheck::BillUses(bills, QStringLiteral("往来单位"), bills.headTable, bills.partnerIdCol,
                                     int_Id);
    }
    return DeleteWithRefChecks(checks, [int_Id] {
        ExecuteChangingRow(QStringLiteral("Delete From tb_customer where id=@id"),
                           ParamMap{{QStringLiteral("@id"), int_Id}});
    });
}

void dal_customer::Update(const m_customer& obj_Model)
{
    // The code, the creator and the user stay as stored: the statement does not name them.
    TransactionGuard guard;
    UpdateUnchanged(QStringLiteral("tb_customer"), customerColumns().assignments(),
                    customerColumns().params(obj_Model), kMissingText);
    guard.commit();
}

bool dal_customer::Exists(int int_Id)
{
    return int_Id > 0 && ScalarInt(QStringLiteral("select count(*) from tb_customer where id=@id"),
                                   ParamMap{{QStringLiteral("@id"), int_Id}}) > 0;
}

bool dal_customer::NameTaken(int int_Id, const QString& str_customerName)
{
    const m_conditions sameName = {m_condition(SearchKey::Name, QStringLiteral("="), str_customerName),
                                   m_condition(SearchKey::Id, QStringLiteral("<>"), int_Id)};
    return GetListForCondition(sameName).recordCount >= 1;
}

dal_customer::SaveOutcome dal_customer::Save(m_customer& obj_Model, bool sameNameAgreed)
{
    m_customer m = obj_Model;
    bool taken = false;
    TransactionGuard guard;
    // The category first, then the name, as the window asks them.
    if (!categoryExists(m.customType))
        throw DbError(kCategoryMissingText);
    if (!sameNameAgreed && NameTaken(m.id, m.uname)) {
        taken = true;
    } else if (m.id > 0) {
        Update(m);
        ++m.rowVersion;
    } else {
        AddNew(m);
    }
    guard.commit();
    if (taken)
        return SaveOutcome::NameTaken;
    obj_Model = m;
    return SaveOutcome::Saved;
}

const SearchFields& dal_customer::searchFields()
{
    // The keyword looks into code, name, pinyin, contact and company joined, a
    // missing value counting as empty.
    static const SearchFields fields{
        {SearchKey::Id, QStringLiteral("id")},
        {SearchKey::Name, QStringLiteral("uname")},
        {SearchKey::Type, QStringLiteral("utype")},
        {SearchKey::Category, QStringLiteral("customType")},
        {SearchKey::Status, QStringLiteral("status")},
        {SearchKey::Keyword,
         JoinedText({QStringLiteral("customerCode"), QStringLiteral("uname"), QStringLiteral("pinyin"),
                     QStringLiteral("contact"), QStringLiteral("companyName")})}};
    return fields;
}

m_recordSet dal_customer::GetListRows(const m_conditions& ilstPara)
{
    return GetListForCondition(
        ilstPara,
        SelectListOf(QStringLiteral("select 0,id,statusName,utypeName,customTypeName,customerCode,uname,"
                                    "contact,tel,fax,address,companyName,creator,substr(createTime,1,10) ")));
}
