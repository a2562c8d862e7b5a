#include "TestEnv.h"

#include "BillStore.h"
#include "DataAccess.h"
#include "dal_ck_detail.h"
#include "dal_ck_head.h"
#include "dal_rk_detail.h"
#include "dal_rk_head.h"
#include "sqlHelper.h"

#include <QSet>
#include <cmath>
#include <functional>
#include <limits>
#include <utility>
#include <vector>

namespace
{

// Partners 4, 5, 7 and 8, goods items 11 to 13 and location 1 ("A-01").
void storeBillReferences()
{
    EXPECT_NO_THROW(ExecuteSql(
        QStringLiteral("insert into tb_dictionary (id,utype,uname) values (5,'goodsType','饮料')")));
    EXPECT_NO_THROW(ExecuteSql(QStringLiteral(
        "insert into tb_customer (id,uname) values (4,'供应商甲'),(5,'客户乙'),(7,'甲'),(8,'乙')")));
    EXPECT_NO_THROW(
        ExecuteSql(QStringLiteral("insert into tb_goods_head (id,goodsTypeId,goodsCode,goodsName) values "
                                  "(11,5,'G1','可乐'),(12,5,'G2','雪碧'),(13,5,'G3','芬达')")));
    EXPECT_NO_THROW(ExecuteSql(QStringLiteral(
        "insert into tb_location (id,locationCode,uname,parentId,state) values (1,'A-01','一号',0,1)")));
}

// Every case runs for inbound and outbound bills alike.
class BillStoreTest : public DbTest, public ::testing::WithParamInterface<BillDirection>
{
  protected:
    const BillSetup& dir() const { return BillSetup::Of(GetParam()); }
    BillStore store{BillSetup::Of(GetParam())};

    // The partners, goods items and location the bills below name.
    void SetUp() override
    {
        DbTest::SetUp();
        storeBillReferences();
    }

    static BillHead head(const QString& date = QStringLiteral("2024-03-15"))
    {
        BillHead h;
        h.accountId = 2;
        h.utypeId = 3;
        h.partnerId = 7;
        h.partnerName = QStringLiteral("O'Brien | @remark");
        h.ubillNo = QStringLiteral("N:42");
        h.remark = QStringLiteral("@remark 'quoted' a|b");
        h.creator = QStringLiteral("admin");
        h.createTime = date;
        h.updateLastUser = QStringLiteral("admin");
        h.updateLastTime = QStringLiteral("2024-03-15 10:00:00");
        h.userId = 1;
        return h;
    }
    static BillLine line(int rowNo, double qty, double inPrice, double salePrice = 0)
    {
        BillLine l;
        l.rowNo = rowNo;
        l.goodsTypeId = 5;
        l.goodsTypeName = QStringLiteral("饮料");
        l.goodsId = 10 + rowNo;
        l.goodsCode = QStringLiteral("G%1").arg(rowNo);
        l.goodsDetailCode = QStringLiteral("690%1").arg(rowNo);
        l.goodsName = QStringLiteral("可乐 'N:%1'").arg(rowNo);
        l.goodsDesc = QStringLiteral("@goodsDesc|");
        l.unit = QStringLiteral("箱");
        l.inPrice = inPrice;
        l.salePrice = salePrice;
        l.packQty = 12;
        l.weight = 1.5;
        l.qty = qty;
        l.locationId = 1;
        l.lotNo = QStringLiteral("L'1");
        l.remark = QStringLiteral("K:x @id");
        return l;
    }
    QList<BillLine> threeLines() const
    {
        return {line(1, 2, 10, 12.5), line(2, 2.5, 4, 5), line(3, 1, 0.1, 0.2)};
    }

    BillHead addBill(const QString& date = QStringLiteral("2024-03-15"))
    {
        BillHead h = head(date);
        QList<BillLine> ls = threeLines();
        const m_DBresult r = store.Add(h, ls);
        EXPECT_TRUE(r.isResult) << r.str_MsgBox.toStdString();
        return h;
    }
    int lines(int headId) { return count(dir().lineTable, QStringLiteral("headId=%1").arg(headId)); }
    void setPass(int id, int ispass)
    {
        exec(QStringLiteral("update %1 set ispass=%2 where id=%3").arg(dir().headTable).arg(ispass).arg(id));
    }
};

// The head's total comes from its view as text; large totals are written in
// exponent form there and must read back as the same number.
TEST_P(BillStoreTest, LargeTotalsReadBackWhole)
{
    const double cases[] = {1e15, 1234567890123456.0, 1e20, 1e40};
    for (const double total : cases) {
        SCOPED_TRACE(total);
        BillHead h = head();
        QList<BillLine> ls = {line(1, total / 4, 4, 4)};
        ASSERT_TRUE(store.Add(h, ls).isResult);
        EXPECT_DOUBLE_EQ(store.GetModel(h.id).totalAmount, total);
    }
}

TEST_P(BillStoreTest, AddStoresHeadAndLinesAndReadsThemBackAsTyped)
{
    const BillHead h = addBill();
    EXPECT_EQ(h.id, 1);
    EXPECT_EQ(h.billNo, dir().numberKind + QStringLiteral("-2403-00001"));

    const BillHead back = store.GetModel(h.id);
    EXPECT_EQ(back.billNo, h.billNo);
    EXPECT_EQ(back.partnerName, QStringLiteral("O'Brien | @remark"));
    EXPECT_EQ(back.ubillNo, QStringLiteral("N:42"));
    EXPECT_EQ(back.remark, QStringLiteral("@remark 'quoted' a|b"));
    EXPECT_EQ(back.createTime, QStringLiteral("2024-03-15"));
    EXPECT_EQ(back.accountName, QStringLiteral("默认账套"));
    EXPECT_EQ(back.totalItemRow, QStringLiteral("1单3项"));
    EXPECT_EQ(back.rowsCount, 3);
    EXPECT_DOUBLE_EQ(back.totalQty, 5.5);
    // 2 x 10 + 2.5 x 4 + 0.1 inbound; 2 x 12.5 + 2.5 x 5 + 0.2 outbound
    EXPECT_DOUBLE_EQ(back.totalAmount, dir().hasSalePrice ? 37.7 : 30.1);
    EXPECT_EQ(back.passName, QStringLiteral("未审核"));

    const m_recordSet rs = store.GetBillLines(h.id);
    ASSERT_EQ(rs.recordCount, 3);
    const BillLine l = store.GetLineModel(rs.recordSet->value(0, QStringLiteral("id")).toInt());
    EXPECT_EQ(l.headId, h.id);
    EXPECT_EQ(l.rowNo, 1);
    EXPECT_EQ(l.goodsName, QStringLiteral("可乐 'N:1'"));
    EXPECT_EQ(l.goodsDesc, QStringLiteral("@goodsDesc|"));
    EXPECT_EQ(l.lotNo, QStringLiteral("L'1"));
    EXPECT_EQ(l.remark, QStringLiteral("K:x @id"));
    EXPECT_EQ(l.locationCode, QStringLiteral("A-01"));
    EXPECT_DOUBLE_EQ(l.totalQty, 24);
    EXPECT_DOUBLE_EQ(l.totalWeight, 3);
    EXPECT_DOUBLE_EQ(l.totalAmount, dir().hasSalePrice ? 25 : 20);
    EXPECT_DOUBLE_EQ(l.salePrice, dir().hasSalePrice ? 12.5 : 0);
    EXPECT_EQ(l.partnerId, 7);
}

TEST_P(BillStoreTest, AFailureOnTheThirdLineLeavesNothing)
{
    exec(QStringLiteral("create trigger t_fail before insert on %1 when new.rowNo=3 "
                        "begin select raise(abort,'第三行写入失败'); end")
             .arg(dir().lineTable));
    BillHead h = head();
    QList<BillLine> ls = threeLines();
    const m_DBresult r = store.Add(h, ls);
    EXPECT_FALSE(r.isResult);
    EXPECT_TRUE(r.str_MsgBox.contains(QStringLiteral("第三行写入失败"))) << r.str_MsgBox.toStdString();
    EXPECT_EQ(h.id, 0);
    EXPECT_TRUE(h.billNo.isEmpty());
    EXPECT_EQ(count(dir().headTable), 0);
    EXPECT_EQ(count(dir().lineTable), 0);
}

// A figure a REAL cannot give back (an infinity, NaN) is refused by every
// write of lines with the window's words, and nothing is written.
TEST_P(BillStoreTest, AFigureThatIsNoNumberIsRefusedByEveryLineWrite)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    const QString price = dir().reports.priceWord;
    const struct {
        double BillLine::*member;
        double value;
        QString refusal;
    } cases[] = {
        {&BillLine::qty, inf, QStringLiteral("数量位数过多,最多15位有效数字!")},
        {&BillLine::qty, -inf, QStringLiteral("数量位数过多,最多15位有效数字!")},
        {&BillLine::qty, std::nan(""), QStringLiteral("数量位数过多,最多15位有效数字!")},
        {dir().hasSalePrice ? &BillLine::salePrice : &BillLine::inPrice, inf,
         price + QStringLiteral("位数过多,最多15位有效数字!")},
        {&BillLine::packQty, -inf, QStringLiteral("内装数位数过多,最多15位有效数字!")},
        {&BillLine::weight, inf, QStringLiteral("重量位数过多,最多15位有效数字!")},
    };
    const BillHead stored = addBill();
    const auto snapshot = [this] {
        return scalar(QStringLiteral("select group_concat(id||':'||qty||':'||inPrice||':'||packQty||':'||"
                                     "weight, ' ') from %1")
                          .arg(dir().lineTable))
            .toString();
    };
    const QString before = snapshot();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refusal.toStdString() + " " + std::to_string(c.value));
        QList<BillLine> ls = threeLines();
        ls[1].*c.member = c.value;
        BillHead h = head();
        m_DBresult r = store.Add(h, ls);
        EXPECT_FALSE(r.isResult);
        EXPECT_EQ(r.str_MsgBox, c.refusal);

        BillHead again = store.GetModel(stored.id);
        QList<BillLine> kept = threeLines();
        kept[2].*c.member = c.value;
        r = store.Update_All(again, kept);
        EXPECT_FALSE(r.isResult);
        EXPECT_EQ(r.str_MsgBox, c.refusal);

        EXPECT_EQ(count(dir().headTable), 1);
        EXPECT_EQ(snapshot(), before);
    }
}

TEST_P(BillStoreTest, NumbersFollowTheBillDateMonthPerDirection)
{
    EXPECT_EQ(addBill().billNo, dir().numberKind + QStringLiteral("-2403-00001"));
    EXPECT_EQ(addBill().billNo, dir().numberKind + QStringLiteral("-2403-00002"));
    EXPECT_EQ(addBill(QStringLiteral("2024-04-01")).billNo, dir().numberKind + QStringLiteral("-2404-00001"));
    // The other direction's bills of the month do not count.
    BillStore other(BillSetup::Of(GetParam() == BillDirection::In ? BillDirection::Out : BillDirection::In));
    BillHead o = head();
    QList<BillLine> none;
    ASSERT_TRUE(other.Add(o, none).isResult);
    EXPECT_EQ(o.billNo, other.direction().numberKind + QStringLiteral("-2403-00001"));

    exec(QStringLiteral("update %1 set billNo='%2-2403-99999' where id=2")
             .arg(dir().headTable, dir().numberKind));
    EXPECT_EQ(addBill().billNo, dir().numberKind + QStringLiteral("-2403-100000"));
    EXPECT_EQ(addBill().billNo, dir().numberKind + QStringLiteral("-2403-100001"));
}

TEST_P(BillStoreTest, TheSchemaRefusesATakenNumber)
{
    const BillHead h = addBill();
    EXPECT_ANY_THROW(ExecuteSql(
        QStringLiteral("insert into %1 (id,billNo) values (99,'%2')").arg(dir().headTable, h.billNo)));
}

TEST_P(BillStoreTest, UpdateAllKeepsTheFixedColumnsAndRenewsLineIds)
{
    const BillHead stored = addBill();
    const QList<int> oldIds = {1, 2, 3};
    BillHead h = head();
    h.id = stored.id;
    h.billNo = QStringLiteral("xx");
    h.ispass = 1;
    h.creator = QStringLiteral("other");
    h.createTime = QStringLiteral("2025-01-01");
    h.userId = 9;
    h.partnerId = 8;
    h.partnerName = QStringLiteral("新伙伴");
    h.remark = QStringLiteral("改");
    h.updateLastUser = QStringLiteral("u2");
    QList<BillLine> ls = {line(1, 7, 1, 2), line(2, 1, 1, 1)};
    const m_DBresult r = store.Update_All(h, ls);
    ASSERT_TRUE(r.isResult) << r.str_MsgBox.toStdString();

    const BillHead back = store.GetModel(stored.id);
    EXPECT_EQ(back.billNo, stored.billNo);
    EXPECT_EQ(back.ispass, 0);
    EXPECT_EQ(back.creator, QStringLiteral("admin"));
    EXPECT_EQ(back.createTime, QStringLiteral("2024-03-15"));
    EXPECT_EQ(back.userId, 1);
    EXPECT_EQ(back.partnerId, 8);
    EXPECT_EQ(back.partnerName, QStringLiteral("新伙伴"));
    EXPECT_EQ(back.remark, QStringLiteral("改"));
    EXPECT_EQ(back.updateLastUser, QStringLiteral("u2"));
    EXPECT_EQ(back.rowsCount, 2);
    EXPECT_EQ(ls.at(0).id, 4);
    EXPECT_EQ(ls.at(1).id, 5);
    for (int id : oldIds)
        EXPECT_EQ(count(dir().lineTable, QStringLiteral("id=%1").arg(id)), 0);

    QList<BillLine> none;
    ASSERT_TRUE(store.Update_All(h, none).isResult);
    EXPECT_EQ(lines(stored.id), 0);
    EXPECT_EQ(count(dir().headTable), 1);
}

// A bill saved again keeps the ids of the lines it keeps: a line is the same
// row for the reports before and after. New lines take new ids, lines left
// out are deleted, and an id given twice, or one of another bill's lines,
// makes a new line.
TEST_P(BillStoreTest, UpdateAllKeepsTheIdsOfTheLinesItKeeps)
{
    const BillHead stored = addBill();
    const BillHead other = addBill();
    const m_recordSet rs = store.GetBillLines(stored.id);
    ASSERT_EQ(rs.recordCount, 3);
    QList<int> ids;
    for (int r = 0; r < rs.recordCount; ++r)
        ids << rs.recordSet->value(r, QStringLiteral("id")).toInt();
    const int otherLine = store.GetBillLines(other.id).recordSet->value(0, QStringLiteral("id")).toInt();
    const int largest = scalar(QStringLiteral("select max(id) from %1").arg(dir().lineTable)).toInt();

    BillHead h = store.GetModel(stored.id);
    QList<BillLine> ls = {line(1, 4, 10, 12.5), line(2, 9, 1, 1), line(3, 1, 0.1, 0.2), line(4, 5, 5, 5),
                          line(5, 6, 6, 6)};
    ls[0].id = ids.at(2); // the third line, moved to the top and changed
    ls[1].id = 0;         // new
    ls[2].id = ids.at(0); // the first line, unchanged
    ls[3].id = ids.at(0); // the same id again: a new line
    ls[4].id = otherLine; // another bill's line: a new line
    ls[3].goodsId = ls[4].goodsId = 12;
    const m_DBresult r = store.Update_All(h, ls);
    ASSERT_TRUE(r.isResult) << r.str_MsgBox.toStdString();

    EXPECT_EQ(ls.at(0).id, ids.at(2));
    EXPECT_EQ(ls.at(2).id, ids.at(0));
    QSet<int> fresh;
    for (int k : {1, 3, 4}) {
        EXPECT_GT(ls.at(k).id, largest) << k;
        fresh.insert(ls.at(k).id);
    }
    EXPECT_EQ(fresh.size(), 3);
    EXPECT_EQ(count(dir().lineTable, QStringLiteral("id=%1").arg(ids.at(1))), 0); // left out
    EXPECT_EQ(lines(stored.id), 5);
    const BillLine moved = store.GetLineModel(ids.at(2));
    EXPECT_EQ(moved.headId, stored.id);
    EXPECT_EQ(moved.rowNo, 1);
    EXPECT_DOUBLE_EQ(moved.qty, 4);
    EXPECT_EQ(moved.goodsId, 11);
    // The other bill keeps its line as it was.
    EXPECT_EQ(store.GetLineModel(otherLine).headId, other.id);
    EXPECT_EQ(lines(other.id), 3);
}

// An id once given to a bill or a line is never given to another: not after
// the newest bill is deleted, nor after its lines are.
TEST_P(BillStoreTest, IdsAreNeverHandedOutTwice)
{
    addBill();
    const BillHead newest = addBill();
    const auto largestLine = [&] {
        return scalar(QStringLiteral("select max(id) from %1").arg(dir().lineTable)).toInt();
    };
    int lastLine = largestLine();
    ASSERT_TRUE(store.Delete(newest.id).isResult);
    const BillHead next = addBill();
    EXPECT_GT(next.id, newest.id);
    EXPECT_EQ(count(dir().lineTable, QStringLiteral("headId=%1 and id<=%2").arg(next.id).arg(lastLine)), 0);

    // Lines deleted by a save are not given again either.
    lastLine = largestLine();
    BillHead h = store.GetModel(next.id);
    QList<BillLine> none;
    ASSERT_TRUE(store.Update_All(h, none).isResult);
    QList<BillLine> one = {line(1, 1, 1, 1)};
    ASSERT_TRUE(store.Update_All(h, one).isResult);
    EXPECT_GT(one.at(0).id, lastLine);
}

// Two clerks load the same bill; the second save finds the bill changed since
// it was loaded and is refused, with nothing written: the first one's values
// stay. Loaded again, the bill saves.
TEST_P(BillStoreTest, ASaveOfABillChangedSinceItWasLoadedIsRefused)
{
    const BillHead stored = addBill();
    const QList<BillLine> storedLines = [&] {
        QList<BillLine> out;
        const m_recordSet rs = store.GetBillLines(stored.id);
        for (int r = 0; r < rs.recordCount; ++r)
            out << store.GetLineModel(rs.recordSet->value(r, QStringLiteral("id")).toInt());
        return out;
    }();
    BillHead a = store.GetModel(stored.id);
    BillHead b = store.GetModel(stored.id);
    QList<BillLine> aLines = storedLines;
    QList<BillLine> bLines = storedLines;

    bLines[0].qty = 5;
    ASSERT_TRUE(store.Update_All(b, bLines).isResult);
    EXPECT_EQ(b.rowVersion, a.rowVersion + 1);

    aLines[0].inPrice = 3;
    a.remark = QStringLiteral("A");
    const m_DBresult r = store.Update_All(a, aLines);
    EXPECT_FALSE(r.isResult);
    EXPECT_EQ(r.str_MsgBox, kRecordChangedText);
    const BillLine back = store.GetLineModel(storedLines.at(0).id);
    EXPECT_DOUBLE_EQ(back.qty, 5);
    EXPECT_DOUBLE_EQ(back.inPrice, storedLines.at(0).inPrice);
    EXPECT_EQ(store.GetModel(stored.id).remark, stored.remark);

    // B saves again from its own, current copy; A opens the bill anew and saves.
    ASSERT_TRUE(store.Update_All(b, bLines).isResult);
    a = store.GetModel(stored.id);
    aLines[0].qty = 5;
    ASSERT_TRUE(store.Update_All(a, aLines).isResult);
    EXPECT_DOUBLE_EQ(store.GetLineModel(storedLines.at(0).id).inPrice, 3);
}

TEST_P(BillStoreTest, WritesRefuseAuditedAndMissingBills)
{
    const BillHead stored = addBill();
    setPass(stored.id, 1);
    struct Case {
        const char* what;
        std::function<m_DBresult()> run;
        QString text;
    };
    BillHead h = head();
    h.id = stored.id;
    QList<BillLine> ls = {line(1, 1, 1)};
    BillHead missing = head();
    missing.id = 77;
    const Case cases[] = {
        {"save audited", [&] { return store.Update_All(h, ls); }, QStringLiteral("当前单据已审核,不能保存!")},
        {"delete audited", [&] { return store.Delete(stored.id); },
         QStringLiteral("当前单据已审核,不能删除!")},
        {"save missing", [&] { return store.Update_All(missing, ls); }, QStringLiteral("当前记录不存在!")},
        {"delete missing", [&] { return store.Delete(77); }, QStringLiteral("当前记录不存在!")},
        {"audit missing", [&] { return store.Update_pass(missing); }, QStringLiteral("当前记录不存在!")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const m_DBresult r = c.run();
        EXPECT_FALSE(r.isResult);
        EXPECT_EQ(r.str_MsgBox, c.text);
        EXPECT_EQ(count(dir().headTable), 1);
        EXPECT_EQ(lines(stored.id), 3);
        EXPECT_EQ(store.GetModel(stored.id).remark, stored.remark);
    }
}

TEST_P(BillStoreTest, UpdatePassTouchesOnlyItsColumnsAndDeleteRemovesTheWholeBill)
{
    const BillHead stored = addBill();
    BillHead h;
    h.id = stored.id;
    h.ispass = 1;
    h.updateLastUser = QStringLiteral("checker");
    h.updateLastTime = QStringLiteral("2024-03-20 08:00:00");
    h.remark = QStringLiteral("not written");
    ASSERT_TRUE(store.Update_pass(h).isResult);
    BillHead back = store.GetModel(stored.id);
    EXPECT_EQ(back.ispass, 1);
    EXPECT_EQ(back.passName, QStringLiteral("已审核"));
    EXPECT_EQ(back.updateLastUser, QStringLiteral("checker"));
    EXPECT_EQ(back.remark, stored.remark);
    EXPECT_EQ(back.partnerName, stored.partnerName);
    EXPECT_EQ(back.rowsCount, 3);

    h.ispass = 0;
    ASSERT_TRUE(store.Update_pass(h).isResult);
    const m_DBresult r = store.Delete(stored.id);
    EXPECT_TRUE(r.isResult) << r.str_MsgBox.toStdString();
    EXPECT_EQ(count(dir().headTable), 0);
    EXPECT_EQ(count(dir().lineTable), 0);
    EXPECT_EQ(store.GetModel(stored.id).id, 0);
}

// Update_pass is the state-checked audit: auditing an audited bill or
// un-auditing an unaudited one is refused with the audit's own text and
// stamps nothing.
TEST_P(BillStoreTest, UpdatePassRefusesTheStateTheBillIsAlreadyIn)
{
    const BillHead stored = addBill();
    struct Case {
        const char* what;
        int storedPass;
        int ispass;
        QString text;
    };
    const Case cases[] = {
        {"audit audited", 1, 1, QStringLiteral("当前单据已经审核,不能再审核!")},
        {"un-audit unaudited", 0, 0, QStringLiteral("当前单据未审核,不能再反审!")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        setPass(stored.id, c.storedPass);
        BillHead h;
        h.id = stored.id;
        h.ispass = c.ispass;
        h.updateLastUser = QStringLiteral("checker");
        h.updateLastTime = QStringLiteral("2024-03-20 08:00:00");
        const m_DBresult r = store.Update_pass(h);
        EXPECT_FALSE(r.isResult);
        EXPECT_EQ(r.str_MsgBox, c.text);
        const BillHead back = store.GetModel(stored.id);
        EXPECT_EQ(back.ispass, c.storedPass);
        EXPECT_EQ(back.updateLastUser, stored.updateLastUser);
        EXPECT_EQ(back.updateLastTime, stored.updateLastTime);
    }
}

TEST_P(BillStoreTest, LastPriceIsTheNewestLineOfThePartnerUnderTheExactCode)
{
    auto save = [&](int partner, const QString& code, double price) {
        BillHead h = head();
        h.partnerId = partner;
        // The sale price differs from the purchase price, so the price read is the direction's own.
        BillLine l = line(1, 1, price, price + 100);
        l.goodsCode = code;
        QList<BillLine> ls = {l, l};
        ls[1].inPrice = price + 1; // the newer line of the bill wins
        ls[1].salePrice = price + 101;
        ASSERT_TRUE(store.Add(h, ls).isResult);
    };
    save(7, QStringLiteral("G1"), 3);
    save(7, QStringLiteral("G1"), 5);
    save(8, QStringLiteral("G1"), 9);
    save(7, QStringLiteral("6901"), 11);
    const double sale = GetParam() == BillDirection::Out ? 100 : 0;
    double price = -1;
    ASSERT_TRUE(store.GetLastPrice(7, QStringLiteral("G1"), price));
    EXPECT_DOUBLE_EQ(price, 6 + sale);
    ASSERT_TRUE(store.GetLastPrice(7, QStringLiteral("6901"), price));
    EXPECT_DOUBLE_EQ(price, 12 + sale);
    EXPECT_FALSE(store.GetLastPrice(9, QStringLiteral("G1"), price));
    EXPECT_FALSE(store.GetLastPrice(7, QStringLiteral("G2"), price));
}

TEST_P(BillStoreTest, SqlTextsAndEmptyReads)
{
    EXPECT_TRUE(store.GetSqlSearch(QStringLiteral("A")).isEmpty());
    EXPECT_TRUE(store.GetSqlSearch().isEmpty());
    EXPECT_TRUE(store.GetSqlSearch(QStringLiteral("f")).startsWith(QLatin1Char(' ')));
    EXPECT_TRUE(
        store.GetSqlSearch(QStringLiteral("f")).contains(QStringLiteral(",") + dir().partnerNameCol + ","));
    EXPECT_TRUE(store.GetLineSqlSearch(QStringLiteral("f")).endsWith(QStringLiteral("remark ")));
    EXPECT_EQ(store.GetModel(5).id, 0);
    EXPECT_EQ(store.GetLineModel(5).id, 0);
    addBill();
    const m_recordSet all = store.GetListForCondition({});
    EXPECT_EQ(all.recordCount, 1);
    EXPECT_EQ(all.recordSet->fieldCount(), 21);
    const int id = all.recordSet->value(0, QStringLiteral("id")).toInt();
    EXPECT_EQ(
        store.GetListForCondition({m_condition(QStringLiteral("id"), QStringLiteral("="), id)}).recordCount,
        1);
    EXPECT_EQ(
        store.GetListForCondition({m_condition(QStringLiteral("id"), QStringLiteral(">"), id)}).recordCount,
        0);
    EXPECT_EQ(store.GetLineListForCondition({}).recordSet->fieldCount(), dir().hasSalePrice ? 35 : 34);
    BillHead empty = head();
    QList<BillLine> none;
    ASSERT_TRUE(store.Add(empty, none).isResult);
    EXPECT_EQ(store.GetModel(empty.id).totalItemRow, QStringLiteral("1单0项"));
    EXPECT_EQ(store.GetBillLines(empty.id).recordCount, 0);
}

INSTANTIATE_TEST_SUITE_P(BothDirections, BillStoreTest, ::testing::ValuesIn(kBillDirections),
                         [](const auto& info) {
                             return std::string(info.param == BillDirection::In ? "Inbound" : "Outbound");
                         });

// The per-direction names carry the partner under their own field names.
class BillFacesTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        storeBillReferences();
    }
};

TEST_F(BillFacesTest, FacesCarryTheirPartnerFieldsAndSalePrice)
{
    dal_rk_head rk;
    m_rk_head h;
    h.accountId = 2;
    h.utypeId = 3;
    h.partnerId = 4;
    h.partnerName = QStringLiteral("供应商甲");
    h.createTime = QStringLiteral("2024-03-01");
    QList<m_rk_detail> rl(1);
    rl[0].goodsCode = QStringLiteral("G1");
    rl[0].goodsId = 11;
    rl[0].locationId = 1;
    rl[0].inPrice = 2;
    rl[0].qty = 3;
    ASSERT_TRUE(rk.Add(h, rl).isResult);
    EXPECT_EQ(h.billNo, QStringLiteral("rk-2403-00001"));
    EXPECT_EQ(rl[0].headId, h.id);
    EXPECT_EQ(rk.GetModel(h.id).partnerName, QStringLiteral("供应商甲"));
    dal_rk_detail rkd;
    EXPECT_EQ(rkd.GetModel(rl[0].id).partnerId, 4);
    EXPECT_DOUBLE_EQ(rkd.GetModel(rl[0].id).totalAmount, 6);

    dal_ck_head ck;
    m_ck_head c;
    c.accountId = 2;
    c.utypeId = 4;
    c.partnerId = 5;
    c.partnerName = QStringLiteral("客户乙");
    c.createTime = QStringLiteral("2024-03-01");
    QList<m_ck_detail> cl(1);
    cl[0].goodsId = 11;
    cl[0].locationId = 1;
    cl[0].inPrice = 2;
    cl[0].salePrice = 12.5;
    cl[0].qty = 3;
    ASSERT_TRUE(ck.Add(c, cl).isResult);
    EXPECT_EQ(c.billNo, QStringLiteral("ck-2403-00001"));
    const m_ck_detail back = dal_ck_detail().GetModel(cl[0].id);
    EXPECT_EQ(back.partnerName, QStringLiteral("客户乙"));
    EXPECT_DOUBLE_EQ(back.inPrice, 2);
    EXPECT_DOUBLE_EQ(back.totalAmount, 37.5);
    c.ispass = 1;
    EXPECT_TRUE(ck.Update_pass(c).isResult);
    EXPECT_EQ(ck.Update_pass(c).str_MsgBox, QStringLiteral("当前单据已经审核,不能再审核!"));
    EXPECT_EQ(ck.Delete(c.id).str_MsgBox, QStringLiteral("当前单据已审核,不能删除!"));
}

} // namespace
