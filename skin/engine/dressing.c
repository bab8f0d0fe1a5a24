#include "dressing.h"

#include <windows.h>

#include "painting.h"

/* Per-window bookkeeping lives in two window properties, so nothing is allocated. */
static const char kProcProperty[] = "TonviaSkin.Proc";
static const char kStateProperty[] = "TonviaSkin.State";

enum Kind { kKindFrame = 1, kKindPushButton = 2, kKindEdit = 3 };
enum { kKindMask = 0x0F, kUnicode = 0x10, kHovering = 0x20, kPresent = 0x100 };

static Skin g_skin;
static HHOOK g_hook;
static uint32_t g_dressed;

static char Lower(char c) { return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c; }

static int SameName(const char* a, const char* b) {
  while (*a && Lower(*a) == Lower(*b)) ++a, ++b;
  return Lower(*a) == Lower(*b);
}

static int StartsWith(const char* text, const char* prefix) {
  while (*prefix && Lower(*text) == Lower(*prefix)) ++text, ++prefix;
  return *prefix == 0;
}

static enum Kind KindOf(HWND window, LONG style) {
  char name[64];
  if (!GetClassNameA(window, name, sizeof name)) return 0;
  if (SameName(name, "Button")) {
    const LONG type = style & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON ? kKindPushButton : 0;
  }
  if (SameName(name, "Edit")) return kKindEdit;
  if (SameName(name, "#32770")) return kKindFrame;
  /* Menus, tool tips and input-method windows keep their own look. */
  if ((style & WS_CHILD) || SameName(name, "#32768") || StartsWith(name, "tooltips") ||
      StartsWith(name, "IME") || StartsWith(name, "MSCTFIME"))
    return 0;
  return kKindFrame;
}

static uint32_t StateOf(HWND window) { return (uint32_t)(UINT_PTR)GetPropA(window, kStateProperty); }

static void SetState(HWND window, uint32_t state) {
  SetPropA(window, kStateProperty, (HANDLE)(UINT_PTR)state);
}

static LRESULT CallOriginal(HWND window, uint32_t state, UINT message, WPARAM wParam,
                            LPARAM lParam) {
  WNDPROC original = (WNDPROC)GetPropA(window, kProcProperty);
  if (!original) {
    return state & kUnicode ? DefWindowProcW(window, message, wParam, lParam)
                            : DefWindowProcA(window, message, wParam, lParam);
  }
  return state & kUnicode ? CallWindowProcW(original, window, message, wParam, lParam)
                          : CallWindowProcA(original, window, message, wParam, lParam);
}

static BOOL IsPushStyle(HWND button) {
  const LONG type = GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

static void PaintButtonNow(HWND button, HDC given) {
  const uint32_t state = StateOf(button);
  const LRESULT buttonState = SendMessageW(button, BM_GETSTATE, 0, 0);
  enum ButtonLook look = kLookNormal;
  if (!IsWindowEnabled(button))
    look = kLookDisabled;
  else if (buttonState & BST_PUSHED)
    look = kLookPressed;
  else if (state & kHovering)
    look = kLookHover;
  const BOOL isDefault = (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  HDC hdc = given ? given : GetDC(button);
  if (!hdc) return;
  PaintPushButton(button, hdc, &g_skin, look, GetFocus() == button, isDefault);
  if (!given) ReleaseDC(button, hdc);
}

/* Messages after which the stock button draws itself at once; the engine draws over it. */
static BOOL ButtonRedrawsAfter(UINT message) {
  switch (message) {
    case WM_SETFOCUS: case WM_KILLFOCUS: case WM_ENABLE: case WM_SETTEXT:
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_LBUTTONUP:
    case WM_KEYDOWN: case WM_KEYUP: case WM_CAPTURECHANGED: case WM_UPDATEUISTATE:
    case BM_SETSTATE: case BM_SETSTYLE: case BM_SETCHECK: case BM_CLICK:
      return TRUE;
    default:
      return FALSE;
  }
}

static LRESULT ButtonMessage(HWND button, uint32_t state, UINT message, WPARAM wParam,
                             LPARAM lParam) {
  if (!IsPushStyle(button)) return CallOriginal(button, state, message, wParam, lParam);
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC hdc = BeginPaint(button, &paint);
      if (hdc) PaintButtonNow(button, hdc);
      EndPaint(button, &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE: {
      /* Repainted only when the hover starts or while the button holds the mouse (pressed
         look follows the pointer in and out), not on every move. */
      BOOL changed = GetCapture() == button;
      if (!(state & kHovering)) {
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, button, 0};
        if (TrackMouseEvent(&track)) SetState(button, state | kHovering), changed = TRUE;
      }
      const LRESULT result = CallOriginal(button, state, message, wParam, lParam);
      if (changed && IsWindow(button)) PaintButtonNow(button, NULL);
      return result;
    }
    case WM_MOUSELEAVE: {
      SetState(button, state & ~kHovering);
      const LRESULT result = CallOriginal(button, state, message, wParam, lParam);
      PaintButtonNow(button, NULL);
      return result;
    }
  }
  const LRESULT result = CallOriginal(button, state, message, wParam, lParam);
  if (ButtonRedrawsAfter(message) && IsWindow(button) && IsWindowVisible(button))
    PaintButtonNow(button, NULL);
  return result;
}

static LRESULT EditMessage(HWND edit, uint32_t state, UINT message, WPARAM wParam,
                           LPARAM lParam) {
  const LRESULT result = CallOriginal(edit, state, message, wParam, lParam);
  switch (message) {
    case WM_NCPAINT: case WM_SETFOCUS: case WM_KILLFOCUS: case WM_ENABLE: case WM_SIZE:
      if (IsWindow(edit) && IsWindowVisible(edit)) PaintEditFrame(edit, &g_skin);
      break;
  }
  return result;
}

/* A control colour the application did not choose itself is the stock one of DefWindowProc;
   only then does the engine put the skin's background behind the control. The text colour the
   application or the system set on the DC is left as it is. */
static LRESULT FrameControlColour(HWND frame, uint32_t state, UINT message, WPARAM wParam,
                                  LPARAM lParam) {
  const LRESULT brush = CallOriginal(frame, state, message, wParam, lParam);
  if ((HBRUSH)brush != GetSysColorBrush(COLOR_BTNFACE) && brush != 0) return brush;
  HDC hdc = (HDC)wParam;
  SetBkColor(hdc, g_skin.colours[kWindowBackground]);
  SetDCBrushColor(hdc, g_skin.colours[kWindowBackground]);
  return (LRESULT)GetStockObject(DC_BRUSH);
}

static LRESULT FrameMessage(HWND frame, uint32_t state, UINT message, WPARAM wParam,
                            LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      PaintWindowBackground(frame, (HDC)wParam, &g_skin);
      return 1;
    case WM_CTLCOLORSTATIC: case WM_CTLCOLORBTN: case WM_CTLCOLORDLG:
      return FrameControlColour(frame, state, message, wParam, lParam);
  }
  return CallOriginal(frame, state, message, wParam, lParam);
}

static LRESULT CALLBACK DressedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const uint32_t state = StateOf(window);
  if (message == WM_NCDESTROY) {
    const LRESULT result = CallOriginal(window, state, message, wParam, lParam);
    RemovePropA(window, kProcProperty);
    RemovePropA(window, kStateProperty);
    return result;
  }
  switch (state & kKindMask) {
    case kKindFrame: return FrameMessage(window, state, message, wParam, lParam);
    case kKindPushButton: return ButtonMessage(window, state, message, wParam, lParam);
    case kKindEdit: return EditMessage(window, state, message, wParam, lParam);
  }
  return CallOriginal(window, state, message, wParam, lParam);
}

static void Dress(HWND window, LONG style) {
  if (GetPropA(window, kStateProperty)) return;
  const enum Kind kind = KindOf(window, style);
  if (!kind) return;
  const BOOL unicode = IsWindowUnicode(window);
  uint32_t state = kind | kPresent | (unicode ? kUnicode : 0);
  if (!SetPropA(window, kStateProperty, (HANDLE)(UINT_PTR)state)) return;
  const LONG_PTR original =
      unicode ? SetWindowLongPtrW(window, GWLP_WNDPROC, (LONG_PTR)DressedProc)
              : SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)DressedProc);
  if (!original || !SetPropA(window, kProcProperty, (HANDLE)original)) {
    if (original) {
      if (unicode) SetWindowLongPtrW(window, GWLP_WNDPROC, original);
      else SetWindowLongPtrA(window, GWLP_WNDPROC, original);
    }
    RemovePropA(window, kStateProperty);
    return;
  }
  ++g_dressed;
}

static LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    const CBT_CREATEWNDA* creation = (const CBT_CREATEWNDA*)lParam;
    Dress((HWND)wParam, creation->lpcs->style);
  }
  return CallNextHookEx(g_hook, code, wParam, lParam);
}

static BOOL CALLBACK DressChild(HWND child, LPARAM unused) {
  (void)unused;
  Dress(child, GetWindowLongA(child, GWL_STYLE));
  return TRUE;
}

static BOOL CALLBACK DressTopLevel(HWND window, LPARAM unused) {
  (void)unused;
  Dress(window, GetWindowLongA(window, GWL_STYLE));
  EnumChildWindows(window, DressChild, 0);
  RedrawWindow(window, NULL, NULL,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return TRUE;
}

int DressThreadWindows(const Skin* skin) {
  /* Installed with no module handle: the hook procedure lives in this thread's process and
     only this thread's windows are hooked, which needs no module of its own. */
  if (!g_hook) g_hook = SetWindowsHookExA(WH_CBT, CreationHook, NULL, GetCurrentThreadId());
  if (!g_hook) return 0;
  g_skin = *skin;
  EnumThreadWindows(GetCurrentThreadId(), DressTopLevel, 0);
  return 1;
}

uint32_t DressedWindowCount(void) { return g_dressed; }
