#include "platform/NumberText.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace numtext
{

namespace
{

// Number of significant digits the general form shows and a pattern never goes beyond.
constexpr int kSignificant = 15;
// The digits a value is first taken apart into: an 18-digit decimal of the binary value.
// Every later rounding is one rounding of these digits, half away from zero, so a value
// rounds as its stored double reads, never twice: 129809.495, stored as
// 129809.49499999999534..., gives 129809,49 with "0.00", not 129809,50.
constexpr int kDecimalDigits = 18;

// A finite, non-zero magnitude as its leading decimal digits: |v| = d0,d1d2... x 10^exponent.
// to_chars is locale independent and exact, so the decimal point of the C locale never matters.
struct Decimal {
    std::string digits; // kDecimalDigits characters '0'..'9', digits[0] != '0'
    int exponent = 0;
};

Decimal toDecimal(double magnitude)
{
    char buf[64];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, kDecimalDigits - 1);
    const std::string text(buf, res.ptr);
    Decimal d;
    const std::size_t e = text.find('e');
    for (std::size_t i = 0; i < e; ++i) {
        if (text[i] != '.')
            d.digits += text[i];
    }
    d.exponent = std::stoi(text.substr(e + 1));
    return d;
}

// Adds one to a string of decimal digits, growing it on carry out of the top digit.
void increment(std::string& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

// The first n digits of d (0 < n < kDecimalDigits), rounded half away from zero on the digit
// after them. A carry out of the top digit raises the exponent and keeps n digits.
Decimal rounded(const Decimal& d, int n)
{
    Decimal r;
    r.digits = d.digits.substr(0, static_cast<std::size_t>(n));
    r.exponent = d.exponent;
    if (d.digits[static_cast<std::size_t>(n)] >= '5') {
        increment(r.digits);
        if (r.digits.size() > static_cast<std::size_t>(n)) {
            r.digits.pop_back();
            ++r.exponent;
        }
    }
    return r;
}

QString nonFinite(double v)
{
    if (std::isnan(v))
        return QStringLiteral("NAN");
    return v < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Strips the blanks around text; returns false when nothing else is left.
bool trimBlanks(const QString& text, qsizetype& begin, qsizetype& end)
{
    begin = 0;
    end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return begin < end;
}

} // namespace

ConversionError::ConversionError(const QString& text)
    : std::runtime_error(QStringLiteral("'%1' is not a valid floating point value").arg(text).toStdString()),
      m_text(text)
{
}

QString formatFloat(const QString& pattern, double v)
{
    // Digit places: the integer part needs every place from its first '0' on; the fraction
    // rounds to all its places and keeps the digits up to its last '0'.
    int intRequired = 0;
    int fracTotal = 0;
    int fracRequired = 0;
    bool inFraction = false;
    bool anyPlace = false;
    for (const QChar c : pattern) {
        if (c == QLatin1Char('.') && !inFraction) {
            inFraction = true;
            continue;
        }
        if (c != QLatin1Char('0') && c != QLatin1Char('#'))
            continue;
        anyPlace = true;
        if (inFraction) {
            ++fracTotal;
            if (c == QLatin1Char('0'))
                fracRequired = fracTotal;
        } else if (c == QLatin1Char('0') || intRequired > 0) {
            ++intRequired;
        }
    }
    if (!anyPlace)
        return floatToStr(v);
    if (!std::isfinite(v))
        return nonFinite(v);

    // scaled holds |v| x 10^fracTotal as a decimal integer, rounded half away from zero.
    std::string scaled = "0";
    if (v != 0) {
        const Decimal d = toDecimal(std::fabs(v));
        const int keep = d.exponent + fracTotal + 1; // digits at or above the last place
        if (keep <= 0) {
            if (keep == 0 && d.digits[0] >= '5')
                scaled = "1";
        } else if (keep >= kSignificant) {
            // places beyond the 15th significant digit are filled with zeros
            const Decimal r = rounded(d, kSignificant);
            scaled = r.digits + std::string(keep - kSignificant + (r.exponent - d.exponent), '0');
        } else {
            scaled = d.digits.substr(0, keep);
            if (d.digits[keep] >= '5')
                increment(scaled);
        }
    }
    const bool zero = scaled.find_first_not_of('0') == std::string::npos;
    if (scaled.size() <= static_cast<std::size_t>(fracTotal))
        scaled.insert(0, fracTotal + 1 - scaled.size(), '0');

    std::string intPart = scaled.substr(0, scaled.size() - fracTotal);
    std::string fracPart = scaled.substr(scaled.size() - fracTotal);
    const std::size_t firstNonZero = intPart.find_first_not_of('0');
    intPart.erase(0, firstNonZero == std::string::npos ? intPart.size() : firstNonZero);
    if (intPart.size() < static_cast<std::size_t>(intRequired))
        intPart.insert(0, intRequired - intPart.size(), '0');
    while (fracPart.size() > static_cast<std::size_t>(fracRequired) && fracPart.back() == '0')
        fracPart.pop_back();

    QString out;
    if (v < 0 && !zero)
        out += QLatin1Char('-');
    out += QString::fromLatin1(intPart.data(), intPart.size());
    if (!fracPart.empty()) {
        out += QLatin1Char(',');
        out += QString::fromLatin1(fracPart.data(), fracPart.size());
    }
    return out;
}

QString floatToStr(double v)
{
    if (!std::isfinite(v))
        return nonFinite(v);
    if (v == 0)
        return QStringLiteral("0");

    const Decimal d = rounded(toDecimal(std::fabs(v)), kSignificant);
    std::string digits = d.digits;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int x = d.exponent;

    std::string out = v < 0 ? "-" : "";
    if (x >= -5 && x < kSignificant) {
        if (x >= 0) {
            const std::size_t intLen = static_cast<std::size_t>(x) + 1;
            if (digits.size() <= intLen) {
                out += digits + std::string(intLen - digits.size(), '0');
            } else {
                out += digits.substr(0, intLen) + ',' + digits.substr(intLen);
            }
        } else {
            out += "0," + std::string(-x - 1, '0') + digits;
        }
    } else {
        out += digits[0];
        if (digits.size() > 1)
            out += ',' + digits.substr(1);
        out += 'E' + std::to_string(x);
    }
    return QString::fromLatin1(out.data(), out.size());
}

namespace
{

// An optional leading sign; a minus goes into the text for from_chars, a plus is dropped.
void takeSign(const QString& text, qsizetype& i, std::string& c)
{
    if (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')) {
        if (text[i] == QLatin1Char('-'))
            c += '-';
        ++i;
    }
}

} // namespace

bool tryStrToFloat(const QString& text, double& out)
{
    qsizetype i = 0;
    qsizetype end = 0;
    if (!trimBlanks(text, i, end))
        return false;

    // Rebuilt in the form from_chars reads (point as separator), after checking the grammar.
    std::string c;
    takeSign(text, i, c);
    int mantissaDigits = 0;
    bool comma = false;
    for (; i < end; ++i) {
        const QChar ch = text[i];
        if (isAsciiDigit(ch)) {
            c += static_cast<char>(ch.unicode());
            ++mantissaDigits;
        } else if (ch == QLatin1Char(',') && !comma) {
            comma = true;
            c += '.';
        } else {
            break;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (i < end && (text[i] == QLatin1Char('E') || text[i] == QLatin1Char('e'))) {
        c += 'e';
        ++i;
        if (i < end && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
            c += static_cast<char>(text[i].unicode());
            ++i;
        }
        int exponentDigits = 0;
        for (; i < end && isAsciiDigit(text[i]); ++i) {
            c += static_cast<char>(text[i].unicode());
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return false;
    }
    if (i != end)
        return false;

    double value = 0;
    const auto res = std::from_chars(c.data(), c.data() + c.size(), value, std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != c.data() + c.size() || !std::isfinite(value))
        return false;
    out = value;
    return true;
}

double strToFloat(const QString& text)
{
    double value = 0;
    if (!tryStrToFloat(text, value))
        throw ConversionError(text);
    return value;
}

bool tryStrToInt(const QString& text, int& out)
{
    qsizetype i = 0;
    qsizetype end = 0;
    if (!trimBlanks(text, i, end))
        return false;
    std::string c;
    takeSign(text, i, c);
    if (i == end)
        return false;
    for (; i < end; ++i) {
        if (!isAsciiDigit(text[i]))
            return false;
        c += static_cast<char>(text[i].unicode());
    }
    int value = 0;
    const auto res = std::from_chars(c.data(), c.data() + c.size(), value);
    if (res.ec != std::errc() || res.ptr != c.data() + c.size())
        return false;
    out = value;
    return true;
}

} // namespace numtext
