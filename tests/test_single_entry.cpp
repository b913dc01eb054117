// Single-value entry: the key filter of the value edits, Backspace and Delete, reformatting,
// the enter button, decade stepping and the operator's own step.
#include "tests/WindowFixture.h"

#include "platform/NumberText.h"
#include "ui/EntryLimits.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QTest>
#include <QWheelEvent>

namespace
{

TEST(SelectionText, ReplaceAndAppend)
{
    EXPECT_EQ(TForm1::ReplaceSelection("1234", 4, 4, 4, '5'), "12345");
    EXPECT_EQ(TForm1::ReplaceSelection("1234", 3, 1, 4, '9'), "194");
    EXPECT_EQ(TForm1::ReplaceSelection("1234", 1, 1, 4, '0'), "10234");
    // Out-of-range positions are clamped, never read past the text.
    EXPECT_EQ(TForm1::ReplaceSelection("12", 9, 7, 40, '3'), "123");
    EXPECT_EQ(TForm1::ReplaceSelection("12", -1, -5, 2, '0'), "012");
    EXPECT_EQ(TForm1::AppendKey("12,", '5'), "12,5");
}

class EntryTest : public WindowFixture
{
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        w.connected = true; // the port stays closed: typing sends nothing
    }

    // Types keys into an edit through the window's key handling, from an empty edit unless
    // start is given (then the caret is at its end).
    QString type(QLineEdit* edit, const QString& keys, const QString& start = {})
    {
        edit->setText(start);
        edit->setCursorPosition(int(start.size()));
        for (QChar k : keys) {
            if (k == QLatin1Char('\b'))
                QTest::keyClick(edit, Qt::Key_Backspace);
            else if (k == QLatin1Char('\x7f'))
                QTest::keyClick(edit, Qt::Key_Delete);
            else
                QTest::keyClicks(edit, QString(k));
        }
        return edit->text();
    }
};

struct TypingCase {
    int variant;
    const char* keys; // \b Backspace, \x7f Delete
    const char* start;
    const char* text;
    int unit = 0; // 0 Ω, 1 kΩ, 2 MΩ
};

TEST_F(EntryTest, TypingInTheEntryFieldPerVariant)
{
    const TypingCase cases[] = {
        {0, "12345", "", "1234,5"},
        {0, ",", "", "0,"},
        {0, ".", "", "0,"},
        {0, "1.5", "", "1,5"},
        {0, "0", "", "0,"},
        {0, "05", "", "0,5"},
        {0, "12,5\b", "", "12,"},
        {0, "x-", "", ""},
        {0, "1,2345", "", "1,234"},
        {1, "123456", "", "12345,6"},
        {2, "1234567", "", "123456,7"},
        {3, "05", "", "0"},
        {3, "123", "", "123"},
        {4, "5", "", "50"},
        {4, "53", "", "530"},
        {4, "53\b", "", "50"},
        {4, "\b", "530", "50"},
        {4, "0", "", "0"},
        // No zero shortcut outside ohms; a full integer part still takes the comma.
        {0, "012", "", "0,12", 1},
        {0, "12", "", "1,2", 1},
        {0, "0,0099999999", "", "0,009999999", 2},
        {0, "1", "", "", 2},
        {4, "5,", "", "5,", 1},
    };
    for (const TypingCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "variant " << c.variant << " keys " << c.keys);
        selectVariant(c.variant);
        selectUnit(c.unit);
        EXPECT_EQ(type(ui()->StandartInpEdit, QString::fromLatin1(c.keys), QString::fromLatin1(c.start)),
                  QString::fromLatin1(c.text));
    }
    selectUnit(0);
    // RD5540-5: the first digit stands in front of the final zero, the caret between them.
    selectVariant(4);
    type(ui()->StandartInpEdit, "5");
    EXPECT_EQ(ui()->StandartInpEdit->cursorPosition(), 1);
}

TEST_F(EntryTest, DeleteNeverRemovesAndBackspaceTakesTheSelection)
{
    QLineEdit* e = ui()->StandartInpEdit;
    e->setText("1234,5");
    e->setCursorPosition(0);
    QTest::keyClick(e, Qt::Key_Delete);
    EXPECT_EQ(e->text(), "1234,5");
    e->setSelection(1, 2);
    QTest::keyClick(e, Qt::Key_Backspace);
    EXPECT_EQ(e->text(), "14,5");
    EXPECT_EQ(e->cursorPosition(), 1);
    // A selection is replaced by the typed digit when the result is in range.
    e->setSelection(0, 2);
    QTest::keyClicks(e, "9");
    EXPECT_EQ(e->text(), "9,5");
}

// Text put in by any other way than typing keys: the address edit keeps its text, the value
// edits take nothing past their key filters. The middle click pastes only where the platform
// has a selection (X11): the test also runs under Xvfb with the xcb platform.
TEST_F(EntryTest, PastedDroppedAndComposedTextBypassesNoFilter)
{
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QClipboard* clipboard = QGuiApplication::clipboard();
    for (QClipboard::Mode mode : {QClipboard::Clipboard, QClipboard::Selection})
        clipboard->setText(QStringLiteral("x71"), mode);

    const std::pair<const char*, std::function<void(QLineEdit*)>> ways[] = {
        {"middle click", [](QLineEdit* e) { QTest::mouseClick(e, Qt::MiddleButton); }},
        {"Ctrl+V", [](QLineEdit* e) { QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier); }},
        {"Shift+Insert", [](QLineEdit* e) { QTest::keyClick(e, Qt::Key_Insert, Qt::ShiftModifier); }},
        {"drop",
         [](QLineEdit* e) {
             QMimeData data;
             data.setText(QStringLiteral("x71"));
             const QPointF at = QRectF(e->rect()).center();
             QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
             QCoreApplication::sendEvent(e, &enter);
             QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
             QCoreApplication::sendEvent(e, &drop);
         }},
    };
    for (const auto& [name, put] : ways) {
        SCOPED_TRACE(name);
        for (QLineEdit* e : {ui()->devNum, ui()->StandartInpEdit}) {
            SCOPED_TRACE(e->objectName().toStdString());
            const QString before = e == ui()->devNum ? QStringLiteral("1") : QString();
            e->setText(before);
            e->setFocus();
            put(e);
            EXPECT_EQ(e->text(), before);
        }
    }
    // No context menu, so no "Paste" item either.
    EXPECT_EQ(ui()->StandartInpEdit->contextMenuPolicy(), Qt::NoContextMenu);
    EXPECT_EQ(ui()->devNum->contextMenuPolicy(), Qt::NoContextMenu);

    // Composed text is typed through the key filter, character by character; the address takes
    // none.
    const auto compose = [](QLineEdit* e, const QString& text) {
        QInputMethodEvent im;
        im.setCommitString(text);
        QCoreApplication::sendEvent(e, &im);
        return e->text();
    };
    ui()->StandartInpEdit->clear();
    EXPECT_EQ(compose(ui()->StandartInpEdit, QStringLiteral("x7.5")), "7,5");
    EXPECT_EQ(compose(ui()->devNum, QStringLiteral("x71")), "1");
}

TEST_F(EntryTest, StepEditMinusInOhms)
{
    const struct {
        const char* keys;
        const char* text;
    } cases[] = {{"-", "-"}, {"-5", "-5"}, {"-5-", "-5"}, {"-,", "-0,"}, {"-12345", "-1234,5"}, {"5-", "5-"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        EXPECT_EQ(type(ui()->IncInpEditStep, QString::fromLatin1(c.keys)), QString::fromLatin1(c.text));
    }
    // Other edits take the minus only through their pattern, which has none in ohms.
    EXPECT_EQ(type(ui()->IncInpEditStart, "-5"), "5");
}

TEST_F(EntryTest, MinusIsPartOfTheCelsiusPattern)
{
    selectCelsius(&TForm1::platinum385Click, &TForm1::N1001Click);
    const struct {
        const char* keys;
        const char* text;
    } cases[] = {{"-5", "-5"}, {"-,", "-0,"}, {"-2001", "-200"}, {"8505", "850"}, {"12,345", "12,34"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        EXPECT_EQ(type(ui()->StandartInpEdit, QString::fromLatin1(c.keys)), QString::fromLatin1(c.text));
    }
}

TEST_F(EntryTest, KeysAreDroppedWhileDisconnectedOrLocked)
{
    w.connected = false;
    EXPECT_EQ(type(ui()->StandartInpEdit, "12"), "");
    EXPECT_EQ(type(ui()->IncInpEditStep, "-5"), "");
    w.connected = true;
    ui()->StandartInpButtonEnter->setEnabled(false);
    EXPECT_EQ(type(ui()->IncInpEditStart, "12"), "");
}

TEST_F(EntryTest, AddZeroReformatsOrComplains)
{
    QLineEdit* e = ui()->IncInpEditStart;
    const struct {
        int unit;
        const char* text;
        const char* after;
    } cases[] = {{0, "12,5", "12,500"}, {1, "1,5", "1,500000"}, {0, "-", "-"}, {0, "", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        selectUnit(c.unit);
        e->setText(c.text);
        w.IncInpEditExit(e);
        EXPECT_EQ(e->text(), c.after);
    }
    EXPECT_TRUE(seam.shown().empty());
    e->setText(",");
    w.AddZero(e);
    EXPECT_EQ(e->text(), ",");
    ASSERT_EQ(seam.shown().size(), 1u);
    EXPECT_EQ(seam.shown()[0].caption, "Ошибка");
    EXPECT_EQ(seam.shown()[0].text, "Нечисловое значение!");
    EXPECT_EQ(seam.shown()[0].type, DialogType::Error);
}

TEST_F(EntryTest, EnterInARangeEditReformatsAndMovesOn)
{
    ui()->IncrInputGroup->show(); // the range input, where these edits are used
    ui()->IncInpEditStart->setFocus();
    type(ui()->IncInpEditStart, "7");
    QTest::keyClick(ui()->IncInpEditStart, Qt::Key_Return);
    EXPECT_EQ(ui()->IncInpEditStart->text(), "7,000");
    ASSERT_TRUE(w.focusWidget());
    EXPECT_EQ(w.focusWidget()->objectName(), "IncInpEditEnd");
}

TEST_F(EntryTest, EnterButtonRefusals)
{
    w.connected = false;
    ui()->StandartInpEdit->setText("5");
    w.StandartInpButtonEnterClick();
    ASSERT_EQ(seam.shown().size(), 1u);
    EXPECT_EQ(seam.shown()[0].caption, "Внимание");
    EXPECT_EQ(seam.shown()[0].text, "Нет соединения с прибором!");
    EXPECT_EQ(seam.shown()[0].type, DialogType::Warning);

    // Out of range in kΩ: checked in ohms, refused, unit and digit selector as before.
    w.connected = true;
    seam.clear();
    selectUnit(1);
    ui()->SelectDigit->setPosition(-2);
    const QString step = ui()->Digit->text();
    ui()->StandartInpEdit->setText("10");
    w.StandartInpButtonEnterClick();
    ASSERT_EQ(seam.shown().size(), 1u);
    EXPECT_EQ(seam.shown()[0].text, "Значение за пределами диапазона прибора или не кратно дискретности!");
    EXPECT_EQ(ui()->StandartInpEdit->text(), "10,000000");
    EXPECT_EQ(w.unitIndex(), 1);
    EXPECT_EQ(w.processor->ohmFormat, "0.000000");
    EXPECT_EQ(ui()->SelectDigit->position(), -2);
    EXPECT_EQ(ui()->Digit->text(), step);
    EXPECT_TRUE(ui()->StandartInpButtonEnter->isEnabled());
    EXPECT_EQ(ui()->InfoValsOhm->count(), 0);

    // An empty field, or one whose text is no number, sends nothing.
    seam.clear();
    ui()->StandartInpEdit->clear();
    w.StandartInpButtonEnterClick();
    EXPECT_TRUE(seam.shown().empty());
    ui()->StandartInpEdit->setText(",");
    w.StandartInpButtonEnterClick();
    ASSERT_EQ(seam.shown().size(), 2u);
    EXPECT_EQ(seam.shown()[0].text, "Нечисловое значение!");
    EXPECT_EQ(seam.shown()[1].text, "Значение за пределами диапазона прибора или не кратно дискретности!");
    EXPECT_EQ(ui()->InfoValsOhm->count(), 0);
}

// A lone "," (left when the "0" of "0," is deleted) matches the range pattern as a beginning
// but is no number: the enter button refuses it as out of range, as the setting itself would,
// and keeps the controls unlocked.
TEST_F(EntryTest, EnterButtonRefusesALoneCommaAsOutOfRange)
{
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QLineEdit* e = ui()->StandartInpEdit;
    EXPECT_EQ(type(e, ","), "0,");
    QTest::keyClick(e, Qt::Key_Left);
    QTest::keyClick(e, Qt::Key_Backspace);
    ASSERT_EQ(e->text(), ",");
    const QStringList logBefore = log();
    const QString lastBefore = w.lastValue;
    QTest::mouseClick(ui()->StandartInpButtonEnter, Qt::LeftButton);

    ASSERT_EQ(seam.shown().size(), 2u);
    EXPECT_EQ(seam.shown()[0].caption, "Ошибка");
    EXPECT_EQ(seam.shown()[0].text, "Нечисловое значение!");
    EXPECT_EQ(seam.shown()[1].caption, "Внимание");
    EXPECT_EQ(seam.shown()[1].text, "Значение за пределами диапазона прибора или не кратно дискретности!");
    EXPECT_EQ(seam.shown()[1].type, DialogType::Warning);
    EXPECT_EQ(e->text(), ",");
    EXPECT_FALSE(e->isReadOnly());
    EXPECT_TRUE(ui()->StandartInpButtonEnter->isEnabled());
    EXPECT_TRUE(w.inputAllowed);
    EXPECT_EQ(w.lastValue, lastBefore);
    EXPECT_FALSE(w.setPending);
    EXPECT_EQ(ui()->InfoValsOhm->count(), 0);
    EXPECT_EQ(log(), logBefore);
}

TEST_F(EntryTest, LoneMinusInCelsiusIsRefused)
{
    selectCelsius(&TForm1::platinum385Click, &TForm1::N1001Click);
    w.lastValue = "25";
    ui()->StandartInpEdit->setText("-");
    w.StandartInpButtonEnterClick();
    ASSERT_EQ(seam.shown().size(), 1u);
    EXPECT_EQ(seam.shown()[0].text, "Значение за пределами диапазона прибора или не кратно дискретности!");
    EXPECT_EQ(w.lastValue, "25");
    EXPECT_EQ(ui()->InfoValsC->count(), 0);
    EXPECT_TRUE(ui()->StandartInpButtonEnter->isEnabled());
    EXPECT_TRUE(w.inputAllowed);
}

TEST_F(EntryTest, EnterButtonSendsTheValueInOhms)
{
    selectUnit(1);
    ui()->StandartInpEdit->setText("1,5");
    w.StandartInpButtonEnterClick();
    EXPECT_EQ(w.lastValue, "1500,000");
    EXPECT_STREQ(reinterpret_cast<const char*>(w.pendingValue), "1500,000");
    ASSERT_EQ(ui()->InfoValsOhm->count(), 1);
    EXPECT_EQ(ui()->InfoValsOhm->item(0)->text(), "1500,000");
    // The lock while the set runs is checked with an instrument connected (test_set_value):
    // here the closed port ends the connection, and that gives the input back.
    EXPECT_EQ(w.unitIndex(), 1);
}

TEST_F(EntryTest, EnterKeyInTheFieldSends)
{
    type(ui()->StandartInpEdit, "25");
    QTest::keyClick(ui()->StandartInpEdit, Qt::Key_Return);
    EXPECT_EQ(w.lastValue, "25,000");
    EXPECT_EQ(ui()->InfoValsOhm->count(), 1);
}

struct StepCase {
    int variant;
    int unit;
    int decade; // SelectDigit position
    const char* field;
    const char* lastValue;
    bool up;
    const char* shown;
};

TEST_F(EntryTest, DecadeStepping)
{
    const StepCase cases[] = {
        {0, 1, -1, "", "1500,000", true, "1,600000"}, // empty field: from lastValue in kΩ
        {0, 0, 0, "", "1500,000", false, "1499,000"},
        {0, 0, -2, "0,005", "0", false, "0,000"},  // below zero
        {0, 0, 3, "9999,999", "0", true, "0,000"}, // above the top
        {0, 0, -3, "0,999", "0", true, "1,000"},   // across a decade edge
        {0, 2, -9, "0,000000001", "0", true, "0,000000002"},
        {4, 0, 1, "99999980", "0", true, "99999990"},
        {4, 0, 2, "50", "0", false, "0"},
        {1, 0, -2, "", "", true, ""}, // no base at all: nothing
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "variant " << c.variant << " unit " << c.unit << " field " << c.field);
        selectVariant(c.variant);
        selectUnit(c.unit);
        ui()->SelectDigit->setPosition(c.decade);
        ui()->StandartInpEdit->setText(c.field);
        w.lastValue = c.lastValue;
        if (c.up)
            w.DigitUpClick();
        else
            w.DigitDownClick();
        EXPECT_EQ(ui()->StandartInpEdit->text(), c.shown);
        EXPECT_EQ(w.unitIndex(), c.unit);
        EXPECT_EQ(ui()->SelectDigit->position(), c.decade);
    }
}

TEST_F(EntryTest, KeypadKeysStepTheField)
{
    ui()->SelectDigit->setPosition(0);
    type(ui()->StandartInpEdit, "5");
    QTest::keyClick(ui()->StandartInpEdit, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(ui()->StandartInpEdit->text(), "6,000");
    QTest::keyClick(ui()->StandartInpEdit, Qt::Key_Minus, Qt::KeypadModifier);
    QTest::keyClick(ui()->StandartInpEdit, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(ui()->StandartInpEdit->text(), "4,000");
    EXPECT_EQ(ui()->StandartInpEdit->cursorPosition(), 5);
}

// In °C a minus is a character of the pattern, yet the step key must not type it.
TEST_F(EntryTest, KeypadMinusInCelsiusOnlySteps)
{
    selectCelsius(&TForm1::platinum385Click, &TForm1::N1001Click);
    ui()->SelectDigit->setPosition(2);
    w.lastValue = "-150";
    QTest::keyClick(ui()->StandartInpEdit, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(ui()->StandartInpEdit->text(), "") << "-250 °C is below the platinum range";
}

TEST_F(EntryTest, StepInCelsius)
{
    selectCelsius(&TForm1::platinum385Click, &TForm1::N1001Click);
    ui()->SelectDigit->setPosition(2);
    ui()->StandartInpEdit->setText("800");
    w.DigitUpClick();
    EXPECT_EQ(ui()->StandartInpEdit->text(), "") << "900 °C is above the platinum range";
    w.lastValue = "25";
    w.DigitDownClick();
    EXPECT_EQ(ui()->StandartInpEdit->text(), "-75,00");
}

// Zero below the bottom is sent on RD5540-1 in ohms only.
TEST_F(EntryTest, InstaSendOfAStepBelowZero)
{
    ui()->InstaSend->setChecked(true);
    for (int variant : {0, 1}) {
        SCOPED_TRACE(variant);
        selectVariant(variant);
        w.connected = true;
        ui()->SelectDigit->setPosition(0);
        ui()->StandartInpEdit->setText("0,5");
        w.lastValue = "7";
        const int before = ui()->InfoValsOhm->count();
        w.DigitDownClick();
        EXPECT_EQ(ui()->InfoValsOhm->count() - before, variant == 0 ? 1 : 0);
        EXPECT_EQ(w.lastValue, variant == 0 ? "0,000" : "7");
    }
    // A taken step goes out at once on every variant.
    selectVariant(2);
    w.connected = true;
    ui()->StandartInpEdit->setText("0,5");
    w.DigitUpClick();
    EXPECT_EQ(w.lastValue, "1,5");
}

// With "Оперативно" one wheel step goes out; past the top of the range nothing is sent, and
// the wheel stays off until a set completes.
TEST_F(EntryTest, WheelWithInstaSendPastTheTop)
{
    const auto wheel = [this](int delta) {
        QWheelEvent e(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        w.WheelStep(&e);
    };
    ui()->InstaSend->setChecked(true);
    ui()->SelectDigit->setPosition(0);
    ui()->StandartInpEdit->setText("9999,999");
    w.lastValue = "7";
    wheel(120);
    EXPECT_EQ(ui()->StandartInpEdit->text(), "0,000");
    EXPECT_FALSE(w.inputAllowed);
    EXPECT_EQ(w.lastValue, "7");
    EXPECT_EQ(ui()->InfoValsOhm->count(), 0);
    wheel(-120);
    EXPECT_EQ(ui()->StandartInpEdit->text(), "0,000");

    // A step that is taken goes out at once.
    w.inputAllowed = true;
    ui()->StandartInpEdit->setText("5");
    wheel(-120);
    EXPECT_EQ(w.lastValue, "4,000");
    EXPECT_STREQ(reinterpret_cast<const char*>(w.pendingValue), "4,000");
    EXPECT_EQ(ui()->InfoValsOhm->count(), 1);
}

TEST_F(EntryTest, TheStepShownAndTheOperatorsOwnStep)
{
    const struct {
        int unit;
        int position;
        const char* shown;
    } cases[] = {{0, -3, "0,001"}, {0, -1, "0,1"}, {0, 0, "1"}, {0, 2, "100"}, {1, -6, "1E-6"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        selectUnit(c.unit);
        ui()->SelectDigit->setPosition(c.position);
        EXPECT_EQ(ui()->Digit->text(), c.shown);
    }
    selectUnit(0);
    QLineEdit* d = ui()->Digit;
    // At a decade position typing does nothing.
    ui()->SelectDigit->setPosition(1);
    QTest::keyClicks(d, "5");
    EXPECT_EQ(d->text(), "10");

    // The user position shows "Пол" until clicked, then takes a step the pattern allows.
    w.userStepText.clear();
    ui()->SelectDigit->setPosition(ui()->SelectDigit->max());
    EXPECT_EQ(d->text(), "Пол");
    QTest::mouseClick(d, Qt::LeftButton);
    EXPECT_EQ(d->text(), "");
    QTest::keyClicks(d, "2,5");
    EXPECT_EQ(d->text(), "2,5");
    EXPECT_EQ(w.userStepText, "2,5");
    ui()->StandartInpEdit->setText("10");
    w.DigitUpClick();
    EXPECT_EQ(ui()->StandartInpEdit->text(), "12,500");

    const struct {
        const char* keys;
        const char* text;
    } steps[] = {{"10000", "10000"}, {"100001", "10000"}, {"12345", "1234,5"}, {"1234,5678", "1234,567"}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.keys);
        d->clear();
        QTest::keyClicks(d, s.keys);
        EXPECT_EQ(d->text(), s.text);
    }
    // Back at the user position the operator's step is shown again.
    ui()->SelectDigit->setPosition(0);
    ui()->SelectDigit->setPosition(ui()->SelectDigit->max());
    EXPECT_EQ(d->text(), "1234,567");

    useEnglish();
    w.userStepText.clear();
    ui()->SelectDigit->setPosition(0);
    ui()->SelectDigit->setPosition(ui()->SelectDigit->max());
    EXPECT_EQ(d->text(), "User");
    w.DigitUpClick(); // no number: nothing happens
    EXPECT_EQ(ui()->StandartInpEdit->text(), "12,500");
}

TEST(UserStepPattern, AcceptsUpToTenThousand)
{
    const boost::regex re(userStepPattern);
    for (const char* ok : {"10000", "10000,000", "9999,999", "0,001", "1,", ""})
        EXPECT_TRUE(matchesPattern(QByteArray(ok), re)) << ok;
    for (const char* bad : {"10001", "10000,001", "12345", "1,0001", "-1"})
        EXPECT_FALSE(matchesPattern(QByteArray(bad), re)) << bad;
}

TEST_F(EntryTest, ResetButtonEmptiesTheField)
{
    ui()->StandartInpEdit->setText("12,5");
    w.StandartInpButtonDelClick();
    EXPECT_TRUE(ui()->StandartInpEdit->text().isEmpty());
}

} // namespace
