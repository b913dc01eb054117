#include "platform/PortTable.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace porttable
{

namespace
{

bool g_includeSystemPorts = true;
QString g_simDirOverride;

const QString LinkPrefix = QStringLiteral("rd5540-");

// A link is named rd5540-<pid>-<serial>; a simulator that died without removing its
// link must not take up a port number. Names that carry no pid are not ours.
bool ownerAlive(const QString& linkName)
{
    const QStringList parts = linkName.mid(LinkPrefix.size()).split(QLatin1Char('-'));
    if (parts.size() < 2)
        return false;
    bool ok = false;
    const qint64 pid = parts.front().toLongLong(&ok);
    // pid 0 and negative pids would address process groups, not one process.
    if (!ok || pid <= 0 || pid != qint64(pid_t(pid)))
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno != ESRCH;
}

// Asking the system for its serial devices takes milliseconds, and probing asks once per
// port number, up to 256 times in a row; a list a moment old is as good for that.
constexpr qint64 SystemListLifetimeMs = 1000;

QStringList systemPorts()
{
    static QStringList cached;
    static QElapsedTimer age;
    if (age.isValid() && age.elapsed() < SystemListLifetimeMs)
        return cached;
    QStringList list;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : infos)
        list << info.systemLocation();
    std::sort(list.begin(), list.end());
    cached = list;
    age.start();
    return list;
}

QStringList simulatorPorts()
{
    const QString dirPath = g_simDirOverride.isEmpty() ? simDirectory() : g_simDirOverride;
    QDir dir(dirPath);
    if (!dir.exists())
        return {};
    // QDir::System lists symbolic links whose target is gone as well; they are sorted
    // out below together with the rest.
    QStringList names = dir.entryList({LinkPrefix + QLatin1Char('*')},
                                      QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    std::sort(names.begin(), names.end());
    QStringList list;
    for (const QString& name : names) {
        const QFileInfo link(dir.filePath(name));
        if (!link.isSymLink() || !link.exists() || !ownerAlive(name))
            continue;
        list << link.filePath();
    }
    return list;
}

} // namespace

QString simDirectory()
{
    const QString fromEnv = qEnvironmentVariable("VARDEKO_SIM_DIR");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QStringLiteral("/tmp/vardeko-sim-%1").arg(::getuid());
}

QStringList ports()
{
    QStringList list;
    if (g_includeSystemPorts)
        list << systemPorts();
    list << simulatorPorts();
    return list;
}

QString location(int number)
{
    if (number < 1 || number > MaxPort)
        return QString();
    const QStringList list = ports();
    return number <= list.size() ? list.at(number - 1) : QString();
}

void setIncludeSystemPorts(bool include)
{
    g_includeSystemPorts = include;
}

void setSimDirectoryOverride(const QString& dir)
{
    g_simDirOverride = dir;
}

} // namespace porttable
