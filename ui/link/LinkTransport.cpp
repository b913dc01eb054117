// The main window's side of the serial transport: it builds each request from the window's
// address, and decides what a time-out or a failed line means for the connection. Moving
// the bytes is the transport's (instrument/Transport.h).

#include "instrument/Frame.h"
#include "instrument/Mydialogs.h"
#include "platform/ComPort.h"
#include "platform/NumberText.h"
#include "ui/link/LinkInternal.h"
#include "ui/main.h"

#include "ui_TForm1.h"

#include <QApplication>
#include <QTimer>

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
    transport->setRequest(bytes);
    return true;
}

namespace linkdetail
{

void endConnectionAfter(TForm1& w, const std::function<void()>& report)
{
    const bool polling = w.RequestTimer->isActive();
    w.linkDown = true;
    w.transport->stop();
    w.RequestTimer->stop();
    w.Timer->stop();
    w.TimerCountdown->stop();
    w.comPort->close();
    report();
    w.linkDown = false;
    w.Disconnect();
    if (polling)
        w.RequestTimer->start();
}

} // namespace linkdetail

void TForm1::SendFrame(std::uint8_t function, std::uint16_t reg, const QByteArray& text)
{
    // A failure's box is open: nothing goes out, and the request kept for resending stays.
    if (linkDown)
        return;
    if (!BuildFrame(function, reg, text)) {
        // Nothing goes out. While probing there is no connection to keep: the port is
        // given back and the variant can be chosen again; a chain just ends.
        if (!connected) {
            transport->stop();
            comPort->close();
            ui->BoxDevice->setEnabled(true);
        } else {
            linkdetail::endChainCleanly(*this);
        }
        line->settle();
        return;
    }
    transport->send();
}

void TForm1::ResendOrFail()
{
    if (linkDown)
        return;
    transport->resendOrFail();
}

void TForm1::ComPortTriggerAvail(int count)
{
    transport->onDataAvailable(count);
}

void TForm1::ModbusTimerTimer()
{
    ModbusTimer->stop();
    HandleAnswer();
    // Nothing went out in answer: that chain has ended.
    line->settle();
}

void TForm1::TimerConnectionTimeoutTimer()
{
    transport->stop();
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
    linkdetail::endConnectionAfter(*this, [this] {
        logIndex = 0;
        LogLine(tr2("Прибор не ответил вовремя.", "Timing error."));
        ShowMessageBox(tr2("Внимание", "Attention"), tr2("Соединение разорвано.", "Device disconnected."),
                       DialogType::Warning, mbOK);
    });
}

bool TForm1::requestOnLine() const
{
    return transport->requestOnLine();
}

bool TForm1::WaitForLine(std::function<void()> retry)
{
    if (line->isFree())
        return false;
    // Controls that would meet another chain are locked; a key or timer that still gets here
    // is told so.
    if (!line->run(std::move(retry)))
        QApplication::beep();
    return true;
}
