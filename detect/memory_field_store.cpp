#include "detect/memory_field_store.h"

namespace tonvia {

MemoryFieldStore::MemoryFieldStore() {
  for (Field field : kAllFields) texts_[field] = InitialFieldText(field);
}

Text MemoryFieldStore::Read(Field field) const { return texts_.at(field); }

void MemoryFieldStore::Write(Field field, const Text& text) {
  texts_[field] = TextFromBytes(text.data(), text.size());
  RaiseChanged(field);
}

void MemoryFieldStore::Append(Field field, const Text& text) {
  texts_[field] += TextFromBytes(text.data(), text.size());
  RaiseChanged(field);
}

void MemoryFieldStore::OnChanged(Field field, std::function<void()> handler) {
  handlers_[field] = std::move(handler);
}

void MemoryFieldStore::RaiseChanged(Field field) {
  auto it = handlers_.find(field);
  if (it != handlers_.end() && it->second) it->second();
}

}  // namespace tonvia
