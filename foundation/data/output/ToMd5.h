#pragma once

#include <QString>

// The password form: characters 9 to 24, in lower case, of an MD5 digest
// (RFC 1321) taken over one code per character of the text. Each code is the
// character's code page 936 code widened with its sign, so a text of
// single-byte characters gives the slice of its standard MD5 digest, while a
// double-byte character counts as one character and sets 0xFF in the high
// bytes of its word. Every password stored in tb_user has this form.
QString GetMD5(const QString& text);
