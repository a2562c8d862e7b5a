#include "SchemaVersion.h"

#include "DbError.h"

#include <QSqlError>
#include <QStringList>

namespace
{

// The statements that bring a database of version n - 1 to version n, at
// index n - 1. Step 1 meets the databases made before the version was kept:
// their layout is that of version 1 already, so the stamp is all they need.
const QStringList& stepStatements(int version)
{
    static const QStringList steps[kSchemaVersion] = {
        {}, // 1
    };
    return steps[version - 1];
}

QString errorText(const QSqlError& e)
{
    return SqlErrorText(e);
}

bool readVersion(QSqlQuery& q, int& version)
{
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        return false;
    version = q.value(0).toInt();
    q.finish();
    return true;
}

// Tables every database of this program has held since its first version.
// A file without them is not brought up: it belongs to another program, or
// is empty.
bool readIsOurs(QSqlQuery& q, bool& ours)
{
    if (!q.exec(
            QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND lower(name) IN "
                           "('tb_user', 'tb_dictionary', 'tb_setting', 'tb_goods_head', 'tb_goods_detail', "
                           "'tb_location', 'tb_customer', 'tb_rk_head', 'tb_ck_head')")) ||
        !q.next())
        return false;
    ours = q.value(0).toInt() == 9;
    q.finish();
    return true;
}

SchemaUpgrade newer(int found)
{
    SchemaUpgrade out;
    out.outcome = SchemaUpgrade::Outcome::Newer;
    out.found = found;
    out.message = QStringLiteral("数据库版本(%1)高于本程序支持的版本(%2)").arg(found).arg(kSchemaVersion);
    return out;
}

} // namespace

bool StampSchemaVersion(QSqlQuery& q)
{
    return q.exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion));
}

SchemaUpgrade UpgradeSchema(QSqlDatabase db)
{
    SchemaUpgrade out;
    QSqlQuery q(db);
    bool ours = false;
    if (!readVersion(q, out.found) || (out.found <= kSchemaVersion && !readIsOurs(q, ours))) {
        out.outcome = SchemaUpgrade::Outcome::Unreadable;
        out.message = errorText(q.lastError());
        return out;
    }
    if (out.found > kSchemaVersion)
        return newer(out.found);
    if (!ours) {
        out.outcome = SchemaUpgrade::Outcome::Foreign;
        return out;
    }
    if (out.found == kSchemaVersion)
        return out;

    // Another copy of the program may be taking the same steps: the version
    // is read again under the write lock, and the steps start from there.
    const auto fail = [&] {
        out.outcome = SchemaUpgrade::Outcome::Failed;
        out.message = errorText(q.lastError());
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return out;
    };
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return fail();
    int version = 0;
    if (!readVersion(q, version))
        return fail();
    if (version > kSchemaVersion) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return newer(version);
    }
    for (int step = version + 1; step <= kSchemaVersion; ++step) {
        for (const QString& statement : stepStatements(step)) {
            if (!q.exec(statement))
                return fail();
        }
    }
    if (!StampSchemaVersion(q) || !q.exec(QStringLiteral("COMMIT")))
        return fail();
    return out;
}
