#pragma once

#include <array>
#include <cstdint>
#include <QString>

// Percentages travel as two packed BCD bytes, whole percent and hundredths;
// the window shows them as text with a decimal point of the caller's choice.

// The first two characters of `text` read as hexadecimal digits, so two
// decimal digits give their packed BCD byte ("12" gives 0x12). A character
// that is not a hexadecimal digit, or a missing one, repeats the digit before
// it (0 for the first).
uint8_t Hex2Int(QStringView text);

// 0x12 0x50 gives "12<point>50"; a leading zero goes (0x05 0x50 gives "5<point>50").
// Bytes that are not BCD show their hexadecimal digits.
QString percentText(uint8_t whole, uint8_t hundredths, QChar point);

// Whether a percentage text can go out as packed BCD: empty, or digits with
// at most one point, from 0 to 99.99. Anything else would reach the register
// as another percentage than the one typed.
bool percentFits(const QString& text, QChar point);

// The two bytes of a text of digits and at most one point: missing digits are
// zeros (".5" is 0x00 0x50), a third decimal is cut off, not rounded.
std::array<uint8_t, 2> percentBytes(QString text, QChar point);
// As percentBytes, but a text percentFits refuses throws std::runtime_error
// with a message for the user.
std::array<uint8_t, 2> checkedPercentBytes(const QString& text, QChar point);
