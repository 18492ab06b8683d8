/// @file
/// A display mode for as long as a program wants it: ModeChange sets one
/// display's mode for the session and puts back the mode it found when it
/// ends, when asked to, or at the process's normal exit, whichever comes
/// first.
///
/// @code
/// const vantrel::Display& d = *displays.Primary();
/// const std::optional<vantrel::DisplayMode> mode = vantrel::ClosestMode(d, {1280, 720});
/// vantrel::Result<vantrel::ModeChange> set = vantrel::ModeChange::Set(d, *mode);
/// if (!set) return report(set.error().message);
/// vantrel::ModeChange change = std::move(set).value();
/// // ... full screen at 1280 x 720 ...
/// change.Restore();   // or let `change` end; or let the process exit
/// @endcode
///
/// **For the session.** The mode is set with CDS_FULLSCREEN: the system's
/// kept settings (the registry) are not meant to change. Under Wine 8 they do,
/// and the mode stays after the process exits, normally or killed; resetting
/// the displays to their kept settings does not bring the old mode back
/// either. So a ModeChange restores by setting the mode it found explicitly.
///
/// **The guard.** Every change not yet restored is kept in one process-wide
/// list, which a function registered with std::atexit at the first change
/// restores, the newest first: a program that forgets the object (leaks it,
/// or calls exit() while it lives) still gets its modes back when it ends
/// normally. A process that is killed (TerminateProcess, a crash, the task
/// manager) runs no guard and cannot restore: under Wine 8 its mode stays.
///
/// **Threads.** One object is used by one thread at a time; Restore() and
/// release() of one object may run on several threads at once, and the
/// guard at exit with any of them, each change being restored once. The
/// system a change was made through (platform::CurrentSystem() at Set) must
/// outlive the change: it is the one the change is restored through.
#pragma once

#include <cstdint>
#include <string>

#include "vantrel/displays/displays.h"
#include "vantrel/displays/result.h"
#include "vantrel/geometry.h"

namespace vantrel {

namespace platform {
class System;
class StateStore;
}  // namespace platform

/// One display's mode changed for a while: an owner that puts the mode it
/// found back. Move-only; an object made by default or moved from owns no
/// change.
class [[nodiscard]] ModeChange {
 public:
  /// Sets `mode` on `display` (found by its device name) for the session,
  /// on the current system (platform::CurrentSystem()).
  ///
  /// It reads the settings in use first (the display's mode, its position
  /// and orientation), then asks the system whether the display offers the
  /// mode (CDS_TEST), then sets it (CDS_FULLSCREEN). A field of `mode` at 0
  /// keeps the display's: {800, 600} is 800 x 600 at the bits and refresh in
  /// use. Where the display runs the mode already, the mode is set all the
  /// same and the change restored alike.
  ///
  /// Fails with ErrorCode::kRefused, nothing changed, when the display does
  /// not offer the mode (the message names both; Error::change_result is
  /// DISP_CHANGE_BADMODE); with kSystem when the settings in use cannot be
  /// read, the lock of every change of the displays cannot be taken, or the
  /// system refuses the mode otherwise (the message has
  /// ChangeDisplaySettingsEx's answer, Error::change_result its number).
  /// Takes that lock for its test and its change, as LayoutChanger does.
  static Result<ModeChange> Set(const Display& display, const DisplayMode& mode);
  /// Set over `system` and `store` (tests, or a program's own system), which
  /// must outlive the change: it is restored through them.
  static Result<ModeChange> Set(platform::System& system, platform::StateStore& store,
                                const Display& display, const DisplayMode& mode);

  /// Owns no change.
  ModeChange() noexcept = default;
  /// Takes `other`'s change; `other` owns none after it.
  ModeChange(ModeChange&& other) noexcept;
  /// Restores the change this one owns (its failure ignored), then takes
  /// `other`'s.
  ModeChange& operator=(ModeChange&& other) noexcept;
  ModeChange(const ModeChange&) = delete;             ///< one owner
  ModeChange& operator=(const ModeChange&) = delete;  ///< one owner
  /// Restores, as Restore() does; should that fail, the change stays with
  /// the guard, which tries again at the process's exit.
  ~ModeChange();

  /// Puts the settings found back now: the mode (width, height, bits per
  /// pixel, refresh, orientation) and the position, set explicitly and kept
  /// (CDS_UPDATEREGISTRY), so that they are the system's kept settings too
  /// afterwards. Once restored, released, or restored by the guard, it does
  /// nothing and succeeds. Fails with kSystem, the message naming the display,
  /// the mode and ChangeDisplaySettingsEx's answer (its number in
  /// Error::change_result); the change is then still owned, to be restored
  /// again. Takes the lock of every change of the displays; the guard at the
  /// process's exit does not, and never waits on another process.
  Result<void> Restore();
  /// Keeps the mode set: nothing restores it, neither this object nor the
  /// guard.
  void release() noexcept;
  /// Whether a change is owned that has not been restored or released yet.
  bool active() const noexcept;

  /// The display's device name, as `"\\.\DISPLAY2"`; empty when no change
  /// was ever owned.
  const std::string& device_name() const noexcept { return device_name_; }
  /// The mode found in use, which Restore() puts back.
  const DisplayMode& saved_mode() const noexcept { return saved_mode_; }
  /// Where the display's top-left corner was, which Restore() puts back.
  Point saved_position() const noexcept { return saved_position_; }

 private:
  ModeChange(std::uint64_t id, std::string device_name, const DisplayMode& saved_mode,
             Point saved_position) noexcept;

  std::uint64_t id_ = 0;  // in the process's list of changes; 0: none
  std::string device_name_;
  DisplayMode saved_mode_;
  Point saved_position_;
};

}  // namespace vantrel
