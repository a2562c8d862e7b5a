#include "TestEnv.h"

#include "DbCreator.h"
#include "ProcessFuntion.h"
#include "SchemaVersion.h"
#include "mod_public.h"
#include "sqlHelper.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>

namespace
{

// Runs one statement on a database file without the program's connection;
// answers the first value of its first row, if any.
QVariant onFile(const QString& file, const QString& sql)
{
    const QString conn = QUuid::createUuid().toString();
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(file);
        EXPECT_TRUE(db.open());
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        if (q.next())
            value = q.value(0);
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(conn);
    return value;
}

QByteArray bytesOf(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class SchemaVersionTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        CloseConn();
        file = appDir() + QStringLiteral("wms.db");
        onFile(file, QStringLiteral("INSERT INTO tb_setting (id, setKey) VALUES (101, 'marker')"));
    }
    void TearDown() override
    {
        SetEndProgramHook({});
        SetEndProgramOnMissingDb(false);
        DbTest::TearDown();
    }
    int versionOf(const QString& name) { return onFile(name, QStringLiteral("PRAGMA user_version")).toInt(); }
    void setVersion(int version) { onFile(file, QStringLiteral("PRAGMA user_version = %1").arg(version)); }

    QString file;
};

} // namespace

TEST_F(SchemaVersionTest, AFreshDatabaseCarriesTheProgramsVersion)
{
    ASSERT_EQ(kSchemaVersion, 2);
    EXPECT_EQ(versionOf(file), kSchemaVersion);
    const QString other = appDir() + QStringLiteral("fresh/wms.db");
    QDir().mkpath(appDir() + QStringLiteral("fresh"));
    ASSERT_TRUE(CreateFreshDatabase(other).isEmpty());
    EXPECT_EQ(versionOf(other), kSchemaVersion);
}

// A database made before the version was kept reads 0: the first opening
// stamps it, whether at start or in the session, and leaves its rows alone.
TEST_F(SchemaVersionTest, AnOlderDatabaseIsBroughtUpWhenOpened)
{
    for (const bool atStart : {true, false}) {
        SCOPED_TRACE(atStart ? "at start" : "in the session");
        setVersion(0);
        ASSERT_EQ(versionOf(file), 0);
        SetEndProgramOnMissingDb(atStart);
        EXPECT_EQ(scalar(QStringLiteral("SELECT setKey FROM tb_setting WHERE id = 101")).toString(),
                  "marker");
        EXPECT_TRUE(IsConnOpen());
        CloseConn();
        EXPECT_EQ(versionOf(file), kSchemaVersion);
    }
    EXPECT_TRUE(shown().isEmpty());
}

// A database of version 1 gets the serial indexes of the bill and partner
// numbers when opened; its rows stay, and numbering goes on from them.
TEST_F(SchemaVersionTest, AVersionOneDatabaseGetsTheSerialIndexes)
{
    const QStringList serialIndexes{QStringLiteral("ix_ck_head_serial"), QStringLiteral("ix_customer_serial"),
                                    QStringLiteral("ix_rk_head_serial")};
    const QString listed =
        QStringLiteral("SELECT group_concat(name) FROM (SELECT name FROM sqlite_master WHERE "
                       "type='index' AND name LIKE '%_serial' ORDER BY name)");
    EXPECT_EQ(onFile(file, listed).toString(), serialIndexes.join(QLatin1Char(',')));
    for (const QString& index : serialIndexes)
        onFile(file, QStringLiteral("DROP INDEX ") + index);
    onFile(file, QStringLiteral("INSERT INTO tb_rk_head (id, billNo) VALUES (1, 'rk-2402-00041')"));
    setVersion(1);
    ASSERT_EQ(onFile(file, listed).toString(), QString());

    EXPECT_EQ(GetNewBillNo(QStringLiteral("rk"), QStringLiteral("2024-02-10")),
              QStringLiteral("rk-2402-00042"));
    CloseConn();
    EXPECT_EQ(versionOf(file), kSchemaVersion);
    EXPECT_EQ(onFile(file, listed).toString(), serialIndexes.join(QLatin1Char(',')));
    EXPECT_EQ(onFile(file, QStringLiteral("SELECT setKey FROM tb_setting WHERE id = 101")).toString(),
              "marker");
    EXPECT_TRUE(shown().isEmpty());
}

// A database of a newer program is refused and left as it is, byte for
// byte: at start the program says so and ends; in the session the operation
// fails, and the connection stays closed.
TEST_F(SchemaVersionTest, ANewerDatabaseIsRefusedUntouched)
{
    int ended = 0;
    SetEndProgramHook([&ended] { ++ended; });
    setVersion(kSchemaVersion + 1);
    const QByteArray before = bytesOf(file);
    const QStringList filesBefore = QDir(appDir()).entryList(QDir::Files);

    SetEndProgramOnMissingDb(true);
    EXPECT_THROW(init_SysVar(), DbError); // the end hook of a test returns
    EXPECT_EQ(ended, 1);
    ASSERT_EQ(MsgBox::Shown().size(), 1);
    EXPECT_EQ(MsgBox::Shown().at(0).text,
              QStringLiteral("数据库版本(%1)高于本程序支持的版本(%2),系统即将退出!")
                  .arg(kSchemaVersion + 1)
                  .arg(kSchemaVersion));
    EXPECT_EQ(MsgBox::Shown().at(0).title, QStringLiteral("System"));
    EXPECT_EQ(MsgBox::Shown().at(0).icon, MsgIcon::Exclamation);
    EXPECT_FALSE(IsConnOpen());

    SetEndProgramOnMissingDb(false);
    try {
        ExecuteSql(QStringLiteral("SELECT 1"));
        ADD_FAILURE() << "a newer database was used";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("数据库版本(%1)高于本程序支持的版本(%2),请使用新版本的程序!")
                                   .arg(kSchemaVersion + 1)
                                   .arg(kSchemaVersion));
    }
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(MsgBox::Shown().size(), 1);
    EXPECT_FALSE(IsConnOpen());

    EXPECT_EQ(bytesOf(file), before);
    EXPECT_EQ(QDir(appDir()).entryList(QDir::Files), filesBefore);
}
