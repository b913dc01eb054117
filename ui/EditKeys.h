#pragma once
// Key presses as the value edits' key handlers see them, and the side ways into a line edit
// (paste, drop, the middle button's selection) that would let text pass round those handlers.

#include <QByteArray>
#include <QChar>
#include <QString>

class QEvent;
class QKeyEvent;
class QLineEdit;

namespace editkeys
{

// The character a key press types: 13 for Enter, 8 for Backspace; null for keys that type
// nothing (Delete, arrows, modifiers alone).
QChar typedChar(const QKeyEvent* e);

// Key combinations with which a line edit would change its text by itself (paste, cut, undo,
// redo, the word and line deletions); the plain Backspace and Delete keys are not among them.
bool editsByItself(const QKeyEvent* e);

// The edit's text and the typed character as the code page 1251 bytes the key filters match;
// false when either has no such form, and the character is then dropped.
bool cp1251Typing(const QString& text, QChar key, QByteArray* textBytes, char* keyByte);

// Takes the context menu (and its Paste) and drops away from the edit.
void closeSideEntrances(QLineEdit* edit);

// A drag or drop, or a middle-button press or release (the X11 selection paste).
bool isSideEntrance(const QEvent* event);

} // namespace editkeys
