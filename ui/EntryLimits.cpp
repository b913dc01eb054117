#include "ui/EntryLimits.h"

#include "instrument/ProfileProcessor.h"
#include "platform/CodePage.h"
#include "ui/main.h"
#include "ui_TForm1.h"

#include <string>

CheckLimits ohmCheckLimits(TForm1& w)
{
    Ui::TForm1* ui = w.ui;
    const bool celsius = w.celsiusMode();
    const int unit = ui->ChooseOhm->currentIndex();
    const int position = ui->SelectDigit->position();
    const QString digit = ui->Digit->text();
    const QString edit1 = ui->Edit1->text();
    // The °C limits empty the operator's step and rewrite these edits in their own format.
    const QString userStep = w.userStepText;
    QLineEdit* const edits[] = {ui->StandartInpEdit, ui->IncInpEditStart, ui->IncInpEditEnd,
                                ui->IncInpEditStep};
    QString editTexts[4];
    for (int i = 0; i < 4; ++i)
        editTexts[i] = edits[i]->text();

    ui->ChooseOhm->setCurrentIndex(0);
    w.UpdateValueLimits();
    if (celsius)
        w.UpdateTemperatureLimits();
    CheckLimits limits{w.processor->rangeRegex, w.processor->ohmFormat};

    ui->ChooseOhm->setCurrentIndex(unit);
    w.UpdateValueLimits();
    if (celsius)
        w.UpdateTemperatureLimits();
    w.userStepText = userStep;
    for (int i = 0; i < 4; ++i)
        if (edits[i]->text() != editTexts[i])
            edits[i]->setText(editTexts[i]);
    ui->SelectDigit->setPosition(position);
    ui->Edit1->setText(edit1);
    ui->Digit->setText(digit);
    return limits;
}

bool matchesPattern(const QByteArray& bytes, const boost::regex& pattern)
{
    try {
        return boost::regex_match(std::string(bytes.constData(), bytes.size()), pattern);
    } catch (const std::exception&) {
        return false; // no pattern yet, or one too complex for the text: refused
    }
}

bool matchesPattern(const QString& text, const boost::regex& pattern)
{
    bool ok = false;
    const QByteArray bytes = cp1251::fromUnicode(text, &ok);
    return ok && matchesPattern(bytes, pattern);
}
