#include "TestEnv.h"

#include "Clock.h"
#include "dal_customer.h"
#include "sqlHelper.h"

namespace
{

class CustomerDataTest : public DbTest
{
  protected:
    // A partner with every column set; texts that must be stored as typed.
    static m_customer fullPartner(int id)
    {
        m_customer m;
        m.id = id;
        m.utype = 2;
        m.customType = 50;
        m.customerCode = QStringLiteral("ct-2405-00007");
        m.uname = QStringLiteral("O'Brien 100% 货运");
        m.pinyin = QStringLiteral("OBRIENHY");
        m.contact = QStringLiteral("@tel");
        m.companyName = QStringLiteral("N:1");
        m.taxNumber = QStringLiteral("K:a");
        m.bankName = QStringLiteral("a|b");
        m.bankAccount = QStringLiteral("6222 0000");
        m.address = QStringLiteral("上海市'路'");
        m.tel = QStringLiteral("021-1234");
        m.email = QStringLiteral("x@fax.cn");
        m.fax = QStringLiteral("@id");
        m.status = 1;
        m.imageUrl = QStringLiteral("");
        m.creator = QStringLiteral("admin");
        m.createTime = QStringLiteral("2024-05-01 08:30:00");
        m.updateLastUser = QStringLiteral("admin");
        m.updateLastTime = QStringLiteral("2024-05-02 09:00:00");
        m.userId = 1;
        return m;
    }

    void addCategory(int id, const QString& name)
    {
        ExecuteSql(
            QStringLiteral("insert into tb_dictionary (id,utype,uname) values (@id,'customerType',@n)"),
            ParamMap{{QStringLiteral("@id"), id}, {QStringLiteral("@n"), name}});
    }

    dal_customer dal;
};

TEST_F(CustomerDataTest, EveryColumnRoundTripsAsTyped)
{
    addCategory(50, QStringLiteral("批发"));
    const m_customer in = fullPartner(3);
    dal.Add(in);
    const m_customer out = dal.GetModel(3);

    EXPECT_EQ(out.id, 3);
    EXPECT_EQ(out.utype, in.utype);
    EXPECT_EQ(out.customType, in.customType);
    EXPECT_EQ(out.customerCode, in.customerCode);
    EXPECT_EQ(out.uname, in.uname);
    EXPECT_EQ(out.pinyin, in.pinyin);
    EXPECT_EQ(out.contact, in.contact);
    EXPECT_EQ(out.companyName, in.companyName);
    EXPECT_EQ(out.taxNumber, in.taxNumber);
    EXPECT_EQ(out.bankName, in.bankName);
    EXPECT_EQ(out.bankAccount, in.bankAccount);
    EXPECT_EQ(out.address, in.address);
    EXPECT_EQ(out.tel, in.tel);
    EXPECT_EQ(out.email, in.email);
    EXPECT_EQ(out.fax, in.fax);
    EXPECT_EQ(out.status, in.status);
    EXPECT_EQ(out.imageUrl, in.imageUrl);
    EXPECT_EQ(out.creator, in.creator);
    EXPECT_EQ(out.createTime, in.createTime);
    EXPECT_EQ(out.updateLastUser, in.updateLastUser);
    EXPECT_EQ(out.updateLastTime, in.updateLastTime);
    EXPECT_EQ(out.userId, in.userId);
    EXPECT_EQ(out.utypeName, QStringLiteral("两者都是"));
    EXPECT_EQ(out.statusName, QStringLiteral("启用"));
    EXPECT_EQ(out.customTypeName, QStringLiteral("批发"));
}

TEST_F(CustomerDataTest, DisplayTextsOfTheView)
{
    struct Case {
        int utype;
        int status;
        const char* utypeName;
        const char* statusName;
    };
    const Case cases[] = {{0, 1, "供应商", "启用"}, {1, 0, "客户", "禁用"}, {2, 1, "两者都是", "启用"}};
    int id = 0;
    for (const Case& c : cases) {
        m_customer m = fullPartner(++id);
        m.utype = c.utype;
        m.status = c.status;
        m.customType = 999; // a category deleted meanwhile: the partner still shows
        dal.Add(m);
        const m_customer out = dal.GetModel(id);
        EXPECT_EQ(out.id, id);
        EXPECT_EQ(out.utypeName, QString::fromUtf8(c.utypeName));
        EXPECT_EQ(out.statusName, QString::fromUtf8(c.statusName));
        EXPECT_EQ(out.customTypeName, QString());
    }
}

TEST_F(CustomerDataTest, MissingRowAndNullColumnsReadAsEmpty)
{
    const m_customer none = dal.GetModel(42);
    EXPECT_EQ(none.id, 0);
    EXPECT_TRUE(none.uname.isEmpty());
    EXPECT_TRUE(none.customerCode.isEmpty());

    exec(QStringLiteral(
        "insert into tb_customer (id,utype,customerCode,uname,status,creator,createTime,userId) "
        "values (7,0,'ct-2405-00001','甲',1,'admin','2024-05-01 00:00:00',1)"));
    const m_customer m = dal.GetModel(7);
    EXPECT_EQ(m.id, 7);
    for (const QString& t : {m.contact, m.companyName, m.taxNumber, m.bankName, m.bankAccount, m.address,
                             m.tel, m.email, m.fax, m.imageUrl, m.updateLastUser, m.updateLastTime})
        EXPECT_TRUE(t.isEmpty());
}

TEST_F(CustomerDataTest, GetSqlSearchKinds)
{
    const QString cols =
        QStringLiteral(" id,utype,utypeName,customType,customTypeName,customerCode,uname,pinyin,"
                       "contact,companyName,taxNumber,bankName,bankAccount,address,tel,email,fax,"
                       "status,statusName,imageUrl,creator,createTime,updateLastUser,"
                       "updateLastTime,userId ");
    EXPECT_EQ(dal.GetSqlSearch(QStringLiteral("f")), cols);
    EXPECT_EQ(dal.GetSqlSearch(QStringLiteral("a")),
              QStringLiteral("select ") + cols + QStringLiteral(" from v_customer"));
    EXPECT_EQ(dal.GetSqlSearch(QStringLiteral("A")), QString());
    EXPECT_EQ(dal.GetSqlSearch(QString()), QString());
    EXPECT_EQ(dal.GetSqlSearch(), QString());
}

TEST_F(CustomerDataTest, ListsAndExportColumns)
{
    for (int id = 1; id <= 3; ++id)
        dal.Add(fullPartner(id));

    for (const QString& sql : {QString(), QStringLiteral("   ")}) {
        const m_recordSet all = dal.GetListForCondition({}, SelectListOf(sql));
        EXPECT_EQ(all.recordCount, 3);
        EXPECT_EQ(all.recordSet->fieldCount(), 25);
        EXPECT_TRUE(all.str_condition.isEmpty());
    }
    const m_recordSet one = dal.GetListForCondition({m_condition(SearchKey::Id, QStringLiteral("="), 2)},
                                                    SelectListOf(QStringLiteral("select id,uname ")));
    ASSERT_EQ(one.recordCount, 1);
    EXPECT_EQ(one.recordSet->fieldCount(), 2);
    EXPECT_FALSE(one.str_condition.isEmpty());

    const RecordSetPtr exportRows = dal.GetDataTable({}, true);
    EXPECT_EQ(exportRows->RecordCount(), 3);
    EXPECT_EQ(
        exportRows->fields(),
        QStringLiteral("utypeName,customTypeName,customerCode,uname,contact,companyName,taxNumber,bankName,"
                       "bankAccount,address,tel,email,fax,statusName,creator,createTime")
            .split(QLatin1Char(',')));
    EXPECT_EQ(dal.GetDataTable({m_condition(SearchKey::Id, QStringLiteral(">"), 1)})->fieldCount(), 25);
}

TEST_F(CustomerDataTest, SameNameLookupSkipsItsOwnRow)
{
    dal.Add(fullPartner(1));
    dal.Add(fullPartner(2));
    const QString name = fullPartner(1).uname;
    EXPECT_EQ(dal.GetModelForCustomerName(1, name).id, 2);
    EXPECT_EQ(dal.GetModelForCustomerName(2, name).id, 1);
    EXPECT_EQ(dal.GetModelForCustomerName(1, QStringLiteral("O'Brien")).id, 0);
}

TEST_F(CustomerDataTest, UpdateKeepsCodeCreatorAndOwner)
{
    dal.Add(fullPartner(1));
    m_customer m = fullPartner(1);
    m.customerCode = QStringLiteral("ct-9999-99999");
    m.creator = QStringLiteral("other");
    m.createTime = QStringLiteral("2030-01-01 00:00:00");
    m.userId = 9;
    m.uname = QStringLiteral("新名'@uname");
    m.utype = 0;
    m.status = 0;
    m.fax = QStringLiteral("N:0");
    m.updateLastTime = QStringLiteral("2024-06-01 10:00:00");
    dal.Update(m);

    const m_customer out = dal.GetModel(1);
    EXPECT_EQ(out.customerCode, QStringLiteral("ct-2405-00007"));
    EXPECT_EQ(out.creator, QStringLiteral("admin"));
    EXPECT_EQ(out.createTime, QStringLiteral("2024-05-01 08:30:00"));
    EXPECT_EQ(out.userId, 1);
    EXPECT_EQ(out.uname, m.uname);
    EXPECT_EQ(out.utype, 0);
    EXPECT_EQ(out.status, 0);
    EXPECT_EQ(out.fax, m.fax);
    EXPECT_EQ(out.updateLastTime, m.updateLastTime);
}

TEST_F(CustomerDataTest, UpdateOfAPartnerDeletedElsewhereFails)
{
    dal.Add(fullPartner(1));
    ASSERT_TRUE(dal.Delete(1).isResult);
    m_customer m = fullPartner(1);
    m.uname = QStringLiteral("changed");
    try {
        dal.Update(m);
        FAIL() << "update of a missing partner succeeded";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("当前往业单位信息不存在!"));
    }
    EXPECT_EQ(count(QStringLiteral("tb_customer")), 0);
}

TEST_F(CustomerDataTest, DeleteAnswersItsTransaction)
{
    dal.Add(fullPartner(1));
    // A partner that is gone already is no success.
    const m_DBresult gone = dal.Delete(99);
    EXPECT_FALSE(gone.isResult);
    EXPECT_EQ(gone.str_MsgBox, QStringLiteral("当前记录不存在!"));
    EXPECT_EQ(count(QStringLiteral("tb_customer")), 1);

    exec(QStringLiteral("CREATE TRIGGER keep_partner BEFORE DELETE ON tb_customer "
                        "BEGIN SELECT RAISE(ABORT, 'partner is kept'); END"));
    const m_DBresult refused = dal.Delete(1);
    EXPECT_FALSE(refused.isResult);
    EXPECT_TRUE(refused.str_MsgBox.contains(QStringLiteral("partner is kept")));
    EXPECT_EQ(count(QStringLiteral("tb_customer")), 1);

    exec(QStringLiteral("DROP TRIGGER keep_partner"));
    EXPECT_TRUE(dal.Delete(1).isResult);
    EXPECT_EQ(count(QStringLiteral("tb_customer")), 0);
    EXPECT_FALSE(dal.Delete(1).isResult);
}

TEST_F(CustomerDataTest, NewPartnersAreNumberedInTheirMonth)
{
    Clock::SetFixed(QDateTime(QDate(2024, 5, 20), QTime(10, 0)));
    exec(QStringLiteral("insert into tb_customer (id,customerCode,uname) values (4,'ct-2404-00009','old')"));
    m_customer a = fullPartner(0);
    a.createTime = QStringLiteral("2024-05-20 10:00:00");
    dal.AddNew(a);
    EXPECT_EQ(a.id, 5);
    EXPECT_EQ(a.customerCode, QStringLiteral("ct-2405-00001"));
    m_customer b = fullPartner(0);
    b.createTime.clear(); // numbered today
    dal.AddNew(b);
    EXPECT_EQ(b.id, 6);
    EXPECT_EQ(b.customerCode, QStringLiteral("ct-2405-00002"));
    EXPECT_EQ(dal.GetModel(6).customerCode, QStringLiteral("ct-2405-00002"));
}

} // namespace

// A partner is saved only with a stored customer category (a disabled one
// too: a stored partner keeps it); anything else writes nothing.
TEST_F(CustomerDataTest, SaveNeedsAStoredCustomerCategory)
{
    addCategory(50, QStringLiteral("批发"));
    exec(QStringLiteral("insert into tb_dictionary (id,utype,uname,isstart) values "
                        "(51,'customerType','停用类',0),(60,'goodsType','饮料',1)"));
    const struct {
        const char* name;
        int customType;
        bool saved;
    } cases[] = {
        {"an enabled category", 50, true},
        {"a disabled category", 51, true},
        {"no category", 0, false},
        {"a category that is gone", 99, false},
        {"an item of another kind", 60, false},
    };
    for (const auto& c : cases) {
        for (const int id : {0, 1}) {
            SCOPED_TRACE(std::string(c.name) + (id == 0 ? ", a new partner" : ", a stored partner"));
            exec(QStringLiteral("delete from tb_customer"));
            dal.Add(fullPartner(1));
            m_customer m = fullPartner(id);
            m.customType = c.customType;
            m.uname = QStringLiteral("新名");
            QString refusal;
            try {
                EXPECT_EQ(dal.Save(m, false), dal_customer::SaveOutcome::Saved);
            } catch (const DbError& e) {
                refusal = e.message();
            }
            EXPECT_EQ(refusal, c.saved ? QString() : QStringLiteral("自定义类别不能为空!"));
            EXPECT_EQ(count(QStringLiteral("tb_customer"), QStringLiteral("uname='新名'")), c.saved ? 1 : 0);
            EXPECT_EQ(count(QStringLiteral("tb_customer")), c.saved && id == 0 ? 2 : 1);
            EXPECT_EQ(dal.GetModel(1).customType, id == 1 && c.saved ? c.customType : 50);
        }
    }
}
