#include "frm_rpt_Sum.h"

#include "BillSetup.h"

#include "dal_dictionary.h"

#include "FlexGrid.h"
#include "FormHelpers.h"
#include "Guarded.h"
#include "KeyValue.h"
#include "MsgBox.h"
#include "PrintXml.h"
#include "StockSums.h"
#include "mod_public.h"
#include "sqlHelper.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace
{

ReportLayout SumLayout(BillDirection dir)
{
    const BillSetup& t = BillSetup::Of(dir);
    const QString title = BillSetup::Of(dir).reports.sumTitle;
    const StockSums::SumColumns sums = StockSums::SumColumns::Of(t);
    const QString qty = sums.qty;
    const QString weight = sums.weight;
    const QString defaultQty = sums.defaultQty;
    ReportLayout l;
    l.objectName = QStringLiteral("frm_rpt_") + t.numberKind + QStringLiteral("Sum");
    l.title = title;
    l.headerRows = 2;
    l.columns = {
        {QStringLiteral("^序号 "), ReportColumn::RowNumber, {}},
        {QStringLiteral("|^选中 "), ReportColumn::Tick, {}, true},
        {QStringLiteral("|^ID   "), QStringLiteral("id"), QStringLiteral("id"), true},
        {QStringLiteral("|^状态    "), QStringLiteral("status"), QStringLiteral("status"), false, 810, 0},
        {QStringLiteral("|<货品类别    "), QStringLiteral("goodsTypeName"), QStringLiteral("goodsTypeName"),
         false, 1170, 0},
        {QStringLiteral("|<货品编码       "), QStringLiteral("goodsCode"), QStringLiteral("goodsCode"), false,
         1440, 0.1},
        {QStringLiteral("|<货品名称          "), QStringLiteral("goodsName"), QStringLiteral("goodsName"),
         false, 1710, 0.3},
        {QStringLiteral("|<描述              "), QStringLiteral("goodsDesc"), QStringLiteral("goodsDesc"),
         false, 1710, 0.2},
        {QStringLiteral("|>上限    "), QStringLiteral("upqty"), QStringLiteral("upqty"), false, 810, 0.05},
        {QStringLiteral("|>下限    "), QStringLiteral("downqty"), QStringLiteral("downqty"), false, 810,
         0.05},
        {QStringLiteral("|^单位 "), QStringLiteral("unit"), QStringLiteral("unit"), false, 540, 0},
        {QStringLiteral("|>小件汇总    "), qty, qty, false, 1170, 0.1},
        {QStringLiteral("|>重量汇总    "), weight, weight, false, 1170, 0.1},
        {QStringLiteral("|>默认件数    "), defaultQty, defaultQty, false, 1170, 0.1},
    };
    l.cursorField = QStringLiteral("goodsCode");
    l.statusField = QStringLiteral("status");
    l.statusIcons = GoodsStatusIcons();
    l.widthThreshold = 13620;
    l.toolbar = {{QStringLiteral("导出"), QStringLiteral("export"), QStyle::SP_DialogSaveButton},
                 {QStringLiteral("打印"), QStringLiteral("print"), QStyle::SP_FileDialogDetailedView},
                 {QStringLiteral("操作"), QStringLiteral("op"), QStyle::SP_FileDialogListView},
                 {QStringLiteral("关闭"), QStringLiteral("close"), QStyle::SP_DialogCloseButton}};
    l.exportRight = t.reportRights.sumExport;
    l.exportTitle = title;
    l.exportHeaders =
        QStringLiteral("状态,货品类别,货品编码,货品名称,规格,上限,下限,单位,小件汇总,重量汇总,默认件数");
    return l;
}

QPushButton* Button(const QString& name, const QString& text, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

frm_rpt_Sum::frm_rpt_Sum(BillDirection dir, QWidget* parent)
    : ReportFrame(SumLayout(dir), std::make_unique<dal_rpt_Report>(GoodsSumSetup, dir), parent), m_dir(dir)
{
    const BillSetup& setup = BillSetup::Of(dir);
    const QString word = BillSetup::Of(dir).sumWord;
    addAccountCondition();
    addDateCondition();
    addPartnerCondition(dir);
    newConditionRow();

    txt_type = new QLineEdit(this);
    txt_type->setObjectName(setup.reports.sumTypeBox);
    txt_type->setReadOnly(true);
    auto* select = Button(QStringLiteral("btn_select%1Type").arg(word), QStringLiteral("..."), this);
    addCondition(setup.window.billTypeCaption, boxWithButton(txt_type, select));

    addGoodsSearch(QStringLiteral("包括汇总为0的货品"));

    // The type panel: one type chosen by a click.
    pic_Box_Type = new QFrame(this);
    pic_Box_Type->setObjectName(QStringLiteral("pic_Box_%1Type").arg(word));
    pic_Box_Type->setFrameShape(QFrame::Box);
    pic_Box_Type->setAutoFillBackground(true);
    auto* box = new QVBoxLayout(pic_Box_Type);
    auto* head = new QHBoxLayout;
    head->addWidget(new QLabel(QStringLiteral("请选中%1:").arg(setup.reports.billTypeWord), pic_Box_Type), 1);
    auto* close = Button(QStringLiteral("lb_Close%1Type").arg(word), QStringLiteral("X"), pic_Box_Type);
    close->setFlat(true);
    close->setFixedWidth(24);
    head->addWidget(close);
    tv_Type = new QTreeWidget(pic_Box_Type);
    tv_Type->setObjectName(QStringLiteral("tv_%1Type").arg(word));
    tv_Type->setHeaderHidden(true);
    tv_Type->setRootIsDecorated(false);
    auto* buttons = new QHBoxLayout;
    auto* clear = Button(QStringLiteral("btn_Clear%1Type").arg(word), QStringLiteral("清空"), pic_Box_Type);
    auto* cancel = Button(QStringLiteral("btn_%1TypeCancel").arg(word), QStringLiteral("取消"), pic_Box_Type);
    buttons->addStretch(1);
    buttons->addWidget(clear);
    buttons->addWidget(cancel);
    box->addLayout(head);
    box->addWidget(tv_Type, 1);
    box->addLayout(buttons);
    pic_Box_Type->resize(260, 240);
    pic_Box_Type->hide();
    connect(select, &QPushButton::clicked, this,
            [this] { Guarded(this, [&] { openPanel(pic_Box_Type, txt_type); }); });
    connect(tv_Type, &QTreeWidget::itemClicked, this, [this] { Guarded(this, [&] { chooseType(); }); });
    connect(clear, &QPushButton::clicked, this, [this] {
        txt_type->clear();
        txt_type->setProperty("Tag", QString());
        pic_Box_Type->hide();
    });
    connect(cancel, &QPushButton::clicked, pic_Box_Type, &QWidget::hide);
    connect(close, &QPushButton::clicked, pic_Box_Type, &QWidget::hide);
    formLoad();
}

void frm_rpt_Sum::setUpHeader()
{
    FlexGrid* g = grid();
    const int cols = g->Cols();
    for (int c = 0; c < cols; ++c)
        g->setTextMatrix(1, c, g->TextMatrix(0, c));
    // The three sum columns stand side by side under the report's title.
    const StockSums::SumColumns sums = StockSums::SumColumns::Of(BillSetup::Of(m_dir));
    const int qty = layout().column(sums.qty);
    const int defaultQty = layout().column(sums.defaultQty);
    for (int c = qty; c <= defaultQty; ++c)
        g->setTextMatrix(0, c, BillSetup::Of(m_dir).reports.sumTitle);
    g->setMergeCells(FlexGrid::flexMergeFree);
    g->setMergeRow(0, true);
    for (int c = 0; c < cols; ++c)
        g->setMergeCol(c, true);
    g->setCellAlignment(0, 0, 1, cols - 1, FlexGrid::flexAlignCenterCenter);
    const int colour = 0xC0E0FF; // &HC0E0FF: red 255, green 224, blue 192
    g->setCellBackColor(0, qty, 0, defaultQty, colour);
    g->setCellBackColor(1, qty, 1, qty, colour);
    g->setCellBackColor(1, defaultQty, 1, defaultQty, colour);
}

void frm_rpt_Sum::fillLoadControls()
{
    FillDictionaryCombo(cobo_goodsTypeName, QStringLiteral("goodsType"));
    tv_Type->hide();
    tv_Type->clear();
    const RecordSetPtr rs = dal_dictionary::EnabledOfType(BillSetup::Of(m_dir).window.billTypeKind);
    for (int r = 0; rs && r < rs->RecordCount(); ++r) {
        auto* node = new QTreeWidgetItem(tv_Type, {rs->text(r, QStringLiteral("uname"))});
        node->setData(0, Qt::UserRole, QStringLiteral("key_") + rs->text(r, QStringLiteral("id")).trimmed());
        node->setIcon(0, style()->standardIcon(QStyle::SP_FileIcon));
    }
    tv_Type->show();
}

void frm_rpt_Sum::chooseType()
{
    txt_type->clear();
    txt_type->setProperty("Tag", QString());
    if (QTreeWidgetItem* node = tv_Type->currentItem()) {
        txt_type->setText(node->text(0));
        txt_type->setProperty("Tag", node->data(0, Qt::UserRole).toString().mid(4));
        pic_Box_Type->hide();
    }
}

ReportFill frm_rpt_Sum::fillConditions()
{
    // The sums always count audited bills; the account tags travel as a list.
    ReportFill fill;
    fill.accountList = CheckIdList(txt_accountType->property("Tag").toString() + QLatin1Char('0'));
    if (!IsBlank(txt_partnerName->text()))
        fill.conditions.append(
            m_condition(SearchKey::Partner, QStringLiteral("like"), txt_partnerName->text()));
    const QString type = txt_type->property("Tag").toString();
    if (!IsBlank(type))
        fill.conditions.append(m_condition(SearchKey::TypeId, QStringLiteral("="), type.trimmed().toInt()));
    fill.conditions.append(m_condition(SearchKey::CreateTime, QStringLiteral(">="),
                                       dt_createDateFrom->date().toString(QStringLiteral("yyyy-MM-dd"))));
    fill.conditions.append(
        m_condition(SearchKey::CreateTime, QStringLiteral("<"),
                    dt_createDateTo->date().addDays(1).toString(QStringLiteral("yyyy-MM-dd"))));
    return fill;
}

m_conditions frm_rpt_Sum::listConditions()
{
    return goodsConditions();
}

void frm_rpt_Sum::printReport()
{
    const BillSetup& setup = BillSetup::Of(m_dir);
    const BillSetup::Reports& words = setup.reports;
    // The data file and the command name the same template.
    const QString templ = setup.sumTemplate;
    const QDomElement node = data()->GetDetailRowNode(templ);
    if (node.isNull()) {
        MsgBox::Show(words.sumMissing, MsgIcon::Exclamation, windowTitle(), MsgButtons::Ok, this);
        return;
    }
    KeyValue nodes;
    nodes.AddItem(QStringLiteral("Content/DataDetail/DataRecord"), QVariant::fromValue(node));
    const QString file = CreatePrintXml(templ, nodes);
    RunPrint(PrintToolCommand(PrintKind::List, templ) + file);
}
