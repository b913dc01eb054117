#pragma once
// Port numbers 1..256 name the system's serial devices in a stable sorted order,
// followed by the simulated instruments that are running. A simulated instrument makes
// itself known by a symbolic link to its pseudo-terminal in the simulator directory.

#include <QString>
#include <QStringList>

namespace porttable
{

constexpr int MaxPort = 256;

// The simulator directory: $VARDEKO_SIM_DIR, else /tmp/vardeko-sim-<uid>.
QString simDirectory();

// The table, system devices first (sorted by system location), then the links of live
// simulators (sorted by link name). Links of simulators that are gone are skipped. The
// system's devices are looked up at most once a second (GUI thread).
QStringList ports();

// The device path of port number (1-based), or an empty text past the table's end.
QString location(int number);

// Test seams: leave the system's own serial devices out of the table, and point the
// table at another simulator directory (empty: back to simDirectory()).
void setIncludeSystemPorts(bool include);
void setSimDirectoryOverride(const QString& dir);

} // namespace porttable
