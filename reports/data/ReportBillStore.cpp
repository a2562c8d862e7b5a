#include "ReportBillStore.h"

#include "sqlHelper.h"

ReportBillStore::Outcome ReportBillStore::stateOf(int id) const
{
    const RecordSetPtr rs = ExecuteSql(QStringLiteral("select ispass from ") + m_store.direction().headTable +
                                           QStringLiteral(" where id=@id"),
                                       {{QStringLiteral("@id"), id}});
    if (!rs || rs->isEmpty())
        return Outcome::Missing;
    return rs->value(0, 0).toInt() != 0 ? Outcome::Audited : Outcome::Unaudited;
}

ReportBillStore::Outcome ReportBillStore::Update_pass(int id, bool pass, const QString& user,
                                                      const QString& time)
{
    // The stored state is part of the condition: a bill audited (or
    // un-audited) elsewhere since the last search is left as it is.
    const int changed = ExecuteParaSql(
        QStringLiteral("update ") + m_store.direction().headTable +
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
