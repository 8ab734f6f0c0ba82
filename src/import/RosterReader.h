#pragma once

#include "RosterSheet.h"
#include "XlsxReader.h"

#include <QByteArray>
#include <QList>

// A roster file opened for import: an .xlsx workbook or delimited text (.csv, .txt), told
// apart by their bytes, not by the name.
struct RosterFile {
    QList<XlsxReader::SheetInfo> sheets; // a workbook's sheets; empty for text
    int sheetIndex = 0;                  // the sheet read into sheet
    RosterSheet sheet;
    QString error; // "" when read; else one sentence naming the file and what to do
};

namespace RosterReader {

// sheetIndex from 0; -1 reads a workbook's first visible sheet.
RosterFile read(const QString &path, int sheetIndex = -1);
RosterFile readBytes(const QByteArray &bytes, const QString &path, int sheetIndex = -1);

} // namespace RosterReader
