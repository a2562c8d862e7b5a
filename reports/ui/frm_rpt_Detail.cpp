#include "frm_rpt_Detail.h"

#include "BillSetup.h"

#include "FormHelpers.h"
#include "GetvalueFunction.h"
#include "WindowChrome.h"
#include "sqlHelper.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>

namespace
{

ReportLayout DetailLayout(BillDirection dir)
{
    const BillSetup& t = BillSetup::Of(dir);
    const BillSetup::Reports& words = BillSetup::Of(dir).reports;
    const QString title = words.detailTitle;
    const auto col = [](const char* piece, const QString& field, bool hidden = false) {
        return ReportColumn{QString::fromUtf8(piece), field, field, hidden};
    };
    ReportLayout l;
    l.objectName = QStringLiteral("frm_rpt_") + t.numberKind + QStringLiteral("Detail");
    l.title = title;
    l.columns = {
        {QStringLiteral("^序号 "), ReportColumn::RowNumber, QStringLiteral("rowNo")},
        {QStringLiteral("|^选中 "), ReportColumn::Tick, {}, true},
        col("|^ID   ", QStringLiteral("id"), true),
        col("|^状态     ", QStringLiteral("passName")),
        col("|<headId     ", QStringLiteral("headId"), true),
        col("|<账目标识      ", QStringLiteral("accountName")),
        col("|<单据号码      ", QStringLiteral("billNo")),
        col("|<自定义单号  ", QStringLiteral("ubillNo")),
        ReportColumn{QStringLiteral("|<%1 ").arg(words.billTypeWord), QStringLiteral("utype"),
                     QStringLiteral("utype")},
        ReportColumn{QStringLiteral("|<%1     ").arg(words.partnerWord), t.partnerNameCol, t.partnerNameCol},
        col("|^货品类别 ", QStringLiteral("goodsTypeName")),
        col("|<货品编码        ", QStringLiteral("goodsCode")),
        col("|<goodsDetailCode", QStringLiteral("goodsDetailCode"), true),
        col("|<货品名称       ", QStringLiteral("goodsName")),
        col("|<描述      ", QStringLiteral("goodsDesc")),
        col("|^单位 ", QStringLiteral("unit")),
        col("|>内装数", QStringLiteral("packQty")),
        col("|>重量  ", QStringLiteral("weight")),
    };
    if (!BillSetup::Of(dir).hasSalePrice) {
        l.columns.append(col("|>价格    ", QStringLiteral("inPrice")));
    } else {
        // The purchase price travels along hidden; the sale price is the one shown.
        l.columns.append(col("|>进价    ", QStringLiteral("inPrice"), true));
        l.columns.append(col("|>售价    ", QStringLiteral("salePrice")));
    }
    l.columns += {
        col("|>数量    ", QStringLiteral("qty")),
        col("|>金额    ", QStringLiteral("totalAmount")),
        col("|>小件数量", QStringLiteral("totalQty"), true),
        col("|>默认件数", QStringLiteral("totalDefaultQty"), true),
        col("|>重量小计", QStringLiteral("totalWeight")),
        col("|>存放库位 ", QStringLiteral("locationCode")),
        col("|>批次号    ", QStringLiteral("lotNo")),
        col("|<备注     ", QStringLiteral("remark")),
        col("|<建单人  ", QStringLiteral("creator")),
        col("|<建单日期    ", QStringLiteral("createTime")),
        // The line's bill's change stamp as the page read it, for the delete.
        {QStringLiteral("|<rowVersion"), QStringLiteral("rowVersion"), {}, true},
    };
    l.cursorField = QStringLiteral("accountName");
    l.statusField = QStringLiteral("passName");
    l.statusIcons = {{QStringLiteral("已审核"), QStringLiteral("ok_01.gif")},
                     {QStringLiteral("未审核"), QStringLiteral("flg3.ico")}};
    l.gridFullWidth = true;
    l.toolbar = {{QStringLiteral("导出"), QStringLiteral("export"), QStyle::SP_DialogSaveButton},
                 {QStringLiteral("新增"), QStringLiteral("addNew"), QStyle::SP_FileIcon},
                 {QStringLiteral("操作"), QStringLiteral("operation"), QStyle::SP_FileDialogListView},
                 {QStringLiteral("-"), QStringLiteral("sp2"), QStyle::SP_CustomBase},
                 {QStringLiteral("打印"), QStringLiteral("print"), QStyle::SP_FileDialogDetailedView},
                 {QStringLiteral("操作"), QStringLiteral("op"), QStyle::SP_FileDialogListView},
                 {QStringLiteral("关闭"), QStringLiteral("close"), QStyle::SP_DialogCloseButton}};
    l.exportRight = t.reportRights.detailExport;
    l.exportTitle = title;
    l.exportHeaders =
        QStringLiteral("账目标识,状态,单据号码,自定义单号,%1,%2,货品类别,货品编码,货品名称,描述,单位,内装数,"
                       "重量,%3,数量,金额,小件数量,默认件数,重量小计,存放库位,批次号,备注,建单人,建单日期")
            .arg(words.billTypeWord, words.partnerWord, words.priceWord);
    l.menu = {{QStringLiteral("查看单据"), QStringLiteral("menu_BrowseBill")},
              {QStringLiteral("删除单据"), QStringLiteral("menu_DeleteBill")}};
    return l;
}

} // namespace

frm_rpt_Detail::frm_rpt_Detail(BillDirection dir, QWidget* parent)
    : BillReportWindow(dir, DetailLayout(dir), std::make_unique<dal_rpt_Report>(BillDetailSetup, dir), parent)
{
    m_billIdField = QStringLiteral("headId"); // the line's bill
    addAccountCondition();
    addDateCondition();
    addGoodsTypeCondition();
    cobo_type = new QComboBox(this);
    cobo_type->setObjectName(QStringLiteral("cobo_%1Type").arg(BillSetup::Of(dir).window.word));
    cobo_type->setEditable(true);
    cobo_type->setMinimumWidth(110);
    addCondition(BillSetup::Of(dir).window.billTypeCaption, cobo_type);
    newConditionRow();
    addPartnerCondition(dir);
    addAuditCondition();
    txt_goodsCode = new QLineEdit(this);
    txt_goodsCode->setObjectName(QStringLiteral("txt_goodsCode"));
    addCondition(QStringLiteral("货品编码:"), txt_goodsCode);
    addKeywordCondition();
    addSearchButton();
    formLoad();
}

void frm_rpt_Detail::fillLoadControls()
{
    FillDictionaryCombo(cobo_goodsTypeName, QStringLiteral("goodsType"));
    FillDictionaryCombo(cobo_type, BillSetup::Of(direction()).window.billTypeKind);
}

m_conditions frm_rpt_Detail::listConditions()
{
    m_conditions list;
    if (!IsBlank(cobo_goodsTypeName->currentText()))
        list.append(
            m_condition(SearchKey::GoodsTypeName, QStringLiteral("="), cobo_goodsTypeName->currentText()));
    if (!IsBlank(cobo_type->currentText()))
        list.append(m_condition(SearchKey::Type, QStringLiteral("="), cobo_type->currentText()));
    if (!IsBlank(txt_partnerName->text()))
        list.append(m_condition(SearchKey::Partner, QStringLiteral("like"), txt_partnerName->text()));
    if (!IsBlank(txt_goodsCode->text()))
        list.append(m_condition(SearchKey::Code, QStringLiteral("like"), txt_goodsCode->text()));
    if (!IsBlank(txt_KeyWord->text()))
        list.append(m_condition(SearchKey::Keyword, QStringLiteral("like"), txt_KeyWord->text()));
    return list;
}

void frm_rpt_Detail::toolbarClicked(const QString& key)
{
    if (key == QLatin1String("operation")) {
        // The row menu drops down under its button.
        QAction* action = utoolbar->bar()->findChild<QAction*>(QStringLiteral("operation"));
        QWidget* button = action ? utoolbar->bar()->widgetForAction(action) : nullptr;
        if (button)
            vs_pop_menu->popup(button->mapToGlobal(QPoint(0, button->height())));
        else
            popUpMenu();
    } else
        ReportFrame::toolbarClicked(key);
}

void frm_rpt_Detail::openCurrent()
{
    // The outbound detail tests the right before it reads the grid.
    openBill(rights().detailBrowse, direction() == BillDirection::Out);
}

void frm_rpt_Detail::menuClicked(const QString& name)
{
    if (name == QLatin1String("menu_BrowseBill"))
        openCurrent();
    else if (name == QLatin1String("menu_DeleteBill"))
        deleteBill(rights().detailDelete);
}
