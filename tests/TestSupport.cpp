#include "tests/TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace testsupport
{

bool waitUntil(const std::function<bool()>& pred, std::chrono::milliseconds deadline)
{
    QElapsedTimer clock;
    clock.start();
    while (!pred()) {
        if (clock.elapsed() > deadline.count())
            return pred();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

} // namespace testsupport
