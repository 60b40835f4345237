// What the frame needs from the module it hosts.
//
// The frame is the suite's generic application frame; each module of the
// suite defines these two functions (in its registration file) and the frame
// calls them, the way a front end defines the platform port.  The frame
// never includes a module header.
#pragma once

// Fills the OptionTable of g_registry: the module's name (which names the
// report files), its option titles (the Options menu), and per option a
// parameter count and a ParamSpec.
void initmodule();

// Converts the values in ParamValues and calls option k's entry.  Returns
// true when the option ran (its report is then published), false when it did
// not start: a required value is empty, or there is no such option.  A fatal
// error inside the run throws RunAbandoned out of it.
bool runoption(int option);

// Checks the values in ParamValues of option k before its run starts, so a
// refused value leaves no trace of a run (no banner, no report): false when
// one is refused, and the module has then told the user which ("Sorry: ...").
bool checkoption(int option);

// Resets the module's own process-wide state, as at the start of the
// process (resetcore calls it).
void resetmodule();

// The module's own texts that the generic frame and fronts show.
struct ModuleTexts {
    const char* program;     // the console program's name (messages, --version)
    const char* usage;       // the console program's --help text
    const char* credit;      // the banners' credit lines, "|  ...  |", each
    const char* widecredit;  // as wide as banner 1's and banner 2's borders
};
ModuleTexts moduletexts();
// Takes a leading word of the console command line that is the module's
// own (such as "--csv"); false when word is not one, and nothing changes.
bool moduleword(const char* word);
