/// @file
/// Setting a layout: planning the changes that turn the layout in force into
/// a wanted one, applying them all at once, and never leaving the desktop
/// black: what was in force is saved first, and put back when the system
/// gives something else than was asked.
///
/// @code
/// const vantrel::Result<vantrel::Layout> wanted = vantrel::LayoutFromJson(text);
/// if (!wanted) return fail(wanted.error());
/// const auto plan = vantrel::Plan(*wanted);                  // pure but for the reads
/// if (!plan) return fail(plan.error());                      // "\\.\DISPLAY2 (...): ..."
/// for (const std::string& line : vantrel::Describe(*plan)) std::puts(line.c_str());
/// if (auto done = vantrel::ApplyLayout(*wanted); !done) return fail(done.error());
/// // ... and, where the user does not confirm in time:
/// vantrel::Revert();
/// @endcode
///
/// **Naming a display.** A wanted display is the display of the layout in
/// force with the same key, else (none has it) the one on the same adapter
/// (device names compared without regard to case). Messages name a display
/// as its adapter and its key: `\\.\DISPLAY2 (key): ...`.
///
/// **Modes and orientation.** A layout's mode is the display's size on the
/// desktop, as TakeLayout reads it and as DEVMODE wants it: turned 90 or 270
/// degrees, a 1920 x 1080 display is 1080 wide and 1920 tall. A wanted mode
/// that fits only the other way round (a layout whose orientation alone was
/// edited) is read as the display offers it unturned, and swapped. A mode
/// field at 0 keeps the display's own.
///
/// **The primary.** Windows puts the primary display at 0, 0: where the
/// wanted primary is elsewhere, every attached display is shifted by the
/// same amount, so the layout keeps its shape.
///
/// **What Wine cannot show.** Wine ignores CDS_SET_PRIMARY and its X dummy
/// driver turns no display: a plan that changes the primary or an
/// orientation fails there on the read back and the layout from before is
/// put back. Wine also packs displays together: a wanted layout with gaps
/// comes back otherwise, and is put back too.
///
/// The functions that change displays (Apply, ApplyLayout, Revert) work on
/// platform::CurrentSystem(), one call at a time in a process.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "vantrel/displays/displays.h"
#include "vantrel/displays/layout.h"
#include "vantrel/displays/result.h"
#include "vantrel/platform/system.h"

namespace vantrel {

/// The modes one adapter's display offers: what Plan checks a wanted mode
/// against.
struct OfferedModes {
  std::string adapter;  ///< its device name, as `"\\.\DISPLAY2"`
  /// As the system lists them, repeats and all, each unturned (as the
  /// display offers it at 0 degrees; Windows lists a turned display's
  /// modes turned).
  std::vector<DisplayMode> modes;
  /// Both members equal.
  friend bool operator==(const OfferedModes&, const OfferedModes&) = default;
};

/// The modes every adapter with a monitor offers, attached to the desktop or
/// not, of the current system (platform::CurrentSystem()).
std::vector<OfferedModes> TakeOfferedModes();
/// The modes every adapter of `system` with a monitor offers
/// (platform::System::Modes), in the order of its adapters; a system that
/// lists no adapters gives those of its snapshot's displays.
std::vector<OfferedModes> TakeOfferedModes(platform::System& system);

/// One display's change: what is written for it.
struct LayoutChange {
  std::string adapter;   ///< the adapter's device name, as the layout in force has it
  std::string key;       ///< its key, as the layout in force has it
  LayoutDisplay before;  ///< as it is
  /// As it will be: the wanted display, its zero mode fields filled in, its
  /// mode the way round its orientation wants, shifted with the primary. A
  /// display to detach: as it is, but detached (what the system keeps for
  /// it then is the system's).
  LayoutDisplay after;
  /// What ChangeSettings is given: attached, its position and its whole
  /// mode (Wine moves a display only when its size comes with its position);
  /// the orientation only where it changes. A display to detach: attached
  /// false, at its position.
  platform::SettingsChange settings;
  /// Written with change_flags::kSetPrimary: it becomes the primary.
  bool set_primary = false;
  /// Every member equal.
  friend bool operator==(const LayoutChange&, const LayoutChange&) = default;
};

/// What turns one layout into another: the changes, and both layouts.
struct LayoutPlan {
  Layout before;  ///< the layout it was made from (the one in force)
  /// The layout it makes: `before` with the wanted displays as they will
  /// be; the others as they are, shifted with the primary where it moves.
  Layout after;
  /// One per display that changes, in the order of `before`, the new
  /// primary's first.
  std::vector<LayoutChange> changes;
  /// Whether nothing changes.
  bool empty() const noexcept { return changes.empty(); }
  /// Every member equal.
  friend bool operator==(const LayoutPlan&, const LayoutPlan&) = default;
};

/// One line per change, for a dry run: the display, named as messages
/// name it, a colon, then what changes, joined by semicolons:
/// `mode 1920x1080 32 bits 60 Hz -> 1280x1024 32 bits 60 Hz`,
/// `orientation 0 -> 90`, `position 1920,0 -> 0,0`, `becomes the primary`,
/// `no longer the primary`; or `detached`; or
/// `attached at 3200,0, 1024x768` (and its orientation and primacy).
/// Nothing for an empty plan. Pure.
std::vector<std::string> Describe(const LayoutPlan& plan);

/// The changes that turn `now` (the layout in force) into `wanted`. Pure:
/// it asks nothing of the system.
///
/// Each display of `wanted` is found in `now` (by key, else adapter); those
/// of `now` that `wanted` does not name stay as they are. The plan fails,
/// with ErrorCode::kInvalidArgument and a message naming the display,
/// before anything changes, where:
///  - a wanted display is not connected (in `now` by neither key nor
///    adapter): `... is not connected`;
///  - two wanted displays are the same display: `... is named twice`;
///  - an attached display's mode (its zero fields filled from the display's
///    own) is offered neither way round by its adapter in `offered` nor is
///    the one it has: `... 1234x567 32 bits 60 Hz is no mode it offers`;
///  - its orientation is no right angle: `... orientation 45 is no right angle`;
///  - a wanted display is detached and primary, or is a second primary:
///    `... a detached display cannot be the primary`, `... is a second primary`;
///  - an attached display's rectangle, once the primary is at 0, 0, does not
///    fit the virtual screen's 32-bit numbers: `... is out of range ...`;
///  - no display would be attached, or none the primary (the primary in
///    force detached, and no other named): the message names the display
///    that was the primary, or says that none would be attached.
/// The new primary (the one `wanted` names, else the one in force) goes to
/// 0, 0 and every attached display moves with it. A display whose attached
/// state, position, mode, orientation or primacy then differs from `now`
/// gets a LayoutChange. Planning a layout against itself gives an empty plan.
Result<LayoutPlan> Plan(const Layout& now, const Layout& wanted,
                        const std::vector<OfferedModes>& offered);
/// Plan over the current system: its layout (TakeLayout) and the modes its
/// displays offer (TakeOfferedModes) against `wanted`.
Result<LayoutPlan> Plan(const Layout& wanted);

/// Applies a plan on the current system, all displays with one reset (one
/// flash, not one per display), and makes sure it took:
///  1. every change is tested (change_flags::kTest); a refusal fails it,
///     nothing changed, naming the display and the system's answer;
///  2. every change is written with kUpdateRegistry | kNoReset (the new
///     primary's with kSetPrimary too), then put in force by one
///     platform::System::ApplySettings;
///  3. the layout is read back (TakeLayout) and compared with plan.after:
///     every display's attached state; an attached one's position, mode
///     (its non-zero fields), orientation and primacy.
///
/// A failed write, a failed reset or a read back that differs puts
/// plan.before back the same way (written, one reset, read back) and fails
/// with ErrorCode::kSystem, the message saying what differed, display by
/// display (`\\.\DISPLAY2 (key): asked 1280x1024 ... at 1920,0, got ...`),
/// and whether the layout from before is back. An empty plan changes
/// nothing and makes no call. Save the layout in force first
/// (SaveLayoutBefore), so that another process can put it back.
Result<void> Apply(const LayoutPlan& plan);

/// Sets `wanted` on the current system in one call: takes the layout in
/// force, plans (Plan), saves the layout in force (SaveLayoutBefore) where
/// anything changes, and applies (Apply). Fails with the first step's Error;
/// nothing changes where planning or saving fails.
Result<void> ApplyLayout(const Layout& wanted);

/// The saved layout's file name, in the folder LayoutBeforePath names.
inline constexpr std::string_view kLayoutBeforeFile = "layout-before.json";

/// Where the layout from before a change is kept, one file per user, UTF-8:
/// `layout-before.json` in the folder named by the environment variable
/// `VANTREL_STATE_DIR` where set and not empty (tests), else in
/// `%LOCALAPPDATA%\Vantrel`. Fails with ErrorCode::kSystem where neither is
/// set.
Result<std::string> LayoutBeforePath();

/// Saves `layout` (the one in force, before a change) to LayoutBeforePath,
/// as ToJson writes it (schema "vantrel-layout"), so that a later process can
/// put it back. Atomic: the text goes to a temporary file in the same
/// folder, is flushed to disk, and the file replaces the old one by a rename
/// (on Windows MoveFileExW with MOVEFILE_REPLACE_EXISTING |
/// MOVEFILE_WRITE_THROUGH), so the file holds the old layout or the new one,
/// never part of one. Creates the folder where it is missing. Gives the
/// file's path; fails with ErrorCode::kSystem naming the path and the
/// system's error.
Result<std::string> SaveLayoutBefore(const Layout& layout);

/// Reads the layout SaveLayoutBefore saved. Fails with ErrorCode::kSystem
/// where the file cannot be read (none saved: `no layout from before is
/// saved at PATH`), and with LayoutFromJson's Error, its message after the
/// file's path (`PATH: line 2: ...`), where its text is no layout.
Result<Layout> LoadLayoutBefore();

/// Puts the saved layout (LoadLayoutBefore) back on the current system: Plan
/// and Apply, with Apply's checks and its way back. The file is kept, so a
/// revert can be repeated.
Result<void> Revert();

}  // namespace vantrel
