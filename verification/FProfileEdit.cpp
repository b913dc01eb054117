// The profile window's construction, the grid of cells, its texts in the main window's
// language, and the routing of keys, focus and closing to the window's handlers.
#include "verification/FProfileEdit.h"

#include "instrument/ProfileProcessor.h"
#include "platform/NumberText.h"
#include "ui/EditKeys.h"
#include "ui/main.h"
#include "ui_TForm3.h"
#include "verification/ProfileWindowText.h"
#include "verification/TsEdit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QStyleOptionFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <cmath>

namespace
{

using namespace std::chrono_literals;

constexpr auto BlinkPeriod = 100ms;

// Grid geometry, per column and row of cells.
constexpr int EditColumnPitch = 139;   // edit and create mode
constexpr int VerifyColumnPitch = 169; // verification mode: a button before each cell
constexpr int RowPitch = 45;
constexpr int GridLeft = 24;
constexpr int CellTop = 48;
constexpr int ButtonTop = 49;
constexpr int CellWidth = 75, CellHeight = 23;
constexpr int ButtonWidth = 23, ButtonHeight = 22;
constexpr int ButtonGap = 3;     // between a cell's button and the cell
constexpr int DeviationGap = 3;  // between a cell and its deviation text
constexpr int DeviationDrop = 5; // the deviation text stands this much below the cell's top
constexpr int DeviationPointSize = 8;
constexpr int MinDeviationPixelSize = 7;
constexpr int MinCellPixelSize = 8;
constexpr int LineEditSideMargin = 2; // a line edit's own gap between its contents and its text
// The widest text a deviation label shows: larger deviations read "> +99%".
constexpr auto WidestDeviation = "+99,00000%";
constexpr int EdgeMargin = 3; // the least gap between a text and the window's left edge
constexpr int WidthMargin = 48;
constexpr int HeightMargin = 190;

// Windows key codes, as the key-down handler expects them.
constexpr int VkBack = 8;
constexpr int VkDelete = 46;

int keyCode(const QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Backspace:
        return VkBack;
    case Qt::Key_Delete:
        return VkDelete;
    default:
        return e->key() == 0 ? 0 : -1; // any other key: none of the handlers takes it
    }
}

using editkeys::editsByItself;
using editkeys::typedChar;

// The deviation texts' font: the window's family at the designed size where the widest text
// fits between a cell and the next column; where the family falls back to a wider face, a
// condensed face, made smaller until the text fits.
QFont deviationFontFor(const QFont& windowFont, int room)
{
    QFont f = windowFont;
    f.setPointSize(DeviationPointSize);
    QLabel probe(QString::fromLatin1(WidestDeviation));
    const auto fits = [&] {
        probe.setFont(f);
        return probe.sizeHint().width() <= room;
    };
    if (fits())
        return f;
    f.setStretch(QFont::SemiCondensed);
    for (int px = QFontInfo(f).pixelSize() - 1; !fits() && px >= MinDeviationPixelSize; --px)
        f.setPixelSize(px);
    return f;
}

// Room for text inside an edit: its contents rectangle as the style lays it out, less the
// text margins and the two pixels a line edit keeps on either side.
int textRoom(const QLineEdit* e)
{
    QStyleOptionFrame opt;
    opt.initFrom(e);
    opt.rect = e->rect();
    opt.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e) : 0;
    opt.midLineWidth = 0;
    opt.state |= QStyle::State_Sunken;
    const QRect contents = e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e);
    return contents.marginsRemoved(e->textMargins()).width() - 2 * LineEditSideMargin;
}

// Widens a button, check box or label whose text would be cut; never narrows it.
void widenToText(QWidget* w)
{
    w->resize(std::max(w->width(), w->sizeHint().width()), w->height());
}

} // namespace

TForm3::TForm3(QObject* owner, ProfileProcessor* processor_, bool compareMode_, bool verificationMode_)
    : QDialog(nullptr), ui(new Ui::TForm3), processor(processor_), compareMode(compareMode_),
      verificationMode(verificationMode_)
{
    ui->setupUi(this);
    // A top-level window of its own (no parent window), so it has its own task-bar entry;
    // a title bar with the close box only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // Closing the main window ends the program even while a modeless profile window is shown.
    setAttribute(Qt::WA_QuitOnClose, false);
    if (owner)
        connect(owner, &QObject::destroyed, this, [this] { delete this; });

    TimerAlert = new QTimer(this);
    TimerAlert->setObjectName(QStringLiteral("TimerAlert"));
    TimerAlert->setInterval(BlinkPeriod);
    connect(TimerAlert, &QTimer::timeout, this, &TForm3::TimerAlertTimer);

    selCol = 0;
    selRow = 0;
    blinkCount = 0;
    Rk = std::pow(10.0, processor->maxDec + 1) - std::pow(10.0, processor->minDec);

    connect(ui->SaveButton, &QPushButton::clicked, this, &TForm3::SaveButtonClick);
    connect(ui->Protocol_btn, &QPushButton::clicked, this, &TForm3::Protocol_btnClick);
    connect(ui->btn2x, &QToolButton::clicked, this, &TForm3::btn2xClick);
    connect(ui->btn4x, &QToolButton::clicked, this, &TForm3::btn4xClick);

    FormCreate();
}

TForm3::~TForm3()
{
    delete ui;
}

QString TForm3::widestText(QLineEdit* edit)
{
    // The longest texts the edit's own pattern admits: digits before the comma, then after it.
    const boost::regex kept = processor->entryRegex;
    switchRegexp(edit);
    QString widest;
    int widestAdvance = -1;
    const QFontMetrics metrics(edit->font());
    for (int whole = 1; whole <= 10; ++whole) {
        for (int decimals = -1; decimals <= 6; ++decimals) {
            QString text(whole, QLatin1Char('0'));
            if (decimals >= 0)
                text += QLatin1Char(',') + QString(decimals, QLatin1Char('0'));
            const std::string bytes = text.toStdString();
            if (!boost::regex_match(bytes, processor->entryRegex))
                continue;
            const int advance = metrics.horizontalAdvance(text);
            if (advance > widestAdvance) {
                widestAdvance = advance;
                widest = text;
            }
        }
    }
    processor->entryRegex = kept;
    return widest;
}

void TForm3::FitCellFont()
{
    // Where the window's family falls back to a wider face, the longest values would lose
    // their first digits: the cells take a condensed face, made smaller until every one fits.
    std::vector<QLineEdit*> edits(valEdits.begin(), valEdits.end());
    edits.push_back(ui->R02);
    edits.push_back(ui->R04);
    std::vector<QString> widest;
    for (QLineEdit* e : edits)
        widest.push_back(widestText(e));
    QFont f = font();
    const auto fits = [&] {
        const QFontMetrics metrics(f);
        for (std::size_t i = 0; i < edits.size(); ++i)
            if (metrics.horizontalAdvance(widest[i]) > textRoom(edits[i]))
                return false;
        return true;
    };
    if (fits())
        return;
    f.setStretch(QFont::Condensed);
    for (int px = QFontInfo(f).pixelSize(); !fits() && px > MinCellPixelSize; --px)
        f.setPixelSize(px - 1);
    for (QLineEdit* e : edits)
        e->setFont(f);
}

void TForm3::FormCreate()
{
    const int n = processor->maxDec - processor->minDec + 1;
    const int m = processor->decSteps;
    if (verificationMode && Form1)
        Form1->verificationOpen = true;

    ui->PrecClass->setText(processor->precClass);
    setFixedSize(n * (verificationMode ? VerifyColumnPitch : EditColumnPitch) + WidthMargin,
                 m * RowPitch + HeightMargin);

    QFont captionFont = font();
    captionFont.setBold(true);
    const int deviationRoom =
        (verificationMode ? VerifyColumnPitch - ButtonWidth - ButtonGap : EditColumnPitch) - CellWidth -
        DeviationGap;
    const QFont deviationFont = deviationFontFor(font(), deviationRoom);

    valEdits.assign(std::size_t(std::max(n * m, 0)), nullptr);
    otklonLabels.assign(valEdits.size(), nullptr);
    if (verificationMode)
        senderBtns.assign(valEdits.size(), nullptr);
    // Every button that sets the instrument to a value carries the same glyph.
    const QIcon buttonIcon = style()->standardIcon(QStyle::SP_MediaPlay);
    ui->btn2x->setIcon(buttonIcon);
    ui->btn4x->setIcon(buttonIcon);
    for (int d = 0; d < n; ++d) {
        const int e = processor->maxDec - d;
        for (int j = 0; j < m; ++j) {
            const int k = d * m + j;
            int cellLeft = d * EditColumnPitch + GridLeft;
            if (verificationMode) {
                auto* b = new QToolButton(this);
                b->setObjectName(QStringLiteral("senderBtn%1").arg(k));
                b->setGeometry(d * VerifyColumnPitch + GridLeft, j * RowPitch + ButtonTop, ButtonWidth,
                               ButtonHeight);
                b->setIcon(buttonIcon);
                b->setFocusPolicy(Qt::NoFocus);
                b->setProperty("cellIndex", k);
                connect(b, &QToolButton::clicked, this, [this, b] { SenderBtn(b); });
                senderBtns[k] = b;
                cellLeft = b->x() + ButtonWidth + ButtonGap;
            }
            auto* cell = new TsEdit(this);
            cell->setObjectName(QStringLiteral("valEdit%1").arg(k));
            cell->setGeometry(cellLeft, j * RowPitch + CellTop, CellWidth, CellHeight);
            cell->setEnabled(!verificationMode);
            cell->tabOrder = k;
            cell->setBoundLabelSide(TsEdit::LabelSide::Above);
            QLabel* caption = cell->boundLabel();
            caption->setFont(captionFont);
            caption->setText(numtext::floatToStr((9 - j) * std::pow(10.0, e)));
            cell->placeBoundLabel();
            valEdits[k] = cell;

            auto* deviation = new QLabel(this);
            deviation->setObjectName(QStringLiteral("otklonLabel%1").arg(k));
            deviation->setFont(deviationFont);
            deviation->setText(QStringLiteral("0,000000%"));
            deviation->adjustSize();
            deviation->move(cell->x() + cell->width() + DeviationGap, cell->y() + DeviationDrop);
            otklonLabels[k] = deviation;
        }
    }

    // Tab order: the cells by index, then the window's own controls in their designed order.
    QWidget* previous = nullptr;
    for (TsEdit* cell : valEdits) {
        if (previous)
            setTabOrder(previous, cell);
        previous = cell;
    }
    for (QWidget* w : {static_cast<QWidget*>(ui->SaveButton), static_cast<QWidget*>(ui->R02),
                       static_cast<QWidget*>(ui->R04), static_cast<QWidget*>(ui->priemCoef),
                       static_cast<QWidget*>(ui->Protocol_btn), static_cast<QWidget*>(ui->FirstCal)}) {
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    }

    // The controls below the grid.
    const int t = valEdits.empty() ? 0 : valEdits[std::size_t(m - 1)]->y();
    for (QWidget* w :
         {static_cast<QWidget*>(ui->Label2), static_cast<QWidget*>(ui->PrecClass),
          static_cast<QWidget*>(ui->Label3), static_cast<QWidget*>(ui->R02), static_cast<QWidget*>(ui->R04),
          static_cast<QWidget*>(ui->otklonR02), static_cast<QWidget*>(ui->otklonR04)})
        w->move(w->x(), w->y() + t);
    ui->priemCoef->move(ui->priemCoef->x(), ui->PrecClass->y() + 23);
    ui->btn2x->move(ui->btn2x->x(), ui->R02->y());
    ui->btn4x->move(ui->btn4x->x(), ui->R04->y());
    if (!valEdits.empty())
        ui->SaveButton->move(valEdits[std::size_t((n - 1) * m)]->x(), ui->R02->y() + 11);

    if (!verificationMode) {
        ui->btn2x->hide();
        ui->btn4x->hide();
        ui->Protocol_btn->hide();
        ui->FirstCal->hide();
    }

    FitCellFont();
    normalColor = valEdits.empty() ? ui->R02->colorTone() : valEdits.front()->colorTone();
    ComputeClassTerms();

    // Texts in the main window's language.
    using profilewindow::lang;
    const bool english = Form1 && !Form1->isRussian();
    ui->Label1->setText(
        verificationMode
            ? lang("Измеренные значения сопротивления, Ом", "Calibration points, Ohm")
            : lang("Профиль действительных значений сопротивления, Ом", "Calibration points, Ohm"));
    ui->Label1->adjustSize();
    setWindowTitle(verificationMode ? lang("Поверка", "Calibration")
                                    : lang("Изменение профиля", "Edit profile"));
    ui->Label2->setText(lang("Класс точности:", "Tolerance coefficient:"));
    ui->Label2->adjustSize();
    ui->priemCoef->boundLabel()->setText(lang("Приёмочный коэффициент", "Acceptance ratio"));
    ui->R02->boundLabel()->setText(lang("2х зажимная схема", "2-wire"));
    ui->R04->boundLabel()->setText(lang("4х зажимная схема", "4-wire"));
    ui->SaveButton->setText(lang("Сохранить", "Save"));
    ui->Label3->setText(lang("Начальное сопротивление", "Zero resistance"));
    ui->Label3->adjustSize();
    ui->Protocol_btn->setText(lang("Сформировать протокол", "Generate protocol"));
    ui->FirstCal->setText(lang("Первичная поверка", "First calibration"));
    ui->priemCoef->move(english ? 130 : 190, ui->priemCoef->y());
    ui->Label3->move(ui->R04->x() - (english ? 10 : 85), ui->Label3->y());
    ui->PrecClass->move(ui->Label2->x() + ui->Label2->width() + 3, ui->PrecClass->y());
    for (TsEdit* e : {ui->R02, ui->R04, ui->priemCoef})
        e->placeBoundLabel();

    // Where the window's family falls back to a wider face, the texts need more room than
    // designed: every text gets the width it needs, and the protocol controls keep their
    // places relative to the save button.
    for (QWidget* w : {static_cast<QWidget*>(ui->PrecClass), static_cast<QWidget*>(ui->SaveButton),
                       static_cast<QWidget*>(ui->Protocol_btn), static_cast<QWidget*>(ui->FirstCal)})
        widenToText(w);
    ui->Protocol_btn->move(ui->SaveButton->x() - ui->Protocol_btn->width() - 10, ui->SaveButton->y());
    ui->FirstCal->move(ui->Protocol_btn->x(), ui->Protocol_btn->y() - 21);
    // The acceptance ratio moves right just enough that its caption starts inside the window.
    if (const int x = ui->priemCoef->boundLabel()->x(); x < EdgeMargin)
        ui->priemCoef->move(ui->priemCoef->x() + EdgeMargin - x, ui->priemCoef->y());

    // Text gets into the value edits only through the key handlers.
    for (TsEdit* e : valEdits)
        installEntryFilter(e);
    for (TsEdit* e : {ui->R02, ui->R04, ui->priemCoef})
        installEntryFilter(e);
}

void TForm3::installEntryFilter(TsEdit* e)
{
    e->setContextMenuPolicy(Qt::NoContextMenu);
    e->setAcceptDrops(false);
    e->setAttribute(Qt::WA_InputMethodEnabled, false);
    e->installEventFilter(this);
}

bool TForm3::isVerificationLayout() const
{
    // Hidden by the creation handler outside verification mode; shown with the window otherwise.
    return !ui->Protocol_btn->isHidden();
}

double TForm3::nominalOf(const QLineEdit* edit, bool* isNumber) const
{
    double v = 0;
    bool ok = false;
    if (auto* e = qobject_cast<const TsEdit*>(edit); e && e->tabOrder >= 0)
        ok = numtext::tryStrToFloat(const_cast<TsEdit*>(e)->boundLabel()->text(), v);
    if (isNumber)
        *isNumber = ok;
    return ok ? v : 0.0;
}

TsEdit* TForm3::asCell(QObject* o) const
{
    auto* e = qobject_cast<TsEdit*>(o);
    if (!e || e->window() != this)
        return nullptr;
    return e;
}

// ---------------------------------------------------------------- events

void TForm3::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormPaint();
}

void TForm3::keyPressEvent(QKeyEvent* event)
{
    // Escape does not close the window: closing goes through the close box and its question.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TForm3::closeEvent(QCloseEvent* event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    if (Form1)
        Form1->verificationOpen = false;
    QDialog::closeEvent(event);
}

bool TForm3::eventFilter(QObject* watched, QEvent* event)
{
    TsEdit* edit = asCell(watched);
    if (!edit)
        return QDialog::eventFilter(watched, event);
    const bool isRatio = edit == ui->priemCoef;
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            break; // focus navigation, as the window does it
        if (editsByItself(key))
            return true;
        if (key->matches(QKeySequence::SelectAll) || key->matches(QKeySequence::Copy))
            break;
        const int before = keyCode(key);
        int vk = before;
        DelKeys(edit, vk, key->modifiers());
        QChar ch = typedChar(key);
        if (ch.isNull())
            return before != -1 && vk == 0; // Delete: taken by the handler
        if (isRatio)
            priemCoefKeyPress(ch);
        else
            EnterVal(edit, ch);
        return true; // the handlers write the text themselves
    }
    case QEvent::KeyRelease:
        if (isRatio && !static_cast<QKeyEvent*>(event)->isAutoRepeat())
            priemCoefKeyUp();
        break;
    case QEvent::InputMethod:
    case QEvent::Drop:
    case QEvent::DragEnter:
    case QEvent::DragMove:
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        // The middle button would paste the selection of the X11 clipboard.
        if (static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton)
            return true;
        break;
    case QEvent::FocusIn:
        if (!isRatio)
            switchRegexp(edit);
        break;
    case QEvent::FocusOut: {
        // Leaving the edit for another control of the window; not the window losing activation.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (!isRatio && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            OnExitFunc(edit);
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}
