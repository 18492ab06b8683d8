// The report window on Win32, in-process: built from its layout at the DPI in
// use, fed by a simulated display service, and rescaled when told the DPI
// changed.
#include <gtest/gtest.h>

#include <string>

#include "Form1_layout.h"
#include "form1_window.h"
#include "simulated_display_service.h"
#include "vantrel/base/failure.h"
#include "vantrel/win32/dpi.h"

namespace report {
namespace {

using vantrel::platform::SimulatedDisplayService;
using vantrel::platform::SimulatedLayout;
using vantrel::ui::OuterSize;
using vantrel::ui::WindowDpi;

struct Shown {
  SimulatedDisplayService svc{
      SimulatedLayout::ForMonitors({{0, 0, 1024, 768}, {-800, 100, 0, 700}})};
  Form1Window window{GetModuleHandleW(nullptr), svc};
  bool shown = window.Show(SW_SHOWNOACTIVATE);
  HWND hwnd = window.hwnd();
  HWND edit = FindWindowExW(hwnd, nullptr, L"Edit", nullptr);
  HWND exit = FindWindowExW(hwnd, nullptr, L"Button", L"Exit");
};

LOGFONTW FontOf(HWND control) {
  LOGFONTW lf{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof lf, &lf);
  return lf;
}

SIZE ClientOf(HWND hwnd) {
  RECT rc{};
  GetClientRect(hwnd, &rc);
  return {rc.right, rc.bottom};
}

TEST(Form1Window, ShowsTheReportInTahomaAtTheDpiInUse) {
  Shown w;
  ASSERT_NE(w.hwnd, nullptr);
  ASSERT_NE(w.edit, nullptr);
  ASSERT_NE(w.exit, nullptr);
  char text[512] = {};
  GetWindowTextA(w.edit, text, sizeof text);
  EXPECT_STREQ(text,
               "Generic Monitor 2: (-800,100) - (800,600)\r\n"
               "Generic Monitor 1 (Primary Monitor): (0,0) - (1024,768)\r\n");

  const UINT dpi = WindowDpi(w.hwnd);
  const LOGFONTW lf = FontOf(w.edit);
  EXPECT_STREQ(lf.lfFaceName, L"Tahoma");
  EXPECT_EQ(lf.lfHeight, -PointsToPixels(Form1Layout::kTextFontPoints, static_cast<int>(dpi)));
  EXPECT_EQ(lf.lfWeight, FW_NORMAL);
  EXPECT_EQ(lf.lfCharSet, ANSI_CHARSET);
  EXPECT_FALSE(lf.lfItalic || lf.lfUnderline || lf.lfStrikeOut);

  const SIZE client = ClientOf(w.hwnd);
  EXPECT_EQ(client.cx, TwipsToPixels(Form1Layout::kClient.width, static_cast<int>(dpi)));
  EXPECT_EQ(client.cy, TwipsToPixels(Form1Layout::kClient.height, static_cast<int>(dpi)));
  EXPECT_EQ(GetFocus(), w.exit);
}

TEST(Form1Window, FollowsADpiChange) {
  Shown w;
  ASSERT_NE(w.hwnd, nullptr);
  // As Windows does when the window moves to a monitor scaled to 150 %: the
  // new DPI and a suggested rectangle of the same physical size.
  RECT window{};
  GetWindowRect(w.hwnd, &window);
  const SIZE outer = OuterSize(TwipsToPixels(Form1Layout::kClient.width, 144),
                               TwipsToPixels(Form1Layout::kClient.height, 144),
                               static_cast<DWORD>(GetWindowLongW(w.hwnd, GWL_STYLE)), 0, 144);
  RECT suggested{window.left, window.top, window.left + outer.cx, window.top + outer.cy};
  SendMessageW(w.hwnd, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));

  RECT moved{};
  GetWindowRect(w.hwnd, &moved);
  EXPECT_EQ(moved.right - moved.left, outer.cx);
  EXPECT_EQ(moved.bottom - moved.top, outer.cy);
  EXPECT_EQ(FontOf(w.edit).lfHeight, -32);  // 15.75 points at 144 DPI
  RECT edit{};
  GetWindowRect(w.edit, &edit);
  EXPECT_EQ(edit.right - edit.left, TwipsToPixels(Form1Layout::txtMonitorInfo.width, 144));
  RECT exit{};
  GetWindowRect(w.exit, &exit);
  EXPECT_EQ(exit.bottom - exit.top, TwipsToPixels(Form1Layout::cmdOK.height, 144));
}

TEST(Form1Window, TheObjectAndItsWindowEndTogether) {
  HWND hwnd = nullptr;
  {
    Shown w;
    ASSERT_TRUE(w.shown);
    hwnd = w.hwnd;
    EXPECT_TRUE(IsWindow(hwnd));
  }
  EXPECT_FALSE(IsWindow(hwnd));  // the object went first and took its window

  Shown closed;
  ASSERT_TRUE(closed.shown);
  DestroyWindow(closed.hwnd);  // the window goes first: the object forgets it
  EXPECT_EQ(closed.window.hwnd(), nullptr);
  MSG msg;
  EXPECT_TRUE(
      PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // closing ends the program
}

// Refuses, on this thread while it lives, to create any window of one class.
class Refusal {
 public:
  explicit Refusal(const wchar_t* window_class) {
    refused_ = window_class;
    hook_ = SetWindowsHookExW(WH_CBT, Refuse, nullptr, GetCurrentThreadId());
  }
  Refusal(const Refusal&) = delete;
  Refusal& operator=(const Refusal&) = delete;
  ~Refusal() { UnhookWindowsHookEx(hook_); }
  bool ok() const { return hook_ != nullptr; }

 private:
  static LRESULT CALLBACK Refuse(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
      const auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
      if (!IS_INTRESOURCE(create->lpszClass) && lstrcmpiW(create->lpszClass, refused_) == 0) {
        return 1;
      }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline const wchar_t* refused_ = nullptr;
  HHOOK hook_ = nullptr;
};

struct StartCase {
  const wchar_t* refused;
  StartFailure::Step step;
  int exit_code;
  const wchar_t* named;
};

TEST(Form1Window, EachStepThatCannotStartHasItsExitCodeAndTrace) {
  const StartCase cases[] = {
      {L"Edit", StartFailure::kTextBox, 4, L"the text box could not be created"},
      {L"Button", StartFailure::kExitButton, 4, L"the Exit button could not be created"},
      {L"VantrelForm1", StartFailure::kWindow, 3, L"the window could not be created"},
  };
  for (const StartCase& c : cases) {
    SimulatedDisplayService svc{SimulatedLayout::ForMonitors({{0, 0, 1024, 768}})};
    Form1Window window{GetModuleHandleW(nullptr), svc};
    int code = 0;
    {
      Refusal refusal(c.refused);
      ASSERT_TRUE(refusal.ok());
      code = window.Run(SW_SHOWNOACTIVATE);
    }
    EXPECT_EQ(code, c.exit_code);
    EXPECT_EQ(window.failure().step, c.step);
    EXPECT_EQ(window.hwnd(), nullptr);
    const std::wstring trace = window.failure().Describe();
    EXPECT_NE(trace.find(c.named), std::wstring::npos);
    EXPECT_NE(trace.find(L"(error " + std::to_wstring(window.failure().error) + L")"),
              std::wstring::npos);
  }
  EXPECT_EQ(FindWindowW(L"VantrelForm1", nullptr), nullptr);
  EXPECT_EQ((StartFailure{StartFailure::kWindowClass, 0}.ExitCode()), 2);
}

TEST(Win32TextBox, AFailedStoreCarriesThePlatformsErrorCode) {
  Shown w;
  ASSERT_TRUE(w.shown);
  Win32TextBox box(w.edit);
  box.Text("one line");
  EXPECT_EQ(box.Text(), "one line");
  DestroyWindow(w.hwnd);  // the box goes with its window
  try {
    box.Text("lost");
    ADD_FAILURE() << "storing into a box that is gone succeeded";
  } catch (const vantrel::Failure& f) {
    EXPECT_EQ(f.number(), vantrel::kInvalidCall);
    EXPECT_EQ(f.system_error(), static_cast<std::uint32_t>(ERROR_INVALID_WINDOW_HANDLE));
  }
}

}  // namespace
}  // namespace report
