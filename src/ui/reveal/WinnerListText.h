#pragma once

#include "entries/EntryTable.h"

#include <QList>
#include <QSet>
#include <QString>

// The text of the winner list box: the heading, then one line per winner.
namespace WinnerListText {

// The bytes text takes in GBK: 1 for an ASCII character, 2 for a Chinese one.
int ansiWidth(QStringView text);

// text filled with spaces to width (measured as ansiWidth): after it when flag is 0, before it
// otherwise. A text as wide or wider is returned unchanged.
QString padToWidth(const QString &text, int width, int flag);

// One winner's line: "[number]" padded to 5 and a space when showIndex is 1, then the columns
// that columnsCode selects, joined by single spaces.
QString winnerLine(int number, const EntryRecord &winner, int showIndex, int columnsCode);

// What follows the line of a winner who was not in the room and was redrawn.
QString absentMark();

// The heading followed by CR LF and a line for each winner, oldest first; the winners whose
// numbers absent holds (1-based) are marked.
QString text(const QString &heading, const QList<EntryRecord> &winners, int showIndex,
             int columnsCode, const QSet<int> &absent = {});

// The winner (1-based) on line lineIndex (0-based) of text with winnerCount winners, counted
// from the end, so a heading of several lines does not matter; 0 for a heading line.
int winnerOnLine(int lineIndex, int lineCount, int winnerCount);

// Where the caret goes in text: the first character of its last line, or index 1 when the
// text has no CR LF (at most the text's length).
qsizetype caretPosition(const QString &text);

} // namespace WinnerListText
