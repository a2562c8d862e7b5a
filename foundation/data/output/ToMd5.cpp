#include "ToMd5.h"

#include "Cp936.h"

#include <QList>
#include <array>
#include <cstdint>

namespace
{

using Word = std::uint32_t;

Word md5_RotateLeft(Word x, int n)
{
    return (x << n) | (x >> (32 - n));
}

Word md5_F(Word x, Word y, Word z)
{
    return (x & y) | (~x & z);
}
Word md5_G(Word x, Word y, Word z)
{
    return (x & z) | (y & ~z);
}
Word md5_H(Word x, Word y, Word z)
{
    return x ^ y ^ z;
}
Word md5_I(Word x, Word y, Word z)
{
    return y ^ (x | ~z);
}

template <Word (*Fn)(Word, Word, Word)> void step(Word& a, Word b, Word c, Word d, Word x, int s, Word t)
{
    a = b + md5_RotateLeft(a + Fn(b, c, d) + x + t, s);
}

// The message words: one sign-widened code page 936 code per UTF-16 unit,
// OR-ed in at byte place i mod 4 of word i div 4; whatever passes bit 31 is
// dropped, nothing spills into the next word.
QList<Word> md5_ToWordArray(const QString& text)
{
    const qsizetype length = text.size();
    const qsizetype count = ((length + 8) / 64 + 1) * 16;
    QList<Word> words(count, 0);
    for (qsizetype i = 0; i < length; ++i) {
        const Word code = Word(std::int32_t(Cp936::charCode(text.at(i))));
        words[i / 4] |= code << (8 * (i % 4));
    }
    words[length / 4] |= Word(0x80) << (8 * (length % 4));
    const std::uint64_t bits = std::uint64_t(length) * 8;
    words[count - 2] = Word(bits);
    words[count - 1] = Word(std::uint64_t(length) >> 29);
    return words;
}

QString md5_WordToHex(Word w)
{
    QString out;
    for (int byte = 0; byte < 4; ++byte)
        out += QStringLiteral("%1").arg((w >> (8 * byte)) & 0xFF, 2, 16, QLatin1Char('0'));
    return out;
}

constexpr std::array<int, 16> kShift = {7, 12, 17, 22, 5, 9, 14, 20, 4, 11, 16, 23, 6, 10, 15, 21};

constexpr std::array<Word, 64> kSine = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

} // namespace

QString GetMD5(const QString& text)
{
    const QList<Word> x = md5_ToWordArray(text);
    Word a = 0x67452301;
    Word b = 0xefcdab89;
    Word c = 0x98badcfe;
    Word d = 0x10325476;

    for (qsizetype k = 0; k < x.size(); k += 16) {
        const Word aa = a;
        const Word bb = b;
        const Word cc = c;
        const Word dd = d;
        // The 64 steps of RFC 1321: the roles of a, b, c, d rotate each step;
        // round r takes its message word by its own rule.
        for (int i = 0; i < 64; ++i) {
            const int round = i / 16;
            int index = 0;
            switch (round) {
            case 0:
                index = i;
                break;
            case 1:
                index = (5 * i + 1) % 16;
                break;
            case 2:
                index = (3 * i + 5) % 16;
                break;
            default:
                index = (7 * i) % 16;
                break;
            }
            const Word m = x[k + index];
            const int s = kShift[round * 4 + i % 4];
            Word* roles[4] = {&a, &b, &c, &d};
            // Step i works on the word that started as role (4 - i % 4) % 4.
            Word& ra = *roles[(4 - i % 4) % 4];
            Word rb = *roles[(5 - i % 4) % 4];
            Word rc = *roles[(6 - i % 4) % 4];
            Word rd = *roles[(7 - i % 4) % 4];
            switch (round) {
            case 0:
                step<md5_F>(ra, rb, rc, rd, m, s, kSine[i]);
                break;
            case 1:
                step<md5_G>(ra, rb, rc, rd, m, s, kSine[i]);
                break;
            case 2:
                step<md5_H>(ra, rb, rc, rd, m, s, kSine[i]);
                break;
            default:
                step<md5_I>(ra, rb, rc, rd, m, s, kSine[i]);
                break;
            }
        }
        a += aa;
        b += bb;
        c += cc;
        d += dd;
    }
    return md5_WordToHex(b) + md5_WordToHex(c);
}
