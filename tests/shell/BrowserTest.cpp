#include "Cp936.h"
#include "Launcher.h"
#include "UiDriver.h"
#include "WebBrowser.h"
#include "frmBrowser.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace
{

class BrowserTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        Launcher::BeginTest();
        page(QStringLiteral("a.html"), "<html><head><title>Page A</title></head><body>"
                                       "<a href=\"b.html\">to b</a> <a href=\"mailto:x@example.com\">mail</a>"
                                       "</body></html>");
        page(QStringLiteral("b.html"), "<html><head><title>Page B</title></head><body>b</body></html>");
        m_window = std::make_unique<frmBrowser>();
    }
    void TearDown() override
    {
        m_window.reset();
        Launcher::EndTest();
    }

    void page(const QString& name, const QByteArray& content)
    {
        QFile f(m_dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QString url(const QString& name) const { return QUrl::fromLocalFile(m_dir.filePath(name)).toString(); }

    WebBrowser* browser() const { return m_window->browser(); }
    QStringList addressList() const
    {
        QStringList list;
        for (int i = 0; i < m_window->addressBox()->count(); ++i)
            list.append(m_window->addressBox()->itemText(i));
        return list;
    }
    // Waits until the page that is loading has been shown.
    bool waitForPage()
    {
        if (m_typed) {
            // A typed address may have loaded already while the keys were handled.
            std::unique_ptr<QSignalSpy> done = std::move(m_typed);
            return !done->isEmpty() || done->wait(3000);
        }
        QSignalSpy done(browser(), &WebBrowser::NavigateComplete);
        return done.wait(3000);
    }
    // Types an address into the box and presses Enter, as a user does.
    void typeAddress(const QString& address)
    {
        ui::focusOn(m_window->addressBox());
        ui::press(Qt::Key_A, Qt::ControlModifier);
        ui::press(Qt::Key_Delete);
        ui::type(address);
        m_typed = std::make_unique<QSignalSpy>(browser(), &WebBrowser::NavigateComplete);
        m_titles = std::make_unique<QSignalSpy>(m_window.get(), &QWidget::windowTitleChanged);
        ui::press(Qt::Key_Return);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<frmBrowser> m_window;
    std::unique_ptr<QSignalSpy> m_typed;
    std::unique_ptr<QSignalSpy> m_titles; // captions shown since the last typed Enter
};

TEST_F(BrowserTest, OpensWithoutAPage)
{
    m_window->show();
    EXPECT_TRUE(m_window->windowTitle().isEmpty());
    EXPECT_EQ(m_window->addressBox()->count(), 0);
    EXPECT_TRUE(browser()->LocationURL().isEmpty());
    EXPECT_FALSE(browser()->Busy());
}

TEST_F(BrowserTest, StartingAddressIsOpenedOnLoad)
{
    m_window->StartingAddress = url(QStringLiteral("b.html"));
    m_window->show();
    ASSERT_TRUE(waitForPage());
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("Page B"));
    EXPECT_EQ(addressList(), QStringList{url(QStringLiteral("b.html"))});
}

TEST_F(BrowserTest, TypedAddressesBuildTheListAndTheHistory)
{
    m_window->show();
    typeAddress(m_dir.filePath(QStringLiteral("a.html")));
    ASSERT_FALSE(m_titles->isEmpty());
    EXPECT_EQ(m_titles->first().first().toString(), QStringLiteral("正在工作..."));
    ASSERT_TRUE(waitForPage());
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("Page A"));
    EXPECT_EQ(addressList(), QStringList{url(QStringLiteral("a.html"))});
    EXPECT_EQ(m_window->addressBox()->currentText(), url(QStringLiteral("a.html")));

    typeAddress(url(QStringLiteral("b.html")));
    ASSERT_TRUE(waitForPage());
    typeAddress(url(QStringLiteral("a.html")));
    ASSERT_TRUE(waitForPage());
    // A, B, A: each address once, the latest first.
    EXPECT_EQ(addressList(), (QStringList{url(QStringLiteral("a.html")), url(QStringLiteral("b.html"))}));

    m_window->tbToolBar_ButtonClick(QStringLiteral("Back"));
    ASSERT_TRUE(waitForPage());
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("Page B"));
    EXPECT_EQ(addressList().first(), url(QStringLiteral("b.html")));
    m_window->tbToolBar_ButtonClick(QStringLiteral("Back"));
    ASSERT_TRUE(waitForPage());
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("Page A"));
    EXPECT_FALSE(browser()->canGoBack());
    m_window->tbToolBar_ButtonClick(QStringLiteral("Back")); // nothing further back: nothing happens
    EXPECT_FALSE(browser()->Busy());

    m_window->tbToolBar_ButtonClick(QStringLiteral("Forward"));
    ASSERT_TRUE(waitForPage());
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("Page B"));
    m_window->tbToolBar_ButtonClick(QStringLiteral("Forward"));
    ASSERT_TRUE(waitForPage());
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("Page A"));
    EXPECT_FALSE(browser()->canGoForward());
    EXPECT_EQ(browser()->historyUrls().size(), 3);
}

TEST_F(BrowserTest, RefreshAndTheBrowserKeysWorkOnTheShownPage)
{
    m_window->show();
    typeAddress(url(QStringLiteral("a.html")));
    ASSERT_TRUE(waitForPage());
    typeAddress(url(QStringLiteral("b.html")));
    ASSERT_TRUE(waitForPage());
    page(QStringLiteral("b.html"), "<html><head><title>Page B2</title></head><body></body></html>");
    m_window->tbToolBar_ButtonClick(QStringLiteral("Refresh"));
    ASSERT_TRUE(waitForPage());
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("Page B2"));
    EXPECT_EQ(browser()->historyUrls().size(), 2);

    QSignalSpy done(browser(), &WebBrowser::NavigateComplete);
    ui::focusOn(browser());
    ui::press(Qt::Key_Left, Qt::AltModifier);
    ASSERT_TRUE(!done.isEmpty() || done.wait(3000));
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("Page A"));
    done.clear();
    ui::press(Qt::Key_Right, Qt::AltModifier);
    ASSERT_TRUE(!done.isEmpty() || done.wait(3000));
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("Page B2"));
}

TEST_F(BrowserTest, PickingAListEntryOpensIt)
{
    m_window->show();
    typeAddress(url(QStringLiteral("a.html")));
    ASSERT_TRUE(waitForPage());
    typeAddress(url(QStringLiteral("b.html")));
    ASSERT_TRUE(waitForPage());
    QSignalSpy done(browser(), &WebBrowser::NavigateComplete);
    emit m_window->addressBox()->activated(1); // the user picks a.html from the list
    ASSERT_TRUE(done.wait(3000));
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("Page A"));
    // Rewriting the list does not start another navigation.
    QTest::qWait(50);
    EXPECT_EQ(done.count(), 1);
    EXPECT_FALSE(browser()->Busy());
}

TEST_F(BrowserTest, StopShowsThePageNameAtOnce)
{
    m_window->show();
    typeAddress(url(QStringLiteral("a.html")));
    ASSERT_TRUE(waitForPage());
    QSignalSpy done(browser(), &WebBrowser::NavigateComplete);
    // Started without handling events, so the local page is still loading when Stop comes.
    browser()->Navigate(url(QStringLiteral("b.html")));
    EXPECT_TRUE(browser()->Busy());
    m_window->tbToolBar_ButtonClick(QStringLiteral("Stop"));
    EXPECT_FALSE(browser()->Busy());
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("Page A"));
    QTest::qWait(50);
    EXPECT_EQ(done.count(), 0);
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("Page A"));
}

TEST_F(BrowserTest, LinksOpenInTheWindowOrOnTheDesktop)
{
    m_window->show();
    typeAddress(url(QStringLiteral("a.html")));
    ASSERT_TRUE(waitForPage());
    emit browser()->anchorClicked(QUrl(QStringLiteral("b.html"))); // relative to the page
    ASSERT_TRUE(waitForPage());
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("Page B"));

    emit browser()->anchorClicked(QUrl(QStringLiteral("mailto:x@example.com")));
    ASSERT_EQ(Launcher::Launches().size(), 1);
    EXPECT_EQ(Launcher::Launches().first().url, QUrl(QStringLiteral("mailto:x@example.com")));
    EXPECT_FALSE(browser()->Busy());
}

TEST_F(BrowserTest, PagesInCodePage936AreReadAsSuch)
{
    page(QStringLiteral("gbk.html"),
         "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"
         "<title>" +
             Cp936::encode(QStringLiteral("仓库首页")) + "</title></head><body></body></html>");
    m_window->show();
    typeAddress(url(QStringLiteral("gbk.html")));
    ASSERT_TRUE(waitForPage());
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("仓库首页"));
}

TEST_F(BrowserTest, AnAddressThatCannotBeOpenedShowsAnErrorPage)
{
    m_window->show();
    typeAddress(url(QStringLiteral("missing.html")));
    ASSERT_TRUE(waitForPage());
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("无法显示网页"));
    EXPECT_EQ(addressList(), QStringList{url(QStringLiteral("missing.html"))});
    EXPECT_FALSE(browser()->Busy());
}

// A file too large to lay out at once is refused before it is read, with the
// reason on the page, and the window stays usable: 200 MB and 1.6 GB (sparse
// files: nothing is written to the disk) each give the page at once.
TEST_F(BrowserTest, AFileTooLargeIsRefusedAtOnce)
{
    const struct {
        const char* name;
        qint64 size;
        const char* said;
    } cases[] = {
        {"big.txt", 200LL * 1024 * 1024, "文件过大(200.0 MB),浏览器只显示 8 MB 以内的网页和文件。"},
        {"huge.html", 1600LL * 1024 * 1024, "文件过大(1600.0 MB),浏览器只显示 8 MB 以内的网页和文件。"},
    };
    m_window->show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile f(m_dir.filePath(QString::fromLatin1(c.name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(c.size));
        f.close();
        QElapsedTimer took;
        took.start();
        typeAddress(url(QString::fromLatin1(c.name)));
        ASSERT_TRUE(waitForPage());
        EXPECT_LT(took.elapsed(), 2000);
        EXPECT_EQ(m_window->windowTitle(), QStringLiteral("无法显示网页"));
        EXPECT_TRUE(browser()->toPlainText().contains(QString::fromUtf8(c.said)))
            << browser()->toPlainText().toStdString();
        EXPECT_FALSE(browser()->Busy());
        EXPECT_EQ(browser()->LocationURL(), url(QString::fromLatin1(c.name)));
    }
    // The next page opens as ever.
    typeAddress(url(QStringLiteral("a.html")));
    ASSERT_TRUE(waitForPage());
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("Page A"));
}

} // namespace
