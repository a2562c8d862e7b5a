#include "frmLocation.h"

#include "DbError.h"
#include "DialogRunner.h"
#include "EditPanel.h"
#include "FormHelpers.h"
#include "GetvalueFunction.h"
#include "Guarded.h"
#include "KeyedTree.h"
#include "MsgBox.h"
#include "Numbers.h"
#include "PickOne.h"
#include "ProcessFuntionValues.h"
#include "WindowChrome.h"
#include "m_funCode.h"
#include "sqlHelper.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <cmath>

namespace
{

const QString kCaption = QStringLiteral("库位信息");
// The decimals the capacity box shows of a stored capacity.
constexpr int kCapacityPlaces = 6;
const QString kRootKey = QStringLiteral("key_0");
constexpr int kKeyRole = KeyedTree::KeyRole;

struct ListColumn {
    const char* key;
    const char16_t* caption;
    int twips;
};
const ListColumn kColumns[] = {
    {"uname", u"库位名称", 2000},    {"locationCode", u"库位编号", 2000}, {"capacity", u"库容量", 1200},
    {"lockName", u"锁定", 1200},     {"VirtualName", u"库位类别", 1200},  {"stateName", u"状态", 1200},
    {"parentName", u"父节点", 1500},
};

struct ViewEntry {
    const char16_t* caption;
    const char* key;
};
const ViewEntry kViews[] = {
    {u"详细信息", "detail_view"},
    {u"缩略图", "ico_view"},
    {u"列表", "list_view"},
    {u"图标", "smallico_view"},
};

int idOf(const QString& text)
{
    return int(std::trunc(ReadNumber(text)));
}

int idOfKey(const QString& key)
{
    return KeyedTree::IdOfKey(key);
}

} // namespace

frmLocation::frmLocation(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmLocation"));
    setWindowTitle(kCaption);
    buildWindow();

    // Start: list mode, then the tree with its root and the top-level locations.
    clear_LocationInfor();
    Guarded(this, [&] {
        utoolbar_ButtonMenuClick(QStringLiteral("list_view"));
        load_LocationTree();
    });
}

// ------------------------------------------------------------------ layout

// The tree, the edit panel and, on the right, the search strip over the list.
void frmLocation::buildWindow()
{
    const TitleBand title = MakeTitleBand(this, kCaption);
    buildToolbar();
    buildTree();
    buildEditPanel();
    buildSearchStrip();
    buildList();

    auto* right = new QVBoxLayout;
    right->setContentsMargins(0, 0, 0, 0);
    right->addWidget(picBox_search);
    right->addWidget(lstView_LocationDetail, 1);

    auto* body = new QHBoxLayout;
    body->setContentsMargins(2, 4, 4, 4);
    body->addWidget(tv_Location);
    body->addWidget(user_infor);
    body->addLayout(right, 1);

    StackWindowChrome(this, title.band, utoolbar, body);
    resize(1100, 560);
}

// The toolbar, with the list's views on its 视图 button.
void frmLocation::buildToolbar()
{
    KeyedToolbar toolbar(this, QStringLiteral("utoolbar"),
                         [this](const QString& key) { Guarded(this, [&] { utoolbar_ButtonClick(key); }); });
    utoolbar = toolbar.bar();
    toolbar.add(QStringLiteral("新增"), QStringLiteral("add_location"), QStyle::SP_FileIcon);
    toolbar.add(QStringLiteral("保存"), QStringLiteral("save_location"), QStyle::SP_DialogSaveButton);
    toolbar.add(QStringLiteral("删除"), QStringLiteral("delete_location"), QStyle::SP_TrashIcon);
    QAction* print =
        toolbar.add(QStringLiteral("打印"), QStringLiteral("print_location"), QStyle::SP_DriveFDIcon);
    print->setToolTip(QStringLiteral("打印选中库位标签"));
    utoolbar->addSeparator();
    toolbar.add(QStringLiteral("刷新"), QStringLiteral("refresh"), QStyle::SP_BrowserReload);
    QAction* view =
        toolbar.add(QStringLiteral("视图"), QStringLiteral("view"), QStyle::SP_FileDialogDetailedView);
    view_menu = new QMenu(this);
    view_menu->setObjectName(QStringLiteral("view_menu"));
    for (const ViewEntry& v : kViews) {
        QAction* entry = view_menu->addAction(QString::fromUtf16(v.caption));
        entry->setObjectName(QLatin1String(v.key));
        const QString key = QLatin1String(v.key);
        connect(entry, &QAction::triggered, this,
                [this, key] { Guarded(this, [&] { utoolbar_ButtonMenuClick(key); }); });
    }
    view->setMenu(view_menu);
    if (auto* button = qobject_cast<QToolButton*>(utoolbar->widgetForAction(view)))
        button->setPopupMode(QToolButton::InstantPopup);
    utoolbar->addSeparator();
    toolbar.add(QStringLiteral("关闭"), QStringLiteral("close"), QStyle::SP_ArrowBack);
}

void frmLocation::buildTree()
{
    m_tree = MakeNodeTree(
        this, QStringLiteral("tv_Location"), TwipsToPixels(3375, this), this,
        [this](QTreeWidgetItem* node) { tv_Location_NodeClick(node); }, QStringLiteral("location"),
        QStyle::SP_DirHomeIcon);
    tv_Location = m_tree.tree();

    node_edit = new QMenu(this);
    node_edit->setObjectName(QStringLiteral("node_edit"));
    AddMenuEntry(node_edit, QStringLiteral("刷新"), QStringLiteral("menu_refresh"), this,
                 [this] { menu_refresh_Click(); });
    AddMenuEntry(node_edit, QStringLiteral("删除"), QStringLiteral("menu_delete"), this,
                 [this] { delete_LocationInfor(); });
    AddMenuEntry(node_edit, QStringLiteral("新建"), QStringLiteral("menu_add"), this,
                 [this] { menu_add_Click(); });
}

// One location's fields.
void frmLocation::buildEditPanel()
{
    user_infor = new QFrame(this);
    user_infor->setObjectName(QStringLiteral("user_infor"));
    static_cast<QFrame*>(user_infor)->setFrameShape(QFrame::StyledPanel);
    user_infor->setFixedWidth(TwipsToPixels(4335, this));
    const auto box = [this](const char* name, int maxLength) {
        auto* b = new QLineEdit(user_infor);
        b->setObjectName(QLatin1String(name));
        if (maxLength > 0)
            b->setMaxLength(maxLength);
        return b;
    };
    txt_Name = box("txt_Name", 50);
    txt_locationCode = box("txt_locationCode", 50);
    txt_capacity = box("txt_capacity", 0); // a pasted number is refused whole, never cut
    txt_parentLocationCode = box("txt_parentLocationCode", 0);
    txt_parentLocationCode->setEnabled(false);
    txt_id = box("txt_id", 0);
    txt_id->setEnabled(false);
    txt_id->setVisible(false);
    txt_parentId = box("txt_parentId", 0);
    txt_parentId->setEnabled(false);
    txt_parentId->setVisible(false);
    const ParentButtons parentButtons = MakeParentButtons(
        this, user_infor, [this] { btn_clearParent_Click(); }, [this] { btn_setParent_Click(); });
    btn_clearParent = parentButtons.clear;
    btn_setParent = parentButtons.choose;
    for (QPushButton* b : {btn_clearParent, btn_setParent})
        b->setFixedWidth(TwipsToPixels(600, this));
    txt_remark = MakeRemarkBox(user_infor);
    chk_start = new QCheckBox(QStringLiteral("启用"), user_infor);
    chk_start->setObjectName(QStringLiteral("chk_start"));
    chk_virtual = new QCheckBox(QStringLiteral("虚拟库位"), user_infor);
    chk_virtual->setObjectName(QStringLiteral("chk_virtual"));
    chk_lock = new QCheckBox(QStringLiteral("锁定"), user_infor);
    chk_lock->setObjectName(QStringLiteral("chk_lock"));
    layOutEditPanel();
}

// The fields under their captions, the parent's buttons beside its code, and
// the order Tab walks them in.
void frmLocation::layOutEditPanel()
{
    auto* panel = new QGridLayout(user_infor);
    panel->addWidget(new QLabel(QStringLiteral("库位名称:"), user_infor), 0, 0);
    panel->addWidget(txt_Name, 0, 1, 1, 3);
    panel->addWidget(new QLabel(QStringLiteral("库位编号:"), user_infor), 1, 0);
    panel->addWidget(txt_locationCode, 1, 1, 1, 3);
    panel->addWidget(new QLabel(QStringLiteral("库容量:"), user_infor), 2, 0);
    panel->addWidget(txt_capacity, 2, 1, 1, 3);
    panel->addWidget(new QLabel(QStringLiteral("父节点:"), user_infor), 3, 0);
    panel->addWidget(txt_parentLocationCode, 3, 1);
    panel->addWidget(btn_clearParent, 3, 2);
    panel->addWidget(btn_setParent, 3, 3);
    panel->addWidget(new QLabel(QStringLiteral("备注:"), user_infor), 4, 0, Qt::AlignTop);
    panel->addWidget(txt_remark, 4, 1, 1, 3);
    auto* checks = new QHBoxLayout;
    checks->addWidget(chk_start);
    checks->addWidget(chk_virtual);
    checks->addWidget(chk_lock);
    checks->addStretch();
    panel->addLayout(checks, 5, 1, 1, 3);
    panel->setRowStretch(6, 1);
    panel->setColumnStretch(1, 1);
    setTabOrder(txt_Name, txt_locationCode);
    setTabOrder(txt_locationCode, txt_capacity);
    setTabOrder(txt_capacity, txt_remark);
    setTabOrder(txt_remark, chk_start);
    setTabOrder(chk_start, chk_virtual);
    setTabOrder(chk_virtual, chk_lock);
    setTabOrder(chk_lock, btn_clearParent);
    setTabOrder(btn_clearParent, btn_setParent);
    InstallEnterToTab(user_infor);
}

void frmLocation::buildSearchStrip()
{
    picBox_search = new QWidget(this);
    picBox_search->setObjectName(QStringLiteral("picBox_search"));
    const SearchStrip search = MakeSearchStrip(this, picBox_search, [this] { btn_search_Click(); });
    txt_KeyWord = search.keyword;
    btn_search = search.search;
    lb_rowCount = search.rowCount;
    auto* strip = new QHBoxLayout(picBox_search);
    strip->setContentsMargins(0, 0, 0, 0);
    strip->addWidget(search.label);
    strip->addWidget(txt_KeyWord, 1);
    strip->addWidget(btn_search);
    strip->addSpacing(12);
    strip->addWidget(lb_rowCount);
    strip->addStretch();
}

// The locations below the chosen node, as a detailed list or as icons.
void frmLocation::buildList()
{
    m_list = new QStandardItemModel(this);
    lstView_LocationDetail = new QStackedWidget(this);
    lstView_LocationDetail->setObjectName(QStringLiteral("lstView_LocationDetail"));
    lstView_report = new QTreeView(lstView_LocationDetail);
    lstView_report->setObjectName(QStringLiteral("lstView_report"));
    lstView_report->setModel(m_list);
    lstView_report->setRootIsDecorated(false);
    lstView_report->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstView_report->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstView_report->header()->setSectionsClickable(true);
    lstView_report->header()->setSortIndicatorShown(false);
    connect(lstView_report->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { Guarded(this, [&] { lstView_LocationDetail_ColumnClick(column); }); });
    lstView_icons = new QListView(lstView_LocationDetail);
    lstView_icons->setObjectName(QStringLiteral("lstView_icons"));
    lstView_icons->setModel(m_list);
    lstView_icons->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstView_icons->setResizeMode(QListView::Adjust);
    lstView_LocationDetail->addWidget(lstView_report);
    lstView_LocationDetail->addWidget(lstView_icons);
    for (QAbstractItemView* v :
         {static_cast<QAbstractItemView*>(lstView_report), static_cast<QAbstractItemView*>(lstView_icons)}) {
        v->installEventFilter(this);
        connect(v, &QAbstractItemView::clicked, this,
                [this] { Guarded(this, [&] { lstView_LocationDetail_Click(); }); });
        // Whatever highlights a row (a right press too) shows it in the panel.
        connect(v->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this](const QItemSelection& selected) {
                    if (!selected.isEmpty())
                        Guarded(this, [&] { lstView_LocationDetail_Click(); });
                });
    }
}

QWidget* frmLocation::currentListView() const
{
    return lstView_LocationDetail->currentWidget();
}

// ---- the tree ----

QString frmLocation::nodeKey(const QTreeWidgetItem* node)
{
    return KeyedTree::NodeKey(node);
}

QString frmLocation::nodeImage(const QTreeWidgetItem* node)
{
    return KeyedTree::NodeImage(node);
}

QTreeWidgetItem* frmLocation::findNode(QTreeWidget* tv, const QString& strKey)
{
    return KeyedTree::Find(tv, strKey);
}

bool frmLocation::tv_FindKey(QTreeWidget* tv, const QString& strKey) const
{
    return findNode(tv, strKey) != nullptr;
}

void frmLocation::load_LocationTree()
{
    m_tree.Reload(kRootKey, kCaption, [this](QTreeWidgetItem* root) { addChildNodes(root, 0); });
    btn_search_Click();
}

void frmLocation::addChildNodes(QTreeWidgetItem* node, int parentId)
{
    m_tree.AddRows(node, objDal_location.GetList(parentId), QStringLiteral("locationCode"));
}

void frmLocation::load_LocationChildNodes(QTreeWidgetItem* node)
{
    m_tree.LoadChildren(node, [this](QTreeWidgetItem* n, int id) { addChildNodes(n, id); });
}

void frmLocation::tv_Location_NodeClick(QTreeWidgetItem* node)
{
    if (!node)
        return;
    load_LocationChildNodes(node);
    btn_search_Click();
    show_LocationInfor(idOfKey(nodeKey(node)));
}

void frmLocation::tv_AddNode(int int_nodeId, int int_parentId, QTreeWidget* tv, const QString& str_Text,
                             const QString& str_Ico)
{
    m_tree.AddNode(tv, int_nodeId, int_parentId, str_Text, str_Ico,
                   [this](QTreeWidgetItem* parent) { load_LocationChildNodes(parent); });
}

void frmLocation::tv_UpdateNode(int int_nodeId, int int_parentId, QTreeWidget* tv, const QString& str_Text)
{
    m_tree.UpdateNode(tv, int_nodeId, int_parentId, str_Text,
                      [this](QTreeWidgetItem* parent) { load_LocationChildNodes(parent); });
}

void frmLocation::tv_DeleteNode(int int_nodeId, QTreeWidget* tv)
{
    KeyedTree::DeleteNode(tv, int_nodeId);
}

void frmLocation::menu_refresh_Click()
{
    load_LocationTree();
}

// ---- search and list ----

void frmLocation::btn_search_Click()
{
    m_conditions conditions;
    if (QTreeWidgetItem* node = tv_Location->currentItem()) {
        const int id = idOfKey(nodeKey(node));
        if (id >= 0)
            conditions.append(m_condition(SearchKey::ParentId, QStringLiteral("="), id));
    }
    if (!IsNullOrEmpty(txt_KeyWord->text())) {
        // The code and the name are searched as one text, so a keyword may span both.
        conditions.append(m_condition(SearchKey::Keyword, QStringLiteral("like"), txt_KeyWord->text()));
    }
    const m_recordSet result = objDal_location.GetListForCondition(conditions);
    fill_LocationList(result.recordSet);
}

void frmLocation::fill_LocationList(const RecordSetPtr& rs)
{
    m_list->clear();
    QStringList headers;
    for (const ListColumn& c : kColumns)
        headers << QString::fromUtf16(c.caption);
    m_list->setHorizontalHeaderLabels(headers);
    for (int c = 0; c < int(std::size(kColumns)); ++c)
        lstView_report->setColumnWidth(c, TwipsToPixels(kColumns[c].twips, this));

    const QIcon home = style()->standardIcon(QStyle::SP_DriveHDIcon);
    const int rows = rs ? rs->RecordCount() : 0;
    for (int r = 0; r < rows; ++r) {
        QList<QStandardItem*> items;
        for (const ListColumn& c : kColumns) {
            const QString field = QLatin1String(c.key);
            QString text = rs->text(r, field);
            if (field == QLatin1String("capacity"))
                text = PlainNumber(ReadNumber(rs->value(r, field)), kCapacityPlaces);
            auto* item = new QStandardItem(text);
            item->setEditable(false);
            items << item;
        }
        items[0]->setIcon(home);
        items[0]->setData(QStringLiteral("key_") + rs->text(r, QStringLiteral("id")).trimmed(), kKeyRole);
        m_list->appendRow(items);
    }
    if (m_sorted)
        m_list->sort(m_sortColumn, m_sortOrder);
    ShowRowCount(lb_rowCount, rows);
}

void frmLocation::lstView_LocationDetail_Click()
{
    auto* view = static_cast<QAbstractItemView*>(currentListView());
    const QModelIndex index = view->currentIndex();
    if (!index.isValid() || !view->selectionModel()->isSelected(index))
        return;
    const QString key = m_list->item(index.row(), 0)->data(kKeyRole).toString();
    show_LocationInfor(idOfKey(key));
}

void frmLocation::lstView_LocationDetail_ColumnClick(int column)
{
    // Every header click turns the order round, whichever column it names.
    m_sortColumn = column;
    m_sortOrder = m_sortOrder == Qt::DescendingOrder ? Qt::AscendingOrder : Qt::DescendingOrder;
    m_sorted = true;
    lstView_report->header()->setSortIndicatorShown(true);
    lstView_report->header()->setSortIndicator(m_sortColumn, m_sortOrder);
    m_list->sort(m_sortColumn, m_sortOrder);
}

void frmLocation::select_view(const QString& key_str)
{
    for (QAction* entry : view_menu->actions()) {
        const QString text = entry->text().remove(QStringLiteral("●")).trimmed();
        entry->setText(entry->objectName() == key_str ? QStringLiteral("● ") + text
                                                      : QStringLiteral("   ") + text);
    }
}

void frmLocation::utoolbar_ButtonMenuClick(const QString& key)
{
    const int small = style()->pixelMetric(QStyle::PM_SmallIconSize);
    const int large = style()->pixelMetric(QStyle::PM_LargeIconSize);
    if (key == QLatin1String("detail_view")) {
        lstView_LocationDetail->setCurrentWidget(lstView_report);
    } else if (key == QLatin1String("list_view")) {
        lstView_icons->setViewMode(QListView::ListMode);
        lstView_icons->setFlow(QListView::TopToBottom);
        lstView_icons->setWrapping(true);
        lstView_icons->setIconSize(QSize(small, small));
        lstView_LocationDetail->setCurrentWidget(lstView_icons);
    } else if (key == QLatin1String("ico_view")) {
        lstView_icons->setViewMode(QListView::IconMode);
        lstView_icons->setIconSize(QSize(large, large));
        lstView_LocationDetail->setCurrentWidget(lstView_icons);
    } else if (key == QLatin1String("smallico_view")) {
        lstView_icons->setViewMode(QListView::ListMode);
        lstView_icons->setFlow(QListView::LeftToRight);
        lstView_icons->setWrapping(true);
        lstView_icons->setIconSize(QSize(small, small));
        lstView_LocationDetail->setCurrentWidget(lstView_icons);
    }
    select_view(key);
}

void frmLocation::utoolbar_ButtonClick(const QString& key)
{
    if (key == QLatin1String("add_location")) {
        clear_LocationInfor();
        txt_Name->setFocus();
    } else if (key == QLatin1String("save_location")) {
        save_LocationInfor();
    } else if (key == QLatin1String("delete_location")) {
        delete_LocationInfor();
    } else if (key == QLatin1String("print_location")) {
        MsgBox::Info(QStringLiteral("请连接条码打印机!"), kCaption, this);
    } else if (key == QLatin1String("refresh")) {
        menu_refresh_Click();
    } else if (key == QLatin1String("close")) {
        close();
    }
}

// ---- keys and the pop-up menu ----

bool frmLocation::eventFilter(QObject* watched, QEvent* event)
{
    // The menu acts on the selected node and the panel; the press selects no other node.
    if (watched == tv_Location->viewport() && PopUpOnRightPress(event, node_edit))
        return true;
    if (event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool arrow =
            key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
        if (watched == tv_Location && arrow) {
            // Moving through the tree with the keys shows the node reached, as a click does.
            Guarded(this, [&] { tv_Location_NodeClick(tv_Location->currentItem()); });
        } else if ((watched == lstView_report || watched == lstView_icons) && arrow) {
            Guarded(this, [&] { lstView_LocationDetail_Click(); });
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmLocation::menu_add_Click()
{
    QTreeWidgetItem* node = tv_Location->currentItem();
    if (!node) {
        MsgBox::Warn(QStringLiteral("请选择父节点!"), kCaption, this);
        return;
    }
    clear_LocationInfor();
    txt_Name->setFocus();
    txt_parentLocationCode->setText(node->text(0));
    txt_parentId->setText(QString::number(idOfKey(nodeKey(node))));
}

void frmLocation::btn_setParent_Click()
{
    const m_location picked = PickOne<m_location>(this, QStringLiteral("location"));
    if (picked.id > 0) {
        txt_parentLocationCode->setText(picked.locationCode);
        txt_parentId->setText(QString::number(picked.id));
    }
}

void frmLocation::btn_clearParent_Click()
{
    txt_parentLocationCode->clear();
    txt_parentId->clear();
}

// ---- the panel ----

void frmLocation::show_LocationInfor(int int_Id)
{
    objModel_current = objDal_location.GetModel(int_Id);
    clear_LocationInfor();
    if (objModel_current.id > 0) {
        txt_id->setText(QString::number(objModel_current.id));
        txt_Name->setText(objModel_current.uname);
        txt_capacity->setText(PlainNumber(objModel_current.capacity, kCapacityPlaces));
        txt_locationCode->setText(objModel_current.locationCode);
        txt_parentLocationCode->setText(objModel_current.parentlocationCode);
        txt_remark->setPlainText(objModel_current.remark);
        txt_parentId->setText(QString::number(objModel_current.parentId));
        chk_start->setChecked(objModel_current.state != 0);
        chk_lock->setChecked(objModel_current.isLock != 0);
        chk_virtual->setChecked(objModel_current.isVirtual != 0);
    }
}

void frmLocation::clear_LocationInfor()
{
    txt_id->clear();
    txt_Name->clear();
    txt_parentId->clear();
    txt_locationCode->clear();
    txt_parentLocationCode->clear();
    txt_remark->clear();
    txt_capacity->setText(QStringLiteral("0"));
    chk_start->setChecked(true);
    chk_lock->setChecked(false);
    chk_virtual->setChecked(false);
}

void frmLocation::save_LocationInfor()
{
    const bool stored = idOf(txt_id->text()) > 0;
    if (!check_FunRight(stored ? FunCodeTable.locationInfor_update() : FunCodeTable.locationInfor_save(),
                        true))
        return;
    if (IsNullOrEmpty(txt_Name->text())) {
        MsgBox::Warn(QStringLiteral("库位名称不能为空!"), kCaption, this);
        txt_Name->setFocus();
        return;
    }
    if (IsNullOrEmpty(txt_locationCode->text())) {
        MsgBox::Warn(QStringLiteral("库位编码不能为空!"), kCaption, this);
        txt_locationCode->setFocus();
        return;
    }
    // The capacity is stored as typed, or refused: a stored number keeps 15
    // significant digits, and the box shows it again with kCapacityPlaces decimals.
    // A blank box holds no capacity (0).
    const NumberFit capacityFit = IsNullOrEmpty(txt_capacity->text())
                                      ? NumberFit::Kept
                                      : FitOfNumber(txt_capacity->text(), kCapacityPlaces);
    if (capacityFit != NumberFit::Kept) {
        MsgBox::Warn(NumberRefusal(QStringLiteral("库容量"), capacityFit, kCapacityPlaces), kCaption, this);
        txt_capacity->setFocus();
        return;
    }

    // A new location's id is taken when it is written; until then it is 0, which no location has.
    const int n = stored ? idOf(txt_id->text()) : 0;
    objModel_current.id = n;
    objModel_current.locationCode = txt_locationCode->text();
    objModel_current.uname = txt_Name->text();
    objModel_current.capacity = ReadNumber(txt_capacity->text());
    objModel_current.parentId = idOf(txt_parentId->text());
    objModel_current.orderby = 0;
    objModel_current.remark = txt_remark->toPlainText();
    objModel_current.state = chk_start->isChecked() ? 1 : 0;
    objModel_current.isLock = chk_lock->isChecked() ? 1 : 0;
    objModel_current.isVirtual = chk_virtual->isChecked() ? 1 : 0;

    if (!MsgBox::Ask(QStringLiteral("确认保存库位!"), kCaption, this))
        return;

    const QString code = objModel_current.locationCode;
    // The checks run inside the write, so that another workstation cannot
    // store the code, or change the tree, between the check and the save.
    const QString refusal = objDal_location.Save(objModel_current);
    if (!refusal.isEmpty()) {
        MsgBox::Warn(refusal, kCaption, this);
        return;
    }
    if (stored) {
        tv_UpdateNode(n, objModel_current.parentId, tv_Location, code);
    } else {
        // The panel holds the stored location at once: a further 保存 updates it,
        // whatever becomes of the tree below.
        txt_id->setText(QString::number(objModel_current.id));
        Guarded(this, [&] {
            tv_AddNode(objModel_current.id, objModel_current.parentId, tv_Location, code,
                       QStringLiteral("open"));
        });
    }
    txt_id->setText(QString::number(objModel_current.id));
    MsgBox::Info(QStringLiteral("保存成功!"), kCaption, this);
}

void frmLocation::delete_LocationInfor()
{
    if (!check_FunRight(FunCodeTable.locationInfor_delete(), true))
        return;
    if (IsNullOrEmpty(txt_id->text())) {
        MsgBox::Warn(QStringLiteral("当前记录不存在!"), kCaption, this);
        return;
    }
    // The question names the location it deletes: the one the panel shows.
    if (!MsgBox::Ask(QStringLiteral("是否删除当前库位[") + txt_locationCode->text() + QStringLiteral("]?"),
                     kCaption, this))
        return;
    const int id = idOf(txt_id->text());
    // The reference checks and the delete share one write transaction, so
    // nothing can start referring to the location in between.
    const m_DBresult result = objDal_location.Delete(id);
    if (!result.isResult) {
        MsgBox::Warn(result.str_MsgBox, kCaption, this);
        return;
    }
    tv_DeleteNode(id, tv_Location);
    clear_LocationInfor();
    MsgBox::Info(QStringLiteral("删除成功!"), kCaption, this);
}
