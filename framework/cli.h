// The command line of the suite's console programs (the modules' console
// programs and the companions): their exit statuses and their one argument
// loop.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Exit statuses: 0 done; 1 the work failed (a fatal error, an output that
// could not be written, memory ran out); 2 refused before any work (bad
// usage, an input that cannot be opened or read, a batch file that could not
// be opened or stopped early).
enum class ExitStatus : int { Done = 0, Failed = 1, Refused = 2 };
inline int exitcode(ExitStatus s) { return static_cast<int>(s); }

struct CliProgram {
    const char* name;   // in messages and the --version line
    const char* usage;  // the --help text
    // The program's own options that take the next word as their value.
    std::vector<std::string> valued;
    bool output = true;       // "-o OUT" names the output file
    bool info_alone = false;  // --help and --version only as the one word
};

// "NAME: why" and the usage on standard error; Refused.
ExitStatus refuseusage(const CliProgram& program, const std::string& why);

// Takes one word of the command line that the loop leaves to the program:
// an operand or an option, with its value when the option is valued (else
// null).  Returns why the word is refused, or "" to go on.
using CliWord = std::function<std::string(const std::string& word, const char* value)>;

// Reads argv[first] .. argv[argc - 1] in order: "--help" puts the usage on
// standard output and "--version" the line "NAME VERSION", and the program
// ends Done; "-o" (when program.output) and the valued options take the
// next word (a missing value is refused); every other word goes to take.
// Returns the status to end with at once (answered or refused), or nothing
// to go on.  The last "-o" wins.
std::optional<ExitStatus> readcommandline(int argc, char** argv, int first, const CliProgram& program,
                                          std::string& output, const CliWord& take);
