#pragma once

#include "ResultFile.h"
#include "entries/EntryTable.h"
#include "settings/TextCodec.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// The winners of the event so far are the lines of the result files in the program's folder:
// each is written and flushed as it is shown, so this survives a crash or a restart.
struct EventWinners {
    EntryTable winners;
    int fileCount = 0;      // result files found, unreadable ones included
    QStringList unreadable; // full paths of the result files that could not be read
};

// A result file as the program writes it: its whole lines, and what follows the last line end.
// That is a line cut short (the program was killed, or the power failed, while writing it): its
// winner was never shown, and it is no winner.
struct ResultFileText {
    int status = -2; // readTextFile's
    DecodedText decoded; // the whole lines
    QString partialLine; // "" when the file ends with a line end
};
ResultFileText readResultFile(const QString &path);

// "“file”：text" for each result file of appDir that ends in a line cut short.
QStringList partialResultLines(const QString &appDir);

// Full paths of the result files of appDir (the program's own names, parseResultFileName), by
// name. A folder of such a name is listed too: it cannot be read, and so it is named rather than
// passed over.
QStringList resultFiles(const QString &appDir);
// The other 出号结果*.txt of appDir (a copy, a backup): no winners of the event, but archived
// with it.
QStringList lookAlikeResultFiles(const QString &appDir);

// Reads every result file of appDir as the program writes them, with the data file's separator;
// a line that does not give three columns is ignored, a file that does not decode is unreadable.
// Lines still waiting to be written to a file of appDir (unwritten) are winners as well.
EventWinners readEventWinners(const QString &appDir, const QString &separator,
                              const QList<ResultLine> &unwritten = {});

// Archive folders live under appDir + this name.
QString archiveFolderName();

struct ArchiveResult {
    QString folder;       // full path of the new folder; empty when it could not be created
    int moved = 0;
    QStringList notMoved; // full paths of the result files left where they were
};

// A new event: moves every result file of appDir and their look-alikes, the absence record, and the lists and records
// of verifiable draws into appDir/历史结果/<yyyyMMdd_HHmmss>/ by a rename within the file system
// (atomic per file, never a copy and a delete). The folder is always a new one; when it cannot be
// created nothing is moved.
ArchiveResult archiveResultFiles(const QString &appDir, const QDateTime &when);
