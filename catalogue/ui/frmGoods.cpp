#include "frmGoods.h"

#include "BindGrid.h"
#include "DbError.h"
#include "ExcelExport.h"
#include "FlexGrid.h"
#include "FormHelpers.h"
#include "GetvalueFunction.h"
#include "Guarded.h"
#include "InputBox.h"
#include "MsgBox.h"
#include "Numbers.h"
#include "ProcessFuntionValues.h"
#include "ToPinyin.h"
#include "WindowChrome.h"
#include "WindowRegistry.h"
#include "m_funCode.h"
#include "mod_public.h"
#include "sqlHelper.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>

namespace
{

const QString kCaption = QStringLiteral("货品信息");
const QString kRootKey = QStringLiteral("key_0");
const QString kGoodsType = QStringLiteral("goodsType");
constexpr int kKeyRole = Qt::UserRole + 1;
constexpr int kImageRole = Qt::UserRole + 2;
// A type entry of the type box that is not an enabled type: the stored type of
// the loaded item, kept so that a save does not move the item elsewhere.
constexpr int kExtraTypeRole = Qt::UserRole + 3;
constexpr int kMaxUnits = 30;

const QString kListFormat = QStringLiteral(
    "^序号|^选中 |<ID|^状态   |<货品编码       |<货品名称                 |<规格       |<货品类别  "
    "|>库存上限|>库存下限|>创建人 |>创建时间  ");
const QString kDetailFormat = QStringLiteral(
    "^序号|^选中|<ID|^isDefault|^默认|<条码             |^单位 |>内装数|>重量   |>进价    |>销售价    ");

// A picture file for a toolbar button, drawn at the bar's icon size as its
// neighbours' pictures are (the file may hold a small picture only); the
// style's picture when the file is missing.
QIcon toolbarPicture(const QString& file, const QSize& size, const QIcon& otherwise)
{
    const QPixmap picture(file);
    if (picture.isNull())
        return otherwise;
    QIcon icon(picture);
    if (picture.size() != size)
        icon.addPixmap(picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return icon;
}

int idOf(const QString& text)
{
    return int(std::nearbyint(ReadNumber(text)));
}

int idOfKey(const QString& key)
{
    QString rest = key;
    rest.remove(QStringLiteral("key_"));
    return idOf(rest);
}

// The decimals the boxes and cells show of a stored number.
constexpr int kNumberPlaces = 9;

// A number as the boxes and cells show it: no exponent, no trailing zeros.
QString numberText(double value)
{
    return PlainNumber(value, kNumberPlaces);
}

// Whether a box or cell keeps its text: a blank one holds no figure (0),
// any other text goes through the number gate.
NumberFit fitOf(const QString& text)
{
    return IsNullOrEmpty(text) ? NumberFit::Kept : FitOfNumber(text, kNumberPlaces);
}

// The refusal of a number a box or cell cannot keep as typed.
QString tooLongText(const QString& name, NumberFit fit)
{
    return NumberRefusal(name, fit, kNumberPlaces);
}

QPixmap flagPixmap(const QColor& color)
{
    QPixmap pm(14, 14);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(64, 64, 64), 1.2));
    p.drawLine(QPointF(3, 1), QPointF(3, 13));
    QPainterPath flag;
    flag.moveTo(3.5, 1.5);
    flag.lineTo(12.5, 4.5);
    flag.lineTo(3.5, 7.5);
    flag.closeSubpath();
    p.fillPath(flag, color);
    return pm;
}

// The status pictures of the list: 启用, 替代, 禁用.
QPixmap statusPixmap(const QString& status)
{
    if (status == QStringLiteral("启用"))
        return flagPixmap(QColor(0, 160, 0));
    if (status == QStringLiteral("替代"))
        return flagPixmap(QColor(0, 0, 192));
    if (status == QStringLiteral("禁用"))
        return flagPixmap(QColor(220, 0, 0));
    return {};
}

// The mark of the default unit.
QPixmap okPixmap()
{
    QPixmap pm(14, 14);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 150, 0), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(2, 7.5), QPointF(5.5, 11), QPointF(12, 3)}));
    return pm;
}

QColor statusColor(const QString& status)
{
    if (status == QStringLiteral("启用"))
        return QColor(64, 64, 64);
    if (status == QStringLiteral("替代"))
        return QColor(0, 0, 192);
    if (status == QStringLiteral("禁用"))
        return QColor(255, 0, 0);
    return Qt::black;
}

void paintBox(QWidget* box, const QColor& color)
{
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base, color);
    pal.setColor(QPalette::Button, color);
    box->setPalette(pal);
}

} // namespace

frmGoods::frmGoods(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmGoods"));
    setWindowTitle(kCaption);
    buildWindow();

    // Loading: the type box is filled after the clearing, and the search's
    // first row then fills the form.
    Guarded(this, [this] {
        ClearForm();
        load_GoodsTypeCombo();
        load_GoodsTypeTree();
        btn_search_Click();
    });
    m_uvg.uInit(vsflg_Detail, 0);
    m_uvg.IsCheckEnterToTab = true;
    m_uvg.IsResetRowNum = true;
    m_uvg.uHeightRow = 350;
}

frmGoods::~frmGoods() = default;

// ---- building the window ----

void frmGoods::buildWindow()
{
    buildToolbar();
    buildSearchStrip();
    pic_content = new QWidget(this);
    pic_content->setObjectName(QStringLiteral("pic_content"));
    buildTree();
    buildList();
    buildEditPanel();

    auto* right = new QVBoxLayout;
    right->setContentsMargins(0, 0, 0, 0);
    right->addWidget(vsGoodsList, 1);
    right->addWidget(pic_goods_detail);
    auto* content = new QHBoxLayout(pic_content);
    content->setContentsMargins(0, 1, 3, 3);
    content->setSpacing(2);
    content->addWidget(tv_type);
    content->addLayout(right, 1);

    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->setSpacing(0);
    window->addWidget(utoolbar);
    window->addWidget(pic_title);
    window->addWidget(pic_content, 1);

    vsGoodsList->viewport()->installEventFilter(this);
    vsflg_Detail->viewport()->installEventFilter(this);
    vsGoodsDetail_init();
    vsGoodsList_init({}, 0);
    resize(TwipsToPixels(13500, this), TwipsToPixels(8430, this));
    // The main frame shows the window maximised; restored, it has its design size.
    setWindowState(windowState() | Qt::WindowMaximized);
}

void frmGoods::buildToolbar()
{
    KeyedToolbar toolbar(this, QStringLiteral("utoolbar"),
                         [this](const QString& key) { utoolbar_ButtonClick(key); });
    utoolbar = toolbar.bar();
    toolbar.add(QStringLiteral("新增"), QStringLiteral("add"), QStyle::SP_FileIcon);
    toolbar.add(QStringLiteral("保存"), QStringLiteral("save"), QStyle::SP_DialogSaveButton);
    toolbar.add(QStringLiteral("删除"), QStringLiteral("delete"), QStyle::SP_TrashIcon);
    utoolbar->addSeparator()->setObjectName(QStringLiteral("sp2"));
    toolbar.add(QStringLiteral("打印"), QStringLiteral("print"), QStyle::SP_FileDialogDetailedView)
        ->setToolTip(QStringLiteral("打印货品条码标签"));
    toolbar.add(QStringLiteral("导出"), QStringLiteral("export"), QStyle::SP_DialogSaveButton);
    toolbar.add(QStringLiteral("刷新"), QStringLiteral("refresh"),
                toolbarPicture(GetAppPath() + QStringLiteral("Ico/refresh.ico"), utoolbar->iconSize(),
                               style()->standardIcon(QStyle::SP_BrowserReload)));
    toolbar.add(QStringLiteral("关闭"), QStringLiteral("close"), QStyle::SP_ArrowBack);
}

// The type caption, the keyword search, the list's delete and the type manager above the list.
void frmGoods::buildSearchStrip()
{
    pic_title = new QWidget(this);
    pic_title->setObjectName(QStringLiteral("pic_title"));
    auto* label1 = new QLabel(QStringLiteral("货品类别:"), pic_title);
    label1->setObjectName(QStringLiteral("Label1"));
    auto* label9 = new QLabel(QStringLiteral("关键字:"), pic_title);
    label9->setObjectName(QStringLiteral("Label9"));
    txt_KeyWord = new QLineEdit(pic_title);
    txt_KeyWord->setObjectName(QStringLiteral("txt_KeyWord"));
    txt_KeyWord->setMaxLength(50);
    txt_KeyWord->setMinimumWidth(200);
    txt_KeyWord->installEventFilter(this);
    btn_search = new QPushButton(QStringLiteral("查询"), pic_title);
    btn_search->setObjectName(QStringLiteral("btn_search"));
    btn_GoodsDeleteList = new QPushButton(QStringLiteral("删除"), pic_title);
    btn_GoodsDeleteList->setObjectName(QStringLiteral("btn_GoodsDeleteList"));
    lb_rowCount = new QLabel(QStringLiteral("找到[0]条信息"), pic_title);
    lb_rowCount->setObjectName(QStringLiteral("lb_rowCount"));
    btn_goodsTypeMg = new QPushButton(QStringLiteral("类别管理"), pic_title);
    btn_goodsTypeMg->setObjectName(QStringLiteral("btn_goodsTypeMg"));
    auto* strip = new QHBoxLayout(pic_title);
    strip->setContentsMargins(6, 4, 6, 4);
    strip->addWidget(label1);
    strip->addStretch(0);
    strip->addSpacing(TwipsToPixels(2775, this) - label1->sizeHint().width() - 6);
    strip->addWidget(label9);
    strip->addWidget(txt_KeyWord);
    strip->addWidget(btn_search);
    strip->addWidget(btn_GoodsDeleteList);
    strip->addSpacing(12);
    strip->addWidget(lb_rowCount);
    strip->addStretch(1);
    strip->addWidget(btn_goodsTypeMg);
    connect(btn_search, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { btn_search_Click(); }); });
    connect(btn_GoodsDeleteList, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { btn_GoodsDelete_Click(); }); });
    connect(btn_goodsTypeMg, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { btn_goodsTypeMg_Click(); }); });
}

// The goods type tree and its pop-up menu.
void frmGoods::buildTree()
{
    tv_type = new QTreeWidget(pic_content);
    tv_type->setObjectName(QStringLiteral("tv_type"));
    tv_type->setHeaderHidden(true);
    tv_type->setColumnCount(1);
    tv_type->setFixedWidth(TwipsToPixels(2775, this));
    tv_type->viewport()->installEventFilter(this);
    connect(tv_type, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* node) { Guarded(this, [&] { tv_type_NodeClick(node); }); });
    // A right press takes its node as a click does, before the menu opens on it.
    SelectOnRightPress(tv_type, this, [this](QTreeWidgetItem* node) { tv_type_NodeClick(node); });
    FollowFolderImages(tv_type, this,
                       [this](QTreeWidgetItem* node, const QString& image) { setImage(node, image); });

    node_edit = new QMenu(this);
    node_edit->setObjectName(QStringLiteral("node_edit"));
    QAction* refresh = node_edit->addAction(QStringLiteral("刷新"));
    refresh->setObjectName(QStringLiteral("refresh"));
    QAction* menu_dictionary = node_edit->addAction(QStringLiteral("类别管理"));
    menu_dictionary->setObjectName(QStringLiteral("menu_dictionary"));
    node_edit->addSeparator()->setObjectName(QStringLiteral("sp"));
    QAction* addnew_type = node_edit->addAction(QStringLiteral("新增类别"));
    addnew_type->setObjectName(QStringLiteral("addnew_type"));
    connect(refresh, &QAction::triggered, this, [this] { Guarded(this, [this] { refresh_Click(); }); });
    connect(menu_dictionary, &QAction::triggered, this,
            [this] { Guarded(this, [this] { btn_goodsTypeMg_Click(); }); });
    connect(addnew_type, &QAction::triggered, this,
            [this] { Guarded(this, [this] { addnew_type_Click(); }); });
}

void frmGoods::buildList()
{
    vsGoodsList = new FlexGrid(pic_content);
    vsGoodsList->setObjectName(QStringLiteral("vsGoodsList"));
    vsGoodsList->setFixedRows(1);
    vsGoodsList->setFixedCols(1);
    vsGoodsList->setEditable(FlexGrid::flexEDNone);
    vsGoodsList->setExplorerBar(FlexGrid::flexExSortShow);
    vsGoodsList->setSelectionMode(FlexGrid::flexSelectionByRow);
    vsGoodsList->setBackColorFixed(FlexGrid::ToOleColor(QColor(232, 232, 232)));
    // A click loads the row's item, and so does every move of the current
    // cell; a click that moved the cell loads it once.
    connect(vsGoodsList, &FlexGrid::AfterRowColChange, this, [this](int, int, int, int) {
        if (m_fillingList)
            return;
        m_loadedByMove = true;
        Guarded(this, [this] { vsGoodsList_Click(); });
    });
    connect(vsGoodsList, &FlexGrid::MouseDown, this,
            [this](Qt::MouseButton, Qt::KeyboardModifiers, int, int) { m_loadedByMove = false; });
    connect(vsGoodsList, &FlexGrid::Click, this, [this] {
        if (!m_loadedByMove)
            Guarded(this, [this] { vsGoodsList_Click(); });
        m_loadedByMove = false;
    });
    connect(vsGoodsList, &FlexGrid::AfterSort, this, [this] { vsGoodsList_AfterSort(); });
    connect(vsGoodsList, &FlexGrid::BeforeEdit, this,
            [](int, int col, bool& cancel) { cancel = col != frmGoods::lcCheck; });
    connect(vsGoodsList, &FlexGrid::KeyDown, this, [this](int& keyCode, Qt::KeyboardModifiers) {
        if (keyCode == Qt::Key_Backspace)
            txt_KeyWord->setFocus();
    });
    connect(vsGoodsList, &FlexGrid::KeyPress, this, [this](int& keyAscii) {
        if (keyAscii == 13) {
            keyAscii = 0;
            txt_goodsCode->setFocus();
            txt_goodsCode->selectAll();
        }
    });
}

// The item's form beside its packing units.
void frmGoods::buildEditPanel()
{
    pic_goods_detail = new QWidget(pic_content);
    pic_goods_detail->setObjectName(QStringLiteral("pic_goods_detail"));
    m_form = buildForm(pic_goods_detail);

    QVBoxLayout* units = buildUnits();

    auto* panel = new QHBoxLayout(pic_goods_detail);
    panel->setContentsMargins(0, 4, 0, 0);
    panel->addWidget(m_form);
    panel->addSpacing(8);
    panel->addLayout(units, 1);
}

// The packing units: their caption and buttons over their grid.
QVBoxLayout* frmGoods::buildUnits()
{
    auto* label16 = new QLabel(QStringLiteral("包装单位:"), pic_goods_detail);
    label16->setObjectName(QStringLiteral("Label16"));
    label16->setStyleSheet(QStringLiteral("color: rgb(128, 0, 0);"));
    auto* label17 = new QLabel(QStringLiteral("(单位和内装数必填)"), pic_goods_detail);
    label17->setObjectName(QStringLiteral("Label17"));
    label17->setStyleSheet(QStringLiteral("color: rgb(0, 0, 192);"));
    const auto unitButton = [this](const QString& caption, const QString& name) {
        auto* b = new QPushButton(caption, pic_goods_detail);
        b->setObjectName(name);
        b->setAutoDefault(false);
        // Narrower than the style's usual button when the window is: the
        // caption stays whole, and the edit panel fits a small screen.
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(caption) + 24);
        return b;
    };
    btn_addBarCode = unitButton(QStringLiteral("新增"), QStringLiteral("btn_addBarCode"));
    btn_setDefault = unitButton(QStringLiteral("默认"), QStringLiteral("btn_setDefault"));
    btn_DetailDelete = unitButton(QStringLiteral("删除"), QStringLiteral("btn_DetailDelete"));
    btn_DetailSave = unitButton(QStringLiteral("保存"), QStringLiteral("btn_DetailSave"));
    connect(btn_addBarCode, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { btn_addBarCode_Click(); }); });
    connect(btn_setDefault, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { btn_setDefault_Click(); }); });
    connect(btn_DetailDelete, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { btn_DetailDelete_Click(); }); });
    connect(btn_DetailSave, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { btn_DetailSave_Click(); }); });

    vsflg_Detail = new FlexGrid(pic_goods_detail);
    vsflg_Detail->setObjectName(QStringLiteral("vsflg_Detail"));
    vsflg_Detail->setFixedRows(1);
    vsflg_Detail->setFixedCols(1);
    vsflg_Detail->setBackColorFixed(FlexGrid::ToOleColor(QColor(232, 232, 232)));
    connect(vsflg_Detail, &FlexGrid::AfterRowColChange, this, [this](int oldRow, int, int newRow, int) {
        if (oldRow != newRow)
            paintUnitRequired();
    });
    connect(vsflg_Detail, &FlexGrid::BeforeEdit, this,
            [](int, int col, bool& cancel) { cancel = col < frmGoods::dcBarcode; });
    connect(vsflg_Detail, &FlexGrid::KeyPressEdit, this,
            [this](int, int col, int& keyAscii) { vsflg_Detail_KeyPressEdit(col, keyAscii); });

    auto* unitBar = new QHBoxLayout;
    unitBar->addWidget(label16);
    unitBar->addWidget(label17);
    unitBar->addStretch(1);
    for (QPushButton* b : {btn_addBarCode, btn_setDefault, btn_DetailDelete, btn_DetailSave})
        unitBar->addWidget(b);
    auto* units = new QVBoxLayout;
    units->setContentsMargins(0, 0, 0, 0);
    units->addLayout(unitBar);
    units->addWidget(vsflg_Detail, 1);
    return units;
}

QWidget* frmGoods::buildForm(QWidget* parent)
{
    auto* form = new QWidget(parent);
    form->setObjectName(QStringLiteral("goodsForm"));
    const auto label = [form](const QString& text, const QString& name = {}) {
        auto* l = new QLabel(text, form);
        if (!name.isEmpty())
            l->setObjectName(name);
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, QColor(64, 64, 64));
        l->setPalette(pal);
        return l;
    };
    const auto box = [form](const QString& name, int maxLength) {
        auto* b = new QLineEdit(form);
        b->setObjectName(name);
        if (maxLength > 0)
            b->setMaxLength(maxLength);
        return b;
    };
    // A number box takes any length: a pasted number is kept or refused
    // whole by the save, never cut.
    const auto numberBox = [&](const QString& name) {
        QLineEdit* b = box(name, 0);
        InstallOnlyNumberKey(b);
        return b;
    };

    txt_goodsCode = box(QStringLiteral("txt_goodsCode"), 50);
    cobo_status = new QComboBox(form);
    cobo_status->setObjectName(QStringLiteral("cobo_status"));
    cobo_status->addItems({QStringLiteral("启用"), QStringLiteral("替代"), QStringLiteral("禁用")});
    txt_goodsName = box(QStringLiteral("txt_goodsName"), 255);
    txt_goodsDesc = box(QStringLiteral("txt_goodsDesc"), 255);
    cobo_goodsTypeName = new QComboBox(form);
    cobo_goodsTypeName->setObjectName(QStringLiteral("cobo_goodsTypeName"));
    txt_upqty = numberBox(QStringLiteral("txt_upqty"));
    txt_downqty = numberBox(QStringLiteral("txt_downqty"));
    txt_unit = box(QStringLiteral("txt_unit"), 5);
    txt_goodsDetailCode = box(QStringLiteral("txt_goodsDetailCode"), 50);
    txt_packQty = numberBox(QStringLiteral("txt_packQty"));
    txt_weight = numberBox(QStringLiteral("txt_weight"));
    txt_inPrice = numberBox(QStringLiteral("txt_inPrice"));
    txt_salePrice = numberBox(QStringLiteral("txt_salePrice"));
    txt_id = box(QStringLiteral("txt_id"), 20);
    txt_id->setEnabled(false);
    txt_id->setVisible(false);
    connect(cobo_status, &QComboBox::currentIndexChanged, this, [this] { cobo_status_Click(); });

    const auto button = [form](const QString& caption, const QString& name) {
        auto* b = new QPushButton(caption, form);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    btn_GoodsSave = button(QStringLiteral("保存"), QStringLiteral("btn_GoodsSave"));
    btn_GoodsAdd = button(QStringLiteral("新建"), QStringLiteral("btn_GoodsAdd"));
    btn_GoodsCopy = button(QStringLiteral("复制"), QStringLiteral("btn_GoodsCopy"));
    btn_GoodsDelete = button(QStringLiteral("删除"), QStringLiteral("btn_GoodsDelete"));
    connect(btn_GoodsSave, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { btn_GoodsSave_Click(); }); });
    connect(btn_GoodsAdd, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { btn_GoodsAdd_Click(); }); });
    connect(btn_GoodsCopy, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { btn_GoodsCopy_Click(); }); });
    connect(btn_GoodsDelete, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { btn_GoodsDelete_Click(); }); });

    lab_status = label(QStringLiteral("状态:"), QStringLiteral("lab_status"));
    auto* grid = new QGridLayout(form);
    grid->setContentsMargins(4, 0, 0, 0);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(3);
    int row = 0;
    grid->addWidget(label(QStringLiteral("货品编码:")), row, 0);
    grid->addWidget(txt_goodsCode, row, 1);
    grid->addWidget(lab_status, row, 2);
    grid->addWidget(cobo_status, row, 3);
    ++row;
    grid->addWidget(label(QStringLiteral("货品名称:")), row, 0);
    grid->addWidget(txt_goodsName, row, 1, 1, 3);
    ++row;
    grid->addWidget(label(QStringLiteral("描述:")), row, 0);
    grid->addWidget(txt_goodsDesc, row, 1, 1, 3);
    ++row;
    grid->addWidget(label(QStringLiteral("货品类别:")), row, 0);
    grid->addWidget(cobo_goodsTypeName, row, 1, 1, 3);
    ++row;
    const QList<std::tuple<QString, QLineEdit*, QString, QLineEdit*>> pairs = {
        {QStringLiteral("库存上限:"), txt_upqty, QStringLiteral("库存下限:"), txt_downqty},
        {QStringLiteral("单位:"), txt_unit, QStringLiteral("条码:"), txt_goodsDetailCode},
        {QStringLiteral("内装数:"), txt_packQty, QStringLiteral("重量:"), txt_weight},
        {QStringLiteral("进货价:"), txt_inPrice, QStringLiteral("销售价:"), txt_salePrice},
    };
    for (const auto& [l1, b1, l2, b2] : pairs) {
        grid->addWidget(label(l1), row, 0);
        grid->addWidget(b1, row, 1);
        grid->addWidget(label(l2), row, 2);
        grid->addWidget(b2, row, 3);
        ++row;
    }
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {btn_GoodsSave, btn_GoodsAdd, btn_GoodsCopy, btn_GoodsDelete})
        buttons->addWidget(b);
    buttons->addStretch(1);
    grid->addLayout(buttons, row, 0, 1, 4);
    grid->setColumnMinimumWidth(1, 110);
    grid->setColumnMinimumWidth(3, 110);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    // Enter moves through the fields in this order.
    const QList<QWidget*> order = {
        txt_goodsCode, cobo_status,   txt_goodsName,       txt_goodsDesc, cobo_goodsTypeName, txt_upqty,
        txt_downqty,   txt_unit,      txt_goodsDetailCode, txt_packQty,   txt_weight,         txt_inPrice,
        txt_salePrice, btn_GoodsSave, btn_GoodsAdd,        btn_GoodsCopy, btn_GoodsDelete};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    InstallEnterToTab(form);
    return form;
}

// ---- messages, small helpers ----

void frmGoods::warn(const QString& text)
{
    MsgBox::Warn(text, kCaption, this);
}

bool frmGoods::showFailure(const m_DBresult& result)
{
    if (!result.isResult && dal_goods_head::IsSaveRefusal(result.str_MsgBox)) {
        warn(result.str_MsgBox);
        return false;
    }
    return ShowIfFailed(this, result);
}

void frmGoods::info(const QString& text)
{
    MsgBox::Info(text, kCaption, this);
}

int frmGoods::currentId() const
{
    return idOf(txt_id->text());
}

m_DBresult frmGoods::check_GoodsCode(const QStringList& newValues, const QList<GoodsBarcode>& units)
{
    return ::check_GoodsCode(newValues, units);
}

void frmGoods::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    vsGoodsList_Resize();
    vsGoodsDetail_Resize();
}

bool frmGoods::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        if (watched == vsGoodsList->viewport())
            vsGoodsList_Resize();
        else if (watched == vsflg_Detail->viewport())
            vsGoodsDetail_Resize();
    }
    if (watched == tv_type->viewport() && PopUpOnRightPress(event, node_edit))
        return true;
    if (watched == txt_KeyWord && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Guarded(this, [this] { btn_search_Click(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- the goods form ----

void frmGoods::paintRequired()
{
    const QColor color = FlexGrid::OleColor(SysVar.Sys_NotNullColor);
    for (QWidget* w : QList<QWidget*>{txt_goodsCode, txt_goodsName, cobo_goodsTypeName, cobo_status, txt_unit,
                                      txt_packQty})
        paintBox(w, color);
}

void frmGoods::cobo_status_Click()
{
    QPalette pal = lab_status->palette();
    pal.setColor(QPalette::WindowText, statusColor(cobo_status->currentText()));
    lab_status->setPalette(pal);
}

void frmGoods::removeExtraTypes()
{
    for (int i = cobo_goodsTypeName->count() - 1; i >= 0; --i)
        if (cobo_goodsTypeName->itemData(i, kExtraTypeRole).toBool())
            cobo_goodsTypeName->removeItem(i);
}

void frmGoods::ClearForm()
{
    for (QLineEdit* box : {txt_id, txt_goodsCode, txt_goodsName, txt_goodsDesc, txt_upqty, txt_downqty})
        box->clear();
    removeExtraTypes();
    if (cobo_goodsTypeName->count() > 0)
        cobo_goodsTypeName->setCurrentIndex(0);
    if (cobo_status->count() > 0)
        cobo_status->setCurrentIndex(0);
    for (QLineEdit* box : {txt_unit, txt_goodsDetailCode, txt_inPrice, txt_salePrice})
        box->clear();
    txt_packQty->setText(QStringLiteral("1"));
    txt_weight->clear();
    paintRequired();
}

void frmGoods::btn_GoodsAdd_Click()
{
    ClearForm();
    vsGoodsDetail_init();
    txt_goodsCode->setFocus();
}

void frmGoods::btn_GoodsCopy_Click()
{
    txt_id->clear();
    txt_goodsCode->clear();
    vsGoodsDetail_init();
    txt_goodsCode->setFocus();
}

void frmGoods::utoolbar_ButtonClick(const QString& key)
{
    Guarded(this, [&] {
        if (key == QLatin1String("add"))
            btn_GoodsAdd_Click();
        else if (key == QLatin1String("save"))
            btn_GoodsSave_Click();
        else if (key == QLatin1String("delete"))
            btn_GoodsDelete_Click();
        else if (key == QLatin1String("print"))
            info(QStringLiteral("请连接条码打印机!"));
        else if (key == QLatin1String("export"))
            export_GoodsList();
        else if (key == QLatin1String("close"))
            close();
    });
}

// Selects the item's type in the type box. A type that is no longer enabled
// is shown all the same, so that saving keeps it; a type that is gone leaves
// the box empty, and saving then asks for one.
void frmGoods::selectTypeOf(const m_goods_head& goods)
{
    removeExtraTypes();
    const int index = cobo_goodsTypeName->findData(goods.goodsTypeId);
    if (index >= 0) {
        cobo_goodsTypeName->setCurrentIndex(index);
        return;
    }
    if (goods.goodsTypeId > 0 && !goods.goodsTypeName.isEmpty()) {
        cobo_goodsTypeName->addItem(goods.goodsTypeName, goods.goodsTypeId);
        const int added = cobo_goodsTypeName->count() - 1;
        cobo_goodsTypeName->setItemData(added, true, kExtraTypeRole);
        cobo_goodsTypeName->setCurrentIndex(added);
        return;
    }
    cobo_goodsTypeName->setCurrentIndex(-1);
}

void frmGoods::btn_GoodsSave_Click()
{
    saveGoods();
}

void frmGoods::saveGoods()
{
    const QString code = txt_goodsCode->text();
    if (IsNullOrEmpty(code)) {
        warn(QStringLiteral("货品编码不能为空!"));
        txt_goodsCode->setFocus();
        return;
    }
    if (IsNullOrEmpty(txt_goodsName->text())) {
        warn(QStringLiteral("货品名称不能为空!"));
        txt_goodsName->setFocus();
        return;
    }
    if (cobo_goodsTypeName->currentText().isEmpty() || cobo_goodsTypeName->currentIndex() < 0) {
        warn(QStringLiteral("货品类别不能为空!"));
        cobo_goodsTypeName->setFocus();
        return;
    }
    if (IsNullOrEmpty(txt_unit->text())) {
        warn(QStringLiteral("单位不能为空!"));
        txt_unit->setFocus();
        return;
    }
    if (ReadNumber(txt_packQty->text()) < 1) {
        warn(QStringLiteral("内装数不能小于1!"));
        txt_packQty->setFocus();
        return;
    }
    // A pasted number is kept as it reads, or refused as the units' cells are.
    for (const auto& [box, name] :
         {std::pair{txt_upqty, QStringLiteral("库存上限")},
          std::pair{txt_downqty, QStringLiteral("库存下限")},
          std::pair{txt_packQty, QStringLiteral("内装数")}, std::pair{txt_weight, QStringLiteral("重量")},
          std::pair{txt_inPrice, QStringLiteral("进货价")},
          std::pair{txt_salePrice, QStringLiteral("销售价")}}) {
        const NumberFit fit = fitOf(box->text());
        if (fit != NumberFit::Kept) {
            warn(tooLongText(name, fit));
            box->setFocus();
            return;
        }
    }

    const int storedId = currentId();
    const bool stored = storedId > 0;
    // The checks are made here in their order for the clerk's sake, and again
    // inside the write's transaction, where they count.
    const QString taken = dal_goods_head::CodeTakenText(stored ? storedId : 0, code);
    if (!taken.isEmpty()) {
        warn(taken);
        txt_goodsCode->setFocus();
        return;
    }

    if (!MsgBox::Ask(QStringLiteral("确定保存当前货品?"), kCaption, this))
        return;

    const QString barcode = txt_goodsDetailCode->text();
    bool missing = false;
    const QStringList values = dal_goods_head::AddedCodes(stored ? storedId : 0, code, barcode, &missing);
    if (missing) {
        warn(dal_goods_head::kGoodsMissingText);
        return;
    }
    const m_DBresult unique = check_GoodsCode(values);
    if (!unique.isResult) {
        warn(unique.str_MsgBox);
        return;
    }

    // The type must still exist: one deleted meanwhile would leave the item without a type.
    const int typeId = cobo_goodsTypeName->currentData().toInt();
    if (m_dalDictionary.GetModel(typeId).id < 1) {
        warn(QStringLiteral("货品类别不能为空!"));
        cobo_goodsTypeName->setFocus();
        return;
    }

    if (!check_FunRight(stored ? FunCodeTable.goodsInfor_update() : FunCodeTable.goodsInfor_save(), true))
        return;

    const QString now = GetNowStr(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    m_goods.goodsCode = code;
    m_goods.goodsName = txt_goodsName->text();
    m_goods.pinyin = GetPinyin(txt_goodsName->text());
    m_goods.goodsDesc = txt_goodsDesc->text();
    m_goods.goodsTypeId = typeId;
    m_goods.downqty = ReadNumber(txt_downqty->text());
    m_goods.upqty = ReadNumber(txt_upqty->text());
    m_goods.imageUrl.clear();
    m_goods.status = cobo_status->currentText();
    m_goods.creator = CurrentUser.user;
    m_goods.updateLastUser = CurrentUser.user;
    m_goods.createTime = now;
    m_goods.updateLastTime = now;

    m_defaultUnit = m_goods_detail();
    m_defaultUnit.isDefault = 1;
    m_defaultUnit.goodsDetailCode = barcode;
    m_defaultUnit.unit = txt_unit->text();
    m_defaultUnit.packQty = ReadNumber(txt_packQty->text());
    m_defaultUnit.weight = ReadNumber(txt_weight->text());
    m_defaultUnit.inPrice = ReadNumber(txt_inPrice->text());
    m_defaultUnit.salePrice = ReadNumber(txt_salePrice->text());

    m_goods_head goods = m_goods;
    goods.id = stored ? storedId : 0;
    m_goods_detail unit = m_defaultUnit;
    if (!showFailure(m_dalHead.Save(goods, unit)))
        return;
    m_goods = goods;
    m_defaultUnit = unit;

    btn_search_Click();
    const int row = vsGoodsList->FindRow(QString::number(goods.id), 1, lcId);
    const int current = row > 0 ? row : 1;
    m_fillingList = true;
    vsGoodsList->Select(current, lcCode);
    vsGoodsList->setTopRow(current);
    vsGoodsList->setLeftCol(lcCode);
    m_fillingList = false;
    if (current != 1)
        vsGoodsList_Click();
    info(QStringLiteral("保存成功!"));
}

void frmGoods::btn_GoodsDelete_Click()
{
    deleteGoods();
}

void frmGoods::deleteGoods()
{
    const int id = currentId();
    if (id <= 0)
        return;
    if (!check_FunRight(FunCodeTable.goodsInfor_delete(), true))
        return;
    if (!MsgBox::Ask(QStringLiteral("删除后将不能恢复,确定删除当前货品?"), kCaption, this))
        return;

    const m_DBresult result = m_dalHead.Delete(id);
    if (!result.isResult) {
        // A refusing check counts its rows; any other failure is the database's.
        if (result.int_Count > 0)
            warn(result.str_MsgBox);
        else
            ShowIfFailed(this, result);
        return;
    }
    btn_search_Click();
    info(QStringLiteral("删除成功!"));
}

// ---- packing units ----

m_recordSet frmGoods::readUnits(int headId)
{
    return m_dalDetail.GetUnitRows(headId);
}

void frmGoods::Load_GoodsDetailData()
{
    vsGoodsDetail_init(readUnits(currentId()).recordSet);
}

void frmGoods::paintUnitRequired()
{
    FlexGrid* g = vsflg_Detail;
    if (g->Cols() > dcPackQty && g->Rows() > 1)
        g->setCellBackColor(1, dcUnit, g->Rows() - 1, dcPackQty, SysVar.Sys_NotNullColor);
}

void frmGoods::vsGoodsDetail_init(RecordSetPtr rs)
{
    FlexGrid* g = vsflg_Detail;
    g->setRedraw(false);
    g->setRows(1);
    g->setRows(2);
    g->setCols(dcCount);
    g->setRowHeightMin(350);
    g->setFormatString(kDetailFormat);
    if (rs)
        BindGrid(g, rs);
    for (int r = 1; r < g->Rows(); ++r) {
        g->setTextMatrix(r, dcNo, QString::number(r));
        // Numbers as the boxes show them, whatever the stored form.
        for (int c = dcPackQty; c <= dcSalePrice; ++c) {
            const QString text = g->TextMatrix(r, c);
            if (!text.isEmpty())
                g->setTextMatrix(r, c, numberText(ReadNumber(text)));
        }
        if (!IsNullOrEmpty(g->TextMatrix(r, dcIsDefault))) {
            if (g->TextMatrix(r, dcIsDefault).trimmed() == QLatin1String("1"))
                g->setCellPicture(r, dcDefaultMark, okPixmap());
            g->setTextMatrix(r, dcDefaultMark, QString());
        }
    }
    paintUnitRequired();
    g->setEditable(FlexGrid::flexEDKbdMouse);
    g->setColDataType(dcCheck, FlexGrid::flexDTBoolean);
    g->setColHidden(dcCheck, true);
    g->setColHidden(dcId, true);
    g->setColHidden(dcIsDefault, true);
    g->setRedraw(true);
    g->Select(1, dcBarcode);
    vsGoodsDetail_Resize();
}

// The six entry columns share whatever width the grid has beyond their base
// widths: half to the barcode, a tenth to each of the others.
void frmGoods::vsGoodsDetail_Resize()
{
    if (!vsflg_Detail || vsflg_Detail->Cols() < dcCount)
        return;
    static const int base[] = {1620, 540, 630, 720, 810, 990};
    static const double share[] = {0.5, 0.1, 0.1, 0.1, 0.1, 0.1};
    int used = 0;
    for (int c = 0; c < dcBarcode; ++c)
        if (!vsflg_Detail->ColHidden(c))
            used += vsflg_Detail->ColWidth(c);
    for (int b : base)
        used += b;
    const int extra = vsflg_Detail->PixelsToTwips(vsflg_Detail->viewport()->width()) - used - 30;
    for (int i = 0; i < 6; ++i)
        vsflg_Detail->setColWidth(dcBarcode + i,
                                  base[i] + (extra >= 1 ? int(std::nearbyint(extra * share[i])) : 0));
}

void frmGoods::vsflg_Detail_KeyPressEdit(int col, int& keyAscii)
{
    if (col < dcPackQty || col > dcSalePrice)
        return;
    // A cell holds one number: a second point, or a minus after its start, is refused too.
    const bool figure = keyAscii == 45 || keyAscii == 46 || (keyAscii >= 48 && keyAscii <= 57);
    const bool allowed =
        keyAscii == 8 || keyAscii == 13 || (figure && vsflg_Detail->EditKeepsOneNumber(keyAscii));
    if (!allowed) {
        QApplication::beep();
        keyAscii = 0;
    }
}

void frmGoods::btn_addBarCode_Click()
{
    FlexGrid* g = vsflg_Detail;
    g->setRows(g->Rows() + 1);
    paintUnitRequired();
    SetGridRowNo(g, 1, g->Rows() - 1, dcNo, 350, 1);
}

void frmGoods::btn_DetailDelete_Click()
{
    if (currentId() <= 0) {
        warn(QStringLiteral("当前货品信息未保存,不能删除包装单位!"));
        return;
    }
    FlexGrid* g = vsflg_Detail;
    const int row = g->Row();
    if (row < 1 || row >= g->Rows())
        return;
    if (idOf(g->TextMatrix(row, dcIsDefault)) == 1) {
        warn(QStringLiteral("默认包装单位,不能删除!"));
        return;
    }
    const int unitId = idOf(g->TextMatrix(row, dcId));
    if (unitId > 0) {
        const m_DBresult result = m_dalDetail.Delete(unitId, m_goods.rowVersion);
        if (!showFailure(result))
            return;
    }
    g->RemoveItem(row);
    info(QStringLiteral("删除成功!"));
}

void frmGoods::btn_DetailSave_Click()
{
    saveUnits();
}

void frmGoods::saveUnits()
{
    const int headId = currentId();
    if (headId <= 0) {
        warn(QStringLiteral("当前货品信息未保存,不能保存包装单位!"));
        return;
    }
    if (!MsgBox::Ask(QStringLiteral("确定保存当前货品包装单位?"), kCaption, this))
        return;

    // An entirely empty row is left out; any other row must carry a unit and a
    // pack quantity above 0, or the save stops before anything is written.
    FlexGrid* g = vsflg_Detail;
    QList<m_goods_detail> rows;
    QStringList newBarcodes;
    QList<GoodsBarcode> storedBarcodes;
    for (int r = 1; r < g->Rows(); ++r) {
        const int unitId = idOf(g->TextMatrix(r, dcId));
        bool empty = unitId <= 0;
        for (int c = dcBarcode; c <= dcSalePrice && empty; ++c)
            empty = g->TextMatrix(r, c).trimmed().isEmpty();
        if (empty)
            continue;
        const QString unit = g->TextMatrix(r, dcUnit);
        const double packQty = ReadNumber(g->TextMatrix(r, dcPackQty));
        if (IsNullOrEmpty(unit) || packQty <= 0) {
            warn(QStringLiteral("第") + g->TextMatrix(r, dcNo) +
                 QStringLiteral("行包装单位不完整,请填写单位和内装数!"));
            g->Select(r, IsNullOrEmpty(unit) ? dcUnit : dcPackQty);
            return;
        }
        for (const auto& [col, name] :
             {std::pair{dcPackQty, QStringLiteral("内装数")}, std::pair{dcWeight, QStringLiteral("重量")},
              std::pair{dcInPrice, QStringLiteral("进价")},
              std::pair{dcSalePrice, QStringLiteral("销售价")}}) {
            const NumberFit fit = fitOf(g->TextMatrix(r, col));
            if (fit != NumberFit::Kept) {
                warn(QStringLiteral("第") + g->TextMatrix(r, dcNo) + QStringLiteral("行") +
                     tooLongText(name, fit));
                g->Select(r, col);
                return;
            }
        }
        m_goods_detail m;
        m.headId = headId;
        m.rowNo = idOf(g->TextMatrix(r, dcNo));
        m.isDefault = idOf(g->TextMatrix(r, dcIsDefault));
        m.goodsDetailCode = g->TextMatrix(r, dcBarcode);
        m.unit = unit;
        m.packQty = packQty;
        m.weight = ReadNumber(g->TextMatrix(r, dcWeight));
        m.inPrice = ReadNumber(g->TextMatrix(r, dcInPrice));
        m.salePrice = ReadNumber(g->TextMatrix(r, dcSalePrice));
        if (!IsNullOrEmpty(m.goodsDetailCode)) {
            if (unitId > 0)
                storedBarcodes.append({unitId, m.goodsDetailCode});
            else
                newBarcodes << m.goodsDetailCode;
        }
        rows.append(m);
    }
    if (rows.size() > kMaxUnits) {
        warn(QStringLiteral("最多只能保存30个包装单位,请适当调整到30个包装单位!"));
        return;
    }
    // The item's existence and the barcodes are checked inside the write's transaction.
    if (!showFailure(m_dalDetail.SaveUnits(headId, m_goods.rowVersion, rows, newBarcodes, storedBarcodes)))
        return;
    vsGoodsList_Click();
    info(QStringLiteral("保存成功!"));
}

void frmGoods::btn_setDefault_Click()
{
    const int headId = currentId();
    if (headId <= 0) {
        warn(QStringLiteral("当前货品信息未保存,不能设置默认单位!"));
        return;
    }
    const int unitId = idOf(vsflg_Detail->TextMatrix(vsflg_Detail->Row(), dcId));
    if (unitId <= 0) {
        warn(QStringLiteral("请先保存该包装单位后,才能设置默认单位!"));
        return;
    }
    const m_DBresult result = m_dalDetail.Update_Default(unitId, headId, m_goods.rowVersion);
    if (!ShowIfFailed(this, result))
        return;
    vsGoodsList_Click();
    info(QStringLiteral("设置成功!"));
}

// ---- the list, the search and the export ----

void frmGoods::btn_search_Click()
{
    m_conditionList.clear();
    if (QTreeWidgetItem* node = tv_type->currentItem()) {
        const int typeId = idOfKey(nodeKey(node));
        if (typeId > 0)
            m_conditionList.append(
                m_condition(SearchKey::GoodsType, QStringLiteral("in"), NList(DictionarySubtreeIds(typeId))));
    }
    if (!IsNullOrEmpty(txt_KeyWord->text()))
        m_conditionList.append(m_condition(SearchKey::Keyword, QStringLiteral("like"), txt_KeyWord->text()));
    const m_recordSet rs = m_dalHead.GetListRows(m_conditionList);
    vsGoodsList_init(rs.recordSet, rs.recordCount);
}

void frmGoods::vsGoodsList_init(RecordSetPtr rs, int found)
{
    FlexGrid* g = vsGoodsList;
    m_fillingList = true;
    g->setRedraw(false);
    g->setRows(1);
    g->setRows(2);
    g->setCols(lcCount);
    g->setRowHeightMin(350);
    g->setTextMatrix(1, lcNo, QStringLiteral("1"));
    g->setFormatString(kListFormat);
    if (rs)
        BindGrid(g, rs);
    for (int r = 1; r < g->Rows(); ++r) {
        g->setTextMatrix(r, lcNo, QString::number(r));
        const QString status = g->TextMatrix(r, lcStatus);
        if (!status.isEmpty())
            g->setCellPicture(r, lcStatus, statusPixmap(status));
        for (int c : {int(lcUpqty), int(lcDownqty)}) {
            const QString text = g->TextMatrix(r, c);
            if (!text.isEmpty())
                g->setTextMatrix(r, c, numberText(ReadNumber(text)));
        }
    }
    g->setColDataType(lcCheck, FlexGrid::flexDTBoolean);
    g->setColHidden(lcCheck, true);
    g->setColHidden(lcId, true);
    g->setRedraw(true);
    g->Select(1, lcCode);
    m_fillingList = false;
    vsGoodsList_Resize();
    lb_rowCount->setText(QStringLiteral("找到[") + QString::number(found) + QStringLiteral("]条信息"));
    vsGoodsList_Click();
}

// The code, name and description columns share whatever width the list has
// beyond the other columns: three tenths, a half and a fifth.
void frmGoods::vsGoodsList_Resize()
{
    if (!vsGoodsList || vsGoodsList->Cols() < lcCount)
        return;
    FlexGrid* g = vsGoodsList;
    // The status shows its picture beside the text, the date its full ten characters.
    g->setColWidth(lcStatus, 1000);
    g->setColWidth(lcCreateTime, 1400);
    int used = 1440 + 2340 + 1080;
    for (int c = 0; c < lcCount; ++c)
        if (c != lcCode && c != lcName && c != lcDesc && !g->ColHidden(c))
            used += g->ColWidth(c);
    const int extra = g->PixelsToTwips(g->viewport()->width()) - used - 30;
    const auto widen = [extra](int base, double share) {
        return base + (extra >= 1 ? int(std::nearbyint(extra * share)) : 0);
    };
    g->setColWidth(lcCode, widen(1440, 0.3));
    g->setColWidth(lcName, widen(2340, 0.5));
    g->setColWidth(lcDesc, widen(1080, 0.2));
}

void frmGoods::vsGoodsList_AfterSort()
{
    SetGridRowNo(vsGoodsList, 1, vsGoodsList->Rows() - 1, lcNo, 350, 1);
}

void frmGoods::vsGoodsList_Click()
{
    ClearForm();
    vsGoodsDetail_init();
    const int row = vsGoodsList->Row();
    if (row <= 0 || row >= vsGoodsList->Rows())
        return;
    txt_id->setText(vsGoodsList->TextMatrix(row, lcId));
    if (txt_id->text().isEmpty())
        return;

    // Everything is read before anything is shown, so a failed read leaves an
    // empty form rather than half of an item.
    m_goods_head goods;
    m_recordSet units;
    m_goods_detail defaultUnit;
    try {
        goods = m_dalHead.GetModel(currentId());
        if (goods.id >= 1) {
            units = readUnits(goods.id);
            defaultUnit = m_dalDetail.GetModelForDefault(goods.id);
        }
    } catch (...) {
        txt_id->clear();
        throw;
    }
    m_goods = goods;
    if (m_goods.id < 1) {
        warn(dal_goods_head::kGoodsMissingText);
        return;
    }
    selectTypeOf(m_goods);
    txt_goodsCode->setText(m_goods.goodsCode);
    txt_goodsName->setText(m_goods.goodsName);
    txt_goodsDesc->setText(m_goods.goodsDesc);
    txt_upqty->setText(numberText(m_goods.upqty));
    txt_downqty->setText(numberText(m_goods.downqty));
    cobo_status->setCurrentIndex(cobo_status->findText(m_goods.status));
    vsGoodsDetail_init(units.recordSet);
    m_defaultUnit = defaultUnit;
    if (m_defaultUnit.id > 0) {
        txt_goodsDetailCode->setText(m_defaultUnit.goodsDetailCode);
        txt_unit->setText(m_defaultUnit.unit);
        txt_packQty->setText(numberText(m_defaultUnit.packQty));
        txt_weight->setText(numberText(m_defaultUnit.weight));
        txt_inPrice->setText(numberText(m_defaultUnit.inPrice));
        txt_salePrice->setText(numberText(m_defaultUnit.salePrice));
    }
}

void frmGoods::export_GoodsList()
{
    if (!check_FunRight(FunCodeTable.goodsInfor_export(), true))
        return;
    RecordSetPtr rs = m_dalHead.GetDataTable(m_conditionList, true);
    ExportToExcel(RecordSetToArray(rs), QStringLiteral("货品信息"),
                  QStringLiteral("货品类别,货品编码,货品名称,规格,库存上限,库存下限,状态,创建人,创建时间"));
}

// ---- the goods-type tree ----

QString frmGoods::nodeKey(const QTreeWidgetItem* node)
{
    return node ? node->data(0, kKeyRole).toString() : QString();
}

QString frmGoods::nodeImage(const QTreeWidgetItem* node)
{
    return node ? node->data(0, kImageRole).toString() : QString();
}

void frmGoods::setImage(QTreeWidgetItem* node, const QString& image) const
{
    node->setData(0, kImageRole, image);
    QStyle::StandardPixmap pixmap = QStyle::SP_DirOpenIcon;
    if (image == QLatin1String("book"))
        pixmap = QStyle::SP_FileDialogContentsView;
    else if (image == QLatin1String("close"))
        pixmap = QStyle::SP_DirClosedIcon;
    node->setIcon(0, style()->standardIcon(pixmap));
}

QTreeWidgetItem* frmGoods::newNode(const QString& key, const QString& text, const QString& image) const
{
    auto* node = new QTreeWidgetItem(QStringList{text});
    node->setData(0, kKeyRole, key);
    setImage(node, image);
    return node;
}

void frmGoods::load_GoodsTypeCombo()
{
    cobo_goodsTypeName->clear();
    const RecordSetPtr rs = dal_dictionary::EnabledOfType(kGoodsType);
    for (int r = 0; rs && r < rs->RecordCount(); ++r)
        cobo_goodsTypeName->addItem(rs->value(r, QStringLiteral("uname")).toString(),
                                    rs->value(r, QStringLiteral("id")).toInt());
}

void frmGoods::addTypeNodes(QTreeWidgetItem* parent, int parentId)
{
    const RecordSetPtr rs = m_dalDictionary.GetList(kGoodsType, parentId);
    for (int r = 0; rs && r < rs->RecordCount(); ++r) {
        const QString image = rs->value(r, QStringLiteral("iCount")).toInt() > 0 ? QStringLiteral("close")
                                                                                 : QStringLiteral("open");
        parent->addChild(
            newNode(QStringLiteral("key_") + rs->value(r, QStringLiteral("id")).toString().trimmed(),
                    rs->value(r, QStringLiteral("uname")).toString(), image));
    }
}

void frmGoods::load_GoodsTypeTree()
{
    tv_type->setVisible(false);
    tv_type->clear();
    QTreeWidgetItem* root = newNode(kRootKey, QStringLiteral("货品类别"), QStringLiteral("book"));
    tv_type->addTopLevelItem(root);
    try {
        addTypeNodes(root, 0);
    } catch (...) {
        tv_type->setVisible(true);
        throw;
    }
    root->setExpanded(true);
    tv_type->setCurrentItem(root);
    tv_type->setVisible(true);
}

void frmGoods::load_GoodsTypeChildNodes(QTreeWidgetItem* node)
{
    if (!node || nodeKey(node) == kRootKey)
        return;
    // A node counts as loaded once it has child nodes; a childless one is asked again.
    if (node->childCount() == 0) {
        addTypeNodes(node, idOfKey(nodeKey(node)));
        node->setExpanded(true);
    }
    if (node->isExpanded())
        setImage(node, QStringLiteral("open"));
}

void frmGoods::tv_type_NodeClick(QTreeWidgetItem* node)
{
    if (!node)
        return;
    load_GoodsTypeChildNodes(node);
    btn_search_Click();
}

void frmGoods::refresh_Click()
{
    load_GoodsTypeCombo();
    load_GoodsTypeTree();
    btn_search_Click();
}

void frmGoods::btn_goodsTypeMg_Click()
{
    const QString name = QStringLiteral("frm_dictionary");
    if (!WindowRegistry::Show(name))
        return;
    WindowRegistry::Init(name, 0);
    WindowRegistry::BringToFront(WindowRegistry::instance(name));
}

void frmGoods::addnew_type_Click()
{
    for (;;) {
        QTreeWidgetItem* parent = tv_type->currentItem();
        if (!parent) {
            warn(QStringLiteral("请选择父节点!"));
            return;
        }
        const QString name =
            InputBox::Ask(QStringLiteral("请输入货品类别名称:"), QStringLiteral("新增货品类别"), {}, this);
        if (name.trimmed().isEmpty())
            return;
        m_dictionary type;
        type.utype = kGoodsType;
        type.uname = name;
        type.parentId = idOfKey(nodeKey(parent));
        type.orderby = 0;
        type.isstart = 1;
        type.isSystemSet = 0;
        // The name and the parent are checked inside the write, so two
        // workstations never both add a type of one name.
        dal_dictionary::AddOutcome outcome = dal_dictionary::AddOutcome::Added;
        try {
            outcome = m_dalDictionary.AddNamed(type);
        } catch (const DbError& e) {
            MsgBox::SystemError(e.message(), this, e.details());
            return;
        }
        if (outcome == dal_dictionary::AddOutcome::NameTaken) {
            warn(QStringLiteral("货品类别[") + name + QStringLiteral("]存在,请重新输入!"));
            continue;
        }
        if (outcome == dal_dictionary::AddOutcome::ParentMissing) {
            warn(QStringLiteral("请选择父节点!"));
            return;
        }
        m_type = type;
        parent->addChild(newNode(QStringLiteral("key_%1").arg(type.id), name, QStringLiteral("open")));
        cobo_goodsTypeName->addItem(name, type.id);
        cobo_goodsTypeName->setCurrentIndex(cobo_goodsTypeName->count() - 1);
        return;
    }
}
