#include "draw/DrawPreparation.h"
#include "draw/DrawRandom.h"
#include "draw/RunData.h"

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

void BM_pickDistinct(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    const int k = static_cast<int>(state.range(1));
    DrawRandom random;
    for (auto _ : state)
        benchmark::DoNotOptimize(pickDistinct(n, k, random));
}
BENCHMARK(BM_pickDistinct)
    ->Args({1000000, 100})
    ->Args({100000, 100000})
    ->Args({1000000, 99999})
    ->Unit(benchmark::kMillisecond);

// The same without the clock reading before every number, to show what that reading costs.
void BM_pickDistinctNoClock(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    const int k = static_cast<int>(state.range(1));
    DrawRandom random(std::make_unique<XoshiroSource>(1), false);
    for (auto _ : state)
        benchmark::DoNotOptimize(pickDistinct(n, k, random));
}
BENCHMARK(BM_pickDistinctNoClock)
    ->Args({1000000, 100})
    ->Args({100000, 100000})
    ->Args({1000000, 99999})
    ->Unit(benchmark::kMillisecond);

// A table of n entries like the shipped sample, a VIP list of 100 records spread over it, and
// an exclusion list of the given size.
void fillRun(RunData &run, int n, int vips, int exclusions)
{
    for (int i = 1; i <= n; ++i)
        run.entryTable.append(u"%1"_s.arg(100000 + i), u"姓名%1"_s.arg(i), u"部门%1"_s.arg(i % 50));
    for (int v = 0; v < vips; ++v) {
        const int e = 1 + int((qint64(v) * 7919 + 13) % n);
        run.vipList.append({QString::number(v + 1), run.entryTable.column(e, 1).toString(),
                            run.entryTable.column(e, 2).toString(), run.entryTable.column(e, 3).toString()});
    }
    for (int x = 0; x < exclusions; ++x) {
        const int e = 1 + int((qint64(x) * 104729 + 5) % n);
        run.excludeList.append(run.entryTable.record(e));
    }
}

void BM_prepareDraw(benchmark::State &state)
{
    RunData run;
    fillRun(run, static_cast<int>(state.range(0)), static_cast<int>(state.range(2)),
            static_cast<int>(state.range(3)));
    const int k = static_cast<int>(state.range(1));
    DrawRandom random;
    for (auto _ : state) {
        if (!prepareDraw(run, k, random))
            state.SkipWithError("preparation refused");
        benchmark::DoNotOptimize(run.drawOrder.data());
    }
}
// entries, winners, VIP records, exclusion records
BENCHMARK(BM_prepareDraw)
    ->Args({1000000, 99999, 0, 0})
    ->Args({1000000, 99999, 100, 0})
    ->Args({1000000, 99999, 100, 100})
    ->Args({1000000, 99999, 100, 10000})
    ->Args({1000000, 10, 0, 100000})
    ->Unit(benchmark::kMillisecond);

} // namespace
