#include "app/main_window_layout.h"

namespace tonvia {
namespace {

constexpr DWORD kChild = WS_CHILD | WS_CLIPSIBLINGS;
// Common edit settings: no ES_NOHIDESEL, so the selection hides while the box lacks the focus.
constexpr DWORD kLineEdit = kChild | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
constexpr DWORD kCentredLineEdit = kChild | WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE;
constexpr DWORD kLabel = kChild | SS_LEFT;
constexpr DWORD kTransparentLabel = kChild | SS_LEFTNOWORDWRAP | SS_CENTERIMAGE | SS_NOPREFIX;
constexpr DWORD kEdge = WS_EX_CLIENTEDGE;

}  // namespace

const ControlLayout kMainWindowControls[19] = {
    {Control::按钮2, ControlKind::Button, 305, 60, 124, 32, kButton, 0},
    {Control::歌右边内容3, ControlKind::Edit, 800, 144, 136, 24, kLineEdit, kEdge},
    {Control::标签2, ControlKind::Label, 576, 108, 56, 16, kLabel, 0},
    {Control::编辑框6, ControlKind::Edit, 544, 128, 144, 32, kLineEdit, kEdge},
    {Control::透明标签2, ControlKind::TransparentLabel, 9, 25, 55, 24, kTransparentLabel, 0},
    {Control::透明标签1, ControlKind::TransparentLabel, 206, 24, 68, 24, kTransparentLabel, 0},
    {Control::编辑框1, ControlKind::Edit, 79, 24, 110, 27, kCentredLineEdit, kEdge},
    {Control::按钮1, ControlKind::Button, 157, 59, 124, 32, kButton, 0},
    {Control::标签1, ControlKind::Label, 592, 224, 48, 24, kLabel, 0},
    {Control::歌右边内容2, ControlKind::Edit, 808, 104, 120, 24, kLineEdit, kEdge},
    {Control::歌右边, ControlKind::Edit, 808, 72, 120, 24, kLineEdit, kEdge},
    {Control::歌左边, ControlKind::Edit, 808, 24, 112, 24, kLineEdit, kEdge},
    // Disabled from the start: the detection pass writes the title, the user cannot type it.
    {Control::准确歌名, ControlKind::Edit, 274, 21, 153, 27,
     (kCentredLineEdit & ~WS_TABSTOP) | WS_DISABLED, kEdge},
    {Control::全名, ControlKind::Edit, 552, 248, 112, 24, kLineEdit, kEdge},
    {Control::编辑框5, ControlKind::Edit, 16, 432, 680, 384,
     kChild | WS_TABSTOP | ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, kEdge},
    {Control::编辑框4, ControlKind::Edit, 816, 248, 112, 24, kLineEdit, kEdge},
    {Control::编辑框3, ControlKind::Edit, 816, 288, 112, 24, kLineEdit, kEdge},
    {Control::开始, ControlKind::Button, 10, 60, 124, 32, kButton, 0},
    // The results box: wrapped lines, vertical scroll bar, not a tab stop.
    {Control::编辑框2, ControlKind::Edit, 7, 101, 425, 176,
     kChild | ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL, kEdge},
};

Text ResultsNotice() {
  const char* paragraphs[] = {
      "本查询软件同步网络数据库，实时更新。",
      "所有数据均由网友分享！",
      "本软件由 《Velmora》 编写。",
      "项目主页：http://tonvia.example.org/",
      "意见与反馈：请在项目主页留言。",
  };
  Text notice;
  for (const char* paragraph : paragraphs) {
    if (!notice.empty()) notice += "\r\n\r\n";
    notice += paragraph;
  }
  return notice;
}

std::optional<Field> FieldOfControl(Control control) {
  switch (control) {
    case Control::编辑框1: return Field::编辑框1;
    case Control::编辑框6: return Field::编辑框6;
    case Control::歌左边: return Field::歌左边;
    case Control::歌右边: return Field::歌右边;
    case Control::歌右边内容2: return Field::歌右边内容2;
    case Control::歌右边内容3: return Field::歌右边内容3;
    case Control::全名: return Field::全名;
    case Control::准确歌名: return Field::准确歌名;
    case Control::编辑框5: return Field::编辑框5;
    case Control::编辑框3: return Field::编辑框3;
    case Control::编辑框4: return Field::编辑框4;
    case Control::编辑框2: return Field::编辑框2;
    default: return std::nullopt;
  }
}

Control ControlOfField(Field field) {
  for (const ControlLayout& layout : kMainWindowControls) {
    if (FieldOfControl(layout.control) == field) return layout.control;
  }
  return Control::编辑框2;  // unreachable: every field has its edit box
}

Text InitialControlText(Control control) {
  switch (control) {
    case Control::按钮2: return "设置教程";
    case Control::按钮1: return "停止检测";
    case Control::开始: return "开始检测";
    case Control::标签2: return "路径后缀";
    case Control::标签1: return "全名";
    case Control::透明标签2: return "酷狗盘符：";
    case Control::透明标签1: return "歌曲识别：";
    case Control::编辑框2: return ResultsNotice();
    default: break;
  }
  std::optional<Field> field = FieldOfControl(control);
  return field ? Text(InitialFieldText(*field)) : Text();
}

}  // namespace tonvia
