// The window timer 时钟1 and the rules for setting its period: the same period leaves a
// running timer alone, a different positive period restarts it (the next tick one full period
// later), and 0 or less stops it.
#pragma once

#include <windows.h>

namespace tonvia {

class DetectionTimer {
 public:
  static constexpr UINT_PTR kId = 1;

  explicit DetectionTimer(HWND window) : window_(window) {}
  DetectionTimer(const DetectionTimer&) = delete;
  DetectionTimer& operator=(const DetectionTimer&) = delete;
  ~DetectionTimer() { SetPeriod(0); }

  void SetPeriod(int period);
  int Period() const { return period_; }

 private:
  HWND window_;
  int period_ = 0;
};

}  // namespace tonvia
