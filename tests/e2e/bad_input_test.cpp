// The bad-input catalogue: one row per kind of bad input, run through the
// console program from a folder holding the outputs of an earlier good run.
// Every row checks the exit status and the message, that no temporary or
// half-written file is left, and that the earlier outputs are intact
// (except those the row itself replaces).
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <limits>
#include <functional>
#include <map>

#include "e2e/console_fixture.h"

namespace {

const std::string kHeader = "Dye/Sample Peak\tSample File\tSample\tDye\tPeak\tMinutes\tSize\tHeight\tArea\n";
const std::string kPeaks =
    "B,1\tf.fsa\tS1\t1\t1\t0\t100.5\t500\t2000\n"
    "B,2\tf.fsa\tS1\t1\t2\t0\t150.25\t300\t1500\n"
    "G,1\tf.fsa\tS1\t2\t1\t0\t120\t800\t4000\n"
    "B,1\tg.fsa\tS2\t1\t1\t0\t101\t450\t2100\n"
    "G,1\tg.fsa\tS2\t2\t1\t0\t119.5\t700\t3900\n";

// Option 1 on an export, and option 2 on a table (one group, heights, sums,
// no row proportions), as batch-file runs.
std::string read_run(const std::string& input) { return "1\n1\n" + input + "\n"; }
std::string table_run(const std::string& input, const std::string& groups = "1") {
    return "2\n7\n" + input + "\n" + groups + "\n1\n1\n2\n0\n0\n";
}
const std::string kSeparator = "----------\n";

const char* const kOutputs[] = {"Chan1",          "Chan2",          "Chan3",          "Chan4",
                                "SampleNames",    "SampleNamesCh1", "SampleNamesCh2", "SampleNamesCh3",
                                "SampleNamesCh4", "Chan1_tabtotSH", "Chan1_tabSH"};

std::string replace_all(std::string s, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = s.find(from, at)) != std::string::npos; at += to.size())
        s.replace(at, from.size(), to);
    return s;
}

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

// Bytes of a binary table: floats, then a trailer as given.
std::string with_trailer(const std::vector<float>& v, const std::string& trailer) { return floats(v) + trailer; }

const std::vector<float> kRows = {1, 1, 0, 100.5f, 500, 2000, 2, 1, 0, 101, 450, 2100};

struct Row {
    const char* kind;
    std::function<void(const TestDir&)> prepare;  // lays out the bad input
    std::string args;                             // command line
    std::string input;                            // standard input
    int status;
    std::string message;               // found in standard error
    std::vector<std::string> changed;  // outputs the row may replace or remove
    std::string shell;                 // shell commands run first (limits)
};

void put(const TestDir& d, const std::string& name, const std::string& bytes) { write_bytes(d.file(name), bytes); }
void link(const TestDir& d, const std::string& target, const std::string& name) {
    fs::create_symlink(target, d.file(name));
}

class BadInput : public Console {
  protected:
    void SetUp() override {
        Console::SetUp();
        put(dir, "data/export.txt", kHeader + kPeaks);
        put(dir, "run.txt", "Good\n" + read_run("export.txt") + kSeparator + table_run("Chan1"));
        Outcome r = run("run.txt", "10\n");
        ASSERT_EQ(r.status, 0) << r.err;
        for (const char* name : kOutputs) good[name] = data(name);
    }

    // Back to the good run's folder: configuration, export and outputs.
    void reset() {
        fs::permissions(dir.file("data"), fs::perms::owner_all);
        for (const auto& top : {dir.path, dir.file("data"), dir.file("prefs")})
            for (const auto& e : fs::directory_iterator(top)) {
                std::string n = e.path().filename().string();
                if (top == dir.path && (n == "data" || n == "prefs")) continue;
                fs::remove_all(e.path());
            }
        put(dir, "QOR4DIRP.txt", dir.file("prefs"));
        put(dir, "prefs/QOR4PREF.txt", dir.file("data"));
        put(dir, "data/export.txt", kHeader + kPeaks);
        for (const auto& g : good) put(dir, "data/" + g.first, g.second);
    }

    Outcome run_row(const Row& row) {
        reset();
        if (row.prepare) row.prepare(dir);
        put(dir, "stdin.txt", row.input);
        bool home = row.shell.find("unset HOME") == std::string::npos;
        // A run that hangs is ended, and fails its row.
        std::string cmd = "cd '" + dir.path + "' && { " + row.shell + (home ? "HOME='" + dir.path + "' " : "") +
                          "timeout 300 " + wrapper() + "'" PEAKGRID_EXE "' " + row.args +
                          " <stdin.txt >stdout.txt 2>stderr.txt; }";
        int raw = std::system(cmd.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_bytes(dir.file("stdout.txt")),
                read_bytes(dir.file("stderr.txt"))};
    }

    void check(const Row& row, const Outcome& r) {
        SCOPED_TRACE(row.kind);
        EXPECT_EQ(r.status, row.status) << r.err;
        EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("Error: Error:"), std::string::npos) << r.err;
        for (std::size_t from = 0, nl; (nl = r.err.find('\n', from)) != std::string::npos; from = nl + 1)
            EXPECT_LT(nl - from, 300u) << "a message line is too long";
        fs::permissions(dir.file("data"), fs::perms::owner_all);
        for (auto it = fs::recursive_directory_iterator(dir.path); it != fs::recursive_directory_iterator(); ++it) {
            std::string n = it->path().filename().string();
            EXPECT_EQ(n.find(".part~"), std::string::npos) << "temporary output left: " << n;
            EXPECT_NE(n.rfind("QOR.temp-", 0), 0u) << "temporary report left: " << n;
        }
        for (const char* name : kOutputs) {
            if (std::find(row.changed.begin(), row.changed.end(), name) != row.changed.end()) continue;
            EXPECT_EQ(data(name), good[name]) << "earlier output changed: " << name;
        }
    }

    void run_all(const std::vector<Row>& rows) {
        for (const Row& row : rows) check(row, run_row(row));
    }

    std::map<std::string, std::string> good;
};

}  // namespace

TEST_F(BadInput, ExportsGivenToReadGenescanFile) {
    const std::vector<std::string> all(std::begin(kOutputs), std::end(kOutputs) - 2);
    std::string big_channel;
    big_channel.reserve(19 * 1000001u);
    for (int i = 0; i < 1000000; ++i) big_channel += "p f A 1 1 0 1 2 3\n";
    // clang-format off
    std::vector<Row> rows = {
        {"missing input", nullptr, "run.txt", "", 1, "Error: can't open input file (Peakread)", {}, ""},
        {"unreadable input (reading fails)", [](const TestDir& d) { link(d, "/proc/self/mem", "data/mem.txt"); },
         "run.txt", "", 1, "Error: can't read input file (Peakread)", {}, ""},
        {"folder as input", [](const TestDir& d) { fs::create_directory(d.file("data/folder")); }, "run.txt", "", 1,
         "Error: input file is a folder or a device, not a file (Peakread)", {}, ""},
        {"pipe as input (would block)", [](const TestDir& d) { mkfifo(d.file("data/fifo").c_str(), 0600); },
         "run.txt", "", 1, "Error: input file is a folder or a device, not a file (Peakread)", {}, ""},
        {"endless device as input", [](const TestDir& d) { link(d, "/dev/zero", "data/zero"); }, "run.txt", "", 1,
         "Error: input file is a folder or a device, not a file (Peakread)", {}, ""},
        {"input is one of the outputs", nullptr, "run.txt", "", 1,
         "Error: input file is also an output file (Peakread)", {}, ""},
        {"channel of 1000000 peaks", [&](const TestDir& d) { put(d, "data/x.txt", kHeader + big_channel); },
         "run.txt", "", 1, "Error: more than 999999 peaks in one channel (Peakread)", {}, ""},
        {"output name taken by a folder",
         [](const TestDir& d) { fs::remove(d.file("data/Chan2")); fs::create_directory(d.file("data/Chan2")); },
         "run.txt", "", 1, "Error: can't open binary output file (ouvecr)", {"Chan2"}, ""},
        {"name file taken by a folder",
         [](const TestDir& d) { fs::remove(d.file("data/SampleNamesCh3")); fs::create_directory(d.file("data/SampleNamesCh3")); },
         "run.txt", "", 1, "Error: can't open sample names file (Peakread)", {"SampleNamesCh3"}, ""},
        {"read-only output", [](const TestDir& d) { fs::permissions(d.file("data/Chan3"), fs::perms::owner_read); },
         "run.txt", "", 1, "Error: can't open binary output file (ouvecr)", {}, ""},
        {"output linked to a full device",
         [](const TestDir& d) { fs::remove(d.file("data/Chan4")); link(d, "/dev/full", "data/Chan4"); }, "run.txt",
         "", 1, "Error: can't open binary output file (ouvecr)", {"Chan4"}, ""},
        {"full disk while writing",
         [](const TestDir& d) { put(d, "data/x.txt", kHeader + repeat("p f A 1 1 0 1 2 3\n", 4000)); }, "run.txt", "",
         1, "Error: can't write", {}, "ulimit -f 64; trap '' XFSZ; "},
        {"output folder not writable",
         [](const TestDir& d) {
             put(d, "run.txt", "Peaks\n" + read_run(d.file("data/export.txt")));
             // (root may write anywhere but here)
             put(d, "prefs/QOR4PREF.txt", geteuid() == 0 ? "/proc" : d.file("data"));
             if (geteuid() != 0) fs::permissions(d.file("data"), fs::perms::owner_read | fs::perms::owner_exec);
         },
         "run.txt",
         "",
         1,
         "Error: can't open binary output file (ouvecr)",
         {},
         ""},
        // Exports that are read, with the good run's outputs as the result.
        {"CR-only line ends",
         [](const TestDir& d) { put(d, "data/x.txt", replace_all(kHeader + kPeaks, "\n", "\r")); }, "run.txt", "", 0,
         "", {}, ""},
        {"CR CR LF line ends",
         [](const TestDir& d) { put(d, "data/x.txt", replace_all(kHeader + kPeaks, "\n", "\r\r\n")); }, "run.txt", "",
         0, "", {}, ""},
        {"line of 100000 characters",
         [](const TestDir& d) { put(d, "data/x.txt", kHeader + std::string(100000, 'x') + "\n" + kPeaks); },
         "run.txt", "", 0, "", {}, ""},
        {"header of 100000 fields",
         [](const TestDir& d) { put(d, "data/x.txt", repeat("h ", 100000) + "\n" + kPeaks); }, "run.txt", "", 0, "",
         {}, ""},
        {"NUL bytes end a line",
         [](const TestDir& d) { put(d, "data/x.txt", kHeader + kPeaks + std::string("B,1 f S3 1 1 0\0 1 2 3\n", 22) + std::string("\0\0\0\n", 4)); },
         "run.txt", "", 0, "", {}, ""},
        {"empty export", [](const TestDir& d) { put(d, "data/x.txt", ""); }, "run.txt", "", 0, "", all, ""},
        {"binary bytes as export",
         [](const TestDir& d) { std::string b; for (int i = 0; i < 5000; ++i) b += static_cast<char>((i * 7919) & 0xff); put(d, "data/x.txt", b); },
         "run.txt", "", 0, "", all, ""},
    };
    // clang-format on
    // Each row's batch file names its own input.
    const char* inputs[] = {"missing.txt", "mem.txt",    "folder",     "fifo",       "zero",  "Chan3", "x.txt",
                            "export.txt",  "export.txt", "export.txt", "export.txt", "x.txt", "-",     "x.txt",
                            "x.txt",       "x.txt",      "x.txt",      "x.txt",      "x.txt", "x.txt"};
    ASSERT_EQ(rows.size(), std::size(inputs));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        auto prepare = rows[i].prepare;
        std::string input = inputs[i];
        rows[i].prepare = [prepare, input](const TestDir& d) {
            put(d, "run.txt", "Peaks\n" + read_run(input));
            if (prepare) prepare(d);
        };
    }
    run_all(rows);
}

// Odd but readable exports give what they say, and never more memory than
// a fixed amount.
TEST_F(BadInput, ExportsThatAreReadAsTheySay) {
    struct Case {
        const char* kind;
        std::string body;
        std::string names, chan1_rows;
    } cases[] = {
        {"sample name of 300 characters", "B,1 f " + std::string(300, 'n') + " 1 1 0 100 5 6\n",
         "Echantillon 1 = " + std::string(255, 'n') + "\n", "000001"},
        {"non-ASCII bytes in a name", "B,1 f \xc3\xa9t\xe9\xff 1 1 0 100 5 6\n", "Echantillon 1 = \xc3\xa9t\xe9\xff\n",
         "000001"},
        {"hexadecimal, infinite and NaN dyes select no channel",
         "B,1 f A 0x1 1 0 1 2 3\nB,1 f A inf 1 0 1 2 3\nB,1 f A nan 1 0 1 2 3\nB,1 f A 1 1 0 1 2 3\n",
         "Echantillon 1 = A\n", "000001"},
        {"huge and tiny numbers", "B,1 f A 1 1e999 -1e999 1e-999 nan 99999999999999999999999\n", "Echantillon 1 = A\n",
         "000001"},
        {"huge sample numbers in the export", "B,1 f 99999999999999999999 1 1 0 1 2 3\n",
         "Echantillon 1 = 99999999999999999999\n", "000001"},
    };
    put(dir, "run.txt", "Peaks\n" + read_run("x.txt"));
    for (const auto& c : cases) {
        put(dir, "data/x.txt", kHeader + c.body);
        Outcome r = run("run.txt");
        EXPECT_EQ(r.status, 0) << c.kind << r.err;
        EXPECT_EQ(data("SampleNames"), c.names) << c.kind;
        std::string chan1 = data("Chan1");
        EXPECT_EQ(chan1.substr(chan1.size() < 16 ? 0 : chan1.size() - 16, 6), c.chan1_rows) << c.kind;
    }
}

// A line of 50 MB is read in a fixed amount of memory: the run fits in
// 100 MB of address space (where no sanitizer or checker reserves more).
TEST_F(BadInput, ExportLineOf50MB) {
    Row row = {"export line of 50 MB",
               [](const TestDir& d) {
                   put(d, "run.txt", "Peaks\n" + read_run("x.txt"));
                   put(d, "data/x.txt", kHeader + "B,1 f A 1 1 0 1 2 3 " + std::string(50u << 20, '7') + "\n");
               },
               "run.txt",
               "",
               0,
               "",
               {},
               ""};
#if !defined(__SANITIZE_ADDRESS__)
    if (wrapper().empty()) row.shell = "ulimit -v 100000; ";
#endif
    Outcome r = run_row(row);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(data("SampleNames"), "Echantillon 1 = A\n");
    EXPECT_EQ(data("Chan1").size(), 24u + 18);
}

TEST_F(BadInput, TablesGivenToComputeTable) {
    // clang-format off
    std::vector<Row> rows = {
        {"missing table", nullptr, "", "10\n", 0, "Message: Sorry: invalid binary file", {}, ""},
        {"folder as table", [](const TestDir& d) { fs::create_directory(d.file("data/t.bin")); }, "", "10\n", 0,
         "Message: Sorry: invalid binary file", {}, ""},
        {"pipe as table (would block)", [](const TestDir& d) { mkfifo(d.file("data/t.bin").c_str(), 0600); }, "",
         "10\n", 0, "Message: Sorry: invalid binary file", {}, ""},
        {"empty file", [](const TestDir& d) { put(d, "data/t.bin", ""); }, "", "10\n", 0,
         "Message: Sorry: invalid binary file", {}, ""},
        {"file shorter than a trailer", [](const TestDir& d) { put(d, "data/t.bin", "\r\n0005\r\n"); }, "", "10\n", 0,
         "Message: Sorry: invalid binary file", {}, ""},
        {"non-numeric trailer",
         [](const TestDir& d) { put(d, "data/t.bin", with_trailer(kRows, "\r\n00000x\r\n000006\r\n")); }, "", "10\n",
         0, "Message: Sorry: invalid binary file", {}, ""},
        {"trailer claiming more rows than the file holds",
         [](const TestDir& d) { put(d, "data/t.bin", with_trailer(kRows, "\r\n000100\r\n000006\r\n")); }, "", "10\n",
         1, "Error: can't read vector (readvec)", {}, ""},
        {"count of seven digits",
         [](const TestDir& d) { put(d, "data/t.bin", with_trailer(kRows, "\r\n1000000\r\n000006\r\n")); }, "", "10\n",
         0, "Message: Sorry: invalid binary file", {}, ""},
        {"too few columns",
         [](const TestDir& d) { put(d, "data/t.bin", with_trailer({1, 2, 3, 4, 5, 6, 7, 8}, "\r\n000002\r\n000004\r\n")); },
         "", "10\n", 1, "fatal input-output error numcol>c1 (selectcol", {}, ""},
        {"NaN and infinite values",
         [](const TestDir& d) { const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity(); put(d, "data/t.bin", table({nan, 1, 0, 100, 5, 6, 1, 1, 0, inf, 5, 6, 1, 2, 0, 110, nan, 6}, 3, 6)); },
         "", "10\n", 0, "Message: Sorry: more than 999999 size classes", {}, ""},
        {"huge sample numbers", [](const TestDir& d) { put(d, "data/t.bin", table({1e9f, 1, 0, 100, 5, 6}, 1, 6)); },
         "", "10\n", 0, "Message: Sorry: more than 999999 samples", {}, ""},
        {"output linked to the input",
         [](const TestDir& d) { put(d, "data/t.bin", table(kRows, 2, 6)); link(d, "t.bin", "data/t.bin_tabtotSH"); },
         "", "10\n", 1, "Error: input file is also an output file (computetable)", {}, ""},
        {"output name taken by a folder",
         [](const TestDir& d) { fs::remove(d.file("data/Chan1_tabSH")); fs::create_directory(d.file("data/Chan1_tabSH")); },
         "Chan1", "10\n", 1, "Error: can't open binary output file (ouvecr)", {"Chan1_tabSH"}, ""},
        {"full disk while writing",
         [](const TestDir& d) { std::vector<float> v; for (int i = 1; i <= 3000; ++i) v.insert(v.end(), {static_cast<float>(i), 1, 0, static_cast<float>(100 + i % 50), 5, 6}); put(d, "data/t.bin", table(v, 3000, 6)); },
         "", "1\n", 1, "Error: can't write matrix (ecrmat)", {}, "ulimit -f 64; trap '' XFSZ; "},
        {"labelled copy's name taken by a folder",
         [](const TestDir& d) { fs::create_directory(d.file("data/Chan1_tabSH.csv")); }, "--csv Chan1", "10\n", 1,
         "Error: can't open labelled table (csvtable)", {}, ""},
        // Run-time answers to the class-width question.
        {"width 0, then end of input", nullptr, "Chan1", "0\n", 0,
         "Message: Sorry: the class width must be at least 1", {}, ""},
        {"width -5", nullptr, "Chan1", "-5\n", 0, "Message: Sorry: the class width must be at least 1", {}, ""},
        {"width abc", nullptr, "Chan1", "abc\n", 0, "Message: Sorry: the class width must be at least 1", {}, ""},
        {"empty answer", nullptr, "Chan1", "\n", 0, "Message: Sorry: the class width must be at least 1", {}, ""},
        {"end of input", nullptr, "Chan1", "", 0, "Message: Sorry: computation cancelled, no table written", {}, ""},
        {"groups 0", nullptr, "Chan1 0", "10\n", 0, "Message: Sorry: the number of groups must be at least 1", {}, ""},
    };
    // clang-format on
    for (Row& row : rows) {
        std::string flag = row.args.rfind("--csv ", 0) == 0 ? "--csv " : "";
        row.args = row.args.substr(flag.size());
        std::string input = row.args.empty() ? "t.bin" : row.args.substr(0, row.args.find(' '));
        std::string groups = row.args.find(' ') == std::string::npos ? "1" : row.args.substr(row.args.find(' ') + 1);
        auto prepare = row.prepare;
        row.prepare = [prepare, input, groups](const TestDir& d) {
            if (prepare) prepare(d);
            put(d, "run.txt", "Table\n" + table_run(input, groups));
        };
        row.args = flag + "run.txt";
    }
    run_all(rows);
}

TEST_F(BadInput, BatchFilesAndStartUp) {
    // clang-format off
    std::vector<Row> rows = {
        {"missing batch file", nullptr, "none.txt", "", 2, "none.txt: cannot open the batch file", {}, ""},
        {"folder as batch file", [](const TestDir& d) { fs::create_directory(d.file("b")); }, "b", "", 2,
         "b: this is a folder, not a batch file", {}, ""},
        {"endless device as batch file", nullptr, "/dev/zero", "", 2, "this is a pipe or a device, not a batch file",
         {}, ""},
        {"empty batch file", [](const TestDir& d) { put(d, "b.txt", ""); }, "b.txt", "", 2,
         "b.txt: the batch file is empty", {}, ""},
        {"option line of 100000 characters",
         [](const TestDir& d) { put(d, "b.txt", "R\n" + std::string(100000, '7') + "\n1\nexport.txt\n"); }, "b.txt",
         "", 2, "stopped early at line 2: option number must be 1 to 20, not \"7777", {}, ""},
        {"value of 100000 characters",
         [](const TestDir& d) { put(d, "b.txt", "R\n1\n1\n" + std::string(100000, 'p') + "\n"); }, "b.txt", "", 1,
         "Error: can't open input file (Peakread)", {}, ""},
        {"NUL byte in a value (ends it)",
         [](const TestDir& d) { put(d, "b.txt", std::string("R\n1\n1\nexport.txt\0junk\n", 22)); }, "b.txt", "", 0,
         "", {}, ""},
        {"CR CR LF line ends", [](const TestDir& d) { put(d, "b.txt", "R\r\r\n1\r\r\n1\r\r\nexport.txt\r\r\n"); },
         "b.txt", "", 0, "", {}, ""},
        {"wildcards in the batch path", [](const TestDir& d) { put(d, "b3-run.txt", "R\n1\n1\nexport.txt\n"); },
         "'b3*.txt'", "", 0, "", {}, ""},
        {"huge start option", nullptr, "-o 2147483647", "", 0, "Sorry: there is no such option in this program", {},
         ""},
        {"huge option number typed at the menu", nullptr, "", "2147483000\n", 0,
         "Sorry: there is no such option in this program", {}, ""},
        {"negative option number typed at the menu", nullptr, "", "-5\n", 0,
         "Sorry: there is no such option in this program", {}, ""},
        {"folder as QOR4DIRP.txt",
         [](const TestDir& d) { fs::remove(d.file("QOR4DIRP.txt")); fs::create_directory(d.file("QOR4DIRP.txt")); put(d, "b.txt", "R\n1\n1\n" + d.file("data/export.txt") + "\n"); },
         "b.txt", "", 0, "", {}, ""},
        {"endless device as QOR4DIRP.txt",
         [](const TestDir& d) { fs::remove(d.file("QOR4DIRP.txt")); link(d, "/dev/zero", "QOR4DIRP.txt"); put(d, "b.txt", "R\n1\n1\n" + d.file("data/export.txt") + "\n"); },
         "b.txt", "", 0, "", {}, ""},
        {"folder as QOR4PREF.txt",
         [](const TestDir& d) { fs::remove(d.file("prefs/QOR4PREF.txt")); fs::create_directory(d.file("prefs/QOR4PREF.txt")); put(d, "b.txt", "R\n1\n1\n" + d.file("data/export.txt") + "\n"); },
         "b.txt", "", 0, "", {}, ""},
        {"no HOME and no QOR4DIRP.txt", [](const TestDir& d) { fs::remove(d.file("QOR4DIRP.txt")); }, "", "", 0,
         "HOME is not set; QOR4PREF.txt is kept in the start folder", {}, "unset HOME; "},
        {"folder in the text report's place",
         [](const TestDir& d) { std::time_t now = std::time(nullptr); for (int s = 0; s < 4; ++s) { std::time_t t = now + s; char stamp[32]; std::strftime(stamp, sizeof stamp, "-%H-%M-%S", std::localtime(&t)); fs::create_directory(d.file(std::string("data/l-Peakgrid") + stamp + ".txt")); } },
         "", "1\nexport.txt\n", 0, "Sorry: can't write the text report file", {}, ""},
    };
    // clang-format on
    run_all(rows);
}

// A two-run batch file cut after each of its lines: what is complete runs,
// what is cut stops the file with a message, and nothing is lost.
TEST_F(BadInput, BatchFileCutAtEveryLine) {
    const std::string whole = "Cut\n" + read_run("export.txt") + kSeparator + table_run("Chan1");
    std::vector<Row> rows;
    std::vector<std::string> names;
    for (std::size_t at = 0; at <= whole.size(); at = whole.find('\n', at) + 1) {
        std::string part = whole.substr(0, at);
        int lines = static_cast<int>(std::count(part.begin(), part.end(), '\n'));
        int status = lines == 4 || lines == 14 ? 0 : 2;
        std::string message = lines == 0    ? "the batch file is empty"
                              : status == 0 ? ""
                                            : "stopped early at line " + std::to_string(lines + 1);
        rows.push_back(
            {"cut", [part](const TestDir& d) { put(d, "b.txt", part); }, "b.txt", "10\n", status, message, {}, ""});
        if (at == whole.size()) break;
    }
    EXPECT_EQ(rows.size(), 15u);
    run_all(rows);
}
