#include "journal_queries.h"

#include "factory_state.h"
#include "result_codes.h"

#include <array>

namespace orvel {

namespace {

enum Query : uint8_t { CountQuery = 1, RecordQuery, NextQuery, OccupiedQuery, StockQuery };

struct JournalEntry {
    uint8_t kind;
    uint8_t hour;
    uint8_t minute;
    uint64_t amount;
};

constexpr uint8_t kDay = 14, kMonth = 4, kYear = 25;

constexpr std::array kJournal{
    JournalEntry{1, 9, 12, 13440},  JournalEntry{1, 9, 47, 45900},  JournalEntry{1, 10, 15, 8950},
    JournalEntry{2, 10, 31, 8950},  JournalEntry{1, 11, 2, 30280},  JournalEntry{3, 12, 0, 89620},
    JournalEntry{1, 13, 25, 7200},  JournalEntry{1, 15, 40, 30000}, JournalEntry{1, 18, 55, 12990},
    JournalEntry{4, 21, 0, 139810},
};

// Appends `value` as `size` packed BCD bytes, most significant digits first.
void appendBcd(std::vector<uint8_t>& out, uint64_t value, std::size_t size) {
    out.resize(out.size() + size);
    for (auto byte = out.rbegin(); byte != out.rbegin() + static_cast<std::ptrdiff_t>(size); ++byte) {
        *byte = static_cast<uint8_t>((value % 10) | ((value / 10 % 10) << 4));
        value /= 100;
    }
}

std::vector<uint8_t> journalRecord(int32_t number) {
    const auto& entry = kJournal[number - 1];
    std::vector<uint8_t> data{entry.kind};
    for (uint8_t part : {kDay, kMonth, kYear, entry.hour, entry.minute})
        appendBcd(data, part, 1);
    appendBcd(data, static_cast<uint64_t>(number), 2); // documents are numbered like the records
    appendBcd(data, entry.amount, 5);
    return data;
}

constexpr int32_t kJournalCount = static_cast<int32_t>(kJournal.size());

} // namespace

void JournalQueries::reset() {
    m_journalCursor = 0;
    m_goodsCursor = 0;
}

int32_t JournalQueries::count(int32_t* count, const uint8_t** reply) {
    if (!count || !reply)
        return NullPointer;
    return answer(CountQuery, kJournalCount, {}, count, reply);
}

int32_t JournalQueries::record(int32_t number, int32_t* value, const uint8_t** reply) {
    if (!value || !reply)
        return NullPointer;
    if (number < 1 || number > kJournalCount)
        return NoSuchJournalRecord;
    m_journalCursor = number;
    return answer(RecordQuery, number, journalRecord(number), value, reply);
}

int32_t JournalQueries::next(int32_t* value, const uint8_t** reply) {
    if (!value || !reply)
        return NullPointer;
    if (m_journalCursor >= kJournalCount)
        return JournalEnd;
    ++m_journalCursor;
    return answer(NextQuery, m_journalCursor, journalRecord(m_journalCursor), value, reply);
}

int32_t JournalQueries::findOccupied(const std::vector<GoodsRecord>& goods, int32_t* value, const uint8_t** reply) {
    if (!value || !reply)
        return NullPointer;
    for (int32_t number = m_goodsCursor + 1; number <= kGoodsCount; ++number) {
        if (!goods[number - 1].isEmpty()) {
            m_goodsCursor = number;
            std::vector<uint8_t> data;
            appendBcd(data, static_cast<uint64_t>(number), 2);
            return answer(OccupiedQuery, number, data, value, reply);
        }
    }
    m_goodsCursor = 0;
    return NoMoreOccupiedGoods;
}

int32_t JournalQueries::stock(const std::vector<GoodsRecord>& goods, int32_t number, int32_t* value,
                              const uint8_t** reply) {
    if (!value || !reply)
        return NullPointer;
    if (number < 1 || number > kGoodsCount)
        return GoodsNumberOutOfRange;
    const int32_t stock = goods[number - 1].isEmpty() ? 0 : factoryStock(number);
    std::vector<uint8_t> data;
    appendBcd(data, static_cast<uint64_t>(stock), 5);
    return answer(StockQuery, stock, data, value, reply);
}

int32_t JournalQueries::answer(uint8_t query, int32_t value, std::span<const uint8_t> data, int32_t* outValue,
                               const uint8_t** reply) {
    const auto bits = static_cast<uint32_t>(value);
    m_reply = {query, static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8), static_cast<uint8_t>(bits >> 16),
               static_cast<uint8_t>(bits >> 24)};
    m_reply.insert(m_reply.end(), data.begin(), data.end());
    *outValue = value;
    *reply = m_reply.data();
    return static_cast<int32_t>(data.size());
}

} // namespace orvel
