#pragma once
// Code page 1251 <-> Unicode, for frames, profile and value-list files and settings.ini.
// Conversion goes through iconv; what cannot be converted is refused, never garbled.

#include <QByteArray>
#include <QString>

namespace cp1251
{

// Unicode text to CP1251 bytes. A character that has no CP1251 byte makes the
// conversion fail: ok (if given) becomes false and an empty array is returned.
QByteArray fromUnicode(const QString& text, bool* ok = nullptr);

// CP1251 bytes to Unicode text. The one byte CP1251 leaves undefined (0x98) fails the
// conversion: ok becomes false and an empty text is returned.
QString toUnicode(const QByteArray& bytes, bool* ok = nullptr);

} // namespace cp1251
