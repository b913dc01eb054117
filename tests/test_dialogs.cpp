// Message dialogs: what they show and answer, through the seam and for real.
#include "instrument/Mydialogs.h"
#include "tests/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
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

// Acts on the message box once it is modal: records it, then runs act on it.
void whenModal(Observed* seen, std::function<void(QMessageBox*)> act)
{
    QTimer::singleShot(20, [seen, act]() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) {
            whenModal(seen, act);
            return;
        }
        QList<QAbstractButton*> list = box->buttons();
        std::sort(list.begin(), list.end(), [box](QAbstractButton* a, QAbstractButton* b) {
            return a->mapTo(box, QPoint(0, 0)).x() < b->mapTo(box, QPoint(0, 0)).x();
        });
        for (QAbstractButton* b : list)
            seen->buttons << b->text();
        seen->title = box->windowTitle();
        if (box->checkBox())
            seen->checkText = box->checkBox()->text();
        seen->found = true;
        act(box);
    });
}

QAbstractButton* buttonWithText(QMessageBox* box, const QString& text)
{
    for (QAbstractButton* b : box->buttons()) {
        if (b->text() == text)
            return b;
    }
    return nullptr;
}

TEST(RealDialogTest, MessageBoxShowsRussianCancelAndReturnsIt)
{
    ASSERT_EQ(DialogSeam::active(), nullptr);
    Observed seen;
    whenModal(&seen, [](QMessageBox* box) {
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
        whenModal(&seen, [how = c.how](QMessageBox* box) {
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
    int confirmWidth = 0;
    whenModal(&seen, [&](QMessageBox* box) {
        QAbstractButton* cont = buttonWithText(box, "Продолжить");
        QAbstractButton* cancel = buttonWithText(box, "Отмена");
        if (!cont || !cancel || !box->checkBox()) {
            box->done(0);
            return;
        }
        QPushButton plain(QStringLiteral("Отмена"));
        standardWidth = plain.sizeHint().width();
        confirmWidth = cancel->width();
        EXPECT_FALSE(box->checkBox()->isChecked());
        box->checkBox()->setChecked(true);
        cancel->click();
    });
    bool checked = false;
    const int result = ShowConfirmDialog("Перезаписать?", "Внимание", "Больше не спрашивать", &checked,
                                         DialogType::Confirmation, mbOK | mbCancel);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.buttons, (QStringList{"Продолжить", "Отмена"}));
    EXPECT_EQ(seen.checkText, QStringLiteral("Больше не спрашивать"));
    EXPECT_GE(confirmWidth, standardWidth + 10);
    EXPECT_EQ(result, mrCancel);
    EXPECT_TRUE(checked);
}

} // namespace
