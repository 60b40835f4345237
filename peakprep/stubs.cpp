// Entries not built yet: each says so and writes nothing.
#include "datafile/messages.h"
#include "peakprep/options.h"

void filterpeaks(const FilterSettings&) { infobox("Sorry: not built yet"); }
void profilesummary(const std::string&, double) { infobox("Sorry: not built yet"); }
