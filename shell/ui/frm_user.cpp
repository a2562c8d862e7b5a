#include "frm_user.h"

#include "DbError.h"
#include "FormHelpers.h"
#include "GetvalueFunction.h"
#include "Guarded.h"
#include "MsgBox.h"
#include "Numbers.h"
#include "ProcessFuntionValues.h"
#include "WindowChrome.h"
#include "dal_dictionary.h"
#include "m_funCode.h"
#include "mod_public.h"
#include "sqlHelper.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QSortFilterProxyModel>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <cmath>

namespace
{

const QString kCaption = QStringLiteral("用户信息");
const QString kMale = QStringLiteral("男");
constexpr int kKeyRole = Qt::UserRole + 1;

// A small figure: blue for "boy", red for "girl".
QPixmap personPixmap(bool male, int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor body = male ? QColor(52, 101, 164) : QColor(204, 61, 112);
    const qreal s = size;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 214, 165));
    p.drawEllipse(QRectF(s * 0.32, s * 0.06, s * 0.36, s * 0.36));
    p.setBrush(body);
    QPainterPath path;
    path.moveTo(s * 0.14, s * 0.96);
    path.cubicTo(s * 0.14, s * 0.50, s * 0.86, s * 0.50, s * 0.86, s * 0.96);
    path.closeSubpath();
    p.drawPath(path);
    return pm;
}

// "boy"/"small_boy" or "girl"/"small_girl": the large and the small picture in one icon.
QIcon personIcon(bool male)
{
    static const QIcon boy = [] {
        QIcon i(personPixmap(true, 32));
        i.addPixmap(personPixmap(true, 16));
        return i;
    }();
    static const QIcon girl = [] {
        QIcon i(personPixmap(false, 32));
        i.addPixmap(personPixmap(false, 16));
        return i;
    }();
    return male ? boy : girl;
}

QString bareText(QString text)
{
    text.remove(QStringLiteral("●"));
    return text.trimmed();
}

// An id box as a whole number.
int numericValue(const QString& text)
{
    return int(std::lround(ReadNumber(text)));
}

} // namespace

frm_user::frm_user(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frm_user"));
    setWindowTitle(kCaption);
    buildWindow();

    // Opening: the list in report style, the departments, the sexes.
    Guarded(this, [&] {
        load_UserList();
        setViewStyle(QStringLiteral("detail_view"));
        select_view(QStringLiteral("detail_view"));
        load_DepartmentCombo();
    });
    cobo_sex->addItems({kMale, QStringLiteral("女")});
    cobo_sex->setCurrentIndex(0);
}

void frm_user::buildWindow()
{
    const TitleBand title = MakeTitleBand(this, kCaption);
    Label1 = title.label;
    buildToolbar();
    buildPanel();
    buildList();

    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(TwipsToPixels(50, this));
    user_infor->setFixedWidth(280);
    body->addWidget(user_infor);
    body->addWidget(listview_user, 1);

    StackWindowChrome(this, title.band, utoolbar, body);
    resize(820, 480);
}

// The toolbar, with the view styles in the 视图 button's drop-down.
void frm_user::buildToolbar()
{
    KeyedToolbar toolbar(this, QStringLiteral("utoolbar"),
                         [this](const QString& key) { utoolbar_ButtonClick(key); });
    utoolbar = toolbar.bar();
    toolbar.add(QStringLiteral("新增"), QStringLiteral("add_user"), QStyle::SP_FileIcon);
    toolbar.add(QStringLiteral("保存"), QStringLiteral("save_user"), QStyle::SP_DialogSaveButton);
    toolbar.add(QStringLiteral("删除"), QStringLiteral("delete_user"), QStyle::SP_TrashIcon);
    utoolbar->addSeparator();
    toolbar.add(QStringLiteral("刷新"), QStringLiteral("refresh"), QStyle::SP_BrowserReload);
    QAction* view =
        toolbar.add(QStringLiteral("视图"), QStringLiteral("view"), QStyle::SP_FileDialogDetailedView);
    m_viewMenu = new QMenu(this);
    m_viewMenu->setObjectName(QStringLiteral("view_menu"));
    const QList<std::pair<QString, QString>> views = {
        {QStringLiteral("详细信息"), QStringLiteral("detail_view")},
        {QStringLiteral("缩略图"), QStringLiteral("ico_view")},
        {QStringLiteral("列表"), QStringLiteral("list_view")},
        {QStringLiteral("图标"), QStringLiteral("smallico_view")}};
    for (const auto& [caption, key] : views) {
        QAction* a = m_viewMenu->addAction(caption);
        a->setObjectName(key);
        toolbar.connectKey(a, key);
    }
    view->setMenu(m_viewMenu);
    if (auto* b = qobject_cast<QToolButton*>(utoolbar->widgetForAction(view)))
        b->setPopupMode(QToolButton::MenuButtonPopup);
    toolbar.add(QStringLiteral("关闭"), QStringLiteral("close"), QStyle::SP_ArrowBack);
}

// The edit panel on the left: name, sex, department, enabled.
void frm_user::buildPanel()
{
    user_infor = new QWidget(this);
    user_infor->setObjectName(QStringLiteral("user_infor"));
    auto* Label3 = new QLabel(QStringLiteral("用户名:"), user_infor);
    Label3->setObjectName(QStringLiteral("Label3"));
    txt_Name = new QLineEdit(user_infor);
    txt_Name->setObjectName(QStringLiteral("txt_Name"));
    txt_Name->setMaxLength(30);
    auto* Label4 = new QLabel(QStringLiteral("性别:"), user_infor);
    Label4->setObjectName(QStringLiteral("Label4"));
    cobo_sex = new QComboBox(user_infor);
    cobo_sex->setObjectName(QStringLiteral("cobo_sex"));
    auto* Label5 = new QLabel(QStringLiteral("部门权限:"), user_infor);
    Label5->setObjectName(QStringLiteral("Label5"));
    cobo_usergrp = new QComboBox(user_infor);
    cobo_usergrp->setObjectName(QStringLiteral("cobo_usergrp"));
    chk_start = new QCheckBox(QStringLiteral("启用"), user_infor);
    chk_start->setObjectName(QStringLiteral("chk_start"));
    chk_start->setChecked(true);
    txt_id = new QLineEdit(user_infor);
    txt_id->setObjectName(QStringLiteral("txt_id"));
    txt_id->setVisible(false);
    Label2 = new QLabel(QStringLiteral("新建用户密码默认为: ") + dal_user::InitialPassword(), user_infor);
    Label2->setObjectName(QStringLiteral("Label2"));
    QPalette red = Label2->palette();
    red.setColor(QPalette::WindowText, QColor(192, 0, 0));
    Label2->setPalette(red);

    auto* panelLayout = new QGridLayout(user_infor);
    panelLayout->addWidget(Label3, 0, 0);
    panelLayout->addWidget(txt_Name, 0, 1);
    panelLayout->addWidget(Label4, 1, 0);
    panelLayout->addWidget(cobo_sex, 1, 1);
    panelLayout->addWidget(Label5, 2, 0);
    panelLayout->addWidget(cobo_usergrp, 2, 1);
    panelLayout->addWidget(chk_start, 3, 1);
    panelLayout->addWidget(Label2, 4, 0, 1, 2);
    panelLayout->setRowStretch(5, 1);
    panelLayout->setColumnMinimumWidth(1, 160);
    setTabOrder(txt_Name, cobo_sex);
    setTabOrder(cobo_sex, cobo_usergrp);
    setTabOrder(cobo_usergrp, chk_start);
    InstallEnterToTab(user_infor);
}

// The list: one model, shown in report style or as icons.
void frm_user::buildList()
{
    m_model = new QStandardItemModel(this);
    m_sorted = new QSortFilterProxyModel(this);
    m_sorted->setSourceModel(m_model);
    m_sorted->setSortCaseSensitivity(Qt::CaseInsensitive);
    m_sorted->setSortLocaleAware(true);
    m_sorted->setDynamicSortFilter(false);

    listview_user = new QStackedWidget(this);
    listview_user->setObjectName(QStringLiteral("listview_user"));
    m_report = new QTreeView(listview_user);
    m_report->setObjectName(QStringLiteral("listview_user_report"));
    m_report->setRootIsDecorated(false);
    m_report->setItemsExpandable(false);
    m_report->setUniformRowHeights(true);
    m_report->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_report->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_report->setSelectionMode(QAbstractItemView::SingleSelection);
    m_report->setIconSize(QSize(16, 16));
    m_report->setModel(m_sorted);
    m_report->header()->setSectionsClickable(true);
    m_report->header()->setSortIndicatorShown(false);
    m_icons = new QListView(listview_user);
    m_icons->setObjectName(QStringLiteral("listview_user_icons"));
    m_icons->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_icons->setSelectionMode(QAbstractItemView::SingleSelection);
    m_icons->setResizeMode(QListView::Adjust);
    m_icons->setModel(m_sorted);
    m_icons->setSelectionModel(m_report->selectionModel());
    listview_user->addWidget(m_report);
    listview_user->addWidget(m_icons);

    connect(m_report->header(), &QHeaderView::sectionClicked, this, &frm_user::sortByColumn);
    connect(m_report, &QAbstractItemView::clicked, this, &frm_user::show_SelectedUser);
    connect(m_icons, &QAbstractItemView::clicked, this, &frm_user::show_SelectedUser);
    // Whatever highlights a row (a right-click too) loads it, so the panel
    // always shows the user the commands act on.
    connect(m_report->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                if (!selected.isEmpty())
                    show_SelectedUser();
            });
    m_report->installEventFilter(this);
    m_icons->installEventFilter(this);
}

void frm_user::load_DepartmentCombo()
{
    FillComboBox(cobo_usergrp, dal_dictionary::OfType(DictionaryType::department), QStringLiteral("uname"));
    // No department is chosen until the user picks one.
    cobo_usergrp->setCurrentIndex(-1);
}

void frm_user::load_UserList()
{
    m_model->clear();
    m_model->setHorizontalHeaderLabels({QStringLiteral("用户名称"), QStringLiteral("性别"),
                                        QStringLiteral("部门权限"), QStringLiteral("启用")});
    CloseRs();
    const RecordSetPtr rs = dal_user::List();
    for (int r = 0; rs && r < rs->RecordCount(); ++r) {
        const QString sex = rs->text(r, QStringLiteral("usex"));
        auto* name = new QStandardItem(personIcon(sex == kMale), rs->text(r, QStringLiteral("user")));
        name->setData(QStringLiteral("key_") + rs->text(r, QStringLiteral("id")), kKeyRole);
        const bool enabled = rs->value(r, QStringLiteral("isStart")).toInt() != 0;
        m_model->appendRow({name, new QStandardItem(sex),
                            new QStandardItem(rs->text(r, QStringLiteral("department"))),
                            new QStandardItem(enabled ? QStringLiteral("True") : QStringLiteral("False"))});
    }
    const int widths[] = {2500, 1000, 2500, 1500};
    for (int c = 0; c < 4; ++c)
        m_report->setColumnWidth(c, TwipsToPixels(widths[c], this));
    // Once sorted, the list stays sorted by that column while the window is open.
    if (m_sorted->sortColumn() >= 0)
        m_sorted->sort(m_sorted->sortColumn(), m_sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void frm_user::sortByColumn(int column)
{
    m_sortDescending = !m_sortDescending;
    m_sorted->sort(column, m_sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
    m_report->header()->setSortIndicatorShown(true);
    m_report->header()->setSortIndicator(column, m_sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void frm_user::setViewStyle(const QString& key)
{
    if (key == QLatin1String("detail_view")) {
        listview_user->setCurrentWidget(m_report);
        return;
    }
    listview_user->setCurrentWidget(m_icons);
    if (key == QLatin1String("ico_view")) {
        m_icons->setViewMode(QListView::IconMode);
        m_icons->setIconSize(QSize(32, 32));
        m_icons->setGridSize(QSize(90, 64));
        m_icons->setFlow(QListView::LeftToRight);
    } else {
        m_icons->setViewMode(QListView::ListMode);
        m_icons->setIconSize(QSize(16, 16));
        m_icons->setGridSize(QSize());
        m_icons->setFlow(key == QLatin1String("list_view") ? QListView::TopToBottom : QListView::LeftToRight);
    }
    m_icons->setWrapping(true);
}

void frm_user::select_view(const QString& key_str)
{
    for (QAction* a : m_viewMenu->actions()) {
        const QString bare = bareText(a->text());
        a->setText(a->objectName() == key_str ? QStringLiteral("● ") + bare : QStringLiteral("   ") + bare);
    }
}

void frm_user::utoolbar_ButtonClick(const QString& key)
{
    if (key == QLatin1String("add_user")) {
        clear_UserInfor();
    } else if (key == QLatin1String("save_user")) {
        save_User();
    } else if (key == QLatin1String("delete_user")) {
        delete_User();
    } else if (key == QLatin1String("refresh")) {
        Guarded(this, [&] { load_UserList(); });
    } else if (key == QLatin1String("close")) {
        close();
    } else if (key.endsWith(QLatin1String("_view"))) {
        setViewStyle(key);
        select_view(key);
    }
}

bool frm_user::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == m_report || watched == m_icons) && event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Left || key == Qt::Key_Up || key == Qt::Key_Right || key == Qt::Key_Down)
            show_SelectedUser();
    }
    return QWidget::eventFilter(watched, event);
}

void frm_user::show_SelectedUser()
{
    // The icon views select the name only, the report view the whole row.
    const QModelIndexList selected = m_report->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    // The system shows this failure as a plain message after the handler's name.
    Guarded(this, GuardStyle{MsgIcon::None, {}, QStringLiteral("listview_DblClick")}, [&] {
        QString id = selected.first().siblingAtColumn(0).data(kKeyRole).toString();
        id.remove(QStringLiteral("key_"));
        txt_id->setText(id.trimmed());
        m_current = m_dal.GetModel(numericValue(txt_id->text()));
        txt_Name->setText(m_current.user);
        cobo_sex->setCurrentIndex(cobo_sex->findText(m_current.usex));
        // A department made after the window opened is offered too, so the user keeps it on a save.
        if (cobo_usergrp->findText(m_current.department) < 0 && !m_current.department.isEmpty())
            cobo_usergrp->addItem(m_current.department);
        cobo_usergrp->setCurrentIndex(cobo_usergrp->findText(m_current.department));
        chk_start->setChecked(m_current.isStart);
    });
}

void frm_user::clear_UserInfor()
{
    txt_id->clear();
    txt_Name->clear();
    chk_start->setChecked(true);
    txt_Name->setFocus();
}

void frm_user::save_User()
{
    const bool stored = numericValue(txt_id->text()) > 0;
    if (!check_FunRight(stored ? FunCodeTable.user_update() : FunCodeTable.user_save(), true))
        return;
    if (IsNullOrEmpty(txt_Name->text())) {
        MsgBox::Warn(QStringLiteral("用户名称不能为空!"), kCaption, this);
        txt_Name->setFocus();
        return;
    }
    if (IsNullOrEmpty(cobo_sex->currentText())) {
        MsgBox::Warn(QStringLiteral("性别不能为空!"), kCaption, this);
        cobo_sex->setFocus();
        return;
    }
    Guarded(this, [&] {
        const m_dictionary department =
            dal_dictionary().GetModelForName(DictionaryType::department, cobo_usergrp->currentText());
        if (IsNullOrEmpty(cobo_usergrp->currentText()) || department.id < 1) {
            MsgBox::Info(QStringLiteral("部门权限不能为空!"), kCaption, this);
            cobo_usergrp->setFocus();
            return;
        }
        // A new user's id is taken when it is stored; until then it is 0, which no user has.
        m_current.id = stored ? numericValue(txt_id->text()) : 0;
        m_current.user = txt_Name->text();
        m_current.usex = cobo_sex->currentText();
        m_current.dictionaryId = department.id;
        m_current.isStart = chk_start->isChecked();
        if (!MsgBox::Ask(QStringLiteral("确认保存用户!"), kCaption, this))
            return;
        // The name is checked inside the write, so that another workstation
        // cannot store it between the check and the save.
        const QString refusal = m_dal.Save(m_current);
        if (!refusal.isEmpty()) {
            MsgBox::Warn(refusal, kCaption, this);
            return;
        }
        txt_id->setText(QString::number(m_current.id));
        load_UserList();
    });
}

void frm_user::delete_User()
{
    if (!check_FunRight(FunCodeTable.user_delete(), true))
        return;
    if (IsNullOrEmpty(txt_id->text())) {
        MsgBox::Warn(QStringLiteral("当前记录不存在!"), kCaption, this);
        return;
    }
    const int id = numericValue(txt_id->text());
    // Removing one's own account would leave the session without a user.
    if (CurrentUser.id > 0 && id == CurrentUser.id) {
        MsgBox::Warn(QStringLiteral("当前用户正在使用,不能删除!"), kCaption, this);
        return;
    }
    if (!MsgBox::Ask(QStringLiteral("是否删除当前用户[") + m_current.user + QStringLiteral("]?"), kCaption,
                     this))
        return;
    Guarded(this, [&] {
        const m_DBresult result = m_dal.Delete(id);
        if (!result.isResult) {
            MsgBox::Warn(result.str_MsgBox, kCaption, this);
            return;
        }
        clear_UserInfor();
        load_UserList();
        MsgBox::Info(QStringLiteral("删除成功!"), kCaption, this);
    });
}
