#include "tests/TestSupport.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <csignal>
#include <sys/fsuid.h>
#include <sys/resource.h>

namespace testsupport
{

QPoint placedAt(const QWidget* window, QPoint wanted)
{
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize size = window->frameGeometry().size();
    return {std::max(avail.left(), std::min(wanted.x(), avail.right() + 1 - size.width())),
            std::max(avail.top(), std::min(wanted.y(), avail.bottom() + 1 - size.height()))};
}

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

QByteArray readFileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool writeFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

void withFileSizeLimit(std::size_t limitBytes, const std::function<void()>& action)
{
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = static_cast<rlim_t>(limitBytes);
    setrlimit(RLIMIT_FSIZE, &small);
    action();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
}

UnprivilegedFiles::UnprivilegedFiles() : m_previous(setfsuid(65534)) {}

UnprivilegedFiles::~UnprivilegedFiles()
{
    setfsuid(m_previous);
}

} // namespace testsupport
