// The main window's controls in stacking order (first on top), with their places, sizes,
// initial texts and window styles.
#pragma once

#include <windows.h>

#include <optional>

#include "detect/fields.h"

namespace tonvia {

// The main window's controls, named as the code refers to them. The timer 时钟1 has no window
// and is not listed.
enum class Control {
  按钮2,
  歌右边内容3,
  标签2,
  编辑框6,
  透明标签2,
  透明标签1,
  编辑框1,
  按钮1,
  标签1,
  歌右边内容2,
  歌右边,
  歌左边,
  准确歌名,
  全名,
  编辑框5,
  编辑框4,
  编辑框3,
  开始,
  编辑框2,
};

enum class ControlKind { Button, Edit, Label, TransparentLabel };

struct ControlLayout {
  Control control;
  ControlKind kind;
  int left, top, width, height;
  DWORD style;  // without WS_VISIBLE: controls are shown once all exist and are stacked
  DWORD exStyle;
};

// All controls, first on top.
extern const ControlLayout kMainWindowControls[19];

// The control's initial text (code page 936).
Text InitialControlText(Control control);

// The field an edit box holds, if the control is one of the window's fields.
std::optional<Field> FieldOfControl(Control control);
Control ControlOfField(Field field);

// The control's command identifier inside the main window.
inline int ControlId(Control control) { return 1000 + static_cast<int>(control); }

// The results box's notice before the first lookup.
Text ResultsNotice();

}  // namespace tonvia
