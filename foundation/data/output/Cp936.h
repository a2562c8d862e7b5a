#pragma once

#include <QByteArray>
#include <QString>

// Code page 936 (GBK), the code page of the program's text files and of the
// character codes the password form and the pinyin initials work on.
namespace Cp936
{
// The bytes of a text; a character that code page 936 cannot hold becomes "?".
QByteArray encode(const QString& text);
// The text of code page 936 bytes; invalid bytes become U+FFFD.
QString decode(const QByteArray& bytes);
// The code of one UTF-16 unit: its byte for a single-byte character, lead byte
// × 256 + trail byte read as a signed 16-bit number for a double-byte one,
// the code of "?" (63) when it cannot be mapped.
int charCode(QChar ch);
} // namespace Cp936
