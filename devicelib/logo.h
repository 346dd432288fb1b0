#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace orvel {

// The receipt logo: a header record fixes its size and blanks it, then row records fill it in.
// A default Logo is "no logo yet": rows are refused until a header arrives.
class Logo {
public:
    static constexpr int kMaxBytesPerRow = 40;
    static constexpr int kMaxRows = 255;

    // Rebuilds a stored logo; nullopt when the parts do not fit together.
    static std::optional<Logo> restore(uint8_t bytesPerRow, uint8_t rowCount, std::vector<uint8_t> dots);

    // Both take a non-null record and the index of its last byte, and change nothing unless Ok.
    // Header: bytes per row (1-40), row count (1-255). Row: row number from 1, then the dots.
    int32_t writeHeader(const uint8_t* record, int32_t lastIndex);
    int32_t writeRow(const uint8_t* record, int32_t lastIndex);

    uint8_t bytesPerRow() const { return m_bytesPerRow; }
    uint8_t rowCount() const { return m_rowCount; }
    std::span<const uint8_t> dots() const { return m_dots; }

    bool operator==(const Logo&) const = default;

private:
    uint8_t m_bytesPerRow = 0;
    uint8_t m_rowCount = 0;
    std::vector<uint8_t> m_dots; // row after row, m_bytesPerRow bytes each
};

} // namespace orvel
