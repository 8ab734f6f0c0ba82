#include "VerifiableDraw.h"

#include "InterruptedDraw.h"
#include "entries/EntryTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

using namespace Qt::StringLiterals;

void VerifiableDraw::clear()
{
    endDraw();
    bytes.clear();
    digest.clear();
    pool.clear();
    leftOutEarlier = 0;
    leftOutExcluded = 0;
}

void VerifiableDraw::endDraw()
{
    recordPath.clear();
    poolPath.clear();
    count = 0;
    keyText.clear();
    selection.reset();
    winners = 0;
    absent.clear();
    continued = false;
    prizeName.clear();
    unshown.clear();
    expected = 0;
    shownBefore = 0;
}

void VerifiableDraw::setPool(const EntryTable &table, QList<int> poolEntries, const QString &separator,
                             int earlierWinnersLeftOut)
{
    clear();
    bytes = VerifiableRecordFile::poolBytes(table, poolEntries, separator);
    digest = VerifiableRecordFile::sha256Hex(bytes);
    pool = std::move(poolEntries);
    leftOutEarlier = earlierWinnersLeftOut;
    leftOutExcluded = table.entryCount() - int(pool.size()) - earlierWinnersLeftOut;
}

bool VerifiableDraw::begin(const QString &appDir, const QString &stamp, int drawCount, const QString &prize)
{
    endDraw();
    VerifiableRecord header;
    header.program = VerifiableRecordFile::programName();
    header.poolFileName = VerifiableRecordFile::poolFileName(stamp);
    header.poolSha256 = digest;
    header.poolSize = int(pool.size());
    header.drawCount = drawCount;
    if (!prize.isEmpty())
        header.prize = prize;
    header.excludedCount = leftOutExcluded;
    header.earlierWinnerCount = leftOutEarlier;
    const QString poolName = header.poolFileName;
    const QString record = appDir + VerifiableRecordFile::recordFileName(stamp);
    // A record is only ever begun in a new file: its lines are the draw's history.
    if (digest.isEmpty() || QFileInfo::exists(record) || !VerifiableRecordFile::writePoolFile(appDir + poolName, bytes)
        || !VerifiableRecordFile::appendLines(record, VerifiableRecordFile::headerLines(header)))
        return false;
    poolPath = appDir + poolName;
    recordPath = record;
    count = drawCount;
    return true;
}

namespace {

using VerifiableRecordFile::readRecord;

bool poolFileMatches(const QString &recordFile, const VerifiableRecord &r)
{
    QFile file(QFileInfo(recordFile).dir().filePath(r.poolFileName));
    return file.open(QIODevice::ReadOnly) && VerifiableRecordFile::sha256Hex(file.readAll()) == r.poolSha256;
}

} // namespace

QStringList VerifiableDraw::openRecords(const QString &appDir, int drawCount) const
{
    QStringList open;
    const QDir dir(appDir);
    const QStringList names = dir.entryList({u"摇号记录*.txt"_s}, QDir::Files, QDir::Name | QDir::Reversed);
    for (const QString &name : names) {
        const QString path = dir.filePath(name);
        const auto r = readRecord(path);
        if (r && !r->key && !digest.isEmpty() && r->poolSha256 == digest && r->poolSize == pool.size()
            && r->drawCount == drawCount && poolFileMatches(path, *r))
            open.append(path);
    }
    return open;
}

bool VerifiableDraw::resume(const QString &recordFile, int drawCount)
{
    endDraw();
    const auto r = readRecord(recordFile);
    if (digest.isEmpty() || !r || r->key || r->poolSha256 != digest || r->poolSize != pool.size()
        || r->drawCount != drawCount || !poolFileMatches(recordFile, *r))
        return false;
    recordPath = recordFile;
    poolPath = QFileInfo(recordFile).dir().filePath(r->poolFileName);
    count = drawCount;
    return true;
}

QString VerifiableDraw::continueDraw(const InterruptedDraw &d, const EntryTable &table, const QString &separator)
{
    clear();
    const VerifiableRecord &r = d.record;
    if (!d.problem.isEmpty() || !r.key || d.poolLines.size() != r.poolSize)
        return d.problem.isEmpty() ? u"名单文件与记录不符"_s : d.problem;
    // Winners are shown as entries of the data file: every line of the list must still be one.
    QHash<QString, int> entryOfLine;
    for (int e = table.entryCount(); e >= 1; --e) {
        const EntryRecord &entry = table.record(e);
        entryOfLine.insert(entry.column1 + separator + entry.column2 + separator + entry.column3, e);
    }
    for (const QString &line : d.poolLines) {
        const int e = entryOfLine.value(line);
        if (e == 0) {
            clear();
            return u"名单中的“%1”已不在数据文件中"_s.arg(line);
        }
        pool.append(e);
    }
    // The key fixes the sequence: replaying it must give every recorded winner.
    auto replay = std::make_unique<VerifiableSelection>(r.poolSize, Rfc3797::keyFromSources(r.sources).value_or(QByteArray()));
    for (const RecordStep &s : r.steps) {
        if (s.absence) {
            absent.insert(s.number);
            continue;
        }
        if (replay->selectNext() != s.position) {
            clear();
            return u"记录中的中奖%1与重算不一致"_s.arg(s.number);
        }
        if (++winners > d.shown)
            unshown.append(s.position);
    }
    digest = r.poolSha256;
    recordPath = d.recordFile;
    poolPath = QFileInfo(d.recordFile).dir().filePath(r.poolFileName);
    count = r.drawCount;
    keyText = *r.key;
    selection = std::move(replay);
    continued = true;
    prizeName = r.prize.value_or(QString());
    expected = d.expected;
    shownBefore = d.shown;
    return QString();
}

int VerifiableDraw::winnersToReveal() const
{
    return int(unshown.size()) + std::max(0, expected - winners);
}

bool VerifiableDraw::setRandomInput(const QStringList &sources)
{
    if (!isActive() || hasKey())
        return false;
    QStringList typed;
    for (const QString &s : sources) {
        // One source a line; blank lines in between are no source.
        if (!s.trimmed().isEmpty())
            typed.append(s.trimmed());
    }
    const auto key = Rfc3797::keyFromSources(typed);
    if (!key)
        return false;
    const QString text = QString::fromLatin1(*key);
    if (!VerifiableRecordFile::appendLines(recordPath, VerifiableRecordFile::randomInputLines(typed, text)))
        return false;
    keyText = text;
    selection = std::make_unique<VerifiableSelection>(int(pool.size()), *key);
    return true;
}

int VerifiableDraw::selectNext()
{
    if (!canSelect())
        return 0;
    // Recorded before a crash and never shown: revealed as recorded, without a second line.
    if (!unshown.isEmpty())
        return pool[unshown.takeFirst() - 1];
    // Taken only once recorded: a line that cannot be written leaves the sequence where it was.
    const int position = selection->peekNext();
    if (!VerifiableRecordFile::appendLines(recordPath, {VerifiableRecordFile::winnerLine(winners + 1, position)}))
        return 0;
    selection->selectNext();
    ++winners;
    return pool[position - 1];
}

int VerifiableDraw::redrawAbsent(int listed)
{
    // A continued draw's list starts after the winners shown before it went on.
    const int winnerNumber = listed + shownBefore;
    if (!canSelect() || winnerNumber < 1 || winnerNumber > winners)
        return 0;
    // After a failed replacement line the absence is on record already; it is written once.
    if (!absent.contains(winnerNumber)) {
        if (!VerifiableRecordFile::appendLines(recordPath, {VerifiableRecordFile::absenceLine(winnerNumber)}))
            return 0;
        absent.insert(winnerNumber);
    }
    return selectNext();
}
