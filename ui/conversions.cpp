#include "conversions.h"

#include <algorithm>
#include <QLocale>

namespace {

// A number of up to four digits, as the Windows conversion scans one; -1 when `text` is none.
int dateNumber(QStringView text) {
    if (text.isEmpty() || text.size() > 4)
        return -1;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return -1;
    }
    return text.toInt();
}

} // namespace

int strToInt(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        throw ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString());
    return value;
}

double strToFloat(const QString& text) {
    QLocale locale;
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = locale.toDouble(text.trimmed(), &ok);
    if (!ok)
        throw ConversionError(QStringLiteral("'%1' is not a valid floating point value").arg(text).toStdString());
    return value;
}

bool strToBool(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    QLocale locale;
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = locale.toDouble(trimmed, &ok);
    if (!ok)
        throw ConversionError(QStringLiteral("'%1' is not a valid boolean value").arg(text).toStdString());
    return value != 0;
}

QDate scanDate(QStringView text, QStringView format, QDate today) {
    const auto separator =
        std::find_if(format.begin(), format.end(), [](QChar c) { return c != u'd' && c != u'M' && c != u'y'; });
    if (separator == format.end())
        return {};
    const QList<QStringView> parts = text.split(*separator);
    if (parts.size() != 2 && parts.size() != 3)
        return {};
    QList<int> numbers;
    for (QStringView part : parts) {
        numbers << dateNumber(part);
        if (numbers.last() < 0)
            return {};
    }
    const qsizetype d = format.indexOf(u'd'), m = format.indexOf(u'M'), y = format.indexOf(u'y');
    if (d < 0 || m < 0 || y < 0)
        return {};
    // The numbers' order is that of the letters in the format; without a year, day and month keep theirs.
    const auto rank = [&](qsizetype at) { return int(at > d) + int(at > m) + (parts.size() == 3 ? int(at > y) : 0); };
    int year = today.year();
    if (parts.size() == 3) {
        year = numbers[rank(y)];
        if (parts[rank(y)].size() <= 2) {
            const int base = today.year() - 50;
            year += base / 100 * 100;
            if (year < base)
                year += 100;
        }
    }
    return QDate(year, numbers[rank(m)], numbers[rank(d)]);
}

QDate strToDate(const QString& text) {
    const QString trimmed = text.trimmed();
    const QString format = QLocale().dateFormat(QLocale::ShortFormat);
    QDate date = scanDate(trimmed, format, QDate::currentDate());
    // A format that names the month ("15 Mar 2026") is no run of numbers.
    if (!date.isValid())
        date = QLocale().toDate(trimmed, format);
    if (!date.isValid())
        date = scanDate(trimmed, QStringLiteral("dd.MM.yyyy"), QDate::currentDate());
    if (!date.isValid())
        throw ConversionError(QStringLiteral("'%1' is not a valid date").arg(text).toStdString());
    return date;
}
