#include "goods_filters.h"

#include "cp1251.h"
#include "goods_model.h"

#include <algorithm>

namespace {

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

bool allDigits(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

bool goodsCellFits(int column, QStringView text) {
    switch (column) {
    case GoodsModel::NameColumn:
        return text.size() <= 24 && !text.contains(u';') && fitsCp1251(text);
    case GoodsModel::BarcodeColumn:
        return text.size() <= 13 && allDigits(text);
    case GoodsModel::SectionColumn:
        return text.size() <= 2 && allDigits(text) && text.toInt() <= 16;
    case GoodsModel::PriceColumn: {
        const qsizetype point = text.indexOf(u'.');
        const QStringView whole = point < 0 ? text : text.first(point);
        const QStringView decimals = point < 0 ? QStringView() : text.sliced(point + 1);
        return whole.size() <= 7 && decimals.size() <= 2 && allDigits(whole) && allDigits(decimals);
    }
    default:
        return true;
    }
}

QString filterGoodsCell(int column, const QString& text, const QString& previous) {
    if (column == GoodsModel::NameColumn)
        return filterName(text);
    QString wanted = text;
    if (column == GoodsModel::PriceColumn) {
        // A Russian keyboard types a comma for the point: taken as the point, never dropped, or
        // 6,50 would become 650.
        wanted.replace(QLatin1Char(','), QLatin1Char('.'));
        // A point typed first stands for "0.".
        if (wanted.startsWith(QLatin1Char('.')))
            wanted.prepend(QLatin1Char('0'));
    }
    return goodsCellFits(column, wanted) ? wanted : previous;
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
