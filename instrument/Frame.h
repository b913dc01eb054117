#pragma once
// Request and answer frames: Modbus RTU framing and CRC, with a length-prefixed text
// payload. Pure functions over bytes.

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace frame
{

constexpr std::uint8_t FuncRead = 0x03;
constexpr std::uint8_t FuncWrite = 0x06;
constexpr int MaxFrame = 128;     // txFrame / rxFrame size
constexpr int AnswerOverhead = 7; // header of 5 bytes and the CRC around the data
constexpr int MaxWriteText = MaxFrame - AnswerOverhead;
constexpr int MinAnswer = AnswerOverhead + 1; // a valid answer carries at least one data byte

// CRC-16/MODBUS (init 0xFFFF, reflected poly 0xA001, no final xor) of count bytes.
std::uint16_t Crc16(const std::uint8_t* data, std::size_t count);

// Appends the CRC of all bytes so far, low byte first.
void appendCrc(QByteArray& bytes);

// Read request: addr, 3, reg hi, reg lo, 0, 1, crc lo, crc hi.
QByteArray readRequest(std::uint8_t address, std::uint16_t reg);

// Write request: addr, 6, reg hi, reg lo, n, n text bytes, crc lo, crc hi.
// Returns nothing when the text does not fit a 128-byte frame.
std::optional<QByteArray> writeRequest(std::uint8_t address, std::uint16_t reg, const QByteArray& text);

// An answer (or a request: the same layout with function 6) taken apart.
struct Answer {
    std::uint8_t address = 0;
    std::uint8_t function = 0;
    std::uint16_t reg = 0;
    QByteArray data; // n data bytes
};

// Builds an answer frame: addr, func, reg hi, reg lo, n, data, crc lo, crc hi.
// Data beyond 255 bytes (what one count byte can name) is cut.
QByteArray answerFrame(std::uint8_t address, std::uint8_t function, std::uint16_t reg,
                       const QByteArray& data);

// Outcome of checking a received answer, in the order the link checks it.
enum class Check { Ok, ZeroCount, Truncated, BadCrc };

// Checks bytes as an answer, in this order: fewer than 5 bytes (Truncated), data count 0
// (ZeroCount), a count that names more bytes than were received or than fit 128 bytes
// (Truncated), then the CRC over the first n + 5 bytes (BadCrc). An exception answer
// (function above 0x80) passes like any other; its code is the first data byte.
Check checkAnswer(const std::uint8_t* bytes, int count);

// Splits a checked answer; meant for use after checkAnswer returned Ok. On other input
// it reads no byte past count (the data is cut short).
Answer parseAnswer(const std::uint8_t* bytes, int count);

} // namespace frame
