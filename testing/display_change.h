// Changing one display's mode from inside Wine, as a program of the user's
// would, for the tests and benchmarks that watch displays change.
#pragma once

#include <windows.h>

namespace vantrel::probe {

// Gives the display `device` (as "\\.\DISPLAY3") that size at that position;
// 0 x 0 turns it off. Wine applies a position only with the size, stored
// first and then applied for all displays at once, and re-packs displays to
// close gaps. DISP_CHANGE_SUCCESSFUL when it was applied.
LONG ChangeDisplay(const char* device, int width, int height, POINT position);

}  // namespace vantrel::probe
