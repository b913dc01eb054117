// The serial port by number: the port table over a simulator directory, and ComPort
// moving bytes through a pseudo-terminal that the test holds the other end of.
#include "platform/ComPort.h"
#include "platform/PortTable.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace
{

// One pseudo-terminal: the test keeps the master, the port under test opens the slave.
class Pty
{
public:
    Pty()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            return;
        m_slavePath = QString::fromLocal8Bit(::ptsname(m_master));
        // Raw line discipline, so that bytes pass unchanged in both directions.
        const int slave = ::open(::ptsname(m_master), O_RDWR | O_NOCTTY);
        if (slave < 0)
            return;
        termios tio{};
        ::tcgetattr(slave, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(slave, TCSANOW, &tio);
        ::close(slave);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~Pty()
    {
        if (m_master >= 0)
            ::close(m_master);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool ok() const { return m_master >= 0 && !m_slavePath.isEmpty(); }
    QString slavePath() const { return m_slavePath; }

    void write(const QByteArray& bytes) const
    {
        ASSERT_EQ(::write(m_master, bytes.constData(), bytes.size()), bytes.size());
    }

    // The line settings as the port under test left them (Linux reports the slave's).
    termios settings() const
    {
        termios tio{};
        ::tcgetattr(m_master, &tio);
        return tio;
    }

    // Reads what has arrived so far, without waiting.
    QByteArray readNow() const
    {
        char buf[256];
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        return n > 0 ? QByteArray(buf, n) : QByteArray();
    }

private:
    int m_master = -1;
    QString m_slavePath;
};

class PortTableTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        porttable::setIncludeSystemPorts(false);
        porttable::setSimDirectoryOverride(m_dir.path());
    }
    void TearDown() override
    {
        porttable::setSimDirectoryOverride(QString());
        porttable::setIncludeSystemPorts(true);
    }

    // Adds the link a simulator would make; returns its path.
    QString link(const QString& name, const QString& target)
    {
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(QFile::link(target, path)) << name.toStdString();
        return path;
    }
    static QString own(int serial) { return QStringLiteral("rd5540-%1-%2").arg(::getpid()).arg(serial); }

    // A pid that surely belongs to no process: a child that has been reaped.
    static pid_t deadPid()
    {
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(0);
        ::waitpid(child, nullptr, 0);
        return child;
    }

    QTemporaryDir m_dir;
};

TEST_F(PortTableTest, LiveLinksInNameOrderOthersSkipped)
{
    Pty a;
    Pty b;
    ASSERT_TRUE(a.ok() && b.ok());
    const QString second = link(own(2), b.slavePath());
    const QString first = link(own(1), a.slavePath());
    link(QStringLiteral("rd5540-%1-3").arg(::getpid()), m_dir.filePath("gone")); // target missing
    link(QStringLiteral("rd5540-%1-4").arg(deadPid()), a.slavePath());           // owner gone
    link(QStringLiteral("rd5540-0-5"), a.slavePath());                           // no real pid
    link(QStringLiteral("rd5540-junk"), a.slavePath());                          // not our format
    link(QStringLiteral("other-%1-6").arg(::getpid()), a.slavePath());           // not a simulator
    QFile plain(m_dir.filePath(QStringLiteral("rd5540-%1-7").arg(::getpid())));  // not a link
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();

    EXPECT_EQ(porttable::ports(), (QStringList{first, second}));
    EXPECT_EQ(porttable::location(1), first);
    EXPECT_EQ(porttable::location(2), second);
    EXPECT_EQ(porttable::location(3), QString());
    EXPECT_EQ(porttable::location(0), QString());
    EXPECT_EQ(porttable::location(-1), QString());
}

TEST_F(PortTableTest, MissingDirectoryGivesEmptyTable)
{
    porttable::setSimDirectoryOverride(m_dir.filePath("nowhere"));
    EXPECT_TRUE(porttable::ports().isEmpty());
}

TEST(PortTableDirTest, SimDirectoryFromEnvironmentOrPerUser)
{
    const QByteArray saved = qgetenv("VARDEKO_SIM_DIR");
    qputenv("VARDEKO_SIM_DIR", "/tmp/elsewhere");
    EXPECT_EQ(porttable::simDirectory(), QStringLiteral("/tmp/elsewhere"));
    qunsetenv("VARDEKO_SIM_DIR");
    EXPECT_EQ(porttable::simDirectory(), QStringLiteral("/tmp/vardeko-sim-%1").arg(::getuid()));
    if (!saved.isEmpty())
        qputenv("VARDEKO_SIM_DIR", saved);
}

class ComPortTest : public PortTableTest
{
protected:
    void SetUp() override
    {
        PortTableTest::SetUp();
        ASSERT_TRUE(m_pty.ok());
        m_path = link(own(1), m_pty.slavePath());
    }
    Pty m_pty;
    QString m_path;
};

TEST_F(ComPortTest, BytesBothWaysByNumber)
{
    ComPort port;
    port.setComNumber(1);
    ASSERT_NO_THROW(port.open());
    ASSERT_TRUE(port.isOpen());
    EXPECT_EQ(port.systemLocation(), m_path);
    const termios tio = m_pty.settings();
    EXPECT_EQ(::cfgetospeed(&tio), speed_t(B9600));
    EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_TRUE(tio.c_cflag & CSTOPB);
    EXPECT_FALSE(tio.c_cflag & PARENB);
    EXPECT_FALSE(tio.c_cflag & CRTSCTS);
    EXPECT_FALSE(tio.c_iflag & (IXON | IXOFF));

    const QByteArray request("\x01\x03\x9c\x82\x00\x01\x0a\x72", 8);
    port.FlushOutBuffer();
    port.PutBlock(reinterpret_cast<const std::uint8_t*>(request.constData()), int(request.size()));
    QByteArray atMaster;
    EXPECT_TRUE(testsupport::waitUntil([&] {
        atMaster += m_pty.readNow();
        return atMaster.size() >= request.size();
    }));
    EXPECT_EQ(atMaster, request);

    int lastCount = 0;
    QByteArray received;
    QObject::connect(&port, &ComPort::TriggerAvail, [&](int count) {
        lastCount = count;
        std::uint8_t buf[128];
        const int got = port.GetBlock(buf, count);
        EXPECT_EQ(got, count);
        received.append(reinterpret_cast<const char*>(buf), got);
    });
    const QByteArray answer("\x01\x03\x9c\x82\x08RD5540-3\x5c\xe4", 15);
    m_pty.write(answer);
    EXPECT_TRUE(testsupport::waitUntil([&] { return received.size() >= answer.size(); }));
    EXPECT_EQ(received, answer);
    EXPECT_GT(lastCount, 0);

    port.close();
    EXPECT_FALSE(port.isOpen());
    port.close();
    EXPECT_FALSE(port.isOpen());
}

TEST_F(ComPortTest, GetBlockTakesAtMostCount)
{
    ComPort port;
    port.setComNumber(1);
    port.open();
    m_pty.write("abcdef");
    ASSERT_TRUE(testsupport::waitUntil([&] { return port.bytesAvailable() >= 6; }));
    std::uint8_t buf[4] = {};
    EXPECT_EQ(port.GetBlock(buf, 4), 4);
    EXPECT_EQ(QByteArray(reinterpret_cast<char*>(buf), 4), QByteArray("abcd"));
    EXPECT_EQ(port.GetBlock(buf, 4), 2);
    EXPECT_EQ(port.GetBlock(buf, 4), 0);
}

TEST_F(ComPortTest, OpenFailuresThrow)
{
    struct Case {
        const char* name;
        int number;
    };
    for (const Case& c : {Case{"pastTable", 2}, Case{"zero", 0}, Case{"past256", 257}}) {
        SCOPED_TRACE(c.name);
        ComPort port;
        port.setComNumber(c.number);
        EXPECT_THROW(port.open(), ComPortError);
        EXPECT_FALSE(port.isOpen());
        port.close();
    }

    // A port already in use by another opener is busy.
    ComPort first;
    first.setComNumber(1);
    ASSERT_NO_THROW(first.open());
    ComPort second;
    second.setComNumber(1);
    EXPECT_THROW(second.open(), ComPortError);
    EXPECT_FALSE(second.isOpen());
    first.close();
    EXPECT_NO_THROW(second.open());
}

TEST_F(ComPortTest, IoOnClosedPortThrowsAndCloseIsIdempotent)
{
    ComPort port;
    port.close();
    const std::uint8_t byte = 0x41;
    std::uint8_t buf[1];
    EXPECT_THROW(port.PutBlock(&byte, 1), ComPortError);
    EXPECT_THROW(port.FlushOutBuffer(), ComPortError);
    EXPECT_THROW(port.GetBlock(buf, 1), ComPortError);
    EXPECT_EQ(port.bytesAvailable(), 0);

    // Reopening an open port (the probing opens number after number) moves it.
    Pty other;
    ASSERT_TRUE(other.ok());
    const QString second = link(own(2), other.slavePath());
    port.setComNumber(1);
    port.open();
    port.setComNumber(2);
    port.open();
    EXPECT_EQ(port.systemLocation(), second);
    ComPort again;
    again.setComNumber(1);
    EXPECT_NO_THROW(again.open()); // number 1 was released
}

} // namespace
