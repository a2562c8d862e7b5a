// Two workstations on one database file: the parent a location is saved
// under is deleted by the other workstation while the save is under way. The
// save checks the parent inside its own transaction and is refused, so no
// location hangs under a parent that is gone (the tree would never show it).

#include "TestEnv.h"
#include "WriteRace.h"

#include "dal_customer.h"
#include "dal_location.h"

namespace
{

class ParentRaceTest : public RaceTest
{
  protected:
    static m_location location(int id, const QString& code, int parentId)
    {
        m_location m;
        m.id = id;
        m.locationCode = code;
        m.uname = QStringLiteral("库位") + code;
        m.parentId = parentId;
        m.state = 1;
        return m;
    }
};

TEST_F(ParentRaceTest, ALocationUnderAParentDeletedElsewhereIsRefused)
{
    dal_location dal;
    const struct {
        const char* name;
        m_location saved;
    } cases[] = {
        {"a new location", location(0, QStringLiteral("C"), 1)},
        {"a stored location moved under it", location(2, QStringLiteral("B"), 1)},
    };
    for (const auto& c : cases) {
        for (int nth = 1; nth <= kRaceTransactions; ++nth) {
            SCOPED_TRACE(std::string(c.name) + ", before write " + std::to_string(nth));
            exec(QStringLiteral("delete from tb_location"));
            exec(QStringLiteral("insert into tb_location (id,locationCode,uname) values (1,'A','库位A'),"
                                "(2,'B','库位B')"));
            QString answer;
            bool deleted = false;
            {
                WriteBeforeTransaction race(*other, {QStringLiteral("delete from tb_location where id=1")},
                                            nth);
                m_location m = c.saved;
                answer = dal.Save(m);
                deleted = race.wrote();
            }
            if (!deleted) {
                EXPECT_TRUE(answer.isEmpty()) << answer.toStdString();
                continue;
            }
            EXPECT_EQ(answer, dal_location::kParentCycleText);
            EXPECT_EQ(count(QStringLiteral("tb_location"), QStringLiteral("parentId=1")), 0);
            EXPECT_EQ(count(QStringLiteral("tb_location")), 1);
        }
    }
}

// The code and the name checks of a save run inside its transaction too: the
// other workstation stores the same code or name at the last moment before
// this one's write.
TEST_F(ParentRaceTest, ACodeOrNameStoredJustBeforeTheWriteIsSeen)
{
    exec(QStringLiteral("insert into tb_dictionary (id,utype,uname) values (30,'customerType','批发')"));
    for (int nth = 1; nth <= kRaceTransactions; ++nth) {
        SCOPED_TRACE("before write " + std::to_string(nth));
        exec(QStringLiteral("delete from tb_location"));
        exec(QStringLiteral("delete from tb_customer"));
        QString answer;
        dal_customer::SaveOutcome outcome;
        bool came = false;
        {
            WriteBeforeTransaction race(
                *other,
                {QStringLiteral("insert into tb_location (id,locationCode,uname) values (20,'c','x')")}, nth);
            m_location m = location(0, QStringLiteral("C"), 0);
            answer = dal_location().Save(m);
            came = race.wrote();
        }
        EXPECT_EQ(answer, came ? QStringLiteral("库位编号[C]重复!") : QString());
        // Whoever came first, one location holds the code.
        EXPECT_EQ(count(QStringLiteral("tb_location"), QStringLiteral("locationCode='C'")), 1);
        {
            WriteBeforeTransaction race(
                *other,
                {QStringLiteral(
                    "insert into tb_customer (id,customerCode,uname) values (7,'ct-1','宏达商贸')")},
                nth);
            m_customer m;
            m.uname = QStringLiteral("宏达商贸");
            m.status = 1;
            m.customType = 30;
            outcome = dal_customer().Save(m, false);
            came = race.wrote();
        }
        EXPECT_EQ(outcome == dal_customer::SaveOutcome::NameTaken, came);
        EXPECT_EQ(count(QStringLiteral("tb_customer"), QStringLiteral("uname='宏达商贸'")), 1);
    }
}

} // namespace
