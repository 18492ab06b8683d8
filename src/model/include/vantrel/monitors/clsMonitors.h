/// @file
/// The monitor list: one clsMonitor per monitor of the desktop, in position
/// order, keyed by the decimal text of its monitor handle. Construction fills
/// it; Refresh rebuilds it from the display service. Beside the list it answers
/// questions about the desktop as it is at the moment of asking: the virtual
/// desktop's bounds, the monitor holding a window or a pixel, and centring a
/// window on a monitor's work area.
///
/// Failures. A member that fails throws vantrel::Failure (vantrel/base/
/// failure.h), whose number() says why; running out of memory throws
/// std::bad_alloc. Members marked noexcept never fail: a step the display
/// service cannot answer is skipped, and they answer with what the other steps
/// gave. The others say below when they fail and with which number.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "vantrel/base/failure.h"
#include "vantrel/monitors/clsMonitor.h"
#include "vantrel/monitors/keyed_collection.h"
#include "vantrel/monitors/toolkit.h"
#include "vantrel/platform/display_service.h"

namespace vantrel {

/// The monitor list: one clsMonitor per monitor of the desktop, in position
/// order, keyed by the decimal text of its monitor handle, and the desktop's
/// bounds and monitor lookups beside it.
class clsMonitors {
 public:
  /// The list: clsMonitor records under their keys.
  using Collection = KeyedCollection<clsMonitor>;

  /// Builds the list (Refresh). The service and the screen must outlive the
  /// object. Without a screen, centring has no twips per pixel and falls back
  /// as when any step fails.
  explicit clsMonitors(platform::DisplayService& service,
                       const ui::Screen* screen = nullptr) noexcept;
  clsMonitors(const clsMonitors&) = delete;
  clsMonitors& operator=(const clsMonitors&) = delete;

  /// The collection, read and replaced. Never null: read while it refers to
  /// nothing, it is created empty first (which fails only when memory runs
  /// out).
  ///@{
  std::shared_ptr<Collection> Monitors();
  void Monitors(std::shared_ptr<Collection> collection) noexcept;
  ///@}

  /// The virtual desktop's bounds in pixels; without multi-monitor support,
  /// the primary screen's with its corner at (0, 0). Asked afresh on every
  /// call. Fails with kFunctionMissing (453) when the service lacks
  /// GetSystemMetrics; never otherwise.
  ///@{
  std::int32_t DesktopLeft();
  std::int32_t DesktopTop();
  std::int32_t DesktopWidth();
  std::int32_t DesktopHeight();
  ///@}

  /// The monitor holding the window, or what dwFlags asks for when none does;
  /// 0 when the lookup cannot be made. Never fails.
  std::int32_t GetMonitorFromWindow(std::int32_t hwnd, std::int32_t dwFlags) noexcept;

  /// Moves FormToCenter, keeping its size, to the centre of the work area of
  /// the monitor holding ReferenceForm's window ("hwnd"), or without one of
  /// the monitor at pixel (1, 1). Where no monitor can be found it centres on
  /// the primary screen. Always false. A step that fails is passed over, and
  /// where the monitor path is out of reach (a service function is missing,
  /// kFunctionMissing) the window is centred on the primary screen instead.
  /// Only when that centring fails too does the call fail, with that failure's
  /// number: kFunctionMissing (453) when the service lacks GetSystemMetrics,
  /// kObjectNotSet (91) without a screen, kOverflow (6) for a size beyond
  /// 32 bits, or whatever the form's Width, Height or Move failed with.
  bool CenterFormOnMonitor(ui::Form& FormToCenter,
                           const std::optional<ui::Value>& ReferenceForm = std::nullopt);

  /// The monitor holding pixel (x, y), or what dwFlags asks for; 0 when the
  /// lookup cannot be made or the pixel's rectangle does not fit in 32 bits.
  std::int32_t GetMonitorFromXYPoint(std::int32_t x, std::int32_t y, std::int32_t dwFlags) noexcept;

  /// Drops the current collection and builds a new one. Never fails: a step
  /// the service cannot answer is skipped, and the list is what the other
  /// steps built.
  void Refresh() noexcept;

 private:
  void Class_Initialize() noexcept;
  std::int32_t GetMetricOrDefault(std::int32_t index, std::int32_t default_value);
  void ClearMonitors() noexcept;
  // Up to the first NUL; the view lies in s.
  static std::string_view TrimNull(std::string_view s) noexcept {
    return s.substr(0, s.find('\0'));
  }
  std::int32_t ScreenWidthTwips();
  std::int32_t ScreenHeightTwips();

  // Monitors() without handing out a reference: created empty when absent.
  Collection& List() {
    if (!Monitors_) Monitors_ = std::make_shared<Collection>();
    return *Monitors_;
  }
  void AddPrimaryScreenRecord() noexcept;
  void CenterOnPrimaryScreen(ui::Form& form);
  const ui::Screen& Screen() const;
  struct Walk;
  void AddAdapterRecord(Walk& w) noexcept;
  void ReadAdapter(Walk& w) noexcept;
  static void FillRecord(clsMonitor& r, const Walk& w) noexcept;
  void InsertRecord(std::shared_ptr<clsMonitor> r, std::int32_t h) noexcept;

  platform::DisplayService& service_;
  const ui::Screen* screen_;
  std::shared_ptr<Collection> Monitors_;
};

}  // namespace vantrel
