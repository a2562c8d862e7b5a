#include "BillSetup.h"

#include "m_funCode.h"

const BillSetup& BillSetup::In()
{
    static const BillSetup d{
        Inbound,
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
        QStringLiteral("Import"),
        {FunCodeTable.import_save(), FunCodeTable.import_update(), FunCodeTable.import_delete(),
         FunCodeTable.import_pass(), FunCodeTable.import_nopass(), FunCodeTable.import_print(),
         FunCodeTable.rpt_rkbill()},
        {QStringLiteral("frmImport"), QStringLiteral("入库业务"), QStringLiteral("import"),
         QStringLiteral("supplier"), QStringLiteral("importType"), QStringLiteral("inputGoods"),
         QStringLiteral("txt_inPrice"), QStringLiteral("供应商:"), QStringLiteral("入库单号:"),
         QStringLiteral("入库类别:"), QStringLiteral("供应商不能为空!"), QStringLiteral("请选择入库类型!"),
         QStringLiteral("存放库位不能为空,可以单击【鼠标右键】去批量预设!"),
         QStringLiteral("价格位数过多,最多15位有效数字!"), QStringLiteral("当前入库主表信息不存在!"),
         QStringLiteral("当前入库明细信息不存在!"), QStringLiteral("qv_import_bill"),
         QStringLiteral("frm_rpt_rkHead")}};
    return d;
}

const BillSetup& BillSetup::Out()
{
    static const BillSetup d{
        Outbound,
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
        QStringLiteral("Export"),
        {FunCodeTable.export_save(), FunCodeTable.export_update(), FunCodeTable.export_delete(),
         FunCodeTable.export_pass(), FunCodeTable.export_nopass(), FunCodeTable.export_print(),
         FunCodeTable.export_searchBill()},
        {QStringLiteral("frmExport"), QStringLiteral("出库业务"), QStringLiteral("export"),
         QStringLiteral("customer"), QStringLiteral("exportType"), QStringLiteral("inputGoodsForExport"),
         QStringLiteral("txt_salePrice"), QStringLiteral("客户:"), QStringLiteral("出库单号:"),
         QStringLiteral("出库类别:"), QStringLiteral("客户不能为空!"), QStringLiteral("请选择出库类型!"),
         QStringLiteral("取货库位不能为空,可以单击【鼠标右键】去批量预设!"),
         QStringLiteral("售价位数过多,最多15位有效数字!"), QStringLiteral("当前出库主表信息不存在!"),
         QStringLiteral("当前出库明细信息不存在!"), QStringLiteral("qv_export_bill"),
         QStringLiteral("frm_rpt_ckHead")}};
    return d;
}
