#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace orvel {

inline constexpr int kGoodsCount = 9999;

// One goods record as the register keeps it: texts where the register keeps text, numbers
// where it counts. Money is in kopecks. The default record is an empty (unoccupied) one.
struct GoodsRecord {
    static constexpr std::size_t kNameLength = 24;
    static constexpr std::size_t kBarcodeLength = 13;
    static constexpr uint8_t kLastSection = 16;
    static constexpr uint64_t kMaxPrice = 999'999'999;          // 7 whole digits, 2 decimals
    static constexpr uint64_t kMaxCounter = 999'999'999'999ULL; // 10 whole digits, 2 decimals

    std::string name;
    std::string barcode;
    uint8_t section = 0;
    uint64_t price = 0;
    bool fractional = false;
    uint64_t sales = 0;
    uint64_t returns = 0;

    bool operator==(const GoodsRecord&) const = default;
    bool isEmpty() const { return *this == GoodsRecord{}; }
    bool isValid() const;
};

// The seven zero-terminated texts of a goods record in the library's call order.
struct GoodsTexts {
    const char* name = nullptr;
    const char* barcode = nullptr;
    const char* section = nullptr;
    const char* price = nullptr;
    const char* fractional = nullptr;
    const char* sales = nullptr;
    const char* returns = nullptr;
};

// Ok and the record, or the code of the first text that is refused; `record` changes only on Ok.
// Accepted forms: name up to 24 bytes; barcode up to 13 digits or empty; section empty (0) or a
// number 0 to 16; price, sales and returns "123.45", "123.4", "123.", "123" or ".45".
int32_t parseGoods(const GoodsTexts& texts, GoodsRecord& record);

// The record's texts in call order: section and flag as decimal digits, money as "123.45".
std::array<std::string, 7> formatGoods(const GoodsRecord& record);

} // namespace orvel
