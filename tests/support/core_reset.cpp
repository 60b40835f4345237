#include "support/core_reset.h"

#include "frame/reset.h"
#include "peaks/labelledcsv.h"

void reset_core_state() {
    resetcore();
    g_labelled = LabelledState{};  // the module's own state
}
