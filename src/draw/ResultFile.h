#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// A result line that could not be written yet, and the file it was meant for.
struct ResultLine {
    QString fileName;
    QString text;
    int id = 0; // names the line for whoever needs to know where it was written; not compared

    friend bool operator==(const ResultLine &a, const ResultLine &b)
    {
        return a.fileName == b.fileName && a.text == b.text;
    }
};

// appDir + "出号结果" + yyyyMMdd + "_" + HHmmss + ".txt"; appDir ends in "/". A run for a prize
// adds "_" + the prize's file name part before ".txt".
QString resultFileNameFor(const QString &appDir, const QDateTime &when, const QString &prize = {});

// The prize name with every character a Windows file name cannot hold replaced by "_".
QString prizeFileNamePart(const QString &prize);

// Whether a prize's file name part ends the way copied files are named ("X - 副本", "X (2)").
// The prize list refuses such names, so a result file name that does is a copy.
bool looksLikeCopy(QStringView prizePart);

// Whether a result file for prize can be created: its name is not too long for the file system.
bool makesFileName(const QString &prize);

// What a result file's name (without folder) says: when the run started, and its prize's
// file name part ("" for a run without a prize). valid is false for any other name: only the
// program's own names are result files, not a copy or a backup of one.
struct ResultFileName {
    bool valid = false;
    QDateTime time;
    QString prize;
};
ResultFileName parseResultFileName(const QString &fileName);

// One open-append-close: the line and CR LF in GB18030 (GBK bytes for GBK text), written in one
// call and flushed to the disk before the file is closed. A failed append leaves the file as it
// was. False when the file cannot be opened, written or flushed.
bool appendResultLine(const QString &line, const QString &fileName);

// Appends line to its file together with the kept lines of that file, ahead of it, and tries
// each other kept line again in its own file: a line never goes to another file. Lines that
// could not be written stay kept, in order. True when line is written.
// written (when given) receives the lines written, in file order, each with the file it went to.
bool appendResultLineKeeping(QList<ResultLine> &kept, const ResultLine &line,
                             QList<ResultLine> *written = nullptr);
// The kept lines tried again, each in its own file; returns the files that took theirs.
QStringList writeKeptLines(QList<ResultLine> &kept, QList<ResultLine> *written = nullptr);

// The line ends (LF) in fileName: the next line appended is line count + 1. 0 for no file.
int countLineEnds(const QString &fileName);
