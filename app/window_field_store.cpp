#include "app/window_field_store.h"

#include <vector>

namespace tonvia {

void WindowFieldStore::Bind(Field field, HWND box) { boxes_[field].hwnd = box; }

void WindowFieldStore::OnChanged(Field field, std::function<void()> handler) {
  boxes_[field].handler = std::move(handler);
}

Text WindowFieldStore::Read(Field field) const {
  auto it = boxes_.find(field);
  if (it == boxes_.end() || !it->second.hwnd) return Text();
  int length = GetWindowTextLengthA(it->second.hwnd);
  if (length <= 0) return Text();
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
  int copied = GetWindowTextA(it->second.hwnd, buffer.data(), length + 1);
  return TextFromBytes(buffer.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0);
}

void WindowFieldStore::Write(Field field, const Text& text) {
  auto it = boxes_.find(field);
  if (it == boxes_.end() || !it->second.hwnd) return;
  Box& box = it->second;
  ++box.replacing;
  SetWindowTextA(box.hwnd, text.c_str());
  --box.replacing;
  RaiseChanged(field);
}

void WindowFieldStore::Append(Field field, const Text& text) {
  auto it = boxes_.find(field);
  if (it == boxes_.end() || !it->second.hwnd) return;
  Box& box = it->second;
  int end = GetWindowTextLengthA(box.hwnd);
  SendMessageA(box.hwnd, EM_SETSEL, end, end);
  SendMessageA(box.hwnd, EM_SCROLLCARET, 0, 0);
  ++box.replacing;
  // FALSE: the insertion leaves no undo record.
  SendMessageA(box.hwnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  --box.replacing;
  RaiseChanged(field);
}

void WindowFieldStore::OnEditChanged(Field field) {
  auto it = boxes_.find(field);
  if (it != boxes_.end() && it->second.replacing == 0) RaiseChanged(field);
}

void WindowFieldStore::RaiseChanged(Field field) {
  auto it = boxes_.find(field);
  if (it == boxes_.end() || !it->second.handler) return;
  // A copy: the handler may replace itself while it runs.
  std::function<void()> handler = it->second.handler;
  handler();
}

}  // namespace tonvia
