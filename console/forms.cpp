// The console forms of the parameter dialog and the value-entry question.
#include <cstdio>
#include <string>
#include <vector>

#include "console/console.h"
#include "base/platform.h"
#include "frame/run.h"
#include "framework/dialog.h"

// One prompt per row: the short label, with the rest of the long label as
// a hint.  The end of input cancels the dialog: nothing runs.
void port_open_param_dialog(int) {
    std::fprintf(stderr, "%s\n", dialogtitle().c_str());
    std::vector<std::string> values;
    for (const DialogRow& row : dialogrows()) {
        std::string hint;  // the label's further lines
        for (std::size_t i = 1; i < row.lines.size(); ++i)
            if (!row.lines[i].empty()) hint += (hint.empty() ? "" : "; ") + row.lines[i];
        std::fprintf(stderr, "  %s%s%s: ", row.shortlabel.c_str(), hint.empty() ? "" : " - ", hint.c_str());
        std::string value;
        if (!readline(value)) {
            std::fprintf(stderr, "\n");
            return;
        }
        if (!interactiveinput()) std::fprintf(stderr, "%s\n", value.c_str());
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
    if (!interactiveinput()) std::fprintf(stderr, "%s\n", value.c_str());  // keep logs readable
    std::size_t n = value.copy(answer, 255);
    answer[n] = '\0';
    return true;
}
