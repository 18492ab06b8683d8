// The monitor list: one clsMonitor per monitor of the desktop, in position
// order, keyed by the decimal text of its monitor handle. Construction fills
// it; Refresh rebuilds it from the display service.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "monitors/clsMonitor.h"
#include "monitors/keyed_collection.h"
#include "platform/display_service.h"

namespace vantrel {

class clsMonitors {
 public:
  using Collection = KeyedCollection<clsMonitor>;

  // The service must outlive the object.
  explicit clsMonitors(platform::DisplayService& service);
  clsMonitors(const clsMonitors&) = delete;
  clsMonitors& operator=(const clsMonitors&) = delete;

  // Never null: read while it refers to nothing, it is created empty first.
  std::shared_ptr<Collection> Monitors();
  void Monitors(std::shared_ptr<Collection> collection);

  // Drops the current collection and builds a new one. Never fails: a step
  // the service cannot answer is skipped, and the list is what the other
  // steps built.
  void Refresh() noexcept;

 private:
  void Class_Initialize();
  void ClearMonitors() noexcept;
  template <class T>
  static T Max(const T& a, const T& b) {
    return a > b ? a : b;
  }
  static std::string TrimNull(const std::string& s) noexcept;

  void AddPrimaryScreenRecord() noexcept;
  struct Walk;
  void AddAdapterRecord(Walk& w) noexcept;

  platform::DisplayService& service_;
  std::shared_ptr<Collection> Monitors_;
};

}  // namespace vantrel
