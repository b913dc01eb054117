// Frames and CRC: byte layouts of requests and answers, and the answer check.
#include "instrument/Frame.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

using Bytes = std::vector<std::uint8_t>;

Bytes toBytes(const QByteArray& a)
{
    return Bytes(a.begin(), a.end());
}

QByteArray fromBytes(const Bytes& b)
{
    return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
}

struct CrcCase {
    const char* name;
    Bytes data;
    std::uint16_t crc;
};

class CrcTest : public ::testing::TestWithParam<CrcCase>
{
};

TEST_P(CrcTest, MatchesReference)
{
    const CrcCase& c = GetParam();
    EXPECT_EQ(frame::Crc16(c.data.data(), c.data.size()), c.crc);
}

INSTANTIATE_TEST_SUITE_P(
    Vectors, CrcTest,
    ::testing::Values(CrcCase{"check", {'1', '2', '3', '4', '5', '6', '7', '8', '9'}, 0x4B37},
                      CrcCase{"empty", {}, 0xFFFF},
                      CrcCase{"modbusExample", {0x11, 0x03, 0x00, 0x6B, 0x00, 0x03}, 0x8776},
                      CrcCase{"read40066", {0x01, 0x03, 0x9C, 0x82, 0x00, 0x01}, 0x720A}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CrcTest, CountLimitsTheBytesCovered)
{
    const Bytes data{'1', '2', '3', '4', '5', '6', '7', '8', '9', 0xAA, 0xBB};
    EXPECT_EQ(frame::Crc16(data.data(), 9), 0x4B37);
}

TEST(FrameTest, AppendCrcStoresLowByteFirst)
{
    QByteArray bytes("123456789");
    frame::appendCrc(bytes);
    ASSERT_EQ(bytes.size(), 11);
    EXPECT_EQ(std::uint8_t(bytes[9]), 0x37);
    EXPECT_EQ(std::uint8_t(bytes[10]), 0x4B);
}

struct RequestCase {
    const char* name;
    QByteArray frame;
    Bytes expected;
};

class RequestTest : public ::testing::TestWithParam<RequestCase>
{
};

TEST_P(RequestTest, ExactBytes)
{
    EXPECT_EQ(toBytes(GetParam().frame), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, RequestTest,
    ::testing::Values(RequestCase{"read40066",
                                  frame::readRequest(1, 40066),
                                  {0x01, 0x03, 0x9C, 0x82, 0x00, 0x01, 0x0A, 0x72}},
                      RequestCase{"writeA40074",
                                  frame::writeRequest(1, 40074, "A").value_or(QByteArray()),
                                  {0x01, 0x06, 0x9C, 0x8A, 0x01, 0x41, 0x47, 0xD0}},
                      RequestCase{"writeEmpty40073",
                                  frame::writeRequest(1, 40073, QByteArray()).value_or(QByteArray()),
                                  {0x01, 0x06, 0x9C, 0x89, 0x00, 0xBE, 0xF6}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FrameTest, WriteCarriesTextAndCountsIt)
{
    const QByteArray text("12,5000");
    const auto f = frame::writeRequest(9, 40073, text);
    ASSERT_TRUE(f.has_value());
    ASSERT_EQ(f->size(), text.size() + 7);
    EXPECT_EQ(std::uint8_t(f->at(0)), 9);
    EXPECT_EQ(std::uint8_t(f->at(4)), text.size());
    EXPECT_EQ(f->mid(5, text.size()), text);
    EXPECT_EQ(frame::checkAnswer(reinterpret_cast<const std::uint8_t*>(f->constData()), int(f->size())),
              frame::Check::Ok);
}

TEST(FrameTest, WriteRefusesTextThatDoesNotFit128Bytes)
{
    const auto longest = frame::writeRequest(1, 40073, QByteArray(frame::MaxWriteText, '7'));
    ASSERT_TRUE(longest.has_value());
    EXPECT_EQ(longest->size(), frame::MaxFrame);
    EXPECT_FALSE(frame::writeRequest(1, 40073, QByteArray(frame::MaxWriteText + 1, '7')).has_value());
}

TEST(FrameTest, AddressIsTheLowByteOfTheNumber)
{
    const int typed = 257;
    const auto address = static_cast<std::uint8_t>(typed);
    EXPECT_EQ(address, 1);
    EXPECT_EQ(frame::readRequest(address, 40066), frame::readRequest(1, 40066));
}

// Answers as the link receives them.
QByteArray goodAnswer()
{
    return frame::answerFrame(1, 3, 40066, "RD5540-3");
}

QByteArray withByte(QByteArray a, int index, std::uint8_t value)
{
    a[index] = char(value);
    return a;
}

struct CheckCase {
    const char* name;
    QByteArray bytes;
    frame::Check expected;
};

class CheckTest : public ::testing::TestWithParam<CheckCase>
{
};

TEST_P(CheckTest, Outcome)
{
    const QByteArray& b = GetParam().bytes;
    EXPECT_EQ(frame::checkAnswer(reinterpret_cast<const std::uint8_t*>(b.constData()), int(b.size())),
              GetParam().expected);
}

// A 128-byte receive buffer whose count byte names 200 data bytes, with a CRC that
// would match if the check read past what fits.
QByteArray oversizedCount()
{
    QByteArray a(5, '\0');
    a[0] = 1;
    a[1] = 3;
    a[4] = char(200);
    a.append(QByteArray(200, 'x'));
    frame::appendCrc(a);
    return a;
}

INSTANTIATE_TEST_SUITE_P(
    Answers, CheckTest,
    ::testing::Values(
        CheckCase{"good", goodAnswer(), frame::Check::Ok},
        CheckCase{"goodWithTrailingBytes", goodAnswer() + QByteArray("\x00\x00", 2), frame::Check::Ok},
        CheckCase{"writeAck", frame::answerFrame(1, 6, 40074, "A"), frame::Check::Ok},
        CheckCase{"exception", frame::answerFrame(1, 0x83, 40066, "\x05"), frame::Check::Ok},
        CheckCase{"zeroCount", frame::answerFrame(1, 3, 40066, QByteArray()), frame::Check::ZeroCount},
        CheckCase{"zeroCountBadCrc", withByte(frame::answerFrame(1, 3, 40066, QByteArray()), 5, 0),
                  frame::Check::ZeroCount},
        CheckCase{"empty", QByteArray(), frame::Check::Truncated},
        CheckCase{"fourBytes", goodAnswer().left(4), frame::Check::Truncated},
        CheckCase{"crcMissing", goodAnswer().chopped(2), frame::Check::Truncated},
        CheckCase{"crcHalf", goodAnswer().chopped(1), frame::Check::Truncated},
        CheckCase{"oversizedCount", oversizedCount(), frame::Check::Truncated},
        CheckCase{"badCrcLow", withByte(goodAnswer(), 13, 0x00), frame::Check::BadCrc},
        CheckCase{"badCrcHigh", withByte(goodAnswer(), 14, 0x00), frame::Check::BadCrc},
        CheckCase{"swappedCrc",
                  withByte(withByte(goodAnswer(), 13, std::uint8_t(goodAnswer()[14])), 14,
                           std::uint8_t(goodAnswer()[13])),
                  frame::Check::BadCrc},
        CheckCase{"corruptData", withByte(goodAnswer(), 7, '9'), frame::Check::BadCrc}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FrameTest, AnswerFrameLayout)
{
    EXPECT_EQ(toBytes(frame::answerFrame(1, 3, 40066, "RD5540-3")),
              (Bytes{0x01, 0x03, 0x9C, 0x82, 0x08, 'R', 'D', '5', '5', '4', '0', '-', '3', 0x5C, 0xE4}));
}

TEST(FrameTest, ParseAnswerSplitsFields)
{
    const QByteArray a = frame::answerFrame(7, 3, 40079, "12,5000");
    const auto p = frame::parseAnswer(reinterpret_cast<const std::uint8_t*>(a.constData()), int(a.size()));
    EXPECT_EQ(p.address, 7);
    EXPECT_EQ(p.function, 3);
    EXPECT_EQ(p.reg, 40079);
    EXPECT_EQ(p.data, QByteArray("12,5000"));
}

TEST(FrameTest, ExceptionAnswerCarriesItsCode)
{
    const Bytes raw{0x01, 0x83, 0x9C, 0x82, 0x01, 0x0B};
    QByteArray a = fromBytes(raw);
    frame::appendCrc(a);
    const auto* b = reinterpret_cast<const std::uint8_t*>(a.constData());
    ASSERT_EQ(frame::checkAnswer(b, int(a.size())), frame::Check::Ok);
    const auto p = frame::parseAnswer(b, int(a.size()));
    EXPECT_EQ(p.function, 0x83);
    EXPECT_GT(p.function, 0x80);
    ASSERT_EQ(p.data.size(), 1);
    EXPECT_EQ(std::uint8_t(p.data[0]), 11);
}

TEST(FrameTest, ParseNeverReadsPastReceivedBytes)
{
    // Count says 8, only 3 data bytes arrived; run under the address sanitizer.
    const QByteArray a = goodAnswer().left(8);
    const Bytes exact(a.begin(), a.end());
    const auto p = frame::parseAnswer(exact.data(), int(exact.size()));
    EXPECT_EQ(p.data, QByteArray("RD5"));
    EXPECT_EQ(frame::parseAnswer(exact.data(), 3).data, QByteArray());
}

} // namespace
