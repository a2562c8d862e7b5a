// The database refuses rows that name nothing: a bill line's goods item,
// location and bill, a bill's partner, account tag and bill type, a packing
// unit's goods item, a child's parent, a goods item's type; and the delete of
// a row that others still name. A file of the older layout
// is brought to the same objects as a fresh one.

#include "TestEnv.h"

#include "DbCreator.h"
#include "OlderDatabase.h"
#include "SchemaVersion.h"
#include "sqlHelper.h"

#include <QDir>
#include <map>

namespace
{

class SchemaRefsTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        CloseConn();
        file = appDir() + QStringLiteral("wms.db");
        ASSERT_TRUE(
            RunOnFile(file, {QStringLiteral("INSERT INTO tb_dictionary (id, utype, uname) VALUES "
                                            "(5, 'goodsType', '饮料')"),
                             QStringLiteral("INSERT INTO tb_customer (id, uname) VALUES (7, '甲')"),
                             QStringLiteral("INSERT INTO tb_location (id, locationCode) VALUES (1, 'A')"),
                             QStringLiteral("INSERT INTO tb_goods_head (id, goodsTypeId, goodsCode) VALUES "
                                            "(11, 5, 'G11')"),
                             QStringLiteral("INSERT INTO tb_rk_head (id, supplierId) VALUES (1, 7)"),
                             QStringLiteral("INSERT INTO tb_ck_head (id, customerId) VALUES (1, 7)")})
                .isEmpty());
    }

    QString file;
};

} // namespace

// Each statement runs alone on the file (another program's connection, with
// no setting of its own) and is refused by the database itself, or taken
// where 0 names none.
TEST_F(SchemaRefsTest, TheDatabaseRefusesRowsThatNameNothing)
{
    const struct {
        QString sql;
        const char* refusal; // nullptr: taken
    } cases[] = {
        {"INSERT INTO tb_rk_detail (headId, goodsId, locationId) VALUES (1, 12, 1)", "入库明细的货品不存在!"},
        {"INSERT INTO tb_rk_detail (headId, goodsId, locationId) VALUES (1, 11, 2)", "入库明细的库位不存在!"},
        {"INSERT INTO tb_rk_detail (headId, goodsId, locationId) VALUES (2, 11, 1)", "入库明细的单据不存在!"},
        {"INSERT INTO tb_ck_detail (headId, goodsId, locationId) VALUES (1, 12, 1)", "出库明细的货品不存在!"},
        {"INSERT INTO tb_ck_detail (headId, goodsId, locationId) VALUES (1, 11, 2)", "出库明细的库位不存在!"},
        {"INSERT INTO tb_ck_detail (headId, goodsId, locationId) VALUES (2, 11, 1)", "出库明细的单据不存在!"},
        {"INSERT INTO tb_rk_detail (headId, goodsId, locationId) VALUES (0, 0, 0)", nullptr},
        {"UPDATE tb_rk_detail SET goodsId = 12", "入库明细的货品不存在!"},
        {"UPDATE tb_rk_detail SET locationId = 2", "入库明细的库位不存在!"},
        {"INSERT INTO tb_rk_head (id, supplierId) VALUES (2, 8)", "入库单的往来单位不存在!"},
        {"INSERT INTO tb_ck_head (id, customerId) VALUES (2, 8)", "出库单的往来单位不存在!"},
        {"UPDATE tb_rk_head SET supplierId = 8", "入库单的往来单位不存在!"},
        {"UPDATE tb_ck_head SET customerId = 8", "出库单的往来单位不存在!"},
        {"INSERT INTO tb_rk_head (id, supplierId) VALUES (3, 0)", nullptr},
        {"INSERT INTO tb_rk_head (id, accountId) VALUES (4, 99)", "入库单的账目标识不存在!"},
        {"INSERT INTO tb_ck_head (id, utypeId) VALUES (4, 99)", "出库单的出库类别不存在!"},
        {"UPDATE tb_rk_head SET utypeId = 99", "入库单的入库类别不存在!"},
        {"UPDATE tb_ck_head SET accountId = 99", "出库单的账目标识不存在!"},
        {"INSERT INTO tb_dictionary (id, utype, uname) VALUES (8, 'accountType', '总账')", nullptr},
        {"UPDATE tb_ck_head SET accountId = 8 WHERE id = 1", nullptr},
        {"DELETE FROM tb_dictionary WHERE id = 8", "当前账目标识在出库表已经建账,不能删除!"},
        {"INSERT INTO tb_goods_head (id, goodsTypeId) VALUES (12, 6)", "货品的类别不存在!"},
        {"UPDATE tb_goods_head SET goodsTypeId = 6", "货品的类别不存在!"},
        {"INSERT INTO tb_location (id, parentId) VALUES (2, 9)", "上级库位不存在!"},
        {"UPDATE tb_location SET parentId = 9", "上级库位不存在!"},
        {"INSERT INTO tb_location (id, parentId) VALUES (2, 1)", nullptr},
        {"INSERT INTO tb_dictionary (id, parentId) VALUES (30, 29)", "上级项目不存在!"},
        {"UPDATE tb_dictionary SET parentId = 29 WHERE id = 5", "上级项目不存在!"},
        {"INSERT INTO tb_dictionary (id, utype, parentId) VALUES (6, 'goodsType', 5)", nullptr},
        // Rows that others name stay.
        {"INSERT INTO tb_rk_detail (headId, goodsId, locationId) VALUES (1, 11, 1)", nullptr},
        {"INSERT INTO tb_ck_detail (headId, goodsId, locationId) VALUES (1, 11, 1)", nullptr},
        {"DELETE FROM tb_goods_head WHERE id = 11", "当前货品在入库表已经建账,不能删除!"},
        {"DELETE FROM tb_location WHERE id = 1", "当前库位在入库表已经建账,不能删除!"},
        {"DELETE FROM tb_customer WHERE id = 7", "当前往来单位在入库表已经建账,不能删除!"},
        {"DELETE FROM tb_dictionary WHERE id = 5", "当前货品类别在货品信息表已经建账,不能删除!"},
        {"DELETE FROM tb_rk_head WHERE id = 1", "入库单还有明细,不能删除!"},
        {"DELETE FROM tb_ck_head WHERE id = 1", "出库单还有明细,不能删除!"},
        {"DELETE FROM tb_rk_detail", nullptr},
        {"DELETE FROM tb_goods_head WHERE id = 11", "当前货品在出库表已经建账,不能删除!"},
        {"DELETE FROM tb_location WHERE id = 1", "当前库位在出库表已经建账,不能删除!"},
        {"DELETE FROM tb_rk_head", nullptr},
        {"DELETE FROM tb_customer WHERE id = 7", "当前往来单位在出库表已经建账,不能删除!"},
        // Clearing in the order of the data clearing goes through.
        {"DELETE FROM tb_ck_detail", nullptr},
        {"DELETE FROM tb_ck_head", nullptr},
        {"DELETE FROM tb_customer", nullptr},
        {"INSERT INTO tb_goods_detail (id, headId) VALUES (1, 12)", "包装单位的货品不存在!"},
        {"INSERT INTO tb_goods_detail (id, headId, isDefault) VALUES (1, 11, 1)", nullptr},
        {"UPDATE tb_goods_detail SET headId = 12", "包装单位的货品不存在!"},
        {"DELETE FROM tb_goods_head", "当前货品还有包装单位,不能删除!"},
        {"DELETE FROM tb_goods_detail", nullptr},
        {"DELETE FROM tb_goods_head", nullptr},
        {"DELETE FROM tb_location", nullptr},
        {"DELETE FROM tb_dictionary WHERE isSystemSet = 0 AND utype <> 'department'", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql.toStdString());
        const QString error = RunOnFile(file, {c.sql});
        EXPECT_EQ(error.toStdString(), c.refusal ? c.refusal : "");
    }
}

// A file of the layout before the references is brought up when opened and
// then holds exactly the objects of a fresh file, word for word, and the same
// rows: the initial rows and the starts of the id sequences.
TEST_F(SchemaRefsTest, AnUpgradedFileHoldsWhatAFreshFileHolds)
{
    const QString older = appDir() + QStringLiteral("older/wms.db");
    const QString fresh = appDir() + QStringLiteral("fresh/wms.db");
    QDir().mkpath(appDir() + QStringLiteral("older"));
    QDir().mkpath(appDir() + QStringLiteral("fresh"));
    ASSERT_TRUE(CreateDatabase(older, 1).isEmpty());
    ASSERT_TRUE(CreateFreshDatabase(fresh).isEmpty());
    for (const QString& name :
         {QStringLiteral("tr_rk_detail_refs_insert"), QStringLiteral("ix_customer_serial")})
        ASSERT_EQ(SchemaObjects(older).count(name), 0u) << name.toStdString();
    ASSERT_LT(SchemaObjects(older).size(), SchemaObjects(fresh).size());

    SetAppPathOverride(appDir() + QStringLiteral("older"));
    EXPECT_EQ(ExecuteSql(QStringLiteral("PRAGMA user_version"))->value(0, 0).toInt(), kSchemaVersion);
    CloseConn();
    SetAppPathOverride(appDir());

    const auto upgraded = SchemaObjects(older);
    const auto made = SchemaObjects(fresh);
    for (const auto& [name, text] : made) {
        SCOPED_TRACE(name.toStdString());
        const auto it = upgraded.find(name);
        ASSERT_NE(it, upgraded.end());
        EXPECT_EQ(it->second, text);
    }
    EXPECT_EQ(upgraded.size(), made.size());
    EXPECT_EQ(TableRows(older), TableRows(fresh));
    EXPECT_TRUE(shown().isEmpty());
}
