// The console program on a terminal (a pseudo-terminal), where it asks its
// yes/no questions.
#include <pty.h>
#include <unistd.h>

#include "e2e/console_fixture.h"

namespace {

// Runs the program in the test folder on a new terminal, types the input
// (a 0x04 byte is the terminal's end of input) and returns all it showed.
std::string on_terminal(const std::string& folder, const std::string& typed) {
    const std::string command = wrapper() + "'" PEAKGRID_EXE "'";
    int master = -1;
    pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
    if (child == 0) {
        if (chdir(folder.c_str()) != 0) _exit(127);
        setenv("HOME", folder.c_str(), 1);
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (child < 0) return "forkpty failed";
    if (write(master, typed.data(), typed.size()) != static_cast<ssize_t>(typed.size())) return "write failed";
    std::string shown;
    char buf[4096];
    ssize_t got;
    while ((got = read(master, buf, sizeof buf)) > 0) shown.append(buf, static_cast<std::size_t>(got));
    int status = 0;
    waitpid(child, &status, 0);
    close(master);
    return shown;
}

}  // namespace

// After a run the exit question is asked only while an answer can come:
// once the terminal's input has ended it is not printed at all.
TEST_F(Console, ExitQuestionOnlyWhileInputGoesOn) {
    write_bytes(dir.file("data/export.txt"), "Header\nB,1 f S1 1 1 0 100.5 500 2000\n");
    std::string shown = on_terminal(dir.path, "1\nexport.txt\n\x04");
    EXPECT_NE(shown.find("Peakread: Reading input file"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("Delete the text report file"), std::string::npos) << shown;
}
