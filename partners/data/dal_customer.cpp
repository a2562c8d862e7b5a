#include "dal_customer.h"

#include "BillDirection.h"
#include "DataAccess.h"
#include "DbError.h"
#include "ProcessFuntion.h"
#include "ProcessFuntionValues.h"
#include "mod_public.h"
#include "sqlHelper.h"

namespace
{

const QString kColumns =
    QStringLiteral(" id,utype,utypeName,customType,customTypeName,customerCode,uname,pinyin,"
                   "contact,companyName,taxNumber,bankName,bankAccount,address,tel,email,fax,"
                   "status,statusName,imageUrl,creator,createTime,updateLastUser,"
                   "updateLastTime,userId ");

const QString kInsert = QStringLiteral(
    "insert into tb_customer"
    "(id,utype,customType,customerCode,uname,pinyin,contact,companyName,taxNumber,bankName,bankAccount,"
    "address,tel,email,fax,status,imageUrl,creator,createTime,updateLastUser,updateLastTime,userId )"
    " values (@id,@utype,@customType,@customerCode,@uname,@pinyin,@contact,@companyName,@taxNumber,@bankName,"
    "@bankAccount,@address,@tel,@email,@fax,@status,@imageUrl,@creator,@createTime,@updateLastUser,"
    "@updateLastTime,@userId )");

ParamMap recordParams(const m_customer& m)
{
    return ParamMap{
        {QStringLiteral("@id"), m.id},
        {QStringLiteral("@utype"), m.utype},
        {QStringLiteral("@customType"), m.customType},
        {QStringLiteral("@customerCode"), m.customerCode},
        {QStringLiteral("@uname"), m.uname},
        {QStringLiteral("@pinyin"), m.pinyin},
        {QStringLiteral("@contact"), m.contact},
        {QStringLiteral("@companyName"), m.companyName},
        {QStringLiteral("@taxNumber"), m.taxNumber},
        {QStringLiteral("@bankName"), m.bankName},
        {QStringLiteral("@bankAccount"), m.bankAccount},
        {QStringLiteral("@address"), m.address},
        {QStringLiteral("@tel"), m.tel},
        {QStringLiteral("@email"), m.email},
        {QStringLiteral("@fax"), m.fax},
        {QStringLiteral("@status"), m.status},
        {QStringLiteral("@imageUrl"), m.imageUrl},
        {QStringLiteral("@creator"), m.creator},
        {QStringLiteral("@createTime"), m.createTime},
        {QStringLiteral("@updateLastUser"), m.updateLastUser},
        {QStringLiteral("@updateLastTime"), m.updateLastTime},
        {QStringLiteral("@userId"), m.userId},
        {QStringLiteral("@rowVersion"), m.rowVersion},
    };
}

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
    ExecuteParaSql(kInsert, recordParams(obj_Model));
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
    m_customer m;
    m.id = rs.integer(0, QStringLiteral("id"));
    m.utype = rs.integer(0, QStringLiteral("utype"));
    m.utypeName = rs.text(0, QStringLiteral("utypeName"));
    m.customType = rs.integer(0, QStringLiteral("customType"));
    m.customTypeName = rs.text(0, QStringLiteral("customTypeName"));
    m.customerCode = rs.text(0, QStringLiteral("customerCode"));
    m.uname = rs.text(0, QStringLiteral("uname"));
    m.pinyin = rs.text(0, QStringLiteral("pinyin"));
    m.contact = rs.text(0, QStringLiteral("contact"));
    m.companyName = rs.text(0, QStringLiteral("companyName"));
    m.taxNumber = rs.text(0, QStringLiteral("taxNumber"));
    m.bankName = rs.text(0, QStringLiteral("bankName"));
    m.bankAccount = rs.text(0, QStringLiteral("bankAccount"));
    m.address = rs.text(0, QStringLiteral("address"));
    m.tel = rs.text(0, QStringLiteral("tel"));
    m.email = rs.text(0, QStringLiteral("email"));
    m.fax = rs.text(0, QStringLiteral("fax"));
    m.status = rs.integer(0, QStringLiteral("status"));
    m.statusName = rs.text(0, QStringLiteral("statusName"));
    m.imageUrl = rs.text(0, QStringLiteral("imageUrl"));
    m.creator = rs.text(0, QStringLiteral("creator"));
    m.createTime = rs.text(0, QStringLiteral("createTime"));
    m.updateLastUser = rs.text(0, QStringLiteral("updateLastUser"));
    m.updateLastTime = rs.text(0, QStringLiteral("updateLastTime"));
    m.userId = rs.integer(0, QStringLiteral("userId"));
    m.rowVersion = rs.integer(0, QStringLiteral("rowVersion"));
    return m;
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
    const BillDirectionFacts& in = BillDirectionFacts::Of(BillDirection::In);
    const BillDirectionFacts& out = BillDirectionFacts::Of(BillDirection::Out);
    const QList<RefCheck> checks = {
        RefCheck::Uses(QStringLiteral("当前往来单位在入库表已经建账,不能删除!"), in.headTable,
                       in.partnerIdCol, int_Id),
        RefCheck::Uses(QStringLiteral("当前往来单位在出库表已经建账,不能删除!"), out.headTable,
                       out.partnerIdCol, int_Id),
    };
    return DeleteWithRefChecks(checks, [int_Id] {
        ExecuteChangingRow(QStringLiteral("Delete From tb_customer where id=@id"),
                           ParamMap{{QStringLiteral("@id"), int_Id}});
    });
}

void dal_customer::Update(const m_customer& obj_Model)
{
    // The code, the creator and the user stay as stored: the statement does not name them.
    TransactionGuard guard;
    UpdateUnchanged(
        QStringLiteral("tb_customer"),
        QStringLiteral(
            "utype=@utype, customType=@customType, uname=@uname, pinyin=@pinyin,"
            " contact=@contact, companyName=@companyName, taxNumber=@taxNumber, bankName=@bankName,"
            " bankAccount=@bankAccount, address=@address, tel=@tel, email=@email, fax=@fax, status=@status,"
            " imageUrl=@imageUrl, updateLastUser=@updateLastUser, updateLastTime=@updateLastTime"),
        recordParams(obj_Model), kMissingText);
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
