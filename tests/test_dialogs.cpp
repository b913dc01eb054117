// Message dialogs: what they show and answer, through the seam and for real; Qt's file
// dialog as the program sets it up.
#include "instrument/FileDialogs.h"
#include "instrument/Mydialogs.h"
#include "tests/DialogSupport.h"
#include "tests/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>

namespace
{

struct BoxCase {
    const char* name;
    QString caption;
    DialogType type;
    DialogButtons buttons;
    QString shownCaption;
    QStringList shownButtons;
};

class MessageBoxTest : public ::testing::TestWithParam<BoxCase>
{
};

TEST_P(MessageBoxTest, ShowsCaptionAndButtons)
{
    const BoxCase& c = GetParam();
    DialogSeam seam;
    EXPECT_EQ(ShowMessageBox(c.caption, QStringLiteral("Соединение разорвано."), c.type, c.buttons), mrOk);
    ASSERT_EQ(seam.shown().size(), 1u);
    const ShownDialog& d = seam.shown().front();
    EXPECT_EQ(d.caption, c.shownCaption);
    EXPECT_EQ(d.text, QStringLiteral("Соединение разорвано."));
    EXPECT_EQ(d.type, c.type);
    EXPECT_EQ(d.buttons, c.shownButtons);
    EXPECT_FALSE(d.confirm);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MessageBoxTest,
    ::testing::Values(
        BoxCase{"emptyWarning", "", DialogType::Warning, mbOK, "Warning", {"OK"}},
        BoxCase{"emptyError", "", DialogType::Error, mbOK, "Error", {"OK"}},
        BoxCase{"emptyInformation", "", DialogType::Information, mbOK, "Information", {"OK"}},
        BoxCase{"emptyConfirmation", "", DialogType::Confirmation, mbOK, "Confirm", {"OK"}},
        BoxCase{"vnimanieOkCancel",
                "Внимание",
                DialogType::Warning,
                mbOK | mbCancel,
                "Внимание",
                {"OK", "Отмена"}},
        BoxCase{"attentionOkCancel",
                "Attention",
                DialogType::Warning,
                mbOK | mbCancel,
                "Attention",
                {"OK", "Cancel"}},
        BoxCase{"oshibkaOkCancel", "Ошибка", DialogType::Error, mbOK | mbCancel, "Ошибка", {"OK", "Cancel"}},
        BoxCase{"vnimanieWithSpace",
                "Внимание ",
                DialogType::Warning,
                mbOK | mbCancel,
                "Внимание ",
                {"OK", "Cancel"}},
        BoxCase{"vnimanieCancelOnly", "Внимание", DialogType::Warning, mbCancel, "Внимание", {"Отмена"}},
        BoxCase{"noButtonsGetsOk", "Информация", DialogType::Information, 0, "Информация", {"OK"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct StandardCaptionCase {
    const char* name;
    DialogType type;
    bool russian;
    QString caption;
};

void PrintTo(const StandardCaptionCase& c, std::ostream* os)
{
    *os << c.name;
}

// English again after each case, as a standalone dialog has it.
class StandardCaptions : public ::testing::TestWithParam<StandardCaptionCase>
{
protected:
    void TearDown() override { setStandardCaptionsRussian(false); }
};

TEST_P(StandardCaptions, AnEmptyCaptionSpeaksTheirLanguage)
{
    const StandardCaptionCase& c = GetParam();
    setStandardCaptionsRussian(c.russian);
    DialogSeam seam;
    ShowMessageBox(QString(), QStringLiteral("Текст"), c.type, mbOK | mbCancel);
    ShowConfirmDialog(QStringLiteral("Текст"), QString(), QStringLiteral("c"), nullptr, c.type,
                      mbOK | mbCancel);
    ASSERT_EQ(seam.shown().size(), 2u);
    EXPECT_EQ(seam.shown()[0].caption, c.caption);
    EXPECT_EQ(seam.shown()[1].caption, c.caption);
    // Only a caller's own caption "Внимание" renames Cancel, not the standard one.
    EXPECT_EQ(seam.shown()[0].buttons, (QStringList{"OK", "Cancel"}));
    EXPECT_EQ(seam.shown()[1].buttons, (QStringList{"Продолжить", "Отмена"}));
    // A caption of the caller's stands as given in either language.
    ShowMessageBox(QStringLiteral("Attention"), QStringLiteral("Текст"), c.type, mbOK);
    EXPECT_EQ(seam.shown().back().caption, QStringLiteral("Attention"));
}

INSTANTIATE_TEST_SUITE_P(
    Languages, StandardCaptions,
    ::testing::Values(StandardCaptionCase{"WarningRu", DialogType::Warning, true, "Внимание"},
                      StandardCaptionCase{"ErrorRu", DialogType::Error, true, "Ошибка"},
                      StandardCaptionCase{"InformationRu", DialogType::Information, true, "Информация"},
                      StandardCaptionCase{"ConfirmationRu", DialogType::Confirmation, true, "Подтверждение"},
                      StandardCaptionCase{"WarningEn", DialogType::Warning, false, "Warning"},
                      StandardCaptionCase{"ErrorEn", DialogType::Error, false, "Error"},
                      StandardCaptionCase{"InformationEn", DialogType::Information, false, "Information"},
                      StandardCaptionCase{"ConfirmationEn", DialogType::Confirmation, false, "Confirm"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DialogSeamTest, ConfirmationButtonsResultAndCheckState)
{
    struct Case {
        const char* name;
        int result;
        bool tick;
    };
    const Case cases[] = {
        {"okClear", mrOk, false}, {"okTicked", mrOk, true}, {"cancelTicked", mrCancel, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogSeam seam;
        seam.answerWith(c.result, c.tick);
        bool checked = !c.tick; // must be overwritten either way
        EXPECT_EQ(ShowConfirmDialog(QStringLiteral("Текст"), QStringLiteral("Внимание"),
                                    QStringLiteral("Больше не спрашивать"), &checked,
                                    DialogType::Confirmation, mbOK | mbCancel),
                  c.result);
        EXPECT_EQ(checked, c.tick);
        ASSERT_EQ(seam.shown().size(), 1u);
        const ShownDialog& d = seam.shown().front();
        EXPECT_TRUE(d.confirm);
        EXPECT_EQ(d.caption, QStringLiteral("Внимание"));
        EXPECT_EQ(d.text, QStringLiteral("Текст"));
        EXPECT_EQ(d.checkText, QStringLiteral("Больше не спрашивать"));
        EXPECT_EQ(d.buttons, (QStringList{"Продолжить", "Отмена"}));
    }
}

TEST(DialogSeamTest, ConfirmationDefaultsAndNoCheckPointer)
{
    DialogSeam seam;
    bool checked = true;
    EXPECT_EQ(ShowConfirmDialog("t", "Attention", "c", &checked, DialogType::Confirmation, mbOK | mbCancel),
              mrOk);
    EXPECT_FALSE(checked);
    EXPECT_EQ(seam.shown().back().buttons, (QStringList{"Продолжить", "Отмена"}));
    // Without a pointer the state is simply not stored.
    seam.answerWith(mrCancel, true);
    EXPECT_EQ(ShowConfirmDialog("t", "", "c", nullptr, DialogType::Confirmation, mbOK), mrCancel);
    EXPECT_EQ(seam.shown().back().caption, QStringLiteral("Confirm"));
    EXPECT_EQ(seam.shown().back().buttons, QStringList{"Продолжить"});
}

TEST(DialogSeamTest, AnswererSeesTheDialogAndSeamsNest)
{
    DialogSeam outer;
    outer.answerWith(mrCancel);
    {
        DialogSeam inner;
        inner.setAnswerer(
            [](const ShownDialog& d, bool*) { return d.caption == "Ошибка" ? mrCancel : mrOk; });
        EXPECT_EQ(ShowMessageBox("Ошибка", "x", DialogType::Error, mbOK | mbCancel), mrCancel);
        EXPECT_EQ(ShowMessageBox("Внимание", "x", DialogType::Warning, mbOK | mbCancel), mrOk);
        EXPECT_EQ(inner.shown().size(), 2u);
        EXPECT_EQ(DialogSeam::active(), &inner);
    }
    EXPECT_EQ(DialogSeam::active(), &outer);
    EXPECT_TRUE(outer.shown().empty());
    EXPECT_EQ(ShowMessageBox("Ошибка", "x", DialogType::Error, mbOK | mbCancel), mrCancel);
    EXPECT_EQ(outer.shown().size(), 1u);
}

TEST(DialogSeamTest, OlderSeamDestroyedFirstLeavesNoDanglingLink)
{
    auto* older = new DialogSeam;
    DialogSeam newer;
    delete older;
    EXPECT_EQ(DialogSeam::active(), &newer);
}

// The real dialog, closed by a timer that plays the operator.
struct Observed {
    QStringList buttons; // left to right, by position on screen
    QString title;
    QString checkText;
    bool found = false;
};

QList<QPushButton*> shownButtons(QDialog* box)
{
    QList<QPushButton*> list;
    for (QPushButton* b : box->findChildren<QPushButton*>())
        if (b->isVisible())
            list << b;
    std::sort(list.begin(), list.end(), [box](QPushButton* a, QPushButton* b) {
        return a->mapTo(box, QPoint(0, 0)).x() < b->mapTo(box, QPoint(0, 0)).x();
    });
    return list;
}

// Acts on the dialog once it is modal: records it, then runs act on it.
void whenModal(Observed* seen, std::function<void(QDialog*)> act)
{
    QTimer::singleShot(20, [seen, act]() {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) {
            whenModal(seen, act);
            return;
        }
        for (QPushButton* b : shownButtons(box))
            seen->buttons << b->text();
        seen->title = box->windowTitle();
        if (auto* check = box->findChild<QCheckBox*>())
            seen->checkText = check->text();
        seen->found = true;
        act(box);
    });
}

QPushButton* buttonWithText(QDialog* box, const QString& text)
{
    for (QPushButton* b : shownButtons(box)) {
        if (b->text() == text)
            return b;
    }
    return nullptr;
}

TEST(RealDialogTest, MessageBoxShowsRussianCancelAndReturnsIt)
{
    ASSERT_EQ(DialogSeam::active(), nullptr);
    Observed seen;
    whenModal(&seen, [](QDialog* box) {
        if (QAbstractButton* b = buttonWithText(box, "Отмена"))
            b->click();
        else
            box->done(0);
    });
    const int result = ShowMessageBox("Внимание", "Прибор не выбран!", DialogType::Warning, mbOK | mbCancel);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.title, QStringLiteral("Внимание"));
    EXPECT_EQ(seen.buttons, (QStringList{"OK", "Отмена"}));
    EXPECT_EQ(result, mrCancel);
}

TEST(RealDialogTest, EscapeAndCloseGiveCancelOrOk)
{
    enum class How { Escape, Close };
    struct Case {
        const char* name;
        DialogButtons buttons;
        How how;
        int result;
    };
    const Case cases[] = {{"escapeOkCancel", mbOK | mbCancel, How::Escape, mrCancel},
                          {"escapeOk", mbOK, How::Escape, mrOk},
                          {"closeOkCancel", mbOK | mbCancel, How::Close, mrCancel},
                          {"closeOk", mbOK, How::Close, mrOk}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Observed seen;
        whenModal(&seen, [how = c.how](QDialog* box) {
            if (how == How::Close) {
                box->close();
                return;
            }
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(box, &press);
        });
        EXPECT_EQ(ShowMessageBox("", "x", DialogType::Information, c.buttons), c.result);
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(seen.title, QStringLiteral("Information"));
    }
}

TEST(RealDialogTest, ConfirmationTickedAndCancelled)
{
    Observed seen;
    int standardWidth = 0;
    QRect cont, cancelRect, check;
    bool startedClear = false;
    whenModal(&seen, [&](QDialog* box) {
        QPushButton* ok = buttonWithText(box, "Продолжить");
        QPushButton* cancel = buttonWithText(box, "Отмена");
        auto* tick = box->findChild<QCheckBox*>();
        if (!ok || !cancel || !tick) {
            box->done(0);
            return;
        }
        QPushButton plain(QStringLiteral("Продолжить"));
        plain.setFont(ok->font());
        standardWidth = plain.sizeHint().width();
        cont = QRect(ok->mapTo(box, QPoint(0, 0)), ok->size());
        cancelRect = QRect(cancel->mapTo(box, QPoint(0, 0)), cancel->size());
        check = QRect(tick->mapTo(box, QPoint(0, 0)), tick->size());
        startedClear = !tick->isChecked();
        tick->setChecked(true);
        cancel->click();
    });
    bool checked = false;
    const int result = ShowConfirmDialog("Перезаписать?", "Внимание", "Больше не спрашивать", &checked,
                                         DialogType::Confirmation, mbOK | mbCancel);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.title, QStringLiteral("Внимание"));
    EXPECT_EQ(seen.buttons, (QStringList{"Продолжить", "Отмена"}));
    EXPECT_EQ(seen.checkText, QStringLiteral("Больше не спрашивать"));
    EXPECT_TRUE(startedClear);
    // Both buttons wider than a standard one, their left edges 30 pixels further apart than
    // side by side, the check box below them from the left edge of "Продолжить".
    EXPECT_EQ(cont.width(), standardWidth + 10);
    EXPECT_EQ(cancelRect.width(), standardWidth + 10);
    EXPECT_GE(cancelRect.left() - cont.left(), cont.width() + 20);
    EXPECT_EQ(check.left(), cont.left());
    EXPECT_GT(check.top(), cont.bottom());
    EXPECT_EQ(result, mrCancel);
    EXPECT_TRUE(checked);
}

TEST(RealDialogTest, ConfirmationEscapeAndOk)
{
    struct Case {
        const char* name;
        bool escape;
        int result;
    };
    for (const Case& c : {Case{"escape", true, mrCancel}, Case{"ok", false, mrOk}}) {
        SCOPED_TRACE(c.name);
        Observed seen;
        whenModal(&seen, [escape = c.escape](QDialog* box) {
            if (!escape) {
                if (QPushButton* b = buttonWithText(box, "Продолжить"))
                    b->click();
                return;
            }
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(box, &press);
        });
        bool checked = true;
        EXPECT_EQ(ShowConfirmDialog("t", "", "c", &checked, DialogType::Confirmation, mbOK | mbCancel),
                  c.result);
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(seen.title, QStringLiteral("Confirm"));
        EXPECT_FALSE(checked);
    }
}

// ---------------------------------------------------------------- the real file dialog

struct FilterCase {
    const char* name;
    QString filter;      // as the window describes it
    QStringList offered; // what the dialog's filter box shows, in order
};

void PrintTo(const FilterCase& c, std::ostream* os)
{
    *os << c.name;
}

class FileDialogFilters : public ::testing::TestWithParam<FilterCase>
{
};

TEST_P(FileDialogFilters, EachReadsAsItsDescription)
{
    FileDialogRequest request;
    request.kind = FileDialogKind::Save;
    request.defaultExt = QStringLiteral("txt");
    request.filter = GetParam().filter;
    QStringList offered;
    const testsupport::WhenShown<QFileDialog> player([&](QFileDialog* dialog) {
        offered = testsupport::textsOf(dialog).filters;
        dialog->reject();
    });
    EXPECT_TRUE(ExecuteFileDialog(request).isEmpty());
    EXPECT_TRUE(player.played());
    EXPECT_EQ(offered, GetParam().offered);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, FileDialogFilters,
    ::testing::Values(FilterCase{"history",
                                 "Профиль номиналов (*.txt)|*.txt|Протокол(*.docx)|*.docx",
                                 {"Профиль номиналов (*.txt)", "Протокол(*.docx)"}},
                      FilterCase{"historyEnglish",
                                 "Values profile(*.txt)|*.txt|Protocol(*.docx)|*.docx",
                                 {"Values profile(*.txt)", "Protocol(*.docx)"}},
                      FilterCase{"eventLog", "Журнал событий(*.txt)|*.txt", {"Журнал событий(*.txt)"}},
                      FilterCase{"textFile", "Текстовый файл|*.txt", {"Текстовый файл"}},
                      FilterCase{"protocol", "Протокол|*.docx", {"Протокол"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FileDialogTest, TheFilterPickedWithTheKeyboardIsReportedByItsNumber)
{
    QTemporaryDir folder;
    FileDialogRequest request;
    request.kind = FileDialogKind::Save;
    request.defaultExt = QStringLiteral("txt");
    request.filter = QStringLiteral("Профиль номиналов (*.txt)|*.txt|Протокол(*.docx)|*.docx");
    for (int filter : {1, 2}) {
        SCOPED_TRACE(filter);
        const testsupport::WhenShown<QFileDialog> player([&](QFileDialog* dialog) {
            EXPECT_TRUE(testsupport::showFolder(dialog, folder.path(), 0));
            auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            types->setFocus();
            if (filter == 2)
                QTest::keyClick(types, Qt::Key_Down);
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QTest::keyClicks(name, QStringLiteral("a.txt"));
            QTest::mouseClick(testsupport::acceptButton(dialog), Qt::LeftButton);
        });
        const FileDialogChoice choice = ExecuteFileDialogChoice(request);
        EXPECT_TRUE(player.played());
        EXPECT_EQ(choice.path, QDir(folder.path()).filePath(QStringLiteral("a.txt")));
        EXPECT_EQ(choice.filterIndex, filter);
    }
}

} // namespace
