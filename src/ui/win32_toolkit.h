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

// A top-level window of the process, geometry in twips at the screen's
// ratios. Its "hwnd" property (any letter case) is its handle.
class Win32Form final : public Form {
 public:
  Win32Form(HWND hwnd, const Screen& screen) : hwnd_(hwnd), screen_(screen) {}
  float Width() const override;
  float Height() const override;
  void Move(double Left, double Top) override;
  std::optional<Value> Property(std::string_view name) const override;

 private:
  RECT Bounds() const;
  HWND hwnd_;
  const Screen& screen_;
};

// The screen at the system's DPI: 1440 / DPI twips per pixel.
class Win32Screen final : public Screen {
 public:
  float TwipsPerPixelX() const override;
  float TwipsPerPixelY() const override;
};

// The process's screen.
const Screen& SystemScreen();

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
