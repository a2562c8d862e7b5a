#include "dal_user.h"

#include "BillDirection.h"
#include "DataAccess.h"
#include "ToMd5.h"
#include "sqlHelper.h"

namespace
{

const QString kSelect =
    QStringLiteral("select id,[user],pw,usex,isStart,dictionaryId,department from v_user ");

// An update that reaches no row changed nothing the caller asked for.
void requireChanged(int rows)
{
    if (rows == 0)
        throw DbError(QStringLiteral("当前记录不存在!"));
}

} // namespace

m_user dal_user::readOne(const QString& where, const ParamMap& params)
{
    CloseRs();
    const RecordSetPtr rs = ExecuteSql(kSelect + where, params);
    return rs && !rs->isEmpty() ? ReadUserRow(*rs) : m_user();
}

void dal_user::Add(const m_user& obj_Model)
{
    ExecuteParaSql(QStringLiteral("insert into tb_user (id,[user],pw,usex,isStart,dictionaryId) "
                                  " values (@id,@user,@pw,@usex,@isStart,@dictionaryId)"),
                   ParamMap{{QStringLiteral("@id"), obj_Model.id},
                            {QStringLiteral("@user"), obj_Model.user},
                            {QStringLiteral("@pw"), GetMD5(InitialPassword())},
                            {QStringLiteral("@usex"), obj_Model.usex},
                            {QStringLiteral("@isStart"), obj_Model.isStart},
                            {QStringLiteral("@dictionaryId"), obj_Model.dictionaryId}});
}

m_user dal_user::GetModel(int int_Id)
{
    return readOne(QStringLiteral(" where id=@id"), ParamMap{{QStringLiteral("@id"), int_Id}});
}

m_user dal_user::GetModelForUser(int int_Id, const QString& str_user)
{
    return readOne(QStringLiteral(" where id<>@id and [user]=@user order by id"),
                   ParamMap{{QStringLiteral("@id"), int_Id}, {QStringLiteral("@user"), str_user}});
}

m_user dal_user::GetModelForPw(const QString& str_user, const QString& str_pw)
{
    return readOne(QStringLiteral(" where ([user]=@user) and (pw=@pw) order by id"),
                   ParamMap{{QStringLiteral("@user"), str_user}, {QStringLiteral("@pw"), GetMD5(str_pw)}});
}

m_DBresult dal_user::Delete(int int_Id)
{
    const auto uses = [int_Id](const QString& refusal, const QString& table, const char* column) {
        return RefCheck::Uses(refusal, table, QLatin1String(column), int_Id);
    };
    QList<RefCheck> checks;
    for (const BillDirection d : kBillDirections) {
        const BillDirectionFacts& bills = BillDirectionFacts::Of(d);
        checks << RefCheck::BillUses(bills, QStringLiteral("用户"), bills.headTable, QStringLiteral("userId"),
                                     int_Id);
    }
    checks += {
        uses(QStringLiteral("当前用户在往来单位表已经建账,不能删除!"), QStringLiteral("tb_customer"),
             "userId"),
        uses(QStringLiteral("当前用户在日程管理已经建账,不能删除!"), QStringLiteral("tb_events"),
             "createUserId"),
    };
    return DeleteWithRefChecks(checks, [int_Id] {
        ExecuteChangingRow(QStringLiteral("Delete From tb_user where id=@id"),
                           ParamMap{{QStringLiteral("@id"), int_Id}});
    });
}

void dal_user::UpdatePw(const m_user& obj_Model)
{
    requireChanged(ExecuteParaSql(
        QStringLiteral("update tb_user set [pw]=@pw where id=@id"),
        ParamMap{{QStringLiteral("@id"), obj_Model.id}, {QStringLiteral("@pw"), GetMD5(obj_Model.pw)}}));
}

void dal_user::Update(const m_user& obj_Model)
{
    requireChanged(
        ExecuteParaSql(QStringLiteral("update tb_user set [user]=@user, usex=@usex, isStart=@isStart,"
                                      " dictionaryId=@dictionaryId where id=@id"),
                       ParamMap{{QStringLiteral("@id"), obj_Model.id},
                                {QStringLiteral("@user"), obj_Model.user},
                                {QStringLiteral("@usex"), obj_Model.usex},
                                {QStringLiteral("@isStart"), obj_Model.isStart},
                                {QStringLiteral("@dictionaryId"), obj_Model.dictionaryId}}));
}

QString dal_user::NameTakenText(int int_Id, const QString& str_user)
{
    if (GetModelForUser(int_Id, str_user).id < 1)
        return {};
    return QStringLiteral("用户名[") + str_user + QStringLiteral("]重复!");
}

QString dal_user::Save(m_user& obj_Model)
{
    return SaveChecked(
        QStringLiteral("tb_user"), obj_Model, [this](const m_user& m) { return NameTakenText(m.id, m.user); },
        [this](const m_user& m) { Update(m); }, [this](const m_user& m) { Add(m); });
}

RecordSetPtr dal_user::List()
{
    return ExecuteSql(
        QStringLiteral("select id,user,pw,usex,isStart,dictionaryId,department from v_user order by id"));
}
