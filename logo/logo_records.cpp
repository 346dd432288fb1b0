#include "logo_records.h"

QByteArray logoHeader(const CopyArea& area) {
    const char header[] = {char(area.width() / 8), char(area.height())};
    return QByteArray(header, sizeof header);
}

QByteArray logoRow(const QImage& preview, const CopyArea& area, int y) {
    const int bytes = area.width() / 8;
    QByteArray row(1 + bytes, '\0');
    row[0] = char(y - area.top + 1);
    const uchar* red = preview.constScanLine(y) + 3 * area.left;
    for (int dot = 0; dot < 8 * bytes; ++dot, red += 3) {
        if (*red < 255)
            row[1 + dot / 8] = char(row[1 + dot / 8] | (0x80 >> dot % 8));
    }
    return row;
}
