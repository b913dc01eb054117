// Moving frames between the main window and the instrument: one request at a time, the
// answer collected until 17 ms of silence, resends of the very same bytes, and the
// end of the connection when the instrument stops answering.

#include "instrument/Frame.h"
#include "instrument/LinkInternal.h"
#include "instrument/Mydialogs.h"
#include "platform/ComPort.h"
#include "platform/NumberText.h"
#include "ui/main.h"

#include "ui_TForm1.h"

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

namespace linkdetail
{

void stopLinkTimers(TForm1& w)
{
    w.TimerConnectionTimeout->stop();
    w.ModbusTimer->stop();
}

} // namespace linkdetail

namespace
{

// Drops what the port still has to send, queues txFrame and arms the time-out. A port
// error ends the connection without a message; returns false then.
bool putOnLine(TForm1& w)
{
    try {
        w.comPort->FlushOutBuffer();
        w.comPort->PutBlock(w.txFrame, w.txLength);
        w.TimerConnectionTimeout->start(linktiming::AnswerTimeout);
        return true;
    } catch (const ComPortError&) {
        w.Disconnect();
        return false;
    }
}

} // namespace

bool TForm1::BuildFrame(std::uint8_t function, std::uint16_t reg, const QByteArray& text)
{
    // The address is read anew for every request, so a changed devNum applies at once.
    int address = 0;
    if (!numtext::tryStrToInt(ui->devNum->text(), address)) {
        LogLine(isRussian() ? QStringLiteral("Неверный адрес прибора: ") + ui->devNum->text()
                            : QStringLiteral("Invalid device address: ") + ui->devNum->text());
        return false;
    }
    const auto addr = static_cast<std::uint8_t>(address & 0xFF);

    QByteArray bytes;
    if (function == frame::FuncWrite) {
        const std::optional<QByteArray> write = frame::writeRequest(addr, reg, text);
        if (!write) {
            LogLine(
                isRussian()
                    ? QStringLiteral("Слишком длинный текст для регистра %1: %2 байт")
                          .arg(reg)
                          .arg(text.size())
                    : QStringLiteral("Text too long for register %1: %2 bytes").arg(reg).arg(text.size()));
            return false;
        }
        bytes = *write;
    } else {
        bytes = frame::readRequest(addr, reg);
    }
    std::memset(txFrame, 0, sizeof txFrame);
    std::memcpy(txFrame, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    txLength = static_cast<int>(bytes.size());
    return true;
}

void TForm1::SendFrame(std::uint8_t function, std::uint16_t reg, const QByteArray& text)
{
    if (!BuildFrame(function, reg, text)) {
        // Nothing goes out. While probing there is no connection to keep: the port is
        // given back and the variant can be chosen again; a chain just ends.
        if (!connected) {
            linkdetail::stopLinkTimers(*this);
            comPort->close();
            ui->BoxDevice->setEnabled(true);
        } else {
            linkdetail::endChainCleanly(*this);
        }
        return;
    }
    rxCount = 0;
    linktiming::pause(linktiming::SendDelay);
    if (!putOnLine(*this))
        return;
    errorCount = 0;
}

void TForm1::ResendOrFail()
{
    if (errorCount > linktiming::MaxResends) {
        LinkFailed();
        return;
    }
    rxCount = 0;
    std::memset(rxFrame, 0, sizeof rxFrame);
    std::memset(rxChunk, 0, sizeof rxChunk);
    linktiming::pause(linktiming::ResendDelay);
    // txFrame is not rebuilt: the resend is byte for byte the request that failed.
    putOnLine(*this);
}

void TForm1::ComPortTriggerAvail(int count)
{
    // Nothing to take: whatever is on the line keeps its timers.
    if (!comPort->isOpen() || count <= 0)
        return;
    linkdetail::stopLinkTimers(*this);
    linktiming::pause(linktiming::ChunkDelay);
    rxCount = std::clamp(rxCount, 0, int(FrameSize));
    try {
        // Genuine answers are far shorter than the buffer. Whatever does not fit is taken
        // off the port and dropped, so the answer fails its check instead of overrunning.
        int left = count;
        while (left > 0) {
            const int got = comPort->GetBlock(rxChunk, std::min(left, int(FrameSize)));
            if (got <= 0)
                break;
            const int fit = std::clamp(int(FrameSize) - rxCount, 0, got);
            std::memcpy(rxFrame + rxCount, rxChunk, static_cast<std::size_t>(fit));
            rxCount += fit;
            left -= got;
        }
    } catch (const ComPortError&) {
        Disconnect();
        return;
    }
    ModbusTimer->start(linktiming::AnswerSilence);
}

void TForm1::ModbusTimerTimer()
{
    ModbusTimer->stop();
    HandleAnswer();
}

void TForm1::TimerConnectionTimeoutTimer()
{
    linkdetail::stopLinkTimers(*this);
    if (!connected) {
        // Probing: a silent port is simply not the instrument.
        comPort->close();
        ++portNumber;
        ScanPorts();
        return;
    }
    // A time-out is never answered with a resend.
    LinkFailed();
}

void TForm1::LinkFailed()
{
    // Nothing may arrive or time out while the box waits for the operator: a late answer
    // would drive a chain, and its time-out fail the link a second time.
    linkdetail::stopLinkTimers(*this);
    comPort->close();
    logIndex = 0;
    LogLine(tr2("Прибор не ответил вовремя.", "Timing error."));
    ShowMessageBox(tr2("Внимание", "Attention"), tr2("Соединение разорвано.", "Device disconnected."),
                   DialogType::Warning, mbOK);
    Disconnect();
}

bool TForm1::requestOnLine() const
{
    return TimerConnectionTimeout->isActive() || ModbusTimer->isActive();
}
