// Two workstations on one database file load the same record; the other one
// saves it (its values, its change stamp raised as every save raises it)
// after this one loaded it, up to the last moment before this one's save
// begins its transaction. This save compares the stamp inside that
// transaction and is refused with nothing written: the other's values stay.
// Where the other's save came after this one, this one's save holds.

#include "TestEnv.h"
#include "WriteRace.h"

#include "DataAccess.h"
#include "dal_customer.h"
#include "dal_dictionary.h"
#include "dal_goods_detail.h"
#include "dal_goods_head.h"
#include "dal_location.h"

#include <functional>

namespace
{

class StaleRecordTest : public RaceTest
{
  protected:
    void SetUp() override
    {
        RaceTest::SetUp();
        exec(QStringLiteral("insert into tb_dictionary (id,utype,uname) values (30,'customerType','批发'),"
                            "(31,'goodsType','饮料')"));
    }

    // For each moment tried: reset() stores the record, load() reads it as a
    // window does, the other workstation writes otherSave before this one's
    // nth write transaction, and save() answers this save's refusal (empty
    // when it held). theirs counts the rows that hold the other's values and
    // not this save's.
    void race(const std::function<void()>& reset, const std::function<void()>& load,
              const QStringList& otherSave, const std::function<QString()>& save, const QString& table,
              const QString& theirs)
    {
        for (int nth = 1; nth <= kRaceTransactions; ++nth) {
            SCOPED_TRACE("before write " + std::to_string(nth));
            reset();
            load();
            QString refusal;
            bool came = false;
            {
                WriteBeforeTransaction between(*other, otherSave, nth);
                refusal = save();
                came = between.wrote();
            }
            if (!came) {
                EXPECT_TRUE(refusal.isEmpty()) << refusal.toStdString();
                continue;
            }
            EXPECT_EQ(refusal, kRecordChangedText);
            EXPECT_EQ(count(table, theirs), 1);
        }
    }
};

TEST_F(StaleRecordTest, APartnerSavedElsewhereSinceItWasLoaded)
{
    dal_customer dal;
    m_customer m;
    race(
        [&] {
            exec(QStringLiteral("delete from tb_customer"));
            exec(QStringLiteral("insert into tb_customer (id,customType,customerCode,uname,tel) values "
                                "(7,30,'ct-2405-00001','华联','021-1')"));
        },
        [&] { m = dal.GetModel(7); },
        {QStringLiteral("update tb_customer set tel='021-9', rowVersion=rowVersion+1 where id=7")},
        [&] {
            m.address = QStringLiteral("南京路1号");
            try {
                dal.Save(m, false);
            } catch (const DbError& e) {
                return e.message();
            }
            return QString();
        },
        QStringLiteral("tb_customer"), QStringLiteral("id=7 and tel='021-9' and address is null"));
}

// The other save renames the location, or gives it a new code and its old
// code to another location: the stale save, still holding the old code, is
// refused as changed, not as taking a code that is taken.
TEST_F(StaleRecordTest, ALocationSavedElsewhereSinceItWasLoaded)
{
    const struct {
        const char* name;
        QStringList otherSave;
        QString theirs;
    } cases[] = {
        {"renamed",
         {QStringLiteral("update tb_location set uname='一号库', rowVersion=rowVersion+1 where id=1")},
         QStringLiteral("id=1 and uname='一号库' and remark is null")},
        {"its code moved to another",
         {QStringLiteral("update tb_location set locationCode='A-02', rowVersion=rowVersion+1 where id=1"),
          QStringLiteral("insert into tb_location (id,locationCode,uname) values (2,'A-01','二号')")},
         QStringLiteral("id=1 and locationCode='A-02' and remark is null")},
    };
    dal_location dal;
    m_location m;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        race(
            [&] {
                exec(QStringLiteral("delete from tb_location"));
                exec(QStringLiteral(
                    "insert into tb_location (id,locationCode,uname) values (1,'A-01','一号')"));
            },
            [&] { m = dal.GetModel(1); }, c.otherSave,
            [&] {
                m.remark = QStringLiteral("靠窗");
                return dal.Save(m);
            },
            QStringLiteral("tb_location"), c.theirs);
    }
}

TEST_F(StaleRecordTest, ADictionaryItemSavedElsewhereSinceItWasLoaded)
{
    dal_dictionary dal;
    m_dictionary m;
    race(
        [&] {
            exec(QStringLiteral(
                "update tb_dictionary set uname='批发', remark=null, rowVersion=0 where id=30"));
        },
        [&] { m = dal.GetModel(30); },
        {QStringLiteral("update tb_dictionary set remark='大客户', rowVersion=rowVersion+1 where id=30")},
        [&] {
            m.uname = QStringLiteral("批发商");
            return dal.Save(m);
        },
        QStringLiteral("tb_dictionary"), QStringLiteral("id=30 and uname='批发' and remark='大客户'"));
}

// The goods item covers its units: a save of the form (the item with its
// default unit), a save of the unit grid and a change of the default unit are
// refused alike, and the grid's reason is the item changed, not its own
// barcodes taken for duplicates.
TEST_F(StaleRecordTest, AGoodsItemOrItsUnitsSavedElsewhereSinceTheyWereLoaded)
{
    const auto reset = [&] {
        exec(QStringLiteral("delete from tb_goods_detail"));
        exec(QStringLiteral("delete from tb_goods_head"));
        exec(QStringLiteral("insert into tb_goods_head (id,goodsTypeId,goodsCode,goodsName,status) values "
                            "(11,31,'G011','可乐','启用')"));
        exec(QStringLiteral(
            "insert into tb_goods_detail (id,headId,isDefault,rowNo,goodsDetailCode,unit,packQty,"
            "inPrice) values (111,11,1,1,'6901','瓶',1,7.8),(112,11,0,2,'6902','箱',12,90)"));
    };
    // The other workstation's unit grid save: new unit rows, the stamp raised.
    const QStringList otherSave = {
        QStringLiteral("delete from tb_goods_detail where headId=11"),
        QStringLiteral("insert into tb_goods_detail (id,headId,isDefault,rowNo,goodsDetailCode,unit,packQty,"
                       "inPrice) values (121,11,1,1,'6901','瓶',1,7.8),(122,11,0,2,'6902','箱',24,90)"),
        QStringLiteral("update tb_goods_head set rowVersion=rowVersion+1 where id=11")};
    const QString theirs = QStringLiteral("headId=11 and unit='箱' and packQty=24 and inPrice=90");

    m_goods_head g;
    m_goods_detail unit;
    race(
        reset,
        [&] {
            g = dal_goods_head().GetModel(11);
            unit = dal_goods_detail().GetModelForDefault(11);
        },
        otherSave,
        [&] {
            unit.inPrice = 3;
            return dal_goods_head().Save(g, unit).str_MsgBox;
        },
        QStringLiteral("tb_goods_detail"), QStringLiteral("id=121 and headId=11 and inPrice=7.8"));

    int version = 0;
    QList<m_goods_detail> units;
    race(
        reset,
        [&] {
            version = dal_goods_head().GetModel(11).rowVersion;
            units = {dal_goods_detail().GetModel(111), dal_goods_detail().GetModel(112)};
        },
        otherSave,
        [&] {
            units[1].inPrice = 80;
            return dal_goods_detail()
                .SaveUnits(11, version, units, {},
                           {{111, QStringLiteral("6901")}, {112, QStringLiteral("6902")}})
                .str_MsgBox;
        },
        QStringLiteral("tb_goods_detail"), theirs);

    // 默认 from a window that holds the item as it was: refused too, after the
    // other's save of the form alone, which left the units as they were.
    race(
        reset, [&] { version = dal_goods_head().GetModel(11).rowVersion; },
        {QStringLiteral(
            "update tb_goods_head set goodsName='百事可乐', rowVersion=rowVersion+1 where id=11")},
        [&] { return dal_goods_detail().Update_Default(112, 11, version).str_MsgBox; },
        QStringLiteral("tb_goods_detail"),
        QStringLiteral(
            "id=111 and isDefault=1 and (select goodsName from tb_goods_head where id=11)='百事可乐'"));
}

} // namespace
