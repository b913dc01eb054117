#pragma once
// Number text with the decimal comma, as every value of the instrument travels and is shown.
// FormatFloat-style patterns ("0.0000", "0", "0.00"), the shortest general form
// ("0,001", "1E-6"), and a strict text-to-number conversion.

#include <QString>
#include <stdexcept>

namespace numtext
{

// Thrown by strToFloat for a text that is not a number in the comma format.
class ConversionError : public std::runtime_error
{
public:
    explicit ConversionError(const QString& text);
    QString text() const { return m_text; }

private:
    QString m_text;
};

// Formats v with a pattern of '0' and '#' digit places and at most one '.', which stands
// for the decimal comma ("0.0000" -> 12,5000). Rounds once, half away from zero, on the
// 18-digit decimal of the stored double, so the text follows the value as stored: 0.125
// gives 0,13, while 2.675 (stored as 2.67499999999999982...) gives 2,67. At most 15 significant
// digits; places beyond them are zeros. No thousands separators, no exponent; a negative
// value that rounds to zero is written without sign.
QString formatFloat(const QString& pattern, double v);

// The shortest general form: the value rounded to 15 significant digits (half away from
// zero, on the same 18-digit decimal as formatFloat), decimal comma, trailing zeros
// dropped; fixed notation from 0,00001 up to 15 integer digits, else scientific as
// "1E-6", "1,5E-7", "1E15", "-2,5E-9". Zero is "0".
QString floatToStr(double v);

// Parses an optional sign, digits with at most one decimal comma, and an optional
// exponent (E or e, optional sign, digits). Leading and trailing blanks are allowed.
// A point, a thousands separator, an empty text, "-" alone, inf or nan are refused.
bool tryStrToFloat(const QString& text, double& out);

// As tryStrToFloat, but throws ConversionError for a text that is not a number.
double strToFloat(const QString& text);

// Integer conversion of the same strictness (optional sign, digits, blanks around).
bool tryStrToInt(const QString& text, int& out);

} // namespace numtext
