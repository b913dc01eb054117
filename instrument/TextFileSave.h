#pragma once
// Saving a list of lines as the operator's text files (value lists, the event log): the path
// checked against the 8-bit file-name buffer first, failures told in an error box. Also the
// header line of a value-list file, which the history and the value-list editor both write.

#include "platform/TextFile.h"

#include <QString>
#include <QStringList>

namespace textsave
{

constexpr int PathBufferBytes = 100; // the 8-bit path of a text file, terminating zero included

// "RD5540-3;w;o" for an Ohm list; "RD5540-1;w;c;1;100" for a °C list of thermometer type
// rtdType (0..3) and R0 rt0 in Ω.
QString valueListHeader(const QString& deviceName, bool celsius, int rtdType, int rt0);

// Why a path was refused, in Russian or English, naming the byte limit; empty for Ok.
QString pathProblemText(textfile::PathCheck check, int maxBytes, bool russian);

// Writes lines at path (CR LF line ends, code page 1251). A path the buffer cannot hold, or one
// with characters outside the code page, is refused rather than cut or garbled. False, after an
// error box in Russian or English, when refused or not written; an earlier file then stays.
bool saveTextFile(const QString& path, const QStringList& lines, bool russian);

// As saveTextFile, for a file whose bytes the caller has encoded.
bool saveTextBytes(const QString& path, const QByteArray& bytes, bool russian);

} // namespace textsave
