#include "TestEnv.h"

#include "DbCreator.h"
#include "OlderDatabase.h"
#include "ProcessFuntion.h"
#include "SchemaVersion.h"
#include "mod_public.h"
#include "sqlHelper.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>
#include <functional>
#include <memory>

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
    // Puts a file of an older version in the place of the database, with the marker row.
    void makeOlder(int version)
    {
        QFile::remove(file);
        ASSERT_TRUE(CreateDatabase(file, version).isEmpty());
        onFile(file, QStringLiteral("INSERT INTO tb_setting (id, setKey) VALUES (101, 'marker')"));
    }

    QString file;
};

} // namespace

TEST_F(SchemaVersionTest, AFreshDatabaseCarriesTheProgramsVersion)
{
    ASSERT_FALSE(SchemaStepStatements(kSchemaVersion).isEmpty());
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
        makeOlder(0);
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
    makeOlder(1);
    onFile(file, QStringLiteral("INSERT INTO tb_rk_head (id, billNo) VALUES (1, 'rk-2402-00041')"));
    ASSERT_EQ(versionOf(file), 1);
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

// A file that does not hold this program's tables (another program's
// database, an empty file) is refused and left byte for byte as it was: no
// version stamp, no journal beside it.
TEST_F(SchemaVersionTest, AFileOfAnotherProgramIsRefusedUntouched)
{
    int ended = 0;
    SetEndProgramHook([&ended] { ++ended; });
    const QString path = QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
    const struct {
        const char* what;
        std::function<void()> make;
    } cases[] = {
        {"another program's database",
         [&] {
             QFile::remove(file);
             onFile(file, QStringLiteral("CREATE TABLE notes (id INTEGER PRIMARY KEY, body TEXT)"));
             onFile(file, QStringLiteral("INSERT INTO notes (body) VALUES ('keep me')"));
         }},
        {"an empty file",
         [&] {
             QFile f(file);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
         }},
    };
    for (const auto& c : cases) {
        for (const bool atStart : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (atStart ? " at start" : " in the session"));
            MsgBox::ClearShown();
            c.make();
            const QByteArray before = QCryptographicHash::hash(bytesOf(file), QCryptographicHash::Md5);
            const QStringList filesBefore = QDir(appDir()).entryList(QDir::Files);
            SetEndProgramOnMissingDb(atStart);
            const int endedBefore = ended;
            try {
                ExecuteSql(QStringLiteral("SELECT 1"));
                ADD_FAILURE() << "a foreign file was used";
            } catch (const DbError& e) {
                EXPECT_EQ(
                    e.message(),
                    QStringLiteral("文件%1不是本系统的数据库,请检查linkDB.ini中的数据库路径!").arg(path));
            }
            if (atStart) {
                EXPECT_EQ(ended, endedBefore + 1);
                EXPECT_EQ(shown(),
                          QStringList{QStringLiteral("文件%1不是本系统的数据库,系统即将退出!").arg(path)});
            } else {
                EXPECT_EQ(ended, endedBefore);
                EXPECT_TRUE(shown().isEmpty());
            }
            EXPECT_FALSE(IsConnOpen());
            EXPECT_EQ(QCryptographicHash::hash(bytesOf(file), QCryptographicHash::Md5), before);
            EXPECT_EQ(QDir(appDir()).entryList(QDir::Files), filesBefore);
        }
    }
    SetEndProgramOnMissingDb(false);
}

// A file that cannot be read at all is said so in a sentence of its own, the
// database's text in the log; nothing is written, and it is no failed upgrade.
TEST_F(SchemaVersionTest, AnUnreadableFileSaysWhy)
{
    SetBusyTimeout(200);
    const QByteArray sound = bytesOf(file);
    auto writeFile = [&](const QByteArray& bytes) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    };
    std::unique_ptr<OtherWorkstation> other;
    const struct {
        const char* what;
        std::function<void()> make;
        const char* text;
        const char* logged;
    } cases[] = {
        {"no database at all", [&] { writeFile(QByteArray(4096, 'x')); }, "数据库文件已损坏,无法读取!",
         "file is not a database"},
        {"a damaged table list",
         [&] {
             QByteArray bytes = sound;
             bytes.replace(100, 8, QByteArray(8, '\xff'));
             writeFile(bytes);
         },
         "数据库文件已损坏,无法读取!", "database disk image is malformed"},
        {"locked by another workstation",
         [&] {
             writeFile(sound);
             other = std::make_unique<OtherWorkstation>(file);
             other->exec(QStringLiteral("BEGIN EXCLUSIVE"));
         },
         "数据库正被其他用户使用,请稍后再试!", "database is locked"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.make();
        const QByteArray before = bytesOf(file);
        const DbLog log;
        try {
            ExecuteSql(QStringLiteral("SELECT 1"));
            ADD_FAILURE() << "an unreadable file was used";
        } catch (const DbError& e) {
            // One Chinese sentence; the database's own words go to the log.
            EXPECT_EQ(e.message(), QString::fromUtf8(c.text));
            EXPECT_TRUE(log.text().contains(QLatin1String(c.logged))) << log.text().toStdString();
        }
        EXPECT_FALSE(IsConnOpen());
        EXPECT_EQ(bytesOf(file), before);
    }
    other.reset();
    SetBusyTimeout(30000);
}

// Writes refused by the file (read only, the disk full) say so in a sentence
// of their own; the database's text is the failure's details.
TEST_F(SchemaVersionTest, RefusedWritesSayWhy)
{
    const struct {
        const char* what;
        const char* pragma;
        const char* text;
        const char* details;
    } cases[] = {
        {"read only", "PRAGMA query_only = 1", "数据库文件是只读的,不能写入!",
         "attempt to write a readonly database"},
        {"disk full", "PRAGMA max_page_count = 1", "磁盘空间不足,数据没有写入!", "database or disk is full"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CloseConn();
        ExecuteSql(QString::fromLatin1(c.pragma));
        try {
            ExecuteParaSql(
                QStringLiteral("INSERT INTO tb_setting (id, setKey) VALUES (@id, @key)"),
                ParamMap{{QStringLiteral("@id"), 102}, {QStringLiteral("@key"), QString(4000, 'k')}});
            ADD_FAILURE() << "the write passed";
        } catch (const DbError& e) {
            EXPECT_EQ(e.message(), QString::fromUtf8(c.text));
            EXPECT_EQ(e.details(), QString::fromUtf8(c.details));
        }
    }
    CloseConn();
    EXPECT_EQ(onFile(file, QStringLiteral("SELECT count(*) FROM tb_setting WHERE id = 102")).toInt(), 0);
}

// At start, a database that cannot be brought up or read ends the program
// as the other start refusals do: one sentence that ends ",系统即将退出!".
TEST_F(SchemaVersionTest, AStartRefusalSaysTheProgramEnds)
{
    int ended = 0;
    SetEndProgramHook([&ended] { ++ended; });
    SetBusyTimeout(200);
    std::unique_ptr<OtherWorkstation> other;
    const struct {
        const char* what;
        std::function<void()> make;
        const char* text;
    } cases[] = {
        {"an upgrade another workstation blocks",
         [&] {
             setVersion(1);
             other = std::make_unique<OtherWorkstation>(file);
             other->exec(QStringLiteral("BEGIN IMMEDIATE"));
         },
         "数据库升级失败: 数据库正被其他用户使用,请稍后再试,系统即将退出!"},
        {"a damaged file",
         [&] {
             other.reset();
             QFile f(file);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
             f.write(QByteArray(4096, 'x'));
         },
         "数据库文件已损坏,无法读取,系统即将退出!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MsgBox::ClearShown();
        c.make();
        const int endedBefore = ended;
        SetEndProgramOnMissingDb(true);
        EXPECT_THROW(ExecuteSql(QStringLiteral("SELECT 1")), DbError); // the end hook of a test returns
        EXPECT_EQ(ended, endedBefore + 1);
        EXPECT_EQ(shown(), QStringList{QString::fromUtf8(c.text)});
        EXPECT_EQ(MsgBox::Shown().value(0).title, QStringLiteral("System"));
        EXPECT_FALSE(IsConnOpen());
    }
    other.reset();
    SetBusyTimeout(30000);
}

// A file of every older layout, opened, holds what a fresh file holds: the
// same objects word for word and the same rows (the initial rows, the starts
// of the id sequences).
TEST_F(SchemaVersionTest, EveryOlderLayoutComesUpToAFreshFile)
{
    const QString fresh = appDir() + QStringLiteral("fresh/wms.db");
    QDir().mkpath(appDir() + QStringLiteral("fresh"));
    ASSERT_TRUE(CreateFreshDatabase(fresh).isEmpty());
    for (int version = 0; version < kSchemaVersion; ++version) {
        SCOPED_TRACE(version);
        QFile::remove(file);
        ASSERT_TRUE(CreateDatabase(file, version).isEmpty());
        ASSERT_EQ(versionOf(file), version);
        ASSERT_NE(SchemaObjects(file), SchemaObjects(fresh));
        EXPECT_EQ(scalar(QStringLiteral("PRAGMA user_version")).toInt(), kSchemaVersion);
        CloseConn();
        EXPECT_EQ(SchemaObjects(file), SchemaObjects(fresh));
        EXPECT_EQ(TableRows(file), TableRows(fresh));
    }
    EXPECT_TRUE(shown().isEmpty());
}

// A database is made whole or not at all: a layout this program does not
// know, or a file already there, is refused and leaves no file behind.
TEST_F(SchemaVersionTest, ADatabaseIsMadeWholeOrNotAtAll)
{
    const QString other = appDir() + QStringLiteral("other/wms.db");
    QDir().mkpath(appDir() + QStringLiteral("other"));
    for (const int version : {-1, kSchemaVersion + 1}) {
        SCOPED_TRACE(version);
        EXPECT_FALSE(CreateDatabase(other, version).isEmpty());
        EXPECT_TRUE(QDir(appDir() + QStringLiteral("other")).isEmpty());
    }
    const QByteArray before = bytesOf(file);
    EXPECT_FALSE(CreateFreshDatabase(file).isEmpty());
    EXPECT_EQ(bytesOf(file), before);
}

// The base layout and a step once released are what every file that took
// them holds: their statements never change (a new layout takes the next
// number). Step 1 has none: it stamps the files made before the version was
// kept.
TEST(SchemaStepsTest, ReleasedStepsKeepTheirText)
{
    EXPECT_TRUE(SchemaStepStatements(1).isEmpty());
    const struct {
        int step;
        const char* sha256;
    } released[] = {
        {1, "31ed760a2804b069c038515ff24d77f9ade5158856b6231fa649f3e3b5db1a04"},
        {2, "154d5baf3870e758b25ab693ccee5d49a56e1016edbe4ce4329807abc0bbff19"},
        {3, "6725c34b7986b40b39440610bbc5d5c59fc4c8a9c94ed8ff8021652998cb522e"},
        {4, "32208502c38e0573c85efb6d940e7709158256b2ae1506db415a50acb7d0ed68"},
        {5, "d61aaef945b1266d76eebd65bbd16676a8b1630e69d55b7a2b3ac83c88d13844"},
    };
    for (const auto& r : released) {
        const QStringList& statements = r.step == 1 ? BaseSchemaStatements() : SchemaStepStatements(r.step);
        const QByteArray text = statements.join(QStringLiteral("\n;\n")).toUtf8();
        EXPECT_EQ(QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex().toStdString(), r.sha256)
            << "step " << r.step;
    }
}

// A file stamped with this program's version by a build whose steps said
// something else, or one whose objects were dropped or altered by hand, comes
// up holding what a fresh file holds, its rows kept. A file that holds the
// fresh layout is only read.
TEST_F(SchemaVersionTest, AFileOfOtherStepTextsComesUpToAFreshFile)
{
    const QString fresh = appDir() + QStringLiteral("fresh/wms.db");
    QDir().mkpath(appDir() + QStringLiteral("fresh"));
    ASSERT_TRUE(CreateFreshDatabase(fresh).isEmpty());
    QStringList baseViews;
    for (const QString& statement : BaseSchemaStatements())
        for (const char* view : {"v_rk_head ", "v_ck_head ", "v_rk_detail ", "v_ck_detail "})
            if (statement.startsWith(QStringLiteral("CREATE VIEW ") + QLatin1String(view)))
                baseViews << QStringLiteral("DROP VIEW %1").arg(QLatin1String(view)) << statement;
    ASSERT_EQ(baseViews.size(), 8);
    const struct {
        const char* what;
        QStringList statements;
    } cases[] = {
        {"step 2 without the serial indexes",
         {QStringLiteral("DROP INDEX ix_rk_head_serial"), QStringLiteral("DROP INDEX ix_ck_head_serial"),
          QStringLiteral("DROP INDEX ix_customer_serial")}},
        {"step 3 empty: the base layout's bill views", baseViews},
        {"a guard of another text",
         {QStringLiteral("DROP TRIGGER tr_location_refs_delete"),
          QStringLiteral(
              "CREATE TRIGGER tr_location_refs_delete BEFORE DELETE ON tb_location BEGIN SELECT 1; "
              "END")}},
        {"sequence followers missing",
         {QStringLiteral("DROP TRIGGER tr_rk_head_sequence"),
          QStringLiteral("DROP TRIGGER tr_user_sequence")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CloseConn();
        QFile::remove(file);
        ASSERT_TRUE(CreateFreshDatabase(file).isEmpty());
        onFile(file, QStringLiteral("INSERT INTO tb_setting (id, setKey) VALUES (101, 'marker')"));
        ASSERT_EQ(RunOnFile(file, c.statements), QString());
        ASSERT_EQ(versionOf(file), kSchemaVersion);
        ASSERT_NE(SchemaObjects(file), SchemaObjects(fresh));

        EXPECT_EQ(scalar(QStringLiteral("SELECT setKey FROM tb_setting WHERE id = 101")).toString(),
                  "marker");
        CloseConn();
        EXPECT_EQ(SchemaObjects(file), SchemaObjects(fresh));
        EXPECT_EQ(versionOf(file), kSchemaVersion);
    }
    const QByteArray before = bytesOf(file);
    EXPECT_EQ(scalar(QStringLiteral("SELECT setKey FROM tb_setting WHERE id = 101")).toString(), "marker");
    CloseConn();
    EXPECT_EQ(bytesOf(file), before);
    EXPECT_TRUE(shown().isEmpty());
}
