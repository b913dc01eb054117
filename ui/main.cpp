// The main window's life: construction, wiring of the components to their handlers, the
// creation and close handlers, the event routing of keys, focus, mouse and wheel, and the
// small helpers every part of the window uses (log lines, language, radio menu items).

#include "ui/main.h"

#include "instrument/Mydialogs.h"
#include "instrument/ProfileProcessor.h"
#include "platform/ComPort.h"
#include "platform/MemoLines.h"
#include "ui/Application.h"
#include "ui/EditKeys.h"
#include "ui/Skins.h"
#include "ui_TForm1.h"
#include "verification/FProfileEdit.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>
#include <chrono>
#include <memory>
#include <utility>

TForm1* Form1 = nullptr;

namespace
{

using namespace std::chrono_literals;

constexpr auto FirstPollPeriod = 4000ms; // status polling until the poller sets its own period
constexpr auto CountdownStep = 1000ms;   // the countdown of a timed run shows whole seconds

constexpr int ClientWidth = 738; // the client area below the menu bar
constexpr int ClientHeight = 736;
constexpr int LayoutLeft = 200; // position of a first start
constexpr int LayoutTop = 200;

// Windows virtual key codes, as the key-down handlers expect them.
enum VirtualKey : int {
    VkBack = 8,
    VkTab = 9,
    VkReturn = 13,
    VkEscape = 27,
    VkSpace = 32,
    VkPrior = 33,
    VkNext = 34,
    VkEnd = 35,
    VkHome = 36,
    VkLeft = 37,
    VkUp = 38,
    VkRight = 39,
    VkDown = 40,
    VkInsert = 45,
    VkDelete = 46,
    VkNumpad0 = 96,
    VkMultiply = 106,
    VkAdd = 107,
    VkSubtract = 109,
    VkDecimal = 110,
    VkDivide = 111,
    VkF1 = 112,
    VkOemPlus = 187, // the '=' / '+' key of the main block
    VkOemComma = 188,
    VkOemMinus = 189,
    VkOemPeriod = 190,
};

int virtualKey(const QKeyEvent* e)
{
    const int k = e->key();
    const bool keypad = e->modifiers() & Qt::KeypadModifier;
    if (keypad) {
        if (k >= Qt::Key_0 && k <= Qt::Key_9)
            return VkNumpad0 + (k - Qt::Key_0);
        switch (k) {
        case Qt::Key_Plus:
            return VkAdd;
        case Qt::Key_Minus:
            return VkSubtract;
        case Qt::Key_Asterisk:
            return VkMultiply;
        case Qt::Key_Slash:
            return VkDivide;
        case Qt::Key_Period:
        case Qt::Key_Comma:
            return VkDecimal;
        default:
            break;
        }
    }
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return '0' + (k - Qt::Key_0);
    if (k >= Qt::Key_A && k <= Qt::Key_Z)
        return 'A' + (k - Qt::Key_A);
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24)
        return VkF1 + (k - Qt::Key_F1);
    switch (k) {
    case Qt::Key_Backspace:
        return VkBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VkTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VkReturn;
    case Qt::Key_Escape:
        return VkEscape;
    case Qt::Key_Space:
        return VkSpace;
    case Qt::Key_PageUp:
        return VkPrior;
    case Qt::Key_PageDown:
        return VkNext;
    case Qt::Key_End:
        return VkEnd;
    case Qt::Key_Home:
        return VkHome;
    case Qt::Key_Left:
        return VkLeft;
    case Qt::Key_Up:
        return VkUp;
    case Qt::Key_Right:
        return VkRight;
    case Qt::Key_Down:
        return VkDown;
    case Qt::Key_Insert:
        return VkInsert;
    case Qt::Key_Delete:
        return VkDelete;
    case Qt::Key_Equal:
    case Qt::Key_Plus: // Shift with '=' on most layouts
        return VkOemPlus;
    case Qt::Key_Comma:
    case Qt::Key_Less:
        return VkOemComma;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        return VkOemMinus;
    case Qt::Key_Period:
    case Qt::Key_Greater:
        return VkOemPeriod;
    default:
        return 0;
    }
}

// The keys with which the entry field steps its value up or down.
bool isStepKey(int vk, Qt::KeyboardModifiers mods)
{
    return vk == VkAdd || vk == VkSubtract || (vk == VkOemPlus && (mods & Qt::ShiftModifier));
}

using editkeys::typedChar;

// A click on a menu item leaves its checked state to the item's handler: the handler sees
// the state from before the click and checks the item itself.
template <typename Handler> void onMenuItem(TForm1* form, QAction* item, Handler handler)
{
    QObject::connect(item, &QAction::triggered, form, [item, handler](bool checked) {
        if (item->isCheckable()) {
            const QSignalBlocker quiet(item);
            item->setChecked(!checked);
        }
        handler();
    });
}

void setMenuEnabled(QMenu* menu, bool enabled)
{
    menu->setEnabled(enabled);
    menu->menuAction()->setEnabled(enabled);
}

// The value edits whose typing goes through the key filters.
QLineEdit* filteredEdit(const Ui::TForm1* ui, QObject* watched)
{
    for (QLineEdit* e :
         {ui->StandartInpEdit, ui->IncInpEditStart, ui->IncInpEditEnd, ui->IncInpEditStep, ui->Digit})
        if (watched == e)
            return e;
    return nullptr;
}

// Runs a typed character through the edit's key filter, which usually writes the text itself.
// True when the character is to go in at the caret as typed.
bool passesKeyFilter(TForm1& w, QLineEdit* edit, QChar ch)
{
    const QChar typed = ch;
    if (edit == w.ui->Digit)
        w.DigitKeyPress(ch);
    else
        w.EnterOm(edit, ch);
    if (ch.isNull() || ch == QChar(VkReturn))
        return false;
    if (ch == typed)
        return true;
    edit->insert(QString(ch));
    return false;
}

} // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent), ui(new Ui::TForm1)
{
    Form1 = this; // the link and the other windows reach the window through it from the start
    ui->setupUi(this);

    // The 8-bit texts of frames, files and paths are code page 1251. A Windows locale name
    // such as "Russian_Russia.1251" means nothing to the C library on Linux, so no locale is
    // set here: every conversion goes explicitly through iconv (platform/CodePage.h).

    InfoLines = new MemoLines(ui->Info);

    comPort->setObjectName(QStringLiteral("ComPort"));

    auto makeTimer = [this](const char* name, std::chrono::milliseconds interval) {
        auto* t = new QTimer(this);
        t->setObjectName(QString::fromLatin1(name));
        t->setInterval(interval);
        return t;
    };
    RequestTimer = makeTimer("RequestTimer", FirstPollPeriod);
    Timer = makeTimer("Timer", CountdownStep);
    TimerCountdown = makeTimer("TimerCountdown", CountdownStep);

    processor = new ProfileProcessor;
    std::fill(std::begin(answerText), std::end(answerText), 0);

    // Window frame: fixed size, no maximize button, the client area below the menu bar.
    // A top-level Qt main window has its own task-bar entry: no desktop parent or app-window style.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    FitClientArea();
    move(LayoutLeft, LayoutTop);
    // A skin may draw the menu bar taller or lower: the client area keeps its size.
    sSkinManager1 = new SkinManager(this);
    connect(sSkinManager1, &SkinManager::skinApplied, this, &TForm1::FitClientArea);
    // Qt's own dialogs speak the layout's language from the start.
    qtLanguage = new QtLanguage(this);
    qtLanguage->setRussian(true);

    // Up-down buttons: ranges, wrapping and associates.
    ui->UpDown1->setMin(1);
    ui->UpDown1->setMax(9);
    ui->UpDown1->setWrap(true);
    ui->UpDown1->setPosition(1);
    ui->UpDown1->setAssociate(ui->devNum);
    ui->SelectDigit->setMin(-2);
    ui->SelectDigit->setMax(4);
    ui->SelectDigit->setWrap(true);
    ui->SelectDigit->setPosition(0);
    ui->SelectDigit->setAssociate(ui->Edit1);
    for (UpDown* u : {ui->ChooseOhmUpDown, ui->ChooseOhm1UpDown, ui->ChooseOhm2UpDown}) {
        u->setMin(0);
        u->setMax(2);
        u->setWrap(true);
    }

    // Filtered edits take text only through their key filters: no paste or drop around them
    // (the paste keys, the middle button and composed text are handled in eventFilter).
    for (QLineEdit* e : {ui->StandartInpEdit, ui->IncInpEditStart, ui->IncInpEditEnd, ui->IncInpEditStep,
                         ui->Digit, ui->devNum}) {
        e->setContextMenuPolicy(Qt::NoContextMenu);
        e->setAcceptDrops(false);
        e->installEventFilter(this);
    }
    ui->EditAuto->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), ui->EditAuto));
    for (QWidget* w : {static_cast<QWidget*>(ui->Label9), static_cast<QWidget*>(ui->IncPhysVal),
                       static_cast<QWidget*>(ui->ProfilePhysVal)})
        w->installEventFilter(this);
    // The variant list records its index when it opens; the unit boxes close up.
    ui->BoxDevice->view()->parentWidget()->installEventFilter(this);
    for (QComboBox* box : {ui->ChooseOhm, ui->ChooseOhm1, ui->ChooseOhm2})
        box->view()->parentWidget()->installEventFilter(this);

    // "ΔR," and its unit label read as one caption.
    {
        const QStyle* st = ui->OtklonOm->style();
        const int textRight = st->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, ui->OtklonOm) +
                              st->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, ui->OtklonOm) +
                              ui->OtklonOm->fontMetrics().horizontalAdvance(ui->OtklonOm->text());
        ui->OtklonOm->resize(textRight + 1, ui->OtklonOm->height());
        ui->Label14->move(ui->OtklonOm->x() + textRight + 3, ui->Label14->y());
    }
    PlaceValueLabels();

    // ---- wiring ----
    connect(transport, &Transport::answerReady, this, &TForm1::ModbusTimerTimer);
    connect(line, &LineOwner::lockChanged, this, &TForm1::ApplyLineLock);
    connect(transport, &Transport::timedOut, this, &TForm1::TimerConnectionTimeoutTimer);
    connect(transport, &Transport::resendLimitPassed, this, &TForm1::LinkFailed);
    connect(transport, &Transport::portFailed, this, &TForm1::Disconnect);
    connect(RequestTimer, &QTimer::timeout, this, &TForm1::RequestTimerTimer);

    connect(ui->ConnectionButton, &QPushButton::clicked, this, &TForm1::ConnectionButtonClick);
    connect(ui->ButtonFProfileGet, &QPushButton::clicked, this, &TForm1::ButtonFProfileGetClick);
    connect(ui->ButtonFProfileSet, &QPushButton::clicked, this, &TForm1::ButtonFProfileSendClick);
    connect(ui->ButtonFProfileSend, &QPushButton::clicked, this, &TForm1::ButtonFProfileSendClick);
    connect(ui->StandartInpButtonEnter, &QPushButton::clicked, this, &TForm1::StandartInpButtonEnterClick);
    connect(ui->ProfileInpButtonCreate, &QPushButton::clicked, this, &TForm1::ProfileInpButtonCreateClick);
    connect(ui->ProfileInpButtonChange, &QPushButton::clicked, this, &TForm1::ProfileInpButtonChangeClick);
    // They change the entry field: in their turn behind keys and presses that wait.
    const std::pair<QPushButton*, void (TForm1::*)()> entryButtons[] = {
        {ui->StandartInpButtonDel, &TForm1::StandartInpButtonDelClick},
        {ui->DigitUp, &TForm1::DigitUpClick},
        {ui->DigitDown, &TForm1::DigitDownClick},
    };
    for (const auto& [button, handler] : entryButtons)
        connect(button, &QPushButton::clicked, this, [this, button, handler] {
            // A button that what ran before has disabled could not have been clicked.
            InOrder([this, button, handler] {
                if (button->isEnabled())
                    (this->*handler)();
            });
        });
    connect(ui->Edit1, &QLineEdit::textChanged, this, &TForm1::Edit1Change);
    connect(ui->StandartInpButtonSaveAsProfile, &QPushButton::clicked, this,
            &TForm1::StandartInpButtonSaveAsProfileClick);
    connect(ui->ButtonSaveInfo, &QPushButton::clicked, this, &TForm1::ButtonSaveInfoClick);

    connect(ui->BoxDevice, &QComboBox::currentIndexChanged, this, &TForm1::BoxDeviceChange);
    for (QComboBox* box : {ui->ChooseOhm, ui->ChooseOhm1, ui->ChooseOhm2})
        connect(box, &QComboBox::activated, this, [this, box] { ChooseOhmSelect(box); });
    for (UpDown* u : {ui->ChooseOhmUpDown, ui->ChooseOhm1UpDown, ui->ChooseOhm2UpDown})
        connect(u, &UpDown::Click, this, [this, u](UpDown::Button b) { ChooseOhmUpDownClick(u, b); });

    connect(ui->ButtonFProfileOpen, &QPushButton::clicked, this, &TForm1::ButtonFProfileOpenClick);
    connect(ui->ButtonFProfileEdit, &QPushButton::clicked, this, &TForm1::ButtonFProfileEditClick);
    onMenuItem(this, ui->N1, [this] { ButtonFProfileCreateClick(); });
    onMenuItem(this, ui->N2, [this] { ButtonFProfileOpenClick(); });
    onMenuItem(this, ui->N3, [this] { ButtonFProfileEditClick(); });
    onMenuItem(this, ui->Calibration, [this] { CalibrationClick(); });
    onMenuItem(this, ui->N7, [this] { ButtonFProfileGetClick(); });
    onMenuItem(this, ui->N8, [this] { ButtonFProfileSendClick(); });
    onMenuItem(this, ui->funcDefaultx2, [this] { funcDefaultx2Click(); });
    onMenuItem(this, ui->funcDefaultx4, [this] { funcDefaultx4Click(); });
    onMenuItem(this, ui->funcCorrectionx2, [this] { funcCorrectionx2Click(); });
    onMenuItem(this, ui->funcCorrectionx4, [this] { funcCorrectionx4Click(); });
    onMenuItem(this, ui->N11, [this] { N11Click(); });
    onMenuItem(this, ui->N21, [this] { N21Click(); });
    onMenuItem(this, ui->N31, [this] { N31Click(); });
    onMenuItem(this, ui->R1, [this] { R1Click(); });
    onMenuItem(this, ui->N13, [this] { N13Click(); });
    onMenuItem(this, ui->N14, [this] { N14Click(); });
    onMenuItem(this, ui->N17, [this] { N17Click(); });
    onMenuItem(this, ui->N10, [this] { N10Click(); });
    onMenuItem(this, ui->Russian, [this] { RussianClick(); });
    onMenuItem(this, ui->English, [this] { EnglishClick(); });
    onMenuItem(this, ui->Ohm, [this] { OhmClick(ui->Ohm); });
    onMenuItem(this, ui->Celsium, [this] { CelsiumClick(ui->Celsium); });
    onMenuItem(this, ui->platinum391, [this] { platinum391Click(); });
    onMenuItem(this, ui->platinum385, [this] { platinum385Click(); });
    onMenuItem(this, ui->copper428, [this] { copper428Click(); });
    onMenuItem(this, ui->nickel617, [this] { nickel617Click(); });
    onMenuItem(this, ui->N01, [this] { N01Click(); });
    onMenuItem(this, ui->N501, [this] { N501Click(); });
    onMenuItem(this, ui->N1001, [this] { N1001Click(); });
    onMenuItem(this, ui->N1002, [this] { N1002Click(); });
    onMenuItem(this, ui->N10001, [this] { N10001Click(); });
    onMenuItem(this, ui->RequestEnabled, [this] { RequestEnabledClick(); });
    onMenuItem(this, ui->RequestDisabled, [this] { RequestDisabledClick(); });
    onMenuItem(this, ui->J1, [this] { J1Click(); });

    if (VardekoApplication* app = VardekoApplication::instance())
        connect(app, &VardekoApplication::wheelDelivered, this,
                [this](QObject* receiver, QWheelEvent* event) {
                    // A wheel turned by the operator arrives at the native window, which hands
                    // it on to the widget under the cursor; one sent to a widget arrives there.
                    auto* w = qobject_cast<QWidget*>(receiver);
                    if ((w && w->window() == this) || (receiver && receiver == windowHandle()))
                        WheelStep(event);
                });

    WireRunControls();

    RequestTimer->start();
}

TForm1::~TForm1()
{
    delete sSkinManager1; // the application's own look returns while the window still stands
    delete ui;
    delete processor; // nothing uses the model after the close handler
    if (Form1 == this)
        Form1 = nullptr;
}

// ---------------------------------------------------------------- creation and closing

void TForm1::FormCreate()
{
    userStepText.clear();
    LoadSettings();
    BuildSkinMenu();
}

void TForm1::ApplyLayoutDefaults()
{
    ui->BoxDevice->setCurrentIndex(0);
    OhmClick(this);
    BoxDeviceChange();
    ui->InpType->setCurrentIndex(2); // single values
    SelectHistoryList();
    funcDefaultx2Click();
    N11Click();
}

void TForm1::FormClose()
{
    if (connected)
        Disconnect();
    SaveSettings();
    ButtonFprofileCloseClick();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    FormClose();
    QMainWindow::closeEvent(event);
}

// ---------------------------------------------------------------- language and skins

void TForm1::PlaceValueLabels()
{
    // Inline captions take their text's width, from their left edge or, for the countdown at
    // the right end of the log's heading row, towards their right edge; read-out captions keep
    // their right-aligned column so that the values line up.
    enum class Fit { Keep, FromLeft, FromRight };
    struct Pair {
        QLabel* caption;
        QLabel* value;
        int gap;
        Fit fit;
    };
    const Pair pairs[] = {
        {ui->Label4, ui->StandartInpFact, 3, Fit::Keep},
        {ui->Label11, ui->StandartInpI, 3, Fit::Keep},
        {ui->Label26, ui->StandartInpU, 3, Fit::Keep},
        {ui->Label15, ui->modeLabel, 2, Fit::FromLeft},
        {ui->TimeLeft1, ui->TimeLeft, 3, Fit::FromRight},
        {ui->Label18, ui->LabelPrecision, 3, Fit::FromLeft},
        {ui->Label21, ui->deviceFullName, 3, Fit::FromLeft},
        {ui->Label23, ui->rangeLabel, 1, Fit::FromLeft},
        {ui->Label10, ui->firmwareLabel, 1, Fit::FromLeft},
        {ui->Label24, ui->stepLabel, 1, Fit::FromLeft},
    };
    for (const Pair& p : pairs) {
        const int width = p.caption->sizeHint().width();
        if (p.fit == Fit::FromLeft)
            p.caption->resize(width, p.caption->height());
        else if (p.fit == Fit::FromRight)
            p.caption->setGeometry(p.caption->geometry().right() + 1 - width, p.caption->y(), width,
                                   p.caption->height());
        p.value->move(p.caption->x() + p.caption->width() + p.gap, p.value->y());
    }
}

void TForm1::connectMenuItem(QAction* item, std::function<void()> handler)
{
    onMenuItem(this, item, std::move(handler));
}

void TForm1::FitClientArea()
{
    setFixedSize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
}

bool TForm1::isRussian() const
{
    return ui->Russian->isChecked();
}

QString TForm1::tr2(const char* russian, const char* english) const
{
    return QString::fromUtf8(isRussian() ? russian : english);
}

void TForm1::checkRadioItem(QAction* item)
{
    item->setChecked(true);
    for (QObject* owner : item->associatedObjects()) {
        auto* menu = qobject_cast<QMenu*>(owner);
        if (!menu)
            continue;
        for (QAction* other : menu->actions())
            if (other != item && other->isCheckable())
                other->setChecked(false);
    }
}

// ---------------------------------------------------------------- log

void TForm1::LogLine(const QString& text)
{
    InfoLines->insert(logIndex, text);
    ++logIndex;
}

void TForm1::LogAt(int index, const QString& text)
{
    InfoLines->insert(index, text);
}

// ---------------------------------------------------------------- shared switches

void TForm1::SetProfileControlsEnabled(bool enabled)
{
    profileControlsWanted = enabled;
    ApplyLineLock();
}

void TForm1::ApplyLineLock()
{
    const bool busy = line->busy();
    const bool profile = profileControlsWanted && !busy;
    setMenuEnabled(ui->Mfprof, profile && runMenusWanted);
    ui->MainMenu->update();
    ui->ButtonFProfileSet->setEnabled(profile);
    ui->ButtonFProfileGet->setEnabled(profile);
    ui->ButtonFProfileEdit->setEnabled(profile);
    ui->ButtonFProfileOpen->setEnabled(profile);
    // Written to the instrument at once: not in the middle of another chain.
    for (QAction* item : {ui->funcDefaultx2, ui->funcDefaultx4, ui->funcCorrectionx2, ui->funcCorrectionx4,
                          ui->N11, ui->N21, ui->N31, ui->R1, ui->N13, ui->N14, ui->N17, ui->N10})
        item->setEnabled(!busy);
    const bool input = !line->longChain();
    ui->StandartInputGroup->setEnabled(input);
    ui->IncrInputGroup->setEnabled(input);
    ui->ProfileInputGroup->setEnabled(input);
    if (profileForm != nullptr)
        profileForm->ApplyLineLock(busy);
}

// ---------------------------------------------------------------- events

bool TForm1::pollHoldsInput() const
{
    return line->chain() == LineOwner::Chain::Poll && ui->StandartInpEdit->isReadOnly();
}

bool TForm1::inputWaits(const QWidget* edit) const
{
    // Only the entry field is held by a poll itself; the range edits and the step field take
    // keys during a poll as on a free line, and wait only behind what waits.
    return line->holding() || (edit == ui->StandartInpEdit && pollHoldsInput());
}

void TForm1::InOrder(std::function<void()> input)
{
    if (!inputWaits()) {
        input();
        return;
    }
    line->hold([this, input = std::move(input)] { InOrder(input); });
}

void TForm1::HoldEvent(QWidget* edit, const QEvent* event)
{
    std::shared_ptr<QEvent> copy(event->clone());
    const QPointer<QWidget> target(edit);
    line->hold([this, target, copy] {
        // A disabled edit takes no keys or clicks; one that must still wait is held again.
        if (!target || !target->isEnabled())
            return;
        if (inputWaits(target))
            HoldEvent(target, copy.get());
        else
            QCoreApplication::sendEvent(target, copy.get());
    });
}

void TForm1::WheelStep(QWheelEvent* event)
{
    // Phase markers of smooth scrolling carry no delta; they are not wheel turns.
    const QPoint delta = event->angleDelta();
    if (delta.isNull() || (delta.y() == 0 && delta.x() != 0))
        return;
    if (inputWaits(ui->StandartInpEdit) && ui->StandartInputGroup->isVisibleTo(this)) {
        const QPointF at = event->position();
        const QPointF global = event->globalPosition();
        line->hold([this, at, global, delta] {
            QWheelEvent again(at, global, QPoint(), delta, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                              false);
            WheelStep(&again);
        });
        return;
    }
    if (!ui->StandartInputGroup->isVisibleTo(this) || !ui->StandartInputGroup->isEnabledTo(this) ||
        !ui->StandartInpButtonEnter->isEnabledTo(this) || !inputAllowed)
        return;
    if (ui->InstaSend->isChecked())
        inputAllowed = false; // one stepped value is sent until the set completes
    if (delta.y() > 0)
        DigitUpClick();
    else
        DigitDownClick();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == ui->devNum) {
            // The address changes only through UpDown1: whatever would edit the text is dropped.
            return !typedChar(key).isNull() || key->key() == Qt::Key_Delete ||
                   key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Cut);
        }
        QLineEdit* edit = filteredEdit(ui, watched);
        // Tab moves the focus at once, so that what follows goes where the operator sees it;
        // leaving the edit waits in its turn.
        if (!edit || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            break;
        if (inputWaits(edit)) {
            HoldEvent(edit, event);
            return true;
        }
        if (key->matches(QKeySequence::Paste))
            return true; // Ctrl+V, Shift+Insert: pasted text would pass round the key filter
        // Key down first, with the Windows key code the handlers expect.
        const int vkBefore = virtualKey(key);
        int vk = vkBefore;
        if (edit == ui->StandartInpEdit)
            StandartInpEditKeyDown(vk, key->modifiers());
        else
            DelKeys(edit, vk, key->modifiers());
        QChar ch = typedChar(key);
        if (ch.isNull())
            return vkBefore != 0 && vk == 0; // a key-down handler took the key
        // The step keys of the entry field never type their '+' or '-'.
        if (edit == ui->StandartInpEdit && isStepKey(vkBefore, key->modifiers()))
            return true;
        // Then the character, through the key filter; the edit inserts what passes as typed.
        return !passesKeyFilter(*this, edit, ch);
    }
    case QEvent::InputMethod: {
        // Composed text is typed through the key filter, one character at a time; the address
        // takes none. Preedit text is not shown: the filter decides only on committed text.
        QLineEdit* edit = filteredEdit(ui, watched);
        if (edit && inputWaits(edit)) {
            HoldEvent(edit, event);
            return true;
        }
        if (edit) {
            for (const QChar c : static_cast<QInputMethodEvent*>(event)->commitString())
                if (passesKeyFilter(*this, edit, c))
                    edit->insert(QString(c));
            if (edit == ui->Digit)
                DigitKeyUp();
        }
        if (edit || watched == ui->devNum)
            return true;
        break;
    }
    case QEvent::KeyRelease:
        if (QLineEdit* edit = filteredEdit(ui, watched); edit && inputWaits(edit)) {
            HoldEvent(edit, event);
            return true;
        }
        if (watched == ui->Digit)
            DigitKeyUp();
        break;
    case QEvent::MouseMove:
        // A drag that selects text waits with the press that began it.
        if (QLineEdit* edit = filteredEdit(ui, watched);
            edit && static_cast<QMouseEvent*>(event)->buttons() != Qt::NoButton && inputWaits(edit)) {
            HoldEvent(edit, event);
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        // The focus has moved already (the application gives it before the edit sees the
        // press); where the caret goes waits in its turn.
        if (QLineEdit* edit = filteredEdit(ui, watched); edit && inputWaits(edit)) {
            HoldEvent(edit, event);
            return true;
        }
        if (event->type() == QEvent::MouseButtonDblClick) {
            if (watched == ui->Label9 || watched == ui->IncPhysVal || watched == ui->ProfilePhysVal)
                ChooseOhmVisDblClick();
            break;
        }
        if (event->type() == QEvent::MouseButtonPress && watched == ui->Digit)
            DigitClick();
        // The middle button pastes the X11 selection into an edit: not into these.
        if (static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton &&
            (watched == ui->devNum || filteredEdit(ui, watched)))
            return true;
        break;
    case QEvent::FocusOut: {
        // Leaving an edit for another control of the window; not the window losing activation.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            break;
        // Reformatted in its turn: keys typed before it may still wait.
        if (watched == ui->StandartInpEdit)
            InOrder([this] { AddZero(ui->StandartInpEdit); });
        else if (watched == ui->IncInpEditStart || watched == ui->IncInpEditEnd ||
                 watched == ui->IncInpEditStep)
            InOrder([this, edit = static_cast<QLineEdit*>(watched)] { IncInpEditExit(edit); });
        break;
    }
    case QEvent::Show:
        if (watched == ui->BoxDevice->view()->parentWidget())
            BoxDeviceClick();
        break;
    case QEvent::Hide:
        for (QComboBox* box : {ui->ChooseOhm, ui->ChooseOhm1, ui->ChooseOhm2})
            if (watched == box->view()->parentWidget())
                ChooseOhmCloseUp();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}
