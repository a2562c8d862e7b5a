#include "TestEnv.h"

#include "RowReader.h"
#include "mod_public.h"
#include "sqlHelper.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <limits>

namespace
{

class SqlRunnerTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(QStringLiteral("CREATE TABLE t (id INTEGER PRIMARY KEY, txt TEXT, n REAL)"));
    }
};

// User-typed text must reach the database exactly as typed, whatever it holds.
TEST_F(SqlRunnerTest, TypedTextRoundTripsThroughEveryRunner)
{
    const QStringList texts = {
        QStringLiteral("O'Brien"), QStringLiteral("100%"),      QStringLiteral("mail@id"),
        QStringLiteral("a|b"),     QStringLiteral("N:12,15,0"), QStringLiteral("K:x"),
        QStringLiteral("@id"),     QStringLiteral("仓库'\"%_"), QString(),
    };
    int id = 0;
    for (const QString& text : texts) {
        ++id;
        const ParamMap p{{QStringLiteral("@txt"), text}, {QStringLiteral("@id"), id}};
        switch (id % 4) {
        case 3: // the same insert run again and again, as a bill's lines are
            ASSERT_TRUE(RunTrans([&] {
                            RepeatedWrite insert(
                                QStringLiteral("INSERT INTO t (txt, id) VALUES (@txt, @id)"));
                            EXPECT_EQ(insert.names(), QStringList({"@txt", "@id"}));
                            insert.Run({text, id});
                        }).isResult);
            break;
        case 0:
            ExecuteParaSql(QStringLiteral("INSERT INTO t (txt, id) VALUES (@txt, @id)"), p);
            break;
        case 1: {
            KeyValue batch;
            batch.AddItem(QStringLiteral("%1|INSERT INTO t (txt, id) VALUES (@txt, @id)").arg(id),
                          QVariant::fromValue(p));
            ASSERT_TRUE(ExecuteTrans(batch).isResult);
            break;
        }
        default:
            ExecuteSql(QStringLiteral("INSERT INTO t (txt, id) VALUES (@txt, @id)"), p);
        }
        const RecordSetPtr rs =
            ExecuteSql(QStringLiteral("SELECT txt FROM t WHERE txt = @txt AND id=@id"), p);
        ASSERT_EQ(rs->RecordCount(), 1) << text.toStdString();
        EXPECT_EQ(rs->value(0, 0).toString(), text);
    }
}

// A bill's lines: values bound one by one keep their types (a missing text
// is the empty text, never Null), and a run the database refuses fails with
// its case, the statement ready for the next run.
TEST_F(SqlRunnerTest, ARepeatedWriteBindsValuesOneByOne)
{
    exec(QStringLiteral("CREATE TRIGGER t_refuse BEFORE INSERT ON t WHEN NEW.n < 0 "
                        "BEGIN SELECT RAISE(ABORT, '数量不能为负!'); END"));
    const struct {
        int id;
        QString txt;
        double n;
        QString refusal;
    } runs[] = {
        {1, QStringLiteral("仓库'\"%_ @id"), 2.5, {}},
        {2, QString(), 0, {}},
        {3, QStringLiteral(""), 1e20, {}},
        {1, QStringLiteral("again"), 1, QStringLiteral("数据与已有的记录重复,没有写入!")},
        {4, QStringLiteral("x"), -1, QStringLiteral("数量不能为负!")},
        {5, QStringLiteral("after"), 7, {}},
    };
    ASSERT_TRUE(RunTrans([&] {
                    RepeatedWrite insert(QStringLiteral("INSERT INTO t (id, txt, n) VALUES (@id, @txt, @n)"));
                    for (const auto& r : runs) {
                        SCOPED_TRACE(r.id);
                        insert.Bind(0, r.id);
                        insert.Bind(1, r.txt);
                        insert.Bind(2, r.n);
                        if (r.refusal.isEmpty()) {
                            EXPECT_EQ(insert.Run(), 1);
                            continue;
                        }
                        try {
                            insert.Run();
                            ADD_FAILURE() << "not refused";
                        } catch (const DbError& e) {
                            EXPECT_EQ(e.message(), r.refusal);
                        }
                    }
                }).isResult);
    EXPECT_EQ(count(QStringLiteral("t")), 4);
    EXPECT_EQ(count(QStringLiteral("t"), QStringLiteral("txt IS NULL")), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT txt FROM t WHERE id=1")).toString(), runs[0].txt);
    EXPECT_EQ(scalar(QStringLiteral("SELECT typeof(id) || typeof(txt) || typeof(n) FROM t WHERE id=2")),
              QStringLiteral("integertextreal"));
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("SELECT n FROM t WHERE id=3")).toDouble(), 1e20);
    EXPECT_EQ(scalar(QStringLiteral("SELECT txt FROM t WHERE id=5")).toString(), QStringLiteral("after"));
}

// The connection keeps the statement of a repeated write for the next one;
// once the connection has been closed and opened again it prepares anew.
TEST_F(SqlRunnerTest, ARepeatedWriteRunsAgainAfterTheConnectionReopens)
{
    const QString sql = QStringLiteral("INSERT INTO t (id, txt) VALUES (@id, @txt)");
    for (int id = 1; id <= 4; ++id) {
        SCOPED_TRACE(id);
        if (id == 3) {
            CloseConn();
            OpenConn();
        }
        ASSERT_TRUE(RunTrans([&] {
                        RepeatedWrite insert(sql);
                        insert.Bind(0, id);
                        insert.Bind(1, QStringLiteral("第%1行").arg(id));
                        EXPECT_EQ(insert.Run(), 1);
                    }).isResult);
    }
    EXPECT_EQ(count(QStringLiteral("t")), 4);
    EXPECT_EQ(scalar(QStringLiteral("SELECT txt FROM t WHERE id=4")).toString(), QStringLiteral("第4行"));
}

TEST_F(SqlRunnerTest, BatchIsAllOrNothing)
{
    KeyValue batch;
    batch.AddItem(QStringLiteral("INSERT INTO t (id, txt) VALUES (1, 'a')"));
    batch.AddItem(QStringLiteral("INSERT INTO t (id, txt) VALUES (2, 'b')"));
    batch.AddItem(QStringLiteral("INSERT INTO missing_table VALUES (3)"));
    const m_DBresult r = ExecuteTrans(batch);
    EXPECT_FALSE(r.isResult);
    EXPECT_EQ(r.int_Count, 0);
    // The clerk reads the case in Chinese; the database's own words come along as details.
    EXPECT_EQ(r.str_MsgBox, QStringLiteral("数据库语句执行出错,操作没有完成!"));
    EXPECT_TRUE(r.str_Details.contains(QStringLiteral("missing_table"))) << r.str_Details.toStdString();
    EXPECT_EQ(count(QStringLiteral("t")), 0);
    // The connection is usable afterwards.
    EXPECT_TRUE(ExecuteTrans(KeyValue()).isResult);
}

TEST_F(SqlRunnerTest, UpdateThatReachesNoRowFailsTheBatch)
{
    exec(QStringLiteral("INSERT INTO t (id, txt) VALUES (1, 'a')"));
    KeyValue batch;
    batch.AddItem(QStringLiteral("INSERT INTO t (id, txt) VALUES (2, 'b')"));
    batch.AddItem(QStringLiteral("UPDATE t SET txt='x' WHERE id=@id"),
                  QVariant::fromValue(ParamMap{{QStringLiteral("@id"), 99}}.RequireRow()));
    const m_DBresult r = ExecuteTrans(batch);
    EXPECT_FALSE(r.isResult);
    EXPECT_EQ(r.str_MsgBox, QStringLiteral("当前记录不存在!"));
    EXPECT_EQ(count(QStringLiteral("t")), 1);
}

TEST_F(SqlRunnerTest, ProgramMadeListsGoIntoTheTextOnlyWhenClean)
{
    for (int i = 1; i <= 3; ++i)
        exec(QStringLiteral("INSERT INTO t (id) VALUES (%1)").arg(i));
    const RecordSetPtr rs = ExecuteSql(QStringLiteral("SELECT id FROM t WHERE id IN (@ids) ORDER BY @col"),
                                       ParamMap{{QStringLiteral("@ids"), NList(QStringLiteral("1,3,0"))},
                                                {QStringLiteral("@col"), NExpr(QStringLiteral("id desc"))}});
    ASSERT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(rs->value(0, 0).toInt(), 3);
    EXPECT_THROW(ExecuteSql(QStringLiteral("SELECT id FROM t WHERE id IN (@ids)"),
                            ParamMap{{QStringLiteral("@ids"), NList(QStringLiteral("1) OR (1=1"))}}),
                 DbError);
    EXPECT_THROW(ExecuteSql(QStringLiteral("SELECT id FROM t WHERE id = @missing")), DbError);
}

// One statement text run again and again (a scanner's lookup) with bound
// values, then with a program-made list in the same place, then without it.
TEST_F(SqlRunnerTest, ATextRunAgainTakesEachRunsOwnValues)
{
    for (int i = 1; i <= 3; ++i)
        exec(QStringLiteral("INSERT INTO t (id) VALUES (%1)").arg(i));
    const QString sql = QStringLiteral("SELECT count(*) FROM t WHERE id IN (@ids)");
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(ExecuteSql(sql, ParamMap{{QStringLiteral("@ids"), i}})->value(0, 0).toInt(), 1);
    EXPECT_EQ(ExecuteSql(sql, ParamMap{{QStringLiteral("@ids"), NList(QStringLiteral("1,2,0"))}})
                  ->value(0, 0)
                  .toInt(),
              2);
    EXPECT_EQ(ExecuteSql(sql, ParamMap{{QStringLiteral("@ids"), 3}})->value(0, 0).toInt(), 1);
    EXPECT_THROW(ExecuteSql(sql), DbError);
    EXPECT_THROW(ExecuteSql(sql, ParamMap{{QStringLiteral("@ids"), NList(QStringLiteral("1) OR (1=1"))}}),
                 DbError);
}

// A query run again keeps its prepared statement; when the table under it is
// made again with other columns (a report's work table), the result reads
// the new names, not the ones the statement gave before.
TEST_F(SqlRunnerTest, AQueryRunAgainReadsTheColumnsItGivesNow)
{
    const QString sql = QStringLiteral("SELECT * FROM w WHERE id=@id");
    const ParamMap p{{QStringLiteral("@id"), 1}};
    exec(QStringLiteral("CREATE TABLE w (id INTEGER, qty REAL)"));
    exec(QStringLiteral("INSERT INTO w VALUES (1, 2.5)"));
    for (int run = 0; run < 2; ++run) {
        const RecordSetPtr rs = ExecuteSql(sql, p);
        ASSERT_EQ(rs->RecordCount(), 1);
        EXPECT_EQ(rs->fields(), QStringList({"id", "qty"}));
        EXPECT_EQ(rs->number(0, QStringLiteral("QTY")), 2.5);
    }
    exec(QStringLiteral("DROP TABLE w"));
    exec(QStringLiteral("CREATE TABLE w (id INTEGER, amount REAL)"));
    exec(QStringLiteral("INSERT INTO w VALUES (1, 7.25)"));
    const RecordSetPtr rs = ExecuteSql(sql, p);
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->fields(), QStringList({"id", "amount"}));
    EXPECT_EQ(rs->number(0, QStringLiteral("amount")), 7.25);
    EXPECT_EQ(rs->fieldIndex(QStringLiteral("qty")), -1);
}

TEST_F(SqlRunnerTest, RepeatedPlaceholderIsBoundEverywhere)
{
    exec(QStringLiteral("INSERT INTO t (id, txt) VALUES (5, 'x')"));
    const RecordSetPtr rs =
        ExecuteSql(QStringLiteral("SELECT id FROM t WHERE id=@id OR txt=CAST(@id AS TEXT)"),
                   ParamMap{{QStringLiteral("@id"), 5}});
    EXPECT_EQ(rs->RecordCount(), 1);
}

// An "@name" inside a quoted literal of the statement is text: it is neither
// bound nor asked for, also when a parameter of that name is given.
TEST_F(SqlRunnerTest, PlaceholderInsideAQuotedLiteralStaysText)
{
    const struct {
        const char* sql;
        const char* stored;
    } cases[] = {
        {"INSERT INTO t (id, txt) VALUES (@id, 'mail@id')", "mail@id"},
        {"INSERT INTO t (id, txt) VALUES (@id, '@txt')", "@txt"},
        {"INSERT INTO t (id, txt) VALUES (@id, 'O''Brien @id')", "O'Brien @id"},
        {"INSERT INTO t (id, txt) VALUES (@id, '@id' || @txt)", "@id-"},
    };
    int id = 0;
    for (const auto& c : cases) {
        ++id;
        const ParamMap p{{QStringLiteral("@id"), id}, {QStringLiteral("@txt"), QStringLiteral("-")}};
        if (QString::fromUtf8(c.sql).contains(QLatin1String("@txt)")))
            ExecuteParaSql(QString::fromUtf8(c.sql), p);
        else
            ExecuteParaSql(QString::fromUtf8(c.sql), ParamMap{{QStringLiteral("@id"), id}});
        const RecordSetPtr rs = ExecuteSql(QStringLiteral("SELECT txt FROM t WHERE id=@id"),
                                           ParamMap{{QStringLiteral("@id"), id}});
        ASSERT_EQ(rs->RecordCount(), 1) << c.sql;
        EXPECT_EQ(PlaceholderNames(QString::fromUtf8(c.sql)).first(), QStringLiteral("@id")) << c.sql;
        EXPECT_EQ(PlaceholderNames(QString::fromUtf8(c.sql)).size(),
                  QString::fromUtf8(c.sql).contains(QLatin1String("@txt)")) ? 2 : 1)
            << c.sql;
        EXPECT_EQ(rs->text(0, QStringLiteral("txt")), QString::fromUtf8(c.stored)) << c.sql;
    }
    // A literal that holds the only "@name" needs no parameter at all.
    const RecordSetPtr rs = ExecuteSql(QStringLiteral("SELECT '@missing' AS txt"));
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->text(0, QStringLiteral("txt")), QStringLiteral("@missing"));
}

// A query gives its rows however its text begins (a leading blank or line
// break included); other statements give none.
TEST_F(SqlRunnerTest, StatementsThatYieldRowsAreQueries)
{
    EXPECT_NE(ExecuteSql(QStringLiteral("sElEcT 1")), nullptr);
    for (const char* sql : {" SELECT 1", "\n  select 1", "PRAGMA integrity_check"}) {
        const RecordSetPtr rs = ExecuteSql(QString::fromLatin1(sql));
        ASSERT_NE(rs, nullptr) << sql;
        EXPECT_EQ(rs->RecordCount(), 1) << sql;
    }
    EXPECT_EQ(ExecuteSql(QStringLiteral("UPDATE t SET txt='a'")), nullptr);
    EXPECT_EQ(ExecuteSql(QStringLiteral("INSERT INTO t (id) VALUES (1)")), nullptr);
    EXPECT_EQ(count(QStringLiteral("t")), 1);
}

// A row reader gives the values the driver gives for the same query (type
// and value), binds its placeholders as the other runners do, and hands out
// each value as stored beside it.
TEST_F(SqlRunnerTest, AReaderGivesTheDriversValuesAndTheStoredOnes)
{
    exec(QStringLiteral("CREATE TABLE v (id INTEGER PRIMARY KEY, x)"));
    exec(QStringLiteral("INSERT INTO v (x) VALUES (NULL), (7), (-9223372036854775807 - 1), (8.2), (1e5), "
                        "(0.00001), ('12.50'), (''), ('螺丝 \"M6\"'), (X'00FF31'), ('a' || char(0) || 'b')"));
    const QString sql =
        QStringLiteral("SELECT id, x AS \"the x\", @k AS k FROM v WHERE id >= @from ORDER BY id");
    const ParamMap params{{QStringLiteral("@from"), 1}, {QStringLiteral("@k"), QStringLiteral("键")}};
    const RecordSetPtr driver = ExecuteSql(sql, params);
    const std::unique_ptr<RowReader> reader = OpenRowReader(sql, params);
    EXPECT_EQ(reader->fields(),
              (QStringList{QStringLiteral("id"), QStringLiteral("the x"), QStringLiteral("k")}));
    int row = 0;
    while (reader->next()) {
        ASSERT_LT(row, driver->RecordCount());
        for (int c = 0; c < 3; ++c) {
            const QVariant want = driver->value(row, c);
            const QVariant got = reader->value(c);
            EXPECT_EQ(got.metaType(), want.metaType()) << row << "," << c;
            EXPECT_EQ(got.isNull(), want.isNull()) << row << "," << c;
            EXPECT_EQ(got, want) << row << "," << c;
        }
        ++row;
    }
    EXPECT_EQ(row, driver->RecordCount());
    EXPECT_FALSE(reader->next());

    using Type = StoredValue::Type;
    const struct {
        Type type;
        qint64 integer;
        double real;
        std::string_view bytes;
    } stored[] = {
        {Type::Null, 0, 0, {}},
        {Type::Integer, 7, 0, {}},
        {Type::Integer, std::numeric_limits<qint64>::min(), 0, {}},
        {Type::Real, 0, 8.2, {}},
        {Type::Real, 0, 1e5, {}},
        {Type::Real, 0, 0.00001, {}},
        {Type::Text, 0, 0, "12.50"},
        {Type::Text, 0, 0, ""},
        {Type::Text, 0, 0, "螺丝 \"M6\""},
        {Type::Blob, 0, 0,
         std::string_view("\x00\xFF"
                          "1",
                          3)},
        {Type::Text, 0, 0, std::string_view("a\0b", 3)},
    };
    const std::unique_ptr<RowReader> again = OpenRowReader(sql, params);
    for (const auto& want : stored) {
        ASSERT_TRUE(again->next());
        const StoredValue v = again->stored(1);
        EXPECT_EQ(v.type, want.type);
        EXPECT_EQ(v.integer, want.integer);
        EXPECT_EQ(v.real, want.real);
        EXPECT_EQ(v.bytes, want.bytes);
    }
    EXPECT_EQ(again->stored(3).type, Type::Null); // no such column

    // A second statement in the text is refused, not run.
    EXPECT_THROW(OpenRowReader(QStringLiteral("SELECT 1; DELETE FROM v")), DbError);
    EXPECT_EQ(count(QStringLiteral("v")), 11);
}

// A reader left open does not keep the connection from closing: it ends
// there, and the connection opens again as usual.
TEST_F(SqlRunnerTest, ClosingTheConnectionEndsAnOpenReader)
{
    exec(QStringLiteral("INSERT INTO t (id, txt) VALUES (1, 'a'), (2, 'b')"));
    const std::unique_ptr<RowReader> reader = OpenRowReader(QStringLiteral("SELECT txt FROM t ORDER BY id"));
    ASSERT_TRUE(reader->next());
    EXPECT_EQ(reader->value(0).toString(), QStringLiteral("a"));
    CloseConn();
    EXPECT_FALSE(IsConnOpen());
    EXPECT_FALSE(reader->next());
    EXPECT_FALSE(reader->value(0).isValid());
    EXPECT_EQ(ExecuteSql(QStringLiteral("SELECT COUNT(*) FROM t"))->value(0, 0).toInt(), 2);
}

TEST_F(SqlRunnerTest, NestedTransactionFailureRollsBackTheOuterOne)
{
    const m_DBresult r = RunWorkTableTrans([] {
        ExecuteSql(QStringLiteral("INSERT INTO t (id) VALUES (1)"));
        KeyValue inner;
        inner.AddItem(QStringLiteral("INSERT INTO t (id) VALUES (1)")); // duplicate key
        ExecuteTrans(inner);
    });
    EXPECT_FALSE(r.isResult);
    EXPECT_EQ(count(QStringLiteral("t")), 0);
}

struct FormatCase {
    QVariant value;
    const char* literal;
};

TEST(FormatParaValueTest, LiteralForms)
{
    const FormatCase cases[] = {
        {QStringLiteral("O'Brien"), "'O''Brien'"},
        {QString(), "''"},
        {QStringLiteral("N:12,15,0"), "12,15,0"},
        {QStringLiteral("N:"), ""},
        {true, "True"},
        {false, "False"},
        {0.5, "0.5"},
        {-3, "-3"},
        {QStringLiteral("a@id|b"), "'a@id|b'"},
        {NList(QStringLiteral("1,2,0")), "1,2,0"},
    };
    for (const FormatCase& c : cases)
        EXPECT_EQ(FormatParaValue(c.value).toStdString(), std::string(c.literal));
}

TEST(GetSqlFromKeyTest, CutsAtTheFirstBar)
{
    EXPECT_EQ(GetSqlFromKey(QStringLiteral("17|insert into t values (1)")),
              QStringLiteral("insert into t values (1)"));
    EXPECT_EQ(GetSqlFromKey(QStringLiteral("select 1")), QStringLiteral("select 1"));
    EXPECT_EQ(ReplaceQuote(QStringLiteral("a'b''")), QStringLiteral("a''b''''"));
}

TEST(KeyValueTest, RefusesADuplicateKey)
{
    KeyValue kv;
    kv.AddItem(QStringLiteral("a"));
    EXPECT_THROW(kv.AddItem(QStringLiteral("a")), DbError);
    EXPECT_EQ(kv.Count(), 1);
}

} // namespace

// A work-table transaction (a report's fill) takes no write lock on the file:
// another workstation starts its save meanwhile without waiting.
TEST_F(SqlRunnerTest, WorkTableTransactionsLeaveOthersFreeToWrite)
{
    OtherWorkstation other(appDir() + QStringLiteral("wms.db"));
    int otherSaved = 0;
    const m_DBresult r = RunWorkTableTrans([&] {
        ExecuteSql(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS work (n INTEGER)"));
        ExecuteSql(QStringLiteral("INSERT INTO work SELECT count(*) FROM tb_user"));
        {
            QSqlQuery q(QSqlDatabase::database(QStringLiteral("other_workstation"), false));
            if (q.exec(QStringLiteral("PRAGMA busy_timeout = 100")) &&
                q.exec(QStringLiteral("BEGIN IMMEDIATE")) &&
                q.exec(QStringLiteral("INSERT INTO tb_setting (id, setKey) VALUES (301, 'other')")))
                ++otherSaved;
            q.exec(QStringLiteral("ROLLBACK"));
        }
        ExecuteSql(QStringLiteral("SELECT count(*) FROM tb_setting"));
    });
    EXPECT_TRUE(r.isResult) << r.str_MsgBox.toStdString();
    EXPECT_EQ(otherSaved, 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM temp.work")).toInt(), 1);
}
