#pragma once
// Text files as the program writes them: a list of lines, each ended by CR LF (the last one
// included), 8-bit code page 1251 without a BOM. A write replaces the file in one step (a
// temporary file beside it, then a rename), so a failed write leaves an earlier file as it was.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace textfile
{

enum class PathCheck { Ok, TooLong, OutsideCodePage };

// Whether path, as code page 1251 text with its terminating zero, fits a buffer of
// bufferBytes. A character without a byte in the code page (or a NUL) is OutsideCodePage.
PathCheck checkCp1251Path(const QString& path, int bufferBytes);

// The file's bytes. Lines with a character that code page 1251 lacks (the Greek Δ, δ and μ
// of read-out lines) would lose it, so such a list is written as UTF-8 behind a BOM instead,
// the other encoding the program's text readers take.
QByteArray encodeLines(const QStringList& lines);

// Writes bytes to path through a temporary file beside it that replaces the file only once
// everything is written. True when the complete file is in place; otherwise *error (if
// given) says why and the file at path is untouched.
bool writeBytes(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Writes encodeLines(lines) to path. True when the complete file is in place; otherwise
// *error (if given) says why and the file at path is untouched.
bool writeLines(const QString& path, const QStringList& lines, QString* error = nullptr);

} // namespace textfile
