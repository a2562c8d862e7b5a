#include "CatalogueFixture.h"
#include "check_GoodsCode.h"

namespace
{

class GoodsCodeCheckTest : public CatalogueTest
{
  protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        addGoods(1, QStringLiteral("A1"), {QStringLiteral("盒:111"), QStringLiteral("箱:222")});
        addGoods(2, QStringLiteral("B2"), {QStringLiteral("个:"), QStringLiteral("包:O'Brien")});
    }
};

TEST_F(GoodsCodeCheckTest, CountsStoredAndNewValuesTogether)
{
    struct Case {
        const char* what;
        QStringList values;
        QList<GoodsBarcode> units;
        QString duplicates; // "" when OK
    };
    const QList<Case> cases = {
        {"nothing to add", {}, {}, {}},
        {"a new value", {QStringLiteral("C3")}, {}, {}},
        {"a new code equal to a barcode", {QStringLiteral("222")}, {}, QStringLiteral("222,")},
        {"letters in other case", {QStringLiteral("a1")}, {}, QStringLiteral("A1,")},
        {"the same value twice", {QStringLiteral("Z9"), QStringLiteral("Z9")}, {}, QStringLiteral("Z9,")},
        {"an apostrophe", {QStringLiteral("o'brien")}, {}, QStringLiteral("O'Brien,")},
        {"an empty value counts once", {QString()}, {}, {}},
        {"a stored unit unchanged", {}, {{11, QStringLiteral(" 111 ")}}, {}},
        {"a stored unit changed to its sibling's", {}, {{11, QStringLiteral("222")}}, QStringLiteral("222,")},
        {"two stored units swapped",
         {},
         {{11, QStringLiteral("222")}, {12, QStringLiteral("111")}},
         QStringLiteral("111,222,")},
        {"a unit no longer stored brings its barcode",
         {},
         {{99, QStringLiteral("111")}},
         QStringLiteral("111,")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const m_DBresult r = check_GoodsCode(c.values, c.units);
        EXPECT_EQ(r.isResult, c.duplicates.isEmpty());
        if (!c.duplicates.isEmpty()) {
            EXPECT_EQ(r.str_MsgBox, QStringLiteral("有以下条码重复:\r\n") + c.duplicates +
                                        QStringLiteral("\r\n请重新设置!"));
            EXPECT_EQ(r.int_Count, int(c.duplicates.count(',')));
        }
    }
}

TEST_F(GoodsCodeCheckTest, AStoredDuplicateIsReportedOnlyWhenSomethingIsAdded)
{
    exec("update tb_goods_head set goodsCode='a1' where id=2");
    EXPECT_TRUE(check_GoodsCode({}).isResult) << "nothing to add runs no query";
    const m_DBresult r = check_GoodsCode({QStringLiteral("NEW")});
    EXPECT_FALSE(r.isResult);
    EXPECT_TRUE(r.str_MsgBox.contains(QStringLiteral("A1"), Qt::CaseInsensitive));
}

} // namespace
