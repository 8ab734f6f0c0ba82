#pragma once

#include "entries/EntryTable.h"

#include <QList>
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

// The heading followed by CR LF and a line for each winner, oldest first.
QString text(const QString &heading, const QList<EntryRecord> &winners, int showIndex,
             int columnsCode);

// Where the caret goes in text: the first character of its last line, or index 1 when the
// text has no CR LF (at most the text's length).
qsizetype caretPosition(const QString &text);

} // namespace WinnerListText
