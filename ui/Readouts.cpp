// The end of every set chain: the read-outs shown, logged and kept in the history, the
// derived temperature and stability figures, and the value entry released.
#include "instrument/ProfileProcessor.h"
#include "platform/NumberText.h"
#include "ui/ReadoutFigures.h"
#include "ui/main.h"
#include "ui_TForm1.h"

#include <QTimer>
#include <array>

namespace
{

constexpr std::uint8_t kNotReadyBit = 4; // statusFlags: the instrument did not take the value
const QString kNone = QStringLiteral("--");

} // namespace

void TForm1::ShowReadouts()
{
    // The row is collected first and appended once at the end: a figure that cannot be
    // worked out (a read-out or caption that is no number) shows and keeps "--" and the rest
    // goes on, so the columns never differ in length and the input is always released.
    std::array<QString, HistColumnCount> row;
    row.fill(kNone);
    otklonPercentCText.clear();

    const bool celsius = celsiusMode();
    const QString profFormat = processor->profFormat;
    const QString ohmUnit = tr2(" Ом", " Ohm");

    // Temperature figures, Celsius mode only.
    bool trueCelsiusOk = false;
    bool otklonCelsiusOk = false;
    if (celsius) {
        if (ui->CheckTrueVal->isChecked() || ui->checkTrueC->isChecked() || needTrueVal) {
            double ohms = 0;
            trueCelsiusOk = numtext::tryStrToFloat(trueValText, ohms);
            if (trueCelsiusOk)
                trueValCelsius = readout::truncate4(processor->ohmToTemp(ohms, short(rtdType)));
        }
        if (trueCelsiusOk) {
            if (ui->OtklonPercentC->isChecked() && setValueCelsius != 0) {
                otklonCelsius = readout::deltaCelsius(trueValCelsius, setValueCelsius);
                otklonCelsiusOk = true;
                otklonPercentCText = readout::deltaTPercentText(otklonCelsius, setValueCelsius);
            } else if (ui->OtklonC->isChecked()) {
                otklonCelsius = readout::deltaCelsius(trueValCelsius, setValueCelsius);
                otklonCelsiusOk = true;
            }
        }
    }
    const QString trueCelsiusText = trueCelsiusOk ? numtext::formatFloat(profFormat, trueValCelsius) : kNone;
    const QString otklonCelsiusText =
        otklonCelsiusOk ? numtext::formatFloat(profFormat, otklonCelsius) : kNone;
    const bool showPercentC = celsius && ui->OtklonPercentC->isChecked() && setValueCelsius != 0;
    if (showPercentC && otklonPercentCText.isEmpty())
        otklonPercentCText = kNone;

    if (celsius && ui->checkTrueC->isChecked()) {
        LogLine(tr2(" Tвос: ", " Tout: ") + trueCelsiusText +
                (trueCelsiusOk ? QStringLiteral(" °C") : QString()));
        row[HistTrueCelsius] = trueCelsiusText;
    }
    if (celsius && ui->OtklonC->isChecked()) {
        const QString sign = otklonCelsiusOk && otklonCelsius > 0 ? QStringLiteral("+") : QString();
        LogLine(QStringLiteral(" ΔT: ") + sign + otklonCelsiusText +
                (otklonCelsiusOk ? QStringLiteral(" °C") : QString()));
        row[HistDeltaT] = otklonCelsiusText;
    }
    if (celsius && showPercentC) {
        LogLine(QStringLiteral(" δT: ") + otklonPercentCText);
        row[HistDeltaTPercent] = otklonPercentCText;
    }

    // Read-outs as the instrument sent them.
    if (ui->CheckTrueVal->isChecked()) {
        LogLine(tr2(" Rвос: ", " Rout: ") + trueValText + ohmUnit);
        row[HistTrueVal] = trueValText;
    }
    if (ui->OtklonOm->isChecked()) {
        LogLine(QStringLiteral(" ΔR: ") + otklonOmText + ohmUnit);
        row[HistDeltaR] = otklonOmText;
    }
    if (ui->OtklonPercent->isChecked()) {
        if (setValueOhm != 0) {
            LogLine(QStringLiteral(" δR: ") + otklonPercentText + QStringLiteral(" %"));
            row[HistDeltaRPercent] = otklonPercentText;
        } else {
            LogLine(QStringLiteral(" δR: ") + kNone);
        }
    }
    if (ui->checkI->isChecked()) {
        if (const auto texts = readout::iMaxTexts(iMaxText, isRussian())) {
            row[HistIMax] = texts->column;
            iMaxText = texts->display;
        } else {
            iMaxText = kNone;
        }
        LogLine(tr2(" I макс: ", " I max: ") + iMaxText);
    }
    if (ui->checkU->isChecked()) {
        row[HistUMax] = uMaxText;
        uMaxText += tr2(" B", " V"); // a Latin B, unlike the check box caption
        LogLine(tr2(" U макс: ", " U max: ") + uMaxText);
    }

    // Stability over a year from the accuracy class; R is the resistance actually set (in
    // Celsius mode setValueOhm, not the temperature number).
    const QString fullName = ui->deviceFullName->text();
    const QString classText = ui->LabelPrecision->text();
    const bool named = fullName.size() >= 9;
    double cls = 0;
    const bool clsOk = numtext::tryStrToFloat(classText, cls);
    double r = 0;
    const bool rOk = celsius ? true : numtext::tryStrToFloat(lastValue, r);
    if (celsius)
        r = setValueOhm;
    const bool computable = clsOk && rOk && r != 0;
    const double k = clsOk ? readout::classTerm(cls, classText, fullName) : 0;

    ui->StandartInpStab->setText(kNone);
    if (ui->Stability->isChecked() && named) {
        if (computable) {
            const QString figure = numtext::formatFloat(
                QStringLiteral("0.0000"), readout::stabilityPercent(cls, k, processor->maxDec, r));
            ui->StandartInpStab->setText(QStringLiteral("±") + figure + QStringLiteral(" %"));
            row[HistStability] = figure;
        }
        LogLine(QStringLiteral(" δн: ") + ui->StandartInpStab->text());
    }
    ui->StandartInpStabAbs->setText(kNone);
    if (ui->AbsStability->isChecked() && named) {
        if (computable) {
            const QString figure =
                numtext::formatFloat(QStringLiteral("0.0000"),
                                     readout::stabilityOhm(cls, k, processor->minDec, processor->maxDec, r));
            ui->StandartInpStabAbs->setText(QStringLiteral("±") + figure + ohmUnit);
            row[HistAbsStability] = figure;
        }
        LogLine(QStringLiteral(" Δн: ") + ui->StandartInpStabAbs->text());
    }

    if (ui->CheckBox1->isChecked()) {
        row[HistDecadeSteps] = decadeStepsText;
        LogLine(tr2(" Ступени декад (Старшая->Младшая): ", " Enabled decades (Upper->Lower): ") +
                decadeStepsText);
    }

    if (statusFlags & kNotReadyBit) {
        LogLine(tr2("Значение не установлено!", "New value is not setted!"));
        statusFlags &= std::uint8_t(~kNotReadyBit);
    } else {
        LogLine(tr2("Значение установлено!", "New value is setted!"));
    }
    LogLine(QString());
    logIndex = 0;

    history.appendRow(row, historyEntry);

    if (ui->StandartInputGroup->isVisibleTo(this)) {
        if (celsius) {
            ui->StandartInpFact->setText(ui->checkTrueC->isChecked() && trueCelsiusOk
                                             ? trueCelsiusText + QStringLiteral(" °C")
                                             : kNone);
            ui->StandartInpOtklon->setText(ui->OtklonC->isChecked() && otklonCelsiusOk
                                               ? otklonCelsiusText + QStringLiteral(" °C")
                                               : kNone);
            ui->StandartInpPercent->setText(showPercentC ? otklonPercentCText : kNone);
        } else {
            ui->StandartInpFact->setText(ui->CheckTrueVal->isChecked() ? trueValText + ohmUnit : kNone);
            ui->StandartInpOtklon->setText(ui->OtklonOm->isChecked() ? otklonOmText + ohmUnit : kNone);
            ui->StandartInpPercent->setText(setValueOhm != 0 && ui->OtklonPercent->isChecked()
                                                ? otklonPercentText + QStringLiteral(" %")
                                                : kNone);
        }
        ui->StandartInpI->setText(ui->checkI->isChecked() ? iMaxText : kNone);
        ui->StandartInpU->setText(ui->checkU->isChecked() ? uMaxText : kNone);
    }

    if (!autoRun) {
        ui->StandartInpEdit->setReadOnly(false);
        ui->StandartInpEdit->clear();
        ui->DigitDown->setEnabled(true);
        ui->DigitUp->setEnabled(true);
        ui->ProfileInpButtonEnter->setEnabled(true);
        ui->IncrInpButtonEnter->setEnabled(true);
        ui->StandartInpButtonEnter->setEnabled(true);
    } else {
        if (restorePeriod) {
            restorePeriod = false;
            int period = 0;
            if (numtext::tryStrToInt(ui->EditAuto->text(), period) && period > 0)
                Timer->setInterval(period * runSecondMs);
        }
        // The run period counts from the end of the read-out chain.
        ui->TimeLeft->setText(QString::number(Timer->interval() / runSecondMs));
        if (!paused) {
            Timer->start();
            TimerCountdown->start();
        }
    }

    setPending = false;
    inputAllowed = true;
}
