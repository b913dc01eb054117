// The value-list editor: values typed per variant and unit (taken in ohms, or refused with the
// warning), reordering, replacing and removing entries, Backspace, the ways round the key
// filter closed, the file written with its header and handed over, refused paths, a failed
// write that keeps the earlier file, and the editor opened modally from the main window.
#include "instrument/FileDialogs.h"
#include "platform/CodePage.h"
#include "tests/ProfileWindowSupport.h"
#include "tests/WindowFixture.h"
#include "ui/ProfileEdit.h"
#include "ui_TForm2.h"

#include <QClipboard>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <memory>
#include <sys/stat.h>

namespace
{

using profiletest::readBytes;
using profiletest::type;
using profiletest::writeBytes;

const QString kRefusal =
    QStringLiteral("Значение за пределами диапазона прибора или не кратно дискретности!");

class EditorTest : public WindowFixture
{
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
    }

    void TearDown() override
    {
        editor.reset();
        // A test that locked its folder gives it back, so the folder can be removed.
        chmod(QFile::encodeName(dir.path()).constData(), 0755);
    }

    // The value-list input of the main window: its list box is the list the editor fills.
    void listInput()
    {
        ui()->InpType->setCurrentIndex(0);
        w.InpTypeChange();
        ASSERT_EQ(w.curHistoryList, ui()->InfoValsProf);
    }

    // An editor as the main window's buttons make it, for the quantity the window shows.
    void openEditor()
    {
        const bool celsius = w.celsiusMode();
        editor = std::make_unique<TForm2>(&w, w.processor, celsius ? 'c' : 'o', celsius ? w.rtdType : -1,
                                          celsius ? w.processor->Rt0 : 0);
        editor->show();
    }

    Ui::TForm2* eui() { return editor->ui; }

    void add(const std::string& keys)
    {
        type(eui()->Edit, keys);
        QTest::mouseClick(eui()->ButtonAdd, Qt::LeftButton);
    }

    void select(int row) { eui()->ListBox->setCurrentRow(row); }
    int selected() { return eui()->ListBox->currentRow(); }
    QStringList mainList()
    {
        QStringList out;
        for (int i = 0; i < ui()->InfoValsProf->count(); ++i)
            out << ui()->InfoValsProf->item(i)->text();
        return out;
    }

    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }

    void save(const QString& target)
    {
        files.answerWith(target);
        QTest::mouseClick(eui()->ButtonSave, Qt::LeftButton);
    }

    QTemporaryDir dir;
    FileDialogSeam files;
    std::unique_ptr<TForm2> editor;
};

// ---- values per variant and unit ----

struct EntryCase {
    const char* name;
    int variant;      // BoxDevice index
    int unit;         // 0 Ω, 1 kΩ, 2 MΩ; -1: °C, platinum α = 0.00385, R0 100 Ω
    const char* keys; // typed into the value edit
    const char* shown;
    const char* stored; // nullptr: refused with the warning
};

class EntryTable : public EditorTest, public ::testing::WithParamInterface<EntryCase>
{
};

TEST_P(EntryTable, TypedValueIsStoredInOhmsOrRefused)
{
    const EntryCase& c = GetParam();
    selectVariant(c.variant);
    if (c.unit < 0)
        selectCelsius(&TForm1::platinum385Click, &TForm1::N1001Click);
    else
        selectUnit(c.unit);
    openEditor();
    type(eui()->Edit, c.keys);
    EXPECT_EQ(eui()->Edit->text(), QString::fromUtf8(c.shown));
    QTest::mouseClick(eui()->ButtonAdd, Qt::LeftButton);

    if (!c.stored) {
        EXPECT_TRUE(editor->entries().isEmpty());
        ASSERT_EQ(seam.shown().size(), 1u);
        EXPECT_EQ(seam.shown()[0].caption, QStringLiteral("Внимание"));
        EXPECT_EQ(seam.shown()[0].text, kRefusal);
        EXPECT_EQ(seam.shown()[0].type, DialogType::Warning);
        EXPECT_EQ(eui()->Edit->text(), QString::fromUtf8(c.shown)) << "the text stays";
        return;
    }
    EXPECT_TRUE(seam.shown().empty());
    EXPECT_EQ(editor->entries(), QStringList{QString::fromUtf8(c.stored)});
    EXPECT_TRUE(eui()->Edit->text().isEmpty());
    // The window's unit and pattern are those of before: the same keys give the same entry.
    if (c.unit >= 0)
        EXPECT_EQ(ui()->ChooseOhm->currentIndex(), c.unit);
    EXPECT_EQ(w.celsiusMode(), c.unit < 0);
    eui()->Edit->clear();
    type(eui()->Edit, c.keys);
    QTest::keyClick(eui()->Edit, Qt::Key_Return); // Enter in the value edit adds too
    EXPECT_EQ(editor->entries(), (QStringList{QString::fromUtf8(c.stored), QString::fromUtf8(c.stored)}));
}

INSTANTIATE_TEST_SUITE_P(
    Values, EntryTable,
    ::testing::Values(EntryCase{"Rd3KiloOhm", 2, 1, "1,5", "1,5", "1500,0"},
                      EntryCase{"Rd1OhmFifthDigitStartsDecimals", 0, 0, "12345", "1234,5", "1234,500"},
                      EntryCase{"Rd1OhmPointIsComma", 0, 0, "12.5", "12,5", "12,500"},
                      EntryCase{"Rd1MegaOhmZeroShortcut", 0, 2, "0,001", "0,001", "1000,000"},
                      EntryCase{"Rd2KiloOhmTopOfRange", 1, 1, "99,99999", "99,99999", "99999,99"},
                      EntryCase{"Rd4OhmLoneZeroTakesNoDigit", 3, 0, "05", "0", "0"},
                      EntryCase{"Rd4KiloOhm", 3, 1, "2,5", "2,5", "2500"},
                      EntryCase{"Rd4OhmCommaStartsNoFraction", 3, 0, ",5", "5", "5"},
                      EntryCase{"Rd5OhmDigitsGoBeforeTheFinalZero", 4, 0, "53", "530", "530"},
                      EntryCase{"Rd5OhmFinalZeroDeletedIsRefused", 4, 0, "5D", "5", nullptr},
                      EntryCase{"Rd5KiloOhm", 4, 1, "1,55", "1,55", "1550"},
                      EntryCase{"CelsiusNegative", 0, -1, "-50", "-50", "-50,00"},
                      EntryCase{"CelsiusLoneMinusIsNoValue", 0, -1, "-", "-", nullptr},
                      EntryCase{"CelsiusOutOfRangeDigitDropped", 0, -1, "8509", "850", "850,00"}),
    [](const ::testing::TestParamInfo<EntryCase>& info) { return std::string(info.param.name); });

TEST_F(EditorTest, EmptyEditAddsNothing)
{
    openEditor();
    QTest::mouseClick(eui()->ButtonAdd, Qt::LeftButton);
    EXPECT_TRUE(editor->entries().isEmpty());
    EXPECT_TRUE(seam.shown().empty());
}

// ---- reordering, replacing, removing ----

TEST_F(EditorTest, MoveUpAndDownKeepTheEntrySelected)
{
    openEditor();
    add("1");
    add("2");
    add("3");
    ASSERT_EQ(editor->entries(), (QStringList{"1,000", "2,000", "3,000"}));

    // Nothing selected: neither moves anything.
    eui()->ListBox->setCurrentRow(-1);
    QTest::mouseClick(eui()->ButtonUp, Qt::LeftButton);
    QTest::mouseClick(eui()->ButtonDown, Qt::LeftButton);
    EXPECT_EQ(editor->entries(), (QStringList{"1,000", "2,000", "3,000"}));

    select(2);
    QTest::mouseClick(eui()->ButtonUp, Qt::LeftButton);
    EXPECT_EQ(editor->entries(), (QStringList{"1,000", "3,000", "2,000"}));
    EXPECT_EQ(selected(), 1);
    QTest::mouseClick(eui()->ButtonUp, Qt::LeftButton);
    QTest::mouseClick(eui()->ButtonUp, Qt::LeftButton); // at the top: nothing
    EXPECT_EQ(editor->entries(), (QStringList{"3,000", "1,000", "2,000"}));
    EXPECT_EQ(selected(), 0);

    QTest::mouseClick(eui()->ButtonDown, Qt::LeftButton);
    EXPECT_EQ(editor->entries(), (QStringList{"1,000", "3,000", "2,000"}));
    EXPECT_EQ(selected(), 1);
    QTest::mouseClick(eui()->ButtonDown, Qt::LeftButton);
    QTest::mouseClick(eui()->ButtonDown, Qt::LeftButton); // on the last entry: nothing
    EXPECT_EQ(editor->entries(), (QStringList{"1,000", "2,000", "3,000"}));
    EXPECT_EQ(selected(), 2);
}

TEST_F(EditorTest, ReplacePutsTheValueInPlaceOfTheSelectedEntry)
{
    selectUnit(1); // kΩ: the replacement is stored in ohms too
    openEditor();
    add("1");
    add("2");
    type(eui()->EditReplace, "7");
    eui()->ListBox->setCurrentRow(-1);
    QTest::mouseClick(eui()->ButtonReplace, Qt::LeftButton); // nothing selected
    EXPECT_EQ(editor->entries(), (QStringList{"1000,000", "2000,000"}));

    select(1);
    eui()->EditReplace->clear();
    QTest::mouseClick(eui()->ButtonReplace, Qt::LeftButton); // empty replace field
    EXPECT_EQ(editor->entries(), (QStringList{"1000,000", "2000,000"}));

    type(eui()->EditReplace, "7");
    QTest::mouseClick(eui()->ButtonReplace, Qt::LeftButton);
    EXPECT_EQ(editor->entries(), (QStringList{"1000,000", "7000,000"}));
    EXPECT_EQ(selected(), 1);
    EXPECT_EQ(eui()->EditReplace->text(), QStringLiteral("7,000000")) << "kept, in the kΩ format";

    select(0);
    eui()->EditReplace->clear();
    type(eui()->EditReplace, "3E"); // Enter in the replace field replaces
    EXPECT_EQ(editor->entries(), (QStringList{"3000,000", "7000,000"}));
    EXPECT_TRUE(seam.shown().empty());
}

TEST_F(EditorTest, RemoveSelectsTheEntryThatTakesItsPlace)
{
    openEditor();
    add("1");
    add("2");
    add("3");
    eui()->ListBox->setCurrentRow(-1);
    QTest::mouseClick(eui()->ButtonDelete, Qt::LeftButton);
    EXPECT_EQ(editor->entries().size(), 3);

    select(0);
    QTest::mouseClick(eui()->ButtonDelete, Qt::LeftButton);
    EXPECT_EQ(editor->entries(), (QStringList{"2,000", "3,000"}));
    EXPECT_EQ(selected(), 0);
    select(1);
    QTest::mouseClick(eui()->ButtonDelete, Qt::LeftButton);
    EXPECT_EQ(editor->entries(), QStringList{"2,000"});
    EXPECT_EQ(selected(), -1) << "the last entry removed: none selected";
    EXPECT_TRUE(eui()->ListBox->selectedItems().isEmpty());
}

// ---- Backspace and the ways round the key filter ----

TEST_F(EditorTest, BackspaceRemovesTheCharacterBeforeTheCaretOrTheSelection)
{
    openEditor();
    for (QLineEdit* e : {eui()->Edit, eui()->EditReplace}) {
        type(e, "123");
        type(e, "HB"); // at the start with nothing selected: nothing is removed
        EXPECT_EQ(e->text(), QStringLiteral("123"));
        EXPECT_EQ(e->cursorPosition(), 0);
        QTest::keyClick(e, Qt::Key_End);
        type(e, "<B"); // the 2 before the caret
        EXPECT_EQ(e->text(), QStringLiteral("13"));
        EXPECT_EQ(e->cursorPosition(), 1);
        QTest::keyClick(e, Qt::Key_End);
        type(e, "SSB"); // the selection
        EXPECT_EQ(e->text(), QString());
        EXPECT_EQ(e->cursorPosition(), 0);
    }
}

TEST_F(EditorTest, PasteDropAndComposedTextBypassNoFilter)
{
    openEditor();
    QLineEdit* e = eui()->Edit;
    EXPECT_EQ(e->contextMenuPolicy(), Qt::NoContextMenu);
    EXPECT_FALSE(e->acceptDrops());

    type(e, "12");
    QGuiApplication::clipboard()->setText(QStringLiteral("abc99"));
    type(e, "V");
    QTest::keyClick(e, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(e->text(), QStringLiteral("12"));
    // The X11 selection, which a middle click pastes (only on the xcb platform: PasteUnderX11).
    if (QGuiApplication::clipboard()->supportsSelection())
        QGuiApplication::clipboard()->setText(QStringLiteral("77"), QClipboard::Selection);
    QTest::mouseClick(e, Qt::MiddleButton);
    EXPECT_EQ(e->text(), QStringLiteral("12"));

    QMimeData mime;
    mime.setText(QStringLiteral("abc"));
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(e, &drop);
    EXPECT_EQ(e->text(), QStringLiteral("12"));

    // Composed text is typed through the filter: the letter is dropped, the digit taken.
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("x3"));
    QApplication::sendEvent(e, &composed);
    EXPECT_EQ(e->text(), QStringLiteral("123"));
}

// RD5540-5: the edits start with the final zero; a click puts the caret before it.
TEST_F(EditorTest, Rd5ClickPutsTheCaretBeforeTheFinalZero)
{
    selectVariant(4);
    openEditor();
    for (QLineEdit* e : {eui()->Edit, eui()->EditReplace}) {
        EXPECT_EQ(e->text(), QStringLiteral("0"));
        QTest::mouseClick(e, Qt::LeftButton, {}, QPoint(e->width() - 4, e->height() / 2));
        EXPECT_EQ(e->cursorPosition(), 0);
        type(e, "5");
        EXPECT_EQ(e->text(), QStringLiteral("50"));
        EXPECT_EQ(e->cursorPosition(), 1);
    }
}

// ---- captions ----

TEST_F(EditorTest, CaptionsFollowTheMainWindowLanguageAndMessagesStayRussian)
{
    useEnglish();
    openEditor();
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("Edit profile"));
    EXPECT_EQ(eui()->ButtonAdd->text(), QStringLiteral("Add value"));
    EXPECT_EQ(eui()->ButtonUp->text(), QStringLiteral("Move up"));
    EXPECT_EQ(eui()->ButtonDown->text(), QStringLiteral("Move down"));
    EXPECT_EQ(eui()->ButtonReplace->text(), QStringLiteral("Insert"));
    EXPECT_EQ(eui()->ButtonDelete->text(), QStringLiteral("Remove"));
    EXPECT_EQ(eui()->okButton->text(), QStringLiteral("OK"));
    EXPECT_EQ(eui()->ButtonSave->text(), QStringLiteral("Save"));
    EXPECT_EQ(editor->size(), QSize(359, 381));

    selectVariant(4); // RD5540-5: a lone 5 is no multiple of 10 Ω
    eui()->Edit->setText(QStringLiteral("5"));
    QTest::mouseClick(eui()->ButtonAdd, Qt::LeftButton);
    ASSERT_EQ(seam.shown().size(), 1u);
    EXPECT_EQ(seam.shown()[0].caption, QStringLiteral("Внимание"));
    EXPECT_EQ(seam.shown()[0].text, kRefusal);

    editor.reset();
    ui()->English->setChecked(false);
    ui()->Russian->setChecked(true);
    openEditor();
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("Изменение профиля"));
    EXPECT_EQ(eui()->ButtonReplace->text(), QStringLiteral("Заменить"));
    EXPECT_EQ(eui()->okButton->text(), QStringLiteral("ОК"));
    EXPECT_EQ(eui()->ButtonSave->text(), QStringLiteral("Сохранить в файл"));
}

// ---- handing over and saving ----

TEST_F(EditorTest, SaveWritesTheHeaderAndTheValuesAndHandsTheListOver)
{
    selectVariant(2);
    selectUnit(1);
    listInput();
    w.listInCelsius = 1;
    openEditor();
    add("1,5");
    add("2");
    save(path(QStringLiteral("список.txt")));

    EXPECT_EQ(readBytes(path(QStringLiteral("список.txt"))),
              QByteArray("RD5540-3;w;o\r\n1500,0\r\n2000,0\r\n"));
    ASSERT_EQ(files.shown().size(), 1u);
    const FileDialogRequest& r = files.shown()[0];
    EXPECT_EQ(r.kind, FileDialogKind::Save);
    EXPECT_EQ(r.filter, QStringLiteral("Текстовый файл|*.txt"));
    EXPECT_EQ(r.fileName, QStringLiteral("New profile.txt"));
    EXPECT_EQ(r.defaultExt, QStringLiteral("txt"));
    EXPECT_TRUE(r.overwritePrompt);

    ASSERT_EQ(seam.shown().size(), 1u);
    EXPECT_EQ(seam.shown()[0].caption, QStringLiteral("Информация"));
    EXPECT_EQ(seam.shown()[0].text, QStringLiteral("Профиль сохранён."));
    EXPECT_EQ(seam.shown()[0].type, DialogType::Information);
    EXPECT_EQ(editor->entries(), (QStringList{"1500,0", "2000,0"})) << "no header in the list";
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(editor->result(), QDialog::Accepted);

    EXPECT_EQ(mainList(), (QStringList{"1500,0", "2000,0"}));
    EXPECT_EQ(w.listInCelsius, 0);
    EXPECT_EQ(w.processor->profPath, cp1251::fromUnicode(path(QStringLiteral("список.txt"))));
    EXPECT_EQ(ui()->ChooseOhm->currentIndex(), 1);
}

TEST_F(EditorTest, CelsiusListHeaderNamesTheThermometer)
{
    selectCelsius(&TForm1::platinum385Click, &TForm1::N1001Click);
    listInput();
    openEditor();
    add("-50");
    add("120,5");
    save(path(QStringLiteral("c.txt")));
    EXPECT_EQ(readBytes(path(QStringLiteral("c.txt"))),
              QByteArray("RD5540-1;w;c;1;100\r\n-50,00\r\n120,50\r\n"));
    EXPECT_EQ(mainList(), (QStringList{"-50,00", "120,50"}));
    EXPECT_EQ(w.listInCelsius, 1);
    EXPECT_EQ(w.listRtdType, 1);
    EXPECT_EQ(w.listRt0, 100);
}

// What the editor writes, the list reader takes back: the same entries, quantity,
// thermometer and R0.
TEST_F(EditorTest, SavedListOpensAgainAsTheSameList)
{
    selectCelsius(&TForm1::copper428Click, &TForm1::N01Click);
    listInput();
    openEditor();
    add("-180");
    add("199,9");
    save(path(QStringLiteral("cu.txt")));
    ASSERT_EQ(mainList(), (QStringList{"-180,0", "199,9"}));

    w.OhmClick(ui()->Ohm); // another quantity: the list box is cleared
    ASSERT_TRUE(mainList().isEmpty());
    w.processor->setProfPath(cp1251::fromUnicode(path(QStringLiteral("cu.txt"))));
    w.LoadValueList();
    EXPECT_TRUE(seam.shown().size() == 1u) << "only the editor's \"Профиль сохранён.\"";
    EXPECT_EQ(mainList(), (QStringList{"-180,0", "199,9"}));
    EXPECT_TRUE(w.celsiusMode());
    EXPECT_EQ(w.rtdType, 2);
    EXPECT_EQ(w.processor->Rt0, 10);
    EXPECT_EQ(w.listInCelsius, 1);

    // An Ohm list written in kΩ holds ohms, which the reader checks against the Ω pattern.
    w.OhmClick(ui()->Ohm);
    selectVariant(1);
    selectUnit(2);
    editor.reset();
    openEditor();
    add("0,09999999");
    save(path(QStringLiteral("r.txt")));
    ASSERT_EQ(mainList(), QStringList{"99999,99"});
    ui()->InfoValsProf->clear();
    w.LoadValueList();
    EXPECT_EQ(mainList(), QStringList{"99999,99"});
    EXPECT_FALSE(w.celsiusMode());
    EXPECT_EQ(w.listInCelsius, 0);
}

TEST_F(EditorTest, CancelledSaveHandsNothingOver)
{
    listInput();
    ui()->InfoValsProf->addItem(QStringLiteral("9,000"));
    w.listInCelsius = 1;
    w.processor->setProfPath("/earlier.txt");
    openEditor();
    add("1");
    save(QString());
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(seam.shown().empty());
    EXPECT_EQ(mainList(), QStringList{"9,000"});
    EXPECT_EQ(w.listInCelsius, 1);
    EXPECT_EQ(w.processor->profPath, QByteArray("/earlier.txt"));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(EditorTest, OkHandsTheListOverWithoutWriting)
{
    selectCelsius(&TForm1::copper428Click, &TForm1::N501Click);
    listInput();
    openEditor();
    add("25");
    QTest::mouseClick(eui()->okButton, Qt::LeftButton);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(mainList(), QStringList{"25,00"});
    EXPECT_EQ(w.listInCelsius, 1);
    EXPECT_EQ(w.listRtdType, 2);
    EXPECT_EQ(w.listRt0, 50);
    EXPECT_TRUE(files.shown().empty());
}

// A path is taken only when its code page 1251 bytes fit the 100-byte buffer with the zero;
// otherwise nothing is written, nothing handed over and the editor stays open.
struct PathCase {
    const char* name;
    int bytes;         // length of the whole path in code page 1251
    const char* stem;  // the file name is made of this character
    const char* error; // nullptr: taken
};

class PathRules : public EditorTest, public ::testing::WithParamInterface<PathCase>
{
protected:
    QString makePath(const PathCase& c) const
    {
        const QString base = dir.path() + QStringLiteral("/");
        const QString stem = QString::fromUtf8(c.stem);
        const int fill = c.bytes - int(base.size()) - 4; // ".txt"
        return base + QString(fill, stem.front()) + QStringLiteral(".txt");
    }
};

TEST_P(PathRules, LongOrForeignPathIsRefusedWithAMessage)
{
    const PathCase& c = GetParam();
    listInput();
    ui()->InfoValsProf->addItem(QStringLiteral("9,000"));
    openEditor();
    add("1");
    const QString target = makePath(c);
    ASSERT_EQ(cp1251::fromUnicode(target.left(dir.path().size() + 1)).size(), dir.path().size() + 1);
    save(target);

    if (!c.error) {
        EXPECT_TRUE(QFile::exists(target));
        EXPECT_EQ(mainList(), QStringList{"1,000"});
        EXPECT_EQ(w.processor->profPath, cp1251::fromUnicode(target));
        return;
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty()) << "no file under any name";
    ASSERT_EQ(seam.shown().size(), 1u);
    EXPECT_EQ(seam.shown()[0].caption, QStringLiteral("Ошибка"));
    EXPECT_EQ(seam.shown()[0].text, QString::fromUtf8(c.error));
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->entries(), QStringList{"1,000"}) << "no header left in the list";
    EXPECT_EQ(mainList(), QStringList{"9,000"});
    EXPECT_TRUE(w.processor->profPath.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PathRules,
    ::testing::Values(PathCase{"NinetyNineBytesFit", 99, "a", nullptr},
                      PathCase{"CyrillicCountsOneByteEach", 99, "ж", nullptr},
                      PathCase{"HundredBytesDoNot", 100, "a",
                               "Путь к файлу длиннее 99 байт. Выберите более короткий путь."},
                      PathCase{
                          "CharacterOutsideTheCodePage", 60, "路",
                          "Путь к файлу содержит символы вне кодовой страницы 1251. Выберите другое имя."}),
    [](const ::testing::TestParamInfo<PathCase>& info) { return std::string(info.param.name); });

TEST_F(EditorTest, FailedWriteKeepsTheEarlierFileAndTheEditorOpen)
{
    listInput();
    ui()->InfoValsProf->addItem(QStringLiteral("9,000"));
    openEditor();
    add("1");
    const QString target = path(QStringLiteral("old.txt"));
    const QByteArray earlier = "RD5540-1;w;o\r\n5,000\r\n";
    ASSERT_TRUE(writeBytes(target, earlier));
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    {
        profiletest::UnprivilegedFiles asUser;
        save(target);
    }
    chmod(QFile::encodeName(dir.path()).constData(), 0755);

    EXPECT_EQ(readBytes(target), earlier);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"old.txt"});
    ASSERT_EQ(seam.shown().size(), 1u);
    EXPECT_EQ(seam.shown()[0].caption, QStringLiteral("Ошибка"));
    EXPECT_TRUE(seam.shown()[0].text.startsWith(QStringLiteral("Не удалось записать файл:\n") + target))
        << seam.shown()[0].text.toStdString();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->entries(), QStringList{"1,000"}) << "no header left in the list";
    EXPECT_EQ(mainList(), QStringList{"9,000"});
    EXPECT_TRUE(w.processor->profPath.isEmpty());

    // Once the folder takes files again, the same list is saved.
    save(target);
    EXPECT_EQ(readBytes(target), QByteArray("RD5540-1;w;o\r\n1,000\r\n"));
    EXPECT_EQ(mainList(), QStringList{"1,000"});
}

// ---- opened from the main window ----

TEST_F(EditorTest, CreateOpensAnEmptyModalEditorBesideTheMainWindow)
{
    listInput();
    ui()->InfoValsProf->addItem(QStringLiteral("9,000"));
    w.show();
    profiletest::withModal<TForm2>([&] { QTest::mouseClick(ui()->ProfileInpButtonCreate, Qt::LeftButton); },
                                   [&](TForm2* ed) {
                                       EXPECT_EQ(ed->pos(), testsupport::placedAt(ed, w.pos() + QPoint(50, 50)));
                                       EXPECT_EQ(ed->listKind, 'o');
                                       EXPECT_EQ(ed->listRtdType, -1);
                                       EXPECT_EQ(ed->listRt0, 0);
                                       EXPECT_TRUE(ed->entries().isEmpty());
                                       type(ed->ui->Edit, "4E5E");
                                       QTest::mouseClick(ed->ui->okButton, Qt::LeftButton);
                                   });
    EXPECT_EQ(mainList(), (QStringList{"4,000", "5,000"}));
    EXPECT_EQ(w.listInCelsius, 0);
}

TEST_F(EditorTest, ChangeOpensTheListAndTheCloseBoxHandsNothingOver)
{
    selectCelsius(&TForm1::nickel617Click, &TForm1::N10001Click);
    listInput();
    ui()->InfoValsProf->addItems({QStringLiteral("10,00"), QStringLiteral("20,00")});
    w.listInCelsius = 1;
    w.listRtdType = 3;
    w.listRt0 = 1000;
    w.show();
    profiletest::withModal<TForm2>([&] { QTest::mouseClick(ui()->ProfileInpButtonChange, Qt::LeftButton); },
                                   [&](TForm2* ed) {
                                       EXPECT_EQ(ed->listKind, 'c');
                                       EXPECT_EQ(ed->listRtdType, 3);
                                       EXPECT_EQ(ed->listRt0, 1000);
                                       EXPECT_EQ(ed->entries(), (QStringList{"10,00", "20,00"}));
                                       ed->ui->ListBox->setCurrentRow(0);
                                       QTest::mouseClick(ed->ui->ButtonDelete, Qt::LeftButton);
                                       QTest::keyClick(ed, Qt::Key_Escape); // does not close it
                                       EXPECT_TRUE(ed->isVisible());
                                       ed->close();
                                   });
    EXPECT_EQ(mainList(), (QStringList{"10,00", "20,00"}));
    EXPECT_EQ(w.listInCelsius, 1);
}

// A list opened from a file and changed in the editor is written in the encoding the file was
// read in, BOM included, with CR LF line ends; a list created new is code page 1251.
struct EncodingCase {
    const char* name;
    const char* bom;
    QByteArray (*encode)(const QString& text);
};

QByteArray asCp1251(const QString& text)
{
    return cp1251::fromUnicode(text);
}
QByteArray asUtf8(const QString& text)
{
    return text.toUtf8();
}
QByteArray asUtf16(const QString& text, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}
QByteArray asUtf16LE(const QString& text)
{
    return asUtf16(text, QStringConverter::Utf16LE);
}
QByteArray asUtf16BE(const QString& text)
{
    return asUtf16(text, QStringConverter::Utf16BE);
}

void PrintTo(const EncodingCase& c, std::ostream* os)
{
    *os << c.name;
}

class SavedEncoding : public EditorTest, public ::testing::WithParamInterface<EncodingCase>
{
protected:
    QByteArray file(const EncodingCase& c, const QString& text) const
    {
        return QByteArray(c.bom) + c.encode(text);
    }

    // The main window's Open button with the file chosen in its dialog.
    void openThroughTheWindow(const QString& target)
    {
        files.answerWith(target);
        QTest::mouseClick(ui()->ProfileInpButtonOpen, Qt::LeftButton);
    }

    // The editor opened from the main window's button, a value added and the list saved.
    void editAndSave(QPushButton* button, const char* value, const QString& target)
    {
        profiletest::withModal<TForm2>([&] { QTest::mouseClick(button, Qt::LeftButton); },
                                       [&](TForm2* ed) {
                                           type(ed->ui->Edit, value);
                                           QTest::mouseClick(ed->ui->ButtonAdd, Qt::LeftButton);
                                           files.answerWith(target);
                                           QTest::mouseClick(ed->ui->ButtonSave, Qt::LeftButton);
                                       });
    }
};

TEST_P(SavedEncoding, ChangedListKeepsTheEncodingOfItsFileAndANewListIsCp1251)
{
    const EncodingCase& c = GetParam();
    listInput();
    w.show();
    // Lines ended by LF alone are read as well; the editor writes CR LF.
    const QString opened = path(QStringLiteral("opened.txt"));
    ASSERT_TRUE(writeBytes(opened, file(c, QStringLiteral("RD5540-1;w;o\n1,000\n2,000\n"))));
    openThroughTheWindow(opened);
    ASSERT_EQ(mainList(), (QStringList{"1,000", "2,000"}));

    const QString changed = path(QStringLiteral("changed.txt"));
    editAndSave(ui()->ProfileInpButtonChange, "3", changed);
    EXPECT_EQ(readBytes(changed), file(c, QStringLiteral("RD5540-1;w;o\r\n1,000\r\n2,000\r\n3,000\r\n")));
    EXPECT_EQ(mainList(), (QStringList{"1,000", "2,000", "3,000"}));

    // The saved file opens again as the same list, and changed again keeps its encoding.
    openThroughTheWindow(changed);
    ASSERT_EQ(mainList(), (QStringList{"1,000", "2,000", "3,000"}));
    editAndSave(ui()->ProfileInpButtonChange, "4", changed);
    EXPECT_EQ(readBytes(changed),
              file(c, QStringLiteral("RD5540-1;w;o\r\n1,000\r\n2,000\r\n3,000\r\n4,000\r\n")));

    const QString created = path(QStringLiteral("created.txt"));
    editAndSave(ui()->ProfileInpButtonCreate, "5", created);
    EXPECT_EQ(readBytes(created), QByteArray("RD5540-1;w;o\r\n5,000\r\n"));
    // The new list is the window's list now: changed, it stays code page 1251.
    editAndSave(ui()->ProfileInpButtonChange, "6", created);
    EXPECT_EQ(readBytes(created), QByteArray("RD5540-1;w;o\r\n5,000\r\n6,000\r\n"));
    EXPECT_EQ(seam.shown().size(), 4u) << "only the four \"Профиль сохранён.\"";
}

INSTANTIATE_TEST_SUITE_P(Encodings, SavedEncoding,
                         ::testing::Values(EncodingCase{"Cp1251", "", asCp1251},
                                           EncodingCase{"Utf8", "\xEF\xBB\xBF", asUtf8},
                                           EncodingCase{"Utf16LE", "\xFF\xFE", asUtf16LE},
                                           EncodingCase{"Utf16BE", "\xFE\xFF", asUtf16BE}),
                         [](const ::testing::TestParamInfo<EncodingCase>& info) {
                             return std::string(info.param.name);
                         });

// A list box emptied since its file was opened holds no list of that file: the editor opened
// on it makes a new list.
TEST_F(EditorTest, ListEmptiedSinceItsFileWasOpenedIsSavedAsCp1251)
{
    listInput();
    w.show();
    const QString opened = path(QStringLiteral("opened.txt"));
    ASSERT_TRUE(writeBytes(opened, QByteArray("\xEF\xBB\xBF") + "RD5540-1;w;o\r\n1,000\r\n"));
    files.answerWith(opened);
    QTest::mouseClick(ui()->ProfileInpButtonOpen, Qt::LeftButton);
    ASSERT_EQ(mainList(), QStringList{"1,000"});
    selectVariant(1); // another variant empties the lists
    ASSERT_TRUE(mainList().isEmpty());

    const QString saved = path(QStringLiteral("saved.txt"));
    profiletest::withModal<TForm2>([&] { QTest::mouseClick(ui()->ProfileInpButtonChange, Qt::LeftButton); },
                                   [&](TForm2* ed) {
                                       type(ed->ui->Edit, "7");
                                       QTest::mouseClick(ed->ui->ButtonAdd, Qt::LeftButton);
                                       files.answerWith(saved);
                                       QTest::mouseClick(ed->ui->ButtonSave, Qt::LeftButton);
                                   });
    EXPECT_EQ(readBytes(saved), QByteArray("RD5540-2;w;o\r\n7,00\r\n"));
}

} // namespace
