#include "ReportBillStore.h"

#include "DbError.h"
#include "sqlHelper.h"

ReportBillStore::Outcome ReportBillStore::stateOf(int id) const
{
    const RecordSetPtr rs = ExecuteSql(QStringLiteral("select ispass from ") + Tables(m_dir).head +
                                           QStringLiteral(" where id=@id"),
                                       {{QStringLiteral("@id"), id}});
    if (!rs || rs->isEmpty())
        return Outcome::Missing;
    return rs->value(0, 0).toInt() != 0 ? Outcome::Audited : Outcome::Unaudited;
}

ReportBillStore::Outcome ReportBillStore::Update_pass(int id, bool pass, const QString& user,
                                                      const QString& time)
{
    const int changed = ExecuteParaSql(
        QStringLiteral("update ") + Tables(m_dir).head +
            QStringLiteral(
                " set ispass=@ispass, updateLastUser=@updateLastUser, updateLastTime=@updateLastTime"
                " where id=@id and ispass=@was"),
        {{QStringLiteral("@ispass"), pass ? 1 : 0},
         {QStringLiteral("@updateLastUser"), user},
         {QStringLiteral("@updateLastTime"), time},
         {QStringLiteral("@id"), id},
         {QStringLiteral("@was"), pass ? 0 : 1}});
    return changed > 0 ? Outcome::Done : stateOf(id);
}

ReportBillStore::Outcome ReportBillStore::Delete(int id)
{
    Outcome outcome = Outcome::Done;
    const m_DBresult result = RunTrans([&] {
        outcome = stateOf(id);
        if (outcome != Outcome::Unaudited)
            return;
        const BillTables& t = Tables(m_dir);
        ExecuteParaSql(QStringLiteral("delete from ") + t.detail + QStringLiteral(" where headId=@headId"),
                       {{QStringLiteral("@headId"), id}});
        ExecuteParaSql(QStringLiteral("delete from ") + t.head + QStringLiteral(" where id=@id and ispass=0"),
                       {{QStringLiteral("@id"), id}});
        outcome = Outcome::Done;
    });
    if (!result.isResult)
        throw DbError(result.str_MsgBox);
    return outcome;
}
