// The toolkit layer over Win32: text boxes, ending the program, and the DPI
// a window is shown at.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "ui/toolkit.h"

namespace vantrel::ui {

class Win32TextBox final : public TextBox {
 public:
  explicit Win32TextBox(HWND edit = nullptr) : edit_(edit) {}
  void Attach(HWND edit) { edit_ = edit; }
  std::string Text() const override;
  void Text(std::string_view value) override;

 private:
  HWND edit_;
};

class Win32Application final : public Application {
 public:
  [[noreturn]] void End() override;
};

// The DPI the window is shown at; the system's where the platform cannot say
// per window.
UINT WindowDpi(HWND hwnd);

// The outer size of a window with that client size, style and DPI.
SIZE OuterSize(int client_width, int client_height, DWORD style, DWORD ex_style, UINT dpi);

}  // namespace vantrel::ui
