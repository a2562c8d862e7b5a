#pragma once

#include <QString>
#include <QStringList>

// Every function-right code, in declared order. A code is its member's name;
// the one exception is export, a C++ keyword, whose member is export_().
#define WMS_FUN_CODES(X)                                                                                     \
    X(SysMenu)                                                                                               \
    X(customer)                                                                                              \
    X(ckmg)                                                                                                  \
    X(reportCenter)                                                                                          \
    X(rcmg)                                                                                                  \
    X(basicInfor)                                                                                            \
    X(system)                                                                                                \
    X(import)                                                                                                \
    X_EXPORT                                                                                                 \
    X(rpt_kctz)                                                                                              \
    X(rpt_kczz)                                                                                              \
    X(rpt_kwjk)                                                                                              \
    X(rpt_hpjk)                                                                                              \
    X(rpt_fckc)                                                                                              \
    X(rpt_rkbill)                                                                                            \
    X(rpt_rk_detail_bill)                                                                                    \
    X(rpt_rksum)                                                                                             \
    X(rpt_ckbill)                                                                                            \
    X(rpt_ck_detail_bill)                                                                                    \
    X(rpt_cksum)                                                                                             \
    X(goodsInfor)                                                                                            \
    X(locationInfor)                                                                                         \
    X(dictionary)                                                                                            \
    X(limited)                                                                                               \
    X(optionset)                                                                                             \
    X(user)                                                                                                  \
    X(modifyPW)                                                                                              \
    X(customer_save)                                                                                         \
    X(customer_update)                                                                                       \
    X(customer_delete)                                                                                       \
    X(customer_export)                                                                                       \
    X(import_save)                                                                                           \
    X(import_update)                                                                                         \
    X(import_delete)                                                                                         \
    X(import_pass)                                                                                           \
    X(import_nopass)                                                                                         \
    X(import_print)                                                                                          \
    X(import_searchBill)                                                                                     \
    X(export_save)                                                                                           \
    X(export_update)                                                                                         \
    X(export_delete)                                                                                         \
    X(export_pass)                                                                                           \
    X(export_nopass)                                                                                         \
    X(export_print)                                                                                          \
    X(export_searchBill)                                                                                     \
    X(goodsInfor_save)                                                                                       \
    X(goodsInfor_update)                                                                                     \
    X(goodsInfor_delete)                                                                                     \
    X(goodsInfor_export)                                                                                     \
    X(locationInfor_save)                                                                                    \
    X(locationInfor_update)                                                                                  \
    X(locationInfor_delete)                                                                                  \
    X(locationInfor_export)                                                                                  \
    X(dictionary_save)                                                                                       \
    X(dictionary_update)                                                                                     \
    X(dictionary_delete)                                                                                     \
    X(dictionary_export)                                                                                     \
    X(user_save)                                                                                             \
    X(user_update)                                                                                           \
    X(user_delete)                                                                                           \
    X(user_export)                                                                                           \
    X(rpt_kctz_print)                                                                                        \
    X(rpt_kctz_export)                                                                                       \
    X(rpt_kczz_print)                                                                                        \
    X(rpt_kczz_export)                                                                                       \
    X(rpt_kwjk_print)                                                                                        \
    X(rpt_kwjk_export)                                                                                       \
    X(rpt_hpjk_print)                                                                                        \
    X(rpt_hpjk_export)                                                                                       \
    X(rpt_fckc_print)                                                                                        \
    X(rpt_fckc_export)                                                                                       \
    X(rpt_rkbill_print)                                                                                      \
    X(rpt_rkbill_export)                                                                                     \
    X(rpt_rkbill_browse)                                                                                     \
    X(rpt_rkbill_delete)                                                                                     \
    X(rpt_rkbill_pass)                                                                                       \
    X(rpt_rkbill_nopass)                                                                                     \
    X(rpt_rkbill_add)                                                                                        \
    X(rpt_rk_detail_bill_print)                                                                              \
    X(rpt_rk_detail_bill_export)                                                                             \
    X(rpt_rk_detail_bill_browse)                                                                             \
    X(rpt_rk_detail_bill_delete)                                                                             \
    X(rpt_rksum_print)                                                                                       \
    X(rpt_rksum_export)                                                                                      \
    X(rpt_ckbill_print)                                                                                      \
    X(rpt_ckbill_export)                                                                                     \
    X(rpt_ckbill_browse)                                                                                     \
    X(rpt_ckbill_delete)                                                                                     \
    X(rpt_ckbill_pass)                                                                                       \
    X(rpt_ckbill_nopass)                                                                                     \
    X(rpt_ckbill_add)                                                                                        \
    X(rpt_ck_detail_bill_print)                                                                              \
    X(rpt_ck_detail_bill_export)                                                                             \
    X(rpt_ck_detail_bill_browse)                                                                             \
    X(rpt_ck_detail_bill_delete)                                                                             \
    X(rpt_cksum_print)                                                                                       \
    X(rpt_cksum_export)

// The table of function-right codes, held once as FunCodeTable. Each member
// answers its code, spelled as the member's name; the rights check compares
// codes case-sensitively, so the spelling matters:
//     if (!check_FunRight(FunCodeTable.import_save(), true)) return;
class m_funCode
{
  public:
#define WMS_FUN_CODE_MEMBER(name)                                                                            \
    QString name() const                                                                                     \
    {                                                                                                        \
        return QStringLiteral(#name);                                                                        \
    }
#define X_EXPORT                                                                                             \
    QString export_() const                                                                                  \
    {                                                                                                        \
        return QStringLiteral("export");                                                                     \
    }
    WMS_FUN_CODES(WMS_FUN_CODE_MEMBER)
#undef X_EXPORT
#undef WMS_FUN_CODE_MEMBER

    // Every code in declared order (97 of them).
    static QStringList AllCodes();
};

inline const m_funCode FunCodeTable;
