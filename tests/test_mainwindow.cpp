// The main window as built: frame, components, initial states, the creation and close
// handlers, the event routing to the handlers, the menu click semantics and the
// application-wide display of failures.

#include "instrument/Mydialogs.h"
#include "instrument/ProfileProcessor.h"
#include "platform/ComPort.h"
#include "platform/MemoLines.h"
#include "tests/TestSupport.h"
#include "ui/Application.h"
#include "ui/main.h"
#include "ui_TForm1.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>
#include <stdexcept>

namespace
{

QStringList menuLayout(const QMenu* menu)
{
    QStringList names;
    for (const QAction* a : menu->actions()) {
        if (a->isSeparator())
            names << QStringLiteral("-");
        else if (a->menu())
            names << a->menu()->objectName();
        else
            names << a->objectName();
    }
    return names;
}

QStringList comboItems(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

void sendWheel(QWidget* target, int delta)
{
    const QPointF pos(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent e(pos, target->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(target, &e);
}

} // namespace

class MainWindowTest : public ::testing::Test
{
protected:
    Ui::TForm1* ui() { return w.ui; }

    DialogSeam seam;
    TForm1 w;
};

TEST_F(MainWindowTest, FrameIsFixedWithCaptionAndClientArea)
{
    EXPECT_EQ(Form1, &w);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("КАЛИСТ v1.0.0.4"));
    w.show();
    ASSERT_TRUE(testsupport::waitUntil([&] { return w.isVisible(); }));
    EXPECT_EQ(w.centralWidget()->size(), QSize(738, 736));
    EXPECT_EQ(w.width(), 738);
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(w.menuBar(), ui()->MainMenu);
}

TEST_F(MainWindowTest, EveryComponentExistsWithItsKind)
{
    struct Component {
        const char* name;
        const char* kind;
    };
    const Component components[] = {
        // connection, input mode, profile and display groups
        {"Settings", "QGroupBox"},
        {"Label12", "QLabel"},
        {"BoxDevice", "QComboBox"},
        {"Label7", "QLabel"},
        {"devNum", "QLineEdit"},
        {"UpDown1", "UpDown"},
        {"ConnectionButton", "QPushButton"},
        {"Settings1", "QGroupBox"},
        {"ManualInp", "QRadioButton"},
        {"AutoInp", "QRadioButton"},
        {"LabelAuto", "QLabel"},
        {"EditAuto", "QLineEdit"},
        {"LabelAuto2", "QLabel"},
        {"Settings0", "QGroupBox"},
        {"ButtonFProfileGet", "QPushButton"},
        {"ButtonFProfileSet", "QPushButton"},
        {"ButtonFProfileSend", "QPushButton"},
        {"ButtonFProfileEdit", "QPushButton"},
        {"ButtonFProfileOpen", "QPushButton"},
        {"Settings2", "QGroupBox"},
        {"CheckTrueVal", "QCheckBox"},
        {"OtklonOm", "QCheckBox"},
        {"Label14", "QLabel"},
        {"OtklonPercent", "QCheckBox"},
        {"checkTrueC", "QCheckBox"},
        {"OtklonC", "QCheckBox"},
        {"OtklonPercentC", "QCheckBox"},
        {"checkI", "QCheckBox"},
        {"checkU", "QCheckBox"},
        {"CheckBox1", "QCheckBox"},
        {"Stability", "QCheckBox"},
        {"AbsStability", "QCheckBox"},
        // left panel
        {"Label5", "QLabel"},
        {"InpType", "QComboBox"},
        {"Label15", "QLabel"},
        {"modeLabel", "QLabel"},
        {"TimeLeft1", "QLabel"},
        {"TimeLeft", "QLabel"},
        {"Label2", "QLabel"},
        {"InfoValsOhm", "QListWidget"},
        {"InfoValsC", "QListWidget"},
        {"InfoValsProf", "QListWidget"},
        {"StandartInpButtonSaveAsProfile", "QPushButton"},
        {"ButtonCleanInfoVals", "QPushButton"},
        {"Label8", "QLabel"},
        {"Info", "QPlainTextEdit"},
        {"ButtonSaveInfo", "QPushButton"},
        {"ButtonCleanInfo", "QPushButton"},
        // single values
        {"StandartInputGroup", "QGroupBox"},
        {"StandartInpEdit", "QLineEdit"},
        {"StandartInpButtonEnter", "QPushButton"},
        {"StandartInpButtonDel", "QPushButton"},
        {"Label9", "QLabel"},
        {"ChooseOhm", "QComboBox"},
        {"ChooseOhmUpDown", "UpDown"},
        {"Label6", "QLabel"},
        {"Digit", "QLineEdit"},
        {"SelectDigit", "UpDown"},
        {"Edit1", "QLineEdit"},
        {"DigitUp", "QPushButton"},
        {"DigitDown", "QPushButton"},
        {"InstaSend", "QCheckBox"},
        {"Label13", "QLabel"},
        {"LabelLastVal", "QLabel"},
        {"Label4", "QLabel"},
        {"StandartInpFact", "QLabel"},
        {"StandartInpOtklon1", "QLabel"},
        {"StandartInpOtklon", "QLabel"},
        {"Label25", "QLabel"},
        {"StandartInpPercent", "QLabel"},
        {"Label11", "QLabel"},
        {"StandartInpI", "QLabel"},
        {"Label26", "QLabel"},
        {"StandartInpU", "QLabel"},
        {"Label20", "QLabel"},
        {"StandartInpStab", "QLabel"},
        {"Label27", "QLabel"},
        {"StandartInpStabAbs", "QLabel"},
        // range
        {"IncrInputGroup", "QGroupBox"},
        {"IncPhysVal", "QLabel"},
        {"ChooseOhm2", "QComboBox"},
        {"ChooseOhm2UpDown", "UpDown"},
        {"startLabel", "QLabel"},
        {"IncInpEditStart", "QLineEdit"},
        {"endLabel", "QLabel"},
        {"IncInpEditEnd", "QLineEdit"},
        {"Label3", "QLabel"},
        {"IncInpEditStep", "QLineEdit"},
        {"IncInpLabel", "QLabel"},
        {"IncrInpNextVal", "QLabel"},
        {"IncrInpButtonEnter", "QPushButton"},
        {"IncrInpButtonPause", "QPushButton"},
        // value list
        {"ProfileInputGroup", "QGroupBox"},
        {"ProfilePhysVal", "QLabel"},
        {"ChooseOhm1", "QComboBox"},
        {"ChooseOhm1UpDown", "UpDown"},
        {"ProfileInpButtonOpen", "QPushButton"},
        {"ProfileInpButtonChange", "QPushButton"},
        {"ProfileInpButtonCreate", "QPushButton"},
        {"ProfileInpButtonEnter", "QPushButton"},
        {"ProfileInpButtonPause", "QPushButton"},
        // instrument information
        {"GroupBox1", "QGroupBox"},
        {"Label23", "QLabel"},
        {"rangeLabel", "QLabel"},
        {"Label24", "QLabel"},
        {"stepLabel", "QLabel"},
        {"Label10", "QLabel"},
        {"firmwareLabel", "QLabel"},
        {"Label18", "QLabel"},
        {"LabelPrecision", "QLabel"},
        {"Label21", "QLabel"},
        {"deviceFullName", "QLabel"},
        {"DeviceNoLabel", "QLabel"},
        {"yearLabel", "QLabel"},
        // menus and their items
        {"MainMenu", "QMenuBar"},
        {"Mfprof", "QMenu"},
        {"MSettings", "QMenu"},
        {"Mfunction", "QMenu"},
        {"N6", "QMenu"},
        {"MLang", "QMenu"},
        {"MphysicVal", "QMenu"},
        {"MtemperType", "QMenu"},
        {"Rt0List", "QMenu"},
        {"RequestSwitch", "QMenu"},
        {"skinMenu", "QMenu"},
        {"J1", "QAction"},
        {"N1", "QAction"},
        {"N2", "QAction"},
        {"N3", "QAction"},
        {"N7", "QAction"},
        {"N8", "QAction"},
        {"Calibration", "QAction"},
        // the link's objects
        {"ComPort", "ComPort"},
        {"ModbusTimer", "QTimer"},
        {"TimerConnectionTimeout", "QTimer"},
        {"RequestTimer", "QTimer"},
        {"Timer", "QTimer"},
        {"TimerCountdown", "QTimer"},
    };
    for (const Component& c : components) {
        SCOPED_TRACE(c.name);
        const auto found = w.findChildren<QObject*>(QString::fromLatin1(c.name));
        ASSERT_EQ(found.size(), 1);
        EXPECT_TRUE(found.front()->inherits(c.kind)) << found.front()->metaObject()->className();
    }
}

TEST_F(MainWindowTest, MenusHaveTheirStructureAndDefaults)
{
    EXPECT_EQ(menuLayout(ui()->Mfprof), QStringList({"N1", "N2", "N3", "-", "N7", "N8", "-", "Calibration"}));
    EXPECT_EQ(menuLayout(ui()->MSettings), QStringList({"Mfunction", "N6", "-", "MLang", "-", "MphysicVal",
                                                        "MtemperType", "Rt0List", "RequestSwitch"}));
    EXPECT_EQ(menuLayout(ui()->Mfunction),
              QStringList({"funcDefaultx2", "funcDefaultx4", "funcCorrectionx2", "funcCorrectionx4"}));
    EXPECT_EQ(menuLayout(ui()->N6), QStringList({"N11", "N21", "N31", "R1", "N13", "N14", "N17", "N10"}));
    EXPECT_EQ(menuLayout(ui()->MLang), QStringList({"Russian", "English"}));
    EXPECT_EQ(menuLayout(ui()->MphysicVal), QStringList({"Ohm", "Celsium"}));
    EXPECT_EQ(menuLayout(ui()->MtemperType),
              QStringList({"platinum391", "platinum385", "copper428", "nickel617"}));
    EXPECT_EQ(menuLayout(ui()->Rt0List), QStringList({"N01", "N501", "N1001", "N1002", "N10001"}));
    EXPECT_EQ(menuLayout(ui()->RequestSwitch), QStringList({"RequestEnabled", "RequestDisabled"}));

    QStringList bar;
    for (const QAction* a : ui()->MainMenu->actions())
        bar << (a->menu() ? a->menu()->objectName() : a->objectName());
    EXPECT_EQ(bar, QStringList({"Mfprof", "MSettings", "skinMenu", "J1"}));

    // Radio groups without a QActionGroup; the layout's checked items.
    for (QMenu* m : {ui()->Mfunction, ui()->N6, ui()->MLang, ui()->MphysicVal, ui()->MtemperType,
                     ui()->Rt0List, ui()->RequestSwitch}) {
        SCOPED_TRACE(m->objectName().toStdString());
        QStringList checked;
        for (QAction* a : m->actions()) {
            EXPECT_TRUE(a->isCheckable());
            EXPECT_EQ(a->actionGroup(), nullptr);
            if (a->isChecked())
                checked << a->objectName();
        }
        EXPECT_EQ(checked.size(), 1);
    }
    for (QAction* a : {ui()->funcDefaultx2, ui()->N11, ui()->platinum391, ui()->N1001, ui()->RequestEnabled,
                       ui()->Ohm, ui()->Russian})
        EXPECT_TRUE(a->isChecked()) << a->objectName().toStdString();

    EXPECT_FALSE(ui()->MtemperType->menuAction()->isEnabled());
    EXPECT_FALSE(ui()->Rt0List->menuAction()->isEnabled());
    EXPECT_FALSE(ui()->Mfprof->menuAction()->isEnabled());
    EXPECT_EQ(ui()->Mfprof->title(), QStringLiteral("Rд"));
    EXPECT_EQ(ui()->MSettings->title(), QStringLiteral("Настройки"));
    EXPECT_EQ(ui()->N7->text(), QStringLiteral("Считать из прибора"));
    EXPECT_EQ(ui()->N8->text(), QStringLiteral("Записать в прибор"));
    EXPECT_EQ(ui()->N10->text(), QStringLiteral(" ---"));
    EXPECT_EQ(ui()->J1->text(), QStringLiteral("О программе"));
}

TEST_F(MainWindowTest, LayoutStartsDisconnectedWithItsTexts)
{
    for (QLabel* l : {ui()->deviceFullName, ui()->DeviceNoLabel, ui()->LabelPrecision, ui()->rangeLabel,
                      ui()->stepLabel, ui()->firmwareLabel, ui()->LabelLastVal, ui()->StandartInpFact,
                      ui()->StandartInpOtklon, ui()->IncrInpNextVal, ui()->TimeLeft})
        EXPECT_EQ(l->text(), QStringLiteral("--")) << l->objectName().toStdString();
    EXPECT_TRUE(ui()->yearLabel->text().isEmpty());
    EXPECT_EQ(ui()->GroupBox1->title(), QStringLiteral("Сведения о приборе"));

    EXPECT_EQ(comboItems(ui()->BoxDevice),
              QStringList({"РД5540-1", "РД5540-2", "РД5540-3", "РД5540-4", "РД5540-5"}));
    EXPECT_EQ(ui()->BoxDevice->currentIndex(), 0);
    EXPECT_EQ(comboItems(ui()->InpType), QStringList({"Массив", "Диапазон", "Одиночные"}));
    EXPECT_EQ(ui()->InpType->currentIndex(), 2);
    for (QComboBox* box : {ui()->ChooseOhm, ui()->ChooseOhm1, ui()->ChooseOhm2}) {
        EXPECT_EQ(comboItems(box), QStringList({"R, Ом", "R, кОм", "R, МОм"}));
        EXPECT_TRUE(box->isHidden());
    }
    EXPECT_EQ(ui()->ConnectionButton->text(), QStringLiteral("Подключение"));
    EXPECT_EQ(ui()->modeLabel->text(), QStringLiteral("К2"));
    EXPECT_EQ(ui()->StandartInpButtonEnter->text(), QStringLiteral("Ввод"));
    EXPECT_EQ(ui()->StandartInpButtonDel->text(), QStringLiteral("Сброс"));
    EXPECT_EQ(ui()->InstaSend->text(), QStringLiteral("Оперативно"));
    EXPECT_EQ(ui()->Digit->text(), QStringLiteral("0"));
    EXPECT_TRUE(ui()->Edit1->isHidden());
    EXPECT_TRUE(ui()->ManualInp->isChecked());
    EXPECT_FALSE(ui()->EditAuto->isEnabled());
    EXPECT_TRUE(ui()->TimeLeft1->isHidden());
    EXPECT_FALSE(ui()->IncrInpButtonPause->isEnabled());
    EXPECT_FALSE(ui()->ProfileInpButtonPause->isEnabled());
    EXPECT_TRUE(ui()->Info->isReadOnly());
    for (QCheckBox* c : {ui()->checkTrueC, ui()->OtklonC, ui()->OtklonPercentC})
        EXPECT_FALSE(c->isEnabled());
    for (QPushButton* b : {ui()->ButtonFProfileGet, ui()->ButtonFProfileSet, ui()->ButtonFProfileEdit,
                           ui()->ButtonFProfileOpen})
        EXPECT_FALSE(b->isEnabled());

    // One input group in the one place, single values first.
    EXPECT_FALSE(ui()->StandartInputGroup->isHidden());
    EXPECT_TRUE(ui()->IncrInputGroup->isHidden());
    EXPECT_TRUE(ui()->ProfileInputGroup->isHidden());
    EXPECT_EQ(ui()->IncrInputGroup->geometry(), ui()->StandartInputGroup->geometry());
    EXPECT_EQ(ui()->ProfileInputGroup->geometry(), ui()->StandartInputGroup->geometry());
    EXPECT_EQ(ui()->InfoValsC->geometry(), ui()->InfoValsOhm->geometry());
    EXPECT_TRUE(ui()->InfoValsC->isHidden());

    // Up-downs: the address wraps 1..9 in devNum, the decade selector drives Edit1.
    EXPECT_EQ(ui()->UpDown1->associate(), ui()->devNum);
    EXPECT_EQ(ui()->devNum->text(), QStringLiteral("1"));
    ui()->UpDown1->click(UpDown::btPrev);
    EXPECT_EQ(ui()->devNum->text(), QStringLiteral("9"));
    ui()->UpDown1->click(UpDown::btNext);
    EXPECT_EQ(ui()->devNum->text(), QStringLiteral("1"));
    EXPECT_EQ(ui()->SelectDigit->associate(), ui()->Edit1);
    EXPECT_EQ(ui()->SelectDigit->min(), -2);
    EXPECT_EQ(ui()->SelectDigit->max(), 4);
    EXPECT_TRUE(ui()->SelectDigit->wrap());

    // The link's objects and timers.
    EXPECT_EQ(w.comPort->objectName(), QStringLiteral("ComPort"));
    EXPECT_EQ(w.ModbusTimer->interval(), 17);
    EXPECT_EQ(w.TimerConnectionTimeout->interval(), 500);
    EXPECT_EQ(w.RequestTimer->interval(), 4000);
    EXPECT_EQ(w.TimerCountdown->interval(), 1000);
    EXPECT_TRUE(w.RequestTimer->isActive());
    for (QTimer* t : {w.ModbusTimer, w.TimerConnectionTimeout, w.Timer, w.TimerCountdown})
        EXPECT_FALSE(t->isActive()) << t->objectName().toStdString();

    EXPECT_FALSE(w.connected);
    EXPECT_TRUE(w.inputAllowed);
    EXPECT_TRUE(w.protocolDone);
    EXPECT_EQ(w.prevDeviceIndex, -1);
    EXPECT_EQ(w.valueListIndex, -1);
    EXPECT_EQ(w.lastValue, QStringLiteral("0,000"));
    EXPECT_EQ(w.displayLetter, QByteArray("A"));
    ASSERT_NE(w.processor, nullptr);
    EXPECT_FALSE(w.processor->profLoaded);
}

TEST_F(MainWindowTest, FirstStartAppliesTheLayoutDefaults)
{
    w.move(10, 10);
    w.FormCreate();
    w.show();
    EXPECT_EQ(w.pos(), testsupport::placedAt(&w, QPoint(200, 200))); // wholly on the screen
    EXPECT_EQ(w.processor->deviceID, 1);
    EXPECT_EQ(w.processor->curFormat, &w.processor->ohmFormat);
    EXPECT_EQ(w.curHistoryList, ui()->InfoValsOhm);
    EXPECT_EQ(ui()->InpType->currentIndex(), 2);
    EXPECT_EQ(ui()->modeLabel->text(), QStringLiteral("Н2")); // 2-wire uncompensated applied
    EXPECT_EQ(w.displayLetter, QByteArray("A"));
    EXPECT_TRUE(ui()->Russian->isChecked());
    EXPECT_EQ(ui()->ChooseOhm->currentText(), QStringLiteral("R, Ом"));
    EXPECT_EQ(w.skinNumber, -1);
    EXPECT_TRUE(w.userStepText.isEmpty());
    EXPECT_TRUE(seam.shown().empty());
}

TEST_F(MainWindowTest, ClosingLeavesNoProfileLoaded)
{
    w.FormCreate();
    w.processor->profLoaded = true;
    w.processor->R02 = 0.012;
    w.processor->R04 = 0.0021;
    w.show();
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(w.processor->profLoaded);
    EXPECT_EQ(w.processor->R02, -1.0);
    EXPECT_EQ(w.processor->R04, -1.0);
}

TEST_F(MainWindowTest, MenuHandlersSeeTheStateBeforeTheClick)
{
    // A click on the item in force: Qt would uncheck it, the handler finds it checked and
    // leaves the language as it is.
    ui()->Russian->trigger();
    EXPECT_TRUE(ui()->Russian->isChecked());
    EXPECT_FALSE(ui()->English->isChecked());

    ui()->English->trigger();
    EXPECT_TRUE(ui()->English->isChecked());
    EXPECT_FALSE(ui()->Russian->isChecked());
    EXPECT_FALSE(w.isRussian());
    EXPECT_EQ(w.tr2("Ввод", "Enter"), QStringLiteral("Enter"));

    ui()->English->trigger(); // already in force: nothing changes
    EXPECT_TRUE(ui()->English->isChecked());
    ui()->Russian->trigger();
    EXPECT_TRUE(w.isRussian());
    EXPECT_FALSE(ui()->English->isChecked());
    EXPECT_EQ(w.tr2("Ввод", "Enter"), QStringLiteral("Ввод"));
}

TEST(CheckRadioItem, ChecksTheItemAndClearsItsMenuOnly)
{
    QMenu menu, other;
    QAction* a = menu.addAction(QStringLiteral("a"));
    QAction* b = menu.addAction(QStringLiteral("b"));
    QAction* plain = menu.addAction(QStringLiteral("plain"));
    QAction* elsewhere = other.addAction(QStringLiteral("x"));
    for (QAction* x : {a, b, elsewhere}) {
        x->setCheckable(true);
        x->setChecked(true);
    }
    TForm1::checkRadioItem(b);
    EXPECT_FALSE(a->isChecked());
    EXPECT_TRUE(b->isChecked());
    EXPECT_FALSE(plain->isCheckable());
    EXPECT_TRUE(elsewhere->isChecked());
    TForm1::checkRadioItem(b); // again: stays checked
    EXPECT_TRUE(b->isChecked());
}

TEST_F(MainWindowTest, LogHelpersInsertAtTheRunningIndexOrAFixedLine)
{
    w.LogLine(QStringLiteral("12:00:00"));
    w.LogLine(QStringLiteral("Режим "));
    EXPECT_EQ(w.logIndex, 2);
    w.LogAt(0, QStringLiteral("top"));
    EXPECT_EQ(w.logIndex, 2);
    EXPECT_EQ(w.InfoLines->lines(), QStringList({"top", "12:00:00", "Режим "}));
}

TEST_F(MainWindowTest, ProfileControlsSwitchTogether)
{
    const QList<QPushButton*> buttons = {ui()->ButtonFProfileSet, ui()->ButtonFProfileGet,
                                         ui()->ButtonFProfileEdit, ui()->ButtonFProfileOpen};
    for (bool on : {true, false}) {
        w.SetProfileControlsEnabled(on);
        EXPECT_EQ(ui()->Mfprof->menuAction()->isEnabled(), on);
        EXPECT_EQ(ui()->Mfprof->isEnabled(), on);
        for (QPushButton* b : buttons)
            EXPECT_EQ(b->isEnabled(), on) << b->objectName().toStdString();
    }
    w.SetProfileControlsEnabled(true);
    EXPECT_FALSE(ui()->ButtonFProfileSend->isEnabled()); // not one of the four
}

TEST_F(MainWindowTest, HistoryListFollowsTheQuantityExceptForValueLists)
{
    w.FormCreate();
    w.history.appendRow({}, QString());
    ui()->Celsium->setChecked(true);
    ui()->Ohm->setChecked(false);
    w.SelectHistoryList();
    EXPECT_EQ(w.curHistoryList, ui()->InfoValsC);
    EXPECT_FALSE(ui()->InfoValsC->isHidden());
    EXPECT_TRUE(ui()->InfoValsOhm->isHidden());
    EXPECT_EQ(w.history.historyRows, 0);

    ui()->InpType->setCurrentIndex(0);
    w.curHistoryList = ui()->InfoValsProf;
    w.history.appendRow({}, QString());
    w.SelectHistoryList();
    EXPECT_EQ(w.curHistoryList, ui()->InfoValsProf);
    EXPECT_EQ(w.history.historyRows, 0);
}

// A running timed run stops through its enter button; the link relies on this on disconnect.
class TimedRunStop : public MainWindowTest, public ::testing::WithParamInterface<bool>
{
protected:
    bool list() const { return GetParam(); }
    QPushButton* enter() { return list() ? ui()->ProfileInpButtonEnter : ui()->IncrInpButtonEnter; }
    QPushButton* pause() { return list() ? ui()->ProfileInpButtonPause : ui()->IncrInpButtonPause; }
    void click() { list() ? w.ProfileInpButtonEnterClick() : w.IncrInpButtonEnterClick(); }

    void startRun()
    {
        w.connected = true;
        w.autoRun = true;
        w.paused = true;
        ui()->AutoInp->setChecked(true);
        ui()->EditAuto->setText(QStringLiteral("5"));
        enter()->setText(QStringLiteral("Стоп"));
        pause()->setEnabled(true);
        pause()->setText(QStringLiteral("Продолжить"));
        ui()->TimeLeft->setText(QStringLiteral("3"));
        ui()->Settings1->setEnabled(false);
        ui()->InpType->setEnabled(false);
        ui()->Mfprof->menuAction()->setEnabled(false);
        ui()->MphysicVal->menuAction()->setEnabled(false);
        w.Timer->start();
        w.TimerCountdown->start();
    }
};

TEST_P(TimedRunStop, StopsTheRunAndGivesTheControlsBack)
{
    startRun();
    click();
    EXPECT_FALSE(w.autoRun);
    EXPECT_FALSE(w.paused);
    EXPECT_FALSE(w.Timer->isActive());
    EXPECT_FALSE(w.TimerCountdown->isActive());
    EXPECT_EQ(enter()->text(), QStringLiteral("Старт"));
    EXPECT_EQ(pause()->text(), QStringLiteral("Пауза"));
    EXPECT_FALSE(pause()->isEnabled());
    EXPECT_EQ(ui()->TimeLeft->text(), QStringLiteral("--"));
    EXPECT_TRUE(ui()->Settings1->isEnabled());
    EXPECT_TRUE(ui()->InpType->isEnabled());
    EXPECT_TRUE(ui()->Mfprof->menuAction()->isEnabled());
    EXPECT_TRUE(ui()->MphysicVal->menuAction()->isEnabled());
    EXPECT_TRUE(ui()->ButtonFProfileGet->isEnabled());
    EXPECT_TRUE(seam.shown().empty());
    if (!list()) {
        EXPECT_EQ(ui()->IncrInpNextVal->text(), QStringLiteral("--"));
    }
}

TEST_P(TimedRunStop, RefusesWithoutConnectionOrPeriod)
{
    struct Case {
        bool connected;
        const char* period;
        const char* text;
    };
    for (const Case& c :
         {Case{false, "5", "Нет соединения с прибором!"}, Case{true, "", "Период времени не указан!"},
          Case{true, "0", "Период времени не указан!"}}) {
        SCOPED_TRACE(c.text);
        startRun();
        w.connected = c.connected;
        ui()->EditAuto->setText(QString::fromLatin1(c.period));
        seam.clear();
        click();
        ASSERT_EQ(seam.shown().size(), 1u);
        EXPECT_EQ(seam.shown()[0].caption, QStringLiteral("Внимание"));
        EXPECT_EQ(seam.shown()[0].text, QString::fromUtf8(c.text));
        EXPECT_EQ(seam.shown()[0].type, DialogType::Warning);
        EXPECT_TRUE(w.autoRun);
        EXPECT_TRUE(w.Timer->isActive());
    }
}

TEST_P(TimedRunStop, DoesNothingWhileAProfileTransferRuns)
{
    startRun();
    w.profTransfer = true;
    click();
    EXPECT_TRUE(w.autoRun);
    EXPECT_TRUE(seam.shown().empty());
}

INSTANTIATE_TEST_SUITE_P(RangeAndList, TimedRunStop, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "List" : "Range"; });

TEST_F(MainWindowTest, WheelStepsOncePerEventOverTheWindow)
{
    w.FormCreate();
    // What one step up and one step down from the empty field give.
    w.DigitUpClick();
    const QString up = ui()->StandartInpEdit->text();
    ui()->StandartInpEdit->clear();
    w.DigitDownClick();
    const QString down = ui()->StandartInpEdit->text();
    ASSERT_FALSE(up.isEmpty());
    ASSERT_NE(up, down);

    // Over the event log, whose scroll area forwards the event to its scroll bar: one step.
    ui()->StandartInpEdit->clear();
    sendWheel(ui()->Info->viewport(), 120);
    EXPECT_EQ(ui()->StandartInpEdit->text(), up);
    ui()->StandartInpEdit->clear();
    sendWheel(ui()->Label8, -120);
    EXPECT_EQ(ui()->StandartInpEdit->text(), down);

    // Not while the single-value input is hidden, locked or in use.
    for (auto block : std::initializer_list<std::function<void(bool)>>{
             [&](bool b) { ui()->StandartInputGroup->setHidden(b); },
             [&](bool b) { ui()->StandartInpButtonEnter->setEnabled(!b); },
             [&](bool b) { w.inputAllowed = !b; }}) {
        ui()->StandartInpEdit->clear();
        block(true);
        sendWheel(ui()->Info->viewport(), 120);
        EXPECT_TRUE(ui()->StandartInpEdit->text().isEmpty());
        block(false);
    }

    // With "Оперативно" only one stepped value goes out until a set completes.
    ui()->InstaSend->setChecked(true);
    ui()->StandartInpEdit->clear();
    sendWheel(ui()->Info->viewport(), 120);
    EXPECT_FALSE(w.inputAllowed);
    const QString afterFirst = ui()->StandartInpEdit->text();
    sendWheel(ui()->Info->viewport(), 120);
    EXPECT_EQ(ui()->StandartInpEdit->text(), afterFirst);
}

// A wheel turned over the entry field comes from the platform to the native window first and
// only inside that delivery to the widget under the cursor: still one step per notch.
TEST_F(MainWindowTest, WheelFromThePlatformStepsOncePerNotch)
{
    w.FormCreate();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QWindow* window = w.windowHandle();
    ASSERT_NE(window, nullptr);
    QLineEdit* edit = ui()->StandartInpEdit;
    const QPoint over = edit->mapTo(&w, edit->rect().center());
    ASSERT_EQ(w.childAt(over), edit);
    const auto notch = [&](int delta) {
        QWindowSystemInterface::handleWheelEvent(window, over, window->mapToGlobal(over), QPoint(),
                                                 QPoint(0, delta));
        QCoreApplication::processEvents();
    };

    for (bool connected : {false, true}) {
        SCOPED_TRACE(connected);
        w.connected = connected;
        edit->clear();
        w.lastValue = QStringLiteral("0,000");
        for (const char* shown : {"1,000", "2,000", "3,000"}) {
            notch(120);
            EXPECT_EQ(edit->text(), shown);
        }
        notch(-120);
        EXPECT_EQ(edit->text(), "2,000");
    }
}

TEST_F(MainWindowTest, KeysReachTheFiltersOfTheValueEdits)
{
    w.FormCreate();
    w.show();
    QLineEdit* edit = ui()->StandartInpEdit;

    // Disconnected, the filter drops every character.
    QTest::keyClicks(edit, QStringLiteral("12"));
    EXPECT_TRUE(edit->text().isEmpty());

    w.connected = true;
    QTest::keyClicks(edit, QStringLiteral("12.5"));
    EXPECT_EQ(edit->text(), QStringLiteral("12,5")); // '.' typed as ','
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("12,"));
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, Qt::Key_Delete); // Delete never edits these fields
    EXPECT_EQ(edit->text(), QStringLiteral("12,"));
    QTest::keyClick(edit, Qt::Key_Right); // navigation keeps its default handling
    EXPECT_EQ(edit->cursorPosition(), 1);
    QTest::keyClick(edit, Qt::Key_A);
    EXPECT_EQ(edit->text(), QStringLiteral("12,"));

    // The bus address takes nothing typed.
    QTest::keyClicks(ui()->devNum, QStringLiteral("5"));
    QTest::keyClick(ui()->devNum, Qt::Key_Backspace);
    QTest::keyClick(ui()->devNum, Qt::Key_Delete);
    EXPECT_EQ(ui()->devNum->text(), QStringLiteral("1"));
}

TEST_F(MainWindowTest, StepFieldFollowsTheSelectorAndTheOperatorsStep)
{
    w.FormCreate();
    w.show();
    UpDown* selector = ui()->SelectDigit;
    selector->setPosition(selector->max()); // the user position
    EXPECT_EQ(ui()->Digit->text(), QStringLiteral("Пол"));
    QTest::mouseClick(ui()->Digit, Qt::LeftButton);
    EXPECT_TRUE(ui()->Digit->text().isEmpty());
    w.connected = true;
    QTest::keyClicks(ui()->Digit, QStringLiteral("5"));
    EXPECT_EQ(ui()->Digit->text(), QStringLiteral("5"));
    EXPECT_EQ(w.userStepText, QStringLiteral("5")); // taken on key release
}

TEST_F(MainWindowTest, VariantListRecordsItsIndexWhenItOpens)
{
    w.FormCreate();
    w.show();
    ASSERT_EQ(w.prevDeviceIndex, -1);
    ui()->BoxDevice->showPopup();
    EXPECT_EQ(w.prevDeviceIndex, 0);
    ui()->BoxDevice->hidePopup();
}

TEST_F(MainWindowTest, UnitBoxesOpenFromTheLabelsAndCloseUp)
{
    w.FormCreate();
    w.show();
    QTest::mouseDClick(ui()->Label9, Qt::LeftButton);
    EXPECT_FALSE(ui()->ChooseOhm->isHidden());
    EXPECT_TRUE(ui()->ChooseOhmUpDown->isHidden());
    ui()->ChooseOhm->showPopup();
    ui()->ChooseOhm->hidePopup();
    EXPECT_TRUE(ui()->ChooseOhm->isHidden());
    EXPECT_FALSE(ui()->ChooseOhmUpDown->isHidden());

    ui()->ChooseOhm2UpDown->click(UpDown::btNext);
    EXPECT_EQ(ui()->ChooseOhm->currentIndex(), 1);
    EXPECT_EQ(ui()->Label9->text(), QStringLiteral("R, кОм:"));
    EXPECT_EQ(ui()->IncPhysVal->text(), QStringLiteral("R, кОм:"));
}

// The window's layout holds in both languages.
class LayoutInLanguage : public MainWindowTest, public ::testing::WithParamInterface<const char*>
{
protected:
    void SetUp() override
    {
        w.FormCreate();
        w.SetLanguage(QString::fromLatin1(GetParam()));
    }
};

INSTANTIATE_TEST_SUITE_P(RussianAndEnglish, LayoutInLanguage, ::testing::Values("Russian", "English"),
                         [](const auto& info) { return std::string(info.param); });

TEST_P(LayoutInLanguage, ValueLabelsStandRightAfterTheirCaptions)
{
    const std::pair<QLabel*, QLabel*> pairs[] = {
        {ui()->Label23, ui()->rangeLabel},     {ui()->Label24, ui()->stepLabel},
        {ui()->Label10, ui()->firmwareLabel},  {ui()->Label18, ui()->LabelPrecision},
        {ui()->Label21, ui()->deviceFullName}, {ui()->Label15, ui()->modeLabel},
        {ui()->Label4, ui()->StandartInpFact}};
    for (const auto& [caption, value] : pairs) {
        SCOPED_TRACE(caption->objectName().toStdString());
        EXPECT_GE(caption->width(), caption->sizeHint().width()); // caption not cut
        EXPECT_GT(value->x(), caption->x() + caption->width());
        EXPECT_LE(value->x(), caption->x() + caption->width() + 3);
    }
}

// What the operator reads must fit: no caption cut off, every control inside its group, and
// no two controls of one group drawn over each other (stacked groups and the unit boxes
// share a place only while one of them is hidden). In ohms, and in °C with the countdown of
// a timed run shown; connected, with the identification shown.
TEST_P(LayoutInLanguage, CaptionsFitAndControlsDoNotOverlap)
{
    w.show();
    ASSERT_TRUE(testsupport::waitUntil([&] { return w.isVisible(); }));

    const auto check = [&] {
        for (QWidget* widget : w.centralWidget()->findChildren<QWidget*>()) {
            if (widget->objectName().isEmpty() || widget->objectName().startsWith(QLatin1String("qt_")) ||
                qobject_cast<UpDown*>(widget->parentWidget()))
                continue;
            SCOPED_TRACE(widget->objectName().toStdString());
            EXPECT_TRUE(widget->parentWidget()->rect().contains(widget->geometry()));
            const QFontMetrics fm = widget->fontMetrics();
            const QStyle* st = widget->style();
            if (auto* label = qobject_cast<QLabel*>(widget)) {
                EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
            } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
                const int margin = st->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
                EXPECT_LE(fm.horizontalAdvance(button->text()) + margin, button->width())
                    << button->text().toStdString();
                EXPECT_LE(fm.height() + 4, button->height());
            } else if (auto* box = qobject_cast<QAbstractButton*>(widget)) {
                const bool radio = qobject_cast<QRadioButton*>(box);
                const int indicator =
                    st->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth,
                                    nullptr, box) +
                    st->pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing
                                          : QStyle::PM_CheckBoxLabelSpacing,
                                    nullptr, box);
                EXPECT_LE(indicator + fm.horizontalAdvance(box->text()), box->width())
                    << box->text().toStdString();
            } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
                EXPECT_LE(combo->sizeHint().width(), combo->width());
            } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
                EXPECT_LE(fm.horizontalAdvance(group->title()) + 16, group->width());
            }
        }

        QList<QWidget*> parents = {w.centralWidget()};
        for (QGroupBox* g : w.centralWidget()->findChildren<QGroupBox*>())
            parents << g;
        for (QWidget* parent : parents) {
            QList<QWidget*> shown;
            for (QWidget* c : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (!c->objectName().isEmpty() && !c->isHidden())
                    shown << c;
            for (int i = 0; i < shown.size(); ++i)
                for (int j = i + 1; j < shown.size(); ++j)
                    EXPECT_FALSE(shown[i]->geometry().intersects(shown[j]->geometry()))
                        << shown[i]->objectName().toStdString() << " over "
                        << shown[j]->objectName().toStdString();
        }
    };
    for (int unit : {1, 2, 0}) {
        SCOPED_TRACE(unit);
        ui()->ChooseOhm->setCurrentIndex(unit);
        w.ChooseOhmSelect(ui()->ChooseOhm);
        check();
    }
    w.CelsiumClick(ui()->Celsium);
    ASSERT_TRUE(w.celsiusMode());
    ui()->TimeLeft1->show();
    ui()->TimeLeft->show();
    ui()->TimeLeft->setText(QStringLiteral("9999"));
    {
        SCOPED_TRACE("degrees Celsius, timed");
        check();
    }
    // What the identification of an RD5540-5 shows, in the window's language.
    ui()->ConnectionButton->setText(w.tr2("Отключение", "Disconnect"));
    ui()->deviceFullName->setText(QStringLiteral("RD5540-5"));
    ui()->DeviceNoLabel->setText(QStringLiteral("000123"));
    ui()->LabelPrecision->setText(QStringLiteral("0,02/0,005"));
    ui()->yearLabel->setText(w.isRussian() ? QStringLiteral("2024 г.") : QStringLiteral("2024"));
    ui()->rangeLabel->setText(QStringLiteral("99999990") + w.tr2(" Ом", " Ohm"));
    ui()->stepLabel->setText(QStringLiteral("10") + w.tr2(" Ом", " Ohm"));
    ui()->firmwareLabel->setText(QStringLiteral("1.0.4"));
    {
        SCOPED_TRACE("connected");
        check();
    }
}

TEST(ApplicationDisplay, ShowsAFailingHandlerAndTheLoopGoesOn)
{
    DialogSeam seam;
    QObject owner;
    int later = 0;
    QTimer::singleShot(0, &owner, [] { throw std::runtime_error("Нечисловое значение"); });
    QTimer::singleShot(0, &owner, [] { throw 42; });
    QTimer::singleShot(5, &owner, [&later] { ++later; });
    ASSERT_TRUE(testsupport::waitUntil([&] { return later == 1; }));
    ASSERT_EQ(seam.shown().size(), 2u);
    EXPECT_EQ(seam.shown()[0].text, QStringLiteral("Нечисловое значение"));
    EXPECT_EQ(seam.shown()[0].type, DialogType::Error);
    EXPECT_EQ(seam.shown()[0].buttons, QStringList({"OK"}));
    EXPECT_TRUE(seam.shown()[1].text.isEmpty());
    EXPECT_EQ(seam.shown()[1].type, DialogType::Error);
}
