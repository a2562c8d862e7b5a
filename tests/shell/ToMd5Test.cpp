#include "ToMd5.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace
{

QString standardSlice(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex()).mid(8, 16);
}

TEST(ToMd5Test, KnownPasswordForms)
{
    const struct {
        QString text;
        const char* form;
    } cases[] = {
        {QStringLiteral("abc"), "3cd24fb0d6963f7d"},
        {QString(), "8f00b204e9800998"},
        {QStringLiteral("中"), "8d5f2b49971dbb43"},
        {QStringLiteral("740"), "cf9246bb0d40eb4d"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetMD5(c.text), QString::fromLatin1(c.form)) << c.text.toStdString();
}

// Lengths on both sides of a block edge, where the padding mark and the
// length field move into the next block.
TEST(ToMd5Test, AsciiTextGivesTheStandardDigestSlice)
{
    for (int length : {1, 3, 55, 56, 57, 63, 64, 65, 119, 120, 200}) {
        QByteArray bytes;
        for (int i = 0; i < length; ++i)
            bytes.append(char('!' + (i * 7) % 90));
        EXPECT_EQ(GetMD5(QString::fromLatin1(bytes)), standardSlice(bytes)) << length;
    }
}

TEST(ToMd5Test, ChineseCountsCharactersNotBytes)
{
    // Code page 936 bytes of 中 are D6 D0; the form differs from their standard digest.
    EXPECT_NE(GetMD5(QStringLiteral("中")), standardSlice(QByteArray("\xD6\xD0")));
    // Several double-byte characters in one word keep the bytes they set to 0xFF.
    const QString mixed = QStringLiteral("管理员a中文b");
    const QString form = GetMD5(mixed);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9a-f]{16}$")).match(form).hasMatch())
        << form.toStdString();
    EXPECT_EQ(GetMD5(mixed), form);
    // A character code page 936 cannot hold counts as "?".
    EXPECT_EQ(GetMD5(QString(QChar(0x0E01))), GetMD5(QStringLiteral("?")));
}

TEST(ToMd5Test, CaseAndSpacesMatter)
{
    EXPECT_NE(GetMD5(QStringLiteral("Admin")), GetMD5(QStringLiteral("admin")));
    EXPECT_NE(GetMD5(QStringLiteral(" 740")), GetMD5(QStringLiteral("740")));
    EXPECT_NE(GetMD5(QStringLiteral("740 ")), GetMD5(QStringLiteral("740")));
}

} // namespace
