/// @file
/// One monitor of the desktop: a plain holder of fifteen values. It derives and
/// checks nothing; every getter returns what its setter last stored. Records
/// are shared by counted references (std::shared_ptr).
/// Nothing here fails but the texts: a getter hands out a copy and a setter
/// stores one, and either can run out of memory (std::bad_alloc).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel {

/// One monitor of the desktop: a plain holder of fifteen values, each read by
/// its getter and stored by its setter. A new record holds 0 and empty texts.
class clsMonitor {
 public:
  // Getter directly ahead of its setter, in the record's interface order.
  /// The refresh rate, in hertz.
  ///@{
  std::int32_t RefreshRate() const noexcept { return RefreshRate_; }
  void RefreshRate(std::int32_t lRefreshRate) noexcept { RefreshRate_ = lRefreshRate; }
  ///@}
  /// The monitor's device interface path.
  ///@{
  std::string MonitorGUID() const { return MonitorGUID_; }
  void MonitorGUID(std::string_view lMonitorGUID) { MonitorGUID_.assign(lMonitorGUID); }
  ///@}
  /// The monitor's name.
  ///@{
  std::string Monitor() const { return Monitor_; }
  void Monitor(std::string_view lMonitor) { Monitor_.assign(lMonitor); }
  ///@}
  /// The name of the adapter the monitor is on, as `"\\.\DISPLAY1"`.
  ///@{
  std::string Device() const { return Device_; }
  void Device(std::string_view lDevice) { Device_.assign(lDevice); }
  ///@}
  /// The monitor handle as a number; the list's key is its decimal text.
  ///@{
  std::int32_t Handle() const noexcept { return Handle_; }
  void Handle(std::int32_t lHandle) noexcept { Handle_ = lHandle; }
  ///@}
  /// The monitor's height and width, in pixels.
  ///@{
  std::int32_t Height() const noexcept { return Height_; }
  void Height(std::int32_t h) noexcept { Height_ = h; }
  std::int32_t Width() const noexcept { return Width_; }
  void Width(std::int32_t w) noexcept { Width_ = w; }
  ///@}
  /// The monitor's rectangle, in pixels of the virtual screen; right and
  /// bottom lie one past its last pixel.
  ///@{
  std::int32_t Left() const noexcept { return Left_; }
  void Left(std::int32_t L) noexcept { Left_ = L; }
  std::int32_t Right() const noexcept { return Right_; }
  void Right(std::int32_t R) noexcept { Right_ = R; }
  std::int32_t Top() const noexcept { return Top_; }
  void Top(std::int32_t t) noexcept { Top_ = t; }
  std::int32_t Bottom() const noexcept { return Bottom_; }
  void Bottom(std::int32_t b) noexcept { Bottom_ = b; }
  ///@}
  /// The monitor's work area (its rectangle without the task bars), in the
  /// same pixels.
  ///@{
  std::int32_t WorkLeft() const noexcept { return WorkLeft_; }
  void WorkLeft(std::int32_t L) noexcept { WorkLeft_ = L; }
  std::int32_t WorkRight() const noexcept { return WorkRight_; }
  void WorkRight(std::int32_t R) noexcept { WorkRight_ = R; }
  std::int32_t WorkTop() const noexcept { return WorkTop_; }
  void WorkTop(std::int32_t t) noexcept { WorkTop_ = t; }
  std::int32_t WorkBottom() const noexcept { return WorkBottom_; }
  void WorkBottom(std::int32_t b) noexcept { WorkBottom_ = b; }
  ///@}

 private:
  std::int32_t Handle_ = 0;
  std::int32_t Left_ = 0;
  std::int32_t Right_ = 0;
  std::int32_t Top_ = 0;
  std::int32_t Bottom_ = 0;
  std::int32_t WorkLeft_ = 0;
  std::int32_t WorkRight_ = 0;
  std::int32_t WorkTop_ = 0;
  std::int32_t WorkBottom_ = 0;
  std::int32_t Width_ = 0;
  std::int32_t Height_ = 0;
  std::string Device_;
  std::string Monitor_;
  std::string MonitorGUID_;
  std::int32_t RefreshRate_ = 0;
};

}  // namespace vantrel
