// Reading a GeneScan export: Peakread against a plain read of the same file
// that only counts its lines, and against the floor of its work: reading the
// input once and writing nine files of the sizes of its outputs.
//
// A 10^6-line export is generated once into a temporary folder, which is
// made current so that the nine outputs land there too; the folder is
// removed at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>

#include "bench/baselines.h"
#include "peaks/genescan.h"

namespace {

const int kLines = 1000000;
const char kExport[] = "export.txt";

// An export in the usual shape: samples one after another, in each sample
// the peaks of dye 1, then 2, 3 and 4, with a tenth field that is ignored.
void generate_export(const char* name) {
    std::FILE* f = std::fopen(name, "w");
    if (!f) return;
    std::fputs(
        "Dye/Sample Peak\tSample File Name\tSample Name\tDye\tPeak\tMinutes\tSize\t"
        "Height\tArea\tData Point\n",
        f);
    std::mt19937 rng(42);
    const char dye_letter[] = "?BGYR";
    int sample = 0;
    for (int written = 0; written < kLines;) {
        ++sample;
        for (int dye = 1; dye <= 4 && written < kLines; ++dye) {
            int peaks = 40 + static_cast<int>(rng() % 40);
            double size = 35.0;
            for (int p = 1; p <= peaks && written < kLines; ++p, ++written) {
                size += 0.5 + (rng() % 1000) / 200.0;
                int height = 50 + static_cast<int>(rng() % 6000);
                std::fprintf(f, "%c,%d\tRun07_%04d.fsa\tSoil%04d\t%d\t%d\t%.2f\t%.2f\t%d\t%d\t%d\n", dye_letter[dye], p,
                             sample, sample, dye, p, 12.0 + size / 20.0, size, height,
                             height * (4 + static_cast<int>(rng() % 5)), 1500 + static_cast<int>(size * 12));
            }
        }
    }
    std::fclose(f);
}

long long file_size(const char* name) {
    std::error_code ec;
    auto n = std::filesystem::file_size(name, ec);
    return ec ? 0 : static_cast<long long>(n);
}

const char* const kOutputs[9] = {"Chan1",          "Chan2",          "Chan3",          "Chan4",         "SampleNames",
                                 "SampleNamesCh1", "SampleNamesCh2", "SampleNamesCh3", "SampleNamesCh4"};
// The sizes of the nine outputs, from one untimed run before the benchmarks.
long long g_output_sizes[9];

// Each run replaces the outputs of the one before, as a rerun does.
void BM_Peakread(benchmark::State& state) {
    for (auto _ : state) Peakread(kExport);
    state.SetBytesProcessed(state.iterations() * file_size(kExport));
}
BENCHMARK(BM_Peakread)->Unit(benchmark::kMillisecond);

// The same with the previous tables removed (untimed) before each run, which
// leaves out what the file system spends on truncating them.
void BM_PeakreadFreshOutputs(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        for (const char* name : {"Chan1", "Chan2", "Chan3", "Chan4"}) std::remove(name);
        state.ResumeTiming();
        Peakread(kExport);
    }
    state.SetBytesProcessed(state.iterations() * file_size(kExport));
}
BENCHMARK(BM_PeakreadFreshOutputs)->Unit(benchmark::kMillisecond);

// Line by line through a 2048-byte buffer, as a simple text reader does.
void BM_CountLines(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(count_lines_fgets(kExport));
    state.SetBytesProcessed(state.iterations() * file_size(kExport));
}
BENCHMARK(BM_CountLines)->Unit(benchmark::kMillisecond);

// Whole blocks and memchr: the fastest plain count, for scale.
void BM_CountLinesBlock(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(count_lines_blocks(kExport, 1 << 16));
    state.SetBytesProcessed(state.iterations() * file_size(kExport));
}
BENCHMARK(BM_CountLinesBlock)->Unit(benchmark::kMillisecond);

// Reading the file once: 1 MiB blocks, counting line ends.  Option 1 is to
// stay within 3 times this.
void BM_ReadOnce1MiB(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(count_lines_blocks(kExport, 1 << 20));
    state.SetBytesProcessed(state.iterations() * file_size(kExport));
}
BENCHMARK(BM_ReadOnce1MiB)->Unit(benchmark::kMillisecond);

// The yardstick of option 1: the input read once in 1 MiB blocks (counting
// line ends), then nine files of the sizes of its outputs written.  Run
// beside BM_Peakread; their ratio is what the option costs over moving the
// bytes.
void BM_ReadWriteFloor(benchmark::State& state) {
    char name[32];
    for (auto _ : state) {
        benchmark::DoNotOptimize(count_lines_blocks(kExport, 1 << 20));
        for (int i = 0; i < 9; ++i) {
            std::snprintf(name, sizeof name, "floor%d", i);
            if (!write_bytes(name, g_output_sizes[i])) state.SkipWithError("cannot write the floor's outputs");
        }
    }
    state.SetBytesProcessed(state.iterations() * file_size(kExport));
}
BENCHMARK(BM_ReadWriteFloor)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    fs::path old_cwd = fs::current_path();
    fs::path dir = fs::temp_directory_path() / ("peakgrid-bench-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    fs::current_path(dir);
    generate_export(kExport);
    Peakread(kExport);
    for (int i = 0; i < 9; ++i) g_output_sizes[i] = file_size(kOutputs[i]);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::current_path(old_cwd);
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
