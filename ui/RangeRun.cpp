// Range runs: a stepped series start, start + step, ... up to the end, sent one step per
// press of the enter button or one step per period of the run timer.
#include "instrument/Mydialogs.h"
#include "instrument/ProfileProcessor.h"
#include "instrument/ValueLimitTables.h"
#include "platform/NumberText.h"
#include "ui/EntryLimits.h"
#include "ui/RunInternal.h"
#include "ui/main.h"
#include "ui_TForm1.h"

#include <QTimer>

namespace
{

using rundetail::kIdle;

// A value of the range as the format of its unit writes it. The run keeps the unit it was
// checked in: a unit chosen meanwhile changes neither the values nor their texts.
QString shown(const TForm1& w, double value)
{
    const int variant = w.variantIndex();
    if (w.celsiusMode() || !valuelimits::hasOhmLimits(variant, w.rangeUnit))
        return numtext::formatFloat(*w.processor->curFormat, value);
    return numtext::formatFloat(QString::fromLatin1(valuelimits::ohmLimits(variant, w.rangeUnit).format),
                                value);
}

// A value of the range in the unit the window shows now, as that unit's format writes it:
// the caption beside the next value names this unit, also after a unit chosen during a run.
QString inShownUnit(const TForm1& w, double value)
{
    const int variant = w.variantIndex();
    const int unit = w.unitIndex();
    if (w.celsiusMode() || unit == w.rangeUnit || !valuelimits::hasOhmLimits(variant, w.rangeUnit) ||
        !valuelimits::hasOhmLimits(variant, unit))
        return shown(w, value);
    return numtext::formatFloat(QString::fromLatin1(valuelimits::ohmLimits(variant, unit).format),
                                value * unitFactor(w.rangeUnit) / unitFactor(unit));
}

// The text SetValueOnDevice takes for a value of the range: in Ohm mode with kΩ or MΩ its
// Ω text in the Ω format of the variant, otherwise the text as it stands.
QString valueText(const TForm1& w, const QString& text)
{
    const int variant = w.variantIndex();
    double value = 0;
    if (w.celsiusMode() || w.rangeUnit == 0 || !valuelimits::hasOhmLimits(variant, 0) ||
        !numtext::tryStrToFloat(text, value))
        return text;
    return numtext::formatFloat(QString::fromLatin1(valuelimits::ohmLimits(variant, 0).format),
                                value * unitFactor(w.rangeUnit));
}

// The value after the one just sent; a step past the end is cut to the end. The sum is
// taken on the grid of the format, so that the end is met exactly and not missed by the
// rounding error of repeated additions (which would send the end value twice).
void advance(TForm1& w, double sent)
{
    double next = sent + w.rangeStep;
    double onGrid = 0;
    if (numtext::tryStrToFloat(shown(w, next), onGrid))
        next = onGrid;
    if ((w.rangeStep > 0 && w.rangeEnd < next) || (w.rangeStep < 0 && w.rangeEnd > next))
        next = w.rangeEnd;
    w.nextRangeValue = next;
    w.ui->IncrInpNextVal->setText(inShownUnit(w, next));
}

// The range edits, the input mode and type and the profile commands, locked while a run
// is active.
void lockRangeControls(TForm1& w, bool locked)
{
    Ui::TForm1* ui = w.ui;
    for (QWidget* c : {static_cast<QWidget*>(ui->IncInpEditStart), static_cast<QWidget*>(ui->IncInpEditEnd),
                       static_cast<QWidget*>(ui->IncInpEditStep), static_cast<QWidget*>(ui->Settings1),
                       static_cast<QWidget*>(ui->InpType)})
        c->setEnabled(!locked);
    w.SetProfileControlsEnabled(!locked && w.connected);
    ui->IncrInpButtonPause->setEnabled(locked);
}

// The end of a timed range run, by the stop or after its last value.
void endTimedRange(TForm1& w, bool stopCountdown)
{
    w.EndTimedRun(stopCountdown);
    lockRangeControls(w, false);
    w.ui->ConnectionButton->setEnabled(true);
    w.ui->IncrInpButtonEnter->setText(QStringLiteral("Старт"));
    w.ui->IncrInpNextVal->setText(kIdle);
}

} // namespace

bool TForm1::CheckRangeParams()
{
    const QString start = ui->IncInpEditStart->text();
    const QString end = ui->IncInpEditEnd->text();
    const QString step = ui->IncInpEditStep->text();
    double value = 0;
    if (!numtext::tryStrToFloat(start, value))
        return false;
    rangeStart = value;
    if (!numtext::tryStrToFloat(end, value))
        return false;
    rangeEnd = value;
    if (!numtext::tryStrToFloat(step, value))
        return false;
    rangeStep = value;
    rangeUnit = unitIndex();

    // The sign of the step gives the direction; its size must itself be an allowed value.
    const QString stepSize = step.startsWith(QLatin1Char('-')) ? step.mid(1) : step;
    const boost::regex& pattern = processor->rangeRegex;
    if (!matchesPattern(start, pattern) || !matchesPattern(end, pattern) ||
        !matchesPattern(stepSize, pattern))
        return false;
    return rangeStep != 0 && rangeStart != rangeEnd && !(rangeStep > 0 && rangeStart > rangeEnd) &&
           !(rangeStep < 0 && rangeStart < rangeEnd);
}

void TForm1::IncrInpButtonEnterClick()
{
    if (!rundetail::readyToSend(*this))
        return;
    const bool automatic = ui->AutoInp->isChecked();
    // A running timed run stops whatever the edits hold now (a thermometer change empties them).
    if (automatic && !rundetail::isStartCaption(ui->IncrInpButtonEnter->text())) {
        RangeTimedToggle();
        return;
    }
    if (!CheckRangeParams()) {
        ShowMessageBox(tr2("Внимание", "Attention"),
                       tr2("Параметры ввода заданы некорректно!", "Incorrect values!"), DialogType::Warning,
                       mbOK);
        return;
    }
    // A poll on the line: the press is carried out after its answer.
    if (WaitForLine([this] { IncrInpButtonEnterClick(); }))
        return;
    if (automatic) {
        RangeTimedToggle();
        return;
    }
    ui->IncrInpButtonEnter->setEnabled(false); // until the read-outs of the set arrive
    RangeManualStep();
    if (!setPending)
        ui->IncrInpButtonEnter->setEnabled(true); // the value was refused: no set runs
}

void TForm1::RangeManualStep()
{
    // The run's state is settled before the value goes out: a failed send disconnects, and
    // that ends the run from this state.
    QString text;
    if (ui->IncrInpNextVal->text() == kIdle) {
        text = valueText(*this, ui->IncInpEditStart->text());
        advance(*this, rangeStart);
        lockRangeControls(*this, true);
        ui->IncrInpButtonPause->setText(tr2("Прервать", "Stop"));
    } else {
        text = valueText(*this, shown(*this, nextRangeValue));
        if (nextRangeValue == rangeEnd)
            AbortManualRange();
        else
            advance(*this, nextRangeValue);
    }
    rundetail::appendToHistory(*this, text);
    SetValueOnDevice(text);
}

void TForm1::ShowNextRangeValue()
{
    if (ui->IncrInpNextVal->text() != kIdle)
        ui->IncrInpNextVal->setText(inShownUnit(*this, nextRangeValue));
}

void TForm1::AbortManualRange()
{
    lockRangeControls(*this, false);
    ui->IncrInpNextVal->setText(kIdle);
}

void TForm1::RangeTimedToggle()
{
    if (!rundetail::checkPeriod(*this))
        return;
    if (!rundetail::isStartCaption(ui->IncrInpButtonEnter->text())) {
        endTimedRange(*this, true);
        ui->IncrInpButtonPause->setText(QStringLiteral("Пауза"));
        return;
    }
    Timer->setInterval(rundetail::periodSeconds(ui->EditAuto) * runSecondMs);
    TimerCountdown->setInterval(runSecondMs);
    paused = false;
    restorePeriod = false;
    const QString text = valueText(*this, ui->IncInpEditStart->text());
    rundetail::appendToHistory(*this, text);
    rundetail::setRunMenusEnabled(*this, false);
    advance(*this, rangeStart);
    lockRangeControls(*this, true);
    ui->IncrInpButtonEnter->setText(QStringLiteral("Стоп"));
    autoRun = true;
    ui->ConnectionButton->setEnabled(false);
    SetValueOnDevice(text);
}

void TForm1::TimerIncr()
{
    if (!line->isFree()) {
        // An option write on the line: the value follows its answer. Behind a longer chain
        // the timer stays armed and comes again.
        if (line->run([this] { TimerIncr(); }))
            Timer->stop();
        return;
    }
    Timer->stop();
    if (!connected) {
        RangeTimedToggle();
        return;
    }
    const QString text = valueText(*this, shown(*this, nextRangeValue));
    rundetail::appendToHistory(*this, text);
    if (nextRangeValue == rangeEnd)
        endTimedRange(*this, false); // the countdown runs out by itself
    else
        advance(*this, nextRangeValue);
    // After the last value autoRun is false: the end of the set unlocks the buttons.
    SetValueOnDevice(text);
}
