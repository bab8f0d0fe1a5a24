// The field store over the main window's edit boxes: reads what a box shows, writes and
// appends through the edit control, and raises each field's text-changed event by the rule the
// passes rely on (exactly once per write or append, also when the text is unchanged).
#pragma once

#include <windows.h>

#include <functional>
#include <map>

#include "detect/fields.h"

namespace tonvia {

class WindowFieldStore : public FieldStore {
 public:
  // Binds a field to its edit box.
  void Bind(Field field, HWND box);
  // Forgets every box and handler once the window is gone: reads then give empty texts and
  // writes do nothing, so a tick still running finishes without touching anything.
  void UnbindAll() { boxes_.clear(); }
  // The handler of a field's text-changed event (none by default).
  void OnChanged(Field field, std::function<void()> handler);

  Text Read(Field field) const override;
  void Write(Field field, const Text& text) override;
  void Append(Field field, const Text& text) override;

  // Called by the window for an EN_CHANGE from the box bound to field: raises the event unless
  // the change comes from a write or append in progress, which raises it itself.
  void OnEditChanged(Field field);

 private:
  struct Box {
    HWND hwnd = nullptr;
    int replacing = 0;  // writes in progress (a handler may write the same field again)
    std::function<void()> handler;
  };
  void RaiseChanged(Field field);

  std::map<Field, Box> boxes_;
};

}  // namespace tonvia
