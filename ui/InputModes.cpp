// Input types (value list, range, single values) and input modes (by hand or timed): what
// each switch shows and enables, the pause button of timed runs, the one-second countdown,
// and the wiring of the run controls.
#include "instrument/Mydialogs.h"
#include "platform/MemoLines.h"
#include "platform/NumberText.h"
#include "ui/RunInternal.h"
#include "ui/main.h"
#include "ui_TForm1.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QTimer>
#include <functional>

namespace
{

using rundetail::kIdle;

// Key presses of one widget handed to a handler; true from the handler drops the key.
class KeyPressHook : public QObject
{
public:
    KeyPressHook(QObject* watched, std::function<bool(QKeyEvent*)> handler)
        : QObject(watched), m_handler(std::move(handler))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        return event->type() == QEvent::KeyPress && m_handler(static_cast<QKeyEvent*>(event));
    }

private:
    std::function<bool(QKeyEvent*)> m_handler;
};

bool isPauseCaption(const QString& caption)
{
    return caption == QStringLiteral("Пауза") || caption == QStringLiteral("Pause");
}

} // namespace

namespace rundetail
{

bool readyToSend(TForm1& w)
{
    if (!w.connected) {
        ShowMessageBox(w.tr2("Внимание", "Attention"),
                       w.tr2("Нет соединения с прибором!", "Device is not connected!"), DialogType::Warning,
                       mbOK);
        return false;
    }
    return !w.profTransfer;
}

bool isStartCaption(const QString& caption)
{
    return caption == QStringLiteral("Старт") || caption == QStringLiteral("Start");
}

int periodSeconds(const QLineEdit* edit)
{
    int seconds = 0;
    if (!numtext::tryStrToInt(edit->text(), seconds) || seconds < 0)
        return 0;
    return seconds;
}

bool checkPeriod(TForm1& w)
{
    if (periodSeconds(w.ui->EditAuto) > 0)
        return true;
    ShowMessageBox(w.tr2("Внимание", "Attention"), w.tr2("Период времени не указан!", "Set the delay!"),
                   DialogType::Warning, mbOK);
    return false;
}

void setRunMenusEnabled(TForm1& w, bool enabled)
{
    w.ui->MphysicVal->setEnabled(enabled);
    w.ui->MphysicVal->menuAction()->setEnabled(enabled);
    w.runMenusWanted = enabled;
    w.ApplyLineLock(); // `Mfprof`, together with what the profile controls and the line allow
}

void appendToHistory(TForm1& w, const QString& text)
{
    if (!w.curHistoryList)
        return;
    w.curHistoryList->addItem(text);
    w.curHistoryList->scrollToBottom();
}

int selectedRow(const QListWidget* list)
{
    const QListWidgetItem* item = list->currentItem();
    return item && item->isSelected() ? list->currentRow() : -1;
}

} // namespace rundetail

void TForm1::WireRunControls()
{
    // The run timers keep to their intervals: the countdown and the send it counts down to
    // fall due together.
    Timer->setTimerType(Qt::PreciseTimer);
    TimerCountdown->setTimerType(Qt::PreciseTimer);
    connect(Timer, &QTimer::timeout, this, [this] { (this->*runTimerHandler)(); });
    connect(TimerCountdown, &QTimer::timeout, this, &TForm1::TimerCountdownTimer);

    connect(ui->ManualInp, &QRadioButton::clicked, this, &TForm1::RadioWorkModeClick);
    connect(ui->AutoInp, &QRadioButton::clicked, this, &TForm1::RadioWorkModeClick);
    connect(ui->InpType, &QComboBox::activated, this, &TForm1::InpTypeChange);
    new KeyPressHook(ui->EditAuto, [this](QKeyEvent* e) {
        if (e->text().isEmpty())
            return false;
        QChar key = e->text().front();
        EditAutoKeyPress(key);
        return key.isNull();
    });

    connect(ui->IncrInpButtonEnter, &QPushButton::clicked, this, &TForm1::IncrInpButtonEnterClick);
    connect(ui->IncrInpButtonPause, &QPushButton::clicked, this,
            [this] { IncrInpButtonPauseClick(ui->IncrInpButtonPause); });
    connect(ui->ProfileInpButtonPause, &QPushButton::clicked, this,
            [this] { IncrInpButtonPauseClick(ui->ProfileInpButtonPause); });

    connect(ui->ProfileInpButtonOpen, &QPushButton::clicked, this, &TForm1::ProfileInpButtonOpenClick);
    connect(ui->ProfileInpButtonEnter, &QPushButton::clicked, this, &TForm1::ProfileInpButtonEnterClick);
    // A click on the entry that is current already moves no row: both count as a click.
    connect(ui->InfoValsProf, &QListWidget::currentRowChanged, this, &TForm1::InfoClick);
    connect(ui->InfoValsProf, &QListWidget::itemClicked, this, &TForm1::InfoClick);
    for (QListWidget* list : {ui->InfoValsOhm, ui->InfoValsC, ui->InfoValsProf})
        connect(list, &QListWidget::itemDoubleClicked, this, &TForm1::InfoValsClick);
    new KeyPressHook(ui->InfoValsProf, [this](QKeyEvent* e) {
        if (e->key() != Qt::Key_Return && e->key() != Qt::Key_Enter)
            return false;
        InfoValsProfKeyPress(QChar(13));
        return true;
    });
    connect(ui->ButtonCleanInfoVals, &QPushButton::clicked, this, &TForm1::ButtonCleanInfoValsClick);
    connect(ui->ButtonCleanInfo, &QPushButton::clicked, this, &TForm1::ButtonCleanInfoClick);
}

void TForm1::RadioWorkModeClick()
{
    const bool automatic = ui->AutoInp->isChecked();
    ui->EditAuto->setEnabled(automatic);
    ui->LabelAuto->setEnabled(automatic);
    ui->LabelAuto2->setEnabled(automatic);
    ui->TimeLeft1->setVisible(automatic);
    ui->TimeLeft->setVisible(automatic);
    if (!automatic) {
        if (ui->InpType->count() == 2)
            ui->InpType->addItem(tr2("Одиночные", "Single"));
    } else {
        // Single values cannot be timed: the range takes their place.
        if (ui->InpType->currentIndex() == 2) {
            ui->InpType->setCurrentIndex(1);
            InpTypeChange();
        }
        if (ui->InpType->count() == 3)
            ui->InpType->removeItem(2);
    }
    SetRunButtonCaptions();
}

void TForm1::SetRunButtonCaptions()
{
    const bool automatic = ui->AutoInp->isChecked();
    const QString enter = automatic ? tr2("Старт", "Start") : tr2("Ввод", "Enter");
    ui->ProfileInpButtonEnter->setText(enter);
    ui->IncrInpButtonEnter->setText(enter);
    ui->IncrInpButtonPause->setText(automatic ? tr2("Пауза", "Pause") : tr2("Прервать", "Stop"));
}

void TForm1::InpTypeChange()
{
    const int type = ui->InpType->currentIndex();
    ui->ProfileInputGroup->setVisible(type == 0);
    ui->IncrInputGroup->setVisible(type == 1);
    ui->StandartInputGroup->setVisible(type == 2);
    ui->Label2->setText(type == 0 ? tr2("Массив", "Array") : tr2("История ввода", "Entered values"));
    ui->StandartInpButtonSaveAsProfile->setVisible(type != 0);
    ui->ButtonCleanInfoVals->setVisible(type != 0);

    if (type == 0) {
        runTimerHandler = &TForm1::TimerProfile;
        ui->InfoValsOhm->hide();
        ui->InfoValsC->hide();
        ui->InfoValsProf->show();
        curHistoryList = ui->InfoValsProf;
        ClearHistory(history);
        return;
    }
    ui->InfoValsProf->hide();
    if (type == 1)
        runTimerHandler = &TForm1::TimerIncr;
    SelectHistoryList();
    if (type == 2)
        ui->LabelLastVal->setText(kIdle);
}

void TForm1::SelectHistoryList()
{
    if (ui->InpType->currentIndex() != 0) {
        const bool celsius = ui->Celsium->isChecked();
        ui->InfoValsOhm->setVisible(!celsius);
        ui->InfoValsC->setVisible(celsius);
        curHistoryList = celsius ? ui->InfoValsC : ui->InfoValsOhm;
    }
    ClearHistory(history);
}

void TForm1::EditAutoKeyPress(QChar& key)
{
    // The period takes no leading zero: a '0' that would become its first digit is dropped.
    if (key != QLatin1Char('0'))
        return;
    const QLineEdit* e = ui->EditAuto;
    const int insertAt = e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
    if (insertAt == 0)
        key = QChar();
}

void TForm1::IncrInpButtonPauseClick(QObject* sender)
{
    if (!ui->AutoInp->isChecked()) {
        if (sender == ui->IncrInpButtonPause)
            AbortManualRange();
        return;
    }
    auto* button = qobject_cast<QPushButton*>(sender);
    if (!button)
        return;
    if (isPauseCaption(button->text())) {
        TimerCountdown->stop();
        Timer->stop();
        restorePeriod = true;
        // Continuing waits only for the time that was left. Before the first set of a run
        // has ended there is no count yet, and the period stays.
        int left = 0;
        if (ui->TimeLeft->text() != kIdle && numtext::tryStrToInt(ui->TimeLeft->text(), left))
            Timer->setInterval(left > 0 ? left * runSecondMs : runSecondMs / 10);
        paused = true;
        button->setText(QStringLiteral("Продолжить"));
    } else {
        Timer->start();
        TimerCountdown->start();
        paused = false;
        button->setText(QStringLiteral("Пауза"));
    }
}

void TForm1::TimerCountdownTimer()
{
    int left = 0;
    // "--": a run continued before its first set ended has nothing to count yet; the end of
    // that set writes the period and restarts the countdown.
    if (!numtext::tryStrToInt(ui->TimeLeft->text(), left))
        return;
    if (left > 0) {
        ui->TimeLeft->setText(QString::number(left - 1));
        return;
    }
    TimerCountdown->stop();
    // Setting the interval of a running timer would start its wait over; then the end of
    // the set it fires puts the period back instead.
    if (restorePeriod && !Timer->isActive()) {
        restorePeriod = false;
        const int period = rundetail::periodSeconds(ui->EditAuto);
        if (period > 0)
            Timer->setInterval(period * runSecondMs);
    }
}

void TForm1::EndTimedRun(bool stopCountdown)
{
    Timer->stop();
    if (stopCountdown) {
        TimerCountdown->stop();
        ui->TimeLeft->setText(kIdle);
    }
    autoRun = false;
    paused = false;
    rundetail::setRunMenusEnabled(*this, true);
    // The profile commands need the instrument: a run that ends with the link leaves them off.
    SetProfileControlsEnabled(connected);
    ui->Settings1->setEnabled(true);
    ui->InpType->setEnabled(true);
}

