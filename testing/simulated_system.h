// The simulated twin of the running system: an in-process platform::System
// answering for a layout described in plain data. FromRects builds a layout
// from a few rectangles with what Wine gives for each display; a test then
// changes what it needs:
//
//   auto layout = SimulatedDisplays::FromRects({{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}});
//   layout.displays[1].target->friendly_name = "";   // no friendly name
//   layout.has_shcore = false;                        // no GetDpiForMonitor
//   SimulatedSystem system(layout);
//   Displays displays = Displays::Take(system);
//   system.Change([](SimulatedDisplays& l) { l.displays.pop_back(); });
//
// Its windows keep their normal rectangle in screen coordinates, and one that
// lands on a display of another DPI rescales itself, as a per-monitor aware
// window does on WM_DPICHANGED. Each thread has a DPI awareness: a thread
// that is not per-monitor aware (python.exe's, most .NET hosts') is told the
// `unaware` layout where a test gives one, as Windows scales every rectangle
// down to 96 DPI for it.
//
// Windows of every program are listed in `windows`, whose facts EnumWindows'
// caller reads; the Z-order is `z_order`, top first, then every window it
// leaves out by handle. The show commands that activate a window (kNormal,
// kMaximized, kMinimized, SW_RESTORE) and SetForeground raise it to the top
// and make it the foreground; kShowNoActivate and kMinimizedNoActivate do
// neither, and kMinimize hands the foreground to the next window down that
// is visible and not minimized.
//
// When a display leaves the desktop (through ChangeSettings, ApplySettings or
// Change), the windows lying mostly on it move as `on_leave` says: by default
// as Windows moves them, onto the primary at the same offset from its work
// area's corner as from the old one's, kept inside it (a maximized window
// maximized there, a minimized one left minimized, the normal rectangle of
// either moved the same way); or as Wine leaves them, or not at all.
//
// Every call locks the system, so another thread may take snapshots while a
// test changes the layout through Change.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/platform/system.h"

namespace vantrel::platform {

struct SimulatedDisplay {
  std::uintptr_t handle = 0;
  std::string device_name;  // as "\\.\DISPLAY1"
  Rect bounds;
  Rect work_area;
  bool primary = false;
  // Its DisplayConfig path; absent: DisplayConfig lists none for it. An empty
  // source name stands for the device name.
  std::optional<DisplayConfigTarget> target;
  // More paths of the same source, listed with `target`: monitors showing
  // its picture (a clone group). Empty source names as in `target`.
  std::vector<DisplayConfigTarget> clones;
  // What EnumDisplayDevicesW says of its monitor; absent: the call fails.
  std::optional<MonitorDevice> device;
  // GetDpiForMonitor's answer; absent: the call fails.
  std::optional<std::uint32_t> dpi = 96;
  // HORZSIZE and VERTSIZE; absent: no device context can be made.
  std::optional<PhysicalSizeFacts> physical_size;
  std::optional<ModeFacts> current_mode;
  std::vector<ModeFacts> modes;  // in the order the platform would list them
  // False: an adapter whose monitor is connected (where `device` is given) but
  // not part of the desktop. Only Adapters and Modes list it.
  bool attached = true;
  // The settings the system keeps for it (ENUM_REGISTRY_SETTINGS); absent:
  // the call fails.
  std::optional<SettingsFacts> registry;
  // Its driver offers every mode turned a quarter (orientation 1 to 3) too;
  // the dummy X driver under Wine offers none.
  bool rotates = false;
};

struct SimulatedWindow {
  Rect rect;    // GetWindowRect; a maximized window fills its display's work area
  Rect normal;  // screen coordinates
  std::uint32_t show = show_command::kNormal;
  std::uint32_t flags = 0;
  // Not 0: every call that would change it (SetPlacement, MoveTo, Show,
  // SetForeground, PlaceBelow) fails with this code and leaves it as it is:
  // an elevated program's window.
  std::uint32_t refuses = 0;
  // Whose it is and what tells a window a person would call one.
  std::uint32_t process_id = 0;
  std::uint32_t thread_id = 0;
  std::string class_name{};
  std::string title{};
  std::string image{};  // its program's file name; empty: ImageName cannot read it
  bool visible = true;
  bool tool_window = false;
  bool owned = false;
  std::uint32_t cloaked = 0;  // cloaked_by bits
  bool shell = false;
  // SetPlacement fails with ERROR_ACCESS_DENIED and leaves it while MoveTo
  // and Show work: another program's window under Wine.
  bool placement_fails = false;
  // Under Wine, a window maximized right after a move is un-maximized when
  // the move's late answer comes, left at its maximized rectangle: here, at
  // the next read of the windows.
  bool late_unmaximize = false;
  bool moved_unread = false;        // moved since the windows were last read
  bool unmaximize_at_read = false;  // maximized right after such a move
};

struct SimulatedDisplays {
  // In EnumDisplayMonitors' order, which is EnumDisplayDevicesW's too.
  std::vector<SimulatedDisplay> displays;
  bool has_display_config = true;  // false: the system lacks it, or the query fails
  bool has_shcore = true;          // false: no GetDpiForMonitor
  std::optional<std::uint32_t> system_dpi = 96;
  std::map<std::uintptr_t, SimulatedWindow> windows;  // by handle
  // Top first; windows left out come after, by handle, and handles of no
  // window are passed over.
  std::vector<std::uintptr_t> z_order;
  std::uintptr_t foreground = 0;

  // One display per rectangle, the first the primary, each as Wine gives it:
  // named "DisplayN" with a device path of its own, the device string
  // "Generic Non-PnP Monitor", 96 DPI, millimetres derived from the pixels,
  // internal, 60 Hz, 32 bits, and its mode and 800 x 600 at 8, 16 and 32 bits,
  // some listed twice.
  static SimulatedDisplays FromRects(const std::vector<Rect>& bounds);

  // Null when no display has the name.
  SimulatedDisplay* Find(std::string_view device_name);
};

class SimulatedSystem final : public System {
 public:
  explicit SimulatedSystem(SimulatedDisplays layout = {}) : layout_(std::move(layout)) {}
  // `unaware`: what a thread that is not per-monitor aware is told.
  SimulatedSystem(SimulatedDisplays layout, SimulatedDisplays unaware)
      : layout_(std::move(layout)), unaware_(std::move(unaware)) {}

  // The calling thread's awareness: unaware unless a test says otherwise.
  static inline thread_local bool per_monitor_aware = false;
  // False: a system without SetThreadDpiAwarenessContext (before Windows 10
  // 1607), where no thread's awareness can be changed.
  bool can_set_awareness = true;

  // For the thread that takes the snapshots; others use Change.
  SimulatedDisplays& layout() { return layout_; }
  void Change(const std::function<void(SimulatedDisplays&)>& change);
  // Run each time new settings take effect, after they did: a test makes the
  // system give something else than it was asked for.
  std::function<void(SimulatedDisplays&)> after_reset;

  // What becomes of the windows of a display that leaves the desktop.
  enum class OnLeave {
    kToPrimary,  // moved onto the primary, as Windows does
    kWine,       // a maximized one restored where its normal rectangle is, off every display
    kStay,       // nothing
  };
  OnLeave on_leave = OnLeave::kToPrimary;

  // How many times each method was called.
  struct Counts {
    int monitors = 0;
    int display_config = 0;
    int monitor_dpi = 0;
    int system_dpi = 0;
    int physical_size = 0;
    int modes = 0;
    int adapters = 0;
    int window_rect = 0;
    int placements = 0;  // Placement
    int set_placements = 0;
    int moves = 0;  // MoveTo
    int top_windows = 0;
    int stackings = 0;
    int image_names = 0;
    int shows = 0;
    int set_foregrounds = 0;
    int place_belows = 0;
    int change_settings = 0;  // ChangeSettings, kTest included
    int resets = 0;           // times new settings took effect
  };
  Counts counts() const;

  std::vector<MonitorFacts> Monitors() override;
  // The paths in the reverse of the displays' order, a display's clones
  // before its own: nothing promises they come in the monitors' order.
  std::optional<std::vector<DisplayConfigTarget>> DisplayConfig() override;
  std::optional<std::uint32_t> MonitorDpi(std::uintptr_t monitor) override;
  std::optional<std::uint32_t> SystemDpi() override;
  std::optional<PhysicalSizeFacts> PhysicalSize(std::string_view adapter) override;
  std::vector<ModeFacts> Modes(std::string_view adapter) override;
  // Current settings: the display's bounds' corner and its current mode.
  std::vector<AdapterFacts> Adapters() override;
  // A mode is set when the display offers it (its list or the one in use),
  // width and height as asked, 0 fields kept; kSetPrimary makes it the
  // primary, as Windows does. Written with kNoReset it waits for
  // ApplySettings.
  std::int32_t ChangeSettings(std::string_view adapter, const SettingsChange& change,
                              std::uint32_t flags) override;
  std::int32_t ApplySettings() override;
  std::optional<Rect> WindowRect(std::uintptr_t window) override;
  std::optional<PlacementRecord> Placement(std::uintptr_t window) override;
  CallResult SetPlacement(std::uintptr_t window, const PlacementRecord& placement) override;
  std::optional<std::uint32_t> WindowDpi(std::uintptr_t window) override;
  CallResult MoveTo(std::uintptr_t window, const Rect& rect) override;
  std::vector<TopWindowFacts> TopWindows() override;
  std::vector<std::uintptr_t> Stacking() override;
  // The `image` of the first window of the process that has one.
  std::string ImageName(std::uint32_t process_id) override;
  CallResult Show(std::uintptr_t window, std::uint32_t show_command) override;
  // 0 where the foreground window is gone.
  std::uintptr_t Foreground() override;
  CallResult SetForeground(std::uintptr_t window) override;
  CallResult PlaceBelow(std::uintptr_t window, std::uintptr_t above) override;
  void* EnterPerMonitorAware() noexcept override;
  void RestoreAwareness(void* previous) noexcept override;

 private:
  // The layout the calling thread is told, by its awareness.
  SimulatedDisplays& Seen();
  const SimulatedDisplay* Adapter(std::string_view name);
  // Null for a detached one too: the calls that only the desktop's
  // displays answer.
  const SimulatedDisplay* Attached(std::string_view name);
  // The attached display sharing the most area with the rectangle, else the
  // first attached one.
  const SimulatedDisplay& DisplayOf(const Rect& r);
  SimulatedWindow* Find(std::uintptr_t window);
  // The window lands at `rect`, and rescales itself when its DPI changed.
  void Land(SimulatedWindow& w, const Rect& rect);

  // Puts the written settings in force: one reset.
  void Reset();
  // Moves the windows of the displays of `before` that `layout` no longer
  // has attached, as `on_leave` says.
  void MoveOrphans(SimulatedDisplays& layout, const std::vector<SimulatedDisplay>& before);
  // Every window of the layout, top first.
  std::vector<std::uintptr_t> Stacked();
  // The window goes right below `above`, or to the top where that is 0.
  void Restack(std::uintptr_t window, std::uintptr_t above);

  struct Pending {
    std::string adapter;
    SettingsChange change;
    std::uint32_t flags;
  };
  std::vector<Pending> pending_;
  mutable std::mutex mutex_;
  SimulatedDisplays layout_;
  std::optional<SimulatedDisplays> unaware_;
  Counts counts_;
  char aware_ = 0;
  char unaware_mark_ = 0;
};

}  // namespace vantrel::platform
