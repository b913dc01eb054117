#pragma once
// Writing an actual-values profile file: the header line, then one value text per line,
// CR LF line ends, code page 1251. A save replaces the file in one step, so a failed or
// cut-short write leaves the earlier file as it was. Also the check that a chosen path can
// be handed to the profile reader, whose path is 8-bit text of at most 199 bytes.

#include "platform/TextFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace profilefile
{

constexpr int MaxPathBytes = 199; // the reader's path buffer holds 200 bytes with the zero
constexpr int MaxValueChars = 12; // a value line carries at most this many characters

using PathCheck = textfile::PathCheck;

// The path in code page 1251 in *out (empty unless Ok).
PathCheck cp1251Path(const QString& path, QByteArray* out);

// The message for a refused path, in Russian or English; empty for Ok.
QString pathProblemText(PathCheck check, bool russian);

// The path in code page 1251 in *out when the reader can take it; otherwise an error box
// (in Russian or English) says why, and false.
bool acceptPath(const QString& path, QByteArray* out, bool russian);

// Runs the main window's open dialog for a text file and checks the chosen path as
// acceptPath does. True with both forms of the path when the reader can take it; false when
// the dialog was cancelled or the path refused (with its message).
bool chooseOpenPath(bool russian, QString* path, QByteArray* path8);

// Writes header and values (each cut to MaxValueChars characters); true when the complete
// file is in place. On false *error (if given) says why and the earlier file is untouched.
bool writeProfileFile(const QString& path, const QString& header, const QStringList& values,
                      QString* error = nullptr);

} // namespace profilefile
