// Taking a snapshot from the simulated facts service: how the facts of
// DisplayConfig, the monitor device, shcore, the device context and the modes
// are merged, and what stands in for each one the platform cannot give.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "simulated_system.h"
#include "vantrel/displays/displays.h"

namespace vantrel {
namespace {

using platform::SimulatedDisplays;
using platform::SimulatedSystem;
namespace ot = platform::output_technology;

SimulatedDisplays Three() {
  return SimulatedDisplays::FromRects(
      {{0, 0, 1280, 1024}, {-1024, 100, 0, 868}, {1280, 0, 2304, 768}});
}

Displays TakeOf(const SimulatedDisplays& layout) {
  SimulatedSystem service(layout);
  return Displays::Take(service);
}

TEST(DisplaysTake, EveryFactOfEveryDisplayInTheServicesOrder) {
  const SimulatedDisplays layout = Three();
  const Displays displays = TakeOf(layout);
  ASSERT_EQ(displays.size(), 3u);
  for (std::size_t k = 0; k < 3; ++k) {
    const Display& d = displays[k];
    const auto& sim = layout.displays[k];
    const std::string n = std::to_string(k + 1);
    // The simulated DisplayConfig lists its paths backwards: each display
    // must still get its own path's facts.
    EXPECT_EQ(d.name, "Display" + n);
    EXPECT_EQ(d.key, sim.target->device_path);
    EXPECT_EQ(d.device_name, "\\\\.\\DISPLAY" + n);
    EXPECT_EQ(d.number, static_cast<std::int32_t>(k + 1));
    EXPECT_EQ(d.handle, sim.handle);
    EXPECT_EQ(d.primary, k == 0);
    EXPECT_EQ(d.bounds,
              (Rect{sim.bounds.left, sim.bounds.top, sim.bounds.right, sim.bounds.bottom}));
    EXPECT_EQ(d.dpi, 96u);
    EXPECT_EQ(d.connection, Connection::kInternal);
    EXPECT_EQ(d.refresh_rate, (RefreshRate{60, 1}));
    EXPECT_EQ(d.bits_per_pixel, 32);
    EXPECT_EQ(d.orientation, 0);
    ASSERT_TRUE(d.physical_size);
    EXPECT_EQ(d.physical_size->width, sim.physical_size->width);
  }
  EXPECT_EQ(displays[1].current_mode, (DisplayMode{1024, 768, 32, 60}));
  EXPECT_EQ(displays.Primary(), &displays[0]);
}

TEST(DisplaysTake, ModesAreSortedWithoutRepeats) {
  SimulatedDisplays layout = SimulatedDisplays::FromRects({{0, 0, 1024, 768}});
  // Nine modes with three repeats, in the platform's order.
  const Displays displays = TakeOf(layout);
  EXPECT_EQ(displays[0].modes, (std::vector<DisplayMode>{{800, 600, 8, 60},
                                                         {800, 600, 16, 60},
                                                         {800, 600, 32, 60},
                                                         {1024, 768, 8, 60},
                                                         {1024, 768, 16, 60},
                                                         {1024, 768, 32, 60}}));

  // Modes that differ only in frequency or orientation: the frequency keeps
  // them apart, the orientation (not part of a mode) does not.
  layout.displays[0].modes = {{640, 480, 32, 75, 0}, {640, 480, 32, 60, 0}, {640, 480, 32, 60, 1}};
  EXPECT_EQ(TakeOf(layout)[0].modes,
            (std::vector<DisplayMode>{{640, 480, 32, 60}, {640, 480, 32, 75}}));

  layout.displays[0].modes.clear();
  EXPECT_TRUE(TakeOf(layout)[0].modes.empty());
}

// Without the mode list the platform is not asked for it, and the snapshot
// differs from a whole one in `modes` alone.
TEST(DisplaysTake, WithoutModesEveryOtherFactStays) {
  SimulatedSystem service(Three());
  const Displays whole = Displays::Take(service);
  const Displays lean = Displays::Take(service, {.modes = false});
  EXPECT_EQ(service.counts().modes, 3);  // the whole snapshot's only
  for (std::size_t k = 0; k < whole.size(); ++k) {
    EXPECT_FALSE(whole[k].modes.empty());
    Display d = whole[k];
    d.modes.clear();
    EXPECT_EQ(lean[k], d);
  }
}

TEST(DisplaysTake, AsksDisplayConfigAndTheAdaptersOncePerSnapshot) {
  SimulatedSystem service(Three());
  (void)Displays::Take(service);
  auto counts = service.counts();
  EXPECT_EQ(counts.display_config, 1);
  EXPECT_EQ(counts.monitors, 1);
  EXPECT_EQ(counts.adapters, 1);
  EXPECT_EQ(counts.system_dpi, 0);  // shcore gave every DPI

  service.layout().has_shcore = false;
  service.layout().has_display_config = false;
  (void)Displays::Take(service);
  counts = service.counts();
  EXPECT_EQ(counts.display_config, 2);
  EXPECT_EQ(counts.adapters, 2);    // the monitors' devices too, not one call per display
  EXPECT_EQ(counts.system_dpi, 1);  // once, not once per display
}

TEST(DisplaysTake, WithoutDisplayConfigTheMonitorDeviceAndTheModeStandIn) {
  SimulatedDisplays layout = Three();
  layout.has_display_config = false;
  layout.displays[1].device->device_string = "Generic PnP Monitor";
  layout.displays[1].device->device_id = "\\\\?\\DISPLAY#ABC1234#5&1&UID4357#{e6f07b5f}";
  layout.displays[1].current_mode = platform::ModeFacts{768, 1024, 16, 75, 1};
  const Displays displays = TakeOf(layout);

  const Display& d = displays[1];
  EXPECT_EQ(d.name, "Generic PnP Monitor");
  EXPECT_EQ(d.key, "\\\\?\\DISPLAY#ABC1234#5&1&UID4357#{e6f07b5f}");
  EXPECT_EQ(d.connection, Connection::kUnknown);
  EXPECT_EQ(d.refresh_rate, (RefreshRate{75, 1}));
  EXPECT_EQ(d.orientation, 90);  // DMDO_90
  EXPECT_EQ(d.bits_per_pixel, 16);
  // The other two share a device string: told apart.
  EXPECT_EQ(displays[0].name, "Generic Non-PnP Monitor");
  EXPECT_EQ(displays[2].name, "Generic Non-PnP Monitor (2)");
}

TEST(DisplaysTake, NameAndKeyFallBackPieceByPiece) {
  SimulatedDisplays layout = Three();
  // No friendly name: the device string; the path still from DisplayConfig.
  layout.displays[0].target->friendly_name = "";
  layout.displays[0].device = platform::MonitorDevice{"Monitor A", "device-id-A"};
  // No path: the device's id; the friendly name still from DisplayConfig.
  layout.displays[1].target->device_path = "";
  layout.displays[1].device = platform::MonitorDevice{"Monitor B", "device-id-B"};
  // Neither DisplayConfig nor the device gives anything: the device name.
  layout.displays[2].target.reset();
  layout.displays[2].device.reset();
  const Displays displays = TakeOf(layout);

  EXPECT_EQ(displays[0].name, "Monitor A");
  EXPECT_EQ(displays[0].key, layout.displays[0].target->device_path);
  EXPECT_EQ(displays[1].name, "Display2");
  EXPECT_EQ(displays[1].key, "device-id-B");
  EXPECT_EQ(displays[2].name, "\\\\.\\DISPLAY3");
  EXPECT_EQ(displays[2].key, "\\\\.\\DISPLAY3");
  EXPECT_EQ(displays[2].connection, Connection::kUnknown);
  EXPECT_EQ(displays.FindByKey("\\\\.\\DISPLAY3"), &displays[2]);
  EXPECT_EQ(displays.FindByKey("device-id-B"), &displays[1]);
  EXPECT_EQ(displays.FindByKey("device-id-A"), nullptr);  // DisplayConfig's path wins
  EXPECT_EQ(displays.FindByKey(""), nullptr);
}

TEST(DisplaysTake, TwinsAreToldApartAndEveryNameIsUnique) {
  SimulatedDisplays layout = SimulatedDisplays::FromRects(
      {{0, 0, 10, 10}, {10, 0, 20, 10}, {20, 0, 30, 10}, {30, 0, 40, 10}, {40, 0, 50, 10}});
  const char* names[] = {"DELL U2415", "DELL U2415", "DELL U2415 (2)", "DELL U2415", "Écran 27″"};
  for (std::size_t k = 0; k < 5; ++k) layout.displays[k].target->friendly_name = names[k];
  const Displays displays = TakeOf(layout);

  // A display really called "DELL U2415 (2)" keeps its name; the twins get
  // the next ones free.
  EXPECT_EQ(displays[0].name, "DELL U2415");
  EXPECT_EQ(displays[1].name, "DELL U2415 (3)");
  EXPECT_EQ(displays[2].name, "DELL U2415 (2)");
  EXPECT_EQ(displays[3].name, "DELL U2415 (4)");
  EXPECT_EQ(displays[4].name, "Écran 27″");

  // Twins of a name that is only a fallback are told apart the same way.
  layout = Three();
  for (auto& d : layout.displays) d.target->friendly_name = "Display";
  std::set<std::string> unique;
  for (const Display& d : TakeOf(layout)) unique.insert(d.name);
  EXPECT_EQ(unique, (std::set<std::string>{"Display", "Display (2)", "Display (3)"}));
}

// A source driving several monitors is one display: its adapter's first
// monitor's name and key (whatever DisplayConfig lists first; the twin lists
// the clones first), the others its clones, by key, named apart from every
// display.
TEST(DisplaysTake, ASourceOfSeveralMonitorsIsOneDisplayWithItsClones) {
  const auto path = [](const char* key, const char* name) {
    return platform::DisplayConfigTarget{"", name, key, ot::kInternal, 1, 60, 1};
  };
  const struct {
    const char* what;
    std::vector<platform::DisplayConfigTarget> paths;  // more of the first display's source
    std::vector<Clone> clones;
  } rows[] = {
      {"none", {}, {}},
      {"one", {path("k9", "Display9")}, {{"Display9", "k9"}}},
      {"two, by key",
       {path("k9", "Display9"), path("k8", "Display8")},
       {{"Display8", "k8"}, {"Display9", "k9"}}},
      {"no friendly name", {path("k9", "")}, {{"\\\\.\\DISPLAY1", "k9"}}},
      {"another display's name", {path("k9", "Display2")}, {{"Display2 (2)", "k9"}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    SimulatedDisplays layout = Three();
    layout.displays[0].clones = row.paths;
    SimulatedSystem service(layout);
    const Displays displays = Displays::Take(service);
    ASSERT_EQ(displays.size(), 3u);
    EXPECT_EQ(displays[0].name, "Display1");
    EXPECT_EQ(displays[0].key, layout.displays[0].target->device_path);
    EXPECT_EQ(displays[0].clones, row.clones);
    EXPECT_EQ(displays[1].name, "Display2");
    EXPECT_TRUE(displays[1].clones.empty());
    EXPECT_EQ(service.counts().adapters, 1);
  }
}

TEST(DisplaysTake, DpiFromShcoreElseTheSystemElse96) {
  SimulatedDisplays layout = Three();
  layout.displays[0].dpi = 144;
  layout.displays[1].dpi.reset();  // GetDpiForMonitor fails for this one
  layout.displays[2].dpi = 0;      // and answers nonsense for this one
  layout.system_dpi = 120;
  Displays displays = TakeOf(layout);
  EXPECT_EQ(displays[0].dpi, 144u);
  EXPECT_DOUBLE_EQ(displays[0].scale(), 1.5);
  EXPECT_EQ(displays[1].dpi, 120u);
  EXPECT_EQ(displays[2].dpi, 120u);

  layout.has_shcore = false;
  displays = TakeOf(layout);
  for (const Display& d : displays) EXPECT_EQ(d.dpi, 120u);

  layout.system_dpi.reset();
  displays = TakeOf(layout);
  for (const Display& d : displays) EXPECT_EQ(d.dpi, 96u);
}

TEST(DisplaysTake, PhysicalSizeIsAbsentWhereTheDeviceContextCannotTell) {
  SimulatedDisplays layout = SimulatedDisplays::FromRects(
      {{0, 0, 10, 10}, {10, 0, 20, 10}, {20, 0, 30, 10}, {30, 0, 40, 10}});
  layout.displays[0].physical_size = platform::PhysicalSizeFacts{527, 296};
  layout.displays[1].physical_size.reset();  // CreateDCW fails
  layout.displays[2].physical_size = platform::PhysicalSizeFacts{0, 0};
  layout.displays[3].physical_size = platform::PhysicalSizeFacts{527, 0};
  const Displays displays = TakeOf(layout);
  EXPECT_EQ(displays[0].physical_size, (PhysicalSize{527, 296}));
  EXPECT_FALSE(displays[1].physical_size);
  EXPECT_FALSE(displays[2].physical_size);
  EXPECT_FALSE(displays[3].physical_size);
}

TEST(DisplaysTake, RefreshRateExactFromDisplayConfigElseWholeHertz) {
  SimulatedDisplays layout = SimulatedDisplays::FromRects(
      {{0, 0, 10, 10}, {10, 0, 20, 10}, {20, 0, 30, 10}, {30, 0, 40, 10}});
  auto& t0 = *layout.displays[0].target;
  t0.refresh_numerator = 60000;
  t0.refresh_denominator = 1001;
  auto& t1 = *layout.displays[1].target;
  t1.refresh_numerator = 85000;
  t1.refresh_denominator = 1000;
  auto& t2 = *layout.displays[2].target;  // DisplayConfig does not know
  t2.refresh_numerator = 0;
  t2.refresh_denominator = 0;
  layout.displays[2].current_mode->frequency = 59;
  layout.displays[3].target.reset();
  layout.displays[3].current_mode->frequency = 1;  // DEVMODE's "hardware default"
  const Displays displays = TakeOf(layout);
  EXPECT_EQ(displays[0].refresh_rate, (RefreshRate{60000, 1001}));
  EXPECT_NEAR(displays[0].refresh_rate.hertz(), 59.94, 0.005);
  EXPECT_EQ(displays[1].refresh_rate, (RefreshRate{85, 1}));
  EXPECT_EQ(displays[2].refresh_rate, (RefreshRate{59, 1}));
  EXPECT_EQ(displays[3].refresh_rate, (RefreshRate{0, 1}));
  EXPECT_EQ(displays[3].refresh_rate.hertz(), 0.0);
}

TEST(DisplaysTake, OrientationFromDisplayConfigElseTheMode) {
  namespace rot = platform::rotation;
  SimulatedDisplays layout = SimulatedDisplays::FromRects(
      {{0, 0, 10, 10}, {10, 0, 20, 10}, {20, 0, 30, 10}, {30, 0, 40, 10}, {40, 0, 50, 10}});
  layout.displays[0].target->rotation = rot::kRotate90;
  layout.displays[1].target->rotation = rot::kRotate270;
  layout.displays[2].target->rotation = 0;  // not a rotation: the mode says
  layout.displays[2].current_mode->orientation = 2;
  layout.displays[3].target.reset();
  layout.displays[3].current_mode->orientation = 3;
  layout.displays[4].target.reset();
  layout.displays[4].current_mode->orientation.reset();
  const Displays displays = TakeOf(layout);
  EXPECT_EQ(displays[0].orientation, 90);
  EXPECT_EQ(displays[1].orientation, 270);
  EXPECT_EQ(displays[2].orientation, 180);
  EXPECT_EQ(displays[3].orientation, 270);
  EXPECT_EQ(displays[4].orientation, 0);
}

TEST(DisplaysTake, ConnectionFromTheOutputTechnology) {
  const std::pair<std::uint32_t, Connection> cases[] = {
      {ot::kInternal, Connection::kInternal},
      {ot::kLvds, Connection::kInternal},
      {ot::kDisplayPortEmbedded, Connection::kInternal},
      {ot::kHdmi, Connection::kHdmi},
      {ot::kDisplayPortExternal, Connection::kDisplayPort},
      {ot::kDvi, Connection::kDvi},
      {ot::kHd15, Connection::kVga},
      {1, Connection::kOther},  // S-Video
      {ot::kOther, Connection::kOther},
  };
  SimulatedDisplays layout = SimulatedDisplays::FromRects({{0, 0, 10, 10}});
  for (const auto& [technology, connection] : cases) {
    layout.displays[0].target->output_technology = technology;
    EXPECT_EQ(TakeOf(layout)[0].connection, connection) << technology;
  }
  const std::pair<Connection, std::string_view> names[] = {
      {Connection::kUnknown, "unknown"}, {Connection::kInternal, "internal"},
      {Connection::kHdmi, "hdmi"},       {Connection::kDisplayPort, "displayport"},
      {Connection::kDvi, "dvi"},         {Connection::kVga, "vga"},
      {Connection::kOther, "other"},     {static_cast<Connection>(99), "unknown"}};
  for (const auto& [connection, name] : names) EXPECT_EQ(ToString(connection), name);
}

TEST(DisplaysTake, NumberIsTheDigitsEndingTheDeviceName) {
  SimulatedDisplays layout = SimulatedDisplays::FromRects(
      {{0, 0, 10, 10}, {10, 0, 20, 10}, {20, 0, 30, 10}, {30, 0, 40, 10}, {40, 0, 50, 10}});
  const char* names[] = {"\\\\.\\DISPLAY10", "\\\\.\\DISPLAY", "\\\\.\\DISPLAY99999999999", "",
                         "\\\\.\\DISPLAY007"};
  for (std::size_t k = 0; k < 5; ++k) layout.displays[k].device_name = names[k];
  const Displays displays = TakeOf(layout);
  EXPECT_EQ(displays[0].number, 10);
  EXPECT_EQ(displays[1].number, 0);
  EXPECT_EQ(displays[2].number, 0);  // too large for a number
  EXPECT_EQ(displays[3].number, 0);
  EXPECT_EQ(displays[4].number, 7);
  // A display whose adapter has no name matches no path and still gets a
  // key; nothing is asked by its empty name, which would name another.
  EXPECT_FALSE(displays[3].key.empty());
  EXPECT_EQ(displays[3].connection, Connection::kUnknown);
  EXPECT_FALSE(displays[3].physical_size);
  EXPECT_TRUE(displays[3].modes.empty());
  EXPECT_EQ(displays[3].current_mode, DisplayMode{});
}

TEST(DisplaysTake, NothingToListAndNothingPrimary) {
  const Displays none = TakeOf({});
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(none.Primary(), nullptr);
  EXPECT_EQ(none.AtPoint({0, 0}, Fallback::kNearest), nullptr);
  EXPECT_EQ(none.OfRect({0, 0, 10, 10}, Fallback::kPrimary), nullptr);

  SimulatedDisplays layout = Three();
  layout.displays[0].primary = false;
  const Displays displays = TakeOf(layout);
  EXPECT_EQ(displays.Primary(), nullptr);
  EXPECT_EQ(displays.AtPoint({-5000, 0}, Fallback::kPrimary), nullptr);
}

TEST(DisplaysTake, ASnapshotKeepsItsFactsWhenTheLayoutChanges) {
  SimulatedSystem service(Three());
  const Displays before = Displays::Take(service);
  service.Change([](SimulatedDisplays& l) {
    l.displays.erase(l.displays.begin() + 1);
    l.displays[0].bounds.right = 1920;
  });
  const Displays after = Displays::Take(service);
  EXPECT_EQ(before.size(), 3u);
  EXPECT_EQ(before[0].bounds.right, 1280);
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(after[0].bounds.right, 1920);
  EXPECT_EQ(after[1].name, "Display3");  // its path still found after the other went
  EXPECT_NE(before, after);
  SimulatedSystem again(Three());
  EXPECT_EQ(before, Displays::Take(again));
}

}  // namespace
}  // namespace vantrel
