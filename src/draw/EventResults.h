#pragma once

#include "PrizeList.h"
#include "ResultFile.h"
#include "entries/EntryTable.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// One winner of the event as the result files and the absence record give it.
struct ResultRow {
    QString prize;      // the prize's name; "" for a run without a prize
    int number = 0;     // 1-based, within the prize, in reveal order
    EntryRecord entry;
    QDateTime time;     // when the run started, from the file name
    QString note;       // 缺席, 补抽 or ""
    bool absent = false;
};

struct EventResults {
    QList<ResultRow> rows;  // reveal order: files by name (their time stamp), lines in order
    QStringList unreadable; // full paths of the result files that could not be read
};

// Every winner line of the result files of appDir (read like readEventWinners: a line without
// three columns is no winner). A prize is named as the list names it when its file name part
// matches. Lines still waiting to be written count where they are meant to go.
EventResults readEventResults(const QString &appDir, const QString &separator,
                              const QList<Prize> &prizes = {},
                              const QList<ResultLine> &unwritten = {});

// The winners of prize in its result files, absent ones not counted.
int prizeWinners(const QString &prize, const EventResults &results);
// How many winners prize still needs: its count less prizeWinners; never below 0.
int remainingWinners(const Prize &prize, const EventResults &results);
