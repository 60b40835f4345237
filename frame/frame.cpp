#include "frame/frame.h"

FrameState g_frame;
