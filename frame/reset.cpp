#include "frame/reset.h"

#include "base/reportstream.h"
#include "datafile/arrays.h"
#include "datafile/binfile.h"
#include "frame/frame.h"
#include "frame/report.h"
#include "framework/module.h"
#include "framework/registry.h"

void resetcore() {
    resetbinfiles();  // g_binfile, and g_staged through abandon_outputs
    closereport();
    unlockpath(g_reportstream.lock);
    g_reportstream = ReportStream{};
    g_report = ReportState{};
    g_arrays = ArrayState{};
    g_registry = Registry{};
    g_frame = FrameState{};
    resetmodule();
}
