#include "TestEnv.h"

#include "DataAccess.h"
#include "sqlHelper.h"

namespace
{

// The columns of a data class that answers every key these tests name.
const SearchFields kFields{
    {SearchKey::Code, QStringLiteral("goodsCode")},
    {SearchKey::Account, QStringLiteral("accountId")},
    {SearchKey::Type, QStringLiteral("utype")},
    {SearchKey::Audit, QStringLiteral("ispass")},
    {SearchKey::Id, QStringLiteral("id")},
    {SearchKey::Name, QStringLiteral("uname")},
    {SearchKey::Partner, QStringLiteral("remark")},
    {SearchKey::Keyword, QStringLiteral("COALESCE(goodsCode,'')||COALESCE(pinyin,'')")},
    {SearchKey::CreateTime, QStringLiteral("billDate")},
    {SearchKey::Status, QStringLiteral("[user]")},
};

struct ConditionCase {
    m_condition condition;
    const char* sql;
    QVariant bound; // value of "@c1"; invalid when nothing is bound
};

TEST(GetConditionSqlTest, BuildsOneClausePerConditionWithTheValueBound)
{
    const ConditionCase cases[] = {
        {{SearchKey::Code, "like", QStringLiteral("ab'c")},
         " and (goodsCode like @c1)",
         QStringLiteral("%ab'c%")},
        {{SearchKey::Account, "in", NList("12,15,0")}, " and (accountId in (12,15,0))", {}},
        {{SearchKey::Type, "=", QStringLiteral("goodsType")},
         " and (utype = @c1)",
         QStringLiteral("goodsType")},
        {{SearchKey::Audit, "=", NList("1")}, " and (ispass = 1)", {}},
        {{SearchKey::Id, "not in", QStringLiteral("5")}, " and (id not in (@c1))", QStringLiteral("5")},
        // The operator is written as given, capitals and blanks kept.
        {{SearchKey::Name, " LIKE ", QStringLiteral("x")}, " and (uname  LIKE  @c1)", QStringLiteral("%x%")},
        // Typed text is compared as typed: no prefix is taken off, "%" stays a wildcard.
        {{SearchKey::Partner, "=", QStringLiteral("N:5")}, " and (remark = @c1)", QStringLiteral("N:5")},
        {{SearchKey::Partner, "=", QStringLiteral("C:abc")}, " and (remark = @c1)", QStringLiteral("C:abc")},
        {{SearchKey::Partner, "like", QStringLiteral("N:50%")},
         " and (remark like @c1)",
         QStringLiteral("%N:50%%")},
        // The key reads the data class's own expression.
        {{SearchKey::Keyword, "like", QStringLiteral("张")},
         " and (COALESCE(goodsCode,'')||COALESCE(pinyin,'') like @c1)",
         QStringLiteral("%张%")},
        {{SearchKey::CreateTime, ">=", QStringLiteral("2012-08-01")},
         " and (billDate >= @c1)",
         QStringLiteral("2012-08-01")},
        {{SearchKey::Status, "<>", 3}, " and ([user] <> @c1)", 3},
    };
    for (const ConditionCase& c : cases) {
        const ConditionSql out = GetConditionSql(m_conditions{c.condition}, kFields);
        EXPECT_EQ(out.sql, QString::fromUtf8(c.sql));
        if (c.bound.isValid()) {
            ASSERT_EQ(out.params.items().size(), 1) << c.sql;
            EXPECT_EQ(out.params.value(QStringLiteral("@c1")), c.bound) << c.sql;
        } else {
            EXPECT_TRUE(out.params.isEmpty()) << c.sql;
        }
    }
}

TEST(GetConditionSqlTest, NumbersItsPlaceholdersAndIsEmptyForNoCondition)
{
    EXPECT_TRUE(GetConditionSql({}, kFields).isEmpty());
    const ConditionSql out = GetConditionSql({{SearchKey::Code, "=", QStringLiteral("x")},
                                              {SearchKey::Id, "in", NList("1,2")},
                                              {SearchKey::Name, "like", QStringLiteral("y")}},
                                             kFields, QStringLiteral("@w"));
    EXPECT_EQ(out.sql, QStringLiteral(" and (goodsCode = @w1) and (id in (1,2)) and (uname like @w3)"));
    EXPECT_EQ(out.params.value(QStringLiteral("@w3")), QVariant(QStringLiteral("%y%")));
}

TEST(GetConditionSqlTest, RefusesProgramPiecesThatHoldMoreAndKeysTheClassDoesNotAnswer)
{
    const m_condition bad[] = {
        {SearchKey::Id, "or 1=1 or id =", 1},
        {SearchKey::Id, "", 1},
        {SearchKey::Id, "in", NList("1) or (1=1")},
        {SearchKey::Id, "=", NExpr("id or 1")},
        {SearchKey::Balance, "=", 1},
        {SearchKey::ParentId, "like", QStringLiteral("x")},
    };
    for (const m_condition& c : bad)
        EXPECT_THROW(GetConditionSql(m_conditions{c}, kFields), DbError)
            << int(c.uField) << " " << c.uLinkType.toStdString();
}

class LookupTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(QStringLiteral(
            "CREATE TABLE t (id INTEGER PRIMARY KEY, txt TEXT, parentId INTEGER NOT NULL DEFAULT 0)"));
    }
};

// Typed values found by conditions match exactly what was typed.
TEST_F(LookupTest, ConditionsFindRowsByTheirBoundValues)
{
    exec(QStringLiteral(
        "INSERT INTO t (id, txt) VALUES (1, 'N:5'), (2, '5'), (3, 'O''Brien 仓库'), (4, '1,2'),"
        " (5, '1'), (6, 'a50%b'), (7, 'a50b')"));
    struct Case {
        m_conditions conditions;
        QList<int> ids;
    } cases[] = {
        {{{SearchKey::Name, "=", QStringLiteral("N:5")}}, {1}},
        {{{SearchKey::Name, "in", QStringLiteral("1,2")}}, {4}},
        {{{SearchKey::Id, "in", NList("2,5,0")}}, {2, 5}},
        {{{SearchKey::Name, "like", QStringLiteral("'Brien 仓")}}, {3}},
        {{{SearchKey::Name, "like", QStringLiteral("50%")}}, {6, 7}},
        {{{SearchKey::Id, ">=", 3}, {SearchKey::Id, "<=", QStringLiteral("4")}}, {3, 4}},
        {{{SearchKey::Name, "=", QStringLiteral("@c2")}, {SearchKey::Id, "=", 1}}, {}},
    };
    const SearchFields fields{{SearchKey::Id, QStringLiteral("id")},
                              {SearchKey::Name, QStringLiteral("txt")}};
    for (const Case& c : cases) {
        const ConditionSql where = GetConditionSql(c.conditions, fields);
        const RecordSetPtr rs = ExecuteSql(
            QStringLiteral("SELECT id FROM t WHERE 1=1") + where.sql + " ORDER BY id", where.params);
        QList<int> ids;
        for (int r = 0; r < rs->RecordCount(); ++r)
            ids << rs->value(r, 0).toInt();
        EXPECT_EQ(ids, c.ids) << where.sql.toStdString();
    }
}

TEST_F(LookupTest, LookupsOnEmptyTablesGiveEmptyTextAndZero)
{
    const QVariant max = GetMaxValue(QStringLiteral("id"), QStringLiteral("t"));
    EXPECT_EQ(max, QVariant(QStringLiteral("")));
    EXPECT_EQ(max.toInt() + 1, 1);
    EXPECT_EQ(GetMaxValue(QStringLiteral("txt"), QStringLiteral("t")).toString(), QString());
    EXPECT_EQ(GetCountValue(QStringLiteral("id"), QStringLiteral("t")), 0.0);
    EXPECT_EQ(GetFieldValue(QStringLiteral("txt"), QStringLiteral("t")), QVariant(QStringLiteral("")));
    EXPECT_EQ(GetCountValue(QStringLiteral("id"), QStringLiteral("tb_customer")), 0.0);
    EXPECT_EQ(GetMaxValue(QStringLiteral("id"), QStringLiteral("tb_rk_head")).toInt(), 0);
}

TEST_F(LookupTest, LookupsReadTheMatchingRows)
{
    exec(QStringLiteral("INSERT INTO t (id, txt) VALUES (1, 'b'), (9, NULL), (10, '   '), (3, 'a')"));
    EXPECT_EQ(GetMaxValue(QStringLiteral("id"), QStringLiteral("t")).toInt(), 10);
    // On text, the largest text by the collation, not the largest number.
    EXPECT_EQ(GetMaxValue(QStringLiteral("txt"), QStringLiteral("t")).toString(), QStringLiteral("b"));
    EXPECT_EQ(GetCountValue(QStringLiteral("txt"), QStringLiteral("t")), 3.0);
    EXPECT_EQ(GetCountValue(QStringLiteral("id"), QStringLiteral("t"), QStringLiteral(" and id<@id"),
                            ParamMap{{QStringLiteral("@id"), 9}}),
              2.0);
    EXPECT_EQ(GetFieldValue(QStringLiteral("txt"), QStringLiteral("t"), QStringLiteral(" and id=@id"),
                            ParamMap{{QStringLiteral("@id"), 3}}),
              QVariant(QStringLiteral("a")));
    // Null and blank read as the empty text.
    for (int id : {9, 10, 99})
        EXPECT_EQ(GetFieldValue(QStringLiteral("txt"), QStringLiteral("t"),
                                GetConditionSql({{SearchKey::Id, "=", id}}, kFields)),
                  QVariant(QStringLiteral("")));
    EXPECT_EQ(GetMaxValue(
                  QStringLiteral("id"), QStringLiteral("t"),
                  GetConditionSql({{SearchKey::Name, "=", "a"}}, {{SearchKey::Name, QStringLiteral("txt")}}))
                  .toInt(),
              3);
    EXPECT_THROW(GetMaxValue(QStringLiteral("id"), QStringLiteral("t; DELETE FROM t")), DbError);
    EXPECT_THROW(GetCountValue(QStringLiteral("t.id"), QStringLiteral("t")), DbError);
    EXPECT_THROW(GetFieldValue(QStringLiteral("nosuchcolumn"), QStringLiteral("t")), DbError);
}

// A new id taken inside the write transaction sees the rows written before it there.
TEST_F(LookupTest, NewIdsCanBeTakenInsideTheWriteTransaction)
{
    const m_DBresult r = RunTrans([] {
        for (int k = 0; k < 3; ++k) {
            const int id = GetMaxValue(QStringLiteral("id"), QStringLiteral("t")).toInt() + 1;
            ExecuteParaSql(QStringLiteral("INSERT INTO t (id) VALUES (@id)"),
                           ParamMap{{QStringLiteral("@id"), id}});
        }
    });
    ASSERT_TRUE(r.isResult) << r.str_MsgBox.toStdString();
    EXPECT_EQ(GetMaxValue(QStringLiteral("id"), QStringLiteral("t")).toInt(), 3);
}

class DeleteRefTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(QStringLiteral("INSERT INTO tb_rk_head (id, userId) VALUES (1, 7)"));
        exec(QStringLiteral("INSERT INTO tb_ck_head (id, userId) VALUES (1, 7), (2, 7)"));
        exec(QStringLiteral("INSERT INTO tb_customer (id, userId) VALUES (1, 8)"));
    }
    static QString check(const char* msg, const char* table, const char* column)
    {
        return QStringLiteral("select '%1' as strMsg,Count(*) as fkCount from %2 where %3=@userId")
            .arg(QString::fromUtf8(msg), QString::fromLatin1(table), QString::fromLatin1(column));
    }
};

TEST_F(DeleteRefTest, TheFirstRefusingCheckInBatchOrderWins)
{
    struct Case {
        int userId;
        QList<QString> checks;
        const char* msg;
        int count;
    } cases[] = {
        {7,
         {check("当前用户在往来单位表已经建账,不能删除!", "tb_customer", "userId"),
          check("当前用户在入库表已经建账,不能删除!", "tb_rk_head", "userId"),
          check("当前用户在出库表已经建账,不能删除!", "tb_ck_head", "userId")},
         "当前用户在入库表已经建账,不能删除!",
         1},
        {7,
         {check("当前用户在出库表已经建账,不能删除!", "tb_ck_head", "userId"),
          check("当前用户在入库表已经建账,不能删除!", "tb_rk_head", "userId")},
         "当前用户在出库表已经建账,不能删除!",
         2},
        {8,
         {check("当前用户在入库表已经建账,不能删除!", "tb_rk_head", "userId"),
          check("当前用户在往来单位表已经建账,不能删除!", "tb_customer", "userId")},
         "当前用户在往来单位表已经建账,不能删除!",
         1},
        // Two checks with the same text and count: the first answers.
        {7, {check("x", "tb_rk_head", "userId"), check("x", "tb_rk_head", "userId")}, "x", 1},
        {9, {check("当前用户在入库表已经建账,不能删除!", "tb_rk_head", "userId")}, "", 0},
        {9, {}, "", 0},
    };
    for (const Case& c : cases) {
        KeyValue batch;
        int k = 0;
        for (const QString& sql : c.checks)
            batch.AddItem(QString::number(++k) + QLatin1Char('|') + sql,
                          QVariant::fromValue(ParamMap{{QStringLiteral("@userId"), c.userId}}));
        const RefCheckResult r = CheckDeleteRef(batch);
        EXPECT_EQ(r.strMsg, QString::fromUtf8(c.msg));
        EXPECT_EQ(r.fkCount, c.count) << c.msg;
        EXPECT_EQ(r.isOK, c.count == 0) << c.msg;
    }
}

TEST_F(DeleteRefTest, EachCheckKeepsItsOwnParameters)
{
    KeyValue batch;
    batch.AddItem(check("a", "tb_customer", "userId"),
                  QVariant::fromValue(ParamMap{{QStringLiteral("@userId"), 7}}));
    batch.AddItem(check("b", "tb_ck_head", "userId"),
                  QVariant::fromValue(ParamMap{{QStringLiteral("@userId"), 7}}));
    batch.AddItem(QStringLiteral("0|") + check("c", "tb_customer", "userId"),
                  QVariant::fromValue(ParamMap{{QStringLiteral("@userId"), 8}}));
    const RefCheckResult r = CheckDeleteRef(batch);
    EXPECT_EQ(r.strMsg, QStringLiteral("b"));
    EXPECT_EQ(r.fkCount, 2);

    KeyValue broken;
    broken.AddItem(QStringLiteral("select 'x' as strMsg, Count(*) as fkCount from no_such_table"));
    EXPECT_THROW(CheckDeleteRef(broken), DbError);
}

// The checks and the delete share one transaction: a refusal leaves every
// row, a failing delete takes back what it already removed.
TEST_F(DeleteRefTest, DeleteWithRefChecksRefusesOrDeletesInOneTransaction)
{
    const auto rows = [] { return GetCountValue(QStringLiteral("id"), QStringLiteral("tb_customer")); };
    const auto deleteCustomer = [](int id) {
        return [id] {
            ExecuteChangingRow(QStringLiteral("delete from tb_customer where id=@id"),
                               ParamMap{{QStringLiteral("@id"), id}});
        };
    };
    const QList<RefCheck> userChecks = {
        RefCheck::Uses(QStringLiteral("在入库表已经建账"), QStringLiteral("tb_rk_head"),
                       QStringLiteral("userId"), 7),
        RefCheck::Uses(QStringLiteral("在出库表已经建账"), QStringLiteral("tb_ck_head"),
                       QStringLiteral("userId"), 7),
    };

    m_DBresult r = DeleteWithRefChecks(userChecks, deleteCustomer(1));
    EXPECT_FALSE(r.isResult);
    EXPECT_EQ(r.str_MsgBox, QStringLiteral("在入库表已经建账"));
    EXPECT_EQ(r.int_Count, 1);
    EXPECT_EQ(rows(), 1);

    r = DeleteWithRefChecks({userChecks[1]}, deleteCustomer(1));
    EXPECT_EQ(r.str_MsgBox, QStringLiteral("在出库表已经建账"));
    EXPECT_EQ(r.int_Count, 2);

    // A gone record is a failure, and what the delete did before it is undone.
    r = DeleteWithRefChecks({}, [&] {
        exec(QStringLiteral("delete from tb_rk_head"));
        deleteCustomer(99)();
    });
    EXPECT_FALSE(r.isResult);
    EXPECT_EQ(r.str_MsgBox, QStringLiteral("当前记录不存在!"));
    EXPECT_EQ(r.int_Count, 0);
    EXPECT_EQ(GetCountValue(QStringLiteral("id"), QStringLiteral("tb_rk_head")), 1);

    // A value with quotes or a placeholder stays a bound value.
    r = DeleteWithRefChecks({RefCheck::Uses(QStringLiteral("x"), QStringLiteral("tb_customer"),
                                            QStringLiteral("userId"), QStringLiteral("8' or '1'='1"))},
                            deleteCustomer(1));
    EXPECT_TRUE(r.isResult) << r.str_MsgBox.toStdString();
    EXPECT_EQ(rows(), 0);

    EXPECT_THROW(RefCheck::Uses(QStringLiteral("x"), QStringLiteral("tb_customer; drop table t"),
                                QStringLiteral("userId"), 1),
                 DbError);
}

TEST_F(DeleteRefTest, ARefusalInsideAnOuterTransactionFailsItAsAWhole)
{
    const m_DBresult outer = RunTrans([] {
        ExecuteParaSql(QStringLiteral("delete from tb_ck_head"), {});
        DeleteWithRefChecks({RefCheck::Uses(QStringLiteral("在入库表已经建账"), QStringLiteral("tb_rk_head"),
                                            QStringLiteral("userId"), 7)},
                            [] {});
    });
    EXPECT_FALSE(outer.isResult);
    EXPECT_EQ(outer.str_MsgBox, QStringLiteral("在入库表已经建账"));
    EXPECT_EQ(GetCountValue(QStringLiteral("id"), QStringLiteral("tb_ck_head")), 2);
}

} // namespace
