// The one answer handler: checks a complete answer, turns exception answers into messages
// or retries, and hands every other answer to the handler of the register it names.

#include "instrument/Frame.h"
#include "instrument/Mydialogs.h"
#include "instrument/ProfileProcessor.h"
#include "instrument/Registers.h"
#include "platform/CodePage.h"
#include "platform/ComPort.h"
#include "platform/NumberText.h"
#include "ui/link/LinkInternal.h"
#include "ui/main.h"

#include "ui_TForm1.h"

#include <QTimer>

#include <algorithm>
#include <cstring>

namespace
{

constexpr std::uint8_t ExceptionFlag = 0x80;
constexpr std::uint8_t ReadRefused = 0x83;
constexpr std::uint8_t CodeDefective = 10;
constexpr std::uint8_t CodeWrongPassword = 11;

void readRegister(TForm1& w, Reg reg)
{
    w.SendFrame(frame::FuncRead, regNumber(reg));
}

void handleException(TForm1& w, const frame::Answer& a)
{
    const std::uint8_t code = a.data.isEmpty() ? 0 : static_cast<std::uint8_t>(a.data.at(0));
    if (code == CodeDefective) {
        linkdetail::endConnectionAfter(w, [&w] {
            ShowMessageBox(w.tr2("Ошибка", "Error"),
                           w.tr2("Обнаружена неисправность прибора!", "Device is defective!"),
                           DialogType::Error, mbOK);
            w.logIndex = 0;
        });
        return;
    }
    if (!w.connected) {
        // Probing: a device that will not name its model is not the chosen instrument, and
        // asking it again without end would hold up the probing for good.
        ++w.portNumber;
        w.comPort->close();
        w.ScanPorts();
        return;
    }
    if (code == CodeWrongPassword) {
        // The instrument keeps the profile it had; nothing more is sent.
        w.SetProfileControlsEnabled(true);
        w.LogAt(0, w.tr2("Неверный пароль. Запись профиля невозможна.", "Incorrect password."));
        w.LogAt(1, QString());
        w.profTransfer = false;
        std::memset(w.rxFrame, 0, sizeof w.rxFrame);
        return;
    }
    // A refusal is asked again for as long as the instrument answers at all. Before the
    // value is written, the whole set chain starts over.
    if (w.setPending) {
        w.SendFrame(frame::FuncWrite, regNumber(Reg::Display), w.displayLetter);
        return;
    }
    if (a.function == ReadRefused)
        w.errorCount = 0;
    w.ResendOrFail();
}

// A late answer taken off the front of rxFrame. The model text may have come right behind
// it in the same burst; otherwise the wait for it goes on. A port that keeps sending such
// answers is given up like one that keeps failing its check.
void dropLateAnswer(TForm1& w, int length, int count)
{
    if (++w.errorCount > linktiming::MaxResends) {
        w.LinkFailed();
        return;
    }
    const int rest = count - length;
    if (rest >= frame::MinAnswer) {
        std::memmove(w.rxFrame, w.rxFrame + length, std::size_t(rest));
        std::memset(w.rxFrame + rest, 0, std::size_t(TForm1::FrameSize - rest));
        w.rxCount = rest;
        w.HandleAnswer();
        return;
    }
    w.rxCount = 0;
    std::memset(w.rxFrame, 0, sizeof w.rxFrame);
    w.transport->keepWaiting();
}

} // namespace

namespace linkdetail
{

QString answerToText(const QByteArray& bytes)
{
    bool ok = false;
    const QString text = cp1251::toUnicode(bytes, &ok);
    return ok ? text : QString::fromLatin1(bytes);
}

QString invalidAnswerLine(const TForm1& w, std::uint16_t reg, const QString& text)
{
    return w.isRussian()
               ? QStringLiteral("Неверный ответ прибора (регистр %1): %2").arg(reg).arg(text)
               : QStringLiteral("Invalid answer of the device (register %1): %2").arg(reg).arg(text);
}

void invalidAnswer(TForm1& w, std::uint16_t reg, const QString& text)
{
    w.LogLine(invalidAnswerLine(w, reg, text));
    endChainCleanly(w);
}

void endChainCleanly(TForm1& w)
{
    w.transport->stop();
    if (w.profTransfer) {
        w.profTransfer = false;
        w.SetProfileControlsEnabled(true);
    }
    w.setPending = false;
    w.ReleaseInput();
}

} // namespace linkdetail

void TForm1::HandleAnswer()
{
    transport->stop();
    const int count = std::clamp(rxCount, 0, int(FrameSize));
    switch (frame::checkAnswer(rxFrame, count)) {
    case frame::Check::Ok:
        break;
    case frame::Check::ZeroCount:
        ++errorCount;
        ResendOrFail();
        return;
    case frame::Check::Truncated: // the count names bytes that never came: as bad as a wrong CRC
    case frame::Check::BadCrc:
        std::memset(rxFrame, 0, sizeof rxFrame);
        ++errorCount;
        ResendOrFail();
        return;
    }

    const frame::Answer a = frame::parseAnswer(rxFrame, count);
    // While probing only the model text is asked for. Anything else, refusals included, is
    // the late answer to a request of the connection before: it must neither drive a chain
    // nor be resent (the resend would be answered twice), so the model text is still awaited.
    if (!connected && a.reg != regNumber(Reg::DeviceName)) {
        dropLateAnswer(*this, int(a.data.size()) + frame::AnswerOverhead, count);
        return;
    }

    std::memset(answerText, 0, sizeof answerText);
    std::memcpy(answerText, a.data.constData(), std::min<std::size_t>(a.data.size(), sizeof answerText - 1));

    if (a.function > ExceptionFlag) {
        handleException(*this, a);
        return;
    }

    const QString text = linkdetail::answerToText(a.data);
    const bool isWrite = a.function == frame::FuncWrite;
    if (isProfileRegister(a.reg)) {
        HandleProfileAnswer(a.function, a.reg, text);
        return;
    }

    switch (static_cast<Reg>(a.reg)) {
    case Reg::DeviceName:
        linkdetail::onDeviceNameAnswer(*this, text);
        break;
    case Reg::SerialNumber:
        ui->DeviceNoLabel->setText(text);
        readRegister(*this, Reg::AccuracyClass);
        break;
    case Reg::AccuracyClass:
        processor->precClass = text;
        ui->LabelPrecision->setText(text);
        readRegister(*this, Reg::MakeYear);
        break;
    case Reg::MakeYear:
        ui->yearLabel->setText(isRussian() ? text + QStringLiteral(" г.") : text);
        readRegister(*this, Reg::NominalRange);
        break;
    case Reg::NominalRange:
        ui->rangeLabel->setText(text + tr2(" Ом", " Ohm"));
        readRegister(*this, Reg::Step);
        break;
    case Reg::Step: {
        double step = 0.0;
        if (!numtext::tryStrToFloat(text, step)) {
            linkdetail::invalidAnswer(*this, a.reg, text);
            break;
        }
        ui->stepLabel->setText(text + tr2(" Ом", " Ohm"));
        processor->discreteness = step;
        readRegister(*this, Reg::Firmware);
        break;
    }
    case Reg::Firmware:
        ui->firmwareLabel->setText(text);
        readRegister(*this, Reg::Display);
        break;
    case Reg::Display:
        onDisplayAnswer(isWrite, text);
        break;
    case Reg::OutputMode:
        onOutputModeAnswer(isWrite, text);
        break;
    case Reg::SetValue:
        onSetValueAnswer(isWrite, text);
        break;
    case Reg::Command:
        onCommandAnswer(text);
        break;
    case Reg::Ready:
        onReadyAnswer(text);
        break;
    case Reg::DecadeSteps:
    case Reg::TrueValue:
    case Reg::DeltaR:
    case Reg::DeltaRPercent:
    case Reg::UMax:
    case Reg::IMax:
        onReadoutAnswer(a.reg, text);
        break;
    case Reg::Status:
        onStatusAnswer(isWrite);
        break;
    case Reg::R02:
    case Reg::R04:
    case Reg::ProfCellFirst:
    case Reg::ProfCellLast:
    case Reg::Password:
    case Reg::R40077:
    case Reg::R40082:
        // Neither read nor written by the program (profile registers went above).
        break;
    }
    // Any other register: the chain stays where it is and the link waits for the operator
    // or a timer.
}

void TForm1::ReleaseInput()
{
    ui->DigitUp->setEnabled(true);
    ui->DigitDown->setEnabled(true);
    ui->StandartInpButtonEnter->setEnabled(true);
    ui->StandartInpEdit->setReadOnly(false);
    inputAllowed = true;
    ui->IncrInpButtonEnter->setEnabled(true);
    ui->ProfileInpButtonEnter->setEnabled(true);
}
