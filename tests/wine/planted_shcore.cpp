// A shcore.dll of ours, planted beside a program: its GetDpiForMonitor gives
// 4242 dots per inch, which no real display has.
#include <windows.h>

extern "C" __declspec(dllexport) HRESULT WINAPI GetDpiForMonitor(HMONITOR, int, UINT* x, UINT* y) {
  *x = *y = 4242;
  return S_OK;
}
