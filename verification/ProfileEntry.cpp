// Typing into the profile window's cells and zero-resistance edits, the reformatting on
// leaving them, and the deviation of every value from its nominal against the tolerance of
// the accuracy class.
#include "instrument/ProfileProcessor.h"
#include "platform/NumberText.h"
#include "ui/EntryLimits.h"
#include "ui/main.h"
#include "ui_TForm1.h"
#include "ui_TForm3.h"
#include "verification/FProfileEdit.h"
#include "verification/ProfileWindowText.h"
#include "verification/TsEdit.h"

#include <QLabel>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <map>
#include <string>

namespace
{

using profilewindow::numberOr;

constexpr int KeyEnter = 13;
constexpr int KeyBack = 8;
constexpr int KeyDelete = 46;
constexpr double LargeNominal = 90000; // cells above it take fewer decimals (RD5540-3..5)
const QColor ToneRed(255, 0, 0);

// Compiled once per pattern text: the handlers set the shared pattern on every key.
const boost::regex& compiled(const char* pattern)
{
    static std::map<std::string, boost::regex> cache;
    auto it = cache.find(pattern);
    if (it == cache.end())
        it = cache.emplace(pattern, boost::regex(pattern)).first;
    return it->second;
}

// Selection start (the caret when nothing is selected) and length.
int selStart(const QLineEdit* e)
{
    return e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
}

int selLength(const QLineEdit* e)
{
    return e->hasSelectedText() ? int(e->selectedText().size()) : 0;
}

// The text a key would give: appended at the end, else replacing the selection.
QString candidate(const QLineEdit* e, QChar key)
{
    const QString t = e->text();
    const int p = selStart(e);
    if (p >= t.size())
        return t + key;
    return t.left(p) + key + t.mid(p + selLength(e));
}

void focusNextAfter(QWidget* from)
{
    for (QWidget* w = from->nextInFocusChain(); w && w != from; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(from->window())) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

double ratioOf(const QString& text)
{
    const double r = numberOr(text, 0.0);
    return r == 0.0 ? 1.0 : r;
}

bool isZeroEdit(const QLineEdit* e)
{
    return e->objectName() == QLatin1String("R02") || e->objectName() == QLatin1String("R04");
}

} // namespace

void TForm3::switchRegexp(QLineEdit* sender)
{
    const bool verify = isVerificationLayout();
    bool isNumber = false;
    const double nominal = nominalOf(sender, &isNumber);
    const char* pattern = nullptr;
    if (!isNumber) {
        pattern = verify ? "([0-9]{1,5}(,[0-9]{0,5})?)" : "([0-9]{1,5}(,[0-9]{0,4})?)";
    } else {
        switch (processor->deviceID - 1) {
        case 0:
            pattern = verify ? "[0-9]{1,4}(,[0-9]{0,5})?" : "[0-9]{1,4}(,[0-9]{0,4})?";
            break;
        case 1:
            pattern = verify ? "[0-9]{1,5}(,[0-9]{0,5})?" : "[0-9]{1,5}(,[0-9]{0,4})?";
            break;
        case 2:
        case 3:
        case 4:
            if (nominal > LargeNominal) {
                static const char* const wide[2][3] = {
                    {"([0-9]{1,6}(,[0-9]{0,1})?)", "([0-9]{1,7}(,[0-9]{0,1})?)",
                     "([0-9]{1,8}(,[0-9]{0,1})?)"},
                    {"([0-9]{1,6}(,[0-9]{0,2})?)", "([0-9]{1,7}(,[0-9]{0,2})?)",
                     "([0-9]{1,8}(,[0-9]{0,2})?)"}};
                pattern = wide[verify ? 1 : 0][processor->deviceID - 3];
            } else {
                pattern = verify ? "[0-9]{1,5}(,[0-9]{0,5})?" : "[0-9]{1,5}(,[0-9]{0,4})?";
            }
            break;
        default:
            return; // no variant applied: the pattern stays as it is
        }
    }
    processor->entryRegex = compiled(pattern);
}

void TForm3::EnterVal(QLineEdit* sender, QChar& key)
{
    const bool verify = isVerificationLayout();
    if (verify && key == QChar(KeyEnter)) {
        key = QChar();
        // Enter steps to the next larger nominal from the current selection.
        const int m = processor->decSteps;
        if (selRow > 0)
            senderBtns[std::size_t(m * selCol + selRow - 1)]->click();
        else if (selCol > 0)
            senderBtns[std::size_t(m * selCol - 1)]->click();
        else
            focusNextAfter(sender);
        return;
    }
    if (sender->isReadOnly()) {
        key = QChar();
        return;
    }
    const QString t = sender->text();
    const int p = selStart(sender);
    if (key == QLatin1Char('.'))
        key = QLatin1Char(',');

    if (key == QChar(KeyEnter) || key == QChar(9)) {
        key = QChar();
        focusNextAfter(sender);
    } else if (t.isEmpty() && (key == QLatin1Char(',') || key == QLatin1Char('0'))) {
        key = QChar();
        sender->setText(QStringLiteral("0,"));
        sender->setCursorPosition(2);
        return;
    } else {
        const QString c = candidate(sender, key);
        bool isNumber = false;
        const double nominal = nominalOf(sender, &isNumber);
        const char* pattern = nullptr;
        if (verify)
            pattern = (Form1 && Form1->ui->BoxDevice->currentIndex() >= 2)
                          ? "([0-9]{1,5}(,[0-9]{0,4})?)|([1-9]([0-9]{3,7}(,[0-9]{0,2})?))"
                          : "[0-9]{1,5}(,[0-9]{0,5})?";
        else
            pattern = (nominal < 100000 || !isNumber) ? "(((0)|([1-9][0-9]{0,7}))(,[0-9]{0,4})?)"
                                                      : "([1-9][0-9]{0,4})|([1-9][0-9]{3,7}(,[0-9]{0,1})?)";
        processor->entryRegex = compiled(pattern);
        if (matchesPattern(c, processor->entryRegex)) {
            sender->setText(c);
            sender->setCursorPosition(p + 1);
        } else if (key.isDigit() && key.unicode() < 128 && !t.contains(QLatin1Char(',')) && p == t.size()) {
            const QString c2 = t + QLatin1Char(',') + key;
            if (matchesPattern(c2, processor->entryRegex)) {
                sender->setText(c2);
                sender->setCursorPosition(int(c2.size()));
            }
        }
    }
    key = QChar();
    if (Form1)
        Form1->ApplyDeviceType();
}

void TForm3::DelKeys(QLineEdit* sender, int& key, Qt::KeyboardModifiers shift)
{
    Q_UNUSED(shift);
    if (key == KeyDelete) {
        key = 0;
        return;
    }
    if (key != KeyBack || sender->isReadOnly())
        return;
    int start = selStart(sender);
    int length = selLength(sender);
    if (length == 0) {
        if (start == 0)
            return; // nothing before the caret to remove
        start -= 1;
        length = 1;
    }
    const QString t = sender->text();
    sender->setText(t.left(start) + t.mid(start + length));
    sender->setCursorPosition(start);
}

void TForm3::OnExitFunc(QLineEdit* sender)
{
    AddZero(sender);
    // Every cell's deviation subtracts R04 in verification: a changed zero resistance
    // changes them all.
    if (isZeroEdit(sender))
        FormPaint();
    else
        CalcOtklon(sender);
}

void TForm3::AddZero(QLineEdit* sender)
{
    if (sender->text().isEmpty())
        return;
    double v = 0;
    if (!numtext::tryStrToFloat(sender->text(), v))
        return; // only the key handlers write these texts; nothing else to reformat
    const int id = processor->deviceID;
    bool isNumber = false;
    const double nominal = nominalOf(sender, &isNumber);
    QString pattern;
    if (id == 1 || id == 2)
        pattern = isVerificationLayout() ? QStringLiteral("0.00000") : processor->profFormat;
    else if (!isZeroEdit(sender) && isNumber && nominal > LargeNominal)
        pattern = QStringLiteral("0.0");
    else
        pattern = QStringLiteral("0.0000");
    if (pattern.isEmpty())
        pattern = QStringLiteral("0.0000");
    sender->setText(numtext::formatFloat(pattern, v));
}

// ---------------------------------------------------------------- deviation and tolerance

void TForm3::ComputeClassTerms()
{
    const int n = processor->maxDec - processor->minDec + 1;
    // A class text that is not a number counts as the finest class.
    const double k = numberOr(ui->PrecClass->text(), 0.0);
    classC = k < 0.02 ? 0.01 : k;
    double d = 0.01;
    if (k < 0.02) {
        const QString model = Form1 ? Form1->ui->deviceFullName->text() : QString();
        const QChar c8 = model.size() >= 8 ? model.at(7) : QChar();
        const QChar c9 = model.size() >= 9 ? model.at(8) : QChar();
        const bool fine = c8 == QLatin1Char('1') ||
                          (c8 == QLatin1Char('2') && (c9 == QLatin1Char('0') || c9 == QLatin1Char('1')));
        d = fine ? 0.001 : 0.002;
    } else if (k < 0.05) {
        d = 0.003;
    } else if (k < 0.1) {
        d = 0.005;
    } else if (k < 0.2) {
        d = 0.006;
    }
    classD = 10 * d * n / Rk;
    if (!valEdits.empty()) {
        const float nMin = float(nominalOf(valEdits.back(), nullptr));
        if (k * nMin / Rk * 0.2 >= classD)
            classD = 0;
    }
    priemRatio = ratioOf(ui->priemCoef->text());
}

void TForm3::CalcOtklon(QLineEdit* sender)
{
    auto* e = qobject_cast<TsEdit*>(sender);
    if (!e)
        return;
    const bool verify = isVerificationLayout();
    if (e->text().isEmpty()) {
        e->setColorTone(normalColor);
        return;
    }
    const double v = numberOr(e->text(), 0.0);
    if (isZeroEdit(e)) {
        static const double limitR04[5] = {0.11, 0.022, 1.4, 2.8, 11.0};
        static const double limitR02[5] = {0.114, 0.026, 1.404, 2.83, 11.03};
        const int i = processor->deviceID - 1;
        if (i < 0 || i > 4) {
            ui->otklonR02->setText(QStringLiteral("--"));
            ui->otklonR04->setText(QStringLiteral("--"));
            return;
        }
        const double limit = (e == ui->R02 ? limitR02[i] : limitR04[i]) * priemRatio;
        if (!verify)
            e->setColorTone(v > limit ? ToneRed : normalColor);
        return;
    }
    if (e->tabOrder < 0 || std::size_t(e->tabOrder) >= otklonLabels.size())
        return;
    QLabel* label = otklonLabels[std::size_t(e->tabOrder)];
    if (v == 0) {
        label->setText(QStringLiteral("--"));
        label->adjustSize();
        e->setColorTone(ToneRed);
        return;
    }
    const double nominal = nominalOf(e, nullptr);
    const double r = (verify && !ui->R04->text().isEmpty()) ? numberOr(ui->R04->text(), 0.0) : 0.0;
    const double delta = (v - r - nominal) / (0.01 * nominal);
    const double tolerance = ((Rk / nominal - 1) * classD + classC) * priemRatio;
    QString text;
    if (std::fabs(delta) > 99)
        text = delta < 0 ? QStringLiteral("< -99%") : QStringLiteral("> +99%");
    else
        text = (delta >= 0 ? QStringLiteral("+") : QString()) +
               numtext::formatFloat(QStringLiteral("0.00000"), delta) + QLatin1Char('%');
    label->setText(text);
    label->adjustSize();
    if (!verify)
        e->setColorTone(std::fabs(delta) > tolerance ? ToneRed : normalColor);
}

void TForm3::FormPaint()
{
    for (TsEdit* e : valEdits)
        CalcOtklon(e);
    CalcOtklon(ui->R02);
    CalcOtklon(ui->R04);
}

void TForm3::priemCoefKeyPress(QChar& key)
{
    QLineEdit* e = ui->priemCoef;
    const QString t = e->text();
    if (t.size() == 4 && selLength(e) < 4) {
        key = QChar();
        return;
    }
    if (key == QLatin1Char('.'))
        key = QLatin1Char(',');
    if (key == QChar(KeyEnter) || key == QChar(9)) {
        key = QChar();
        focusNextAfter(e);
        return;
    }
    if (t.isEmpty() && (key == QLatin1Char(',') || key == QLatin1Char('0'))) {
        key = QChar();
        e->setText(QStringLiteral("0,"));
        e->setCursorPosition(2);
        return;
    }
    const int p = selStart(e);
    const QString c = candidate(e, key);
    key = QChar();
    double v = 0;
    // Digits and the comma only: the number conversion would also take blanks, signs and exponents.
    const bool plain = std::all_of(c.begin(), c.end(), [](QChar ch) {
        return (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) || ch == QLatin1Char(',');
    });
    if (plain && numtext::tryStrToFloat(c, v) && v >= 0.8 && v <= 1) {
        e->setText(c);
        e->setCursorPosition(p + 1);
    }
}

void TForm3::priemCoefKeyUp()
{
    priemRatio = ratioOf(ui->priemCoef->text());
    FormPaint();
}
