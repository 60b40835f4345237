// "Bin by clusters": not built yet.
#include "datafile/messages.h"
#include "peakprep/options.h"

void binbyclusters(const ClusterSettings&) { infobox("Sorry: Bin by clusters is not available yet"); }
