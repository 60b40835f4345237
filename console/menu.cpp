// The console's numbered Options menu.
#include <cstdio>
#include <string>

#include "console/console.h"
#include "frame/frame.h"
#include "framework/registry.h"

void menuloop() {
    while (!g_frame.closing) {
        std::fprintf(stderr, "Options:\n");
        for (std::size_t k = 0; k < g_console.menu.size(); ++k)
            if (g_console.menu[k] != "-") std::fprintf(stderr, "  %zu. %s\n", k + 1, g_console.menu[k].c_str());
        std::fprintf(stderr, "Option number (end of input quits): ");
        std::string line;
        if (!readline(line)) {
            std::fprintf(stderr, "\n");
            return;
        }
        if (!interactiveinput()) std::fprintf(stderr, "%s\n", line.c_str());
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        openoptdialog(optioncommand(decimalint(line.c_str())));
    }
}
