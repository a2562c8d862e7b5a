#include "BillDirectionSpec.h"

const BillDirectionSpec& BillDirectionSpec::In()
{
    static const BillDirectionSpec d{Inbound,
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
                                     false};
    return d;
}

const BillDirectionSpec& BillDirectionSpec::Out()
{
    static const BillDirectionSpec d{Outbound,
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
                                     true};
    return d;
}
