#pragma once
// Shared by the input-mode, range-run and value-list files of the main window: the captions
// a run is told by and the period of timed input. Not part of the window's interface.

#include <QString>

class QLineEdit;
class QListWidget;
class TForm1;

namespace rundetail
{

inline const QString kIdle = QStringLiteral("--"); // no next value, no countdown

// The enter buttons of the range and the list: "Нет соединения с прибором!" without an
// instrument, nothing while a profile transfer runs; true when a value may go out.
bool readyToSend(TForm1& w);

// A timed run's enter button reads "Старт" or "Start" while no run is going.
bool isStartCaption(const QString& caption);

// The period in seconds (1..9999); 0 when the edit is empty or reads 0.
int periodSeconds(const QLineEdit* edit);

// "Период времени не указан!" when the period is missing; true when it is there.
bool checkPeriod(TForm1& w);

// The menus a timed run locks: the profile menu `Mfprof` and `MphysicVal`.
void setRunMenusEnabled(TForm1& w, bool enabled);

// A value text sent by a run, appended to the history list box in use and scrolled to.
void appendToHistory(TForm1& w, const QString& text);

// Row of the selected entry of a list box; -1 when none is selected.
int selectedRow(const QListWidget* list);

} // namespace rundetail
