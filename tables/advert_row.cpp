#include "advert_row.h"

#include <algorithm>

namespace AdvertRow {

QByteArray text(const QByteArray& row) {
    const QByteArray line = row.left(textLength);
    const qsizetype end = line.indexOf('\0');
    return end < 0 ? line : line.left(end);
}

int stretchItem(uint8_t byte) {
    return byte > 3 ? 0 : byte;
}

QByteArray encode(const QByteArray& text, int stretchItem) {
    QByteArray row = text.left(textLength).leftJustified(textLength, ' ');
    row.append(char(uint8_t(stretchItem)));
    return row;
}

QString centred(const QString& text, int stretchItem) {
    const auto blankOrControl = [](QChar c) { return c.unicode() <= ' '; };
    const auto first = std::find_if_not(text.begin(), text.end(), blankOrControl);
    const auto last = std::find_if_not(text.rbegin(), std::make_reverse_iterator(first), blankOrControl).base();
    QString line(first, last - first);
    const int width = stretchItem == 1 || stretchItem == 3 ? textLength / 2 : textLength;
    line.truncate(width);
    return QString((width - line.size()) / 2, QLatin1Char(' ')) + line;
}

} // namespace AdvertRow
