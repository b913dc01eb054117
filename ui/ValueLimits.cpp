// Instrument variant set-up, the physical quantity (Ω or °C), the resistance unit and the
// value limits that every entry, range, value list and set is checked against.
#include "instrument/Mydialogs.h"
#include "instrument/ProfileProcessor.h"
#include "instrument/ValueLimitTables.h"
#include "platform/NumberText.h"
#include "ui/main.h"
#include "ui_TForm1.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <array>

namespace
{

// The single-value edit and the three range edits, in the order they are reformatted.
std::array<QLineEdit*, 4> valueEdits(Ui::TForm1* ui)
{
    return {ui->StandartInpEdit, ui->IncInpEditStart, ui->IncInpEditEnd, ui->IncInpEditStep};
}

void clearValueEdits(Ui::TForm1* ui)
{
    for (QLineEdit* e : valueEdits(ui))
        e->clear();
}

std::array<QComboBox*, 3> unitBoxes(Ui::TForm1* ui)
{
    return {ui->ChooseOhm, ui->ChooseOhm2, ui->ChooseOhm1};
}

void setUnitUpDownsVisible(Ui::TForm1* ui, bool visible)
{
    ui->ChooseOhmUpDown->setVisible(visible);
    ui->ChooseOhm2UpDown->setVisible(visible);
    ui->ChooseOhm1UpDown->setVisible(visible);
}

void setMenuEnabled(QMenu* menu, bool enabled)
{
    menu->menuAction()->setEnabled(enabled);
    menu->setEnabled(enabled);
}

void setCelsiusCheckBoxesEnabled(Ui::TForm1* ui, bool enabled)
{
    ui->OtklonC->setEnabled(enabled);
    ui->checkTrueC->setEnabled(enabled);
    ui->OtklonPercentC->setEnabled(enabled);
}

// The patterns are plain ASCII, so their text is already the CP1251 byte string the
// values are matched as.
boost::regex compilePattern(const char* pattern)
{
    return boost::regex(pattern);
}

} // namespace

int TForm1::variantIndex() const
{
    return ui->BoxDevice->currentIndex();
}

int TForm1::unitIndex() const
{
    return ui->ChooseOhm->currentIndex();
}

bool TForm1::celsiusMode() const
{
    return ui->Celsium->isChecked();
}

void TForm1::ApplyDeviceType()
{
    const int i = variantIndex();
    if (i >= 0 && i < valuelimits::VariantCount) {
        if (processor->deviceID == i + 1)
            return;
        const DeviceType& d = kDeviceTypes[i];
        processor->deviceID = d.id;
        processor->minDec = d.minDec;
        processor->maxDec = d.maxDec;
        processor->decSteps = valuelimits::DecadeSteps;
        processor->profFormat = QString::fromLatin1(valuelimits::ProfileFormat);
        processor->entryRegex = compilePattern(valuelimits::entryPattern(i));
    }
    ui->IncInpEditStart->clear();
    ui->IncInpEditEnd->clear();
    ui->IncInpEditStep->clear();
    processor->profLoaded = false;
    if (i < 2) {
        ui->Celsium->setEnabled(true);
    } else {
        // Only RD5540-1 and RD5540-2 imitate thermometers.
        ui->Celsium->setEnabled(false);
        OhmClick(this);
    }
}

void TForm1::ApplyRtdType()
{
    clearValueEdits(ui);
    loadRtdCoefficients(*processor, rtdType);
    UpdateTemperatureLimits();
}

void TForm1::UpdateValueLimits()
{
    const int v = variantIndex();
    const int u = unitIndex();
    if (valuelimits::hasOhmLimits(v, u)) {
        const valuelimits::OhmLimits& l = valuelimits::ohmLimits(v, u);
        processor->rangeRegex = compilePattern(l.rangePattern);
        processor->ohmFormat = QString::fromLatin1(l.format);
        processor->digitStep = l.step;
        processor->discreteness = l.step;
        ui->SelectDigit->setMin(l.selectorMin);
        ui->SelectDigit->setMax(l.selectorMax);
        ui->SelectDigit->setPosition(l.selectorPosition);
    }
    processor->curFormat = &processor->ohmFormat;
}

void TForm1::UpdateTemperatureLimits()
{
    const std::array<QAction*, valuelimits::R0Count> r0Items = {ui->N01, ui->N501, ui->N1001, ui->N1002,
                                                                ui->N10001};
    int r0 = 0;
    for (int k = 0; k < valuelimits::R0Count; ++k)
        if (r0Items[k]->isChecked())
            r0 = valuelimits::kR0Values[k];

    // The digit selector starts at the 1 °C decade; its top position is the operator's own step.
    ui->SelectDigit->setMax(valuelimits::CelsiusSelectorMax);
    const valuelimits::CelsiusLimits* row = nullptr;
    if (valuelimits::hasCelsiusLimits(r0)) {
        row = &valuelimits::celsiusLimits(r0, variantIndex() == 0);
        processor->celsiusFormat = QString::fromLatin1(row->celsiusFormat);
        processor->digitStep = row->digitStep;
        ui->SelectDigit->setMin(row->selectorMin);
        valuelimits::RtdFamily family;
        if (valuelimits::rtdFamily(rtdType, family))
            processor->rangeRegex = compilePattern(valuelimits::celsiusPattern(row->row, family));
    }
    ui->SelectDigit->setPosition(0);
    ui->Digit->setText(QStringLiteral("1"));

    userStepText.clear();

    if (row) {
        const QString editFormat = QString::fromLatin1(row->editFormat);
        for (QLineEdit* e : valueEdits(ui)) {
            if (e->text().isEmpty())
                continue;
            // A half-typed text such as "-" is no number yet: it stays as it is, and the
            // other edits are still reformatted.
            double v = 0;
            if (numtext::tryStrToFloat(e->text(), v))
                e->setText(numtext::formatFloat(editFormat, v));
        }
    }

    processor->curFormat = &processor->celsiusFormat;
}

void TForm1::ResetValueLabels()
{
    const QString none = QStringLiteral("--");
    ui->StandartInpFact->setText(none);
    ui->StandartInpOtklon->setText(none);
    ui->LabelLastVal->setText(none);
}

void TForm1::OhmClick(QObject* sender)
{
    checkRadioItem(ui->Ohm);
    SelectHistoryList();
    ResetValueLabels();

    ui->StandartInpOtklon1->setText(QStringLiteral("ΔR: "));
    ui->Label25->setText(QStringLiteral("δR: "));
    ui->Label13->setText(QStringLiteral("R:"));
    ui->Label4->setText(tr2("Rвос:", "Rout:"));
    const int u = unitIndex();
    if (u >= 0 && u < valuelimits::UnitCount) {
        const valuelimits::UnitCaptions& c = valuelimits::unitCaptions(u);
        const QString unit = tr2(c.unitRu, c.unitEn);
        ui->Label9->setText(unit);
        ui->IncPhysVal->setText(unit);
        ui->ProfilePhysVal->setText(unit);
        ui->Label6->setText(tr2(c.stepRu, c.stepEn));
    }

    setMenuEnabled(ui->MtemperType, false);
    setMenuEnabled(ui->Rt0List, false);
    setCelsiusCheckBoxesEnabled(ui, false);
    ui->Label9->move(36, ui->Label9->y());

    clearValueEdits(ui);
    // The value-list loader switches the quantity for the list it is opening: keep that list.
    if (sender != ui->ProfileInpButtonOpen) {
        ui->InfoValsProf->clear();
        processor->setProfPath({});
    }

    UpdateValueLimits();
    lastValue = QStringLiteral("0");
    ui->Digit->setText(numtext::floatToStr(processor->digitStep));
    setUnitUpDownsVisible(ui, true);
}

void TForm1::CelsiumClick(QObject* sender)
{
    if (variantIndex() > 1) {
        ShowMessageBox(tr2("Ошибка", "Error"),
                       tr2("Данный прибор не поддерживает имитацию термопреобразователей!",
                           "This device doesn't allow to simulate the sensors!"),
                       DialogType::Error, mbOK);
        return;
    }

    setUnitUpDownsVisible(ui, false);

    if (!ui->Celsium->isChecked()) {
        setCelsiusCheckBoxesEnabled(ui, true);
        checkRadioItem(ui->Celsium);
        SelectHistoryList();
        ResetValueLabels();

        // Т and С of the Celsius captions are Cyrillic letters; "T:" and "Tout:" are Latin.
        ui->StandartInpOtklon1->setText(QStringLiteral("ΔT: "));
        ui->Label25->setText(QStringLiteral("δT: "));
        ui->Label4->setText(tr2("Твос:", "Tout:"));
        ui->Label13->setText(QStringLiteral("T:"));
        ui->Label9->setText(QStringLiteral("Т, °С:"));
        ui->Label9->move(18, ui->Label9->y());
        ui->Label6->setText(tr2("Шаг, °С:", "Step, °С:"));
        ui->IncPhysVal->setText(QStringLiteral("Т, °С:"));
        ui->ProfilePhysVal->setText(QStringLiteral("Т, °С"));

        setMenuEnabled(ui->MtemperType, true);
        setMenuEnabled(ui->Rt0List, true);

        ApplyRtdType();
        clearValueEdits(ui);
        if (sender != ui->ProfileInpButtonOpen) {
            ui->InfoValsProf->clear();
            processor->setProfPath({});
        }
        processor->curFormat = &processor->celsiusFormat;
    }

    lastValue = QStringLiteral("0");
    ui->Digit->setText(numtext::floatToStr(processor->digitStep));
}

void TForm1::ChooseOhmVisDblClick()
{
    if (ui->Ohm->isChecked())
        for (QComboBox* box : unitBoxes(ui))
            box->setVisible(true);
    setUnitUpDownsVisible(ui, false);
}

void TForm1::ChooseOhmCloseUp()
{
    for (QComboBox* box : unitBoxes(ui))
        box->setVisible(false);
    setUnitUpDownsVisible(ui, true);
}

void TForm1::ChooseOhmSelect(QObject* sender)
{
    auto* chosen = qobject_cast<QComboBox*>(sender);
    if (!chosen)
        return;
    const int u = chosen->currentIndex();
    const QString text = chosen->currentText();

    if (u >= 0 && u < valuelimits::UnitCount) {
        const valuelimits::UnitCaptions& c = valuelimits::unitCaptions(u);
        ui->Label6->setText(tr2(c.stepRu, c.stepEn));
    }
    const QString caption = text + QLatin1Char(':');
    ui->Label9->setText(caption);
    ui->ProfilePhysVal->setText(caption);
    ui->IncPhysVal->setText(caption);

    // The three boxes always show one unit; setting them must not re-enter this handler.
    for (QComboBox* box : unitBoxes(ui)) {
        const QSignalBlocker block(box);
        box->setCurrentIndex(u);
        if (box->isEditable())
            box->setEditText(text);
    }

    UpdateValueLimits();
    ui->Digit->setText(numtext::floatToStr(processor->discreteness));
    clearValueEdits(ui);
    ShowNextRangeValue();
}

void TForm1::ChooseOhmUpDownClick(QObject* sender, UpDown::Button button)
{
    Q_UNUSED(sender);
    int u = unitIndex();
    if (u < 0 || u >= valuelimits::UnitCount)
        u = 0;
    // btNext: Ω -> kΩ -> MΩ -> Ω; btPrev the other way round.
    u = button == UpDown::btNext ? (u + 1) % valuelimits::UnitCount
                                 : (u + valuelimits::UnitCount - 1) % valuelimits::UnitCount;
    {
        const QSignalBlocker block(ui->ChooseOhm);
        ui->ChooseOhm->setCurrentIndex(u);
    }
    ChooseOhmSelect(ui->ChooseOhm);
}

void TForm1::BoxDeviceClick()
{
    prevDeviceIndex = variantIndex();
}

void TForm1::BoxDeviceChange()
{
    const int i = variantIndex();
    // The variant the model holds; the box can also be changed without opening its list
    // (keys, wheel), so prevDeviceIndex alone may lag behind it.
    const int applied = processor->deviceID >= 1 && processor->deviceID <= valuelimits::VariantCount
                            ? processor->deviceID - 1
                            : -1;
    if (i == prevDeviceIndex && (i < 0 || i == applied))
        return;

    if ((ui->InfoValsOhm->count() > 0 || ui->InfoValsC->count() > 0) && isVisible() &&
        !dontShowDeviceWarning) {
        const QString text = tr2("Смена прибора приведёт к очистке истории ввода!\n"
                                 "Убедитесь, что все необходимые данные сохранены.",
                                 "After changing the device, the entered values will be cleared!\n"
                                 "Make sure all needed data is saved");
        const int result =
            ShowConfirmDialog(text, tr2("Подтверждение действия", "Confirm"),
                              tr2("Больше не показывать это окно", "Don't show again"),
                              &dontShowDeviceWarning, DialogType::Confirmation, mbOK | mbCancel);
        if (result != mrOk) {
            const QSignalBlocker block(ui->BoxDevice);
            ui->BoxDevice->setCurrentIndex(applied >= 0 ? applied : prevDeviceIndex);
            return;
        }
    }

    ApplyDeviceType();
    ui->InfoValsOhm->clear();
    ui->InfoValsC->clear();
    ui->InfoValsProf->clear();
    ClearHistory(history);
    if (celsiusMode())
        UpdateTemperatureLimits();
    else
        UpdateValueLimits();
    processor->resizeProfile();
    ResetValueLabels();
}
