#include "ui/win32_toolkit.h"

#include "monitors/failure.h"
#include "platform/late_binding.h"

namespace vantrel::ui {

namespace {

// Per-monitor DPI functions arrived with Windows 10; bound by name so the
// program still starts on systems without them.
struct DpiFunctions {
  platform::Library user32{"user32.dll"};
  platform::LateBound<UINT WINAPI(HWND)> GetDpiForWindow{user32, "GetDpiForWindow"};
  platform::LateBound<BOOL WINAPI(LPRECT, DWORD, BOOL, DWORD, UINT)> AdjustWindowRectExForDpi{
      user32, "AdjustWindowRectExForDpi"};
};

DpiFunctions& Dpi() {
  static DpiFunctions functions;
  return functions;
}

UINT SystemDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

}  // namespace

std::string Win32TextBox::Text() const {
  const int length = GetWindowTextLengthA(edit_);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(edit_, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

void Win32TextBox::Text(std::string_view value) {
  if (!SetWindowTextA(edit_, std::string(value).c_str())) Fail(kOutOfMemory);
}

void Win32Application::End() { ExitProcess(0); }

UINT WindowDpi(HWND hwnd) {
  UINT dpi = 0;
  Attempt([&] { dpi = Dpi().GetDpiForWindow.get()(hwnd); });
  return dpi ? dpi : SystemDpi();
}

SIZE OuterSize(int client_width, int client_height, DWORD style, DWORD ex_style, UINT dpi) {
  RECT rc{0, 0, client_width, client_height};
  if (!Attempt([&] { Dpi().AdjustWindowRectExForDpi.get()(&rc, style, FALSE, ex_style, dpi); })) {
    AdjustWindowRectEx(&rc, style, FALSE, ex_style);
  }
  return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

}  // namespace vantrel::ui
