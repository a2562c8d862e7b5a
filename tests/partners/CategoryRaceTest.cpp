// Two workstations on one database file: the customer category a partner is
// saved with is deleted by the other workstation (legitimate: a category may
// be deleted while partners use it) while the save is under way. The save
// checks the category inside its own transaction and is refused with nothing
// written, so no partner is stored with a category that is gone.

#include "TestEnv.h"
#include "WriteRace.h"

#include "dal_customer.h"

namespace
{

class CategoryRaceTest : public RaceTest
{
  protected:
    // Categories 20 批发 and 21 零售; partner 1 of 零售, partner 2 of 批发.
    void reset()
    {
        exec(QStringLiteral("delete from tb_customer"));
        exec(QStringLiteral("delete from tb_dictionary where utype='customerType'"));
        exec(QStringLiteral("insert into tb_dictionary (id,utype,uname) values (20,'customerType','批发'),"
                            "(21,'customerType','零售')"));
        exec(QStringLiteral(
            "insert into tb_customer (id,utype,customType,customerCode,uname,tel,status) values "
            "(1,0,21,'ct-2405-00001','甲供应','1',1),(2,1,20,'ct-2405-00002','乙客户','2',1)"));
    }
    // The stored partners, one text, to see that nothing was written.
    QString partners()
    {
        return scalar(QStringLiteral("select group_concat(id||'|'||uname||'|'||customType||'|'||tel, ';') "
                                     "from (select * from tb_customer order by id)"))
            .toString();
    }
    // The save's answer: empty when saved, the refusal's text otherwise.
    static QString save(const m_customer& saved, bool sameNameAgreed)
    {
        m_customer m = saved;
        try {
            return dal_customer().Save(m, sameNameAgreed) == dal_customer::SaveOutcome::Saved
                       ? QString()
                       : QStringLiteral("name taken");
        } catch (const DbError& e) {
            return e.message();
        }
    }
    static m_customer partner(int id, const QString& name)
    {
        m_customer m;
        m.id = id;
        m.utype = 1;
        m.customType = 20;
        m.uname = name;
        m.tel = QStringLiteral("9");
        m.status = 1;
        return m;
    }
};

TEST_F(CategoryRaceTest, APartnerOfACategoryDeletedElsewhereIsRefused)
{
    const struct {
        const char* name;
        m_customer saved;
        bool sameNameAgreed;
        QString answerWhenKept; // the answer when the category is still there
    } cases[] = {
        {"a new partner", partner(0, QStringLiteral("丙新户")), false, {}},
        {"a new partner of a name the clerk agreed to", partner(0, QStringLiteral("甲供应")), true, {}},
        {"a stored partner given the category", partner(1, QStringLiteral("甲供应")), false, {}},
        {"a stored partner keeping its category", partner(2, QStringLiteral("乙客户")), false, {}},
        // The category is looked at before the name, as the window does.
        {"a new partner of a taken name", partner(0, QStringLiteral("乙客户")), false,
         QStringLiteral("name taken")},
    };
    for (const auto& c : cases) {
        for (int nth = 1; nth <= kRaceTransactions; ++nth) {
            SCOPED_TRACE(std::string(c.name) + ", before write " + std::to_string(nth));
            reset();
            const QString before = partners();
            QString answer;
            bool deleted = false;
            {
                WriteBeforeTransaction race(*other, {QStringLiteral("delete from tb_dictionary where id=20")},
                                            nth);
                answer = save(c.saved, c.sameNameAgreed);
                deleted = race.wrote();
            }
            if (deleted) {
                EXPECT_EQ(answer, dal_customer::kCategoryMissingText);
                EXPECT_EQ(partners(), before);
                continue;
            }
            EXPECT_EQ(answer, c.answerWhenKept);
            const QString stored =
                QStringLiteral("uname='%1' and customType=20 and tel='9'").arg(c.saved.uname);
            EXPECT_EQ(count(QStringLiteral("tb_customer"), stored), answer.isEmpty() ? 1 : 0);
        }
    }
}

} // namespace
