#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace orvel {

// Register tables 2 to 9, each a fixed number of fixed-size rows, kept back to back as raw bytes:
// the register stores whatever bytes a row write brings, so out-of-range values stay readable.
class RegisterTables {
public:
    static constexpr std::size_t kByteCount = 12 + 10 + 6 * 25 + 2 * 3 + 4 * 7 + 16 * 14 + 4 * 3 + 8 * 18;

    // Ok when the table exists, the row (counted from 1) is in it and the size argument (the index
    // of the buffer's last byte) matches the row; otherwise the fault's code.
    static int32_t check(uint8_t table, uint16_t row, int32_t lastIndex);
    // Ok when the register accepts the values of a row to be written over the stored one (its
    // shape already checked); otherwise the fault's code. Bytes the register does not interpret
    // are taken as they come.
    int32_t checkValues(uint8_t table, uint16_t row, std::span<const uint8_t> bytes) const;

    // Throws std::out_of_range for a table or row that does not exist.
    std::span<uint8_t> row(uint8_t table, uint16_t row);
    std::span<const uint8_t> row(uint8_t table, uint16_t row) const;

    std::span<uint8_t, kByteCount> bytes() { return m_bytes; }
    std::span<const uint8_t, kByteCount> bytes() const { return m_bytes; }

    bool operator==(const RegisterTables&) const = default;

private:
    std::array<uint8_t, kByteCount> m_bytes{};
};

} // namespace orvel
