#pragma once

#include "draw/EventResults.h"

#include <QString>

namespace ResultExport {

// The exit status of `zop-draw --export` as well.
enum class Status { Written = 0, NothingToExport = 1, Failed = 2 };

struct Outcome {
    Status status = Status::Failed;
    int rows = 0;
    QString message; // what to tell the user; "" when written
};

// The sheet's columns, in order.
QStringList headings();

// Writes rows to fileName as .xlsx or .csv (by its suffix), through a temporary file beside it
// that is renamed over fileName once complete: a kill never leaves half a spreadsheet.
Outcome writeRows(const QList<ResultRow> &rows, const QString &fileName);

// The event's results of appDir (its settings' separator, prize list and absence record)
// written to fileName. Nothing is written when a result file cannot be read.
Outcome exportEvent(const QString &appDir, const QString &fileName);

} // namespace ResultExport
