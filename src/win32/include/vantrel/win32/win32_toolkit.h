// The model's toolkit over Win32: a top-level window as a Form, and the
// system's screen.
#pragma once

#include "vantrel/monitors/toolkit.h"
#include "vantrel/platform/handles.h"

namespace vantrel::ui {

// A top-level window of the process, geometry in twips at the screen's
// ratios. Its "hwnd" property (any letter case) is its handle.
// Width and Height fail with kInvalidCall (5) when the window is gone. Move
// fails with kOverflow (6) when the position is no 32-bit pixel and with
// kInvalidCall when the window cannot be moved; it never resizes it.
class Win32Form final : public Form {
 public:
  // hwnd: an HWND.
  Win32Form(HWND__* hwnd, const Screen& screen) : hwnd_(hwnd), screen_(screen) {}
  float Width() const override;
  float Height() const override;
  void Move(double Left, double Top) override;
  std::optional<Value> Property(std::string_view name) const noexcept override;

 private:
  HWND__* hwnd_;
  const Screen& screen_;
};

// The screen at the system's DPI: 1440 / DPI twips per pixel. Never fails.
class Win32Screen final : public Screen {
 public:
  float TwipsPerPixelX() const noexcept override;
  float TwipsPerPixelY() const noexcept override;
};

// The process's screen.
const Screen& SystemScreen() noexcept;

}  // namespace vantrel::ui
