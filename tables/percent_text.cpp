#include "percent_text.h"

#include <algorithm>
#include <stdexcept>

uint8_t Hex2Int(QStringView text) {
    int digits[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        const int value = i < text.size() ? QChar(text[i]).toUpper().unicode() : 0;
        if (value >= '0' && value <= '9')
            digits[i] = value - '0';
        else if (value >= 'A' && value <= 'F')
            digits[i] = value - 'A' + 10;
        else
            digits[i] = i > 0 ? digits[i - 1] : 0;
    }
    return uint8_t(digits[0] * 16 + digits[1]);
}

QString percentText(uint8_t whole, uint8_t hundredths, QChar point) {
    const auto hex = [](uint8_t byte) {
        return QStringLiteral("%1").arg(int(byte), 2, 16, QLatin1Char('0')).toUpper();
    };
    QString text = hex(whole) + point + hex(hundredths);
    if (text.startsWith(QLatin1Char('0')))
        text.remove(0, 1);
    return text;
}

bool percentFits(const QString& text, QChar point) {
    const bool decimal = text.count(point) <= 1 && std::all_of(text.begin(), text.end(), [point](QChar c) {
                             return c == point || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
                         });
    return decimal && QString(text).replace(point, QLatin1Char('.')).toDouble() <= 99.99;
}

std::array<uint8_t, 2> percentBytes(QString text, QChar point) {
    if (!text.contains(point))
        text += point + QStringLiteral("00");
    // Zeros in front of a whole part of three digits or more would shift every digit ("099" is 99, not 9.90).
    while (text.indexOf(point) > 2 && text.startsWith(QLatin1Char('0')))
        text.remove(0, 1);
    while (text.indexOf(point) < 2)
        text.prepend(QLatin1Char('0'));
    while (text.size() < 5)
        text += QLatin1Char('0');
    text.remove(text.indexOf(point), 1);
    return {Hex2Int(text), Hex2Int(QStringView(text).mid(2))};
}

std::array<uint8_t, 2> checkedPercentBytes(const QString& text, QChar point) {
    if (!percentFits(text, point)) {
        const QString highest = QStringLiteral("99") + point + QStringLiteral("99");
        throw std::runtime_error(
            QStringLiteral("Величина «%1» не может быть записана в ККМ: допустимо число от 0 до %2.")
                .arg(text, highest)
                .toStdString());
    }
    return percentBytes(text, point);
}
