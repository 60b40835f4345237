// The bad-input catalogue of peakgrid-export: one row per kind of bad input
// or output, run in a folder holding a class table, its names file and an
// earlier output.  Every row checks the exit status and the message, that
// the inputs and (unless the row replaces it) the earlier output are
// intact, and that no temporary file is left.
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "e2e/console_fixture.h"

namespace {

const std::string kNames = "Echantillon 1 = Meadow\nEchantillon 2 = Forest\n";

struct Row {
    const char* kind;
    std::function<void(const TestDir&)> prepare;
    std::string args;
    int status;
    std::string message;   // found in standard error
    std::string replaced;  // empty: "out" stays the earlier output; else found in the new one
    std::string shell;     // run first (limits)
};

void put(const TestDir& d, const std::string& name, const std::string& bytes) { write_bytes(d.file(name), bytes); }

std::vector<float> wide(int rows, int cols) { return std::vector<float>(static_cast<std::size_t>(rows) * cols, 1.5f); }

class ExportSafety : public ::testing::Test {
  protected:
    void run_all(const std::vector<Row>& rows) {
        const std::string tab = table({1, 0, 2.5f, 700, 0, 3}, 2, 3);
        for (const Row& row : rows) {
            SCOPED_TRACE(row.kind);
            for (const auto& e : fs::directory_iterator(dir.path)) fs::remove_all(e.path());
            put(dir, "Chan1_tabSH", tab);
            put(dir, "SampleNamesCh1", kNames);
            put(dir, "out", "earlier output\n");
            if (row.prepare) row.prepare(dir);
            auto bytes = [&](const char* name) {
                return fs::is_regular_file(dir.file(name)) ? read_bytes(dir.file(name)) : "(not a file)";
            };
            const std::string before[] = {bytes("Chan1_tabSH"), bytes("SampleNamesCh1"), bytes("out")};
            // A run that hangs is ended, and fails its row.
            std::string cmd = "cd '" + dir.path + "' && { " + row.shell + "timeout 60 " + wrapper() +
                              PEAKGRID_EXPORT_EXE " " + row.args + " >stdout.txt 2>stderr.txt; }";
            int raw = std::system(cmd.c_str());
            const std::string err = read_bytes(dir.file("stderr.txt"));
            EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, row.status) << err;
            EXPECT_NE(err.find(row.message), std::string::npos) << err;
            EXPECT_EQ(bytes("Chan1_tabSH"), before[0]) << "table changed";
            EXPECT_EQ(bytes("SampleNamesCh1"), before[1]) << "names changed";
            if (row.replaced.empty())
                EXPECT_EQ(bytes("out"), before[2]) << "earlier output changed";
            else
                EXPECT_NE(bytes("out").find(row.replaced), std::string::npos) << bytes("out");
            for (const auto& e : fs::directory_iterator(dir.path))
                EXPECT_EQ(e.path().filename().string().find(".part~"), std::string::npos) << "temporary left";
        }
    }
    TestDir dir;
};

}  // namespace

TEST_F(ExportSafety, BadInputsAndOutputs) {
    auto fifo = [](const char* name) {
        return [name](const TestDir& d) {
            fs::remove(d.file(name));
            mkfifo(d.file(name).c_str(), 0600);
        };
    };
    const std::vector<Row> rows = {
        {"good run replaces the earlier output", nullptr, "-o out Chan1_tabSH", 0, "", "Forest,700,0,3\r\n", ""},
        {"output is the table", nullptr, "-o Chan1_tabSH Chan1_tabSH", 2, "is the table being exported", "", ""},
        {"heat map over its own table", nullptr, "--svg -o Chan1_tabSH Chan1_tabSH", 2, "is the table being exported",
         "", ""},
        {"output linked to the table",
         [](const TestDir& d) {
             fs::remove(d.file("out"));
             fs::create_symlink("Chan1_tabSH", d.file("out"));
         },
         "--tsv -o out Chan1_tabSH", 2, "is the table being exported", "", ""},
        {"output is the names file", nullptr, "-o SampleNamesCh1 Chan1_tabSH", 2, "is the names file being read", "",
         ""},
        {"output is the --names file", [](const TestDir& d) { put(d, "n.txt", kNames); },
         "--names n.txt -o n.txt Chan1_tabSH", 2, "is the names file being read", "", ""},
        {"full disk while writing", [](const TestDir& d) { put(d, "Chan1_tabSH", table(wide(100, 200), 100, 200)); },
         "-o out Chan1_tabSH", 1, "out: cannot write; nothing written", "", "ulimit -f 64; trap '' XFSZ; "},
        {"full disk while writing the heat map",
         [](const TestDir& d) { put(d, "Chan1_tabSH", table(wide(300, 300), 300, 300)); }, "--svg -o out Chan1_tabSH",
         1, "out: cannot write; nothing written", "", "ulimit -f 64; trap '' XFSZ; "},
        {"read-only output", [](const TestDir& d) { fs::permissions(d.file("out"), fs::perms::owner_read); },
         "-o out Chan1_tabSH", 1, "out: read-only; nothing written", "", ""},
        {"folder as output", nullptr, "-o . Chan1_tabSH", 1, ".: is a folder; nothing written", "", ""},
        {"full device as output", nullptr, "-o /dev/full Chan1_tabSH", 1, "/dev/full: cannot write", "", ""},
        {"pipe as table (would block)", fifo("Chan1_tabSH"), "Chan1_tabSH", 2, "Chan1_tabSH: not a regular file", "",
         ""},
        {"pipe as --names file", fifo("n"), "--names n -o out Chan1_tabSH", 2, "n: not a regular file", "", ""},
        {"pipe as the names file beside the table", fifo("SampleNamesCh1"), "-o out Chan1_tabSH", 0,
         "note: SampleNamesCh1: not a regular file", "\r\n2,700,0,3\r\n", ""},
        {"pipe as the labelled copy beside the table", fifo("Chan1_tabSH.csv"), "--svg -o out Chan1_tabSH", 0,
         "note: Chan1_tabSH.csv: not a regular file", "</svg>", ""},
        {"CR-only names file", [](const TestDir& d) { put(d, "n", "Echantillon 1 = A\rEchantillon 2 = B\r"); },
         "--names n -o out Chan1_tabSH", 0, "", "\r\nA,1,0,2.5\r\nB,700,0,3\r\n", ""},
        {"CR CR LF names file and a name line of 1 MB",
         [](const TestDir& d) {
             put(d, "n", "Echantillon 1 = " + std::string(1 << 20, 'x') + "\r\r\nEchantillon 2 = B\r\r\n");
         },
         "--names n -o out Chan1_tabSH", 0, "", "\r\nB,700,0,3\r\n", ""},
        {"table shorter than its trailer says",
         [](const TestDir& d) {
             put(d, "Chan1_tabSH", table({1, 2, 3}, 2, 3).substr(4));
         },
         "-o out Chan1_tabSH", 2, "shorter than its 2 x 3 table", "", ""},
    };
    run_all(rows);
}

// AddressSanitizer and valgrind report an allocation they cannot make
// instead of failing it, so this row runs in the plain builds only.
TEST_F(ExportSafety, HeatMapOfATableTooBigForMemory) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer ends the program on a failed allocation";
#endif
    if (!wrapper().empty()) GTEST_SKIP() << "the program runs under " << wrapper();
    run_all({{"heat map of a table too big for memory",
              [](const TestDir& d) {
                  // A sparse file: 4 TB of zeros that take no room on disk.
                  put(d, "big", "");
                  fs::resize_file(d.file("big"), 4ull * 999999 * 999999);
                  std::FILE* f = std::fopen(d.file("big").c_str(), "ab");
                  std::fputs("\r\n999999\r\n999999\r\n", f);
                  std::fclose(f);
              },
              "--svg -o out big", 1, "big: not enough memory for its 999999 x 999999 table; nothing written", "", ""}});
}
