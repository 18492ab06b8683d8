/// @file
/// The one seam between the display layer and the system it runs on:
/// everything the modern library asks of the system (the facts of every
/// display, a window's geometry and placement, the calling thread's DPI
/// awareness), as plain data. Texts are UTF-8, numbers as the platform gives
/// them, std::nullopt where the platform cannot give a fact (a function the
/// system lacks, a call that fails). No method throws anything but
/// std::bad_alloc.
///
/// One implementation binds Windows (user32, gdi32, shcore); the simulated
/// one in the project's testing library stands in for it in tests. The
/// library uses CurrentSystem(), which UseSystem replaces.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/geometry.h"

namespace vantrel::platform {

/// DisplayConfig's output technologies, as Windows numbers them.
namespace output_technology {
inline constexpr std::uint32_t kOther = 0xFFFFFFFF;         ///< none of those below
inline constexpr std::uint32_t kHd15 = 0;                   ///< VGA
inline constexpr std::uint32_t kDvi = 4;                    ///< DVI
inline constexpr std::uint32_t kHdmi = 5;                   ///< HDMI
inline constexpr std::uint32_t kLvds = 6;                   ///< a built-in LVDS panel
inline constexpr std::uint32_t kDisplayPortExternal = 10;   ///< DisplayPort
inline constexpr std::uint32_t kDisplayPortEmbedded = 11;   ///< a built-in eDP panel
inline constexpr std::uint32_t kUdiEmbedded = 13;           ///< a built-in UDI panel
inline constexpr std::uint32_t kDisplayPortUsbTunnel = 18;  ///< DisplayPort over USB
inline constexpr std::uint32_t kInternal = 0x80000000;      ///< built in, kind unsaid
}  // namespace output_technology
/// DisplayConfig's rotations, as Windows numbers them.
namespace rotation {
inline constexpr std::uint32_t kIdentity = 1;   ///< not turned
inline constexpr std::uint32_t kRotate90 = 2;   ///< a quarter turn clockwise
inline constexpr std::uint32_t kRotate180 = 3;  ///< upside down
inline constexpr std::uint32_t kRotate270 = 4;  ///< three quarter turns clockwise
}  // namespace rotation

/// One monitor of the desktop: EnumDisplayMonitors and GetMonitorInfoW.
struct MonitorFacts {
  std::uintptr_t handle = 0;  ///< the HMONITOR as a number
  std::string device_name;    ///< the adapter's, as "\\.\DISPLAY1"
  Rect bounds;                ///< the monitor's rectangle
  Rect work_area;             ///< without the task bars
  bool primary = false;       ///< MONITORINFOF_PRIMARY
  /// Every member equal.
  friend bool operator==(const MonitorFacts&, const MonitorFacts&) = default;
};

/// One active DisplayConfig path, as DisplayConfig numbers it.
struct DisplayConfigTarget {
  std::string source_name;    ///< its source's GDI name, as "\\.\DISPLAY1"
  std::string friendly_name;  ///< its target's name; empty where the platform gives none
  std::string device_path;    ///< its target's device path; empty where none
  std::uint32_t output_technology = output_technology::kOther;  ///< an output_technology value
  std::uint32_t rotation = rotation::kIdentity;                 ///< a rotation value
  std::uint32_t refresh_numerator = 0;                          ///< hertz as a fraction
  std::uint32_t refresh_denominator = 0;                        ///< of the two
  /// Every member equal.
  friend bool operator==(const DisplayConfigTarget&, const DisplayConfigTarget&) = default;
};

/// The first monitor of an adapter: EnumDisplayDevicesW with
/// EDD_GET_DEVICE_INTERFACE_NAME.
struct MonitorDevice {
  std::string device_string;  ///< as "Generic Non-PnP Monitor"
  std::string device_id;      ///< the monitor's device interface path
  /// Both members equal.
  friend bool operator==(const MonitorDevice&, const MonitorDevice&) = default;
};

/// One DEVMODEW of EnumDisplaySettingsExW.
struct ModeFacts {
  std::int32_t width = 0;           ///< pixels
  std::int32_t height = 0;          ///< pixels
  std::int32_t bits_per_pixel = 0;  ///< colour depth
  std::int32_t frequency = 0;       ///< whole hertz; 0 and 1 mean the hardware's default
  /// DEVMODE's orientation (DMDO_DEFAULT 0 .. DMDO_270 3); absent where the
  /// mode does not say.
  std::optional<std::uint32_t> orientation;
  /// Every member equal.
  friend bool operator==(const ModeFacts&, const ModeFacts&) = default;
};

/// Where an adapter's display sits and its mode: one DEVMODEW of
/// EnumDisplaySettingsExW with its position.
struct SettingsFacts {
  Point position;  ///< dmPosition, the top-left corner; 0, 0 where the mode gives none
  ModeFacts mode;  ///< pixels, bits, frequency and orientation
  /// Both members equal.
  friend bool operator==(const SettingsFacts&, const SettingsFacts&) = default;
};

/// One display adapter of EnumDisplayDevicesW, attached to the desktop or
/// not: what a layout needs beyond the monitors of the desktop.
struct AdapterFacts {
  std::string device_name;  ///< as "\\.\DISPLAY1"
  bool attached = false;    ///< DISPLAY_DEVICE_ATTACHED_TO_DESKTOP: part of the desktop
  bool primary = false;     ///< DISPLAY_DEVICE_PRIMARY_DEVICE
  /// Its first monitor; absent where none is connected (or the call fails).
  std::optional<MonitorDevice> monitor;
  /// The settings the system keeps for it (ENUM_REGISTRY_SETTINGS), which a
  /// detached adapter gets back when attached; absent when the call fails.
  std::optional<SettingsFacts> registry;
  /// The settings in use (ENUM_CURRENT_SETTINGS); absent for a detached
  /// adapter, or when the call fails.
  std::optional<SettingsFacts> current;
  /// Every member equal.
  friend bool operator==(const AdapterFacts&, const AdapterFacts&) = default;
};

/// What ChangeDisplaySettingsExW is asked to set for one adapter: the fields
/// of a DEVMODEW. A field at 0 (or absent) is left out, so the adapter keeps
/// what it has; a detached adapter is asked for 0 x 0 at its position.
struct SettingsChange {
  bool attached = true;           ///< false: detach it from the desktop
  std::optional<Point> position;  ///< DM_POSITION
  ModeFacts mode;                 ///< DM_PELSWIDTH and so on; orientation DM_DISPLAYORIENTATION
  /// Every member equal.
  friend bool operator==(const SettingsChange&, const SettingsChange&) = default;
};

/// ChangeDisplaySettingsEx's flags, as Windows numbers them.
namespace change_flags {
inline constexpr std::uint32_t kUpdateRegistry = 0x1;  ///< CDS_UPDATEREGISTRY: kept
inline constexpr std::uint32_t kTest = 0x2;            ///< CDS_TEST: checked, nothing set
inline constexpr std::uint32_t kFullscreen = 0x4;      ///< CDS_FULLSCREEN: for this session
inline constexpr std::uint32_t kSetPrimary = 0x10;     ///< CDS_SET_PRIMARY
inline constexpr std::uint32_t kNoReset = 0x10000000;  ///< CDS_NORESET: written, not yet in force
}  // namespace change_flags

/// ChangeDisplaySettingsEx's answers, as Windows numbers them.
namespace change_result {
inline constexpr std::int32_t kSuccessful = 0;    ///< DISP_CHANGE_SUCCESSFUL
inline constexpr std::int32_t kRestart = 1;       ///< DISP_CHANGE_RESTART
inline constexpr std::int32_t kFailed = -1;       ///< DISP_CHANGE_FAILED
inline constexpr std::int32_t kBadMode = -2;      ///< DISP_CHANGE_BADMODE
inline constexpr std::int32_t kNotUpdated = -3;   ///< DISP_CHANGE_NOTUPDATED
inline constexpr std::int32_t kBadFlags = -4;     ///< DISP_CHANGE_BADFLAGS
inline constexpr std::int32_t kBadParam = -5;     ///< DISP_CHANGE_BADPARAM
inline constexpr std::int32_t kBadDualView = -6;  ///< DISP_CHANGE_BADDUALVIEW
}  // namespace change_result

/// A change_result by its name in windows.h, as "DISP_CHANGE_BADMODE";
/// "answer N" for a number it does not name.
std::string ChangeResultName(std::int32_t result);

/// Millimetres as GetDeviceCaps gives them (HORZSIZE, VERTSIZE); 0 is
/// possible and means the platform does not know.
struct PhysicalSizeFacts {
  std::int32_t width = 0;   ///< millimetres
  std::int32_t height = 0;  ///< millimetres
  /// Both members equal.
  friend bool operator==(const PhysicalSizeFacts&, const PhysicalSizeFacts&) = default;
};

/// WINDOWPLACEMENT's show commands, as Windows numbers them.
namespace show_command {
inline constexpr std::uint32_t kNormal = 1;               ///< SW_SHOWNORMAL
inline constexpr std::uint32_t kMinimized = 2;            ///< SW_SHOWMINIMIZED
inline constexpr std::uint32_t kMaximized = 3;            ///< SW_SHOWMAXIMIZED
inline constexpr std::uint32_t kShowNoActivate = 4;       ///< SW_SHOWNOACTIVATE
inline constexpr std::uint32_t kMinimize = 6;             ///< SW_MINIMIZE
inline constexpr std::uint32_t kMinimizedNoActivate = 7;  ///< SW_SHOWMINNOACTIVE
}  // namespace show_command
/// Whether a show command leaves the window minimized.
inline constexpr bool IsMinimized(std::uint32_t command) noexcept {
  return command == show_command::kMinimized || command == show_command::kMinimize ||
         command == show_command::kMinimizedNoActivate;
}
/// WINDOWPLACEMENT's flag WPF_RESTORETOMAXIMIZED.
inline constexpr std::uint32_t kRestoreToMaximized = 2;
/// ERROR_INVALID_WINDOW_HANDLE: the system's code for a window that is gone,
/// which is what an absent Placement or WindowRect means.
inline constexpr std::uint32_t kInvalidWindowHandle = 1400;

/// How a call on a window ended: true when it did what was asked, else with
/// the system's error code, which the failure comes back with.
struct CallResult {
  std::uint32_t error = 0;  ///< 0 when it succeeded, else the system's code (GetLastError's)
  /// Whether the call succeeded.
  explicit operator bool() const noexcept { return error == 0; }
  /// Both codes equal.
  friend bool operator==(const CallResult&, const CallResult&) = default;
};

/// GetWindowPlacement's record, its normal (restored) rectangle in screen
/// coordinates whatever the system keeps it in.
struct PlacementRecord {
  std::uint32_t flags = 0;                             ///< WINDOWPLACEMENT's flags
  std::uint32_t show_command = show_command::kNormal;  ///< a show_command value
  Point min_position;                                  ///< as the system gives it
  Point max_position;                                  ///< as the system gives it
  Rect normal;                                         ///< the restored rectangle, screen pixels
};

/// DWMWA_CLOAKED's reasons, as Windows numbers them.
namespace cloaked_by {
inline constexpr std::uint32_t kApp = 1;        ///< DWM_CLOAKED_APP: its own program
inline constexpr std::uint32_t kShell = 2;      ///< DWM_CLOAKED_SHELL: on another virtual desktop
inline constexpr std::uint32_t kInherited = 4;  ///< DWM_CLOAKED_INHERITED: from its owner
}  // namespace cloaked_by

/// A top-level window of any program, as EnumWindows finds it: whose it is
/// and what tells whether a person would call it a window.
struct TopWindowFacts {
  std::uintptr_t handle = 0;     ///< the window's handle (HWND) as a number
  std::uint32_t process_id = 0;  ///< GetWindowThreadProcessId
  std::uint32_t thread_id = 0;   ///< GetWindowThreadProcessId
  std::string class_name;        ///< GetClassNameW
  std::string title;             ///< GetWindowTextW (of another program: its caption as sent)
  bool visible = false;          ///< IsWindowVisible
  bool tool_window = false;      ///< WS_EX_TOOLWINDOW
  bool owned = false;            ///< GetWindow(GW_OWNER) names one: a dialog or a palette
  std::uint32_t cloaked = 0;     ///< DWMWA_CLOAKED, cloaked_by bits; 0 without a compositor
  bool shell = false;            ///< the shell's own: GetShellWindow, a task bar
  Rect rect;                     ///< GetWindowRect, screen pixels
  bool minimized = false;        ///< IsIconic
  bool maximized = false;        ///< IsZoomed
  /// Every member equal.
  friend bool operator==(const TopWindowFacts&, const TopWindowFacts&) = default;
};

/// The system the display layer runs on. Adapters are named by their device
/// name ("\\.\DISPLAY1"), monitors and windows by their handles as numbers.
/// Every method may be called from any thread at any time.
class System {
 public:
  virtual ~System() = default;

  /// Every monitor, in EnumDisplayMonitors' order; one that goes between the
  /// two calls is left out.
  virtual std::vector<MonitorFacts> Monitors() = 0;
  /// Every active path, from one query. Absent where the system lacks
  /// DisplayConfig or the query fails.
  virtual std::optional<std::vector<DisplayConfigTarget>> DisplayConfig() = 0;
  /// GetDpiForMonitor's effective DPI; absent without shcore or on failure.
  virtual std::optional<std::uint32_t> MonitorDpi(std::uintptr_t monitor) = 0;
  /// LOGPIXELSX of the screen.
  virtual std::optional<std::uint32_t> SystemDpi() = 0;
  /// Absent where no device context can be made for the adapter.
  virtual std::optional<PhysicalSizeFacts> PhysicalSize(std::string_view adapter) = 0;
  /// Every mode by index, in the platform's order, repeats included.
  virtual std::vector<ModeFacts> Modes(std::string_view adapter) = 0;
  /// Every display adapter, attached to the desktop or not, in
  /// EnumDisplayDevicesW's order, with its monitor and its settings: the one
  /// source of both, read once per snapshot.
  virtual std::vector<AdapterFacts> Adapters() = 0;

  /// ChangeDisplaySettingsExW for one adapter with change_flags; a
  /// change_result. A system that cannot change displays (the default)
  /// answers kFailed.
  virtual std::int32_t ChangeSettings(std::string_view adapter, const SettingsChange& change,
                                      std::uint32_t flags);
  /// ChangeDisplaySettingsExW(NULL, NULL, NULL, 0, NULL): what was written
  /// with kNoReset takes effect, all at once; a change_result.
  virtual std::int32_t ApplySettings();

  /// GetWindowRect, screen pixels; absent when the window is gone. A system
  /// without windows (the default) has none.
  virtual std::optional<Rect> WindowRect(std::uintptr_t window);
  /// GetWindowPlacement, the normal rectangle in screen coordinates; absent
  /// when the window is gone.
  virtual std::optional<PlacementRecord> Placement(std::uintptr_t window);
  /// SetWindowPlacement, the normal rectangle in screen coordinates; failed
  /// with kInvalidWindowHandle when the window is gone. A system without
  /// windows (the default) has none.
  virtual CallResult SetPlacement(std::uintptr_t window, const PlacementRecord& placement);
  /// GetDpiForWindow; absent where the system lacks it or the window is gone.
  virtual std::optional<std::uint32_t> WindowDpi(std::uintptr_t window);
  /// SetWindowPos: moved and sized, not activated, its z-order kept; failed
  /// as SetPlacement.
  virtual CallResult MoveTo(std::uintptr_t window, const Rect& rect);

  /// Every top-level window of the desktop, EnumWindows' order: the top of
  /// the Z-order first. A system without windows (the default) has none.
  virtual std::vector<TopWindowFacts> TopWindows();
  /// The top-level windows' handles alone, in TopWindows' order: the
  /// Z-order read at the cost of EnumWindows only.
  virtual std::vector<std::uintptr_t> Stacking();
  /// The file name of a process's program ("notepad.exe", from
  /// QueryFullProcessImageNameW); empty where it cannot be read (a process
  /// gone, or one of another user's).
  virtual std::string ImageName(std::uint32_t process_id);
  /// ShowWindow with a show_command, of any program's window; failed as
  /// SetPlacement. kMaximized activates the window, kShowNoActivate does not.
  virtual CallResult Show(std::uintptr_t window, std::uint32_t show_command);
  /// GetForegroundWindow; 0 where none.
  virtual std::uintptr_t Foreground();
  /// SetForegroundWindow; failed as SetPlacement, or where the system will
  /// not give this process the foreground.
  virtual CallResult SetForeground(std::uintptr_t window);
  /// SetWindowPos for the Z-order alone: the window right below `above`, or
  /// at the top where `above` is 0; not moved, sized or activated. Failed
  /// as SetPlacement.
  virtual CallResult PlaceBelow(std::uintptr_t window, std::uintptr_t above);

  /// Makes the calling thread per-monitor DPI aware and gives back the
  /// awareness it had, for RestoreAwareness; null where nothing was changed
  /// (a system without thread awareness, the default).
  virtual void* EnterPerMonitorAware() noexcept;
  /// Gives the calling thread the awareness EnterPerMonitorAware took from it.
  virtual void RestoreAwareness(void* previous) noexcept;
};

/// The calls every display fact comes from: the name of 1.0.
using DisplayFactsService = System;

/// The system the library uses now: the one given to UseSystem, else the
/// running one (on Windows, user32's; elsewhere one without displays or
/// windows).
System& CurrentSystem() noexcept;
/// Makes `system` the one the whole process uses from now on (tests, or a
/// program that records or replays); null puts the running one back. The
/// system must outlive its use.
void UseSystem(System* system) noexcept;

#ifdef _WIN32
/// The running Windows system: one per process; it holds no state but what
/// it learns once, so any thread may use it at any time.
System& User32System() noexcept;
/// The running system by the name of 1.0.
System& User32DisplayFacts() noexcept;
#endif

/// The calling thread runs per-monitor aware for the scope's life and gets
/// its own awareness back when it ends.
class PerMonitorAware {
 public:
  /// Makes the calling thread per-monitor aware, where `system` can.
  explicit PerMonitorAware(System& system) noexcept
      : system_(system), previous_(system.EnterPerMonitorAware()) {}
  PerMonitorAware(const PerMonitorAware&) = delete;
  PerMonitorAware& operator=(const PerMonitorAware&) = delete;
  /// Gives the thread its awareness back.
  ~PerMonitorAware() { system_.RestoreAwareness(previous_); }

 private:
  System& system_;
  void* previous_;
};

}  // namespace vantrel::platform
