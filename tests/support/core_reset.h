// Resets the core (resetcore) and the module's own state, for tests.
#pragma once

void reset_core_state();
