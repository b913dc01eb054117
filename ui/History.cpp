#include "ui/History.h"

void ClearHistory(HistoryTable& history)
{
    for (QStringList& column : history.columns)
        column.clear();
    history.entries.clear();
    history.historyRows = 0;
}
