#include "Cp936.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>

namespace
{

// iconv over one conversion; a descriptor per call keeps the functions re-entrant.
class Converter
{
  public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts the whole input; false when some of it could not be converted.
    bool convert(const char* in, size_t inLen, QByteArray& out)
    {
        out.clear();
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char buffer[256];
        char* src = const_cast<char*>(in);
        while (inLen > 0) {
            char* dst = buffer;
            size_t room = sizeof buffer;
            size_t rc = iconv(m_cd, &src, &inLen, &dst, &room);
            out.append(buffer, qsizetype(dst - buffer));
            if (rc == size_t(-1) && errno != E2BIG)
                return false;
        }
        char* dst = buffer;
        size_t room = sizeof buffer;
        iconv(m_cd, nullptr, nullptr, &dst, &room);
        out.append(buffer, qsizetype(dst - buffer));
        return true;
    }

  private:
    iconv_t m_cd;
};

QByteArray encodeUnit(char16_t unit)
{
    if (unit < 0x80)
        return QByteArray(1, char(unit));
    Converter conv("CP936", "UTF-16LE");
    const char in[2] = {char(unit & 0xFF), char(unit >> 8)};
    QByteArray out;
    if (!conv.ok() || !conv.convert(in, 2, out) || out.isEmpty())
        return QByteArray(1, '?');
    return out;
}

} // namespace

namespace Cp936
{

QByteArray encode(const QString& text)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    for (QChar ch : text)
        out.append(encodeUnit(ch.unicode()));
    return out;
}

QString decode(const QByteArray& bytes)
{
    QString out;
    qsizetype i = 0;
    while (i < bytes.size()) {
        const uchar b = uchar(bytes.at(i));
        if (b < 0x80) {
            out.append(QChar(b));
            ++i;
            continue;
        }
        const qsizetype len = (b > 0x80 && b < 0xFF && i + 1 < bytes.size()) ? 2 : 1;
        Converter conv("UTF-16LE", "CP936");
        QByteArray utf16;
        if (conv.ok() && conv.convert(bytes.constData() + i, size_t(len), utf16) && utf16.size() >= 2) {
            out.append(
                QString::fromUtf16(reinterpret_cast<const char16_t*>(utf16.constData()), utf16.size() / 2));
        } else {
            out.append(QChar(0xFFFD));
        }
        i += len;
    }
    return out;
}

int charCode(QChar ch)
{
    const QByteArray bytes = encodeUnit(ch.unicode());
    if (bytes.size() == 1)
        return uchar(bytes.at(0));
    const int word = (uchar(bytes.at(0)) << 8) | uchar(bytes.at(1));
    return int(int16_t(uint16_t(word)));
}

} // namespace Cp936
