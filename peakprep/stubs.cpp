// Entries not built yet: each says so and writes nothing.
#include "datafile/messages.h"
#include "peakprep/options.h"

void importpeaktable(const std::string&, bool) { infobox("Sorry: not built yet"); }
void exporttable(const std::string&, ExportFormat, const std::string&) { infobox("Sorry: not built yet"); }
