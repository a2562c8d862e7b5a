#include "TestEnv.h"

#include "ProcessFuntionValues.h"
#include "m_PageInfor.h"
#include "m_result.h"
#include "sqlHelper.h"

#include <algorithm>

namespace
{

class PagingTest : public DbTest
{
  protected:
    void fill(int rows)
    {
        exec(QStringLiteral(
            "CREATE TABLE p (id INTEGER PRIMARY KEY, grp INTEGER NOT NULL, txt TEXT NOT NULL)"));
        const m_DBresult r = RunTrans([rows] {
            for (int id = 1; id <= rows; ++id)
                ExecuteParaSql(QStringLiteral("INSERT INTO p (id, grp, txt) VALUES (@id, @grp, @txt)"),
                               ParamMap{{QStringLiteral("@id"), id},
                                        {QStringLiteral("@grp"), (id * 7) % 11},
                                        {QStringLiteral("@txt"), QStringLiteral("r%1").arg(id)}});
        });
        ASSERT_TRUE(r.isResult) << r.str_MsgBox.toStdString();
    }
    QList<int> ids(const QString& sql, const ParamMap& params = {})
    {
        QList<int> out;
        const RecordSetPtr rs = ExecuteSql(sql, params);
        for (int r = 0; r < rs->RecordCount(); ++r)
            out << rs->value(r, QStringLiteral("id")).toInt();
        return out;
    }
    static QList<int> range(int from, int to, int step = 1)
    {
        QList<int> out;
        for (int i = from; step > 0 ? i <= to : i >= to; i += step)
            out << i;
        return out;
    }
};

struct PageCase {
    int total;
    int pageSize;
    int pageIndex;
    bool isDesc;
    int writtenBack;
    QList<int> ids;
};

TEST_F(PagingTest, PagesOfTheWholeOrderedByIdWithTheIndexClamped)
{
    const PageCase cases[] = {
        {45, 20, 1, false, 1, range(1, 20)},   {45, 20, 3, false, 3, range(41, 45)},
        {45, 20, 7, false, 3, range(41, 45)},  {45, 20, 0, false, 1, range(1, 20)},
        {45, 20, -2, false, 1, range(1, 20)},  {45, 20, 1, true, 1, range(45, 26, -1)},
        {45, 20, 3, true, 3, range(5, 1, -1)}, {45, 0, 3, false, 3, {3}},
        {45, -5, 50, false, 45, {45}},         {40, 20, 2, false, 2, range(21, 40)},
        {40, 20, 3, false, 2, range(21, 40)},  {0, 20, 1, false, 0, {}},
    };
    int filled = -1;
    for (const PageCase& c : cases) {
        if (filled != c.total) {
            exec(QStringLiteral("DROP TABLE IF EXISTS p"));
            fill(c.total);
            filled = c.total;
        }
        int pageIndex = c.pageIndex;
        const QString sql = GetPageSql(QStringLiteral("select * from p"), pageIndex, c.pageSize,
                                       QStringLiteral("id"), c.isDesc);
        EXPECT_EQ(pageIndex, c.writtenBack) << c.total << "/" << c.pageSize << " page " << c.pageIndex;
        EXPECT_EQ(ids(sql), c.ids) << sql.toStdString();
    }
}

// Equal values of the order column keep a fixed order by id, in the same
// direction; numbers sort as numbers.
TEST_F(PagingTest, TiesBreakByIdInTheSameDirection)
{
    fill(45);
    for (const bool desc : {false, true}) {
        QList<int> all = range(1, 45);
        std::sort(all.begin(), all.end(), [desc](int a, int b) {
            const auto ka = std::make_pair((a * 7) % 11, a);
            const auto kb = std::make_pair((b * 7) % 11, b);
            return desc ? kb < ka : ka < kb;
        });
        QList<int> paged;
        for (int page = 1; page <= 3; ++page) {
            int pageIndex = page;
            paged += ids(GetPageSql(QStringLiteral("select id, grp from p where id > @min"), pageIndex, 20,
                                    QStringLiteral("grp"), desc, ParamMap{{QStringLiteral("@min"), 0}}),
                         ParamMap{{QStringLiteral("@min"), 0}});
        }
        EXPECT_EQ(paged, all) << (desc ? "desc" : "asc");
    }
    EXPECT_EQ(GetOrderBySql(QStringLiteral("grp"), true), QStringLiteral(" order by grp desc, id desc"));
    EXPECT_EQ(GetOrderBySql(QStringLiteral("id"), false), QStringLiteral(" order by id asc"));
    EXPECT_EQ(GetOrderBySql(QString(), false), QString());
    int pageIndex = 1;
    EXPECT_THROW(GetPageSql(QStringLiteral("select * from p"), pageIndex, 20,
                            QStringLiteral("grp; DROP TABLE p"), false),
                 DbError);
}

TEST_F(PagingTest, RecordSetInfoCountsTheRowsOfTheCountQuery)
{
    fill(45);
    const QString page = QStringLiteral("select * from p where grp >= @g limit 5");
    const QString whole = QStringLiteral("select * from p where grp >= @g");
    const ParamMap params{{QStringLiteral("@g"), 5}};
    const m_recordSet r = GetRecordSetInfo(page, whole, params);
    ASSERT_TRUE(r.recordSet);
    EXPECT_EQ(r.recordSet->RecordCount(), 5);
    const QList<int> all = range(1, 45);
    const int expected =
        int(std::count_if(all.begin(), all.end(), [](int id) { return (id * 7) % 11 >= 5; }));
    EXPECT_EQ(r.recordCount, expected);
    EXPECT_TRUE(r.str_condition.isEmpty());
    EXPECT_TRUE(r.str_MsgBox.isEmpty());
    // The count is the number of rows, not the value a COUNT in the query gives.
    EXPECT_EQ(GetRecordCount(QStringLiteral("select count(*) from p")), 1);
    EXPECT_EQ(GetRecordCount(QStringLiteral("DELETE FROM p")), 0);
    // A statement that is not a query is not run.
    const m_recordSet none =
        GetRecordSetInfo(QStringLiteral("DELETE FROM p"), QStringLiteral("DELETE FROM p"));
    EXPECT_EQ(none.recordCount, 0);
    EXPECT_FALSE(none.recordSet);
    EXPECT_EQ(count(QStringLiteral("p")), 45);
}

TEST(ResultRecordsTest, StartEmpty)
{
    const m_PageInfor page;
    EXPECT_EQ(page.recordCount, 0);
    EXPECT_EQ(page.int_PageSize, 0);
    EXPECT_EQ(page.int_currentPageIndex, 0);
    EXPECT_FALSE(page.isDesc);
    EXPECT_FALSE(page.recordSet);
    const m_result picked;
    EXPECT_FALSE(picked.isHasObject);
    EXPECT_TRUE(picked.resultValue.isEmpty());
}

TEST(GetPageCountTest, CountsPartPagesAsWhole)
{
    const struct {
        int total, pageSize, pages;
    } cases[] = {{0, 20, 0}, {20, 20, 1}, {21, 20, 2}, {45, 50, 1}, {45, 20, 3}, {45, 0, 45}, {3, -1, 3}};
    for (const auto& c : cases)
        EXPECT_EQ(GetPageCount(c.total, c.pageSize), c.pages) << c.total << "/" << c.pageSize;
}

} // namespace
