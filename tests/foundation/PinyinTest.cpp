#include "Cp936.h"
#include "ToPinyin.h"

#include <QString>
#include <gtest/gtest.h>

namespace
{

// The character of a code page 936 code.
QString CharOf(int code)
{
    QByteArray bytes;
    bytes.append(char(code >> 8));
    bytes.append(char(code & 0xFF));
    return Cp936::decode(bytes);
}

TEST(PinyinTest, EveryBoundaryAndTheCodeJustBelowIt)
{
    struct Row {
        const char* boundary;
        int code;
        char letter;
    };
    const Row rows[] = {
        {"啊", 0xB0A1, 'A'}, {"芭", 0xB0C5, 'B'}, {"擦", 0xB2C1, 'C'}, {"搭", 0xB4EE, 'D'},
        {"蛾", 0xB6EA, 'E'}, {"发", 0xB7A2, 'F'}, {"噶", 0xB8C1, 'G'}, {"哈", 0xB9FE, 'H'},
        {"击", 0xBBF7, 'J'}, {"喀", 0xBFA6, 'K'}, {"垃", 0xC0AC, 'L'}, {"妈", 0xC2E8, 'M'},
        {"拿", 0xC4C3, 'N'}, {"哦", 0xC5B6, 'O'}, {"啪", 0xC5BE, 'P'}, {"期", 0xC6DA, 'Q'},
        {"然", 0xC8BB, 'R'}, {"撒", 0xC8F6, 'S'}, {"塌", 0xCBFA, 'T'}, {"挖", 0xCDDA, 'W'},
        {"昔", 0xCEF4, 'X'}, {"压", 0xD1B9, 'Y'}, {"匝", 0xD4D1, 'Z'},
    };
    char previous = 0;
    for (const Row& row : rows) {
        const QString boundary = QString::fromUtf8(row.boundary);
        ASSERT_EQ(CharOf(row.code), boundary) << row.boundary;
        EXPECT_EQ(GetInitialByTable(boundary), QString(QLatin1Char(row.letter))) << row.boundary;
        EXPECT_EQ(GetPinyin(boundary), QString(QLatin1Char(row.letter))) << row.boundary;

        const QString below = CharOf(row.code - 1);
        ASSERT_EQ(Cp936::charCode(below.at(0)) & 0xFFFF, row.code - 1);
        if (previous) {
            EXPECT_EQ(GetInitialByTable(below), QString(QLatin1Char(previous))) << std::hex << row.code - 1;
        } else {
            // Below the table: three spaces, which GetPinyin drops.
            EXPECT_EQ(GetInitialByTable(below), QStringLiteral("   "));
            EXPECT_EQ(GetPinyin(below), QString());
        }
        previous = row.letter;
    }
}

TEST(PinyinTest, Texts)
{
    const struct {
        const char* text;
        const char* initials;
    } cases[] = {
        {"中国", "ZG"},
        {"可口可乐", "KKKL"},
        {"仓库管理", "CKGL"},
        {"张三 李四", "ZSLS"},
        {"Abc12", "ABC"},
        {"xyz", "XYZ"},
        {"123,.!-_ ", ""},
        {"，", ""},               // full-width comma
        {"ＡＢ", ""},             // full-width letters
        {"亍", "Z"},              // second level, ordered by radical
        {"\xF0\x9F\x98\x80", ""}, // outside code page 936
        {"丂", ""},               // extension character below the table (0x8140)
        {"\xEF\xA8\x8C", "Z"},    // extension character with a high lead byte
        {"", ""},
        {"货品A-01号", "HPAH"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetPinyin(QString::fromUtf8(c.text)).toStdString(), c.initials) << c.text;

    // GetPinyinByTable keeps the three spaces of a double-byte character below the table.
    EXPECT_EQ(GetPinyinByTable(QStringLiteral("，中a")), QStringLiteral("   ZA"));
    EXPECT_EQ(GetPinyinByTable(QString()), QString());
    EXPECT_EQ(GetInitialByTable(QStringLiteral("国家")), QStringLiteral("G"));
    EXPECT_EQ(GetInitialByTable(QString()), QString());
}

} // namespace
