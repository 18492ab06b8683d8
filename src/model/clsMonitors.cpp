#include "vantrel/monitors/clsMonitors.h"

#include <string>
#include <string_view>
#include <utility>

#include "vantrel/base/attempt.h"
#include "vantrel/base/checked_math.h"
#include "vantrel/monitors/Module1.h"
#include "vantrel/platform/service_calls.h"

namespace vantrel {

using namespace platform;

// What one run of the adapter walk keeps between adapters. The three records
// are zero-filled once and reused: a field a call does not write keeps what
// the previous adapter's calls left in it, and so does the monitor handle.
struct clsMonitors::Walk {
  DisplayDeviceRecord dd;
  DeviceModeRecord dm;
  MonitorInfoRecord mi;
  std::int32_t i = 0;
  std::int32_t h = 0;
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
  Monitors_.reset();

  if (Guard([&] { return service_.GetSystemMetrics(SM_CMONITORS) == 0; })) {
    AddPrimaryScreenRecord();
    return;
  }

  Walk w;
  w.dd.SetInt32<DisplayDevice::cb>(DisplayDevice::kDeclaredSize);
  for (;;) {
    // No adapter at this index, or a query that cannot be made at all, ends
    // the walk.
    if (Guard([&] { return service_.EnumDisplayDevicesA(nullptr, w.i, w.dd, 0) == 0; })) return;
    // The index advances over detached adapters too. Once it cannot advance
    // any more the walk would ask for the same adapter for ever, so it ends
    // after this one.
    const bool advanced = Attempt([&] { w.i = CheckedAdd(w.i, 1); });
    const bool attached = (w.dd.UInt16<DisplayDevice::StateFlags>() & 1) != 0;
    if (attached) AddAdapterRecord(w);
    if (!advanced) return;
  }
}

// The service reports no monitors: one record for the primary screen.
void clsMonitors::AddPrimaryScreenRecord() noexcept {
  ClearMonitors();
  std::shared_ptr<clsMonitor> r;
  if (!Attempt([&] { r = std::make_shared<clsMonitor>(); })) return;
  // Its handle, corner and work area's corner are a new record's 0.
  Attempt([&] { r->Bottom(service_.GetSystemMetrics(SM_CYSCREEN)); });
  Attempt([&] { r->Right(service_.GetSystemMetrics(SM_CXSCREEN)); });
  r->WorkBottom(r->Bottom());
  r->WorkRight(r->Right());
  r->Width(r->Right());
  r->Height(r->Bottom());
  Attempt([&] { List().Add(r, "0"); });
}

void clsMonitors::AddAdapterRecord(Walk& w) noexcept {
  std::shared_ptr<clsMonitor> r;
  if (!Attempt([&] { r = std::make_shared<clsMonitor>(); })) return;  // nothing to fill
  ReadAdapter(w);
  FillRecord(*r, w);
  InsertRecord(std::move(r), w.h);
}

// The adapter's first monitor, its current settings, the monitor at the
// adapter's corner and that monitor's information. The results are not
// looked at: where a query writes nothing, its record keeps what it held.
void clsMonitors::ReadAdapter(Walk& w) noexcept {
  Attempt([&] {
    PassDeviceName(w.dd, [&](const char* name) {
      return service_.EnumDisplayDevicesA(name, 0, w.dd, EDD_GET_DEVICE_INTERFACE_NAME);
    });
  });
  w.dm.SetUInt16<DeviceMode::dmSize>(DeviceMode::kDeclaredSize);
  Attempt([&] {
    PassDeviceName(w.dd, [&](const char* name) {
      return service_.EnumDisplaySettingsA(name, static_cast<std::int32_t>(ENUM_CURRENT_SETTINGS),
                                           w.dm);
    });
  });
  Attempt([&] {
    w.h =
        service_.MonitorFromPoint(w.dm.Int32<DeviceMode::dmPositionX>(),
                                  w.dm.Int32<DeviceMode::dmPositionY>(), MONITOR_DEFAULTTONEAREST);
  });
  w.mi.SetInt32<MonitorInfo::cbSize>(MonitorInfo::kDeclaredSize);
  Attempt([&] { service_.GetMonitorInfoA(w.h, w.mi); });
}

// Fills the record in a fixed order: the remark is cut before the primary
// label is added, and the label before an empty name is defaulted.
void clsMonitors::FillRecord(clsMonitor& r, const Walk& w) noexcept {
  const auto& mi = w.mi;
  const std::string_view device_id = w.dd.TextView<DisplayDevice::DeviceID>();
  // The interface path starts at the double backslash; whatever stands before
  // it (as a rule the two NULs of the upper state flags) is skipped. Without
  // one, the whole field counts.
  const std::size_t backslashes = device_id.find("\\\\");
  const std::size_t path = backslashes == std::string_view::npos ? 0 : backslashes;

  r.Handle(w.h);
  Attempt([&] { r.Device(TrimNull(mi.TextView<MonitorInfo::szDevice>())); });
  Attempt([&] { r.Monitor(TrimNull(w.dd.TextView<DisplayDevice::DeviceString>())); });
  Attempt([&] { r.MonitorGUID(TrimNull(device_id.substr(path))); });
  r.RefreshRate(w.dm.Int32<DeviceMode::dmDisplayFrequency>());
  // A remark in parentheses is cut off; the space in front of it stays.
  Attempt([&] {
    const std::string name = r.Monitor();
    const std::size_t remark = name.find('(');
    if (remark != std::string::npos) r.Monitor(std::string_view(name).substr(0, remark));
  });
  r.Left(mi.Int32<MonitorInfo::rcMonitorLeft>());
  r.Right(mi.Int32<MonitorInfo::rcMonitorRight>());
  r.Top(mi.Int32<MonitorInfo::rcMonitorTop>());
  r.Bottom(mi.Int32<MonitorInfo::rcMonitorBottom>());
  // The primary monitor is known by its corner at the origin alone.
  if (r.Left() == 0 && r.Top() == 0) {
    Attempt([&] { r.Monitor(r.Monitor() + " (" + Module1::Localize("Primary Monitor") + ")"); });
  }
  r.WorkLeft(mi.Int32<MonitorInfo::rcWorkLeft>());
  r.WorkRight(mi.Int32<MonitorInfo::rcWorkRight>());
  r.WorkTop(mi.Int32<MonitorInfo::rcWorkTop>());
  r.WorkBottom(mi.Int32<MonitorInfo::rcWorkBottom>());
  Attempt([&] {
    r.Height(CheckedSub(mi.Int32<MonitorInfo::rcMonitorBottom>(),
                        mi.Int32<MonitorInfo::rcMonitorTop>()));
  });
  Attempt([&] {
    r.Width(CheckedSub(mi.Int32<MonitorInfo::rcMonitorRight>(),
                       mi.Int32<MonitorInfo::rcMonitorLeft>()));
  });
  if (Guard([&] { return r.Monitor().empty(); })) Attempt([&] { r.Monitor("Default Monitor"); });
}

// The record goes in front of the first listed one that lies strictly lower
// or strictly further right; when there is none, it goes last. A second
// adapter leading to a listed monitor handle is dropped: its key is taken, so
// the first record for that monitor stays.
void clsMonitors::InsertRecord(std::shared_ptr<clsMonitor> r, std::int32_t h) noexcept {
  std::int32_t j = 0;
  Attempt([&] {
    const Collection& monitors = List();
    for (const auto& c : monitors) {
      Attempt([&] { j = CheckedAdd(j, 1); });
      if (c->Top() > r->Top() || c->Left() > r->Left()) break;
      if (j == monitors.Count()) j = 0;
    }
  });
  Attempt([&] {
    if (j != 0) {
      List().Add(std::move(r), std::to_string(h), j);
    } else {
      List().Add(std::move(r), std::to_string(h));
    }
  });
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
