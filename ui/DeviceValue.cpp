// A value changed on the instrument's own panel, as the status polling read it back: logged
// and kept like a value the program set, with its read-outs read through the same chain.
#include "instrument/Frame.h"
#include "instrument/ProfileProcessor.h"
#include "instrument/Registers.h"
#include "platform/MemoLines.h"
#include "platform/NumberText.h"
#include "ui/EntryLimits.h"
#include "ui/link/LinkInternal.h"
#include "ui/main.h"
#include "ui_TForm1.h"

#include <algorithm>

int TForm1::checkedRtdItem() const
{
    const QAction* items[] = {ui->platinum391, ui->platinum385, ui->copper428, ui->nickel617};
    for (int type = 0; type < 4; ++type)
        if (items[type]->isChecked())
            return type;
    return -1;
}

void TForm1::ShowDeviceValue(const QString& value)
{
    double ohms = 0;
    if (!numtext::tryStrToFloat(value, ohms)) {
        // Nothing to record: the unit and digit selector are not touched, the log says why.
        LogAt(0, linkdetail::invalidAnswerLine(*this, regNumber(Reg::SetValue), value));
        return;
    }
    // The Ω format of the variant; the unit, limits and digit selector stay as they were.
    const CheckLimits limits = ohmCheckLimits(*this);

    historyEntry = QStringLiteral("--"); // set on the panel: no list entry goes with the row
    // The empty line first: it ends up between this group and the older ones.
    InfoLines->insert(0, QString());
    logIndex = 0;
    LogTimeAndMode();
    needTrueVal = readoutsNeedTrueValue();

    QString shown = value;
    if (celsiusMode()) {
        // Logged with the Ω format's decimals, as the instrument's own value; with no
        // thermometer item checked, as platinum α = 0.00391.
        shown = numtext::formatFloat(limits.ohmFormat,
                                     processor->ohmToTemp(ohms, short(std::max(0, checkedRtdItem()))));
        double celsius = 0;
        numtext::tryStrToFloat(shown, celsius);
        SetCelsiusValue(celsius);
    } else {
        setValueOhm = ohms;
    }
    LogValueLine(shown);

    // A value the instrument has not finished setting is not the one to compare with next.
    const bool notReady = statusFlags & statusbit::NotReady;
    if (!notReady)
        lastValue = shown;

    if (needTrueVal) {
        // The read-out chain runs on from Rвос and ends in ShowReadouts.
        SendFrame(frame::FuncRead, regNumber(Reg::TrueValue));
        return;
    }
    if (notReady) {
        LogLine(tr2("Значение не установлено!", "New value is not setted!"));
        statusFlags &= std::uint8_t(~statusbit::NotReady);
    } else {
        LogLine(tr2("Значение установлено!", "New value is setted!"));
    }
}
