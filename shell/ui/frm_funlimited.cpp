#include "frm_funlimited.h"

#include "FormHelpers.h"
#include "Guarded.h"
#include "MsgBox.h"
#include "Numbers.h"
#include "UserGroupRights.h"
#include "WindowChrome.h"
#include "dal_usergrp.h"
#include "sqlHelper.h"

#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QStackedWidget>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace
{

constexpr int kListKeyRole = Qt::UserRole;
// The check state a node had when last seen, so that only a change to
// "checked" spreads to the children (not any other change of a checked node).
constexpr int kWasCheckedRole = Qt::UserRole + 10;

const QString kCaption = QStringLiteral("权限设置");

// An id as a whole number.
int numericValue(const QString& text)
{
    return int(ReadNumber(text));
}

} // namespace

frm_funlimited::frm_funlimited(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frm_funlimited"));
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(760, 520);

    KeyedToolbar toolbar(this, QStringLiteral("tbToolBar"),
                         [this](const QString& key) { Toolbar_ButtonClick(key); });
    tbToolBar = toolbar.bar();
    const struct {
        const char* key;
        const char* caption;
        QStyle::StandardPixmap icon;
    } buttons[] = {
        {"add_usergrp", "新增用户组", QStyle::SP_FileIcon},
        {"save_usergrp", "保存用户组", QStyle::SP_DialogSaveButton},
        {"del_usergrp", "删除用户组", QStyle::SP_TrashIcon},
        {"save_limited", "应用权限", QStyle::SP_DialogApplyButton},
        {"Expanded", "全部展开", QStyle::SP_ToolBarVerticalExtensionButton},
        {"NotExpanded", "全部收缩", QStyle::SP_ToolBarHorizontalExtensionButton},
        {"close", "关闭", QStyle::SP_DialogCloseButton},
    };
    for (const auto& b : buttons)
        toolbar.add(QString::fromUtf8(b.caption), QString::fromLatin1(b.key), b.icon);

    // The groups and the group fields.
    listview_usergrp = new QTreeWidget(this);
    listview_usergrp->setObjectName(QStringLiteral("listview_usergrp"));
    listview_usergrp->setRootIsDecorated(false);
    listview_usergrp->setAllColumnsShowFocus(true);
    listview_usergrp->header()->setSectionsClickable(true);
    txt_id = new QLineEdit(this);
    txt_id->setObjectName(QStringLiteral("txt_id"));
    txt_id->setReadOnly(true);
    txt_name = new QLineEdit(this);
    txt_name->setObjectName(QStringLiteral("txt_name"));
    txt_remark = new QLineEdit(this);
    txt_remark->setObjectName(QStringLiteral("txt_remark"));
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("系统编号:"), txt_id);
    fields->addRow(QStringLiteral("用户组名:"), txt_name);
    fields->addRow(QStringLiteral("备注:"), txt_remark);
    auto* left = new QVBoxLayout;
    left->addWidget(listview_usergrp, 1);
    left->addLayout(fields);

    // The chooser and the rights tree, covered by a notice until a group is chosen.
    auto* rights = new QGroupBox(QStringLiteral("权限设置:"), this);
    cobo_usergrp = new QComboBox(rights);
    cobo_usergrp->setObjectName(QStringLiteral("cobo_usergrp"));
    tv_limited = new QTreeWidget(rights);
    tv_limited->setObjectName(QStringLiteral("tv_limited"));
    tv_limited->setHeaderHidden(true);
    lbl_notice = new QLabel(QStringLiteral("无权限记录,从右上方列表中选择用户组."), rights);
    lbl_notice->setObjectName(QStringLiteral("lbl_notice"));
    lbl_notice->setAlignment(Qt::AlignCenter);
    auto* cover = new QStackedWidget(rights);
    cover->setObjectName(QStringLiteral("stack_limited"));
    cover->addWidget(lbl_notice);
    cover->addWidget(tv_limited);
    auto* chooserRow = new QHBoxLayout;
    chooserRow->addWidget(new QLabel(QStringLiteral("用户组:"), rights));
    chooserRow->addWidget(cobo_usergrp, 1);
    auto* right = new QVBoxLayout(rights);
    right->addLayout(chooserRow);
    right->addWidget(cover, 1);

    auto* body = new QHBoxLayout;
    body->addLayout(left, 1);
    body->addWidget(rights, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 4);
    layout->addWidget(tbToolBar);
    layout->addLayout(body, 1);

    m_tree.CreateTreeView(tv_limited);
    m_tree.SetImageList({{QStringLiteral("computer"), style()->standardIcon(QStyle::SP_ComputerIcon)},
                         {QStringLiteral("close"), style()->standardIcon(QStyle::SP_DirClosedIcon)},
                         {QStringLiteral("open"), style()->standardIcon(QStyle::SP_DirOpenIcon)}});

    connect(listview_usergrp, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { listview_DblClick(item); });
    connect(listview_usergrp->header(), &QHeaderView::sectionClicked, this,
            &frm_funlimited::listview_ColumnClick);
    connect(cobo_usergrp, &QComboBox::activated, this, [this](int) { cobo_usergrp_Click(); });
    connect(tv_limited, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item, int) { tv_limited_NodeCheck(item); });
    FollowFolderImages(tv_limited, this,
                       [this](QTreeWidgetItem* item, const QString& image) { setNodeImage(item, image); });

    Guarded(this, [&] {
        load_UsergrpList();
        load_UsergrpCombo();
    });
}

void frm_funlimited::showError(const QString& text)
{
    MsgBox::SystemError(text, this);
}

void frm_funlimited::load_UsergrpList()
{
    listview_usergrp->clear();
    listview_usergrp->setColumnCount(2);
    listview_usergrp->setHeaderLabels({QStringLiteral("用户组名称"), QStringLiteral("备注")});
    listview_usergrp->setColumnWidth(0, 2000 / 15);
    listview_usergrp->setColumnWidth(1, 2500 / 15);
    const RecordSetPtr rs = dal_usergrp::List();
    const QIcon icon = style()->standardIcon(QStyle::SP_DirIcon);
    for (int r = 0; r < rs->RecordCount(); ++r) {
        auto* item = new QTreeWidgetItem(listview_usergrp);
        item->setData(0, kListKeyRole, QStringLiteral("key_") + rs->text(r, QStringLiteral("id")));
        item->setText(0, rs->text(r, QStringLiteral("uname")));
        item->setIcon(0, icon);
        item->setText(1, rs->text(r, QStringLiteral("uremark")));
    }
}

void frm_funlimited::load_UsergrpCombo()
{
    FillComboBox(cobo_usergrp, dal_usergrp::List(), QStringLiteral("uname"));
    cobo_usergrp->setCurrentIndex(-1);
    m_groupId = -1;
}

void frm_funlimited::listview_ColumnClick(int column)
{
    // Both columns have keys ("name", "remark"), so both sort.
    m_listDescending = !m_listDescending;
    listview_usergrp->sortItems(column, m_listDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void frm_funlimited::listview_DblClick(QTreeWidgetItem* item)
{
    if (!item)
        return;
    txt_id->setText(item->data(0, kListKeyRole).toString().mid(4).trimmed());
    txt_name->setText(item->text(0));
    txt_remark->setText(item->text(1));
}

void frm_funlimited::chooseGroup(const QString& name)
{
    cobo_usergrp->setCurrentIndex(cobo_usergrp->findText(name));
    if (cobo_usergrp->currentIndex() < 0)
        cobo_usergrp->setEditText(name);
    cobo_usergrp_Click();
}

void frm_funlimited::cobo_usergrp_Click()
{
    Guarded(this, [&] {
        const QString name = cobo_usergrp->currentText();
        const int g = dal_usergrp::IdOfName(name);
        m_groupId = g;
        const TreeLevelReader levels = dal_usergrp::GrantTree(g);
        const QSignalBlocker quiet(tv_limited);
        tv_limited->clear();
        // Whatever the load brought, each node remembers the state it shows,
        // also when the load fails half-way.
        const auto remember = qScopeGuard([this] {
            for (QTreeWidgetItemIterator it(tv_limited); *it; ++it)
                (*it)->setData(0, kWasCheckedRole, (*it)->checkState(0) == Qt::Checked);
        });
        m_tree.AddTreeII(0, levels, QStringLiteral("ucheck"), true, true);
        if (QTreeWidgetItem* first = tv_limited->topLevelItem(0)) {
            first->setExpanded(true);
            setNodeImage(first, QStringLiteral("computer"));
            tv_limited->setCurrentItem(first);
            first->setCheckState(0, Qt::Checked); // the first node only, not its children
        }
        auto* cover = findChild<QStackedWidget*>(QStringLiteral("stack_limited"));
        cover->setCurrentWidget(tv_limited);
    });
}

void frm_funlimited::setNodeImage(QTreeWidgetItem* item, const QString& image)
{
    const QSignalBlocker quiet(tv_limited);
    item->setData(0, uTreeView::ImageRole, image);
    item->setIcon(0, style()->standardIcon(image == QLatin1String("computer") ? QStyle::SP_ComputerIcon
                                           : image == QLatin1String("close")  ? QStyle::SP_DirClosedIcon
                                                                              : QStyle::SP_DirOpenIcon));
}

void frm_funlimited::tv_limited_NodeCheck(QTreeWidgetItem* item)
{
    const bool checked = item->checkState(0) == Qt::Checked;
    if (checked == item->data(0, kWasCheckedRole).toBool())
        return;
    item->setData(0, kWasCheckedRole, checked);
    if (!checked)
        return; // unchecking changes no other node
    for (int i = 0; i < item->childCount(); ++i)
        item->child(i)->setCheckState(0, Qt::Checked);
}

void frm_funlimited::Toolbar_ButtonClick(const QString& key)
{
    Guarded(this, [&] {
        if (key == QLatin1String("add_usergrp")) {
            if (!check_LimitedUser(QStringLiteral("usergrp_add"), CurrentUsergrpId, true))
                clear_UsergrpInfor();
        } else if (key == QLatin1String("save_usergrp")) {
            const QString code = numericValue(txt_id->text()) > 0 ? QStringLiteral("usergrp_update")
                                                                  : QStringLiteral("usergrp_save");
            if (!check_LimitedUser(code, CurrentUsergrpId, true))
                save_Usergrp();
        } else if (key == QLatin1String("del_usergrp")) {
            if (!check_LimitedUser(QStringLiteral("usergrp_delete"), CurrentUsergrpId, true))
                delete_Usergrp();
        } else if (key == QLatin1String("save_limited")) {
            if (!check_LimitedUser(QStringLiteral("usergrp_limited"), CurrentUsergrpId, true))
                save_Limited();
        } else if (key == QLatin1String("close")) {
            close();
        }
    });
}

void frm_funlimited::clear_UsergrpInfor()
{
    txt_id->clear();
    txt_name->clear();
    txt_remark->clear();
    txt_name->setFocus();
}

void frm_funlimited::save_Usergrp()
{
    const QString name = txt_name->text();
    if (name.trimmed().isEmpty()) {
        MsgBox::Show(QStringLiteral("用户组名称") + GetMessageBox(QStringLiteral("NotEmpty")),
                     MsgIcon::Information, kCaption, MsgButtons::Ok, this);
        txt_name->setFocus();
        return;
    }
    int id = numericValue(txt_id->text());
    if (id > 0) {
        if (MsgBox::Show(GetMessageBox(QStringLiteral("AskUpdate")), MsgIcon::Exclamation, kCaption,
                         MsgButtons::YesNoCancel, this) != MsgAnswer::Yes)
            return;
    } else if (!MsgBox::Ask(GetMessageBox(QStringLiteral("AskSave")), kCaption, this)) {
        return;
    }
    const QString remark = txt_remark->text();
    const m_DBresult result = dal_usergrp().Save(id, name, remark);
    if (!result.isResult) {
        showError(result.str_MsgBox);
        return;
    }
    txt_id->setText(QString::number(id));
    if (!Guarded(this, [&] {
            load_UsergrpList();
            load_UsergrpCombo();
        }))
        return;
    MsgBox::Show(GetMessageBox(QStringLiteral("AlreadySave")), MsgIcon::Information, kCaption, MsgButtons::Ok,
                 this);
}

void frm_funlimited::delete_Usergrp()
{
    const QString idText = txt_id->text().trimmed();
    if (idText.isEmpty()) {
        MsgBox::Show(QStringLiteral("当前记录") + GetMessageBox(QStringLiteral("ReNotHaveNotDelete")),
                     MsgIcon::Information, kCaption, MsgButtons::Ok, this);
        return;
    }
    const int id = numericValue(idText);
    const QString inUse = QStringLiteral("用户组名[") + txt_name->text() +
                          QStringLiteral("]已经在[用户表]引用建帐,") +
                          GetMessageBox(QStringLiteral("AlreadyAccount"));
    dal_usergrp groups;
    const QString refusal = dal_usergrp::DeleteRefusal(id, inUse);
    if (!refusal.isEmpty()) {
        MsgBox::Show(refusal, MsgIcon::Information, kCaption, MsgButtons::Ok, this);
        return;
    }
    if (!MsgBox::Ask(GetMessageBox(QStringLiteral("AskDelete")), kCaption, this))
        return;
    const m_DBresult result = groups.Delete(id, inUse);
    if (!result.isResult && result.int_Count > 0) {
        // Staff joined the group since the question: refused as above.
        MsgBox::Show(result.str_MsgBox, MsgIcon::Information, kCaption, MsgButtons::Ok, this);
        return;
    }
    if (!result.isResult) {
        showError(result.str_MsgBox);
        return;
    }
    txt_id->clear();
    txt_name->clear();
    txt_remark->clear();
    if (!Guarded(this, [&] {
            load_UsergrpList();
            load_UsergrpCombo();
        }))
        return;
    MsgBox::Show(GetMessageBox(QStringLiteral("AlreadyDelete")), MsgIcon::Information, kCaption,
                 MsgButtons::Ok, this);
}

void frm_funlimited::save_Limited()
{
    if (m_groupId < 0) {
        MsgBox::Show(QStringLiteral("用户组名称") + GetMessageBox(QStringLiteral("NotEmpty")),
                     MsgIcon::Information, kCaption, MsgButtons::Ok, this);
        cobo_usergrp->setFocus();
        return;
    }
    if (!MsgBox::Ask(GetMessageBox(QStringLiteral("AskSave")), kCaption, this))
        return;
    QStringList codes;
    for (QTreeWidgetItemIterator it(tv_limited); *it; ++it) {
        if ((*it)->checkState(0) == Qt::Checked)
            codes.append(uTreeView::NodeTag(*it).toString());
    }
    const m_DBresult result = dal_usergrp().SaveGrants(m_groupId, codes);
    if (!result.isResult) {
        showError(result.str_MsgBox);
        return;
    }
    MsgBox::Show(GetMessageBox(QStringLiteral("AlreadySave")), MsgIcon::Information, kCaption, MsgButtons::Ok,
                 this);
}
