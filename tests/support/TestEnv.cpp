#include "TestEnv.h"

#include "Clock.h"
#include "DbCreator.h"
#include "DialogRunner.h"
#include "InputBox.h"
#include "Launcher.h"
#include "m_user.h"
#include "mod_public.h"
#include "sqlHelper.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QWidget>

void DbTest::SetUp()
{
    m_dir = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(m_dir->isValid());
    CloseConn();
    SetAppPathOverride(m_dir->path());
    SetEndProgramOnMissingDb(false);
    MsgBox::BeginTest();
    DialogRunner::BeginTest();
    InputBox::BeginTest();
    Launcher::BeginTest();
    Clock::Reset();
    const QString error = CreateFreshDatabase(appDir() + QStringLiteral("wms.db"));
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    CurrentUser = m_user();
    SysVar = m_SysVar();
    init_SysVar();
}

void DbTest::TearDown()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        // A window that would ask about the work typed into it goes without
        // the question: the tests that close it answer it.
        if (w->metaObject()->indexOfMethod("mayDiscard()") < 0)
            w->close();
        w->deleteLater();
    }
    QApplication::processEvents();
    CloseConn();
    MsgBox::EndTest();
    DialogRunner::EndTest();
    InputBox::EndTest();
    Launcher::EndTest();
    Clock::Reset();
    for (const QString& f : MsgBox::Failures())
        ADD_FAILURE() << f.toStdString();
    for (const QString& f : DialogRunner::Failures())
        ADD_FAILURE() << f.toStdString();
    for (const QString& f : InputBox::Failures())
        ADD_FAILURE() << f.toStdString();
    SetAppPathOverride({});
    CurrentUser = m_user();
    m_dir.reset();
}

QString DbTest::appDir() const
{
    return m_dir->path() + QStringLiteral("/");
}

bool DbTest::installPrintTemplates() const
{
    const QDir shipped(QCoreApplication::applicationDirPath() + QStringLiteral("/qvPrint/templeteXml"));
    const QString installed = appDir() + QStringLiteral("qvPrint/templeteXml/");
    bool all = QDir().mkpath(installed);
    for (const QString& name : shipped.entryList({QStringLiteral("*.xml")}, QDir::Files))
        all = QFile::copy(shipped.filePath(name), installed + name) && all;
    return all;
}

void DbTest::exec(const QString& sql)
{
    try {
        ExecuteSql(sql);
    } catch (const DbError& e) {
        ADD_FAILURE() << e.message().toStdString() << "\n" << sql.toStdString();
    }
}

QVariant DbTest::scalar(const QString& sql)
{
    try {
        const RecordSetPtr rs = ExecuteSql(sql);
        if (!rs || rs->isEmpty())
            return {};
        return rs->value(0, 0);
    } catch (const DbError& e) {
        ADD_FAILURE() << e.message().toStdString() << "\n" << sql.toStdString();
        return {};
    }
}

int DbTest::count(const QString& table, const QString& where)
{
    return scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table +
                  (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where))
        .toInt();
}

void DbTest::loginAs(int userId)
{
    const RecordSetPtr rs = ExecuteSql(QStringLiteral("SELECT * FROM v_user WHERE id=@id"),
                                       ParamMap{{QStringLiteral("@id"), userId}});
    ASSERT_TRUE(rs && rs->RecordCount() == 1);
    CurrentUser = ReadUserRow(*rs);
    init_SysVar();
}

OtherWorkstation::OtherWorkstation(const QString& databaseFile) : m_name(QStringLiteral("other_workstation"))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(databaseFile);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
}

OtherWorkstation::~OtherWorkstation()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

void OtherWorkstation::exec(const QString& sql)
{
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    EXPECT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
}

namespace
{
QStringList* g_dbLog = nullptr;
QtMessageHandler g_previousHandler = nullptr;

void keepDbLog(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (g_dbLog && context.category && qstrcmp(context.category, "wms.db") == 0) {
        g_dbLog->append(message);
        return;
    }
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}
} // namespace

DbLog::DbLog()
{
    g_dbLog = new QStringList;
    g_previousHandler = qInstallMessageHandler(keepDbLog);
}

DbLog::~DbLog()
{
    qInstallMessageHandler(g_previousHandler);
    delete g_dbLog;
    g_dbLog = nullptr;
}

QString DbLog::text() const
{
    return g_dbLog->join(QLatin1Char('\n'));
}
