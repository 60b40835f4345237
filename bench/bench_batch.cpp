// A long batch file against a short one: N runs of "Compute table" on a
// small channel table (100 peaks), timed per run.  Each run appends to the
// text report, so a cost that grows with the report shows as a per-run time
// that grows with N.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "datafile/arrays.h"
#include "datafile/binfile.h"
#include "frame/batch.h"
#include "frame/report.h"
#include "frame/run.h"
#include "bench_dir.h"
#include "support/fake_platform.h"

namespace {

namespace fs = std::filesystem;

void make_input() {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> length(35.0, 500.0), height(50.0, 5000.0);
    DMatrix m = nullptr;
    TabGuard g{m};
    taballoc(m, 100, 6);
    for (int i = 1; i <= 100; ++i) {
        m[i][1] = 1 + (i - 1) / 10;
        m[i][2] = i;
        m[i][4] = length(rng);
        m[i][5] = height(rng);
        m[i][6] = m[i][5] * 4.5;
    }
    ecrmat(m, "Chan1");
}

void BM_batch_of_option2_runs(benchmark::State& state) {
    bench_dir();
    make_input();
    const int runs = static_cast<int>(state.range(0));
    std::string batch = "Bench\n";
    for (int r = 0; r < runs; ++r) batch += std::string(r ? "----------\n" : "") + "2\n7\nChan1\n3\n1\n1\n1\n0\n0\n";
    std::FILE* f = std::fopen("b.txt", "wb");
    std::fwrite(batch.data(), 1, batch.size(), f);
    std::fclose(f);
    const std::string here = fs::current_path().string();
    for (auto _ : state) {
        state.PauseTiming();
        reset_fake();
        g_fake.windows_folder = here;
        g_report.start_folder = here;
        registermodule();
        for (int r = 0; r < runs; ++r)
            for (const char* a : {"5", "10", "20", "150", "300"}) g_fake.answers.push_back(a);
        state.ResumeTiming();
        BatchOutcome o = runbatch("b.txt");
        if (o.end != BatchEnd::Completed) {
            state.SkipWithError("the batch did not complete");
            break;
        }
        state.PauseTiming();
        for (const auto& e : fs::directory_iterator(here))
            if (e.path().filename().string().rfind("l-", 0) == 0) fs::remove(e.path());
        state.ResumeTiming();
    }
    state.counters["per_run"] = benchmark::Counter(runs, benchmark::Counter::kIsIterationInvariantRate |
                                                             benchmark::Counter::kInvert);
}
BENCHMARK(BM_batch_of_option2_runs)->Arg(10)->Arg(1000)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
