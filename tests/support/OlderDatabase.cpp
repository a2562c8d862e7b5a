#include "OlderDatabase.h"

#include "DbCreator.h"
#include "SchemaVersion.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace
{

// The name of the table, view, index or trigger a statement creates; empty for any other.
QString createdName(const QString& statement)
{
    static const QRegularExpression created(
        QStringLiteral(
            R"(^CREATE\s+(?:TEMP\s+|UNIQUE\s+)?(?:TABLE|VIEW|INDEX|TRIGGER)\s+(?:IF\s+NOT\s+EXISTS\s+)?(\w+))"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = created.match(statement.trimmed());
    return m.hasMatch() ? m.captured(1).toLower() : QString();
}

} // namespace

QString CreateOlderDatabase(const QString& fileName, int version)
{
    if (QFileInfo::exists(fileName))
        return QStringLiteral("文件已存在: ") + fileName;
    QSet<QString> laterNames;
    QSet<QString> laterTexts;
    for (int step = qMax(version, 1) + 1; step <= kSchemaVersion; ++step) {
        for (const QString& statement : SchemaStepStatements(step)) {
            const QString name = createdName(statement);
            if (name.isEmpty())
                laterTexts.insert(statement.trimmed());
            else
                laterNames.insert(name);
        }
    }
    const QString conn = QUuid::createUuid().toString();
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(fileName);
        if (!db.open())
            return db.lastError().text();
        QSqlQuery q(db);
        q.exec(QStringLiteral("BEGIN"));
        for (const QString& statement : SplitSqlStatements(SchemaText())) {
            const QString name = createdName(statement);
            if (name.isEmpty() ? laterTexts.contains(statement.trimmed()) : laterNames.contains(name))
                continue;
            if (!q.exec(statement)) {
                error = q.lastError().text() + QLatin1Char('\n') + statement.left(200);
                break;
            }
        }
        if (error.isEmpty() && !q.exec(QStringLiteral("PRAGMA user_version = %1").arg(version)))
            error = q.lastError().text();
        if (error.isEmpty())
            q.exec(QStringLiteral("COMMIT"));
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(conn);
    return error;
}

QString RunOnFile(const QString& fileName, const QStringList& statements)
{
    const QString conn = QUuid::createUuid().toString();
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(fileName);
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            for (const QString& sql : statements) {
                if (!q.exec(sql)) {
                    error = q.lastError().databaseText();
                    break;
                }
            }
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(conn);
    return error;
}

std::map<QString, QString> SchemaObjects(const QString& fileName)
{
    const QString conn = QUuid::createUuid().toString();
    std::map<QString, QString> out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(fileName);
        if (db.open()) {
            QSqlQuery q(db);
            q.exec(QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master"));
            while (q.next())
                out[q.value(1).toString()] = q.value(0).toString() + QLatin1Char('|') +
                                             q.value(2).toString() + QLatin1Char('|') + q.value(3).toString();
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(conn);
    return out;
}
