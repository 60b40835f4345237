// What the fuzz targets' runoption saw.
#pragma once

#include <string>
#include <vector>

struct RecordedRun {
    int option;
    std::vector<std::string> values;
};
struct RecordedRuns {
    std::vector<RecordedRun> runs;
};
extern RecordedRuns g_recorded;
