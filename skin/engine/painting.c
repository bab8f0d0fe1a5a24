#include "painting.h"

static COLORREF Mix(COLORREF a, COLORREF b, int step, int steps) {
  const int r = GetRValue(a) + (GetRValue(b) - GetRValue(a)) * step / steps;
  const int g = GetGValue(a) + (GetGValue(b) - GetGValue(a)) * step / steps;
  const int bl = GetBValue(a) + (GetBValue(b) - GetBValue(a)) * step / steps;
  return RGB(r, g, bl);
}

static void FillSolid(HDC hdc, const RECT* rect, COLORREF colour) {
  SetDCBrushColor(hdc, colour);
  FillRect(hdc, rect, (HBRUSH)GetStockObject(DC_BRUSH));
}

static void FillVertical(HDC hdc, const RECT* rect, COLORREF top, COLORREF bottom) {
  const int height = rect->bottom - rect->top;
  for (int y = 0; y < height; ++y) {
    RECT line = {rect->left, rect->top + y, rect->right, rect->top + y + 1};
    FillSolid(hdc, &line, Mix(top, bottom, y, height > 1 ? height - 1 : 1));
  }
}

static void FrameRounded(HDC hdc, const RECT* rect, int corner, COLORREF colour) {
  HGDIOBJ oldBrush = SelectObject(hdc, GetStockObject(NULL_BRUSH));
  HGDIOBJ oldPen = SelectObject(hdc, GetStockObject(DC_PEN));
  SetDCPenColor(hdc, colour);
  RoundRect(hdc, rect->left, rect->top, rect->right, rect->bottom, corner, corner);
  SelectObject(hdc, oldPen);
  SelectObject(hdc, oldBrush);
}

static void DrawButtonText(HWND button, HDC hdc, RECT rect, enum ButtonLook look) {
  WCHAR text[512];
  const int length = GetWindowTextW(button, text, sizeof text / sizeof text[0]);
  if (length <= 0) return;
  HFONT font = (HFONT)SendMessageW(button, WM_GETFONT, 0, 0);
  HGDIOBJ oldFont = SelectObject(hdc, font ? (HGDIOBJ)font : GetStockObject(SYSTEM_FONT));
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, GetSysColor(look == kLookDisabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
  if (look == kLookPressed) OffsetRect(&rect, 1, 1);
  UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  if (SendMessageW(button, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL) format |= DT_HIDEPREFIX;
  DrawTextW(hdc, text, length, &rect, format);
  SelectObject(hdc, oldFont);
}

void PaintPushButton(HWND button, HDC target, const Skin* skin, enum ButtonLook look,
                     BOOL focused, BOOL isDefault) {
  RECT client;
  GetClientRect(button, &client);
  const int width = client.right, height = client.bottom;
  if (width <= 0 || height <= 0) return;

  /* Drawn off screen first so that the button never flickers through its stock look. */
  HDC hdc = CreateCompatibleDC(target);
  HBITMAP bitmap = CreateCompatibleBitmap(target, width, height);
  if (!hdc || !bitmap) {
    if (bitmap) DeleteObject(bitmap);
    if (hdc) DeleteDC(hdc);
    return;
  }
  HGDIOBJ oldBitmap = SelectObject(hdc, bitmap);

  const uint32_t* c = skin->colours;
  COLORREF top = c[kButtonFaceTop], bottom = c[kButtonFaceBottom], border = c[kButtonBorder];
  if (look == kLookHover) {
    top = c[kHoverFaceTop], bottom = c[kHoverFaceBottom], border = c[kHoverBorder];
  } else if (look == kLookPressed) {
    top = c[kPressedFaceTop], bottom = c[kPressedFaceBottom], border = c[kPressedBorder];
  } else if (look == kLookDisabled) {
    top = bottom = c[kDisabledFace], border = c[kDisabledBorder];
  } else if (isDefault) {
    border = c[kHoverBorder];
  }

  const int corner = (int)skin->buttonCorner;
  FillSolid(hdc, &client, c[kWindowBackground]);
  HRGN face = CreateRoundRectRgn(0, 0, width + 1, height + 1, corner, corner);
  if (face) SelectClipRgn(hdc, face);
  FillVertical(hdc, &client, top, bottom);
  SelectClipRgn(hdc, NULL);
  if (face) DeleteObject(face);
  FrameRounded(hdc, &client, corner, border);
  if (focused && look != kLookDisabled) {
    RECT ring = {1, 1, width - 1, height - 1};
    FrameRounded(hdc, &ring, corner > 2 ? corner - 2 : corner, c[kFocusRing]);
  }
  DrawButtonText(button, hdc, client, look);

  BitBlt(target, 0, 0, width, height, hdc, 0, 0, SRCCOPY);
  SelectObject(hdc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(hdc);
}

void PaintEditFrame(HWND edit, const Skin* skin) {
  RECT window, client;
  POINT origin = {0, 0};
  if (!GetWindowRect(edit, &window) || !GetClientRect(edit, &client)) return;
  ClientToScreen(edit, &origin);
  /* The border is what lies between the window edge and the client area on the left. */
  const int thickness = origin.x - window.left;
  if (thickness <= 0 || thickness > 3) return;
  HDC hdc = GetWindowDC(edit);
  if (!hdc) return;
  RECT ring = {0, 0, window.right - window.left, window.bottom - window.top};
  const COLORREF outer =
      skin->colours[GetFocus() == edit ? kEditBorderFocus : kEditBorder];
  for (int i = 0; i < thickness; ++i) {
    SetDCBrushColor(hdc, i == 0 ? outer : skin->colours[kEditInner]);
    FrameRect(hdc, &ring, (HBRUSH)GetStockObject(DC_BRUSH));
    InflateRect(&ring, -1, -1);
  }
  ReleaseDC(edit, hdc);
}

void PaintWindowBackground(HWND window, HDC hdc, const Skin* skin) {
  RECT client;
  GetClientRect(window, &client);
  FillSolid(hdc, &client, skin->colours[kWindowBackground]);
}
