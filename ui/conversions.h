#pragma once

#include <QDate>
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
// A number (true unless 0) or the word True or False in any letter case.
bool strToBool(const QString& text);
// The day, month and year numbers of `text` in the order and with the separator of the date
// format `format`, as the Windows conversion reads them: each of one to four digits; a year of
// one or two digits falls within 50 years before and after `today`; without a year it is that of
// `today`. Invalid when the text is no such date.
QDate scanDate(QStringView text, QStringView format, QDate today);
// A date in the user's short date format, or else in the Russian one (dd.MM.yyyy), so that a
// date written under one format still reads under another.
QDate strToDate(const QString& text);
