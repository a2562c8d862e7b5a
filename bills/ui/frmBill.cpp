#include "frmBill.h"

#include "BindGrid.h"
#include "Clock.h"
#include "DbError.h"
#include "DialogRunner.h"
#include "EditPanel.h"
#include "FlexGrid.h"
#include "FormHelpers.h"
#include "GetvalueFunction.h"
#include "Guarded.h"
#include "KeyValue.h"
#include "MsgBox.h"
#include "Numbers.h"
#include "PickOne.h"
#include "PrintXml.h"
#include "ProcessFuntionValues.h"
#include "WindowChrome.h"
#include "WindowRegistry.h"
#include "dal_dictionary.h"
#include "dal_goods_detail.h"
#include "dal_location.h"
#include "frm_select.h"
#include "m_customer.h"
#include "m_goods_detail.h"
#include "m_location.h"
#include "mod_public.h"
#include "uvg.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolBar>
#include <QVBoxLayout>

frmBill::StockProbe frmBill::s_stockProbe;

void frmBill::SetStockProbe(StockProbe probe)
{
    s_stockProbe = std::move(probe);
}

namespace
{
QString Q(const char* text)
{
    return QString::fromUtf8(text);
}

QLineEdit* box(QWidget* parent, const QString& name, int maxLength = 0)
{
    auto* b = new QLineEdit(parent);
    b->setObjectName(name);
    if (maxLength > 0)
        b->setMaxLength(maxLength);
    return b;
}

bool isNumberText(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[-+]?(\\d+\\.?\\d*|\\.\\d+)\\s*$"));
    return number.match(text).hasMatch();
}

int roundEven(double v)
{
    return int(std::nearbyint(v)); // the default rounding mode: halves to the even neighbour
}

// The most decimals a typed quantity or price keeps.
constexpr int kLinePlaces = 6;

// A price as the grid shows it: in the price format where that format holds
// it ("12" shows "12.0"), else whole, as stored or typed ("1.0005").
QString priceText(const Decimal& price)
{
    const QString formatted = FormatNumber(price, SysVar.Sys_PriceFormat);
    return Decimal::Leading(QStringView(formatted)) == price ? formatted : price.toString();
}
} // namespace

frmBill::frmBill(BillDirection dir, QWidget* parent)
    : QWidget(parent), m_store(BillSetup::Of(dir)), m_uvg(std::make_unique<uvg>())
{
    setObjectName(direction().billWindow);
    setWindowTitle(direction().window.title);
    buildWindow();
    setGridFormat();
    c = Cols::Of(*vs_bill, direction());
    vsBill_init();
    loadLists();
    new_Bill();
    markSaved();
    m_uvg->uInit(vs_bill, 0);
    m_uvg->IsCheckEnterToTab = true;
    m_uvg->IsResetRowNum = true;
    m_uvg->uHeightRow = 350;
    qApp->installEventFilter(this);
}

frmBill::~frmBill()
{
    qApp->removeEventFilter(this);
}

// ------------------------------------------------------------------ layout

void frmBill::buildWindow()
{
    QWidget* band = buildTitleBand();
    buildToolbar();
    QWidget* head = buildHead();
    buildGrid();
    QWidget* toolBox = buildGridTools();
    QWidget* strip = buildEntryStrip();

    auto* body = new QVBoxLayout;
    body->addWidget(head);
    body->addWidget(vs_bill, 1);
    body->addWidget(toolBox);
    body->addWidget(strip);
    StackWindowChrome(this, band, utoolbar, body);

    QWidget* order[] = {btn_searchPartner, txt_billNo,      cobo_accountType, cobo_billType, dt_createDate,
                        txt_ubillNo,       txt_partnerName, txt_GoodsCode,    txt_Qty,       txt_price,
                        cobo_location,     txt_creator,     txt_remark,       vs_bill,       txt_BillAmount,
                        btn_DeleteRow,     btn_addRow,      btn_searchGoods};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    resize(1000, 620);
}

// The title band with the audit stamps (已审核 / 未审核) on it.
QWidget* frmBill::buildTitleBand()
{
    const TitleBand title = MakeTitleBand(this, windowTitle());
    img_pass = new QLabel(Q("已审核"), title.band);
    img_pass->setObjectName(QStringLiteral("img_pass"));
    img_nopass = new QLabel(Q("未审核"), title.band);
    img_nopass->setObjectName(QStringLiteral("img_nopass"));
    for (auto [stamp, color] : {std::pair{img_pass, "#1a8f1a"}, std::pair{img_nopass, "#d01010"}}) {
        stamp->setFixedSize(92, 34);
        stamp->setAlignment(Qt::AlignCenter);
        stamp->setStyleSheet(QStringLiteral("color:%1;border:2px solid %1;border-radius:6px;font:bold 16px;")
                                 .arg(QLatin1String(color)));
        stamp->hide();
    }
    return title.band;
}

void frmBill::buildToolbar()
{
    KeyedToolbar toolbar(this, QStringLiteral("utoolbar"),
                         [this](const QString& key) { Guarded(this, [&] { toolbarClicked(key); }); });
    utoolbar = toolbar.bar();
    toolbar.add(Q("新增"), QStringLiteral("add"), QStyle::SP_FileIcon);
    toolbar.add(Q("保存"), QStringLiteral("save"), QStyle::SP_DialogSaveButton);
    toolbar.add(Q("删除"), QStringLiteral("delete"), QStyle::SP_TrashIcon);
    passAction = toolbar.add(Q("审核"), QStringLiteral("pass"), QStyle::SP_DialogApplyButton);
    utoolbar->addSeparator()->setObjectName(QStringLiteral("sp2"));
    toolbar.add(Q("打印"), QStringLiteral("print"), QStyle::SP_FileDialogDetailedView);
    toolbar.add(Q("查单"), QStringLiteral("seachBill"), QStyle::SP_FileDialogContentsView);
    toolbar.add(Q("刷新"), QStringLiteral("refresh"), QStyle::SP_BrowserReload);
    toolbar.add(Q("关闭"), QStringLiteral("close"), QStyle::SP_ArrowBack);
}

// The head: partner, account tag, numbers, bill type, date, creator and remark.
QWidget* frmBill::buildHead()
{
    auto* head = new QWidget(this);
    head->setObjectName(direction().window.word + QStringLiteral("Bill_infor"));
    auto* hg = new QGridLayout(head);
    const QString partner = direction().partnerKind;
    const QString Partner = partner.left(1).toUpper() + partner.mid(1);
    txt_partnerName = box(head, QStringLiteral("txt_%1Name").arg(partner));
    txt_partnerName->setReadOnly(true);
    txt_partnerId = box(head, QStringLiteral("txt_%1Id").arg(partner));
    txt_partnerId->hide();
    btn_searchPartner = new QPushButton(QStringLiteral("..."), head);
    btn_searchPartner->setObjectName(QStringLiteral("btn_search%1").arg(Partner));
    btn_searchPartner->setFixedWidth(28);
    connect(btn_searchPartner, &QPushButton::clicked, this,
            [this] { Guarded(this, [&] { searchPartner(); }); });
    cobo_accountType = new QComboBox(head);
    cobo_accountType->setObjectName(QStringLiteral("cobo_accountType"));
    cobo_billType = new QComboBox(head);
    cobo_billType->setObjectName(QStringLiteral("cobo_") + direction().window.word + QStringLiteral("Type"));
    txt_billNo = box(head, QStringLiteral("txt_billNo"));
    txt_billNo->setReadOnly(true);
    txt_ubillNo = box(head, QStringLiteral("txt_ubillNo"), 30);
    txt_remark = new QPlainTextEdit(head);
    txt_remark->setObjectName(QStringLiteral("txt_remark"));
    txt_remark->setFixedHeight(52);
    txt_remark->setTabChangesFocus(true);
    dt_createDate = new QDateEdit(head);
    dt_createDate->setObjectName(QStringLiteral("dt_createDate"));
    dt_createDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    dt_createDate->setCalendarPopup(true);
    txt_creator = box(head, QStringLiteral("txt_creator"));
    txt_creator->setReadOnly(true);
    for (QLineEdit* b : {txt_billNo, txt_creator})
        b->setStyleSheet(QStringLiteral("background:rgb(224,224,224);"));
    txt_id = box(this, QStringLiteral("txt_id"));
    txt_id->hide();
    auto* partnerBox = new QHBoxLayout;
    partnerBox->setContentsMargins(0, 0, 0, 0);
    partnerBox->addWidget(txt_partnerName, 1);
    partnerBox->addWidget(btn_searchPartner);
    hg->addWidget(new QLabel(direction().window.partnerCaption, head), 0, 0);
    hg->addLayout(partnerBox, 0, 1);
    hg->addWidget(new QLabel(Q("账目标识:"), head), 0, 2);
    hg->addWidget(cobo_accountType, 0, 3);
    hg->addWidget(new QLabel(direction().window.billNoCaption, head), 0, 4);
    hg->addWidget(txt_billNo, 0, 5);
    hg->addWidget(new QLabel(Q("备注:"), head), 1, 0);
    hg->addWidget(txt_remark, 1, 1, 2, 1);
    hg->addWidget(new QLabel(direction().window.billTypeCaption, head), 1, 2);
    hg->addWidget(cobo_billType, 1, 3);
    hg->addWidget(new QLabel(Q("原始单号:"), head), 1, 4);
    hg->addWidget(txt_ubillNo, 1, 5);
    hg->addWidget(new QLabel(Q("建单日期:"), head), 2, 2);
    hg->addWidget(dt_createDate, 2, 3);
    hg->addWidget(new QLabel(Q("建单人:"), head), 2, 4);
    hg->addWidget(txt_creator, 2, 5);
    hg->setColumnStretch(1, 3);
    hg->setColumnStretch(3, 2);
    hg->setColumnStretch(5, 2);
    return head;
}

// The bill grid, its cell rules and its right-click menu.
void frmBill::buildGrid()
{
    vs_bill = new FlexGrid(this);
    vs_bill->setObjectName(QStringLiteral("vs_") + direction().window.word);
    vs_bill->setFont(QFont(Q("宋体")));
    connect(vs_bill, &FlexGrid::AfterEdit, this,
            [this](int row, int) { Guarded(this, [&] { set_totalAmount(row); }); });
    connect(vs_bill, &FlexGrid::AfterRowColChange, this, [this](int oldRow, int, int newRow, int) {
        if (m_inTotal)
            return;
        Guarded(this, [&] {
            if (newRow >= 1)
                set_totalAmount(newRow);
            if (newRow != oldRow && vs_bill->Rows() > 1)
                paintRequired();
        });
    });
    connect(vs_bill, &FlexGrid::BeforeEdit, this, [this](int, int col, bool& cancel) {
        cancel = col == c.goodsCode || col == c.goodsTypeName || col == c.unit || col == c.packQty ||
                 col == c.weight || col == c.amount || col == c.locationCode || col == c.locationId ||
                 (col == c.inPrice && c.price != c.inPrice);
    });
    connect(vs_bill, &FlexGrid::KeyDown, this, [this](int& key, Qt::KeyboardModifiers) {
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
            (vs_bill->Col() == c.goodsCode || vs_bill->Col() == c.unit))
            vs_bill->setCol(c.weight);
    });
    connect(vs_bill, &FlexGrid::KeyPressEdit, this, [this](int, int col, int& ascii) {
        if (col != c.packQty && col != c.weight && col != c.price && col != c.qty)
            return;
        // A cell holds one number: a second point, or a minus after its start, is refused too.
        const bool figure = (ascii >= '0' && ascii <= '9') || ascii == '.' || ascii == '-';
        const bool ok = ascii == 8 || ascii == 13 || (figure && vs_bill->EditKeepsOneNumber(ascii));
        if (!ok) {
            ascii = 0;
            QApplication::beep();
        }
    });
    vs_pop_menu = new QMenu(this);
    vs_pop_menu->setObjectName(QStringLiteral("vs_pop_menu"));
    AddMenuEntry(vs_pop_menu, Q("增加行"), QStringLiteral("menu_addRow"), this, [this] { m_uvg->uAddRow(); });
    AddMenuEntry(vs_pop_menu, Q("删除行"), QStringLiteral("menu_deleteRow"), this,
                 [this] { m_uvg->uDeleteRow(); });
    vs_pop_menu->addSeparator()->setObjectName(QStringLiteral("sp1"));
    AddMenuEntry(vs_pop_menu, Q("批量设置库位"), QStringLiteral("menu_Batch_setLocation"), this,
                 [this] { batchLocation(); });
    // The right button, on the header too, pops the menu up at the pointer;
    // on a row outside the selected rows the grid has taken that row first.
    connect(vs_bill, &FlexGrid::MouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
                if (button == Qt::RightButton)
                    vs_pop_menu->popup(vs_bill->viewport()->mapToGlobal(QPoint(x, y)));
            });
}

// The strip under the grid: the key hint and the add and delete row buttons.
QWidget* frmBill::buildGridTools()
{
    auto* toolBox = new QWidget(this);
    toolBox->setObjectName(QStringLiteral("picBox_vsToolBox"));
    auto* tl = new QHBoxLayout(toolBox);
    tl->setContentsMargins(0, 0, 0, 0);
    auto* hint = new QLabel(Q("快捷键: Ctrl + Z : 切换"), toolBox);
    hint->setObjectName(QStringLiteral("lab_vs_Desc"));
    hint->setStyleSheet(QStringLiteral("color:rgb(128,128,128);"));
    btn_addRow = new QPushButton(QStringLiteral("+"), toolBox);
    btn_addRow->setObjectName(QStringLiteral("btn_addRow"));
    btn_addRow->setToolTip(Q("增加明细行"));
    btn_DeleteRow = new QPushButton(QStringLiteral("-"), toolBox);
    btn_DeleteRow->setObjectName(QStringLiteral("btn_DeleteRow"));
    btn_DeleteRow->setToolTip(Q("删除明细行"));
    for (QPushButton* b : {btn_addRow, btn_DeleteRow})
        b->setFixedWidth(32);
    connect(btn_addRow, &QPushButton::clicked, this, [this] { Guarded(this, [&] { m_uvg->uAddRow(); }); });
    connect(btn_DeleteRow, &QPushButton::clicked, this,
            [this] { Guarded(this, [&] { m_uvg->uDeleteRow(); }); });
    tl->addWidget(hint);
    tl->addStretch(1);
    tl->addWidget(btn_addRow);
    tl->addWidget(btn_DeleteRow);
    return toolBox;
}

// The goods entry strip: code, quantity, price, location and the bill's amount.
QWidget* frmBill::buildEntryStrip()
{
    auto* strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("Frame_inputBox"));
    auto* sg = new QGridLayout(strip);
    txt_GoodsCode = box(strip, QStringLiteral("txt_GoodsCode"), 50);
    connect(txt_GoodsCode, &QLineEdit::textChanged, this, [this] { m_codeKept = false; });
    txt_goodsId = box(strip, QStringLiteral("txt_goodsId"));
    txt_goodsId->hide();
    btn_searchGoods = new QPushButton(QStringLiteral("..."), strip);
    btn_searchGoods->setObjectName(QStringLiteral("btn_searchGoods"));
    btn_searchGoods->setFixedWidth(28);
    connect(btn_searchGoods, &QPushButton::clicked, this, [this] { Guarded(this, [&] { searchGoods(); }); });
    // The number boxes take any length: a pasted number is kept or refused
    // whole, never cut.
    txt_Qty = box(strip, QStringLiteral("txt_Qty"));
    txt_Qty->setText(QStringLiteral("1"));
    txt_price = box(strip, direction().window.priceBox);
    InstallOnlyNumberKey(txt_Qty);
    InstallOnlyNumberKey(txt_price);
    cobo_location = new QComboBox(strip);
    cobo_location->setObjectName(QStringLiteral("cobo_location"));
    txt_BillAmount = box(strip, QStringLiteral("txt_BillAmount"));
    txt_BillAmount->setReadOnly(true);
    txt_BillAmount->setText(QStringLiteral("0.00"));
    txt_BillAmount->setStyleSheet(QStringLiteral("color:blue;background:white;"));
    ShowTextWhole(txt_BillAmount);
    lb_NoGoods = new QLabel(Q("没有找到货品,请重新输入..."), strip);
    lb_NoGoods->setObjectName(QStringLiteral("lb_NoGoods"));
    lb_NoGoods->setStyleSheet(QStringLiteral("color:red;"));
    lb_NoGoods->hide();
    auto* keys = new QLabel(Q("F3:数量       F5:价格         F6:库位  "), strip);
    keys->setStyleSheet(QStringLiteral("color:rgb(128,128,128);"));
    auto* codeBox = new QHBoxLayout;
    codeBox->addWidget(txt_GoodsCode, 1);
    codeBox->addWidget(btn_searchGoods);
    sg->addWidget(new QLabel(Q("货品信息"), strip), 0, 0);
    sg->addLayout(codeBox, 0, 1);
    sg->addWidget(new QLabel(Q("数量"), strip), 0, 2);
    sg->addWidget(txt_Qty, 0, 3);
    sg->addWidget(new QLabel(Q("价格"), strip), 0, 4);
    sg->addWidget(txt_price, 0, 5);
    sg->addWidget(new QLabel(Q("库位"), strip), 0, 6);
    sg->addWidget(cobo_location, 0, 7);
    sg->addWidget(new QLabel(Q("本单金额"), strip), 0, 8);
    sg->addWidget(txt_BillAmount, 0, 9);
    sg->addWidget(lb_NoGoods, 1, 1);
    sg->addWidget(keys, 1, 3, 1, 4);
    sg->setColumnStretch(1, 3);
    return strip;
}

void frmBill::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (img_pass && img_pass->parentWidget()) {
        const int left = img_pass->parentWidget()->width() - img_pass->width() - 30;
        img_pass->move(left, (img_pass->parentWidget()->height() - img_pass->height()) / 2);
        img_nopass->move(img_pass->pos());
    }
    vsBill_Resize();
}

void frmBill::vsBill_Resize()
{
    if (!vs_bill)
        return;
    const int extra = roundEven(vs_bill->PixelsToTwips(width()) - 12830.0);
    const std::pair<int, std::pair<int, double>> widths[] = {
        {c.goodsCode, {1710, 0.1}}, {c.goodsName, {1530, 0.2}}, {c.goodsDesc, {1170, 0.1}},
        {c.price, {900, 0.1}},      {c.amount, {900, 0.1}},     {c.locationCode, {1080, 0.1}},
        {c.lotNo, {990, 0.1}},      {c.remark, {900, 0.2}}};
    for (const auto& [col, w] : widths)
        vs_bill->setColWidth(col, w.first + (extra >= 1 ? roundEven(extra * w.second) : 0));
}

void frmBill::loadLists()
{
    FillComboBox(cobo_accountType, dal_dictionary::PermittedAccountTags(SysVar.Sys_accountJoinId),
                 Q("uname"));
    FillComboBox(cobo_billType, dal_dictionary::EnabledOfType(direction().window.billTypeKind), Q("uname"));
    FillComboBox(cobo_location, dal_location::PermittedLocations(SysVar.Sys_locationJoinId),
                 Q("locationCode"));
}

// ------------------------------------------------------------------ grid

void frmBill::vsBill_init(const RecordSetPtr& rs)
{
    vs_bill->setRedraw(false);
    vs_bill->setRows(1);
    vs_bill->setRows(2);
    vs_bill->setCols(c.count);
    vs_bill->setFixedRows(1);
    vs_bill->setFixedCols(1);
    vs_bill->setRowHeightMin(350);
    setGridFormat();
    if (rs && !rs->isEmpty()) {
        vs_bill->setRows(1 + rs->RecordCount());
        std::vector<BillLineIds> lines(size_t(rs->RecordCount()));
        // Each field goes to the column keyed by its name; a field without a column is not shown.
        // A stored figure shows whole and is kept as the line's own.
        for (int f = 0; f < rs->fieldCount(); ++f) {
            const int col = vs_bill->ColIndex(rs->fields().at(f));
            if (col < 1)
                continue;
            for (int r = 0; r < rs->RecordCount(); ++r) {
                const QVariant v = rs->value(r, f);
                QString text = v.toString();
                if (col == c.amount) {
                    text = FormatNumber(ReadDecimal(v), SysVar.Sys_AmountFormat);
                } else if (v.typeId() == QMetaType::Double) {
                    text = figureText(col, v.toDouble());
                    lines[size_t(r)].stored.insert(col, v.toDouble());
                }
                vs_bill->setTextMatrix(r + 1, col, text);
            }
        }
        for (int r = 0; r < rs->RecordCount(); ++r) {
            BillLineIds& ids = lines[size_t(r)];
            ids.id = rs->integer(r, QStringLiteral("id"));
            ids.goodsId = rs->integer(r, QStringLiteral("goodsId"));
            ids.goodsTypeId = rs->integer(r, QStringLiteral("goodsTypeId"));
            ids.locationId = rs->integer(r, QStringLiteral("locationId"));
            setLineIds(r + 1, ids);
        }
    }
    SetGridRowNo(vs_bill, 1, vs_bill->Rows() - 1, 0, 350, 1);
    if (vs_bill->Rows() > 2)
        paintRequired();
    vs_bill->setEditable(FlexGrid::flexEDKbdMouse);
    vs_bill->setColDataType(c.selected, FlexGrid::flexDTBoolean);
    for (int col :
         {c.selected, c.id, c.goodsId, c.goodsTypeId, c.goodsDetailCode, c.locationId, c.goodsTypeName})
        vs_bill->setColHidden(col, true);
    // The purchase price is shown where it is the line's price.
    vs_bill->setColHidden(c.inPrice, c.price != c.inPrice);
    vs_bill->setRedraw(true);
    vs_bill->setRow(1);
    vs_bill->setCol(c.goodsCode);
    set_totalAmount(1);
    for (int col = 1; col < c.count; ++col)
        vs_bill->setCellAlignment(0, col, 0, col, FlexGrid::flexAlignLeftCenter);
    vsBill_Resize();
}

// The bill grid's columns: the key is the line field the column shows, as
// the store's GetBillLines names it; the format is FlexGrid's (alignment,
// caption and width). Only the outbound bill has the sale price column, and
// the location column takes the direction's caption. A line's ids are its
// row's data (BillLineIds); their hidden columns show them, nothing reads them.
void frmBill::setGridFormat()
{
    struct Column {
        const char* key;
        QString format;
    };
    const QString sale = direction().hasSalePrice ? Q(">售价     ") : QString();
    const Column columns[] = {{"rowNo", Q("^序号")},
                              {"selected", Q("^选中")},
                              {"id", Q("<ID")},
                              {"goodsId", Q("<goodsId")},
                              {"goodsTypeId", Q("<goodsTypeId")},
                              {"goodsCode", Q("<货品编码或条码    ")},
                              {"goodsDetailCode", Q("<goodsDetailCode")},
                              {"goodsName", Q("<货品名称        ")},
                              {"goodsDesc", Q("<规格        ")},
                              {"goodsTypeName", Q("<货品类别  ")},
                              {"unit", Q("^单位  ")},
                              {"packQty", Q(">内装数")},
                              {"weight", Q(">重量   ")},
                              {"inPrice", Q(">进价     ")},
                              {"salePrice", sale},
                              {"qty", Q(">数量   ")},
                              {"totalAmount", Q(">金额     ")},
                              {"locationId", Q(">locationId")},
                              {"locationCode", Q(">") + direction().window.locationCaption + Q("   ")},
                              {"lotNo", Q("<批次号    ")},
                              {"remark", Q("<备注      ")}};
    QStringList format;
    QStringList keys;
    for (const Column& column : columns) {
        if (column.format.isEmpty())
            continue;
        format << column.format;
        keys << QLatin1String(column.key);
    }
    vs_bill->setFormatString(format.join(QLatin1Char('|')));
    for (int col = 0; col < keys.size(); ++col)
        vs_bill->setColKey(col, keys.at(col));
}

frmBill::Cols frmBill::Cols::Of(const FlexGrid& grid, const BillSetup& direction)
{
    const auto at = [&](const char* key) { return grid.ColIndex(QLatin1String(key)); };
    Cols c;
    c.rowNo = at("rowNo");
    c.selected = at("selected");
    c.id = at("id");
    c.goodsId = at("goodsId");
    c.goodsTypeId = at("goodsTypeId");
    c.goodsCode = at("goodsCode");
    c.goodsDetailCode = at("goodsDetailCode");
    c.goodsName = at("goodsName");
    c.goodsDesc = at("goodsDesc");
    c.goodsTypeName = at("goodsTypeName");
    c.unit = at("unit");
    c.packQty = at("packQty");
    c.weight = at("weight");
    c.inPrice = at("inPrice");
    c.salePrice = at("salePrice");
    c.price = grid.ColIndex(direction.priceCol);
    c.qty = at("qty");
    c.amount = at("totalAmount");
    c.locationId = at("locationId");
    c.locationCode = at("locationCode");
    c.lotNo = at("lotNo");
    c.remark = at("remark");
    c.count = grid.Cols();
    return c;
}

void frmBill::paintRequired()
{
    const int last = vs_bill->Rows() - 1;
    if (last < 1)
        return;
    for (int col : {c.price, c.qty, c.locationCode})
        vs_bill->setCellBackColor(1, col, last, col, SysVar.Sys_NotNullColor);
}

void frmBill::set_totalAmount(int row)
{
    if (row < 1 || row >= vs_bill->Rows())
        return;
    m_inTotal = true;
    const int before = vs_bill->Row();
    vs_bill->setRow(row);
    m_inTotal = false;
    if (before != row && vs_bill->Rows() > 1)
        paintRequired();
    const QString price = vs_bill->TextMatrix(row, c.price);
    if (isNumberText(price))
        vs_bill->setTextMatrix(row, c.price, priceText(Decimal::Leading(QStringView(price))));
    // The bill's amount by the one rule of the reports, views and prints:
    // each line's exact product rounded once, the lines summed exactly.
    const auto cell = [this](int r, int col) {
        return Decimal::Leading(QStringView(vs_bill->TextMatrix(r, col)));
    };
    vs_bill->setTextMatrix(
        row, c.amount,
        FormatNumber(LineAmount(cell(row, c.qty), cell(row, c.price)), SysVar.Sys_AmountFormat));
    BillAmount total;
    for (int r = 1; r < vs_bill->Rows(); ++r)
        total.addLineAmount(cell(r, c.amount));
    txt_BillAmount->setText(FormatNumber(total.total(), QStringLiteral("￥#,##0.0#")));
}

bool frmBill::rowHasGoods(int row) const
{
    return lineIds(row).goodsId > 0;
}

BillLineIds frmBill::lineIds(int row) const
{
    return vs_bill->RowData(row).value<BillLineIds>();
}

QString frmBill::figureText(int col, double value) const
{
    const std::optional<Decimal> exact = Decimal::FromDouble(value);
    return col == c.price && exact ? priceText(*exact) : WholeNumber(value);
}

std::optional<double> frmBill::storedFigure(int row, int col) const
{
    const BillLineIds ids = lineIds(row);
    const auto it = ids.stored.constFind(col);
    if (it == ids.stored.constEnd() || vs_bill->TextMatrix(row, col) != figureText(col, it.value()))
        return std::nullopt;
    return it.value();
}

double frmBill::cellFigure(int row, int col) const
{
    return storedFigure(row, col).value_or(ReadNumber(vs_bill->TextMatrix(row, col)));
}

bool frmBill::checkFigure(int row, int col, const QString& word, const QString& title)
{
    if (storedFigure(row, col))
        return true;
    const NumberFit fit = FitOfNumber(vs_bill->TextMatrix(row, col), kLinePlaces);
    if (fit == NumberFit::Kept)
        return true;
    MsgBox::Warn(NumberRefusal(word, fit, kLinePlaces), title, this);
    vs_bill->setFocus();
    vs_bill->Select(row, col);
    return false;
}

void frmBill::setLineIds(int row, const BillLineIds& ids)
{
    vs_bill->setRowData(row, QVariant::fromValue(ids));
    const auto show = [](int id) { return id != 0 ? QString::number(id) : QString(); };
    vs_bill->setTextMatrix(row, c.id, show(ids.id));
    vs_bill->setTextMatrix(row, c.goodsId, show(ids.goodsId));
    vs_bill->setTextMatrix(row, c.goodsTypeId, show(ids.goodsTypeId));
    vs_bill->setTextMatrix(row, c.locationId, show(ids.locationId));
}

void frmBill::addGoodsInforToVg(const m_goods_detail& g, int row, bool isAddRow)
{
    vs_bill->setRow(row);
    if (rowHasGoods(row) && isAddRow) {
        vs_bill->setRows(vs_bill->Rows() + 1);
        row = row + 1;
        vs_bill->setRow(row);
    }
    // A catalogue figure keeps every decimal the goods window took.
    auto num = [](double v) { return WholeNumber(v); };
    // The row's stored line, if any, stays the line written here, with the figures given here.
    BillLineIds ids = lineIds(row);
    ids.stored.clear();
    ids.goodsId = g.headId;
    ids.goodsTypeId = g.goodsTypeId;
    ids.locationId = g.locationId;
    setLineIds(row, ids);
    vs_bill->setTextMatrix(row, c.goodsCode, g.inputGoodsCode);
    vs_bill->setTextMatrix(row, c.goodsName, g.goodsName);
    vs_bill->setTextMatrix(row, c.goodsDesc, g.goodsDesc);
    vs_bill->setTextMatrix(row, c.goodsTypeName, g.goodsTypeName);
    vs_bill->setTextMatrix(row, c.unit, g.unit);
    vs_bill->setTextMatrix(row, c.packQty, num(g.packQty));
    vs_bill->setTextMatrix(row, c.weight, num(g.weight));
    vs_bill->setTextMatrix(row, c.inPrice, num(g.inPrice));
    if (c.salePrice >= 0)
        vs_bill->setTextMatrix(row, c.salePrice, num(g.salePrice));
    vs_bill->setTextMatrix(row, c.qty, num(g.qty));
    vs_bill->setTextMatrix(row, c.goodsDetailCode, g.goodsDetailCode);
    vs_bill->setTextMatrix(row, c.locationCode, g.locationCode);
    vs_bill->setTopRow(row);
    set_totalAmount(row);
    SetGridRowNo(vs_bill, 1, vs_bill->Rows() - 1, 0, 350, 1);
}

void frmBill::Batch_setLocation(const m_location& location)
{
    const int row = vs_bill->Row();
    const int col = vs_bill->Col();
    const int other = vs_bill->RowSel();
    if (row < 1 || other < 1)
        return;
    for (int r = std::max(row, other); r >= std::min(row, other); --r) {
        vs_bill->setTextMatrix(r, c.locationCode, location.locationCode);
        BillLineIds ids = lineIds(r);
        ids.locationId = location.id;
        setLineIds(r, ids);
    }
    vs_bill->Select(row, col);
}

void frmBill::batchLocation()
{
    const m_location picked = PickOne<m_location>(this, QStringLiteral("location"));
    if (picked.id > 0)
        Batch_setLocation(picked);
}

void frmBill::searchPartner()
{
    const m_customer picked = PickOne<m_customer>(this, direction().partnerKind);
    if (picked.customerCode.trimmed().isEmpty())
        return;
    txt_partnerName->setText(picked.uname);
    setPartnerId(picked.id);
}

// ------------------------------------------------------------------ new, load

void frmBill::set_PassInfor(int ispass)
{
    m_audited = ispass != 0;
    img_pass->setVisible(ispass != 0);
    img_nopass->setVisible(ispass == 0);
    (ispass != 0 ? img_pass : img_nopass)->raise();
    passAction->setText(ispass != 0 ? Q("反审") : Q("审核"));
    passAction->setIcon(
        style()->standardIcon(ispass != 0 ? QStyle::SP_DialogCancelButton : QStyle::SP_DialogApplyButton));
}

void frmBill::setBillId(std::optional<int> id)
{
    m_billId = id;
    txt_id->setText(id ? QString::number(*id) : QString());
}

void frmBill::setPartnerId(std::optional<int> id)
{
    m_partnerId = id;
    txt_partnerId->setText(id ? QString::number(*id) : QString());
}

void frmBill::new_Bill()
{
    m_rowVersion = 0;
    setBillId(std::nullopt);
    setPartnerId(std::nullopt);
    for (QLineEdit* b : {txt_partnerName, txt_ubillNo, txt_billNo})
        b->clear();
    txt_remark->clear();
    txt_creator->setText(CurrentUser.user);
    dt_createDate->setDate(Clock::Now().date());
    dt_createDate->setEnabled(true);
    txt_BillAmount->setText(QStringLiteral("0"));
    for (QComboBox* cb : {cobo_accountType, cobo_billType, cobo_location})
        if (cb->count() > 0)
            cb->setCurrentIndex(0);
    set_PassInfor(0);
    img_nopass->hide();
    img_pass->hide();
}

void frmBill::InputBox_clear()
{
    txt_GoodsCode->clear();
    m_pickedUnitId = 0;
    txt_goodsId->clear();
    txt_price->clear();
    txt_Qty->setText(QStringLiteral("1"));
}

void frmBill::NewBillFor(int partnerId, const QString& partnerName)
{
    if (!mayDiscard())
        return;
    vsBill_init();
    new_Bill();
    setPartnerId(partnerId);
    txt_partnerName->setText(partnerName);
    markSaved();
}

void frmBill::newBillAsked()
{
    if (!mayDiscard())
        return;
    vsBill_init();
    new_Bill();
    markSaved();
}

QString frmBill::billContent() const
{
    QStringList parts{m_partnerId ? QString::number(*m_partnerId) : QString(),
                      txt_partnerName->text(),
                      cobo_accountType->currentText(),
                      cobo_billType->currentText(),
                      txt_ubillNo->text(),
                      txt_remark->toPlainText(),
                      dt_createDate->date().toString(Qt::ISODate)};
    for (int r = 1; r < vs_bill->Rows(); ++r) {
        QStringList line;
        const BillLineIds ids = lineIds(r);
        bool empty = true;
        for (int id : {ids.goodsId, ids.goodsTypeId, ids.locationId}) {
            empty = empty && id == 0;
            line << QString::number(id);
        }
        for (int col :
             {c.goodsCode, c.goodsDetailCode, c.goodsName, c.goodsDesc, c.goodsTypeName, c.unit, c.packQty,
              c.weight, c.inPrice, c.salePrice, c.qty, c.locationCode, c.lotNo, c.remark}) {
            QString text = vs_bill->TextMatrix(r, col);
            empty = empty && text.trimmed().isEmpty();
            // A price shown again in its format is the same price.
            if (isNumberText(text))
                text = Decimal::Leading(QStringView(text)).toString();
            line << text;
        }
        if (!empty)
            parts << line.join(QChar(0x1f));
    }
    return parts.join(QChar(0x1e));
}

void frmBill::markSaved()
{
    m_savedContent = billContent();
}

bool frmBill::hasUnsavedChanges() const
{
    return billContent() != m_savedContent;
}

bool frmBill::mayDiscard()
{
    if (!hasUnsavedChanges())
        return true;
    return MsgBox::Show(Q("当前单据尚未保存,是否放弃修改?"), MsgIcon::Question, windowTitle(),
                        MsgButtons::YesNo, this, MsgDefault::Second) == MsgAnswer::Yes;
}

void frmBill::LoadBill(int int_Id)
{
    if (!mayDiscard())
        return;
    Guarded(this, [&] {
        try {
            // Everything is read and checked before the window changes.
            const BillHead h = m_store.GetModel(int_Id);
            if (h.id < 1)
                throw DbError(BillStore::kMissingText);
            // A stored bill date may carry a time of day ("yyyy-MM-dd HH:mm:ss"); the day is what counts.
            const QDate date =
                QDate::fromString(h.createTime.trimmed().left(10), QStringLiteral("yyyy-MM-dd"));
            if (!date.isValid())
                throw DbError(Q("建单日期无效: ") + h.createTime);
            // A tag deleted from an older file shows empty and is chosen anew before a save.
            const int account = cobo_accountType->findText(h.accountName, Qt::MatchExactly);
            if (account < 0 && !h.accountName.isEmpty())
                throw DbError(Q("账目标识[") + h.accountName + Q("]不在可用的账目标识中!"));
            const m_recordSet lines = m_store.GetBillLines(int_Id);

            setBillId(h.id);
            setPartnerId(h.partnerId);
            txt_partnerName->setText(h.partnerName);
            txt_billNo->setText(h.billNo);
            txt_ubillNo->setText(h.ubillNo);
            txt_creator->setText(h.creator);
            dt_createDate->setDate(date);
            dt_createDate->setEnabled(false);
            txt_remark->setPlainText(h.remark);
            cobo_accountType->setCurrentIndex(account);
            // A disabled type is no longer listed: the stored one is still shown.
            int type = cobo_billType->findText(h.utype, Qt::MatchExactly);
            if (type < 0 && !h.utype.isEmpty()) {
                cobo_billType->addItem(h.utype);
                type = cobo_billType->count() - 1;
            }
            cobo_billType->setCurrentIndex(type);
            set_PassInfor(h.ispass);
            m_rowVersion = h.rowVersion;
            vsBill_init(lines.recordSet);
            markSaved();
            vs_bill->setFocus();
        } catch (...) {
            vsBill_init();
            new_Bill();
            markSaved();
            throw;
        }
    });
}

// ------------------------------------------------------------------ keyboard

bool frmBill::eventFilter(QObject* watched, QEvent* event)
{
    // A kept code is selected again whenever the clerk comes back to it
    // (after a message, or from another window), so a scan replaces it.
    if (event->type() == QEvent::FocusIn && watched == txt_GoodsCode && m_codeKept &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::MouseFocusReason)
        txt_GoodsCode->selectAll();
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != window() || !isAncestorOf(w) || QApplication::activeModalWidget())
        return QWidget::eventFilter(watched, event);
    // The key map judges a key once, where it arrives: at this window's own
    // focus control (or inside it, a combo box's line edit or a cell editor),
    // whichever window the system calls active. A key passed on to a parent
    // is not judged again.
    QWidget* focus = focusControl();
    if (!focus || (w != focus && !focus->isAncestorOf(w)))
        return QWidget::eventFilter(watched, event);
    auto* ke = static_cast<QKeyEvent*>(event);
    bool handled = false;
    Guarded(this, [&] { handled = keyDown(ke->key(), ke->modifiers()); });
    return handled;
}

QWidget* frmBill::focusControl() const
{
    QWidget* focus = window()->focusWidget();
    return focus && isAncestorOf(focus) ? focus : nullptr;
}

void frmBill::focusBack(QWidget* control)
{
    control->setFocus(Qt::OtherFocusReason);
    if (window()->isVisible() && !window()->isActiveWindow())
        window()->activateWindow();
}

// The window's key map; true when the key is used up here.
bool frmBill::keyDown(int key, Qt::KeyboardModifiers mods)
{
    QWidget* focus = focusControl();
    const bool inGrid = focus && (focus == vs_bill || vs_bill->isAncestorOf(focus));
    const bool ctrl =
        (mods & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) == Qt::ControlModifier;
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (ctrl && key == Qt::Key_Z) {
        if (inGrid) {
            txt_GoodsCode->setFocus();
        } else if (focus == txt_GoodsCode) {
            vs_bill->setFocus();
            vs_bill->setCol(c.price);
        } else {
            txt_GoodsCode->setFocus();
        }
        return true;
    }
    if (inGrid)
        return false;
    if (ctrl) {
        switch (key) {
        case Qt::Key_F:
            searchGoods();
            return true;
        case Qt::Key_S:
            save_Bill();
            return true;
        case Qt::Key_A:
            newBillAsked();
            return true;
        case Qt::Key_P:
            print_Bill();
            return true;
        default:
            break;
        }
    }
    switch (key) {
    case Qt::Key_F3:
        txt_Qty->setFocus();
        txt_Qty->selectAll();
        return true;
    case Qt::Key_F5:
        txt_price->setFocus();
        txt_price->selectAll();
        return true;
    case Qt::Key_F6:
        cobo_location->setFocus();
        return true;
    default:
        break;
    }
    if (enter && focus == txt_GoodsCode) {
        goodsEnter();
        return true;
    }
    if (enter && (focus == txt_Qty || focus == txt_price || focus == cobo_location)) {
        txt_GoodsCode->setFocus();
        txt_GoodsCode->selectAll();
        return true;
    }
    if (enter || key == Qt::Key_Up || key == Qt::Key_Down) {
        if ((key == Qt::Key_Up || key == Qt::Key_Down) && qobject_cast<QComboBox*>(focus))
            return false;
        if (focus == txt_remark && !enter)
            return false;
        focusNextPrevChild(key != Qt::Key_Up);
        if (auto* edit = qobject_cast<QLineEdit*>(focusControl()))
            edit->selectAll();
        return true;
    }
    return false;
}

double& frmBill::linePrice(m_goods_detail& goods) const
{
    return direction().hasSalePrice ? goods.salePrice : goods.inPrice;
}

bool frmBill::askNegativeStock(const m_goods_detail& goods, double qty)
{
    if (!isOutbound() || !s_stockProbe)
        return true;
    const std::optional<Decimal> stock = s_stockProbe(goods.headId);
    if (!stock)
        return true;
    // Compared exactly at the stock's own precision.
    const auto exact = [](double v) { return Decimal::FromDouble(v).value_or(Decimal()); };
    const Decimal out = (exact(qty) * exact(goods.packQty)).rounded(3);
    const Decimal diff = (*stock - out).rounded(3);
    if (!diff.isNegative())
        return true;
    return MsgBox::Ask(Q("货品[") + goods.goodsName + Q("]的库存总数(") + PlainNumber(*stock, 3) +
                           Q(")-出库数(") + PlainNumber(out, 3) + Q(") = ") + PlainNumber(diff, 3) +
                           Q(" 出现负数,是否继续出库?"),
                       windowTitle(), this);
}

void frmBill::goodsEnter()
{
    const QString code = txt_GoodsCode->text();
    if (IsNullOrEmpty(code)) {
        lb_NoGoods->show();
        txt_GoodsCode->setFocus();
        return;
    }
    lb_NoGoods->hide();
    dal_goods_detail goodsData;
    m_goods_detail g = goodsData.GetModelForInput(code, m_pickedUnitId);
    if (g.irowsCount >= 2) {
        MsgBox::Info(Q("找到") + QString::number(g.irowsCount) +
                         Q("个条码相同货品信息,单击【确定】后选择其中的一项"),
                     windowTitle(), this);
        searchGoods(code);
        focusBack(txt_GoodsCode);
        keepCode();
        return;
    }
    if (g.irowsCount == 1) {
        // The strip's boxes are refused as the grid's cells are; an empty
        // price box is no price.
        const NumberFit qtyFit = FitOfNumber(txt_Qty->text(), kLinePlaces);
        const NumberFit priceFit =
            txt_price->text().isEmpty() ? NumberFit::Kept : FitOfNumber(txt_price->text(), kLinePlaces);
        if (qtyFit != NumberFit::Kept || priceFit != NumberFit::Kept) {
            const bool qtyRefused = qtyFit != NumberFit::Kept;
            MsgBox::Warn(qtyRefused ? NumberRefusal(Q("数量"), qtyFit, kLinePlaces)
                                    : NumberRefusal(direction().reports.priceWord, priceFit, kLinePlaces),
                         windowTitle(), this);
            focusBack(qtyRefused ? txt_Qty : txt_price);
            return;
        }
        g.qty = ReadNumber(txt_Qty->text());
        const bool go = askNegativeStock(g, g.qty);
        // After the question the clerk goes on in the code box, line or not.
        focusBack(txt_GoodsCode);
        if (!go) {
            keepCode();
            return;
        }
        double last = 0;
        try {
            if (m_store.GetLastPrice(m_partnerId.value_or(0), code, last))
                linePrice(g) = last;
        } catch (const DbError&) {
            // the catalogue price stays
        }
        // A typed price is the line's as typed; the catalogue's or the last
        // one is taken to the price format's places.
        if (!txt_price->text().isEmpty())
            linePrice(g) = ReadNumber(txt_price->text());
        else
            linePrice(g) = RoundHalfAway(linePrice(g), FormatDecimals(SysVar.Sys_PriceFormat));
        if (!cobo_location->currentText().trimmed().isEmpty()) {
            try {
                const m_location loc =
                    dal_location().GetModelForLocationCode(0, cobo_location->currentText());
                if (loc.id > 0) {
                    g.locationCode = cobo_location->currentText();
                    g.locationId = loc.id;
                }
            } catch (const DbError&) {
                // the line goes in without location; the save asks for one
            }
        }
        addGoodsInforToVg(g, vs_bill->Rows() - 1, true);
        InputBox_clear();
        txt_GoodsCode->setFocus();
        return;
    }
    m_conditions conds{m_condition(QStringLiteral("status"), QStringLiteral("="), Q("启用"))};
    conds.append(m_condition(dal_goods_detail::kInputKeywordFieldShort, QStringLiteral("like"), code));
    if (goodsData.GetListForInputAndCondition(conds).recordCount > 0) {
        txt_GoodsCode->clear();
        searchGoods(code);
        focusBack(txt_GoodsCode);
        return;
    }
    lb_NoGoods->show();
    txt_GoodsCode->clear();
}

void frmBill::keepCode()
{
    txt_GoodsCode->selectAll();
    m_codeKept = !txt_GoodsCode->text().isEmpty();
}

void frmBill::searchGoods(const QString& keyWord)
{
    const m_goods_detail picked = PickOne<m_goods_detail>(
        this, direction().goodsList, [&](frm_select& picker) { picker.utxtkeyword->setText(keyWord); });
    // Picked or not, the clerk goes on in the code box.
    focusBack(txt_GoodsCode);
    if (picked.id <= 0) {
        keepCode();
        return;
    }
    m_pickedUnitId = picked.id;
    txt_goodsId->setText(QString::number(picked.id));
    txt_GoodsCode->setText(picked.inputGoodsCode);
    goodsEnter();
}

// ------------------------------------------------------------------ save, audit, delete

void frmBill::save_Bill()
{
    const bool stored = m_billId.has_value();
    if (!check_FunRight(stored ? direction().rights.update : direction().rights.save, true))
        return;
    const QString title = windowTitle();
    if (!checkHeadForSave(title) || !checkLinesForSave(title))
        return;
    if (vs_bill->Rows() <= 1)
        vsBill_init();
    if (!MsgBox::Ask(Q("确定保存当前单据吗?"), title, this))
        return;

    BillHead h = headForSave();
    QList<int> lineRows; // the grid row of each line
    QList<BillLine> lines = linesForSave(lineRows);
    const m_DBresult result = stored ? m_store.Update_All(h, lines) : m_store.Add(h, lines);
    set_PassInfor(0);
    if (!result.isResult) {
        MsgBox::Warn(result.str_MsgBox, title, this);
        return;
    }
    showSaved(h, lines, lineRows);
    MsgBox::Info(Q("保存成功!"), title, this);
}

// The head must name a partner, an account tag and a bill type, and the bill
// must not be audited.
bool frmBill::checkHeadForSave(const QString& title)
{
    if (IsNullOrEmpty(txt_partnerName->text()) || m_partnerId.value_or(0) < 1) {
        MsgBox::Warn(direction().window.partnerMissing, title, this);
        btn_searchPartner->setFocus();
        return false;
    }
    if (IsNullOrEmpty(cobo_accountType->currentText())) {
        MsgBox::Warn(BillStore::kAccountMissingText, title, this);
        cobo_accountType->setFocus();
        return false;
    }
    if (IsNullOrEmpty(cobo_billType->currentText())) {
        MsgBox::Warn(direction().window.billTypeMissing, title, this);
        cobo_billType->setFocus();
        return false;
    }
    if (m_audited) {
        MsgBox::Warn(BillStore::kAuditedSaveText, title, this);
        return false;
    }
    return true;
}

// Drops the rows that name no goods item and checks the others from the last
// up; the first refused cell is selected.
bool frmBill::checkLinesForSave(const QString& title)
{
    for (int r = vs_bill->Rows() - 1; r >= 1; --r) {
        // Only a row that names no goods item is dropped; a line the clerk
        // sees (a goods item without a type too) is saved.
        if (!rowHasGoods(r)) {
            vs_bill->RemoveItem(r);
            continue;
        }
        auto refuse = [&](const QString& text, int col) {
            MsgBox::Warn(text, title, this);
            vs_bill->setFocus();
            vs_bill->Select(r, col);
            return false;
        };
        if (IsNullOrEmpty(vs_bill->TextMatrix(r, c.locationCode)))
            return refuse(direction().window.locationMissing, c.locationCode);
        if (IsNullOrEmpty(vs_bill->TextMatrix(r, c.goodsName)))
            return refuse(Q("货品名称不能为空!"), c.goodsName);
        // A stored figure goes back as stored; a typed one is stored as
        // typed, or refused.
        if (!checkFigure(r, c.qty, Q("数量"), title) ||
            !checkFigure(r, c.price, direction().reports.priceWord, title))
            return false;
    }
    return true;
}

BillHead frmBill::headForSave() const
{
    dal_dictionary dictionary;
    BillHead h;
    h.id = m_billId.value_or(0);
    h.billNo = txt_billNo->text();
    h.accountId = dictionary.GetModelForName(Q("accountType"), cobo_accountType->currentText()).id;
    h.utypeId = dictionary.GetModelForName(direction().window.billTypeKind, cobo_billType->currentText()).id;
    h.ubillNo = txt_ubillNo->text();
    h.partnerId = m_partnerId.value_or(0);
    h.partnerName = txt_partnerName->text();
    h.remark = txt_remark->toPlainText();
    h.creator = CurrentUser.user;
    h.createTime = dt_createDate->date().toString(SysVar.Sys_DateFormat);
    h.updateLastUser = CurrentUser.user;
    h.updateLastTime = GetNowStr(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    h.userId = CurrentUser.id;
    h.rowVersion = m_rowVersion;
    return h;
}

// The lines of the rows that name a goods item; rows gets each line's grid row.
QList<BillLine> frmBill::linesForSave(QList<int>& rows) const
{
    QList<BillLine> lines;
    for (int r = 1; r < vs_bill->Rows(); ++r) {
        if (!rowHasGoods(r))
            continue;
        const BillLineIds ids = lineIds(r);
        BillLine l;
        l.id = ids.id;
        l.rowNo = int(ReadNumber(vs_bill->TextMatrix(r, c.rowNo)));
        l.goodsId = ids.goodsId;
        l.goodsTypeId = ids.goodsTypeId;
        l.goodsCode = vs_bill->TextMatrix(r, c.goodsCode);
        l.goodsDetailCode = vs_bill->TextMatrix(r, c.goodsDetailCode);
        l.goodsName = vs_bill->TextMatrix(r, c.goodsName);
        l.goodsDesc = vs_bill->TextMatrix(r, c.goodsDesc);
        l.goodsTypeName = vs_bill->TextMatrix(r, c.goodsTypeName);
        l.unit = vs_bill->TextMatrix(r, c.unit);
        l.packQty = cellFigure(r, c.packQty);
        l.weight = cellFigure(r, c.weight);
        l.inPrice = cellFigure(r, c.inPrice);
        if (c.salePrice >= 0)
            l.salePrice = cellFigure(r, c.salePrice);
        l.qty = cellFigure(r, c.qty);
        l.locationId = ids.locationId;
        l.lotNo = vs_bill->TextMatrix(r, c.lotNo);
        l.remark = vs_bill->TextMatrix(r, c.remark);
        lines.append(l);
        rows.append(r);
    }
    return lines;
}

void frmBill::showSaved(const BillHead& h, const QList<BillLine>& lines, const QList<int>& rows)
{
    // The id first: a later failure must never let the next save add the bill again.
    setBillId(h.id);
    m_rowVersion = h.rowVersion;
    // Each line keeps the id it is stored under, so the next save rewrites it in place.
    for (int k = 0; k < lines.size(); ++k) {
        BillLineIds ids = lineIds(rows.at(k));
        ids.id = lines.at(k).id;
        setLineIds(rows.at(k), ids);
    }
    txt_billNo->setText(h.billNo);
    dt_createDate->setEnabled(false);
    markSaved();
}

void frmBill::Form_Pass()
{
    const QString title = windowTitle();
    if (!m_billId) {
        MsgBox::Warn(BillStore::kMissingText, title, this);
        return;
    }
    // The action the button offers: 审核 an unaudited bill, 反审 an audited one.
    const QString caption = m_audited ? Q("反审") : Q("审核");
    const int ispass = m_audited ? 0 : 1;
    const QString right = ispass ? direction().rights.pass : direction().rights.nopass;
    if (!check_FunRight(right, true))
        return;
    if (!MsgBox::Ask(Q("是否 [") + caption + Q("] 当前单据?"), title, this))
        return;
    // The stored state decides, not the one shown: a bill audited or
    // un-audited elsewhere since it was loaded is refused and shown as stored.
    // So does a bill saved elsewhere since it was loaded, and one the user
    // may no longer act on.
    const BillStore::PassOutcome outcome =
        m_store.SetPass(*m_billId, ispass != 0, CurrentUser.user,
                        GetNowStr(QStringLiteral("yyyy-MM-dd HH:mm:ss")), {m_rowVersion, right});
    if (outcome != BillStore::PassOutcome::Done) {
        if (outcome == BillStore::PassOutcome::Audited)
            set_PassInfor(1);
        else if (outcome == BillStore::PassOutcome::Unaudited)
            set_PassInfor(0);
        MsgBox::Warn(BillStore::PassRefusal(outcome), title, this);
        return;
    }
    set_PassInfor(ispass);
    MsgBox::Info(caption + Q("成功!"), title, this);
}

void frmBill::delete_Bill()
{
    const QString title = windowTitle();
    if (!check_FunRight(direction().rights.remove, true))
        return;
    if (!m_billId) {
        MsgBox::Warn(BillStore::kMissingText, title, this);
        return;
    }
    if (m_audited) {
        MsgBox::Warn(BillStore::kAuditedDeleteText, title, this);
        return;
    }
    if (!MsgBox::Ask(Q("是否删除当前单据?"), title, this))
        return;
    const m_DBresult r = m_store.Delete(*m_billId, {m_rowVersion, direction().rights.remove});
    if (!r.isResult) {
        MsgBox::Warn(r.str_MsgBox, title, this);
        return;
    }
    new_Bill();
    vsBill_init();
    markSaved();
    MsgBox::Info(Q("删除成功!"), title, this);
}

void frmBill::print_Bill()
{
    if (!check_FunRight(direction().rights.print, true))
        return;
    const QString title = windowTitle();
    if (!m_billId) {
        MsgBox::Warn(BillStore::kMissingText, title, this);
        return;
    }
    const int id = *m_billId;
    // The data file and the command name the same template.
    const QString templ = direction().printTemplate;
    const QDomElement lines =
        m_store.GetDetailRowNode({m_condition(QStringLiteral("headId"), QStringLiteral("="), id)}, templ);
    if (lines.isNull()) {
        MsgBox::Warn(direction().window.lineMissing, title, this);
        return;
    }
    const QDomElement head =
        m_store.GetGroupHeadRowNode({m_condition(QStringLiteral("id"), QStringLiteral("="), id)}, templ);
    if (head.isNull()) {
        MsgBox::Warn(direction().window.headMissing, title, this);
        return;
    }
    KeyValue nodes;
    nodes.AddItem(QStringLiteral("Content/DataGroupHead/DataRecord"), QVariant::fromValue(head));
    nodes.AddItem(QStringLiteral("Content/DataDetail/DataRecord"), QVariant::fromValue(lines));
    const QString file = CreatePrintXml(templ, nodes);
    RunPrint(PrintToolCommand(PrintKind::Bill, templ) + file);
}

void frmBill::toolbarClicked(const QString& key)
{
    if (key == QLatin1String("add")) {
        newBillAsked();
    } else if (key == QLatin1String("save")) {
        save_Bill();
    } else if (key == QLatin1String("pass")) {
        Form_Pass();
    } else if (key == QLatin1String("delete")) {
        delete_Bill();
    } else if (key == QLatin1String("print")) {
        print_Bill();
    } else if (key == QLatin1String("refresh")) {
        if (m_billId)
            LoadBill(*m_billId);
    } else if (key == QLatin1String("seachBill")) {
        if (!check_FunRight(direction().rights.billList, true))
            return;
        const QString report = direction().window.billList;
        if (QWidget* w = WindowRegistry::Show(report)) {
            WindowRegistry::LoadData(report);
            WindowRegistry::BringToFront(w);
        }
    } else if (key == QLatin1String("close")) {
        close();
    }
}
