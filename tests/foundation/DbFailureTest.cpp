// A database failure reaches the clerk as one Chinese sentence that names
// the case; SQLite's own (English) words go to the message box's details and
// to the log, never into the sentence.
#include "TestEnv.h"

#include "DbError.h"
#include "Guarded.h"
#include "sqlHelper.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QWidget>

namespace
{

bool HasLatinLetters(const QString& text)
{
    static const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
    return latin.match(text).hasMatch();
}

} // namespace

// Every result code, those without a sentence of their own included, reads as
// a Chinese sentence, and the database's text stays out of it.
TEST(DbFailure, EveryCodeReadsAsAChineseSentence)
{
    // (A bare constraint code whose text names no failed constraint is a
    // trigger's refusal; see below.)
    QList<int> codes;
    for (int code = 0; code <= 28; ++code)
        if (code != 19)
            codes << code;
    codes << 1032 << 1544 << 275 << 787 << 1299 << 1555 << 2067 << 266 << 3338 << 99999 << -1;
    for (const int code : codes) {
        SCOPED_TRACE(code);
        const DbError e = SqlFailure(code, QStringLiteral("some engine text"));
        EXPECT_FALSE(e.message().isEmpty());
        EXPECT_FALSE(HasLatinLetters(e.message())) << e.message().toStdString();
        EXPECT_TRUE(e.message().endsWith(QLatin1Char('!'))) << e.message().toStdString();
        EXPECT_EQ(e.details(), QStringLiteral("some engine text"));
    }
    const struct {
        int code;
        const char* text;
        const char* sentence;
    } named[] = {
        {5, "database is locked", "数据库正被其他用户使用,请稍后再试!"},
        {8, "attempt to write a readonly database", "数据库文件是只读的,不能写入!"},
        {1032, "attempt to write a readonly database", "找不到数据库文件,它或它所在的文件夹已被移走或删除!"},
        {2067, "UNIQUE constraint failed: tb_user.user", "数据与已有的记录重复,没有写入!"},
        {19, "FOREIGN KEY constraint failed", "数据不符合数据库的约束,没有写入!"},
        {787, "FOREIGN KEY constraint failed", "数据所引用的记录不存在或仍被引用,没有写入!"},
        {0, "Parameter count mismatch", "数据库操作失败!"},
    };
    for (const auto& n : named) {
        SCOPED_TRACE(n.text);
        const DbError e = SqlFailure(n.code, QString::fromUtf8(n.text));
        EXPECT_EQ(e.message(), QString::fromUtf8(n.sentence));
        EXPECT_EQ(e.details(), QString::fromUtf8(n.text));
    }
}

// A trigger of the schema refuses in its own words: they are the sentence.
TEST(DbFailure, ATriggersRefusalIsItsOwnSentence)
{
    for (const int code : {19, 1811}) {
        const DbError e = SqlFailure(code, QStringLiteral("入库明细的货品不存在!"));
        EXPECT_EQ(e.message(), QStringLiteral("入库明细的货品不存在!"));
    }
}

using DbFailureTest = DbTest;

// The statement's fault as the windows see it: the sentence over the window,
// SQLite's text in the box's details and in the log.
TEST_F(DbFailureTest, AFailedStatementShowsItsSentenceWithTheDetailsApart)
{
    const DbLog log;
    QWidget window;
    EXPECT_FALSE(Guarded(&window, [] { ExecuteSql(QStringLiteral("SELECT * FROM tb_nowhere")); }));
    ASSERT_EQ(MsgBox::Shown().size(), 1);
    EXPECT_EQ(MsgBox::Shown().at(0).text, QStringLiteral("数据库语句执行出错,操作没有完成!"));
    EXPECT_EQ(MsgBox::Shown().at(0).title, QStringLiteral("System"));
    EXPECT_EQ(MsgBox::Shown().at(0).details, QStringLiteral("no such table: tb_nowhere"));
    EXPECT_TRUE(log.text().contains(QStringLiteral("no such table: tb_nowhere"))) << log.text().toStdString();

    // A write transaction's failure keeps both parts in its answer.
    const m_DBresult r = RunTrans([] {
        ExecuteParaSql(QStringLiteral("INSERT INTO tb_setting (id, setKey) VALUES (@id, 'x')"),
                       ParamMap{{QStringLiteral("@id"), 1}});
        ExecuteParaSql(QStringLiteral("INSERT INTO tb_setting (id, setKey) VALUES (@id, 'y')"),
                       ParamMap{{QStringLiteral("@id"), 1}});
    });
    EXPECT_FALSE(r.isResult);
    EXPECT_EQ(r.str_MsgBox, QStringLiteral("数据与已有的记录重复,没有写入!"));
    EXPECT_TRUE(r.str_Details.contains(QStringLiteral("UNIQUE constraint failed")))
        << r.str_Details.toStdString();
    MsgBox::ClearShown();
    EXPECT_FALSE(ShowIfFailed(&window, r));
    ASSERT_EQ(MsgBox::Shown().size(), 1);
    EXPECT_EQ(MsgBox::Shown().at(0).text, r.str_MsgBox);
    EXPECT_EQ(MsgBox::Shown().at(0).details, r.str_Details);
}

// The folder that holds the database (linkDB.ini names it) is removed while
// the program runs: a save says the file is gone, not that it is read only.
TEST_F(DbFailureTest, ASaveWithTheDatabaseFolderGoneSaysTheFileIsGone)
{
    const QString folder = appDir() + QStringLiteral("store/");
    ASSERT_TRUE(QDir().mkpath(folder));
    CloseConn();
    ASSERT_TRUE(QFile::copy(appDir() + QStringLiteral("wms.db"), folder + QStringLiteral("wms.db")));
    QFile ini(appDir() + QStringLiteral("linkDB.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[DB_Link]\r\nLinkType=1\r\nDBPath=store\\\r\n");
    ini.close();
    EXPECT_EQ(count(QStringLiteral("tb_setting"), QStringLiteral("id = 7")), 0);
    ASSERT_TRUE(IsConnOpen());

    ASSERT_TRUE(QDir(folder).removeRecursively());
    const m_DBresult r = RunTrans([] {
        ExecuteParaSql(QStringLiteral("INSERT INTO tb_setting (id, setKey) VALUES (@id, 'x')"),
                       ParamMap{{QStringLiteral("@id"), 7}});
    });
    EXPECT_FALSE(r.isResult);
    EXPECT_EQ(r.str_MsgBox, QStringLiteral("找不到数据库文件,它或它所在的文件夹已被移走或删除!"));
    EXPECT_FALSE(r.str_MsgBox.contains(QStringLiteral("只读")));
    EXPECT_FALSE(r.str_Details.isEmpty());
    CloseConn();
}
