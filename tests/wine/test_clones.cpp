// A clone group against Wine's user32 (tests/e2e/run-clones.sh): the
// primary's picture on a second X output too is one display whose adapter
// has two monitors, the second its clone. Wine 8 names the targets
// "Display1".."Display3" in adapter and monitor order.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "vantrel/displays/displays.h"

namespace vantrel {
namespace {

// The device ids of every monitor of the adapter, asked straight.
std::vector<std::string> MonitorIds(const std::string& adapter) {
  const std::wstring name(adapter.begin(), adapter.end());
  std::vector<std::string> ids;
  DISPLAY_DEVICEW device{};
  device.cb = sizeof device;
  for (DWORD k = 0; EnumDisplayDevicesW(name.c_str(), k, &device, EDD_GET_DEVICE_INTERFACE_NAME);
       ++k) {
    ids.emplace_back(device.DeviceID, device.DeviceID + wcslen(device.DeviceID));
  }
  return ids;
}

TEST(WineClones, TheSecondMonitorOfAnAdapterIsItsDisplaysClone) {
  const Displays displays = Displays::Take();
  ASSERT_EQ(displays.size(), 2u);
  std::vector<std::vector<std::string>> keys;
  for (const Display& d : displays) {
    keys.push_back({d.key});
    for (const Clone& c : d.clones) keys.back().push_back(c.key);
    EXPECT_EQ(keys.back(), MonitorIds(d.device_name)) << d.device_name;
  }
  EXPECT_EQ(displays[0].name, "Display1");
  ASSERT_EQ(displays[0].clones.size(), 1u);
  EXPECT_EQ(displays[0].clones[0].name, "Display2");
  EXPECT_EQ(displays[1].name, "Display3");
  EXPECT_EQ(Displays::Take(), displays);
}

}  // namespace
}  // namespace vantrel
