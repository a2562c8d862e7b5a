#include "TestEnv.h"

#include "ProcessFuntion.h"
#include "sqlHelper.h"

#include <QSqlDriver>
#include <sqlite3.h>

namespace
{

class BillNoTest : public DbTest
{
  protected:
    void addNumbers(const QString& table, const QString& column, const QStringList& numbers)
    {
        for (const QString& no : numbers) {
            ExecuteParaSql(
                QStringLiteral("insert into %1 (id,%2) values ((select coalesce(max(id),0)+1 from %1),@no)")
                    .arg(table, column),
                ParamMap{{QStringLiteral("@no"), no}});
        }
    }
};

struct NumberCase {
    const char* name;
    QStringList stored; // numbers already in tb_rk_head
    const char* kind;
    const char* date;
    const char* expected;
};

TEST_F(BillNoTest, NextNumberOfTheMonth)
{
    const NumberCase cases[] = {
        {"first of an empty table", {}, "rk", "2012-08-17", "rk-1208-00001"},
        {"first of a month after earlier months", {"rk-1207-00004"}, "rk", "2012-08-01", "rk-1208-00001"},
        {"gaps are not filled", {"rk-1208-00001", "rk-1208-00007"}, "rk", "2012-08-17", "rk-1208-00008"},
        {"later months do not count",
         {"rk-1208-00002", "rk-1209-00950"},
         "rk",
         "2012-08-31",
         "rk-1208-00003"},
        {"kind in capitals", {"rk-1208-00002"}, "RK", "2012-08-17", "rk-1208-00003"},
        {"date with time", {"rk-1208-00002"}, "rk", "2012-08-17 23:59:59", "rk-1208-00003"},
        {"slashed date", {}, "rk", "2012/8/5", "rk-1208-00001"},
        {"stored in capitals", {"RK-1208-00041"}, "rk", "2012-08-17", "rk-1208-00042"},
        {"a number without its serial", {"rk-1208-"}, "rk", "2012-08-17", "rk-1208-00001"},
        {"a serial with trailing letters", {"rk-1208-00012a"}, "rk", "2012-08-17", "rk-1208-00013"},
        {"another prefix of the same month",
         {"rx-1208-00050", "rk-1208-00002"},
         "rk",
         "2012-08-17",
         "rk-1208-00003"},
        {"past five digits", {"rk-1208-99999"}, "rk", "2012-08-17", "rk-1208-100000"},
        {"six digits count as a number",
         {"rk-1208-99999", "rk-1208-100000"},
         "rk",
         "2012-08-17",
         "rk-1208-100001"},
        {"another kind's table", {"rk-1208-00009"}, "ck", "2012-08-17", "ck-1208-00001"},
        {"unknown kind", {"rk-1208-00009"}, "xx", "2012-08-17", ""},
        {"empty kind", {}, "", "2012-08-17", ""},
    };
    for (const NumberCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(RunTrans([&] {
                        ExecuteSql(QStringLiteral("delete from tb_rk_head"));
                        addNumbers(QStringLiteral("tb_rk_head"), QStringLiteral("BillNo"), c.stored);
                    }).isResult);
        EXPECT_EQ(GetNewBillNo(QString::fromUtf8(c.kind), QString::fromUtf8(c.date)),
                  QString::fromUtf8(c.expected));
    }
}

TEST_F(BillNoTest, EachKindCountsItsOwnTable)
{
    addNumbers(QStringLiteral("tb_rk_head"), QStringLiteral("BillNo"), {QStringLiteral("rk-2401-00003")});
    addNumbers(QStringLiteral("tb_ck_head"), QStringLiteral("BillNo"), {QStringLiteral("ck-2401-00010")});
    addNumbers(QStringLiteral("tb_customer"), QStringLiteral("customerCode"),
               {QStringLiteral("ct-2401-00020")});
    EXPECT_EQ(GetNewBillNo(QStringLiteral("rk"), QStringLiteral("2024-01-15")),
              QStringLiteral("rk-2401-00004"));
    EXPECT_EQ(GetNewBillNo(QStringLiteral("ck"), QStringLiteral("2024-01-15")),
              QStringLiteral("ck-2401-00011"));
    EXPECT_EQ(GetNewBillNo(QStringLiteral("Ct"), QStringLiteral("2024-01-15")),
              QStringLiteral("ct-2401-00021"));
}

// Taken and stored in one transaction, consecutive saves never share a number.
TEST_F(BillNoTest, NumbersTakenInsideTheSavingTransactionFollowEachOther)
{
    QStringList taken;
    for (int i = 0; i < 3; ++i) {
        const m_DBresult r = RunTrans([&] {
            const QString no = GetNewBillNo(QStringLiteral("rk"), QStringLiteral("2024-03-02"));
            ExecuteParaSql(QStringLiteral("insert into tb_rk_head (id,BillNo) values (@id,@no)"),
                           ParamMap{{QStringLiteral("@id"), i + 1}, {QStringLiteral("@no"), no}});
            taken << no;
        });
        ASSERT_TRUE(r.isResult) << r.str_MsgBox.toStdString();
    }
    EXPECT_EQ(taken, (QStringList{QStringLiteral("rk-2403-00001"), QStringLiteral("rk-2403-00002"),
                                  QStringLiteral("rk-2403-00003")}));
}

// A serial too large to count on (imported or hand-edited numbers) stops the
// save with a message; no malformed number, none handed out twice.
TEST_F(BillNoTest, ASerialTooLargeToCountOnStopsTheSave)
{
    for (const char* stored :
         {"rk-1208-99999999999999999999", "rk-1208-9223372036854775807", "rk-1208-999999999999999999"}) {
        SCOPED_TRACE(stored);
        ASSERT_TRUE(RunTrans([&] {
                        ExecuteSql(QStringLiteral("delete from tb_rk_head"));
                        addNumbers(QStringLiteral("tb_rk_head"), QStringLiteral("BillNo"),
                                   {QStringLiteral("rk-1208-00003"), QString::fromLatin1(stored)});
                    }).isResult);
        try {
            const QString no = GetNewBillNo(QStringLiteral("rk"), QStringLiteral("2012-08-17"));
            ADD_FAILURE() << "handed out " << no.toStdString();
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("流水号"))) << e.message().toStdString();
        }
        // Other months still number as before.
        EXPECT_EQ(GetNewBillNo(QStringLiteral("rk"), QStringLiteral("2012-09-01")),
                  QStringLiteral("rk-1209-00001"));
    }
    // Just below the limit the next number is still whole.
    ASSERT_TRUE(RunTrans([&] {
                    ExecuteSql(QStringLiteral("delete from tb_rk_head"));
                    addNumbers(QStringLiteral("tb_rk_head"), QStringLiteral("BillNo"),
                               {QStringLiteral("rk-1208-999999999999999998")});
                }).isResult);
    EXPECT_EQ(GetNewBillNo(QStringLiteral("rk"), QStringLiteral("2012-08-17")),
              QStringLiteral("rk-1208-999999999999999999"));
}

sqlite3* connectionHandle()
{
    return *static_cast<sqlite3* const*>(SharedConn().driver()->handle().data());
}

int countStep(void* steps)
{
    ++*static_cast<qint64*>(steps);
    return 0;
}

// The virtual machine steps one call of GetNewBillNo takes (after a first
// call, so that preparing and reading the schema do not count).
qint64 stepsOfNextNumber(const QString& kind, const QString& date)
{
    GetNewBillNo(kind, date);
    qint64 steps = 0;
    sqlite3_progress_handler(connectionHandle(), 1, countStep, &steps);
    GetNewBillNo(kind, date);
    sqlite3_progress_handler(connectionHandle(), 0, nullptr, nullptr);
    return steps;
}

int collectStatement(unsigned, void* texts, void* stmt, void*)
{
    static_cast<QStringList*>(texts)->append(
        QString::fromUtf8(sqlite3_sql(static_cast<sqlite3_stmt*>(stmt))));
    return 0;
}

// How SQLite plans the statement text (one line per step).
QString planOf(const QString& sql)
{
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = "EXPLAIN QUERY PLAN " + sql.toUtf8();
    if (sqlite3_prepare_v2(connectionHandle(), text.constData(), int(text.size()), &stmt, nullptr) !=
        SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(connectionHandle()));
    QStringList lines;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        lines << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3)));
    sqlite3_finalize(stmt);
    return lines.join(QLatin1Char('\n'));
}

// The month's largest serial is one probe of the table's serial index: the
// plan names the index, and a month of many numbers costs no more than a
// month of a few.
TEST_F(BillNoTest, TheLargestSerialIsOneProbeOfTheSerialIndex)
{
    const struct {
        const char* kind;
        const char* table;
        const char* column;
        const char* index;
    } series[] = {
        {"rk", "tb_rk_head", "billNo", "ix_rk_head_serial"},
        {"ck", "tb_ck_head", "billNo", "ix_ck_head_serial"},
        {"ct", "tb_customer", "customerCode", "ix_customer_serial"},
    };
    for (const auto& s : series) {
        SCOPED_TRACE(s.kind);
        const QString table = QString::fromLatin1(s.table);
        const QString kind = QString::fromLatin1(s.kind);
        const auto fill = [&](const QString& yymm, int count) {
            ASSERT_TRUE(
                RunTrans([&] {
                    ExecuteParaSql(
                        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n "
                                       "WHERE i<@count) INSERT INTO %1 (id,%2) SELECT "
                                       "(SELECT coalesce(max(id),0) FROM %1)+i, @prefix||printf('%05d',i) "
                                       "FROM n")
                            .arg(table, QString::fromLatin1(s.column)),
                        ParamMap{
                            {QStringLiteral("@count"), count},
                            {QStringLiteral("@prefix"), kind + QLatin1Char('-') + yymm + QLatin1Char('-')}});
                }).isResult);
        };
        fill(QStringLiteral("2401"), 20);
        fill(QStringLiteral("2402"), 5000);
        exec(QStringLiteral("ANALYZE"));

        QStringList statements;
        sqlite3_trace_v2(connectionHandle(), SQLITE_TRACE_STMT, collectStatement, &statements);
        EXPECT_EQ(GetNewBillNo(kind, QStringLiteral("2024-02-10")), kind + QStringLiteral("-2402-05001"));
        sqlite3_trace_v2(connectionHandle(), 0, nullptr, nullptr);
        ASSERT_EQ(statements.size(), 1);
        const QString plan = planOf(statements.at(0));
        EXPECT_TRUE(plan.contains(QStringLiteral("INDEX %1 (<expr>=?)").arg(QString::fromLatin1(s.index))))
            << statements.at(0).toStdString() << "\n"
            << plan.toStdString();

        const qint64 few = stepsOfNextNumber(kind, QStringLiteral("2024-01-10"));
        const qint64 many = stepsOfNextNumber(kind, QStringLiteral("2024-02-10"));
        EXPECT_GT(few, 0);
        EXPECT_LE(many, few + 10) << "a month of 5000 numbers took " << many << " steps, one of 20 " << few;
    }
}

TEST_F(BillNoTest, UnreadableDateIsAnError)
{
    EXPECT_THROW(GetNewBillNo(QStringLiteral("rk"), QStringLiteral("not a date")), DbError);
}

} // namespace
