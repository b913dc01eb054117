#include "ui/ReadoutFigures.h"

#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>

namespace readout
{

namespace
{

constexpr double kNudge = 5e-5;

double cut(double scaled)
{
    return std::trunc(scaled + (scaled >= 0 ? kNudge : -kNudge));
}

} // namespace

double truncate4(double x)
{
    return cut(x * 1e4) / 1e4;
}

double truncate5(double x)
{
    return cut(x * 1e5) / 1e5;
}

double deltaCelsius(double trueCelsius, double setCelsius)
{
    return cut(trueCelsius * 1e4 - setCelsius * 1e4) / 1e4;
}

QString deltaTPercentText(double otklonCelsius, double setCelsius)
{
    const double deltaT = truncate5(otklonCelsius * 100 / std::fabs(setCelsius));
    const QString t = numtext::formatFloat(QStringLiteral("0.00000"), deltaT);
    if (t == QLatin1String("0,00000")) {
        // A deviation too small for five decimals still says which side it lies on.
        if (otklonCelsius == 0)
            return QStringLiteral("0,00000 %");
        return otklonCelsius < 0 ? QStringLiteral("δT<|-0,00001%|") : QStringLiteral("δT<|+0,00001%|");
    }
    return (otklonCelsius > 0 ? QStringLiteral("+") : QString()) + t + QStringLiteral(" %");
}

double classTerm(double cls, const QString& classText, const QString& fullName)
{
    if (cls <= 0.01) {
        const QChar variant = fullName.size() >= 8 ? fullName.at(7) : QChar();
        const QChar next = fullName.size() >= 9 ? fullName.at(8) : QChar();
        if (variant == QLatin1Char('1'))
            return 0.007;
        if (variant == QLatin1Char('2') && (next == QLatin1Char('0') || next == QLatin1Char('1')))
            return 0.007;
        return 0.014;
    }
    if (classText == QLatin1String("0,02"))
        return 0.021;
    if (classText == QLatin1String("0,05"))
        return 0.035;
    if (classText == QLatin1String("0,1"))
        return 0.042;
    if (classText == QLatin1String("0,2"))
        return 0.07;
    return 0;
}

double stabilityPercent(double cls, double k, int maxDec, double r)
{
    const double rTop = std::pow(10.0, maxDec + 1);
    const double d = 10 * k / rTop;
    return cls + d * (rTop / r - 1);
}

double stabilityOhm(double cls, double k, int minDec, int maxDec, double r)
{
    const double rSpan = std::pow(10.0, maxDec + 1) - std::pow(10.0, minDec + 1);
    const double d = 10 * k / rSpan;
    return r * (cls + d * (rSpan / r - 1)) / 100;
}

std::optional<IMaxTexts> iMaxTexts(const QString& text, bool russian)
{
    const QChar unit = text.isEmpty() ? QChar() : text.back();
    if (unit == QLatin1Char('k') || unit == QLatin1Char('m')) {
        // The instrument sends "14,23 m": the number, a blank and the unit letter.
        const QString number = text.left(std::max<qsizetype>(0, text.size() - 2));
        double v = 0;
        if (!numtext::tryStrToFloat(number, v))
            return std::nullopt;
        if (unit == QLatin1Char('k'))
            return IMaxTexts{numtext::formatFloat(QStringLiteral("0.0000000"), v * 1e-6),
                             number + (russian ? QStringLiteral(" мкА") : QStringLiteral(" μA"))};
        return IMaxTexts{numtext::formatFloat(QStringLiteral("0.00000"), v * 1e-3),
                         text.left(text.size() - 1) +
                             (russian ? QStringLiteral(" мА") : QStringLiteral(" mA"))};
    }
    return IMaxTexts{text, text + (russian ? QStringLiteral(" А") : QStringLiteral(" A"))};
}

} // namespace readout
