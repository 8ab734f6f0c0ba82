#include "EventResults.h"

#include "EventWinners.h"
#include "settings/INIFileModule1.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

using namespace Qt::StringLiterals;

namespace {

using LineKey = QPair<QString, int>; // result file name without folder, 1-based line

struct AbsenceMarks {
    QSet<LineKey> absent;
    QSet<LineKey> replacement;
};

// The absence record: file, line, replacement file, replacement line; later fields are for
// people. A line without those four is passed over.
AbsenceMarks readAbsenceMarks(const QString &appDir)
{
    AbsenceMarks marks;
    QString text;
    if (INIFileModule1::readWholeFile(appDir + u"缺席记录.txt"_s, text) != INIFileModule1::ReadOk)
        return marks;
    for (QStringView line : QStringView(text).tokenize(u"\r\n"_s)) {
        const QList<QStringView> f = line.split(u'\t');
        if (f.size() < 4)
            continue;
        bool ok1 = false;
        bool ok2 = false;
        const int absentLine = f[1].toInt(&ok1);
        const int replacementLine = f[3].toInt(&ok2);
        if (!ok1 || !ok2 || f[0].isEmpty() || f[2].isEmpty() || absentLine < 1 || replacementLine < 1)
            continue;
        marks.absent.insert({f[0].toString(), absentLine});
        marks.replacement.insert({f[2].toString(), replacementLine});
    }
    return marks;
}

} // namespace

EventResults readEventResults(const QString &appDir, const QString &separator,
                              const QList<Prize> &prizes, const QList<ResultLine> &unwritten)
{
    EventResults results;
    QHash<QString, QString> prizeNames; // file name part -> name in the list
    for (const Prize &p : prizes)
        prizeNames.insert(prizeFileNamePart(p.name), p.name);
    const AbsenceMarks marks = readAbsenceMarks(appDir);

    QStringList files = resultFiles(appDir);
    for (const ResultLine &line : unwritten) {
        if (!files.contains(line.fileName))
            files.append(line.fileName);
    }
    std::sort(files.begin(), files.end(), [](const QString &a, const QString &b) {
        return QFileInfo(a).fileName() < QFileInfo(b).fileName();
    });

    QHash<QString, int> numbers; // per prize
    EntryTable cut;
    for (const QString &file : std::as_const(files)) {
        QString text;
        if (INIFileModule1::readWholeFile(file, text) == INIFileModule1::ReadFailed) {
            results.unreadable.append(file);
            continue;
        }
        for (const ResultLine &line : unwritten) {
            if (line.fileName == file)
                text += line.text + u"\r\n"_s;
        }
        const QString name = QFileInfo(file).fileName();
        const ResultFileName parsed = parseResultFileName(name);
        const QString prize = prizeNames.value(parsed.prize, parsed.prize);
        int lineNumber = 0;
        QStringView rest(text);
        // Lines end at CR LF or LF; the absence record numbers them so.
        while (!rest.isEmpty()) {
            const qsizetype end = rest.indexOf(u'\n');
            QStringView line = end < 0 ? rest : rest.first(end);
            rest = end < 0 ? QStringView() : rest.sliced(end + 1);
            if (line.endsWith(u'\r'))
                line.chop(1);
            ++lineNumber;
            cut.parse(line.toString(), separator);
            if (cut.entryCount() != 1)
                continue;
            ResultRow row;
            row.prize = prize;
            row.number = ++numbers[prize];
            row.entry = cut.record(1);
            row.time = parsed.time;
            const LineKey key{name, lineNumber};
            row.absent = marks.absent.contains(key);
            if (marks.replacement.contains(key))
                row.note = u"补抽"_s;
            if (row.absent)
                row.note = row.note.isEmpty() ? u"缺席"_s : row.note + u"，缺席"_s;
            results.rows.append(std::move(row));
        }
    }
    return results;
}

int remainingWinners(const Prize &prize, const EventResults &results)
{
    int won = 0;
    for (const ResultRow &row : results.rows) {
        if (row.prize == prize.name && !row.absent)
            ++won;
    }
    return std::max(0, prize.count - won);
}
