#include "app/detection_timer.h"

namespace tonvia {

void DetectionTimer::SetPeriod(int period) {
  if (period < 0) period = 0;
  if (period == period_) return;
  if (period_ > 0) KillTimer(window_, kId);
  period_ = period;
  if (period_ > 0 && !SetTimer(window_, kId, static_cast<UINT>(period_), nullptr)) period_ = 0;
}

}  // namespace tonvia
