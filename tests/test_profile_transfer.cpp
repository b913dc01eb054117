// Reading the actual-values profile from the instrument and writing it back, end to end with
// the simulated instrument: register order and cells, the text formats of the cells, the
// store command, refusal, a transfer cut short, and answers that name another register.
#include "ui_TForm1.h"

#include "tests/LinkFixture.h"

#include "instrument/ProfileProcessor.h"
#include "platform/ComPort.h"
#include "platform/NumberText.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <cmath>

namespace
{

using Fault = SimInstrument::Fault;
using Regs = std::vector<std::uint16_t>;
using Table = std::vector<std::vector<double>>;

constexpr std::uint16_t FirstReg = 40001;
constexpr std::uint16_t LastReg = 40065;

// Every profile register, in order.
Regs profileRegisters()
{
    Regs regs;
    for (int r = FirstReg; r <= LastReg; ++r)
        regs.push_back(std::uint16_t(r));
    return regs;
}

// The cell a register holds: 40003 is the smallest step of the lowest decade.
std::pair<int, int> cellOf(std::uint16_t reg)
{
    const int k = reg - 40003;
    return {6 - k / 9, 8 - k % 9};
}

double nominal(int maxDec, int d, int j)
{
    return (9 - j) * std::pow(10.0, maxDec - d);
}

int decimals(const QByteArray& text)
{
    const int comma = int(text.indexOf(','));
    return comma < 0 ? 0 : int(text.size()) - comma - 1;
}

// What the model holds of a profile.
struct ModelProfile {
    double R02, R04;
    Table cells;
    bool loaded;
    bool operator==(const ModelProfile&) const = default;
};

class ProfileTransferTest : public LinkFixture
{
protected:
    Ui::TForm1* ui() { return w->ui; }
    ProfileProcessor& model() { return *w->processor; }

    ModelProfile held() { return {model().R02, model().R04, model().profile, model().profLoaded}; }

    // A complete profile in the model, as an opened file leaves it: every step a little off
    // its nominal, with more decimals than any text carries.
    void loadModel(double offset)
    {
        model().R02 = 0.01234 + offset;
        model().R04 = 0.00056 + offset;
        model().profile.assign(7, std::vector<double>(9));
        for (int d = 0; d < 7; ++d)
            for (int j = 0; j < 9; ++j)
                model().profile[d][j] = nominal(model().maxDec, d, j) + 0.12341 + offset;
        model().profLoaded = true;
    }

    void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    bool profileControlsEnabled(bool enabled)
    {
        bool all = ui()->Mfprof->menuAction()->isEnabled() == enabled;
        for (QPushButton* b : {ui()->ButtonFProfileSet, ui()->ButtonFProfileGet, ui()->ButtonFProfileEdit,
                               ui()->ButtonFProfileOpen})
            all = all && b->isEnabled() == enabled;
        return all;
    }

    // The transfer has ended and nothing more follows within a while.
    void waitEnd(SimInstrument& sim)
    {
        ASSERT_TRUE(waitIdle(std::chrono::seconds(30)));
        const int count = sim.requestCount();
        testsupport::waitUntil([] { return false; }, std::chrono::milliseconds(150));
        EXPECT_EQ(sim.requestCount(), count) << "requests after the end";
    }
};

// ---------------------------------------------------------------- reading

TEST_F(ProfileTransferTest, ReadPutsEveryRegisterInItsCell)
{
    SimInstrument& sim = addSim(2);
    ASSERT_TRUE(connectTo(sim));
    // A text of its own for every register.
    for (std::uint16_t reg : profileRegisters()) {
        double value = (reg - 40000) / 10000.0;
        if (reg >= 40003) {
            const auto [d, j] = cellOf(reg);
            value += nominal(model().maxDec, d, j);
        }
        sim.setRegisterText(reg, numtext::formatFloat("0.0000", value).toLatin1());
    }
    model().profLoaded = false;
    const int linesBefore = w->InfoLines->count();

    click(ui()->ButtonFProfileGet);
    EXPECT_TRUE(w->profTransfer);
    EXPECT_TRUE(profileControlsEnabled(false));
    waitEnd(sim);

    EXPECT_EQ(registers(sim), profileRegisters());
    for (const SimInstrument::Request& r : sim.requests())
        EXPECT_EQ(r.function, frame::FuncRead);
    auto text = [&](std::uint16_t reg) {
        return numtext::strToFloat(QString::fromLatin1(sim.registerText(reg)));
    };
    EXPECT_DOUBLE_EQ(model().R02, text(40001));
    EXPECT_DOUBLE_EQ(model().R04, text(40002));
    EXPECT_DOUBLE_EQ(model().profile[6][8], text(40003)); // 0,01 Ω on RD5540-2
    EXPECT_DOUBLE_EQ(model().profile[6][0], text(40011)); // 0,09 Ω
    EXPECT_DOUBLE_EQ(model().profile[5][8], text(40012)); // 0,1 Ω
    EXPECT_DOUBLE_EQ(model().profile[0][0], text(40065)); // 90 kΩ
    for (std::uint16_t reg = 40003; reg <= LastReg; ++reg) {
        const auto [d, j] = cellOf(reg);
        EXPECT_DOUBLE_EQ(model().profile[d][j], text(reg)) << reg;
    }
    EXPECT_TRUE(model().profLoaded);
    EXPECT_FALSE(w->profTransfer);
    EXPECT_TRUE(profileControlsEnabled(true));
    const QStringList top = log().mid(0, 6);
    EXPECT_EQ(top, (QStringList{"Чтение профиля завершено.", "",
                                "Пожалуйста, не отключайте прибор до окончания считывания.", "",
                                "Чтение профиля Rд из прибора.", ""}));
    EXPECT_EQ(w->InfoLines->count(), linesBefore + 6);
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(ProfileTransferTest, MenuItemReadsInEnglish)
{
    ui()->Russian->setChecked(false);
    ui()->English->setChecked(true);
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    ui()->N7->trigger();
    waitEnd(sim);

    EXPECT_EQ(registers(sim), profileRegisters());
    EXPECT_EQ(log().mid(0, 6), (QStringList{"Reading complete.", "", "Don't disconnect the USB cable.", "",
                                            "Rm profile reading in process.", ""}));
    EXPECT_TRUE(model().profLoaded);
}

// An answer naming another register than the one asked for is resent, never stored.
TEST_F(ProfileTransferTest, AnswerOfAnotherRegisterIsResentNotStored)
{
    struct Case {
        const char* name;
        bool write;
    };
    SimInstrument& sim = addSim(1);
    for (const Case c : {Case{"read", false}, Case{"write", true}}) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(connectTo(sim));
        loadModel(0.0);
        const ModelProfile before = held();
        // The answer to the fifth request (40005) names 40006.
        scheduleFaults(sim, {{4, Fault::wrongRegister(1, 1)}});
        click(c.write ? ui()->ButtonFProfileSet : ui()->ButtonFProfileGet);
        waitEnd(sim);

        Regs expected = profileRegisters();
        expected.insert(expected.begin() + 4, 40005);
        if (c.write)
            expected.push_back(40074);
        EXPECT_EQ(registers(sim), expected);
        const auto reqs = sim.requests();
        ASSERT_GE(reqs.size(), 6u);
        EXPECT_EQ(reqs[5].raw, reqs[4].raw); // the very same request again
        EXPECT_EQ(w->errorCount, 0);
        EXPECT_TRUE(w->connected);
        EXPECT_FALSE(w->profTransfer);
        if (c.write) {
            EXPECT_EQ(held(), before);
            EXPECT_EQ(log().value(0), "Запись профиля завершена");
        } else {
            // Every cell from its own register: none shifted by the stray answer.
            for (std::uint16_t reg = 40003; reg <= LastReg; ++reg) {
                const auto [d, j] = cellOf(reg);
                EXPECT_DOUBLE_EQ(model().profile[d][j],
                                 numtext::strToFloat(QString::fromLatin1(sim.registerText(reg))))
                    << reg;
            }
            EXPECT_EQ(log().value(0), "Чтение профиля завершено.");
        }
        w->ConnectionButtonClick();
    }
}

// ---------------------------------------------------------------- writing

struct WriteCase {
    const char* name;
    int variant;
    std::uint16_t firstOneDecimal;    // 0: every cell with four decimals
    QPushButton* Ui::TForm1::*button; // nullptr: the menu item N8
};
void PrintTo(const WriteCase& c, std::ostream* os)
{
    *os << c.name;
}

class ProfileWriteTest : public ProfileTransferTest, public testing::WithParamInterface<WriteCase>
{
};

TEST_P(ProfileWriteTest, WritesTheTextsInRegisterOrderThenStores)
{
    const WriteCase& c = GetParam();
    SimInstrument& sim = addSim(c.variant);
    ASSERT_TRUE(connectTo(sim));
    loadModel(0.0);
    const ModelProfile before = held();

    if (c.button)
        click(ui()->*c.button);
    else
        ui()->N8->trigger();
    EXPECT_TRUE(w->profTransfer);
    EXPECT_TRUE(profileControlsEnabled(false));
    waitEnd(sim);

    Regs expected = profileRegisters();
    expected.push_back(40074);
    EXPECT_EQ(registers(sim), expected);
    const auto reqs = sim.requests();
    ASSERT_EQ(reqs.size(), 66u);
    for (std::size_t i = 0; i < 65; ++i) {
        const SimInstrument::Request& r = reqs[i];
        SCOPED_TRACE(r.reg);
        EXPECT_EQ(r.function, frame::FuncWrite);
        double value = 0.0;
        if (r.reg == 40001)
            value = model().R02;
        else if (r.reg == 40002)
            value = model().R04;
        else
            value = model().profile[cellOf(r.reg).first][cellOf(r.reg).second];
        const bool oneDecimal = c.firstOneDecimal != 0 && r.reg >= c.firstOneDecimal;
        EXPECT_EQ(decimals(r.text), oneDecimal ? 1 : 4) << r.text.toStdString();
        EXPECT_NEAR(numtext::strToFloat(QString::fromLatin1(r.text)), value, oneDecimal ? 0.05 : 0.00005);
        EXPECT_LE(r.text.size(), 15);
    }
    EXPECT_EQ(reqs[65].function, frame::FuncWrite);
    EXPECT_EQ(reqs[65].text, "B");
    EXPECT_FALSE(w->profTransfer);
    EXPECT_TRUE(profileControlsEnabled(true));
    EXPECT_EQ(log().mid(0, 5), (QStringList{"Запись профиля завершена", "",
                                            "Пожалуйста, не отключайте прибор до окончания записи.",
                                            "Запись профиля Rд в прибор.", ""}));
    EXPECT_EQ(w->logIndex, 0);
    EXPECT_EQ(held(), before);
    EXPECT_TRUE(dialogs().empty());

    // The instrument keeps the texts as written and gives them back.
    for (std::size_t i = 0; i < 65; ++i)
        EXPECT_EQ(sim.registerText(reqs[i].reg), reqs[i].text) << reqs[i].reg;
    sim.clearRequests();
    loadModel(1000.0); // something else in the model, so the read shows
    click(ui()->ButtonFProfileGet);
    waitEnd(sim);
    EXPECT_EQ(registers(sim), profileRegisters());
    EXPECT_DOUBLE_EQ(model().R02, numtext::strToFloat(QString::fromLatin1(reqs[0].text)));
    EXPECT_DOUBLE_EQ(model().R04, numtext::strToFloat(QString::fromLatin1(reqs[1].text)));
    for (std::size_t i = 2; i < 65; ++i) {
        const auto [d, j] = cellOf(reqs[i].reg);
        EXPECT_DOUBLE_EQ(model().profile[d][j], numtext::strToFloat(QString::fromLatin1(reqs[i].text)))
            << reqs[i].reg;
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, ProfileWriteTest,
                         testing::Values(WriteCase{"RD5540_1", 1, 0, &Ui::TForm1::ButtonFProfileSet},
                                         WriteCase{"RD5540_2", 2, 0, nullptr},
                                         // Its top decade reaches 900 kΩ and still keeps four decimals.
                                         WriteCase{"RD5540_3", 3, 0, &Ui::TForm1::ButtonFProfileSet},
                                         WriteCase{"RD5540_4", 4, 40048, nullptr},
                                         // 40039 is the 100 kΩ step; 40038 (90 kΩ) keeps four decimals.
                                         WriteCase{"RD5540_5", 5, 40039, &Ui::TForm1::ButtonFProfileSet}),
                         [](const testing::TestParamInfo<WriteCase>& i) {
                             return std::string(i.param.name);
                         });

TEST_F(ProfileTransferTest, RefusedStoreLeavesBothProfilesAsTheyWere)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    sim.setRefusePassword(true);
    std::vector<QByteArray> instrument;
    for (std::uint16_t reg : profileRegisters())
        instrument.push_back(sim.registerText(reg));
    loadModel(0.0);
    const ModelProfile before = held();

    click(ui()->ButtonFProfileSet);
    waitEnd(sim);

    EXPECT_EQ(sim.requestCount(), 66);
    EXPECT_EQ(log().value(0), "Неверный пароль. Запись профиля невозможна.");
    EXPECT_EQ(log().value(1), "");
    EXPECT_EQ(log().value(2), "Пожалуйста, не отключайте прибор до окончания записи.");
    EXPECT_FALSE(w->profTransfer);
    EXPECT_TRUE(profileControlsEnabled(true));
    EXPECT_TRUE(w->connected);
    EXPECT_EQ(held(), before);
    for (std::size_t i = 0; i < instrument.size(); ++i)
        EXPECT_EQ(sim.registerText(std::uint16_t(FirstReg + i)), instrument[i]);
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(ProfileTransferTest, WriteWithoutAProfileOnlyWarns)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    model().closeProf();
    const int lines = w->InfoLines->count();

    click(ui()->ButtonFProfileSet);

    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(dialogs()[0].caption, "Внимание");
    EXPECT_EQ(dialogs()[0].text, "Нет открытого профиля Rд");
    EXPECT_EQ(dialogs()[0].type, DialogType::Warning);
    EXPECT_EQ(dialogs()[0].buttons, QStringList{"OK"});
    EXPECT_FALSE(w->profTransfer);
    EXPECT_FALSE(w->requestOnLine());
    EXPECT_TRUE(profileControlsEnabled(true));
    EXPECT_EQ(w->InfoLines->count(), lines);
    testsupport::waitUntil([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_TRUE(registers(sim).empty());
}

TEST_F(ProfileTransferTest, NothingHappensUnconnected)
{
    SimInstrument& sim = addSim(1);
    loadModel(0.0);
    const ModelProfile before = held();
    const QStringList lines = log();
    w->ButtonFProfileGetClick();
    w->ButtonFProfileSendClick();

    EXPECT_FALSE(w->profTransfer);
    EXPECT_FALSE(w->requestOnLine());
    EXPECT_FALSE(w->comPort->isOpen());
    EXPECT_EQ(log(), lines);
    EXPECT_TRUE(dialogs().empty());
    EXPECT_EQ(held(), before);
    EXPECT_TRUE(registers(sim).empty());
}

// ---------------------------------------------------------------- cut short

struct CutCase {
    const char* name;
    bool write;
    std::vector<std::pair<int, Fault>> plan; // after n requests
    QByteArray text30;                       // the instrument's text of 40030, if given
    int requests;                            // what reaches the instrument in all
    bool disconnects;                        // else the read ends with an invalid answer
};
void PrintTo(const CutCase& c, std::ostream* os)
{
    *os << c.name;
}

class ProfileCutShortTest : public ProfileTransferTest, public testing::WithParamInterface<CutCase>
{
};

TEST_P(ProfileCutShortTest, LeavesTheModelAndTheInstrumentAsTheyWere)
{
    const CutCase& c = GetParam();
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    std::vector<QByteArray> instrument;
    for (std::uint16_t reg : profileRegisters())
        instrument.push_back(sim.registerText(reg));
    // A profile opened earlier, different from the instrument's.
    loadModel(1000.0);
    const ModelProfile before = held();
    if (!c.text30.isEmpty())
        sim.setRegisterText(40030, c.text30);
    std::vector<QByteArray> instrumentNow = instrument;
    if (!c.text30.isEmpty())
        instrumentNow[29] = c.text30;
    scheduleFaults(sim, c.plan);

    click(c.write ? ui()->ButtonFProfileSet : ui()->ButtonFProfileGet);
    waitEnd(sim);

    EXPECT_EQ(held(), before); // no mix of old and new cells, profLoaded as it was
    EXPECT_FALSE(w->profTransfer);
    EXPECT_EQ(sim.requestCount(), c.requests);
    for (std::size_t i = 0; i < instrument.size(); ++i)
        EXPECT_EQ(sim.registerText(std::uint16_t(FirstReg + i)), instrumentNow[i]);
    if (c.disconnects) {
        EXPECT_FALSE(w->connected);
        EXPECT_TRUE(profileControlsEnabled(false)); // until the next connection
        EXPECT_EQ(log().value(0), "Соединение разорвано.");
        ASSERT_EQ(dialogs().size(), 1u);
        EXPECT_EQ(dialogs()[0].text, "Соединение разорвано.");
    } else {
        EXPECT_TRUE(w->connected);
        EXPECT_TRUE(profileControlsEnabled(true));
        EXPECT_TRUE(log().contains("Неверный ответ прибора (регистр 40030): 12a"));
        EXPECT_TRUE(dialogs().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileCutShortTest,
    testing::Values(CutCase{"readLostAtRegister30", false, {{29, Fault::silence()}}, {}, 30, true},
                    CutCase{"writeLostAtRegister30", true, {{29, Fault::silence()}}, {}, 30, true},
                    // 40030 and its 50 resends all fail.
                    CutCase{"writeFailingAtRegister30", true, {{29, Fault::badCrc()}}, {}, 80, true},
                    CutCase{"readOfNoNumberAtRegister30", false, {}, "12a", 30, false}),
    [](const testing::TestParamInfo<CutCase>& i) { return std::string(i.param.name); });

} // namespace
