#include "DbCreator.h"

#include "SchemaVersion.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

static void initSchemaResource()
{
    Q_INIT_RESOURCE(foundation);
}

namespace
{

// The base layout's text, as shipped inside the program.
QString schemaText()
{
    initSchemaResource();
    QFile f(QStringLiteral(":/db/schema.sql"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

// The script split into single statements, comments left out.
QStringList splitSqlStatements(const QString& script)
{
    QStringList out;
    QString current;
    const qsizetype n = script.size();
    qsizetype i = 0;
    int depth = 0; // BEGIN ... END of triggers
    while (i < n) {
        const QChar c = script.at(i);
        if (c == QLatin1Char('-') && i + 1 < n && script.at(i + 1) == QLatin1Char('-')) {
            while (i < n && script.at(i) != QLatin1Char('\n'))
                ++i;
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            qsizetype j = i + 1;
            while (j < n && !(script.at(j) == c && !(j + 1 < n && script.at(j + 1) == c)))
                j += (script.at(j) == c) ? 2 : 1;
            current.append(script.mid(i, j - i + 1));
            i = j + 1;
            continue;
        }
        if (c.isLetter()) {
            qsizetype j = i;
            while (j < n && (script.at(j).isLetterOrNumber() || script.at(j) == QLatin1Char('_')))
                ++j;
            const QString word = script.mid(i, j - i);
            if (word.compare(QLatin1String("BEGIN"), Qt::CaseInsensitive) == 0 &&
                current.contains(QLatin1String("TRIGGER"), Qt::CaseInsensitive))
                ++depth;
            else if (word.compare(QLatin1String("END"), Qt::CaseInsensitive) == 0 && depth > 0)
                --depth;
            current.append(word);
            i = j;
            continue;
        }
        if (c == QLatin1Char(';') && depth == 0) {
            if (!current.trimmed().isEmpty())
                out.append(current.trimmed());
            current.clear();
            ++i;
            continue;
        }
        current.append(c);
        ++i;
    }
    if (!current.trimmed().isEmpty())
        out.append(current.trimmed());
    return out;
}

} // namespace

const QStringList& BaseSchemaStatements()
{
    static const QStringList statements = splitSqlStatements(schemaText());
    return statements;
}

QString CreateDatabase(const QString& fileName, int version)
{
    if (version < 0 || version > kSchemaVersion)
        return QStringLiteral("no layout of version %1").arg(version);
    if (QFileInfo::exists(fileName))
        return QStringLiteral("文件已存在: ") + fileName;
    if (BaseSchemaStatements().isEmpty())
        return QStringLiteral("schema missing");
    QStringList statements = BaseSchemaStatements();
    for (int step = 2; step <= version; ++step)
        statements += SchemaStepStatements(step);
    // The file is written under another name and takes its own only when
    // whole: a failure leaves nothing behind.
    const QString tmpName = fileName + QStringLiteral(".creating");
    QFile::remove(tmpName);
    const QString conn = QStringLiteral("wms_create_") + QUuid::createUuid().toString(QUuid::Id128);
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(tmpName);
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            q.exec(QStringLiteral("PRAGMA journal_mode = OFF"));
            q.exec(QStringLiteral("BEGIN"));
            for (const QString& stmt : statements) {
                if (!q.exec(stmt)) {
                    error = q.lastError().text() + QStringLiteral("\n") + stmt.left(200);
                    break;
                }
            }
            if (error.isEmpty() && (!StampSchemaVersion(q, version) || !q.exec(QStringLiteral("COMMIT"))))
                error = q.lastError().text();
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(conn);
    if (error.isEmpty() && !QFile::rename(tmpName, fileName))
        error = QStringLiteral("无法写入 ") + fileName;
    if (!error.isEmpty())
        QFile::remove(tmpName);
    return error;
}

QString CreateFreshDatabase(const QString& fileName)
{
    return CreateDatabase(fileName, kSchemaVersion);
}
