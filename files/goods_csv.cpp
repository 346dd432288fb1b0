#include "goods_csv.h"

#include "cp1251.h"
#include "goods_filters.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <QLocale>
#include <QVarLengthArray>

namespace {

// As the runtime's floating-point conversion reads it: blanks around, a sign, digits with `point`
// as the decimal separator, an exponent; no group separators, infinities or NaN. Not
// QLocale::toDouble, which takes microseconds a call, and an import checks 50,000 numbers.
std::optional<double> toNumber(QStringView text, QChar point) {
    text = text.trimmed();
    if (text.startsWith(u'+') && !text.startsWith(u"+-"))
        text = text.sliced(1);
    QVarLengthArray<char, 32> chars;
    for (const QChar c : text) {
        if (c == point)
            chars.append('.');
        else if (c == u'.' || c.unicode() > 0x7F)
            return std::nullopt;
        else
            chars.append(char(c.unicode()));
    }
    double value = 0;
    const auto [end, error] = std::from_chars(chars.begin(), chars.end(), value);
    if (error != std::errc() || end != chars.end() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QChar localePoint() {
    return QLocale().decimalPoint().front();
}

// Sales and returns come from the register with "." whatever the user's decimal separator is.
bool isCounter(QStringView text) {
    return toNumber(text, localePoint()) || toNumber(text, u'.');
}

bool breaksRecord(char32_t c) {
    return c == U';' || c == U'\n' || c == U'\r';
}

} // namespace

QStringList readGoodsLines(QByteArrayView bytes) {
    const QByteArrayView byteOrderMark("\xEF\xBB\xBF");
    QString text;
    if (bytes.startsWith(byteOrderMark))
        text = QString::fromUtf8(bytes.sliced(byteOrderMark.size()));
    else if (bytes.isValidUtf8()) // plain ASCII reads the same in both encodings
        text = QString::fromUtf8(bytes);
    else
        text = fromCp1251(bytes);

    if (text.endsWith(u'\n'))
        text.chop(1);
    QStringList lines = text.split(u'\n');
    for (QString& line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    return lines;
}

QStringList splitGoodsLine(QStringView line) {
    qsizetype separator = line.indexOf(u';');
    if (separator < 0)
        return {QString()};
    QStringList fields{line.first(separator).toString()};
    QStringView rest = line.sliced(separator + 1).trimmed();
    while ((separator = rest.indexOf(u';')) >= 0) {
        fields.append(rest.first(separator).toString());
        rest = rest.sliced(separator + 1).trimmed();
    }
    fields.append(rest.toString());
    return fields;
}

bool isGoodsNumber(int number) {
    return number >= 1 && number <= 9999;
}

QString checkGoodsField(int field, QStringView text) {
    // The program exports grid cells as they stand: until the register has been read, any cell of a
    // row may be empty, and a write fills only the price.
    if (text.isEmpty())
        return {};
    // Past the file's own rules, a field must be what the grid's editor lets a user type: anything
    // else would be refused by the register, or reach it as another value.
    switch (field) {
    case 1:
        if (text.size() > 24)
            return QStringLiteral("Наименование длиннее 24 символов!");
        if (const auto bad = findUnwritableCell({text.toString()}))
            return QStringLiteral("Наименование содержит символ «%1», которого нет в кодировке Windows-1251!")
                .arg(bad->character);
        return {};
    case 2:
        if (!toNumber(text, localePoint()))
            return QStringLiteral("Штрих код имеет неправильный тип!");
        return goodsCellFits(field, text) ? QString()
                                          : QStringLiteral("Штрих код должен состоять не более чем из 13 цифр!");
    case 3: {
        const auto section = toNumber(text, localePoint());
        if (!section)
            return QStringLiteral("Номер отдела имеет неправильный тип!");
        if (*section > 16)
            return QStringLiteral("Номер отдела не может иметь значение больше 16!");
        return goodsCellFits(field, text) ? QString()
                                          : QStringLiteral("Номер отдела должен быть целым числом от 0 до 16!");
    }
    case 4:
        if (!toNumber(text, u'.'))
            return QStringLiteral("Цена имеет неправильный тип!");
        return goodsCellFits(field, text) ? QString()
                                          : QStringLiteral("Цена должна иметь не более 7 цифр до точки и 2 после неё!");
    case 5:
        return text == u"ДА" || text == u"НЕТ"
                   ? QString()
                   : QStringLiteral("Поле \"Дробное\" должно принимать значение - \"ДА\" или \"НЕТ\"");
    case 6:
        return isCounter(text) ? QString() : QStringLiteral("Поле \"Продажи\" имеет неправильный тип!");
    case 7:
        return isCounter(text) ? QString() : QStringLiteral("Поле \"Возвраты\" имеет неправильный тип!");
    default:
        return {};
    }
}

std::optional<UnwritableCell> findUnwritableCell(const QStringList& cells) {
    for (qsizetype column = 0; column < cells.size(); ++column) {
        const QString& text = cells[column];
        if (fitsCp1251(text) &&
            std::none_of(text.begin(), text.end(), [](QChar c) { return breaksRecord(c.unicode()); }))
            continue;
        for (const char32_t c : text.toUcs4()) {
            // Not QString::fromUcs4, which drops U+FEFF as a byte order mark and would pass it.
            const QString character = QStringView(QChar::fromUcs4(c)).toString();
            if (breaksRecord(c) || !fitsCp1251(character))
                return UnwritableCell{int(column), character};
        }
    }
    return std::nullopt;
}

QByteArray goodsLine(const QStringList& cells) {
    return toCp1251(cells.join(u';')) + "\r\n";
}
