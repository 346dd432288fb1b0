#pragma once

#include "goods_record.h"

#include <cstdint>
#include <span>
#include <vector>

namespace orvel {

// The service queries: the electronic journal (fixed records of one shift) and goods stock.
// A successful query answers r >= 0 and a reply of r + 5 bytes: a head of the query code
// (1 count, 2 record, 3 next record, 4 occupied goods, 5 stock) and the out value as 32-bit
// little-endian, then r data bytes. The reply stays valid until the next query.
//
// Data bytes, numbers as packed BCD, most significant digits first:
//   count: none;
//   record, next record: kind (1 sale, 2 return, 3 X report, 4 Z report), date DD MM YY,
//     time HH MM, document number (2 bytes), amount in kopecks (5 bytes); the value is the
//     record's number;
//   occupied goods: the goods number (2 bytes), also the value;
//   stock: the stock in thousandths of a unit (5 bytes), also the value.
class JournalQueries {
public:
    // Back to the start of the journal and of the goods, as on a new connection.
    void reset();

    int32_t count(int32_t* count, const uint8_t** reply);
    // Sets the cursor that next() advances.
    int32_t record(int32_t number, int32_t* value, const uint8_t** reply);
    int32_t next(int32_t* value, const uint8_t** reply);
    // The first occupied record after the previous find; after the last one the search starts over.
    int32_t findOccupied(const std::vector<GoodsRecord>& goods, int32_t* value, const uint8_t** reply);
    int32_t stock(const std::vector<GoodsRecord>& goods, int32_t number, int32_t* value, const uint8_t** reply);

private:
    int32_t answer(uint8_t query, int32_t value, std::span<const uint8_t> data, int32_t* outValue,
                   const uint8_t** reply);

    int32_t m_journalCursor = 0;
    int32_t m_goodsCursor = 0;
    std::vector<uint8_t> m_reply;
};

} // namespace orvel
