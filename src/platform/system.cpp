// The seam's defaults, and the process's one system.
#include "vantrel/platform/system.h"

#include <string_view>
#include <utility>

#include "vantrel/base/current_port.h"

namespace vantrel::platform {

std::string ChangeResultName(std::int32_t result) {
  static constexpr std::pair<std::int32_t, std::string_view> kNames[] = {
      {change_result::kSuccessful, "DISP_CHANGE_SUCCESSFUL"},
      {change_result::kRestart, "DISP_CHANGE_RESTART"},
      {change_result::kFailed, "DISP_CHANGE_FAILED"},
      {change_result::kBadMode, "DISP_CHANGE_BADMODE"},
      {change_result::kNotUpdated, "DISP_CHANGE_NOTUPDATED"},
      {change_result::kBadFlags, "DISP_CHANGE_BADFLAGS"},
      {change_result::kBadParam, "DISP_CHANGE_BADPARAM"},
      {change_result::kBadDualView, "DISP_CHANGE_BADDUALVIEW"},
  };
  for (const auto& [code, name] : kNames) {
    if (code == result) return std::string(name);
  }
  return "answer " + std::to_string(result);
}

std::int32_t System::ChangeSettings(std::string_view, const SettingsChange&, std::uint32_t) {
  return change_result::kFailed;
}
std::int32_t System::ApplySettings() { return change_result::kFailed; }
std::optional<Rect> System::WindowRect(std::uintptr_t) { return std::nullopt; }
std::optional<PlacementRecord> System::Placement(std::uintptr_t) { return std::nullopt; }
CallResult System::SetPlacement(std::uintptr_t, const PlacementRecord&) {
  return {kInvalidWindowHandle};
}
std::optional<std::uint32_t> System::WindowDpi(std::uintptr_t) { return std::nullopt; }
CallResult System::MoveTo(std::uintptr_t, const Rect&) { return {kInvalidWindowHandle}; }
std::vector<TopWindowFacts> System::TopWindows() { return {}; }
std::vector<std::uintptr_t> System::Stacking() {
  std::vector<std::uintptr_t> handles;
  for (const TopWindowFacts& w : TopWindows()) handles.push_back(w.handle);
  return handles;
}
std::string System::ImageName(std::uint32_t) { return {}; }
CallResult System::Show(std::uintptr_t, std::uint32_t) { return {kInvalidWindowHandle}; }
std::uintptr_t System::Foreground() { return 0; }
CallResult System::SetForeground(std::uintptr_t) { return {kInvalidWindowHandle}; }
CallResult System::PlaceBelow(std::uintptr_t, std::uintptr_t) { return {kInvalidWindowHandle}; }
void* System::EnterPerMonitorAware() noexcept { return nullptr; }
void System::RestoreAwareness(void*) noexcept {}

#ifndef _WIN32
namespace {

// Away from Windows nothing runs: no display, no window.
class NoSystem final : public System {
 public:
  std::vector<MonitorFacts> Monitors() override { return {}; }
  std::optional<std::vector<DisplayConfigTarget>> DisplayConfig() override { return std::nullopt; }
  std::optional<std::uint32_t> MonitorDpi(std::uintptr_t) override { return std::nullopt; }
  std::optional<std::uint32_t> SystemDpi() override { return std::nullopt; }
  std::optional<PhysicalSizeFacts> PhysicalSize(std::string_view) override { return std::nullopt; }
  std::vector<ModeFacts> Modes(std::string_view) override { return {}; }
  std::vector<AdapterFacts> Adapters() override { return {}; }
};
}  // namespace

template <>
System& RunningPort<System>() noexcept {
  static NoSystem none;
  return none;
}

#endif

System& CurrentSystem() noexcept { return CurrentPort<System>(); }

void UseSystem(System* system) noexcept { chosen_port<System>.store(system); }

}  // namespace vantrel::platform
