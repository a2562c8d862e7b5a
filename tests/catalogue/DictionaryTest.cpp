#include "TestEnv.h"

#include "dal_dictionary.h"
#include "sqlHelper.h"

namespace
{

class DictionaryTest : public DbTest
{
  protected:
    static m_dictionary item(int id, const QString& type, const QString& name, int parentId = 0)
    {
        m_dictionary m;
        m.id = id;
        m.utype = type;
        m.uname = name;
        m.parentId = parentId;
        m.isstart = 1;
        return m;
    }
    dal_dictionary dal;
};

TEST_F(DictionaryTest, AddAndReadBack)
{
    m_dictionary m = item(10, DictionaryType::goodsType, QStringLiteral("饮料's"));
    m.remark = QStringLiteral("备注");
    m.orderby = 3;
    dal.Add(m);
    dal.Add(item(11, DictionaryType::goodsType, QStringLiteral("可乐"), 10));
    dal.Add(item(40000, DictionaryType::goodsType, QStringLiteral("大编号")));
    dal.Add(item(40001, DictionaryType::goodsType, QStringLiteral("子项"), 40000));

    const m_dictionary top = dal.GetModel(10);
    EXPECT_EQ(top.uname, QStringLiteral("饮料's"));
    EXPECT_EQ(top.remark, QStringLiteral("备注"));
    EXPECT_EQ(top.orderby, 3);
    EXPECT_EQ(top.parentName, QString());
    EXPECT_EQ(top.iCount, 1);
    EXPECT_EQ(top.startName, QStringLiteral("启用"));

    const m_dictionary child = dal.GetModel(11);
    EXPECT_EQ(child.parentId, 10);
    EXPECT_EQ(child.parentName, QStringLiteral("饮料's"));
    EXPECT_EQ(child.iCount, 0);
    // Items above 32767 can be parents.
    EXPECT_EQ(dal.GetModel(40001).parentName, QStringLiteral("大编号"));

    EXPECT_EQ(dal.GetModel(0).id, 0);
    EXPECT_EQ(dal.GetModel(999).id, 0);
}

TEST_F(DictionaryTest, FindByName)
{
    dal.Add(item(10, DictionaryType::goodsType, QStringLiteral("O'Brien")));
    dal.Add(item(11, DictionaryType::customerType, QStringLiteral("批发")));
    const struct {
        const char* type;
        const char* name;
        int expectedId;
    } cases[] = {
        {"goodsType", "O'Brien", 10}, {"goodsType", "o'brien", 10}, // names compare without letter case
        {"goodsType", "批发", 0},                                   // exists only under another type
        {"customerType", "批发", 11}, {"department", "系统管理", 1}, {"goodsType", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(dal.GetModelForName(QString::fromUtf8(c.type), QString::fromUtf8(c.name)).id, c.expectedId);
    }
}

TEST_F(DictionaryTest, ListChildrenOfOneParentWithinOneType)
{
    dal.Add(item(10, DictionaryType::goodsType, QStringLiteral("B")));
    dal.Add(item(12, DictionaryType::goodsType, QStringLiteral("A")));
    dal.Add(item(11, DictionaryType::goodsType, QStringLiteral("B1"), 10));
    dal.Add(item(13, DictionaryType::customerType, QStringLiteral("C")));
    auto ids = [](const RecordSetPtr& rs) {
        QList<int> out;
        for (int r = 0; r < rs->RecordCount(); ++r)
            out << rs->value(r, QStringLiteral("id")).toInt();
        return out;
    };
    EXPECT_EQ(ids(dal.GetList(DictionaryType::goodsType, 0)), (QList<int>{10, 12}));
    EXPECT_EQ(ids(dal.GetList(DictionaryType::goodsType, 10)), (QList<int>{11}));
    EXPECT_TRUE(ids(dal.GetList(DictionaryType::goodsType, 11)).isEmpty());
    EXPECT_EQ(ids(dal.GetList(DictionaryType::customerType, 0)), (QList<int>{13}));
}

TEST_F(DictionaryTest, UpdateNeverTouchesOrderOrSystemMark)
{
    exec(QStringLiteral("update tb_dictionary set orderBy=5 where id=2"));
    m_dictionary m = dal.GetModel(2); // a system item
    m.uname = QStringLiteral("新名");
    m.remark = QStringLiteral("r");
    m.isstart = 0;
    m.orderby = 9;
    m.isSystemSet = 0;
    dal.Update(m);
    const m_dictionary back = dal.GetModel(2);
    EXPECT_EQ(back.uname, QStringLiteral("新名"));
    EXPECT_EQ(back.isstart, 0);
    EXPECT_EQ(back.startName, QStringLiteral("停用"));
    EXPECT_EQ(back.orderby, 5);
    EXPECT_EQ(back.isSystemSet, 1);

    // An item deleted meanwhile is not "saved".
    m.id = 999;
    try {
        dal.Update(m);
        ADD_FAILURE() << "no error";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("当前记录不存在!"));
    }
}

class DictionaryDeleteTest : public DictionaryTest
{
  protected:
    void SetUp() override
    {
        DictionaryTest::SetUp();
        dal.Add(item(20, DictionaryType::department, QStringLiteral("仓储部")));
        dal.Add(item(21, DictionaryType::accountType, QStringLiteral("二账")));
        exec(QStringLiteral(
            "insert into tb_user_group_fun (funCode,departmentId) values ('a',20),('b',20),('a',1)"));
        exec(QStringLiteral("insert into tb_location_fun (locationId,departmentId) values (5,20),(5,1)"));
        exec(QStringLiteral(
            "insert into tb_account_fun (accountId,departmentId) values (2,20),(21,1),(21,20)"));
        systemRights = rightsOf(1);
    }
    int systemRights = 0;
    int rightsOf(int department)
    {
        const QString where = QStringLiteral("departmentId=%1").arg(department);
        return count(QStringLiteral("tb_user_group_fun"), where) +
               count(QStringLiteral("tb_location_fun"), where) +
               count(QStringLiteral("tb_account_fun"), where);
    }
};

TEST_F(DictionaryDeleteTest, DepartmentGoesWithItsRights)
{
    const m_DBresult r = dal.Delete(20);
    ASSERT_TRUE(r.isResult) << r.str_MsgBox.toStdString();
    EXPECT_EQ(dal.GetModel(20).id, 0);
    EXPECT_EQ(rightsOf(20), 0);
    EXPECT_EQ(rightsOf(1), systemRights); // 系统管理 keeps its own, also its grant of account tag 21
}

TEST_F(DictionaryDeleteTest, AccountTagGoesWithItsGrants)
{
    ASSERT_TRUE(dal.Delete(21).isResult);
    EXPECT_EQ(count(QStringLiteral("tb_account_fun"), QStringLiteral("accountId=21")), 0);
    EXPECT_EQ(count(QStringLiteral("tb_account_fun"), QStringLiteral("accountId=2 and departmentId=20")), 1);
}

TEST_F(DictionaryDeleteTest, FailureKeepsTheRightsToo)
{
    exec(QStringLiteral(
        "create trigger refuse before delete on tb_dictionary begin select raise(abort,'refused'); end"));
    const m_DBresult r = dal.Delete(20);
    EXPECT_FALSE(r.isResult);
    EXPECT_TRUE(r.str_MsgBox.contains(QStringLiteral("refused"))) << r.str_MsgBox.toStdString();
    EXPECT_EQ(dal.GetModel(20).id, 20);
    EXPECT_EQ(rightsOf(20), 5);
}

TEST_F(DictionaryDeleteTest, ItemGoneMeanwhileIsReported)
{
    const m_DBresult r = dal.Delete(999);
    EXPECT_FALSE(r.isResult);
    EXPECT_EQ(r.str_MsgBox, QStringLiteral("当前记录不存在!"));
    EXPECT_EQ(rightsOf(20), 5);
}

} // namespace
