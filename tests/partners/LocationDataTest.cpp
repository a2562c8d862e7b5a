#include "TestEnv.h"

#include "dal_location.h"
#include "sqlHelper.h"

namespace
{

class LocationDataTest : public DbTest
{
  protected:
    static m_location location(int id, const QString& code, int parentId = 0)
    {
        m_location m;
        m.id = id;
        m.locationCode = code;
        m.uname = QStringLiteral("库位") + code;
        m.capacity = 12.5;
        m.parentId = parentId;
        m.orderby = 3;
        m.isLock = 0;
        m.isVirtual = 0;
        m.state = 1;
        m.remark = QStringLiteral("第一行\r\n第二行");
        return m;
    }

    dal_location dal;
};

TEST_F(LocationDataTest, EveryColumnRoundTripsAsTyped)
{
    dal.Add(location(1, QStringLiteral("A")));
    m_location in = location(2, QStringLiteral("A-'01'@remark"), 1);
    in.uname = QStringLiteral("N:5");
    in.remark = QStringLiteral("K:x|100%");
    in.isLock = 1;
    in.isVirtual = 1;
    in.state = 0;
    in.capacity = 0.25;
    dal.Add(in);

    const m_location out = dal.GetModel(2);
    EXPECT_EQ(out.id, 2);
    EXPECT_EQ(out.locationCode, in.locationCode);
    EXPECT_EQ(out.uname, in.uname);
    EXPECT_DOUBLE_EQ(out.capacity, 0.25);
    EXPECT_EQ(out.parentId, 1);
    EXPECT_EQ(out.orderby, 3);
    EXPECT_EQ(out.isLock, 1);
    EXPECT_EQ(out.isVirtual, 1);
    EXPECT_EQ(out.state, 0);
    EXPECT_EQ(out.remark, in.remark);
    EXPECT_EQ(out.parentlocationCode, QStringLiteral("A"));
    EXPECT_EQ(out.parentName, QStringLiteral("库位A"));
    EXPECT_EQ(out.lockName, QStringLiteral("锁定"));
    EXPECT_EQ(out.VirtualName, QStringLiteral("虚拟库位"));
    EXPECT_EQ(out.stateName, QStringLiteral("禁用"));
    EXPECT_EQ(out.iCount, 0);

    const m_location top = dal.GetModel(1);
    EXPECT_EQ(top.parentId, 0);
    EXPECT_TRUE(top.parentlocationCode.isEmpty());
    EXPECT_TRUE(top.parentName.isEmpty());
    EXPECT_EQ(top.iCount, 1);
    EXPECT_EQ(top.lockName, QStringLiteral("未锁定"));
    EXPECT_EQ(top.VirtualName, QStringLiteral("实体库位"));
    EXPECT_EQ(top.stateName, QStringLiteral("启用"));
}

TEST_F(LocationDataTest, MissingRowAndNullRemarkReadAsEmpty)
{
    const m_location none = dal.GetModel(5);
    EXPECT_EQ(none.id, 0);
    EXPECT_TRUE(none.locationCode.isEmpty());
    exec(QStringLiteral("insert into tb_location (id,locationCode,uname) values (5,'B','b')"));
    const m_location m = dal.GetModel(5);
    EXPECT_EQ(m.id, 5);
    EXPECT_TRUE(m.remark.isEmpty());
}

// How a code typed into a bill (id 0) or checked for duplicates (own id) resolves.
TEST_F(LocationDataTest, TypedCodeResolves)
{
    m_location disabled = location(1, QStringLiteral("A-01"));
    disabled.state = 0;
    disabled.isLock = 1;
    dal.Add(disabled);
    dal.Add(location(2, QStringLiteral("O'Neil")));

    struct Case {
        int exceptId;
        const char* typed;
        int found;
    };
    const Case cases[] = {
        {0, "A-01", 1},   // disabled and locked locations resolve too
        {0, "a-01", 1},   // codes compare without letter case
        {0, " A-01", 0},  // blanks are part of the code
        {0, "A-01 ", 0},  //
        {0, "O'Neil", 2}, // an apostrophe is just a character
        {0, "A-%", 0},    // no pattern matching
        {0, "Z-99", 0},   // unknown code
        {1, "A-01", 0},   // a location is no duplicate of itself
        {2, "A-01", 1},   // another location with that code is
    };
    for (const Case& c : cases) {
        if (c.exceptId == 0) {
            EXPECT_EQ(dal.ResolveLocationCode(QString::fromUtf8(c.typed)).id, c.found) << c.typed;
        }
        const m_location m = dal.GetModelForLocationCode(c.exceptId, QString::fromUtf8(c.typed));
        EXPECT_EQ(m.id, c.found) << c.typed << " except " << c.exceptId;
        if (c.found > 0) {
            EXPECT_EQ(m.locationCode.toUpper(), QString::fromUtf8(c.typed).toUpper());
        }
    }
}

TEST_F(LocationDataTest, BlankTypedCodeResolvesToNothing)
{
    exec(QStringLiteral("insert into tb_location (id,locationCode,uname) values (1,'','blank code')"));
    EXPECT_EQ(dal.ResolveLocationCode(QString()).id, 0);
    EXPECT_EQ(dal.ResolveLocationCode(QStringLiteral("   ")).id, 0);
    EXPECT_EQ(dal.GetModelForLocationCode(0, QString()).id, 1); // the raw lookup would find it
}

TEST_F(LocationDataTest, TreeLevelsAndLists)
{
    dal.Add(location(1, QStringLiteral("A")));
    dal.Add(location(2, QStringLiteral("B")));
    dal.Add(location(3, QStringLiteral("A-1"), 1));

    const RecordSetPtr top = dal.GetList(0);
    ASSERT_EQ(top->RecordCount(), 2);
    EXPECT_EQ(top->fieldCount(), 16);
    EXPECT_EQ(dal.GetList(1)->RecordCount(), 1);
    EXPECT_EQ(dal.GetList(3)->RecordCount(), 0);

    for (const QString& sql : {QString(), QStringLiteral("  ")}) {
        const m_recordSet all = dal.GetListForCondition({}, SelectListOf(sql));
        EXPECT_EQ(all.recordCount, 3);
        EXPECT_EQ(all.recordSet->fieldCount(), 16);
        EXPECT_TRUE(all.str_condition.isEmpty());
    }
    const m_recordSet some =
        dal.GetListForCondition({m_condition(SearchKey::ParentId, QStringLiteral("="), 1)});
    ASSERT_EQ(some.recordCount, 1);
    EXPECT_EQ(some.recordSet->text(0, QStringLiteral("locationCode")), QStringLiteral("A-1"));
}

TEST_F(LocationDataTest, UpdateKeepsOrderAndFailsForAMissingLocation)
{
    dal.Add(location(1, QStringLiteral("A")));
    m_location m = location(1, QStringLiteral("A2"));
    m.orderby = 99;
    m.uname = QStringLiteral("改名");
    m.capacity = 7;
    m.state = 0;
    dal.Update(m);
    const m_location out = dal.GetModel(1);
    EXPECT_EQ(out.locationCode, QStringLiteral("A2"));
    EXPECT_EQ(out.uname, QStringLiteral("改名"));
    EXPECT_DOUBLE_EQ(out.capacity, 7);
    EXPECT_EQ(out.state, 0);
    EXPECT_EQ(out.orderby, 3);

    m.id = 8;
    try {
        dal.Update(m);
        FAIL() << "update of a missing location succeeded";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("当前记录不存在!"));
    }
    EXPECT_EQ(count(QStringLiteral("tb_location")), 1);
}

TEST_F(LocationDataTest, DeleteTakesTheRightsAlongInOneTransaction)
{
    dal.Add(location(1, QStringLiteral("A")));
    dal.Add(location(2, QStringLiteral("B")));
    exec(QStringLiteral("insert into tb_location_fun (locationId, departmentId) values (1,1),(2,1),(2,7)"));

    // A location that is gone already is no success.
    const m_DBresult gone = dal.Delete(99);
    EXPECT_FALSE(gone.isResult);
    EXPECT_EQ(gone.str_MsgBox, QStringLiteral("当前记录不存在!"));
    EXPECT_EQ(count(QStringLiteral("tb_location")), 2);
    EXPECT_EQ(count(QStringLiteral("tb_location_fun")), 3);

    // A refused delete keeps the location and its rights.
    exec(QStringLiteral("CREATE TRIGGER keep_location BEFORE DELETE ON tb_location "
                        "BEGIN SELECT RAISE(ABORT, 'location is kept'); END"));
    const m_DBresult refused = dal.Delete(2);
    EXPECT_FALSE(refused.isResult);
    EXPECT_TRUE(refused.str_MsgBox.contains(QStringLiteral("location is kept")));
    EXPECT_EQ(count(QStringLiteral("tb_location_fun"), QStringLiteral("locationId=2")), 2);
    exec(QStringLiteral("DROP TRIGGER keep_location"));

    ASSERT_TRUE(dal.Delete(2).isResult);
    EXPECT_EQ(count(QStringLiteral("tb_location"), QStringLiteral("id=2")), 0);
    EXPECT_EQ(count(QStringLiteral("tb_location_fun"), QStringLiteral("locationId=2")), 0);
    EXPECT_EQ(count(QStringLiteral("tb_location_fun"), QStringLiteral("locationId=1")), 1);

    // The next location never takes the freed id, and comes without rights.
    m_location next = location(0, QStringLiteral("C"));
    dal.AddNew(next);
    EXPECT_EQ(next.id, 3);
    EXPECT_EQ(dal.GetModel(3).locationCode, QStringLiteral("C"));
    EXPECT_EQ(dal.GetModel(2).id, 0);
    EXPECT_EQ(count(QStringLiteral("tb_location_fun"), QStringLiteral("locationId=3")), 0);
}

} // namespace
