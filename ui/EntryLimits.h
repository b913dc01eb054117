#pragma once
// The limits a value is checked against before it goes to the instrument. Values travel in
// ohms (or °C) whatever unit the window shows, so the check needs the Ω pattern and format
// of the variant while the window may show kΩ or MΩ.

#include <QByteArray>
#include <QString>
#include <boost/regex.hpp>

class TForm1;

// The operator's own step on RD5540-1 in ohms: up to 10000, or four digits and three decimals.
inline constexpr const char* userStepPattern = "1[0]{0,4}(,0{0,3})?|[1-9]?[0-9]{0,3}(,[0-9]{0,3})?";

struct CheckLimits {
    boost::regex rangeRegex; // Ω range pattern of the variant; in °C the °C pattern
    QString ohmFormat;       // Ω format of the variant ("0.000" for RD5540-1)
};

// Switches the hidden unit box to Ω and recomputes the limits (in °C also the °C limits),
// takes a copy of the pattern and the Ω format, and puts everything back: the unit, the
// limits, the digit selector, the step shown, the operator's step and the edit texts that
// the °C limits rewrite.
CheckLimits ohmCheckLimits(TForm1& w);

// Factor from the unit shown (ChooseOhm: 0 Ω, 1 kΩ, 2 MΩ) to ohms.
inline double unitFactor(int unit)
{
    return unit == 1 ? 1e3 : unit == 2 ? 1e6 : 1.0;
}

// Whole-text match of a value text against a pattern, on its CP1251 bytes; a text that
// has no CP1251 form never matches.
bool matchesPattern(const QString& text, const boost::regex& pattern);
bool matchesPattern(const QByteArray& bytes, const boost::regex& pattern);
