#include "frm_department_fun.h"

#include "DepartmentRights.h"

#include "DbError.h"
#include "EditPanel.h"
#include "FormHelpers.h"
#include "GetvalueFunction.h"
#include "Guarded.h"
#include "KeyedTree.h"
#include "MsgBox.h"
#include "WindowChrome.h"
#include "m_funCode.h"
#include "mod_public.h"
#include "sqlHelper.h"
#include "uTreeView.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace
{

const QString kCaption = QStringLiteral("权限设置");
const QString kRootKey = QStringLiteral("key_0");
// The check state a rights node had when last seen, so that only a change of
// the mark (not of its picture) acts on the children.
constexpr int kLastCheckRole = Qt::UserRole + 10;

struct RightKind {
    const char16_t* caption;
    const char* tag;
};
const RightKind kKinds[] = {
    {u"功能操作权限", "funType"}, {u"库位选择权限", "locationType"}, {u"账目管理权限", "accountType"}};

} // namespace

frm_department_fun::frm_department_fun(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frm_department_fun"));
    setWindowTitle(kCaption);

    const TitleBand title = MakeTitleBand(this, kCaption);

    KeyedToolbar toolbar(this, QStringLiteral("utoolbar"),
                         [this](const QString& key) { utoolbar_ButtonClick(key); });
    utoolbar = toolbar.bar();
    toolbar.add(QStringLiteral("保存权限"), QStringLiteral("save"), QStyle::SP_DialogSaveButton);
    toolbar.add(QStringLiteral("权限刷新"), QStringLiteral("funRefresh"), QStyle::SP_BrowserReload);
    toolbar.add(QStringLiteral("关闭    "), QStringLiteral("close"), QStyle::SP_ArrowBack);

    tv_department = new QTreeWidget(this);
    tv_department->setObjectName(QStringLiteral("tv_department"));
    tv_department->setHeaderHidden(true);
    tv_department->setFixedWidth(220);
    m_tree = KeyedTree(tv_department, QStringLiteral("location"), QStyle::SP_DirHomeIcon);
    connect(tv_department, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* node) { tv_department_NodeClick(node); });
    // A right press takes the department too: the rights shown are always the ones saved.
    SelectOnRightPress(tv_department, this, [this](QTreeWidgetItem* node) { tv_department_NodeClick(node); });

    QList<std::pair<QString, QString>> kinds;
    for (const RightKind& k : kKinds)
        kinds.append({QString::fromUtf16(k.caption), QString::fromLatin1(k.tag)});
    QWidget* picbox_type = MakeTypeButtons(
        this, kinds, 130, [this](int i) { btn_utype_Click(i); }, btn_utype);

    tv_funTree = new QTreeWidget(this);
    tv_funTree->setObjectName(QStringLiteral("tv_funTree"));
    tv_funTree->setHeaderHidden(true);
    tv_funTree->viewport()->installEventFilter(this);
    // A right press takes its node first, so 全选 and 取消全选 act on the node under the pointer.
    SelectOnRightPress(tv_funTree, this, [](QTreeWidgetItem*) {});
    connect(tv_funTree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* node, int column) {
        if (column == 0)
            tv_funTree_NodeCheck(node);
    });

    for (QTreeWidget* tv : {tv_department, tv_funTree})
        FollowFolderImages(tv, this,
                           [this](QTreeWidgetItem* node, const QString& image) { setImage(node, image); });

    node_edit = new QMenu(this);
    node_edit->setObjectName(QStringLiteral("node_edit"));
    // 刷新 reads the rights of the chosen department again, dropping unsaved marks.
    AddMenuEntry(node_edit, QStringLiteral("刷新"), QStringLiteral("menu_refresh"), this,
                 [this] { btn_utype_Click(m_typeIndex); });
    AddMenuEntry(node_edit, QStringLiteral("全选"), QStringLiteral("menu_all_select"), this,
                 [this] { selectAll(true); });
    AddMenuEntry(node_edit, QStringLiteral("取消全选"), QStringLiteral("menu_none_select"), this,
                 [this] { selectAll(false); });

    auto* body = new QHBoxLayout;
    body->setContentsMargins(TwipsToPixels(20, this), 4, 4, 4);
    body->addWidget(tv_department);
    body->addWidget(picbox_type);
    body->addWidget(tv_funTree, 1);

    StackWindowChrome(this, title.band, utoolbar, body);
    resize(820, 520);

    if (!Guarded(this, [&] { load_DepartmentTree(); }))
        tv_department->setVisible(true);
    btn_utype_Click(0);
}

QString frm_department_fun::nodeKey(const QTreeWidgetItem* node)
{
    return KeyedTree::NodeKey(node);
}

QString frm_department_fun::nodeImage(const QTreeWidgetItem* node)
{
    return KeyedTree::NodeImage(node);
}

void frm_department_fun::setImage(QTreeWidgetItem* node, const QString& image) const
{
    // The rights tree's check-state bookkeeping must not see a picture change as a mark.
    const QSignalBlocker block(node->treeWidget());
    m_tree.SetImage(node, image);
}

void frm_department_fun::setTypeCtl(int uId)
{
    MarkChosenButton(btn_utype, uId);
}

void frm_department_fun::init(int uId)
{
    if (uId >= 0 && uId < btn_utype.size())
        btn_utype_Click(uId);
}

// ---- the department tree ----

void frm_department_fun::load_DepartmentTree()
{
    m_tree.Reload(kRootKey, QStringLiteral("部门信息"),
                  [this](QTreeWidgetItem* root) { addDepartments(root, 0); });
}

void frm_department_fun::addDepartments(QTreeWidgetItem* parent, int parentId)
{
    m_tree.AddRows(parent, m_dal.GetList(QStringLiteral("department"), parentId), QStringLiteral("uname"));
}

void frm_department_fun::load_DepartmentChildNodes(QTreeWidgetItem* node)
{
    m_tree.LoadChildren(node, [this](QTreeWidgetItem* n, int id) { addDepartments(n, id); });
}

void frm_department_fun::tv_department_NodeClick(QTreeWidgetItem* node)
{
    if (!node)
        return;
    Guarded(this, [&] { load_DepartmentChildNodes(node); });
    btn_utype_Click(m_typeIndex);
}

int frm_department_fun::selectedDepartment(bool* found) const
{
    QTreeWidgetItem* node = tv_department->currentItem();
    *found = node != nullptr;
    return node ? KeyedTree::NodeId(node) : 0;
}

// ---- the rights tree ----

void frm_department_fun::btn_utype_Click(int index)
{
    m_typeTag = btn_utype[index]->property("tag").toString();
    if (!Guarded(this, [&] { load_FunTree(index); }))
        tv_funTree->setVisible(true);
    setTypeCtl(index);
    m_typeIndex = index;
}

void frm_department_fun::load_FunTree(int index)
{
    bool found = false;
    const int d = selectedDepartment(&found);
    if (!found)
        return;
    const TreeLevelReader levels = DepartmentRights::Tree(btn_utype[index]->property("tag").toString(), d);
    tv_funTree->setVisible(false);
    {
        // Marks read from the database are shown as stored: checking a node
        // here must not spread to its children.
        const QSignalBlocker block(tv_funTree);
        tv_funTree->clear();
        uTreeView helper;
        helper.CreateTreeView(tv_funTree);
        helper.SetImageList({{QStringLiteral("open"), style()->standardIcon(QStyle::SP_DirOpenIcon)}});
        // The handler shows the tree again when the load fails.
        helper.AddTreeII(0, levels, QStringLiteral("ucheck"), true, true);
        for (QTreeWidgetItemIterator it(tv_funTree); *it; ++it)
            (*it)->setData(0, kLastCheckRole, int((*it)->checkState(0)));
        if (QTreeWidgetItem* first = tv_funTree->topLevelItem(0)) {
            first->setExpanded(true);
            tv_funTree->setCurrentItem(first);
        }
    }
    tv_funTree->setVisible(true);
}

void frm_department_fun::tv_funTree_NodeCheck(QTreeWidgetItem* node)
{
    const int state = int(node->checkState(0));
    if (node->data(0, kLastCheckRole).toInt() == state)
        return;
    {
        const QSignalBlocker block(tv_funTree);
        node->setData(0, kLastCheckRole, state);
    }
    // Checking a node checks its whole subtree; unchecking changes nothing else.
    if (state != Qt::Checked)
        return;
    for (int i = 0; i < node->childCount(); ++i)
        node->child(i)->setCheckState(0, Qt::Checked);
}

void frm_department_fun::set_SubtreeChecked(QTreeWidgetItem* node, bool flag)
{
    {
        const QSignalBlocker block(tv_funTree);
        node->setCheckState(0, flag ? Qt::Checked : Qt::Unchecked);
        node->setData(0, kLastCheckRole, int(node->checkState(0)));
    }
    for (int i = 0; i < node->childCount(); ++i)
        set_SubtreeChecked(node->child(i), flag);
}

void frm_department_fun::selectAll(bool flag)
{
    QTreeWidgetItem* node = tv_funTree->currentItem();
    if (!node) {
        MsgBox::Warn(QStringLiteral("请选择节点!"), kCaption, this);
        return;
    }
    set_SubtreeChecked(node, flag);
}

bool frm_department_fun::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == tv_funTree->viewport() && PopUpOnRightPress(event, node_edit))
        return true;
    return QWidget::eventFilter(watched, event);
}

// ---- saving and refreshing ----

void frm_department_fun::save_DepartmentFun()
{
    if (!check_FunRight(FunCodeTable.limited(), true))
        return;
    bool found = false;
    const int d = selectedDepartment(&found);
    if (!found) {
        MsgBox::Warn(QStringLiteral("请选择部门信息!"), kCaption, this);
        return;
    }
    if (!MsgBox::Ask(QStringLiteral("是否保存权限?"), kCaption, this))
        return;

    const bool textCodes = DepartmentRights::HasTextCodes(m_typeTag);
    QList<QVariant> codes;
    for (QTreeWidgetItemIterator it(tv_funTree); *it; ++it) {
        if ((*it)->checkState(0) == Qt::Checked) {
            const QVariant tag = uTreeView::NodeTag(*it);
            codes.append(textCodes ? QVariant(tag.toString()) : QVariant(tag.toLongLong()));
        }
    }
    // One kind of one department is rewritten as a whole, or not at all.
    const m_DBresult result = DepartmentRights::Save(m_typeTag, d, codes);
    if (!result.isResult) {
        MsgBox::SystemError(result.str_MsgBox, this, result.str_Details);
        return;
    }
    MsgBox::Info(QStringLiteral("权限保存成功!"), kCaption, this);
}

void frm_department_fun::funRefresh()
{
    if (!MsgBox::Ask(QStringLiteral("刷新权限会关闭全部的窗口,是否继续?"), kCaption, this))
        return;
    // Closes this window too: nothing of it is touched afterwards.
    UnloadAllForms();
    Guarded(nullptr, [] { init_SysVar(); });
}

void frm_department_fun::utoolbar_ButtonClick(const QString& key)
{
    if (key == QLatin1String("save"))
        save_DepartmentFun();
    else if (key == QLatin1String("funRefresh"))
        funRefresh();
    else if (key == QLatin1String("close"))
        close();
}
