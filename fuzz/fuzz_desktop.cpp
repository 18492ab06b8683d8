// The desktop's memory from any input. Half the inputs are its file: any text
// is refused or read to a memory within its bounds whose file reads back as
// that memory and writes as the same text. The other half drive a keeper
// over the simulated system: two or three displays, up to eight windows of
// any place and state, and any run of time passing, windows moved,
// minimized, maximized, closed or their handles given to another program,
// the right display leaving and coming back, window events, restores and
// forgets. It checks:
//  - a window whose handle now belongs to another program is never moved,
//    sized or shown;
//  - a window remembered minimized is never shown by a restore;
//  - the memory stays within its bounds, and its file reads back equal.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "fuzz_require.h"
#include "simulated_store.h"
#include "simulated_system.h"
#include "vantrel/displays/desktop.h"

namespace {

using namespace vantrel;
using namespace std::chrono_literals;
using platform::SimulatedDisplays;
using platform::SimulatedSystem;
using platform::SimulatedWindow;
namespace show = platform::show_command;

// The twin, telling which windows the keeper changes.
class Watched final : public platform::System {
 public:
  explicit Watched(SimulatedSystem& s) : s_(s) {}
  std::set<std::uintptr_t> foreign;  // handles now another program's
  const DesktopKeeper* keeper = nullptr;
  // Remembered minimized in the set being put back: never shown.
  bool Minimized(std::uintptr_t window) const {
    const DisplaySetMemory* set = keeper ? keeper->Memory().Find(keeper->CurrentSet()) : nullptr;
    return set && std::ranges::any_of(set->windows, [&](const KeptWindow& w) {
             return w.handle == window && w.state == ShowState::kMinimized;
           });
  }
  std::vector<platform::MonitorFacts> Monitors() override { return s_.Monitors(); }
  std::optional<std::vector<platform::DisplayConfigTarget>> DisplayConfig() override {
    return s_.DisplayConfig();
  }
  std::optional<std::uint32_t> MonitorDpi(std::uintptr_t m) override { return s_.MonitorDpi(m); }
  std::optional<std::uint32_t> SystemDpi() override { return s_.SystemDpi(); }
  std::optional<platform::PhysicalSizeFacts> PhysicalSize(std::string_view a) override {
    return s_.PhysicalSize(a);
  }
  std::vector<platform::ModeFacts> Modes(std::string_view a) override { return s_.Modes(a); }
  std::vector<platform::AdapterFacts> Adapters() override { return s_.Adapters(); }
  std::int32_t ChangeSettings(std::string_view a, const platform::SettingsChange& c,
                              std::uint32_t f) override {
    return s_.ChangeSettings(a, c, f);
  }
  std::int32_t ApplySettings() override { return s_.ApplySettings(); }
  std::optional<Rect> WindowRect(std::uintptr_t w) override { return s_.WindowRect(w); }
  std::optional<platform::PlacementRecord> Placement(std::uintptr_t w) override {
    return s_.Placement(w);
  }
  platform::CallResult SetPlacement(std::uintptr_t w, const platform::PlacementRecord& p) override {
    Require(!foreign.contains(w), "another program's window given a placement");
    Require(!Minimized(w) || platform::IsMinimized(p.show_command),
            "a window remembered minimized shown");
    return s_.SetPlacement(w, p);
  }
  std::optional<std::uint32_t> WindowDpi(std::uintptr_t w) override { return s_.WindowDpi(w); }
  platform::CallResult MoveTo(std::uintptr_t w, const Rect& r) override {
    Require(!foreign.contains(w), "another program's window moved");
    Require(!Minimized(w), "a window remembered minimized moved");
    return s_.MoveTo(w, r);
  }
  std::vector<platform::TopWindowFacts> TopWindows() override { return s_.TopWindows(); }
  std::vector<std::uintptr_t> Stacking() override { return s_.Stacking(); }
  std::string ImageName(std::uint32_t p) override { return s_.ImageName(p); }
  platform::CallResult Show(std::uintptr_t w, std::uint32_t c) override {
    Require(!foreign.contains(w), "another program's window shown");
    Require(!Minimized(w), "a window remembered minimized shown");
    return s_.Show(w, c);
  }
  std::uintptr_t Foreground() override { return s_.Foreground(); }
  platform::CallResult SetForeground(std::uintptr_t w) override { return s_.SetForeground(w); }
  platform::CallResult PlaceBelow(std::uintptr_t w, std::uintptr_t above) override {
    return s_.PlaceBelow(w, above);
  }

 private:
  SimulatedSystem& s_;
};

Rect AnyRect(FuzzedDataProvider& in) {
  const std::int32_t x = in.ConsumeIntegralInRange(-500, 3500);
  const std::int32_t y = in.ConsumeIntegralInRange(-300, 1300);
  return {x, y, x + in.ConsumeIntegralInRange(1, 2500), y + in.ConsumeIntegralInRange(1, 1500)};
}

void CheckMemory(const DesktopMemory& memory) {
  Require(memory.sets.size() <= kMaxSets, "more sets than the bound");
  for (const DisplaySetMemory& set : memory.sets) {
    Require(set.windows.size() <= kMaxWindowsPerSet, "more windows than the bound");
  }
  const std::string written = ToJson(memory);
  const Result<DesktopMemory> back = DesktopMemoryFromJson(written);
  Require(back && *back == memory, "a memory does not read back from its file");
}

void Drive(FuzzedDataProvider& in) {
  SimulatedDisplays layout = SimulatedDisplays::FromRects(
      in.ConsumeBool()
          ? std::vector<Rect>{{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}}
          : std::vector<Rect>{{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}, {-1280, 0, 0, 1024}});
  const int windows = in.ConsumeIntegralInRange(0, 8);
  for (int k = 1; k <= windows; ++k) {
    SimulatedWindow w;
    w.normal = AnyRect(in);
    w.show = in.PickValueInArray({show::kNormal, show::kMaximized, show::kMinimized});
    w.rect = w.show == show::kMinimized ? Rect{-32000, -32000, -31840, -31976} : w.normal;
    w.process_id = static_cast<std::uint32_t>(100 + k % 3);
    w.thread_id = 7;
    w.class_name = "Window";
    w.image = in.ConsumeBool() ? "app.exe" : "skip.exe";
    w.placement_fails = in.ConsumeBool();
    w.late_unmaximize = w.placement_fails;  // as under Wine
    layout.windows[static_cast<std::uintptr_t>(k)] = w;
  }
  SimulatedSystem twin(layout);
  twin.on_leave =
      in.ConsumeBool() ? SimulatedSystem::OnLeave::kToPrimary : SimulatedSystem::OnLeave::kWine;
  Watched system(twin);
  platform::SimulatedStore store;
  DesktopKeeper::Options options;
  options.hold = std::chrono::milliseconds(in.ConsumeIntegralInRange(0, 3000));
  options.exclude = {"skip.exe"};
  DesktopKeeper keeper(system, store, {}, options);
  system.keeper = &keeper;
  auto now = DesktopKeeper::Clock::time_point{} + 1h;
  std::optional<DesktopKeeper::Clock::time_point> due;
  const auto take = [&](const DesktopKeeper::Step& step) {
    due = step.timer ? std::optional(now + *step.timer) : std::nullopt;
  };
  take(keeper.Start(now));
  for (int steps = 0; steps < 40 && in.remaining_bytes() > 0; ++steps) {
    const auto handle = static_cast<std::uintptr_t>(in.ConsumeIntegralInRange(1, 8));
    switch (in.ConsumeIntegralInRange(0, 8)) {
      case 0: {  // time passes
        const auto end = now + std::chrono::milliseconds(in.ConsumeIntegralInRange(0, 5000));
        while (due && *due <= end) {
          now = *due;
          take(keeper.OnTimer(now));
        }
        now = end;
        break;
      }
      case 1:  // the user moves one
        if (!system.foreign.contains(handle)) twin.MoveTo(handle, AnyRect(in));
        break;
      case 2:  // the user minimizes or maximizes one
        if (!system.foreign.contains(handle)) {
          twin.Show(handle, in.PickValueInArray({show::kMinimize, show::kMaximized, 9u}));
        }
        break;
      case 3:  // closed, or its handle given to another program
        twin.Change([&](SimulatedDisplays& l) {
          if (in.ConsumeBool()) {
            l.windows.erase(handle);
          } else if (auto w = l.windows.find(handle); w != l.windows.end()) {
            // A program the keeper leaves out: whatever it does with this
            // handle comes from what it remembered of the window before.
            w->second.process_id = 999;
            w->second.image = "skip.exe";
            system.foreign.insert(handle);
          }
        });
        break;
      case 4:  // the right display leaves or returns
        twin.Change([&](SimulatedDisplays& l) { l.displays[1].attached ^= true; });
        take(keeper.OnDisplaysMayHaveChanged(now));
        break;
      case 5:
        take(keeper.OnWindowsMayHaveChanged(now));
        break;
      case 6:
        keeper.Restore();
        break;
      case 7:
        keeper.Forget(in.ConsumeBool());
        break;
      default:
        keeper.RememberNow();
        break;
    }
    CheckMemory(keeper.Memory());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  if (data[0] % 2 == 0) {
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    if (const Result<DesktopMemory> read = DesktopMemoryFromJson(text)) {
      CheckMemory(*read);
      Require(ToJson(*DesktopMemoryFromJson(ToJson(*read))) == ToJson(*read),
              "a memory's file is not written the same twice");
    }
    return 0;
  }
  FuzzedDataProvider in(data + 1, size - 1);
  Drive(in);
  return 0;
}
