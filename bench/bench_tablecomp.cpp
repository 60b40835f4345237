// "Compute table" on a channel table of real size: 999999 peaks (the most
// a table holds) of 10^4 samples, lengths 35..500, three groups of 1-wide
// classes from a start of -500 (1001 classes, of which about 466 hold
// peaks).  Two baselines: reading the same table once, and the library's
// own allocation and writing of tables of the output's size.  The plain
// method runs on a table a hundred times smaller.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "datafile/arrays.h"
#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "frame/report.h"
#include "peaks/tablecomp.h"
#include "bench_dir.h"
#include "support/fake_platform.h"
// The plain method lives with the unit tests; the benchmark builds it too.
#include "unit/tablecomp_oracle.cpp"

namespace {

namespace fs = std::filesystem;

// A channel table sorted by sample, as the export reader writes them.
std::string make_input(int rows, int samples) {
    std::string name = "chan-" + std::to_string(rows) + "-" + std::to_string(samples);
    if (fs::exists(name)) return name;
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> length(35.0, 500.0), height(50.0, 5000.0);
    DMatrix m = nullptr;
    TabGuard g{m};
    taballoc(m, rows, 6);
    for (int i = 1; i <= rows; ++i) {
        int sample = 1 + static_cast<int>(static_cast<long long>(i - 1) * samples / rows);
        m[i][1] = sample;
        m[i][2] = i;  // running number, large enough for the peak counts
        m[i][4] = length(rng);
        m[i][5] = height(rng);
        m[i][6] = m[i][5] * 4.5;
    }
    ecrmat(m, name.c_str());
    return name;
}

// Group widths 1, 1, 1 with upper limits 0 and 250.
const char* const kAnswers[] = {"1", "1", "1", "0", "250"};

void run_option(benchmark::State& state, decltype(&computetable) entry, int rows, int samples, int summax, int rowpct,
                int maxpeaks) {
    bench_dir();
    std::string in = make_input(rows, samples);
    for (auto _ : state) {
        g_fake.answers.assign(std::begin(kAnswers), std::end(kAnswers));
        g_fake.events.clear();
        ResetReport();
        try {
            entry(in.c_str(), 3, 1, summax, rowpct, maxpeaks, -500);
        } catch (const RunAbandoned& e) {
            state.SkipWithError(e.text);
            break;
        }
    }
    state.counters["rows"] = rows;
}

void BM_read_once(benchmark::State& state) {
    bench_dir();
    std::string in = make_input(999999, 10000);
    std::vector<unsigned char> buf(fs::file_size(in));
    std::vector<double> cols[6];
    for (auto& c : cols) c.resize(999999);
    for (auto _ : state) {
        std::FILE* f = std::fopen(in.c_str(), "rb");
        std::size_t n = std::fread(buf.data(), 1, buf.size(), f);
        std::fclose(f);
        if (n != buf.size()) state.SkipWithError("short read");
        for (std::size_t r = 0; r < 999999; ++r)
            for (int j = 0; j < 6; ++j) cols[j][r] = decodescal(&buf[24 * r + 4 * static_cast<std::size_t>(j)]);
        benchmark::DoNotOptimize(cols[5].data());
    }
}
BENCHMARK(BM_read_once)->Unit(benchmark::kMillisecond);

// The part of the option that is the library's own work on tables of this
// size: the zero-filled 10^4 x 1001 table (taballoc) and the two output
// files (ecrmat, 1001 and 466 columns).  No faster option can skip it.
void BM_allocate_and_write_tables(benchmark::State& state) {
    bench_dir();
    for (auto _ : state) {
        DMatrix m = nullptr;
        TabGuard g{m};
        taballoc(m, 10000, 1001);
        ecrmat(m, "floor_full");
        m[1][0] = 466;
        ecrmat(m, "floor_kept");
        m[1][0] = 1001;
    }
}
BENCHMARK(BM_allocate_and_write_tables)->Unit(benchmark::kMillisecond);

void BM_computetable_sum(benchmark::State& state) { run_option(state, &computetable, 999999, 10000, 1, 2, 0); }
BENCHMARK(BM_computetable_sum)->Unit(benchmark::kMillisecond);

// The same table through pandas (bench/peer_tablecomp.py): the time of its
// own work, as the script measures it, without the interpreter's start.
void BM_pandas_peer_sum(benchmark::State& state) {
    bench_dir();
    std::string in = make_input(999999, 10000);
    const std::string cmd = "/usr/bin/python3 '" PEER_TABLECOMP "' " + in + " 1001 1";
    for (auto _ : state) {
        std::FILE* p = popen(cmd.c_str(), "r");
        double seconds = -1;
        if (!p || std::fscanf(p, "%lf", &seconds) != 1) seconds = -1;
        if (p) pclose(p);
        if (seconds < 0) {
            state.SkipWithError("the pandas peer did not run (is python3-pandas installed?)");
            break;
        }
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_pandas_peer_sum)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_computetable_max_limit_pct(benchmark::State& state) {
    run_option(state, &computetable, 999999, 10000, 2, 1, 20);
}
BENCHMARK(BM_computetable_max_limit_pct)->Unit(benchmark::kMillisecond);

void BM_computetable_small_sum(benchmark::State& state) { run_option(state, &computetable, 10000, 100, 1, 2, 0); }
BENCHMARK(BM_computetable_small_sum)->Unit(benchmark::kMillisecond);

void BM_computetable_small_max_limit_pct(benchmark::State& state) {
    run_option(state, &computetable, 10000, 100, 2, 1, 20);
}
BENCHMARK(BM_computetable_small_max_limit_pct)->Unit(benchmark::kMillisecond);

void BM_plain_small_sum(benchmark::State& state) { run_option(state, &computetable_literal, 10000, 100, 1, 2, 0); }
BENCHMARK(BM_plain_small_sum)->Unit(benchmark::kMillisecond);

void BM_plain_small_max_limit_pct(benchmark::State& state) {
    run_option(state, &computetable_literal, 10000, 100, 2, 1, 20);
}
BENCHMARK(BM_plain_small_max_limit_pct)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
