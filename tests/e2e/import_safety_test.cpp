// The import's bad-input catalogue: one row per kind of bad input, run
// through peakgrid-import in a folder that holds a good export (in.txt) and
// the output of an earlier run (out.txt).  Every row checks the exit status
// and the message, that the inputs are unchanged, that no temporary file is
// left, and that the earlier output is intact unless the row succeeds (its
// output then replaces it whole).
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <map>

#include "e2e/console_fixture.h"

namespace {

const std::string kHead = "Dye/Sample Peak\tSample Name\tSize\tHeight\tArea\n";
const std::string kGood =
    kHead + "\"B,1\"\tA\t100.5\t500\t2000\n\"G,1\"\tA\t120\t800\t4000\n\"B,1\"\tB\t101\t450\t2100\n";
const std::string kEarlier = "the output of an earlier run\n";
const std::string kOutHead = "Dye/Sample Peak\tSample File Name\tSample Name\tDye\tSample Peak\tData Point\tSize\t";

std::string utf16le(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii) out += std::string{c, '\0'};
    return out;
}

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

struct Row {
    const char* kind;
    std::function<void(const TestDir&)> prepare;  // lays out the bad input
    std::string args;
    int status;
    std::string message;  // found in standard error
    std::string shell;    // run first (limits)
};

void put(const TestDir& d, const std::string& name, const std::string& bytes) { write_bytes(d.file(name), bytes); }

// Names and contents of the regular files of the folder but out.txt.
std::map<std::string, std::string> inputs_of(const TestDir& d) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(d.path)) {
        const std::string n = e.path().filename().string();
        if (n != "out.txt" && n != "stderr.txt" && fs::is_regular_file(fs::symlink_status(e.path())))
            files[n] = read_bytes(e.path().string());
    }
    return files;
}

int run_import(const TestDir& d, const std::string& shell, const std::string& args, std::string& err) {
    const std::string cmd = "cd '" + d.path + "' && { " + shell + "timeout 60 " + wrapper() + PEAKGRID_IMPORT_EXE " " +
                            args + " >/dev/null 2>stderr.txt; }";
    int raw = std::system(cmd.c_str());
    err = read_bytes(d.file("stderr.txt"));
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

void check_row(const Row& row) {
    SCOPED_TRACE(row.kind);
    TestDir d;
    put(d, "in.txt", kGood);
    put(d, "out.txt", kEarlier);
    if (row.prepare) row.prepare(d);
    const auto before = inputs_of(d);
    std::string err;
    EXPECT_EQ(run_import(d, row.shell, row.args, err), row.status) << err;
    EXPECT_NE(err.find(row.message), std::string::npos) << err;
    for (std::size_t from = 0, nl; (nl = err.find('\n', from)) != std::string::npos; from = nl + 1)
        EXPECT_LT(nl - from, 300u) << "a message line is too long";
    fs::remove(d.file("stderr.txt"));
    EXPECT_TRUE(inputs_of(d) == before) << "an input changed";
    for (const auto& e : fs::directory_iterator(d.path))
        EXPECT_EQ(e.path().filename().string().find(".part~"), std::string::npos) << "temporary file left";
    const std::string out = read_bytes(d.file("out.txt"));
    if (row.status == 0)
        EXPECT_EQ(out.rfind(kOutHead, 0), 0u) << "no complete output: " << out.substr(0, 100);
    else
        EXPECT_TRUE(out == kEarlier) << "earlier output changed: " << out.substr(0, 100);
}

// Limits of address space hold only where no sanitizer or checker reserves more.
bool can_limit_memory() {
#if defined(__SANITIZE_ADDRESS__)
    return false;
#else
    return wrapper().empty();
#endif
}

}  // namespace

TEST(ImportSafety, BadInputsLoseNothing) {
    const std::string big = kHead + repeat("\"B,1\"\tA\t100.5\t500\t2000\n", 5000);
    std::vector<Row> rows = {
        // Outputs.
        {"output is the input", nullptr, "-o in.txt in.txt", 2, "peakgrid-import: in.txt: is also an input file", ""},
        {"output is the input through a link", [](const TestDir& d) { fs::create_symlink("in.txt", d.file("l.txt")); },
         "-o l.txt in.txt", 2, "l.txt: is also an input file", ""},
        {"disk full while writing", [&](const TestDir& d) { put(d, "in.txt", big); }, "-o out.txt in.txt", 1,
         "out.txt: cannot write; the file is left as it was", "ulimit -f 8; trap '' XFSZ; "},
        {"output a full device", nullptr, "-o /dev/full in.txt", 1, "/dev/full: cannot write", ""},
        {"output a folder", [](const TestDir& d) { fs::create_directory(d.file("sub")); }, "-o sub in.txt", 1,
         "sub: is a folder; nothing written", ""},
        {"output read-only", [](const TestDir& d) { fs::permissions(d.file("out.txt"), fs::perms::owner_read); },
         "-o out.txt in.txt", 1, "out.txt: is read-only; nothing written", ""},
        // Inputs that are no file or no table this program reads.
        {"endless device", nullptr, "-o out.txt /dev/zero", 2, "/dev/zero: is a folder or a device, not a file",
         can_limit_memory() ? "ulimit -v 400000; " : ""},
        {"pipe (would block)", [](const TestDir& d) { mkfifo(d.file("fifo").c_str(), 0600); }, "-o out.txt fifo", 2,
         "fifo: is a folder or a device, not a file", ""},
        {"folder", [](const TestDir& d) { fs::create_directory(d.file("sub")); }, "-o out.txt sub", 2,
         "sub: is a folder or a device", ""},
        {"first line of 20 MB of tabs", [](const TestDir& d) { put(d, "x.txt", std::string(20u << 20, '\t') + "\n"); },
         "-o out.txt x.txt", 2, "x.txt: not a peak table this program reads",
         can_limit_memory() ? "ulimit -v 200000; " : ""},
        {"same file twice", nullptr, "-o out.txt in.txt ./in.txt", 2,
         "./in.txt: given twice (also as in.txt); each file is read once; nothing written", ""},
        {"same file through a hard link",
         [](const TestDir& d) { fs::create_hard_link(d.file("in.txt"), d.file("h.txt")); }, "-o out.txt in.txt h.txt",
         2, "h.txt: given twice (also as in.txt)", ""},
        {"no Height column",
         [](const TestDir& d) { put(d, "x.txt", "Dye/Sample Peak,Sample Name,Size,Area\n\"B,1\",A,1,2\n"); },
         "-o out.txt x.txt", 2, "x.txt: not a peak table this program reads (line 1: it names no Height column)", ""},
        {"separator not read",
         [](const TestDir& d) { put(d, "x.txt", "Dye/Sample Peak|Sample Name|Size|Height|Area\n"); },
         "-o out.txt x.txt", 2, "line 1: fields separated by '|'", ""},
        {"decimal commas",
         [](const TestDir& d) {
             put(d, "x.txt", "Dye/Sample Peak;Sample Name;Size;Height;Area\n\"B,1\";A;100,5;500;2000\n");
         },
         "-o out.txt x.txt", 2, "x.txt: line 2: the size \"100,5\" has a decimal comma", ""},
        {"no peak at all", [](const TestDir& d) { put(d, "x.txt", kHead + "\"B,1\"\tA\t\t500\t2000\n"); },
         "-o out.txt x.txt", 2, "no peak to write (every data line was skipped); nothing written", ""},
        {"a good file, then a bad one", [](const TestDir& d) { put(d, "x.txt", "Name\tValue\n"); },
         "-o out.txt in.txt x.txt", 2, "x.txt: not a peak table", ""},
        // Inputs that are read.
        {"UTF-16 with its mark", [](const TestDir& d) { put(d, "x.txt", utf16le(kGood)); }, "-o out.txt x.txt", 0,
         "x.txt: GeneMapper table, UTF-16LE", ""},
        {"UTF-8 mark before a GeneScan sample file",
         [](const TestDir& d) {
             put(d, "s1",
                 "\xEF\xBB\xBF"
                 "B,1\t5.70\t38.72\t50\t321\t2137\n");
         },
         "-o out.txt s1", 0, "s1: GeneScan sample file", ""},
        {"quoted line break",
         [](const TestDir& d) {
             put(d, "x.csv",
                 "Dye/Sample Peak,Sample Name,Size,Height,Area\n\"B,1\",\"A\nB\",100,1,2\n\"B,2\",A,110,1,2\n");
         },
         "-o out.txt x.csv", 0, "skipped 2 malformed lines (first: x.csv line 2)", ""},
        {"names differing by blanks",
         [](const TestDir& d) { put(d, "x.txt", kHead + "\"B,1\"\tA B\t100\t1\t2\n\"B,2\"\tA_B\t110\t1\t2\n"); },
         "-o out.txt x.txt", 0, "warning: sample names \"A B\" and \"A_B\" are both written as A_B, read as one sample",
         ""},
    };
    if (can_limit_memory())
        rows.push_back({"memory runs out",
                        [](const TestDir& d) { put(d, "s1", repeat("B,1\t5.70\t38.72\t50\t321\t2137\n", 600000)); },
                        "-o out.txt s1", 1, "peakgrid-import: not enough memory to hold the peaks; nothing written",
                        "ulimit -v 20000; "});
    for (const Row& row : rows) check_row(row);
}

// A run killed while it writes leaves either the earlier output or the
// complete new one under the output's name, never a part of it: the run is
// killed as soon as the file of that name changes (or when it has ended).
TEST(ImportSafety, AKilledRunLeavesTheEarlierOutput) {
    TestDir d;
    put(d, "s1", repeat("B,1\t5.70\t38.72\t50\t321\t2137\n", 400000));
    std::string err;
    ASSERT_EQ(run_import(d, "", "-o full.txt s1", err), 0) << err;
    const std::string full = read_bytes(d.file("full.txt"));
    put(d, "out.txt", kEarlier);
    const std::string cmd = "cd '" + d.path + "' && { " PEAKGRID_IMPORT_EXE " -o out.txt s1 2>/dev/null & p=$!; " +
                            "while kill -0 $p; do [ $(wc -c <out.txt) = " + std::to_string(kEarlier.size()) +
                            " ] || { kill -9 $p; break; }; done; wait $p; } 2>/dev/null";
    std::system(cmd.c_str());
    const std::string out = read_bytes(d.file("out.txt"));
    EXPECT_TRUE(out == kEarlier || out == full) << out.size() << " bytes of " << full.size();
}

// What the import reports is what option 1 reads: cleaned names, one
// sample per name the import counts.
TEST_F(Console, NamesTheImportWritesAreTheNamesOption1Reads) {
    put(dir, "data/x.txt",
        kHead + "\"B,1\"\tA B\t100\t1\t2\n\"B,2\"\tA_B\t110\t1\t2\n" + std::string("\"B,1\"\tC\0D\t100\t1\t2\n", 18));
    std::string err;
    const std::string cmd = "cd '" + dir.file("data") + "' && " PEAKGRID_IMPORT_EXE " -o in.txt x.txt 2>err.txt";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << data("err.txt");
    EXPECT_NE(data("err.txt").find("3 peaks of 2 samples"), std::string::npos) << data("err.txt");
    put(dir, "run.txt", "One\n1\n1\nin.txt\n");
    ASSERT_EQ(run("run.txt").status, 0);
    EXPECT_EQ(data("SampleNames"), "Echantillon 1 = A_B\nEchantillon 2 = C_D\n");
    EXPECT_EQ(data("Chan1").size(), 3u * 24 + 18);
}
