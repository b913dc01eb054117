// Value lists: the file reader on a table of good and bad files, opening a file into the
// window (a refused file changes nothing but the list and path it clears), and list runs
// by hand and timed against a simulated instrument, with re-sending by double click and
// Enter and the two clear buttons.
#include "instrument/FileDialogs.h"
#include "instrument/ValueListFile.h"
#include "platform/NumberText.h"
#include "tests/ProfileWindowSupport.h"
#include "tests/RunFixture.h"
#include "tests/WindowFixture.h"

#include "ui_TForm1.h"

#include <QDir>
#include <QMenu>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTimer>

using profiletest::writeBytes;

namespace
{

using valuelist::Result;

QByteArray utf16(const QString& text, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

// ---------------------------------------------------------------- the reader

struct FileCase {
    const char* name;
    QByteArray bytes;
    int deviceID;
    Result result;
    QStringList values; // when Ok
    bool celsius = false;
    int rtdType = 0;
    int r0 = 0;
};
void PrintTo(const FileCase& c, std::ostream* os)
{
    *os << c.name;
}

class ValueListFileTest : public testing::TestWithParam<FileCase>
{
};

TEST_P(ValueListFileTest, ReadsOrRefusesTheWholeFile)
{
    const FileCase& c = GetParam();
    const valuelist::ValueList list = valuelist::parse(valuelist::splitLines(c.bytes), c.deviceID);
    EXPECT_EQ(list.result, c.result);
    if (c.result != Result::Ok) {
        EXPECT_TRUE(list.values.isEmpty()) << "nothing of a refused file is kept";
        return;
    }
    EXPECT_EQ(list.values, c.values);
    EXPECT_EQ(list.celsius, c.celsius);
    if (c.celsius) {
        EXPECT_EQ(list.rtdType, c.rtdType);
        EXPECT_EQ(list.r0, c.r0);
    }
}

const QString kCelsiusText = QStringLiteral("RD5540-1;w;c;1;100\r\n50,25\r\n-10,5\r\n");

INSTANTIATE_TEST_SUITE_P(
    Files, ValueListFileTest,
    testing::Values(
        FileCase{
            "ohms", "RD5540-2;w;o\r\n1,00\r\n99999,99\r\n0\r\n", 2, Result::Ok, {"1,00", "99999,99", "0"}},
        FileCase{"noValues", "RD5540-1;w;o\r\n", 1, Result::Ok, {}},
        FileCase{"noLineEnd", "RD5540-4;w;o\r\n15", 4, Result::Ok, {"15"}},
        FileCase{"lineFeedsAndReturns", "RD5540-1;w;o\n1,5\r2,5\n", 1, Result::Ok, {"1,5", "2,5"}},
        FileCase{"celsius",
                 "RD5540-1;w;c;1;100\r\n50,25\r\n-10,5\r\n",
                 1,
                 Result::Ok,
                 {"50,25", "-10,5"},
                 true,
                 1,
                 100},
        FileCase{"celsiusOnRd5540_2",
                 "RD5540-2;w;c;3;1000\r\n-60\r\n180\r\n",
                 2,
                 Result::Ok,
                 {"-60", "180"},
                 true,
                 3,
                 1000},
        // A type that is no digit is taken as 0.
        FileCase{"typeNotADigit", "RD5540-1;w;c;x;100\r\n0\r\n", 1, Result::Ok, {"0"}, true, 0, 100},
        FileCase{"utf8Bom", "\xEF\xBB\xBFRD5540-1;w;o\r\n2,5\r\n", 1, Result::Ok, {"2,5"}},
        FileCase{"utf16LeBom",
                 utf16(kCelsiusText, QStringConverter::Utf16LE),
                 1,
                 Result::Ok,
                 {"50,25", "-10,5"},
                 true,
                 1,
                 100},
        FileCase{"utf16BeBom",
                 utf16(kCelsiusText, QStringConverter::Utf16BE),
                 1,
                 Result::Ok,
                 {"50,25", "-10,5"},
                 true,
                 1,
                 100},

        FileCase{"empty", "", 1, Result::NotAList, {}},
        FileCase{"unknownModel", "RD5541-1;w;o\r\n1\r\n", 1, Result::NotAList, {}},
        FileCase{"modelOnlyWithBlank", "RD5540-1 ;w;o\r\n", 1, Result::NotAList, {}},
        FileCase{"otherVariantList", "RD5540-2;w;o\r\n1\r\n", 1, Result::OtherVariant, {}},
        FileCase{"otherVariantCelsius", "RD5540-1;w;c;1;100\r\n50\r\n", 2, Result::OtherVariant, {}},
        FileCase{"otherVariantProfile", "RD5540-2;f\r\n0,0123\r\n", 1, Result::NotAList, {}},
        FileCase{"profileFile", "RD5540-1;f\r\n0,0123\r\n0,0011\r\n", 1, Result::BadData, {}},
        FileCase{"noUnit", "RD5540-1;w\r\n1\r\n", 1, Result::BadData, {}},
        FileCase{"unknownUnit", "RD5540-1;w;x\r\n1\r\n", 1, Result::BadData, {}},
        FileCase{"celsiusWithoutR0", "RD5540-1;w;c;1\r\n1\r\n", 1, Result::BadData, {}},
        FileCase{"typeOutOfRange", "RD5540-1;w;c;4;100\r\n1\r\n", 1, Result::BadData, {}},
        FileCase{"typeOfTwoDigits", "RD5540-1;w;c;12;100\r\n1\r\n", 1, Result::BadData, {}},
        FileCase{"r0NotAllowed", "RD5540-1;w;c;1;75\r\n1\r\n", 1, Result::BadData, {}},
        FileCase{"r0NotANumber", "RD5540-1;w;c;1;1OO\r\n1\r\n", 1, Result::BadData, {}},
        FileCase{"celsiusOnRd5540_3", "RD5540-3;w;c;1;100\r\n1\r\n", 3, Result::BadData, {}},
        FileCase{"valueNotANumber", "RD5540-1;w;o\r\n1,000\r\nabc\r\n", 1, Result::BadData, {}},
        FileCase{"valueOutOfRange", "RD5540-1;w;o\r\n10000\r\n", 1, Result::BadData, {}},
        FileCase{"valueNotAMultiple", "RD5540-1;w;o\r\n1,0005\r\n", 1, Result::BadData, {}},
        FileCase{"valueWithPoint", "RD5540-1;w;o\r\n1.5\r\n", 1, Result::BadData, {}},
        FileCase{"valueWithBlank", "RD5540-1;w;o\r\n1,5 \r\n", 1, Result::BadData, {}},
        FileCase{"valueHalfTyped", "RD5540-1;w;c;1;100\r\n12,\r\n", 1, Result::BadData, {}},
        FileCase{"celsiusOutOfRange", "RD5540-1;w;c;2;100\r\n201\r\n", 1, Result::BadData, {}},
        FileCase{"emptyLineBetween", "RD5540-1;w;o\r\n1\r\n\r\n2\r\n", 1, Result::BadData, {}},
        FileCase{"emptyLineAtTheEnd", "RD5540-1;w;o\r\n1\r\n\r\n", 1, Result::BadData, {}},
        FileCase{"lonelyMinus", "RD5540-2;w;c;3;1000\r\n-\r\n", 2, Result::BadData, {}},
        FileCase{"undefinedByte", "RD5540-1;w;o\r\n1\x98\r\n", 1, Result::BadData, {}}),
    [](const testing::TestParamInfo<FileCase>& info) { return std::string(info.param.name); });

// Each encoding the reader takes is told apart, and what is written in it reads back as the
// same lines in the same encoding: its mark first, every line ended by CR LF.
TEST(ValueListFileText, EveryEncodingReadsBackAsWritten)
{
    using valuelist::Encoding;
    const QStringList lines = {"RD5540-1;w;c;1;100", "50,25", "-10,5"};
    const QString text = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    const struct {
        Encoding encoding;
        QByteArray bytes;
    } cases[] = {
        {Encoding::Cp1251, text.toLatin1()},
        {Encoding::Utf8, "\xEF\xBB\xBF" + text.toUtf8()},
        {Encoding::Utf16LE, utf16(text, QStringConverter::Utf16LE)},
        {Encoding::Utf16BE, utf16(text, QStringConverter::Utf16BE)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.encoding));
        EXPECT_EQ(valuelist::encodeLines(lines, c.encoding), c.bytes);
        Encoding read = Encoding(-1);
        EXPECT_EQ(valuelist::splitLines(c.bytes, &read), lines);
        EXPECT_EQ(read, c.encoding);
    }
    // A list without values is its header alone.
    EXPECT_EQ(valuelist::encodeLines({"RD5540-2;w;o"}, Encoding::Utf16LE),
              utf16(QStringLiteral("RD5540-2;w;o\r\n"), QStringConverter::Utf16LE));
}

TEST(ValueListFileText, RefusalsAreNamedInBothLanguages)
{
    EXPECT_EQ(valuelist::resultText(Result::NotAList, true), "Файл не содержит профиль");
    EXPECT_EQ(valuelist::resultText(Result::NotAList, false), "Profile not found");
    EXPECT_EQ(valuelist::resultText(Result::OtherVariant, true),
              "Профиль не соответствует активному прибору");
    EXPECT_EQ(valuelist::resultText(Result::OtherVariant, false), "Profile doesn't match the device");
    EXPECT_EQ(valuelist::resultText(Result::BadData, true), "Файл содержит некорректные данные");
    EXPECT_EQ(valuelist::resultText(Result::BadData, false), "Data is not correct");
    EXPECT_TRUE(valuelist::resultText(Result::Ok, true).isEmpty());
}

// ---------------------------------------------------------------- opening into the window

class OpenListTest : public WindowFixture
{
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        ui()->InpType->setCurrentIndex(0);
        w.InpTypeChange();
    }
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }

    void open(const QString& p)
    {
        files.answerWith(p);
        QTest::mouseClick(ui()->ProfileInpButtonOpen, Qt::LeftButton);
    }

    QStringList listed() const
    {
        QStringList texts;
        for (int i = 0; i < w.ui->InfoValsProf->count(); ++i)
            texts << w.ui->InfoValsProf->item(i)->text();
        return texts;
    }

    QTemporaryDir dir;
    FileDialogSeam files;
};

TEST_F(OpenListTest, GoodFilesSwitchTheWindowToTheirQuantity)
{
    ASSERT_TRUE(writeBytes(path("c.txt"), kCelsiusText.toLatin1()));
    open(path("c.txt"));
    ASSERT_EQ(files.shown().size(), 1u);
    EXPECT_EQ(files.shown()[0].defaultExt, "txt");
    EXPECT_EQ(files.shown()[0].filter, "Текстовый файл|*.txt");
    EXPECT_TRUE(seam.shown().empty());
    EXPECT_EQ(listed(), QStringList({"50,25", "-10,5"}));
    EXPECT_TRUE(w.celsiusMode());
    EXPECT_TRUE(ui()->platinum385->isChecked());
    EXPECT_TRUE(ui()->N1001->isChecked());
    EXPECT_EQ(w.rtdType, 1);
    EXPECT_EQ(w.processor->Rt0, 100);
    EXPECT_EQ(w.listInCelsius, 1);
    EXPECT_EQ(w.listRtdType, 1);
    EXPECT_EQ(w.listRt0, 100);
    EXPECT_EQ(w.processor->profPath, path("c.txt").toLatin1());
    EXPECT_EQ(w.valueListIndex, -1);

    // An Ohm list while kΩ is shown: taken in ohms as it stands, the unit stays.
    w.OhmClick(ui()->Ohm);
    selectUnit(1);
    ASSERT_TRUE(writeBytes(path("o.txt"), "RD5540-1;w;o\r\n1500,000\r\n2,5\r\n"));
    open(path("o.txt"));
    EXPECT_TRUE(seam.shown().empty());
    EXPECT_FALSE(w.celsiusMode());
    EXPECT_EQ(w.unitIndex(), 1);
    EXPECT_EQ(w.listInCelsius, 0);
    EXPECT_EQ(listed(), QStringList({"1500,000", "2,5"}));
}

struct BadOpenCase {
    const char* name;
    int variant;
    QByteArray bytes;
    const char* text;
    bool english = false;
};
void PrintTo(const BadOpenCase& c, std::ostream* os)
{
    *os << c.name;
}

class BadOpenTest : public OpenListTest, public testing::WithParamInterface<BadOpenCase>
{
};

// Whatever the header had already said, a refused file leaves the quantity, thermometer and
// R0 as they were; the list box and the path are emptied.
TEST_P(BadOpenTest, IsRefusedWithItsMessageAndChangesNothingElse)
{
    const BadOpenCase& c = GetParam();
    selectVariant(c.variant);
    if (c.english)
        useEnglish();
    ui()->InfoValsProf->addItems({"1", "2"});
    w.processor->setProfPath("old.txt");
    ASSERT_TRUE(writeBytes(path("bad.txt"), c.bytes));
    const int rtdType = w.rtdType;
    const int r0 = w.processor->Rt0;

    open(path("bad.txt"));
    ASSERT_EQ(seam.shown().size(), 1u);
    EXPECT_EQ(seam.shown()[0].text, QString::fromUtf8(c.text));
    EXPECT_EQ(seam.shown()[0].caption, c.english ? "Error" : "Ошибка");
    EXPECT_EQ(seam.shown()[0].type, DialogType::Error);
    EXPECT_EQ(ui()->InfoValsProf->count(), 0);
    EXPECT_TRUE(w.processor->profPath.isEmpty());
    EXPECT_FALSE(w.celsiusMode());
    EXPECT_EQ(w.rtdType, rtdType);
    EXPECT_EQ(w.processor->Rt0, r0);
    EXPECT_TRUE(ui()->platinum391->isChecked());
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadOpenTest,
    testing::Values(
        BadOpenCase{"celsiusListOfAnotherVariant", 1, kCelsiusText.toLatin1(),
                    "Профиль не соответствует активному прибору"},
        BadOpenCase{"profileOfAnotherVariant", 1, "RD5540-1;f\r\n0,0123\r\n", "Файл не содержит профиль"},
        BadOpenCase{"profileOfThisVariant", 0, "RD5540-1;f\r\n0,0123\r\n",
                    "Файл содержит некорректные данные"},
        BadOpenCase{"emptyFile", 0, "", "Файл не содержит профиль"},
        BadOpenCase{"badValueAfterACelsiusHeader", 0, "RD5540-1;w;c;1;100\r\n50,25\r\n900\r\n",
                    "Файл содержит некорректные данные"},
        BadOpenCase{"r0NotAllowed", 0, "RD5540-1;w;c;2;20\r\n5\r\n", "Файл содержит некорректные данные"},
        BadOpenCase{"englishMessage", 0, "RD5540-1;w;o\r\n\r\n", "Data is not correct", true}),
    [](const testing::TestParamInfo<BadOpenCase>& info) { return std::string(info.param.name); });

TEST_F(OpenListTest, PathsTheListCannotKeepAreRefusedAndTheListStays)
{
    const QString name = QString(190, QLatin1Char('a')) + QStringLiteral(".txt");
    const QString longPath = path(name);
    ASSERT_TRUE(writeBytes(longPath, "RD5540-1;w;o\r\n1\r\n"));
    const QString foreignPath = path(QStringLiteral("список\u4E2D.txt"));
    ASSERT_TRUE(writeBytes(foreignPath, "RD5540-1;w;o\r\n1\r\n"));
    const struct {
        QString path;
        const char* text;
    } cases[] = {
        {longPath, "Путь к файлу длиннее 199 байт. Выберите более короткий путь."},
        {foreignPath, "Путь к файлу содержит символы вне кодовой страницы 1251. Выберите другое имя."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ui()->InfoValsProf->clear();
        ui()->InfoValsProf->addItems({"7", "8"});
        w.processor->setProfPath("kept.txt");
        seam.clear();
        open(c.path);
        ASSERT_EQ(seam.shown().size(), 1u);
        EXPECT_EQ(seam.shown()[0].text, QString::fromUtf8(c.text));
        EXPECT_EQ(listed(), QStringList({"7", "8"}));
        EXPECT_EQ(w.processor->profPath, "kept.txt");
    }

    // A Cyrillic name that fits is kept in code page 1251.
    const QString cyrillic = path(QStringLiteral("список.txt"));
    ASSERT_TRUE(writeBytes(cyrillic, "RD5540-1;w;o\r\n3\r\n"));
    seam.clear();
    open(cyrillic);
    EXPECT_TRUE(seam.shown().empty());
    EXPECT_EQ(listed(), QStringList({"3"}));
    EXPECT_TRUE(w.processor->profPath.endsWith("\xF1\xEF\xE8\xF1\xEE\xEA.txt"));
}

TEST_F(OpenListTest, MissingFileOrCancelChangesNothing)
{
    ui()->InfoValsProf->addItems({"7", "8"});
    w.processor->setProfPath("kept.txt");
    open(path("missing.txt"));
    open(QString());
    EXPECT_TRUE(seam.shown().empty());
    EXPECT_EQ(listed(), QStringList({"7", "8"}));
    EXPECT_EQ(w.processor->profPath, "kept.txt");
}

// What the history's save button writes as a value list opens as one.
TEST_F(OpenListTest, HistorySavedAsAValueListOpensAgain)
{
    struct Case {
        bool celsius;
        QStringList values;
    };
    const Case cases[] = {{false, {"1234,500", "0,001", "9999,999"}}, {true, {"-50,25", "0", "849,99"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.celsius);
        if (c.celsius)
            selectCelsius(&TForm1::platinum385Click, &TForm1::N501Click);
        ui()->InpType->setCurrentIndex(2);
        w.InpTypeChange();
        w.curHistoryList->addItems(c.values);
        const QString p = path(c.celsius ? "c.txt" : "o.txt");
        files.answerWith(p);
        files.setFilterIndex(1);
        QTest::mouseClick(ui()->StandartInpButtonSaveAsProfile, Qt::LeftButton);
        seam.clear();

        // Back to ohms and the value list: the file switches the window to its quantity.
        w.OhmClick(ui()->Ohm);
        ui()->InpType->setCurrentIndex(0);
        w.InpTypeChange();
        open(p);
        EXPECT_TRUE(seam.shown().empty()) << seam.shown().front().text.toStdString();
        EXPECT_EQ(listed(), c.values);
        EXPECT_EQ(w.celsiusMode(), c.celsius);
        if (c.celsius) {
            EXPECT_TRUE(ui()->platinum385->isChecked());
            EXPECT_TRUE(ui()->N501->isChecked());
        }
    }
}

// ---------------------------------------------------------------- list runs

class ListRunTest : public RunFixture
{
protected:
    void SetUp() override
    {
        RunFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
    }

    // Connected to RD5540-1, no read-outs chosen, the value list shown with a list opened
    // from a file.
    SimInstrument& connectWithList(const QByteArray& file)
    {
        SimInstrument& sim = addSim(1);
        EXPECT_TRUE(connectTo(sim));
        tick({});
        chooseInputType(0);
        const QString p = QDir(dir.path()).filePath(QStringLiteral("list.txt"));
        EXPECT_TRUE(writeBytes(p, file));
        files.answerWith(p);
        click(ui()->ProfileInpButtonOpen);
        EXPECT_TRUE(dialogs().empty());
        return sim;
    }

    void clickEntry(QListWidget* list, int row)
    {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
    // A timed list run started and its first set done.
    SimInstrument& startTimedList(const QByteArray& file, const char* period)
    {
        SimInstrument& sim = connectWithList(file);
        chooseTimed(QString::fromLatin1(period));
        click(ui()->ProfileInpButtonEnter);
        EXPECT_TRUE(waitSetDone());
        return sim;
    }

    // As the window system delivers it: press, release, double click, release.
    void doubleClickEntry(QListWidget* list, int row)
    {
        const QPoint at = list->visualItemRect(list->item(row)).center();
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    }

    QTemporaryDir dir;
    FileDialogSeam files;
};

const QByteArray kThree = "RD5540-1;w;o\r\n1,000\r\n2,000\r\n3,000\r\n";

TEST_F(ListRunTest, ManualPressesSendOneEntryEachAndStartOverAfterTheLast)
{
    SimInstrument& sim = connectWithList(kThree);
    ASSERT_EQ(ui()->ProfileInpButtonEnter->text(), "Ввод");
    for (int press = 0; press < 4; ++press) {
        SCOPED_TRACE(press);
        click(ui()->ProfileInpButtonEnter);
        EXPECT_FALSE(ui()->ProfileInpButtonEnter->isEnabled()) << "locked while the set runs";
        EXPECT_EQ(ui()->InfoValsProf->currentRow(), press < 2 ? press : press == 2 ? -1 : 0);
        click(ui()->ProfileInpButtonEnter); // a press meanwhile goes nowhere
        ASSERT_TRUE(waitSetDone());
        EXPECT_TRUE(ui()->ProfileInpButtonEnter->isEnabled());
    }
    EXPECT_EQ(sentValues(sim), QStringList({"1,000", "2,000", "3,000", "1,000"}));
    // A manual list run locks neither the profile commands nor the mode.
    EXPECT_TRUE(ui()->ButtonFProfileGet->isEnabled());
    EXPECT_TRUE(ui()->Settings1->isEnabled());

    // A click on an entry makes it the next one sent.
    clickEntry(ui()->InfoValsProf, 2);
    click(ui()->ProfileInpButtonEnter);
    ASSERT_TRUE(waitSetDone());
    EXPECT_EQ(sentValues(sim).last(), "3,000");
    EXPECT_EQ(entries(ui()->InfoValsProf), QStringList({"1,000", "2,000", "3,000"}))
        << "the list does not grow";
    EXPECT_EQ(w->history.historyRows, 5);
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(ListRunTest, TimedRunSendsTheFirstAtOnceAndTheNextAfterThePeriod)
{
    SimInstrument& sim = connectWithList("RD5540-1;w;o\r\n1,000\r\n2,000\r\n");
    chooseTimed("5");
    ASSERT_EQ(ui()->ProfileInpButtonEnter->text(), "Старт");

    click(ui()->ProfileInpButtonEnter);
    EXPECT_TRUE(w->autoRun);
    EXPECT_EQ(ui()->ProfileInpButtonEnter->text(), "Стоп");
    for (QWidget* c :
         {static_cast<QWidget*>(ui()->Settings1), static_cast<QWidget*>(ui()->InpType),
          static_cast<QWidget*>(ui()->ProfileInpButtonOpen),
          static_cast<QWidget*>(ui()->ProfileInpButtonChange),
          static_cast<QWidget*>(ui()->ProfileInpButtonCreate), static_cast<QWidget*>(ui()->InfoValsProf),
          static_cast<QWidget*>(ui()->ButtonFProfileGet)})
        EXPECT_FALSE(c->isEnabled()) << c->objectName().toStdString();
    EXPECT_FALSE(ui()->Mfprof->menuAction()->isEnabled());
    EXPECT_FALSE(ui()->MphysicVal->menuAction()->isEnabled());
    EXPECT_TRUE(ui()->ProfileInpButtonPause->isEnabled());
    EXPECT_EQ(ui()->InfoValsProf->currentRow(), 0);
    ASSERT_TRUE(waitSetDone());
    EXPECT_EQ(sentValues(sim), QStringList({"1,000"}));
    EXPECT_EQ(w->Timer->interval(), 5 * SecondMs);
    EXPECT_TRUE(w->Timer->isActive());
    // The second entry waits for the period after the first set.
    EXPECT_TRUE(staysQuiet(sim, std::chrono::milliseconds(3 * SecondMs)));

    ASSERT_TRUE(testsupport::waitUntil([&] { return !w->autoRun; }, std::chrono::seconds(20)));
    ASSERT_TRUE(waitSetDone());
    EXPECT_EQ(sentValues(sim), QStringList({"1,000", "2,000"}));
    EXPECT_EQ(ui()->ProfileInpButtonEnter->text(), "Старт");
    EXPECT_EQ(ui()->TimeLeft->text(), "--");
    EXPECT_EQ(ui()->InfoValsProf->currentRow(), -1);
    EXPECT_EQ(w->valueListIndex, -1);
    EXPECT_FALSE(ui()->ProfileInpButtonPause->isEnabled());
    EXPECT_TRUE(ui()->ProfileInpButtonEnter->isEnabled());
    EXPECT_TRUE(ui()->InfoValsProf->isEnabled());
    EXPECT_TRUE(ui()->ButtonFProfileGet->isEnabled());
    EXPECT_TRUE(ui()->MphysicVal->menuAction()->isEnabled());
    EXPECT_FALSE(w->Timer->isActive());
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(ListRunTest, PauseContinueAndStopOfATimedRun)
{
    SimInstrument& sim = startTimedList(kThree, "4");

    click(ui()->ProfileInpButtonPause);
    EXPECT_TRUE(w->paused);
    EXPECT_EQ(ui()->ProfileInpButtonPause->text(), "Продолжить");
    EXPECT_TRUE(staysQuiet(sim, std::chrono::milliseconds(8 * SecondMs)));
    click(ui()->ProfileInpButtonPause);
    EXPECT_EQ(ui()->ProfileInpButtonPause->text(), "Пауза");
    ASSERT_TRUE(waitSent(sim, 2));
    ASSERT_TRUE(waitSetDone());

    click(ui()->ProfileInpButtonEnter); // "Стоп"
    EXPECT_FALSE(w->autoRun);
    EXPECT_FALSE(w->Timer->isActive());
    EXPECT_FALSE(w->TimerCountdown->isActive());
    EXPECT_EQ(ui()->ProfileInpButtonEnter->text(), "Старт");
    EXPECT_EQ(ui()->TimeLeft->text(), "--");
    EXPECT_TRUE(ui()->InfoValsProf->isEnabled());
    EXPECT_TRUE(staysQuiet(sim, std::chrono::milliseconds(8 * SecondMs)));
    EXPECT_EQ(sentValues(sim), QStringList({"1,000", "2,000"}));

    // Started again, the run begins at the first entry.
    click(ui()->ProfileInpButtonEnter);
    ASSERT_TRUE(waitSetDone());
    EXPECT_EQ(sentValues(sim).last(), "1,000");
    click(ui()->ProfileInpButtonEnter);
    EXPECT_FALSE(w->autoRun);
    ASSERT_TRUE(waitSetDone());
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(ListRunTest, DisconnectDuringATimedRunStopsIt)
{
    SimInstrument& sim = startTimedList(kThree, "3");
    ASSERT_TRUE(ui()->ConnectionButton->isEnabled());

    click(ui()->ConnectionButton);
    EXPECT_FALSE(w->connected);
    EXPECT_FALSE(w->autoRun);
    EXPECT_FALSE(w->Timer->isActive());
    EXPECT_FALSE(w->TimerCountdown->isActive());
    EXPECT_EQ(ui()->ProfileInpButtonEnter->text(), "Старт");
    EXPECT_TRUE(ui()->InfoValsProf->isEnabled());
    EXPECT_FALSE(ui()->ButtonFProfileGet->isEnabled());
    EXPECT_TRUE(staysQuiet(sim, std::chrono::milliseconds(6 * SecondMs)));
    EXPECT_EQ(sentValues(sim), QStringList({"1,000"}));
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(ListRunTest, ListThatNoLongerFitsTheWindowIsNotSent)
{
    SimInstrument& sim = connectWithList(kCelsiusText.toLatin1());
    ASSERT_TRUE(w->celsiusMode());
    w->platinum391Click(); // another thermometer than the list's
    click(ui()->ProfileInpButtonEnter);
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(dialogs()[0].text, "Текущие настройки программы не соответствуют настройкам профиля!");
    EXPECT_EQ(dialogs()[0].caption, "Внимание");

    w->platinum385Click();
    click(ui()->ProfileInpButtonEnter);
    ASSERT_TRUE(waitSetDone());
    EXPECT_EQ(dialogs().size(), 1u);
    // 50,25 °C of Pt 0.00385, R0 100 Ω, to four decimals, in the Ω format of RD5540-1.
    const double ohms =
        numtext::strToFloat(numtext::formatFloat("0.0000", w->processor->tempToOhm(50.25, 1)));
    EXPECT_EQ(sentValues(sim), QStringList({numtext::formatFloat("0.000", ohms)}));
}

TEST_F(ListRunTest, EnterOnAnEntrySendsItButNeverOverARunningSet)
{
    SimInstrument& sim = connectWithList(kThree);
    clickEntry(ui()->InfoValsProf, 1);
    sim.addFault(SimInstrument::Fault::delay(200, 1));
    QTest::keyClick(ui()->InfoValsProf, Qt::Key_Return);
    ASSERT_TRUE(w->setPending);
    // Enter and a double click while the set runs: ignored, no second chain.
    QTest::keyClick(ui()->InfoValsProf, Qt::Key_Return);
    doubleClickEntry(ui()->InfoValsProf, 2);
    ASSERT_TRUE(waitSetDone());
    EXPECT_EQ(sentValues(sim), QStringList({"2,000"}));
    EXPECT_EQ(registers(sim), (std::vector<std::uint16_t>{40078, 40085, 40073, 40074, 40075}));

    // A double click once the set is done sends the entry clicked.
    doubleClickEntry(ui()->InfoValsProf, 0);
    ASSERT_TRUE(waitSetDone());
    EXPECT_EQ(sentValues(sim), QStringList({"2,000", "1,000"}));
}

TEST_F(ListRunTest, DoubleClickOnAHistoryEntrySendsItAgain)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    tick({});
    ui()->StandartInpEdit->setText("12,5");
    click(ui()->StandartInpButtonEnter);
    ASSERT_TRUE(waitSetDone());
    ui()->StandartInpEdit->setText("7");
    click(ui()->StandartInpButtonEnter);
    ASSERT_TRUE(waitSetDone());
    ASSERT_EQ(entries(ui()->InfoValsOhm), QStringList({"12,500", "7,000"}));

    sim.addFault(SimInstrument::Fault::delay(200, 1));
    doubleClickEntry(ui()->InfoValsOhm, 0);
    EXPECT_TRUE(w->setPending);
    EXPECT_FALSE(ui()->StandartInpButtonEnter->isEnabled()) << "one set at a time";
    doubleClickEntry(ui()->InfoValsOhm, 1); // ignored while the set runs
    ASSERT_TRUE(waitSetDone());
    EXPECT_TRUE(ui()->StandartInpButtonEnter->isEnabled());
    EXPECT_EQ(sentValues(sim), QStringList({"12,500", "7,000", "12,500"}));
    EXPECT_EQ(entries(ui()->InfoValsOhm), QStringList({"12,500", "7,000"})) << "the history does not grow";
    EXPECT_EQ(w->history.historyRows, 3);

    // In range input a double click sends nothing.
    chooseInputType(1);
    ui()->InfoValsOhm->addItem("5,000");
    doubleClickEntry(ui()->InfoValsOhm, 0);
    EXPECT_FALSE(w->setPending);
    EXPECT_TRUE(staysQuiet(sim, std::chrono::milliseconds(100)));
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(ListRunTest, ClearButtonsEmptyTheLogOrTheHistoryList)
{
    SimInstrument& sim = addSim(1);
    ASSERT_TRUE(connectTo(sim));
    tick({});
    ui()->StandartInpEdit->setText("1");
    click(ui()->StandartInpButtonEnter);
    ASSERT_TRUE(waitSetDone());
    ASSERT_EQ(w->history.historyRows, 1);
    ASSERT_FALSE(log().isEmpty());

    click(ui()->ButtonCleanInfo);
    EXPECT_TRUE(log().isEmpty());
    EXPECT_EQ(w->history.historyRows, 0);
    EXPECT_EQ(entries(ui()->InfoValsOhm), QStringList({"1,000"})) << "the list boxes keep their entries";

    w->history.appendRow({}, QString());
    click(ui()->ButtonCleanInfoVals);
    EXPECT_EQ(ui()->InfoValsOhm->count(), 0);
    EXPECT_EQ(w->history.historyRows, 0);
}

} // namespace
