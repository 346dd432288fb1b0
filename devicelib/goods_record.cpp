#include "goods_record.h"

#include "result_codes.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace orvel {

namespace {

bool isDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

uint64_t digitsValue(std::string_view digits) {
    uint64_t value = 0;
    for (char c : digits)
        value = value * 10 + static_cast<uint64_t>(c - '0');
    return value;
}

std::optional<uint64_t> parseMoney(std::string_view text, std::size_t maxWholeDigits) {
    const auto point = text.find('.');
    const auto whole = text.substr(0, point);
    const auto decimals = point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    if (whole.size() > maxWholeDigits || decimals.size() > 2 || !isDigits(whole) || !isDigits(decimals) ||
        (whole.empty() && decimals.empty()))
        return std::nullopt;
    const uint64_t hundredths = decimals.size() == 1 ? digitsValue(decimals) * 10 : digitsValue(decimals);
    return digitsValue(whole) * 100 + hundredths;
}

std::optional<uint8_t> parseSection(std::string_view text) {
    if (text.size() > 2 || !isDigits(text) || digitsValue(text) > GoodsRecord::kLastSection)
        return std::nullopt;
    return static_cast<uint8_t>(digitsValue(text));
}

std::string formatMoney(uint64_t kopecks) {
    const auto hundredths = kopecks % 100;
    return std::to_string(kopecks / 100) + (hundredths < 10 ? ".0" : ".") + std::to_string(hundredths);
}

} // namespace

bool GoodsRecord::isValid() const {
    return name.size() <= kNameLength && name.find('\0') == std::string::npos && barcode.size() <= kBarcodeLength &&
           isDigits(barcode) && section <= kLastSection && price <= kMaxPrice && sales <= kMaxCounter &&
           returns <= kMaxCounter;
}

int32_t parseGoods(const GoodsTexts& texts, GoodsRecord& record) {
    if (!texts.name || !texts.barcode || !texts.section || !texts.price || !texts.fractional || !texts.sales ||
        !texts.returns)
        return NullPointer;
    const std::string_view name = texts.name;
    const std::string_view barcode = texts.barcode;
    const std::string_view fractional = texts.fractional;
    const auto section = parseSection(texts.section);
    const auto price = parseMoney(texts.price, 7);
    const auto sales = parseMoney(texts.sales, 10);
    const auto returns = parseMoney(texts.returns, 10);
    if (name.size() > GoodsRecord::kNameLength)
        return GoodsNameTooLong;
    if (barcode.size() > GoodsRecord::kBarcodeLength || !isDigits(barcode))
        return BadBarcode;
    if (!section)
        return BadSection;
    if (!price)
        return BadPrice;
    if (fractional != "0" && fractional != "1")
        return BadFractionalFlag;
    if (!sales)
        return BadSales;
    if (!returns)
        return BadReturns;
    record =
        GoodsRecord{std::string(name), std::string(barcode), *section, *price, fractional == "1", *sales, *returns};
    return Ok;
}

std::array<std::string, 7> formatGoods(const GoodsRecord& record) {
    return {record.name,
            record.barcode,
            std::to_string(record.section),
            formatMoney(record.price),
            record.fractional ? "1" : "0",
            formatMoney(record.sales),
            formatMoney(record.returns)};
}

} // namespace orvel
