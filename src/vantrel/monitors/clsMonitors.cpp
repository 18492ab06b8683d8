#include "vantrel/monitors/clsMonitors.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "vantrel/base/checked_math.h"
#include "vantrel/base/failure.h"
#include "vantrel/monitors/Module1.h"

namespace vantrel {

using namespace platform;

namespace {

// Position (from 1) of the first occurrence of `what` in `s`; 0 when absent.
std::int32_t InStr(std::string_view s, std::string_view what) {
  const auto p = s.find(what);
  return p == std::string_view::npos ? 0 : static_cast<std::int32_t>(p) + 1;
}

// The first n characters (all when there are fewer); a negative n fails.
std::string_view LeftChars(std::string_view s, std::int32_t n) {
  if (n < 0) Fail(kInvalidCall);
  return s.substr(0, static_cast<std::size_t>(n));
}

// From position `start` (counted from 1) to the end; a start before the text
// fails, one past its end gives the empty text.
std::string_view MidChars(std::string_view s, std::int32_t start) {
  if (start < 1) Fail(kInvalidCall);
  const auto from = static_cast<std::size_t>(start - 1);
  return from >= s.size() ? std::string_view() : s.substr(from);
}

}  // namespace

// What one run of the adapter walk keeps between adapters. The three records
// are zero-filled once and reused: a field a call does not write keeps what
// the previous adapter's calls left in it.
struct clsMonitors::Walk {
  DisplayDeviceRecord dd;
  DeviceModeRecord dm;
  MonitorInfoRecord mi;
  std::int32_t i = 0;
  std::int32_t h = 0;
  std::int32_t pos = 0;
  std::int32_t j = 0;
  std::shared_ptr<clsMonitor> r;
};

clsMonitors::clsMonitors(DisplayService& service, const ui::Screen* screen) noexcept
    : service_(service), screen_(screen) {
  Class_Initialize();
}

std::shared_ptr<clsMonitors::Collection> clsMonitors::Monitors() {
  List();
  return Monitors_;
}

void clsMonitors::Monitors(std::shared_ptr<Collection> collection) noexcept {
  Monitors_ = std::move(collection);
}

void clsMonitors::Refresh() noexcept {
  // Holders of the earlier collection keep it, unchanged.
  Attempt([&] { Monitors_.reset(); });

  if (Guard([&] { return service_.GetSystemMetrics(SM_CMONITORS) == 0; })) {
    AddPrimaryScreenRecord();
    return;
  }

  Walk w;
  Attempt([&] { w.dd.SetInt32<DisplayDevice::cb>(DisplayDevice::kDeclaredSize); });
  for (;;) {
    // No adapter at this index, or a query that cannot be made at all, ends
    // the walk.
    if (Guard([&] { return service_.EnumDisplayDevicesA(nullptr, w.i, w.dd, 0) == 0; })) return;
    // The index advances over detached adapters too. Once it cannot advance
    // any more the walk would ask for the same adapter for ever, so it ends
    // after this one.
    const bool advanced = Attempt([&] { w.i = CheckedAdd(w.i, 1); });
    const bool detached =
        Guard([&] { return (w.dd.UInt16<DisplayDevice::StateFlags>() & 1) == 0; });
    if (!detached) AddAdapterRecord(w);
    if (!advanced) return;
  }
}

// The service reports no monitors: one record for the primary screen.
void clsMonitors::AddPrimaryScreenRecord() noexcept {
  ClearMonitors();
  std::shared_ptr<clsMonitor> r;
  if (!Attempt([&] { r = std::make_shared<clsMonitor>(); })) return;
  Attempt([&] { r->Handle(0); });
  Attempt([&] { r->Bottom(service_.GetSystemMetrics(SM_CYSCREEN)); });
  Attempt([&] { r->Left(0); });
  Attempt([&] { r->Right(service_.GetSystemMetrics(SM_CXSCREEN)); });
  Attempt([&] { r->Top(0); });
  Attempt([&] { r->WorkBottom(r->Bottom()); });
  Attempt([&] { r->WorkLeft(0); });
  Attempt([&] { r->WorkRight(r->Right()); });
  Attempt([&] { r->WorkTop(0); });
  Attempt([&] { r->Width(r->Right()); });
  Attempt([&] { r->Height(r->Bottom()); });
  Attempt([&] { List().Add(r, "0"); });
}

void clsMonitors::AddAdapterRecord(Walk& w) noexcept {
  auto& dd = w.dd;
  auto& dm = w.dm;
  auto& mi = w.mi;
  auto& h = w.h;
  auto& pos = w.pos;
  auto& j = w.j;
  auto& r = w.r;
  // Without a new record the steps below would fill the previous adapter's,
  // which is already listed.
  if (!Attempt([&] { r = std::make_shared<clsMonitor>(); })) return;

  // The adapter's first monitor. Where the service writes nothing, the record
  // keeps the adapter's own description and identifier.
  Attempt([&] {
    PassDeviceName(dd, [&](const char* name) {
      return service_.EnumDisplayDevicesA(name, 0, dd, EDD_GET_DEVICE_INTERFACE_NAME);
    });
  });
  Attempt([&] { dm.SetUInt16<DeviceMode::dmSize>(DeviceMode::kDeclaredSize); });
  Attempt([&] {
    PassDeviceName(dd, [&](const char* name) {
      return service_.EnumDisplaySettingsA(name, ENUM_CURRENT_SETTINGS, dm);
    });
  });
  Attempt([&] {
    h = service_.MonitorFromPoint(dm.Int32<DeviceMode::dmPositionX>(),
                                  dm.Int32<DeviceMode::dmPositionY>(), MONITOR_DEFAULTTONEAREST);
  });
  Attempt([&] { mi.SetInt32<MonitorInfo::cbSize>(MonitorInfo::kDeclaredSize); });
  Attempt([&] { service_.GetMonitorInfoA(h, mi); });
  // The interface path starts at the double backslash; whatever stands before
  // it (as a rule the two NULs of the upper state flags) is skipped.
  Attempt(
      [&] { pos = Max<std::int32_t>(1, InStr(dd.TextView<DisplayDevice::DeviceID>(), "\\\\")); });

  // The texts are cut out of the service's records straight into the record,
  // and read back in place.
  Attempt([&] { r->Handle(h); });
  Attempt([&] { r->Device(TrimNull(mi.TextView<MonitorInfo::szDevice>())); });
  Attempt([&] { r->Monitor(TrimNull(dd.TextView<DisplayDevice::DeviceString>())); });
  Attempt([&] { r->MonitorGUID(TrimNull(MidChars(dd.TextView<DisplayDevice::DeviceID>(), pos))); });
  Attempt([&] { r->RefreshRate(dm.Int32<DeviceMode::dmDisplayFrequency>()); });
  // A remark in parentheses is cut off; the space in front of it stays.
  Attempt([&] { pos = InStr(r->Monitor_.view(), "("); });
  if (Guard([&] { return pos != 0; })) {
    Attempt([&] { r->Monitor(LeftChars(r->Monitor_.view(), CheckedSub(pos, 1))); });
  }
  Attempt([&] { r->Left(mi.Int32<MonitorInfo::rcMonitorLeft>()); });
  Attempt([&] { r->Right(mi.Int32<MonitorInfo::rcMonitorRight>()); });
  Attempt([&] { r->Top(mi.Int32<MonitorInfo::rcMonitorTop>()); });
  Attempt([&] { r->Bottom(mi.Int32<MonitorInfo::rcMonitorBottom>()); });
  // The primary monitor is known by its corner at the origin alone.
  if (Guard([&] { return r->Left() == 0 && r->Top() == 0; })) {
    Attempt([&] {
      const std::string label = Module1::Localize("Primary Monitor");
      const std::string_view name = r->Monitor_.view();
      // Joined on the stack where it fits the record, else on the heap.
      char joined[RecordText::kInline];
      const std::size_t size = name.size() + label.size() + 3;
      if (size <= sizeof joined) {
        char* p = std::copy(name.begin(), name.end(), joined);
        p = std::copy_n(" (", 2, p);
        p = std::copy(label.begin(), label.end(), p);
        *p = ')';
        r->Monitor(std::string_view(joined, size));
      } else {
        r->Monitor(std::string(name) + " (" + label + ")");
      }
    });
  }
  Attempt([&] { r->WorkLeft(mi.Int32<MonitorInfo::rcWorkLeft>()); });
  Attempt([&] { r->WorkRight(mi.Int32<MonitorInfo::rcWorkRight>()); });
  Attempt([&] { r->WorkTop(mi.Int32<MonitorInfo::rcWorkTop>()); });
  Attempt([&] { r->WorkBottom(mi.Int32<MonitorInfo::rcWorkBottom>()); });
  Attempt([&] {
    r->Height(CheckedSub(mi.Int32<MonitorInfo::rcMonitorBottom>(),
                         mi.Int32<MonitorInfo::rcMonitorTop>()));
  });
  Attempt([&] {
    r->Width(CheckedSub(mi.Int32<MonitorInfo::rcMonitorRight>(),
                        mi.Int32<MonitorInfo::rcMonitorLeft>()));
  });
  if (Guard([&] { return r->Monitor_.view().empty(); })) {
    Attempt([&] { r->Monitor("Default Monitor"); });
  }

  // The record goes in front of the first listed one that lies strictly
  // lower or strictly further right; when there is none, it goes last.
  Attempt([&] { j = 0; });
  Attempt([&] {
    const Collection& monitors = List();
    for (const auto& c : monitors) {
      Attempt([&] { j = CheckedAdd(j, 1); });
      if (Guard([&] { return c->Top() > r->Top(); })) break;
      if (Guard([&] { return c->Left() > r->Left(); })) break;
      if (Guard([&] { return j == monitors.Count(); })) Attempt([&] { j = 0; });
    }
  });
  // A second adapter leading to a listed monitor handle is dropped here: the
  // key is taken, so the first record for that monitor stays. The walk's own
  // reference goes into the list: the next adapter starts a new record.
  if (Guard([&] { return j != 0; })) {
    Attempt([&] { List().Add(std::move(r), std::to_string(h), j); });
  } else {
    Attempt([&] { List().Add(std::move(r), std::to_string(h)); });
  }
}

void clsMonitors::Class_Initialize() noexcept { Refresh(); }

void clsMonitors::ClearMonitors() noexcept {
  std::int32_t n = 0;
  Attempt([&] { n = List().Count(); });
  for (std::int32_t k = n; k >= 1; --k) {
    Attempt([&] { List().Remove(k); });
  }
}

}  // namespace vantrel
