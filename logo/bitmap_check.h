#pragma once

#include <QByteArray>
#include <QtGlobal>

// What is wrong with a Windows bitmap that Qt's reader would not refuse but quietly make good: it
// allocates the whole picture before reading it, fills a file cut short with zeros, clips runs
// that leave the picture and paints colours missing from the palette, so a damaged file would
// become a spoilt logo.
// Not faults: an odd density (pixels per metre), which nothing here uses, and 16-bit masks that
// leave a colour channel out, which draw the picture as its maker meant it.
struct BitmapFault {
    enum Kind {
        None,
        TooLarge,          // more than maxPicturePixels
        CutShort,          // the pixel data ends before the picture does
        ShorterThanHeader, // the header gives a file or pixel data size beyond the file's end
        PastEdge,          // compressed data paints or moves outside the picture
        TopDownCompressed, // compressed data may only be stored from the bottom row up
        ColourPastPalette, // a pixel's colour number is past the palette's end
    };
    Kind kind = None;
    qint64 width = 0; // the size the header gives, for TooLarge
    qint64 height = 0;
};

// Walks the headers and then the compressed data, or an indexed picture's colour numbers, without
// decoding anything. Headers it cannot make sense of are left to Qt, which refuses them itself.
BitmapFault checkBitmap(const QByteArray& bytes);
