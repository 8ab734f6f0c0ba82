#pragma once

#include <QList>
#include <QString>

// One redraw of an absent winner: where the absent winner's line and the replacement's line
// stand. Files are result file names without a folder; lines are 1-based, counted as the
// result-file reader counts them.
struct Absence {
    QString absentFile;
    int absentLine = 0;
    QString replacementFile;
    int replacementLine = 0;

    friend bool operator==(const Absence &, const Absence &) = default;
};

// u"缺席记录.txt"_s, beside the program and archived with the result files.
QString absenceRecordFileName();

// Appends one line (the four fields, a TAB between, then readableTail for people) to the record
// in appDir, written like a result line. Lines already there are never rewritten.
bool appendAbsence(const QString &appDir, const Absence &a, const QString &readableTail);

// The records of appDir in file order; a missing file gives an empty list. Lines that do not
// give the four fields are skipped and counted in *unreadable when it is given.
QList<Absence> readAbsences(const QString &appDir, int *unreadable = nullptr);
