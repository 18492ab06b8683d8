// Centres a window on the monitor under the mouse cursor (or the one holding
// the pixel given as X Y) and prints what it did:
//   centre_window [X Y]
#include <vantrel/vantrel.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

int main(int argc, char** argv) {
  POINT at{};
  if (argc == 3) {
    at = {std::atoi(argv[1]), std::atoi(argv[2])};
  } else if (!GetCursorPos(&at)) {
    std::fprintf(stderr, "centre_window: no mouse cursor to go by\n");
    return 1;
  }

  const vantrel::ui::Screen& screen = vantrel::ui::SystemScreen();
  vantrel::clsMonitors monitors(vantrel::platform::User32DisplayService(), &screen);

  // The record of the monitor holding the point, from the list.
  const int handle = monitors.GetMonitorFromXYPoint(at.x, at.y, vantrel::kMonitorDefaultToNearest);
  std::shared_ptr<vantrel::clsMonitor> monitor;
  for (const auto& m : *monitors.Monitors()) {
    if (m->Handle() == handle) monitor = m;
  }
  if (!monitor) {
    std::fprintf(stderr, "centre_window: no monitor holds (%ld,%ld)\n", at.x, at.y);
    return 1;
  }

  // A 400 x 300 window around the point, so that it lies on that monitor,
  // then centred on the monitor it lies on: itself as the reference.
  const HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"centre_window",
                                    WS_POPUP | WS_BORDER, at.x - 200, at.y - 150, 400, 300, nullptr,
                                    nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) {
    std::fprintf(stderr, "centre_window: cannot create a window\n");
    return 1;
  }
  vantrel::ui::Win32Form form(hwnd, screen);
  try {
    monitors.CenterFormOnMonitor(form, vantrel::ui::Value{&form});
  } catch (const vantrel::Failure& failure) {
    std::fprintf(stderr, "centre_window: centring failed (%d)\n", failure.number());
    DestroyWindow(hwnd);
    return 1;
  }
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);

  RECT rc{};
  GetWindowRect(hwnd, &rc);
  std::printf("point: (%ld,%ld)\n", at.x, at.y);
  std::printf("monitor: %s %s\n", monitor->Device().c_str(), monitor->Monitor().c_str());
  std::printf("work area: (%d,%d)-(%d,%d)\n", monitor->WorkLeft(), monitor->WorkTop(),
              monitor->WorkRight(), monitor->WorkBottom());
  std::printf("window: (%ld,%ld)-(%ld,%ld)\n", rc.left, rc.top, rc.right, rc.bottom);
  DestroyWindow(hwnd);
  return 0;
}
