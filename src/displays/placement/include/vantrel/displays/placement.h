/// @file
/// A window's place, saved and put back across display changes: on the very
/// display it was on (by its key), at its size at that display's scale, and
/// always where its title bar can be reached.
///
/// @code
/// if (auto place = vantrel::SavePlacement(hwnd)) {                        // closing
///   settings.Write("window", vantrel::ToText(*place));
/// }
/// if (auto saved = vantrel::PlacementFromText(settings.Read("window"))) {   // starting,
///   vantrel::RestorePlacement(hwnd, *saved);                                // before it shows
/// } else {
///   ShowWindow(hwnd, SW_SHOWDEFAULT);
/// }
/// @endcode
///
/// The calls on a window act on the current system (platform::CurrentSystem())
/// and fail with a vantrel::Error: ErrorCode::kNoSuchWindow for a window that
/// is gone, kSystem with the system's code for a call that failed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vantrel/displays/displays.h"
#include "vantrel/displays/result.h"
#include "vantrel/platform/handles.h"

namespace vantrel {

/// How a window is shown: normal or maximized.
enum class WindowState { kNormal, kMaximized };

/// A window's saved place.
struct WindowPlacement {
  std::string display_key;  ///< Display::key of the display the window was on
  Rect bounds;  ///< the window's restored (normal) rectangle, physical pixels of the virtual screen
  Rect work_area;                            ///< that display's work area when it was saved
  std::uint32_t dpi = 96;                    ///< that display's DPI when it was saved
  WindowState state = WindowState::kNormal;  ///< normal or maximized
  /// Every member equal.
  friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

/// One line of text for a settings file, and back. PlacementFromText fails
/// (ErrorCode::kInvalidArgument) for any text ToText did not write
/// (truncated, edited, hostile). The line is versioned, its numbers decimal whatever the locale,
/// and any byte of a key comes back as it was:
/// @code{.unparsed}
/// vantrel-placement 1 state=normal dpi=96 bounds=1480,150,1880,450 work=1280,0,2304,768 key=...
/// @endcode
///@{
std::string ToText(const WindowPlacement& placement);
Result<WindowPlacement> PlacementFromText(std::string_view text);
///@}

/// Where Fit puts a saved window.
struct Placed {
  const Display* display;  ///< of `now`
  Rect bounds;             ///< the normal rectangle
  WindowState state;       ///< as saved
};

/// Where the saved window goes on the displays as they are now. Pure; `now`
/// must not be empty. The rules, in order:
///  1. The display: the one whose key is `display_key`; when there is none,
///     the one Displays::OfRect(bounds, Fallback::kNearest) answers. An empty
///     key and an empty rectangle go to the primary.
///  2. Unchanged: on the same display (by key), at the saved DPI and work
///     area, with a reachable title bar (rule 5), `bounds` exactly as saved.
///  3. Another scale: width, height and the offset from the work area's
///     top-left corner scale by the display's DPI / the saved DPI, rounded to
///     the nearest pixel (a half away from zero). A DPI of 0 counts as 96.
///  4. Moved, resized or gone: the window keeps its offset (after rule 3)
///     from the top-left corner of the work area, the saved one applied to
///     the chosen display's.
///  5. Reachable. Under rule 2, the title bar is reachable when at least
///     min(60, width) x 30 pixels of the window's top 30-pixel strip (its
///     whole height when lower) lie within one current work area, so a window
///     spread over two displays stays where it was. Otherwise the result
///     lies wholly within the chosen display's work area: a window larger
///     than it shrinks to it, then moves the least distance that puts it
///     inside. Never is the top edge above that work area's top.
///  6. The state stays; a maximized window's `bounds` is its normal rectangle,
///     fitted by these rules, the one it un-maximizes to.
///
/// The arithmetic saturates; nothing overflows whatever the numbers.
Placed Fit(const WindowPlacement& saved, const Displays& now);

/// The window's place now, on the displays of a snapshot of its own (taken
/// without modes). A minimized window is saved in the state and rectangle it
/// would be restored to.
Result<WindowPlacement> SavePlacement(HWND__* window);
/// Puts the window where Fit says, in one SetWindowPlacement call (a second
/// when the window's DPI changed during the first, since a window rescales
/// itself then), and shows it in that state, as SetWindowPlacement does: call
/// it before the window is first shown.
Result<void> RestorePlacement(HWND__* window, const WindowPlacement& saved);

/// What EnsureVisible did.
enum class Visibility {
  kMoved,          ///< no display showed its title bar: it was moved onto one
  kAlreadyInView,  ///< left where it was
};
/// Moves a window whose title bar no display shows wholly into the work area
/// of the display nearest it.
Result<Visibility> EnsureVisible(HWND__* window);

/// Moves the window so that it is centred on the display's work area, its
/// size kept (a window larger than the work area overhangs it evenly).
/// kInvalidArgument where the centred window would leave the 32-bit screen.
Result<void> CentreWindow(HWND__* window, const Display& display);

}  // namespace vantrel
