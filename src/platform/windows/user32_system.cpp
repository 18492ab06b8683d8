#include <windows.h>
// After windows.h, whose types it uses.
#include <shellscalingapi.h>

#include <algorithm>
#include <cwchar>
#include <exception>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/base/current_port.h"
#include "vantrel/base/handle_owners.h"
#include "vantrel/base/utf16.h"
#include "vantrel/platform/dynamic_functions.h"
#include "vantrel/platform/normal_coordinates.h"
#include "vantrel/platform/system.h"

namespace vantrel::platform {

static_assert(output_technology::kOther ==
                  static_cast<std::uint32_t>(DISPLAYCONFIG_OUTPUT_TECHNOLOGY_OTHER) &&
              output_technology::kHd15 == DISPLAYCONFIG_OUTPUT_TECHNOLOGY_HD15 &&
              output_technology::kDvi == DISPLAYCONFIG_OUTPUT_TECHNOLOGY_DVI &&
              output_technology::kHdmi == DISPLAYCONFIG_OUTPUT_TECHNOLOGY_HDMI &&
              output_technology::kLvds == DISPLAYCONFIG_OUTPUT_TECHNOLOGY_LVDS &&
              output_technology::kDisplayPortExternal ==
                  DISPLAYCONFIG_OUTPUT_TECHNOLOGY_DISPLAYPORT_EXTERNAL &&
              output_technology::kDisplayPortEmbedded ==
                  DISPLAYCONFIG_OUTPUT_TECHNOLOGY_DISPLAYPORT_EMBEDDED &&
              output_technology::kUdiEmbedded == DISPLAYCONFIG_OUTPUT_TECHNOLOGY_UDI_EMBEDDED &&
              output_technology::kInternal ==
                  static_cast<std::uint32_t>(DISPLAYCONFIG_OUTPUT_TECHNOLOGY_INTERNAL));
static_assert(show_command::kNormal == SW_SHOWNORMAL &&
              show_command::kMinimized == SW_SHOWMINIMIZED &&
              show_command::kMaximized == SW_SHOWMAXIMIZED &&
              show_command::kShowNoActivate == SW_SHOWNOACTIVATE &&
              show_command::kMinimize == SW_MINIMIZE &&
              show_command::kMinimizedNoActivate == SW_SHOWMINNOACTIVE &&
              kRestoreToMaximized == WPF_RESTORETOMAXIMIZED &&
              kInvalidWindowHandle == ERROR_INVALID_WINDOW_HANDLE);
static_assert(change_flags::kUpdateRegistry == CDS_UPDATEREGISTRY &&
              change_flags::kTest == CDS_TEST && change_flags::kFullscreen == CDS_FULLSCREEN &&
              change_flags::kSetPrimary == CDS_SET_PRIMARY &&
              change_flags::kNoReset == CDS_NORESET &&
              change_result::kSuccessful == DISP_CHANGE_SUCCESSFUL &&
              change_result::kRestart == DISP_CHANGE_RESTART &&
              change_result::kFailed == DISP_CHANGE_FAILED &&
              change_result::kBadMode == DISP_CHANGE_BADMODE &&
              change_result::kNotUpdated == DISP_CHANGE_NOTUPDATED &&
              change_result::kBadFlags == DISP_CHANGE_BADFLAGS &&
              change_result::kBadParam == DISP_CHANGE_BADPARAM &&
              change_result::kBadDualView == DISP_CHANGE_BADDUALVIEW);
static_assert(cloaked_by::kApp == DWM_CLOAKED_APP && cloaked_by::kShell == DWM_CLOAKED_SHELL &&
              cloaked_by::kInherited == DWM_CLOAKED_INHERITED);
static_assert(rotation::kIdentity == DISPLAYCONFIG_ROTATION_IDENTITY &&
              rotation::kRotate90 == DISPLAYCONFIG_ROTATION_ROTATE90 &&
              rotation::kRotate180 == DISPLAYCONFIG_ROTATION_ROTATE180 &&
              rotation::kRotate270 == DISPLAYCONFIG_ROTATION_ROTATE270);

namespace {

// A fixed-width text field up to its first NUL, or whole where it has none.
template <std::size_t N>
std::string FieldText(const wchar_t (&field)[N]) {
  return Utf8({field, wcsnlen(field, N)});
}

Rect FromRECT(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
RECT ToRECT(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }
HWND HandleOf(std::uintptr_t window) { return reinterpret_cast<HWND>(window); }
// A width or height as SetWindowPos and CreateWindowEx take it: an inverted
// rectangle is empty, and none is wider than an int.
int Extent(std::int64_t length) {
  return static_cast<int>(std::clamp<std::int64_t>(length, 0, INT32_MAX));
}

// The monitor's rectangle and work area; absent when it cannot be read.
std::optional<MonitorAreas> AreasOf(HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) return std::nullopt;
  return MonitorAreas{FromRECT(info.rcMonitor), FromRECT(info.rcWork)};
}

// How a call that answers BOOL ended, with its code where it failed; never
// 0 then: a failure that left no code is still told as one.
CallResult Ended(BOOL done) {
  if (done) return {};
  const DWORD code = GetLastError();
  return {code != 0 ? code : ERROR_GEN_FAILURE};
}

// A window whose normal rectangle is in screen coordinates whatever the
// system's convention.
bool PlacedOnScreen(HWND window) {
  return (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) != 0 ||
         (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
}

// The normal rectangle a hidden top-level window made at `r` gets: a window
// without WS_EX_TOOLWINDOW, never shown.
std::optional<Rect> ProbeNormalRect(const Rect& r) {
  const UniqueWindow probe(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, r.left, r.top,
                                           Extent(r.width()), Extent(r.height()), nullptr, nullptr,
                                           GetModuleHandleW(nullptr), nullptr));
  if (!probe) return std::nullopt;
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (!GetWindowPlacement(probe.get(), &wp)) return std::nullopt;
  return FromRECT(wp.rcNormalPosition);
}

ModeFacts FromDevMode(const DEVMODEW& dm) {
  ModeFacts mode{static_cast<std::int32_t>(dm.dmPelsWidth),
                 static_cast<std::int32_t>(dm.dmPelsHeight),
                 static_cast<std::int32_t>(dm.dmBitsPerPel),
                 static_cast<std::int32_t>(dm.dmDisplayFrequency), std::nullopt};
  if (dm.dmFields & DM_DISPLAYORIENTATION) mode.orientation = dm.dmDisplayOrientation;
  return mode;
}

// DEVMODEW with no driver data after it, so nothing is written past it.
DEVMODEW EmptyDevMode() {
  DEVMODEW dm{};
  dm.dmSize = sizeof dm;
  dm.dmDriverExtra = 0;
  return dm;
}

// A mode list no driver ends would otherwise never end.
constexpr DWORD kMostModes = 1u << 16;
// Nor would an adapter list; no machine has nearly this many.
constexpr DWORD kMostAdapters = 256;

// The adapter's first monitor; absent where none is connected.
std::optional<MonitorDevice> FirstMonitor(const wchar_t* adapter) {
  DISPLAY_DEVICEW device{};
  device.cb = sizeof device;
  if (!EnumDisplayDevicesW(adapter, 0, &device, EDD_GET_DEVICE_INTERFACE_NAME)) {
    return std::nullopt;
  }
  return MonitorDevice{FieldText(device.DeviceString), FieldText(device.DeviceID)};
}

// The settings EnumDisplaySettingsExW gives for `which` (ENUM_CURRENT_SETTINGS
// or ENUM_REGISTRY_SETTINGS); absent when the call fails.
std::optional<SettingsFacts> SettingsOf(const wchar_t* adapter, DWORD which) {
  DEVMODEW dm = EmptyDevMode();
  if (!EnumDisplaySettingsExW(adapter, which, &dm, 0)) return std::nullopt;
  SettingsFacts settings{{}, FromDevMode(dm)};
  // dmPosition shares its bytes with printers' fields: it means something
  // only where the mode says it does.
  if (dm.dmFields & DM_POSITION) settings.position = {dm.dmPosition.x, dm.dmPosition.y};
  return settings;
}

// The handles an enumeration gives, one by one.
template <typename Handle>
struct Handles {
  std::vector<Handle> handles;
  std::exception_ptr failure;  // nothing may be thrown through user32's frames

  BOOL Add(Handle handle) noexcept {
    try {
      handles.push_back(handle);
      return TRUE;
    } catch (...) {
      failure = std::current_exception();
      return FALSE;
    }
  }
};
using MonitorHandles = Handles<HMONITOR>;
using WindowHandles = Handles<HWND>;

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  return reinterpret_cast<MonitorHandles*>(data)->Add(monitor);
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
  return reinterpret_cast<WindowHandles*>(data)->Add(window);
}

// The longest name a window class can have, and its NUL.
constexpr int kClassNameSize = 257;

// The caption as much of it as fits in what its length said: another
// program's can change between the two calls.
// GetWindowTextW reads another program's caption without a message (so a
// program that hangs cannot hang the reader), where GetWindowTextLengthW
// would send one: a buffer that grows while the text fills it.
std::string TitleOf(HWND window) {
  std::wstring text(256, L'\0');
  for (;;) {
    const int size = static_cast<int>(text.size());
    const int copied = GetWindowTextW(window, text.data(), size);
    if (copied < size - 1 || text.size() >= 32768) {
      text.resize(static_cast<std::size_t>(std::clamp(copied, 0, size - 1)));
      return Utf8(text);
    }
    text.assign(text.size() * 2, L'\0');
  }
}

std::wstring ClassNameOf(HWND window) {
  wchar_t name[kClassNameSize];
  const int copied = GetClassNameW(window, name, kClassNameSize);
  return {name, static_cast<std::size_t>(std::clamp(copied, 0, kClassNameSize - 1))};
}

std::uint32_t CloakedOf(HWND window) {
  const auto get = OptionalDwmapi().DwmGetWindowAttribute;
  DWORD cloaked = 0;
  if (!get || FAILED(get(window, DWMWA_CLOAKED, &cloaked, sizeof cloaked))) return 0;
  return cloaked;
}

// A program's path can be as long as any path: 32767 characters.
constexpr DWORD kLongestPath = 32768;

class User32 final : public System {
 public:
  std::vector<MonitorFacts> Monitors() override {
    MonitorHandles found;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&found));
    if (found.failure) std::rethrow_exception(found.failure);
    std::vector<MonitorFacts> monitors;
    monitors.reserve(found.handles.size());
    for (HMONITOR h : found.handles) {
      MONITORINFOEXW info{};
      info.cbSize = sizeof info;
      if (!GetMonitorInfoW(h, &info)) continue;
      monitors.push_back({reinterpret_cast<std::uintptr_t>(h), FieldText(info.szDevice),
                          FromRECT(info.rcMonitor), FromRECT(info.rcWork),
                          (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    }
    return monitors;
  }

  std::optional<std::vector<DisplayConfigTarget>> DisplayConfig() override {
    const User32Optional& user32 = OptionalUser32();
    if (!user32.GetDisplayConfigBufferSizes || !user32.QueryDisplayConfig ||
        !user32.DisplayConfigGetDeviceInfo) {
      return std::nullopt;
    }
    std::vector<DISPLAYCONFIG_PATH_INFO> paths;
    std::vector<DISPLAYCONFIG_MODE_INFO> modes;
    LONG result = ERROR_INSUFFICIENT_BUFFER;
    // A display that arrives between the two calls makes the sizes too small;
    // then they are asked again.
    for (int attempt = 0; attempt < 3 && result == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
      UINT32 path_count = 0;
      UINT32 mode_count = 0;
      if (user32.GetDisplayConfigBufferSizes(QDC_ONLY_ACTIVE_PATHS, &path_count, &mode_count) !=
          ERROR_SUCCESS) {
        return std::nullopt;
      }
      if (path_count == 0) return std::vector<DisplayConfigTarget>{};
      paths.resize(path_count);
      modes.resize(mode_count);
      result = user32.QueryDisplayConfig(QDC_ONLY_ACTIVE_PATHS, &path_count, paths.data(),
                                         &mode_count, modes.data(), nullptr);
      if (result == ERROR_SUCCESS) paths.resize(path_count);
    }
    if (result != ERROR_SUCCESS) return std::nullopt;

    std::vector<DisplayConfigTarget> targets;
    targets.reserve(paths.size());
    for (const DISPLAYCONFIG_PATH_INFO& path : paths) {
      DISPLAYCONFIG_SOURCE_DEVICE_NAME source{};
      source.header = {DISPLAYCONFIG_DEVICE_INFO_GET_SOURCE_NAME, sizeof source,
                       path.sourceInfo.adapterId, path.sourceInfo.id};
      // Without its source's name a path cannot be matched to a monitor.
      if (user32.DisplayConfigGetDeviceInfo(&source.header) != ERROR_SUCCESS) continue;
      DisplayConfigTarget target;
      target.source_name = FieldText(source.viewGdiDeviceName);
      DISPLAYCONFIG_TARGET_DEVICE_NAME name{};
      name.header = {DISPLAYCONFIG_DEVICE_INFO_GET_TARGET_NAME, sizeof name,
                     path.targetInfo.adapterId, path.targetInfo.id};
      // The target's own output technology where it has one: the path's can
      // say otherwise (Wine 8 gives DisplayPort for a path whose target says
      // internal).
      target.output_technology = static_cast<std::uint32_t>(path.targetInfo.outputTechnology);
      if (user32.DisplayConfigGetDeviceInfo(&name.header) == ERROR_SUCCESS) {
        target.friendly_name = FieldText(name.monitorFriendlyDeviceName);
        target.device_path = FieldText(name.monitorDevicePath);
        target.output_technology = static_cast<std::uint32_t>(name.outputTechnology);
      }
      target.rotation = static_cast<std::uint32_t>(path.targetInfo.rotation);
      target.refresh_numerator = path.targetInfo.refreshRate.Numerator;
      target.refresh_denominator = path.targetInfo.refreshRate.Denominator;
      targets.push_back(std::move(target));
    }
    return targets;
  }

  std::optional<std::uint32_t> MonitorDpi(std::uintptr_t monitor) override {
    const auto get_dpi = OptionalShcore().GetDpiForMonitor;
    if (!get_dpi) return std::nullopt;
    UINT x = 0;
    UINT y = 0;
    if (FAILED(get_dpi(reinterpret_cast<HMONITOR>(monitor), MDT_EFFECTIVE_DPI, &x, &y))) {
      return std::nullopt;
    }
    return x;
  }

  std::optional<std::uint32_t> SystemDpi() override {
    const UniqueScreenDC screen(GetDC(nullptr));
    if (!screen) return std::nullopt;
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSX);
    if (dpi <= 0) return std::nullopt;
    return static_cast<std::uint32_t>(dpi);
  }

  std::optional<PhysicalSizeFacts> PhysicalSize(std::string_view adapter) override {
    const std::wstring name = Utf16(adapter);
    const UniqueDC dc(CreateDCW(nullptr, name.c_str(), nullptr, nullptr));
    if (!dc) return std::nullopt;
    return PhysicalSizeFacts{GetDeviceCaps(dc.get(), HORZSIZE), GetDeviceCaps(dc.get(), VERTSIZE)};
  }

  std::vector<ModeFacts> Modes(std::string_view adapter) override {
    const std::wstring name = Utf16(adapter);
    std::vector<ModeFacts> modes;
    for (DWORD index = 0; index < kMostModes; ++index) {
      DEVMODEW dm = EmptyDevMode();
      if (!EnumDisplaySettingsExW(name.c_str(), index, &dm, 0)) break;
      modes.push_back(FromDevMode(dm));
    }
    return modes;
  }

  std::vector<AdapterFacts> Adapters() override {
    std::vector<AdapterFacts> adapters;
    for (DWORD index = 0; index < kMostAdapters; ++index) {
      DISPLAY_DEVICEW device{};
      device.cb = sizeof device;
      if (!EnumDisplayDevicesW(nullptr, index, &device, 0)) break;
      // Whole up to its first NUL, so the calls below get a terminated name.
      const std::wstring name(device.DeviceName,
                              wcsnlen(device.DeviceName, std::size(device.DeviceName)));
      AdapterFacts adapter;
      adapter.device_name = Utf8(name);
      adapter.attached = (device.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) != 0;
      adapter.primary = (device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) != 0;
      // An empty name would ask about whichever adapter the platform takes
      // for the default.
      if (name.empty()) {
        adapters.push_back(std::move(adapter));
        continue;
      }
      adapter.monitor = FirstMonitor(name.c_str());
      adapter.registry = SettingsOf(name.c_str(), ENUM_REGISTRY_SETTINGS);
      if (adapter.attached) adapter.current = SettingsOf(name.c_str(), ENUM_CURRENT_SETTINGS);
      adapters.push_back(std::move(adapter));
    }
    return adapters;
  }

  std::int32_t ChangeSettings(std::string_view adapter, const SettingsChange& change,
                              std::uint32_t flags) override {
    const std::wstring name = Utf16(adapter);
    DEVMODEW dm = EmptyDevMode();
    if (!change.attached) {
      // Detached: no pixels, at its place.
      dm.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_POSITION;
      if (change.position) dm.dmPosition = {change.position->x, change.position->y};
    } else {
      const ModeFacts& m = change.mode;
      const auto set = [&](DWORD field, DWORD& to, std::int32_t value) {
        if (value <= 0) return;
        dm.dmFields |= field;
        to = static_cast<DWORD>(value);
      };
      set(DM_PELSWIDTH, dm.dmPelsWidth, m.width);
      set(DM_PELSHEIGHT, dm.dmPelsHeight, m.height);
      set(DM_BITSPERPEL, dm.dmBitsPerPel, m.bits_per_pixel);
      set(DM_DISPLAYFREQUENCY, dm.dmDisplayFrequency, m.frequency);
      if (m.orientation) {
        dm.dmFields |= DM_DISPLAYORIENTATION;
        dm.dmDisplayOrientation = *m.orientation;
      }
      if (change.position) {
        dm.dmFields |= DM_POSITION;
        dm.dmPosition = {change.position->x, change.position->y};
      }
    }
    return ChangeDisplaySettingsExW(name.c_str(), &dm, nullptr, flags, nullptr);
  }

  std::int32_t ApplySettings() override {
    return ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr);
  }

  std::optional<Rect> WindowRect(std::uintptr_t window) override {
    RECT rc{};
    if (!GetWindowRect(HandleOf(window), &rc)) return std::nullopt;
    return FromRECT(rc);
  }

  std::optional<PlacementRecord> Placement(std::uintptr_t window) override {
    const HWND hwnd = HandleOf(window);
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (!GetWindowPlacement(hwnd, &wp)) return std::nullopt;
    PlacementRecord record{wp.flags,
                           wp.showCmd,
                           {wp.ptMinPosition.x, wp.ptMinPosition.y},
                           {wp.ptMaxPosition.x, wp.ptMaxPosition.y},
                           FromRECT(wp.rcNormalPosition)};
    // For a minimized window Windows takes the monitor of the rectangle it
    // will be restored to.
    const auto monitor = AreasOf(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST));
    if (!monitor) return record;
    const bool on_screen = PlacedOnScreen(hwnd);
    RECT rc{};
    if (!on_screen && !IsIconic(hwnd) && !IsZoomed(hwnd) && GetWindowRect(hwnd, &rc)) {
      converter_.Observe(FromRECT(rc), record.normal, *monitor);
    }
    record.normal = converter_.ToScreen(record.normal, on_screen, *monitor);
    return record;
  }

  CallResult SetPlacement(std::uintptr_t window, const PlacementRecord& p) override {
    const HWND hwnd = HandleOf(window);
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    wp.flags = p.flags;
    wp.showCmd = p.show_command;
    wp.ptMinPosition = {p.min_position.x, p.min_position.y};
    wp.ptMaxPosition = {p.max_position.x, p.max_position.y};
    RECT normal = ToRECT(p.normal);
    if (const auto monitor = AreasOf(MonitorFromRect(&normal, MONITOR_DEFAULTTONEAREST))) {
      normal = ToRECT(converter_.ToSystem(p.normal, PlacedOnScreen(hwnd), *monitor));
    }
    wp.rcNormalPosition = normal;
    return Ended(SetWindowPlacement(hwnd, &wp));
  }

  std::optional<std::uint32_t> WindowDpi(std::uintptr_t window) override {
    const auto get_dpi = OptionalUser32().GetDpiForWindow;
    if (!get_dpi) return std::nullopt;
    const UINT dpi = get_dpi(HandleOf(window));
    if (dpi == 0) return std::nullopt;
    return dpi;
  }

  CallResult MoveTo(std::uintptr_t window, const Rect& r) override {
    return Ended(SetWindowPos(HandleOf(window), nullptr, r.left, r.top, Extent(r.width()),
                              Extent(r.height()),
                              SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER));
  }

  std::vector<TopWindowFacts> TopWindows() override {
    WindowHandles found;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&found));
    if (found.failure) std::rethrow_exception(found.failure);
    const HWND shell = GetShellWindow();
    std::vector<TopWindowFacts> windows;
    windows.reserve(found.handles.size());
    for (HWND h : found.handles) {
      TopWindowFacts w;
      DWORD process = 0;
      w.thread_id = GetWindowThreadProcessId(h, &process);
      // Gone since it was listed.
      if (w.thread_id == 0) continue;
      w.handle = reinterpret_cast<std::uintptr_t>(h);
      w.process_id = process;
      const std::wstring class_name = ClassNameOf(h);
      w.class_name = Utf8(class_name);
      w.title = TitleOf(h);
      w.visible = IsWindowVisible(h) != FALSE;
      w.tool_window = (GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
      w.owned = GetWindow(h, GW_OWNER) != nullptr;
      w.cloaked = CloakedOf(h);
      w.shell =
          h == shell || class_name == L"Shell_TrayWnd" || class_name == L"Shell_SecondaryTrayWnd";
      RECT rc{};
      if (GetWindowRect(h, &rc)) w.rect = FromRECT(rc);
      w.minimized = IsIconic(h) != FALSE;
      w.maximized = IsZoomed(h) != FALSE;
      windows.push_back(std::move(w));
    }
    return windows;
  }

  std::vector<std::uintptr_t> Stacking() override {
    WindowHandles found;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&found));
    if (found.failure) std::rethrow_exception(found.failure);
    std::vector<std::uintptr_t> handles;
    handles.reserve(found.handles.size());
    for (HWND h : found.handles) handles.push_back(reinterpret_cast<std::uintptr_t>(h));
    return handles;
  }

  std::string ImageName(std::uint32_t process_id) override {
    const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id));
    if (!process) return {};
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
      DWORD size = static_cast<DWORD>(path.size());
      if (QueryFullProcessImageNameW(process.get(), 0, path.data(), &size)) {
        path.resize(std::min<std::size_t>(size, path.size()));
        break;
      }
      if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || path.size() >= kLongestPath) return {};
      path.resize(kLongestPath);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    return Utf8(slash == std::wstring::npos ? path : path.substr(slash + 1));
  }

  // ShowWindow answers whether the window was visible before, not whether
  // it did anything: only a window that is gone fails.
  CallResult Show(std::uintptr_t window, std::uint32_t show_command) override {
    const HWND hwnd = HandleOf(window);
    if (!IsWindow(hwnd)) return {kInvalidWindowHandle};
    ShowWindow(hwnd, static_cast<int>(show_command));
    return {};
  }

  std::uintptr_t Foreground() override {
    return reinterpret_cast<std::uintptr_t>(GetForegroundWindow());
  }

  // A refusal of the foreground leaves no code of its own.
  CallResult SetForeground(std::uintptr_t window) override {
    const HWND hwnd = HandleOf(window);
    if (!IsWindow(hwnd)) return {kInvalidWindowHandle};
    SetLastError(ERROR_SUCCESS);
    return Ended(SetForegroundWindow(hwnd));
  }

  CallResult PlaceBelow(std::uintptr_t window, std::uintptr_t above) override {
    return Ended(SetWindowPos(HandleOf(window), above ? HandleOf(above) : HWND_TOP, 0, 0, 0, 0,
                              SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
  }

  // Per-monitor v2 where the system has it (Windows 10 1703 on), else the
  // first per-monitor awareness (1607); before 1607 there is no thread
  // awareness to set.
  void* EnterPerMonitorAware() noexcept override {
    const auto set = OptionalUser32().SetThreadDpiAwarenessContext;
    if (!set) return nullptr;
    if (void* previous = set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)) return previous;
    return set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
  }
  void RestoreAwareness(void* previous) noexcept override {
    const auto set = OptionalUser32().SetThreadDpiAwarenessContext;
    if (set && previous) set(static_cast<DPI_AWARENESS_CONTEXT>(previous));
  }

  NormalConverter converter_{&ProbeNormalRect};
};

}  // namespace

namespace {
User32& Running() noexcept {
  static User32 system;
  return system;
}
}  // namespace

System& User32System() noexcept { return Running(); }

std::optional<NormalCoordinates> LearntConvention() noexcept {
  return Running().converter_.learnt();
}

template <>
System& RunningPort<System>() noexcept {
  return User32System();
}

System& User32DisplayFacts() noexcept { return User32System(); }

}  // namespace vantrel::platform
