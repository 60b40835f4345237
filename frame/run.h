// The run starters: how the frame registers its module and starts an option
// run, from the parameter dialog's OK or from a batch file.
#pragma once

#include <string>
#include <vector>

// Registers the module at start-up: its OptionTable (initmodule), the
// report files named after it (ReportSetUp), then the Options menu.
void registermodule();
// Before a run: opens the report stream if needed and writes the banner the
// module word calls for, titled with the current option's menu item.
void startrun();
// Runs an option and publishes its report.  A run abandoned after a fatal
// error publishes nothing, and its unfinished tables are removed.
void runandpublish(int option);
// The parameter dialog's OK: values of rows 1..n into ParamValues (slots
// above n keep theirs), then the banner and the run.
void dialogok(const std::vector<std::string>& values);
// Places the dialog's values in ParamValues and has the module check them;
// false (the user told why) when one is refused.
bool acceptvalues(const std::vector<std::string>& values);
