#include "frmOptions.h"

#include "DataClearing.h"
#include "DbMaintenance.h"
#include "GetvalueFunction.h"
#include "MsgBox.h"
#include "m_funCode.h"
#include "sqlHelper.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace
{

constexpr int kKeyRole = Qt::UserRole;

QPushButton* button(const char* name, const char* text, QWidget* parent)
{
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

frmOptions::frmOptions(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("选项"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    tbsOptions = new QTabBar(this);
    tbsOptions->setObjectName(QStringLiteral("tbsOptions"));
    tbsOptions->addTab(QStringLiteral("系统初始化"));
    tbsOptions->setTabData(0, QStringLiteral("Group1"));
    tbsOptions->addTab(QStringLiteral("数据管理"));
    tbsOptions->setTabData(1, QStringLiteral("Group2"));
    tbsOptions->setFocusPolicy(Qt::TabFocus);

    m_pages = new QStackedWidget(this);
    m_pages->setFrameShape(QFrame::StyledPanel);

    // 系统初始化
    auto* page0 = new QWidget(m_pages);
    page0->setObjectName(QStringLiteral("picOptions_0"));
    auto* icon = new QLabel(page0);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    auto* note = new QLabel(QStringLiteral("注意："), page0);
    auto* note1 = new QLabel(QStringLiteral("执行初始化后,会把所有的业务数据,基础信息清空。"), page0);
    auto* note2 = new QLabel(QStringLiteral("数据清空后无法恢复,请慎重该操作。"), page0);
    QPushButton* cmd_clearAll = button("cmd_clearAll", "执行初始化", page0);
    auto* grid0 = new QGridLayout(page0);
    grid0->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
    grid0->addWidget(note, 0, 1);
    grid0->addWidget(note1, 1, 1);
    grid0->addWidget(note2, 2, 1);
    grid0->setRowStretch(3, 1);
    grid0->addWidget(cmd_clearAll, 4, 1, Qt::AlignRight);
    grid0->setColumnStretch(1, 1);

    // 数据管理
    auto* page1 = new QWidget(m_pages);
    page1->setObjectName(QStringLiteral("picOptions_1"));
    auto* listLabel = new QLabel(QStringLiteral("数据列表:"), page1);
    tv_db_table = new QTreeWidget(page1);
    tv_db_table->setObjectName(QStringLiteral("tv_db_table"));
    tv_db_table->setHeaderHidden(true);
    tv_db_table->setColumnCount(1);
    QPushButton* btn_checkall = button("btn_checkall", "全选", page1);
    QPushButton* btn_check = button("btn_check", "反选", page1);
    QPushButton* cmd_clear = button("cmd_clear", "清空", page1);
    QPushButton* cmd_copyData = button("cmd_copyData", "备份数据", page1);
    QPushButton* cmd_ysData = button("cmd_ysData", "压缩数据", page1);
    auto* side = new QVBoxLayout;
    for (QPushButton* b : {btn_checkall, btn_check, cmd_clear, cmd_copyData, cmd_ysData})
        side->addWidget(b);
    side->addStretch(1);
    auto* grid1 = new QGridLayout(page1);
    grid1->addWidget(listLabel, 0, 0);
    grid1->addWidget(tv_db_table, 1, 0);
    grid1->addLayout(side, 1, 1);
    grid1->setColumnStretch(0, 1);

    m_pages->addWidget(page0);
    m_pages->addWidget(page1);
    picOptions = {page0, page1};

    QPushButton* cmdCancel = button("cmdCancel", "关闭", this);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tbsOptions);
    layout->addWidget(m_pages, 1);
    layout->addLayout(bottom);
    resize(470, 330);

    connect(tbsOptions, &QTabBar::tabBarClicked, this, &frmOptions::tbsOptions_Click);
    connect(tbsOptions, &QTabBar::currentChanged, this, &frmOptions::tbsOptions_Click);
    connect(tv_db_table, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item, int) { tv_db_table_NodeCheck(item); });
    connect(btn_checkall, &QPushButton::clicked, this, [this] { set_AllChecked(true); });
    connect(btn_check, &QPushButton::clicked, this, [this] { set_AllChecked(false); });
    connect(cmd_clear, &QPushButton::clicked, this, &frmOptions::cmd_clear_Click);
    connect(cmd_clearAll, &QPushButton::clicked, this, &frmOptions::cmd_clearAll_Click);
    connect(cmd_copyData, &QPushButton::clicked, this, &frmOptions::cmd_copyData_Click);
    connect(cmd_ysData, &QPushButton::clicked, this, &frmOptions::cmd_ysData_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    // The window sees Ctrl+Tab before any of its controls.
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);

    // Load
    load_DbTableTree();
    selectTab(0);
    m_loaded = check_FunRight(FunCodeTable.optionset(), true);
}

int frmOptions::exec()
{
    if (!m_loaded)
        return QDialog::Rejected;
    return QDialog::exec();
}

void frmOptions::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_loaded) {
        QTimer::singleShot(0, this, &QDialog::reject);
        return;
    }
    if (!m_centred) {
        m_centred = true;
        if (const QScreen* s = screen())
            move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    }
}

void frmOptions::load_DbTableTree()
{
    const struct {
        const char* key;
        const char* text;
        const char* parent;
    } nodes[] = {
        {"key_0", "业务数据", nullptr},           {"key_1", "基础数据", nullptr},
        {"tb_import", "入库数据", "key_0"},       {"tb_export", "出库数据", "key_0"},
        {"tb_customer", "往来单位信息", "key_1"}, {"tb_goods", "货品信息", "key_1"},
        {"tb_location", "库位信息", "key_1"},
    };
    tv_db_table->hide();
    const QSignalBlocker quiet(tv_db_table);
    tv_db_table->clear();
    m_nodes.clear();
    for (const auto& n : nodes) {
        QTreeWidgetItem* parent = n.parent ? node(QString::fromLatin1(n.parent)) : nullptr;
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tv_db_table);
        item->setText(0, QString::fromUtf8(n.text));
        item->setData(0, kKeyRole, QString::fromLatin1(n.key));
        item->setIcon(0, style()->standardIcon(parent ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
        m_nodes.append(item);
    }
    m_nodes.at(0)->setExpanded(true);
    m_nodes.at(1)->setExpanded(true);
    tv_db_table->show();
}

QTreeWidgetItem* frmOptions::node(const QString& key) const
{
    for (QTreeWidgetItem* item : m_nodes) {
        if (item->data(0, kKeyRole).toString() == key)
            return item;
    }
    return nullptr;
}

int frmOptions::currentTab() const
{
    return m_pages->currentIndex();
}

void frmOptions::selectTab(int index)
{
    if (index < 0 || index >= tbsOptions->count())
        return;
    tbsOptions->setCurrentIndex(index);
    tbsOptions_Click(index);
}

void frmOptions::tbsOptions_Click(int index)
{
    if (index < 0)
        return;
    for (int i = 0; i < int(picOptions.size()); ++i)
        picOptions.at(i)->setEnabled(i == index);
    m_pages->setCurrentIndex(index);
}

bool frmOptions::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::ControlModifier) {
            selectTab((tbsOptions->currentIndex() + 1) % tbsOptions->count());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmOptions::tv_db_table_NodeCheck(QTreeWidgetItem* item)
{
    // A checked node checks its whole subtree (each child's own change runs
    // this again); unchecking changes no other node.
    if (item->checkState(0) != Qt::Checked)
        return;
    for (int i = 0; i < item->childCount(); ++i)
        item->child(i)->setCheckState(0, Qt::Checked);
}

void frmOptions::set_AllChecked(bool checked)
{
    for (QTreeWidgetItem* item : m_nodes)
        item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

void frmOptions::cmd_copyData_Click()
{
    BackUpDB(true);
}

void frmOptions::cmd_ysData_Click()
{
    RepairDB();
}

bool frmOptions::clearGroup(const QString& key, bool& cleared)
{
    const ClearOutcome outcome = ClearDataGroup(key);
    if (!outcome.ok) {
        MsgBox::SystemError(outcome.error, this);
        return false;
    }
    if (!outcome.refusal.isEmpty()) {
        MsgBox::Show(outcome.refusal, MsgIcon::Exclamation, windowTitle(), MsgButtons::Ok, this);
        return false;
    }
    cleared = cleared || outcome.cleared;
    return true;
}

void frmOptions::cmd_clear_Click()
{
    if (!MsgBox::Ask(QStringLiteral("是否清空选中的数据?"), windowTitle(), this))
        return;
    if (!BackUpDB(false).isResult)
        return;
    bool cleared = false;
    // Node order: the bill groups come before the master data, so bills
    // emptied in the same run no longer hold the master data back.
    for (QTreeWidgetItem* item : m_nodes) {
        if (item->checkState(0) != Qt::Checked)
            continue;
        if (!clearGroup(item->data(0, kKeyRole).toString(), cleared))
            return;
    }
    if (cleared)
        MsgBox::Show(QStringLiteral("数据清空完成!"), MsgIcon::Information, windowTitle(), MsgButtons::Ok,
                     this);
}

void frmOptions::cmd_clearAll_Click()
{
    if (!MsgBox::Ask(QStringLiteral("是否执行初始化操作?"), windowTitle(), this))
        return;
    if (!BackUpDB(false).isResult)
        return;
    const m_DBresult result = InitialiseData();
    if (!result.isResult) {
        MsgBox::SystemError(result.str_MsgBox, this, result.str_Details);
        return;
    }
    MsgBox::Show(QStringLiteral("执行初始化完成!"), MsgIcon::Information, windowTitle(), MsgButtons::Ok,
                 this);
}
