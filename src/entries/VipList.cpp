#include "VipList.h"

#include "EntryTable.h"
#include "settings/IniFile.h"
#include "settings/ValueText.h"

#include <QList>

using namespace Qt::StringLiterals;

int loadVipFile(const QString &fileName, const QString &separator, VipList &list, int *wideLines)
{
    list.clear();
    if (wideLines)
        *wideLines = 0;
    int unread = 0;
    QString text;
    IniFile::readWholeFile(fileName, text);
    const QString mark = QString::fromUtf16(vipMark);
    // Lines end at CR LF or at LF alone, as in the data file.
    for (QStringView rawLine : QStringView(text).split(u'\n')) {
        if (rawLine.endsWith(u'\r'))
            rawLine.chop(1);
        QString line = rawLine.toString();
        line.replace(mark, separator);
        // Without a separator the whole line is one piece.
        const QList<QStringView> pieces =
            separator.isEmpty() ? QList<QStringView>{line} : QStringView(line).split(separator);
        if (pieces.size() < 4) {
            if (!ValueText::trimBlanks(rawLine).isEmpty())
                ++unread;
            continue;
        }
        if (wideLines && pieces.size() > 4) {
            const qsizetype rest = pieces[4].data() - line.constData();
            if (!ValueText::trimBlanks(QStringView(line).mid(rest)).isEmpty())
                ++*wideLines;
        }
        list.append({ValueText::trimBlanks(pieces[0]).toString(), ValueText::trimBlanks(pieces[1]).toString(),
                     ValueText::trimBlanks(pieces[2]).toString(), ValueText::trimBlanks(pieces[3]).toString()});
    }
    return unread;
}

int saveVipFile(const VipList &list, const QString &separator, const QString &fileName)
{
    QString text;
    const QString mark = QString::fromUtf16(vipMark);
    for (int i = 1; i <= list.vipCount(); ++i) {
        const VipRecord &r = list.record(i);
        text += r.position + mark + r.column1 + separator + r.column2 + separator + r.column3
            + u"\r\n"_s;
    }
    return IniFile::writeWholeFile(text, fileName);
}
