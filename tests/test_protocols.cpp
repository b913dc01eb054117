// The verification protocols filled through the verification window: the file chosen, the
// template filled into a new file or an existing file filled as it is, the cells read back
// from the written document, and what happens when the template, the folder, the documents
// or a value fail.
#include "instrument/FileDialogs.h"
#include "instrument/Mydialogs.h"
#include "instrument/ProfileProcessor.h"
#include "platform/DocxPackage.h"
#include "platform/NumberText.h"
#include "platform/WordDocument.h"
#include "tests/LibreOfficeText.h"
#include "tests/ProfileWindowSupport.h"
#include "tests/WindowFixture.h"
#include "ui_TForm1.h"
#include "ui_TForm3.h"
#include "verification/FProfileEdit.h"
#include "verification/ProtocolCells.h"
#include "verification/Protocols.h"
#include "verification/TsEdit.h"

#include <QCheckBox>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

using profiletest::readBytes;
using profiletest::UnprivilegedFiles;
using profiletest::writeBytes;
using protocol::padded;

namespace
{

// Runs the rest of a scope as an ordinary user, real id included: the permission checks of
// a file (access(), which Qt's copy and save consult) then answer as they do for the
// operator, also in a test run as root. The saved id brings the superuser back.
class UnprivilegedUser
{
public:
    UnprivilegedUser() : m_root(geteuid() == 0)
    {
        if (m_root)
            EXPECT_EQ(setresuid(65534, 65534, 0), 0);
    }
    ~UnprivilegedUser()
    {
        if (m_root)
            EXPECT_EQ(setresuid(0, 0, 0), 0);
    }
    UnprivilegedUser(const UnprivilegedUser&) = delete;
    UnprivilegedUser& operator=(const UnprivilegedUser&) = delete;

private:
    bool m_root;
};

// The verification window over the main window, its save dialog answered with target.
class ProtocolWindow : public WindowFixture
{
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        shipped = protocolTemplatePath();
        w.connected = true;
        ui()->LabelPrecision->setText(QStringLiteral("0,02"));
        ui()->deviceFullName->setText(QStringLiteral("RD5540-1"));
        form = std::make_unique<TForm3>(nullptr, w.processor, true, true);
        w.profileForm = form.get();
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        target = dir.filePath(QStringLiteral("протокол.docx"));
        files.answerWith(target);
    }

    void TearDown() override
    {
        w.profileForm = nullptr;
        form.reset();
    }

    TsEdit* cell(int k) { return form->valEdits[std::size_t(k)]; }

    // RD5540-1: cell 8 is the step of 1000 Ω, cell 62 that of 0,001 Ω.
    void fillSome()
    {
        cell(8)->setText(QStringLiteral("1000,05"));
        cell(62)->setText(QStringLiteral("0,01120"));
        form->ui->R02->setText(QStringLiteral("0,02000"));
        form->ui->R04->setText(QStringLiteral("0,01000"));
    }

    void clickProtocol() { QTest::mouseClick(form->ui->Protocol_btn, Qt::LeftButton); }

    QString cellOf(const QString& path, int table, int row, int column)
    {
        return WordDocument::open(path).cellText(table, row, column);
    }

    // A periodic protocol from a held profile: made at once, no read from the instrument.
    void choosePeriodic()
    {
        w.processor->profLoaded = true;
        w.processor->profile.assign(7, std::vector<double>(9, 1.0));
        w.protocolDone = false;
        QTest::mouseClick(form->ui->FirstCal, Qt::LeftButton);
        ASSERT_FALSE(form->ui->FirstCal->isChecked());
    }

    // An earlier document of the operator's at target, as the save dialog confirmed it.
    QByteArray earlierFileAtTarget()
    {
        {
            WordDocument earlier = WordDocument::open(shipped);
            earlier.setCellText(3, 2, 2, QStringLiteral("the operator's note"));
            earlier.save(target);
        }
        return readBytes(target);
    }

    QStringList filesInDir() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir dir;
    FileDialogSeam files;
    std::unique_ptr<TForm3> form;
    QString target;
    QString shipped; // the template beside the program
};

// ... with documents handed to a seam instead of the desktop.
class Protocols : public ProtocolWindow
{
protected:
    DocumentShowSeam shows;
};

TEST_F(Protocols, PrimaryProtocolIsFilledWrittenAndShown)
{
    fillSome();
    clickProtocol();
    ASSERT_EQ(files.shown().size(), 1u);
    const FileDialogRequest& asked = files.shown()[0];
    EXPECT_EQ(asked.kind, FileDialogKind::Save);
    EXPECT_EQ(asked.fileName, QStringLiteral("Новый протокол.docx"));
    EXPECT_EQ(asked.filter, QStringLiteral("Протокол|*.docx"));
    EXPECT_TRUE(asked.overwritePrompt);
    EXPECT_EQ(asked.defaultExt, QStringLiteral("docx"));
    EXPECT_TRUE(seam.shown().empty());
    EXPECT_EQ(shows.shown(), QStringList{target});

    EXPECT_EQ(cellOf(target, 1, 1, 1), padded(QStringLiteral("R₀₄ₓ = 0,01000")));
    EXPECT_EQ(cellOf(target, 1, 1, 2), padded(QStringLiteral("R₀₂ₓ = 0,02000")));
    EXPECT_EQ(cellOf(target, 8, 2, 1), padded(QStringLiteral("1000")));
    EXPECT_EQ(cellOf(target, 8, 2, 3), padded(QStringLiteral("1000,0400")));
    EXPECT_EQ(cellOf(target, 8, 2, 4), padded(QStringLiteral("0,00400")));
    EXPECT_EQ(cellOf(target, 8, 2, 5), padded(QStringLiteral("0,0202")));
    EXPECT_EQ(cellOf(target, 2, 2, 3), padded(QStringLiteral("0,0012")));
    EXPECT_EQ(cellOf(target, 2, 10, 3), padded(QStringLiteral("0,009"))); // empty: the nominal
    EXPECT_EQ(cellOf(target, 2, 10, 4), padded(QStringLiteral("0,00000")));
    // The template's own content stays.
    EXPECT_EQ(cellOf(target, 2, 2, 2), WordDocument::open(protocolTemplatePath()).cellText(2, 2, 2));
}

TEST_F(Protocols, EnglishTextsOfTheDialog)
{
    useEnglish();
    files.answerWith(QString());
    clickProtocol();
    ASSERT_EQ(files.shown().size(), 1u);
    EXPECT_EQ(files.shown()[0].fileName, QStringLiteral("New protocol.docx"));
    EXPECT_EQ(files.shown()[0].filter, QStringLiteral("Protocol|*.docx"));
}

TEST_F(Protocols, CancelledDialogDoesNothing)
{
    files.answerWith(QString());
    fillSome();
    clickProtocol();
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    EXPECT_TRUE(seam.shown().empty());
    EXPECT_TRUE(shows.shown().isEmpty());
}

TEST_F(Protocols, ExistingTargetIsFilledNotReplacedByTheTemplate)
{
    {
        ASSERT_TRUE(QFile::copy(protocolTemplatePath(), target));
        WordDocument earlier = WordDocument::open(target);
        earlier.setCellText(3, 2, 2, QStringLiteral("the operator's note"));
        earlier.setCellText(8, 2, 3, QStringLiteral("old value"));
        earlier.save();
    }
    fillSome();
    clickProtocol();
    EXPECT_EQ(cellOf(target, 3, 2, 2), QStringLiteral("the operator's note"));
    EXPECT_EQ(cellOf(target, 8, 2, 3), padded(QStringLiteral("1000,0400")));
    EXPECT_EQ(shows.shown(), QStringList{target});
}

TEST_F(Protocols, MissingTemplateShowsTheErrorAndLeavesNoFile)
{
    ProtocolTemplateOverride missing(dir.filePath(QStringLiteral("нет/Поверка.docx")));
    fillSome();
    clickProtocol();
    ASSERT_EQ(seam.shown().size(), 1u);
    EXPECT_EQ(seam.shown()[0].type, DialogType::Error);
    EXPECT_EQ(
        seam.shown()[0].text,
        QStringLiteral("Нет шаблона протокола %1.").arg(dir.filePath(QStringLiteral("нет/Поверка.docx"))));
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    EXPECT_TRUE(shows.shown().isEmpty());
}

// Written but not shown: the protocol counts as made, and the operator is told where it is.
// Failed before: an error box that did not say where the document was saved.
TEST_F(Protocols, DocumentNotShownIsStillWritten)
{
    shows.setShowSucceeds(false);
    w.processor->profLoaded = true;
    w.processor->profile.assign(7, std::vector<double>(9, 1000.0));
    w.protocolDone = false;
    QTest::mouseClick(form->ui->FirstCal, Qt::LeftButton);
    fillSome();
    clickProtocol();
    ASSERT_EQ(seam.shown().size(), 1u);
    EXPECT_EQ(seam.shown()[0].type, DialogType::Information);
    EXPECT_EQ(seam.shown()[0].text,
              QStringLiteral("Документ сохранён: %1. Открыть его не удалось: нет программы для документов Word.")
                  .arg(target));
    EXPECT_EQ(cellOf(target, 8, 2, 4), padded(QStringLiteral("0,00400")));
    EXPECT_TRUE(w.protocolDone);
}

TEST_F(Protocols, FailureMidFillLeavesNoFile)
{
    ui()->LabelPrecision->setText(QStringLiteral("--")); // no instrument identified
    fillSome();
    clickProtocol();
    ASSERT_EQ(seam.shown().size(), 1u);
    EXPECT_EQ(seam.shown()[0].type, DialogType::Error);
    EXPECT_TRUE(seam.shown()[0].text.contains(QStringLiteral("класс точности")))
        << seam.shown()[0].text.toStdString();
    // Nothing was written: the box says the protocol was not filled (it said "not complete").
    EXPECT_TRUE(seam.shown()[0].text.startsWith(QStringLiteral("Протокол не заполнен:")))
        << seam.shown()[0].text.toStdString();
    EXPECT_EQ(filesInDir(), QStringList());
    EXPECT_TRUE(shows.shown().isEmpty());
}

// Failed before: column 4 was headed as the deviation from the nominal, which the periodic
// protocol does not compute.
TEST_F(Protocols, DeviationHeadingHoldsForBothProtocols)
{
    for (int table = 2; table <= 8; ++table) {
        const QString heading = WordDocument::open(protocolTemplatePath()).cellText(table, 1, 4);
        EXPECT_TRUE(heading.contains(QStringLiteral("от номинального"))) << heading.toStdString();
        EXPECT_TRUE(heading.contains(QStringLiteral("при периодической поверке — от действительного")))
            << heading.toStdString();
    }
}

// Failed before ("Existing file ... is not writable"): the copy kept the template's read-only
// mode, and the fill could not write it.
TEST_F(Protocols, ReadOnlyTemplateStillGivesAWritableFilledProtocol)
{
    const QString readOnly = dir.filePath(QStringLiteral("шаблон/Поверка.docx"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(readOnly).path()));
    ASSERT_TRUE(QFile::copy(protocolTemplatePath(), readOnly));
    ASSERT_EQ(chmod(QFile::encodeName(readOnly).constData(), 0444), 0);
    ProtocolTemplateOverride installed(readOnly);
    // The folder is the operator's, who is no superuser.
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
    fillSome();
    {
        UnprivilegedUser asUser;
        clickProtocol();
    }
    ASSERT_TRUE(seam.shown().empty()) << seam.shown()[0].text.toStdString();
    EXPECT_EQ(shows.shown(), QStringList{target});
    EXPECT_EQ(cellOf(target, 8, 2, 3), padded(QStringLiteral("1000,0400")));
    struct stat st {
    };
    ASSERT_EQ(stat(QFile::encodeName(readOnly).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u) << "the template stays as installed";
    ASSERT_EQ(stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0600, 0600u);

    // Nothing can write documents here: no unfilled copy is left behind either.
    const QString unfilled = dir.filePath(QStringLiteral("второй.docx"));
    files.answerWith(unfilled);
    shows.setAvailable(false);
    {
        UnprivilegedUser asUser;
        clickProtocol();
    }
    EXPECT_FALSE(QFile::exists(unfilled));
    chmod(QFile::encodeName(dir.path()).constData(), 0755);
}

// Failed before: the document layer's reasons reached the Russian window in English, under
// the English caption "Error"; and they named the operator's new file, an unfilled copy of
// the broken template, instead of the template.
TEST_F(Protocols, DocumentFailuresSpeakTheWindowsLanguage)
{
    const QString broken = dir.filePath(QStringLiteral("шаблон/Поверка.docx"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(broken).path()));
    ASSERT_TRUE(writeBytes(broken, "not a zip archive"));
    ProtocolTemplateOverride templ(broken);
    fillSome();
    for (const bool russian : {true, false}) {
        SCOPED_TRACE(russian);
        seam.clear();
        w.SetLanguage(russian ? QStringLiteral("Russian") : QStringLiteral("English"));
        clickProtocol();
        ASSERT_EQ(seam.shown().size(), 1u);
        EXPECT_EQ(seam.shown()[0].caption, russian ? QStringLiteral("Ошибка") : QStringLiteral("Error"));
        EXPECT_EQ(seam.shown()[0].type, DialogType::Error);
        const QString text = seam.shown()[0].text;
        EXPECT_TRUE(text.startsWith(broken + (russian ? QStringLiteral(" не является документом Word")
                                                      : QStringLiteral(" is not a Word document"))))
            << text.toStdString();
        EXPECT_EQ(filesInDir(), QStringList());
    }
}

// An independent reader finds the filled texts where the template puts them.
TEST_F(Protocols, LibreOfficeReadsAFilledProtocol)
{
    fillSome();
    clickProtocol();
    ASSERT_EQ(shows.shown(), QStringList{target});
    QString failure;
    const QStringList texts = testsupport::libreOfficeTexts({target}, dir.path(), &failure);
    ASSERT_TRUE(failure.isEmpty()) << failure.toStdString();
    for (const char* text : {"R₀₄ₓ = 0,01000", "R₀₂ₓ = 0,02000", "1000,0400", "0,00400", "0,0202", "0,0012"})
        EXPECT_TRUE(texts[0].contains(QString::fromUtf8(text))) << text;
}

TEST_F(Protocols, ReadOnlyFolderSaysSoAndLosesNothing)
{
    const QString earlier = dir.filePath(QStringLiteral("earlier.docx"));
    ASSERT_TRUE(QFile::copy(protocolTemplatePath(), earlier));
    ASSERT_EQ(chmod(QFile::encodeName(earlier).constData(), 0644), 0);
    const QByteArray before = readBytes(earlier);
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    fillSome();
    for (const QString& path : {target, earlier}) {
        seam.clear();
        files.answerWith(path);
        {
            UnprivilegedFiles asUser;
            clickProtocol();
        }
        ASSERT_EQ(seam.shown().size(), 1u) << path.toStdString();
        EXPECT_EQ(seam.shown()[0].type, DialogType::Error);
        EXPECT_TRUE(seam.shown()[0].text.contains(QFileInfo(path).fileName()))
            << seam.shown()[0].text.toStdString();
    }
    chmod(QFile::encodeName(dir.path()).constData(), 0755);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("earlier.docx")});
    EXPECT_EQ(readBytes(earlier), before);
    EXPECT_TRUE(shows.shown().isEmpty());
}

// Periodic protocol with a profile opened from a file: filled at once, against the held values.
TEST_F(Protocols, PeriodicWithAProfileFromAFileIsFilledAtOnce)
{
    QByteArray content = "RD5540-1;f\r\n0,0200\r\n0,0100\r\n";
    for (int d = 0; d < 7; ++d) {
        for (int j = 0; j < 9; ++j) {
            const double nominal = (9 - j) * std::pow(10.0, 3 - d);
            const double stored = d == 0 && j == 8 ? 1000.02 : nominal;
            content += numtext::formatFloat(QStringLiteral("0.0000"), stored).toLatin1() + "\r\n";
        }
    }
    const QString profile = dir.filePath(QStringLiteral("profile.txt"));
    ASSERT_TRUE(writeBytes(profile, content));
    ASSERT_EQ(w.processor->openFprof(QFile::encodeName(profile)), 0);
    w.protocolDone = false;

    fillSome();
    QTest::mouseClick(form->ui->FirstCal, Qt::LeftButton);
    ASSERT_FALSE(form->ui->FirstCal->isChecked());
    clickProtocol();
    EXPECT_TRUE(w.protocolDone);
    EXPECT_TRUE(seam.shown().empty());
    EXPECT_EQ(cellOf(target, 8, 2, 3), padded(QStringLiteral("1000,0400")));
    EXPECT_EQ(cellOf(target, 8, 2, 4), padded(QStringLiteral("0,00200")));
    EXPECT_EQ(cellOf(target, 8, 2, 5), padded(QStringLiteral("0,0202")));   // against 9000
    EXPECT_EQ(cellOf(target, 2, 2, 4), padded(QStringLiteral("20,00000"))); // 0,0012 against 0,001

    // A second press fills again from the held profile.
    const QString second = dir.filePath(QStringLiteral("second.docx"));
    files.answerWith(second);
    clickProtocol();
    EXPECT_EQ(cellOf(second, 8, 2, 4), padded(QStringLiteral("0,00200")));
}

TEST_F(Protocols, PeriodicWithoutProfileAndWithoutInstrumentDoesNothing)
{
    w.connected = false;
    w.processor->profLoaded = false;
    QTest::mouseClick(form->ui->FirstCal, Qt::LeftButton);
    clickProtocol();
    EXPECT_TRUE(files.shown().empty());
    EXPECT_TRUE(seam.shown().empty());
    EXPECT_TRUE(w.protocolDone);
}

struct UnavailableCase {
    const char* name;
    bool periodic;
    bool english;
    const char* caption;
    const char* text;
};

std::ostream& operator<<(std::ostream& os, const UnavailableCase& c)
{
    return os << c.name;
}

class DocumentsUnavailable : public Protocols, public ::testing::WithParamInterface<UnavailableCase>
{
};

// No program to write and show documents: the message says what is missing, and nothing is
// written. Failed before: an unfilled copy of the template was left under the chosen name.
TEST_P(DocumentsUnavailable, SayWhyAndLeaveNoFile)
{
    const UnavailableCase& c = GetParam();
    if (c.english)
        useEnglish();
    if (c.periodic)
        choosePeriodic();
    shows.setAvailable(false);
    fillSome();
    clickProtocol();
    ASSERT_EQ(seam.shown().size(), 1u);
    EXPECT_EQ(seam.shown()[0].caption, QString::fromUtf8(c.caption));
    EXPECT_EQ(seam.shown()[0].text, QString::fromUtf8(c.text));
    EXPECT_EQ(seam.shown()[0].type, DialogType::Information);
    EXPECT_EQ(filesInDir(), QStringList());
    if (c.periodic)
        EXPECT_FALSE(w.protocolDone); // a protocol that waited still waits
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DocumentsUnavailable,
    ::testing::Values(UnavailableCase{"primary", false, false, "Информация",
                                      "Не удалось сохранить документ.\n"
                                      "Нужна программа xdg-open из пакета xdg-utils."},
                      UnavailableCase{"primaryEnglish", false, true, "Information",
                                      "Document is not saved\n"
                                      "The program xdg-open of the package xdg-utils is needed."},
                      UnavailableCase{"periodic", true, false, "Информация",
                                      "Не удалось сохранить документ.\n"
                                      "Нужна программа xdg-open из пакета xdg-utils."},
                      UnavailableCase{"periodicEnglish", true, true, "Information",
                                      "Documet is not saved\n"
                                      "The program xdg-open of the package xdg-utils is needed."}),
    [](const ::testing::TestParamInfo<UnavailableCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- a protocol that cannot be made

enum class Cause { NoDocumentProgram, BrokenTemplate, MissingTemplate, ClassNotANumber };

struct NotMadeCase {
    const char* name;
    Cause cause;
    bool periodic;
};

std::ostream& operator<<(std::ostream& os, const NotMadeCase& c)
{
    return os << c.name;
}

class ProtocolNotMade : public Protocols, public ::testing::WithParamInterface<NotMadeCase>
{
protected:
    void SetUp() override
    {
        Protocols::SetUp();
        switch (GetParam().cause) {
        case Cause::NoDocumentProgram:
            shows.setAvailable(false);
            break;
        case Cause::BrokenTemplate: {
            // The template's folder is not the target's: the target's folder stays empty.
            const QString broken = dir.filePath(QStringLiteral("шаблон/Поверка.docx"));
            ASSERT_TRUE(QDir().mkpath(QFileInfo(broken).path()));
            ASSERT_TRUE(writeBytes(broken, "not a zip archive"));
            templ.emplace(broken);
            break;
        }
        case Cause::MissingTemplate:
            templ.emplace(dir.filePath(QStringLiteral("нет/Поверка.docx")));
            break;
        case Cause::ClassNotANumber:
            ui()->LabelPrecision->setText(QStringLiteral("--")); // no instrument identified
            break;
        }
        if (GetParam().periodic)
            choosePeriodic();
        fillSome();
    }

    bool templateNeeded() const
    {
        return GetParam().cause == Cause::BrokenTemplate || GetParam().cause == Cause::MissingTemplate;
    }

    // The box names the cause.
    void expectTheCause(const ShownDialog& d) const
    {
        const QString path = protocolTemplatePath();
        switch (GetParam().cause) {
        case Cause::NoDocumentProgram:
            EXPECT_EQ(d.caption, QStringLiteral("Информация"));
            EXPECT_EQ(d.text, QStringLiteral("Не удалось сохранить документ.\n"
                                             "Нужна программа xdg-open из пакета xdg-utils."));
            return;
        case Cause::BrokenTemplate:
            EXPECT_EQ(d.caption, QStringLiteral("Ошибка"));
            EXPECT_TRUE(d.text.startsWith(path + QStringLiteral(" не является документом Word (.docx)")))
                << d.text.toStdString();
            return;
        case Cause::MissingTemplate:
            EXPECT_EQ(d.caption, QStringLiteral("Ошибка"));
            EXPECT_EQ(d.text, QStringLiteral("Нет шаблона протокола %1.").arg(path));
            return;
        case Cause::ClassNotANumber:
            EXPECT_EQ(d.caption, QStringLiteral("Ошибка"));
            EXPECT_TRUE(d.text.startsWith(QStringLiteral("Протокол не заполнен:"))) << d.text.toStdString();
            return;
        }
    }

    std::optional<ProtocolTemplateOverride> templ;
};

TEST_P(ProtocolNotMade, LeavesNoFileAtTheChosenName)
{
    clickProtocol();
    ASSERT_EQ(seam.shown().size(), 1u);
    expectTheCause(seam.shown()[0]);
    EXPECT_EQ(filesInDir(), QStringList());
    EXPECT_TRUE(shows.shown().isEmpty());
    if (GetParam().periodic)
        EXPECT_FALSE(w.protocolDone);
}

// The operator confirmed an earlier file of the chosen name: it is filled as it is, without
// the template, or else stays byte for byte as it was.
TEST_P(ProtocolNotMade, AnEarlierFileOfTheChosenNameIsFilledOrLeftAsItWas)
{
    const QByteArray before = earlierFileAtTarget();
    clickProtocol();
    if (templateNeeded()) {
        EXPECT_TRUE(seam.shown().empty()) << seam.shown()[0].text.toStdString();
        EXPECT_EQ(cellOf(target, 3, 2, 2), QStringLiteral("the operator's note"));
        EXPECT_EQ(cellOf(target, 8, 2, 3), padded(QStringLiteral("1000,0400")));
    } else {
        ASSERT_EQ(seam.shown().size(), 1u);
        expectTheCause(seam.shown()[0]);
        EXPECT_EQ(readBytes(target), before);
        EXPECT_TRUE(shows.shown().isEmpty());
    }
    EXPECT_EQ(filesInDir(), QStringList{QFileInfo(target).fileName()}); // nothing beside it
}

INSTANTIATE_TEST_SUITE_P(
    Causes, ProtocolNotMade,
    ::testing::Values(NotMadeCase{"NoDocumentProgram", Cause::NoDocumentProgram, false},
                      NotMadeCase{"NoDocumentProgramPeriodic", Cause::NoDocumentProgram, true},
                      NotMadeCase{"BrokenTemplate", Cause::BrokenTemplate, false},
                      NotMadeCase{"BrokenTemplatePeriodic", Cause::BrokenTemplate, true},
                      NotMadeCase{"MissingTemplate", Cause::MissingTemplate, false},
                      NotMadeCase{"MissingTemplatePeriodic", Cause::MissingTemplate, true},
                      NotMadeCase{"ClassNotANumber", Cause::ClassNotANumber, false},
                      NotMadeCase{"ClassNotANumberPeriodic", Cause::ClassNotANumber, true}),
    [](const ::testing::TestParamInfo<NotMadeCase>& info) { return std::string(info.param.name); });

// Without a seam before the desktop the program looks for xdg-open on the PATH, which here
// lacks it: the same message, and nothing written.
TEST_F(ProtocolWindow, WithoutXdgOpenOnThePathNothingIsWritten)
{
    class PathWithoutXdgOpen
    {
    public:
        PathWithoutXdgOpen() : m_saved(qgetenv("PATH"))
        {
            qputenv("PATH", QFile::encodeName(m_empty.path()));
        }
        ~PathWithoutXdgOpen() { qputenv("PATH", m_saved); }

    private:
        QByteArray m_saved;
        QTemporaryDir m_empty;
    } path;
    ASSERT_TRUE(QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty());
    fillSome();
    for (const bool periodic : {false, true}) {
        SCOPED_TRACE(periodic);
        if (periodic)
            choosePeriodic();
        seam.clear();
        QFile::remove(target);
        clickProtocol();
        ASSERT_EQ(seam.shown().size(), 1u);
        EXPECT_EQ(seam.shown()[0].text, QStringLiteral("Не удалось сохранить документ.\n"
                                                       "Нужна программа xdg-open из пакета xdg-utils."));
        EXPECT_EQ(filesInDir(), QStringList());

        const QByteArray before = earlierFileAtTarget();
        seam.clear();
        clickProtocol();
        ASSERT_EQ(seam.shown().size(), 1u);
        EXPECT_EQ(readBytes(target), before);
    }
}

// Filled from the template into a new file, the protocol is the document that filling a copy
// of the template gives.
TEST_F(Protocols, ANewFileHoldsWhatAFilledCopyOfTheTemplateHolds)
{
    fillSome();
    clickProtocol();
    const QString copy = dir.filePath(QStringLiteral("copy.docx"));
    ASSERT_TRUE(QFile::copy(protocolTemplatePath(), copy));
    ASSERT_TRUE(QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    files.answerWith(copy);
    clickProtocol();
    ASSERT_TRUE(seam.shown().empty()) << seam.shown()[0].text.toStdString();
    ASSERT_EQ(shows.shown(), (QStringList{target, copy}));

    const docx::Package made = docx::unzip(readBytes(target).toStdString());
    const docx::Package filledCopy = docx::unzip(readBytes(copy).toStdString());
    ASSERT_EQ(made.size(), filledCopy.size());
    for (std::size_t i = 0; i < made.size(); ++i) {
        EXPECT_EQ(made[i].name, filledCopy[i].name);
        EXPECT_TRUE(made[i].data == filledCopy[i].data) << made[i].name;
    }
}

} // namespace
