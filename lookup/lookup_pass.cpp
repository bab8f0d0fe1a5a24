#include "lookup/lookup_pass.h"

namespace tonvia {

void RunLookupPass(FieldStore&, TickState&, const char*) {}

}  // namespace tonvia
