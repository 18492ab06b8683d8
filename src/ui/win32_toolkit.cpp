#include "ui/win32_toolkit.h"

#include <algorithm>
#include <cctype>

#include "monitors/checked_math.h"
#include "monitors/failure.h"
#include "platform/late_binding.h"
#include "ui/Form1_layout.h"

namespace vantrel::ui {

namespace {

// Per-monitor DPI functions arrived with Windows 10; bound by name so the
// program still starts on systems without them.
struct DpiFunctions {
  platform::Library user32{"user32.dll"};
  platform::LateBound<UINT WINAPI(HWND)> GetDpiForWindow{user32, "GetDpiForWindow"};
  platform::LateBound<UINT WINAPI()> GetDpiForSystem{user32, "GetDpiForSystem"};
  platform::LateBound<BOOL WINAPI(LPRECT, DWORD, BOOL, DWORD, UINT)> AdjustWindowRectExForDpi{
      user32, "AdjustWindowRectExForDpi"};
};

DpiFunctions& Dpi() {
  static DpiFunctions functions;
  return functions;
}

UINT DeviceDpi(int axis) {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, axis);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

UINT SystemDpi(int axis = LOGPIXELSX) {
  UINT dpi = 0;
  Attempt([&] { dpi = Dpi().GetDpiForSystem.get()(); });
  return dpi ? dpi : DeviceDpi(axis);
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

RECT Win32Form::Bounds() const {
  RECT rc{};
  if (!GetWindowRect(hwnd_, &rc)) Fail(kInvalidCall);
  return rc;
}

float Win32Form::Width() const {
  const RECT rc = Bounds();
  return CheckedSingle((static_cast<double>(rc.right) - rc.left) * screen_.TwipsPerPixelX());
}

float Win32Form::Height() const {
  const RECT rc = Bounds();
  return CheckedSingle((static_cast<double>(rc.bottom) - rc.top) * screen_.TwipsPerPixelY());
}

void Win32Form::Move(double Left, double Top) {
  const int x = Nearest(CheckedFinite(Left / screen_.TwipsPerPixelX()));
  const int y = Nearest(CheckedFinite(Top / screen_.TwipsPerPixelY()));
  if (!SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)) {
    Fail(kInvalidCall);
  }
}

std::optional<Value> Win32Form::Property(std::string_view name) const {
  constexpr std::string_view kHwnd = "hwnd";
  const bool is_hwnd =
      std::equal(name.begin(), name.end(), kHwnd.begin(), kHwnd.end(),
                 [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
  if (!is_hwnd) return std::nullopt;
  return Value{static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(hwnd_))};
}

float Win32Screen::TwipsPerPixelX() const {
  return static_cast<float>(TwipsPerPixel(static_cast<int>(SystemDpi(LOGPIXELSX))));
}

float Win32Screen::TwipsPerPixelY() const {
  // GetDpiForSystem is one figure for both axes; without it, each its own.
  return static_cast<float>(TwipsPerPixel(static_cast<int>(SystemDpi(LOGPIXELSY))));
}

const Screen& SystemScreen() {
  static const Win32Screen screen;
  return screen;
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
