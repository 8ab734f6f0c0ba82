#include "EventResults.h"

#include "AbsenceRecord.h"
#include "EventWinners.h"
#include "settings/IniFile.h"

#include <QDir>
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

AbsenceMarks readAbsenceMarks(const QString &appDir)
{
    AbsenceMarks marks;
    for (const Absence &a : readAbsences(appDir)) {
        marks.absent.insert({a.absentFile, a.absentLine});
        marks.replacement.insert({a.replacementFile, a.replacementLine});
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
    // Lines waiting for a file of another folder (an archived event) are not this event's.
    const QString here = QDir::cleanPath(QDir(appDir).absolutePath());
    QList<ResultLine> waiting;
    for (const ResultLine &line : unwritten) {
        if (QDir::cleanPath(QFileInfo(line.fileName).absolutePath()) != here)
            continue;
        waiting.append(line);
        if (!files.contains(line.fileName))
            files.append(line.fileName);
    }
    std::sort(files.begin(), files.end(), [](const QString &a, const QString &b) {
        return QFileInfo(a).fileName() < QFileInfo(b).fileName();
    });

    QHash<QString, int> numbers; // per prize
    EntryTable cut;
    for (const QString &file : std::as_const(files)) {
        // Read as written; bytes that do not decode would hide winners.
        ResultFileText read = readResultFile(file);
        if (read.status == IniFile::ReadFailed || read.decoded.hadErrors) {
            results.unreadable.append(file);
            continue;
        }
        QString text = std::move(read.decoded.text);
        for (const ResultLine &line : std::as_const(waiting)) {
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

int prizeWinners(const QString &prize, const EventResults &results)
{
    int won = 0;
    for (const ResultRow &row : results.rows) {
        if (row.prize == prize && !row.absent)
            ++won;
    }
    return won;
}

int remainingWinners(const Prize &prize, const EventResults &results)
{
    return std::max(0, prize.count - prizeWinners(prize.name, results));
}
