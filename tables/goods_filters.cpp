#include "goods_filters.h"

#include "cp1251.h"
#include "goods_model.h"

namespace {

QString digitsOnly(const QString& text) {
    QString digits;
    for (QChar c : text) {
        if (c.isDigit() && c.unicode() < 0x80)
            digits += c;
    }
    return digits;
}

// A ";" would split the name into two CSV fields, and a character Windows-1251
// cannot hold would reach the register as "?".
QString filterName(const QString& text) {
    QString name;
    for (QChar c : text) {
        if (c != QLatin1Char(';') && fitsCp1251(QStringView(&c, 1)))
            name += c;
    }
    return name.left(24);
}

QString filterSection(const QString& text) {
    QString section = digitsOnly(text);
    if (!section.isEmpty() && section.toLongLong() > 16)
        section.chop(1);
    return section.left(2);
}

QString filterPrice(const QString& text) {
    QString price = text;
    if (price.startsWith(QLatin1Char('.')))
        price.prepend(QLatin1Char('0'));
    QString kept;
    bool pointSeen = false;
    for (QChar c : price) {
        if (c == QLatin1Char('.') && !pointSeen) {
            pointSeen = true;
            kept += c;
        } else if (c.isDigit() && c.unicode() < 0x80) {
            kept += c;
        }
    }
    if (!kept.isEmpty()) {
        const int point = kept.indexOf(QLatin1Char('.')) + 1;
        if (point == 0)
            kept.truncate(7);
        else if (point == 1)
            kept.prepend(QLatin1Char('0'));
        else if (point <= 8) {
            if (kept.size() - point > 2)
                kept.chop(1);
        } else
            kept.chop(1);
    }
    return kept.left(10);
}

} // namespace

QString filterGoodsCell(int column, const QString& text) {
    if (text.isEmpty())
        return text;
    switch (column) {
    case GoodsModel::NameColumn:
        return filterName(text);
    case GoodsModel::BarcodeColumn:
        return digitsOnly(text).left(13);
    case GoodsModel::SectionColumn:
        return filterSection(text);
    case GoodsModel::PriceColumn:
        return filterPrice(text);
    default:
        return text;
    }
}

QString filterGoodsRange(const QString& text) {
    QString range = text.trimmed();
    if (range.isEmpty())
        return QStringLiteral("1");
    if (!range.back().isDigit())
        range.chop(1);
    if (range.size() > 4)
        range.chop(1);
    if (range.isEmpty() || range == QLatin1String("0"))
        return QStringLiteral("1");
    return range;
}

std::optional<std::pair<int, int>> goodsRange(const QString& first, const QString& last) {
    bool firstOk = false;
    bool lastOk = false;
    const int from = first.trimmed().toInt(&firstOk);
    const int to = last.trimmed().toInt(&lastOk);
    const auto inside = [](int number) { return number >= 1 && number <= GoodsModel::recordCount; };
    if (!firstOk || !lastOk || !inside(from) || !inside(to))
        return std::nullopt;
    return std::pair{from, to};
}

QString badGoodsRangeText(const QString& first, const QString& last) {
    return QStringLiteral("Интервал товаров задан неверно: «%1» -- «%2».\n"
                          "Укажите номера товаров от 1 до %3; конец интервала не меньше начала.")
        .arg(first, last)
        .arg(GoodsModel::recordCount);
}
