#include "InterruptedDraw.h"

#include "EventResults.h"

#include <QDateTime>
#include <QDir>

using namespace Qt::StringLiterals;

namespace {

// The result lines written since the record began, in reveal order.
QStringList linesSince(const EventResults &results, const QString &recordName, const QString &separator)
{
    const QString stamp = recordName.mid(4, 15); // 摇号记录yyyyMMdd_HHmmss.txt
    const QDateTime begun = QDateTime::fromString(stamp, u"yyyyMMdd_HHmmss"_s);
    QStringList lines;
    for (const ResultRow &row : results.rows) {
        if (!begun.isValid() || row.time >= begun)
            lines.append(row.entry.column1 + separator + row.entry.column2 + separator + row.entry.column3);
    }
    return lines;
}

int shownWinners(const VerifiableRecord &r, const QStringList &pool, const QStringList &resultLines)
{
    int shown = 0;
    qsizetype next = 0;
    for (const RecordStep &s : r.steps) {
        if (s.absence)
            continue;
        const qsizetype at = resultLines.indexOf(pool.value(s.position - 1), next);
        if (at < 0)
            break;
        next = at + 1;
        ++shown;
    }
    return shown;
}

} // namespace

std::optional<InterruptedDraw> findInterruptedDraw(const QString &appDir, const QString &separator)
{
    const QDir dir(appDir);
    const QStringList names = dir.entryList({u"摇号记录*.txt"_s}, QDir::Files, QDir::Name | QDir::Reversed);
    std::optional<EventResults> results; // read once, and only when a record needs it
    for (const QString &name : names) {
        InterruptedDraw d;
        d.recordFile = dir.filePath(name);
        const auto r = VerifiableRecordFile::readRecord(d.recordFile);
        if (!r || !r->key)
            continue;
        d.record = *r;
        d.recorded = VerifiableRecordFile::recordedWinners(d.record);
        d.expected = VerifiableRecordFile::expectedWinners(d.record);
        VerifiableRecordFile::PoolFile pool = VerifiableRecordFile::readPoolFile(d.recordFile, d.record);
        if (pool.status != 0) {
            // Without the list nothing tells which winners were shown; an incomplete record still says so.
            if (d.recorded >= d.expected)
                continue;
            d.problem = pool.problem;
            return d;
        }
        if (!results)
            results = readEventResults(appDir, separator);
        d.shown = shownWinners(d.record, pool.lines, linesSince(*results, name, separator));
        if (d.shown < d.recorded || d.recorded < d.expected) {
            d.poolLines = std::move(pool.lines);
            return d;
        }
    }
    return std::nullopt;
}
