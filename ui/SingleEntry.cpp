// Single-value entry: the key filter and Backspace handling shared with the range edits and
// the step field, reformatting on leave, the enter button and decade stepping.
#include "instrument/Mydialogs.h"
#include "instrument/ProfileProcessor.h"
#include "platform/CodePage.h"
#include "platform/NumberText.h"
#include "ui/EditKeys.h"
#include "ui/EntryLimits.h"
#include "ui/main.h"
#include "ui_TForm1.h"

#include <QListWidget>
#include <algorithm>
#include <cmath>

namespace
{

constexpr int vkBack = 8;
constexpr int vkDelete = 46;
constexpr int vkAdd = 107;      // '+' of the numeric keypad
constexpr int vkSubtract = 109; // '-' of the numeric keypad
constexpr int vkEqual = 187;    // '=' key; with Shift it is '+'

const boost::regex& userStepRegex()
{
    static const boost::regex re(userStepPattern);
    return re;
}

// The window's own Enabled flag of a control, as the checks mean it: a button inside a
// disabled group still counts as enabled.
bool ownEnabled(const QWidget* w)
{
    return !w->testAttribute(Qt::WA_ForceDisabled);
}

// Selection of an edit as the key filter sees it: start (the caret when nothing is
// selected) and end.
struct Selection {
    int start;
    int end;
};

Selection selectionOf(const QLineEdit* edit)
{
    if (edit->hasSelectedText()) {
        const int start = edit->selectionStart();
        return {start, start + int(edit->selectedText().size())};
    }
    return {edit->cursorPosition(), edit->cursorPosition()};
}

// Moves the focus on from an edit in tab order, as the Tab key would.
void focusNextAfter(QWidget* from)
{
    for (QWidget* w = from->nextInFocusChain(); w && w != from; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(from->window())) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

} // namespace

QByteArray TForm1::ReplaceSelection(const QByteArray& text, int selEnd, int caret, int length, char key)
{
    const int size = std::clamp(length, 0, int(text.size()));
    const int from = std::clamp(caret, 0, size);
    const int to = std::clamp(selEnd, from, size);
    return text.left(from) + key + text.mid(to, size - to);
}

QByteArray TForm1::AppendKey(const QByteArray& text, char key)
{
    return text + key;
}

void TForm1::EnterOm(QLineEdit* sender, QChar& key)
{
    if (!connected || !ownEnabled(ui->StandartInpButtonEnter)) {
        key = QChar();
        return;
    }
    if (key == QChar(13)) {
        key = QChar();
        if (sender == ui->StandartInpEdit) {
            if (!sender->text().isEmpty() && !profTransfer && ownEnabled(ui->StandartInpButtonEnter))
                StandartInpButtonEnterClick();
        } else {
            AddZero(sender);
            focusNextAfter(sender);
        }
        return;
    }
    if (key == QLatin1Char('.'))
        key = QLatin1Char(',');

    const QString text = sender->text();
    if (sender == ui->IncInpEditStep && key == QLatin1Char('-') && !text.contains(QLatin1Char('-')))
        return; // the edit puts the minus in at the caret

    const int variant = variantIndex();
    const int unit = unitIndex();
    const bool celsius = celsiusMode();
    const bool fiveInOhms = variant == 4 && unit == 0 && !celsius;

    QByteArray working;
    char c = 0;
    if (!editkeys::cp1251Typing(text, key, &working, &c)) {
        key = QChar();
        return;
    }
    const bool digit = c >= '0' && c <= '9';

    if ((variant == 3 || variant == 4) && text.isEmpty() && c == '0')
        return; // a lone zero goes in as typed
    if (fiveInOhms) {
        // Values there are multiples of 10 Ω: the final zero is kept in place, digits go in
        // front of it.
        if (working.isEmpty() && digit)
            working = "0";
        if (!working.endsWith('0'))
            working += '0';
    }

    if ((text.isEmpty() || text == QLatin1String("-")) && (c == ',' || c == '0') && variant < 3 &&
        (unit == 0 || celsius)) {
        sender->setText(text + QStringLiteral("0,"));
        sender->setCursorPosition(int(sender->text().size()));
        key = QChar();
        return;
    }

    Selection sel = selectionOf(sender);
    QByteArray minus;
    if (!celsius && sender == ui->IncInpEditStep && working.startsWith('-')) {
        // The minus of a range step is no part of the Ω pattern: match without it.
        minus = "-";
        working.remove(0, 1);
        sel.start = std::max(0, sel.start - 1);
        sel.end = std::max(0, sel.end - 1);
    }
    QByteArray plain = cp1251::fromUnicode(text);
    plain.remove(0, minus.size());
    const bool atEnd = sel.start == sel.end && sel.start == int(plain.size());
    if (fiveInOhms && sel.start == sel.end && sel.start == int(working.size()) && sel.start > 0) {
        --sel.start;
        --sel.end;
    }
    const QByteArray candidate = (sel.start == sel.end && sel.start == int(working.size()))
                                     ? AppendKey(working, c)
                                     : ReplaceSelection(working, sel.end, sel.start, int(working.size()), c);

    const bool userStep = sender == ui->Digit && processor->deviceID == 1 && !celsius;
    const boost::regex& pattern = userStep ? userStepRegex() : processor->rangeRegex;
    key = QChar();

    if (matchesPattern(candidate, pattern)) {
        sender->setText(cp1251::toUnicode(minus + candidate));
        sender->setCursorPosition(int(minus.size()) + sel.start + 1);
        return;
    }
    // A full integer part takes the digit as the first decimal: 12345 and '6' give 12345,6,
    // 0 and '5' give 0,5.
    if (digit && !candidate.contains(',') && atEnd) {
        const QByteArray withComma = plain + ',' + c;
        if (matchesPattern(withComma, pattern)) {
            sender->setText(cp1251::toUnicode(minus + withComma));
            sender->setCursorPosition(int(sender->text().size()));
        }
    }
}

void TForm1::AddZero(QLineEdit* sender)
{
    const QString text = sender->text();
    if (text.isEmpty() || text == QLatin1String("-"))
        return;
    double v = 0;
    if (!numtext::tryStrToFloat(text, v)) {
        ShowMessageBox(tr2("Ошибка", "Error"), tr2("Нечисловое значение!", "Non-numeric data!"),
                       DialogType::Error, mbOK);
        return;
    }
    sender->setText(numtext::formatFloat(celsiusMode() ? processor->celsiusFormat : processor->ohmFormat, v));
}

void TForm1::IncInpEditExit(QLineEdit* sender)
{
    AddZero(sender);
}

void TForm1::DelKeys(QLineEdit* sender, int& key, Qt::KeyboardModifiers /*shift*/)
{
    if (key == vkDelete) {
        key = 0;
        return;
    }
    if (key != vkBack)
        return;
    key = 0;
    const QString text = sender->text();
    Selection sel = selectionOf(sender);
    const bool fiveInOhms = variantIndex() == 4 && unitIndex() == 0 && !celsiusMode();
    if (fiveInOhms && sel.start == sel.end && sel.start == int(text.size()) && sel.start > 0) {
        --sel.start; // the final zero stays
        --sel.end;
    }
    if (sel.start == sel.end) {
        if (sel.start == 0)
            return;
        --sel.start;
    }
    sender->setText(text.left(sel.start) + text.mid(sel.end));
    sender->setCursorPosition(sel.start);
}

void TForm1::StandartInpEditKeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if (ui->StandartInpEdit->isReadOnly())
        return;
    DelKeys(ui->StandartInpEdit, key, shift);
    const bool up = key == vkAdd || (key == vkEqual && (shift & Qt::ShiftModifier));
    const bool down = key == vkSubtract;
    if (up)
        DigitUpClick();
    else if (down)
        DigitDownClick();
    if (up || down)
        ui->StandartInpEdit->setCursorPosition(int(ui->StandartInpEdit->text().size()));
}

void TForm1::StandartInpButtonEnterClick()
{
    if (!connected) {
        ShowMessageBox(tr2("Внимание", "Attention"),
                       tr2("Нет соединения с прибором!", "Device is not connected!"), DialogType::Warning,
                       mbOK);
        return;
    }
    if (ui->StandartInpEdit->text().isEmpty() || profTransfer || !ownEnabled(ui->StandartInpButtonEnter))
        return;
    // A status poll on the line: the value is set as soon as its answer came.
    if (WaitForLine([this] { StandartInpButtonEnterClick(); }))
        return;
    // Read-only: a set of this field still runs.
    if (ui->StandartInpEdit->isReadOnly())
        return;

    AddZero(ui->StandartInpEdit);
    const QString typed = ui->StandartInpEdit->text();
    double number = 0;
    // A text that is no number (a lone "," or, in °C, "-": beginnings the range patterns admit)
    // is refused like a value out of range, after AddZero's complaint, as SetValueOnDevice
    // refuses it; the controls are not locked for a value that is never sent.
    const bool isNumber = numtext::tryStrToFloat(typed, number);

    const CheckLimits limits = ohmCheckLimits(*this);
    const bool celsius = celsiusMode();
    const int unit = unitIndex();
    const QString value =
        (!celsius && unit != 0) ? numtext::formatFloat(limits.ohmFormat, number * unitFactor(unit)) : typed;
    if (!isNumber || !matchesPattern(value, limits.rangeRegex)) {
        ShowMessageBox(tr2("Внимание", "Attention"),
                       tr2("Значение за пределами диапазона прибора или не кратно дискретности!",
                           "Value is not correct"),
                       DialogType::Warning, mbOK);
        return;
    }

    ui->DigitUp->setEnabled(false);
    ui->DigitDown->setEnabled(false);
    ui->StandartInpButtonEnter->setEnabled(false);
    ui->StandartInpEdit->setReadOnly(true);
    inputAllowed = false;
    lastValue = value;
    SetValueOnDevice(value);
    ui->StandartInpEdit->setFocus();
    if (curHistoryList) {
        curHistoryList->addItem(lastValue);
        curHistoryList->scrollToBottom();
    }
}

void TForm1::StandartInpButtonDelClick()
{
    ui->StandartInpEdit->clear();
}

namespace
{

// One decade step up (+1) or down (-1) from the entry field, or from the last value sent
// when the field is empty.
void stepValue(TForm1& w, int direction)
{
    Ui::TForm1* ui = w.ui;
    double step = 0;
    if (!numtext::tryStrToFloat(ui->Digit->text(), step))
        return;
    const bool celsius = w.celsiusMode();
    const double factor = celsius ? 1 : unitFactor(w.unitIndex());
    double base = 0;
    if (ui->StandartInpEdit->text().isEmpty()) {
        if (w.lastValue.isEmpty() || !numtext::tryStrToFloat(w.lastValue, base))
            return;
        base /= factor; // lastValue is in ohms
    } else if (!numtext::tryStrToFloat(ui->StandartInpEdit->text(), base)) {
        return;
    }
    const double value = base + direction * step;

    bool taken = false;
    QString shown;
    if (celsius) {
        const QString text = numtext::formatFloat(*w.processor->curFormat, value);
        taken = matchesPattern(text, w.processor->rangeRegex);
        shown = taken ? text : QString();
    } else {
        const CheckLimits limits = ohmCheckLimits(w);
        const QString ohmText = numtext::formatFloat(limits.ohmFormat, value * factor);
        double ohms = 0;
        taken = matchesPattern(ohmText, limits.rangeRegex) && numtext::tryStrToFloat(ohmText, ohms);
        shown = numtext::formatFloat(w.processor->ohmFormat, taken ? ohms / factor : 0.0);
    }
    ui->StandartInpEdit->setText(shown);

    if (!ui->InstaSend->isChecked())
        return;
    // Past the bottom of RD5540-1 in ohms the zero goes out too; elsewhere a refused step
    // sends nothing.
    if (taken || (!celsius && w.processor->deviceID == 1 && value < 0.1))
        w.StandartInpButtonEnterClick();
}

} // namespace

void TForm1::DigitUpClick()
{
    stepValue(*this, +1);
}

void TForm1::DigitDownClick()
{
    stepValue(*this, -1);
}

void TForm1::Edit1Change()
{
    int position = ui->SelectDigit->position();
    numtext::tryStrToInt(ui->Edit1->text(), position);
    if (position >= ui->SelectDigit->max())
        ui->Digit->setText(userStepText.isEmpty() ? tr2("Пол", "User") : userStepText);
    else
        ui->Digit->setText(numtext::floatToStr(std::pow(10.0, position)));
}

void TForm1::DigitClick()
{
    const QString text = ui->Digit->text();
    if (text == QStringLiteral("Пол") || text == QLatin1String("User"))
        ui->Digit->clear();
}

void TForm1::DigitKeyPress(QChar& key)
{
    if (ui->SelectDigit->position() >= ui->SelectDigit->max())
        EnterOm(ui->Digit, key);
    else
        key = QChar();
}

void TForm1::DigitKeyUp()
{
    userStepText = ui->Digit->text();
}
