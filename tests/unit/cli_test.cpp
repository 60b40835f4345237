// The argument loop of the console programs: what it answers, what it
// refuses, and the words it leaves to the program, in order.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "framework/cli.h"

namespace {

TEST(Cli, ArgumentLoop) {
    const CliProgram companion{"prog", "usage\n", {"--format"}};
    const CliProgram console{"prog", "usage\n", {}, false, true};
    const struct Case {
        const CliProgram* program;
        std::vector<const char*> args;
        std::optional<ExitStatus> end;
        std::string output, taken;  // taken: words left to the program, "word=value" for valued ones
    } cases[] = {
        {&companion, {"a", "-o", "x", "b"}, std::nullopt, "x", "a b"},
        {&companion, {"-o", "x", "-o", "y"}, std::nullopt, "y", ""},
        {&companion, {"--help"}, ExitStatus::Done, "", ""},
        {&companion, {"a", "--version"}, ExitStatus::Done, "", "a"},
        {&companion, {"-o", "--help"}, std::nullopt, "--help", ""},  // a value, not a question
        {&companion, {"--format", "--version", "c"}, std::nullopt, "", "--format=--version c"},
        {&companion, {"a", "-o"}, ExitStatus::Refused, "", "a"},
        {&companion, {"--format"}, ExitStatus::Refused, "", ""},
        {&companion, {"--bad", "-o"}, ExitStatus::Refused, "", "--bad"},  // the first fault is the one told
        {&console, {"--version"}, ExitStatus::Done, "", ""},
        {&console, {"-f", "--help"}, std::nullopt, "", "-f --help"},
        {&console, {"-o", "2"}, std::nullopt, "", "-o 2"},
    };
    for (const Case& c : cases) {
        std::vector<char*> argv{const_cast<char*>("prog")};
        std::string trace;
        for (const char* a : c.args) {
            argv.push_back(const_cast<char*>(a));
            trace += std::string(" ") + a;
        }
        SCOPED_TRACE(trace);
        std::string output, taken;
        std::optional<ExitStatus> end =
            readcommandline(static_cast<int>(argv.size()), argv.data(), 1, *c.program, output,
                            [&](const std::string& w, const char* value) -> std::string {
                                taken += (taken.empty() ? "" : " ") + w + (value ? std::string("=") + value : "");
                                return w == "--bad" ? "unknown option --bad" : "";
                            });
        EXPECT_EQ(end, c.end);
        EXPECT_EQ(output, c.output);
        EXPECT_EQ(taken, c.taken);
    }
}

}  // namespace
