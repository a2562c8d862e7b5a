#include <QCoreApplication>
#include <QImage>
#include <gtest/gtest.h>

namespace
{

// The icons the report, goods and calendar windows load by name (the goods
// window's 刷新 button among them) ship in the program folder's Ico/ and are
// readable pictures, each its own.
TEST(IconFilesTest, StatusIconsShipInTheProgramFolder)
{
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/Ico/");
    QList<QImage> seen;
    for (const char* name : {"flg.ico", "flg2.ico", "flg3.ico", "ok.ico", "ok_01.gif", "refresh.ico"}) {
        SCOPED_TRACE(name);
        const QImage image(folder + QString::fromLatin1(name));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(16, 16));
        EXPECT_TRUE(image.hasAlphaChannel());
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0); // a transparent corner
        if (QLatin1String(name) == QLatin1String("ok_01.gif"))
            continue;
        for (const QImage& other : seen)
            EXPECT_NE(image.convertToFormat(QImage::Format_ARGB32),
                      other.convertToFormat(QImage::Format_ARGB32));
        seen.append(image);
    }
    // The audited mark looks like the default-unit mark.
    EXPECT_EQ(QImage(folder + QStringLiteral("ok_01.gif")).convertToFormat(QImage::Format_ARGB32),
              QImage(folder + QStringLiteral("ok.ico")).convertToFormat(QImage::Format_ARGB32));
}

} // namespace
