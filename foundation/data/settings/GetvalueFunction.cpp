#include "GetvalueFunction.h"

#include "MsgBox.h"
#include "StringBulider.h"
#include "mod_public.h"
#include "sqlHelper.h"

#include <QSet>

bool check_FunRight(const QString& code, bool isShowMsg)
{
    const QString list = QLatin1Char(',') + SysVar.Sys_funJoinCode;
    if (list.contains(QLatin1Char(',') + code + QLatin1Char(','), Qt::CaseSensitive))
        return true;
    if (isShowMsg)
        MsgBox::Show(QStringLiteral("功能受限,请与系统管理联系!"), MsgIcon::Information,
                     QStringLiteral("System"));
    return false;
}

namespace
{
void appendChildIds(int id, const QString& sql, StringBulider& out, QSet<int>& visited)
{
    const RecordSetPtr rs = ExecuteSql(sql, ParamMap{{QStringLiteral("@parentId"), id}});
    const int idColumn = rs->fieldIndex(QStringLiteral("id"));
    if (idColumn < 0)
        throw DbError(QStringLiteral("GetChildIds: 查询结果没有 id 列"));
    for (int r = 0; r < rs->RecordCount(); ++r) {
        const int child = rs->value(r, idColumn).toInt();
        if (visited.contains(child))
            continue; // the parent links run in a circle
        visited.insert(child);
        out.Append(rs->value(r, 0).toString()).Append(QStringLiteral(","));
        appendChildIds(child, sql, out, visited);
    }
}
} // namespace

QString GetChildIds(int id, const QString& table, const QString& field)
{
    CheckSqlName(table);
    CheckSqlName(field);
    // The id column is read as well, so that any listed field can be walked.
    const QString sql =
        QStringLiteral("select %1, id from %2 where parentId=@parentId order by id").arg(field, table);
    StringBulider out;
    QSet<int> visited{id};
    appendChildIds(id, sql, out, visited);
    out.Append(QString::number(id));
    return out.ToString();
}

QString DictionarySubtreeIds(int id)
{
    return GetChildIds(id, QStringLiteral("tb_dictionary"), QStringLiteral("id"));
}
