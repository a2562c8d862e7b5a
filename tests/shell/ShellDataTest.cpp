// The writes of the rights editors and of the data clearing, without their windows.

#include "TestEnv.h"

#include "DataClearing.h"
#include "DepartmentRights.h"
#include "dal_usergrp.h"

namespace
{

class ShellDataTest : public DbTest
{
};

TEST_F(ShellDataTest, UserGroupsAreStoredRenamedAndGrantedAsAWhole)
{
    dal_usergrp groups;
    const int before = count(QStringLiteral("tb_Usergrp"));
    int id = 0;
    ASSERT_TRUE(groups.Save(id, QStringLiteral("仓管"), QStringLiteral("一楼")).isResult);
    EXPECT_GT(id, 0);
    EXPECT_EQ(count(QStringLiteral("tb_Usergrp")), before + 1);
    EXPECT_EQ(dal_usergrp::IdOfName(QStringLiteral("仓管")), id);

    ASSERT_TRUE(groups.Save(id, QStringLiteral("仓管组"), {}).isResult);
    EXPECT_EQ(count(QStringLiteral("tb_Usergrp"), QStringLiteral("uname='仓管组' and id=%1").arg(id)), 1);

    int gone = id + 50;
    const m_DBresult missing = groups.Save(gone, QStringLiteral("x"), {});
    EXPECT_FALSE(missing.isResult);
    EXPECT_EQ(missing.str_MsgBox, QStringLiteral("当前记录不存在!"));
    EXPECT_EQ(gone, id + 50);

    ASSERT_TRUE(groups.SaveGrants(id, {QStringLiteral("a"), QStringLiteral("b")}).isResult);
    ASSERT_TRUE(groups.SaveGrants(id, {QStringLiteral("c")}).isResult);
    EXPECT_EQ(count(QStringLiteral("tb_sysuserfun"), QStringLiteral("usergrpid=%1").arg(id)), 1);
    EXPECT_EQ(count(QStringLiteral("tb_sysuserfun"), QStringLiteral("usergrpid=%1 and nodecode='c'").arg(id)),
              1);
}

TEST_F(ShellDataTest, ADepartmentsRightsOfOneKindAreReplacedTogether)
{
    exec(QStringLiteral("insert into tb_location_fun (locationId,departmentId) values (3,7),(4,7),(3,8)"));
    exec(QStringLiteral("insert into tb_user_group_fun (funCode,departmentId) values ('import_save',7)"));

    ASSERT_TRUE(DepartmentRights::Save(QStringLiteral("locationType"), 7, {QVariant(5)}).isResult);
    EXPECT_EQ(count(QStringLiteral("tb_location_fun"), QStringLiteral("departmentId=7")), 1);
    EXPECT_EQ(count(QStringLiteral("tb_location_fun"), QStringLiteral("departmentId=7 and locationId=5")), 1);
    EXPECT_EQ(count(QStringLiteral("tb_location_fun"), QStringLiteral("departmentId=8")), 1);
    EXPECT_EQ(count(QStringLiteral("tb_user_group_fun"), QStringLiteral("departmentId=7")), 1);

    // A failed write leaves what was held.
    exec(QStringLiteral("create trigger no_second before insert on tb_location_fun when new.locationId=9 "
                        "begin select raise(abort,'refused'); end"));
    EXPECT_FALSE(
        DepartmentRights::Save(QStringLiteral("locationType"), 7, {QVariant(6), QVariant(9)}).isResult);
    EXPECT_EQ(count(QStringLiteral("tb_location_fun"), QStringLiteral("departmentId=7 and locationId=5")), 1);
    EXPECT_EQ(count(QStringLiteral("tb_location_fun"), QStringLiteral("departmentId=7")), 1);
}

TEST_F(ShellDataTest, ADataGroupIsEmptiedOnlyWhenNoBillUsesIt)
{
    exec(QStringLiteral("insert into tb_customer (id,customerCode,uname) values (1,'c1','甲')"));
    exec(QStringLiteral("insert into tb_ck_head (id,billNo,customerId) values (1,'ck-1',1)"));

    ClearOutcome refused = ClearDataGroup(QStringLiteral("tb_customer"));
    EXPECT_TRUE(refused.ok);
    EXPECT_FALSE(refused.cleared);
    EXPECT_EQ(refused.refusal, QStringLiteral("往来单位信息已经在出库表建账,不允许清空!"));
    EXPECT_EQ(count(QStringLiteral("tb_customer")), 1);

    EXPECT_TRUE(ClearDataGroup(QStringLiteral("tb_export")).cleared);
    const ClearOutcome cleared = ClearDataGroup(QStringLiteral("tb_customer"));
    EXPECT_TRUE(cleared.cleared);
    EXPECT_EQ(count(QStringLiteral("tb_customer")), 0);

    const ClearOutcome node = ClearDataGroup(QStringLiteral("bills"));
    EXPECT_TRUE(node.ok);
    EXPECT_FALSE(node.cleared);
    EXPECT_TRUE(node.refusal.isEmpty());
}

} // namespace
