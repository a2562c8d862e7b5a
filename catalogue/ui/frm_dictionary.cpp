#include "frm_dictionary.h"

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
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <cmath>

namespace
{

const QString kCaption = QStringLiteral("数据字典");
const QString kRootKey = QStringLiteral("key_0");

struct TypeButton {
    const char16_t* caption;
    const QString& tag;
};

const TypeButton kTypes[] = {
    {u"货品类别", DictionaryType::goodsType},   {u"部门信息", DictionaryType::department},
    {u"入库类别", DictionaryType::importType},  {u"出库类别", DictionaryType::exportType},
    {u"账目标识", DictionaryType::accountType}, {u"往来单位分类", DictionaryType::customerType},
};

// An id box as a whole number; a half goes to the even neighbour, as the
// 16-bit conversion of the parent id does.
int idOf(const QString& text)
{
    return int(std::nearbyint(ReadNumber(text)));
}

int idOfKey(const QString& key)
{
    return KeyedTree::IdOfKey(key);
}

} // namespace

frm_dictionary::frm_dictionary(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frm_dictionary"));
    setWindowTitle(kCaption);

    const TitleBand title = MakeTitleBand(this, kCaption);

    KeyedToolbar toolbar(this, QStringLiteral("utoolbar"),
                         [this](const QString& key) { utoolbar_ButtonClick(key); });
    utoolbar = toolbar.bar();
    toolbar.add(QStringLiteral("新增"), QStringLiteral("add"), QStyle::SP_FileIcon);
    toolbar.add(QStringLiteral("保存"), QStringLiteral("save"), QStyle::SP_DialogSaveButton);
    toolbar.add(QStringLiteral("删除"), QStringLiteral("delete"), QStyle::SP_TrashIcon);
    toolbar.add(QStringLiteral("关闭"), QStringLiteral("close"), QStyle::SP_ArrowBack);

    // ---- the type buttons ----
    QList<std::pair<QString, QString>> types;
    for (const TypeButton& t : kTypes)
        types.append({QString::fromUtf16(t.caption), t.tag});
    QWidget* picbox_type = MakeTypeButtons(
        this, types, 120, [this](int i) { btn_utype_Click(i); }, btn_utype);

    // ---- the tree ----
    m_tree = MakeNodeTree(
        this, QStringLiteral("tv_dictionary"), 240, this,
        [this](QTreeWidgetItem* node) { tv_dictionary_NodeClick(node); }, QStringLiteral("All"),
        QStyle::SP_DirHomeIcon);
    tv_dictionary = m_tree.tree();

    node_edit = new QMenu(this);
    node_edit->setObjectName(QStringLiteral("node_edit"));
    AddMenuEntry(node_edit, QStringLiteral("删除"), QStringLiteral("menu_delete"), this,
                 [this] { delete_DictionaryInfor(); });
    AddMenuEntry(node_edit, QStringLiteral("新建子项目"), QStringLiteral("menu_add"), this,
                 [this] { menu_add_Click(); });

    // ---- the edit panel ----
    dictionary_Infor = new QWidget(this);
    dictionary_Infor->setObjectName(QStringLiteral("dictionary_Infor"));
    const auto hiddenBox = [this](const QString& name) {
        auto* box = new QLineEdit(dictionary_Infor);
        box->setObjectName(name);
        box->setEnabled(false);
        box->setVisible(false);
        return box;
    };
    txt_id = hiddenBox(QStringLiteral("txt_id"));
    txt_parentId = hiddenBox(QStringLiteral("txt_parentId"));
    txt_selectType = hiddenBox(QStringLiteral("txt_selectType"));
    txt_Name = new QLineEdit(dictionary_Infor);
    txt_Name->setObjectName(QStringLiteral("txt_Name"));
    txt_Name->setMaxLength(50);
    txt_parentName = new QLineEdit(dictionary_Infor);
    txt_parentName->setObjectName(QStringLiteral("txt_parentName"));
    txt_parentName->setEnabled(false);
    const ParentButtons parentButtons = MakeParentButtons(
        this, dictionary_Infor, [this] { btn_clearParent_Click(); }, [this] { btn_setParent_Click(); });
    btn_clearParent = parentButtons.clear;
    btn_setParent = parentButtons.choose;
    txt_remark = MakeRemarkBox(dictionary_Infor);
    chk_start = new QCheckBox(QStringLiteral("启用"), dictionary_Infor);
    chk_start->setObjectName(QStringLiteral("chk_start"));
    chk_start->setChecked(true);

    auto* panel = new QGridLayout(dictionary_Infor);
    panel->addWidget(new QLabel(QStringLiteral("名称:"), dictionary_Infor), 0, 0);
    panel->addWidget(txt_Name, 0, 1, 1, 3);
    panel->addWidget(new QLabel(QStringLiteral("父节点:"), dictionary_Infor), 1, 0);
    panel->addWidget(txt_parentName, 1, 1);
    panel->addWidget(btn_clearParent, 1, 2);
    panel->addWidget(btn_setParent, 1, 3);
    panel->addWidget(new QLabel(QStringLiteral("备注:"), dictionary_Infor), 2, 0, Qt::AlignTop);
    panel->addWidget(txt_remark, 2, 1, 1, 3);
    panel->addWidget(chk_start, 3, 1);
    panel->setRowStretch(4, 1);
    panel->setColumnMinimumWidth(1, 160);
    setTabOrder(txt_Name, txt_parentName);
    setTabOrder(txt_parentName, txt_remark);
    setTabOrder(txt_remark, chk_start);
    setTabOrder(chk_start, btn_clearParent);
    setTabOrder(btn_clearParent, btn_setParent);
    InstallEnterToTab(dictionary_Infor);

    auto* body = new QHBoxLayout;
    body->setContentsMargins(TwipsToPixels(20, this), 4, 4, 4);
    body->addWidget(picbox_type);
    body->addWidget(tv_dictionary);
    body->addWidget(dictionary_Infor, 1);

    StackWindowChrome(this, title.band, utoolbar, body);
    resize(760, 460);
    setTypeCtl(-1);
}

// ---- choosing a type and browsing ----

void frm_dictionary::init(int uId)
{
    if (uId >= 0 && uId < btn_utype.size())
        btn_utype_Click(uId);
}

void frm_dictionary::setTypeCtl(int uId)
{
    MarkChosenButton(btn_utype, uId);
}

void frm_dictionary::btn_utype_Click(int index)
{
    clear_DictionaryInfor();
    txt_selectType->setText(btn_utype[index]->property("tag").toString());
    if (!Guarded(this, [&] { load_DictionaryTree(index); }))
        tv_dictionary->setVisible(true);
    setTypeCtl(index);
}

void frm_dictionary::load_DictionaryTree(int index)
{
    const QString type = btn_utype[index]->property("tag").toString();
    m_tree.Reload(kRootKey, btn_utype[index]->text(),
                  [this, &type](QTreeWidgetItem* root) { addNodes(root, type, 0); });
}

void frm_dictionary::addNodes(QTreeWidgetItem* parent, const QString& type, int parentId)
{
    m_tree.AddRows(parent, m_dal.GetList(type, parentId), QStringLiteral("uname"));
}

void frm_dictionary::load_DictionaryChildNodes(QTreeWidgetItem* node)
{
    m_tree.LoadChildren(node,
                        [this](QTreeWidgetItem* n, int id) { addNodes(n, txt_selectType->text(), id); });
}

void frm_dictionary::tv_dictionary_NodeClick(QTreeWidgetItem* node)
{
    if (!node)
        return;
    Guarded(this, [&] {
        load_DictionaryChildNodes(node);
        show_DictionaryInfor(idOfKey(nodeKey(node)));
    });
}

void frm_dictionary::show_DictionaryInfor(int int_Id)
{
    m_current = m_dal.GetModel(int_Id);
    clear_DictionaryInfor();
    if (m_current.id > 0) {
        txt_id->setText(QString::number(m_current.id));
        txt_Name->setText(m_current.uname);
        txt_selectType->setText(m_current.utype);
        txt_parentName->setText(m_current.parentName);
        txt_remark->setPlainText(m_current.remark);
        txt_parentId->setText(QString::number(m_current.parentId));
        chk_start->setChecked(m_current.isstart != 0);
    }
}

void frm_dictionary::clear_DictionaryInfor()
{
    txt_id->clear();
    txt_Name->clear();
    txt_parentName->clear();
    txt_parentId->clear();
    txt_remark->clear();
    chk_start->setChecked(true);
}

// ---- the pop-up menu, the parent buttons, the toolbar, the keys ----

bool frm_dictionary::eventFilter(QObject* watched, QEvent* event)
{
    // The menu acts on the node under the pointer: the press has shown it in the panel, as a click does.
    if (watched == tv_dictionary->viewport() && PopUpOnRightPress(event, node_edit))
        return true;
    if (watched == tv_dictionary && event->type() == QEvent::KeyRelease) {
        // Moving through the tree with the keys shows the node reached, as a click does.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Home || key == Qt::Key_End ||
            key == Qt::Key_PageUp || key == Qt::Key_PageDown)
            tv_dictionary_NodeClick(tv_dictionary->currentItem());
    }
    return QWidget::eventFilter(watched, event);
}

void frm_dictionary::menu_add_Click()
{
    QTreeWidgetItem* node = tv_dictionary->currentItem();
    if (!node) {
        MsgBox::Warn(QStringLiteral("请选择父节点!"), kCaption, this);
        return;
    }
    clear_DictionaryInfor();
    txt_Name->setFocus();
    txt_parentName->setText(node->text(0));
    txt_parentId->setText(QString::number(idOfKey(nodeKey(node))));
}

void frm_dictionary::btn_setParent_Click()
{
    Guarded(this, [&] {
        const m_dictionary picked =
            PickOne<m_dictionary>(this, QStringLiteral("dictionary"), [this](frm_select& picker) {
                picker.append_Condition =
                    m_condition(SearchKey::Type, QStringLiteral("="), txt_selectType->text());
            });
        if (picked.id > 0) {
            txt_parentName->setText(picked.uname);
            txt_parentId->setText(QString::number(picked.id));
        }
    });
}

void frm_dictionary::btn_clearParent_Click()
{
    txt_parentName->clear();
    txt_parentId->clear();
}

void frm_dictionary::utoolbar_ButtonClick(const QString& key)
{
    if (key == QLatin1String("add")) {
        clear_DictionaryInfor();
        txt_Name->setFocus();
    } else if (key == QLatin1String("save")) {
        save_DictionaryInfor();
    } else if (key == QLatin1String("delete")) {
        delete_DictionaryInfor();
    } else if (key == QLatin1String("close")) {
        close();
    }
}

// ---- saving and deleting ----

void frm_dictionary::save_DictionaryInfor()
{
    const bool stored = ReadNumber(txt_id->text()) > 0;
    if (!check_FunRight(stored ? FunCodeTable.dictionary_update() : FunCodeTable.dictionary_save(), true))
        return;
    if (IsNullOrEmpty(txt_Name->text())) {
        MsgBox::Warn(QStringLiteral("名称不能为空!"), kCaption, this);
        txt_Name->setFocus();
        return;
    }
    bool saved = false;
    Guarded(this, [&] {
        // A new item's id is taken when it is stored; until then it is 0, which no item has.
        const int id = idOf(txt_id->text());
        m_current.id = id < 1 ? 0 : id;
        m_current.utype = txt_selectType->text();
        m_current.uname = txt_Name->text();
        m_current.parentId = idOf(txt_parentId->text());
        m_current.orderby = 0;
        m_current.remark = txt_remark->toPlainText();
        m_current.isstart = chk_start->isChecked() ? 1 : 0;
        m_current.isSystemSet = 0;

        if (!MsgBox::Ask(QStringLiteral("确认保存当前项目!"), kCaption, this))
            return;

        // The checks run inside the write, so that another workstation cannot
        // store the name, or change the tree, between the check and the save.
        const QString refusal = m_dal.Save(m_current);
        if (!refusal.isEmpty()) {
            MsgBox::Warn(refusal, kCaption, this);
            return;
        }
        txt_id->setText(QString::number(m_current.id));
        if (stored)
            tv_UpdateNode(m_current.id, m_current.parentId, tv_dictionary, m_current.uname);
        else
            tv_AddNode(m_current.id, m_current.parentId, tv_dictionary, m_current.uname,
                       QStringLiteral("open"));
        saved = true;
    });
    if (saved)
        MsgBox::Info(QStringLiteral("保存成功!"), kCaption, this);
}

void frm_dictionary::delete_DictionaryInfor()
{
    if (!check_FunRight(FunCodeTable.dictionary_delete(), true))
        return;
    if (IsNullOrEmpty(txt_id->text())) {
        MsgBox::Warn(QStringLiteral("当前记录不存在!"), kCaption, this);
        return;
    }
    const int id = idOf(txt_id->text());
    // The question names the item it deletes: the one the panel was loaded with.
    const QString name = m_current.id == id ? m_current.uname : txt_Name->text();
    if (!MsgBox::Ask(QStringLiteral("是否删除当前项目[") + name + QStringLiteral("]?"), kCaption, this))
        return;
    bool deleted = false;
    Guarded(this, [&] {
        const m_DBresult result = m_dal.Delete(id);
        if (!result.isResult) {
            MsgBox::Warn(result.str_MsgBox, kCaption, this);
            return;
        }
        deleted = true;
    });
    if (!deleted)
        return;
    tv_DeleteNode(id, tv_dictionary);
    clear_DictionaryInfor();
    MsgBox::Info(QStringLiteral("删除成功!"), kCaption, this);
}

// ---- the tree procedures ----

QString frm_dictionary::nodeKey(const QTreeWidgetItem* node)
{
    return KeyedTree::NodeKey(node);
}

QString frm_dictionary::nodeImage(const QTreeWidgetItem* node)
{
    return KeyedTree::NodeImage(node);
}

QTreeWidgetItem* frm_dictionary::findNode(QTreeWidget* tv, const QString& strKey)
{
    return KeyedTree::Find(tv, strKey);
}

bool frm_dictionary::tv_FindKey(QTreeWidget* tv, const QString& strKey) const
{
    return findNode(tv, strKey) != nullptr;
}

void frm_dictionary::tv_AddNode(int int_nodeId, int int_parentId, QTreeWidget* tv, const QString& str_Text,
                                const QString& str_Ico)
{
    m_tree.AddNode(tv, int_nodeId, int_parentId, str_Text, str_Ico,
                   [this](QTreeWidgetItem* parent) { load_DictionaryChildNodes(parent); });
}

void frm_dictionary::tv_UpdateNode(int int_nodeId, int int_parentId, QTreeWidget* tv, const QString& str_Text)
{
    m_tree.UpdateNode(tv, int_nodeId, int_parentId, str_Text,
                      [this](QTreeWidgetItem* parent) { load_DictionaryChildNodes(parent); });
}

void frm_dictionary::tv_DeleteNode(int int_nodeId, QTreeWidget* tv)
{
    KeyedTree::DeleteNode(tv, int_nodeId);
}
