#include "CatalogueFixture.h"

#include "dal_dictionary.h"
#include "dal_goods_detail.h"
#include "dal_goods_head.h"

namespace
{

class CatalogueListTest : public CatalogueTest
{
  protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        const m_DBresult r = RunTrans([this] {
            exec(QStringLiteral(
                "insert into tb_dictionary (id,utype,uname,parentId) values "
                "(10,'goodsType','饮料',0),(11,'goodsType','果汁',10),(12,'customerType','饮料',0)"));
            addGoods(1, QStringLiteral("A100"),
                     {QStringLiteral("瓶:6901"), QStringLiteral("盒"), QStringLiteral("箱:6903")},
                     QStringLiteral("启用"), QStringLiteral("可乐"));
            addGoods(2, QStringLiteral("B200"), {QStringLiteral("个:O'7")}, QStringLiteral("禁用"),
                     QStringLiteral("雪碧"));
            addGoods(3, QStringLiteral("C300"), {QStringLiteral("个")}, QStringLiteral("启用"),
                     QStringLiteral("O'Brien"));
        });
        ASSERT_TRUE(r.isResult) << r.str_MsgBox.toStdString();
    }

    static QStringList column(const RecordSetPtr& rs, const QString& field)
    {
        QStringList out;
        for (int r = 0; r < rs->RecordCount(); ++r)
            out << rs->text(r, field);
        return out;
    }
};

TEST_F(CatalogueListTest, UnitsListDefaultFirstThenByRowNumber)
{
    // The default unit is the last by row number here, and two units share a row number.
    exec(QStringLiteral("update tb_goods_detail set isDefault=0 where headId=1"));
    exec(QStringLiteral("update tb_goods_detail set isDefault=1, rowNo=9 where id=12"));
    exec(QStringLiteral("update tb_goods_detail set rowNo=2 where id=11"));
    exec(QStringLiteral("update tb_goods_detail set rowNo=2 where id=13"));
    dal_goods_detail dal;
    const m_recordSet r = dal.GetListForCondition(
        {m_condition(SearchKey::HeadId, QStringLiteral("="), NList(QStringLiteral("1")))});
    EXPECT_EQ(r.recordCount, 3);
    EXPECT_EQ(column(r.recordSet, QStringLiteral("id")), (QStringList{"12", "11", "13"}));
    EXPECT_EQ(column(r.recordSet, QStringLiteral("goodsDetailCode")), (QStringList{"", "6901", "6903"}));

    // The goods window's own select list.
    const m_recordSet own = dal.GetListForCondition(
        {m_condition(SearchKey::HeadId, QStringLiteral("="), 1)},
        SelectListOf(QStringLiteral("select 0,id,isDefault,isDefault as "
                                    "flgIco,goodsDetailCode,unit,packQty,weight,inPrice,salePrice  ")));
    EXPECT_EQ(own.recordSet->fieldCount(), 10);
    EXPECT_EQ(column(own.recordSet, QStringLiteral("flgIco")), (QStringList{"1", "0", "0"}));
}

TEST_F(CatalogueListTest, PickerSearchOverEntryCodes)
{
    dal_goods_detail dal;
    const QString pickerSelect = QStringLiteral(
        "select id,0,inputGoodsCode,goodsName,goodsDesc,goodsTypeName,unit,packQty,weight,inPrice,status  ");
    const struct {
        const char* keyword;
        QStringList codes; // inputGoodsCode of the enabled rows found, by unit id then code
    } cases[] = {
        {"A100", {"A100", "A100", "A100"}},
        {"a10", {"A100", "A100", "A100"}},
        {"6903", {"A100", "6903"}}, // the code row carries the barcode too
        {"可乐", {"A100", "6901", "A100", "A100", "6903"}},
        {"o'b", {"C300"}},
        {"O'7", {}}, // disabled
        {"HP", {"A100", "6901", "A100", "A100", "6903", "C300"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keyword);
        const m_recordSet r = dal.GetListForInputAndCondition(
            {m_condition(SearchKey::Status, QStringLiteral("="), QStringLiteral("启用")),
             m_condition(SearchKey::Keyword, QStringLiteral("like"), QString::fromUtf8(c.keyword))},
            SelectListOf(pickerSelect + QStringLiteral(" ")));
        QStringList found;
        QList<std::pair<int, QString>> rows;
        for (int i = 0; i < r.recordCount; ++i)
            rows.append({r.recordSet->value(i, QStringLiteral("id")).toInt(),
                         r.recordSet->text(i, QStringLiteral("inputGoodsCode"))});
        std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
            return a.first != b.first ? a.first < b.first : a.second > b.second;
        });
        for (const auto& row : rows)
            found << row.second;
        EXPECT_EQ(found, c.codes);
    }
    // Without a select list, every column of bill entry.
    const m_recordSet all = dal.GetListForInputAndCondition({});
    EXPECT_EQ(all.recordCount, 3 + 2 + 2 + 1);
    EXPECT_EQ(all.recordSet->fieldCount(), 21);
}

TEST_F(CatalogueListTest, GoodsListSearchesAndExports)
{
    exec(QStringLiteral("update tb_goods_head set goodsTypeId=11 where id=1"));
    exec(QStringLiteral("update tb_goods_head set pinyin='' where id=3"));
    dal_goods_head dal;
    const m_recordSet byKeyword = dal.GetListForCondition(
        {m_condition(SearchKey::Keyword, QStringLiteral("like"), QStringLiteral("o'brien"))});
    EXPECT_EQ(column(byKeyword.recordSet, QStringLiteral("id")), (QStringList{"3"}));
    EXPECT_EQ(byKeyword.recordSet->fieldCount(), 15);

    const m_recordSet byType = dal.GetListForCondition(
        {m_condition(SearchKey::GoodsType, QStringLiteral("in"), NList(QStringLiteral("10,11,0"))),
         m_condition(SearchKey::Code, QStringLiteral("="), QStringLiteral("a100"))},
        SelectListOf(QStringLiteral("   ")));
    EXPECT_EQ(column(byType.recordSet, QStringLiteral("goodsTypeName")), (QStringList{"果汁"}));

    EXPECT_EQ(dal.GetListForCondition({}).recordCount, 3);
    const RecordSetPtr exported = dal.GetDataTable({}, true);
    EXPECT_EQ(exported->fields(), (QStringList{"goodsTypeName", "goodsCode", "goodsName", "goodsDesc",
                                               "upqty", "downqty", "status", "creator", "createTime"}));
    const RecordSetPtr plain = dal.GetDataTable({m_condition(SearchKey::Id, QStringLiteral("<>"), 1)});
    EXPECT_EQ(plain->fieldCount(), 14);
    EXPECT_EQ(plain->fieldIndex(QStringLiteral("imageUrl")), -1);
    EXPECT_EQ(plain->RecordCount(), 2);
}

TEST_F(CatalogueListTest, DictionarySearch)
{
    dal_dictionary dal;
    const m_recordSet byType = dal.GetListForCondition(
        {m_condition(SearchKey::Type, QStringLiteral("="), DictionaryType::goodsType)});
    EXPECT_EQ(byType.recordCount, 2);
    EXPECT_FALSE(byType.str_condition.isEmpty());

    const m_recordSet byName =
        dal.GetListForCondition({m_condition(SearchKey::Name, QStringLiteral("="), QStringLiteral("饮料"))},
                                SelectListOf(QStringLiteral("select id,utype")));
    EXPECT_EQ(byName.recordCount, 2);
    EXPECT_EQ(byName.recordSet->fieldCount(), 2);

    EXPECT_EQ(dal.GetListForCondition({}).recordCount, count(QStringLiteral("tb_dictionary")));
}

} // namespace
