// Saving the profile window's values as a profile file, the blink that points at a value
// that stops the save, and the question before unsaved changes are lost.
#include "instrument/FileDialogs.h"
#include "instrument/Mydialogs.h"
#include "instrument/ProfileFileWriter.h"
#include "instrument/ProfileProcessor.h"
#include "platform/NumberText.h"
#include "ui/EntryLimits.h"
#include "ui/main.h"
#include "ui_TForm3.h"
#include "verification/FProfileEdit.h"
#include "verification/ProfileWindowText.h"
#include "verification/TsEdit.h"

#include <QTimer>
#include <cmath>

namespace
{

constexpr int BlinkToggles = 8; // four times highlighted, then back to the normal tone

using profilewindow::lang;
using profilewindow::numberOr;

bool matches(const QString& text, const boost::regex& re)
{
    return matchesPattern(text, re);
}

bool matches(const QString& text, const char* pattern)
{
    return matchesPattern(text, boost::regex(pattern));
}

// Half up to 4 or 1 decimals.
double q4(double x)
{
    return std::floor(x * 10000 + 0.5) / 10000;
}

double q1(double x)
{
    return std::floor(x * 10 + 0.5) / 10;
}

void warnAndBlink(TForm3& w, QLineEdit* edit, const char* ru, const char* en)
{
    ShowMessageBox(lang("Внимание", "Attention"), lang(ru, en), DialogType::Warning, mbOK);
    w.StartBlink(edit);
}

} // namespace

void TForm3::SaveButtonClick()
{
    const bool english = Form1 && !Form1->isRussian();
    FileDialogRequest dialog;
    dialog.kind = FileDialogKind::Save;
    dialog.defaultExt = QStringLiteral("txt");
    dialog.fileName = english ? QStringLiteral("New real values profile")
                              : QStringLiteral("Новый профиль действительных значений");
    dialog.filter = english ? QStringLiteral("Text file|*.txt") : QStringLiteral("Текстовый файл|*.txt");
    dialog.overwritePrompt = true;

    const int id = processor->deviceID;
    if (id >= 3 && id <= 5)
        processor->entryRegex = boost::regex("([0-9]{1,8}(,[0-9]{0,4})?)");

    for (TsEdit* cell : valEdits) {
        if (cell->text().isEmpty()) {
            warnAndBlink(*this, cell, "Не все поля заполнены!", "Some field are empty!");
            return;
        }
        if (!matches(cell->text(), processor->entryRegex)) {
            warnAndBlink(*this, cell, "Значение за пределами диапазона прибора!", "Value beyond range");
            return;
        }
    }
    if (ui->R02->text().isEmpty() || ui->R04->text().isEmpty()) {
        warnAndBlink(*this, ui->R02->text().isEmpty() ? ui->R02 : ui->R04, "Не все поля заполнены!",
                     "Some field are empty!");
        return;
    }
    for (TsEdit* e : {ui->R02, ui->R04}) {
        if (!matches(e->text(), processor->entryRegex)) {
            warnAndBlink(*this, e, "Значение за пределами диапазона прибора!", "Value beyond range!");
            return;
        }
    }

    const QString path = ExecuteFileDialog(dialog);
    if (path.isEmpty())
        return;
    QByteArray path8;
    if (!profilefile::acceptPath(path, &path8, !english))
        return;

    QStringList lines;
    if (isVerificationLayout()) {
        // Measured values less the 4-wire zero resistance.
        const double r4 = numberOr(ui->R04->text(), 0.0);
        const QString f4 = QStringLiteral("0.0000");
        lines << numtext::formatFloat(f4, q4(numberOr(ui->R02->text(), 0.0)))
              << numtext::formatFloat(f4, q4(r4));
        for (TsEdit* cell : valEdits) {
            const QString t = cell->text();
            const double v = numberOr(t, 0.0);
            // Five decimals give four, two decimals give one; any other text (RD5540-3..5
            // reformat to four or one decimals) by its nominal, as the cell's reformatting does.
            bool fourDecimals = matches(t, "([0-9]{1,5}(,[0-9]{5})?)");
            if (!fourDecimals && !matches(t, "([0-9]{4,8}(,[0-9]{2})?)"))
                fourDecimals = nominalOf(cell, nullptr) <= 90000;
            lines << (fourDecimals ? numtext::formatFloat(f4, q4(v - r4))
                                   : numtext::formatFloat(QStringLiteral("0.0"), q1(v - r4)));
        }
    } else {
        lines << ui->R02->text() << ui->R04->text();
        for (TsEdit* cell : valEdits)
            lines << cell->text();
    }

    QString error;
    if (!profilefile::writeProfileFile(path, processor->getDeviceName() + QStringLiteral(";f"), lines,
                                       &error)) {
        ShowMessageBox(
            lang("Ошибка", "Error"),
            lang("Не удалось записать файл профиля:\n", "The profile file could not be written:\n") + path +
                QLatin1Char('\n') + error +
                lang("\nПрежний файл не изменён.", "\nThe earlier file is unchanged."),
            DialogType::Error, mbOK);
        return;
    }
    processor->openFprof(path8);
    ShowMessageBox(lang("Информация", "Information"), lang("Профиль сохранён.", "Profile saved"),
                   DialogType::Information, mbOK);
}

bool TForm3::FormCloseQuery()
{
    const int id = processor->deviceID;
    if (id >= 3 && id <= 5)
        processor->entryRegex = boost::regex("([0-9]{1,5}(,[0-9]{0,4})?)|([0-9]{6,8}(,[0-9]{0,1})?)");
    if (isVerificationLayout())
        return true;

    bool changed = false;
    if (compareMode) {
        const int m = processor->decSteps;
        for (std::size_t k = 0; k < valEdits.size() && !changed; ++k) {
            const std::size_t d = k / std::size_t(m), j = k % std::size_t(m);
            const bool held = d < processor->profile.size() && j < processor->profile[d].size();
            changed = !held || numberOr(valEdits[k]->text(), -1.0) != processor->profile[d][j];
        }
        changed = changed || numberOr(ui->R02->text(), -1.0) != processor->R02 ||
                  numberOr(ui->R04->text(), -1.0) != processor->R04;
    } else {
        for (TsEdit* cell : valEdits)
            changed = changed || !cell->text().isEmpty();
        changed = changed || !ui->R02->text().isEmpty() || !ui->R04->text().isEmpty();
    }
    if (!changed)
        return true;
    return ShowMessageBox(lang("Внимание", "Attention"),
                          lang("Выйти без сохранения изменений?", "Some changes are not saved"),
                          DialogType::Warning, mbOK | mbCancel) == mrOk;
}

void TForm3::StartBlink(QLineEdit* control)
{
    blinkTarget = control;
    TimerAlert->start();
}

void TForm3::TimerAlertTimer()
{
    auto* target = qobject_cast<TsEdit*>(blinkTarget);
    if (blinkCount == BlinkToggles) {
        TimerAlert->stop();
        if (blinkTarget && blinkTarget->isVisible() && blinkTarget->isEnabled())
            blinkTarget->setFocus();
        blinkCount = 0;
        return;
    }
    if (target) {
        const QColor highlight = target->palette().color(QPalette::Highlight);
        target->setColorTone(target->colorTone() != highlight ? highlight : normalColor);
    }
    ++blinkCount;
}
