#include "OlderDatabase.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

#include <functional>

namespace
{

// Opens fileName on a connection of its own for the length of use; answers
// the reason when the file cannot be opened.
QString withFile(const QString& fileName, const std::function<void(QSqlDatabase&)>& use)
{
    const QString conn = QUuid::createUuid().toString();
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(fileName);
        if (db.open()) {
            use(db);
            db.close();
        } else {
            error = db.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(conn);
    return error;
}

} // namespace

QString RunOnFile(const QString& fileName, const QStringList& statements)
{
    QString error;
    const QString opening = withFile(fileName, [&](QSqlDatabase& db) {
        QSqlQuery q(db);
        for (const QString& sql : statements) {
            if (!q.exec(sql)) {
                error = q.lastError().databaseText();
                break;
            }
        }
    });
    return opening.isEmpty() ? error : opening;
}

std::map<QString, QString> SchemaObjects(const QString& fileName)
{
    std::map<QString, QString> out;
    withFile(fileName, [&](QSqlDatabase& db) {
        QSqlQuery q(db);
        q.exec(QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master"));
        while (q.next())
            out[q.value(1).toString()] = q.value(0).toString() + QLatin1Char('|') + q.value(2).toString() +
                                         QLatin1Char('|') + q.value(3).toString();
    });
    return out;
}

std::map<QString, QStringList> TableRows(const QString& fileName)
{
    std::map<QString, QStringList> out;
    withFile(fileName, [&](QSqlDatabase& db) {
        QSqlQuery tables(db);
        tables.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
        while (tables.next()) {
            const QString table = tables.value(0).toString();
            QStringList& rows = out[table];
            QSqlQuery q(db);
            q.exec(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table));
            while (q.next()) {
                QStringList values;
                for (int c = 0; c < q.record().count(); ++c)
                    values << (q.isNull(c) ? QStringLiteral("<null>") : q.value(c).toString());
                rows << values.join(QLatin1Char('|'));
            }
        }
    });
    return out;
}
