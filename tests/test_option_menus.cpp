// The instrument options of the settings menu: output mode, display selection,
// thermometer type and R0, status polling.
#include "instrument/Frame.h"
#include "platform/ComPort.h"
#include "platform/PortTable.h"
#include "sim/SimInstrument.h"
#include "tests/TestSupport.h"
#include "tests/WindowFixture.h"

#include <QTemporaryDir>
#include <boost/regex.hpp>

namespace
{

using Handler = void (TForm1::*)();

class OptionMenusTest : public WindowFixture
{
protected:
    // Exactly one item of the item's menu is checked: this one.
    static void expectOnlyChecked(QAction* item, std::initializer_list<QAction*> group)
    {
        for (QAction* a : group)
            EXPECT_EQ(a->isChecked(), a == item) << a->objectName().toStdString();
    }

    bool inRange(const char* text) { return boost::regex_match(std::string(text), w.processor->rangeRegex); }
};

TEST_F(OptionMenusTest, OutputModeWhileDisconnectedSetsLabelAndSendsNothing)
{
    struct Case {
        Handler handler;
        QAction* Ui::TForm1::*item;
        const char* letter;
        const char* russian;
        const char* english;
    };
    const Case cases[] = {
        {&TForm1::funcDefaultx2Click, &Ui::TForm1::funcDefaultx2, "A", "Н2", "usual 2w"},
        {&TForm1::funcDefaultx4Click, &Ui::TForm1::funcDefaultx4, "B", "Н4", "usual 4w"},
        {&TForm1::funcCorrectionx2Click, &Ui::TForm1::funcCorrectionx2, "C", "К2", "optimal 2w"},
        {&TForm1::funcCorrectionx4Click, &Ui::TForm1::funcCorrectionx4, "D", "К4", "optimal 4w"},
    };
    w.txLength = 0;
    for (bool russian : {true, false}) {
        if (!russian)
            useEnglish();
        for (const Case& c : cases) {
            SCOPED_TRACE(c.letter);
            (w.*c.handler)();
            EXPECT_EQ(ui()->modeLabel->text(), QString::fromUtf8(russian ? c.russian : c.english));
            EXPECT_EQ(w.outputModeLetter(), QByteArray(c.letter));
            expectOnlyChecked(ui()->*c.item, {ui()->funcDefaultx2, ui()->funcDefaultx4,
                                              ui()->funcCorrectionx2, ui()->funcCorrectionx4});
        }
    }
    EXPECT_EQ(w.txLength, 0);

    ui()->funcCorrectionx4->setChecked(false);
    EXPECT_TRUE(w.outputModeLetter().isEmpty());
}

TEST_F(OptionMenusTest, DisplayItemSetsTheLetterConnectedOrNot)
{
    const std::pair<Handler, const char*> cases[] = {
        {&TForm1::N11Click, "A"}, {&TForm1::N21Click, "B"}, {&TForm1::N31Click, "C"},
        {&TForm1::R1Click, "D"},  {&TForm1::N13Click, "E"}, {&TForm1::N14Click, "F"},
        {&TForm1::N17Click, "G"}, {&TForm1::N10Click, "H"},
    };
    const std::initializer_list<QAction*> group = {ui()->N11, ui()->N21, ui()->N31, ui()->R1,
                                                   ui()->N13, ui()->N14, ui()->N17, ui()->N10};
    w.txLength = 0;
    int k = 0;
    for (const auto& [handler, letter] : cases) {
        SCOPED_TRACE(letter);
        (w.*handler)();
        EXPECT_EQ(w.displayLetter, QByteArray(letter));
        expectOnlyChecked(group.begin()[k++], group);
    }
    EXPECT_EQ(w.txLength, 0);
}

// Connected, the two instrument options go to the instrument at once.
class ConnectedOptionsTest : public OptionMenusTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        porttable::setIncludeSystemPorts(false);
        porttable::setSimDirectoryOverride(m_dir.path());
        ASSERT_TRUE(m_sim.start(m_dir.path()));
        OptionMenusTest::SetUp();
        w.comPort->setComNumber(1);
        ASSERT_NO_THROW(w.comPort->open());
        w.connected = true;
    }
    void TearDown() override
    {
        testsupport::waitUntil([&] { return !w.requestOnLine(); });
        w.connected = false;
        w.comPort->close();
        m_sim.stop();
        porttable::setSimDirectoryOverride(QString());
        porttable::setIncludeSystemPorts(true);
    }

    // The first request the instrument received.
    SimInstrument::Request firstRequest()
    {
        EXPECT_TRUE(testsupport::waitUntil([&] { return m_sim.requestCount() >= 1; }));
        const auto r = m_sim.requests();
        return r.empty() ? SimInstrument::Request{} : r.front();
    }

    QTemporaryDir m_dir;
    SimInstrument m_sim{1};
};

TEST_F(ConnectedOptionsTest, DecadeStepsDisplayIsWrittenAtOnce)
{
    w.N17Click();
    const SimInstrument::Request r = firstRequest();
    EXPECT_EQ(r.function, frame::FuncWrite);
    EXPECT_EQ(r.reg, 40078);
    EXPECT_EQ(r.text, QByteArray("G"));
    EXPECT_EQ(w.displayLetter, QByteArray("G"));

    // The next set writes the same letter first.
    ASSERT_TRUE(testsupport::waitUntil([&] { return !w.requestOnLine(); }));
    m_sim.clearRequests();
    w.SetValueOnDevice("5");
    const SimInstrument::Request first = firstRequest();
    EXPECT_EQ(first.reg, 40078);
    EXPECT_EQ(first.text, QByteArray("G"));
}

TEST_F(ConnectedOptionsTest, OutputModeIsWrittenAtOnce)
{
    w.funcCorrectionx4Click();
    const SimInstrument::Request r = firstRequest();
    EXPECT_EQ(r.function, frame::FuncWrite);
    EXPECT_EQ(r.reg, 40085);
    EXPECT_EQ(r.text, QByteArray("D"));
    EXPECT_EQ(ui()->modeLabel->text(), QString::fromUtf8("К4"));
}

TEST_F(OptionMenusTest, ThermometerItemSetsTypeCoefficientsAndPattern)
{
    struct Case {
        Handler handler;
        QAction* Ui::TForm1::*item;
        int type;
        const char* top;
        const char* pastTop;
    };
    const Case cases[] = {
        {&TForm1::platinum385Click, &Ui::TForm1::platinum385, 1, "850,00", "850,01"},
        {&TForm1::copper428Click, &Ui::TForm1::copper428, 2, "200,00", "200,01"},
        {&TForm1::nickel617Click, &Ui::TForm1::nickel617, 3, "180,00", "180,01"},
        {&TForm1::platinum391Click, &Ui::TForm1::platinum391, 0, "-200,00", "-200,01"},
    };
    w.CelsiumClick(ui()->Celsium);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        ui()->StandartInpEdit->setText("12");
        ui()->IncInpEditStep->setText("1");
        (w.*c.handler)();
        EXPECT_EQ(w.rtdType, c.type);
        expectOnlyChecked(ui()->*c.item,
                          {ui()->platinum391, ui()->platinum385, ui()->copper428, ui()->nickel617});
        const RtdCoefficients& k = kRtdCoefficients[c.type];
        EXPECT_EQ(w.processor->coefABC, (std::vector<double>{k.A, k.B, k.C}));
        EXPECT_EQ(w.processor->coefD, (std::vector<double>{k.D1, k.D2, k.D3, k.D4}));
        EXPECT_TRUE(ui()->StandartInpEdit->text().isEmpty());
        EXPECT_TRUE(ui()->IncInpEditStep->text().isEmpty());
        EXPECT_TRUE(inRange(c.top));
        EXPECT_FALSE(inRange(c.pastTop));
    }
}

TEST_F(OptionMenusTest, R0ItemRecomputesOnlyWhenNotYetChecked)
{
    w.CelsiumClick(ui()->Celsium);
    w.N1001Click();
    ASSERT_TRUE(ui()->N1001->isChecked());
    ui()->StandartInpEdit->setText("25");
    ui()->SelectDigit->setPosition(-1);
    w.userStepText = "7";

    w.processor->Rt0 = 200;
    w.N1001Click(); // already checked: R0 only
    EXPECT_EQ(w.processor->Rt0, 100);
    EXPECT_EQ(ui()->StandartInpEdit->text(), "25");
    EXPECT_EQ(ui()->SelectDigit->position(), -1);
    EXPECT_EQ(w.userStepText, "7");

    w.N01Click(); // 10 Ω on RD5540-1: tenths
    EXPECT_EQ(w.processor->Rt0, 10);
    expectOnlyChecked(ui()->N01, {ui()->N01, ui()->N501, ui()->N1001, ui()->N1002, ui()->N10001});
    EXPECT_EQ(ui()->StandartInpEdit->text(), "25,0");
    EXPECT_EQ(ui()->SelectDigit->position(), 0);
    EXPECT_TRUE(w.userStepText.isEmpty());
    EXPECT_TRUE(inRange("-199,9"));
    EXPECT_FALSE(inRange("-199,99"));

    w.N10001Click();
    EXPECT_EQ(w.processor->Rt0, 1000);
    EXPECT_EQ(w.processor->celsiusFormat, "0.000");
}

TEST_F(OptionMenusTest, PollingItemsFormOneGroup)
{
    w.RequestDisabledClick();
    expectOnlyChecked(ui()->RequestDisabled, {ui()->RequestEnabled, ui()->RequestDisabled});
    w.RequestEnabledClick();
    expectOnlyChecked(ui()->RequestEnabled, {ui()->RequestEnabled, ui()->RequestDisabled});
}

} // namespace
