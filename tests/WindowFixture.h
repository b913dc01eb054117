#pragma once
// A real main window for the entry and read-out tests, with dialogs answered by a seam and
// helpers to pick the variant, unit and quantity the way the operator does.

#include "instrument/Mydialogs.h"
#include "instrument/ProfileProcessor.h"
#include "platform/MemoLines.h"
#include "ui/main.h"
#include "ui_TForm1.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <initializer_list>

class WindowFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        w.FormCreate();
        selectVariant(0);
        if (w.celsiusMode())
            w.OhmClick(w.ui->Ohm);
        selectUnit(0);
        seam.clear();
    }

    Ui::TForm1* ui() { return w.ui; }
    QStringList log() const { return w.InfoLines->lines(); }

    // Variant index 0..4, as chosen in BoxDevice (no history, so nothing is asked).
    void selectVariant(int index)
    {
        w.BoxDeviceClick();
        ui()->BoxDevice->setCurrentIndex(index);
        if (w.processor->deviceID != index + 1)
            w.BoxDeviceChange();
    }

    // Unit index 0 Ω, 1 kΩ, 2 MΩ, as chosen in the single-value group's unit box.
    void selectUnit(int index)
    {
        ui()->ChooseOhm->setCurrentIndex(index);
        w.ChooseOhmSelect(ui()->ChooseOhm);
    }

    // Celsius mode with a thermometer type (0..3) and R0 item.
    void selectCelsius(void (TForm1::*type)(), void (TForm1::*r0)())
    {
        w.CelsiumClick(ui()->Celsium);
        (w.*type)();
        (w.*r0)();
    }

    void useEnglish()
    {
        ui()->Russian->setChecked(false);
        ui()->English->setChecked(true);
    }

    // The eleven display check boxes of the read-outs, all cleared, then the given ones ticked.
    void tick(std::initializer_list<QCheckBox*> boxes)
    {
        for (QCheckBox* b : {ui()->CheckTrueVal, ui()->OtklonOm, ui()->OtklonPercent, ui()->checkTrueC,
                             ui()->OtklonC, ui()->OtklonPercentC, ui()->checkI, ui()->checkU, ui()->CheckBox1,
                             ui()->Stability, ui()->AbsStability})
            b->setChecked(false);
        for (QCheckBox* b : boxes)
            b->setChecked(true);
    }

    DialogSeam seam;
    TForm1 w;
};
