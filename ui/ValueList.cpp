// Value lists: opening a value-list file into the list box, sending its entries by hand or
// on the run timer, re-sending an entry of a list box by double click or Enter, and the two
// clear buttons of the left panel.
#include "instrument/Mydialogs.h"
#include "instrument/ProfileFileWriter.h"
#include "instrument/ProfileProcessor.h"
#include "instrument/ValueListFile.h"
#include "platform/CodePage.h"
#include "platform/MemoLines.h"
#include "ui/RunInternal.h"
#include "ui/main.h"
#include "ui_TForm1.h"

#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTimer>

namespace
{

// The list's buttons and the list box itself, locked while a timed list run is active.
void setListControlsEnabled(Ui::TForm1* ui, bool enabled)
{
    for (QWidget* c :
         {static_cast<QWidget*>(ui->ProfileInpButtonOpen), static_cast<QWidget*>(ui->ProfileInpButtonChange),
          static_cast<QWidget*>(ui->ProfileInpButtonCreate), static_cast<QWidget*>(ui->InfoValsProf)})
        c->setEnabled(enabled);
}

// Selects an entry of the value list (-1: none) without taking it for the next send.
void selectEntry(Ui::TForm1* ui, int row)
{
    const QSignalBlocker quiet(ui->InfoValsProf);
    if (row < 0)
        ui->InfoValsProf->clearSelection();
    ui->InfoValsProf->setCurrentRow(row);
}

// The list in the list box was made for the quantity, thermometer and R0 the window shows.
bool listFitsWindow(const TForm1& w)
{
    const bool celsius = w.celsiusMode();
    if (w.listInCelsius == 1)
        return celsius && w.listRtdType == w.rtdType && w.listRt0 == w.processor->Rt0;
    return !celsius;
}

void refuseFile(TForm1& w, const QString& text)
{
    w.ui->InfoValsProf->clear();
    w.processor->setProfPath({});
    ShowMessageBox(w.tr2("Ошибка", "Error"), text, DialogType::Error, mbOK);
}

// The end of a list run after its last entry or by the stop.
void endListRun(TForm1& w)
{
    Ui::TForm1* ui = w.ui;
    w.EndTimedRun();
    ui->ConnectionButton->setEnabled(true);
    ui->ProfileInpButtonPause->setEnabled(false);
    setListControlsEnabled(ui, true);
}

} // namespace

void TForm1::ProfileInpButtonOpenClick()
{
    // The path is kept as 8-bit text of at most 199 bytes: a longer one, or one with
    // characters outside code page 1251, is refused with a message rather than cut.
    QString path;
    QByteArray path8;
    if (!profilefile::chooseOpenPath(isRussian(), &path, &path8))
        return;
    if (!QFileInfo::exists(path))
        return;
    processor->setProfPath(path8);
    LoadValueList();
}

void TForm1::LoadValueList()
{
    const QString path = cp1251::toUnicode(processor->profPath);
    QFile file(path);
    if (path.isEmpty() || !file.exists())
        return;
    valueListIndex = -1;
    if (!file.open(QIODevice::ReadOnly)) {
        refuseFile(*this, tr2("Не удалось прочитать файл", "The file cannot be read"));
        return;
    }
    // The whole file is checked before anything of it reaches the window: a refused file
    // changes neither the quantity nor the thermometer.
    valuelist::Encoding encoding = valuelist::Encoding::Cp1251;
    const valuelist::ValueList list =
        valuelist::parse(valuelist::splitLines(file.readAll(), &encoding), processor->deviceID);
    if (list.result != valuelist::Result::Ok) {
        refuseFile(*this, valuelist::resultText(list.result, isRussian()));
        return;
    }

    // The sender keeps the list box and the path while the quantity switches.
    if (!list.celsius) {
        OhmClick(ui->ProfileInpButtonOpen);
        listInCelsius = 0;
    } else {
        CelsiumClick(ui->ProfileInpButtonOpen);
        listInCelsius = 1;
        listRtdType = list.rtdType;
        static void (TForm1::*const typeItems[])() = {&TForm1::platinum391Click, &TForm1::platinum385Click,
                                                      &TForm1::copper428Click, &TForm1::nickel617Click};
        (this->*typeItems[list.rtdType])();
        static const struct {
            int r0;
            void (TForm1::*item)();
        } r0Items[] = {{10, &TForm1::N01Click},
                       {50, &TForm1::N501Click},
                       {100, &TForm1::N1001Click},
                       {500, &TForm1::N1002Click},
                       {1000, &TForm1::N10001Click}};
        for (const auto& r : r0Items)
            if (r.r0 == list.r0)
                (this->*r.item)();
        listRt0 = list.r0;
    }
    ui->InfoValsProf->clear();
    ui->InfoValsProf->addItems(list.values);
    listEncoding = encoding;
    valueListIndex = -1;
}

void TForm1::ProfileInpButtonEnterClick()
{
    if (!rundetail::readyToSend(*this))
        return;
    const bool automatic = ui->AutoInp->isChecked();
    // A running timed run is stopped even when the list no longer fits the settings.
    if (automatic && !rundetail::isStartCaption(ui->ProfileInpButtonEnter->text())) {
        if (!rundetail::checkPeriod(*this))
            return;
        ui->ProfileInpButtonPause->setText(QStringLiteral("Пауза"));
        endListRun(*this);
        ui->ProfileInpButtonEnter->setText(tr2("Старт", "Start"));
        return;
    }
    if (!listFitsWindow(*this)) {
        ShowMessageBox(tr2("Внимание", "Attention"),
                       tr2("Текущие настройки программы не соответствуют настройкам профиля!",
                           "Application settings doesn't match the pofile!"),
                       DialogType::Warning, mbOK);
        return;
    }
    // A poll on the line: the press is carried out after its answer.
    if (WaitForLine([this] { ProfileInpButtonEnterClick(); }))
        return;
    const int count = ui->InfoValsProf->count();
    if (!automatic) {
        if (count == 0)
            return;
        if (rundetail::selectedRow(ui->InfoValsProf) < 0 || valueListIndex < 0 || valueListIndex >= count)
            valueListIndex = 0;
        ui->ProfileInpButtonEnter->setEnabled(false); // until the read-outs of the set arrive
        TimerProfile();
        if (!setPending)
            ui->ProfileInpButtonEnter->setEnabled(true); // the entry was refused: no set runs
        return;
    }
    if (!rundetail::checkPeriod(*this) || count == 0)
        return;
    valueListIndex = 0;
    Timer->setInterval(rundetail::periodSeconds(ui->EditAuto) * runSecondMs);
    TimerCountdown->setInterval(runSecondMs);
    autoRun = true;
    paused = false;
    restorePeriod = false;
    ui->ProfileInpButtonPause->setEnabled(true);
    rundetail::setRunMenusEnabled(*this, false);
    SetProfileControlsEnabled(false);
    ui->Settings1->setEnabled(false);
    ui->InpType->setEnabled(false);
    setListControlsEnabled(ui, false);
    ui->ProfileInpButtonEnter->setText(QStringLiteral("Стоп"));
    TimerProfile();
}

void TForm1::TimerProfile()
{
    if (!line->isFree()) {
        // An option write on the line: the entry follows its answer. Behind a longer chain
        // a timed run's timer stays armed and comes again.
        if (line->run([this] { TimerProfile(); })) {
            Timer->stop();
            TimerCountdown->stop();
        }
        return;
    }
    Timer->stop();
    TimerCountdown->stop();
    const int count = ui->InfoValsProf->count();
    if (valueListIndex < 0 || valueListIndex >= count) {
        // The list changed under the run: nothing left to send.
        if (autoRun)
            endListRun(*this);
        return;
    }
    // The operator sees which value is being set. The run's state is settled before the
    // value goes out: a failed send disconnects, and that ends the run from this state.
    selectEntry(ui, valueListIndex);
    const QString text = ui->InfoValsProf->item(valueListIndex)->text();
    if (valueListIndex + 1 < count) {
        ++valueListIndex;
    } else {
        endListRun(*this);
        ui->ProfileInpButtonEnter->setText(ui->AutoInp->isChecked() ? tr2("Старт", "Start")
                                                                    : tr2("Ввод", "Enter"));
        selectEntry(ui, -1);
        valueListIndex = -1;
    }
    SetValueOnDevice(text);
}

void TForm1::InfoClick()
{
    // Behind a press that waits for the line, the entry clicked after it is where the press
    // after that goes on, as on a free line.
    const int row = ui->InfoValsProf->currentRow();
    InOrder([this, row] {
        if (row != ui->InfoValsProf->currentRow() && row < ui->InfoValsProf->count()) {
            const QSignalBlocker quiet(ui->InfoValsProf);
            ui->InfoValsProf->setCurrentRow(row);
        }
        valueListIndex = row;
    });
}

namespace
{

// The entry selected in the list box, or nullptr.
const QListWidgetItem* selectedEntry(const QListWidget* list)
{
    return list && rundetail::selectedRow(list) >= 0 ? list->currentItem() : nullptr;
}

// Sends the selected entry of the list box in use again: the value list as its enter
// button does, a single value at once. A poll on the line is waited for, and the entry
// double-clicked is the one sent; a second chain never joins one that runs.
void resendSelected(TForm1& w, const QString& entry)
{
    Ui::TForm1* ui = w.ui;
    if (w.WaitForLine([&w, entry] { resendSelected(w, entry); }))
        return;
    switch (ui->InpType->currentIndex()) {
    case 0:
        w.ProfileInpButtonEnterClick();
        break;
    case 2: {
        // No new history entry; the single-value controls wait for the read-outs as after
        // their own enter button.
        const QString text = entry;
        ui->DigitUp->setEnabled(false);
        ui->DigitDown->setEnabled(false);
        ui->StandartInpButtonEnter->setEnabled(false);
        ui->StandartInpEdit->setReadOnly(true);
        w.inputAllowed = false;
        w.SetValueOnDevice(text);
        if (!w.setPending)
            w.ReleaseInput(); // refused: nothing to wait for
        break;
    }
    default:
        break;
    }
}

} // namespace

void TForm1::InfoValsClick()
{
    if (profTransfer || !ui->Mfprof->menuAction()->isEnabled())
        return;
    if (const QListWidgetItem* item = selectedEntry(curHistoryList))
        resendSelected(*this, item->text());
}

void TForm1::InfoValsProfKeyPress(QChar key)
{
    if (key != QChar(13) || !connected || profTransfer)
        return;
    if (const QListWidgetItem* item = selectedEntry(curHistoryList))
        resendSelected(*this, item->text());
}

void TForm1::ButtonCleanInfoValsClick()
{
    if (curHistoryList)
        curHistoryList->clear();
    ClearHistory(history);
}

void TForm1::ButtonCleanInfoClick()
{
    InfoLines->clear();
    ClearHistory(history);
}
