#include "DialogRunner.h"
#include "FrmHelp.h"
#include "Launcher.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace
{

class AboutTest : public ::testing::TestWithParam<bool>
{
  protected:
    void SetUp() override
    {
        Launcher::BeginTest();
        DialogRunner::BeginTest();
        if (GetParam())
            m_box = std::make_unique<FrmHelpQZ>();
        else
            m_box = std::make_unique<FrmHelp>();
    }
    void TearDown() override
    {
        m_box.reset();
        DialogRunner::EndTest();
        Launcher::EndTest();
        for (const QString& f : DialogRunner::Failures())
            ADD_FAILURE() << f.toStdString();
    }

    QUrl clickAndTakeUrl(const char* control)
    {
        auto* label = m_box->findChild<QLabel*>(QString::fromLatin1(control));
        EXPECT_NE(label, nullptr) << control;
        if (!label)
            return {};
        const qsizetype before = Launcher::Launches().size();
        QTest::mouseClick(label, Qt::LeftButton);
        EXPECT_EQ(Launcher::Launches().size(), before + 1) << control;
        return Launcher::Launches().isEmpty() ? QUrl() : Launcher::Launches().last().url;
    }

    std::unique_ptr<FrmHelp> m_box;
};

TEST_P(AboutTest, ShowsTheWelcomeAndTheContacts)
{
    const bool qz = GetParam();
    EXPECT_EQ(m_box->windowTitle(), QStringLiteral("关于我们"));
    EXPECT_EQ(m_box->objectName(), qz ? QStringLiteral("FrmHelpQZ") : QStringLiteral("FrmHelp"));
    const QString welcome = m_box->findChild<QPlainTextEdit*>(QStringLiteral("utxtinfor"))->toPlainText();
    EXPECT_EQ(
        welcome,
        QStringLiteral("\n欢迎您使用%1,如果想了解更多的信息;\n请登陆我们的网站或根据以下方式与我们联系。\n")
            .arg(qz ? QStringLiteral("澄屿管理系统") : QStringLiteral("朗岱管理系统")));
    EXPECT_EQ(m_box->findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("网址:"));
    EXPECT_EQ(m_box->findChild<QLabel*>(QStringLiteral("Label6"))->text(), QStringLiteral("邮箱:"));
    EXPECT_TRUE(
        m_box->findChild<QLabel*>(QStringLiteral("lab_tel"))->text().startsWith(QStringLiteral("联系电话:")));
    EXPECT_TRUE(
        m_box->findChild<QLabel*>(QStringLiteral("LabelQQ"))->text().startsWith(QStringLiteral("QQ: ")));
    // The second variant shows its web address in full.
    EXPECT_EQ(
        m_box->findChild<QLabel*>(QStringLiteral("Labelhttp"))->text().startsWith(QStringLiteral("http://")),
        qz);
}

TEST_P(AboutTest, LinksReachTheDesktopWithWebAndMailAddresses)
{
    const FrmHelp::Contacts& c = m_box->contacts();
    m_box->show();

    const QUrl web = clickAndTakeUrl("Labelhttp");
    EXPECT_EQ(web.scheme(), QStringLiteral("http"));
    EXPECT_EQ(web.host(), QUrl(c.webUrl).host());

    const QUrl mail = clickAndTakeUrl("Labelmailto");
    EXPECT_EQ(mail.scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(mail.path(), c.mail);
    EXPECT_TRUE(mail.path().contains(QLatin1Char('@')));

    const QUrl chat = clickAndTakeUrl("LabelQQ");
    EXPECT_EQ(chat.scheme(), QStringLiteral("http"));
    EXPECT_EQ(chat.path(), QStringLiteral("/msgrd"));
    EXPECT_EQ(chat.query(), QStringLiteral("V=1&Uin=%1&Exe=QQ&Site=%2&Menu=yes").arg(c.qqNumber, c.qqSite));
    // The picture does exactly what the label does.
    EXPECT_EQ(clickAndTakeUrl("img_qq"), chat);

    // The contacts are ours and fictional.
    for (const Launcher::Launch& l : Launcher::Launches())
        EXPECT_TRUE(l.url.toString().contains(QStringLiteral("example."))) << l.url.toString().toStdString();
}

TEST_P(AboutTest, CloseEndsTheModalWait)
{
    DialogRunner::QueueHandler([](QDialog* d) {
        QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("btn_close")), Qt::LeftButton);
        return d->result();
    });
    EXPECT_EQ(DialogRunner::Exec(m_box.get()), int(QDialog::Accepted));
    EXPECT_TRUE(Launcher::Launches().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Variants, AboutTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "FrmHelpQZ" : "FrmHelp"; });

} // namespace
