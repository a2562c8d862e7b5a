#include "frm_select.h"

#include "BillDirection.h"
#include "BindGrid.h"
#include "DbError.h"
#include "FlexGrid.h"
#include "FormHelpers.h"
#include "GridCellHelpers.h"
#include "Guarded.h"
#include "MsgBox.h"
#include "Numbers.h"
#include "PickerQuery.h"
#include "ProcessFuntionValues.h"
#include "m_ck_head.h"
#include "m_customer.h"
#include "m_dictionary.h"
#include "m_goods_detail.h"
#include "m_location.h"
#include "m_rk_head.h"
#include "mod_public.h"
#include "uvg.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

const int frm_select::kPageRows = 200;

namespace
{

// Design sizes of the dialog, in twips.
constexpr int kClientWidth = 8385;
constexpr int kClientHeight = 5145;
constexpr int kGridTop = 840;
constexpr int kPanelWidth = 5000;

// The grid's columns by their keys: the row's id, its mark (-1 marked) and
// then the list's fields under their own names (PickerQuery::Fields).
const QString kIdCol = QStringLiteral("id");
const QString kMarkCol = QStringLiteral("marked");

// The grid's format of each list: one caption and alignment a shown field.
struct Mode {
    QString name;
    QStringList format;
};

const QStringList kPartnerFormat = {QStringLiteral("|<往来单位名称       "),
                                    QStringLiteral("|<往来单位编码     "), QStringLiteral("|<联系人    "),
                                    QStringLiteral("|<公司名称         "),
                                    QStringLiteral("|<类别          ")};

// Goods for an inbound bill show the purchase price, for an outbound bill the sale price.
QStringList goodsFormat(const QString& priceCaption)
{
    return {QStringLiteral("|<货品编码或条码     "),
            QStringLiteral("|<货品名称           "),
            QStringLiteral("|<规格              "),
            QStringLiteral("|<货品类别     "),
            QStringLiteral("|^单位     "),
            QStringLiteral("|>内装数 "),
            QStringLiteral("|>重量  "),
            priceCaption,
            QStringLiteral("|<状态   ")};
}

const QList<Mode>& modes()
{
    const BillDirectionFacts& in = BillDirectionFacts::Of(BillDirection::In);
    const BillDirectionFacts& out = BillDirectionFacts::Of(BillDirection::Out);
    static const QList<Mode> list = {
        {in.partnerKind, kPartnerFormat},
        {out.partnerKind, kPartnerFormat},
        {QStringLiteral("location"),
         {QStringLiteral("|<库位编码       "), QStringLiteral("|<名称         "),
          QStringLiteral("|<库容量  "), QStringLiteral("|<父节点       "), QStringLiteral("|^锁定     "),
          QStringLiteral("|<库位类别 "), QStringLiteral("|<状态   ")}},
        {in.goodsList, goodsFormat(QStringLiteral("|>进价   "))},
        {out.goodsList, goodsFormat(QStringLiteral("|>销售价   "))},
        {QStringLiteral("dictionary"),
         {QStringLiteral("|<名称             "), QStringLiteral("|<状态      "),
          QStringLiteral("|<父节点           "), QStringLiteral("|<备注             ")}},
        {in.billList,
         {QStringLiteral("|<入库单号       "), QStringLiteral("|<自定义单号     "),
          QStringLiteral("|<入库类别 "), QStringLiteral("|<供应商名称       "),
          QStringLiteral("|<账目标识   "), QStringLiteral("|^单据项目  "), QStringLiteral("|<创建人   "),
          QStringLiteral("|<状态   ")}},
        {out.billList,
         {QStringLiteral("|<出库单号       "), QStringLiteral("|<自定义单号     "),
          QStringLiteral("|<出库类别 "), QStringLiteral("|<客户名称       "), QStringLiteral("|<账目标识   "),
          QStringLiteral("|^单据项目  "), QStringLiteral("|<创建人   "), QStringLiteral("|<状态   ")}},
    };
    return list;
}

const Mode* findMode(const QString& name)
{
    for (const Mode& m : modes()) {
        if (name == m.name && PickerQuery::HasList(name))
            return &m;
    }
    return nullptr;
}

} // namespace

frm_select::frm_select(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frm_select"));
    setWindowTitle(QStringLiteral("信息查找"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);

    utxtkeyword = new QLineEdit(this);
    utxtkeyword->setObjectName(QStringLiteral("utxtkeyword"));
    utxtkeyword->setMaxLength(30);

    Lblinfor = new QLabel(QStringLiteral("当前找到[ 0 ]条记录"), this);
    Lblinfor->setObjectName(QStringLiteral("Lblinfor"));

    ProgressBar1 = new QWidget(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    B_AllSelect = new QPushButton(QStringLiteral("全选"), ProgressBar1);
    B_AllSelect->setObjectName(QStringLiteral("B_AllSelect"));
    B_SelectInput = new QPushButton(QStringLiteral("确定"), ProgressBar1);
    B_SelectInput->setObjectName(QStringLiteral("B_SelectInput"));
    // Neither button answers Enter: Enter in the keyword box confirms nothing.
    for (QPushButton* b : {B_AllSelect, B_SelectInput}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    vgInput = new FlexGrid(this);
    vgInput->setObjectName(QStringLiteral("vgInput"));
    QFont gridFont = vgInput->font();
    gridFont.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"),
                          QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei")});
    gridFont.setPointSize(9);
    vgInput->setFont(gridFont);
    vgInput->setFixedRows(1);
    vgInput->setFixedCols(1);
    vgInput->setRows(2);
    vgInput->setCols(3);
    vgInput->setEditable(FlexGrid::flexEDNone);
    vgInput->setExplorerBar(FlexGrid::flexExSortShow);
    vgInput->setSelectionMode(FlexGrid::flexSelectionByRow);

    utxtkeyword->setGeometry(0, 0, twips(kClientWidth), twips(375));
    Lblinfor->setGeometry(twips(120), twips(500), twips(2775), twips(225));
    ProgressBar1->setGeometry(twips(kClientWidth - kPanelWidth - 50), twips(400), twips(kPanelWidth),
                              twips(400));
    B_AllSelect->setGeometry(twips(2880), 0, twips(975), twips(375));
    B_SelectInput->setGeometry(twips(3960), 0, twips(975), twips(375));
    vgInput->setGeometry(0, twips(kGridTop), twips(kClientWidth), twips(kClientHeight - kGridTop));
    setFixedSize(twips(kClientWidth), twips(kClientHeight));

    InstallFilterQuoteKey(utxtkeyword);
    utxtkeyword->installEventFilter(this);
    connect(utxtkeyword, &QLineEdit::textChanged, this, [this] { utxtkeyword_Change(); });
    connect(B_SelectInput, &QPushButton::clicked, this, &frm_select::B_SelectInput_Click);
    connect(B_AllSelect, &QPushButton::clicked, this, &frm_select::B_AllSelect_Click);
    connect(vgInput, &FlexGrid::Click, this, [this] { vgInput_Click(); });
    connect(vgInput, &FlexGrid::DblClick, this, [this] { vgInput_DblClick(); });
    connect(vgInput, &FlexGrid::KeyPress, this, [this](int& keyAscii) { vgInput_KeyPress(keyAscii); });
    connect(vgInput, &FlexGrid::KeyDown, this,
            [this](int& keyCode, Qt::KeyboardModifiers) { vgInput_KeyDown(keyCode); });
    connect(vgInput, &FlexGrid::BeforeSort, this,
            [this](int col, Qt::SortOrder order, bool& cancel) { vgInput_BeforeSort(col, order, cancel); });
    connect(vgInput, &FlexGrid::AfterSort, this, [this] { vgInput_AfterSort(); });
    connect(vgInput->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { fetchMoreIfNeeded(); });
    connect(vgInput, &FlexGrid::AfterRowColChange, this, [this] { fetchMoreIfNeeded(); });
}

frm_select::~frm_select() = default;

int frm_select::twips(int value) const
{
    return TwipsToPixels(value, this);
}

void frm_select::Form_Load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    B_AllSelect->setVisible(!isHideCheckCol);
}

m_recordSet frm_select::search(QString& format)
{
    const Mode* mode = findMode(utbName);
    if (!mode)
        return {};

    m_conditions conds;
    const QString name = utbName;
    const BillDirectionFacts& in = BillDirectionFacts::Of(BillDirection::In);
    const BillDirectionFacts& out = BillDirectionFacts::Of(BillDirection::Out);
    if (name == in.partnerKind || name == out.partnerKind) {
        // Suppliers are kinds 0 and 2, customers 1 and 2 (both).
        conds.append(
            m_condition(SearchKey::Type, QStringLiteral("in"),
                        NList(name == in.partnerKind ? QStringLiteral("0,2") : QStringLiteral("1,2"))));
        conds.append(m_condition(SearchKey::Status, QStringLiteral("="), 1));
    } else if (name == QLatin1String("location")) {
        conds.append(m_condition(SearchKey::State, QStringLiteral("="), 1));
        conds.append(m_condition(SearchKey::Id, QStringLiteral("in"), NList(SysVar.Sys_locationJoinId)));
    } else if (name == in.goodsList || name == out.goodsList) {
        conds.append(m_condition(SearchKey::Status, QStringLiteral("="), QStringLiteral("启用")));
    } else if (name == QLatin1String("dictionary")) {
        conds.append(m_condition(SearchKey::Started, QStringLiteral("="), 1));
    } else {
        conds.append(m_condition(SearchKey::Account, QStringLiteral("in"), NList(SysVar.Sys_accountJoinId)));
    }
    if (name == QLatin1String("dictionary") && append_Condition)
        conds.append(*append_Condition);

    format = QStringLiteral("^行号 |^id |^选定   ") + mode->format.join(QString());

    // Search as you type runs on every keystroke: it reads the first page in
    // the list's order and counts the matches only when there are more; the
    // rest is read page by page as the user scrolls.
    m_query =
        PickerQuery(name, conds, utxtkeyword->text(), m_sortCol - 1, m_sortOrder == Qt::DescendingOrder);
    m_recordSet result;
    result.recordSet = page(0);
    result.recordCount = result.recordSet ? result.recordSet->RecordCount() : 0;
    if (result.recordCount >= kPageRows)
        result.recordCount = m_query.Count();
    return result;
}

RecordSetPtr frm_select::page(int offset) const
{
    return m_query.Page(offset, kPageRows);
}

bool frm_select::canFetchMore() const
{
    return m_fetched < m_total;
}

void frm_select::fetchMore()
{
    if (!canFetchMore())
        return;
    try {
        const RecordSetPtr rows = page(m_fetched);
        if (!rows || rows->isEmpty()) {
            m_total = m_fetched; // the matches shrank since they were counted
            return;
        }
        const int before = vgInput->Rows();
        vgInput->AppendRecordSet(*rows);
        m_fetched += rows->RecordCount();
        SetGridRowNo(vgInput, before, vgInput->Rows() - 1, 0, -1, before);
        markKept(before);
    } catch (const DbError& e) {
        m_total = m_fetched;
        MsgBox::ShowWithDetails(e.message(), e.details(), MsgIcon::Critical, QStringLiteral("System"), this);
    }
}

void frm_select::fetchMoreIfNeeded()
{
    // Only the user's scrolling reads on, not the refill of a search.
    if (m_refilling || !canFetchMore() || !vgInput->isVisible())
        return;
    const QScrollBar* bar = vgInput->verticalScrollBar();
    if (bar->value() >= bar->maximum() || vgInput->Row() >= vgInput->Rows() - 1)
        fetchMore();
}

void frm_select::vgInput_BeforeSort(int col, Qt::SortOrder order, bool& cancel)
{
    // The whole list is sorted where it is read, not only the rows read so far.
    cancel = true;
    if (col <= vgInput->ColIndex(kMarkCol))
        return;
    m_sortCol = col;
    m_sortOrder = order;
    // Marked rows stay marked in the new order, also those read later.
    m_marked.clear();
    for (int r = vgInput->FixedRows(); r < vgInput->Rows(); ++r) {
        if (ReadNumber(vgInput->TextMatrix(r, kMarkCol)) == -1)
            m_marked.insert(vgInput->TextMatrix(r, kIdCol));
    }
    RunSearch();
}

void frm_select::markKept(int firstRow)
{
    if (m_marked.isEmpty())
        return;
    for (int r = firstRow; r < vgInput->Rows(); ++r) {
        if (m_marked.contains(vgInput->TextMatrix(r, kIdCol)))
            vgInput->setTextMatrix(r, kMarkCol, QStringLiteral("-1"));
    }
}

void frm_select::RunSearch()
{
    Form_Load();
    QString format;
    m_recordSet rs;
    if (!Guarded(this, GuardStyle{MsgIcon::Critical}, [&] { rs = search(format); }))
        return;
    if (format.isEmpty())
        format = QStringLiteral("^行号 |^id |^选定   ");

    vgInput->raise();
    vgInput->setRows(1);
    vgInput->setRows(2);
    vgInput->setCols(3);
    vgInput->setRedraw(false);
    vgInput->setRowHeightMin(300);
    int found = 0;
    m_fetched = 0;
    m_total = 0;
    m_refilling = true;
    if (rs.recordSet && rs.recordSet->RecordCount() > 0) {
        found = rs.recordCount;
        m_fetched = rs.recordSet->RecordCount();
        m_total = rs.recordCount;
        BindGrid(vgInput, rs.recordSet);
        SetGridRowNo(vgInput, 1, vgInput->Rows() - 1, 0, -1, 1);
    }
    vgInput->setFormatString(format);
    const QStringList& fields = m_query.Fields();
    vgInput->setColKey(0, QStringLiteral("rowNo"));
    for (int k = 0; k < fields.size(); ++k)
        vgInput->setColKey(k + 1, fields.at(k));
    if (fields.isEmpty()) {
        vgInput->setColKey(1, kIdCol);
        vgInput->setColKey(2, kMarkCol);
    }
    vgInput->setColHidden(vgInput->ColIndex(kIdCol), true);
    vgInput->setColHidden(vgInput->ColIndex(kMarkCol), isHideCheckCol);
    vgInput->setColDataType(vgInput->ColIndex(kMarkCol), FlexGrid::flexDTBoolean);
    SetGridRowCell(vgInput, 0, 0, 0);
    vgInput->setSortIndicator(m_sortCol, m_sortOrder);
    vgInput->setRedraw(true);
    vgInput->verticalScrollBar()->setValue(0);
    markKept(vgInput->FixedRows());
    m_refilling = false;

    const QString count = QString::number(std::max(found, 0));
    Lblinfor->setText(QStringLiteral("当前找到[ ") + count + QStringLiteral(" ]条记录"));
    m_width = GetGridWidth(vgInput);
    if (isVisible())
        Form_Resize();
}

void frm_select::Form_Resize()
{
    // The width follows the columns of the last search, but the dialog never
    // grows past the screen nor leaves it.
    const QRect screen =
        (this->screen() ? this->screen() : QApplication::primaryScreen())->availableGeometry();
    const int frame = frameGeometry().width() - geometry().width();
    int outer = m_width > 0 ? twips(m_width) : frameGeometry().width();
    outer = std::min(outer, screen.width());
    const int client = std::max(outer - frame, twips(kPanelWidth + 100));
    if (client != width())
        setFixedSize(client, height());

    const int w = width();
    vgInput->setGeometry(0, twips(kGridTop), w, height() - twips(kGridTop));
    utxtkeyword->setGeometry(0, 0, w, twips(375));
    ProgressBar1->move(w - twips(kPanelWidth) - twips(50), twips(400));

    const QRect outerRect = frameGeometry();
    int x = screen.left() + (screen.width() - outerRect.width()) / 2;
    int y = outerRect.top();
    x = std::clamp(x, screen.left(), std::max(screen.left(), screen.right() + 1 - outerRect.width()));
    y = std::clamp(y, screen.top(), std::max(screen.top(), screen.bottom() + 1 - outerRect.height()));
    if (QPoint(x, y) != outerRect.topLeft())
        move(x, y);
}

void frm_select::showEvent(QShowEvent* event)
{
    Form_Load();
    QDialog::showEvent(event);
    // Centred on the screen when it opens, then kept inside it.
    const QRect screen =
        (this->screen() ? this->screen() : QApplication::primaryScreen())->availableGeometry();
    move(screen.left() + (screen.width() - frameGeometry().width()) / 2,
         screen.top() + (screen.height() - frameGeometry().height()) / 2);
    Form_Resize();
}

void frm_select::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (isVisible())
        Form_Resize();
}

void frm_select::utxtkeyword_Change()
{
    m_marked.clear();
    Form_Load();
    RunSearch();
}

bool frm_select::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == utxtkeyword && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Down) {
            utxtkeyword_KeyDown(key->key());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frm_select::utxtkeyword_KeyDown(int keyCode)
{
    if (keyCode != Qt::Key_Down)
        return;
    vgInput->setFocus();
    if (vgInput->Rows() > 1) {
        vgInput->setRow(1);
        vgInput->setCol(std::max(vgInput->LeftCol(), vgInput->FixedCols()));
    }
}

void frm_select::keyPressEvent(QKeyEvent* event)
{
    // The picker has no key of its own: Esc does not close it and Enter does
    // not confirm it (only the list answers Enter).
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void frm_select::vgInput_KeyPress(int& keyAscii)
{
    if (keyAscii == 13) {
        keyAscii = 0;
        vgInput_DblClick();
    }
}

void frm_select::vgInput_KeyDown(int& keyCode)
{
    if (keyCode == Qt::Key_Backspace) {
        keyCode = 0;
        utxtkeyword->setFocus();
    }
}

void frm_select::vgInput_Click()
{
    if (vgInput->Col() != vgInput->ColIndex(kMarkCol))
        return;
    const int row = vgInput->Row();
    if (row < vgInput->FixedRows() || row >= vgInput->Rows())
        return;
    const bool marked = ReadNumber(vgInput->TextMatrix(row, kMarkCol)) == -1;
    vgInput->setTextMatrix(row, kMarkCol, marked ? QStringLiteral("0") : QStringLiteral("-1"));
}

void frm_select::vgInput_DblClick()
{
    const int row = vgInput->Row();
    if (row >= vgInput->FixedRows() && row < vgInput->Rows())
        vgInput->setTextMatrix(row, kMarkCol, QStringLiteral("-1"));
    B_SelectInput_Click();
}

void frm_select::vgInput_AfterSort()
{
    SetGridRowNo(vgInput, 1, vgInput->Rows() - 1, 0, -1, 1);
}

void frm_select::set_AllChecked(int value)
{
    for (int r = vgInput->FixedRows(); r < vgInput->Rows(); ++r)
        vgInput->setTextMatrix(r, kMarkCol, QString::number(value));
}

void frm_select::B_AllSelect_Click()
{
    // Every match, also those not read yet.
    while (canFetchMore())
        fetchMore();
    set_AllChecked(-1);
}

QVariant frm_select::recordOfRow(int row) const
{
    const auto cell = [&](const char* key) { return vgInput->TextMatrix(row, QLatin1String(key)); };
    const int id = int(ReadNumber(vgInput->TextMatrix(row, kIdCol)));
    const QString name = utbName;
    const BillDirectionFacts& in = BillDirectionFacts::Of(BillDirection::In);
    const BillDirectionFacts& out = BillDirectionFacts::Of(BillDirection::Out);
    if (name == in.partnerKind || name == out.partnerKind) {
        m_customer m;
        m.id = id;
        m.uname = cell("uname");
        m.customerCode = cell("customerCode");
        return QVariant::fromValue(m);
    }
    if (name == QLatin1String("location")) {
        m_location m;
        m.id = id;
        m.locationCode = cell("locationCode");
        return QVariant::fromValue(m);
    }
    if (name == in.goodsList || name == out.goodsList) {
        m_goods_detail m;
        m.id = id;
        m.inputGoodsCode = cell("inputGoodsCode");
        return QVariant::fromValue(m);
    }
    if (name == QLatin1String("dictionary")) {
        m_dictionary m;
        m.id = id;
        m.uname = cell("uname");
        return QVariant::fromValue(m);
    }
    if (name == in.billList) {
        m_rk_head m;
        m.id = id;
        return QVariant::fromValue(m);
    }
    m_ck_head m;
    m.id = id;
    return QVariant::fromValue(m);
}

void frm_select::B_SelectInput_Click()
{
    if (findMode(utbName)) {
        QVariantList picked;
        const int current = vgInput->Row();
        if (isHideCheckCol && current >= vgInput->FixedRows() && current < vgInput->Rows()) {
            picked.append(recordOfRow(current));
        } else {
            for (int r = vgInput->FixedRows(); r < vgInput->Rows(); ++r) {
                if (ReadNumber(vgInput->TextMatrix(r, kMarkCol)) == -1)
                    picked.append(recordOfRow(r));
            }
        }
        resultVal.isHasObject = true;
        resultVal.resultValue = picked;
    }
    accept();
}

void frm_select::Form_Unload()
{
    if (!resultVal.isHasObject) {
        resultVal.resultValue.clear();
        resultVal.isHasObject = false;
    }
}

void frm_select::done(int result)
{
    Form_Unload();
    QDialog::done(result);
}
