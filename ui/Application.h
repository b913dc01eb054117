#pragma once
// The application object of the program and of the tests: it keeps the message loop going
// when a handler throws, showing what went wrong, and tells the main window about every
// wheel event once its default handling is done.

#include <QApplication>
#include <QString>

class QWheelEvent;

class VardekoApplication : public QApplication
{
    Q_OBJECT
public:
    VardekoApplication(int& argc, char** argv);

    // Delivers the event; an exception that escapes the receiver is shown and swallowed,
    // so the loop goes on.
    bool notify(QObject* receiver, QEvent* event) override;

    // The one display of failures: an error box with the standard caption and the text.
    static void showException(const QString& text);

    // The running application object when it is a VardekoApplication, else nullptr.
    static VardekoApplication* instance();

signals:
    // After the whole default handling of a wheel event (propagation to the parents
    // included); emitted once per event, whatever widgets the event passed through. The
    // receiver is the outermost one: the native window (a QWindow) for a wheel from the
    // system, the widget itself for an event sent straight to a widget.
    void wheelDelivered(QObject* receiver, QWheelEvent* event);

private:
    int m_wheelDepth = 0; // wheel events being delivered; nested sends are part of one event
};
