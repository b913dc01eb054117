// The instrument options of the "Настройки" menu: output mode, display selection,
// thermometer type and R0, status polling. Each handler checks its item and records the
// option; the two instrument options are written to the instrument at once when connected.
#include "instrument/Frame.h"
#include "instrument/ProfileProcessor.h"
#include "instrument/Registers.h"
#include "instrument/ValueLimitTables.h"
#include "ui/main.h"
#include "ui_TForm1.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <array>

namespace
{

// Output-mode items in the order of valuelimits::kOutputModes.
std::array<QAction*, valuelimits::OutputModeCount> outputModeItems(Ui::TForm1* ui)
{
    return {ui->funcDefaultx2, ui->funcDefaultx4, ui->funcCorrectionx2, ui->funcCorrectionx4};
}

void chooseOutputMode(TForm1* w, int mode)
{
    const valuelimits::OutputMode& m = valuelimits::kOutputModes[mode];
    TForm1::checkRadioItem(outputModeItems(w->ui)[mode]);
    w->ui->modeLabel->setText(w->tr2(m.labelRu, m.labelEn));
    if (w->connected)
        w->WriteOption(regNumber(Reg::OutputMode), QByteArray(m.letter));
}

void chooseDisplay(TForm1* w, QAction* item, int index)
{
    const QByteArray letter(valuelimits::kDisplayLetters[index]);
    TForm1::checkRadioItem(item);
    if (w->connected)
        w->WriteOption(regNumber(Reg::Display), letter);
    // Every later set chain starts by writing this letter, connected now or not.
    w->displayLetter = letter;
}

void chooseRtdType(TForm1* w, QAction* item, int type)
{
    TForm1::checkRadioItem(item);
    w->rtdType = type;
    w->ApplyRtdType();
}

void chooseR0(TForm1* w, QAction* item, int r0)
{
    w->processor->Rt0 = r0;
    if (item->isChecked())
        return; // the limits already belong to this R0 class
    TForm1::checkRadioItem(item);
    w->UpdateTemperatureLimits();
}

} // namespace

// An output mode or display selection written on its own: after a poll on the line; the
// items are locked while a longer chain runs (ApplyLineLock).
void TForm1::WriteOption(std::uint16_t reg, const QByteArray& letter)
{
    if (!line->run([this, reg, letter] {
            line->begin(LineOwner::Chain::Option);
            SendFrame(frame::FuncWrite, reg, letter);
        }))
        QApplication::beep();
}

// ---- output mode ----

void TForm1::funcDefaultx2Click()
{
    chooseOutputMode(this, 0);
}

void TForm1::funcDefaultx4Click()
{
    chooseOutputMode(this, 1);
}

void TForm1::funcCorrectionx2Click()
{
    chooseOutputMode(this, 2);
}

void TForm1::funcCorrectionx4Click()
{
    chooseOutputMode(this, 3);
}

QByteArray TForm1::outputModeLetter() const
{
    const auto items = outputModeItems(ui);
    for (int k = 0; k < valuelimits::OutputModeCount; ++k)
        if (items[k]->isChecked())
            return QByteArray(valuelimits::kOutputModes[k].letter);
    return {};
}

// ---- display selection ----

void TForm1::N11Click()
{
    chooseDisplay(this, ui->N11, 0);
}

void TForm1::N21Click()
{
    chooseDisplay(this, ui->N21, 1);
}

void TForm1::N31Click()
{
    chooseDisplay(this, ui->N31, 2);
}

void TForm1::R1Click()
{
    chooseDisplay(this, ui->R1, 3);
}

void TForm1::N13Click()
{
    chooseDisplay(this, ui->N13, 4);
}

void TForm1::N14Click()
{
    chooseDisplay(this, ui->N14, 5);
}

void TForm1::N17Click()
{
    chooseDisplay(this, ui->N17, 6);
}

void TForm1::N10Click()
{
    chooseDisplay(this, ui->N10, 7);
}

// ---- thermometer type ----

void TForm1::platinum391Click()
{
    chooseRtdType(this, ui->platinum391, 0);
}

void TForm1::platinum385Click()
{
    chooseRtdType(this, ui->platinum385, 1);
}

void TForm1::copper428Click()
{
    chooseRtdType(this, ui->copper428, 2);
}

void TForm1::nickel617Click()
{
    chooseRtdType(this, ui->nickel617, 3);
}

// ---- thermometer R0 ----

void TForm1::N01Click()
{
    chooseR0(this, ui->N01, valuelimits::kR0Values[0]);
}

void TForm1::N501Click()
{
    chooseR0(this, ui->N501, valuelimits::kR0Values[1]);
}

void TForm1::N1001Click()
{
    chooseR0(this, ui->N1001, valuelimits::kR0Values[2]);
}

void TForm1::N1002Click()
{
    chooseR0(this, ui->N1002, valuelimits::kR0Values[3]);
}

void TForm1::N10001Click()
{
    chooseR0(this, ui->N10001, valuelimits::kR0Values[4]);
}

// ---- status polling: the polling timer reads the checked item at every tick ----

void TForm1::RequestEnabledClick()
{
    checkRadioItem(ui->RequestEnabled);
}

void TForm1::RequestDisabledClick()
{
    checkRadioItem(ui->RequestDisabled);
}
