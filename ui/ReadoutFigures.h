#pragma once
// The figures the read-out display derives from the instrument's answers: cut temperature
// values, the δT text, the stability figures δн and Δн from the accuracy class, and the
// I max texts. Pure functions, no window state.

#include <QString>
#include <optional>

namespace readout
{

// Cut (not rounded) to 4 or 5 decimals; the nudge of 5e-5 only absorbs the representation
// error of the scaled value, so 100.12345 gives 100.1234.
double truncate4(double x);
double truncate5(double x);

// ΔT = Tвос - Tset cut to 4 decimals, the nudge signed as the difference.
double deltaCelsius(double trueCelsius, double setCelsius);

// δT as shown: "+0,12340 %", "-0,05000 %", or for a figure that cuts to zero "0,00000 %"
// (no deviation), "δT<|-0,00001%|" / "δT<|+0,00001%|". setCelsius must not be 0.
QString deltaTPercentText(double otklonCelsius, double setCelsius);

// Class term K of the stability figures. cls is the accuracy class as a number, classText
// the caption it was read from ("0,02"), fullName the instrument's model text (its 8th
// character is the variant digit).
double classTerm(double cls, const QString& classText, const QString& fullName);

// δн in percent, R the set value in ohms (not 0); Rδ = 10^(maxDec+1).
double stabilityPercent(double cls, double k, int maxDec, double r);
// Δн in ohms; RΔ = 10^(maxDec+1) - 10^(minDec+1).
double stabilityOhm(double cls, double k, int minDec, int maxDec, double r);

// I max as the history keeps it (amperes) and as the display shows it. The last character of
// the instrument's text names the unit: 'k' µA, 'm' mA, anything else A. Nothing when the
// number part of a µA or mA text is not a number.
struct IMaxTexts {
    QString column;
    QString display;
};
std::optional<IMaxTexts> iMaxTexts(const QString& text, bool russian);

} // namespace readout
