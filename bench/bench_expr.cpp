// Evaluation speed of prepared card formulas against one in-memory record.
// The "allocs" counter is heap allocations per evaluation.
#include "../tests/expr/memorydataset.h"

#include "expr/evaluator.h"

#include <QDateTime>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {
std::atomic<long> g_allocations{0};
}

// Counts every heap allocation, Qt's own included (they call malloc directly).
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* malloc(std::size_t n)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(n);
}
void* calloc(std::size_t n, std::size_t size)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(n, size);
}
void* realloc(void* p, std::size_t n)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(p, n);
}
}

namespace {

using cm::FieldType;
using cm::test::fieldDef;

struct Record {
    cm::test::MemoryDataSet log{QStringLiteral("Tbl"),
                                {fieldDef(QStringLiteral("Call"), FieldType::String, 12),
                                 fieldDef(QStringLiteral("Mode"), FieldType::String, 4),
                                 fieldDef(QStringLiteral("Cq"), FieldType::SmallInt),
                                 fieldDef(QStringLiteral("Freq"), FieldType::Float)}};
    cm::DataSetList sets{&log};
    Record() { log.addRecord({QStringLiteral("dl1abc"), QStringLiteral("SSB"), 14, 14.074}); }
};

void evaluate(benchmark::State& state, const char* formula, bool aggregateStep)
{
    Record rec;
    cm::TQREvaluator ev;
    ev.SetDataSets(&rec.sets);
    ev.Prepare(QString::fromUtf8(formula));
    cm::EvResult result;
    ev.Value(result);   // warm up
    const long before = g_allocations.load();
    for (auto _ : state) {
        if (aggregateStep)
            ev.DoAggregate();
        else
            ev.Value(result);
        benchmark::DoNotOptimize(result);
    }
    state.counters["allocs"] = benchmark::Counter(double(g_allocations.load() - before),
                                                  benchmark::Counter::kAvgIterations);
}

void BM_Comparison(benchmark::State& s) { evaluate(s, "[Cq] > 20", false); }
void BM_If(benchmark::State& s) { evaluate(s, "IF([Cq] > 20, 'DX', '')", false); }
void BM_ArithmeticIf(benchmark::State& s) { evaluate(s, "IF([Freq] * 1000 > 14000, [Cq] + 1, 0)", false); }
void BM_StringFunctionTwoFields(benchmark::State& s) { evaluate(s, "UPPER([Call] + ' ' + [Mode])", false); }
void BM_AggregateStep(benchmark::State& s) { evaluate(s, "SUM([Cq])", true); }

BENCHMARK(BM_Comparison);
BENCHMARK(BM_If);
BENCHMARK(BM_ArithmeticIf);
BENCHMARK(BM_StringFunctionTwoFields);
BENCHMARK(BM_AggregateStep);

} // namespace

BENCHMARK_MAIN();
