// Data-file library: writing and reading tables, sorting rows.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>

#include "datafile/arrays.h"
#include "datafile/binfile.h"
#include "datafile/sort.h"

static void BM_ecrmat(benchmark::State& state) {
    int rows = static_cast<int>(state.range(0));
    DMatrix m = nullptr;
    TabGuard g{m};
    taballoc(m, rows, 6);
    for (int i = 1; i <= rows; ++i)
        for (int j = 1; j <= 6; ++j) m[i][j] = i * 0.5 + j;
    for (auto _ : state) ecrmat(m, "bench_table.bin");
    std::remove("bench_table.bin");
    state.SetBytesProcessed(state.iterations() * rows * 24);
}
BENCHMARK(BM_ecrmat)->Arg(999999)->Unit(benchmark::kMillisecond);

static void BM_vecsort_row(benchmark::State& state) {
    // A samples x classes row: mostly zeros, a few positive heights.
    int n = static_cast<int>(state.range(0));
    std::mt19937 rng(1);
    DVector x = nullptr, w = nullptr;
    IVector p = nullptr;
    VecGuard xg{x}, wg{w};
    IVecGuard pg{p};
    vecalloc(x, n);
    vecalloc(w, n);
    vecintalloc(p, n);
    for (int i = 1; i <= n; ++i) w[i] = rng() % 10 == 0 ? rng() % 1000 : 0.0;
    for (auto _ : state) {
        for (int i = 1; i <= n; ++i) x[i] = w[i];
        vecsort(x, p);
    }
}
BENCHMARK(BM_vecsort_row)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
