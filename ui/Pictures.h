// Bitmaps drawn anew at another size, smoothly (each target pixel averages the source pixels it
// covers), for pictures that must fit a place measured at the screen's DPI.
#pragma once
#include <windows.h>

#include <commctrl.h>

namespace win {

// The picture's size scaled by the factor, made smaller where needed (keeping its proportions)
// to fit the box; never below one pixel a side.
SIZE FittedSize(SIZE picture, SIZE box, double factor);

// A new 24-bit bitmap of the given size holding the source stretched over it.
HBITMAP ScaledBitmap(HBITMAP source, int width, int height);

// A new 24-bit bitmap of the box's size, filled with the colour, with the source drawn at its
// fitted size in the middle: whatever the source's size, nothing of it reaches past the box.
HBITMAP FittedBitmap(HBITMAP source, SIZE box, double factor, COLORREF background);

// The strip of count square pictures drawn at the size that suits the DPI (16, 24 or 32 pixels),
// from the program's bitmap resources of those sizes; magenta stands for transparent.
HIMAGELIST LoadPictureStrip(UINT dpi, const int (&stripIds)[3], int count);

}  // namespace win
