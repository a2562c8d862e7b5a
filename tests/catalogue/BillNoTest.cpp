#include "TestEnv.h"

#include "ProcessFuntion.h"
#include "sqlHelper.h"

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

TEST_F(BillNoTest, UnreadableDateIsAnError)
{
    EXPECT_THROW(GetNewBillNo(QStringLiteral("rk"), QStringLiteral("not a date")), DbError);
}

} // namespace
