#include "print_options_row.h"

namespace PrintOptionsRow {

QString contrastText(uint8_t byte) {
    return QString::number(byte >= 1 && byte <= 4 ? byte : 1);
}

} // namespace PrintOptionsRow
