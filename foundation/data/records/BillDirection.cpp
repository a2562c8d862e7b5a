#include "BillDirection.h"

const BillDirectionFacts& BillDirectionFacts::Of(BillDirection direction)
{
    static const BillDirectionFacts in{
        .direction = BillDirection::In,
        .billWord = QStringLiteral("入库"),
        .numberKind = QStringLiteral("rk"),
        .headTable = QStringLiteral("tb_rk_head"),
        .lineTable = QStringLiteral("tb_rk_detail"),
        .headView = QStringLiteral("v_rk_head"),
        .lineView = QStringLiteral("v_rk_detail"),
        .headTemp = QStringLiteral("temp_rk_head"),
        .lineTemp = QStringLiteral("temp_rk_detail"),
        .partnerIdCol = QStringLiteral("supplierId"),
        .partnerNameCol = QStringLiteral("supplierName"),
        .priceCol = QStringLiteral("inPrice"),
        .hasSalePrice = false,
        .sumWord = QStringLiteral("Import"),
        .partnerKind = QStringLiteral("supplier"),
        .goodsList = QStringLiteral("inputGoods"),
        .billList = QStringLiteral("rk_bill"),
        .billWindow = QStringLiteral("frmImport"),
        .newBill = "Import_Add",
        .openBill = "GetRK_Infor",
        .printTemplate = QStringLiteral("qv_import_bill"),
        .sumTemplate = QStringLiteral("qv_rpt_rkSum"),
    };
    static const BillDirectionFacts out{
        .direction = BillDirection::Out,
        .billWord = QStringLiteral("出库"),
        .numberKind = QStringLiteral("ck"),
        .headTable = QStringLiteral("tb_ck_head"),
        .lineTable = QStringLiteral("tb_ck_detail"),
        .headView = QStringLiteral("v_ck_head"),
        .lineView = QStringLiteral("v_ck_detail"),
        .headTemp = QStringLiteral("temp_ck_head"),
        .lineTemp = QStringLiteral("temp_ck_detail"),
        .partnerIdCol = QStringLiteral("customerId"),
        .partnerNameCol = QStringLiteral("customerName"),
        .priceCol = QStringLiteral("salePrice"),
        .hasSalePrice = true,
        .sumWord = QStringLiteral("Export"),
        .partnerKind = QStringLiteral("customer"),
        .goodsList = QStringLiteral("inputGoodsForExport"),
        .billList = QStringLiteral("ck_bill"),
        .billWindow = QStringLiteral("frmExport"),
        .newBill = "Export_Add",
        .openBill = "GetCK_Infor",
        .printTemplate = QStringLiteral("qv_export_bill"),
        .sumTemplate = QStringLiteral("qv_rpt_ckSum"),
    };
    return direction == BillDirection::In ? in : out;
}
