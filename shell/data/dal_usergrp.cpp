#include "dal_usergrp.h"

#include "Numbers.h"

namespace
{

// What refuses deleting a group: staff that still belong to it.
QList<RefCheck> deleteChecks(int int_Id, const QString& inUseText)
{
    return {RefCheck::Uses(inUseText, QStringLiteral("tb_Staff"), QStringLiteral("ugrpid"), int_Id)};
}

} // namespace

QString dal_usergrp::DeleteRefusal(int int_Id, const QString& inUseText)
{
    const RefCheckResult refusal = FirstRefusal(deleteChecks(int_Id, inUseText));
    return refusal.isOK ? QString() : refusal.strMsg;
}

m_DBresult dal_usergrp::Delete(int int_Id, const QString& inUseText)
{
    return DeleteWithRefChecks(deleteChecks(int_Id, inUseText), [int_Id] {
        const ParamMap id{{QStringLiteral("@id"), int_Id}};
        ExecuteChangingRow(QStringLiteral("Delete From tb_Usergrp where id=@id"), id);
        ExecuteParaSql(QStringLiteral("Delete From tb_sysuserfun where usergrpid=@id"), id);
    });
}

RecordSetPtr dal_usergrp::List()
{
    return ExecuteSql(QStringLiteral("SELECT id,uname,uremark FROM tb_Usergrp ORDER BY id"));
}

m_DBresult dal_usergrp::Save(int& int_Id, const QString& str_Name, const QString& str_Remark)
{
    int id = int_Id;
    const m_DBresult result = RunTrans([&] {
        if (id <= 0) {
            id = GetMaxValue(QStringLiteral("id"), QStringLiteral("tb_Usergrp")).toInt() + 1;
            ExecuteParaSql(
                QStringLiteral("insert into tb_Usergrp (id,uname,uremark) values (@id,@uname,@uremark)"),
                ParamMap{{QStringLiteral("@id"), id},
                         {QStringLiteral("@uname"), str_Name},
                         {QStringLiteral("@uremark"), str_Remark}});
        } else {
            ExecuteChangingRow(
                QStringLiteral("update tb_Usergrp set uname=@uname, uremark=@uremark where id=@id"),
                ParamMap{{QStringLiteral("@uname"), str_Name},
                         {QStringLiteral("@uremark"), str_Remark},
                         {QStringLiteral("@id"), id}});
        }
    });
    if (result.isResult)
        int_Id = id;
    return result;
}

m_DBresult dal_usergrp::SaveGrants(int int_Id, const QStringList& nodeCodes)
{
    return RunTrans([&] {
        ExecuteParaSql(QStringLiteral("Delete From tb_sysuserfun where usergrpid=@g"),
                       ParamMap{{QStringLiteral("@g"), int_Id}});
        for (const QString& code : nodeCodes)
            ExecuteParaSql(QStringLiteral("Insert Into tb_sysuserfun(nodecode,usergrpid) values (@code,@g)"),
                           ParamMap{{QStringLiteral("@code"), code}, {QStringLiteral("@g"), int_Id}});
    });
}

int dal_usergrp::IdOfName(const QString& str_Name)
{
    return int(ReadNumber(GetFieldValue(QStringLiteral("id"), QStringLiteral("tb_Usergrp"),
                                        QStringLiteral(" And uname=@uname"),
                                        ParamMap{{QStringLiteral("@uname"), str_Name}})));
}

TreeLevelReader dal_usergrp::GrantTree(int int_Id)
{
    const QString source =
        QStringLiteral(
            "(SELECT B.usergrpid, CASE WHEN B.usergrpid IS NULL THEN 0 ELSE 1 END AS ucheck, A.id, "
            "A.menucode AS funCode, A.displaytext, A.icon, A.parentid, A.type, A.orderid AS orderBy "
            "FROM tb_sysmenu A LEFT JOIN (SELECT DISTINCT nodecode, usergrpid FROM tb_sysuserfun "
            "WHERE usergrpid=%1) B ON A.menucode=B.nodecode WHERE (A.isstop=0)) z")
            .arg(int_Id);
    return [source](int parentId) { return ReadTreeLevel(source, parentId); };
}
