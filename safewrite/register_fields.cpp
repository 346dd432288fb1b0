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

// A field of one byte: what the page shows for the byte, and a page's number sent as its low byte.
Field byteField(const char* key, const QString& caption, Row row, int index, std::function<QString(uint8_t)> show,
                std::function<int(const QString&)> number = strToInt) {
    Field field;
    field.key = QLatin1String(key);
    field.caption = caption;
    field.row = row;
    field.read = [index, show](const QByteArray& bytes) { return show(uint8_t(bytes[index])); };
    field.written = [show, number](const QString& value) { return show(uint8_t(number(value))); };
    return field;
}

Field flagField(const char* key, const QString& caption, Row row, int index) {
    return byteField(
        key, caption, row, index, [](uint8_t byte) { return flagText(byte != 0); },
        [](const QString& value) { return strToBool(value) ? 1 : 0; });
}

Field itemField(const char* key, const QString& caption, Row row, int index, int (*item)(uint8_t)) {
    return byteField(key, caption, row, index, [item](uint8_t byte) { return QString::number(item(byte)); });
}

Field numberField(const char* key, const QString& caption, Row row, int index) {
    // An empty cell goes out as 0.
    return byteField(
        key, caption, row, index, [](uint8_t byte) { return QString::number(byte); },
        [](const QString& value) { return value.trimmed().isEmpty() ? 0 : strToInt(value); });
}

// A text of `length` characters at the row's start, kept whole (zero bytes too) or, for the
// advertising lines, up to a zero byte.
Field textField(const QString& key, const QString& caption, Row row, int length, bool whole = true) {
    const auto show = [length, whole](const QByteArray& bytes) {
        return whole ? RowText::whole(bytes, 0, length) : RowText::read(bytes, 0, length);
    };
    return Field{{},  key,  caption,
                 row, show, [show, length](const QString& value) {
                     return show(RowText::encode(value, length)); }};
}

Field percentField(const QString& key, const QString& caption, Row row, int index, QChar (*point)()) {
    return Field{{},
                 key,
                 caption,
                 row,
                 [index, point](const QByteArray& bytes) {
                     return percentText(uint8_t(bytes[index]), uint8_t(bytes[index + 1]), point());
                 },
                 [point](const QString& value) {
                     const auto bytes = checkedPercentBytes(value.trimmed(), point());
                     return percentText(bytes[0], bytes[1], point());
                 }};
}

QChar taxPoint() {
    return TaxesRow::point;
}

QList<Field> options() {
    const Row row{OptionsRow::table, OptionsRow::row, OptionsRow::size};
    const char* const keys[] = {"Code_Sell",  "Free_Price",    "Decimal_Control", "Money_Box",
                                "Incasation", "Mode_Password", "Zero_Password"};
    const QString captions[] = {QStringLiteral("Продажа по коду"),     QStringLiteral("Свободная цена"),
                                QStringLiteral("Контроль дробного"),   QStringLiteral("Денежный ящик"),
                                QStringLiteral("Инкассация"),          QStringLiteral("Пароли режимов"),
                                QStringLiteral("Ведущие нули паролей")};
    QList<Field> fields;
    for (int i = 0; i < 7; ++i)
        fields << flagField(keys[i], captions[i], row, i);
    fields << itemField("Light_Duration", QStringLiteral("Длительность подсветки"), row, OptionsRow::backlightField - 1,
                        OptionsRow::backlightItem);
    // The write keeps the interval to 0-31; an empty edit goes out as 0.
    fields << byteField(
        "Date_Interval", QStringLiteral("Интервал дат (0 - 31)"), row, OptionsRow::dateIntervalField - 1,
        [](uint8_t byte) { return QString::number(OptionsRow::dateInterval(byte)); },
        [](const QString& value) { return value.trimmed().isEmpty() ? 0 : std::clamp(strToInt(value), 0, 31); });
    const int first = OptionsRow::serviceDateByte;
    const auto dateText = [](const QDate& date) { return QLocale().toString(date, QLocale::ShortFormat); };
    fields << Field{
        {},
        QStringLiteral("Date_NextTO"),
        QStringLiteral("Дата следующего ТО"),
        row,
        [first, dateText](const QByteArray& bytes) {
            const auto date = OptionsRow::decodeServiceDate(uint8_t(bytes[first]), uint8_t(bytes[first + 1]),
                                                            uint8_t(bytes[first + 2]));
            return dateText(date.value_or(QDate::currentDate()));
        },
        [dateText](const QString& value) {
            const auto bytes = OptionsRow::encodeServiceDate(strToDate(value));
            return dateText(OptionsRow::decodeServiceDate(bytes[0], bytes[1], bytes[2]).value_or(QDate::currentDate()));
        }};
    return fields;
}

QList<Field> printOptions() {
    const Row row{PrintOptionsRow::table, PrintOptionsRow::row, PrintOptionsRow::size};
    const char* const keys[] = {"Reklama", "Otdel",      "Goods",     "Goods_Code", "Nalog",
                                "Font",    "Separators", "Wide_Itog", "Logo"};
    const QString captions[] = {
        QStringLiteral("Рекламные строки"), QStringLiteral("Названия отделов"), QStringLiteral("Названия товаров"),
        QStringLiteral("Коды товаров"),     QStringLiteral("Печать налогов"),   QStringLiteral("Сжатый шрифт"),
        QStringLiteral("Разделители"),      QStringLiteral("Широкий ИТОГ"),     QStringLiteral("Печать логотипа")};
    QList<Field> fields;
    for (int i = 0; i < 9; ++i)
        fields << flagField(keys[i], captions[i], row, i + 1);
    // An empty edit goes out as 4.
    fields << byteField("Contrast", QStringLiteral("Контраст печати (1 - 4)"), row, 0, PrintOptionsRow::contrastText,
                        [](const QString& value) { return value.trimmed().isEmpty() ? 4 : strToInt(value.trimmed()); });
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
        fields << textField(key, caption + QStringLiteral(": текст"), row, AdvertRow::textLength, false);
        Field stretch =
            itemField("", caption + QStringLiteral(": растяжение"), row, AdvertRow::textLength, AdvertRow::stretchItem);
        stretch.key = key + QStringLiteral("Type");
        fields << stretch;
    }
    return fields;
}

QList<Field> discounts() {
    QList<Field> fields;
    for (int n = 1; n <= DiscountRow::rowCount; ++n) {
        const Row row{DiscountRow::table, uint16_t(n), DiscountRow::size};
        const QString group = n == 1 ? QStringLiteral("Скидки") : QStringLiteral("Наценки");
        const QString key = n == 1 ? QStringLiteral("Discount") : QStringLiteral("MarkUps");
        fields << percentField(key, group + QStringLiteral(": величина, %"), row, 0, localePoint);
        Field permit = itemField("", group + QStringLiteral(": разрешение"), row, 2, DiscountRow::permissionItem);
        permit.key = key + QStringLiteral("Permit");
        fields << permit;
    }
    return fields;
}

QList<Field> devices() {
    using Items = DevicesRow::Items;
    const auto field = [](const char* key, const QString& caption, int number, int Items::*item) {
        const Row row{DevicesRow::table, uint16_t(number), DevicesRow::size};
        return Field{{},
                     QLatin1String(key),
                     caption,
                     row,
                     [item](const QByteArray& bytes) { return QString::number(DevicesRow::decode(bytes).*item); },
                     [number, item](const QString& value) {
                         Items items;
                         items.*item = strToInt(value);
                         return QString::number(DevicesRow::decode(DevicesRow::encode(number, items)).*item);
                     }};
    };
    const QString speed = QStringLiteral(": скорость обмена");
    return {field("Barcode_Speed", QStringLiteral("Сканер штрих-кода") + speed, 1, &Items::speed),
            field("ElectricScale_Interface", QStringLiteral("Электронные весы: интерфейс"), 2, &Items::interface),
            field("ElectricScale_Protocol", QStringLiteral("Электронные весы: протокол"), 2, &Items::protocol),
            field("ElectricScale_Speed", QStringLiteral("Электронные весы") + speed, 2, &Items::speed),
            field("PC_Speed", QStringLiteral("ПК") + speed, 3, &Items::speed),
            field("Indicator_Speed", QStringLiteral("Индикатор покупателя") + speed, 4, &Items::speed)};
}

QList<Field> operators() {
    QList<Field> fields;
    for (int n = 1; n <= OperatorsRow::rowCount; ++n) {
        const Row row{OperatorsRow::table, uint16_t(n), OperatorsRow::size, OperatorsRow::enough};
        const QString key = QStringLiteral("Operator%1").arg(n);
        const QString caption = QStringLiteral("Оператор %1: ").arg(n);
        fields << textField(key, caption + QStringLiteral("реквизиты"), row, OperatorsRow::detailsLength);
        Field rights = byteField("", caption + QStringLiteral("права доступа"), row, OperatorsRow::maskByte,
                                 [](uint8_t byte) { return QString::number(byte); });
        rights.key = key + QStringLiteral("_Type");
        fields << rights;
    }
    return fields;
}

QList<Field> sections() {
    QList<Field> fields;
    for (int n = 1; n <= SectionsRow::rowCount; ++n) {
        const Row row{SectionsRow::table, uint16_t(n), SectionsRow::size};
        const QString key = QStringLiteral("Section%1").arg(n);
        const QString caption = QStringLiteral("Отдел %1: ").arg(n);
        fields << textField(key, caption + QStringLiteral("наименование"), row, SectionsRow::nameLength);
        Field tax = numberField("", caption + QStringLiteral("код налога"), row, 11);
        tax.key = key + QStringLiteral("_NalogCode");
        Field digits = numberField("", caption + QStringLiteral("разрядность"), row, 12);
        digits.key = key + QStringLiteral("_Razr");
        Field use = byteField("", caption + QStringLiteral("сфера применения"), row, 13, SectionsRow::useText);
        use.key = key + QStringLiteral("_Sfer");
        fields << tax << digits << use;
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
        fields << textField(key, caption + QStringLiteral("наименование"), row, TaxesRow::nameLength);
        fields << percentField(key + QStringLiteral("_Value"), caption + QStringLiteral("величина"), row,
                               TaxesRow::rateByte, taxPoint);
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
