#include "sim/SimPanel.h"

#include "instrument/Registers.h"
#include "sim/SimInstrument.h"

#include <QStringList>

namespace simpanel
{

QString panelHelp()
{
    return QStringLiteral(
        "Front panel: while it runs, lines on standard input change the instrument as an\n"
        "operator at it would, and raise the status bits that the program polls:\n"
        "  value R     set R ohms, e.g. \"value 123,45\" (a whole number of steps in range)\n"
        "  display L   display selection A..H (A Rвос, B ΔR, C δR, D Rпред, E U max,\n"
        "              F I max, G decade steps, H blank)\n"
        "  mode L      output mode A..D (A 2-wire, B 4-wire, C 2-wire compensated,\n"
        "              D 4-wire compensated)");
}

Reply command(SimInstrument& sim, const QString& line)
{
    const QString simple = line.simplified();
    const QStringList words = simple.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return {true, {}};
    const QString name = words.front().toLower();
    const QByteArray argument = words.size() == 2 ? words.back().toLatin1() : QByteArray();
    const char letter = argument.size() == 1 ? char(QChar::fromLatin1(argument[0]).toUpper().toLatin1()) : 0;

    Reg reg = Reg::SetValue;
    bool done = false;
    if (name == QLatin1String("value")) {
        done = !argument.isEmpty() && sim.panelValue(argument);
    } else if (name == QLatin1String("display")) {
        reg = Reg::Display;
        done = sim.panelDisplay(letter);
    } else if (name == QLatin1String("mode")) {
        reg = Reg::OutputMode;
        done = sim.panelMode(letter);
    } else {
        return {false, QStringLiteral("unknown command \"%1\"\n").arg(simple) + panelHelp()};
    }
    if (!done)
        return {false, QStringLiteral("the panel cannot set \"%1\"").arg(simple)};
    return {true, QStringLiteral("%1 = %2, status %3")
                      .arg(regNumber(reg))
                      .arg(QString::fromLatin1(sim.registerText(regNumber(reg))))
                      .arg(QString::fromLatin1(sim.registerText(regNumber(Reg::Status))))};
}

} // namespace simpanel
