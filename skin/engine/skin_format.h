/* Reads the engine's skin format: ".SHE\0", a version byte, a record count, tagged records
   (tag, payload size, payload) and an FNV-1a checksum of every byte before it. Portable C. */
#ifndef TONVIA_SKIN_FORMAT_H
#define TONVIA_SKIN_FORMAT_H

#include <stdint.h>

/* Colours are stored as 0x00BBGGRR, the layout GDI uses. */
enum SkinColour {
  kWindowBackground,
  kButtonFaceTop,
  kButtonFaceBottom,
  kButtonBorder,
  kHoverFaceTop,
  kHoverFaceBottom,
  kHoverBorder,
  kPressedFaceTop,
  kPressedFaceBottom,
  kPressedBorder,
  kDisabledFace,
  kDisabledBorder,
  kFocusRing,
  kEditBorder,
  kEditBorderFocus,
  kEditInner,
  kSkinColourCount
};

typedef struct Skin {
  uint32_t colours[kSkinColourCount];
  uint32_t buttonCorner; /* diameter of the rounded button corners, in pixels */
} Skin;

/* Record tags: colour records carry 3 bytes (R, G, B) and use tags 1..kSkinColourCount in the
   order of enum SkinColour; metric records carry one byte. Unknown tags are skipped. */
#define SKIN_TAG_BUTTON_CORNER 0x40
#define SKIN_FORMAT_VERSION 1

/* Fills *skin from the bytes and returns 1, or returns 0 and leaves *skin untouched when the
   bytes are not a complete, intact skin of this format. Reads only [data, data + length). */
int ParseSkin(const unsigned char* data, uint32_t length, Skin* skin);

#endif
