#include "frm_rpt_stock.h"

#include "BillSetup.h"
#include "FlexGrid.h"
#include "GetvalueFunction.h"
#include "KeyValue.h"
#include "MsgBox.h"
#include "PrintXml.h"
#include "StockSums.h"
#include "dal_rpt_stock.h"
#include "m_funCode.h"
#include "mod_public.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace
{

const QString kTitle = QStringLiteral("库存总账");

ReportLayout StockLayout()
{
    const auto col = [](const char* piece, const QString& field, int width, double share) {
        ReportColumn c;
        c.piece = QString::fromUtf8(piece);
        c.field = field;
        const bool own = field.isEmpty() || field == ReportColumn::RowNumber || field == ReportColumn::Tick;
        c.sortField = own ? QString() : field;
        c.baseWidth = width;
        c.share = share;
        return c;
    };
    const StockSums::SumColumns in = StockSums::SumColumns::Of(BillSetup::Of(BillDirection::In));
    const StockSums::SumColumns out = StockSums::SumColumns::Of(BillSetup::Of(BillDirection::Out));
    const StockSums::SumColumns balance = StockSums::SumColumns::Balance();
    ReportLayout l;
    l.objectName = QStringLiteral("frm_rpt_stock");
    l.title = kTitle;
    l.headerRows = 2;
    l.columns = {
        col("^序号 ", ReportColumn::RowNumber, 0, 0),
        col("|^选中 ", ReportColumn::Tick, 0, 0),
        col("|^ID   ", QStringLiteral("id"), 0, 0),
        // Wide enough for the status mark and its text.
        col("|^状态    ", QStringLiteral("status"), 900, 0),
        col("|<货品类别     ", QStringLiteral("goodsTypeName"), 1260, 0.05),
        col("|<货品编码     ", QStringLiteral("goodsCode"), 1260, 0.05),
        col("|<货品名称       ", QStringLiteral("goodsName"), 1440, 0.10),
        col("|<描述          ", QStringLiteral("goodsDesc"), 1350, 0.10),
        col("|>上限   ", QStringLiteral("upqty"), 720, 0.05),
        col("|>下限   ", QStringLiteral("downqty"), 720, 0.05),
        col("|^单位 ", QStringLiteral("unit"), 540, 0.05),
        col("|>入库    ", in.qty, 810, 0.05),
        col("|>出库    ", out.qty, 810, 0.10),
        col("|>库存    ", balance.qty, 810, 0.10),
        col("|>入库    ", in.weight, 810, 0.05),
        col("|>出库    ", out.weight, 810, 0.05),
        col("|>库存    ", balance.weight, 810, 0.05),
        col("|>入库    ", in.defaultQty, 810, 0.05),
        col("|>出库    ", out.defaultQty, 810, 0.05),
        col("|>库存    ", balance.defaultQty, 810, 0.05),
    };
    l.columns[1].hidden = true;
    l.columns[2].hidden = true;
    l.cursorField = QStringLiteral("goodsCode");
    l.statusField = QStringLiteral("status");
    l.statusIcons = GoodsStatusIcons();
    l.widthThreshold = 16470;
    l.toolbar = {{QStringLiteral("导出"), QStringLiteral("export"), QStyle::SP_DialogSaveButton},
                 {QStringLiteral("-"), QStringLiteral("sp2"), QStyle::SP_CustomBase},
                 {QStringLiteral("打印"), QStringLiteral("print"), QStyle::SP_FileDialogDetailedView},
                 {QStringLiteral("操作"), QStringLiteral("op"), QStyle::SP_FileDialogListView},
                 {QStringLiteral("关闭"), QStringLiteral("close"), QStyle::SP_DialogCloseButton}};
    l.exportRight = FunCodeTable.rpt_kczz_export();
    l.exportTitle = QStringLiteral("货品总账");
    l.exportHeaders =
        QStringLiteral("状态,货品类别,货品编码,货品名称,描述,上限,下限,单位,小件入库,小件出库,小件库存,"
                       "入库重量,出库重量,库存重量,默认件数入库,默认件数出库,默认件数库存");
    return l;
}

} // namespace

frm_rpt_stock::frm_rpt_stock(QWidget* parent)
    : ReportFrame(StockLayout(), std::make_unique<dal_rpt_stock>(), parent)
{
    addAccountCondition();
    addGoodsSearch(QStringLiteral("包括库存为0的货品"));
    formLoad();
}

QString frm_rpt_stock::GetColName(int int_Col) const
{
    if (int_Col < 0 || int_Col >= layout().columns.size())
        return {};
    const QString field = layout().columns.at(int_Col).field;
    return field == ReportColumn::RowNumber || field == ReportColumn::Tick ? QString() : field;
}

void frm_rpt_stock::setUpHeader()
{
    FlexGrid* g = grid();
    const int cols = g->Cols();
    for (int c = 0; c < cols; ++c)
        g->setTextMatrix(1, c, g->TextMatrix(0, c));
    // Each figure's inbound, outbound and balance columns stand side by side
    // under the figure's caption.
    const StockSums::SumColumns in = StockSums::SumColumns::Of(BillSetup::Of(BillDirection::In));
    const StockSums::SumColumns balance = StockSums::SumColumns::Balance();
    const struct {
        QString caption;
        int first;
        int last;
    } groups[] = {
        {QStringLiteral("小件汇总"), layout().column(in.qty), layout().column(balance.qty)},
        {QStringLiteral("重量汇总"), layout().column(in.weight), layout().column(balance.weight)},
        {QStringLiteral("默认件数"), layout().column(in.defaultQty), layout().column(balance.defaultQty)},
    };
    for (const auto& group : groups)
        for (int c = group.first; c <= group.last; ++c)
            g->setTextMatrix(0, c, group.caption);
    g->setMergeCells(FlexGrid::flexMergeFree);
    g->setMergeRow(0, true);
    for (int c = 0; c < cols; ++c)
        g->setMergeCol(c, true);
    g->setCellAlignment(0, 0, 1, cols - 1, FlexGrid::flexAlignCenterCenter);
    // Colours as 0xBBGGRR: RGB(255, 224, 192) for the pieces, RGB(0, 128, 128) for the default units.
    const auto& pieces = groups[0];
    const auto& units = groups[2];
    g->setCellBackColor(0, pieces.first, 1, pieces.last, 0xC0E0FF);
    g->setCellForeColor(0, pieces.first, 1, pieces.last, 0x000000);
    g->setCellBackColor(0, units.first, 1, units.last, 0x808000);
    g->setCellForeColor(0, units.first, 1, units.last, 0xFFFFFF);
}

void frm_rpt_stock::fillLoadControls()
{
    FillDictionaryCombo(cobo_goodsTypeName, QStringLiteral("goodsType"));
}

ReportFill frm_rpt_stock::fillConditions()
{
    // Every audited bill of the picked tags counts, whatever its date.
    ReportFill fill;
    fill.accountList = txt_accountType->property("Tag").toString() + QLatin1Char('0');
    return fill;
}

m_conditions frm_rpt_stock::listConditions()
{
    return goodsConditions();
}

void frm_rpt_stock::printReport()
{
    if (!check_FunRight(FunCodeTable.rpt_kczz_print(), true))
        return;
    const QDomElement node = data()->GetDetailRowNode(kStockPrintTemplate);
    if (node.isNull()) {
        MsgBox::Show(QStringLiteral("当前库存表信息不存在!"), MsgIcon::Exclamation, kTitle, MsgButtons::Ok,
                     this);
        return;
    }
    KeyValue nodes;
    nodes.AddItem(QStringLiteral("Content/DataDetail/DataRecord"), QVariant::fromValue(node));
    const QString file = CreatePrintXml(kStockPrintTemplate, nodes);
    RunPrint(SysVar.Sys_stockBill + file);
}
