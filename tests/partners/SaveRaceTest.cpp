// Two workstations on one database file: a partner's name and a location's
// code are checked inside the save's own transaction, so what the other
// workstation stored after this one looked is still seen and nothing clashes.

#include "TestEnv.h"
#include "WriteRace.h"

#include "dal_customer.h"
#include "dal_location.h"

namespace
{

class SaveRaceTest : public RaceTest
{
  protected:
    static m_location location(int id, const QString& code, int parentId = 0)
    {
        m_location m;
        m.id = id;
        m.locationCode = code;
        m.uname = QStringLiteral("库位") + code;
        m.parentId = parentId;
        m.state = 1;
        return m;
    }
    // A partner of the category 30, which the test stores first.
    static m_customer partner(int id, const QString& name)
    {
        m_customer m;
        m.id = id;
        m.uname = name;
        m.status = 1;
        m.customType = 30;
        return m;
    }
};

TEST_F(SaveRaceTest, APartnerNameStoredElsewhereMeanwhileIsAskedAgain)
{
    dal_customer dal;
    exec(QStringLiteral("insert into tb_dictionary (id,utype,uname) values (30,'customerType','批发')"));
    ASSERT_FALSE(dal.NameTaken(0, QStringLiteral("宏达商贸")));
    other->exec(QStringLiteral(
        "insert into tb_customer (id,customerCode,uname) values (7,'ct-2601-00001','宏达商贸')"));

    m_customer m = partner(0, QStringLiteral("宏达商贸"));
    EXPECT_EQ(dal.Save(m, false), dal_customer::SaveOutcome::NameTaken);
    EXPECT_EQ(m.id, 0);
    EXPECT_EQ(count(QStringLiteral("tb_customer")), 1);

    // The clerk agrees to a second partner of that name.
    EXPECT_EQ(dal.Save(m, true), dal_customer::SaveOutcome::Saved);
    EXPECT_EQ(m.id, 8);
    EXPECT_EQ(count(QStringLiteral("tb_customer"), QStringLiteral("uname='宏达商贸'")), 2);

    // A rename onto a name stored meanwhile is asked too, and leaves the row as it was.
    m_customer renamed = partner(8, QStringLiteral("远东物流"));
    other->exec(QStringLiteral(
        "insert into tb_customer (id,customerCode,uname) values (9,'ct-2601-00003','远东物流')"));
    EXPECT_EQ(dal.Save(renamed, false), dal_customer::SaveOutcome::NameTaken);
    EXPECT_EQ(count(QStringLiteral("tb_customer"), QStringLiteral("id=8 and uname='宏达商贸'")), 1);
}

TEST_F(SaveRaceTest, ALocationSaveSeesWhatTheOtherWorkstationStored)
{
    dal_location dal;
    m_location a = location(0, QStringLiteral("A"));
    ASSERT_TRUE(dal.Save(a).isEmpty());
    m_location b = location(0, QStringLiteral("B"));
    ASSERT_TRUE(dal.Save(b).isEmpty());

    // Each case: the window's own checks passed, then the other workstation
    // wrote, then this one saves.
    const struct {
        const char* name;
        QString otherWrites;
        m_location saved;
        QString refusal;
    } cases[] = {
        {"a new location's code",
         QStringLiteral("insert into tb_location (id,locationCode,uname) values (20,'c','x')"),
         location(0, QStringLiteral("C")), QStringLiteral("库位编号[C]重复!")},
        {"a stored location's new code",
         QStringLiteral("insert into tb_location (id,locationCode,uname) values (21,'D','x')"),
         location(a.id, QStringLiteral("D")), QStringLiteral("库位编号[D]重复!")},
        {"the new parent moved below the location",
         QStringLiteral("update tb_location set parentId=%1 where id=%2").arg(b.id).arg(a.id),
         location(b.id, QStringLiteral("B"), a.id), dal_location::kParentCycleText},
        {"the location deleted", QStringLiteral("delete from tb_location where id=21"),
         location(21, QStringLiteral("E")), dal_location::kMissingText},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const m_location before = dal.GetModel(c.saved.id);
        other->exec(c.otherWrites);
        const int rows = count(QStringLiteral("tb_location"));
        m_location m = c.saved;
        EXPECT_EQ(dal.Save(m), c.refusal);
        EXPECT_EQ(count(QStringLiteral("tb_location")), rows);
        if (c.refusal == dal_location::kMissingText)
            continue;
        const m_location after = dal.GetModel(c.saved.id);
        EXPECT_EQ(after.locationCode, before.locationCode);
        EXPECT_EQ(after.parentId, before.parentId);
    }
}

} // namespace
