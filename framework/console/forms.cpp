// The console forms of the parameter dialog and the value-entry question.
#include <cstdio>
#include <string>
#include <vector>

#include "frame/console/console.h"
#include "base/platform.h"
#include "frame/run.h"
#include "framework/dialog.h"

// One prompt per row: the short label, with the rest of the long label as
// a hint.  The end of input cancels the dialog: nothing runs.
void port_open_param_dialog(int) {
    std::fprintf(stderr, "%s\n", dialogtitle().c_str());
    std::vector<std::string> values;
    for (const DialogRow& row : dialogrows()) {
        std::string hint;
        std::size_t nl = row.longlabel.find('\n');
        while (nl != std::string::npos && nl + 1 < row.longlabel.size()) {
            std::size_t next = row.longlabel.find('\n', nl + 1);
            std::string line = row.longlabel.substr(nl + 1, next == std::string::npos
                                                                ? std::string::npos
                                                                : next - nl - 1);
            if (!line.empty()) hint += (hint.empty() ? "" : "; ") + line;
            nl = next;
        }
        std::fprintf(stderr, "  %s%s%s: ", row.shortlabel.c_str(), hint.empty() ? "" : " - ",
                     hint.c_str());
        std::string value;
        if (!readline(value)) {
            std::fprintf(stderr, "\n");
            return;
        }
        if (!interactive_input()) std::fprintf(stderr, "%s\n", value.c_str());
        values.push_back(value.substr(0, 255));
    }
    dialogok(values);
}

bool port_ask_value(const char* const* lines, int line_count, char* answer) {
    for (int i = 0; i < line_count; ++i) std::fprintf(stderr, "%s\n", lines[i]);
    std::fprintf(stderr, "> ");
    std::string value;
    if (!readline(value)) {
        std::fprintf(stderr, "\n");
        return false;
    }
    if (!interactive_input()) std::fprintf(stderr, "%s\n", value.c_str());  // keep logs readable
    std::size_t n = value.copy(answer, 255);
    answer[n] = '\0';
    return true;
}
