// Value limits: the Ω and °C tables on their own, then the variant, unit and quantity
// handlers of the main window that apply them.
#include "instrument/ValueLimitTables.h"
#include "platform/NumberText.h"
#include "tests/WindowFixture.h"

#include <QSignalBlocker>
#include <boost/regex.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

namespace
{

bool matches(const char* pattern, const std::string& text)
{
    return boost::regex_match(text, boost::regex(pattern));
}

// ---- Ω rows ----

struct OhmCase {
    int variant; // BoxDevice index
    int unit;    // 0 Ω, 1 kΩ, 2 MΩ
    const char* format;
    const char* digit;
    int selMin, selMax;
    std::vector<std::string> accepted;
    std::vector<std::string> refused;
};

// Per row: zero, the step, the top value and a value at a decade edge pass; the top plus
// one step, a step finer than the variant's and a negative value do not.
const OhmCase kOhmCases[] = {
    {0,
     0,
     "0.000",
     "0,001",
     -3,
     4,
     {"0", "0,001", "9999,999", "1000", "1000,000"},
     {"10000", "0,0001", "9999,9991", "-1"}},
    {0,
     1,
     "0.000000",
     "1E-6",
     -6,
     1,
     {"0", "0,000001", "9,999999", "1,000000", "1"},
     {"10", "0,0000001", "-1"}},
    {0,
     2,
     "0.000000000",
     "1E-9",
     -9,
     -2,
     {"0", "0,000000001", "0,009999999", "0,001"},
     {"0,01", "0,0000000001", "1"}},
    {1, 0, "0.00", "0,01", -2, 5, {"0", "0,01", "99999,99", "10000"}, {"100000", "0,001", "-1"}},
    {1, 1, "0.00000", "0,00001", -5, 2, {"0", "0,00001", "99,99999", "10"}, {"100", "0,000001"}},
    {1, 2, "0.00000000", "1E-8", -8, -1, {"0", "0,00000001", "0,09999999"}, {"0,1", "0,000000001"}},
    {2, 0, "0.0", "0,1", -1, 6, {"0", "0,1", "999999,9", "100000"}, {"1000000", "0,01", "-1"}},
    {2, 1, "0.0000", "0,0001", -4, 3, {"0", "0,0001", "999,9999", "100", "100,0000"}, {"1000", "0,00001"}},
    {2, 2, "0.0000000", "1E-7", -7, 0, {"0", "0,0000001", "0,9999999"}, {"1", "0,00000001"}},
    {3, 0, "0", "1", 0, 7, {"0", "1", "9999999", "1000000"}, {"10000000", "0,5", "1,0"}},
    {3, 1, "0.000", "0,001", -3, 4, {"0", "0,001", "9999,999"}, {"10000", "0,0001"}},
    {3, 2, "0.000000", "1E-6", -6, 1, {"0", "0,000001", "9,999999"}, {"10", "0,0000001"}},
    {4, 0, "0", "10", 1, 8, {"0", "10", "99999990", "1000"}, {"99999995", "5", "100000000", "15"}},
    {4, 1, "0.00", "0,01", -2, 5, {"0", "0,01", "99999,99"}, {"100000", "0,001"}},
    {4, 2, "0.00000", "0,00001", -5, 2, {"0", "0,00001", "99,99999"}, {"100", "0,000001"}},
};

void PrintTo(const OhmCase& c, std::ostream* os)
{
    *os << "variant index " << c.variant << ", unit " << c.unit;
}

class OhmRowTest : public ::testing::TestWithParam<OhmCase>
{
};

TEST_P(OhmRowTest, RangePatternStepAndSelector)
{
    const OhmCase& c = GetParam();
    ASSERT_TRUE(valuelimits::hasOhmLimits(c.variant, c.unit));
    const valuelimits::OhmLimits& l = valuelimits::ohmLimits(c.variant, c.unit);
    EXPECT_EQ(l.row, 3 * c.variant + c.unit + 1);
    EXPECT_STREQ(l.format, c.format);
    for (const std::string& t : c.accepted)
        EXPECT_TRUE(matches(l.rangePattern, t)) << t;
    for (const std::string& t : c.refused)
        EXPECT_FALSE(matches(l.rangePattern, t)) << t;
    EXPECT_EQ(numtext::floatToStr(l.step), QString::fromUtf8(c.digit));
    EXPECT_EQ(l.selectorMin, c.selMin);
    EXPECT_EQ(l.selectorMax, c.selMax);
    // The step written in the row's own format is a value of the row.
    EXPECT_TRUE(
        matches(l.rangePattern, numtext::formatFloat(QString::fromLatin1(l.format), l.step).toStdString()));
}

std::string ohmCaseName(const ::testing::TestParamInfo<OhmCase>& info)
{
    static const char* const units[] = {"Ohm", "kOhm", "MOhm"};
    return "RD5540_" + std::to_string(info.param.variant + 1) + "_" + units[info.param.unit];
}

INSTANTIATE_TEST_SUITE_P(AllRows, OhmRowTest, ::testing::ValuesIn(kOhmCases), ohmCaseName);

TEST(OhmLimitsTest, OutsideTheTableIsRefused)
{
    EXPECT_FALSE(valuelimits::hasOhmLimits(-1, 0));
    EXPECT_FALSE(valuelimits::hasOhmLimits(5, 0));
    EXPECT_FALSE(valuelimits::hasOhmLimits(0, 3));
    EXPECT_THROW(valuelimits::ohmLimits(0, -1), std::out_of_range);
    EXPECT_EQ(valuelimits::entryPattern(5), nullptr);
    EXPECT_EQ(valuelimits::ohmLimits(4, 0).selectorPosition, 1);
}

TEST(EntryPatternTest, FiveDigitsOrEightForTheHighVariants)
{
    for (int v = 0; v < valuelimits::VariantCount; ++v) {
        SCOPED_TRACE(v);
        const char* p = valuelimits::entryPattern(v);
        EXPECT_TRUE(matches(p, "12345,6789"));
        EXPECT_FALSE(matches(p, "12345,67891"));
        EXPECT_FALSE(matches(p, ""));
        EXPECT_EQ(matches(p, "12345678,9"), v >= 2);
    }
}

// ---- °C rows ----

struct FamilyRange {
    valuelimits::RtdFamily family;
    int rtdType;
    int lo, hi;
};
const FamilyRange kFamilies[] = {
    {valuelimits::RtdFamily::Platinum, 0, -200, 850},
    {valuelimits::RtdFamily::Copper, 2, -180, 200},
    {valuelimits::RtdFamily::Nickel, 3, -60, 180},
};

struct CelsiusRow {
    int r0;
    bool rd5540_1;
    int row;
    int decimals; // resolution 10^-decimals
    const char* celsiusFormat;
};
const CelsiusRow kCelsiusRows[] = {
    {10, true, 1, 1, "0.0"},  {10, false, 2, 0, "0.0"},    {100, true, 3, 2, "0.00"},
    {50, false, 4, 1, "0.0"}, {1000, true, 5, 3, "0.000"}, {500, false, 6, 2, "0.00"},
};

QString fixed(int decimals, double v)
{
    return numtext::formatFloat(decimals ? "0." + QString(decimals, '0') : QStringLiteral("0"), v);
}

// Every row and family: the whole range in tenths (whole degrees for T2) and the edges at
// the row's resolution pass, one resolution step beyond either edge and a digit finer
// than the resolution do not.
TEST(CelsiusLimitsTest, EveryRowAndFamilyAtItsEdgesAndResolution)
{
    for (const CelsiusRow& r : kCelsiusRows) {
        const valuelimits::CelsiusLimits& l = valuelimits::celsiusLimits(r.r0, r.rd5540_1);
        ASSERT_EQ(l.row, r.row);
        EXPECT_DOUBLE_EQ(l.digitStep, std::pow(10.0, -r.decimals));
        EXPECT_EQ(l.selectorMin, -r.decimals);
        EXPECT_EQ(QString::fromLatin1(l.editFormat), r.decimals ? "0." + QString(r.decimals, '0') : "0");
        EXPECT_STREQ(l.celsiusFormat, r.celsiusFormat);
        for (const FamilyRange& f : kFamilies) {
            SCOPED_TRACE(testing::Message() << "T" << r.row << " family " << f.rtdType);
            valuelimits::RtdFamily fam;
            ASSERT_TRUE(valuelimits::rtdFamily(f.rtdType, fam));
            ASSERT_EQ(fam, f.family);
            const char* p = valuelimits::celsiusPattern(r.row, f.family);
            ASSERT_NE(p, nullptr);
            const boost::regex re(p);
            auto ok = [&](const QString& t) { return boost::regex_match(t.toStdString(), re); };

            const double res = std::pow(10.0, -r.decimals);
            for (double v : {double(f.lo), f.lo + res, 0.0, res, f.hi - res, double(f.hi)})
                EXPECT_TRUE(ok(fixed(r.decimals, v))) << fixed(r.decimals, v).toStdString();
            for (double v : {f.lo - res, f.hi + res})
                EXPECT_FALSE(ok(fixed(r.decimals, v))) << fixed(r.decimals, v).toStdString();
            EXPECT_FALSE(ok(fixed(r.decimals + 1, 12 + res / 2)));

            const int tenths = r.decimals ? 10 : 1;
            for (int k = (f.lo - 2) * tenths; k <= (f.hi + 2) * tenths; ++k) {
                const double v = double(k) / tenths;
                const QString t = fixed(r.decimals, v);
                if (ok(t) != (v >= f.lo && v <= f.hi)) {
                    ADD_FAILURE() << t.toStdString();
                    break;
                }
            }
        }
    }
}

TEST(CelsiusLimitsTest, R0ClassesAndUnknownTypes)
{
    EXPECT_EQ(valuelimits::celsiusLimits(100, false).row, valuelimits::celsiusLimits(50, false).row);
    EXPECT_EQ(valuelimits::celsiusLimits(1000, true).row, valuelimits::celsiusLimits(500, true).row);
    EXPECT_FALSE(valuelimits::hasCelsiusLimits(200));
    EXPECT_THROW(valuelimits::celsiusLimits(200, true), std::out_of_range);
    valuelimits::RtdFamily f;
    EXPECT_FALSE(valuelimits::rtdFamily(4, f));
    EXPECT_FALSE(valuelimits::rtdFamily(-1, f));
    EXPECT_EQ(valuelimits::celsiusPattern(7, valuelimits::RtdFamily::Copper), nullptr);
    // T2: whole degrees, a ",0" may follow.
    const char* t2 = valuelimits::celsiusPattern(2, valuelimits::RtdFamily::Platinum);
    EXPECT_TRUE(matches(t2, "12,0"));
    EXPECT_FALSE(matches(t2, "12,5"));
    EXPECT_TRUE(matches(valuelimits::celsiusPattern(1, valuelimits::RtdFamily::Platinum), "-199,9"));
}

} // namespace

// ---- the window ----

namespace
{

bool inRange(TForm1& w, const QString& text)
{
    const QByteArray b = text.toLatin1();
    return boost::regex_match(std::string(b.constData(), b.size()), w.processor->rangeRegex);
}

class ValueLimitsWindowTest : public WindowFixture
{
protected:
    // The operator opens the variant list and picks an item.
    void chooseVariant(int index)
    {
        w.BoxDeviceClick();
        {
            const QSignalBlocker block(ui()->BoxDevice);
            ui()->BoxDevice->setCurrentIndex(index);
        }
        w.BoxDeviceChange();
    }
};

TEST_F(ValueLimitsWindowTest, KiloOhmOnRd55401FromAnyUnitBox)
{
    for (QComboBox* box : {ui()->ChooseOhm, ui()->ChooseOhm1, ui()->ChooseOhm2}) {
        SCOPED_TRACE(box->objectName().toStdString());
        selectUnit(0);
        box->setCurrentIndex(1);
        w.ChooseOhmSelect(box);
        EXPECT_EQ(ui()->Label6->text(), QString::fromUtf8("Шаг, кОм:"));
        for (QLabel* l : {ui()->Label9, ui()->IncPhysVal, ui()->ProfilePhysVal})
            EXPECT_EQ(l->text(), QString::fromUtf8("R, кОм:"));
        for (QComboBox* b : {ui()->ChooseOhm, ui()->ChooseOhm1, ui()->ChooseOhm2})
            EXPECT_EQ(b->currentIndex(), 1);
        EXPECT_TRUE(inRange(w, "9,999999"));
        EXPECT_TRUE(inRange(w, "1,000000"));
        EXPECT_FALSE(inRange(w, "10"));
        EXPECT_EQ(ui()->Digit->text(), "1E-6");
        EXPECT_EQ(ui()->SelectDigit->min(), -6);
        EXPECT_EQ(ui()->SelectDigit->max(), 1);
        EXPECT_EQ(*w.processor->curFormat, "0.000000");
    }
}

TEST_F(ValueLimitsWindowTest, StepDisplayPerVariantAndUnit)
{
    struct Case {
        int variant, unit;
        const char* digit;
    };
    for (const Case& c : {Case{2, 1, "0,0001"}, Case{4, 0, "10"}, Case{3, 2, "1E-6"}, Case{1, 0, "0,01"}}) {
        SCOPED_TRACE(testing::Message() << c.variant << "/" << c.unit);
        chooseVariant(c.variant);
        selectUnit(c.unit);
        EXPECT_EQ(ui()->Digit->text(), c.digit);
        EXPECT_DOUBLE_EQ(w.processor->discreteness, w.processor->digitStep);
    }
}

TEST_F(ValueLimitsWindowTest, Rd55405OhmsInTensWithSelectorFromOne)
{
    chooseVariant(4);
    EXPECT_EQ(w.processor->deviceID, 5);
    EXPECT_EQ(ui()->SelectDigit->min(), 1);
    EXPECT_EQ(ui()->SelectDigit->max(), 8);
    EXPECT_EQ(ui()->SelectDigit->position(), 1);
    EXPECT_TRUE(inRange(w, "99999990"));
    EXPECT_FALSE(inRange(w, "99999995"));
    EXPECT_FALSE(inRange(w, "5"));
    EXPECT_EQ(w.processor->minDec, 1);
    EXPECT_EQ(w.processor->maxDec, 7);
    EXPECT_EQ(w.processor->profile.size(), 7u);
}

TEST_F(ValueLimitsWindowTest, UnitUpDownCyclesAndBoxesShowOnlyInOhms)
{
    const int next[] = {1, 2, 0};
    for (int u = 0; u < 3; ++u) {
        selectUnit(u);
        w.ChooseOhmUpDownClick(ui()->ChooseOhmUpDown, UpDown::btNext);
        EXPECT_EQ(ui()->ChooseOhm2->currentIndex(), next[u]);
        w.ChooseOhmUpDownClick(ui()->ChooseOhm1UpDown, UpDown::btPrev);
        EXPECT_EQ(ui()->ChooseOhm1->currentIndex(), u);
    }
    w.ChooseOhmVisDblClick();
    EXPECT_FALSE(ui()->ChooseOhm1->isHidden());
    EXPECT_TRUE(ui()->ChooseOhmUpDown->isHidden());
    w.ChooseOhmCloseUp();
    EXPECT_TRUE(ui()->ChooseOhm1->isHidden());
    EXPECT_FALSE(ui()->ChooseOhm2UpDown->isHidden());

    w.CelsiumClick(ui()->Celsium);
    w.ChooseOhmVisDblClick();
    EXPECT_TRUE(ui()->ChooseOhm->isHidden());
}

TEST_F(ValueLimitsWindowTest, CelsiusCaptionsAndBackToOhms)
{
    w.CelsiumClick(ui()->Celsium);
    ASSERT_TRUE(w.celsiusMode());
    // Cyrillic Т and С where the captions have them, Latin T in "T:".
    EXPECT_EQ(ui()->Label9->text(), QString::fromUtf8("\u0422, \u00b0\u0421:"));
    EXPECT_EQ(ui()->IncPhysVal->text(), QString::fromUtf8("\u0422, \u00b0\u0421:"));
    EXPECT_EQ(ui()->ProfilePhysVal->text(), QString::fromUtf8("\u0422, \u00b0\u0421"));
    EXPECT_EQ(ui()->Label4->text(), QString::fromUtf8("\u0422\u0432\u043e\u0441:"));
    EXPECT_EQ(ui()->Label6->text(), QString::fromUtf8("\u0428\u0430\u0433, \u00b0\u0421:"));
    EXPECT_EQ(ui()->Label13->text(), "T:");
    EXPECT_EQ(ui()->StandartInpOtklon1->text(), QString::fromUtf8("ΔT: "));
    EXPECT_EQ(ui()->Label9->x(), 18);
    EXPECT_TRUE(ui()->MtemperType->menuAction()->isEnabled());
    EXPECT_TRUE(ui()->checkTrueC->isEnabled());
    EXPECT_EQ(w.lastValue, "0");
    EXPECT_EQ(w.processor->curFormat, &w.processor->celsiusFormat);

    w.OhmClick(ui()->Ohm);
    EXPECT_EQ(ui()->Label9->text(), QString::fromUtf8("R, Ом:"));
    EXPECT_EQ(ui()->Label4->text(), QString::fromUtf8("Rвос:"));
    EXPECT_EQ(ui()->Label6->text(), QString::fromUtf8("Шаг, Ом:"));
    EXPECT_EQ(ui()->Label9->x(), 36);
    EXPECT_FALSE(ui()->Rt0List->menuAction()->isEnabled());
    EXPECT_FALSE(ui()->OtklonPercentC->isEnabled());
    EXPECT_EQ(ui()->Digit->text(), "0,001");
    EXPECT_EQ(w.processor->curFormat, &w.processor->ohmFormat);
}

TEST_F(ValueLimitsWindowTest, CelsiusPatternsByR0AndVariant)
{
    struct Case {
        int variant;
        void (TForm1::*r0)();
        std::vector<const char*> accepted, refused;
    };
    const Case cases[] = {
        {1, &TForm1::N01Click, {"-200", "850", "12,0", "12"}, {"12,5", "851", "-201"}},
        {0, &TForm1::N01Click, {"-199,9", "850,0"}, {"-199,95", "850,1"}},
        {0, &TForm1::N1001Click, {"-199,99", "25,00"}, {"25,001"}},
        {1, &TForm1::N10001Click, {"-199,99"}, {"-199,999"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variant);
        chooseVariant(c.variant);
        selectCelsius(&TForm1::platinum391Click, c.r0);
        for (const char* t : c.accepted)
            EXPECT_TRUE(inRange(w, t)) << t;
        for (const char* t : c.refused)
            EXPECT_FALSE(inRange(w, t)) << t;
        EXPECT_EQ(ui()->SelectDigit->max(), 3);
        EXPECT_EQ(ui()->SelectDigit->position(), 0);
        w.OhmClick(ui()->Ohm);
    }
}

TEST_F(ValueLimitsWindowTest, ReformatsTypedValuesAndLeavesHalfTypedOnes)
{
    selectCelsius(&TForm1::platinum391Click, &TForm1::N1001Click);
    ui()->StandartInpEdit->setText("25");
    ui()->IncInpEditStart->setText("-");
    ui()->IncInpEditEnd->setText("-7,5");
    w.userStepText = "5";
    w.UpdateTemperatureLimits();
    EXPECT_EQ(ui()->StandartInpEdit->text(), "25,00");
    EXPECT_EQ(ui()->IncInpEditStart->text(), "-");
    EXPECT_EQ(ui()->IncInpEditEnd->text(), "-7,50");
    EXPECT_EQ(ui()->IncInpEditStep->text(), "");
    EXPECT_TRUE(w.userStepText.isEmpty());
    EXPECT_EQ(w.processor->celsiusFormat, "0.00");
}

TEST_F(ValueLimitsWindowTest, CelsiusRefusedOnRd55403)
{
    for (bool russian : {true, false}) {
        chooseVariant(2);
        if (!russian)
            useEnglish();
        seam.clear();
        w.CelsiumClick(ui()->Celsium);
        ASSERT_EQ(seam.shown().size(), 1u);
        const ShownDialog& d = seam.shown()[0];
        EXPECT_EQ(d.type, DialogType::Error);
        EXPECT_EQ(d.caption, russian ? QString::fromUtf8("Ошибка") : "Error");
        EXPECT_EQ(d.text,
                  russian ? QString::fromUtf8("Данный прибор не поддерживает имитацию термопреобразователей!")
                          : "This device doesn't allow to simulate the sensors!");
        EXPECT_FALSE(w.celsiusMode());
        EXPECT_TRUE(ui()->Ohm->isChecked());
        EXPECT_FALSE(ui()->ChooseOhmUpDown->isHidden());
    }
}

TEST_F(ValueLimitsWindowTest, HighVariantReturnsToOhmsAndClearsEverything)
{
    chooseVariant(1);
    selectCelsius(&TForm1::copper428Click, &TForm1::N1001Click);
    ASSERT_TRUE(w.celsiusMode());
    ui()->InfoValsC->addItem("25,0");
    ui()->InfoValsProf->addItem("12");
    w.history.appendRow({}, QString());
    w.processor->profLoaded = true;

    chooseVariant(3);
    EXPECT_EQ(w.processor->deviceID, 4);
    EXPECT_FALSE(w.celsiusMode());
    EXPECT_TRUE(ui()->Ohm->isChecked());
    EXPECT_FALSE(ui()->Celsium->isEnabled());
    EXPECT_EQ(ui()->InfoValsC->count(), 0);
    EXPECT_EQ(ui()->InfoValsProf->count(), 0);
    EXPECT_EQ(w.history.historyRows, 0);
    EXPECT_FALSE(w.processor->profLoaded);
    EXPECT_EQ(ui()->LabelLastVal->text(), "--");
    EXPECT_TRUE(inRange(w, "9999999"));
    EXPECT_FALSE(inRange(w, "0,5"));

    chooseVariant(0);
    EXPECT_TRUE(ui()->Celsium->isEnabled());
}

TEST_F(ValueLimitsWindowTest, VariantChangeAsksOnlyWithHistory)
{
    w.show();
    chooseVariant(1); // empty lists: no question
    EXPECT_TRUE(seam.shown().empty());
    EXPECT_EQ(w.processor->deviceID, 2);

    ui()->InfoValsOhm->addItem("1,00");
    seam.answerWith(mrCancel);
    chooseVariant(2);
    ASSERT_EQ(seam.shown().size(), 1u);
    const ShownDialog& d = seam.shown()[0];
    EXPECT_TRUE(d.confirm);
    EXPECT_EQ(d.caption, QString::fromUtf8("Подтверждение действия"));
    EXPECT_EQ(d.checkText, QString::fromUtf8("Больше не показывать это окно"));
    EXPECT_EQ(d.text, QString::fromUtf8("Смена прибора приведёт к очистке истории ввода!\n"
                                        "Убедитесь, что все необходимые данные сохранены."));
    EXPECT_EQ(ui()->BoxDevice->currentIndex(), 1);
    EXPECT_EQ(w.processor->deviceID, 2);
    EXPECT_EQ(ui()->InfoValsOhm->count(), 1);

    // The same item again: nothing at all.
    chooseVariant(1);
    EXPECT_EQ(seam.shown().size(), 1u);

    seam.answerWith(mrOk, true); // "don't show again" ticked
    chooseVariant(2);
    EXPECT_EQ(seam.shown().size(), 2u);
    EXPECT_EQ(w.processor->deviceID, 3);
    EXPECT_EQ(ui()->InfoValsOhm->count(), 0);
    EXPECT_TRUE(w.dontShowDeviceWarning);

    ui()->InfoValsOhm->addItem("1,0");
    chooseVariant(0);
    EXPECT_EQ(seam.shown().size(), 2u);
    EXPECT_EQ(w.processor->deviceID, 1);
}

TEST_F(ValueLimitsWindowTest, VariantConfirmationInEnglishAndCancelKeepsTheModel)
{
    w.show();
    useEnglish();
    ui()->InfoValsC->addItem("1,0");
    w.history.appendRow({}, QString());
    seam.answerWith(mrCancel);
    chooseVariant(3);
    ASSERT_EQ(seam.shown().size(), 1u);
    const ShownDialog& d = seam.shown()[0];
    EXPECT_EQ(d.type, DialogType::Confirmation);
    EXPECT_EQ(d.caption, "Confirm");
    EXPECT_EQ(d.checkText, "Don't show again");
    EXPECT_EQ(d.text, "After changing the device, the entered values will be cleared!\n"
                      "Make sure all needed data is saved");
    EXPECT_EQ(ui()->BoxDevice->currentIndex(), 0);
    EXPECT_EQ(ui()->BoxDevice->currentText(), QString::fromUtf8("РД5540-1"));
    EXPECT_EQ(w.processor->deviceID, 1);
    EXPECT_EQ(w.history.historyRows, 1);
    EXPECT_EQ(ui()->InfoValsC->count(), 1);
    EXPECT_TRUE(ui()->Celsium->isEnabled());
}

TEST_F(ValueLimitsWindowTest, HiddenWindowNeverAsks)
{
    ui()->InfoValsC->addItem("1");
    chooseVariant(4);
    EXPECT_TRUE(seam.shown().empty());
    EXPECT_EQ(w.processor->deviceID, 5);
}

} // namespace
