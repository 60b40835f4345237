#include "support/core_reset.h"

#include "frame/reset.h"

void reset_core_state() { resetcore(); }
