// Where a window opens: moved no further than needed to lie within the screen's available
// geometry, its top left kept on the screen where the window is wider or taller than it.
#include "ui/WindowPlace.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace
{

const QSize MainWindow(742, 764); // the main window with its frame

struct PlaceCase {
    const char* name;
    QRect avail;
    QSize size;
    QPoint wanted;
    QPoint placed;
};

void PrintTo(const PlaceCase& c, std::ostream* os)
{
    *os << c.name;
}

class PlaceWithin : public ::testing::TestWithParam<PlaceCase>
{
};

TEST_P(PlaceWithin, MovesJustAsFarAsNeeded)
{
    const PlaceCase& c = GetParam();
    const QPoint at = placeWithin(c.avail, c.size, c.wanted);
    EXPECT_EQ(at, c.placed) << at.x() << ',' << at.y();
}

INSTANTIATE_TEST_SUITE_P(
    Screens, PlaceWithin,
    ::testing::Values(
        PlaceCase{"FirstStartOn1024x768", {0, 0, 1024, 768}, MainWindow, {200, 200}, {200, 4}},
        PlaceCase{"FirstStartOn1366x768", {0, 0, 1366, 768}, MainWindow, {200, 200}, {200, 4}},
        PlaceCase{"Stored1000x900On1280x1024", {0, 0, 1280, 1024}, MainWindow, {1000, 900}, {538, 260}},
        PlaceCase{"FitsAndStays", {0, 0, 1280, 1024}, MainWindow, {100, 100}, {100, 100}},
        PlaceCase{"FitsExactlyInTheCorner", {0, 0, 1280, 1024}, MainWindow, {538, 260}, {538, 260}},
        PlaceCase{"LeftOfAndAboveTheScreen", {0, 0, 1280, 1024}, MainWindow, {-300, -40}, {0, 0}},
        PlaceCase{"TallerThanTheScreenKeepsItsTopOnIt", {0, 0, 1024, 600}, MainWindow, {100, 50}, {100, 0}},
        PlaceCase{"TallerThanTheSpaceBelowATopPanel", {0, 27, 1366, 741}, MainWindow, {200, 200}, {200, 27}},
        PlaceCase{"LargerBothWaysKeepsItsTopLeftOnIt", {0, 0, 640, 480}, MainWindow, {100, 100}, {0, 0}},
        PlaceCase{"SecondScreenToTheRight", {1024, 0, 1280, 1024}, MainWindow, {2200, 900}, {1562, 260}},
        PlaceCase{"ScreenLeftOfThePrimary", {-1280, 0, 1280, 1024}, MainWindow, {-100, 100}, {-742, 100}},
        PlaceCase{"SmallWindowOnTheRightEdge", {0, 0, 800, 800}, {395, 322}, {700, 100}, {405, 100}}),
    [](const ::testing::TestParamInfo<PlaceCase>& info) { return std::string(info.param.name); });

} // namespace
