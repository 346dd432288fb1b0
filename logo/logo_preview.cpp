#include "logo_preview.h"

#include <algorithm>
#include <array>
#include <cmath>

int scaledSize(int size, int percent) {
    const double factor = percent / 100.0;
    return int(std::nearbyint(static_cast<long double>(size) * factor));
}

void renderLogo(const GreyPicture& picture, const RenderSettings& settings, QImage& preview) {
    if (preview.size() != QSize(previewWidth, previewHeight) || preview.format() != QImage::Format_RGB888)
        preview = QImage(previewWidth, previewHeight, QImage::Format_RGB888);
    preview.fill(Qt::white);

    const int targetWidth = scaledSize(picture.width, settings.scaleH);
    const int targetHeight = scaledSize(picture.height, settings.scaleV);
    const int width = std::min(targetWidth, previewWidth);
    const int height = std::min(targetHeight, previewHeight);

    std::array<uint8_t, 256> level;
    for (int v = 0; v < 256; ++v) {
        const bool white = 100 * v >= 255 * settings.contrast;
        level[v] = white != settings.inverted ? 255 : 0;
    }
    std::array<int, previewWidth> column;
    for (int x = 0; x < width; ++x)
        column[x] = x * picture.width / targetWidth;

    for (int y = 0; y < height; ++y) {
        const uint8_t* source = picture.grey.data() + size_t(y * picture.height / targetHeight) * picture.width;
        uchar* line = preview.scanLine(y);
        for (int x = 0; x < width; ++x, line += 3)
            line[0] = line[1] = line[2] = level[source[column[x]]];
    }
}
