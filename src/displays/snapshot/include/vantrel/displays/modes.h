/// @file
/// Choosing the mode a display offers that comes closest to the one a
/// program wants: for a full-screen program, before it changes the mode.
///
/// @code
/// const vantrel::Display& d = *displays.Primary();
/// if (auto mode = vantrel::ClosestMode(d, {.width = 1920, .height = 1080})) {
///   // *mode: at least 1920 x 1080 where the display has such a mode, at the
///   // refresh it runs at now where it can
/// }
/// @endcode
#pragma once

#include <optional>

#include "vantrel/displays/displays.h"

namespace vantrel {

/// The mode of those `display` offers that comes closest to `wanted`. Pure:
/// it reads the snapshot's facts and asks nothing of the system.
///
/// **Offered modes.** Those of Display::modes, and Display::current_mode too
/// (the display shows it, listed or not), so a snapshot taken without modes
/// answers with the mode in use. A mode whose width or height is 0 or below
/// is never chosen. When no mode is left, the answer is std::nullopt.
///
/// **What is wanted,** each field of `wanted` read on its own:
///  - width, height: pixels; 0 or below, the current mode's. Where that is
///    unknown too (0), any: every mode is wide (tall) enough.
///  - refresh (`frequency`): hertz; 0 or below, the current mode's. Where that
///    is unknown too, the highest.
///  - bits_per_pixel: 0 or below, any, the more the better.
///
/// A mode *fits* when it is at least the wanted width and at least the wanted
/// height. It *covers* min(its width, the wanted width) by min(its height,
/// the wanted height) of what is wanted. A mode is *larger* than another when
/// it is at least as wide and at least as tall and not the same size, and
/// covers *more* alike.
///
/// **The rules, in order;** each keeps the modes that are best by it and
/// hands them to the next:
///  1. Never smaller where something larger will do: a mode is out when
///     another offered mode covers more. So where any mode fits, only fitting
///     modes are left; where none does, those that come nearest.
///  2. The nearest size: of modes that cover the same, one is out when
///     another is smaller (a 1920 x 1080 beats a 3840 x 2160 for a wanted
///     1920 x 1080). After rules 1 and 2 no two modes left have the same
///     aspect ratio and different sizes.
///  3. The closest aspect ratio to the wanted width : height, the distance
///     between two ratios being the larger over the smaller (a ratio twice
///     the wanted one is as far as half of it), compared exactly. Skipped
///     where the wanted width or height is any.
///  4. The refresh nearest the wanted one, in whole hertz; of two as near,
///     the higher.
///  5. Bits per pixel: where asked, the nearest, of two as near the more;
///     else the most.
///  6. The first in Display::modes (the smallest by their order), the current
///     mode after them.
///
/// So a `wanted` all zeros gives the current mode's size and refresh, at the
/// most bits the display offers there.
///
/// Any int32 value of any field, in `wanted` or in the offered modes, is
/// taken without overflow.
std::optional<DisplayMode> ClosestMode(const Display& display, const DisplayMode& wanted);

}  // namespace vantrel
