// Input modes and range runs: the mode and type switches, the range check, manual steps
// locked until the read-outs arrive, timed runs with their countdown, pause and continue,
// stop, the run's end and a link that drops during a run, against a simulated instrument.
#include "tests/RunFixture.h"
#include "tests/WindowFixture.h"

#include "ui_TForm1.h"

#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <map>

namespace
{

using Fault = SimInstrument::Fault;

class RangeRunTest : public RunFixture
{
protected:
    // Connected to RD5540-<variant> (one simulator per variant), no read-outs chosen, range
    // input by hand.
    SimInstrument& connectRange(int variant)
    {
        SimInstrument*& slot = m_byVariant[variant];
        if (!slot)
            slot = &addSim(variant);
        SimInstrument& sim = *slot;
        EXPECT_TRUE(connectTo(sim));
        tick({});
        chooseInputType(1);
        return sim;
    }

    void setRange(const char* start, const char* end, const char* step)
    {
        ui()->IncInpEditStart->setText(QString::fromUtf8(start));
        ui()->IncInpEditEnd->setText(QString::fromUtf8(end));
        ui()->IncInpEditStep->setText(QString::fromUtf8(step));
    }

    // A timed range run on RD5540-4 set up, not started yet.
    SimInstrument& timedRange(const char* start, const char* end, const char* step, const char* period)
    {
        SimInstrument& sim = connectRange(4);
        setRange(start, end, step);
        chooseTimed(QString::fromLatin1(period));
        return sim;
    }

    // Everything a range run locks is locked (or, with false, given back).
    void expectLocked(bool locked, bool timed)
    {
        for (QWidget* c :
             {static_cast<QWidget*>(ui()->IncInpEditStart), static_cast<QWidget*>(ui()->IncInpEditEnd),
              static_cast<QWidget*>(ui()->IncInpEditStep), static_cast<QWidget*>(ui()->Settings1),
              static_cast<QWidget*>(ui()->InpType), static_cast<QWidget*>(ui()->ButtonFProfileGet),
              static_cast<QWidget*>(ui()->ButtonFProfileOpen)})
            EXPECT_EQ(c->isEnabled(), !locked) << c->objectName().toStdString();
        EXPECT_EQ(ui()->Mfprof->menuAction()->isEnabled(), !locked);
        EXPECT_EQ(ui()->IncrInpButtonPause->isEnabled(), locked);
        if (timed) {
            EXPECT_EQ(ui()->MphysicVal->menuAction()->isEnabled(), !locked);
            EXPECT_EQ(ui()->ConnectionButton->isEnabled(), !locked);
        }
    }

    void expectIdleTimed()
    {
        EXPECT_FALSE(w->autoRun);
        EXPECT_FALSE(w->paused);
        EXPECT_FALSE(w->Timer->isActive());
        EXPECT_EQ(ui()->IncrInpButtonEnter->text(), "Старт");
        EXPECT_EQ(ui()->IncrInpNextVal->text(), "--");
        expectLocked(false, true);
    }

private:
    std::map<int, SimInstrument*> m_byVariant;
};

TEST_F(RangeRunTest, ManualStepsAreLockedUntilTheReadoutsArrive)
{
    SimInstrument& sim = connectRange(4);
    setRange("0", "10", "5");
    ASSERT_EQ(ui()->IncrInpButtonEnter->text(), "Ввод");
    ASSERT_EQ(ui()->IncrInpButtonPause->text(), "Прервать");

    const QStringList next = {"5", "10", "--"};
    for (int press = 0; press < 3; ++press) {
        SCOPED_TRACE(press);
        click(ui()->IncrInpButtonEnter);
        EXPECT_FALSE(ui()->IncrInpButtonEnter->isEnabled()) << "locked while the set runs";
        click(ui()->IncrInpButtonEnter); // a press meanwhile goes nowhere
        EXPECT_EQ(ui()->IncrInpNextVal->text(), next[press]);
        // The profile commands wait for the set, whether or not the run goes on.
        EXPECT_FALSE(ui()->ButtonFProfileGet->isEnabled());
        ASSERT_TRUE(waitSetDone());
        expectLocked(press < 2, false);
        EXPECT_TRUE(ui()->IncrInpButtonEnter->isEnabled());
    }
    EXPECT_EQ(sentValues(sim), QStringList({"0", "5", "10"}));

    // A fourth press starts again at the start.
    click(ui()->IncrInpButtonEnter);
    ASSERT_TRUE(waitSetDone());
    EXPECT_EQ(sentValues(sim), QStringList({"0", "5", "10", "0"}));
    EXPECT_EQ(entries(ui()->InfoValsOhm), QStringList({"0", "5", "10", "0"}));
    EXPECT_EQ(w->history.historyRows, 4);

    // The abort button ends the run without sending.
    click(ui()->IncrInpButtonPause);
    EXPECT_EQ(ui()->IncrInpNextVal->text(), "--");
    expectLocked(false, false);
    EXPECT_TRUE(staysQuiet(sim, std::chrono::milliseconds(150)));
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(RangeRunTest, ManualRangesSendTheirValuesInOhms)
{
    struct Case {
        const char* name;
        int variant;
        int unit;
        const char *start, *end, *step;
        QStringList sent;
    };
    const Case cases[] = {
        {"downwards, last step cut to the end", 4, 0, "10", "0", "-3", {"10", "7", "4", "1", "0"}},
        {"kilohms as ohm texts", 1, 1, "1", "2", "0,5", {"1000,000", "1500,000", "2000,000"}},
        // Repeated sums of 0,1 fall just short of 1; the end is met once, not twice.
        {"tenths summed up to the end",
         1,
         0,
         "0",
         "1",
         "0,1",
         {"0", "0,100", "0,200", "0,300", "0,400", "0,500", "0,600", "0,700", "0,800", "0,900", "1,000"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimInstrument& sim = connectRange(c.variant);
        ui()->ChooseOhm2->setCurrentIndex(c.unit);
        w->ChooseOhmSelect(ui()->ChooseOhm2);
        setRange(c.start, c.end, c.step);
        while (sentValues(sim).size() < c.sent.size()) {
            click(ui()->IncrInpButtonEnter);
            ASSERT_TRUE(waitSetDone());
            if (ui()->IncrInpNextVal->text() == "--")
                break;
        }
        EXPECT_EQ(ui()->IncrInpNextVal->text(), "--") << "the run ended with the end value";
        QStringList expected = c.sent;
        // The instrument gets every value in the variant's Ω format.
        if (c.variant == 1 && c.unit == 0)
            expected[0] = "0,000";
        EXPECT_EQ(sentValues(sim), expected);
        EXPECT_EQ(entries(ui()->InfoValsOhm), c.sent);
        EXPECT_EQ(w->unitIndex(), c.unit);
        EXPECT_TRUE(dialogs().empty());
        w->ConnectionButtonClick();
        ui()->InfoValsOhm->clear();
    }
}

TEST_F(RangeRunTest, TimedRunSendsEveryValueAfterThePeriodAndEnds)
{
    SimInstrument& sim = timedRange("10", "0", "-3", "3");
    ASSERT_EQ(ui()->IncrInpButtonEnter->text(), "Старт");
    ASSERT_TRUE(ui()->TimeLeft->isVisibleTo(w.get()));

    click(ui()->IncrInpButtonEnter);
    EXPECT_TRUE(w->autoRun);
    EXPECT_EQ(ui()->IncrInpButtonEnter->text(), "Стоп");
    EXPECT_EQ(ui()->IncrInpNextVal->text(), "7");
    expectLocked(true, true);
    ASSERT_TRUE(waitSetDone());
    // The period counts from the end of the set (a countdown tick may have come since).
    EXPECT_GE(ui()->TimeLeft->text().toInt(), 2);
    EXPECT_EQ(w->Timer->interval(), 3 * SecondMs);
    EXPECT_TRUE(w->Timer->isActive());
    EXPECT_TRUE(w->TimerCountdown->isActive());
    EXPECT_EQ(sentValues(sim), QStringList({"10"}));

    ASSERT_TRUE(testsupport::waitUntil([&] { return !w->autoRun; }, std::chrono::seconds(20)));
    ASSERT_TRUE(waitSetDone());
    EXPECT_EQ(sentValues(sim), QStringList({"10", "7", "4", "1", "0"}));
    EXPECT_EQ(entries(ui()->InfoValsOhm), QStringList({"10", "7", "4", "1", "0"}));
    expectIdleTimed();
    // After the last value the buttons are given back instead of the timer re-armed.
    EXPECT_TRUE(ui()->IncrInpButtonEnter->isEnabled());
    EXPECT_TRUE(staysQuiet(sim, std::chrono::milliseconds(5 * SecondMs)));
    EXPECT_TRUE(dialogs().empty());
}

// The run's values stay in the unit it was started in, whatever unit is chosen meanwhile.
TEST_F(RangeRunTest, TimedRunKeepsTheUnitItWasStartedIn)
{
    SimInstrument& sim = connectRange(1);
    ui()->ChooseOhm2->setCurrentIndex(1);
    w->ChooseOhmSelect(ui()->ChooseOhm2);
    setRange("1", "2", "0,5");
    chooseTimed("2");
    click(ui()->IncrInpButtonEnter);
    ASSERT_TRUE(waitSetDone());
    EXPECT_EQ(ui()->IncrInpNextVal->text(), "1,500000");
    ui()->ChooseOhm2->setCurrentIndex(0);
    w->ChooseOhmSelect(ui()->ChooseOhm2);

    ASSERT_TRUE(testsupport::waitUntil([&] { return !w->autoRun; }, std::chrono::seconds(20)));
    ASSERT_TRUE(waitSetDone());
    EXPECT_EQ(sentValues(sim), QStringList({"1000,000", "1500,000", "2000,000"}));
    EXPECT_EQ(entries(ui()->InfoValsOhm), QStringList({"1000,000", "1500,000", "2000,000"}));
}

// The next value is shown in the unit its caption names, also when the unit is stepped with
// the range group's arrows while a run goes on; the values sent stay those of the range.
class NextValueUnit : public RangeRunTest, public ::testing::WithParamInterface<bool>
{
protected:
    void stepUnitDown() { click(ui()->ChooseOhm2UpDown->findChild<QToolButton*>("prevButton")); }
};

TEST_P(NextValueUnit, FollowsTheUnitOfItsCaption)
{
    const bool timed = GetParam();
    SimInstrument& sim = connectRange(1);
    stepUnitDown(); // Ω -> MΩ
    stepUnitDown(); // MΩ -> kΩ
    ASSERT_EQ(ui()->IncPhysVal->text(), "R, кОм:");
    setRange("1", "2", "0,5");
    if (timed)
        chooseTimed("25"); // a second of the period is 40 ms: the checks below come well within it
    click(ui()->IncrInpButtonEnter);
    ASSERT_TRUE(waitSetDone());
    ASSERT_EQ(ui()->IncrInpNextVal->text(), "1,500000");

    const struct {
        const char* caption;
        const char* next;
    } steps[] = {
        {"R, Ом:", "1500,000"}, {"R, МОм:", "0,001500000"}, {"R, кОм:", "1,500000"}, {"R, Ом:", "1500,000"}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.caption);
        stepUnitDown();
        EXPECT_EQ(ui()->IncPhysVal->text(), QString::fromUtf8(s.caption));
        EXPECT_EQ(ui()->IncrInpNextVal->text(), QString::fromUtf8(s.next));
    }
    ASSERT_EQ(sentValues(sim).size(), 1) << "no step came in between";

    if (!timed) {
        // A unit change empties the range edits, which a manual press checks again: the run
        // can only be aborted, and nothing more is sent.
        click(ui()->IncrInpButtonPause);
        EXPECT_EQ(ui()->IncrInpNextVal->text(), "--");
        stepUnitDown();
        EXPECT_EQ(ui()->IncrInpNextVal->text(), "--");
        EXPECT_EQ(sentValues(sim), QStringList({"1000,000"}));
        return;
    }
    ASSERT_TRUE(waitSent(sim, 2));
    ASSERT_TRUE(waitSetDone());
    EXPECT_EQ(ui()->IncrInpNextVal->text(), "2000,000");
    ASSERT_TRUE(testsupport::waitUntil([&] { return !w->autoRun; }, std::chrono::seconds(20)));
    ASSERT_TRUE(waitSetDone());
    EXPECT_EQ(ui()->IncrInpNextVal->text(), "--");
    EXPECT_EQ(sentValues(sim), QStringList({"1000,000", "1500,000", "2000,000"}));
    EXPECT_EQ(entries(ui()->InfoValsOhm), QStringList({"1000,000", "1500,000", "2000,000"}));
    EXPECT_TRUE(dialogs().empty());
}

INSTANTIATE_TEST_SUITE_P(ManualAndTimed, NextValueUnit, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Timed" : "Manual"; });

TEST_F(RangeRunTest, PauseWaitsOnlyForTheTimeLeftAndContinueGoesOn)
{
    SimInstrument& sim = timedRange("0", "20", "10", "10");
    click(ui()->IncrInpButtonEnter);
    ASSERT_TRUE(waitSetDone());
    ASSERT_TRUE(testsupport::waitUntil([&] { return ui()->TimeLeft->text().toInt() <= 6; }));

    click(ui()->IncrInpButtonPause);
    EXPECT_TRUE(w->paused);
    EXPECT_TRUE(w->restorePeriod);
    EXPECT_EQ(ui()->IncrInpButtonPause->text(), "Продолжить");
    EXPECT_FALSE(w->Timer->isActive());
    EXPECT_FALSE(w->TimerCountdown->isActive());
    const int left = ui()->TimeLeft->text().toInt();
    EXPECT_EQ(w->Timer->interval(), left * SecondMs);
    EXPECT_TRUE(staysQuiet(sim, std::chrono::milliseconds(12 * SecondMs)));
    EXPECT_EQ(ui()->TimeLeft->text().toInt(), left);

    click(ui()->IncrInpButtonPause);
    EXPECT_FALSE(w->paused);
    EXPECT_EQ(ui()->IncrInpButtonPause->text(), "Пауза");
    ASSERT_TRUE(waitSent(sim, 2));
    ASSERT_TRUE(waitSetDone());
    // The next wait is the whole period again.
    EXPECT_EQ(w->Timer->interval(), 10 * SecondMs);
    EXPECT_GE(ui()->TimeLeft->text().toInt(), 9);
    EXPECT_FALSE(w->restorePeriod);

    ASSERT_TRUE(testsupport::waitUntil([&] { return !w->autoRun; }, std::chrono::seconds(20)));
    ASSERT_TRUE(waitSetDone());
    EXPECT_EQ(sentValues(sim), QStringList({"0", "10", "20"}));
    expectIdleTimed();
}

// The countdown reads "--" until the first set of a run has ended; pausing and continuing
// before that lets the countdown run on a text that is no number.
TEST_F(RangeRunTest, PausedAndContinuedBeforeTheFirstSetEndsTheRunGoesOn)
{
    SimInstrument& sim = timedRange("0", "20", "10", "2");
    sim.addFault(Fault::delay(8 * SecondMs, 1)); // the first request of the run answers late

    click(ui()->IncrInpButtonEnter);
    ASSERT_EQ(ui()->TimeLeft->text(), "--");
    click(ui()->IncrInpButtonPause);
    EXPECT_EQ(w->Timer->interval(), 2 * SecondMs) << "no count to shorten the wait to";
    click(ui()->IncrInpButtonPause);
    EXPECT_TRUE(w->TimerCountdown->isActive());
    // Several countdown ticks and run timer ticks come while the first set still runs.
    ASSERT_TRUE(
        testsupport::waitUntil([&] { return ui()->TimeLeft->text() != "--"; }, std::chrono::seconds(20)));
    EXPECT_TRUE(w->autoRun);

    ASSERT_TRUE(testsupport::waitUntil([&] { return !w->autoRun; }, std::chrono::seconds(20)));
    ASSERT_TRUE(waitSetDone());
    EXPECT_EQ(sentValues(sim), QStringList({"0", "10", "20"}));
    expectIdleTimed();
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(RangeRunTest, StopEndsTheRunAndSendsNothingMore)
{
    SimInstrument& sim = timedRange("0", "50", "10", "3");
    click(ui()->IncrInpButtonEnter);
    ASSERT_TRUE(waitSetDone());
    click(ui()->IncrInpButtonPause); // paused, then stopped: the pause caption comes back too

    click(ui()->IncrInpButtonEnter);
    expectIdleTimed();
    EXPECT_FALSE(w->TimerCountdown->isActive());
    EXPECT_EQ(ui()->TimeLeft->text(), "--");
    EXPECT_EQ(ui()->IncrInpButtonPause->text(), "Пауза");
    EXPECT_TRUE(staysQuiet(sim, std::chrono::milliseconds(6 * SecondMs)));
    EXPECT_EQ(sentValues(sim), QStringList({"0"}));

    // A stop while a set is under way lets that set complete.
    click(ui()->IncrInpButtonEnter);
    click(ui()->IncrInpButtonEnter);
    EXPECT_FALSE(ui()->ButtonFProfileGet->isEnabled()); // until the set is done
    ASSERT_TRUE(waitSetDone());
    expectIdleTimed();
    EXPECT_EQ(sentValues(sim), QStringList({"0", "0"}));
    EXPECT_TRUE(staysQuiet(sim, std::chrono::milliseconds(6 * SecondMs)));
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(RangeRunTest, LinkDroppingDuringATimedRunStopsIt)
{
    SimInstrument& sim = timedRange("0", "50", "10", "2");
    click(ui()->IncrInpButtonEnter);
    ASSERT_TRUE(waitSetDone());
    sim.addFault(Fault::silence()); // the next send is never answered

    ASSERT_TRUE(testsupport::waitUntil([&] { return !w->connected; }, std::chrono::seconds(20)));
    EXPECT_FALSE(w->autoRun);
    EXPECT_FALSE(w->Timer->isActive());
    EXPECT_FALSE(w->TimerCountdown->isActive());
    EXPECT_EQ(ui()->IncrInpButtonEnter->text(), "Старт");
    EXPECT_EQ(ui()->IncrInpNextVal->text(), "--");
    EXPECT_EQ(ui()->TimeLeft->text(), "--");
    EXPECT_TRUE(ui()->IncInpEditStart->isEnabled());
    EXPECT_TRUE(ui()->ConnectionButton->isEnabled());
    EXPECT_FALSE(ui()->ButtonFProfileGet->isEnabled()) << "no profile commands without the instrument";
    EXPECT_TRUE(log().contains("Соединение разорвано."));
    const int requests = sim.requestCount();
    EXPECT_TRUE(staysQuiet(sim, std::chrono::milliseconds(5 * SecondMs)));
    EXPECT_EQ(sim.requestCount(), requests);
}

TEST_F(RangeRunTest, DisconnectEndsAManualRun)
{
    SimInstrument& sim = connectRange(4);
    setRange("0", "50", "10");
    click(ui()->IncrInpButtonEnter);
    ASSERT_TRUE(waitSetDone());
    ASSERT_EQ(ui()->IncrInpNextVal->text(), "10");

    w->ConnectionButtonClick();
    EXPECT_EQ(ui()->IncrInpNextVal->text(), "--");
    EXPECT_FALSE(ui()->IncrInpButtonPause->isEnabled());
    EXPECT_TRUE(ui()->IncInpEditStart->isEnabled());

    // Connected again, the next press starts at the start.
    ASSERT_TRUE(connectTo(sim));
    click(ui()->IncrInpButtonEnter);
    ASSERT_TRUE(waitSetDone());
    EXPECT_EQ(sentValues(sim), QStringList({"0"}));
}

// After a disconnect the run buttons read what the selected input mode gives them, in the
// window's language: a manual run cut short by the disconnect, or a timed mode left idle.
struct CaptionCase {
    const char* name;
    bool timed;
    bool english;
    const char *enter, *rangePause, *listPause;
};

void PrintTo(const CaptionCase& c, std::ostream* os)
{
    *os << c.name;
}

class DisconnectCaptions : public RangeRunTest, public ::testing::WithParamInterface<CaptionCase>
{
};

TEST_P(DisconnectCaptions, FollowTheInputMode)
{
    const CaptionCase& c = GetParam();
    SimInstrument& sim = connectRange(4);
    if (c.english)
        ui()->English->trigger();
    setRange("0", "50", "10");
    if (c.timed) {
        chooseTimed("2");
    } else {
        click(ui()->IncrInpButtonEnter);
        ASSERT_TRUE(waitSetDone());
        ASSERT_EQ(ui()->IncrInpNextVal->text(), "10");
    }
    click(ui()->ConnectionButton);
    ASSERT_FALSE(w->connected);

    const auto expectCaptions = [&] {
        EXPECT_EQ(ui()->IncrInpButtonEnter->text(), QString::fromUtf8(c.enter));
        EXPECT_EQ(ui()->ProfileInpButtonEnter->text(), QString::fromUtf8(c.enter));
        EXPECT_EQ(ui()->IncrInpButtonPause->text(), QString::fromUtf8(c.rangePause));
        EXPECT_EQ(ui()->ProfileInpButtonPause->text(), QString::fromUtf8(c.listPause));
    };
    expectCaptions();
    // The mode button's own handler gives the same captions.
    click(c.timed ? ui()->AutoInp : ui()->ManualInp);
    expectCaptions();

    // Connected again, a manual press starts at the start; a timed start still starts.
    ASSERT_TRUE(connectTo(sim));
    click(ui()->IncrInpButtonEnter);
    ASSERT_TRUE(waitSetDone());
    EXPECT_EQ(sentValues(sim), QStringList({"0"}));
    EXPECT_EQ(w->autoRun, c.timed);
    if (c.timed)
        click(ui()->IncrInpButtonEnter); // stop
    EXPECT_TRUE(dialogs().empty());
}

INSTANTIATE_TEST_SUITE_P(
    ModesAndLanguages, DisconnectCaptions,
    ::testing::Values(CaptionCase{"ManualRussian", false, false, "Ввод", "Прервать", "Пауза"},
                      CaptionCase{"ManualEnglish", false, true, "Enter", "Stop", "Pause"},
                      CaptionCase{"TimedRussian", true, false, "Старт", "Пауза", "Пауза"},
                      CaptionCase{"TimedEnglish", true, true, "Start", "Pause", "Pause"}),
    [](const ::testing::TestParamInfo<CaptionCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- without an instrument

class RangeWindowTest : public WindowFixture
{
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        ui()->InpType->setCurrentIndex(1);
        w.InpTypeChange();
    }
    void setRange(const char* start, const char* end, const char* step)
    {
        ui()->IncInpEditStart->setText(QString::fromUtf8(start));
        ui()->IncInpEditEnd->setText(QString::fromUtf8(end));
        ui()->IncInpEditStep->setText(QString::fromUtf8(step));
    }
    QStringList comboTexts()
    {
        QStringList texts;
        for (int i = 0; i < ui()->InpType->count(); ++i)
            texts << ui()->InpType->itemText(i);
        return texts;
    }
};

TEST_F(RangeWindowTest, RefusedRangesStartNothing)
{
    struct Case {
        int variant;
        const char *start, *end, *step;
    };
    const Case cases[] = {
        {3, "1", "1", "1"},        // start = end
        {3, "0", "10", "-1"},      // step pointing away from the end
        {3, "10", "0", "1"},       // the same the other way round
        {3, "0", "10", "0"},       // no step
        {3, "0", "10", "x"},       // not a number
        {3, "", "10", "1"},        // no start
        {0, "0", "1", "0,0005"},   // not a multiple of the step
        {0, "0", "10000", "1"},    // outside the range
        {0, "0", "1", "--0,1"},    // one minus only
        {3, "0", "10", "0,5"},     // RD5540-4 has no fractions
        {0, "0", "1,0001", "0,1"}, // the end not a multiple of the step
    };
    w.connected = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.variant << ": " << c.start << " " << c.end << " " << c.step);
        selectVariant(c.variant);
        setRange(c.start, c.end, c.step);
        seam.clear();
        EXPECT_FALSE(w.CheckRangeParams());
        QTest::mouseClick(ui()->IncrInpButtonEnter, Qt::LeftButton);
        ASSERT_EQ(seam.shown().size(), 1u);
        EXPECT_EQ(seam.shown()[0].text, "Параметры ввода заданы некорректно!");
        EXPECT_EQ(seam.shown()[0].caption, "Внимание");
        EXPECT_EQ(ui()->IncrInpNextVal->text(), "--");
        EXPECT_FALSE(w.setPending);
    }

    selectVariant(0);
    setRange("0", "1", "-0,1");
    EXPECT_FALSE(w.CheckRangeParams()); // downwards step on an upward range
    setRange("1", "0", "-0,1");
    EXPECT_TRUE(w.CheckRangeParams());
    EXPECT_EQ(w.rangeStart, 1.0);
    EXPECT_EQ(w.rangeEnd, 0.0);
    EXPECT_EQ(w.rangeStep, -0.1);
}

TEST_F(RangeWindowTest, EnterWithoutInstrumentOrPeriodIsRefused)
{
    setRange("0", "10", "1");
    QTest::mouseClick(ui()->IncrInpButtonEnter, Qt::LeftButton);
    ASSERT_EQ(seam.shown().size(), 1u);
    EXPECT_EQ(seam.shown()[0].text, "Нет соединения с прибором!");

    w.connected = true;
    QTest::mouseClick(ui()->AutoInp, Qt::LeftButton);
    for (const char* period : {"", "0"}) {
        seam.clear();
        ui()->EditAuto->setText(QString::fromLatin1(period));
        QTest::mouseClick(ui()->IncrInpButtonEnter, Qt::LeftButton);
        ASSERT_EQ(seam.shown().size(), 1u);
        EXPECT_EQ(seam.shown()[0].text, "Период времени не указан!");
        EXPECT_FALSE(w.autoRun);
        EXPECT_EQ(ui()->IncrInpButtonEnter->text(), "Старт");
    }
}

TEST_F(RangeWindowTest, ModeSwitchesTheControlsAndTheSingleType)
{
    ui()->InpType->setCurrentIndex(2);
    w.InpTypeChange();
    QTest::mouseClick(ui()->AutoInp, Qt::LeftButton);
    EXPECT_EQ(ui()->InpType->count(), 2);
    EXPECT_EQ(ui()->InpType->currentIndex(), 1) << "the range takes the place of single values";
    EXPECT_TRUE(ui()->IncrInputGroup->isVisibleTo(&w));
    EXPECT_FALSE(ui()->StandartInputGroup->isVisibleTo(&w));
    EXPECT_TRUE(ui()->EditAuto->isEnabled());
    EXPECT_TRUE(ui()->LabelAuto->isEnabled());
    EXPECT_TRUE(ui()->TimeLeft->isVisibleTo(&w));
    EXPECT_TRUE(ui()->TimeLeft1->isVisibleTo(&w));
    EXPECT_EQ(ui()->IncrInpButtonEnter->text(), "Старт");
    EXPECT_EQ(ui()->ProfileInpButtonEnter->text(), "Старт");
    EXPECT_EQ(ui()->IncrInpButtonPause->text(), "Пауза");

    QTest::mouseClick(ui()->ManualInp, Qt::LeftButton);
    EXPECT_EQ(comboTexts(), QStringList({"Массив", "Диапазон", "Одиночные"}));
    EXPECT_EQ(ui()->InpType->currentIndex(), 1);
    EXPECT_FALSE(ui()->EditAuto->isEnabled());
    EXPECT_FALSE(ui()->TimeLeft->isVisibleTo(&w));
    EXPECT_EQ(ui()->IncrInpButtonEnter->text(), "Ввод");
    EXPECT_EQ(ui()->IncrInpButtonPause->text(), "Прервать");

    useEnglish();
    QTest::mouseClick(ui()->AutoInp, Qt::LeftButton);
    QTest::mouseClick(ui()->ManualInp, Qt::LeftButton);
    EXPECT_EQ(ui()->InpType->itemText(2), "Single");
    EXPECT_EQ(ui()->IncrInpButtonEnter->text(), "Enter");
}

TEST_F(RangeWindowTest, InputTypeShowsItsGroupAndListAndClearsTheHistory)
{
    struct Case {
        int type;
        QWidget* group;
        QListWidget* list;
        const char* label;
        bool saveShown;
    };
    const Case cases[] = {
        {0, ui()->ProfileInputGroup, ui()->InfoValsProf, "Массив", false},
        {1, ui()->IncrInputGroup, ui()->InfoValsOhm, "История ввода", true},
        {2, ui()->StandartInputGroup, ui()->InfoValsOhm, "История ввода", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        w.history.appendRow({}, QString());
        ui()->InpType->setCurrentIndex(c.type == 0 ? 1 : 0);
        QTest::keyClick(ui()->InpType, c.type == 0 ? Qt::Key_Up : Qt::Key_Down);
        if (c.type == 2)
            QTest::keyClick(ui()->InpType, Qt::Key_Down);
        ASSERT_EQ(ui()->InpType->currentIndex(), c.type);
        EXPECT_TRUE(c.group->isVisibleTo(&w));
        EXPECT_TRUE(c.list->isVisibleTo(&w));
        EXPECT_EQ(w.curHistoryList, c.list);
        EXPECT_EQ(ui()->Label2->text(), QString::fromUtf8(c.label));
        EXPECT_EQ(ui()->StandartInpButtonSaveAsProfile->isVisibleTo(&w), c.saveShown);
        EXPECT_EQ(ui()->ButtonCleanInfoVals->isVisibleTo(&w), c.saveShown);
        EXPECT_EQ(w.history.historyRows, 0);
    }
    EXPECT_EQ(w.runTimerHandler, &TForm1::TimerIncr);
}

TEST_F(RangeWindowTest, PeriodTakesNoLeadingZero)
{
    QTest::mouseClick(ui()->AutoInp, Qt::LeftButton);
    QLineEdit* period = ui()->EditAuto;
    QTest::keyClicks(period, "0");
    EXPECT_EQ(period->text(), "");
    QTest::keyClicks(period, "05");
    EXPECT_EQ(period->text(), "5");
    QTest::keyClicks(period, "0x0");
    EXPECT_EQ(period->text(), "500");
    QTest::keyClick(period, Qt::Key_Home);
    QTest::keyClicks(period, "0");
    EXPECT_EQ(period->text(), "500");
    QTest::keyClick(period, Qt::Key_End);
    QTest::keyClicks(period, "12");
    EXPECT_EQ(period->text(), "5001") << "at most four digits";
}

} // namespace
