#include "frmBrowser.h"

#include "WebBrowser.h"
#include "WindowChrome.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace
{
const QString kBusyCaption = QStringLiteral("正在工作...");
}

frmBrowser::frmBrowser(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmBrowser"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(760, 560);

    KeyedToolbar toolbar(this, QStringLiteral("tbToolBar"),
                         [this](const QString& key) { tbToolBar_ButtonClick(key); });
    tbToolBar = toolbar.bar();
    const struct {
        const char* key;
        const char* tip;
        QStyle::StandardPixmap icon;
    } buttons[] = {
        {"Back", "返回", QStyle::SP_ArrowBack},   {"Forward", "向前", QStyle::SP_ArrowForward},
        {"Stop", "停止", QStyle::SP_BrowserStop}, {"Refresh", "刷新", QStyle::SP_BrowserReload},
        {"Home", "主页", QStyle::SP_DirHomeIcon}, {"Search", "搜索", QStyle::SP_FileDialogContentsView},
    };
    for (const auto& b : buttons)
        toolbar.add(QString::fromUtf8(b.tip), QString::fromLatin1(b.key), b.icon)
            ->setToolTip(QString::fromUtf8(b.tip));

    picAddress = new QWidget(this);
    picAddress->setObjectName(QStringLiteral("picAddress"));
    lblAddress = new QLabel(QStringLiteral("地址(&A):"), picAddress);
    lblAddress->setObjectName(QStringLiteral("lblAddress"));
    cboAddress = new QComboBox(picAddress);
    cboAddress->setObjectName(QStringLiteral("cboAddress"));
    cboAddress->setEditable(true);
    cboAddress->setInsertPolicy(QComboBox::NoInsert);
    cboAddress->setCompleter(nullptr);
    cboAddress->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    lblAddress->setBuddy(cboAddress);
    auto* addressRow = new QHBoxLayout(picAddress);
    addressRow->setContentsMargins(4, 2, 4, 2);
    addressRow->addWidget(lblAddress);
    addressRow->addWidget(cboAddress, 1);

    brwWebBrowser = new WebBrowser(this);
    brwWebBrowser->setObjectName(QStringLiteral("brwWebBrowser"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(tbToolBar);
    layout->addWidget(picAddress);
    layout->addWidget(brwWebBrowser, 1);

    // Enter is taken before the box's own handling, so a typed address is
    // navigated to exactly once, whether or not it is in the list already.
    // The keyboard focus sits on the box itself, which hands keys to its line
    // edit without passing that edit's event filters, so both are watched.
    cboAddress->installEventFilter(this);
    cboAddress->lineEdit()->installEventFilter(this);
    connect(cboAddress, &QComboBox::activated, this, &frmBrowser::cboAddress_Click);
    connect(brwWebBrowser, &WebBrowser::NavigateComplete, this, &frmBrowser::brwWebBrowser_NavigateComplete);
    connect(brwWebBrowser, &WebBrowser::DownloadComplete, this, &frmBrowser::brwWebBrowser_DownloadComplete);
    connect(brwWebBrowser, &WebBrowser::BusyChanged, this, &frmBrowser::showBusyState);
    setWindowTitle(QString());
}

void frmBrowser::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
}

void frmBrowser::Form_Load()
{
    if (StartingAddress.isEmpty())
        return;
    cboAddress->setEditText(StartingAddress);
    cboAddress->addItem(StartingAddress);
    navigateTo(StartingAddress);
}

bool frmBrowser::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == cboAddress || watched == cboAddress->lineEdit()) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !cboAddress->view()->isVisible()) {
            if (!m_dontNavigateNow)
                navigateTo(cboAddress->currentText());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmBrowser::cboAddress_Click(int index)
{
    if (m_dontNavigateNow || index < 0)
        return;
    navigateTo(cboAddress->itemText(index));
}

void frmBrowser::navigateTo(const QString& address)
{
    brwWebBrowser->Navigate(address);
}

void frmBrowser::brwWebBrowser_NavigateComplete(const QUrl&)
{
    setWindowTitle(brwWebBrowser->Busy() ? kBusyCaption : brwWebBrowser->LocationName());
    const QString current = brwWebBrowser->LocationURL();
    m_dontNavigateNow = true;
    for (int i = 0; i < cboAddress->count(); ++i) {
        if (cboAddress->itemText(i) == current) {
            cboAddress->removeItem(i);
            break;
        }
    }
    cboAddress->insertItem(0, current);
    cboAddress->setCurrentIndex(0);
    cboAddress->setEditText(current);
    m_dontNavigateNow = false;
}

void frmBrowser::brwWebBrowser_DownloadComplete()
{
    setWindowTitle(brwWebBrowser->Busy() ? kBusyCaption : brwWebBrowser->LocationName());
}

void frmBrowser::showBusyState(bool busy)
{
    setWindowTitle(busy ? kBusyCaption : brwWebBrowser->LocationName());
}

void frmBrowser::tbToolBar_ButtonClick(const QString& key)
{
    if (key == QLatin1String("Back"))
        brwWebBrowser->GoBack();
    else if (key == QLatin1String("Forward"))
        brwWebBrowser->GoForward();
    else if (key == QLatin1String("Refresh"))
        brwWebBrowser->Refresh();
    else if (key == QLatin1String("Home"))
        brwWebBrowser->GoHome();
    else if (key == QLatin1String("Search"))
        brwWebBrowser->GoSearch();
    else if (key == QLatin1String("Stop")) {
        brwWebBrowser->Stop();
        setWindowTitle(brwWebBrowser->LocationName());
    }
}
