#pragma once

#include <QImage>

// The rectangle of the preview that the upload sends, inclusive coordinates. It stays inside the
// preview, 8 to 320 wide in steps of 8 and 1 to 255 high.
struct CopyArea {
    int left = 0;
    int top = 0;
    int right = 319;
    int bottom = 254;

    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};

// The frame is drawn into the area's border pixels as marks that still tell black from white:
// (254, 0, 0) is a framed black pixel, (255, 0, 0) a framed white one, and both show red.

// Turns the marks on the area's border back into black and white; other pixels stay.
void eraseFrame(QImage& preview, const CopyArea& area);
// Marks each border pixel once: exactly black becomes (254, 0, 0), anything else (255, 0, 0).
// Marking a pixel twice would turn a black one white.
void drawFrame(QImage& preview, const CopyArea& area);
