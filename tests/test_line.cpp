// One serial line, many callers, end to end against a simulator whose status register
// answers late: every operator action that meets a status poll on the line waits for that
// poll's answer and then runs with its own request sequence, and gives the input back; an
// action that meets a longer chain of the operator's (identification, a set, a transfer) is
// refused with its controls locked; nothing that waits goes out once the connection ended.
#include "tests/RunFixture.h"
#include "tests/ProfileWindowSupport.h"

#include "instrument/FileDialogs.h"
#include "instrument/ProfileProcessor.h"
#include "platform/WordDocument.h"
#include "ui_TForm1.h"
#include "ui_TForm3.h"
#include "verification/FProfileEdit.h"
#include "verification/TsEdit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include <functional>
#include <string>
#include <tuple>

namespace
{

using namespace std::chrono_literals;
using Fault = SimInstrument::Fault;
using Calls = std::vector<std::string>;

constexpr int StatusDelayMs = 250; // the status register's answers come this late

const QByteArray kThree = "RD5540-1;w;o\r\n1,000\r\n2,000\r\n3,000\r\n";

class LineTest : public RunFixture
{
public:
    // For the table of actions below.
    using LinkFixture::w;
    using RunFixture::chooseInputType;
    using RunFixture::click;
    using RunFixture::ui;

    void SetUp() override
    {
        RunFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        sim = &addSim(1);
        sim->addFault(Fault::delay(StatusDelayMs, -1, 40087));
        ASSERT_TRUE(connectTo(*sim));
        tick({}); // set chains without read-outs
    }

    void TearDown() override
    {
        w->profileForm = nullptr;
        form.reset();
        RunFixture::TearDown();
    }

    // The requests as "40087" for a read and "40087=0" for a write of "0".
    Calls calls() const
    {
        Calls out;
        for (const SimInstrument::Request& r : sim->requests())
            out.push_back(std::to_string(r.reg) +
                          (r.function == frame::FuncWrite ? "=" + r.text.toStdString() : std::string()));
        return out;
    }

    static Calls setChain(const std::string& value, const std::string& mode = "A")
    {
        return {"40078=A", "40085=" + mode, "40073=" + value, "40074=A", "40075"};
    }

    static Calls profileReads()
    {
        Calls out;
        for (int r = 40001; r <= 40065; ++r)
            out.push_back(std::to_string(r));
        return out;
    }

    // One status poll put on the line by the poll timer itself; its answer is still to come.
    void pollOnLine()
    {
        sim->clearRequests();
        w->RequestTimer->start(1);
        ASSERT_TRUE(testsupport::waitUntil([&] { return sim->requestCount() == 1; }));
        w->RequestTimer->stop(); // no second poll among the requests counted
        ASSERT_EQ(calls(), Calls{"40087"});
        ASSERT_TRUE(w->requestOnLine());
        ASSERT_TRUE(ui()->StandartInpEdit->isReadOnly()); // the poll holds the input
    }

    // Nothing on the line, nothing waiting for it.
    bool waitLineFree() { return testsupport::waitUntil([&] { return w->line->isFree(); }, 20s); }

    void expectInputReleased()
    {
        EXPECT_FALSE(ui()->StandartInpEdit->isReadOnly());
        EXPECT_TRUE(w->inputAllowed);
        EXPECT_TRUE(ui()->StandartInpButtonEnter->isEnabled());
        EXPECT_FALSE(w->setPending);
        EXPECT_FALSE(w->profTransfer);
        EXPECT_TRUE(ui()->funcDefaultx2->isEnabled()); // the line's lock is off again
    }

    void openList()
    {
        chooseInputType(0);
        const QString p = QDir(dir.path()).filePath(QStringLiteral("list.txt"));
        ASSERT_TRUE(profiletest::writeBytes(p, kThree));
        files.answerWith(p);
        click(ui()->ProfileInpButtonOpen);
        ASSERT_TRUE(dialogs().empty());
    }

    // As the window system delivers it: press, release, double click, release.
    static void doubleClickEntry(QListWidget* list, int row)
    {
        const QPoint at = list->visualItemRect(list->item(row)).center();
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    }

    // The verification window, shown for the main window's instrument.
    void openVerification()
    {
        form = std::make_unique<TForm3>(nullptr, w->processor, true, true);
        w->profileForm = form.get();
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    QTemporaryDir dir;
    FileDialogSeam files;
    DocumentShowSeam shows;
    SimInstrument* sim = nullptr;
    std::unique_ptr<TForm3> form;
};

struct ActionCase {
    const char* name;
    std::function<void(LineTest&)> prepare; // before the poll goes out
    std::function<void(LineTest&)> act;     // while it is on the line
    std::function<Calls()> expected;        // after the poll's "40087"
};

void PrintTo(const ActionCase& c, std::ostream* os)
{
    *os << c.name;
}

class PollMeetsAction : public LineTest, public testing::WithParamInterface<ActionCase>
{
};

// Each action failed before: it was dropped while the poll held the line (nothing sent, or
// the transfer stalled after 40001), or, from the menu, written in the middle of the poll.
TEST_P(PollMeetsAction, WaitsForThePollsAnswerAndThenRunsItsOwnChain)
{
    const ActionCase& c = GetParam();
    c.prepare(*this);
    ASSERT_TRUE(waitLineFree());
    pollOnLine();
    c.act(*this);
    // The request on the line is still the poll: nothing went out in its middle.
    EXPECT_EQ(w->txFrame[2] << 8 | w->txFrame[3], 40087) << "sent while the poll was on the line";
    ASSERT_TRUE(waitLineFree());
    Calls expected{"40087"};
    for (const std::string& call : c.expected())
        expected.push_back(call);
    EXPECT_EQ(calls(), expected);
    expectInputReleased();
}

Calls concat(Calls a, const Calls& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const ActionCase kActions[] = {
    {"singleEnterButton",
     [](LineTest& t) {
         t.ui()->StandartInpEdit->setFocus();
         QTest::keyClicks(t.ui()->StandartInpEdit, "100");
     },
     [](LineTest& t) { t.click(t.ui()->StandartInpButtonEnter); },
     [] { return LineTest::setChain("100,000"); }},
    {"singleEnterKey",
     [](LineTest& t) {
         t.ui()->StandartInpEdit->setFocus();
         QTest::keyClicks(t.ui()->StandartInpEdit, "250");
     },
     [](LineTest& t) { QTest::keyClick(t.ui()->StandartInpEdit, Qt::Key_Return); },
     [] { return LineTest::setChain("250,000"); }},
    {"rangeEnter",
     [](LineTest& t) {
         t.chooseInputType(1);
         t.ui()->IncInpEditStart->setText(QStringLiteral("0"));
         t.ui()->IncInpEditEnd->setText(QStringLiteral("10"));
         t.ui()->IncInpEditStep->setText(QStringLiteral("5"));
     },
     [](LineTest& t) { t.click(t.ui()->IncrInpButtonEnter); }, [] { return LineTest::setChain("0,000"); }},
    {"listEnter", [](LineTest& t) { t.openList(); },
     [](LineTest& t) { t.click(t.ui()->ProfileInpButtonEnter); }, [] { return LineTest::setChain("1,000"); }},
    {"listDoubleClick", [](LineTest& t) { t.openList(); },
     [](LineTest& t) { t.doubleClickEntry(t.ui()->InfoValsProf, 1); },
     [] { return LineTest::setChain("2,000"); }},
    {"outputModeMenu", [](LineTest&) {}, [](LineTest& t) { t.ui()->funcDefaultx4->trigger(); },
     [] { return Calls{"40085=B"}; }},
    {"profileRead", [](LineTest&) {}, [](LineTest& t) { t.click(t.ui()->ButtonFProfileGet); },
     [] { return LineTest::profileReads(); }},
    {"profileWrite",
     [](LineTest& t) {
         ProfileProcessor& model = *t.w->processor;
         model.profile.assign(7, std::vector<double>(9, 1.0));
         model.R02 = 0.01;
         model.R04 = 0.002;
         model.profLoaded = true;
     },
     [](LineTest& t) { t.click(t.ui()->ButtonFProfileSet); },
     [] {
         Calls c;
         for (int r = 40001; r <= 40065; ++r)
             c.push_back(std::to_string(r) + "=" + (r == 40001 ? "0,0100" : r == 40002 ? "0,0020" : "1,0000"));
         c.push_back("40074=B");
         return c;
     }},
    {"verificationCellButton", [](LineTest& t) { t.openVerification(); },
     [](LineTest& t) { t.click(t.form->senderBtns[8]); }, // 1000 Ω
     [] { return LineTest::setChain("1000,000"); }},
    {"verificationWireButton", [](LineTest& t) { t.openVerification(); },
     [](LineTest& t) { t.click(t.form->ui->btn4x); },
     [] { return concat({"40085=B"}, LineTest::setChain("0,000", "B")); }},
};

INSTANTIATE_TEST_SUITE_P(Table, PollMeetsAction, testing::ValuesIn(kActions),
                         [](const testing::TestParamInfo<ActionCase>& i) { return std::string(i.param.name); });

// Failed before: the Enter step did nothing while a poll was out, so the next measured
// value was typed into the cell already filled and the instrument stayed at its nominal.
TEST_F(LineTest, EnterStepMovesOnAtOnceAndSetsTheNextNominalAfterThePoll)
{
    openVerification();
    click(form->senderBtns[62]); // 1 x 10^-3 Ω
    ASSERT_TRUE(waitLineFree());
    TsEdit* first = form->valEdits[62];
    QTest::keyClicks(first, "0,0015");
    pollOnLine();
    QTest::keyClick(first, Qt::Key_Return);
    QTest::keyClicks(QApplication::focusWidget(), "0,0021"); // the next reading, typed at once
    ASSERT_TRUE(waitLineFree());
    EXPECT_EQ(calls(), concat({"40087"}, setChain("0,002")));
    EXPECT_EQ(first->text(), QStringLiteral("0,00150"));
    EXPECT_EQ(form->valEdits[61]->text(), QStringLiteral("0,0021"));
    EXPECT_EQ(form->selRow, 7);
    expectInputReleased();
}

// Failed before: what was typed or turned while the poll held the input was lost.
TEST_F(LineTest, KeysAndWheelNotchesDuringAPollArePlayedBackAfterIt)
{
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    QLineEdit* edit = ui()->StandartInpEdit;
    edit->setFocus();
    QTest::keyClicks(edit, "12");
    pollOnLine();
    QTest::keyClicks(edit, "3,5");
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("12")); // read-only while the poll is out
    ASSERT_TRUE(waitLineFree());
    EXPECT_EQ(edit->text(), QStringLiteral("123,"));

    // Two notches up by the step of 1 Ω, turned over the field while a poll is out.
    QWindow* window = w->windowHandle();
    const QPoint over = edit->mapTo(w.get(), edit->rect().center());
    pollOnLine();
    for (int n = 0; n < 2; ++n)
        QWindowSystemInterface::handleWheelEvent(window, over, window->mapToGlobal(over), QPoint(), QPoint(0, 120));
    QCoreApplication::processEvents();
    ASSERT_TRUE(waitLineFree());
    EXPECT_EQ(edit->text(), QStringLiteral("125,000"));
    EXPECT_EQ(calls(), Calls{"40087"}); // without "Оперативно" nothing is sent
}

// Failed before: the read went nowhere and no protocol followed.
TEST_F(LineTest, PeriodicProtocolReadWaitsForThePollAndMakesTheProtocol)
{
    openVerification();
    files.answerWith(dir.filePath(QStringLiteral("periodic.docx")));
    form->valEdits[8]->setText(QStringLiteral("1000,05"));
    form->ui->R04->setText(QStringLiteral("0,01000"));
    click(form->ui->FirstCal); // the periodic protocol
    ASSERT_FALSE(form->ui->FirstCal->isChecked());
    pollOnLine();
    click(form->ui->Protocol_btn);
    ASSERT_TRUE(testsupport::waitUntil([&] { return !shows.shown().isEmpty(); }, 20s));
    ASSERT_TRUE(waitLineFree());
    EXPECT_EQ(calls(), concat({"40087"}, profileReads()));
    EXPECT_TRUE(w->protocolDone);
    EXPECT_GT(WordDocument::open(dir.filePath(QStringLiteral("periodic.docx"))).tableCount(), 0);
    expectInputReleased();
}

// Failed before: the profile controls came on at the model text, and a read pressed then
// left the rest of the identification unread.
TEST_F(LineTest, ProfileReadIsLockedUntilTheIdentificationHasEnded)
{
    click(ui()->ConnectionButton); // disconnect
    sim->clearFaults();
    sim->addFault(Fault::delay(60)); // every answer a little late
    sim->clearRequests();
    click(ui()->ConnectionButton);
    ASSERT_TRUE(testsupport::waitUntil([&] { return w->connected; }));
    EXPECT_FALSE(ui()->ButtonFProfileGet->isEnabled());
    EXPECT_FALSE(ui()->Mfprof->menuAction()->isEnabled());
    EXPECT_FALSE(ui()->StandartInputGroup->isEnabled());
    click(ui()->ButtonFProfileGet);
    QTest::keyClick(ui()->StandartInpEdit, Qt::Key_Return);
    ASSERT_TRUE(waitLineFree());
    EXPECT_EQ(registers(*sim), identificationSequence());
    EXPECT_NE(ui()->rangeLabel->text(), QStringLiteral("--"));
    EXPECT_NE(ui()->firmwareLabel->text(), QStringLiteral("--"));
    EXPECT_TRUE(ui()->ButtonFProfileGet->isEnabled());
    EXPECT_TRUE(ui()->StandartInputGroup->isEnabled());
    EXPECT_FALSE(w->profTransfer);
}

// Failed before: the read's first request joined the set chain, which was abandoned with
// "Ввод" left disabled.
TEST_F(LineTest, ProfileCommandsAreLockedWhileASetRuns)
{
    sim->addFault(Fault::delay(60));
    ui()->StandartInpEdit->setFocus();
    QTest::keyClicks(ui()->StandartInpEdit, "100");
    sim->clearRequests();
    click(ui()->StandartInpButtonEnter);
    EXPECT_FALSE(ui()->ButtonFProfileGet->isEnabled());
    EXPECT_FALSE(ui()->ButtonFProfileSet->isEnabled());
    EXPECT_FALSE(ui()->funcDefaultx4->isEnabled());
    click(ui()->ButtonFProfileGet);
    ui()->funcDefaultx4->trigger();
    ASSERT_TRUE(waitLineFree());
    EXPECT_EQ(calls(), setChain("100,000"));
    expectInputReleased();
    EXPECT_TRUE(ui()->ButtonFProfileGet->isEnabled());
}

// A transfer locks the whole value input, not only the profile controls.
TEST_F(LineTest, ValueInputIsLockedWhileAProfileTransferRuns)
{
    click(ui()->ButtonFProfileGet);
    EXPECT_FALSE(ui()->StandartInputGroup->isEnabled());
    EXPECT_FALSE(ui()->StandartInpButtonEnter->isEnabled());
    ASSERT_TRUE(waitLineFree());
    EXPECT_EQ(calls(), profileReads());
    EXPECT_TRUE(ui()->StandartInputGroup->isEnabled());
    expectInputReleased();
}

// What waits for a poll is dropped with the connection: after a poll that is never answered,
// and after a disconnect while the poll is out.
TEST_F(LineTest, NothingThatWaitsGoesOutOnceTheConnectionEnded)
{
    for (const bool silent : {true, false}) {
        SCOPED_TRACE(silent ? "silent poll" : "disconnect");
        if (!w->connected)
            ASSERT_TRUE(connectTo(*sim));
        sim->clearFaults();
        sim->addFault(silent ? Fault::silence(-1, 40087) : Fault::delay(StatusDelayMs, -1, 40087));
        ui()->StandartInpEdit->setFocus();
        QTest::keyClicks(ui()->StandartInpEdit, "100");
        pollOnLine();
        click(ui()->StandartInpButtonEnter);
        if (silent) {
            ASSERT_TRUE(testsupport::waitUntil([&] { return !w->connected; }, 5s));
            ASSERT_EQ(dialogs().size(), 1u);
            EXPECT_EQ(dialogs()[0].text, QStringLiteral("Соединение разорвано."));
        } else {
            click(ui()->ConnectionButton);
            EXPECT_FALSE(w->connected);
        }
        EXPECT_TRUE(staysQuiet(*sim, 700ms));
        EXPECT_EQ(calls(), Calls{"40087"});
        EXPECT_TRUE(w->line->isFree());
        seam().clear();
    }
}

// ---------------------------------------------------------------- the operator's order

// What the operator does while a poll holds the input is carried out after the poll in the
// order it was done: the value sent is the one the same steps give on a free line.
struct OrderCase {
    const char* name;
    std::function<void(LineTest&)> prepare; // on a free line
    std::function<void(LineTest&)> act;     // during a poll, or on a free line
    QStringList sent;                       // the texts written to 40073, in order
};

void PrintTo(const OrderCase& c, std::ostream* os)
{
    *os << c.name;
}

class OperatorOrder : public LineTest, public testing::WithParamInterface<std::tuple<OrderCase, bool>>
{
public:
    void SetUp() override
    {
        LineTest::SetUp();
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }

    // Keys into the field that has them, as the operator types.
    void typeIntoEntry(const char* text)
    {
        ui()->StandartInpEdit->setFocus();
        QTest::keyClicks(ui()->StandartInpEdit, text);
    }
    void backspaces(QWidget* edit, int n)
    {
        for (int i = 0; i < n; ++i)
            QTest::keyClick(edit, Qt::Key_Backspace);
    }
    void clickEntry(QListWidget* list, int row)
    {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
    void wheelUpOver(QWidget* widget)
    {
        QWindow* window = w->windowHandle();
        const QPoint over = widget->mapTo(w.get(), widget->rect().center());
        QWindowSystemInterface::handleWheelEvent(window, over, window->mapToGlobal(over), QPoint(),
                                                 QPoint(0, 120));
        QCoreApplication::processEvents();
    }
};

TEST_P(OperatorOrder, GivesWhatTheSameStepsGiveOnAFreeLine)
{
    const auto& [c, polled] = GetParam();
    c.prepare(*this);
    ASSERT_TRUE(waitLineFree());
    sim->clearRequests();
    if (polled)
        pollOnLine();
    c.act(*this);
    ASSERT_TRUE(waitLineFree());
    EXPECT_EQ(sentValues(*sim), c.sent);
    expectInputReleased();
}

const OrderCase kOrderCases[] = {
    {"backspacesDigitsEnterButton",
     [](LineTest& t) { static_cast<OperatorOrder&>(t).typeIntoEntry("16"); },
     [](LineTest& t) {
         auto& o = static_cast<OperatorOrder&>(t);
         o.backspaces(t.ui()->StandartInpEdit, 2);
         QTest::keyClicks(t.ui()->StandartInpEdit, "17");
         t.click(t.ui()->StandartInpButtonEnter);
     },
     {"17,000"}},
    {"backspacesDigitsEnterKey",
     [](LineTest& t) { static_cast<OperatorOrder&>(t).typeIntoEntry("16"); },
     [](LineTest& t) {
         auto& o = static_cast<OperatorOrder&>(t);
         o.backspaces(t.ui()->StandartInpEdit, 2);
         QTest::keyClicks(t.ui()->StandartInpEdit, "17");
         QTest::keyClick(t.ui()->StandartInpEdit, Qt::Key_Return);
     },
     {"17,000"}},
    {"typedThenPlusThenEnter",
     [](LineTest& t) { static_cast<OperatorOrder&>(t).typeIntoEntry("16"); },
     [](LineTest& t) {
         auto& o = static_cast<OperatorOrder&>(t);
         o.backspaces(t.ui()->StandartInpEdit, 2);
         QTest::keyClicks(t.ui()->StandartInpEdit, "17");
         t.click(t.ui()->DigitUp);
         t.click(t.ui()->StandartInpButtonEnter);
     },
     {"18,000"}},
    {"typedThenMinusSentAtOnce",
     [](LineTest& t) {
         t.click(t.ui()->InstaSend);
         static_cast<OperatorOrder&>(t).typeIntoEntry("16");
     },
     [](LineTest& t) {
         auto& o = static_cast<OperatorOrder&>(t);
         o.backspaces(t.ui()->StandartInpEdit, 1);
         QTest::keyClicks(t.ui()->StandartInpEdit, "9");
         t.click(t.ui()->DigitDown);
     },
     {"18,000"}},
    {"typedThenWheelSentAtOnce",
     [](LineTest& t) {
         t.click(t.ui()->InstaSend);
         static_cast<OperatorOrder&>(t).typeIntoEntry("16");
     },
     [](LineTest& t) {
         auto& o = static_cast<OperatorOrder&>(t);
         QTest::keyClicks(t.ui()->StandartInpEdit, "2");
         o.wheelUpOver(t.ui()->StandartInpEdit);
     },
     {"163,000"}},
    {"typedThenOwnStepThenPlus",
     [](LineTest& t) {
         t.ui()->SelectDigit->setPosition(t.ui()->SelectDigit->max()); // the operator's own step
         t.click(t.ui()->Digit);
         static_cast<OperatorOrder&>(t).typeIntoEntry("16");
     },
     [](LineTest& t) {
         QTest::keyClicks(t.ui()->StandartInpEdit, "7");
         t.click(t.ui()->Digit);
         QTest::keyClicks(t.ui()->Digit, "5");
         t.click(t.ui()->DigitUp);
         t.click(t.ui()->StandartInpButtonEnter);
     },
     {"172,000"}},
    {"typedResetTypedEnter",
     [](LineTest& t) { static_cast<OperatorOrder&>(t).typeIntoEntry("16"); },
     [](LineTest& t) {
         QTest::keyClicks(t.ui()->StandartInpEdit, "7");
         t.click(t.ui()->StandartInpButtonDel);
         t.click(t.ui()->StandartInpEdit);
         QTest::keyClicks(t.ui()->StandartInpEdit, "5");
         t.click(t.ui()->StandartInpButtonEnter);
     },
     {"5,000"}},
    {"typedClickedToTheStartTyped",
     [](LineTest& t) { static_cast<OperatorOrder&>(t).typeIntoEntry("16"); },
     [](LineTest& t) {
         QLineEdit* edit = t.ui()->StandartInpEdit;
         QTest::keyClicks(edit, "7");
         QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(1, edit->height() / 2)); // the caret to the start
         QTest::keyClicks(edit, "1");
         t.click(t.ui()->StandartInpButtonEnter);
     },
     {"1167,000"}},
    {"enterThenTypedOn",
     [](LineTest& t) { static_cast<OperatorOrder&>(t).typeIntoEntry("16"); },
     [](LineTest& t) {
         QTest::keyClicks(t.ui()->StandartInpEdit, "5");
         t.click(t.ui()->StandartInpButtonEnter);
         QTest::keyClicks(t.ui()->StandartInpEdit, "9"); // meets the set: dropped
     },
     {"165,000"}},
    {"rangeEditThenEnter",
     [](LineTest& t) {
         t.chooseInputType(1);
         t.ui()->IncInpEditStart->setText(QStringLiteral("0"));
         t.ui()->IncInpEditEnd->setText(QStringLiteral("10"));
         t.ui()->IncInpEditStep->setText(QStringLiteral("5"));
         t.ui()->IncInpEditStart->setFocus();
         t.ui()->IncInpEditStart->end(false);
     },
     [](LineTest& t) {
         static_cast<OperatorOrder&>(t).backspaces(t.ui()->IncInpEditStart, 1);
         QTest::keyClicks(t.ui()->IncInpEditStart, "2");
         t.click(t.ui()->IncrInpButtonEnter);
     },
     {"2,000"}},
    {"listEntryEnterAnotherEntry",
     [](LineTest& t) { t.openList(); },
     [](LineTest& t) {
         auto& o = static_cast<OperatorOrder&>(t);
         o.clickEntry(t.ui()->InfoValsProf, 2);
         t.click(t.ui()->ProfileInpButtonEnter);
         o.clickEntry(t.ui()->InfoValsProf, 0); // where the next press goes on
         ASSERT_TRUE(o.waitLineFree());
         t.click(t.ui()->ProfileInpButtonEnter);
     },
     {"3,000", "1,000"}},
};

INSTANTIATE_TEST_SUITE_P(Table, OperatorOrder,
                         testing::Combine(testing::ValuesIn(kOrderCases), testing::Bool()),
                         [](const testing::TestParamInfo<std::tuple<OrderCase, bool>>& i) {
                             return std::string(std::get<0>(i.param).name) +
                                    (std::get<1>(i.param) ? "_duringAPoll" : "_onAFreeLine");
                         });

} // namespace
