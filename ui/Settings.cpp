// settings.ini: read when the main window is created and applied through the handlers the
// operator's own actions run, written when the window closes. A value that is not a number,
// or outside what its control can show, reads as the key's default.
#include "ui/Settings.h"

#include "instrument/ProfileProcessor.h"
#include "instrument/ValueLimitTables.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"
#include "ui/Skins.h"
#include "ui/WindowPlace.h"
#include "ui/main.h"
#include "ui_TForm1.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <algorithm>
#include <array>

namespace settingsfile
{

namespace
{

QString& programDirOverride()
{
    static QString dir;
    return dir;
}

QString& fallbackDirOverride()
{
    static QString dir;
    return dir;
}

const QString FileName = QStringLiteral("settings.ini");

// The folder takes a new file and an earlier file there can be replaced. Tried, not judged
// from permission bits, so that it holds for whoever runs the program.
bool programFolderWritable()
{
    const QDir dir(programDirectory());
    if (!dir.exists())
        return false;
    QTemporaryFile probe(dir.filePath(QStringLiteral("settings.XXXXXX")));
    if (!probe.open())
        return false;
    QFile existing(programPath());
    return !existing.exists() || existing.open(QIODevice::ReadWrite | QIODevice::ExistingOnly);
}

} // namespace

QString programDirectory()
{
    return programDirOverride().isEmpty() ? QCoreApplication::applicationDirPath() : programDirOverride();
}

void setProgramDirectory(const QString& dir)
{
    programDirOverride() = dir;
}

QString fallbackDirectory()
{
    return fallbackDirOverride().isEmpty()
               ? QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
               : fallbackDirOverride();
}

void setFallbackDirectory(const QString& dir)
{
    fallbackDirOverride() = dir;
}

QString programPath()
{
    return QDir(programDirectory()).filePath(FileName);
}

QString fallbackPath()
{
    return QDir(fallbackDirectory()).filePath(FileName);
}

QString readPath()
{
    const bool beside = QFile::exists(programPath());
    // While the program's folder takes the file, the configuration folder is not looked at:
    // a copy of the program in a folder of its own starts with its own settings.
    if (programFolderWritable())
        return beside ? programPath() : QString();
    if (QFile::exists(fallbackPath()))
        return fallbackPath();
    return beside ? programPath() : QString();
}

} // namespace settingsfile

namespace
{

// Sections and keys, spelled as the file has always spelled them.
const QString Position = QStringLiteral("POSITION");
const QString Settings = QStringLiteral("SETTINGS");
const QString Skin = QStringLiteral("SKIN");
const QString Device = QStringLiteral("DEVICE");
const QString Input = QStringLiteral("INPUT");
const QString AutoInp = QStringLiteral("AUTOINP");
const QString Language = QStringLiteral("Language");

const QString KeyX = QStringLiteral("x");
const QString KeyY = QStringLiteral("y");
const QString KeyUnit = QStringLiteral("physicalValueDegree");
const QString KeyUnitCaption = QStringLiteral("physicalValueDegreeCap");
const QString KeyPolling = QStringLiteral("Request condition");
const QString KeySkin = QStringLiteral("number");
const QString KeyDevType = QStringLiteral("devType");
const QString KeyDevNum = QStringLiteral("devNum");
const QString KeyOhm = QStringLiteral("physicalValue");
const QString KeyRtd = QStringLiteral("temperatureDetector");
const QString KeyRt0 = QStringLiteral("Rt0");
const QString KeyInpMode = QStringLiteral("inpMode");
const QString KeyInpType = QStringLiteral("inpType");
const QString KeyPeriod = QStringLiteral("time");
const QString KeyRangeStart = QStringLiteral("autoBegin");
const QString KeyRangeEnd = QStringLiteral("autoEnd");
const QString KeyRangeStep = QStringLiteral("autoStep");
const QString KeyWorkMode = QStringLiteral("workMode");
const QString KeyDisplay = QStringLiteral("display");
const QString KeyRussian = QStringLiteral("Russian");

constexpr int DefaultLeft = 200;
constexpr int DefaultTop = 200;
constexpr int MinAddress = 1; // the range of UpDown1 beside devNum
constexpr int MaxAddress = 9;
constexpr int InputTypeCount = 3;
constexpr int DisplayCount = 8;
// No desktop reaches this far; beyond it the window's edges would overflow int.
constexpr int MaxCoordinate = 1 << 20;

using Handler = void (TForm1::*)();

constexpr std::array<Handler, valuelimits::OutputModeCount> OutputModeHandlers = {
    &TForm1::funcDefaultx2Click, &TForm1::funcDefaultx4Click, &TForm1::funcCorrectionx2Click,
    &TForm1::funcCorrectionx4Click};
constexpr std::array<Handler, DisplayCount> DisplayHandlers = {
    &TForm1::N11Click, &TForm1::N21Click, &TForm1::N31Click, &TForm1::R1Click,
    &TForm1::N13Click, &TForm1::N14Click, &TForm1::N17Click, &TForm1::N10Click};
constexpr std::array<Handler, valuelimits::R0Count> R0Handlers = {
    &TForm1::N01Click, &TForm1::N501Click, &TForm1::N1001Click, &TForm1::N1002Click, &TForm1::N10001Click};

std::array<QAction*, valuelimits::OutputModeCount> outputModeItems(const Ui::TForm1* ui)
{
    return {ui->funcDefaultx2, ui->funcDefaultx4, ui->funcCorrectionx2, ui->funcCorrectionx4};
}

std::array<QAction*, DisplayCount> displayItems(const Ui::TForm1* ui)
{
    return {ui->N11, ui->N21, ui->N31, ui->R1, ui->N13, ui->N14, ui->N17, ui->N10};
}

std::array<QAction*, 4> rtdItems(const Ui::TForm1* ui)
{
    return {ui->platinum391, ui->platinum385, ui->copper428, ui->nickel617};
}

std::array<QAction*, valuelimits::R0Count> r0Items(const Ui::TForm1* ui)
{
    return {ui->N01, ui->N501, ui->N1001, ui->N1002, ui->N10001};
}

std::array<QComboBox*, 3> unitBoxes(const Ui::TForm1* ui)
{
    return {ui->ChooseOhm, ui->ChooseOhm1, ui->ChooseOhm2};
}

// Index of the checked item, -1 when none is checked.
template <std::size_t N> int checkedIndex(const std::array<QAction*, N>& items)
{
    for (std::size_t k = 0; k < N; ++k)
        if (items[k]->isChecked())
            return static_cast<int>(k);
    return -1;
}

int readInRange(const IniFile& ini, const QString& section, const QString& key, int fallback, int lo, int hi)
{
    const int v = ini.readInteger(section, key, fallback);
    return v >= lo && v <= hi ? v : fallback;
}

int readR0(const IniFile& ini)
{
    const int v = ini.readInteger(Settings, KeyRt0, valuelimits::kR0Values[2]);
    const auto* end = std::end(valuelimits::kR0Values);
    return std::find(std::begin(valuelimits::kR0Values), end, v) != end ? v : valuelimits::kR0Values[2];
}

// The unit box's caption as either language shows it, without the labels' colon.
QString unitBoxCaption(int unit, bool russian)
{
    const valuelimits::UnitCaptions& c = valuelimits::unitCaptions(unit);
    QString text = QString::fromUtf8(russian ? c.unitRu : c.unitEn);
    if (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text;
}

// The stored caption when it names the stored unit in one of the two languages; otherwise the
// box shows its own item.
QString readUnitCaption(const IniFile& ini, int unit)
{
    const QString stored = ini.readString(Settings, KeyUnitCaption, unitBoxCaption(0, true));
    return stored == unitBoxCaption(unit, true) || stored == unitBoxCaption(unit, false)
               ? stored
               : unitBoxCaption(unit, true);
}

// What the period edit can hold: empty or 1 to 9999 seconds without a leading zero.
QString readPeriod(const IniFile& ini)
{
    static const QRegularExpression period(QStringLiteral("\\A(?:[1-9][0-9]{0,3})?\\z"));
    const QString text = ini.readString(Input, KeyPeriod, QString());
    return period.match(text).hasMatch() ? text : QString();
}

// A range edit holds a number with the decimal comma, or nothing.
QString readRangeText(const IniFile& ini, const QString& key)
{
    const QString text = ini.readString(AutoInp, key, QString());
    double v = 0;
    return text.isEmpty() || numtext::tryStrToFloat(text, v) ? text : QString();
}

// A shown text other than the items' (the caption of the other language) goes into the
// edit of an editable box, or stands in for the current item until the items are set anew.
void showUnitCaption(QComboBox* box, const QString& caption)
{
    if (box->isEditable())
        box->setEditText(caption);
    else if (box->currentIndex() >= 0 && box->currentText() != caption)
        box->setItemText(box->currentIndex(), caption);
}

void setUnitBoxes(Ui::TForm1* ui, int unit, const QString& caption)
{
    for (QComboBox* box : unitBoxes(ui)) {
        box->setCurrentIndex(unit);
        showUnitCaption(box, caption);
    }
}

void applyFile(TForm1& w, const IniFile& ini)
{
    Ui::TForm1* ui = w.ui;

    // Wholly on the screen under the stored top left, else on the primary one (a screen that
    // is gone): moved no further than needed, and once more when the frame is known.
    placeOnScreen(w, QPoint(readInRange(ini, Position, KeyX, DefaultLeft, -MaxCoordinate, MaxCoordinate),
                            readInRange(ini, Position, KeyY, DefaultTop, -MaxCoordinate, MaxCoordinate)));

    const int unit = readInRange(ini, Settings, KeyUnit, 0, 0, valuelimits::UnitCount - 1);
    setUnitBoxes(ui, unit, readUnitCaption(ini, unit));

    if (ini.readBool(Settings, KeyPolling, true))
        w.RequestEnabledClick();
    else
        w.RequestDisabledClick();

    // A number that names no skin (one of a later program) is kept as it stands: the skin menu
    // checks no item, and the key is written back unchanged.
    w.skinNumber = ini.readInteger(Skin, KeySkin, -1);

    {
        // The variant is applied further down, once the quantity is known.
        const QSignalBlocker quiet(ui->BoxDevice);
        ui->BoxDevice->setCurrentIndex(
            readInRange(ini, Device, KeyDevType, 0, 0, valuelimits::VariantCount - 1));
    }
    ui->devNum->setText(
        QString::number(readInRange(ini, Device, KeyDevNum, MinAddress, MinAddress, MaxAddress)));

    ui->Ohm->setChecked(ini.readBool(Settings, KeyOhm, true));

    w.rtdType = readInRange(ini, Settings, KeyRtd, 0, 0, static_cast<int>(rtdItems(ui).size()) - 1);
    TForm1::checkRadioItem(rtdItems(ui)[w.rtdType]);

    const int r0 = readR0(ini);
    w.processor->Rt0 = r0;
    const auto* r0Pos = std::find(std::begin(valuelimits::kR0Values), std::end(valuelimits::kR0Values), r0);
    const auto r0Index = static_cast<std::size_t>(r0Pos - std::begin(valuelimits::kR0Values));
    r0Items(ui)[r0Index]->setChecked(false); // so that its handler sets the limits again
    (w.*R0Handlers[r0Index])();

    const bool ohm = ui->Ohm->isChecked();
    w.OhmClick(&w);
    if (!ohm)
        w.CelsiumClick(&w);

    w.BoxDeviceChange();

    const bool timed = ini.readInteger(Input, KeyInpMode, 1) != 0;
    const int inputType = readInRange(ini, Input, KeyInpType, 0, 0, InputTypeCount - 1);
    ui->EditAuto->setText(readPeriod(ini));
    ui->IncInpEditStart->setText(readRangeText(ini, KeyRangeStart));
    ui->IncInpEditEnd->setText(readRangeText(ini, KeyRangeEnd));
    ui->IncInpEditStep->setText(readRangeText(ini, KeyRangeStep));

    {
        const QSignalBlocker quiet(ui->InpType);
        ui->InpType->setCurrentIndex(inputType);
    }
    ui->ManualInp->setChecked(!timed);
    ui->AutoInp->setChecked(timed);
    w.InpTypeChange();
    w.RadioWorkModeClick();

    (w.*OutputModeHandlers[readInRange(ini, Device, KeyWorkMode, 0, 0, valuelimits::OutputModeCount - 1)])();
    (w.*DisplayHandlers[readInRange(ini, Device, KeyDisplay, 0, 0, DisplayCount - 1)])();

    w.SetLanguage(ini.readBool(Language, KeyRussian, true) ? QStringLiteral("Russian")
                                                           : QStringLiteral("English"));
}

// Index of the checked skin item: the number after the "s" of its name; -1 when none is checked.
int checkedSkin(const Ui::TForm1* ui)
{
    static const QRegularExpression name(QStringLiteral("\\As([0-9]+)\\z"));
    for (const QAction* item : ui->skinMenu->actions()) {
        const QRegularExpressionMatch m = name.match(item->objectName());
        if (item->isChecked() && m.hasMatch())
            return m.captured(1).toInt();
    }
    return -1;
}

void writeAll(const TForm1& w, IniFile& ini)
{
    const Ui::TForm1* ui = w.ui;

    ini.writeInteger(Position, KeyX, w.x());
    ini.writeInteger(Position, KeyY, w.y());

    const int skin = checkedSkin(ui);
    if (skin >= 0)
        ini.writeInteger(Skin, KeySkin, skin);

    ini.writeInteger(Device, KeyDevType, ui->BoxDevice->currentIndex());
    ini.writeString(Device, KeyDevNum, ui->devNum->text());

    ini.writeBool(Settings, KeyPolling, ui->RequestEnabled->isChecked());
    ini.writeBool(Settings, KeyOhm, ui->Ohm->isChecked());
    ini.writeInteger(Settings, KeyUnit, ui->ChooseOhm->currentIndex());
    ini.writeString(Settings, KeyUnitCaption, ui->ChooseOhm->currentText());
    ini.writeInteger(Settings, KeyRtd, w.rtdType);
    ini.writeInteger(Settings, KeyRt0, w.processor->Rt0);

    ini.writeInteger(Input, KeyInpMode, ui->AutoInp->isChecked() ? 1 : 0);
    ini.writeInteger(Input, KeyInpType, ui->InpType->currentIndex());
    ini.writeString(Input, KeyPeriod, ui->EditAuto->text());

    ini.writeString(AutoInp, KeyRangeStart, ui->IncInpEditStart->text());
    ini.writeString(AutoInp, KeyRangeEnd, ui->IncInpEditEnd->text());
    ini.writeString(AutoInp, KeyRangeStep, ui->IncInpEditStep->text());

    // With no item checked the earlier value stays, as for the skin.
    if (const int mode = checkedIndex(outputModeItems(ui)); mode >= 0)
        ini.writeInteger(Device, KeyWorkMode, mode);
    if (const int display = checkedIndex(displayItems(ui)); display >= 0)
        ini.writeInteger(Device, KeyDisplay, display);

    ini.writeBool(Language, KeyRussian, ui->Russian->isChecked());
}

} // namespace

void TForm1::LoadSettings()
{
    const QString path = settingsfile::readPath();
    if (path.isEmpty()) {
        // A first start: the layout's position, unit and language, and its defaults applied
        // through their handlers so that the model has a variant from the start.
        placeOnScreen(*this, QPoint(DefaultLeft, DefaultTop)); // a small screen moves it
        setUnitBoxes(ui, 0, unitBoxCaption(0, true));
        skinNumber = -1;
        ApplyLayoutDefaults();
        SetLanguage(QStringLiteral("Russian"));
        return;
    }
    IniFile ini;
    ini.load(path); // an unreadable file reads as one without keys: every key its default
    applyFile(*this, ini);
}

void TForm1::SaveSettings()
{
    // Keys this window does not write (a skin when none is checked, foreign lines) stay as
    // the file had them.
    IniFile ini;
    const QString source = settingsfile::readPath();
    if (!source.isEmpty())
        ini.load(source);
    writeAll(*this, ini);
    if (ini.save(settingsfile::programPath()))
        return;
    // The program's folder cannot take the file: the user's configuration folder keeps it.
    QDir().mkpath(settingsfile::fallbackDirectory());
    ini.save(settingsfile::fallbackPath());
}
