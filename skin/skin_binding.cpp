#include "skin/skin_binding.h"

namespace tonvia {

void StartSkinBinding(void (*)(ExitRoutine)) {}

void AttachCarriedSkin() {}

}  // namespace tonvia
