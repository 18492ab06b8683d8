/// @file
/// Vantrel: the one header a program includes.
///
/// @code
/// vantrel::clsMonitors monitors(vantrel::platform::User32DisplayService(),
///                               &vantrel::ui::SystemScreen());
/// @endcode
///
/// gives the monitors of the desktop in position order (Monitors()), the
/// virtual desktop's bounds, the monitor holding a window or a pixel, and
/// centring a window on a monitor's work area. Which calls can fail, and how,
/// is told at each member of clsMonitors (vantrel/monitors/clsMonitors.h);
/// failures are vantrel::Failure exceptions carrying a number.
///
/// @code
/// const vantrel::Displays displays = vantrel::Displays::Take();
/// @endcode
///
/// gives every fact about each display in one snapshot, with lookups on it
/// (vantrel/displays/displays.h), and the mode of a display closest to a
/// wanted one (vantrel::ClosestMode, vantrel/displays/modes.h);
/// vantrel::DisplayWatcher tells when they change
/// (vantrel/displays/watcher.h); vantrel::SavePlacement and RestorePlacement
/// put a window back where it was, on the display it was on
/// (vantrel/displays/placement.h); vantrel::json writes a snapshot or a
/// change as vantrel-list prints it (vantrel/displays/json.h);
/// vantrel::TakeLayout reads what of each display can be set, which
/// vantrel::ToJson and vantrel::LayoutFromJson write and read
/// (vantrel/displays/layout.h); vantrel::ModeChange sets a display's mode
/// for a while and puts it back (vantrel/displays/mode_change.h);
/// vantrel::Plan, vantrel::ApplyLayout and vantrel::Revert set a layout, all
/// displays at once, and put the one from before back when the system gives
/// something else (vantrel/displays/apply.h). The display
/// layer's calls ask the system through one seam, vantrel::platform::System
/// (vantrel/platform/system.h), and fail with a vantrel::Error
/// (vantrel/displays/result.h).
#pragma once

#include "vantrel/base/failure.h"
#include "vantrel/displays/apply.h"
#include "vantrel/displays/desktop.h"
#include "vantrel/displays/displays.h"
#include "vantrel/displays/json.h"
#include "vantrel/displays/layout.h"
#include "vantrel/displays/mode_change.h"
#include "vantrel/displays/modes.h"
#include "vantrel/displays/placement.h"
#include "vantrel/displays/result.h"
#include "vantrel/displays/watcher.h"
#include "vantrel/monitors/clsMonitor.h"
#include "vantrel/monitors/clsMonitors.h"
#include "vantrel/monitors/toolkit.h"
#include "vantrel/platform/display_service.h"
#include "vantrel/platform/system.h"

#ifdef _WIN32
#include "vantrel/platform/user32_display_service.h"
#include "vantrel/win32/win32_toolkit.h"
#endif
