#include "advert_row.h"

#include "row_text.h"

#include <algorithm>

namespace AdvertRow {

int stretchItem(uint8_t byte) {
    return byte > 3 ? 0 : byte;
}

QByteArray encode(const QString& text, int stretchItem) {
    return RowText::encode(text, textLength) + char(uint8_t(stretchItem));
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
