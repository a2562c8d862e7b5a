#include "DataAccess.h"

#include <QSet>

m_recordSet SelectForConditions(const QString& selectFrom, const m_conditions& conditions,
                                const SearchFields& fields, const QString& tail)
{
    m_recordSet result;
    const ConditionSql where = GetConditionSql(conditions, fields);
    result.str_condition = where.sql;
    result.recordSet =
        ExecuteSql(selectFrom + QStringLiteral(" where 1=1 ") + where.sql + tail, where.params);
    result.recordCount = result.recordSet ? result.recordSet->RecordCount() : 0;
    return result;
}

void ExecuteChangingRow(const QString& sql, const ParamMap& params, const QString& missingText)
{
    if (ExecuteParaSql(sql, params) <= 0)
        throw DbError(missingText);
}

int TakeIds(const QString& table, int count)
{
    CheckSqlName(table);
    const ParamMap name{{QStringLiteral("@table"), table}};
    ParamMap take = name;
    take.Add(QStringLiteral("@count"), qMax(1, count));
    // A row written with an id of its own (by a program that knows no
    // sequence) is passed as well.
    const QString advance =
        QStringLiteral("UPDATE tb_sequence SET lastId = max(lastId, (SELECT COALESCE(MAX(id), 0) FROM ") +
        table + QStringLiteral(")) + @count WHERE tableName = @table");
    if (ExecuteParaSql(advance, take) == 0) {
        // A table whose sequence row is gone gets it back, started at its
        // largest stored id, and the ids are taken from it.
        ExecuteParaSql(QStringLiteral("INSERT INTO tb_sequence (tableName, lastId) SELECT @table, "
                                      "COALESCE(MAX(id), 0) FROM ") +
                           table,
                       name);
        if (ExecuteParaSql(advance, take) == 0)
            throw DbError(QStringLiteral("编号序列不可用: ") + table);
    }
    return ScalarInt(QStringLiteral("SELECT lastId FROM tb_sequence WHERE tableName = @table"), name) -
           qMax(1, count) + 1;
}

int StoredVersion(const QString& table, int id)
{
    CheckSqlName(table);
    const RecordSetPtr rs =
        ExecuteSql(QStringLiteral("SELECT rowVersion FROM ") + table + QStringLiteral(" WHERE id = @id"),
                   ParamMap{{QStringLiteral("@id"), id}});
    return rs && !rs->isEmpty() ? rs->value(0, 0).toInt() : -1;
}

void RequireUnchanged(const QString& table, int id, int version, const QString& missingText)
{
    const int stored = StoredVersion(table, id);
    if (stored < 0)
        throw DbError(missingText);
    if (stored != version)
        throw DbError(kRecordChangedText);
}

void UpdateUnchanged(const QString& table, const QString& assignments, const ParamMap& params,
                     const QString& missingText)
{
    RequireUnchanged(table, params.value(QStringLiteral("@id")).toInt(),
                     params.value(QStringLiteral("@rowVersion")).toInt(), missingText);
    ExecuteChangingRow(QStringLiteral("update ") + table + QStringLiteral(" set ") + assignments +
                           QStringLiteral(",rowVersion=rowVersion+1 where id=@id and rowVersion=@rowVersion"),
                       params, kRecordChangedText);
}

void UpdateStamped(const QString& table, const QString& assignments, const ParamMap& params,
                   const QString& missingText)
{
    ExecuteChangingRow(QStringLiteral("update ") + table + QStringLiteral(" set ") + assignments +
                           QStringLiteral(",rowVersion=rowVersion+1 where id=@id"),
                       params, missingText);
}

int ScalarInt(const QString& sql, const ParamMap& params)
{
    const RecordSetPtr rs = ExecuteSql(sql, params);
    return rs && !rs->isEmpty() ? rs->value(0, 0).toInt() : 0;
}

bool AllStored(const QString& table, const QSet<int>& ids)
{
    CheckSqlName(table);
    QString list;
    list.reserve(ids.size() * 8 + 2);
    list.append(QLatin1Char('['));
    for (const int id : ids) {
        if (id < 1)
            return false;
        if (list.size() > 1)
            list.append(QLatin1Char(','));
        list.append(QString::number(id));
    }
    list.append(QLatin1Char(']'));
    // The ids go in as one bound list: the statement is the same for any
    // number of them and is prepared once.
    return ScalarInt(QStringLiteral("SELECT COUNT(*) FROM json_each(@ids) AS j WHERE NOT EXISTS "
                                    "(SELECT 1 FROM ") +
                         table + QStringLiteral(" AS t WHERE t.id = j.value)"),
                     ParamMap{{QStringLiteral("@ids"), list}}) == 0;
}

RecordSetPtr ReadTreeLevel(const QString& source, int parentId)
{
    // The source text is the program's own; the id is bound.
    return ExecuteSql(QStringLiteral("select * from ") + source +
                          QStringLiteral(" where parentid= @parentid order by orderBy"),
                      ParamMap{{QStringLiteral("@parentid"), parentId}});
}

RefCheck RefCheck::Uses(const QString& refusal, const QString& table, const QString& column,
                        const QVariant& value)
{
    CheckSqlName(table);
    CheckSqlName(column);
    return {refusal,
            QStringLiteral("select count(*) from ") + table + QStringLiteral(" where ") + column +
                QStringLiteral("=@refValue"),
            ParamMap{{QStringLiteral("@refValue"), value}}};
}

RefCheck RefCheck::BillUses(const BillDirectionFacts& bills, const QString& subject, const QString& table,
                            const QString& column, const QVariant& value)
{
    return Uses(QStringLiteral("当前%1在%2表已经建账,不能删除!").arg(subject, bills.billWord), table, column,
                value);
}

m_DBresult DeleteWithRefChecks(const QList<RefCheck>& checks, const std::function<void()>& deleteRows)
{
    int refusedCount = 0;
    m_DBresult result = RunTrans([&] {
        const RefCheckResult refusal = FirstRefusal(checks);
        if (!refusal.isOK) {
            refusedCount = refusal.fkCount;
            throw DbError(refusal.strMsg);
        }
        deleteRows();
    });
    if (!result.isResult)
        result.int_Count = refusedCount;
    return result;
}

bool IsParentCycle(int id, int parentId, const std::function<int(int)>& parentOf)
{
    if (parentId == id)
        return true;
    QSet<int> visited;
    int current = parentId;
    while (current != 0) {
        if (visited.contains(current))
            return true;
        visited.insert(current);
        current = parentOf(current);
        if (current == id)
            return true;
    }
    return false;
}

RefCheckResult FirstRefusal(const QList<RefCheck>& checks)
{
    RefCheckResult result;
    for (const RefCheck& check : checks) {
        const int count = ScalarInt(check.countSql, check.params);
        if (count > 0) {
            result.fkCount = count;
            result.strMsg = check.refusal;
            result.isOK = false;
            break;
        }
    }
    return result;
}
