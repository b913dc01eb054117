// The simulated instrument, talked to over its pty directly (raw termios), not through
// the program's port classes.

#include "instrument/Frame.h"
#include "platform/NumberText.h"
#include "sim/SimInstrument.h"
#include "sim/SimPanel.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace
{

using Clock = std::chrono::steady_clock;
using Fault = SimInstrument::Fault;

double number(const QByteArray& text)
{
    return numtext::strToFloat(QString::fromLatin1(text));
}

struct Chunk {
    QByteArray bytes;
    Clock::time_point at;
};

class SimTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_sim.start(m_dir.path()));
        openPort();
    }

    void openPort()
    {
        m_fd = ::open(m_sim.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(m_fd, 0);
        termios tio{};
        ASSERT_EQ(::tcgetattr(m_fd, &tio), 0);
        ::cfmakeraw(&tio);
        ASSERT_EQ(::tcsetattr(m_fd, TCSANOW, &tio), 0);
    }

    // Closes the port, waits until the simulator has seen it closed, and opens it again.
    void reopen()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        ASSERT_TRUE(testsupport::waitUntil([this] { return m_sim.openCount() == 0; }));
        openPort();
        ASSERT_TRUE(testsupport::waitUntil([this] { return m_sim.openCount() == 1; }));
    }

    void TearDown() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    void send(const QByteArray& bytes)
    {
        ASSERT_EQ(::write(m_fd, bytes.constData(), size_t(bytes.size())), bytes.size());
    }

    // Reads until `want` bytes arrived (0: one whole answer, known from its data count) or
    // the deadline passed; every read is kept with its arrival time.
    std::vector<Chunk> receive(int want = 0, std::chrono::milliseconds deadline = std::chrono::seconds(3))
    {
        std::vector<Chunk> chunks;
        QByteArray all;
        const auto end = Clock::now() + deadline;
        for (;;) {
            const int need = want > 0 ? want : (all.size() >= 5 ? std::uint8_t(all[4]) + 7 : 5);
            if (all.size() >= need && (want > 0 || all.size() >= 5))
                break;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
            if (left.count() <= 0)
                break;
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, int(left.count())) <= 0)
                continue;
            char buf[512];
            const ssize_t n = ::read(m_fd, buf, sizeof buf);
            if (n > 0) {
                chunks.push_back({QByteArray(buf, int(n)), Clock::now()});
                all.append(buf, int(n));
            }
        }
        return chunks;
    }

    static QByteArray joined(const std::vector<Chunk>& chunks)
    {
        QByteArray all;
        for (const Chunk& c : chunks)
            all += c.bytes;
        return all;
    }

    QByteArray answerTo(const QByteArray& request)
    {
        send(request);
        return joined(receive());
    }

    frame::Answer valid(const QByteArray& answer)
    {
        const auto* p = reinterpret_cast<const std::uint8_t*>(answer.constData());
        EXPECT_EQ(frame::checkAnswer(p, int(answer.size())), frame::Check::Ok) << answer.toHex().constData();
        return frame::parseAnswer(p, int(answer.size()));
    }

    QByteArray readText(std::uint16_t reg) { return valid(answerTo(frame::readRequest(1, reg))).data; }

    frame::Answer write(std::uint16_t reg, const QByteArray& text)
    {
        return valid(answerTo(*frame::writeRequest(1, reg, text)));
    }

    QTemporaryDir m_dir;
    SimInstrument m_sim{1};
    int m_fd = -1;
};

TEST_F(SimTest, ReadAnswersTheRegisterText)
{
    const frame::Answer a = valid(answerTo(frame::readRequest(1, 40066)));
    EXPECT_EQ(a.address, 1);
    EXPECT_EQ(a.function, 3);
    EXPECT_EQ(a.reg, 40066);
    EXPECT_EQ(a.data, QByteArray("RD5540-1"));

    // Defaults the identification chain and the polling rely on.
    EXPECT_EQ(readText(40071), QByteArray("9999,999"));
    EXPECT_EQ(readText(40072), QByteArray("0,001"));
    EXPECT_GE(readText(40067).toInt(), 13);
    EXPECT_EQ(readText(40003), QByteArray("0,0010"));
    EXPECT_NEAR(number(readText(40065)), 9000.0, 0.5); // 9 kΩ, a few ppm off
}

TEST_F(SimTest, WriteIsEchoedAndStored)
{
    const frame::Answer a = write(40078, "C");
    EXPECT_EQ(a.function, 6);
    EXPECT_EQ(a.reg, 40078);
    EXPECT_EQ(a.data, QByteArray("C"));
    EXPECT_EQ(m_sim.registerText(40078), QByteArray("C"));
    EXPECT_EQ(readText(40078), QByteArray("C"));

    // Texts the instrument does not take are refused, and keep the old one.
    const frame::Answer refused = valid(answerTo(*frame::writeRequest(1, 40078, "Z")));
    EXPECT_EQ(refused.function, 0x86);
    EXPECT_EQ(refused.data, QByteArray(1, 3));
    EXPECT_EQ(m_sim.registerText(40078), QByteArray("C"));
}

TEST_F(SimTest, ApplyWaitsNotReadyThenGivesReadOuts)
{
    m_sim.setNotReadyCount(3);
    write(40073, "1234,5");
    EXPECT_EQ(write(40074, "A").data, QByteArray("A"));
    EXPECT_EQ(readText(40087)[0] & 0x04, 0x04); // not ready shows in the status
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(readText(40075), QByteArray("0")) << i;
    EXPECT_EQ(readText(40075), QByteArray("1"));
    EXPECT_EQ(readText(40087), QByteArray("@"));

    EXPECT_EQ(readText(40076), QByteArray("1234500"));
    // Rвос in the ohm format of RD5540-1: the steps' actual values plus R02.
    const QByteArray trueVal = readText(40079);
    EXPECT_EQ(trueVal.indexOf(','), trueVal.size() - 4) << trueVal.constData();
    const double delta = number(readText(40080));
    EXPECT_NEAR(number(trueVal) - 1234.5, delta, 0.001);
    EXPECT_LT(std::abs(delta), 0.1);
    EXPECT_NEAR(number(readText(40081)), delta / 1234.5 * 100, 0.0001);
    const QByteArray iMax = readText(40084);
    EXPECT_TRUE(iMax.endsWith(" m")) << iMax.constData();
    EXPECT_EQ(iMax, QByteArray("14,23 m")); // sqrt(0,25 W / 1234,5 Ω)
    EXPECT_EQ(readText(40083), QByteArray("17,57"));

    // A value out of range is refused when applied.
    write(40073, "10000");
    const frame::Answer refused = valid(answerTo(*frame::writeRequest(1, 40074, "A")));
    EXPECT_EQ(refused.function, 0x86);
    EXPECT_EQ(refused.data, QByteArray(1, 3));
}

TEST_F(SimTest, ProfileIsStoredOnlyByTheStoreCommand)
{
    const QByteArray old = m_sim.registerText(40010);
    write(40010, "0,0081");
    EXPECT_EQ(readText(40010), old); // staged, not yet stored
    write(40074, "B");
    EXPECT_EQ(readText(40010), QByteArray("0,0081"));

    m_sim.setRefusePassword(true);
    write(40010, "0,0082");
    const frame::Answer refused = valid(answerTo(*frame::writeRequest(1, 40074, "B")));
    EXPECT_EQ(refused.function, 0x86);
    EXPECT_EQ(refused.data, QByteArray(1, 11));
    EXPECT_EQ(readText(40010), QByteArray("0,0081"));
}

TEST_F(SimTest, StatusBitsAndPanelChanges)
{
    m_sim.setStatusBits(0x30);
    EXPECT_EQ(readText(40087), QByteArray("p")); // 0x40 | 0x30
    write(40087, "0");
    EXPECT_EQ(m_sim.statusBits(), 0);

    m_sim.panelChange(40073, "500");
    EXPECT_EQ(m_sim.statusBits(), 0x02);
    EXPECT_EQ(readText(40073), QByteArray("500"));
    EXPECT_EQ(readText(40076), QByteArray("0500000"));
    m_sim.panelChange(40085, "B");
    EXPECT_EQ(m_sim.statusBits(), 0x22);
}

TEST_F(SimTest, FrontPanelCommandsChangeTheInstrumentAndRaiseTheirStatusBits)
{
    struct Case {
        const char* line;
        bool ok;
        std::uint16_t reg; // where the change shows, 0 for a refusal
        const char* text;  // that register's text afterwards
        std::uint8_t bits; // status bits afterwards (cleared before each line)
    };
    const Case cases[] = {
        {"value 123,45", true, 40073, "123,450", 0x02}, // stored in the ohm format of RD5540-1
        {"  VALUE   9999.999 ", true, 40073, "9999,999", 0x02},
        {"value 0", true, 40073, "0,000", 0x02},
        {"value 123,4567", false, 0, "", 0}, // not a whole number of steps
        {"value 10000", false, 0, "", 0},    // above the range
        {"value -1", false, 0, "", 0},
        {"value abc", false, 0, "", 0},
        {"value", false, 0, "", 0},
        {"display c", true, 40078, "C", 0x10},
        {"display I", false, 0, "", 0},
        {"mode D", true, 40085, "D", 0x20},
        {"mode E", false, 0, "", 0},
        {"mode AB", false, 0, "", 0},
        {"reset", false, 0, "", 0},
        {"   ", true, 0, "", 0}, // an empty line does nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        write(40087, "0");
        const QByteArray value = m_sim.registerText(40073);
        const simpanel::Reply reply = simpanel::command(m_sim, QString::fromLatin1(c.line));
        EXPECT_EQ(reply.ok, c.ok) << reply.text.toStdString();
        EXPECT_EQ(m_sim.statusBits(), c.bits);
        if (c.reg != 0) {
            EXPECT_EQ(m_sim.registerText(c.reg), QByteArray(c.text));
            EXPECT_TRUE(reply.text.startsWith(QString::number(c.reg))) << reply.text.toStdString();
        } else {
            EXPECT_EQ(m_sim.registerText(40073), value);
        }
    }
    EXPECT_TRUE(simpanel::command(m_sim, "reset").text.contains("display L"));

    // A mode changed at the panel changes what the read-outs carry: R02 in 2-wire only.
    ASSERT_TRUE(m_sim.panelValue("100"));
    ASSERT_TRUE(m_sim.panelMode('A'));
    const double twoWire = number(readText(40079));
    ASSERT_TRUE(m_sim.panelMode('C'));
    EXPECT_NEAR(twoWire - number(readText(40079)), 0.012, 0.0011); // R02 0,0123 in 3 decimals
}

TEST_F(SimTest, FaultsChangeTheNextAnswers)
{
    // Silence: the silenced request gets nothing; the first answer is the next one's.
    m_sim.addFault(Fault::silence(1));
    send(frame::readRequest(1, 40066));
    EXPECT_EQ(valid(answerTo(frame::readRequest(1, 40068))).reg, 40068);

    m_sim.addFault(Fault::silence(-1, 40069));
    send(frame::readRequest(1, 40069));
    EXPECT_EQ(readText(40086), QByteArray("1.0.3"));
    m_sim.clearFaults();

    struct Case {
        const char* name;
        Fault fault;
        frame::Check check;
        int function;
        std::uint16_t reg;
        int size;
    };
    const Case cases[] = {
        {"bad CRC", Fault::badCrc(1), frame::Check::BadCrc, 3, 40066, 15},
        {"zero count", Fault::zeroCount(1), frame::Check::ZeroCount, 3, 40066, 7},
        {"exception", Fault::exception(12, 1), frame::Check::Ok, 0x83, 40066, 8},
        {"wrong register", Fault::wrongRegister(1, 1), frame::Check::Ok, 3, 40067, 15},
        {"oversized", Fault::oversized(200, 1), frame::Check::Truncated, 3, 40066, 207},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_sim.addFault(c.fault);
        const QByteArray a = answerTo(frame::readRequest(1, 40066));
        ASSERT_EQ(a.size(), c.size) << a.toHex().constData();
        const auto* p = reinterpret_cast<const std::uint8_t*>(a.constData());
        EXPECT_EQ(frame::checkAnswer(p, int(a.size())), c.check);
        const frame::Answer parsed = frame::parseAnswer(p, int(a.size()));
        EXPECT_EQ(parsed.function, c.function);
        EXPECT_EQ(parsed.reg, c.reg);
        if (c.function == 0x83) {
            EXPECT_EQ(parsed.data, QByteArray(1, 12));
        }
        // The count is used up: the next answer is sound again.
        EXPECT_EQ(readText(40066), QByteArray("RD5540-1"));
    }

    m_sim.addFault(Fault::garbage(200, 1));
    send(frame::readRequest(1, 40066));
    EXPECT_EQ(joined(receive(200)).size(), 200);
}

TEST_F(SimTest, ExceptionOnlyForItsRegister)
{
    m_sim.addFault(Fault::exception(10, 2, 40075));
    EXPECT_EQ(readText(40066), QByteArray("RD5540-1"));
    for (int i = 0; i < 2; ++i) {
        const frame::Answer a = valid(answerTo(frame::readRequest(1, 40075)));
        EXPECT_EQ(a.function, 0x83);
        EXPECT_EQ(a.data, QByteArray(1, 10));
    }
    EXPECT_EQ(readText(40075), QByteArray("1"));
}

TEST_F(SimTest, SplitAndDelayedAnswersKeepTheirTiming)
{
    m_sim.addFault(Fault::split(3, 80, 1));
    send(frame::readRequest(1, 40066));
    const auto chunks = receive();
    EXPECT_EQ(valid(joined(chunks)).data, QByteArray("RD5540-1"));
    ASSERT_EQ(chunks.size(), 3u);
    for (std::size_t i = 1; i < chunks.size(); ++i)
        EXPECT_GE(chunks[i].at - chunks[i - 1].at, std::chrono::milliseconds(60)) << i;

    m_sim.addFault(Fault::delay(150, 1));
    const auto sent = Clock::now();
    send(frame::readRequest(1, 40066));
    const auto late = receive();
    ASSERT_FALSE(late.empty());
    EXPECT_GE(late.front().at - sent, std::chrono::milliseconds(140));
}

TEST_F(SimTest, VariantAndAddress)
{
    m_sim.setVariant(3);
    EXPECT_EQ(readText(40066), QByteArray("RD5540-3"));
    EXPECT_EQ(readText(40071), QByteArray("999999,9"));
    EXPECT_EQ(readText(40072), QByteArray("0,1"));
    m_sim.setVariant(5);
    EXPECT_EQ(readText(40071), QByteArray("99999990"));
    EXPECT_EQ(readText(40072), QByteArray("10"));

    // Bound to address 4, the instrument ignores address 1 and answers with its own.
    m_sim.setAddress(4);
    send(frame::readRequest(1, 40066));
    const frame::Answer a = valid(answerTo(frame::readRequest(4, 40067)));
    EXPECT_EQ(a.reg, 40067);
    EXPECT_EQ(a.address, 4);
    EXPECT_EQ(m_sim.requestCount(), 7);
}

TEST_F(SimTest, NoiseIsSkippedAndBadRequestsGetNoAnswer)
{
    // Noise in front of a request, a request with a broken CRC, a partial one left alone:
    // only the sound requests are answered, in order.
    send(QByteArray::fromHex("ff0007") + frame::readRequest(1, 40066));
    EXPECT_EQ(valid(joined(receive())).reg, 40066);

    QByteArray broken = frame::readRequest(1, 40068);
    broken[7] = char(broken[7] ^ 1);
    send(broken);
    send(QByteArray::fromHex("01069c890541")); // a write that never ends
    ASSERT_TRUE(testsupport::waitUntil([this] { return m_sim.discardedBytes() >= 9; }));
    EXPECT_EQ(valid(answerTo(frame::readRequest(1, 40069))).reg, 40069); // the first answer since

    const auto log = m_sim.requests();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].reg, 40066);
    EXPECT_TRUE(log[0].crcOk);
    EXPECT_EQ(log[1].reg, 40068);
    EXPECT_FALSE(log[1].crcOk);
    EXPECT_EQ(log[2].reg, 40069);
    EXPECT_EQ(m_sim.discardedBytes(), 9);
}

TEST_F(SimTest, RequestLogKeepsTheExactSequence)
{
    write(40078, "B");
    readText(40085);
    write(40074, "A");
    const auto log = m_sim.requests();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].function, 6);
    EXPECT_EQ(log[0].reg, 40078);
    EXPECT_EQ(log[0].text, QByteArray("B"));
    EXPECT_EQ(log[0].raw, *frame::writeRequest(1, 40078, "B"));
    EXPECT_EQ(log[1].function, 3);
    EXPECT_EQ(log[1].reg, 40085);
    EXPECT_TRUE(log[1].text.isEmpty());
    EXPECT_EQ(log[2].text, QByteArray("A"));
    m_sim.clearRequests();
    EXPECT_EQ(m_sim.requestCount(), 0);
}

TEST_F(SimTest, PortKeepsNothingForItsNextUser)
{
    ASSERT_TRUE(testsupport::waitUntil([this] { return m_sim.openCount() == 1; }));

    // An answer left unread when the port is closed is gone when it is opened again.
    send(frame::readRequest(1, 40066));
    pollfd p{m_fd, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 3000), 1);
    reopen();

    // An answer that falls due while the port is closed is dropped.
    m_sim.addFault(Fault::delay(100, 1));
    send(frame::readRequest(1, 40067));
    ASSERT_TRUE(testsupport::waitUntil([this] { return m_sim.requestCount() == 2; }));
    ::close(m_fd);
    m_fd = -1;
    ASSERT_TRUE(testsupport::waitUntil([this] { return m_sim.droppedAnswers() == 1; }));
    reopen();

    EXPECT_EQ(valid(answerTo(frame::readRequest(1, 40068))).reg, 40068);
}

TEST(SimLink, LinkAppearsAndIsRemovedByStop)
{
    QTemporaryDir dir;
    const QString sub = dir.filePath(QStringLiteral("made"));
    SimInstrument first;
    SimInstrument second(2);
    ASSERT_TRUE(first.start(sub));
    ASSERT_TRUE(second.start(sub));
    EXPECT_FALSE(first.start(sub));

    const QFileInfo link(first.linkPath());
    EXPECT_TRUE(link.isSymLink());
    EXPECT_EQ(link.symLinkTarget(), first.slavePath());
    EXPECT_TRUE(link.fileName().startsWith(QStringLiteral("rd5540-%1-").arg(::getpid())));
    const QStringList names = QDir(sub).entryList(QDir::System | QDir::Files, QDir::Name);
    ASSERT_EQ(names.size(), 2);
    EXPECT_EQ(QDir(sub).filePath(names[0]), first.linkPath()); // creation order
    EXPECT_EQ(QDir(sub).filePath(names[1]), second.linkPath());

    const QString path = first.linkPath();
    first.stop();
    EXPECT_FALSE(QFileInfo(path).isSymLink());
    EXPECT_TRUE(first.linkPath().isEmpty());
    first.stop();                  // idempotent
    ASSERT_TRUE(first.start(sub)); // restartable
}

} // namespace
