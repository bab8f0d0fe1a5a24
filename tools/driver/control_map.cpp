#include "tools/driver/control_map.h"

namespace tonvia_driver {
namespace {

const ControlSpot kSpots[] = {
    {L"按钮2", L"tutorial", 305, 60},
    {L"歌右边内容3", L"right3", 800, 144},
    {L"编辑框6", L"suffix", 544, 128},
    {L"编辑框1", L"drive", 79, 24},
    {L"按钮1", L"stop", 157, 59},
    {L"歌右边内容2", L"right2", 808, 104},
    {L"歌右边", L"right", 808, 72},
    {L"歌左边", L"left", 808, 24},
    {L"准确歌名", L"title", 274, 21},
    {L"全名", L"fullname", 552, 248},
    {L"编辑框5", L"page", 16, 432},
    {L"编辑框4", L"suffixmarker", 816, 248},
    {L"编辑框3", L"prefixmarker", 816, 288},
    {L"开始", L"start", 10, 60},
    {L"编辑框2", L"results", 7, 101},
};

struct SpotSearch {
  const ControlSpot* spot;
  HWND parent;
  HWND found;
};

BOOL CALLBACK MatchSpot(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<SpotSearch*>(param);
  if (GetParent(child) != search->parent) return TRUE;  // only direct children
  RECT rect;
  if (!GetWindowRect(child, &rect)) return TRUE;
  POINT corner{rect.left, rect.top};
  ScreenToClient(search->parent, &corner);
  if (corner.x == search->spot->left && corner.y == search->spot->top) {
    search->found = child;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

const ControlSpot* FindControlSpot(const std::wstring& name) {
  for (const auto& spot : kSpots) {
    if (name == spot.name || name == spot.alias) return &spot;
  }
  return nullptr;
}

std::wstring KnownControlNames() {
  std::wstring names;
  for (const auto& spot : kSpots) {
    names += L"  ";
    names += spot.alias;
    names += L" (";
    names += spot.name;
    names += L")\n";
  }
  return names;
}

HWND FindControl(HWND mainWindow, const ControlSpot& spot) {
  SpotSearch search{&spot, mainWindow, nullptr};
  EnumChildWindows(mainWindow, MatchSpot, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace tonvia_driver
