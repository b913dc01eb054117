#include "ui/WindowPlace.h"

#include <QEvent>
#include <QGuiApplication>
#include <QObject>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace
{

// Places its window once more at the first show, then goes.
class PlaceWhenShown : public QObject
{
public:
    explicit PlaceWhenShown(QWidget* w) : QObject(w), m_window(w) { w->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window && event->type() == QEvent::Show) {
            clampToScreen(*m_window, m_window->pos());
            m_window->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    QWidget* m_window;
};

} // namespace

QPoint placeWithin(const QRect& avail, QSize size, QPoint at)
{
    // The far edge first, then the near one: a window larger than the screen keeps its top
    // left on it.
    const int x = std::max(avail.left(), std::min(at.x(), avail.right() + 1 - size.width()));
    const int y = std::max(avail.top(), std::min(at.y(), avail.bottom() + 1 - size.height()));
    return {x, y};
}

void clampToScreen(QWidget& w, QPoint at, const QScreen* screen)
{
    if (!screen)
        screen = QGuiApplication::screenAt(at);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen) {
        w.move(at);
        return;
    }
    // Before the window is shown its frame is not known: its own size stands for it.
    const QSize size = w.isVisible() ? w.frameGeometry().size() : w.size();
    w.move(placeWithin(screen->availableGeometry(), size, at));
}

void placeOnScreen(QWidget& w, QPoint at)
{
    clampToScreen(w, at);
    if (!w.isVisible())
        new PlaceWhenShown(&w);
}
