// Setting a value is a chain of requests, one per answer: display selection (40078),
// output mode (40085), the value (40073), apply (40074), wait for ready (40075), then one
// read per selected read-out, and at the end the read-out display.

#include "instrument/Frame.h"
#include "instrument/Registers.h"
#include "platform/CodePage.h"
#include "ui/link/LinkInternal.h"
#include "ui/main.h"

#include "ui_TForm1.h"
#include "ui_TForm3.h"
#include "verification/FProfileEdit.h"

#include <QListWidget>
#include <QScrollBar>
#include <array>
#include <cstring>

namespace
{

// Status bits that the link itself handles (the status polling sets them).
constexpr std::uint8_t StatusValueChanged = 1u << 1;
constexpr std::uint8_t StatusNotReady = 1u << 2;
constexpr std::uint8_t StatusDisplayChanged = 1u << 4;
constexpr std::uint8_t StatusModeChanged = 1u << 5;

QChar firstChar(const QString& text)
{
    return text.isEmpty() ? QChar() : text.at(0);
}

QAction* displayItem(Ui::TForm1* ui, QChar letter)
{
    switch (letter.unicode()) {
    case 'A':
        return ui->N11;
    case 'B':
        return ui->N21;
    case 'C':
        return ui->N31;
    case 'D':
        return ui->R1;
    case 'E':
        return ui->N13;
    case 'F':
        return ui->N14;
    case 'G':
        return ui->N17;
    case 'H':
        return ui->N10;
    default:
        return nullptr;
    }
}

struct ModeItem {
    QAction* item;
    const char* russian;
    const char* english;
};

ModeItem modeItem(Ui::TForm1* ui, QChar letter)
{
    switch (letter.unicode()) {
    case 'A':
        return {ui->funcDefaultx2, "Н2", "usual 2w"};
    case 'B':
        return {ui->funcDefaultx4, "Н4", "usual 4w"};
    case 'C':
        return {ui->funcCorrectionx2, "К2", "optimal 2w"};
    case 'D':
        return {ui->funcCorrectionx4, "К4", "optimal 4w"};
    default:
        return {nullptr, "", ""};
    }
}

void readRegister(TForm1& w, Reg reg)
{
    w.SendFrame(frame::FuncRead, regNumber(reg));
}

// Which of the verification window's 2-wire / 4-wire buttons are shown.
struct VerificationButtons {
    bool twoWire = false;
    bool fourWire = false;
};

VerificationButtons verificationButtons(const TForm1& w)
{
    if (w.profileForm == nullptr)
        return {};
    return {w.profileForm->ui->btn2x->isVisible(), w.profileForm->ui->btn4x->isVisible()};
}

// After the verification window switched 2-wire / 4-wire: set the instrument to zero.
void zeroInstrument(TForm1& w)
{
    w.lastValue = QStringLiteral("0,000");
    w.ui->DigitUp->setEnabled(false);
    w.ui->DigitDown->setEnabled(false);
    w.ui->StandartInpButtonEnter->setEnabled(false);
    w.ui->StandartInpEdit->setReadOnly(true);
    w.inputAllowed = false;
    static const std::array<const char*, 5> zeroText = {"0,000", "0,00", "0,0", "0", "0"};
    const int index = w.variantIndex();
    w.SetValueOnDevice(QString::fromLatin1(index >= 0 && index < 5 ? zeroText[index] : "0"));
    if (w.curHistoryList != nullptr) {
        w.curHistoryList->addItem(w.lastValue);
        w.curHistoryList->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    }
}

} // namespace

namespace linkdetail
{

void onOutputModeAckWithoutSet(TForm1& w, const QString& text)
{
    const VerificationButtons shown = verificationButtons(w);
    if (!shown.twoWire && !shown.fourWire)
        return;
    const QChar letter = firstChar(text);
    if (letter == QLatin1Char('A')) {
        TForm1::checkRadioItem(w.ui->funcDefaultx2);
        if (shown.twoWire)
            zeroInstrument(w);
    } else if (letter == QLatin1Char('B')) {
        TForm1::checkRadioItem(w.ui->funcDefaultx4);
        if (shown.fourWire)
            zeroInstrument(w);
    }
}

} // namespace linkdetail

void TForm1::onDisplayAnswer(bool isWrite, const QString& text)
{
    if (isWrite) {
        SendFrame(frame::FuncWrite, regNumber(Reg::OutputMode), outputModeLetter());
        return;
    }
    if (!text.isEmpty()) {
        bool ok = false;
        const QByteArray letter = cp1251::fromUnicode(text.left(1), &ok);
        displayLetter = ok ? letter : text.left(1).toLatin1();
    }
    // Only the menu mark moves: the item's own handler would write the letter back.
    if (QAction* item = displayItem(ui, firstChar(text)))
        checkRadioItem(item);
    if (statusFlags & StatusDisplayChanged) {
        ReleaseInput();
        statusFlags &= std::uint8_t(~StatusDisplayChanged);
        return;
    }
    // The last step of the identification.
    readRegister(*this, Reg::OutputMode);
}

void TForm1::onOutputModeAnswer(bool isWrite, const QString& text)
{
    if (statusFlags & StatusModeChanged) {
        ReleaseInput();
        statusFlags &= std::uint8_t(~StatusModeChanged);
    }
    if (!isWrite) {
        const ModeItem mode = modeItem(ui, firstChar(text));
        if (mode.item != nullptr) {
            checkRadioItem(mode.item);
            ui->modeLabel->setText(tr2(mode.russian, mode.english));
        }
        return;
    }
    if (setPending) {
        setPending = false;
        const QByteArray value(reinterpret_cast<const char*>(pendingValue),
                               qstrnlen(reinterpret_cast<const char*>(pendingValue), FrameSize));
        SendFrame(frame::FuncWrite, regNumber(Reg::SetValue), value);
        return;
    }
    linkdetail::onOutputModeAckWithoutSet(*this, text);
}

void TForm1::onSetValueAnswer(bool isWrite, const QString& text)
{
    if (isWrite) {
        // The instrument needs a moment to store the value before it can apply it.
        linktiming::pause(linktiming::ApplyDelay);
        SendFrame(frame::FuncWrite, regNumber(Reg::Command), QByteArrayLiteral("A"));
        return;
    }
    // A value read back after a change on the instrument's panel (status polling).
    onDeviceValueRead(text);
}

void TForm1::onCommandAnswer(const QString& text)
{
    const QChar letter = firstChar(text);
    if (letter == QLatin1Char('A')) {
        readRegister(*this, Reg::Ready);
    } else if (letter == QLatin1Char('B')) {
        onProfileStored();
    }
}

void TForm1::onReadyAnswer(const QString& text)
{
    statusFlags &= std::uint8_t(~StatusNotReady);
    if (statusFlags & StatusValueChanged) {
        // A value set on the panel: the instrument may still be switching.
        if (firstChar(text) != QLatin1Char('1'))
            statusFlags |= StatusNotReady;
        readRegister(*this, Reg::SetValue);
        return;
    }
    if (firstChar(text) == QLatin1Char('0')) {
        // Not ready yet: asked again for as long as it answers, never counted as a failure.
        ResendOrFail();
        return;
    }
    readNextReadout(0);
}

void TForm1::onReadoutAnswer(std::uint16_t reg, const QString& text)
{
    switch (static_cast<Reg>(reg)) {
    case Reg::TrueValue:
        trueValText = text;
        break;
    case Reg::DecadeSteps:
        decadeStepsText = text;
        break;
    case Reg::DeltaR:
        otklonOmText = text;
        break;
    case Reg::DeltaRPercent:
        otklonPercentText = text;
        break;
    case Reg::IMax:
        iMaxText = text;
        break;
    case Reg::UMax:
        uMaxText = text;
        break;
    default:
        return;
    }
    readNextReadout(reg);
}

void TForm1::readNextReadout(std::uint16_t after)
{
    // Always this order; the check boxes are looked at as each answer arrives.
    struct Row {
        Reg reg;
        bool selected;
    };
    const std::array<Row, 6> order = {{
        {Reg::TrueValue, needTrueVal},
        {Reg::DecadeSteps, ui->CheckBox1->isChecked()},
        {Reg::DeltaR, ui->OtklonOm->isChecked()},
        {Reg::DeltaRPercent, ui->OtklonPercent->isChecked()},
        {Reg::IMax, ui->checkI->isChecked()},
        {Reg::UMax, ui->checkU->isChecked()},
    }};
    std::size_t next = order.size();
    if (after == 0) {
        next = 0;
    } else {
        for (std::size_t i = 0; i < order.size(); ++i) {
            if (regNumber(order[i].reg) == after) {
                next = i + 1;
                break;
            }
        }
    }
    for (; next < order.size(); ++next) {
        if (order[next].selected) {
            readRegister(*this, order[next].reg);
            return;
        }
    }
    ShowReadouts();
}
