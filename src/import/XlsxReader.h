#pragma once

#include "RosterSheet.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

// Reads the sheets of an .xlsx workbook (Office Open XML) the way Excel shows them.
namespace XlsxReader {

enum class Status { Ok, Damaged, TooLarge };

struct SheetInfo {
    QString name;
    bool hidden = false;
};

struct Book {
    Status status = Status::Damaged;
    QList<SheetInfo> sheets; // workbook order, hidden ones included
    int sheetIndex = -1;     // the sheet read
    RosterSheet sheet;
};

// Reads sheet sheetIndex (from 0) of the workbook in bytes; -1 or an index out of range reads
// the first visible sheet.
Book read(const QByteArray &bytes, int sheetIndex = -1);

} // namespace XlsxReader
