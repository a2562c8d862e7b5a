#include "WebBrowser.h"

#include "Cp936.h"
#include "Launcher.h"

#include <QFileInfo>
#include <QMimeDatabase>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QTextDocument>
#include <algorithm>

namespace
{

const QStringList kPageSchemes = {QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("file"),
                                  QStringLiteral("qrc"), QStringLiteral("about")};

// A page is read whole and laid out at once, which takes about a second for
// 25 MB: a larger file or download is refused before it is read, so the
// window never hangs over it.
constexpr qint64 kLargestPage = 8 * 1024 * 1024;

QString tooLargeText(qint64 size)
{
    const QString megabytes = size > 0 ? QString::number(double(size) / (1024 * 1024), 'f', 1) : QString();
    return (megabytes.isEmpty() ? WebBrowser::tr("文件过大")
                                : WebBrowser::tr("文件过大(%1 MB)").arg(megabytes)) +
           WebBrowser::tr(",浏览器只显示 %1 MB 以内的网页和文件。").arg(kLargestPage / (1024 * 1024));
}

QString charsetOf(const QString& contentType)
{
    for (const QString& part : contentType.split(QLatin1Char(';'))) {
        const QString p = part.trimmed();
        if (p.startsWith(QLatin1String("charset="), Qt::CaseInsensitive))
            return p.mid(8).remove(QLatin1Char('"')).trimmed();
    }
    return {};
}

QString decodeText(const QByteArray& data, QString charset, bool isHtml)
{
    if (charset.isEmpty() && isHtml) {
        QStringDecoder fromPage = QStringDecoder::decoderForHtml(data);
        if (fromPage.isValid())
            return fromPage.decode(data);
    }
    if (charset.isEmpty())
        charset = QStringLiteral("UTF-8");
    QStringDecoder decoder(charset.toLatin1().constData());
    if (decoder.isValid())
        return decoder.decode(data);
    // Chinese pages name their code page in several ways; all read as code page 936.
    if (charset.startsWith(QLatin1String("gb"), Qt::CaseInsensitive) ||
        charset.compare(QLatin1String("cp936"), Qt::CaseInsensitive) == 0)
        return Cp936::decode(data);
    return QString::fromUtf8(data);
}

} // namespace

WebBrowser::WebBrowser(QWidget* parent) : QTextBrowser(parent)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &WebBrowser::onAnchor);
}

QUrl WebBrowser::HomePage()
{
    return QUrl(QStringLiteral("http://www.example.com/"));
}

QUrl WebBrowser::SearchPage()
{
    return QUrl(QStringLiteral("http://www.example.com/search"));
}

void WebBrowser::Navigate(const QString& address)
{
    const QString text = address.trimmed();
    if (text.isEmpty())
        return;
    const QUrl url = QUrl::fromUserInput(text);
    if (!url.isValid()) {
        const bool wasBusy = Busy();
        Stop();
        showErrorPage(QUrl(text), tr("地址无效"));
        commit(QUrl(text), -1);
        emit NavigateComplete(m_current);
        setBusyFrom(wasBusy);
        return;
    }
    Navigate(url);
}

void WebBrowser::Navigate(const QUrl& url)
{
    startLoad(url, -1);
}

void WebBrowser::GoBack()
{
    if (canGoBack())
        startLoad(m_history.at(m_index - 1), m_index - 1);
}

void WebBrowser::GoForward()
{
    if (canGoForward())
        startLoad(m_history.at(m_index + 1), m_index + 1);
}

void WebBrowser::GoHome()
{
    Navigate(HomePage());
}

void WebBrowser::GoSearch()
{
    Navigate(SearchPage());
}

void WebBrowser::Refresh()
{
    if (m_index >= 0)
        startLoad(m_history.at(m_index), m_index);
}

void WebBrowser::Stop()
{
    const bool wasBusy = Busy();
    // The pointers are cleared first, so the aborted replies' own finish
    // handlers recognise them as abandoned.
    if (QNetworkReply* page = m_page.data()) {
        m_page = nullptr;
        page->abort();
    }
    const auto pictures = m_pictures;
    m_pictures.clear();
    for (const QPointer<QNetworkReply>& p : pictures) {
        if (p)
            p->abort();
    }
    setBusyFrom(wasBusy);
}

bool WebBrowser::Busy() const
{
    if (m_page)
        return true;
    for (const QPointer<QNetworkReply>& p : m_pictures) {
        if (p)
            return true;
    }
    return false;
}

QString WebBrowser::LocationName() const
{
    const QString title = documentTitle().trimmed();
    if (!title.isEmpty())
        return title;
    return m_current.isEmpty() ? QString() : m_current.toDisplayString();
}

QString WebBrowser::LocationURL() const
{
    return m_current.isEmpty() ? QString() : m_current.toString();
}

void WebBrowser::startLoad(const QUrl& url, int historyTarget)
{
    const QString scheme = url.scheme().toLower();
    if (!kPageSchemes.contains(scheme)) {
        // mailto:, news: ... belong to the desktop's own programs.
        Launcher::OpenUrl(url);
        return;
    }
    const bool wasBusy = Busy();
    Stop();
    // Pictures that failed or were stopped are tried again with the next page.
    for (auto it = m_pictureCache.begin(); it != m_pictureCache.end();) {
        if (it->isEmpty())
            it = m_pictureCache.erase(it);
        else
            ++it;
    }
    if (scheme == QLatin1String("about")) {
        m_current = url;
        clear();
        commit(url, historyTarget);
        emit NavigateComplete(url);
        emit DownloadComplete();
        setBusyFrom(wasBusy);
        return;
    }
    if (url.isLocalFile()) {
        const QFileInfo file(url.toLocalFile());
        if (file.isFile() && file.size() > kLargestPage) {
            showErrorPage(url, tooLargeText(file.size()));
            commit(url, historyTarget);
            emit NavigateComplete(url);
            emit DownloadComplete();
            setBusyFrom(wasBusy);
            return;
        }
    }
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    QNetworkReply* reply = m_nam.get(request);
    m_page = reply;
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, historyTarget] { pageFinished(reply, historyTarget); });
    // A download is stopped as soon as it is known to be too large: by its
    // announced length, or by what has come so far.
    connect(reply, &QNetworkReply::downloadProgress, this,
            [this, reply, historyTarget](qint64 got, qint64 total) {
                if (reply == m_page && (total > kLargestPage || got > kLargestPage))
                    refuseTooLarge(reply, std::max(total, got), historyTarget);
            });
    setBusyFrom(wasBusy);
}

void WebBrowser::refuseTooLarge(QNetworkReply* reply, qint64 size, int historyTarget)
{
    m_page = nullptr;
    reply->abort();
    const QUrl url = reply->url();
    showErrorPage(url, tooLargeText(size));
    commit(url, historyTarget);
    emit NavigateComplete(url);
    emit DownloadComplete();
    setBusyFrom(true);
}

void WebBrowser::pageFinished(QNetworkReply* reply, int historyTarget)
{
    reply->deleteLater();
    if (reply != m_page)
        return; // stopped or replaced by a later request
    m_page = nullptr;
    const QUrl url = reply->url();
    const QByteArray data = reply->readAll();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::NoError || (status >= 400 && !data.isEmpty()))
        showPage(url, data, reply->header(QNetworkRequest::ContentTypeHeader).toString());
    else
        showErrorPage(url, reply->errorString());
    commit(url, historyTarget);
    emit NavigateComplete(url);
    emit DownloadComplete();
    setBusyFrom(true);
}

void WebBrowser::showPage(const QUrl& url, const QByteArray& data, const QString& contentType)
{
    m_current = url;
    QMimeDatabase mimes;
    const QString typeName = contentType.section(QLatin1Char(';'), 0, 0).trimmed();
    QMimeType type = typeName.isEmpty() ? QMimeType() : mimes.mimeTypeForName(typeName);
    if (!type.isValid() || type.isDefault())
        type = mimes.mimeTypeForFileNameAndData(url.path(), data);
    const QString charset = charsetOf(contentType);

    document()->setBaseUrl(url);
    if (type.inherits(QStringLiteral("text/html")) ||
        type.inherits(QStringLiteral("application/xhtml+xml"))) {
        setHtml(decodeText(data, charset, true));
    } else if (type.name().startsWith(QLatin1String("image/"))) {
        m_pictureCache.insert(url, data);
        setHtml(QStringLiteral("<html><head><title>%1</title></head><body><img src=\"%2\"></body></html>")
                    .arg(url.fileName().toHtmlEscaped(), url.toString().toHtmlEscaped()));
    } else if (type.inherits(QStringLiteral("text/plain"))) {
        setPlainText(decodeText(data, charset, false));
    } else {
        setHtml(QStringLiteral("<html><body><p>%1</p><p>%2</p></body></html>")
                    .arg(tr("此类文件无法在浏览器中显示:").toHtmlEscaped(),
                         url.toDisplayString().toHtmlEscaped()));
    }
}

void WebBrowser::showErrorPage(const QUrl& url, const QString& error)
{
    m_current = url;
    document()->setBaseUrl(url);
    setHtml(QStringLiteral(
                "<html><head><title>%1</title></head><body><h3>%1</h3><p>%2</p><p>%3</p></body></html>")
                .arg(tr("无法显示网页").toHtmlEscaped(), url.toDisplayString().toHtmlEscaped(),
                     error.toHtmlEscaped()));
}

void WebBrowser::commit(const QUrl& url, int historyTarget)
{
    if (historyTarget >= 0 && historyTarget < m_history.size()) {
        m_index = historyTarget;
        m_history[m_index] = url;
        return;
    }
    // A new page drops the pages one could have gone forward to.
    while (m_history.size() > m_index + 1)
        m_history.removeLast();
    m_history.append(url);
    m_index = int(m_history.size()) - 1;
}

void WebBrowser::setBusyFrom(bool wasBusy)
{
    const bool busy = Busy();
    if (busy != wasBusy)
        emit BusyChanged(busy);
}

QVariant WebBrowser::loadResource(int type, const QUrl& name)
{
    const QUrl url = name.isRelative() ? m_current.resolved(name) : name;
    const auto cached = m_pictureCache.constFind(url);
    if (cached != m_pictureCache.constEnd())
        return cached->isEmpty() ? QVariant() : QVariant(*cached);
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return QTextBrowser::loadResource(type, url);
    // Pictures of web pages come later: the page shows at once and is laid out
    // again when each picture has arrived.
    m_pictureCache.insert(url, QByteArray());
    const bool wasBusy = Busy();
    QNetworkReply* reply = m_nam.get(QNetworkRequest(url));
    m_pictures.append(reply);
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, type, name] { pictureFinished(reply, type, name); });
    setBusyFrom(wasBusy);
    return {};
}

void WebBrowser::pictureFinished(QNetworkReply* reply, int type, const QUrl& name)
{
    reply->deleteLater();
    const bool wasBusy = Busy();
    bool mine = false;
    for (qsizetype i = m_pictures.size() - 1; i >= 0; --i) {
        if (!m_pictures.at(i) || m_pictures.at(i) == reply) {
            mine = mine || m_pictures.at(i) == reply;
            m_pictures.removeAt(i);
        }
    }
    if (!mine)
        return; // stopped, or the page it belonged to is gone
    const QUrl url = name.isRelative() ? m_current.resolved(name) : name;
    if (reply->error() == QNetworkReply::NoError) {
        const QByteArray data = reply->readAll();
        m_pictureCache.insert(url, data);
        document()->addResource(type, name, data);
        document()->markContentsDirty(0, document()->characterCount());
    }
    emit DownloadComplete();
    setBusyFrom(wasBusy);
}

void WebBrowser::onAnchor(const QUrl& link)
{
    if (link.isRelative() && link.path().isEmpty() && link.hasFragment()) {
        scrollToAnchor(link.fragment());
        return;
    }
    Navigate(m_current.resolved(link));
}
