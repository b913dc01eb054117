#pragma once
// The simulated instrument's front panel as text commands, one per line, the way vardeko-sim
// reads them from its standard input (see panelHelp()).

#include <QString>

class SimInstrument;

namespace simpanel
{

// What the commands are, for --help and for a line that is not one.
QString panelHelp();

struct Reply {
    bool ok = false; // the command was understood and carried out
    QString text;    // what was done (the register and the status), or why not
};

// Carries out one line: "value R" (ohms, decimal comma or point), "display L" (A..H) or
// "mode L" (A..D), letters in either case. An empty line does nothing and says nothing.
Reply command(SimInstrument& sim, const QString& line);

} // namespace simpanel
