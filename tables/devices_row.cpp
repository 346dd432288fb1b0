#include "devices_row.h"

namespace DevicesRow {

Items decode(const QByteArray& row) {
    const uint8_t speed = uint8_t(row[2]);
    return {row[0] == 1 ? 1 : 0, row[1] == 1 ? 1 : 0, speed > 8 ? 0 : speed};
}

QByteArray encode(int row, const Items& items) {
    QByteArray bytes(size, '\0');
    if (row == scalesRow) {
        bytes[0] = char(uint8_t(items.interface));
        bytes[1] = char(uint8_t(items.protocol));
    }
    bytes[2] = char(uint8_t(items.speed));
    return bytes;
}

} // namespace DevicesRow
