#include "TestEnv.h"

#include "GetvalueFunction.h"
#include "m_funCode.h"
#include "mod_public.h"
#include "sqlHelper.h"

#include <set>

namespace
{

struct CodeCase {
    QString code;
    const char* name;
};

// Written out member by member, so a misspelt member or code shows up here.
const CodeCase kCodes[] = {
    {FunCodeTable.SysMenu(), "SysMenu"},
    {FunCodeTable.customer(), "customer"},
    {FunCodeTable.ckmg(), "ckmg"},
    {FunCodeTable.reportCenter(), "reportCenter"},
    {FunCodeTable.rcmg(), "rcmg"},
    {FunCodeTable.basicInfor(), "basicInfor"},
    {FunCodeTable.system(), "system"},
    {FunCodeTable.import(), "import"},
    {FunCodeTable.export_(), "export"},
    {FunCodeTable.rpt_kctz(), "rpt_kctz"},
    {FunCodeTable.rpt_kczz(), "rpt_kczz"},
    {FunCodeTable.rpt_kwjk(), "rpt_kwjk"},
    {FunCodeTable.rpt_hpjk(), "rpt_hpjk"},
    {FunCodeTable.rpt_fckc(), "rpt_fckc"},
    {FunCodeTable.rpt_rkbill(), "rpt_rkbill"},
    {FunCodeTable.rpt_rk_detail_bill(), "rpt_rk_detail_bill"},
    {FunCodeTable.rpt_rksum(), "rpt_rksum"},
    {FunCodeTable.rpt_ckbill(), "rpt_ckbill"},
    {FunCodeTable.rpt_ck_detail_bill(), "rpt_ck_detail_bill"},
    {FunCodeTable.rpt_cksum(), "rpt_cksum"},
    {FunCodeTable.goodsInfor(), "goodsInfor"},
    {FunCodeTable.locationInfor(), "locationInfor"},
    {FunCodeTable.dictionary(), "dictionary"},
    {FunCodeTable.limited(), "limited"},
    {FunCodeTable.optionset(), "optionset"},
    {FunCodeTable.user(), "user"},
    {FunCodeTable.modifyPW(), "modifyPW"},
    {FunCodeTable.customer_save(), "customer_save"},
    {FunCodeTable.customer_update(), "customer_update"},
    {FunCodeTable.customer_delete(), "customer_delete"},
    {FunCodeTable.customer_export(), "customer_export"},
    {FunCodeTable.import_save(), "import_save"},
    {FunCodeTable.import_update(), "import_update"},
    {FunCodeTable.import_delete(), "import_delete"},
    {FunCodeTable.import_pass(), "import_pass"},
    {FunCodeTable.import_nopass(), "import_nopass"},
    {FunCodeTable.import_print(), "import_print"},
    {FunCodeTable.import_searchBill(), "import_searchBill"},
    {FunCodeTable.export_save(), "export_save"},
    {FunCodeTable.export_update(), "export_update"},
    {FunCodeTable.export_delete(), "export_delete"},
    {FunCodeTable.export_pass(), "export_pass"},
    {FunCodeTable.export_nopass(), "export_nopass"},
    {FunCodeTable.export_print(), "export_print"},
    {FunCodeTable.export_searchBill(), "export_searchBill"},
    {FunCodeTable.goodsInfor_save(), "goodsInfor_save"},
    {FunCodeTable.goodsInfor_update(), "goodsInfor_update"},
    {FunCodeTable.goodsInfor_delete(), "goodsInfor_delete"},
    {FunCodeTable.goodsInfor_export(), "goodsInfor_export"},
    {FunCodeTable.locationInfor_save(), "locationInfor_save"},
    {FunCodeTable.locationInfor_update(), "locationInfor_update"},
    {FunCodeTable.locationInfor_delete(), "locationInfor_delete"},
    {FunCodeTable.locationInfor_export(), "locationInfor_export"},
    {FunCodeTable.dictionary_save(), "dictionary_save"},
    {FunCodeTable.dictionary_update(), "dictionary_update"},
    {FunCodeTable.dictionary_delete(), "dictionary_delete"},
    {FunCodeTable.dictionary_export(), "dictionary_export"},
    {FunCodeTable.user_save(), "user_save"},
    {FunCodeTable.user_update(), "user_update"},
    {FunCodeTable.user_delete(), "user_delete"},
    {FunCodeTable.user_export(), "user_export"},
    {FunCodeTable.rpt_kctz_print(), "rpt_kctz_print"},
    {FunCodeTable.rpt_kctz_export(), "rpt_kctz_export"},
    {FunCodeTable.rpt_kczz_print(), "rpt_kczz_print"},
    {FunCodeTable.rpt_kczz_export(), "rpt_kczz_export"},
    {FunCodeTable.rpt_kwjk_print(), "rpt_kwjk_print"},
    {FunCodeTable.rpt_kwjk_export(), "rpt_kwjk_export"},
    {FunCodeTable.rpt_hpjk_print(), "rpt_hpjk_print"},
    {FunCodeTable.rpt_hpjk_export(), "rpt_hpjk_export"},
    {FunCodeTable.rpt_fckc_print(), "rpt_fckc_print"},
    {FunCodeTable.rpt_fckc_export(), "rpt_fckc_export"},
    {FunCodeTable.rpt_rkbill_print(), "rpt_rkbill_print"},
    {FunCodeTable.rpt_rkbill_export(), "rpt_rkbill_export"},
    {FunCodeTable.rpt_rkbill_browse(), "rpt_rkbill_browse"},
    {FunCodeTable.rpt_rkbill_delete(), "rpt_rkbill_delete"},
    {FunCodeTable.rpt_rkbill_pass(), "rpt_rkbill_pass"},
    {FunCodeTable.rpt_rkbill_nopass(), "rpt_rkbill_nopass"},
    {FunCodeTable.rpt_rkbill_add(), "rpt_rkbill_add"},
    {FunCodeTable.rpt_rk_detail_bill_print(), "rpt_rk_detail_bill_print"},
    {FunCodeTable.rpt_rk_detail_bill_export(), "rpt_rk_detail_bill_export"},
    {FunCodeTable.rpt_rk_detail_bill_browse(), "rpt_rk_detail_bill_browse"},
    {FunCodeTable.rpt_rk_detail_bill_delete(), "rpt_rk_detail_bill_delete"},
    {FunCodeTable.rpt_rksum_print(), "rpt_rksum_print"},
    {FunCodeTable.rpt_rksum_export(), "rpt_rksum_export"},
    {FunCodeTable.rpt_ckbill_print(), "rpt_ckbill_print"},
    {FunCodeTable.rpt_ckbill_export(), "rpt_ckbill_export"},
    {FunCodeTable.rpt_ckbill_browse(), "rpt_ckbill_browse"},
    {FunCodeTable.rpt_ckbill_delete(), "rpt_ckbill_delete"},
    {FunCodeTable.rpt_ckbill_pass(), "rpt_ckbill_pass"},
    {FunCodeTable.rpt_ckbill_nopass(), "rpt_ckbill_nopass"},
    {FunCodeTable.rpt_ckbill_add(), "rpt_ckbill_add"},
    {FunCodeTable.rpt_ck_detail_bill_print(), "rpt_ck_detail_bill_print"},
    {FunCodeTable.rpt_ck_detail_bill_export(), "rpt_ck_detail_bill_export"},
    {FunCodeTable.rpt_ck_detail_bill_browse(), "rpt_ck_detail_bill_browse"},
    {FunCodeTable.rpt_ck_detail_bill_delete(), "rpt_ck_detail_bill_delete"},
    {FunCodeTable.rpt_cksum_print(), "rpt_cksum_print"},
    {FunCodeTable.rpt_cksum_export(), "rpt_cksum_export"},
};

TEST(FunCodeTest, EveryMemberAnswersItsOwnName)
{
    ASSERT_EQ(std::size(kCodes), 97u);
    std::set<QString> seen;
    for (const CodeCase& c : kCodes) {
        EXPECT_EQ(c.code, QString::fromLatin1(c.name));
        EXPECT_TRUE(seen.insert(c.code).second) << c.name;
    }
    QStringList names;
    for (const CodeCase& c : kCodes)
        names << QString::fromLatin1(c.name);
    EXPECT_EQ(m_funCode::AllCodes(), names);
}

class FunCodeDbTest : public DbTest
{
};

// A fresh database offers every code in the rights editor's tree and grants
// each to the department 系统管理 (id 1), so admin can run everything.
TEST_F(FunCodeDbTest, EveryCodeIsInTheTreeAndGrantedToTheAdminDepartment)
{
    for (const CodeCase& c : kCodes) {
        const ParamMap p{{QStringLiteral("@code"), c.code}};
        const RecordSetPtr tree =
            ExecuteSql(QStringLiteral("SELECT type FROM tb_sys_fun WHERE funCode=@code"), p);
        ASSERT_EQ(tree->RecordCount(), 1) << c.name;
        EXPECT_NE(tree->value(0, 0).toInt(), -1) << c.name;
        const RecordSetPtr granted = ExecuteSql(
            QStringLiteral("SELECT COUNT(*) FROM tb_user_group_fun WHERE funCode=@code AND departmentId=1"),
            p);
        EXPECT_EQ(granted->value(0, 0).toInt(), 1) << c.name;
    }
    EXPECT_EQ(count(QStringLiteral("tb_sys_fun")), 97);
    EXPECT_EQ(count(QStringLiteral("tb_user_group_fun"), QStringLiteral("departmentId=1")), 97);
    // Every node hangs under a node that exists, down from the one root.
    EXPECT_EQ(count(QStringLiteral("tb_sys_fun"), QStringLiteral("parentid=0")), 1);
    EXPECT_EQ(count(QStringLiteral("tb_sys_fun a"),
                    QStringLiteral(
                        "a.parentid<>0 AND NOT EXISTS (SELECT 1 FROM tb_sys_fun p WHERE p.id=a.parentid)")),
              0);

    loginAs(1);
    for (const CodeCase& c : kCodes)
        EXPECT_TRUE(check_FunRight(c.code, true)) << c.name;
    EXPECT_TRUE(shown().isEmpty());
}

TEST_F(FunCodeDbTest, MessageTextsOfTheUserGroupEditorExist)
{
    const char* codes[] = {"NotEmpty",           "AskSave",        "AskUpdate", "AlreadySave",
                           "ReNotHaveNotDelete", "AlreadyAccount", "AskDelete", "AlreadyDelete",
                           "LimitedUser"};
    for (const char* code : codes) {
        const RecordSetPtr rs = ExecuteSql(QStringLiteral("SELECT CDESC FROM tb_Messagebox WHERE Code=@code"),
                                           ParamMap{{QStringLiteral("@code"), QString::fromLatin1(code)}});
        ASSERT_EQ(rs->RecordCount(), 1) << code;
        EXPECT_FALSE(rs->text(0, QStringLiteral("CDESC")).trimmed().isEmpty()) << code;
    }
}

} // namespace
