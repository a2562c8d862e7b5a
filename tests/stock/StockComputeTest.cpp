#include "StockFixture.h"

#include "sqlHelper.h"

namespace
{
const QString kAcc = QStringLiteral("2,0"); // the initial account tag 默认账套
} // namespace

// Inbound 10 boxes of 12 (2.5 a box), outbound 30 pieces (0.2 a piece): the
// box is the default unit. Unaudited bills and bills of other account tags
// count nothing.
TEST_F(StockTest, WorkedExampleCountsOnlyAuditedLinesOfTheListedTags)
{
    addGoods(1, QStringLiteral("A001"), QStringLiteral("可乐"));
    addBill(QStringLiteral("rk"), 1, 2, true, {{1, 10, 12, 2.5}});
    addBill(QStringLiteral("ck"), 1, 2, true, {{1, 30, 1, 0.2}});
    addBill(QStringLiteral("rk"), 2, 2, false, {{1, 99, 12, 2.5}}); // not audited
    addBill(QStringLiteral("ck"), 2, 2, false, {{1, 7, 1, 0.2}});
    addBill(QStringLiteral("rk"), 3, 9, true, {{1, 50, 12, 2.5}}); // another tag
    addBill(QStringLiteral("ck"), 3, 9, true, {{1, 5, 1, 0.2}});

    dal_rpt_stock dal;
    const m_DBresult r = dal.insert_temp_rpt_stock(kAcc);
    ASSERT_TRUE(r.isResult) << r.str_MsgBox.toStdString();
    EXPECT_EQ(totals(1), QStringList({"120.0", "10.0", "25.0", "30.0", "2.5", "6.0", "90", "7.5", "19"}));

    const RecordSetPtr rs = dal.GetStockQtyForGoodCode(kAcc, 1);
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->text(0, "goodsCode"), "A001");
    EXPECT_EQ(rs->text(0, "goodsTypeName"), "饮料");
    EXPECT_EQ(rs->text(0, "unit"), "箱");
    EXPECT_EQ(rs->value(0, "isDefault").toInt(), 1);
    EXPECT_EQ(rs->fieldCount(), 21);

    // The other tag alone.
    ASSERT_TRUE(dal.insert_temp_rpt_stock(QStringLiteral("9,0")).isResult);
    EXPECT_EQ(totals(1),
              QStringList({"600.0", "50.0", "125.0", "5.0", "0.417", "1.0", "595", "49.583", "124"}));
    // Both tags.
    ASSERT_TRUE(dal.insert_temp_rpt_stock(QStringLiteral("2,9,0")).isResult);
    EXPECT_EQ(totals(1).at(6), "685");
}

// Edge rows: an untouched item has all zeros; a default unit of 0 pieces gives
// 0 default units instead of failing everyone's report; more out than in is
// negative; no default unit, no row; the list "0" gives zeros everywhere.
TEST_F(StockTest, EdgeRowsAndTheEmptyAccountList)
{
    addGoods(1, QStringLiteral("A001"), QStringLiteral("可乐"));
    addGoods(2, QStringLiteral("A002"), QStringLiteral("雪碧"), 0);
    addGoods(3, QStringLiteral("A003"), QStringLiteral("芬达"));
    addGoods(4, QStringLiteral("A004"), QStringLiteral("无默认"), 12, QStringLiteral("饮料"), false);
    addGoods(5, QStringLiteral("A005"), QStringLiteral("无类别"), 12, QString());
    addBill(QStringLiteral("rk"), 1, 2, true, {{2, 3, 6, 1.5}, {3, 1, 12, 2.5}});
    addBill(QStringLiteral("ck"), 1, 2, true, {{2, 1, 6, 1.5}, {3, 2, 12, 2.5}});

    dal_rpt_stock dal;
    ASSERT_TRUE(dal.insert_temp_rpt_stock(kAcc).isResult);
    EXPECT_EQ(totals(1), QStringList({"0", "0", "0", "0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(totals(2), QStringList({"18.0", "0", "4.5", "6.0", "0", "1.5", "12", "0", "3"}));
    EXPECT_EQ(totals(3), QStringList({"12.0", "1.0", "2.5", "24.0", "2.0", "5.0", "-12", "-1", "-2.5"}));
    EXPECT_TRUE(totals(4).isEmpty());
    EXPECT_EQ(dal.GetStockQtyForGoodCode(kAcc, 5)->text(0, "goodsTypeName"), "");
    EXPECT_EQ(dal.GetCount({}), 4);

    ASSERT_TRUE(dal.insert_temp_rpt_stock(QStringLiteral("0")).isResult);
    for (int id : {1, 2, 3})
        EXPECT_EQ(totals(id), QStringList({"0", "0", "0", "0", "0", "0", "0", "0", "0"})) << id;
}

// Sums and balances are rounded (3 places, weights 2, half away from zero),
// so that float noise never leaves a balance of 0.0000000001 that the
// zero-balance filter would keep.
TEST_F(StockTest, SumsAndBalancesAreRoundedToTheirPlaces)
{
    addGoods(1, QStringLiteral("A001"), QStringLiteral("散装"), 3);
    addGoods(2, QStringLiteral("A002"), QStringLiteral("称重"), 1);
    addGoods(3, QStringLiteral("A003"), QStringLiteral("散称"), 1);
    addBill(QStringLiteral("rk"), 1, 2, true,
            {{1, 0.3, 1, 0.125}, {2, 1, 1, 0.125}, {2, 1, 1, 0.01}, {3, 2.345, 1, 0}});
    addBill(QStringLiteral("ck"), 1, 2, true, {{1, 0.1, 1, 0.1}, {1, 0.2, 1, 0.05}, {3, 0.5, 1, 0}});

    dal_rpt_stock dal;
    ASSERT_TRUE(dal.insert_temp_rpt_stock(kAcc).isResult);
    // 0.3 / 3 = 0.1 default units; 0.1 + 0.2 out is 0.30000000000000004 in binary.
    EXPECT_EQ(totals(1), QStringList({"0.3", "0.1", "0.04", "0.3", "0.1", "0.02", "0", "0", "0.02"}));
    EXPECT_EQ(totals(2), QStringList({"2.0", "2.0", "0.14", "0", "0", "0", "2", "2", "0.14"}));
    // Pieces and default units keep their third place, in the sums and in the balances.
    EXPECT_EQ(totals(3), QStringList({"2.345", "2.345", "0", "0.5", "0.5", "0", "1.845", "1.845", "0"}));
    EXPECT_EQ(LiveQty(dal, kAcc, 3), std::optional<double>(1.845));

    m_conditions nonZero;
    nonZero.append(m_condition(SearchKey::Balance, "<>", 0));
    EXPECT_EQ(dal.GetCount(nonZero), 2);
}

// A rebuild that fails leaves the previous rows as they were and says why.
TEST_F(StockTest, FailedRebuildKeepsThePreviousRows)
{
    addGoods(1, QStringLiteral("A001"), QStringLiteral("可乐"));
    addBill(QStringLiteral("rk"), 1, 2, true, {{1, 10, 12, 2.5}});
    dal_rpt_stock dal;
    ASSERT_TRUE(dal.insert_temp_rpt_stock(kAcc).isResult);
    const QStringList before = totals(1);

    addGoods(2, QStringLiteral("A002"), QStringLiteral("雪碧"));
    exec(QStringLiteral("alter table tb_ck_detail rename to tb_ck_detail_gone"));
    const m_DBresult r = dal.insert_temp_rpt_stock(kAcc);
    EXPECT_FALSE(r.isResult);
    EXPECT_EQ(r.str_MsgBox, QStringLiteral("数据库语句执行出错,操作没有完成!"));
    EXPECT_TRUE(r.str_Details.contains("tb_ck_detail")) << r.str_Details.toStdString();
    EXPECT_EQ(totals(1), before);
    EXPECT_EQ(dal.GetCount({}), 1);

    m_PageInfor page;
    const m_recordSet listed = dal.GetListForCondition({}, kAcc, page);
    EXPECT_EQ(listed.str_MsgBox, r.str_MsgBox);
    EXPECT_EQ(listed.recordCount, 0);
    EXPECT_FALSE(listed.recordSet);

    // A malformed account list is refused before anything runs.
    exec(QStringLiteral("alter table tb_ck_detail_gone rename to tb_ck_detail"));
    EXPECT_FALSE(dal.insert_temp_rpt_stock(QStringLiteral("2) or (1=1")).isResult);
    EXPECT_EQ(totals(1), before);
}

// The outbound window's live balance agrees with a rebuild for the same tags,
// without touching the work table.
TEST_F(StockTest, LiveBalanceMatchesTheRebuild)
{
    addGoods(1, QStringLiteral("A001"), QStringLiteral("可乐"));
    addGoods(2, QStringLiteral("A002"), QStringLiteral("散装"));
    addGoods(3, QStringLiteral("A003"), QStringLiteral("无默认"), 12, QStringLiteral("饮料"), false);
    addBill(QStringLiteral("rk"), 1, 2, true, {{1, 10, 12, 2.5}, {2, 0.3, 1, 0}});
    addBill(QStringLiteral("ck"), 1, 2, true, {{1, 30, 1, 0.2}, {2, 0.1, 1, 0}, {2, 0.2, 1, 0}});
    addBill(QStringLiteral("ck"), 2, 2, false, {{1, 500, 1, 0.2}});
    addBill(QStringLiteral("ck"), 3, 9, true, {{1, 500, 1, 0.2}});

    dal_rpt_stock dal;
    EXPECT_EQ(LiveQty(dal, kAcc, 1), std::optional<double>(90));
    EXPECT_EQ(LiveQty(dal, kAcc, 2), std::optional<double>(0));
    EXPECT_EQ(LiveQty(dal, QStringLiteral("2,9,0"), 1), std::optional<double>(-410));
    EXPECT_EQ(LiveQty(dal, QStringLiteral("0"), 1), std::optional<double>(0));
    EXPECT_FALSE(LiveQty(dal, kAcc, 3).has_value());
    EXPECT_FALSE(LiveQty(dal, kAcc, 99).has_value());
    EXPECT_EQ(dal.GetCount({}), 0); // nothing was rebuilt

    ASSERT_TRUE(dal.insert_temp_rpt_stock(kAcc).isResult);
    EXPECT_EQ(totals(1).at(6), "90");
}

// The listing: conditions, numeric order of the totals with the id breaking
// ties, and pages read one at a time.
TEST_F(StockTest, ListingFiltersOrdersAndPages)
{
    addGoods(1, QStringLiteral("B01"), QStringLiteral("百"));
    addGoods(2, QStringLiteral("B02"), QStringLiteral("二十"));
    addGoods(3, QStringLiteral("B03"), QStringLiteral("三"));
    addGoods(4, QStringLiteral("B04"), QStringLiteral("零"), 12, QStringLiteral("零食"));
    // An item whose type is gone, as a file of the layout before the declared
    // references may hold.
    exec(QStringLiteral("drop trigger tr_goods_head_refs_update"));
    exec(QStringLiteral("update tb_goods_head set goodsTypeId=999, pinyin='' where id=3"));
    addBill(QStringLiteral("rk"), 1, 2, true, {{1, 100, 1, 0}, {2, 20, 1, 0}, {3, 3, 1, 0}});

    dal_rpt_stock dal;
    m_PageInfor page;
    page.sortKey = dal.SortBy(QStringLiteral("totalBlanceQty"));
    page.isDesc = true;
    page.int_PageSize = 2;
    page.int_currentPageIndex = 1;
    m_recordSet r = dal.GetListForCondition({}, kAcc, page);
    ASSERT_TRUE(r.str_MsgBox.isEmpty());
    EXPECT_EQ(r.recordCount, 4);
    ASSERT_EQ(r.recordSet->RecordCount(), 2);
    EXPECT_EQ(r.recordSet->text(0, "totalBlanceQty"), "100"); // as numbers: 100 before 20
    EXPECT_EQ(r.recordSet->text(1, "totalBlanceQty"), "20");

    // A page beyond the last reads the last.
    page.int_currentPageIndex = 7;
    r = dal.GetListForCondition({}, kAcc, page);
    ASSERT_EQ(r.recordSet->RecordCount(), 2);
    EXPECT_EQ(r.recordSet->text(0, "goodsCode"), "B03");
    EXPECT_EQ(r.recordSet->text(1, "goodsCode"), "B04");

    // The keyword spans the end of the code and the start of the name, and
    // finds an item without pinyin, description and goods type.
    m_conditions conds;
    conds.append(m_condition(SearchKey::Keyword, "like", QStringLiteral("03三")));
    page.int_currentPageIndex = 1;
    r = dal.GetListForCondition(conds, kAcc, page);
    ASSERT_EQ(r.recordCount, 1);
    EXPECT_EQ(r.recordSet->text(0, "goodsCode"), "B03");
    EXPECT_FALSE(r.str_condition.isEmpty());

    // Goods type and the zero-balance filter; the kept condition reads the same rows again.
    conds.clear();
    conds.append(m_condition(SearchKey::GoodsTypeName, "=", QStringLiteral("饮料")));
    conds.append(m_condition(SearchKey::Balance, "<>", 0));
    page.sortKey = dal.SortBy(QStringLiteral("goodsCode"));
    r = dal.GetListForCondition(conds, kAcc, page);
    EXPECT_EQ(r.recordCount, 2);
    page.isDesc = true;
    const RecordSetPtr all = dal.GetDataTable(dal.OrderText(page), true);
    ASSERT_EQ(all->RecordCount(), 2);
    EXPECT_EQ(all->fields(), dal_rpt_stock::ExportColumns());
    EXPECT_EQ(all->text(0, "goodsCode"), "B02");

    EXPECT_EQ(dal_rpt_stock::OrderExpression(QStringLiteral("totalBlanceQty")),
              "CAST(totalBlanceQty AS REAL)");
    EXPECT_EQ(dal_rpt_stock::OrderExpression(QStringLiteral("goodsCode")), "goodsCode");
    EXPECT_THROW(dal_rpt_stock::OrderExpression(QStringLiteral("goodsCode; drop table x")), DbError);
}
