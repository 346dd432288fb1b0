#pragma once

#include <cstdint>
#include <QString>
#include <vector>

// A picture as grey levels, row-major, width * height bytes; each grey is (R + G + B) / 3 of the
// picture's pixel, rounded down.
struct GreyPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> grey;

    bool isEmpty() const { return width == 0 || height == 0; }
};

// The most pixels a picture may have. The copy area is 320 x 255 dots at the smallest scale, so a
// logo never needs more; the limit keeps a hostile header from costing gigabytes before it is refused.
inline constexpr qint64 maxPicturePixels = 64'000'000;

inline bool withinPixelLimit(qint64 width, qint64 height) {
    return width <= maxPicturePixels && height <= maxPicturePixels && width * height <= maxPicturePixels;
}

// Both throw std::runtime_error naming the file when it cannot be read or decoded, or when it has
// more than maxPicturePixels.

// Grey, RGB and CMYK JPEGs, decoded at full size. Damaged or missing picture data fails the load.
GreyPicture loadJpegPicture(const QString& path);
// A Windows bitmap of any depth, RLE included, whatever the path ends in.
GreyPicture loadBitmapPicture(const QString& path);
