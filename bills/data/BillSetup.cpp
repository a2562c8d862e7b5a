#include "BillSetup.h"

#include "m_funCode.h"

const BillSetup& BillSetup::In()
{
    static const BillSetup d = [] {
        const BillDirectionFacts& f = BillDirectionFacts::Of(BillDirection::In);
        return BillSetup{
            f,
            {FunCodeTable.import_save(), FunCodeTable.import_update(), FunCodeTable.import_delete(),
             FunCodeTable.import_pass(), FunCodeTable.import_nopass(), FunCodeTable.import_print(),
             FunCodeTable.rpt_rkbill()},
            {FunCodeTable.rpt_rkbill_add(), FunCodeTable.rpt_rkbill_browse(),
             FunCodeTable.rpt_rkbill_delete(), FunCodeTable.rpt_rkbill_pass(),
             FunCodeTable.rpt_rkbill_nopass(), FunCodeTable.rpt_rkbill_export(),
             FunCodeTable.rpt_rk_detail_bill_browse(), FunCodeTable.rpt_rk_detail_bill_delete(),
             FunCodeTable.rpt_rk_detail_bill_export(), FunCodeTable.rpt_rksum_export()},
            {QStringLiteral("入库业务"), QStringLiteral("import"), QStringLiteral("importType"),
             QStringLiteral("txt_inPrice"), QStringLiteral("供应商:"), QStringLiteral("入库单号:"),
             QStringLiteral("入库类别:"), QStringLiteral("供应商不能为空!"),
             QStringLiteral("请选择入库类型!"),
             QStringLiteral("存放库位不能为空,可以单击【鼠标右键】去批量预设!"),
             QStringLiteral("价格位数过多,最多15位有效数字!"), QStringLiteral("当前入库主表信息不存在!"),
             QStringLiteral("当前入库明细信息不存在!"), QStringLiteral("frm_rpt_rkHead"),
             QStringLiteral("存放库位"), QStringLiteral("当前供应商信息不存在!"),
             QStringLiteral("当前库位信息不存在!")},
            {QStringLiteral("入库类别"), QStringLiteral("供应商名称"), QStringLiteral("价格"),
             QStringLiteral("入库单据"), QStringLiteral("入库明细"), QStringLiteral("入库汇总"),
             QStringLiteral("当前入库汇总信息不存在!"), QStringLiteral("txt_importType")}};
    }();
    return d;
}

const BillSetup& BillSetup::Out()
{
    static const BillSetup d = [] {
        const BillDirectionFacts& f = BillDirectionFacts::Of(BillDirection::Out);
        return BillSetup{
            f,
            {FunCodeTable.export_save(), FunCodeTable.export_update(), FunCodeTable.export_delete(),
             FunCodeTable.export_pass(), FunCodeTable.export_nopass(), FunCodeTable.export_print(),
             FunCodeTable.export_searchBill()},
            {FunCodeTable.rpt_ckbill_add(), FunCodeTable.rpt_ckbill_browse(),
             FunCodeTable.rpt_ckbill_delete(), FunCodeTable.rpt_ckbill_pass(),
             FunCodeTable.rpt_ckbill_nopass(), FunCodeTable.rpt_ckbill_export(),
             FunCodeTable.rpt_ck_detail_bill_browse(), FunCodeTable.rpt_ck_detail_bill_delete(),
             FunCodeTable.rpt_ck_detail_bill_export(), FunCodeTable.rpt_cksum_export()},
            {QStringLiteral("出库业务"), QStringLiteral("export"), QStringLiteral("exportType"),
             QStringLiteral("txt_salePrice"), QStringLiteral("客户:"), QStringLiteral("出库单号:"),
             QStringLiteral("出库类别:"), QStringLiteral("客户不能为空!"), QStringLiteral("请选择出库类型!"),
             QStringLiteral("取货库位不能为空,可以单击【鼠标右键】去批量预设!"),
             QStringLiteral("售价位数过多,最多15位有效数字!"), QStringLiteral("当前出库主表信息不存在!"),
             QStringLiteral("当前出库明细信息不存在!"), QStringLiteral("frm_rpt_ckHead"),
             QStringLiteral("取货库位"), QStringLiteral("当前客户信息不存在!"),
             QStringLiteral("当前库位信息不存在!")},
            {QStringLiteral("出库类别"), QStringLiteral("客户名称"), QStringLiteral("售价"),
             QStringLiteral("出库单据"), QStringLiteral("出库明细"), QStringLiteral("出库汇总"),
             QStringLiteral("当前出库汇总信息不存在!"), QStringLiteral("txt_ExportType")}};
    }();
    return d;
}
