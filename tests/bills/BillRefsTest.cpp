// Two workstations on one database file: while a bill is being saved, the
// other deletes the goods item, location, partner, account tag or bill type
// the bill names (no bill named them yet, so the delete is legitimate). The
// save checks them inside its own transaction and is refused with nothing
// written.

#include "TestEnv.h"
#include "WriteRace.h"

#include "BillStore.h"
#include "DataAccess.h"
#include "dal_goods_head.h"

namespace
{

class BillRefsTest : public RaceTest, public ::testing::WithParamInterface<BillDirection>
{
  protected:
    const BillSetup& dir() const { return BillSetup::Of(GetParam()); }

    // No bill; partners 7 and 8, goods 11 and 12, locations 1 and 2 stored.
    void reset()
    {
        exec(QStringLiteral("delete from ") + dir().lineTable);
        exec(QStringLiteral("delete from ") + dir().headTable);
        exec(QStringLiteral(
            "insert or ignore into tb_dictionary (id,utype,uname) values (5,'goodsType','饮料')"));
        exec(QStringLiteral("insert or ignore into tb_customer (id,uname) values (7,'甲'),(8,'乙')"));
        exec(QStringLiteral(
                 "insert or ignore into tb_dictionary (id,utype,uname) values (20,'accountType','外账'),"
                 "(21,'%1','调拨')")
                 .arg(dir().window.billTypeKind));
        exec(QStringLiteral("insert or ignore into tb_goods_head (id,goodsTypeId,goodsCode,goodsName) values "
                            "(11,5,'G11','可乐'),(12,5,'G12','雪碧')"));
        exec(QStringLiteral("insert or ignore into tb_location (id,locationCode,uname) values "
                            "(1,'A-01','一号'),(2,'A-02','二号')"));
    }
    static BillHead head(int partnerId)
    {
        BillHead h;
        h.accountId = 2;
        h.utypeId = 3;
        h.partnerId = partnerId;
        h.partnerName = QStringLiteral("乙");
        h.creator = QStringLiteral("admin");
        h.createTime = QStringLiteral("2024-03-15");
        h.userId = 1;
        return h;
    }
    static BillLine line(int rowNo, int goodsId, int locationId)
    {
        BillLine l;
        l.rowNo = rowNo;
        l.goodsTypeId = 5;
        l.goodsId = goodsId;
        l.goodsCode = QStringLiteral("G%1").arg(goodsId);
        l.goodsName = QStringLiteral("货品");
        l.unit = QStringLiteral("箱");
        l.packQty = 1;
        l.qty = 2;
        l.locationId = locationId;
        return l;
    }
    // Lines that name no stored goods item or location, bills that name no
    // stored partner, account tag or bill type.
    int orphans()
    {
        return count(dir().lineTable, QStringLiteral("goodsId not in (select id from tb_goods_head) or "
                                                     "locationId not in (select id from tb_location)")) +
               count(dir().headTable,
                     dir().partnerIdCol +
                         QStringLiteral(" not in (select id from tb_customer) or accountId not "
                                        "in (select id from tb_dictionary) or utypeId not in "
                                        "(select id from tb_dictionary)"));
    }

    BillStore store{BillSetup::Of(GetParam())};
};

TEST_P(BillRefsTest, ASaveNamingRowsDeletedElsewhereIsRefused)
{
    const struct {
        const char* name;
        QString otherDeletes;
        QString refusal;
    } deletes[] = {
        {"goods item", QStringLiteral("delete from tb_goods_head where id=12"),
         dal_goods_head::kGoodsMissingText},
        {"location", QStringLiteral("delete from tb_location where id=2"), dir().window.locationDeleted},
        {"partner", QStringLiteral("delete from tb_customer where id=8"), dir().window.partnerDeleted},
        {"account tag", QStringLiteral("delete from tb_dictionary where id=20"),
         BillStore::kAccountMissingText},
        {"bill type", QStringLiteral("delete from tb_dictionary where id=21"), dir().window.billTypeMissing},
    };
    for (const bool stored : {false, true}) {
        for (const auto& d : deletes) {
            for (int nth = 1; nth <= kRaceTransactions; ++nth) {
                SCOPED_TRACE(std::string(stored ? "Update_All, " : "Add, ") + d.name + ", before write " +
                             std::to_string(nth));
                reset();
                // A stored bill names partner 7, tag 2, type 3, goods 11 and
                // location 1; the save moves it to partner 8, tag 20 and type 21
                // and adds a line of goods 12 at location 2.
                BillHead h = head(stored ? 7 : 8);
                QList<BillLine> ls = {line(1, 11, 1)};
                if (stored) {
                    ASSERT_TRUE(store.Add(h, ls).isResult);
                    h.partnerId = 8;
                }
                h.accountId = 20;
                h.utypeId = 21;
                ls = {line(1, 11, 1), line(2, 12, 2)};
                const int heads = count(dir().headTable);
                const int lines = count(dir().lineTable);

                m_DBresult r;
                bool deleted = false;
                {
                    WriteBeforeTransaction race(*other, {d.otherDeletes}, nth);
                    r = stored ? store.Update_All(h, ls) : store.Add(h, ls);
                    deleted = race.wrote();
                }
                EXPECT_EQ(orphans(), 0);
                if (!deleted) {
                    EXPECT_TRUE(r.isResult) << r.str_MsgBox.toStdString();
                    continue;
                }
                EXPECT_FALSE(r.isResult);
                EXPECT_EQ(r.str_MsgBox, d.refusal);
                EXPECT_EQ(count(dir().headTable), heads);
                EXPECT_EQ(count(dir().lineTable), lines);
                if (stored) {
                    EXPECT_EQ(count(dir().headTable,
                                    dir().partnerIdCol + QStringLiteral("=7 and accountId=2 and utypeId=3")),
                              1);
                    EXPECT_EQ(count(dir().lineTable, QStringLiteral("goodsId=11")), 1);
                }
            }
        }
    }
}

// The other workstation saves the bill (a changed quantity, its stamp raised
// as every save raises it) after this one loaded it and just before its
// save's transaction: the save compares the stamp inside that transaction
// and is refused, and the other's quantity stays.
TEST_P(BillRefsTest, ASaveOverAnotherWorkstationsSaveIsRefused)
{
    for (int nth = 1; nth <= kRaceTransactions; ++nth) {
        SCOPED_TRACE("before write " + std::to_string(nth));
        reset();
        BillHead h = head(7);
        QList<BillLine> ls = {line(1, 11, 1)};
        ASSERT_TRUE(store.Add(h, ls).isResult);
        h = store.GetModel(h.id);
        ls[0].inPrice = 3;
        m_DBresult r;
        bool came = false;
        {
            WriteBeforeTransaction race(
                *other,
                {QStringLiteral("update %1 set qty=5 where headId=%2").arg(dir().lineTable).arg(h.id),
                 QStringLiteral("update %1 set rowVersion=rowVersion+1 where id=%2")
                     .arg(dir().headTable)
                     .arg(h.id)},
                nth);
            r = store.Update_All(h, ls);
            came = race.wrote();
        }
        const BillLine back = store.GetLineModel(ls.at(0).id);
        if (!came) {
            EXPECT_TRUE(r.isResult) << r.str_MsgBox.toStdString();
            continue;
        }
        EXPECT_FALSE(r.isResult);
        EXPECT_EQ(r.str_MsgBox, kRecordChangedText);
        EXPECT_DOUBLE_EQ(back.qty, 5);
        EXPECT_DOUBLE_EQ(back.inPrice, 0);
    }
}

// A bill naming several rows that are not stored is refused for the first
// the window's walk meets: the lines from the last up, a line's goods item
// before its location.
TEST_P(BillRefsTest, ASaveNamesTheFirstMissingRowOfTheWindowsWalk)
{
    const struct {
        const char* name;
        QList<std::pair<int, int>> lines; // goods item, location
        QString refusal;
    } cases[] = {
        {"goods of the last line", {{11, 99}, {99, 1}}, dal_goods_head::kGoodsMissingText},
        {"location of the last line", {{99, 1}, {11, 99}}, dir().window.locationDeleted},
        {"goods before location", {{11, 1}, {99, 99}, {12, 2}}, dal_goods_head::kGoodsMissingText},
        {"location 0 among stored", {{11, 1}, {12, 0}, {11, 1}}, dir().window.locationMissing},
        {"goods 0 among stored", {{0, 1}, {12, 2}, {12, 2}}, dal_goods_head::kGoodsMissingText},
    };
    reset();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BillHead h = head(8);
        QList<BillLine> ls;
        for (const auto& [goodsId, locationId] : c.lines)
            ls.append(line(int(ls.size()) + 1, goodsId, locationId));
        const m_DBresult r = store.Add(h, ls);
        EXPECT_FALSE(r.isResult);
        EXPECT_EQ(r.str_MsgBox, c.refusal);
        EXPECT_EQ(count(dir().headTable), 0);
        EXPECT_EQ(count(dir().lineTable), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(BothDirections, BillRefsTest, ::testing::ValuesIn(kBillDirections),
                         [](const auto& info) {
                             return std::string(info.param == BillDirection::In ? "Inbound" : "Outbound");
                         });

} // namespace
