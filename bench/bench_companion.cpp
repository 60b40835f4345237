// The companion programs against reading their input once.
//
// Import: a 10^6-line Peak Scanner export (26 columns, dyes interleaved
// within each sample, so the output has to be regrouped).  Export: a
// 10^4 x 10^3 class table as CSV, once with whole-number sums (most cells
// 0, as class tables are) and once with row proportions.  Each is followed
// by its floor: reading the same input once in 1 MiB blocks with fread and
// writing an output of the same size as the real one in 1 MiB blocks, so
// the ratio of the two medians of one run is the cost over plain I/O.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench/baselines.h"
#include "companion/import/importer.h"
#include "datafile/arrays.h"
#include "datafile/binfile.h"
#include "datafile/tabletext.h"

namespace {

const int kLines = 1000000;
const char kExport[] = "peakscanner.txt";
const int kRows = 10000, kCols = 1000;

void generate_export(const char* name) {
    std::FILE* f = std::fopen(name, "w");
    if (!f) return;
    std::fputs(
        "Status\tSample Name\tSample Type\tSize Standard\tAnalysis Method\tSQI\tOffscale\tQuality\tUD1\t"
        "UD2\tUD3\tDye/Sample Peak\tSample File Name\tSize\tHeight\tArea in Point\tArea in BP\tData Point\t"
        "Begin Point\tBegin BP\tEnd Point\tEnd BP\tWidth in Point\tWidth in BP\tUser Comments\tUser Edit\n",
        f);
    std::mt19937 rng(42);
    const char dye_letter[] = "?BGYR";
    int sample = 0;
    for (int written = 0; written < kLines;) {
        ++sample;
        int peak[5] = {0, 0, 0, 0, 0};
        double size = 35.0;
        for (int p = 0; p < 240 && written < kLines; ++p, ++written) {
            int dye = 1 + static_cast<int>(rng() % 4);
            size += 0.2 + (rng() % 1000) / 500.0;
            int height = 50 + static_cast<int>(rng() % 6000);
            int point = 1500 + static_cast<int>(size * 12);
            std::fprintf(f,
                         "Analyzed\tSoil %04d\tSample\tGS500\tAFLP\tfalse\tPass\tPass\t\t\t\t\"%c, %d\"\t"
                         "Soil%04d_A%02d.fsa\t%.4f\t%d\t%d\t%.4f\t%d\t%d\t%.4f\t%d\t%.4f\t%d\t%.4f\t\t\n",
                         sample, dye_letter[dye], ++peak[dye], sample, sample % 96, size, height, height * 6,
                         height * 0.4, point, point - 8, size - 0.6, point + 9, size + 0.7, 17, 1.3);
        }
    }
    std::fclose(f);
}

// A class table of samples x classes: whole sums of a few dozen peaks per
// row, or those rows as proportions of their totals.
void generate_table(const char* name, bool proportions) {
    DMatrix m = nullptr;
    TabGuard g{m};
    taballoc(m, kRows, kCols);
    std::mt19937 rng(7);
    for (int i = 1; i <= kRows; ++i) {
        double total = 0.0;
        for (int k = 0; k < 60; ++k) {
            double h = 50 + static_cast<int>(rng() % 6000);
            m[i][1 + static_cast<int>(rng() % kCols)] += h;
            total += h;
        }
        if (proportions)
            for (int j = 1; j <= kCols; ++j) m[i][j] /= total;
    }
    ecrmat(m, name);
}

long long file_size(const char* name) {
    std::error_code ec;
    auto n = std::filesystem::file_size(name, ec);
    return ec ? 0 : static_cast<long long>(n);
}

void read_once(const char* name) {
    static std::vector<char> block(1 << 20);
    std::FILE* f = std::fopen(name, "rb");
    long long sum = 0;
    std::size_t got;
    while ((got = std::fread(block.data(), 1, block.size(), f)) > 0) sum += block[got - 1];
    std::fclose(f);
    benchmark::DoNotOptimize(sum);
}

// The sizes of the real outputs, measured once before the benchmarks run.
long long g_import_size = 0, g_sums_csv_size = 0, g_proportions_csv_size = 0;

// The floor: the input read once, and out_size bytes written to a file.
void read_and_write(const char* name, long long out_size) {
    read_once(name);
    static std::vector<char> block(1 << 20, 'x');
    std::FILE* out = std::fopen("floor.txt", "wb");
    for (long long left = out_size; left > 0;) {
        const std::size_t n =
            left < static_cast<long long>(block.size()) ? static_cast<std::size_t>(left) : block.size();
        std::fwrite(block.data(), 1, n, out);
        left -= static_cast<long long>(n);
    }
    std::fclose(out);
}

void import_once() {
    Importer im({});
    std::string error;
    if (!im.add(kExport, error)) return;
    std::FILE* out = std::fopen("imported.txt", "w");
    im.write(out);
    std::fclose(out);
}

void BM_ImportPeakScanner(benchmark::State& state) {
    for (auto _ : state) {
        Importer im({});
        std::string error;
        if (!im.add(kExport, error)) state.SkipWithError(error.c_str());
        std::FILE* out = std::fopen("imported.txt", "w");
        im.write(out);
        std::fclose(out);
    }
    state.SetBytesProcessed(state.iterations() * file_size(kExport));
}
BENCHMARK(BM_ImportPeakScanner)->Unit(benchmark::kMillisecond);

void BM_ImportFloor(benchmark::State& state) {
    for (auto _ : state) read_and_write(kExport, g_import_size);
    state.SetBytesProcessed(state.iterations() * file_size(kExport));
}
BENCHMARK(BM_ImportFloor)->Unit(benchmark::kMillisecond);

void BM_ReadExportOnce(benchmark::State& state) {
    for (auto _ : state) read_once(kExport);
    state.SetBytesProcessed(state.iterations() * file_size(kExport));
}
BENCHMARK(BM_ReadExportOnce)->Unit(benchmark::kMillisecond);

// For scale: the same file line by line with fgets, as a simple reader does.
void BM_CountExportLines(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(count_lines_fgets(kExport));
    state.SetBytesProcessed(state.iterations() * file_size(kExport));
}
BENCHMARK(BM_CountExportLines)->Unit(benchmark::kMillisecond);

void export_csv(benchmark::State& state, const char* table) {
    TextLabels labels;
    labels.corner = "Sample";
    for (auto _ : state) {
        std::FILE* out = std::fopen("table.csv", "wb");
        texttable(table, out, labels);
        std::fclose(out);
    }
    state.SetBytesProcessed(state.iterations() * file_size(table));
}
void export_floor(benchmark::State& state, const char* table, long long csv_size) {
    for (auto _ : state) read_and_write(table, csv_size);
    state.SetBytesProcessed(state.iterations() * file_size(table));
}
void BM_ExportSums(benchmark::State& state) { export_csv(state, "sums.bin"); }
void BM_ExportSumsFloor(benchmark::State& state) { export_floor(state, "sums.bin", g_sums_csv_size); }
void BM_ExportProportions(benchmark::State& state) { export_csv(state, "proportions.bin"); }
void BM_ExportProportionsFloor(benchmark::State& state) {
    export_floor(state, "proportions.bin", g_proportions_csv_size);
}
BENCHMARK(BM_ExportSums)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportSumsFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportProportions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportProportionsFloor)->Unit(benchmark::kMillisecond);

void BM_ReadTableOnce(benchmark::State& state) {
    for (auto _ : state) read_once("sums.bin");
    state.SetBytesProcessed(state.iterations() * file_size("sums.bin"));
}
BENCHMARK(BM_ReadTableOnce)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    fs::path old_cwd = fs::current_path();
    fs::path dir = fs::temp_directory_path() / ("peakgrid-bench-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    fs::current_path(dir);
    generate_export(kExport);
    generate_table("sums.bin", false);
    generate_table("proportions.bin", true);
    import_once();
    g_import_size = file_size("imported.txt");
    TextLabels labels;
    labels.corner = "Sample";
    for (const char* table : {"sums.bin", "proportions.bin"}) {
        std::FILE* out = std::fopen("table.csv", "wb");
        texttable(table, out, labels);
        std::fclose(out);
        (table[0] == 's' ? g_sums_csv_size : g_proportions_csv_size) = file_size("table.csv");
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::current_path(old_cwd);
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
