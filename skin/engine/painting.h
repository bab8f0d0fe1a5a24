/* GDI drawing of the dressed controls. Colours come from the skin; text colours stay the
   ones the controls would use without the engine. */
#ifndef TONVIA_SKIN_PAINTING_H
#define TONVIA_SKIN_PAINTING_H

#include <windows.h>

#include "skin_format.h"

enum ButtonLook { kLookNormal, kLookHover, kLookPressed, kLookDisabled };

/* Draws a whole push button (face, border, focus ring, text) into hdc over its client area. */
void PaintPushButton(HWND button, HDC hdc, const Skin* skin, enum ButtonLook look, BOOL focused,
                     BOOL isDefault);

/* Redraws an edit box's non-client border in the skin's colours, after the control's own. */
void PaintEditFrame(HWND edit, const Skin* skin);

/* Fills the client area of a dressed top-level window with the skin background. */
void PaintWindowBackground(HWND window, HDC hdc, const Skin* skin);

#endif
