// The serial link end to end: port probing, identification, resends and the failure limit,
// exception answers, time-outs (and an answer just before one), timers firing while a
// failure's box is open, answers split or oversized, a late answer after a disconnect, and
// the set-value chain with its read-outs, against simulated instruments.
#include "ui_TForm1.h"

#include "tests/LinkFixture.h"

#include "instrument/ProfileProcessor.h"
#include "platform/ComPort.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>

#include <algorithm>
#include <optional>

namespace
{

using Fault = SimInstrument::Fault;
using Regs = std::vector<std::uint16_t>;

Regs operator+(Regs a, const Regs& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Regs times(std::uint16_t reg, int n)
{
    return Regs(std::size_t(n), reg);
}

// The identification from 40067 on, as a read of the serial number starts it again.
const Regs FromSerialNumber = {40067, 40068, 40069, 40071, 40072, 40086, 40078, 40085};

class LinkTest : public LinkFixture
{
protected:
    Ui::TForm1* ui() { return w->ui; }
    void readSerialNumber() { w->SendFrame(frame::FuncRead, 40067); }

    void expectLinkFailedDialog()
    {
        ASSERT_EQ(dialogs().size(), 1u);
        EXPECT_EQ(dialogs()[0].caption, "Внимание");
        EXPECT_EQ(dialogs()[0].text, "Соединение разорвано.");
        EXPECT_EQ(dialogs()[0].type, DialogType::Warning);
        EXPECT_EQ(dialogs()[0].buttons, QStringList{"OK"});
        // Disconnect's lines stand above the reason.
        EXPECT_EQ(log().value(0), "Соединение разорвано.");
        EXPECT_EQ(log().value(1), "");
        EXPECT_EQ(log().value(2), "Прибор не ответил вовремя.");
    }
};

// ---------------------------------------------------------------- probing

TEST_F(LinkTest, ProbingSkipsEveryPortThatIsNotTheChosenInstrument)
{
    SimInstrument& silent = addSim(3);
    silent.addFault(Fault::silence());
    SimInstrument& foreign = addSim(2);
    SimInstrument& nameless = addSim(3);
    nameless.setRegisterText(40066, "RD554");
    // Refusals of the model text: asked again they would hold the probing up for good.
    SimInstrument& refusing = addSim(3);
    refusing.addFault(Fault::exception(12));
    SimInstrument& noPassword = addSim(3);
    noPassword.addFault(Fault::exception(11));
    SimInstrument& right = addSim(3);

    selectVariant(3);
    w->ConnectionButtonClick();
    EXPECT_FALSE(ui()->BoxDevice->isEnabled());
    ASSERT_TRUE(waitIdle());

    EXPECT_TRUE(w->connected);
    EXPECT_EQ(w->portNumber, 6);
    // Each wrong port is asked once: a time-out while probing is never resent.
    for (SimInstrument* wrong : {&silent, &foreign, &nameless, &refusing, &noPassword})
        EXPECT_EQ(registers(*wrong), Regs{40066}) << wrong->linkPath().toStdString();
    EXPECT_EQ(registers(right), identificationSequence());
    EXPECT_EQ(ui()->deviceFullName->text(), "RD5540-3");
    EXPECT_FALSE(ui()->BoxDevice->isEnabled());
    EXPECT_EQ(log().value(0), "Прибор подключен к ПК!");
    EXPECT_EQ(log().value(1), "");
    EXPECT_EQ(log().size(), 2); // the skipped ports leave no trace
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(LinkTest, NothingFoundStopsAfterTheLastPortNumber)
{
    selectVariant(1);
    w->ConnectionButtonClick();
    ASSERT_TRUE(waitIdle(std::chrono::seconds(5)));

    EXPECT_FALSE(w->connected);
    EXPECT_EQ(w->portNumber, porttable::MaxPort + 1);
    EXPECT_EQ(log().value(0), "Прибор не найден!!!");
    EXPECT_TRUE(ui()->BoxDevice->isEnabled());
    EXPECT_FALSE(w->comPort->isOpen());
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(LinkTest, ConnectWithoutAVariantOnlyWarns)
{
    SimInstrument& sim = addSim(1);
    ui()->BoxDevice->setCurrentIndex(-1);
    seam().clear();
    w->ConnectionButtonClick();

    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(dialogs()[0].caption, "Внимание");
    EXPECT_EQ(dialogs()[0].text, "Прибор не выбран!");
    EXPECT_EQ(dialogs()[0].type, DialogType::Warning);
    EXPECT_FALSE(w->comPort->isOpen());
    EXPECT_FALSE(w->requestOnLine());
    EXPECT_TRUE(registers(sim).empty());
}

TEST_F(LinkTest, AddressThatIsNoNumberStopsTheProbing)
{
    SimInstrument& sim = addSim(1);
    ui()->devNum->setText(QString());
    selectVariant(1);
    w->ConnectionButtonClick();
    ASSERT_TRUE(waitIdle(std::chrono::seconds(5)));

    EXPECT_TRUE(registers(sim).empty());
    EXPECT_TRUE(log().contains("Неверный адрес прибора: "));
    EXPECT_FALSE(w->connected);
    EXPECT_FALSE(w->comPort->isOpen());
    EXPECT_TRUE(ui()->BoxDevice->isEnabled());
    EXPECT_TRUE(dialogs().empty());
}

// ---------------------------------------------------------------- frames

TEST_F(LinkTest, FrameTakesTheLowByteOfDevNumAndRefusesWhatCannotBeSent)
{
    struct Case {
        const char* devNum;
        std::uint8_t function;
        std::uint16_t reg;
        QByteArray text;
        std::optional<QByteArray> expected; // nothing: refused
    };
    const QByteArray longest(frame::MaxWriteText, 'x');
    const Case cases[] = {
        {"1", frame::FuncRead, 40066, {}, frame::readRequest(1, 40066)},
        {"257", frame::FuncRead, 40066, {}, frame::readRequest(1, 40066)},
        {"3", frame::FuncWrite, 40074, "A", frame::writeRequest(3, 40074, "A")},
        {"1", frame::FuncWrite, 40074, {}, frame::writeRequest(1, 40074, {})},
        {"1", 0x10, 40075, "ignored", frame::readRequest(1, 40075)}, // not 6: the read layout
        {"1", frame::FuncWrite, 40073, longest, frame::writeRequest(1, 40073, longest)},
        {"1", frame::FuncWrite, 40073, longest + "x", std::nullopt},
        {"", frame::FuncRead, 40066, {}, std::nullopt},
        {"12a", frame::FuncRead, 40066, {}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "devNum '" << c.devNum << "' reg " << c.reg << " n " << c.text.size());
        ASSERT_TRUE(w->BuildFrame(frame::FuncRead, 40087, {})); // a known previous frame
        const QByteArray before(reinterpret_cast<const char*>(w->txFrame), w->txLength);
        ui()->devNum->setText(QString::fromLatin1(c.devNum));
        const int lines = w->InfoLines->count();

        const bool built = w->BuildFrame(c.function, c.reg, c.text);
        const QByteArray now(reinterpret_cast<const char*>(w->txFrame), w->txLength);
        ui()->devNum->setText("1");
        if (c.expected) {
            EXPECT_TRUE(built);
            EXPECT_EQ(now.toHex(' '), c.expected->toHex(' '));
            EXPECT_EQ(w->InfoLines->count(), lines);
        } else {
            EXPECT_FALSE(built);
            EXPECT_EQ(now, before); // the frame kept for resending is untouched
            EXPECT_EQ(w->InfoLines->count(), lines + 1);
        }
    }
}

// ---------------------------------------------------------------- identification

struct IdentCase {
    const char* name;
    bool english;
    QByteArray display;                // 40078 text
    QByteArray mode;                   // 40085 text
    QAction* Ui::TForm1::*displayItem; // checked afterwards
    QAction* Ui::TForm1::*modeItem;
    const char* modeLabel;
    const char* year;
    const char* range;
    const char* step;
    const char* found;
    const char* button;
};
void PrintTo(const IdentCase& c, std::ostream* os)
{
    *os << c.name;
}

class IdentificationTest : public LinkTest, public testing::WithParamInterface<IdentCase>
{
};

TEST_P(IdentificationTest, FillsTheLabelsFromTheInstrument)
{
    const IdentCase& c = GetParam();
    SimInstrument& sim = addSim(2);
    sim.setRegisterText(40067, "2077");
    sim.setRegisterText(40068, "0,05");
    sim.setRegisterText(40069, "2019");
    sim.setRegisterText(40071, "99999,99");
    sim.setRegisterText(40072, "0,01");
    sim.setRegisterText(40086, "2.4.1");
    sim.setRegisterText(40078, c.display);
    sim.setRegisterText(40085, c.mode);
    if (c.english) {
        ui()->Russian->setChecked(false);
        ui()->English->setChecked(true);
    }

    selectVariant(2);
    w->ConnectionButtonClick();
    ASSERT_TRUE(waitIdle());

    EXPECT_TRUE(w->connected);
    EXPECT_EQ(registers(sim), identificationSequence());
    EXPECT_EQ(ui()->deviceFullName->text(), "RD5540-2");
    EXPECT_EQ(ui()->DeviceNoLabel->text(), "2077");
    EXPECT_EQ(ui()->LabelPrecision->text(), "0,05");
    EXPECT_EQ(w->processor->precClass, "0,05");
    EXPECT_EQ(ui()->yearLabel->text(), QString::fromUtf8(c.year));
    EXPECT_EQ(ui()->rangeLabel->text(), QString::fromUtf8(c.range));
    EXPECT_EQ(ui()->stepLabel->text(), QString::fromUtf8(c.step));
    EXPECT_DOUBLE_EQ(w->processor->discreteness, 0.01);
    EXPECT_EQ(ui()->firmwareLabel->text(), "2.4.1");
    EXPECT_EQ(w->displayLetter, c.display);
    EXPECT_TRUE((ui()->*c.displayItem)->isChecked());
    EXPECT_TRUE((ui()->*c.modeItem)->isChecked());
    EXPECT_EQ(ui()->modeLabel->text(), QString::fromUtf8(c.modeLabel));
    EXPECT_EQ(log().value(0), QString::fromUtf8(c.found));
    EXPECT_EQ(log().value(1), "");
    EXPECT_EQ(ui()->ConnectionButton->text(), QString::fromUtf8(c.button));
    EXPECT_TRUE(dialogs().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IdentificationTest,
    testing::Values(
        IdentCase{"russian", false, "C", "D", &Ui::TForm1::N31, &Ui::TForm1::funcCorrectionx4, "К4",
                  "2019 г.", "99999,99 Ом", "0,01 Ом", "Прибор подключен к ПК!", "Отключение"},
        IdentCase{"english", true, "A", "B", &Ui::TForm1::N11, &Ui::TForm1::funcDefaultx4, "usual 4w", "2019",
                  "99999,99 Ohm", "0,01 Ohm", "Device is connected!", "Disconnect"},
        // An unknown display letter is kept but selects no item: the layout's stays.
        IdentCase{"unknownDisplayLetter", false, "Z", "A", &Ui::TForm1::N11, &Ui::TForm1::funcDefaultx2, "Н2",
                  "2019 г.", "99999,99 Ом", "0,01 Ом", "Прибор подключен к ПК!", "Отключение"}),
    [](const testing::TestParamInfo<IdentCase>& i) { return std::string(i.param.name); });

TEST_F(LinkTest, StepThatIsNoNumberEndsTheIdentificationCleanly)
{
    SimInstrument& sim = addSim(1);
    sim.setRegisterText(40072, "abc");
    selectVariant(1);
    w->ConnectionButtonClick();
    ASSERT_TRUE(waitIdle());

    EXPECT_EQ(registers(sim), (Regs{40066, 40067, 40068, 40069, 40071, 40072}));
    EXPECT_TRUE(log().contains("Неверный ответ прибора (регистр 40072): abc"));
    EXPECT_TRUE(w->inputAllowed);
    EXPECT_TRUE(ui()->StandartInpButtonEnter->isEnabled());
    EXPECT_FALSE(ui()->StandartInpEdit->isReadOnly());
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(LinkTest, DisconnectButtonPutsTheWindowBack)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    w->ConnectionButtonClick();

    EXPECT_FALSE(w->connected);
    EXPECT_FALSE(w->comPort->isOpen());
    EXPECT_FALSE(w->requestOnLine());
    // Line 1 first, then the text at line 0, then line 1 again: one empty line either side
    // of what was on top.
    EXPECT_EQ(log(), (QStringList{"Соединение разорвано.", "", "Прибор подключен к ПК!", "", ""}));
    EXPECT_EQ(w->logIndex, 1);
    for (QLabel* l : {ui()->DeviceNoLabel, ui()->deviceFullName, ui()->firmwareLabel, ui()->rangeLabel,
                      ui()->stepLabel, ui()->LabelPrecision, ui()->LabelLastVal})
        EXPECT_EQ(l->text(), "--") << l->objectName().toStdString();
    EXPECT_EQ(ui()->yearLabel->text(), "");
    EXPECT_EQ(ui()->ConnectionButton->text(), "Подключение");
    EXPECT_TRUE(ui()->BoxDevice->isEnabled());
    EXPECT_FALSE(ui()->Mfprof->menuAction()->isEnabled());
    EXPECT_TRUE(registers(sim).empty());
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(LinkTest, DisconnectDuringASetGivesTheWholeWindowBack)
{
    ui()->Russian->setChecked(false);
    ui()->English->setChecked(true);
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    tick({});
    sim.addFault(Fault::delay(200, 1));
    w->SetValueOnDevice("10"); // the display letter is on the line
    ASSERT_TRUE(w->setPending);
    ASSERT_TRUE(w->requestOnLine());

    // Everything a set or a run may have locked or relabelled.
    QWidget* const locked[] = {ui()->InpType,
                               ui()->Settings,
                               ui()->Settings0,
                               ui()->Settings1,
                               ui()->Settings2,
                               ui()->DigitUp,
                               ui()->DigitDown,
                               ui()->IncInpEditStart,
                               ui()->IncInpEditEnd,
                               ui()->IncInpEditStep,
                               ui()->ProfileInpButtonEnter,
                               ui()->IncrInpButtonEnter,
                               ui()->StandartInpButtonEnter,
                               ui()->StandartInpEdit,
                               ui()->StandartInputGroup,
                               ui()->ProfileInputGroup,
                               ui()->IncrInputGroup,
                               ui()->ConnectionButton,
                               ui()->BoxDevice};
    for (QWidget* wd : locked)
        wd->setEnabled(false);
    ui()->MphysicVal->menuAction()->setEnabled(false);
    ui()->StandartInpEdit->setReadOnly(true);
    w->inputAllowed = false;
    for (QPushButton* b : {ui()->ProfileInpButtonEnter, ui()->IncrInpButtonEnter, ui()->IncrInpButtonPause,
                           ui()->ProfileInpButtonPause})
        b->setText("x");
    w->profTransfer = true;
    w->paused = true;
    w->restorePeriod = true;

    w->ConnectionButtonClick();

    for (QWidget* wd : locked)
        EXPECT_TRUE(wd->isEnabled()) << wd->objectName().toStdString();
    EXPECT_TRUE(ui()->MphysicVal->menuAction()->isEnabled());
    EXPECT_FALSE(ui()->StandartInpEdit->isReadOnly());
    EXPECT_TRUE(w->inputAllowed);
    ASSERT_TRUE(ui()->ManualInp->isChecked());
    EXPECT_EQ(ui()->ProfileInpButtonEnter->text(), "Enter"); // the captions of manual input
    EXPECT_EQ(ui()->IncrInpButtonEnter->text(), "Enter");
    EXPECT_EQ(ui()->IncrInpButtonPause->text(), "Stop");
    EXPECT_EQ(ui()->ProfileInpButtonPause->text(), "Pause");
    EXPECT_EQ(ui()->ConnectionButton->text(), "Connect");
    EXPECT_EQ(log().value(0), "Device disconnected.");
    EXPECT_EQ(log().value(1), "");
    EXPECT_FALSE(w->setPending); // a later refusal must not finish this set
    EXPECT_FALSE(w->profTransfer);
    EXPECT_FALSE(w->paused);
    EXPECT_FALSE(w->restorePeriod);
    EXPECT_FALSE(w->connected);
    EXPECT_FALSE(w->requestOnLine());
    EXPECT_FALSE(w->comPort->isOpen());
    // The simulator logs the request on its own thread, maybe only after the disconnect.
    testsupport::waitUntil([&] { return !registers(sim).empty(); }, std::chrono::seconds(2));
    EXPECT_EQ(registers(sim), Regs{40078});
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(LinkTest, DisconnectStopsATimedRunBeforeDisablingTheProfileControls)
{
    struct Case {
        const char* name;
        int inpType; // 0 value list, 1 range
        QPushButton* Ui::TForm1::*runButton;
        QPushButton* Ui::TForm1::*otherButton;
    };
    const Case cases[] = {
        {"valueList", 0, &Ui::TForm1::ProfileInpButtonEnter, &Ui::TForm1::IncrInpButtonEnter},
        {"range", 1, &Ui::TForm1::IncrInpButtonEnter, &Ui::TForm1::ProfileInpButtonEnter}};
    SimInstrument& sim = addSim(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(connectTo(sim));
        ui()->InpType->setCurrentIndex(c.inpType);
        ui()->AutoInp->setChecked(true);
        ui()->EditAuto->setText("5");
        // Only this run's button is running: stopping the other kind of run stops nothing.
        (ui()->*c.runButton)->setText("Стоп");
        (ui()->*c.otherButton)->setText("Старт");
        w->autoRun = true;
        w->Timer->start();
        w->TimerCountdown->start();

        w->ConnectionButtonClick();

        EXPECT_FALSE(w->Timer->isActive());
        EXPECT_FALSE(w->TimerCountdown->isActive());
        EXPECT_FALSE(w->autoRun);
        // Stopping the run enables the profile controls; the disconnect disables them after.
        EXPECT_FALSE(ui()->ButtonFProfileGet->isEnabled());
        EXPECT_FALSE(ui()->Mfprof->menuAction()->isEnabled());
        EXPECT_EQ((ui()->*c.runButton)->text(), "Старт");
        EXPECT_TRUE(dialogs().empty());
    }
}

// ---------------------------------------------------------------- failed answers

struct FailCase {
    const char* name;
    std::vector<std::pair<int, Fault>> plan; // after n requests, add the fault (0: at once)
    int failures;
    bool survives;
};
void PrintTo(const FailCase& c, std::ostream* os)
{
    *os << c.name;
}

class FailureLimitTest : public LinkTest, public testing::WithParamInterface<FailCase>
{
};

TEST_P(FailureLimitTest, ResendsTheSameBytesUpToTheLimit)
{
    const FailCase& c = GetParam();
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    std::vector<std::pair<int, Fault>> later;
    for (const auto& [after, fault] : c.plan) {
        if (after == 0)
            sim.addFault(fault);
        else
            later.emplace_back(after, fault);
    }
    scheduleFaults(sim, later);

    readSerialNumber();
    // The resends repeat the request as it was sent, whatever devNum says now.
    ui()->devNum->setText("7");
    ASSERT_TRUE(waitIdle(std::chrono::seconds(30)));

    const std::vector<SimInstrument::Request> reqs = sim.requests();
    ASSERT_GE(reqs.size(), std::size_t(c.failures));
    for (int i = 0; i < c.failures; ++i) {
        ASSERT_EQ(reqs[i].reg, 40067) << i;
        ASSERT_EQ(reqs[i].raw, reqs[0].raw) << i;
    }
    EXPECT_EQ(reqs[0].address, 1);
    if (c.survives) {
        EXPECT_TRUE(w->connected);
        EXPECT_EQ(registers(sim), times(40067, c.failures) + FromSerialNumber);
        EXPECT_EQ(reqs[c.failures + 1].address, 7); // a new request is built anew
        EXPECT_TRUE(dialogs().empty());
    } else {
        EXPECT_EQ(reqs.size(), std::size_t(c.failures));
        EXPECT_FALSE(w->connected);
        expectLinkFailedDialog();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailureLimitTest,
    testing::Values(FailCase{"fiftyBadCrcsAreResent", {{0, Fault::badCrc(50)}}, 50, true},
                    // Zero counts count like bad CRCs: together the 51st ends the link.
                    FailCase{"fiftyFirstFailureEndsTheLink",
                             {{0, Fault::badCrc(26)}, {26, Fault::zeroCount(25)}},
                             51,
                             false}),
    [](const testing::TestParamInfo<FailCase>& i) { return std::string(i.param.name); });

TEST_F(LinkTest, FailuresOfDifferentRequestsDoNotAddUp)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    sim.addFault(Fault::badCrc(30));                // 40067: 30 failures, then answered (request 31)
    scheduleFaults(sim, {{31, Fault::badCrc(30)}}); // 40068: 30 failures more
    readSerialNumber();
    ASSERT_TRUE(waitIdle(std::chrono::seconds(30)));

    EXPECT_TRUE(w->connected);
    const Regs rest = {40069, 40071, 40072, 40086, 40078, 40085};
    EXPECT_EQ(registers(sim), times(40067, 31) + times(40068, 31) + rest);
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(LinkTest, ReadRefusalResetsTheFailureCount)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    sim.addFault(Fault::badCrc(30));
    scheduleFaults(sim, {{30, Fault::exception(5, 1)}, {31, Fault::badCrc(30)}});
    readSerialNumber();
    ASSERT_TRUE(waitIdle(std::chrono::seconds(30)));

    // 60 bad answers to one request, but the refusal in between started the count again.
    EXPECT_TRUE(w->connected);
    EXPECT_EQ(registers(sim), times(40067, 61) + FromSerialNumber);
    EXPECT_TRUE(dialogs().empty());
}

struct OnceCase {
    const char* name;
    Fault fault;
};
void PrintTo(const OnceCase& c, std::ostream* os)
{
    *os << c.name;
}

class FailedAnswerTest : public LinkTest, public testing::WithParamInterface<OnceCase>
{
};

TEST_P(FailedAnswerTest, IsResentOnceAndTheChainGoesOn)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    sim.addFault(GetParam().fault);
    readSerialNumber();
    ASSERT_TRUE(waitIdle());

    EXPECT_TRUE(w->connected);
    EXPECT_EQ(registers(sim), Regs{40067} + FromSerialNumber);
    const auto reqs = sim.requests();
    EXPECT_EQ(reqs[1].raw, reqs[0].raw);
    EXPECT_EQ(ui()->DeviceNoLabel->text(), "1042");
    EXPECT_TRUE(dialogs().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, FailedAnswerTest,
                         testing::Values(OnceCase{"badCrc", Fault::badCrc(1)},
                                         OnceCase{"zeroCount", Fault::zeroCount(1)},
                                         // More than the 128-byte buffer: cut, then fails its check.
                                         OnceCase{"oversized", Fault::oversized(200, 1)},
                                         OnceCase{"garbage", Fault::garbage(200, 1)},
                                         OnceCase{"shortGarbage", Fault::garbage(3, 1)}),
                         [](const testing::TestParamInfo<OnceCase>& i) { return std::string(i.param.name); });

TEST_F(LinkTest, AnswerSplitOverSeveralEventsIsJoined)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    // Pieces further apart than the wait before taking bytes, closer than the silence after.
    sim.addFault(Fault::split(3, 25));
    QSignalSpy events(w->comPort, &ComPort::TriggerAvail);
    readSerialNumber();
    ASSERT_TRUE(waitIdle());

    EXPECT_EQ(registers(sim), FromSerialNumber); // not one resend
    EXPECT_GT(events.count(), int(FromSerialNumber.size()));
    EXPECT_EQ(ui()->DeviceNoLabel->text(), "1042");
    EXPECT_EQ(ui()->firmwareLabel->text(), "1.0.3");
}

// ---------------------------------------------------------------- exceptions and silence

TEST_F(LinkTest, DefectiveInstrumentEndsTheConnectionWithAnError)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    sim.addFault(Fault::exception(10, 1));
    readSerialNumber();
    ASSERT_TRUE(waitIdle());

    EXPECT_FALSE(w->connected);
    EXPECT_EQ(registers(sim), Regs{40067});
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(dialogs()[0].caption, "Ошибка");
    EXPECT_EQ(dialogs()[0].text, "Обнаружена неисправность прибора!");
    EXPECT_EQ(dialogs()[0].type, DialogType::Error);
    EXPECT_EQ(log().value(0), "Соединение разорвано.");
}

TEST_F(LinkTest, WrongPasswordEndsATransferWithALogLine)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    w->profTransfer = true;
    sim.addFault(Fault::exception(11, 1));
    readSerialNumber();
    ASSERT_TRUE(waitIdle());

    EXPECT_TRUE(w->connected);
    EXPECT_FALSE(w->profTransfer);
    EXPECT_EQ(registers(sim), Regs{40067}); // nothing more is sent
    EXPECT_EQ(log().value(0), "Неверный пароль. Запись профиля невозможна.");
    EXPECT_EQ(log().value(1), "");
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(LinkTest, SilenceWhileConnectedEndsTheConnectionWithoutResend)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    sim.addFault(Fault::silence());
    readSerialNumber();
    ASSERT_TRUE(waitIdle());

    EXPECT_FALSE(w->connected);
    EXPECT_EQ(registers(sim), Regs{40067});
    expectLinkFailedDialog();
}

TEST_F(LinkTest, AnswerJustBeforeTheTimeOutIsTaken)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    // Several tries: an early time-out depends on where the timer falls.
    for (int attempt = 0; attempt < 3 && w->connected; ++attempt) {
        SCOPED_TRACE(attempt);
        sim.clearRequests();
        sim.addFault(Fault::delay(490, 1));
        w->SendFrame(frame::FuncRead, 40087);
        ASSERT_TRUE(waitIdle());
        EXPECT_TRUE(w->connected);
        EXPECT_EQ(registers(sim), Regs{40087});
    }
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(LinkTest, AnswerTooLateForTheTimeOutIsNotHandledWhileTheBoxIsOpen)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    sim.addFault(Fault::delay(600, 1)); // after the 500 ms time-out, while the box is up
    // The box is modal: events keep running while the operator reads it.
    seam().setAnswerer([](const ShownDialog&, bool*) {
        testsupport::waitUntil([] { return false; }, std::chrono::milliseconds(1500));
        return mrOk;
    });
    readSerialNumber();
    ASSERT_TRUE(testsupport::waitUntil([&] { return !dialogs().empty(); }));
    ASSERT_TRUE(waitIdle());

    EXPECT_EQ(registers(sim), Regs{40067}); // the late answer drove no chain
    EXPECT_FALSE(w->connected);
    EXPECT_EQ(ui()->DeviceNoLabel->text(), "--");
    expectLinkFailedDialog(); // once
}

struct BoxCase {
    const char* name;
    Fault fault; // what ends the connection with a box
    const char* boxText;
};
void PrintTo(const BoxCase& c, std::ostream* os)
{
    *os << c.name;
}

class FailureBoxTest : public LinkTest, public testing::WithParamInterface<BoxCase>
{
};

TEST_P(FailureBoxTest, NothingGoesOutWhileTheBoxIsOpenAndTheConnectionEndsOnce)
{
    const BoxCase& c = GetParam();
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    // Each timer that may send, firing often, does what a status poll would do: read the
    // status register whenever no request is on the line.
    bool inBox = false;
    int ticksInBox = 0;
    for (QTimer* t : {w->RequestTimer, w->Timer, w->TimerCountdown}) {
        QObject::connect(t, &QTimer::timeout, w.get(), [&] {
            ticksInBox += inBox ? 1 : 0;
            if (w->connected && !w->requestOnLine())
                w->SendFrame(frame::FuncRead, 40087);
        });
        t->start(20);
    }
    int sentInBox = -1;
    bool timersOffInBox = false;
    seam().setAnswerer([&](const ShownDialog&, bool*) {
        inBox = true;
        timersOffInBox = !w->RequestTimer->isActive() && !w->Timer->isActive() &&
                         !w->TimerCountdown->isActive() && !w->requestOnLine();
        const int before = sim.requestCount();
        w->SendFrame(frame::FuncRead, 40087); // a poll tick, and a resend, while the box is up
        w->ResendOrFail();
        testsupport::waitUntil([] { return false; }, std::chrono::milliseconds(200));
        sentInBox = sim.requestCount() - before;
        inBox = false;
        return mrOk;
    });
    sim.addFault(c.fault);
    readSerialNumber();
    ASSERT_TRUE(testsupport::waitUntil([&] { return !dialogs().empty() && !w->connected; }));
    testsupport::waitUntil([] { return false; }, std::chrono::milliseconds(100));

    EXPECT_TRUE(timersOffInBox);
    EXPECT_EQ(ticksInBox, 0);
    EXPECT_EQ(sentInBox, 0);
    EXPECT_EQ(registers(sim), Regs{40067});
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(dialogs()[0].text, QString::fromUtf8(c.boxText));
    EXPECT_EQ(log().count("Соединение разорвано."), 1); // Disconnect ran once
    EXPECT_EQ(log().value(0), "Соединение разорвано.");
    EXPECT_FALSE(w->connected);
    EXPECT_FALSE(w->comPort->isOpen());
    // The status poll keeps ticking (it sends nothing unconnected); the run timers stay off.
    EXPECT_TRUE(w->RequestTimer->isActive());
    EXPECT_FALSE(w->Timer->isActive());
    EXPECT_FALSE(w->TimerCountdown->isActive());
}

INSTANTIATE_TEST_SUITE_P(Cases, FailureBoxTest,
                         testing::Values(BoxCase{"timeOut", Fault::silence(1), "Соединение разорвано."},
                                         BoxCase{"defective", Fault::exception(10, 1),
                                                 "Обнаружена неисправность прибора!"}),
                         [](const testing::TestParamInfo<BoxCase>& i) { return std::string(i.param.name); });

TEST_F(LinkTest, LateAnswerOfAnEndedConnectionIsNotTakenForTheNextOne)
{
    struct Case {
        const char* name;
        QByteArray request; // written text; empty: a read
        std::uint16_t reg;
        std::optional<int> exception;
        int modelTextDelayMs; // after the late answer: 0 joins both in one answer
    };
    const Case cases[] = {
        // A read-out: its answer would drive the read-out chain.
        {"readoutJoined", {}, 40079, std::nullopt, 0},
        {"readoutApart", {}, 40079, std::nullopt, 80},
        // A refusal would be resent, and its resend answered twice.
        {"refusalApart", "A", 40074, 12, 80},
    };
    SimInstrument& sim = addSim(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim.clearFaults();
        ASSERT_TRUE(connectTo(sim));
        sim.addFault(Fault::delay(300, 1));
        if (c.exception)
            sim.addFault(Fault::exception(*c.exception, 1));
        scheduleFaults(sim, {{1, Fault::delay(c.modelTextDelayMs, 1)}});
        const int lines = w->InfoLines->count();
        if (c.request.isEmpty())
            w->SendFrame(frame::FuncRead, c.reg);
        else
            w->SendFrame(frame::FuncWrite, c.reg, c.request);
        ASSERT_TRUE(testsupport::waitUntil([&] { return sim.requestCount() == 1; }));

        w->ConnectionButtonClick();
        EXPECT_FALSE(w->connected);
        EXPECT_FALSE(w->requestOnLine()); // so no late time-out can count as a probing step

        sim.clearRequests();
        w->trueValText.clear();
        w->ConnectionButtonClick(); // again at once: the late answer arrives while probing
        ASSERT_TRUE(waitIdle());
        // Give a doubled request time to show.
        testsupport::waitUntil([] { return false; }, std::chrono::milliseconds(150));

        EXPECT_TRUE(w->connected);
        EXPECT_EQ(registers(sim), identificationSequence());
        EXPECT_EQ(ui()->deviceFullName->text(), "RD5540-1");
        EXPECT_EQ(ui()->firmwareLabel->text(), "1.0.3");
        EXPECT_TRUE(w->trueValText.isEmpty());
        // Disconnect's three lines and the new connection's two, nothing else.
        EXPECT_EQ(w->InfoLines->count(), lines + 5);
        EXPECT_EQ(log().value(0), "Прибор подключен к ПК!");
        EXPECT_TRUE(dialogs().empty());
        w->ConnectionButtonClick();
    }
}

// ---------------------------------------------------------------- setting a value

using Box = QCheckBox* Ui::TForm1::*;

struct SetCase {
    const char* name;
    std::vector<Box> boxes;
    int notReady;
    Regs readouts;
};
void PrintTo(const SetCase& c, std::ostream* os)
{
    *os << c.name;
}

class SetValueTest : public LinkTest, public testing::WithParamInterface<SetCase>
{
};

TEST_P(SetValueTest, RunsTheChainAndReadsTheSelectedReadouts)
{
    const SetCase& c = GetParam();
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    tick({});
    for (Box b : c.boxes)
        (ui()->*b)->setChecked(true);
    sim.setNotReadyCount(c.notReady);

    w->SetValueOnDevice("1234,5");
    ASSERT_TRUE(waitIdle());

    const Regs chain = {40078, 40085, 40073, 40074};
    EXPECT_EQ(registers(sim), chain + times(40075, c.notReady + 1) + c.readouts);
    const auto reqs = sim.requests();
    ASSERT_GE(reqs.size(), 4u);
    EXPECT_EQ(reqs[0].text, "A"); // display letter
    EXPECT_EQ(reqs[1].text, "A"); // output mode of funcDefaultx2
    EXPECT_EQ(reqs[2].text, "1234,500");
    EXPECT_EQ(reqs[3].text, "A"); // apply
    EXPECT_EQ(w->errorCount, 0);  // not-ready answers are no failures
    EXPECT_FALSE(w->setPending);
    EXPECT_TRUE(w->connected);

    const std::pair<std::uint16_t, QString TForm1::*> texts[] = {
        {40079, &TForm1::trueValText},  {40076, &TForm1::decadeStepsText},
        {40080, &TForm1::otklonOmText}, {40081, &TForm1::otklonPercentText},
        {40084, &TForm1::iMaxText},     {40083, &TForm1::uMaxText}};
    for (const auto& [reg, member] : texts) {
        const bool read = std::find(c.readouts.begin(), c.readouts.end(), reg) != c.readouts.end();
        // The display adds its units to I max and U max; the number is the instrument's.
        const QString sent = QString::fromLatin1(sim.registerText(reg)).section(' ', 0, 0);
        if (read)
            EXPECT_TRUE(((*w).*member).startsWith(sent)) << reg << ": " << ((*w).*member).toStdString();
        else
            EXPECT_EQ((*w).*member, QString()) << reg;
    }
    EXPECT_TRUE(log().contains("Значение установлено!"));
    EXPECT_TRUE(dialogs().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetValueTest,
    testing::Values(
        SetCase{"noReadouts", {}, 0, {}},
        SetCase{"stepsAndDeltaR", {&Ui::TForm1::CheckBox1, &Ui::TForm1::OtklonOm}, 0, {40076, 40080}},
        SetCase{"trueValueAndU", {&Ui::TForm1::CheckTrueVal, &Ui::TForm1::checkU}, 0, {40079, 40083}},
        SetCase{"allReadouts",
                {&Ui::TForm1::CheckTrueVal, &Ui::TForm1::CheckBox1, &Ui::TForm1::OtklonOm,
                 &Ui::TForm1::OtklonPercent, &Ui::TForm1::checkI, &Ui::TForm1::checkU},
                0,
                {40079, 40076, 40080, 40081, 40084, 40083}},
        SetCase{"notReadyThreeTimes", {}, 3, {}}),
    [](const testing::TestParamInfo<SetCase>& i) { return std::string(i.param.name); });

struct RefusalCase {
    const char* name;
    Fault fault;
    Regs expected;
};
void PrintTo(const RefusalCase& c, std::ostream* os)
{
    *os << c.name;
}

class SetRefusalTest : public LinkTest, public testing::WithParamInterface<RefusalCase>
{
};

TEST_P(SetRefusalTest, RefusalsAreAskedAgainWithoutLimit)
{
    const RefusalCase& c = GetParam();
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    tick({});
    sim.addFault(c.fault);

    w->SetValueOnDevice("10");
    ASSERT_TRUE(waitIdle(std::chrono::seconds(30)));

    EXPECT_TRUE(w->connected);
    EXPECT_EQ(registers(sim), c.expected);
    EXPECT_FALSE(w->setPending);
    EXPECT_TRUE(dialogs().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetRefusalTest,
    testing::Values(
        // Before the value is written, a refusal starts the set over.
        RefusalCase{"beforeTheValueRestarts",
                    Fault::exception(12, 1, 40085),
                    {40078, 40085, 40078, 40085, 40073, 40074, 40075}},
        // Afterwards the refused request is asked again, never counted against the limit.
        RefusalCase{"afterTheValueRepeats", Fault::exception(12, 55, 40074),
                    Regs{40078, 40085, 40073} + times(40074, 56) + Regs{40075}}),
    [](const testing::TestParamInfo<RefusalCase>& i) { return std::string(i.param.name); });

} // namespace
