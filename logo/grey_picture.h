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

// Both throw std::runtime_error naming the file when it cannot be read or decoded.

// Grey, RGB and CMYK JPEGs, decoded at full size. Damaged or missing picture data fails the load.
GreyPicture loadJpegPicture(const QString& path);
// A Windows bitmap of any depth, RLE included, whatever the path ends in.
GreyPicture loadBitmapPicture(const QString& path);
