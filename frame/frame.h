// The application frame's process-wide state (one instance, g_frame).
#pragma once

#include <string>

struct FrameState {
    // Main window class name; printed in the banner and compared to choose it.
    std::string module_word = "Orvendale";
    // On from the start of a batch parameter file to the end of the process;
    // while on, published reports are not loaded into the pane.
    bool batch_mode = false;
    // Set by the front when a close request went ahead: the program is
    // ending and no further run may start (a batch file is not read further).
    bool closing = false;
};
extern FrameState g_frame;
