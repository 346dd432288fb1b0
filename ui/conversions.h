#pragma once

#include <QString>
#include <stdexcept>

// A text that is not the number it should be. The messages are the ones users
// and support know from the original program.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Decimal integer with optional sign; blanks around it are allowed.
int strToInt(const QString& text);
// Decimal number with the user's locale decimal separator; blanks around it are allowed.
double strToFloat(const QString& text);
