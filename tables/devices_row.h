#pragma once

#include <cstdint>
#include <QByteArray>

// Rows 1-4 of register table 8, the devices attached to the register:
// scanner, scales, PC and customer display. Byte 0 is the interface and
// byte 1 the protocol (the scales only), byte 2 the exchange speed index 0-8.
namespace DevicesRow {

constexpr uint8_t table = 8;
constexpr int rowCount = 4;
constexpr int size = 3;
constexpr int scalesRow = 2;

// The item numbers of a row's lists; -1 where no item is chosen.
struct Items {
    int interface = 0;
    int protocol = 0;
    int speed = 0;
};

// Out-of-range bytes show as the first item. Bytes 0 and 1 of other rows than
// the scales are not looked at.
Items decode(const QByteArray& row);
// Other rows than the scales send 0 in bytes 0 and 1; a list with no item
// chosen sends 255.
QByteArray encode(int row, const Items& items);

} // namespace DevicesRow
