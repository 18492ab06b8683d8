// The display facts against Wine's user32 on the layout the test scripts set
// up. What to expect comes from the environment (tests/e2e/run-on-layout.sh):
//   VANTREL_LAYOUT="l,t,r,b;..."  each monitor as Windows places it, the
//                                 first the primary
//   VANTREL_PRIMARY_BAR=N         the primary's work area starts N pixels
//                                 right of its left edge (0 when unset)
// and from what Wine 8 is known to give: names "DisplayN", 96 DPI through
// shcore, millimetres derived from the pixels at that DPI, connection
// internal, and device paths equal to the monitors' device ids.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "vantrel/displays/displays.h"
#include "vantrel/displays/layout.h"

namespace vantrel {
namespace {

std::vector<Rect> ExpectedLayout() {
  std::vector<Rect> rects;
  const char* text = std::getenv("VANTREL_LAYOUT");
  if (!text) return rects;
  std::istringstream in(text);
  std::string item;
  while (std::getline(in, item, ';')) {
    Rect r;
    if (std::sscanf(item.c_str(), "%d,%d,%d,%d", &r.left, &r.top, &r.right, &r.bottom) == 4) {
      rects.push_back(r);
    }
  }
  return rects;
}

int PrimaryBar() {
  const char* text = std::getenv("VANTREL_PRIMARY_BAR");
  return text ? std::atoi(text) : 0;
}

std::string Utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? static_cast<std::size_t>(size - 1) : 0, '\0');
  if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  return out;
}

// The monitor's device id, asked straight.
std::string MonitorDeviceId(const std::string& adapter) {
  std::wstring name(adapter.begin(), adapter.end());
  DISPLAY_DEVICEW device{};
  device.cb = sizeof device;
  if (!EnumDisplayDevicesW(name.c_str(), 0, &device, EDD_GET_DEVICE_INTERFACE_NAME)) return {};
  return Utf8(device.DeviceID);
}

class WineDisplays : public ::testing::Test {
 protected:
  void SetUp() override {
    expected_ = ExpectedLayout();
    ASSERT_FALSE(expected_.empty()) << "VANTREL_LAYOUT is not set";
    displays_ = Displays::Take();
    ASSERT_EQ(displays_.size(), expected_.size());
  }

  const Display& OfBounds(const Rect& r) {
    const auto found =
        std::ranges::find_if(displays_, [&](const Display& d) { return d.bounds == r; });
    EXPECT_NE(found, displays_.end())
        << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    return found == displays_.end() ? displays_[0] : *found;
  }

  std::vector<Rect> expected_;
  Displays displays_;
};

TEST_F(WineDisplays, BoundsAndWorkAreasAreTheLayouts) {
  std::set<std::uintptr_t> handles;
  for (std::size_t k = 0; k < expected_.size(); ++k) {
    const Display& d = OfBounds(expected_[k]);
    handles.insert(d.handle);
    EXPECT_EQ(d.primary, k == 0) << d.device_name;
    Rect work = expected_[k];
    if (k == 0) work.left += PrimaryBar();
    EXPECT_EQ(d.work_area, work) << d.device_name;
  }
  EXPECT_EQ(handles.size(), expected_.size());
  ASSERT_NE(displays_.Primary(), nullptr);
  EXPECT_EQ(displays_.Primary()->bounds, expected_[0]);
}

TEST_F(WineDisplays, NamesNumbersAndKeys) {
  std::set<std::string> keys;
  std::set<std::string> names;
  for (const Display& d : displays_) {
    SCOPED_TRACE(d.device_name);
    ASSERT_EQ(d.device_name.rfind("\\\\.\\DISPLAY", 0), 0u);
    EXPECT_EQ(std::to_string(d.number), d.device_name.substr(11));
    EXPECT_EQ(d.name, "Display" + std::to_string(d.number));
    // DisplayConfig's path, and the same as the monitor's device id.
    EXPECT_EQ(d.key.rfind("\\\\?\\DISPLAY#", 0), 0u) << d.key;
    EXPECT_EQ(d.key, MonitorDeviceId(d.device_name));
    EXPECT_EQ(displays_.FindByKey(d.key), &d);
    keys.insert(d.key);
    names.insert(d.name);
  }
  EXPECT_EQ(keys.size(), displays_.size());
  EXPECT_EQ(names.size(), displays_.size());
}

TEST_F(WineDisplays, DpiSizeModeAndConnection) {
  for (const Display& d : displays_) {
    SCOPED_TRACE(d.device_name);
    EXPECT_EQ(d.dpi, 96u);
    EXPECT_DOUBLE_EQ(d.scale(), 1.0);
    // Wine derives millimetres from the pixels at the DPI in use.
    ASSERT_TRUE(d.physical_size);
    EXPECT_NEAR(d.physical_size->width, static_cast<double>(d.bounds.width()) * 25.4 / d.dpi, 1.0);
    EXPECT_NEAR(d.physical_size->height, static_cast<double>(d.bounds.height()) * 25.4 / d.dpi,
                1.0);
    EXPECT_EQ(d.current_mode.width, d.bounds.width());
    EXPECT_EQ(d.current_mode.height, d.bounds.height());
    EXPECT_EQ(d.current_mode.bits_per_pixel, 32);
    EXPECT_EQ(d.bits_per_pixel, 32);
    EXPECT_EQ(d.orientation, 0);
    EXPECT_EQ(d.connection, Connection::kInternal);
    // The dummy driver's modes run at 85 Hz; DisplayConfig and the mode agree.
    EXPECT_EQ(d.refresh_rate, (RefreshRate{85, 1}));
    EXPECT_EQ(d.current_mode.frequency, 85);
    // Wine lists each mode at 8, 16 and 32 bits: some 156 to 159 of them.
    EXPECT_GE(d.modes.size(), 100u);
    EXPECT_LE(d.modes.size(), 200u);
    EXPECT_TRUE(std::ranges::adjacent_find(d.modes, std::ranges::greater_equal{}) == d.modes.end())
        << "modes not strictly ascending";
    EXPECT_TRUE(std::ranges::binary_search(d.modes, d.current_mode));
  }
}

TEST_F(WineDisplays, TwoSnapshotsInARowAgree) { EXPECT_EQ(Displays::Take(), displays_); }

// Every adapter has its monitor and is attached: the current settings'
// position is the display's corner, and the JSON reads back.
TEST_F(WineDisplays, TheLayoutIsEveryDisplayWhereItIs) {
  const Layout layout = TakeLayout();
  ASSERT_EQ(layout.displays.size(), expected_.size());
  for (const LayoutDisplay& l : layout.displays) {
    const Display* d = displays_.FindByKey(l.key);
    ASSERT_NE(d, nullptr) << l.key;
    EXPECT_EQ(l, (LayoutDisplay{d->key,
                                d->device_name,
                                true,
                                d->primary,
                                {d->bounds.left, d->bounds.top},
                                d->current_mode,
                                0}));
  }
  EXPECT_EQ(LayoutFromJson(ToJson(layout)).value(), layout);
}

// The lookups answer from the snapshot what Windows answers from the system,
// for points and rectangles on, between and beyond the displays.
TEST_F(WineDisplays, LookupsAgreeWithMonitorFromPointAndRect) {
  const std::pair<Fallback, DWORD> fallbacks[] = {{Fallback::kNone, MONITOR_DEFAULTTONULL},
                                                  {Fallback::kNearest, MONITOR_DEFAULTTONEAREST},
                                                  {Fallback::kPrimary, MONITOR_DEFAULTTOPRIMARY}};
  const auto handle = [](const Display* d) { return d ? d->hmonitor() : nullptr; };
  int checked = 0;
  for (int y = -1000; y <= 2000; y += 101) {
    for (int x = -2000; x <= 3500; x += 113) {
      for (const auto& [fallback, flag] : fallbacks) {
        EXPECT_EQ(handle(displays_.AtPoint({x, y}, fallback)), MonitorFromPoint({x, y}, flag))
            << x << "," << y << " fallback " << flag;
        const RECT rc{x, y, x + 300, y + 200};
        EXPECT_EQ(handle(displays_.OfRect({x, y, x + 300, y + 200}, fallback)),
                  MonitorFromRect(&rc, flag))
            << x << "," << y << " +300x200 fallback " << flag;
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 1000);
}

class Window {
 public:
  explicit Window(DWORD ex_style, DWORD style = WS_POPUP) {
    hwnd_ = CreateWindowExW(ex_style, L"STATIC", L"", style, 0, 0, 10, 10, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  }
  ~Window() {
    if (hwnd_) DestroyWindow(hwnd_);
  }
  HWND get() const { return hwnd_; }
  void Place(const Rect& r) const {
    SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  void Destroy() {
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
  }

 private:
  HWND hwnd_;
};

TEST_F(WineDisplays, OfWindowFollowsTheWindow) {
  Window window(WS_EX_TOOLWINDOW);
  ASSERT_TRUE(window.get());
  for (const Rect& r : expected_) {
    window.Place({r.left + 20, r.top + 20, r.left + 220, r.top + 120});
    const Display* d = displays_.OfWindow(window.get(), Fallback::kNone);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->bounds, r);
  }
  // Mostly on the second display, a little on the primary.
  const Rect& second = expected_.at(1);
  window.Place({second.left - 50, second.top + 10, second.left + 250, second.top + 110});
  EXPECT_EQ(displays_.OfWindow(window.get(), Fallback::kNone)->bounds, second);

  window.Destroy();
  EXPECT_EQ(displays_.OfWindow(window.get(), Fallback::kNone), nullptr);
  EXPECT_EQ(displays_.OfWindow(window.get(), Fallback::kNearest), displays_.Primary());
  EXPECT_EQ(displays_.OfWindow(window.get(), Fallback::kPrimary), displays_.Primary());
}

TEST_F(WineDisplays, AMinimizedWindowBelongsWhereItWillBeRestored) {
  // One window of each kind, moved from display to display while minimized
  // (under Wine, destroying a minimized window takes two seconds).
  for (const DWORD ex_style : {DWORD{0}, DWORD{WS_EX_TOOLWINDOW}}) {
    Window window(ex_style, WS_OVERLAPPEDWINDOW);
    ASSERT_TRUE(window.get());
    for (const Rect& r : expected_) {
      SCOPED_TRACE(testing::Message() << "ex style " << ex_style << " at " << r.left);
      WINDOWPLACEMENT placement{};
      placement.length = sizeof placement;
      placement.showCmd = SW_SHOWMINNOACTIVE;
      placement.rcNormalPosition = {r.left + 120, r.top + 20, r.left + 420, r.top + 220};
      ASSERT_TRUE(SetWindowPlacement(window.get(), &placement));
      ASSERT_TRUE(IsIconic(window.get()));
      // The window's own rectangle is parked off every display.
      RECT parked{};
      GetWindowRect(window.get(), &parked);
      EXPECT_EQ(
          displays_.OfRect({parked.left, parked.top, parked.right, parked.bottom}, Fallback::kNone),
          nullptr);
      const Display* d = displays_.OfWindow(window.get(), Fallback::kNone);
      ASSERT_NE(d, nullptr);
      EXPECT_EQ(d->bounds, r);
    }
  }
}

}  // namespace
}  // namespace vantrel
