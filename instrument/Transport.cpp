#include "instrument/Transport.h"

#include "platform/ComPort.h"

#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstring>

namespace linktiming
{

namespace
{
bool g_waitsEnabled = true;
}

void pause(std::chrono::milliseconds d)
{
    if (g_waitsEnabled && d.count() > 0)
        QThread::msleep(static_cast<unsigned long>(d.count()));
}

void setWaitsEnabled(bool enabled)
{
    g_waitsEnabled = enabled;
}

} // namespace linktiming

Transport::Transport(ComPort* port, QObject* parent)
    : QObject(parent), m_port(port), m_silence(new QTimer(this)), m_timeout(new QTimer(this))
{
    // A coarse timer may fire up to 5 % early: an instrument answering 480 ms after the
    // request would be taken for a silent one.
    m_silence->setTimerType(Qt::PreciseTimer);
    m_timeout->setTimerType(Qt::PreciseTimer);
    m_silence->setObjectName(QStringLiteral("ModbusTimer"));
    m_silence->setInterval(linktiming::AnswerSilence);
    m_timeout->setObjectName(QStringLiteral("TimerConnectionTimeout"));
    m_timeout->setInterval(linktiming::AnswerTimeout);
    connect(m_port, &ComPort::TriggerAvail, this, &Transport::onDataAvailable);
    connect(m_silence, &QTimer::timeout, this, &Transport::onSilence);
    connect(m_timeout, &QTimer::timeout, this, &Transport::onTimeout);
}

void Transport::setRequest(const QByteArray& bytes)
{
    const int length = std::min<int>(int(bytes.size()), FrameSize);
    std::memset(txFrame, 0, sizeof txFrame);
    std::memcpy(txFrame, bytes.constData(), std::size_t(length));
    txLength = length;
}

bool Transport::send()
{
    rxCount = 0;
    linktiming::pause(linktiming::SendDelay);
    if (!putOnLine())
        return false;
    errorCount = 0;
    return true;
}

void Transport::resendOrFail()
{
    if (errorCount > linktiming::MaxResends) {
        emit resendLimitPassed();
        return;
    }
    rxCount = 0;
    std::memset(rxFrame, 0, sizeof rxFrame);
    std::memset(rxChunk, 0, sizeof rxChunk);
    linktiming::pause(linktiming::ResendDelay);
    // txFrame is not rebuilt: the resend is byte for byte the request that failed.
    putOnLine();
}

bool Transport::putOnLine()
{
    try {
        m_port->FlushOutBuffer();
        m_port->PutBlock(txFrame, txLength);
        m_timeout->start();
        return true;
    } catch (const ComPortError&) {
        emit portFailed();
        return false;
    }
}

void Transport::onDataAvailable(int count)
{
    // Nothing to take: whatever is on the line keeps its timers.
    if (!m_port->isOpen() || count <= 0)
        return;
    stop();
    linktiming::pause(linktiming::ChunkDelay);
    rxCount = std::clamp(rxCount, 0, int(FrameSize));
    try {
        // Genuine answers are far shorter than the buffer. Whatever does not fit is taken
        // off the port and dropped, so the answer fails its check instead of overrunning.
        int left = count;
        while (left > 0) {
            const int got = m_port->GetBlock(rxChunk, std::min(left, int(FrameSize)));
            if (got <= 0)
                break;
            const int fit = std::clamp(int(FrameSize) - rxCount, 0, got);
            std::memcpy(rxFrame + rxCount, rxChunk, static_cast<std::size_t>(fit));
            rxCount += fit;
            left -= got;
        }
    } catch (const ComPortError&) {
        emit portFailed();
        return;
    }
    m_silence->start();
}

void Transport::onSilence()
{
    m_silence->stop();
    emit answerReady();
}

void Transport::onTimeout()
{
    stop();
    emit timedOut();
}

void Transport::keepWaiting()
{
    if (m_port->isOpen())
        m_timeout->start();
}

void Transport::stop()
{
    m_timeout->stop();
    m_silence->stop();
}

bool Transport::requestOnLine() const
{
    return m_timeout->isActive() || m_silence->isActive();
}
