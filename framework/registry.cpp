// The registry, the Options menu and the opening of an option.
#include "framework/registry.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "datafile/messages.h"
#include "base/platform.h"

Registry g_registry;

int decimalint(const char* text) {
    long long v = std::strtoll(text, nullptr, 10);
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

void registeroptions(const char* module_name, const OptionEntry* options, int count) {
    OptionTable& t = g_registry.table;
    t.module_name = module_name;
    t.menu_titles.clear();
    t.option_count = 0;
    for (int k = 0; k < count && k < kMaxOptions; ++k) {
        ++t.option_count;
        t.menu_titles += std::string(options[k].title) + "\n";
        t.param_count[t.option_count] = options[k].param_count;
        t.param_spec[t.option_count] = options[k].spec;
    }
}

void buildoptmenu(const char* titles, int count) {
    if (count >= kMaxOptions) fatalerror("Error: Too many options in program");
    const char* p = titles;
    int id = kOptionCommandBase + 1;
    for (int k = 0; k < count; ++k) {
        p += std::strspn(p, "\n");
        if (!*p) break;
        std::size_t len = std::strcspn(p, "\n");
        std::string title(p, len);
        p += len;
        if (title == "-")
            port_menu_append_separator();
        else
            port_menu_append(id, title.c_str());
        ++id;
    }
}

int optioncommand(int option) { return kOptionCommandBase + (option >= 0 && option <= kMaxOptions ? option : 0); }

std::string optiontitle(int option) { return port_menu_item_text(option); }

void openoptdialog(int command_id) {
    int option = command_id - kOptionCommandBase;
    const OptionTable& t = g_registry.table;
    if (option < 1 || option > t.option_count || t.param_count[option] < 1 || optiontitle(option).empty()) {
        // The dialog needs a registered option with parameters; "-o" passes
        // its number unchecked.
        infobox("Sorry: there is no such option in this program");
        return;
    }
    g_registry.current_option = option;
    port_open_param_dialog(option);
}
