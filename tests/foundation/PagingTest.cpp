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

// A grouped query has no id column: the caller names the key that makes its
// order total, and a total kept as text sorts by its number.
TEST_F(PagingTest, PagesAGroupedQueryByItsOwnKeyAndNumericTotals)
{
    fill(45);
    // Per group: the group and its row total as text ("117", "99.5", ...).
    const QString grouped = QStringLiteral(
        "select grp, CAST(sum(id) + (grp % 2) * 0.5 AS TEXT) as total from p where id > @min group by grp");
    const ParamMap params{{QStringLiteral("@min"), 0}};
    const RecordSetPtr whole = ExecuteSql(grouped, params);
    QList<std::pair<double, int>> expected;
    for (int r = 0; r < whole->RecordCount(); ++r)
        expected.append({whole->value(r, QStringLiteral("total")).toDouble(),
                         whole->value(r, QStringLiteral("grp")).toInt()});
    ASSERT_EQ(expected.size(), 11);
    std::sort(expected.begin(), expected.end(), std::greater<>());

    PageRequest page;
    page.pageSize = 4;
    page.orderField = QStringLiteral("CAST(total AS REAL)");
    page.isDesc = true;
    page.tieBreak = QStringLiteral("grp");
    QList<std::pair<double, int>> paged;
    for (int index = 1; index <= 3; ++index) {
        page.pageIndex = index;
        const RecordSetPtr rs = ExecuteSql(GetPageSql(grouped, page, params), params);
        for (int r = 0; r < rs->RecordCount(); ++r)
            paged.append({rs->value(r, QStringLiteral("total")).toDouble(),
                          rs->value(r, QStringLiteral("grp")).toInt()});
        EXPECT_EQ(page.pageIndex, index);
        EXPECT_EQ(page.recordCount, 11);
    }
    EXPECT_EQ(paged, expected);

    // Without an order field the key orders the page.
    PageRequest byKey;
    byKey.pageSize = 3;
    byKey.tieBreak = QStringLiteral("grp");
    QList<int> groups;
    const RecordSetPtr first = ExecuteSql(GetPageSql(grouped, byKey, params), params);
    for (int r = 0; r < first->RecordCount(); ++r)
        groups << first->value(r, QStringLiteral("grp")).toInt();
    EXPECT_EQ(groups, (QList<int>{0, 1, 2}));
}

// A joined query repeats the head's id on every line: the key of a line is
// the head and the line together.
TEST_F(PagingTest, PagesAJoinedQueryByATwoColumnKey)
{
    fill(10);
    exec(QStringLiteral("CREATE TABLE line (id INTEGER PRIMARY KEY, headId INTEGER, rowNo INTEGER)"));
    // Heads 1..10 with 3 lines each, stored out of order.
    exec(QStringLiteral(
        "INSERT INTO line (headId, rowNo) SELECT p.id, r.n FROM p, "
        "(SELECT 1 AS n UNION ALL SELECT 2 UNION ALL SELECT 3) r ORDER BY r.n DESC, p.id DESC"));
    QList<std::pair<int, int>> expected;
    for (int head = 1; head <= 10; ++head)
        for (int rowNo = 1; rowNo <= 3; ++rowNo)
            expected.append({head, rowNo});
    const QString joined =
        QStringLiteral("select p.id, p.txt, l.rowNo from p join line l on l.headId = p.id where p.id > @min");
    const ParamMap params{{QStringLiteral("@min"), 0}};

    PageRequest page;
    page.pageSize = 7;
    page.orderField = QStringLiteral("id");
    page.tieBreak = QStringLiteral("id, rowNo");
    QList<std::pair<int, int>> paged;
    for (int index = 1; index <= 5; ++index) {
        page.pageIndex = index;
        const RecordSetPtr rs = ExecuteSql(GetPageSql(joined, page, params), params);
        for (int r = 0; r < rs->RecordCount(); ++r)
            paged.append(
                {rs->value(r, QStringLiteral("id")).toInt(), rs->value(r, QStringLiteral("rowNo")).toInt()});
    }
    EXPECT_EQ(page.recordCount, 30);
    EXPECT_EQ(page.pageIndex, 5);
    EXPECT_EQ(paged, expected);
    EXPECT_EQ(GetOrderBySql(QStringLiteral("id"), false, QStringLiteral("id, rowNo")),
              QStringLiteral(" order by id asc, rowNo asc"));
    page.tieBreak = QStringLiteral("id; DROP TABLE p");
    EXPECT_THROW(GetPageSql(joined, page, params), DbError);
}

// The pages after a search take the search's count and do not count again:
// rows added meanwhile do not move the last page until the next search.
TEST_F(PagingTest, LaterPagesKeepTheCountOfTheSearch)
{
    fill(45);
    PageRequest page;
    page.orderField = QStringLiteral("id");
    const RecordSetPtr first = ExecuteSql(GetPageSql(QStringLiteral("select * from p"), page));
    EXPECT_EQ(page.recordCount, 45);
    EXPECT_EQ(first->RecordCount(), 20);
    exec(QStringLiteral("INSERT INTO p (id, grp, txt) VALUES (46, 0, 'new')"));
    page.pageIndex = 9;
    const QList<int> last = ids(GetPageSql(QStringLiteral("select * from p"), page));
    EXPECT_EQ(page.pageIndex, 3);
    EXPECT_EQ(page.recordCount, 45);
    EXPECT_EQ(last, range(41, 45));
    page.recordCount = -1; // a new search
    page.pageIndex = 9;
    EXPECT_EQ(ids(GetPageSql(QStringLiteral("select * from p"), page)), range(41, 46));
    EXPECT_EQ(page.recordCount, 46);
}

// Every report filters and orders the bill heads by date.
TEST_F(PagingTest, BillHeadDatesAreIndexed)
{
    for (const QString& table : {QStringLiteral("tb_rk_head"), QStringLiteral("tb_ck_head")}) {
        const RecordSetPtr plan = ExecuteSql(
            QStringLiteral(
                "EXPLAIN QUERY PLAN SELECT id FROM %1 WHERE createTime >= @from ORDER BY createTime, id")
                .arg(table),
            ParamMap{{QStringLiteral("@from"), QStringLiteral("2024-01-01")}});
        QString text;
        for (int r = 0; r < plan->RecordCount(); ++r)
            text += plan->value(r, QStringLiteral("detail")).toString() + QLatin1Char('\n');
        EXPECT_TRUE(text.contains(QStringLiteral("_time"))) << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("TEMP B-TREE"))) << text.toStdString();
    }
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
