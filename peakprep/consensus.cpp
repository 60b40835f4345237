// "Replicate consensus": not built yet.
#include "datafile/messages.h"
#include "peakprep/options.h"

void replicateconsensus(const ConsensusSettings&) { infobox("Sorry: Replicate consensus is not available yet"); }
