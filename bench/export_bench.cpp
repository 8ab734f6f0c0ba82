// The evening's results for HR: a hundred thousand winners in a hundred result files, four
// prizes and some absences, read from disk and written as one .xlsx.
#include "BenchSupport.h"
#include "export/ResultExport.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

constexpr int winnerCount = 100000, resultFileCount = 100;

struct EventFolder {
    QTemporaryDir dir;

    EventFolder()
    {
        writeGbk(dir.filePath(u"ZOP摇号设置.ini"_s), u"数据字段分隔符={tab}\r\n"_s);
        const QStringList prizes{u"三等奖"_s, u"二等奖"_s, u"一等奖"_s, u"特等奖"_s};
        QString list;
        for (const QString &p : prizes)
            list += p + u"\t99999\r\n"_s;
        writeGbk(dir.filePath(u"奖项设置.txt"_s), list);
        const int perFile = winnerCount / resultFileCount;
        QString absences;
        for (int f = 0; f < resultFileCount; ++f) {
            QString lines;
            for (int w = f * perFile + 1; w <= (f + 1) * perFile; ++w)
                lines += u'P' + QString::number(w) + u"\t姓名"_s + QString::number(w % 9973) + u"\t部门"_s
                    + QString::number(w % 50) + u"\r\n"_s;
            const QString name = u"出号结果20240315_%1_%2.txt"_s.arg(180000 + f * 100).arg(prizes[f % 4]);
            writeGbk(dir.filePath(name), lines);
            absences += name + u"\t1\t"_s + name + u'\t' + QString::number(perFile) + u"\r\n"_s;
        }
        writeGbk(dir.filePath(u"缺席记录.txt"_s), absences);
    }
};

void BM_ExportXlsx(benchmark::State &state)
{
    EventFolder folder;
    const QString file = folder.dir.filePath(u"中奖名单.xlsx"_s);
    for (auto _ : state) {
        const ResultExport::Outcome outcome = ResultExport::exportEvent(folder.dir.path(), file);
        if (outcome.rows != winnerCount)
            state.SkipWithError("not every winner was exported");
    }
    state.counters["winners"] = winnerCount;
    state.counters["result_files"] = resultFileCount;
    state.counters["xlsx_bytes"] = double(QFile(file).size());
}
BENCHMARK(BM_ExportXlsx)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
