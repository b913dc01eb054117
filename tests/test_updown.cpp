// The up-down button and its associate edit.
#include "platform/UpDown.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QToolButton>
#include <memory>
#include <vector>

namespace
{

// Records what an up-down emits (Qt Test's QSignalSpy is not among our libraries).
struct Recorder {
    explicit Recorder(UpDown* u)
    {
        QObject::connect(u, &UpDown::Click, &context, [this](UpDown::Button b) { clicks.push_back(b); });
        QObject::connect(u, &UpDown::positionChanged, &context, [this](int p) { moves.push_back(p); });
    }
    QObject context; // ends the connections with the recorder
    std::vector<UpDown::Button> clicks;
    std::vector<int> moves;
};

class UpDownTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        updown->setMin(1);
        updown->setMax(9);
        updown->setPosition(1);
        updown->setAssociate(edit.get());
    }

    std::unique_ptr<QLineEdit> edit = std::make_unique<QLineEdit>();
    std::unique_ptr<UpDown> updown = std::make_unique<UpDown>();
};

TEST_F(UpDownTest, ClickStepsWrapsOrStops)
{
    const struct {
        bool wrap;
        int start;
        UpDown::Button button;
        int expected;
    } cases[] = {
        {true, 5, UpDown::btNext, 6},  {true, 5, UpDown::btPrev, 4},  {true, 9, UpDown::btNext, 1},
        {true, 1, UpDown::btPrev, 9},  {false, 9, UpDown::btNext, 9}, {false, 1, UpDown::btPrev, 1},
        {false, 8, UpDown::btNext, 9}, {false, 2, UpDown::btPrev, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "wrap " << c.wrap << " start " << c.start << " button " << c.button);
        updown->setWrap(c.wrap);
        updown->setPosition(c.start);
        Recorder rec(updown.get());
        updown->click(c.button);
        EXPECT_EQ(updown->position(), c.expected);
        EXPECT_EQ(edit->text(), QString::number(c.expected));
        // Click comes also at a stop: the unit steppers rely on it, not on the position
        EXPECT_EQ(rec.clicks, std::vector<UpDown::Button>{c.button});
        EXPECT_EQ(rec.moves, c.start == c.expected ? std::vector<int>{} : std::vector<int>{c.expected});
    }
}

TEST_F(UpDownTest, ArrowButtonsClick)
{
    Recorder rec(updown.get());
    updown->findChild<QToolButton*>(QStringLiteral("nextButton"))->click();
    updown->findChild<QToolButton*>(QStringLiteral("prevButton"))->click();
    EXPECT_EQ(rec.clicks, (std::vector<UpDown::Button>{UpDown::btNext, UpDown::btPrev}));
    EXPECT_EQ(updown->position(), 1);
}

TEST_F(UpDownTest, SetPositionClampsAndAlwaysNotifiesTheAssociate)
{
    // a handler of the associate sees the new position already, and runs exactly once per set
    QStringList seen;
    QObject::connect(edit.get(), &QLineEdit::textChanged, edit.get(), [&](const QString& text) {
        seen << text + QLatin1Char('/') + QString::number(updown->position());
    });
    updown->setPosition(4);
    updown->setPosition(4); // the same text again still notifies
    updown->setPosition(42);
    updown->setPosition(-3);
    EXPECT_EQ(seen, QStringList({"4/4", "4/4", "9/9", "1/1"}));
    EXPECT_EQ(edit->text(), QStringLiteral("1"));
}

TEST_F(UpDownTest, AssociateTextDrivesThePosition)
{
    const struct {
        const char* text;
        int expected;
    } cases[] = {{"5", 5}, {" 3 ", 3}, {"12", 9}, {"abc", 9}, {"", 9}, {"-4", 1}, {"2,5", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        edit->setText(QString::fromLatin1(c.text));
        EXPECT_EQ(updown->position(), c.expected);
        EXPECT_EQ(edit->text(), QString::fromLatin1(c.text)); // what was written stays
    }
    // the next click steps from the followed position
    edit->setText(QStringLiteral("7"));
    updown->click(UpDown::btNext);
    EXPECT_EQ(edit->text(), QStringLiteral("8"));
}

TEST_F(UpDownTest, RangeChangesClampEvenThroughAnInvertedRange)
{
    // the decade selector goes from 1..8 to -9..-2 and is then asked for position 0
    updown->setMax(8);
    updown->setPosition(1);
    updown->setMax(-2); // min 1 > max -2 for a moment
    EXPECT_GE(updown->position(), -2);
    EXPECT_LE(updown->position(), 1);
    updown->setMin(-9);
    EXPECT_EQ(updown->position(), -2);
    EXPECT_EQ(edit->text(), QStringLiteral("-2"));
    updown->setPosition(0);
    EXPECT_EQ(updown->position(), -2);
    updown->setWrap(true);
    updown->click(UpDown::btNext);
    EXPECT_EQ(updown->position(), -9);

    // an inverted range still steps and clamps between its two ends
    updown->setMin(5);
    updown->setMax(0);
    updown->setPosition(7);
    EXPECT_EQ(updown->position(), 5);
    updown->click(UpDown::btNext);
    EXPECT_EQ(updown->position(), 0);
}

TEST(UpDown, WorksWithoutOrAfterLosingItsAssociate)
{
    UpDown updown;
    EXPECT_EQ(updown.associate(), nullptr);
    Recorder rec(&updown);
    updown.click(UpDown::btNext);
    EXPECT_EQ(updown.position(), 1);
    EXPECT_EQ(rec.clicks.size(), 1u);

    auto first = std::make_unique<QLineEdit>();
    QLineEdit second;
    updown.setAssociate(first.get());
    EXPECT_EQ(first->text(), QStringLiteral("1")); // takes the position at once
    updown.setAssociate(&second);
    first->setText(QStringLiteral("50")); // the old associate no longer drives it
    EXPECT_EQ(updown.position(), 1);
    EXPECT_EQ(second.text(), QStringLiteral("1"));

    updown.setAssociate(first.get());
    first.reset();
    EXPECT_EQ(updown.associate(), nullptr);
    updown.click(UpDown::btNext);
    updown.setPosition(3);
    EXPECT_EQ(updown.position(), 3);
}

} // namespace
