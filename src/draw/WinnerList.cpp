#include "WinnerList.h"

#include "AbsenceRecord.h"
#include "EventWinners.h"
#include "ResultFile.h"
#include "RunData.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// Numbers the lines just written: each file's count is taken from the disk the first time.
void notePlaces(RunData &run, const QList<ResultLine> &written)
{
    QHash<QString, int> batch;
    for (const ResultLine &w : written)
        ++batch[w.fileName];
    for (auto it = batch.cbegin(); it != batch.cend(); ++it) {
        if (!run.resultFileLines.contains(it.key()))
            run.resultFileLines.insert(it.key(), countLineEnds(it.key()) - it.value());
    }
    for (const ResultLine &w : written) {
        const int line = ++run.resultFileLines[w.fileName];
        if (w.id != 0)
            run.linePlaces.insert(w.id, {QFileInfo(w.fileName).fileName(), line});
    }
}

QString readable(const EntryRecord &r)
{
    return r.column1 + u' ' + r.column2 + u' ' + r.column3;
}

bool sameFolder(const QString &a, const QString &b)
{
    return QDir::cleanPath(QDir(a).absolutePath()) == QDir::cleanPath(QDir(b).absolutePath());
}

} // namespace

void clearWinnerList(RunData &run)
{
    run.winnerList.clear();
    run.winnerLineIds.clear();
    run.absentWinners.clear();
}

bool addWinner(RunData &run, const Settings &settings, int entry)
{
    Q_ASSERT(entry >= 1 && entry <= run.entryTable.entryCount());
    if (entry < 1 || entry > run.entryTable.entryCount())
        return false;
    run.winnerList.append(run.entryTable.record(entry));
    const EntryRecord &w = run.winnerList.constLast();
    const QString &s = settings.fieldSeparator;
    const ResultLine line{run.resultFileName, w.column1 + s + w.column2 + s + w.column3, ++run.lastLineId};
    run.winnerLineIds.append(line.id);
    QList<ResultLine> written;
    const bool ok = appendResultLineKeeping(run.unwrittenResultLines, line, &written);
    notePlaces(run, written);
    if (!written.isEmpty())
        writePendingAbsences(run);
    return ok;
}

bool recordAbsence(RunData &run, const Settings &settings, int absentWinner, int replacement)
{
    const int count = int(run.winnerList.size());
    if (absentWinner < 1 || absentWinner > count || replacement < 1 || replacement > count)
        return false;
    const QString tail = u"缺席："_s + readable(run.winnerList.at(absentWinner - 1)) + u"\t补抽："_s
        + readable(run.winnerList.at(replacement - 1));
    run.pendingAbsences.append({run.winnerLineIds.value(absentWinner - 1),
                                run.winnerLineIds.value(replacement - 1), settings.appDir, tail});
    return writePendingAbsences(run);
}

bool writePendingAbsences(RunData &run)
{
    bool ok = true;
    for (auto it = run.pendingAbsences.begin(); it != run.pendingAbsences.end();) {
        const auto absent = run.linePlaces.constFind(it->absentLineId);
        const auto replacement = run.linePlaces.constFind(it->replacementLineId);
        // A record that names no line on disk would mislead whoever reads it later.
        if (absent == run.linePlaces.cend() || replacement == run.linePlaces.cend()) {
            ++it;
            continue;
        }
        if (!appendAbsence(it->folder, {absent->file, absent->line, replacement->file, replacement->line},
                           it->readableTail)) {
            ok = false;
            ++it;
            continue;
        }
        it = run.pendingAbsences.erase(it);
    }
    return ok;
}

bool writeWaitingLines(RunData &run)
{
    QList<ResultLine> written;
    writeKeptLines(run.unwrittenResultLines, &written);
    notePlaces(run, written);
    writePendingAbsences(run);
    return run.unwrittenResultLines.isEmpty() && run.pendingAbsences.isEmpty();
}

QString waitingLinesText(const RunData &run)
{
    QString text;
    for (const ResultLine &line : run.unwrittenResultLines)
        text += QFileInfo(line.fileName).fileName() + u'\t' + line.text + u"\r\n"_s;
    for (const RunData::PendingAbsence &pending : run.pendingAbsences)
        text += absenceRecordFileName() + u'\t' + pending.readableTail + u"\r\n"_s;
    return text;
}

void followArchive(RunData &run, const QString &appDir, const ArchiveResult &archived)
{
    if (archived.folder.isEmpty())
        return;
    QStringList left;
    for (const QString &path : archived.notMoved)
        left.append(QFileInfo(path).fileName());
    for (ResultLine &line : run.unwrittenResultLines) {
        const QFileInfo file(line.fileName);
        if (sameFolder(file.absolutePath(), appDir) && !left.contains(file.fileName()))
            line.fileName = QDir(archived.folder).filePath(file.fileName());
    }
    for (RunData::PendingAbsence &pending : run.pendingAbsences) {
        if (sameFolder(pending.folder, appDir))
            pending.folder = archived.folder;
    }
    // The files moved: a new one of the same name starts its count again.
    run.resultFileLines.clear();
}
