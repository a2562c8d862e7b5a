#pragma once

#include <QHash>
#include <QList>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

class QNetworkReply;

// The browser control of the browser window: shows HTML, text and image pages
// loaded through the network access manager (http, https, file), keeps its own
// back/forward history and reports its busy state, so the window can drive it
// like any browser control. Links to other schemes (mailto: ...) go to the desktop.
class WebBrowser : public QTextBrowser
{
    Q_OBJECT
  public:
    explicit WebBrowser(QWidget* parent = nullptr);

    // Starts loading an address as typed ("www.example.com", "/tmp/a.html", "http://...").
    void Navigate(const QString& address);
    void Navigate(const QUrl& url);
    void GoBack();
    void GoForward();
    void GoHome();
    void GoSearch();
    void Refresh();
    void Stop();

    bool Busy() const;
    // The shown page: its title (the address when it has none) and its address.
    QString LocationName() const;
    QString LocationURL() const;
    bool canGoBack() const { return m_index > 0; }
    bool canGoForward() const { return m_index >= 0 && m_index + 1 < m_history.size(); }
    // The visited pages, oldest first, and the one shown.
    const QList<QUrl>& historyUrls() const { return m_history; }
    int historyIndex() const { return m_index; }

    static QUrl HomePage();
    static QUrl SearchPage();

    QVariant loadResource(int type, const QUrl& name) override;

  public slots:
    // The text browser's own history keys (Alt+Left, Alt+Right, the browser
    // keys of a keyboard) work on this control's history.
    void backward() override { GoBack(); }
    void forward() override { GoForward(); }
    void home() override { GoHome(); }
    void reload() override { Refresh(); }

  signals:
    // A page request has ended and its page (or the error page) is shown.
    void NavigateComplete(const QUrl& url);
    // A page or one of its pictures has finished loading.
    void DownloadComplete();
    void BusyChanged(bool busy);

  private:
    void startLoad(const QUrl& url, int historyTarget);
    void pageFinished(QNetworkReply* reply, int historyTarget);
    void refuseTooLarge(QNetworkReply* reply, qint64 size, int historyTarget);
    void pictureFinished(QNetworkReply* reply, int type, const QUrl& name);
    void showPage(const QUrl& url, const QByteArray& data, const QString& contentType);
    void showErrorPage(const QUrl& url, const QString& error);
    void commit(const QUrl& url, int historyTarget);
    void setBusyFrom(bool wasBusy);
    void onAnchor(const QUrl& link);

    QNetworkAccessManager m_nam;
    QPointer<QNetworkReply> m_page;
    QList<QPointer<QNetworkReply>> m_pictures;
    QHash<QUrl, QByteArray> m_pictureCache;
    QList<QUrl> m_history;
    int m_index = -1;
    QUrl m_current;
};
