/// @file
/// What the monitor model needs of a window toolkit: windows with geometry in
/// twips (1/1440 inch), a screen that says how many twips one pixel spans, and
/// values of any kind that callers hand over. The Win32 implementation is in
/// vantrel/win32/win32_toolkit.h.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vantrel::ui {

class Object;

/// A value of any kind a caller may hand over: nothing, a number, a text, or
/// an object (which may be null).
using Value = std::variant<std::monostate, std::int64_t, double, std::string, const Object*>;

/// Anything that can be asked for a property by name.
class Object {
 public:
  virtual ~Object() = default;
  /// The property's value; nullopt when the object has no such property.
  virtual std::optional<Value> Property(std::string_view name) const = 0;
};

/// A window of the process. Sizes and positions in twips; it offers its native
/// handle as the property "hwnd".
class Form : public Object {
 public:
  /// Outer width and height.
  ///@{
  virtual float Width() const = 0;
  virtual float Height() const = 0;
  ///@}
  /// Moves the top-left corner and keeps the size; fails when it cannot.
  virtual void Move(double Left, double Top) = 0;
};

/// How many twips one pixel of the screen spans, across and down.
class Screen {
 public:
  virtual ~Screen() = default;
  /// Twips per pixel across and down.
  ///@{
  virtual float TwipsPerPixelX() const = 0;
  virtual float TwipsPerPixelY() const = 0;
  ///@}
};

/// Twips in an inch.
inline constexpr double kTwipsPerInch = 1440.0;

/// Twips per pixel at a DPI: 15 at 96 DPI, 10 at 144.
constexpr double TwipsPerPixel(int dpi) { return kTwipsPerInch / dpi; }

}  // namespace vantrel::ui
