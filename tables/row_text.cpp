#include "row_text.h"

#include "cp1251.h"

namespace RowText {

QString read(const QByteArray& row, int offset, int length) {
    const QByteArray field = row.mid(offset, length);
    const qsizetype end = field.indexOf('\0');
    return fromCp1251(end < 0 ? field : field.left(end));
}

QString whole(const QByteArray& row, int offset, int length) {
    return fromCp1251(row.mid(offset, length));
}

QByteArray encode(const QString& text, int length) {
    return toCp1251(text.leftJustified(length, QLatin1Char(' '), true));
}

} // namespace RowText
