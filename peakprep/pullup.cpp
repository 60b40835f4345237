// "Flag pull-up": not built yet.
#include "datafile/messages.h"
#include "peakprep/options.h"

void flagpullup(const PullupSettings&) { infobox("Sorry: Flag pull-up is not available yet"); }
