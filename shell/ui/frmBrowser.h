#pragma once

#include <QUrl>
#include <QWidget>

class QAction;
class QComboBox;
class QLabel;
class QToolBar;
class WebBrowser;

// The small web browser of the main frame: an address box that remembers the
// visited addresses (latest first), Back, Forward, Stop, Refresh, Home and
// Search, and the page. The caption shows the page's name, or "正在工作..."
// while a page loads.
class frmBrowser : public QWidget
{
    Q_OBJECT
  public:
    explicit frmBrowser(QWidget* parent = nullptr);

    // An address to open when the window is first shown; empty opens no page.
    QString StartingAddress;

    QComboBox* addressBox() const { return cboAddress; }
    WebBrowser* browser() const { return brwWebBrowser; }
    // Runs the toolbar button with this key ("Back", "Forward", "Stop", "Refresh", "Home", "Search").
    void tbToolBar_ButtonClick(const QString& key);

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Form_Load();
    void navigateTo(const QString& address);
    void cboAddress_Click(int index);
    void brwWebBrowser_NavigateComplete(const QUrl& url);
    void brwWebBrowser_DownloadComplete();
    void showBusyState(bool busy);

    QToolBar* tbToolBar = nullptr;
    QWidget* picAddress = nullptr;
    QLabel* lblAddress = nullptr;
    QComboBox* cboAddress = nullptr;
    WebBrowser* brwWebBrowser = nullptr;
    bool m_loaded = false;
    bool m_dontNavigateNow = false;
};
