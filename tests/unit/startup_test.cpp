#include <gtest/gtest.h>

#include <filesystem>

#include "frame/startup.h"
#include "support/fake_platform.h"
#include "support/test_dir.h"

// The program's own name is cut from the command line: it ends at a blank
// outside double quotes; the blanks and control characters after it go too.
TEST(Args, ArgumentStringOfACommandLine) {
    struct Case {
        const char* line;
        const char* args;
    } cases[] = {
        {"Peakgrid.exe", ""},
        {"Peakgrid.exe -o 2", "-o 2"},
        {"Peakgrid.exe\t \x01-f a b ", "-f a b "},
        {"\"C:\\Program Files\\Peakgrid.exe\" -o 1", "-o 1"},
        {"\"C:\\Program Files\\Peakgrid.exe\"", ""},
        {"a\"b c\"d e", "e"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(argumentstring(c.line), c.args) << c.line;
}

TEST(Args, Grammar) {
    struct Case {
        const char* args;
        int option;
        const char* batch;
        const char* folder;
    } cases[] = {
        {"", 0, "", ""},
        {"-o 2", 2, "", ""},
        {"-o 0", 0, "", ""},
        {"-o x", 0, "", ""},
        {"-o", 0, "", ""},
        {"-o -3", -3, "", ""},
        {"-o 2 -f C:\\runs\\r.txt", 2, "C:\\runs\\r.txt", ""},
        {"-d C:\\data", 0, "", "C:\\data"},
        {"C:\\runs\\peak run.txt", 0, "C:\\runs\\peak run.txt", ""},
        {"C:\\runs\\r.txt -d C:\\data", 0, "C:\\runs\\r.txt -d C:\\data", "C:\\data"},
        {"-m", 0, "", ""},
        {"-M", 0, "-M", ""},
        {"-m -o 1 -m", 1, "", ""},
        {"-f -d X", 0, "-f -d X", ""},
        {"  -o   1  ", 1, "", ""},
        {"-o\t1", 0, "-o\t1", ""},
        {"-f \"a b\"", 0, "-f \"a b\"", ""},
        {"-f \"ab\"", 0, "\"ab\"", ""},
        {"-o 1 -o 2", 2, "", ""},
    };
    for (const auto& c : cases) {
        StartupSettings s = parseargs(c.args);
        EXPECT_EQ(s.option, c.option) << c.args;
        EXPECT_EQ(s.batch_path, c.batch) << c.args;
        EXPECT_EQ(s.start_folder, c.folder) << c.args;
    }
}

TEST(Args, BatchPathResolution) {
    reset_fake();
    TestDir dir;
    write_bytes("run one.txt", "x");
    std::filesystem::create_directory("sub");
    write_bytes("sub/r.txt", "x");
    EXPECT_EQ(resolvebatchpath("run one.txt"), "run one.txt");
    EXPECT_EQ(resolvebatchpath("\"run one.txt\""), "run one.txt");
    EXPECT_EQ(resolvebatchpath("sub/r.txt"), "sub/r.txt");
    EXPECT_EQ(resolvebatchpath(dir.file("sub/r.txt")), dir.file("sub/r.txt"));
    EXPECT_EQ(resolvebatchpath("missing.txt"), "missing.txt");
}
