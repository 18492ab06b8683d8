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

// How often the desktop was reset: a hidden top-level window of the calling
// thread, which Windows tells of each reset with one WM_DISPLAYCHANGE.
class ResetCounter {
 public:
  ResetCounter();
  ~ResetCounter();
  ResetCounter(const ResetCounter&) = delete;
  ResetCounter& operator=(const ResetCounter&) = delete;
  bool ok() const { return window_ != nullptr; }
  // The resets told since the last call (or since it was made), once the
  // window's messages waiting have been handled.
  int Take();

 private:
  HWND window_ = nullptr;
  int count_ = 0;
};

}  // namespace vantrel::probe
