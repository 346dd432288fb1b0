#include "conversions.h"

#include <QLocale>

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

QDate strToDate(const QString& text) {
    const QString trimmed = text.trimmed();
    const QString format = QLocale().dateFormat(QLocale::ShortFormat);
    QDate date = QLocale().toDate(trimmed, format);
    // Two-digit years are read into the 1900s; take them within 50 years of today instead.
    if (date.isValid() && !format.contains(QLatin1String("yyyy")))
        while (date.year() < QDate::currentDate().year() - 50)
            date = date.addYears(100);
    if (!date.isValid())
        date = QDate::fromString(trimmed, QStringLiteral("dd.MM.yyyy"));
    if (!date.isValid())
        throw ConversionError(QStringLiteral("'%1' is not a valid date").arg(text).toStdString());
    return date;
}
