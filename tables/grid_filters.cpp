#include "cp1251.h"
#include "operators_row.h"
#include "sections_row.h"
#include "taxes_row.h"

namespace {

QString fittingText(const QString& text, int length) {
    QString kept;
    for (QChar c : text) {
        if (fitsCp1251(QStringView(&c, 1)))
            kept += c;
    }
    return kept.left(length);
}

// One character, kept only when it is a digit up to `highest`.
QString digitUpTo(const QString& text, QChar highest) {
    const QChar first = text.isEmpty() ? QChar() : text[0];
    return first >= QLatin1Char('0') && first <= highest ? QString(first) : QString();
}

// The rate as the register's original key filter leaves it after each key.
QString filterRate(QString text) {
    // A comma typed for the point is the point: dropped, 1,5 would become 15.
    text.replace(QLatin1Char(','), TaxesRow::point);
    int point = 0; // where the point stands, counted from 1; 0 before one is found
    for (int i = 0; i < text.size();) {
        const int position = i + 1;
        if (text[i] == TaxesRow::point) {
            if (point != 0 || position > 3) {
                text.remove(i, 1);
                continue;
            }
            point = position;
            if (position == 1) {
                text.prepend(QLatin1Char('0'));
                ++i;
            }
        } else if (!text[i].isDigit() || text[i].unicode() > '9') {
            text.remove(i, 1);
            continue;
        }
        ++i;
    }
    if (text.isEmpty())
        return text;
    text.truncate(5);
    if (text.size() > 1 && point == 0)
        text.insert(2, TaxesRow::point);
    if (text.startsWith(QLatin1Char('0')) && !QStringView(text).mid(1).startsWith(TaxesRow::point))
        text.remove(0, 1);
    if (text.size() - point > 2)
        text.chop(1);
    return text;
}

} // namespace

QString OperatorsRow::filterCell(int column, const QString& text) {
    return column == DetailsColumn ? fittingText(text, detailsLength) : text;
}

QString SectionsRow::useText(uint8_t byte) {
    return byte == 1 ? QStringLiteral("1") : QStringLiteral("0");
}

QString SectionsRow::filterCell(int column, const QString& text) {
    switch (column) {
    case NameColumn:
        return fittingText(text, nameLength);
    case TaxColumn:
        return digitUpTo(text, QLatin1Char('4'));
    case DigitsColumn:
        return digitUpTo(text, QLatin1Char('9'));
    default:
        return text;
    }
}

QString TaxesRow::filterCell(int column, const QString& text) {
    if (column == NameColumn)
        return fittingText(text, nameLength);
    return column == RateColumn ? filterRate(text) : text;
}
