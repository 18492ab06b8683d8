// One monitor of the desktop: a plain holder of fifteen values. It derives and
// checks nothing; every getter returns what its setter last stored. Records
// are shared by counted references (std::shared_ptr).
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace vantrel {

class clsMonitor {
 public:
  // Getter directly ahead of its setter, in the record's interface order.
  std::int32_t RefreshRate() const { return RefreshRate_; }
  void RefreshRate(std::int32_t lRefreshRate) { RefreshRate_ = lRefreshRate; }
  std::string MonitorGUID() const { return MonitorGUID_; }
  void MonitorGUID(std::string lMonitorGUID) { MonitorGUID_ = std::move(lMonitorGUID); }
  std::string Monitor() const { return Monitor_; }
  void Monitor(std::string lMonitor) { Monitor_ = std::move(lMonitor); }
  std::string Device() const { return Device_; }
  void Device(std::string lDevice) { Device_ = std::move(lDevice); }
  std::int32_t Handle() const { return Handle_; }
  void Handle(std::int32_t lHandle) { Handle_ = lHandle; }
  std::int32_t Height() const { return Height_; }
  void Height(std::int32_t h) { Height_ = h; }
  std::int32_t Width() const { return Width_; }
  void Width(std::int32_t w) { Width_ = w; }
  std::int32_t Left() const { return Left_; }
  void Left(std::int32_t L) { Left_ = L; }
  std::int32_t Right() const { return Right_; }
  void Right(std::int32_t R) { Right_ = R; }
  std::int32_t Top() const { return Top_; }
  void Top(std::int32_t t) { Top_ = t; }
  std::int32_t Bottom() const { return Bottom_; }
  void Bottom(std::int32_t b) { Bottom_ = b; }
  std::int32_t WorkLeft() const { return WorkLeft_; }
  void WorkLeft(std::int32_t L) { WorkLeft_ = L; }
  std::int32_t WorkRight() const { return WorkRight_; }
  void WorkRight(std::int32_t R) { WorkRight_ = R; }
  std::int32_t WorkTop() const { return WorkTop_; }
  void WorkTop(std::int32_t t) { WorkTop_ = t; }
  std::int32_t WorkBottom() const { return WorkBottom_; }
  void WorkBottom(std::int32_t b) { WorkBottom_ = b; }

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
