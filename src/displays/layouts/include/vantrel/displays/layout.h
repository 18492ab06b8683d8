/// @file
/// The display layout: what of each display can be set (attached or not,
/// position, mode, orientation, primary), read from the system and written
/// as JSON, schema "vantrel-layout", and read back.
///
/// @code
/// const vantrel::Layout now = vantrel::TakeLayout();
/// const std::string text = vantrel::ToJson(now);
/// const vantrel::Result<vantrel::Layout> saved = vantrel::LayoutFromJson(text);
/// if (!saved) std::puts(saved.error().message.c_str());  // "line 7: displays[1].mode.width: ..."
/// @endcode
///
/// A layout lists every adapter with a monitor connected, the desktop's and
/// those detached from it, in the order the system lists adapters. Texts are
/// UTF-8. A layout is well formed when its texts are UTF-8, its modes'
/// numbers are not negative and its orientations are right angles: every
/// layout TakeLayout and LayoutFromJson give is, and LayoutFromJson reads
/// ToJson's text of a well-formed layout back as an equal one. Whether the
/// displays make a desktop (one primary, touching, none overlapping) is not
/// checked here: that is for whoever applies a layout.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/displays/displays.h"
#include "vantrel/displays/result.h"
#include "vantrel/geometry.h"

namespace vantrel {

namespace platform {
class System;
}

/// One display of a layout: an adapter with a monitor connected.
struct LayoutDisplay {
  /// The monitor's key, as Display::key gives it (the same rule): the
  /// first way to find the display again.
  std::string key;
  /// The adapter's device name, as `"\\.\DISPLAY2"`: the second way, where no
  /// display has the key.
  std::string adapter;
  /// Whether it is part of the desktop. A detached display keeps the
  /// position and mode the system would give it back (all 0 where the
  /// system keeps none).
  bool attached = false;
  /// Whether it is the primary display (only an attached one can be).
  bool primary = false;
  /// Its top-left corner on the virtual screen.
  Point position;
  /// Its width and height in pixels, bits per pixel and whole hertz; none
  /// negative.
  DisplayMode mode;
  /// Degrees clockwise: 0, 90, 180 or 270.
  std::int32_t orientation = 0;
  /// Every member equal.
  friend bool operator==(const LayoutDisplay&, const LayoutDisplay&) = default;
};

/// The displays of a layout, in the order the system lists their adapters.
struct Layout {
  std::vector<LayoutDisplay> displays;  ///< one per adapter with a monitor
  /// The same displays, every member equal, in the same order.
  friend bool operator==(const Layout&, const Layout&) = default;
};

/// How messages name a display: its adapter and its key. As
/// `\\.\DISPLAY2 (key)`.
std::string NameOf(const LayoutDisplay& display);

/// The schema ToJson writes and LayoutFromJson reads.
inline constexpr std::string_view kLayoutSchema = "vantrel-layout";
/// Its version: a change that takes anything away, changes a meaning or
/// adds a member raises it (the reader takes no member it does not know).
inline constexpr int kLayoutSchemaVersion = 1;

/// The layout of the current system (platform::CurrentSystem()).
Layout TakeLayout();
/// The layout of `system`: one display per adapter with a monitor, attached
/// ones with the position and mode in use, detached ones with those the
/// system keeps for them (else all 0); a system that lists no adapters has
/// none. Never fails; running out of memory is std::bad_alloc.
Layout TakeLayout(platform::System& system);

/// A snapshot's displays as a layout: each attached, with its key, adapter,
/// primacy, top-left corner, mode in use and orientation. A snapshot holds no
/// detached display, so the layout names none. Pure: any thread.
Layout LayoutOf(const Displays& displays);

/// The layout as one JSON document: an object of "schema" ("vantrel-layout"),
/// "version" (1) and "displays", an array of objects of "key", "adapter",
/// "attached", "primary", "position" ("x", "y"), "mode" ("width", "height",
/// "bits_per_pixel", "frequency") and "orientation"; indented by two spaces,
/// ending in a newline. Text that is not UTF-8 is repaired (each bad byte
/// becomes U+FFFD). Pure: any thread.
std::string ToJson(const Layout& layout);

/// Reads a document of schema "vantrel-layout", version 1: every member
/// required, in any order, once; no other member; integers without fraction
/// or exponent, in range (a mode's not negative); orientation 0, 90, 180 or
/// 270; texts UTF-8, with JSON's escapes. A UTF-8 byte order mark before it
/// is allowed. The first thing wrong fails it with ErrorCode::kInvalidArgument,
/// whose message names its line (from 1) and field, as
/// `line 7: displays[1].mode.width: expected an integer`. Pure: any thread.
Result<Layout> LayoutFromJson(std::string_view text);

}  // namespace vantrel
