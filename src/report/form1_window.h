// The report window on Win32: built from Form1's layout, scaled to the DPI it
// is shown at, with Form1's handlers wired to its messages.
#pragma once

#include <windows.h>

#include "report/Form1.h"
#include "report/win32_report_toolkit.h"
#include "vantrel/platform/display_service.h"
#include "vantrel/win32/win32_handles.h"
#include "vantrel/win32/win32_toolkit.h"

namespace vantrel::ui {

class Form1Window {
 public:
  static constexpr int kTxtMonitorInfoId = 101;
  static constexpr int kCmdOKId = 102;

  Form1Window(HINSTANCE instance, platform::DisplayService& service);
  Form1Window(const Form1Window&) = delete;
  Form1Window& operator=(const Form1Window&) = delete;

  // Creates the window, runs Form_Load, shows the window with the focus on
  // Exit and runs it until it is closed. Returns the process exit code: 0,
  // or 1 when the window or one of its controls could not be created.
  int Run(int show_command);

  // The first half of Run: the window loaded and shown, or null when it
  // could not be created.
  HWND Show(int show_command);

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  bool OnCreate();
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void SetFonts(UINT dpi);
  bool Create();
  bool HandleTabKey(const MSG& msg);

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  HWND txtMonitorInfo_ = nullptr;
  HWND cmdOK_ = nullptr;
  HWND focus_ = nullptr;
  wchar_t guiFace_[LF_FACESIZE] = {};   // the toolkit's default GUI face
  wchar_t textFace_[LF_FACESIZE] = {};  // the text box's face, once settled
  UniqueFont textFont_;
  UniqueFont buttonFont_;
  Win32TextBox textBox_;
  Win32Application app_;
  Form1 form_;
};

}  // namespace vantrel::ui
