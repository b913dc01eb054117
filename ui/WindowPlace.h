#pragma once
// Where the program's windows open: at the place they are given, moved just as far as needed
// for the whole window to lie within the available geometry of the screen it opens on.

#include <QPoint>
#include <QRect>
#include <QSize>

class QScreen;
class QWidget;

// The top left at which a window of `size` wanted at `at` lies within `avail`, moved no further
// than needed; where it is wider or taller than `avail`, its left or top edge is kept on it.
QPoint placeWithin(const QRect& avail, QSize size, QPoint at);

// Moves w to `at`, then into the available geometry of screen (by default the screen under
// `at`, else the primary one): a window larger than the screen keeps its top left on it.
void clampToScreen(QWidget& w, QPoint at, const QScreen* screen = nullptr);

// clampToScreen now, and for a window not shown yet once more when it is shown, when the
// window system has given it its frame.
void placeOnScreen(QWidget& w, QPoint at);
