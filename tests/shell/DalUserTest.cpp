#include "TestEnv.h"

#include "DbError.h"
#include "ToMd5.h"
#include "dal_user.h"

namespace
{

class DalUserTest : public DbTest
{
  protected:
    m_user makeUser(int id, const QString& name, bool enabled = true, int department = 1)
    {
        m_user u;
        u.id = id;
        u.user = name;
        u.pw = QStringLiteral("ignored");
        u.usex = QStringLiteral("女");
        u.isStart = enabled;
        u.dictionaryId = department;
        dal.Add(u);
        return u;
    }

    dal_user dal;
};

TEST_F(DalUserTest, NewUserGetsTheInitialPassword)
{
    makeUser(2, QStringLiteral("张三"), false);
    const m_user u = dal.GetModel(2);
    EXPECT_EQ(u.id, 2);
    EXPECT_EQ(u.user, QStringLiteral("张三"));
    EXPECT_EQ(u.pw, QStringLiteral("cf9246bb0d40eb4d"));
    EXPECT_EQ(u.usex, QStringLiteral("女"));
    EXPECT_FALSE(u.isStart);
    EXPECT_EQ(u.dictionaryId, 1);
    EXPECT_EQ(u.department, QStringLiteral("系统管理"));
}

TEST_F(DalUserTest, MissingUserIsAnEmptyRecord)
{
    const m_user u = dal.GetModel(99);
    EXPECT_EQ(u.id, 0);
    EXPECT_TRUE(u.user.isEmpty());
    EXPECT_FALSE(u.isStart);
    EXPECT_EQ(u.dictionaryId, 0);
    EXPECT_EQ(dal.GetModelForPw(QStringLiteral("nobody"), QStringLiteral("740")).id, 0);
}

// Names are looked up as typed, whatever characters they hold, and without letter case.
TEST_F(DalUserTest, PasswordTestByNameAndForm)
{
    makeUser(2, QStringLiteral("O'Brien"));
    makeUser(3, QStringLiteral("100%"));
    makeUser(4, QStringLiteral("李四"), false);
    makeUser(5, QStringLiteral("@user|x"));
    const struct {
        QString name;
        QString pw;
        int id;
    } cases[] = {
        {QStringLiteral("admin"), QStringLiteral("740"), 1},
        {QStringLiteral("ADMIN"), QStringLiteral("740"), 1},
        {QStringLiteral("admin"), QStringLiteral("741"), 0},
        {QStringLiteral("admin"), QStringLiteral(" 740"), 0},
        {QStringLiteral("admin "), QStringLiteral("740"), 0},
        {QStringLiteral("o'brien"), QStringLiteral("740"), 2},
        {QStringLiteral("100%"), QStringLiteral("740"), 3},
        {QStringLiteral("%"), QStringLiteral("740"), 0},
        {QStringLiteral("' or '1'='1"), QStringLiteral("740"), 0},
        {QStringLiteral("李四"), QStringLiteral("740"), 4}, // the enabled flag is the login's business
        {QStringLiteral("@user|x"), QStringLiteral("740"), 5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dal.GetModelForPw(c.name, c.pw).id, c.id)
            << c.name.toStdString() << " / " << c.pw.toStdString();
}

TEST_F(DalUserTest, DuplicateNameCheckSkipsTheSameUser)
{
    makeUser(2, QStringLiteral("Tom's"));
    EXPECT_EQ(dal.GetModelForUser(2, QStringLiteral("tom's")).id, 0);
    EXPECT_EQ(dal.GetModelForUser(0, QStringLiteral("TOM'S")).id, 2);
    EXPECT_EQ(dal.GetModelForUser(1, QStringLiteral("Admin")).id, 0);
    EXPECT_EQ(dal.GetModelForUser(2, QStringLiteral("Admin")).id, 1);
}

TEST_F(DalUserTest, UpdateKeepsThePasswordAndUpdatePwChangesOnlyIt)
{
    m_user u = makeUser(2, QStringLiteral("wang"));
    dal.UpdatePw(m_user{2, {}, QStringLiteral("新密码"), {}, false, 0, {}});
    m_user stored = dal.GetModel(2);
    EXPECT_EQ(stored.pw, GetMD5(QStringLiteral("新密码")));
    EXPECT_EQ(stored.user, QStringLiteral("wang"));
    EXPECT_TRUE(stored.isStart);

    u.user = QStringLiteral("Wang Wu");
    u.usex = QStringLiteral("男");
    u.isStart = false;
    u.dictionaryId = 0;
    u.pw = QStringLiteral("zzz");
    dal.Update(u);
    stored = dal.GetModel(2);
    EXPECT_EQ(stored.user, QStringLiteral("Wang Wu"));
    EXPECT_EQ(stored.usex, QStringLiteral("男"));
    EXPECT_FALSE(stored.isStart);
    EXPECT_EQ(stored.dictionaryId, 0);
    EXPECT_EQ(stored.department, QString());
    EXPECT_EQ(stored.pw, GetMD5(QStringLiteral("新密码")));
}

// A user removed meanwhile is not silently "saved" or "deleted".
TEST_F(DalUserTest, WritesToAMissingUserFail)
{
    m_user ghost;
    ghost.id = 42;
    ghost.user = QStringLiteral("ghost");
    EXPECT_THROW(dal.Update(ghost), DbError);
    EXPECT_THROW(dal.UpdatePw(ghost), DbError);
    const m_DBresult r = dal.Delete(42);
    EXPECT_FALSE(r.isResult);
    EXPECT_EQ(r.str_MsgBox, QStringLiteral("当前记录不存在!"));
    EXPECT_EQ(count(QStringLiteral("tb_user")), 1);
}

TEST_F(DalUserTest, DeleteRemovesTheUser)
{
    makeUser(2, QStringLiteral("temp"));
    const m_DBresult r = dal.Delete(2);
    EXPECT_TRUE(r.isResult) << r.str_MsgBox.toStdString();
    EXPECT_EQ(dal.GetModel(2).id, 0);
    EXPECT_EQ(count(QStringLiteral("tb_user")), 1);
}

TEST_F(DalUserTest, AUserNameStoredElsewhereMeanwhileIsRefused)
{
    ASSERT_TRUE(dal.NameTakenText(0, QStringLiteral("李四")).isEmpty());
    OtherWorkstation other(appDir() + QStringLiteral("wms.db"));
    other.exec(QStringLiteral("insert into tb_user (id,user,pw,usex,isStart,dictionaryId) values "
                              "(30,'李四','x','男',1,1)"));

    m_user u;
    u.user = QStringLiteral("李四");
    u.usex = QStringLiteral("女");
    u.isStart = true;
    u.dictionaryId = 1;
    EXPECT_EQ(dal.Save(u), QStringLiteral("用户名[李四]重复!"));
    EXPECT_EQ(u.id, 0);
    EXPECT_EQ(count(QStringLiteral("tb_user"), QStringLiteral("user='李四'")), 1);

    u.user = QStringLiteral("王五");
    EXPECT_TRUE(dal.Save(u).isEmpty());
    EXPECT_EQ(u.id, 31);
    EXPECT_EQ(dal.GetModel(31).user, QStringLiteral("王五"));
}

} // namespace
