#include "goods_diff.h"

namespace GoodsDiff {

namespace {

// A price without a point goes out with ".00" added.
QString sentPrice(const QString& price) {
    return price.contains(QLatin1Char('.')) ? price : price + QStringLiteral(".00");
}

} // namespace

QList<Difference> differences(int record, const Record& held, const Record& page) {
    QList<Difference> found;
    for (int column : {GoodsModel::NameColumn, GoodsModel::BarcodeColumn, GoodsModel::SectionColumn}) {
        const QString& before = held.fields[size_t(column - 1)];
        const QString& after = page.fields[size_t(column - 1)];
        if (before != after)
            found << Difference{record, column, before, after};
    }
    const QString& price = page.fields[GoodsModel::PriceColumn - 1];
    if (held.fields[GoodsModel::PriceColumn - 1] != sentPrice(price))
        found << Difference{record, GoodsModel::PriceColumn, held.fields[GoodsModel::PriceColumn - 1], price};
    if (held.fractional != page.fractional)
        found << Difference{record, GoodsModel::FractionalColumn, held.fields[GoodsModel::FractionalColumn - 1],
                            page.fractional ? QStringLiteral("ДА") : QStringLiteral("НЕТ")};
    return found;
}

} // namespace GoodsDiff
