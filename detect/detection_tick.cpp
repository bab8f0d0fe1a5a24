#include "detect/detection_tick.h"

namespace tonvia {

void RunDetectionTick(FieldStore&, const LookupPass&) {}

}  // namespace tonvia
