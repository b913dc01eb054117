#pragma once
// Where the main window keeps settings.ini: beside the program, or in the user's configuration
// folder when the program's folder cannot take the file. Tests point both folders elsewhere.

#include <QString>

namespace settingsfile
{

// The program's folder unless a test has set another; an empty text sets it back.
QString programDirectory();
void setProgramDirectory(const QString& dir);

// The user's configuration folder of the program unless a test has set another.
QString fallbackDirectory();
void setFallbackDirectory(const QString& dir);

QString programPath();  // settings.ini in programDirectory()
QString fallbackPath(); // settings.ini in fallbackDirectory()

// The file the settings are read from. While the program's folder can be written: the one
// beside the program, or none. Otherwise the one in the configuration folder, else a read-only
// one beside the program. Empty when there is none.
QString readPath();

} // namespace settingsfile
