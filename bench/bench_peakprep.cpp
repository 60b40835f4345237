// "Filter peaks" on a channel table of the largest size (999999 peaks of
// 10000 samples, sizes 35..500 in 2 decimals, heights log-uniform from 10 to
// 5000 RFU in whole numbers, as the export tables have them),
// against the yardstick of reading the same table once and writing it once.
// The usual clean-up (size range, absolute height, merging, relative
// threshold) drops or merges about a third of the peaks; with the
// statistical filter on as well (pooled, then per sample) nearly every
// peak of these rich profiles is dropped, and the QC log of a record per
// dropped peak is larger than the table itself.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "datafile/readrows.h"
#include "frame/report.h"
#include "peakprep/options.h"
#include "peakprep/profiles.h"
#include "bench_dir.h"
#include "support/fake_platform.h"

namespace {

namespace fs = std::filesystem;

const int kRows = 999999;

// 100 peaks a sample in size order.
const char* make_input() {
    static const char* const name = "Chan1";
    if (fs::exists(name)) return name;
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> size(35.0, 500.0), loght(std::log(10.0), std::log(5000.0));
    std::vector<float> v;
    v.reserve(6u * kRows);
    std::vector<double> sizes;
    for (int r = 0; r < kRows;) {
        const int sample = 1 + r / 100;
        const int n = std::min(100, kRows - r);
        sizes.clear();
        for (int i = 0; i < n; ++i) sizes.push_back(std::round(size(rng) * 100) / 100);
        std::sort(sizes.begin(), sizes.end());
        for (int i = 0; i < n; ++i, ++r) {
            const double h = std::round(std::exp(loght(rng)));
            v.insert(v.end(),
                     {static_cast<float>(sample), static_cast<float>(i + 1), static_cast<float>(sizes[i] / 10),
                      static_cast<float>(sizes[i]), static_cast<float>(h), static_cast<float>(std::round(h * 4.5))});
        }
    }
    writetable(name, v, kRows, 6);
    return name;
}

// The yardstick: the table read once (as the option reads it) and written
// once (as the option writes its output).
void BM_read_and_write_once(benchmark::State& state) {
    bench_dir();
    const char* in = make_input();
    for (auto _ : state) {
        std::vector<float> v(6u * kRows);
        readrows(in, [&](int row, const float* x) { std::copy(x, x + 6, &v[6u * static_cast<std::size_t>(row - 1)]); });
        writetable("copy", v, kRows, 6);
        benchmark::DoNotOptimize(v.data());
    }
}
BENCHMARK(BM_read_and_write_once)->Unit(benchmark::kMillisecond);

// Sizes 50..480, heights of 20 RFU or more, peaks closer than 0.5 bp merged
// (at most 1 bp wide), 0.05 % of the sample's total; Arg 1 and 2 add the
// statistical filter with k = 3, pooled and per sample.
void BM_filter_peaks(benchmark::State& state) {
    bench_dir();
    FilterSettings s;
    s.input = make_input();
    s.min_size = 50;
    s.max_size = 480;
    s.min_height = 20;
    s.relative = 0.05;
    s.stat_k = state.range(0) ? 3 : 0;
    s.stat_per_sample = state.range(0) == 2;
    s.merge_below = 0.5;
    s.max_span = 1;
    for (auto _ : state) {
        g_fake.events.clear();
        ResetReport();
        try {
            filterpeaks(s);
        } catch (const RunAbandoned& e) {
            state.SkipWithError(e.text);
            break;
        }
    }
    int rows = 0, cols = 0;
    readdims("Chan1_flt", rows, cols);
    state.counters["rows_out"] = rows;
    state.counters["qc_bytes"] = static_cast<double>(fs::file_size("Chan1_flt.qc.txt"));
}
BENCHMARK(BM_filter_peaks)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Every step but the statistical filter runs with limits that keep every
// peak: the cost of the steps without the QC log's records.
void BM_filter_peaks_nothing_dropped(benchmark::State& state) {
    bench_dir();
    FilterSettings s;
    s.input = make_input();
    s.min_size = 1;
    s.max_size = 1000;
    s.min_height = 1;
    s.relative = 0.001;
    s.merge_below = 0.001;
    for (auto _ : state) {
        g_fake.events.clear();
        ResetReport();
        try {
            filterpeaks(s);
        } catch (const RunAbandoned& e) {
            state.SkipWithError(e.text);
            break;
        }
    }
    state.counters["qc_bytes"] = static_cast<double>(fs::file_size("Chan1_flt.qc.txt"));
}
BENCHMARK(BM_filter_peaks_nothing_dropped)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
