#include "entries/EntryTable.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const int lineCount = 1000000;

// A GBK data file of a million participants: number, Chinese name, department.
struct BigDataFile {
    QTemporaryDir dir;
    QString path;
    QByteArray bytes;

    BigDataFile()
    {
        const QString surnames = u"王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗"_s;
        const QString given = u"伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超兰霞平刚"_s;
        const QStringList departments{u"销售部"_s, u"市场部"_s, u"研发部"_s, u"财务部"_s, u"人事部"_s};
        QString text;
        text.reserve(lineCount * 16);
        quint32 x = 12345;
        auto next = [&x] { return (x = x * 1103515245u + 12345u) >> 8; };
        for (int i = 1; i <= lineCount; ++i) {
            text += u'P' + QString::number(i) + u'\t' + surnames[next() % surnames.size()]
                + given[next() % given.size()] + given[next() % given.size()] + u'\t'
                + departments[next() % departments.size()] + u"\r\n"_s;
        }
        QStringEncoder encoder("GBK");
        bytes = encoder.encode(text);
        path = dir.filePath(u"big.txt"_s);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the benchmark file");
    }
};

BigDataFile &bigFile()
{
    static BigDataFile file;
    return file;
}

// Peak resident memory of one load, measured in a child process so other benchmarks don't count.
double peakMegabytesOfOneLoad(const QString &path)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        EntryTable table;
        loadEntryFile(path, u"\t"_s, table);
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const long kb = usage.ru_maxrss;
        [[maybe_unused]] auto written = write(fds[1], &kb, sizeof kb);
        _exit(table.entryCount() == lineCount ? 0 : 1);
    }
    long kb = -1;
    [[maybe_unused]] auto got = read(fds[0], &kb, sizeof kb);
    close(fds[0]);
    close(fds[1]);
    int status = 0;
    waitpid(pid, &status, 0);
    return kb / 1024.0;
}

void BM_loadEntryFile_1M(benchmark::State &state)
{
    const BigDataFile &file = bigFile();
    for (auto _ : state) {
        EntryTable table;
        loadEntryFile(file.path, u"\t"_s, table);
        if (table.entryCount() != lineCount)
            state.SkipWithError("wrong entry count");
        benchmark::DoNotOptimize(table);
    }
    state.counters["file_MB"] = file.bytes.size() / 1048576.0;
    state.counters["peak_RSS_MB"] = peakMegabytesOfOneLoad(file.path);
}
BENCHMARK(BM_loadEntryFile_1M)->Unit(benchmark::kMillisecond);

void BM_decodeOnly_1M(benchmark::State &state)
{
    const BigDataFile &file = bigFile();
    for (auto _ : state) {
        QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
        QString text = decoder.decode(file.bytes);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_decodeOnly_1M)->Unit(benchmark::kMillisecond);

} // namespace
