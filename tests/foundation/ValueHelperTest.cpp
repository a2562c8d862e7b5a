#include "TestEnv.h"

#include "GetvalueFunction.h"
#include "ProcessFuntionValues.h"
#include "StringBulider.h"
#include "sqlHelper.h"

namespace
{

TEST(ValueHelperTest, IsNullOrEmptyAndNullToValue)
{
    const QVariant dbNull = QVariant(QMetaType::fromType<QString>());
    const struct {
        QVariant value;
        bool nullOrEmpty;
        const char* withDefault; // NullToValue(value, "x")
    } cases[] = {
        {QVariant(), true, "x"},
        {dbNull, true, "x"},
        {QVariant(QMetaType::fromType<int>()), true, "x"},
        {QStringLiteral(""), true, ""},
        {QStringLiteral("   "), true, "   "},
        {QStringLiteral("0"), false, "0"},
        {0, false, "0"},
        {QStringLiteral(" a "), false, " a "},
        {QStringLiteral("\t"), false, "\t"},
        {2.5, false, "2.5"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsNullOrEmpty(c.value), c.nullOrEmpty) << c.withDefault;
        EXPECT_EQ(NullToValue(c.value, QStringLiteral("x")), QString::fromLatin1(c.withDefault));
    }
}

TEST(ValueHelperTest, MonthFirstDayAndStringBulider)
{
    EXPECT_EQ(GetMonthFirstDay(QDate(2012, 8, 17)), QDate(2012, 8, 1));
    EXPECT_EQ(GetMonthFirstDay(QDate(2012, 8, 1)), QDate(2012, 8, 1));
    EXPECT_EQ(GetMonthFirstDay(QDate(2012, 2, 29)), QDate(2012, 2, 1));
    EXPECT_EQ(GetMonthFirstDay(QDateTime(QDate(2012, 8, 17), QTime(9, 30))),
              QDateTime(QDate(2012, 8, 1), QTime(9, 30)));

    StringBulider sb;
    EXPECT_EQ(sb.ToString(), QString());
    sb.Append(QStringLiteral("select *")).NewLine().Append(QStringLiteral("from t"));
    EXPECT_EQ(sb.ToString(), QStringLiteral("select *\r\nfrom t"));
    sb.Clear();
    EXPECT_EQ(sb.ToString(), QString());
}

class ChildIdsTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(QStringLiteral("CREATE TABLE tree (id INTEGER PRIMARY KEY, parentId INTEGER NOT NULL)"));
        // 2 and 3 under 1, 4 under 2; 10 -> 11 -> 12 -> 10 run in a circle; 20 is its own parent.
        exec(QStringLiteral("INSERT INTO tree (id, parentId) VALUES (3, 1), (2, 1), (4, 2), (1, 0), "
                            "(10, 12), (11, 10), (12, 11), (20, 20), (21, 20)"));
    }
};

TEST_F(ChildIdsTest, ListsTheSubtreeDepthFirstAndEndsOnACycle)
{
    const struct {
        int id;
        const char* ids;
    } cases[] = {
        {1, "2,4,3,1"}, {2, "4,2"}, {4, "4"}, {99, "99"}, {10, "11,12,10"}, {11, "12,10,11"}, {20, "21,20"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetChildIds(c.id, QStringLiteral("tree"), QStringLiteral("id")), QString::fromLatin1(c.ids))
            << c.id;
    EXPECT_THROW(GetChildIds(1, QStringLiteral("no_such_table"), QStringLiteral("id")), DbError);
    EXPECT_THROW(GetChildIds(1, QStringLiteral("tree where 1=1 --"), QStringLiteral("id")), DbError);
}

TEST_F(ChildIdsTest, WorksOnTheDictionary)
{
    exec(QStringLiteral(
        "INSERT INTO tb_dictionary (id, utype, uname, parentId) VALUES (50, 'goodsType', 'a', 0), "
        "(51, 'goodsType', 'b', 50), (52, 'goodsType', 'c', 51)"));
    EXPECT_EQ(GetChildIds(50, QStringLiteral("tb_dictionary")), QStringLiteral("51,52,50"));
    EXPECT_EQ(DictionarySubtreeIds(51), QStringLiteral("52,51"));
    EXPECT_EQ(DictionarySubtreeIds(52), QStringLiteral("52"));
}

} // namespace
