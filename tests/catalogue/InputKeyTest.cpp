#include "CatalogueFixture.h"

#include "dal_goods_detail.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace
{

// The entry codes as the units and items say they must be, built the long way
// (one branch per entry code, the keyword text concatenated on the fly).
const char* const kExpectedKeys =
    "select 0 as kind, g.id as detailId, h.id as headId, h.goodsCode as inputCode, "
    "COALESCE(h.goodsCode,'')||COALESCE(h.goodsName,'')||COALESCE(h.pinyin,'')||"
    "COALESCE(g.goodsDetailCode,'') as keyText "
    "from tb_goods_detail g join tb_goods_head h on h.id=g.headId "
    "union all "
    "select 1, g.id, h.id, g.goodsDetailCode, "
    "COALESCE(g.goodsDetailCode,'')||COALESCE(h.goodsName,'')||COALESCE(h.pinyin,'')||"
    "COALESCE(g.goodsDetailCode,'') "
    "from tb_goods_detail g join tb_goods_head h on h.id=g.headId where g.goodsDetailCode <> ''";

QStringList rowsOf(const QString& sql, const QVariantList& binds = {})
{
    QSqlQuery q(SharedConn());
    if (!q.prepare(sql))
        return {QStringLiteral("prepare failed: ") + sql};
    for (const QVariant& v : binds)
        q.addBindValue(v);
    if (!q.exec())
        return {QStringLiteral("exec failed: ") + sql};
    QStringList out;
    while (q.next()) {
        QStringList cols;
        for (int k = 0; k < q.record().count(); ++k)
            cols << q.value(k).toString();
        out << cols.join(QLatin1Char('|'));
    }
    out.sort();
    return out;
}

class InputKeyTest : public CatalogueTest
{
  protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        const m_DBresult r = RunTrans([this] {
            addGoods(1, QStringLiteral("A100"),
                     {QStringLiteral("瓶:6901"), QStringLiteral("盒:6902"), QStringLiteral("箱")},
                     QStringLiteral("启用"), QStringLiteral("可口可乐"));
            addGoods(2, QStringLiteral("b_2%"), {QStringLiteral("个:X2")}, QStringLiteral("启用"),
                     QStringLiteral("Café可乐"));
            addGoods(3, QStringLiteral("C300"), {QStringLiteral("个:6903")}, QStringLiteral("禁用"),
                     QStringLiteral("雪碧"));
        });
        ASSERT_TRUE(r.isResult) << r.str_MsgBox.toStdString();
    }

    QStringList keys() const
    {
        return rowsOf(
            QStringLiteral("select kind,detailId,headId,inputCode,keyText from tb_goods_input_key"));
    }
    QStringList expectedKeys() const { return rowsOf(QLatin1String(kExpectedKeys)); }
};

struct WriteCase {
    const char* name;
    QStringList sql;
};

TEST_F(InputKeyTest, KeyRowsFollowEveryWrite)
{
    const QList<WriteCase> cases = {
        {"new item with units and barcodes",
         {QStringLiteral(
              "insert into tb_goods_head (id,goodsCode,goodsName,pinyin) values (4,'D4','新品','XP')"),
          QStringLiteral(
              "insert into tb_goods_detail (id,headId,isDefault,rowNo,goodsDetailCode,unit) values "
              "(41,4,1,1,'6941','个'),(42,4,0,2,null,'箱'),(43,4,0,3,'','盒')")}},
        {"rename", {QStringLiteral("update tb_goods_head set goodsName='百事可乐' where id=1")}},
        {"pinyin", {QStringLiteral("update tb_goods_head set pinyin='BSKL' where id=1")}},
        {"code change", {QStringLiteral("update tb_goods_head set goodsCode='A101' where id=1")}},
        {"item id change", {QStringLiteral("update tb_goods_head set id=9 where id=3")}},
        {"barcode set", {QStringLiteral("update tb_goods_detail set goodsDetailCode='6913' where id=13")}},
        {"barcode cleared", {QStringLiteral("update tb_goods_detail set goodsDetailCode='' where id=11")}},
        {"barcode to null", {QStringLiteral("update tb_goods_detail set goodsDetailCode=null where id=12")}},
        {"barcode changed", {QStringLiteral("update tb_goods_detail set goodsDetailCode='X3' where id=21")}},
        {"unit moved to another item", {QStringLiteral("update tb_goods_detail set headId=2 where id=13")}},
        {"unit id change", {QStringLiteral("update tb_goods_detail set id=99 where id=21")}},
        {"other unit fields", {QStringLiteral("update tb_goods_detail set unit='罐',isDefault=1,packQty=3")}},
        {"unit delete", {QStringLiteral("delete from tb_goods_detail where id=12")}},
        {"item delete",
         {QStringLiteral("delete from tb_goods_detail where headId=2"),
          QStringLiteral("delete from tb_goods_head where id=2")}},
        {"item, then its units",
         {QStringLiteral(
              "insert into tb_goods_head (id,goodsCode,goodsName,pinyin) values (5,'E5','后到','HD')"),
          QStringLiteral(
              "insert into tb_goods_detail (id,headId,isDefault,rowNo,goodsDetailCode,unit) values "
              "(51,5,1,1,'6951','个'),(52,5,0,2,'','箱')")}},
        {"everything cleared",
         {QStringLiteral("delete from tb_goods_detail"), QStringLiteral("delete from tb_goods_head")}},
    };
    ASSERT_EQ(keys(), expectedKeys());
    for (const WriteCase& c : cases) {
        for (const QString& sql : c.sql)
            exec(sql);
        EXPECT_EQ(keys(), expectedKeys()) << c.name;
        if (QLatin1String(c.name) == QLatin1String("item delete")) {
            // A unit names a stored item: one written before its item, or an
            // item deleted before its units, is refused and the keys stay.
            const QStringList before = keys();
            EXPECT_THROW(ExecuteSql(QStringLiteral(
                             "insert into tb_goods_detail (id,headId,isDefault,rowNo,goodsDetailCode,unit) "
                             "values (61,6,1,1,'6961','个')")),
                         DbError);
            EXPECT_THROW(ExecuteSql(QStringLiteral("delete from tb_goods_head where id=1")), DbError);
            EXPECT_EQ(keys(), before);
        }
    }
    EXPECT_EQ(count(QStringLiteral("tb_goods_input_key")), 0);
}

// The keyword field must find exactly what the four joined columns found:
// case folding of ASCII only, % and _ as typed, the status filter, no separator.
TEST_F(InputKeyTest, KeywordFindsWhatTheJoinedColumnsFind)
{
    const QString cols =
        QStringLiteral("select utype,id,headId,goodsCode,goodsDetailCode,inputGoodsCode,goodsName,"
                       "goodsTypeName,unit,packQty,status from ");
    const QString oldField = QStringLiteral("COALESCE(inputGoodsCode,'')||COALESCE(goodsName,'')||COALESCE("
                                            "pinyin,'')||COALESCE(goodsDetailCode,'')");
    for (const char* kw : {"可乐", "a100", "A100可口", "HP6901", "6901可", "6901", "x2", "b_2", "b\\_2", "_",
                           "%", "2%C", "CAFÉ", "café", "hp", "雪碧", "", "没有", "可口可乐hp"}) {
        const QString keyword = QString::fromUtf8(kw);
        const QStringList now =
            rowsOf(cols + QStringLiteral("v_goods_detail_input where status='启用' and ") +
                       dal_goods_detail::kInputKeywordField + QStringLiteral(" like '%'||?||'%'"),
                   {keyword});
        const QStringList before =
            rowsOf(cols + QStringLiteral("v_goods_detail_input where status='启用' and ") + oldField +
                       QStringLiteral(" like '%'||?||'%'"),
                   {keyword});
        EXPECT_EQ(now, before) << kw;
    }
    // The data class's own search, through its condition builder.
    const m_recordSet r = dal_goods_detail().GetListForInputAndCondition(
        {m_condition(SearchKey::Status, QStringLiteral("="), QStringLiteral("启用")),
         m_condition(SearchKey::Keyword, QStringLiteral("like"), QStringLiteral("可乐"))});
    EXPECT_EQ(r.recordCount, 3 + 2 + 2); // item 1: three code rows, two barcode rows; item 2: one of each
}

// Bill entry answers a scan by index; the keyword search reads the key table first.
TEST_F(InputKeyTest, PlansUseTheKeyTable)
{
    auto plan = [](const QString& sql) {
        QSqlQuery q(SharedConn());
        EXPECT_TRUE(q.exec(QStringLiteral("explain query plan ") + sql));
        QStringList lines;
        while (q.next())
            lines << q.value(3).toString();
        return lines;
    };
    for (const QString& where :
         {QStringLiteral("inputGoodsCode='a100'"), QStringLiteral("inputGoodsCode='6901' and id=11")}) {
        const QStringList p =
            plan(QStringLiteral("select * from v_goods_detail_input where status='启用' and ") + where);
        const QString text = p.join(QLatin1Char('\n'));
        EXPECT_FALSE(text.contains(QStringLiteral("SCAN"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("SEARCH k USING INDEX"))) << text.toStdString();
    }
    const QStringList p =
        plan(QStringLiteral("select id from v_goods_detail_input where status='启用' and ") +
             dal_goods_detail::kInputKeywordField + QStringLiteral(" like '%x%'"));
    ASSERT_FALSE(p.isEmpty());
    EXPECT_EQ(p.first(), QStringLiteral("SCAN k")) << p.join(QLatin1Char('\n')).toStdString();
}

} // namespace
