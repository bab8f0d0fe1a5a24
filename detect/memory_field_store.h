// A field store held in memory, with the main window's initial texts and the same event rule,
// so the passes run in tests exactly as they run on the window.
#pragma once

#include <map>

#include "detect/fields.h"

namespace tonvia {

class MemoryFieldStore : public FieldStore {
 public:
  MemoryFieldStore();

  Text Read(Field field) const override;
  void Write(Field field, const Text& text) override;
  void Append(Field field, const Text& text) override;

  // The handler of a field's text-changed event (none by default).
  void OnChanged(Field field, std::function<void()> handler);

 private:
  void RaiseChanged(Field field);

  std::map<Field, Text> texts_;
  std::map<Field, std::function<void()>> handlers_;
};

}  // namespace tonvia
