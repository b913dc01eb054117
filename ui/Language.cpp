// The language of the main window: the Russian/English menu items and SetLanguage, which
// rewrites every text the layout fixes, the texts that follow the window's state, the items of
// the input-type and unit boxes, and the places of the value labels behind changed captions.
#include "instrument/ValueLimitTables.h"
#include "ui/Application.h"
#include "ui/main.h"
#include "ui_TForm1.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <array>
#include <utility>

namespace
{

// Which text of a component a pair sets: what it shows (caption, title, item text) or its
// balloon hint.
enum class Prop { Caption, Hint };

struct TextPair {
    const char* component; // objectName in the layout
    Prop prop;
    const char* russian;
    const char* english;
};

// Every fixed text the language switch rewrites. The Russian column is not always the layout's
// start-up text ("U макс, В", "Период:", trailing blanks): after a switch to English and back
// these components read as below.
const TextPair kTexts[] = {
    // menu items, in menu order
    {"Mfprof", Prop::Caption, "Rд", "Rm"},
    {"N1", Prop::Caption, "Создать", "Create"},
    {"N2", Prop::Caption, "Открыть", "Open"},
    {"N3", Prop::Caption, "Редактирование", "Edit"},
    {"N7", Prop::Caption, "Считать из прибора", "Read from device"},
    {"N8", Prop::Caption, "Записать в прибор", "Write to device"},
    {"Calibration", Prop::Caption, "Поверка", "Calibration"},
    {"MSettings", Prop::Caption, "Настройки", "Settings"},
    {"Mfunction", Prop::Caption, "Режим", "Output mode"},
    {"funcDefaultx2", Prop::Caption, "Некомпенсир 2х", "Usual 2w"},
    {"funcDefaultx4", Prop::Caption, "Некомпенсир 4х", "Usual 4w"},
    {"funcCorrectionx2", Prop::Caption, "Компенсир 2х", "Optimal 2w"},
    {"funcCorrectionx4", Prop::Caption, "Компенсир 4х", "Optimal 4w"},
    {"N6", Prop::Caption, "Отображение на приборе", "Show on the instrument"},
    {"N11", Prop::Caption, "Rвос, Ом", "Rout, Ohm"},
    {"N21", Prop::Caption, "ΔR, Ом", "ΔR, Ohm"},
    {"R1", Prop::Caption, "Rпред, Ом", "Rprev, Ohm"},
    {"N13", Prop::Caption, "Uмакс, В", "Umax, V"},
    {"N14", Prop::Caption, "Iмакс, А", "Imax, A"},
    {"N17", Prop::Caption, "СТУПЕНИ ДЕКАД", "Enabled decades"},
    {"MLang", Prop::Caption, "Язык", "Language"},
    {"MphysicVal", Prop::Caption, "Физ. величина", "Physical quanity"},
    {"Ohm", Prop::Caption, "Ом", "Ohm"},
    {"MtemperType", Prop::Caption, "Тип НСХ", "Curve type"},
    {"platinum391", Prop::Caption, "Платиновый α=0.00391 °С^(-1)", "Platinum α=0.00391 °С^(-1)"},
    {"platinum385", Prop::Caption, "Платиновый α=0.00385 °С^(-1)", "Platinum α=0.00385 °С^(-1)"},
    {"copper428", Prop::Caption, "Медный α=0.00428 °С^(-1)", "Copper α=0.00428 °С^(-1)"},
    {"nickel617", Prop::Caption, "Никелевый α=0.00617 °С^(-1)", "Nicel α=0.00617 °С^(-1)"},
    {"Rt0List", Prop::Caption, "R при 0°С", "R at 0°С"},
    {"N01", Prop::Caption, "10 Ом", "10 Ohm"},
    {"N501", Prop::Caption, "50 Ом", "50 Ohm"},
    {"N1001", Prop::Caption, "100 Ом", "100 Ohm"},
    {"N1002", Prop::Caption, "500 Ом", "500 Ohm"},
    {"N10001", Prop::Caption, "1000 Ом", "1000 Ohm"},
    {"RequestSwitch", Prop::Caption, "Опрос регистра статуса", "Request device condition"},
    {"RequestEnabled", Prop::Caption, "Включен", "Enabled"},
    {"RequestDisabled", Prop::Caption, "Выключен", "Disabled"},
    {"skinMenu", Prop::Caption, "Обложка", "Themes"},
    {"J1", Prop::Caption, "О программе", "About"},
    // the right panel and the instrument-information group
    {"Settings", Prop::Caption, "Соединение", "Connection"},
    {"Label12", Prop::Caption, "Тип прибора", "Type"},
    {"Label7", Prop::Caption, "Адрес", "Address"},
    {"Settings1", Prop::Caption, "Ввод", "Input mode"},
    {"ManualInp", Prop::Caption, "Ручной", "Manual"},
    {"AutoInp", Prop::Caption, "Автомат", "Auto"},
    {"LabelAuto", Prop::Caption, "Период", "Delay"},
    {"LabelAuto2", Prop::Caption, "с.", "s"},
    {"Settings0", Prop::Caption, "Rд", "Rm"},
    {"ButtonFProfileGet", Prop::Caption, "Считать из прибора", "Read from device"},
    {"ButtonFProfileSet", Prop::Caption, "Записать в прибор", "Write to device"},
    {"ButtonFProfileEdit", Prop::Caption, "Редактирование", "Edit"},
    {"ButtonFProfileOpen", Prop::Caption, "Открыть", "Open"},
    {"Settings2", Prop::Caption, "Отображение", "Show"},
    {"checkI", Prop::Caption, "Iмакс, А", "Imax, A"},
    {"CheckTrueVal", Prop::Caption, "Rвос, Ом", "Rout, Ohm"},
    {"checkU", Prop::Caption, "Uмакс, В", "Umax, V"},
    {"checkTrueC", Prop::Caption, "Tвос, °C", "Tout, °C"},
    {"CheckBox1", Prop::Caption, "Ступение декад", "Enables decades"},
    {"Stability", Prop::Caption, "δн, %", "δs, %"},
    {"AbsStability", Prop::Caption, "Δн, Ом", "Δs, Ohm"},
    {"Label14", Prop::Caption, "Ом", "Ohm"},
    {"GroupBox1", Prop::Caption, "Сведения о приборе", "Information"},
    {"Label18", Prop::Caption, "Класс точности:", "Tolerance coefficient:"},
    {"Label21", Prop::Caption, "Исполнение:", "Full type:"},
    {"Label23", Prop::Caption, "Диапазон ном.:", "Range:"},
    {"Label10", Prop::Caption, "ВПО:", "Firmware version:"},
    {"Label24", Prop::Caption, "Шаг:", "Step:"},
    // the input groups and the left panel
    {"StandartInpButtonEnter", Prop::Caption, "Ввод", "Enter"},
    {"StandartInpButtonDel", Prop::Caption, "Сброс", "Cancel"},
    {"InstaSend", Prop::Caption, "Оперативно", "Fast"},
    {"Label4", Prop::Caption, "Rвос:", "Rout:"},
    {"Label11", Prop::Caption, "Iмакс:", "Imax:"},
    {"Label26", Prop::Caption, "Uмакс:", "Umax:"},
    {"Label27", Prop::Caption, "Δн:", "Δs:"},
    {"Label20", Prop::Caption, "δн:", "δs:"},
    {"ProfileInpButtonPause", Prop::Caption, "Пауза", "Pause"},
    {"ProfileInpButtonOpen", Prop::Caption, "Открыть", "Open"},
    {"ProfileInpButtonChange", Prop::Caption, "Изменить", "Edit"},
    {"ProfileInpButtonCreate", Prop::Caption, "Создать", "Create"},
    {"startLabel", Prop::Caption, "Нач", "First"},
    {"endLabel", Prop::Caption, "Конеч", "Last"},
    {"Label3", Prop::Caption, "Шаг", "Step"},
    {"IncInpLabel", Prop::Caption, "Следующий ном:", "Next value:"},
    {"Label5", Prop::Caption, "Данные ном:", "Data type:"},
    {"Label15", Prop::Caption, "Режим:", "Output mode:"},
    {"TimeLeft1", Prop::Caption, "Время до отправки:", "Sending after:"},
    {"Label8", Prop::Caption, "Журнал событий", "Event log"},
    {"ButtonSaveInfo", Prop::Caption, "Сохранить", "Save"},
    {"ButtonCleanInfo", Prop::Caption, "Очистить", "Clear"},
    {"ButtonCleanInfoVals", Prop::Caption, "Очистить", "Clear"},
    {"StandartInpButtonSaveAsProfile", Prop::Caption, "Сохранить", "Save"},
    // balloon hints of the read-out check boxes
    {"checkI", Prop::Hint, "Значение максимально допустимого тока", "Maximal current"},
    {"CheckTrueVal", Prop::Hint, "Значение воспроизводимого сопротивления", "Output resistance"},
    {"checkU", Prop::Hint, "Значение допустимого напряжения", "Maximal voltage"},
    {"checkTrueC", Prop::Hint, "Значение воспроизводимой температуры", "Output temperature"},
    {"OtklonOm", Prop::Hint, "Значение отклонения от установленного сопротивления в омах",
     "Nominal accuracy in Ohms"},
    {"OtklonPercent", Prop::Hint, "Значение отклонения от установленного сопротивления в процентах",
     "Nominal accuracy in percents"},
    {"OtklonC", Prop::Hint, "Значение отклонения от установленного значения в градусах Цельсия",
     "Nominal accuracy in degrees of Celsius"},
    {"OtklonPercentC", Prop::Hint, "Значение отклонения от установленного значения в процентах",
     "Nominal accuracy in percents"},
    {"Stability", Prop::Hint,
     "Допустимое отклонение от установленного значения за год, в процентах (нестабильность)",
     "Long-term stability in percents"},
    {"AbsStability", Prop::Hint,
     "Допустимое отклонение от установленного значения за год, в омах (нестабильность)",
     "Long-term stability in Ohms"},
};

constexpr int ColumnGap = 5; // between the two columns of the instrument information

struct ItemPair {
    const char* russian;
    const char* english;
};

// InpType items in the order of the input types: value list, range, single values.
const ItemPair kInpTypeItems[] = {{"Массив", "Array"}, {"Диапазон", "Range"}, {"Одиночные", "Single"}};
// The same three items in each unit box: Ω, kΩ, MΩ.
const ItemPair kUnitItems[valuelimits::UnitCount] = {
    {"R, Ом", "R, Ohm"}, {"R, кОм", "R, kOhm"}, {"R, МОм", "R, MOhm"}};

QString pick(const ItemPair& pair, bool english)
{
    return QString::fromUtf8(english ? pair.english : pair.russian);
}

void setCaption(QObject* component, const QString& text)
{
    if (auto* menu = qobject_cast<QMenu*>(component))
        menu->setTitle(text);
    else if (auto* action = qobject_cast<QAction*>(component))
        action->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(component))
        group->setTitle(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(component))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(component))
        label->setText(text);
}

// A text that names one of two things in either language keeps naming the same thing: shows
// `first` in the old language, so it gets `first` in the new one, else `second`.
QString keepMeaning(const QString& shown, const ItemPair& first, const ItemPair& second, bool english)
{
    return shown == pick(first, !english) ? pick(first, english) : pick(second, english);
}

// The instrument's range or step as the identification showed it, with the new unit word.
QString withOhmUnit(const QString& shown, bool english)
{
    if (shown == QStringLiteral("--"))
        return shown;
    const int blank = shown.indexOf(QLatin1Char(' '));
    return (blank < 0 ? shown : shown.left(blank)).left(100) + (english ? " Ohm" : " Ом");
}

// The texts that follow the window's state rather than a table.
void applyStateTexts(TForm1& w, bool english, bool listRun, bool rangeRun)
{
    Ui::TForm1* ui = w.ui;
    ui->Label2->setText(
        keepMeaning(ui->Label2->text(), {"История ввода", "Entered values"}, {"Массив", "Array"}, english));
    ui->ConnectionButton->setText(keepMeaning(ui->ConnectionButton->text(), {"Подключение", "Connect"},
                                              {"Отключение", "Disconnect"}, english));

    const bool timed = ui->AutoInp->isChecked();
    const QString enter = pick(timed ? ItemPair{"Старт", "Start"} : ItemPair{"Ввод", "Enter"}, english);
    if (!listRun)
        ui->ProfileInpButtonEnter->setText(enter);
    if (!rangeRun) {
        ui->IncrInpButtonEnter->setText(enter);
        ui->IncrInpButtonPause->setText(
            pick(timed ? ItemPair{"Пауза", "Pause"} : ItemPair{"Прервать", "Stop"}, english));
    }

    const std::array<QAction*, valuelimits::OutputModeCount> modes = {
        ui->funcDefaultx2, ui->funcDefaultx4, ui->funcCorrectionx2, ui->funcCorrectionx4};
    for (int k = 0; k < valuelimits::OutputModeCount; ++k)
        if (modes[k]->isChecked())
            ui->modeLabel->setText(
                pick({valuelimits::kOutputModes[k].labelRu, valuelimits::kOutputModes[k].labelEn}, english));

    const ItemPair userStep{"Пол", "User"};
    if (ui->Digit->text() == pick(userStep, !english))
        ui->Digit->setText(pick(userStep, english));

    ui->rangeLabel->setText(withOhmUnit(ui->rangeLabel->text(), english));
    ui->stepLabel->setText(withOhmUnit(ui->stepLabel->text(), english));
    const QString year = ui->yearLabel->text();
    if (!year.isEmpty())
        ui->yearLabel->setText(year.left(4) + (english ? "" : " г."));

    w.RecaptionSkinMenu();
}

// The unit boxes and the captions that name the unit: Ω, kΩ or MΩ after the unit box, or °C.
void applyUnitTexts(TForm1& w, bool english)
{
    Ui::TForm1* ui = w.ui;
    const std::array<QComboBox*, 3> boxes = {ui->ChooseOhm, ui->ChooseOhm1, ui->ChooseOhm2};
    int u = ui->ChooseOhm->currentIndex();
    if (u < 0 || u >= valuelimits::UnitCount)
        u = 0;
    const valuelimits::UnitCaptions& c = valuelimits::unitCaptions(u);
    const bool ohms = ui->Ohm->isChecked();
    const QString unit = ohms ? pick({c.unitRu, c.unitEn}, english) : QStringLiteral("T, °C:");
    // A caption fits every unit of the language, also one chosen later; it grows to the right,
    // where the value edits leave room.
    for (QLabel* label : {ui->Label9, ui->ProfilePhysVal, ui->IncPhysVal}) {
        int width = label->width();
        for (int k = 0; k < valuelimits::UnitCount; ++k) {
            const valuelimits::UnitCaptions& other = valuelimits::unitCaptions(k);
            label->setText(pick({other.unitRu, other.unitEn}, english));
            width = std::max(width, label->sizeHint().width());
        }
        label->setText(unit);
        label->resize(width, label->height());
    }
    ui->Label6->setText(ohms ? pick({c.stepRu, c.stepEn}, english)
                             : pick({"Шаг, °C:", "Step, °C:"}, english));

    // Renaming the items keeps each box's selection, so no selection handler runs.
    for (QComboBox* box : boxes) {
        for (int i = 0; i < box->count() && i < valuelimits::UnitCount; ++i)
            box->setItemText(i, pick(kUnitItems[i], english));
        if (box->isEditable())
            box->setEditText(pick(kUnitItems[u], english));
        // An open box covers its caption up to the value edit: it grows to the left, over its
        // up-down button, which is hidden while the box is open.
        const int width = std::max(box->width(), box->sizeHint().width());
        box->setGeometry(box->geometry().right() + 1 - width, box->y(), width, box->height());
    }
}

} // namespace

void TForm1::EnglishClick()
{
    SetLanguage(QStringLiteral("English"));
}

void TForm1::RussianClick()
{
    SetLanguage(QStringLiteral("Russian"));
}

void TForm1::SetLanguage(const QString& language)
{
    bool english;
    if (language == QStringLiteral("English") && ui->Russian->isChecked())
        english = true;
    else if (language == QStringLiteral("Russian") && ui->English->isChecked())
        english = false;
    else
        return; // the language in force, or no language at all

    checkRadioItem(english ? ui->English : ui->Russian);
    qtLanguage->setRussian(!english); // the file dialogs and their questions follow

    // A running timed run's buttons read "Стоп", "Пауза" or "Продолжить" in both languages, and
    // their handlers tell start from stop and pause from resume by these captions: they stay.
    const bool listRun = autoRun && ui->InpType->currentIndex() == 0;
    const bool rangeRun = autoRun && !listRun;

    for (const TextPair& t : kTexts) {
        QObject* component = findChild<QObject*>(QLatin1String(t.component));
        if (!component || (listRun && component == ui->ProfileInpButtonPause))
            continue;
        const QString text = QString::fromUtf8(english ? t.english : t.russian);
        if (t.prop == Prop::Hint) {
            if (auto* widget = qobject_cast<QWidget*>(component))
                widget->setToolTip(text);
        } else {
            setCaption(component, text);
        }
    }
    applyStateTexts(*this, english, listRun, rangeRun);

    // The items of the input type; the box keeps its selection. While timed it holds two.
    for (int i = 0; i < ui->InpType->count() && i < int(std::size(kInpTypeItems)); ++i)
        ui->InpType->setItemText(i, pick(kInpTypeItems[i], english));

    applyUnitTexts(*this, english);

    // The second column of the instrument information needs more room for the English captions.
    ui->Label18->move(ui->Label24->x() + (english ? 200 : 130), ui->Label18->y());
    ui->Label21->move(ui->Label18->x(), ui->Label21->y());
    PlaceValueLabels();
    // The values of the first column end before the second column, which the long English
    // captions of the first column bring closer.
    for (const auto& [value, next] :
         {std::pair{ui->stepLabel, ui->Label18}, std::pair{ui->firmwareLabel, ui->Label21}})
        value->resize(next->x() - ColumnGap - value->x(), value->height());

    ui->MainMenu->update();
}
