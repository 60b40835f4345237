// Resets every piece of process-wide state the core keeps, for tests.
#pragma once

void reset_core_state();
