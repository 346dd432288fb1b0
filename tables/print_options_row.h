#pragma once

#include <cstdint>
#include <QString>

// Row 1 of register table 3, the print options: ten bytes. Byte 0 is the
// print contrast 1-4, bytes 1-9 nine on/off options; field N is byte N - 1.
namespace PrintOptionsRow {

constexpr uint8_t table = 3;
constexpr uint16_t row = 1;
constexpr int size = 10;
constexpr int fieldCount = 10;
constexpr int contrastField = 1;

// A contrast outside 1-4 shows as "1"; the register keeps it until written.
QString contrastText(uint8_t byte);

} // namespace PrintOptionsRow
