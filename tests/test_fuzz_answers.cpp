// Thousands of random and mutated answers handed to the answer handler of a window that
// takes itself for connected but has no port: whatever arrives, nothing may crash, read
// or write past a buffer, or leave a request pending. Every send fails on the closed port
// and ends in Disconnect, which is the sound outcome there. Meant to run under the
// sanitizers too.
#include "ui_TForm1.h"

#include "instrument/Frame.h"
#include "instrument/Transport.h"
#include "instrument/Mydialogs.h"
#include "platform/ComPort.h"
#include "platform/MemoLines.h"
#include "platform/PortTable.h"
#include "ui/main.h"

#include <QCheckBox>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <random>

namespace
{

constexpr std::uint32_t Seed = 0x5EED1234u;
constexpr int Iterations = 20000;

class FuzzAnswersTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_emptySimDir.isValid());
        porttable::setIncludeSystemPorts(false);
        porttable::setSimDirectoryOverride(m_emptySimDir.path());
        // No line, nothing to pace: the waits would only make the run long.
        linktiming::setWaitsEnabled(false);
        m_seam = std::make_unique<DialogSeam>();
        w = std::make_unique<TForm1>();
        w->FormCreate();
        w->RequestTimer->stop();
    }

    void TearDown() override
    {
        w.reset();
        m_seam.reset();
        linktiming::setWaitsEnabled(true);
        porttable::setSimDirectoryOverride(QString());
        porttable::setIncludeSystemPorts(true);
    }

    std::unique_ptr<TForm1> w;
    std::unique_ptr<DialogSeam> m_seam;

private:
    QTemporaryDir m_emptySimDir;
};

class Generator
{
public:
    explicit Generator(std::uint32_t seed) : m_rng(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    bool chance(int percent) { return below(100) < percent; }
    std::uint8_t byte() { return std::uint8_t(below(256)); }

    QByteArray bytes(int n)
    {
        QByteArray b;
        for (int i = 0; i < n; ++i)
            b.append(char(byte()));
        return b;
    }

    // Texts the handlers convert or compare: numbers, letters, junk, the byte CP1251 lacks.
    QByteArray text()
    {
        static const char* const samples[] = {"0",   "1",        "A",        "B",      "C",       "D",
                                              "H",   "Z",        "0,01",     "1234,5", "-1",      "1E5",
                                              "abc", "12,34 m",  "500,0 k",  ",",      "9999999", "1,2,3",
                                              " ",   "RD5540-1", "RD5540-9", "RD554",  "\x98",    "\xC0\xC1"};
        switch (below(4)) {
        case 0:
            return QByteArray(samples[below(int(std::size(samples)))]);
        case 1:
            return bytes(1 + below(12));
        case 2:
            return bytes(below(130));
        default: {
            QByteArray digits = QByteArray::number(below(100000));
            if (chance(50))
                digits.insert(below(int(digits.size()) + 1), ',');
            return digits;
        }
        }
    }

    std::uint16_t reg()
    {
        if (chance(85))
            return std::uint16_t(40001 + below(87));
        return std::uint16_t(below(65536));
    }

    QByteArray answer()
    {
        static const std::uint8_t functions[] = {3, 6, 0x83, 0x86};
        const std::uint8_t function = chance(90) ? functions[below(4)] : byte();
        QByteArray data = text();
        if ((function & 0x80) && chance(70))
            data = QByteArray(1, char(chance(50) ? 10 + below(4) : byte()));
        return frame::answerFrame(byte(), function, reg(), data);
    }

    // Byte flips, a changed count, cuts and tails; sometimes with the CRC made right again,
    // so that odd contents get past the check and reach the register handlers.
    QByteArray mutate(QByteArray b)
    {
        const int edits = below(4);
        for (int i = 0; i < edits && !b.isEmpty(); ++i) {
            switch (below(5)) {
            case 0:
                b[below(int(b.size()))] = char(byte());
                break;
            case 1:
                if (b.size() > 4)
                    b[4] = char(byte());
                break;
            case 2:
                b.truncate(below(int(b.size()) + 1));
                break;
            case 3:
                b.append(bytes(below(200)));
                break;
            default:
                b = b + b;
                break;
            }
        }
        if (b.size() >= 5 && chance(50)) {
            const int n = std::uint8_t(b[4]);
            if (n + 7 <= frame::MaxFrame) {
                b.resize(std::max<qsizetype>(b.size(), n + 7));
                const std::uint16_t crc =
                    frame::Crc16(reinterpret_cast<const std::uint8_t*>(b.constData()), n + 5);
                b[n + 5] = char(crc & 0xFF);
                b[n + 6] = char(crc >> 8);
            }
        }
        return b;
    }

private:
    std::mt19937 m_rng;
};

TEST_F(FuzzAnswersTest, AnyAnswerIsHandledWithoutHarm)
{
    Generator g(Seed);
    Ui::TForm1* ui = w->ui;
    const std::array<QCheckBox*, 5> readouts = {ui->CheckBox1, ui->OtklonOm, ui->OtklonPercent, ui->checkI,
                                                ui->checkU};
    int passedCheck = 0;
    for (int i = 0; i < Iterations; ++i) {
        SCOPED_TRACE(testing::Message() << "iteration " << i << " of seed " << Seed);
        // The state the answer meets: mostly connected, any chain half way.
        w->connected = g.chance(85);
        w->setPending = g.chance(20);
        w->profTransfer = g.chance(10);
        w->needTrueVal = g.chance(50);
        w->statusFlags = g.byte();
        w->errorCount = g.below(60);
        w->displayLetter = QByteArray(1, char('A' + g.below(10)));
        for (QCheckBox* b : readouts)
            b->setChecked(g.chance(50));

        const int kind = g.below(10);
        const QByteArray bytes = kind == 0  ? g.bytes(g.below(140))
                                 : kind < 4 ? g.answer()
                                            : g.mutate(g.answer());
        std::memset(w->rxFrame, 0, sizeof w->rxFrame);
        const int stored = std::min<int>(int(bytes.size()), TForm1::FrameSize);
        std::memcpy(w->rxFrame, bytes.constData(), std::size_t(stored));
        // A count that may disagree with what is in the buffer, as after lost bytes.
        w->rxCount = g.chance(80) ? stored : g.below(TForm1::FrameSize + 1);

        if (frame::checkAnswer(w->rxFrame, w->rxCount) == frame::Check::Ok)
            ++passedCheck;

        switch (g.below(20)) {
        case 0:
            w->ComPortTriggerAvail(g.below(400) - 10);
            break; // no port: nothing to take
        case 1:
            w->ModbusTimerTimer();
            break;
        case 2:
            w->TimerConnectionTimeoutTimer();
            break;
        default:
            w->HandleAnswer();
            break;
        }

        ASSERT_GE(w->rxCount, 0);
        ASSERT_LE(w->rxCount, TForm1::FrameSize);
        ASSERT_GE(w->txLength, 0);
        ASSERT_LE(w->txLength, TForm1::FrameSize);
        ASSERT_FALSE(w->requestOnLine()); // without a port nothing can be waiting
        ASSERT_FALSE(w->comPort->isOpen());
        if (w->InfoLines->count() > 200)
            w->InfoLines->clear();
        m_seam->clear();
    }
    // Not only the checks: a good share of the answers reached the register handlers.
    EXPECT_GT(passedCheck, Iterations / 3);
}

} // namespace
