// "Shifted frames": not built yet.
#include "datafile/messages.h"
#include "peakprep/options.h"

void shiftedframes(const FrameSettings&) { infobox("Sorry: Shifted frames is not available yet"); }
