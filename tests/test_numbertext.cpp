// Number text with the decimal comma: patterns, the general form, strict parsing.
#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using numtext::floatToStr;
using numtext::formatFloat;
using numtext::strToFloat;
using numtext::tryStrToFloat;
using numtext::tryStrToInt;

namespace
{

struct FormatCase {
    const char* pattern;
    double value;
    const char* expected;
};

std::ostream& operator<<(std::ostream& os, const FormatCase& c)
{
    return os << '"' << c.pattern << "\" " << c.value << " -> " << c.expected;
}

class FormatFloatTest : public ::testing::TestWithParam<FormatCase>
{
};

TEST_P(FormatFloatTest, Formats)
{
    const FormatCase& c = GetParam();
    EXPECT_EQ(formatFloat(QString::fromLatin1(c.pattern), c.value), QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FormatFloatTest,
    ::testing::Values(
        // the value formats of the instrument variants
        FormatCase{"0", 12.0, "12"}, FormatCase{"0.0", 12.5, "12,5"}, FormatCase{"0.00", 12.5, "12,50"},
        FormatCase{"0.000", 12.5, "12,500"}, FormatCase{"0.0000", 1234.5, "1234,5000"},
        FormatCase{"0.00000", 0.00001, "0,00001"}, FormatCase{"0.000000", 9.999999, "9,999999"},
        FormatCase{"0.0000000", 0.1234567, "0,1234567"}, FormatCase{"0.00000000", 0.00000001, "0,00000001"},
        FormatCase{"0.000000000", 0.009999999, "0,009999999"},
        // one rounding, half away from zero, of the stored double's 18-digit decimal: exact
        // halves go up, decimal halves that the double holds just below stay down
        FormatCase{"0.00", 2.675, "2,67"}, FormatCase{"0.00", -2.675, "-2,67"},
        FormatCase{"0.00", 1.005, "1,00"}, FormatCase{"0.00", 129809.495, "129809,49"},
        FormatCase{"0.00", 0.125, "0,13"}, FormatCase{"0.00", -0.125, "-0,13"},
        FormatCase{"0.0000", 100.00005, "100,0001"}, FormatCase{"0.000", 1.0005, "1,000"},
        FormatCase{"0.0", 0.15, "0,1"}, FormatCase{"0.0", 0.25, "0,3"}, FormatCase{"0.0", -0.25, "-0,3"},
        FormatCase{"0", 0.5, "1"}, FormatCase{"0", 1.5, "2"}, FormatCase{"0", 2.5, "3"},
        FormatCase{"0", -2.5, "-3"}, FormatCase{"0", 2.4999, "2"}, FormatCase{"0.000", 119.397125, "119,397"},
        FormatCase{"0.000", 0.0005, "0,001"}, FormatCase{"0.000", 0.00049, "0,000"},
        FormatCase{"0.000000000", 5e-10, "0,000000001"}, FormatCase{"0.000000000", 4e-10, "0,000000000"},
        FormatCase{"0", 1e-20, "0"}, FormatCase{"0.000000000000000000", 0.1 + 0.2, "0,300000000000000000"},
        // carries through every digit
        FormatCase{"0.00", 9.9951, "10,00"}, FormatCase{"0", 999.5, "1000"},
        FormatCase{"0.0000", 9999999.99996, "10000000,0000"},
        FormatCase{"0.0000", 9999999.99995, "9999999,9999"}, FormatCase{"0.0", -99.96, "-100,0"},
        // zero and negatives rounding to zero carry no sign
        FormatCase{"0", 0.0, "0"}, FormatCase{"0.0000", 0.0, "0,0000"}, FormatCase{"0.000", -0.0, "0,000"},
        FormatCase{"0.000", -0.0004, "0,000"}, FormatCase{"0", -0.4, "0"}, FormatCase{"0.0", -3.0, "-3,0"},
        FormatCase{"0.000", -0.0005, "-0,001"},
        // large values stay in fixed notation, beyond 15 digits filled with zeros
        FormatCase{"0", 99999990.0, "99999990"}, FormatCase{"0.0000", 1e8, "100000000,0000"},
        FormatCase{"0", 123456789012345678.0, "123456789012346000"},
        FormatCase{"0.0", 1e20, "100000000000000000000,0"},
        // optional places
        FormatCase{"#.##", 0.5, ",5"}, FormatCase{"#.##", 0.0, ""}, FormatCase{"#.##", 1234.0, "1234"},
        FormatCase{"0.##", 1.256, "1,26"}, FormatCase{"0.##", 1.0, "1"}, FormatCase{"0.0#", 1.5, "1,5"},
        FormatCase{"0.0#", 1.25, "1,25"}, FormatCase{"00.0", 1.5, "01,5"}, FormatCase{"#0", 0.0, "0"},
        // outside the finite numbers
        FormatCase{"0.00", std::numeric_limits<double>::infinity(), "INF"},
        FormatCase{"0.00", -std::numeric_limits<double>::infinity(), "-INF"},
        FormatCase{"0.00", std::numeric_limits<double>::quiet_NaN(), "NAN"}));

struct GeneralCase {
    double value;
    const char* expected;
};

TEST(FloatToStr, PowersOfTen)
{
    // exponent -9 .. 8; the decade selector computes its steps with pow, so both must agree
    const char* expected[] = {"1E-9",  "1E-8",  "1E-7",   "1E-6",    "0,00001",  "0,0001",
                              "0,001", "0,01",  "0,1",    "1",       "10",       "100",
                              "1000",  "10000", "100000", "1000000", "10000000", "100000000"};
    const double literals[] = {1e-9, 1e-8, 1e-7, 1e-6, 1e-5, 1e-4, 1e-3, 1e-2, 1e-1,
                               1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8};
    for (int i = 0; i < 18; ++i) {
        SCOPED_TRACE(expected[i]);
        EXPECT_EQ(floatToStr(literals[i]), QString::fromLatin1(expected[i]));
        EXPECT_EQ(floatToStr(std::pow(10.0, i - 9)), QString::fromLatin1(expected[i]));
    }
}

TEST(FloatToStr, MantissasSignsAndLimits)
{
    const GeneralCase cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {1.5e-7, "1,5E-7"},
        {2.5e-6, "2,5E-6"},
        {0.0000099, "9,9E-6"},
        {0.000012, "0,000012"},
        {-2.5e-9, "-2,5E-9"},
        {-0.001, "-0,001"},
        {-1.0, "-1"},
        {1234.5, "1234,5"},
        {12.25, "12,25"},
        {99999990.0, "99999990"},
        {0.1 + 0.2, "0,3"},
        {1.0 / 3.0, "0,333333333333333"},
        {2.0 / 3.0, "0,666666666666667"},
        {123456789012345.0, "123456789012345"},
        {999999999999999.0, "999999999999999"},
        {1e15, "1E15"},
        {999999999999999.9, "1E15"},
        {1234567890123456.0, "1,23456789012346E15"},
        // an exact half at the 16th digit goes away from zero, never to the even neighbour
        {1234567890123445.0, "1,23456789012345E15"},
        {123456789012344.5, "123456789012345"},
        {-123456789012344.5, "-123456789012345"},
        {1e100, "1E100"},
        {-1e-100, "-1E-100"},
        {std::numeric_limits<double>::infinity(), "INF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(floatToStr(c.value), QString::fromLatin1(c.expected));
    }
}

TEST(StrToFloat, AcceptsTheCommaFormat)
{
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"12,5", 12.5},        {"-0,001", -0.001},
        {" 7 ", 7.0},          {"\t2,25\t", 2.25},
        {"1E-6", 1e-6},        {"1,5e3", 1500.0},
        {"1e+2", 100.0},       {"-2,5E-9", -2.5e-9},
        {",5", 0.5},           {"5,", 5.0},
        {"+3", 3.0},           {"0", 0.0},
        {"007", 7.0},          {"99999990", 99999990.0},
        {"0,000000001", 1e-9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        double out = -12345;
        ASSERT_TRUE(tryStrToFloat(QString::fromLatin1(c.text), out));
        EXPECT_EQ(out, c.value);
        EXPECT_EQ(strToFloat(QString::fromLatin1(c.text)), c.value);
    }
}

TEST(StrToFloat, RefusesAnythingElse)
{
    const char* cases[] = {
        "12.5",  "",    " ",       "-",     "+",    ",",       "-,",  "1,2,3", "abc",
        "1 000", "1E",  "1E+",     "e5",    "E5",   "inf",     "nan", "-inf",  "1e400",
        "--1",   "+-1", "1,5E2,0", "1E2.5", "0x10", "12,5 Ом", "5Ω",  "1e 5",
    };
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        const QString t = QString::fromUtf8(text);
        double out = 0;
        EXPECT_FALSE(tryStrToFloat(t, out));
        try {
            strToFloat(t);
            ADD_FAILURE() << "no ConversionError";
        } catch (const numtext::ConversionError& e) {
            EXPECT_EQ(e.text(), t);
        }
    }
    // digits of other scripts are not our digits
    double out = 0;
    EXPECT_FALSE(tryStrToFloat(QString(QChar(0x0661)), out));
}

TEST(StrToInt, StrictIntegers)
{
    const struct {
        const char* text;
        int value;
    } accepted[] = {{"42", 42},
                    {" -7 ", -7},
                    {"+3", 3},
                    {"0", 0},
                    {"2147483647", 2147483647},
                    {"-2147483648", -2147483647 - 1}};
    for (const auto& c : accepted) {
        SCOPED_TRACE(c.text);
        int out = -1;
        ASSERT_TRUE(tryStrToInt(QString::fromLatin1(c.text), out));
        EXPECT_EQ(out, c.value);
    }
    for (const char* text : {"", " ", "-", "1,0", "1E2", "2147483648", "-2147483649", "12a", "1 2", "0x1"}) {
        SCOPED_TRACE(text);
        int out = 0;
        EXPECT_FALSE(tryStrToInt(QString::fromLatin1(text), out));
    }
}

// Texts written by floatToStr or formatFloat must read back as the very same number.
TEST(NumberTextRoundTrip, GeneralFormReadsBackExactly)
{
    std::vector<double> values = {0.001,   0.1,       1234.5,
                                  12.25,   0.000012,  1.5e-7,
                                  -2.5e-9, 99999990., 9999.999,
                                  1e15,    -0.5,      123456789012345.,
                                  0.0,     9.99e-6,   1.23456789012345e-3,
                                  7e22,    3.3e-300};
    for (int e = -9; e <= 8; ++e)
        values.push_back(std::pow(10.0, e));
    // the values the instrument formats produce: multiples of each variant's step
    for (double step : {0.001, 0.01, 0.1, 1.0, 10.0, 0.000001, 0.000000001})
        for (int k : {1, 3, 7, 9, 11, 999, 12345, 9999999})
            values.push_back(strToFloat(formatFloat(QStringLiteral("0.000000000"), k * step)));
    for (double v : values) {
        SCOPED_TRACE(v);
        const QString text = floatToStr(v);
        double back = 0;
        ASSERT_TRUE(tryStrToFloat(text, back)) << text.toStdString();
        EXPECT_EQ(back, v) << text.toStdString();
    }
}

} // namespace
