#include "frm_rpt_Head.h"

#include "BillSetup.h"

#include "FormHelpers.h"
#include "GetvalueFunction.h"
#include "sqlHelper.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace
{

ReportLayout HeadLayout(BillDirection dir)
{
    const BillSetup& t = BillSetup::Of(dir);
    const BillSetup::Reports& words = BillSetup::Of(dir).reports;
    const QString title = words.listTitle;
    ReportLayout l;
    l.objectName = QStringLiteral("frm_rpt_") + t.numberKind + QStringLiteral("Head");
    l.title = title;
    l.columns = {
        {QStringLiteral("^序号  "), ReportColumn::RowNumber, {}},
        {QStringLiteral("|^选中  "), ReportColumn::Tick, {}, true},
        {QStringLiteral("|^ID   "), QStringLiteral("id"), QStringLiteral("id"), true},
        {QStringLiteral("|^状态     "), QStringLiteral("passName"), QStringLiteral("passName")},
        {QStringLiteral("|<账目标识    "), QStringLiteral("accountName"), QStringLiteral("accountName"),
         false, 1170, 0.1},
        {QStringLiteral("|<单据号码      "), QStringLiteral("billNo"), QStringLiteral("billNo"), false, 1350,
         0.1},
        {QStringLiteral("|<自定义单号    "), QStringLiteral("ubillNo"), QStringLiteral("ubillNo"), false,
         1350, 0.1},
        {QStringLiteral("|<%1  ").arg(words.billTypeWord), QStringLiteral("utype"), QStringLiteral("utype"),
         false, 990, 0.05},
        {QStringLiteral("|<%1         ").arg(words.partnerWord), t.partnerNameCol, t.partnerNameCol, false,
         1800, 0.3},
        {QStringLiteral("|^单据项目 "), QStringLiteral("totalItemRow"), QStringLiteral("totalItemRow"), false,
         900, 0.05},
        {QStringLiteral("|>单据金额  "), QStringLiteral("totalAmount"), QStringLiteral("totalAmount"), false,
         990, 0.1},
        {QStringLiteral("|<备注        "), QStringLiteral("remark"), QStringLiteral("remark"), false, 1170,
         0.1},
        {QStringLiteral("|<建单人  "), QStringLiteral("creator"), QStringLiteral("creator"), false, 810,
         0.05},
        {QStringLiteral("|<建单日期   "), QStringLiteral("createTime"), QStringLiteral("createTime"), false,
         1080, 0.05},
        // The bill's change stamp as the page read it, for the audit and the delete.
        {QStringLiteral("|<rowVersion"), QStringLiteral("rowVersion"), {}, true},
    };
    l.cursorField = QStringLiteral("accountName");
    l.statusField = QStringLiteral("passName");
    l.statusIcons = {{QStringLiteral("已审核"), QStringLiteral("ok_01.gif")},
                     {QStringLiteral("未审核"), QStringLiteral("flg3.ico")}};
    l.widthThreshold = 13650;
    l.toolbar = {{QStringLiteral("导出"), QStringLiteral("export"), QStyle::SP_DialogSaveButton},
                 {QStringLiteral("新增"), QStringLiteral("addNew"), QStyle::SP_FileIcon},
                 {QStringLiteral("-"), QStringLiteral("sp1"), QStyle::SP_CustomBase},
                 {QStringLiteral("打印"), QStringLiteral("print"), QStyle::SP_FileDialogDetailedView},
                 {QStringLiteral("操作"), QStringLiteral("op"), QStyle::SP_FileDialogListView},
                 {QStringLiteral("关闭"), QStringLiteral("close"), QStyle::SP_DialogCloseButton}};
    l.exportRight = t.reportRights.listExport;
    l.exportTitle = title;
    l.exportHeaders =
        QStringLiteral("账目标识,状态,单据号码,自定义单号,%1,%2,单据项目,单据金额,备注,建单人,建单日期")
            .arg(words.billTypeWord, words.partnerWord);
    l.menu = {{QStringLiteral("查看单据"), QStringLiteral("menu_BrowseBill")},
              {QStringLiteral("删除单据"), QStringLiteral("menu_DeleteBill")},
              {{}, {}},
              {QStringLiteral("反审单据"), QStringLiteral("menu_nopass")},
              {QStringLiteral("审核单据"), QStringLiteral("menu_pass")}};
    return l;
}

} // namespace

frm_rpt_Head::frm_rpt_Head(BillDirection dir, QWidget* parent)
    : BillReportWindow(dir, HeadLayout(dir), std::make_unique<dal_rpt_Report>(BillListSetup, dir), parent)
{
    addAccountCondition();
    addDateCondition();
    cobo_type = new QComboBox(this);
    cobo_type->setObjectName(QStringLiteral("cobo_%1Type").arg(BillSetup::Of(dir).window.word));
    cobo_type->setEditable(true);
    cobo_type->setMinimumWidth(120);
    addCondition(BillSetup::Of(dir).window.billTypeCaption, cobo_type)
        ->setObjectName(QStringLiteral("Label3"));
    newConditionRow();
    addPartnerCondition(dir);
    addAuditCondition();
    addKeywordCondition();
    addSearchButton();
    formLoad();
}

void frm_rpt_Head::fillLoadControls()
{
    FillDictionaryCombo(cobo_type, BillSetup::Of(direction()).window.billTypeKind);
}

m_conditions frm_rpt_Head::listConditions()
{
    m_conditions list;
    if (!IsBlank(cobo_type->currentText()))
        list.append(m_condition(SearchKey::Type, QStringLiteral("="), cobo_type->currentText()));
    if (!IsBlank(txt_partnerName->text()))
        list.append(m_condition(SearchKey::Partner, QStringLiteral("like"), txt_partnerName->text()));
    if (!IsBlank(txt_KeyWord->text()))
        list.append(m_condition(SearchKey::Keyword, QStringLiteral("like"), txt_KeyWord->text()));
    return list;
}

void frm_rpt_Head::toolbarClicked(const QString& key)
{
    if (key == QLatin1String("addNew")) {
        if (check_FunRight(rights().listAdd, true))
            OpenBillWindow(direction(), 0);
        return;
    }
    ReportFrame::toolbarClicked(key);
}

void frm_rpt_Head::openCurrent()
{
    openBill(rights().listBrowse, false);
}

void frm_rpt_Head::menuClicked(const QString& name)
{
    if (name == QLatin1String("menu_BrowseBill"))
        openCurrent();
    else if (name == QLatin1String("menu_DeleteBill"))
        deleteBill(rights().listDelete);
    else if (name == QLatin1String("menu_pass"))
        passBill(rights().listPass, true);
    else if (name == QLatin1String("menu_nopass"))
        passBill(rights().listNopass, false);
}
