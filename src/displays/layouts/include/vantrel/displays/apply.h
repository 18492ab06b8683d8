/// @file
/// Setting a layout: planning the changes that turn the layout in force into
/// a wanted one, applying them all at once, and never leaving the desktop
/// black: what was in force is saved first, and put back when the system
/// gives something else than was asked. One owner, LayoutChanger, carries
/// out every change of the displays; ApplyLayout and Revert are its
/// shorthands.
///
/// @code
/// const vantrel::Result<vantrel::Layout> wanted = vantrel::LayoutFromJson(text);
/// if (!wanted) return fail(wanted.error().message);
/// vantrel::LayoutChanger changer;                             // the current system and store
/// const auto plan = changer.Plan(*wanted);                    // reads, changes nothing
/// if (!plan) return fail(plan.error().message);               // a Refusal: reason and display
/// for (const std::string& line : vantrel::Describe(*plan)) std::puts(line.c_str());
/// const vantrel::ChangeOutcome done = changer.Apply(*wanted, [] { return AskUser(); });
/// if (!done) return fail(vantrel::Message(done));             // done.end says how it ended
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
/// driver turns no display: a plan that changes the primary fails there on
/// the read back and the layout from before is put back (kRolledBack); one
/// that turns a display is refused by the system's test (kRefused, nothing
/// changed). Wine also packs displays together: a wanted layout with gaps
/// comes back otherwise, and is put back too.
///
/// **One change at a time.** A LayoutChanger's changes (and ModeChange's)
/// take a lock of the process and the desktop's named lock (the state
/// store's "display-change"), so that two threads, the C interface and C++,
/// or two processes never interleave their tests, writes, resets, read-backs
/// and rollbacks. The wait for a confirmation holds neither.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/displays/displays.h"
#include "vantrel/displays/layout.h"
#include "vantrel/result.h"

namespace vantrel {

namespace platform {
class System;
class StateStore;
}  // namespace platform

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
/// (platform::System::Modes), in the order of its adapters.
std::vector<OfferedModes> TakeOfferedModes(platform::System& system);

/// The entry of `offered` for `adapter` (device names compared as
/// SameDeviceName does); null where it has none.
const OfferedModes* ListedFor(const std::vector<OfferedModes>& offered, std::string_view adapter);

/// One display's change: what is written for it.
struct LayoutChange {
  std::string adapter;   ///< the adapter's device name, as the layout in force has it
  std::string key;       ///< its key, as the layout in force has it
  LayoutDisplay before;  ///< as it is
  /// As it will be: the wanted display, its zero mode fields filled in, its
  /// mode the way round its orientation wants, shifted with the primary. A
  /// display to detach: as it is, but detached (what the system keeps for
  /// it then is the system's). What is written for it: attached, its
  /// position and its whole mode (Wine moves a display only when its size
  /// comes with its position), the orientation only where it changes; a
  /// display to detach, detached at its position.
  LayoutDisplay after;
  /// It becomes the primary (written with CDS_SET_PRIMARY).
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

/// Why a change of the displays was refused before anything changed.
enum class RefusalReason {
  kNotConnected,     ///< a wanted display is in the layout in force by neither key nor adapter
  kNamedTwice,       ///< two wanted displays are the same display
  kNoRightAngle,     ///< an orientation other than 0, 90, 180 or 270
  kDetachedPrimary,  ///< a display wanted detached and primary
  kSecondPrimary,    ///< two displays wanted primary
  kModeNotOffered,   ///< an attached display's mode is offered neither way round
  kOutOfRange,       ///< a rectangle the virtual screen's 32-bit numbers cannot hold
  kNothingAttached,  ///< no display would be attached
  kNoPrimary,        ///< no display would be the primary
  kSystemTest,       ///< the system's test (CDS_TEST) refused a display's change
};

/// A change of the displays refused before anything changed: the reason as
/// data, the display it names, and the message that tells it.
struct Refusal {
  RefusalReason reason = RefusalReason::kNotConnected;  ///< why
  /// The display named, as the layout in force (or the wanted one, where it
  /// is not connected) has it; both empty where the refusal names none
  /// (kNothingAttached, kNoPrimary with no primary in force).
  std::string adapter;
  std::string key;  ///< its key
  /// kSystemTest: ChangeDisplaySettingsEx's answer (DISP_CHANGE_BADMODE -2, ...).
  std::int32_t change_result = 0;
  /// One line: `\\.\DISPLAY2 (key): is not connected`.
  std::string message;
};
/// The refusal as an Error: ErrorCode::kRefused, its message and
/// change_result. What Result's value() throws for it.
Error AsError(const Refusal& refusal);

/// The changes that turn `now` (the layout in force) into `wanted`. Pure:
/// it asks nothing of the system.
///
/// Each display of `wanted` is found in `now` (by key, else adapter); those
/// of `now` that `wanted` does not name stay as they are. The plan is
/// refused, a Refusal naming the display and the reason, before anything
/// changes, where:
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
Result<LayoutPlan, Refusal> Plan(const Layout& now, const Layout& wanted,
                                 const std::vector<OfferedModes>& offered);
/// Plan over the current system (LayoutChanger().Plan(wanted)): its layout
/// and the modes of the displays whose mode the plan changes.
Result<LayoutPlan, Refusal> Plan(const Layout& wanted);

/// One field of one display that the system gave otherwise than asked.
struct FieldDifference {
  std::string adapter;  ///< the display's adapter, as `"\\.\DISPLAY2"`
  std::string key;      ///< its key
  /// "display" (none such read back), "attached", "position", "mode",
  /// "orientation" or "primary".
  std::string field;
  std::string wanted;  ///< as "1280x1024 32 bits 60 Hz", "1920,0", "true", "90"
  std::string got;     ///< the same way
  /// Every member equal.
  friend bool operator==(const FieldDifference&, const FieldDifference&) = default;
};

/// How a change of the displays ended.
enum class ChangeEnd {
  kApplied,   ///< in force as asked (or nothing was to change)
  kRefused,   ///< refused before anything changed: by the plan or the system's test
  kNotSaved,  ///< the layout in force could not be saved first, or the lock taken: nothing changed
  kRolledBack,  ///< applied otherwise than asked, or failed: the layout from before is back
  kNotKept,     ///< not confirmed: the layout from before is back
  kNotBack,     ///< the way back to the layout from before differed too
};

/// What a change of the displays did, as data; Message tells it in one line.
struct ChangeOutcome {
  ChangeEnd end = ChangeEnd::kApplied;  ///< how it ended
  /// kRefused: why, and the display.
  std::optional<Refusal> refusal;
  /// kNotSaved: the store's failure. kRolledBack, kNotBack: a write or the
  /// reset that failed, with ChangeDisplaySettingsEx's answer in
  /// Error::change_result (then `differences` may be empty).
  std::optional<Error> error;
  /// kRolledBack, kNotBack (unless unconfirmed): what the system gave
  /// otherwise than asked.
  std::vector<FieldDifference> differences;
  /// kNotBack: the writes or reset of the way back that failed.
  std::optional<Error> back_error;
  /// kNotBack: what still differs from the layout from before.
  std::vector<FieldDifference> not_back;
  /// kNotKept, and kNotBack after one: the change took but was not
  /// confirmed, and `unconfirmed_why` says how the wait ended.
  bool unconfirmed = false;
  std::string unconfirmed_why;  ///< as "no answer within 15 s"
  /// The plan carried out (empty where nothing was to change, or refused).
  LayoutPlan plan;
  /// Whether the change is in force as asked.
  bool ok() const noexcept { return end == ChangeEnd::kApplied; }
  /// Whether the change is in force as asked.
  explicit operator bool() const noexcept { return ok(); }
};

/// The outcome in one line, as vantrel-layout prints it. A refusal's
/// message; `nothing was changed: the layout in force cannot be saved:
/// ...`; each field that differed, display by display, joined by
/// semicolons (`\\.\DISPLAY2 (K2): position asked 1920,0, got 1920,100`,
/// `\\.\DISPLAY2 (K2): mode asked 1280x1024 32 bits 60 Hz, got 800x600 32
/// bits 60 Hz`) and whether the layout from before is back; `not kept
/// (no answer within 15 s): the layout from before is back`. Empty for
/// kApplied.
std::string Message(const ChangeOutcome& outcome);

/// The owner of every change of the displays: plans, saves the layout in
/// force, applies (every change tested, written, one reset, read back,
/// rolled back on a difference), keeps or reverts against a confirmation,
/// and puts the saved layout back. Over a system and a state store; one
/// object may be used from several threads, and every change takes the
/// lock of the process and the desktop (see the file's notes).
class LayoutChanger {
 public:
  /// Over platform::CurrentSystem() and platform::CurrentStore().
  LayoutChanger() noexcept;
  /// Over `system` and `store`, which must outlive it.
  LayoutChanger(platform::System& system, platform::StateStore& store) noexcept;

  /// The layout in force (TakeLayout).
  Layout Now() const;
  /// The modes of one adapter's display, unturned (see OfferedModes).
  OfferedModes OfferedBy(std::string_view adapter) const;
  /// The plan from the layout in force to `wanted`, listing the modes of
  /// only the displays whose mode or orientation it changes. Changes nothing.
  Result<LayoutPlan, Refusal> Plan(const Layout& wanted) const;

  /// What the wait for a confirmation gives: whether the new layout is kept,
  /// and where it is not, why (as "no answer within 15 s").
  struct Confirmation {
    bool keep = false;  ///< keep the new layout
    std::string why;    ///< where not kept: how the wait ended
  };
  /// Asked once a change is in force, with no lock held.
  using Confirm = std::function<Confirmation()>;

  /// Sets `wanted`: under the lock, reads the layout in force and plans;
  /// where anything changes, tests every change (CDS_TEST: a refusal
  /// changes nothing, the saved layout included), saves the layout in force
  /// to the store (`layout-before.json`, so that another process can put it
  /// back), writes each change (CDS_UPDATEREGISTRY |
  /// CDS_NORESET, the new primary's with CDS_SET_PRIMARY), puts them in
  /// force with one reset, reads the layout back and compares it with what
  /// was asked: every display's attached state; an attached one's position,
  /// mode (width and height, and bits and refresh where both sides give
  /// them, on what the system reads freshly),
  /// orientation and primacy. A failed write or reset, or a difference, puts
  /// the layout from before back the same way. Then, where `confirm` is
  /// given, it is asked without the lock, and a change not kept is undone
  /// under the lock.
  ChangeOutcome Apply(const Layout& wanted, const Confirm& confirm = {});
  /// Puts the saved layout back (as Apply, without saving and without a
  /// confirmation). The file is kept, so a revert can be repeated. Fails
  /// with ErrorCode::kSystem where none is saved (`no layout from before is
  /// saved at PATH`), it cannot be read or the lock cannot be taken, and
  /// with ErrorCode::kInvalidArgument
  /// (`PATH: line 2: ...`) where its text is no layout; nothing changed.
  Result<ChangeOutcome> Revert();
  /// The saved layout, as Revert reads it.
  Result<Layout> Saved() const;
  /// Where the saved layout is kept, for messages.
  Result<std::string> SavedPath() const;

 private:
  platform::System& system_;
  platform::StateStore& store_;
};

/// LayoutChanger().Apply(wanted): sets `wanted` on the current system.
ChangeOutcome ApplyLayout(const Layout& wanted);
/// LayoutChanger().Revert(): puts the saved layout back on the current system.
Result<ChangeOutcome> Revert();
/// LayoutChanger().Saved(): the layout saved before the last change.
Result<Layout> LoadLayoutBefore();

/// The saved layout's name in the state store (platform::StateStore).
inline constexpr std::string_view kLayoutBeforeFile = "layout-before.json";
/// The name of the desktop's lock that every change of the displays takes.
inline constexpr std::string_view kChangeLock = "display-change";

}  // namespace vantrel
