#include "instrument/Frame.h"

#include <algorithm>

namespace frame
{

namespace
{

constexpr int HeaderSize = 5; // address, function, register hi, register lo, count
constexpr int CrcSize = 2;

void appendHeader(QByteArray& bytes, std::uint8_t address, std::uint8_t function, std::uint16_t reg)
{
    bytes.append(char(address));
    bytes.append(char(function));
    bytes.append(char(reg >> 8));
    bytes.append(char(reg & 0xFF));
}

} // namespace

std::uint16_t Crc16(const std::uint8_t* data, std::size_t count)
{
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < count; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) ? std::uint16_t((crc >> 1) ^ 0xA001) : std::uint16_t(crc >> 1);
    }
    return crc;
}

void appendCrc(QByteArray& bytes)
{
    const std::uint16_t crc =
        Crc16(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()));
    // Low byte first on the wire, whatever the host's byte order.
    bytes.append(char(crc & 0xFF));
    bytes.append(char(crc >> 8));
}

QByteArray readRequest(std::uint8_t address, std::uint16_t reg)
{
    QByteArray bytes;
    bytes.reserve(8);
    appendHeader(bytes, address, FuncRead, reg);
    bytes.append('\x00');
    bytes.append('\x01'); // one register
    appendCrc(bytes);
    return bytes;
}

std::optional<QByteArray> writeRequest(std::uint8_t address, std::uint16_t reg, const QByteArray& text)
{
    // The last request is kept in a 128-byte buffer for resending; a longer one cannot be.
    if (text.size() > MaxWriteText)
        return std::nullopt;
    QByteArray bytes;
    bytes.reserve(text.size() + HeaderSize + CrcSize);
    appendHeader(bytes, address, FuncWrite, reg);
    bytes.append(char(text.size()));
    bytes.append(text);
    appendCrc(bytes);
    return bytes;
}

QByteArray answerFrame(std::uint8_t address, std::uint8_t function, std::uint16_t reg, const QByteArray& data)
{
    // The count is one byte: a longer data block cannot be described, so it is cut.
    const QByteArray payload = data.left(255);
    QByteArray bytes;
    bytes.reserve(payload.size() + HeaderSize + CrcSize);
    appendHeader(bytes, address, function, reg);
    bytes.append(char(payload.size()));
    bytes.append(payload);
    appendCrc(bytes);
    return bytes;
}

Check checkAnswer(const std::uint8_t* bytes, int count)
{
    if (bytes == nullptr || count < HeaderSize)
        return Check::Truncated;
    const int n = bytes[4];
    if (n == 0)
        return Check::ZeroCount;
    const int length = n + HeaderSize + CrcSize;
    // Never look at bytes that were not received or that lie past the receive buffer.
    if (length > count || length > MaxFrame)
        return Check::Truncated;
    const std::uint16_t crc = Crc16(bytes, std::size_t(n + HeaderSize));
    if (bytes[n + HeaderSize] != (crc & 0xFF) || bytes[n + HeaderSize + 1] != (crc >> 8))
        return Check::BadCrc;
    return Check::Ok;
}

Answer parseAnswer(const std::uint8_t* bytes, int count)
{
    Answer answer;
    if (bytes == nullptr || count < HeaderSize)
        return answer;
    answer.address = bytes[0];
    answer.function = bytes[1];
    answer.reg = std::uint16_t((bytes[2] << 8) | bytes[3]);
    const int n = std::min<int>(bytes[4], count - HeaderSize);
    answer.data = QByteArray(reinterpret_cast<const char*>(bytes + HeaderSize), n);
    return answer;
}

} // namespace frame
