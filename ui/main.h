#pragma once
// The main window: the operator's whole workplace, and the owner of the link state.
// Its members are defined in several files: ui/ for the operator window, ui/link/ for the
// connection, the answer handler and the register chains. Moving bytes over the serial line
// is the transport's (instrument/Transport.h), which the window drives and listens to.

#include "instrument/LineOwner.h"
#include "instrument/Transport.h"
#include "instrument/ValueListFile.h"
#include "platform/ComPort.h"
#include "platform/UpDown.h"
#include "ui/History.h"

#include <QByteArray>
#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class MemoLines;
class ProfileProcessor;
class QAction;
class QLineEdit;
class QListWidget;
class QTimer;
class QKeyEvent;
class QtLanguage;
class QWheelEvent;
class SkinManager;
class TForm3;

namespace Ui
{
class TForm1;
}

class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    Ui::TForm1* ui;                       // every component of the layout, by its name
    MemoLines* InfoLines;                 // line access to the event log `Info`
    ComPort* comPort = new ComPort(this); // objectName "ComPort"
    // The serial line, one request at a time; its two timers under the names the link uses.
    Transport* transport = new Transport(comPort, this);
    QTimer* ModbusTimer = transport->silenceTimer();            // 17 ms of silence ends an answer
    QTimer* TimerConnectionTimeout = transport->timeoutTimer(); // 500 ms without an answer
    // Which chain holds the line; operator actions wait for a poll or are refused.
    LineOwner* line = new LineOwner(transport, this);

    QTimer* RequestTimer;   // status polling, 4000 ms at start
    QTimer* Timer;          // run timer of timed ranges and lists
    QTimer* TimerCountdown; // 1 s countdown of a timed run

    SkinManager* sSkinManager1; // the active skin of the application; owned
    QtLanguage* qtLanguage;     // Qt's own texts in the window's language; owned

    // ---- members with their initial values ----
    ProfileProcessor* processor; // the one model object of the run; owned
    int prevDeviceIndex = -1;    // variant index recorded when the variant list opens
    int valueListIndex = -1;     // next entry of a value-list run
    bool restorePeriod = false;  // restore the run period when the countdown ends
    bool paused = false;         // a timed run is paused
    bool dontShowDeviceWarning = false;
    QString userStepText; // the operator's own step for decade stepping
    bool verificationOpen = false;
    bool connected = false;                    // an instrument answered the identification
    bool linkDown = false;                     // a link failure's box is open: nothing is sent
    bool profTransfer = false;                 // a profile read or write is running
    bool setPending = false;                   // a set chain waits to write the value
    bool inputAllowed = true;                  // single-value input may be used (wheel)
    int rtdType = 0;                           // thermometer type 0..3
    int profRow = 0, profCol = 0, profReg = 0; // cursor of a profile transfer
    int logIndex = 0;                          // insert index of the next event-log line
    bool protocolDone = true;                  // no periodic protocol waits for a profile read
    QListWidget* curHistoryList = nullptr;     // history list box in use
    TForm3* profileForm = nullptr;

    // ---- state shared by the link and the operator window ----
    QString lastValue = QStringLiteral("0,000");
    QByteArray displayLetter = "A"; // display selection letter 'A'..'H'
    HistoryTable history;
    QString historyEntry; // the list entry of the set under way; "--" for a change on the panel
    QString trueValText, otklonOmText, otklonPercentText, otklonPercentCText, iMaxText, uMaxText,
        decadeStepsText;
    double setValueOhm = 0, setValueCelsius = 0, trueValCelsius = 0, otklonCelsius = 0;
    static constexpr int FrameSize = Transport::FrameSize;
    // The transport's buffers and counters under the names the link uses.
    std::uint8_t (&txFrame)[FrameSize] = transport->txFrame;
    std::uint8_t (&rxFrame)[FrameSize] = transport->rxFrame;
    std::uint8_t (&rxChunk)[FrameSize] = transport->rxChunk;
    int& txLength = transport->txLength;
    int& rxCount = transport->rxCount;
    int& errorCount = transport->errorCount;
    std::uint8_t answerText[FrameSize] = {};
    std::uint8_t pendingValue[FrameSize] = {}; // NUL-terminated CP1251 text, at most 25 bytes
    int portNumber = 0;
    bool autoRun = false;         // a timed range or list run is active
    std::uint8_t statusFlags = 0; // changes on the instrument still to be handled (bits 1, 2, 4, 5)
    bool needTrueVal = false;     // the read-out chain reads Rвос
    int skinNumber = -1;          // skin index read from settings.ini, -1: the active skin stays

    // ---- lifecycle (ui/main.cpp) ----
    void FormCreate();
    void FormClose();
    void LoadSettings(); // settings.ini (ui/Settings.cpp), applied through the handlers
    // A first start without settings.ini: the layout's defaults (RD5540-1, Ω, 2-wire
    // uncompensated, Rвос on the display, single values) applied through their handlers.
    void ApplyLayoutDefaults();
    // Puts each value label right after its caption label (the identification, mode and
    // countdown captions sized to their text first); run again after captions change.
    void PlaceValueLabels();
    void SaveSettings();  // settings.ini beside the program, else in the user's configuration folder
    void FitClientArea(); // fixed frame: the 738 x 736 client area below the menu bar
    // ---- skins (ui/Skins.cpp) and the About box (ui/about.cpp) ----
    void BuildSkinMenu();                // one radio item per stored skin; applies skinNumber
    void SkinMenuClick(QObject* sender); // the clicked skin item: its skin becomes the active one
    void RecaptionSkinMenu();            // the items' captions in the window's language
    void J1Click();                      // the About box, modal
    // Runs the handler on a click of the item; a checkable item keeps its state from before
    // the click, which the handler reads and sets itself.
    void connectMenuItem(QAction* item, std::function<void()> handler);
    void WheelStep(QWheelEvent* event);
    // A status poll holds the single-value input (read-only until its answer). What the
    // operator does to it meanwhile, and whatever the operator does to the value entry while
    // anything done before still waits for the line, waits in the line's queue and runs in its
    // turn, in the order it was done: the result is that of the same steps on a free line. A
    // disconnect drops it.
    bool pollHoldsInput() const;
    // Whether input to this value edit, or (nullptr) another input of the value entry, waits.
    bool inputWaits(const QWidget* edit = nullptr) const;
    // Runs input now, or in its turn when input waits.
    void InOrder(std::function<void()> input);
    // Keeps a copy of an operator's event to a value edit, delivered again in its turn.
    void HoldEvent(QWidget* edit, const QEvent* event);
    // Log helpers: insert at logIndex and advance it, or insert at a fixed line.
    void LogLine(const QString& text);
    void LogAt(int index, const QString& text);
    bool isRussian() const;                                      // the `Russian` menu item is checked
    QString tr2(const char* russian, const char* english) const; // text in the window's language
    void SetProfileControlsEnabled(bool enabled);
    // The controls that would start a chain, locked while one of the operator's holds the
    // line (the whole value input during identification and profile transfers); the profile
    // controls and their menu as SetProfileControlsEnabled and the timed runs want them
    // otherwise.
    void ApplyLineLock();
    bool profileControlsWanted = false; // as SetProfileControlsEnabled last set them
    bool runMenusWanted = true;         // false while a timed run locks `Mfprof`
    // Checks a radio menu item and clears the other items of its menu.
    static void checkRadioItem(QAction* item);

    // ---- language (ui/Language.cpp) ----
    // "English" or "Russian": rewrites the window's texts when the other language is in force;
    // any other call does nothing.
    void SetLanguage(const QString& language);
    void EnglishClick();
    void RussianClick();

    // ---- serial link (ui/link/LinkTransport.cpp) ----
    // Builds txFrame/txLength; returns false (with a log line) when the address is not a number
    // or the text does not fit, in which case nothing is sent.
    bool BuildFrame(std::uint8_t function, std::uint16_t reg, const QByteArray& text);
    void SendFrame(std::uint8_t function, std::uint16_t reg, const QByteArray& text = {});
    void ResendOrFail();
    void ComPortTriggerAvail(int count);
    void ModbusTimerTimer();
    void TimerConnectionTimeoutTimer();
    void LinkFailed();
    bool requestOnLine() const; // either link timer is running
    // For an operator action that needs the line: false on a free line (go on). Otherwise
    // true (return now): retry runs once a poll on the line has ended, or the action is
    // refused with a beep while another chain holds the line.
    bool WaitForLine(std::function<void()> retry);

    // ---- answer dispatch (ui/link/LinkDispatch.cpp) ----
    void HandleAnswer();
    void ReleaseInput();
    void HandleProfileAnswer(std::uint8_t function, std::uint16_t reg, const QString& text);

    // ---- connection (ui/link/LinkConnection.cpp) ----
    void ConnectionButtonClick();
    void ScanPorts();
    void Disconnect();

    // ---- set-value and read-out chains (ui/link/LinkSetChain.cpp) ----
    void onDisplayAnswer(bool isWrite, const QString& text);
    void onOutputModeAnswer(bool isWrite, const QString& text);
    void onSetValueAnswer(bool isWrite, const QString& text);
    void onCommandAnswer(const QString& text);
    void onReadyAnswer(const QString& text);
    void onReadoutAnswer(std::uint16_t reg, const QString& text);
    void readNextReadout(std::uint16_t after); // 0: from the top of the read-out order

    // ---- profile commands (ui/ProfileCommands.cpp) ----
    void ButtonFProfileOpenClick();
    void ButtonFprofileCloseClick();
    void ButtonFProfileCreateClick(); // modeless, owned by this window
    void ButtonFProfileEditClick();   // modal, filled from the held profile
    void CalibrationClick();          // modal verification window

    // ---- profile transfer (ui/link/LinkProfile.cpp) ----
    void ButtonFProfileGetClick();  // read 40001..40065 into the model
    void ButtonFProfileSendClick(); // write the model's profile, then store it with "B"
    void onProfileStored();         // the "B" acknowledgement ends a write
    // After a complete read: the periodic protocol that waits for it, if its window is open.
    void RunWaitingProtocol();
    // A read is collected here and handed to the model only once all 65 registers came.
    struct ProfileStage {
        double R02 = -1.0, R04 = -1.0;
        std::vector<std::vector<double>> cells; // as ProfileProcessor::profile
    } profStage;

    // ---- input modes, range runs, value lists (ui/InputModes.cpp, ui/RangeRun.cpp,
    //      ui/ValueList.cpp) ----
    // Milliseconds that one second of a run period and of its countdown lasts. Only tests
    // change it, to run timed runs quickly.
    static inline int runSecondMs = 1000;
    double rangeStart = 0, rangeEnd = 0, rangeStep = 0;     // in rangeUnit; the step is signed
    double nextRangeValue = 0;                              // what the next range step sends
    int rangeUnit = 0;                                      // ChooseOhm index the range was checked in
    int listInCelsius = 0;                                  // 1: the loaded list is in °C
    int listRtdType = 0, listRt0 = 0;                       // thermometer of a °C list
    // The encoding of the file the list in InfoValsProf was read from (the editor writes a
    // changed list in it); code page 1251 for a list made in the editor.
    valuelist::Encoding listEncoding = valuelist::Encoding::Cp1251;
    void (TForm1::*runTimerHandler)() = &TForm1::TimerIncr; // OnTimer of `Timer`, by input type

    void WireRunControls(); // connects the input-mode, range and list controls (constructor)
    void RadioWorkModeClick();
    // The enter captions of the range and the list and the range's pause caption for the
    // selected input mode, in the window's language.
    void SetRunButtonCaptions();
    void InpTypeChange();
    void SelectHistoryList();
    void EditAutoKeyPress(QChar& key);
    bool CheckRangeParams();
    void IncrInpButtonEnterClick(); // manual step, or start/stop of a timed range run
    void RangeManualStep();
    void RangeTimedToggle();
    void IncrInpButtonPauseClick(QObject* sender); // range or list pause button
    void TimerIncr();
    void TimerCountdownTimer();
    // What every end of a timed run undoes: timers, run flags, locked menus and controls.
    // The countdown may be left to run out by itself.
    void EndTimedRun(bool stopCountdown = true);
    void AbortManualRange();      // ends a manual range run without sending
    void ShowNextRangeValue(); // a run's next value again, in the unit shown now

    void ProfileInpButtonOpenClick();
    void LoadValueList();              // reads processor->profPath into InfoValsProf
    void ProfileInpButtonEnterClick(); // one manual send, or start/stop of a timed list run
    void TimerProfile();
    void InfoClick();
    void InfoValsClick();
    void InfoValsProfKeyPress(QChar key);
    void ButtonCleanInfoValsClick();
    void ButtonCleanInfoClick();

    // ---- value-list editor (ui/ProfileEdit.cpp) ----
    void ProfileInpButtonCreateClick(); // a new list in the editor, modal
    void ProfileInpButtonChangeClick(); // the list of InfoValsProf in the editor, modal

    // ---- status polling (ui/link/LinkPolling.cpp) ----
    void RequestTimerTimer();
    void onStatusAnswer(bool isWrite);           // 40087: bits read, or the clear acknowledged
    void onDeviceValueRead(const QString& text); // 40073 read after a change on the panel
    // ---- value changed on the instrument (ui/DeviceValue.cpp) ----
    void ShowDeviceValue(const QString& value); // value: the 40073 text, ohms
    int checkedRtdItem() const;                 // thermometer type of the checked menu item, -1 if none

    // ---- variant, units, limits (ui/ValueLimits.cpp) ----
    void ApplyDeviceType();
    void ApplyRtdType();
    void UpdateValueLimits();
    void UpdateTemperatureLimits();
    void OhmClick(QObject* sender);
    void CelsiumClick(QObject* sender);
    void BoxDeviceClick();
    void BoxDeviceChange();
    void ChooseOhmVisDblClick();
    void ChooseOhmCloseUp();
    void ChooseOhmSelect(QObject* sender);
    void ChooseOhmUpDownClick(QObject* sender, UpDown::Button button);
    void ResetValueLabels();
    int variantIndex() const; // BoxDevice item index, -1 without a selection
    int unitIndex() const;    // ChooseOhm item index: 0 Ω, 1 kΩ, 2 MΩ
    bool celsiusMode() const; // `Celsium` checked

    // ---- option menus (ui/OptionMenus.cpp) ----
    void funcDefaultx2Click();
    void funcDefaultx4Click();
    void funcCorrectionx2Click();
    void funcCorrectionx4Click();
    void N11Click();
    void N21Click();
    void N31Click();
    void R1Click();
    void N13Click();
    void N14Click();
    void N17Click();
    void N10Click();
    void platinum391Click();
    void platinum385Click();
    void copper428Click();
    void nickel617Click();
    void N01Click();
    void N501Click();
    void N1001Click();
    void N1002Click();
    void N10001Click();
    void RequestEnabledClick();
    void RequestDisabledClick();
    QByteArray outputModeLetter() const; // letter of the checked output-mode item, empty if none
    void WriteOption(std::uint16_t reg, const QByteArray& letter); // 40085 or 40078, when connected

    // ---- setting a value, read-outs, history (ui/SetValue.cpp, ui/Readouts.cpp) ----
    void SetValueOnDevice(const QString& value);
    void ShowReadouts();
    void LogTimeAndMode();                   // the time and output-mode lines that open a set's group
    bool readoutsNeedTrueValue() const;      // a ticked box needs Rвос read
    void SetCelsiusValue(double celsius);    // setValueCelsius, and setValueOhm to four decimals
    void LogValueLine(const QString& value); // " R: ..." or " T: ... °C (... Ом)" from setValueOhm

    // ---- single-value entry and decade stepping (ui/SingleEntry.cpp) ----
    void EnterOm(QLineEdit* sender, QChar& key);
    void AddZero(QLineEdit* sender);
    void IncInpEditExit(QLineEdit* sender);
    void DelKeys(QLineEdit* sender, int& key, Qt::KeyboardModifiers shift);
    void StandartInpEditKeyDown(int& key, Qt::KeyboardModifiers shift);
    void StandartInpButtonEnterClick();
    void StandartInpButtonDelClick();
    void DigitUpClick();
    void DigitDownClick();
    void Edit1Change();
    void DigitClick();
    void DigitKeyPress(QChar& key);
    void DigitKeyUp();
    static QByteArray ReplaceSelection(const QByteArray& text, int selEnd, int caret, int length, char key);
    static QByteArray AppendKey(const QByteArray& text, char key);

    // ---- saving the history and the event log (ui/SaveHistory.cpp) ----
    void StandartInpButtonSaveAsProfileClick();
    void ButtonSaveInfoClick();
    void SaveHistoryDocument(const QString& path); // the history as a table in a new document
    QString ValueListHeader() const;               // "RD5540-3;w;o", "RD5540-1;w;c;1;100"
    // Writes lines as a text file at path; false, after an error message, when the path is
    // refused or the file cannot be written (an earlier file then stays as it was).
    bool WriteTextFile(const QString& path, const QStringList& lines);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The main window of the run; set when it is created.
extern TForm1* Form1;
