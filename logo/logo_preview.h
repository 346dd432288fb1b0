#pragma once

#include "grey_picture.h"

#include <QImage>

// The logo preview: the dots the register can print, as an RGB888 raster.
constexpr int previewWidth = 320;
constexpr int previewHeight = 255;

// round(size * percent / 100), halves to even, with percent / 100 taken as a double and the product
// in extended precision: scaledSize(5, 10) is 1, where plain double arithmetic would give 0.
int scaledSize(int size, int percent);

struct RenderSettings {
    int contrast = 50; // 0 to 100
    int scaleH = 100;  // percent
    int scaleV = 100;
    bool inverted = false;
};

// Paints the preview white, then the picture stretched by the scales (nearest pixel) and cut to
// the preview, each pixel black or white: white when 100 * grey >= 255 * contrast, swapped when
// inverted. The preview outside the stretched picture stays white. Computes only visible pixels.
// A preview of another size or format is replaced.
void renderLogo(const GreyPicture& picture, const RenderSettings& settings, QImage& preview);
