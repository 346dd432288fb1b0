#include "factory_state.h"

#include "cp1251.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <stdexcept>
#include <string_view>

namespace orvel {

namespace {

struct FactoryGoods {
    int number;
    std::string_view name;
    std::string_view barcode;
    uint8_t section;
    uint64_t price;
    bool fractional;
    uint64_t sales;
    uint64_t returns;
    int32_t stock;
};

constexpr std::array kGoods{
    FactoryGoods{1, "Хлеб Бородинский", "4601234000017", 3, 4590, false, 137700, 0, 24000},
    FactoryGoods{2, "Молоко 3,2% 1 л", "4601234000024", 2, 8950, false, 89500, 8950, 36000},
    FactoryGoods{3, "Сахар-песок", "4601234000031", 1, 7200, true, 36000, 0, 125500},
    FactoryGoods{4, "Яблоки Голден", "4601234000048", 5, 12990, true, 25980, 0, 48250},
    FactoryGoods{5, "Вода минеральная 0,5 л", "4601234000055", 4, 3900, false, 11700, 0, 120000},
    FactoryGoods{6, "Порошок стиральный 3 кг", "4601234000062", 6, 45900, false, 45900, 0, 15000},
    FactoryGoods{7, "Пакет-майка", "", 1, 500, false, 4000, 0, 500000},
    FactoryGoods{10, "Доставка по городу", "", 7, 30000, false, 30000, 0, 0},
};

// Fills a fixed-width text field, padded with blanks; a text that does not fit is a mistake here.
void putText(std::span<uint8_t> field, std::string_view utf8) {
    const std::string text = toCp1251(utf8);
    if (text.size() > field.size())
        throw std::logic_error("factory text does not fit its field: " + text);
    std::fill(field.begin(), field.end(), ' ');
    std::copy(text.begin(), text.end(), field.begin());
}

void putBytes(std::span<uint8_t> field, std::initializer_list<uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), field.begin());
}

void fillTables(RegisterTables& tables) {
    // Sale by code, fractional control, drawer and collection on; backlight 10 s; interval 7 days;
    // next service 15.03.2026.
    putBytes(tables.row(2, 1), {1, 0, 1, 1, 1, 0, 0, 2, 7, 0x15, 0x03, 0x26});
    // Contrast 3; advertising lines, section and goods names, taxes, separators, wide total.
    putBytes(tables.row(3, 1), {3, 1, 1, 1, 0, 1, 0, 1, 1, 0});

    struct Advert {
        std::string_view text;
        uint8_t stretch;
    };
    const std::array<Advert, 6> adverts{{{"     ООО \"Ромашка\"", 0},
                                         {"г. Москва, ул. Ленина, 1", 0},
                                         {"     ИНН 7701234567", 0},
                                         {"  СПАСИБО!", 1},
                                         {"     Приходите ещё!", 0},
                                         {"", 0}}};
    for (uint16_t row = 1; row <= adverts.size(); ++row) {
        const auto bytes = tables.row(4, row);
        putText(bytes.first(24), adverts[row - 1].text);
        bytes[24] = adverts[row - 1].stretch;
    }

    putBytes(tables.row(5, 1), {0x05, 0x00, 1}); // discount 5.00 %, allowed
    putBytes(tables.row(5, 2), {0x10, 0x50, 2}); // mark-up 10.50 %, internal only

    struct Tax {
        std::string_view name;
        uint8_t whole;
        uint8_t hundredths;
    };
    const std::array<Tax, 4> taxes{
        {{"НДС20", 0x20, 0x00}, {"НДС10", 0x10, 0x00}, {"НДС 0", 0x00, 0x00}, {"НСП 5", 0x05, 0x00}}};
    for (uint16_t row = 1; row <= taxes.size(); ++row) {
        const auto bytes = tables.row(6, row);
        putText(bytes.first(5), taxes[row - 1].name);
        putBytes(bytes.subspan(5), {taxes[row - 1].whole, taxes[row - 1].hundredths});
    }

    // Name, tax code, "Разрядность" digit (6 for every section), field of use (1 services).
    struct Section {
        std::string_view name;
        uint8_t tax;
        uint8_t services;
    };
    const std::array<Section, 7> sections{{{"Бакалея", 2, 0},
                                           {"Молочные", 2, 0},
                                           {"Хлеб", 2, 0},
                                           {"Напитки", 1, 0},
                                           {"Овощи", 2, 0},
                                           {"Бытхимия", 1, 0},
                                           {"Услуги", 1, 1}}};
    for (uint16_t row = 1; row <= 16; ++row) {
        const auto bytes = tables.row(7, row);
        const bool named = row <= sections.size();
        putText(bytes.first(11), named ? sections[row - 1].name : "Отдел " + std::to_string(row));
        putBytes(bytes.subspan(11),
                 {named ? sections[row - 1].tax : uint8_t{1}, 6, named ? sections[row - 1].services : uint8_t{0}});
    }

    putBytes(tables.row(8, 1), {0, 0, 4}); // scanner 9600
    putBytes(tables.row(8, 2), {0, 0, 4}); // scales RS232, "Штрих" protocol, 9600
    putBytes(tables.row(8, 3), {0, 0, 8}); // PC 115200
    putBytes(tables.row(8, 4), {0, 0, 0}); // customer display off

    // Bytes 14-16 hold the operator's password as six packed BCD digits.
    struct Operator {
        std::string_view name;
        uint8_t password;
        uint8_t rights;
    };
    const std::array<Operator, 8> operators{{{"Администратор", 0x30, 31},
                                             {"Старший кассир", 0x02, 15},
                                             {"Кассир 1", 0x03, 7},
                                             {"Кассир 2", 0x04, 7},
                                             {"Кассир 3", 0x05, 5},
                                             {"Кассир 4", 0x06, 5},
                                             {"Кассир 5", 0x07, 1},
                                             {"Стажер", 0x08, 1}}};
    for (uint16_t row = 1; row <= operators.size(); ++row) {
        const auto bytes = tables.row(9, row);
        putText(bytes.first(14), operators[row - 1].name);
        putBytes(bytes.subspan(14), {0x00, 0x00, operators[row - 1].password, operators[row - 1].rights});
    }
}

} // namespace

RegisterState factoryState() {
    RegisterState state;
    fillTables(state.tables);
    for (const auto& goods : kGoods)
        state.goods[goods.number - 1] = GoodsRecord{toCp1251(goods.name), std::string(goods.barcode), goods.section,
                                                    goods.price,          goods.fractional,           goods.sales,
                                                    goods.returns};
    return state;
}

int32_t factoryStock(int number) {
    const auto goods =
        std::find_if(kGoods.begin(), kGoods.end(), [number](const auto& g) { return g.number == number; });
    return goods == kGoods.end() ? 0 : goods->stock;
}

} // namespace orvel
