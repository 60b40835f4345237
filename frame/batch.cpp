#include "frame/batch.h"

#include <cstdio>
#include <system_error>

#include "frame/run.h"
#include "frame/frame.h"
#include "base/files.h"
#include "base/platform.h"
#include "frame/report.h"
#include "frame/textline.h"
#include "framework/module.h"
#include "framework/registry.h"

namespace {

const char kSeparator[] = "----------";

struct BatchFile {
    std::FILE* f = nullptr;
    int line = 0;
    ~BatchFile() {
        if (f) std::fclose(f);
    }
    bool next(std::string& text, bool* ended = nullptr) {
        if (!readtextline(f, text, ended)) return false;
        ++line;
        return true;
    }
    // A separator is ten '-' followed by a line end.
    bool separator(bool* at_end) {
        std::string text;
        bool ended = false;
        *at_end = !next(text, &ended);
        return !*at_end && ended && text == kSeparator;
    }
};

// A line of the file as a message quotes it: cut to 40 characters.
std::string in_quotes(const std::string& text) {
    return "\"" + (text.size() > 40 ? text.substr(0, 40) + "..." : text) + "\"";
}

BatchOutcome stopped(int line, const std::string& reason) {
    g_registry.current_option = 0;
    return {BatchEnd::StoppedEarly, line, reason};
}

// The folder that holds the batch file becomes the start folder.
std::string folder_of(const char* path) { return folderofpath(absolutepath(path)); }

}  // namespace

BatchOutcome runbatch(const char* path) {
    BatchFile in;
    // A folder, a pipe or a device is not a batch file: it cannot be read or
    // might never end.
    FileKind kind = filekind(path);
    if (kind == FileKind::folder) return {BatchEnd::CannotOpen, 0, "this is a folder, not a batch file"};
    if (kind == FileKind::device) return {BatchEnd::CannotOpen, 0, "this is a pipe or a device, not a batch file"};
    in.f = openfile(path, "rb");
    if (!in.f) return {BatchEnd::CannotOpen, 0, "cannot open the batch file"};
    std::string name;
    if (!in.next(name)) return {BatchEnd::Empty, 0, "the batch file is empty"};
    std::string folder = folder_of(path);
    if (!folder.empty()) g_report.start_folder = folder;
    g_frame.batch_mode = true;
    ReportSetUp(name.substr(0, 79).c_str());

    for (;;) {
        std::string text;
        if (!in.next(text)) return stopped(in.line + 1, "option number expected, end of file found");
        int option = decimalint(text.c_str());
        if (option < 1 || option > kMaxOptions)
            return stopped(in.line, "option number must be 1 to 20, not " + in_quotes(text));
        if (!in.next(text)) return stopped(in.line + 1, "parameter count expected, end of file found");
        int count = decimalint(text.c_str());
        if (count != g_registry.table.param_count[option])
            return stopped(in.line, "option " + std::to_string(option) + " takes " +
                                        std::to_string(g_registry.table.param_count[option]) + " parameters, not " +
                                        in_quotes(text));
        for (int i = 1; i <= count; ++i) {
            if (!in.next(text))
                return stopped(in.line + 1, "value " + std::to_string(i) + " of " + std::to_string(count) +
                                                " expected, end of file found");
            std::size_t n = text.copy(g_registry.ParamValues[i], 1023);
            g_registry.ParamValues[i][n] = '\0';
        }
        // Go on when a separator follows the values, directly or after one
        // further line; anything else ends the batch after this run.
        bool at_end = false;
        bool go_on = in.separator(&at_end);
        if (!go_on && !at_end) go_on = in.separator(&at_end);

        g_registry.current_option = option;
        // A refused value is told and the run is skipped, leaving no banner.
        if (checkoption(option)) {
            startrun();
            runandpublish(option);
        }
        if (g_frame.closing) return {BatchEnd::Closing, in.line, "a fatal error closed the program"};
        if (!go_on) break;
    }
    std::fclose(in.f);
    in.f = nullptr;
    ReopenReport();
    CloseReportAndDeleteTemp();
    return {};
}

BatchOutcome runbatchfile(const char* path) {
    BatchOutcome o = runbatch(path);
    if (o.end == BatchEnd::Completed) port_exit_process(0);
    return o;
}

BatchOutcome rundroppedfiles(const std::vector<std::string>& paths) {
    BatchOutcome o;
    for (const std::string& p : paths) {
        o = runbatchfile(p.c_str());
        if (g_frame.closing) break;
    }
    return o;
}
