#include "CatalogueFixture.h"

#include "dal_goods_detail.h"

#include <QSqlQuery>

namespace
{

class GoodsDetailTest : public CatalogueTest
{
  protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        const m_DBresult r = RunTrans([this] {
            addGoods(1, QStringLiteral("A100"),
                     {QStringLiteral("瓶:6901"), QStringLiteral("盒:6902"), QStringLiteral("箱")});
            addGoods(2, QStringLiteral("O'NEIL"), {QStringLiteral("个:O'7")});
            addGoods(3, QStringLiteral("B200"), {QStringLiteral("个:6903")}, QStringLiteral("禁用"));
            addGoods(4, QStringLiteral("C300"), {QStringLiteral("个:6904")}, QStringLiteral("替代"));
            addGoods(5, QStringLiteral("D400"), {QStringLiteral("个")});
        });
        ASSERT_TRUE(r.isResult) << r.str_MsgBox.toStdString();
    }
    dal_goods_detail dal;
};

struct LookupCase {
    const char* name;
    const char* typed;
    int goodsId;
    int expectedId; // 0: nothing found; -1: any unit of the item
    int expectedCount;
    const char* expectedUtype;
};

TEST_F(GoodsDetailTest, BillEntryLookup)
{
    const LookupCase cases[] = {
        {"goods code finds every unit", "A100", 0, -1, 3, "goodsCode"},
        {"goods code with one unit id", "A100", 12, 12, 1, "goodsCode"},
        {"barcode finds its one unit", "6902", 0, 12, 1, "barcode"},
        {"lower-case goods code", "a100", 0, -1, 3, "goodsCode"},
        {"lower-case barcode with apostrophe", "o'7", 0, 21, 1, "barcode"},
        {"goods code with apostrophe", "O'NEIL", 0, 21, 1, "goodsCode"},
        {"disabled item by code", "B200", 0, 0, 0, ""},
        {"disabled item by barcode", "6903", 0, 0, 0, ""},
        {"replaced item", "C300", 0, 0, 0, ""},
        {"unknown code", "ZZZ", 0, 0, 0, ""},
        {"empty text never matches units without barcode", "", 0, 0, 0, ""},
        {"unit id of another code", "6901", 12, 0, 0, ""},
        {"a quote alone", "'", 0, 0, 0, ""},
        {"wildcards are literal", "A10%", 0, 0, 0, ""},
    };
    for (const LookupCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString typed = QString::fromUtf8(c.typed);
        const m_goods_detail m = dal.GetModelForInput(typed, c.goodsId);
        EXPECT_EQ(m.irowsCount, c.expectedCount);
        if (c.expectedId == 0) {
            EXPECT_EQ(m.id, 0);
            EXPECT_TRUE(m.inputGoodsCode.isEmpty());
            continue;
        }
        if (c.expectedId > 0) {
            EXPECT_EQ(m.id, c.expectedId);
        }
        EXPECT_EQ(m.inputGoodsCode, typed); // as typed, not as stored
        EXPECT_EQ(m.utype, QString::fromUtf8(c.expectedUtype));
        EXPECT_EQ(m.status, QStringLiteral("启用"));
    }
}

TEST_F(GoodsDetailTest, LookupCopiesUnitAndItemColumns)
{
    const m_goods_detail m = dal.GetModelForInput(QStringLiteral("6902"));
    EXPECT_EQ(m.headId, 1);
    EXPECT_EQ(m.rowNo, 2);
    EXPECT_EQ(m.isDefault, 0);
    EXPECT_EQ(m.unit, QStringLiteral("盒"));
    EXPECT_EQ(m.goodsDetailCode, QStringLiteral("6902"));
    EXPECT_EQ(m.goodsCode, QStringLiteral("A100"));
    EXPECT_EQ(m.goodsName, QStringLiteral("货品"));
    EXPECT_DOUBLE_EQ(m.packQty, 12);

    // A unit without barcode reads it as empty text.
    const m_goods_detail plain = dal.GetModelForInput(QStringLiteral("D400"));
    EXPECT_EQ(plain.id, 51);
    EXPECT_EQ(plain.goodsDetailCode, QString());
    EXPECT_FALSE(plain.goodsDetailCode.isNull());
}

// Every column of the lookup reads as a record set of the same view reads
// it: numbers stored as text, fractions, a goods type's name, odd values.
TEST_F(GoodsDetailTest, LookupReadsEveryColumnAsTheRecordSetDoes)
{
    exec(QStringLiteral("insert into tb_dictionary (id,utype,uname) values (900,'goodsType','饮料')"));
    exec(QStringLiteral("update tb_goods_head set goodsTypeId=900,goodsDesc='500ml×24',pinyin='KKKL',"
                        "upqty=120.5,downqty='3' where id=1"));
    exec(QStringLiteral("update tb_goods_detail set weight=1.25,inPrice=0.1,salePrice='12.50',packQty=2.5 "
                        "where id=12"));
    exec(QStringLiteral("update tb_goods_detail set weight='abc',inPrice=-3,salePrice=1e3 where id=11"));
    const struct {
        const char* typed;
        int goodsId;
    } cases[] = {{"6902", 0}, {"6901", 0}, {"a100", 0}, {"A100", 13}, {"o'7", 0}, {"D400", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const QString typed = QString::fromUtf8(c.typed);
        const m_goods_detail m = dal.GetModelForInput(typed, c.goodsId);
        const RecordSetPtr rs = ExecuteSql(
            QStringLiteral(
                "select * from v_goods_detail_input where status='启用' and inputGoodsCode=@code") +
                (c.goodsId > 0 ? QStringLiteral(" and id=@id") : QString()),
            ParamMap{{QStringLiteral("@code"), typed}, {QStringLiteral("@id"), c.goodsId}});
        ASSERT_FALSE(rs->isEmpty());
        EXPECT_EQ(m.irowsCount, rs->RecordCount());
        EXPECT_EQ(m.utype, rs->text(0, QStringLiteral("utype")));
        const std::pair<const char*, int> integers[] = {{"id", m.id},
                                                        {"headId", m.headId},
                                                        {"rowNo", m.rowNo},
                                                        {"goodsTypeId", m.goodsTypeId},
                                                        {"isDefault", m.isDefault}};
        for (const auto& [field, value] : integers)
            EXPECT_EQ(value, rs->integer(0, QString::fromLatin1(field))) << field;
        const std::pair<const char*, QString> texts[] = {{"goodsTypeName", m.goodsTypeName},
                                                         {"goodsCode", m.goodsCode},
                                                         {"goodsDetailCode", m.goodsDetailCode},
                                                         {"goodsName", m.goodsName},
                                                         {"goodsDesc", m.goodsDesc},
                                                         {"pinyin", m.pinyin},
                                                         {"status", m.status},
                                                         {"unit", m.unit}};
        for (const auto& [field, value] : texts)
            EXPECT_EQ(value, rs->text(0, QString::fromLatin1(field))) << field;
        const std::pair<const char*, double> numbers[] = {{"upqty", m.upqty},     {"downqty", m.downqty},
                                                          {"packQty", m.packQty}, {"weight", m.weight},
                                                          {"inPrice", m.inPrice}, {"salePrice", m.salePrice}};
        for (const auto& [field, value] : numbers)
            EXPECT_EQ(value, rs->number(0, QString::fromLatin1(field))) << field;
    }
    // The odd values as the record set gives them.
    const m_goods_detail odd = dal.GetModelForInput(QStringLiteral("6901"));
    EXPECT_EQ(odd.weight, 0);
    EXPECT_EQ(odd.inPrice, -3);
    EXPECT_EQ(odd.salePrice, 1000);
    EXPECT_EQ(dal.GetModelForInput(QStringLiteral("6902")).goodsTypeName, QStringLiteral("饮料"));
}

// The lookup keeps no statement across a closed connection: after the
// database was changed by another program while closed, it reads the change.
TEST_F(GoodsDetailTest, LookupAfterTheConnectionWasClosed)
{
    EXPECT_EQ(dal.GetModelForInput(QStringLiteral("6902")).unit, QStringLiteral("盒"));
    CloseConn();
    {
        OtherWorkstation other(CurrentDbFile());
        other.exec(QStringLiteral("update tb_goods_detail set unit='箱子' where id=12"));
        other.exec(QStringLiteral("delete from tb_goods_detail where id=13"));
    }
    EXPECT_EQ(dal.GetModelForInput(QStringLiteral("6902")).unit, QStringLiteral("箱子"));
    EXPECT_EQ(dal.GetModelForInput(QStringLiteral("A100")).irowsCount, 2);
    EXPECT_TRUE(IsConnOpen());
}

TEST_F(GoodsDetailTest, UnitWithNullBarcodeHasOnlyItsCodeRow)
{
    exec(QStringLiteral("update tb_goods_detail set goodsDetailCode=null where id=51"));
    EXPECT_EQ(count(QStringLiteral("v_goods_detail_input"), QStringLiteral("id=51")), 1);
    EXPECT_EQ(dal.GetModelForInput(QStringLiteral("D400")).goodsDetailCode, QString());
    // Two rows for each unit with barcode, one for each without.
    EXPECT_EQ(count(QStringLiteral("v_goods_detail_input")), 7 + 5);
}

// A scanner waits on this lookup: both entry codes must be found through an index.
TEST_F(GoodsDetailTest, LookupUsesIndexesForCodeAndBarcode)
{
    QSqlQuery q(SharedConn());
    ASSERT_TRUE(q.prepare(QStringLiteral("explain query plan select id from v_goods_detail_input where "
                                         "status='启用' and (inputGoodsCode=?)")));
    q.addBindValue(QStringLiteral("x"));
    ASSERT_TRUE(q.exec());
    QStringList plan;
    while (q.next())
        plan << q.value(3).toString();
    const QString text = plan.join(QLatin1Char('\n'));
    EXPECT_TRUE(text.contains(QStringLiteral("ix_goods_input_key_code"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("SCAN"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("SCAN g"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("SCAN h"))) << text.toStdString();
}

TEST_F(GoodsDetailTest, DefaultUnitAndSingleUnit)
{
    EXPECT_EQ(dal.GetModelForDefault(1).id, 11);
    EXPECT_EQ(dal.GetModelForDefault(99).id, 0);
    exec(QStringLiteral("update tb_goods_detail set isDefault=0 where headId=5"));
    EXPECT_EQ(dal.GetModelForDefault(5).id, 0);

    const m_goods_detail m = dal.GetModel(13);
    EXPECT_EQ(m.unit, QStringLiteral("箱"));
    EXPECT_EQ(m.goodsCode, QStringLiteral("A100"));
    EXPECT_EQ(dal.GetModel(999).id, 0);
}

TEST_F(GoodsDetailTest, UpdateDefaultMovesTheMark)
{
    const m_DBresult r = dal.Update_Default(13, 1);
    ASSERT_TRUE(r.isResult) << r.str_MsgBox.toStdString();
    EXPECT_EQ(unitsOf(1), (QStringList{"11:瓶:0", "12:盒:0", "13:箱:1"}));
    // Marking the unit that already is the default changes nothing.
    EXPECT_TRUE(dal.Update_Default(13, 1).isResult);
    EXPECT_EQ(unitsOf(1), (QStringList{"11:瓶:0", "12:盒:0", "13:箱:1"}));
}

TEST_F(GoodsDetailTest, UpdateDefaultRefusesWhatWouldLeaveNoDefault)
{
    const struct {
        const char* name;
        int unitId;
        int headId;
    } cases[] = {
        {"unit of another item", 21, 1},
        {"unit that does not exist", 99, 1},
        {"item that does not exist", 11, 99},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const m_DBresult r = dal.Update_Default(c.unitId, c.headId);
        EXPECT_FALSE(r.isResult);
        EXPECT_EQ(r.str_MsgBox, QStringLiteral("当前记录不存在!"));
        EXPECT_EQ(unitsOf(1), (QStringList{"11:瓶:1", "12:盒:0", "13:箱:0"}));
        EXPECT_EQ(unitsOf(2), (QStringList{"21:个:1"}));
    }
}

TEST_F(GoodsDetailTest, DeleteOneUnit)
{
    EXPECT_TRUE(dal.Delete(12).isResult);
    EXPECT_EQ(unitsOf(1), (QStringList{"11:瓶:1", "13:箱:0"}));

    const m_DBresult def = dal.Delete(11);
    EXPECT_FALSE(def.isResult);
    EXPECT_EQ(def.str_MsgBox, QStringLiteral("默认包装单位,不能删除!"));
    const m_DBresult gone = dal.Delete(12);
    EXPECT_FALSE(gone.isResult);
    EXPECT_EQ(gone.str_MsgBox, QStringLiteral("当前记录不存在!"));
    EXPECT_EQ(unitsOf(1), (QStringList{"11:瓶:1", "13:箱:0"}));
}

// Add and Update keep exactly one default unit per goods item: a change that
// would leave none or two is refused with the rule's text and writes nothing.
TEST_F(GoodsDetailTest, AddAndUpdateKeepOneDefaultUnit)
{
    ASSERT_TRUE(RunTrans([this] { addGoods(6, QStringLiteral("E500"), {}); }).isResult);
    const auto unit = [](int id, int headId, int isDefault, const char* name) {
        m_goods_detail m;
        m.id = id;
        m.headId = headId;
        m.isDefault = isDefault;
        m.rowNo = id % 10;
        m.unit = QString::fromUtf8(name);
        m.packQty = 1;
        return m;
    };
    struct Case {
        const char* name;
        bool add; // else update
        m_goods_detail unit;
        bool allowed;
    };
    const Case cases[] = {
        {"a further plain unit", true, unit(14, 1, 0, "托"), true},
        {"a second default unit", true, unit(14, 1, 1, "托"), false},
        {"the first unit of an item, not default", true, unit(61, 6, 0, "个"), false},
        {"the first unit of an item, default", true, unit(61, 6, 1, "个"), true},
        {"renaming a plain unit", false, unit(12, 1, 0, "小盒"), true},
        {"marking a second default", false, unit(12, 1, 1, "盒"), false},
        {"unmarking the only default", false, unit(11, 1, 0, "瓶"), false},
        {"moving the default unit to another item", false, unit(11, 5, 1, "瓶"), false},
    };
    ExecuteSql(QStringLiteral("create temp table unitsBefore as select * from tb_goods_detail"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QVariant before = scalar(
            "select group_concat(id||':'||headId||':'||isDefault||':'||unit, ',') from tb_goods_detail");
        try {
            if (c.add)
                dal.Add(c.unit);
            else
                dal.Update(c.unit);
            EXPECT_TRUE(c.allowed);
        } catch (const DbError& e) {
            EXPECT_FALSE(c.allowed);
            EXPECT_EQ(e.message(), dal_goods_detail::kNoDefaultUnitText);
            EXPECT_EQ(scalar("select group_concat(id||':'||headId||':'||isDefault||':'||unit, ',') "
                             "from tb_goods_detail"),
                      before);
        }
        ASSERT_TRUE(RunTrans([] {
                        ExecuteSql(QStringLiteral("delete from tb_goods_detail"));
                        ExecuteSql(QStringLiteral("insert into tb_goods_detail select * from unitsBefore"));
                    }).isResult);
    }
}

class BatchUpdateTest : public GoodsDetailTest
{
  protected:
    static void put(KeyValue& batch, const m_goods_detail& u)
    {
        batch.AddItem(
            QString::number(u.id) +
                QStringLiteral("|insert into tb_goods_detail "
                               "(id,headId,isDefault,rowNo,goodsDetailCode,unit,packQty,weight,inPrice,"
                               "salePrice ) "
                               " values ("
                               "@id,@headId,@isDefault,@rowNo,@goodsDetailCode,@unit,@packQty,@weight,"
                               "@inPrice,@salePrice "
                               ") "),
            QVariant::fromValue(u));
    }
};

TEST_F(BatchUpdateTest, ReplacesAllUnitsOfTheItem)
{
    KeyValue batch;
    put(batch, unit(100, 1, 0, 1, QStringLiteral("袋"), QStringLiteral("7001")));
    put(batch, unit(101, 1, 1, 2, QStringLiteral("件")));
    const m_DBresult r = dal.Batch_Update(1, batch);
    ASSERT_TRUE(r.isResult) << r.str_MsgBox.toStdString();
    EXPECT_EQ(unitsOf(1), (QStringList{"100:袋:0", "101:件:1"}));
    EXPECT_EQ(unitsOf(2), (QStringList{"21:个:1"}));
    EXPECT_EQ(dal.GetModelForInput(QStringLiteral("7001")).id, 100);
    EXPECT_EQ(dal.GetModelForInput(QStringLiteral("6901")).id, 0);
}

TEST_F(BatchUpdateTest, FailureKeepsTheOldUnits)
{
    const struct {
        const char* name;
        QList<m_goods_detail> units;
        const char* message; // "" = the database's own text
    } cases[] = {
        {"duplicate id fails the second insert",
         {unit(100, 1, 1, 1, QStringLiteral("袋")), unit(100, 1, 0, 2, QStringLiteral("件"))},
         ""},
        {"id taken by another item's unit", {unit(21, 1, 1, 1, QStringLiteral("袋"))}, ""},
        {"no default unit",
         {unit(100, 1, 0, 1, QStringLiteral("袋")), unit(101, 1, 0, 2, QStringLiteral("件"))},
         "货品必须有且只有一个默认包装单位!"},
        {"two default units",
         {unit(100, 1, 1, 1, QStringLiteral("袋")), unit(101, 1, 1, 2, QStringLiteral("件"))},
         "货品必须有且只有一个默认包装单位!"},
        {"empty list", {}, "至少需要保存1个包装单位!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        KeyValue batch;
        int n = 0;
        for (const m_goods_detail& u : c.units) {
            m_goods_detail keyed = u;
            batch.AddItem(
                QStringLiteral("%1|insert into tb_goods_detail (id,headId,isDefault,rowNo,goodsDetailCode,"
                               "unit,packQty,weight,inPrice,salePrice ) values (@id,@headId,@isDefault,"
                               "@rowNo,@goodsDetailCode,@unit,@packQty,@weight,@inPrice,@salePrice ) ")
                    .arg(++n),
                QVariant::fromValue(keyed));
        }
        const m_DBresult r = dal.Batch_Update(1, batch);
        EXPECT_FALSE(r.isResult);
        EXPECT_FALSE(r.str_MsgBox.isEmpty());
        if (*c.message) {
            EXPECT_EQ(r.str_MsgBox, QString::fromUtf8(c.message));
        }
        EXPECT_EQ(unitsOf(1), (QStringList{"11:瓶:1", "12:盒:0", "13:箱:0"}));
    }
}

} // namespace
