#include "frmLocation.h"

#include "DbError.h"
#include "DialogRunner.h"
#include "FormHelpers.h"
#include "GetvalueFunction.h"
#include "Guarded.h"
#include "MsgBox.h"
#include "Numbers.h"
#include "ProcessFuntionValues.h"
#include "WindowChrome.h"
#include "frm_select.h"
#include "m_funCode.h"
#include "sqlHelper.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
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
const QString kRootKey = QStringLiteral("key_0");
constexpr int kKeyRole = Qt::UserRole + 1;
constexpr int kImageRole = Qt::UserRole + 2;

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
    QString rest = key;
    rest.remove(QStringLiteral("key_"));
    return idOf(rest);
}

bool isEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

frmLocation::frmLocation(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmLocation"));
    setWindowTitle(kCaption);

    const TitleBand title = MakeTitleBand(this, kCaption);

    // ---- toolbar ----
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

    // ---- tree ----
    tv_Location = new QTreeWidget(this);
    tv_Location->setObjectName(QStringLiteral("tv_Location"));
    tv_Location->setHeaderHidden(true);
    tv_Location->setColumnCount(1);
    tv_Location->setFixedWidth(TwipsToPixels(3375, this));
    tv_Location->viewport()->installEventFilter(this);
    tv_Location->installEventFilter(this);
    connect(tv_Location, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* node) { Guarded(this, [&] { tv_Location_NodeClick(node); }); });
    FollowFolderImages(tv_Location, this,
                       [this](QTreeWidgetItem* node, const QString& image) { setImage(node, image); });

    node_edit = new QMenu(this);
    node_edit->setObjectName(QStringLiteral("node_edit"));
    QAction* menu_refresh = node_edit->addAction(QStringLiteral("刷新"));
    menu_refresh->setObjectName(QStringLiteral("menu_refresh"));
    QAction* menu_delete = node_edit->addAction(QStringLiteral("删除"));
    menu_delete->setObjectName(QStringLiteral("menu_delete"));
    QAction* menu_add = node_edit->addAction(QStringLiteral("新建"));
    menu_add->setObjectName(QStringLiteral("menu_add"));
    connect(menu_refresh, &QAction::triggered, this,
            [this] { Guarded(this, [&] { menu_refresh_Click(); }); });
    connect(menu_delete, &QAction::triggered, this,
            [this] { Guarded(this, [&] { delete_LocationInfor(); }); });
    connect(menu_add, &QAction::triggered, this, [this] { Guarded(this, [&] { menu_add_Click(); }); });

    // ---- edit panel ----
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
    txt_capacity = box("txt_capacity", 20);
    txt_parentLocationCode = box("txt_parentLocationCode", 0);
    txt_parentLocationCode->setEnabled(false);
    txt_id = box("txt_id", 0);
    txt_id->setEnabled(false);
    txt_id->setVisible(false);
    txt_parentId = box("txt_parentId", 0);
    txt_parentId->setEnabled(false);
    txt_parentId->setVisible(false);
    btn_clearParent = new QPushButton(QStringLiteral("清空"), user_infor);
    btn_clearParent->setObjectName(QStringLiteral("btn_clearParent"));
    btn_setParent = new QPushButton(QStringLiteral("选择"), user_infor);
    btn_setParent->setObjectName(QStringLiteral("btn_setParent"));
    for (QPushButton* b : {btn_clearParent, btn_setParent}) {
        b->setAutoDefault(false);
        b->setFixedWidth(TwipsToPixels(600, this));
    }
    txt_remark = new QPlainTextEdit(user_infor);
    txt_remark->setObjectName(QStringLiteral("txt_remark"));
    txt_remark->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txt_remark->setTabChangesFocus(true);
    txt_remark->installEventFilter(this);
    chk_start = new QCheckBox(QStringLiteral("启用"), user_infor);
    chk_start->setObjectName(QStringLiteral("chk_start"));
    chk_virtual = new QCheckBox(QStringLiteral("虚拟库位"), user_infor);
    chk_virtual->setObjectName(QStringLiteral("chk_virtual"));
    chk_lock = new QCheckBox(QStringLiteral("锁定"), user_infor);
    chk_lock->setObjectName(QStringLiteral("chk_lock"));
    connect(btn_clearParent, &QPushButton::clicked, this,
            [this] { Guarded(this, [&] { btn_clearParent_Click(); }); });
    connect(btn_setParent, &QPushButton::clicked, this,
            [this] { Guarded(this, [&] { btn_setParent_Click(); }); });

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

    // ---- search strip and list ----
    picBox_search = new QWidget(this);
    picBox_search->setObjectName(QStringLiteral("picBox_search"));
    auto* Label9 = new QLabel(QStringLiteral("关键字:"), picBox_search);
    Label9->setObjectName(QStringLiteral("Label9"));
    txt_KeyWord = new QLineEdit(picBox_search);
    txt_KeyWord->setObjectName(QStringLiteral("txt_KeyWord"));
    txt_KeyWord->setMaxLength(50);
    txt_KeyWord->installEventFilter(this);
    btn_search = new QPushButton(QStringLiteral("查询"), picBox_search);
    btn_search->setObjectName(QStringLiteral("btn_search"));
    btn_search->setAutoDefault(false);
    lb_rowCount = new QLabel(QStringLiteral("找到[0]条信息"), picBox_search);
    lb_rowCount->setObjectName(QStringLiteral("lb_rowCount"));
    lb_rowCount->setStyleSheet(QStringLiteral("color: blue;"));
    connect(btn_search, &QPushButton::clicked, this, [this] { Guarded(this, [&] { btn_search_Click(); }); });
    auto* strip = new QHBoxLayout(picBox_search);
    strip->setContentsMargins(0, 0, 0, 0);
    strip->addWidget(Label9);
    strip->addWidget(txt_KeyWord, 1);
    strip->addWidget(btn_search);
    strip->addSpacing(12);
    strip->addWidget(lb_rowCount);
    strip->addStretch();

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
    }

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

    // Start: list mode, then the tree with its root and the top-level locations.
    clear_LocationInfor();
    Guarded(this, [&] {
        utoolbar_ButtonMenuClick(QStringLiteral("list_view"));
        load_LocationTree();
    });
}

QWidget* frmLocation::currentListView() const
{
    return lstView_LocationDetail->currentWidget();
}

// ---- the tree ----

QString frmLocation::nodeKey(const QTreeWidgetItem* node)
{
    return node ? node->data(0, kKeyRole).toString() : QString();
}

QString frmLocation::nodeImage(const QTreeWidgetItem* node)
{
    return node ? node->data(0, kImageRole).toString() : QString();
}

QTreeWidgetItem* frmLocation::findNode(QTreeWidget* tv, const QString& strKey)
{
    for (QTreeWidgetItemIterator it(tv); *it; ++it) {
        if (nodeKey(*it) == strKey)
            return *it;
    }
    return nullptr;
}

bool frmLocation::tv_FindKey(QTreeWidget* tv, const QString& strKey) const
{
    return findNode(tv, strKey) != nullptr;
}

void frmLocation::setImage(QTreeWidgetItem* node, const QString& image) const
{
    node->setData(0, kImageRole, image);
    QStyle::StandardPixmap pixmap = QStyle::SP_DirOpenIcon;
    if (image == QLatin1String("location"))
        pixmap = QStyle::SP_DirHomeIcon;
    else if (image == QLatin1String("close"))
        pixmap = QStyle::SP_DirClosedIcon;
    node->setIcon(0, style()->standardIcon(pixmap));
}

QTreeWidgetItem* frmLocation::newNode(const QString& key, const QString& text, const QString& image) const
{
    auto* node = new QTreeWidgetItem(QStringList{text});
    node->setData(0, kKeyRole, key);
    setImage(node, image);
    return node;
}

void frmLocation::load_LocationTree()
{
    tv_Location->setVisible(false);
    tv_Location->clear();
    QTreeWidgetItem* root = newNode(kRootKey, kCaption, QStringLiteral("location"));
    tv_Location->addTopLevelItem(root);
    try {
        addChildNodes(root, 0);
    } catch (...) {
        tv_Location->setVisible(true);
        throw;
    }
    root->setExpanded(true);
    tv_Location->setCurrentItem(root);
    tv_Location->setVisible(true);
    btn_search_Click();
}

void frmLocation::addChildNodes(QTreeWidgetItem* node, int parentId)
{
    const RecordSetPtr rs = objDal_location.GetList(parentId);
    for (int r = 0; rs && r < rs->RecordCount(); ++r) {
        const QString image = rs->value(r, QStringLiteral("iCount")).toInt() > 0 ? QStringLiteral("close")
                                                                                 : QStringLiteral("open");
        node->addChild(newNode(QStringLiteral("key_") + rs->text(r, QStringLiteral("id")).trimmed(),
                               rs->text(r, QStringLiteral("locationCode")), image));
    }
}

void frmLocation::load_LocationChildNodes(QTreeWidgetItem* node)
{
    // A node counts as loaded once it has child nodes; a childless one is asked again.
    if (node->childCount() == 0) {
        addChildNodes(node, idOfKey(nodeKey(node)));
        node->setExpanded(true);
    }
    if (nodeKey(node) != kRootKey && node->isExpanded())
        setImage(node, QStringLiteral("open"));
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
    QTreeWidgetItem* parent = findNode(tv, QStringLiteral("key_%1").arg(int_parentId));
    if (!parent)
        return; // shown once the parent's branch is loaded
    if (parent->childCount() > 0) {
        parent->addChild(newNode(QStringLiteral("key_%1").arg(int_nodeId), str_Text, str_Ico));
        return;
    }
    // The parent's children were never read: reading them now brings the new location too.
    load_LocationChildNodes(parent);
}

void frmLocation::tv_UpdateNode(int int_nodeId, int int_parentId, QTreeWidget* tv, const QString& str_Text)
{
    QTreeWidgetItem* node = findNode(tv, QStringLiteral("key_%1").arg(int_nodeId));
    if (!node)
        return;
    const int currentParent = node->parent() ? idOfKey(nodeKey(node->parent())) : 0;
    if (currentParent == int_parentId) {
        node->setText(0, str_Text);
        return;
    }
    const QString image = node->childCount() > 0 ? QStringLiteral("close") : QStringLiteral("open");
    delete node;
    tv_AddNode(int_nodeId, int_parentId, tv, str_Text, image);
}

void frmLocation::tv_DeleteNode(int int_nodeId, QTreeWidget* tv)
{
    delete findNode(tv, QStringLiteral("key_%1").arg(int_nodeId));
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
            conditions.append(m_condition(QStringLiteral("parentId"), QStringLiteral("="), id));
    }
    if (!IsNullOrEmpty(txt_KeyWord->text())) {
        // The code and the name are searched as one text, so a keyword may span both.
        conditions.append(m_condition(QStringLiteral("COALESCE(locationCode,'')||COALESCE(uname,'')"),
                                      QStringLiteral("like"), txt_KeyWord->text()));
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
                text = PlainNumber(ReadNumber(rs->value(r, field)), 6);
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
    lb_rowCount->setText(QStringLiteral("找到[%1]条信息").arg(rows));
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
    if (event->type() == QEvent::KeyPress) {
        auto* e = static_cast<QKeyEvent*>(event);
        const bool plain = !(e->modifiers() & ~Qt::KeypadModifier);
        if (watched == txt_KeyWord && plain && isEnterKey(e->key())) {
            Guarded(this, [&] { btn_search_Click(); });
            return true;
        }
        // The remark box takes no Enter: Enter, Down and Up move on as in every other box.
        if (watched == txt_remark && plain &&
            (isEnterKey(e->key()) || e->key() == Qt::Key_Up || e->key() == Qt::Key_Down)) {
            EnterToTab(e->key(), false, false, txt_remark);
            return true;
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
    frm_select picker(this);
    picker.utbName = QStringLiteral("location");
    picker.isHideCheckCol = true;
    picker.RunSearch();
    DialogRunner::Exec(&picker);
    if (!picker.resultVal.isHasObject || picker.resultVal.resultValue.isEmpty())
        return;
    const m_location picked = picker.resultVal.resultValue.at(0).value<m_location>();
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
        txt_capacity->setText(PlainNumber(objModel_current.capacity, 6));
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

// True when parentId is the location itself or lies below it. Stored parent
// links that already loop (without passing through the location) count as a
// cycle too, so the walk always ends.
bool frmLocation::isParentCycle(int id, int parentId)
{
    if (parentId == id)
        return true;
    QSet<int> visited;
    int current = parentId;
    while (current != 0) {
        if (visited.contains(current))
            return true;
        visited.insert(current);
        current = objDal_location.GetModel(current).parentId;
        if (current == id)
            return true;
    }
    return false;
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
    if (objDal_location.GetModelForLocationCode(n, code).id >= 1) {
        MsgBox::Warn(QStringLiteral("库位编号[") + code + QStringLiteral("]重复!"), kCaption, this);
        return;
    }

    if (stored) {
        if (isParentCycle(n, objModel_current.parentId)) {
            MsgBox::Warn(QStringLiteral("不能设置该项目为父节点,请重新选择!"), kCaption, this);
            return;
        }
        try {
            objDal_location.Update(objModel_current);
        } catch (const DbError& e) {
            if (e.message() != dal_location::kMissingText)
                throw;
            MsgBox::Warn(e.message(), kCaption, this);
            return;
        }
        tv_UpdateNode(n, objModel_current.parentId, tv_Location, code);
    } else {
        objDal_location.AddNew(objModel_current);
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
    if (!MsgBox::Ask(QStringLiteral("是否删除当前库位?"), kCaption, this))
        return;
    const int id = idOf(txt_id->text());

    KeyValue checks;
    checks.AddItem(QStringLiteral("select '当前库位存在子项目,不能删除!' as strMsg,Count(*) as fkCount "
                                  " from tb_location where parentId=@Id"),
                   QVariant::fromValue(ParamMap{{QStringLiteral("@Id"), id}}));
    checks.AddItem(QStringLiteral("select '当前库位在入库表已经建账,不能删除!' as strMsg,Count(*) as fkCount "
                                  " from tb_rk_detail where locationId=@locationId"),
                   QVariant::fromValue(ParamMap{{QStringLiteral("@locationId"), id}}));
    checks.AddItem(QStringLiteral("select '当前库位在出库表已经建账,不能删除!' as strMsg,Count(*) as fkCount "
                                  " from tb_ck_detail where locationId=@locationId"),
                   QVariant::fromValue(ParamMap{{QStringLiteral("@locationId"), id}}));
    // The checks and the delete share one write transaction, so nothing can
    // start referring to the location in between.
    RefCheckResult ref;
    QString deleteError;
    const m_DBresult result = RunTrans([&] {
        ref = CheckDeleteRef(checks);
        if (!ref.isOK)
            return;
        try {
            const m_DBresult deleted = objDal_location.Delete(id);
            if (!deleted.isResult)
                throw DbError(deleted.str_MsgBox);
        } catch (const DbError& e) {
            deleteError = e.message();
            throw;
        }
    });
    if (!ref.isOK) {
        MsgBox::Warn(ref.strMsg, kCaption, this);
        return;
    }
    if (!result.isResult) {
        // A refused delete statement is the window's own warning; a failing check is a database error.
        if (deleteError.isEmpty())
            MsgBox::SystemError(result.str_MsgBox, this);
        else
            MsgBox::Warn(deleteError, kCaption, this);
        return;
    }
    tv_DeleteNode(id, tv_Location);
    clear_LocationInfor();
    MsgBox::Info(QStringLiteral("删除成功!"), kCaption, this);
}
