#include "register_fields.h"

#include "advert_row.h"
#include "conversions.h"
#include "devices_row.h"
#include "discount_row.h"
#include "operators_row.h"
#include "options_row.h"
#include "percent_text.h"
#include "print_options_row.h"
#include "row_text.h"
#include "sections_row.h"
#include "settings_layout.h"
#include "taxes_row.h"

#include <algorithm>
#include <QLocale>

namespace RegisterFields {

namespace {

QString flagText(bool on) {
    return on ? QStringLiteral("-1") : QStringLiteral("0");
}

QChar localePoint() {
    return QLocale().decimalPoint().at(0);
}

QChar taxPoint() {
    return TaxesRow::point;
}

// A field of one byte: what the page shows for the byte, and the byte the page sends for a value.
Field byteField(const QString& key, const QString& caption, Row row, int pageRow, int index,
                std::function<QString(uint8_t)> show, std::function<uint8_t(const QString&)> send) {
    return Field{{},
                 key,
                 caption,
                 row,
                 pageRow,
                 [index, show](const QByteArray& bytes) { return show(uint8_t(bytes[index])); },
                 [index, send](QByteArray& bytes, const QString& value) { bytes[index] = char(send(value)); }};
}

Field flagField(const QString& key, const QString& caption, Row row, int pageRow, int index) {
    return byteField(
        key, caption, row, pageRow, index, [](uint8_t byte) { return flagText(byte != 0); },
        [](const QString& value) { return uint8_t(strToBool(value) ? 1 : 0); });
}

// A list's item number. A loaded number the page's list does not hold leaves no item chosen,
// which goes out as 255.
Field itemField(const QString& key, const QString& caption, Row row, int pageRow, int index, int items,
                std::function<int(uint8_t)> item) {
    return byteField(
        key, caption, row, pageRow, index, [item](uint8_t byte) { return QString::number(item(byte)); },
        [items](const QString& value) {
            const int chosen = strToInt(value);
            return uint8_t(chosen >= 0 && chosen < items ? chosen : -1);
        });
}

// A number cell: an empty cell goes out as 0.
Field numberField(const QString& key, const QString& caption, Row row, int pageRow, int index) {
    return byteField(
        key, caption, row, pageRow, index, [](uint8_t byte) { return QString::number(byte); },
        [](const QString& value) { return uint8_t(value.trimmed().isEmpty() ? 0 : strToInt(value)); });
}

// A text of `length` characters at the row's start, kept whole (zero bytes too) or, for the
// advertising lines, up to a zero byte.
Field textField(const QString& key, const QString& caption, Row row, int pageRow, int length, bool whole = true) {
    return Field{{},
                 key,
                 caption,
                 row,
                 pageRow,
                 [length, whole](const QByteArray& bytes) {
                     return whole ? RowText::whole(bytes, 0, length) : RowText::read(bytes, 0, length);
                 },
                 [length](QByteArray& bytes, const QString& value) {
                     bytes.replace(0, length, RowText::encode(value, length));
                 }};
}

// A percentage in two packed BCD bytes. The discounts' page first reads the text as a number, so
// that a text that is none is refused with the conversion's own message.
Field percentField(const QString& key, const QString& caption, Row row, int pageRow, int index, QChar (*point)(),
                   bool asNumberFirst) {
    return Field{{},
                 key,
                 caption,
                 row,
                 pageRow,
                 [index, point](const QByteArray& bytes) {
                     return percentText(uint8_t(bytes[index]), uint8_t(bytes[index + 1]), point());
                 },
                 [index, point, asNumberFirst](QByteArray& bytes, const QString& value) {
                     const QString text = value.trimmed();
                     if (asNumberFirst && !text.isEmpty())
                         strToFloat(text);
                     const auto percent = checkedPercentBytes(text, point());
                     bytes[index] = char(percent[0]);
                     bytes[index + 1] = char(percent[1]);
                 }};
}

QList<Field> options() {
    const Row row{OptionsRow::table, OptionsRow::row, OptionsRow::size, 0, true};
    const char* const keys[] = {"Code_Sell",  "Free_Price",    "Decimal_Control", "Money_Box",
                                "Incasation", "Mode_Password", "Zero_Password"};
    const QString captions[] = {QStringLiteral("Продажа по коду"),     QStringLiteral("Свободная цена"),
                                QStringLiteral("Контроль дробного"),   QStringLiteral("Денежный ящик"),
                                QStringLiteral("Инкассация"),          QStringLiteral("Пароли режимов"),
                                QStringLiteral("Ведущие нули паролей")};
    QList<Field> fields;
    for (int i = 0; i < 7; ++i)
        fields << flagField(QLatin1String(keys[i]), captions[i], row, i + 1, i);
    fields << itemField(QStringLiteral("Light_Duration"), QStringLiteral("Длительность подсветки"), row,
                        OptionsRow::backlightField, OptionsRow::backlightField - 1, 8, OptionsRow::backlightItem);
    // The write keeps the interval to 0-31; an empty edit goes out as 0.
    fields << byteField(
        QStringLiteral("Date_Interval"), QStringLiteral("Интервал дат (0 - 31)"), row, OptionsRow::dateIntervalField,
        OptionsRow::dateIntervalField - 1, [](uint8_t byte) { return QString::number(OptionsRow::dateInterval(byte)); },
        [](const QString& value) {
            return uint8_t(value.trimmed().isEmpty() ? 0 : std::clamp(strToInt(value), 0, 31));
        });
    const int first = OptionsRow::serviceDateByte;
    fields << Field{{},
                    QStringLiteral("Date_NextTO"),
                    QStringLiteral("Дата следующего ТО"),
                    row,
                    OptionsRow::serviceDateField,
                    [first](const QByteArray& bytes) {
                        const auto date = OptionsRow::decodeServiceDate(
                            uint8_t(bytes[first]), uint8_t(bytes[first + 1]), uint8_t(bytes[first + 2]));
                        return QLocale().toString(date.value_or(QDate::currentDate()), QLocale::ShortFormat);
                    },
                    [first](QByteArray& bytes, const QString& value) {
                        const auto date = OptionsRow::encodeServiceDate(strToDate(value));
                        for (int i = 0; i < 3; ++i)
                            bytes[first + i] = char(date[size_t(i)]);
                    }};
    return fields;
}

QList<Field> printOptions() {
    const Row row{PrintOptionsRow::table, PrintOptionsRow::row, PrintOptionsRow::size, 0, true};
    const char* const keys[] = {"Reklama", "Otdel",      "Goods",     "Goods_Code", "Nalog",
                                "Font",    "Separators", "Wide_Itog", "Logo"};
    const QString captions[] = {
        QStringLiteral("Рекламные строки"), QStringLiteral("Названия отделов"), QStringLiteral("Названия товаров"),
        QStringLiteral("Коды товаров"),     QStringLiteral("Печать налогов"),   QStringLiteral("Сжатый шрифт"),
        QStringLiteral("Разделители"),      QStringLiteral("Широкий ИТОГ"),     QStringLiteral("Печать логотипа")};
    QList<Field> fields;
    for (int i = 0; i < 9; ++i)
        fields << flagField(QLatin1String(keys[i]), captions[i], row, i + 2, i + 1);
    // An empty edit goes out as 4; any other number as its low byte.
    fields << byteField(QStringLiteral("Contrast"), QStringLiteral("Контраст печати (1 - 4)"), row,
                        PrintOptionsRow::contrastField, 0, PrintOptionsRow::contrastText, [](const QString& value) {
                            return uint8_t(value.trimmed().isEmpty() ? 4 : strToInt(value.trimmed()));
                        });
    return fields;
}

QList<Field> adverts() {
    const char* const keys[] = {"BFirst", "BSecond", "BThird", "EFirst", "ESecond", "EThird"};
    QList<Field> fields;
    for (int n = 1; n <= AdvertRow::rowCount; ++n) {
        const Row row{AdvertRow::table, uint16_t(n), AdvertRow::size};
        const QString caption = QStringLiteral("%1 чека, строка %2")
                                    .arg(n <= 3 ? QStringLiteral("Начало") : QStringLiteral("Окончание"))
                                    .arg((n - 1) % 3 + 1);
        const QString key = QLatin1String(keys[n - 1]);
        fields << textField(key, caption + QStringLiteral(": текст"), row, n, AdvertRow::textLength, false)
               << itemField(key + QStringLiteral("Type"), caption + QStringLiteral(": растяжение"), row, n,
                            AdvertRow::textLength, 4, AdvertRow::stretchItem);
    }
    return fields;
}

QList<Field> discounts() {
    QList<Field> fields;
    for (int n = 1; n <= DiscountRow::rowCount; ++n) {
        const Row row{DiscountRow::table, uint16_t(n), DiscountRow::size};
        const QString group = n == 1 ? QStringLiteral("Скидки") : QStringLiteral("Наценки");
        const QString key = n == 1 ? QStringLiteral("Discount") : QStringLiteral("MarkUps");
        fields << percentField(key, group + QStringLiteral(": величина, %"), row, n, 0, localePoint, true)
               << itemField(key + QStringLiteral("Permit"), group + QStringLiteral(": разрешение"), row, n, 2, 3,
                            DiscountRow::permissionItem);
    }
    return fields;
}

QList<Field> devices() {
    using Items = DevicesRow::Items;
    const auto field = [](const char* key, const QString& caption, int number, int index, int items, int Items::*item) {
        const Row row{DevicesRow::table, uint16_t(number), DevicesRow::size};
        Field f = itemField(QLatin1String(key), caption, row, number, index, items, {});
        // The lists show what the row's decoding makes of its bytes.
        f.read = [item](const QByteArray& bytes) { return QString::number(DevicesRow::decode(bytes).*item); };
        return f;
    };
    const QString speed = QStringLiteral(": скорость обмена");
    return {field("Barcode_Speed", QStringLiteral("Сканер штрих-кода") + speed, 1, 2, 9, &Items::speed),
            field("ElectricScale_Interface", QStringLiteral("Электронные весы: интерфейс"), 2, 0, 2, &Items::interface),
            field("ElectricScale_Protocol", QStringLiteral("Электронные весы: протокол"), 2, 1, 2, &Items::protocol),
            field("ElectricScale_Speed", QStringLiteral("Электронные весы") + speed, 2, 2, 9, &Items::speed),
            field("PC_Speed", QStringLiteral("ПК") + speed, 3, 2, 9, &Items::speed),
            field("Indicator_Speed", QStringLiteral("Индикатор покупателя") + speed, 4, 2, 9, &Items::speed)};
}

QList<Field> operators() {
    QList<Field> fields;
    for (int n = 1; n <= OperatorsRow::rowCount; ++n) {
        const Row row{OperatorsRow::table, uint16_t(n), OperatorsRow::size, OperatorsRow::enough, true};
        const QString key = QStringLiteral("Operator%1").arg(n);
        const QString caption = QStringLiteral("Оператор %1: ").arg(n);
        fields << textField(key, caption + QStringLiteral("реквизиты"), row, n, OperatorsRow::detailsLength)
               << byteField(
                      key + QStringLiteral("_Type"), caption + QStringLiteral("права доступа"), row, n,
                      OperatorsRow::maskByte, [](uint8_t byte) { return QString::number(byte); },
                      [](const QString& value) { return uint8_t(strToInt(value)); });
    }
    return fields;
}

QList<Field> sections() {
    QList<Field> fields;
    for (int n = 1; n <= SectionsRow::rowCount; ++n) {
        const Row row{SectionsRow::table, uint16_t(n), SectionsRow::size};
        const QString key = QStringLiteral("Section%1").arg(n);
        const QString caption = QStringLiteral("Отдел %1: ").arg(n);
        fields << textField(key, caption + QStringLiteral("наименование"), row, n, SectionsRow::nameLength)
               << numberField(key + QStringLiteral("_NalogCode"), caption + QStringLiteral("код налога"), row, n, 11)
               << numberField(key + QStringLiteral("_Razr"), caption + QStringLiteral("разрядность"), row, n, 12)
               << byteField(key + QStringLiteral("_Sfer"), caption + QStringLiteral("сфера применения"), row, n, 13,
                            SectionsRow::useText, [](const QString& value) { return uint8_t(strToInt(value)); });
    }
    return fields;
}

QList<Field> taxes() {
    static const QString letters[] = {QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("В"),
                                      QStringLiteral("Г")};
    QList<Field> fields;
    for (int n = 1; n <= TaxesRow::rowCount; ++n) {
        const Row row{TaxesRow::table, uint16_t(n), TaxesRow::size};
        const QString key = QStringLiteral("Tax%1").arg(n);
        const QString caption = QStringLiteral("Налог %1 (%2): ").arg(n).arg(letters[n - 1]);
        fields << textField(key, caption + QStringLiteral("наименование"), row, n, TaxesRow::nameLength)
               << percentField(key + QStringLiteral("_Value"), caption + QStringLiteral("величина"), row, n,
                               TaxesRow::rateByte, taxPoint, false);
    }
    return fields;
}

QList<Field> build() {
    const QList<QList<Field>> tables{options(), printOptions(), adverts(),  discounts(),
                                     devices(), operators(),    sections(), taxes()};
    QList<Field> all;
    for (qsizetype i = 0; i < tables.size(); ++i) {
        for (Field field : tables[i]) {
            field.section = SettingsLayout::sections()[i].name;
            all << field;
        }
    }
    return all;
}

} // namespace

QString Field::written(const QString& value) const {
    QByteArray bytes(row.size, '\0');
    put(bytes, value);
    return read(bytes);
}

const QList<Field>& fields() {
    static const QList<Field> all = build();
    return all;
}

QList<const Field*> fieldsOf(const QStringList& sections) {
    QList<const Field*> chosen;
    for (const Field& field : fields()) {
        if (sections.contains(field.section))
            chosen << &field;
    }
    return chosen;
}

QList<Row> rowsOf(const QList<const Field*>& fields) {
    QList<Row> rows;
    for (const Field* field : fields) {
        if (!rows.contains(field->row))
            rows << field->row;
    }
    return rows;
}

} // namespace RegisterFields
