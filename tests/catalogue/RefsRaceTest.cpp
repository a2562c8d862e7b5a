// Two workstations on one database file: what a dictionary item, a goods
// item, a new goods type or a goods delete relies on is changed by the other
// workstation while the write is under way. Each write checks it inside its
// own transaction and is refused with nothing written.

#include "TestEnv.h"
#include "WriteRace.h"

#include "dal_dictionary.h"
#include "dal_goods_head.h"

#include <functional>

namespace
{

class RefsRaceTest : public RaceTest
{
  protected:
    // Runs write with the other workstation's statements before its nth write
    // transaction, for every n tried. Where they came, write must answer
    // refusal and no row of table may meet stray (what the write would have
    // stored); where they did not, it must succeed (an empty answer).
    void race(const QStringList& otherWrites, const std::function<void()>& reset,
              const std::function<QString()>& write, const QString& refusal, const QString& table,
              const QString& stray)
    {
        for (int nth = 1; nth <= kRaceTransactions; ++nth) {
            SCOPED_TRACE("before write " + std::to_string(nth));
            reset();
            QString answer;
            bool came = false;
            {
                WriteBeforeTransaction between(*other, otherWrites, nth);
                answer = write();
                came = between.wrote();
            }
            if (came) {
                EXPECT_EQ(answer, refusal);
                EXPECT_EQ(count(table, stray), 0);
            } else {
                EXPECT_TRUE(answer.isEmpty()) << answer.toStdString();
            }
        }
    }

    static m_dictionary item(int id, const QString& name, int parentId)
    {
        m_dictionary m;
        m.id = id;
        m.utype = DictionaryType::goodsType;
        m.uname = name;
        m.parentId = parentId;
        m.isstart = 1;
        return m;
    }
};

TEST_F(RefsRaceTest, ADictionaryItemUnderAParentDeletedElsewhereIsRefused)
{
    dal_dictionary dal;
    const auto reset = [this] {
        exec(QStringLiteral("delete from tb_dictionary where id>=20"));
        exec(QStringLiteral("insert into tb_dictionary (id,utype,uname) values (20,'goodsType','饮料'),"
                            "(21,'goodsType','果汁')"));
    };
    const struct {
        const char* name;
        m_dictionary saved;
    } cases[] = {
        {"a new item", item(0, QStringLiteral("橙汁"), 20)},
        {"a stored item moved under it", item(21, QStringLiteral("果汁"), 20)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        race(
            {QStringLiteral("delete from tb_dictionary where id=20")}, reset,
            [&] {
                m_dictionary m = c.saved;
                return dal.Save(m);
            },
            dal_dictionary::kParentCycleText, QStringLiteral("tb_dictionary"), QStringLiteral("parentId=20"));
    }
}

TEST_F(RefsRaceTest, AGoodsItemOfATypeDeletedElsewhereIsRefused)
{
    dal_goods_head dal;
    const auto reset = [this] {
        exec(QStringLiteral("delete from tb_goods_detail"));
        exec(QStringLiteral("delete from tb_goods_head"));
        exec(QStringLiteral("delete from tb_dictionary where id>=20"));
        exec(QStringLiteral("insert into tb_dictionary (id,utype,uname) values (20,'goodsType','饮料'),"
                            "(21,'goodsType','果汁')"));
        exec(QStringLiteral("insert into tb_goods_head (id,goodsTypeId,goodsCode,goodsName) values "
                            "(1,21,'G1','可乐')"));
        exec(QStringLiteral("insert into tb_goods_detail (id,headId,isDefault,unit,packQty) values "
                            "(1,1,1,'瓶',1)"));
    };
    for (const int id : {0, 1}) {
        SCOPED_TRACE(id == 0 ? "a new item" : "a stored item given the type");
        race(
            {QStringLiteral("delete from tb_dictionary where id=20")}, reset,
            [&] {
                m_goods_head g;
                g.id = id;
                g.goodsTypeId = 20;
                g.goodsCode = id == 0 ? QStringLiteral("G2") : QStringLiteral("G1");
                g.goodsName = QStringLiteral("雪碧");
                m_goods_detail u;
                u.isDefault = 1;
                u.unit = QStringLiteral("瓶");
                u.packQty = 1;
                return dal.Save(g, u).str_MsgBox;
            },
            dal_goods_head::kGoodsTypeMissingText, QStringLiteral("tb_goods_head"),
            QStringLiteral("goodsTypeId=20 or goodsName='雪碧'"));
    }
}

// The goods window's new type: the name and the parent are checked inside the
// write, so two workstations never store one name twice.
TEST_F(RefsRaceTest, ANewGoodsTypeSeesWhatTheOtherWorkstationDid)
{
    dal_dictionary dal;
    const auto reset = [this] {
        exec(QStringLiteral("delete from tb_dictionary where id>=20"));
        exec(QStringLiteral("insert into tb_dictionary (id,utype,uname) values (20,'goodsType','饮料')"));
    };
    const struct {
        const char* name;
        QString otherWrites;
        dal_dictionary::AddOutcome refusal;
    } cases[] = {
        {"the same name added",
         QStringLiteral(
             "insert into tb_dictionary (id,utype,uname,parentId) values (30,'goodsType','果汁',0)"),
         dal_dictionary::AddOutcome::NameTaken},
        {"the same name in other letter case",
         QStringLiteral(
             "insert into tb_dictionary (id,utype,uname,parentId) values (30,'goodsType','JUICE',0)"),
         dal_dictionary::AddOutcome::NameTaken},
        {"the parent deleted", QStringLiteral("delete from tb_dictionary where id=20"),
         dal_dictionary::AddOutcome::ParentMissing},
    };
    const auto name = [](dal_dictionary::AddOutcome o) {
        return o == dal_dictionary::AddOutcome::Added       ? QString()
               : o == dal_dictionary::AddOutcome::NameTaken ? QStringLiteral("name taken")
                                                            : QStringLiteral("parent missing");
    };
    int lastGiven = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString typed = QString::fromUtf8(c.name).contains(QLatin1String("case"))
                                  ? QStringLiteral("juice")
                                  : QStringLiteral("果汁");
        for (int nth = 1; nth <= kRaceTransactions; ++nth) {
            SCOPED_TRACE("before write " + std::to_string(nth));
            reset();
            m_dictionary m = item(0, typed, 20);
            dal_dictionary::AddOutcome outcome;
            bool came = false;
            {
                WriteBeforeTransaction between(*other, {c.otherWrites}, nth);
                outcome = dal.AddNamed(m);
                came = between.wrote();
            }
            EXPECT_EQ(name(outcome), came ? name(c.refusal) : QString());
            EXPECT_EQ(count(QStringLiteral("tb_dictionary"), QStringLiteral("uname='%1'").arg(typed)),
                      came && c.refusal == dal_dictionary::AddOutcome::ParentMissing ? 0 : 1);
            if (!came) {
                // A new id: above every stored one and every one handed out before.
                EXPECT_GT(m.id, qMax(20, lastGiven));
                lastGiven = m.id;
                EXPECT_EQ(count(QStringLiteral("tb_dictionary"),
                                QStringLiteral("id=%1 and utype='goodsType' and parentId=20 and orderBy=0 "
                                               "and isstart=1 and isSystemSet=0")
                                    .arg(m.id)),
                          1);
            }
        }
    }
}

// A bill line stored elsewhere while the goods item is being deleted keeps
// the item.
TEST_F(RefsRaceTest, AGoodsItemABillLineNamedMeanwhileStays)
{
    dal_goods_head dal;
    const struct {
        const char* table;
        QString refusal;
    } cases[] = {
        {"rk", QStringLiteral("当前货品在入库表已经建账,不能删除!")},
        {"ck", QStringLiteral("当前货品在出库表已经建账,不能删除!")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        const QString head = QStringLiteral("tb_%1_head").arg(QLatin1String(c.table));
        const QString lines = QStringLiteral("tb_%1_detail").arg(QLatin1String(c.table));
        const auto reset = [&] {
            exec(QStringLiteral("delete from ") + lines);
            exec(QStringLiteral("delete from ") + head);
            exec(QStringLiteral("delete from tb_goods_detail"));
            exec(QStringLiteral("delete from tb_goods_head"));
            exec(QStringLiteral(
                "insert or ignore into tb_dictionary (id,utype,uname) values (20,'goodsType','饮料')"));
            exec(QStringLiteral(
                "insert or ignore into tb_location (id,locationCode,uname) values (1,'A','A')"));
            exec(QStringLiteral("insert into tb_goods_head (id,goodsTypeId,goodsCode,goodsName) values "
                                "(1,20,'G1','可乐')"));
            exec(QStringLiteral("insert into tb_goods_detail (id,headId,isDefault,unit,packQty) values "
                                "(1,1,1,'瓶',1)"));
        };
        for (int nth = 1; nth <= kRaceTransactions; ++nth) {
            SCOPED_TRACE("before write " + std::to_string(nth));
            reset();
            m_DBresult r;
            bool came = false;
            {
                WriteBeforeTransaction between(
                    *other,
                    {QStringLiteral("insert into %1 (id) values (1)").arg(head),
                     QStringLiteral("insert into %1 (id,headId,goodsId,locationId) values (1,1,1,1)")
                         .arg(lines)},
                    nth);
                r = dal.Delete(1);
                came = between.wrote();
            }
            if (came) {
                EXPECT_FALSE(r.isResult);
                EXPECT_EQ(r.str_MsgBox, c.refusal);
                EXPECT_EQ(r.int_Count, 1);
                EXPECT_EQ(count(QStringLiteral("tb_goods_head")), 1);
                EXPECT_EQ(count(QStringLiteral("tb_goods_detail")), 1);
            } else {
                EXPECT_TRUE(r.isResult) << r.str_MsgBox.toStdString();
                EXPECT_EQ(count(QStringLiteral("tb_goods_head")), 0);
            }
        }
    }
}

// The name and code checks of a save run inside its transaction too: the
// other workstation stores the same name or code at the last moment before
// this one's write.
TEST_F(RefsRaceTest, ANameOrCodeStoredJustBeforeTheWriteIsSeen)
{
    const auto reset = [this] {
        exec(QStringLiteral("delete from tb_goods_detail"));
        exec(QStringLiteral("delete from tb_goods_head"));
        exec(QStringLiteral("delete from tb_dictionary where id>=20"));
        exec(QStringLiteral("insert into tb_dictionary (id,utype,uname) values (20,'goodsType','饮料')"));
    };
    race(
        {QStringLiteral("insert into tb_dictionary (id,utype,uname) values (30,'goodsType','果汁')")}, reset,
        [] {
            m_dictionary m = item(0, QStringLiteral("果汁"), 0);
            return dal_dictionary().Save(m);
        },
        QStringLiteral("名称[果汁]重复,请重新输入!"), QStringLiteral("tb_dictionary"),
        QStringLiteral("id<>30 and uname='果汁'"));
    race(
        {QStringLiteral(
            "insert into tb_goods_head (id,goodsTypeId,goodsCode,goodsName) values (50,20,'g1','雪碧')")},
        reset,
        [] {
            m_goods_head g;
            g.goodsTypeId = 20;
            g.goodsCode = QStringLiteral("G1");
            g.goodsName = QStringLiteral("可乐");
            m_goods_detail u;
            u.isDefault = 1;
            u.unit = QStringLiteral("瓶");
            u.packQty = 1;
            return dal_goods_head().Save(g, u).str_MsgBox;
        },
        QStringLiteral("货品编码[G1]存在,请重新输入!"), QStringLiteral("tb_goods_head"),
        QStringLiteral("id<>50"));
}

} // namespace
