// The main window's profile commands: the guard, opening a profile file with a message per
// result, editing the held profile (and a file saved unchanged from it), creating and verifying.
#include "instrument/Mydialogs.h"
#include "instrument/ProfileProcessor.h"
#include "platform/NumberText.h"
#include "tests/LinkFixture.h"
#include "tests/ProfileWindowSupport.h"
#include "tests/WindowFixture.h"
#include "ui_TForm1.h"
#include "ui_TForm3.h"
#include "verification/FProfileEdit.h"
#include "verification/TsEdit.h"
#include "ui/ProfileEdit.h"
#include "ui/about.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <cmath>

using profiletest::readBytes;
using profiletest::withModal;
using profiletest::writeBytes;

namespace
{

// A profile file of variant 1..5 whose every value reads back as the same text in general
// number form: R02, R04, then the cells from the largest nominal down.
QByteArray canonicalProfile(int variant)
{
    const DeviceType& t = kDeviceTypes[variant - 1];
    QByteArray out = QByteArray(t.name) + ";f\r\n0,0123\r\n0,0107\r\n";
    for (int d = 0; d <= t.maxDec - t.minDec; ++d) {
        for (int j = 0; j < 9; ++j) {
            const double nominal = (9 - j) * std::pow(10.0, t.maxDec - d);
            const QString text = nominal > 90000 ? numtext::formatFloat("0.0", nominal + 0.1 * (j + 1))
                                                 : numtext::formatFloat("0.0000", nominal + 0.0001 * (j + 1));
            out += text.toLatin1() + "\r\n";
        }
    }
    return out;
}

class ProfileCommands : public WindowFixture
{
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        w.connected = true; // the link itself is not what these tests look at
        w.SetProfileControlsEnabled(true);
    }
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }

    // Opens a file through the open command.
    void openFile(const QString& p)
    {
        files.answerWith(p);
        w.ButtonFProfileOpenClick();
    }

    QTemporaryDir dir;
    FileDialogSeam files;
};

// ---------------------------------------------------------------- guard

TEST_F(ProfileCommands, NotConnectedEveryCommandDoesNothing)
{
    ASSERT_TRUE(writeBytes(path("p.txt"), canonicalProfile(1)));
    files.answerWith(path("p.txt"));
    w.connected = false;
    w.processor->profLoaded = true;
    w.ButtonFProfileOpenClick();
    w.ButtonFProfileCreateClick();
    w.ButtonFProfileEditClick();
    w.CalibrationClick();
    EXPECT_TRUE(files.shown().empty());
    EXPECT_TRUE(seam.shown().empty());
    EXPECT_EQ(w.profileForm, nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ProfileCommands, VisibleCreateWindowBlocksTheOthersUntilHidden)
{
    ASSERT_TRUE(writeBytes(path("p.txt"), canonicalProfile(1)));
    files.answerWith(path("p.txt"));
    w.processor->profLoaded = true;
    ui()->N1->trigger(); // the menu item "Создать"
    TForm3* first = w.profileForm;
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(first->isModal());
    EXPECT_EQ(first->pos(), testsupport::placedAt(first, w.pos() + QPoint(50, 50)));
    EXPECT_FALSE(first->compareMode);
    EXPECT_FALSE(first->verificationMode);
    for (QAction* item : {ui()->N1, ui()->N2, ui()->N3, ui()->Calibration})
        item->trigger();
    QTest::mouseClick(ui()->ButtonFProfileOpen, Qt::LeftButton);
    QTest::mouseClick(ui()->ButtonFProfileEdit, Qt::LeftButton);
    EXPECT_EQ(w.profileForm, first);
    EXPECT_TRUE(files.shown().empty());
    EXPECT_TRUE(seam.shown().empty());

    first->close(); // untouched: closes without a question and is only hidden
    EXPECT_FALSE(first->isVisible());
    w.ButtonFProfileCreateClick();
    ASSERT_NE(w.profileForm, first);
    ASSERT_NE(w.profileForm, nullptr);
    w.profileForm->close();
    w.ButtonFProfileOpenClick();
    EXPECT_EQ(files.shown().size(), 1u);
}

TEST_F(ProfileCommands, CreateWindowGoesWithTheMainWindow)
{
    auto main = std::make_unique<TForm1>();
    main->FormCreate();
    main->connected = true;
    main->ButtonFProfileCreateClick();
    QPointer<TForm3> form = main->profileForm;
    ASSERT_TRUE(form);
    main.reset();
    EXPECT_TRUE(form.isNull());
    Form1 = &w;
}

// ---------------------------------------------------------------- open

struct OpenCase {
    const char* name;
    QByteArray content;
    DialogType type;
    const char *captionRu, *textRu, *captionEn, *textEn;
    bool loaded;
};

void PrintTo(const OpenCase& c, std::ostream* os)
{
    *os << c.name;
}

class OpenResult : public ProfileCommands, public ::testing::WithParamInterface<OpenCase>
{
};

TEST_P(OpenResult, EachResultIsReportedInItsOwnWords)
{
    const OpenCase& c = GetParam();
    ASSERT_TRUE(writeBytes(path("p.txt"), c.content));
    files.answerWith(path("p.txt"));
    for (bool english : {false, true}) {
        if (english)
            useEnglish(); // the language of the moment, not of the start
        seam.clear();
        if (std::string(c.name) == "NotANumber")
            w.processor->entryRegex = boost::regex("[0-9,]+"); // a pattern left that lets it through
        QTest::mouseClick(ui()->ButtonFProfileOpen, Qt::LeftButton);
        ASSERT_EQ(seam.shown().size(), 1u);
        const ShownDialog& d = seam.shown()[0];
        EXPECT_EQ(d.type, c.type);
        EXPECT_EQ(d.caption, QString::fromUtf8(english ? c.captionEn : c.captionRu));
        EXPECT_EQ(d.text, QString::fromUtf8(english ? c.textEn : c.textRu));
        EXPECT_EQ(d.buttons, QStringList{"OK"});
        EXPECT_EQ(w.processor->profLoaded, c.loaded);
    }
    ASSERT_EQ(files.shown().size(), 2u);
    EXPECT_EQ(files.shown()[0].kind, FileDialogKind::Open);
    EXPECT_EQ(files.shown()[0].filter, QStringLiteral("Текстовый файл|*.txt"));
    EXPECT_EQ(files.shown()[1].filter, QStringLiteral("Текстовый файл|*.txt"));
    EXPECT_EQ(files.shown()[0].defaultExt, QStringLiteral("txt"));
}

QByteArray withLine(QByteArray content, int line, const QByteArray& text)
{
    QList<QByteArray> lines = content.split('\n');
    lines[line] = text + "\r";
    return lines.join('\n');
}

INSTANTIATE_TEST_SUITE_P(
    Codes, OpenResult,
    ::testing::Values(
        OpenCase{"Opened", canonicalProfile(1), DialogType::Information, "Информация",
                 "Профиль успешно открыт", "Information", "Profile opened successfully", true},
        OpenCase{"NotAProfile", withLine(canonicalProfile(1), 0, "RD5540-9;f"), DialogType::Error, "Ошибка",
                 "Файл не содержит профиль", "Error", "Profile not found", false},
        OpenCase{"OtherVariant", canonicalProfile(2), DialogType::Error, "Ошибка",
                 "Профиль не соответствует активному прибору", "Error", "Profile doesn'tmatch the device",
                 false},
        OpenCase{"BadValue", withLine(canonicalProfile(1), 5, "1.5"), DialogType::Error, "Ошибка",
                 "Файл содержит некорректные данные", "Error", "Data is not correct", false},
        OpenCase{"NotANumber", withLine(canonicalProfile(1), 5, "1,,5"), DialogType::Error, "Ошибка",
                 "Файл содержит нечисловые данные", "Error", "Non-numeric data", false}),
    [](const ::testing::TestParamInfo<OpenCase>& i) { return std::string(i.param.name); });

TEST_F(ProfileCommands, CancelledOpenDoesNothing)
{
    files.answerWith(QString());
    w.processor->profLoaded = true;
    w.ButtonFProfileOpenClick();
    EXPECT_EQ(files.shown().size(), 1u);
    EXPECT_TRUE(seam.shown().empty());
    EXPECT_TRUE(w.processor->profLoaded);
}

TEST_F(ProfileCommands, PathsTheReaderCannotTakeAreRefusedWithAMessage)
{
    struct Case {
        QString name;
        const char* part;
    };
    const int dirBytes = int(QFile::encodeName(dir.path()).size()) + 1;
    for (const Case& c : {Case{QString(200 - dirBytes, 'p'), "199 байт"},
                          Case{QString::fromUtf8("p\u65e5.txt"), "кодовой страницы 1251"}}) {
        ASSERT_TRUE(writeBytes(path(c.name), canonicalProfile(1)));
        w.processor->profLoaded = true;
        seam.clear();
        openFile(path(c.name));
        ASSERT_EQ(seam.shown().size(), 1u);
        EXPECT_EQ(seam.shown()[0].type, DialogType::Error);
        EXPECT_EQ(seam.shown()[0].caption, QStringLiteral("Ошибка"));
        EXPECT_TRUE(seam.shown()[0].text.contains(QString::fromUtf8(c.part)));
        EXPECT_TRUE(w.processor->profLoaded); // the reader was not called
    }
    // 199 bytes still open.
    const QString longest = path(QString(199 - dirBytes, 'p'));
    ASSERT_TRUE(writeBytes(longest, canonicalProfile(1)));
    seam.clear();
    openFile(longest);
    ASSERT_EQ(seam.shown().size(), 1u);
    EXPECT_EQ(seam.shown()[0].text, QStringLiteral("Профиль успешно открыт"));
}

TEST_F(ProfileCommands, CloseEmptiesTheProfileAndRunsWhenTheMainWindowCloses)
{
    ASSERT_TRUE(writeBytes(path("p.txt"), canonicalProfile(1)));
    openFile(path("p.txt"));
    ASSERT_TRUE(w.processor->profLoaded);
    w.ButtonFprofileCloseClick();
    EXPECT_FALSE(w.processor->profLoaded);
    EXPECT_TRUE(w.processor->profile.empty());
    EXPECT_EQ(w.processor->R02, -1.0);
    openFile(path("p.txt"));
    ASSERT_TRUE(w.processor->profLoaded);
    w.connected = false;
    w.FormClose();
    EXPECT_FALSE(w.processor->profLoaded);
}

// ---------------------------------------------------------------- edit and verification

TEST_F(ProfileCommands, EditWithoutAProfileWarns)
{
    for (bool english : {false, true}) {
        if (english)
            useEnglish();
        seam.clear();
        w.ButtonFprofileCloseClick();
        ui()->N3->trigger();
        ASSERT_EQ(seam.shown().size(), 1u);
        EXPECT_EQ(seam.shown()[0].type, DialogType::Warning);
        EXPECT_EQ(seam.shown()[0].caption, QString::fromUtf8(english ? "Attention" : "Внимание"));
        EXPECT_EQ(seam.shown()[0].text, QString::fromUtf8(english ? "Open values profile first"
                                                                  : "Нет открытого профиля номиналов"));
        EXPECT_EQ(w.profileForm, nullptr);
    }
}

TEST_F(ProfileCommands, EditShowsTheHeldValuesInGeneralNumberForm)
{
    QByteArray content = canonicalProfile(1);
    content = withLine(content, 1, "0,0120");
    content = withLine(content, 3, "9000,0000");
    content = withLine(content, 11, "1000,1000");
    ASSERT_TRUE(writeBytes(path("p.txt"), content));
    openFile(path("p.txt"));
    ASSERT_TRUE(w.processor->profLoaded);
    withModal([this] { QTest::mouseClick(ui()->ButtonFProfileEdit, Qt::LeftButton); },
              [this](TForm3* form) {
                  EXPECT_EQ(w.profileForm, form);
                  EXPECT_TRUE(form->isModal());
                  EXPECT_TRUE(form->compareMode);
                  EXPECT_FALSE(form->verificationMode);
                  EXPECT_EQ(form->pos(), testsupport::placedAt(form, w.pos() + QPoint(50, 50)));
                  EXPECT_EQ(form->ui->R02->text(), QStringLiteral("0,012"));
                  EXPECT_EQ(form->ui->R04->text(), QStringLiteral("0,0107"));
                  EXPECT_EQ(form->valEdits[0]->text(), QStringLiteral("9000"));
                  EXPECT_EQ(form->valEdits[8]->text(), QStringLiteral("1000,1"));
                  EXPECT_EQ(form->valEdits[62]->text(), QStringLiteral("0,0019"));
                  // The deviations of the filled values are shown at once.
                  EXPECT_EQ(form->otklonLabels[8]->text(), QStringLiteral("+0,01000%"));
                  form->close(); // nothing typed: no question
              });
    EXPECT_TRUE(seam.shown().size() == 1u); // only the open message
    EXPECT_EQ(w.profileForm, nullptr);
}

TEST_F(ProfileCommands, CalibrationShowsTheVerificationWindowWithoutTheRatio)
{
    withModal([this] { ui()->Calibration->trigger(); },
              [this](TForm3* form) {
                  EXPECT_TRUE(w.verificationOpen);
                  EXPECT_TRUE(form->verificationMode);
                  EXPECT_TRUE(form->compareMode);
                  EXPECT_FALSE(form->ui->priemCoef->isVisible());
                  EXPECT_FALSE(form->ui->priemCoef->boundLabel()->isVisible());
                  EXPECT_TRUE(form->ui->Protocol_btn->isVisible());
                  EXPECT_EQ(form->pos(), testsupport::placedAt(form, w.pos() + QPoint(50, 50)));
                  form->close();
              });
    EXPECT_FALSE(w.verificationOpen);
    EXPECT_EQ(w.profileForm, nullptr);
    EXPECT_TRUE(seam.shown().empty());
}

// ---------------------------------------------------------------- round trip

class RoundTrip : public ProfileCommands, public ::testing::WithParamInterface<int>
{
};

TEST_P(RoundTrip, OpenedShownAndSavedUnchangedGivesTheSameBytes)
{
    const int variant = GetParam();
    selectVariant(variant - 1);
    const QByteArray fileBytes = canonicalProfile(variant);
    ASSERT_TRUE(writeBytes(path("in.txt"), fileBytes));
    openFile(path("in.txt"));
    ASSERT_TRUE(w.processor->profLoaded);
    files.answerWith(path("out.txt"));
    withModal([this] { w.ButtonFProfileEditClick(); },
              [](TForm3* form) {
                  form->valEdits[0]->setFocus(); // in and out of a cell changes nothing either
                  QTest::mouseClick(form->ui->SaveButton, Qt::LeftButton);
                  form->close();
              });
    EXPECT_EQ(readBytes(path("out.txt")), fileBytes);
    EXPECT_TRUE(w.processor->profLoaded);
    ASSERT_EQ(seam.shown().size(), 2u);
    EXPECT_EQ(seam.shown()[1].text, QStringLiteral("Профиль сохранён."));
}

INSTANTIATE_TEST_SUITE_P(Variants, RoundTrip, ::testing::Values(1, 2, 3, 4, 5),
                         [](const ::testing::TestParamInfo<int>& i) {
                             return "RD5540_" + std::to_string(i.param);
                         });

// ---------------------------------------------------------------- with the instrument

class ProfileCommandsLink : public LinkFixture
{
};

TEST_F(ProfileCommandsLink, OpenWorksOnceConnectedAndNotAfterDisconnecting)
{
    QTemporaryDir dir;
    const QString p = QDir(dir.path()).filePath("p.txt");
    ASSERT_TRUE(writeBytes(p, canonicalProfile(2)));
    FileDialogSeam files;
    files.answerWith(p);
    SimInstrument& sim = addSim(2);
    selectVariant(2);
    QTest::mouseClick(w->ui->ButtonFProfileOpen, Qt::LeftButton); // disabled and not connected
    w->ButtonFProfileOpenClick();
    EXPECT_TRUE(files.shown().empty());
    ASSERT_TRUE(connectTo(sim));
    EXPECT_TRUE(w->ui->ButtonFProfileOpen->isEnabled());
    QTest::mouseClick(w->ui->ButtonFProfileOpen, Qt::LeftButton);
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(dialogs()[0].text, QStringLiteral("Профиль успешно открыт"));
    EXPECT_TRUE(w->processor->profLoaded);
    w->ConnectionButtonClick(); // disconnect
    ASSERT_TRUE(waitIdle());
    ASSERT_FALSE(w->connected);
    files.clear();
    w->ButtonFProfileOpenClick();
    EXPECT_TRUE(files.shown().empty());
}

} // namespace

namespace
{

// Failed before: the windows opened at a fixed offset from the main window, the 1231-px
// verification window and, near the screen's edge, the others too partly off the screen.
TEST_F(ProfileCommands, EveryWindowOpensWithinTheScreen)
{
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    const auto within = [&](const QWidget* window) {
        const QRect frame = window->frameGeometry();
        // A window wider or taller than the screen keeps its top left corner on it.
        const bool across = frame.left() >= avail.left() &&
                            (frame.right() <= avail.right() || frame.left() == avail.left());
        const bool down = frame.top() >= avail.top() &&
                          (frame.bottom() <= avail.bottom() || frame.top() == avail.top());
        return across && down;
    };
    for (const QPoint mainAt : {QPoint(200, 200), QPoint(avail.right() - 60, avail.bottom() - 60)}) {
        SCOPED_TRACE(mainAt.x());
        w.move(mainAt);
        withModal([this] { w.CalibrationClick(); },
                  [&](TForm3* form) {
                      EXPECT_TRUE(within(form)) << qPrintable(QStringLiteral("%1,%2 %3x%4 in %5x%6").arg(form->frameGeometry().x()).arg(form->frameGeometry().y()).arg(form->frameGeometry().width()).arg(form->frameGeometry().height()).arg(avail.width()).arg(avail.height()));
                      form->done(0);
                  });
        withModal<TForm2>([this] { w.ProfileInpButtonCreateClick(); },
                          [&](TForm2* editor) {
                              EXPECT_TRUE(within(editor)) << editor->frameGeometry().x() << "," << editor->frameGeometry().y() << " " << editor->width() << "x" << editor->height();
                              editor->done(0);
                          });
        withModal<TForm5>([this] { w.J1Click(); },
                          [&](TForm5* about) {
                              EXPECT_TRUE(within(about)) << about->frameGeometry().x();
                              about->done(0);
                          });
    }
}

} // namespace
