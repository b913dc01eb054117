// The periodic protocol of a verification window that has no profile yet: the profile is
// read from the simulated instrument first, and the end of the read makes the protocol,
// unless the window was closed meanwhile.
#include "instrument/FileDialogs.h"
#include "instrument/ProfileProcessor.h"
#include "platform/NumberText.h"
#include "platform/WordDocument.h"
#include "tests/LinkFixture.h"
#include "tests/ProfileWindowSupport.h"
#include "ui_TForm1.h"
#include "ui_TForm3.h"
#include "verification/FProfileEdit.h"
#include "verification/ProtocolCells.h"
#include "verification/TsEdit.h"

#include <QCheckBox>
#include <QTemporaryDir>

namespace
{

class PeriodicRead : public LinkFixture
{
protected:
    void SetUp() override
    {
        LinkFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        sim = &addSim(1);
        ASSERT_TRUE(connectTo(*sim));
        ASSERT_FALSE(w->processor->profLoaded);
        target = dir.filePath(QStringLiteral("periodic.docx"));
        files.answerWith(target);
    }

    // In the shown verification window: a measured value, the periodic protocol chosen and
    // its button pressed.
    static void startPeriodic(TForm3* form)
    {
        form->valEdits[8]->setText(QStringLiteral("1000,05")); // the step of 1000 Ω
        form->ui->R04->setText(QStringLiteral("0,01000"));
        QTest::mouseClick(form->ui->FirstCal, Qt::LeftButton);
        QTest::mouseClick(form->ui->Protocol_btn, Qt::LeftButton);
    }

    static std::vector<std::uint16_t> profileRegisters()
    {
        std::vector<std::uint16_t> regs;
        for (std::uint16_t r = 40001; r <= 40065; ++r)
            regs.push_back(r);
        return regs;
    }

    QTemporaryDir dir;
    FileDialogSeam files;
    DocumentShowSeam shows;
    SimInstrument* sim = nullptr;
    QString target;
};

TEST_F(PeriodicRead, ProtocolFollowsTheEndOfTheRead)
{
    profiletest::withModal(
        [this] { w->CalibrationClick(); },
        [this](TForm3* form) {
            startPeriodic(form);
            EXPECT_FALSE(w->protocolDone);
            ASSERT_EQ(dialogs().size(), 1u);
            EXPECT_EQ(dialogs()[0].caption, QStringLiteral("Информация"));
            EXPECT_EQ(dialogs()[0].text,
                      QStringLiteral("Пожалуйста, не отключайте прибор до окончания считывания."));
            EXPECT_TRUE(files.shown().empty()); // nothing before the read ends
            ASSERT_TRUE(testsupport::waitUntil([this] { return !shows.shown().isEmpty(); }));
            EXPECT_TRUE(waitIdle());
            EXPECT_EQ(registers(*sim), profileRegisters());
            EXPECT_TRUE(w->protocolDone);
            EXPECT_TRUE(w->processor->profLoaded);

            // A second press: the profile is held now, so nothing is read.
            sim->clearRequests();
            files.answerWith(dir.filePath(QStringLiteral("second.docx")));
            QTest::mouseClick(form->ui->Protocol_btn, Qt::LeftButton);
            EXPECT_EQ(shows.shown().size(), 2u);
            EXPECT_TRUE(waitIdle());
            EXPECT_TRUE(sim->requests().empty());
            form->close();
        });
    const double stored = w->processor->profile[0][8];
    const QString deviation =
        numtext::formatFloat(QStringLiteral("0.00000"), ((1000.05 - 0.01) / stored) * 100 - 100);
    WordDocument doc = WordDocument::open(target);
    EXPECT_EQ(doc.cellText(8, 2, 3), protocol::padded(QStringLiteral("1000,0400")));
    EXPECT_EQ(doc.cellText(8, 2, 4), protocol::padded(deviation));
    EXPECT_EQ(doc.cellText(8, 2, 5), protocol::padded(QStringLiteral("0,0202")));
    EXPECT_TRUE(log().contains(QStringLiteral("Чтение профиля завершено.")));
}

TEST_F(PeriodicRead, WindowClosedBeforeTheReadEndsGetsNoProtocol)
{
    profiletest::withModal([this] { w->CalibrationClick(); },
                           [this](TForm3* form) {
                               startPeriodic(form);
                               EXPECT_TRUE(w->profTransfer);
                               form->close();
                           });
    ASSERT_TRUE(testsupport::waitUntil([this] { return w->processor->profLoaded; }));
    EXPECT_TRUE(waitIdle());
    EXPECT_EQ(registers(*sim), profileRegisters());
    EXPECT_TRUE(files.shown().empty());
    EXPECT_TRUE(shows.shown().isEmpty());
    EXPECT_FALSE(w->protocolDone);

    // A later read of the main window's own starts no protocol either.
    sim->clearRequests();
    w->ButtonFProfileGetClick();
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(registers(*sim), profileRegisters());
    EXPECT_TRUE(files.shown().empty());
}

} // namespace
