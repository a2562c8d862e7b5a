#include "TestEnv.h"

#include "ReportFunctions.h"
#include "sqlHelper.h"

using ReportFunctionsTest = DbTest;

// The formatters write the report forms; a registration SQLite refuses (here:
// replacing a function while a statement of the connection is running) is
// reported, not passed over.
TEST_F(ReportFunctionsTest, FormsAndARefusedRegistration)
{
    RegisterReportFunctions();
    const struct {
        const char* sql;
        const char* text;
    } cases[] = {
        {"select rpt_num(12, '#0.0##')", "12.0"},        {"select rpt_num(1.23456, '#0.0##')", "1.235"},
        {"select rpt_num(0.0001, '#0.0##', '0')", "0"},  {"select rpt_num(0.0001, '#0.0##')", "0.0"},
        {"select rpt_num(2.255, '#0.0#', '0')", "2.26"}, {"select rpt_diff('12.5', '2.25', 3)", "10.25"},
        {"select rpt_diff('1', '1.0', 3)", "0"},         {"select rpt_diff(0.3, 0.1, 2)", "0.2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scalar(QString::fromUtf8(c.sql)).toString(), QString::fromUtf8(c.text)) << c.sql;
    EXPECT_TRUE(scalar(QStringLiteral("select rpt_num(NULL, '#0.0##', '0') is null")).toBool());

    QSqlQuery running = OpenForwardQuery(QStringLiteral("select rpt_num(id, '#0.0#') from tb_dictionary"));
    ASSERT_TRUE(running.next());
    EXPECT_THROW(RegisterReportFunctions(), DbError);
    running.finish();
    EXPECT_NO_THROW(RegisterReportFunctions());
}
