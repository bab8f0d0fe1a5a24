#include "skin/skin_binding.h"

#include "skin/call_address.h"
#include "skin/engine/carried_data.h"
#include "skin/engine/skin_module.h"

namespace tonvia {

std::optional<MemoryModule> SkinModule;

namespace {

// Forgets the loader object but leaves the engine mapped: it gets no detach call and keeps
// dressing the windows until the process ends.
void DestroySkinModule() {
  if (!SkinModule) return;
  SkinModule->Destroy();
  SkinModule.reset();
}

std::uint32_t Address(const void* pointer) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointer));
}

}  // namespace

void LoadSkinEngine() {
  if (SkinModule) SkinModule->Load(SkinEngineImage, SkinEngineImageSize);
}

std::uint32_t AttachSkin(const unsigned char* skin, std::size_t length, const Text& password,
                         std::uint32_t x, std::uint32_t y, std::uint32_t z) {
  const std::uint32_t attach = SkinModule ? SkinModule->FindExport("SkinH_AttachRes") : 0;
  if (attach == 0) return 0;
  const std::uint32_t data = length == 0 ? 0 : Address(skin);
  const std::uint32_t pass = password.empty() ? 0 : Address(password.c_str());
  return CallAddress(attach, data, static_cast<std::uint32_t>(length), pass, x, y, z, 0, 0, 0, 0);
}

void StartSkinBinding(void (*registerExitRoutine)(ExitRoutine)) {
  SkinModule.emplace();
  if (registerExitRoutine) registerExitRoutine(DestroySkinModule);
  LoadSkinEngine();
}

void AttachCarriedSkin() { AttachSkin(SkinFile, SkinFileSize); }

}  // namespace tonvia
