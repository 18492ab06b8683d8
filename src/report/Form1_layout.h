// The report window's designed layout, in twips. Control positions are
// relative to the client area; the client area's left and top are its
// designed place on the screen.
#pragma once

#include <cmath>
#include <cstdint>

#include "vantrel/monitors/toolkit.h"

namespace report {

struct TwipsRect {
  std::int32_t left, top, width, height;
};

struct Form1Layout {
  static constexpr TwipsRect kClient{6975, 2550, 10395, 6375};
  static constexpr TwipsRect txtMonitorInfo{240, 240, 9855, 5175};
  static constexpr TwipsRect cmdOK{8280, 5760, 1935, 375};
  static constexpr double kTextFontPoints = 15.75;
};

// Whole pixels for a length in twips at a DPI, to the nearest pixel.
inline int TwipsToPixels(std::int32_t twips, int dpi) {
  return static_cast<int>(
      std::lround(twips * static_cast<double>(dpi) / vantrel::ui::kTwipsPerInch));
}

// A font's height in pixels at a DPI, for its size in points.
inline int PointsToPixels(double points, int dpi) {
  return static_cast<int>(std::lround(points * dpi / 72.0));
}

}  // namespace report
