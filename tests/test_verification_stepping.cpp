// Verification stepping end to end: the verification window's cell buttons, Enter and the
// 2-wire / 4-wire buttons against the simulated instrument, asserting what it was sent.
#include "platform/NumberText.h"
#include "tests/LinkFixture.h"
#include "ui_TForm1.h"
#include "ui_TForm3.h"
#include "verification/FProfileEdit.h"
#include "verification/TsEdit.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QToolButton>

namespace
{

class Stepping : public LinkFixture
{
protected:
    void SetUp() override
    {
        LinkFixture::SetUp();
        sim = &addSim(1);
        ASSERT_TRUE(connectTo(*sim));
        tick({}); // the set chain without read-outs
        form = std::make_unique<TForm3>(nullptr, w->processor, true, true);
        w->profileForm = form.get();
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    void TearDown() override
    {
        w->profileForm = nullptr;
        form.reset();
        LinkFixture::TearDown();
    }

    // Writes the simulator received, as register and text.
    std::vector<std::pair<std::uint16_t, QByteArray>> writes() const
    {
        std::vector<std::pair<std::uint16_t, QByteArray>> out;
        for (const SimInstrument::Request& r : sim->requests())
            if (r.function == frame::FuncWrite)
                out.emplace_back(r.reg, r.text);
        return out;
    }

    // The set chain of one value, without read-outs, in output mode 'A'.
    static std::vector<std::uint16_t> setChain() { return {40078, 40085, 40073, 40074, 40075}; }

    void click(int k) { QTest::mouseClick(form->senderBtns[std::size_t(k)], Qt::LeftButton); }

    std::vector<int> enabledCells() const
    {
        std::vector<int> out;
        for (std::size_t k = 0; k < form->valEdits.size(); ++k)
            if (form->valEdits[k]->isEnabled())
                out.push_back(int(k));
        return out;
    }

    SimInstrument* sim = nullptr;
    std::unique_ptr<TForm3> form;
};

TEST_F(Stepping, CellButtonSetsItsNominalAndOpensThatCellAlone)
{
    click(8); // RD5540-1: decade 0, row 8 is 1000 Ω
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(registers(*sim), setChain());
    const auto sent = writes();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[2], (std::pair<std::uint16_t, QByteArray>{40073, "1000,000"}));
    EXPECT_EQ(form->selCol, 0);
    EXPECT_EQ(form->selRow, 8);
    EXPECT_EQ(enabledCells(), std::vector<int>{8});
    EXPECT_EQ(QApplication::focusWidget(), form->valEdits[8]);
    EXPECT_TRUE(log().contains(QStringLiteral(" R: 1000 Ом")));

    // The same button again: the cell stays the open one and the value is set once more.
    sim->clearRequests();
    click(8);
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(registers(*sim), setChain());
    EXPECT_EQ(enabledCells(), std::vector<int>{8});

    // Another one closes the first.
    sim->clearRequests();
    click(40); // decade 4, row 4: 5 x 10^-1
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(writes()[2].second, QByteArray("0,500"));
    EXPECT_EQ(enabledCells(), std::vector<int>{40});
}

// One chain at a time: what is pressed while a request is on the line does nothing.
TEST_F(Stepping, ButtonsPressedWhileAChainRunsDoNothing)
{
    click(8);
    ASSERT_TRUE(w->requestOnLine());
    click(17);
    QTest::keyClick(form->valEdits[8], Qt::Key_Return);
    QTest::mouseClick(form->ui->btn2x, Qt::LeftButton);
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(registers(*sim), setChain());
    EXPECT_EQ(writes()[2].second, QByteArray("1000,000"));
    EXPECT_EQ(enabledCells(), std::vector<int>{8});
    EXPECT_EQ(form->selRow, 8);
}

TEST_F(Stepping, EnterWalksUpEveryNominalAndStopsAtTheLargest)
{
    click(62); // 1 x 10^minDec
    ASSERT_TRUE(waitIdle());
    QStringList set;
    for (int n = 0; n < 63; ++n) {
        for (const auto& [reg, text] : writes())
            if (reg == 40073)
                set << QString::fromLatin1(text);
        sim->clearRequests();
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr) << n;
        QTest::keyClick(focused, Qt::Key_Return);
        ASSERT_TRUE(waitIdle()) << n;
    }
    QStringList expected;
    for (int e = -3; e <= 3; ++e)
        for (int s = 1; s <= 9; ++s)
            expected << numtext::formatFloat(QStringLiteral("0.000"), s * std::pow(10.0, e));
    EXPECT_EQ(set, expected);
    // The Enter in the cell of 9000 Ω set nothing and moved the focus on.
    EXPECT_TRUE(sim->requests().empty());
    EXPECT_EQ(form->selCol, 0);
    EXPECT_EQ(form->selRow, 0);
    EXPECT_EQ(enabledCells(), std::vector<int>{0});
    EXPECT_NE(QApplication::focusWidget(), form->valEdits[0]);
}

TEST_F(Stepping, EnterInTheZeroResistanceEditsStepsFromTheSelection)
{
    click(9 * 2 + 0); // 90 Ω: row 0, so Enter goes to the next decade's 100 Ω
    ASSERT_TRUE(waitIdle());
    sim->clearRequests();
    form->ui->R04->setFocus();
    QTest::keyClick(form->ui->R04, Qt::Key_Return);
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(writes()[2].second, QByteArray("100,000"));
    EXPECT_EQ(enabledCells(), std::vector<int>{9 + 8});
    sim->clearRequests();
    form->ui->R02->setFocus();
    QTest::keyClick(form->ui->R02, Qt::Key_Return);
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(writes()[2].second, QByteArray("200,000"));
}

TEST_F(Stepping, EnterBeforeAnyButtonSetsNothing)
{
    form->ui->R02->setFocus();
    QTest::keyClick(form->ui->R02, Qt::Key_Return);
    ASSERT_TRUE(waitIdle());
    EXPECT_TRUE(sim->requests().empty());
    EXPECT_TRUE(enabledCells().empty());
}

// The nominals are ohms: a main window in °C mode goes back to ohms first.
TEST_F(Stepping, CelsiusModeSwitchesTheMainWindowToOhms)
{
    w->CelsiumClick(w->ui->Celsium);
    ASSERT_TRUE(w->celsiusMode());
    click(8);
    ASSERT_TRUE(waitIdle());
    EXPECT_FALSE(w->celsiusMode());
    EXPECT_TRUE(w->ui->Ohm->isChecked());
    EXPECT_EQ(writes()[2].second, QByteArray("1000,000"));

    // The zero after a 2-wire switch is 0 Ω as well, not the resistance at 0 °C.
    w->CelsiumClick(w->ui->Celsium);
    ASSERT_TRUE(waitIdle());
    sim->clearRequests();
    QTest::mouseClick(form->ui->btn2x, Qt::LeftButton);
    ASSERT_TRUE(waitIdle());
    EXPECT_FALSE(w->celsiusMode());
    ASSERT_EQ(writes().size(), 5u);
    EXPECT_EQ(writes()[3].second, QByteArray("0,000"));
    EXPECT_TRUE(dialogs().empty());
}

struct WireCase {
    const char* name;
    int variant;
    bool fourWire;
    const char* letter;
    const char* zero;
};

std::ostream& operator<<(std::ostream& os, const WireCase& c)
{
    return os << c.name;
}

class WireButtons : public LinkFixture, public ::testing::WithParamInterface<WireCase>
{
};

// The output mode is written, its acknowledgement ticks the menu item and the instrument is
// set to the variant's zero in that mode.
TEST_P(WireButtons, WriteTheModeAndThenTheZero)
{
    const WireCase& c = GetParam();
    SimInstrument& sim = addSim(c.variant);
    ASSERT_TRUE(connectTo(sim));
    tick({});
    TForm3 form(nullptr, w->processor, true, true);
    w->profileForm = &form;
    form.show();
    QTest::mouseClick(c.fourWire ? form.ui->btn4x : form.ui->btn2x, Qt::LeftButton);
    ASSERT_TRUE(waitIdle());
    std::vector<std::pair<std::uint16_t, QByteArray>> sent;
    for (const SimInstrument::Request& r : sim.requests())
        if (r.function == frame::FuncWrite)
            sent.emplace_back(r.reg, r.text);
    const QByteArray letter(c.letter);
    const std::vector<std::pair<std::uint16_t, QByteArray>> expected = {
        {40085, letter}, {40078, "A"}, {40085, letter}, {40073, c.zero}, {40074, "A"}};
    EXPECT_EQ(sent, expected);
    EXPECT_TRUE((c.fourWire ? w->ui->funcDefaultx4 : w->ui->funcDefaultx2)->isChecked());
    EXPECT_EQ(w->lastValue, QString::fromLatin1(c.zero));
    EXPECT_FALSE(w->ui->StandartInpEdit->isReadOnly()); // the end of the chain released it
    w->profileForm = nullptr;
}

INSTANTIATE_TEST_SUITE_P(Wires, WireButtons,
                         ::testing::Values(WireCase{"twoWireRd1", 1, false, "A", "0,000"},
                                           WireCase{"fourWireRd1", 1, true, "B", "0,000"},
                                           WireCase{"twoWireRd3", 3, false, "A", "0,0"},
                                           WireCase{"fourWireRd5", 5, true, "B", "0"}),
                         [](const ::testing::TestParamInfo<WireCase>& info) {
                             return std::string(info.param.name);
                         });

// The acknowledgement of a mode write zeroes only for the shown button of that mode.
TEST_F(Stepping, ModeAcknowledgementZeroesOnlyForItsShownButton)
{
    form->ui->btn4x->hide();
    w->SendFrame(frame::FuncWrite, 40085, "B");
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(registers(*sim), std::vector<std::uint16_t>{40085});
    EXPECT_TRUE(w->ui->funcDefaultx4->isChecked());

    // No verification window shown: not even the menu item follows.
    form->hide();
    sim->clearRequests();
    w->SendFrame(frame::FuncWrite, 40085, "A");
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(registers(*sim), std::vector<std::uint16_t>{40085});
    EXPECT_TRUE(w->ui->funcDefaultx4->isChecked());
}

} // namespace
