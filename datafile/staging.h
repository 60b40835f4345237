// The outputs of a run are written under temporary names beside their final
// names and put in place together once the whole run has succeeded, so a run
// that fails leaves the outputs of an earlier run exactly as they were.
#pragma once

#include <string>

// Registers name as an output of the current run and returns the temporary
// name to write instead ("name.PID.part~", PID the process number).  A name that exists but is not a
// regular file (a folder, a device, a link to one), or is read-only, is
// refused with fatalerror(failtext) before anything is written.
std::string stageoutput(const std::string& name, const char* failtext);
// Renames every staged output over its final name.  A rename that fails
// removes the temporary files left and ends in fatalerror.
void commitoutputs();
// Removes the temporary file of every staged output (a failed run).
void discardoutputs();
