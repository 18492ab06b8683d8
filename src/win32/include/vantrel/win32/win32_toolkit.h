/// @file
/// The model's toolkit over Win32: a top-level window as a Form, and the
/// system's screen.
#pragma once

#include "vantrel/monitors/toolkit.h"
#include "vantrel/platform/handles.h"

namespace vantrel::ui {

/// A top-level window of the process, geometry in twips at the screen's
/// ratios. Its "hwnd" property (any letter case) is its handle.
/// Width and Height fail with kInvalidCall (5) when the window is gone. Move
/// fails with kOverflow (6) when the position is no 32-bit pixel and with
/// kInvalidCall when the window cannot be moved; it never resizes it.
class Win32Form final : public Form {
 public:
  /// The window `hwnd` (an HWND), measured by `screen`, which must outlive
  /// the form.
  Win32Form(HWND__* hwnd, const Screen& screen) : hwnd_(hwnd), screen_(screen) {}
  /// The window's outer width and height in twips; kInvalidCall when the
  /// window is gone.
  ///@{
  float Width() const override;
  float Height() const override;
  ///@}
  /// Moves the window's top-left corner to (Left, Top) twips, the nearest
  /// pixel, keeping its size; kOverflow when that is no 32-bit pixel,
  /// kInvalidCall when the window cannot be moved.
  void Move(double Left, double Top) override;
  /// "hwnd" in any letter case: the window's handle as a number; nullopt for
  /// any other name.
  std::optional<Value> Property(std::string_view name) const noexcept override;

 private:
  HWND__* hwnd_;
  const Screen& screen_;
};

/// The screen at the system's DPI: 1440 / DPI twips per pixel. Never fails.
class Win32Screen final : public Screen {
 public:
  /// 1440 / DPI across and down, at the system's DPI (GetDpiForSystem, else
  /// the screen's LOGPIXELSX and LOGPIXELSY, else 96).
  ///@{
  float TwipsPerPixelX() const noexcept override;
  float TwipsPerPixelY() const noexcept override;
  ///@}
};

/// The process's screen.
const Screen& SystemScreen() noexcept;

}  // namespace vantrel::ui
