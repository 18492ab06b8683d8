// A clone group against Wine's user32 (tests/e2e/run-clones.sh): two X
// outputs showing the primary's picture are one display whose adapter has
// two monitors; the second is the display's clone. What Wine 8 gives there:
// targets named "Display1".."Display3" in adapter and monitor order, keys
// equal to the monitors' device ids.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "vantrel/displays/displays.h"
#include "vantrel/displays/json.h"

namespace vantrel {
namespace {

// Every monitor of the adapter, asked straight: their device ids in order.
std::vector<std::string> MonitorIds(const std::string& adapter) {
  const std::wstring name(adapter.begin(), adapter.end());
  std::vector<std::string> ids;
  DISPLAY_DEVICEW device{};
  device.cb = sizeof device;
  for (DWORD k = 0; EnumDisplayDevicesW(name.c_str(), k, &device, EDD_GET_DEVICE_INTERFACE_NAME);
       ++k) {
    char id[256];
    WideCharToMultiByte(CP_UTF8, 0, device.DeviceID, -1, id, sizeof id, nullptr, nullptr);
    ids.emplace_back(id);
  }
  return ids;
}

TEST(WineClones, TheSecondMonitorOfAnAdapterIsItsDisplaysClone) {
  const Displays displays = Displays::Take();
  ASSERT_EQ(displays.size(), 2u);
  const char* layout = std::getenv("VANTREL_LAYOUT");
  ASSERT_NE(layout, nullptr);
  Rect right;
  ASSERT_EQ(std::sscanf(layout, "%*d,%*d,%*d,%*d;%d,%d,%d,%d", &right.left, &right.top,
                        &right.right, &right.bottom),
            4);
  ASSERT_TRUE(displays[0].primary);
  EXPECT_EQ(displays[1].bounds, right);

  std::set<std::string> names;
  std::set<std::string> keys;
  for (const Display& d : displays) {
    SCOPED_TRACE(d.device_name);
    const std::vector<std::string> ids = MonitorIds(d.device_name);
    ASSERT_FALSE(ids.empty());
    EXPECT_EQ(d.key, ids[0]);
    ASSERT_EQ(d.clones.size(), ids.size() - 1);
    for (std::size_t k = 0; k < d.clones.size(); ++k) EXPECT_EQ(d.clones[k].key, ids[k + 1]);
    names.insert(d.name);
    keys.insert(d.key);
    for (const Clone& c : d.clones) {
      names.insert(c.name);
      keys.insert(c.key);
    }
  }
  EXPECT_EQ(displays[0].name, "Display1");
  ASSERT_EQ(displays[0].clones.size(), 1u);
  EXPECT_EQ(displays[0].clones[0].name, "Display2");
  EXPECT_EQ(displays[1].name, "Display3");
  EXPECT_EQ(names.size(), 3u);
  EXPECT_EQ(keys.size(), 3u);

  EXPECT_NE(json::Document(displays).find("\"clones\": [\n        {\n          \"name\": "
                                          "\"Display2\""),
            std::string::npos);
  EXPECT_EQ(Displays::Take(), displays);
}

}  // namespace
}  // namespace vantrel
