// Resets every piece of process-wide state the core keeps (the state list of
// docs/ARCHITECTURE.md), as at the start of the process: outputs of a run
// still pending are removed, open tables and the report stream are closed,
// and the report's lock is given back; the module resets its own state
// (resetmodule).  The tests call it between cases; a front's own state
// (g_console, g_win) is the front's to reset.
#pragma once

void resetcore();
