#include "VerifiableDraw.h"

#include "entries/EntryTable.h"
#include "settings/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

void VerifiableDraw::clear()
{
    endDraw();
    bytes.clear();
    digest.clear();
    pool.clear();
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
}

void VerifiableDraw::setPool(const EntryTable &table, QList<int> poolEntries, const QString &separator)
{
    clear();
    bytes = VerifiableRecordFile::poolBytes(table, poolEntries, separator);
    digest = VerifiableRecordFile::sha256Hex(bytes);
    pool = std::move(poolEntries);
}

bool VerifiableDraw::begin(const QString &appDir, const QString &stamp, int drawCount)
{
    endDraw();
    const QString poolName = VerifiableRecordFile::poolFileName(stamp);
    const QString record = appDir + VerifiableRecordFile::recordFileName(stamp);
    // A record is only ever begun in a new file: its lines are the draw's history.
    if (digest.isEmpty() || QFileInfo::exists(record) || !VerifiableRecordFile::writePoolFile(appDir + poolName, bytes)
        || !VerifiableRecordFile::appendLines(
            record, VerifiableRecordFile::headerLines(poolName, digest, int(pool.size()), drawCount)))
        return false;
    poolPath = appDir + poolName;
    recordPath = record;
    count = drawCount;
    return true;
}

namespace {

std::optional<VerifiableRecord> readRecord(const QString &recordFile)
{
    const IniFile::FileText text = IniFile::readTextFile(recordFile);
    if (text.status != IniFile::ReadOk || text.decoded.hadErrors)
        return std::nullopt;
    return VerifiableRecordFile::parse(text.decoded.text).record;
}

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
    // Taken only once recorded: a line that cannot be written leaves the sequence where it was.
    const int position = selection->peekNext();
    if (!VerifiableRecordFile::appendLines(recordPath, {VerifiableRecordFile::winnerLine(winners + 1, position)}))
        return 0;
    selection->selectNext();
    ++winners;
    return pool[position - 1];
}

int VerifiableDraw::redrawAbsent(int winnerNumber)
{
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
