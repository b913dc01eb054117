// Setting a value: the one way a value goes to the instrument. It checks the value in ohms
// (or °C), opens a log group, keeps the value for the read-outs and starts the set chain.
#include "instrument/Frame.h"
#include "instrument/Mydialogs.h"
#include "instrument/ProfileProcessor.h"
#include "instrument/Registers.h"
#include "platform/CodePage.h"
#include "platform/NumberText.h"
#include "ui/EntryLimits.h"
#include "ui/main.h"
#include "ui_TForm1.h"

#include <QTime>
#include <algorithm>
#include <cstring>

namespace
{

constexpr int kMaxPendingText = 25; // the set-value register takes at most 25 characters

} // namespace

void TForm1::LogTimeAndMode()
{
    LogLine(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
    struct ModeItem {
        QAction* item;
        const char* russian;
        const char* english;
    };
    const ModeItem modes[] = {
        {ui->funcDefaultx2, "некомпенсированный 2х", "usual 2w"},
        {ui->funcDefaultx4, "некомпенсированный 4х", "usual 4w"},
        {ui->funcCorrectionx2, "компенсированный 2х", "optimal 2w"},
        {ui->funcCorrectionx4, "компенсированный 4х", "optimal 4w"},
    };
    QString modeLine = tr2("Режим ", "Output mode: ");
    for (const ModeItem& m : modes)
        if (m.item->isChecked())
            modeLine += tr2(m.russian, m.english);
    LogLine(modeLine);
}

void TForm1::SetCelsiusValue(double celsius)
{
    setValueCelsius = celsius;
    // The resistance carries at most four decimals, as it is shown and logged.
    const QString ohmText =
        numtext::formatFloat(processor->profFormat, processor->tempToOhm(setValueCelsius, short(rtdType)));
    double ohms = 0;
    setValueOhm = numtext::tryStrToFloat(ohmText, ohms) ? ohms : 0;
}

void TForm1::LogValueLine(const QString& value)
{
    const QString ohmUnit = tr2(" Ом", " Ohm");
    if (celsiusMode())
        LogLine(QStringLiteral(" T: ") + value + QStringLiteral(" °C (") +
                numtext::formatFloat(processor->profFormat, setValueOhm) + ohmUnit + QStringLiteral(")"));
    else
        LogLine(QStringLiteral(" R: ") + value + ohmUnit);
}

bool TForm1::readoutsNeedTrueValue() const
{
    // Rвос is needed for the reproduced value itself and for every figure derived from it.
    return ui->CheckTrueVal->isChecked() || ui->checkTrueC->isChecked() || ui->OtklonC->isChecked() ||
           ui->OtklonPercentC->isChecked() || ui->Stability->isChecked() || ui->AbsStability->isChecked();
}

void TForm1::SetValueOnDevice(const QString& value)
{
    // Values travel in ohms (or °C) whatever unit is shown: take the Ω (or °C) pattern and the
    // Ω format of the variant, leaving the unit, limits and digit selector as they were.
    const CheckLimits limits = ohmCheckLimits(*this);
    const bool celsius = celsiusMode();

    // A text that matches the pattern but reads as no number (a lone "," matches most of
    // them) is refused like one outside the range, instead of ending the handler.
    double number = 0;
    if (!matchesPattern(value, limits.rangeRegex) || !numtext::tryStrToFloat(value, number)) {
        ShowMessageBox(
            tr2("Внимание", "Attention"),
            tr2("Значение за пределами диапазона или не кратно дискретности!", "Value is not correct!"),
            DialogType::Warning, mbOK);
        return;
    }

    std::memset(pendingValue, 0, sizeof pendingValue);
    logIndex = 0;
    LogTimeAndMode();
    needTrueVal = readoutsNeedTrueValue();

    if (celsius) {
        SetCelsiusValue(number);
        ui->LabelLastVal->setText(value + QStringLiteral(" °C"));
    } else {
        setValueOhm = number;
        ui->LabelLastVal->setText(value + tr2(" Ом", " Ohm"));
    }
    LogValueLine(value);
    lastValue = value;
    historyEntry = value; // the text its list entry shows

    const QByteArray text = cp1251::fromUnicode(numtext::formatFloat(limits.ohmFormat, setValueOhm));
    std::memcpy(pendingValue, text.constData(), std::min<std::size_t>(text.size(), kMaxPendingText));
    setPending = true;
    // This chain writes its own display selection, output mode and value over whatever was
    // set on the instrument's panel. A change still pending from there would take the ready
    // answer of this chain for its own (value), or give the input back half way (mode).
    statusFlags &=
        std::uint8_t(~(statusbit::ValueChanged | statusbit::DisplayChanged | statusbit::ModeChanged));

    line->begin(LineOwner::Chain::Set);
    SendFrame(frame::FuncWrite, regNumber(Reg::Display), displayLetter);
}
