#include "WinnerListText.h"

#include "settings/TextCodec.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace WinnerListText {

int ansiWidth(QStringView text)
{
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; }))
        return int(text.size());
    return int(TextCodec::encode(text, TextEncoding::Gb18030).size());
}

QString padToWidth(const QString &text, int width, int flag)
{
    const int measured = ansiWidth(text);
    if (measured >= width)
        return text;
    const QString fill(width - measured, u' ');
    return flag == 0 ? text + fill : fill + text;
}

QString winnerLine(int number, const EntryRecord &winner, int showIndex, int columnsCode)
{
    QString line;
    if (showIndex == 1)
        line = padToWidth(u'[' + QString::number(number) + u']', 5, 0) + u' ';
    switch (columnsCode) {
    case 1: return line + winner.column1;
    case 2: return line + winner.column2;
    case 3: return line + winner.column3;
    case 4: return line + winner.column1 + u' ' + winner.column2;
    case 5: return line + winner.column1 + u' ' + winner.column3;
    case 6: return line + winner.column2 + u' ' + winner.column3;
    default: return line + winner.column1 + u' ' + winner.column2 + u' ' + winner.column3;
    }
}

QString absentMark()
{
    return u"（缺席）"_s;
}

QString text(const QString &heading, const QList<EntryRecord> &winners, int showIndex,
             int columnsCode, const QSet<int> &absent)
{
    // Built once rather than by re-reading the box for every winner, which grows as the square
    // of the list.
    QString out = heading;
    for (qsizetype i = 0; i < winners.size(); ++i) {
        out += u"\r\n"_s + winnerLine(int(i + 1), winners[i], showIndex, columnsCode);
        if (absent.contains(int(i + 1)))
            out += u' ' + absentMark();
    }
    return out;
}

int winnerOnLine(int lineIndex, int lineCount, int winnerCount)
{
    const int winner = lineIndex - (lineCount - winnerCount) + 1;
    return winner >= 1 && winner <= winnerCount ? winner : 0;
}

qsizetype caretPosition(const QString &text)
{
    const qsizetype lastBreak = text.lastIndexOf(u"\r\n"_s);
    if (lastBreak < 0)
        return std::min<qsizetype>(1, text.size());
    return lastBreak + 2;
}

} // namespace WinnerListText
