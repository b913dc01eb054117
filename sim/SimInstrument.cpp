#include "sim/SimInstrument.h"

#include "instrument/Frame.h"
#include "instrument/Registers.h"
#include "platform/NumberText.h"
#include "platform/PortTable.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

namespace
{

constexpr int FirstRegister = 40001;
constexpr int LastRegister = 40087;
constexpr int HeaderSize = 5;
constexpr int ReadLength = 8;
// A partial request left alone this long is noise, not the start of a frame.
constexpr int SilenceMs = 10;

constexpr std::uint8_t ExcIllegalAddress = 2;
constexpr std::uint8_t ExcIllegalValue = 3;
constexpr std::uint8_t ExcWrongPassword = 11;

// Status text: 0x40 | bits keeps it a printable letter ('@' with nothing pending).
constexpr char StatusBase = 0x40;
constexpr std::uint8_t StatusMask = 0x3F;
constexpr std::uint8_t NotReadyBit = statusbit::NotReady;
constexpr std::uint8_t ValueChangedBit = statusbit::ValueChanged;
constexpr std::uint8_t DisplayChangedBit = statusbit::DisplayChanged;
constexpr std::uint8_t ModeChangedBit = statusbit::ModeChanged;

// Power and voltage ratings the maximum current is derived from.
constexpr double MaxPowerW = 0.25;
constexpr double MaxVoltageV = 100.0;
constexpr double MaxCurrentA = 0.1;

std::atomic<int> g_linkSerial{0};

int minDec(int variant)
{
    return variant - 4;
}
int maxDec(int variant)
{
    return variant + 2;
}

const char* ohmFormat(int variant)
{
    static const char* const formats[] = {"0.000", "0.00", "0.0", "0", "0"};
    return formats[variant - 1];
}

QByteArray fmt(const char* pattern, double v)
{
    return numtext::formatFloat(QString::fromLatin1(pattern), v).toLatin1();
}

bool toNumber(const QByteArray& text, double& out)
{
    return numtext::tryStrToFloat(QString::fromLatin1(text), out);
}

double topOfRange(int variant)
{
    return std::pow(10.0, maxDec(variant) + 1) - std::pow(10.0, minDec(variant));
}

std::uint16_t be16(const QByteArray& b, int at)
{
    return std::uint16_t((std::uint8_t(b[at]) << 8) | std::uint8_t(b[at + 1]));
}

// Length of the request that starts at `at`: 0 when more bytes are needed to know it,
// -1 when no request can start there.
int requestLength(const QByteArray& b, int at)
{
    const int avail = b.size() - at;
    if (avail < 2)
        return 0;
    const std::uint8_t function = std::uint8_t(b[at + 1]);
    if (function == frame::FuncRead)
        return ReadLength;
    if (function != frame::FuncWrite)
        return -1;
    if (avail < HeaderSize)
        return 0;
    const int n = std::uint8_t(b[at + 4]);
    return n > frame::MaxWriteText ? -1 : n + 7;
}

bool crcOk(const QByteArray& b, int at, int length)
{
    const auto* p = reinterpret_cast<const std::uint8_t*>(b.constData()) + at;
    const std::uint16_t crc = frame::Crc16(p, std::size_t(length - 2));
    return p[length - 2] == (crc & 0xFF) && p[length - 1] == (crc >> 8);
}

// Offset >= from of the first complete request with a valid CRC, or -1.
int findValidRequest(const QByteArray& b, int from)
{
    for (int at = from; at < b.size(); ++at) {
        const int length = requestLength(b, at);
        if (length > 0 && at + length <= b.size() && crcOk(b, at, length))
            return at;
    }
    return -1;
}

bool isProfile(std::uint16_t reg)
{
    return reg >= 40001 && reg <= 40065;
}

} // namespace

// --- Fault factories --------------------------------------------------------------------

using Fault = SimInstrument::Fault;

Fault Fault::silence(int count, std::uint16_t onlyRegister)
{
    return Fault{.kind = Kind::Silence, .count = count, .onlyRegister = onlyRegister};
}

Fault Fault::badCrc(int count)
{
    return Fault{.kind = Kind::BadCrc, .count = count};
}

Fault Fault::zeroCount(int count)
{
    return Fault{.kind = Kind::ZeroCount, .count = count};
}

Fault Fault::split(int pieces, int pauseMs, int count)
{
    return Fault{.kind = Kind::Split, .count = count, .pieces = pieces, .pauseMs = pauseMs};
}

Fault Fault::delay(int delayMs, int count, std::uint16_t onlyRegister)
{
    return Fault{.kind = Kind::Delay, .count = count, .onlyRegister = onlyRegister, .delayMs = delayMs};
}

Fault Fault::exception(int code, int count, std::uint16_t onlyRegister)
{
    return Fault{.kind = Kind::Exception, .count = count, .onlyRegister = onlyRegister, .code = code};
}

Fault Fault::wrongRegister(int registerOffset, int count)
{
    return Fault{.kind = Kind::WrongRegister, .count = count, .registerOffset = registerOffset};
}

Fault Fault::oversized(int size, int count)
{
    return Fault{.kind = Kind::Oversized, .count = count, .size = size};
}

Fault Fault::garbage(int size, int count)
{
    return Fault{.kind = Kind::Garbage, .count = count, .size = size};
}

// --- State ------------------------------------------------------------------------------

struct SimInstrument::Answer {
    QByteArray bytes; // empty: no answer
    int pieces = 1;
    int pauseMs = 0;
    int delayMs = 0;
};

SimInstrument::SimInstrument(int variant)
{
    m_regs[40001] = "0,0123";
    m_regs[40002] = "0,0011";
    m_regs[40067] = "1042";
    m_regs[40068] = "0,02";
    m_regs[40069] = "2024";
    m_regs[40070] = "****";
    m_regs[40074] = "A";
    m_regs[40075] = "1";
    m_regs[40077] = "0";
    m_regs[40078] = "A";
    m_regs[40082] = "0";
    m_regs[40085] = "A";
    m_regs[40086] = "1.0.3";
    m_regs[40087] = QByteArray(1, StatusBase);
    loadVariantLocked(std::clamp(variant, 1, 5));
}

SimInstrument::~SimInstrument()
{
    stop();
}

void SimInstrument::loadVariantLocked(int v)
{
    m_variant = v;
    const int lo = minDec(v);
    m_regs[40066] = "RD5540-" + QByteArray::number(v);
    m_regs[40071] = fmt(ohmFormat(v), topOfRange(v));
    m_regs[40072] = fmt(v <= 3 ? "0.###" : "0", std::pow(10.0, lo));
    for (int idx = 0; idx < 63; ++idx) {
        const double nominal = (idx % 9 + 1) * std::pow(10.0, lo + idx / 9);
        // A fixed pattern of deviations within +-30 ppm, so every run sees the same profile.
        const double deviation = ((idx * 7) % 13 - 6) * 5e-6;
        m_regs[std::uint16_t(40003 + idx)] = fmt("0.0000", nominal * (1.0 + deviation));
    }
    m_staged.clear();
    m_regs[40073] = fmt(ohmFormat(v), 0.0);
    applyValueLocked(0.0);
    m_notReadyLeft = 0;
}

void SimInstrument::applyValueLocked(double value)
{
    const int v = m_variant;
    const double unit = std::pow(10.0, minDec(v));
    const long long q = std::clamp<long long>(std::llround(value / unit), 0, 9999999);
    const QByteArray digits = QByteArray::number(q).rightJustified(7, '0');

    // The instrument reproduces the sum of the actual values of the switched steps.
    double reproduced = 0.0;
    for (int i = 0; i < 7; ++i) {
        const int d = digits[i] - '0';
        if (d == 0)
            continue;
        const int decade = 6 - i; // 0 is the lowest decade
        const double nominal = d * std::pow(10.0, minDec(v) + decade);
        double actual = nominal;
        if (!toNumber(m_regs[std::uint16_t(40003 + 9 * decade + d - 1)], actual))
            actual = nominal;
        reproduced += actual;
    }
    const char mode = m_regs[40085].isEmpty() ? 'A' : m_regs[40085][0];
    // Uncompensated modes carry the zero resistance of the connection in use.
    double zero = 0.0;
    if (mode == 'A' && toNumber(m_regs[40001], zero))
        reproduced += zero;
    else if (mode == 'B' && toNumber(m_regs[40002], zero))
        reproduced += zero;

    const double delta = reproduced - value;
    double current = MaxCurrentA;
    if (value > 0.0)
        current = std::min({MaxCurrentA, std::sqrt(MaxPowerW / value), MaxVoltageV / value});

    m_regs[40076] = digits;
    m_regs[40079] = fmt(ohmFormat(v), reproduced);
    m_regs[40080] = fmt("0.0000", delta);
    m_regs[40081] = fmt("0.0000", value > 0.0 ? delta / value * 100.0 : 0.0);
    m_regs[40084] = current >= 1e-3 ? fmt("0.00", current * 1e3) + " m" : fmt("0.0", current * 1e6) + " k";
    m_regs[40083] = fmt("0.00", current * value);
}

void SimInstrument::setVariant(int v)
{
    std::lock_guard lock(m_mutex);
    loadVariantLocked(std::clamp(v, 1, 5));
}

int SimInstrument::variant() const
{
    std::lock_guard lock(m_mutex);
    return m_variant;
}

void SimInstrument::setAddress(int a)
{
    std::lock_guard lock(m_mutex);
    m_address = std::clamp(a, 0, 255);
}

int SimInstrument::address() const
{
    std::lock_guard lock(m_mutex);
    return m_address;
}

void SimInstrument::setRegisterText(std::uint16_t reg, const QByteArray& text)
{
    std::lock_guard lock(m_mutex);
    m_regs[reg] = text;
}

QByteArray SimInstrument::registerText(std::uint16_t reg) const
{
    std::lock_guard lock(m_mutex);
    const auto it = m_regs.find(reg);
    return it == m_regs.end() ? QByteArray() : it->second;
}

void SimInstrument::panelChange(std::uint16_t reg, const QByteArray& text)
{
    std::lock_guard lock(m_mutex);
    m_regs[reg] = text;
    std::uint8_t bit = 0;
    if (reg == regNumber(Reg::SetValue)) {
        double value = 0.0;
        if (toNumber(text, value))
            applyValueLocked(value);
        m_notReadyLeft = m_notReadyCount;
        bit = ValueChangedBit;
    } else if (reg == regNumber(Reg::Display)) {
        bit = DisplayChangedBit;
    } else if (reg == regNumber(Reg::OutputMode)) {
        // The zero resistance that the read-outs carry depends on the mode.
        double value = 0.0;
        if (toNumber(m_regs[regNumber(Reg::SetValue)], value))
            applyValueLocked(value);
        bit = ModeChangedBit;
    }
    QByteArray& status = m_regs[regNumber(Reg::Status)];
    const std::uint8_t old = status.isEmpty() ? 0 : std::uint8_t(status[0]) & StatusMask;
    status = QByteArray(1, char(StatusBase | old | bit));
}

bool SimInstrument::panelValue(const QByteArray& text)
{
    double value = 0.0;
    if (!toNumber(QByteArray(text).replace('.', ','), value))
        return false;
    QByteArray stored;
    {
        std::lock_guard lock(m_mutex);
        const double unit = std::pow(10.0, minDec(m_variant));
        const double steps = value / unit;
        // The decades set whole steps only.
        if (value < 0.0 || value > topOfRange(m_variant) * (1.0 + 1e-12) ||
            std::abs(steps - std::round(steps)) > 1e-6)
            return false;
        stored = fmt(ohmFormat(m_variant), std::round(steps) * unit);
    }
    panelChange(regNumber(Reg::SetValue), stored);
    return true;
}

bool SimInstrument::panelDisplay(char letter)
{
    if (letter < 'A' || letter > 'H')
        return false;
    panelChange(regNumber(Reg::Display), QByteArray(1, letter));
    return true;
}

bool SimInstrument::panelMode(char letter)
{
    if (letter < 'A' || letter > 'D')
        return false;
    panelChange(regNumber(Reg::OutputMode), QByteArray(1, letter));
    return true;
}

void SimInstrument::setNotReadyCount(int n)
{
    std::lock_guard lock(m_mutex);
    m_notReadyCount = std::max(0, n);
}

void SimInstrument::setStatusBits(std::uint8_t bits)
{
    std::lock_guard lock(m_mutex);
    m_regs[regNumber(Reg::Status)] = QByteArray(1, char(StatusBase | (bits & StatusMask)));
}

std::uint8_t SimInstrument::statusBits() const
{
    std::lock_guard lock(m_mutex);
    const QByteArray& status = m_regs.at(regNumber(Reg::Status));
    return status.isEmpty() ? 0 : std::uint8_t(status[0]) & StatusMask;
}

void SimInstrument::setRefusePassword(bool on)
{
    std::lock_guard lock(m_mutex);
    m_refusePassword = on;
}

void SimInstrument::addFault(const Fault& fault)
{
    std::lock_guard lock(m_mutex);
    if (fault.count != 0)
        m_faults.push_back(fault);
}

void SimInstrument::clearFaults()
{
    std::lock_guard lock(m_mutex);
    m_faults.clear();
}

std::vector<SimInstrument::Request> SimInstrument::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void SimInstrument::clearRequests()
{
    std::lock_guard lock(m_mutex);
    m_requests.clear();
}

int SimInstrument::requestCount() const
{
    std::lock_guard lock(m_mutex);
    return int(m_requests.size());
}

int SimInstrument::discardedBytes() const
{
    std::lock_guard lock(m_mutex);
    return m_discarded;
}

int SimInstrument::droppedAnswers() const
{
    std::lock_guard lock(m_mutex);
    return m_droppedAnswers;
}

int SimInstrument::openCount() const
{
    return m_clients;
}

void SimInstrument::setRequestObserver(std::function<void(const Request&)> observer)
{
    std::lock_guard lock(m_mutex);
    m_observer = std::move(observer);
}

bool SimInstrument::isRunning() const
{
    std::lock_guard lock(m_mutex);
    return m_master >= 0;
}

QString SimInstrument::linkPath() const
{
    std::lock_guard lock(m_mutex);
    return m_linkPath;
}

QString SimInstrument::slavePath() const
{
    std::lock_guard lock(m_mutex);
    return m_slavePath;
}

// --- Lifecycle --------------------------------------------------------------------------

bool SimInstrument::start(const QString& dir)
{
    if (isRunning())
        return false;
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0)
        return false;
    char name[128] = {};
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || ::ptsname_r(master, name, sizeof name) != 0) {
        ::close(master);
        return false;
    }
    // Held open for the simulator's lifetime: with no slave open the master reads EIO.
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        ::close(master);
        return false;
    }
    termios tio{};
    if (::tcgetattr(slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(slave, TCSANOW, &tio);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    const int wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wake < 0) {
        ::close(slave);
        ::close(master);
        return false;
    }

    // Opens and closes of the slave by clients; our own descriptor was opened before.
    int notify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (notify >= 0 && ::inotify_add_watch(notify, name, IN_OPEN | IN_CLOSE) < 0) {
        ::close(notify);
        notify = -1;
    }

    const QString linkDir = dir.isEmpty() ? porttable::simDirectory() : dir;
    QDir().mkpath(linkDir);
    const QString linkPath = QDir(linkDir).filePath(
        QStringLiteral("rd5540-%1-%2").arg(::getpid()).arg(++g_linkSerial, 4, 10, QLatin1Char('0')));
    const QByteArray linkBytes = QFile::encodeName(linkPath);
    ::unlink(linkBytes.constData()); // a leftover of an earlier process with the same pid
    if (::symlink(name, linkBytes.constData()) != 0) {
        if (notify >= 0)
            ::close(notify);
        ::close(wake);
        ::close(slave);
        ::close(master);
        return false;
    }

    {
        std::lock_guard lock(m_mutex);
        m_master = master;
        m_slave = slave;
        m_wake = wake;
        m_notify = notify;
        m_linkPath = linkPath;
        m_slavePath = QString::fromLocal8Bit(name);
    }
    m_rx.clear();
    m_clients = 0;
    m_thread = std::thread(&SimInstrument::run, this);
    return true;
}

void SimInstrument::stop()
{
    if (!m_thread.joinable())
        return;
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(m_wake, &one, sizeof one);
    m_thread.join();
    QString linkPath;
    {
        std::lock_guard lock(m_mutex);
        ::close(m_wake);
        ::close(m_slave);
        ::close(m_master);
        if (m_notify >= 0)
            ::close(m_notify);
        m_wake = m_slave = m_master = m_notify = -1;
        linkPath = m_linkPath;
        m_linkPath.clear();
        m_slavePath.clear();
    }
    ::unlink(QFile::encodeName(linkPath).constData());
}

// --- Worker -----------------------------------------------------------------------------

bool SimInstrument::sleepMs(int ms)
{
    if (ms <= 0)
        return true;
    pollfd p{m_wake, POLLIN, 0};
    return ::poll(&p, 1, ms) == 0;
}

bool SimInstrument::writeAll(const char* data, int size)
{
    while (size > 0) {
        const ssize_t n = ::write(m_master, data, std::size_t(size));
        if (n > 0) {
            data += n;
            size -= int(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        // The slave's input queue is full: wait until there is room, or until stop().
        pollfd p[2] = {{m_master, POLLOUT, 0}, {m_wake, POLLIN, 0}};
        if (::poll(p, 2, -1) < 0 && errno != EINTR)
            return false;
        if (p[1].revents)
            return false;
    }
    return true;
}

void SimInstrument::trackClients()
{
    if (m_notify < 0)
        return;
    alignas(inotify_event) char buf[1024];
    for (;;) {
        const ssize_t n = ::read(m_notify, buf, sizeof buf);
        if (n <= 0)
            return;
        for (ssize_t at = 0; at < n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buf + at);
            if (e->mask & IN_OPEN) {
                ++m_clients;
            } else if (e->mask & IN_CLOSE) {
                m_clients = std::max(0, int(m_clients) - 1);
                // A real port loses what its user did not read, and a request cut off
                // by the close never completes.
                if (m_clients == 0) {
                    ::tcflush(m_slave, TCIFLUSH);
                    m_rx.clear();
                }
            }
            at += ssize_t(sizeof(inotify_event) + e->len);
        }
    }
}

bool SimInstrument::sendAnswer(const Answer& answer)
{
    if (answer.bytes.isEmpty())
        return true;
    if (!sleepMs(answer.delayMs))
        return false;
    const int pieces = std::clamp(answer.pieces, 1, int(answer.bytes.size()));
    int sent = 0;
    for (int i = 0; i < pieces; ++i) {
        const int end = int(answer.bytes.size()) * (i + 1) / pieces;
        if (i > 0 && !sleepMs(answer.pauseMs))
            return false;
        // Nobody has the port open (it was closed while the answer was late): the bytes
        // would only wait for the next user of the port, which a real port never does.
        trackClients();
        if (m_notify >= 0 && m_clients == 0) {
            std::lock_guard lock(m_mutex);
            ++m_droppedAnswers;
            return true;
        }
        if (!writeAll(answer.bytes.constData() + sent, end - sent))
            return false;
        sent = end;
    }
    return true;
}

void SimInstrument::run()
{
    for (;;) {
        pollfd p[3] = {{m_master, POLLIN, 0}, {m_wake, POLLIN, 0}, {m_notify, POLLIN, 0}};
        const int ready = ::poll(p, m_notify >= 0 ? 3 : 2, m_rx.isEmpty() ? -1 : SilenceMs);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (p[1].revents)
            return;
        if (ready == 0) {
            parse(true);
            continue;
        }
        if (m_notify >= 0 && p[2].revents) {
            trackClients();
            if (!(p[0].revents & POLLIN))
                continue;
        }
        if (p[0].revents & POLLIN) {
            char buf[512];
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n > 0)
                m_rx.append(buf, int(n));
        } else if (p[0].revents & (POLLHUP | POLLERR)) {
            // Cannot happen while the own slave descriptor is open; do not spin if it does.
            if (!sleepMs(SilenceMs))
                return;
            continue;
        }
        parse(false);
    }
}

void SimInstrument::parse(bool atSilence)
{
    int dropped = 0;
    while (!m_rx.isEmpty()) {
        const int length = requestLength(m_rx, 0);
        if (length < 0) {
            m_rx.remove(0, 1);
            ++dropped;
            continue;
        }
        if (length == 0 || m_rx.size() < length)
            break;
        const bool ok = crcOk(m_rx, 0, length);
        if (!ok) {
            // Noise in front of a genuine request: skip to the request.
            const int at = findValidRequest(m_rx, 1);
            if (at > 0) {
                m_rx.remove(0, at);
                dropped += at;
                continue;
            }
            // Perhaps more of a genuine request is still on its way; decide at silence.
            if (!atSilence)
                break;
        }
        const QByteArray raw = m_rx.left(length);
        m_rx.remove(0, length);
        const Answer answer = handleRequest(raw, ok);
        if (!sendAnswer(answer))
            return;
    }
    if (atSilence && !m_rx.isEmpty()) {
        const int at = findValidRequest(m_rx, 1);
        if (at > 0) {
            m_rx.remove(0, at);
            dropped += at;
            {
                std::lock_guard lock(m_mutex);
                m_discarded += dropped;
            }
            parse(true);
            return;
        }
        dropped += int(m_rx.size());
        m_rx.clear();
    }
    if (dropped > 0) {
        std::lock_guard lock(m_mutex);
        m_discarded += dropped;
    }
}

// What the faults that match one request do to its answer.
struct SimInstrument::Effects {
    bool silent = false;
    bool badCrc = false;
    bool zeroCount = false;
    std::optional<int> exceptionCode;
    std::optional<int> registerOffset;
    std::optional<int> oversize;
    std::optional<int> garbage;
    int pieces = 1;
    int pauseMs = 0;
    int delayMs = 0;
};

SimInstrument::Effects SimInstrument::takeFaultsLocked(std::uint16_t reg)
{
    Effects e;
    for (Fault& f : m_faults) {
        if (f.onlyRegister != 0 && f.onlyRegister != reg)
            continue;
        if (f.count > 0)
            --f.count;
        switch (f.kind) {
        case Fault::Kind::Silence:
            e.silent = true;
            break;
        case Fault::Kind::BadCrc:
            e.badCrc = true;
            break;
        case Fault::Kind::ZeroCount:
            e.zeroCount = true;
            break;
        case Fault::Kind::Split:
            e.pieces = f.pieces;
            e.pauseMs = f.pauseMs;
            break;
        case Fault::Kind::Delay:
            e.delayMs = f.delayMs;
            break;
        case Fault::Kind::Exception:
            e.exceptionCode = f.code;
            break;
        case Fault::Kind::WrongRegister:
            e.registerOffset = f.registerOffset;
            break;
        case Fault::Kind::Oversized:
            e.oversize = std::clamp(f.size, 1, 255);
            break;
        case Fault::Kind::Garbage:
            e.garbage = std::max(0, f.size);
            break;
        }
    }
    m_faults.erase(
        std::remove_if(m_faults.begin(), m_faults.end(), [](const Fault& f) { return f.count == 0; }),
        m_faults.end());
    return e;
}

SimInstrument::Answer SimInstrument::handleRequest(const QByteArray& raw, bool crcOk)
{
    Request request;
    request.address = std::uint8_t(raw[0]);
    request.function = std::uint8_t(raw[1]);
    request.reg = be16(raw, 2);
    if (request.function == frame::FuncWrite)
        request.text = raw.mid(HeaderSize, std::uint8_t(raw[4]));
    request.raw = raw;
    request.crcOk = crcOk;

    Answer answer;
    std::function<void(const Request&)> observer;
    {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(request);
        observer = m_observer;
        const bool forUs = m_address == 0 || m_address == request.address;
        if (crcOk && forUs)
            answer = answerLocked(request);
    }
    if (observer)
        observer(request);
    return answer;
}

SimInstrument::Answer SimInstrument::answerLocked(const Request& request)
{
    const Effects e = takeFaultsLocked(request.reg);
    Answer answer;
    if (e.silent)
        return answer; // lost on the way in: not carried out either
    answer.pieces = e.pieces;
    answer.pauseMs = e.pauseMs;
    answer.delayMs = e.delayMs;

    int code = e.exceptionCode.value_or(0);
    QByteArray data;
    if (!e.exceptionCode)
        data = execute(request.function, request.reg, request.text, code);

    const std::uint8_t address = m_address != 0 ? std::uint8_t(m_address) : request.address;
    const std::uint16_t reg = std::uint16_t(request.reg + e.registerOffset.value_or(0));
    if (code != 0) {
        answer.bytes = frame::answerFrame(address, std::uint8_t(request.function | 0x80), reg,
                                          QByteArray(1, char(code)));
    } else if (e.garbage) {
        for (int i = 0; i < *e.garbage; ++i) {
            m_noise = m_noise * 1103515245u + 12345u;
            answer.bytes.append(char(m_noise >> 16));
        }
        return answer;
    } else {
        if (e.oversize)
            data = data.leftJustified(*e.oversize, '9', true);
        if (e.zeroCount)
            data.clear();
        answer.bytes = frame::answerFrame(address, request.function, reg, data);
    }
    if (e.badCrc)
        answer.bytes[answer.bytes.size() - 1] = char(answer.bytes.back() ^ 0x5A);
    return answer;
}

// Carries out one request (the lock is held); returns the answer's data, or sets code.
QByteArray SimInstrument::execute(std::uint8_t function, std::uint16_t reg, const QByteArray& text, int& code)
{
    if (reg < FirstRegister || reg > LastRegister) {
        code = ExcIllegalAddress;
        return {};
    }
    if (function == frame::FuncRead) {
        if (reg == regNumber(Reg::Ready) && m_notReadyLeft > 0) {
            --m_notReadyLeft;
            return "0";
        }
        QByteArray data = m_regs[reg];
        if (reg == regNumber(Reg::Status) && !data.isEmpty() && m_notReadyLeft > 0)
            data[0] = char(data[0] | NotReadyBit);
        return data;
    }

    const char first = text.isEmpty() ? '\0' : text[0];
    if (isProfile(reg)) {
        m_staged[reg] = text;
    } else if (reg == regNumber(Reg::SetValue)) {
        m_regs[reg] = text;
    } else if (reg == regNumber(Reg::Command)) {
        if (text == "A") {
            double value = 0.0;
            if (!toNumber(m_regs[regNumber(Reg::SetValue)], value) || value < 0.0 ||
                value > topOfRange(m_variant) * (1.0 + 1e-12)) {
                code = ExcIllegalValue;
                return {};
            }
            applyValueLocked(value);
            m_notReadyLeft = m_notReadyCount;
        } else if (text == "B") {
            if (m_refusePassword) {
                m_staged.clear();
                code = ExcWrongPassword;
                return {};
            }
            for (const auto& [r, t] : m_staged)
                m_regs[r] = t;
            m_staged.clear();
        } else {
            code = ExcIllegalValue;
            return {};
        }
        m_regs[reg] = text;
    } else if (reg == regNumber(Reg::Display)) {
        if (text.size() != 1 || first < 'A' || first > 'H') {
            code = ExcIllegalValue;
            return {};
        }
        m_regs[reg] = text;
    } else if (reg == regNumber(Reg::OutputMode)) {
        if (text.size() != 1 || first < 'A' || first > 'D') {
            code = ExcIllegalValue;
            return {};
        }
        m_regs[reg] = text;
    } else if (reg == regNumber(Reg::Status)) {
        if (text != "0") {
            code = ExcIllegalValue;
            return {};
        }
        m_regs[reg] = QByteArray(1, StatusBase);
    } else {
        code = ExcIllegalAddress;
        return {};
    }
    return text;
}
