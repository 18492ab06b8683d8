/// @file
/// Every fact about the displays of the desktop, taken in one snapshot.
///
/// @code
/// const vantrel::Displays displays = vantrel::Displays::Take();
/// for (const vantrel::Display& d : displays) { /* d.name, d.bounds, d.scale(), ... */ }
/// const vantrel::Display* under = displays.AtPoint({x, y}, vantrel::Fallback::kNearest);
/// @endcode
///
/// A snapshot is a value: it never changes, and it can be copied and handed
/// to any thread. Texts are UTF-8, read with the platform's wide functions.
/// A fact the platform cannot give is absent (std::optional) or holds the
/// default said at its member; taking a snapshot never throws a
/// vantrel::Failure. Running out of memory is std::bad_alloc.
///
/// Real values need a per-monitor DPI aware process (a manifest declaring
/// PerMonitorV2, or SetProcessDpiAwarenessContext before the first window):
/// otherwise Windows scales bounds, work areas and modes to the system DPI and
/// reports that DPI for every display.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/geometry.h"
#include "vantrel/platform/handles.h"

namespace vantrel {

namespace platform {
class System;
}

/// A display's physical size, in millimetres.
struct PhysicalSize {
  std::int32_t width = 0;   ///< millimetres
  std::int32_t height = 0;  ///< millimetres
  /// Both members equal.
  friend bool operator==(const PhysicalSize&, const PhysicalSize&) = default;
};

/// How the display is connected (DisplayConfig's output technology).
enum class Connection { kUnknown, kInternal, kHdmi, kDisplayPort, kDvi, kVga, kOther };

/// The connection's name: "unknown", "internal", "hdmi", "displayport", "dvi",
/// "vga", "other".
std::string_view ToString(Connection connection) noexcept;

/// Hertz as a fraction: exact where DisplayConfig gives it (59.94 Hz is
/// 60000 / 1001), else whole hertz over 1. 0 / 1 where nothing says.
struct RefreshRate {
  std::uint32_t numerator = 0;    ///< hertz times the denominator
  std::uint32_t denominator = 1;  ///< 1 where the rate is whole hertz
  /// The rate in hertz; 0 where the denominator is 0.
  double hertz() const noexcept {
    return denominator ? static_cast<double>(numerator) / denominator : 0.0;
  }
  /// Both members equal (60 / 1 is not 120 / 2).
  friend bool operator==(const RefreshRate&, const RefreshRate&) = default;
};

/// One display mode: pixels, bits per pixel, whole hertz.
struct DisplayMode {
  std::int32_t width = 0;           ///< pixels
  std::int32_t height = 0;          ///< pixels
  std::int32_t bits_per_pixel = 0;  ///< colour depth
  std::int32_t frequency = 0;       ///< whole hertz
  /// Every member equal.
  friend bool operator==(const DisplayMode&, const DisplayMode&) = default;
  /// By width, then height, bits per pixel and frequency.
  friend auto operator<=>(const DisplayMode&, const DisplayMode&) = default;
};

/// A monitor that shows a display's picture beside the display's own
/// monitor: the system drives both from one source (a clone, or mirror, as
/// Windows' "Duplicate these displays" makes). Windows reports the pair as
/// one display, one monitor handle with one rectangle; DisplayConfig lists a
/// path for each monitor.
struct Clone {
  /// Its friendly name (DisplayConfig's target name), else the device name
  /// of the display it mirrors; unique within the snapshot, displays'
  /// names included, as Display::name is.
  std::string name;
  /// Its device interface path, the key the monitor has when it shows a
  /// picture of its own (Display::key); empty where the system gives none.
  std::string key;
  /// Both members equal.
  friend bool operator==(const Clone&, const Clone&) = default;
};

/// One display of a snapshot: every fact about it.
struct Display {
  /// The monitor handle (HMONITOR) as a number; valid while the layout lasts.
  std::uintptr_t handle = 0;
  /// The adapter's device name, as `"\\.\DISPLAY2"`, and its number (2); 0 when
  /// the name ends in no number.
  ///@{
  std::string device_name;
  std::int32_t number = 0;
  ///@}
  bool primary = false;  ///< whether it is the primary display

  /// The display's rectangle and its work area (without the task bars).
  /// Physical pixels (see the DPI note at the top).
  ///@{
  Rect bounds;
  Rect work_area;
  ///@}

  /// The monitor's friendly name (DisplayConfig's target name), else its
  /// device string, else the device name; unique within the snapshot: the
  /// second of two alike is "Name (2)", the third "Name (3)" (or the next
  /// number that no display is already called).
  std::string name;
  /// The monitor's device interface path: the same monitor gives the same key
  /// across snapshots and processes, so a program can find it again (a
  /// window put back on the monitor it was on). Never empty: where the
  /// platform gives no path, the device name stands in.
  std::string key;

  /// Effective DPI (GetDpiForMonitor where the system has it, else the
  /// system's LOGPIXELSX) and the scale it means: 1.0 at 96, 1.5 at 144.
  ///@{
  std::uint32_t dpi = 96;
  double scale() const noexcept { return dpi / 96.0; }
  ///@}

  std::optional<PhysicalSize> physical_size;     ///< millimetres
  std::int32_t orientation = 0;                  ///< degrees clockwise: 0, 90, 180 or 270
  std::int32_t bits_per_pixel = 0;               ///< 0 where nothing says
  RefreshRate refresh_rate;                      ///< of the mode in use
  Connection connection = Connection::kUnknown;  ///< how the display is connected

  /// The mode in use and every mode the display offers, without repeats, in
  /// ascending order (width, height, bits, frequency).
  ///@{
  DisplayMode current_mode;
  std::vector<DisplayMode> modes;
  ///@}

  /// The other monitors showing this display's picture, in the order of
  /// their keys; empty where the display shows its own. The display's name
  /// and key are those of its adapter's first monitor.
  std::vector<Clone> clones;

#ifdef _WIN32
  /// As HMONITOR.
  HMONITOR__* hmonitor() const noexcept { return reinterpret_cast<HMONITOR__*>(handle); }
#endif

  /// Every member equal.
  friend bool operator==(const Display&, const Display&) = default;
};

/// What a snapshot reads besides the facts every snapshot has.
struct SnapshotOptions {
  /// Every mode each display offers (Display::modes). The list is by far the
  /// dearest fact: the platform gives one mode a call, and a display offers
  /// some hundred and fifty (under Wine a snapshot takes some 55 ms with it on
  /// three displays, a few without). Without it, `modes` is empty; the mode in
  /// use (current_mode) and every other fact are read all the same.
  bool modes = true;
};

/// What a lookup answers when no display holds the point or rectangle.
enum class Fallback {
  kNone,     ///< nothing (nullptr)
  kNearest,  ///< the display nearest to it
  kPrimary,  ///< the primary display
};

/// Whether two adapters' device names (`"\\.\DISPLAY2"`) are one: Windows
/// matches them without regard to ASCII case. The one comparison the
/// library makes of device names, and of keys where a person types them.
bool SameDeviceName(std::string_view a, std::string_view b) noexcept;
/// The number that ends an adapter's device name: 2 for `"\\.\DISPLAY2"`;
/// none where it ends in no digit or the number is past INT32_MAX.
std::optional<std::int32_t> AdapterNumber(std::string_view device_name) noexcept;

/// A snapshot of the displays: a list of Display, with lookups on it. A
/// value: it never changes, and it can be copied and handed to any thread.
class Displays {
 public:
  /// No displays.
  Displays() = default;
  /// These displays, in this order.
  explicit Displays(std::vector<Display> displays) : displays_(std::move(displays)) {}

  /// The displays of the current system (platform::CurrentSystem(): the
  /// running one unless replaced).
  static Displays Take(SnapshotOptions options = {});
  /// The displays as the system reports them, in the order it lists them
  /// (Windows: EnumDisplayMonitors' order).
  static Displays Take(platform::System& system, SnapshotOptions options = {});

  /// Visits the displays in order.
  using const_iterator = std::vector<Display>::const_iterator;
  /// The first display, and one past the last.
  ///@{
  const_iterator begin() const noexcept { return displays_.begin(); }
  const_iterator end() const noexcept { return displays_.end(); }
  ///@}
  /// How many displays it holds.
  std::size_t size() const noexcept { return displays_.size(); }
  /// Whether it holds none.
  bool empty() const noexcept { return displays_.empty(); }
  /// Display number `index`, from 0; only below size().
  const Display& operator[](std::size_t index) const { return displays_[index]; }

  /// The primary display, and the first display whose key is `key`. Null when
  /// there is none.
  ///@{
  const Display* Primary() const noexcept;
  const Display* FindByKey(std::string_view key) const noexcept;
  ///@}

  /// Answered from the snapshot alone, as Windows answers MonitorFromPoint
  /// and MonitorFromRect: the display holding the point; the display sharing
  /// the largest area with the rectangle (the first listed of a tie; an empty
  /// rectangle counts as the point at its corner). When none does, what the
  /// fallback says; nearest is by distance between edges.
  ///@{
  const Display* AtPoint(Point point, Fallback fallback) const noexcept;
  const Display* OfRect(const Rect& rect, Fallback fallback) const noexcept;
  ///@}
  /// The display of the window's rectangle on the current system (its
  /// restored rectangle while it is minimized); a window that is gone gets the
  /// fallback, kNearest giving the primary as kPrimary does.
  const Display* OfWindow(HWND__* window, Fallback fallback) const noexcept;

  /// The same displays, every member equal, in the same order.
  friend bool operator==(const Displays&, const Displays&) = default;

 private:
  std::vector<Display> displays_;
};

}  // namespace vantrel
