#pragma once
// History of entered values: eleven parallel text columns, one row per completed set, and
// with each row the entry of the history list box it was set from ("--" for a value changed
// on the instrument itself, which has none).

#include <QString>
#include <QStringList>
#include <array>

enum HistoryColumn {
    HistIMax = 0,      // I max in amperes
    HistUMax,          // U max as the instrument sent it
    HistTrueVal,       // Rвос
    HistDeltaR,        // ΔR
    HistDeltaRPercent, // δR
    HistTrueCelsius,   // Tвос, "0.0000"
    HistDeltaT,        // ΔT, "0.0000"
    HistDeltaTPercent, // δT as shown
    HistDecadeSteps,   // switched decade steps
    HistStability,     // δн, "0.0000"
    HistAbsStability,  // Δн, "0.0000"
    HistColumnCount
};

struct HistoryTable {
    std::array<QStringList, HistColumnCount> columns;
    QStringList entries; // the set value of each row, as its list entry reads
    int historyRows = 0; // always the length of every column

    // A row goes into all columns at once, so the columns never differ in length.
    void appendRow(const std::array<QString, HistColumnCount>& row, const QString& entry)
    {
        for (int c = 0; c < HistColumnCount; ++c)
            columns[c].append(row[c]);
        entries.append(entry);
        ++historyRows;
    }
};

// Empties all columns; historyRows becomes 0.
void ClearHistory(HistoryTable& history);
