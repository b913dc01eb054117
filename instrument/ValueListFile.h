#pragma once
// The value-list file: a header naming the variant, ";w" and the unit (for °C also the
// thermometer type and R0), then one value per line in the order of sending. Reading takes
// the file as a whole: either every line is accepted or the file is refused with the reason,
// so nothing of a bad file reaches the window.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace valuelist
{

enum class Result {
    Ok,
    NotAList,     // the header names no known model (also an empty file)
    OtherVariant, // a value list of another variant
    BadData,      // unit, thermometer type or R0 not readable, or a value outside the pattern
};

struct ValueList {
    Result result = Result::NotAList;
    bool celsius = false; // values in °C, else in Ω
    int rtdType = 0;      // 0..3, °C lists only
    int r0 = 0;           // 10, 50, 100, 500 or 1000 Ω, °C lists only
    QStringList values;   // empty unless Ok
};

// The encodings a value-list file is read in: 8-bit code page 1251 without a mark, or UTF-8 or
// UTF-16 (either byte order) after a byte-order mark.
enum class Encoding { Cp1251, Utf8, Utf16LE, Utf16BE };

// The lines of a file as the platform's string lists load it: 8-bit text in code page 1251,
// or UTF-8 / UTF-16 (either byte order) after a byte-order mark; lines end at CR LF, LF or
// CR, and a final line end starts no further line. *encoding (if given) gets the one read.
QStringList splitLines(const QByteArray& bytes, Encoding* encoding = nullptr);

// The bytes of a file of these lines in an encoding, its byte-order mark included, every line
// ended by CR LF. A code page 1251 text with a character the code page lacks is written as
// UTF-8 behind a mark instead (values and headers are ASCII, so a list never is).
QByteArray encodeLines(const QStringList& lines, Encoding encoding);

// Takes the header apart and checks every value line against the Ω range pattern of the
// variant (deviceID 1..5), or the °C pattern of the header's thermometer type and R0.
ValueList parse(const QStringList& lines, int deviceID);

// The message of a refusal, in Russian or English; empty for Ok.
QString resultText(Result result, bool russian);

} // namespace valuelist
