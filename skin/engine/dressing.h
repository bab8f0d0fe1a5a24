/* Dresses the windows of one thread: the ones that exist when the skin is attached and, through
   a thread-local creation hook, every window created on that thread later. Dressing subclasses
   a window and changes only how it is painted, never its text, size, position, state or
   behaviour. */
#ifndef TONVIA_SKIN_DRESSING_H
#define TONVIA_SKIN_DRESSING_H

#include <stdint.h>

#include "skin_format.h"

/* Makes skin the one in use and dresses the calling thread's windows; returns 0 when the
   creation hook cannot be installed. The skin is copied. */
int DressThreadWindows(const Skin* skin);

/* Windows dressed so far, for diagnostics. */
uint32_t DressedWindowCount(void);

#endif
