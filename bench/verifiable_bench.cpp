#include "draw/RecordVerification.h"
#include "draw/VerifiableRecord.h"
#include "draw/VerifiableSelection.h"
#include "entries/EntryTable.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

const QStringList sources = {u"9319"_s, u"2 5 12 8 10"_s, u"9 18 26 34 41 45"_s};

// k selections from a pool of n, the rank tree built included.
void BM_VerifiableSelect(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    const int k = static_cast<int>(state.range(1));
    const QByteArray key = *Rfc3797::keyFromSources(sources);
    for (auto _ : state) {
        VerifiableSelection selection(n, key);
        for (int i = 0; i < k; ++i)
            benchmark::DoNotOptimize(selection.selectNext());
    }
}
BENCHMARK(BM_VerifiableSelect)->Args({1000000, 65535})->Args({1000, 1000})->Unit(benchmark::kMillisecond);

EntryTable sampleTable(int n, QList<int> &all)
{
    EntryTable table;
    for (int i = 1; i <= n; ++i) {
        table.append(EntryRecord{u"%1"_s.arg(100000 + i), u"姓名%1"_s.arg(i), u"部门%1"_s.arg(i % 50)});
        all.append(i);
    }
    return table;
}

// The pool file of n entries: building its bytes, the digest and the one write.
void BM_VerifiablePoolFile(benchmark::State &state)
{
    QList<int> all;
    const EntryTable table = sampleTable(static_cast<int>(state.range(0)), all);
    QTemporaryDir dir;
    for (auto _ : state) {
        const QByteArray bytes = VerifiableRecordFile::poolBytes(table, all, u"\t"_s);
        benchmark::DoNotOptimize(VerifiableRecordFile::sha256Hex(bytes));
        if (!VerifiableRecordFile::writePoolFile(dir.filePath(u"摇号名单.txt"_s), bytes))
            state.SkipWithError("pool file not written");
    }
}
BENCHMARK(BM_VerifiablePoolFile)->Arg(1000000)->Unit(benchmark::kMillisecond);

// zop-draw --verify on a record of k winners from a pool file of n entries.
void BM_VerifyRecord(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    const int k = static_cast<int>(state.range(1));
    QList<int> all;
    const EntryTable table = sampleTable(n, all);
    QTemporaryDir dir;
    const QString poolName = VerifiableRecordFile::poolFileName(u"20240315_093007"_s);
    const QByteArray bytes = VerifiableRecordFile::poolBytes(table, all, u"\t"_s);
    VerifiableRecordFile::writePoolFile(dir.filePath(poolName), bytes);
    const QByteArray key = *Rfc3797::keyFromSources(sources);
    VerifiableRecord header;
    header.program = VerifiableRecordFile::programName();
    header.poolFileName = poolName;
    header.poolSha256 = VerifiableRecordFile::sha256Hex(bytes);
    header.poolSize = n;
    header.drawCount = k;
    QStringList lines = VerifiableRecordFile::headerLines(header);
    lines += VerifiableRecordFile::randomInputLines(sources, QString::fromLatin1(key));
    VerifiableSelection selection(n, key);
    for (int i = 1; i <= k; ++i)
        lines.append(VerifiableRecordFile::winnerLine(i, selection.selectNext()));
    const QString record = dir.filePath(VerifiableRecordFile::recordFileName(u"20240315_093007"_s));
    VerifiableRecordFile::appendLines(record, lines);
    for (auto _ : state) {
        if (verifyRecord(record).status != 0)
            state.SkipWithError("record does not verify");
    }
}
BENCHMARK(BM_VerifyRecord)->Args({1000000, 65535})->Unit(benchmark::kMillisecond);

} // namespace
