#pragma once

#include <QString>

// Pinyin initials for keyword search: 中国 gives ZG. Chinese characters are
// looked up by their code page 936 code in a table of boundary characters of
// the GB2312 first level, which is ordered by reading.

// One upper-case letter per Latin letter and per Chinese character found in
// the table, spaces removed; everything else gives nothing.
QString GetPinyin(const QString& text);
// The initials of every character in order, including the three spaces that a
// double-byte character below the table gives.
QString GetPinyinByTable(const QString& text);
// The initial of the first character of ch: its upper case for a Latin
// letter, three spaces for a double-byte character below the table, the
// table's letter above it, otherwise the empty text.
QString GetInitialByTable(const QString& ch);
