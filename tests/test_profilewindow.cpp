// The profile window: grid and layout per mode, cell entry by keys, the deviation and
// tolerance check, saving to a profile file and the question on closing.
#include "instrument/Mydialogs.h"
#include "instrument/ProfileProcessor.h"
#include "platform/NumberText.h"
#include "tests/ProfileWindowSupport.h"
#include "tests/WindowFixture.h"
#include "ui_TForm1.h"
#include "ui_TForm3.h"
#include "verification/FProfileEdit.h"
#include "verification/TsEdit.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTemporaryDir>
#include <QToolButton>
#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>

using profiletest::readBytes;
using profiletest::type;
using profiletest::UnprivilegedFiles;
using profiletest::writeBytes;

namespace
{

const QColor Red(255, 0, 0);

class ProfileWindow : public WindowFixture
{
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        w.connected = true;
        w.processor->precClass = QStringLiteral("0,01");
        ui()->deviceFullName->setText(QStringLiteral("RD5540-1"));
    }

    // A profile window of variant 1..5, shown and active so that focus moves as typed.
    TForm3* open(int variant, bool compare, bool verify)
    {
        selectVariant(variant - 1);
        form = std::make_unique<TForm3>(nullptr, w.processor, compare, verify);
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        return form.get();
    }

    TsEdit* cell(int k) { return form->valEdits[std::size_t(k)]; }
    QString caption(int k) { return cell(k)->boundLabel()->text(); }

    // Fills every cell, R02 and R04 of the window with valid texts of the variant.
    void fillAll(const QString& r02 = QStringLiteral("0,0100"), const QString& r04 = QStringLiteral("0,0100"))
    {
        for (TsEdit* e : form->valEdits)
            e->setText(e->boundLabel()->text());
        form->ui->R02->setText(r02);
        form->ui->R04->setText(r04);
    }

    std::unique_ptr<TForm3> form;
    FileDialogSeam files;
};

// ---------------------------------------------------------------- construction and layout

TEST_F(ProfileWindow, EditModeOfRd5540_1HasTheDesignedGeometry)
{
    open(1, true, false);
    EXPECT_EQ(form->width(), 1021);
    EXPECT_EQ(form->height(), 595);
    ASSERT_EQ(form->valEdits.size(), 63u);
    EXPECT_EQ(caption(0), QStringLiteral("9000"));
    EXPECT_EQ(caption(62), QStringLiteral("0,001"));
    EXPECT_EQ(caption(8), QStringLiteral("1000"));
    EXPECT_EQ(form->ui->SaveButton->x(), 858);
    EXPECT_EQ(cell(62)->geometry(), QRect(6 * 139 + 24, 8 * 45 + 48, 75, 23));
    EXPECT_EQ(form->otklonLabels[0]->text(), QStringLiteral("0,000000%"));
    EXPECT_EQ(form->otklonLabels[0]->pos(), QPoint(24 + 75 + 3, 48 + 5));
    EXPECT_TRUE(form->senderBtns.empty());
    for (QWidget* hidden :
         {static_cast<QWidget*>(form->ui->btn2x), static_cast<QWidget*>(form->ui->btn4x),
          static_cast<QWidget*>(form->ui->Protocol_btn), static_cast<QWidget*>(form->ui->FirstCal)})
        EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
    // Below the grid: the zero-resistance edits moved down by the top of the last row.
    EXPECT_EQ(form->ui->R02->y(), 82 + 408);
    EXPECT_EQ(form->ui->SaveButton->y(), form->ui->R02->y() + 11);
    EXPECT_EQ(form->ui->priemCoef->y(), form->ui->PrecClass->y() + 23);
    EXPECT_EQ(form->ui->PrecClass->text(), QStringLiteral("0,01"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Изменение профиля"));
    // The acceptance ratio stands at 190, or right of it just enough that its caption, which
    // a wider fallback face makes wider, starts inside the window.
    const int ratioCaption = form->ui->priemCoef->boundLabel()->x();
    EXPECT_GE(form->ui->priemCoef->x(), 190);
    EXPECT_GE(ratioCaption, 3);
    if (form->ui->priemCoef->x() > 190) {
        EXPECT_EQ(ratioCaption, 3);
    }
    EXPECT_EQ(form->ui->Label3->x(), form->ui->R04->x() - 85);
    EXPECT_FALSE(w.verificationOpen);
    EXPECT_TRUE(form->isWindow());
    EXPECT_EQ(form->parentWidget(), nullptr); // a task-bar entry of its own
    EXPECT_FALSE(form->testAttribute(Qt::WA_QuitOnClose));
}

TEST_F(ProfileWindow, VerificationModeIsWiderWithDisabledCellsAndButtons)
{
    open(1, true, true);
    EXPECT_TRUE(w.verificationOpen);
    EXPECT_EQ(form->width(), 1231);
    EXPECT_EQ(form->height(), 595);
    ASSERT_EQ(form->senderBtns.size(), 63u);
    for (std::size_t k = 0; k < 63; ++k)
        EXPECT_FALSE(form->valEdits[k]->isEnabled()) << k;
    EXPECT_EQ(form->senderBtns[10]->geometry(), QRect(1 * 169 + 24, 1 * 45 + 49, 23, 22));
    EXPECT_EQ(cell(10)->x(), 1 * 169 + 24 + 23 + 3);
    EXPECT_EQ(form->senderBtns[10]->property("cellIndex").toInt(), 10);
    EXPECT_TRUE(form->ui->Protocol_btn->isVisible());
    EXPECT_TRUE(form->ui->FirstCal->isChecked());
    EXPECT_EQ(form->ui->Protocol_btn->x(), form->ui->SaveButton->x() - form->ui->Protocol_btn->width() - 10);
    EXPECT_EQ(form->ui->FirstCal->pos(), form->ui->Protocol_btn->pos() - QPoint(0, 21));
    EXPECT_EQ(form->ui->btn2x->y(), form->ui->R02->y());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Поверка"));
    EXPECT_EQ(form->ui->Label1->text(), QStringLiteral("Измеренные значения сопротивления, Ом"));
    form->close();
    EXPECT_FALSE(w.verificationOpen);
}

TEST_F(ProfileWindow, TabOrderRunsThroughTheCellsByIndexThenTheControls)
{
    open(1, true, false);
    // Tab from the first cell, 40 times.
    cell(0)->setFocus();
    for (int i = 0; i < 40; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), cell(40));
    EXPECT_EQ(cell(40)->pos(), QPoint(4 * 139 + 24, 4 * 45 + 48)); // column 4, row 4
    EXPECT_EQ(caption(40), QStringLiteral("0,5"));                 // 5 x 10^(3 - 4)
    QStringList after;
    QWidget* next = cell(62);
    while (after.size() < 6) {
        next = next->nextInFocusChain();
        if (next->focusPolicy() & Qt::TabFocus)
            after << next->objectName();
    }
    EXPECT_EQ(after, QStringList({"SaveButton", "R02", "R04", "priemCoef", "Protocol_btn", "FirstCal"}));
}

TEST_F(ProfileWindow, EnglishTextsFollowTheMainWindow)
{
    useEnglish();
    open(3, false, false);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Edit profile"));
    EXPECT_EQ(form->ui->Label1->text(), QStringLiteral("Calibration points, Ohm"));
    EXPECT_EQ(form->ui->Label2->text(), QStringLiteral("Tolerance coefficient:"));
    EXPECT_EQ(form->ui->R02->boundLabel()->text(), QStringLiteral("2-wire"));
    EXPECT_EQ(form->ui->priemCoef->boundLabel()->text(), QStringLiteral("Acceptance ratio"));
    EXPECT_EQ(form->ui->SaveButton->text(), QStringLiteral("Save"));
    EXPECT_EQ(form->ui->priemCoef->x(), 130);
    EXPECT_EQ(form->ui->Label3->x(), form->ui->R04->x() - 10);
    EXPECT_EQ(form->ui->PrecClass->x(), form->ui->Label2->x() + form->ui->Label2->width() + 3);
    EXPECT_EQ(caption(0), QStringLiteral("900000"));
    EXPECT_EQ(caption(62), QStringLiteral("0,1"));
}

struct LayoutCase {
    const char* name;
    int variant;
    bool verify;
    bool english;
};

void PrintTo(const LayoutCase& c, std::ostream* os)
{
    *os << c.name;
}

class WindowLayout : public ProfileWindow, public ::testing::WithParamInterface<LayoutCase>
{
};

// What the technician reads must fit whatever face the window's family falls back to: no
// text cut off, nothing outside the window, no two shown controls over each other. Every
// cell holds a deviation of two integer digits, the widest text its label shows.
TEST_P(WindowLayout, TextsFitAndControlsDoNotOverlap)
{
    const LayoutCase& c = GetParam();
    if (c.english)
        useEnglish();
    open(c.variant, true, c.verify);
    if (c.verify)
        form->ui->priemCoef->hide(); // as the verification command opens it
    for (TsEdit* e : form->valEdits)
        e->setText(numtext::floatToStr(form->nominalOf(e, nullptr) * 1.98765));
    form->ui->R02->setText(QStringLiteral("0,0100"));
    form->ui->R04->clear();
    form->FormPaint();
    ASSERT_EQ(form->otklonLabels[0]->text(), QStringLiteral("+98,76500%"));

    QList<QWidget*> shown;
    for (QWidget* widget : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (widget->objectName().isEmpty() || widget->objectName().startsWith(QLatin1String("qt_")) ||
            widget->isHidden())
            continue;
        SCOPED_TRACE(widget->objectName().toStdString());
        // Not even touching the window's edge, where the first letter's stroke would be lost.
        EXPECT_TRUE(form->rect().adjusted(3, 3, -3, -3).contains(widget->geometry()));
        const QFontMetrics fm = widget->fontMetrics();
        const QStyle* st = widget->style();
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
            EXPECT_LE(fm.height(), label->height()) << label->text().toStdString();
            if (label->text().isEmpty())
                continue; // shows nothing, so covers nothing
        } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
            const int margin = st->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
            EXPECT_LE(fm.horizontalAdvance(button->text()) + margin, button->width())
                << button->text().toStdString();
            EXPECT_LE(fm.height() + 4, button->height());
        } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
            const int indicator = st->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) +
                                  st->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box);
            EXPECT_LE(indicator + fm.horizontalAdvance(box->text()), box->width())
                << box->text().toStdString();
            EXPECT_LE(fm.height(), box->height());
        }
        shown << widget;
    }
    for (int i = 0; i < shown.size(); ++i)
        for (int j = i + 1; j < shown.size(); ++j)
            EXPECT_FALSE(shown[i]->geometry().intersects(shown[j]->geometry()))
                << shown[i]->objectName().toStdString() << " over " << shown[j]->objectName().toStdString();
}

INSTANTIATE_TEST_SUITE_P(ModesAndLanguages, WindowLayout,
                         ::testing::Values(LayoutCase{"EditRussianRd1", 1, false, false},
                                           LayoutCase{"EditEnglishRd1", 1, false, true},
                                           LayoutCase{"EditRussianRd5", 5, false, false},
                                           LayoutCase{"EditEnglishRd5", 5, false, true},
                                           LayoutCase{"VerificationRussianRd1", 1, true, false},
                                           LayoutCase{"VerificationEnglishRd1", 1, true, true},
                                           LayoutCase{"VerificationRussianRd5", 5, true, false},
                                           LayoutCase{"VerificationEnglishRd5", 5, true, true}),
                         [](const ::testing::TestParamInfo<LayoutCase>& i) {
                             return std::string(i.param.name);
                         });

// ---------------------------------------------------------------- cell entry

constexpr int R02Edit = -1, R04Edit = -2, RatioEdit = -3;

struct EntryCase {
    const char* name;
    int variant;
    bool verify;
    int target; // cell index, or R02Edit, R04Edit, RatioEdit
    std::string keys;
    const char* expected;
};

void PrintTo(const EntryCase& c, std::ostream* os)
{
    *os << c.name;
}

class CellEntry : public ProfileWindow, public ::testing::WithParamInterface<EntryCase>
{
};

TEST_P(CellEntry, TypedKeysGiveTheText)
{
    const EntryCase& c = GetParam();
    open(c.variant, true, c.verify);
    TsEdit* target = c.target == R02Edit     ? form->ui->R02
                     : c.target == R04Edit   ? form->ui->R04
                     : c.target == RatioEdit ? form->ui->priemCoef
                                             : cell(c.target);
    target->setEnabled(true); // in verification mode the cell button opens one cell
    target->setFocus();
    type(target, c.keys);
    EXPECT_EQ(target->text(), QString::fromUtf8(c.expected));
}

// Cells: RD5540-1 0 = 9000; RD5540-4 0 = 9000000, 16 = 200000; RD5540-3 58 = 0,5; RD5540-2 34 = 20.
INSTANTIATE_TEST_SUITE_P(
    Keys, CellEntry,
    ::testing::Values(EntryCase{"EightDigitsThenCommaInserted", 1, false, 0, "123456789", "12345678,9"},
                      EntryCase{"FourDecimalsAtMost", 1, false, 0, "1234567891234", "12345678,9123"},
                      EntryCase{"LargeNominalSixDigits", 4, false, 0, "123456", "123456"},
                      EntryCase{"LargeNominalCommaNeedsFourDigits", 4, false, 0, "123,", "123"},
                      EntryCase{"LargeNominalOneDecimal", 4, false, 0, "1234,56", "1234,5"},
                      EntryCase{"VerificationCommaAfterFiveDigits", 1, true, 0, "123456", "12345,6"},
                      EntryCase{"VerificationFiveDecimals", 2, true, 34, "12,345678", "12,34567"},
                      EntryCase{"PointInEmptyCell", 1, false, 5, ".", "0,"},
                      EntryCase{"ZeroInEmptyCell", 1, false, 5, "0", "0,"},
                      EntryCase{"PointBecomesComma", 1, false, 0, "12.5", "12,5"},
                      EntryCase{"LetterNeverAccepted", 1, false, 0, "1a2b", "12"},
                      EntryCase{"SignNeverAccepted", 1, false, 0, "-1+", "1"},
                      EntryCase{"DeleteRemovesNothing", 1, false, 0, "123<<D", "123"},
                      EntryCase{"BackspaceRemovesCharBeforeCaret", 1, false, 0, "123<B", "13"},
                      EntryCase{"BackspaceRemovesExactlyTheSelection", 1, false, 0, "12345<SSB", "125"},
                      EntryCase{"BackspaceAtStartRemovesNothing", 1, false, 0, "123HB", "123"},
                      EntryCase{"InsertAtCaret", 1, false, 0, "19<5", "159"},
                      EntryCase{"TypingReplacesSelection", 1, false, 0, "1234SS9", "129"},
                      EntryCase{"PasteKeyDoesNothing", 1, false, 0, "1V", "1"},
                      EntryCase{"ZeroEditTakesFourDecimals", 1, false, R02Edit, "0,01234", "0,0123"},
                      EntryCase{"ReformatVerificationRd2", 2, true, 34, "12,5T", "12,50000"},
                      EntryCase{"ReformatEditLargeNominalRd4", 4, false, 16, "200000T", "200000,0"},
                      EntryCase{"ReformatSmallNominalRd3", 3, false, 58, "0,5T", "0,5000"},
                      EntryCase{"ReformatZeroEditRd5", 5, false, R04Edit, "1,5T", "1,5000"},
                      EntryCase{"ReformatEnterMovesOn", 1, false, 0, "9000E", "9000,0000"},
                      EntryCase{"RatioZeroGivesZeroComma", 1, false, RatioEdit, "AB0", "0,"},
                      EntryCase{"RatioBelowLimitDropped", 1, false, RatioEdit, "AB07", "0,"},
                      EntryCase{"RatioDigitsInRange", 1, false, RatioEdit, "AB0785", "0,85"},
                      EntryCase{"RatioFullTextTakesNoMore", 1, false, RatioEdit, "AB08593", "0,85"},
                      EntryCase{"RatioWholeSelectionReplaced", 1, false, RatioEdit, "AB085A1", "1"},
                      EntryCase{"RatioAboveOneDropped", 1, false, RatioEdit, "AB15", "1"},
                      EntryCase{"RatioFourCharsDropEverything", 1, false, RatioEdit, "5,.", "1,00"},
                      EntryCase{"RatioBackspaceStillRemoves", 1, false, RatioEdit, "<B", "1,0"}),
    [](const ::testing::TestParamInfo<EntryCase>& i) { return std::string(i.param.name); });

TEST_F(ProfileWindow, ClipboardDropAndInputMethodAreClosed)
{
    open(1, false, false);
    for (TsEdit* e : {cell(0), form->ui->R02, form->ui->R04, form->ui->priemCoef}) {
        EXPECT_EQ(e->contextMenuPolicy(), Qt::NoContextMenu);
        EXPECT_FALSE(e->acceptDrops());
        EXPECT_FALSE(e->testAttribute(Qt::WA_InputMethodEnabled));
    }
    // An input-method commit is dropped, as are the paste and cut keys.
    cell(0)->setFocus();
    QInputMethodEvent im;
    im.setCommitString(QStringLiteral("123"));
    QApplication::sendEvent(cell(0), &im);
    EXPECT_EQ(cell(0)->text(), QString());
    type(cell(0), "12");
    QTest::keyClick(cell(0), Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(cell(0), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(cell(0)->text(), QStringLiteral("12"));
}

TEST_F(ProfileWindow, EntryPatternIsSharedWithTheModel)
{
    open(3, false, false);
    // RD5540-3, a cell of nominal 900000 chooses the one-decimal pattern on entering it.
    cell(1)->setFocus(); // 800000
    cell(0)->setFocus(); // 900000
    EXPECT_TRUE(boost::regex_match("123456,1", w.processor->entryRegex));
    EXPECT_FALSE(boost::regex_match("123456,12", w.processor->entryRegex));
    form->ui->R02->setFocus();
    EXPECT_TRUE(boost::regex_match("12345,1234", w.processor->entryRegex));
    EXPECT_FALSE(boost::regex_match("123456", w.processor->entryRegex));
    // Typing sets the edit pattern of the cell; it stays after the window has gone.
    type(cell(0), "1");
    form.reset();
    EXPECT_TRUE(boost::regex_match("1234,5", w.processor->entryRegex));
    EXPECT_FALSE(boost::regex_match("123,5", w.processor->entryRegex));
}

// ---------------------------------------------------------------- deviation and tolerance

struct ToleranceCase {
    const char* name;
    int target; // cell index or R02Edit / R04Edit
    const char* typed;
    const char* ratio;     // typed into priemCoef first (after emptying it), or nullptr
    const char* deviation; // expected deviation text of a cell
    bool red;
};

void PrintTo(const ToleranceCase& c, std::ostream* os)
{
    *os << c.name;
}

class Tolerance : public ProfileWindow, public ::testing::WithParamInterface<ToleranceCase>
{
};

// RD5540-1, class 0,01, full model text with '1' as eighth character: classC 0.01, classD
// 0.07 / 9999.999. Permissible deviation t = ((9999.999 / N - 1) * classD + 0.01) * ratio:
// N 9000: 0.0100007778 %, edge 9000.9000700; N 1000: 0.0100630000 %, edge 1000.1006300.
TEST_P(Tolerance, CellIsMarkedOutsideThePermissibleDeviation)
{
    const ToleranceCase& c = GetParam();
    open(1, false, false);
    if (c.ratio) {
        form->ui->priemCoef->setFocus();
        type(form->ui->priemCoef, std::string("AB") + c.ratio);
    }
    TsEdit* target = c.target == R02Edit   ? form->ui->R02
                     : c.target == R04Edit ? form->ui->R04
                                           : cell(c.target);
    target->setFocus();
    type(target, std::string(c.typed) + "T");
    EXPECT_EQ(target->colorTone() == Red, c.red) << target->text().toStdString();
    if (c.deviation) {
        EXPECT_EQ(form->otklonLabels[std::size_t(c.target)]->text(), QString::fromUtf8(c.deviation));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Limits, Tolerance,
    ::testing::Values(ToleranceCase{"N9000Inside", 0, "9000,5", nullptr, "+0,00556%", false},
                      ToleranceCase{"N9000AtEdge", 0, "9000,9", nullptr, "+0,01000%", false},
                      ToleranceCase{"N9000JustBeyond", 0, "9000,9001", nullptr, "+0,01000%", true},
                      ToleranceCase{"N9000BelowAtEdge", 0, "8999,1", nullptr, "-0,01000%", false},
                      ToleranceCase{"N9000BelowBeyond", 0, "8999,0999", nullptr, "-0,01000%", true},
                      ToleranceCase{"N1000AtEdge", 8, "1000,1006", nullptr, "+0,01006%", false},
                      ToleranceCase{"N1000JustBeyond", 8, "1000,1007", nullptr, "+0,01007%", true},
                      ToleranceCase{"N1000Far", 8, "1000,2", nullptr, "+0,02000%", true},
                      ToleranceCase{"N1Beyond", 35, "1,001", nullptr, "+0,10000%", true},
                      ToleranceCase{"N1Huge", 35, "3", nullptr, "> +99%", true},
                      ToleranceCase{"N1HugeBelow", 35, "0,001", nullptr, "< -99%", true},
                      ToleranceCase{"N0_001Wide", 62, "0,0011", nullptr, "+10,00000%", false},
                      ToleranceCase{"ZeroValue", 0, "0", nullptr, "--", true},
                      // with ratio 0,9 the 9000 limit is 0.0090007 %: 9000,81 inside, 9000,82 beyond
                      ToleranceCase{"RatioNarrowsInside", 0, "9000,81", "09", "+0,00900%", false},
                      ToleranceCase{"RatioNarrowsBeyond", 0, "9000,82", "09", "+0,00911%", true},
                      ToleranceCase{"R02BelowLimit", R02Edit, "0,113", nullptr, nullptr, false},
                      ToleranceCase{"R02AtLimit", R02Edit, "0,114", nullptr, nullptr, false},
                      ToleranceCase{"R02AboveLimit", R02Edit, "0,1141", nullptr, nullptr, true},
                      ToleranceCase{"R04AboveLimit", R04Edit, "0,113", nullptr, nullptr, true},
                      ToleranceCase{"R04AtLimit", R04Edit, "0,11", nullptr, nullptr, false},
                      ToleranceCase{"R02RatioAtLimit", R02Edit, "0,1026", "09", nullptr, false},
                      ToleranceCase{"R02RatioBeyond", R02Edit, "0,1027", "09", nullptr, true}),
    [](const ::testing::TestParamInfo<ToleranceCase>& i) { return std::string(i.param.name); });

TEST_F(ProfileWindow, ClassTermsFollowTheClassAndTheModelText)
{
    struct Case {
        const char* cls;
        const char* model;
        double d;
    };
    for (const Case& c :
         {Case{"0,01", "RD5540-1", 0.001}, Case{"0,01", "RD5540-20", 0.001}, Case{"0,01", "RD5540-22", 0.002},
          Case{"0,01", "RD5540-", 0.002}, Case{"0,02", "RD5540-1", 0.003}, Case{"0,05", "", 0.005},
          Case{"0,1", "", 0.006}, Case{"0,2", "", 0.01}}) {
        w.processor->precClass = QString::fromUtf8(c.cls);
        ui()->deviceFullName->setText(QString::fromUtf8(c.model));
        open(1, false, false);
        const double k = form->ui->PrecClass->text().replace(',', '.').toDouble();
        EXPECT_DOUBLE_EQ(form->classC, k < 0.02 ? 0.01 : k) << c.cls;
        EXPECT_DOUBLE_EQ(form->classD, 10 * c.d * 7 / 9999.999) << c.cls << " " << c.model;
        EXPECT_DOUBLE_EQ(form->priemRatio, 1.0);
    }
    // A class so coarse against the smallest nominal that the range term goes.
    w.processor->precClass = QStringLiteral("4000");
    open(5, false, false);
    EXPECT_EQ(form->classD, 0.0);
}

// Failed before: with the fonts installed here "Tahoma" falls back to a wider face and the
// 75-px cells cut the first digits of their longest values ("000,30000" for "1000,30000").
TEST_F(ProfileWindow, EveryCellShowsTheLongestTextItsPatternAdmitsWhole)
{
    struct Mode {
        const char* name;
        bool compare, verify;
    };
    for (int variant = 1; variant <= 5; ++variant) {
        for (const Mode mode : {Mode{"create", false, false}, Mode{"edit", true, false}, Mode{"verify", true, true}}) {
            SCOPED_TRACE(std::to_string(variant) + " " + mode.name);
            open(variant, mode.compare, mode.verify);
            std::vector<QLineEdit*> edits(form->valEdits.begin(), form->valEdits.end());
            edits.push_back(form->ui->R02);
            edits.push_back(form->ui->R04);
            for (QLineEdit* e : edits) {
                form->switchRegexp(e);
                QStyleOptionFrame opt;
                opt.initFrom(e);
                opt.lineWidth = e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e);
                const QRect room =
                    e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e).marginsRemoved(e->textMargins());
                const QFontMetrics metrics(e->font());
                for (int whole = 1; whole <= 10; ++whole)
                    for (int decimals = -1; decimals <= 6; ++decimals) {
                        QString text(whole, QLatin1Char('9'));
                        if (decimals >= 0)
                            text += QLatin1Char(',') + QString(decimals, QLatin1Char('9'));
                        if (boost::regex_match(text.toStdString(), w.processor->entryRegex))
                            EXPECT_LE(metrics.horizontalAdvance(text), room.width() - 4)
                                << e->objectName().toStdString() << " " << text.toStdString();
                    }
            }
            form.reset();
        }
    }
}

// Failed before: the normal tone was read from a disabled cell, and R02, R04 and every empty
// cell were painted in the disabled grey.
TEST_F(ProfileWindow, NormalToneIsTheEnabledOneInEveryMode)
{
    for (const bool verify : {false, true}) {
        SCOPED_TRACE(verify);
        open(1, verify, verify);
        const QColor enabled = form->ui->R02->palette().color(QPalette::Active, QPalette::Base);
        EXPECT_EQ(form->normalColor, enabled);
        EXPECT_NE(form->normalColor, cell(0)->palette().color(QPalette::Disabled, QPalette::Base));
        form->ui->R02->setFocus();
        type(form->ui->R02, "0,01T"); // left again: its tone is set anew
        EXPECT_EQ(form->ui->R02->colorTone(), enabled);
        EXPECT_TRUE(form->ui->R02->styleSheet().isEmpty()) << form->ui->R02->styleSheet().toStdString();
    }
}

// Failed before: leaving R04 recomputed no cell, and the deviations typed before kept the old R04.
TEST_F(ProfileWindow, ChangedR04RecomputesEveryDeviation)
{
    open(1, true, true);
    cell(8)->setEnabled(true); // 1000
    cell(8)->setFocus();
    type(cell(8), "1000,3T");
    EXPECT_EQ(form->otklonLabels[8]->text(), QStringLiteral("+0,03000%"));
    form->ui->R04->setFocus();
    type(form->ui->R04, "0,1T");
    EXPECT_EQ(form->otklonLabels[8]->text(), QStringLiteral("+0,02000%"));
}

TEST_F(ProfileWindow, VerificationModeShowsDeviationLessR04WithoutColour)
{
    open(1, true, true);
    form->ui->R04->setFocus();
    type(form->ui->R04, "0,1T");
    cell(8)->setEnabled(true); // 1000
    cell(8)->setFocus();
    type(cell(8), "1000,3T");
    EXPECT_EQ(form->otklonLabels[8]->text(), QStringLiteral("+0,02000%"));
    EXPECT_NE(cell(8)->colorTone(), Red);
}

// ---------------------------------------------------------------- saving

class ProfileSave : public ProfileWindow
{
protected:
    void SetUp() override
    {
        ProfileWindow::SetUp();
        ASSERT_TRUE(dir.isValid());
    }
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    QStringList fileLines(const QString& p) const
    {
        QString text = QString::fromLatin1(readBytes(p));
        EXPECT_TRUE(text.endsWith(QStringLiteral("\r\n")));
        text.chop(2);
        return text.split(QStringLiteral("\r\n"));
    }
    QTemporaryDir dir;
};

TEST_F(ProfileSave, EditModeWritesEveryTextAsShownAndLoadsTheFile)
{
    open(3, false, false);
    fillAll(QStringLiteral("0,0120"), QStringLiteral("1,3"));
    cell(0)->setText(QStringLiteral("900000,3"));
    cell(62)->setText(QStringLiteral("0,1234"));
    const QString target = path(QStringLiteral("p3.txt"));
    files.answerWith(target);
    QTest::mouseClick(form->ui->SaveButton, Qt::LeftButton);

    ASSERT_EQ(files.shown().size(), 1u);
    const FileDialogRequest& req = files.shown().front();
    EXPECT_EQ(req.kind, FileDialogKind::Save);
    EXPECT_EQ(req.fileName, QStringLiteral("Новый профиль действительных значений"));
    EXPECT_EQ(req.filter, QStringLiteral("Текстовый файл|*.txt"));
    EXPECT_EQ(req.defaultExt, QStringLiteral("txt"));
    EXPECT_TRUE(req.overwritePrompt);

    const QStringList lines = fileLines(target);
    ASSERT_EQ(lines.size(), 66);
    EXPECT_EQ(lines[0], QStringLiteral("RD5540-3;f"));
    EXPECT_EQ(lines[1], QStringLiteral("0,0120"));
    EXPECT_EQ(lines[2], QStringLiteral("1,3"));
    EXPECT_EQ(lines[3], QStringLiteral("900000,3"));
    EXPECT_EQ(lines[4], QStringLiteral("800000"));
    EXPECT_EQ(lines[65], QStringLiteral("0,1234"));
    EXPECT_TRUE(w.processor->profLoaded);
    EXPECT_DOUBLE_EQ(w.processor->profile[0][0], 900000.3);
    EXPECT_DOUBLE_EQ(w.processor->R04, 1.3);
    ASSERT_EQ(seam.shown().size(), 1u);
    EXPECT_EQ(seam.shown()[0].caption, QStringLiteral("Информация"));
    EXPECT_EQ(seam.shown()[0].text, QStringLiteral("Профиль сохранён."));
}

TEST_F(ProfileSave, VerificationModeSubtractsR04AndRoundsHalfUp)
{
    open(2, true, true);
    fillAll(QStringLiteral(""), QStringLiteral("0,01230"));
    form->ui->R02->setFocus();
    type(form->ui->R02, "0,01236");                        // typing sets the verification pattern
    cell(2 * 9 + 8)->setText(QStringLiteral("100,01234")); // nominal 100
    cell(0)->setText(QStringLiteral("12345,00000"));       // nominal 90000
    files.answerWith(path(QStringLiteral("v2.txt")));
    QTest::mouseClick(form->ui->SaveButton, Qt::LeftButton);
    const QStringList lines = fileLines(path(QStringLiteral("v2.txt")));
    ASSERT_EQ(lines.size(), 66);
    EXPECT_EQ(lines[1], QStringLiteral("0,0124"));
    EXPECT_EQ(lines[2], QStringLiteral("0,0123"));
    EXPECT_EQ(lines[3 + 2 * 9 + 8], QStringLiteral("100,0000"));
    EXPECT_EQ(lines[3], QStringLiteral("12344,9877"));
}

TEST_F(ProfileSave, VerificationModeWithZeroR04KeepsTheValue)
{
    open(2, true, true);
    fillAll(QStringLiteral(""), QStringLiteral("0,00000"));
    form->ui->R02->setFocus();
    type(form->ui->R02, "0,00000");
    cell(0)->setText(QStringLiteral("12345,00000"));
    files.answerWith(path(QStringLiteral("v2.txt")));
    QTest::mouseClick(form->ui->SaveButton, Qt::LeftButton);
    const QStringList lines = fileLines(path(QStringLiteral("v2.txt")));
    ASSERT_EQ(lines.size(), 66);
    EXPECT_EQ(lines[3], QStringLiteral("12345,0000"));
}

TEST_F(ProfileSave, VerificationModeLargeVariantsAreReducedAsWell)
{
    open(4, true, true);
    fillAll(QStringLiteral("0,0000"), QStringLiteral("1,2000"));
    cell(0)->setText(QStringLiteral("9000000,0")); // above 90000: one decimal
    cell(62)->setText(QStringLiteral("1,5000"));   // four decimals
    files.answerWith(path(QStringLiteral("v4.txt")));
    QTest::mouseClick(form->ui->SaveButton, Qt::LeftButton);
    const QStringList lines = fileLines(path(QStringLiteral("v4.txt")));
    ASSERT_EQ(lines.size(), 66);
    EXPECT_EQ(lines[3], QStringLiteral("8999998,8"));
    EXPECT_EQ(lines[65], QStringLiteral("0,3000"));
}

TEST_F(ProfileSave, ReadOnlyFolderKeepsTheEarlierFileAndSaysSo)
{
    open(1, false, false);
    fillAll();
    const QString target = path(QStringLiteral("old.txt"));
    ASSERT_TRUE(writeBytes(target, "earlier\r\n"));
    ASSERT_EQ(chmod(QFile::encodeName(target).constData(), 0644), 0);
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    files.answerWith(target);
    w.processor->profLoaded = false;
    {
        UnprivilegedFiles asUser;
        QTest::mouseClick(form->ui->SaveButton, Qt::LeftButton);
    }
    chmod(QFile::encodeName(dir.path()).constData(), 0755);
    EXPECT_EQ(readBytes(target), QByteArray("earlier\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"old.txt"});
    ASSERT_EQ(seam.shown().size(), 1u);
    EXPECT_EQ(seam.shown()[0].type, DialogType::Error);
    EXPECT_TRUE(seam.shown()[0].text.contains(QStringLiteral("Прежний файл не изменён.")));
    EXPECT_FALSE(w.processor->profLoaded);
}

TEST_F(ProfileSave, CutShortWriteKeepsTheEarlierFile)
{
    open(1, false, false);
    fillAll();
    const QString target = path(QStringLiteral("old.txt"));
    ASSERT_TRUE(writeBytes(target, "earlier\r\n"));
    files.answerWith(target);
    // The file system takes no more than 100 bytes of a file: the profile does not fit.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 100;
    setrlimit(RLIMIT_FSIZE, &small);
    QTest::mouseClick(form->ui->SaveButton, Qt::LeftButton);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(readBytes(target), QByteArray("earlier\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"old.txt"});
    ASSERT_EQ(seam.shown().size(), 1u);
    EXPECT_EQ(seam.shown()[0].type, DialogType::Error);
}

struct PathCase {
    const char* name;
    int nameLength;      // of a name of 'p's, before ".txt"
    const char* special; // appended to the name
    const char* russian; // part of the message
    const char* english;
};

void PrintTo(const PathCase& c, std::ostream* os)
{
    *os << c.name;
}

class SavePath : public ProfileSave, public ::testing::WithParamInterface<PathCase>
{
};

TEST_P(SavePath, RefusedPathKeepsTheEarlierFileAndWritesNothingElse)
{
    const PathCase& c = GetParam();
    const QString name = QString(c.nameLength, QLatin1Char('p')) + QString::fromUtf8(c.special) + ".txt";
    const QString target = path(name);
    ASSERT_TRUE(writeBytes(target, "earlier\r\n"));
    for (bool english : {false, true}) {
        if (english)
            useEnglish();
        open(2, false, false);
        fillAll();
        seam.clear();
        files.answerWith(target);
        QTest::mouseClick(form->ui->SaveButton, Qt::LeftButton);
        EXPECT_EQ(readBytes(target), QByteArray("earlier\r\n"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{name});
        ASSERT_EQ(seam.shown().size(), 1u);
        EXPECT_EQ(seam.shown()[0].type, DialogType::Error);
        EXPECT_TRUE(seam.shown()[0].text.contains(QString::fromUtf8(english ? c.english : c.russian)))
            << seam.shown()[0].text.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, SavePath,
                         ::testing::Values(PathCase{"LongerThan199Bytes", 200, "", "199 байт", "199 bytes"},
                                           PathCase{"OutsideCodePage1251", 3, "\u65e5",
                                                    "кодовой страницы 1251", "code page 1251"}),
                         [](const ::testing::TestParamInfo<PathCase>& i) {
                             return std::string(i.param.name);
                         });

TEST_F(ProfileSave, PathOf199BytesIsWritten)
{
    open(1, false, false);
    fillAll();
    const int dirBytes = int(QFile::encodeName(dir.path()).size()) + 1;
    const QString target = path(QString(199 - dirBytes - 4, QLatin1Char('p')) + ".txt");
    ASSERT_EQ(QFile::encodeName(target).size(), 199);
    files.answerWith(target);
    QTest::mouseClick(form->ui->SaveButton, Qt::LeftButton);
    EXPECT_TRUE(QFileInfo::exists(target));
    EXPECT_TRUE(w.processor->profLoaded);
}

TEST_F(ProfileSave, CyrillicNameIsWrittenInCodePage1251)
{
    open(1, false, false);
    fillAll();
    const QString target = path(QStringLiteral("профиль.txt"));
    files.answerWith(target);
    QTest::mouseClick(form->ui->SaveButton, Qt::LeftButton);
    EXPECT_TRUE(QFileInfo::exists(target));
    EXPECT_TRUE(w.processor->profLoaded); // read back through the 8-bit path
}

TEST_F(ProfileSave, CancelledDialogWritesNothingAndSaysNothing)
{
    open(1, false, false);
    fillAll();
    files.answerWith(QString());
    QTest::mouseClick(form->ui->SaveButton, Qt::LeftButton);
    EXPECT_EQ(files.shown().size(), 1u);
    EXPECT_TRUE(seam.shown().empty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(ProfileSave, FailedChecksNameTheProblemAndBlinkTheEdit)
{
    struct Case {
        int cell; // emptied or given a bad text; -1 R02, -2 R04
        const char* text;
        const char* message;
    };
    for (const Case& c : {Case{20, "", "Не все поля заполнены!"},
                          Case{5, "123456789", "Значение за пределами диапазона прибора!"},
                          Case{-1, "", "Не все поля заполнены!"}, Case{-2, "", "Не все поля заполнены!"},
                          Case{-2, "123456789", "Значение за пределами диапазона прибора!"}}) {
        open(3, false, false);
        fillAll();
        seam.clear();
        files.clear();
        QLineEdit* e = c.cell == -1 ? form->ui->R02 : c.cell == -2 ? form->ui->R04 : cell(c.cell);
        e->setText(QString::fromUtf8(c.text));
        QTest::mouseClick(form->ui->SaveButton, Qt::LeftButton);
        EXPECT_TRUE(files.shown().empty()); // no dialog: nothing is written
        ASSERT_EQ(seam.shown().size(), 1u);
        EXPECT_EQ(seam.shown()[0].caption, QStringLiteral("Внимание"));
        EXPECT_EQ(seam.shown()[0].text, QString::fromUtf8(c.message));
        EXPECT_EQ(form->blinkTarget, e);
        EXPECT_TRUE(form->TimerAlert->isActive());
        // Four times highlighted, then the normal tone, then the focus.
        ASSERT_TRUE(testsupport::waitUntil([&] { return !form->TimerAlert->isActive(); }));
        EXPECT_EQ(static_cast<TsEdit*>(e)->colorTone(), form->normalColor);
        EXPECT_TRUE(e->hasFocus());
        EXPECT_EQ(form->blinkCount, 0);
    }
}

TEST_F(ProfileSave, EnglishCheckTextsKeepTheirPunctuation)
{
    useEnglish();
    open(3, false, false);
    fillAll();
    cell(5)->setText(QStringLiteral("123456789"));
    QTest::mouseClick(form->ui->SaveButton, Qt::LeftButton);
    form->ui->R02->setText(QStringLiteral("123456789"));
    cell(5)->setText(QStringLiteral("1"));
    QTest::mouseClick(form->ui->SaveButton, Qt::LeftButton);
    cell(5)->setText(QString());
    QTest::mouseClick(form->ui->SaveButton, Qt::LeftButton);
    ASSERT_EQ(seam.shown().size(), 3u);
    EXPECT_EQ(seam.shown()[0].text, QStringLiteral("Value beyond range"));
    EXPECT_EQ(seam.shown()[1].text, QStringLiteral("Value beyond range!"));
    EXPECT_EQ(seam.shown()[2].text, QStringLiteral("Some field are empty!"));
    EXPECT_EQ(seam.shown()[2].caption, QStringLiteral("Attention"));
    // The save dialog's texts are English as well.
    fillAll();
    files.answerWith(QString());
    QTest::mouseClick(form->ui->SaveButton, Qt::LeftButton);
    ASSERT_EQ(files.shown().size(), 1u);
    EXPECT_EQ(files.shown()[0].fileName, QStringLiteral("New real values profile"));
    EXPECT_EQ(files.shown()[0].filter, QStringLiteral("Text file|*.txt"));
}

// ---------------------------------------------------------------- closing

struct CloseCase {
    const char* name;
    bool compare, verify;
    int filled; // cell index typed into, -1 R04, -2 nothing
    bool asked;
    int answer; // mrOk or mrCancel
    bool closes;
};

void PrintTo(const CloseCase& c, std::ostream* os)
{
    *os << c.name;
}

class Closing : public ProfileWindow, public ::testing::WithParamInterface<CloseCase>
{
};

TEST_P(Closing, UnsavedChangesAreAskedAbout)
{
    const CloseCase& c = GetParam();
    w.processor->closeProf();
    w.processor->resizeProfile();
    w.processor->R02 = w.processor->R04 = 0.0;
    open(1, c.compare, c.verify);
    if (c.filled != -2) {
        TsEdit* e = c.filled == -1 ? form->ui->R04 : cell(c.filled);
        e->setEnabled(true);
        e->setFocus();
        type(e, "5");
    }
    seam.answerWith(c.answer);
    form->close();
    ASSERT_EQ(seam.shown().size(), c.asked ? 1u : 0u);
    if (c.asked) {
        EXPECT_EQ(seam.shown()[0].caption, QStringLiteral("Внимание"));
        EXPECT_EQ(seam.shown()[0].text, QStringLiteral("Выйти без сохранения изменений?"));
        EXPECT_EQ(seam.shown()[0].buttons, QStringList({"OK", "Отмена"}));
    }
    EXPECT_EQ(form->isVisible(), !c.closes);
    if (!c.closes) {
        EXPECT_EQ(form->ui->R04->text().isEmpty() && cell(3)->text().isEmpty(), c.filled == -2);
    } else {
        EXPECT_FALSE(w.verificationOpen);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, Closing,
    ::testing::Values(CloseCase{"CreateUntouchedClosesAtOnce", false, false, -2, false, mrCancel, true},
                      CloseCase{"CreateWithR04AsksOk", false, false, -1, true, mrOk, true},
                      CloseCase{"CreateWithR04AsksCancelStays", false, false, -1, true, mrCancel, false},
                      CloseCase{"CreateWithCellAsksCancelStays", false, false, 3, true, mrCancel, false},
                      CloseCase{"EditChangedCellAsks", true, false, 3, true, mrOk, true},
                      CloseCase{"EditChangedR04AsksCancelStays", true, false, -1, true, mrCancel, false},
                      CloseCase{"VerificationNeverAsks", true, true, 3, false, mrCancel, true}),
    [](const ::testing::TestParamInfo<CloseCase>& i) { return std::string(i.param.name); });

TEST_F(ProfileWindow, ClosingSetsTheCloseEntryPatternOfLargeVariants)
{
    open(4, false, false);
    form->close();
    EXPECT_TRUE(boost::regex_match("12345,1234", w.processor->entryRegex));
    EXPECT_TRUE(boost::regex_match("1234567,1", w.processor->entryRegex));
    EXPECT_FALSE(boost::regex_match("123456,12", w.processor->entryRegex));
}

TEST_F(ProfileWindow, EscapeDoesNotCloseTheWindow)
{
    open(1, false, false);
    type(cell(0), "5");
    QTest::keyClick(form.get(), Qt::Key_Escape);
    QTest::keyClick(cell(0), Qt::Key_Escape);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(seam.shown().empty());
}

} // namespace
