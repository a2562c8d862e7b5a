#include "ToPinyin.h"

#include "Cp936.h"

namespace
{

struct Boundary {
    int code; // code page 936 code of the first character of the letter
    char letter;
};

// I, U and V begin no reading and have no row.
constexpr Boundary kBoundaries[] = {
    {0xB0A1, 'A'}, {0xB0C5, 'B'}, {0xB2C1, 'C'}, {0xB4EE, 'D'}, {0xB6EA, 'E'}, {0xB7A2, 'F'},
    {0xB8C1, 'G'}, {0xB9FE, 'H'}, {0xBBF7, 'J'}, {0xBFA6, 'K'}, {0xC0AC, 'L'}, {0xC2E8, 'M'},
    {0xC4C3, 'N'}, {0xC5B6, 'O'}, {0xC5BE, 'P'}, {0xC6DA, 'Q'}, {0xC8BB, 'R'}, {0xC8F6, 'S'},
    {0xCBFA, 'T'}, {0xCDDA, 'W'}, {0xCEF4, 'X'}, {0xD1B9, 'Y'}, {0xD4D1, 'Z'},
};

} // namespace

QString GetInitialByTable(const QString& ch)
{
    if (ch.isEmpty())
        return QString();
    const int signedCode = Cp936::charCode(ch.at(0));
    if (signedCode >= 0) {
        const QChar upper = QChar(char16_t(signedCode)).toUpper();
        if (upper >= QLatin1Char('A') && upper <= QLatin1Char('Z'))
            return QString(upper);
        return QString();
    }
    const int code = signedCode & 0xFFFF;
    if (code < kBoundaries[0].code)
        return QStringLiteral("   ");
    char letter = kBoundaries[0].letter;
    for (const Boundary& b : kBoundaries) {
        if (code < b.code)
            break;
        letter = b.letter;
    }
    return QString(QLatin1Char(letter));
}

QString GetPinyinByTable(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i)
        out += GetInitialByTable(text.mid(i, 1));
    return out;
}

QString GetPinyin(const QString& text)
{
    return GetPinyinByTable(text).remove(QLatin1Char(' '));
}
