#include "register_tables.h"

#include "result_codes.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>

namespace orvel {

namespace {

struct TableShape {
    uint8_t table;
    uint16_t rows;
    uint16_t rowSize;
};

constexpr std::array<TableShape, 8> kShapes{{
    {2, 1, 12},
    {3, 1, 10},
    {4, 6, 25},
    {5, 2, 3},
    {6, 4, 7},
    {7, 16, 14},
    {8, 4, 3},
    {9, 8, 18},
}};

constexpr std::size_t totalBytes() {
    std::size_t total = 0;
    for (const auto& shape : kShapes)
        total += shape.rows * shape.rowSize;
    return total;
}
static_assert(totalBytes() == RegisterTables::kByteCount);

struct Location {
    TableShape shape;
    std::size_t offset;
};

std::optional<Location> locate(uint8_t table) {
    std::size_t offset = 0;
    for (const auto& shape : kShapes) {
        if (shape.table == table)
            return Location{shape, offset};
        offset += shape.rows * shape.rowSize;
    }
    return std::nullopt;
}

std::size_t rowOffset(uint8_t table, uint16_t row) {
    const auto location = locate(table);
    if (!location || row < 1 || row > location->shape.rows)
        throw std::out_of_range("no register table " + std::to_string(table) + " row " + std::to_string(row));
    return location->offset + (row - 1) * location->shape.rowSize;
}

} // namespace

int32_t RegisterTables::check(uint8_t table, uint16_t row, int32_t lastIndex) {
    const auto location = locate(table);
    if (!location)
        return NoSuchTable;
    if (row < 1 || row > location->shape.rows)
        return NoSuchRow;
    if (lastIndex != location->shape.rowSize - 1)
        return RowSizeMismatch;
    return Ok;
}

int32_t RegisterTables::checkValues(uint8_t table, uint16_t row, std::span<const uint8_t> bytes) const {
    const auto bcd = [](uint8_t b) { return b >> 4 <= 9 && (b & 0x0F) <= 9; };
    switch (table) {
    case 3: // print options: contrast first
        return bytes[0] >= 1 && bytes[0] <= 4 ? Ok : BadContrast;
    case 4: // advertising line: stretch mode after the 24 characters
        return bytes[24] <= 3 ? Ok : BadStretchMode;
    case 5: // discount or mark-up: percent in packed BCD, then the permission
        if (!bcd(bytes[0]) || !bcd(bytes[1]))
            return BadPercent;
        return bytes[2] <= 2 ? Ok : BadPermission;
    case 6: // tax: five characters, then the rate in packed BCD
        return bcd(bytes[5]) && bcd(bytes[6]) ? Ok : BadPercent;
    case 7: // section: eleven characters, tax code, "Разрядность", field of use
        if (bytes[11] > 4)
            return BadTaxCode;
        if (bytes[12] > 9)
            return BadDigits;
        return bytes[13] <= 1 ? Ok : BadFieldOfUse;
    case 8: // devices: only the scales use the interface and protocol bytes
        if (row == 2 && (bytes[0] > 1 || bytes[1] > 1))
            return BadScalesSetting;
        return bytes[2] <= 8 ? Ok : BadSpeedIndex;
    case 9: { // operator: bytes 14-16 hold the password, which a row write must bring back unchanged
        const auto stored = this->row(table, row).subspan(14, 3);
        return std::equal(stored.begin(), stored.end(), bytes.begin() + 14) ? Ok : OperatorServiceBytesChanged;
    }
    default:
        return Ok;
    }
}

std::span<uint8_t> RegisterTables::row(uint8_t table, uint16_t row) {
    return std::span(m_bytes).subspan(rowOffset(table, row), locate(table)->shape.rowSize);
}

std::span<const uint8_t> RegisterTables::row(uint8_t table, uint16_t row) const {
    return std::span(m_bytes).subspan(rowOffset(table, row), locate(table)->shape.rowSize);
}

} // namespace orvel
