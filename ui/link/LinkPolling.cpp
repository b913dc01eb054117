// Status polling: while the window is in manual input and idle, a timer asks the instrument's
// status register (40087) what was changed on its front panel, reads each changed register
// in turn and clears the status once nothing is pending any more.

#include "instrument/Frame.h"
#include "instrument/ProfileProcessor.h"
#include "instrument/Registers.h"
#include "platform/NumberText.h"
#include "ui/main.h"

#include "ui_TForm1.h"

#include <QTimer>
#include <chrono>

namespace
{

using namespace std::chrono_literals;

constexpr auto BusyPeriod = 500ms;  // changes pending: one per tick, then the clear
constexpr auto IdlePeriod = 3000ms; // nothing pending: one status read per period
// Every bit of the status that asks for the busy pace (bits 1 to 5).
constexpr std::uint8_t Reported = statusbit::Handled | statusbit::ClearPending;
// Instruments with a lower serial number are never polled.
constexpr int FirstPolledSerial = 13;

// A control's own enabled state, whatever its group box says.
bool ownEnabled(const QWidget* w)
{
    return !w->testAttribute(Qt::WA_ForceDisabled);
}

// "--" (no serial number reported) is polled. A text that is no whole number tells nothing
// about the instrument's age: it is treated like an old one and not polled.
bool serialIsPolled(const QString& text)
{
    if (text == QStringLiteral("--"))
        return true;
    int serial = 0;
    return numtext::tryStrToInt(text, serial) && serial >= FirstPolledSerial;
}

// Manual input, polling on, connected, and nothing else using the line or the input.
bool mayPoll(const TForm1& w)
{
    const Ui::TForm1* ui = w.ui;
    return ui->ManualInp->isChecked() && !w.autoRun && !ui->RequestDisabled->isChecked() && w.connected &&
           !w.linkDown && serialIsPolled(ui->DeviceNoLabel->text()) && ownEnabled(ui->IncrInpButtonEnter) &&
           ownEnabled(ui->ProfileInpButtonEnter) && ownEnabled(ui->StandartInpButtonEnter) &&
           !ui->StandartInpEdit->isReadOnly() && !w.profTransfer && !w.setPending && !w.requestOnLine() && w.line->isFree();
}

// Resistance window, in ohms, of a thermometer with R0 = 100 Ω over its temperature range.
struct OhmWindow {
    double lowest;
    double highest;
};
constexpr OhmWindow ThermometerWindows[] = {
    {18.52008, 395.163775},   // platinum, α = 0.00391
    {18.52008, 390.481125},   // platinum, α = 0.00385
    {20.52835566, 185.6},     // copper, α = 0.00428
    {69.454216, 223.2062877}, // nickel, α = 0.00617
};

// In °C a changed value is taken only when a 100 Ω thermometer of the checked type could
// show it; in ohms every value is.
bool plausible(const TForm1& w, const QString& text)
{
    if (!w.celsiusMode())
        return true;
    const int type = w.checkedRtdItem();
    double ohms = 0;
    if (!w.ui->N1001->isChecked() || type < 0 || !numtext::tryStrToFloat(text, ohms))
        return false;
    return ohms >= ThermometerWindows[type].lowest && ohms <= ThermometerWindows[type].highest;
}

void readRegister(TForm1& w, Reg reg)
{
    w.SendFrame(frame::FuncRead, regNumber(reg));
}

} // namespace

void TForm1::RequestTimerTimer()
{
    if (!mayPoll(*this))
        return;
    // Each polled request locks the single-value input until its answer releases it.
    ui->StandartInpEdit->setReadOnly(true);
    inputAllowed = false;
    line->begin(LineOwner::Chain::Poll);
    if (statusFlags & statusbit::ValueChanged)
        readRegister(*this, Reg::Ready);
    else if (statusFlags & statusbit::DisplayChanged)
        readRegister(*this, Reg::Display);
    else if (statusFlags & statusbit::NotReady)
        readRegister(*this, Reg::Ready);
    else if (statusFlags & statusbit::ModeChanged)
        readRegister(*this, Reg::OutputMode);
    else if (RequestTimer->intervalAsDuration() == BusyPeriod)
        SendFrame(frame::FuncWrite, regNumber(Reg::Status), QByteArrayLiteral("0"));
    else
        readRegister(*this, Reg::Status);
}

void TForm1::onStatusAnswer(bool isWrite)
{
    if (isWrite) {
        // The status is clear: the next poll comes a full idle period later.
        const bool running = RequestTimer->isActive();
        RequestTimer->stop();
        RequestTimer->setInterval(IdlePeriod);
        ReleaseInput();
        if (running)
            RequestTimer->start();
        return;
    }
    const std::uint8_t bits = answerText[0];
    if (bits & Reported)
        RequestTimer->setInterval(BusyPeriod);
    statusFlags |= bits & statusbit::Handled;
    if (!(bits & Reported) && !(statusFlags & statusbit::Handled))
        RequestTimer->setInterval(IdlePeriod);
    ReleaseInput();
}

void TForm1::onDeviceValueRead(const QString& text)
{
    statusFlags &= std::uint8_t(~statusbit::ValueChanged);
    if (text != lastValue && plausible(*this, text)) {
        double ohms = 0;
        // A text that is no number is not shown as the value (ShowDeviceValue reports it).
        if (numtext::tryStrToFloat(text, ohms))
            ui->LabelLastVal->setText(celsiusMode()
                                          ? numtext::formatFloat(QStringLiteral("0.00"),
                                                                 processor->ohmToTemp(ohms, short(rtdType))) +
                                                QStringLiteral(" °C")
                                          : text + tr2(" Ом", " Ohm"));
        if (ui->RequestEnabled->isChecked())
            ShowDeviceValue(text);
    }
    // While the read-outs of the changed value are read, the input stays locked; the end of
    // that chain (ShowReadouts) gives it back.
    if (!requestOnLine())
        ReleaseInput();
}
