// Connecting: probing the serial ports one by one for an instrument of the chosen variant,
// taking the first that answers as it, and putting the window back when the link ends.

#include "instrument/Frame.h"
#include "instrument/Mydialogs.h"
#include "instrument/Registers.h"
#include "platform/ComPort.h"
#include "platform/PortTable.h"
#include "ui/link/LinkInternal.h"
#include "ui/main.h"

#include "ui_TForm1.h"

#include <QMenu>
#include <cstring>

namespace
{

constexpr int VariantDigitIndex = 7; // "RD5540-3": the eighth character names the variant

void setMenuEnabled(QMenu* menu, bool enabled)
{
    menu->menuAction()->setEnabled(enabled);
    menu->setEnabled(enabled);
}

} // namespace

namespace linkdetail
{

void onDeviceNameAnswer(TForm1& w, const QString& text)
{
    const int index = w.variantIndex();
    const bool matches = index >= 0 && text.size() > VariantDigitIndex &&
                         text.at(VariantDigitIndex) == QLatin1Char(char('1' + index));
    if (!matches) {
        // Another variant (or no model text at all): not ours, try the next port.
        ++w.portNumber;
        w.comPort->close();
        w.ScanPorts();
        return;
    }
    w.connected = true;
    // Until 40085 has answered, nothing else may use the line: the profile controls and the
    // value input stay locked (LineOwner) and are given free when the chain ends.
    w.line->begin(LineOwner::Chain::Identify);
    // Changes that a poll saw on an earlier connection are no news of this instrument.
    w.statusFlags = 0;
    w.LogAt(0, w.tr2("Прибор подключен к ПК!", "Device is connected!"));
    w.LogAt(1, QString());
    w.ui->ConnectionButton->setText(w.tr2("Отключение", "Disconnect"));
    w.SetProfileControlsEnabled(true);
    w.ui->deviceFullName->setText(text);
    w.SendFrame(frame::FuncRead, regNumber(Reg::SerialNumber));
}

} // namespace linkdetail

void TForm1::ConnectionButtonClick()
{
    if (variantIndex() < 0) {
        ShowMessageBox(tr2("Внимание", "Attention"), tr2("Прибор не выбран!", "Choose the type!"),
                       DialogType::Warning, mbOK);
        return;
    }
    if (!connected) {
        // Pressing again while probing starts over from the first port.
        portNumber = 1;
        ui->BoxDevice->setEnabled(false);
        ScanPorts();
        return;
    }
    setMenuEnabled(ui->Mfprof, false);
    Disconnect();
    ui->DeviceNoLabel->setText(QStringLiteral("--"));
    ui->LabelPrecision->setText(QStringLiteral("--"));
    ui->ConnectionButton->setText(tr2("Подключение", "Connect"));
    ui->BoxDevice->setEnabled(true);
}

void TForm1::ScanPorts()
{
    // A request of the port probed before must not time out or be answered on this one.
    transport->stop();
    while (portNumber <= porttable::MaxPort) {
        comPort->setComNumber(portNumber);
        try {
            comPort->open();
        } catch (const ComPortError&) {
            // Missing, busy or not permitted: skipped without a word. Numbers past the end
            // of the port table fail at once.
            comPort->close();
            ++portNumber;
            continue;
        }
        line->begin(LineOwner::Chain::Probe);
        SendFrame(frame::FuncRead, regNumber(Reg::DeviceName));
        return;
    }
    ui->BoxDevice->setEnabled(true);
    LogAt(0, tr2("Прибор не найден!!!", "Device not found!!!"));
    line->settle();
}

void TForm1::Disconnect()
{
    // A request still on the line belongs to this connection only, and so does whatever the
    // operator did that waits for the line.
    transport->stop();
    line->reset();
    rxCount = 0;

    if (autoRun) {
        if (ui->InpType->currentIndex() == 0)
            ProfileInpButtonEnterClick();
        else
            IncrInpButtonEnterClick();
    } else if (ui->IncrInpNextVal->text() != QStringLiteral("--")) {
        // A manual range run ends with the link too: its edits are given back below.
        AbortManualRange();
    }

    ui->StandartInpEdit->setReadOnly(false);
    // A set cut short would otherwise leave the wheel locked with the buttons enabled.
    inputAllowed = true;
    SetProfileControlsEnabled(false);

    logIndex = 0;
    LogAt(1, QString());
    LogLine(tr2("Соединение разорвано.", "Device disconnected."));
    LogAt(1, QString());

    ui->ConnectionButton->setText(tr2("Подключение", "Connect"));
    ui->BoxDevice->setEnabled(true);

    const QString none = QStringLiteral("--");
    ui->DeviceNoLabel->setText(none);
    ui->deviceFullName->setText(none);
    ui->firmwareLabel->setText(none);
    ui->rangeLabel->setText(none);
    ui->stepLabel->setText(none);
    ui->LabelPrecision->setText(none);
    ui->LabelLastVal->setText(none);
    ui->yearLabel->setText(QString());

    ui->InpType->setEnabled(true);
    ui->Settings->setEnabled(true);
    ui->Settings0->setEnabled(true);
    ui->Settings1->setEnabled(true);
    ui->Settings2->setEnabled(true);
    ui->DigitUp->setEnabled(true);
    ui->DigitDown->setEnabled(true);
    ui->IncInpEditStart->setEnabled(true);
    ui->IncInpEditEnd->setEnabled(true);
    ui->IncInpEditStep->setEnabled(true);
    ui->ProfileInpButtonEnter->setEnabled(true);
    SetRunButtonCaptions();
    ui->IncrInpButtonEnter->setEnabled(true);
    ui->ProfileInpButtonPause->setText(tr2("Пауза", "Pause"));

    ui->StandartInpButtonEnter->setEnabled(true);
    ui->StandartInpEdit->setEnabled(true);
    ui->StandartInputGroup->setEnabled(true);
    ui->ProfileInputGroup->setEnabled(true);
    ui->IncrInputGroup->setEnabled(true);
    setMenuEnabled(ui->MphysicVal, true);

    connected = false;
    profTransfer = false;
    autoRun = false;
    // A set cut short must not be finished on the next connection (an exception answer
    // there would restart it and write a value nobody asked for).
    setPending = false;
    ui->ConnectionButton->setEnabled(true);
    restorePeriod = false;
    paused = false;

    std::memset(rxFrame, 0, sizeof rxFrame);
    std::memset(answerText, 0, sizeof answerText);
    comPort->close();
}
