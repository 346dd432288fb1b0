#include "logo_frame.h"

namespace {

const QRgb black = qRgb(0, 0, 0);
const QRgb white = qRgb(255, 255, 255);
const QRgb framedBlack = qRgb(254, 0, 0);
const QRgb framedWhite = qRgb(255, 0, 0);

void erase(QImage& preview, int x, int y) {
    const QRgb pixel = preview.pixel(x, y);
    if (pixel == framedBlack)
        preview.setPixel(x, y, black);
    else if (pixel == framedWhite)
        preview.setPixel(x, y, white);
}

void mark(QImage& preview, int x, int y) {
    preview.setPixel(x, y, preview.pixel(x, y) == black ? framedBlack : framedWhite);
}

} // namespace

void eraseFrame(QImage& preview, const CopyArea& area) {
    for (int x = area.left; x <= area.right; ++x) {
        erase(preview, x, area.top);
        erase(preview, x, area.bottom);
    }
    for (int y = area.top; y <= area.bottom; ++y) {
        erase(preview, area.left, y);
        erase(preview, area.right, y);
    }
}

void drawFrame(QImage& preview, const CopyArea& area) {
    for (int x = area.left; x <= area.right; ++x) {
        mark(preview, x, area.top);
        if (area.bottom != area.top)
            mark(preview, x, area.bottom);
    }
    for (int y = area.top + 1; y < area.bottom; ++y) {
        mark(preview, area.left, y);
        mark(preview, area.right, y);
    }
}
