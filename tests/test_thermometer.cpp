// Thermometer characteristics: coefficient sets, both conversions, branch boundaries, R0.
#include "instrument/ProfileProcessor.h"

#include <cmath>
#include <gtest/gtest.h>

namespace
{

ProfileProcessor& withType(ProfileProcessor& p, int type, int rt0 = 100)
{
    loadRtdCoefficients(p, type);
    p.Rt0 = rt0;
    return p;
}

} // namespace

TEST(Thermometer, CoefficientSetsLoadOnlyForKnownTypes)
{
    ProfileProcessor p;
    loadRtdCoefficients(p, 1);
    // A, B, C are mantissa times power of ten, which is not always the double nearest the decimal.
    EXPECT_EQ(p.coefABC, (std::vector<double>{3.9083 * 1e-3, -5.775 * 1e-7, -4.183 * 1e-12}));
    EXPECT_EQ(p.coefD, (std::vector<double>{255.819, 9.1455, -2.92363, 1.7909}));
    loadRtdCoefficients(p, 3);
    EXPECT_EQ(p.coefABC[2], 9.2004 * 1e-9);
    EXPECT_EQ(p.coefD[3], 0.0);

    const auto abc = p.coefABC;
    const auto d = p.coefD;
    loadRtdCoefficients(p, 4);
    loadRtdCoefficients(p, -1);
    EXPECT_EQ(p.coefABC, abc);
    EXPECT_EQ(p.coefD, d);
}

// Resistances of 100-ohm thermometers from the standard characteristic tables.
TEST(Thermometer, TemperatureToResistance)
{
    const struct {
        int type;
        double t;
        double ohms;
        double tol;
    } cases[] = {
        {0, 0, 100, 0},           {1, 0, 100, 0},           {2, 0, 100, 0},
        {3, 0, 100, 0},           {1, -50, 80.3063, 5e-5},  {0, -200, 17.2444, 5e-5},
        {0, 850, 395.1638, 5e-5}, {1, -200, 18.5201, 5e-5}, {1, -100, 60.2558, 5e-5},
        {1, 100, 138.5055, 5e-5}, {1, 850, 390.4811, 5e-5}, {2, 100, 142.8, 1e-9},
        {2, -50, 78.4551, 5e-5},  {2, -180, 20.5284, 5e-5}, {3, 100, 161.7186, 1e-9},
        {3, 180, 223.2063, 5e-5}, {3, -60, 69.4542, 5e-5},
    };
    ProfileProcessor p;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " t " << c.t);
        withType(p, c.type);
        if (c.tol == 0)
            EXPECT_EQ(p.tempToOhm(c.t, c.type), c.ohms);
        else
            EXPECT_NEAR(p.tempToOhm(c.t, c.type), c.ohms, c.tol);
    }
}

TEST(Thermometer, ResistanceToTemperature)
{
    const struct {
        int type;
        double ohms;
        double t;
        double tol;
    } cases[] = {
        {1, 100, 0, 1e-12},           {0, 100, 0, 1e-12},      {2, 100, 0, 1e-12},
        {1, 80.3063, -50.0005, 5e-5}, {2, 142.8, 100, 1e-9},   {1, 138.5055, 100, 5e-5},
        {0, 395.1638, 850, 5e-4},     {2, 78.4551, -50, 2e-3},
    };
    ProfileProcessor p;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " R " << c.ohms);
        withType(p, c.type);
        EXPECT_NEAR(p.ohmToTemp(c.ohms, c.type), c.t, c.tol);
    }
}

// Below 0 °C (and for nickel everywhere) the inverse is an approximating polynomial, good
// to a few thousandths of a degree over each type's range.
TEST(Thermometer, RoundTripOverEachRange)
{
    const struct {
        int type;
        int from, to, step;
        double tol;
    } ranges[] = {
        {0, -200, 850, 25, 2e-3}, {1, -200, 850, 25, 2e-3}, {2, -180, 200, 10, 2e-3}, {3, -60, 180, 5, 3e-3}};
    ProfileProcessor p;
    for (const auto& r : ranges) {
        withType(p, r.type);
        for (int t = r.from; t <= r.to; t += r.step) {
            SCOPED_TRACE(testing::Message() << "type " << r.type << " t " << t);
            const double back = p.ohmToTemp(p.tempToOhm(t, r.type), r.type);
            EXPECT_NEAR(back, t, t >= 0 && r.type < 3 ? 1e-9 : r.tol);
        }
    }
}

TEST(Thermometer, BranchBoundaries)
{
    ProfileProcessor p;
    // Just below 0 °C platinum and copper take the low-temperature rows, which stay continuous.
    for (int type = 0; type <= 2; ++type) {
        SCOPED_TRACE(type);
        withType(p, type);
        const double below = std::nextafter(0.0, -1.0);
        EXPECT_NEAR(p.tempToOhm(below, type), 100, 1e-12);
        EXPECT_NEAR(p.ohmToTemp(std::nextafter(100.0, 0.0), type), 0, 1e-9);
        EXPECT_NEAR(p.ohmToTemp(std::nextafter(100.0, 200.0), type), 0, 1e-9);
    }

    // Nickel: the test compares R with the resistance at 100 °C, while the upper polynomial is
    // centred on W = 1,6172, so exactly at the boundary the upper row gives slightly under 100.
    withType(p, 3);
    const double r100 = p.tempToOhm(100, 3);
    EXPECT_NEAR(r100, 161.7186, 1e-9);
    EXPECT_NEAR(p.ohmToTemp(r100, 3), 99.998, 5e-4);
    EXPECT_LT(p.ohmToTemp(r100, 3), 99.999);
    // One step below it the quadratic inverse of the lower row gives 100 back.
    EXPECT_NEAR(p.ohmToTemp(std::nextafter(r100, 0.0), 3), 100, 1e-9);
    EXPECT_NEAR(p.tempToOhm(std::nextafter(100.0, 0.0), 3), r100, 1e-9);
}

TEST(Thermometer, ScalesWithRt0)
{
    ProfileProcessor p;
    for (int rt0 : {10, 50, 500, 1000}) {
        for (int type = 0; type <= 3; ++type) {
            SCOPED_TRACE(testing::Message() << "Rt0 " << rt0 << " type " << type);
            withType(p, type, 100);
            const double r100 = p.tempToOhm(-50, type);
            const double t100 = p.ohmToTemp(r100, type);
            withType(p, type, rt0);
            EXPECT_EQ(p.tempToOhm(0, type), rt0);
            EXPECT_NEAR(p.tempToOhm(-50, type), r100 * rt0 / 100, 1e-9 * rt0);
            EXPECT_NEAR(p.ohmToTemp(r100 * rt0 / 100, type), t100, 1e-9);
        }
    }
    withType(p, 1, 50);
    EXPECT_NEAR(p.tempToOhm(100, 1), 69.25275, 1e-9);
    EXPECT_NEAR(p.ohmToTemp(69.25275, 1), 100, 1e-9);
}

TEST(Thermometer, UnknownTypeReturnsInputUnchanged)
{
    ProfileProcessor p;
    withType(p, 1);
    for (short type : {short(-1), short(4), short(100)}) {
        SCOPED_TRACE(type);
        EXPECT_EQ(p.tempToOhm(25.5, type), 25.5);
        EXPECT_EQ(p.ohmToTemp(109.7, type), 109.7);
    }
}
