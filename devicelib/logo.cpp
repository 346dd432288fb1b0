#include "logo.h"

#include "result_codes.h"

#include <algorithm>

namespace orvel {

namespace {

bool validSize(int bytesPerRow, int rowCount) {
    return bytesPerRow >= 1 && bytesPerRow <= Logo::kMaxBytesPerRow && rowCount >= 1 && rowCount <= Logo::kMaxRows;
}

} // namespace

std::optional<Logo> Logo::restore(uint8_t bytesPerRow, uint8_t rowCount, std::vector<uint8_t> dots) {
    const bool none = bytesPerRow == 0 && rowCount == 0;
    if ((!none && !validSize(bytesPerRow, rowCount)) || dots.size() != std::size_t{bytesPerRow} * rowCount)
        return std::nullopt;
    Logo logo;
    logo.m_bytesPerRow = bytesPerRow;
    logo.m_rowCount = rowCount;
    logo.m_dots = std::move(dots);
    return logo;
}

int32_t Logo::writeHeader(const uint8_t* record, int32_t lastIndex) {
    if (lastIndex != 1 || !validSize(record[0], record[1]))
        return BadLogoHeader;
    m_bytesPerRow = record[0];
    m_rowCount = record[1];
    m_dots.assign(std::size_t{m_bytesPerRow} * m_rowCount, 0);
    return Ok;
}

int32_t Logo::writeRow(const uint8_t* record, int32_t lastIndex) {
    if (m_bytesPerRow == 0)
        return LogoRowBeforeHeader;
    if (lastIndex != m_bytesPerRow)
        return LogoRowLengthMismatch;
    const int row = record[0];
    if (row < 1 || row > m_rowCount)
        return LogoRowNumberOutOfRange;
    std::copy(record + 1, record + 1 + m_bytesPerRow, m_dots.begin() + (row - 1) * m_bytesPerRow);
    return Ok;
}

} // namespace orvel
