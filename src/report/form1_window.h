// The report window on Win32: built from Form1's layout, scaled to the DPI it
// is shown at, with Form1's handlers wired to its messages. The object and its
// window end together: the window forgets the object when it is destroyed,
// and an object that goes first destroys its window.
#pragma once

#include <windows.h>

#include <string>

#include "Form1.h"
#include "vantrel/base/handle_owners.h"
#include "vantrel/platform/display_service.h"
#include "win32_report_toolkit.h"

namespace report {

// Why the program could not start: the step, and the platform's error code.
struct StartFailure {
  enum Step { kNone, kWindowClass, kWindow, kTextBox, kExitButton };
  Step step = kNone;
  DWORD error = 0;

  // The process's exit code for it: 2 the window class, 3 the window, 4 a
  // control; 0 when nothing failed.
  int ExitCode() const noexcept;
  // One line naming the step and the error code, for the debugger's output.
  std::wstring Describe() const;
};

class Form1Window {
 public:
  static constexpr int kTxtMonitorInfoId = 101;
  static constexpr int kCmdOKId = 102;

  Form1Window(HINSTANCE instance, vantrel::platform::DisplayService& service);
  Form1Window(const Form1Window&) = delete;
  Form1Window& operator=(const Form1Window&) = delete;
  ~Form1Window();

  // Creates the window, runs Form_Load, shows the window with the focus on
  // Exit and runs it until it is closed. Returns the process exit code: 0,
  // or the start failure's code.
  int Run(int show_command);

  // The first half of Run: the window loaded and shown. False when it could
  // not be created: failure() says at which step, and the same is written to
  // the debugger's output (OutputDebugStringW).
  bool Show(int show_command);

  // The window while it exists; null before Show and once it is destroyed.
  HWND hwnd() const noexcept { return hwnd_; }
  const StartFailure& failure() const noexcept { return failure_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  bool OnCreate();
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void SetFonts(UINT dpi);
  bool Create();
  bool Fails(StartFailure::Step step);
  bool HandleTabKey(const MSG& msg);

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  HWND txtMonitorInfo_ = nullptr;
  HWND cmdOK_ = nullptr;
  HWND focus_ = nullptr;
  StartFailure failure_;
  wchar_t guiFace_[LF_FACESIZE] = {};   // the toolkit's default GUI face
  wchar_t textFace_[LF_FACESIZE] = {};  // the text box's face, once settled
  vantrel::UniqueFont textFont_;
  vantrel::UniqueFont buttonFont_;
  Win32TextBox textBox_;
  Win32Application app_;
  Form1 form_;
};

}  // namespace report
