#include "discount_row.h"

namespace DiscountRow {

int permissionItem(uint8_t byte) {
    return byte > 2 ? 0 : byte;
}

} // namespace DiscountRow
