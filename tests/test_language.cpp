// The language switch of the main window: every fixed text in both languages, the texts that
// follow the window's state, the item and unit boxes, the menu items that switch, and a switch
// to the language in force that changes nothing.

#include "instrument/FileDialogs.h"
#include "tests/DialogSupport.h"
#include "tests/LinkFixture.h"
#include "tests/WindowFixture.h"
#include "ui/Application.h"
#include "ui/Settings.h"
#include "ui_TForm1.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace
{

enum Kind { Shown, Hint };

struct Pair {
    const char* component;
    Kind kind;
    const char* russian;
    const char* english;
};

// What each component reads in either language, character for character.
const Pair kPairs[] = {
    {"Mfprof", Shown, "Rд", "Rm"},
    {"N1", Shown, "Создать", "Create"},
    {"N2", Shown, "Открыть", "Open"},
    {"N3", Shown, "Редактирование", "Edit"},
    {"N7", Shown, "Считать из прибора", "Read from device"},
    {"N8", Shown, "Записать в прибор", "Write to device"},
    {"Calibration", Shown, "Поверка", "Calibration"},
    {"MSettings", Shown, "Настройки", "Settings"},
    {"Mfunction", Shown, "Режим", "Output mode"},
    {"funcDefaultx2", Shown, "Некомпенсир 2х", "Usual 2w"},
    {"funcDefaultx4", Shown, "Некомпенсир 4х", "Usual 4w"},
    {"funcCorrectionx2", Shown, "Компенсир 2х", "Optimal 2w"},
    {"funcCorrectionx4", Shown, "Компенсир 4х", "Optimal 4w"},
    {"N6", Shown, "Отображение на приборе", "Show on the instrument"},
    {"N11", Shown, "Rвос, Ом", "Rout, Ohm"},
    {"N21", Shown, "ΔR, Ом", "ΔR, Ohm"},
    {"R1", Shown, "Rпред, Ом", "Rprev, Ohm"},
    {"N13", Shown, "Uмакс, В", "Umax, V"},
    {"N14", Shown, "Iмакс, А", "Imax, A"},
    {"N17", Shown, "СТУПЕНИ ДЕКАД", "Enabled decades"},
    {"MLang", Shown, "Язык", "Language"},
    {"MphysicVal", Shown, "Физ. величина", "Physical quanity"},
    {"Ohm", Shown, "Ом", "Ohm"},
    {"MtemperType", Shown, "Тип НСХ", "Curve type"},
    {"platinum391", Shown, "Платиновый α=0.00391 °С^(-1)", "Platinum α=0.00391 °С^(-1)"},
    {"platinum385", Shown, "Платиновый α=0.00385 °С^(-1)", "Platinum α=0.00385 °С^(-1)"},
    {"copper428", Shown, "Медный α=0.00428 °С^(-1)", "Copper α=0.00428 °С^(-1)"},
    {"nickel617", Shown, "Никелевый α=0.00617 °С^(-1)", "Nicel α=0.00617 °С^(-1)"},
    {"Rt0List", Shown, "R при 0°С", "R at 0°С"},
    {"N01", Shown, "10 Ом", "10 Ohm"},
    {"N501", Shown, "50 Ом", "50 Ohm"},
    {"N1001", Shown, "100 Ом", "100 Ohm"},
    {"N1002", Shown, "500 Ом", "500 Ohm"},
    {"N10001", Shown, "1000 Ом", "1000 Ohm"},
    {"RequestSwitch", Shown, "Опрос регистра статуса", "Request device condition"},
    {"RequestEnabled", Shown, "Включен", "Enabled"},
    {"RequestDisabled", Shown, "Выключен", "Disabled"},
    {"skinMenu", Shown, "Обложка", "Themes"},
    {"J1", Shown, "О программе", "About"},
    {"Settings", Shown, "Соединение", "Connection"},
    {"Label12", Shown, "Тип прибора", "Type"},
    {"Label7", Shown, "Адрес", "Address"},
    {"Settings1", Shown, "Ввод", "Input mode"},
    {"ManualInp", Shown, "Ручной", "Manual"},
    {"AutoInp", Shown, "Автомат", "Auto"},
    {"LabelAuto", Shown, "Период", "Delay"},
    {"LabelAuto2", Shown, "с.", "s"},
    {"Settings0", Shown, "Rд", "Rm"},
    {"ButtonFProfileGet", Shown, "Считать из прибора", "Read from device"},
    {"ButtonFProfileSet", Shown, "Записать в прибор", "Write to device"},
    {"ButtonFProfileEdit", Shown, "Редактирование", "Edit"},
    {"ButtonFProfileOpen", Shown, "Открыть", "Open"},
    {"Settings2", Shown, "Отображение", "Show"},
    {"checkI", Shown, "Iмакс, А", "Imax, A"},
    {"CheckTrueVal", Shown, "Rвос, Ом", "Rout, Ohm"},
    {"checkU", Shown, "Uмакс, В", "Umax, V"},
    {"checkTrueC", Shown, "Tвос, °C", "Tout, °C"},
    {"CheckBox1", Shown, "Ступение декад", "Enables decades"},
    {"Stability", Shown, "δн, %", "δs, %"},
    {"AbsStability", Shown, "Δн, Ом", "Δs, Ohm"},
    {"Label14", Shown, "Ом", "Ohm"},
    {"GroupBox1", Shown, "Сведения о приборе", "Information"},
    {"Label18", Shown, "Класс точности:", "Tolerance coefficient:"},
    {"Label21", Shown, "Исполнение:", "Full type:"},
    {"Label23", Shown, "Диапазон ном.:", "Range:"},
    {"Label10", Shown, "ВПО:", "Firmware version:"},
    {"Label24", Shown, "Шаг:", "Step:"},
    {"StandartInpButtonEnter", Shown, "Ввод", "Enter"},
    {"StandartInpButtonDel", Shown, "Сброс", "Cancel"},
    {"InstaSend", Shown, "Оперативно", "Fast"},
    {"Label4", Shown, "Rвос:", "Rout:"},
    {"Label11", Shown, "Iмакс:", "Imax:"},
    {"Label26", Shown, "Uмакс:", "Umax:"},
    {"Label27", Shown, "Δн:", "Δs:"},
    {"Label20", Shown, "δн:", "δs:"},
    {"ProfileInpButtonPause", Shown, "Пауза", "Pause"},
    {"ProfileInpButtonOpen", Shown, "Открыть", "Open"},
    {"ProfileInpButtonChange", Shown, "Изменить", "Edit"},
    {"ProfileInpButtonCreate", Shown, "Создать", "Create"},
    {"startLabel", Shown, "Нач", "First"},
    {"endLabel", Shown, "Конеч", "Last"},
    {"Label3", Shown, "Шаг", "Step"},
    {"IncInpLabel", Shown, "Следующий ном:", "Next value:"},
    {"Label5", Shown, "Данные ном:", "Data type:"},
    {"Label15", Shown, "Режим:", "Output mode:"},
    {"TimeLeft1", Shown, "Время до отправки:", "Sending after:"},
    {"Label8", Shown, "Журнал событий", "Event log"},
    {"ButtonSaveInfo", Shown, "Сохранить", "Save"},
    {"ButtonCleanInfo", Shown, "Очистить", "Clear"},
    {"ButtonCleanInfoVals", Shown, "Очистить", "Clear"},
    {"StandartInpButtonSaveAsProfile", Shown, "Сохранить", "Save"},
    {"checkI", Hint, "Значение максимально допустимого тока", "Maximal current"},
    {"CheckTrueVal", Hint, "Значение воспроизводимого сопротивления", "Output resistance"},
    {"checkU", Hint, "Значение допустимого напряжения", "Maximal voltage"},
    {"checkTrueC", Hint, "Значение воспроизводимой температуры", "Output temperature"},
    {"OtklonOm", Hint, "Значение отклонения от установленного сопротивления в омах",
     "Nominal accuracy in Ohms"},
    {"OtklonPercent", Hint, "Значение отклонения от установленного сопротивления в процентах",
     "Nominal accuracy in percents"},
    {"OtklonC", Hint, "Значение отклонения от установленного значения в градусах Цельсия",
     "Nominal accuracy in degrees of Celsius"},
    {"OtklonPercentC", Hint, "Значение отклонения от установленного значения в процентах",
     "Nominal accuracy in percents"},
    {"Stability", Hint,
     "Допустимое отклонение от установленного значения за год, в процентах (нестабильность)",
     "Long-term stability in percents"},
    {"AbsStability", Hint, "Допустимое отклонение от установленного значения за год, в омах (нестабильность)",
     "Long-term stability in Ohms"},
};

const char* const kInpTypeRu[] = {"Массив", "Диапазон", "Одиночные"};
const char* const kInpTypeEn[] = {"Array", "Range", "Single"};
const char* const kUnitRu[] = {"R, Ом", "R, кОм", "R, МОм"};
const char* const kUnitEn[] = {"R, Ohm", "R, kOhm", "R, MOhm"};

QStringList comboItems(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

QString shownText(const QObject* o)
{
    if (auto* menu = qobject_cast<const QMenu*>(o))
        return menu->title();
    if (auto* action = qobject_cast<const QAction*>(o))
        return action->text();
    if (auto* group = qobject_cast<const QGroupBox*>(o))
        return group->title();
    if (auto* button = qobject_cast<const QAbstractButton*>(o))
        return button->text();
    if (auto* label = qobject_cast<const QLabel*>(o))
        return label->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(o))
        return edit->text();
    if (auto* box = qobject_cast<const QComboBox*>(o))
        return QString::number(box->currentIndex()) + QLatin1Char(':') +
               comboItems(box).join(QLatin1Char('|'));
    return {};
}

QStringList items(const char* const (&texts)[3])
{
    QStringList list;
    for (const char* t : texts)
        list << QString::fromUtf8(t);
    return list;
}

} // namespace

class LanguageTest : public WindowFixture
{
protected:
    void english() { w.SetLanguage(QStringLiteral("English")); }
    void russian() { w.SetLanguage(QStringLiteral("Russian")); }

    QObject* component(const char* name) { return w.findChild<QObject*>(QLatin1String(name)); }

    // Every text of the table in the given language.
    void expectTable(bool inEnglish)
    {
        for (const Pair& p : kPairs) {
            SCOPED_TRACE(p.component);
            QObject* o = component(p.component);
            ASSERT_NE(o, nullptr);
            const QString expected = QString::fromUtf8(inEnglish ? p.english : p.russian);
            const QString shown = p.kind == Hint ? qobject_cast<QWidget*>(o)->toolTip() : shownText(o);
            EXPECT_EQ(shown.toStdString(), expected.toStdString());
        }
        EXPECT_EQ(comboItems(ui()->InpType), items(inEnglish ? kInpTypeEn : kInpTypeRu));
        for (QComboBox* box : {ui()->ChooseOhm, ui()->ChooseOhm1, ui()->ChooseOhm2})
            EXPECT_EQ(comboItems(box), items(inEnglish ? kUnitEn : kUnitRu))
                << box->objectName().toStdString();
    }

    // Each text, geometry and check state of the window: what a switch may change.
    QStringList snapshot()
    {
        QStringList lines;
        for (QWidget* widget : w.findChildren<QWidget*>()) {
            if (widget->objectName().isEmpty())
                continue;
            const QRect g = widget->geometry();
            lines << QStringLiteral("%1 %2,%3 %4x%5 [%6] (%7)")
                         .arg(widget->objectName())
                         .arg(g.x())
                         .arg(g.y())
                         .arg(g.width())
                         .arg(g.height())
                         .arg(shownText(widget), widget->toolTip());
        }
        for (QAction* a : w.findChildren<QAction*>())
            lines << QStringLiteral("%1 [%2] %3").arg(a->objectName(), a->text()).arg(a->isChecked());
        return lines;
    }
};

TEST_F(LanguageTest, EveryTextOfTheTableInEnglishThenInRussian)
{
    ASSERT_TRUE(w.isRussian());
    english();
    EXPECT_TRUE(ui()->English->isChecked());
    EXPECT_FALSE(ui()->Russian->isChecked());
    {
        SCOPED_TRACE("English");
        expectTable(true);
    }
    russian();
    EXPECT_TRUE(ui()->Russian->isChecked());
    EXPECT_FALSE(ui()->English->isChecked());
    {
        SCOPED_TRACE("Russian");
        expectTable(false);
    }
}

// What the switch leaves alone in both directions.
TEST_F(LanguageTest, TextsOutsideTheTableStay)
{
    ui()->Info->setPlainText(QStringLiteral("12:00:00\nЗначение установлено!"));
    ui()->InfoValsOhm->addItem(QStringLiteral("100,000"));
    QStringList before;
    const QList<QObject*> kept = {ui()->OtklonOm,
                                  ui()->OtklonPercent,
                                  ui()->OtklonC,
                                  ui()->OtklonPercentC,
                                  ui()->N31,
                                  ui()->N10,
                                  ui()->Celsium,
                                  ui()->Russian,
                                  ui()->English,
                                  ui()->BoxDevice,
                                  ui()->Label13,
                                  ui()->Label16,
                                  ui()->StandartInpOtklon1,
                                  ui()->Label25};
    for (QObject* o : kept)
        before << shownText(o);
    for (bool toEnglish : {true, false}) {
        toEnglish ? english() : russian();
        QStringList now;
        for (QObject* o : kept)
            now << shownText(o);
        EXPECT_EQ(now, before);
        EXPECT_EQ(w.windowTitle(), QStringLiteral("КАЛИСТ v1.0.0.4"));
        EXPECT_EQ(ui()->Info->toPlainText(), QStringLiteral("12:00:00\nЗначение установлено!"));
        EXPECT_EQ(ui()->InfoValsOhm->item(0)->text(), QStringLiteral("100,000"));
    }
}

TEST_F(LanguageTest, ALanguageInForceOrUnknownChangesNothing)
{
    ui()->ConnectionButton->setText(QStringLiteral("Отключение"));
    ui()->rangeLabel->setText(QStringLiteral("0,001...11111,11 Ом"));
    ui()->Label18->move(5, ui()->Label18->y()); // not where a switch would put it
    const QStringList russianState = snapshot();
    russian();
    EXPECT_EQ(snapshot(), russianState);
    for (const char* other : {"english", "Русский", "", "German"}) {
        w.SetLanguage(QString::fromUtf8(other));
        EXPECT_EQ(snapshot(), russianState) << other;
    }

    english();
    const QStringList englishState = snapshot();
    ASSERT_NE(englishState, russianState);
    english();
    w.SetLanguage(QStringLiteral("russian"));
    EXPECT_EQ(snapshot(), englishState);
}

TEST_F(LanguageTest, TheMenuItemsSwitch)
{
    ui()->English->trigger();
    EXPECT_TRUE(ui()->English->isChecked());
    EXPECT_FALSE(ui()->Russian->isChecked());
    EXPECT_EQ(ui()->MSettings->title(), QStringLiteral("Settings"));
    EXPECT_EQ(ui()->MainMenu->actions().at(1)->text(), QStringLiteral("Settings"));
    const QStringList englishState = snapshot();
    ui()->English->trigger(); // the item in force
    EXPECT_TRUE(ui()->English->isChecked());
    EXPECT_EQ(snapshot(), englishState);

    ui()->Russian->trigger();
    EXPECT_TRUE(ui()->Russian->isChecked());
    EXPECT_FALSE(ui()->English->isChecked());
    EXPECT_EQ(ui()->MSettings->title(), QStringLiteral("Настройки"));
    EXPECT_EQ(ui()->Label8->text(), QStringLiteral("Журнал событий"));
}

TEST_F(LanguageTest, ConnectionStateTextsKeepTheirMeaning)
{
    // Disconnected: the identification labels show nothing to translate.
    english();
    EXPECT_EQ(ui()->ConnectionButton->text(), QStringLiteral("Connect"));
    EXPECT_EQ(ui()->rangeLabel->text(), QStringLiteral("--"));
    EXPECT_EQ(ui()->stepLabel->text(), QStringLiteral("--"));
    EXPECT_TRUE(ui()->yearLabel->text().isEmpty());
    russian();
    EXPECT_EQ(ui()->ConnectionButton->text(), QStringLiteral("Подключение"));
    EXPECT_EQ(ui()->rangeLabel->text(), QStringLiteral("--"));
    EXPECT_TRUE(ui()->yearLabel->text().isEmpty());

    // Identified in Russian.
    ui()->ConnectionButton->setText(QStringLiteral("Отключение"));
    ui()->rangeLabel->setText(QStringLiteral("0,01...111111,1 Ом"));
    ui()->stepLabel->setText(QStringLiteral("0,01 Ом"));
    ui()->yearLabel->setText(QStringLiteral("2024 г."));
    english();
    EXPECT_EQ(ui()->ConnectionButton->text(), QStringLiteral("Disconnect"));
    EXPECT_EQ(ui()->rangeLabel->text(), QStringLiteral("0,01...111111,1 Ohm"));
    EXPECT_EQ(ui()->stepLabel->text(), QStringLiteral("0,01 Ohm"));
    EXPECT_EQ(ui()->yearLabel->text(), QStringLiteral("2024"));
    russian();
    EXPECT_EQ(ui()->ConnectionButton->text(), QStringLiteral("Отключение"));
    EXPECT_EQ(ui()->rangeLabel->text(), QStringLiteral("0,01...111111,1 Ом"));
    EXPECT_EQ(ui()->stepLabel->text(), QStringLiteral("0,01 Ом"));
    EXPECT_EQ(ui()->yearLabel->text(), QStringLiteral("2024 г."));

    // Only what stands before the first blank is kept, at most 100 characters.
    ui()->rangeLabel->setText(QStringLiteral("1 - 10 Ом"));
    ui()->stepLabel->setText(QString(120, QLatin1Char('9')));
    english();
    EXPECT_EQ(ui()->rangeLabel->text(), QStringLiteral("1 Ohm"));
    EXPECT_EQ(ui()->stepLabel->text(), QString(100, QLatin1Char('9')) + QStringLiteral(" Ohm"));
}

TEST_F(LanguageTest, HistoryHeadingKeepsItsMeaning)
{
    for (const auto& [russianText, englishText] :
         {std::pair{"История ввода", "Entered values"}, std::pair{"Массив", "Array"}}) {
        SCOPED_TRACE(russianText);
        ui()->Label2->setText(QString::fromUtf8(russianText));
        english();
        EXPECT_EQ(ui()->Label2->text(), QString::fromUtf8(englishText));
        russian();
        EXPECT_EQ(ui()->Label2->text(), QString::fromUtf8(russianText));
    }
}

// The start and pause buttons of range and list input follow the input mode.
class RunButtonTexts : public LanguageTest, public ::testing::WithParamInterface<bool>
{
};

TEST_P(RunButtonTexts, FollowTheInputMode)
{
    const bool timed = GetParam();
    ui()->AutoInp->setChecked(timed);
    ui()->ManualInp->setChecked(!timed);
    english();
    EXPECT_EQ(ui()->IncrInpButtonEnter->text(), timed ? QStringLiteral("Start") : QStringLiteral("Enter"));
    EXPECT_EQ(ui()->ProfileInpButtonEnter->text(), timed ? QStringLiteral("Start") : QStringLiteral("Enter"));
    EXPECT_EQ(ui()->IncrInpButtonPause->text(), timed ? QStringLiteral("Pause") : QStringLiteral("Stop"));
    EXPECT_EQ(ui()->ProfileInpButtonPause->text(), QStringLiteral("Pause"));
    russian();
    EXPECT_EQ(ui()->IncrInpButtonEnter->text(), timed ? QStringLiteral("Старт") : QStringLiteral("Ввод"));
    EXPECT_EQ(ui()->ProfileInpButtonEnter->text(), timed ? QStringLiteral("Старт") : QStringLiteral("Ввод"));
    EXPECT_EQ(ui()->IncrInpButtonPause->text(), timed ? QStringLiteral("Пауза") : QStringLiteral("Прервать"));
    EXPECT_EQ(ui()->ProfileInpButtonPause->text(), QStringLiteral("Пауза"));
}

INSTANTIATE_TEST_SUITE_P(ManualAndTimed, RunButtonTexts, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Timed" : "Manual"; });

// A timed run in progress is stopped and paused through its buttons, which read the same in
// both languages: a switch must not make a running run's stop button read "Start".
TEST_F(LanguageTest, ARunningTimedRunKeepsItsButtons)
{
    ui()->AutoInp->setChecked(true);
    ui()->ManualInp->setChecked(false);
    w.autoRun = true;

    ui()->InpType->setCurrentIndex(1); // range
    ui()->IncrInpButtonEnter->setText(QStringLiteral("Стоп"));
    ui()->IncrInpButtonPause->setText(QStringLiteral("Продолжить"));
    english();
    EXPECT_EQ(ui()->IncrInpButtonEnter->text(), QStringLiteral("Стоп"));
    EXPECT_EQ(ui()->IncrInpButtonPause->text(), QStringLiteral("Продолжить"));
    EXPECT_EQ(ui()->ProfileInpButtonEnter->text(), QStringLiteral("Start")); // not running
    EXPECT_EQ(ui()->ProfileInpButtonPause->text(), QStringLiteral("Pause"));

    ui()->InpType->setCurrentIndex(0); // value list
    ui()->ProfileInpButtonEnter->setText(QStringLiteral("Стоп"));
    ui()->ProfileInpButtonPause->setText(QStringLiteral("Продолжить"));
    russian();
    EXPECT_EQ(ui()->ProfileInpButtonEnter->text(), QStringLiteral("Стоп"));
    EXPECT_EQ(ui()->ProfileInpButtonPause->text(), QStringLiteral("Продолжить"));
    EXPECT_EQ(ui()->IncrInpButtonEnter->text(), QStringLiteral("Старт"));
    EXPECT_EQ(ui()->IncrInpButtonPause->text(), QStringLiteral("Пауза"));

    // The stop still works in the other language.
    english();
    w.connected = true;
    ui()->EditAuto->setText(QStringLiteral("5"));
    w.ProfileInpButtonEnterClick();
    EXPECT_FALSE(w.autoRun);
    EXPECT_EQ(ui()->ProfileInpButtonEnter->text(), QStringLiteral("Start"));
}

TEST_F(LanguageTest, OutputModeLabelFollowsTheCheckedMode)
{
    struct Case {
        void (TForm1::*choose)();
        const char* russian;
        const char* english;
    };
    for (const Case& c : {Case{&TForm1::funcDefaultx2Click, "Н2", "usual 2w"},
                          Case{&TForm1::funcDefaultx4Click, "Н4", "usual 4w"},
                          Case{&TForm1::funcCorrectionx2Click, "К2", "optimal 2w"},
                          Case{&TForm1::funcCorrectionx4Click, "К4", "optimal 4w"}}) {
        SCOPED_TRACE(c.english);
        (w.*c.choose)();
        english();
        EXPECT_EQ(ui()->modeLabel->text(), QString::fromUtf8(c.english));
        russian();
        EXPECT_EQ(ui()->modeLabel->text(), QString::fromUtf8(c.russian));
    }
}

TEST_F(LanguageTest, UserStepMarkerSwitchesAndAStepStays)
{
    ui()->SelectDigit->setPosition(ui()->SelectDigit->max());
    ASSERT_EQ(ui()->Digit->text(), QStringLiteral("Пол"));
    english();
    EXPECT_EQ(ui()->Digit->text(), QStringLiteral("User"));
    russian();
    EXPECT_EQ(ui()->Digit->text(), QStringLiteral("Пол"));

    ui()->Digit->setText(QStringLiteral("0,01"));
    english();
    EXPECT_EQ(ui()->Digit->text(), QStringLiteral("0,01"));
    ui()->Digit->setText(QStringLiteral("User"));
    english(); // in force: nothing
    EXPECT_EQ(ui()->Digit->text(), QStringLiteral("User"));
}

// The unit captions and boxes after the unit in ohms; the selection survives the switch.
class UnitTexts : public LanguageTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(UnitTexts, FollowTheSelectedUnit)
{
    const int u = GetParam();
    const char* const valueRu[] = {"R, Ом:", "R, кОм:", "R, МОм:"};
    const char* const valueEn[] = {"R, Ohm:", "R, kOhm:", "R, MOhm:"};
    const char* const stepRu[] = {"Шаг, Ом:", "Шаг, кОм:", "Шаг, МОм:"};
    const char* const stepEn[] = {"Step, Ohm:", "Step, kOhm:", "Step, MOhm:"};
    selectUnit(u);
    for (bool inEnglish : {true, false}) {
        SCOPED_TRACE(inEnglish ? "English" : "Russian");
        inEnglish ? english() : russian();
        for (QComboBox* box : {ui()->ChooseOhm, ui()->ChooseOhm1, ui()->ChooseOhm2}) {
            EXPECT_EQ(box->currentIndex(), u);
            EXPECT_EQ(box->currentText(), QString::fromUtf8((inEnglish ? kUnitEn : kUnitRu)[u]));
        }
        for (QLabel* label : {ui()->Label9, ui()->ProfilePhysVal, ui()->IncPhysVal})
            EXPECT_EQ(label->text(), QString::fromUtf8((inEnglish ? valueEn : valueRu)[u]));
        EXPECT_EQ(ui()->Label6->text(), QString::fromUtf8((inEnglish ? stepEn : stepRu)[u]));
    }
    // The unit handlers go on working on the renamed items.
    english();
    ui()->ChooseOhmUpDown->click(UpDown::btNext);
    EXPECT_EQ(ui()->ChooseOhm->currentIndex(), (u + 1) % 3);
    EXPECT_EQ(ui()->Label9->text(), QString::fromUtf8(valueEn[(u + 1) % 3]));
}

INSTANTIATE_TEST_SUITE_P(OhmKiloMega, UnitTexts, ::testing::Values(0, 1, 2));

TEST_F(LanguageTest, CelsiusCaptionsAreTheSameInBothLanguagesButTheStep)
{
    selectUnit(1);
    selectCelsius(&TForm1::platinum385Click, &TForm1::N1001Click);
    for (bool inEnglish : {true, false}) {
        SCOPED_TRACE(inEnglish ? "English" : "Russian");
        inEnglish ? english() : russian();
        for (QLabel* label : {ui()->Label9, ui()->ProfilePhysVal, ui()->IncPhysVal})
            EXPECT_EQ(label->text(), QStringLiteral("T, °C:"));
        EXPECT_EQ(ui()->Label6->text(), inEnglish ? QStringLiteral("Step, °C:") : QStringLiteral("Шаг, °C:"));
        EXPECT_EQ(ui()->ChooseOhm->currentText(),
                  inEnglish ? QStringLiteral("R, kOhm") : QStringLiteral("R, кОм"));
    }
}

// The output read-out's caption names a temperature in °C whichever language is chosen through
// the menu, and a resistance again once the window is back in ohms.
TEST_F(LanguageTest, OutputCaptionNamesTheQuantityInBothLanguages)
{
    ui()->Celsium->trigger();
    ASSERT_TRUE(w.celsiusMode());
    ASSERT_EQ(ui()->Label4->text(), QStringLiteral("Твос:"));
    const struct {
        QAction* item;
        const char* celsius; // Cyrillic Т in Russian, Latin T in English
        const char* ohms;
    } steps[] = {{ui()->English, "Tout:", "Rout:"}, {ui()->Russian, "Твос:", "Rвос:"}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.celsius);
        s.item->trigger();
        EXPECT_EQ(ui()->Label4->text(), QString::fromUtf8(s.celsius));
        EXPECT_EQ(ui()->StandartInpFact->x(), ui()->Label4->x() + ui()->Label4->width() + 3);
    }
    ui()->English->trigger();
    ui()->Ohm->trigger();
    EXPECT_EQ(ui()->Label4->text(), QStringLiteral("Rout:"));
    for (const auto& s : steps) {
        s.item->trigger();
        EXPECT_EQ(ui()->Label4->text(), QString::fromUtf8(s.ohms));
    }
}

TEST_F(LanguageTest, SelectedInputTypeSurvivesAndTimedInputKeepsTwoTypes)
{
    for (int type : {0, 1, 2}) {
        ui()->InpType->setCurrentIndex(type);
        english();
        EXPECT_EQ(ui()->InpType->currentIndex(), type);
        EXPECT_EQ(ui()->InpType->currentText(), QString::fromUtf8(kInpTypeEn[type]));
        russian();
        EXPECT_EQ(ui()->InpType->currentIndex(), type);
        EXPECT_EQ(ui()->InpType->currentText(), QString::fromUtf8(kInpTypeRu[type]));
    }
    // Timed input offers no single values; the switch does not bring them back.
    ui()->InpType->setCurrentIndex(1);
    ui()->InpType->removeItem(2);
    english();
    EXPECT_EQ(comboItems(ui()->InpType), QStringList({"Array", "Range"}));
    EXPECT_EQ(ui()->InpType->currentIndex(), 1);
}

TEST_F(LanguageTest, SkinItemsAreNumberedInTheLanguage)
{
    if (ui()->skinMenu->actions().isEmpty())
        for (int i = 0; i < 5; ++i)
            ui()->skinMenu->addAction(QStringLiteral("Обложка %1").arg(i + 1));
    const int count = ui()->skinMenu->actions().size();
    english();
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(ui()->skinMenu->actions().at(i)->text(), QStringLiteral("Theme %1").arg(i + 1));
    russian();
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(ui()->skinMenu->actions().at(i)->text(), QStringLiteral("Обложка %1").arg(i + 1));
}

TEST_F(LanguageTest, TheSecondInformationColumnMovesWithTheLanguage)
{
    const int base = ui()->Label24->x();
    english();
    EXPECT_EQ(ui()->Label18->x(), base + 200);
    EXPECT_EQ(ui()->Label21->x(), base + 200);
    russian();
    EXPECT_EQ(ui()->Label18->x(), base + 130);
    EXPECT_EQ(ui()->Label21->x(), base + 130);
    for (bool inEnglish : {true, false}) {
        inEnglish ? english() : russian();
        for (const auto& [caption, value, gap] :
             {std::tuple{ui()->Label18, ui()->LabelPrecision, 3},
              std::tuple{ui()->Label21, ui()->deviceFullName, 3},
              std::tuple{ui()->Label23, ui()->rangeLabel, 1},
              std::tuple{ui()->Label10, ui()->firmwareLabel, 1},
              std::tuple{ui()->Label24, ui()->stepLabel, 1}, std::tuple{ui()->Label15, ui()->modeLabel, 2}}) {
            SCOPED_TRACE(caption->objectName().toStdString());
            EXPECT_GE(caption->width(), caption->sizeHint().width());
            EXPECT_EQ(value->x(), caption->x() + caption->width() + gap);
        }
    }
}

// The identification of a simulated RD5540-3, shown in the language of the moment and switched.
class LanguageLinkTest : public LinkFixture, public ::testing::WithParamInterface<bool>
{
};

TEST_P(LanguageLinkTest, IdentificationTextsFollowTheSwitch)
{
    const bool startInEnglish = GetParam();
    Ui::TForm1* ui = w->ui;
    if (startInEnglish)
        w->SetLanguage(QStringLiteral("English"));
    SimInstrument& sim = addSim(3);
    ASSERT_TRUE(connectTo(sim));
    const QString range = ui->rangeLabel->text().section(QLatin1Char(' '), 0, 0);
    const QString step = ui->stepLabel->text().section(QLatin1Char(' '), 0, 0);
    ASSERT_FALSE(range.isEmpty());
    ASSERT_NE(range, QStringLiteral("--"));

    const auto expectShown = [&](bool inEnglish) {
        SCOPED_TRACE(inEnglish ? "English" : "Russian");
        const QString ohm = inEnglish ? QStringLiteral(" Ohm") : QStringLiteral(" Ом");
        EXPECT_EQ(ui->rangeLabel->text(), range + ohm);
        EXPECT_EQ(ui->stepLabel->text(), step + ohm);
        EXPECT_EQ(ui->yearLabel->text(), inEnglish ? QStringLiteral("2024") : QStringLiteral("2024 г."));
        EXPECT_EQ(ui->ConnectionButton->text(),
                  inEnglish ? QStringLiteral("Disconnect") : QStringLiteral("Отключение"));
        EXPECT_EQ(ui->LabelPrecision->text(), QStringLiteral("0,02"));
        EXPECT_EQ(ui->DeviceNoLabel->text(), QStringLiteral("1042"));
    };
    expectShown(startInEnglish);
    w->SetLanguage(startInEnglish ? QStringLiteral("Russian") : QStringLiteral("English"));
    expectShown(!startInEnglish);
    w->SetLanguage(startInEnglish ? QStringLiteral("English") : QStringLiteral("Russian"));
    expectShown(startInEnglish);

    // Disconnected again: the button reads "connect" in the language of the moment.
    w->ConnectionButtonClick();
    ASSERT_FALSE(w->connected);
    w->SetLanguage(startInEnglish ? QStringLiteral("Russian") : QStringLiteral("English"));
    EXPECT_EQ(ui->ConnectionButton->text(),
              startInEnglish ? QStringLiteral("Подключение") : QStringLiteral("Connect"));
}

INSTANTIATE_TEST_SUITE_P(RussianOrEnglishFirst, LanguageLinkTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "English" : "Russian"; });

// ---------------------------------------------------------------- Qt's own dialogs

namespace
{

// What the history's save dialog and its overwrite question showed.
struct SaveDialogSeen {
    testsupport::FileDialogTexts dialog;
    QString question;
    QStringList questionButtons;
    bool stayedOpen = false; // after "No" to the question
};

// The operator presses "Сохранить" under the history, types the name of a file that exists,
// answers the question "No" and cancels the dialog.
SaveDialogSeen saveOverExistingFile(TForm1& w)
{
    QTemporaryDir folder;
    testsupport::writeFileBytes(folder.filePath(QStringLiteral("a.txt")), "x");
    SaveDialogSeen seen;
    testsupport::WhenShown<QFileDialog> player([&](QFileDialog* dialog) {
        EXPECT_TRUE(testsupport::showFolder(dialog, folder.path(), 1));
        seen.dialog = testsupport::textsOf(dialog);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        name->clear();
        QTest::keyClicks(name, QStringLiteral("a.txt"));
        const testsupport::WhenShown<QMessageBox> answer([&](QMessageBox* box) {
            seen.question = box->text();
            seen.questionButtons = testsupport::buttonTexts(box->buttons());
            QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
        });
        QTest::mouseClick(testsupport::acceptButton(dialog), Qt::LeftButton);
        seen.stayedOpen = dialog->isVisible();
        dialog->reject();
    });
    QTest::mouseClick(w.ui->StandartInpButtonSaveAsProfile, Qt::LeftButton);
    EXPECT_TRUE(player.played());
    return seen;
}

void expectRussianSaveDialog(const SaveDialogSeen& seen)
{
    EXPECT_EQ(seen.dialog.title, QStringLiteral("Сохранить как"));
    EXPECT_EQ(seen.dialog.lookIn, QStringLiteral("Перейти к:"));
    EXPECT_EQ(seen.dialog.fileName, QStringLiteral("&Имя файла:"));
    EXPECT_EQ(seen.dialog.fileType, QStringLiteral("Типы файлов:"));
    EXPECT_EQ(seen.dialog.buttons, (QStringList{"&Сохранить", "Отмена"}));
    EXPECT_EQ(seen.question, QStringLiteral("a.txt уже существует.\nЗаменить его?"));
    EXPECT_EQ(seen.questionButtons, (QStringList{"&Да", "&Нет"}));
    EXPECT_TRUE(seen.stayedOpen);
}

void expectEnglishSaveDialog(const SaveDialogSeen& seen)
{
    EXPECT_EQ(seen.dialog.title, QStringLiteral("Save As"));
    EXPECT_EQ(seen.dialog.lookIn, QStringLiteral("Look in:"));
    EXPECT_EQ(seen.dialog.fileName, QStringLiteral("File &name:"));
    EXPECT_EQ(seen.dialog.fileType, QStringLiteral("Files of type:"));
    EXPECT_EQ(seen.dialog.buttons, (QStringList{"&Save", "Cancel"}));
    EXPECT_EQ(seen.question, QStringLiteral("a.txt already exists.\nDo you want to replace it?"));
    EXPECT_EQ(seen.questionButtons, (QStringList{"&No", "&Yes"}));
    EXPECT_TRUE(seen.stayedOpen);
}

// The buttons of one of the program's own message boxes, shown for real.
QStringList ownBoxButtons(const QString& caption)
{
    QStringList shown;
    const testsupport::WhenShown<QMessageBox> player([&](QMessageBox* box) {
        shown = testsupport::buttonTexts(box->buttons());
        box->reject();
    });
    ShowMessageBox(caption, QStringLiteral("x"), DialogType::Warning, mbOK | mbCancel);
    return shown;
}

} // namespace

TEST_F(LanguageTest, QtsOwnDialogsFollowTheLanguageMenu)
{
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    {
        SCOPED_TRACE("Russian from the start");
        expectRussianSaveDialog(saveOverExistingFile(w));
    }
    ui()->English->trigger();
    {
        SCOPED_TRACE("English");
        expectEnglishSaveDialog(saveOverExistingFile(w));
    }
    ui()->Russian->trigger();
    {
        SCOPED_TRACE("Russian again");
        expectRussianSaveDialog(saveOverExistingFile(w));
    }
}

TEST(QtLanguageTest, TheProgramsOwnMessageBoxesKeepTheirButtonsInTheRussianWindow)
{
    TForm1 w;
    w.FormCreate();
    ASSERT_TRUE(w.qtLanguage->isRussian());
    EXPECT_EQ(ownBoxButtons(QStringLiteral("Ошибка")), (QStringList{"Cancel", "OK"}));
    EXPECT_EQ(ownBoxButtons(QStringLiteral("Внимание")), (QStringList{"OK", "Отмена"}));
}

namespace
{

// The caption a failure's box has: the standard one of an error.
QString failureCaption()
{
    DialogSeam seam;
    VardekoApplication::showException(QStringLiteral("x"));
    return seam.shown().empty() ? QString() : seam.shown().back().caption;
}

} // namespace

// Failed before: a failure in the Russian window was shown under "Error".
TEST(QtLanguageTest, StandardCaptionsFollowTheWindowAndLeaveWithIt)
{
    QTemporaryDir noCatalogue;
    for (const bool catalogue : {true, false}) {
        SCOPED_TRACE(catalogue);
        // The program's own captions need no Qt catalogue.
        if (!catalogue)
            QtLanguage::setCatalogueFolder(noCatalogue.path());
        {
            TForm1 w;
            EXPECT_EQ(failureCaption(), QStringLiteral("Ошибка")); // the layout's language
            w.FormCreate();
            EXPECT_EQ(failureCaption(), QStringLiteral("Ошибка"));
            w.SetLanguage(QStringLiteral("English"));
            EXPECT_EQ(failureCaption(), QStringLiteral("Error"));
            w.SetLanguage(QStringLiteral("Russian"));
            EXPECT_EQ(failureCaption(), QStringLiteral("Ошибка"));
        }
        EXPECT_EQ(failureCaption(), QStringLiteral("Error"));

        // Started in English from the settings.
        testsupport::writeFileBytes(settingsfile::programPath(), "[Language]\r\nRussian=0\r\n");
        {
            TForm1 w;
            w.FormCreate();
            EXPECT_EQ(failureCaption(), QStringLiteral("Error"));
        }
        QFile::remove(settingsfile::programPath());
    }
    QtLanguage::setCatalogueFolder(QString());
}

TEST(QtLanguageTest, AWindowStartedInEnglishHasQtsEnglishTexts)
{
    testsupport::writeFileBytes(settingsfile::programPath(), "[Language]\r\nRussian=0\r\n");
    TForm1 w;
    w.FormCreate();
    ASSERT_TRUE(w.ui->English->isChecked());
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    expectEnglishSaveDialog(saveOverExistingFile(w));
}

TEST(QtLanguageTest, WithoutTheCatalogueQtStaysEnglishAndTheWindowWorks)
{
    QTemporaryDir empty;
    QtLanguage::setCatalogueFolder(empty.path());
    {
        TForm1 w;
        w.FormCreate();
        EXPECT_FALSE(w.qtLanguage->isRussian());
        testsupport::FileDialogTexts seen;
        const testsupport::WhenShown<QFileDialog> player([&](QFileDialog* dialog) {
            seen = testsupport::textsOf(dialog);
            dialog->reject();
        });
        EXPECT_TRUE(ExecuteFileDialog(textFileOpenRequest()).isEmpty());
        EXPECT_EQ(seen.title, QStringLiteral("Open"));
        EXPECT_EQ(seen.buttons, (QStringList{"&Open", "Cancel"}));

        w.SetLanguage(QStringLiteral("English"));
        w.SetLanguage(QStringLiteral("Russian"));
        EXPECT_FALSE(w.qtLanguage->isRussian());
        EXPECT_EQ(w.ui->MSettings->title(), QStringLiteral("Настройки"));
    }
    QtLanguage::setCatalogueFolder(QString());
}
