#include "TestEnv.h"

#include "Clock.h"
#include "Cp936.h"
#include "DbCreator.h"
#include "GetvalueFunction.h"
#include "mod_public.h"
#include "sqlHelper.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>

namespace
{

void writeFile(const QString& name, const QByteArray& bytes)
{
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Writes a marker into a database file without the program's connection.
void mark(const QString& file, int marker)
{
    const QString conn = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(file);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(
            QStringLiteral("INSERT INTO tb_setting (id, setKey) VALUES (%1, 'marker')").arg(100 + marker)));
        db.close();
    }
    QSqlDatabase::removeDatabase(conn);
}

class LinkDbTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        CloseConn();
        mark(appDir() + QStringLiteral("wms.db"), 1);
        other = appDir() + QStringLiteral("other/");
        chinese = appDir() + QStringLiteral("仓库 数据/");
        for (const auto& [folder, marker] : {std::pair{other, 2}, std::pair{chinese, 3}}) {
            QDir().mkpath(folder);
            ASSERT_TRUE(CreateFreshDatabase(folder + QStringLiteral("wms.db")).isEmpty());
            mark(folder + QStringLiteral("wms.db"), marker);
        }
    }
    void TearDown() override
    {
        SetEndProgramHook({});
        SetEndProgramOnMissingDb(false);
        DbTest::TearDown();
    }
    void writeIni(const QString& text)
    {
        writeFile(appDir() + QStringLiteral("linkDB.ini"), Cp936::encode(text));
    }
    int openedMarker()
    {
        CloseConn();
        return scalar(QStringLiteral("SELECT id - 100 FROM tb_setting WHERE setKey = 'marker'")).toInt();
    }

    QString other;
    QString chinese;
};

TEST_F(LinkDbTest, TheIniFileNamesTheDatabaseFolder)
{
    const struct {
        QString ini; // empty: no file
        int marker;  // 1 program folder, 2 "other/", 3 the Chinese folder
    } cases[] = {
        {QString(), 1},
        {QStringLiteral("[DB_Link]\nLinkType=0\nDBPath=%1\n").arg(other), 1},
        {QStringLiteral("[DB_Link]\nLinkType=1\nDBPath=%1\n").arg(other), 2},
        {QStringLiteral("[db_link]\r\n linktype = 2 \r\n dbpath = %1 \r\n").arg(other), 2},
        {QStringLiteral("[DB_Link]\nLinkType=1abc\nDBPath=%1\n").arg(other), 2},
        {QStringLiteral("[DB_Link]\nLinkType=abc\nDBPath=%1\n").arg(other), 1},
        {QStringLiteral("[DB_Link]\nLinkType=1\nDBPath=\n"), 1},
        {QStringLiteral("[DB_Link]\nLinkType=1\nDBPath=   \n"), 1},
        {QStringLiteral("[DB_Link]\nLinkType=1\n"), 1},
        {QStringLiteral("[Other]\nLinkType=1\nDBPath=%1\n").arg(other), 1},
        {QStringLiteral("[DB_Link]\nLinkType=1\nDBPath=%1\n").arg(chinese), 3},
        {QStringLiteral("[DB_Link]\nLinkType=1\nDBPath=other\\\n"), 2},
    };
    for (const auto& c : cases) {
        QFile::remove(appDir() + QStringLiteral("linkDB.ini"));
        if (!c.ini.isEmpty())
            writeIni(c.ini);
        EXPECT_EQ(openedMarker(), c.marker) << c.ini.toStdString();
    }
    EXPECT_TRUE(shown().isEmpty());
}

// In a session a missing database fails the operation; nothing ends, nothing is created.
TEST_F(LinkDbTest, AMissingDatabaseInTheSessionIsAnErrorOfTheOperation)
{
    int ended = 0;
    SetEndProgramHook([&ended] { ++ended; });
    const QString noSlash = other.chopped(1); // "…/other" + "wms.db" names no file
    const QString nowhere = appDir() + QStringLiteral("nowhere/");
    for (const QString& folder : {noSlash, nowhere}) {
        writeIni(QStringLiteral("[DB_Link]\nLinkType=1\nDBPath=%1\n").arg(folder));
        CloseConn();
        EXPECT_THROW(ExecuteSql(QStringLiteral("SELECT 1")), DbError);
        EXPECT_THROW(GetDBPath(), DbError);
        EXPECT_FALSE(QFile::exists(folder + QStringLiteral("wms.db")));
        EXPECT_FALSE(QDir(nowhere).exists());
    }
    EXPECT_EQ(ended, 0);
    EXPECT_TRUE(shown().isEmpty());
    // The ini file put right, the next opening works again.
    writeIni(QStringLiteral("[DB_Link]\nLinkType=1\nDBPath=%1\n").arg(other));
    EXPECT_EQ(openedMarker(), 2);
}

// At start the program says so and ends; after the first opening it no longer ends.
TEST_F(LinkDbTest, AMissingDatabaseAtStartEndsTheProgramWithItsMessage)
{
    int ended = 0;
    SetEndProgramHook([&ended] { ++ended; });
    const QString file = appDir() + QStringLiteral("wms.db");
    ASSERT_TRUE(QFile::rename(file, file + QStringLiteral(".away")));
    CloseConn();
    SetEndProgramOnMissingDb(true);
    EXPECT_THROW(init_SysVar(), DbError); // the end hook of a test returns
    EXPECT_EQ(ended, 1);
    ASSERT_EQ(MsgBox::Shown().size(), 1);
    EXPECT_EQ(MsgBox::Shown().at(0).text, QStringLiteral("数据库文件路径错误,系统即将退出!"));
    EXPECT_EQ(MsgBox::Shown().at(0).title, QStringLiteral("System"));
    EXPECT_EQ(MsgBox::Shown().at(0).icon, MsgIcon::Exclamation);
    EXPECT_FALSE(QFile::exists(file));

    ASSERT_TRUE(QFile::rename(file + QStringLiteral(".away"), file));
    init_SysVar();
    CloseConn();
    ASSERT_TRUE(QFile::remove(file));
    EXPECT_THROW(init_SysVar(), DbError);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(MsgBox::Shown().size(), 1);
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(LinkDbTest, ReadIniValueCutsAt126CharactersAndReadsCodePage936)
{
    const QString ini = appDir() + QStringLiteral("t.ini");
    const QString longLatin(200, QLatin1Char('a'));
    const QString longChinese = QString(130, QChar(0x4ED3)); // 仓
    writeFile(ini,
              Cp936::encode(QStringLiteral("[A]\nlong=%1\nexact=%2\nmore=%3\ncn=%4\none=x\nquoted=\"a b\"\n"
                                           "blank=\ndup=1\ndup=2\n[B]\nonlyB=b\n")
                                .arg(longLatin, longLatin.left(126), longLatin.left(127), longChinese)));
    const struct {
        const char* section;
        const char* key;
        QString value;
    } cases[] = {
        {"A", "long", longLatin.left(126)},  {"A", "exact", longLatin.left(126)},
        {"A", "more", longLatin.left(126)},  {"a", "CN", longChinese.left(126)},
        {"A", "one", QStringLiteral("x")},   {"A", "quoted", QStringLiteral("a b")},
        {"A", "blank", QString()},           {"A", "dup", QStringLiteral("1")},
        {"A", "missing", QString()},         {"A", "onlyB", QString()},
        {"B", "onlyB", QStringLiteral("b")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadIniValue(QString::fromLatin1(c.section), QString::fromLatin1(c.key), ini), c.value)
            << c.key;
    EXPECT_EQ(ReadIniValue(QStringLiteral("A"), QStringLiteral("one"), appDir() + QStringLiteral("none.ini")),
              QString());
}

// A file saved in UTF-8 (with or without the byte-order mark) is read as such;
// one in code page 936 keeps working.
TEST_F(LinkDbTest, TheIniFileMayBeUtf8OrCodePage936)
{
    const QString text = QStringLiteral("[DB_Link]\nLinkType=1\nDBPath=%1\n").arg(chinese);
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"utf-8", text.toUtf8()},
        {"utf-8 with mark", QByteArray("\xEF\xBB\xBF") + text.toUtf8()},
        {"code page 936", Cp936::encode(text)},
    };
    for (const auto& c : cases) {
        writeFile(appDir() + QStringLiteral("linkDB.ini"), c.bytes);
        EXPECT_EQ(ReadIniValue(QStringLiteral("DB_Link"), QStringLiteral("DBPath"),
                               appDir() + QStringLiteral("linkDB.ini")),
                  chinese)
            << c.name;
        EXPECT_EQ(openedMarker(), 3) << c.name;
    }
    EXPECT_TRUE(shown().isEmpty());
}

class SettingsTest : public DbTest
{
};

TEST_F(SettingsTest, InitSysVarSetsEveryMember)
{
    const m_SysVar& v = SysVar;
    const std::pair<QString, const char*> texts[] = {
        {v.Sys_dbName, "wms.db"},
        {v.Sys_AmountFormat, "#0.0##"},
        {v.Sys_PriceFormat, "#0.0##"},
        {v.Sys_DateFormat, "yyyy-MM-dd"},
        {v.Sys_TimeFormat, "yyyy-MM-dd HH:mm:ss"},
        {v.acc_OrderBy, "id"},
        {v.Sys_importBill, "ulmPrint:TypeId=1003&BillCode=qv_import_bill&FileName="},
        {v.Sys_exportBill, "ulmPrint:TypeId=1003&BillCode=qv_export_bill&FileName="},
        {v.Sys_stockBill, "ulmPrint:TypeId=1002&BillCode=qv_stock_bill&FileName="},
        {v.Sys_importListBill, "ulmPrint:TypeId=1002&BillCode=qv_rpt_rkList&FileName="},
        {v.Sys_importDetailBill, "ulmPrint:TypeId=1002&BillCode=qv_rpt_rkDetail&FileName="},
        {v.Sys_importSumBill, "ulmPrint:TypeId=1002&BillCode=qv_rpt_rkSum&FileName="},
        {v.Sys_exportListBill, "ulmPrint:TypeId=1002&BillCode=qv_rpt_ckList&FileName="},
        {v.Sys_exportDetailBill, "ulmPrint:TypeId=1002&BillCode=qv_rpt_ckDetail&FileName="},
        {v.Sys_exportSumBill, "ulmPrint:TypeId=1002&BillCode=qv_rpt_ckSum&FileName="},
        // Before anyone logs in: the lists of department 0, which holds no rows.
        {v.Sys_funJoinCode, "0"},
        {v.Sys_accountJoinId, "0"},
        {v.Sys_locationJoinId, "0"},
    };
    for (const auto& [value, expected] : texts)
        EXPECT_EQ(value, QString::fromLatin1(expected));
    EXPECT_EQ(v.Sys_NotNullColor, 12640511);
    EXPECT_EQ(CurrentUser.id, 0);
    EXPECT_EQ(CurrentUser.dictionaryId, 0);

    loginAs(1);
    QStringList granted = SysVar.Sys_funJoinCode.split(QLatin1Char(','));
    EXPECT_EQ(granted.takeLast(), QStringLiteral("0"));
    QStringList codes = m_funCode::AllCodes();
    granted.sort();
    codes.sort();
    EXPECT_EQ(granted, codes);
    EXPECT_EQ(SysVar.Sys_accountJoinId, QStringLiteral("2,0"));
    EXPECT_EQ(SysVar.Sys_locationJoinId, QStringLiteral("0"));
}

TEST_F(SettingsTest, GetJoinIdListsTheDepartmentsRows)
{
    exec(QStringLiteral(
        "INSERT INTO tb_location_fun (locationId, departmentId) VALUES (12, 5), (15, 5), (12, 6), "
        "(12, 6)"));
    exec(QStringLiteral("INSERT INTO tb_user_group_fun (funCode, departmentId) VALUES ('import_save', 5)"));
    const struct {
        int department;
        const char* kind;
        const char* list;
    } cases[] = {
        {5, "l", "12,15,0"}, {5, "L", "12,15,0"},       {6, "l", "12,12,0"}, {7, "l", "0"},
        {5, "a", "0"},       {5, "F", "import_save,0"}, {0, "f", "0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetJoinId(c.department, QString::fromLatin1(c.kind)), QString::fromLatin1(c.list))
            << c.department << c.kind;
}

TEST_F(SettingsTest, CheckFunRightComparesWholeCodesCaseSensitively)
{
    SysVar.Sys_funJoinCode = QStringLiteral("import_save,import_update,0");
    const struct {
        const char* code;
        bool granted;
    } cases[] = {
        {"import", false},
        {"Import_save", false},
        {"import_update", true},
        {"import_save", true},
        {"0", false},
        {"mport_save", false},
        {"import_save,import_update", true},
    };
    for (const auto& c : cases) {
        MsgBox::ClearShown();
        EXPECT_EQ(check_FunRight(QString::fromLatin1(c.code), false), c.granted) << c.code;
        EXPECT_TRUE(shown().isEmpty());
        EXPECT_EQ(check_FunRight(QString::fromLatin1(c.code), true), c.granted) << c.code;
        if (c.granted) {
            EXPECT_TRUE(shown().isEmpty()) << c.code;
        } else {
            ASSERT_EQ(MsgBox::Shown().size(), 1) << c.code;
            EXPECT_EQ(MsgBox::Shown().at(0).text, QStringLiteral("功能受限,请与系统管理联系!"));
            EXPECT_EQ(MsgBox::Shown().at(0).title, QStringLiteral("System"));
            EXPECT_EQ(MsgBox::Shown().at(0).icon, MsgIcon::Information);
        }
    }
}

TEST_F(SettingsTest, BrandAndTime)
{
    EXPECT_TRUE(check_Brand(0));
    EXPECT_FALSE(check_Brand(1));
    EXPECT_TRUE(check_Brand(7));
    Clock::SetFixed(QDateTime(QDate(2012, 8, 15), QTime(14, 5, 9)));
    EXPECT_EQ(GetNowStr(), QStringLiteral("2012-08-15 14:05:09"));
    EXPECT_EQ(GetNowStr(QStringLiteral("yyyy-MM-dd hh:mm:ss")), QStringLiteral("2012-08-15 14:05:09"));
}

TEST_F(SettingsTest, AFreshDatabaseIsSoundAndHoldsItsInitialRows)
{
    EXPECT_EQ(scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    const RecordSetPtr admin = ExecuteSql(QStringLiteral("SELECT * FROM v_user WHERE [user]='ADMIN'"));
    ASSERT_EQ(admin->RecordCount(), 1);
    EXPECT_EQ(admin->text(0, QStringLiteral("pw")), QStringLiteral("cf9246bb0d40eb4d"));
    EXPECT_EQ(admin->value(0, QStringLiteral("dictionaryId")).toInt(), 1);
    EXPECT_EQ(admin->text(0, QStringLiteral("department")), QStringLiteral("系统管理"));
    EXPECT_NE(admin->value(0, QStringLiteral("isStart")).toInt(), 0);
    EXPECT_EQ(count(QStringLiteral("tb_dictionary"),
                    QStringLiteral("id=1 AND utype='department' AND uname='系统管理' AND isSystemSet=1")),
              1);
    for (const char* type : {"accountType", "importType", "exportType"})
        EXPECT_EQ(count(QStringLiteral("tb_dictionary"),
                        QStringLiteral("utype='%1' AND isSystemSet=1").arg(QString::fromLatin1(type))),
                  1)
            << type;
}

} // namespace
