// "Bin by clusters" and "Shifted frames" on generated channel tables of 10^5
// and 999999 peaks (samples of 100 peaks drawn from 1000 true fragments of
// 35..500 bp, each seen 0.1 bp off at most, sizes in 2 decimals), beside
// the yardstick of reading the table once and writing it once.  The growth
// from 10^5 to 999999 rows is the point: neither may grow faster than
// n log n (about 12x here).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "datafile/messages.h"
#include "datafile/readrows.h"
#include "frame/report.h"
#include "peakprep/options.h"
#include "peakprep/profiles.h"
#include "bench_dir.h"
#include "support/fake_platform.h"

namespace {

namespace fs = std::filesystem;

std::string make_input(int rows) {
    const std::string name = "Chan1-" + std::to_string(rows);
    if (fs::exists(name)) return name;
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> fragment(35.0, 500.0), jitter(-0.1, 0.1), height(50.0, 5000.0);
    std::uniform_int_distribution<int> pick(0, 999);
    std::vector<double> truth(1000);
    for (double& t : truth) t = fragment(rng);
    std::vector<float> v;
    v.reserve(6u * static_cast<std::size_t>(rows));
    std::vector<double> sizes;
    for (int r = 0; r < rows;) {
        const int sample = 1 + r / 100, n = std::min(100, rows - r);
        sizes.clear();
        for (int i = 0; i < n; ++i) sizes.push_back(std::round((truth[pick(rng)] + jitter(rng)) * 100) / 100);
        std::sort(sizes.begin(), sizes.end());
        for (int i = 0; i < n; ++i, ++r) {
            const double h = std::round(height(rng));
            v.insert(v.end(), {static_cast<float>(sample), static_cast<float>(i + 1), static_cast<float>(sizes[i] / 10),
                               static_cast<float>(sizes[i]), static_cast<float>(h), static_cast<float>(h * 4.5)});
        }
    }
    writetable(name, v, rows, 6);
    return name;
}

void BM_read_and_write_once(benchmark::State& state) {
    bench_dir();
    const int rows = static_cast<int>(state.range(0));
    const std::string in = make_input(rows);
    for (auto _ : state) {
        std::vector<float> v(6u * static_cast<std::size_t>(rows));
        readrows(in.c_str(), [&](int row, const float* x) { std::copy(x, x + 6, &v[6u * static_cast<std::size_t>(row - 1)]); });
        writetable("copy", v, rows, 6);
        benchmark::DoNotOptimize(v.data());
    }
}
BENCHMARK(BM_read_and_write_once)->Arg(100000)->Arg(999999)->Unit(benchmark::kMillisecond);

// Runs the option (called with the input's name) once per iteration.
void run(benchmark::State& state, const std::function<void(const std::string&)>& entry) {
    bench_dir();
    const std::string in = make_input(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        g_fake.events.clear();
        ResetReport();
        try {
            entry(in);
        } catch (const RunAbandoned& e) {
            state.SkipWithError(e.text);
            break;
        }
    }
}

// The defaults: 1 to 1.5 bp wide bins, gap tolerance 0.97, sums of heights
// as row percentages.
void BM_bin_by_clusters(benchmark::State& state) {
    run(state, [](const std::string& in) {
        ClusterSettings s;
        s.input = in;
        binbyclusters(s);
    });
}
BENCHMARK(BM_bin_by_clusters)->Arg(100000)->Arg(999999)->Unit(benchmark::kMillisecond);

// 1 bp windows at ten offsets, areas; Arg 2 chooses Bray-Curtis.
void BM_shifted_frames(benchmark::State& state) {
    const bool bray_curtis = state.range(1) == 2;
    run(state, [bray_curtis](const std::string& in) {
        FrameSettings s;
        s.input = in;
        s.bray_curtis = bray_curtis;
        shiftedframes(s);
    });
}
BENCHMARK(BM_shifted_frames)->Args({100000, 1})->Args({999999, 1})->Args({100000, 2})->Args({999999, 2})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
