#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <QDate>

// Row 1 of register table 2, the general options: twelve bytes.
//   0-6  seven on/off options       7  backlight item 0-7    8  date interval 0-31
//   9-11 next service date: day, month, year - 2000, packed BCD
namespace OptionsRow {

constexpr uint8_t table = 2;
constexpr uint16_t row = 1;
constexpr int size = 12;
constexpr int fieldCount = 10;
constexpr int backlightField = 8;
constexpr int dateIntervalField = 9;
constexpr int serviceDateField = 10;
constexpr int serviceDateByte = 9;

// A byte out of the list's range shows as the first item; the register keeps it until written.
int backlightItem(uint8_t byte);
int dateInterval(uint8_t byte);

// Nibbles are not checked against 9: 0x1A reads as 20.
int fromBcd(uint8_t byte);
uint8_t toBcd(int value);

// The service dates the page offers; a settings file's date outside them is refused.
inline const QDate firstServiceDate{2000, 1, 1};
inline const QDate lastServiceDate{2099, 12, 31};

// Empty when the three bytes do not form a real date.
std::optional<QDate> decodeServiceDate(uint8_t day, uint8_t month, uint8_t year);
// Years 2100-2159 use the high nibbles 10-15; earlier years than 2000 do not survive the trip.
std::array<uint8_t, 3> encodeServiceDate(const QDate& date);

} // namespace OptionsRow
