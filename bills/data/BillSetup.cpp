#include "BillSetup.h"

#include "m_funCode.h"

const BillSetup& BillSetup::In()
{
    static const BillSetup d{Inbound,
                             QStringLiteral("rk"),
                             QStringLiteral("tb_rk_head"),
                             QStringLiteral("tb_rk_detail"),
                             QStringLiteral("v_rk_head"),
                             QStringLiteral("v_rk_detail"),
                             QStringLiteral("temp_rk_head"),
                             QStringLiteral("temp_rk_detail"),
                             QStringLiteral("supplierId"),
                             QStringLiteral("supplierName"),
                             QStringLiteral("inPrice"),
                             false,
                             {FunCodeTable.import_save(), FunCodeTable.import_update(),
                              FunCodeTable.import_delete(), FunCodeTable.import_pass(),
                              FunCodeTable.import_nopass(), FunCodeTable.import_print(),
                              FunCodeTable.rpt_rkbill()}};
    return d;
}

const BillSetup& BillSetup::Out()
{
    static const BillSetup d{Outbound,
                             QStringLiteral("ck"),
                             QStringLiteral("tb_ck_head"),
                             QStringLiteral("tb_ck_detail"),
                             QStringLiteral("v_ck_head"),
                             QStringLiteral("v_ck_detail"),
                             QStringLiteral("temp_ck_head"),
                             QStringLiteral("temp_ck_detail"),
                             QStringLiteral("customerId"),
                             QStringLiteral("customerName"),
                             QStringLiteral("salePrice"),
                             true,
                             {FunCodeTable.export_save(), FunCodeTable.export_update(),
                              FunCodeTable.export_delete(), FunCodeTable.export_pass(),
                              FunCodeTable.export_nopass(), FunCodeTable.export_print(),
                              FunCodeTable.export_searchBill()}};
    return d;
}
