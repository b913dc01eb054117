// The read-out display: derived figures, log lines, history rows and the end of a set.
#include "tests/WindowFixture.h"

#include "platform/NumberText.h"
#include "ui/ReadoutFigures.h"

#include <QTimer>
#include <array>

namespace
{

using readout::IMaxTexts;

TEST(ReadoutFigures, TruncationCutsInsteadOfRounding)
{
    const struct {
        double x;
        double t4;
        double t5;
    } cases[] = {
        {100.12345, 100.1234, 100.12345},
        {0.12349, 0.1234, 0.12349},
        {-0.12349, -0.1234, -0.12349},
        {1.99999, 1.9999, 1.99999},
        {0.1, 0.1, 0.1},
        {0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_DOUBLE_EQ(readout::truncate4(c.x), c.t4);
        EXPECT_DOUBLE_EQ(readout::truncate5(c.x), c.t5);
    }
    EXPECT_DOUBLE_EQ(readout::deltaCelsius(100.1234, 100), 0.1234);
    EXPECT_DOUBLE_EQ(readout::deltaCelsius(99.9, 100), -0.1);
}

TEST(ReadoutFigures, DeltaTPercentTexts)
{
    const struct {
        double otklon;
        double set;
        const char* text;
    } cases[] = {
        {0.1234, 100, "+0,12340 %"},    {-0.05, 100, "-0,05000 %"},       {-0.1234, -50, "-0,24680 %"},
        {0, 100, "0,00000 %"},          {0.0001, 2000, "δT<|+0,00001%|"}, {-0.0001, 2000, "δT<|-0,00001%|"},
        {0.0002, 1999.9, "+0,00001 %"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(readout::deltaTPercentText(c.otklon, c.set), QString::fromUtf8(c.text));
    }
}

TEST(ReadoutFigures, ClassTermTable)
{
    const struct {
        const char* cls;
        const char* name;
        double k;
    } cases[] = {
        {"0,01", "RD5540-1x", 0.007}, {"0,005", "RD5540-20", 0.007}, {"0,01", "RD5540-21", 0.007},
        {"0,01", "RD5540-22", 0.014}, {"0,01", "RD5540-3x", 0.014},  {"0,02", "RD5540-1x", 0.021},
        {"0,05", "RD5540-1x", 0.035}, {"0,1", "RD5540-1x", 0.042},   {"0,2", "RD5540-1x", 0.07},
        {"0,020", "RD5540-1x", 0},    {"0,5", "RD5540-1x", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cls << " " << c.name);
        const QString text = QString::fromLatin1(c.cls);
        EXPECT_DOUBLE_EQ(readout::classTerm(numtext::strToFloat(text), text, QString::fromLatin1(c.name)),
                         c.k);
    }
}

TEST(ReadoutFigures, StabilityOfVariantOneClass002)
{
    const double k = 0.021;
    EXPECT_NEAR(readout::stabilityPercent(0.02, k, 3, 100), 0.022079, 1e-12);
    const double span = 1e4 - 1e-2;
    EXPECT_NEAR(readout::stabilityOhm(0.02, k, -3, 3, 100),
                100 * (0.02 + (0.21 / span) * (span / 100 - 1)) / 100, 1e-12);
    EXPECT_EQ(numtext::formatFloat("0.0000", readout::stabilityOhm(0.02, k, -3, 3, 100)), "0,0221");
    // K = 0: δн is the class itself, Δн R·cls/100.
    EXPECT_DOUBLE_EQ(readout::stabilityPercent(0.5, 0, 3, 250), 0.5);
    EXPECT_DOUBLE_EQ(readout::stabilityOhm(0.5, 0, -3, 3, 250), 1.25);
}

TEST(ReadoutFigures, IMaxUnits)
{
    const struct {
        const char* text;
        bool russian;
        const char* column;
        const char* display;
    } cases[] = {
        {"500,0 k", true, "0,0005000", "500,0 мкА"},
        {"500,0 k", false, "0,0005000", "500,0 μA"},
        {"14,23 m", true, "0,01423", "14,23  мА"},
        {"14,23 m", false, "0,01423", "14,23  mA"},
        {"0,1", true, "0,1", "0,1 А"},
        {"0,1", false, "0,1", "0,1 A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto t = readout::iMaxTexts(QString::fromUtf8(c.text), c.russian);
        ASSERT_TRUE(t.has_value());
        EXPECT_EQ(t->column, QString::fromUtf8(c.column));
        EXPECT_EQ(t->display, QString::fromUtf8(c.display));
    }
    EXPECT_FALSE(readout::iMaxTexts("ab m", true).has_value());
    EXPECT_FALSE(readout::iMaxTexts("k", true).has_value());
}

// ---- the window ----

using Row = std::array<QString, HistColumnCount>;

class ShowReadoutsTest : public WindowFixture
{
protected:
    Row lastRow()
    {
        Row r;
        for (int c = 0; c < HistColumnCount; ++c)
            r[c] = w.history.columns[c].value(w.history.historyRows - 1);
        return r;
    }

    // The group as a set writes it: time, mode and value line come before these lines.
    QStringList readoutLines()
    {
        w.InfoLines->clear();
        w.logIndex = 0;
        w.ShowReadouts();
        return log();
    }

    void expectWhole()
    {
        for (int c = 0; c < HistColumnCount; ++c)
            EXPECT_EQ(w.history.columns[c].size(), w.history.historyRows) << "column " << c;
    }

    void identify(const char* name, const char* cls)
    {
        ui()->deviceFullName->setText(QString::fromLatin1(name));
        ui()->LabelPrecision->setText(QString::fromLatin1(cls));
    }
};

TEST_F(ShowReadoutsTest, NothingTickedGivesARowOfDashes)
{
    tick({});
    const QStringList lines = readoutLines();
    EXPECT_EQ(lines, QStringList({"Значение установлено!", ""}));
    EXPECT_EQ(w.history.historyRows, 1);
    Row dashes;
    dashes.fill("--");
    EXPECT_EQ(lastRow(), dashes);
    EXPECT_EQ(w.logIndex, 0);
}

TEST_F(ShowReadoutsTest, OhmModeLogsEveryReadoutInOrderAndKeepsTheRow)
{
    identify("RD5540-1 N", "0,02");
    tick({ui()->CheckTrueVal, ui()->OtklonOm, ui()->OtklonPercent, ui()->checkI, ui()->checkU,
          ui()->CheckBox1, ui()->Stability, ui()->AbsStability, ui()->checkTrueC, ui()->OtklonC,
          ui()->OtklonPercentC});
    w.lastValue = "100,000";
    w.setValueOhm = 100;
    w.trueValText = "100,0012";
    w.otklonOmText = "0,0012";
    w.otklonPercentText = "0,0012";
    w.iMaxText = "14,23 m";
    w.uMaxText = "1,42";
    w.decadeStepsText = "0100000";
    w.statusFlags = 4 | 2;

    EXPECT_EQ(readoutLines(),
              QStringList({" Rвос: 100,0012 Ом", " ΔR: 0,0012 Ом", " δR: 0,0012 %", " I макс: 14,23  мА",
                           " U макс: 1,42 B", " δн: ±0,0221 %", " Δн: ±0,0221 Ом",
                           " Ступени декад (Старшая->Младшая): 0100000", "Значение не установлено!", ""}));
    EXPECT_EQ(w.statusFlags, 2) << "only the not-ready bit is cleared";
    EXPECT_EQ(lastRow(), Row({"0,01423", "1,42", "100,0012", "0,0012", "0,0012", "--", "--", "--", "0100000",
                              "0,0221", "0,0221"}));
    EXPECT_EQ(ui()->StandartInpFact->text(), "100,0012 Ом");
    EXPECT_EQ(ui()->StandartInpOtklon->text(), "0,0012 Ом");
    EXPECT_EQ(ui()->StandartInpPercent->text(), "0,0012 %");
    EXPECT_EQ(ui()->StandartInpI->text(), "14,23  мА");
    EXPECT_EQ(ui()->StandartInpU->text(), "1,42 B");
    EXPECT_EQ(ui()->StandartInpStab->text(), "±0,0221 %");
    EXPECT_EQ(ui()->StandartInpStabAbs->text(), "±0,0221 Ом");
}

TEST_F(ShowReadoutsTest, EnglishTexts)
{
    useEnglish();
    identify("RD5540-1 N", "0,02");
    tick({ui()->CheckTrueVal, ui()->checkI, ui()->checkU, ui()->CheckBox1, ui()->AbsStability});
    w.lastValue = "100,000";
    w.trueValText = "100,0012";
    w.iMaxText = "500,0 k";
    w.uMaxText = "0,05";
    w.decadeStepsText = "0100000";
    EXPECT_EQ(readoutLines(),
              QStringList({" Rout: 100,0012 Ohm", " I max: 500,0 μA", " U max: 0,05 V", " Δн: ±0,0221 Ohm",
                           " Enabled decades (Upper->Lower): 0100000", "New value is setted!", ""}));
}

TEST_F(ShowReadoutsTest, ZeroSetValueAndShortNameGiveDashes)
{
    tick({ui()->OtklonPercent, ui()->Stability, ui()->AbsStability});
    w.lastValue = "0,000";
    w.setValueOhm = 0;
    w.otklonPercentText = "0,0000";

    identify("RD5540-1 N", "0,02");
    EXPECT_EQ(readoutLines(), QStringList({" δR: --", " δн: --", " Δн: --", "Значение установлено!", ""}));
    EXPECT_EQ(lastRow()[HistDeltaRPercent], "--");
    EXPECT_EQ(ui()->StandartInpPercent->text(), "--");

    // A name of eight characters: no stability figures, no lines.
    identify("RD5540-1", "0,02");
    w.lastValue = "100,000";
    w.setValueOhm = 100;
    EXPECT_EQ(readoutLines(), QStringList({" δR: 0,0000 %", "Значение установлено!", ""}));
    EXPECT_EQ(ui()->StandartInpStab->text(), "--");
    EXPECT_EQ(lastRow()[HistStability], "--");
    EXPECT_EQ(w.history.historyRows, 2);
}

// Read-outs that are no numbers: the figure shows and keeps "--", the row stays whole and
// the input is released.
TEST_F(ShowReadoutsTest, BadNumbersLeaveTheRowWhole)
{
    identify("RD5540-1 N", "--"); // no class read yet
    tick({ui()->checkI, ui()->Stability, ui()->AbsStability, ui()->checkU});
    w.lastValue = "100,000";
    w.setValueOhm = 100;
    w.iMaxText = "?? m";
    w.uMaxText = "1,00";
    w.setPending = true;
    w.inputAllowed = false;
    ui()->StandartInpButtonEnter->setEnabled(false);

    EXPECT_EQ(readoutLines(), QStringList({" I макс: --", " U макс: 1,00 B", " δн: --", " Δн: --",
                                           "Значение установлено!", ""}));
    EXPECT_EQ(lastRow(), Row({"--", "1,00", "--", "--", "--", "--", "--", "--", "--", "--", "--"}));
    expectWhole();
    EXPECT_FALSE(w.setPending);
    EXPECT_TRUE(w.inputAllowed);
    EXPECT_TRUE(ui()->StandartInpButtonEnter->isEnabled());
}

class CelsiusReadoutsTest : public ShowReadoutsTest
{
protected:
    void SetUp() override
    {
        ShowReadoutsTest::SetUp();
        selectCelsius(&TForm1::platinum385Click, &TForm1::N1001Click);
        tick({ui()->checkTrueC, ui()->OtklonC, ui()->OtklonPercentC});
        w.needTrueVal = true;
    }

    // Rвос text that reads back as the temperature t.
    QString ohmsOf(double t)
    {
        return numtext::formatFloat("0.0000000000", w.processor->tempToOhm(t, short(w.rtdType)));
    }
};

TEST_F(CelsiusReadoutsTest, TemperatureFiguresAreCut)
{
    const struct {
        double trueC;
        double setC;
        const char* tText;
        const char* dLog;
        const char* dColumn;
        const char* pText;
    } cases[] = {
        {100.12345, 100, "100,1234", " ΔT: +0,1234 °C", "0,1234", "+0,12340 %"},
        {99.9, 100, "99,9000", " ΔT: -0,1000 °C", "-0,1000", "-0,10000 %"},
        {100, 100, "100,0000", " ΔT: 0,0000 °C", "0,0000", "0,00000 %"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tText);
        w.trueValText = ohmsOf(c.trueC);
        w.setValueCelsius = c.setC;
        EXPECT_EQ(readoutLines(),
                  QStringList({QString(" Tвос: ") + c.tText + " °C", QString::fromUtf8(c.dLog),
                               QString(" δT: ") + c.pText, "Значение установлено!", ""}));
        const Row r = lastRow();
        EXPECT_EQ(r[HistTrueCelsius], c.tText);
        EXPECT_EQ(r[HistDeltaT], c.dColumn);
        EXPECT_EQ(r[HistDeltaTPercent], c.pText);
        EXPECT_EQ(ui()->StandartInpFact->text(), QString(c.tText) + " °C");
        EXPECT_EQ(ui()->StandartInpOtklon->text(), QString(c.dColumn) + " °C");
        EXPECT_EQ(ui()->StandartInpPercent->text(), c.pText);
    }
}

TEST_F(CelsiusReadoutsTest, EnglishTemperatureLines)
{
    useEnglish();
    w.trueValText = ohmsOf(100.12345);
    w.setValueCelsius = 100;
    EXPECT_EQ(readoutLines(), QStringList({" Tout: 100,1234 °C", " ΔT: +0,1234 °C", " δT: +0,12340 %",
                                           "New value is setted!", ""}));
}

TEST_F(CelsiusReadoutsTest, ZeroSetTemperatureHasNoDeltaTPercent)
{
    w.trueValText = ohmsOf(0.5);
    w.setValueCelsius = 0;
    EXPECT_EQ(readoutLines(),
              QStringList({" Tвос: 0,5000 °C", " ΔT: +0,5000 °C", "Значение установлено!", ""}));
    EXPECT_EQ(lastRow()[HistDeltaTPercent], "--");
    EXPECT_EQ(ui()->StandartInpPercent->text(), "--");
}

TEST_F(CelsiusReadoutsTest, RvosThatIsNoNumberSkipsTheTemperatureFigures)
{
    identify("RD5540-1 N", "0,02");
    tick({ui()->checkTrueC, ui()->OtklonC, ui()->OtklonPercentC, ui()->Stability});
    w.trueValText = "ERR";
    w.setValueCelsius = 50;
    w.setValueOhm = 119.3971;
    w.lastValue = "50";
    EXPECT_EQ(readoutLines(), QStringList({" Tвос: --", " ΔT: --", " δT: --", " δн: ±0,0217 %",
                                           "Значение установлено!", ""}));
    expectWhole();
    EXPECT_EQ(lastRow()[HistTrueCelsius], "--");
    // δн takes the resistance that was set, 119,3971 Ω, not the 50 of the °C text.
    EXPECT_EQ(lastRow()[HistStability], "0,0217");
    EXPECT_EQ(ui()->StandartInpFact->text(), "--");
}

TEST_F(ShowReadoutsTest, HiddenSingleGroupKeepsItsLabels)
{
    tick({ui()->CheckTrueVal});
    w.trueValText = "5,000";
    ui()->StandartInpFact->setText("old");
    ui()->StandartInputGroup->hide();
    readoutLines();
    EXPECT_EQ(ui()->StandartInpFact->text(), "old");
    EXPECT_EQ(lastRow()[HistTrueVal], "5,000");
}

TEST_F(ShowReadoutsTest, EndOfSetOutsideAndInsideATimedRun)
{
    tick({});
    ui()->StandartInpEdit->setText("12,5");
    ui()->StandartInpEdit->setReadOnly(true);
    for (QPushButton* b : {ui()->DigitDown, ui()->DigitUp, ui()->ProfileInpButtonEnter,
                           ui()->IncrInpButtonEnter, ui()->StandartInpButtonEnter})
        b->setEnabled(false);
    readoutLines();
    EXPECT_FALSE(ui()->StandartInpEdit->isReadOnly());
    EXPECT_TRUE(ui()->StandartInpEdit->text().isEmpty());
    for (QPushButton* b : {ui()->DigitDown, ui()->DigitUp, ui()->ProfileInpButtonEnter,
                           ui()->IncrInpButtonEnter, ui()->StandartInpButtonEnter})
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();

    // Timed run, paused, with the period to restore: timers stay off, TimeLeft shows it.
    w.autoRun = true;
    w.paused = true;
    w.restorePeriod = true;
    ui()->EditAuto->setText("5");
    w.Timer->setInterval(1300);
    readoutLines();
    EXPECT_FALSE(w.restorePeriod);
    EXPECT_EQ(w.Timer->interval(), 5000);
    EXPECT_EQ(ui()->TimeLeft->text(), "5");
    EXPECT_FALSE(w.Timer->isActive());
    EXPECT_FALSE(w.TimerCountdown->isActive());

    // Running: the period counts from here.
    w.paused = false;
    w.Timer->setInterval(3000);
    readoutLines();
    EXPECT_EQ(ui()->TimeLeft->text(), "3");
    EXPECT_TRUE(w.Timer->isActive());
    EXPECT_TRUE(w.TimerCountdown->isActive());
    w.Timer->stop();
    w.TimerCountdown->stop();
}

TEST(History, ClearEmptiesEveryColumn)
{
    HistoryTable h;
    ClearHistory(h);
    EXPECT_EQ(h.historyRows, 0);
    Row row;
    row.fill("x");
    h.appendRow(row, QString());
    h.appendRow(row, QString());
    ClearHistory(h);
    EXPECT_EQ(h.historyRows, 0);
    for (const QStringList& c : h.columns)
        EXPECT_TRUE(c.isEmpty());
}

} // namespace
