// Saving the history as a value-list file or a Word table, and the event log as a text
// file: exact bytes, the header, refused paths, failed writes, the table read back through
// the document layer and by LibreOffice, and the whole way from the instrument.
#include "tests/LibreOfficeText.h"
#include "tests/LinkFixture.h"
#include "tests/WindowFixture.h"

#include "instrument/FileDialogs.h"
#include "platform/CodePage.h"
#include "platform/NumberText.h"
#include "platform/WordDocument.h"
#include "ui_TForm1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace
{

using Row = std::array<QString, HistColumnCount>;

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QString padded(const QString& s)
{
    return s + QString(s.size(), u' ');
}

QByteArray ansi(const char* utf8)
{
    bool ok = false;
    const QByteArray bytes = cp1251::fromUnicode(QString::fromUtf8(utf8), &ok);
    EXPECT_TRUE(ok) << utf8;
    return bytes;
}

// Every cell of table 1 of the document at path, row by row.
std::vector<QStringList> tableOf(const QString& path)
{
    std::vector<QStringList> rows;
    WordDocument doc = WordDocument::open(path);
    EXPECT_EQ(doc.tableCount(), 1);
    for (int r = 1; r <= doc.rowCount(1); ++r) {
        QStringList cells;
        for (int c = 1; c <= doc.cellCount(1, r); ++c)
            cells << doc.cellText(1, r, c);
        rows.push_back(cells);
    }
    return rows;
}

QStringList paddedRow(const QStringList& texts)
{
    QStringList out;
    for (const QString& t : texts)
        out << padded(t);
    return out;
}

// Runs action with writes limited to limitBytes per file (the limit binds the superuser too,
// unlike file permissions): a write beyond it is cut short.
template <typename Action> void withFileSizeLimit(rlim_t limitBytes, Action action)
{
    struct rlimit old {
    };
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = limitBytes;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    action();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
}

class SaveHistoryTest : public WindowFixture
{
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        w.show();
    }

    QString file(const QString& name) const { return dir.filePath(name); }

    // A value entered as single-value entry enters it, and its history row.
    void addSet(const QString& value, const Row& row)
    {
        w.curHistoryList->addItem(value);
        w.history.appendRow(row, value);
    }

    QStringList listEntries() const
    {
        QStringList out;
        for (int i = 0; i < w.curHistoryList->count(); ++i)
            out << w.curHistoryList->item(i)->text();
        return out;
    }

    void saveHistory(const QString& path, int filterIndex = 1)
    {
        files.answerWith(path);
        files.setFilterIndex(filterIndex);
        QTest::mouseClick(ui()->StandartInpButtonSaveAsProfile, Qt::LeftButton);
    }

    void saveLog(const QString& path)
    {
        files.answerWith(path);
        QTest::mouseClick(ui()->ButtonSaveInfo, Qt::LeftButton);
    }

    QStringList texts() const
    {
        QStringList out;
        for (const ShownDialog& d : seam.shown())
            out << d.caption + QStringLiteral(": ") + d.text;
        return out;
    }

    QStringList dashesRow(const QString& value) const
    {
        QStringList r = {value};
        for (int c = 0; c < HistColumnCount; ++c)
            r << QStringLiteral("--");
        return r;
    }

    QTemporaryDir dir;
    FileDialogSeam files;
    DocumentShowSeam shows;
};

Row dashes()
{
    Row r;
    r.fill(QStringLiteral("--"));
    return r;
}

// ---- the value-list file ----

struct ListCase {
    const char* name;
    bool celsius;
    int variant;
    int filterIndex;
    QStringList values;
    const char* bytes;
};
void PrintTo(const ListCase& c, std::ostream* os)
{
    *os << c.name;
}

class ValueListFromHistory : public SaveHistoryTest, public testing::WithParamInterface<ListCase>
{
};

TEST_P(ValueListFromHistory, HoldsTheHeaderAndTheEntriesInCodePage1251)
{
    const ListCase& c = GetParam();
    selectVariant(c.variant);
    if (c.celsius)
        selectCelsius(&TForm1::platinum385Click, &TForm1::N1001Click);
    for (const QString& v : c.values)
        addSet(v, dashes());
    const QStringList before = listEntries();

    const QString path = file(QStringLiteral("История ввода.txt"));
    saveHistory(path, c.filterIndex);

    EXPECT_EQ(readBytes(path), QByteArray(c.bytes));
    EXPECT_EQ(listEntries(), before) << "the header is not left in the list box";
    EXPECT_EQ(texts(), QStringList{"Информация: Сохранено"});
    EXPECT_EQ(seam.shown().at(0).type, DialogType::Information);
    EXPECT_TRUE(shows.shown().isEmpty());

    ASSERT_EQ(files.shown().size(), 1u);
    const FileDialogRequest& r = files.shown().front();
    EXPECT_EQ(r.kind, FileDialogKind::Save);
    EXPECT_EQ(r.filter, "Профиль номиналов (*.txt)|*.txt|Протокол(*.docx)|*.docx");
    EXPECT_EQ(r.fileName, "История ввода");
    EXPECT_EQ(r.defaultExt, "txt");
    EXPECT_TRUE(r.overwritePrompt);
}

INSTANTIATE_TEST_SUITE_P(Cases, ValueListFromHistory,
                         testing::Values(ListCase{"OhmWithHeader",
                                                  false,
                                                  2,
                                                  1,
                                                  {"100,00", "1234,56", "99999,99"},
                                                  "RD5540-3;w;o\r\n100,00\r\n1234,56\r\n99999,99\r\n"},
                                         ListCase{"OhmWordFilterHasNoHeader",
                                                  false,
                                                  2,
                                                  2,
                                                  {"100,00", "1234,56", "99999,99"},
                                                  "100,00\r\n1234,56\r\n99999,99\r\n"},
                                         ListCase{"CelsiusWithHeader",
                                                  true,
                                                  0,
                                                  1,
                                                  {"50", "-20,5", "150,25"},
                                                  "RD5540-1;w;c;1;100\r\n50\r\n-20,5\r\n150,25\r\n"},
                                         ListCase{
                                             "EmptyListHeaderAlone", false, 2, 1, {}, "RD5540-3;w;o\r\n"},
                                         ListCase{"EmptyListNoHeaderEmptyFile", false, 2, 2, {}, ""}),
                         [](const testing::TestParamInfo<ListCase>& i) { return std::string(i.param.name); });

TEST_F(SaveHistoryTest, CancelWritesAndShowsNothing)
{
    addSet("1,000", dashes());
    for (QPushButton* b : {ui()->StandartInpButtonSaveAsProfile, ui()->ButtonSaveInfo}) {
        files.answerWith(QString());
        QTest::mouseClick(b, Qt::LeftButton);
    }
    EXPECT_EQ(files.shown().size(), 2u);
    EXPECT_TRUE(seam.shown().empty());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(SaveHistoryTest, EnglishDialogsAndMessages)
{
    useEnglish();
    addSet("1,000", dashes());
    saveHistory(file("a.txt"));
    saveLog(file("log.txt"));
    ASSERT_EQ(files.shown().size(), 2u);
    EXPECT_EQ(files.shown()[0].filter, "Values profile(*.txt)|*.txt|Protocol(*.docx)|*.docx");
    EXPECT_EQ(files.shown()[0].fileName, "Entered values");
    EXPECT_EQ(files.shown()[1].filter, "Event log(*.txt)|*.txt");
    EXPECT_EQ(files.shown()[1].fileName, "New event log.txt");
    EXPECT_EQ(texts(), QStringList({"Information: Saved", "Information: Saved."}));
}

// ---- the event log ----

TEST_F(SaveHistoryTest, EventLogInCodePage1251WithCrLf)
{
    w.InfoLines->setLines(
        {"12:00:01", "Режим некомпенсированный 2х", " T: 50 °C (119,3971 Ом)", "Значение установлено!", ""});
    const QString path = file("Новый журнал.txt");
    saveLog(path);
    EXPECT_EQ(readBytes(path), "12:00:01\r\n" + ansi("Режим некомпенсированный 2х") + "\r\n" +
                                   ansi(" T: 50 °C (119,3971 Ом)") + "\r\n" + ansi("Значение установлено!") +
                                   "\r\n\r\n");
    EXPECT_EQ(readBytes(path).mid(10, 5), QByteArray("\xD0\xE5\xE6\xE8\xEC")) << "Режим in code page 1251";
    EXPECT_EQ(texts(), QStringList{"Информация: Сохранено."});

    ASSERT_EQ(files.shown().size(), 1u);
    EXPECT_EQ(files.shown()[0].filter, "Журнал событий(*.txt)|*.txt");
    EXPECT_EQ(files.shown()[0].fileName, "Новый журнал.txt");

    // An empty log is an empty file.
    seam.clear();
    w.InfoLines->clear();
    saveLog(path);
    EXPECT_EQ(readBytes(path), QByteArray());
    EXPECT_EQ(texts(), QStringList{"Информация: Сохранено."});
}

// Δ, δ and μ have no byte in code page 1251: the log keeps them as UTF-8 behind a BOM
// rather than losing them.
TEST_F(SaveHistoryTest, EventLogWithGreekLettersKeepsThem)
{
    w.InfoLines->setLines({" Rвос: 100,0012 Ом", " ΔR: 0,0012 Ом", " δR: 0,0012 %", " I max: 500,0 μA"});
    const QString path = file("log.txt");
    saveLog(path);
    EXPECT_EQ(readBytes(path),
              QByteArray("\xEF\xBB\xBF") +
                  QString::fromUtf8(" Rвос: 100,0012 Ом\r\n ΔR: 0,0012 Ом\r\n δR: 0,0012 %\r\n"
                                    " I max: 500,0 μA\r\n")
                      .toUtf8());
}

// The log of a real Ω and °C history: what the read-out chain wrote, byte for byte.
TEST_F(SaveHistoryTest, LogOfOhmAndCelsiusReadouts)
{
    tick({ui()->CheckTrueVal});
    w.trueValText = "100,0012";
    w.ShowReadouts();
    selectCelsius(&TForm1::platinum385Click, &TForm1::N1001Click);
    tick({ui()->checkTrueC});
    w.trueValText = numtext::formatFloat("0.0000000000", w.processor->tempToOhm(50, short(w.rtdType)));
    w.setValueCelsius = 50;
    w.ShowReadouts();

    const QString path = file("log.txt");
    saveLog(path);
    EXPECT_EQ(readBytes(path), ansi(" Tвос: 50,0000 °C\r\nЗначение установлено!\r\n\r\n"
                                    " Rвос: 100,0012 Ом\r\nЗначение установлено!\r\n\r\n"));
}

// ---- refused paths ----

struct PathCase {
    const char* name;
    QString (*leaf)(const QString& dir); // the chosen path, built in the test folder
    bool refused;
    const char* russian;
};
void PrintTo(const PathCase& c, std::ostream* os)
{
    *os << c.name;
}

// A path of exactly n bytes in code page 1251 (ending in ".txt").
QString pathOfBytes(const QString& dir, int n)
{
    const QString base = dir + QStringLiteral("/");
    const int fill = n - int(cp1251::fromUnicode(base).size()) - 4;
    return base + QString(fill, u'ж') + QStringLiteral(".txt");
}

const char* const kTooLong = "Ошибка: Путь к файлу длиннее 99 байт. Выберите более короткий путь.";
const char* const kOutside =
    "Ошибка: Путь к файлу содержит символы вне кодовой страницы 1251. Выберите другое имя.";

class RefusedPaths : public SaveHistoryTest, public testing::WithParamInterface<PathCase>
{
};

TEST_P(RefusedPaths, GetAMessageAndNoFile)
{
    const PathCase& c = GetParam();
    const QString path = c.leaf(dir.path());
    addSet("1,000", dashes());
    w.LogLine("line");
    for (bool history : {true, false}) {
        SCOPED_TRACE(history ? "history" : "log");
        seam.clear();
        if (history)
            saveHistory(path);
        else
            saveLog(path);
        if (c.refused) {
            EXPECT_EQ(texts(), QStringList{QString::fromUtf8(c.russian)});
            EXPECT_EQ(seam.shown().at(0).type, DialogType::Error);
            EXPECT_TRUE(QDir(dir.path()).isEmpty());
        } else {
            EXPECT_EQ(texts().size(), 1);
            EXPECT_TRUE(texts().value(0).startsWith("Информация: Сохранено"));
            EXPECT_TRUE(QFileInfo::exists(path));
        }
        EXPECT_EQ(listEntries(), QStringList{"1,000"});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedPaths,
    testing::Values(
        PathCase{"NinetyNineBytesFit", [](const QString& d) { return pathOfBytes(d, 99); }, false, ""},
        PathCase{"HundredBytesAreTooLong", [](const QString& d) { return pathOfBytes(d, 100); }, true,
                 kTooLong},
        PathCase{"GreekOmega", [](const QString& d) { return d + QStringLiteral("/Ω.txt"); }, true, kOutside},
        PathCase{"Chinese", [](const QString& d) { return d + QStringLiteral("/记录.txt"); }, true,
                 kOutside}),
    [](const testing::TestParamInfo<PathCase>& i) { return std::string(i.param.name); });

TEST_F(SaveHistoryTest, RefusedPathInEnglish)
{
    useEnglish();
    saveLog(dir.path() + QStringLiteral("/Ω.txt"));
    EXPECT_EQ(texts(), QStringList{"Error: The file path holds characters outside code page 1251. Choose "
                                   "another name."});
}

// ---- failed writes ----

// A write that fails part of the way (the file size limit, which binds the superuser too)
// or in a folder that refuses writing leaves the earlier file as it was, no temporary file
// beside it, the list box without the header, and no "Сохранено".
TEST_F(SaveHistoryTest, FailedWriteKeepsTheEarlierFile)
{
    for (int i = 0; i < 40; ++i)
        addSet(QStringLiteral("%1,000").arg(1000 + i), dashes());
    const QString path = file("a.txt");
    const QByteArray earlier = "RD5540-1;w;o\r\n5,000\r\n";
    writeBytes(path, earlier);

    withFileSizeLimit(64, [&] { saveHistory(path); });
    EXPECT_EQ(readBytes(path), earlier) << "a cut file is never committed";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"a.txt"});
    ASSERT_EQ(seam.shown().size(), 1u);
    EXPECT_EQ(seam.shown()[0].caption, "Ошибка");
    EXPECT_TRUE(seam.shown()[0].text.startsWith("Не удалось записать файл:\n" + path + "\n"))
        << seam.shown()[0].text.toStdString();
    EXPECT_EQ(w.curHistoryList->count(), 40);
    EXPECT_EQ(w.curHistoryList->item(0)->text(), "1000,000");

    // A read-only folder.
    const QString locked = file("закрыто");
    ASSERT_TRUE(QDir().mkdir(locked));
    const QString lockedFile = locked + QStringLiteral("/a.txt");
    writeBytes(lockedFile, earlier);
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    if (geteuid() != 0) { // the superuser writes anyway
        seam.clear();
        saveLog(lockedFile);
        EXPECT_EQ(readBytes(lockedFile), earlier);
        EXPECT_EQ(QDir(locked).entryList(QDir::Files), QStringList{"a.txt"});
        ASSERT_EQ(seam.shown().size(), 1u);
        EXPECT_EQ(seam.shown()[0].caption, "Ошибка");
    }
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    // A folder in the file's place.
    seam.clear();
    const QString folder = file("папка.txt");
    ASSERT_TRUE(QDir().mkdir(folder));
    saveLog(folder);
    EXPECT_TRUE(QFileInfo(folder).isDir());
    ASSERT_EQ(seam.shown().size(), 1u);
    EXPECT_EQ(seam.shown()[0].caption, "Ошибка");
}

// ---- the Word table ----

const QStringList kRussianHeadings = {"R, Ом:",   "Iмакс, А", "Uмакс, В", "Rвос, Ом",      "ΔR,Ом", "δR, %",
                                      "Tвос, °C", "ΔТ, °C",   "δТ, %",    "Ступени декад", "δн, %", "Δн, Ом"};

TEST_F(SaveHistoryTest, TableHoldsHeadingsAndTheHistoryWithTheSignRules)
{
    selectCelsius(&TForm1::platinum385Click, &TForm1::N1001Click);
    addSet("50", Row{"0,0005000", "0,05", "119,3990", "+0,0031", "+0,0026", "50,0049", "0,0049", "+0,00123 %",
                     "0100000", "0,0217", "0,0259"});
    addSet("-20,5", Row{"--", "--", "91,9212", "-0,0031", "-0,0034", "-20,5080", "-0,0080", "-0,03902 %",
                        "--", "--", "--"});
    addSet("0", Row{"--", "--", "--", "--", "--", "--", "--", "δT<|+0,00001%|", "--", "--", "--"});

    const QString path = file("История ввода.docx");
    saveHistory(path, 1); // the filter does not choose the branch
    EXPECT_TRUE(seam.shown().empty()) << "no message after the table";
    EXPECT_EQ(shows.shown(), QStringList{path});

    const auto rows = tableOf(path);
    ASSERT_EQ(rows.size(), 4u);
    QStringList headings = kRussianHeadings;
    headings[0] = ui()->Label9->text(); // the unit caption as the window shows it
    EXPECT_EQ(rows[0], paddedRow(headings));
    EXPECT_EQ(rows[1], paddedRow({"50", "0,0005000", "0,05", "119,3990", "0,0031", "0,0026", "50,0049",
                                  "0,0049", "0,00123", "0100000", "0,0217", "0,0259"}));
    EXPECT_EQ(rows[2], paddedRow({"-20,5", "--", "--", "91,9212", "-0,0031", "-0,0034", "-20,5080", "-0,0080",
                                  "-0,03902 %", "--", "--", "--"}));
    QStringList tiny = dashesRow("0");
    tiny[1 + HistDeltaTPercent] = "δT<|+0,00001%|"; // not a "+" value: as the history holds it
    EXPECT_EQ(rows[3], paddedRow(tiny));
}

TEST_F(SaveHistoryTest, EnglishHeadingsAndUpperCaseTxtTakesTheTable)
{
    useEnglish();
    const QStringList english = {"R, Ohm:",  "Imax, A", "Umax, V", "Rout, Ohm",       "ΔR,Ohm", "δR, %",
                                 "Tout, °C", "ΔТ, °C",  "δТ, %",   "Enables decades", "δs, %",  "Δs, Ohm"};
    // The language work sets these captions; here they are set as it would.
    const std::array<QWidget*, 12> widgets = {ui()->Label9,       ui()->checkI,    ui()->checkU,
                                              ui()->CheckTrueVal, ui()->Label14,   ui()->OtklonPercent,
                                              ui()->checkTrueC,   ui()->OtklonC,   ui()->OtklonPercentC,
                                              ui()->CheckBox1,    ui()->Stability, ui()->AbsStability};
    for (int i = 0; i < 12; ++i) {
        const QString text = i == 4 ? QStringLiteral("Ohm") : english[i];
        if (auto* l = qobject_cast<QLabel*>(widgets[i]))
            l->setText(text);
        else
            static_cast<QAbstractButton*>(widgets[i])->setText(text);
    }
    addSet("1,000", dashes());
    const QString path = file("a.TXT");
    saveHistory(path, 1);
    const auto rows = tableOf(path);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], paddedRow(english));
    EXPECT_EQ(rows[1], paddedRow(dashesRow("1,000")));
    EXPECT_FALSE(readBytes(path).startsWith("1,000")) << "a document, not a value list";
}

// Only I max and Rвос selected: the read-out chain keeps "--" in every other column.
TEST_F(SaveHistoryTest, TableOfTwoSetsWithTwoReadouts)
{
    selectVariant(2);
    tick({ui()->checkI, ui()->CheckTrueVal});
    for (const char* value : {"100,00", "2500,00"}) {
        w.curHistoryList->addItem(value);
        w.iMaxText = "14,23 m";
        w.trueValText = QString(value) + "12";
        w.ShowReadouts();
    }
    const QString path = file("t.docx");
    saveHistory(path);
    const auto rows = tableOf(path);
    ASSERT_EQ(rows.size(), 3u);
    for (int r = 1; r <= 2; ++r) {
        ASSERT_EQ(rows[r].size(), 12);
        EXPECT_EQ(rows[r][1], padded("0,01423"));
        EXPECT_EQ(rows[r][3], padded(w.curHistoryList->item(r - 1)->text() + "12"));
        for (int c : {2, 4, 5, 6, 7, 8, 9, 10, 11})
            EXPECT_EQ(rows[r][c], "--  ") << r << " " << c;
    }
}

TEST_F(SaveHistoryTest, EntriesWithoutHistoryAndHistoryWithoutEntries)
{
    // Entries but no completed read-out: the heading row alone.
    w.curHistoryList->addItem("1,000");
    w.curHistoryList->addItem("2,000");
    saveHistory(file("one.docx"));
    EXPECT_EQ(tableOf(file("one.docx")).size(), 1u);

    // A value changed on the instrument itself has a row but no entry: "--" as its set value,
    // whichever place it has among the rows; every other row shows its own entry.
    ClearHistory(w.history);
    Row r = dashes();
    const char* entries[] = {"--", "1,000", "2,000"};
    const char* readouts[] = {"0,9999", "1,0001", "2,0001"};
    for (int i = 0; i < 3; ++i) {
        r[HistTrueVal] = readouts[i];
        w.history.appendRow(r, entries[i]);
    }
    saveHistory(file("more.docx"));
    EXPECT_TRUE(seam.shown().empty());
    const auto rows = tableOf(file("more.docx"));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1][0], "--  ");
    EXPECT_EQ(rows[1][3], padded("0,9999"));
    EXPECT_EQ(rows[2][0], padded("1,000"));
    EXPECT_EQ(rows[3][0], padded("2,000"));
    EXPECT_EQ(rows[3][3], padded("2,0001"));
}

TEST_F(SaveHistoryTest, EmptyListAndUnavailableDocumentsWriteNothing)
{
    const QString path = file("a.docx");
    saveHistory(path);
    EXPECT_EQ(texts(), QStringList{"Информация: Список пуст"});
    EXPECT_FALSE(QFileInfo::exists(path));

    addSet("1,000", dashes());
    shows.setAvailable(false);
    seam.clear();
    saveHistory(path);
    EXPECT_EQ(texts(), QStringList{"Информация: Не удалось сохранить документ."});
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(shows.shown().isEmpty());

    useEnglish();
    seam.clear();
    saveHistory(path);
    EXPECT_EQ(texts(), QStringList{"Information: Document is not saved"});
    EXPECT_FALSE(QFileInfo::exists(path));
}

// An earlier document at the chosen name stays as it was when the new one cannot be written
// or is cut short.
TEST_F(SaveHistoryTest, DocumentThatCannotBeWrittenKeepsTheEarlierFile)
{
    addSet("1,000", dashes());
    const QString earlier = file("a.docx");
    saveHistory(earlier);
    const QByteArray before = readBytes(earlier);
    ASSERT_FALSE(before.isEmpty());
    for (int i = 0; i < 200; ++i)
        addSet(QStringLiteral("%1,000").arg(i), dashes());
    withFileSizeLimit(rlim_t(before.size()) + 100, [&] { saveHistory(earlier); });
    EXPECT_TRUE(readBytes(earlier) == before) << "the earlier document is changed";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"a.docx"});
    ASSERT_EQ(seam.shown().size(), 1u);
    EXPECT_EQ(seam.shown()[0].caption, "Ошибка");
    EXPECT_EQ(shows.shown(), QStringList{earlier}) << "shown once, after the first save only";

    seam.clear();
    const QString folder = file("папка.docx");
    ASSERT_TRUE(QDir().mkdir(folder));
    saveHistory(folder);
    ASSERT_EQ(seam.shown().size(), 1u);
    EXPECT_EQ(seam.shown()[0].caption, "Ошибка");
    EXPECT_EQ(seam.shown()[0].type, DialogType::Error);
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(shows.shown().size(), 1);
}

// LibreOffice Writer reads the history document: headings and values in the table.
TEST_F(SaveHistoryTest, LibreOfficeReadsTheHistoryTable)
{
    selectCelsius(&TForm1::platinum385Click, &TForm1::N1001Click);
    addSet("50", Row{"0,0005000", "0,05", "119,3990", "+0,0031", "+0,0026", "50,0049", "0,0049", "+0,00123 %",
                     "0100000", "0,0217", "0,0259"});
    const QString path = file("history.docx");
    saveHistory(path);
    ASSERT_TRUE(QFileInfo::exists(path));

    QString failure;
    const QString text = testsupport::libreOfficeTexts({path}, dir.path(), &failure).value(0);
    ASSERT_TRUE(failure.isEmpty()) << failure.toStdString();
    EXPECT_TRUE(text.contains(ui()->Label9->text()));
    for (const char* t : {"Iмакс, А", "ΔR,Ом", "Ступени декад", "Δн, Ом", "119,3990", "0,0031", "0,00123",
                          "0100000", "0,0259"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(t))) << t << "\n" << text.toStdString();
    EXPECT_FALSE(text.contains("+0,0031"));
}

// ---- from the instrument ----

class SaveHistoryLinkTest : public LinkFixture
{
protected:
    void SetUp() override
    {
        LinkFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
    }
    QTemporaryDir dir;
    FileDialogSeam files;
    DocumentShowSeam shows;
};

TEST_F(SaveHistoryLinkTest, ValuesSetOnTheInstrumentGoToTheListAndTheTable)
{
    SimInstrument& sim = addSim(3);
    ASSERT_TRUE(connectTo(sim));
    tick({w->ui->CheckTrueVal, w->ui->OtklonOm});
    w->show();
    for (const char* typed : {"100", "2500,5"}) {
        QTest::keyClicks(w->ui->StandartInpEdit, typed);
        QTest::mouseClick(w->ui->StandartInpButtonEnter, Qt::LeftButton);
        ASSERT_TRUE(waitIdle());
    }
    ASSERT_EQ(w->ui->InfoValsOhm->count(), 2);
    ASSERT_EQ(w->history.historyRows, 2);
    EXPECT_EQ(w->ui->InfoValsOhm->item(0)->text(), "100,0");
    EXPECT_EQ(w->ui->InfoValsOhm->item(1)->text(), "2500,5");

    const QString list = dir.filePath("list.txt");
    files.answerWith(list);
    QTest::mouseClick(w->ui->StandartInpButtonSaveAsProfile, Qt::LeftButton);
    EXPECT_EQ(readBytes(list), "RD5540-3;w;o\r\n100,0\r\n2500,5\r\n");

    const QString docx = dir.filePath("table.docx");
    files.answerWith(docx);
    QTest::mouseClick(w->ui->StandartInpButtonSaveAsProfile, Qt::LeftButton);
    const auto rows = tableOf(docx);
    ASSERT_EQ(rows.size(), 3u);
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(rows[r + 1][0], padded(w->ui->InfoValsOhm->item(r)->text()));
        EXPECT_TRUE(w->history.columns[HistTrueVal][r].startsWith(r == 0 ? "100," : "2500,"))
            << "Rвос as the instrument read it back";
        EXPECT_EQ(rows[r + 1][3], padded(w->history.columns[HistTrueVal][r]));
        QString delta = w->history.columns[HistDeltaR][r];
        if (delta.startsWith('+'))
            delta.remove(0, 1);
        EXPECT_EQ(rows[r + 1][4], padded(delta));
        EXPECT_EQ(rows[r + 1][2], "--  ");
    }
    EXPECT_EQ(shows.shown(), QStringList{docx});
}

} // namespace
