#include "dal_usergrp.h"

QList<RefCheck> dal_usergrp::DeleteChecks(int int_Id, const QString& inUseText)
{
    return {RefCheck::Uses(inUseText, QStringLiteral("tb_Staff"), QStringLiteral("ugrpid"), int_Id)};
}

m_DBresult dal_usergrp::Delete(int int_Id, const QString& inUseText)
{
    return DeleteWithRefChecks(DeleteChecks(int_Id, inUseText), [int_Id] {
        const ParamMap id{{QStringLiteral("@id"), int_Id}};
        ExecuteChangingRow(QStringLiteral("Delete From tb_Usergrp where id=@id"), id);
        ExecuteParaSql(QStringLiteral("Delete From tb_sysuserfun where usergrpid=@id"), id);
    });
}
