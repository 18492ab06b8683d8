// A system that counts the calls made through it, and where asked times
// them, forwarding each to the real one: what a piece of the library asks of
// the system, call by call.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/platform/system.h"

namespace vantrel::bench {

class CountingSystem final : public platform::System {
 public:
  enum Call {
    kMonitors,
    kDisplayConfig,
    kMonitorDpi,
    kSystemDpi,
    kPhysicalSize,
    kModes,
    kAdapters,
    kChangeSettings,
    kApplySettings,
    kWindowRect,
    kPlacement,
    kSetPlacement,
    kWindowDpi,
    kMoveTo,
    kTopWindows,
    kImageName,
    kShow,
    kForeground,
    kSetForeground,
    kPlaceBelow,
    kAwareness,
    kCalls
  };
  static constexpr std::array<std::string_view, kCalls> kNames = {
      "Monitors",  "DisplayConfig", "MonitorDpi",     "SystemDpi",     "PhysicalSize",
      "Modes",     "Adapters",      "ChangeSettings", "ApplySettings", "WindowRect",
      "Placement", "SetPlacement",  "WindowDpi",      "MoveTo",        "TopWindows",
      "ImageName", "Show",          "Foreground",     "SetForeground", "PlaceBelow",
      "Awareness"};

 private:
  // Defined before the calls that use it, which deduce its type.
  template <class Body>
  auto Do(Call c, Body&& body) {
    calls_[c].fetch_add(1, std::memory_order_relaxed);
    if (!timed_) return body();
    const auto start = std::chrono::steady_clock::now();
    auto result = body();
    micros_[c] +=
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    return result;
  }

 public:
  explicit CountingSystem(platform::System& inner) : inner_(inner) {}

  // Counts (and times) from zero; timing costs two clock reads a call, so it
  // is for a breakdown, never for a figure compared with bare calls.
  void Reset(bool timed) {
    for (auto& c : calls_) c.store(0, std::memory_order_relaxed);
    micros_.fill(0);
    timed_ = timed;
  }
  long Calls(Call c) const { return calls_[c].load(std::memory_order_relaxed); }
  double Micros(Call c) const { return micros_[c]; }

  std::vector<platform::MonitorFacts> Monitors() override {
    return Do(kMonitors, [&] { return inner_.Monitors(); });
  }
  std::optional<std::vector<platform::DisplayConfigTarget>> DisplayConfig() override {
    return Do(kDisplayConfig, [&] { return inner_.DisplayConfig(); });
  }
  std::optional<std::uint32_t> MonitorDpi(std::uintptr_t monitor) override {
    return Do(kMonitorDpi, [&] { return inner_.MonitorDpi(monitor); });
  }
  std::optional<std::uint32_t> SystemDpi() override {
    return Do(kSystemDpi, [&] { return inner_.SystemDpi(); });
  }
  std::optional<platform::PhysicalSizeFacts> PhysicalSize(std::string_view adapter) override {
    return Do(kPhysicalSize, [&] { return inner_.PhysicalSize(adapter); });
  }
  std::vector<platform::ModeFacts> Modes(std::string_view adapter) override {
    return Do(kModes, [&] { return inner_.Modes(adapter); });
  }
  std::vector<platform::AdapterFacts> Adapters() override {
    return Do(kAdapters, [&] { return inner_.Adapters(); });
  }
  std::int32_t ChangeSettings(std::string_view adapter, const platform::SettingsChange& change,
                              std::uint32_t flags) override {
    return Do(kChangeSettings, [&] { return inner_.ChangeSettings(adapter, change, flags); });
  }
  std::int32_t ApplySettings() override {
    return Do(kApplySettings, [&] { return inner_.ApplySettings(); });
  }
  std::optional<Rect> WindowRect(std::uintptr_t window) override {
    return Do(kWindowRect, [&] { return inner_.WindowRect(window); });
  }
  std::optional<platform::PlacementRecord> Placement(std::uintptr_t window) override {
    return Do(kPlacement, [&] { return inner_.Placement(window); });
  }
  platform::CallResult SetPlacement(std::uintptr_t window,
                                    const platform::PlacementRecord& placement) override {
    return Do(kSetPlacement, [&] { return inner_.SetPlacement(window, placement); });
  }
  std::optional<std::uint32_t> WindowDpi(std::uintptr_t window) override {
    return Do(kWindowDpi, [&] { return inner_.WindowDpi(window); });
  }
  platform::CallResult MoveTo(std::uintptr_t window, const Rect& rect) override {
    return Do(kMoveTo, [&] { return inner_.MoveTo(window, rect); });
  }
  std::vector<platform::TopWindowFacts> TopWindows() override {
    return Do(kTopWindows, [&] { return inner_.TopWindows(); });
  }
  std::string ImageName(std::uint32_t process_id) override {
    return Do(kImageName, [&] { return inner_.ImageName(process_id); });
  }
  platform::CallResult Show(std::uintptr_t window, std::uint32_t show_command) override {
    return Do(kShow, [&] { return inner_.Show(window, show_command); });
  }
  std::uintptr_t Foreground() override {
    return Do(kForeground, [&] { return inner_.Foreground(); });
  }
  platform::CallResult SetForeground(std::uintptr_t window) override {
    return Do(kSetForeground, [&] { return inner_.SetForeground(window); });
  }
  platform::CallResult PlaceBelow(std::uintptr_t window, std::uintptr_t above) override {
    return Do(kPlaceBelow, [&] { return inner_.PlaceBelow(window, above); });
  }
  void* EnterPerMonitorAware() noexcept override {
    calls_[kAwareness].fetch_add(1, std::memory_order_relaxed);
    return inner_.EnterPerMonitorAware();
  }
  void RestoreAwareness(void* previous) noexcept override { inner_.RestoreAwareness(previous); }

 private:
  platform::System& inner_;
  // Atomic: a listener on a thread of its own may count while another reads.
  std::array<std::atomic<long>, kCalls> calls_{};
  std::array<double, kCalls> micros_{};
  bool timed_ = false;
};

}  // namespace vantrel::bench
