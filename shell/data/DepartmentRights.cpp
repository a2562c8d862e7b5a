#include "DepartmentRights.h"

#include "DataAccess.h"
#include "sqlHelper.h"

namespace DepartmentRights
{

namespace
{

QString treeSource(const QString& kind, int departmentId)
{
    const QString dept = QString::number(departmentId);
    const QString ucheck = QStringLiteral(
        "(select b.departmentId,CASE WHEN b.departmentId IS NULL THEN 0 ELSE 1 END AS ucheck,");
    if (kind == QLatin1String("funType"))
        return ucheck +
               QStringLiteral("a.id,a.funCode,a.displaytext,a.parentid,a.type,'open' as icon,a.orderby "
                              "from tb_sys_fun a left join (select distinct funCode,departmentId from "
                              "tb_user_group_fun where departmentId = ") +
               dept + QStringLiteral(") b on a.funCode = b.funCode where a.type<>-1) z");
    if (kind == QLatin1String("locationType"))
        return ucheck +
               QStringLiteral(
                   "a.id,a.id as funCode,a.uname as displaytext,a.parentid,'open' as icon,a.orderby "
                   "from tb_location a left join (select distinct locationId,departmentId from "
                   "tb_location_fun where departmentId = ") +
               dept + QStringLiteral(") b on a.id = b.locationId where a.state=1  and a.isLock=0) z");
    return ucheck +
           QStringLiteral("a.id,a.id as funCode,a.uname as displaytext,a.parentid,'open' as icon,a.orderby "
                          "from tb_dictionary a left join (select distinct accountId,departmentId from "
                          "tb_account_fun where departmentId = ") +
           dept + QStringLiteral(") b on a.id = b.accountId where a.utype='accountType') z");
}

} // namespace

TreeLevelReader Tree(const QString& kind, int departmentId)
{
    const QString source = treeSource(kind, departmentId);
    return [source](int parentId) { return ReadTreeLevel(source, parentId); };
}

bool HasTextCodes(const QString& kind)
{
    return kind == QLatin1String("funType");
}

m_DBresult Save(const QString& kind, int departmentId, const QList<QVariant>& codes)
{
    QString deleteSql;
    QString insertSql;
    if (kind == QLatin1String("funType")) {
        deleteSql = QStringLiteral("delete from tb_user_group_fun where departmentId=@departmentId");
        insertSql =
            QStringLiteral("insert into tb_user_group_fun(funCode,departmentId) select @code,@departmentId");
    } else if (kind == QLatin1String("locationType")) {
        deleteSql = QStringLiteral("delete from tb_location_fun where departmentId=@departmentId");
        insertSql =
            QStringLiteral("insert into tb_location_fun(locationId,departmentId) select @code,@departmentId");
    } else {
        deleteSql = QStringLiteral("delete from tb_account_fun where departmentId=@departmentId");
        insertSql =
            QStringLiteral("insert into tb_account_fun(accountId,departmentId) select @code,@departmentId");
    }
    return RunTrans([&] {
        ExecuteParaSql(deleteSql, ParamMap{{QStringLiteral("@departmentId"), departmentId}});
        for (const QVariant& code : codes)
            ExecuteParaSql(insertSql, ParamMap{{QStringLiteral("@code"), code},
                                               {QStringLiteral("@departmentId"), departmentId}});
    });
}

} // namespace DepartmentRights
