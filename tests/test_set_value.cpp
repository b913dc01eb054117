// Setting a value: the check in ohms (or °C), the log group, the value kept for the chain
// and the read-outs, the refusal, and the whole set chain against a simulated instrument.
#include "tests/LinkFixture.h"
#include "tests/WindowFixture.h"

#include "instrument/ProfileProcessor.h"
#include "ui/EntryLimits.h"
#include "ui_TForm1.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <cstring>
#include <ostream>

namespace
{

const QRegularExpression kTimeLine(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$"));

// On the window alone the port is closed: the first request fails and the link disconnects,
// which adds its own lines. What the set itself left is checked here.
class SetValueTest : public WindowFixture
{
protected:
    QByteArray pending() const { return QByteArray(reinterpret_cast<const char*>(w.pendingValue)); }

    bool restOfPendingIsZero() const
    {
        const auto* p = w.pendingValue;
        const std::size_t n = std::strlen(reinterpret_cast<const char*>(p));
        return std::all_of(p + n, p + TForm1::FrameSize, [](std::uint8_t b) { return b == 0; });
    }

    // The log without the disconnection's message and empty lines.
    QStringList group() const
    {
        QStringList g;
        for (const QString& l : log())
            if (!l.isEmpty() && l != QStringLiteral("Соединение разорвано.") &&
                l != QStringLiteral("Device disconnected."))
                g << l;
        return g;
    }

    void setValue(const QString& value)
    {
        w.InfoLines->clear();
        w.SetValueOnDevice(value);
    }
};

TEST_F(SetValueTest, PendingValueIsTheOhmTextOfTheVariant)
{
    const struct {
        int variant;
        int unit;
        const char* typed;
        const char* pending;
    } cases[] = {
        {0, 0, "1234,5", "1234,500"},    {0, 1, "1,5", "1500,000"},     {0, 2, "0,0015", "1500,000"},
        {1, 0, "99999,99", "99999,99"},  {1, 1, "12,5", "12500,00"},    {2, 0, "0,5", "0,5"},
        {2, 2, "0,9999999", "999999,9"}, {3, 1, "9999,999", "9999999"}, {4, 0, "99999990", "99999990"},
        {4, 2, "0,00001", "10"},         {0, 0, "0", "0,000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "variant " << c.variant << " unit " << c.unit << " " << c.typed);
        selectVariant(c.variant);
        selectUnit(c.unit);
        w.connected = true;
        w.setPending = false;
        ui()->StandartInpEdit->setText(c.typed);
        w.StandartInpButtonEnterClick();
        EXPECT_EQ(pending(), c.pending);
        EXPECT_TRUE(restOfPendingIsZero());
        EXPECT_EQ(w.lastValue, c.pending);
        EXPECT_EQ(w.unitIndex(), c.unit);
        EXPECT_TRUE(seam.shown().empty());
    }
}

TEST_F(SetValueTest, LogGroupStartsWithTimeModeAndValue)
{
    const struct {
        void (TForm1::*mode)();
        bool english;
        const char* modeLine;
        const char* valueLine;
    } cases[] = {
        {&TForm1::funcDefaultx2Click, false, "Режим некомпенсированный 2х", " R: 5 Ом"},
        {&TForm1::funcDefaultx4Click, false, "Режим некомпенсированный 4х", " R: 5 Ом"},
        {&TForm1::funcCorrectionx2Click, false, "Режим компенсированный 2х", " R: 5 Ом"},
        {&TForm1::funcCorrectionx4Click, false, "Режим компенсированный 4х", " R: 5 Ом"},
        {nullptr, false, "Режим ", " R: 5 Ом"},
        {&TForm1::funcDefaultx2Click, true, "Output mode: usual 2w", " R: 5 Ohm"},
        {&TForm1::funcCorrectionx4Click, true, "Output mode: optimal 4w", " R: 5 Ohm"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.modeLine);
        if (c.english)
            useEnglish();
        if (c.mode) {
            (w.*c.mode)();
        } else {
            for (QAction* a :
                 {ui()->funcDefaultx2, ui()->funcDefaultx4, ui()->funcCorrectionx2, ui()->funcCorrectionx4})
                a->setChecked(false);
        }
        setValue("5");
        const QStringList g = group();
        ASSERT_EQ(g.size(), 3);
        EXPECT_TRUE(kTimeLine.match(g[0]).hasMatch()) << g[0].toStdString();
        EXPECT_EQ(g[1], QString::fromUtf8(c.modeLine));
        EXPECT_EQ(g[2], QString::fromUtf8(c.valueLine));
    }
}

TEST_F(SetValueTest, CelsiusSetKeepsTheResistanceToFourDecimals)
{
    selectCelsius(&TForm1::platinum385Click, &TForm1::N1001Click);
    w.userStepText = "5";
    const QString digit = ui()->Digit->text();
    const int position = ui()->SelectDigit->position();
    setValue("50");
    EXPECT_DOUBLE_EQ(w.setValueCelsius, 50);
    EXPECT_DOUBLE_EQ(w.setValueOhm, 119.3971);
    EXPECT_EQ(pending(), "119,397");
    EXPECT_EQ(w.lastValue, "50");
    ASSERT_EQ(group().size(), 3);
    EXPECT_EQ(group()[2], " T: 50 °C (119,3971 Ом)");
    // The unit switch leaves the °C limits, the selector and the operator's step alone.
    EXPECT_TRUE(w.celsiusMode());
    EXPECT_TRUE(matchesPattern(QStringLiteral("-200"), w.processor->rangeRegex));
    EXPECT_EQ(w.processor->curFormat, &w.processor->celsiusFormat);
    EXPECT_EQ(ui()->Digit->text(), digit);
    EXPECT_EQ(ui()->SelectDigit->position(), position);
    EXPECT_EQ(w.userStepText, "5");

    useEnglish();
    setValue("50");
    EXPECT_EQ(group().value(2), " T: 50 °C (119,3971 Ohm)");
}

TEST_F(SetValueTest, NeedTrueValFollowsTheSixRvosBoxes)
{
    const struct {
        QCheckBox* box;
        bool need;
    } cases[] = {
        {nullptr, false},           {ui()->CheckTrueVal, true},   {ui()->checkTrueC, true},
        {ui()->OtklonC, true},      {ui()->OtklonPercentC, true}, {ui()->Stability, true},
        {ui()->AbsStability, true}, {ui()->OtklonOm, false},      {ui()->OtklonPercent, false},
        {ui()->checkI, false},      {ui()->checkU, false},        {ui()->CheckBox1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box ? c.box->objectName().toStdString() : "none");
        if (c.box)
            tick({c.box});
        else
            tick({});
        w.needTrueVal = !c.need;
        setValue("1");
        EXPECT_EQ(w.needTrueVal, c.need);
    }
}

TEST_F(SetValueTest, RefusedValueChangesNothing)
{
    selectUnit(1);
    ui()->SelectDigit->setPosition(-3);
    const QString digit = ui()->Digit->text();
    std::memcpy(w.pendingValue, "7,000", 6);
    w.setPending = true;
    w.lastValue = "7,000";
    w.InfoLines->clear();

    // Out of range, not a multiple of the step, and a text that matches but is no number.
    for (const char* value : {"10000,000", "0,0005", ",", "abc"}) {
        SCOPED_TRACE(value);
        seam.clear();
        w.SetValueOnDevice(value);
        ASSERT_EQ(seam.shown().size(), 1u);
        EXPECT_EQ(seam.shown()[0].caption, "Внимание");
        EXPECT_EQ(seam.shown()[0].text, "Значение за пределами диапазона или не кратно дискретности!");
        EXPECT_EQ(seam.shown()[0].type, DialogType::Warning);
        EXPECT_EQ(w.unitIndex(), 1);
        EXPECT_EQ(w.processor->ohmFormat, "0.000000");
        EXPECT_TRUE(matchesPattern(QStringLiteral("9,999999"), w.processor->rangeRegex));
        EXPECT_EQ(ui()->SelectDigit->position(), -3);
        EXPECT_EQ(ui()->Digit->text(), digit);
        EXPECT_EQ(pending(), "7,000");
        EXPECT_TRUE(w.setPending);
        EXPECT_EQ(w.lastValue, "7,000");
        EXPECT_TRUE(log().isEmpty());
    }

    useEnglish();
    seam.clear();
    w.SetValueOnDevice("10000,000");
    ASSERT_EQ(seam.shown().size(), 1u);
    EXPECT_EQ(seam.shown()[0].caption, "Attention");
    EXPECT_EQ(seam.shown()[0].text, "Value is not correct!");
}

TEST_F(SetValueTest, CelsiusRefusalKeepsTheCelsiusLimits)
{
    selectCelsius(&TForm1::platinum385Click, &TForm1::N1001Click);
    w.SetValueOnDevice("900");
    ASSERT_EQ(seam.shown().size(), 1u);
    EXPECT_TRUE(w.celsiusMode());
    EXPECT_TRUE(matchesPattern(QStringLiteral("850"), w.processor->rangeRegex));
    EXPECT_EQ(w.processor->curFormat, &w.processor->celsiusFormat);
}

// ---- the whole chain against the simulated instrument ----

class SetChainTest : public LinkFixture
{
protected:
    Ui::TForm1* ui() { return w->ui; }

    QByteArray writtenTo(const SimInstrument& sim, std::uint16_t reg)
    {
        for (const SimInstrument::Request& r : sim.requests())
            if (r.function == frame::FuncWrite && r.reg == reg)
                return r.text;
        return {};
    }
};

TEST_F(SetChainTest, EnterButtonSetsTheValueAndShowsTheReadouts)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    tick({ui()->CheckTrueVal, ui()->OtklonOm});
    const int rowsBefore = w->history.historyRows;

    ui()->StandartInpEdit->setText("1234,5");
    w->StandartInpButtonEnterClick();
    EXPECT_FALSE(ui()->StandartInpButtonEnter->isEnabled()) << "locked while the set runs";
    EXPECT_TRUE(w->setPending);
    EXPECT_FALSE(w->inputAllowed);
    EXPECT_EQ(ui()->LabelLastVal->text(), "1234,500 Ом");
    ASSERT_TRUE(waitIdle());

    EXPECT_EQ(registers(sim), (std::vector<std::uint16_t>{40078, 40085, 40073, 40074, 40075, 40079, 40080}));
    EXPECT_EQ(writtenTo(sim, 40078), "A");
    EXPECT_EQ(writtenTo(sim, 40073), "1234,500");
    const QStringList lines = log();
    ASSERT_GE(lines.size(), 7);
    EXPECT_TRUE(kTimeLine.match(lines[0]).hasMatch());
    EXPECT_EQ(lines[1], "Режим некомпенсированный 2х");
    EXPECT_EQ(lines[2], " R: 1234,500 Ом");
    EXPECT_TRUE(lines[3].startsWith(" Rвос: ") && lines[3].endsWith(" Ом")) << lines[3].toStdString();
    EXPECT_TRUE(lines[4].startsWith(" ΔR: ")) << lines[4].toStdString();
    EXPECT_EQ(lines[5], "Значение установлено!");
    EXPECT_EQ(lines[6], "");

    EXPECT_EQ(w->history.historyRows, rowsBefore + 1);
    ASSERT_EQ(ui()->InfoValsOhm->count(), 1);
    EXPECT_EQ(ui()->InfoValsOhm->item(0)->text(), "1234,500");
    EXPECT_TRUE(ui()->StandartInpButtonEnter->isEnabled());
    EXPECT_FALSE(ui()->StandartInpEdit->isReadOnly());
    EXPECT_TRUE(ui()->StandartInpEdit->text().isEmpty());
    EXPECT_TRUE(w->inputAllowed);
    EXPECT_FALSE(w->setPending);
}

// A value typed and entered by hand, end to end. Texts in braces stand for what the
// instrument answered from that register.
using Box = QCheckBox* Ui::TForm1::*;
using Regs = std::vector<std::uint16_t>;

struct HandSetCase {
    const char* name;
    int variant;
    int unit;
    const char* typed;
    const char* pending;
    std::vector<Box> boxes;
    int notReady;
    Regs readouts;
    QStringList lines; // between the value line and the result line
    std::array<const char*, HistColumnCount> row;
    std::array<const char*, 5> labels; // StandartInpFact, Otklon, Percent, I, U
};
void PrintTo(const HandSetCase& c, std::ostream* os)
{
    *os << c.name;
}

class HandSetTest : public SetChainTest, public testing::WithParamInterface<HandSetCase>
{
protected:
    QString expand(const SimInstrument& sim, QString text)
    {
        for (std::uint16_t reg : {40076, 40079, 40080, 40081, 40083, 40084})
            text.replace(QStringLiteral("{%1}").arg(reg), QString::fromLatin1(sim.registerText(reg)));
        return text;
    }
};

TEST_P(HandSetTest, RequestsLogHistoryAndLabels)
{
    const HandSetCase& c = GetParam();
    SimInstrument& sim = addSim(c.variant);
    ASSERT_TRUE(connectTo(sim));
    ui()->ChooseOhm->setCurrentIndex(c.unit);
    w->ChooseOhmSelect(ui()->ChooseOhm);
    tick({});
    for (Box b : c.boxes)
        (ui()->*b)->setChecked(true);
    sim.setNotReadyCount(c.notReady);
    w->InfoLines->clear();

    ui()->StandartInpEdit->setText(c.typed);
    w->StandartInpButtonEnterClick();
    EXPECT_EQ(ui()->LabelLastVal->text(), QString(c.pending) + " Ом");
    ASSERT_TRUE(waitIdle());

    Regs expected = {40078, 40085, 40073, 40074};
    expected.insert(expected.end(), c.notReady + 1, 40075);
    expected.insert(expected.end(), c.readouts.begin(), c.readouts.end());
    EXPECT_EQ(registers(sim), expected);
    const auto reqs = sim.requests();
    ASSERT_GE(reqs.size(), 4u);
    EXPECT_EQ(reqs[0].text, "A");
    EXPECT_EQ(reqs[1].text, "A");
    EXPECT_EQ(reqs[2].text, c.pending);
    EXPECT_EQ(reqs[3].text, "A");

    QStringList group = {"Режим некомпенсированный 2х", QString(" R: ") + c.pending + " Ом"};
    for (const QString& l : c.lines)
        group << expand(sim, l);
    group << "Значение установлено!"
          << "";
    const QStringList lines = log();
    ASSERT_EQ(lines.size(), group.size() + 1);
    EXPECT_TRUE(kTimeLine.match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_EQ(lines.mid(1), group);

    ASSERT_EQ(w->history.historyRows, 1);
    for (int col = 0; col < HistColumnCount; ++col)
        EXPECT_EQ(w->history.columns[col].value(0), expand(sim, c.row[col])) << "column " << col;
    ASSERT_EQ(ui()->InfoValsOhm->count(), 1);
    EXPECT_EQ(ui()->InfoValsOhm->item(0)->text(), c.pending);

    const QLabel* labels[] = {ui()->StandartInpFact, ui()->StandartInpOtklon, ui()->StandartInpPercent,
                              ui()->StandartInpI, ui()->StandartInpU};
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(labels[k]->text(), expand(sim, c.labels[k])) << labels[k]->objectName().toStdString();
    EXPECT_EQ(w->unitIndex(), c.unit);
    EXPECT_TRUE(ui()->StandartInpButtonEnter->isEnabled());
    EXPECT_TRUE(w->inputAllowed);
    EXPECT_EQ(w->errorCount, 0);
    EXPECT_TRUE(dialogs().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HandSetTest,
    testing::Values(
        HandSetCase{"nothingTicked",
                    1,
                    0,
                    "1234,5",
                    "1234,500",
                    {},
                    0,
                    {},
                    {},
                    {"--", "--", "--", "--", "--", "--", "--", "--", "--", "--", "--"},
                    {"--", "--", "--", "--", "--"}},
        // kΩ on RD5540-2; the instrument is not ready twice before it takes the value.
        HandSetCase{"deviationsInKiloOhmNotReadyTwice",
                    2,
                    1,
                    "12,5",
                    "12500,00",
                    {&Ui::TForm1::CheckTrueVal, &Ui::TForm1::OtklonOm, &Ui::TForm1::OtklonPercent},
                    2,
                    {40079, 40080, 40081},
                    {" Rвос: {40079} Ом", " ΔR: {40080} Ом", " δR: {40081} %"},
                    {"--", "--", "{40079}", "{40080}", "{40081}", "--", "--", "--", "--", "--", "--"},
                    {"{40079} Ом", "{40080} Ом", "{40081} %", "--", "--"}},
        // δн needs Rвос, but the simulated instrument's name is too short for the figure.
        HandSetCase{
            "currentVoltageAndSteps",
            1,
            0,
            "1234,5",
            "1234,500",
            {&Ui::TForm1::checkI, &Ui::TForm1::checkU, &Ui::TForm1::CheckBox1, &Ui::TForm1::Stability},
            0,
            {40079, 40076, 40084, 40083},
            {" I макс: 14,23  мА", " U макс: {40083} B", " Ступени декад (Старшая->Младшая): {40076}"},
            {"0,01423", "{40083}", "--", "--", "--", "--", "--", "--", "{40076}", "--", "--"},
            {"--", "--", "--", "14,23  мА", "{40083} B"}}),
    [](const testing::TestParamInfo<HandSetCase>& i) { return std::string(i.param.name); });

TEST_F(SetChainTest, CelsiusValueGoesOutAsItsResistance)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    w->CelsiumClick(ui()->Celsium);
    w->platinum385Click();
    w->N1001Click();
    tick({ui()->checkTrueC});
    sim.clearRequests();

    w->SetValueOnDevice("50");
    EXPECT_EQ(ui()->LabelLastVal->text(), "50 °C");
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(writtenTo(sim, 40073), "119,397");
    const QStringList lines = log();
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[2], " T: 50 °C (119,3971 Ом)");
    EXPECT_TRUE(lines[3].startsWith(" Tвос: 50,0") && lines[3].endsWith(" °C")) << lines[3].toStdString();
}

TEST_F(SetChainTest, RefusedValueSendsNothing)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    ui()->ChooseOhm->setCurrentIndex(1);
    w->ChooseOhmSelect(ui()->ChooseOhm);
    ui()->StandartInpEdit->setText("10");
    w->StandartInpButtonEnterClick();
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(dialogs()[0].text, "Значение за пределами диапазона прибора или не кратно дискретности!");
    EXPECT_TRUE(waitIdle());
    EXPECT_EQ(sim.requestCount(), 0);
    EXPECT_EQ(w->unitIndex(), 1);
    EXPECT_TRUE(ui()->StandartInpButtonEnter->isEnabled());
}

} // namespace
