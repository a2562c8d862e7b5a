#include "DbMaintenance.h"
#include "Clock.h"
#include "DbCreator.h"
#include "TestEnv.h"
#include "sqlHelper.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>

#include <sqlite3.h>

namespace
{

struct BackupContent {
    bool opened = false;
    QString integrity;
    QString marker;
    int users = -1;
};

// Reads a backup file through a connection of its own, as a restore would.
BackupContent readBackup(const QString& file)
{
    BackupContent c;
    const QString name = QStringLiteral("backup_check");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            c.opened = true;
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("PRAGMA integrity_check")) && q.next())
                c.integrity = q.value(0).toString();
            if (q.exec(QStringLiteral("SELECT COUNT(*) FROM tb_user")) && q.next())
                c.users = q.value(0).toInt();
            if (q.exec(QStringLiteral("SELECT uremark FROM tb_Usergrp WHERE id=99")) && q.next())
                c.marker = q.value(0).toString();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return c;
}

class DbMaintenanceTest : public DbTest
{
  protected:
    QStringList backups(const QString& folder = {}) const
    {
        return QDir(folder.isEmpty() ? appDir() : folder)
            .entryList({QStringLiteral("CompactBackUp_*")}, QDir::Files, QDir::Name);
    }

    void fixClock() { Clock::SetFixed(QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9))); }

    // Moves the database in use into a folder of its own named by linkDB.ini.
    QString linkToOtherFolder(bool withDatabase)
    {
        const QString folder = appDir() + QStringLiteral("data/");
        EXPECT_TRUE(QDir().mkpath(folder));
        if (withDatabase) {
            EXPECT_TRUE(CreateFreshDatabase(folder + QStringLiteral("wms.db")).isEmpty());
        }
        QFile ini(appDir() + QStringLiteral("linkDB.ini"));
        EXPECT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(("[DB_Link]\r\nLinkType=1\r\nDBPath=" + folder + "\r\n").toUtf8());
        ini.close();
        CloseConn();
        return folder;
    }
};

TEST_F(DbMaintenanceTest, SilentBackupLeavesOneSoundCopyAndShowsNothing)
{
    fixClock();
    exec(QStringLiteral("INSERT INTO tb_Usergrp (id, uname, uremark) VALUES (99, 'g', 'in use')"));
    const m_DBresult r = BackUpDB(false);
    EXPECT_TRUE(r.isResult);
    EXPECT_EQ(r.int_Count, 1);
    EXPECT_TRUE(r.str_MsgBox.isEmpty());
    EXPECT_TRUE(shown().isEmpty());
    ASSERT_EQ(backups(), QStringList{QStringLiteral("CompactBackUp_20240305070809.db")});
    const BackupContent c = readBackup(appDir() + backups().first());
    EXPECT_TRUE(c.opened);
    EXPECT_EQ(c.integrity, QStringLiteral("ok"));
    EXPECT_EQ(c.users, 1);
    EXPECT_EQ(c.marker, QStringLiteral("in use"));
    // The program goes on working on its own database.
    EXPECT_EQ(count(QStringLiteral("tb_Usergrp")), 1);
}

TEST_F(DbMaintenanceTest, BackupWithMessageSaysSo)
{
    const m_DBresult r = BackUpDB(true);
    EXPECT_TRUE(r.isResult);
    ASSERT_EQ(MsgBox::Shown().size(), 1);
    EXPECT_EQ(MsgBox::Shown().first().text, QStringLiteral("数据压缩备份完毕!"));
    EXPECT_EQ(MsgBox::Shown().first().title, QStringLiteral("System"));
    EXPECT_EQ(MsgBox::Shown().first().icon, MsgIcon::Information);
    EXPECT_EQ(backups().size(), 1);
}

TEST_F(DbMaintenanceTest, BackupsOfTheSameSecondNeverReplaceOrReuseAFile)
{
    fixClock();
    // A file left under this second's name is neither overwritten nor taken
    // for the new backup.
    QFile stale(appDir() + QStringLiteral("CompactBackUp_20240305070809.db"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("not a database");
    stale.close();

    exec(QStringLiteral("INSERT INTO tb_Usergrp (id, uname, uremark) VALUES (99, 'g', 'first')"));
    ASSERT_TRUE(BackUpDB(false).isResult);
    exec(QStringLiteral("UPDATE tb_Usergrp SET uremark='second' WHERE id=99"));
    ASSERT_TRUE(BackUpDB(false).isResult);

    EXPECT_EQ(backups(), (QStringList{QStringLiteral("CompactBackUp_20240305070809.db"),
                                      QStringLiteral("CompactBackUp_20240305070809_2.db"),
                                      QStringLiteral("CompactBackUp_20240305070809_3.db")}));
    QFile again(appDir() + QStringLiteral("CompactBackUp_20240305070809.db"));
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), QByteArray("not a database"));
    EXPECT_EQ(readBackup(appDir() + QStringLiteral("CompactBackUp_20240305070809_2.db")).marker,
              QStringLiteral("first"));
    EXPECT_EQ(readBackup(appDir() + QStringLiteral("CompactBackUp_20240305070809_3.db")).marker,
              QStringLiteral("second"));
    EXPECT_TRUE(shown().isEmpty());
}

TEST_F(DbMaintenanceTest, BackupCopiesTheDatabaseThatLinkDbIniNames)
{
    const QString folder = linkToOtherFolder(true);
    exec(QStringLiteral("INSERT INTO tb_Usergrp (id, uname, uremark) VALUES (99, 'g', 'linked')"));
    ASSERT_EQ(CurrentDbFile(), folder + QStringLiteral("wms.db"));

    ASSERT_TRUE(BackUpDB(false).isResult);
    ASSERT_EQ(backups().size(), 1);
    EXPECT_TRUE(backups(folder).isEmpty());
    EXPECT_EQ(readBackup(appDir() + backups().first()).marker, QStringLiteral("linked"));
}

TEST_F(DbMaintenanceTest, FailedBackupShowsTheErrorEvenWhenSilent)
{
    linkToOtherFolder(false); // the database named by linkDB.ini is missing
    const m_DBresult r = BackUpDB(false);
    EXPECT_FALSE(r.isResult);
    EXPECT_EQ(r.int_Count, 0);
    EXPECT_FALSE(r.str_MsgBox.isEmpty());
    ASSERT_EQ(MsgBox::Shown().size(), 1);
    EXPECT_EQ(MsgBox::Shown().first().text, r.str_MsgBox);
    EXPECT_EQ(MsgBox::Shown().first().title, QStringLiteral("System"));
    EXPECT_EQ(MsgBox::Shown().first().icon, MsgIcon::Exclamation);
    // The program folder's own (stale) database is not taken for the one in use.
    EXPECT_TRUE(backups().isEmpty());
}

TEST_F(DbMaintenanceTest, RepairCompactsTheDatabaseInUseOnTheOpenConnection)
{
    exec(QStringLiteral("CREATE TABLE filler (t TEXT)"));
    exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<2000) "
                        "INSERT INTO filler SELECT printf('%.500d', i) FROM n"));
    exec(QStringLiteral("DELETE FROM filler"));
    ASSERT_GT(scalar(QStringLiteral("SELECT * FROM pragma_freelist_count")).toInt(), 0);

    const m_DBresult r = RepairDB();
    EXPECT_TRUE(r.isResult);
    EXPECT_EQ(r.int_Count, 1);
    EXPECT_EQ(shown(), QStringList{QStringLiteral("数据压缩修复完毕!")});
    EXPECT_EQ(MsgBox::Shown().first().title, QStringLiteral("System"));
    EXPECT_TRUE(IsConnOpen());
    EXPECT_EQ(scalar(QStringLiteral("SELECT * FROM pragma_freelist_count")).toInt(), 0);
    EXPECT_EQ(count(QStringLiteral("tb_user")), 1);
}

TEST_F(DbMaintenanceTest, RepairReportsADamagedFileAndLeavesItAsItIs)
{
    exec(QStringLiteral("CREATE TABLE filler (id INTEGER PRIMARY KEY, t TEXT)"));
    exec(QStringLiteral("CREATE INDEX ix_filler ON filler(t)"));
    exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<400) "
                        "INSERT INTO filler SELECT i, printf('%.300d', i) FROM n"));
    const int pageSize = scalar(QStringLiteral("SELECT * FROM pragma_page_size")).toInt();
    const int indexRoot =
        scalar(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name='ix_filler'")).toInt();
    CloseConn();
    {
        // Change key text inside the index's root page: the file still opens,
        // the index no longer matches its table.
        QFile f(appDir() + QStringLiteral("wms.db"));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.seek(qint64(indexRoot) * pageSize - 60));
        f.write(QByteArray(20, '9'));
    }
    const qint64 sizeBefore = QFileInfo(appDir() + QStringLiteral("wms.db")).size();
    const m_DBresult r = RepairDB();
    EXPECT_FALSE(r.isResult);
    ASSERT_EQ(MsgBox::Shown().size(), 1);
    EXPECT_TRUE(MsgBox::Shown().first().text.startsWith(QStringLiteral("数据库文件已损坏")))
        << MsgBox::Shown().first().text.toStdString();
    EXPECT_EQ(QFileInfo(appDir() + QStringLiteral("wms.db")).size(), sizeBefore);
}

TEST_F(DbMaintenanceTest, RepairOfAMissingDatabaseFailsWithTheError)
{
    linkToOtherFolder(false);
    const m_DBresult r = RepairDB();
    EXPECT_FALSE(r.isResult);
    EXPECT_EQ(r.int_Count, 0);
    ASSERT_EQ(MsgBox::Shown().size(), 1);
    EXPECT_EQ(MsgBox::Shown().first().icon, MsgIcon::Exclamation);
    EXPECT_EQ(MsgBox::Shown().first().title, QStringLiteral("System"));
}

} // namespace

namespace
{
// Watches the program folder while the copy is being written, then cuts the
// copy short as a killed program or a full disk would.
struct CopyWatch {
    QString folder;
    int calls = 0;
    bool backupNameSeen = false;
};

int WatchAndCut(void* data)
{
    auto* watch = static_cast<CopyWatch*>(data);
    if (++watch->calls < 50)
        return 0;
    if (!QDir(watch->folder).entryList({QStringLiteral("CompactBackUp_*")}, QDir::Files).isEmpty())
        watch->backupNameSeen = true;
    return 1; // interrupts the statement
}
} // namespace

TEST_F(DbMaintenanceTest, ACopyCutShortNeverCarriesABackupsName)
{
    exec(QStringLiteral("CREATE TABLE filler (t TEXT)"));
    exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<4000) "
                        "INSERT INTO filler SELECT printf('%.500d', i) FROM n"));
    auto* handle = *static_cast<sqlite3* const*>(SharedConn().driver()->handle().data());
    ASSERT_NE(handle, nullptr);
    CopyWatch watch{appDir()};
    sqlite3_progress_handler(handle, 100, WatchAndCut, &watch);
    const m_DBresult r = BackUpDB(false);
    sqlite3_progress_handler(handle, 0, nullptr, nullptr);

    ASSERT_GE(watch.calls, 50) << "the copy ended before it could be cut";
    EXPECT_FALSE(watch.backupNameSeen) << "the unfinished copy was visible under a backup's name";
    EXPECT_FALSE(r.isResult);
    EXPECT_EQ(MsgBox::Shown().size(), 1);
    EXPECT_TRUE(backups().isEmpty());
    EXPECT_EQ(QDir(appDir()).entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden),
              QStringList{});
    EXPECT_EQ(QDir(appDir()).entryList({QStringLiteral("*.part*")}, QDir::Files | QDir::Hidden),
              QStringList{});
    // The next backup is whole.
    MsgBox::ClearShown();
    ASSERT_TRUE(BackUpDB(false).isResult);
    ASSERT_EQ(backups().size(), 1);
    EXPECT_EQ(readBackup(appDir() + backups().first()).integrity, QStringLiteral("ok"));
}

// Copies left by backups that were killed (with the journal SQLite kept
// beside them) are removed by the next backup; a copy still being written
// by another backup is left alone.
TEST_F(DbMaintenanceTest, TheNextBackupRemovesCopiesLeftByKilledOnes)
{
    const QDateTime old = QDateTime::currentDateTime().addSecs(-600);
    const struct {
        const char* name;
        bool stale;
    } files[] = {
        {"~CompactBackUp_20240101010101.part", true},
        {"~CompactBackUp_20240101010101.part-journal", true},
        {"~CompactBackUp_20240102020202_2.part", true},
        {"~CompactBackUp_20240103030303.part", false},
        {"~CompactBackUp_20240103030303.part-journal", false},
        {"CompactBackUp_20240101010101.db", false},
        {"notes.part", false},
    };
    for (const auto& f : files) {
        QFile file(appDir() + QString::fromLatin1(f.name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(1024, 'x'));
        file.close();
        const bool oldFile =
            f.stale || QByteArray(f.name).startsWith("CompactBackUp_") || QByteArray(f.name) == "notes.part";
        if (oldFile) {
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            ASSERT_TRUE(file.setFileTime(old, QFileDevice::FileModificationTime));
            file.close();
        }
    }
    ASSERT_TRUE(BackUpDB(false).isResult);
    for (const auto& f : files)
        EXPECT_EQ(QFileInfo::exists(appDir() + QString::fromLatin1(f.name)), !f.stale) << f.name;
    EXPECT_EQ(backups().size(), 2);
}

// A backup whose folder cannot take the copy (gone, read only) names that
// folder; the database itself is fine and goes on being used.
TEST_F(DbMaintenanceTest, ABackupFolderThatTakesNoCopyIsNamed)
{
    fixClock();
    ASSERT_EQ(count(QStringLiteral("tb_user")), 1); // the connection is open on the database
    const QString gone = appDir() + QStringLiteral("gone/");
    SetAppPathOverride(gone);
    const m_DBresult r = BackUpDB(false);
    SetAppPathOverride(appDir());
    EXPECT_FALSE(r.isResult);
    const QString text = QStringLiteral("备份文件夹%1不能写入,数据库没有备份!")
                             .arg(QDir::toNativeSeparators(QFileInfo(gone).absolutePath()));
    EXPECT_EQ(r.str_MsgBox, text);
    EXPECT_EQ(shown(), QStringList{text});
    EXPECT_EQ(count(QStringLiteral("tb_user")), 1);
}
