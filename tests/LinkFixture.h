#pragma once
// The link end to end: the real main window and serial port talking to simulated
// instruments on pseudo-terminals, found through the normal port probing. Every test gets
// a simulator directory of its own and no system serial ports, so tests never see each
// other's simulators or real hardware. Dialogs are answered (OK) and recorded by a seam.
//
// A test source that uses this fixture includes "ui_TForm1.h" itself as well: the form
// header is generated only for includes found in the test's own source file.

#include "instrument/Frame.h"
#include "instrument/Mydialogs.h"
#include "platform/MemoLines.h"
#include "platform/PortTable.h"
#include "sim/SimInstrument.h"
#include "tests/TestSupport.h"
#include "ui/main.h"
#include "ui_TForm1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

// Readable failure messages for texts.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QByteArray& b, std::ostream* os)
{
    *os << '"' << b.toStdString() << '"';
}

class LinkFixture : public ::testing::Test
{
protected:
    // Identification of a connection, one read each.
    static std::vector<std::uint16_t> identificationSequence()
    {
        return {40066, 40067, 40068, 40069, 40071, 40072, 40086, 40078, 40085};
    }

    void SetUp() override
    {
        ASSERT_TRUE(m_simDir.isValid());
        porttable::setIncludeSystemPorts(false);
        porttable::setSimDirectoryOverride(m_simDir.path());
        m_seam = std::make_unique<DialogSeam>();
        w = std::make_unique<TForm1>();
        w->FormCreate();
        // Polling would put status reads between the requests a test counts.
        w->RequestTimer->stop();
    }

    void TearDown() override
    {
        w.reset(); // the port closes before its simulator goes
        for (auto& sim : m_sims)
            sim->setRequestObserver({});
        m_sims.clear();
        m_seam.reset();
        porttable::setSimDirectoryOverride(QString());
        porttable::setIncludeSystemPorts(true);
    }

    // A started simulator of RD5540-<variant>; port numbers follow the order of creation.
    SimInstrument& addSim(int variant = 1)
    {
        m_sims.push_back(std::make_unique<SimInstrument>(variant));
        SimInstrument& sim = *m_sims.back();
        EXPECT_TRUE(sim.start(m_simDir.path()));
        return sim;
    }

    // Variant 1..5 chosen in BoxDevice, the way the operator picks it.
    void selectVariant(int variant)
    {
        w->BoxDeviceClick();
        w->ui->BoxDevice->setCurrentIndex(variant - 1);
    }

    // No request on the line any more and none waiting for it: every chain has ended or
    // waits for the operator.
    bool waitIdle(std::chrono::milliseconds deadline = std::chrono::seconds(20))
    {
        return testsupport::waitUntil([this] { return w->line->isFree(); }, deadline);
    }

    // Probes for sim (its variant chosen), waits for the identification to end and clears
    // the simulator's request log and the seam. True when connected.
    bool connectTo(SimInstrument& sim)
    {
        selectVariant(sim.variant());
        w->ConnectionButtonClick();
        if (!waitIdle() || !w->connected)
            return false;
        sim.clearRequests();
        m_seam->clear();
        return true;
    }

    // Read-outs chosen in the display group: all cleared, then the given ones ticked.
    void tick(std::initializer_list<QCheckBox*> boxes)
    {
        Ui::TForm1* ui = w->ui;
        for (QCheckBox* b :
             {ui->CheckTrueVal, ui->OtklonOm, ui->OtklonPercent, ui->checkTrueC, ui->OtklonC,
              ui->OtklonPercentC, ui->checkI, ui->checkU, ui->CheckBox1, ui->Stability, ui->AbsStability})
            b->setChecked(false);
        for (QCheckBox* b : boxes)
            b->setChecked(true);
    }

    // Faults that begin after a number of requests: {after, fault} is added once the
    // simulator has logged `after` requests, so it applies from request after + 1 on.
    void scheduleFaults(SimInstrument& sim, std::vector<std::pair<int, SimInstrument::Fault>> plan)
    {
        auto seen = std::make_shared<std::atomic<int>>(0);
        SimInstrument* s = &sim;
        sim.setRequestObserver([s, seen, plan = std::move(plan)](const SimInstrument::Request&) {
            const int n = ++*seen;
            for (const auto& [after, fault] : plan)
                if (after == n)
                    s->addFault(fault);
        });
    }

    static std::vector<std::uint16_t> registers(const SimInstrument& sim)
    {
        std::vector<std::uint16_t> regs;
        for (const SimInstrument::Request& r : sim.requests())
            regs.push_back(r.reg);
        return regs;
    }

    QStringList log() const { return w->InfoLines->lines(); }
    const std::vector<ShownDialog>& dialogs() const { return m_seam->shown(); }
    DialogSeam& seam() { return *m_seam; }

    std::unique_ptr<TForm1> w;

private:
    QTemporaryDir m_simDir;
    std::unique_ptr<DialogSeam> m_seam;
    std::vector<std::unique_ptr<SimInstrument>> m_sims;
};
