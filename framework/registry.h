// The module's registry of options, the Options menu and the opening of an
// option's parameter dialog.
//
// The module fills the OptionTable once at start-up (initmodule, declared by
// the frame): its name, its option titles and per option a parameter count
// and a ParamSpec.  ParamValues holds the values of the option about to run.
#pragma once

#include <string>

const int kMaxOptions = 20;  // command ids 1301..1320
const int kMaxParams = 10;   // rows of the parameter dialog
const int kOptionCommandBase = 1300;

struct OptionTable {
    std::string module_name;  // at most 79 characters
    std::string menu_titles;  // one "\n"-ended line per option
    int option_count = 0;
    int param_count[kMaxOptions + 1] = {};
    std::string param_spec[kMaxOptions + 1];  // below 1024 characters each
};

// The registry and the framework's text tables; slot 0 is never read.
struct Registry {
    OptionTable table;
    char ParamValues[kMaxParams + 1][1024] = {};
    char labels[kMaxParams + 1][1024] = {};       // parameter labels
    char descriptors[kMaxParams + 1][1024] = {};  // parameter descriptors
    char valuebuffer[256] = {};                   // typed values pass through here
    int current_option = 0;                       // option of the dialog or run under way
};
extern Registry g_registry;

// One option of a module, as its registration lists it (menu order).
struct OptionEntry {
    const char* title;
    int param_count;
    const char* spec;
};
// Fills the OptionTable with the module's name and its options, in order
// (what a module's initmodule does).
void registeroptions(const char* module_name, const OptionEntry* options, int count);

void buildoptmenu(const char* titles, int count);
void openoptdialog(int command_id);
// The command id of option k (1300 + k); any k outside 0..20 gives the id
// of option 0, which names no option.
int optioncommand(int option);

// Decimal integer in the way of strtol with base 10, clamped to 32 bits;
// 0 when the text has no leading digits.
int decimalint(const char* text);
// Title of option k as the Options menu shows it; empty when none.
std::string optiontitle(int option);
