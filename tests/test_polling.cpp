// Status polling end to end: changes made at the simulated instrument's front panel (value,
// display selection, output mode) reach the window and the log through the real poll timer;
// the status is cleared afterwards; nothing is polled while the line or the input is busy,
// in a timed run, with polling switched off or for an old instrument; a set made while a
// panel change is pending runs its own chain (actions that meet a poll: test_line.cpp); and a poll that meets
// a failed link sends nothing while the failure's box is open.
#include "ui_TForm1.h"

#include "tests/LinkFixture.h"
#include "tests/RunFixture.h"

#include "instrument/ProfileProcessor.h"
#include "instrument/Registers.h"
#include "platform/ComPort.h"
#include "platform/NumberText.h"
#include "platform/WordDocument.h"
#include "instrument/FileDialogs.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTemporaryDir>
#include <QTime>

#include <functional>
#include <string>

namespace
{

using namespace std::chrono_literals;
using Fault = SimInstrument::Fault;
using Calls = std::vector<std::string>;

class PollingTest : public LinkFixture
{
protected:
    Ui::TForm1* ui() { return w->ui; }

    // The requests as "40087" for a read and "40087=0" for a write of "0".
    static Calls calls(const SimInstrument& sim)
    {
        Calls out;
        for (const SimInstrument::Request& r : sim.requests())
            out.push_back(std::to_string(r.reg) +
                          (r.function == frame::FuncWrite ? "=" + r.text.toStdString() : std::string()));
        return out;
    }

    // The poll from now on, its first tick at once; after an answer it keeps its own pace.
    void startPolling() { w->RequestTimer->start(1); }

    // The poller has cleared the instrument's status and gone back to the idle pace.
    bool waitStatusCleared(SimInstrument& sim)
    {
        return testsupport::waitUntil(
            [&] {
                const Calls c = calls(sim);
                return !c.empty() && c.back() == "40087=0" && !w->requestOnLine() &&
                       w->RequestTimer->interval() == 3000;
            },
            10s);
    }

    // n more ticks of the poll timer.
    bool waitTicks(int n)
    {
        QSignalSpy ticks(w->RequestTimer, &QTimer::timeout);
        return testsupport::waitUntil([&] { return ticks.count() >= n; });
    }

    void expectInputReleased()
    {
        EXPECT_FALSE(ui()->StandartInpEdit->isReadOnly());
        EXPECT_TRUE(w->inputAllowed);
        EXPECT_TRUE(ui()->StandartInpButtonEnter->isEnabled());
    }
};

const std::string kTime = "time";

// The log's top lines, the time of day replaced by "time".
QStringList topLines(const QStringList& log, int n)
{
    QStringList top = log.mid(0, n);
    for (QString& line : top)
        if (QTime::fromString(line, QStringLiteral("HH:mm:ss")).isValid())
            line = QString::fromStdString(kTime);
    return top;
}

// ---------------------------------------------------------------- changes at the panel

TEST_F(PollingTest, ValueChangedAtThePanelIsShownLoggedAndKept)
{
    struct Case {
        const char* name;
        std::vector<QCheckBox * Ui::TForm1::*> boxes;
        const char* panel;
        Calls requests;
        bool historyRow;
    };
    using U = Ui::TForm1;
    const Case cases[] = {
        // No Rвос-dependent box: no read-out is read, even with ΔR ticked.
        {"noReadouts", {&U::OtklonOm}, "500", {"40087", "40075", "40073", "40087=0"}, false},
        // Rвос wanted: the read-outs are read in their order and logged.
        {"readouts",
         {&U::CheckTrueVal, &U::CheckBox1},
         "123,45",
         {"40087", "40075", "40073", "40079", "40076", "40087=0"},
         true},
    };
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<QCheckBox*> boxes;
        for (auto b : c.boxes)
            boxes.push_back(ui()->*b);
        tick({});
        for (QCheckBox* b : boxes)
            b->setChecked(true);
        sim.clearRequests();
        const int rows = w->history.historyRows;
        ASSERT_TRUE(sim.panelValue(c.panel));
        const QString stored = QString::fromLatin1(sim.registerText(40073));
        EXPECT_EQ(sim.statusBits(), statusbit::ValueChanged);
        startPolling();
        ASSERT_TRUE(waitStatusCleared(sim));

        EXPECT_EQ(calls(sim), c.requests);
        EXPECT_EQ(sim.statusBits(), 0);
        EXPECT_EQ(w->statusFlags, 0);
        EXPECT_EQ(ui()->LabelLastVal->text(), stored + " Ом");
        EXPECT_EQ(w->lastValue, stored);
        EXPECT_DOUBLE_EQ(w->setValueOhm, numtext::strToFloat(stored));
        QStringList group = {QString::fromStdString(kTime), "Режим некомпенсированный 2х",
                             " R: " + stored + " Ом"};
        if (c.historyRow) {
            group << " Rвос: " + QString::fromLatin1(sim.registerText(40079)) + " Ом"
                  << " Ступени декад (Старшая->Младшая): " + QString::fromLatin1(sim.registerText(40076))
                  << "Значение установлено!"
                  << "";
        } else {
            group << "Значение установлено!";
        }
        group << ""; // the empty line that separates the group from the older ones
        EXPECT_EQ(topLines(log(), int(group.size())), group);
        EXPECT_EQ(w->history.historyRows, rows + (c.historyRow ? 1 : 0));
        expectInputReleased();
    }
    EXPECT_TRUE(dialogs().empty());
}

// Failed before: the table paired the newest row (the panel's) with the operator's value and
// put "--" beside the row the value belonged to.
TEST_F(PollingTest, HistoryTablePairsEachRowWithItsOwnEntry)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    tick({ui()->CheckTrueVal});
    ui()->StandartInpEdit->setText("100");
    QTest::mouseClick(ui()->StandartInpButtonEnter, Qt::LeftButton);
    ASSERT_TRUE(waitIdle());
    ASSERT_TRUE(sim.panelValue("600,03"));
    startPolling();
    ASSERT_TRUE(waitStatusCleared(sim));
    w->RequestTimer->stop();
    ASSERT_EQ(w->history.historyRows, 2);

    QTemporaryDir dir;
    const QString path = dir.filePath("history.docx");
    FileDialogSeam files;
    DocumentShowSeam shows;
    files.answerWith(path);
    files.setFilterIndex(1);
    QTest::mouseClick(ui()->StandartInpButtonSaveAsProfile, Qt::LeftButton);
    WordDocument doc = WordDocument::open(path);
    ASSERT_EQ(doc.rowCount(1), 3);
    EXPECT_EQ(doc.cellText(1, 2, 1).trimmed(), "100,000");
    EXPECT_EQ(doc.cellText(1, 3, 1).trimmed(), "--");
}

TEST_F(PollingTest, DisplayAndModeChangedAtThePanelSelectTheirMenuItems)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    const int lines = w->InfoLines->count();
    ASSERT_TRUE(sim.panelDisplay('C'));
    ASSERT_TRUE(sim.panelMode('B'));
    EXPECT_FALSE(sim.panelMode('E')); // the panel offers no such mode
    EXPECT_EQ(sim.statusBits(), statusbit::DisplayChanged | statusbit::ModeChanged);
    EXPECT_EQ(sim.registerText(40087), QByteArray("p")); // 0x40 | bits
    startPolling();
    ASSERT_TRUE(waitStatusCleared(sim));

    // One register per tick: the display first, then the mode, then the clear.
    EXPECT_EQ(calls(sim), (Calls{"40087", "40078", "40085", "40087=0"}));
    EXPECT_TRUE(ui()->N31->isChecked());
    EXPECT_FALSE(ui()->N11->isChecked());
    EXPECT_EQ(w->displayLetter, QByteArray("C"));
    EXPECT_TRUE(ui()->funcDefaultx4->isChecked());
    EXPECT_FALSE(ui()->funcDefaultx2->isChecked());
    EXPECT_EQ(ui()->modeLabel->text(), "Н4");
    EXPECT_EQ(sim.statusBits(), 0);
    EXPECT_EQ(w->statusFlags, 0);
    EXPECT_EQ(w->InfoLines->count(), lines); // nothing is logged for these
    // The next status read comes a full idle period after the clear.
    EXPECT_TRUE(w->RequestTimer->isActive());
    EXPECT_GT(w->RequestTimer->remainingTime(), 2500);
    expectInputReleased();

    // The next set writes the instrument's own selection and mode.
    sim.clearRequests();
    ui()->StandartInpEdit->setText("100");
    QTest::mouseClick(ui()->StandartInpButtonEnter, Qt::LeftButton);
    ASSERT_TRUE(waitIdle());
    const std::vector<SimInstrument::Request> set = sim.requests();
    ASSERT_GE(set.size(), 2u);
    EXPECT_EQ(set[0].text, QByteArray("C"));
    EXPECT_EQ(set[1].text, QByteArray("B"));
}

TEST_F(PollingTest, StatusWithNothingToReadIsOnlyCleared)
{
    struct Case {
        const char* name;
        std::function<void(SimInstrument&)> change;
        Calls requests;
    };
    const Case cases[] = {
        // Bit 3 asks for nothing but the clear at the next tick.
        {"bit3", [](SimInstrument& s) { s.setStatusBits(statusbit::ClearPending); }, {"40087", "40087=0"}},
        // The panel's value is the one set last: read, but nothing shown.
        {"sameValue", [](SimInstrument& s) { s.panelValue("250"); }, {"40087", "40075", "40073", "40087=0"}},
    };
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    tick({});
    ui()->StandartInpEdit->setText("250"); // the value set last
    QTest::mouseClick(ui()->StandartInpButtonEnter, Qt::LeftButton);
    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(w->lastValue, "250,000");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim.clearRequests();
        const QString label = ui()->LabelLastVal->text();
        const int lines = w->InfoLines->count();
        c.change(sim);
        startPolling();
        ASSERT_TRUE(waitStatusCleared(sim));
        EXPECT_EQ(calls(sim), c.requests);
        EXPECT_EQ(sim.statusBits(), 0);
        EXPECT_EQ(ui()->LabelLastVal->text(), label);
        EXPECT_EQ(w->InfoLines->count(), lines);
        expectInputReleased();
    }
}

struct CelsiusCase {
    const char* name;
    QAction* Ui::TForm1::*type;
    QAction* Ui::TForm1::*r0;
    const char* panel; // ohms
    bool shown;
};
void PrintTo(const CelsiusCase& c, std::ostream* os)
{
    *os << c.name;
}

class CelsiusPollingTest : public PollingTest, public testing::WithParamInterface<CelsiusCase>
{
};

TEST_P(CelsiusPollingTest, ValueIsShownOnlyWhenAThermometerCouldShowIt)
{
    const CelsiusCase& c = GetParam();
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    tick({});
    ui()->Celsium->trigger();
    (ui()->*c.type)->trigger();
    (ui()->*c.r0)->trigger();
    ASSERT_TRUE(w->celsiusMode());
    const QString label = ui()->LabelLastVal->text();
    const QString last = w->lastValue;
    const int lines = w->InfoLines->count();
    ASSERT_TRUE(sim.panelValue(c.panel));
    startPolling();
    ASSERT_TRUE(waitStatusCleared(sim));
    EXPECT_EQ(calls(sim), (Calls{"40087", "40075", "40073", "40087=0"}));

    if (!c.shown) {
        EXPECT_EQ(ui()->LabelLastVal->text(), label);
        EXPECT_EQ(w->lastValue, last);
        EXPECT_EQ(w->InfoLines->count(), lines);
        return;
    }
    const double ohms = numtext::strToFloat(QString::fromLatin1(c.panel));
    const double celsius = w->processor->ohmToTemp(ohms, short(w->rtdType));
    EXPECT_EQ(ui()->LabelLastVal->text(), numtext::formatFloat("0.00", celsius) + " °C");
    // Logged with the Ω format of RD5540-1: three decimals.
    const QString logged = numtext::formatFloat("0.000", celsius);
    EXPECT_EQ(w->lastValue, logged);
    EXPECT_DOUBLE_EQ(w->setValueCelsius, numtext::strToFloat(logged));
    const QString ohmText =
        numtext::formatFloat("0.0000", w->processor->tempToOhm(w->setValueCelsius, short(w->rtdType)));
    EXPECT_EQ(topLines(log(), 5),
              (QStringList{QString::fromStdString(kTime), "Режим некомпенсированный 2х",
                           " T: " + logged + " °C (" + ohmText + " Ом)", "Значение установлено!", ""}));
}

using U = Ui::TForm1;
INSTANTIATE_TEST_SUITE_P(
    Cases, CelsiusPollingTest,
    testing::Values(CelsiusCase{"copperTopBound", &U::copper428, &U::N1001, "185,6", true},
                    CelsiusCase{"copperAboveTop", &U::copper428, &U::N1001, "185,7", false},
                    CelsiusCase{"platinumR0Of50", &U::platinum391, &U::N501, "100", false},
                    CelsiusCase{"nickelBelowBottom", &U::nickel617, &U::N1001, "69,454", false},
                    CelsiusCase{"platinum385", &U::platinum385, &U::N1001, "138,5", true}),
    [](const testing::TestParamInfo<CelsiusCase>& i) { return std::string(i.param.name); });

TEST_F(PollingTest, ValueTextThatIsNoNumberIsReportedAndChangesNothingElse)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    ui()->ChooseOhm->setCurrentIndex(1); // kΩ shown
    w->ChooseOhmSelect(ui()->ChooseOhm);
    const QString digit = ui()->Digit->text();
    const QString edit1 = ui()->Edit1->text();
    const QString label = ui()->LabelLastVal->text();
    const QString last = w->lastValue;
    const int rows = w->history.historyRows;
    const int lines = w->InfoLines->count();
    sim.panelChange(40073, "12a");
    startPolling();
    ASSERT_TRUE(waitStatusCleared(sim));

    EXPECT_EQ(calls(sim), (Calls{"40087", "40075", "40073", "40087=0"}));
    EXPECT_EQ(w->InfoLines->count(), lines + 1);
    EXPECT_EQ(log().value(0), "Неверный ответ прибора (регистр 40073): 12a");
    EXPECT_EQ(ui()->ChooseOhm->currentIndex(), 1);
    EXPECT_EQ(ui()->Digit->text(), digit);
    EXPECT_EQ(ui()->Edit1->text(), edit1);
    EXPECT_EQ(ui()->LabelLastVal->text(), label);
    EXPECT_EQ(w->lastValue, last);
    EXPECT_EQ(w->history.historyRows, rows);
    EXPECT_EQ(w->logIndex, 0);
    EXPECT_TRUE(w->connected);
    expectInputReleased();
}

TEST_F(PollingTest, ValueNotYetSetOnTheInstrumentIsLoggedAsNotSet)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    tick({});
    sim.setNotReadyCount(1);
    const QString last = w->lastValue;
    ASSERT_TRUE(sim.panelValue("250"));
    startPolling();
    ASSERT_TRUE(waitStatusCleared(sim));

    EXPECT_EQ(calls(sim), (Calls{"40087", "40075", "40073", "40087=0"}));
    EXPECT_EQ(log().value(3), "Значение не установлено!");
    EXPECT_EQ(w->lastValue, last); // compared with the value set before
    EXPECT_EQ(w->statusFlags, 0);
}

// ---------------------------------------------------------------- when nothing is polled

TEST_F(PollingTest, NothingIsPolledDuringASetChainOrAProfileRead)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    tick({});
    sim.setNotReadyCount(5);
    ui()->StandartInpEdit->setText("100");
    QTest::mouseClick(ui()->StandartInpButtonEnter, Qt::LeftButton);
    w->RequestTimer->start(5); // ticks all through the chain
    ASSERT_TRUE(testsupport::waitUntil([&] {
        const Calls c = calls(sim);
        return std::find(c.begin(), c.end(), "40087") != c.end();
    }));
    Calls expected = {"40078=A", "40085=A", "40073=100,000", "40074=A"};
    expected.insert(expected.end(), 6, "40075");
    expected.push_back("40087"); // the first poll comes after the chain
    EXPECT_EQ(calls(sim), expected);
    EXPECT_EQ(log().value(3), "Значение установлено!");

    ASSERT_TRUE(waitIdle());
    sim.clearRequests();
    w->RequestTimer->start(5);
    QTest::mouseClick(ui()->ButtonFProfileGet, Qt::LeftButton);
    ASSERT_TRUE(testsupport::waitUntil(
        [&] {
            const Calls c = calls(sim);
            return std::find(c.begin(), c.end(), "40087") != c.end();
        },
        20s));
    const Calls transfer = calls(sim);
    ASSERT_EQ(transfer.size(), 66u);
    for (int i = 0; i < 65; ++i)
        EXPECT_EQ(transfer[i], std::to_string(40001 + i));
    EXPECT_EQ(transfer.back(), "40087");
    EXPECT_FALSE(w->profTransfer);
}

TEST_F(PollingTest, ASetTakesThePlaceOfAValueChangePendingFromThePanel)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    tick({w->ui->checkU});
    // The poll saw the change; before its next tick the operator sets a value himself.
    ASSERT_TRUE(sim.panelValue("300"));
    w->statusFlags = statusbit::ValueChanged;
    ui()->StandartInpEdit->setText("100");
    QTest::mouseClick(ui()->StandartInpButtonEnter, Qt::LeftButton);
    ASSERT_TRUE(waitIdle());

    // The set's own ready answer leads to its read-outs, not to reading the panel's value.
    EXPECT_EQ(calls(sim), (Calls{"40078=A", "40085=A", "40073=100,000", "40074=A", "40075", "40083"}));
    EXPECT_EQ(log().value(4), "Значение установлено!");
    EXPECT_EQ(w->lastValue, "100,000");
    EXPECT_EQ(w->statusFlags, 0);
    expectInputReleased();
}

TEST_F(PollingTest, ASetKeepsTheInputLockedWithAModeChangePending)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    tick({});
    sim.setNotReadyCount(30); // the chain waits a while for the instrument
    w->statusFlags = statusbit::ModeChanged | statusbit::DisplayChanged;
    ui()->StandartInpEdit->setText("100");
    QTest::mouseClick(ui()->StandartInpButtonEnter, Qt::LeftButton);
    // Past the output mode's acknowledgement, waiting for ready.
    ASSERT_TRUE(testsupport::waitUntil([&] { return sim.requestCount() >= 8; }));
    EXPECT_FALSE(ui()->StandartInpButtonEnter->isEnabled());
    EXPECT_TRUE(ui()->StandartInpEdit->isReadOnly());
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(log().value(3), "Значение установлено!");
    EXPECT_EQ(w->statusFlags, 0);
    expectInputReleased();
}

TEST_F(PollingTest, ChangesSeenOnAnEarlierConnectionAreForgotten)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    w->statusFlags = statusbit::ValueChanged | statusbit::ModeChanged;
    w->ConnectionButtonClick();
    ASSERT_FALSE(w->connected);
    ASSERT_TRUE(connectTo(sim));
    EXPECT_EQ(w->statusFlags, 0);
    startPolling();
    ASSERT_TRUE(testsupport::waitUntil([&] { return !calls(sim).empty(); }));
    EXPECT_EQ(calls(sim).front(), "40087");
}

TEST_F(PollingTest, NothingIsPolledInATimedRunOrWithPollingSwitchedOff)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    w->statusFlags = statusbit::ValueChanged; // even with a change pending
    w->RequestTimer->start(5);

    w->autoRun = true;
    ASSERT_TRUE(waitTicks(5));
    EXPECT_TRUE(calls(sim).empty());
    w->autoRun = false;

    ui()->RequestDisabled->trigger();
    EXPECT_TRUE(ui()->RequestDisabled->isChecked());
    EXPECT_FALSE(ui()->RequestEnabled->isChecked());
    ASSERT_TRUE(waitTicks(5));
    EXPECT_TRUE(calls(sim).empty());

    // Switched on again, the next tick handles the pending change.
    ui()->RequestEnabled->trigger();
    ASSERT_TRUE(testsupport::waitUntil([&] { return !calls(sim).empty(); }));
    EXPECT_EQ(calls(sim).front(), "40075");
}

using TimedRunPollingTest = RunFixture;

TEST_F(TimedRunPollingTest, NothingIsPolledWhileATimedRangeRuns)
{
    SimInstrument& sim = addSim(4);
    ASSERT_TRUE(connectTo(sim));
    tick({});
    chooseInputType(1);
    ui()->IncInpEditStart->setText("10");
    ui()->IncInpEditEnd->setText("0");
    ui()->IncInpEditStep->setText("-5");
    chooseTimed("2");
    w->RequestTimer->start(5); // ticks all through the run
    click(ui()->IncrInpButtonEnter);
    ASSERT_TRUE(w->autoRun);
    ASSERT_TRUE(testsupport::waitUntil([&] { return !w->autoRun; }, 20s));
    ASSERT_TRUE(waitSetDone());
    EXPECT_EQ(sentValues(sim), QStringList({"10", "5", "0"}));
    const auto isPoll = [](const SimInstrument::Request& r) {
        return r.reg == 40087 || (r.function == frame::FuncRead && (r.reg == 40078 || r.reg == 40085));
    };
    const std::vector<SimInstrument::Request> run = sim.requests();
    EXPECT_TRUE(std::none_of(run.begin(), run.end(), isPoll));

    // Back in manual input the poll resumes.
    click(ui()->ManualInp);
    ASSERT_TRUE(testsupport::waitUntil([&] {
        const std::vector<SimInstrument::Request> r = sim.requests();
        return std::any_of(r.begin(), r.end(), isPoll);
    }));
}

TEST_F(PollingTest, OnlyInstrumentsFromSerialNumber13OnArePolled)
{
    struct Case {
        const char* serial;
        bool polled;
    };
    const Case cases[] = {{"12", false}, {"13", true}, {"--", true}, {"1x", false}};
    SimInstrument& sim = addSim(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.serial);
        sim.setRegisterText(40067, c.serial);
        ASSERT_TRUE(connectTo(sim));
        ASSERT_EQ(ui()->DeviceNoLabel->text(), c.serial);
        w->RequestTimer->start(5);
        ASSERT_TRUE(waitTicks(5));
        ASSERT_TRUE(waitIdle());
        EXPECT_EQ(!calls(sim).empty(), c.polled);
        w->RequestTimer->stop();
        w->ConnectionButtonClick();
        ASSERT_FALSE(w->connected);
    }
}

// ---------------------------------------------------------------- a poll meets a failed link

TEST_F(PollingTest, PollThatFindsTheLinkSilentEndsItOnceAndSendsNothingWhileTheBoxIsOpen)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    sim.addFault(Fault::silence());
    int ticksInBox = 0;
    int sentInBox = -1;
    bool pollingOffInBox = false;
    seam().setAnswerer([&](const ShownDialog&, bool*) {
        pollingOffInBox = !w->RequestTimer->isActive() && !w->requestOnLine();
        const int before = sim.requestCount();
        QSignalSpy ticks(w->RequestTimer, &QTimer::timeout);
        // Longer than any pace of the poll, while the operator reads the box.
        testsupport::waitUntil([] { return false; }, 600ms);
        ticksInBox = int(ticks.count());
        sentInBox = sim.requestCount() - before;
        return mrOk;
    });
    w->RequestTimer->start(20);
    ASSERT_TRUE(testsupport::waitUntil([&] { return !dialogs().empty() && !w->connected; }));

    EXPECT_TRUE(pollingOffInBox);
    EXPECT_EQ(ticksInBox, 0);
    EXPECT_EQ(sentInBox, 0);
    EXPECT_EQ(calls(sim), Calls{"40087"}); // the poll that went unanswered
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(dialogs()[0].text, "Соединение разорвано.");
    EXPECT_EQ(log().count("Соединение разорвано."), 1); // Disconnect ran once
    EXPECT_EQ(log().value(2), "Прибор не ответил вовремя.");
    EXPECT_FALSE(w->comPort->isOpen());
    expectInputReleased();

    // The poll runs on and sends nothing while disconnected.
    EXPECT_TRUE(w->RequestTimer->isActive());
    ASSERT_TRUE(waitTicks(3));
    EXPECT_EQ(sim.requestCount(), 1);
}

} // namespace
