#include "frm_customer.h"

#include "dal_dictionary.h"

#include "BillDirection.h"
#include "BindGrid.h"
#include "DataAccess.h"
#include "DbError.h"
#include "EditPanel.h"
#include "ExcelExport.h"
#include "FlexGrid.h"
#include "FormHelpers.h"
#include "GetvalueFunction.h"
#include "Guarded.h"
#include "KeyedTree.h"
#include "MsgBox.h"
#include "Numbers.h"
#include "ProcessFuntion.h"
#include "ProcessFuntionValues.h"
#include "ToPinyin.h"
#include "WindowChrome.h"
#include "WindowRegistry.h"
#include "m_funCode.h"
#include "mod_public.h"
#include "sqlHelper.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <cmath>

namespace
{

const QString kCaption = QStringLiteral("往来单位");
const QString kFixedTree = QStringLiteral("uType");
const QString kCustomTree = QStringLiteral("customType");
const QString kCategoryType = QStringLiteral("customerType");
// An entry added to a pick list for a loaded partner's value that the list lacks.
constexpr int kStoredRole = Qt::UserRole + 3;

const QString kListFormat = QStringLiteral(
    "^序号|^选中 |<ID|^状态   |<类别    |<自定义分类|<编码         |<往来单位名称         |<联系人   "
    "|<电话           |<传真          |<地址                |<公司名称        |>创建人 |>创建时间   ");

int idOf(const QString& text)
{
    return int(std::trunc(ReadNumber(text)));
}

int idOfKey(const QString& key)
{
    return KeyedTree::IdOfKey(key);
}

// The status mark of the list: "Ico/flg.ico" (启用) or "Ico/flg3.ico" (禁用)
// from the program folder, or a small flag of our own when the file is missing.
QPixmap statusPicture(const QString& status)
{
    const bool enabled = status == QStringLiteral("启用");
    const QString file =
        GetAppPath() + (enabled ? QStringLiteral("Ico/flg.ico") : QStringLiteral("Ico/flg3.ico"));
    if (QFile::exists(file)) {
        QPixmap fromFile(file);
        if (!fromFile.isNull())
            return fromFile.scaled(16, 16, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    QPixmap flag(16, 16);
    flag.fill(Qt::transparent);
    QPainter p(&flag);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(80, 80, 80), 1.5));
    p.drawLine(QPointF(3.5, 2), QPointF(3.5, 15));
    p.setPen(Qt::NoPen);
    p.setBrush(enabled ? QColor(40, 160, 60) : QColor(210, 40, 40));
    p.drawPolygon(QPolygonF({QPointF(4, 2), QPointF(14, 5), QPointF(4, 9)}));
    return flag;
}

} // namespace

frm_customer::frm_customer(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frm_customer"));
    setWindowTitle(kCaption);
    buildWindow();
    setDgColForList();
    ClearForm();
    Guarded(this, [&] { load_CustomTypeCombo(); });
    ClearForm();
    Guarded(this, [&] { Opt_treeType_Click(0); });
}

// ------------------------------------------------------------------ layout

// The title band and the toolbar over the search strip, and below it the
// category tree beside the list with the edit panel under it.
void frm_customer::buildWindow()
{
    const TitleBand title = MakeTitleBand(this, kCaption);
    buildToolbar();
    QWidget* pic_title = buildSearchStrip();
    buildTree();
    buildList();
    buildEditPanel();

    auto* right = new QVBoxLayout;
    right->setContentsMargins(0, 0, 0, 0);
    right->addWidget(vsCustomerList, 1);
    right->addWidget(pic_goods_detail);
    auto* content = new QHBoxLayout;
    content->setContentsMargins(0, 0, 0, 0);
    content->addWidget(tv_type);
    content->addLayout(right, 1);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(2, 0, 4, 4);
    body->addWidget(pic_title);
    body->addLayout(content, 1);

    StackWindowChrome(this, title.band, utoolbar, body);
    resize(TwipsToPixels(13500, this), TwipsToPixels(8430, this));
}

void frm_customer::buildToolbar()
{
    KeyedToolbar toolbar(this, QStringLiteral("utoolbar"),
                         [this](const QString& key) { Guarded(this, [&] { utoolbar_ButtonClick(key); }); });
    utoolbar = toolbar.bar();
    toolbar.add(QStringLiteral("新增"), QStringLiteral("add"), QStyle::SP_FileIcon);
    toolbar.add(QStringLiteral("保存"), QStringLiteral("save"), QStyle::SP_DialogSaveButton);
    toolbar.add(QStringLiteral("删除"), QStringLiteral("delete"), QStyle::SP_TrashIcon);
    utoolbar->addSeparator();
    toolbar.add(QStringLiteral("导出"), QStringLiteral("export"), QStyle::SP_DialogSaveButton);
    toolbar.add(QStringLiteral("打印"), QStringLiteral("print"), QStyle::SP_DriveFDIcon);
    toolbar.add(QStringLiteral("操作"), QStringLiteral("op"), QStyle::SP_FileDialogDetailedView);
    toolbar.add(QStringLiteral("关闭"), QStringLiteral("close"), QStyle::SP_ArrowBack);
}

// The tree choice, the keyword search and the row count above the list.
QWidget* frm_customer::buildSearchStrip()
{
    auto* pic_title = new QWidget(this);
    pic_title->setObjectName(QStringLiteral("pic_search"));
    auto* treeChoice = new QButtonGroup(this);
    const char16_t* treeCaptions[2] = {u"固定类别", u"自定义分类"};
    const QString treeTags[2] = {kFixedTree, kCustomTree};
    for (int i = 0; i < 2; ++i) {
        Opt_treeType[i] = new QRadioButton(QString::fromUtf16(treeCaptions[i]), pic_title);
        Opt_treeType[i]->setObjectName(QStringLiteral("Opt_treeType_%1").arg(i));
        Opt_treeType[i]->setProperty("tag", treeTags[i]);
        treeChoice->addButton(Opt_treeType[i], i);
    }
    Opt_treeType[0]->setChecked(true);
    connect(treeChoice, &QButtonGroup::idClicked, this,
            [this](int index) { Guarded(this, [&] { Opt_treeType_Click(index); }); });
    txt_TreeType = new QLineEdit(kFixedTree, pic_title);
    txt_TreeType->setObjectName(QStringLiteral("txt_TreeType"));
    txt_TreeType->setVisible(false);
    const SearchStrip search = MakeSearchStrip(this, pic_title, [this] { btn_search_Click(); });
    txt_KeyWord = search.keyword;
    btn_search = search.search;
    lb_rowCount = search.rowCount;
    // The marking buttons exist for set_CheckRows; nothing shows them.
    btn_checkall = new QPushButton(QStringLiteral("选中"), pic_title);
    btn_checkall->setObjectName(QStringLiteral("btn_checkall"));
    btn_checkall->setVisible(false);
    btn_check = new QPushButton(QStringLiteral("反选"), pic_title);
    btn_check->setObjectName(QStringLiteral("btn_check"));
    btn_check->setVisible(false);
    connect(btn_checkall, &QPushButton::clicked, this, [this] { Guarded(this, [&] { set_CheckRows(1); }); });
    connect(btn_check, &QPushButton::clicked, this, [this] { Guarded(this, [&] { set_CheckRows(-1); }); });
    auto* strip = new QHBoxLayout(pic_title);
    strip->setContentsMargins(6, 2, 6, 2);
    strip->addWidget(Opt_treeType[0]);
    strip->addWidget(Opt_treeType[1]);
    strip->addSpacing(16);
    strip->addWidget(search.label);
    strip->addWidget(txt_KeyWord);
    txt_KeyWord->setFixedWidth(TwipsToPixels(2800, this));
    strip->addWidget(btn_search);
    strip->addSpacing(12);
    strip->addWidget(lb_rowCount);
    strip->addStretch();
    pic_title->setFixedHeight(TwipsToPixels(585, this));
    return pic_title;
}

void frm_customer::buildTree()
{
    m_tree = MakeNodeTree(
        this, QStringLiteral("tv_type"), TwipsToPixels(2700, this), this,
        [this](QTreeWidgetItem* node) { tv_type_NodeClick(node); }, QStringLiteral("book"),
        QStyle::SP_FileDialogContentsView);
    tv_type = m_tree.tree();
    tv_pop = new QMenu(this);
    tv_pop->setObjectName(QStringLiteral("tv_pop"));
    AddMenuEntry(tv_pop, QStringLiteral("刷新"), QStringLiteral("menu_refresh"), this,
                 [this] { load_CustomTypeTree(); });
    AddMenuEntry(tv_pop, QStringLiteral("分类管理"), QStringLiteral("menu_customTypeMg"), this,
                 [this] { menu_customTypeMg_Click(); });
}

// The partner list and its pop-up menu.
void frm_customer::buildList()
{
    vsCustomerList = new FlexGrid(this);
    vsCustomerList->setObjectName(QStringLiteral("vsCustomerList"));
    vsCustomerList->setFixedRows(1);
    vsCustomerList->setFixedCols(1);
    vsCustomerList->setBackColorAlternate(FlexGrid::ToOleColor(QColor(232, 232, 232)));
    vsCustomerList->setSelectionMode(FlexGrid::flexSelectionByRow);
    connect(vsCustomerList, &FlexGrid::AfterRowColChange, this, [this] {
        if (!m_filling)
            Guarded(this, [&] { vsCustomerList_Click(); });
    });
    connect(vsCustomerList, &FlexGrid::AfterSort, this, [this] { vsCustomerList_AfterSort(); });
    connect(vsCustomerList, &FlexGrid::BeforeEdit, this,
            [this](int, int col, bool& cancel) { cancel = col != dgCol_check; });
    connect(vsCustomerList, &FlexGrid::KeyDown, this, [this](int& keyCode, Qt::KeyboardModifiers) {
        if (keyCode == Qt::Key_Backspace)
            txt_KeyWord->setFocus();
    });
    connect(vsCustomerList, &FlexGrid::KeyPress, this, [this](int& keyAscii) {
        if (keyAscii == 13)
            txt_Name->setFocus();
    });
    connect(vsCustomerList, &FlexGrid::MouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
                Guarded(this, [&] { vsCustomerList_MouseDown(button, x, y); });
            });

    vs_pop_menu = new QMenu(this);
    vs_pop_menu->setObjectName(QStringLiteral("vs_pop_menu"));
    menu_customer_delete =
        AddMenuEntry(vs_pop_menu, QStringLiteral("删除"), QStringLiteral("menu_customer_delete"), this,
                     [this] { btn_CustomerDelete_Click(); });
    vs_pop_menu->addSeparator();
    menu_import_Add = AddMenuEntry(vs_pop_menu, QStringLiteral("入库业务"), QStringLiteral("menu_import_Add"),
                                   this, [this] { startBill(BillDirection::In); });
    menu_export_Add = AddMenuEntry(vs_pop_menu, QStringLiteral("出库业务"), QStringLiteral("menu_export_Add"),
                                   this, [this] { startBill(BillDirection::Out); });
}

// The fields of one partner, its buttons and the order Tab walks them in.
void frm_customer::buildEditPanel()
{
    pic_goods_detail = new QWidget(this);
    pic_goods_detail->setObjectName(QStringLiteral("pic_goods_detail"));
    QGridLayout* fields = buildFields();
    QHBoxLayout* buttons = buildPanelButtons();
    auto* panel = new QVBoxLayout(pic_goods_detail);
    panel->setContentsMargins(0, 4, 0, 0);
    panel->addLayout(fields);
    panel->addLayout(buttons);

    QWidget* order[] = {
        txt_Name,         txt_companyName,   txt_contact,         txt_tel,          txt_fax,
        txt_email,        txt_address,       txt_taxNumber,       txt_bankName,     txt_bankAccount,
        cobo_status,      cobo_TypeName,     cobo_CustomTypeName, btn_CustomerSave, btn_CustomerAdd,
        btn_CustomerCopy, btn_CustomerDelete};
    for (int i = 0; i + 1 < int(std::size(order)); ++i)
        setTabOrder(order[i], order[i + 1]);
    InstallEnterToTab(pic_goods_detail);
}

// The panel's boxes and pick lists, two to a line with their captions.
QGridLayout* frm_customer::buildFields()
{
    const auto box = [this](const char* name, int maxLength) {
        auto* b = new QLineEdit(pic_goods_detail);
        b->setObjectName(QLatin1String(name));
        b->setMaxLength(maxLength);
        return b;
    };
    const auto pickList = [this](const char* name, const QStringList& items) {
        auto* c = new QComboBox(pic_goods_detail);
        c->setObjectName(QLatin1String(name));
        c->addItems(items);
        return c;
    };
    txt_id = box("txt_id", 20);
    txt_id->setEnabled(false);
    txt_id->setVisible(false);
    txt_Name = box("txt_Name", 255);
    txt_customerCode = box("txt_customerCode", 30);
    txt_customerCode->setEnabled(false);
    txt_companyName = box("txt_companyName", 255);
    txt_contact = box("txt_contact", 50);
    txt_tel = box("txt_tel", 50);
    txt_creator = box("txt_creator", 20);
    txt_creator->setEnabled(false);
    txt_fax = box("txt_fax", 50);
    txt_createTime = box("txt_createTime", 20);
    txt_createTime->setEnabled(false);
    txt_email = box("txt_email", 100);
    txt_address = box("txt_address", 255);
    txt_taxNumber = box("txt_taxNumber", 100);
    lab_status = new QLabel(QStringLiteral("状态:"), pic_goods_detail);
    lab_status->setObjectName(QStringLiteral("lab_status"));
    cobo_status = pickList("cobo_status", {QStringLiteral("启用"), QStringLiteral("禁用")});
    txt_bankName = box("txt_bankName", 100);
    cobo_TypeName = pickList("cobo_TypeName",
                             {QStringLiteral("客户"), QStringLiteral("供应商"), QStringLiteral("两者都是")});
    txt_bankAccount = box("txt_bankAccount", 100);
    cobo_CustomTypeName = pickList("cobo_CustomTypeName", {});
    connect(cobo_status, &QComboBox::currentTextChanged, this, [this] { cobo_status_Click(); });
    cobo_status_Click();

    const auto label = [this](const QString& text) { return new QLabel(text, pic_goods_detail); };
    auto* fields = new QGridLayout;
    const QList<std::tuple<QString, QWidget*, QWidget*, QWidget*>> lines = {
        {QStringLiteral("名称:"), txt_Name, label(QStringLiteral("编号:")), txt_customerCode},
        {QStringLiteral("公司名称:"), txt_companyName, label(QStringLiteral("联系人:")), txt_contact},
        {QStringLiteral("电话:"), txt_tel, label(QStringLiteral("创建人:")), txt_creator},
        {QStringLiteral("传真:"), txt_fax, label(QStringLiteral("创建时间:")), txt_createTime},
        {QStringLiteral("Email:"), txt_email, label(QStringLiteral("地址:")), txt_address},
        {QStringLiteral("税务号:"), txt_taxNumber, lab_status, cobo_status},
        {QStringLiteral("开户银行:"), txt_bankName, label(QStringLiteral("固定类别:")), cobo_TypeName},
        {QStringLiteral("开户帐号:"), txt_bankAccount, label(QStringLiteral("自定义分类:")),
         cobo_CustomTypeName},
    };
    for (int r = 0; r < lines.size(); ++r) {
        const auto& [leftCaption, left, rightLabel, right] = lines[r];
        fields->addWidget(label(leftCaption), r, 0);
        fields->addWidget(left, r, 1);
        fields->addWidget(rightLabel, r, 2);
        fields->addWidget(right, r, 3);
    }
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);
    fields->setColumnMinimumWidth(2, TwipsToPixels(1100, this));
    fields->setVerticalSpacing(3);
    return fields;
}

QHBoxLayout* frm_customer::buildPanelButtons()
{
    btn_CustomerSave = new QPushButton(QStringLiteral("保存"), pic_goods_detail);
    btn_CustomerSave->setObjectName(QStringLiteral("btn_CustomerSave"));
    btn_CustomerAdd = new QPushButton(QStringLiteral("新建"), pic_goods_detail);
    btn_CustomerAdd->setObjectName(QStringLiteral("btn_CustomerAdd"));
    btn_CustomerCopy = new QPushButton(QStringLiteral("复制"), pic_goods_detail);
    btn_CustomerCopy->setObjectName(QStringLiteral("btn_CustomerCopy"));
    btn_CustomerDelete = new QPushButton(QStringLiteral("删除"), pic_goods_detail);
    btn_CustomerDelete->setObjectName(QStringLiteral("btn_CustomerDelete"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {btn_CustomerSave, btn_CustomerAdd, btn_CustomerCopy, btn_CustomerDelete}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    connect(btn_CustomerSave, &QPushButton::clicked, this,
            [this] { Guarded(this, [&] { btn_CustomerSave_Click(); }); });
    connect(btn_CustomerAdd, &QPushButton::clicked, this,
            [this] { Guarded(this, [&] { btn_CustomerAdd_Click(); }); });
    connect(btn_CustomerCopy, &QPushButton::clicked, this,
            [this] { Guarded(this, [&] { btn_CustomerCopy_Click(); }); });
    connect(btn_CustomerDelete, &QPushButton::clicked, this,
            [this] { Guarded(this, [&] { btn_CustomerDelete_Click(); }); });
    return buttons;
}

void frm_customer::setDgColForList()
{
    int* cols[] = {&dgCol_no,         &dgCol_check,   &dgCol_id,      &dgCol_status,  &dgCol_type,
                   &dgCol_customType, &dgCol_code,    &dgCol_name,    &dgCol_contact, &dgCol_tel,
                   &dgCol_fax,        &dgCol_address, &dgCol_company, &dgCol_creator, &dgCol_createTime};
    for (int i = 0; i < int(std::size(cols)); ++i)
        *cols[i] = i;
}

int frm_customer::GetStatusId(const QString& str_typeName)
{
    return str_typeName.trimmed() == QStringLiteral("启用") ? 1 : 0;
}

int frm_customer::GetTypeId(const QString& str_typeName)
{
    const QString t = str_typeName.trimmed();
    if (t == QStringLiteral("客户"))
        return 1;
    if (t == QStringLiteral("两者都是"))
        return 2;
    return 0;
}

// ---- the list ----

void frm_customer::btn_search_Click()
{
    m_searchConditions.clear();
    if (QTreeWidgetItem* node = tv_type->currentItem()) {
        const int n = idOfKey(nodeKey(node));
        if (txt_TreeType->text() != kFixedTree && n > 0) {
            // A category lists its partners and those of every category below it.
            m_searchConditions.append(
                m_condition(SearchKey::Category, QStringLiteral("in"), NList(DictionarySubtreeIds(n))));
        } else if (txt_TreeType->text() == kFixedTree && n < 3) {
            m_searchConditions.append(m_condition(SearchKey::Type, QStringLiteral("="), n));
        }
    }
    if (!IsNullOrEmpty(txt_KeyWord->text()))
        m_searchConditions.append(
            m_condition(SearchKey::Keyword, QStringLiteral("like"), txt_KeyWord->text()));
    load_CustomerList();
}

void frm_customer::load_CustomerList()
{
    const m_recordSet result = m_dal.GetListRows(m_searchConditions);
    vsCustomerList_init(result.recordSet);
}

void frm_customer::vsCustomerList_init(RecordSetPtr uRecordset)
{
    FlexGrid* g = vsCustomerList;
    m_filling = true;
    g->setRedraw(false);
    g->setRows(1);
    g->setRows(2);
    g->setCols(15);
    g->setFormatString(kListFormat);
    g->setExplorerBar(FlexGrid::flexExSortShow);
    g->setRowHeightMin(350);
    g->setTextMatrix(1, dgCol_no, QStringLiteral("1"));
    const int n = uRecordset ? uRecordset->RecordCount() : 0;
    BindGrid(g, uRecordset);
    for (int r = 1; r < g->Rows(); ++r) {
        g->setTextMatrix(r, dgCol_no, QString::number(r));
        const QString status = g->TextMatrix(r, dgCol_status);
        if (!status.isEmpty())
            g->setCellPicture(r, dgCol_status, statusPicture(status));
    }
    // The format's widths are a minimum: a column widens to its longest text,
    // so codes, kinds and dates are never cut off; the status text sits beside its picture.
    for (int c = dgCol_status; c < g->Cols(); ++c) {
        if (c == dgCol_name || c == dgCol_address || c == dgCol_company)
            continue;
        const int design = g->ColWidth(c);
        g->AutoSize(c);
        int fitted = g->ColWidth(c) + g->PixelsToTwips(8);
        if (c == dgCol_status)
            fitted += g->PixelsToTwips(24);
        g->setColWidth(c, std::max(design, fitted));
    }
    g->setEditable(FlexGrid::flexEDKbdMouse);
    g->setColDataType(dgCol_check, FlexGrid::flexDTBoolean);
    g->setColHidden(dgCol_check, true);
    g->setColHidden(dgCol_id, true);
    g->setRedraw(true);
    g->setRow(1);
    g->setCol(dgCol_code);
    m_filling = false;
    vsCustomerList_Resize();
    ShowRowCount(lb_rowCount, n);
    vsCustomerList_Click();
}

void frm_customer::vsCustomerList_Resize()
{
    const int extra = int(std::nearbyint(double(vsCustomerList->PixelsToTwips(width()) - 16830)));
    const auto widened = [extra](int base, double share) {
        return extra >= 1 ? base + int(std::nearbyint(extra * share)) : base;
    };
    vsCustomerList->setColWidth(dgCol_name, widened(1980, 0.2));
    vsCustomerList->setColWidth(dgCol_address, widened(1890, 0.1));
    vsCustomerList->setColWidth(dgCol_company, widened(1530, 0.1));
}

void frm_customer::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    vsCustomerList_Resize();
}

void frm_customer::vsCustomerList_Click()
{
    ClearForm();
    const int row = vsCustomerList->Row();
    if (row < 1)
        return;
    txt_id->setText(vsCustomerList->TextMatrix(row, dgCol_id));
    if (txt_id->text().isEmpty())
        return;
    m_current = m_dal.GetModel(idOf(txt_id->text()));
    if (m_current.id < 1) {
        MsgBox::Warn(dal_customer::kMissingText, kCaption, this);
        return;
    }
    selectComboText(cobo_TypeName, m_current.utypeName, false);
    txt_customerCode->setText(m_current.customerCode);
    txt_Name->setText(m_current.uname);
    txt_companyName->setText(m_current.companyName);
    selectComboText(cobo_status, m_current.statusName, false);
    selectComboText(cobo_CustomTypeName, m_current.customTypeName, true);
    txt_address->setText(m_current.address);
    txt_bankName->setText(m_current.bankName);
    txt_bankAccount->setText(m_current.bankAccount);
    txt_contact->setText(m_current.contact);
    txt_tel->setText(m_current.tel);
    txt_fax->setText(m_current.fax);
    txt_creator->setText(m_current.creator);
    txt_taxNumber->setText(m_current.taxNumber);
    txt_email->setText(m_current.email);
    const QDateTime created =
        QDateTime::fromString(m_current.createTime, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    txt_createTime->setText(created.isValid() ? created.toString(SysVar.Sys_DateFormat.isEmpty()
                                                                     ? QStringLiteral("yyyy-MM-dd")
                                                                     : SysVar.Sys_DateFormat)
                                              : m_current.createTime.left(10));
}

// Selects the entry of that text. A category the list lacks (it was disabled
// since) is shown as an entry of its own, so a save keeps it; an empty text
// (the category was deleted) leaves the list empty, so a save stops and asks
// for one.
void frm_customer::selectComboText(QComboBox* combo, const QString& text, bool keepStored)
{
    int index = combo->findText(text);
    if (index < 0 && keepStored && !text.isEmpty()) {
        combo->addItem(text);
        index = combo->count() - 1;
        combo->setItemData(index, true, kStoredRole);
    }
    combo->setCurrentIndex(index);
}

void frm_customer::vsCustomerList_AfterSort()
{
    for (int r = 1; r < vsCustomerList->Rows(); ++r)
        vsCustomerList->setTextMatrix(r, dgCol_no, QString::number(r));
    vsCustomerList->setRowHeightMin(350);
}

int frm_customer::currentRowId() const
{
    const int row = vsCustomerList->Row();
    if (row < 1)
        return 0;
    return idOf(vsCustomerList->TextMatrix(row, dgCol_id));
}

bool frm_customer::prepareListMenu()
{
    // Bills can be started only once the bill windows are part of the program.
    menu_import_Add->setEnabled(WindowRegistry::has(BillDirectionFacts::Of(BillDirection::In).billWindow));
    menu_export_Add->setEnabled(WindowRegistry::has(BillDirectionFacts::Of(BillDirection::Out).billWindow));
    if (currentRowId() <= 0)
        return false;
    const int row = vsCustomerList->Row();
    if (vsCustomerList->TextMatrix(row, dgCol_status).trimmed() == QStringLiteral("禁用")) {
        menu_import_Add->setEnabled(false);
        menu_export_Add->setEnabled(false);
    }
    const QString kind = vsCustomerList->TextMatrix(row, dgCol_type).trimmed();
    if (kind == QStringLiteral("客户"))
        menu_import_Add->setEnabled(false);
    else if (kind == QStringLiteral("供应商"))
        menu_export_Add->setEnabled(false);
    return true;
}

void frm_customer::vsCustomerList_MouseDown(Qt::MouseButton button, int x, int y)
{
    if (button != Qt::RightButton)
        return;
    if (prepareListMenu())
        vs_pop_menu->popup(vsCustomerList->viewport()->mapToGlobal(QPoint(x, y))); // at the pointer
}

void frm_customer::startBill(BillDirection direction)
{
    const int row = vsCustomerList->Row();
    if (row < 1 || vsCustomerList->RowSel() < 1 || currentRowId() < 1)
        return;
    if (vsCustomerList->TextMatrix(row, dgCol_status).trimmed() != QStringLiteral("启用"))
        return;
    const BillDirectionFacts& facts = BillDirectionFacts::Of(direction);
    const QString name = facts.billWindow;
    if (!WindowRegistry::has(name))
        return;
    QWidget* bill = WindowRegistry::Show(name);
    if (!bill)
        return;
    // The new bill starts with this partner, number and name, as the bill window shows it.
    QMetaObject::invokeMethod(bill, facts.newBill, Q_ARG(int, currentRowId()),
                              Q_ARG(QString, vsCustomerList->TextMatrix(row, dgCol_name)));
    WindowRegistry::BringToFront(bill);
}

void frm_customer::set_CheckRows(int mode)
{
    FlexGrid* g = vsCustomerList;
    if (g->Rows() <= 1 || currentRowId() <= 0)
        return;
    const int last = g->Rows() - 1;
    const int from = std::min(std::min(g->Row(), g->RowSel()), last);
    const int to = std::min(std::max(g->Row(), g->RowSel()), last);
    for (int r = std::max(from, 1); r <= to; ++r) {
        const bool checked = g->TextMatrix(r, dgCol_check) == QLatin1String("-1");
        g->setTextMatrix(r, dgCol_check,
                         (mode == 1 || !checked) ? QStringLiteral("-1") : QStringLiteral("0"));
    }
}

void frm_customer::export_CustomerList()
{
    if (!check_FunRight(FunCodeTable.customer_export(), true))
        return;
    RecordSetPtr rs = m_dal.GetDataTable(m_searchConditions, true);
    ExportToExcel(
        RecordSetToArray(rs), QStringLiteral("往来单位信息"),
        QStringLiteral("固定类别,自定义类别,编码,往来单位名称,联系人,公司名称,税务号,开户银行,开户帐号,地址,"
                       "电话,Email,传真,状态,创建人,创建时间"));
}

// ---- the trees ----

QString frm_customer::nodeKey(const QTreeWidgetItem* node)
{
    return KeyedTree::NodeKey(node);
}

QString frm_customer::nodeImage(const QTreeWidgetItem* node)
{
    return KeyedTree::NodeImage(node);
}

QTreeWidgetItem* frm_customer::findNode(const QString& strKey) const
{
    return KeyedTree::Find(tv_type, strKey);
}

void frm_customer::load_CustomTypeCombo()
{
    FillComboBox(cobo_CustomTypeName, dal_dictionary::EnabledOfType(QStringLiteral("customerType")),
                 QStringLiteral("uname"));
}

void frm_customer::Opt_treeType_Click(int index)
{
    Opt_treeType[index]->setChecked(true);
    txt_TreeType->setText(Opt_treeType[index]->property("tag").toString());
    if (index == 0)
        load_FixedTypeTree();
    else
        load_CustomTypeTree();
    btn_search_Click();
}

void frm_customer::load_FixedTypeTree()
{
    m_tree.Reload(QStringLiteral("key_3"), QStringLiteral("固定类别"), [this](QTreeWidgetItem* root) {
        root->addChild(
            m_tree.NewNode(QStringLiteral("key_0"), QStringLiteral("供应商"), QStringLiteral("open")));
        root->addChild(
            m_tree.NewNode(QStringLiteral("key_1"), QStringLiteral("客户"), QStringLiteral("open")));
        root->addChild(
            m_tree.NewNode(QStringLiteral("key_2"), QStringLiteral("两者都是"), QStringLiteral("open")));
    });
}

void frm_customer::load_CustomTypeTree()
{
    m_tree.Reload(QStringLiteral("key_0"), QStringLiteral("自定义分类"), [this](QTreeWidgetItem* root) {
        tv_type->setCurrentItem(root);
        addCategoryNodes(root, 0);
    });
}

void frm_customer::addCategoryNodes(QTreeWidgetItem* node, int parentId)
{
    m_tree.AddRows(node, m_dalDictionary.GetList(kCategoryType, parentId), QStringLiteral("uname"));
}

void frm_customer::load_CustomTypeChildNodes(QTreeWidgetItem* node)
{
    if (txt_TreeType->text().trimmed() != kCustomTree)
        return;
    // The root is asked again too while it has no categories, so categories made since show up.
    m_tree.LoadChildren(node, [this](QTreeWidgetItem* n, int id) { addCategoryNodes(n, id); });
}

void frm_customer::tv_type_NodeClick(QTreeWidgetItem* node)
{
    if (!node)
        return;
    load_CustomTypeChildNodes(node);
    btn_search_Click();
}

void frm_customer::menu_customTypeMg_Click()
{
    const QString name = QStringLiteral("frm_dictionary");
    QWidget* editor = WindowRegistry::Show(name);
    if (!editor)
        return;
    WindowRegistry::Init(name, 5);
    WindowRegistry::BringToFront(editor);
}

// ---- keys ----

bool frm_customer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == tv_type->viewport() && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        // Only the custom tree has a menu; the press has taken its node already, as a click does.
        if (txt_TreeType->text().trimmed() == kCustomTree)
            PopUpOnRightPress(event, tv_pop);
        return true;
    }
    if (watched == tv_type && event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right)
            Guarded(this, [&] { tv_type_NodeClick(tv_type->currentItem()); });
    }
    return QWidget::eventFilter(watched, event);
}

// ---- the panel ----

void frm_customer::ClearForm()
{
    for (QLineEdit* b :
         {txt_id, txt_customerCode, txt_Name, txt_companyName, txt_contact, txt_address, txt_bankName,
          txt_bankAccount, txt_taxNumber, txt_createTime, txt_creator, txt_tel, txt_fax, txt_email})
        b->clear();
    for (QComboBox* c : {cobo_TypeName, cobo_status, cobo_CustomTypeName}) {
        for (int i = c->count() - 1; i >= 0; --i) {
            if (c->itemData(i, kStoredRole).toBool())
                c->removeItem(i);
        }
        if (c->count() > 0)
            c->setCurrentIndex(0);
    }
    const QColor required = FlexGrid::OleColor(SysVar.Sys_NotNullColor ? SysVar.Sys_NotNullColor : 12640511);
    for (QWidget* w :
         std::initializer_list<QWidget*>{txt_Name, cobo_TypeName, cobo_status, cobo_CustomTypeName}) {
        QPalette p = w->palette();
        p.setColor(QPalette::Base, required);
        p.setColor(QPalette::Button, required);
        w->setPalette(p);
    }
}

void frm_customer::cobo_status_Click()
{
    const QString s = cobo_status->currentText();
    QColor colour = Qt::black;
    if (s == QStringLiteral("禁用"))
        colour = QColor(255, 0, 0);
    else if (s == QStringLiteral("启用"))
        colour = QColor(64, 64, 64);
    QPalette p = lab_status->palette();
    p.setColor(QPalette::WindowText, colour);
    lab_status->setPalette(p);
}

void frm_customer::btn_CustomerAdd_Click()
{
    ClearForm();
    txt_Name->setFocus();
}

void frm_customer::btn_CustomerCopy_Click()
{
    txt_id->clear();
    txt_customerCode->clear();
    txt_Name->setFocus();
}

void frm_customer::utoolbar_ButtonClick(const QString& key)
{
    if (key == QLatin1String("add"))
        btn_CustomerAdd_Click();
    else if (key == QLatin1String("save"))
        btn_CustomerSave_Click();
    else if (key == QLatin1String("delete"))
        btn_CustomerDelete_Click();
    else if (key == QLatin1String("export"))
        export_CustomerList();
    else if (key == QLatin1String("close"))
        close();
}

void frm_customer::btn_CustomerSave_Click()
{
    if (IsNullOrEmpty(txt_Name->text())) {
        MsgBox::Warn(QStringLiteral("往来单位名称不能为空!"), kCaption, this);
        txt_Name->setFocus();
        return;
    }
    if (cobo_TypeName->currentText().isEmpty()) {
        MsgBox::Warn(QStringLiteral("类别不能为空!"), kCaption, this);
        cobo_TypeName->setFocus();
        return;
    }
    if (cobo_CustomTypeName->currentText().isEmpty()) {
        MsgBox::Warn(QStringLiteral("自定义类别不能为空!"), kCaption, this);
        cobo_CustomTypeName->setFocus();
        return;
    }
    const QString name = txt_Name->text();
    const int shownId = idOf(txt_id->text());
    const auto sameNameAgreed = [&] {
        if (MsgBox::Ask(QStringLiteral("往来单位名称[") + name + QStringLiteral("]存在,是否继续保存!"),
                        kCaption, this))
            return true;
        txt_Name->setFocus();
        return false;
    };
    bool agreed = false;
    if (m_dal.NameTaken(shownId, name)) {
        if (!sameNameAgreed())
            return;
        agreed = true;
    }
    if (!MsgBox::Ask(QStringLiteral("确定保存当前往来单位?"), kCaption, this))
        return;

    const QString now = GetNowStr(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    m_customer m = m_current;
    m.id = shownId;
    m.customerCode = txt_customerCode->text();
    m.utype = GetTypeId(cobo_TypeName->currentText());
    m.customType = m_dalDictionary.GetModelForName(kCategoryType, cobo_CustomTypeName->currentText()).id;
    m.uname = name;
    m.pinyin = GetPinyin(name);
    m.contact = txt_contact->text();
    m.companyName = txt_companyName->text();
    m.taxNumber = txt_taxNumber->text();
    m.bankName = txt_bankName->text();
    m.bankAccount = txt_bankAccount->text();
    m.address = txt_address->text();
    m.tel = txt_tel->text();
    m.email = txt_email->text();
    m.fax = txt_fax->text();
    m.status = GetStatusId(cobo_status->currentText());
    m.imageUrl.clear();
    m.creator = CurrentUser.user;
    m.createTime = now;
    m.updateLastUser = CurrentUser.user;
    m.updateLastTime = now;
    m.userId = CurrentUser.id;

    // The name is checked again inside the write: another workstation may
    // have stored it meanwhile, and then the clerk is asked after all.
    const auto save = [&] {
        return m_dal.Save(m, agreed) == dal_customer::SaveOutcome::Saved ||
               (sameNameAgreed() && m_dal.Save(m, true) == dal_customer::SaveOutcome::Saved);
    };
    if (shownId > 0) {
        if (!check_FunRight(FunCodeTable.customer_update(), true))
            return;
    } else {
        if (!check_FunRight(FunCodeTable.customer_save(), true))
            return;
        // The id and the code are taken in the insert's own transaction.
        m.id = 0;
    }
    // A partner gone or changed elsewhere, or its category deleted elsewhere
    // meanwhile, is refused by the write and said in the window's own words.
    try {
        if (!save())
            return;
    } catch (const DbError& e) {
        if (e.message() == dal_customer::kCategoryMissingText) {
            MsgBox::Warn(e.message(), kCaption, this);
            cobo_CustomTypeName->setFocus();
            return;
        }
        if (shownId <= 0 || (e.message() != dal_customer::kMissingText && e.message() != kRecordChangedText))
            throw;
        MsgBox::Warn(e.message(), kCaption, this);
        return;
    }
    m_current = m;
    btn_search_Click();
    reselect(m.id);
    MsgBox::Info(QStringLiteral("保存成功!"), kCaption, this);
}

void frm_customer::reselect(int id)
{
    FlexGrid* g = vsCustomerList;
    int row = g->FindRow(QString::number(id), 1, dgCol_id, true, true);
    if (row < 1)
        row = 1;
    m_filling = true;
    g->setRow(row);
    g->setCol(dgCol_code);
    g->setTopRow(row);
    g->setLeftCol(dgCol_code);
    g->Select(row, dgCol_code);
    m_filling = false;
    vsCustomerList_Click();
}

void frm_customer::btn_CustomerDelete_Click()
{
    const int id = idOf(txt_id->text());
    if (id <= 0)
        return;
    if (!check_FunRight(FunCodeTable.customer_delete(), true))
        return;
    // The question names the partner it deletes: the one the panel was loaded with.
    const QString name = m_current.id == id ? m_current.uname : txt_Name->text();
    if (!MsgBox::Ask(QStringLiteral("删除后将不能恢复,确定删除当前往来单位[") + name + QStringLiteral("]?"),
                     kCaption, this))
        return;

    // The reference checks and the delete share one write transaction, so no
    // bill can start naming the partner in between.
    const m_DBresult result = m_dal.Delete(id);
    if (!result.isResult) {
        MsgBox::Warn(result.str_MsgBox, kCaption, this);
        return;
    }
    btn_search_Click();
    MsgBox::Info(QStringLiteral("删除成功!"), kCaption, this);
}
