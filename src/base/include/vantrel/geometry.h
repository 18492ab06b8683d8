/// @file
/// Points and rectangles in pixels of the virtual screen, shared by the
/// monitor list and the display layer.
#pragma once

#include <cstdint>

namespace vantrel {

/// A pixel of the virtual screen, whose origin is the primary display's
/// top-left corner.
struct Point {
  std::int32_t x = 0;  ///< pixels right of the origin (negative: left of it)
  std::int32_t y = 0;  ///< pixels below the origin (negative: above it)
  /// Both coordinates equal.
  friend bool operator==(const Point&, const Point&) = default;
};

/// A rectangle of the virtual screen; right and bottom lie one past its last
/// pixel.
struct Rect {
  std::int32_t left = 0;    ///< the first column
  std::int32_t top = 0;     ///< the first row
  std::int32_t right = 0;   ///< one past the last column
  std::int32_t bottom = 0;  ///< one past the last row
  /// right - left, exactly (64 bits: no overflow at the 32-bit extremes).
  std::int64_t width() const noexcept { return std::int64_t{right} - left; }
  /// bottom - top, exactly.
  std::int64_t height() const noexcept { return std::int64_t{bottom} - top; }
  /// Whether the pixel lies inside.
  bool contains(Point p) const noexcept {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  /// All four edges equal.
  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace vantrel
