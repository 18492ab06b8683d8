#include "display_change.h"

#include <utility>

namespace vantrel::probe {

LONG ChangeDisplay(const char* device, int width, int height, POINT position) {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_POSITION;
  mode.dmPelsWidth = static_cast<DWORD>(width);
  mode.dmPelsHeight = static_cast<DWORD>(height);
  mode.dmPosition = {position.x, position.y};
  const LONG stored =
      ChangeDisplaySettingsExA(device, &mode, nullptr, CDS_UPDATEREGISTRY | CDS_NORESET, nullptr);
  if (stored != DISP_CHANGE_SUCCESSFUL) return stored;
  return ChangeDisplaySettingsExA(nullptr, nullptr, nullptr, 0, nullptr);
}

namespace {

// The count is the window's from its first message on.
LRESULT CALLBACK Counting(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(l);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  } else if (message == WM_DISPLAYCHANGE) {
    if (auto* count = reinterpret_cast<int*>(GetWindowLongPtrW(window, GWLP_USERDATA))) ++*count;
  }
  return DefWindowProcW(window, message, w, l);
}

}  // namespace

ResetCounter::ResetCounter() {
  WNDCLASSW type{};
  type.lpfnWndProc = Counting;
  type.lpszClassName = L"VantrelResetCounter";
  RegisterClassW(&type);  // fails harmlessly once registered
  window_ = CreateWindowExW(0, type.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                            nullptr, nullptr, nullptr, &count_);
}

ResetCounter::~ResetCounter() {
  if (window_) DestroyWindow(window_);
}

int ResetCounter::Take() {
  for (MSG m; PeekMessageW(&m, window_, 0, 0, PM_REMOVE);) DispatchMessageW(&m);
  return std::exchange(count_, 0);
}

}  // namespace vantrel::probe
