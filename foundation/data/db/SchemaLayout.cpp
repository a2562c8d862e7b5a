#include "SchemaLayout.h"

#include "DbCreator.h"
#include "SchemaVersion.h"

#include <QSqlDatabase>
#include <QUuid>

namespace
{

Layout makeFreshLayout()
{
    Layout out;
    const QString conn = QStringLiteral("wms_layout_") + QUuid::createUuid().toString(QUuid::Id128);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(QStringLiteral(":memory:"));
        if (db.open()) {
            QSqlQuery q(db);
            QStringList statements = BaseSchemaStatements();
            for (int step = 2; step <= kSchemaVersion; ++step)
                statements += SchemaStepStatements(step);
            bool made = !statements.isEmpty();
            for (const QString& statement : statements) {
                if (!q.exec(statement)) {
                    made = false;
                    break;
                }
            }
            if (made)
                ReadLayout(q, out);
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(conn);
    return out;
}

} // namespace

const Layout& FreshLayout()
{
    static const Layout layout = makeFreshLayout();
    return layout;
}

bool ReadLayout(QSqlQuery& q, Layout& out)
{
    out.clear();
    if (!q.exec(QStringLiteral("SELECT type, name, sql FROM sqlite_master WHERE type IN ('index', 'view', "
                               "'trigger') AND sql IS NOT NULL")))
        return false;
    while (q.next())
        out[q.value(1).toString()] = LayoutObject{q.value(0).toString(), q.value(2).toString()};
    q.finish();
    return true;
}

QStringList LayoutRepairs(const Layout& found)
{
    QStringList out;
    for (const auto& [name, fresh] : FreshLayout()) {
        const auto it = found.find(name);
        if (it != found.end() && it->second == fresh)
            continue;
        if (it != found.end())
            out << QStringLiteral("DROP %1 IF EXISTS \"%2\"").arg(it->second.type.toUpper(), name);
        out << fresh.sql;
    }
    return out;
}
